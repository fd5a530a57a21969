#include "support/crc32.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(Crc32Test, PublishedValues) {
  struct Case {
    std::string text;
    uint32_t crc;
  };
  const Case cases[] = {
      {"", 0x00000000u},
      {"a", 0xE8B7BE43u},
      {"abc", 0x352441C2u},
      {"123456789", 0xCBF43926u},
      {"message digest", 0x20159D7Fu},
      {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
      {std::string(32, '\0'), 0x190A55ADu},
      {std::string(32, '\xFF'), 0xFF6CAB0Bu},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.crc, StringCrc32(c.text)) << "length " << c.text.size();
    EXPECT_EQ(c.crc, Crc32Update(0, c.text.data(), c.text.size()));
  }
}

TEST(Crc32Test, AscendingBytes) {
  std::string bytes;
  for (int i = 0; i < 32; ++i) bytes.push_back(static_cast<char>(i));
  EXPECT_EQ(0x91267E8Au, StringCrc32(bytes));
}

TEST(Crc32Test, EveryByteCounts) {
  // Embedded NULs and high bytes (code page 1250 letters) are data too.
  EXPECT_NE(StringCrc32(std::string("a\0b", 3)), StringCrc32(std::string("a\0c", 3)));
  EXPECT_NE(StringCrc32(std::string("a\0", 2)), StringCrc32("a"));
  EXPECT_NE(StringCrc32("d\xED"), StringCrc32("d\xEC"));
}

TEST(Crc32Test, IncrementalEqualsWhole) {
  std::string text;
  for (int i = 0; i < 300; ++i) text.push_back(static_cast<char>(i * 37 + 11));
  const uint32_t whole = StringCrc32(text);
  // Every split point exercises the byte loop and the 8-byte loop at all
  // alignments and lengths.
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    uint32_t crc = Crc32Update(0, text.data(), cut);
    crc = Crc32Update(crc, text.data() + cut, text.size() - cut);
    ASSERT_EQ(whole, crc) << "cut at " << cut;
  }
  uint32_t bytewise = 0;
  for (char ch : text) bytewise = Crc32Update(bytewise, &ch, 1);
  EXPECT_EQ(whole, bytewise);
  EXPECT_EQ(whole, Crc32Update(whole, nullptr, 0));
}

TEST(Crc32Test, TextsLongerThan64KiB) {
  // Long titles must not wrap a 16-bit length: the tail changes the result.
  std::string text(70000, 'x');
  const uint32_t full = StringCrc32(text);
  text[69999] = 'y';
  EXPECT_NE(full, StringCrc32(text));
  EXPECT_NE(StringCrc32(std::string(65536 + 3, 'x')), StringCrc32("xxx"));
}

}  // namespace
