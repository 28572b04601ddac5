#include "vorlen/formats/bmp/BmpFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatList.h"
#include "vorlen/formats/bmp/BmpFile.h"

void RegisterBMPFile() { static BMPFile instance; }

BMPFile::BMPFile() : GFXFile("Windows Bitmap", "*.BMP;*.RLE", 0x80800089, 0, false, 0) {}

namespace {

using namespace bmp;

bool IsSignature(const uchar* fileHeader) { return fileHeader[0] == 'B' && fileHeader[1] == 'M'; }

// Fills desc from the first 40 bytes of an information header (12 of a core header).
int DescribeHeader(const uchar* info, bool infoHeader, GFXFileDesc* desc) {
  Header h;
  h.headerSize = infoHeader ? static_cast<int>(GetLE32(info)) : kCoreHeaderSize;
  if (infoHeader) {
    h.width = static_cast<std::int32_t>(GetLE32(info + 4));
    h.height = static_cast<std::int32_t>(GetLE32(info + 8));
    h.planes = GetLE16(info + 12);
    h.bits = GetLE16(info + 14);
    h.compression = GetLE32(info + 16);
  } else {
    h.width = GetLE16(info + 4);
    h.height = GetLE16(info + 6);
    h.planes = GetLE16(info + 8);
    h.bits = GetLE16(info + 10);
  }
  const std::int64_t height = h.height < 0 ? -h.height : h.height;
  const bool sane = h.width >= 0 && h.width <= INT32_MAX && height <= INT32_MAX;
  const int answer = h.headerSize >= kInfoHeaderSize || !infoHeader ? (Supported(h) && sane ? 1 : -1) : -1;
  desc->width = static_cast<int>(std::clamp<std::int64_t>(h.width, 0, INT32_MAX));
  desc->height = static_cast<int>(std::min<std::int64_t>(height, INT32_MAX));
  desc->colour = true;
  desc->palette = h.bits <= 8;
  desc->bits = static_cast<uchar>(h.bits);
  desc->sample_bits = 8;
  desc->supported = answer == 1;
  return answer;
}

}  // namespace

int BMPFile::Test(TStream* stream, GFXFileDesc* desc) {
  if (stream == nullptr) return 0;
  StreamPositionGuard guard(stream);
  int answer = 0;
  try {
    uchar head[kFileHeaderSize + kInfoHeaderSize];
    stream->ReadBuffer(head, kFileHeaderSize);
    if (!IsSignature(head)) return 0;
    answer = -1;
    if (desc == nullptr) return answer;
    desc->ClearProbeFields();
    uchar* const info = head + kFileHeaderSize;
    stream->ReadBuffer(info, kCoreHeaderSize);
    if (GetLE32(info) == kCoreHeaderSize) {
      answer = DescribeHeader(info, false, desc);
    } else {
      stream->ReadBuffer(info + kCoreHeaderSize, kInfoHeaderSize - kCoreHeaderSize);
      answer = DescribeHeader(info, true, desc);
    }
  } catch (const EReadError&) {
  }
  return answer;
}

bool BMPFile::Load(Buffer& dst, TStream* stream, int, GFXtra32*, GFXFileDesc* desc) {
  const std::int64_t start = stream->Position();
  uchar fileHeader[kFileHeaderSize];
  stream->ReadBuffer(fileHeader, kFileHeaderSize);
  if (!IsSignature(fileHeader)) ThrowInvalidImage();
  const uint offset = GetLE32(fileHeader + 10);
  uchar sizeBytes[4];
  stream->ReadBuffer(sizeBytes, 4);
  const uint size = GetLE32(sizeBytes);
  if ((size != kCoreHeaderSize && size < kInfoHeaderSize) || size > kLargestHeaderSize)
    ThrowInvalidImage();
  // The pixels start after the headers; what lies between is masks and colour table, of
  // which no more than the largest table is read.
  if (offset < kFileHeaderSize + size) ThrowInvalidImage();
  const std::size_t area = std::min<std::size_t>(offset - kFileHeaderSize, size + 12 + 256 * 4);
  std::vector<uchar> header(area);
  std::memcpy(header.data(), sizeBytes, 4);
  stream->ReadBuffer(header.data() + 4, static_cast<int>(area - 4));
  const Header h = ParseHeader(header.data(), area);
  stream->SetPosition(start + offset);
  return Decode(dst, h, stream, desc);
}

