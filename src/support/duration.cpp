#include "support/duration.h"

namespace {

const char kSortTemplate[] = "000 dní 00:00:00";
constexpr size_t kSortTemplateLength = sizeof(kSortTemplate) - 1;

// The sort layout counts bytes of code page 1250; a build without
// -fexec-charset=CP1250 would make "í" two bytes and break every key.
static_assert(kSortTemplateLength == 16,
              "sources must be compiled with -fexec-charset=CP1250");

}  // namespace

std::string PadTwo(const std::string& text) {
  if (text.size() < 2) return "0" + text;
  return text;
}

std::string FormatDuration(uint32_t tenths) {
  const uint32_t seconds = tenths / 10;
  std::string text = PadTwo(std::to_string(seconds / 60 % 60)) + ":" +
                     PadTwo(std::to_string(seconds % 60));
  const uint32_t hours = seconds / 3600;
  if (hours != 0) text = std::to_string(hours % 24) + ":" + text;
  const uint32_t days = hours / 24;
  if (days != 0) {
    if (hours % 24 < 10) text = "0" + text;
    text = std::to_string(days) + " dní " + text;
  }
  return text;
}

std::string DurationSortKey(const std::string& text) {
  if (text.size() >= kSortTemplateLength) return text;
  return std::string(kSortTemplate, kSortTemplateLength - text.size()) + text;
}
