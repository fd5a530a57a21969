#include "store/csez.h"

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/test_util.h"
#include "support/datetime.h"

namespace {

using testutil::Id;
using testutil::Records;

const double kNow = EncodeDateTime(2024, 5, 10, 14, 0, 0);

std::vector<uint32_t> Times(CSez* list) {
  std::vector<uint32_t> out;
  for (ActivityRecord* r : Records(list)) out.push_back(r->time);
  return out;
}

// Records padding the list past the length at which lookups switch to the
// hash index, so that every lookup case runs against both the scan and the
// index.
void AddFillers(CSez* list, int count) {
  for (int i = 0; i < count; ++i) {
    list->NewRecord("C:\\filler\\f" + std::to_string(i) + ".exe", 1000 + i, "");
  }
}

class LookupTest : public ::testing::TestWithParam<int> {};

TEST_P(LookupTest, PathsFoldAsciiOnlyTitlesExact) {
  testutil::FakeClock clock(kNow);
  CSez list;
  ActivityRecord* upper = list.NewRecord("C:\\APP\\X.EXE", 1, "");
  ActivityRecord* accented_upper = list.NewRecord("C:\\APP\\\xC8.EXE", 2, "");
  ActivityRecord* accented_lower = list.NewRecord("c:\\app\\\xE8x.exe", 3, "");
  ActivityRecord* titled = list.NewRecord("C:\\App\\Word.exe", 4, "Doc");
  ActivityRecord* total = list.NewRecord("C:\\App\\Word.exe", 5, "");
  AddFillers(&list, GetParam());

  struct Case {
    const char* path;
    const char* title;  // nullptr: FindPath
    ActivityRecord* expected;
  };
  const Case cases[] = {
      {"c:\\app\\x.exe", nullptr, upper},
      {"C:\\APP\\X.EXE", nullptr, upper},
      {"c:\\aPp\\X.exe", nullptr, upper},
      {"c:\\app\\x.exe ", nullptr, nullptr},
      {"c:\\app\\\xE8.exe", nullptr, nullptr},  // only a-z fold
      {"C:\\APP\\\xC8.EXE", nullptr, accented_upper},
      {"C:\\APP\\\xE8X.EXE", nullptr, accented_lower},
      {"C:\\APP\\\xC8X.EXE", nullptr, nullptr},
      {"c:\\app\\word.exe", nullptr, total},  // the total, not the titled record
      {"c:\\app\\word.exe", "Doc", titled},
      {"c:\\app\\word.exe", "doc", nullptr},
      {"c:\\app\\word.exe", "Doc ", nullptr},
      {"c:\\app\\x.exe", "Doc", nullptr},
      {"c:\\app\\word.exe", "", nullptr},  // an empty title never matches
      {"C:\\filler\\f0.exe", "", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " | " + (c.title ? c.title : "(path)"));
    ActivityRecord* found =
        c.title == nullptr ? list.FindPath(c.path) : list.FindPathTitle(c.path, c.title);
    EXPECT_EQ(c.expected, found);
    // The TextId forms answer the same.
    ActivityRecord* by_id =
        c.title == nullptr ? list.FindPath(Id(c.path)) : list.FindPathTitle(Id(c.path), Id(c.title));
    EXPECT_EQ(c.expected, by_id);
  }
}

TEST_P(LookupTest, CursorIsCheckedFirstAndKeptOnMiss) {
  testutil::FakeClock clock(kNow);
  CSez list;
  AddFillers(&list, GetParam());
  const TextId path = Id("C:\\dup.exe");
  ActivityRecord* older = list.NewDatedRecord(path, 7, kNow, kEmptyText);
  ActivityRecord* other = list.NewRecord("C:\\other.exe", 1, "");

  EXPECT_EQ(older, list.FindPath("c:\\DUP.exe"));
  EXPECT_EQ(older, list.cursor());

  // A second record with the same key, ahead of the first: the cursor still wins.
  ActivityRecord* newer = list.NewDatedRecord(path, 3, kNow, kEmptyText);
  EXPECT_EQ(newer, list.head());
  EXPECT_EQ(older, list.FindPath("C:\\DUP.EXE"));

  // Misses and empty-title lookups leave the cursor where it was.
  EXPECT_EQ(nullptr, list.FindPath("C:\\missing.exe"));
  EXPECT_EQ(nullptr, list.FindPathTitle("C:\\other.exe", ""));
  EXPECT_EQ(older, list.cursor());

  // Once the cursor names another key, the scan finds the first from the head.
  EXPECT_EQ(other, list.FindPath("C:\\OTHER.EXE"));
  EXPECT_EQ(other, list.cursor());
  EXPECT_EQ(newer, list.FindPath("C:\\dup.exe"));
  EXPECT_EQ(newer, list.cursor());
}

TEST_P(LookupTest, CursorSurvivesReorder) {
  testutil::FakeClock clock(kNow);
  CSez list;
  AddFillers(&list, GetParam());
  ActivityRecord* a = list.NewRecord("C:\\a.exe", 0, "");
  ActivityRecord* b = list.NewRecord("C:\\b.exe", 0, "");
  EXPECT_EQ(b, list.FindPath("C:\\B.EXE"));
  ActivityRecord* moved = list.AddTime(b, 5000);
  EXPECT_EQ(b, moved);
  EXPECT_NE(b, list.head());
  EXPECT_EQ(b, list.FindPath("c:\\b.exe"));
  EXPECT_EQ(a, list.FindPath("c:\\a.exe"));
}

INSTANTIATE_TEST_SUITE_P(ShortAndLongLists, LookupTest, ::testing::Values(0, 100));

TEST(RecordCreationTest, NewRecordsGoToTheHead) {
  testutil::FakeClock clock(kNow);
  CSez list;
  ActivityRecord* live = list.NewRecord("C:\\a.exe", 5, "T");
  EXPECT_EQ(live, list.head());
  EXPECT_EQ("C:\\a.exe", live->PathText());
  EXPECT_EQ("T", live->TitleText());
  EXPECT_EQ(5u, live->time);
  EXPECT_EQ(kNow, live->stamp);
  EXPECT_EQ(0, live->latest);
  EXPECT_EQ(0u, live->activeDays);

  const double date = EncodeDateTime(2023, 1, 2, 3, 4, 5);
  ActivityRecord* dated = list.NewDatedRecord(Id("C:\\a.exe"), 9, date, Id("T"));
  EXPECT_EQ(dated, list.head());
  EXPECT_NE(live, dated);  // no lookup: the key is now held twice
  EXPECT_EQ(date, dated->stamp);
  EXPECT_EQ(date, dated->latest);
  EXPECT_EQ(1u, dated->activeDays);
  EXPECT_EQ(2u, list.size());
  EXPECT_EQ((std::vector<ActivityRecord*>{dated, live}), Records(&list));
}

TEST(ReorderTest, AddTimeMovesTowardTail) {
  testutil::FakeClock clock(kNow);
  CSez list;
  ActivityRecord* r12 = list.NewRecord("C:\\c.exe", 12, "");
  ActivityRecord* r7 = list.NewRecord("C:\\b.exe", 7, "");
  ActivityRecord* r5 = list.NewRecord("C:\\a.exe", 5, "");
  ASSERT_EQ((std::vector<uint32_t>{5, 7, 12}), Times(&list));

  clock.Set(kNow + 0.5);
  ActivityRecord* updated = list.AddTime(r5, 5);
  EXPECT_EQ(r5, updated);
  EXPECT_EQ(10u, updated->time);
  EXPECT_EQ("C:\\a.exe", updated->PathText());
  EXPECT_EQ(kNow + 0.5, updated->stamp);
  EXPECT_EQ((std::vector<ActivityRecord*>{r7, r5, r12}), Records(&list));

  updated = list.AddTime(r5, 20);
  EXPECT_EQ(r5, updated);
  EXPECT_EQ((std::vector<uint32_t>{7, 12, 30}), Times(&list));
  EXPECT_EQ((std::vector<ActivityRecord*>{r7, r12, r5}), Records(&list));
}

TEST(ReorderTest, EqualTimesKeepOrder) {
  testutil::FakeClock clock(kNow);
  CSez list;
  ActivityRecord* c = list.NewRecord("C:\\c.exe", 10, "");
  ActivityRecord* b = list.NewRecord("C:\\b.exe", 10, "");
  ActivityRecord* a = list.NewRecord("C:\\a.exe", 5, "");
  list.AddTime(a, 5);  // 10 is not more than the 10 that follows
  EXPECT_EQ((std::vector<ActivityRecord*>{a, b, c}), Records(&list));
  list.AddTime(b, 0);
  EXPECT_EQ((std::vector<ActivityRecord*>{a, b, c}), Records(&list));
  list.AddTime(a, 1);  // passes both
  EXPECT_EQ((std::vector<ActivityRecord*>{b, c, a}), Records(&list));
  // A record in the middle moves only past the smaller ones after it.
  ActivityRecord* d = list.NewRecord("C:\\d.exe", 10, "");
  list.AddTime(b, 1);  // b=11 passes c=10, stops before a=11
  EXPECT_EQ((std::vector<ActivityRecord*>{d, c, b, a}), Records(&list));
}

TEST(ReorderTest, ComparesUnsignedAndWraps) {
  testutil::FakeClock clock(kNow);
  CSez list;
  ActivityRecord* big = list.NewRecord("C:\\big.exe", 0x7FFFFFFFu, "");
  ActivityRecord* small = list.NewRecord("C:\\small.exe", 0, "");
  list.AddTime(small, 0x80000000u);  // negative as a signed number, still larger
  EXPECT_EQ((std::vector<ActivityRecord*>{big, small}), Records(&list));
  list.AddTime(small, 0x80000001u);  // wraps to 1 without a check
  EXPECT_EQ(1u, small->time);
  EXPECT_EQ((std::vector<ActivityRecord*>{big, small}), Records(&list));
}

TEST(MergeTimeTest, CountsDayChangesAndKeepsLatest) {
  testutil::FakeClock clock(kNow);
  CSez list;
  const double may10 = EncodeDateTime(2024, 5, 10, 14, 0, 0);
  const double may10_morning = EncodeDateTime(2024, 5, 10, 8, 0, 0);
  const double may9 = EncodeDateTime(2024, 5, 9, 23, 59, 59);
  ActivityRecord* r = list.NewDatedRecord(Id("C:\\a.exe"), 100, may10, kEmptyText);

  struct Step {
    double date;
    uint32_t delta;
    uint32_t days, time;
    double stamp, latest;
  };
  const Step steps[] = {
      {may10_morning, 10, 1, 110, may10_morning, may10},
      {may9, 0, 2, 110, may9, may10},
      {may10, 5, 3, 115, may10, may10},  // a change of day, not a distinct day
      {may10 + 1, 1, 4, 116, may10 + 1, may10 + 1},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(FixedDateTimeText(s.date));
    EXPECT_EQ(r, list.MergeTime(r, s.delta, s.date));
    EXPECT_EQ(s.days, r->activeDays);
    EXPECT_EQ(s.time, r->time);
    EXPECT_EQ(s.stamp, r->stamp);
    EXPECT_EQ(s.latest, r->latest);
  }
}

TEST(MergeTimeTest, ReordersAndSetsLatestOfLiveRecord) {
  testutil::FakeClock clock(kNow);
  CSez list;
  ActivityRecord* b = list.NewRecord("C:\\b.exe", 7, "");
  ActivityRecord* a = list.NewRecord("C:\\a.exe", 5, "");
  const double same_day = EncodeDateTime(2024, 5, 10, 9, 0, 0);
  EXPECT_EQ(a, list.MergeTime(a, 3, same_day));
  EXPECT_EQ(0u, a->activeDays);  // the stamp (now) lies on the same day
  EXPECT_EQ(same_day, a->latest);
  EXPECT_EQ(same_day, a->stamp);
  EXPECT_EQ((std::vector<ActivityRecord*>{b, a}), Records(&list));
  EXPECT_EQ(a, list.MergeTime(a, 0, same_day - 1));
  EXPECT_EQ(1u, a->activeDays);
  EXPECT_EQ(same_day, a->latest);
}

TEST(PruneTest, DropsRecordsBelowMinimum) {
  struct Case {
    int32_t minimum_seconds;
    std::vector<uint32_t> kept;
  };
  const Case cases[] = {
      {60, {600, 601, 5000}},
      {0, {0, 1, 599, 600, 601, 5000}},
      {-5, {0, 1, 599, 600, 601, 5000}},
      {1, {599, 600, 601, 5000}},
      {500, {5000}},
      {501, {}},
      {429496730, {}},  // ten times that does not fit in 32 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.minimum_seconds);
    testutil::FakeClock clock(kNow);
    CSez list;
    for (uint32_t t : {5000u, 601u, 600u, 599u, 1u, 0u}) {
      list.NewRecord("C:\\t" + std::to_string(t) + ".exe", t, "");
    }
    AddFillers(&list, 30);
    ASSERT_NE(nullptr, list.FindPath("C:\\T600.EXE"));
    list.PruneBelow(c.minimum_seconds);
    EXPECT_EQ(nullptr, list.cursor());
    std::vector<uint32_t> kept;
    for (ActivityRecord* r : Records(&list)) {
      if (r->PathText().find("filler") == std::string::npos) kept.push_back(r->time);
    }
    EXPECT_EQ(c.kept, kept);
    // Lookups after the prune see exactly what is left.
    EXPECT_EQ(std::find(c.kept.begin(), c.kept.end(), 600u) != c.kept.end(),
              list.FindPath("c:\\t600.exe") != nullptr);
  }
}

TEST(ClearTest, ResetsListButKeepsFirstWrite) {
  testutil::FakeClock clock(kNow);
  CSez list;
  EXPECT_TRUE(list.firstWrite);
  EXPECT_FALSE(list.timeChanged);
  EXPECT_FALSE(list.hibernated);
  EXPECT_EQ(kNow, list.periodStart);
  AddFillers(&list, 40);
  ASSERT_NE(nullptr, list.FindPath("C:\\FILLER\\F3.EXE"));
  list.SetTimeChanged();
  list.SetHibernated();
  list.firstWrite = false;

  clock.Set(kNow + 1);
  list.Clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(0u, list.size());
  EXPECT_EQ(nullptr, list.head());
  EXPECT_EQ(nullptr, list.cursor());
  EXPECT_FALSE(list.timeChanged);
  EXPECT_FALSE(list.hibernated);
  EXPECT_FALSE(list.firstWrite);
  EXPECT_EQ(kNow + 1, list.periodStart);
  ActivityRecord* r;
  list.Rewind();
  EXPECT_FALSE(list.Next(&r));
  EXPECT_EQ(nullptr, r);
  EXPECT_EQ(nullptr, list.FindPath("C:\\FILLER\\F3.EXE"));

  // The list works as new after a clear, released records being reused.
  AddFillers(&list, 40);
  EXPECT_EQ(40u, list.size());
  EXPECT_EQ(1003u, list.FindPath("C:\\FILLER\\F3.EXE")->time);
}

// A literal model of the list rules: a vector from head to tail, first match
// from the head, cursor first, reorder by exchanging neighbours.
class ModelList {
 public:
  struct Rec {
    int id;
    std::string path, title;
    uint32_t time;
    double stamp, latest;
    uint32_t days;
  };

