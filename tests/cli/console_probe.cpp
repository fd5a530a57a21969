// Runs tramo2-stats.exe in a console of its own and reads back what the
// console shows: the Czech texts must arrive as the letters they are, not as
// code page 1250 bytes read in the console's (OEM) code page.
// Usage: console_probe PROGRAM.exe; exit code 0 when every text was found.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// "Použití:" and "Návratový kód: 0 hotovo, 1 chyba, 2 chybné parametry." of
// the usage, spelled by code point so that no compiler option changes them.
const wchar_t* const kExpected[] = {
    L"Pou\u017eit\u00ed:",
    L"N\u00e1vratov\u00fd k\u00f3d: 0 hotovo, 1 chyba, 2 chybn\u00e9 parametry.",
};

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                      nullptr, nullptr);
  return out;
}

// Everything the screen buffer holds, row by row.
std::wstring ScreenText(HANDLE screen) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(screen, &info)) return std::wstring();
  const DWORD width = static_cast<DWORD>(info.dwSize.X);
  std::wstring text;
  for (SHORT row = 0; row <= info.dwCursorPosition.Y; ++row) {
    std::wstring line(width, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, &line[0], width, COORD{0, row}, &read);
    line.resize(read);
    text += line.substr(0, line.find_last_not_of(L' ') + 1) + L"\n";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  // Our own report goes where the test reads it, not into the console.
  FILE* report = stdout;
  FreeConsole();
  if (!AllocConsole()) {
    std::fprintf(report, "AllocConsole failed: %lu\n", GetLastError());
    return 1;
  }
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  const HANDLE screen = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                    nullptr);
  if (screen == INVALID_HANDLE_VALUE) {
    std::fprintf(report, "CONOUT$ failed: %lu\n", GetLastError());
    return 1;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = screen;
  startup.hStdError = screen;
  PROCESS_INFORMATION process = {};
  // The test passes the Linux path; Wine maps the root to Z:.
  std::string program = argv[1];
  if (!program.empty() && program[0] == '/') {
    for (char& c : program) c = c == '/' ? '\\' : c;
    program = "Z:" + program;
  }
  std::string command = "\"" + program + "\" help";
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(report, "CreateProcess failed: %lu\n", GetLastError());
    return 1;
  }
  WaitForSingleObject(process.hProcess, 30000);
  DWORD exit_code = 1;
  GetExitCodeProcess(process.hProcess, &exit_code);
  const std::wstring shown = ScreenText(screen);
  int missing = 0;
  for (const wchar_t* expected : kExpected) {
    if (shown.find(expected) != std::wstring::npos) continue;
    ++missing;
    std::fprintf(report, "not on the console: %s\n", Utf8(expected).c_str());
  }
  if (exit_code != 0 || missing != 0) {
    std::fprintf(report, "exit code %lu; the console shows:\n%s", exit_code, Utf8(shown).c_str());
    return 1;
  }
  std::fprintf(report, "console shows the Czech texts\n");
  return 0;
}
