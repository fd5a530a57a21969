#include "support/datetime.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {

constexpr double kMsPerDay = 86400000.0;

void ExpectParts(const DateTimeParts& p, int year, int month, int day,
                 int hour, int minute, int second, int ms) {
  EXPECT_EQ(year, p.year);
  EXPECT_EQ(month, p.month);
  EXPECT_EQ(day, p.day);
  EXPECT_EQ(hour, p.hour);
  EXPECT_EQ(minute, p.minute);
  EXPECT_EQ(second, p.second);
  EXPECT_EQ(ms, p.millisecond);
}

TEST(DateTimeTest, EncodeKnownSerials) {
  struct Case {
    int y, m, d;
    double serial;
  } cases[] = {
      {1899, 12, 30, 0},  {1900, 1, 1, 2},        {2000, 1, 1, 36526},
      {2024, 2, 29, 45351}, {2026, 12, 6, 46362}, {1, 1, 1, -693593},
      {9999, 12, 31, 2958465}, {1899, 12, 29, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.serial, EncodeDateTime(c.y, c.m, c.d))
        << c.d << "." << c.m << "." << c.y;
  }
  EXPECT_DOUBLE_EQ(36526.75, EncodeDateTime(2000, 1, 1, 18));
  // Before the epoch the time is subtracted: the classic representation.
  EXPECT_DOUBLE_EQ(-1.25, EncodeDateTime(1899, 12, 29, 6));
}

TEST(DateTimeTest, DecodeRoundTripsEveryHourOnManyDates) {
  // Exact hours computed in floating point fall just below the true value
  // (10:00 as 0.41666...6); the decode must round, not truncate.
  for (int year = 1900; year <= 2100; year += 7) {
    for (int month = 1; month <= 12; ++month) {
      const int last = DaysInMonth(year, month);
      for (int day : {1, 13, last}) {
        for (int hour = 0; hour < 24; ++hour) {
          const double v = EncodeDateTime(year, month, day, hour);
          const DateTimeParts p = DecodeDateTime(v);
          ASSERT_EQ(year, p.year);
          ASSERT_EQ(month, p.month);
          ASSERT_EQ(day, p.day);
          ASSERT_EQ(hour, p.hour) << day << "." << month << "." << year;
          ASSERT_EQ(0, p.minute);
          ASSERT_EQ(0, p.second);
          ASSERT_EQ(0, p.millisecond);
          // Same hour reached by adding a fraction to the date.
          const DateTimeParts q =
              DecodeDateTime(EncodeDateTime(year, month, day) + hour / 24.0);
          ASSERT_EQ(hour, q.hour);
          ASSERT_EQ(0, q.minute);
          ASSERT_EQ(day, q.day);
        }
      }
    }
  }
}

TEST(DateTimeTest, DecodeFieldsAndRounding) {
  ExpectParts(DecodeDateTime(EncodeDateTime(2026, 12, 6, 18, 9, 7, 123)),
              2026, 12, 6, 18, 9, 7, 123);
  ExpectParts(DecodeDateTime(EncodeDateTime(2024, 2, 29, 23, 59, 59, 999)),
              2024, 2, 29, 23, 59, 59, 999);
  // Rounding to 24:00 rolls into the next day (and here the next year).
  const double almost = EncodeDateTime(2026, 12, 31) + 86399999.6 / kMsPerDay;
  ExpectParts(DecodeDateTime(almost), 2027, 1, 1, 0, 0, 0, 0);
  ExpectParts(DecodeDateTime(0.0), 1899, 12, 30, 0, 0, 0, 0);
  ExpectParts(DecodeDateTime(-1.25), 1899, 12, 29, 6, 0, 0, 0);
  ExpectParts(DecodeDateTime(-0.5), 1899, 12, 30, 12, 0, 0, 0);
}

TEST(DateTimeTest, DecodeNeverFails) {
  const double inf = std::numeric_limits<double>::infinity();
  ExpectParts(DecodeDateTime(std::nan("")), 1899, 12, 30, 0, 0, 0, 0);
  ExpectParts(DecodeDateTime(inf), 9999, 12, 31, 0, 0, 0, 0);
  ExpectParts(DecodeDateTime(1e300), 9999, 12, 31, 0, 0, 0, 0);
  ExpectParts(DecodeDateTime(-inf), 1, 1, 1, 0, 0, 0, 0);
  ExpectParts(DecodeDateTime(-1e300), 1, 1, 1, 0, 0, 0, 0);
  ExpectParts(DecodeDateTime(2958465.5), 9999, 12, 31, 12, 0, 0, 0);
  EXPECT_EQ("31.12.9999", FixedDateTimeText(1e18));
  EXPECT_EQ(DayOfWeekMonday1(-1e300), DayOfWeekMonday1(-693593.0));
}

