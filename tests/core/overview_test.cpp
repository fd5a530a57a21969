#include "views/overview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "store/cglobal.h"
#include "support/datetime.h"
#include "support/duration.h"

namespace {

double At(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
  return EncodeDateTime(y, m, d, h, min, s);
}

// Writes sessions and periods as the log reader does; every period gets one
// record, so that it has a node.
class HistoryWriter {
 public:
  explicit HistoryWriter(CGlobal* db) : db_(db) {}
  void Session(double start) {
    db_->newSessionPending = true;
    db_->MarkSession(start);
  }
  void Period(double start, double end) {
    db_->periodEnd = end;
    db_->MarkSession(end);
    ASSERT_TRUE(db_->AddHistoryRecord("C:\\a.exe", "", 1, start));
  }

 private:
  CGlobal* db_;
};

DatePicker PickerAt(int y, int m, int d) {
  DatePicker picker;
  ShowDate(&picker, CalendarDate{y, m, d});
  return picker;
}

const SearchRange kEverything{0, At(2100, 1, 1)};

// The listed rows as "Od|Do|Doba" cells, newest "Od" first.
std::vector<std::string> Rows(const OverviewResult& result) {
  std::vector<std::pair<double, std::string>> rows;
  for (const ActivityRecord* r : result.rows) {
    rows.emplace_back(ParseFixedDateTime(r->PathText()), r->PathText() + "|" +
                                                             FixedDateTimeText(r->latest) + "|" +
                                                             FormatDuration(r->time * 10));
  }
  std::sort(rows.rbegin(), rows.rend());
  std::vector<std::string> texts;
  for (const auto& row : rows) texts.push_back(row.second);
  return texts;
}

std::vector<std::string> Overview(CGlobal* history, int bucket,
                                  const SearchRange& range = kEverything,
                                  const DatePicker& start = PickerAt(2026, 3, 1),
                                  OverviewResult* result = nullptr) {
  CGlobal result_db;
  const OverviewResult found = RunOverview(history, &result_db, bucket, range, start);
  if (result != nullptr) *result = found;
  return Rows(found);
}

TEST(OverviewTest, PeriodsGoToTheBucketOfTheirStart) {
  CGlobal history;
  HistoryWriter writer(&history);
  writer.Session(At(2026, 3, 1, 9, 30, 0));
  writer.Period(At(2026, 3, 1, 9, 30, 0), At(2026, 3, 1, 9, 59, 59));
  writer.Period(At(2026, 3, 1, 9, 59, 59), At(2026, 3, 1, 10, 59, 59));
  writer.Period(At(2026, 3, 1, 10, 59, 59), At(2026, 3, 1, 11, 59, 59));
  writer.Session(At(2026, 3, 8, 23, 10, 0));  // a Sunday
  writer.Period(At(2026, 3, 8, 23, 10, 0), At(2026, 3, 8, 23, 59, 59));
  writer.Period(At(2026, 3, 8, 23, 59, 59), At(2026, 3, 9, 0, 59, 59));
  writer.Session(At(2026, 3, 9, 8, 0, 0));  // Monday
  writer.Period(At(2026, 3, 9, 8, 0, 0), At(2026, 3, 9, 8, 20, 0));
  writer.Session(At(2026, 1, 31, 12, 0, 0));
  writer.Period(At(2026, 1, 31, 12, 0, 0), At(2026, 1, 31, 12, 30, 0));
  writer.Session(At(2026, 2, 1, 12, 0, 0));
  writer.Period(At(2026, 2, 1, 12, 0, 0), At(2026, 2, 1, 12, 30, 0));
  writer.Session(At(2025, 12, 31, 23, 0, 0));
  writer.Period(At(2025, 12, 31, 23, 0, 0), At(2025, 12, 31, 23, 59, 59));

  struct Case {
    int bucket;
    std::vector<std::string> rows;
  } cases[] = {
      {kBucketHour,
       {"9.3.2026 08:00:00|9.3.2026 08:20:00|20:00",
        "8.3.2026 23:00:00|9.3.2026 00:59:59|1:49:59",  // 23:10-23:59:59 and the hour over midnight
        "1.3.2026 10:00:00|1.3.2026 11:59:59|1:00:00",
        "1.3.2026 09:00:00|1.3.2026 10:59:59|1:29:59",
        "1.2.2026 12:00:00|1.2.2026 12:30:00|30:00",
        "31.1.2026 12:00:00|31.1.2026 12:30:00|30:00",
        "31.12.2025 23:00:00|31.12.2025 23:59:59|59:59"}},
      {kBucketDay,
       {"9.3.2026|9.3.2026 08:20:00|20:00", "8.3.2026|9.3.2026 00:59:59|1:49:59",
        "1.3.2026|1.3.2026 11:59:59|2:29:59", "1.2.2026|1.2.2026 12:30:00|30:00",
        "31.1.2026|31.1.2026 12:30:00|30:00", "31.12.2025|31.12.2025 23:59:59|59:59"}},
      {kBucketWeek,
       {"9.3.2026|9.3.2026 08:20:00|20:00", "2.3.2026|9.3.2026 00:59:59|1:49:59",
        "23.2.2026|1.3.2026 11:59:59|2:29:59", "26.1.2026|1.2.2026 12:30:00|1:00:00",
        "29.12.2025|31.12.2025 23:59:59|59:59"}},
      {kBucketMonth,
       {"1.3.2026|9.3.2026 08:20:00|4:39:58", "1.2.2026|1.2.2026 12:30:00|30:00",
        "1.1.2026|31.1.2026 12:30:00|30:00", "1.12.2025|31.12.2025 23:59:59|59:59"}},
      {kBucketYear,
       {"1.1.2026|9.3.2026 08:20:00|5:39:58", "1.1.2025|31.12.2025 23:59:59|59:59"}},
      {kBucketAll, {"1.3.2026|9.3.2026 08:20:00|6:39:57"}},
      {kOverviewItemCount, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bucket);
    EXPECT_EQ(c.rows, Overview(&history, c.bucket));
  }
}

std::string Exact(double value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.17g", value);
  return text;
}

// Every field of every entry, sorted.
std::vector<std::string> Entries(CGlobal* db) {
  std::vector<std::string> out;
  ActivityRecord* r;
  db->Rewind();
  while (db->NextRecord(&r)) {
    if (r == nullptr) continue;
    out.push_back(r->PathText() + "|" + r->TitleText() + "|" + std::to_string(r->time) + "|" +
                  Exact(r->stamp) + "|" + Exact(r->latest) + "|" +
                  std::to_string(r->activeDays));
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST(OverviewTest, MatchesMergingNodeByNode) {
  CGlobal history;
  HistoryWriter writer(&history);
  std::mt19937 random(5);
  double start = At(2025, 12, 20, 7);
  for (int session = 0; session < 60; ++session) {
    start += (random() % 5000) / 1440.0;  // up to three and a half days on
    writer.Session(start);
    double from = start;
    for (int period = 0, count = 1 + random() % 30; period < count; ++period) {
      // Ends a second before the hour, as the flush does; now and then the
      // clock was set back and a start repeats an earlier one.
      const double end = std::floor(from * 24 + 1) / 24 - 1.0 / 86400;
      writer.Period(from, std::max(end, from));
      from = random() % 20 == 0 ? from - 1.0 / 24 : std::max(end, from);
    }
    start = from;
  }
  for (int bucket = -1; bucket <= kOverviewItemCount; ++bucket) {
    SCOPED_TRACE(bucket);
    const DatePicker picker = PickerAt(2026, 1, 31);
    CGlobal literal;
    for (const PeriodNode* node = history.head(); node != nullptr; node = node->next) {
      if (bucket <= kBucketSession) {
        literal.KProlniZaznam(node);
      } else if (bucket < kOverviewItemCount) {
        literal.KProlniZaznam(node, OverviewBucketKey(bucket, node->key, picker));
      }
    }
    CGlobal result_db;
    RunOverview(&history, &result_db, bucket, kEverything, picker);
    EXPECT_EQ(Entries(&literal), Entries(&result_db));
  }
}

TEST(OverviewTest, KeysOnOrJustBelowTheHourStayInTheirBucket) {
  const DatePicker start = PickerAt(2026, 3, 1);
  const double ten = At(2026, 3, 1, 10);
  for (double x : {ten, ten - 1e-12, std::nextafter(ten, 0.0)}) {
    EXPECT_EQ("1.3.2026 10:00:00", FixedDateTimeText(OverviewBucketKey(kBucketHour, x, start)));
    EXPECT_EQ(At(2026, 3, 1), OverviewBucketKey(kBucketDay, x, start));
  }
  const double midnight = At(2026, 3, 2);
  EXPECT_EQ(midnight, OverviewBucketKey(kBucketDay, midnight - 1e-12, start));
  EXPECT_EQ(midnight, OverviewBucketKey(kBucketHour, midnight - 1e-12, start));
  EXPECT_EQ("1.3.2026 23:00:00",
            FixedDateTimeText(OverviewBucketKey(kBucketHour, midnight - 1.0 / 86400, start)));
}

TEST(OverviewTest, FullHoursAreWholeOnEveryDate) {
  CGlobal history;
  HistoryWriter writer(&history);
  std::mt19937 random(3);
  std::vector<double> days;
  for (int i = 0; i < 300; ++i) days.push_back(At(2000, 1, 1) + random() % 10000);
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  for (double day : days) {
    writer.Session(day + 9.0 / 24);
    writer.Period(day + 9.0 / 24, day + 10.0 / 24);
  }
  CGlobal result_db;
  const OverviewResult found =
      RunOverview(&history, &result_db, kBucketHour, kEverything, PickerAt(2026, 3, 1));
  ASSERT_EQ(days.size(), found.rows.size());
  for (const ActivityRecord* r : found.rows) {
    EXPECT_EQ(3600u, r->time) << r->PathText();
  }
}

TEST(OverviewTest, SessionsNamedOneSecondEarly) {
  CGlobal history;
  HistoryWriter writer(&history);
  writer.Session(At(2026, 3, 1, 8, 0, 0));
  writer.Period(At(2026, 3, 1, 8, 0, 0), At(2026, 3, 1, 8, 59, 59));
  writer.Period(At(2026, 3, 1, 8, 59, 59), At(2026, 3, 1, 9, 20, 0));
  writer.Session(At(2026, 3, 2, 14, 15, 30));
  writer.Period(At(2026, 3, 2, 14, 15, 30), At(2026, 3, 2, 14, 59, 59));
  const std::vector<std::string> expected = {
      "2.3.2026 14:15:29|2.3.2026 14:59:59|44:29",
      "1.3.2026 07:59:59|1.3.2026 09:20:00|1:20:00"};
  EXPECT_EQ(expected, Overview(&history, kBucketSession));
  EXPECT_EQ(expected, Overview(&history, -1));  // a typed text that is no item
  EXPECT_EQ(-1, OverviewIndexOfText("Týden "));
  EXPECT_EQ(-1, OverviewIndexOfText("den"));
  EXPECT_EQ(kBucketWeek, OverviewIndexOfText("Týden"));
  EXPECT_EQ(kBucketAll, OverviewIndexOfText(kOverviewItems[6]));
}

TEST(OverviewTest, RangeListsEntriesWhollyInside) {
  CGlobal history;
  HistoryWriter writer(&history);
  writer.Session(At(2026, 3, 1, 22, 0, 0));
  writer.Period(At(2026, 3, 1, 22, 0, 0), At(2026, 3, 1, 22, 59, 59));
  writer.Period(At(2026, 3, 1, 22, 59, 59), At(2026, 3, 1, 23, 59, 59));
  writer.Period(At(2026, 3, 1, 23, 59, 59), At(2026, 3, 2, 0, 59, 59));
  writer.Session(At(2026, 3, 5, 10, 0, 0));
  writer.Period(At(2026, 3, 5, 10, 0, 0), At(2026, 3, 5, 10, 30, 0));
  const SearchRange march_1{At(2026, 3, 1), At(2026, 3, 2)};
  struct Case {
    int bucket;
    SearchRange range;
    size_t shown;
    uint32_t hidden;
  } cases[] = {
      // The 23:00 hour ends after the end of the range.
      {kBucketHour, march_1, 1, 2},
      {kBucketDay, march_1, 0, 2},
      {kBucketDay, {At(2026, 3, 1), At(2026, 3, 2, 0, 59, 59)}, 1, 1},
      // "Vše": listed when its last merged end is not before the start and
      // its newest end not after the end.
      {kBucketAll, kEverything, 1, 0},
      {kBucketAll, {At(2026, 3, 1), At(2026, 3, 5)}, 0, 1},
      {kBucketAll, {At(2026, 3, 2, 1), At(2026, 3, 6)}, 0, 1},
      {kBucketAll, {At(2026, 3, 1, 23), At(2026, 3, 6)}, 0, 1},
      {kBucketAll, {At(2026, 3, 1, 22), At(2026, 3, 6)}, 1, 0},
      {kBucketSession, march_1, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.bucket) + " from " + FixedDateTimeText(c.range.from) + " to " +
                 FixedDateTimeText(c.range.to));
    OverviewResult found;
    Overview(&history, c.bucket, c.range, PickerAt(2026, 3, 1), &found);
    EXPECT_EQ(c.shown, found.rows.size());
    EXPECT_EQ(c.shown, found.shown);
    EXPECT_EQ(c.hidden, found.hidden);
  }
}

TEST(OverviewTest, AllIsNamedByTheStartSpinnersAndDay) {
  CGlobal history;
  HistoryWriter writer(&history);
  writer.Session(At(2026, 3, 1, 10));
  writer.Period(At(2026, 3, 1, 10), At(2026, 3, 1, 11));
  DatePicker start = PickerAt(2026, 3, 14);
  start.spin_month = 2;  // a spinner value the calendar has not followed
  EXPECT_EQ(std::vector<std::string>{"14.2.2026|1.3.2026 11:00:00|1:00:00"},
            Overview(&history, kBucketAll, kEverything, start));
  // A spinner year the calendar ignored gives no date: the calendar's own.
  start.spin_year = 0;
  EXPECT_EQ(std::vector<std::string>{"14.3.2026|1.3.2026 11:00:00|1:00:00"},
            Overview(&history, kBucketAll, kEverything, start));
}

TEST(OverviewTest, DetailRangeFromARow) {
  DetailRange detail;
  EXPECT_FALSE(SetDetailRange(2, true, "1.3.2026", "1.3.2026 11:59:59", &detail));
  EXPECT_FALSE(SetDetailRange(3, false, "1.3.2026", "1.3.2026 11:59:59", &detail));
  EXPECT_EQ(0, detail.from);
  ASSERT_TRUE(SetDetailRange(3, true, "1.3.2026", "1.3.2026 11:59:59", &detail));
  EXPECT_EQ(At(2026, 3, 1), detail.from);
  EXPECT_EQ(At(2026, 3, 1, 11, 59, 59), detail.to);
}

TEST(OverviewTest, StatusText) {
  EXPECT_EQ("Počet zobrazených/nezobrazených položek, čas zpracování: 12 / 0, 0,3s",
            OverviewStatusText(12, 0, 399, ','));
}

}  // namespace
