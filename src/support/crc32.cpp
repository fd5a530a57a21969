#include "support/crc32.h"

namespace {

// Slicing-by-8: table[k][b] is the CRC of byte b followed by k zero bytes,
// so eight input bytes are folded in with eight independent lookups.
struct Crc32Tables {
  uint32_t table[8][256];

  constexpr Crc32Tables() : table() {
    for (uint32_t b = 0; b < 256; ++b) {
      uint32_t crc = b;
      for (int bit = 0; bit < 8; ++bit) {
        crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
      }
      table[0][b] = crc;
    }
    for (int k = 1; k < 8; ++k) {
      for (int b = 0; b < 256; ++b) {
        uint32_t prev = table[k - 1][b];
        table[k][b] = (prev >> 8) ^ table[0][prev & 0xFF];
      }
    }
  }
};

constexpr Crc32Tables kCrc;

inline uint32_t LoadLE32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) |
         (uint32_t{p[3]} << 24);
}

}  // namespace

uint32_t Crc32Update(uint32_t crc, const void* data, size_t length) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  const auto& t = kCrc.table;
  crc = ~crc;
  for (; length >= 8; length -= 8, p += 8) {
    uint32_t lo = crc ^ LoadLE32(p);
    uint32_t hi = LoadLE32(p + 4);
    crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^
          t[4][lo >> 24] ^ t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^
          t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
  }
  for (; length > 0; --length, ++p) {
    crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFF];
  }
  return ~crc;
}

uint32_t StringCrc32(const std::string& text) {
  return Crc32Update(0, text.data(), text.size());
}
