#ifndef TRAMO_UI_MODAL_WIN32_H_
#define TRAMO_UI_MODAL_WIN32_H_

#include <windows.h>

namespace ui {

// Shows the window and runs a message loop until it is hidden or destroyed.
// Meanwhile every other enabled top-level window of the thread is disabled,
// so nothing behind it can be closed or used. As it hides they are enabled
// again and the window active before it (or the topmost one it disabled)
// becomes active, so the keyboard stays with the program. A WM_QUIT met in
// the loop ends it and is posted again, so that the program's own loop ends.
// False when the loop ended on WM_QUIT.
bool RunModal(HWND window);

}  // namespace ui

#endif  // TRAMO_UI_MODAL_WIN32_H_
