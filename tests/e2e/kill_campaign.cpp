// Kills Tramo2.exe at spread moments around its start and close flushes and
// checks the month's log after every run: nothing already on disk changes,
// the log reads back without a bad line, every record read before is read
// again, every start flush that landed reads as a session, and every run
// that was killed after its start flush is marked by exactly one crash note
// once a later run starts. Runs in the folder of a copy of Tramo2.exe (data
// beside it, argument M) under Wine.
// Usage: kill_campaign [KILLS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/system.h"
#include "store/cglobal.h"
#include "store/log_files.h"
#include "support/events.h"

namespace {

const char kDataDir[] = "data\\";
// A fixed generator state: every run of the test kills at the same fractions.
constexpr unsigned kGeneratorState = 20261208;

int failures = 0;

void Fail(const std::string& what) {
  std::fprintf(stderr, "FAIL: %s\n", what.c_str());
  ++failures;
}

std::string LogPath() { return LogFileName(kDataDir, platform::Now()); }

std::string ReadBytes(const std::string& path) {
  platform::File file;
  std::string error;
  std::string bytes;
  if (!file.OpenRead(path, &error)) return bytes;
  char buffer[65536];
  size_t n = 0;
  while (file.Read(buffer, sizeof(buffer), &n, &error) && n > 0) bytes.append(buffer, n);
  return bytes;
}

int64_t SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// What the program's own reader makes of the log.
struct Reading {
  int sessions = 0;
  int crash_notes = 0;  // sessions a crash note marks as not ended correctly
  int periods = 0;
  std::multiset<std::string> records;
  std::vector<std::string> events;
};

class Collector : public EventSink {
 public:
  explicit Collector(std::vector<std::string>* events) : events_(events) { SetEventSink(this); }
  ~Collector() override { SetEventSink(nullptr); }
  void AddEvent(int level, const std::string& text) override {
    events_->push_back(std::to_string(level) + " " + text);
  }

 private:
  std::vector<std::string>* events_;
};

Reading ReadBack(const std::string& path) {
  Reading reading;
  if (SizeOf(path) < 0) return reading;
  Collector collector(&reading.events);
  CGlobal db;
  db.OpenCipher();
  db.LoadLog(path);
  db.CloseCipher();
  for (const PeriodNode* node = db.head(); node != nullptr; node = node->next) {
    if (node->isSession) {
      ++reading.sessions;
      reading.crash_notes += node->crashed;
      continue;
    }
    ++reading.periods;
    for (const ActivityRecord* r = node->list.head(); r != nullptr; r = r->next) {
      reading.records.insert(std::to_string(node->key) + "," + r->PathText() + "," +
                             r->TitleText() + "," + std::to_string(r->time));
    }
  }
  return reading;
}

HWND MainWindowOf(DWORD process_id, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeout_ms) {
    for (HWND w = FindWindowA("TForm1", nullptr); w != nullptr;
         w = FindWindowExA(nullptr, w, "TForm1", nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == process_id) return w;
    }
    Sleep(1);
  }
  return nullptr;
}

// Polls until the log's size differs from before (a flush has landed), or
// until it ends with the clean-exit marker, the only write that leaves a
// size of 3 beyond whole blocks. The size only: opening the log could make
// the program's own open fail.
bool WaitForWrite(int64_t before, bool marker, DWORD timeout_ms) {
  const std::string path = LogPath();
  const DWORD start = GetTickCount();
  for (;;) {
    const int64_t size = SizeOf(path);
    if (marker ? size % 16 == 3 : size != before) return true;
    if (GetTickCount() - start > timeout_ms) return false;
    Sleep(1);
  }
}

// kNone: a run that is not killed.
enum class Moment { kStart, kClose, kNone };
// What a run left in the log.
enum class Outcome { kNothing, kStartFlush, kCloseFlush, kMarker };

// One run of the program. With kill_after_ms set, the process is killed that
// long after its window appears (kStart) or after WM_CLOSE is posted to it
// once its start flush has landed (kClose). Without, it is closed after its
// start flush, and *flush_ms and *close_ms tell how long after the window
// the start flush landed and how long after WM_CLOSE the marker did; the
// process is then ended (what it does after the marker takes seconds under
// Wine and touches no log).
bool RunOnce(Moment moment, const DWORD* kill_after_ms, DWORD* flush_ms, DWORD* close_ms) {
  const int64_t before = SizeOf(LogPath());
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  // Without the tray icon: after a kill, Wine holds the next start about two
  // seconds while it drops the dead process's icon.
  char command[] = "Tramo2.exe M noIco";
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    Fail("Tramo2.exe did not start");
    return false;
  }
  const HWND window = MainWindowOf(process.dwProcessId, 30000);
  DWORD mark = GetTickCount();
  if (window == nullptr) {
    Fail("no main window");
  } else if (kill_after_ms == nullptr) {
    if (!WaitForWrite(before, false, 30000)) Fail("no start flush");
    *flush_ms = GetTickCount() - mark;
    mark = GetTickCount();
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!WaitForWrite(before, true, 30000)) Fail("no clean-exit marker");
    *close_ms = GetTickCount() - mark;
  } else {
    if (moment == Moment::kClose) {
      if (!WaitForWrite(before, false, 30000)) Fail("no start flush before the close");
      PostMessageA(window, WM_CLOSE, 0, 0);
    }
    Sleep(*kill_after_ms);
  }
  TerminateProcess(process.hProcess, 9);
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) Fail("Tramo2.exe did not end");
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return window != nullptr;
}

