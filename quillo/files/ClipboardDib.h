#pragma once
// Pictures as the clipboard carries them: packed device-independent bitmaps (CF_DIB: an
// information header, its bit-field masks or colour table, then the rows, in one block).
// The program writes 32 bits a pixel with its transparency byte on top (0 opaque, 255 fully
// transparent), so a copied selection keeps its shape; it reads whatever other programs put
// there. A block from the clipboard is untrusted: the header, the compression, every size and
// its sign are checked against the block before anything in it is used.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/GdiTypes.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/core/Types.h"

class BitBuffer;

// The number of colour-table entries of a DIB header: 1 << bit count for the 12-byte core
// header; for the others the used-colours count when it is not 0, else 1 << bit count; 0 for
// 32 bits or more and for any count above 256.
int DibColorCount(const BITMAPINFOHEADER* header);

// Where the parts of a clipboard DIB lie once checked.
struct ClipboardDibLayout {
  std::uint32_t headerSize = 0;
  int width = 0;
  int height = 0;        // rows, always positive
  bool topDown = false;  // the stored height was negative: the first row is the top one
  int bitCount = 0;
  std::uint32_t compression = BI_RGB;
  std::uint32_t alphaMask = 0;  // from headers of 56 bytes or more
  std::size_t tableOffset = 0;
  int tableEntries = 0;
  std::size_t bitsOffset = 0;
  std::size_t bitsSize = 0;  // the rows' bytes the decoder may read
};

// The largest picture taken from the clipboard, in pixels and per side.
inline constexpr std::int64_t kMaxClipboardPixels = std::int64_t{1} << 28;
inline constexpr int kMaxClipboardSide = 65535;

// False unless the bytes hold a DIB with an information header of 40 bytes or more, 1 plane,
// 1, 4, 8, 16, 24 or 32 bits a pixel, uncompressed, bit fields (16 and 32 bits) or run-length
// encoded (8 and 4 bits, bottom-up), a positive width, a height that is not 0, at most
// kMaxClipboardSide a side and kMaxClipboardPixels in all, whose header, masks, colour table
// and rows all lie within the bytes.
bool CheckClipboardDib(const std::uint8_t* data, std::size_t size, ClipboardDibLayout& out);

// Decodes a clipboard DIB into picture (allocated at its size), the transparency byte kept
// where the DIB has one: the program's own 32-bit DIBs (40-byte header) carry it as it is,
// headers with an alpha mask of 0xFF000000 carry alpha (255 opaque); every other pixel is
// opaque. Pixels left fully transparent are made exactly 0xFF000000, so the colour key of a
// paste skips them. False, picture empty, when the DIB is damaged or cannot be decoded; the
// library's allocation failures pass on.
bool PictureFromClipboardDib(const std::uint8_t* data, std::size_t size, Buffer& picture);

// The program's clipboard DIB of the rectangle r of picture (clipped to it): a 40-byte header
// (width, positive height, 1 plane, 32 bits, the rest 0) and the rows from the bottom one up,
// each pixel as the picture holds it. With a selection mask given, the pixels whose mask bit
// is clear are written as 0xFF000000. Empty when the rectangle misses the picture.
std::vector<std::uint8_t> ClipboardDibFromPicture(const Buffer& picture, Rect r, const BitBuffer* selection);
// The byte count ClipboardDibFromPicture makes for a w x h rectangle; -1 beyond what a block
// can hold.
std::int64_t ClipboardDibSize(int width, int height);
// The same written straight into a block of ClipboardDibSize bytes.
void WriteClipboardDib(const Buffer& picture, Rect r, const BitBuffer* selection, std::uint8_t* out);
