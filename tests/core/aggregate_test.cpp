#include "store/cglobal.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/test_util.h"
#include "support/crc32.h"
#include "support/datetime.h"

namespace {

using testutil::Id;
using testutil::Record;
using testutil::Records;

std::vector<PeriodNode*> Nodes(CGlobal* db) {
  std::vector<PeriodNode*> out;
  PeriodNode* node;
  db->RewindNodes();
  while (db->NextNode(&node)) out.push_back(node);
  return out;
}

// Opens a session marker the way the log reader does after a session header.
PeriodNode* OpenSession(CGlobal* db, double start) {
  db->newSessionPending = true;
  db->MarkSession(start);
  return db->head();
}

TEST(HistoryTest, RefusesRecordsAfterPeriodEnd) {
  CGlobal db;
  const double start = EncodeDateTime(2024, 3, 1, 10, 0, 0);
  EXPECT_FALSE(db.AddHistoryRecord("C:\\a.exe", "", 60, start));  // periodEnd unset
  EXPECT_EQ(nullptr, db.head());

  db.periodEnd = EncodeDateTime(2024, 3, 1, 11, 0, 0);
  PeriodNode* session = OpenSession(&db, start);
  const double session_end = session->end;
  EXPECT_FALSE(db.AddHistoryRecord("C:\\a.exe", "", 60, db.periodEnd + 1e-9));
  EXPECT_EQ(session, db.head());
  EXPECT_EQ(session_end, session->end);  // a refused record extends nothing
  EXPECT_FALSE(db.AddHistoryRecord("C:\\a.exe", "", 60, std::nan("")));
  EXPECT_TRUE(db.AddHistoryRecord("C:\\a.exe", "", 60, db.periodEnd));  // the end itself is in
}

TEST(HistoryTest, OneNodePerPeriodStart) {
  CGlobal db;
  const double start1 = EncodeDateTime(2024, 3, 1, 10, 0, 0);
  const double end1 = EncodeDateTime(2024, 3, 1, 10, 59, 59);
  const double start2 = end1;
  const double end2 = EncodeDateTime(2024, 3, 1, 11, 59, 59);
  PeriodNode* session = OpenSession(&db, start1);

  db.periodEnd = end1;
  ASSERT_TRUE(db.AddHistoryRecord("C:\\a.exe", "", 60, start1));
  ASSERT_TRUE(db.AddHistoryRecord("C:\\b.exe", "T", 70, start1));
  EXPECT_EQ(end1, session->end);
  db.periodEnd = end2;
  ASSERT_TRUE(db.AddHistoryRecord("C:\\a.exe", "", 80, start2));
  EXPECT_EQ(end2, session->end);

  const std::vector<PeriodNode*> nodes = Nodes(&db);
  ASSERT_EQ(3u, nodes.size());
  EXPECT_EQ(start2, nodes[0]->key);
  EXPECT_EQ(end2, nodes[0]->end);
  EXPECT_EQ(start1, nodes[1]->key);
  EXPECT_EQ(end1, nodes[1]->end);
  EXPECT_EQ(session, nodes[2]);
  for (PeriodNode* n : {nodes[0], nodes[1]}) {
    EXPECT_FALSE(n->isSession || n->crashed || n->timeChanged || n->hibernated);
  }

  const std::vector<ActivityRecord*> first = Records(&nodes[1]->list);
  ASSERT_EQ(2u, first.size());
  EXPECT_EQ("C:\\b.exe", first[0]->PathText());  // the later line is at the head
  EXPECT_EQ("T", first[0]->TitleText());
  EXPECT_EQ(70u, first[0]->time);
  EXPECT_EQ(start1, first[0]->stamp);
  EXPECT_EQ(start1, first[0]->latest);
  EXPECT_EQ(1u, first[0]->activeDays);

  // A later read of the same start (the clock was set back) joins the node;
  // its end stays the one it was created with.
  db.periodEnd = EncodeDateTime(2024, 3, 1, 12, 30, 0);
  ASSERT_TRUE(db.AddHistoryRecord("C:\\a.exe", "", 5, start1));
  EXPECT_EQ(3u, Nodes(&db).size());
  EXPECT_EQ(end1, nodes[1]->end);
  EXPECT_EQ(3u, nodes[1]->list.size());
}

TEST(HistoryTest, MarkSessionOpensOrExtends) {
  CGlobal db;
  const double start = EncodeDateTime(2024, 3, 1, 10, 0, 0);
  db.MarkSession(start);  // no header read, no session: nothing happens
  EXPECT_EQ(nullptr, db.head());

  PeriodNode* session = OpenSession(&db, start);
  ASSERT_NE(nullptr, session);
  EXPECT_FALSE(db.newSessionPending);
  EXPECT_EQ(session, db.currentSession());
  EXPECT_TRUE(session->isSession);
  EXPECT_FALSE(session->crashed || session->timeChanged || session->hibernated);
  EXPECT_EQ(start - 1e-8, session->key);
  EXPECT_EQ(start - 1e-8, session->end);
  EXPECT_TRUE(session->list.empty());

  const double later = start + 0.25;
  db.MarkSession(later);
  EXPECT_EQ(later - 1e-8, session->end);
  EXPECT_EQ(start - 1e-8, session->key);
  EXPECT_EQ(1u, Nodes(&db).size());

  PeriodNode* second = OpenSession(&db, later + 1);
  EXPECT_NE(session, second);
  EXPECT_EQ(second, db.currentSession());
  EXPECT_EQ((std::vector<PeriodNode*>{second, session}), Nodes(&db));
}

TEST(FindNodeTest, CursorFirstThenNewestOfEqualKeys) {
  CGlobal db;
  const double start = EncodeDateTime(2024, 3, 1, 10, 0, 0);
  PeriodNode* older = OpenSession(&db, start);
  PeriodNode* other = OpenSession(&db, start + 1);
  EXPECT_EQ(older, db.FindNode(start - 1e-8));

  PeriodNode* newer = OpenSession(&db, start);  // the same key again, at the head
  EXPECT_EQ(older->key, newer->key);
  EXPECT_EQ(older, db.FindNode(start - 1e-8));  // the cursor is asked first
  EXPECT_EQ(nullptr, db.FindNode(start));
  EXPECT_EQ(older, db.FindNode(start - 1e-8));  // a miss leaves the cursor
  EXPECT_EQ(other, db.FindNode(start + 1 - 1e-8));
  EXPECT_EQ(newer, db.FindNode(start - 1e-8));

  // A history record whose date equals a marker's key lands in that marker.
  db.periodEnd = start + 2;
  ASSERT_TRUE(db.AddHistoryRecord("C:\\a.exe", "", 1, start - 1e-8));
  EXPECT_EQ(1u, newer->list.size());
  EXPECT_EQ(3u, Nodes(&db).size());
}

TEST(FindNodeTest, ExactFloatingPointEquality) {
  CGlobal db;
  ActivityRecord r = Record("C:\\a.exe", "", 1, 45000);
  db.JProlniZaznam(&r);
  const double bucket = db.head()->key;
  EXPECT_EQ(db.head(), db.FindNode(bucket));
  EXPECT_EQ(nullptr, db.FindNode(bucket + 1e-12));
  EXPECT_EQ(nullptr, db.FindNode(std::nextafter(bucket, 1000.0)));

  CGlobal zero;
  ActivityRecord rec = Record("x", "", 1, 45000);
  PeriodNode* node = nullptr;
  // Find a path in bucket 0 to compare -0.0 with 0.0.
  for (int i = 0; node == nullptr && i < 100000; ++i) {
    const std::string path = "P" + std::to_string(i);
    if ((StringCrc32(path) & 0xFF) == 0) {
      rec.path = Id(path);
      zero.JProlniZaznam(&rec);
      node = zero.head();
    }
  }
  ASSERT_NE(nullptr, node);
  EXPECT_EQ(0.0, node->key);
  EXPECT_EQ(node, zero.FindNode(-0.0));

  // NaN equals nothing, not even a NaN key.
  CGlobal odd;
  OpenSession(&odd, std::numeric_limits<double>::quiet_NaN());
  ASSERT_NE(nullptr, odd.head());
  EXPECT_EQ(nullptr, odd.FindNode(odd.head()->key));
}

// Nodes are only ever added at the head; FindNode must answer as a scan from
// the head behind a one-entry cursor would.
TEST(FindNodeTest, MatchesScanOnRandomKeys) {
  std::mt19937 rng(7);
  CGlobal db;
  const double base = EncodeDateTime(2024, 1, 1);
  db.periodEnd = base + 100;
  const PeriodNode* model_cursor = nullptr;
  auto model_find = [&](double key) {
    if (model_cursor != nullptr && model_cursor->key == key) return model_cursor;
    for (const PeriodNode* n = db.head(); n != nullptr; n = n->next) {
      if (n->key == key) return model_cursor = n;
    }
    return static_cast<const PeriodNode*>(nullptr);
  };
  for (int op = 0; op < 3000; ++op) {
    const double key = base + static_cast<double>(rng() % 40) / 24.0;
    switch (rng() % 3) {
      case 0:
        OpenSession(&db, key);  // markers with repeated keys of their own
        break;
      case 1:
        model_find(key);  // the record's own lookup moves the cursor too
        ASSERT_TRUE(db.AddHistoryRecord("C:\\a.exe", "", 1, key));
        break;
      default:
        break;
    }
    const double probe = rng() % 2 == 0 ? key : key - 1e-8;
    const PeriodNode* expected = model_find(probe);
    ASSERT_EQ(expected, db.FindNode(probe)) << "operation " << op;
  }
}

TEST(IterationTest, NextRecordReportsNodeBoundaries) {
  CGlobal db;
  const double base = EncodeDateTime(2024, 3, 1, 10, 0, 0);
  db.periodEnd = base + 1;
  ASSERT_TRUE(db.AddHistoryRecord("C:\\last.exe", "", 1, base));  // tail: one record
  OpenSession(&db, base + 0.5);                                  // middle: none
  ASSERT_TRUE(db.AddHistoryRecord("C:\\b.exe", "", 2, base + 0.6));
  ASSERT_TRUE(db.AddHistoryRecord("C:\\a.exe", "", 3, base + 0.6));  // head: two
  ASSERT_EQ(3u, Nodes(&db).size());

  std::vector<std::string> seen;
  ActivityRecord* r;
  db.Rewind();
  for (int i = 0; i < 10 && db.NextRecord(&r); ++i) {
    seen.push_back(r == nullptr ? "-" : r->PathText());
  }
  EXPECT_EQ((std::vector<std::string>{"C:\\a.exe", "C:\\b.exe", "-", "-", "C:\\last.exe", "-"}),
            seen);
  EXPECT_FALSE(db.NextRecord(&r));
  EXPECT_EQ(nullptr, r);

  // Rewind starts over, also after a partial pass.
  db.Rewind();
  ASSERT_TRUE(db.NextRecord(&r));
  db.Rewind();
  ASSERT_TRUE(db.NextRecord(&r));
  ASSERT_NE(nullptr, r);
  EXPECT_EQ("C:\\a.exe", r->PathText());

  CGlobal empty;
  empty.Rewind();
  EXPECT_FALSE(empty.NextRecord(&r));
  empty.RewindNodes();
  PeriodNode* node;
  EXPECT_FALSE(empty.NextNode(&node));
  EXPECT_EQ(nullptr, node);
}

TEST(JProlniZaznamTest, NoRecordIsOneEvent) {
  testutil::EventRecorder events;
  CGlobal db;
  db.JProlniZaznam(nullptr);
  ASSERT_EQ(1u, events.events.size());
  EXPECT_EQ(3, events.events[0].first);
  EXPECT_EQ("JProlniZaznam, u je nil", events.events[0].second);
  EXPECT_EQ(nullptr, db.head());
}

TEST(JProlniZaznamTest, BucketFromTitleOrUpperCasedPath) {
  struct Case {
    const char* path;
    const char* title;
    uint32_t bucket;
  };
  const Case cases[] = {
      {"C:\\a.exe", "123456789", 38},  // CRC 0xCBF43926
      {"123456789", "", 38},
      {"c:\\app\\x.exe", "", StringCrc32("C:\\APP\\X.EXE") & 0xFF},
      {"c:\\app\\\xE8.exe", "", StringCrc32("C:\\APP\\\xE8.EXE") & 0xFF},
      {"c:\\app\\x.exe", "doc", StringCrc32("doc") & 0xFF},  // titles are not folded
      {"c:\\app\\x.exe", "DOC", StringCrc32("DOC") & 0xFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " | " + c.title);
    CGlobal db;
    ActivityRecord r = Record(c.path, c.title, 5, 45000.5);
    db.JProlniZaznam(&r);
    ASSERT_EQ(1u, Nodes(&db).size());
    EXPECT_EQ(static_cast<double>(c.bucket), db.head()->key);
    const std::vector<ActivityRecord*> in_bucket = Records(&db.head()->list);
    ASSERT_EQ(1u, in_bucket.size());
    EXPECT_EQ(c.path, in_bucket[0]->PathText());  // stored as given
    EXPECT_EQ(c.title, in_bucket[0]->TitleText());
  }
  // Sanity of the table: the folded and unfolded accented paths differ.
  EXPECT_NE(StringCrc32("C:\\APP\\\xE8.EXE"), StringCrc32("C:\\APP\\\xC8.EXE"));
}

TEST(JProlniZaznamTest, KeysStaySeparateWithinBucket) {
  CGlobal db;
  const double d = EncodeDateTime(2024, 3, 1, 10, 0, 0);
  ActivityRecord inputs[] = {
      Record("C:\\one.exe", "Shared", 10, d),
      Record("C:\\two.exe", "Shared", 20, d),
      Record("c:\\ONE.exe", "Shared", 1, d),  // same key as the first
      Record("C:\\one.exe", "shared", 2, d),  // a different title
      Record("C:\\one.exe", "", 100, d),
      Record("c:\\one.EXE", "", 200, d),
  };
  for (const ActivityRecord& r : inputs) db.JProlniZaznam(&r);

  PeriodNode* shared = db.FindNode(StringCrc32("Shared") & 0xFF);
  ASSERT_NE(nullptr, shared);
  EXPECT_EQ(2u, shared->list.size());
  EXPECT_EQ(11u, shared->list.FindPathTitle("C:\\ONE.EXE", "Shared")->time);
  EXPECT_EQ(20u, shared->list.FindPathTitle("C:\\two.exe", "Shared")->time);

  PeriodNode* total = db.FindNode(StringCrc32("C:\\ONE.EXE") & 0xFF);
  ASSERT_NE(nullptr, total);
  ActivityRecord* merged = total->list.FindPath("C:\\one.exe");
  ASSERT_NE(nullptr, merged);
  EXPECT_EQ(300u, merged->time);
  EXPECT_EQ("C:\\one.exe", merged->PathText());  // the first spelling names the entry

  uint32_t records = 0;
  for (PeriodNode* n : Nodes(&db)) records += n->list.size();
  EXPECT_EQ(4u, records);
}

TEST(JProlniZaznamTest, HistoryMergedNewestFirst) {
  CGlobal history;
  struct Period {
    double start;
    uint32_t seconds;
  };
  const Period periods[] = {
      {EncodeDateTime(2024, 3, 1, 9, 0, 0), 100},
      {EncodeDateTime(2024, 3, 1, 10, 0, 0), 200},
      {EncodeDateTime(2024, 3, 3, 10, 0, 0), 300},
      {EncodeDateTime(2024, 3, 3, 23, 0, 0), 400},
      {EncodeDateTime(2024, 3, 7, 0, 0, 0), 500},
  };
  for (const Period& p : periods) {  // read in chronological order
    history.periodEnd = p.start + 1.0 / 24;
    ASSERT_TRUE(history.AddHistoryRecord("C:\\Editor.exe", "", p.seconds, p.start));
    ASSERT_TRUE(history.AddHistoryRecord("C:\\Editor.exe", "main.cpp", 1, p.start));
  }

  CGlobal result;
  ActivityRecord* r;
  history.Rewind();
  while (history.NextRecord(&r)) {
    if (r != nullptr && r->title == kEmptyText) result.JProlniZaznam(r);
  }
  PeriodNode* bucket = result.FindNode(StringCrc32("C:\\EDITOR.EXE") & 0xFF);
  ASSERT_NE(nullptr, bucket);
  ASSERT_EQ(1u, bucket->list.size());
  const ActivityRecord* total = bucket->list.head();
  EXPECT_EQ(1500u, total->time);
  EXPECT_EQ(periods[4].start, total->latest);
  EXPECT_EQ(periods[0].start, total->stamp);
  EXPECT_EQ(3u, total->activeDays);  // 1, 3 and 7 March
}

TEST(JProlniZaznamTest, EqualPeriodStartsAddUp) {
  CGlobal history;
  const double start = EncodeDateTime(2024, 3, 1, 10, 0, 0);
  history.periodEnd = start + 1.0 / 24;
  ASSERT_TRUE(history.AddHistoryRecord("C:\\a.exe", "", 60, start));
  // The clock was set back: the next period starts at the same text.
  history.periodEnd = start + 0.5 / 24;
  ASSERT_TRUE(history.AddHistoryRecord("C:\\a.exe", "", 45, start));
  ASSERT_EQ(1u, Nodes(&history).size());
  ASSERT_EQ(2u, history.head()->list.size());

  CGlobal result;
  ActivityRecord* r;
  history.Rewind();
  while (history.NextRecord(&r)) {
    if (r != nullptr) result.JProlniZaznam(r);
  }
  ASSERT_EQ(1u, Nodes(&result).size());
  ASSERT_EQ(1u, result.head()->list.size());
  EXPECT_EQ(105u, result.head()->list.head()->time);
  EXPECT_EQ(1u, result.head()->list.head()->activeDays);
}

// Everything a merge leaves to be seen: the nodes in order, and each list's
// cursor and records in order with all their fields.
using MergedRow = std::tuple<double, TextId, TextId, uint32_t, uint32_t, double, double>;

std::vector<MergedRow> MergedState(CGlobal* db) {
  std::vector<MergedRow> rows;
  for (PeriodNode* node : Nodes(db)) {
    const ActivityRecord* cursor = node->list.cursor();
    rows.emplace_back(node->key, cursor != nullptr ? cursor->path : kEmptyText,
                      cursor != nullptr ? cursor->title : kEmptyText, node->list.size(), 0, 0, 0);
    for (const ActivityRecord* r = node->list.head(); r != nullptr; r = r->next) {
      rows.emplace_back(node->key, r->path, r->title, r->time, r->activeDays, r->stamp, r->latest);
    }
  }
  return rows;
}

TEST(JProlniZaznamTest, MergeAllRecordsEqualsCallsOneByOne) {
  // Enough keys for indexed buckets holding their order in blocks; keys
  // repeat often (some titles far more than others), paths come in two
  // spellings, and sessions bring nodes without records.
  std::mt19937 random(11);
  const auto below = [&random](uint32_t n) { return static_cast<uint32_t>(random() % n); };
  const std::vector<std::string> paths = {"C:\\Office\\winword.exe", "c:\\office\\WINWORD.EXE",
                                          "C:\\x.exe", "D:\\Tools\\t.exe", "C:\\\xC8\\a.exe", ""};
  CGlobal history;
  double start = EncodeDateTime(2024, 1, 1, 8, 0, 0);
  for (int period = 0; period < 3000; ++period) {
    if (period % 40 == 0) OpenSession(&history, start);
    history.periodEnd = start + 1.0 / 24;
    for (int n = 0, count = 1 + below(40); n < count; ++n) {
      const uint32_t titles = below(2) == 0 ? 300 : 20000;
      const std::string title = below(3) == 0 ? "" : "T" + std::to_string(below(titles));
      ASSERT_TRUE(history.AddHistoryRecord(paths[below(paths.size())], title, below(4000), start));
    }
    start += (1 + below(30)) / 24.0;
  }

  CGlobal one_by_one;
  ActivityRecord* r;
  history.Rewind();
  while (history.NextRecord(&r)) {
    if (r != nullptr) one_by_one.JProlniZaznam(r);
  }
  CGlobal all_at_once;
  all_at_once.MergeAllRecords(history);
  const std::vector<MergedRow> expected = MergedState(&one_by_one);
  ASSERT_EQ(expected.size(), MergedState(&all_at_once).size());
  EXPECT_TRUE(expected == MergedState(&all_at_once));
  EXPECT_GT(expected.size(), 256u * 70);  // lists of 70 records on average

  CGlobal empty;
  all_at_once.MergeAllRecords(empty);
  EXPECT_TRUE(expected == MergedState(&all_at_once));
}

TEST(SpanSecondsTest, RoundsMillisecondsThenDropsRemainder) {
  const double ms = 1.0 / 86400000.0;
  const double t = EncodeDateTime(2024, 3, 1, 10, 0, 0);
  struct Case {
    double from, to;
    uint32_t seconds;
  };
  const Case cases[] = {
      {t, t, 0},
      {t, t + 999.4 * ms, 0},
      {t, t + 999.6 * ms, 1},
      {t, t + 1999 * ms, 1},
      {t + 1.0 / 24, t, 3600},  // absolute difference
      {t, t + 1, 86400},
      {t - 1e-8, t + 1.0 / 24 - 1e-8, 3600},  // marker keys and ends
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.seconds, SpanSeconds(c.from, c.to)) << FixedDateTimeText(c.from);
  }
}

