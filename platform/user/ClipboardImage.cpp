// Packed DIBs checked and turned into bitmaps and palettes, and bitmaps into packed DIBs.

#include "platform/user/ClipboardImage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

#include "platform/gdi/DibFile.h"
#include "platform/gdi/DibRow.h"

namespace {

constexpr std::int64_t kMaxPixels = std::int64_t(1) << 28;

// A BITMAPINFO with a 40-byte header followed by the masks or the colour table, aligned as
// the structure needs.
class InfoBuffer {
public:
  // room: the bytes after the header that GetDIBits may fill in (a colour table).
  InfoBuffer(const BITMAPINFOHEADER& header, const void* extra, size_t extraBytes, size_t room = 0)
      : words_((sizeof(BITMAPINFOHEADER) + std::max({extraBytes, room, sizeof(RGBQUAD)}) + 3) / 4, 0) {
    BITMAPINFOHEADER h = header;
    h.biSize = sizeof(BITMAPINFOHEADER);
    std::memcpy(words_.data(), &h, sizeof h);
    if (extra && extraBytes) std::memcpy(reinterpret_cast<std::uint8_t*>(words_.data()) + sizeof h, extra, extraBytes);
  }
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(words_.data()); }

private:
  std::vector<std::uint32_t> words_;
};

}  // namespace

bool ReadPackedDibLayout(const std::uint8_t* data, size_t size, PackedDibLayout& out) {
  if (!data || size < 40) return false;
  const DWORD headerSize = Le32(data);
  if (headerSize < 40 || headerSize > size) return false;
  BITMAPINFOHEADER& h = out.header;
  h.biSize = headerSize;
  h.biWidth = static_cast<LONG>(Le32(data + 4));
  h.biHeight = static_cast<LONG>(Le32(data + 8));
  h.biPlanes = Le16(data + 12);
  h.biBitCount = Le16(data + 14);
  h.biCompression = Le32(data + 16);
  h.biSizeImage = Le32(data + 20);
  h.biXPelsPerMeter = static_cast<LONG>(Le32(data + 24));
  h.biYPelsPerMeter = static_cast<LONG>(Le32(data + 28));
  h.biClrUsed = Le32(data + 32);
  h.biClrImportant = Le32(data + 36);
  const std::int64_t width = h.biWidth, height = std::llabs(static_cast<std::int64_t>(h.biHeight));
  if (width <= 0 || height == 0 || h.biPlanes != 1 || width * height > kMaxPixels) return false;
  const int bits = h.biBitCount;
  switch (bits) {
    case 1: case 4: case 8: case 24:
      if (h.biCompression != BI_RGB) return false;
      break;
    case 16: case 32:
      if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return false;
      break;
    default:
      return false;
  }
  size_t offset = headerSize;
  if (h.biCompression == BI_BITFIELDS) {
    // The masks follow a 40-byte header; the later headers hold them at the same place.
    if (headerSize == 40) {
      if (size - offset < 12) return false;
      offset += 12;
    } else if (headerSize < 52) {
      return false;
    }
    for (int i = 0; i < 3; ++i) out.masks[i] = Le32(data + 40 + 4 * i);
  }
  std::int64_t entries = 0;
  if (bits <= 8) {
    const std::int64_t full = std::int64_t(1) << bits;
    if (h.biClrUsed > full) return false;
    entries = h.biClrUsed ? h.biClrUsed : full;
  } else {
    if (h.biClrUsed > 256) return false;  // an optional table for palette devices
    entries = h.biClrUsed;
  }
  if (static_cast<std::uint64_t>(entries) * 4 > size - offset) return false;
  out.tableOffset = offset;
  out.tableEntries = static_cast<int>(entries);
  offset += static_cast<size_t>(entries) * 4;
  const std::uint64_t rows = static_cast<std::uint64_t>(DibRowBytes(width, bits)) * static_cast<std::uint64_t>(height);
  if (rows > size - offset) return false;
  out.bitsOffset = offset;
  out.bitsSize = static_cast<size_t>(rows);
  return true;
}

