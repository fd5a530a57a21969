#include "platform/locale.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/wide_text_win32.h"

namespace platform {
namespace {

constexpr DWORD kKeyFlags = LCMAP_SORTKEY | NORM_IGNORECASE;

// The texts are code page 1250 whatever the system's ANSI code page, so the
// locale is asked through the W functions: the A ones would read the bytes
// in the system's code page ("ř" as "ø" on a Western system).

// LCMapString refuses an empty text; this is the key Windows gives a text
// of ignorable characters alone (four empty sections), which compares equal
// to it as CompareString says.
const char kEmptyKey[] = "\x01\x01\x01\x01";
constexpr size_t kEmptyKeyLength = 4;

// The key without its terminating 0; false when the locale refuses the
// text (every byte of 1250 maps to a character, so this is not expected).
bool RawKey(const char* text, size_t length, std::string* key) {
  if (length == 0) {
    key->assign(kEmptyKey, kEmptyKeyLength);
    return true;
  }
  const std::wstring wide = Wide(std::string(text, length));
  const int text_length = static_cast<int>(wide.size());
  // A sort key is bytes, whichever function makes it.
  char stack[512];
  int n = LCMapStringW(LOCALE_USER_DEFAULT, kKeyFlags, wide.data(), text_length,
                       reinterpret_cast<wchar_t*>(stack), sizeof(stack));
  if (n > 0) {
    key->assign(stack, static_cast<size_t>(n - 1));
    return true;
  }
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  n = LCMapStringW(LOCALE_USER_DEFAULT, kKeyFlags, wide.data(), text_length, nullptr, 0);
  if (n <= 0) return false;
  std::vector<char> heap(static_cast<size_t>(n));
  n = LCMapStringW(LOCALE_USER_DEFAULT, kKeyFlags, wide.data(), text_length,
                   reinterpret_cast<wchar_t*>(heap.data()), n);
  if (n <= 0) return false;
  key->assign(heap.data(), static_cast<size_t>(n - 1));
  return true;
}

// The primary weights: the key's bytes before its first section separator.
std::string PrimarySection(const std::string& key) {
  return key.substr(0, key.find('\x01'));
}

// Builds the leading bytes of a sort key from per-byte primary weights, so
// that a bulk sort needs the slow locale call only for texts that agree in
// their first weights. The weights come from the locale itself: every byte
// and every pair of bytes is mapped once; a pair whose weights are not the
// sum of its bytes' (a contraction such as the Czech "ch") is kept as a
// unit. Contractions are then checked in the context of every third byte;
// a locale whose rules this model cannot reproduce disables the prefixes.
class PrimaryComposer {
 public:
  PrimaryComposer() { usable_ = Calibrate(); }

  // Writes up to capacity bytes of the key's start; see LocaleSortKeyPrefix.
  size_t Compose(const char* text, size_t length, uint8_t* out,
                 size_t capacity) const {
    return usable_ ? Walk(text, length, out, capacity) : 0;
  }

 private:
  // The primary weights of one byte or one contraction, held inline: the
  // walk runs over every byte of a bulk sort's texts.
  struct Piece {
    uint8_t length;
    uint8_t bytes[15];
  };

  static bool MakePiece(const std::string& weights, Piece* piece) {
    if (weights.size() > sizeof(piece->bytes)) return false;
    piece->length = static_cast<uint8_t>(weights.size());
    std::memcpy(piece->bytes, weights.data(), weights.size());
    return true;
  }

  bool IsContraction(uint32_t pair) const {
    return (contraction_bits_[pair >> 6] >> (pair & 63)) & 1;
  }

  const Piece& ContractionPiece(uint32_t pair) const {
    for (const auto& c : contractions_) {
      if (c.first == pair) return c.second;
    }
    return unit_[pair >> 8];  // not reached: the bit says it is listed
  }

