#include "platform/locale.h"

#include <algorithm>
#include <cstring>

#include "support/text_routines.h"

// The stand-in order: ASCII case folding, then unsigned bytes. Deterministic
// on every machine, so native tests see one fixed order; the real locale
// order is tested under Wine.
namespace platform {

int LocaleCompareNoCase(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(AsciiUpperChar(a[i]));
    const unsigned char y = static_cast<unsigned char>(AsciiUpperChar(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string LocaleSortKey(const std::string& text) { return AsciiUpper(text); }

size_t LocaleSortKeyPrefix(const std::string& text, uint8_t* out,
                           size_t capacity) {
  const size_t n = std::min(capacity, text.size());
  for (size_t i = 0; i < n; ++i) {
    out[i] = static_cast<uint8_t>(AsciiUpperChar(text[i]));
  }
  return n;
}

}  // namespace platform