TEST(SpanSecondsTest, WholeHoursOnManyDates) {
  int truncation_would_fail = 0;
  for (int year : {1999, 2000, 2012, 2024, 2037}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= DaysInMonth(year, month); day += 3) {
        for (int hour = 0; hour < 23; ++hour) {
          const double from = EncodeDateTime(year, month, day, hour, 59, 59);
          const double to = EncodeDateTime(year, month, day, hour + 1, 59, 59);
          ASSERT_EQ(3600u, SpanSeconds(from, to)) << FixedDateTimeText(from);
          const double start = EncodeDateTime(year, month, day, hour, 0, 0);
          const double end = EncodeDateTime(year, month, day, hour + 1, 0, 0);
          ASSERT_EQ(3600u, SpanSeconds(start, end)) << FixedDateTimeText(start);
          if (static_cast<uint64_t>(std::fabs(to - from) * 86400000.0) / 1000 != 3600) {
            ++truncation_would_fail;
          }
        }
      }
    }
  }
  // The dates do reach the values that plain truncation gets wrong.
  EXPECT_GT(truncation_would_fail, 0);
}

TEST(KProlniZaznamTest, NoNodeIsOneEvent) {
  testutil::EventRecorder events;
  CGlobal db;
  db.KProlniZaznam(nullptr);
  db.KProlniZaznam(nullptr, 45000.0);
  ASSERT_EQ(2u, events.events.size());
  for (const auto& e : events.events) {
    EXPECT_EQ(3, e.first);
    EXPECT_EQ("KProlniZaznam, u je nil", e.second);
  }
  EXPECT_EQ(nullptr, db.head());
}

