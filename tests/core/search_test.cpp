#include "views/search.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "store/cglobal.h"
#include "support/datetime.h"
#include "support/text_routines.h"

namespace {

// Fills a history the way the log reader does: a session header, then
// period headers, then the records of each period under its start.
class HistoryWriter {
 public:
  explicit HistoryWriter(CGlobal* db) : db_(db) {}
  void Session(double start) {
    db_->newSessionPending = true;
    db_->MarkSession(start);
  }
  void Period(double start, double end) {
    start_ = start;
    db_->periodEnd = end;
  }
  void Add(const std::string& path, const std::string& title, uint32_t seconds) {
    ASSERT_TRUE(db_->AddHistoryRecord(path, title, seconds, start_));
  }

 private:
  CGlobal* db_;
  double start_ = 0;
};

using Row = std::tuple<std::string, std::string, uint32_t, double, double, uint32_t>;

Row RowOf(const ActivityRecord* r) {
  return Row(r->PathText(), r->TitleText(), r->time, r->stamp, r->latest, r->activeDays);
}

std::vector<Row> Sorted(const std::vector<ActivityRecord*>& records) {
  std::vector<Row> rows;
  for (const ActivityRecord* r : records) rows.push_back(RowOf(r));
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<ActivityRecord*> AllRecords(CGlobal* db) {
  std::vector<ActivityRecord*> out;
  ActivityRecord* r;
  db->Rewind();
  while (db->NextRecord(&r)) {
    if (r != nullptr) out.push_back(r);
  }
  return out;
}

// The search done literally, one record at a time through NextRecord and
// JProlniZaznam: what the engine must match exactly.
SearchResult LiteralSearch(CGlobal* history, CGlobal* result_db, const SearchRange& range,
                           const SearchOptions& options) {
  SearchResult out;
  const std::string name = AsciiUpper(options.name);
  const std::string title = options.with_titles ? AsciiUpper(options.title) : "";
  result_db->Clear();
  for (ActivityRecord* r : AllRecords(history)) {
    if (!options.with_titles && r->title != kEmptyText) {
      ++out.hidden;
      continue;
    }
    if (range.from <= r->stamp && r->stamp <= range.to &&
        AsciiUpper(r->PathText()).find(name) != std::string::npos &&
        AsciiUpper(r->TitleText()).find(title) != std::string::npos) {
      result_db->JProlniZaznam(r);
    } else {
      ++out.hidden;
    }
  }
  for (ActivityRecord* r : AllRecords(result_db)) {
    if (static_cast<int64_t>(r->time) < options.min_seconds) continue;
    ++out.shown;
    if (r->path != kEmptyText) out.rows.push_back(r);
  }
  return out;
}

// A random history over two years: sessions of hourly periods, paths in
// changing letter case, shared and accented titles, repeated keys within a
// period, a period start logged twice and an empty path.
void RandomHistory(CGlobal* db, uint32_t generator_state) {
  std::mt19937 random(generator_state);
  const auto below = [&random](uint32_t n) { return static_cast<uint32_t>(random() % n); };
  const std::vector<std::string> paths = {
      "C:\\Windows\\notepad.exe",
      "c:\\windows\\NOTEPAD.EXE",
      "C:\\Program Files\\Word\\winword.exe",
      "C:\\PROGRAM FILES\\word\\WinWord.exe",
      "D:\\Notes\\n.exe",
      "C:\\České\\čt.exe",
      "C:\\české\\čT.exe",
      "",
      "C:\\x.exe"};
  const std::vector<std::string> titles = {"", "", "", "Doc", "doc", "Word - Smlouva",
                                           "\xC8l\xE1nek", "\xE8l\xE1nek", "Notes"};
  HistoryWriter writer(db);
  double day = EncodeDateTime(2023, 1, 1);
  std::vector<double> starts;
  for (int session = 0; session < 40; ++session) {
    day += 1 + below(20);
    double start = day + (8 + below(4)) / 24.0 + below(3600) / 86400.0;
    writer.Session(start);
    for (int hour = 0, hours = 1 + below(6); hour < hours; ++hour) {
      double end = std::floor(start * 24 + 1e-8) / 24 + 3599.0 / 86400.0;
      if (end <= start) end += 1 / 24.0;
      // Now and then a period start comes again (the clock was set back).
      const double key = !starts.empty() && below(15) == 0 ? starts[below(starts.size())] : start;
      writer.Period(key, std::max(end, key));
      starts.push_back(key);
      for (int n = 0, count = 1 + below(8); n < count; ++n) {
        writer.Add(paths[below(paths.size())], titles[below(titles.size())], below(3000));
      }
      start = end;
    }
  }
}

TEST(SearchTest, MatchesMergingRecordByRecord) {
  CGlobal history;
  RandomHistory(&history, 7);
  const SearchRange everything{0, EncodeDateTime(2100, 1, 1)};
  const SearchRange middle{EncodeDateTime(2023, 6, 1), EncodeDateTime(2024, 2, 1)};
  const SearchRange backwards{middle.to, middle.from};
  struct Case {
    SearchRange range;
    SearchOptions options;
  } cases[] = {
      {everything, {"", "", true, 1}},
      {everything, {"", "", true, 0}},
      {everything, {"", "", false, 1}},
      {everything, {"", "doc", false, 1}},
      {everything, {"note", "", true, 1}},
      {everything, {"WINWORD", "smlouva", true, 1}},
      {everything, {"\xE8", "", true, 1}},
      {everything, {"", "\xE8L", true, 1}},
      {everything, {"", "", true, 2000}},
      {middle, {"", "", true, 1}},
      {middle, {"exe", "o", true, 900}},
      {backwards, {"", "", true, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("name [" + c.options.name + "] title [" + c.options.title + "] titles " +
                 std::to_string(c.options.with_titles) + " min " +
                 std::to_string(c.options.min_seconds) + " from " +
                 FixedDateTimeText(c.range.from));
    CGlobal literal_db;
    const SearchResult expected = LiteralSearch(&history, &literal_db, c.range, c.options);
    CGlobal result_db;
    DetailRange none;
    const SearchResult got = RunSearch(&history, &result_db, c.range, &none, c.options);
    EXPECT_EQ(Sorted(AllRecords(&literal_db)), Sorted(AllRecords(&result_db)));
    EXPECT_EQ(Sorted(expected.rows), Sorted(got.rows));
    EXPECT_EQ(expected.shown, got.shown);
    EXPECT_EQ(expected.hidden, got.hidden);
  }
}

class SearchCaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HistoryWriter writer(&history_);
    writer.Session(At(2026, 2, 28, 23));
    writer.Period(At(2026, 2, 28, 23), At(2026, 2, 28, 23, 59, 59));
    writer.Add("C:\\Windows\\notepad.exe", "", 10);
    writer.Period(At(2026, 3, 1, 0), At(2026, 3, 1, 0, 59, 59));
    writer.Add("C:\\Windows\\notepad.exe", "", 20);
    writer.Add("D:\\NOTES\\keep.exe", "", 59);
    writer.Add("C:\\Office\\winword.exe", "", 60);
    writer.Add("C:\\Office\\winword.exe", "Smlouva - Word", 61);
    writer.Add("C:\\Office\\winword.exe", "Password", 62);
    writer.Add("C:\\\xC8\\app.exe", "", 30);
    writer.Period(At(2026, 3, 2, 0), At(2026, 3, 2, 0, 59, 59));
    writer.Add("C:\\Windows\\notepad.exe", "", 40);
    writer.Period(At(2026, 3, 2, 0, 0, 1), At(2026, 3, 2, 0, 59, 59));
    writer.Add("C:\\Windows\\notepad.exe", "", 80);
  }

  static double At(int y, int m, int d, int h, int min = 0, int s = 0) {
    return EncodeDateTime(y, m, d, h, min, s);
  }

  // Paths and titles of the listed rows, sorted.
  std::vector<std::string> Search(const SearchOptions& options, SearchResult* result = nullptr) {
    const SearchRange march_1{At(2026, 3, 1, 0), At(2026, 3, 2, 0)};
    SearchResult found = RunSearch(&history_, &result_db_, march_1, &detail_, options);
    std::vector<std::string> keys;
    for (const ActivityRecord* r : found.rows) {
      keys.push_back(r->PathText() + "|" + r->TitleText() + "|" + std::to_string(r->time));
    }
    std::sort(keys.begin(), keys.end());
    if (result != nullptr) *result = found;
    return keys;
  }

  CGlobal history_;
  CGlobal result_db_;
  DetailRange detail_;
};

TEST_F(SearchCaseTest, FiltersRangeAndMinimum) {
  const std::string notepad = "C:\\Windows\\notepad.exe||60";
  const std::string notes = "D:\\NOTES\\keep.exe||59";
  const std::string word = "C:\\Office\\winword.exe||60";
  const std::string contract = "C:\\Office\\winword.exe|Smlouva - Word|61";
  const std::string password = "C:\\Office\\winword.exe|Password|62";
  const std::string accented = "C:\\\xC8\\app.exe||30";
  struct Case {
    SearchOptions options;
    std::vector<std::string> rows;
    uint32_t hidden;
  } cases[] = {
      // 1 March 00:00 and 2 March 00:00 are in, 28 Feb 23:00 and 2 March
      // 00:00:01 are out.
      {{"", "", true, 1}, {accented, word, contract, password, notepad, notes}, 2},
      // Folded a-z only: "note" finds the folder NOTES too; an accented
      // lower-case letter does not find its upper case.
      {{"note", "", true, 1}, {notepad, notes}, 6},
      {{"notepad.EXE", "", true, 1}, {notepad}, 7},
      {{"\xE8", "", true, 1}, {}, 9},
      {{"\xC8", "", true, 1}, {accented}, 8},
      // Without titles the title text is ignored and titled records hidden.
      {{"", "word", false, 1}, {accented, word, notepad, notes}, 4},
      // A title matches only titled records; totals are hidden.
      {{"", "Word", true, 1}, {contract, password}, 7},
      {{"", "smlouva", true, 1}, {contract}, 8},
      // Under the minimum: neither listed nor counted.
      {{"", "", true, 60}, {word, contract, password, notepad}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("name [" + c.options.name + "] title [" + c.options.title + "]");
    std::vector<std::string> expected = c.rows;
    std::sort(expected.begin(), expected.end());
    SearchResult result;
    EXPECT_EQ(expected, Search(c.options, &result));
    EXPECT_EQ(c.rows.size(), result.shown);
    EXPECT_EQ(c.hidden, result.hidden);
  }
}

TEST_F(SearchCaseTest, MergedRecordKeepsNewestDateAndCountsDays) {
  const SearchRange march{At(2026, 2, 1, 0), At(2026, 4, 1, 0)};
  const SearchResult found =
      RunSearch(&history_, &result_db_, march, &detail_, {"notepad", "", true, 1});
  ASSERT_EQ(1u, found.rows.size());
  const ActivityRecord* r = found.rows[0];
  EXPECT_EQ(150u, r->time);
  EXPECT_EQ(At(2026, 3, 2, 0, 0, 1), r->latest);
  EXPECT_EQ(At(2026, 2, 28, 23), r->stamp);  // merged newest first: the oldest is last
  EXPECT_EQ(3u, r->activeDays);
}

TEST_F(SearchCaseTest, DetailRangeActsOnce) {
  detail_ = DetailRange{At(2026, 2, 28, 23), At(2026, 2, 28, 23, 59, 59)};
  EXPECT_EQ(std::vector<std::string>{"C:\\Windows\\notepad.exe||10"}, Search({"", "", true, 1}));
  EXPECT_EQ(0, detail_.from);
  EXPECT_EQ(6u, Search({"", "", true, 1}).size());  // the calendars again
}

TEST(SearchTextTest, StatusTextCutsToTenths) {
  struct Case {
    uint32_t elapsed_ms;
    char separator;
    const char* seconds;
  } cases[] = {{1299, ',', "1,2"}, {2000, ',', "2"}, {99, ',', "0"}, {150, '.', "0.1"},
               {60000, ',', "60"}};
  for (const Case& c : cases) {
    EXPECT_EQ(std::string("Počet zobrazených položek/nezobrazených záznamů, čas zpracování: 3 / 14, ") +
                  c.seconds + "s",
              SearchStatusText(3, 14, c.elapsed_ms, c.separator));
  }
}

}  // namespace
