#include "vorlen/formats/png/Checksum.h"

#include <array>

#include "vorlen/formats/ByteOrder.h"

namespace {

using CrcTables = std::array<std::array<uint, 256>, 8>;

// Table k holds the CRC of a byte followed by k zero bytes, so that eight input bytes are
// folded per step (slicing by eight).
constexpr CrcTables BuildCrcTables() {
  CrcTables t{};
  for (uint n = 0; n < 256; ++n) {
    uint c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][n] = c;
  }
  for (uint n = 0; n < 256; ++n)
    for (int k = 1; k < 8; ++k) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
  return t;
}

constexpr CrcTables kCrc = BuildCrcTables();

constexpr uint kAdlerBase = 65521;
// The most bytes that can be summed before s2 may pass 2^32 (as in RFC 1950's remark).
constexpr size_t kAdlerBlock = 5552;

}  // namespace

uint PNGCrc32(uint crc, const uchar* bytes, size_t n) {
  uint c = ~crc;
  while (n >= 8) {
    uint lo = c ^ GetLE32(bytes);
    uint hi = GetLE32(bytes + 4);
    c = kCrc[7][lo & 0xFF] ^ kCrc[6][(lo >> 8) & 0xFF] ^ kCrc[5][(lo >> 16) & 0xFF] ^
        kCrc[4][lo >> 24] ^ kCrc[3][hi & 0xFF] ^ kCrc[2][(hi >> 8) & 0xFF] ^
        kCrc[1][(hi >> 16) & 0xFF] ^ kCrc[0][hi >> 24];
    bytes += 8;
    n -= 8;
  }
  while (n--) c = kCrc[0][(c ^ *bytes++) & 0xFF] ^ (c >> 8);
  return ~c;
}

uint Adler32(uint adler, const uchar* bytes, size_t n) {
  uint s1 = adler & 0xFFFF;
  uint s2 = adler >> 16;
  while (n > 0) {
    size_t block = n < kAdlerBlock ? n : kAdlerBlock;
    n -= block;
    for (; block >= 8; block -= 8, bytes += 8) {
      s1 += bytes[0]; s2 += s1; s1 += bytes[1]; s2 += s1;
      s1 += bytes[2]; s2 += s1; s1 += bytes[3]; s2 += s1;
      s1 += bytes[4]; s2 += s1; s1 += bytes[5]; s2 += s1;
      s1 += bytes[6]; s2 += s1; s1 += bytes[7]; s2 += s1;
    }
    for (; block > 0; --block) {
      s1 += *bytes++;
      s2 += s1;
    }
    s1 %= kAdlerBase;
    s2 %= kAdlerBase;
  }
  return s2 << 16 | s1;
}
