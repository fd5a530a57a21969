#ifndef TRAMO_STORE_TWOFISH_H_
#define TRAMO_STORE_TWOFISH_H_

#include <cstddef>
#include <cstdint>

// The Twofish block cipher (Schneier et al., 1998): 128-bit blocks, keys of
// up to 256 bits, each block transformed on its own. Words are taken from the
// bytes in little-endian order, as in the published reference code, so the
// results match the published test vectors on every host.
//
// The key-dependent S-boxes are merged with the MDS matrix into four tables at
// SetKey (4 KB); this makes SetKey cost some microseconds and the block
// transform fast. The object holds expanded key material: it cannot be
// copied, and its destructor overwrites it.
class Twofish {
 public:
  // Unkeyed; SetKey must come before any block is transformed.
  Twofish();
  // Same as Twofish() followed by SetKey(key, key_bits).
  Twofish(const uint8_t* key, int key_bits);
  ~Twofish();

  Twofish(const Twofish&) = delete;
  Twofish& operator=(const Twofish&) = delete;

  // Expands the first key_bits / 8 bytes of key (key_bits a multiple of 8,
  // 8 to 256; other values are rounded down and clamped to 0..256). The key
  // is padded with zero bytes to 128, 192 or 256 bits as the Twofish key
  // schedule defines for short keys, so bytes of the buffer beyond
  // key_bits / 8 are never read and do not matter: a 16-bit key equals the
  // 128-bit key whose bytes 2 to 15 are zero.
  void SetKey(const uint8_t* key, int key_bits);

  // Overwrites the expanded key; the object is unkeyed afterwards.
  void Wipe();

  // One 16-byte block; in and out may be the same buffer.
  void EncryptBlock(const uint8_t in[16], uint8_t out[16]) const;
  void DecryptBlock(const uint8_t in[16], uint8_t out[16]) const;

  // block_count consecutive 16-byte blocks, transformed in place.
  void EncryptBlocks(uint8_t* data, size_t block_count) const;
  void DecryptBlocks(uint8_t* data, size_t block_count) const;

 private:
  uint32_t sbox_[4][256];  // key-dependent S-box j followed by MDS column j
  uint32_t subkey_[40];    // 8 whitening words, then 2 per round
};

#endif  // TRAMO_STORE_TWOFISH_H_
