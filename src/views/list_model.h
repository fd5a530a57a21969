#ifndef TRAMO_VIEWS_LIST_MODEL_H_
#define TRAMO_VIEWS_LIST_MODEL_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "views/list_cells.h"
#include "views/list_order.h"
#include "views/row_store.h"

struct ActivityRecord;
class CSez;

// The rows of the main window's list FileView, with their cell texts, their
// order and their colours. The window shows them through an owner-data list:
// it asks for row i's cell j by index and forwards clicks and draws here.
// The parts live in their own units: the columns, cells and colours in
// list_cells.h, the order in list_order.h, the row texts in row_store.h.

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
  // path. Does not sort. The record is copied; the row's texts are written
  // when first read.
  void ZmenJ(const ActivityRecord* record);
  // Appends an overview row (its path holds the bucket name); nothing
  // without a record or bucket name. Does not sort. Copied as by ZmenJ.
  void ZmenK(const ActivityRecord* record);

  // fileViewCompare in the current mode and sort settings (list_order.h).
  int FileViewCompare(size_t row1, size_t row2) const;

  // Sorts the whole list into ListOrder's order. *tracked_row, when given,
  // is moved to the new index of the row it named (the window's focus).
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
  class Cells;
  SortSettings settings() const { return {view_mode_, sort_column_, sort_direction_}; }
  void Append(const std::string_view* texts) { rows_.Append(texts); }

  uint32_t view_mode_ = 1;
  uint8_t sort_column_ = 1;
  uint8_t sort_direction_ = 0;
  RowStore rows_;
};

#endif  // TRAMO_VIEWS_LIST_MODEL_H_