bool EndsWithMarker(const std::string& bytes) {
  return bytes.size() % 16 == 3 && bytes.compare(bytes.size() - 3, 3, "#\r\n") == 0;
}

// The log before and after the runs so far, and what they lead to expect.
class LogWatch {
 public:
  // Checks the log after one more run, killed around moment.
  void Check(int run, Moment moment) {
    const std::string bytes = ReadBytes(LogPath());
    const std::string at = "after run " + std::to_string(run) + ": ";
    const bool marker = EndsWithMarker(bytes);
    if (bytes.size() % 16 != 0 && !marker) Fail(at + "the log ends inside a block");
    const size_t kept = EndsWithMarker(bytes_) ? bytes_.size() - 3 : bytes_.size();
    if (bytes.compare(0, kept, bytes_, 0, kept) != 0) Fail(at + "bytes already written changed");
    const Reading reading = ReadBack(LogPath());
    for (const std::string& event : reading.events) Fail(at + "reading the log: " + event);
    if (!std::includes(reading.records.begin(), reading.records.end(), reading_.records.begin(),
                       reading_.records.end())) {
      Fail(at + "records read before are missing");
    }
    const bool started = bytes.size() != bytes_.size();
    if (reading.sessions != reading_.sessions + (started ? 1 : 0)) {
      Fail(at + std::to_string(reading.sessions) + " sessions read back");
    }
    if (started && note_pending_) ++notes_expected_;
    if (started) note_pending_ = false;
    if (reading.crash_notes != notes_expected_) {
      Fail(at + std::to_string(reading.crash_notes) + " crash notes, expected " +
           std::to_string(notes_expected_));
    }
    if (started && !marker) {
      // A cipher byte "#" where the marker would be hides the crash (1 in 256).
      note_pending_ = bytes[bytes.size() - 3] != '#';
      lucky_bytes_ += !note_pending_;
    }
    const Outcome outcome = !started ? Outcome::kNothing
                            : marker ? Outcome::kMarker
                            : reading.periods > reading_.periods ? Outcome::kCloseFlush
                                                                 : Outcome::kStartFlush;
    ++outcomes_[static_cast<int>(moment)][static_cast<int>(outcome)];
    bytes_ = bytes;
    reading_ = reading;
  }

  void Report(int kills, DWORD elapsed_ms) const {
    const int* start = outcomes_[static_cast<int>(Moment::kStart)];
    const int* close = outcomes_[static_cast<int>(Moment::kClose)];
    std::printf(
        "kill campaign: %d kills in %.1f s; around the start: %d before its flush, %d after it; "
        "around the close: %d before the close flush, %d after it, %d after the marker; %d crash "
        "notes (%d hidden by a cipher byte \"#\"); %d sessions and %d records read back\n",
        kills, elapsed_ms / 1000.0, start[0], start[1] + start[2] + start[3], close[1],
        close[2], close[3], notes_expected_, lucky_bytes_, reading_.sessions,
        static_cast<int>(reading_.records.size()));
  }

 private:
  std::string bytes_;
  Reading reading_;
  bool note_pending_ = false;
  int notes_expected_ = 0;
  int lucky_bytes_ = 0;
  // Runs by the moment they were killed around and what of them landed.
  int outcomes_[3][4] = {};
};

// The minimum logged time 0: every close flush writes records.
bool WriteConfiguration() {
  std::string error;
  platform::File file;
  const std::string text = "[FormNastaveniOptions]\r\nMinimalniCas=0\r\n";
  return platform::CreateFolders(kDataDir, &error) && file.Create("data\\Tramo2.ini", &error) &&
         file.Write(text.data(), text.size(), &error);
}

}  // namespace

int main(int argc, char** argv) {
  const int kills = argc > 1 ? std::atoi(argv[1]) : 30;
  if (!WriteConfiguration()) {
    Fail("cannot write the configuration");
    return 1;
  }
  const DWORD started = GetTickCount();
  LogWatch watch;
  int run = 0;
  // A normal run measures how long the start flush and the close take here,
  // so that the kills spread over twice those times on any machine.
  DWORD flush_ms = 0;
  DWORD close_ms = 0;
  RunOnce(Moment::kNone, nullptr, &flush_ms, &close_ms);
  watch.Check(++run, Moment::kNone);
  std::printf("start flush %lu ms after the window, marker %lu ms after WM_CLOSE\n",
              static_cast<unsigned long>(flush_ms), static_cast<unsigned long>(close_ms));

  std::minstd_rand generator(kGeneratorState);
  std::uniform_real_distribution<double> fraction(0.0, 2.0);
  int done = 0;
  for (; done < kills && failures == 0; ++done) {
    const int i = done;
    const Moment moment = i % 2 == 0 ? Moment::kStart : Moment::kClose;
    const DWORD span = std::max<DWORD>(moment == Moment::kStart ? flush_ms : close_ms, 10);
    const DWORD kill_after = static_cast<DWORD>(fraction(generator) * span);
    DWORD unused = 0;
    if (!RunOnce(moment, &kill_after, &unused, &unused)) break;
    watch.Check(++run, moment);
  }
  // A last normal run notes the last kill and reads back everything.
  DWORD unused = 0;
  RunOnce(Moment::kNone, nullptr, &unused, &unused);
  watch.Check(++run, Moment::kNone);
  watch.Report(done, GetTickCount() - started);
  return failures == 0 ? 0 : 1;
}
