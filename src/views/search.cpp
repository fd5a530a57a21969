#include "views/search.h"

#include <algorithm>

#include "store/cglobal.h"
#include "support/text_routines.h"

namespace {

template <typename T>
T& Grown(std::vector<T>* table, TextId id, T fill) {
  if (id >= table->size()) table->resize(std::max<size_t>(id + 1, table->size() * 2), fill);
  return (*table)[id];
}

// One text filter with its answer kept per text id: a path or title recurs
// in thousands of history records.
class TextFilter {
 public:
  explicit TextFilter(std::string folded_needle) : needle_(std::move(folded_needle)) {}

  bool Matches(TextId id) {
    if (needle_.empty()) return true;
    int8_t& known = Grown<int8_t>(&known_, id, -1);
    if (known < 0) known = AsciiUpper(Texts().Text(id)).find(needle_) != std::string::npos;
    return known == 1;
  }

 private:
  std::string needle_;
  std::vector<int8_t> known_;
};

// One matching history record on its way into the aggregate.
struct Pending {
  TextId folded_path;
  TextId title;
  TextId path;
  uint32_t time;
  size_t hash;
};

// Adds up matching records per (folded path, title) as a one-by-one
// JProlniZaznam would: merging them into the buckets' lists directly walks
// long lists on every addition. The aggregates sit in one open-addressing
// table, one cache line apart, so that the records of a period can have
// their entries fetched ahead.
class Aggregator {
 public:
  struct alignas(32) Entry {
    TextId folded_path;  // kNoText marks a free entry
    TextId title;
    TextId path;  // spelling of the first record merged
    uint32_t time;
    uint32_t activeDays;
    uint32_t last_period;    // period of the last merge: its key is the stamp
    uint32_t latest_period;  // period with the latest key merged
  };
  static constexpr TextId kNoText = 0xFFFFFFFFu;

  // Asks for the table entries of a batch of records ahead of their merge.
  void Prefetch(const std::vector<Pending>& records) const {
    if (table_.empty()) return;
    const size_t mask = table_.size() - 1;
    for (const Pending& p : records) __builtin_prefetch(&table_[p.hash & mask], 1);
  }

  // Merges the matching records of one period (in list order); key is the
  // period's key, the stamp of each of its records.
  void MergePeriod(double key, const std::vector<Pending>& records) {
    const uint32_t period = static_cast<uint32_t>(period_keys_.size());
    period_keys_.push_back(key);
    if ((count_ + records.size()) * 2 > table_.size()) Grow(count_ + records.size());
    const int64_t day = static_cast<int64_t>(key);
    for (const Pending& p : records) {
      Entry& e = Find(p.folded_path, p.title, p.hash);
      if (e.folded_path == kNoText) {
        e = Entry{p.folded_path, p.title, p.path, p.time, 1, period, period};
        ++count_;
        continue;
      }
      // MergeTime's rules: a new calendar day counts once per change of day.
      e.time += p.time;
      if (static_cast<int64_t>(period_keys_[e.last_period]) != day) ++e.activeDays;
      e.last_period = period;
      if (key > period_keys_[e.latest_period]) e.latest_period = period;
    }
  }

  const std::vector<Entry>& table() const { return table_; }
  // Frees the table once its entries are copied out.
  void ReleaseTable() { std::vector<Entry>().swap(table_); }
  double PeriodKey(uint32_t period) const { return period_keys_[period]; }

  static size_t Hash(TextId folded_path, TextId title) {
    uint64_t key = (static_cast<uint64_t>(folded_path) << 32) | title;
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdULL;
    key ^= key >> 33;
    key *= 0xc4ceb9fe1a85ec53ULL;
    key ^= key >> 33;
    return static_cast<size_t>(key);
  }

 private:
  Entry& Find(TextId folded_path, TextId title, size_t hash) {
    const size_t mask = table_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      Entry& e = table_[i];
      if (e.folded_path == kNoText || (e.folded_path == folded_path && e.title == title)) {
        return e;
      }
    }
  }

  // Keeps the table at most half full once the coming records are in.
  void Grow(size_t needed) {
    size_t size = table_.empty() ? 4096 : table_.size();
    while (needed * 2 > size) size *= 2;
    std::vector<Entry> old(size, Entry{kNoText, 0, 0, 0, 0, 0, 0});
    old.swap(table_);
    for (const Entry& e : old) {
      if (e.folded_path != kNoText) Find(e.folded_path, e.title, Hash(e.folded_path, e.title)) = e;
    }
  }

  std::vector<Entry> table_;
  size_t count_ = 0;
  std::vector<double> period_keys_;
};

// One finished aggregate, copied out of the table in bucket order.
struct Finished {
  TextId path;
  TextId title;
  uint32_t time;
  uint32_t activeDays;
  double stamp;
  double latest;
};

