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

TEST(ProcessPath, ProcessOfTheOtherBitnessGivesItsFullPath) {
  const char* other = sizeof(void*) == 4 ? "C:\\windows\\sysnative\\notepad.exe"
                                         : "C:\\windows\\syswow64\\notepad.exe";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child = {};
  if (!CreateProcessA(other, nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &child)) {
    GTEST_SKIP() << "no program of the other bitness runs here: " << other;
  }
  EXPECT_NE(std::string::npos, GetProcessImageName(child.dwProcessId, true).find('\\'));
  TerminateProcess(child.hProcess, 0);
}

}  // namespace
