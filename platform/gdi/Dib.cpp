// Bitmaps and device-independent bitmaps: creation, DIB sections and the transfers between
// packed DIB rows and the layer's 32-bit pixels.

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/Blit.h"
#include "platform/gdi/DibFile.h"
#include "platform/gdi/DibGamma.h"
#include "platform/gdi/DibRow.h"

namespace {

int ColorTableSize(const BITMAPINFOHEADER& h) {
  if (h.biBitCount > 8) return h.biCompression == BI_BITFIELDS ? 3 : 0;
  int full = 1 << h.biBitCount;
  return h.biClrUsed > 0 && static_cast<int>(h.biClrUsed) < full ? static_cast<int>(h.biClrUsed) : full;
}

bool SupportedLayout(const BITMAPINFOHEADER& h) {
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1) return false;
  if (static_cast<long long>(h.biWidth) * std::llabs(h.biHeight) > (1LL << 28)) return false;
  switch (h.biBitCount) {
    case 1: case 4: case 8: case 24: return h.biCompression == BI_RGB;
    case 16: case 32: return h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS;
  }
  return false;
}

const RGBQUAD* Colors(const BITMAPINFO* info) {
  return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + info->bmiHeader.biSize);
}

// One packed DIB row into 32-bit pixels.
void ReadRow(const BITMAPINFO* info, const BYTE* row, int width, std::uint32_t* out) {
  const BITMAPINFOHEADER& h = info->bmiHeader;
  DibRowFormat format;
  format.bits = h.biBitCount;
  format.table = Colors(info);
  format.entries = h.biBitCount <= 8 ? ColorTableSize(h) : 0;
  // The masks follow a header of any size, so they need not be aligned.
  if (h.biCompression == BI_BITFIELDS) std::memcpy(format.masks, Colors(info), sizeof format.masks);
  UnpackDibRow(format, row, width, out);
}

// The rectangle (sx, sy, w, h) of a packed DIB as a top-down image. For bottom-up DIBs
// sy counts from the bottom row, as the DIB functions define. Rows outside [startScan,
// startScan + lines) are not in memory and stay 0.
SourceImage DibImage(const BITMAPINFO* info, const void* bits, int sx, int sy, int w, int h,
                     UINT startScan, UINT lines) {
  SourceImage img;
  const BITMAPINFOHEADER& hd = info->bmiHeader;
  if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > (1LL << 28)) return img;
  int height = std::abs(hd.biHeight);
  bool bottomUp = hd.biHeight > 0;
  img.width = w;
  img.height = h;
  img.pixels.assign(static_cast<size_t>(w) * h, 0);
  size_t stride = DibRowBytes(hd.biWidth, hd.biBitCount);
  int top = bottomUp ? height - sy - h : sy;
  // Plain 32-bit rows are the layer's own pixel words: only the columns asked for are read,
  // so a small part of a wide image costs no more than its own pixels.
  const bool plain32 = hd.biBitCount == 32 && hd.biCompression == BI_RGB;
  const int firstCol = std::max(0, -sx), endCol = std::min(w, hd.biWidth - sx);
  std::vector<std::uint32_t> line(plain32 ? 0 : hd.biWidth);
  for (int row = 0; row < h; ++row) {
    int y = top + row;  // top-down row of the whole DIB
    if (y < 0 || y >= height) continue;
    int memRow = bottomUp ? height - 1 - y : y;
    if (memRow < static_cast<int>(startScan) || memRow >= static_cast<int>(startScan + lines)) continue;
    const BYTE* rowBytes = static_cast<const BYTE*>(bits) + (memRow - startScan) * stride;
    if (plain32) {
      std::uint32_t* out = img.pixels.data() + static_cast<size_t>(row) * w;
      if (firstCol < endCol) std::memcpy(out + firstCol, rowBytes + 4 * static_cast<size_t>(sx + firstCol), 4 * static_cast<size_t>(endCol - firstCol));
      for (int col = firstCol; col < endCol; ++col) out[col] &= 0xFFFFFF;
      continue;
    }
    ReadRow(info, rowBytes, hd.biWidth, line.data());
    for (int col = 0; col < w; ++col) {
      int x = sx + col;
      if (x >= 0 && x < hd.biWidth) img.pixels[static_cast<size_t>(row) * w + col] = line[x];
    }
  }
  return img;
}

