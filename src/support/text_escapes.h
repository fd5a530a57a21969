#ifndef TRAMO_SUPPORT_TEXT_ESCAPES_H_
#define TRAMO_SUPPORT_TEXT_ESCAPES_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// Escaping text for the output formats. Which bytes a format cannot copy as
// they are:
using ByteSet = std::array<bool, 256>;

template <typename Rule>
ByteSet BytesWhere(Rule rule) {
  ByteSet set{};
  for (int byte = 0; byte < 256; ++byte) set[byte] = rule(static_cast<unsigned char>(byte));
  return set;
}

// The first byte of the set at or after pos, or the text's size.
size_t NextOf(const ByteSet& set, std::string_view text, size_t pos);

// A text as a JSON string (code page 1250 bytes kept as they are).
void AppendJsonString(std::string* out, std::string_view text);

#endif  // TRAMO_SUPPORT_TEXT_ESCAPES_H_
