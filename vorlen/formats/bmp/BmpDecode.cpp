// The information header and the rows that follow it: BitmapFromStream.

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/bmp/BmpFile.h"

namespace bmp {

namespace {

bool IsOneOf(int v, std::initializer_list<int> values) {
  return std::find(values.begin(), values.end(), v) != values.end();
}

// Where the colour table starts and how large its entries are.
struct TableLayout {
  std::size_t offset = 0;
  int entryBytes = 4;
};

TableLayout LayoutOf(const Header& h) {
  if (h.headerSize == kCoreHeaderSize || h.headerSize == kPseudoCoreHeaderSize)
    return {static_cast<std::size_t>(h.headerSize), 3};
  const bool masksFollow = h.headerSize == kInfoHeaderSize && h.compression == kBitFields;
  return {static_cast<std::size_t>(h.headerSize) + (masksFollow ? 12 : 0), 4};
}

void ReadMasks(Header& h, const uchar* bytes, std::size_t length) {
  std::size_t at = 0;
  int count = 0;
  if (h.headerSize == kInfoHeaderSize && h.compression == kBitFields) {
    at = kInfoHeaderSize;
    count = 3;
  } else if (h.headerSize >= 52) {
    at = kInfoHeaderSize;
    count = h.headerSize >= 56 ? 4 : 3;
  }
  for (int i = 0; i < count && at + 4 * i + 4 <= length; ++i) h.masks[i] = GetLE32(bytes + at + 4 * i);
}

// The colour table: colours-used entries (all the depth holds when 0), never more than the
// depth holds nor than the bytes that are there.
void ReadTable(Header& h, const uchar* bytes, std::size_t length, std::uint32_t coloursUsed) {
  if (h.bits > 8) return;
  const TableLayout layout = LayoutOf(h);
  const std::uint32_t depthColours = 1u << h.bits;
  std::uint32_t n = coloursUsed == 0 ? depthColours : std::min(coloursUsed, depthColours);
  const std::size_t available = length > layout.offset ? (length - layout.offset) / layout.entryBytes : 0;
  n = static_cast<std::uint32_t>(std::min<std::size_t>(n, available));
  h.table.assign(256, 0);
  h.tableRgb.clear();
  for (std::uint32_t i = 0; i < n; ++i) {
    const uchar* e = bytes + layout.offset + i * layout.entryBytes;
    uint word = static_cast<uint>(e[2]) << 16 | e[1] << 8 | e[0];
    // The reserved byte is the entry's transparency, kept only in alpha mode.
    if (layout.entryBytes == 4 && GFXFile::alpha) word |= static_cast<uint>(e[3]) << 24;
    h.table[i] = word;
    h.tableRgb.insert(h.tableRgb.end(), {e[2], e[1], e[0]});
  }
}

}  // namespace

bool Supported(const Header& h) {
  if (h.planes != 1) return false;
  const bool infoHeader = h.headerSize >= kInfoHeaderSize;
  if (!IsOneOf(h.bits, {1, 4, 8, 24}) && !(infoHeader && IsOneOf(h.bits, {16, 32}))) return false;
  switch (h.compression) {
    case kRgb: return true;
    case kRle8: return h.bits == 8;
    case kRle4: return h.bits == 4;
    case kBitFields: return h.bits == 16 || h.bits == 32;
    default: return false;
  }
}

Header ParseHeader(const uchar* bytes, std::size_t length) {
  Header h;
  if (length < 4) ThrowInvalidImage();
  const uint size = GetLE32(bytes);
  if (size != kCoreHeaderSize && size != kPseudoCoreHeaderSize &&
      (size < kInfoHeaderSize || size > kLargestHeaderSize))
    ThrowInvalidImage();
  if (length < size) ThrowInvalidImage();
  h.headerSize = static_cast<int>(size);
  std::uint32_t coloursUsed = 0;
  if (size == kCoreHeaderSize) {
    h.width = GetLE16(bytes + 4);
    h.height = GetLE16(bytes + 6);
    h.planes = GetLE16(bytes + 8);
    h.bits = GetLE16(bytes + 10);
  } else {
    h.width = static_cast<std::int32_t>(GetLE32(bytes + 4));
    h.height = static_cast<std::int32_t>(GetLE32(bytes + 8));
    h.planes = GetLE16(bytes + 12);
    h.bits = GetLE16(bytes + 14);
    h.compression = GetLE32(bytes + 16);
    if (size >= kInfoHeaderSize) coloursUsed = GetLE32(bytes + 32);
  }
  ReadMasks(h, bytes, length);
  ReadTable(h, bytes, length, coloursUsed);
  return h;
}

std::int64_t RowBytes(int bits, std::int64_t width) {
  switch (bits) {
    case 1: return (width + 31) / 32 * 4;
    case 4: return (width + 7) / 8 * 4;
    case 8: return (width + 3) & ~std::int64_t{3};
    case 16: return (width + 1) / 2 * 4;
    case 24: return (3 * width + 3) & ~std::int64_t{3};
    default: return 4 * width;
  }
}

namespace {

struct RowConverter {
  const Header& h;
  std::vector<uchar> indices;
  uint prepared[3] = {0, 0, 0};
  bool fifteenBit = false;
  bool keepAlpha = false;  // the file's alpha becomes the transparency byte
  bool straight32 = false;

