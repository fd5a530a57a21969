#include "ui/blocking_work_win32.h"

namespace ui {

void PaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
  // Wine hands painted windows to the display only when a look for messages
  // finds none; a look for all would find the release of the key or button
  // that started the work, so look for one that nobody posts.
  static const UINT never_posted = RegisterWindowMessageA("Tramo2PaintNow");
  MSG none;
  PeekMessageW(&none, nullptr, never_posted, never_posted, PM_NOREMOVE);
}

void DropQueuedInput() {
  // Presses only: a release whose press was dropped is ignored by every
  // control, while a dropped release would leave a control holding the mouse.
  const UINT presses[] = {WM_KEYDOWN,       WM_CHAR,          WM_SYSKEYDOWN,    WM_SYSCHAR,
                          WM_LBUTTONDOWN,   WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,   WM_RBUTTONDBLCLK,
                          WM_MBUTTONDOWN,   WM_MBUTTONDBLCLK, WM_MOUSEWHEEL,    WM_NCLBUTTONDOWN,
                          WM_NCLBUTTONDBLCLK, WM_NCRBUTTONDOWN, WM_NCRBUTTONDBLCLK,
                          WM_NCMBUTTONDOWN, WM_NCMBUTTONDBLCLK};
  MSG message;
  for (UINT press : presses) {
    while (PeekMessageW(&message, nullptr, press, press, PM_REMOVE)) {
    }
  }
}

}  // namespace ui
