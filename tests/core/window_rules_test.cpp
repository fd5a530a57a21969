// Rules the windows apply to their controls: spinner values, the panel and
// status-bar layout from measured sizes, which row the list's focus follows,
// and the header's sort arrow.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "core/test_util.h"
#include "store/csez.h"
#include "support/datetime.h"
#include "ui/layout.h"
#include "ui/spin_value.h"
#include "ui/window_placement.h"
#include "views/list_focus.h"
#include "views/list_header.h"
#include "views/list_model.h"

using testutil::Record;

namespace {

TEST(SpinValue, TypedTextIsReadAsANumberInTheRange) {
  const int32_t kLast = 5;  // what the field held before
  const struct {
    const char* text;
    int32_t minimum, maximum, expected;
  } cases[] = {
      {"-5", 0, INT_MAX, 0},          {"99999", 1, 86400, 86400},
      {"0", 1, 86400, 1},             {"", 1, 12, kLast},
      {"abc", 1, 12, kLast},          {"-", 0, 9999, kLast},
      {" 7", 1, 12, 7},               {"12x", 1, 12, 12},
      {"+3", 1, 12, 3},               {"60", 0, INT_MAX, 60},
      {"99999999999999999999", 0, 9999, 9999},
      {"-99999999999999999999", -5, 5, -5},
      {"2147483648", 0, INT_MAX, INT_MAX},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, SpinValueOf(c.text, c.minimum, c.maximum, kLast)) << '"' << c.text << '"';
  }
}

// The search panel's design: calendars and edits stretch, the controls at
// the right edge stay there.
std::vector<LayoutItem> PanelDesign() {
  const struct {
    LayoutRect rect;
    Anchor anchor;
  } design[] = {
      {{8, 19, 17, 17}, Anchor::kLeft},     {{31, 16, 49, 22}, Anchor::kLeft},
      {{87, 16, 65, 22}, Anchor::kRight},   {{3, 40, 150, 105}, Anchor::kStretch},
      {{8, 155, 17, 17}, Anchor::kLeft},    {{31, 153, 49, 22}, Anchor::kLeft},
      {{87, 153, 65, 22}, Anchor::kRight},  {{3, 177, 150, 105}, Anchor::kStretch},
      {{3, 294, 149, 14}, Anchor::kLeft},   {{3, 309, 149, 21}, Anchor::kStretch},
      {{75, 332, 78, 17}, Anchor::kRight},  {{3, 350, 149, 21}, Anchor::kStretch},
      {{3, 380, 92, 14}, Anchor::kLeft},    {{96, 376, 57, 22}, Anchor::kRight},
      {{3, 403, 70, 21}, Anchor::kLeft},    {{82, 403, 70, 21}, Anchor::kRight},
      {{0, 432, 153, 1}, Anchor::kStretch}, {{3, 439, 70, 21}, Anchor::kLeft},
      {{81, 440, 73, 21}, Anchor::kRight},
  };
  std::vector<LayoutItem> items;
  for (const auto& d : design) {
    LayoutItem item;
    item.design = d.rect;
    item.anchor = d.anchor;
    items.push_back(item);
  }
  return items;
}

constexpr int kDesignWidth = 154;

bool Overlap(const LayoutRect& a, const LayoutRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

TEST(PanelLayout, TheDesignStandsWhenEveryControlFits) {
  const std::vector<LayoutItem> items = PanelDesign();
  const PanelLayout layout = LayOut(items, kDesignWidth);
  EXPECT_EQ(kDesignWidth, layout.width);
  EXPECT_EQ(461, layout.height);
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].design.left, layout.rects[i].left) << i;
    EXPECT_EQ(items[i].design.top, layout.rects[i].top) << i;
    EXPECT_EQ(items[i].design.width, layout.rects[i].width) << i;
    EXPECT_EQ(items[i].design.height, layout.rects[i].height) << i;
  }
}

TEST(PanelLayout, ALargerCalendarWidensThePanelAndMovesWhatFollows) {
  std::vector<LayoutItem> items = PanelDesign();
  items[3].min_width = 180;  // the first calendar's minimal size at this font
  items[3].min_height = 140;
  const PanelLayout layout = LayOut(items, kDesignWidth);
  EXPECT_EQ(kDesignWidth + 30, layout.width);
  EXPECT_EQ(180, layout.rects[3].width);
  EXPECT_EQ(140, layout.rects[3].height);
  EXPECT_EQ(87 + 30, layout.rects[2].left);   // the year spinner keeps the right edge
  EXPECT_EQ(31, layout.rects[1].left);        // the month spinner keeps its place
  EXPECT_EQ(153 + 35, layout.rects[5].top);   // the end date's row moves down
  EXPECT_EQ(149 + 30, layout.rects[9].width);  // the name field takes the width
  EXPECT_EQ(461 + 35, layout.height);
}

