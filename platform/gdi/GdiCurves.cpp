// Elliptic arcs, pies, chords and Bézier curves, drawn as flattened polylines and polygons.

#include <algorithm>
#include <cmath>

#include "platform/gdi/Raster.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMostSegments = 4096;  // per curve, whatever its size
constexpr double kFarthest = 1 << 30;  // surface coordinates a flattened point may reach

DeviceContext* Ready(HDC handle) {
  DeviceContext* dc = LiveDc(handle);
  return dc && dc->Prepare() ? dc : nullptr;
}

POINT Rounded(double x, double y) {
  return POINT{static_cast<LONG>(std::lround(std::clamp(x, -kFarthest, kFarthest))),
               static_cast<LONG>(std::lround(std::clamp(y, -kFarthest, kFarthest)))};
}

void Append(std::vector<POINT>& out, POINT p) {
  if (out.empty() || out.back().x != p.x || out.back().y != p.y) out.push_back(p);
}

// An ellipse on pixel centres: the outline of Ellipse with a one-pixel pen runs through the
// pixels at left and right - 1, top and bottom - 1.
struct Oval {
  double cx = 0, cy = 0, a = 0, b = 0;
};

Oval OvalOf(const RECT& r) {
  const double left = std::min(r.left, r.right), right = std::max(r.left, r.right);
  const double top = std::min(r.top, r.bottom), bottom = std::max(r.top, r.bottom);
  return Oval{(left + right - 1) / 2, (top + bottom - 1) / 2, std::max(0.0, (right - left - 1) / 2),
              std::max(0.0, (bottom - top - 1) / 2)};
}

// The angle, on the ellipse's own parameter, where the ray from the centre towards (x, y)
// meets it; angles grow anticlockwise as seen on the screen.
double RadialAngle(const Oval& o, double x, double y) {
  const double dx = x - o.cx, dy = o.cy - y;
  if (dx == 0 && dy == 0) return 0;
  return std::atan2(dy * std::max(o.a, 1e-9), dx * std::max(o.b, 1e-9));
}

// Points along the ellipse from angle start over sweep (positive: anticlockwise).
void AppendArc(std::vector<POINT>& out, const Oval& o, double start, double sweep) {
  const double around = std::fabs(sweep) * std::max(o.a, o.b);
  const int segments = static_cast<int>(std::clamp(std::ceil(around / 1.5), 4.0, double(kMostSegments)));
  for (int i = 0; i <= segments; ++i) {
    const double t = start + sweep * i / segments;
    Append(out, Rounded(o.cx + o.a * std::cos(t), o.cy - o.b * std::sin(t)));
  }
}

std::vector<POINT> ArcPoints(const DeviceContext& dc, const RECT& box, POINT start, POINT end) {
  return FlattenArc(box, start, end, dc.state.arcDirection);
}

enum class ArcKind { Open, Pie, Chord };

BOOL DrawArc(HDC handle, ArcKind kind, bool fromPosition, const RECT& logical, POINT start, POINT end) {
  DeviceContext* dc = Ready(handle);
  if (!dc) return FALSE;
  const RECT box = dc->ToSurface(logical);
  if (box.left == box.right || box.top == box.bottom) return TRUE;
  std::vector<POINT> points = ArcPoints(*dc, box, dc->ToSurface(start.x, start.y), dc->ToSurface(end.x, end.y));
  if (kind == ArcKind::Pie) {
    const Oval o = OvalOf(box);
    points.insert(points.begin(), Rounded(o.cx, o.cy));
  }
  if (kind != ArcKind::Open) {
    PaintSurfacePolygon(*dc, points);
    return TRUE;
  }
  if (fromPosition) {
    points.insert(points.begin(), dc->ToSurface(dc->state.position.x, dc->state.position.y));
    const POINT o = dc->DeviceOffset();
    dc->state.position = POINT{points.back().x - o.x, points.back().y - o.y};
  }
  StrokeSurfacePolyline(*dc, points, false);
  return TRUE;
}

// One cubic segment flattened, without its first point.
void AppendBezier(std::vector<POINT>& out, const POINT* p) {
  double length = 0;
  for (int i = 0; i < 3; ++i) length += std::hypot(double(p[i + 1].x) - p[i].x, double(p[i + 1].y) - p[i].y);
  const int segments = static_cast<int>(std::clamp(std::ceil(length / 2), 1.0, double(kMostSegments)));
  for (int i = 1; i <= segments; ++i) {
    const double t = double(i) / segments, u = 1 - t;
    const double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
    Append(out, Rounded(w0 * p[0].x + w1 * p[1].x + w2 * p[2].x + w3 * p[3].x,
                        w0 * p[0].y + w1 * p[1].y + w2 * p[2].y + w3 * p[3].y));
  }
}

}  // namespace

