#include "vorlen/formats/pcx/PCXFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/StreamBuf.h"

PCXFile::PCXFile() : GFXFile("PC PaintBrush PCX", "*.PCX", 0x00800089, 0, false, 0) {}

void RegisterPCXFile() { static PCXFile instance; }

Pcx::Header Pcx::ParseHeader(const uchar* bytes) {
  Header h;
  h.manufacturer = bytes[0];
  h.encoding = bytes[2];
  h.bitsPerPlane = bytes[3];
  h.xMin = GetLE16(bytes + 4);
  h.yMin = GetLE16(bytes + 6);
  h.xMax = GetLE16(bytes + 8);
  h.yMax = GetLE16(bytes + 10);
  std::memcpy(h.palette16, bytes + 16, 48);
  h.planes = bytes[65];
  h.bytesPerLine = GetLE16(bytes + 66);
  h.paletteInfo = GetLE16(bytes + 68);
  return h;
}

bool Pcx::Header::Supported() const {
  if (encoding != 1) return false;
  if (bitsPerPlane == 8) return planes == 1 || planes == 3;
  return bitsPerPlane == 1 && planes >= 1 && planes <= 4;
}

int Pcx::Header::BytesNeeded() const {
  return bitsPerPlane == 1 ? (Width() + 7) / 8 : Width();
}

int PCXFile::Test(TStream* stream, GFXFileDesc* desc) {
  if (stream == nullptr) return 0;
  const std::int64_t start = stream->Position();
  uchar bytes[Pcx::kHeaderSize];
  const int got = stream->Read(bytes, Pcx::kHeaderSize);
  stream->Seek(start, soFromBeginning);
  if (got != Pcx::kHeaderSize || bytes[0] != 10) return 0;
  const Pcx::Header h = Pcx::ParseHeader(bytes);
  const int answer = h.Supported() ? 1 : -1;
  if (desc != nullptr) {
    desc->ClearProbeFields();
    desc->width = h.Width();
    desc->height = h.Height();
    desc->palette = h.bitsPerPlane == 1 || h.planes == 1;
    desc->colour = !(desc->palette && h.paletteInfo == 2);
    desc->bits = static_cast<uchar>(h.planes * h.bitsPerPlane);
    desc->sample_bits = 8;
    desc->supported = answer == 1;
  }
  return answer;
}

void PCXDecodeRow(StreamBuf& reader, uchar* out, int n) {
  uchar* const end = out + n;
  while (out < end) {
    const uchar b = reader.Get();
    if (b < 0xC0) {
      *out++ = b;
      continue;
    }
    const int count = b & 0x3F;
    if (count > end - out) ThrowInvalidImage();
    std::memset(out, reader.Get(), count);
    out += count;
  }
}

namespace {

// The 256-colour palette behind the marker byte at the end of an 8-bit file. The stream is
// left where it was.
void ReadEndPalette(TStream* stream, std::array<uint, 256>& table, GFXFileDesc* desc) {
  const std::int64_t here = stream->Position();
  if (stream->Size() - here < Pcx::kPaletteSize + 1) ThrowInvalidImage();
  stream->Seek(-(Pcx::kPaletteSize + 1), soFromEnd);
  uchar bytes[Pcx::kPaletteSize + 1];
  stream->ReadBuffer(bytes, sizeof bytes);
  if (bytes[0] != Pcx::kPaletteMarker) ThrowInvalidImage();
  if (desc != nullptr && desc->palette_data != nullptr)
    std::memcpy(desc->palette_data, bytes + 1, Pcx::kPaletteSize);
  BGR24RGB32s(bytes + 1, table.data(), 256);
  stream->Seek(here, soFromBeginning);
}

// One decoded row (planes after one another) into target pixels.
void StoreRow(const Pcx::Header& h, const uchar* row, uchar* scratch, uint* target, int columns,
              const std::array<uint, 256>& table) {
  if (h.bitsPerPlane == 1) {
    std::memset(scratch, 0, columns);
    for (int i = 0; i < h.planes; ++i) SetBitsb(row + i * h.bytesPerLine, scratch, columns, 1 << i);
    LUTsd(scratch, target, columns, table.data());
  } else if (h.planes == 3) {
    RGB32(row, row + h.bytesPerLine, row + 2 * h.bytesPerLine, target, columns);
  } else {
    LUTsd(row, target, columns, table.data());
  }
}

}  // namespace

