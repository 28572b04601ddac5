#pragma once
// The pixel work under the drawing calls: brushes as paint, binary and ternary raster
// operations, clipped pixel and region filling on a prepared device context.

#include <cstdint>
#include <vector>

#include "platform/gdi/DeviceContext.h"

// What a brush paints: one colour, or a tile repeated from the brush origin whose mask
// says which pixels are painted (hatch gaps in transparent mode are not).
struct BrushPaint {
  bool null = true;
  bool solid = false;
  std::uint32_t color = 0;
  int tileWidth = 0;
  int tileHeight = 0;
  std::vector<std::uint32_t> tile;
  std::vector<std::uint8_t> mask;
  POINT org;  // surface position of the tile's origin

  // The pixel at surface (x, y); false where nothing is painted.
  bool At(int x, int y, std::uint32_t& out) const {
    if (solid) {
      out = color;
      return true;
    }
    int tx = ((x - org.x) % tileWidth + tileWidth) % tileWidth;
    int ty = ((y - org.y) % tileHeight + tileHeight) % tileHeight;
    size_t i = static_cast<size_t>(ty) * tileWidth + tx;
    out = tile[i];
    return mask[i] != 0;
  }
};

BrushPaint MakeBrushPaint(const DeviceContext& dc, HBRUSH brush);
BrushPaint SolidPaint(std::uint32_t pixel);

// R2_ codes: the pen (or brush) pixel combined with the destination.
inline std::uint32_t ApplyRop2(std::uint32_t dst, std::uint32_t pen, int rop2) {
  int code = rop2 - 1;
  std::uint32_t r = 0;
  if (code & 1) r |= ~pen & ~dst;
  if (code & 2) r |= ~pen & dst;
  if (code & 4) r |= pen & ~dst;
  if (code & 8) r |= pen & dst;
  return r & 0xFFFFFF;
}

// Ternary raster operations: the operation index (bits 16-23 of the code) tells, for each
// combination of pattern, source and destination bits, the result bit.
inline std::uint32_t ApplyRop3(std::uint32_t p, std::uint32_t s, std::uint32_t d, unsigned op) {
  std::uint32_t r = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!(op & (1u << i))) continue;
    r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return r & 0xFFFFFF;
}
inline unsigned RopIndex(DWORD rop) { return (rop >> 16) & 0xFF; }
inline bool RopUsesSource(unsigned op) { return ((op >> 2) & 0x33) != (op & 0x33); }
inline bool RopUsesPattern(unsigned op) { return ((op >> 4) & 0x0F) != (op & 0x0F); }

// Fills a region given in surface coordinates, clipped, with a paint and an R2_ code.
void FillSurfaceRegion(DeviceContext& dc, const Region& region, const BrushPaint& paint, int rop2);
// Draws one pixel at surface coordinates, clipped.
void PlotSurfacePixel(DeviceContext& dc, int x, int y, std::uint32_t pixel, int rop2);
// True when the surface pixel may be drawn.
bool SurfacePixelVisible(DeviceContext& dc, int x, int y);

// Shapes as regions, built only inside limit (rows outside it are left out, spans are cut
// just beyond its sides); kUnlimited builds the whole shape.
inline constexpr RECT kUnlimited{-0x7FFFFFFF, -0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
Region EllipseRegion(const RECT& box, const RECT& limit = kUnlimited);
Region PolygonFillRegion(const POINT* points, int count, int fillMode, const RECT& limit = kUnlimited);
// Outlines with the current pen; polygons filled with the current brush and fill mode, then
// outlined. Points are surface coordinates.
void StrokeSurfacePolyline(DeviceContext& dc, const std::vector<POINT>& points, bool closed);
void PaintSurfacePolygon(DeviceContext& dc, const std::vector<POINT>& points);
// The arc of the ellipse in box from the radial through start to the radial through end, in
// the direction given (AD_ codes); equal radials give the whole ellipse.
std::vector<POINT> FlattenArc(const RECT& box, POINT start, POINT end, int direction);
// Cubic Bézier curves as a polyline: a start point, then groups of two controls and an end.
std::vector<POINT> FlattenBeziers(const std::vector<POINT>& points);
// The box around every surface pixel drawing may touch.
RECT SurfaceClipBox(DeviceContext& dc);
