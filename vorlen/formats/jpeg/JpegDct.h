#pragma once
// The 8x8 transforms: the separable fixed-point inverse DCT of the decoder (with its
// dequantisation and the clamp to samples) and the forward DCT of the encoder.

#include "vorlen/core/Types.h"

namespace jpeg {

// Multiplies the coefficients (natural order) by the table (zig-zag order as stored) into
// out (natural order). Products are limited to the 16-bit range: a real image never comes
// near it, and the transform stays within its integer range whatever a file holds.
void JPGDequantize(const short* coef, const ushort* quantZigZag, int* out);

// Inverse DCT of 64 dequantised coefficients (natural order) to 8x8 samples, level-shifted
// and clamped to 0..255, written with the given row stride.
void JPGIDCT(const int* coef, uchar* out, int stride);

// Forward DCT in place: 64 level-shifted samples (row-major) become 64 coefficients
// (index 8v + u), each pass rounded to whole 16-bit values.
void JPGForwardDCT(short* block);

// Clamp to a sample. Shifted: transform results, adds the level shift 128, from -384 to 383.
// Plain: colour sums, from -512 to 767.
uchar ClampShifted(int v);
extern const uchar* const kClampPlain;  // index v for v in -512..767
inline uchar ClampPlain(int v) { return kClampPlain[v]; }

}  // namespace jpeg
