#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include "bench_common.h"

namespace {

bool Counters(PROCESS_MEMORY_COUNTERS* counters) {
  counters->cb = sizeof(*counters);
  return GetProcessMemoryInfo(GetCurrentProcess(), counters, sizeof(*counters)) != 0;
}

}  // namespace

uint64_t PeakMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters;
  return Counters(&counters) ? counters.PeakWorkingSetSize : 0;
}

uint64_t PeakPrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters;
  return Counters(&counters) ? counters.PeakPagefileUsage : 0;
}

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return (ticks(kernel) + ticks(user)) * 1e-7;  // 100 ns units
}
