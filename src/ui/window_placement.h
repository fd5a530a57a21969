#ifndef TRAMO_UI_WINDOW_PLACEMENT_H_
#define TRAMO_UI_WINDOW_PLACEMENT_H_

#include <cstdint>

// A window's screen position and outer size in pixels.
struct WindowPlacement {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
};

#endif  // TRAMO_UI_WINDOW_PLACEMENT_H_
