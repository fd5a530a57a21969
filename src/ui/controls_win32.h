#ifndef TRAMO_UI_CONTROLS_WIN32_H_
#define TRAMO_UI_CONTROLS_WIN32_H_

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/window_placement.h"

// One-line helpers over the common controls, "A" functions named explicitly.
namespace ctl {

// A child control with the GUI font at the parent's DPI; nullptr on failure.
HWND Child(const char* class_name, const char* text, DWORD style, int x, int y, int width,
           int height, HWND parent, int id, DWORD ex_style = 0);

inline void SetText(HWND control, const std::string& text) {
  SetWindowTextA(control, text.c_str());
}
std::string GetText(HWND control);

inline bool IsChecked(HWND button) {
  return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline void SetChecked(HWND button, bool checked) {
  SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// A spin box: an edit with an up-down buddy that keeps a number. The edit
// takes digits only; a field left empty keeps the last number it held.
struct Spin {
  HWND edit = nullptr;
  HWND updown = nullptr;
  bool Create(HWND parent, int id, int x, int y, int width, int height, int minimum,
              int maximum);
  // The typed number clamped to the range.
  int Value() const;
  void SetValue(int value) const;
  // Shows Value() in the edit when the typed text differs: on leaving it,
  // and before the value is used, so that what is used is what is shown.
  int ShowValue() const;

 private:
  mutable int last_value_ = 0;
};

// Also the part's tip, which a bar with SBARS_TOOLTIPS shows when the part
// cuts the text.
inline void SetStatusText(HWND bar, int part, const std::string& text) {
  SendMessageA(bar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(bar, SB_SETTIPTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
}
std::string GetStatusText(HWND bar, int part);

// The system's folder chooser, opened at *folder when it names one; false
// when the user cancels.
bool AskFolder(HWND owner, const char* title, std::string* folder);

// The save dialog: *path is offered (a bare name in folder) and becomes the
// chosen file; false when the user cancels.
bool AskSavePath(HWND owner, const char* title, const std::string& folder,
                 const char* extension, std::string* path);

inline bool CopyTextToClipboard(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  bool done = false;
  if (memory != nullptr) {
    char* target = static_cast<char*>(GlobalLock(memory));
    memcpy(target, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    done = SetClipboardData(CF_TEXT, memory) != nullptr;
    if (!done) GlobalFree(memory);
  }
  CloseClipboard();
  return done;
}

// The window's screen position and outer size.
inline WindowPlacement PlacementOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return WindowPlacement{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The work areas of all monitors, the primary's first; the primary screen
// alone when the system lists none.
std::vector<ScreenRect> WorkAreas();

// The work area of the monitor the window is on (the nearest one).
ScreenRect WorkAreaNear(HWND window);

// Centres a window in WorkAreaNear(window).
void CenterOnScreen(HWND window);

}  // namespace ctl

#endif  // TRAMO_UI_CONTROLS_WIN32_H_
