#ifndef TRAMO_PLATFORM_INI_FILE_H_
#define TRAMO_PLATFORM_INI_FILE_H_

#include <string>

namespace platform {

// A Windows INI file read and written through the private-profile rules:
// sections and keys match without regard to ASCII case, the first matching
// section and key win, names and values are trimmed of blanks and a value
// enclosed in matching quotes loses them. Every read looks at the file as it
// is now (a missing file reads as empty); every write goes to the file at
// once, creating it (not its folder) when needed, with CR LF lines. The bytes
// are the program's own (code page 1250), whatever the system's code page. On
// Windows a file another process holds is waited for up to about a second,
// reading and writing. Methods are virtual so that tests can inject failures.
class IniFile {
 public:
  explicit IniFile(const std::string& path) : path_(path) {}
  virtual ~IniFile() = default;
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  // The value of key in section, or default_value when the file, the section
  // or the key is missing.
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& default_value);
  // Sets key in section to value (no line breaks), adding the section and
  // the key when missing. False with the OS's message in *error on failure.
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value, std::string* error);
  // Removes key from section; a missing file, section or key is no failure.
  virtual bool DeleteKey(const std::string& section, const std::string& key, std::string* error);
  // Pushes whatever the system still caches for the file to disk.
  virtual bool Flush(std::string* error);

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  bool held_ = false;  // the last read found the file held past the wait
};

// The whole file; with wait, a file another process holds (Windows) is
// waited for as File does. *held (when given) tells whether it failed so.
bool ReadIniBytes(const std::string& path, bool wait, std::string* bytes, bool* held,
                  std::string* error);

}  // namespace platform

#endif  // TRAMO_PLATFORM_INI_FILE_H_
