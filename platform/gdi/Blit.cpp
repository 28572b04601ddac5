// Raster operations between contexts: PatBlt, BitBlt, StretchBlt and MaskBlt.

#include "platform/gdi/Blit.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gdi/Raster.h"

namespace {

bool IsMonoContext(const DeviceContext& dc) {
  if (dc.kind != DeviceContext::Kind::Memory) return false;
  BitmapObject* b = LiveBitmap(dc.state.bitmap);
  return b && b->bitsPixel == 1;
}

std::uint32_t ToMono(std::uint32_t p) {
  int sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
  return sum >= 384 ? 0xFFFFFF : 0;
}

// A source pixel as the target sees it: monochrome sources take the target's text and
// background colours; colour sources drawn on a monochrome target become white where they
// equal the source's background colour.
std::uint32_t Convert(const SourceImage& src, std::uint32_t p, bool monoTarget, std::uint32_t fg,
                      std::uint32_t bg) {
  if (src.mono && !monoTarget) return p ? bg : fg;
  if (!src.mono && monoTarget) return (p & 0xFFFFFF) == PixelFromColor(src.background) ? 0xFFFFFF : 0;
  return p & 0xFFFFFF;
}

struct Axis {
  int start;
  int size;
  bool mirror;
};

Axis Normalize(int start, int size) {
  if (size < 0) return {start + size, -size, true};
  return {start, size, false};
}

}  // namespace

bool IsMonoTarget(const DeviceContext& dc) { return IsMonoContext(dc); }

SourceImage ReadSource(DeviceContext& dc, int x, int y, int width, int height) {
  SourceImage img;
  if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > (1LL << 28) || !dc.Prepare()) return img;
  img.width = width;
  img.height = height;
  img.mono = IsMonoContext(dc);
  img.background = dc.state.bkColor;
  img.pixels.assign(static_cast<size_t>(width) * height, 0);
  POINT o = dc.ToSurface(x, y);
  int first = std::max(0, -o.x), last = std::min(width, dc.surface.width - o.x);
  for (int row = 0; row < height && first < last; ++row) {
    int sy = o.y + row;
    if (sy < 0 || sy >= dc.surface.height) continue;
    std::copy(dc.surface.Row(sy) + o.x + first, dc.surface.Row(sy) + o.x + last,
              img.pixels.begin() + static_cast<std::ptrdiff_t>(row) * width + first);
  }
  return img;
}

bool StretchOnto(DeviceContext& dst, int x, int y, int w, int h, const SourceImage* src,
                 bool flipX, bool flipY, DWORD rop) {
  if (!dst.Prepare()) return false;
  Axis ax = Normalize(x, w), ay = Normalize(y, h);
  if (ax.size == 0 || ay.size == 0) return true;
  unsigned op = RopIndex(rop);
  bool useSource = RopUsesSource(op);
  if (useSource && (!src || src->width == 0 || src->height == 0)) return false;
  bool mirrorX = ax.mirror != flipX, mirrorY = ay.mirror != flipY;
  bool mono = IsMonoContext(dst);
  std::uint32_t fg = PixelFromColor(dst.state.textColor), bg = PixelFromColor(dst.state.bkColor);
  BrushPaint pattern = MakeBrushPaint(dst, dst.state.brush);
  RECT target = dst.ToSurface(RECT{ax.start, ay.start, ax.start + ax.size, ay.start + ay.size});
  // The source column of each target column, worked out once.
  std::vector<int> columns;
  if (useSource) {
    columns.resize(ax.size);
    for (int dx = 0; dx < ax.size; ++dx) {
      int d = mirrorX ? ax.size - 1 - dx : dx;
      columns[dx] = static_cast<int>(static_cast<long long>(d) * src->width / ax.size);
    }
  }
  // A plain copy between colour surfaces needs no raster operation per pixel.
  bool plainCopy = op == 0xCC && useSource && src->mono == mono;
  for (const RECT& clip : dst.ClipRects()) {
    RECT r = RectIntersection(clip, target);
    for (int ty = r.top; ty < r.bottom; ++ty) {
      std::uint32_t* row = dst.surface.Row(ty);
      int dy = ty - target.top;
      if (mirrorY) dy = ay.size - 1 - dy;
      const std::uint32_t* srow = nullptr;
      if (useSource) srow = &src->pixels[static_cast<size_t>(static_cast<long long>(dy) * src->height / ay.size) * src->width];
      if (plainCopy) {
        for (int tx = r.left; tx < r.right; ++tx) row[tx] = srow[columns[tx - target.left]] & 0xFFFFFF;
        continue;
      }
      for (int tx = r.left; tx < r.right; ++tx) {
        std::uint32_t s = 0, p = 0;
        if (useSource) s = Convert(*src, srow[columns[tx - target.left]], mono, fg, bg);
        if (RopUsesPattern(op)) {
          if (!pattern.null && pattern.At(tx, ty, p)) {
            if (mono) p = ToMono(p);
          } else {
            p = 0;
          }
        }
        row[tx] = ApplyRop3(p, s, row[tx], op);
      }
    }
  }
  return true;
}