TEST(KProlniZaznamTest, EachFormIgnoresTheOtherKindOfNode) {
  testutil::EventRecorder events;
  CGlobal history;
  const double start = EncodeDateTime(2024, 3, 1, 10, 0, 0);
  PeriodNode* session = OpenSession(&history, start);
  history.periodEnd = start + 1.0 / 24;
  ASSERT_TRUE(history.AddHistoryRecord("C:\\a.exe", "", 1, start));
  PeriodNode* period = history.head();
  ASSERT_FALSE(period->isSession);

  CGlobal result;
  result.KProlniZaznam(period);
  result.KProlniZaznam(session, start);
  EXPECT_EQ(nullptr, result.head());
  EXPECT_TRUE(events.events.empty());
}

TEST(KProlniZaznamTest, SessionsNamedByStartKeepFirstSpan) {
  CGlobal history;
  const double start = EncodeDateTime(2024, 3, 1, 10, 0, 0);
  PeriodNode* first = OpenSession(&history, start);
  history.MarkSession(start + 2.0 / 24);  // the session's last period ended two hours in
  PeriodNode* again = OpenSession(&history, start);  // same start text after a clock change
  history.MarkSession(start + 1 + 5.0 / 24);
  PeriodNode* other = OpenSession(&history, start + 3);

  CGlobal result;
  result.KProlniZaznam(first);
  const std::string name = FixedDateTimeText(first->key);
  PeriodNode* bucket = result.FindNode(StringCrc32(name) & 0xFF);
  ASSERT_NE(nullptr, bucket);
  ActivityRecord* entry = bucket->list.FindPath(name);
  ASSERT_NE(nullptr, entry);
  EXPECT_EQ(7200u, entry->time);
  EXPECT_EQ(first->end, entry->stamp);
  EXPECT_EQ(first->end, entry->latest);
  EXPECT_EQ(1u, entry->activeDays);
  EXPECT_EQ(kEmptyText, entry->title);

  result.KProlniZaznam(again);  // merges with delta 0
  EXPECT_EQ(entry, bucket->list.FindPath(name));
  EXPECT_EQ(7200u, entry->time);
  EXPECT_EQ(again->end, entry->stamp);
  EXPECT_EQ(again->end, entry->latest);
  EXPECT_EQ(2u, entry->activeDays);

  result.KProlniZaznam(other);  // never extended: a span of 0
  ActivityRecord* other_entry = result.FindNode(StringCrc32(FixedDateTimeText(other->key)) & 0xFF)
                                    ->list.FindPath(FixedDateTimeText(other->key));
  ASSERT_NE(nullptr, other_entry);
  EXPECT_NE(entry, other_entry);
  EXPECT_EQ(0u, other_entry->time);
}

