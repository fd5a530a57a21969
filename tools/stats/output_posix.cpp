#include "output.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "support/cp1250.h"

namespace stats {

const char kLineEnd[] = "\n";

void PrepareStandardStreams() {}

std::string TerminalText(std::string_view cp1250) {
  std::string text = Cp1250ToUtf8(cp1250);
  // CR LF becomes LF; CR LF is two ASCII bytes in both encodings. Rows rarely
  // hold a CR, so the text moves in runs between them, not byte by byte.
  char* const bytes = text.data();
  size_t kept = 0;
  size_t run = 0;  // start of the bytes not yet moved
  for (size_t cr = text.find('\r'); cr != std::string::npos; cr = text.find('\r', cr + 1)) {
    if (cr + 1 == text.size() || text[cr + 1] != '\n') continue;
    std::memmove(bytes + kept, bytes + run, cr - run);
    kept += cr - run;
    run = cr + 1;
  }
  if (run == 0) return text;
  std::memmove(bytes + kept, bytes + run, text.size() - run);
  text.resize(kept + text.size() - run);
  return text;
}

std::vector<std::string> CommandArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
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
