#include "store/cglobal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

#include "store/pool.h"
#include "support/datetime.h"
#include "support/events.h"

namespace {

FreeListPool<PeriodNode>& NodePool() {
  static auto* pool = new FreeListPool<PeriodNode>();
  return *pool;
}

uint64_t NodeKeyBits(double key) {
  if (key == 0) key = 0;  // -0.0 equals 0.0
  uint64_t bits;
  std::memcpy(&bits, &key, sizeof(bits));
  return bits;
}

// JProlniZaznam's merge within the record's bucket.
void MergeInto(CSez* list, const ActivityRecord& record) {
  ActivityRecord* found = record.title != kEmptyText
                              ? list->FindPathTitle(record.path, record.title)
                              : list->FindPath(record.path);
  if (found != nullptr) {
    list->MergeTime(found, record.time, record.stamp);
  } else {
    list->NewDatedRecord(record.path, record.time, record.stamp, record.title);
  }
}

}  // namespace

uint32_t SpanSeconds(double from, double to) {
  const double milliseconds = std::round(std::fabs(to - from) * 86400000.0);
  return static_cast<uint32_t>(static_cast<uint64_t>(milliseconds) / 1000u);
}

CGlobal::CGlobal() = default;

CGlobal::~CGlobal() { Clear(); }

void CGlobal::Create() {
  head_ = cursor_ = currentSession_ = nullptr;
  loaded = false;
  earliest = 0;
  newSessionPending = false;
  node_index_.Clear();
  std::fill(std::begin(buckets_), std::end(buckets_), nullptr);
}

void CGlobal::Clear() {
  cursor_ = currentSession_ = nullptr;
  PeriodNode* node = head_;
  while (node != nullptr) {
    PeriodNode* next = node->next;
    NodePool().Release(node);  // the node's list releases its records
    node = next;
  }
  head_ = nullptr;
  iterator_ = nullptr;
  node_index_.Clear();
  std::fill(std::begin(buckets_), std::end(buckets_), nullptr);
  loaded = false;
  earliest = 0;
}

void CGlobal::MergeHistories(const std::vector<CGlobal*>& sources) {
  Clear();
  Create();
  std::vector<PeriodNode*> next;
  for (CGlobal* source : sources) {
    next.push_back(source->head_);
    if (!IsNearZero(source->earliest) &&
        (IsNearZero(earliest) || source->earliest < earliest)) {
      earliest = source->earliest;
    }
    source->head_ = nullptr;  // the nodes change owner
    source->Clear();
  }
  PeriodNode** tail = &head_;
  for (;;) {
    int newest = -1;
    for (size_t i = 0; i < next.size(); ++i) {
      if (next[i] != nullptr && (newest < 0 || next[i]->key > next[newest]->key)) {
        newest = static_cast<int>(i);
      }
    }
    if (newest < 0) break;
    PeriodNode* node = next[newest];
    next[newest] = node->next;
    node->source = static_cast<uint32_t>(newest);
    *tail = node;
    tail = &node->next;
    // The first node from the head stays the one found for its key.
    if (node_index_.Find(NodeKeyBits(node->key)) == nullptr) {
      node_index_.Set(NodeKeyBits(node->key), node);
    }
  }
  *tail = nullptr;
  loaded = true;
}

PeriodNode* CGlobal::NewNode(double key) {
  PeriodNode* node = NodePool().Create();
  node->key = key;
  node->next = head_;
  head_ = node;
  // The head is the first match from the head for its key.
  node_index_.Set(NodeKeyBits(key), node);
  if (key >= 0 && key < 256 && key == std::floor(key)) buckets_[static_cast<int>(key)] = node;
  return node;
}

PeriodNode* CGlobal::FindNode(double key) {
  if (std::isnan(key)) return nullptr;  // equal to nothing, though the index would match its bits
  if (cursor_ != nullptr && cursor_->key == key) return cursor_;
  PeriodNode* found = node_index_.Find(NodeKeyBits(key));
  if (found != nullptr) cursor_ = found;
  return found;
}

void CGlobal::MarkSession(double date) {
  const double d = date - 1e-8;
  if (newSessionPending) {
    newSessionPending = false;
    PeriodNode* node = NewNode(d);
    node->end = d;
    node->isSession = true;
    currentSession_ = node;
  } else if (currentSession_ != nullptr) {
    currentSession_->end = d;
  }
}

bool CGlobal::AddHistoryRecord(TextId path, TextId title, uint32_t seconds, double date) {
  if (!(date <= periodEnd)) return false;
  PeriodNode* node = FindNode(date);
  if (node == nullptr) {
    node = NewNode(date);
    node->end = periodEnd;
  }
  if (currentSession_ != nullptr) currentSession_->end = periodEnd;
  node->list.NewDatedRecord(path, seconds, date, title);
  return true;
}

bool CGlobal::AddHistoryRecord(const std::string& path, const std::string& title,
                               uint32_t seconds, double date) {
  return AddHistoryRecord(Texts().Intern(path), Texts().Intern(title), seconds, date);
}

