#include "platform/system.h"

#include <time.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "support/datetime.h"

namespace platform {

double SystemNow() {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  tm local;
  localtime_r(&now.tv_sec, &local);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                        local.tm_hour, local.tm_min, local.tm_sec,
                        static_cast<int>(now.tv_nsec / 1000000));
}

uint32_t SystemTickCount() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                               static_cast<uint64_t>(now.tv_nsec / 1000000));
}

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

uint32_t WorkingSetSize() {
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  unsigned long total_pages = 0, resident_pages = 0;
  const int fields = std::fscanf(statm, "%lu %lu", &total_pages, &resident_pages);
  std::fclose(statm);
  if (fields != 2) return 0;
  return static_cast<uint32_t>(resident_pages * static_cast<unsigned long>(sysconf(_SC_PAGESIZE)));
}

std::string SpecialFolderPath(int) { return std::string(); }

std::string UserLongTimeText(double date_time) { return FixedTimeText(date_time); }

}  // namespace platform
