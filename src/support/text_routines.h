#ifndef TRAMO_SUPPORT_TEXT_ROUTINES_H_
#define TRAMO_SUPPORT_TEXT_ROUTINES_H_

#include <string>

// Text before the last "." of a file name ("a.b.exe" -> "a.b"). A name whose
// only "." is its first character is returned whole; a name without any "."
// gives an empty text.
std::string StripExtension(const std::string& name);

// The last n components of a folder path that ends with its backslash, with
// a leading backslash and without the trailing one:
// ("C:\Program Files\Opera\", 2) -> "\Program Files\Opera". When the path
// has no more components, all of it but the last character ("C:\" -> "C:").
std::string LastPathPart(const std::string& path, int n);

// The text without leading and trailing separators: code 1, TAB, space,
// "-", "/", "\", "_" and "~".
std::string TrimSeparators(const std::string& text);

// The longest word-aligned run shared by a and b (exact bytes), trimmed of
// separators; the earliest found among equally long runs wins. When a and b
// are equal apart from separators at their ends and ASCII case, a itself
// (trimmed). When nothing is shared, the one-character text "\x01".
std::string CommonWordRun(const std::string& a, const std::string& b);

// True for a non-empty text made only of the digits 0-9.
bool IsAllDigits(const std::string& text);

// ASCII case folding: only a-z map to A-Z; every other byte, including the
// accented letters of code page 1250, stays as it is.
char AsciiUpperChar(char c);
std::string AsciiUpper(const std::string& text);
bool AsciiEqualNoCase(const std::string& a, const std::string& b);

#endif  // TRAMO_SUPPORT_TEXT_ROUTINES_H_
