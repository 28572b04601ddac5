#pragma once
// Colour reduction: a palette of up to 256 colours for a 32-bit image, chosen by splitting
// colour boxes where a split removes the most squared error, and the mapping of pixels to
// their nearest palette entries, optionally with error diffusion.
//
// Palettes are count entries of R, G, B bytes. The key word: kNoKey; a value below
// 0x01000000 is a transparent colour; kCompositeKey | background means the image lies over
// that background and pixels whose transparency byte is 128 or more are transparent.

#include "vorlen/core/Buffer.h"
#include "vorlen/core/Types.h"

inline constexpr uint kNoKey = 0xFFFFFFFF;
inline constexpr uint kCompositeKey = 0xFE000000;

constexpr bool IsCompositeKey(uint key) { return (key & 0xFF000000) == kCompositeKey; }
constexpr bool IsColourKey(uint key) { return key < 0x01000000; }

// Fills palette (count entries, count <= 256) and answers the entries used; the rest of the
// count entries are zeroed. scratch: img itself to work in place, or a buffer whose memory
// may be overwritten, or null.
int CreatePalette(Buffer& img, uchar* palette, int count, uint key, Buffer* scratch, bool dither);

// The index of the entry nearest to colour (0x00RRGGBB); the first of equally near wins.
int Quantize(uint colour, const uchar* palette, int count);

// One palette index a pixel into indices (stride bytes a row), or with indices null the
// palette colours into the image itself (each pixel's transparency kept); answers the key's
// index.
int Quantize(Buffer& img, const uchar* palette, int count, uint key, bool dither, uchar* indices,
             int stride);
