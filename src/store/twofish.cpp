#include "store/twofish.h"

#include <cassert>
#include <cstring>

namespace {

// The fixed permutations q0 and q1, built from their 4-bit tables exactly as
// the paper defines them rather than typed in as 512 opaque bytes.
constexpr uint8_t kQt[2][4][16] = {
    {{0x8, 0x1, 0x7, 0xD, 0x6, 0xF, 0x3, 0x2, 0x0, 0xB, 0x5, 0x9, 0xE, 0xC, 0xA, 0x4},
     {0xE, 0xC, 0xB, 0x8, 0x1, 0x2, 0x3, 0x5, 0xF, 0x4, 0xA, 0x6, 0x7, 0x0, 0x9, 0xD},
     {0xB, 0xA, 0x5, 0xE, 0x6, 0xD, 0x9, 0x0, 0xC, 0x8, 0xF, 0x3, 0x2, 0x4, 0x7, 0x1},
     {0xD, 0x7, 0xF, 0x4, 0x1, 0x2, 0x6, 0xE, 0x9, 0xB, 0x3, 0x0, 0x8, 0x5, 0xC, 0xA}},
    {{0x2, 0x8, 0xB, 0xD, 0xF, 0x7, 0x6, 0xE, 0x3, 0x1, 0x9, 0x4, 0x0, 0xA, 0xC, 0x5},
     {0x1, 0xE, 0x2, 0xB, 0x4, 0xC, 0x3, 0x7, 0x6, 0xD, 0xA, 0x5, 0xF, 0x9, 0x0, 0x8},
     {0x4, 0xC, 0x7, 0x5, 0x1, 0x6, 0x9, 0xA, 0x0, 0xE, 0xD, 0x8, 0x2, 0xB, 0x3, 0xF},
     {0xB, 0x9, 0x5, 0x1, 0xC, 0x3, 0xD, 0xE, 0x6, 0x4, 0x7, 0xF, 0x2, 0x0, 0x8, 0xA}}};

// GF(2^8) product modulo the given polynomial (with its x^8 bit).
constexpr uint8_t GfMul(uint8_t a, uint8_t b, unsigned poly) {
  unsigned x = a, product = 0;
  for (; b != 0; b >>= 1) {
    if (b & 1) product ^= x;
    x <<= 1;
    if (x & 0x100) x ^= poly;
  }
  return static_cast<uint8_t>(product);
}

constexpr unsigned kMdsPoly = 0x169;  // x^8 + x^6 + x^5 + x^3 + 1
constexpr unsigned kRsPoly = 0x14D;   // x^8 + x^6 + x^3 + x^2 + 1

constexpr uint8_t kMds[4][4] = {{0x01, 0xEF, 0x5B, 0x5B},
                                {0x5B, 0xEF, 0xEF, 0x01},
                                {0xEF, 0x5B, 0x01, 0xEF},
                                {0xEF, 0x01, 0xEF, 0x5B}};

constexpr uint8_t kRs[4][8] = {{0x01, 0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E},
                               {0xA4, 0x56, 0x82, 0xF3, 0x1E, 0xC6, 0x68, 0xE5},
                               {0x02, 0xA1, 0xFC, 0xC1, 0x47, 0xAE, 0x3D, 0x19},
                               {0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E, 0x03}};

struct FixedTables {
  uint8_t q[2][256];
  uint32_t mds[4][256];  // mds[j][b]: column j of the MDS matrix times b

  constexpr FixedTables() : q(), mds() {
    for (int n = 0; n < 2; ++n) {
      const auto& t = kQt[n];
      for (int x = 0; x < 256; ++x) {
        int a0 = x >> 4, b0 = x & 15;
        int a1 = a0 ^ b0;
        int b1 = (a0 ^ ((b0 >> 1) | (b0 << 3)) ^ (a0 << 3)) & 15;
        int a2 = t[0][a1], b2 = t[1][b1];
        int a3 = a2 ^ b2;
        int b3 = (a2 ^ ((b2 >> 1) | (b2 << 3)) ^ (a2 << 3)) & 15;
        int a4 = t[2][a3], b4 = t[3][b3];
        q[n][x] = static_cast<uint8_t>((b4 << 4) | a4);
      }
    }
    for (int j = 0; j < 4; ++j) {
      for (int b = 0; b < 256; ++b) {
        uint32_t word = 0;
        for (int row = 0; row < 4; ++row) {
          word |= uint32_t{GfMul(kMds[row][j], static_cast<uint8_t>(b), kMdsPoly)}
                  << (8 * row);
        }
        mds[j][b] = word;
      }
    }
  }
};

constexpr FixedTables kFixed;

// Which q permutation each byte of h passes through before it is mixed with
// key word L[i] (rows i = 0..3), and the last one before the MDS matrix.
constexpr uint8_t kQBefore[4][4] = {
    {0, 0, 1, 1}, {0, 1, 0, 1}, {1, 1, 0, 0}, {1, 0, 0, 1}};
constexpr uint8_t kQLast[4] = {1, 0, 1, 0};

inline uint8_t ByteOf(uint32_t word, int n) {
  return static_cast<uint8_t>(word >> (8 * n));
}

inline uint32_t Rol(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }
inline uint32_t Ror(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

inline uint32_t LoadLE32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) |
         (uint32_t{p[3]} << 24);
}

