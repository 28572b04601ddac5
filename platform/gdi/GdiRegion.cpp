// Region objects and the clipping calls of device contexts.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Raster.h"

namespace {

HRGN NewRegion(Region region) {
  auto object = std::make_unique<RegionObject>();
  object->region = std::move(region);
  return AdoptGdiObject(std::move(object));
}

RECT Ordered(int left, int top, int right, int bottom) {
  return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
              std::max(top, bottom)};
}

// The rows of a polygon filled by the scan-line rule: a pixel belongs when its centre is
// inside, by the alternate (even-odd) or the winding rule. Only rows and columns inside
// limit are built, so that the work follows what can be seen, not the polygon's size.
Region PolygonRegion(const POINT* points, int count, int fillMode, const RECT& limit) {
  std::vector<RECT> rows;
  if (!points || count < 3) return Region();
  LONG top = points[0].y, bottom = points[0].y;
  for (int i = 1; i < count; ++i) {
    top = std::min(top, points[i].y);
    bottom = std::max(bottom, points[i].y);
  }
  top = std::max(top, limit.top);
  bottom = std::min(bottom, limit.bottom);
  const double leftmost = limit.left - 1.0, rightmost = limit.right + 1.0;
  struct Crossing {
    double x;
    int dir;
  };
  // Edges by their upper end; each row looks only at the edges spanning it.
  struct Edge {
    double ax, ay, bx, by, y0, y1;
    int dir;
  };
  std::vector<Edge> edges;
  for (int i = 0; i < count; ++i) {
    const POINT& a = points[i];
    const POINT& b = points[(i + 1) % count];
    if (a.y == b.y) continue;
    const bool down = a.y < b.y;
    edges.push_back({double(a.x), double(a.y), double(b.x), double(b.y), double(down ? a.y : b.y),
                     double(down ? b.y : a.y), down ? 1 : -1});
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& p, const Edge& q) { return p.y0 < q.y0; });
  std::vector<const Edge*> active;
  size_t next = 0;
  std::vector<Crossing> xs;
  for (LONG y = top; y < bottom; ++y) {
    double cy = y + 0.5;
    while (next < edges.size() && edges[next].y0 <= cy) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(), [cy](const Edge* e) { return e->y1 <= cy; }),
                 active.end());
    xs.clear();
    for (const Edge* e : active) {
      double t = (cy - e->ay) / (e->by - e->ay);
      xs.push_back({e->ax + t * (e->bx - e->ax), e->dir});
    }
    std::sort(xs.begin(), xs.end(), [](const Crossing& p, const Crossing& q) { return p.x < q.x; });
    int winding = 0;
    for (size_t k = 0; k + 1 < xs.size(); ++k) {
      winding += xs[k].dir;
      bool inside = fillMode == WINDING ? winding != 0 : (k % 2) == 0;
      if (!inside) continue;
      LONG x0 = static_cast<LONG>(std::ceil(std::clamp(xs[k].x, leftmost, rightmost) - 0.5));
      LONG x1 = static_cast<LONG>(std::ceil(std::clamp(xs[k + 1].x, leftmost, rightmost) - 0.5));
      if (x1 > x0) rows.push_back({x0, y, x1, y + 1});
    }
  }
  return Region::FromRects(rows);
}

}  // namespace

Region EllipseRegion(const RECT& box, const RECT& limit) {
  std::vector<RECT> rows;
  double w = double(box.right) - box.left, h = double(box.bottom) - box.top;
  if (w <= 0 || h <= 0) return Region();
  double cx = box.left + w / 2.0, cy = box.top + h / 2.0, a = w / 2.0, b = h / 2.0;
  const double leftmost = limit.left - 1.0, rightmost = limit.right + 1.0;
  for (LONG y = std::max(box.top, limit.top); y < std::min(box.bottom, limit.bottom); ++y) {
    double dy = (y + 0.5 - cy) / b;
    double dx = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
    LONG x0 = static_cast<LONG>(std::lround(std::clamp(cx - dx, leftmost, rightmost)));
    LONG x1 = static_cast<LONG>(std::lround(std::clamp(cx + dx, leftmost, rightmost)));
    if (x1 > x0) rows.push_back({x0, y, x1, y + 1});
  }
  return Region::FromRects(rows);
}

Region PolygonFillRegion(const POINT* points, int count, int fillMode, const RECT& limit) {
  return PolygonRegion(points, count, fillMode, limit);
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRegion(Region(Ordered(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) return nullptr;
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  return NewRegion(EllipseRegion(Ordered(left, top, right, bottom), kUnlimited));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  return NewRegion(PolygonRegion(points, count, fillMode, kUnlimited));
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
  RegionObject* d = LiveRegion(dest);
  RegionObject* ra = LiveRegion(a);
  if (!d || !ra) return ERROR;
  if (mode == RGN_COPY) {
    d->region = ra->region;
    return d->region.Complexity();
  }
  RegionObject* rb = LiveRegion(b);
  if (!rb) return ERROR;
  Region::Op op;
  switch (mode) {
    case RGN_AND: op = Region::Op::And; break;
    case RGN_OR: op = Region::Op::Or; break;
    case RGN_XOR: op = Region::Op::Xor; break;
    case RGN_DIFF: op = Region::Op::Diff; break;
    default: return ERROR;
  }
  d->region = ra->region.Combine(rb->region, op);
  return d->region.Complexity();
}

int OffsetRgn(HRGN region, int dx, int dy) {
  RegionObject* r = LiveRegion(region);
  if (!r) return ERROR;
  r->region.Offset(dx, dy);
  return r->region.Complexity();
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
  RegionObject* r = LiveRegion(region);
  if (!r) return FALSE;
  r->region = Region(Ordered(left, top, right, bottom));
  return TRUE;
}

int GetRgnBox(HRGN region, RECT* out) {
  RegionObject* r = LiveRegion(region);
  if (!r || !out) return ERROR;
  *out = r->region.Bounds();
  return r->region.Complexity();
}

DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data) {
  RegionObject* r = LiveRegion(region);
  if (!r) return 0;
  const std::vector<RECT>& rects = r->region.Rects();
  const DWORD rectBytes = static_cast<DWORD>(rects.size() * sizeof(RECT));
  const DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER)) + rectBytes;
  if (!data) return needed;
  if (size < needed) return 0;
  data->rdh = RGNDATAHEADER{};
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = rectBytes;
  data->rdh.rcBound = rects.empty() ? RECT{} : r->region.Bounds();
  // The rectangles follow the header; the caller's buffer need not be aligned for RECT.
  if (!rects.empty()) std::memcpy(reinterpret_cast<BYTE*>(data) + sizeof(RGNDATAHEADER), rects.data(), rectBytes);
  return size;
}

