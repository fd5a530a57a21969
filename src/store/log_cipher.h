#ifndef TRAMO_STORE_LOG_CIPHER_H_
#define TRAMO_STORE_LOG_CIPHER_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "store/twofish.h"

// The cipher of the session logs: Twofish keyed with the first two bytes of a
// 16-byte key buffer built at run time. A stored block is the Twofish
// decryption of its plaintext; reading applies the encryption.
class LogCipher {
 public:
  LogCipher();
  // Destroys the cipher, then overwrites the key buffer with random bytes.
  ~LogCipher();
  LogCipher(const LogCipher&) = delete;
  LogCipher& operator=(const LogCipher&) = delete;

  // Blocks of plaintext into their stored form, in place.
  void StoreBlocks(uint8_t* data, size_t block_count) const {
    cipher_.DecryptBlocks(data, block_count);
  }
  // Stored blocks back into plaintext, in place.
  void ReadBlocks(uint8_t* data, size_t block_count) const {
    cipher_.EncryptBlocks(data, block_count);
  }

  const uint8_t* key_buffer() const { return key_buffer_; }

 private:
  uint8_t key_buffer_[16];
  Twofish cipher_;
};

// Fills a 16-byte buffer with the log key (only the first two bytes are used).
void BuildLogKey(uint8_t key[16]);

// The plaintext padded with blanks to a multiple of 16 bytes and stored as
// blocks, as one write of the container appends it.
std::string StoreAsBlocks(const LogCipher& cipher, std::string text);

#endif  // TRAMO_STORE_LOG_CIPHER_H_
