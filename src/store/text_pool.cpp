#include "store/text_pool.h"

#include <cstring>

#include "support/crc32.h"
#include "support/text_routines.h"

namespace {

uint32_t HashText(std::string_view text) {
  // Eight bytes a step: paths and titles are long, and every log line hashes two.
  uint64_t hash = 0x9E3779B97F4A7C15ull ^ text.size();
  const char* p = text.data();
  size_t n = text.size();
  for (; n >= 8; n -= 8, p += 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 29;
  }
  uint64_t tail = 0;
  if (n > 0) std::memcpy(&tail, p, n);  // the empty text has no data pointer
  hash = (hash ^ tail) * 0xC4CEB9FE1A85EC53ull;
  hash ^= hash >> 32;
  return static_cast<uint32_t>(hash);
}

}  // namespace

TextPool::TextPool() : slots_(1024, Slot{0, kUnknown}) { Intern(std::string_view()); }

TextId TextPool::Intern(std::string_view text) {
  const uint32_t hash = HashText(text);
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.id == kUnknown) break;
    if (slot.hash == hash && *texts_[slot.id] == text) return slot.id;
  }
  const TextId id = static_cast<TextId>(texts_.size());
  texts_.push_back(std::make_unique<std::string>(text));
  hashes_.push_back(hash);
  folded_.push_back(kUnknown);
  // Now, while the text is in the cache: the search asks for the CRCs of a
  // quarter million texts at once, long after the load brought them in.
  crcs_.push_back(StringCrc32(*texts_.back()));
  if (texts_.size() * 2 > slots_.size()) {
    Grow();
  } else {
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      if (slots_[i].id == kUnknown) {
        slots_[i] = Slot{hash, id};
        break;
      }
    }
  }
  return id;
}

void TextPool::Grow() {
  std::vector<Slot> bigger(slots_.size() * 2, Slot{0, kUnknown});
  const size_t mask = bigger.size() - 1;
  for (TextId id = 0; id < texts_.size(); ++id) {
    size_t i = hashes_[id] & mask;
    while (bigger[i].id != kUnknown) i = (i + 1) & mask;
    bigger[i] = Slot{hashes_[id], id};
  }
  slots_.swap(bigger);
}

TextId TextPool::Folded(TextId id) {
  if (folded_[id] == kUnknown) {
    const std::string upper = AsciiUpper(*texts_[id]);
    const TextId folded = upper == *texts_[id] ? id : Intern(upper);
    folded_[id] = folded;
    folded_[folded] = folded;
  }
  return folded_[id];
}

TextPool& Texts() {
  static TextPool* pool = new TextPool();  // lives to process end, like the record pool
  return *pool;
}
