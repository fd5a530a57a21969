#include "ui/dialog_keys_win32.h"

#include <commctrl.h>

namespace ui {

namespace {

LRESULT CALLBACK EscapeCancelsProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR, DWORD_PTR) {
  if (message == WM_KEYDOWN && wparam == VK_ESCAPE) {
    SendMessageA(GetAncestor(control, GA_ROOT), WM_COMMAND, IDCANCEL, 0);
    return 0;
  }
  return DefSubclassProc(control, message, wparam, lparam);
}

bool IsPushButton(HWND control) {
  char class_name[16] = {};
  GetClassNameA(control, class_name, sizeof(class_name));
  if (lstrcmpiA(class_name, "BUTTON") != 0) return false;
  const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace

bool HandleDialogKeys(MSG* message) {
  HWND root = message->hwnd != nullptr ? GetAncestor(message->hwnd, GA_ROOT) : nullptr;
  return root != nullptr && IsDialogMessageW(root, message);
}

void EscapeCancels(HWND control) { SetWindowSubclass(control, EscapeCancelsProc, 1, 0); }

HWND ButtonForEnter(HWND window, HWND default_button) {
  HWND focus = GetFocus();
  if (focus != nullptr && IsChild(window, focus) && IsPushButton(focus)) return focus;
  return default_button;
}

void PressButton(HWND button) {
  if (button != nullptr && IsWindowEnabled(button)) SendMessageA(button, BM_CLICK, 0, 0);
}

}  // namespace ui
