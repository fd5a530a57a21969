#ifndef TRAMO_UI_CONTROLS_WIN32_H_
#define TRAMO_UI_CONTROLS_WIN32_H_

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/wide_text_win32.h"
#include "ui/window_placement.h"

// One-line helpers over the common controls. Texts are code-page-1250 bytes
// and go through the W functions, so they show right on any system code page.
namespace ctl {

// A child control with the GUI font at the parent's DPI; nullptr on failure.
HWND Child(const char* class_name, const char* text, DWORD style, int x, int y, int width,
           int height, HWND parent, int id, DWORD ex_style = 0);

inline void SetText(HWND control, const std::string& text) {
  SetWindowTextW(control, platform::Wide(text).c_str());
}
std::string GetText(HWND control);

inline bool IsChecked(HWND button) {
  return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline void SetChecked(HWND button, bool checked) {
  SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// A message box captioned "Tramo2".
inline int ShowMessage(HWND owner, const std::string& text, UINT flags) {
  return MessageBoxW(owner, platform::Wide(text).c_str(), L"Tramo2", flags);
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
  const std::wstring wide = platform::Wide(text);
  SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(wide.c_str()));
  SendMessageW(bar, SB_SETTIPTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(wide.c_str()));
}
std::string GetStatusText(HWND bar, int part);

// The system's folder chooser, opened at *folder when it names one; false
// when the user cancels.
bool AskFolder(HWND owner, const char* title, std::string* folder);

// The save dialog: *path is offered (a bare name in folder) and becomes the
// chosen file; false when the user cancels.
bool AskSavePath(HWND owner, const char* title, const std::string& folder,
                 const char* extension, std::string* path);

// As UTF-16: the system makes CF_TEXT for other programs in their code page.
inline bool CopyTextToClipboard(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  const std::wstring wide = platform::Wide(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool done = false;
  if (memory != nullptr) {
    wchar_t* target = static_cast<wchar_t*>(GlobalLock(memory));
    memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(memory);
    done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
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