bool PCXFile::Load(Buffer& dst, TStream* stream, int, GFXtra32* extra, GFXFileDesc* desc) {
  uchar bytes[Pcx::kHeaderSize];
  stream->ReadBuffer(bytes, Pcx::kHeaderSize);
  const Pcx::Header h = Pcx::ParseHeader(bytes);
  // A line shorter than the width needs would leave the unpackers reading past it.
  if (h.manufacturer != 10 || !h.Supported() || h.Width() <= 0 || h.Height() <= 0 ||
      h.bytesPerLine < h.BytesNeeded())
    ThrowInvalidImage();

  std::array<uint, 256> table{};
  if (h.bitsPerPlane == 8 && h.planes == 1) {
    ReadEndPalette(stream, table, desc);
  } else if (h.bitsPerPlane == 1) {
    if (desc != nullptr && desc->palette_data != nullptr) std::memcpy(desc->palette_data, h.palette16, 48);
    BGR24RGB32s(h.palette16, table.data(), 16);
    // Monochrome files from other programs often leave the header palette blank; their
    // pixels are black and white.
    if (h.planes == 1 && table[0] == table[1]) table[1] = 0xFFFFFF, table[0] = 0;
  }

  // A run codes at most 63 bytes of a row in two; the palette at the end codes none.
  const int rowBytes = h.planes * h.bytesPerLine;
  const std::int64_t paletteBytes = h.bitsPerPlane == 8 && h.planes == 1 ? Pcx::kPaletteSize + 1 : 0;
  CheckDataCanFill(rowBytes, h.Height(), stream->Size() - stream->Position() - paletteBytes, {63, 2});
  const TargetArea area = PrepareTarget(dst, h.Width(), h.Height());
  StreamBuf reader(stream);
  std::vector<uchar> row(rowBytes);
  std::vector<uchar> scratch(std::max(area.columns, 1));
  bool done = true;
  for (int y = 0; y < area.rows; ++y) {
    PCXDecodeRow(reader, row.data(), rowBytes);
    StoreRow(h, row.data(), scratch.data(), TargetRow(dst, y), area.columns, table);
    if (!Step(y * 100 / area.rows)) {
      done = false;
      break;
    }
  }
  if (extra != nullptr) {
    extra->x = static_cast<short>(h.xMin);
    extra->y = static_cast<short>(h.yMin);
  }
  return done;
}

int PCXEncodeRow(uchar* out, const uchar* source, int n, int step) {
  uchar* const start = out;
  const uchar* const end = source + static_cast<long>(n) * step;
  while (source < end) {
    const uchar value = *source;
    int run = 1;
    for (source += step; source < end && *source == value; source += step) ++run;
    for (; run >= 64; run -= 63) {
      *out++ = 0xFF;
      *out++ = value;
    }
    if (run == 0) continue;
    if (value >= 0xC0 || run > 2) {
      *out++ = static_cast<uchar>(0xC0 | run);
      *out++ = value;
    } else {
      for (; run > 0; --run) *out++ = value;
    }
  }
  return static_cast<int>(out - start);
}

