#include "vorlen/formats/frm/FrmFile.h"

#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatList.h"
#include "vorlen/formats/FormatTarget.h"

void RegisterFRMFile() { static FRMFile instance; }

FRMFile::FRMFile() : GFXFile("Dornick Frame", "*.FRM", 0x80800000, 0, false, 0) {}

namespace frm {

int BytesPerPixel(int version) {
  static constexpr int kBytes[] = {2, 2, 4, 3, 4, 4};
  return kBytes[version];
}

int TrailerSize(int version) {
  static constexpr int kBytes[] = {8, 8, 12, 10, 12, 12};
  return kBytes[version];
}

}  // namespace frm

namespace {

using frm::BytesPerPixel;
using frm::TrailerSize;

bool IsSignature(const uchar* head) { return std::memcmp(head, "FRM", 3) == 0; }

void DescribeVersion(GFXFileDesc* desc, int version) {
  static constexpr uchar kBits[] = {16, 16, 32, 24, 32, 32};
  static constexpr uchar kSampleBits[] = {4, 5, 8, 8, 8, 8};
  desc->bits = kBits[version];
  desc->sample_bits = kSampleBits[version];
}

// Whether a 32-bit version keeps its top byte in the current alpha mode: version 5 only in
// alpha mode, versions 2 and 4 only outside it.
bool KeepsTopByte(int version) { return (version == 5) == GFXFile::alpha; }

// Converts one row read into the end of `row` (C pixels) to pixel words in place.
void ConvertRow(int version, uint* row, int columns) {
  uchar* const packed = reinterpret_cast<uchar*>(row + columns) - columns * BytesPerPixel(version);
  switch (version) {
    case 0: PIX12RGB32s(reinterpret_cast<const ushort*>(packed), row, columns); break;
    case 1: RGB15RGB32s(reinterpret_cast<const ushort*>(packed), row, columns); break;
    case 3: BGR24RGB32s(packed, row, columns); break;
    default:
      if (version == 2) XBGR32RGB32s(row, row, columns);
      if (!KeepsTopByte(version)) RGB32RGB32s(row, row, columns);
      break;
  }
}

uint TrailerColour(int version, const uchar* p) {
  switch (version) {
    case 0: return BGR12RGB32(GetLE16(p));
    case 1: return RGB15RGB32(GetLE16(p));
    case 3: return static_cast<uint>(p[0]) << 16 | p[1] << 8 | p[2];
    case 2: {
      const uint c = XBGR32RGB32(GetLE32(p));
      return KeepsTopByte(version) ? c : c & 0x00FFFFFF;
    }
    default: {
      const uint c = GetLE32(p);
      return KeepsTopByte(version) ? c : c & 0x00FFFFFF;
    }
  }
}

void ReadTrailer(TStream* stream, int version, GFXtra32* extra) {
  uchar trailer[12];
  const int size = TrailerSize(version);
  if (stream->Read(trailer, size) != size) return;  // a missing trailer is no error
  extra->x = static_cast<short>(GetLE16(trailer));
  extra->y = static_cast<short>(GetLE16(trailer + 2));
  const int colourBytes = (size - 4) / 2;
  extra->background = TrailerColour(version, trailer + 4);
  extra->transparent = TrailerColour(version, trailer + 4 + colourBytes);
}

}  // namespace

int FRMFile::Test(TStream* stream, GFXFileDesc* desc) {
  if (stream == nullptr) return 0;
  StreamPositionGuard guard(stream);
  int answer = 0;
  try {
    uchar head[frm::kHeaderSize];
    stream->ReadBuffer(head, 4);
    if (!IsSignature(head)) return 0;
    answer = head[3] >= frm::kFirstUnknownVersion ? -1 : 1;
    if (desc != nullptr) {
      desc->ClearProbeFields();
      desc->supported = answer == 1;
      desc->colour = true;
      if (answer == 1) DescribeVersion(desc, head[3]);
      stream->ReadBuffer(head + 4, 4);
      desc->width = GetLE16(head + 4);
      desc->height = GetLE16(head + 6);
    }
  } catch (const EReadError&) {
  }
  return answer;
}

