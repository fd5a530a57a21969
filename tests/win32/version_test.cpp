#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/system.h"
#include "support/version.h"
#include "test_util.h"

namespace {

// The tests link src/app/version.rc: their own version is the program's.
TEST(VersionWin32Test, ReadsTheProductVersionOfTheExecutable) {
  const std::string exe = platform::ExecutablePath();
  EXPECT_EQ("2.2.0.1803", VersionText(exe, true));
  EXPECT_EQ("2.2.0", VersionText(exe, false));
}

// The resource script is UTF-8: read back in code page 1250 its Czech
// description keeps its letters (a wrong script code page garbles them).
TEST(VersionWin32Test, CzechStringsSurviveTheResourceCompiler) {
  const std::string exe = platform::ExecutablePath();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &handle);
  ASSERT_NE(0u, size);
  std::string info(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, &info[0]));
  char key[] = "\\StringFileInfo\\040504E2\\FileDescription";
  void* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(&info[0], key, &text, &length));
  EXPECT_NE(std::string::npos, std::string(static_cast<const char*>(text)).find("sledování času"));
}

TEST(VersionWin32Test, NoVersionResourceGivesAnEmptyText) {
  testutil::TempFolder folder;
  const std::string copy = folder / "bare.exe";
  ASSERT_TRUE(CopyFileA(platform::ExecutablePath().c_str(), copy.c_str(), FALSE));
  // Strip every resource from the copy: a real executable without a version.
  HANDLE update = BeginUpdateResourceA(copy.c_str(), TRUE);
  ASSERT_NE(nullptr, update);
  ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
  EXPECT_EQ("", VersionText(copy, true));
  EXPECT_EQ("", VersionText(copy, false));
  EXPECT_EQ("", VersionText(folder / "missing.exe", true));
  testutil::WriteFileBytes(folder / "text.exe", "not an executable");
  EXPECT_EQ("", VersionText(folder / "text.exe", true));
}

}  // namespace
