// TBitmap's BMP files: reading every uncompressed and run-length encoded depth with each
// length checked before it is used, and writing at the picture's own depth.

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gdi/DibFile.h"
#include "platform/gdi/DibRle.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Bitmap.h"

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kLargestHeader = 124;  // BITMAPV5HEADER
constexpr std::int64_t kMaxSide = 65535;
constexpr std::int64_t kMaxPixels = 1LL << 28;
constexpr std::int64_t kMaxRunPixels = 255;

[[noreturn]] void Invalid() { throw EInvalidGraphic(VclText::InvalidBitmap); }

// Reads count bytes or fails as an invalid picture; the length is checked against what the
// stream still holds before anything is allocated.
std::vector<std::uint8_t> ReadBytes(TStream* stream, std::int64_t count) {
  if (count < 0 || count > stream->Size() - stream->Position()) Invalid();
  std::vector<std::uint8_t> bytes(static_cast<size_t>(count));
  if (count > 0 && stream->Read(bytes.data(), static_cast<int>(count)) != count) Invalid();
  return bytes;
}

struct BmpHeader {
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: top row first
  int bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t colours = 0;
  std::uint32_t imageSize = 0;
  DWORD masks[3] = {0, 0, 0};
  std::vector<RGBQUAD> table;
};

BmpHeader ReadHeader(TStream* stream) {
  std::vector<std::uint8_t> file = ReadBytes(stream, kFileHeaderSize);
  if (file[0] != 'B' || file[1] != 'M') Invalid();
  const std::uint32_t offset = Le32(&file[10]);
  std::vector<std::uint8_t> size = ReadBytes(stream, 4);
  const std::uint32_t headerSize = Le32(size.data());
  if (headerSize < kInfoHeaderSize || headerSize > kLargestHeader) Invalid();
  std::vector<std::uint8_t> info = ReadBytes(stream, headerSize - 4);
  info.insert(info.begin(), size.begin(), size.end());
  BmpHeader h;
  h.width = static_cast<std::int32_t>(Le32(&info[4]));
  h.height = static_cast<std::int32_t>(Le32(&info[8]));
  if (Le16(&info[12]) != 1) Invalid();
  h.bits = Le16(&info[14]);
  h.compression = Le32(&info[16]);
  h.imageSize = Le32(&info[20]);
  h.colours = Le32(&info[32]);
  const std::int64_t rows = std::llabs(h.height);
  if (h.width <= 0 || rows == 0 || h.width > kMaxSide || rows > kMaxSide || h.width * rows > kMaxPixels) Invalid();
  const bool known = ((h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 24) && h.compression == BI_RGB) ||
                     ((h.bits == 16 || h.bits == 32) && (h.compression == BI_RGB || h.compression == BI_BITFIELDS)) ||
                     (h.bits == 8 && h.compression == BI_RLE8 && h.height > 0) ||
                     (h.bits == 4 && h.compression == BI_RLE4 && h.height > 0);
  if (!known) Invalid();
  // What lies between the header and the pixels: the colour table, or the masks.
  if (offset < kFileHeaderSize + headerSize) Invalid();
  std::vector<std::uint8_t> between = ReadBytes(stream, offset - kFileHeaderSize - headerSize);
  if (h.compression == BI_BITFIELDS) {
    const std::uint8_t* masks = headerSize >= 52 ? &info[40] : between.data();
    if (headerSize < 52 && between.size() < 12) Invalid();
    for (int i = 0; i < 3; ++i) h.masks[i] = Le32(masks + 4 * i);
  }
  if (h.bits <= 8) {
    const std::uint32_t full = 1u << h.bits;
    const std::uint32_t entries = h.colours > 0 && h.colours < full ? h.colours : full;
    h.table.resize(entries);
    // A short table reads as black.
    const size_t stored = std::min<size_t>(entries, between.size() / 4);
    for (size_t i = 0; i < stored; ++i)
      h.table[i] = RGBQUAD{between[4 * i], between[4 * i + 1], between[4 * i + 2], 0};
  }
  return h;
}

// The pixels as rows of the picture's own depth, in the file's order.
std::vector<std::uint8_t> ReadRows(TStream* stream, const BmpHeader& h, int& bits) {
  const std::int64_t rows = std::llabs(h.height);
  bits = h.bits;
  if (h.compression != BI_RLE8 && h.compression != BI_RLE4)
    return ReadBytes(stream, static_cast<std::int64_t>(DibRowBytes(h.width, h.bits)) * rows);
  // Run-length data is decoded into one index a byte, then stored as 8-bit rows. A run codes
  // at most 255 pixels in two bytes (moves and the end code describe none), so a few bytes
  // claiming a huge picture are refused before its rows are reserved.
  std::vector<std::uint8_t> packed = ReadBytes(stream, h.imageSize);
  if (h.width * rows * 2 > static_cast<std::int64_t>(packed.size()) * kMaxRunPixels) Invalid();
  std::vector<std::uint8_t> indexes(static_cast<size_t>(h.width * rows), 0);
  const int w = static_cast<int>(h.width), height = static_cast<int>(rows);
  if (h.compression == BI_RLE8) DecodeRle8(packed.data(), packed.size(), indexes.data(), w, height);
  else DecodeRle4(packed.data(), packed.size(), indexes.data(), w, height);
  bits = 8;
  const size_t stride = DibRowBytes(w, 8);
  std::vector<std::uint8_t> out(stride * height, 0);
  for (int y = 0; y < height; ++y) std::memcpy(&out[y * stride], &indexes[static_cast<size_t>(y) * w], w);
  return out;
}

}  // namespace

