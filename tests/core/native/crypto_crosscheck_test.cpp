#include <gcrypt.h>
#include <zlib.h>

#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "store/twofish.h"
#include "support/crc32.h"

namespace {

void InitGcrypt() {
  static const bool done = [] {
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    return true;
  }();
  (void)done;
}

std::vector<uint8_t> RandomBytes(std::mt19937& rng, size_t n) {
  std::vector<uint8_t> bytes(n);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
  return bytes;
}

TEST(CryptoCrosscheckTest, TwofishMatchesLibgcrypt) {
  InitGcrypt();
  std::mt19937 rng(20260415);
  const size_t kBlocks = 64;
  for (int round = 0; round < 64; ++round) {
    std::vector<uint8_t> key = RandomBytes(rng, 16);
    std::vector<uint8_t> text = RandomBytes(rng, 16 * kBlocks);

    gcry_cipher_hd_t hd;
    ASSERT_EQ(0u, gcry_cipher_open(&hd, GCRY_CIPHER_TWOFISH128, GCRY_CIPHER_MODE_ECB, 0));
    ASSERT_EQ(0u, gcry_cipher_setkey(hd, key.data(), key.size()));
    std::vector<uint8_t> expect_enc(text.size()), expect_dec(text.size());
    ASSERT_EQ(0u, gcry_cipher_encrypt(hd, expect_enc.data(), expect_enc.size(),
                                      text.data(), text.size()));
    ASSERT_EQ(0u, gcry_cipher_decrypt(hd, expect_dec.data(), expect_dec.size(),
                                      text.data(), text.size()));
    gcry_cipher_close(hd);

    Twofish cipher(key.data(), 128);
    std::vector<uint8_t> enc = text, dec = text;
    cipher.EncryptBlocks(enc.data(), kBlocks);
    cipher.DecryptBlocks(dec.data(), kBlocks);
    ASSERT_EQ(expect_enc, enc) << "round " << round;
    ASSERT_EQ(expect_dec, dec) << "round " << round;
  }
}

TEST(CryptoCrosscheckTest, Crc32MatchesZlib) {
  std::mt19937 rng(19700101);
  std::vector<uint8_t> data = RandomBytes(rng, 70000);
  for (int round = 0; round < 500; ++round) {
    size_t offset = rng() % 64;
    size_t length = round < 100 ? rng() % 40 : rng() % (data.size() - offset);
    uint32_t start = round % 3 == 0 ? 0 : static_cast<uint32_t>(rng());
    uLong expect = crc32(start, data.data() + offset, static_cast<uInt>(length));
    ASSERT_EQ(expect, Crc32Update(start, data.data() + offset, length))
        << "offset " << offset << " length " << length;
  }
}

}  // namespace
