#ifndef TRAMO_VIEWS_ROW_STORE_H_
#define TRAMO_VIEWS_ROW_STORE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "store/csez.h"
#include "views/list_cells.h"

// The texts of the list's rows: each row is one record of seven texts (six
// cells and the row text) in large arena blocks, so that a fill of many rows
// costs few allocations and a row is read without a pointer per cell.
// Search and overview rows keep a copy of their result record instead and
// write their texts on first read: a list of a quarter of a million rows
// shows a few dozen of them.
class RowStore {
 public:
  static constexpr int kTexts = kListColumns + 1;
  static constexpr int kRowTextIndex = kListColumns;

  // How a row made from a result record writes its cells: as a search row
  // (SearchCellText) or an overview row (OverviewCellText).
  enum class RecordCells : uint8_t { kSearch, kOverview };

  RowStore();
  ~RowStore();
  RowStore(const RowStore&) = delete;
  RowStore& operator=(const RowStore&) = delete;

  size_t size() const { return rows_.size(); }
  // Text 0-5 is a cell, 6 the row text; followed by a 0 byte, valid until
  // the row is next replaced or the store cleared.
  std::string_view Text(size_t row, int index) const;
  // The record a search or overview row was made from and its cells' kind;
  // nullptr for a row appended as texts.
  const ActivityRecord* SourceRecord(size_t row, RecordCells* cells) const;

  void Clear();
  void Reserve(size_t rows) { rows_.reserve(rows); }
  // texts holds kTexts texts; they may point into the store itself.
  void Append(const std::string_view* texts);
  // A row whose texts are those of the record's cells of that kind, with the
  // record's path as its row text. The record is copied.
  void AppendRecord(const ActivityRecord& record, RecordCells cells);
  void Replace(size_t row, const std::string_view* texts);
  // Puts the rows into the given order: order[i] is the old index of the
  // new row i, each old index once.
  void Reorder(const std::vector<uint32_t>& order);

 private:
  class Arena;
  static constexpr uint32_t kNoRecord = 0xFFFFFFFFu;

  struct Row {
    const char* texts;  // nullptr until a record row is first read
    uint32_t record;    // index into records_, or kNoRecord
  };
  struct SourceRow {
    ActivityRecord record;
    RecordCells cells;
  };

  const char* Write(const std::string_view* texts, size_t* size) const;
  // The texts of a record row that are its record's own (kept in the text
  // pool), or false for a cell that must be written.
  bool OwnText(const SourceRow& source, int index, std::string_view* text) const;
  const char* WriteRecordRow(const SourceRow& source) const;
  void CompactIfWasteful();

  // Written to on first read of a record row: the texts only appear, and
  // what was read before stays where it was.
  mutable std::vector<Row> rows_;
  std::vector<SourceRow> records_;
  std::unique_ptr<Arena> arena_;
  mutable size_t live_bytes_ = 0;
  size_t dead_bytes_ = 0;
};

#endif  // TRAMO_VIEWS_ROW_STORE_H_
