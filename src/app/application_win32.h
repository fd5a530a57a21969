#ifndef TRAMO_APP_APPLICATION_WIN32_H_
#define TRAMO_APP_APPLICATION_WIN32_H_

#include <string>
#include <vector>

class TForm1;
class TForm2;
class TFormNastaveni;
class TFormAbout;
class TFormDebugLog;

// The five windows, created in this order at start and kept until the
// process ends, and the command line they look at.
struct Application {
  std::vector<std::string> args;
  TForm1* form1 = nullptr;
  TForm2* form2 = nullptr;
  TFormNastaveni* nastaveni = nullptr;
  TFormAbout* about = nullptr;
  TFormDebugLog* debug_log = nullptr;
};

Application& App();

#endif  // TRAMO_APP_APPLICATION_WIN32_H_
