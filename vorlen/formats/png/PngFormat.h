#pragma once
// Shared facts of the PNG format: the signature, chunk types, the header and its rules,
// row geometry and the Adam7 passes. Used by the reader and the writer alike.

#include <cstdint>

#include "vorlen/core/Types.h"
#include "vorlen/formats/ByteOrder.h"

namespace png {

inline constexpr uchar kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
inline constexpr int kHeaderSize = 13;
// A chunk's length may not exceed 2^31 - 1.
inline constexpr uint kMaxChunkLength = 0x7FFFFFFF;
// The longest row a decoder takes on, in bytes (so that two rows stay well within memory).
inline constexpr std::int64_t kMaxRowBytes = 0x3FFFFFFF;

inline constexpr uint kIHDR = BigEndianTag("IHDR");
inline constexpr uint kPLTE = BigEndianTag("PLTE");
inline constexpr uint kIDAT = BigEndianTag("IDAT");
inline constexpr uint kIEND = BigEndianTag("IEND");
inline constexpr uint kTRNS = BigEndianTag("tRNS");
inline constexpr uint kBKGD = BigEndianTag("bKGD");
inline constexpr uint kTEXT = BigEndianTag("tEXt");

// Colour type bits.
inline constexpr int kPaletteBit = 1;
inline constexpr int kColourBit = 2;
inline constexpr int kAlphaBit = 4;
inline constexpr int kGrey = 0;
inline constexpr int kRGB = 2;
inline constexpr int kPalette = 3;
inline constexpr int kGreyAlpha = 4;
inline constexpr int kRGBA = 6;

struct Header {
  uint width = 0;
  uint height = 0;
  int depth = 0;
  int colourType = 0;
  int compression = 0;
  int filter = 0;
  int interlace = 0;
};

Header ParseHeader(const uchar* bytes);

// The bit depths the standard allows for each colour type.
constexpr bool IsAllowedDepth(int colourType, int depth) {
  switch (colourType) {
    case kGrey: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case kPalette: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case kRGB:
    case kGreyAlpha:
    case kRGBA: return depth == 8 || depth == 16;
    default: return false;
  }
}

// Whether this codec reads a header with these values (the size as the standard allows it).
constexpr bool IsSupported(const Header& h) {
  return h.width >= 1 && h.width <= kMaxChunkLength && h.height >= 1 &&
         h.height <= kMaxChunkLength && h.colourType <= 6 && IsAllowedDepth(h.colourType, h.depth) && h.compression == 0 &&
         h.filter == 0 && h.interlace < 2;
}

constexpr int Channels(int colourType) {
  switch (colourType) {
    case kRGB: return 3;
    case kGreyAlpha: return 2;
    case kRGBA: return 4;
    default: return 1;
  }
}

constexpr int BitsPerPixel(const Header& h) { return Channels(h.colourType) * h.depth; }
constexpr int BytesPerPixel(int bitsPerPixel) { return bitsPerPixel < 8 ? 1 : bitsPerPixel / 8; }
constexpr std::int64_t RowBytes(int bitsPerPixel, std::int64_t pixels) {
  return (bitsPerPixel * pixels + 7) / 8;
}

// An interlace pass: rows from firstRow by rowStep, columns from firstColumn by columnStep.
struct Pass {
  int rowStep;
  int firstRow;
  int columnStep;
  int firstColumn;

  // Pixels of one row of the pass in an image of the given width.
  constexpr std::int64_t Width(std::int64_t width) const {
    return width > firstColumn ? (width - firstColumn + columnStep - 1) / columnStep : 0;
  }
};

inline constexpr Pass kWholeImage = {1, 0, 1, 0};
inline constexpr Pass kAdam7[7] = {{8, 0, 8, 0}, {8, 0, 8, 4}, {8, 4, 4, 0}, {4, 0, 4, 2},
                                   {4, 2, 2, 0}, {2, 0, 2, 1}, {2, 1, 1, 0}};

}  // namespace png
