#ifndef TRAMO_UI_DIALOG_KEYS_WIN32_H_
#define TRAMO_UI_DIALOG_KEYS_WIN32_H_

#include <windows.h>

// Keyboard handling of dialogs for windows built from plain windows. The
// dialog manager sends WM_COMMAND with IDOK for Enter and IDCANCEL for
// Escape to the top-level window: controls are numbered from kFirstControlId
// up, and IDOK and IDCANCEL go only to the buttons that mean them.
namespace ui {

constexpr int kFirstControlId = 100;

// Tab, Shift+Tab, Enter and Escape of a queued message, handled by the
// dialog manager of the message's top-level window. True when handled: the
// message must not be dispatched again.
bool HandleDialogKeys(MSG* message);

// Escape in the control sends IDCANCEL to its top-level window. For controls
// that keep every key themselves (multi-line edits), so that Escape still
// cancels.
void EscapeCancels(HWND control);

// The push button Enter presses for IDOK: the focused push button of the
// window when there is one, else default_button (which may be nullptr).
HWND ButtonForEnter(HWND window, HWND default_button);

// Presses the button as a click would (nothing for nullptr).
void PressButton(HWND button);

}  // namespace ui

#endif  // TRAMO_UI_DIALOG_KEYS_WIN32_H_
