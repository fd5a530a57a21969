#include "support/duration.h"

#include <algorithm>
#include <charconv>

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
  // Written into one buffer: a search formats two durations per row.
  const uint32_t seconds = tenths / 10;
  const uint32_t hours = seconds / 3600;
  const uint32_t days = hours / 24;
  char text[32];
  char* end = text;
  const auto two_digits = [&end](uint32_t value) {
    *end++ = static_cast<char>('0' + value / 10);
    *end++ = static_cast<char>('0' + value % 10);
  };
  if (days != 0) {
    static const char kDays[] = " dní ";
    end = std::to_chars(end, text + sizeof(text), days).ptr;
    end = std::copy(kDays, kDays + sizeof(kDays) - 1, end);
    two_digits(hours % 24);
    *end++ = ':';
  } else if (hours != 0) {
    end = std::to_chars(end, text + sizeof(text), hours).ptr;
    *end++ = ':';
  }
  two_digits(seconds / 60 % 60);
  *end++ = ':';
  two_digits(seconds % 60);
  return std::string(text, end);
}

std::string DurationSortKey(const std::string& text) {
  if (text.size() >= kSortTemplateLength) return text;
  return std::string(kSortTemplate, kSortTemplateLength - text.size()) + text;
}