PeriodNode* CGlobal::Bucket(uint32_t crc) {
  PeriodNode*& slot = buckets_[crc & 0xFFu];
  if (slot == nullptr) {
    const double key = static_cast<double>(crc & 0xFFu);
    PeriodNode* node = FindNode(key);
    slot = node != nullptr ? node : NewNode(key);
  }
  return slot;
}

PeriodNode* CGlobal::BucketOf(const ActivityRecord& record) {
  TextPool& texts = Texts();
  return Bucket(record.title != kEmptyText ? texts.Crc(record.title)
                                           : texts.FoldedCrc(record.path));
}

void CGlobal::JProlniZaznam(const ActivityRecord* record) {
  if (record == nullptr) {
    AddEvent(3, "JProlniZaznam, u je nil");
    return;
  }
  MergeInto(&BucketOf(*record)->list, *record);
}

ActivityRecord* CGlobal::AddNewKey(const ActivityRecord& record) {
  return BucketOf(record)->list.NewDatedRecord(record.path, record.time, record.stamp,
                                                record.title);
}

void CGlobal::MergeAllRecords(const CGlobal& history) {
  std::vector<GroupedRecord> grouped[256];
  std::vector<double> stamps;
  GroupByBucket(history, grouped, &stamps);
  ActivityRecord record;
  for (int b = 0; b < 256; ++b) {
    for (const GroupedRecord& g : grouped[b]) {
      record.path = g.path;
      record.title = g.title;
      record.time = g.time;
      record.stamp = stamps[g.stamp];
      MergeInto(&buckets_[b]->list, record);
    }
    // A merged bucket's copies go at once: the aggregate grows as they shrink.
    std::vector<GroupedRecord>().swap(grouped[b]);
  }
}

void CGlobal::GroupByBucket(const CGlobal& history, std::vector<GroupedRecord> grouped[256],
                            std::vector<double>* stamps) {
  size_t total = 0;
  for (const PeriodNode* node = history.head_; node != nullptr; node = node->next) {
    total += node->list.size();
  }
  std::vector<uint8_t> bucket_of;
  bucket_of.reserve(total);
  size_t count[256] = {};
  for (const PeriodNode* node = history.head_; node != nullptr; node = node->next) {
    for (const ActivityRecord* r = node->list.head(); r != nullptr; r = r->next) {
      const uint8_t bucket = static_cast<uint8_t>(BucketOf(*r)->key);
      bucket_of.push_back(bucket);
      ++count[bucket];
    }
  }
  for (int b = 0; b < 256; ++b) grouped[b].reserve(count[b]);
  size_t n = 0;
  for (const PeriodNode* node = history.head_; node != nullptr; node = node->next) {
    for (const ActivityRecord* r = node->list.head(); r != nullptr; r = r->next) {
      if (stamps->empty() || stamps->back() != r->stamp) stamps->push_back(r->stamp);
      const uint32_t stamp = static_cast<uint32_t>(stamps->size() - 1);
      grouped[bucket_of[n++]].push_back(GroupedRecord{r->path, r->title, r->time, stamp});
    }
  }
}

void CGlobal::MergeNamed(const std::string& name, uint32_t span, double date,
                         bool merge_span) {
  TextPool& texts = Texts();
  const TextId name_id = texts.Intern(name);
  PeriodNode* node = Bucket(texts.Crc(name_id));
  ActivityRecord* found = node->list.FindPath(name_id);
  if (found != nullptr) {
    node->list.MergeTime(found, merge_span ? span : 0, date);
  } else {
    node->list.NewDatedRecord(name_id, span, date, kEmptyText);
  }
}

void CGlobal::KProlniZaznam(const PeriodNode* node) {
  if (node == nullptr) {
    AddEvent(3, "KProlniZaznam, u je nil");
    return;
  }
  if (!node->isSession) return;
  MergeNamed(FixedDateTimeText(node->key), SpanSeconds(node->key, node->end), node->end,
             false);
}

void CGlobal::KProlniZaznam(const PeriodNode* node, double period_key) {
  if (node == nullptr) {
    AddEvent(3, "KProlniZaznam, u je nil");
    return;
  }
  if (node->isSession) return;
  MergeNamed(FixedDateTimeText(period_key), SpanSeconds(node->key, node->end), node->end,
             true);
}

void CGlobal::Rewind() {
  iterator_ = head_;
  if (iterator_ != nullptr) iterator_->list.Rewind();
}

bool CGlobal::NextRecord(ActivityRecord** record) {
  *record = nullptr;
  if (iterator_ == nullptr) return false;
  if (iterator_->list.Next(record)) return true;
  iterator_ = iterator_->next;
  if (iterator_ != nullptr) iterator_->list.Rewind();
  return true;
}

bool CGlobal::NextNode(PeriodNode** node) {
  *node = iterator_;
  if (iterator_ == nullptr) return false;
  iterator_ = iterator_->next;
  return true;
}

void CGlobal::OpenCipher() {
  newSessionPending = false;
  cipher_ = std::make_unique<LogCipher>();
}

void CGlobal::CloseCipher() { cipher_.reset(); }