std::vector<POINT> FlattenArc(const RECT& box, POINT start, POINT end, int direction) {
  const Oval o = OvalOf(box);
  const double from = RadialAngle(o, start.x, start.y), to = RadialAngle(o, end.x, end.y);
  double sweep = to - from;
  if (direction == AD_CLOCKWISE) {
    while (sweep >= 0) sweep -= 2 * kPi;
  } else {
    while (sweep <= 0) sweep += 2 * kPi;
  }
  std::vector<POINT> out;
  AppendArc(out, o, from, sweep);
  return out;
}

std::vector<POINT> FlattenBeziers(const std::vector<POINT>& in) {
  if (in.empty()) return {};
  std::vector<POINT> out{in[0]};
  for (size_t i = 0; i + 3 < in.size(); i += 3) AppendBezier(out, &in[i]);
  if (out.size() == 1) out.push_back(in[0]);
  return out;
}

int SetArcDirection(HDC handle, int direction) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || (direction != AD_CLOCKWISE && direction != AD_COUNTERCLOCKWISE)) return 0;
  const int previous = dc->state.arcDirection;
  dc->state.arcDirection = direction;
  return previous;
}

int GetArcDirection(HDC handle) {
  DeviceContext* dc = LiveDc(handle);
  return dc ? dc->state.arcDirection : 0;
}

BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
  return DrawArc(dc, ArcKind::Open, false, RECT{left, top, right, bottom}, POINT{xStart, yStart}, POINT{xEnd, yEnd});
}

BOOL ArcTo(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
  return DrawArc(dc, ArcKind::Open, true, RECT{left, top, right, bottom}, POINT{xStart, yStart}, POINT{xEnd, yEnd});
}

BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
  return DrawArc(dc, ArcKind::Pie, false, RECT{left, top, right, bottom}, POINT{xStart, yStart}, POINT{xEnd, yEnd});
}

BOOL Chord(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
  return DrawArc(dc, ArcKind::Chord, false, RECT{left, top, right, bottom}, POINT{xStart, yStart}, POINT{xEnd, yEnd});
}

BOOL AngleArc(HDC handle, int x, int y, DWORD radius, float startAngle, float sweepAngle) {
  DeviceContext* dc = Ready(handle);
  if (!dc || !std::isfinite(startAngle) || !std::isfinite(sweepAngle)) return FALSE;
  const POINT centre = dc->ToSurface(x, y);
  const double r = std::min<double>(radius, kFarthest);
  const Oval o{double(centre.x), double(centre.y), r, r};
  // Turns beyond a whole one draw nothing new.
  const double sweep = std::clamp(double(sweepAngle), -360.0, 360.0) * kPi / 180;
  std::vector<POINT> points{dc->ToSurface(dc->state.position.x, dc->state.position.y)};
  AppendArc(points, o, std::fmod(double(startAngle), 360.0) * kPi / 180, sweep);
  const POINT offset = dc->DeviceOffset();
  dc->state.position = POINT{points.back().x - offset.x, points.back().y - offset.y};
  if (points.size() == 1) points.push_back(points[0]);
  StrokeSurfacePolyline(*dc, points, false);
  return TRUE;
}

BOOL PolyBezier(HDC handle, const POINT* points, DWORD count) {
  DeviceContext* dc = Ready(handle);
  if (!dc || !points || count < 4 || (count - 1) % 3 != 0) return FALSE;
  std::vector<POINT> in;
  for (DWORD i = 0; i < count; ++i) in.push_back(dc->ToSurface(points[i].x, points[i].y));
  StrokeSurfacePolyline(*dc, FlattenBeziers(in), false);
  return TRUE;
}

BOOL PolyBezierTo(HDC handle, const POINT* points, DWORD count) {
  DeviceContext* dc = Ready(handle);
  if (!dc || !points || count < 3 || count % 3 != 0) return FALSE;
  std::vector<POINT> in{dc->ToSurface(dc->state.position.x, dc->state.position.y)};
  for (DWORD i = 0; i < count; ++i) in.push_back(dc->ToSurface(points[i].x, points[i].y));
  StrokeSurfacePolyline(*dc, FlattenBeziers(in), false);
  dc->state.position = points[count - 1];
  return TRUE;
}
