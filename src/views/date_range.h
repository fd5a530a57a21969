#ifndef TRAMO_VIEWS_DATE_RANGE_H_
#define TRAMO_VIEWS_DATE_RANGE_H_

#include <cstdint>
#include <string>

class CGlobal;

// The date range of search and overview: two month calendars, each with a
// month and a year spinner. The window copies its controls into these structs,
// calls the rules below and writes the structs back.

// The date a month calendar holds (no time of day).
struct CalendarDate {
  int year = 1899;
  int month = 12;
  int day = 30;
};

// A calendar with its two spinners. The spinners normally mirror the
// calendar, but keep a value the calendar ignored (a year of 0, say).
struct DatePicker {
  CalendarDate calendar;
  int spin_month = 12;
  int spin_year = 1899;
};

// The calendar date of a date-time (rounded to the millisecond like every
// date text of the program).
CalendarDate CalendarDateOf(double date_time);
// Midnight at the start of the date.
double MidnightOf(const CalendarDate& date);
bool operator==(const CalendarDate& a, const CalendarDate& b);

// The range search and overview compare against, both ends inclusive: the
// start date at 00:00 up to 00:00 of the day after the end date. The start
// may lie after the end.
struct SearchRange {
  double from = 0;
  double to = 0;
};
SearchRange CalendarRange(const CalendarDate& start, const CalendarDate& end);

// What a month calendar does with one new field. Values below 1, months above
// 12, days beyond the length of the shown month and the present value are
// ignored; a value that would give a date that does not exist (31 in a month
// of 30 days, a year past 9999) is refused and changes nothing.
enum class FieldChange { kIgnored, kSet, kNoSuchDate };
FieldChange SetCalendarYear(CalendarDate* date, int year);
FieldChange SetCalendarMonth(CalendarDate* date, int month);
FieldChange SetCalendarDay(CalendarDate* date, int day);

// A whole date set on a calendar: day 1 first, then year, month and day, so
// that no step meets a date that does not exist.
void SetCalendarDate(CalendarDate* calendar, const CalendarDate& date);

// SpRok1Change / SpMesic1Change and their twins: the spinner took a new value;
// the calendar follows, and when the date would not exist it falls back to
// day 1 and takes the value again.
void SpinYear(DatePicker* picker, int year);
void SpinMonth(DatePicker* picker, int month);

// The spinners take the calendar's year and month.
void SyncSpinners(DatePicker* picker);

// Sets the calendar to the date (as a whole date) and syncs the spinners:
// "Dnešní datum" with today, "První datum v historii" and the end of a
// history load with the earliest history date.
void ShowDate(DatePicker* picker, const CalendarDate& date);

// Double click or Enter on one calendar: the other calendar takes its date,
// through the other picker's spinners as the handlers do it.
void CopyDate(const DatePicker& source, DatePicker* target);

// What follows a double click or Enter on a calendar (calendar 1 or 2, in
// the list's view mode 0-3): the start calendar always searches; the end
// calendar searches in modes 1 and 2, builds the overview in mode 3 and does
// nothing more in mode 0.
enum class CalendarFollowUp { kNothing, kSearch, kOverview };
CalendarFollowUp AfterCalendarDoubleClick(int calendar, unsigned view_mode);
// The key that acts as a double click on a calendar (Enter).
bool IsCalendarEnterKey(char key);

// After a history load: the start calendar shows the earliest history date
// when the load found one; both pickers' spinners are synced.
void ApplyHistoryLoad(const CGlobal& history, DatePicker* start, DatePicker* end);
// "První datum v historii" once the history is loaded: false, changing
// nothing, while the earliest date is exactly 0.
bool ShowFirstHistoryDate(const CGlobal& history, DatePicker* start);

// Status texts of the third status-bar panel. Durations are tick counts in
// milliseconds; decimal_separator is the user's.
extern const char kLoadingHistoryText[];  // "Načítám historii."
extern const char kSearchingText[];       // "Hledám..."
extern const char kReturningText[];       // "Moment..."
// "Historie načtena za 1,2s": tenths of a second rounded half to even.
std::string HistoryLoadedText(uint32_t elapsed_ms, char decimal_separator);
// What follows it when other computers' data were loaded too: ", počítačů: 3"
// when every folder was read, ", počítačů: 2 z 3" when one was not; nothing
// for the own folder alone.
std::string ComputersReadText(size_t read, size_t wanted);
// Tenths of a second as the general number format writes them: "1,2", "2".
std::string TenthsText(uint32_t tenths, char decimal_separator);

#endif  // TRAMO_VIEWS_DATE_RANGE_H_
