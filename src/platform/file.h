#ifndef TRAMO_PLATFORM_FILE_H_
#define TRAMO_PLATFORM_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The thin OS layer under the store: byte-exact files (no newline
// translation), folders and listings. Paths use "\" as the separator in both
// builds; the POSIX build maps it to "/". Failures return false and fill
// *error with the OS's own message.
namespace platform {

// The separator this build's folder paths end with.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

class File {
 public:
  File() = default;
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;

  // Opens an existing file without sharing (other openers fail while it is
  // open on Windows).
  bool OpenReadWrite(const std::string& path, std::string* error);
  bool OpenRead(const std::string& path, std::string* error);
  // Creates the file, truncating an existing one; the folder must exist.
  bool Create(const std::string& path, std::string* error);
  // Creates the file only when no file of that name exists.
  bool CreateNew(const std::string& path, std::string* error);

  bool Size(int64_t* size, std::string* error);
  bool Seek(int64_t offset, std::string* error);
  bool SeekToEnd(std::string* error);
  // Reads up to length bytes; *bytes_read is 0 at the end of the file.
  bool Read(void* buffer, size_t length, size_t* bytes_read, std::string* error);
  bool Write(const void* data, size_t length, std::string* error);
  void Close();
  bool is_open() const;

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Creates every missing folder of the path (a trailing "\" is allowed).
bool CreateFolders(const std::string& folder, std::string* error);
// Creates every missing folder of the path leading to the file.
bool CreateParentFolders(const std::string& file_path, std::string* error);
// Names (not paths) of the plain files of a folder, in no particular order.
bool ListFileNames(const std::string& folder, std::vector<std::string>* names,
                   std::string* error);
bool RemoveFile(const std::string& path);

}  // namespace platform

#endif  // TRAMO_PLATFORM_FILE_H_
