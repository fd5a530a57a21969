#include "ui/control_layout_win32.h"

#include <commctrl.h>

#include "ui/dpi_win32.h"
#include "ui/sizing_win32.h"

namespace ui {

HWND ControlLayout::Add(HWND control, const LayoutRect& design, Anchor anchor, int drop_height) {
  if (control != nullptr) placed_.push_back(Placed{control, design, anchor, drop_height, nullptr});
  return control;
}

HWND ControlLayout::Child(const char* class_name, const char* text, DWORD style,
                          const LayoutRect& design, Anchor anchor, HWND parent, int id,
                          DWORD ex_style) {
  return Add(ctl::Child(class_name, text, style, design.left, design.top, design.width,
                        design.height, parent, id, ex_style),
             design, anchor);
}

void ControlLayout::AddSpin(const ctl::Spin& spin, const LayoutRect& design, Anchor anchor) {
  placed_.push_back(Placed{spin.edit, design, anchor, 0, spin.updown});
}

PanelLayout ControlLayout::Apply(int design_width, int top_offset, int dpi) const {
  HFONT font = GuiFontAt(dpi);
  std::vector<LayoutItem> items;
  for (const Placed& placed : placed_) {
    // Measured in the font they will show.
    SendMessageA(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (placed.updown != nullptr) {
      SendMessageA(placed.updown, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    LayoutItem item;
    item.design = Scaled(placed.design, dpi);
    item.anchor = placed.anchor;
    const SIZE needed = ContentSize(placed.control);
    item.min_width =
        placed.updown != nullptr ? SpinWidth(placed.control, placed.updown) : needed.cx;
    item.min_height = needed.cy;
    items.push_back(item);
  }
  const PanelLayout layout = LayOut(items, Scaled(design_width, dpi));
  for (size_t i = 0; i < placed_.size(); ++i) {
    const Placed& placed = placed_[i];
    const LayoutRect& r = layout.rects[i];
    MoveWindow(placed.control, r.left, r.top - top_offset, r.width,
               placed.drop_height > 0 ? Scaled(placed.drop_height, dpi) : r.height, FALSE);
    // The arrows sit inside the edit's rectangle again.
    if (placed.updown != nullptr) {
      SendMessageA(placed.updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(placed.control), 0);
    }
  }
  return layout;
}

}  // namespace ui
