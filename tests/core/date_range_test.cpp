#include "views/date_range.h"

#include <string>

#include <gtest/gtest.h>

#include "store/cglobal.h"
#include "support/datetime.h"

namespace {

std::string Text(const CalendarDate& d) {
  return std::to_string(d.day) + "." + std::to_string(d.month) + "." + std::to_string(d.year);
}

DatePicker Picker(int y, int m, int d) {
  DatePicker picker;
  ShowDate(&picker, CalendarDate{y, m, d});
  return picker;
}

TEST(CalendarTest, FieldsIgnoredRefusedOrSet) {
  enum Field { kYear, kMonth, kDay };
  struct Case {
    CalendarDate date;
    Field field;
    int value;
    FieldChange change;
    const char* after;
  } cases[] = {
      {{2026, 1, 31}, kYear, 0, FieldChange::kIgnored, "31.1.2026"},
      {{2026, 1, 31}, kYear, 2026, FieldChange::kIgnored, "31.1.2026"},
      {{2026, 1, 31}, kYear, 2027, FieldChange::kSet, "31.1.2027"},
      {{2024, 2, 29}, kYear, 2025, FieldChange::kNoSuchDate, "29.2.2024"},
      {{2024, 2, 29}, kYear, 2028, FieldChange::kSet, "29.2.2028"},
      {{2026, 1, 31}, kYear, 10000, FieldChange::kNoSuchDate, "31.1.2026"},
      {{2026, 1, 31}, kMonth, 13, FieldChange::kIgnored, "31.1.2026"},
      {{2026, 1, 31}, kMonth, 4, FieldChange::kNoSuchDate, "31.1.2026"},
      {{2026, 1, 31}, kMonth, 3, FieldChange::kSet, "31.3.2026"},
      {{2026, 2, 10}, kDay, 29, FieldChange::kIgnored, "10.2.2026"},
      {{2024, 2, 10}, kDay, 29, FieldChange::kSet, "29.2.2024"},
      {{2026, 2, 10}, kDay, 0, FieldChange::kIgnored, "10.2.2026"},
  };
  for (const Case& c : cases) {
    CalendarDate date = c.date;
    const FieldChange change = c.field == kYear    ? SetCalendarYear(&date, c.value)
                               : c.field == kMonth ? SetCalendarMonth(&date, c.value)
                                                   : SetCalendarDay(&date, c.value);
    EXPECT_EQ(c.change, change) << Text(c.date) << " field " << c.field << " := " << c.value;
    EXPECT_EQ(c.after, Text(date)) << Text(c.date) << " field " << c.field << " := " << c.value;
  }
}

TEST(CalendarTest, SpinnersFallBackToDayOne) {
  struct Case {
    CalendarDate date;
    bool year;
    int value;
    const char* after;
  } cases[] = {
      {{2026, 1, 31}, false, 2, "1.2.2026"},
      {{2026, 1, 31}, false, 12, "31.12.2026"},
      {{2024, 2, 29}, true, 2025, "1.2.2025"},
      {{2026, 5, 17}, true, 0, "17.5.2026"},  // ignored, the spinner keeps 0
      {{2026, 5, 17}, true, 10000, "1.5.2026"},
  };
  for (const Case& c : cases) {
    DatePicker picker = Picker(c.date.year, c.date.month, c.date.day);
    if (c.year) {
      SpinYear(&picker, c.value);
      EXPECT_EQ(c.value, picker.spin_year);
    } else {
      SpinMonth(&picker, c.value);
      EXPECT_EQ(c.value, picker.spin_month);
    }
    EXPECT_EQ(c.after, Text(picker.calendar)) << Text(c.date) << " := " << c.value;
  }
}

TEST(CalendarTest, WholeDatesAndCopies) {
  DatePicker end = Picker(2026, 1, 31);
  ShowDate(&end, CalendarDate{2024, 2, 29});
  EXPECT_EQ("29.2.2024", Text(end.calendar));
  EXPECT_EQ(2024, end.spin_year);
  EXPECT_EQ(2, end.spin_month);

  const DatePicker start = Picker(2023, 11, 30);
  end = Picker(2025, 3, 31);
  CopyDate(start, &end);
  EXPECT_EQ("30.11.2023", Text(end.calendar));
  EXPECT_EQ(2023, end.spin_year);
  EXPECT_EQ(11, end.spin_month);
}

TEST(CalendarTest, RangeIsStartMidnightToTheDayAfterTheEnd) {
  const SearchRange range = CalendarRange(CalendarDate{2026, 3, 1}, CalendarDate{2026, 3, 1});
  EXPECT_EQ(EncodeDateTime(2026, 3, 1), range.from);
  EXPECT_EQ(EncodeDateTime(2026, 3, 2), range.to);
  EXPECT_EQ("31.12.2025", Text(CalendarDateOf(EncodeDateTime(2025, 12, 31, 23, 59, 59))));
}

TEST(CalendarTest, WhatFollowsADoubleClick) {
  struct Case {
    int calendar;
    unsigned mode;
    CalendarFollowUp follow_up;
  } cases[] = {
      {1, 0, CalendarFollowUp::kSearch},   {1, 3, CalendarFollowUp::kSearch},
      {2, 0, CalendarFollowUp::kNothing},  {2, 1, CalendarFollowUp::kSearch},
      {2, 2, CalendarFollowUp::kSearch},   {2, 3, CalendarFollowUp::kOverview},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.follow_up, AfterCalendarDoubleClick(c.calendar, c.mode))
        << c.calendar << " in mode " << c.mode;
  }
}

TEST(CalendarTest, HistoryLoadMovesTheStartToTheEarliestDate) {
  CGlobal history;
  DatePicker start = Picker(2026, 1, 31);
  DatePicker end = Picker(2026, 5, 5);
  end.spin_year = 0;
  ApplyHistoryLoad(history, &start, &end);  // nothing found
  EXPECT_EQ("31.1.2026", Text(start.calendar));
  EXPECT_EQ(2026, end.spin_year);
  EXPECT_FALSE(ShowFirstHistoryDate(history, &start));

  history.earliest = EncodeDateTime(2026, 2, 10, 14, 0, 0);
  ApplyHistoryLoad(history, &start, &end);
  EXPECT_EQ("10.2.2026", Text(start.calendar));
  EXPECT_EQ(2, start.spin_month);
  ShowDate(&start, CalendarDate{2027, 4, 30});
  EXPECT_TRUE(ShowFirstHistoryDate(history, &start));
  EXPECT_EQ("10.2.2026", Text(start.calendar));
}

TEST(StatusTextTest, LoadTimeRoundsHalfToEven) {
  struct Case {
    uint32_t elapsed_ms;
    char separator;
    const char* text;
  } cases[] = {
      {1234, ',', "Historie načtena za 1,2s"}, {2000, ',', "Historie načtena za 2s"},
      {1250, ',', "Historie načtena za 1,2s"}, {1350, ',', "Historie načtena za 1,4s"},
      {1251, ',', "Historie načtena za 1,3s"}, {1950, '.', "Historie načtena za 2s"},
      {50, ',', "Historie načtena za 0s"},     {150, '.', "Historie načtena za 0.2s"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.text, HistoryLoadedText(c.elapsed_ms, c.separator)) << c.elapsed_ms;
  }
  EXPECT_EQ("", ComputersReadText(1, 1));
  EXPECT_EQ(", počítačů: 3", ComputersReadText(3, 3));
  EXPECT_EQ(", počítačů: 2 z 3", ComputersReadText(2, 3));
}

}  // namespace
