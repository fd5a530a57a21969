#include "views/list_order.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/locale.h"
#include "store/csez.h"
#include "support/datetime.h"
#include "support/duration.h"
#include "support/events.h"
#include "views/list_cells.h"
#include "views/locale_rank.h"

namespace {

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

// The duration rule's number of a FormatDuration text, from the tenths it
// shows: DurationNumber of that text, without writing it.
bool DurationNumberOfTenths(uint32_t tenths, double* number) {
  const uint32_t seconds = tenths / 10;
  const uint32_t days = seconds / 86400;
  if (days >= 1000) return false;  // the text no longer lies on the template
  *number = static_cast<double>(days) * 1e6 + (seconds / 3600 % 24) * 1e4 +
            (seconds / 60 % 60) * 1e2 + seconds % 60;
  return true;
}

// The value ParseFixedDateTime reads back from FixedDateTimeText(value): the
// same fields, milliseconds dropped. False where the text would not parse.
bool ShownDateTime(double value, double* shown) {
  const DateTimeParts p = DecodeDateTime(value);
  if (p.year < 1) return false;
  *shown = EncodeDateTime(p.year, p.month, p.day, p.hour, p.minute, p.second);
  return true;
}

// The number the rule reads from a cell of a row made from a result record,
// taken from the record's fields: exactly what the cell's text would give.
// False when only the text can tell (that cell under another rule, a value
// whose text leaves the numeric forms).
bool RecordNumber(const ActivityRecord& record, uint32_t cells_mode, const RuleSpec& rule,
                  double* number) {
  const uint32_t tenths = record.time * 10u;  // wraps as the cells do
  if (cells_mode == 3) {
    if (rule.rule == Rule::kDate && rule.column == 2) return ShownDateTime(record.latest, number);
    if (rule.rule == Rule::kDuration && rule.column == 3) {
      return DurationNumberOfTenths(tenths, number);
    }
    return false;
  }
  switch (rule.column) {
    case 1:
      return rule.rule == Rule::kDuration && DurationNumberOfTenths(tenths, number);
    case 2:
      return rule.rule == Rule::kDate && ShownDateTime(record.latest, number);
    case 4:
      if (rule.rule != Rule::kDays || record.activeDays > 9999) return false;
      *number = 2.0 * record.activeDays;
      return true;
    case 5:
      return rule.rule == Rule::kDuration &&
             DurationNumberOfTenths(tenths / std::max(record.activeDays, 1u), number);
    default:
      return false;
  }
}

// Whether the row's column 3 is empty, from its record where it has one (an
// overview row's column 3 is its duration, never empty).
bool TitleEmpty(const SortCells& cells, size_t row) {
  uint32_t cells_mode = 0;
  const ActivityRecord* record = cells.SourceRecord(row, &cells_mode);
  if (record == nullptr) return cells.Cell(row, 3).empty();
  return cells_mode != 3 && record->title == kEmptyText;
}

constexpr TextId kNoCaptionId = 0xFFFFFFFFu;

// The pooled text of a row's column 0 where the row is made from a result
// record (a search row's path; an overview row's column 0 is empty), else
// kNoCaptionId.
TextId CaptionId(const SortCells& cells, size_t row) {
  uint32_t cells_mode = 0;
  const ActivityRecord* record = cells.SourceRecord(row, &cells_mode);
  if (record == nullptr) return kNoCaptionId;
  return cells_mode == 3 ? kEmptyText : record->path;
}

// The locale rank of column 0 of each of the rows. Rows made from records
// share one text per pooled caption, so a quarter million search rows of a
// few thousand programs rank a few thousand texts.
std::vector<uint32_t> CaptionRanks(const SortCells& cells, const std::vector<uint32_t>& rows) {
  std::vector<std::string_view> captions;
  std::vector<uint32_t> caption_of_row(rows.size());
  std::vector<uint32_t> caption_of_id;  // per text id: its caption + 1, 0 for none yet
  for (size_t k = 0; k < rows.size(); ++k) {
    const TextId id = CaptionId(cells, rows[k]);
    if (id == kNoCaptionId) {
      captions.push_back(cells.Cell(rows[k], 0));
      caption_of_row[k] = static_cast<uint32_t>(captions.size() - 1);
      continue;
    }
    if (id >= caption_of_id.size()) {
      caption_of_id.resize(std::max<size_t>(id + 1, 2 * caption_of_id.size()), 0);
    }
    uint32_t& caption = caption_of_id[id];
    if (caption == 0) {
      captions.push_back(Texts().Text(id));
      caption = static_cast<uint32_t>(captions.size());
    }
    caption_of_row[k] = caption - 1;
  }
  const std::vector<uint32_t> ranks = RankTexts(std::vector<char>(captions.size(), '\0'), captions);
  for (uint32_t& caption : caption_of_row) caption = ranks[caption];
  return caption_of_row;
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

// The key of every row whose date (if the rule reads one) can be read, in
// row order; the others are listed in *failed.
std::vector<SortItem> KeyedItems(const SortCells& cells, const RuleSpec& sort_rule,
                                 uint8_t direction, std::vector<uint32_t>* failed) {
  const size_t n = cells.size();
  // The group keeps rows without a title first in both directions: it flips
  // with the direction, as does every comparison.
  const uint8_t empty_group = direction == 0 ? 1 : 2;
  const uint8_t titled_group = direction == 0 ? 2 : 1;
  std::vector<SortItem> items;
  items.reserve(n);

  // Negated rules use a number per row when every row's text has a form
  // whose text order is numeric; otherwise the literal composed texts.
  const bool numeric_rule = sort_rule.rule != Rule::kText;
  std::vector<double> number(numeric_rule ? n : 0);
  bool numeric = numeric_rule;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t group = TitleEmpty(cells, i) ? empty_group : titled_group;
    uint32_t cells_mode = 0;
    const ActivityRecord* record = cells.SourceRecord(i, &cells_mode);
    if (record != nullptr && numeric_rule &&
        RecordNumber(*record, cells_mode, sort_rule, &number[i])) {
      if (sort_rule.rule == Rule::kDate && !DateInTextOrderRange(number[i])) numeric = false;
      items.push_back(SortItem{0, static_cast<uint32_t>(i), group});
      continue;
    }
    const std::string_view text = cells.Cell(i, sort_rule.column);
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
          failed->push_back(static_cast<uint32_t>(i));
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
    return items;
  }
  // The literal composed texts, ranked in the locale order.
  std::vector<std::string> literal(sort_rule.rule == Rule::kText ? 0 : items.size());
  std::vector<char> leads(items.size());
  std::vector<std::string_view> bodies(items.size());
  for (size_t k = 0; k < items.size(); ++k) {
    const uint32_t i = items[k].row;
    leads[k] = static_cast<char>('0' + items[k].group);
    switch (sort_rule.rule) {
      case Rule::kText:
        bodies[k] = cells.Cell(i, sort_rule.column);
        continue;
      case Rule::kDuration:
        literal[k] = DurationSortKey(std::string(cells.Cell(i, sort_rule.column)));
        break;
      case Rule::kDays:
        literal[k] = ZText(cells.Cell(i, sort_rule.column));
        break;
      default:
        literal[k] = NumberText(number[i]);
        break;
    }
    bodies[k] = literal[k];
  }
  const std::vector<uint32_t> ranks = RankTexts(leads, bodies);
  for (size_t k = 0; k < items.size(); ++k) items[k].key = ranks[k];
  return items;
}

// Sorts the items by key, stably: a byte at a time from the lowest, bytes
// that every key shares skipped (a date's exponent, an integer's low
// mantissa bits).
void RadixSortByKey(std::vector<SortItem>* items) {
  const size_t n = items->size();
  if (n < 2) return;
  std::vector<uint32_t> counts(8 * 256, 0);
  for (const SortItem& item : *items) {
    // Two halves: 64-bit shifts by a variable cost a call on i686.
    uint32_t low = static_cast<uint32_t>(item.key);
    uint32_t high = static_cast<uint32_t>(item.key >> 32);
    for (int b = 0; b < 4; ++b, low >>= 8, high >>= 8) {
      ++counts[b * 256 + (low & 0xFF)];
      ++counts[(b + 4) * 256 + (high & 0xFF)];
    }
  }
  std::vector<SortItem> buffer(n);
  for (int b = 0; b < 8; ++b) {
    uint32_t* count = &counts[b * 256];
    const int shift = 8 * (b % 4);
    const bool high = b >= 4;
    auto digit = [shift, high](const SortItem& item) {
      const uint32_t half = static_cast<uint32_t>(high ? item.key >> 32 : item.key);
      return (half >> shift) & 0xFF;
    };
    if (count[digit(items->front())] == n) continue;
    uint32_t offset = 0;
    for (int d = 0; d < 256; ++d) {
      const uint32_t c = count[d];
      count[d] = offset;
      offset += c;
    }
    for (const SortItem& item : *items) buffer[count[digit(item)]++] = item;
    items->swap(buffer);
  }
}

// Puts the items in caption order (the other way when reversed), stably, so
// that the sort by key that follows leaves equal keys in caption order.
void OrderByCaption(const SortCells& cells, bool reversed, std::vector<SortItem>* items) {
  std::vector<uint32_t> rows;
  rows.reserve(items->size());
  for (const SortItem& item : *items) rows.push_back(item.row);
  const std::vector<uint32_t> ranks = CaptionRanks(cells, rows);
  std::vector<uint64_t> key_of_row(cells.size());
  for (size_t k = 0; k < items->size(); ++k) {
    SortItem& item = (*items)[k];
    key_of_row[item.row] = item.key;
    item.key = reversed ? ~uint64_t{ranks[k]} : ranks[k];
  }
  RadixSortByKey(items);
  for (SortItem& item : *items) item.key = key_of_row[item.row];
}

}  // namespace

