#include "platform/locale.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Words that the Czech order treats specially: č, ř, š, ž are letters of
// their own, "ch" follows "h", ď and á differ from d and a only by accent;
// hyphens and apostrophes weigh little; plus mixed case and digits.
const std::vector<std::string> kWords = {
    "čaj",  "Čaj",  "ČAJ",   "cukr",    "CUKR",  "Ďábel", "ďábel", "dub",
    "DUB",  "chata", "Chata", "hrad",   "ch",    "h",     "i",     "žába",
    "zebra", "šum", "Sum",   "řeka",    "ruka",  "co-op", "coop",  "o'k",
    "ok",   "",     "a",     "A",       "á",     "1abc",  "2abc",  "10",
    "9",    "00000", "0012 ", "0003 ", "000 dní 01:00:00", "000 dní 00:59:59",
    "C:\\Program Files\\x.exe", "c:\\program files\\X.EXE", "46363",
    "46362,9999884259"};

std::string Key(const std::string& text) {
  return platform::LocaleSortKey(text);
}

TEST(LocaleTest, KeyOrderIsCompareOrder) {
  for (const std::string& a : kWords) {
    for (const std::string& b : kWords) {
      SCOPED_TRACE(a + " | " + b);
      const int compared = Sign(platform::LocaleCompareNoCase(a, b));
      EXPECT_EQ(compared, Sign(Key(a).compare(Key(b))));
      EXPECT_EQ(compared, -Sign(platform::LocaleCompareNoCase(b, a)));
    }
  }
}

TEST(LocaleTest, IgnoresCase) {
  EXPECT_EQ(0, platform::LocaleCompareNoCase("Word", "wORD"));
  EXPECT_LT(platform::LocaleCompareNoCase("word", "WORDPAD"), 0);
  EXPECT_LT(platform::LocaleCompareNoCase("", "a"), 0);
}

#ifdef _WIN32
// Whatever the system's code page and user locale: the bytes are 1250.
TEST(LocaleTest, TextIsCodePage1250) {
  EXPECT_GT(platform::LocaleCompareNoCase("řeka", "pes"), 0);  // no "øeka"
  EXPECT_EQ(0, platform::LocaleCompareNoCase("žluť", "ŽLUŤ"));
}

TEST(LocaleTest, CzechUserLocale) {
  EXPECT_LT(platform::LocaleCompareNoCase("cukr", "čaj"), 0);
  EXPECT_LT(platform::LocaleCompareNoCase("hrad", "chata"), 0);
  EXPECT_LT(platform::LocaleCompareNoCase("Ďábel", "dub"), 0);
  EXPECT_EQ(0, platform::LocaleCompareNoCase("čaj", "ČAJ"));
  // The bulk sort relies on prefixes; a locale the composer could not model
  // would still sort correctly, only slowly.
  uint8_t prefix[64];
  EXPECT_GT(platform::LocaleSortKeyPrefix("Chata - Mozilla Firefox", prefix, 64), 20u);
}
#else
TEST(LocaleTest, StandInFoldsAsciiOnly) {
  EXPECT_NE(0, platform::LocaleCompareNoCase("čaj", "Čaj"));
  EXPECT_LT(platform::LocaleCompareNoCase("zebra", "čaj"), 0);  // by code
}
#endif

// The prefixes that decide most comparisons of a bulk sort must be the
// key's own first bytes, for any text and capacity: contractions ("ch"),
// ignorable characters and every other byte included.
TEST(LocaleTest, PrefixIsStartOfKey) {
  const std::string alphabet =
      "aAcChHdDzZsSrR -'0123456789:\\.,čČďĎáÁšŠřŘžŽíé\xAD\xDF";
  std::mt19937 random(7);
  std::vector<std::string> texts;
  for (int i = 0; i < 3000; ++i) {
    std::string text;
    const int length = static_cast<int>(random() % 14);
    for (int k = 0; k < length; ++k) {
      text += random() % 10 == 0 ? static_cast<char>(random() % 256)
                                 : alphabet[random() % alphabet.size()];
    }
    texts.push_back(text);
  }
  texts.insert(texts.end(), kWords.begin(), kWords.end());
  for (const std::string& text : texts) {
    const std::string key = Key(text);
    for (size_t capacity : {size_t{0}, size_t{3}, size_t{64}}) {
      uint8_t prefix[64];
      const size_t n = platform::LocaleSortKeyPrefix(text, prefix, capacity);
      ASSERT_LE(n, capacity);
      ASSERT_LE(n, key.size()) << text;
      ASSERT_EQ(key.substr(0, n), std::string(prefix, prefix + n)) << text;
    }
  }
  for (size_t i = 0; i + 1 < texts.size(); i += 2) {
    ASSERT_EQ(Sign(platform::LocaleCompareNoCase(texts[i], texts[i + 1])),
              Sign(Key(texts[i]).compare(Key(texts[i + 1]))))
        << texts[i] << " | " << texts[i + 1];
  }
}

}  // namespace
