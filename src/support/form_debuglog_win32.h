#ifndef TRAMO_SUPPORT_FORM_DEBUGLOG_WIN32_H_
#define TRAMO_SUPPORT_FORM_DEBUGLOG_WIN32_H_

#include <string>

#include "ui/window_win32.h"
#include "support/excep_capture.h"

// The event protocol viewer: the run header and every event of the run.
class TFormDebugLog : public Window, public CaptureListener {
 public:
  bool CreateForm();
  const char* ClassName() const override { return "TFormDebugLog"; }
  void Show();
  // Shows the viewer modally (RunModal) until it is hidden.
  void ShowModal();
  std::string MemoText() const;

  void OnCaptureText(const std::string& text) override;
  void OnFirstSaveFailure(const std::string& message) override;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Layout();
  void ButtonSaveAsClick();

  HWND memo_ = nullptr;
  HWND save_as_ = nullptr;
};

#endif  // TRAMO_SUPPORT_FORM_DEBUGLOG_WIN32_H_
