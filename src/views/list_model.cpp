#include "views/list_model.h"

#include "store/csez.h"
#include "support/datetime.h"
#include "support/duration.h"

// The list's own rows as the order reads them.
class ListModel::Cells : public SortCells {
 public:
  explicit Cells(const ListModel& model) : model_(model) {}
  size_t size() const override { return model_.size(); }
  std::string_view Cell(size_t row, int column) const override {
    return model_.Cell(row, column);
  }
  const ActivityRecord* SourceRecord(size_t row, uint32_t* cells_mode) const override {
    RowStore::RecordCells cells;
    const ActivityRecord* record = model_.rows_.SourceRecord(row, &cells);
    if (record != nullptr) *cells_mode = cells == RowStore::RecordCells::kSearch ? 2 : 3;
    return record;
  }

 private:
  const ListModel& model_;
};

ListModel::ListModel() = default;

ListModel::~ListModel() = default;

const ListLayout* ListModel::Zobraz(uint32_t mode) {
  view_mode_ = mode;
  return LayoutForMode(mode);
}

void ListModel::SetSortSettings(uint8_t column, uint8_t direction) {
  sort_column_ = column;
  sort_direction_ = direction == 1 ? 1 : 0;
}

std::string_view ListModel::Cell(size_t row, int column) const {
  return rows_.Text(row, column);
}

std::string_view ListModel::RowText(size_t row) const {
  return rows_.Text(row, RowStore::kRowTextIndex);
}

void ListModel::Clear() { rows_.Clear(); }

void ListModel::Reserve(size_t rows) { rows_.Reserve(rows); }

void ListModel::PridejDoFileView(const std::string& name,
                                 const ActivityRecord* record) {
  if (record == nullptr || name.empty()) return;
  const std::string time = FormatDuration(record->time);
  const std::string stamp = FixedDateTimeText(record->stamp);
  const std::string_view texts[] = {name, time, stamp, record->TitleText(),
                                    std::string_view(), std::string_view(),
                                    record->PathText()};
  Append(texts);
}

ZmenResult ListModel::Zmen(const ActivityRecord* record) {
  if (record == nullptr) return {ZmenOutcome::kIgnored, 0};
  const std::string name = DisplayName(record->PathText());
  if (name.empty()) return {ZmenOutcome::kIgnored, 0};
  const std::string& title = record->TitleText();
  for (size_t row = 0; row < rows_.size(); ++row) {
    if (Cell(row, 0) != name || Cell(row, 3) != title) continue;
    const std::string time = FormatDuration(record->time);
    const std::string stamp = FixedDateTimeText(record->stamp);
    const std::string_view texts[] = {Cell(row, 0), time,         stamp,       title,
                                      Cell(row, 4), Cell(row, 5), RowText(row)};
    rows_.Replace(row, texts);
    return {ZmenOutcome::kUpdated, row};
  }
  PridejDoFileView(name, record);
  Sort();
  return {ZmenOutcome::kAdded, 0};
}

void ListModel::PrekresliFileView(CSez* list) {
  Clear();
  if (list != nullptr) {
    Reserve(list->size());
    list->Rewind();
    ActivityRecord* record;
    while (list->Next(&record)) {
      PridejDoFileView(DisplayName(record->PathText()), record);
    }
  }
  Sort();
}

void ListModel::ZmenJ(const ActivityRecord* record) {
  if (record == nullptr || record->PathText().empty()) return;
  rows_.AppendRecord(*record, RowStore::RecordCells::kSearch);
}

void ListModel::ZmenK(const ActivityRecord* record) {
  if (record == nullptr || record->PathText().empty()) return;
  rows_.AppendRecord(*record, RowStore::RecordCells::kOverview);
}

int ListModel::FileViewCompare(size_t row1, size_t row2) const {
  return ::FileViewCompare(Cells(*this), settings(), row1, row2);
}

void ListModel::Sort(size_t* tracked_row) {
  if (rows_.size() < 2) return;
  const std::vector<uint32_t> order = ListOrder(Cells(*this), settings());
  if (tracked_row != nullptr) {
    for (size_t i = 0; i < order.size(); ++i) {
      if (order[i] == *tracked_row) {
        *tracked_row = i;
        break;
      }
    }
  }
  rows_.Reorder(order);
}

void ListModel::ColumnClick(uint8_t column, size_t* tracked_row) {
  if (column == sort_column_) {
    sort_direction_ = sort_direction_ == 0 ? 1 : 0;
  } else {
    sort_column_ = column;
    sort_direction_ = 0;
  }
  Sort(tracked_row);
}

RgbColor ListModel::RowTextColor(size_t row, RgbColor font) const {
  if ((view_mode_ == 1 || view_mode_ == 2) && !Cell(row, 3).empty()) {
    return DetailRowColor(font);
  }
  return font;
}

bool ListModel::FocusedRowText(ptrdiff_t focused, std::string* text) const {
  if (focused < 0 || static_cast<size_t>(focused) >= rows_.size()) {
    return false;
  }
  *text = std::string(RowText(static_cast<size_t>(focused)));
  return true;
}
