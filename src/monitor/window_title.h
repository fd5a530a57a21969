#ifndef TRAMO_MONITOR_WINDOW_TITLE_H_
#define TRAMO_MONITOR_WINDOW_TITLE_H_

#include <cstdint>
#include <string>

// The title of a window as the sampler reads it (Windows only): at most its
// first 254 characters, in code page 1250 whatever the system's own code
// page; empty for handle 0, a window without text or one that is gone.
std::string ReadWindowTitle(uintptr_t window);

#endif  // TRAMO_MONITOR_WINDOW_TITLE_H_