// Whatever the controls need: each gets it, none overlaps another it did
// not overlap in the design, and the order across and down is kept.
TEST(PanelLayout, MeasuredSizesKeepOrderAndRelation) {
  const std::vector<LayoutItem> design = PanelDesign();
  std::mt19937 generator(20261208);
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<LayoutItem> items = design;
    for (LayoutItem& item : items) {
      if (generator() % 3 == 0) item.min_width = item.design.width + generator() % 80;
      if (generator() % 4 == 0) item.min_height = item.design.height + generator() % 40;
    }
    const PanelLayout layout = LayOut(items, kDesignWidth);
    for (size_t i = 0; i < items.size(); ++i) {
      const LayoutRect& r = layout.rects[i];
      ASSERT_GE(r.width, items[i].min_width) << trial << " " << i;
      ASSERT_GE(r.height, items[i].min_height) << trial << " " << i;
      ASSERT_GE(r.left, 0);
      ASSERT_LE(r.left + r.width, layout.width) << trial << " " << i;
      ASSERT_LE(r.top + r.height, layout.height);
      for (size_t j = 0; j < items.size(); ++j) {
        if (i == j || Overlap(items[i].design, items[j].design)) continue;
        ASSERT_FALSE(Overlap(r, layout.rects[j])) << trial << ": " << i << " and " << j;
        if (items[i].design.top < items[j].design.top) {
          ASSERT_LE(r.top, layout.rects[j].top) << trial << ": " << i << " and " << j;
        }
        const bool same_row = items[i].design.top < items[j].design.top + items[j].design.height &&
                              items[j].design.top < items[i].design.top + items[i].design.height;
        if (same_row && items[i].design.left + items[i].design.width <= items[j].design.left) {
          ASSERT_LE(r.left + r.width, layout.rects[j].left) << trial << ": " << i << " " << j;
        }
      }
    }
  }
}

// From the narrowest client width up, every status panel shows its text and
// the list keeps its width; the first two panels keep the design's widths
// while there is room, "ERR" giving up its slack before the start time. The
// design's widths and the list's minimum scale with the DPI.
TEST(StatusBarLayout, PanelsGiveUpSlackButNeverTheirTexts) {
  std::mt19937 generator(20261209);
  for (int trial = 0; trial < 200; ++trial) {
    StatusBarNeeds needs;
    needs.dpi = (std::vector<int>{96, 120, 144, 192})[trial % 4];
    needs.start_time = 20 + static_cast<int>(generator() % 200);
    needs.events = static_cast<int>(generator() % 80);
    needs.status = static_cast<int>(generator() % 700);
    needs.grip = static_cast<int>(generator() % 20);
    const int panel = 150 + static_cast<int>(generator() % 200);
    const int minimum = MinimumClientWidth(needs, panel);
    ASSERT_GE(minimum - panel - Scaled(kSearchPanelMargins, needs.dpi),
              Scaled(kMinimumListWidth, needs.dpi)) << trial;
    const int start_design = std::max(Scaled(kStartTimeDesignWidth, needs.dpi), needs.start_time);
    const int events_design = std::max(Scaled(kEventsDesignWidth, needs.dpi), needs.events);
    for (int bar = minimum; bar < minimum + 200; bar += 7) {
      const StatusParts parts = LayOutStatusParts(needs, bar);
      ASSERT_GE(parts.start_time, needs.start_time) << trial;
      ASSERT_GE(parts.events, needs.events) << trial;
      const int room = bar - needs.status - needs.grip;
      ASSERT_EQ(std::min(start_design + events_design, room), parts.start_time + parts.events)
          << trial << " " << bar;
      if (parts.start_time < start_design) {
        ASSERT_EQ(needs.events, parts.events) << trial;
      }
    }
  }
}

// Every row the user may have picked is still the focused record after the
// rows move under it; a record that is gone leaves no focus.
TEST(ListFocus, TheFocusFollowsTheRecordThroughEveryReorder) {
  const double day = EncodeDateTime(2026, 12, 7, 10, 0, 0);
  const std::vector<ActivityRecord> records = {
      Record("C:\\a\\word.exe", "", 500, day),
      Record("C:\\a\\word.exe", "Dopis", 300, day - 1),
      Record("C:\\b\\wordpad.exe", "", 700, day - 2),
      Record("C:\\c\\opera.exe", "", 100, day + 0.5),
      Record("D:\\a\\word.exe", "", 900, day - 3),
  };
  for (uint32_t mode : {1u, 2u, 3u}) {
    for (uint8_t column = 0; column < kListColumns; ++column) {
      for (size_t picked = 0; picked < records.size(); ++picked) {
        ListModel model;
        model.Zobraz(mode);
        for (const ActivityRecord& r : records) {
          if (mode == 1) model.PridejDoFileView(DisplayName(r.PathText()), &r);
          if (mode == 2) model.ZmenJ(&r);
          if (mode == 3) model.ZmenK(&r);
        }
        const RowIdentity focused = IdentityOfRow(model, static_cast<ptrdiff_t>(picked));
        const std::string text(model.RowText(picked));
        const std::string title(model.Cell(picked, 3));
        model.ColumnClick(column);
        model.ColumnClick(column);  // the reversed order too
        const ptrdiff_t row = FindRow(model, focused);
        ASSERT_GE(row, 0) << mode << " " << int(column) << " " << picked;
        EXPECT_EQ(text, model.RowText(row));
        if (mode != 3) {
          EXPECT_EQ(title, model.Cell(row, 3));
        }
      }
    }
  }
  ListModel model;
  model.PridejDoFileView("word", &records[0]);
  const RowIdentity gone = IdentityOfRow(model, 0);
  model.Clear();
  model.PridejDoFileView("opera", &records[3]);
  EXPECT_EQ(-1, FindRow(model, gone));
  EXPECT_FALSE(IdentityOfRow(model, -1).valid);
  EXPECT_FALSE(IdentityOfRow(model, 1).valid);
  EXPECT_EQ(-1, FindRow(model, RowIdentity()));
}

