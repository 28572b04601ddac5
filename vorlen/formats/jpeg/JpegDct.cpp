#include "vorlen/formats/jpeg/JpegDct.h"

#include <algorithm>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "vorlen/formats/jpeg/JpegTables.h"

namespace jpeg {

namespace {

// 16-bit fractions of cos(pi/4), cos(pi/8), sin(pi/8).
constexpr int kC4 = 46341, kC2 = 60547, kS2 = 25080;
// 14-bit fractions of cos(pi/16), sin(pi/16), cos(3pi/16), sin(3pi/16).
constexpr int kC1 = 16069, kS1 = 3196, kC3 = 13623, kS3 = 9102;

// One 8-point inverse transform. in[0..7] are spaced `step` apart; each result is rounded
// by 0x10000 >> 17 and handed to `store`. The even part works with 16-bit fractions, the
// odd part with 14-bit fractions of its inputs scaled by 4, so both sum in units of 1/65536;
// with inputs within +-2048 (and the first pass's results within +-5411) every sum fits in
// 32 bits.
template <class Store>
inline void Inverse8(const int* in, int step, Store store) {
  const int x0 = in[0], x1 = in[step], x2 = in[2 * step], x3 = in[3 * step];
  const int x4 = in[4 * step], x5 = in[5 * step], x6 = in[6 * step], x7 = in[7 * step];
  if ((x1 | x2 | x3 | x4 | x5 | x6 | x7) == 0) {
    const int v = (x0 * kC4 + 0x10000) >> 17;
    for (int i = 0; i < 8; ++i) store(i, v);
    return;
  }
  const int t0 = (x0 + x4) * kC4, t1 = (x0 - x4) * kC4;
  const int t2 = x2 * kC2 + x6 * kS2, t3 = x2 * kS2 - x6 * kC2;
  const int e0 = t0 + t2, e3 = t0 - t2, e1 = t1 + t3, e2 = t1 - t3;
  const int y1 = 4 * x1, y3 = 4 * x3, y5 = 4 * x5, y7 = 4 * x7;
  const int o0 = y1 * kC1 + y3 * kC3 + y5 * kS3 + y7 * kS1;
  const int o1 = y1 * kC3 - y3 * kS1 - y5 * kC1 - y7 * kS3;
  const int o2 = y1 * kS3 - y3 * kC1 + y5 * kS1 + y7 * kC3;
  const int o3 = y1 * kS1 - y3 * kS3 + y5 * kC3 - y7 * kC1;
  store(0, (e0 + o0 + 0x10000) >> 17);
  store(7, (e0 - o0 + 0x10000) >> 17);
  store(1, (e1 + o1 + 0x10000) >> 17);
  store(6, (e1 - o1 + 0x10000) >> 17);
  store(2, (e2 + o2 + 0x10000) >> 17);
  store(5, (e2 - o2 + 0x10000) >> 17);
  store(3, (e3 + o3 + 0x10000) >> 17);
  store(4, (e3 - o3 + 0x10000) >> 17);
}

// The 8-point forward transform exactly as the format fixes it, on 8 lanes at once:
// in[8i + l] is sample i of lane l, out[8k + l] coefficient k of lane l.
inline void ForwardLanes(const int* in, int* out) {
  for (int l = 0; l < 8; ++l) {
    const int x0 = in[l], x1 = in[8 + l], x2 = in[16 + l], x3 = in[24 + l];
    const int x4 = in[32 + l], x5 = in[40 + l], x6 = in[48 + l], x7 = in[56 + l];
    const int s07 = x0 + x7, s16 = x1 + x6, s25 = x2 + x5, s34 = x3 + x4;
    const int d07 = x0 - x7, d16 = x1 - x6, d25 = x2 - x5, d34 = x3 - x4;
    out[l] = ((s07 + s16 + s25 + s34) * 46341 + 65536) >> 17;
    out[32 + l] = ((s07 + s34 - s16 - s25) * 46341 + 65536) >> 17;
    out[16 + l] = ((s07 - s34) * 60547 + (s16 - s25) * 25080 + 65536) >> 17;
    out[48 + l] = ((s07 - s34) * 25080 - (s16 - s25) * 60547 + 65536) >> 17;
    const int a = 4 * d34, b = ((d16 - d25) * 46341 + 8192) >> 14;
    const int c = 4 * d07, e = ((d16 + d25) * 46341 + 8192) >> 14;
    out[8 + l] = ((c + e) * 16069 + (a + b) * 3196 + 65536) >> 17;
    out[56 + l] = ((c + e) * 3196 - (a + b) * 16069 + 65536) >> 17;
    out[40 + l] = ((a - b) * 13623 + (c - e) * 9102 + 65536) >> 17;
    out[24 + l] = ((c - e) * 13623 - (a - b) * 9102 + 65536) >> 17;
  }
}

}  // namespace


void NaturalOrder(const ushort* quantZigZag, ushort* quantNatural) {
  for (int k = 0; k < 64; ++k) quantNatural[kZigZag[k]] = quantZigZag[k];
}

JPEG_VECTOR_CLONES void JPGDequantize(const short* coef, const ushort* quantNatural, int* out) {
  for (int n = 0; n < 64; ++n) out[n] = std::clamp(coef[n] * static_cast<int>(quantNatural[n]), -2048, 2047);
}

namespace {

// The same 8-point inverse transform on 8 lanes at once, so that the compiler can keep the
// lanes in vector registers: in[8k + l] is input k of lane l, out[8i + l] result i of lane l.
inline void InverseLanes(const int* in, int* out) {
  for (int l = 0; l < 8; ++l) {
    const int x0 = in[l], x1 = in[8 + l], x2 = in[16 + l], x3 = in[24 + l];
    const int x4 = in[32 + l], x5 = in[40 + l], x6 = in[48 + l], x7 = in[56 + l];
    const int t0 = (x0 + x4) * kC4, t1 = (x0 - x4) * kC4;
    const int t2 = x2 * kC2 + x6 * kS2, t3 = x2 * kS2 - x6 * kC2;
    const int e0 = t0 + t2 + 0x10000, e3 = t0 - t2 + 0x10000;
    const int e1 = t1 + t3 + 0x10000, e2 = t1 - t3 + 0x10000;
    const int y1 = 4 * x1, y3 = 4 * x3, y5 = 4 * x5, y7 = 4 * x7;
    const int o0 = y1 * kC1 + y3 * kC3 + y5 * kS3 + y7 * kS1;
    const int o1 = y1 * kC3 - y3 * kS1 - y5 * kC1 - y7 * kS3;
    const int o2 = y1 * kS3 - y3 * kC1 + y5 * kS1 + y7 * kC3;
    const int o3 = y1 * kS1 - y3 * kS3 + y5 * kC3 - y7 * kC1;
    out[l] = (e0 + o0) >> 17;
    out[56 + l] = (e0 - o0) >> 17;
    out[8 + l] = (e1 + o1) >> 17;
    out[48 + l] = (e1 - o1) >> 17;
    out[16 + l] = (e2 + o2) >> 17;
    out[40 + l] = (e2 - o2) >> 17;
    out[24 + l] = (e3 + o3) >> 17;
    out[32 + l] = (e3 - o3) >> 17;
  }
}

inline void Transpose(const int* in, int* out) {
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) out[8 * c + r] = in[8 * r + c];
}

}  // namespace

