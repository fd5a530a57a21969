#include "support/datetime.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kMsPerHour = 3600000;
// 1899-12-30, day 0 of the date-time scale, counted from 1970-01-01.
constexpr int64_t kEpochShift = -25569;
constexpr double kFirstDay = -693593.0;  // 1.1.0001
constexpr double kLastDay = 2958465.0;   // 31.12.9999

bool IsLeapYear(int64_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t mp = m > 2 ? m - 3 : m + 9;
  const int64_t doy = (153 * mp + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, DateTimeParts* parts) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  parts->year = static_cast<int>(yoe + era * 400 + (m <= 2));
  parts->month = static_cast<int>(m);
  parts->day = static_cast<int>(d);
}

// The value rounded to whole milliseconds, as a day number on the scale and
// the milliseconds into that day (0 .. 86399999).
void SplitDateTime(double value, int64_t* day, int64_t* ms_of_day) {
  if (std::isnan(value)) value = 0.0;
  if (value <= kFirstDay - 1.0) value = kFirstDay;
  if (value >= kLastDay + 1.0) value = kLastDay;
  const int64_t total = std::llround(value * static_cast<double>(kMsPerDay));
  *day = total / kMsPerDay;
  *ms_of_day = std::llabs(total) % kMsPerDay;
}

void AppendPadded(std::string* out, int value, int width) {
  char digits[12];
  int n = 0;
  unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  for (int i = n; i < width; ++i) out->push_back('0');
  while (n > 0) out->push_back(digits[--n]);
}

void AppendTime(std::string* out, const DateTimeParts& parts) {
  AppendPadded(out, parts.hour, 2);
  out->push_back(':');
  AppendPadded(out, parts.minute, 2);
  out->push_back(':');
  AppendPadded(out, parts.second, 2);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads min_digits..max_digits decimal digits at *pos.
bool ReadNumber(const std::string& text, size_t* pos, size_t end,
                int min_digits, int max_digits, int* value) {
  int n = 0;
  int v = 0;
  while (*pos < end && n < max_digits && text[*pos] >= '0' &&
         text[*pos] <= '9') {
    v = v * 10 + (text[*pos] - '0');
    ++*pos;
    ++n;
  }
  // More digits than allowed is an error, not the start of the next field.
  if (n < min_digits || (*pos < end && text[*pos] >= '0' && text[*pos] <= '9'))
    return false;
  *value = v;
  return true;
}

bool ReadChar(const std::string& text, size_t* pos, size_t end, char c) {
  if (*pos >= end || text[*pos] != c) return false;
  ++*pos;
  return true;
}

// Reads "H:mm" or "H:mm:ss" up to end; the result in milliseconds.
bool ReadTime(const std::string& text, size_t* pos, size_t end, int64_t* ms) {
  int hour = 0, minute = 0, second = 0;
  if (!ReadNumber(text, pos, end, 1, 2, &hour)) return false;
  if (!ReadChar(text, pos, end, ':')) return false;
  if (!ReadNumber(text, pos, end, 1, 2, &minute)) return false;
  if (*pos < end) {
    if (!ReadChar(text, pos, end, ':')) return false;
    if (!ReadNumber(text, pos, end, 1, 2, &second)) return false;
  }
  if (*pos != end) return false;
  if (hour > 23 || minute > 59 || second > 59) return false;
  *ms = hour * kMsPerHour + minute * 60000 + second * 1000;
  return true;
}

}  // namespace

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30,
                                31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

double EncodeDateTime(int year, int month, int day, int hour, int minute,
                      int second, int millisecond) {
  const int64_t date = DaysFromCivil(year, month, day) - kEpochShift;
  const int64_t ms = static_cast<int64_t>(hour) * kMsPerHour +
                     static_cast<int64_t>(minute) * 60000 +
                     static_cast<int64_t>(second) * 1000 + millisecond;
  const double time = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
  const double whole = static_cast<double>(date);
  return date < 0 ? whole - time : whole + time;
}