TEST(DateTimeTest, DayOfWeek) {
  struct Case {
    int y, m, d, dow;
  } cases[] = {
      {1899, 12, 30, 6}, {1900, 1, 1, 1},  {2000, 1, 1, 6},
      {2024, 2, 29, 4},  {2026, 12, 6, 7}, {2026, 12, 7, 1},
      {1899, 12, 25, 1}, {1, 1, 1, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.dow, DayOfWeekMonday1(EncodeDateTime(c.y, c.m, c.d, 13)))
        << c.d << "." << c.m << "." << c.y;
  }
  // A time that rounds to midnight belongs to the next day.
  EXPECT_EQ(1, DayOfWeekMonday1(EncodeDateTime(2026, 12, 7) - 0.1 / kMsPerDay));
}

TEST(DateTimeTest, DaysInMonth) {
  EXPECT_EQ(29, DaysInMonth(2024, 2));
  EXPECT_EQ(28, DaysInMonth(1900, 2));
  EXPECT_EQ(29, DaysInMonth(2000, 2));
  EXPECT_EQ(30, DaysInMonth(2026, 11));
  EXPECT_EQ(31, DaysInMonth(2026, 12));
  EXPECT_EQ(0, DaysInMonth(2026, 13));
  EXPECT_EQ(0, DaysInMonth(2026, 0));
}

TEST(DateTimeTest, FixedTexts) {
  struct Case {
    double value;
    const char* text;
    const char* time;
  } cases[] = {
      {EncodeDateTime(2026, 12, 6, 18, 9, 7), "6.12.2026 18:09:07", "18:09:07"},
      {EncodeDateTime(2026, 12, 7, 0, 0, 0, 400), "7.12.2026", "00:00:00"},
      {EncodeDateTime(2026, 12, 7, 0, 0, 1), "7.12.2026 00:00:01", "00:00:01"},
      {EncodeDateTime(2027, 1, 1), "1.1.2027", "00:00:00"},
      {EncodeDateTime(2027, 1, 1, 10), "1.1.2027 10:00:00", "10:00:00"},
      {EncodeDateTime(2027, 1, 1, 0, 1), "1.1.2027 00:01:00", "00:01:00"},
      {EncodeDateTime(2027, 1, 1, 23, 59, 59, 999), "1.1.2027 23:59:59",
       "23:59:59"},
      {EncodeDateTime(999, 3, 4, 5, 6, 7), "4.3.0999 05:06:07", "05:06:07"},
      {0.0, "30.12.1899", "00:00:00"},
      {-1.25, "29.12.1899 06:00:00", "06:00:00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.text, FixedDateTimeText(c.value));
    EXPECT_EQ(c.time, FixedTimeText(c.value));
  }
}

TEST(DateTimeTest, ParseAcceptedTexts) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"6.12.2026 18:09:07", EncodeDateTime(2026, 12, 6, 18, 9, 7)},
      {"06.02.2026 08:09:07", EncodeDateTime(2026, 2, 6, 8, 9, 7)},
      {"7.12.2026", EncodeDateTime(2026, 12, 7)},
      {"7.12.2026 5:04", EncodeDateTime(2026, 12, 7, 5, 4)},
      {"29.2.2024 23:59:59", EncodeDateTime(2024, 2, 29, 23, 59, 59)},
      {"  1.1.2027   10:00:00 ", EncodeDateTime(2027, 1, 1, 10)},
      {"1.1.0001", EncodeDateTime(1, 1, 1)},
      {"31.12.9999 23:59:59", EncodeDateTime(9999, 12, 31, 23, 59, 59)},
      {"18:59:59", EncodeDateTime(1899, 12, 30, 18, 59, 59)},
      {"0:00", 0.0},
      {"23:05", EncodeDateTime(1899, 12, 30, 23, 5)},
  };
  for (const Case& c : cases) {
    double value = -7.0;
    EXPECT_TRUE(TryParseFixedDateTime(c.text, &value)) << c.text;
    EXPECT_EQ(c.value, value) << c.text;
    EXPECT_EQ(c.value, ParseFixedDateTime(c.text)) << c.text;
  }
}

