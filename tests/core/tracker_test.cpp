#include "app/tracker.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/test_util.h"
#include "platform/file.h"
#include "store/history.h"
#include "store/log_files.h"
#include "support/datetime.h"
#include "support/excep_capture.h"

namespace {

using testutil::FakeClock;
using testutil::ReadFileBytes;
using testutil::TempFolder;

const double kStart = EncodeDateTime(2026, 3, 9, 10, 0, 0);
const char kEditor[] = "C:\\Apps\\editor.exe";
const char kShort[] = "C:\\Apps\\short.exe";

double AfterSeconds(double time, double seconds) { return time + seconds / 86400.0; }

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class FakeHost : public TrackerHost {
 public:
  void EnableTimers(bool enabled) override { calls.push_back(enabled ? "on" : "off"); }
  void SetFlushInterval(int32_t delay_ms) override {
    calls.push_back("arm " + std::to_string(delay_ms));
  }
  void KillTimers() override { calls.push_back("kill"); }
  void CollectConfiguration(Configuration* config) override {
    calls.push_back("collect");
    config->minimum_logged_seconds = minimum;
  }
  void RedrawLiveList() override { calls.push_back("redraw"); }
  std::string GetWindowExePath(uintptr_t window) override {
    return "C:\\w\\" + std::to_string(window) + ".exe";
  }
  bool ZaznamenatPodrobne(const std::string&) override { return false; }
  void LiveRecordChanged(ActivityRecord*) override { ++live_changes; }

  std::vector<std::string> calls;
  int32_t minimum = 60;
  int live_changes = 0;
};

// One program run over a temporary data folder, with its own clock and
// error capture.
struct TrackerRun {
  TempFolder folder;
  FakeClock clock{kStart};
  FakeHost host;
  TExcepCapture capture{0, RunInfo{"C:\\T\\Tramo2.exe", "2.2.0.1803", 0}};
  std::string data_dir = folder / "data\\";
  std::unique_ptr<Tracker> tracker;

  TrackerRun() { SetEventSink(&capture); }
  ~TrackerRun() { SetEventSink(nullptr); }