// The pixels of a DIB rectangle (sx, sy, w, h) that a stretch onto outW x outH picks, as an
// image of that size: column c and row r take the rectangle's pixel (c * w / outW,
// r * h / outH), the very pixel StretchOnto would take from the whole rectangle. A large
// picture shrunk onto a small target then costs the target's pixels, not the picture's.
SourceImage DibSampledImage(const BITMAPINFO* info, const void* bits, int sx, int sy, int w, int h, int outW,
                            int outH) {
  SourceImage img;
  const BITMAPINFOHEADER& hd = info->bmiHeader;
  if (w <= 0 || h <= 0 || outW <= 0 || outH <= 0 || static_cast<long long>(outW) * outH > (1LL << 28)) return img;
  const int height = std::abs(hd.biHeight);
  const bool bottomUp = hd.biHeight > 0;
  img.width = outW;
  img.height = outH;
  img.pixels.assign(static_cast<size_t>(outW) * outH, 0);
  // Source columns of the DIB (or -1 outside it), worked out once.
  std::vector<int> columns(outW);
  for (int c = 0; c < outW; ++c) {
    const int x = sx + static_cast<int>(static_cast<long long>(c) * w / outW);
    columns[c] = x >= 0 && x < hd.biWidth ? x : -1;
  }
  const bool plain32 = hd.biBitCount == 32 && hd.biCompression == BI_RGB;
  const size_t stride = DibRowBytes(hd.biWidth, hd.biBitCount);
  std::vector<std::uint32_t> line(plain32 ? 0 : hd.biWidth);
  int lineRow = -1;
  const int top = bottomUp ? height - sy - h : sy;
  for (int r = 0; r < outH; ++r) {
    const int y = top + static_cast<int>(static_cast<long long>(r) * h / outH);
    if (y < 0 || y >= height) continue;
    const int memRow = bottomUp ? height - 1 - y : y;
    const BYTE* rowBytes = static_cast<const BYTE*>(bits) + memRow * stride;
    std::uint32_t* out = img.pixels.data() + static_cast<size_t>(r) * outW;
    if (plain32) {
      for (int c = 0; c < outW; ++c, ++out) {
        if (columns[c] < 0) continue;
        std::uint32_t p;
        std::memcpy(&p, rowBytes + 4 * static_cast<size_t>(columns[c]), 4);
        *out = p & 0xFFFFFF;
      }
      continue;
    }
    if (memRow != lineRow) ReadRow(info, rowBytes, hd.biWidth, line.data());
    lineRow = memRow;
    for (int c = 0; c < outW; ++c, ++out)
      if (columns[c] >= 0) *out = line[columns[c]];
  }
  return img;
}

}  // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32 && bitsPerPixel != 24)) return nullptr;
  BitmapObject* b = NewBitmap(width, height, bitsPerPixel == 1 ? 1 : 32);
  if (!b || !bits) return b;
  // Device-dependent bits: rows padded to 16 bits, top-down.
  const BYTE* src = static_cast<const BYTE*>(bits);
  size_t stride = bitsPerPixel == 1 ? ((width + 15) / 16) * 2 : (bitsPerPixel == 24 ? ((width * 3 + 1) / 2) * 2 : width * 4);
  for (int y = 0; y < height; ++y, src += stride)
    for (int x = 0; x < width; ++x) {
      std::uint32_t p;
      if (bitsPerPixel == 1) p = (src[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFF : 0;
      else if (bitsPerPixel == 24) p = (src[3 * x + 2] << 16) | (src[3 * x + 1] << 8) | src[3 * x];
      else std::memcpy(&p, src + 4 * x, 4);
      b->bits[static_cast<size_t>(y) * width + x] = p & 0xFFFFFF;
    }
  return b;
}

HBITMAP CreateCompatibleBitmap(HDC handle, int width, int height) {
  DeviceContext* dc = LiveDc(handle);
  bool mono = dc && IsMonoTarget(*dc);
  return NewBitmap(width, height, mono ? 1 : 32);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, void*, DWORD) {
  if (bits) *bits = nullptr;
  if (!info || !SupportedLayout(info->bmiHeader)) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  BitmapObject* b = nullptr;
  if (h.biBitCount == 32) {
    // 32-bit sections are GDI's pixels themselves: the program addresses 0x00RRGGBB words.
    b = NewBitmap(h.biWidth, std::abs(h.biHeight), 32);
    if (!b) return nullptr;
    b->dibSection = true;
    b->bottomUp = h.biHeight > 0;
    if (bits) *bits = b->bits.data();
  } else {
    b = NewPackedSection(*info);
    if (b && bits) *bits = b->rows.data();
  }
  return b;
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
  if (!header || !SupportedLayout(*header)) return nullptr;
  HBITMAP b = NewBitmap(header->biWidth, std::abs(header->biHeight), 32);
  if (b && (init & CBM_INIT) && bits && info)
    SetDIBits(dc, b, 0, static_cast<UINT>(std::abs(info->bmiHeader.biHeight)), bits, info, usage);
  return b;
}

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT) {
  BitmapObject* b = LiveBitmap(bitmap);
  if (!b || !bits || !info || !SupportedLayout(info->bmiHeader)) return 0;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  int height = std::abs(h.biHeight);
  SourceImage img = DibImage(info, bits, 0, 0, h.biWidth, height, start, lines);
  Surface s = b->WritePixels();
  for (int y = 0; y < std::min(height, s.height); ++y)
    for (int x = 0; x < std::min<int>(h.biWidth, s.width); ++x) {
      std::uint32_t p = img.pixels[static_cast<size_t>(y) * h.biWidth + x];
      s.Row(y)[x] = b->bitsPixel == 1 ? (p ? 0xFFFFFF : 0) : p;
    }
  // A section's rows show the new bits at once, as its memory would.
  if (b->Packed()) b->PackSection();
  return static_cast<int>(lines);
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT) {
  BitmapObject* b = LiveBitmap(bitmap);
  if (!b || !info) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  const int ownBits = b->dibSection ? b->sectionBits : b->bitsPixel;
  if (h.biBitCount == 0) {
    // Only the format is asked for.
    h.biWidth = b->width;
    h.biHeight = b->height;
    h.biBitCount = static_cast<WORD>(ownBits);
    h.biCompression = BI_RGB;
    h.biClrUsed = static_cast<DWORD>(b->colorTable.size());
    h.biSizeImage = static_cast<DWORD>(DibRowBytes(b->width, ownBits) * b->height);
    return b->height;
  }
  const int depth = h.biBitCount;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return 0;
  b->ReadPixels();
  // A section asked for at its own indexed depth gives its rows and table as they are.
  const bool ownRows = b->Packed() && depth == b->sectionBits && depth <= 8;
  std::vector<RGBQUAD> table;
  if (depth <= 8) {
    table = ownRows ? b->colorTable : DefaultDibColorTable(depth);
    std::vector<RGBQUAD> padded(std::size_t(1) << depth);
    std::copy(table.begin(), table.end(), padded.begin());
    std::memcpy(reinterpret_cast<BYTE*>(info) + h.biSize, padded.data(), padded.size() * sizeof(RGBQUAD));
    h.biClrUsed = table.size() < padded.size() ? static_cast<DWORD>(table.size()) : 0;
  }
  if (!bits) return b->height;
  if (h.biWidth != b->width) return 0;
  if (ownRows && b->pixelsAhead) b->PackSection();
  DibRowFormat format;
  format.bits = depth;
  format.table = table.data();
  format.entries = static_cast<int>(table.size());
  if (h.biCompression == BI_BITFIELDS && (depth == 16 || depth == 32))
    std::memcpy(format.masks, reinterpret_cast<BYTE*>(info) + h.biSize, sizeof format.masks);
  DibRowPacker packer(format);
  Surface s = b->Pixels();
  const size_t stride = DibRowBytes(b->width, depth);
  const bool bottomUp = h.biHeight > 0;
  int done = 0;
  for (UINT i = 0; i < lines; ++i) {
    int memRow = static_cast<int>(start + i);
    if (memRow >= s.height) break;
    int y = bottomUp ? s.height - 1 - memRow : memRow;
    BYTE* row = static_cast<BYTE*>(bits) + i * stride;
    if (ownRows) {
      const int ownRow = b->bottomUp ? s.height - 1 - y : y;
      std::memcpy(row, b->rows.data() + ownRow * stride, stride);
    } else {
      std::memset(row, 0, stride);
      packer.Pack(s.Row(y), b->width, row);
    }
    ++done;
  }
  return done;
}