TEST(KProlniZaznamTest, PeriodsAddTheirSpans) {
  CGlobal history;
  const double day = EncodeDateTime(2024, 3, 1);
  for (int hour = 8; hour < 12; ++hour) {  // four hourly periods, read in order
    const double start = day + (hour * 3600 - 1) / 86400.0;
    history.periodEnd = day + ((hour + 1) * 3600 - 1) / 86400.0;
    ASSERT_TRUE(history.AddHistoryRecord("C:\\a.exe", "", 1, start));
  }
  history.periodEnd = day + 1 + (9 * 3600 - 1) / 86400.0;
  ASSERT_TRUE(history.AddHistoryRecord("C:\\a.exe", "", 1, day + 1 + (8 * 3600 - 1) / 86400.0));

  CGlobal result;
  PeriodNode* node;
  history.RewindNodes();
  while (history.NextNode(&node)) result.KProlniZaznam(node, std::floor(node->key));

  const std::string first_day = FixedDateTimeText(day);
  const std::string second_day = FixedDateTimeText(day + 1);
  EXPECT_EQ("1.3.2024", first_day);
  ActivityRecord* one = result.FindNode(StringCrc32(first_day) & 0xFF)->list.FindPath(first_day);
  ActivityRecord* two = result.FindNode(StringCrc32(second_day) & 0xFF)->list.FindPath(second_day);
  ASSERT_NE(nullptr, one);
  ASSERT_NE(nullptr, two);
  EXPECT_EQ(4u * 3600u, one->time);
  EXPECT_EQ(3600u, two->time);
  EXPECT_EQ(day + (12 * 3600 - 1) / 86400.0, one->latest);
  EXPECT_EQ(day + (9 * 3600 - 1) / 86400.0, one->stamp);  // merged newest first
  EXPECT_EQ(1u, one->activeDays);
}

