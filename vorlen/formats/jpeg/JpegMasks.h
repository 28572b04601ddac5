#pragma once
// Masks of a block's coefficients, eight at a time where the processor allows: which are not
// zero, and which a progressive scan's point transform (magnitude >> al) leaves non-zero or
// at exactly 1. Bit k of a mask stands for coefficient k. Shared by the encoder and the
// decoder, inline for their per-block loops.

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace jpeg {

// Bit k of `coded` where |zz[k]| >> al is not zero, of `ones` where it is 1.
inline void PointMasks(const short* zz, int al, std::uint64_t& coded, std::uint64_t& ones) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi16(1);
  const __m128i shift = _mm_cvtsi32_si128(al);
  std::uint64_t zeros = 0, unit = 0;
  for (int i = 0; i < 64; i += 16) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zz + i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zz + i + 8));
    const __m128i signA = _mm_srai_epi16(a, 15), signB = _mm_srai_epi16(b, 15);
    a = _mm_srl_epi16(_mm_sub_epi16(_mm_xor_si128(a, signA), signA), shift);
    b = _mm_srl_epi16(_mm_sub_epi16(_mm_xor_si128(b, signB), signB), shift);
    zeros |= static_cast<std::uint64_t>(static_cast<unsigned>(
                 _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(a, zero), _mm_cmpeq_epi16(b, zero)))))
             << i;
    unit |= static_cast<std::uint64_t>(static_cast<unsigned>(
                _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(a, one), _mm_cmpeq_epi16(b, one)))))
            << i;
  }
  coded = ~zeros;
  ones = unit;
#else
  coded = ones = 0;
  for (int k = 0; k < 64; ++k) {
    const int v = zz[k];
    const int t = (v < 0 ? -v : v) >> al;
    coded |= static_cast<std::uint64_t>(t != 0) << k;
    ones |= static_cast<std::uint64_t>(t == 1) << k;
  }
#endif
}

// Bit k set where v[k] is not zero (the plain case of the above, a compare alone).
inline std::uint64_t NonZeroMask(const short* v) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  std::uint64_t zeros = 0;
  for (int i = 0; i < 64; i += 16) {
    const __m128i a = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i)), zero);
    const __m128i b = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i + 8)), zero);
    zeros |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(a, b)))) << i;
  }
  return ~zeros;
#else
  std::uint64_t mask = 0;
  for (int k = 0; k < 64; ++k) mask |= static_cast<std::uint64_t>(v[k] != 0) << k;
  return mask;
#endif
}

}  // namespace jpeg
