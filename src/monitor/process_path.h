#ifndef TRAMO_MONITOR_PROCESS_PATH_H_
#define TRAMO_MONITOR_PROCESS_PATH_H_

#include <cstdint>
#include <string>

// Image path of the process that owns a top-level window (Windows only), or
// empty when the window or its process cannot be found. A process that cannot
// be opened or queried yields the bare executable name of the process
// snapshot; process 0 is "System Idle Process".
std::string GetWindowExePath(uintptr_t window);

// Image path (full_path) or base name of one process; empty when it cannot
// be opened or queried.
std::string GetProcessImageName(uint32_t process_id, bool full_path);

#endif  // TRAMO_MONITOR_PROCESS_PATH_H_
