#include "support/text_routines.h"

#include <string>

#include <gtest/gtest.h>

namespace {

const std::string kNone(1, '\x01');

TEST(TextRoutinesTest, StripExtension) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"WINWORD.EXE", "WINWORD"}, {"a.b.exe", "a.b"}, {".profile", ".profile"},
      {"make", ""},               {"", ""},           {"a.", "a"},
      {".a.b", ".a"},             {"..", "."},
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, StripExtension(c.in)) << c.in;
}

TEST(TextRoutinesTest, LastPathPart) {
  struct Case {
    const char* path;
    int n;
    const char* out;
  } cases[] = {
      {"C:\\Program Files\\Mozilla Firefox\\", 1, "\\Mozilla Firefox"},
      {"C:\\Program Files\\Opera\\", 1, "\\Opera"},
      {"C:\\Program Files\\Opera\\", 2, "\\Program Files\\Opera"},
      {"C:\\Program Files\\Opera\\", 3, "C:\\Program Files\\Opera"},
      {"C:\\Program Files\\Opera\\", 9, "C:\\Program Files\\Opera"},
      {"C:\\Program Files\\Opera\\", 0, ""},
      {"C:\\", 1, "C:"},
      {"\\", 1, ""},
      {"", 1, ""},
      {"\\\\server\\share\\tools\\", 2, "\\share\\tools"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.out, LastPathPart(c.path, c.n)) << c.path << " " << c.n;
}

TEST(TextRoutinesTest, TrimSeparators) {
  struct Case {
    std::string in;
    std::string out;
  } cases[] = {
      {"", ""},
      {" \t-/\\_~\x01", ""},
      {"\\Opera ", "Opera"},
      {"_a b_", "a b"},
      {"~x-y~", "x-y"},
      {".a.", ".a."},
      {"7 ", "7"},
      {std::string("\0a\0", 3), std::string("\0a\0", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, TrimSeparators(c.in)) << c.in;
}

TEST(TextRoutinesTest, CommonWordRun) {
  struct Case {
    std::string a;
    std::string b;
    std::string out;
  } cases[] = {
      {"opera", "\\Opera", "opera"},
      {"foo bar v2", "\\foo bar", "bar"},
      {"Total Commander 7", "\\Total Commander 7 x", "Commander 7"},
      {"firefox", "\\Mozilla Firefox", kNone},
      {"", "", kNone},
      {"x", "x", "x"},
      {"Opera", "\\opera\\", "Opera"},
      // Runs compare exact bytes: "foo " alone has one delimiter.
      {"foo Bar v2", "\\foo bar", kNone},
      // "/" does not end a word; "." does and is not trimmed.
      {"xa/b", "ya/b", kNone},
      {"xa.b", "ya.b", ".b"},
      // Equally long runs: the first found by ascending shift wins.
      {"ab cd", "cd ab", "ab"},
      {"cd ab", "ab cd", "cd"},
      // A backslash does not end a word either.
      {"Microsoft Office Word", "\\Microsoft Office\\Office12", kNone},
      {"a", "", kNone},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.out, CommonWordRun(c.a, c.b)) << c.a << " | " << c.b;
}

TEST(TextRoutinesTest, IsAllDigits) {
  EXPECT_FALSE(IsAllDigits(""));
  EXPECT_TRUE(IsAllDigits("0123"));
  EXPECT_TRUE(IsAllDigits("9"));
  EXPECT_FALSE(IsAllDigits("12a"));
  EXPECT_FALSE(IsAllDigits(" 12"));
  EXPECT_FALSE(IsAllDigits("-1"));
  EXPECT_FALSE(IsAllDigits("1\xB9"));  // superscript one in code page 1250
}

TEST(TextRoutinesTest, AsciiFolding) {
  EXPECT_EQ("ABC XYZ 09 @[`{", AsciiUpper("abc xYz 09 @[`{"));
  // Accented letters of code page 1250 (č, é, ř, š) stay as they are.
  EXPECT_EQ("\xE8\xE9\xF8\x9A", AsciiUpper("\xE8\xE9\xF8\x9A"));
  EXPECT_EQ("A\xE8" "B", AsciiUpper("a\xE8" "b"));
  EXPECT_EQ('Q', AsciiUpperChar('q'));
  EXPECT_EQ('\xE8', AsciiUpperChar('\xE8'));
  EXPECT_TRUE(AsciiEqualNoCase("Opera.EXE", "opera.exe"));
  EXPECT_TRUE(AsciiEqualNoCase("", ""));
  EXPECT_FALSE(AsciiEqualNoCase("opera", "operas"));
  EXPECT_FALSE(AsciiEqualNoCase("\xE8", "\xC8"));  // č and Č
}

}  // namespace