TEST(LifecycleTest, CreateAfterClearKeepsReadingState) {
  CGlobal db;
  const double start = EncodeDateTime(2024, 3, 1, 10, 0, 0);
  PeriodNode* session = OpenSession(&db, start);
  db.periodEnd = start + 1.0 / 24;
  db.sessionStart = start;
  ASSERT_TRUE(db.AddHistoryRecord("C:\\a.exe", "", 1, start));
  ASSERT_EQ(start, db.FindNode(start)->key);
  ASSERT_EQ(session, db.FindNode(session->key));
  db.loaded = true;
  db.earliest = start;
  db.newSessionPending = true;

  db.Clear();
  EXPECT_EQ(nullptr, db.head());
  EXPECT_EQ(nullptr, db.currentSession());
  EXPECT_FALSE(db.loaded);
  EXPECT_EQ(0, db.earliest);
  EXPECT_EQ(nullptr, db.FindNode(start));

  db.Create();
  EXPECT_EQ(nullptr, db.head());
  EXPECT_FALSE(db.newSessionPending);
  EXPECT_FALSE(db.loaded);
  EXPECT_EQ(start + 1.0 / 24, db.periodEnd);
  EXPECT_EQ(start, db.sessionStart);
  EXPECT_EQ(nullptr, db.FindNode(start));
  EXPECT_EQ(nullptr, db.FindNode(session->key));

  // The database fills again as new; nodes from the pool come back empty.
  ASSERT_TRUE(db.AddHistoryRecord("C:\\b.exe", "", 2, start));
  ASSERT_EQ(1u, Nodes(&db).size());
  EXPECT_EQ(1u, db.head()->list.size());
  EXPECT_FALSE(db.head()->isSession);
  EXPECT_EQ("C:\\b.exe", db.head()->list.head()->PathText());
  PeriodNode* reopened = OpenSession(&db, start);
  EXPECT_TRUE(reopened->list.empty());
  EXPECT_EQ(reopened, db.currentSession());
}

}  // namespace
