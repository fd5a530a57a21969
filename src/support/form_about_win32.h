#ifndef TRAMO_SUPPORT_FORM_ABOUT_WIN32_H_
#define TRAMO_SUPPORT_FORM_ABOUT_WIN32_H_

#include <string>

#include "ui/window_win32.h"

// The product's web page; a reserved documentation domain, not a real site.
extern const char kProductWebPage[];

// The query of the web page for a version text of three fields.
std::string WebPageAddress(const std::string& version_three_fields);

// The About window: the picture, the version over it, a click opens the web page.
class TFormAbout : public Window {
 public:
  ~TFormAbout() override;
  bool CreateForm();
  const char* ClassName() const override { return "TFormAbout"; }
  // FormShow: refreshes the label and shows the window.
  void Show();
  const std::string& LabelText() const { return label_; }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Paint();
  bool OverPicture() const;

  HBITMAP picture_ = nullptr;
  HBRUSH background_ = nullptr;
  std::string label_;
};

#endif  // TRAMO_SUPPORT_FORM_ABOUT_WIN32_H_