JPEG_VECTOR_CLONES void JPGIDCT(const int* coef, uchar* out, int stride) {
  int ac = 0;
  for (int n = 1; n < 64; ++n) ac |= coef[n];
  if (ac == 0) {  // flat block: both passes give one value
    const int row = (coef[0] * kC4 + 0x10000) >> 17;
    const uchar v = static_cast<uchar>(std::clamp(((row * kC4 + 0x10000) >> 17) + 128, 0, 255));
    for (int y = 0; y < 8; ++y, out += stride) std::fill(out, out + 8, v);
    return;
  }
  // Rows first: lanes are the coefficient rows, so the input is transposed; the results
  // are transposed back so that the column pass has the columns as lanes.
  int a[64], b[64];
  Transpose(coef, a);
  InverseLanes(a, b);
  Transpose(b, a);
  InverseLanes(a, b);
  for (int y = 0; y < 8; ++y, out += stride)
    for (int x = 0; x < 8; ++x) out[x] = static_cast<uchar>(std::clamp(b[8 * y + x] + 128, 0, 255));
}

namespace {

JPEG_VECTOR_CLONES void ForwardDctPlain(short* block) {
  // Pass one transforms each row r into column r of temp: with the rows as lanes, the
  // input is the block transposed and the output is temp as it stands. Pass two transforms
  // each row k of temp into column k of the block: temp transposed in, the block out.
  int a[64], temp[64];
  for (int r = 0; r < 8; ++r)
    for (int i = 0; i < 8; ++i) a[8 * i + r] = block[8 * r + i];
  ForwardLanes(a, temp);
  for (int k = 0; k < 8; ++k)
    for (int i = 0; i < 8; ++i) a[8 * i + k] = static_cast<short>(temp[8 * k + i]);
  ForwardLanes(a, temp);
  for (int n = 0; n < 64; ++n) block[n] = static_cast<short>(temp[n]);
}

#if defined(__x86_64__) && defined(__GNUC__)

#define JPEG_AVX2 __attribute__((target("avx2")))

// Row k of the coefficients with the DC term left out: what decides a flat block.
inline __m128i LoadAc(const short* coef, int k) {
  const __m128i row = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef + 8 * k));
  return k == 0 ? _mm_and_si128(row, _mm_setr_epi16(0, -1, -1, -1, -1, -1, -1, -1)) : row;
}

