#ifndef TRAMO_SUPPORT_CP1250_H_
#define TRAMO_SUPPORT_CP1250_H_

#include <string>
#include <string_view>

// Code page 1250 text as UTF-8. The five bytes the code page leaves
// undefined (0x81, 0x83, 0x88, 0x90, 0x98) become U+FFFD.
std::string Cp1250ToUtf8(std::string_view text);

// UTF-8 text as code page 1250. False, leaving *cp1250 unspecified, for text
// that is not well-formed UTF-8 or holds a character the code page lacks.
bool Utf8ToCp1250(std::string_view text, std::string* cp1250);

#endif  // TRAMO_SUPPORT_CP1250_H_
