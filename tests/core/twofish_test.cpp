#include "store/twofish.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> FromHex(const std::string& hex) {
  auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(nibble(hex[i]) * 16 + nibble(hex[i + 1])));
  }
  return bytes;
}

std::string ToHex(const uint8_t* bytes, size_t n) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (size_t i = 0; i < n; ++i) {
    hex.push_back(kDigits[bytes[i] >> 4]);
    hex.push_back(kDigits[bytes[i] & 15]);
  }
  return hex;
}

// Known answers from the Twofish paper (appendix B) and its ECB_TBL.TXT.
TEST(TwofishTest, KnownAnswers) {
  struct Case {
    const char* key;
    const char* plain;
    const char* cipher;
  };
  const Case cases[] = {
      {"00000000000000000000000000000000", "00000000000000000000000000000000",
       "9F589F5CF6122C32B6BFEC2F2AE8C35A"},
      {"00000000000000000000000000000000", "9F589F5CF6122C32B6BFEC2F2AE8C35A",
       "D491DB16E7B1C39E86CB086B789F5419"},
      {"9F589F5CF6122C32B6BFEC2F2AE8C35A", "D491DB16E7B1C39E86CB086B789F5419",
       "019F9809DE1711858FAAC3A3BA20FBC3"},
      {"BCA724A54533C6987E14AA827952F921", "6B459286F3FFD28D49F15B1581B08E42",
       "5D9D4EEFFA9151575524F115815A12E0"},
      {"000000000000000000000000000000000000000000000000",
       "EFA71F788965BD4453F860178FC19101", "88B2B2706B105E36B446BB6D731A1E88"},
      {"0123456789ABCDEFFEDCBA98765432100011223344556677",
       "00000000000000000000000000000000", "CFD1D2E5A9BE9CDF501F13B892BD2248"},
      {"FB66522C332FCC4C042ABE32FA9E902FDEA4F3DA75EC7A8E",
       "F0AB73301125FA21EF70BE5385FB76B6", "E75449212BEEF9F4A390BD860A640941"},
      {"0123456789ABCDEFFEDCBA987654321000112233445566778899AABBCCDDEEFF",
       "00000000000000000000000000000000", "37527BE0052334B89F0CFCCAE87CFA20"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> key = FromHex(c.key);
    std::vector<uint8_t> plain = FromHex(c.plain);
    Twofish cipher(key.data(), static_cast<int>(key.size() * 8));
    uint8_t out[16];
    cipher.EncryptBlock(plain.data(), out);
    EXPECT_EQ(c.cipher, ToHex(out, 16)) << "key " << c.key;
    cipher.DecryptBlock(out, out);
    EXPECT_EQ(c.plain, ToHex(out, 16)) << "key " << c.key;
  }
}

// The paper's iterated test: 49 encryptions, each keyed with the preceding
// plaintexts (the previous ciphertexts), starting from zeros.
TEST(TwofishTest, IteratedChains) {
  struct Case {
    int key_bytes;
    const char* last;
  };
  const Case cases[] = {{16, "5D9D4EEFFA9151575524F115815A12E0"},
                        {24, "E75449212BEEF9F4A390BD860A640941"},
                        {32, "37FE26FF1CF66175F5DDF4C33B97A205"}};
  for (const Case& c : cases) {
    // Blocks run downwards: block i - 1 is the encryption of block i under
    // the key made of the bytes after block i.
    uint8_t chain[52 * 16] = {};  // 49 blocks and up to 32 key bytes
    uint8_t* p = chain + 49 * 16;
    for (int i = 1; i <= 49; ++i, p -= 16) {
      Twofish cipher(p + 16, c.key_bytes * 8);
      cipher.EncryptBlock(p, p - 16);
      uint8_t back[16];
      cipher.DecryptBlock(p - 16, back);
      ASSERT_EQ(0, std::memcmp(back, p, 16)) << "step " << i;
    }
    EXPECT_EQ(c.last, ToHex(p, 16)) << c.key_bytes * 8 << "-bit keys";
  }
}

TEST(TwofishTest, ShortKeysArePaddedWithZeros) {
  uint8_t key[32];
  for (int i = 0; i < 32; ++i) key[i] = static_cast<uint8_t>(0xA5 ^ (i * 29));
  uint8_t plain[16];
  for (int i = 0; i < 16; ++i) plain[i] = static_cast<uint8_t>(i * 7 + 3);

  // key_bits and the standard length the key is padded to.
  const int cases[][2] = {{8, 128},   {16, 128},  {40, 128},  {120, 128},
                          {136, 192}, {184, 192}, {200, 256}, {248, 256}};
  for (const auto& c : cases) {
    uint8_t padded[32] = {};
    std::memcpy(padded, key, c[0] / 8);
    Twofish short_key(key, c[0]);
    Twofish full_key(padded, c[1]);
    uint8_t a[16], b[16];
    short_key.EncryptBlock(plain, a);
    full_key.EncryptBlock(plain, b);
    EXPECT_EQ(ToHex(b, 16), ToHex(a, 16)) << c[0] << " bits";
  }
}

TEST(TwofishTest, SixteenBitKeyReadsOnlyTwoBytes) {
  uint8_t key_a[16], key_b[16], key_zeroed[16] = {0x4B, 0xD2};
  for (int i = 0; i < 16; ++i) {
    key_a[i] = static_cast<uint8_t>(i * 17 + 1);
    key_b[i] = static_cast<uint8_t>(255 - i);
  }
  key_a[0] = key_b[0] = 0x4B;
  key_a[1] = key_b[1] = 0xD2;
  Twofish a(key_a, 16), b(key_b, 16), zeroed(key_zeroed, 128), wide(key_a, 128);

  uint8_t block[16];
  std::memcpy(block, "#Statistika od\r\n", 16);
  uint8_t out_a[16], out_b[16], out_zeroed[16], out_wide[16];
  a.DecryptBlock(block, out_a);
  b.DecryptBlock(block, out_b);
  zeroed.DecryptBlock(block, out_zeroed);
  wide.DecryptBlock(block, out_wide);
  EXPECT_EQ(ToHex(out_a, 16), ToHex(out_b, 16));
  EXPECT_EQ(ToHex(out_a, 16), ToHex(out_zeroed, 16));
  EXPECT_NE(ToHex(out_a, 16), ToHex(out_wide, 16));
}

TEST(TwofishTest, RoundTripsInPlaceAndInBulk) {
  const uint8_t key[2] = {0x31, 0x7C};
  Twofish cipher(key, 16);
  std::vector<uint8_t> text(16 * 9);
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<uint8_t>(i * 131 + (i >> 3));

  // Bulk calls must equal block-by-block calls, and in == out must work.
  std::vector<uint8_t> bulk = text;
  cipher.DecryptBlocks(bulk.data(), 9);
  for (size_t n = 0; n < 9; ++n) {
    uint8_t one[16];
    cipher.DecryptBlock(&text[16 * n], one);
    EXPECT_EQ(0, std::memcmp(one, &bulk[16 * n], 16)) << "block " << n;
  }
  EXPECT_NE(text, bulk);
  cipher.EncryptBlocks(bulk.data(), 9);
  EXPECT_EQ(text, bulk);

  std::vector<uint8_t> same = text;
  cipher.EncryptBlock(same.data(), same.data());
  cipher.DecryptBlock(same.data(), same.data());
  EXPECT_EQ(text, same);

  cipher.EncryptBlocks(bulk.data(), 0);
  EXPECT_EQ(text, bulk);
}

TEST(TwofishTest, WipeForgetsTheKey) {
  const uint8_t key[2] = {0x31, 0x7C};
  const uint8_t zero[16] = {};
  Twofish keyed(key, 16), unkeyed;
  uint8_t before[16], after[16], blank[16];
  keyed.EncryptBlock(zero, before);
  keyed.Wipe();
  keyed.EncryptBlock(zero, after);
  unkeyed.EncryptBlock(zero, blank);
  EXPECT_NE(ToHex(before, 16), ToHex(after, 16));
  EXPECT_EQ(ToHex(blank, 16), ToHex(after, 16));
}

}  // namespace