void TBitmap::LoadFromStream(TStream* stream) {
  BmpHeader h = ReadHeader(stream);
  int bits = 0;
  std::vector<std::uint8_t> rows = ReadRows(stream, h, bits);
  std::vector<std::uint8_t> buffer(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
  BITMAPINFOHEADER header;
  header.biWidth = static_cast<LONG>(h.width);
  header.biHeight = static_cast<LONG>(h.height);
  header.biBitCount = static_cast<WORD>(bits);
  header.biClrUsed = static_cast<DWORD>(h.table.size());
  header.biCompression = h.compression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB;
  // 32-bit pixels with other masks than the usual ones are converted; the rest are kept.
  const bool convert = bits == 32 && header.biCompression == BI_BITFIELDS &&
                       !(h.masks[0] == 0xFF0000 && h.masks[1] == 0xFF00 && h.masks[2] == 0xFF);
  std::memcpy(buffer.data(), &header, sizeof header);
  if (header.biCompression == BI_BITFIELDS) std::memcpy(buffer.data() + sizeof header, h.masks, sizeof h.masks);
  else if (!h.table.empty()) std::memcpy(buffer.data() + sizeof header, h.table.data(), h.table.size() * sizeof(RGBQUAD));
  auto* info = reinterpret_cast<BITMAPINFO*>(buffer.data());
  void* memory = nullptr;
  HBITMAP section = nullptr;
  if (convert) {
    BITMAPINFO plain{};
    plain.bmiHeader = header;
    plain.bmiHeader.biCompression = BI_RGB;
    section = CreateDIBSection(nullptr, &plain, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (section && SetDIBits(nullptr, section, 0, static_cast<UINT>(std::llabs(h.height)), rows.data(), info, DIB_RGB_COLORS) == 0) {
      DeleteObject(section);
      section = nullptr;
    }
  } else {
    section = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (section) std::memcpy(memory, rows.data(), rows.size());
  }
  if (section == nullptr) Invalid();
  TakeBitmap(section);
  Changed();
}

void TBitmap::SaveToStream(TStream* stream) {
  if (Empty()) return;
  GdiFlush();
  int bits = monoDevice_ ? 1 : format_ == pfDevice ? 32 : 0;
  if (bits == 0) {
    switch (format_) {
      case pf1bit: bits = 1; break;
      case pf4bit: bits = 4; break;
      case pf8bit: bits = 8; break;
      case pf15bit: case pf16bit: bits = 16; break;
      case pf24bit: bits = 24; break;
      default: bits = 32;
    }
  }
  std::vector<std::uint8_t> buffer(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
  auto* info = reinterpret_cast<BITMAPINFO*>(buffer.data());
  info->bmiHeader = BITMAPINFOHEADER{};
  info->bmiHeader.biWidth = width_;
  info->bmiHeader.biHeight = height_;
  info->bmiHeader.biBitCount = static_cast<WORD>(bits);
  const bool bitfields = format_ == pf16bit;
  DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
  if (bitfields) {
    info->bmiHeader.biCompression = BI_BITFIELDS;
    std::memcpy(buffer.data() + sizeof(BITMAPINFOHEADER), masks, sizeof masks);
  }
  const size_t stride = DibRowBytes(width_, bits);
  std::vector<std::uint8_t> rows(stride * height_);
  if (GetDIBits(nullptr, handle_, 0, static_cast<UINT>(height_), rows.data(), info, DIB_RGB_COLORS) != height_)
    throw EWriteError(VclText::InvalidBitmap);
  const std::uint32_t entries = bits <= 8 ? (info->bmiHeader.biClrUsed ? info->bmiHeader.biClrUsed : 1u << bits) : 0;
  const std::uint32_t tableBytes = bitfields ? 12 : entries * 4;
  const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + tableBytes;
  std::vector<std::uint8_t> out;
  out.reserve(offset + rows.size());
  out.push_back('B');
  out.push_back('M');
  PutLe32(out, static_cast<std::uint32_t>(offset + rows.size()));
  PutLe32(out, 0);
  PutLe32(out, offset);
  PutLe32(out, kInfoHeaderSize);
  PutLe32(out, static_cast<std::uint32_t>(width_));
  PutLe32(out, static_cast<std::uint32_t>(height_));
  PutLe16(out, 1);
  PutLe16(out, static_cast<std::uint32_t>(bits));
  PutLe32(out, bitfields ? BI_BITFIELDS : BI_RGB);
  PutLe32(out, static_cast<std::uint32_t>(rows.size()));
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe32(out, bits <= 8 && entries < (1u << bits) ? entries : 0);
  PutLe32(out, 0);
  if (bitfields)
    for (DWORD m : masks) PutLe32(out, m);
  const std::uint8_t* table = buffer.data() + sizeof(BITMAPINFOHEADER);
  for (std::uint32_t i = 0; i < entries; ++i) {
    out.insert(out.end(), table + 4 * i, table + 4 * i + 3);
    out.push_back(0);
  }
  out.insert(out.end(), rows.begin(), rows.end());
  stream->WriteBuffer(out.data(), static_cast<int>(out.size()));
}