  size_t Walk(const char* text, size_t length, uint8_t* out,
              size_t capacity) const {
    size_t n = 0;
    size_t i = 0;
    while (i < length) {
      const uint8_t b = static_cast<uint8_t>(text[i]);
      // A byte next to one the locale refused may belong to a contraction
      // we know nothing about: stop before both.
      if (stop_[b]) return n;
      const Piece* piece = &unit_[b];
      size_t step = 1;
      if (i + 1 < length) {
        const uint8_t next = static_cast<uint8_t>(text[i + 1]);
        if (stop_[next]) return n;
        const uint32_t pair = (static_cast<uint32_t>(b) << 8) | next;
        if (IsContraction(pair)) {
          piece = &ContractionPiece(pair);
          step = 2;
        }
      }
      const size_t room = capacity - n;
      if (piece->length >= room) {
        for (size_t k = 0; k < room; ++k) out[n + k] = piece->bytes[k];
        return capacity;
      }
      for (size_t k = 0; k < piece->length; ++k) out[n + k] = piece->bytes[k];
      n += piece->length;
      i += step;
    }
    // The whole text is in: the separator that ends the primary weights is
    // the key's next byte, which orders a text before its extensions.
    if (n < capacity) out[n++] = 0x01;
    return n;
  }

  bool Calibrate() {
    std::string key;
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      // A byte whose weights do not fit is treated as refused: the walk
      // stops before it.
      if (!RawKey(&c, 1, &key) || !MakePiece(PrimarySection(key), &unit_[b])) {
        stop_[b] = true;
      }
    }
    for (int x = 0; x < 256; ++x) {
      for (int y = 0; y < 256; ++y) {
        if (stop_[x] || stop_[y]) continue;
        const char text[2] = {static_cast<char>(x), static_cast<char>(y)};
        if (!RawKey(text, 2, &key)) {
          stop_[x] = stop_[y] = true;
          continue;
        }
        const std::string primary = PrimarySection(key);
        const Piece& ux = unit_[x];
        const Piece& uy = unit_[y];
        if (primary.size() == size_t{ux.length} + uy.length &&
            std::memcmp(primary.data(), ux.bytes, ux.length) == 0 &&
            std::memcmp(primary.data() + ux.length, uy.bytes, uy.length) == 0)
          continue;
        const uint32_t pair = (static_cast<uint32_t>(x) << 8) | y;
        Piece piece;
        if (!MakePiece(primary, &piece)) return false;
        contraction_bits_[pair >> 6] |= uint64_t{1} << (pair & 63);
        contractions_.emplace_back(static_cast<uint16_t>(pair), piece);
      }
    }
    for (const auto& contraction : contractions_) {
      const char x = static_cast<char>(contraction.first >> 8);
      const char y = static_cast<char>(contraction.first & 0xFF);
      for (int z = 0; z < 256; ++z) {
        const char c = static_cast<char>(z);
        const char before[3] = {c, x, y};
        const char after[3] = {x, y, c};
        if (!Reproduces(before) || !Reproduces(after)) return false;
      }
    }
    return true;
  }

  // True when composing the three bytes gives exactly the key's primary
  // weights and separator (or stops early, which is always correct).
  bool Reproduces(const char* text) const {
    std::string key;
    if (!RawKey(text, 3, &key)) return false;
    uint8_t composed[64];
    const size_t n = Walk(text, 3, composed, sizeof(composed));
    return n <= key.size() && std::memcmp(composed, key.data(), n) == 0;
  }

  bool usable_ = false;
  Piece unit_[256] = {};
  bool stop_[256] = {};
  uint64_t contraction_bits_[65536 / 64] = {};
  std::vector<std::pair<uint16_t, Piece>> contractions_;
};

const PrimaryComposer& Composer() {
  static const PrimaryComposer composer;
  return composer;
}

}  // namespace

int LocaleCompareNoCase(const std::string& a, const std::string& b) {
  const std::wstring wide_a = Wide(a);
  const std::wstring wide_b = Wide(b);
  const int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                                    wide_a.data(), static_cast<int>(wide_a.size()),
                                    wide_b.data(), static_cast<int>(wide_b.size()));
  // 0 is a refusal (not expected for 1250 text): count it as equal rather
  // than as "less", which would make the order inconsistent.
  if (result == 0) return 0;
  return result - 2;
}

std::string LocaleSortKey(const std::string& text) {
  std::string key;
  if (!RawKey(text.data(), text.size(), &key)) {
    key.assign(kEmptyKey, kEmptyKeyLength);
  }
  return key;
}

size_t LocaleSortKeyPrefix(const std::string& text, uint8_t* out,
                           size_t capacity) {
  return Composer().Compose(text.data(), text.size(), out, capacity);
}

}  // namespace platform