namespace {

// The name of the file a stream writes, when it writes one.
AnsiString OutputName(TStream* stream) {
  if (auto* out = dynamic_cast<GFXFile::TOutputStream*>(stream)) return out->name;
  if (auto* file = dynamic_cast<TFileStream*>(stream)) return file->FileName();
  return {};
}

bool EndsWithRle(const AnsiString& name) {
  return name.size() >= 4 && UpperCase(name.substr(name.size() - 4)) == ".RLE";
}

struct Layout {
  int width, height, bits, colours, headerSize;
  uint compression;
  std::int64_t rowBytes;
  std::int64_t imageSize;
  uint pixelOffset;
};

void WriteHeaders(TStream* stream, const Layout& l) {
  std::vector<uchar> bytes(static_cast<std::size_t>(kFileHeaderSize + l.headerSize), 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutLE32(&bytes[2], static_cast<uint>(l.pixelOffset + l.imageSize));
  PutLE32(&bytes[10], l.pixelOffset);
  uchar* info = &bytes[kFileHeaderSize];
  PutLE32(info, static_cast<uint>(l.headerSize));
  PutLE32(info + 4, static_cast<uint>(l.width));
  PutLE32(info + 8, static_cast<uint>(l.height));
  PutLE16(info + 12, 1);
  PutLE16(info + 14, static_cast<uint>(l.bits));
  PutLE32(info + 16, l.compression);
  PutLE32(info + 20, static_cast<uint>(l.imageSize));
  if (l.bits <= 8) PutLE32(info + 32, static_cast<uint>(l.colours));
  if (l.headerSize >= kV4HeaderSize) {
    PutLE32(info + 52, 0xFF000000);  // alpha mask: the pixel word's top byte
    std::memcpy(info + 56, "sRGB", 4);
  }
  stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

void WriteColourTable(TStream* stream, const GFXSaveParams& p) {
  std::vector<uchar> table(static_cast<std::size_t>(p.colours) * 4, 0);
  for (int i = 0; i < p.colours; ++i) {
    table[4 * i] = p.palette[3 * i + 2];
    table[4 * i + 1] = p.palette[3 * i + 1];
    table[4 * i + 2] = p.palette[3 * i];
  }
  stream->WriteBuffer(table.data(), static_cast<int>(table.size()));
}

// One stored row of the image's row y (an index row for indexed depths).
void PackRow(const Buffer& image, int y, const Layout& l, uchar* out) {
  std::memset(out, 0, static_cast<std::size_t>(l.rowBytes));
  if (l.bits <= 8) {
    const uchar* indices = reinterpret_cast<const uchar*>(image.pixels) + static_cast<std::int64_t>(y) * image.stride * 4;
    if (l.bits == 1) GetBitsb(indices, out, l.width, 1);
    else if (l.bits == 4) GetHBytes(indices, out, l.width);
    else std::memcpy(out, indices, static_cast<std::size_t>(l.width));
    return;
  }
  const uint* row = image.At(image.rect.left, image.rect.top + y);
  if (l.bits == 24) RGB32RGB24s(row, out, l.width);
  else if (GFXFile::alpha) std::memcpy(out, row, static_cast<std::size_t>(l.width) * 4);
  else RGB32RGB32s(row, reinterpret_cast<uint*>(out), l.width);
}

}  // namespace

bool BMPFile::Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32*) {
  Layout l{};
  const bool empty = image.pixels == nullptr || image.Empty();
  l.width = empty ? 0 : image.Width();
  l.height = empty ? 0 : image.Height();
  l.bits = params->bits;
  l.colours = l.bits <= 8 ? params->colours : 0;
  const bool rle = (l.bits == 4 || l.bits == 8) && EndsWithRle(OutputName(stream));
  l.compression = rle ? (l.bits == 4 ? kRle4 : kRle8) : kRgb;
  l.headerSize = alpha && l.bits == 32 ? kV4HeaderSize : kInfoHeaderSize;
  l.rowBytes = RowBytes(l.bits, l.width);
  l.imageSize = rle ? 0 : l.rowBytes * l.height;
  l.pixelOffset = static_cast<uint>(kFileHeaderSize + l.headerSize + 4 * l.colours);
  const std::int64_t start = stream->Position();
  WriteHeaders(stream, l);
  if (l.bits <= 8) WriteColourTable(stream, *params);
  std::vector<uchar> row(static_cast<std::size_t>(l.rowBytes) + 8);
  std::vector<uchar> encoded(rle ? 2 * static_cast<std::size_t>(l.width) + 8 : 0);
  for (int i = 0; i < l.height; ++i) {
    const int y = l.height - 1 - i;
    if (rle) {
      const uchar* indices = reinterpret_cast<const uchar*>(image.pixels) + static_cast<std::int64_t>(y) * image.stride * 4;
      const int n = l.bits == 8 ? BMPEncodeRLE8(indices, encoded.data(), l.width)
                                : BMPEncodeRLE4(indices, encoded.data(), l.width);
      stream->WriteBuffer(encoded.data(), n);
      l.imageSize += n;
    } else {
      PackRow(image, y, l, row.data());
      stream->WriteBuffer(row.data(), static_cast<int>(l.rowBytes));
    }
    if (!Step(i * 100 / l.height)) return false;
  }
  if (rle) {
    const uchar end[2] = {0, 1};
    stream->WriteBuffer(end, 2);
    l.imageSize += 2;
    stream->SetPosition(start);
    WriteHeaders(stream, l);
  }
  return true;
}
