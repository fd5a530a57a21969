// Every file call of a tracker's day, of a history load, of a batch
// conversion and of a rewrite of the detailed-statistics list fails once,
// each in a run of its own (writes also after half and after all but their
// last byte); after each run the test checks what the failure cost.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/tracker.h"
#include "core/test_util.h"
#include "platform/file.h"
#include "store/cglobal.h"
#include "store/history.h"
#include "store/log_files.h"
#include "store/log_format.h"
#include "support/datetime.h"
#include "support/excep_capture.h"
#include "views/detail_stats.h"
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using platform::FileCall;
using testutil::EventRecorder;
using testutil::FailurePoint;
using testutil::FailurePoints;
using testutil::FakeClock;
using testutil::FileCallTrace;
using testutil::FileFaults;
using testutil::ReadFileBytes;
using testutil::TempFolder;

// Whole seconds by path and title.
using Totals = std::map<std::string, uint64_t>;

const double kSecond = 1.0 / 86400.0;
const char kInjected[] = "\r\nErrorMessage: injected failure";
const char kProbe[] = "hodinova zprava";

std::string Key(const std::string& path, const std::string& title) { return path + "|" + title; }

Totals HistoryTotals(CGlobal* db) {
  Totals totals;
  ActivityRecord* record = nullptr;
  db->Rewind();
  while (db->NextRecord(&record)) {
    if (record != nullptr) totals[Key(record->PathText(), record->TitleText())] += record->time;
  }
  return totals;
}

void Add(Totals* into, const Totals& more, int sign = 1) {
  for (const auto& entry : more) {
    (*into)[entry.first] += sign * static_cast<int64_t>(entry.second);
    if ((*into)[entry.first] == 0) into->erase(entry.first);
  }
}

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

std::string Describe(const FailurePoint& point) {
  static const char* const kNames[] = {"open",   "size",   "seek",   "read",   "write",
                                       "truncate", "rename", "remove", "mkdir", "list"};
  static const char* const kCuts[] = {"", " (half written)", " (all but the last byte)"};
  return std::string(kNames[static_cast<int>(point.entry.call)]) + " #" +
         std::to_string(point.entry.nth) + kCuts[static_cast<int>(point.cut)] + " of " +
         point.entry.path + " in " + point.entry.phase;
}

// ---------------------------------------------------------------------------
// A day of the tracker: a run from 8:00 with its start flush, the hourly
// flushes at 8:59:59 and 9:59:59 and a close, then a second run from 11:00
// that starts and closes.

struct Visit {
  const char* path;
  const char* title;
  int steps;  // samples 5 s apart after the first second (longer ones count as clock changes)
};
const Visit kVisits[] = {{"C:\\Apps\\editor.exe", "Dopis, \"návrh\".txt", 3},
                         {"C:\\Apps\\browser.exe", "Zprávy", 2},
                         {"C:\\Windows\\explorer.exe", "", 1}};

class DayHost : public TrackerHost {
 public:
  void EnableTimers(bool) override {}
  void SetFlushInterval(int32_t) override {}
  void KillTimers() override {}
  void CollectConfiguration(Configuration* config) override { config->minimum_logged_seconds = 0; }
  void RedrawLiveList() override {}
  std::string GetWindowExePath(uintptr_t) override { return std::string(); }
  bool ZaznamenatPodrobne(const std::string& path) override {
    return path.find("editor") != std::string::npos;
  }
  void LiveRecordChanged(ActivityRecord*) override {}
};

// The failure texts the capture records, without the probes.
class EventTexts : public CaptureListener {
 public:
  void OnCaptureText(const std::string& entry) override {
    if (entry[0] != '*' || entry[1] == '\r' || entry.find("ExceptCapture") != std::string::npos) {
      return;  // the run header
    }
    // "*<level> <time> <text with indented continuations>\r\n"
    const size_t start = entry.find(' ', entry.find(' ') + 1) + 1;
    std::string text = entry.substr(start, entry.size() - start - 2);
    for (size_t at = text.find("\r\n "); at != std::string::npos; at = text.find("\r\n ", at)) {
      text.erase(at + 2, 1);
    }
    if (text != kProbe) texts.push_back(text);
  }
  void OnFirstSaveFailure(const std::string&) override {}
  std::vector<std::string> texts;
};

