#include "ui/layout.h"

#include <algorithm>
#include <cstdint>

namespace {

int Right(const LayoutRect& r) { return r.left + r.width; }
int Bottom(const LayoutRect& r) { return r.top + r.height; }

bool SideBySide(const LayoutRect& a, const LayoutRect& b) {
  return a.top < Bottom(b) && b.top < Bottom(a);
}

int NeededWidth(const LayoutItem& item) { return std::max(item.design.width, item.min_width); }

// Whether a stands left of b in one row of the design.
bool LeftOf(const LayoutItem& a, const LayoutItem& b) {
  return SideBySide(a.design, b.design) && Right(a.design) <= b.design.left;
}

}  // namespace

PanelLayout LayOut(const std::vector<LayoutItem>& items, int design_width) {
  const size_t n = items.size();
  std::vector<size_t> by_left(n);
  for (size_t i = 0; i < n; ++i) by_left[i] = i;
  std::stable_sort(by_left.begin(), by_left.end(), [&](size_t a, size_t b) {
    return items[a].design.left < items[b].design.left;
  });

  // Across: the left-anchored controls push the ones right of them, the
  // right-anchored ones those left of them; the gaps of the design stay.
  std::vector<int> left(n, 0);       // left edge, for controls that keep it
  std::vector<int> from_right(n, 0);  // distance of the right edge to the panel's
  for (size_t k = 0; k < n; ++k) {
    const size_t i = by_left[k];
    if (items[i].anchor == Anchor::kRight) continue;
    left[i] = items[i].design.left;
    for (size_t m = 0; m < k; ++m) {
      const size_t a = by_left[m];
      if (items[a].anchor == Anchor::kRight || !LeftOf(items[a], items[i])) continue;
      const int gap = items[i].design.left - Right(items[a].design);
      left[i] = std::max(left[i], left[a] + NeededWidth(items[a]) + gap);
    }
  }
  for (size_t k = n; k-- > 0;) {
    const size_t i = by_left[k];
    if (items[i].anchor != Anchor::kRight) continue;
    from_right[i] = std::max(0, design_width - Right(items[i].design));
    for (size_t m = k + 1; m < n; ++m) {
      const size_t b = by_left[m];
      if (items[b].anchor != Anchor::kRight || !LeftOf(items[i], items[b])) continue;
      const int gap = items[b].design.left - Right(items[i].design);
      from_right[i] = std::max(from_right[i], from_right[b] + NeededWidth(items[b]) + gap);
    }
  }

  PanelLayout layout;
  layout.width = design_width;
  for (size_t i = 0; i < n; ++i) {
    const int margin = std::max(0, design_width - Right(items[i].design));
    if (items[i].anchor == Anchor::kRight) {
      layout.width = std::max(layout.width, NeededWidth(items[i]) + from_right[i]);
      continue;
    }
    layout.width = std::max(layout.width, left[i] + NeededWidth(items[i]) + margin);
    for (size_t b = 0; b < n; ++b) {
      if (items[b].anchor != Anchor::kRight || !LeftOf(items[i], items[b])) continue;
      const int gap = items[b].design.left - Right(items[i].design);
      layout.width = std::max(layout.width, left[i] + NeededWidth(items[i]) + gap +
                                                NeededWidth(items[b]) + from_right[b]);
    }
  }

  layout.rects.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const LayoutItem& item = items[i];
    LayoutRect& r = layout.rects[i];
    r.height = std::max(item.design.height, item.min_height);
    switch (item.anchor) {
      case Anchor::kLeft:
        r.left = left[i];
        r.width = NeededWidth(item);
        break;
      case Anchor::kRight:
        r.width = NeededWidth(item);
        r.left = layout.width - from_right[i] - r.width;
        break;
      case Anchor::kStretch:
        r.left = left[i];
        r.width = layout.width - std::max(0, design_width - Right(item.design)) - r.left;
        break;
    }
  }

  // Downwards: a control moves by the most that anything wholly above it
  // in the design has moved or grown at its bottom.
  std::vector<size_t> order(n);
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return items[a].design.top < items[b].design.top; });
  std::vector<int> bottom_shift(n, 0);
  for (size_t k = 0; k < order.size(); ++k) {
    const size_t i = order[k];
    int shift = 0;
    for (size_t m = 0; m < k; ++m) {
      const size_t above = order[m];
      if (Bottom(items[above].design) <= items[i].design.top) {
        shift = std::max(shift, bottom_shift[above]);
      }
    }
    layout.rects[i].top = items[i].design.top + shift;
    bottom_shift[i] = Bottom(layout.rects[i]) - Bottom(items[i].design);
    layout.height = std::max(layout.height, Bottom(layout.rects[i]));
  }
  return layout;
}

int Scaled(int pixels, int dpi) {
  const int64_t product = static_cast<int64_t>(pixels) * dpi;
  const int64_t half = kDesignDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi
                                       : -((-product + half) / kDesignDpi));
}

LayoutRect Scaled(const LayoutRect& rect, int dpi) {
  return LayoutRect{Scaled(rect.left, dpi), Scaled(rect.top, dpi), Scaled(rect.width, dpi),
                    Scaled(rect.height, dpi)};
}

StatusParts LayOutStatusParts(const StatusBarNeeds& needs, int bar_width) {
  StatusParts parts;
  parts.start_time = std::max(Scaled(kStartTimeDesignWidth, needs.dpi), needs.start_time);
  parts.events = std::max(Scaled(kEventsDesignWidth, needs.dpi), needs.events);
  const int short_by = parts.start_time + parts.events + needs.status + needs.grip - bar_width;
  const int from_events = std::clamp(short_by, 0, parts.events - needs.events);
  parts.events -= from_events;
  parts.start_time -= std::clamp(short_by - from_events, 0, parts.start_time - needs.start_time);
  return parts;
}

int MinimumClientWidth(const StatusBarNeeds& needs, int search_panel_width) {
  // The list and the panel as the window lays them out (FormResize).
  const int beside_panel = Scaled(kMinimumListWidth, needs.dpi) + search_panel_width +
                           Scaled(kSearchPanelMargins, needs.dpi);
  return std::max(beside_panel, needs.start_time + needs.events + needs.status + needs.grip);
}

LayoutRect FirstStartClient(const MainWindowNeeds& needs, const StatusBarNeeds& status) {
  // The list and the panel as FormResize places them.
  const int width = needs.list_width + needs.search_panel_width +
                    Scaled(kSearchPanelMargins, status.dpi);
  const int height = needs.search_panel_height + needs.status_bar_height + Scaled(4, status.dpi);
  return LayoutRect{0, 0, std::max(width, MinimumClientWidth(status, needs.search_panel_width)),
                    height};
}
