#include "vorlen/formats/jpeg/JpegDct.h"

#include <algorithm>
#include <array>

#include "vorlen/formats/jpeg/JpegTables.h"

namespace jpeg {

namespace {

// 16-bit fractions of cos(pi/4), cos(pi/8), sin(pi/8).
constexpr long kC4 = 46341, kC2 = 60547, kS2 = 25080;
// 14-bit fractions of cos(pi/16), sin(pi/16), cos(3pi/16), sin(3pi/16).
constexpr long kC1 = 16069, kS1 = 3196, kC3 = 13623, kS3 = 9102;

struct ClampTables {
  std::array<uchar, 768> shifted;  // index v + 384
  std::array<uchar, 1280> plain;   // index v + 512
  ClampTables() {
    for (int i = 0; i < 768; ++i) shifted[i] = static_cast<uchar>(std::clamp(i - 384 + 128, 0, 255));
    for (int i = 0; i < 1280; ++i) plain[i] = static_cast<uchar>(std::clamp(i - 512, 0, 255));
  }
};

const ClampTables& Tables() {
  static const ClampTables tables;
  return tables;
}

// One 8-point inverse transform. in[0..7] are spaced `step` apart; results are rounded by
// 0x10000 >> 17 and written to out[0..7] spaced `outStep` apart, through `store`.
template <class Store>
inline void Inverse8(const int* in, int step, Store store) {
  const long x0 = in[0], x1 = in[step], x2 = in[2 * step], x3 = in[3 * step];
  const long x4 = in[4 * step], x5 = in[5 * step], x6 = in[6 * step], x7 = in[7 * step];
  if ((x1 | x2 | x3 | x4 | x5 | x6 | x7) == 0) {
    const long v = (x0 * kC4 + 0x10000) >> 17;
    for (int i = 0; i < 8; ++i) store(i, v);
    return;
  }
  // Even part, in units of 1/65536.
  const long t0 = (x0 + x4) * kC4, t1 = (x0 - x4) * kC4;
  const long t2 = x2 * kC2 + x6 * kS2, t3 = x2 * kS2 - x6 * kC2;
  const long e0 = t0 + t2, e3 = t0 - t2, e1 = t1 + t3, e2 = t1 - t3;
  // Odd part: inputs scaled by 4 against the 14-bit constants, the same units.
  const long p = 4 * (x1 * kC1 + x7 * kS1), q = 4 * (x1 * kS1 - x7 * kC1);
  const long r = 4 * (x5 * kC3 - x3 * kS3), s = 4 * (x5 * kS3 + x3 * kC3);
  const long o0 = p + s, o3 = q + r;
  const long o1 = ((p - s + q - r) * kC4 + 0x8000) >> 16;
  const long o2 = ((p - s - q + r) * kC4 + 0x8000) >> 16;
  store(0, (e0 + o0 + 0x10000) >> 17);
  store(7, (e0 - o0 + 0x10000) >> 17);
  store(1, (e1 + o1 + 0x10000) >> 17);
  store(6, (e1 - o1 + 0x10000) >> 17);
  store(2, (e2 + o2 + 0x10000) >> 17);
  store(5, (e2 - o2 + 0x10000) >> 17);
  store(3, (e3 + o3 + 0x10000) >> 17);
  store(4, (e3 - o3 + 0x10000) >> 17);
}

// One 8-point forward transform of x[0..7] into X[0..7], exactly as the format fixes it.
inline void Forward8(const int* x, int* X) {
  const int s07 = x[0] + x[7], s16 = x[1] + x[6], s25 = x[2] + x[5], s34 = x[3] + x[4];
  const int d07 = x[0] - x[7], d16 = x[1] - x[6], d25 = x[2] - x[5], d34 = x[3] - x[4];
  X[0] = ((s07 + s16 + s25 + s34) * 46341 + 65536) >> 17;
  X[4] = ((s07 + s34 - s16 - s25) * 46341 + 65536) >> 17;
  X[2] = ((s07 - s34) * 60547 + (s16 - s25) * 25080 + 65536) >> 17;
  X[6] = ((s07 - s34) * 25080 - (s16 - s25) * 60547 + 65536) >> 17;
  const int a = 4 * d34, b = ((d16 - d25) * 46341 + 8192) >> 14;
  const int c = 4 * d07, e = ((d16 + d25) * 46341 + 8192) >> 14;
  X[1] = ((c + e) * 16069 + (a + b) * 3196 + 65536) >> 17;
  X[7] = ((c + e) * 3196 - (a + b) * 16069 + 65536) >> 17;
  X[5] = ((a - b) * 13623 + (c - e) * 9102 + 65536) >> 17;
  X[3] = ((c - e) * 13623 - (a - b) * 9102 + 65536) >> 17;
}

}  // namespace

const uchar* const kClampPlain = Tables().plain.data() + 512;

uchar ClampShifted(int v) { return Tables().shifted[std::clamp(v, -384, 383) + 384]; }

void JPGDequantize(const short* coef, const ushort* quantZigZag, int* out) {
  for (int k = 0; k < 64; ++k) {
    const int n = kZigZag[k];
    out[n] = std::clamp(coef[n] * static_cast<int>(quantZigZag[k]), -32768, 32767);
  }
}

void JPGIDCT(const int* coef, uchar* out, int stride) {
  int rows[64];
  for (int v = 0; v < 8; ++v) {
    int* row = rows + 8 * v;
    Inverse8(coef + 8 * v, 1, [row](int i, long x) { row[i] = static_cast<int>(x); });
  }
  const uchar* shifted = Tables().shifted.data() + 384;
  for (int u = 0; u < 8; ++u) {
    uchar* column = out + u;
    Inverse8(rows + u, 8, [column, stride, shifted](int i, long x) {
      column[i * stride] = shifted[std::clamp(x, -384L, 383L)];
    });
  }
}

void JPGForwardDCT(short* block) {
  int in[8], res[8];
  short temp[64];
  for (int r = 0; r < 8; ++r) {
    for (int i = 0; i < 8; ++i) in[i] = block[8 * r + i];
    Forward8(in, res);
    for (int u = 0; u < 8; ++u) temp[8 * u + r] = static_cast<short>(res[u]);
  }
  for (int k = 0; k < 8; ++k) {
    for (int i = 0; i < 8; ++i) in[i] = temp[8 * k + i];
    Forward8(in, res);
    for (int v = 0; v < 8; ++v) block[8 * v + k] = static_cast<short>(res[v]);
  }
}

}  // namespace jpeg