  RowConverter(const Header& header, int columns)
      : h(header), indices(static_cast<std::size_t>(columns) + 8, 0) {
    fifteenBit = h.compression == kRgb ||
                 (h.masks[0] == 0x7C00 && h.masks[1] == 0x03E0 && h.masks[2] == 0x001F);
    if (h.bits == 16 && !fifteenBit) RGB16PrepareMask(h.masks, prepared);
    straight32 = h.compression == kRgb || h.masks[0] == 0x00FF0000;
    const bool alphaHeader = GFXFile::alpha && h.headerSize >= kV4HeaderSize;
    keepAlpha = alphaHeader && ((h.bits == 32 && h.masks[3] == 0xFF000000) ||
                                (h.bits == 16 && h.masks[3] == 0x8000));
  }

  void Convert(const uchar* row, uint* out, int columns) {
    switch (h.bits) {
      case 1:
        std::fill_n(indices.data(), columns, 0);
        SetBitsb(row, indices.data(), columns, 1);
        LUTsd(indices.data(), out, columns, h.table.data());
        break;
      case 4:
        SetHBytes(row, indices.data(), columns);
        LUTsd(indices.data(), out, columns, h.table.data());
        break;
      case 8: LUTsd(row, out, columns, h.table.data()); break;
      case 16: Convert16(reinterpret_cast<const ushort*>(row), out, columns); break;
      case 24: RGB24RGB32s(row, out, columns); break;
      default: Convert32(row, out, columns); break;
    }
  }

  void Convert16(const ushort* row, uint* out, int columns) {
    if (fifteenBit) {
      RGB15RGB32s(row, out, columns);
      RGB32RGB32s(out, out, columns);
    } else {
      RGB16RGB32s(row, out, columns, prepared);
    }
    if (keepAlpha)
      for (int x = 0; x < columns; ++x)
        if (row[x] & 0x8000) out[x] |= 0xFF000000;
  }

  void Convert32(const uchar* row, uint* out, int columns) {
    const uint* words = reinterpret_cast<const uint*>(row);
    if (straight32) {
      if (keepAlpha)
        Movsd(words, out, columns);
      else
        RGB32RGB32s(words, out, columns);
    } else if (keepAlpha) {
      XBGR32RGB32s(words, out, columns);
    } else {
      BGR32RGB32s(words, out, columns);
    }
  }
};

void GivePalette(const Header& h, GFXFileDesc* desc) {
  if (desc == nullptr || desc->palette_data == nullptr) return;
  std::memset(desc->palette_data, 0, 768);
  if (!h.tableRgb.empty())
    std::memcpy(desc->palette_data, h.tableRgb.data(), std::min<std::size_t>(h.tableRgb.size(), 768));
}

}  // namespace

bool Decode(Buffer& dst, const Header& h, TStream* pixels, GFXFileDesc* desc) {
  if (!Supported(h)) ThrowInvalidImage();
  const std::int64_t height = h.height < 0 ? -h.height : h.height;
  if (h.width < 0 || h.width > INT_MAX || height > INT_MAX) ThrowInvalidImage();
  const bool rle = h.compression == kRle8 || h.compression == kRle4;
  if (rle && h.height < 0) ThrowInvalidImage();  // run-length files are stored bottom-up
  GivePalette(h, desc);
  const std::int64_t rowBytes = RowBytes(h.bits, h.width);
  // Nothing is reserved for rows that are not there: raw rows take their bytes, and a run
  // codes at most 255 pixels in two (moves and the end code describe no pixels).
  const std::int64_t remaining = pixels->Size() - pixels->Position();
  if (rle) {
    CheckDataCanFill(static_cast<int>(h.width), static_cast<int>(height), remaining, {255, 2});
  } else if (height > 0 && rowBytes > remaining / height) {
    ThrowInvalidImage();
  }
  const TargetArea area = PrepareTarget(dst, static_cast<int>(h.width), static_cast<int>(height));
  if (area.rows == 0 || area.columns == 0) return true;
  if (rle) return DecodeRle(dst, h, pixels);
  const bool bottomUp = h.height > 0;
  if (bottomUp) pixels->Seek((height - area.rows) * rowBytes, soFromCurrent);
  std::vector<uchar> row(static_cast<std::size_t>(rowBytes) + 8, 0);
  RowConverter convert(h, area.columns);
  for (int i = 0; i < area.rows; ++i) {
    pixels->ReadBuffer(row.data(), static_cast<int>(rowBytes));
    convert.Convert(row.data(), TargetRow(dst, bottomUp ? area.rows - 1 - i : i), area.columns);
    if (!GFXFile::Step(i * 100 / area.rows)) return false;
  }
  return true;
}

}  // namespace bmp

bool BitmapFromStream(Buffer& dst, const BITMAPINFO* info, TStream* pixels, GFXFileDesc* desc) {
  const uchar* bytes = reinterpret_cast<const uchar*>(info);
  const uint size = GetLE32(bytes);
  if (size != bmp::kPseudoCoreHeaderSize && (size < bmp::kInfoHeaderSize || size > bmp::kLargestHeaderSize))
    ThrowInvalidImage();
  // The caller's record holds the header, the masks that follow a 40-byte header and the
  // colour table the header announces.
  const int bits = GetLE16(bytes + 14);
  const uint compression = GetLE32(bytes + 16);
  std::size_t length = size;
  if (size == bmp::kInfoHeaderSize && compression == bmp::kBitFields) length += 12;
  if (bits >= 1 && bits <= 8) {
    const uint used = size >= bmp::kInfoHeaderSize ? GetLE32(bytes + 32) : 0;
    const uint colours = used == 0 ? 1u << bits : std::min(used, 1u << bits);
    length += colours * (size == bmp::kPseudoCoreHeaderSize ? 3 : 4);
  }
  return bmp::Decode(dst, bmp::ParseHeader(bytes, length), pixels, desc);
}
