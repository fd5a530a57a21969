#include "support/form_debuglog_win32.h"

#include <commdlg.h>

#include "app/controls_win32.h"
#include "platform/file.h"

namespace {

constexpr int kMemoId = 1;
constexpr int kSaveAsId = 2;

// Escape in the text or on the button hides the viewer.
LRESULT CALLBACK EscapeHides(HWND control, UINT message, WPARAM wparam, LPARAM lparam,
                             UINT_PTR, DWORD_PTR owner) {
  if (message == WM_KEYDOWN && wparam == VK_ESCAPE) {
    ShowWindow(reinterpret_cast<HWND>(owner), SW_HIDE);
    return 0;
  }
  return DefSubclassProc(control, message, wparam, lparam);
}

}  // namespace

bool TFormDebugLog::CreateForm() {
  if (!Create(WS_OVERLAPPEDWINDOW, WS_EX_TOPMOST, "FormDebugLog", 0, 0, 626, 407, nullptr,
              nullptr)) {
    return false;
  }
  memo_ = ctl::Child("EDIT", "", WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0,
                     10, 10, hwnd(), kMemoId, WS_EX_CLIENTEDGE);
  save_as_ = ctl::Child("BUTTON", "Uložit jako..", WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 90, 25,
                        hwnd(), kSaveAsId);
  if (memo_ == nullptr || save_as_ == nullptr) return false;
  SendMessageA(memo_, EM_SETLIMITTEXT, 0, 0);
  SetWindowSubclass(memo_, EscapeHides, 1, reinterpret_cast<DWORD_PTR>(hwnd()));
  SetWindowSubclass(save_as_, EscapeHides, 1, reinterpret_cast<DWORD_PTR>(hwnd()));
  ctl::CenterOnScreen(hwnd());
  Layout();
  return true;
}

void TFormDebugLog::Show() {
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

void TFormDebugLog::ShowModal() {
  Show();
  modal_ = true;
  MSG message;
  while (modal_ && IsWindowVisible(hwnd()) && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(hwnd(), &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  modal_ = false;
}

std::string TFormDebugLog::MemoText() const { return ctl::GetText(memo_); }

void TFormDebugLog::OnCaptureText(const std::string& text) {
  const int end = GetWindowTextLengthA(memo_);
  SendMessageA(memo_, EM_SETSEL, end, end);
  SendMessageA(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TFormDebugLog::OnFirstSaveFailure(const std::string& message) {
  MessageBoxA(nullptr, message.c_str(), "Tramo2", MB_OK | MB_ICONERROR);
  ShowModal();
}

void TFormDebugLog::Layout() {
  RECT client;
  GetClientRect(hwnd(), &client);
  MoveWindow(memo_, 0, 0, client.right, client.bottom - 33, TRUE);
  MoveWindow(save_as_, client.right - 98, client.bottom - 29, 90, 25, TRUE);
}

void TFormDebugLog::ButtonSaveAsClick() {
  char file[MAX_PATH] = "DebugLog.txt";
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = hwnd();
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof(file);
  dialog.lpstrInitialDir = ".";
  dialog.lpstrDefExt = "txt";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&dialog)) return;
  // The edit keeps lines as CR LF already.
  const std::string text = MemoText();
  std::string error;
  if (platform::RewriteFile(file, text, &error) != platform::RewriteFailure::kNone) {
    MessageBoxA(hwnd(), error.c_str(), "Tramo2", MB_OK | MB_ICONERROR);
  }
}

LRESULT TFormDebugLog::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_CLOSE:
      ShowWindow(hwnd(), SW_HIDE);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kSaveAsId && HIWORD(wparam) == BN_CLICKED) ButtonSaveAsClick();
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}