TEST(DateTimeTest, ParseRefusedTexts) {
  const char* texts[] = {
      "",           " ",           "6.12.26",            "6.12.02026",
      "31.4.2026",  "29.2.2023",   "0.1.2026",           "1.0.2026",
      "1.13.2026",  "1.1.0000",    "1.1.2026 24:00:00",  "1.1.2026 10:60",
      "1.1.2026 10:00:60",         "1.1.2026 10",        "1.1.2026 10:",
      "1.1.2026 10:00:00.5",       "1.1.2026T10:00",     "1.1.2026 10:00 x",
      "123.1.2026", "1.1.2026.",   "a.1.2026",           "1/1/2026",
      "10:00:00:00", "-1:00",      "24:00",              "1.1.2026 +1:00",
      "1,1,2026",
  };
  for (const char* text : texts) {
    double value = -7.0;
    EXPECT_FALSE(TryParseFixedDateTime(text, &value)) << text;
    EXPECT_EQ(-7.0, value) << text;
    try {
      ParseFixedDateTime(text);
      ADD_FAILURE() << "no error for " << text;
    } catch (const ConversionError& e) {
      EXPECT_EQ(std::string("'") + text + "' is not a valid date and time",
                e.what());
    }
  }
  EXPECT_EQ("'x' is not a valid date and time", InvalidDateTimeMessage("x"));
}

TEST(DateTimeTest, TextAndParseRoundTrip) {
  // Every written text reads back to the same second and writes the same.
  for (int year = 1900; year <= 2090; year += 11) {
    for (int month = 1; month <= 12; ++month) {
      for (int day : {1, 9, 28}) {
        for (int step = 0; step < 48; ++step) {
          const int hour = step / 2;
          const int minute = (step * 37) % 60;
          const int second = step % 2 == 0 ? 0 : (step * 13) % 60;
          const double v =
              EncodeDateTime(year, month, day, hour, minute, second);
          const std::string text = FixedDateTimeText(v);
          double parsed = 0.0;
          ASSERT_TRUE(TryParseFixedDateTime(text, &parsed)) << text;
          ASSERT_EQ(v, parsed) << text;
          ASSERT_EQ(text, FixedDateTimeText(parsed));
          ASSERT_TRUE(
              TryParseFixedDateTime(FixedTimeText(v), &parsed));
          ASSERT_EQ(FixedTimeText(v), FixedTimeText(parsed));
        }
      }
    }
  }
}

TEST(DateTimeTest, NextFlushDelayExamples) {
  struct Case {
    int minute, second, ms;
    int32_t delay;
  } cases[] = {
      {0, 0, 0, 3599000},   {59, 30, 0, 29000},  {59, 30, 1, 3628999},
      {59, 59, 500, 3599500}, {59, 59, 0, 3600000}, {59, 58, 999, 3600001},
      {30, 0, 0, 1799000},  {59, 29, 999, 29001}, {59, 59, 999, 3599001},
  };
  for (const Case& c : cases) {
    const double now = EncodeDateTime(2026, 12, 6, 10, c.minute, c.second, c.ms);
    EXPECT_EQ(c.delay, NextFlushDelay(now))
        << c.minute << ":" << c.second << "." << c.ms;
  }
}

TEST(DateTimeTest, NextFlushDelayLandsAtFiftyNineFiftyNine) {
  for (int hour = 0; hour < 24; hour += 5) {
    for (int s = 0; s < 3600; s += 7) {
      const int ms = (s * 131) % 1000;
      const double now =
          EncodeDateTime(2026, 3, 29, hour, s / 60, s % 60, ms);
      const int32_t delay = NextFlushDelay(now);
      ASSERT_GE(delay, 29000);
      ASSERT_LE(delay, 3628999);
      const DateTimeParts at = DecodeDateTime(now + delay / kMsPerDay);
      ASSERT_EQ(59, at.minute);
      ASSERT_EQ(59, at.second);
      ASSERT_EQ(0, at.millisecond);
    }
  }
}

TEST(DateTimeTest, IsNearZero) {
  EXPECT_TRUE(IsNearZero(0.0));
  EXPECT_TRUE(IsNearZero(-0.0));
  EXPECT_TRUE(IsNearZero(9e-27));
  EXPECT_TRUE(IsNearZero(-9e-27));
  EXPECT_FALSE(IsNearZero(1e-26));
  EXPECT_FALSE(IsNearZero(1e-20));
  EXPECT_FALSE(IsNearZero(-1.0 / kMsPerDay));
  EXPECT_FALSE(IsNearZero(std::nan("")));
}

}  // namespace
