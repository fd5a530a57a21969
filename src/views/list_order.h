#ifndef TRAMO_VIEWS_LIST_ORDER_H_
#define TRAMO_VIEWS_LIST_ORDER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ActivityRecord;

// The order of the list FileView (fileViewCompare) over any rows that have
// its cells: the list's own rows, or result records that a command prints
// without building a list.

// The cells the order reads: the sort column, the title column 3 (rows
// without a title come first) and the caption column 0 (ties).
class SortCells {
 public:
  virtual ~SortCells() = default;
  virtual size_t size() const = 0;
  // The text of a cell; valid while the rows are unchanged.
  virtual std::string_view Cell(size_t row, int column) const = 0;
  // The result record a row's cells are made from and how (view mode 2:
  // SearchCellText, 3: OverviewCellText), so that the order can take a
  // cell's value from the record instead of reading its text; nullptr for a
  // row known by its texts alone.
  virtual const ActivityRecord* SourceRecord(size_t /*row*/, uint32_t* /*cells_mode*/) const {
    return nullptr;
  }
};

// The sort settings ("sortC", "sortD" in the configuration) in a view mode;
// the list starts with "Doba" (or "Od") in the normal order. A direction
// other than 1 is the normal order 0; a column beyond 5 imposes no order.
struct SortSettings {
  uint32_t mode = 1;
  uint8_t column = 1;
  uint8_t direction = 0;
};

// fileViewCompare, literally: the composed texts compared with the user
// locale. Negative: row1 sorts first. A date cell that cannot be read makes
// the pair equal and records one event at level 2 per call.
int FileViewCompare(const SortCells& cells, const SortSettings& settings, size_t row1,
                    size_t row2);

// The rows in the order FileViewCompare defines, as indexes (rows that
// compare equal keep their relative order). Each row's key is built once: a
// number where the cell's text orders as one, else the rank of its composed
// text among the distinct texts, so the locale is consulted once per
// distinct text, not per comparison. Rows whose date cell cannot be read
// compare equal to every row; they go to the end and each records one event.
// Without an order (column beyond 5, fewer than two rows) the rows keep
// their places.
std::vector<uint32_t> ListOrder(const SortCells& cells, const SortSettings& settings);

// Result records (view mode 2, search; 3, overview) as the rows ZmenJ and
// ZmenK would make of them, for the order: a cell is formatted once, on
// first use, and only for the columns the order reads.
class RecordCells : public SortCells {
 public:
  RecordCells(uint32_t mode, const std::vector<ActivityRecord*>& records);
  size_t size() const override { return records_.size(); }
  std::string_view Cell(size_t row, int column) const override;
  const ActivityRecord* SourceRecord(size_t row, uint32_t* cells_mode) const override {
    *cells_mode = mode_;
    return records_[row];
  }

 private:
  uint32_t mode_;
  const std::vector<ActivityRecord*>& records_;
  mutable std::vector<std::string> formatted_[6];
};

// The records in the list's order for the settings (their mode 2 or 3).
std::vector<ActivityRecord*> RecordsInListOrder(const std::vector<ActivityRecord*>& records,
                                                const SortSettings& settings);

#endif  // TRAMO_VIEWS_LIST_ORDER_H_
