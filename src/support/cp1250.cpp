#include "support/cp1250.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

// Code points of the bytes 0x80-0xFF; below 0x80 the code page is ASCII.
constexpr uint16_t kHighHalf[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

// Reads one code point of well-formed UTF-8 at *pos and advances past it;
// false for a malformed, overlong or surrogate sequence.
bool NextCodePoint(std::string_view text, size_t* pos, uint32_t* code) {
  const uint8_t lead = static_cast<uint8_t>(text[*pos]);
  int extra;
  uint32_t minimum;
  if (lead < 0x80) {
    *code = lead;
    ++*pos;
    return true;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    minimum = 0x80;
    *code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    minimum = 0x800;
    *code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    minimum = 0x10000;
    *code = lead & 0x07;
  } else {
    return false;
  }
  if (text.size() - *pos <= static_cast<size_t>(extra)) return false;
  for (int i = 1; i <= extra; ++i) {
    const uint8_t next = static_cast<uint8_t>(text[*pos + i]);
    if ((next & 0xC0) != 0x80) return false;
    *code = (*code << 6) | (next & 0x3F);
  }
  if (*code < minimum || *code > 0x10FFFF || (*code >= 0xD800 && *code <= 0xDFFF)) return false;
  *pos += extra + 1;
  return true;
}

// The first byte at or after pos that is not ASCII, or the text's size. Output
// is nearly all ASCII, so it is scanned eight bytes at a time.
size_t NextHighByte(std::string_view text, size_t pos) {
  constexpr uint64_t kHighBits = 0x8080808080808080u;
  for (uint64_t word; pos + sizeof(word) <= text.size(); pos += sizeof(word)) {
    std::memcpy(&word, text.data() + pos, sizeof(word));
    if ((word & kHighBits) != 0) break;
  }
  while (pos < text.size() && static_cast<uint8_t>(text[pos]) < 0x80) ++pos;
  return pos;
}

}  // namespace

bool Utf8ToCp1250(std::string_view text, std::string* cp1250) {
  cp1250->clear();
  size_t pos = 0;
  while (pos < text.size()) {
    uint32_t code;
    if (!NextCodePoint(text, &pos, &code)) return false;
    if (code < 0x80) {
      *cp1250 += static_cast<char>(code);
      continue;
    }
    // U+FFFD stands in for the undefined bytes and has no byte of its own.
    if (code == 0xFFFD) return false;
    const uint16_t* found = std::find(std::begin(kHighHalf), std::end(kHighHalf), code);
    if (found == std::end(kHighHalf)) return false;
    *cp1250 += static_cast<char>(0x80 + (found - std::begin(kHighHalf)));
  }
  return true;
}

std::string Cp1250ToUtf8(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 2);
  size_t ascii = 0;  // start of the ASCII bytes not yet copied
  for (size_t i = NextHighByte(text, 0); i < text.size(); i = NextHighByte(text, i + 1)) {
    const uint8_t byte = static_cast<uint8_t>(text[i]);
    result.append(text.data() + ascii, i - ascii);
    ascii = i + 1;
    // Every code point of the table lies below U+10000: two or three bytes.
    const uint16_t code = kHighHalf[byte - 0x80];
    if (code < 0x800) {
      result += static_cast<char>(0xC0 | (code >> 6));
    } else {
      result += static_cast<char>(0xE0 | (code >> 12));
      result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    result += static_cast<char>(0x80 | (code & 0x3F));
  }
  result.append(text.data() + ascii, text.size() - ascii);
  return result;
}