int SetDIBitsToDevice(HDC handle, int x, int y, DWORD width, DWORD height, int srcX, int srcY,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !bits || !info || !SupportedLayout(info->bmiHeader)) return 0;
  SourceImage img = DibImage(info, bits, srcX, srcY, static_cast<int>(width), static_cast<int>(height),
                             startScan, lines);
  if (const DibGammaTable* gamma = DibGammaFor(dc->state.icmMode, info)) ApplyDibGamma(*gamma, img);
  StretchOnto(*dc, x, y, static_cast<int>(width), static_cast<int>(height), &img, false, false, SRCCOPY);
  return static_cast<int>(lines);
}

namespace {

// A printer takes the DIB itself; the source rectangle is counted from the bitmap's top row.
int PrintDib(DeviceContext& dc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
             int srcHeight, const void* bits, const BITMAPINFO& info) {
  const int rows = std::abs(info.bmiHeader.biHeight);
  if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return 0;
  // srcY counts from the bottom row of a bottom-up bitmap, as on Windows.
  const int top = info.bmiHeader.biHeight > 0 ? rows - srcY - srcHeight : srcY;
  const POINT o = dc.DeviceOffset();
  const RECT target{x + o.x, y + o.y, x + o.x + width, y + o.y + height};
  if (!dc.printer->StretchDib(target, info, bits, RECT{srcX, top, srcX + srcWidth, top + srcHeight})) return 0;
  return srcHeight;
}

}  // namespace

