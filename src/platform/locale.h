#ifndef TRAMO_PLATFORM_LOCALE_H_
#define TRAMO_PLATFORM_LOCALE_H_

#include <cstddef>
#include <cstdint>
#include <string>

// The user locale's text order, ignoring case, for code page 1250 texts. On
// Windows it is CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE) of their
// UTF-16 form; elsewhere a
// deterministic stand-in: ASCII letters a-z folded to A-Z, then unsigned
// bytes (accented letters keep their case and sort by code).
namespace platform {

// Negative when a sorts before b, 0 when equal for the locale, positive
// after.
int LocaleCompareNoCase(const std::string& a, const std::string& b);

// A key whose unsigned byte-wise order (std::string::compare) is exactly the
// order of LocaleCompareNoCase; equal keys for texts that compare equal.
// Costly under Wine (microseconds per text): a bulk sort should decide most
// pairs with LocaleSortKeyPrefix and build full keys only for the rest.
std::string LocaleSortKey(const std::string& text);

// Writes to out the first n bytes of LocaleSortKey(text), n <= capacity,
// and returns n. n may be shorter than the key (0 is always correct) but
// the bytes are always the key's own, so two prefixes that differ within
// their common length order the texts as their full keys would. Cheap: no
// call into the locale after the first use, which calibrates once.
size_t LocaleSortKeyPrefix(const std::string& text, uint8_t* out,
                           size_t capacity);

}  // namespace platform

#endif  // TRAMO_PLATFORM_LOCALE_H_
