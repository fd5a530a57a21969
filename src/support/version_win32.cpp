#include "support/version.h"

#include <windows.h>

#include <vector>

#include "platform/wide_text_win32.h"

std::string VersionText(const std::string& exe_path, bool four_fields) {
  DWORD handle = 0;
  const std::wstring path = platform::Wide(exe_path);
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return std::string();
  std::vector<char> info(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data())) return std::string();
  void* record = nullptr;
  UINT record_size = 0;
  wchar_t root[] = L"\\";
  if (!VerQueryValueW(info.data(), root, &record, &record_size) || record == nullptr ||
      record_size < sizeof(VS_FIXEDFILEINFO)) {
    return std::string();
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(record);
  return FormatVersion(VersionFromWords(fixed->dwProductVersionMS, fixed->dwProductVersionLS),
                       four_fields);
}
