#include "ui/modal_win32.h"

#include <commctrl.h>

#include <vector>

#include "ui/dialog_keys_win32.h"

namespace ui {

namespace {

struct ModalState {
  HWND modal;
  HWND previous;  // active when the modal window came up
  std::vector<HWND> disabled;
  bool released = false;
};

BOOL CALLBACK DisableOther(HWND window, LPARAM lparam) {
  ModalState* state = reinterpret_cast<ModalState*>(lparam);
  if (window != state->modal && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    state->disabled.push_back(window);
  }
  return TRUE;
}

// The window that takes the activation back: the one active before, else the
// topmost visible window the loop disabled.
HWND WindowToActivate(const ModalState& state) {
  if (state.previous != nullptr && state.previous != state.modal && IsWindow(state.previous) &&
      IsWindowVisible(state.previous)) {
    return state.previous;
  }
  for (HWND other : state.disabled) {
    if (IsWindow(other) && IsWindowVisible(other)) return other;
  }
  return nullptr;
}

void Release(ModalState* state, bool activate) {
  if (state->released) return;
  state->released = true;
  for (HWND other : state->disabled) {
    if (IsWindow(other)) EnableWindow(other, TRUE);
  }
  HWND target = activate ? WindowToActivate(*state) : nullptr;
  if (target != nullptr && GetForegroundWindow() == state->modal) SetForegroundWindow(target);
}

// The others are enabled and activated before the modal window hides: hidden
// first, it would leave the activation to another program's window, where
// the user's next keys would go.
LRESULT CALLBACK ReleaseBeforeHide(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR, DWORD_PTR data) {
  if (message == WM_WINDOWPOSCHANGING &&
      (reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_HIDEWINDOW)) {
    Release(reinterpret_cast<ModalState*>(data), true);
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace

bool RunModal(HWND window) {
  ModalState state{window, GetActiveWindow(), {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableOther, reinterpret_cast<LPARAM>(&state));
  SetWindowSubclass(window, ReleaseBeforeHide, 1, reinterpret_cast<DWORD_PTR>(&state));
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  bool quit = false;
  MSG message;
  while (IsWindow(window) && IsWindowVisible(window)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      quit = true;
      PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 1);
      break;
    }
    if (HandleDialogKeys(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (IsWindow(window)) RemoveWindowSubclass(window, ReleaseBeforeHide, 1);
  Release(&state, !quit);
  return !quit;
}

}  // namespace ui
