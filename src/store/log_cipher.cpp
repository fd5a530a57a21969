#include "store/log_cipher.h"

#include <random>

#include "support/crc32.h"

void BuildLogKey(uint8_t key[16]) {
  // A fixed derivation: writer, reader and conversion must agree on it.
  uint32_t value = StringCrc32("Tramo2 denik aktivit");
  for (int i = 0; i < 16; ++i) {
    value = value * 1103515245u + 12345u;
    key[i] = static_cast<uint8_t>(value >> 16);
  }
}

LogCipher::LogCipher() {
  BuildLogKey(key_buffer_);
  cipher_.SetKey(key_buffer_, 16);
}

LogCipher::~LogCipher() {
  cipher_.Wipe();
  static std::minstd_rand random(std::random_device{}());
  // 24 writes at positions 1..15, 0, 1..8 touch every byte at least once.
  for (int count = 1; count <= 24; ++count) {
    key_buffer_[count % 16] = static_cast<uint8_t>(random() & 0xFF);
  }
}

std::string StoreAsBlocks(const LogCipher& cipher, std::string text) {
  const size_t padding = (16 - text.size() % 16) % 16;
  text.append(padding, ' ');
  cipher.StoreBlocks(reinterpret_cast<uint8_t*>(&text[0]), text.size() / 16);
  return text;
}
