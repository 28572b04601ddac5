// Arcs, Bézier curves and paths of metafiles. Paths are kept here as figures of device points
// and filled or outlined through the context when the metafile asks.

#include <algorithm>
#include <cmath>

#include "platform/gdi/MetafilePlayer.h"
#include "platform/gdi/Raster.h"

namespace {

enum : std::uint32_t {
  POLYBEZIER = 2, POLYBEZIERTO = 5, POLYLINETO = 6, ANGLEARC = 41, ARC = 45, CHORD = 46, PIE = 47,
  ARCTO = 55, POLYDRAW = 56, SETARCDIRECTION = 57, BEGINPATH = 59, ENDPATH = 60, CLOSEFIGURE = 61, FILLPATH = 62,
  STROKEANDFILLPATH = 63, STROKEPATH = 64, FLATTENPATH = 65, SELECTCLIPPATH = 67, ABORTPATH = 68,
  POLYBEZIER16 = 85, POLYBEZIERTO16 = 88, POLYLINETO16 = 89, POLYDRAW16 = 92,
};

// Point kinds of the mixed point lists.
constexpr std::uint8_t PT_CLOSEFIGURE = 1, PT_LINETO = 2, PT_BEZIERTO = 4, PT_MOVETO = 6;

constexpr size_t kMostPathPoints = size_t(1) << 20;
constexpr double kPi = 3.14159265358979323846;

// Several closed figures as one polygon: each figure is followed by a step to the next one's
// start, and the steps are walked back at the end, so they cancel under either fill rule.
std::vector<POINT> Joined(const std::vector<std::vector<POINT>>& figures) {
  std::vector<POINT> out, starts;
  for (const auto& figure : figures) {
    if (figure.empty()) continue;
    out.insert(out.end(), figure.begin(), figure.end());
    out.push_back(figure[0]);
    starts.push_back(figure[0]);
  }
  for (size_t i = starts.size(); i-- > 1;) out.push_back(starts[i - 1]);
  return out;
}

}  // namespace

bool IsCurveOrPathRecord(std::uint32_t type) {
  switch (type) {
    case POLYBEZIER: case POLYBEZIERTO: case POLYLINETO: case ANGLEARC: case ARC: case CHORD:
    case PIE: case ARCTO: case SETARCDIRECTION: case BEGINPATH: case ENDPATH: case CLOSEFIGURE:
    case FILLPATH: case STROKEANDFILLPATH: case STROKEPATH: case FLATTENPATH: case SELECTCLIPPATH:
    case ABORTPATH: case POLYBEZIER16: case POLYBEZIERTO16: case POLYLINETO16: case POLYDRAW:
    case POLYDRAW16:
      return true;
  }
  return false;
}

// Whether logical space is turned over on its way to the picture, which turns arcs round.
bool MetafilePlayer::Mirrored() const {
  const double* w = mapping_.world;
  double sign = w[0] * w[3] - w[1] * w[2];
  if (windows_) {
    sign *= mapping_.windowExtX * mapping_.windowExtY;
  } else {
    double sx, sy;
    ScaleWithMapMode(sx, sy);
    sign *= sx * sy;
  }
  return sign < 0;
}

int MetafilePlayer::UseArcDirection(bool anticlockwise) {
  const int direction = anticlockwise != Mirrored() ? AD_COUNTERCLOCKWISE : AD_CLOCKWISE;
  SetArcDirection(dc_, direction);
  return direction;
}

// kind: 0 arc, 1 chord, 2 pie, 3 arc joined to the current position.
void MetafilePlayer::ArcShape(int kind, double l, double t, double r, double b, double xs, double ys,
                              double xe, double ye) {
  const double cx = (l + r) / 2, cy = (t + b) / 2, reach = std::max({std::fabs(r - l), std::fabs(b - t), 1.0});
  // The radials only give directions: they are brought near the box before mapping, so that
  // pulling in wild coordinates cannot turn them.
  auto radial = [&](double x, double y) {
    const double dx = x - cx, dy = y - cy, length = std::hypot(dx, dy);
    return length == 0 ? Map(cx, cy) : Map(cx + dx / length * reach, cy + dy / length * reach);
  };
  const POINT p = Map(l, t), q = Map(r, b), s = radial(xs, ys), e = radial(xe, ye);
  const int left = std::min(p.x, q.x), right = std::max(p.x, q.x);
  const int top = std::min(p.y, q.y), bottom = std::max(p.y, q.y);
  const int direction = UseArcDirection(mapping_.arcDirection == AD_COUNTERCLOCKWISE);
  if (inPath_) {
    if (left == right || top == bottom) return;
    std::vector<POINT> points = FlattenArc(RECT{left, top, right, bottom}, s, e, direction);
    if (kind == 2) points.insert(points.begin(), POINT{(left + right - 1) / 2, (top + bottom - 1) / 2});
    return PathAdd(points, kind == 3, kind == 1 || kind == 2);
  }
  switch (kind) {
    case 0: Arc(dc_, left, top, right, bottom, s.x, s.y, e.x, e.y); break;
    case 1: Chord(dc_, left, top, right, bottom, s.x, s.y, e.x, e.y); break;
    case 2: Pie(dc_, left, top, right, bottom, s.x, s.y, e.x, e.y); break;
    case 3: ArcTo(dc_, left, top, right, bottom, s.x, s.y, e.x, e.y); break;
  }
}

