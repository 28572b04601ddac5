// Lines, shapes, rectangle fills and pattern blits.

#include <algorithm>
#include <cmath>

#include "platform/gdi/Raster.h"
#include "platform/gdi/Display.h"

namespace {

struct PenInfo {
  bool null = true;
  int width = 1;
  int style = PS_SOLID;
  std::uint32_t color = 0;
};

PenInfo CurrentPen(const DeviceContext& dc) {
  PenInfo info;
  PenObject* pen = LivePen(dc.state.pen);
  if (!pen || pen->log.lopnStyle == PS_NULL) return info;
  info.null = false;
  info.width = std::max<int>(1, pen->log.lopnWidth.x);
  info.style = static_cast<int>(pen->log.lopnStyle);
  COLORREF c = dc.state.pen == GetStockObject(DC_PEN) ? dc.state.dcPenColor : pen->log.lopnColor;
  info.color = PixelFromColor(c);
  return info;
}

// Dash patterns of the styled pens: lengths of alternating on and off runs.
const std::vector<int>& DashPattern(int style) {
  static const std::vector<int> dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
      dashDotDot{9, 3, 3, 3, 3, 3}, solid{};
  switch (style) {
    case PS_DASH: return dash;
    case PS_DOT: return dot;
    case PS_DASHDOT: return dashDot;
    case PS_DASHDOTDOT: return dashDotDot;
  }
  return solid;
}

// Cuts a very long segment down to the part near the box, so that its cost follows what can
// be seen; segments of ordinary length are left exactly as they are.
bool CutToBox(POINT& a, POINT& b, const RECT& box) {
  const double margin = 2.0;
  const double x0 = box.left - margin, y0 = box.top - margin, x1 = box.right + margin, y1 = box.bottom + margin;
  const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
  if (std::max(std::fabs(dx), std::fabs(dy)) <= 2.0 * ((x1 - x0) + (y1 - y0))) return true;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy}, q[4] = {a.x - x0, x1 - a.x, a.y - y0, y1 - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  const POINT from = a;
  a = POINT{static_cast<LONG>(std::lround(from.x + t0 * dx)), static_cast<LONG>(std::lround(from.y + t0 * dy))};
  b = POINT{static_cast<LONG>(std::lround(from.x + t1 * dx)), static_cast<LONG>(std::lround(from.y + t1 * dy))};
  return true;
}

// A one-pixel line from a to b in surface coordinates, without its last point.
void ThinLine(DeviceContext& dc, POINT a, POINT b, const PenInfo& pen) {
  if (!CutToBox(a, b, SurfaceClipBox(dc))) return;
  const std::vector<int>& dashes = DashPattern(pen.style);
  int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int err = dx + dy, x = a.x, y = a.y, step = 0;
  size_t dash = 0;
  int left = dashes.empty() ? 0 : dashes[0];
  std::uint32_t bk = PixelFromColor(dc.state.bkColor);
  while (x != b.x || y != b.y) {
    bool on = dashes.empty() || dash % 2 == 0;
    if (on)
      PlotSurfacePixel(dc, x, y, pen.color, dc.state.rop2);
    else if (dc.state.bkMode == OPAQUE)
      PlotSurfacePixel(dc, x, y, bk, dc.state.rop2);
    if (!dashes.empty() && --left == 0) {
      dash = (dash + 1) % dashes.size();
      left = dashes[dash];
    }
    ++step;
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

// A wide line as a region: the segment's quadrilateral with round ends.
Region WideLineRegion(POINT a, POINT b, int width, const RECT& limit) {
  double half = width / 2.0;
  double vx = double(b.x) - a.x, vy = double(b.y) - a.y, len = std::hypot(vx, vy);
  Region out;
  if (len > 0) {
    double nx = -vy / len * half, ny = vx / len * half;
    POINT quad[4] = {{static_cast<LONG>(std::lround(a.x + nx)), static_cast<LONG>(std::lround(a.y + ny))},
                     {static_cast<LONG>(std::lround(b.x + nx)), static_cast<LONG>(std::lround(b.y + ny))},
                     {static_cast<LONG>(std::lround(b.x - nx)), static_cast<LONG>(std::lround(b.y - ny))},
                     {static_cast<LONG>(std::lround(a.x - nx)), static_cast<LONG>(std::lround(a.y - ny))}};
    out = PolygonFillRegion(quad, 4, WINDING, limit);
  }
  int lo = width / 2, hi = width - lo;
  out = out.Union(EllipseRegion(RECT{a.x - lo, a.y - lo, a.x + hi, a.y + hi}, limit));
  out = out.Union(EllipseRegion(RECT{b.x - lo, b.y - lo, b.x + hi, b.y + hi}, limit));
  return out;
}

// Draws a polyline of surface points with the current pen.
void StrokePolyline(DeviceContext& dc, const std::vector<POINT>& pts, bool closed) {
  PenInfo pen = CurrentPen(dc);
  if (pen.null || pts.size() < 2) return;
  if (pen.width <= 1) {
    size_t segments = closed ? pts.size() : pts.size() - 1;
    for (size_t i = 0; i < segments; ++i) ThinLine(dc, pts[i], pts[(i + 1) % pts.size()], pen);
    return;
  }
  const RECT limit = SurfaceClipBox(dc);
  // Joints closer than a quarter of a wide pen add nothing the round ends do not cover, and
  // the pieces are merged pairwise, so that long curves in wide pens stay cheap.
  std::vector<POINT> kept{pts[0]};
  const double step = pen.width >= 8 ? pen.width / 4.0 : 0;
  for (size_t i = 1; i < pts.size(); ++i)
    if (i + 1 == pts.size() || std::hypot(double(pts[i].x) - kept.back().x, double(pts[i].y) - kept.back().y) >= step)
      kept.push_back(pts[i]);
  if (kept.size() < 2) kept.push_back(pts.back());
  std::vector<Region> parts;
  const size_t count = closed ? kept.size() : kept.size() - 1;
  for (size_t i = 0; i < count; ++i) parts.push_back(WideLineRegion(kept[i], kept[(i + 1) % kept.size()], pen.width, limit));
  while (parts.size() > 1) {
    std::vector<Region> merged;
    for (size_t i = 0; i < parts.size(); i += 2)
      merged.push_back(i + 1 < parts.size() ? parts[i].Union(parts[i + 1]) : parts[i]);
    parts.swap(merged);
  }
  if (!parts.empty()) FillSurfaceRegion(dc, parts[0], SolidPaint(pen.color), dc.state.rop2);
}

std::vector<POINT> ToSurface(const DeviceContext& dc, const POINT* points, int count) {
  std::vector<POINT> out;
  for (int i = 0; i < count; ++i) out.push_back(dc.ToSurface(points[i].x, points[i].y));
  return out;
}

RECT Normalized(int left, int top, int right, int bottom) {
  return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
              std::max(top, bottom)};
}

// Fills the interior and draws the outline of a shape given as its outer region; the
// outline is the outer region less the region shrunk by the pen width.
void PaintShape(DeviceContext& dc, const Region& outer, const Region& inner, bool penNull) {
  BrushPaint brush = MakeBrushPaint(dc, dc.state.brush);
  FillSurfaceRegion(dc, penNull ? outer : inner, brush, dc.state.rop2);
  if (!penNull) {
    PenInfo pen = CurrentPen(dc);
    FillSurfaceRegion(dc, outer.Subtract(inner), SolidPaint(pen.color), dc.state.rop2);
  }
}

DeviceContext* Ready(HDC handle) {
  DeviceContext* dc = LiveDc(handle);
  return dc && dc->Prepare() ? dc : nullptr;
}

}  // namespace

COLORREF SetPixel(HDC handle, int x, int y, COLORREF colour) {
  DeviceContext* dc = Ready(handle);
  if (!dc) return CLR_INVALID;
  POINT p = dc->ToSurface(x, y);
  if (!SurfacePixelVisible(*dc, p.x, p.y)) return CLR_INVALID;
  dc->surface.Row(p.y)[p.x] = PixelFromColor(colour);
  return colour & 0xFFFFFF;
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF colour) {
  return SetPixel(dc, x, y, colour) != CLR_INVALID ? TRUE : FALSE;
}

COLORREF GetPixel(HDC handle, int x, int y) {
  DeviceContext* dc = Ready(handle);
  if (!dc) return CLR_INVALID;
  POINT p = dc->ToSurface(x, y);
  if (!SurfacePixelVisible(*dc, p.x, p.y)) return CLR_INVALID;
  return ColorFromPixel(dc->surface.Row(p.y)[p.x]);
}

BOOL LineTo(HDC handle, int x, int y) {
  DeviceContext* dc = Ready(handle);
  if (!dc) return FALSE;
  POINT from = dc->ToSurface(dc->state.position.x, dc->state.position.y);
  StrokePolyline(*dc, {from, dc->ToSurface(x, y)}, false);
  dc->state.position = POINT{x, y};
  return TRUE;
}

BOOL Polyline(HDC handle, const POINT* points, int count) {
  DeviceContext* dc = Ready(handle);
  if (!dc || !points || count < 2) return FALSE;
  StrokePolyline(*dc, ToSurface(*dc, points, count), false);
  return TRUE;
}

BOOL PolyPolyline(HDC handle, const POINT* points, const DWORD* counts, DWORD polylines) {
  if (!points || !counts) return FALSE;
  for (DWORD i = 0; i < polylines; ++i) {
    if (!Polyline(handle, points, static_cast<int>(counts[i]))) return FALSE;
    points += counts[i];
  }
  return TRUE;
}

void StrokeSurfacePolyline(DeviceContext& dc, const std::vector<POINT>& points, bool closed) {
  StrokePolyline(dc, points, closed);
}

void PaintSurfacePolygon(DeviceContext& dc, const std::vector<POINT>& points) {
  FillSurfaceRegion(dc, PolygonFillRegion(points.data(), static_cast<int>(points.size()), dc.state.polyFillMode,
                                          SurfaceClipBox(dc)),
                    MakeBrushPaint(dc, dc.state.brush), dc.state.rop2);
  StrokePolyline(dc, points, true);
}

BOOL Polygon(HDC handle, const POINT* points, int count) {
  DeviceContext* dc = Ready(handle);
  if (!dc || !points || count < 2) return FALSE;
  PaintSurfacePolygon(*dc, ToSurface(*dc, points, count));
  return TRUE;
}

// A printer's rectangle, with the context's pen and brush.
static BOOL PrintRectangle(DeviceContext& dc, RECT box) {
  LOGPEN pen{};
  LOGBRUSH brush{};
  const bool hasPen = GetObject(dc.state.pen, sizeof(pen), &pen) > 0 && pen.lopnStyle != PS_NULL;
  const bool hasBrush = GetObject(dc.state.brush, sizeof(brush), &brush) > 0 && brush.lbStyle != BS_NULL;
  return dc.printer->Rect(dc.ToSurface(box), hasPen ? &pen : nullptr, hasBrush ? &brush : nullptr) ? TRUE : FALSE;
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom) {
  if (DeviceContext* printing = LiveDc(handle); printing && printing->printer)
    return PrintRectangle(*printing, Normalized(left, top, right, bottom));
  DeviceContext* dc = Ready(handle);
  if (!dc) return FALSE;
  RECT r = dc->ToSurface(Normalized(left, top, right, bottom));
  PenInfo pen = CurrentPen(*dc);
  if (pen.null) {
    // Without a pen the fill covers one pixel less at the right and bottom.
    PaintShape(*dc, Region(RECT{r.left, r.top, r.right - 1, r.bottom - 1}), Region(), true);
    return TRUE;
  }
  int w = pen.width;
  int out = pen.style == PS_INSIDEFRAME ? 0 : w / 2;
  RECT outer{r.left - out, r.top - out, r.right + (w > 1 && pen.style != PS_INSIDEFRAME ? w - out - 1 : 0),
             r.bottom + (w > 1 && pen.style != PS_INSIDEFRAME ? w - out - 1 : 0)};
  RECT inner{outer.left + w, outer.top + w, outer.right - w, outer.bottom - w};
  if (pen.style >= PS_DASH && pen.style <= PS_DASHDOTDOT) {
    FillSurfaceRegion(*dc, Region(inner), MakeBrushPaint(*dc, dc->state.brush), dc->state.rop2);
    std::vector<POINT> box{{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
    StrokePolyline(*dc, box, true);
    return TRUE;
  }
  PaintShape(*dc, Region(outer), Region(inner), false);
  return TRUE;
}

BOOL RoundRect(HDC handle, int left, int top, int right, int bottom, int width, int height) {
  DeviceContext* dc = Ready(handle);
  if (!dc) return FALSE;
  RECT r = dc->ToSurface(Normalized(left, top, right, bottom));
  width = static_cast<int>(std::min<std::int64_t>(std::abs(std::int64_t(width)), std::int64_t(r.right) - r.left));
  height = static_cast<int>(std::min<std::int64_t>(std::abs(std::int64_t(height)), std::int64_t(r.bottom) - r.top));
  const RECT limit = SurfaceClipBox(*dc);
  auto rounded = [&](RECT b, int w, int h) {
    Region shape = Region(RECT{b.left + w / 2, b.top, b.right - w / 2, b.bottom})
                       .Union(Region(RECT{b.left, b.top + h / 2, b.right, b.bottom - h / 2}));
    shape = shape.Union(EllipseRegion(RECT{b.left, b.top, b.left + w, b.top + h}, limit));
    shape = shape.Union(EllipseRegion(RECT{b.right - w, b.top, b.right, b.top + h}, limit));
    shape = shape.Union(EllipseRegion(RECT{b.left, b.bottom - h, b.left + w, b.bottom}, limit));
    shape = shape.Union(EllipseRegion(RECT{b.right - w, b.bottom - h, b.right, b.bottom}, limit));
    return shape;
  };
  PenInfo pen = CurrentPen(*dc);
  int pw = pen.null ? 0 : pen.width;
  RECT inner{r.left + pw, r.top + pw, r.right - pw, r.bottom - pw};
  PaintShape(*dc, rounded(r, width, height),
             rounded(inner, std::max(0, width - 2 * pw), std::max(0, height - 2 * pw)), pen.null);
  return TRUE;
}

BOOL Ellipse(HDC handle, int left, int top, int right, int bottom) {
  DeviceContext* dc = Ready(handle);
  if (!dc) return FALSE;
  RECT r = dc->ToSurface(Normalized(left, top, right, bottom));
  PenInfo pen = CurrentPen(*dc);
  const RECT limit = SurfaceClipBox(*dc);
  if (pen.null) {
    PaintShape(*dc, EllipseRegion(RECT{r.left, r.top, r.right - 1, r.bottom - 1}, limit), Region(), true);
    return TRUE;
  }
  int w = pen.width;
  RECT inner{r.left + w, r.top + w, r.right - w, r.bottom - w};
  PaintShape(*dc, EllipseRegion(r, limit), EllipseRegion(inner, limit), false);
  return TRUE;
}

BOOL FillRect(HDC handle, const RECT* rect, HBRUSH brush) {
  DeviceContext* dc = Ready(handle);
  if (!dc || !rect) return FALSE;
  // A small number names a system colour: index + 1, as window classes give it.
  auto index = reinterpret_cast<std::uintptr_t>(brush);
  if (index > 0 && index <= static_cast<std::uintptr_t>(COLOR_COUNT)) brush = GetSysColorBrush(static_cast<int>(index - 1));
  FillSurfaceRegion(*dc, Region(dc->ToSurface(*rect)), MakeBrushPaint(*dc, brush), R2_COPYPEN);
  return TRUE;
}

BOOL FrameRect(HDC handle, const RECT* rect, HBRUSH brush) {
  DeviceContext* dc = Ready(handle);
  if (!dc || !rect) return FALSE;
  RECT r = dc->ToSurface(*rect);
  if (RectEmpty(r)) return TRUE;
  Region frame = Region(r).Subtract(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
  FillSurfaceRegion(*dc, frame, MakeBrushPaint(*dc, brush), R2_COPYPEN);
  return TRUE;
}

BOOL InvertRect(HDC handle, const RECT* rect) {
  DeviceContext* dc = Ready(handle);
  if (!dc || !rect) return FALSE;
  FillSurfaceRegion(*dc, Region(dc->ToSurface(*rect)), SolidPaint(0), R2_NOT);
  return TRUE;
}

namespace {

// Fills a region object (logical coordinates) with the brush or an inversion.
BOOL FillRegionObject(HDC handle, HRGN region, HBRUSH brush, bool invert) {
  DeviceContext* dc = Ready(handle);
  RegionObject* r = LiveRegion(region);
  if (!dc || !r) return FALSE;
  Region shape = r->region;
  POINT o = dc->DeviceOffset();
  shape.Offset(o.x, o.y);
  if (invert)
    FillSurfaceRegion(*dc, shape, SolidPaint(0), R2_NOT);
  else
    FillSurfaceRegion(*dc, shape, MakeBrushPaint(*dc, brush), R2_COPYPEN);
  return TRUE;
}

}  // namespace

BOOL FillRgn(HDC handle, HRGN region, HBRUSH brush) {
  return FillRegionObject(handle, region, brush, false);
}

BOOL PaintRgn(HDC handle, HRGN region) {
  DeviceContext* dc = LiveDc(handle);
  return dc ? FillRgn(handle, region, dc->state.brush) : FALSE;
}

BOOL InvertRgn(HDC handle, HRGN region) { return FillRegionObject(handle, region, nullptr, true); }

BOOL FrameRgn(HDC handle, HRGN region, HBRUSH brush, int width, int height) {
  DeviceContext* dc = Ready(handle);
  RegionObject* r = LiveRegion(region);
  if (!dc || !r) return FALSE;
  // The frame is the region less itself moved inwards from each side.
  Region inner = r->region;
  for (int dx : {-width, width}) {
    Region moved = r->region;
    moved.Offset(dx, 0);
    inner = inner.Intersect(moved);
  }
  for (int dy : {-height, height}) {
    Region moved = r->region;
    moved.Offset(0, dy);
    inner = inner.Intersect(moved);
  }
  Region frame = r->region.Subtract(inner);
  POINT o = dc->DeviceOffset();
  frame.Offset(o.x, o.y);
  FillSurfaceRegion(*dc, frame, MakeBrushPaint(*dc, brush), R2_COPYPEN);
  return TRUE;
}
