#include "vorlen/formats/jpeg/JpegColour.h"

#include <algorithm>
#include <cmath>

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

// Up to kChunk pixels of one row from luminance and per-pixel chroma terms.
constexpr int kChunk = 16;
inline void ConvertChunk(const uchar* y, const int* red, const int* green, const int* blue, uint* dst, int n) {
  for (int x = 0; x < n; ++x) {
    const int l = y[x];
    dst[x] = Clamp(l + red[x]) << 16 | Clamp(l - green[x]) << 8 | Clamp(l + blue[x]);
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