BOOL PatBlt(HDC handle, int x, int y, int width, int height, DWORD rop) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || RopUsesSource(RopIndex(rop))) return FALSE;
  return StretchOnto(*dc, x, y, width, height, nullptr, false, false, rop) ? TRUE : FALSE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY,
            DWORD rop) {
  return StretchBlt(dest, x, y, width, height, source, srcX, srcY, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop) {
  DeviceContext* dst = LiveDc(dest);
  if (!dst) return FALSE;
  if (!RopUsesSource(RopIndex(rop)))
    return StretchOnto(*dst, x, y, width, height, nullptr, false, false, rop) ? TRUE : FALSE;
  DeviceContext* src = LiveDc(source);
  if (!src) return FALSE;
  int left = srcWidth < 0 ? srcX + srcWidth : srcX, top = srcHeight < 0 ? srcY + srcHeight : srcY;
  // The source is read first, so overlapping copies within one surface are correct.
  SourceImage image = ReadSource(*src, left, top, std::abs(srcWidth), std::abs(srcHeight));
  return StretchOnto(*dst, x, y, width, height, &image, srcWidth < 0, srcHeight < 0, rop) ? TRUE
                                                                                      : FALSE;
}

BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY,
             HBITMAP mask, int maskX, int maskY, DWORD rop) {
  BitmapObject* m = LiveBitmap(mask);
  if (!m) return BitBlt(dest, x, y, width, height, source, srcX, srcY, rop & 0xFFFFFF);
  DeviceContext* dst = LiveDc(dest);
  if (!dst || !dst->Prepare()) return FALSE;
  // Where the mask is 1 the foreground operation applies, else the background one (the
  // high byte of the code); done as two passes through a clip of the mask's pixels.
  Surface ms = m->ReadPixels();
  std::vector<RECT> on, off;
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col) {
      int mx = maskX + col, my = maskY + row;
      bool bit = mx >= 0 && my >= 0 && mx < ms.width && my < ms.height && (ms.Row(my)[mx] & 0xFFFFFF);
      (bit ? on : off).push_back(RECT{x + col, y + row, x + col + 1, y + row + 1});
    }
  DWORD fore = rop & 0xFFFFFF, back = ((rop >> 8) & 0xFF0000) | (rop & 0xFFFF);
  for (int pass = 0; pass < 2; ++pass) {
    int saved = SaveDC(dest);
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    auto* rc = LiveRegion(clip);
    rc->region = Region::FromRects(pass == 0 ? on : off);
    POINT d{dst->state.viewportOrg.x - dst->state.windowOrg.x, dst->state.viewportOrg.y - dst->state.windowOrg.y};
    rc->region.Offset(d.x, d.y);
    ExtSelectClipRgn(dest, clip, RGN_AND);
    BitBlt(dest, x, y, width, height, source, srcX, srcY, pass == 0 ? fore : back);
    RestoreDC(dest, saved);
    DeleteObject(clip);
  }
  return TRUE;
}