BOOL PtInRegion(HRGN region, int x, int y) {
  RegionObject* r = LiveRegion(region);
  return r && r->region.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
  RegionObject* r = LiveRegion(region);
  return r && rect && r->region.Intersects(*rect) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  RegionObject* ra = LiveRegion(a);
  RegionObject* rb = LiveRegion(b);
  return ra && rb && ra->region == rb->region ? TRUE : FALSE;
}

// Clipping. The clip region is kept in device coordinates; rectangles given to the calls
// are logical and moved by the viewport and window origins.

namespace {

RECT LogicalToDevice(const DeviceContext& dc, RECT r) {
  int dx = dc.state.viewportOrg.x - dc.state.windowOrg.x;
  int dy = dc.state.viewportOrg.y - dc.state.windowOrg.y;
  return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The region the context can draw on now, in device coordinates.
Region DeviceVisible(DeviceContext& dc) {
  dc.Prepare();
  Region v = dc.visible.Intersect(RECT{0, 0, dc.surface.width, dc.surface.height});
  v.Offset(-dc.origin.x, -dc.origin.y);
  return v;
}

Region CurrentClip(DeviceContext& dc) {
  return dc.state.hasClip ? dc.state.clip : DeviceVisible(dc);
}

int SetClip(DeviceContext& dc, Region clip) {
  dc.state.clip = std::move(clip);
  dc.state.hasClip = true;
  dc.InvalidateClip();
  return dc.state.clip.Intersect(DeviceVisible(dc)).Complexity();
}

}  // namespace

int SelectClipRgn(HDC handle, HRGN region) { return ExtSelectClipRgn(handle, region, RGN_COPY); }

int ExtSelectClipRgn(HDC handle, HRGN region, int mode) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return ERROR;
  RegionObject* r = LiveRegion(region);
  if (!r) {
    if (mode != RGN_COPY) return ERROR;
    dc->state.hasClip = false;  // a null region removes the clip
    dc->InvalidateClip();
    return DeviceVisible(*dc).Complexity();
  }
  if (mode == RGN_COPY) return SetClip(*dc, r->region);
  Region current = CurrentClip(*dc);
  switch (mode) {
    case RGN_AND: return SetClip(*dc, current.Intersect(r->region));
    case RGN_OR: return SetClip(*dc, current.Union(r->region));
    case RGN_XOR: return SetClip(*dc, current.Combine(r->region, Region::Op::Xor));
    case RGN_DIFF: return SetClip(*dc, current.Subtract(r->region));
  }
  return ERROR;
}

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return ERROR;
  RECT r = LogicalToDevice(*dc, Ordered(left, top, right, bottom));
  return SetClip(*dc, CurrentClip(*dc).Intersect(r));
}

int ExcludeClipRect(HDC handle, int left, int top, int right, int bottom) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return ERROR;
  RECT r = LogicalToDevice(*dc, Ordered(left, top, right, bottom));
  return SetClip(*dc, CurrentClip(*dc).Subtract(r));
}

int OffsetClipRgn(HDC handle, int dx, int dy) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return ERROR;
  if (!dc->state.hasClip) return DeviceVisible(*dc).Complexity();
  Region clip = dc->state.clip;
  clip.Offset(dx, dy);
  return SetClip(*dc, clip);
}

int GetClipBox(HDC handle, RECT* out) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !out) return ERROR;
  Region effective = DeviceVisible(*dc);
  if (dc->state.hasClip) effective = effective.Intersect(dc->state.clip);
  RECT box = effective.Bounds();
  int dx = dc->state.viewportOrg.x - dc->state.windowOrg.x;
  int dy = dc->state.viewportOrg.y - dc->state.windowOrg.y;
  *out = effective.Empty() ? RECT{} : RECT{box.left - dx, box.top - dy, box.right - dx, box.bottom - dy};
  return effective.Complexity();
}

int GetClipRgn(HDC handle, HRGN out) {
  DeviceContext* dc = LiveDc(handle);
  RegionObject* r = LiveRegion(out);
  if (!dc || !r) return -1;
  if (!dc->state.hasClip) return 0;
  r->region = dc->state.clip;
  return 1;
}

BOOL PtVisible(HDC handle, int x, int y) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !dc->Prepare()) return FALSE;
  POINT p = dc->ToSurface(x, y);
  for (const RECT& r : dc->ClipRects())
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return TRUE;
  return FALSE;
}

BOOL RectVisible(HDC handle, const RECT* rect) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !rect || !dc->Prepare()) return FALSE;
  RECT s = dc->ToSurface(*rect);
  for (const RECT& r : dc->ClipRects())
    if (!RectEmpty(RectIntersection(r, s))) return TRUE;
  return FALSE;
}
