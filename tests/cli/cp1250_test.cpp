#include <iconv.h>

#include <string>

#include <gtest/gtest.h>

#include "support/cp1250.h"
#include "output.h"

namespace {

// The C library's view of one byte, or U+FFFD where it finds none.
std::string ReferenceUtf8(char byte) {
  iconv_t converter = iconv_open("UTF-8", "CP1250");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  char in[1] = {byte};
  char out[8];
  char* in_pointer = in;
  char* out_pointer = out;
  size_t in_left = 1;
  size_t out_left = sizeof(out);
  const size_t result = iconv(converter, &in_pointer, &in_left, &out_pointer, &out_left);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) return "\xEF\xBF\xBD";
  return std::string(out, out_pointer);
}

TEST(Cp1250ToUtf8, EveryByteAgreesWithTheCLibrary) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(Cp1250ToUtf8(one), ReferenceUtf8(static_cast<char>(byte)))
        << "byte " << byte;
  }
}

TEST(Cp1250ToUtf8, ProgramTexts) {
  // Literals without a prefix are code page 1250 bytes in this build.
  const struct {
    std::string cp1250;
    std::string utf8;
  } cases[] = {
      {"", ""},
      {"Prevedenych: 2\r\n", "Prevedenych: 2\r\n"},
      {"Chybné parametry", u8"Chybné parametry"},
      {"Neexistuje výstupní adresář ", u8"Neexistuje výstupní adresář "},
      {"3 dní 01:02:03", u8"3 dní 01:02:03"},
      {"€„…‰Šš“”–—™ŽžĽľŘř", u8"€„…‰Šš“”–—™ŽžĽľŘř"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(Cp1250ToUtf8(c.cp1250), c.utf8);
}

}  // namespace

TEST(Utf8ToCp1250, EveryDefinedByteComesBack) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    const std::string utf8 = Cp1250ToUtf8(one);
    std::string back;
    if (utf8 == "\xEF\xBF\xBD") {
      EXPECT_FALSE(Utf8ToCp1250(utf8, &back)) << "byte " << byte;
    } else {
      ASSERT_TRUE(Utf8ToCp1250(utf8, &back)) << "byte " << byte;
      EXPECT_EQ(one, back) << "byte " << byte;
    }
  }
}

TEST(Utf8ToCp1250, RefusesWhatCannotBeWritten) {
  const char* const refused[] = {
      "\xC3",              // cut short
      "\x80",              // a continuation byte alone
      "\xC0\xAF",          // overlong "/"
      "\xE0\x80\xAF",      // overlong "/"
      "\xED\xA0\x80",      // a surrogate
      "\xF4\x90\x80\x80",  // past U+10FFFF
      "\xC3\xB1",          // ñ, not in the code page
      "\xE6\x97\xA5",      // 日
      "a\xF0\x9F\x98\x80",  // an emoji after a letter
  };
  for (const char* text : refused) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp1250(text, &out)) << text;
  }
  std::string out;
  ASSERT_TRUE(Utf8ToCp1250(u8"Žluťoučký kůň – „€“", &out));
  EXPECT_EQ("Žluťoučký kůň – „€“", out);  // a plain literal is code page 1250 here
}

TEST(TerminalText, DropsTheCrsOfCrLfOnly) {
  const struct {
    std::string cp1250;
    std::string terminal;
  } cases[] = {
      {"", ""},
      {"a\r\nb\r\n", "a\nb\n"},
      {"\r\n\r\n", "\n\n"},
      {"lone\rCR\r", "lone\rCR\r"},
      {"\r\r\n\n", "\r\n\n"},
      {"Denní průměr\r\nŽluťoučký\rkůň\n", u8"Denní průměr\nŽluťoučký\rkůň\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(stats::TerminalText(c.cp1250), c.terminal) << c.cp1250;
}
