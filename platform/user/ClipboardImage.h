#pragma once
// The clipboard's pictures: a packed DIB (CF_DIB: a BITMAPINFOHEADER, its bit-field masks or
// colour table, then the rows, in one memory block), a bitmap (CF_BITMAP) and a palette
// (CF_PALETTE), and the conversions the clipboard makes between them. Nothing read from a
// block is trusted: every part must lie within the block before it is used.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/GlobalMemory.h"

// Where the parts of a packed DIB lie, once checked.
struct PackedDibLayout {
  BITMAPINFOHEADER header;  // the fields of the stored header (of 40 bytes or more)
  DWORD masks[3] = {0, 0, 0};  // BI_BITFIELDS only
  size_t tableOffset = 0;
  int tableEntries = 0;
  size_t bitsOffset = 0;
  size_t bitsSize = 0;  // the rows' bytes: a padded row times the number of rows
};

// False unless the bytes hold an uncompressed (or bit-field) DIB of 1, 4, 8, 16, 24 or 32 bits
// a pixel, of a sensible size, whose header, table and rows all lie within them.
bool ReadPackedDibLayout(const std::uint8_t* data, size_t size, PackedDibLayout& out);

// A bitmap of the desktop's depth with the DIB's pixels; null for a damaged DIB.
HBITMAP BitmapFromPackedDib(const std::uint8_t* data, size_t size);
// The colours of the DIB's table as a palette; null when it has none.
HPALETTE PaletteFromPackedDib(const std::uint8_t* data, size_t size);
// A packed DIB of the bitmap's pixels, bottom row first: at its own depth with its own table
// for an indexed DIB section, 24 bits for a 24-bit section, 1 bit for a monochrome bitmap, 8 bits or fewer with the
// palette's colours when a palette is given and every pixel is one of its colours, else
// 32 bits. Empty when the bitmap is not live.
std::vector<std::uint8_t> PackedDibFromBitmap(HBITMAP bitmap, HPALETTE palette);

// A block holding the bytes, or null when there is no memory for it.
HGLOBAL BlockOf(const std::vector<std::uint8_t>& bytes);
// The bytes of a block; empty for a handle that is not a block.
std::vector<std::uint8_t> BlockBytes(HGLOBAL block);
