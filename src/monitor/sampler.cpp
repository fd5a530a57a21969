#include "monitor/sampler.h"

#include <cmath>

#include "platform/system.h"
#include "support/datetime.h"

const char kUntitledTitle[] = "[bez titulku]";
const char kNoWindowTitle[] = "[system ;]";
const char kNoWindowPath[] = "[system;]";
const char kAwayPath[] = "[necinnost;]";

namespace {

// One sample's share when the real time does not count.
constexpr uint32_t kOneSample = 5;

}  // namespace

SampleTexts TickTexts(uintptr_t window, const std::string& window_path,
                      const std::string& window_title) {
  SampleTexts texts{window_path, window_title.substr(0, kMaxTitleLength)};
  if (texts.title.empty()) {
    if (window == 0) {
      texts.title = kNoWindowTitle;
      texts.path = kNoWindowPath;
    } else {
      texts.title = kUntitledTitle;
    }
  }
  return texts;
}

bool IsAway(const AwayRule& rule, uint64_t idle_ms, bool locked) {
  if (rule.minutes == 0) return false;
  return locked || idle_ms >= uint64_t{rule.minutes} * 60000;
}

uint64_t ElapsedTenths(double from, double to) {
  // Both readings come from a millisecond clock: counting each in whole
  // milliseconds first keeps the float representation from losing one.
  const double ms = std::fabs(std::round(to * 86400000.0) - std::round(from * 86400000.0));
  if (!(ms < 1e18)) return UINT64_MAX / 16;  // far beyond any guard
  return (static_cast<uint64_t>(ms) + 50) / 100;
}

Sampler::Sampler(CSez* pending, CSez* session, SamplerHooks* hooks, uint32_t interval_ms)
    : pending_(pending), session_(session), hooks_(hooks), interval_ms_(interval_ms) {}

void Sampler::Tick(uintptr_t window, const std::string& window_title, bool away) {
  // Entering and leaving count as switches: the path changes.
  if (away) {
    Vyhodnot(kAwayPath, std::string());
    return;
  }
  // The lookup enumerates processes: only a new foreground window pays for it.
  if (window != last_window_) {
    last_window_ = window;
    last_window_path_ = hooks_->GetWindowExePath(window);
  }
  const SampleTexts texts = TickTexts(window, last_window_path_, window_title);
  Vyhodnot(texts.path, texts.title);
}

void Sampler::Vyhodnot(const std::string& path, const std::string& title) {
  const double now = platform::Now();
  uint64_t tenths;
  if (path != last_path_) {
    last_path_ = path;
    tenths = kOneSample;
  } else if (IsNearZero(last_sample_time_)) {
    // No earlier sample to measure from: an empty first path must not look
    // like a gap of a century.
    tenths = kOneSample;
  } else {
    tenths = ElapsedTenths(last_sample_time_, now);
  }
  if (ExceedsClockChangeLimit(tenths, interval_ms_) && pending_->timeChanged) tenths = kOneSample;
  if (IsSamplingGap(tenths, interval_ms_)) {
    tenths = kOneSample;
    hooks_->MarkHibernation();
  }
  last_sample_time_ = now;

  const std::string& kept_title =
      !title.empty() && hooks_->ZaznamenatPodrobne(path) ? title : std::string();
  const uint32_t t = static_cast<uint32_t>(tenths);
  Attribute(pending_, path, kept_title, t, false);
  Attribute(session_, path, kept_title, t, live_updates_);
}

void Sampler::Attribute(CSez* list, const std::string& path, const std::string& title,
                        uint32_t tenths, bool live) {
  ActivityRecord* record = list->FindPath(path);
  record = record != nullptr ? list->AddTime(record, tenths) : list->NewRecord(path, tenths, "");
  if (live) hooks_->LiveRecordChanged(record);
  if (title.empty()) return;
  record = list->FindPathTitle(path, title);
  record = record != nullptr ? list->AddTime(record, tenths) : list->NewRecord(path, tenths, title);
  if (live) hooks_->LiveRecordChanged(record);
}