struct Day {
  // A folder of its own under root; the days of a campaign share the root,
  // which is removed once.
  Day(const TempFolder& root, const std::string& name)
      : folder(root / name + platform::kPathSeparator) {
    platform::CreateFolders(folder, nullptr);
  }
  std::string folder;
  std::string data_dir = folder + "data" + platform::kPathSeparator;
  TrackerPaths paths{data_dir, folder, data_dir + "Tramo2.ini"};
  std::string log = data_dir + "Tramo2_cvs2026_03.eb";
  Totals counted;   // everything the tracker was given
  Totals pending;   // what PendingList still held at each close
  bool clock_change_pending = false;
  bool second_run_pending = false;  // its records never reached the log
  EventTexts events;

  void Live(FileFaults* faults) {
    FakeClock clock(EncodeDateTime(2026, 3, 9, 8, 0, 0));
    DayHost host;
    for (int run = 0; run < 2; ++run) {
      const std::string name = " of run " + std::to_string(run + 1);
      if (run == 1) clock.Set(EncodeDateTime(2026, 3, 9, 11, 0, 0));
      TExcepCapture capture(0, RunInfo{"C:\\T\\Tramo2.exe", "2.2.0.1803", 0}, &events);
      SetEventSink(&capture);
      faults->SetPhase("start" + name);
      Tracker tracker(paths, &host);
      tracker.AttachCapture(&capture);
      Configuration config;
      faults->SetPhase("configuration read" + name);
      tracker.ReadMainOptions({{0, 0, 1280, 1024}}, &config);
      faults->SetPhase("start flush" + name);
      tracker.DataFlush();
      for (int hour = 8; run == 0 && hour < 10; ++hour) {
        Use(&tracker, &clock);
        if (hour == 8) tracker.TimeChanged();
        AddEvent(0, kProbe);
        clock.Set(EncodeDateTime(2026, 3, 9, hour, 59, 59));
        faults->SetPhase("hourly flush at " + std::to_string(hour) + ":59" + name);
        tracker.TimerFlushTimer();
        clock.Set(EncodeDateTime(2026, 3, 9, hour + 1, 0, 0));
      }
      Use(&tracker, &clock);
      AddEvent(0, kProbe);
      faults->SetPhase("close" + name);
      tracker.Close();
      faults->SetPhase("after" + name);
      for (const ActivityRecord* r = tracker.PendingList().head(); r != nullptr; r = r->next) {
        pending[Key(r->PathText(), r->TitleText())] += r->time / 10;
      }
      if (run == 0) clock_change_pending = tracker.PendingList().timeChanged;
      if (run == 1) second_run_pending = !tracker.PendingList().empty();
      SetEventSink(nullptr);
    }
  }

  // A new path counts half a second and the next sample, half a second
  // later, as much again: every visit lasts whole seconds.
  void Use(Tracker* tracker, FakeClock* clock) {
    for (const Visit& visit : kVisits) {
      tracker->Vyhodnot(visit.path, visit.title);
      clock->Set(clock->Now() + 0.5 * kSecond);
      tracker->Vyhodnot(visit.path, visit.title);
      uint64_t seconds = 1;
      for (int i = 0; i < visit.steps; ++i) {
        clock->Set(clock->Now() + 5 * kSecond);
        tracker->Vyhodnot(visit.path, visit.title);
        seconds += 5;
      }
      clock->Set(clock->Now() + kSecond);
      counted[Key(visit.path, "")] += seconds;
      if (*visit.title != '\0' && std::string(visit.path).find("editor") != std::string::npos) {
        counted[Key(visit.path, visit.title)] += seconds;
      }
    }
  }

  std::string LogText() {
    const std::string target = folder + "plain.txt";
    platform::RemoveFile(target);
    EXPECT_TRUE(DecryptLogFile(log, target));
    return ReadFileBytes(target);
  }
};

// Whether trace index i belongs to a close marker: the second opening of the
// log in a close and what follows it.
bool IsMarkerCall(const Day& day, const FileCallTrace& trace, size_t i) {
  const FileCallTrace::Entry& e = trace.entries[i];
  if (e.path != day.log || e.phase.find("close") != 0) return false;
  int opens = 0;
  for (size_t j = 0; j <= i; ++j) {
    const FileCallTrace::Entry& o = trace.entries[j];
    if (o.path == day.log && o.call == FileCall::kOpen && o.phase == e.phase) ++opens;
  }
  return opens == 2;
}

