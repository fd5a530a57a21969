#include "platform/ini_file.h"

#include <windows.h>

#include <vector>

#include "platform/error_text_win32.h"
#include "platform/held_file_win32.h"

namespace platform {
namespace {

bool HeldError() {
  const DWORD code = GetLastError();
  return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

// A write of the profile functions, retried while another process holds the
// file: they open it themselves and fail with a sharing violation.
bool WriteProfile(const char* section, const char* key, const char* value,
                  const std::string& path, std::string* error) {
  if (RetryWhileHeld(
          [&] { return WritePrivateProfileStringA(section, key, value, path.c_str()) != 0; })) {
    return true;
  }
  if (error != nullptr) *error = ErrorText(GetLastError());
  return false;
}

}  // namespace

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& default_value) {
  std::vector<char> buffer(256);
  for (;;) {
    DWORD n = 0;
    // A held file reads as the defaults, which the next flush would write
    // over the stored settings. Once the wait was in vain, later reads do
    // not wait again until one gets through.
    const auto read = [&] {
      SetLastError(ERROR_SUCCESS);
      n = GetPrivateProfileStringA(section.c_str(), key.c_str(), default_value.c_str(),
                                   buffer.data(), static_cast<DWORD>(buffer.size()),
                                   path_.c_str());
      return !HeldError();
    };
    held_ = !(held_ ? read() : RetryWhileHeld(read));
    // A result of size - 1 means the value may have been cut.
    if (n + 1 < buffer.size() || buffer.size() >= 65536) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 4);
  }
}

bool IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value, std::string* error) {
  return WriteProfile(section.c_str(), key.c_str(), value.c_str(), path_, error);
}

bool IniFile::DeleteKey(const std::string& section, const std::string& key,
                        std::string* error) {
  return WriteProfile(section.c_str(), key.c_str(), nullptr, path_, error);
}

bool IniFile::Flush(std::string* error) {
  // The flush form of the call reports FALSE even when it worked (Wine
  // always does); only a set error code tells a real failure.
  const bool flushed = RetryWhileHeld([&] {
    SetLastError(ERROR_SUCCESS);
    return WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str()) != 0 ||
           GetLastError() == ERROR_SUCCESS;
  });
  if (flushed) return true;
  if (error != nullptr) *error = ErrorText(GetLastError());
  return false;
}

}  // namespace platform
