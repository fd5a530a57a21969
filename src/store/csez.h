#ifndef TRAMO_STORE_CSEZ_H_
#define TRAMO_STORE_CSEZ_H_

#include <cstdint>
#include <memory>
#include <string>

#include "store/flat_index.h"
#include "store/log_cipher.h"
#include "store/record_order.h"
#include "store/text_pool.h"

// One executable path with an optional window title (empty: the path's total).
// time: tenths of a second in the live lists, whole seconds in CGlobal lists.
struct ActivityRecord {
  // next and time first: the reorder walk reads only these, from one cache line.
  ActivityRecord* next = nullptr;
  uint32_t time = 0;
  uint32_t activeDays = 0;
  OrderBlock* orderBlock = nullptr;  // set while a long list keeps its RecordOrder
  TextId path = kEmptyText;
  TextId title = kEmptyText;
  double stamp = 0;
  double latest = 0;

  const std::string& PathText() const { return Texts().Text(path); }
  const std::string& TitleText() const { return Texts().Text(title); }
};

// A list of activity records for one stretch of time. New records go to the
// head; adding time moves a record toward the tail past every following record
// with less time, so the list runs in ascending time. Lookups compare paths
// case-blind for a-z only and titles exactly, and return the first match from
// the head.
class CSez {
 public:
  // Create: an empty list whose period starts now.
  CSez();
  // The same with a given period start (lists inside the history nodes).
  explicit CSez(double period_start);
  ~CSez();
  CSez(const CSez&) = delete;
  CSez& operator=(const CSez&) = delete;

  void SetTimeChanged() { timeChanged = true; }
  void SetHibernated() { hibernated = true; }

  ActivityRecord* FindPath(const std::string& path);
  ActivityRecord* FindPath(TextId path);
  // None at once for an empty title.
  ActivityRecord* FindPathTitle(const std::string& path, const std::string& title);
  ActivityRecord* FindPathTitle(TextId path, TextId title);

  // stamp now, latest 0, activeDays 0; at the head.
  ActivityRecord* NewRecord(const std::string& path, uint32_t tenths,
                            const std::string& title);
  // stamp = latest = date, activeDays 1; at the head, without a lookup.
  ActivityRecord* NewDatedRecord(TextId path, uint32_t time, double date, TextId title);
  // Both return the updated record in its new place.
  ActivityRecord* AddTime(ActivityRecord* record, uint32_t delta);
  ActivityRecord* MergeTime(ActivityRecord* record, uint32_t delta, double date);

  // Releases every record; the period starts now; firstWrite is kept.
  void Clear();
  // Releases every record under minimum_seconds * 10 tenths (a negative
  // minimum counts as 0).
  void PruneBelow(int32_t minimum_seconds);

  void Rewind() { iterator_ = head_; }
  // The record at the iterator, advancing it; false at the end.
  bool Next(ActivityRecord** record);

  ActivityRecord* head() const { return head_; }
  ActivityRecord* cursor() const { return cursor_; }
  bool empty() const { return head_ == nullptr; }
  uint32_t size() const { return size_; }

  // Appends the list as one write of the session log file_name (the month's
  // encrypted log). Records under minimum_seconds are left out; false after a
  // failure, which is recorded as an event. A failed write leaves the file as
  // it was and the list unchanged (firstWrite, notes, periodStart), so that
  // the next write carries everything once. After a success *written (when
  // given) holds the text of the write, without its padding.
  bool WriteLog(const std::string& file_name, int32_t minimum_seconds,
                std::string* written = nullptr);

  // Where the bytes of a failed write that could not be cut back begin in
  // file_name, or -1: the next write or the close marker cuts them first.
  int64_t TornFrom(const std::string& file_name) const {
    return file_name == torn_file_ ? torn_length_ : -1;
  }

  void OpenCipher();
  void CloseCipher();
  bool cipher_open() const { return cipher_ != nullptr; }

  double periodStart;
  bool timeChanged = false;
  bool hibernated = false;
  bool firstWrite = true;

 private:
  void Insert(ActivityRecord* record);
  // before: the record preceding it, nullptr at the head.
  void Unlink(ActivityRecord* record, ActivityRecord* before);
  ActivityRecord* Predecessor(const ActivityRecord* record) const;
  void InsertAfter(ActivityRecord* position, ActivityRecord* record);
  ActivityRecord* MoveTowardTail(ActivityRecord* record);
  ActivityRecord* Find(TextId folded_path, TextId title);
  ActivityRecord* Scan(TextId folded_path, TextId title) const;
  void ReleaseAll();
  static uint64_t Key(TextId folded_path, TextId title) {
    return (static_cast<uint64_t>(folded_path) << 32) | title;
  }

  ActivityRecord* head_ = nullptr;
  ActivityRecord* cursor_ = nullptr;
  ActivityRecord* iterator_ = nullptr;
  uint32_t size_ = 0;
  // Built for long lists (aggregate buckets); unusable once a key repeats.
  std::unique_ptr<FlatIndex<ActivityRecord>> index_;
  bool duplicate_keys_ = false;
  // Built for long lists on their first reorder, dropped when records leave.
  RecordOrder order_;
  std::unique_ptr<LogCipher> cipher_;
  // A failed write whose bytes could not be cut back: the log, its length
  // before them and the crash decision they were written under.
  std::string torn_file_;
  int64_t torn_length_ = 0;
  bool torn_crashed_ = false;
};

#endif  // TRAMO_STORE_CSEZ_H_
