#include "vorlen/core/CompositeTables.h"

#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Running sums instead of a multiplication per entry; every division is of non-negative values.
void BuildProducts(CompositeTableBlock& t) {
  for (int j = 0; j < 256; ++j) t.product[0][j] = 0;
  for (int i = 1; i < 256; ++i) {
    int running = 127;
    for (int j = 0; j < 256; ++j, running += i) t.product[i][j] = static_cast<uchar>(running / 255);
  }
}

void BuildWeights(CompositeTableBlock& t) {
  for (int i = 0; i < 255; ++i) {
    int product = 0;
    for (int j = 0; j < 256; ++j, product += i)
      t.weight[i][j] = static_cast<uchar>((255 * j - product) * 255 / (65025 - product));
  }
  // The formula divides by zero at (255, 255); its limit is 0 everywhere else in the row.
  for (int j = 0; j < 256; ++j) t.weight[255][j] = 0;
}

CompositeTableBlock BuildTables() {
  CompositeTableBlock t;
  BuildProducts(t);
  BuildWeights(t);
  return t;
}

}  // namespace

const CompositeTableBlock& CompositeTables() {
  static const CompositeTableBlock tables = BuildTables();
  return tables;
}

namespace {

void BlendRunOneByOne(const CompositeTableBlock& t, uint* target, const uint* source, int count) {
  for (const uint* end = source + count; source != end; ++source, ++target) *target = BlendOver(t, *source, *target);
}

}  // namespace

#if defined(__x86_64__)

namespace {

#define VORLEN_AVX2 __attribute__((target("avx2")))

// (x + 127) div 255 in every 16-bit lane, exact for x up to 65152 (255 x 255 + 127 stays
// below 65280, where the shortcut would first differ).
VORLEN_AVX2 inline __m256i RoundedDiv255(__m256i x) {
  x = _mm256_add_epi16(x, _mm256_set1_epi16(127));
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, _mm256_set1_epi16(1)), _mm256_srli_epi16(x, 8)), 8);
}

// P[keep][target byte] + P[take][source byte] in every 16-bit lane.
VORLEN_AVX2 inline __m256i MixLanes(__m256i d, __m256i s, __m256i keep, __m256i take) {
  return _mm256_add_epi16(RoundedDiv255(_mm256_mullo_epi16(d, keep)), RoundedDiv255(_mm256_mullo_epi16(s, take)));
}

// Eight pixels with the tables' arithmetic done in 16-bit lanes: per pixel the weight w comes
// from the table, and the lanes of a pixel multiply (blue, green, red, transparency) of the
// target by (w, w, w, Ts) and of the source by (255 - w, 255 - w, 255 - w, 0). Each product
// rounds as the product table does, so the result is the table's, byte for byte.
VORLEN_AVX2 __m256i BlendEight(const uchar* weights, __m256i s, __m256i d) {
  const __m256i sTop = _mm256_srli_epi32(s, 24);
  alignas(32) uint index[8];  // W[Td][Ts]
  _mm256_store_si256(reinterpret_cast<__m256i*>(index), _mm256_or_si256(_mm256_slli_epi32(_mm256_srli_epi32(d, 24), 8), sTop));
  const __m256i w = _mm256_setr_epi32(weights[index[0]], weights[index[1]], weights[index[2]], weights[index[3]],
                                      weights[index[4]], weights[index[5]], weights[index[6]], weights[index[7]]);
  const __m256i rest = _mm256_sub_epi32(_mm256_set1_epi32(255), w);
  const __m256i keepColour = _mm256_or_si256(w, _mm256_slli_epi32(w, 16));          // (w, w)
  const __m256i keepTop = _mm256_or_si256(w, _mm256_slli_epi32(sTop, 16));          // (w, Ts)
  const __m256i takeColour = _mm256_or_si256(rest, _mm256_slli_epi32(rest, 16));    // (255 - w) twice
  const __m256i zero = _mm256_setzero_si256();
  // Unpacking works within each 128-bit half: pixels 0, 1, 4, 5 go low, 2, 3, 6, 7 high.
  const __m256i low = MixLanes(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(s, zero),
                               _mm256_unpacklo_epi32(keepColour, keepTop), _mm256_unpacklo_epi32(takeColour, rest));
  const __m256i high = MixLanes(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(s, zero),
                                _mm256_unpackhi_epi32(keepColour, keepTop), _mm256_unpackhi_epi32(takeColour, rest));
  return _mm256_packus_epi16(low, high);
}

// Groups of eight; whole groups of opaque sources are copied and whole groups of fully
// transparent ones over targets that are not are skipped, as the tables would have it.
VORLEN_AVX2 void BlendRunAvx2(const CompositeTableBlock& t, uint* target, const uint* source, int count) {
  const __m256i clear = _mm256_set1_epi32(int(0xFF000000u));
  for (; count >= 8; count -= 8, source += 8, target += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(target));
    const __m256i sTop = _mm256_and_si256(s, clear);
    if (_mm256_testz_si256(sTop, sTop)) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(target), s);
      continue;
    }
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(sTop, clear)) == -1 &&
        _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(d, clear), clear)) == 0)
      continue;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(target), BlendEight(&t.weight[0][0], s, d));
  }
  BlendRunOneByOne(t, target, source, count);
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

}  // namespace

void BlendRun(uint* target, const uint* source, int count) {
  if (HasAvx2()) BlendRunAvx2(CompositeTables(), target, source, count);
  else BlendRunOneByOne(CompositeTables(), target, source, count);
}

#else

void BlendRun(uint* target, const uint* source, int count) { BlendRunOneByOne(CompositeTables(), target, source, count); }

#endif
