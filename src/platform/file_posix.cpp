#include "platform/file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace platform {
namespace {

std::string NativePath(const std::string& path) {
  std::string result = path;
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
  return result;
}

bool Fail(std::string* error) {
  if (error != nullptr) *error = std::strerror(errno);
  return false;
}

bool WriteAll(int fd, const void* data, size_t length, std::string* error) {
  const char* in = static_cast<const char*>(data);
  while (length > 0) {
    const ssize_t n = write(fd, in, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(error);
    }
    in += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

bool IsFolder(const std::string& native) {
  struct stat info;
  return stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept : path_(std::move(other.path_)), fd_(other.fd_) {
  other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    path_ = std::move(other.path_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool File::OpenReadWrite(const std::string& path, std::string* error) {
  Close();
  path_ = path;
  if (InjectedFailure(FileCall::kOpen, path, error)) return false;
  const std::string native = NativePath(path);
  // open() would accept a folder for reading; Windows refuses it.
  if (IsFolder(native)) {
    errno = EISDIR;
    return Fail(error);
  }
  fd_ = open(native.c_str(), O_RDWR);
  return fd_ >= 0 || Fail(error);
}

bool File::OpenRead(const std::string& path, std::string* error) {
  Close();
  path_ = path;
  if (InjectedFailure(FileCall::kOpen, path, error)) return false;
  const std::string native = NativePath(path);
  if (IsFolder(native)) {
    errno = EISDIR;
    return Fail(error);
  }
  fd_ = open(native.c_str(), O_RDONLY);
  return fd_ >= 0 || Fail(error);
}

bool File::Create(const std::string& path, std::string* error) {
  Close();
  path_ = path;
  if (InjectedFailure(FileCall::kOpen, path, error)) return false;
  fd_ = open(NativePath(path).c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
  return fd_ >= 0 || Fail(error);
}

bool File::CreateNew(const std::string& path, std::string* error) {
  Close();
  path_ = path;
  if (InjectedFailure(FileCall::kOpen, path, error)) return false;
  fd_ = open(NativePath(path).c_str(), O_RDWR | O_CREAT | O_EXCL, 0644);
  return fd_ >= 0 || Fail(error);
}

bool File::Size(int64_t* size, std::string* error) {
  if (InjectedFailure(FileCall::kSize, path_, error)) return false;
  struct stat info;
  if (fstat(fd_, &info) != 0) return Fail(error);
  *size = info.st_size;
  return true;
}

bool File::Seek(int64_t offset, std::string* error) {
  if (InjectedFailure(FileCall::kSeek, path_, error)) return false;
  return lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0 || Fail(error);
}

bool File::SeekToEnd(std::string* error) {
  if (InjectedFailure(FileCall::kSeek, path_, error)) return false;
  return lseek(fd_, 0, SEEK_END) >= 0 || Fail(error);
}

bool File::Read(void* buffer, size_t length, size_t* bytes_read,
                std::string* error) {
  if (InjectedFailure(FileCall::kRead, path_, error)) return false;
  size_t total = 0;
  char* out = static_cast<char*>(buffer);
  while (total < length) {
    const ssize_t n = read(fd_, out + total, length - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(error);
    }
    if (n == 0) break;
    total += static_cast<size_t>(n);
  }
  *bytes_read = total;
  return true;
}

bool File::Write(const void* data, size_t length, std::string* error) {
  size_t allowed = length;
  if (InjectedFailure(FileCall::kWrite, path_, error, &allowed)) {
    WriteAll(fd_, data, std::min(allowed, length), nullptr);
    return false;
  }
  return WriteAll(fd_, data, length, error);
}

bool File::Truncate(int64_t length, std::string* error) {
  if (InjectedFailure(FileCall::kTruncate, path_, error)) return false;
  return ftruncate(fd_, static_cast<off_t>(length)) == 0 || Fail(error);
}

void File::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

bool File::is_open() const { return fd_ >= 0; }

bool FileExists(const std::string& path) {
  struct stat info;
  return stat(NativePath(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FolderExists(const std::string& path) { return IsFolder(NativePath(path)); }

bool CreateFolders(const std::string& folder, std::string* error) {
  const std::string native = NativePath(folder);
  for (size_t i = 1; i <= native.size(); ++i) {
    if (i < native.size() && native[i] != '/') continue;
    const std::string prefix = native.substr(0, i);
    if (IsFolder(prefix)) continue;
    if (InjectedFailure(FileCall::kCreateFolder, prefix, error)) return false;
    if (mkdir(prefix.c_str(), 0755) != 0 && !IsFolder(prefix)) return Fail(error);
  }
  return true;
}

bool ListFileNames(const std::string& folder, std::vector<std::string>* names,
                   std::string* error) {
  names->clear();
  if (InjectedFailure(FileCall::kList, folder, error)) return false;
  const std::string native = NativePath(folder);
  DIR* dir = opendir(native.empty() ? "." : native.c_str());
  if (dir == nullptr) return Fail(error);
  const std::string prefix = native.empty() || native.back() == '/' ? native : native + "/";
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    struct stat info;
    if (stat((prefix + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      names->push_back(name);
    }
  }
  closedir(dir);
  return true;
}

bool RemoveFile(const std::string& path) {
  if (InjectedFailure(FileCall::kRemove, path, nullptr)) return false;
  return unlink(NativePath(path).c_str()) == 0;
}

bool RenameReplacing(const std::string& from, const std::string& to, std::string* error) {
  if (InjectedFailure(FileCall::kRename, to, error)) return false;
  return rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0 || Fail(error);
}

}  // namespace platform
