#ifndef TRAMO_STORE_RECORD_ORDER_H_
#define TRAMO_STORE_RECORD_ORDER_H_

#include <cstdint>

struct ActivityRecord;

// A run of a long list's records with their times side by side, in list order.
struct OrderBlock {
  static constexpr uint32_t kCapacity = 32;
  OrderBlock* next = nullptr;
  OrderBlock* prev = nullptr;
  uint32_t count = 0;
  uint32_t maxTime = 0;  // never below a time in the block; may lag above it
  uint32_t times[kCapacity];
  ActivityRecord* records[kCapacity];
};

// The order of a long list kept a second time, in short arrays. Moving a
// record toward the tail past every following record with less time would
// otherwise follow the links one cache miss per record (an aggregate bucket
// holds about a thousand); here it scans contiguous times and skips whole
// blocks by their bound. The list's links stay the truth for iteration.
class RecordOrder {
 public:
  RecordOrder() = default;
  ~RecordOrder() { Clear(); }
  RecordOrder(const RecordOrder&) = delete;
  RecordOrder& operator=(const RecordOrder&) = delete;

  bool active() const { return first_ != nullptr; }
  // Takes the order of the linked list from head.
  void Build(ActivityRecord* head);
  void Clear();

  void PushFront(ActivityRecord* record);
  // After record->time changed: moves its entry past every following entry
  // with less time. Returns the record it now follows, nullptr when it stays;
  // *before is the record it followed until now (nullptr: it was the head).
  ActivityRecord* MoveTowardTail(ActivityRecord* record, ActivityRecord** before);

 private:
  OrderBlock* NewBlockAfter(OrderBlock* block);
  void ReleaseBlock(OrderBlock* block);
  void InsertAt(OrderBlock* block, uint32_t index, ActivityRecord* record);
  void RemoveAt(OrderBlock* block, uint32_t index);
  struct Place {
    OrderBlock* block;
    uint32_t index;
  };
  // The entry that should precede the entry at index of block, which now
  // holds time: the last of the following entries with less time, or the
  // entry itself when the next one has not less.
  Place LastShorter(OrderBlock* block, uint32_t index, uint32_t time);

  OrderBlock* first_ = nullptr;
  OrderBlock* last_ = nullptr;
};

#endif  // TRAMO_STORE_RECORD_ORDER_H_
