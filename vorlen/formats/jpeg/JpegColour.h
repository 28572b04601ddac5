#pragma once
// Colour conversion between YCbCr samples and pixels 0x00RRGGBB, in whole-number tables:
// the decoder's output stage (with chroma replication for subsampled files) and the
// encoder's input stage.

#include "vorlen/core/Types.h"
#include "vorlen/formats/jpeg/JpegDct.h"

namespace jpeg {

// Grey samples to pixels R = G = B = Y; width x height from rows `stride` apart.
void JPGStoreGrey(const uchar* y, int yStride, uint* dst, int dstStride, int width, int height);

// YCbCr samples to pixels. Each chroma sample serves (1 << hShift) x (1 << vShift) luminance
// samples (replication).
void JPGStoreYCbCr(const uchar* y, int yStride, const uchar* cb, const uchar* cr, int cStride,
                   int hShift, int vShift, uint* dst, int dstStride, int width, int height);
// The same on the path given (which must be available): whole rows sixteen pixels at a
// time where the processor allows, the same pixels on every path. hShift and vShift are 0 or 1.
void JPGStoreYCbCrOn(DctPath path, const uchar* y, int yStride, const uchar* cb, const uchar* cr, int cStride,
                     int hShift, int vShift, uint* dst, int dstStride, int width, int height);

// Pixels to level-shifted samples (-128..127), in the products' 7-bit fixed point:
// Y = (((YR[R] + YG[G] + YB[B] + 64) >> 7) & 255) - 128 with YR[i] = i x 0.299 x 128 rounded
// (YG, YB likewise), Cb and Cr from the chroma products without a rounding term.
// The products are computed from 16-bit fractions; for Y they equal the rounded values for
// every i.
inline int YFromR(int i) { return (i * 2508194 + 32768) >> 16; }
inline int YFromG(int i) { return (i * 4924113 + 32768) >> 16; }
inline int YFromB(int i) { return (i * 956301 + 32768) >> 16; }
inline int CbFromR(int i) { return (i * -1415460 + 32768) >> 16; }
inline int CbFromG(int i) { return (i * -2778844 + 32768) >> 16; }
inline int CrFromG(int i) { return (i * -3512210 + 32768) >> 16; }
inline int CrFromB(int i) { return (i * -682094 + 32768) >> 16; }

// n pixels to Y (and, unless out[1] is null, Cb and Cr) samples.
void RgbToSamples(const uint* pixels, int n, short* const* out);

}  // namespace jpeg
