#ifndef TRAMO_APP_TRACKER_H_
#define TRAMO_APP_TRACKER_H_

#include <cstdint>
#include <memory>
#include <string>

#include "app/configuration.h"
#include "monitor/sampler.h"
#include "platform/ini_file.h"
#include "store/cglobal.h"
#include "store/csez.h"

class TExcepCapture;

// What the tracker needs from the main window. All calls come on the GUI
// thread from inside the tracker's own methods.
class TrackerHost {
 public:
  virtual ~TrackerHost() = default;
  // Starts or stops Timer1 and TimerFlush together. Stopping keeps their
  // intervals.
  virtual void EnableTimers(bool enabled) = 0;
  // Sets TimerFlush's interval in milliseconds; this restarts it when it is
  // enabled.
  virtual void SetFlushInterval(int32_t delay_ms) = 0;
  // Stops both timers for good: the tracker has closed and never asks for
  // them again.
  virtual void KillTimers() = 0;
  // Fills *config with the values the windows and controls hold now (the
  // tracker supplies start_count itself).
  virtual void CollectConfiguration(Configuration* config) = 0;
  // Redraws the list view from SessionList if it shows the live view
  // (ViewMode 1); otherwise does nothing.
  virtual void RedrawLiveList() = 0;
  // Executable path of the window's process, or empty (GetWindowExePath).
  virtual std::string GetWindowExePath(uintptr_t window) = 0;
  // ZaznamenatPodrobne over the detailed-statistics editor's text.
  virtual bool ZaznamenatPodrobne(const std::string& path) = 0;
  // Zmen: update or insert the live row of a SessionList record.
  virtual void LiveRecordChanged(ActivityRecord* record) = 0;
};

// Where the tracker's files live. Folder paths end with their separator.
struct TrackerPaths {
  std::string data_dir;  // DataDir
  std::string exe_dir;   // ExeDir
  std::string ini_file;  // IniFileName(DataDir, exe path)
};

// The running tracker behind the main window: the four lists, the
// configuration file, the sampler, the hourly flush and the close. Running
// from construction until Close(); after Close() every method that samples,
// flushes or arms a timer does nothing, so a timer message that is already
// queued cannot write after the close marker.
class Tracker : private SamplerHooks {
 public:
  // Creates DataDir (failure is ignored: the first flush tries again),
  // opens the configuration file and creates the lists. host (not owned)
  // must outlive the tracker.
  Tracker(const TrackerPaths& paths, TrackerHost* host);
  ~Tracker() override;
  Tracker(const Tracker&) = delete;
  Tracker& operator=(const Tracker&) = delete;

  // The error capture whose events a flush saves to ProtocolFile and the
  // close to DebugFile (not owned; may stay null until it exists).
  void AttachCapture(TExcepCapture* capture) { capture_ = capture; }

  // Configuration reads of the window's creation and of the deferred start
  // (see configuration.h). The first also keeps "Spusteni" as StartCount.
  void ReadMainOptions(const std::vector<ScreenRect>& work_areas, Configuration* config);
  void ReadOtherWindowOptions(const std::vector<ScreenRect>& work_areas, Configuration* config);

  // Timer1Timer after the window has read the foreground window and its
  // title. False (and nothing happens) once the tracker is closed.
  bool Tick(uintptr_t window, const std::string& window_title, bool away = false);
  // Attributes one sample (see Sampler::Vyhodnot); ignored once closed.
  void Vyhodnot(const std::string& path, const std::string& title);

  // Stops the timers, saves the configuration, writes PendingList into the
  // month's log and adds the write to a loaded HistoryDb as read, prunes
  // SessionList below the minimum logged time, redraws, saves the event
  // protocol and starts the timers again. Ignored once closed. While DataDir
  // takes no files (one event says so, the first time) nothing is written,
  // there or anywhere else, and PendingList waits for a later flush.
  void DataFlush();
  // The flush timer: DataFlush, then ArmFlushTimer.
  void TimerFlushTimer();
  // Sets the flush timer to NextFlushDelay of now.
  void ArmFlushTimer();
  // WM_TIMECHANGE (after the default handling): flags SessionList, then
  // PendingList, and re-arms the flush timer.
  void TimeChanged();
  // A sampling gap: the same with the hibernation flags.
  void MarkHibernation() override;

  // The close sequence, for the close query and the end of the session
  // alike: a last flush that leaves the timers off, then the tracker is
  // closed for good and the host's timers killed, the configuration file
  // released, the clean-exit marker appended to the month's log and the
  // remaining events saved to DebugFile (neither while DataDir takes no
  // files). A second call does nothing.
  void Close();
  bool closed() const { return state_ != State::kRunning; }

  // CheckFileview.
  void SetLiveUpdates(bool on) { sampler_.set_live_updates(on); }
  bool LiveUpdates() const { return sampler_.live_updates(); }

  CSez& PendingList() { return pending_; }
  CSez& SessionList() { return session_; }
  CGlobal& HistoryDb() { return history_; }
  CGlobal& ResultDb() { return result_; }
  const Sampler& sampler() const { return sampler_; }
  int32_t StartCount() const { return start_count_; }

  const std::string& DataDir() const { return paths_.data_dir; }
  const std::string& ExeDir() const { return paths_.exe_dir; }
  const std::string& ProtocolFile() const { return protocol_file_; }
  const std::string& DebugFile() const { return debug_file_; }
  // The open configuration file; null after Close().
  platform::IniFile* ini() { return ini_.get(); }

 private:
  enum class State { kRunning, kClosing, kClosed };

  // DataFlush's steps; timers come back on only while still running.
  void Flush();
  // Writes the configuration (if write), recording a failure; returns the
  // minimum logged time in seconds, never negative.
  int32_t SaveConfiguration(bool write);
  // Whether DataDir exists and takes a new file; asked again at each flush
  // until it does. The first failure becomes one event.
  bool DataDirWritable();

  // SamplerHooks, forwarded to the host.
  std::string GetWindowExePath(uintptr_t window) override;
  bool ZaznamenatPodrobne(const std::string& path) override;
  void LiveRecordChanged(ActivityRecord* record) override;

  TrackerPaths paths_;
  std::string protocol_file_;
  std::string debug_file_;
  TrackerHost* host_;
  TExcepCapture* capture_ = nullptr;
  std::unique_ptr<platform::IniFile> ini_;
  int32_t start_count_ = 0;
  CSez pending_;
  CSez session_;
  CGlobal history_;
  CGlobal result_;
  Sampler sampler_;
  State state_ = State::kRunning;
  bool data_dir_writable_ = false;
  bool data_dir_failure_reported_ = false;
};

#endif  // TRAMO_APP_TRACKER_H_
