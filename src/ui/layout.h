#ifndef TRAMO_UI_LAYOUT_H_
#define TRAMO_UI_LAYOUT_H_

#include <vector>

// A panel laid out from its design and from what its controls need at the
// font and DPI in effect. Each control keeps its place in the design's order
// and relation: a control that needs more room grows, the panel grows with
// it, and whatever lies right of or below a grown control moves along.

struct LayoutRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Designs are drawn at 96 DPI; every fixed size scales with the DPI in effect.
constexpr int kDesignDpi = 96;

// pixels at 96 DPI as many pixels at dpi, rounded to the nearest.
int Scaled(int pixels, int dpi);
LayoutRect Scaled(const LayoutRect& rect, int dpi);

// How a control keeps its place when the panel grows wider.
enum class Anchor {
  kLeft,     // keeps its left edge
  kRight,    // keeps its distance to the panel's right edge
  kStretch,  // keeps both: it takes the extra width
};

struct LayoutItem {
  LayoutRect design;    // position and size in the design
  int min_width = 0;    // what its content needs (0: the design's size will do)
  int min_height = 0;
  Anchor anchor = Anchor::kLeft;
};

struct PanelLayout {
  std::vector<LayoutRect> rects;  // one per item, in the order given
  int width = 0;                  // the panel's content width
  int height = 0;                 // the bottom of the lowest control
};

// design_width is the content width of the design. Sizes never shrink below
// the design; the gaps between controls side by side are kept.
PanelLayout LayOut(const std::vector<LayoutItem>& items, int design_width);

// The main window's status bar: the start time, "ERR", and the status text
// that takes the rest. Widths in pixels, each text's extent with the
// panel's margins.
struct StatusBarNeeds {
  int start_time = 0;
  int events = 0;
  int status = 0;  // the widest text the third panel must show whole
  int grip = 0;    // the size grip at the bar's right end
  int dpi = kDesignDpi;  // the design widths and margins scale with it
};

// Widths of the first two panels; the third takes the rest of the bar.
struct StatusParts {
  int start_time = 0;
  int events = 0;
};

constexpr int kStartTimeDesignWidth = 120;
constexpr int kEventsDesignWidth = 50;
// What is left of the list beside the search panel at the narrowest window.
constexpr int kMinimumListWidth = 200;
// The client width beside the list that the search panel takes with its gaps.
constexpr int kSearchPanelMargins = 27;

// The design's widths, or what the texts need. Where the third panel would
// be short of its need, the second and then the first give up their slack
// down to their own texts; they never cut their texts.
StatusParts LayOutStatusParts(const StatusBarNeeds& needs, int bar_width);

// The narrowest client width at which every status panel shows its text
// whole and the list beside the search panel stays usable.
int MinimumClientWidth(const StatusBarNeeds& needs, int search_panel_width);

// The client size the main window needs at its first start: the list with
// every column whole (list_width, its frame and scroll bar included) beside
// the whole search panel, above the status bar, and never narrower than
// MinimumClientWidth.
struct MainWindowNeeds {
  int list_width = 0;
  int search_panel_width = 0;
  int search_panel_height = 0;
  int status_bar_height = 0;
};
LayoutRect FirstStartClient(const MainWindowNeeds& needs, const StatusBarNeeds& status);

#endif  // TRAMO_UI_LAYOUT_H_
