#pragma once
// The 8x8 transforms: the separable fixed-point inverse DCT of the decoder (with its
// dequantisation and the clamp to samples) and the forward DCT of the encoder.

#include "vorlen/core/Types.h"

// Hot transforms get a second build for processors with AVX2, chosen once at load.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define JPEG_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define JPEG_VECTOR_CLONES
#endif

namespace jpeg {

// A quantisation table as stored (zig-zag order) rearranged in natural order.
void NaturalOrder(const ushort* quantZigZag, ushort* quantNatural);

// Multiplies the coefficients by the table, both in natural order, into out. Products are
// limited to +-2048: a real 8-bit image never goes beyond (its coefficients stay within
// 1024 plus half a quantisation step), and the transform stays within 32 bits whatever a
// file holds.
void JPGDequantize(const short* coef, const ushort* quantNatural, int* out);

// Inverse DCT of 64 dequantised coefficients (natural order) to 8x8 samples, level-shifted
// by 128 and clamped to 0..255, written with the given row stride.
void JPGIDCT(const int* coef, uchar* out, int stride);

// Forward DCT in place: 64 level-shifted samples (row-major) become 64 coefficients
// (index 8v + u), each pass rounded to whole 16-bit values.
void JPGForwardDCT(short* block);

// The instruction sets the transforms and the decoder's colour stage can use, each path
// giving the plain one's results bit for bit. JPGForwardDCT takes the fastest this processor
// has. The forward DCT has no SSE2 form: on that path it runs the plain code.
enum class DctPath { Plain, Sse2, Avx2 };
bool DctPathAvailable(DctPath path);
DctPath FastestDctPath();
// The forward DCT on the path given, which must be available.
void JPGForwardDCTOn(DctPath path, short* block);

// JPGDequantize followed by JPGIDCT, on the path given (which must be available).
void JPGInverseOn(DctPath path, const short* coef, const ushort* quantNatural, uchar* out, int stride);

}  // namespace jpeg
