#include "ui/sizing_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/controls_win32.h"
#include "ui/dpi_win32.h"
#include "ui/layout.h"

namespace ui {

namespace {

std::string ClassOf(HWND control) {
  char name[32] = {};
  GetClassNameA(control, name, sizeof(name));
  return name;
}

// The caption as drawn: "&" marks a mnemonic and takes no room.
std::string DrawnText(HWND control) {
  std::string text = ctl::GetText(control);
  text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
  return text;
}

int WrappedTextHeight(HWND control, const std::string& text, int width) {
  HDC dc = GetDC(control);
  if (dc == nullptr) return 0;
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  RECT rect = {0, 0, width > 1 ? width : 1, 0};
  const std::wstring wide = platform::Wide(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  if (old != nullptr) SelectObject(dc, old);
  ReleaseDC(control, dc);
  return rect.bottom - rect.top;
}

SIZE NeededButtonSize(HWND control) {
  const int dpi = DpiOf(control);
  SIZE text = TextExtent(control, DrawnText(control));
  const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
  const bool box = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                   type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
  if (type == BS_GROUPBOX) return SIZE{0, 0};
  if (box) {
    // The box, the gap the button leaves after it, and room for the focus frame.
    const int check = MetricAt(SM_CXMENUCHECK, dpi);
    const int beside = check + text.cy / 2 + Scaled(4, dpi);
    if (GetWindowLongA(control, GWL_STYLE) & BS_MULTILINE) {
      // Wrapped at the width it has: it needs the height of its lines.
      RECT rect;
      GetClientRect(control, &rect);
      const int lines = WrappedTextHeight(control, DrawnText(control), rect.right - beside);
      return SIZE{0, std::max(lines, check) + Scaled(2, dpi)};
    }
    return SIZE{beside + text.cx, std::max<LONG>(text.cy, check) + Scaled(2, dpi)};
  }
  // The frame, the focus rectangle and the margins the button leaves inside it.
  return SIZE{text.cx + 4 * MetricAt(SM_CXEDGE, dpi) + Scaled(24, dpi), text.cy + Scaled(8, dpi)};
}

SIZE ComboSize(HWND combo) {
  const int dpi = DpiOf(combo);
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  LONG widest = 0;
  LONG height = 0;
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    if (length <= 0) continue;
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&item[0]));
    const SIZE extent = TextExtent(combo, platform::Narrow(item.data(), static_cast<int>(length)));
    widest = std::max(widest, extent.cx);
    height = std::max(height, extent.cy);
  }
  return SIZE{widest + MetricAt(SM_CXVSCROLL, dpi) + 4 * MetricAt(SM_CXEDGE, dpi) + Scaled(4, dpi),
              0};
}

}  // namespace

SIZE TextExtent(HWND control, const std::string& text, HFONT font) {
  SIZE size = {0, 0};
  HDC dc = GetDC(control);
  if (dc == nullptr) return size;
  if (font == nullptr) font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  const std::wstring wide = platform::Wide(text);
  if (!GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size)) {
    size = SIZE{0, 0};
  }
  if (old != nullptr) SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size;
}

SIZE ContentSize(HWND control) {
  const std::string name = ClassOf(control);
  if (lstrcmpiA(name.c_str(), MONTHCAL_CLASSA) == 0) {
    RECT minimum = {};
    if (!SendMessageA(control, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum))) {
      return SIZE{0, 0};
    }
    // The control's border, if it has one, comes on top.
    RECT frame = {0, 0, 0, 0};
    AdjustForDpi(&frame, GetWindowLongA(control, GWL_STYLE) & ~WS_CAPTION, false,
                 GetWindowLongA(control, GWL_EXSTYLE), DpiOf(control));
    return SIZE{minimum.right - minimum.left + frame.right - frame.left,
                minimum.bottom - minimum.top + frame.bottom - frame.top};
  }
  if (lstrcmpiA(name.c_str(), "STATIC") == 0) return TextExtent(control, DrawnText(control));
  if (lstrcmpiA(name.c_str(), "BUTTON") == 0) return NeededButtonSize(control);
  if (lstrcmpiA(name.c_str(), "COMBOBOX") == 0) return ComboSize(control);
  if (lstrcmpiA(name.c_str(), "EDIT") == 0) {
    return SIZE{0, TextExtent(control, "Ág").cy + Scaled(8, DpiOf(control))};
  }
  return SIZE{0, 0};
}

int SpinWidth(HWND edit, HWND updown) {
  int minimum = 0;
  int maximum = 0;
  SendMessageA(updown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&minimum),
               reinterpret_cast<LPARAM>(&maximum));
  const std::string widest = std::to_string(std::max(maximum, minimum < 0 ? -minimum : minimum));
  const LRESULT margins = SendMessageA(edit, EM_GETMARGINS, 0, 0);
  RECT arrows = {};
  GetWindowRect(updown, &arrows);
  // The digits, the edit's margins, its sunken border and the caret.
  const int dpi = DpiOf(edit);
  return TextExtent(edit, widest).cx + LOWORD(margins) + HIWORD(margins) +
         2 * MetricAt(SM_CXEDGE, dpi) + Scaled(2, dpi) + (arrows.right - arrows.left);
}

SIZE FittedSize(HWND control, int design_width, int design_height) {
  const SIZE needed = ContentSize(control);
  return SIZE{std::max<LONG>(design_width, needed.cx), std::max<LONG>(design_height, needed.cy)};
}

}  // namespace ui
