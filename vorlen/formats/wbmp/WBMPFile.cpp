#include "vorlen/formats/wbmp/WBMPFile.h"

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/FormatTarget.h"

namespace {

struct Size {
  int width = 0;
  int height = 0;
};

// Reads the header; answers false when it is not a type-0 bitmap of 1 to 4096 square pixels.
bool ReadHeader(TStream* stream, Size& size) {
  uchar head[2];
  stream->ReadBuffer(head, 2);
  if (head[0] != 0 || (head[1] & 0x9F) != 0) return false;
  const uint width = WBMPReadInt(stream, Wbmp::kMaxSide);
  if (width < 1 || width > Wbmp::kMaxSide) return false;
  const uint height = WBMPReadInt(stream, Wbmp::kMaxSide);
  if (height < 1 || height > Wbmp::kMaxSide) return false;
  size.width = static_cast<int>(width);
  size.height = static_cast<int>(height);
  return true;
}

int Brightness(const uchar* rgb) { return 28 * rgb[0] + 58 * rgb[1] + 14 * rgb[2]; }

}  // namespace

WBMPFile::WBMPFile() : GFXFile("WAP Bitmap", "*.WBMP", 0x00000001, 0, false, 0) {}

void RegisterWBMPFile() { static WBMPFile instance; }

uint WBMPReadInt(TStream* stream, uint limit) {
  uint value = 0;
  uchar byte = 0;
  do {
    stream->ReadBuffer(&byte, 1);
    value = value << 7 | (byte & 0x7F);
    if (value > limit) return value;
  } while (byte & 0x80);
  return value;
}

void WBMPWriteInt(TStream* stream, uint value, bool more) {
  if (value > 127) WBMPWriteInt(stream, value >> 7, true);
  const uchar byte = static_cast<uchar>((value & 0x7F) | (more ? 0x80 : 0));
  stream->WriteBuffer(&byte, 1);
}

int WBMPFile::Test(TStream* stream, GFXFileDesc* desc) {
  if (stream == nullptr) return 0;
  const std::int64_t start = stream->Position();
  Size size;
  bool found = false;
  try {
    found = ReadHeader(stream, size);
  } catch (const EReadError&) {
  }
  stream->Seek(start, soFromBeginning);
  if (!found) return 0;
  if (desc != nullptr) {
    desc->ClearProbeFields();
    desc->width = size.width;
    desc->height = size.height;
    desc->bits = 1;
    desc->sample_bits = 1;
    desc->supported = 1;
  }
  return 1;
}

bool WBMPFile::Load(Buffer& dst, TStream* stream, int, GFXtra32*, GFXFileDesc*) {
  Size size;
  if (!ReadHeader(stream, size)) ThrowInvalidImage();
  // The rows are stored raw: a file shorter than them is refused before they are reserved.
  const int rowBytes = (size.width + 7) / 8;
  CheckDataCanFill(rowBytes, size.height, stream, {1, 1});
  // Every codec clears its target first, so that a stopped load shows no stale memory.
  const TargetArea area = PrepareTarget(dst, size.width, size.height);
  std::vector<uchar> row(rowBytes);
  std::vector<uchar> scratch(size.width);
  static const uint kTable[2] = {0x000000, 0xFFFFFF};
  for (int y = 0; y < area.rows; ++y) {
    stream->ReadBuffer(row.data(), rowBytes);
    std::fill(scratch.begin(), scratch.end(), 0);
    SetBitsb(row.data(), scratch.data(), area.columns, 1);
    LUTsd(scratch.data(), TargetRow(dst, y), area.columns, kTable);
    if (!Step(y * 100 / area.rows)) return false;
  }
  return true;
}

bool WBMPFile::Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32*) {
  const bool empty = image.pixels == nullptr || image.Empty();
  const int width = empty ? 0 : image.Width();
  const int height = empty ? 0 : image.Height();
  // What the reader refuses is not written either.
  if (width > Wbmp::kMaxSide || height > Wbmp::kMaxSide) ThrowInvalidImage();
  const uchar* palette = params->palette;
  const bool invert = palette != nullptr && Brightness(palette + 3) < Brightness(palette);

  const uchar head[2] = {0, 0};
  stream->WriteBuffer(head, 2);
  WBMPWriteInt(stream, static_cast<uint>(width), false);
  WBMPWriteInt(stream, static_cast<uint>(height), false);

  const int rowBytes = (width + 7) / 8;
  std::vector<uchar> row(std::max(rowBytes, 1));
  const uchar lastMask = width % 8 != 0 ? static_cast<uchar>(0xFF00 >> (width % 8)) : 0xFF;
  for (int y = 0; y < height; ++y) {
    const uchar* indices = reinterpret_cast<const uchar*>(image.At(image.rect.left, image.rect.top + y));
    GetBitsb(indices, row.data(), width, 1);
    if (invert) {
      for (uchar& b : row) b = static_cast<uchar>(~b);
    }
    row[rowBytes - 1] &= lastMask;
    stream->WriteBuffer(row.data(), rowBytes);
    if (!Step(y * 100 / height)) return false;
  }
  return true;
}
