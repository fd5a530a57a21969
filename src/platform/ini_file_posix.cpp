#include "platform/ini_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file.h"

namespace platform {

bool ReadIniBytes(const std::string& path, bool, std::string* bytes, bool* held,
                  std::string* error) {
  if (held != nullptr) *held = false;
  File file;
  if (!file.OpenRead(path, error)) return false;
  char buffer[4096];
  size_t n = 0;
  do {
    if (!file.Read(buffer, sizeof(buffer), &n, error)) return false;
    bytes->append(buffer, n);
  } while (n > 0);
  return true;
}

bool IniFile::Flush(std::string* error) {
  // Writes have reached the file already; this pushes them to the disk.
  std::string native = path_;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  const int fd = open(native.c_str(), O_RDONLY);
  if (fd < 0) {
    if (errno == ENOENT) return true;  // nothing was written
    if (error != nullptr) *error = std::strerror(errno);
    return false;
  }
  const bool synced = fsync(fd) == 0;
  if (!synced && error != nullptr) *error = std::strerror(errno);
  close(fd);
  return synced;
}

}  // namespace platform
