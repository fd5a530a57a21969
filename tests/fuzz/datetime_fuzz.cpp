// The fixed date-time parser on any text, and the texts it reads back: a
// text it accepts names a date-time whose own text it reads to the same
// second; a text it refuses raises the conversion error with that text.
// The same bytes as a raw date-time must decode and format without fault.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_util.h"
#include "store/log_format.h"
#include "support/datetime.h"

namespace {

// Before 1899 a time of day counts away from zero: 1.1.0001 12:00 is
// -693593.5.
constexpr double kFirstDay = -693594.0;  // 31.12.0000
constexpr double kLastDay = 2958466.0;   // 1.1.10000

void CheckParse(const std::string& text) {
  double value = -1.0;
  if (!TryParseFixedDateTime(text, &value)) {
    FUZZ_CHECK(value == -1.0);
    try {
      ParseFixedDateTime(text);
      FUZZ_CHECK(false);
    } catch (const ConversionError& error) {
      // what() ends at a NUL byte of the text.
      FUZZ_CHECK(std::strcmp(error.what(), InvalidDateTimeMessage(text).c_str()) == 0);
    }
    return;
  }
  FUZZ_CHECK(std::isfinite(value));
  FUZZ_CHECK(ParseFixedDateTime(text) == value);
  const DateTimeParts parts = DecodeDateTime(value);
  FUZZ_CHECK(parts.millisecond == 0);
  if (value >= 0 && value < 1) {
    // A time alone: its time text reads back as itself.
    double again = -1.0;
    FUZZ_CHECK(TryParseFixedDateTime(FixedTimeText(value), &again) && again == value);
    return;
  }
  FUZZ_CHECK(value > kFirstDay && value < kLastDay);
  const std::string written = FixedDateTimeText(value);
  double again = 0;
  FUZZ_CHECK(TryParseFixedDateTime(written, &again));
  FUZZ_CHECK(FixedDateTimeText(again) == written);
  FUZZ_CHECK(std::fabs(again - value) < 0.5 / 86400.0);
}

void CheckValue(double value) {
  const DateTimeParts parts = DecodeDateTime(value);
  FUZZ_CHECK(parts.month >= 1 && parts.month <= 12 && parts.day >= 1 &&
             parts.day <= DaysInMonth(parts.year, parts.month));
  FUZZ_CHECK(parts.hour >= 0 && parts.hour < 24 && parts.minute >= 0 && parts.minute < 60 &&
             parts.second >= 0 && parts.second < 60);
  const int32_t delay = NextFlushDelay(value);
  FUZZ_CHECK(delay >= 29000 && delay <= 3628999);
  const int weekday = DayOfWeekMonday1(value);
  FUZZ_CHECK(weekday >= 1 && weekday <= 7);
  FUZZ_CHECK(FixedTimeText(value).size() == 8);
  PeriodEndText(value, value + 1.0 / 24.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckParse(std::string(reinterpret_cast<const char*>(data), size));
  if (size >= sizeof(double)) {
    double value = 0;
    std::memcpy(&value, data, sizeof(value));
    CheckValue(value);
  }
  return 0;
}