namespace {

// The 16-bit fields hold the position and the far edge; refuse what they cannot hold.
void CheckFieldsFit(const Buffer& image, const GFXtra32* extra) {
  CheckSizeFits(image, 16);
  if (image.pixels == nullptr || image.Empty() || extra == nullptr) return;
  if (extra->x < 0 || extra->y < 0 || extra->x + image.Width() - 1 > 0xFFFF ||
      extra->y + image.Height() - 1 > 0xFFFF)
    ThrowInvalidImage();
}

void WriteHeader(TStream* stream, int width, int height, int bitsPerPlane, int planes,
                 int bytesPerLine, const uchar* palette16, int paletteBytes, const GFXtra32* extra) {
  uchar h[Pcx::kHeaderSize] = {};
  const int x = extra != nullptr ? extra->x : 0;
  const int y = extra != nullptr ? extra->y : 0;
  h[0] = 10;
  h[1] = 5;
  h[2] = 1;
  h[3] = static_cast<uchar>(bitsPerPlane);
  PutLE16(h + 4, static_cast<uint>(x));
  PutLE16(h + 6, static_cast<uint>(y));
  PutLE16(h + 8, static_cast<uint>(x + width - 1));
  PutLE16(h + 10, static_cast<uint>(y + height - 1));
  PutLE16(h + 12, 100);
  PutLE16(h + 14, 100);
  if (palette16 != nullptr) std::memcpy(h + 16, palette16, std::min(paletteBytes, 48));
  h[65] = static_cast<uchar>(planes);
  PutLE16(h + 66, static_cast<uint>(bytesPerLine));
  PutLE16(h + 68, 1);
  stream->WriteBuffer(h, Pcx::kHeaderSize);
}

int Brightness(const uchar* rgb) { return 28 * rgb[0] + 58 * rgb[1] + 14 * rgb[2]; }

// One image row as its encoded planes into out; answers the bytes.
int EncodeRow(const Buffer& image, int y, int bits, int width, std::vector<uchar>& plane, uchar* out,
              bool invert) {
  const uint* words = image.At(image.rect.left, image.rect.top + y);
  const uchar* bytes = reinterpret_cast<const uchar*>(words);
  if (bits == 24) {
    int n = 0;
    for (int channel = 2; channel >= 0; --channel) n += PCXEncodeRow(out + n, bytes + channel, width, 4);
    return n;
  }
  if (bits == 8) return PCXEncodeRow(out, bytes, width, 1);
  int n = 0;
  const int planeBytes = (width + 7) / 8;
  for (int i = 0; i < bits; ++i) {
    GetBitsb(bytes, plane.data(), width, 1 << i);
    if (invert) {
      for (uchar& b : plane) b = static_cast<uchar>(~b);
    }
    n += PCXEncodeRow(out + n, plane.data(), planeBytes, 1);
  }
  return n;
}

}  // namespace

bool PCXFile::Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) {
  CheckFieldsFit(image, extra);
  const int bits = params->bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) ThrowInvalidImage();
  const bool empty = image.pixels == nullptr || image.Empty();
  const int width = empty ? 0 : image.Width();
  const int height = empty ? 0 : image.Height();
  const int bitsPerPlane = bits > 4 ? 8 : 1;
  const int planes = bits == 24 ? 3 : bits == 8 ? 1 : bits;
  const int bytesPerLine = bitsPerPlane == 8 ? width : (width + 7) / 8;
  const int paletteBytes = bits == 8 ? 48 : std::clamp<int>(params->colours, 0, 16) * 3;
  // Other programs show a one-bit file as black for 0 and white for 1 whatever its palette:
  // the darker entry goes first, the bits inverted when it was second.
  uchar palette16[48] = {};
  const uchar* headerPalette = bits <= 8 ? params->palette : nullptr;
  const bool invert = bits == 1 && headerPalette != nullptr && Brightness(headerPalette + 3) < Brightness(headerPalette);
  if (invert) {
    std::memcpy(palette16, headerPalette + 3, 3);
    std::memcpy(palette16 + 3, headerPalette, 3);
    headerPalette = palette16;
  }
  WriteHeader(stream, width, height, bitsPerPlane, planes, bytesPerLine, headerPalette, paletteBytes, extra);

  std::vector<uchar> plane(std::max(bytesPerLine, 1));
  std::vector<uchar> out(2 * static_cast<size_t>(planes) * std::max(bytesPerLine, 1));
  for (int y = 0; y < height; ++y) {
    stream->WriteBuffer(out.data(), EncodeRow(image, y, bits, width, plane, out.data(), invert));
    if (!Step(y * 100 / height)) return false;
  }
  if (bits == 8) {
    uchar tail[1 + Pcx::kPaletteSize] = {Pcx::kPaletteMarker};
    if (params->palette != nullptr) std::memcpy(tail + 1, params->palette, Pcx::kPaletteSize);
    stream->WriteBuffer(tail, sizeof tail);
  }
  return true;
}
