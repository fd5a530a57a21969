#ifndef TRAMO_TESTS_CORE_TEST_UTIL_H_
#define TRAMO_TESTS_CORE_TEST_UTIL_H_

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/file.h"
#include "platform/system.h"
#include "store/csez.h"
#include "support/events.h"

namespace testutil {

// A clock the test sets by hand; installed for the lifetime of the object.
class FakeClock : public platform::Clock {
 public:
  explicit FakeClock(double now = 0);
  ~FakeClock() override;
  double Now() override { return now_; }
  uint32_t TickCount() override { return tick_; }
  void Set(double now) { now_ = now; }
  void SetTick(uint32_t tick) { tick_ = tick; }

 private:
  double now_;
  uint32_t tick_ = 0;
};

// Collects events for inspection; installed for the lifetime of the object.
class EventRecorder : public EventSink {
 public:
  EventRecorder();
  ~EventRecorder() override;
  void AddEvent(int level, const std::string& text) override {
    events.emplace_back(level, text);
  }
  std::vector<std::pair<int, std::string>> events;
};

// A fresh empty folder under the system's temporary folder, with a trailing
// separator ("\" on Windows, "/" elsewhere); removed with its files at the end.
class TempFolder {
 public:
  TempFolder();
  // Under base (ending with its separator) instead.
  explicit TempFolder(const std::string& base);
  ~TempFolder();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// A folder in memory where the system has one ("/dev/shm/"), for tests that
// sync files thousands of times; else the temporary folder.
std::string MemoryFolder();

// The interned id of a text.
inline TextId Id(const std::string& text) { return Texts().Intern(text); }
// A record of one period: `time` in its list's unit, stamped and last seen at `date`.
ActivityRecord Record(const std::string& path, const std::string& title, uint32_t time,
                      double date, uint32_t days = 1);
// The records of a list from head to tail (moves the list's iterator).
std::vector<ActivityRecord*> Records(CSez* list);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// A file that exists but cannot be opened while this object lives, even by
// root: held open without sharing on Windows, a socket elsewhere.
class UnopenableFile {
 public:
  explicit UnopenableFile(const std::string& path);
  ~UnopenableFile();
  UnopenableFile(const UnopenableFile&) = delete;
  UnopenableFile& operator=(const UnopenableFile&) = delete;

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

// The file calls of a piece of work, one entry per call, in order.
struct FileCallTrace {
  struct Entry {
    platform::FileCall call;
    std::string path;
    int nth;            // among the calls of its kind, from 0
    std::string phase;  // what the test was doing
  };
  std::vector<Entry> entries;
};

// The fault seam's plan for tests, installed for its lifetime: records every
// file call and fails the one chosen (the nth of a kind; a write after part
// of its bytes), once.
class FileFaults : public platform::FileFaultPlan {
 public:
  // How much of a failing write reaches the disk.
  enum class Cut { kNothing, kHalf, kAllButLast };

  FileFaults();
  ~FileFaults() override;
  FileFaults(const FileFaults&) = delete;
  FileFaults& operator=(const FileFaults&) = delete;

  void FailAt(platform::FileCall call, int nth, Cut cut = Cut::kNothing);
  // After that failure, the next call of then fails too (a cleanup on the
  // same failing disk).
  void ThenFail(platform::FileCall then);
  // Ends the failing; calls are still recorded.
  void Stop();
  void SetPhase(const std::string& phase);
  bool fired() const;
  const FileCallTrace& trace() const { return trace_; }

  bool Fail(platform::FileCall call, const std::string& path, size_t* length) override;

 private:
  mutable std::mutex mutex_;
  FileCallTrace trace_;
  int counts_[platform::kFileCallKinds] = {};
  std::string phase_;
  bool armed_ = false;
  bool fired_ = false;
  platform::FileCall call_ = platform::FileCall::kOpen;
  int nth_ = 0;
  Cut cut_ = Cut::kNothing;
  bool then_armed_ = false;
  platform::FileCall then_ = platform::FileCall::kOpen;
};

// The failure points of a trace: every call once, and every write also
// after half and after all but its last byte.
struct FailurePoint {
  FileCallTrace::Entry entry;
  size_t index;  // of the entry in the trace
  FileFaults::Cut cut;
  bool then_truncate = false;  // the cut-back after it fails too
};
std::vector<FailurePoint> FailurePoints(const FileCallTrace& trace);

// A path whose writes fail with "disk full" ("/dev/full"; "Z:\dev\full" under Wine).
std::string FullDevicePath();

}  // namespace testutil

#endif  // TRAMO_TESTS_CORE_TEST_UTIL_H_
