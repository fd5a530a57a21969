#include "views/list_model.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "platform/locale.h"
#include "store/csez.h"
#include "support/datetime.h"
#include "support/duration.h"
#include "support/events.h"
#include "support/text_routines.h"

namespace {

constexpr int kRowTexts = kListColumns + 1;  // the cells and the row text
constexpr int kRowTextIndex = kListColumns;

const ListLayout kLayouts[3] = {
    {ListPopup::kActivity,
     false,
     {"Jméno", "Doba", "Naposled viděno", "Titulek", "Aktivních dní",
      "Denní průměr"}},
    {ListPopup::kActivity,
     false,
     {"Jméno", "Doba", "Naposled viděno", "Titulek", "Aktivních dní",
      "Denní průměr"}},
    {ListPopup::kOverview, true, {"", "Od", "Do", "Doba", "", ""}},
};

uint8_t ClampColor(int value) {
  return static_cast<uint8_t>(std::min(255, std::max(0, value)));
}

uint32_t LoadLength(const char* p) {
  uint32_t length;
  std::memcpy(&length, p, sizeof(length));
  return length;
}

// A row text equal to the caption (mode 2) or to column 1 (mode 3) is kept
// once: its length field names that cell instead.
constexpr uint32_t kSameAsCell0 = 0xFFFFFFFFu;
constexpr uint32_t kSameAsCell1 = 0xFFFFFFFEu;

std::string_view TextAt(const char* record, int index) {
  const char* p = record;
  for (int i = 0; i < index; ++i) p += sizeof(uint32_t) + LoadLength(p) + 1;
  const uint32_t length = LoadLength(p);
  if (length == kSameAsCell0) return TextAt(record, 0);
  if (length == kSameAsCell1) return TextAt(record, 1);
  return std::string_view(p + sizeof(uint32_t), length);
}

// How the rows are ordered for one sort column and view mode. The negated
// rules (durations, dates, day counts) put the larger value first.
enum class Rule { kNone, kText, kDuration, kDate, kDays };

struct RuleSpec {
  Rule rule;
  int column;
  bool caption_tie;  // equal keys are ordered by caption
};

RuleSpec RuleFor(uint32_t mode, uint8_t column) {
  if (mode == 3) {
    switch (column) {
      case 1: return {Rule::kDate, 1, true};
      case 2: return {Rule::kDate, 2, true};
      case 3: return {Rule::kDuration, 3, true};
      default: return {Rule::kNone, 0, false};
    }
  }
  switch (column) {
    case 0: return {Rule::kText, 0, false};
    case 1: return {Rule::kDuration, 1, true};
    case 2: return {Rule::kDate, 2, true};
    case 3: return {Rule::kText, 3, true};
    case 4: return {Rule::kDays, 4, false};
    case 5: return {Rule::kDuration, 5, true};
    default: return {Rule::kNone, 0, false};
  }
}

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

int Cmp(const std::string& a, const std::string& b) {
  return Sign(platform::LocaleCompareNoCase(a, b));
}

// The day count padded on "00000" up to its first blank: "12 " -> "0012 ",
// "" -> "00000".
std::string ZText(std::string_view text) {
  const size_t blank = text.find(' ');
  const size_t p = blank == std::string_view::npos ? 0 : blank + 1;
  std::string out;
  if (p < 5) out.assign(5 - p, '0');
  out.append(text.data(), text.size());
  return out;
}

// The general floating-point text of a date-time, 15 significant digits,
// with the decimal comma of the fixed format.
std::string NumberText(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof(buffer), "%.15g", value);
  for (char* p = buffer; *p != '\0'; ++p) {
    if (*p == '.') *p = ',';
  }
  return buffer;
}

