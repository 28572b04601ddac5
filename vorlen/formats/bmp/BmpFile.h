#pragma once
// Windows device-independent bitmaps ("Windows Bitmap", *.BMP and *.RLE): 1, 4 and 8 bits
// through a colour table (8 and 4 bits also run-length encoded), 16 and 32 bits with bit
// fields, 24 bits. All numbers are little-endian.

#include <cstdint>
#include <vector>

#include "vorlen/formats/GFXFile.h"

struct BITMAPINFO;  // the framework's record: an information header and its colour table

class BMPFile : public GFXFile {
public:
  BMPFile();
  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
  bool Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) override;
};

// Decodes the rows that follow in `pixels`, laid out as `info` describes (an information
// header of 40 bytes or more, or the 36-byte form with 3-byte colour entries). 1 done, 0
// stopped by the progress hook; EInvalidImage "100" for a layout it cannot read.
bool BitmapFromStream(Buffer& dst, const BITMAPINFO* info, TStream* pixels, GFXFileDesc* desc);

// One row of byte-per-pixel indices, run-length encoded and ended with the end-of-line code;
// answers the bytes written (out holds 2 x count + 8 bytes).
int BMPEncodeRLE8(const uchar* row, uchar* out, int count);
int BMPEncodeRLE4(const uchar* row, uchar* out, int count);

namespace bmp {

inline constexpr int kFileHeaderSize = 14;
inline constexpr int kCoreHeaderSize = 12;
inline constexpr int kPseudoCoreHeaderSize = 36;
inline constexpr int kInfoHeaderSize = 40;
inline constexpr int kV4HeaderSize = 108;
inline constexpr int kLargestHeaderSize = 4096;  // beyond any header Windows defined

inline constexpr uint kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

// An information header as the decoder needs it, whatever its form in the file.
struct Header {
  int headerSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: rows top-down
  int planes = 0;
  int bits = 0;
  uint compression = 0;
  uint masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  std::vector<uint> table;       // colour table as pixel words; 256 entries for indexed depths
  std::vector<uchar> tableRgb;   // the same as R, G, B triplets, as many as the file held
};

bool Supported(const Header& h);
// Parses an information header and what follows it in `bytes` (length bytes: the header,
// bit-field masks and colour table). EInvalidImage "100" when it makes no sense.
Header ParseHeader(const uchar* bytes, std::size_t length);
// The stored length of one uncompressed row.
std::int64_t RowBytes(int bits, std::int64_t width);
bool Decode(Buffer& dst, const Header& h, TStream* pixels, GFXFileDesc* desc);
bool DecodeRle(Buffer& dst, const Header& h, TStream* pixels);

}  // namespace bmp
