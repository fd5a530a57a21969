#ifndef TRAMO_UI_SIZING_WIN32_H_
#define TRAMO_UI_SIZING_WIN32_H_

#include <windows.h>

#include <string>

// What controls need to show their whole content at the font and DPI in
// effect, measured the way the controls draw.
namespace ui {

// The text's extent in the control's own font, or in font when given
// (GetTextExtentPoint32A).
SIZE TextExtent(HWND control, const std::string& text, HFONT font = nullptr);

// The size the control's content needs: a label its text, a check box or
// radio button its box and text (a multi-line one the height of its lines
// at its width), a push button its text with the frame, a
// month calendar MCM_GETMINREQRECT, a combo box its widest item and arrow,
// an edit the height of a line.
// Other controls report {0, 0}: their design size is enough.
SIZE ContentSize(HWND control);

// The width a spin box (its edit and arrows) needs to show the widest
// number of its range whole.
int SpinWidth(HWND edit, HWND updown);

// The design size of a control, or more where its content needs it.
SIZE FittedSize(HWND control, int design_width, int design_height);

}  // namespace ui

#endif  // TRAMO_UI_SIZING_WIN32_H_