int StretchDIBits(HDC handle, int x, int y, int width, int height, int srcX, int srcY,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT,
                  DWORD rop) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !bits || !info || !SupportedLayout(info->bmiHeader)) return 0;
  if (dc->printer) return PrintDib(*dc, x, y, width, height, srcX, srcY, srcWidth, srcHeight, bits, *info);
  int left = srcWidth < 0 ? srcX + srcWidth : srcX, bottom = srcHeight < 0 ? srcY + srcHeight : srcY;
  const int rows = std::abs(info->bmiHeader.biHeight);
  const int w = std::abs(width), h = std::abs(height), sw = std::abs(srcWidth), sh = std::abs(srcHeight);
  // Shrinking reads only the source pixels that show; the result is the same pixel for pixel.
  SourceImage img = w > 0 && h > 0 && static_cast<long long>(w) * h < static_cast<long long>(sw) * sh
                        ? DibSampledImage(info, bits, left, bottom, sw, sh, w, h)
                        : DibImage(info, bits, left, bottom, sw, sh, 0, static_cast<UINT>(rows));
  if (const DibGammaTable* gamma = DibGammaFor(dc->state.icmMode, info)) ApplyDibGamma(*gamma, img);
  if (!StretchOnto(*dc, x, y, width, height, &img, srcWidth < 0, srcHeight < 0, rop)) return 0;
  return std::abs(srcHeight);
}

LONG GetBitmapBits(HBITMAP bitmap, LONG size, void* out) {
  BitmapObject* b = LiveBitmap(bitmap);
  if (!b || !out || b->bitsPixel != 32) return 0;
  LONG bytes = std::min<LONG>(size, b->width * b->height * 4);
  Surface s = b->ReadPixels();
  for (LONG i = 0; i < bytes / 4; ++i) {
    std::uint32_t p = s.Row(i / b->width)[i % b->width];
    std::memcpy(static_cast<BYTE*>(out) + 4 * i, &p, 4);
  }
  return bytes;
}

BOOL GetBitmapDimensionEx(HBITMAP bitmap, SIZE* size) {
  if (!LiveBitmap(bitmap) || !size) return FALSE;
  *size = SIZE{};
  return TRUE;
}

