#include "platform/ini_file.h"

#include <windows.h>

#include <vector>

#include "platform/error_text_win32.h"

namespace platform {

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& default_value) {
  std::vector<char> buffer(256);
  for (;;) {
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), default_value.c_str(),
                                             buffer.data(), static_cast<DWORD>(buffer.size()),
                                             path_.c_str());
    // A result of size - 1 means the value may have been cut.
    if (n + 1 < buffer.size() || buffer.size() >= 65536) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 4);
  }
}

bool IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value, std::string* error) {
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str())) {
    return true;
  }
  if (error != nullptr) *error = ErrorText(GetLastError());
  return false;
}

bool IniFile::DeleteKey(const std::string& section, const std::string& key,
                        std::string* error) {
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, path_.c_str())) {
    return true;
  }
  if (error != nullptr) *error = ErrorText(GetLastError());
  return false;
}

bool IniFile::Flush(std::string* error) {
  // The flush form of the call reports FALSE even when it worked (Wine
  // always does); only a set error code tells a real failure.
  SetLastError(ERROR_SUCCESS);
  if (WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str())) return true;
  const DWORD code = GetLastError();
  if (code == ERROR_SUCCESS) return true;
  if (error != nullptr) *error = ErrorText(code);
  return false;
}

}  // namespace platform
