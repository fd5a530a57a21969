#ifndef TRAMO_VIEWS_LIST_CELLS_H_
#define TRAMO_VIEWS_LIST_CELLS_H_

#include <cstdint>
#include <string>
#include <vector>

struct ActivityRecord;

// What the list FileView shows of a row: its columns and their captions per
// view mode, the cell texts made from a record, and the row colours.

constexpr int kListColumns = 6;

// The caption of a live row: a short name for an executable's path
// ("C:\Program Files\Opera\opera.exe" -> "opera").
std::string DisplayName(const std::string& path);

// The cell texts of a search row (view mode 2, ZmenJ) or an overview row
// (view mode 3, ZmenK) made from its result record; column 0 to 5. The row
// text of both is the record's path (the bucket name of an overview entry).
std::string SearchCellText(const ActivityRecord& record, int column);
std::string OverviewCellText(const ActivityRecord& record, int column);

struct RgbColor {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

inline bool operator==(RgbColor a, RgbColor b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// The text colour of rows that carry a window title, derived from the list's
// own font colour: darker where it can be, else lighter.
RgbColor DetailRowColor(RgbColor font);

// Which popup menu the list offers: PopupMenu1 ("Přidat do podrobných
// statistik", "Kopírovat do schránky") or PopupMenu2 ("Zobrazit podrobněji",
// "Kopírovat do schránky").
enum class ListPopup { kActivity, kOverview };

struct ListLayout {
  ListPopup popup;
  bool column3_right_aligned;  // the other columns keep their designed sides
  const char* captions[kListColumns];
};

// The layout of view modes 1 to 3; nullptr for any other mode, whose
// selection changes nothing on the list.
const ListLayout* LayoutForMode(uint32_t mode);

// What a column must show whole, so that its default width fits it: the
// captions of every view mode, and for the figures the widest of their
// kind (a date-time, a duration of ten years, a day count of ten years).
// Names and titles have no widest text: none is given for them.
struct ColumnSamples {
  std::vector<std::string> captions;
  std::vector<std::string> cells;
};
ColumnSamples ColumnWidthSamples(int column);

// Designed alignment: columns 1, 2, 4 and 5 right, 0 and 3 left (column 3
// then follows the mode's layout).
bool ColumnRightAligned(int column);
// The side of a column in a view mode's layout.
bool ColumnRightAligned(const ListLayout& layout, int column);

#endif  // TRAMO_VIEWS_LIST_CELLS_H_
