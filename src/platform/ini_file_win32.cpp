#include "platform/ini_file.h"

#include <windows.h>

#include "platform/error_text_win32.h"
#include "platform/held_file_win32.h"
#include "platform/wide_text_win32.h"

// The profile functions are not used: their A forms read and write the bytes
// in the system's code page (a DBCS one splits ours) and cannot open a path
// outside it; their W forms convert our texts to that code page.
namespace platform {
namespace {

bool HeldError() {
  const DWORD code = GetLastError();
  return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

bool Fail(std::string* error) {
  if (error != nullptr) *error = ErrorText(GetLastError());
  return false;
}

}  // namespace

bool ReadIniBytes(const std::string& path, bool wait, std::string* bytes, bool* held,
                  std::string* error) {
  // Shared as the profile functions share it: another program may be writing.
  const std::wstring wide = Wide(path);
  HANDLE file = INVALID_HANDLE_VALUE;
  const auto open = [&] {
    file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE;
  };
  const bool opened = wait ? RetryWhileHeld(open) : open();
  if (held != nullptr) *held = !opened && HeldError();
  if (!opened) return Fail(error);
  char buffer[4096];
  DWORD n = 0;
  bool read = true;
  while ((read = ReadFile(file, buffer, sizeof(buffer), &n, nullptr) != FALSE) && n > 0) {
    bytes->append(buffer, n);
  }
  const DWORD code = GetLastError();
  CloseHandle(file);
  SetLastError(code);
  return read || Fail(error);
}

bool IniFile::Flush(std::string* error) {
  // Writes have reached the file already; this pushes them to the disk.
  HANDLE file = INVALID_HANDLE_VALUE;
  const std::wstring wide = Wide(path_);
  if (!RetryWhileHeld([&] {
        file = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return file != INVALID_HANDLE_VALUE;
      })) {
    return GetLastError() == ERROR_FILE_NOT_FOUND || Fail(error);  // nothing was written
  }
  const bool flushed = FlushFileBuffers(file) != FALSE;
  const DWORD code = GetLastError();
  CloseHandle(file);
  SetLastError(code);
  return flushed || Fail(error);
}

}  // namespace platform
