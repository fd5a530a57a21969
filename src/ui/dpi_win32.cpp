#include "ui/dpi_win32.h"

#include <map>

#include "ui/layout.h"

namespace ui {

namespace {

// Missing before Windows 10 1607: taken from user32 when it has them.
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

using DpiForWindowFunction = UINT(WINAPI*)(HWND);
using DpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using MetricsForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

BOOL CALLBACK SetFontOfChild(HWND child, LPARAM font) {
  SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}

}  // namespace

int SystemDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int pixels = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return pixels > 0 ? pixels : kDesignDpi;
  }();
  return dpi;
}

int DpiOf(HWND window) {
  static const auto dpi_for_window = User32Function<DpiForWindowFunction>("GetDpiForWindow");
  if (window != nullptr && dpi_for_window != nullptr) {
    const UINT dpi = dpi_for_window(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  // Windows 8.1 to 10 1511 tell the monitor's DPI only (shcore.dll).
  static const auto dpi_for_monitor = [] {
    HMODULE shcore = dpi_for_window == nullptr ? LoadLibraryA("shcore.dll") : nullptr;
    return shcore == nullptr ? nullptr
                             : reinterpret_cast<DpiForMonitorFunction>(reinterpret_cast<void*>(
                                   GetProcAddress(shcore, "GetDpiForMonitor")));
  }();
  UINT dpi_x = 0;
  UINT dpi_y = 0;
  if (window != nullptr && dpi_for_monitor != nullptr &&
      dpi_for_monitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), 0 /* effective */,
                      &dpi_x, &dpi_y) == S_OK && dpi_y > 0) {
    return static_cast<int>(dpi_y);
  }
  return SystemDpi();
}

int MetricAt(int index, int dpi) {
  static const auto metrics_for_dpi =
      User32Function<MetricsForDpiFunction>("GetSystemMetricsForDpi");
  if (metrics_for_dpi != nullptr) return metrics_for_dpi(index, static_cast<UINT>(dpi));
  // The system's metrics are at the system's DPI.
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

void AdjustForDpi(RECT* rect, DWORD style, bool menu, DWORD ex_style, int dpi) {
  static const auto adjust_for_dpi = User32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
  if (adjust_for_dpi != nullptr &&
      adjust_for_dpi(rect, style, menu, ex_style, static_cast<UINT>(dpi))) {
    return;
  }
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, menu, ex_style);
  rect->left += MulDiv(frame.left, dpi, SystemDpi());
  rect->top += MulDiv(frame.top, dpi, SystemDpi());
  rect->right += MulDiv(frame.right, dpi, SystemDpi());
  rect->bottom += MulDiv(frame.bottom, dpi, SystemDpi());
}

HFONT GuiFontAt(int dpi, bool bold) {
  // Only the GUI thread asks; a handful of DPIs in a run.
  static std::map<int, HFONT> fonts;
  const int key = bold ? -dpi : dpi;
  const auto found = fonts.find(key);
  if (found != fonts.end()) return found->second;
  // The face name as it is, whatever the system's code page.
  LOGFONTW font = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
  // 11 pixels at 96 DPI, as the stock font has it, scaled as the system
  // scales its own.
  font.lfHeight = -MulDiv(11, dpi, kDesignDpi);
  font.lfWidth = 0;
  if (bold) font.lfWeight = FW_BOLD;
  HFONT created = CreateFontIndirectW(&font);
  if (created == nullptr) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts[key] = created;
  return created;
}

void SetChildFonts(HWND window) {
  EnumChildWindows(window, SetFontOfChild,
                   reinterpret_cast<LPARAM>(GuiFontAt(DpiOf(window))));
}

void TakeSuggestedRect(HWND window, LPARAM suggested_rect) {
  SetChildFonts(window);
  const RECT* suggested = reinterpret_cast<const RECT*>(suggested_rect);
  SetWindowPos(window, nullptr, suggested->left, suggested->top,
               suggested->right - suggested->left, suggested->bottom - suggested->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ui
