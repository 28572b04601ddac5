#pragma once
// Interchange-format pictures: a "FORM" of type "ILBM" (bit planes) or "PBM " (a byte a
// pixel) with the chunks "BMHD", "CMAP", "CAMG" and "BODY". Reads 1 to 8 planes with a
// palette, the Amiga display modes hold-and-modify (HAM6, HAM8) and extra-half-brite, and 24
// planes of true colour, plain or ByteRun1-compressed, with or without a mask plane; writes
// compressed files. Numbers are big-endian.

#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/GFXFile.h"

class StreamBuf;

class LBMFile : public GFXFile {
public:
  LBMFile();

  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
  bool Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) override;
};

void RegisterLBMFile();

uint IFFReadLong(TStream* stream);
// Reads chunk headers from the current position, passing over other chunks, until `id`;
// answers its size with the position at its data. EReadError past the end.
uint IFFFindChunk(TStream* stream, uint id);
// Decodes exactly n bytes; a packet that passes the end is a format error.
void IFFDecodeByteRun(StreamBuf& reader, uchar* out, int n);
// Encodes n bytes; answers the end of the output (at most n + (n + 127) / 128 bytes).
uchar* IFFEncodeByteRun(uchar* out, const uchar* source, int n);
void IFFWriteChunkHeader(TStream* stream, uint id, uint size);

namespace Iff {

inline constexpr uint kForm = BigEndianTag("FORM");
inline constexpr uint kIlbm = BigEndianTag("ILBM");
inline constexpr uint kPbm = BigEndianTag("PBM ");
inline constexpr uint kBmhd = BigEndianTag("BMHD");
inline constexpr uint kCmap = BigEndianTag("CMAP");
inline constexpr uint kBody = BigEndianTag("BODY");
inline constexpr uint kCamg = BigEndianTag("CAMG");
inline constexpr int kBmhdSize = 20;

// Display-mode bits of the CAMG chunk that change what pixel values mean.
inline constexpr uint kModeHoldAndModify = 0x800;
inline constexpr uint kModeExtraHalfBrite = 0x80;

// How the pixel values of a picture become colours.
enum class Rendering {
  kPlain,           // palette indices, or 24 planes of true colour
  kHoldAndModify,   // 6 or 8 planes: a palette colour, or the previous pixel with one component changed
  kExtraHalfBrite,  // 6 planes: colours 32-63 are colours 0-31 at half brightness
};

struct BitmapHeader {
  int width = 0;
  int height = 0;
  short x = 0;
  short y = 0;
  int planes = 0;
  int masking = 0;
  int compression = 0;
  uchar background = 0;
  uchar transparent = 0;

  // The variants this codec reads.
  bool Readable(uint formType) const;
  // Bytes of one plane row (of one row of a "PBM " picture).
  int PlaneRowBytes(uint formType) const;
};

BitmapHeader ParseBitmapHeader(const uchar* bytes);

// The rendering of a picture from its header, the CAMG modes (0 without the chunk) and the
// number of CMAP entries: hold-and-modify needs its mode bit and 6 or 8 planes; 6 planes are
// extra-half-brite with that mode bit or with a palette of exactly 32 colours.
Rendering RenderingOf(uint formType, const BitmapHeader& header, uint modes, int paletteEntries);

// The colour bit that plane i of a 24-plane picture holds: red 0-7, green 8-15, blue 16-23.
inline uint TrueColourBit(int plane) {
  return plane < 8 ? 0x00010000u << plane : plane < 16 ? 0x00000100u << (plane - 8) : 1u << (plane - 16);
}

}  // namespace Iff