bool FRMFile::Load(Buffer& dst, TStream* stream, int, GFXtra32* extra, GFXFileDesc*) {
  uchar head[frm::kHeaderSize];
  stream->ReadBuffer(head, 4);
  if (!IsSignature(head) || head[3] >= frm::kFirstUnknownVersion) ThrowInvalidImage();
  stream->ReadBuffer(head + 4, 4);
  const int version = head[3];
  const int width = GetLE16(head + 4);
  const int height = GetLE16(head + 6);
  const int bpp = BytesPerPixel(version);
  // The rows are stored raw: a file shorter than its pixels is refused before they are reserved.
  CheckDataCanFill(width, height, stream, {1, bpp});
  const TargetArea area = PrepareTarget(dst, width, height);
  const std::int64_t size = stream->Size();
  for (int y = 0; y < area.rows; ++y) {
    uint* const row = TargetRow(dst, y);
    uchar* const packed = reinterpret_cast<uchar*>(row + area.columns) - area.columns * bpp;
    stream->ReadBuffer(packed, area.columns * bpp);
    ConvertRow(version, row, area.columns);
    stream->Seek(static_cast<std::int64_t>(width - area.columns) * bpp, soFromCurrent);
    if (PrStep != nullptr && !PrStep(size > 0 ? static_cast<int>(stream->Position() * 100 / size) : 100))
      return false;
  }
  if (extra != nullptr) {
    stream->Seek(static_cast<std::int64_t>(height - area.rows) * width * bpp, soFromCurrent);
    ReadTrailer(stream, version, extra);
  }
  return true;
}

namespace {

void WriteTrailer(TStream* stream, int version, const GFXtra32& extra) {
  uchar trailer[12];
  PutLE16(trailer, static_cast<ushort>(extra.x));
  PutLE16(trailer + 2, static_cast<ushort>(extra.y));
  if (version == 3) {
    const uint colours[2] = {extra.background, extra.transparent};
    for (int i = 0; i < 2; ++i) {
      trailer[4 + 3 * i] = static_cast<uchar>(colours[i] >> 16);
      trailer[5 + 3 * i] = static_cast<uchar>(colours[i] >> 8);
      trailer[6 + 3 * i] = static_cast<uchar>(colours[i]);
    }
  } else {
    PutLE32(trailer + 4, extra.background);
    PutLE32(trailer + 8, extra.transparent);
  }
  stream->WriteBuffer(trailer, TrailerSize(version));
}

}  // namespace

bool FRMFile::Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) {
  CheckSizeFits(image, 16);
  const int version = params != nullptr && params->bits == 24 ? 3 : alpha ? 5 : 4;
  const bool empty = image.pixels == nullptr || image.Empty();
  const int width = empty ? 0 : image.Width();
  const int height = empty ? 0 : image.Height();
  uchar head[frm::kHeaderSize] = {'F', 'R', 'M', static_cast<uchar>(version)};
  PutLE16(head + 4, static_cast<uint>(width));
  PutLE16(head + 6, static_cast<uint>(height));
  stream->WriteBuffer(head, frm::kHeaderSize);
  std::vector<uchar> rowBytes(version == 3 ? static_cast<size_t>(width) * 3 : 0);
  for (int y = 0; y < height; ++y) {
    const uint* const row = image.At(image.rect.left, image.rect.top + y);
    if (version == 3) {
      RGB32BGR24s(row, rowBytes.data(), width);
      stream->WriteBuffer(rowBytes.data(), width * 3);
    } else {
      stream->WriteBuffer(row, width * 4);
    }
    if (PrStep != nullptr && !PrStep(y * 100 / height)) return false;
  }
  if (extra != nullptr) WriteTrailer(stream, version, *extra);
  return true;
}
