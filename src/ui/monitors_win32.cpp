// Where the monitors are: their work areas, for placing windows.
#include "ui/controls_win32.h"

namespace ctl {

namespace {

ScreenRect WorkAreaOf(HMONITOR monitor, bool* primary) {
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) {
    return ScreenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  if (primary != nullptr) *primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
  return ScreenRect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas_param) {
  auto* areas = reinterpret_cast<std::vector<ScreenRect>*>(areas_param);
  bool primary = false;
  const ScreenRect area = WorkAreaOf(monitor, &primary);
  if (area.right <= area.left || area.bottom <= area.top) return TRUE;
  // First, so that it wins between equally near monitors.
  areas->insert(primary ? areas->begin() : areas->end(), area);
  return TRUE;
}

}  // namespace

std::vector<ScreenRect> WorkAreas() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  if (areas.empty()) areas.push_back(WorkAreaOf(nullptr, nullptr));
  return areas;
}

ScreenRect WorkAreaNear(HWND window) {
  return WorkAreaOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), nullptr);
}

}  // namespace ctl
