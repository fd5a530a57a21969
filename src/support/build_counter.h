#ifndef TRAMO_SUPPORT_BUILD_COUNTER_H_
#define TRAMO_SUPPORT_BUILD_COUNTER_H_

#include <cstdint>
#include <string>

// A text split before the run of decimal digits at its end: "2.2.0.1803"
// gives "2.2.0." and 1803, "0" gives "" and 0, "abc" gives "abc" and 0.
struct TrailingNumber {
  std::string prefix;
  int64_t number;  // 0 when the text ends in no digit
  bool fits;       // false when the digits exceed the 32-bit range
};
TrailingNumber SplitTrailingNumber(const std::string& text);

// The project options file of an executable: its path with the last four
// characters (".exe") replaced by ".dof"; empty for a shorter path.
std::string OptionsFilePath(const std::string& exe_path);
// The companion INI beside it: the same with ".ini".
std::string CompanionIniPath(const std::string& exe_path);

// The start-up build counter for the executable at exe_path. Only when its
// options file exists: raises the build number to one above the largest of
// [Version Info] Build, the trailing numbers of [Version Info Keys]
// ProductVersion and FileVersion of the options file and of
// [Version Info Keys] Kompilace of the companion INI, and writes it back
// with the prefixes unchanged (creating the companion INI). Every failure,
// and a number beyond the 32-bit range, ends the work silently. Returns
// whether all writes succeeded.
bool BuildCounter(const std::string& exe_path);

// BuildCounter for the running executable; run once, before any window.
void BuildCounter();

#endif  // TRAMO_SUPPORT_BUILD_COUNTER_H_