// Eight vectors of eight 32-bit lanes: row i of the result holds lane i of every input.
JPEG_AVX2 inline void Transpose8(__m256i* v) {
  const __m256i t0 = _mm256_unpacklo_epi32(v[0], v[1]), t1 = _mm256_unpackhi_epi32(v[0], v[1]);
  const __m256i t2 = _mm256_unpacklo_epi32(v[2], v[3]), t3 = _mm256_unpackhi_epi32(v[2], v[3]);
  const __m256i t4 = _mm256_unpacklo_epi32(v[4], v[5]), t5 = _mm256_unpackhi_epi32(v[4], v[5]);
  const __m256i t6 = _mm256_unpacklo_epi32(v[6], v[7]), t7 = _mm256_unpackhi_epi32(v[6], v[7]);
  const __m256i u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
  const __m256i u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
  const __m256i u4 = _mm256_unpacklo_epi64(t4, t6), u5 = _mm256_unpackhi_epi64(t4, t6);
  const __m256i u6 = _mm256_unpacklo_epi64(t5, t7), u7 = _mm256_unpackhi_epi64(t5, t7);
  v[0] = _mm256_permute2x128_si256(u0, u4, 0x20);
  v[1] = _mm256_permute2x128_si256(u1, u5, 0x20);
  v[2] = _mm256_permute2x128_si256(u2, u6, 0x20);
  v[3] = _mm256_permute2x128_si256(u3, u7, 0x20);
  v[4] = _mm256_permute2x128_si256(u0, u4, 0x31);
  v[5] = _mm256_permute2x128_si256(u1, u5, 0x31);
  v[6] = _mm256_permute2x128_si256(u2, u6, 0x31);
  v[7] = _mm256_permute2x128_si256(u3, u7, 0x31);
}

JPEG_AVX2 inline __m256i Mul(__m256i v, int c) { return _mm256_mullo_epi32(v, _mm256_set1_epi32(c)); }
JPEG_AVX2 inline __m256i Add(__m256i a, __m256i b) { return _mm256_add_epi32(a, b); }
JPEG_AVX2 inline __m256i Sub(__m256i a, __m256i b) { return _mm256_sub_epi32(a, b); }
JPEG_AVX2 inline __m256i Round17(__m256i v) { return _mm256_srai_epi32(Add(v, _mm256_set1_epi32(65536)), 17); }

