#include "views/row_store.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// A row text equal to the caption (mode 2) or to column 1 (mode 3) is kept
// once: its length field names that cell instead.
constexpr uint32_t kSameAsCell0 = 0xFFFFFFFFu;
constexpr uint32_t kSameAsCell1 = 0xFFFFFFFEu;

uint32_t LoadLength(const char* p) {
  uint32_t length;
  std::memcpy(&length, p, sizeof(length));
  return length;
}

std::string_view TextAt(const char* record, int index) {
  const char* p = record;
  for (int i = 0; i < index; ++i) p += sizeof(uint32_t) + LoadLength(p) + 1;
  const uint32_t length = LoadLength(p);
  if (length == kSameAsCell0) return TextAt(record, 0);
  if (length == kSameAsCell1) return TextAt(record, 1);
  return std::string_view(p + sizeof(uint32_t), length);
}

// The length field of the row text.
uint32_t RowTextLength(const std::string_view* texts) {
  const std::string_view row_text = texts[RowStore::kRowTextIndex];
  if (row_text == texts[0]) return kSameAsCell0;
  if (row_text == texts[1]) return kSameAsCell1;
  return static_cast<uint32_t>(row_text.size());
}

size_t RecordSize(const std::string_view* texts) {
  size_t size = 0;
  for (int i = 0; i < kListColumns; ++i) {
    size += sizeof(uint32_t) + texts[i].size() + 1;
  }
  const uint32_t row_text = RowTextLength(texts);
  return size + sizeof(uint32_t) +
         (row_text >= kSameAsCell1 ? 0 : row_text + 1);
}

size_t RecordSizeAt(const char* record) {
  const char* p = record;
  for (int i = 0; i < kListColumns; ++i) {
    p += sizeof(uint32_t) + LoadLength(p) + 1;
  }
  const uint32_t row_text = LoadLength(p);
  p += sizeof(uint32_t) + (row_text >= kSameAsCell1 ? 0 : row_text + 1);
  return static_cast<size_t>(p - record);
}

void WriteRecord(const std::string_view* texts, char* out) {
  for (int i = 0; i < RowStore::kTexts; ++i) {
    const uint32_t length = i == RowStore::kRowTextIndex
                                ? RowTextLength(texts)
                                : static_cast<uint32_t>(texts[i].size());
    std::memcpy(out, &length, sizeof(length));
    out += sizeof(length);
    if (length >= kSameAsCell1) break;  // the row text, kept in its cell
    if (length != 0) std::memcpy(out, texts[i].data(), length);
    out += length;
    *out++ = '\0';
  }
}

}  // namespace

// Replaced records stay behind in their block until a compaction.
class RowStore::Arena {
 public:
  char* Allocate(size_t n) {
    if (n > left_) {
      const size_t size = std::max(kBlockSize, n);
      blocks_.emplace_back(new char[size]);
      cursor_ = blocks_.back().get();
      left_ = size;
    }
    char* p = cursor_;
    cursor_ += n;
    left_ -= n;
    return p;
  }

 private:
  static constexpr size_t kBlockSize = 1 << 20;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* cursor_ = nullptr;
  size_t left_ = 0;
};

RowStore::RowStore() : arena_(new Arena) {}

RowStore::~RowStore() = default;

std::string_view RowStore::Text(size_t row, int index) const {
  Row& r = rows_[row];
  if (r.record != kNoRecord) {
    // The pooled texts themselves: rows of one program share their bytes.
    const SourceRow& source = records_[r.record];
    std::string_view own;
    if (OwnText(source, index, &own)) return own;
    if (r.texts == nullptr) r.texts = WriteRecordRow(source);
  }
  return TextAt(r.texts, index);
}

const ActivityRecord* RowStore::SourceRecord(size_t row, RecordCells* cells) const {
  const Row& r = rows_[row];
  if (r.record == kNoRecord) return nullptr;
  *cells = records_[r.record].cells;
  return &records_[r.record].record;
}

void RowStore::Clear() {
  rows_.clear();
  rows_.shrink_to_fit();
  records_.clear();
  records_.shrink_to_fit();
  arena_.reset(new Arena);
  live_bytes_ = 0;
  dead_bytes_ = 0;
}

const char* RowStore::Write(const std::string_view* texts, size_t* size) const {
  *size = RecordSize(texts);
  char* record = arena_->Allocate(*size);
  WriteRecord(texts, record);  // an old record the texts point into stays readable
  return record;
}

bool RowStore::OwnText(const SourceRow& source, int index, std::string_view* text) const {
  const bool search = source.cells == RecordCells::kSearch;
  if (index == kRowTextIndex || index == (search ? 0 : 1)) {
    *text = source.record.PathText();
  } else if (search && index == 3) {
    *text = source.record.TitleText();
  } else if (!search && index != 2 && index != 3) {
    *text = std::string_view("", 0);
  } else {
    return false;
  }
  return true;
}

const char* RowStore::WriteRecordRow(const SourceRow& source) const {
  std::string cells[kListColumns];
  std::string_view texts[kTexts];
  for (int c = 0; c < kListColumns; ++c) {
    cells[c] = source.cells == RecordCells::kSearch ? SearchCellText(source.record, c)
                                                    : OverviewCellText(source.record, c);
    texts[c] = cells[c];
  }
  texts[kRowTextIndex] = source.record.PathText();
  size_t size;
  const char* written = Write(texts, &size);
  live_bytes_ += size;
  return written;
}

void RowStore::Append(const std::string_view* texts) {
  size_t size;
  rows_.push_back(Row{Write(texts, &size), kNoRecord});
  live_bytes_ += size;
}

void RowStore::AppendRecord(const ActivityRecord& record, RecordCells cells) {
  SourceRow source{record, cells};
  source.record.next = nullptr;
  source.record.orderBlock = nullptr;
  rows_.push_back(Row{nullptr, static_cast<uint32_t>(records_.size())});
  records_.push_back(source);
}

void RowStore::Replace(size_t row, const std::string_view* texts) {
  Row& r = rows_[row];
  const size_t old_size = r.texts == nullptr ? 0 : RecordSizeAt(r.texts);
  size_t size;
  r.texts = Write(texts, &size);
  r.record = kNoRecord;  // the row's texts are the given ones from now on
  live_bytes_ += size - old_size;
  dead_bytes_ += old_size;
  CompactIfWasteful();
}

void RowStore::Reorder(const std::vector<uint32_t>& order) {
  std::vector<Row> sorted;
  sorted.reserve(order.size());
  for (uint32_t row : order) sorted.push_back(rows_[row]);
  rows_.swap(sorted);
}

void RowStore::CompactIfWasteful() {
  // The live list rewrites a row twice a second; copy the rows into fresh
  // blocks once the replaced records outweigh them.
  constexpr size_t kMinimumWaste = 1 << 20;
  if (dead_bytes_ < kMinimumWaste || dead_bytes_ < live_bytes_) return;
  std::unique_ptr<Arena> fresh(new Arena);
  for (Row& row : rows_) {
    if (row.texts == nullptr) continue;
    std::string_view texts[kTexts];
    for (int i = 0; i < kTexts; ++i) texts[i] = TextAt(row.texts, i);
    char* copy = fresh->Allocate(RecordSize(texts));
    WriteRecord(texts, copy);
    row.texts = copy;
  }
  arena_ = std::move(fresh);
  dead_bytes_ = 0;
}
