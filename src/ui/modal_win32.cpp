#include "ui/modal_win32.h"

#include <vector>

#include "ui/dialog_keys_win32.h"

namespace ui {

namespace {

struct Disabled {
  HWND modal;
  std::vector<HWND> windows;
};

BOOL CALLBACK DisableOther(HWND window, LPARAM lparam) {
  Disabled* disabled = reinterpret_cast<Disabled*>(lparam);
  if (window != disabled->modal && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    disabled->windows.push_back(window);
  }
  return TRUE;
}

}  // namespace

bool RunModal(HWND window) {
  HWND previous = GetActiveWindow();
  Disabled disabled{window, {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableOther, reinterpret_cast<LPARAM>(&disabled));
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  bool quit = false;
  MSG message;
  while (IsWindow(window) && IsWindowVisible(window)) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      quit = true;
      PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 1);
      break;
    }
    if (HandleDialogKeys(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  for (HWND other : disabled.windows) {
    if (IsWindow(other)) EnableWindow(other, TRUE);
  }
  if (!quit && previous != nullptr && previous != window && IsWindowVisible(previous)) {
    SetForegroundWindow(previous);
  }
  return !quit;
}

}  // namespace ui
