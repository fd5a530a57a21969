#include "support/version.h"

#include <cstdio>

VersionNumbers VersionFromWords(uint32_t most_significant, uint32_t least_significant) {
  return VersionNumbers{static_cast<uint16_t>(most_significant >> 16),
                        static_cast<uint16_t>(most_significant & 0xFFFF),
                        static_cast<uint16_t>(least_significant >> 16),
                        static_cast<uint16_t>(least_significant & 0xFFFF)};
}

std::string FormatVersion(const VersionNumbers& version, bool four_fields) {
  char text[32];
  if (four_fields) {
    std::snprintf(text, sizeof(text), "%u.%u.%u.%u", unsigned{version.major_number},
                  unsigned{version.minor_number}, unsigned{version.release},
                  unsigned{version.build});
  } else {
    std::snprintf(text, sizeof(text), "%u.%u.%u", unsigned{version.major_number},
                  unsigned{version.minor_number}, unsigned{version.release});
  }
  return text;
}