  void Start() {
    tracker = std::make_unique<Tracker>(
        TrackerPaths{data_dir, folder.path(), data_dir + "Tramo2.ini"}, &host);
    tracker->AttachCapture(&capture);
  }
  std::string LogFile() const { return LogFileName(data_dir, kStart); }
  std::string LogText() {
    const std::string target = folder / "plain.txt";
    platform::RemoveFile(target);
    EXPECT_TRUE(DecryptLogFile(LogFile(), target));
    return ReadFileBytes(target);
  }
  // Samples the same path every 20 seconds (200 tenths each).
  void Use(const std::string& path, int samples) {
    for (int i = 0; i < samples; ++i) {
      clock.Set(AfterSeconds(clock.Now(), 20));
      tracker->Vyhodnot(path, "");
    }
  }
};

TEST(TrackerTest, FlushWritesHandsOverAndPrunes) {
  TrackerRun run;
  run.Start();
  EXPECT_TRUE(platform::FolderExists(run.data_dir));
  AddEvent(1, "probe");
  run.tracker->DataFlush();
  EXPECT_EQ((std::vector<std::string>{"off", "collect", "redraw", "on"}), run.host.calls);
  std::string text = run.LogText();
  EXPECT_TRUE(Contains(text, "#Seance dne: 9.3.2026 10:00:00"));
  EXPECT_FALSE(Contains(text, "#Statistika"));
  EXPECT_TRUE(Contains(ReadFileBytes(run.tracker->ProtocolFile()), "probe"));
  EXPECT_EQ("1", run.tracker->ini()->ReadString("FormOptions", "Spusteni", ""));

  run.tracker->Vyhodnot(kEditor, "");
  run.Use(kEditor, 4);  // 5 + 800 tenths
  run.tracker->Vyhodnot(kShort, "");
  run.clock.Set(AfterSeconds(kStart, 3599));
  run.host.calls.clear();
  run.tracker->TimerFlushTimer();
  ASSERT_EQ(5u, run.host.calls.size());
  EXPECT_EQ("on", run.host.calls[3]);
  EXPECT_EQ("arm " + std::to_string(NextFlushDelay(run.clock.Now())), run.host.calls[4]);

  text = run.LogText();
  EXPECT_TRUE(Contains(text, "\r\n80,C:\\Apps\\editor.exe,\r\n"));
  EXPECT_FALSE(Contains(text, "short.exe"));
  EXPECT_TRUE(run.tracker->PendingList().empty());
  EXPECT_NE(nullptr, run.tracker->SessionList().FindPath(kEditor));
  EXPECT_EQ(nullptr, run.tracker->SessionList().FindPath(kShort));
  EXPECT_EQ("1", run.tracker->ini()->ReadString("FormOptions", "Spusteni", ""));
}

// A history's nodes, each with its records ("|path,title,seconds,stamp").
std::string Nodes(const CGlobal& db) {
  std::ostringstream out;
  out << std::hexfloat;
  for (const PeriodNode* n = db.head(); n != nullptr; n = n->next) {
    out << '\n' << n->key << ' ' << n->end << ' ' << n->isSession << n->crashed << n->timeChanged
        << n->hibernated;
    for (const ActivityRecord* r = n->list.head(); r != nullptr; r = r->next) {
      out << '|' << r->PathText() << ',' << r->TitleText() << ',' << r->time << ',' << r->stamp;
    }
  }
  return out.str();
}

// Flushes at the local times given (seconds from the day's midnight), each
// after a sample of a program of its own; a time before the one ahead of it
// is the clock set back, a negative one a write that fails. A reload reads
// back every record, and the history loaded at the start holds what it reads.
TEST(TrackerTest, FlushesAddWhatAReloadReadsWhateverTheClock) {
  const std::pair<double, std::vector<int>> cases[] = {
      {EncodeDateTime(2024, 10, 27), {1800, 7199, 9000, 10799, 9000, 10799}},  // 02:30 twice
      {EncodeDateTime(2024, 10, 1), {39599, 41400, 19800, 21599}},  // Prague to New York at 11:30
      {EncodeDateTime(2024, 10, 31), {86399, -89999, 93599}},  // a new month's log fails at first
  };
  for (const auto& [day, seconds] : cases) {
    TrackerRun run;
    run.host.minimum = 0;
    run.clock.Set(day);
    run.Start();
    run.tracker->DataFlush();
    CGlobal reload;
    std::string error;
    ASSERT_TRUE(LoadHistory(&run.tracker->HistoryDb(), run.data_dir, &error));
    for (size_t i = 0; i < seconds.size(); ++i) {
      if (i > 0 && std::abs(seconds[i]) < seconds[i - 1]) run.tracker->TimeChanged();
      run.clock.Set(AfterSeconds(day, std::abs(seconds[i])));
      run.tracker->Vyhodnot("C:\\" + std::to_string(i) + ".exe", "");
      testutil::FileFaults faults;
      if (seconds[i] < 0) faults.FailAt(platform::FileCall::kSize, 0);  // the log's
      run.tracker->DataFlush();
      EXPECT_EQ(seconds[i] < 0, !run.tracker->PendingList().empty());
    }
    ASSERT_TRUE(LoadHistory(&reload, run.data_dir, &error));
    const std::string nodes = Nodes(reload);
    EXPECT_EQ(seconds.size(), static_cast<size_t>(std::count(nodes.begin(), nodes.end(), '|')));
    EXPECT_EQ(nodes, Nodes(run.tracker->HistoryDb()));
  }
}

TEST(TrackerTest, NegativeMinimumKeepsEverything) {
  TrackerRun run;
  run.host.minimum = -5;
  run.Start();
  run.tracker->DataFlush();
  run.tracker->Vyhodnot(kShort, "");
  run.tracker->DataFlush();
  EXPECT_TRUE(Contains(run.LogText(), "\r\n0,C:\\Apps\\short.exe,\r\n"));
  EXPECT_NE(nullptr, run.tracker->SessionList().FindPath(kShort));
}

TEST(TrackerTest, FailedWritesLoseNothing) {
  TrackerRun run;
  // A file where the data folder should be: the configuration, the log and
  // the protocol all fail, even for root.
  testutil::WriteFileBytes(run.folder / "data", "");
  run.Start();
  run.tracker->DataFlush();
  run.tracker->Vyhodnot(kEditor, "");
  run.Use(kEditor, 5);
  run.host.calls.clear();
  run.tracker->DataFlush();
  EXPECT_EQ("on", run.host.calls.back());
  EXPECT_EQ(1005u, run.tracker->PendingList().FindPath(kEditor)->time);
  // One event says so, and nothing tried to write anywhere.
  const std::string events = run.capture.Pending().substr(run.capture.HeaderLength());
  EXPECT_EQ(events.find("*3 "), events.rfind("*3 ")) << events;
  EXPECT_TRUE(Contains(events, "Nelze zapisovat do datove slozky \"" + run.data_dir + "\""));

  ASSERT_TRUE(platform::RemoveFile(run.folder / "data"));
  run.tracker->DataFlush();
  EXPECT_TRUE(run.tracker->PendingList().empty());
  const std::string text = run.LogText();
  EXPECT_TRUE(Contains(text, "#Seance dne: "));
  EXPECT_TRUE(Contains(text, "\r\n100,C:\\Apps\\editor.exe,\r\n"));
  EXPECT_TRUE(Contains(ReadFileBytes(run.tracker->ProtocolFile()), "Nelze zapisovat do datove"));
}

TEST(TrackerTest, ADataFolderThatTakesNoFilesLeavesNoDebugFileElsewhere) {
  TrackerRun run;
  testutil::WriteFileBytes(run.folder / "data", "");
  run.Start();
  run.tracker->DataFlush();
  run.tracker->Close();
  EXPECT_FALSE(platform::FileExists(run.tracker->DebugFile()));
}

TEST(TrackerTest, ClockChangeAndGapMarkBothListsAndRearm) {
  TrackerRun run;
  run.Start();
  run.tracker->DataFlush();
  run.tracker->Vyhodnot(kEditor, "");
  run.host.calls.clear();
  run.clock.Set(AfterSeconds(kStart, 600));
  run.tracker->Vyhodnot(kEditor, "");
  EXPECT_TRUE(run.tracker->PendingList().hibernated);
  EXPECT_TRUE(run.tracker->SessionList().hibernated);
  run.tracker->TimeChanged();
  EXPECT_TRUE(run.tracker->PendingList().timeChanged);
  EXPECT_TRUE(run.tracker->SessionList().timeChanged);
  const std::string arm = "arm " + std::to_string(NextFlushDelay(run.clock.Now()));
  EXPECT_EQ((std::vector<std::string>{arm, arm}), run.host.calls);
  EXPECT_EQ(10u, run.tracker->PendingList().FindPath(kEditor)->time);

  run.tracker->DataFlush();
  const std::string text = run.LogText();
  EXPECT_TRUE(Contains(text, "#Hibernace?"));
  EXPECT_TRUE(Contains(text, "#Zmena systemoveho casu!"));
}

TEST(TrackerTest, CloseIsFinal) {
  TrackerRun run;
  run.Start();
  run.tracker->DataFlush();
  for (int second = 0; second <= 60; second += 20) {
    run.clock.Set(AfterSeconds(kStart, second));
    EXPECT_TRUE(run.tracker->Tick(7, "doc"));
  }
  run.host.calls.clear();
  run.tracker->Close();
  EXPECT_EQ((std::vector<std::string>{"off", "collect", "redraw", "kill"}), run.host.calls);
  const std::string bytes = ReadFileBytes(run.LogFile());
  EXPECT_EQ("#\r\n", bytes.substr(bytes.size() - 3));
  EXPECT_TRUE(Contains(run.LogText(), "\r\n60,C:\\w\\7.exe,\r\n"));
  EXPECT_EQ(nullptr, run.tracker->ini());

  // Timer messages already queued, the session's end and a second close.
  run.host.calls.clear();
  run.clock.Set(AfterSeconds(kStart, 3599));
  EXPECT_FALSE(run.tracker->Tick(7, "doc"));
  run.tracker->Vyhodnot(kEditor, "");
  run.tracker->TimerFlushTimer();
  run.tracker->DataFlush();
  run.tracker->TimeChanged();
  run.tracker->MarkHibernation();
  run.tracker->ArmFlushTimer();
  run.tracker->Close();
  EXPECT_TRUE(run.host.calls.empty());
  EXPECT_EQ(bytes, ReadFileBytes(run.LogFile()));
  EXPECT_TRUE(run.tracker->PendingList().empty());
  EXPECT_FALSE(run.tracker->PendingList().timeChanged);
  EXPECT_FALSE(run.tracker->SessionList().hibernated);
  EXPECT_EQ(605u, run.tracker->SessionList().FindPath("C:\\w\\7.exe")->time);
}


TEST(TrackerTest, EventsAfterTheLastFlushGoToDebugFile) {
  TrackerRun run;
  run.Start();
  testutil::UnopenableFile log(run.LogFile());
  run.tracker->DataFlush();
  run.tracker->Close();
  const std::string protocol = ReadFileBytes(run.tracker->ProtocolFile());
  const std::string debug = ReadFileBytes(run.tracker->DebugFile());
  EXPECT_TRUE(Contains(protocol, "Nelze otevrit cvs (2)"));
  EXPECT_FALSE(Contains(protocol, "Nelze otevrit cvs (1)"));
  EXPECT_TRUE(Contains(debug, "Nelze otevrit cvs (1)"));
  EXPECT_FALSE(Contains(debug, "Nelze otevrit cvs (2)"));
}

}  // namespace
