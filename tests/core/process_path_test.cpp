#include <gtest/gtest.h>

#include "monitor/process_path.h"

TEST(WindowExePath, TheOneProcessOrItsSnapshotName) {
  const std::string host = "C:\\Windows\\System32\\ApplicationFrameHost.exe";
  const std::string calc = "C:\\Program Files\\WindowsApps\\Calc\\Calc.exe";
  const struct {
    WindowAnswers answers;
    uint32_t process;
    std::string path;
  } cases[] = {
      {{7, 0, true, "C:\\x\\a.exe", false, ""}, 7, "C:\\x\\a.exe"},
      {{7, 0, false, "", true, "elevated.exe"}, 7, "elevated.exe"},
      {{7, 0, false, "", false, ""}, 7, ""},  // gone
      {{0, 0, false, "", true, "[System Process]"}, 0, "System Idle Process"},
      {{40, 41, true, calc, false, ""}, 41, calc},
      {{40, 0, true, host, false, ""}, 40, host},
      {{40, 41, false, "", true, "Calc.exe"}, 41, "Calc.exe"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.process, WindowProcessOf(c.answers)) << c.path;
    EXPECT_EQ(c.path, ExePathOf(c.answers));
  }
}