void ReportCompareFailure(const std::string& message) {
  AddEvent(2, "Chyba pri porovnavani \r\nErrorMessage: " + message);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The duration rule's key as a number when the cell's DurationSortKey lies
// on the template (below 1000 days): its nine digits read as one number
// order exactly as the key texts do.
bool DurationNumber(std::string_view text, double* number) {
  static const char kTemplate[] = "000 dní 00:00:00";
  constexpr size_t kLength = sizeof(kTemplate) - 1;
  if (text.size() > kLength) return false;
  const size_t pad = kLength - text.size();
  uint64_t value = 0;
  for (size_t i = 0; i < kLength; ++i) {
    const char c = i < pad ? kTemplate[i] : text[i - pad];
    if (IsDigit(kTemplate[i])) {
      if (!IsDigit(c)) return false;
      value = value * 10 + static_cast<uint64_t>(c - '0');
    } else if (c != kTemplate[i]) {
      return false;
    }
  }
  *number = static_cast<double>(value);
  return true;
}

// The day rule's key as a number for an empty cell or up to four digits and
// one blank: Z gives "00000" and "dddd " there, and "0000 " < "00000" <
// "0001 " < ... as texts, hence 2n for n days and 1 for the empty cell.
bool DaysNumber(std::string_view text, double* number) {
  if (text.empty()) {
    *number = 1;
    return true;
  }
  if (text.size() > 5 || text.back() != ' ') return false;
  uint32_t days = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
    days = days * 10 + static_cast<uint32_t>(text[i] - '0');
  }
  *number = 2.0 * days;
  return true;
}

// Dates from 18.5.1927 to 2173 print with five digits before the decimal
// comma, so their texts order as the values do. Cells hold whole seconds,
// and values a second apart differ far above the 15th digit: comparing the
// values equals comparing the rounded texts.
bool DateInTextOrderRange(double value) {
  return value >= 10000.0 && value < 99999.9999;
}

// Locale keys of distinct texts (an optional lead character and a body),
// compared mostly on cheap key prefixes built on first use; a full key is
// built only for a text whose prefix agrees with another's.
class LocaleKeys {
 public:
  static constexpr size_t kPrefixCapacity = 64;

  explicit LocaleKeys(size_t count)
      : lead_(count),
        body_(count),
        length_(count, kNotBuilt),
        bytes_(new uint8_t[count * kPrefixCapacity]) {}

  // lead 0: none. The body must outlive the keys.
  void Set(uint32_t row, char lead, std::string_view body) {
    lead_[row] = lead;
    body_[row] = body;
  }

  // The prefix's first 8 * words bytes big-endian in numbers (zeros after
  // its end) and how many of them are the prefix's own.
  void Head(uint32_t row, size_t words, uint64_t* head, uint8_t* count) {
    size_t length;
    const uint8_t* p = Prefix(row, &length);
    const size_t n = std::min<size_t>(length, 8 * words);
    for (size_t w = 0; w < words; ++w) {
      uint64_t word = 0;
      for (size_t i = w * 8; i < w * 8 + 8; ++i) {
        word = (word << 8) | (i < n ? p[i] : 0);
      }
      head[w] = word;
    }
    *count = static_cast<uint8_t>(n);
  }

  int Compare(uint32_t a, uint32_t b) {
    size_t length_a, length_b;
    const uint8_t* pa = Prefix(a, &length_a);
    const uint8_t* pb = Prefix(b, &length_b);
    const size_t common = std::min(length_a, length_b);
    const int r = common == 0 ? 0 : std::memcmp(pa, pb, common);
    if (r != 0) return Sign(r);
    if (lead_[a] == lead_[b] && body_[a] == body_[b]) return 0;
    return Sign(FullKey(a).compare(FullKey(b)));
  }

 private:
  static constexpr uint32_t kNotBuilt = 0xFFFFFFFFu;

  void Compose(uint32_t row) {
    scratch_.clear();
    if (lead_[row] != '\0') scratch_.push_back(lead_[row]);
    scratch_.append(body_[row].data(), body_[row].size());
  }

  const uint8_t* Prefix(uint32_t row, size_t* length) {
    uint8_t* p = &bytes_[static_cast<size_t>(row) * kPrefixCapacity];
    if (length_[row] == kNotBuilt) {
      Compose(row);
      length_[row] = static_cast<uint32_t>(
          platform::LocaleSortKeyPrefix(scratch_, p, kPrefixCapacity));
    }
    *length = length_[row];
    return p;
  }

  const std::string& FullKey(uint32_t row) {
    auto found = full_.find(row);
    if (found == full_.end()) {
      Compose(row);
      found = full_.emplace(row, platform::LocaleSortKey(scratch_)).first;
    }
    return found->second;
  }

