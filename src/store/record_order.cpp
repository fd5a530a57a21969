#include "store/record_order.h"

#include <algorithm>
#include <cstring>

#include "store/csez.h"
#include "store/pool.h"

namespace {

// Blocks made from an existing list keep room for the records moving in.
constexpr uint32_t kBuildFill = OrderBlock::kCapacity * 3 / 4;

FreeListPool<OrderBlock>& BlockPool() {
  static auto* pool = new FreeListPool<OrderBlock>();
  return *pool;
}

uint32_t IndexIn(const OrderBlock* block, const ActivityRecord* record) {
  uint32_t index = 0;
  while (block->records[index] != record) ++index;
  return index;
}

}  // namespace

void RecordOrder::Build(ActivityRecord* head) {
  Clear();
  OrderBlock* block = nullptr;
  for (ActivityRecord* r = head; r != nullptr; r = r->next) {
    if (block == nullptr || block->count == kBuildFill) block = NewBlockAfter(block);
    block->times[block->count] = r->time;
    block->records[block->count++] = r;
    block->maxTime = std::max(block->maxTime, r->time);
    r->orderBlock = block;
  }
}

void RecordOrder::Clear() {
  while (first_ != nullptr) ReleaseBlock(first_);
}

void RecordOrder::PushFront(ActivityRecord* record) { InsertAt(first_, 0, record); }

ActivityRecord* RecordOrder::MoveTowardTail(ActivityRecord* record, ActivityRecord** before) {
  OrderBlock* block = record->orderBlock;
  // The list's last record, often the one that grows, is the last entry.
  const uint32_t index = record->next == nullptr ? block->count - 1 : IndexIn(block, record);
  block->times[index] = record->time;
  block->maxTime = std::max(block->maxTime, record->time);
  if (record->next == nullptr) return nullptr;
  const Place place = LastShorter(block, index, record->time);
  if (place.block == block && place.index == index) return nullptr;
  ActivityRecord* position = place.block->records[place.index];
  if (index > 0) {
    *before = block->records[index - 1];
  } else {
    *before = block->prev != nullptr ? block->prev->records[block->prev->count - 1] : nullptr;
  }
  RemoveAt(block, index);
  // Within the same block the position moved up by one with the removal.
  InsertAt(place.block, place.block == block ? place.index : place.index + 1, record);
  if (block->count == 0) ReleaseBlock(block);
  return position;
}

RecordOrder::Place RecordOrder::LastShorter(OrderBlock* block, uint32_t index, uint32_t time) {
  uint32_t k = index + 1;
  while (k < block->count && block->times[k] < time) ++k;
  if (k < block->count) return Place{block, k - 1};
  for (block = block->next; block != nullptr; block = block->next) {
    if (block->maxTime < time) continue;
    uint32_t longest = 0;
    for (k = 0; k < block->count && block->times[k] < time; ++k) {
      longest = std::max(longest, block->times[k]);
    }
    if (k == block->count) {
      block->maxTime = longest;  // every time was read: the bound is exact again
      continue;
    }
    if (k > 0) return Place{block, k - 1};
    break;
  }
  OrderBlock* before = block != nullptr ? block->prev : last_;
  return Place{before, before->count - 1};
}

OrderBlock* RecordOrder::NewBlockAfter(OrderBlock* block) {
  OrderBlock* fresh = BlockPool().Create();
  fresh->prev = block;
  fresh->next = block != nullptr ? block->next : first_;
  if (fresh->next != nullptr) {
    fresh->next->prev = fresh;
  } else {
    last_ = fresh;
  }
  if (block != nullptr) {
    block->next = fresh;
  } else {
    first_ = fresh;
  }
  return fresh;
}

void RecordOrder::ReleaseBlock(OrderBlock* block) {
  if (block->prev != nullptr) {
    block->prev->next = block->next;
  } else {
    first_ = block->next;
  }
  if (block->next != nullptr) {
    block->next->prev = block->prev;
  } else {
    last_ = block->prev;
  }
  BlockPool().Release(block);
}

void RecordOrder::InsertAt(OrderBlock* block, uint32_t index, ActivityRecord* record) {
  if (block->count == OrderBlock::kCapacity) {
    // Split in halves; the bound holds for both.
    constexpr uint32_t kHalf = OrderBlock::kCapacity / 2;
    OrderBlock* upper = NewBlockAfter(block);
    upper->count = block->count - kHalf;
    upper->maxTime = block->maxTime;
    std::memcpy(upper->times, block->times + kHalf, upper->count * sizeof(uint32_t));
    std::memcpy(upper->records, block->records + kHalf, upper->count * sizeof(ActivityRecord*));
    for (uint32_t k = 0; k < upper->count; ++k) upper->records[k]->orderBlock = upper;
    block->count = kHalf;
    if (index > kHalf) {
      block = upper;
      index -= kHalf;
    }
  }
  const uint32_t tail = block->count - index;
  std::memmove(block->times + index + 1, block->times + index, tail * sizeof(uint32_t));
  std::memmove(block->records + index + 1, block->records + index, tail * sizeof(ActivityRecord*));
  block->times[index] = record->time;
  block->records[index] = record;
  ++block->count;
  block->maxTime = std::max(block->maxTime, record->time);
  record->orderBlock = block;
}

void RecordOrder::RemoveAt(OrderBlock* block, uint32_t index) {
  const uint32_t tail = block->count - index - 1;
  std::memmove(block->times + index, block->times + index + 1, tail * sizeof(uint32_t));
  std::memmove(block->records + index, block->records + index + 1, tail * sizeof(ActivityRecord*));
  --block->count;
}
