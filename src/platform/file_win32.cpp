#include "platform/file.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/error_text_win32.h"
#include "platform/held_file_win32.h"
#include "platform/wide_text_win32.h"

namespace platform {
namespace {

bool Fail(std::string* error) {
  const DWORD code = GetLastError();
  if (error != nullptr) *error = ErrorText(code);
  return false;
}

HANDLE AsHandle(void* handle) { return static_cast<HANDLE>(handle); }

// ReadFile and WriteFile take 32-bit lengths; a 64-bit size_t cut to 32 bits
// could be 0, which reads as the end of the file or writes nothing forever.
DWORD ChunkLength(size_t length) {
  constexpr size_t kMaxChunk = 1u << 30;
  return static_cast<DWORD>(length < kMaxChunk ? length : kMaxChunk);
}

bool WriteAll(void* handle, const void* data, size_t length, std::string* error) {
  const char* in = static_cast<const char*>(data);
  while (length > 0) {
    DWORD n = 0;
    // A byte-range lock of another process fails the write whole.
    if (!RetryWhileHeld(
            [&] { return WriteFile(AsHandle(handle), in, ChunkLength(length), &n, nullptr) != 0; })) {
      return Fail(error);
    }
    in += n;
    length -= n;
  }
  return true;
}

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept : path_(std::move(other.path_)), handle_(other.handle_) {
  other.handle_ = nullptr;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    path_ = std::move(other.path_);
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

static bool OpenWith(void** handle, const std::string& path, DWORD access,
                     DWORD disposition, std::string* error) {
  if (InjectedFailure(FileCall::kOpen, path, error)) return false;
  // Others may read meanwhile (a sync client copying the data folder); one
  // that holds the file for a moment is waited for.
  HANDLE h = INVALID_HANDLE_VALUE;
  if (!RetryWhileHeld([&] {
        h = CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        return h != INVALID_HANDLE_VALUE;
      })) {
    return Fail(error);
  }
  *handle = h;
  return true;
}

bool File::OpenReadWrite(const std::string& path, std::string* error) {
  Close();
  path_ = path;
  return OpenWith(&handle_, path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, error);
}

bool File::OpenRead(const std::string& path, std::string* error) {
  Close();
  path_ = path;
  return OpenWith(&handle_, path, GENERIC_READ, OPEN_EXISTING, error);
}

bool File::Create(const std::string& path, std::string* error) {
  Close();
  path_ = path;
  return OpenWith(&handle_, path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS, error);
}

bool File::CreateNew(const std::string& path, std::string* error) {
  Close();
  path_ = path;
  return OpenWith(&handle_, path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, error);
}

bool File::Size(int64_t* size, std::string* error) {
  if (InjectedFailure(FileCall::kSize, path_, error)) return false;
  LARGE_INTEGER value;
  if (!GetFileSizeEx(AsHandle(handle_), &value)) return Fail(error);
  *size = value.QuadPart;
  return true;
}

bool File::Seek(int64_t offset, std::string* error) {
  if (InjectedFailure(FileCall::kSeek, path_, error)) return false;
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  return SetFilePointerEx(AsHandle(handle_), distance, nullptr, FILE_BEGIN) || Fail(error);
}

bool File::SeekToEnd(std::string* error) {
  if (InjectedFailure(FileCall::kSeek, path_, error)) return false;
  LARGE_INTEGER distance;
  distance.QuadPart = 0;
  return SetFilePointerEx(AsHandle(handle_), distance, nullptr, FILE_END) || Fail(error);
}

bool File::Read(void* buffer, size_t length, size_t* bytes_read, std::string* error) {
  if (InjectedFailure(FileCall::kRead, path_, error)) return false;
  size_t total = 0;
  char* out = static_cast<char*>(buffer);
  while (total < length) {
    DWORD n = 0;
    if (!RetryWhileHeld([&] {
          return ReadFile(AsHandle(handle_), out + total, ChunkLength(length - total), &n,
                          nullptr) != 0;
        })) {
      return Fail(error);
    }
    if (n == 0) break;
    total += n;
  }
  *bytes_read = total;
  return true;
}

bool File::Write(const void* data, size_t length, std::string* error) {
  size_t allowed = length;
  if (InjectedFailure(FileCall::kWrite, path_, error, &allowed)) {
    WriteAll(handle_, data, std::min(allowed, length), nullptr);
    return false;
  }
  return WriteAll(handle_, data, length, error);
}

bool File::Truncate(int64_t length, std::string* error) {
  if (InjectedFailure(FileCall::kTruncate, path_, error)) return false;
  LARGE_INTEGER distance;
  distance.QuadPart = length;
  return (SetFilePointerEx(AsHandle(handle_), distance, nullptr, FILE_BEGIN) &&
          SetEndOfFile(AsHandle(handle_))) ||
         Fail(error);
}

void File::Close() {
  if (handle_ != nullptr) CloseHandle(AsHandle(handle_));
  handle_ = nullptr;
}

bool File::is_open() const { return handle_ != nullptr; }

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolders(const std::string& folder, std::string* error) {
  // Drives and network shares ("\\server\share") are not folders to create.
  for (size_t i = PathRootLength(folder) + 1; i <= folder.size(); ++i) {
    if (i < folder.size() && folder[i] != '\\' && folder[i] != '/') continue;
    const std::string prefix = folder.substr(0, i);
    if (FolderExists(prefix)) continue;
    if (InjectedFailure(FileCall::kCreateFolder, prefix, error)) return false;
    if (!CreateDirectoryW(Wide(prefix).c_str(), nullptr) && !FolderExists(prefix)) return Fail(error);
  }
  return true;
}

bool ListFileNames(const std::string& folder, std::vector<std::string>* names,
                   std::string* error) {
  names->clear();
  if (InjectedFailure(FileCall::kList, folder, error)) return false;
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(Wide(pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    return Fail(error);
  }
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      names->push_back(Narrow(data.cFileName, lstrlenW(data.cFileName)));
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return true;
}

bool RemoveFile(const std::string& path) {
  if (InjectedFailure(FileCall::kRemove, path, nullptr)) return false;
  // A temporary file that a sync client has just picked up.
  return RetryWhileHeld([&] { return DeleteFileW(Wide(path).c_str()) != 0; });
}

bool RenameReplacing(const std::string& from, const std::string& to, std::string* error) {
  if (InjectedFailure(FileCall::kRename, to, error)) return false;
  // A file replaced while anyone has it open fails with "access denied".
  return RetryWhileHeld(
             [&] {
               return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
             },
             true) ||
         Fail(error);
}

}  // namespace platform