// A line from the current position to the circle, then the arc; angles in degrees,
// anticlockwise in logical space.
void MetafilePlayer::AngleArcShape(double x, double y, double radius, double start, double sweep) {
  if (inPath_) MetafileFault();
  const double a = start * kPi / 180, z = (start + std::clamp(sweep, -360.0, 360.0)) * kPi / 180;
  const double sx = x + radius * std::cos(a), sy = y - radius * std::sin(a);
  const double ex = x + radius * std::cos(z), ey = y - radius * std::sin(z);
  const POINT from = Map(sx, sy), to = Map(ex, ey);
  LineTo(dc_, from.x, from.y);
  if (sweep != 0 && radius > 0) {
    const POINT p = Map(x - radius, y - radius), q = Map(x + radius, y + radius);
    UseArcDirection(sweep > 0);
    // A whole turn starts and ends on the same radial, which draws the whole circle.
    Arc(dc_, std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y), from.x, from.y,
        to.x, to.y);
  }
  MoveToEx(dc_, to.x, to.y, nullptr);
}

void MetafilePlayer::FillFigures(const std::vector<std::vector<POINT>>& figures, const std::vector<bool>& closed,
                                 bool fill, bool stroke) {
  if (fill) {
    const std::vector<POINT> joined = Joined(figures);
    if (joined.size() >= 3) {
      const HGDIOBJ pen = SelectObject(dc_, GetStockObject(NULL_PEN));
      Polygon(dc_, joined.data(), static_cast<int>(joined.size()));
      SelectObject(dc_, pen);
    }
  }
  if (!stroke) return;
  for (size_t i = 0; i < figures.size(); ++i) {
    std::vector<POINT> line = figures[i];
    if (line.empty()) continue;
    if (closed[i] || fill) line.push_back(line[0]);  // filled figures are closed
    if (line.size() == 1) line.push_back(line[0]);
    Polyline(dc_, line.data(), static_cast<int>(line.size()));
  }
}

void MetafilePlayer::PathMove(POINT p) {
  if (!inPath_) return;
  if (!figures_.empty() && figures_.back().size() == 1 && !figureClosed_.back()) {
    figures_.back()[0] = p;  // a move after a move only moves the start
    return;
  }
  PathAdd({p}, false, false);
}

void MetafilePlayer::PathAdd(const std::vector<POINT>& points, bool fromPosition, bool closed) {
  pathPoints_ += points.size() + 1;
  if (pathPoints_ > kMostPathPoints) MetafileFault();
  if (fromPosition) {
    if (figures_.empty() || figureClosed_.back()) {
      POINT at;
      GetCurrentPositionEx(dc_, &at);
      figures_.push_back({at});
      figureClosed_.push_back(false);
    }
    figures_.back().insert(figures_.back().end(), points.begin(), points.end());
    if (!points.empty()) MoveToEx(dc_, points.back().x, points.back().y, nullptr);
    return;
  }
  figures_.push_back(points);
  figureClosed_.push_back(closed);
}

void MetafilePlayer::EnhancedCurves(std::uint32_t type, const RecordFields& f) {
  switch (type) {
    case ARC: case CHORD: case PIE: case ARCTO:
      ArcShape(type == ARC ? 0 : type == CHORD ? 1 : type == PIE ? 2 : 3, f.I32(8), f.I32(12), f.I32(16), f.I32(20),
               f.I32(24), f.I32(28), f.I32(32), f.I32(36));
      return;
    case ANGLEARC: AngleArcShape(f.I32(8), f.I32(12), f.U32(16), f.F32(20), f.F32(24)); return;
    case SETARCDIRECTION:
      if (f.U32(8) == AD_CLOCKWISE || f.U32(8) == AD_COUNTERCLOCKWISE) mapping_.arcDirection = f.I32(8);
      return;
  }
  if (type >= BEGINPATH && type <= ABORTPATH) return EnhancedPath(type, f);
  if (type == POLYDRAW || type == POLYDRAW16) return PolyDraw(f, type == POLYDRAW16);
  // Point lists: bounds, a count, the points.
  const bool small = type >= POLYBEZIER16;
  const size_t count = f.U32(24), size = small ? 4 : 8;
  if (count > f.Size() / size) MetafileFault();
  f.Bytes(28, count * size);
  std::vector<POINT> points;
  const bool to = type != POLYBEZIER && type != POLYBEZIER16;
  if (to) {
    POINT at;
    GetCurrentPositionEx(dc_, &at);
    points.push_back(at);
  }
  for (size_t i = 0; i < count; ++i) {
    const size_t at = 28 + i * size;
    points.push_back(small ? Map(f.I16(at), f.I16(at + 2)) : Map(f.I32(at), f.I32(at + 4)));
  }
  const bool bezier = type != POLYLINETO && type != POLYLINETO16;
  if (points.size() < 2 || (bezier && (points.size() - 1) % 3 != 0)) return;  // nothing GDI would draw
  std::vector<POINT> line = bezier ? FlattenBeziers(points) : points;
  if (inPath_) {
    if (to) return PathAdd(std::vector<POINT>(line.begin() + 1, line.end()), true, false);
    return PathAdd(line, false, false);
  }
  Polyline(dc_, line.data(), static_cast<int>(line.size()));
  if (to) MoveToEx(dc_, points.back().x, points.back().y, nullptr);
}