// ForwardLanes with each of x[i] holding sample i of the eight lanes; y[k] gets coefficient k.
JPEG_AVX2 inline void ForwardVectors(const __m256i* x, __m256i* y) {
  const __m256i r14 = _mm256_set1_epi32(8192);
  const __m256i s07 = Add(x[0], x[7]), s16 = Add(x[1], x[6]), s25 = Add(x[2], x[5]), s34 = Add(x[3], x[4]);
  const __m256i d07 = Sub(x[0], x[7]), d16 = Sub(x[1], x[6]), d25 = Sub(x[2], x[5]), d34 = Sub(x[3], x[4]);
  y[0] = Round17(Mul(Add(Add(s07, s16), Add(s25, s34)), 46341));
  y[4] = Round17(Mul(Sub(Sub(Add(s07, s34), s16), s25), 46341));
  const __m256i p = Sub(s07, s34), q = Sub(s16, s25);
  y[2] = Round17(Add(Mul(p, 60547), Mul(q, 25080)));
  y[6] = Round17(Sub(Mul(p, 25080), Mul(q, 60547)));
  const __m256i a = _mm256_slli_epi32(d34, 2), b = _mm256_srai_epi32(Add(Mul(Sub(d16, d25), 46341), r14), 14);
  const __m256i c = _mm256_slli_epi32(d07, 2), e = _mm256_srai_epi32(Add(Mul(Add(d16, d25), 46341), r14), 14);
  const __m256i ce = Add(c, e), ab = Add(a, b), cme = Sub(c, e), amb = Sub(a, b);
  y[1] = Round17(Add(Mul(ce, 16069), Mul(ab, 3196)));
  y[7] = Round17(Sub(Mul(ce, 3196), Mul(ab, 16069)));
  y[5] = Round17(Add(Mul(amb, 13623), Mul(cme, 9102)));
  y[3] = Round17(Sub(Mul(cme, 13623), Mul(amb, 9102)));
}

// The plain path's arithmetic on whole rows: every lane is computed as there, including the
// cut of the first pass's results to 16 bits.
JPEG_AVX2 void ForwardDctAvx2(short* block) {
  __m256i v[8], w[8];
  for (int r = 0; r < 8; ++r)
    v[r] = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8 * r)));
  Transpose8(v);  // v[i]: sample i of every row
  ForwardVectors(v, w);  // w[k]: coefficient k of every row
  for (int k = 0; k < 8; ++k) w[k] = _mm256_srai_epi32(_mm256_slli_epi32(w[k], 16), 16);
  Transpose8(w);  // w[r]: the coefficients of row r
  ForwardVectors(w, v);  // v[k]: coefficient k down every column
  for (int k = 0; k < 8; ++k) {
    const __m256i cut = _mm256_srai_epi32(_mm256_slli_epi32(v[k], 16), 16);
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(cut, cut), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(block + 8 * k), _mm256_castsi256_si128(packed));
  }
}

// InverseLanes with x[k] holding input k of the eight lanes; y[i] gets result i.
JPEG_AVX2 inline void InverseVectors(const __m256i* x, __m256i* y) {
  const __m256i round = _mm256_set1_epi32(0x10000);
  const __m256i t0 = Mul(Add(x[0], x[4]), kC4), t1 = Mul(Sub(x[0], x[4]), kC4);
  const __m256i t2 = Add(Mul(x[2], kC2), Mul(x[6], kS2)), t3 = Sub(Mul(x[2], kS2), Mul(x[6], kC2));
  const __m256i e0 = Add(Add(t0, t2), round), e3 = Add(Sub(t0, t2), round);
  const __m256i e1 = Add(Add(t1, t3), round), e2 = Add(Sub(t1, t3), round);
  const __m256i y1 = _mm256_slli_epi32(x[1], 2), y3 = _mm256_slli_epi32(x[3], 2);
  const __m256i y5 = _mm256_slli_epi32(x[5], 2), y7 = _mm256_slli_epi32(x[7], 2);
  const __m256i o0 = Add(Add(Mul(y1, kC1), Mul(y3, kC3)), Add(Mul(y5, kS3), Mul(y7, kS1)));
  const __m256i o1 = Sub(Sub(Mul(y1, kC3), Mul(y3, kS1)), Add(Mul(y5, kC1), Mul(y7, kS3)));
  const __m256i o2 = Add(Sub(Mul(y1, kS3), Mul(y3, kC1)), Add(Mul(y5, kS1), Mul(y7, kC3)));
  const __m256i o3 = Sub(Add(Sub(Mul(y1, kS1), Mul(y3, kS3)), Mul(y5, kC3)), Mul(y7, kC1));
  y[0] = _mm256_srai_epi32(Add(e0, o0), 17);
  y[7] = _mm256_srai_epi32(Sub(e0, o0), 17);
  y[1] = _mm256_srai_epi32(Add(e1, o1), 17);
  y[6] = _mm256_srai_epi32(Sub(e1, o1), 17);
  y[2] = _mm256_srai_epi32(Add(e2, o2), 17);
  y[5] = _mm256_srai_epi32(Sub(e2, o2), 17);
  y[3] = _mm256_srai_epi32(Add(e3, o3), 17);
  y[4] = _mm256_srai_epi32(Sub(e3, o3), 17);
}

