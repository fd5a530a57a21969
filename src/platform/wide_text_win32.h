#ifndef TRAMO_PLATFORM_WIDE_TEXT_WIN32_H_
#define TRAMO_PLATFORM_WIDE_TEXT_WIN32_H_

#include <string>

namespace platform {

// The program keeps its text in code page 1250 whatever the system's ANSI
// code page is; the W functions take and give UTF-16. These two convert at
// that boundary, as a Czech system's A functions do: a character 1250 cannot
// hold becomes its best fit or "?".
std::wstring Wide(const std::string& cp1250);
std::string Narrow(const wchar_t* utf16, int length);
inline std::string Narrow(const std::wstring& utf16) {
  return Narrow(utf16.data(), static_cast<int>(utf16.size()));
}

}  // namespace platform

#endif  // TRAMO_PLATFORM_WIDE_TEXT_WIN32_H_