// The one event a failure at trace index i must produce, or "" for none. A
// text ending in "ErrorMessage: " takes any message (the failure is seen by a
// later call than the one that failed).
std::string ExpectedDayEvent(const Day& day, const FileCallTrace& trace, size_t i,
                             bool* marker_failed) {
  const FileCallTrace::Entry& e = trace.entries[i];
  *marker_failed = false;
  if (e.phase.find("configuration read") == 0) return "";  // reading stays silent
  const std::string ini_text =
      "Nemuzu ulozit .ini soubor (soubor pouze pro cteni/plny disk?) \r\nErrorMessage: ";
  if (e.call == FileCall::kCreateFolder) return "";  // the first flush creates the data folder again
  if (e.path == day.data_dir + "!Zkouska.tmp") {  // the flush's check of the data folder
    return e.call != FileCall::kOpen ? "" : "Nelze zapisovat do datove slozky \"" + day.data_dir + "\", data se neukladaji (slozka pouze pro cteni?) " + kInjected;
  }
  if (e.path == day.paths.ini_file || e.path == day.paths.ini_file + ".tmp") {
    return ini_text + "injected failure";
  }
  const std::string quoted = "\"" + e.path + "\"";
  if (e.path == day.log) {
    bool first_open = true;
    for (size_t j = 0; j < i; ++j) {
      if (trace.entries[j].path == day.log && trace.entries[j].call == FileCall::kOpen) {
        first_open = false;
      }
    }
    if (IsMarkerCall(day, trace, i)) {
      *marker_failed = e.phase == "close of run 1";
      if (e.call == FileCall::kOpen) return "Nelze otevrit cvs (1) " + quoted + " (pro zapis?) " + kInjected;
    } else if (e.call == FileCall::kOpen) {
      return first_open ? "Nelze vytvorit cvs " + quoted + " (soubor pouze pro cteni/plny disk?) " +
                              kInjected
                        : "Nelze otevrit cvs (2) " + quoted + " (pro zapis?) " + kInjected;
    }
    return "Nelze ulozit cvs do " + quoted + " (soubor pouze pro cteni/plny disk?) " + kInjected;
  }
  return "Nelze ulozit chybovy protokol " + quoted + " (soubor pouze pro cteni/plny disk?) " +
         kInjected + "\r\nTato zpráva se zobrazuje pouze jednou.";
}

void CheckDay(Day* day, const std::string& expected_event, bool marker_failed) {
  ASSERT_EQ(expected_event.empty() ? 0u : 1u, day->events.texts.size());
  if (!expected_event.empty()) {
    const std::string& text = day->events.texts[0];
    if (expected_event.back() == ' ') {
      EXPECT_EQ(expected_event, text.substr(0, expected_event.size()));
      EXPECT_GT(text.size(), expected_event.size());
    } else {
      EXPECT_EQ(expected_event, text);
    }
  }

  EventRecorder load_events;
  CGlobal db;
  std::string error;
  ASSERT_TRUE(LoadHistory(&db, day->data_dir, &error));
  EXPECT_TRUE(load_events.events.empty()) << load_events.events[0].second;
  Totals read = HistoryTotals(&db);
  Add(&read, day->pending);
  EXPECT_EQ(day->counted, read);

  const std::string text = day->LogText();
  EXPECT_EQ(2u, Occurrences(text, kSessionHeader));
  EXPECT_EQ(marker_failed ? 1u : 0u, Occurrences(text, kCrashNote));
  EXPECT_EQ(day->clock_change_pending ? 0u : 1u, Occurrences(text, kClockChangeNote));
  EXPECT_EQ(0u, Occurrences(text, kHibernationNote));
  // Each run's periods follow each other without a gap, from its start on.
  std::vector<std::string> chain_starts;
  std::string previous_end;
  for (size_t at = text.find(kPeriodHeader); at != std::string::npos;
       at = text.find(kPeriodHeader, at + 1)) {
    const size_t from = at + std::string(kPeriodHeader).size();
    const size_t to = text.find(" do ", from);
    const std::string start = text.substr(from, to - from);
    if (start != "9.3.2026 " + previous_end) chain_starts.push_back(start);
    previous_end = text.substr(to + 4, text.find('\r', to) - to - 4);
  }
  std::vector<std::string> expected_starts = {"9.3.2026 08:00:00", "9.3.2026 11:00:00"};
  if (day->second_run_pending) expected_starts.pop_back();
  EXPECT_EQ(expected_starts, chain_starts);

  // Events are appended once at most, also after a torn append.
  std::string protocols;
  if (platform::FileExists(day->data_dir + "!Protokol.txt")) {
    protocols += ReadFileBytes(day->data_dir + "!Protokol.txt");
  }
  if (platform::FileExists(day->folder + "!debug.txt")) protocols += ReadFileBytes(day->folder + "!debug.txt");
  const size_t probes = Occurrences(protocols, kProbe);
  if (expected_event.find("Nelze ulozit chybovy protokol") == 0) {
    EXPECT_GE(4u, probes);
  } else {
    EXPECT_EQ(4u, probes);
  }
  // The configuration is whole: its last key is there.
  platform::IniFile ini(day->paths.ini_file);
  EXPECT_NE("", ini.ReadString("FormOptions", "sortD", ""));
}