// Eight results of a row, level-shifted, clamped to bytes and stored.
JPEG_AVX2 inline void StoreSamples(__m256i v, uchar* out) {
  const __m256i shifted = Add(v, _mm256_set1_epi32(128));
  const __m128i words = _mm_packs_epi32(_mm256_castsi256_si128(shifted), _mm256_extracti128_si256(shifted, 1));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(words, words));
}

// The same row and column passes as JPGIDCT, with the dequantisation on whole rows.
JPEG_AVX2 void InverseAvx2(const short* coef, const ushort* quant, uchar* out, int stride) {
  const __m256i low = _mm256_set1_epi32(-2048), high = _mm256_set1_epi32(2047);
  __m256i v[8], w[8];
  __m128i ac = _mm_setzero_si128();
  for (int k = 0; k < 8; ++k) {
    const __m128i row = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef + 8 * k));
    ac = _mm_or_si128(ac, LoadAc(coef, k));
    const __m256i q = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(quant + 8 * k)));
    v[k] = _mm256_min_epi32(_mm256_max_epi32(_mm256_mullo_epi32(_mm256_cvtepi16_epi32(row), q), low), high);
  }
  if (_mm_testz_si128(ac, ac)) {  // flat block, as the plain path takes it
    const int dc = _mm256_cvtsi256_si32(v[0]);
    const int row = (dc * kC4 + 0x10000) >> 17;
    const __m256i value = _mm256_set1_epi32((row * kC4 + 0x10000) >> 17);
    for (int y = 0; y < 8; ++y, out += stride) StoreSamples(value, out);
    return;
  }
  Transpose8(v);  // v[u]: coefficient u of every row
  InverseVectors(v, w);  // w[x]: the row results at x
  Transpose8(w);  // w[k]: row k's results across
  InverseVectors(w, v);  // v[y]: the samples of row y
  for (int y = 0; y < 8; ++y, out += stride) StoreSamples(v[y], out);
}

#endif

// SSE2 is part of every x86-64 processor; it lacks a 32-bit multiply, so the products are
// formed from 16-bit ones (every multiplicand of the transform fits in 16 bits).
#if defined(__x86_64__) && defined(__GNUC__)

// x times c for lanes holding values within 16 bits and 0 <= c < 65536: pmaddwd against
// (c, 0) gives x times c read as a signed 16-bit number, which is c - 65536 from 32768 up.
inline __m128i Mul16(__m128i x, int c) {
  const __m128i product = _mm_madd_epi16(x, _mm_set1_epi32(c & 0xFFFF));
  return c < 32768 ? product : _mm_add_epi32(product, _mm_slli_epi32(x, 16));
}

