#include "support/duration.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// "dní" in code page 1250.
const std::string kDays = "dn\xED";

TEST(DurationTest, PadTwo) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"", "0"}, {"5", "05"}, {"7", "07"}, {"12", "12"},
               {"100", "100"}, {"123", "123"}};
  for (const Case& c : cases) EXPECT_EQ(c.out, PadTwo(c.in)) << c.in;
}

TEST(DurationTest, FormatDuration) {
  struct Case {
    uint32_t tenths;
    std::string text;
  } cases[] = {
      {0, "00:00"},
      {9, "00:00"},
      {50, "00:05"},
      {59, "00:05"},
      {600, "01:00"},
      {35999, "59:59"},
      {36000, "1:00:00"},
      {36009, "1:00:00"},
      {359990, "9:59:59"},
      {360000, "10:00:00"},
      {863999, "23:59:59"},
      {864000, "1 " + kDays + " 00:00:00"},
      {900000, "1 " + kDays + " 01:00:00"},
      {1224000, "1 " + kDays + " 10:00:00"},
      {8640000, "10 " + kDays + " 00:00:00"},
      {864000000, "1000 " + kDays + " 00:00:00"},
      {4294967295u, "4971 " + kDays + " 00:38:49"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, FormatDuration(c.tenths));
  // The word takes three bytes, as every length in the list view assumes.
  EXPECT_EQ(14u, FormatDuration(864000).size());
}

TEST(DurationTest, SortKeyExamples) {
  const std::string& d = kDays;
  struct Case {
    std::string text;
    std::string key;
  } cases[] = {
      {"00:05", "000 " + d + " 00:00:05"},
      {"1:00:00", "000 " + d + " 01:00:00"},
      {"23:59:59", "000 " + d + " 23:59:59"},
      {"1 " + d + " 00:00:00", "001 " + d + " 00:00:00"},
      {"99 " + d + " 23:59:59", "099 " + d + " 23:59:59"},
      {"999 " + d + " 00:00:00", "999 " + d + " 00:00:00"},
      {"1000 " + d + " 00:00:00", "1000 " + d + " 00:00:00"},
      {"", "000 " + d + " 00:00:00"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.key, DurationSortKey(c.text));
  // The layout's limit: from 1000 days on keys no longer sort by magnitude.
  EXPECT_LT(DurationSortKey("1000 " + d + " 00:00:00"),
            DurationSortKey("999 " + d + " 00:00:00"));
}

TEST(DurationTest, SortKeysOrderDurationsBelowThousandDays) {
  std::vector<uint32_t> seconds;
  for (uint32_t s = 0; s < 4000; s += 13) seconds.push_back(s);
  for (uint32_t s = 30000; s < 200000; s += 997) seconds.push_back(s);
  for (uint32_t s = 86000; s < 87000; s += 11) seconds.push_back(s);
  for (uint32_t s = 800000; s < 86400000u; s += 123457) seconds.push_back(s);
  seconds.push_back(86400000u - 1);
  std::sort(seconds.begin(), seconds.end());
  for (size_t i = 1; i < seconds.size(); ++i) {
    const uint32_t a = seconds[i - 1];
    const uint32_t b = seconds[i];
    const std::string ka = DurationSortKey(FormatDuration(a * 10));
    const std::string kb = DurationSortKey(FormatDuration(b * 10 + 9));
    ASSERT_EQ(16u, ka.size()) << a;
    if (a < b) {
      ASSERT_LT(ka, kb) << a << " " << b;
    } else {
      ASSERT_EQ(ka, kb) << a;
    }
  }
}

}  // namespace
