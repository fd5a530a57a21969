#include "app/tracker.h"

#include <algorithm>

#include "platform/file.h"
#include "platform/system.h"
#include "store/log_files.h"
#include "support/datetime.h"
#include "support/events.h"
#include "support/excep_capture.h"

namespace {

// A portable copy under Program Files may not write beside itself; the file
// is removed at once.
bool TakesNewFile(const std::string& folder, std::string* error) {
  const std::string probe = folder + "!Zkouska.tmp";
  platform::File file;
  if (!file.Create(probe, error)) return false;
  file.Close();
  platform::RemoveFile(probe);
  return true;
}

}  // namespace

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

bool Tracker::Tick(uintptr_t window, const std::string& window_title, bool away) {
  if (closed()) return false;
  sampler_.Tick(window, window_title, away);
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
  if (data_dir_writable_) {
    const std::string log_file = LogFileName(paths_.data_dir, platform::Now());
    AppendCloseMarker(log_file, pending_.TornFrom(log_file));
    if (capture_ != nullptr) capture_->SaveTo(debug_file_);
  }
  state_ = State::kClosed;
}

int32_t Tracker::SaveConfiguration(bool write) {
  Configuration config;
  host_->CollectConfiguration(&config);
  config.start_count = start_count_;
  std::string error;
  if (write && ini_ != nullptr && !WriteConfiguration(ini_.get(), config, &error)) {
    AddEvent(3, ConfigurationSaveFailureText(error));
  }
  // A negative minimum from the dialog counts as none, for the log writer
  // and the prune alike.
  return std::max<int32_t>(0, config.minimum_logged_seconds);
}

bool Tracker::DataDirWritable() {
  if (data_dir_writable_) return true;
  std::string error;
  data_dir_writable_ = platform::CreateFolders(paths_.data_dir, &error) &&
                       TakesNewFile(paths_.data_dir, &error);
  if (!data_dir_writable_ && !data_dir_failure_reported_) {
    data_dir_failure_reported_ = true;
    AddEvent(3, "Nelze zapisovat do datove slozky \"" + paths_.data_dir +
                    "\", data se neukladaji (slozka pouze pro cteni?) \r\nErrorMessage: " + error);
  }
  return data_dir_writable_;
}

void Tracker::Flush() {
  host_->EnableTimers(false);
  const bool writable = DataDirWritable();
  const int32_t minimum = SaveConfiguration(writable);

  if (writable) {
    pending_.OpenCipher();
    const std::string log_file = LogFileName(paths_.data_dir, platform::Now());
    std::string written;
    if (pending_.WriteLog(log_file, minimum, &written)) {
      // A loaded history takes the write as a reload would read it, so that
      // search and overview see the last hour; an unloaded one reads it at
      // its load.
      if (history_.loaded) history_.ReadWrittenText(written);
      pending_.Clear();
    }
    pending_.CloseCipher();
  }

  session_.PruneBelow(minimum);
  host_->RedrawLiveList();
  if (writable && capture_ != nullptr) capture_->SaveTo(protocol_file_);
  // The close's own flush leaves the timers off, as does any flush a close
  // interrupted.
  if (state_ == State::kRunning) host_->EnableTimers(true);
}

std::string Tracker::GetWindowExePath(uintptr_t window) { return host_->GetWindowExePath(window); }

bool Tracker::ZaznamenatPodrobne(const std::string& path) {
  return host_->ZaznamenatPodrobne(path);
}

void Tracker::LiveRecordChanged(ActivityRecord* record) { host_->LiveRecordChanged(record); }
