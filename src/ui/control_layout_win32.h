#ifndef TRAMO_UI_CONTROL_LAYOUT_WIN32_H_
#define TRAMO_UI_CONTROL_LAYOUT_WIN32_H_

#include <windows.h>

#include <vector>

#include "ui/controls_win32.h"
#include "ui/layout.h"

namespace ui {

// A window's controls with their places in the design, laid out (LayOut)
// from what each needs at the font in effect (ContentSize).
class ControlLayout {
 public:
  // Returns control, so creation and placing read as one step. A combo
  // box's design height is that of its closed box; drop_height, when given,
  // is the height it is moved with (its list included).
  HWND Add(HWND control, const LayoutRect& design, Anchor anchor, int drop_height = 0);
  // ctl::Child created at its design place, then added.
  HWND Child(const char* class_name, const char* text, DWORD style, const LayoutRect& design,
             Anchor anchor, HWND parent, int id, DWORD ex_style = 0);
  // A spin box by its edit; the arrows follow the edit.
  void AddSpin(const ctl::Spin& spin, const LayoutRect& design, Anchor anchor);

  // Gives every control the GUI font at dpi, measures, lays out the design
  // scaled to dpi and moves every control, top_offset pixels up (a scrolled
  // panel). The layout's rects are in the order of adding, in pixels at dpi.
  PanelLayout Apply(int design_width, int top_offset, int dpi) const;

 private:
  struct Placed {
    HWND control;
    LayoutRect design;
    Anchor anchor;
    int drop_height;
    HWND updown;
  };
  std::vector<Placed> placed_;
};

}  // namespace ui

#endif  // TRAMO_UI_CONTROL_LAYOUT_WIN32_H_