DateTimeParts DecodeDateTime(double value) {
  int64_t day = 0;
  int64_t ms = 0;
  SplitDateTime(value, &day, &ms);
  DateTimeParts parts;
  CivilFromDays(day + kEpochShift, &parts);
  parts.hour = static_cast<int>(ms / kMsPerHour);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.millisecond = static_cast<int>(ms % 1000);
  return parts;
}

int DayOfWeekMonday1(double value) {
  int64_t day = 0;
  int64_t ms = 0;
  SplitDateTime(value, &day, &ms);
  // Day 0, 30.12.1899, was a Saturday.
  int64_t index = (day + 5) % 7;
  if (index < 0) index += 7;
  return static_cast<int>(index) + 1;
}

void InitFixedFormat(FixedFormatSettings* settings) {
  settings->locale_id = 0x0405;
  settings->date_separator = '.';
  settings->time_separator = ':';
  settings->short_date_format = "d/m/yyyy";
  settings->long_date_format = "d/m/yyyy";
  settings->short_time_format = "HH:mm:ss";
  settings->long_time_format = "HH:mm:ss";
  settings->time_am_string.clear();
  settings->time_pm_string.clear();
  settings->decimal_separator = ',';
}

const FixedFormatSettings& FixedFormat() {
  static const FixedFormatSettings settings = [] {
    FixedFormatSettings s;
    InitFixedFormat(&s);
    return s;
  }();
  return settings;
}

std::string FixedDateTimeText(double value) {
  const DateTimeParts parts = DecodeDateTime(value);
  std::string out;
  out.reserve(20);
  AppendPadded(&out, parts.day, 1);
  out.push_back('.');
  AppendPadded(&out, parts.month, 1);
  out.push_back('.');
  AppendPadded(&out, parts.year, 4);
  if (parts.hour != 0 || parts.minute != 0 || parts.second != 0) {
    out.push_back(' ');
    AppendTime(&out, parts);
  }
  return out;
}

std::string FixedTimeText(double value) {
  std::string out;
  out.reserve(8);
  AppendTime(&out, DecodeDateTime(value));
  return out;
}

bool TryParseFixedDateTime(const std::string& text, double* value) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;

  // A time alone has its ":" before any ".".
  size_t first_mark = begin;
  while (first_mark < end && text[first_mark] >= '0' &&
         text[first_mark] <= '9')
    ++first_mark;
  size_t pos = begin;
  if (first_mark < end && text[first_mark] == ':') {
    int64_t ms = 0;
    if (!ReadTime(text, &pos, end, &ms)) return false;
    *value = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
    return true;
  }

  int day = 0, month = 0, year = 0;
  if (!ReadNumber(text, &pos, end, 1, 2, &day)) return false;
  if (!ReadChar(text, &pos, end, '.')) return false;
  if (!ReadNumber(text, &pos, end, 1, 2, &month)) return false;
  if (!ReadChar(text, &pos, end, '.')) return false;
  if (!ReadNumber(text, &pos, end, 4, 4, &year)) return false;
  if (year < 1 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  int64_t ms = 0;
  if (pos < end) {
    if (!IsBlank(text[pos])) return false;
    while (pos < end && IsBlank(text[pos])) ++pos;
    if (!ReadTime(text, &pos, end, &ms)) return false;
  }
  *value = EncodeDateTime(year, month, day, 0, 0, 0, static_cast<int>(ms));
  return true;
}

std::string InvalidDateTimeMessage(const std::string& text) {
  return "'" + text + "' is not a valid date and time";
}

double ParseFixedDateTime(const std::string& text) {
  double value = 0.0;
  if (!TryParseFixedDateTime(text, &value))
    throw ConversionError(InvalidDateTimeMessage(text));
  return value;
}

int32_t NextFlushDelay(double now) {
  const DateTimeParts parts = DecodeDateTime(now);
  const int32_t ms = parts.minute * 60000 + parts.second * 1000 +
                     parts.millisecond;
  int32_t rest = 3600000 - ms;
  if (rest < 30000) rest += 3600000;
  return rest - 1000;
}

bool IsNearZero(double value) { return std::fabs(value) < 1e-26; }
