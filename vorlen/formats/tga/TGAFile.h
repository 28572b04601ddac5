#pragma once
// Truevision Targa: colour-mapped, true-colour and grey images, plain or run-length coded,
// in any of the four pixel orders the descriptor selects. Writes run-length coded files:
// 8-bit colour-mapped with a 24- or 32-bit colour map, 24- or 32-bit true colour, top row
// first, with the 26-byte footer. Numbers are little-endian.

#include "vorlen/formats/GFXFile.h"

class StreamBuf;

class TGAFile : public GFXFile {
public:
  TGAFile();

  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
  bool Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) override;
};

void RegisterTGAFile();

// The run-length packet decoder; packets may cross rows, so the state lives across calls.
class TGAStream {
public:
  TGAStream(StreamBuf& reader, int bytesPerPixel);

  void Skip(int n);
  void Read(uchar* target, int n);

private:
  void NextPacket();

  StreamBuf& reader;
  uchar pixel[4] = {};
  int count = 0;  // > 0: raw pixels left; < 0: minus the run's pixels left; 0: header next
  int bytes;
};

// Pixel writers for the encoder: count pixel words to `size`-byte file pixels.
using TGAConvert = void (*)(const uint* source, uchar* target, int count);

uchar* TGAEncodePixels(uchar* out, const uint* source, int n, TGAConvert convert, int size, uint mask);
uchar* TGAEncodeRun(uchar* out, const uchar* source, int n);

namespace Tga {

inline constexpr int kHeaderSize = 18;
inline constexpr int kFooterSize = 26;
inline constexpr char kSignature[18] = "TRUEVISION-XFILE.";  // with its zero byte

struct Header {
  int idLength = 0;
  int mapType = 0;
  int imageType = 0;
  int mapFirst = 0;
  int mapLength = 0;
  int mapEntryBits = 0;
  int xOrigin = 0;
  int yOrigin = 0;
  int width = 0;
  int height = 0;
  int depth = 0;
  int descriptor = 0;

  int Kind() const { return imageType & 7; }
  bool RunLength() const { return (imageType & 8) != 0; }
  bool Interleaved() const { return (descriptor & 0xC0) != 0; }
  bool TopDown() const { return (descriptor & 0x20) != 0; }
  bool RightToLeft() const { return (descriptor & 0x10) != 0; }
  int BytesPerPixel() const { return (depth + 7) / 8; }
  int MapEntryBytes() const { return (mapEntryBits + 7) / 8; }
  // The header checks of the format, interleaving aside.
  bool Valid() const;
};

Header ParseHeader(const uchar* bytes);

}  // namespace Tga
