#include "views/date_range.h"

#include "store/cglobal.h"
#include "support/datetime.h"

namespace {

constexpr int kLastYear = 9999;

FieldChange SetField(CalendarDate* date, CalendarDate changed) {
  if (changed.year > kLastYear || changed.day > DaysInMonth(changed.year, changed.month)) {
    return FieldChange::kNoSuchDate;
  }
  *date = changed;
  return FieldChange::kSet;
}

}  // namespace

CalendarDate CalendarDateOf(double date_time) {
  const DateTimeParts parts = DecodeDateTime(date_time);
  return CalendarDate{parts.year, parts.month, parts.day};
}

double MidnightOf(const CalendarDate& date) {
  return EncodeDateTime(date.year, date.month, date.day);
}

bool operator==(const CalendarDate& a, const CalendarDate& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

SearchRange CalendarRange(const CalendarDate& start, const CalendarDate& end) {
  return SearchRange{MidnightOf(start), MidnightOf(end) + 1};
}

FieldChange SetCalendarYear(CalendarDate* date, int year) {
  if (year < 1 || year == date->year) return FieldChange::kIgnored;
  CalendarDate changed = *date;
  changed.year = year;
  return SetField(date, changed);
}

FieldChange SetCalendarMonth(CalendarDate* date, int month) {
  if (month < 1 || month > 12 || month == date->month) return FieldChange::kIgnored;
  CalendarDate changed = *date;
  changed.month = month;
  return SetField(date, changed);
}

FieldChange SetCalendarDay(CalendarDate* date, int day) {
  if (day < 1 || day > DaysInMonth(date->year, date->month) || day == date->day) {
    return FieldChange::kIgnored;
  }
  CalendarDate changed = *date;
  changed.day = day;
  return SetField(date, changed);
}

void SetCalendarDate(CalendarDate* calendar, const CalendarDate& date) {
  SetCalendarDay(calendar, 1);
  SetCalendarYear(calendar, date.year);
  SetCalendarMonth(calendar, date.month);
  SetCalendarDay(calendar, date.day);
}

void SpinYear(DatePicker* picker, int year) {
  picker->spin_year = year;
  if (SetCalendarYear(&picker->calendar, year) == FieldChange::kNoSuchDate) {
    SetCalendarDay(&picker->calendar, 1);
    SetCalendarYear(&picker->calendar, year);
  }
}

void SpinMonth(DatePicker* picker, int month) {
  picker->spin_month = month;
  if (SetCalendarMonth(&picker->calendar, month) == FieldChange::kNoSuchDate) {
    SetCalendarDay(&picker->calendar, 1);
    SetCalendarMonth(&picker->calendar, month);
  }
}

void SyncSpinners(DatePicker* picker) {
  picker->spin_year = picker->calendar.year;
  picker->spin_month = picker->calendar.month;
}

void ShowDate(DatePicker* picker, const CalendarDate& date) {
  SetCalendarDate(&picker->calendar, date);
  SyncSpinners(picker);
}

void CopyDate(const DatePicker& source, DatePicker* target) {
  SetCalendarDay(&target->calendar, 1);
  SpinYear(target, source.calendar.year);
  SpinMonth(target, source.calendar.month);
  SetCalendarDay(&target->calendar, source.calendar.day);
}

CalendarFollowUp AfterCalendarDoubleClick(int calendar, unsigned view_mode) {
  if (calendar == 1) return CalendarFollowUp::kSearch;
  if (view_mode == 1 || view_mode == 2) return CalendarFollowUp::kSearch;
  if (view_mode == 3) return CalendarFollowUp::kOverview;
  return CalendarFollowUp::kNothing;
}

bool IsCalendarEnterKey(char key) { return key == '\r'; }

void ApplyHistoryLoad(const CGlobal& history, DatePicker* start, DatePicker* end) {
  if (!IsNearZero(history.earliest)) {
    SetCalendarDate(&start->calendar, CalendarDateOf(history.earliest));
  }
  SyncSpinners(start);
  SyncSpinners(end);
}

bool ShowFirstHistoryDate(const CGlobal& history, DatePicker* start) {
  if (history.earliest == 0) return false;
  ShowDate(start, CalendarDateOf(history.earliest));
  return true;
}

const char kLoadingHistoryText[] = "Načítám historii.";
const char kSearchingText[] = "Hledám...";
const char kReturningText[] = "Moment...";

std::string TenthsText(uint32_t tenths, char decimal_separator) {
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10 != 0) {
    text += decimal_separator;
    text += static_cast<char>('0' + tenths % 10);
  }
  return text;
}

std::string ComputersReadText(size_t read, size_t wanted) {
  if (wanted <= 1) return std::string();
  const std::string text = ", počítačů: " + std::to_string(read);
  return read == wanted ? text : text + " z " + std::to_string(wanted);
}

std::string HistoryLoadedText(uint32_t elapsed_ms, char decimal_separator) {
  uint32_t tenths = elapsed_ms / 100;
  const uint32_t rest = elapsed_ms % 100;
  if (rest > 50 || (rest == 50 && tenths % 2 == 1)) ++tenths;
  return "Historie načtena za " + TenthsText(tenths, decimal_separator) + "s";
}
