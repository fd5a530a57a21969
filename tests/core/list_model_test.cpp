#include "views/list_model.h"

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/test_util.h"
#include "store/csez.h"
#include "support/datetime.h"

using testutil::Record;

namespace {

std::vector<std::string> Column(const ListModel& model, int column) {
  std::vector<std::string> out;
  for (size_t i = 0; i < model.size(); ++i) {
    out.emplace_back(model.Cell(i, column));
  }
  return out;
}

std::vector<std::string> Row(const ListModel& model, size_t row) {
  std::vector<std::string> out;
  for (int c = 0; c < kListColumns; ++c) out.emplace_back(model.Cell(row, c));
  out.emplace_back(model.RowText(row));
  return out;
}

using Texts7 = std::vector<std::string>;
const double kDay = EncodeDateTime(2026, 12, 7, 10, 0, 0);

TEST(ListModelTest, DisplayName) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {
      {"C:\\Program Files\\Opera\\opera.exe", "opera"},
      {"C:\\Program Files\\Mozilla Firefox\\firefox.exe",
       "\\Mozilla Firefox\\firefox.exe"},
      {"C:\\x.exe", "C:\\x.exe"},
      {"[system;]", "[system;]"},
      {"C:\\x\\app.exe", "\\x\\app.exe"},
      {"D:\\Apps\\Tramo2\\Tramo2.exe", "Tramo2"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.name, DisplayName(c.path)) << c.path;
}

TEST(ListModelTest, DetailRowColor) {
  const struct {
    RgbColor font, expected;
  } cases[] = {
      {{0, 0, 0}, {55, 115, 75}},
      {{255, 255, 255}, {155, 185, 165}},
      {{100, 70, 90}, {0, 0, 0}},
      {{99, 200, 200}, {154, 255, 255}},
  };
  for (const auto& c : cases) EXPECT_TRUE(DetailRowColor(c.font) == c.expected);
}

TEST(ListModelTest, CellsOfEachMode) {
  ListModel model;
  const ActivityRecord live = Record("C:\\Opera\\opera.exe", "Doc", 36000, kDay);
  model.PridejDoFileView("opera", &live);
  EXPECT_EQ((Texts7{"opera", "1:00:00", "7.12.2026 10:00:00", "Doc", "", "",
                    "C:\\Opera\\opera.exe"}),
            Row(model, 0));

  // Seconds times ten; the daily average divides without a remainder.
  const ActivityRecord found = Record("C:\\a.exe", "", 3600, kDay, 12);
  model.ZmenJ(&found);
  EXPECT_EQ((Texts7{"C:\\a.exe", "1:00:00", "7.12.2026 10:00:00", "", "12 ",
                    "05:00", "C:\\a.exe"}),
            Row(model, 1));
  // 429496736 s times ten wraps to 64 tenths; no day counts as one.
  const ActivityRecord wrapped = Record("C:\\w.exe", "", 429496736u, kDay, 0);
  model.ZmenJ(&wrapped);
  EXPECT_EQ((Texts7{"C:\\w.exe", "00:06", "7.12.2026 10:00:00", "", "0 ",
                    "00:06", "C:\\w.exe"}),
            Row(model, 2));

  const ActivityRecord bucket =
      Record("1.12.2026", "", 7200, EncodeDateTime(2026, 12, 2));
  model.ZmenK(&bucket);
  EXPECT_EQ((Texts7{"", "1.12.2026", "2.12.2026", "2:00:00", "", "",
                    "1.12.2026"}),
            Row(model, 3));

  const ActivityRecord no_path = Record("", "t", 1, kDay);
  model.PridejDoFileView("", &live);
  model.PridejDoFileView("x", nullptr);
  model.ZmenJ(&no_path);
  model.ZmenK(&no_path);
  model.ZmenJ(nullptr);
  EXPECT_EQ(ZmenOutcome::kIgnored, model.Zmen(&no_path).outcome);
  EXPECT_EQ(4u, model.size());
}

TEST(ListModelTest, ZmenFindsRowByNameAndTitleInCurrentOrder) {
  for (bool word_first : {true, false}) {
    ListModel model;
    model.SetSortSettings(7, 0);  // no order: rows stay where they are put
    const ActivityRecord word = Record("C:\\Word\\Word.exe", "", 10, kDay);
    const ActivityRecord pad = Record("C:\\Wordpad\\Wordpad.exe", "", 20, kDay);
    model.Zmen(word_first ? &word : &pad);
    model.Zmen(word_first ? &pad : &word);
    const ActivityRecord word_later =
        Record("C:\\Word\\Word.exe", "", 5000, kDay + 1);
    const ZmenResult result = model.Zmen(&word_later);
    ASSERT_EQ(ZmenOutcome::kUpdated, result.outcome);
    const size_t word_row = word_first ? 0 : 1;
    EXPECT_EQ(word_row, result.row);
    EXPECT_EQ((Texts7{"Word", "08:20", "8.12.2026 10:00:00", "", "", "",
                      "C:\\Word\\Word.exe"}),
              Row(model, word_row));
    EXPECT_EQ("Wordpad", model.Cell(1 - word_row, 0));
    EXPECT_EQ("00:02", model.Cell(1 - word_row, 1));
  }
}

TEST(ListModelTest, ZmenUpdatesInPlaceAndSortsOnlyOnAdd) {
  ListModel model;  // sorted by "Doba", longest first
  const ActivityRecord a = Record("C:\\a\\a.exe", "", 6000, kDay);
  const ActivityRecord b = Record("C:\\b\\b.exe", "", 3000, kDay);
  model.Zmen(&a);
  EXPECT_EQ(ZmenOutcome::kAdded, model.Zmen(&b).outcome);
  EXPECT_EQ((std::vector<std::string>{"10:00", "05:00"}), Column(model, 1));
  const ActivityRecord b_longer = Record("C:\\b\\b.exe", "", 12000, kDay);
  EXPECT_EQ(1u, model.Zmen(&b_longer).row);
  EXPECT_EQ((std::vector<std::string>{"10:00", "20:00"}), Column(model, 1));
  // Another drive, same display name and title: the same row.
  const ActivityRecord other = Record("D:\\b\\b.exe", "", 30, kDay);
  EXPECT_EQ(1u, model.Zmen(&other).row);
  EXPECT_EQ("00:03", model.Cell(1, 1));
  EXPECT_EQ("C:\\b\\b.exe", model.RowText(1));
  const ActivityRecord titled = Record("C:\\a\\a.exe", "T", 90000, kDay);
  EXPECT_EQ(ZmenOutcome::kAdded, model.Zmen(&titled).outcome);
  EXPECT_EQ((std::vector<std::string>{"10:00", "00:03", "2:30:00"}),
            Column(model, 1));
}

TEST(ListModelTest, ManyUpdatesKeepEveryRow) {
  // Replaced row records pile up until the model copies the live ones.
  ListModel model;
  model.SetSortSettings(7, 0);
  ActivityRecord a = Record("C:\\a\\a.exe", std::string(200, 't'), 0, kDay);
  const ActivityRecord b = Record("C:\\b\\b.exe", "", 10, kDay);
  model.Zmen(&a);
  model.Zmen(&b);
  // A search row, still unread when the live rows are copied.
  const ActivityRecord found = Record("C:\\s.exe", "", 60, kDay, 2);
  model.ZmenJ(&found);
  for (int i = 0; i < 20000; ++i) {
    a.time = static_cast<uint32_t>(i);
    ASSERT_EQ(0u, model.Zmen(&a).row);
  }
  EXPECT_EQ((Texts7{"C:\\s.exe", "01:00", "7.12.2026 10:00:00", "", "2 ", "00:30", "C:\\s.exe"}),
            Row(model, 2));
  EXPECT_EQ((Texts7{"\\a\\a.exe", "33:19", "7.12.2026 10:00:00",
                    std::string(200, 't'), "", "", "C:\\a\\a.exe"}),
            Row(model, 0));
  EXPECT_EQ((Texts7{"\\b\\b.exe", "00:01", "7.12.2026 10:00:00", "", "", "",
                    "C:\\b\\b.exe"}),
            Row(model, 1));
}

TEST(ListModelTest, PrekresliGivesEveryRecordItsRow) {
  testutil::FakeClock clock(kDay);
  CSez list;
  list.NewRecord("C:\\x\\app.exe", 100, "");
  list.NewRecord("D:\\x\\app.exe", 200, "");
  list.NewRecord("C:\\x\\app.exe", 300, "T");
  ListModel model;
  model.PrekresliFileView(&list);
  EXPECT_EQ((std::vector<std::string>{"00:20", "00:10", "00:30"}),
            Column(model, 1));
  EXPECT_EQ("D:\\x\\app.exe", model.RowText(0));
}

// Rows of the live list: caption, tenths, title.
void Fill(ListModel* model,
          const std::vector<std::tuple<std::string, uint32_t, std::string>>& rows) {
  for (const auto& r : rows) {
    const ActivityRecord record =
        Record("C:\\p\\" + std::get<0>(r) + ".exe", std::get<2>(r),
               std::get<1>(r), kDay);
    model->PridejDoFileView(std::get<0>(r), &record);
  }
}

TEST(ListModelTest, DurationOrderGroupsAndTies) {
  ListModel model;
  Fill(&model, {{"t", 72000, "T"}, {"m", 35990, ""}, {"h", 36000, ""},
                {"y", 100, ""}, {"x", 100, ""}});
  model.SetSortSettings(1, 0);
  model.Sort();
  EXPECT_EQ((std::vector<std::string>{"h", "m", "x", "y", "t"}),
            Column(model, 0));
  size_t focus = 0;  // "h"
  model.ColumnClick(1, &focus);
  EXPECT_EQ(1, model.sort_direction());
  EXPECT_EQ((std::vector<std::string>{"y", "x", "m", "h", "t"}),
            Column(model, 0));
  EXPECT_EQ(3u, focus);
}

TEST(ListModelTest, DaysAndDates) {
  ListModel model;
  model.Zobraz(2);
  const double midnight = EncodeDateTime(2026, 12, 7);
  const double before = EncodeDateTime(2026, 12, 6, 23, 59, 59);
  const ActivityRecord three = Record("C:\\3.exe", "", 10, before, 3);
  const ActivityRecord twelve = Record("C:\\12.exe", "", 10, midnight, 12);
  model.ZmenJ(&three);
  model.ZmenJ(&twelve);
  model.SetSortSettings(4, 0);
  model.Sort();
  EXPECT_EQ("C:\\12.exe", model.Cell(0, 0));
  model.SetSortSettings(2, 0);
  model.Sort();
  EXPECT_EQ("7.12.2026", model.Cell(0, 2));
  model.SetSortSettings(2, 1);
  model.Sort();
  EXPECT_EQ("6.12.2026 23:59:59", model.Cell(0, 2));
  EXPECT_LT(model.FileViewCompare(0, 1), 0);
}

TEST(ListModelTest, UnreadableDateComparesEqualWithOneEventEach) {
  testutil::EventRecorder events;
  ListModel model;
  model.Zobraz(3);
  for (const char* bucket : {"1.12.2026", "bad", "3.12.2026"}) {
    const ActivityRecord r = Record(bucket, "", 60, kDay);
    model.ZmenK(&r);
  }
  model.SetSortSettings(1, 0);
  EXPECT_EQ(0, model.FileViewCompare(0, 1));
  EXPECT_EQ(0, model.FileViewCompare(1, 2));
  ASSERT_EQ(2u, events.events.size());
  EXPECT_EQ(2, events.events[0].first);
  EXPECT_EQ("Chyba pri porovnavani \r\nErrorMessage: 'bad' is not a valid "
            "date and time",
            events.events[0].second);
  model.Sort();
  EXPECT_EQ(3u, events.events.size());
  EXPECT_EQ((std::vector<std::string>{"3.12.2026", "1.12.2026", "bad"}),
            Column(model, 1));
}

TEST(ListModelTest, ColumnClickAndColumnsWithoutOrder) {
  ListModel model;
  model.SetSortSettings(1, 1);
  model.ColumnClick(2);
  EXPECT_EQ(2, model.sort_column());
  EXPECT_EQ(0, model.sort_direction());

  model.Zobraz(3);
  for (const char* bucket : {"1.12.2026", "3.12.2026", "2.12.2026"}) {
    const ActivityRecord r = Record(bucket, "", 60, kDay);
    model.ZmenK(&r);
  }
  for (uint8_t column : {0, 4, 5, 6}) {
    for (uint8_t direction : {0, 1}) {
      model.SetSortSettings(column, direction);
      model.Sort();
      EXPECT_EQ((std::vector<std::string>{"1.12.2026", "3.12.2026", "2.12.2026"}),
                Column(model, 1));
    }
  }
}

TEST(ListModelTest, RowColoursAndFocusedText) {
  const RgbColor font{0, 0, 0};
  const RgbColor detail{55, 115, 75};
  ListModel model;
  const ActivityRecord titled = Record("C:\\a.exe", "T", 10, kDay);
  const ActivityRecord total = Record("C:\\a.exe", "", 10, kDay);
  model.ZmenJ(&titled);
  model.ZmenJ(&total);
  for (uint32_t mode : {1u, 2u, 3u}) {
    model.Zobraz(mode);
    EXPECT_TRUE(model.RowTextColor(0, font) == (mode == 3 ? font : detail));
    EXPECT_TRUE(model.RowTextColor(1, font) == font);
  }
  EXPECT_EQ(nullptr, model.Zobraz(0));
  EXPECT_EQ(2u, model.size());

  std::string text = "kept";
  EXPECT_FALSE(model.FocusedRowText(-1, &text));
  EXPECT_FALSE(model.FocusedRowText(2, &text));
  EXPECT_EQ("kept", text);
  EXPECT_TRUE(model.FocusedRowText(1, &text));
  EXPECT_EQ("C:\\a.exe", text);
}

// The fast sort must give an order that the literal comparison accepts,
// for every mode, column and direction, including texts that leave the
// numeric keys (1000 days and more, dates before 1927, 10000 days and more)
// and captions that differ only in case or accents.
TEST(ListModelTest, SortAgreesWithLiteralComparison) {
  testutil::EventRecorder events;
  std::mt19937 random(11);
  const std::vector<std::string> names = {
      "C:\\a\\čaj.exe", "C:\\A\\ČAJ.exe", "C:\\a\\cukr.exe", "C:\\ch\\chata.exe",
      "C:\\h\\hrad.exe", "D:\\x\\app.exe", "C:\\x\\app.exe", "[system;]",
      "C:\\Ďábel.exe", "C:\\dub.exe",
      "C:\\Program Files\\Common Files\\Shared\\Tools\\a.exe",
      "C:\\Program Files\\Common Files\\Shared\\Tools\\B.exe"};
  const std::vector<std::string> titles = {
      "", "", "", "Doc", "doc", "Čaj", "chata", "hrad", "- x", "x", "cukr",
      "cůkr", "Dokument bez názvu - Poznámkový blok (1)",
      "Dokument bez názvu - Poznámkový blok (2)"};
  // Dates within one shown second: their cells are equal, whatever their
  // milliseconds.
  const double seconds[] = {EncodeDateTime(2020, 5, 1, 8, 0, 0), EncodeDateTime(2021, 1, 1)};
  for (int trial = 0; trial < 36; ++trial) {
    const uint32_t mode = 1 + trial % 3;
    const bool outliers = trial % 2 == 1;
    ListModel model;
    model.Zobraz(mode);
    for (int i = 0; i < 40; ++i) {
      const uint32_t first_year = outliers ? 1900 : 1930;
      const double date =
          random() % 4 == 0
              ? seconds[random() % 2] + (random() % 1000) / 86400000.0
              : EncodeDateTime(static_cast<int>(first_year + random() % 200),
                               1 + random() % 12, 1 + random() % 28,
                               random() % 3 == 0 ? 0 : random() % 24, random() % 60,
                               random() % 60);
      uint32_t time = random() % 4 == 0 ? 600 : random() % 200000;
      if (outliers && random() % 8 == 0) time = 90000000 + random() % 1000;
      uint32_t days = random() % 20;  // 0: the average divides by one
      if (outliers && random() % 8 == 0) days = 10000 + random() % 90000;
      const std::string& title = titles[random() % titles.size()];
      const std::string& name = names[random() % names.size()];
      if (mode == 3) {
        const std::string bucket =
            outliers && random() % 10 == 0 ? "?" : FixedDateTimeText(date);
        const ActivityRecord r = Record(bucket, "", time, date + 1);
        model.ZmenK(&r);
      } else {
        const ActivityRecord r = Record(name, title, time, date, days);
        if (mode == 1) {
          model.PridejDoFileView(DisplayName(name), &r);
        } else {
          model.ZmenJ(&r);
        }
      }
    }
    std::vector<std::string> before = Column(model, 1);
    std::sort(before.begin(), before.end());
    for (uint8_t column = 0; column < 7; ++column) {
      for (uint8_t direction = 0; direction < 2; ++direction) {
        model.SetSortSettings(column, direction);
        model.Sort();
        for (size_t i = 0; i + 1 < model.size(); ++i) {
          ASSERT_LE(model.FileViewCompare(i, i + 1), 0)
              << "mode " << mode << " column " << int(column) << " direction "
              << int(direction) << " rows " << i << ": "
              << model.Cell(i, column) << " | " << model.Cell(i + 1, column)
              << " (titles " << model.Cell(i, 3) << " | " << model.Cell(i + 1, 3)
              << ", captions " << model.Cell(i, 0) << " | "
              << model.Cell(i + 1, 0) << ")";
        }
        std::vector<std::string> after = Column(model, 1);
        std::sort(after.begin(), after.end());
        ASSERT_EQ(before, after);
      }
    }
  }
}

}  // namespace