// InverseLanes on four lanes: x[k] holds input k, y[i] gets result i.
inline void InverseQuads(const __m128i* x, __m128i* y) {
  const __m128i round = _mm_set1_epi32(0x10000);
  const __m128i t0 = Mul16(_mm_add_epi32(x[0], x[4]), kC4), t1 = Mul16(_mm_sub_epi32(x[0], x[4]), kC4);
  const __m128i t2 = _mm_add_epi32(Mul16(x[2], kC2), Mul16(x[6], kS2));
  const __m128i t3 = _mm_sub_epi32(Mul16(x[2], kS2), Mul16(x[6], kC2));
  const __m128i e0 = _mm_add_epi32(_mm_add_epi32(t0, t2), round), e3 = _mm_add_epi32(_mm_sub_epi32(t0, t2), round);
  const __m128i e1 = _mm_add_epi32(_mm_add_epi32(t1, t3), round), e2 = _mm_add_epi32(_mm_sub_epi32(t1, t3), round);
  // 4 x kC1 and the others stay below 65536, so the odd inputs are multiplied unscaled.
  const __m128i o0 = _mm_add_epi32(_mm_add_epi32(Mul16(x[1], 4 * kC1), Mul16(x[3], 4 * kC3)),
                                   _mm_add_epi32(Mul16(x[5], 4 * kS3), Mul16(x[7], 4 * kS1)));
  const __m128i o1 = _mm_sub_epi32(_mm_sub_epi32(Mul16(x[1], 4 * kC3), Mul16(x[3], 4 * kS1)),
                                   _mm_add_epi32(Mul16(x[5], 4 * kC1), Mul16(x[7], 4 * kS3)));
  const __m128i o2 = _mm_add_epi32(_mm_sub_epi32(Mul16(x[1], 4 * kS3), Mul16(x[3], 4 * kC1)),
                                   _mm_add_epi32(Mul16(x[5], 4 * kS1), Mul16(x[7], 4 * kC3)));
  const __m128i o3 = _mm_sub_epi32(_mm_add_epi32(_mm_sub_epi32(Mul16(x[1], 4 * kS1), Mul16(x[3], 4 * kS3)),
                                                 Mul16(x[5], 4 * kC3)),
                                   Mul16(x[7], 4 * kC1));
  y[0] = _mm_srai_epi32(_mm_add_epi32(e0, o0), 17);
  y[7] = _mm_srai_epi32(_mm_sub_epi32(e0, o0), 17);
  y[1] = _mm_srai_epi32(_mm_add_epi32(e1, o1), 17);
  y[6] = _mm_srai_epi32(_mm_sub_epi32(e1, o1), 17);
  y[2] = _mm_srai_epi32(_mm_add_epi32(e2, o2), 17);
  y[5] = _mm_srai_epi32(_mm_sub_epi32(e2, o2), 17);
  y[3] = _mm_srai_epi32(_mm_add_epi32(e3, o3), 17);
  y[4] = _mm_srai_epi32(_mm_sub_epi32(e3, o3), 17);
}

// Eight rows of eight 16-bit values transposed in place.
inline void TransposeWords(__m128i* v) {
  const __m128i a0 = _mm_unpacklo_epi16(v[0], v[1]), a1 = _mm_unpackhi_epi16(v[0], v[1]);
  const __m128i a2 = _mm_unpacklo_epi16(v[2], v[3]), a3 = _mm_unpackhi_epi16(v[2], v[3]);
  const __m128i a4 = _mm_unpacklo_epi16(v[4], v[5]), a5 = _mm_unpackhi_epi16(v[4], v[5]);
  const __m128i a6 = _mm_unpacklo_epi16(v[6], v[7]), a7 = _mm_unpackhi_epi16(v[6], v[7]);
  const __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
  const __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
  const __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
  const __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
  v[0] = _mm_unpacklo_epi64(b0, b4);
  v[1] = _mm_unpackhi_epi64(b0, b4);
  v[2] = _mm_unpacklo_epi64(b1, b5);
  v[3] = _mm_unpackhi_epi64(b1, b5);
  v[4] = _mm_unpacklo_epi64(b2, b6);
  v[5] = _mm_unpackhi_epi64(b2, b6);
  v[6] = _mm_unpacklo_epi64(b3, b7);
  v[7] = _mm_unpackhi_epi64(b3, b7);
}

// One pass over eight rows of 16-bit inputs (v[k]: input k of the eight lanes): each half
// is widened to 32 bits, transformed, and the results (within 16 bits) packed back.
inline void InverseWords(__m128i* v) {
  __m128i low[8], high[8], lowOut[8], highOut[8];
  for (int k = 0; k < 8; ++k) {
    low[k] = _mm_srai_epi32(_mm_unpacklo_epi16(v[k], v[k]), 16);
    high[k] = _mm_srai_epi32(_mm_unpackhi_epi16(v[k], v[k]), 16);
  }
  InverseQuads(low, lowOut);
  InverseQuads(high, highOut);
  for (int i = 0; i < 8; ++i) v[i] = _mm_packs_epi32(lowOut[i], highOut[i]);
}