  std::vector<char> lead_;
  std::vector<std::string_view> body_;
  std::vector<uint32_t> length_;
  std::unique_ptr<uint8_t[]> bytes_;  // kPrefixCapacity bytes per row
  // Few texts need one; node-based, so references stay valid.
  std::unordered_map<uint32_t, std::string> full_;
  std::string scratch_;
};

// Orders two texts by the first bytes of their key prefixes when they
// differ within both; 0 when those bytes cannot tell.
constexpr size_t kHeadWords = 4;

struct PrefixHead {
  uint64_t word[kHeadWords];
  uint32_t index;
  uint8_t bytes;
};

int CompareHeads(const PrefixHead& a, const PrefixHead& b) {
  const uint8_t known = std::min(a.bytes, b.bytes);
  for (size_t w = 0; w < kHeadWords; ++w) {
    const uint64_t differ = a.word[w] ^ b.word[w];
    if (differ == 0) continue;
    const size_t first_byte = w * 8 + __builtin_clzll(differ) / 8;
    if (first_byte >= known) return 0;
    return a.word[w] < b.word[w] ? -1 : 1;
  }
  return 0;
}

// The rank of each row's text (an optional lead character and a body) in
// the locale order; texts that compare equal share a rank. The distinct
// texts are sorted once, so rows repeating a text (a search lists each path
// many times) cost a hash lookup.
std::vector<uint32_t> RankTexts(const std::vector<char>& leads,
                                const std::vector<std::string_view>& bodies) {
  const size_t n = bodies.size();
  // Open addressing over text numbers + 1; a table at most half full.
  size_t slots = 16;
  while (slots < 2 * n) slots *= 2;
  std::vector<uint32_t> table(slots, 0);
  std::vector<uint32_t> text_of_row(n);
  std::vector<std::pair<char, std::string_view>> texts;
  for (size_t i = 0; i < n; ++i) {
    uint64_t hash = 14695981039346656037ull ^ static_cast<unsigned char>(leads[i]);
    for (char c : bodies[i]) {
      hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    size_t slot = static_cast<size_t>(hash ^ (hash >> 29)) & (slots - 1);
    for (;;) {
      const uint32_t entry = table[slot];
      if (entry == 0) {
        texts.emplace_back(leads[i], bodies[i]);
        table[slot] = static_cast<uint32_t>(texts.size());
        text_of_row[i] = static_cast<uint32_t>(texts.size() - 1);
        break;
      }
      const auto& text = texts[entry - 1];
      if (text.first == leads[i] && text.second == bodies[i]) {
        text_of_row[i] = entry - 1;
        break;
      }
      slot = (slot + 1) & (slots - 1);
    }
  }
  std::vector<uint32_t>().swap(table);

  LocaleKeys keys(texts.size());
  std::vector<PrefixHead> heads(texts.size());
  for (uint32_t t = 0; t < texts.size(); ++t) {
    keys.Set(t, texts[t].first, texts[t].second);
    heads[t].index = t;
    keys.Head(t, kHeadWords, heads[t].word, &heads[t].bytes);
  }
  auto compare = [&keys](const PrefixHead& a, const PrefixHead& b) {
    const int c = CompareHeads(a, b);
    return c != 0 ? c : keys.Compare(a.index, b.index);
  };
  std::sort(heads.begin(), heads.end(),
            [&compare](const PrefixHead& a, const PrefixHead& b) {
              return compare(a, b) < 0;
            });
  std::vector<uint32_t> rank_of_text(texts.size());
  uint32_t rank = 0;
  for (size_t k = 0; k < heads.size(); ++k) {
    if (k > 0 && compare(heads[k - 1], heads[k]) != 0) ++rank;
    rank_of_text[heads[k].index] = rank;
  }
  for (uint32_t& r : text_of_row) r = rank_of_text[r];
  return text_of_row;
}

// One row in the sort, ordered by numbers alone.
struct SortItem {
  uint64_t key;  // a number's bits or a text's rank
  uint32_t row;
  uint8_t group;
};

uint64_t NumberBits(double value) {
  // Non-negative doubles order as their bit patterns.
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

}  // namespace

std::string DisplayName(const std::string& path) {
  const size_t cut = path.find_last_of("\\:");
  const std::string file =
      cut == std::string::npos ? path : path.substr(cut + 1);
  const std::string folder_part =
      cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  const std::string base = StripExtension(file);
  const std::string folder = LastPathPart(folder_part, 1);
  if (folder.empty()) return path;
  const std::string common = CommonWordRun(base, folder);
  if (common != "\x01" && common.size() > 2) return common;
  return folder + "\\" + file;
}

RgbColor DetailRowColor(RgbColor font) {
  int r = font.red - 100;
  int g = font.green - 70;
  int b = font.blue - 90;
  if (r < 0 || g < 0 || b < 0) {
    r = font.red + 55;
    g = font.green + 115;
    b = font.blue + 75;
  }
  return RgbColor{ClampColor(r), ClampColor(g), ClampColor(b)};
}

const ListLayout* LayoutForMode(uint32_t mode) {
  if (mode < 1 || mode > 3) return nullptr;
  return &kLayouts[mode - 1];
}

bool ColumnRightAligned(int column) {
  return column == 1 || column == 2 || column == 4 || column == 5;
}

// Row records live in large blocks, so a fill of many rows costs few
// allocations; replaced records stay behind until a compaction.
class ListModel::Arena {
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

struct ListModel::RowCells {
  std::string_view text[kRowTexts];
};

namespace {

// The length field of the row text.
uint32_t RowTextLength(const std::string_view* texts) {
  const std::string_view row_text = texts[kRowTextIndex];
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
  for (int i = 0; i < kRowTexts; ++i) {
    const uint32_t length = i == kRowTextIndex
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

ListModel::ListModel() : arena_(new Arena) {}

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
  return TextAt(rows_[row], column);
}

std::string_view ListModel::RowText(size_t row) const {
  return TextAt(rows_[row], kRowTextIndex);
}

void ListModel::Clear() {
  rows_.clear();
  rows_.shrink_to_fit();
  arena_.reset(new Arena);
  live_bytes_ = 0;
  dead_bytes_ = 0;
}

void ListModel::Reserve(size_t rows) { rows_.reserve(rows); }

void ListModel::Append(const RowCells& cells) {
  const size_t size = RecordSize(cells.text);
  char* record = arena_->Allocate(size);
  WriteRecord(cells.text, record);
  rows_.push_back(record);
  live_bytes_ += size;
}

void ListModel::Replace(size_t row, const RowCells& cells) {
  const size_t old_size = RecordSizeAt(rows_[row]);
  const size_t size = RecordSize(cells.text);
  char* record = arena_->Allocate(size);
  WriteRecord(cells.text, record);  // the old record stays readable meanwhile
  rows_[row] = record;
  live_bytes_ += size - old_size;
  dead_bytes_ += old_size;
  CompactIfWasteful();
}

void ListModel::CompactIfWasteful() {
  // The live list rewrites a row twice a second; copy the rows into fresh
  // blocks once the replaced records outweigh them.
  constexpr size_t kMinimumWaste = 1 << 20;
  if (dead_bytes_ < kMinimumWaste || dead_bytes_ < live_bytes_) return;
  std::unique_ptr<Arena> fresh(new Arena);
  for (const char*& record : rows_) {
    RowCells cells;
    for (int i = 0; i < kRowTexts; ++i) cells.text[i] = TextAt(record, i);
    const size_t size = RecordSize(cells.text);
    char* copy = fresh->Allocate(size);
    WriteRecord(cells.text, copy);
    record = copy;
  }
  arena_ = std::move(fresh);
  dead_bytes_ = 0;
}

void ListModel::PridejDoFileView(const std::string& name,
                                 const ActivityRecord* record) {
  if (record == nullptr || name.empty()) return;
  const std::string time = FormatDuration(record->time);
  const std::string stamp = FixedDateTimeText(record->stamp);
  Append(RowCells{{name, time, stamp, record->TitleText(), std::string_view(),
                   std::string_view(), record->PathText()}});
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
    Replace(row, RowCells{{Cell(row, 0), time, stamp, title, Cell(row, 4),
                           Cell(row, 5), RowText(row)}});
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
  const uint32_t tenths = record->time * 10u;  // wraps as the 32-bit original
  // The search aggregate counts at least one day; a record without any is
  // shown with its total rather than dividing by zero.
  const uint32_t days = record->activeDays;
  const std::string time = FormatDuration(tenths);
  const std::string latest = FixedDateTimeText(record->latest);
  const std::string day_text = std::to_string(days) + " ";
  const std::string average = FormatDuration(tenths / std::max(days, 1u));
  Append(RowCells{{record->PathText(), time, latest, record->TitleText(),
                   day_text, average, record->PathText()}});
}

void ListModel::ZmenK(const ActivityRecord* record) {
  if (record == nullptr || record->PathText().empty()) return;
  const std::string latest = FixedDateTimeText(record->latest);
  const std::string time = FormatDuration(record->time * 10u);
  Append(RowCells{{std::string_view(), record->PathText(), latest, time,
                   std::string_view(), std::string_view(),
                   record->PathText()}});
}

int ListModel::FileViewCompare(size_t row1, size_t row2) const {
  const RuleSpec sort_rule = RuleFor(view_mode_, sort_column_);
  // The group character keeps rows without a title first in both
  // directions: it flips with the direction, as does the result.
  const char empty_group = sort_direction_ == 0 ? '1' : '2';
  const char titled_group = sort_direction_ == 0 ? '2' : '1';
  const std::string g1(1, Cell(row1, 3).empty() ? empty_group : titled_group);
  const std::string g2(1, Cell(row2, 3).empty() ? empty_group : titled_group);
  const std::string t1(Cell(row1, sort_rule.column));
  const std::string t2(Cell(row2, sort_rule.column));
  int c = 0;
  switch (sort_rule.rule) {
    case Rule::kNone:
      break;
    case Rule::kText:
      c = Cmp(g1 + t1, g2 + t2);
      break;
    case Rule::kDuration:
      c = -Cmp(g2 + DurationSortKey(t1), g1 + DurationSortKey(t2));
      break;
    case Rule::kDays:
      c = -Cmp(g2 + ZText(t1), g1 + ZText(t2));
      break;
    case Rule::kDate: {
      double v1 = 0;
      double v2 = 0;
      if (!TryParseFixedDateTime(t1, &v1)) {
        ReportCompareFailure(InvalidDateTimeMessage(t1));
        return 0;
      }
      if (!TryParseFixedDateTime(t2, &v2)) {
        ReportCompareFailure(InvalidDateTimeMessage(t2));
        return 0;
      }
      c = -Cmp(g2 + NumberText(v1), g1 + NumberText(v2));
      break;
    }
  }
  if (c == 0 && sort_rule.caption_tie) {
    c = Cmp(std::string(Cell(row1, 0)), std::string(Cell(row2, 0)));
  }
  return sort_direction_ == 1 ? -c : c;
}

void ListModel::Sort(size_t* tracked_row) {
  const size_t n = rows_.size();
  const RuleSpec sort_rule = RuleFor(view_mode_, sort_column_);
  if (sort_rule.rule == Rule::kNone || n < 2) return;

  // The group keeps rows without a title first in both directions: it flips
  // with the direction, as does every comparison.
  const uint8_t empty_group = sort_direction_ == 0 ? 1 : 2;
  const uint8_t titled_group = sort_direction_ == 0 ? 2 : 1;
  std::vector<SortItem> items;
  std::vector<uint32_t> failed;
  items.reserve(n);

  // Negated rules use a number per row when every row's text has a form
  // whose text order is numeric; otherwise the literal composed texts.
  std::vector<double> number(sort_rule.rule == Rule::kText ? 0 : n);
  bool numeric = sort_rule.rule != Rule::kText;
  for (size_t i = 0; i < n; ++i) {
    const std::string_view text = Cell(i, sort_rule.column);
    const uint8_t group = Cell(i, 3).empty() ? empty_group : titled_group;
    bool ok = true;
    switch (sort_rule.rule) {
      case Rule::kDuration:
        ok = DurationNumber(text, &number[i]);
        break;
      case Rule::kDays:
        ok = DaysNumber(text, &number[i]);
        break;
      case Rule::kDate:
        if (!TryParseFixedDateTime(std::string(text), &number[i])) {
          ReportCompareFailure(InvalidDateTimeMessage(std::string(text)));
          failed.push_back(static_cast<uint32_t>(i));
          continue;
        }
        ok = DateInTextOrderRange(number[i]);
        break;
      default:
        break;
    }
    if (!ok) numeric = false;
    items.push_back(SortItem{0, static_cast<uint32_t>(i), group});
  }

  if (numeric) {
    for (SortItem& item : items) item.key = NumberBits(number[item.row]);
  } else {
    // The literal composed texts, ranked in the locale order.
    std::vector<std::string> literal(sort_rule.rule == Rule::kText ? 0 : n);
    std::vector<char> leads(items.size());
    std::vector<std::string_view> bodies(items.size());
    for (size_t k = 0; k < items.size(); ++k) {
      const uint32_t i = items[k].row;
      const std::string_view text = Cell(i, sort_rule.column);
      leads[k] = static_cast<char>('0' + items[k].group);
      switch (sort_rule.rule) {
        case Rule::kText:
          bodies[k] = text;
          continue;
        case Rule::kDuration:
          literal[i] = DurationSortKey(std::string(text));
          break;
        case Rule::kDays:
          literal[i] = ZText(text);
          break;
        default:
          literal[i] = NumberText(number[i]);
          break;
      }
      bodies[k] = literal[i];
    }
    const std::vector<uint32_t> ranks = RankTexts(leads, bodies);
    for (size_t k = 0; k < items.size(); ++k) items[k].key = ranks[k];
  }

  // A text rule's rank already holds the group (its lead character); the
  // negated rules compare the group first and their keys the other way.
  const bool text_rule = sort_rule.rule == Rule::kText;
  const bool reversed = sort_direction_ == 1;
  auto same_key = [](const SortItem& a, const SortItem& b) {
    return a.group == b.group && a.key == b.key;
  };
  std::stable_sort(items.begin(), items.end(),
                   [text_rule, reversed](const SortItem& a, const SortItem& b) {
                     int c;
                     if (text_rule) {
                       c = a.key < b.key ? -1 : (a.key > b.key ? 1 : 0);
                     } else if (a.group != b.group) {
                       c = a.group < b.group ? -1 : 1;
                     } else {
                       c = a.key > b.key ? -1 : (a.key < b.key ? 1 : 0);
                     }
                     return reversed ? c > 0 : c < 0;
                   });

  // Ties by caption, within each run of equal keys only: the captions of
  // the rows in such runs are ranked, and each run sorted by rank.
  if (sort_rule.caption_tie) {
    std::vector<std::pair<size_t, size_t>> runs;
    std::vector<char> leads;
    std::vector<std::string_view> captions;
    for (size_t begin = 0; begin < items.size();) {
      size_t end = begin + 1;
      while (end < items.size() && same_key(items[begin], items[end])) ++end;
      if (end - begin > 1) {
        runs.emplace_back(begin, end);
        for (size_t k = begin; k < end; ++k) {
          captions.push_back(Cell(items[k].row, 0));
        }
      }
      begin = end;
    }
    leads.assign(captions.size(), '\0');
    const std::vector<uint32_t> ranks = RankTexts(leads, captions);
    // The rank travels in the key, which the run no longer needs.
    size_t next = 0;
    for (const auto& run : runs) {
      for (size_t k = run.first; k < run.second; ++k) items[k].key = ranks[next++];
      std::stable_sort(items.begin() + run.first, items.begin() + run.second,
                       [reversed](const SortItem& a, const SortItem& b) {
                         return reversed ? a.key > b.key : a.key < b.key;
                       });
    }
  }

  // Rows whose date cannot be read compare equal to all: they go last.
  std::vector<const char*> sorted;
  sorted.reserve(n);
  size_t tracked_to = n;
  for (const SortItem& item : items) {
    if (tracked_row != nullptr && item.row == *tracked_row) {
      tracked_to = sorted.size();
    }
    sorted.push_back(rows_[item.row]);
  }
  for (uint32_t row : failed) {
    if (tracked_row != nullptr && row == *tracked_row) tracked_to = sorted.size();
    sorted.push_back(rows_[row]);
  }
  rows_.swap(sorted);
  if (tracked_row != nullptr && tracked_to < n) *tracked_row = tracked_to;
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
