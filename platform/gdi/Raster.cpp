#include "platform/gdi/Raster.h"

#include <algorithm>

#include "platform/gdi/Display.h"

namespace {

// The eight rows of each hatch style, one bit a pixel, the leftmost pixel in bit 7.
const std::uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal
    {0x08, 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

void HatchTile(BrushPaint& paint, const BrushObject& brush, const DeviceContext& dc) {
  paint.tileWidth = paint.tileHeight = 8;
  paint.tile.resize(64);
  paint.mask.resize(64);
  std::uint32_t fg = PixelFromColor(brush.log.lbColor);
  std::uint32_t bg = PixelFromColor(dc.state.bkColor);
  bool opaque = dc.state.bkMode == OPAQUE;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      bool on = kHatch[brush.log.lbHatch][y] & (0x80 >> x);
      paint.tile[y * 8 + x] = on ? fg : bg;
      paint.mask[y * 8 + x] = on || opaque;
    }
}

void PatternTile(BrushPaint& paint, const BitmapObject& pattern, const DeviceContext& dc) {
  Surface s = pattern.Pixels();
  paint.tileWidth = s.width;
  paint.tileHeight = s.height;
  paint.tile.resize(static_cast<size_t>(s.width) * s.height);
  paint.mask.assign(paint.tile.size(), 1);
  // A monochrome pattern paints its black pixels in the text colour and its white ones
  // in the background colour.
  std::uint32_t fg = PixelFromColor(dc.state.textColor), bg = PixelFromColor(dc.state.bkColor);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      std::uint32_t p = s.Row(y)[x] & 0xFFFFFF;
      if (pattern.bitsPixel == 1) p = p ? bg : fg;
      paint.tile[static_cast<size_t>(y) * s.width + x] = p;
    }
}

}  // namespace

BrushPaint SolidPaint(std::uint32_t pixel) {
  BrushPaint p;
  p.null = false;
  p.solid = true;
  p.color = pixel;
  return p;
}

BrushPaint MakeBrushPaint(const DeviceContext& dc, HBRUSH handle) {
  BrushObject* brush = LiveBrush(handle);
  BrushPaint paint;
  if (!brush || brush->log.lbStyle == BS_NULL) return paint;
  if (handle == GetStockObject(DC_BRUSH)) return SolidPaint(PixelFromColor(dc.state.dcBrushColor));
  paint.null = false;
  paint.org = POINT{dc.origin.x + dc.state.brushOrg.x, dc.origin.y + dc.state.brushOrg.y};
  if (brush->log.lbStyle == BS_HATCHED) {
    HatchTile(paint, *brush, dc);
  } else if (brush->log.lbStyle == BS_PATTERN && brush->pattern && !brush->pattern->bits.empty()) {
    PatternTile(paint, *brush->pattern, dc);
  } else {
    paint.solid = true;
    paint.color = PixelFromColor(BrushColor(*brush));
  }
  return paint;
}

void FillSurfaceRegion(DeviceContext& dc, const Region& region, const BrushPaint& paint, int rop2) {
  if (paint.null || !dc.Prepare()) return;
  Region target = region;
  Region clip = Region::FromRects(dc.ClipRects());
  target = target.Intersect(clip);
  for (const RECT& r : target.Rects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      std::uint32_t* row = dc.surface.Row(y);
      if (paint.solid && rop2 == R2_COPYPEN) {
        for (int x = r.left; x < r.right; ++x) row[x] = paint.color;
        continue;
      }
      for (int x = r.left; x < r.right; ++x) {
        std::uint32_t p;
        if (paint.At(x, y, p)) row[x] = ApplyRop2(row[x], p, rop2);
      }
    }
  }
}

RECT SurfaceClipBox(DeviceContext& dc) {
  const std::vector<RECT>& rects = dc.ClipRects();
  if (rects.empty()) return RECT{};
  RECT box = rects[0];
  for (const RECT& r : rects) {
    box.left = std::min(box.left, r.left), box.top = std::min(box.top, r.top);
    box.right = std::max(box.right, r.right), box.bottom = std::max(box.bottom, r.bottom);
  }
  return box;
}

bool SurfacePixelVisible(DeviceContext& dc, int x, int y) {
  for (const RECT& r : dc.ClipRects())
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

void PlotSurfacePixel(DeviceContext& dc, int x, int y, std::uint32_t pixel, int rop2) {
  if (!SurfacePixelVisible(dc, x, y)) return;
  std::uint32_t& d = dc.surface.Row(y)[x];
  d = ApplyRop2(d, pixel, rop2);
}