// Products limited to +-2048 as JPGDequantize does: a table value above 2048 saturates every
// non-zero coefficient alike, and so does a coefficient beyond 2048, so both are cut to
// 2048 first and the product then fits the 16-bit multiplies.
inline __m128i DequantizeRow(const short* coef, const ushort* quant) {
  const __m128i limit = _mm_set1_epi16(2048);
  const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(quant));
  const __m128i qCut = _mm_sub_epi16(q, _mm_subs_epu16(q, limit));
  const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef));
  const __m128i cCut = _mm_max_epi16(_mm_min_epi16(c, limit), _mm_set1_epi16(-2048));
  const __m128i lo = _mm_mullo_epi16(cCut, qCut), hi = _mm_mulhi_epi16(cCut, qCut);
  const __m128i words = _mm_packs_epi32(_mm_unpacklo_epi16(lo, hi), _mm_unpackhi_epi16(lo, hi));
  return _mm_max_epi16(_mm_min_epi16(words, _mm_set1_epi16(2047)), _mm_set1_epi16(-2048));
}

void InverseSse2(const short* coef, const ushort* quant, uchar* out, int stride) {
  __m128i v[8];
  __m128i ac = _mm_setzero_si128();
  for (int k = 0; k < 8; ++k) {
    v[k] = DequantizeRow(coef + 8 * k, quant + 8 * k);
    ac = _mm_or_si128(ac, LoadAc(coef, k));
  }
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(ac, _mm_setzero_si128())) == 0xFFFF) {  // flat block
    const int dc = static_cast<short>(_mm_cvtsi128_si32(v[0]));
    const int row = (dc * kC4 + 0x10000) >> 17;
    const __m128i value = _mm_set1_epi16(static_cast<short>(((row * kC4 + 0x10000) >> 17) + 128));
    const __m128i bytes = _mm_packus_epi16(value, value);
    for (int y = 0; y < 8; ++y, out += stride) _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
    return;
  }
  TransposeWords(v);  // v[u]: coefficient u of every row
  InverseWords(v);  // v[x]: the row results at x
  TransposeWords(v);  // v[k]: row k's results across
  InverseWords(v);  // v[y]: the samples of row y
  const __m128i shift = _mm_set1_epi16(128);
  for (int y = 0; y < 8; ++y, out += stride) {
    const __m128i samples = _mm_adds_epi16(v[y], shift);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(samples, samples));
  }
}

#endif

}  // namespace

DctPath FastestDctPath() {
#if defined(__x86_64__) && defined(__GNUC__)
  if (__builtin_cpu_supports("avx2")) return DctPath::Avx2;
  return DctPath::Sse2;
#else
  return DctPath::Plain;
#endif
}

bool DctPathAvailable(DctPath path) {
  static const DctPath fastest = FastestDctPath();
  return static_cast<int>(path) <= static_cast<int>(fastest);
}

void JPGForwardDCTOn(DctPath path, short* block) {
#if defined(__x86_64__) && defined(__GNUC__)
  if (path == DctPath::Avx2) {
    ForwardDctAvx2(block);
    return;
  }
#endif
  ForwardDctPlain(block);
}

void JPGInverseOn(DctPath path, const short* coef, const ushort* quantNatural, uchar* out, int stride) {
#if defined(__x86_64__) && defined(__GNUC__)
  if (path == DctPath::Avx2) {
    InverseAvx2(coef, quantNatural, out, stride);
    return;
  }
  if (path == DctPath::Sse2) {
    InverseSse2(coef, quantNatural, out, stride);
    return;
  }
#endif
  int dequantized[64];
  JPGDequantize(coef, quantNatural, dequantized);
  JPGIDCT(dequantized, out, stride);
}

void JPGForwardDCT(short* block) {
  static const DctPath fastest = FastestDctPath();
  JPGForwardDCTOn(fastest, block);
}

}  // namespace jpeg
