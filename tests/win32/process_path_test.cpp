#include <gtest/gtest.h>
#include <windows.h>

#include "monitor/process_path.h"
#include "platform/system.h"
#include "support/text_routines.h"

namespace {

HWND MakeWindow() {
  return CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(ProcessPath, WindowOfThisProcessGivesOurExecutable) {
  HWND window = MakeWindow();
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(AsciiEqualNoCase(platform::ExecutablePath(),
                               GetWindowExePath(reinterpret_cast<uintptr_t>(window))));
  DestroyWindow(window);
  EXPECT_EQ("", GetWindowExePath(reinterpret_cast<uintptr_t>(window)));
  EXPECT_EQ("", GetWindowExePath(0));
}

TEST(ProcessPath, ImageNameOfThisProcess) {
  const std::string base = GetProcessImageName(GetCurrentProcessId(), false);
  EXPECT_TRUE(AsciiEqualNoCase("win32_tests.exe", base));
  EXPECT_EQ("", GetProcessImageName(0xFFFFFFF0u, true));
}

// Either bitness: its path while it runs, nothing once it ended (its handle still open).
TEST(ProcessPath, ProgramOfEitherBitnessGivesItsFullPathUntilItEnds) {
  const bool wow = sizeof(void*) == 4;
  const std::pair<std::string, std::string> folders[] = {  // started from, runs from
      {"system32", wow ? "syswow64" : "system32"},
      {wow ? "sysnative" : "syswow64", wow ? "system32" : "syswow64"}};
  for (const auto& folder : folders) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child = {};
    if (!CreateProcessA(("C:\\windows\\" + folder.first + "\\notepad.exe").c_str(), nullptr,
                        nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &child)) {
      continue;  // no 32-bit code on this machine
    }
    EXPECT_TRUE(AsciiEqualNoCase("C:\\windows\\" + folder.second + "\\notepad.exe",
                                 GetProcessImageName(child.dwProcessId, true)));
    TerminateProcess(child.hProcess, 0);
    WaitForSingleObject(child.hProcess, 10000);
    EXPECT_EQ("", GetProcessImageName(child.dwProcessId, true)) << folder.first;
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  }
}

}  // namespace