inline void StoreLE32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

// Byte n of h's S-box stage: x through the q chain, mixed with the key words
// list[k-1] .. list[0] on the way.
inline uint8_t HByte(int n, uint8_t x, const uint32_t* list, int k) {
  for (int i = k - 1; i >= 0; --i) {
    x = kFixed.q[kQBefore[i][n]][x] ^ ByteOf(list[i], n);
  }
  return kFixed.q[kQLast[n]][x];
}

uint32_t H(uint32_t x, const uint32_t* list, int k) {
  return kFixed.mds[0][HByte(0, ByteOf(x, 0), list, k)] ^
         kFixed.mds[1][HByte(1, ByteOf(x, 1), list, k)] ^
         kFixed.mds[2][HByte(2, ByteOf(x, 2), list, k)] ^
         kFixed.mds[3][HByte(3, ByteOf(x, 3), list, k)];
}

// Reed-Solomon code of eight key bytes: one word of the S-box key.
uint32_t RsWord(const uint8_t* m) {
  uint32_t word = 0;
  for (int row = 0; row < 4; ++row) {
    uint8_t sum = 0;
    for (int col = 0; col < 8; ++col) sum ^= GfMul(kRs[row][col], m[col], kRsPoly);
    word |= uint32_t{sum} << (8 * row);
  }
  return word;
}

// g(x) and g(ROL(x, 8)) of the round function, by the merged tables.
inline uint32_t G0(const uint32_t (*s)[256], uint32_t x) {
  return s[0][ByteOf(x, 0)] ^ s[1][ByteOf(x, 1)] ^ s[2][ByteOf(x, 2)] ^ s[3][ByteOf(x, 3)];
}

inline uint32_t G1(const uint32_t (*s)[256], uint32_t x) {
  return s[0][ByteOf(x, 3)] ^ s[1][ByteOf(x, 0)] ^ s[2][ByteOf(x, 1)] ^ s[3][ByteOf(x, 2)];
}

void WipeBytes(void* p, size_t n) {
  volatile uint8_t* v = static_cast<volatile uint8_t*>(p);
  while (n-- > 0) *v++ = 0;
}

}  // namespace

Twofish::Twofish() : sbox_(), subkey_() {}

Twofish::Twofish(const uint8_t* key, int key_bits) : Twofish() { SetKey(key, key_bits); }

Twofish::~Twofish() { Wipe(); }

void Twofish::Wipe() {
  WipeBytes(sbox_, sizeof(sbox_));
  WipeBytes(subkey_, sizeof(subkey_));
}

void Twofish::SetKey(const uint8_t* key, int key_bits) {
  assert(key_bits >= 8 && key_bits <= 256 && key_bits % 8 == 0);
  int key_bytes = key_bits < 0 ? 0 : (key_bits > 256 ? 256 : key_bits) / 8;
  int k = key_bytes <= 16 ? 2 : (key_bytes <= 24 ? 3 : 4);  // 64-bit words

  uint8_t padded[32] = {};
  if (key_bytes > 0) std::memcpy(padded, key, key_bytes);

  uint32_t even[4], odd[4], sbox_key[4];
  for (int i = 0; i < k; ++i) {
    even[i] = LoadLE32(padded + 8 * i);
    odd[i] = LoadLE32(padded + 8 * i + 4);
    sbox_key[k - 1 - i] = RsWord(padded + 8 * i);  // the paper's reversed order
  }

  const uint32_t rho = 0x01010101;
  for (int i = 0; i < 20; ++i) {
    uint32_t a = H(2 * i * rho, even, k);
    uint32_t b = Rol(H((2 * i + 1) * rho, odd, k), 8);
    subkey_[2 * i] = a + b;
    subkey_[2 * i + 1] = Rol(a + 2 * b, 9);
  }

  for (int n = 0; n < 4; ++n) {
    for (int x = 0; x < 256; ++x) {
      sbox_[n][x] = kFixed.mds[n][HByte(n, static_cast<uint8_t>(x), sbox_key, k)];
    }
  }

  WipeBytes(padded, sizeof(padded));
  WipeBytes(even, sizeof(even));
  WipeBytes(odd, sizeof(odd));
  WipeBytes(sbox_key, sizeof(sbox_key));
}

