#pragma once
// Colour conversion between YCbCr samples and pixels 0x00RRGGBB, in whole-number tables:
// the decoder's output stage (with chroma replication for subsampled files) and the
// encoder's input stage.

#include "vorlen/core/Types.h"

namespace jpeg {

// Grey samples to pixels R = G = B = Y; width x height from rows `stride` apart.
void JPGStoreGrey(const uchar* y, int yStride, uint* dst, int dstStride, int width, int height);

// YCbCr samples to pixels. Each chroma sample serves (1 << hShift) x (1 << vShift) luminance
// samples (replication).
void JPGStoreYCbCr(const uchar* y, int yStride, const uchar* cb, const uchar* cr, int cStride,
                   int hShift, int vShift, uint* dst, int dstStride, int width, int height);

// One pixel to level-shifted samples (-128..127).
struct RgbToYCbCr {
  short yr[256], yg[256], yb[256];
  short cbr[256], cbg[256], crg[256], crb[256];
  RgbToYCbCr();
  short Y(uint p) const {
    return static_cast<short>((((yr[p >> 16 & 255] + yg[p >> 8 & 255] + yb[p & 255] + 64) >> 7) & 255) - 128);
  }
  short Cb(uint p) const {
    return static_cast<short>((((cbr[p >> 16 & 255] + cbg[p >> 8 & 255] + 64 * static_cast<int>(p & 255) + 0x4000) >> 7) & 255) - 128);
  }
  short Cr(uint p) const {
    return static_cast<short>((((64 * static_cast<int>(p >> 16 & 255) + crg[p >> 8 & 255] + crb[p & 255] + 0x4000) >> 7) & 255) - 128);
  }
};
const RgbToYCbCr& EncoderColour();

}  // namespace jpeg
