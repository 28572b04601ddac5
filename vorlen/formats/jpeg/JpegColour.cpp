#include "vorlen/formats/jpeg/JpegColour.h"

#include <algorithm>
#include <cmath>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "vorlen/formats/jpeg/JpegDct.h"

namespace jpeg {

namespace {

// The four decoder products in whole numbers: 1.402 (Cr - 128), 0.714136 (Cr - 128),
// 0.344136 (Cb - 128) and 1.772 (Cb - 128), rounded from 16-bit fractions. Computed rather
// than looked up, so that a row of them is worked out in vector registers.
inline int CrToR(int cr) { return ((cr - 128) * 91881 + 32768) >> 16; }
inline int CrToG(int cr) { return ((cr - 128) * 46802 + 32768) >> 16; }
inline int CbToG(int cb) { return ((cb - 128) * 22554 + 32768) >> 16; }
inline int CbToB(int cb) { return ((cb - 128) * 116130 + 32768) >> 16; }

inline uint Clamp(int v) { return static_cast<uint>(std::clamp(v, 0, 255)); }

inline uint Pixel(int l, int red, int green, int blue) {
  return Clamp(l + red) << 16 | Clamp(l - green) << 8 | Clamp(l + blue);
}

// Up to kChunk pixels of one row from luminance and per-pixel chroma terms.
constexpr int kChunk = 16;
inline void ConvertChunk(const uchar* y, const int* red, const int* green, const int* blue, uint* dst, int n) {
  for (int x = 0; x < n; ++x) {
    dst[x] = Pixel(y[x], red[x], green[x], blue[x]);
  }
}

}  // namespace

JPEG_VECTOR_CLONES
void JPGStoreGrey(const uchar* y, int yStride, uint* dst, int dstStride, int width, int height) {
  for (int row = 0; row < height; ++row, y += yStride, dst += dstStride)
    for (int x = 0; x < width; ++x) dst[x] = 0x010101u * y[x];
}

JPEG_VECTOR_CLONES
void JPGStoreYCbCr(const uchar* y, int yStride, const uchar* cb, const uchar* cr, int cStride,
                   int hShift, int vShift, uint* dst, int dstStride, int width, int height) {
  int red[kChunk], green[kChunk], blue[kChunk];
  const int step = 1 << vShift;
  for (int row = 0; row < height; row += step, cb += cStride, cr += cStride) {
    const int rows = std::min(step, height - row);
    for (int x0 = 0; x0 < width; x0 += kChunk) {
      const int n = std::min(kChunk, width - x0);
      // The chroma terms once per chroma sample, then replicated over the pixels it covers.
      const int c0 = x0 >> hShift, cn = (n + (1 << hShift) - 1) >> hShift;
      for (int c = 0; c < cn; ++c) {
        red[c] = CrToR(cr[c0 + c]);
        green[c] = CbToG(cb[c0 + c]) + CrToG(cr[c0 + c]);
        blue[c] = CbToB(cb[c0 + c]);
      }
      if (hShift != 0) {
        for (int c = cn - 1; c >= 0; --c) {
          red[2 * c] = red[2 * c + 1] = red[c];
          green[2 * c] = green[2 * c + 1] = green[c];
          blue[2 * c] = blue[2 * c + 1] = blue[c];
        }
      }
      for (int r = 0; r < rows; ++r)
        ConvertChunk(y + static_cast<long>(row + r) * yStride + x0, red, green, blue,
                     dst + static_cast<long>(row + r) * dstStride + x0, n);
    }
  }
}

namespace {

#if defined(__x86_64__) && defined(__GNUC__)

// ((c x f + 32768) >> 16) for eight 16-bit samples c (-128..127), exactly as the scalar
// products: f = whole x 65536 + rest with rest within 16 bits, so the result is c x whole plus
// (c x rest + 32768) >> 16, the latter one pmaddwd of (c, 2) against (rest, 16384).
inline __m128i Product(__m128i c, int f) {
  const int whole = (f + 32768) >> 16;
  const int rest = f - whole * 65536;
  const __m128i factors = _mm_set1_epi32(16384 << 16 | (rest & 0xFFFF));
  const __m128i two = _mm_set1_epi16(2);
  const __m128i low = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(c, two), factors), 16);
  const __m128i high = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(c, two), factors), 16);
  return _mm_add_epi16(_mm_packs_epi32(low, high), _mm_mullo_epi16(c, _mm_set1_epi16(static_cast<short>(whole))));
}

// The chroma terms of eight chroma samples, as 16-bit lanes.
struct ChromaTerms {
  __m128i red, green, blue;
};

inline ChromaTerms Terms(__m128i cb8, __m128i cr8) {
  const __m128i zero = _mm_setzero_si128(), bias = _mm_set1_epi16(128);
  const __m128i cb = _mm_sub_epi16(_mm_unpacklo_epi8(cb8, zero), bias);
  const __m128i cr = _mm_sub_epi16(_mm_unpacklo_epi8(cr8, zero), bias);
  return {Product(cr, 91881), _mm_add_epi16(Product(cb, 22554), Product(cr, 46802)), Product(cb, 116130)};
}

