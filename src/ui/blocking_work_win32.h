#ifndef TRAMO_UI_BLOCKING_WORK_WIN32_H_
#define TRAMO_UI_BLOCKING_WORK_WIN32_H_

#include <windows.h>

// Work that runs inside one handler (history load, search, overview) blocks
// the message loop while it runs.
namespace ui {

// Paints the window at once and hands the picture to the display, so that
// a notice set before the work is seen while it runs.
void PaintNow(HWND window);

// Drops the keyboard and mouse input that arrived while the work blocked
// the loop: it was aimed at a window that did not answer, and replayed
// afterwards it would start work the user no longer expects.
void DropQueuedInput();

}  // namespace ui

#endif  // TRAMO_UI_BLOCKING_WORK_WIN32_H_
