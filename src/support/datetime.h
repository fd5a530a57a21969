#ifndef TRAMO_SUPPORT_DATETIME_H_
#define TRAMO_SUPPORT_DATETIME_H_

#include <cstdint>
#include <stdexcept>
#include <string>

// Date-times are local time held as a double: whole days since 30.12.1899,
// the fraction being the time of day. A negative value keeps the classic
// meaning: its date is the value truncated toward zero and its time of day
// the absolute fraction (-1.25 is 29.12.1899 06:00).

struct DateTimeParts {
  int year, month, day, hour, minute, second, millisecond;
};

// Number of days of the month (proleptic Gregorian); 0 for a month outside
// 1..12.
int DaysInMonth(int year, int month);

// Builds a date-time from its fields. The fields must lie in their usual
// ranges (month 1-12, day within the month, hour 0-23, ...); others give an
// unspecified value but never undefined behaviour. Exact integer calendar
// arithmetic, no time zone.
double EncodeDateTime(int year, int month, int day, int hour = 0,
                      int minute = 0, int second = 0, int millisecond = 0);

// Splits a date-time into its fields. The value is rounded to the nearest
// millisecond first, so a fraction computed as 0.41666...6 reads back as
// 10:00:00.000 and a time that rounds to 24:00 rolls into the next day.
// Never fails: NaN reads as 30.12.1899; values outside 1.1.0001 ..
// 31.12.9999 are clamped to midnight of those days (rounding just below the
// lower end may give 31.12. of year 0).
DateTimeParts DecodeDateTime(double value);

// Day of the week of the (rounded) date: 1 = Monday ... 7 = Sunday.
int DayOfWeekMonday1(double value);

// The one date and time format of the program's files and list cells. Only
// the fields that matter are kept; the date-time texts below use the fixed
// characters directly.
struct FixedFormatSettings {
  uint32_t locale_id;  // Czech, 0x0405; the base of the Windows format
  char date_separator;
  char time_separator;
  std::string short_date_format;
  std::string long_date_format;
  std::string short_time_format;
  std::string long_time_format;
  std::string time_am_string;
  std::string time_pm_string;
  char decimal_separator;
};

// Fills *settings with the fixed format: "d/m/yyyy" with ".", "HH:mm:ss"
// with ":", no AM/PM, decimal ",".
void InitFixedFormat(FixedFormatSettings* settings);

// The process-wide fixed format, filled on first use and never changed.
const FixedFormatSettings& FixedFormat();

// "d.m.yyyy", followed by " HH:mm:ss" unless hour, minute and second are all
// zero (milliseconds are never shown and do not count).
std::string FixedDateTimeText(double value);

// The time of day alone, always "HH:mm:ss".
std::string FixedTimeText(double value);

// Reads "d.m.yyyy", "d.m.yyyy H:mm" or "d.m.yyyy H:mm:ss", or a time alone
// "H:mm" / "H:mm:ss" (which gives the time of day with date part 0). Day,
// month, hour, minute and second take one or two digits, the year exactly
// four (two-digit years are refused). Blanks around the text and between
// date and time are allowed; nothing else is. Fields are range-checked
// (year 1-9999, valid day of month, hour 0-23, minute and second 0-59).
// Returns false and leaves *value unchanged when the text is not valid.
bool TryParseFixedDateTime(const std::string& text, double* value);

// "'<text>' is not a valid date and time".
std::string InvalidDateTimeMessage(const std::string& text);

class ConversionError : public std::runtime_error {
 public:
  explicit ConversionError(const std::string& message)
      : std::runtime_error(message) {}
};

// TryParseFixedDateTime that throws ConversionError with
// InvalidDateTimeMessage(text) when the text is not valid.
double ParseFixedDateTime(const std::string& text);

// Milliseconds from now to the next flush at 59:59 past an hour; a flush
// less than 29 s away is skipped for the one an hour later. The result lies
// in 29000 .. 3628999.
int32_t NextFlushDelay(double now);

// True when |value| < 1e-26: a stored date-time that was never set.
bool IsNearZero(double value);

#endif  // TRAMO_SUPPORT_DATETIME_H_
