#pragma once
// PC PaintBrush PCX: run-length coded rows of 1 to 4 one-bit planes, of one 8-bit plane with a
// 256-colour palette at the end of the file, or of three 8-bit planes (red, green, blue).
// The image's position travels in GFXtra32::x and y. Numbers are little-endian.

#include "vorlen/formats/GFXFile.h"

class StreamBuf;

class PCXFile : public GFXFile {
public:
  PCXFile();

  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
  bool Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) override;
};

void RegisterPCXFile();

// Decodes exactly n bytes of one row; a run that passes the row's end is a format error.
void PCXDecodeRow(StreamBuf& reader, uchar* out, int n);
// Encodes n source bytes taken every `step` bytes; answers the bytes written (at most 2n).
int PCXEncodeRow(uchar* out, const uchar* source, int n, int step);

namespace Pcx {

inline constexpr int kHeaderSize = 128;
inline constexpr int kPaletteMarker = 12;
inline constexpr int kPaletteSize = 768;

// The header fields a reader relies on.
struct Header {
  int manufacturer = 0;
  int encoding = 0;
  int bitsPerPlane = 0;
  int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  int planes = 0;
  int bytesPerLine = 0;
  int paletteInfo = 0;
  uchar palette16[48] = {};

  int Width() const { return xMax - xMin + 1; }
  int Height() const { return yMax - yMin + 1; }
  // The variants this codec reads: 8 bits in 1 or 3 planes, 1 bit in 1 to 4 planes.
  bool Supported() const;
  // The bytes of one plane that the width needs.
  int BytesNeeded() const;
};

Header ParseHeader(const uchar* bytes);

}  // namespace Pcx
