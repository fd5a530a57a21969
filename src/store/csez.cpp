#include "store/csez.h"

#include "platform/system.h"
#include "store/pool.h"

namespace {

// Lists longer than this get a hash index on their first lookup; the live
// lists stay below it and are scanned, as are the history nodes, which are
// never searched.
constexpr uint32_t kIndexThreshold = 24;
// Lists longer than this keep a RecordOrder once a record moves in them.
constexpr uint32_t kOrderThreshold = 64;

FreeListPool<ActivityRecord>& RecordPool() {
  static auto* pool = new FreeListPool<ActivityRecord>();
  return *pool;
}

}  // namespace

CSez::CSez() : CSez(platform::Now()) {}

CSez::CSez(double period_start) : periodStart(period_start) {}

CSez::~CSez() { ReleaseAll(); }

ActivityRecord* CSez::FindPath(const std::string& path) {
  return FindPath(Texts().Intern(path));
}

ActivityRecord* CSez::FindPath(TextId path) { return Find(Texts().Folded(path), kEmptyText); }

ActivityRecord* CSez::FindPathTitle(const std::string& path, const std::string& title) {
  if (title.empty()) return nullptr;
  return FindPathTitle(Texts().Intern(path), Texts().Intern(title));
}

ActivityRecord* CSez::FindPathTitle(TextId path, TextId title) {
  if (title == kEmptyText) return nullptr;
  return Find(Texts().Folded(path), title);
}

ActivityRecord* CSez::Find(TextId folded_path, TextId title) {
  TextPool& texts = Texts();
  // With an index the probe costs a cache miss and rarely hits.
  if (index_ == nullptr && cursor_ != nullptr && cursor_->title == title &&
      texts.Folded(cursor_->path) == folded_path) {
    return cursor_;
  }
  if (index_ == nullptr && !duplicate_keys_ && size_ > kIndexThreshold) {
    index_ = std::make_unique<FlatIndex<ActivityRecord>>();
    for (ActivityRecord* r = head_; r != nullptr; r = r->next) {
      const uint64_t key = Key(texts.Folded(r->path), r->title);
      if (index_->Find(key) != nullptr) {
        duplicate_keys_ = true;
        index_.reset();
        break;
      }
      index_->Set(key, r);
    }
  }
  ActivityRecord* found =
      index_ != nullptr ? index_->Find(Key(folded_path, title)) : Scan(folded_path, title);
  if (found != nullptr) cursor_ = found;
  return found;
}

ActivityRecord* CSez::Scan(TextId folded_path, TextId title) const {
  TextPool& texts = Texts();
  for (ActivityRecord* r = head_; r != nullptr; r = r->next) {
    if (r->title == title && texts.Folded(r->path) == folded_path) return r;
  }
  return nullptr;
}

ActivityRecord* CSez::NewRecord(const std::string& path, uint32_t tenths,
                                const std::string& title) {
  ActivityRecord* record = RecordPool().Create();
  record->path = Texts().Intern(path);
  record->title = Texts().Intern(title);
  record->time = tenths;
  record->stamp = platform::Now();
  Insert(record);
  return record;
}

ActivityRecord* CSez::NewDatedRecord(TextId path, uint32_t time, double date, TextId title) {
  ActivityRecord* record = RecordPool().Create();
  record->path = path;
  record->title = title;
  record->time = time;
  record->stamp = date;
  record->latest = date;
  record->activeDays = 1;
  Insert(record);
  return record;
}

void CSez::Insert(ActivityRecord* record) {
  if (index_ != nullptr) {
    const uint64_t key = Key(Texts().Folded(record->path), record->title);
    if (index_->Find(key) != nullptr) {
      duplicate_keys_ = true;
      index_.reset();
    } else {
      index_->Set(key, record);
    }
  }
  if (order_.active()) order_.PushFront(record);
  record->next = head_;
  head_ = record;
  ++size_;
}

ActivityRecord* CSez::AddTime(ActivityRecord* record, uint32_t delta) {
  record->time += delta;
  record->stamp = platform::Now();
  return MoveTowardTail(record);
}

ActivityRecord* CSez::MergeTime(ActivityRecord* record, uint32_t delta, double date) {
  record->time += delta;
  if (static_cast<int64_t>(record->stamp) != static_cast<int64_t>(date)) ++record->activeDays;
  record->stamp = date;
  if (date > record->latest) record->latest = date;
  return MoveTowardTail(record);
}

ActivityRecord* CSez::MoveTowardTail(ActivityRecord* record) {
  if (!order_.active() && size_ > kOrderThreshold) order_.Build(head_);
  if (order_.active()) {
    ActivityRecord* before = nullptr;
    ActivityRecord* position = order_.MoveTowardTail(record, &before);
    if (position != nullptr) {
      Unlink(record, before);
      InsertAfter(position, record);
    }
    return record;
  }
  ActivityRecord* position = record->next;
  if (position == nullptr || position->time >= record->time) return record;
  while (position->next != nullptr && position->next->time < record->time) {
    position = position->next;
  }
  Unlink(record, Predecessor(record));
  InsertAfter(position, record);
  return record;
}

ActivityRecord* CSez::Predecessor(const ActivityRecord* record) const {
  // Only short lists get here: long ones ask their RecordOrder.
  ActivityRecord* before = nullptr;
  for (ActivityRecord* r = head_; r != record; r = r->next) before = r;
  return before;
}

void CSez::Unlink(ActivityRecord* record, ActivityRecord* before) {
  if (before != nullptr) {
    before->next = record->next;
  } else {
    head_ = record->next;
  }
  record->next = nullptr;
}

void CSez::InsertAfter(ActivityRecord* position, ActivityRecord* record) {
  record->next = position->next;
  position->next = record;
}

void CSez::ReleaseAll() {
  FreeListPool<ActivityRecord>& pool = RecordPool();
  ActivityRecord* record = head_;
  while (record != nullptr) {
    ActivityRecord* next = record->next;
    pool.Release(record);
    record = next;
  }
  head_ = cursor_ = iterator_ = nullptr;
  size_ = 0;
  index_.reset();
  duplicate_keys_ = false;
  order_.Clear();
}

void CSez::Clear() {
  ReleaseAll();
  timeChanged = false;
  hibernated = false;
  periodStart = platform::Now();
}

void CSez::PruneBelow(int32_t minimum_seconds) {
  // 64 bits: the setting is unbounded and ten times it may not fit in 32.
  const uint64_t minimum_tenths =
      minimum_seconds > 0 ? static_cast<uint64_t>(minimum_seconds) * 10u : 0u;
  ActivityRecord* before = nullptr;
  ActivityRecord* record = head_;
  while (record != nullptr) {
    ActivityRecord* next = record->next;
    if (record->time < minimum_tenths) {
      Unlink(record, before);
      RecordPool().Release(record);
      --size_;
    } else {
      before = record;
    }
    record = next;
  }
  cursor_ = nullptr;
  iterator_ = nullptr;
  index_.reset();
  duplicate_keys_ = false;
  order_.Clear();
}

bool CSez::Next(ActivityRecord** record) {
  if (iterator_ == nullptr) {
    *record = nullptr;
    return false;
  }
  *record = iterator_;
  iterator_ = iterator_->next;
  return true;
}

void CSez::OpenCipher() { cipher_ = std::make_unique<LogCipher>(); }

void CSez::CloseCipher() { cipher_.reset(); }
