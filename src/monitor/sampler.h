#ifndef TRAMO_MONITOR_SAMPLER_H_
#define TRAMO_MONITOR_SAMPLER_H_

#include <cstdint>
#include <string>

#include "store/csez.h"

// Interval of the sampling timer Timer1 in milliseconds.
constexpr uint32_t kSampleIntervalMs = 500;

// Title and path substitutes, used exactly as written.
extern const char kUntitledTitle[];     // "[bez titulku]"
extern const char kNoWindowTitle[];     // "[system ;]"
extern const char kNoWindowPath[];      // "[system;]"
extern const char kAwayPath[];          // "[necinnost;]": time nobody worked
constexpr size_t kMaxTitleLength = 254;  // what a 256-byte read with count 255 keeps

struct SampleTexts {
  std::string path;
  std::string title;
};

// The path and title one tick attributes: the title cut to its first 254
// bytes; an empty title becomes "[bez titulku]", and with no foreground
// window at all (handle 0) the title "[system ;]" and path "[system;]".
SampleTexts TickTexts(uintptr_t window, const std::string& window_path,
                      const std::string& window_title);

// "Nepočítat čas bez práce s klávesnicí a myší po N minutách": off when
// minutes is 0. Time counts as away once the last keyboard or mouse input is
// minutes old, and while the workstation is locked or no desktop takes input.
struct AwayRule {
  uint32_t minutes = 0;
};
bool IsAway(const AwayRule& rule, uint64_t idle_ms, bool locked);

// The two guards, as functions of the timer's interval (with 500 ms: more
// than 5 s, and more than 50 s).
inline bool ExceedsClockChangeLimit(uint64_t tenths, uint32_t interval_ms) {
  return interval_ms < tenths * 10;
}
inline bool IsSamplingGap(uint64_t tenths, uint32_t interval_ms) { return interval_ms < tenths; }

// Tenths of a second between two clock readings of millisecond resolution,
// in either direction, rounded half up.
uint64_t ElapsedTenths(double from, double to);

// What the sampler asks of the rest of the program.
class SamplerHooks {
 public:
  virtual ~SamplerHooks() = default;
  // Executable path of the process owning the window, or empty.
  virtual std::string GetWindowExePath(uintptr_t window) = 0;
  // ZaznamenatPodrobne: whether the path keeps records per title.
  virtual bool ZaznamenatPodrobne(const std::string& path) = 0;
  // Zmen: a SessionList record was created or changed (only while live
  // updates are on). The record stays valid until the list next changes.
  virtual void LiveRecordChanged(ActivityRecord* record) = 0;
  // A gap between samples: mark both lists and re-arm the flush timer.
  virtual void MarkHibernation() = 0;
};

// Attributes foreground time to the records of PendingList and SessionList.
// The lists and hooks are not owned and must outlive the sampler.
class Sampler {
 public:
  Sampler(CSez* pending, CSez* session, SamplerHooks* hooks,
          uint32_t interval_ms = kSampleIntervalMs);
  Sampler(const Sampler&) = delete;
  Sampler& operator=(const Sampler&) = delete;

  // One tick of Timer1 after the foreground window and its title were read:
  // looks the path up only when the window differs from the last one, then
  // calls Vyhodnot with TickTexts. While away (IsAway) the sample goes to
  // "[necinnost;]" instead, without a title; the window is not looked up.
  void Tick(uintptr_t window, const std::string& window_title, bool away = false);

  // Attributes one sample, time from platform::Now(): 5 tenths on a change of
  // path, else the elapsed tenths; 5 when the clock was changed (timeChanged
  // on PendingList) and more than 10 intervals passed, or after a gap of
  // more than interval_ms tenths (which also marks hibernation). The title
  // is dropped unless ZaznamenatPodrobne(path).
  void Vyhodnot(const std::string& path, const std::string& title);

  // The hidden live-update check box CheckFileview (on at start).
  void set_live_updates(bool on) { live_updates_ = on; }
  bool live_updates() const { return live_updates_; }

  uintptr_t LastWindow() const { return last_window_; }
  const std::string& LastWindowPath() const { return last_window_path_; }
  const std::string& LastPath() const { return last_path_; }
  double LastSampleTime() const { return last_sample_time_; }

 private:
  void Attribute(CSez* list, const std::string& path, const std::string& title, uint32_t tenths,
                 bool live);

  CSez* pending_;
  CSez* session_;
  SamplerHooks* hooks_;
  uint32_t interval_ms_;
  bool live_updates_ = true;
  uintptr_t last_window_ = 2;
  std::string last_window_path_;
  std::string last_path_;
  double last_sample_time_ = 0;
};

#endif  // TRAMO_MONITOR_SAMPLER_H_