void MetafilePlayer::EnhancedPath(std::uint32_t type, const RecordFields& f) {
  switch (type) {
    case BEGINPATH:
      inPath_ = true;
      figures_.clear(), figureClosed_.clear(), pathPoints_ = 0;
      return;
    case ENDPATH: inPath_ = false; return;
    case ABORTPATH:
      inPath_ = false;
      figures_.clear(), figureClosed_.clear(), pathPoints_ = 0;
      return;
    case CLOSEFIGURE:
      if (!figureClosed_.empty()) {
        figureClosed_.back() = true;
        if (!figures_.back().empty()) MoveToEx(dc_, figures_.back()[0].x, figures_.back()[0].y, nullptr);
      }
      return;
    case FLATTENPATH: return;  // curves are flattened as they are recorded
    case FILLPATH: case STROKEPATH: case STROKEANDFILLPATH:
      inPath_ = false;
      FillFigures(figures_, figureClosed_, type != STROKEPATH, type != FILLPATH);
      figures_.clear(), figureClosed_.clear(), pathPoints_ = 0;
      return;
    case SELECTCLIPPATH: {
      inPath_ = false;
      const std::vector<POINT> joined = Joined(figures_);
      figures_.clear(), figureClosed_.clear(), pathPoints_ = 0;
      const int mode = f.I32(8);
      if (mode < RGN_AND || mode > RGN_COPY) MetafileFault();
      const HRGN region = CreatePolygonRgn(joined.data(), static_cast<int>(joined.size()), GetPolyFillMode(dc_));
      ExtSelectClipRgn(dc_, region, mode);
      DeleteObject(region);
      IntersectClipRect(dc_, target_.left, target_.top, target_.right, target_.bottom);
      return;
    }
  }
  MetafileFault();
}

// Moves, lines and curves in one list, each point with its kind; a kind may also close the
// figure it ends.
void MetafilePlayer::PolyDraw(const RecordFields& f, bool small) {
  const size_t count = f.U32(24), size = small ? 4 : 8;
  if (count > f.Size() / (size + 1)) MetafileFault();
  const std::uint8_t* kinds = f.Bytes(28 + count * size, count);
  std::vector<POINT> points;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = 28 + i * size;
    points.push_back(small ? Map(f.I16(at), f.I16(at + 2)) : Map(f.I32(at), f.I32(at + 4)));
  }
  POINT at;
  GetCurrentPositionEx(dc_, &at);
  std::vector<std::vector<POINT>> figures{{at}};
  std::vector<bool> closed{false};
  for (size_t i = 0; i < count; ++i) {
    const std::uint8_t kind = kinds[i] & ~PT_CLOSEFIGURE;
    if (kind == PT_MOVETO) {
      figures.push_back({points[i]});
      closed.push_back(false);
      continue;
    }
    if (closed.back()) {  // drawing on after a closed figure starts a new one at its start
      figures.push_back({figures.back()[0]});
      closed.push_back(false);
    }
    if (kind == PT_LINETO) {
      figures.back().push_back(points[i]);
    } else if (kind == PT_BEZIERTO && i + 2 < count && (kinds[i + 1] & ~PT_CLOSEFIGURE) == PT_BEZIERTO &&
               (kinds[i + 2] & ~PT_CLOSEFIGURE) == PT_BEZIERTO) {
      const std::vector<POINT> curve =
          FlattenBeziers({figures.back().back(), points[i], points[i + 1], points[i + 2]});
      figures.back().insert(figures.back().end(), curve.begin() + 1, curve.end());
      i += 2;
    } else {
      MetafileFault();
    }
    if (kinds[i] & PT_CLOSEFIGURE) closed.back() = true;
  }
  const POINT end = closed.back() ? figures.back()[0] : figures.back().back();
  MoveToEx(dc_, end.x, end.y, nullptr);
  for (size_t i = 0; i < figures.size(); ++i) {
    if (figures[i].size() < 2) continue;
    if (inPath_) PathAdd(figures[i], false, closed[i]);
    else FillFigures({figures[i]}, {closed[i]}, false, true);
  }
}
