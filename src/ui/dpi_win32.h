#ifndef TRAMO_UI_DPI_WIN32_H_
#define TRAMO_UI_DPI_WIN32_H_

#include <windows.h>

// Windows 8.1 and later send it; the headers give it only for such targets.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// The DPI each window is shown at. The program is per-monitor aware where
// Windows knows that (the manifest); the functions that tell a window's own
// DPI are looked up at run time, and older systems give the system's DPI.
namespace ui {

// The system's DPI (LOGPIXELSY of the screen).
int SystemDpi();

// The window's DPI: its monitor's on Windows 10 1607 and later, else the
// system's; the system's for nullptr.
int DpiOf(HWND window);

// GetSystemMetrics at dpi.
int MetricAt(int index, int dpi);

// AdjustWindowRectEx at dpi: the outer rectangle of a client rectangle.
void AdjustForDpi(RECT* rect, DWORD style, bool menu, DWORD ex_style, int dpi);

// The program's GUI font (DEFAULT_GUI_FONT as it is at 96 DPI) at dpi,
// bold when asked. Kept for the life of the process; never delete it.
HFONT GuiFontAt(int dpi, bool bold = false);

// Gives the window's children the GUI font at the window's DPI.
void SetChildFonts(HWND window);

// WM_DPICHANGED: the window moved and sized to the rectangle Windows suggests
// (lparam), its children given the font of the new DPI.
void TakeSuggestedRect(HWND window, LPARAM suggested_rect);

}  // namespace ui

#endif  // TRAMO_UI_DPI_WIN32_H_
