#include "platform/wide_text_win32.h"

#include <windows.h>

namespace platform {

namespace {
constexpr UINT kProgramCodePage = 1250;
}

std::wstring Wide(const std::string& cp1250) {
  if (cp1250.empty()) return std::wstring();
  const int size = static_cast<int>(cp1250.size());
  const int n = MultiByteToWideChar(kProgramCodePage, 0, cp1250.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(kProgramCodePage, 0, cp1250.data(), size, &wide[0], n);
  return wide;
}

std::string Narrow(const wchar_t* utf16, int length) {
  if (length <= 0) return std::string();
  // The default mapping, best fit included, is what a Czech system's A
  // functions store, so logs stay byte for byte as they were there.
  const DWORD flags = 0;
  const int n = WideCharToMultiByte(kProgramCodePage, flags, utf16, length, nullptr, 0,
                                    nullptr, nullptr);
  std::string narrow(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(kProgramCodePage, flags, utf16, length, &narrow[0], n, nullptr,
                        nullptr);
  }
  return narrow;
}

}  // namespace platform
