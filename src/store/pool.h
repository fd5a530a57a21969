#ifndef TRAMO_STORE_POOL_H_
#define TRAMO_STORE_POOL_H_

#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

// Process-wide free list of objects of one type, last in first out, carved
// from chunks that are never returned: released records and nodes are reused
// instead of freed, and a ten-year history costs no per-object heap blocks.
template <typename T>
class FreeListPool {
 public:
  FreeListPool() = default;
  FreeListPool(const FreeListPool&) = delete;
  FreeListPool& operator=(const FreeListPool&) = delete;

  template <typename... Args>
  T* Create(Args&&... args) {
    void* memory = TakeSlot();
    return new (memory) T(std::forward<Args>(args)...);
  }

  void Release(T* object) {
    object->~T();
    Slot* slot = reinterpret_cast<Slot*>(object);
    slot->next_free = free_;
    free_ = slot;
  }

 private:
  union Slot {
    Slot* next_free;
    alignas(T) unsigned char storage[sizeof(T)];
  };
  static constexpr size_t kChunkSlots = 4096;

  void* TakeSlot() {
    if (free_ != nullptr) {
      Slot* slot = free_;
      free_ = slot->next_free;
      return slot->storage;
    }
    if (chunks_.empty() || used_in_chunk_ == kChunkSlots) {
      // Not zeroed: every slot is constructed before use.
      chunks_.push_back(std::unique_ptr<Slot[]>(new Slot[kChunkSlots]));
      used_in_chunk_ = 0;
    }
    return chunks_.back()[used_in_chunk_++].storage;
  }

  std::vector<std::unique_ptr<Slot[]>> chunks_;
  size_t used_in_chunk_ = 0;
  Slot* free_ = nullptr;
};

#endif  // TRAMO_STORE_POOL_H_