TEST(FaultCampaign, TrackerDayLosesNothingAtAnyFailedFileCall) {
  FileCallTrace trace;
  TempFolder root(testutil::MemoryFolder());
  Day clean(root, "clean");
  {
    FileFaults faults;
    clean.Live(&faults);
    trace = faults.trace();
  }
  CheckDay(&clean, "", false);
  std::vector<FailurePoint> points = FailurePoints(trace);
  // Writes to the log also with the cut-back failing: the bytes stay until
  // the next write or the close marker cuts them. (A marker cut short whose
  // cut-back fails leaves a byte that the next start pads to a block.)
  const size_t single_points = points.size();
  for (size_t i = 0; i < single_points; ++i) {
    const FailurePoint& point = points[i];
    if (point.entry.call != FileCall::kWrite || point.entry.path != clean.log ||
        point.cut == FileFaults::Cut::kNothing || IsMarkerCall(clean, trace, point.index)) {
      continue;
    }
    points.push_back(points[i]);
    points.back().then_truncate = true;
  }
  size_t fired = 0;
  for (const FailurePoint& point : points) {
    SCOPED_TRACE(Describe(point) + (point.then_truncate ? ", its cut-back too" : ""));
    Day day(root, std::to_string(fired));
    bool marker_failed = false;
    std::string expected = ExpectedDayEvent(clean, trace, point.index, &marker_failed);
    for (size_t at = expected.find(clean.folder); at != std::string::npos;
         at = expected.find(clean.folder, at)) {
      expected.replace(at, clean.folder.size(), day.folder);
    }
    {
      FileFaults faults;
      faults.FailAt(point.entry.call, point.entry.nth, point.cut);
      if (point.then_truncate) faults.ThenFail(FileCall::kTruncate);
      day.Live(&faults);
      ASSERT_TRUE(faults.fired());
      ++fired;
    }
    CheckDay(&day, expected, marker_failed);
    if (HasFatalFailure() || HasFailure()) return;
  }
  std::printf("[ campaign ] tracker day: %zu failure points over %zu file calls\n", fired,
              trace.entries.size());
}


// ---------------------------------------------------------------------------
// Stored logs of three months, each beginning with its session, and the
// event protocol, which the load must not read.

struct Archive {
  TempFolder folder{testutil::MemoryFolder()};
  std::string data_dir = folder / "data" + platform::kPathSeparator;
  std::vector<std::string> logs;  // names, in reading order
  std::map<std::string, Totals> per_log;

  Archive() {
    platform::CreateFolders(data_dir, nullptr);
    const char* const kNames[] = {"Tramo2_cvs2026_02.eb", "Tramo2_cvs2026_03.eb",
                                  "Tramo2_cvs2026_01.txt"};
    for (int month = 0; month < 3; ++month) {
      FakeClock clock(EncodeDateTime(2026, month + 1, 10, 8, 0, 0));
      const std::string log = folder / (std::string("Tramo2_cvs2026_0") + char('1' + month) + ".eb");
      CSez pending;
      EXPECT_TRUE(pending.WriteLog(log, 0));
      for (int hour = 0; hour < 2; ++hour) {
        pending.NewRecord("C:\\m" + std::to_string(month) + ".exe", 600 + 100 * hour, "");
        pending.NewRecord("C:\\all.exe", 300, "okno " + std::to_string(hour));
        clock.Set(EncodeDateTime(2026, month + 1, 10, 8 + hour, 59, 59));
        EXPECT_TRUE(pending.WriteLog(log, 0));
        pending.Clear();
      }
      AppendCloseMarker(log);
      const std::string name = kNames[month == 0 ? 2 : month - 1];
      if (month == 0) {
        EXPECT_TRUE(DecryptLogFile(log, data_dir + name));  // a converted plain copy
      } else {
        testutil::WriteFileBytes(data_dir + name, ReadFileBytes(log));
      }
      CGlobal alone;
      alone.LoadLog(data_dir + name);
      per_log[name] = HistoryTotals(&alone);
    }
    testutil::WriteFileBytes(data_dir + "!Protokol.txt", "*\r\n*\r\n");
    logs = {kNames[0], kNames[1], kNames[2]};
  }
};

