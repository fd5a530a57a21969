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

  // Opens an existing file. On Windows others may only read it while it is
  // open, and a file another process holds is waited for up to about a
  // second (so are its reads and writes while a lock of another is on them).
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
  // Cuts the file to length bytes; seek before the next read or write.
  bool Truncate(int64_t length, std::string* error);
  void Close();
  bool is_open() const;

 private:
  std::string path_;  // for the fault seam
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
// Length of the leading part of a Windows path that names a drive or a
// network share, never a folder to create: "C:", "\\server\share",
// "\\?\C:", "\\?\UNC\server\share" (either separator); 0 for a relative
// path or one from the current drive's root.
size_t PathRootLength(const std::string& path);
// Creates every missing folder of the path leading to the file.
bool CreateParentFolders(const std::string& file_path, std::string* error);
// Names (not paths) of the plain files of a folder, in no particular order.
bool ListFileNames(const std::string& folder, std::vector<std::string>* names,
                   std::string* error);
bool RemoveFile(const std::string& path);
// Renames from over to, replacing an existing file in one step; on Windows
// waits up to about a second while another process has that file open.
bool RenameReplacing(const std::string& from, const std::string& to, std::string* error);

// How far RewriteFile got before it failed.
enum class RewriteFailure { kNone, kCreate, kWrite, kReplace };

// Writes bytes as the whole new content of path: into path + ".tmp" beside
// it, then renamed over the old file, so that a failure leaves the old file
// as it was (the temporary file is removed). Returns the step that failed.
RewriteFailure RewriteFile(const std::string& path, const std::string& bytes,
                           std::string* error);

// Writes data at position of an open file whose length is old_length. After a
// failure it cuts the file back to old_length and puts back the bytes it
// overwrote (restore: the old bytes from position on). False after the
// write failed; *restored tells whether the file is as before.
bool WriteOrRestore(File* file, int64_t old_length, int64_t position, const std::string& data,
                    const std::string& restore, bool* restored, std::string* error);

// The test seam of the calls above: a plan, once installed, decides before
// each call whether it fails.
enum class FileCall { kOpen, kSize, kSeek, kRead, kWrite, kTruncate, kRename, kRemove,
                      kCreateFolder, kList };
constexpr int kFileCallKinds = 10;

class FileFaultPlan {
 public:
  virtual ~FileFaultPlan() = default;
  // Asked before every call of a kind on path (the file's or the folder's),
  // from whichever thread makes it. True fails the call with
  // kInjectedFailure as the OS's message. A failing write first writes the
  // first *length bytes (on entry: the whole length; the plan may lower it).
  virtual bool Fail(FileCall call, const std::string& path, size_t* length) = 0;
};
extern const char kInjectedFailure[];
// Installs a plan (not owned); nullptr removes it.
void SetFileFaultPlan(FileFaultPlan* plan);
// For the two implementations: true (with *error set) when the plan fails
// this call.
bool InjectedFailure(FileCall call, const std::string& path, std::string* error,
                     size_t* length = nullptr);

}  // namespace platform

#endif  // TRAMO_PLATFORM_FILE_H_
