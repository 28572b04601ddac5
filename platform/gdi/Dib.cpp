// Bitmaps and device-independent bitmaps: creation, DIB sections and the transfers between
// packed DIB rows and the layer's 32-bit pixels.

#include <cstdlib>
#include <cstring>

#include "platform/gdi/Blit.h"
#include "platform/gdi/DibFile.h"

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

std::uint32_t Quad(const RGBQUAD& q) { return (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue; }

int MaskShift(DWORD mask) {
  int s = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++s;
  }
  return s;
}

std::uint32_t FromMasked(DWORD value, DWORD mask) {
  if (!mask) return 0;
  DWORD v = (value & mask) >> MaskShift(mask);
  DWORD max = mask >> MaskShift(mask);
  return max ? v * 255 / max : 0;
}

// One packed DIB row into 32-bit pixels.
void ReadRow(const BITMAPINFO* info, const BYTE* row, int width, std::uint32_t* out) {
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const RGBQUAD* table = Colors(info);
  int entries = ColorTableSize(h);
  auto indexed = [&](int index) { return index < entries ? Quad(table[index]) : 0u; };
  // The masks follow a header of any size, so they need not be aligned.
  DWORD masks[3] = {0, 0, 0};
  if (h.biCompression == BI_BITFIELDS) std::memcpy(masks, table, sizeof masks);
  for (int x = 0; x < width; ++x) {
    switch (h.biBitCount) {
      case 1: out[x] = indexed((row[x >> 3] >> (7 - (x & 7))) & 1); break;
      case 4: out[x] = indexed((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15); break;
      case 8: out[x] = indexed(row[x]); break;
      case 16: {
        DWORD v = row[2 * x] | (row[2 * x + 1] << 8);
        DWORD r = 0x7C00, g = 0x03E0, b = 0x001F;
        if (h.biCompression == BI_BITFIELDS) r = masks[0], g = masks[1], b = masks[2];
        out[x] = (FromMasked(v, r) << 16) | (FromMasked(v, g) << 8) | FromMasked(v, b);
        break;
      }
      case 24: out[x] = (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x]; break;
      case 32: {
        DWORD v;
        std::memcpy(&v, row + 4 * x, 4);
        if (h.biCompression == BI_BITFIELDS)
          v = (FromMasked(v, masks[0]) << 16) | (FromMasked(v, masks[1]) << 8) | FromMasked(v, masks[2]);
        out[x] = v & 0xFFFFFF;
        break;
      }
    }
  }
}

// 32-bit pixels into one packed row of the depths GetDIBits writes (1, 24, 32).
void WriteRow(const std::uint32_t* in, int width, int bits, BYTE* row) {
  for (int x = 0; x < width; ++x) {
    std::uint32_t p = in[x] & 0xFFFFFF;
    if (bits == 32) {
      std::memcpy(row + 4 * x, &p, 4);
    } else if (bits == 24) {
      row[3 * x] = p & 0xFF;
      row[3 * x + 1] = (p >> 8) & 0xFF;
      row[3 * x + 2] = (p >> 16) & 0xFF;
    } else if (bits == 1 && p) {
      row[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
    }
  }
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
  std::vector<std::uint32_t> line(hd.biWidth);
  size_t stride = DibRowBytes(hd.biWidth, hd.biBitCount);
  int top = bottomUp ? height - sy - h : sy;
  for (int row = 0; row < h; ++row) {
    int y = top + row;  // top-down row of the whole DIB
    if (y < 0 || y >= height) continue;
    int memRow = bottomUp ? height - 1 - y : y;
    if (memRow < static_cast<int>(startScan) || memRow >= static_cast<int>(startScan + lines)) continue;
    ReadRow(info, static_cast<const BYTE*>(bits) + (memRow - startScan) * stride, hd.biWidth, line.data());
    for (int col = 0; col < w; ++col) {
      int x = sx + col;
      if (x >= 0 && x < hd.biWidth) img.pixels[static_cast<size_t>(row) * w + col] = line[x];
    }
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
  // Sections are 32-bit: the program addresses their pixels as 0x00RRGGBB words.
  if (!info || info->bmiHeader.biBitCount != 32 || !SupportedLayout(info->bmiHeader)) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  BitmapObject* b = NewBitmap(h.biWidth, std::abs(h.biHeight), 32);
  if (!b) return nullptr;
  b->dibSection = true;
  b->bottomUp = h.biHeight > 0;
  if (bits) *bits = b->bits.data();
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
  Surface s = b->Pixels();
  for (int y = 0; y < std::min(height, s.height); ++y)
    for (int x = 0; x < std::min<int>(h.biWidth, s.width); ++x) {
      std::uint32_t p = img.pixels[static_cast<size_t>(y) * h.biWidth + x];
      s.Row(y)[x] = b->bitsPixel == 1 ? (p ? 0xFFFFFF : 0) : p;
    }
  return static_cast<int>(lines);
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT) {
  BitmapObject* b = LiveBitmap(bitmap);
  if (!b || !info) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biBitCount == 0 || !bits) {
    // Only the format is asked for.
    if (h.biBitCount == 0) {
      h.biWidth = b->width;
      h.biHeight = b->height;
      h.biBitCount = static_cast<WORD>(b->bitsPixel);
      h.biCompression = BI_RGB;
      h.biSizeImage = static_cast<DWORD>(DibRowBytes(b->width, b->bitsPixel) * b->height);
    }
    return b->height;
  }
  if (h.biBitCount != 1 && h.biBitCount != 24 && h.biBitCount != 32) return 0;
  if (h.biWidth != b->width) return 0;
  if (h.biBitCount == 1) {
    RGBQUAD* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(info) + h.biSize);
    table[0] = RGBQUAD{0, 0, 0, 0};
    table[1] = RGBQUAD{255, 255, 255, 0};
  }
  Surface s = b->Pixels();
  size_t stride = DibRowBytes(b->width, h.biBitCount);
  bool bottomUp = h.biHeight > 0;
  int done = 0;
  for (UINT i = 0; i < lines; ++i) {
    int memRow = static_cast<int>(start + i);
    if (memRow >= s.height) break;
    int y = bottomUp ? s.height - 1 - memRow : memRow;
    BYTE* row = static_cast<BYTE*>(bits) + i * stride;
    std::memset(row, 0, stride);
    WriteRow(s.Row(y), b->width, h.biBitCount, row);
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
  StretchOnto(*dc, x, y, static_cast<int>(width), static_cast<int>(height), &img, false, false, SRCCOPY);
  return static_cast<int>(lines);
}

int StretchDIBits(HDC handle, int x, int y, int width, int height, int srcX, int srcY,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT,
                  DWORD rop) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !bits || !info || !SupportedLayout(info->bmiHeader)) return 0;
  int left = srcWidth < 0 ? srcX + srcWidth : srcX, bottom = srcHeight < 0 ? srcY + srcHeight : srcY;
  int rows = std::abs(info->bmiHeader.biHeight);
  SourceImage img = DibImage(info, bits, left, bottom, std::abs(srcWidth), std::abs(srcHeight), 0,
                             static_cast<UINT>(rows));
  if (!StretchOnto(*dc, x, y, width, height, &img, srcWidth < 0, srcHeight < 0, rop)) return 0;
  return std::abs(srcHeight);
}

LONG GetBitmapBits(HBITMAP bitmap, LONG size, void* out) {
  BitmapObject* b = LiveBitmap(bitmap);
  if (!b || !out || b->bitsPixel != 32) return 0;
  LONG bytes = std::min<LONG>(size, b->width * b->height * 4);
  Surface s = b->Pixels();
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

void GdiFlush() {}
