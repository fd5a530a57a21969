#ifndef TRAMO_STORE_TEXT_POOL_H_
#define TRAMO_STORE_TEXT_POOL_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Paths and titles repeat across millions of history records, so records hold
// ids of interned texts. Id 0 is the empty text. The pool is process-wide and
// never shrinks; ids stay valid for the life of the process.
using TextId = uint32_t;
constexpr TextId kEmptyText = 0;

class TextPool {
 public:
  TextPool();
  TextPool(const TextPool&) = delete;
  TextPool& operator=(const TextPool&) = delete;

  TextId Intern(std::string_view text);
  const std::string& Text(TextId id) const { return *texts_[id]; }
  // Id of the text with a-z mapped to A-Z (the key of case-blind path lookups).
  TextId Folded(TextId id);
  // StringCrc32 of the text, and of its folded form.
  uint32_t Crc(TextId id) const { return crcs_[id]; }
  uint32_t FoldedCrc(TextId id) { return Crc(Folded(id)); }

 private:
  static constexpr TextId kUnknown = 0xFFFFFFFFu;
  struct Slot {
    uint32_t hash;
    TextId id;  // kUnknown marks an empty slot
  };
  void Grow();

  std::vector<std::unique_ptr<std::string>> texts_;
  std::vector<uint32_t> hashes_;
  std::vector<TextId> folded_;
  std::vector<uint32_t> crcs_;
  std::vector<Slot> slots_;  // open addressing, size a power of two
};

TextPool& Texts();

#endif  // TRAMO_STORE_TEXT_POOL_H_