TEST(FaultCampaign, HistoryLoadCostsOnlyTheFailedFile) {
  Archive archive;
  Totals all;
  for (const auto& log : archive.per_log) Add(&all, log.second);
  FileCallTrace trace;
  {
    FileFaults faults;
    CGlobal db;
    std::string error;
    ASSERT_TRUE(LoadHistory(&db, archive.data_dir, &error));
    EXPECT_EQ(all, HistoryTotals(&db));
    trace = faults.trace();
  }
  const std::vector<FailurePoint> points = FailurePoints(trace);
  for (const FailurePoint& point : points) {
    SCOPED_TRACE(Describe(point));
    EventRecorder events;
    CGlobal db;
    std::string error;
    FileFaults faults;
    faults.FailAt(point.entry.call, point.entry.nth, point.cut);
    const bool listed = LoadHistory(&db, archive.data_dir, &error);
    ASSERT_TRUE(faults.fired());
    Totals expected = all;
    if (point.entry.call == FileCall::kList) {
      EXPECT_FALSE(listed);
      EXPECT_EQ(platform::kInjectedFailure, error);
      expected.clear();
      EXPECT_TRUE(events.events.empty());
    } else {
      EXPECT_TRUE(listed);
      const std::string name = point.entry.path.substr(archive.data_dir.size());
      ASSERT_EQ(1u, archive.per_log.count(name));
      Add(&expected, archive.per_log[name], -1);
      ASSERT_EQ(1u, events.events.size());
      EXPECT_EQ(3, events.events[0].first);
      EXPECT_EQ(point.entry.call == FileCall::kOpen
                    ? std::string("ErrorMessage: injected failure")
                    : std::string("Nelze nacist databazi. \r\nErrorMessage: injected failure"),
                events.events[0].second);
    }
    EXPECT_EQ(expected, HistoryTotals(&db));
  }
  std::printf("[ campaign ] history load: %zu failure points\n", points.size());
}

TEST(FaultCampaign, ConversionSkipsOnlyTheFailedFileAndLeavesNoCutCopy) {
  Archive archive;
  const std::string source = archive.folder.path();  // the three .eb originals
  const std::string target = archive.folder / "out" + platform::kPathSeparator;
  std::map<std::string, std::string> converted;
  FileCallTrace trace;
  {
    FileFaults faults;
    EXPECT_EQ("Prevedenych: 3\r\nvynechanych: 0", ConvertLogs(source, target));
    trace = faults.trace();
  }
  std::vector<std::string> names;
  ASSERT_TRUE(platform::ListFileNames(target, &names, nullptr));
  for (const std::string& name : names) converted[name] = ReadFileBytes(target + name);
  ASSERT_EQ(3u, converted.size());

  const std::vector<FailurePoint> points = FailurePoints(trace);
  for (size_t i = 0; i < points.size(); ++i) {
    const FailurePoint& point = points[i];
    SCOPED_TRACE(Describe(point));
    const std::string target = archive.folder / "out" + std::to_string(i) + platform::kPathSeparator;
    std::string report;
    {
      FileFaults faults;
      faults.FailAt(point.entry.call, point.entry.nth, point.cut);
      report = ConvertLogs(source, target);
      ASSERT_TRUE(faults.fired());
    }
    if (point.entry.call == FileCall::kCreateFolder) {
      EXPECT_EQ("Neexistuje výstupní adresář " + target, report);
      continue;
    }
    if (point.entry.call == FileCall::kList) {
      EXPECT_EQ("ErrorMessage: injected failure", report);
      continue;
    }
    EXPECT_EQ("Prevedenych: 2\r\nvynechanych: 1", report);
    size_t present = 0;
    for (const auto& file : converted) {
      if (!platform::FileExists(target + file.first)) continue;
      ++present;
      EXPECT_EQ(file.second, ReadFileBytes(target + file.first)) << file.first;
    }
    EXPECT_EQ(2u, present);
    // Converting again completes the set.
    EXPECT_EQ("Prevedenych: 1\r\nvynechanych: 2", ConvertLogs(source, target));
  }
  std::printf("[ campaign ] conversion: %zu failure points\n", points.size());
}

