#pragma once
// Pictures as the user's desktop passes them between programs: BMP and PNG files, made from
// and turned into the clipboard's packed DIBs. The transparency byte on top of 32-bit pixels
// (0 opaque) becomes PNG alpha (255 opaque) and back. Files from other programs are read as
// untrusted input: every length and size is checked before it is used.
//
// PNG reading covers 8-bit grey, grey with alpha, RGB, RGBA and palette images and 1, 2 and
// 4-bit grey and palette images, not interlaced; 16-bit samples keep their high byte.
// Pictures over 2^26 pixels are refused.

#include <cstddef>
#include <cstdint>
#include <vector>

// A BMP file of the DIB: indexed and 16 and 24-bit DIBs as they are, 32-bit ones at 24 bits
// (other programs read the top byte of 32-bit BMPs in differing ways). Empty for a damaged DIB.
std::vector<std::uint8_t> BmpFileFromPackedDib(const std::uint8_t* dib, size_t size);
// A PNG file of the DIB (RGB, or RGBA when any pixel is not opaque), stored deflate blocks.
std::vector<std::uint8_t> PngFileFromPackedDib(const std::uint8_t* dib, size_t size);

// A packed DIB with a 40-byte header, bottom row first: indexed BMPs keep their depth and
// table, other BMPs and every PNG become 32 bits. False for a damaged or unsupported file.
bool PackedDibFromBmpFile(const std::uint8_t* file, size_t size, std::vector<std::uint8_t>& dib);
bool PackedDibFromPngFile(const std::uint8_t* file, size_t size, std::vector<std::uint8_t>& dib);