int FileViewCompare(const SortCells& cells, const SortSettings& settings, size_t row1,
                    size_t row2) {
  const RuleSpec sort_rule = RuleFor(settings.mode, settings.column);
  const uint8_t direction = settings.direction == 1 ? 1 : 0;
  // The group character keeps rows without a title first in both
  // directions: it flips with the direction, as does the result.
  const char empty_group = direction == 0 ? '1' : '2';
  const char titled_group = direction == 0 ? '2' : '1';
  const std::string g1(1, cells.Cell(row1, 3).empty() ? empty_group : titled_group);
  const std::string g2(1, cells.Cell(row2, 3).empty() ? empty_group : titled_group);
  const std::string t1(cells.Cell(row1, sort_rule.column));
  const std::string t2(cells.Cell(row2, sort_rule.column));
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
    c = Cmp(std::string(cells.Cell(row1, 0)), std::string(cells.Cell(row2, 0)));
  }
  return direction == 1 ? -c : c;
}

std::vector<uint32_t> ListOrder(const SortCells& cells, const SortSettings& settings) {
  const size_t n = cells.size();
  const RuleSpec sort_rule = RuleFor(settings.mode, settings.column);
  std::vector<uint32_t> order;
  order.reserve(n);
  if (sort_rule.rule == Rule::kNone || n < 2) {
    for (size_t i = 0; i < n; ++i) order.push_back(static_cast<uint32_t>(i));
    return order;
  }
  const bool reversed = settings.direction == 1;
  std::vector<uint32_t> failed;
  std::vector<SortItem> items = KeyedItems(cells, sort_rule, reversed ? 1 : 0, &failed);

  // One number per row in the comparison's order. A text rule's rank
  // already holds the group (its lead character); the negated rules order
  // the group first and their keys the other way. Keys are below 2^63: a
  // rank, or the bits of a non-negative double.
  const bool text_rule = sort_rule.rule == Rule::kText;
  constexpr uint64_t kLow63 = ~0ull >> 1;
  for (SortItem& item : items) {
    uint64_t key = item.key;
    if (!text_rule) key = (static_cast<uint64_t>(item.group - 1) << 63) | (kLow63 - key);
    item.key = reversed ? ~key : key;
    item.group = 0;
  }
  if (sort_rule.caption_tie) OrderByCaption(cells, reversed, &items);
  RadixSortByKey(&items);

  // Rows whose date cannot be read compare equal to all: they go last.
  for (const SortItem& item : items) order.push_back(item.row);
  order.insert(order.end(), failed.begin(), failed.end());
  return order;
}

RecordCells::RecordCells(uint32_t mode, const std::vector<ActivityRecord*>& records)
    : mode_(mode), records_(records) {}

std::string_view RecordCells::Cell(size_t row, int column) const {
  if (column < 0 || column >= kListColumns) return std::string_view();
  if (mode_ == 2 && column == 0) return records_[row]->PathText();
  if (mode_ == 2 && column == 3) return records_[row]->TitleText();
  std::vector<std::string>& texts = formatted_[column];
  if (texts.empty() && !records_.empty()) {
    texts.reserve(records_.size());
    for (const ActivityRecord* r : records_) {
      texts.push_back(mode_ == 3 ? OverviewCellText(*r, column) : SearchCellText(*r, column));
    }
  }
  return texts[row];
}

std::vector<ActivityRecord*> RecordsInListOrder(const std::vector<ActivityRecord*>& records,
                                                const SortSettings& settings) {
  std::vector<uint32_t> order = ListOrder(RecordCells(settings.mode, records), settings);
  std::vector<ActivityRecord*> ordered;
  ordered.reserve(order.size());
  for (uint32_t row : order) ordered.push_back(records[row]);
  return ordered;
}
