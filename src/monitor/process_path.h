#ifndef TRAMO_MONITOR_PROCESS_PATH_H_
#define TRAMO_MONITOR_PROCESS_PATH_H_

#include <cstdint>
#include <string>

// What the system answered about a foreground window: its owner, a
// Windows.UI.Core.CoreWindow child of another process (a Store app runs in
// one inside its frame host's window), and about the process the window
// stands for, its image path query and the process snapshot. Texts are
// code page 1250, whatever the system's own code page.
struct WindowAnswers {
  uint32_t owner = 0;
  uint32_t core_window_owner = 0;  // 0: no such child
  bool image_known = false;
  std::string image_path;
  bool listed = false;  // by the snapshot, asked only when the query failed
  std::string bare_name;
};

// The process the window's time goes to: the Store app's, not its frame host's.
uint32_t WindowProcessOf(const WindowAnswers& answers);

// The path recorded for the window: the image path; for a process that
// cannot be queried (a higher integrity level), the snapshot's bare name;
// empty for a process that is gone. Process 0 is "System Idle Process".
std::string ExePathOf(const WindowAnswers& answers);

// ExePathOf the system's answers (Windows only). Only the one process is
// opened, and the snapshot taken only when its query fails.
std::string GetWindowExePath(uintptr_t window);

// Image path (full_path) or base name of one running process; empty when it
// cannot be opened or queried, or has ended (Windows only).
std::string GetProcessImageName(uint32_t process_id, bool full_path);

#endif  // TRAMO_MONITOR_PROCESS_PATH_H_