// Sixteen pixels from sixteen luminance samples and their chroma terms (low: pixels 0-7).
inline void StoreSixteen(const uchar* y, const ChromaTerms& low, const ChromaTerms& high, uint* dst) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y));
  const __m128i lLow = _mm_unpacklo_epi8(l, zero), lHigh = _mm_unpackhi_epi8(l, zero);
  const __m128i r = _mm_packus_epi16(_mm_add_epi16(lLow, low.red), _mm_add_epi16(lHigh, high.red));
  const __m128i g = _mm_packus_epi16(_mm_sub_epi16(lLow, low.green), _mm_sub_epi16(lHigh, high.green));
  const __m128i b = _mm_packus_epi16(_mm_add_epi16(lLow, low.blue), _mm_add_epi16(lHigh, high.blue));
  const __m128i bgLow = _mm_unpacklo_epi8(b, g), bgHigh = _mm_unpackhi_epi8(b, g);
  const __m128i rLow = _mm_unpacklo_epi8(r, zero), rHigh = _mm_unpackhi_epi8(r, zero);
  __m128i* out = reinterpret_cast<__m128i*>(dst);
  _mm_storeu_si128(out, _mm_unpacklo_epi16(bgLow, rLow));
  _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(bgLow, rLow));
  _mm_storeu_si128(out + 2, _mm_unpacklo_epi16(bgHigh, rHigh));
  _mm_storeu_si128(out + 3, _mm_unpackhi_epi16(bgHigh, rHigh));
}

inline ChromaTerms Doubled(const ChromaTerms& t, bool high) {
  auto twice = [high](__m128i v) { return high ? _mm_unpackhi_epi16(v, v) : _mm_unpacklo_epi16(v, v); };
  return {twice(t.red), twice(t.green), twice(t.blue)};
}

void StoreYCbCrSse2(const uchar* y, int yStride, const uchar* cb, const uchar* cr, int cStride, int hShift,
                    int vShift, uint* dst, int dstStride, int width, int height) {
  const int step = 1 << vShift;
  const int whole = width & ~15;
  for (int row = 0; row < height; row += step, cb += cStride, cr += cStride) {
    const int rows = std::min(step, height - row);
    const uchar* yRow = y + static_cast<long>(row) * yStride;
    uint* dstRow = dst + static_cast<long>(row) * dstStride;
    for (int x = 0; x < whole; x += 16) {
      ChromaTerms low, high;
      if (hShift != 0) {
        const ChromaTerms t = Terms(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cb + x / 2)),
                                    _mm_loadl_epi64(reinterpret_cast<const __m128i*>(cr + x / 2)));
        low = Doubled(t, false);
        high = Doubled(t, true);
      } else {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cb + x));
        const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cr + x));
        low = Terms(b, r);
        high = Terms(_mm_srli_si128(b, 8), _mm_srli_si128(r, 8));
      }
      for (int r = 0; r < rows; ++r)
        StoreSixteen(yRow + static_cast<long>(r) * yStride + x, low, high, dstRow + static_cast<long>(r) * dstStride + x);
    }
    for (int r = 0; r < rows; ++r) {
      const uchar* l = yRow + static_cast<long>(r) * yStride;
      uint* out = dstRow + static_cast<long>(r) * dstStride;
      for (int x = whole; x < width; ++x) {
        const int c = x >> hShift;
        out[x] = Pixel(l[x], CrToR(cr[c]), CbToG(cb[c]) + CrToG(cr[c]), CbToB(cb[c]));
      }
    }
  }
}

#endif

}  // namespace

void JPGStoreYCbCrOn(DctPath path, const uchar* y, int yStride, const uchar* cb, const uchar* cr, int cStride,
                     int hShift, int vShift, uint* dst, int dstStride, int width, int height) {
#if defined(__x86_64__) && defined(__GNUC__)
  if (path != DctPath::Plain) {
    StoreYCbCrSse2(y, yStride, cb, cr, cStride, hShift, vShift, dst, dstStride, width, height);
    return;
  }
#endif
  JPGStoreYCbCr(y, yStride, cb, cr, cStride, hShift, vShift, dst, dstStride, width, height);
}

JPEG_VECTOR_CLONES void RgbToSamples(const uint* pixels, int n, short* const* out) {
  short* y = out[0];
  for (int i = 0; i < n; ++i) {
    const int r = pixels[i] >> 16 & 255, g = pixels[i] >> 8 & 255, b = pixels[i] & 255;
    y[i] = static_cast<short>((((YFromR(r) + YFromG(g) + YFromB(b) + 64) >> 7) & 255) - 128);
  }
  if (out[1] == nullptr) return;
  short* cb = out[1];
  short* cr = out[2];
  for (int i = 0; i < n; ++i) {
    const int r = pixels[i] >> 16 & 255, g = pixels[i] >> 8 & 255, b = pixels[i] & 255;
    cb[i] = static_cast<short>((((CbFromR(r) + CbFromG(g) + 64 * b + 0x4000) >> 7) & 255) - 128);
    cr[i] = static_cast<short>((((64 * r + CrFromG(g) + CrFromB(b) + 0x4000) >> 7) & 255) - 128);
  }
}

}  // namespace jpeg