TEST(SortArrow, UpForAscendingOrders) {
  // Names and titles run A to Z in the normal order, the rest largest first.
  const bool up_in_normal_order[kListColumns] = {true, false, false, true, false, false};
  for (uint8_t column = 0; column < kListColumns; ++column) {
    EXPECT_EQ(up_in_normal_order[column], SortArrowUp(column, 0)) << int(column);
    EXPECT_EQ(!up_in_normal_order[column], SortArrowUp(column, 1)) << int(column);
  }
}

// Work areas: the primary above its taskbar, one monitor left of it, one above.
const std::vector<ScreenRect> kMonitors = {
    {0, 0, 1920, 1040}, {-1280, -100, 0, 924}, {0, -1080, 1920, -40}};

TEST(WindowPlacement, KeptOnAnyMonitorElseMovedOntoTheNearest) {
  const struct {
    WindowPlacement stored;
    bool primary_only;
    int32_t left, top;
  } cases[] = {  // on the primary, left of it, above it, partly off; off, nearest the left one;
                 // its monitor gone; larger than any area, off and showing; past 32 bits
      {{100, 100, 640, 450}, false, 100, 100},      {{-1000, 300, 640, 450}, false, -1000, 300},
      {{200, -800, 640, 450}, false, 200, -800},    {{-300, 1000, 640, 450}, false, -300, 1000},
      {{-2500, 300, 640, 450}, false, -1280, 300},  {{-1000, 300, 640, 450}, true, 0, 300},
      {{4000, 2000, 2500, 1200}, false, 0, 0},      {{-100, -50, 2500, 1200}, false, -100, -50},
      {{INT_MAX, INT_MAX, INT_MAX, INT_MAX}, true, 0, 0},
      {{INT_MIN, -10, -1, INT_MAX}, true, 0, -10},
  };
  for (const auto& c : cases) {
    const WindowPlacement placed = KeepOnScreen(
        c.stored, c.primary_only ? std::vector<ScreenRect>{kMonitors[0]} : kMonitors);
    EXPECT_EQ(c.left, placed.left) << c.stored.left << "," << c.stored.top;
    EXPECT_EQ(c.top, placed.top) << c.stored.left << "," << c.stored.top;
  }
  EXPECT_EQ(-960, CentreIn(kMonitors[1], 640, 450).left);
  EXPECT_EQ(-100, CentreIn(kMonitors[1], 2000, 1200).top);  // the caption stays on screen
}

// The first start: the list and the whole panel above the status bar, as
// much as the monitor holds, moved in rather than cut.
TEST(WindowPlacement, FirstStartFitsTheWorkArea) {
  StatusBarNeeds status;
  status.dpi = 144;
  const LayoutRect client = FirstStartClient(MainWindowNeeds{700, 300, 900, 30}, status);
  EXPECT_EQ(700 + 300 + Scaled(kSearchPanelMargins, 144), client.width);
  EXPECT_EQ(900 + 30 + 6, client.height);
  status.status = 2000;  // a status text wider than list and panel
  EXPECT_EQ(2000, FirstStartClient(MainWindowNeeds{700, 300, 900, 30}, status).width);
  const struct {
    WindowPlacement wanted, fitted;
  } cases[] = {
      {{100, 100, 1000, 700}, {100, 100, 1000, 700}},  // fits as it is
      {{100, 100, 1900, 700}, {20, 100, 1900, 700}},   // moved left
      {{100, 100, 2500, 1200}, {0, 0, 1920, 1040}},    // capped
      {{-1200, 100, 800, 600}, {0, 100, 800, 600}},    // moved onto the area
  };
  for (const auto& c : cases) {
    const WindowPlacement fitted = FitInArea(kMonitors[0], c.wanted);
    EXPECT_EQ((std::vector<int32_t>{c.fitted.left, c.fitted.top, c.fitted.width, c.fitted.height}),
              (std::vector<int32_t>{fitted.left, fitted.top, fitted.width, fitted.height}));
  }
}

}  // namespace
