#include "ui/window_placement.h"

#include <algorithm>

namespace {

// How far the span [start, start + size] lies outside [low, high]; 0 when
// it reaches in or touches. 64 bits: stored values may be anything.
int64_t Gap(int32_t start, int32_t size, int32_t low, int32_t high) {
  const int64_t end = static_cast<int64_t>(start) + size;
  if (end < low) return low - end;
  if (start > high) return static_cast<int64_t>(start) - high;
  return 0;
}

}  // namespace

WindowPlacement KeepOnScreen(const WindowPlacement& window, const std::vector<ScreenRect>& areas) {
  const ScreenRect* nearest = nullptr;
  double nearest_distance = 0;
  for (const ScreenRect& area : areas) {
    const double dx = static_cast<double>(Gap(window.left, window.width, area.left, area.right));
    const double dy = static_cast<double>(Gap(window.top, window.height, area.top, area.bottom));
    if (dx == 0 && dy == 0) return window;
    const double distance = dx * dx + dy * dy;
    if (nearest == nullptr || distance < nearest_distance) {
      nearest = &area;
      nearest_distance = distance;
    }
  }
  WindowPlacement placed = window;
  if (nearest == nullptr) return placed;
  if (Gap(window.left, window.width, nearest->left, nearest->right) != 0) {
    placed.left = nearest->left;
  }
  if (Gap(window.top, window.height, nearest->top, nearest->bottom) != 0) {
    placed.top = nearest->top;
  }
  return placed;
}

WindowPlacement CentreIn(const ScreenRect& area, int32_t width, int32_t height) {
  const int64_t left = (static_cast<int64_t>(area.left) + area.right - width) / 2;
  const int64_t top = (static_cast<int64_t>(area.top) + area.bottom - height) / 2;
  return WindowPlacement{static_cast<int32_t>(std::max<int64_t>(left, area.left)),
                         static_cast<int32_t>(std::max<int64_t>(top, area.top)), width, height};
}

WindowPlacement FitInArea(const ScreenRect& area, const WindowPlacement& wanted) {
  WindowPlacement fitted = wanted;
  fitted.width = std::min(wanted.width, area.right - area.left);
  fitted.height = std::min(wanted.height, area.bottom - area.top);
  fitted.left = std::max(area.left, std::min(wanted.left, area.right - fitted.width));
  fitted.top = std::max(area.top, std::min(wanted.top, area.bottom - fitted.height));
  return fitted;
}
