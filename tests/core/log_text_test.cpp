#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/test_util.h"
#include "store/cglobal.h"
#include "store/csez.h"
#include "store/log_cipher.h"
#include "store/log_files.h"
#include "store/log_format.h"
#include "support/datetime.h"

namespace {

const char kSeparatorLine[] = "#-------------------------------------------";
const char kCrLf[] = "\r\n";

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(kCrLf, start);
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  lines.push_back(text.substr(start));
  return lines;
}

// A live list as the flush sees it: its period began at start.
struct LiveList {
  explicit LiveList(double start) : clock(start) { list.periodStart = start; }
  testutil::FakeClock clock;
  CSez list;
};

// The reading loop of one file, reduced to the line interpreter.
struct Reading {
  int Feed(const std::string& line) { return db.ParseLogLine(line, &from_date); }
  int FeedAll(const std::string& text) {
    int bits = 0;
    for (const std::string& line : SplitLines(text)) bits |= Feed(line);
    return bits;
  }
  size_t RecordCount() const {
    size_t n = 0;
    for (PeriodNode* node = db.head(); node != nullptr; node = node->next) {
      if (!node->isSession) n += node->list.size();
    }
    return n;
  }
  CGlobal db;
  double from_date = 0;
};

// QuoteField / UnquoteField

