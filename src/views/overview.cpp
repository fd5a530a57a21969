#include "views/overview.h"

#include <cmath>
#include <cstring>
#include <deque>
#include <limits>
#include <map>
#include <set>
#include <utility>

#include "store/cglobal.h"
#include "store/flat_index.h"
#include "support/datetime.h"

const char* const kOverviewItems[kOverviewItemCount] = {"Seance", "Hodina", "Den",  "Týden",
                                                        "Měsíc",  "Rok",    "Vše"};

namespace {

// The date of "Vše": the start spinners' year and month with the calendar's
// day. Spinners can hold a value their calendar ignored (year 0, say); such a
// date does not exist and the calendar's own date is used instead.
double AllKey(const DatePicker& start) {
  const int year = start.spin_year;
  const int month = start.spin_month;
  const int day = start.calendar.day;
  if (year >= 1 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month)) {
    return EncodeDateTime(year, month, day);
  }
  return MidnightOf(start.calendar);
}

// The period form of KProlniZaznam folded per entry: an entry named by a
// bucket key adds up the spans of its nodes (in node order), its stamp is the
// end of the node merged last, latest the newest end, and a new calendar day
// of the stamp counts once per change. Merging node by node into the
// buckets' lists walks long lists and names the entry for every node.
// Bucket keys are whole hours or days, so equal names mean equal keys.
class PeriodEntries {
 public:
  void Merge(const PeriodNode* node, double key) {
    const uint32_t span = SpanSeconds(node->key, node->end);
    const uint64_t bits = KeyBits(key);
    Entry* e = index_.Find(bits);
    if (e == nullptr) {
      entries_.push_back(Entry{node, key, span, 1, node->end, node->end});
      index_.Set(bits, &entries_.back());
      return;
    }
    e->time += span;
    if (static_cast<int64_t>(e->stamp) != static_cast<int64_t>(node->end)) ++e->activeDays;
    e->stamp = node->end;
    if (node->end > e->latest) e->latest = node->end;
  }

  // Creates every entry in the result database through KProlniZaznam (from
  // its first node) and gives it the fields of all its nodes.
  void Store(CGlobal* db) const {
    TextPool& texts = Texts();
    for (const Entry& e : entries_) {
      db->KProlniZaznam(e.first_node, e.key);
      const TextId name = texts.Intern(FixedDateTimeText(e.key));
      PeriodNode* bucket = db->FindNode(static_cast<double>(texts.Crc(name) & 0xFFu));
      ActivityRecord* record = bucket != nullptr ? bucket->list.head() : nullptr;
      if (record == nullptr || record->path != name) continue;
      record->time = e.time;
      record->activeDays = e.activeDays;
      record->stamp = e.stamp;
      record->latest = e.latest;
    }
  }

 private:
  struct Entry {
    const PeriodNode* first_node;
    double key;
    uint32_t time;
    uint32_t activeDays;
    double stamp;
    double latest;
  };

  static uint64_t KeyBits(double key) {
    if (key == 0) key = 0;  // -0.0 names the same entry as 0.0
    uint64_t bits;
    std::memcpy(&bits, &key, sizeof(bits));
    return bits;
  }

  std::deque<Entry> entries_;  // stays in place for the index
  FlatIndex<Entry> index_;
};

// The session form of KProlniZaznam, one entry per session start and
// computer: in one history a start that recurs merges into its first entry,
// but computers that started a session in the same second ran two sessions,
// and each keeps a row of its own.
class SessionEntries {
 public:
  explicit SessionEntries(CGlobal* db) : db_(db) {}

  void Merge(const PeriodNode* node) {
    TextPool& texts = Texts();
    const TextId name = texts.Intern(FixedDateTimeText(node->key));
    ActivityRecord*& entry = entries_[{name, node->source}];
    if (entry != nullptr) {
      BucketList(name)->MergeTime(entry, 0, node->end);
    } else if (named_.insert(name).second) {
      db_->KProlniZaznam(node);
      entry = BucketList(name)->FindPath(name);
    } else {
      entry = BucketList(name)->NewDatedRecord(name, SpanSeconds(node->key, node->end),
                                               node->end, kEmptyText);
    }
  }

