#ifndef TRAMO_VIEWS_ROW_STORE_H_
#define TRAMO_VIEWS_ROW_STORE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "views/list_cells.h"

// The texts of the list's rows: each row is one record of seven texts (six
// cells and the row text) in large arena blocks, so that a fill of many rows
// costs few allocations and a row is read without a pointer per cell.
class RowStore {
 public:
  static constexpr int kTexts = kListColumns + 1;
  static constexpr int kRowTextIndex = kListColumns;

  RowStore();
  ~RowStore();
  RowStore(const RowStore&) = delete;
  RowStore& operator=(const RowStore&) = delete;

  size_t size() const { return rows_.size(); }
  // Text 0-5 is a cell, 6 the row text; followed by a 0 byte, valid until
  // the row is next replaced or the store cleared.
  std::string_view Text(size_t row, int index) const;

  void Clear();
  void Reserve(size_t rows) { rows_.reserve(rows); }
  // texts holds kTexts texts; they may point into the store itself.
  void Append(const std::string_view* texts);
  void Replace(size_t row, const std::string_view* texts);
  // Puts the rows into the given order: order[i] is the old index of the
  // new row i, each old index once.
  void Reorder(const std::vector<uint32_t>& order);

 private:
  class Arena;

  const char* Write(const std::string_view* texts, size_t* size);
  void CompactIfWasteful();

  std::vector<const char*> rows_;
  std::unique_ptr<Arena> arena_;
  size_t live_bytes_ = 0;
  size_t dead_bytes_ = 0;
};

#endif  // TRAMO_VIEWS_ROW_STORE_H_
