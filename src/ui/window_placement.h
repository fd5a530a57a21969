#ifndef TRAMO_UI_WINDOW_PLACEMENT_H_
#define TRAMO_UI_WINDOW_PLACEMENT_H_

#include <cstdint>
#include <vector>

// A window's screen position and outer size in pixels.
struct WindowPlacement {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
};

// A rectangle of the virtual screen, right and bottom excluded. Monitors
// left of or above the primary one have negative coordinates.
struct ScreenRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// The position a stored window opens at, given the monitors' work areas
// (the primary's first). Kept while the window reaches into any work area;
// an edge lying on the area's border counts, as the one-screen rule always
// had it. Otherwise the nearest area (the first of equally near ones) takes
// it: each coordinate whose span misses that area moves to the area's left
// or top edge, the other stays. No areas: kept. Size is never changed.
WindowPlacement KeepOnScreen(const WindowPlacement& window, const std::vector<ScreenRect>& areas);

// The top-left corner that centres a window of this size in the area; one
// larger than the area starts at its left or top edge, so its caption shows.
WindowPlacement CentreIn(const ScreenRect& area, int32_t width, int32_t height);

// A window of the wanted size at the wanted place, as much of it as the area
// holds: the size capped by the area's, then moved left and up as far as
// needed to lie inside it.
WindowPlacement FitInArea(const ScreenRect& area, const WindowPlacement& wanted);

#endif  // TRAMO_UI_WINDOW_PLACEMENT_H_
