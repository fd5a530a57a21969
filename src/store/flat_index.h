#ifndef TRAMO_STORE_FLAT_INDEX_H_
#define TRAMO_STORE_FLAT_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <vector>

// Open-addressing map from a 64-bit key to a pointer, for the lookups that
// would otherwise scan long lists. Entries are only set or overwritten; the
// owner drops the whole index when entries go away.
template <typename V>
class FlatIndex {
 public:
  V* Find(uint64_t key) const {
    if (slots_.empty()) return nullptr;
    const size_t mask = slots_.size() - 1;
    for (size_t i = Mix(key) & mask;; i = (i + 1) & mask) {
      if (slots_[i].value == nullptr) return nullptr;
      if (slots_[i].key == key) return slots_[i].value;
    }
  }

  void Set(uint64_t key, V* value) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    const size_t mask = slots_.size() - 1;
    for (size_t i = Mix(key) & mask;; i = (i + 1) & mask) {
      if (slots_[i].value == nullptr) {
        slots_[i] = Slot{key, value};
        ++count_;
        return;
      }
      if (slots_[i].key == key) {
        slots_[i].value = value;
        return;
      }
    }
  }

  void Clear() {
    slots_.clear();
    count_ = 0;
  }

 private:
  struct Slot {
    uint64_t key;
    V* value;
  };

  static size_t Mix(uint64_t key) {
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdULL;
    key ^= key >> 33;
    return static_cast<size_t>(key);
  }

  void Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{0, nullptr});
    count_ = 0;
    for (const Slot& slot : old) {
      if (slot.value != nullptr) Set(slot.key, slot.value);
    }
  }

  std::vector<Slot> slots_;
  size_t count_ = 0;
};

#endif  // TRAMO_STORE_FLAT_INDEX_H_
