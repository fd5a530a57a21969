#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "support/excep_capture.h"
#include "support/form_debuglog_win32.h"
#include "test_util.h"

namespace {

HWND WaitForWindow(const char* class_name, const char* caption, bool visible) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    HWND window = FindWindowA(class_name, caption);
    if (window != nullptr && (!visible || IsWindowVisible(window))) return window;
    Sleep(50);
  }
  return nullptr;
}

// Plays the user: presses OK in the message box, then Escape in the viewer.
void DismissFailureNotice(std::atomic<int>* boxes) {
  if (HWND box = WaitForWindow("#32770", "Tramo2", false)) {
    ++*boxes;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
  if (HWND viewer = WaitForWindow("TFormDebugLog", nullptr, true)) {
    HWND memo = GetWindow(viewer, GW_CHILD);
    PostMessageA(memo, WM_KEYDOWN, VK_ESCAPE, 0);
  }
}

TEST(ProtocolViewer, FirstSaveFailureShowsTheNoticeOnceAndTheViewerHoldsEveryEntry) {
  testutil::TempFolder folder;
  TFormDebugLog viewer;
  ASSERT_TRUE(viewer.CreateForm());
  TExcepCapture capture(0, RunInfo{"C:\\Tramo2\\Tramo2.exe", "2.2.0.1803", 4096}, &viewer);
  capture.AddEvent(3, "first\r\nsecond line");
  // A folder where the protocol file should be: fails for every user.
  const std::string blocked = folder / "!Protokol.txt";
  CreateDirectoryA(blocked.c_str(), nullptr);

  std::atomic<int> boxes{0};
  std::thread user(DismissFailureNotice, &boxes);
  EXPECT_FALSE(capture.SaveTo(blocked));
  user.join();
  EXPECT_EQ(1, boxes.load());
  EXPECT_FALSE(IsWindowVisible(viewer.hwnd()));
  EXPECT_EQ(5, capture.FailureShown());

  // Later failures are silent: no message box blocks this call.
  EXPECT_FALSE(capture.SaveTo(blocked));
  const std::string memo = viewer.MemoText();
  EXPECT_EQ(0u, memo.find("*\r\n*\r\n*ExceptCapture level 0, app: \"C:\\Tramo2\\Tramo2.exe\""));
  EXPECT_NE(std::string::npos, memo.find("first\r\n second line\r\n"));
  EXPECT_NE(std::string::npos, memo.find("Nelze ulozit chybovy protokol \"" + blocked + "\""));

  // Everything kept in memory reaches a writable protocol in one batch.
  EXPECT_TRUE(capture.SaveTo(folder / "ok.txt"));
  const std::string saved = testutil::ReadFileBytes(folder / "ok.txt");
  EXPECT_EQ(0u, saved.find("*\r\n*\r\n*ExceptCapture level 0"));
  EXPECT_NE(std::string::npos, saved.find("Tato zpr\xE1va se zobrazuje pouze jednou."));
}

TEST(ProtocolViewer, EscapeOnTheButtonHidesTheViewer) {
  TFormDebugLog viewer;
  ASSERT_TRUE(viewer.CreateForm());
  viewer.Show();
  HWND button = FindWindowExA(viewer.hwnd(), nullptr, "BUTTON", nullptr);
  ASSERT_NE(nullptr, button);
  SendMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(IsWindowVisible(viewer.hwnd()));
}

}  // namespace
