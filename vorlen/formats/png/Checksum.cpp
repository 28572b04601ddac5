#include "vorlen/formats/png/Checksum.h"

#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

namespace {

uint Adler32Plain(uint adler, const uchar* bytes, size_t n) {
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

#if defined(__x86_64__)

// Sums whole chunks of kChunk bytes, at most kAdlerBlock bytes between two reductions: per
// chunk s2 gains kChunk times s1 before it, plus each byte weighted by its distance from the
// chunk's end; s1 gains the bytes. The tail is left to the plain sum.
template <int kChunk, class Chunk>
inline uint AdlerChunks(uint adler, const uchar*& bytes, size_t& n, Chunk chunk) {
  uint s1 = adler & 0xFFFF;
  uint s2 = adler >> 16;
  while (n >= static_cast<size_t>(kChunk)) {
    const size_t block = (n < kAdlerBlock ? n : kAdlerBlock) / kChunk * kChunk;
    unsigned long long before = 0, sum = 0, weighted = 0;  // s1 before each chunk, bytes, weights
    chunk(bytes, block, before, sum, weighted);
    bytes += block;
    n -= block;
    s2 = static_cast<uint>((s2 + static_cast<unsigned long long>(s1) * block + kChunk * before + weighted) % kAdlerBase);
    s1 = static_cast<uint>((s1 + sum) % kAdlerBase);
  }
  return s2 << 16 | s1;
}

unsigned long long Sum64x2(__m128i v) {
  return static_cast<unsigned long long>(_mm_cvtsi128_si64(v)) +
         static_cast<unsigned long long>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v)));
}

unsigned long long Sum32x4(__m128i v) {
  const __m128i zero = _mm_setzero_si128();
  return Sum64x2(_mm_add_epi64(_mm_unpacklo_epi32(v, zero), _mm_unpackhi_epi32(v, zero)));
}

uint Adler32Sse2(uint adler, const uchar* bytes, size_t n) {
  adler = AdlerChunks<16>(adler, bytes, n, [](const uchar* p, size_t size, unsigned long long& before,
                                               unsigned long long& sum, unsigned long long& weighted) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i high = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i low = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    __m128i vBefore = zero, vSum = zero, vWeighted = zero;
    for (size_t i = 0; i < size; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      vBefore = _mm_add_epi64(vBefore, vSum);
      vSum = _mm_add_epi64(vSum, _mm_sad_epu8(v, zero));
      vWeighted = _mm_add_epi32(vWeighted, _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(v, zero), high),
                                                         _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), low)));
    }
    before = Sum64x2(vBefore);
    sum = Sum64x2(vSum);
    weighted = Sum32x4(vWeighted);
  });
  return n > 0 ? Adler32Plain(adler, bytes, n) : adler;
}

#define VORLEN_AVX2 __attribute__((target("avx2")))

VORLEN_AVX2 __m128i FoldHalves64(__m256i x) {
  return _mm_add_epi64(_mm256_castsi256_si128(x), _mm256_extracti128_si256(x, 1));
}

VORLEN_AVX2 void AdlerChunksAvx2(const uchar* p, size_t size, unsigned long long& before,
                                 unsigned long long& sum, unsigned long long& weighted) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i weights = _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17,
                                           16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
  const __m256i ones = _mm256_set1_epi16(1);
  __m256i vBefore = zero, vSum = zero, vWeighted = zero;
  for (size_t i = 0; i < size; i += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    vBefore = _mm256_add_epi64(vBefore, vSum);
    vSum = _mm256_add_epi64(vSum, _mm256_sad_epu8(v, zero));
    vWeighted = _mm256_add_epi32(vWeighted, _mm256_madd_epi16(_mm256_maddubs_epi16(v, weights), ones));
  }
  before = Sum64x2(FoldHalves64(vBefore));
  sum = Sum64x2(FoldHalves64(vSum));
  weighted = Sum32x4(_mm_add_epi32(_mm256_castsi256_si128(vWeighted), _mm256_extracti128_si256(vWeighted, 1)));
}

uint Adler32Avx2(uint adler, const uchar* bytes, size_t n) {
  adler = AdlerChunks<32>(adler, bytes, n, AdlerChunksAvx2);
  return n > 0 ? Adler32Plain(adler, bytes, n) : adler;
}

#endif

ChecksumPath FastestPath() {
#if defined(__x86_64__)
  return __builtin_cpu_supports("avx2") ? ChecksumPath::Avx2 : ChecksumPath::Sse2;
#else
  return ChecksumPath::Plain;
#endif
}

}  // namespace

bool ChecksumPathAvailable(ChecksumPath path) {
  static const ChecksumPath fastest = FastestPath();
  return static_cast<int>(path) <= static_cast<int>(fastest);
}

uint Adler32On(ChecksumPath path, uint adler, const uchar* bytes, size_t n) {
#if defined(__x86_64__)
  if (path == ChecksumPath::Avx2) return Adler32Avx2(adler, bytes, n);
  if (path == ChecksumPath::Sse2) return Adler32Sse2(adler, bytes, n);
#endif
  return Adler32Plain(adler, bytes, n);
}

uint Adler32(uint adler, const uchar* bytes, size_t n) {
  static const ChecksumPath fastest = FastestPath();
  return Adler32On(fastest, adler, bytes, n);
}
