#ifndef TRAMO_SUPPORT_EXCEP_CAPTURE_H_
#define TRAMO_SUPPORT_EXCEP_CAPTURE_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/events.h"

// Facts about the running program shown in the run header.
struct RunInfo {
  std::string exe_path;  // full path of the executable
  std::string version;   // four fields, e.g. "2.2.0.1803"
  uint32_t working_set;  // bytes; 0 when unknown
};

// Executable path and working set from the platform layer; the version is the
// caller's (the GUI reads it from its version resource).
RunInfo CurrentRunInfo(const std::string& version);

// What the error-log viewer needs to hear. Calls come on the thread that uses
// the capture.
class CaptureListener {
 public:
  virtual ~CaptureListener() = default;
  // The run header (once, from the constructor) and then every recorded
  // entry, exactly as they go into the protocol.
  virtual void OnCaptureText(const std::string& text) = 0;
  // The first failure of the run to save the protocol: show message (the
  // unindented event text) modally, then the viewer modally. Nested SaveTo
  // calls from the modal loops are allowed; their failures stay silent.
  virtual void OnFirstSaveFailure(const std::string& message) = 0;
};

// The one channel for failures: keeps the events of the run in memory and
// appends them to the event protocol file when asked. Never throws to its
// callers. Install it with SetEventSink so that the free AddEvent reaches it.
class TExcepCapture : public EventSink {
 public:
  // Builds the run header (time from platform::Now()) and makes it pending.
  // listener (not owned, may be null) must outlive the capture.
  TExcepCapture(int min_level, const RunInfo& info, CaptureListener* listener = nullptr);
  TExcepCapture(const TExcepCapture&) = delete;
  TExcepCapture& operator=(const TExcepCapture&) = delete;

  // Records one event unless level < MinLevel(): "*", level, " ", the user's
  // long time, " ", text with a space after every CR LF, CR LF.
  void AddEvent(int level, const std::string& text) override;

  // Appends Pending() and one more CR LF to the file, creating it and its
  // missing folders, and empties Pending(). Does nothing (and returns true)
  // when no entry was recorded since the last successful write. On failure
  // Pending() is kept for the next try; the first failure of the run also
  // records a level-3 event and calls OnFirstSaveFailure. Returns whether
  // the pending text is now on disk.
  bool SaveTo(const std::string& path);

  // Whether an event was recorded since the last call; clears the flag.
  bool HasNewEvent();

  // Protocol text not yet written: the run header until the first successful
  // write, then the entries recorded since the last one.
  const std::string& Pending() const { return pending_; }
  // 0 until the first failed save of the run, then 5.
  int FailureShown() const { return failure_shown_; }
  size_t HeaderLength() const { return header_length_; }
  int MinLevel() const { return min_level_; }

 private:
  size_t header_length_;
  std::string pending_;
  int min_level_;
  int failure_shown_ = 0;
  bool new_event_ = false;
  // Whether pending_ holds an entry. Its length alone cannot tell: after the
  // header has been written, one short entry is shorter than the header.
  bool entry_pending_ = false;
  CaptureListener* listener_;
};

#endif  // TRAMO_SUPPORT_EXCEP_CAPTURE_H_
