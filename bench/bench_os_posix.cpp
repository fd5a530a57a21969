#include <time.h>

#include <cstdio>
#include <cstring>

#include "bench_common.h"

namespace {

// A "Name:   1234 kB" line of /proc/self/status, in bytes.
uint64_t StatusKilobytes(const char* name) {
  FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  unsigned long long kilobytes = 0;
  const size_t name_length = std::strlen(name);
  while (std::fgets(line, sizeof(line), status) != nullptr) {
    if (std::strncmp(line, name, name_length) == 0 && line[name_length] == ':') {
      std::sscanf(line + name_length + 1, "%llu", &kilobytes);
      break;
    }
  }
  std::fclose(status);
  return kilobytes * 1024u;
}

}  // namespace

uint64_t PeakMemoryBytes() { return StatusKilobytes("VmHWM"); }

// Linux keeps no peak of private memory; VmPeak counts mappings never touched.
uint64_t PeakPrivateBytes() { return 0; }

double ProcessCpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}