 private:
  // The bucket KProlniZaznam has made for the name.
  CSez* BucketList(TextId name) {
    return &db_->FindNode(static_cast<double>(Texts().Crc(name) & 0xFFu))->list;
  }

  CGlobal* db_;
  std::map<std::pair<TextId, uint32_t>, ActivityRecord*> entries_;
  std::set<TextId> named_;
};

}  // namespace

int OverviewIndexOfText(const std::string& text) {
  for (int i = 0; i < kOverviewItemCount; ++i) {
    if (text == kOverviewItems[i]) return i;
  }
  return -1;
}

double OverviewBucketKey(int bucket, double x, const DatePicker& start) {
  switch (bucket) {
    case kBucketHour:
      // 1e-8 day (under a millisecond) keeps a start on the hour in its hour.
      return std::floor(x * 24 + 1e-8) / 24;
    case kBucketDay:
      return std::floor(x + 1e-8);
    case kBucketWeek:
      // Day 2 of the scale, 1.1.1900, is a Monday.
      return std::floor((x - 2) / 7) * 7 + 2;
    case kBucketMonth: {
      const DateTimeParts parts = DecodeDateTime(x);
      return EncodeDateTime(parts.year, parts.month, 1);
    }
    case kBucketYear:
      return EncodeDateTime(DecodeDateTime(x).year, 1, 1);
    case kBucketAll:
      return AllKey(start);
    default:
      return std::numeric_limits<double>::quiet_NaN();
  }
}

OverviewResult RunOverview(CGlobal* history, CGlobal* result_db, int bucket,
                           const SearchRange& range, const DatePicker& start) {
  OverviewResult result;
  result_db->Clear();
  const bool sessions = bucket == -1 || bucket == kBucketSession;
  const bool periods = bucket >= kBucketHour && bucket <= kBucketAll;
  // "Vše" puts every node under one key; the others derive it per node.
  const double all_key = AllKey(start);
  PeriodEntries entries;
  SessionEntries session_entries(result_db);
  for (const PeriodNode* node = history->head(); node != nullptr; node = node->next) {
    if (node->isSession) {
      if (sessions) session_entries.Merge(node);
    } else if (periods) {
      entries.Merge(node,
                    bucket == kBucketAll ? all_key : OverviewBucketKey(bucket, node->key, start));
    }
  }
  entries.Store(result_db);
  for (const PeriodNode* node = result_db->head(); node != nullptr; node = node->next) {
    for (ActivityRecord* entry = node->list.head(); entry != nullptr; entry = entry->next) {
      if (range.from <= entry->stamp && entry->latest <= range.to) {
        result.rows.push_back(entry);
        ++result.shown;
      } else {
        ++result.hidden;
      }
    }
  }
  return result;
}

std::string OverviewStatusText(uint32_t shown, uint32_t hidden, uint32_t elapsed_ms,
                               char decimal_separator) {
  return "Počet zobrazených/nezobrazených položek, čas zpracování: " + std::to_string(shown) +
         " / " + std::to_string(hidden) + ", " +
         TenthsText(elapsed_ms / 100, decimal_separator) + "s";
}

bool SetDetailRange(unsigned view_mode, bool row_selected, const std::string& from_cell,
                    const std::string& to_cell, DetailRange* detail) {
  if (view_mode != 3 || !row_selected) return false;
  double from = 0;
  double to = 0;
  if (!TryParseFixedDateTime(from_cell, &from) || !TryParseFixedDateTime(to_cell, &to)) {
    return false;
  }
  detail->from = from;
  detail->to = to;
  return true;
}
