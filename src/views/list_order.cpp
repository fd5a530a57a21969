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
  std::vector<double> number(sort_rule.rule == Rule::kText ? 0 : n);
  bool numeric = sort_rule.rule != Rule::kText;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t group = cells.Cell(i, 3).empty() ? empty_group : titled_group;
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

// Ties by caption, within each run of equal keys only: the captions of the
// rows in such runs are ranked, and each run sorted by rank.
void OrderCaptionTies(const SortCells& cells, bool reversed, std::vector<SortItem>* items) {
  auto same_key = [](const SortItem& a, const SortItem& b) {
    return a.group == b.group && a.key == b.key;
  };
  std::vector<std::pair<size_t, size_t>> runs;
  std::vector<std::string_view> captions;
  for (size_t begin = 0; begin < items->size();) {
    size_t end = begin + 1;
    while (end < items->size() && same_key((*items)[begin], (*items)[end])) ++end;
    if (end - begin > 1) {
      runs.emplace_back(begin, end);
      for (size_t k = begin; k < end; ++k) {
        captions.push_back(cells.Cell((*items)[k].row, 0));
      }
    }
    begin = end;
  }
  const std::vector<char> leads(captions.size(), '\0');
  const std::vector<uint32_t> ranks = RankTexts(leads, captions);
  // The rank travels in the key, which the run no longer needs.
  size_t next = 0;
  for (const auto& run : runs) {
    for (size_t k = run.first; k < run.second; ++k) (*items)[k].key = ranks[next++];
    std::stable_sort(items->begin() + run.first, items->begin() + run.second,
                     [reversed](const SortItem& a, const SortItem& b) {
                       return reversed ? a.key > b.key : a.key < b.key;
                     });
  }
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

  // A text rule's rank already holds the group (its lead character); the
  // negated rules compare the group first and their keys the other way.
  const bool text_rule = sort_rule.rule == Rule::kText;
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
  if (sort_rule.caption_tie) OrderCaptionTies(cells, reversed, &items);

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
