#include "support/excep_capture.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/test_util.h"
#include "platform/file.h"
#include "platform/system.h"
#include "support/datetime.h"

namespace {

const double kStart = EncodeDateTime(2024, 3, 5, 18, 9, 37);
const RunInfo kRun = {"C:\\Program Files\\Tramo2\\Tramo2.exe", "2.2.0.1803", 1234567};
const char kHeader[] =
    "*\r\n*\r\n*ExceptCapture level 0, app: \"C:\\Program Files\\Tramo2\\Tramo2.exe\", "
    "verze: 2.2.0.1803, cas: 5.3.2024 18:09:37, pamet: 1234567B\r\n";
const char kFailureTail[] = "\r\nTato zpr\xE1" "va se zobrazuje pouze jednou.";

// The time in an entry is the user's regional format, which only the
// platform layer knows; everything around it is pinned here.
std::string Entry(int level, double time, const std::string& indented_text) {
  return "*" + std::to_string(level) + " " + platform::UserLongTimeText(time) + " " +
         indented_text + "\r\n";
}

class RecordingListener : public CaptureListener {
 public:
  void OnCaptureText(const std::string& text) override { memo += text; }
  void OnFirstSaveFailure(const std::string& message) override {
    failures.push_back(message);
    if (on_failure) on_failure();
  }
  std::string memo;
  std::vector<std::string> failures;
  std::function<void()> on_failure;
};

TEST(ExcepCaptureTest, RunWithoutEventsWritesNothing) {
  testutil::TempFolder tmp;
  testutil::FakeClock clock(kStart);
  RecordingListener listener;
  TExcepCapture capture(0, kRun, &listener);
  EXPECT_EQ(kHeader, capture.Pending());
  EXPECT_EQ(kHeader, listener.memo);
  EXPECT_EQ(std::string(kHeader).size(), capture.HeaderLength());

  const std::string path = tmp / "data\\!Protokol.txt";
  EXPECT_TRUE(capture.SaveTo(path));
  EXPECT_TRUE(capture.SaveTo(testutil::FullDevicePath()));
  EXPECT_FALSE(platform::FolderExists(tmp / "data"));
  EXPECT_TRUE(listener.failures.empty());
  EXPECT_EQ(kHeader, capture.Pending());
  EXPECT_FALSE(capture.HasNewEvent());
}

TEST(ExcepCaptureTest, HeaderOnlyInFirstBatch) {
  testutil::TempFolder tmp;
  testutil::FakeClock clock(kStart);
  RecordingListener listener;
  TExcepCapture capture(0, kRun, &listener);
  const std::string path = tmp / "!Protokol.txt";

  const double t1 = kStart + 1.0 / 24;
  clock.Set(t1);
  capture.AddEvent(2, "Soubor nenalezen d\xED" "l");
  ASSERT_TRUE(capture.SaveTo(path));
  const std::string first = kHeader + Entry(2, t1, "Soubor nenalezen d\xED" "l") + "\r\n";
  EXPECT_EQ(first, testutil::ReadFileBytes(path));
  EXPECT_EQ("", capture.Pending());

  // Nothing new: the file stays as it is.
  ASSERT_TRUE(capture.SaveTo(path));
  EXPECT_EQ(first, testutil::ReadFileBytes(path));

  // An entry much shorter than the header must still count as an entry.
  const double t2 = kStart + 2.0 / 24;
  clock.Set(t2);
  capture.AddEvent(0, "x");
  ASSERT_LT(capture.Pending().size(), capture.HeaderLength());
  ASSERT_TRUE(capture.SaveTo(path));
  const std::string second = first + Entry(0, t2, "x") + "\r\n";
  EXPECT_EQ(second, testutil::ReadFileBytes(path));

  // The viewer has seen the whole run, batch separators aside.
  EXPECT_EQ(kHeader + Entry(2, t1, "Soubor nenalezen d\xED" "l") + Entry(0, t2, "x"),
            listener.memo);
}

TEST(ExcepCaptureTest, ContinuationLinesIndented) {
  testutil::FakeClock clock(kStart);
  struct Case {
    std::string text;
    std::string indented;
  };
  const Case cases[] = {
      {"a\r\nb", "a\r\n b"},
      {"a\r\n\r\nb", "a\r\n \r\n b"},
      {"a\r\n", "a\r\n "},
      {"\r\nb", "\r\n b"},
      {"\r\r\nb", "\r\r\n b"},
      {"a\nb\rc\n\rd", "a\nb\rc\n\rd"},  // only the pair CR LF ends a line
      {"", ""},
      {std::string("a\0\r\nb", 5), std::string("a\0\r\n b", 6)},
  };
  for (const Case& c : cases) {
    TExcepCapture capture(0, kRun);
    capture.AddEvent(3, c.text);
    EXPECT_EQ(kHeader + Entry(3, kStart, c.indented), capture.Pending())
        << testing::PrintToString(c.text);
  }
}

TEST(ExcepCaptureTest, AppendsAndCreatesMissingFolders) {
  testutil::TempFolder tmp;
  testutil::FakeClock clock(kStart);
  const std::string deep = tmp / "a\\b\\c\\!Protokol.txt";
  const std::string existing = tmp / "!debug.txt";
  testutil::WriteFileBytes(existing, "stary beh\r\n\r\n");

  TExcepCapture first_run(0, kRun);
  first_run.AddEvent(1, "jedna");
  ASSERT_TRUE(first_run.SaveTo(deep));
  EXPECT_EQ(kHeader + Entry(1, kStart, "jedna") + "\r\n", testutil::ReadFileBytes(deep));

  TExcepCapture second_run(0, kRun);
  second_run.AddEvent(1, "dva");
  ASSERT_TRUE(second_run.SaveTo(existing));
  EXPECT_EQ("stary beh\r\n\r\n" + (kHeader + Entry(1, kStart, "dva")) + "\r\n",
            testutil::ReadFileBytes(existing));
}

struct FailureCase {
  const char* name;
  std::function<std::string(const testutil::TempFolder&)> prepare;  // returns the path
};

std::vector<FailureCase> FailureCases() {
  return {
      {"folder in place of the file",
       [](const testutil::TempFolder& tmp) {
         std::string error;
         EXPECT_TRUE(platform::CreateFolders(tmp / "!Protokol.txt", &error)) << error;
         return tmp / "!Protokol.txt";
       }},
      {"parent path is a file",
       [](const testutil::TempFolder& tmp) {
         testutil::WriteFileBytes(tmp / "blok", "x");
         return tmp / "blok\\data\\!Protokol.txt";
       }},
      {"full disk", [](const testutil::TempFolder&) { return testutil::FullDevicePath(); }},
  };
}

std::string FailureMessage(const std::string& path, const std::string& error) {
  return "Nelze ulozit chybovy protokol \"" + path +
         "\" (soubor pouze pro cteni/plny disk?) \r\nErrorMessage: " + error + kFailureTail;
}

TEST(ExcepCaptureTest, SaveFailuresReportedOncePerRun) {
  for (const FailureCase& first : FailureCases()) {
    SCOPED_TRACE(first.name);
    testutil::TempFolder tmp;
    testutil::FakeClock clock(kStart);
    RecordingListener listener;
    TExcepCapture capture(0, kRun, &listener);
    const std::string bad = first.prepare(tmp);

    capture.AddEvent(3, "Chyba");
    EXPECT_TRUE(capture.HasNewEvent());
    const std::string before = capture.Pending();
    EXPECT_FALSE(capture.SaveTo(bad));
    EXPECT_EQ(5, capture.FailureShown());
    ASSERT_EQ(1u, listener.failures.size());

    // The OS's own message sits between the fixed parts.
    const std::string& message = listener.failures[0];
    const std::string head = FailureMessage(bad, "");
    const size_t prefix = head.size() - std::string(kFailureTail).size();
    ASSERT_GT(message.size(), head.size());
    ASSERT_EQ(head.substr(0, prefix), message.substr(0, prefix));
    const std::string os_error = message.substr(prefix, message.size() - head.size());
    EXPECT_EQ(std::string::npos, os_error.find("\r\n")) << os_error;
    EXPECT_EQ(FailureMessage(bad, os_error), message);

    // The failure is an event of its own, kept with everything before it.
    const std::string after_failure =
        before + Entry(3, kStart, "Nelze ulozit chybovy protokol \"" + bad +
                                      "\" (soubor pouze pro cteni/plny disk?) \r\n "
                                      "ErrorMessage: " + os_error + "\r\n " +
                                      (kFailureTail + 2));
    EXPECT_EQ(after_failure, capture.Pending());
    EXPECT_TRUE(capture.HasNewEvent());

    // Any later failure in the run is silent and adds nothing.
    for (const FailureCase& again : FailureCases()) {
      testutil::TempFolder other;
      EXPECT_FALSE(capture.SaveTo(again.prepare(other))) << again.name;
    }
    EXPECT_EQ(1u, listener.failures.size());
    EXPECT_EQ(after_failure, capture.Pending());
    EXPECT_FALSE(capture.HasNewEvent());

    // A later successful write carries everything, header first.
    const std::string good = tmp / "jinde\\!debug.txt";
    ASSERT_TRUE(capture.SaveTo(good));
    EXPECT_EQ(after_failure + "\r\n", testutil::ReadFileBytes(good));
    EXPECT_EQ(0u, after_failure.find(kHeader));
    EXPECT_EQ("", capture.Pending());
    EXPECT_EQ(5, capture.FailureShown());
  }
}

TEST(ExcepCaptureTest, FailureAfterHeaderWrittenKeepsEntries) {
  testutil::TempFolder tmp;
  testutil::FakeClock clock(kStart);
  RecordingListener listener;
  TExcepCapture capture(0, kRun, &listener);
  const std::string good = tmp / "!Protokol.txt";
  capture.AddEvent(1, "a");
  ASSERT_TRUE(capture.SaveTo(good));

  capture.AddEvent(1, "b");
  EXPECT_FALSE(capture.SaveTo(testutil::FullDevicePath()));
  ASSERT_EQ(1u, listener.failures.size());
  ASSERT_TRUE(capture.SaveTo(good));
  // No second header: the failed batch held entries only, plus the failure.
  const std::string first_batch = kHeader + Entry(1, kStart, "a") + "\r\n";
  const std::string second_start = Entry(1, kStart, "b") + "*3 ";
  const std::string written = testutil::ReadFileBytes(good);
  EXPECT_EQ(first_batch + second_start, written.substr(0, first_batch.size() + second_start.size()));
  EXPECT_EQ(std::string::npos, written.find("ExceptCapture", first_batch.size()));
  EXPECT_EQ("\r\n\r\n", written.substr(written.size() - 4));
}

TEST(ExcepCaptureTest, SaveFromInsideFailureNotice) {
  // The notice runs modal loops whose timers may flush again.
  testutil::TempFolder tmp;
  testutil::FakeClock clock(kStart);
  RecordingListener listener;
  TExcepCapture capture(0, kRun, &listener);
  const std::string bad = testutil::FullDevicePath();
  const std::string good = tmp / "!Protokol.txt";
  bool nested_bad = true, nested_good = false;
  std::string pending_at_notice;
  listener.on_failure = [&] {
    nested_bad = capture.SaveTo(bad);
    pending_at_notice = capture.Pending();
    nested_good = capture.SaveTo(good);
  };
  capture.AddEvent(2, "a");
  EXPECT_FALSE(capture.SaveTo(bad));
  EXPECT_FALSE(nested_bad);
  EXPECT_TRUE(nested_good);
  EXPECT_EQ(1u, listener.failures.size());
  EXPECT_EQ(pending_at_notice + "\r\n", testutil::ReadFileBytes(good));
  EXPECT_NE(std::string::npos, pending_at_notice.find("\r\n ErrorMessage: "));
  EXPECT_EQ("", capture.Pending());
}

TEST(ExcepCaptureTest, MinLevelAndNewEventFlag) {
  testutil::TempFolder tmp;
  testutil::FakeClock clock(kStart);
  RecordingListener listener;
  TExcepCapture capture(2, kRun, &listener);
  SetEventSink(&capture);
  const std::string header = capture.Pending();
  EXPECT_NE(std::string::npos, header.find("*ExceptCapture level 2, app: "));
  EXPECT_FALSE(capture.HasNewEvent());

  struct Step {
    int level;
    bool recorded;
  };
  const Step steps[] = {{1, false}, {-1, false}, {2, true}, {0, false}, {3, true}, {7, true}};
  std::string expected = header;
  for (const Step& step : steps) {
    AddEvent(step.level, "udalost " + std::to_string(step.level));
    if (step.recorded) {
      expected += Entry(step.level, kStart, "udalost " + std::to_string(step.level));
    }
    EXPECT_EQ(step.recorded, capture.HasNewEvent()) << step.level;
    EXPECT_FALSE(capture.HasNewEvent());
    EXPECT_EQ(expected, capture.Pending());
  }
  SetEventSink(nullptr);
  EXPECT_EQ(expected, listener.memo);

  // Ignored events alone leave nothing to write.
  TExcepCapture quiet(2, kRun);
  quiet.AddEvent(1, "nic");
  ASSERT_TRUE(quiet.SaveTo(tmp / "tichy.txt"));
  EXPECT_FALSE(platform::FileExists(tmp / "tichy.txt"));
}

}  // namespace