  static std::string Fold(std::string s) {
    for (char& c : s) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
  }

  int Find(const std::string& path, const std::string& title) {
    const int c = Position(cursor_);
    if (c >= 0 && Matches(recs[c], path, title)) return c;
    for (size_t i = 0; i < recs.size(); ++i) {
      if (Matches(recs[i], path, title)) {
        cursor_ = recs[i].id;
        return static_cast<int>(i);
      }
    }
    return -1;
  }
  int FindPathTitle(const std::string& path, const std::string& title) {
    return title.empty() ? -1 : Find(path, title);
  }
  int NewRecord(const std::string& path, uint32_t time, const std::string& title,
                double stamp, double latest, uint32_t days) {
    recs.insert(recs.begin(), Rec{next_id_++, path, title, time, stamp, latest, days});
    return 0;
  }
  int AddTime(int pos, uint32_t delta, double now) {
    recs[pos].time += delta;
    recs[pos].stamp = now;
    return Reorder(pos);
  }
  int MergeTime(int pos, uint32_t delta, double date) {
    Rec& r = recs[pos];
    r.time += delta;
    if (static_cast<int64_t>(r.stamp) != static_cast<int64_t>(date)) ++r.days;
    r.stamp = date;
    if (date > r.latest) r.latest = date;
    return Reorder(pos);
  }
  void PruneBelow(int32_t minimum_seconds) {
    const int64_t minimum = std::max<int64_t>(minimum_seconds, 0) * 10;
    recs.erase(std::remove_if(recs.begin(), recs.end(),
                              [&](const Rec& r) { return r.time < minimum; }),
               recs.end());
    cursor_ = -1;
  }
  void Clear() {
    recs.clear();
    cursor_ = -1;
  }
  int CursorPosition() const { return Position(cursor_); }