void Twofish::EncryptBlock(const uint8_t in[16], uint8_t out[16]) const {
  const uint32_t* key = subkey_;
  uint32_t a = LoadLE32(in) ^ key[0];
  uint32_t b = LoadLE32(in + 4) ^ key[1];
  uint32_t c = LoadLE32(in + 8) ^ key[2];
  uint32_t d = LoadLE32(in + 12) ^ key[3];
  // Two rounds per pass, so the halves swap roles instead of moving.
  for (int r = 0; r < 8; ++r, key += 4) {
    uint32_t t0 = G0(sbox_, a), t1 = G1(sbox_, b);
    c = Ror(c ^ (t0 + t1 + key[8]), 1);
    d = Rol(d, 1) ^ (t0 + 2 * t1 + key[9]);
    t0 = G0(sbox_, c);
    t1 = G1(sbox_, d);
    a = Ror(a ^ (t0 + t1 + key[10]), 1);
    b = Rol(b, 1) ^ (t0 + 2 * t1 + key[11]);
  }
  StoreLE32(out, c ^ subkey_[4]);
  StoreLE32(out + 4, d ^ subkey_[5]);
  StoreLE32(out + 8, a ^ subkey_[6]);
  StoreLE32(out + 12, b ^ subkey_[7]);
}

void Twofish::DecryptBlock(const uint8_t in[16], uint8_t out[16]) const {
  const uint32_t* key = subkey_ + 28;
  uint32_t c = LoadLE32(in) ^ subkey_[4];
  uint32_t d = LoadLE32(in + 4) ^ subkey_[5];
  uint32_t a = LoadLE32(in + 8) ^ subkey_[6];
  uint32_t b = LoadLE32(in + 12) ^ subkey_[7];
  for (int r = 0; r < 8; ++r, key -= 4) {
    uint32_t t0 = G0(sbox_, c), t1 = G1(sbox_, d);
    a = Rol(a, 1) ^ (t0 + t1 + key[10]);
    b = Ror(b ^ (t0 + 2 * t1 + key[11]), 1);
    t0 = G0(sbox_, a);
    t1 = G1(sbox_, b);
    c = Rol(c, 1) ^ (t0 + t1 + key[8]);
    d = Ror(d ^ (t0 + 2 * t1 + key[9]), 1);
  }
  StoreLE32(out, a ^ subkey_[0]);
  StoreLE32(out + 4, b ^ subkey_[1]);
  StoreLE32(out + 8, c ^ subkey_[2]);
  StoreLE32(out + 12, d ^ subkey_[3]);
}

void Twofish::EncryptBlocks(uint8_t* data, size_t block_count) const {
  // Two independent blocks per pass: their rounds overlap in the pipeline.
  for (; block_count >= 2; block_count -= 2, data += 32) {
    const uint32_t* key = subkey_;
    uint8_t* p = data;
    uint8_t* q = data + 16;
    uint32_t a = LoadLE32(p) ^ key[0], b = LoadLE32(p + 4) ^ key[1];
    uint32_t c = LoadLE32(p + 8) ^ key[2], d = LoadLE32(p + 12) ^ key[3];
    uint32_t e = LoadLE32(q) ^ key[0], f = LoadLE32(q + 4) ^ key[1];
    uint32_t g = LoadLE32(q + 8) ^ key[2], h = LoadLE32(q + 12) ^ key[3];
    for (int r = 0; r < 8; ++r, key += 4) {
      uint32_t t0 = G0(sbox_, a), t1 = G1(sbox_, b);
      uint32_t u0 = G0(sbox_, e), u1 = G1(sbox_, f);
      c = Ror(c ^ (t0 + t1 + key[8]), 1);
      d = Rol(d, 1) ^ (t0 + 2 * t1 + key[9]);
      g = Ror(g ^ (u0 + u1 + key[8]), 1);
      h = Rol(h, 1) ^ (u0 + 2 * u1 + key[9]);
      t0 = G0(sbox_, c);
      t1 = G1(sbox_, d);
      u0 = G0(sbox_, g);
      u1 = G1(sbox_, h);
      a = Ror(a ^ (t0 + t1 + key[10]), 1);
      b = Rol(b, 1) ^ (t0 + 2 * t1 + key[11]);
      e = Ror(e ^ (u0 + u1 + key[10]), 1);
      f = Rol(f, 1) ^ (u0 + 2 * u1 + key[11]);
    }
    StoreLE32(p, c ^ subkey_[4]);
    StoreLE32(p + 4, d ^ subkey_[5]);
    StoreLE32(p + 8, a ^ subkey_[6]);
    StoreLE32(p + 12, b ^ subkey_[7]);
    StoreLE32(q, g ^ subkey_[4]);
    StoreLE32(q + 4, h ^ subkey_[5]);
    StoreLE32(q + 8, e ^ subkey_[6]);
    StoreLE32(q + 12, f ^ subkey_[7]);
  }
  if (block_count == 1) EncryptBlock(data, data);
}

void Twofish::DecryptBlocks(uint8_t* data, size_t block_count) const {
  for (; block_count > 0; --block_count, data += 16) DecryptBlock(data, data);
}