// The detailed-statistics list over an old one and where there is none: a
// failure leaves the old file (or none) and no temporary file behind.
TEST(FaultCampaign, DetailListRewriteKeepsTheOldList) {
  TempFolder folder;
  const std::string path = DetailListPath(folder.path());
  DetailList list;
  list.SetText("rozlisovat mala a VELKA,jmeno souboru\r\n1,C:\\Nove\\app.exe");
  size_t count = 0;
  for (const bool existed : {true, false}) {
    FileCallTrace trace;
    {
      if (existed) testutil::WriteFileBytes(path, "stary seznam");
      FileFaults faults;
      ASSERT_TRUE(list.Save(path));
      trace = faults.trace();
    }
    for (const FailurePoint& point : FailurePoints(trace)) {
      SCOPED_TRACE(Describe(point));
      platform::RemoveFile(path);
      if (existed) testutil::WriteFileBytes(path, "stary seznam");
      EventRecorder events;
      {
        FileFaults faults;
        faults.FailAt(point.entry.call, point.entry.nth, point.cut);
        EXPECT_FALSE(list.Save(path));
      }
      ++count;
      const std::string quoted = "\"" + path + "\"";
      const std::string expected =
          point.entry.call == FileCall::kWrite ? "Chyba pri otevirani " + quoted + " " + kInjected
          : existed ? "Nelze otevrit cvs (3) " + quoted + " (pro zapis?) " + kInjected
                    : "Nelze vytvorit " + quoted + " (soubor pouze pro cteni/plny disk?) " + kInjected;
      ASSERT_EQ(1u, events.events.size());
      EXPECT_EQ(std::make_pair(3, expected), events.events[0]);
      EXPECT_FALSE(platform::FileExists(path + ".tmp"));
      if (existed) {
        EXPECT_EQ("stary seznam", ReadFileBytes(path));
      } else {
        EXPECT_FALSE(platform::FileExists(path));
      }
    }
  }
  std::printf("[ campaign ] detailed-statistics list: %zu failure points\n", count);
}

#ifdef _WIN32
TEST(FaultCampaign, FilesASyncClientHoldsAreWaitedForAndPastTheWaitFailAsEver) {
  TempFolder root;
  Day day(root, "held");
  EventRecorder events;
  const std::string eb = day.log, cvs = DetailListPath(day.data_dir), txt = day.data_dir + "!P.txt";
  const auto while_held = [](const std::string& path, DWORD ms, const std::function<bool()>& op) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    std::thread holder([=] { Sleep(ms), CloseHandle(file); });
    const bool done = op();
    return holder.join(), done;
  };
  CSez log, next_run;
  platform::IniFile ini(day.paths.ini_file);
  DetailList details;
  TExcepCapture protocol(0, RunInfo{}, nullptr);
  const std::pair<std::string, std::function<bool(const std::string&)>> kinds[] = {
      {eb, [&](auto tag) { return log.NewRecord(tag, 600, ""), log.WriteLog(eb, 0); }},
      {eb, [&](auto tag) { return tag == "first" || (AppendCloseMarker(eb), true); }},
      {ini.path(), [&](auto tag) { return ini.WriteString("FormOptions", tag, tag, nullptr); }},
      {ini.path(), [&](auto tag) { return ini.ReadString("FormOptions", tag, "") == tag; }},
      {cvs, [&](auto tag) { return details.SetText(details.text() + tag), details.Save(cvs); }},
      {txt, [&](auto tag) { return protocol.AddEvent(1, tag), protocol.SaveTo(txt); }}};
  for (const auto& [path, operation] : kinds) {
    ASSERT_TRUE(operation("first"));
    EXPECT_TRUE(while_held(path, 400, [&] { return operation("second"); })) << path;
    const std::string text = path == eb ? day.LogText() : ReadFileBytes(path);
    EXPECT_LT(text.find("first"), text.find("second")) << path;
  }
  next_run.NewRecord("kept", 600, "");
  EXPECT_FALSE(while_held(eb, 2000, [&] { return next_run.WriteLog(eb, 0); }));
  EXPECT_TRUE(next_run.WriteLog(eb, 0) && day.LogText().find("60,kept,") != std::string::npos);
  ASSERT_EQ(1u, events.events.size());
  EXPECT_EQ(0u, events.events[0].second.find("Nelze otevrit cvs (2) \"" + eb + "\" (pro zapis?)"));
}
#endif

}  // namespace