// Puts the finished aggregates into the result database as JProlniZaznam
// would, each key once (so each makes a new record, without a lookup), then
// gives each record the fields a one-by-one merge would have left. Keys go
// in bucket by bucket, so that one bucket's list stays in the cache while it
// fills. Returns the records.
std::vector<ActivityRecord*> Store(CGlobal* db, Aggregator* aggregator) {
  TextPool& texts = Texts();
  const std::vector<Aggregator::Entry>& table = aggregator->table();
  // JProlniZaznam's bucket: the low byte of the title's CRC-32, or of the
  // folded path's for a total.
  std::vector<uint8_t> buckets;
  uint32_t start[257] = {};
  for (const Aggregator::Entry& e : table) {
    if (e.folded_path == Aggregator::kNoText) continue;
    const uint8_t bucket = static_cast<uint8_t>(
        e.title != kEmptyText ? texts.Crc(e.title) : texts.Crc(e.folded_path));
    buckets.push_back(bucket);
    ++start[bucket + 1];
  }
  for (int b = 0; b < 256; ++b) start[b + 1] += start[b];
  std::vector<Finished> ordered(buckets.size());
  uint32_t fill[256];
  std::copy(start, start + 256, fill);
  size_t n = 0;
  for (const Aggregator::Entry& e : table) {
    if (e.folded_path == Aggregator::kNoText) continue;
    ordered[fill[buckets[n++]]++] =
        Finished{e.path, e.title, e.time, e.activeDays, aggregator->PeriodKey(e.last_period),
                 aggregator->PeriodKey(e.latest_period)};
  }
  aggregator->ReleaseTable();

  std::vector<ActivityRecord*> stored;
  stored.reserve(ordered.size());
  for (int b = 0; b < 256; ++b) {
    for (uint32_t k = start[b]; k < start[b + 1]; ++k) {
      const Finished& f = ordered[k];
      ActivityRecord merged;
      merged.path = f.path;
      merged.title = f.title;
      merged.time = f.time;
      merged.stamp = f.stamp;
      ActivityRecord* record = db->AddNewKey(merged);
      record->latest = f.latest;
      record->activeDays = f.activeDays;
      stored.push_back(record);
    }
  }
  return stored;
}

}  // namespace

SearchResult RunSearch(CGlobal* history, CGlobal* result_db, const SearchRange& calendars,
                       DetailRange* detail, const SearchOptions& options) {
  SearchResult result;
  TextFilter name(AsciiUpper(options.name));
  TextFilter title(options.with_titles ? AsciiUpper(options.title) : std::string());
  SearchRange range = calendars;
  if (detail->from != 0) {
    range = SearchRange{detail->from, detail->to};
    detail->from = 0;
  }
  result_db->Clear();

  // Every record of a history node carries the node's key as its stamp (the
  // date it was logged under), so a whole node is in the range or out of it.
  TextPool& texts = Texts();
  Aggregator aggregator;
  // The records of one period are gathered and their table entries fetched
  // while the previous period's are merged.
  std::vector<Pending> gathered;
  std::vector<Pending> merging;
  double merging_key = 0;
  for (const PeriodNode* node = history->head(); node != nullptr; node = node->next) {
    if (!(range.from <= node->key && node->key <= range.to)) {
      result.hidden += node->list.size();
      continue;
    }
    gathered.clear();
    for (const ActivityRecord* r = node->list.head(); r != nullptr; r = r->next) {
      if ((!options.with_titles && r->title != kEmptyText) || !name.Matches(r->path) ||
          !title.Matches(r->title)) {
        ++result.hidden;
        continue;
      }
      const TextId folded = texts.Folded(r->path);
      gathered.push_back(
          Pending{folded, r->title, r->path, r->time, Aggregator::Hash(folded, r->title)});
    }
    if (gathered.empty()) continue;
    aggregator.Prefetch(gathered);
    if (!merging.empty()) aggregator.MergePeriod(merging_key, merging);
    merging.swap(gathered);
    merging_key = node->key;
  }
  if (!merging.empty()) aggregator.MergePeriod(merging_key, merging);

  for (ActivityRecord* record : Store(result_db, &aggregator)) {
    if (static_cast<int64_t>(record->time) < options.min_seconds) continue;
    ++result.shown;
    if (record->path != kEmptyText) result.rows.push_back(record);
  }
  return result;
}

std::string SearchStatusText(uint32_t shown, uint32_t hidden, uint32_t elapsed_ms,
                             char decimal_separator) {
  return "Počet zobrazených položek/nezobrazených záznamů, čas zpracování: " +
         std::to_string(shown) + " / " + std::to_string(hidden) + ", " +
         TenthsText(elapsed_ms / 100, decimal_separator) + "s";
}

bool IsSearchKey(int key_code) { return key_code == 13; }
