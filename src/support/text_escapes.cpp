#include "support/text_escapes.h"

namespace {

const ByteSet kJsonEscaped = BytesWhere(
    [](unsigned char c) { return c < 0x20 || c == 0x7F || c == '"' || c == '\\'; });

}  // namespace

// The first byte of the set at or after pos, or the text's size. Such bytes
// are rare: four are looked up for each branch.
size_t NextOf(const ByteSet& set, std::string_view text, size_t pos) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (; pos + 4 <= text.size(); pos += 4) {
    if (set[bytes[pos]] | set[bytes[pos + 1]] | set[bytes[pos + 2]] | set[bytes[pos + 3]]) break;
  }
  while (pos < text.size() && !set[bytes[pos]]) ++pos;
  return pos;
}

void AppendJsonString(std::string* out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  *out += '"';
  size_t plain = 0;  // start of the bytes not yet copied
  for (size_t i = NextOf(kJsonEscaped, text, 0); i < text.size();
       i = NextOf(kJsonEscaped, text, i + 1)) {
    const char c = text[i];
    const unsigned char byte = static_cast<unsigned char>(c);
    out->append(text.data() + plain, i - plain);
    plain = i + 1;
    if (c == '"' || c == '\\') {
      *out += '\\';
      *out += c;
    } else if (c == '\n') {
      *out += "\\n";
    } else if (c == '\r') {
      *out += "\\r";
    } else if (c == '\t') {
      *out += "\\t";
    } else {
      *out += "\\u00";
      *out += kHex[byte >> 4];
      *out += kHex[byte & 0xF];
    }
  }
  out->append(text.data() + plain, text.size() - plain);
  *out += '"';
}
