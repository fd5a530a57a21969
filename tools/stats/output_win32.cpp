#include "output.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "platform/error_text_win32.h"
#include "platform/wide_text_win32.h"

namespace stats {
namespace {

// The program's texts are code page 1250 whatever the system's code page.
constexpr UINT kTextCodePage = 1250;

HANDLE ConsoleOf(FILE* stream) {
  const intptr_t handle = _get_osfhandle(_fileno(stream));
  if (handle == -1) return nullptr;
  DWORD mode = 0;
  return GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode)
             ? reinterpret_cast<HANDLE>(handle)
             : nullptr;
}

}  // namespace

const char kLineEnd[] = "\r\n";

void PrepareStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

std::string TerminalText(std::string_view cp1250) { return std::string(cp1250); }

std::vector<std::string> CommandArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(platform::Narrow(wide[i], lstrlenW(wide[i])));
  LocalFree(wide);
  return args;
}

bool ArgumentText(const std::string& argument, std::string* cp1250) {
  *cp1250 = argument;
  return true;
}

bool WriteText(FILE* stream, std::string_view text) {
  const HANDLE console = ConsoleOf(stream);
  if (console == nullptr || text.empty()) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
           std::fflush(stream) == 0;
  }
  if (std::fflush(stream) != 0) return false;
  const int length = static_cast<int>(text.size());
  std::wstring wide(static_cast<size_t>(length), L'\0');
  const int count = MultiByteToWideChar(kTextCodePage, 0, text.data(), length, &wide[0], length);
  DWORD written = 0;
  return count > 0 && WriteConsoleW(console, wide.data(), static_cast<DWORD>(count), &written,
                                    nullptr) != 0;
}

bool ListSubfolders(const std::string& folder, std::vector<std::string>* names,
                    std::string* error) {
  names->clear();
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(platform::Wide(folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    *error = platform::ErrorText(GetLastError());
    return false;
  }
  do {
    const std::string name = platform::Narrow(found.cFileName, lstrlenW(found.cFileName));
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != "." && name != "..") {
      names->push_back(name);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

}  // namespace stats
