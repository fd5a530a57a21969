#ifndef TRAMO_TESTS_CORE_TEST_UTIL_H_
#define TRAMO_TESTS_CORE_TEST_UTIL_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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
  ~TempFolder();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// The interned id of a text.
inline TextId Id(const std::string& text) { return Texts().Intern(text); }
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

// A path whose writes fail with "disk full" ("/dev/full"; "Z:\dev\full" under Wine).
std::string FullDevicePath();

}  // namespace testutil

#endif  // TRAMO_TESTS_CORE_TEST_UTIL_H_
