#ifndef TRAMO_SUPPORT_AUTOSTART_WIN32_H_
#define TRAMO_SUPPORT_AUTOSTART_WIN32_H_

#include <string>

#include "support/autostart.h"

// The real entries for one executable: the value "Tramo" under
// HKEY_CURRENT_USER (per user) or HKEY_LOCAL_MACHINE (all users, its 32-bit
// view in both builds) "...\Microsoft\Windows\CurrentVersion\Run", and
// "Tramo2.lnk" in the user's or the common Startup folder. Initialises COM
// on the calling thread for the duration of a shortcut call when it is not
// yet. An entry that Task Manager switched off (StartupApproved) does not
// pass a check; writing an entry switches it on again.
class WindowsAutostart : public AutostartEntries {
 public:
  // exe_path: full path of the program the entries start.
  explicit WindowsAutostart(std::string exe_path);

  // Check codes compare the whole value with RunValueData.
  bool RunKeyAutostart(bool per_user, int op) override;
  // aoCheckIcon accepts any existing shortcut; aoCheckNoIcon also needs
  // arguments that ArgumentsSayNoIcon.
  bool ShortcutAutostart(bool per_user, int op) override;

  // Whether an all-users entry can be written: the Run key opens for
  // writing, or the common Startup folder takes a new file (asInvoker:
  // without administrator rights neither does, and nothing is virtualised).
  static bool CanWriteAllUsers();

  // Folder path + "\Tramo2.lnk"; empty when the Startup folder is unknown.
  static std::string ShortcutPath(bool per_user);

 private:
  std::string exe_path_;
};

#endif  // TRAMO_SUPPORT_AUTOSTART_WIN32_H_