// tramo2-stats orders result records without a list: the order must be the
// list's own, row for row, ties and texts beyond the numeric keys included.
TEST(ListModelTest, RecordsInListOrderIsTheListsOrder) {
  std::mt19937 random(7);
  const std::vector<std::string> paths = {"C:\\a\\čaj.exe", "C:\\A\\ČAJ.exe", "C:\\a\\cukr.exe",
                                          "C:\\ch\\chata.exe", "C:\\h\\hrad.exe"};
  const std::vector<std::string> titles = {"", "", "Doc", "doc", "Čaj", "chata"};
  for (uint32_t mode : {2u, 3u}) {
    std::vector<ActivityRecord> records;
    for (int i = 0; i < 60; ++i) {
      const double date = kDay - random() % 40 - (random() % 24) / 24.0;
      uint32_t time = 60 * (1 + random() % 3);
      if (random() % 10 == 0) time = 90000000 + random() % 3;  // beyond 1000 days
      const std::string path = mode == 3 ? FixedDateTimeText(date) : paths[random() % paths.size()];
      records.push_back(Record(path, mode == 3 ? "" : titles[random() % titles.size()], time, date,
                               1 + random() % 3));
    }
    std::vector<ActivityRecord*> pointers;
    for (ActivityRecord& r : records) pointers.push_back(&r);
    for (uint8_t column = 0; column < 7; ++column) {
      for (uint8_t direction = 0; direction < 2; ++direction) {
        ListModel model;
        model.Zobraz(mode);
        model.SetSortSettings(column, direction);
        for (const ActivityRecord* r : pointers) mode == 3 ? model.ZmenK(r) : model.ZmenJ(r);
        model.Sort();
        const std::vector<ActivityRecord*> ordered =
            RecordsInListOrder(pointers, SortSettings{mode, column, direction});
        ASSERT_EQ(model.size(), ordered.size());
        for (size_t i = 0; i < ordered.size(); ++i) {
          for (int c = 0; c < kListColumns; ++c) {
            const std::string cell = mode == 3 ? OverviewCellText(*ordered[i], c)
                                               : SearchCellText(*ordered[i], c);
            ASSERT_EQ(model.Cell(i, c), cell) << "mode " << mode << " column " << int(column)
                                              << " direction " << int(direction) << " row " << i;
          }
        }
      }
    }
  }
}