  std::vector<Rec> recs;

 private:
  static bool Matches(const Rec& r, const std::string& path, const std::string& title) {
    return r.title == title && Fold(r.path) == Fold(path);
  }
  int Position(int id) const {
    for (size_t i = 0; i < recs.size(); ++i) {
      if (recs[i].id == id) return static_cast<int>(i);
    }
    return -1;
  }
  int Reorder(int pos) {
    while (pos + 1 < static_cast<int>(recs.size()) && recs[pos + 1].time < recs[pos].time) {
      std::swap(recs[pos], recs[pos + 1]);
      ++pos;
    }
    return pos;
  }

  int cursor_ = -1;
  int next_id_ = 0;
};

int PositionOf(CSez* list, const ActivityRecord* record) {
  if (record == nullptr) return -1;
  int i = 0;
  for (ActivityRecord* r = list->head(); r != nullptr; r = r->next, ++i) {
    if (r == record) return i;
  }
  return -2;  // not in the list at all
}

ActivityRecord* At(CSez* list, int pos) {
  ActivityRecord* r = list->head();
  while (pos-- > 0) r = r->next;
  return r;
}

::testing::AssertionResult SameAsModel(CSez* list, const ModelList& model) {
  const std::vector<ActivityRecord*> records = Records(list);
  if (records.size() != model.recs.size() || list->size() != model.recs.size()) {
    return ::testing::AssertionFailure()
           << "size " << records.size() << "/" << list->size() << " vs " << model.recs.size();
  }
  for (size_t i = 0; i < records.size(); ++i) {
    const ActivityRecord* r = records[i];
    const ModelList::Rec& m = model.recs[i];
    if (r->PathText() != m.path || r->TitleText() != m.title || r->time != m.time ||
        r->stamp != m.stamp || r->latest != m.latest || r->activeDays != m.days) {
      return ::testing::AssertionFailure()
             << "record " << i << ": " << r->PathText() << "|" << r->TitleText() << " "
             << r->time << " vs " << m.path << "|" << m.title << " " << m.time;
    }
  }
  if (PositionOf(list, list->cursor()) != model.CursorPosition()) {
    return ::testing::AssertionFailure() << "cursor at " << PositionOf(list, list->cursor())
                                         << " vs " << model.CursorPosition();
  }
  return ::testing::AssertionSuccess();
}

struct RandomRun {
  uint32_t generator_state;
  int operations;
  int duplicate_per_mille;  // NewDatedRecord of a key already held
  int prune_per_mille;
};

void PrintTo(const RandomRun& run, std::ostream* os) {
  *os << "state " << run.generator_state << ", duplicates " << run.duplicate_per_mille << "/1000, prunes "
      << run.prune_per_mille << "/1000";
}

class RandomListTest : public ::testing::TestWithParam<RandomRun> {};

// Hundreds of records (over a thousand in the long run), so the hash index is
// built, dropped on a repeated key and rebuilt after prunes, and the order
// blocks of long lists split, empty and skip; every answer must equal the
// literal rules.
TEST_P(RandomListTest, MatchesLiteralModel) {
  const RandomRun run = GetParam();
  std::mt19937 rng(run.generator_state);
  auto below = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  testutil::FakeClock clock(kNow);
  CSez list;
  ModelList model;
  size_t longest = 0;

  const int kBases = 300;
  auto random_path = [&](int base) {
    std::string p = "c:\\programs\\app" + std::to_string(base) + "\\run.exe";
    for (char& c : p) {
      if (c >= 'a' && c <= 'z' && below(2) == 0) c = static_cast<char>(c - 'a' + 'A');
    }
    if (base % 7 == 0) p += below(2) == 0 ? "\xE8" : "\xC8";  // must not fold
    return p;
  };
  const std::vector<std::string> titles = {"", "", "", "Doc", "doc", "Doc - Editor", "x"};
  auto random_title = [&]() { return titles[below(static_cast<int>(titles.size()))]; };
  auto random_date = [&]() { return 45000 + below(12) + below(1000) / 1000.0; };

  for (int op = 0; op < run.operations; ++op) {
    clock.Set(kNow + op / 86400.0);
    std::string path = random_path(below(kBases));
    std::string title = random_title();
    if (!model.recs.empty() && below(2) == 0) {
      // A key the list holds, spelled in any case.
      const ModelList::Rec& m = model.recs[below(static_cast<int>(model.recs.size()))];
      path = m.path;
      for (char& c : path) {
        if (c >= 'a' && c <= 'z' && below(2) == 0) c = static_cast<char>(c - 'a' + 'A');
      }
      title = m.title;
    }
    const int kind = below(1000);
    if (op == run.operations / 2) {
      list.Clear();
      model.Clear();
    }
    SCOPED_TRACE("operation " + std::to_string(op) + " kind " + std::to_string(kind));

    if (kind < run.prune_per_mille) {
      const int32_t minimum = below(4) - 1;
      list.PruneBelow(minimum);
      model.PruneBelow(minimum);
    } else if (kind < 400) {
      // The sampler's find-then-add.
      const uint32_t delta = static_cast<uint32_t>(below(4)) * 5;
      ActivityRecord* found =
          title.empty() ? list.FindPath(path) : list.FindPathTitle(path, title);
      const int expected = title.empty() ? model.Find(path, "") : model.FindPathTitle(path, title);
      ASSERT_EQ(expected, PositionOf(&list, found));
      if (found != nullptr) {
        ActivityRecord* updated = list.AddTime(found, delta);
        ASSERT_EQ(found, updated);
        ASSERT_EQ(model.AddTime(expected, delta, kNow + op / 86400.0),
                  PositionOf(&list, updated));
      } else {
        list.NewRecord(path, delta, title);
        model.NewRecord(path, delta, title, kNow + op / 86400.0, 0, 0);
      }
    } else if (kind < 650) {
      // The aggregate's find-then-merge.
      const uint32_t delta = static_cast<uint32_t>(below(30));
      const double date = random_date();
      ActivityRecord* found =
          title.empty() ? list.FindPath(Id(path)) : list.FindPathTitle(Id(path), Id(title));
      const int expected = title.empty() ? model.Find(path, "") : model.FindPathTitle(path, title);
      ASSERT_EQ(expected, PositionOf(&list, found));
      if (found != nullptr) {
        ActivityRecord* updated = list.MergeTime(found, delta, date);
        ASSERT_EQ(found, updated);
        ASSERT_EQ(model.MergeTime(expected, delta, date), PositionOf(&list, updated));
      } else {
        list.NewDatedRecord(Id(path), delta, date, Id(title));
        model.NewRecord(path, delta, title, date, date, 1);
      }
    } else if (kind < 650 + run.duplicate_per_mille) {
      // A second record for a key already held (equal period starts in history).
      if (!model.recs.empty()) {
        const ModelList::Rec& m = model.recs[below(static_cast<int>(model.recs.size()))];
        const std::string dup_path = below(2) == 0 ? m.path : ModelList::Fold(m.path);
        const std::string dup_title = m.title;
        const double date = random_date();
        // Sometimes more time than the older record, so that it later moves past it.
        const uint32_t time = below(2) == 0 ? 3 : static_cast<uint32_t>(below(3000));
        list.NewDatedRecord(Id(dup_path), time, date, Id(dup_title));
        model.NewRecord(dup_path, time, dup_title, date, date, 1);
      }
    } else if (kind < 800) {
      // Time added to any record, not only to a looked-up one.
      if (!model.recs.empty()) {
        const int pos = below(static_cast<int>(model.recs.size()));
        const uint32_t delta = static_cast<uint32_t>(below(3)) * 5;
        ActivityRecord* updated = list.AddTime(At(&list, pos), delta);
        ASSERT_EQ(model.AddTime(pos, delta, kNow + op / 86400.0), PositionOf(&list, updated));
      }
    } else {
      // Pure lookups, the most frequent operation of a search.
      const int expected =
          title.empty() ? model.Find(path, "") : model.FindPathTitle(path, title);
      ActivityRecord* found =
          title.empty() ? list.FindPath(path) : list.FindPathTitle(path, title);
      ASSERT_EQ(expected, PositionOf(&list, found));
    }
    ASSERT_TRUE(SameAsModel(&list, model));
    longest = std::max(longest, model.recs.size());
  }
  EXPECT_GT(longest, 200u);  // far past the length at which lookups use the index
}

INSTANTIATE_TEST_SUITE_P(Runs, RandomListTest,
                         ::testing::Values(RandomRun{1, 6000, 0, 0},
                                           RandomRun{2, 6000, 0, 3},
                                           RandomRun{3, 6000, 5, 4},
                                           RandomRun{4, 6000, 40, 10},
                                           RandomRun{5, 6000, 2, 1},
                                           RandomRun{6, 20000, 0, 0}));

}  // namespace
