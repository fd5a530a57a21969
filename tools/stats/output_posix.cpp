#include "output.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "cp1250.h"

namespace stats {

const char kLineEnd[] = "\n";

void PrepareStandardStreams() {}

std::string TerminalText(std::string_view cp1250) {
  std::string text = Cp1250ToUtf8(cp1250);
  // CR LF becomes LF; CR LF is two ASCII bytes in both encodings.
  size_t kept = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    text[kept++] = text[i];
  }
  text.resize(kept);
  return text;
}

bool ArgumentText(const std::string& argument, std::string* cp1250) {
  return Utf8ToCp1250(argument, cp1250);
}

bool WriteText(FILE* stream, std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
         std::fflush(stream) == 0;
}

bool ListSubfolders(const std::string& folder, std::vector<std::string>* names,
                    std::string* error) {
  names->clear();
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) {
    *error = std::strerror(errno);
    return false;
  }
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    struct stat info;
    if (name != "." && name != ".." && stat((folder + name).c_str(), &info) == 0 &&
        S_ISDIR(info.st_mode)) {
      names->push_back(name);
    }
  }
  closedir(dir);
  return true;
}

}  // namespace stats
