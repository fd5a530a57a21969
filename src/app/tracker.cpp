#include "app/tracker.h"

#include <algorithm>

#include "platform/file.h"
#include "platform/system.h"
#include "store/log_files.h"
#include "support/datetime.h"
#include "support/events.h"
#include "support/excep_capture.h"

Tracker::Tracker(const TrackerPaths& paths, TrackerHost* host)
    : paths_(paths),
      protocol_file_(paths.data_dir + "!Protokol.txt"),
      debug_file_(paths.exe_dir + "!debug.txt"),
      host_(host),
      sampler_(&pending_, &session_, this) {
  std::string error;
  platform::CreateFolders(paths_.data_dir, &error);
  ini_ = std::make_unique<platform::IniFile>(paths_.ini_file);
}

Tracker::~Tracker() = default;

void Tracker::ReadMainOptions(const std::vector<ScreenRect>& work_areas, Configuration* config) {
  if (ini_ == nullptr) return;
  ::ReadMainOptions(ini_.get(), work_areas, config);
  start_count_ = config->start_count;
}

void Tracker::ReadOtherWindowOptions(const std::vector<ScreenRect>& work_areas, Configuration* config) {
  if (ini_ == nullptr) return;
  ::ReadOtherWindowOptions(ini_.get(), work_areas, config);
}

bool Tracker::Tick(uintptr_t window, const std::string& window_title) {
  if (closed()) return false;
  sampler_.Tick(window, window_title);
  return true;
}

void Tracker::Vyhodnot(const std::string& path, const std::string& title) {
  if (closed()) return;
  sampler_.Vyhodnot(path, title);
}

void Tracker::DataFlush() {
  if (closed()) return;
  Flush();
}

void Tracker::TimerFlushTimer() {
  if (closed()) return;
  Flush();
  ArmFlushTimer();
}

void Tracker::ArmFlushTimer() {
  if (closed()) return;
  host_->SetFlushInterval(NextFlushDelay(platform::Now()));
}

void Tracker::TimeChanged() {
  if (closed()) return;
  session_.SetTimeChanged();
  pending_.SetTimeChanged();
  ArmFlushTimer();
}

void Tracker::MarkHibernation() {
  if (closed()) return;
  session_.SetHibernated();
  pending_.SetHibernated();
  ArmFlushTimer();
}

void Tracker::Close() {
  if (closed()) return;
  // Closing from here on: a second close (the session ending while the
  // window closes) and every timer message find the tracker closed.
  state_ = State::kClosing;
  Flush();
  host_->KillTimers();
  ini_.reset();
  const std::string log_file = LogFileName(paths_.data_dir, platform::Now());
  AppendCloseMarker(log_file, pending_.TornFrom(log_file));
  if (capture_ != nullptr) capture_->SaveTo(debug_file_);
  state_ = State::kClosed;
}

int32_t Tracker::SaveConfiguration() {
  Configuration config;
  host_->CollectConfiguration(&config);
  config.start_count = start_count_;
  std::string error;
  if (ini_ != nullptr && !WriteConfiguration(ini_.get(), config, &error)) {
    AddEvent(3, ConfigurationSaveFailureText(error));
  }
  // A negative minimum from the dialog counts as none, for the log writer
  // and the prune alike.
  return std::max<int32_t>(0, config.minimum_logged_seconds);
}

void Tracker::Flush() {
  host_->EnableTimers(false);
  const int32_t minimum = SaveConfiguration();

  pending_.OpenCipher();
  const std::string log_file = LogFileName(paths_.data_dir, platform::Now());
  if (pending_.WriteLog(log_file, minimum)) {
    // HistoryDb refuses what lies after the last period it has read.
    for (const ActivityRecord* r = pending_.head(); r != nullptr; r = r->next) {
      history_.AddHistoryRecord(r->path, r->title, r->time / 10, r->stamp);
    }
    pending_.Clear();
  }
  pending_.CloseCipher();

  session_.PruneBelow(minimum);
  host_->RedrawLiveList();
  if (capture_ != nullptr) capture_->SaveTo(protocol_file_);
  // The close's own flush leaves the timers off, as does any flush a close
  // interrupted.
  if (state_ == State::kRunning) host_->EnableTimers(true);
}

std::string Tracker::GetWindowExePath(uintptr_t window) { return host_->GetWindowExePath(window); }

bool Tracker::ZaznamenatPodrobne(const std::string& path) {
  return host_->ZaznamenatPodrobne(path);
}

void Tracker::LiveRecordChanged(ActivityRecord* record) { host_->LiveRecordChanged(record); }
