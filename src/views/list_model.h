#ifndef TRAMO_VIEWS_LIST_MODEL_H_
#define TRAMO_VIEWS_LIST_MODEL_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct ActivityRecord;
class CSez;

// The rows of the main window's list FileView, with their cell texts, their
// order and their colours. The window shows them through an owner-data list:
// it asks for row i's cell j by index and forwards clicks and draws here.

constexpr int kListColumns = 6;

// The caption of a live row: a short name for an executable's path
// ("C:\Program Files\Opera\opera.exe" -> "opera").
std::string DisplayName(const std::string& path);

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

// Designed alignment: columns 1, 2, 4 and 5 right, 0 and 3 left (column 3
// then follows the mode's layout).
bool ColumnRightAligned(int column);

enum class ZmenOutcome {
  kIgnored,  // no record or no name: nothing changed
  kUpdated,  // three cells of `row` changed; the order did not
  kAdded,    // a row was appended and the whole list sorted
};

struct ZmenResult {
  ZmenOutcome outcome;
  size_t row;  // the updated row (kUpdated only)
};

// View modes: 0 closing, 1 live session, 2 search results, 3 overview.
class ListModel {
 public:
  ListModel();
  ~ListModel();
  ListModel(const ListModel&) = delete;
  ListModel& operator=(const ListModel&) = delete;

  // Zobraz: sets the view mode and returns the layout the window applies
  // between one begin and one end update (nullptr: leave the list as it is).
  // Rows are kept.
  const ListLayout* Zobraz(uint32_t mode);
  uint32_t view_mode() const { return view_mode_; }

  // The sort settings ("sortC", "sortD" in the configuration). A direction
  // other than 1 is the normal order 0; a column beyond 5 imposes no order.
  uint8_t sort_column() const { return sort_column_; }
  uint8_t sort_direction() const { return sort_direction_; }
  void SetSortSettings(uint8_t column, uint8_t direction);

  size_t size() const { return rows_.size(); }
  // Cell texts: column 0 is the caption, 1 to 5 the sub-items. The view's
  // data is followed by a 0 byte (usable as a C string) and stays valid
  // until the model next changes. row < size(), 0 <= column < 6.
  std::string_view Cell(size_t row, int column) const;
  // The path of the row's record (modes 1 and 2) or the bucket name (mode 3):
  // what the status bar shows and the clipboard and the detailed statistics
  // take.
  std::string_view RowText(size_t row) const;

  void Clear();
  // Room for that many rows, before a bulk fill.
  void Reserve(size_t rows);

  // Appends one live row under the given name; nothing for a missing record
  // or an empty name. Does not sort.
  void PridejDoFileView(const std::string& name, const ActivityRecord* record);
  // The sampler's update of a SessionList record: the first row in the
  // current order whose caption is the record's DisplayName and whose
  // column 3 is its title (both byte for byte) gets the record's time, stamp
  // and title in place; without such a row one is appended and the list
  // sorted. Cost: a scan of the rows, no sort on update.
  ZmenResult Zmen(const ActivityRecord* record);
  // Rebuilds the live rows from the list's records (one row each, in list
  // order; moves the list's iterator) and sorts.
  void PrekresliFileView(CSez* list);
  // Appends a search row (time in seconds); nothing without a record or
  // path. Does not sort.
  void ZmenJ(const ActivityRecord* record);
  // Appends an overview row (its path holds the bucket name); nothing
  // without a record or bucket name. Does not sort.
  void ZmenK(const ActivityRecord* record);

  // fileViewCompare, literally: the composed texts compared with the user
  // locale. Negative: row1 sorts first. A date cell that cannot be read
  // makes the pair equal and records one event at level 2 per call.
  int FileViewCompare(size_t row1, size_t row2) const;

  // Sorts the whole list into the order FileViewCompare defines (rows that
  // compare equal keep their relative order). Each row's key is built once
  // per sort: a number where the cell's text orders as one, else the rank of
  // its composed text among the distinct texts, so the locale is consulted
  // once per distinct text, not per comparison. Rows whose date cell cannot
  // be read compare equal to every row; they go to the end and each records
  // one event. *tracked_row, when given, is moved to the new index of the
  // row it named (the window's focus).
  void Sort(size_t* tracked_row = nullptr);

  // fileViewColumnClick: the same column flips the direction, another column
  // sorts in the normal order; then the whole list is sorted.
  void ColumnClick(uint8_t column, size_t* tracked_row = nullptr);

  // fileViewCustomDrawItem: the row's text colour given the list's font
  // colour. Rows with a title in modes 1 and 2 take DetailRowColor.
  RgbColor RowTextColor(size_t row, RgbColor font) const;

  // FileViewChange and "Kopírovat do schránky": the focused row's row text.
  // focused is the list's focused index, negative for none; false (and
  // *text untouched) when no row has the focus.
  bool FocusedRowText(ptrdiff_t focused, std::string* text) const;

 private:
  class Arena;
  struct RowCells;

  void Append(const RowCells& cells);
  // Replaces row's record by one with the given cells.
  void Replace(size_t row, const RowCells& cells);
  void CompactIfWasteful();

  uint32_t view_mode_ = 1;
  uint8_t sort_column_ = 1;
  uint8_t sort_direction_ = 0;
  // Each row is one record in the arena: seven texts (six cells and the
  // row text), each as a 32-bit length, the bytes and a 0 byte.
  std::vector<const char*> rows_;
  std::unique_ptr<Arena> arena_;
  size_t live_bytes_ = 0;
  size_t dead_bytes_ = 0;
};

#endif  // TRAMO_VIEWS_LIST_MODEL_H_
