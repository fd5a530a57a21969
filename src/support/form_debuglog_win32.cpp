#include "support/form_debuglog_win32.h"

#include "platform/file.h"
#include "ui/controls_win32.h"
#include "ui/dialog_keys_win32.h"
#include "ui/dpi_win32.h"
#include "ui/layout.h"
#include "ui/modal_win32.h"
#include "ui/sizing_win32.h"

namespace {

constexpr int kMemoId = ui::kFirstControlId;
constexpr int kSaveAsId = ui::kFirstControlId + 1;

}  // namespace

bool TFormDebugLog::CreateForm() {
  const int dpi = ui::SystemDpi();
  if (!Create(WS_OVERLAPPEDWINDOW, WS_EX_TOPMOST, "FormDebugLog", 0, 0, Scaled(626, dpi),
              Scaled(407, dpi), nullptr, nullptr)) {
    return false;
  }
  memo_ = ctl::Child("EDIT", "", WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0,
                     10, 10, hwnd(), kMemoId, WS_EX_CLIENTEDGE);
  save_as_ = ctl::Child("BUTTON", "Uložit jako..", WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 90, 25,
                        hwnd(), kSaveAsId);
  if (memo_ == nullptr || save_as_ == nullptr) return false;
  SendMessageA(memo_, EM_SETLIMITTEXT, 0, 0);
  // Escape in the text or on the button hides the viewer.
  ui::EscapeCancels(memo_);
  ui::EscapeCancels(save_as_);
  ctl::CenterOnScreen(hwnd());
  Layout();
  return true;
}

void TFormDebugLog::Show() {
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

void TFormDebugLog::ShowModal() { ui::RunModal(hwnd()); }

std::string TFormDebugLog::MemoText() const { return ctl::GetText(memo_); }

void TFormDebugLog::OnCaptureText(const std::string& text) {
  const int end = GetWindowTextLengthW(memo_);
  SendMessageW(memo_, EM_SETSEL, end, end);
  SendMessageW(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(platform::Wide(text).c_str()));
}

void TFormDebugLog::OnFirstSaveFailure(const std::string& message) {
  // Task-modal: no window of the program can be closed behind the box.
  ctl::ShowMessage(nullptr, message, MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ShowModal();
}

void TFormDebugLog::Layout() {
  RECT client;
  GetClientRect(hwnd(), &client);
  const int dpi = ui::DpiOf(hwnd());
  const SIZE button = ui::FittedSize(save_as_, Scaled(90, dpi), Scaled(25, dpi));
  MoveWindow(memo_, 0, 0, client.right, client.bottom - button.cy - Scaled(8, dpi), TRUE);
  MoveWindow(save_as_, client.right - Scaled(8, dpi) - button.cx,
             client.bottom - Scaled(4, dpi) - button.cy, button.cx, button.cy, TRUE);
}

void TFormDebugLog::ButtonSaveAsClick() {
  std::string file = "DebugLog.txt";
  if (!ctl::AskSavePath(hwnd(), nullptr, ".", "txt", &file)) return;
  // The edit keeps lines as CR LF already.
  const std::string text = MemoText();
  std::string error;
  if (platform::RewriteFile(file, text, &error) != platform::RewriteFailure::kNone) {
    ctl::ShowMessage(hwnd(), error, MB_OK | MB_ICONERROR);
  }
}

LRESULT TFormDebugLog::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_DPICHANGED:
      ui::TakeSuggestedRect(hwnd(), lparam);
      Layout();
      return 0;
    case WM_CLOSE:
      ShowWindow(hwnd(), SW_HIDE);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL) {
        ShowWindow(hwnd(), SW_HIDE);
      } else if (LOWORD(wparam) == IDOK) {
        ui::PressButton(ui::ButtonForEnter(hwnd(), nullptr));
      } else if (LOWORD(wparam) == kSaveAsId && HIWORD(wparam) == BN_CLICKED) {
        ButtonSaveAsClick();
      }
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}
