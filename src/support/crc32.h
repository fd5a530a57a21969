#ifndef TRAMO_SUPPORT_CRC32_H_
#define TRAMO_SUPPORT_CRC32_H_

#include <cstddef>
#include <cstdint>
#include <string>

// The standard CRC-32 (reflected polynomial 0xEDB88320, as in zlib and PKZIP).

// Extends a running CRC by length bytes at data. Start with 0; as with zlib's
// crc32(), Crc32Update(Crc32Update(0, a), b) is the CRC of a followed by b.
// data may be null when length is 0.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t length);

// CRC-32 of every byte of text; "123456789" gives 0xCBF43926. Used as the
// bucket key of the history merges, so it is called once per record.
uint32_t StringCrc32(const std::string& text);

#endif  // TRAMO_SUPPORT_CRC32_H_