HBITMAP BitmapFromPackedDib(const std::uint8_t* data, size_t size) {
  PackedDibLayout layout;
  if (!ReadPackedDibLayout(data, size, layout)) return nullptr;
  BITMAPINFOHEADER h = layout.header;
  const bool fields = h.biCompression == BI_BITFIELDS;
  // Only indexed DIBs read their table; the masks of bit-field DIBs take its place.
  const size_t extra = fields ? sizeof layout.masks : (h.biBitCount <= 8 ? layout.tableEntries * 4u : 0u);
  const void* extraBytes = fields ? static_cast<const void*>(layout.masks) : data + layout.tableOffset;
  if (h.biBitCount <= 8) h.biClrUsed = static_cast<DWORD>(layout.tableEntries);
  InfoBuffer info(h, extraBytes, extra);
  HBITMAP bitmap = CreateBitmap(h.biWidth, std::abs(h.biHeight), 1, 32, nullptr);
  if (!bitmap) return nullptr;
  const UINT rows = static_cast<UINT>(std::abs(h.biHeight));
  if (SetDIBits(nullptr, bitmap, 0, rows, data + layout.bitsOffset, info.Info(), DIB_RGB_COLORS) == 0) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

HPALETTE PaletteFromPackedDib(const std::uint8_t* data, size_t size) {
  PackedDibLayout layout;
  if (!ReadPackedDibLayout(data, size, layout) || layout.tableEntries == 0) return nullptr;
  std::vector<std::uint8_t> log(sizeof(LOGPALETTE) + layout.tableEntries * sizeof(PALETTEENTRY));
  LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(log.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(layout.tableEntries);
  for (int i = 0; i < layout.tableEntries; ++i) {
    const std::uint8_t* q = data + layout.tableOffset + 4 * i;
    palette->palPalEntry[i] = PALETTEENTRY{q[2], q[1], q[0], 0};
  }
  return CreatePalette(palette);
}

namespace {

// The palette's colours as a colour table, when it has 256 or fewer and every pixel of the
// bitmap is one of them; empty otherwise.
std::vector<RGBQUAD> TableCoveringBitmap(HBITMAP bitmap, HPALETTE palette, const BITMAP& info) {
  const UINT count = palette ? GetPaletteEntries(palette, 0, 0, nullptr) : 0;
  if (count == 0 || count > 256) return {};
  std::vector<PALETTEENTRY> entries(count);
  GetPaletteEntries(palette, 0, count, entries.data());
  std::vector<RGBQUAD> table;
  std::set<std::uint32_t> colours;
  for (const PALETTEENTRY& e : entries) {
    table.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
    colours.insert(std::uint32_t(e.peRed) << 16 | std::uint32_t(e.peGreen) << 8 | e.peBlue);
  }
  // The pixels as 32-bit words, to see that each is a colour of the palette.
  BITMAPINFOHEADER h;
  h.biWidth = info.bmWidth;
  h.biHeight = -info.bmHeight;
  h.biBitCount = 32;
  InfoBuffer query(h, nullptr, 0);
  std::vector<std::uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
  if (GetDIBits(nullptr, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), query.Info(), DIB_RGB_COLORS) !=
      info.bmHeight)
    return {};
  for (std::uint32_t p : pixels)
    if (!colours.count(p & 0xFFFFFF)) return {};
  return table;
}

}  // namespace

std::vector<std::uint8_t> PackedDibFromBitmap(HBITMAP bitmap, HPALETTE palette) {
  BITMAP info;
  if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP || !GetObject(bitmap, sizeof info, &info)) return {};
  if (info.bmWidth <= 0 || info.bmHeight <= 0) return {};
  // The bitmap's own depth and table, as GetDIBits reports them.
  BITMAPINFOHEADER own;
  {
    InfoBuffer query(own, nullptr, 0, 256 * sizeof(RGBQUAD));
    GetDIBits(nullptr, bitmap, 0, 0, nullptr, query.Info(), DIB_RGB_COLORS);
    own = query.Info()->bmiHeader;
  }
  // Indexed and 24-bit sections keep their depth; 16-bit ones may have masks of their own and
  // other bitmaps are the desktop's 32 bits, so those give 32 bits.
  const int ownBits = own.biBitCount;
  int bits = ownBits == 1 || ownBits == 4 || ownBits == 8 || ownBits == 24 ? ownBits : 32;
  std::vector<RGBQUAD> table;
  if (bits > 8) {
    table = TableCoveringBitmap(bitmap, palette, info);
    if (!table.empty()) bits = table.size() <= 2 ? 1 : table.size() <= 16 ? 4 : 8;
  }
  BITMAPINFOHEADER h;
  h.biWidth = info.bmWidth;
  h.biHeight = info.bmHeight;  // bottom row first, as a clipboard DIB is
  h.biBitCount = static_cast<WORD>(bits);
  h.biClrUsed = static_cast<DWORD>(table.size());
  const size_t entries = bits <= 8 ? (table.empty() ? (size_t(1) << bits) : table.size()) : 0;
  InfoBuffer request(h, table.data(), table.size() * sizeof(RGBQUAD), 256 * sizeof(RGBQUAD));
  BITMAPINFO* req = request.Info();
  // A table of our own is given as the colours to pack to; GetDIBits of a section at its own
  // depth fills in the section's table instead.
  const size_t stride = DibRowBytes(info.bmWidth, bits);
  std::vector<std::uint8_t> rows(stride * static_cast<size_t>(info.bmHeight));
  if (!table.empty()) {
    // Pack against the palette's colours: GetDIBits packs to its default table at an indexed
    // depth, so the rows are made from the 32-bit pixels here.
    BITMAPINFOHEADER q = h;
    q.biBitCount = 32;
    q.biClrUsed = 0;
    InfoBuffer query(q, nullptr, 0);
    std::vector<std::uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    GetDIBits(nullptr, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), query.Info(), DIB_RGB_COLORS);
    DibRowFormat format;
    format.bits = bits;
    format.table = table.data();
    format.entries = static_cast<int>(table.size());
    DibRowPacker packer(format);
    for (int y = 0; y < info.bmHeight; ++y)
      packer.Pack(pixels.data() + static_cast<size_t>(y) * info.bmWidth, info.bmWidth, rows.data() + y * stride);
  } else if (GetDIBits(nullptr, bitmap, 0, static_cast<UINT>(info.bmHeight), rows.data(), req, DIB_RGB_COLORS) !=
             info.bmHeight) {
    return {};
  }
  BITMAPINFOHEADER out = req->bmiHeader;
  out.biSize = 40;
  out.biHeight = info.bmHeight;
  out.biBitCount = static_cast<WORD>(bits);
  out.biCompression = BI_RGB;
  out.biSizeImage = static_cast<DWORD>(rows.size());
  const size_t tableCount = bits <= 8 ? (table.empty() ? (out.biClrUsed ? out.biClrUsed : entries) : table.size()) : 0;
  out.biClrUsed = bits <= 8 && tableCount < (size_t(1) << bits) ? static_cast<DWORD>(tableCount) : 0;
  std::vector<std::uint8_t> dib;
  dib.reserve(40 + tableCount * 4 + rows.size());
  PutLe32(dib, 40);
  PutLe32(dib, static_cast<std::uint32_t>(out.biWidth));
  PutLe32(dib, static_cast<std::uint32_t>(out.biHeight));
  PutLe16(dib, 1);
  PutLe16(dib, out.biBitCount);
  PutLe32(dib, BI_RGB);
  PutLe32(dib, out.biSizeImage);
  PutLe32(dib, 0);
  PutLe32(dib, 0);
  PutLe32(dib, out.biClrUsed);
  PutLe32(dib, 0);
  const RGBQUAD* colours = table.empty() ? req->bmiColors : table.data();
  for (size_t i = 0; i < tableCount; ++i) {
    dib.push_back(colours[i].rgbBlue);
    dib.push_back(colours[i].rgbGreen);
    dib.push_back(colours[i].rgbRed);
    dib.push_back(0);
  }
  dib.insert(dib.end(), rows.begin(), rows.end());
  return dib;
}

HGLOBAL BlockOf(const std::vector<std::uint8_t>& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!block) return nullptr;
  if (!bytes.empty()) std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

std::vector<std::uint8_t> BlockBytes(HGLOBAL block) {
  const auto* p = static_cast<const std::uint8_t*>(GlobalLock(block));
  if (!p) return {};
  std::vector<std::uint8_t> bytes(p, p + GlobalSize(block));
  GlobalUnlock(block);
  return bytes;
}