TEST(LogFieldTest, QuoteField) {
  const std::string x80(80, 'x');
  const std::string cp1250_80(80, '\xE1');
  struct Case {
    std::string text, quoted;
  } cases[] = {
      {"", ""},
      {"C:\\Windows\\notepad.exe", "C:\\Windows\\notepad.exe"},
      {"Dopis.txt - Pozn\xE1mkov\xFD blok", "Dopis.txt - Pozn\xE1mkov\xFD blok"},
      {"a,b", "\"a,b\""},
      {"a;b", "\"a;b\""},
      {"[system;]", "\"[system;]\""},
      {"Ahoj, \"svete\"", "\"Ahoj, \"\"svete\"\"\""},
      {"\"", "\"\"\"\""},
      {"\"\"", "\"\"\"\"\"\""},
      {"  leading and inner blanks", "  leading and inner blanks"},
      {"a\r\nb", "a\r\nb"},  // the format itself has no escape for line ends
      {x80, x80},
      {x80 + "y", "\"" + x80 + "y\""},
      {cp1250_80, cp1250_80},  // lengths count bytes
      {cp1250_80 + "\xFD", "\"" + cp1250_80 + "\xFD\""},
      {std::string(79, 'x') + "\"", "\"" + std::string(79, 'x') + "\"\"\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.quoted, QuoteField(c.text)) << c.text;
    std::string appended = "12,";
    AppendQuotedField(&appended, c.text);
    EXPECT_EQ("12," + c.quoted, appended) << c.text;
  }
}

TEST(LogFieldTest, UnquoteField) {
  struct Case {
    std::string field, text;
    bool suspicious;
  } cases[] = {
      {"", "", false},
      {"abc", "abc", false},
      {"\"a,b\"", "a,b", false},
      {"\"[system;]\"", "[system;]", false},
      {"\"Ahoj, \"\"svete\"\"\"", "Ahoj, \"svete\"", false},
      {"\"\"\"\"", "\"", false},
      {"\"\"\"\"\"\"", "\"\"", false},
      {"\"abc", "\"abc", false},          // no closing quote: kept
      {"abc\"", "abc\"", false},
      {"ab\"\"\"c", "ab\"\"c", false},    // the scan resumes after the kept quote
      {"\" \"", " ", false},
      {"a\"", "a\"", false},
      {"\"", "\"", true},
      {"\"a", "\"a", true},
      {"\"\"", "\"", true},
  };
  for (const Case& c : cases) {
    testutil::EventRecorder events;
    EXPECT_EQ(c.text, UnquoteField(c.field)) << c.field;
    if (c.suspicious) {
      ASSERT_EQ(1u, events.events.size()) << c.field;
      EXPECT_EQ(1, events.events[0].first);
      EXPECT_EQ("Podezrely zaznam v databazi: " + c.field, events.events[0].second);
    } else {
      EXPECT_TRUE(events.events.empty()) << c.field;
    }
  }
}

TEST(LogFieldTest, QuotedFieldsReadBack) {
  testutil::EventRecorder events;
  const std::string texts[] = {
      "", "x", "\"", ",", ";", "\"\"", "a\"b", "Ahoj, \"svete\"", "[system;]",
      std::string(81, 'q'), std::string(40, '"'), "\"zacatek", "konec\"", ",\",\"",
  };
  for (const std::string& text : texts) {
    EXPECT_EQ(text, UnquoteField(QuoteField(text))) << text;
  }
  EXPECT_TRUE(events.events.empty());
}

TEST(LogFieldTest, PeriodEndText) {
  const double start = EncodeDateTime(2026, 12, 6, 23, 30, 0);
  struct Case {
    double moment;
    const char* text;
  } cases[] = {
      {EncodeDateTime(2026, 12, 6, 23, 59, 59), "23:59:59"},
      {EncodeDateTime(2026, 12, 7, 0, 0, 0), "7.12.2026"},
      {EncodeDateTime(2026, 12, 7, 0, 59, 59), "7.12.2026 00:59:59"},
      {EncodeDateTime(2027, 1, 6, 23, 40, 0), "6.1.2027 23:40:00"},
      {EncodeDateTime(2026, 11, 6, 23, 40, 0), "6.11.2026 23:40:00"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, PeriodEndText(start, c.moment));
}

// BuildWriteText

TEST(LogWriteTest, TwoWritesOfAnEveningByteForByte) {
  const double start = EncodeDateTime(2026, 12, 6, 18, 9, 39);
  const double flush = EncodeDateTime(2026, 12, 6, 18, 59, 59);
  LiveList live(start);
  const std::string first = BuildWriteText(&live.list, 60, false, start);
  EXPECT_FALSE(live.list.firstWrite);
  EXPECT_EQ(start, live.list.periodStart);

  live.clock.Set(flush);
  live.list.NewRecord("C:\\Windows\\notepad.exe", 12345, "");
  live.list.NewRecord("C:\\Windows\\notepad.exe", 12000, "Dopis.txt - Pozn\xE1mkov\xFD blok");
  const std::string second = BuildWriteText(&live.list, 60, false, flush);

  const std::vector<std::string> expected_lines = {
      "",
      kSeparatorLine,
      "#Seance dne: 6.12.2026 18:09:39",
      std::string(15, ' '),
      "#Statistika od 6.12.2026 18:09:39 do 18:59:59",
      "#cas (sec),cesta,titulek",
      "1200,C:\\Windows\\notepad.exe,Dopis.txt - Pozn\xE1mkov\xFD blok",
      "1234,C:\\Windows\\notepad.exe,",
      "",
      std::string(12, ' '),
  };
  std::string expected_file;
  for (size_t i = 0; i < expected_lines.size(); ++i) {
    if (i > 0) expected_file += kCrLf;
    expected_file += expected_lines[i];
  }
  ASSERT_EQ(272u, expected_file.size());

  // Through the container, as the flush appends it, and back.
  LogCipher cipher;
  std::string stored = StoreAsBlocks(cipher, first);
  ASSERT_EQ(96u, stored.size());
  stored += StoreAsBlocks(cipher, second);
  ASSERT_EQ(expected_file.size(), stored.size());
  EXPECT_NE(expected_file, stored);
  cipher.ReadBlocks(reinterpret_cast<uint8_t*>(&stored[0]), stored.size() / 16);
  EXPECT_EQ(expected_file, stored);
  EXPECT_EQ(expected_lines, SplitLines(stored));

  EXPECT_EQ(flush + 1.0 / 86400.0, live.list.periodStart);
  EXPECT_EQ("6.12.2026 19:00:00", FixedDateTimeText(live.list.periodStart));
}

TEST(LogWriteTest, HeaderAndNotes) {
  const double start = EncodeDateTime(2026, 12, 6, 10, 0, 0);
  const double moment = EncodeDateTime(2026, 12, 6, 11, 0, 0);
  const std::string session = std::string(kCrLf) + kSeparatorLine + "\r\n#Seance dne: 6.12.2026 10:00:00\r\n";
  const std::string period =
      "\r\n#Statistika od 6.12.2026 10:00:00 do 11:00:00\r\n#cas (sec),cesta,titulek\r\n\r\n";
  const std::string crash = "\r\n#Program NEBYL korektne ukoncen (pad systemu?)\r\n\r\n";
  const std::string hibernation = "\r\n#Hibernace?\r\n";
  const std::string clock = "\r\n#Zmena systemoveho casu!\r\n";
  struct Case {
    bool first_write, crashed, hibernated, time_changed;
    std::string text;
  } cases[] = {
      {true, false, false, false, session},
      {true, true, false, false, crash + session},
      {true, true, true, true, hibernation + clock + crash + session},
      {false, false, false, false, period},
      {false, true, false, false, period},  // the crash note belongs to the first write only
      {false, false, true, false, hibernation + period},
      {false, false, false, true, clock + period},
      {false, false, true, true, hibernation + clock + period},
  };
  for (const Case& c : cases) {
    LiveList live(start);
    live.list.firstWrite = c.first_write;
    live.list.hibernated = c.hibernated;
    live.list.timeChanged = c.time_changed;
    EXPECT_EQ(c.text, BuildWriteText(&live.list, 60, c.crashed, moment));
    EXPECT_FALSE(live.list.firstWrite);
    EXPECT_FALSE(live.list.hibernated);
    EXPECT_FALSE(live.list.timeChanged);
    EXPECT_EQ(c.first_write ? start : moment + 1.0 / 86400.0, live.list.periodStart);
  }
}

TEST(LogWriteTest, PeriodHeaderEndAndNextStart) {
  struct Case {
    double start, moment;
    const char* header;
    const char* next_start;
  } cases[] = {
      {EncodeDateTime(2026, 12, 6, 10, 0, 0), EncodeDateTime(2026, 12, 6, 11, 0, 0),
       "#Statistika od 6.12.2026 10:00:00 do 11:00:00", "6.12.2026 11:00:01"},
      {EncodeDateTime(2026, 12, 6, 23, 30, 0), EncodeDateTime(2026, 12, 7, 0, 59, 59),
       "#Statistika od 6.12.2026 23:30:00 do 7.12.2026 00:59:59", "7.12.2026 01:00:00"},
      {EncodeDateTime(2026, 12, 6, 23, 0, 0), EncodeDateTime(2026, 12, 6, 23, 59, 59),
       "#Statistika od 6.12.2026 23:00:00 do 23:59:59", "7.12.2026"},
      {EncodeDateTime(2026, 12, 7), EncodeDateTime(2026, 12, 7, 0, 59, 59),
       "#Statistika od 7.12.2026 do 00:59:59", "7.12.2026 01:00:00"},
      {EncodeDateTime(2024, 10, 27, 3, 0, 0), EncodeDateTime(2024, 10, 27, 2, 30, 0),
       "#Statistika od 27.10.2024 03:00:00 do 03:00:00", "27.10.2024 02:30:00"},  // set back
  };
  for (const Case& c : cases) {
    LiveList live(c.start);
    live.list.firstWrite = false;
    const std::vector<std::string> lines = SplitLines(BuildWriteText(&live.list, 0, false, c.moment));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(c.header, lines[1]);
    EXPECT_EQ(c.next_start, FixedDateTimeText(live.list.periodStart));
  }
}

std::vector<std::string> RecordLines(const std::string& text) {
  std::vector<std::string> records;
  for (const std::string& line : SplitLines(text)) {
    if (!line.empty() && line[0] != '#') records.push_back(line);
  }
  return records;
}

TEST(LogWriteTest, MinimumTimeCut) {
  const double start = EncodeDateTime(2026, 12, 6, 10, 0, 0);
  struct Case {
    std::vector<uint32_t> tenths;  // head to tail
    int32_t minimum;
    std::vector<std::string> lines;
  } cases[] = {
      {{599, 600}, 60, {"60,a.exe,t1"}},
      {{605}, 60, {"60,a.exe,t0"}},
      {{0, 9, 10}, 0, {"0,a.exe,t0", "0,a.exe,t1", "1,a.exe,t2"}},
      {{0, 9, 10}, -5, {"0,a.exe,t0", "0,a.exe,t1", "1,a.exe,t2"}},  // counts as 0
      {{0, 599}, INT32_MIN, {"0,a.exe,t0", "59,a.exe,t1"}},
      {{4294967295u}, 429496729, {"429496729,a.exe,t0"}},
      // 429496730 * 10 does not fit 32 bits; it must not wrap to a small minimum.
      {{4294967295u}, 429496730, {}},
      {{4000000000u}, 500000000, {}},
      {{4294967295u}, INT32_MAX, {}},
  };
  for (const Case& c : cases) {
    LiveList live(start);
    live.list.firstWrite = false;
    // NewRecord puts each record at the head: create them tail first.
    for (size_t i = c.tenths.size(); i-- > 0;) {
      live.list.NewRecord("a.exe", c.tenths[i], "t" + std::to_string(i));
    }
    EXPECT_EQ(c.lines, RecordLines(BuildWriteText(&live.list, c.minimum, false, start + 0.01)))
        << "minimum " << c.minimum;
  }
}

TEST(LogWriteTest, RecordFields) {
  const double start = EncodeDateTime(2026, 12, 6, 10, 0, 0);
  struct Case {
    std::string path, title, line;
  } cases[] = {
      {"C:\\Program Files\\a.exe", "", "1,C:\\Program Files\\a.exe,"},
      {"[system;]", "", "1,\"[system;]\","},
      {"a.exe", "Ahoj, \"svete\"", "1,a.exe,\"Ahoj, \"\"svete\"\"\""},
      // Line ends inside a field would cut the line: they become blanks.
      {"C:\\a\r\nb.exe", "radek 1\rradek 2\nradek 3", "1,C:\\a  b.exe,radek 1 radek 2 radek 3"},
      {"a.exe", "\r\n\"x\"", "1,a.exe,\"  \"\"x\"\"\""},
      // The reader trims the line: blanks and controls that end a title are
      // kept inside quotes.
      {"a.exe", "konec ", "1,a.exe,\"konec \""},
      {"a.exe", "tab\t", "1,a.exe,\"tab\t\""},
      {"a.exe", "radek\n", "1,a.exe,\"radek \""},
      {"a.exe", " ", "1,a.exe,\" \""},
      {"a.exe ", "x", "1,a.exe ,x"},
  };
  for (const Case& c : cases) {
    LiveList live(start);
    live.list.firstWrite = false;
    live.list.NewRecord(c.path, 10, c.title);
    const std::vector<std::string> lines = RecordLines(BuildWriteText(&live.list, 0, false, start));
    ASSERT_EQ(1u, lines.size()) << c.line;
    EXPECT_EQ(c.line, lines[0]);
  }
}

TEST(LogWriteTest, FirstWriteWithRecordsGetsPeriodHeader) {
  // The start-up write failed: the first write that succeeds carries records.
  const double start = EncodeDateTime(2026, 12, 6, 18, 9, 39);
  const double moment = EncodeDateTime(2026, 12, 6, 18, 59, 59);
  LiveList live(start);
  live.list.NewRecord("a.exe", 600, "");
  live.list.NewRecord("b.exe", 10, "");
  const std::string text = BuildWriteText(&live.list, 60, true, moment);
  EXPECT_EQ(
      "\r\n#Program NEBYL korektne ukoncen (pad systemu?)\r\n\r\n"
      "\r\n#-------------------------------------------\r\n#Seance dne: 6.12.2026 18:09:39"
      "\r\n#Statistika od 6.12.2026 18:09:39 do 18:59:59\r\n#cas (sec),cesta,titulek\r\n"
      "60,a.exe,\r\n\r\n",
      text);
  EXPECT_EQ(moment + 1.0 / 86400.0, live.list.periodStart);
  EXPECT_FALSE(live.list.firstWrite);

  Reading reading;
  EXPECT_EQ(0, reading.FeedAll(text));
  ASSERT_EQ(1u, reading.RecordCount());
  const PeriodNode* period = reading.db.FindNode(start);
  ASSERT_NE(nullptr, period);
  EXPECT_EQ("a.exe", period->list.head()->PathText());
  EXPECT_EQ(60u, period->list.head()->time);

  // Records all under the minimum: the first write stays a bare session header.
  LiveList below(start);
  below.list.NewRecord("b.exe", 10, "");
  EXPECT_EQ(std::string(kCrLf) + kSeparatorLine + "\r\n#Seance dne: 6.12.2026 18:09:39\r\n",
            BuildWriteText(&below.list, 60, false, moment));
  EXPECT_EQ(start, below.list.periodStart);
}

// ParseLogLine

const double kSession = EncodeDateTime(2026, 12, 6, 9, 58, 12);
const double kFrom = EncodeDateTime(2026, 12, 6, 10, 0, 0);
const double kEnd = EncodeDateTime(2026, 12, 6, 11, 0, 0);
const char kSessionLine[] = "#Seance dne: 6.12.2026 09:58:12";
const char kPeriodLine[] = "#Statistika od 6.12.2026 10:00:00 do 11:00:00";
const char kColumnLine[] = "#cas (sec),cesta,titulek";

void ReadHeaders(Reading* reading) {
  ASSERT_EQ(0, reading->Feed(kSessionLine));
  ASSERT_EQ(0, reading->Feed(kPeriodLine));
  ASSERT_EQ(0, reading->Feed(kColumnLine));
}

TEST(LogReadTest, HeadersSetTheReadingState) {
  Reading reading;
  EXPECT_EQ(0, reading.Feed(kSessionLine));
  EXPECT_EQ(kSession, reading.db.sessionStart);
  EXPECT_EQ(kSession, reading.db.periodEnd);
  EXPECT_EQ(0, reading.from_date);
  const PeriodNode* session = reading.db.currentSession();
  ASSERT_NE(nullptr, session);
  EXPECT_TRUE(session->isSession);
  EXPECT_EQ(kSession - 1e-8, session->key);

  EXPECT_EQ(0, reading.Feed(kPeriodLine));
  EXPECT_EQ(kFrom, reading.from_date);
  EXPECT_EQ(kEnd, reading.db.periodEnd);
  EXPECT_EQ(kEnd - 1e-8, session->end);
  EXPECT_EQ(kSession, reading.db.sessionStart);

  EXPECT_EQ(0, reading.Feed(kColumnLine));
  EXPECT_EQ(kFrom, reading.from_date);

  // A period across midnight names its end with the full date.
  EXPECT_EQ(0, reading.Feed("#Statistika od 6.12.2026 23:30:00 do 7.12.2026 00:59:59"));
  EXPECT_EQ(EncodeDateTime(2026, 12, 6, 23, 30, 0), reading.from_date);
  EXPECT_EQ(EncodeDateTime(2026, 12, 7, 0, 59, 59), reading.db.periodEnd);
  // A start at midnight is written as the date alone.
  EXPECT_EQ(0, reading.Feed("  #Statistika od 7.12.2026 do 00:59:59  "));
  EXPECT_EQ(EncodeDateTime(2026, 12, 7), reading.from_date);
  EXPECT_EQ(EncodeDateTime(2026, 12, 7, 0, 59, 59), reading.db.periodEnd);
  EXPECT_EQ(session, reading.db.currentSession());
  EXPECT_EQ(0u, reading.RecordCount());
}

TEST(LogReadTest, RecordLines) {
  struct Case {
    std::string line;
    int result;
    std::string path, title;
    uint32_t seconds;
  } cases[] = {
      {"1200,C:\\a.exe,Dopis", 0, "C:\\a.exe", "Dopis", 1200},
      {"1234,C:\\Program Files\\a.exe,", 0, "C:\\Program Files\\a.exe", "", 1234},
      {"0,\"[system;]\",", 0, "[system;]", "", 0},
      {"5,a.exe,\"Ahoj, \"\"svete\"\"\"", 0, "a.exe", "Ahoj, \"svete\"", 5},
      {"\t7,a.exe,x  \t", 0, "a.exe", "x", 7},
      {"\"8\",a.exe,x", 0, "a.exe", "x", 8},
      {"2147483647,a.exe,x", 0, "a.exe", "x", 2147483647u},
      {"0000000000012,a.exe,x", 0, "a.exe", "x", 12},
      {"12,C:\\a.exe", 32, "", "", 0},
      {"12,a.exe,x,y", 32, "", "", 0},
      {"12,a.exe,x,", 32, "", "", 0},
      {"1x,a.exe,x", 32, "", "", 0},
      {"-1,a.exe,x", 32, "", "", 0},
      {"+1,a.exe,x", 32, "", "", 0},
      {",a.exe,x", 32, "", "", 0},
      {"1 2,a.exe,x", 32, "", "", 0},
      {"12,\"a.exe,x", 32, "", "", 0},
      {"12,a.exe,x\"y", 32, "", "", 0},
      {"just text", 32, "", "", 0},
      {"#a,b", 32, "", "", 0},
  };
  for (const Case& c : cases) {
    Reading reading;
    ReadHeaders(&reading);
    EXPECT_EQ(c.result, reading.Feed(c.line)) << c.line;
    if (c.result == 0) {
      ASSERT_EQ(1u, reading.RecordCount()) << c.line;
      const PeriodNode* period = reading.db.FindNode(kFrom);
      ASSERT_NE(nullptr, period);
      EXPECT_FALSE(period->isSession);
      const ActivityRecord* record = period->list.head();
      EXPECT_EQ(c.path, record->PathText());
      EXPECT_EQ(c.title, record->TitleText());
      EXPECT_EQ(c.seconds, record->time);
      EXPECT_EQ(kFrom, record->stamp);
      EXPECT_EQ(kFrom, reading.from_date);
    } else {
      EXPECT_EQ(0u, reading.RecordCount()) << c.line;
      EXPECT_EQ(0, reading.from_date);
      EXPECT_EQ(0, reading.db.sessionStart);
      EXPECT_EQ(0, reading.db.periodEnd);
    }
  }
}

TEST(LogReadTest, RecordsOfOnePeriodShareItsNode) {
  Reading reading;
  ReadHeaders(&reading);
  EXPECT_EQ(0, reading.Feed("3,a.exe,"));
  EXPECT_EQ(0, reading.Feed("4,b.exe,"));
  EXPECT_EQ(0, reading.Feed("#Statistika od 6.12.2026 11:00:01 do 12:00:00"));
  EXPECT_EQ(0, reading.Feed("5,a.exe,"));
  const PeriodNode* first = reading.db.FindNode(kFrom);
  const PeriodNode* second = reading.db.FindNode(EncodeDateTime(2026, 12, 6, 11, 0, 1));
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, second);
  EXPECT_EQ(2u, first->list.size());
  EXPECT_EQ(1u, second->list.size());
  EXPECT_EQ(EncodeDateTime(2026, 12, 6, 12, 0, 0), reading.db.currentSession()->end);
}

TEST(LogReadTest, RecordsNeedBothHeaders) {
  // Before any period header of the file.
  {
    Reading reading;
    EXPECT_EQ(0, reading.Feed(kSessionLine));
    EXPECT_EQ(32, reading.Feed("12,a.exe,"));
  }
  // A period header without a session header before it.
  {
    Reading reading;
    EXPECT_EQ(0, reading.Feed(kPeriodLine));
    EXPECT_EQ(32, reading.Feed("12,a.exe,"));
  }
  // After a bad line, until a session header and a period header are read again.
  {
    Reading reading;
    ReadHeaders(&reading);
    EXPECT_EQ(0, reading.Feed("1,a.exe,"));
    EXPECT_EQ(32, reading.Feed("bad"));
    EXPECT_EQ(32, reading.Feed("2,a.exe,"));
    EXPECT_EQ(0, reading.Feed(kColumnLine));
    EXPECT_EQ(32, reading.Feed("3,a.exe,"));
    EXPECT_EQ(0, reading.Feed("#Statistika od 6.12.2026 11:30:00 do 12:59:59"));
    EXPECT_EQ(32, reading.Feed("4,a.exe,"));
    EXPECT_EQ(0, reading.Feed("#Seance dne: 6.12.2026 11:30:00"));
    EXPECT_EQ(0, reading.Feed("#Statistika od 6.12.2026 11:30:00 do 12:59:59"));
    EXPECT_EQ(0, reading.Feed("5,a.exe,"));
    EXPECT_EQ(2u, reading.RecordCount());
  }
}

TEST(LogReadTest, IgnoredLinesKeepTheState) {
  const std::string lines[] = {"", std::string(15, ' '), "\t\t", "\r", "ab", " 1,  ", "\"\""};
  for (const std::string& line : lines) {
    testutil::EventRecorder events;
    Reading reading;
    ReadHeaders(&reading);
    EXPECT_EQ(0, reading.Feed(line)) << line;
    EXPECT_EQ(kFrom, reading.from_date);
    EXPECT_EQ(kEnd, reading.db.periodEnd);
    EXPECT_EQ(0, reading.Feed("1,a.exe,"));
    EXPECT_TRUE(events.events.empty());
  }
}

TEST(LogReadTest, CommentLines) {
  Reading reading;
  // Notes before any session have no node to mark.
  EXPECT_EQ(0, reading.Feed("#Hibernace?"));
  EXPECT_EQ(0, reading.Feed("#Program NEBYL korektne ukoncen (pad systemu?)"));
  EXPECT_EQ(nullptr, reading.db.head());

  ReadHeaders(&reading);
  const PeriodNode* session = reading.db.currentSession();
  ASSERT_NE(nullptr, session);
  struct Case {
    const char* line;
    bool crashed, time_changed, hibernated;
  } cases[] = {
      {"#Program NEBYL korektne ukoncen (pad systemu?) ", true, false, false},
      {"#Zmena systemoveho casu!", true, true, false},
      {"#Hibernace?", true, true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(0, reading.Feed(c.line));
    EXPECT_EQ(c.crashed, session->crashed) << c.line;
    EXPECT_EQ(c.time_changed, session->timeChanged) << c.line;
    EXPECT_EQ(c.hibernated, session->hibernated) << c.line;
  }
  // Other comments are accepted and change nothing; a near miss sets no flag.
  Reading other;
  ReadHeaders(&other);
  for (const char* line : {"#Hibernace", "# Hibernace?", "#-------------------------------------------",
                           "#Statistika", "#Statistika od 6.12.2026 10:00:00", "#libovolny komentar"}) {
    EXPECT_EQ(0, other.Feed(line)) << line;
    EXPECT_EQ(kFrom, other.from_date) << line;
    EXPECT_EQ(kEnd, other.db.periodEnd) << line;
  }
  EXPECT_FALSE(other.db.currentSession()->hibernated);
  EXPECT_EQ(0, other.Feed("1,a.exe,"));
}

TEST(LogReadTest, UnreadablePeriodDate) {
  const std::string lines[] = {
      "#Statistika od 6.13.2026 10:00:00 do 11:00:00",
      "#Statistika od 6.12.2026 10:00:00 do 25:00:00",
      "#Statistika od 6.12.26 10:00:00 do 11:00:00",
      "#Statistika od  do 11:00:00",
  };
  const std::string failed[] = {"6.13.2026 10:00:00", "25:00:00", "6.12.26 10:00:00", ""};
  for (size_t i = 0; i < 4; ++i) {
    testutil::EventRecorder events;
    Reading reading;
    ReadHeaders(&reading);
    EXPECT_EQ(32, reading.Feed(lines[i]));
    ASSERT_EQ(1u, events.events.size()) << lines[i];
    EXPECT_EQ(2, events.events[0].first);
    EXPECT_EQ("Neni spravny format datum/cas. (" + lines[i] + ")\r\nErrorMessage: " +
                  InvalidDateTimeMessage(failed[i]),
              events.events[0].second);
    EXPECT_EQ(0, reading.from_date);
    EXPECT_EQ(0, reading.db.sessionStart);
    EXPECT_EQ(0, reading.db.periodEnd);
  }
}

TEST(LogReadTest, SecondsOutOfRange) {
  for (const char* line : {"2147483648,a.exe,x", "99999999999999999999999,a.exe,"}) {
    testutil::EventRecorder events;
    Reading reading;
    ReadHeaders(&reading);
    EXPECT_EQ(32, reading.Feed(line));
    ASSERT_EQ(1u, events.events.size()) << line;
    EXPECT_EQ(0, events.events[0].first);
    const std::string prefix = "Chybny format zaznamu. \r\nErrorMessage: ";
    EXPECT_EQ(prefix, events.events[0].second.substr(0, prefix.size()));
    EXPECT_GT(events.events[0].second.size(), prefix.size());
    EXPECT_EQ(0u, reading.RecordCount());
    EXPECT_EQ(0, reading.from_date);
  }
}

TEST(LogReadTest, SuspiciousFieldIsReportedAndUsed) {
  testutil::EventRecorder events;
  Reading reading;
  ReadHeaders(&reading);
  EXPECT_EQ(0, reading.Feed("3,a.exe,\"\""));
  ASSERT_EQ(1u, events.events.size());
  EXPECT_EQ(std::make_pair(1, std::string("Podezrely zaznam v databazi: \"\"")), events.events[0]);
  EXPECT_EQ("\"", reading.db.FindNode(kFrom)->list.head()->TitleText());
}

TEST(LogReadTest, UnreadableSessionDateThrows) {
  for (const char* line : {"#Seance dne: 32.12.2026 10:00:00", "#Seance dne: x", "#Seance dne:",
                           "#Seance dne:   "}) {
    Reading reading;
    EXPECT_THROW(reading.Feed(line), ConversionError) << line;
  }
  // Thirteen characters go: without the blank the day loses its first digit.
  Reading reading;
  EXPECT_EQ(0, reading.Feed("#Seance dne:16.12.2026"));
  EXPECT_EQ(EncodeDateTime(2026, 12, 6), reading.db.sessionStart);
}

// Writer and reader together

std::string RandomText(std::mt19937* random, size_t max_length) {
  static const char kAlphabet[] =
      "abcXYZ019 .\\:-_,;\"\t[]()\x8A\x9A\xC8\xE8\xE1\xED\xFD\xF8\xA0\xFF\x01";
  std::uniform_int_distribution<size_t> pick(0, sizeof(kAlphabet) - 2);
  std::uniform_int_distribution<size_t> length(0, max_length);
  std::string text(length(*random), ' ');
  for (char& c : text) c = kAlphabet[pick(*random)];
  return text;
}

using Written = std::tuple<std::string, std::string, std::string, uint32_t>;

// Several program runs in one log: each run's first write, then hourly
// writes, the last one across midnight.
TEST(LogRoundTripTest, RandomListsReadBackExactly) {
  std::mt19937 random(20261206);
  std::string file;
  std::vector<Written> expected;
  const int kRuns = 40;
  for (int run = 0; run < kRuns; ++run) {
    const double start = EncodeDateTime(2026, 12, 6, 9, 58, 12) + run;
    LiveList live(start);
    file += BuildWriteText(&live.list, 60, run % 3 == 2, start);
    double moment = start;
    for (int write = 0; write < 3; ++write) {
      moment += (write == 2 ? 14.0 : 1.0) / 24;
      live.clock.Set(moment);
      const std::string period_start = FixedDateTimeText(live.list.periodStart);
      const int count = std::uniform_int_distribution<int>(0, 12)(random);
      for (int i = 0; i < count; ++i) {
        const std::string path = RandomText(&random, i % 4 == 0 ? 120 : 20);
        const std::string title =
            i % 3 == 0 ? std::string() : RandomText(&random, i % 5 == 0 ? 200 : 30);
        const uint32_t tenths = std::uniform_int_distribution<uint32_t>(500, 40000)(random);
        live.list.NewRecord(path, tenths, title);
        if (tenths >= 600) expected.emplace_back(period_start, path, title, tenths / 10);
      }
      live.list.hibernated = write == 1;
      file += BuildWriteText(&live.list, 60, false, moment);
      live.list.PruneBelow(1000000);  // the flush empties the list
    }
  }

  testutil::EventRecorder events;
  Reading reading;
  EXPECT_EQ(0, reading.FeedAll(file));
  EXPECT_TRUE(events.events.empty());
  std::vector<Written> read;
  std::vector<const PeriodNode*> sessions;
  for (PeriodNode* node = reading.db.head(); node != nullptr; node = node->next) {
    if (node->isSession) {
      sessions.insert(sessions.begin(), node);
      continue;
    }
    for (const ActivityRecord* r = node->list.head(); r != nullptr; r = r->next) {
      read.emplace_back(FixedDateTimeText(node->key), r->PathText(), r->TitleText(), r->time);
    }
  }
  std::sort(expected.begin(), expected.end());
  std::sort(read.begin(), read.end());
  ASSERT_EQ(expected.size(), read.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], read[i]) << i;

  // A run's crash note marks the session before it, the one that did not end.
  ASSERT_EQ(static_cast<size_t>(kRuns), sessions.size());
  for (int run = 0; run < kRuns; ++run) {
    EXPECT_EQ(run % 3 == 1, sessions[run]->crashed) << run;
    EXPECT_TRUE(sessions[run]->hibernated) << run;
    EXPECT_FALSE(sessions[run]->timeChanged) << run;
  }
}

}  // namespace
