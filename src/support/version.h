#ifndef TRAMO_SUPPORT_VERSION_H_
#define TRAMO_SUPPORT_VERSION_H_

#include <cstdint>
#include <string>

// The four 16-bit numbers of a product version.
struct VersionNumbers {
  uint16_t major_number;
  uint16_t minor_number;
  uint16_t release;
  uint16_t build;
};

// The product version held by the two 32-bit words of a fixed version record:
// high and low half of the most significant word, then of the least.
VersionNumbers VersionFromWords(uint32_t most_significant, uint32_t least_significant);

// "2.2.0.1803" with four_fields, else "2.2.0" (the build number left out).
std::string FormatVersion(const VersionNumbers& version, bool four_fields);

// Windows only: the product version in the version resource of the
// executable (or DLL) at exe_path, formatted as above; an empty text when the
// file has no version resource or it cannot be read.
std::string VersionText(const std::string& exe_path, bool four_fields);

#endif  // TRAMO_SUPPORT_VERSION_H_
