#include "quillo/tools/BrushTransforms.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>

#include "quillo/document/BrushState.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/Tool.h"
#include "vorlen/core/CompositeTables.h"
#include "vorlen/transform/SampleWriters.h"

namespace {

// Within this of a whole number a rotated side counts as that number.
constexpr double kSideTolerance = 1e-6;

int RotatedSide(double along, double across) {
  return static_cast<int>(along + across + kSideTolerance);
}

// The pixel of a buffer whose rectangle starts at (0, 0): Brush and BrushShape at rest.
uint& PixelOf(Buffer& b, int x, int y) { return *b.At(b.rect.left + x, b.rect.top + y); }

}  // namespace

BrushPictureAllocator BrushAllocPicture = [](UDBuffer& picture, int width, int height) { picture.Reshape(width, height); };

void AllocOrThrow(UDBuffer& picture, int width, int height) {
  BrushAllocPicture(picture, width, height);
  if (!picture.pixels) throw std::bad_alloc();
}

void BrushFromShape() {
  AllocOrThrow(Brush, BrushShape.Width(), BrushShape.Height());
  Brush.Copy(BrushShape, {Brush.rect.left - BrushShape.rect.left, Brush.rect.top - BrushShape.rect.top}, Buffer::kPlain);
}

Pair<int> RotatedSize(int width, int height, double angle) {
  const double c = std::fabs(std::cos(angle)), s = std::fabs(std::sin(angle));
  return {RotatedSide(c * width, s * height), RotatedSide(s * width, c * height)};
}

namespace {

// How far inside (or outside) the source a sample must lie to be taken as surely inside (or
// outside) without testing it: far above the rounding of the running sums, far below a pixel.
constexpr double kSureMargin = 1e-6;

// The indices i in [0, n) with lo <= a + i b <= hi, as [first, last] (empty when first > last).
// Near a boundary the answer may be one index off; the margins make that harmless.
void IndicesWithin(double a, double b, double lo, double hi, int n, int& first, int& last) {
  if (std::fabs(b) < 1e-12) {
    // Along the row the value moves by less than the margins.
    first = 0;
    last = a >= lo && a <= hi ? n - 1 : -1;
    return;
  }
  double from = (lo - a) / b, to = (hi - a) / b;
  if (from > to) std::swap(from, to);
  first = from <= 0 ? 0 : from >= n ? n : static_cast<int>(std::ceil(from));
  last = to >= n - 1 ? n - 1 : to < 0 ? -1 : static_cast<int>(std::floor(to));
}

// Which pixels of a row of n whose first pixel samples from (sx, sy), moving (dx, dy) a pixel,
// miss the source of w x h surely (before anyFrom and from anyTo on), take all four samples
// from it surely ([allFrom, allTo)), or are to be tested sample by sample (the rest).
struct RowRanges {
  int anyFrom, allFrom, allTo, anyTo;
};

RowRanges ClassifyRow(double sx, double sy, double dx, double dy, const double (&offsetX)[4],
                      const double (&offsetY)[4], int w, int h, int n) {
  int allFirst = 0, allLast = n - 1, anyFirst = n, anyLast = -1;
  for (int k = 0; k < 4; ++k) {
    int f1, l1, f2, l2;
    IndicesWithin(sx + offsetX[k], dx, kSureMargin, w - kSureMargin, n, f1, l1);
    IndicesWithin(sy + offsetY[k], dy, kSureMargin, h - kSureMargin, n, f2, l2);
    allFirst = std::max({allFirst, f1, f2});
    allLast = std::min({allLast, l1, l2});
    IndicesWithin(sx + offsetX[k], dx, -kSureMargin, w + kSureMargin, n, f1, l1);
    IndicesWithin(sy + offsetY[k], dy, -kSureMargin, h + kSureMargin, n, f2, l2);
    const int first = std::max(f1, f2), last = std::min(l1, l2);
    if (first <= last) {
      anyFirst = std::min(anyFirst, first);
      anyLast = std::max(anyLast, last);
    }
  }
  if (anyFirst > anyLast) return {n, n, n, n};
  RowRanges r;
  r.anyFrom = anyFirst;
  r.anyTo = anyLast + 1;
  r.allFrom = std::clamp(allFirst, r.anyFrom, r.anyTo);
  r.allTo = std::clamp(allLast + 1, r.allFrom, r.anyTo);
  return r;
}

}  // namespace

void DrawRotated(Buffer& target, const Buffer& source, double angle, Pair<int> corner, Pair<int> box, Missed missed) {
  if (!target.pixels || target.Empty() || !source.pixels || source.Empty()) return;
  const Rect area = Intersect(target.rect, Rect(corner.x, corner.y, corner.x + box.x - 1, corner.y + box.y - 1));
  if (area.Empty()) return;
  const double cs = std::cos(angle), sn = std::sin(angle);
  const int sw = source.Width(), sh = source.Height();
  // A target point (X, Y) relative to the box's centre comes from the source point
  // (cos X - sin Y, sin X + cos Y) relative to the source's centre.
  const double boxCx = corner.x + box.x / 2.0, boxCy = corner.y + box.y / 2.0;
  const double srcCx = sw / 2.0, srcCy = sh / 2.0;
  const double hx = cs * 0.5, hy = sn * 0.5;    // half a pixel to the right
  const double vx = -sn * 0.5, vy = cs * 0.5;   // half a pixel down
  const double offsetX[4] = {0, hx, vx, hx + vx}, offsetY[4] = {0, hy, vy, hy + vy};
  const uint* const pixels = source.pixels;
  const long stride = source.stride;
  const auto sample = [&](double x, double y, bool& covered) -> uint {
    if (x < 0 || y < 0 || x >= sw || y >= sh) {
      covered = false;
      return BrushOutside;
    }
    covered = true;
    return pixels[static_cast<long>(y) * stride + static_cast<long>(x)];
  };
  const bool outside = missed == Missed::Outside;
  const CompositeTableBlock& tables = CompositeTables();
  const int n = area.Width();
  for (int ty = area.top; ty <= area.bottom; ++ty) {
    uint* t = target.At(area.left, ty);
    // The source position of the upper-left sample of the row's first pixel; it moves on by
    // one sum a pixel, so that every pixel samples the same points whichever loop below
    // draws it.
    const double X = area.left + 0.25 - boxCx, Y = ty + 0.25 - boxCy;
    double sx = srcCx + cs * X - sn * Y, sy = srcCy + sn * X + cs * Y;
    const RowRanges ranges = ClassifyRow(sx, sy, cs, sn, offsetX, offsetY, sw, sh, n);
    int i = 0;
    const auto missedUpTo = [&](int to) {
      for (; i < to; ++i, ++t, sx += cs, sy += sn)
        if (outside) *t = BrushOutside;
    };
    const auto testedUpTo = [&](int to) {
      for (; i < to; ++i, ++t, sx += cs, sy += sn) {
        bool c0, c1, c2, c3;
        const uint a = sample(sx, sy, c0), b = sample(sx + hx, sy + hy, c1);
        const uint c = sample(sx + vx, sy + vy, c2), d = sample(sx + hx + vx, sy + hy + vy, c3);
        if (!(c0 || c1 || c2 || c3)) {
          if (outside) *t = BrushOutside;
          continue;
        }
        *t = BlendOver(tables, Average4(a, b, c, d), outside ? BrushOutside : *t);
      }
    };
    // The loop where every sample lies on the source keeps its position in locals: the
    // compiler then holds them in registers across the stores.
    const auto coveredUpTo = [&](int to) {
      uint* pt = t;
      double px = sx, py = sy;
      for (int k = i; k < to; ++k, ++pt, px += cs, py += sn) {
        const uint a = pixels[static_cast<long>(py) * stride + static_cast<long>(px)];
        const uint b = pixels[static_cast<long>(py + hy) * stride + static_cast<long>(px + hx)];
        const uint c = pixels[static_cast<long>(py + vy) * stride + static_cast<long>(px + vx)];
        const uint d = pixels[static_cast<long>(py + hy + vy) * stride + static_cast<long>(px + hx + vx)];
        // Four equal samples average to themselves, whatever their transparency.
        const uint mean = ((a ^ b) | (a ^ c) | (a ^ d)) == 0 ? a : Average4(a, b, c, d);
        *pt = BlendOver(tables, mean, outside ? BrushOutside : *pt);
      }
      if (to > i) {
        t = pt;
        i = to;
        sx = px;
        sy = py;
      }
    };
    missedUpTo(ranges.anyFrom);
    testedUpTo(ranges.allFrom);
    coveredUpTo(ranges.allTo);
    testedUpTo(ranges.anyTo);
    missedUpTo(n);
  }
}

void ScaleBrush(double fx, double fy) {
  ToolSuspension suspension;
  const int w = static_cast<int>(Brush.Width() * fx), h = static_cast<int>(Brush.Height() * fy);
  // A side never falls below one pixel.
  const int aw = std::max(std::abs(w), 1), ah = std::max(std::abs(h), 1);
  const std::uint32_t transparent = BrushTransparentColor & 0xFFFFFFu;
  AllocOrThrow(BrushShape, aw, ah);
  BrushShape.Box(BrushShape.rect, transparent);
  BrushShape.Scale(Brush, {w < 0 ? -aw : aw, h < 0 ? -ah : ah}, {0, 0}, Buffer::kComposite, 0);
  if (aw == 1 && ah == 1 && PixelOf(BrushShape, 0, 0) == transparent) PixelOf(BrushShape, 0, 0) = DrawingColour() & 0xFFFFFFu;
  BrushShape.ChColor(transparent, BrushOutside);
  BrushFromShape();
  TrimBrush();
  UseCustomBrushShape();
}

void TurnBrushIntoShape(float angle) {
  const Pair<int> size = RotatedSize(Brush.Width(), Brush.Height(), angle);
  const int w = std::max(size.x, 1), h = std::max(size.y, 1);
  AllocOrThrow(BrushShape, w, h);
  // Every pixel is written: what the brush does not reach becomes outside.
  DrawRotated(BrushShape, Brush, angle, {BrushShape.rect.left, BrushShape.rect.top}, {w, h}, Missed::Outside);
}

void TransformBrush(float angle) {
  TurnBrushIntoShape(angle);
  BrushFromShape();
}

void MirrorBrushLeftRight() {
  const int w = Brush.Width();
  for (int y = 0; y < Brush.Height(); ++y) {
    uint* row = &PixelOf(Brush, 0, y);
    std::reverse(row, row + w);
  }
}

void MirrorBrushTopBottom() {
  const int h = Brush.Height();
  for (int y = 0; y < h / 2; ++y) {
    uint* a = &PixelOf(Brush, 0, y);
    uint* b = &PixelOf(Brush, 0, h - 1 - y);
    std::swap_ranges(a, a + Brush.Width(), b);
  }
}

void RotateBrushQuarter() {
  const int w = Brush.Width(), h = Brush.Height();
  AllocOrThrow(BrushShape, h, w);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) PixelOf(BrushShape, y, w - 1 - x) = PixelOf(Brush, x, y);
  BrushFromShape();
}

void RotateBrushHalf() {
  MirrorBrushLeftRight();
  MirrorBrushTopBottom();
}

void OutlineBrush(std::uint32_t colour) {
  const int w = Brush.Width() + 2, h = Brush.Height() + 2;
  AllocOrThrow(BrushShape, w, h);
  BrushShape.Box(BrushShape.rect, BrushOutside);
  BrushShape.Copy(Brush, {BrushShape.rect.left + 1 - Brush.rect.left, BrushShape.rect.top + 1 - Brush.rect.top},
                  Buffer::kPlain);
  BrushFromShape();
  colour &= 0xFFFFFFu;
  // Belonging to the brush is read from the unchanged copy, so the outline does not grow.
  const auto paint = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < w && y < h && PixelOf(Brush, x, y) == BrushOutside) PixelOf(Brush, x, y) = colour;
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (PixelOf(BrushShape, x, y) == BrushOutside) continue;
      paint(x, y - 1);
      paint(x - 1, y);
      paint(x, y + 1);
      paint(x + 1, y);
    }
  BrushShape.Copy(Brush, {0, 0}, Buffer::kPlain);
}

void CastBrushShadow(int depth, ShadowDirection direction, std::uint32_t colour) {
  const int k = static_cast<int>(direction);
  const int w = Brush.Width() + (k == 2 ? 0 : depth);
  const int h = Brush.Height() + (k == 0 ? 0 : depth);
  AllocOrThrow(BrushShape, w, h);
  BrushShape.Box(BrushShape.rect, BrushOutside);
  const Pair<int> shadowAt{k <= 1 ? depth : 0, k >= 1 ? depth : 0};
  BrushShape.Copy(Brush, shadowAt, BrushOutside);
  colour &= 0xFFFFFFu;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (PixelOf(BrushShape, x, y) != BrushOutside) PixelOf(BrushShape, x, y) = colour;
  BrushShape.Copy(Brush, {k == 3 ? depth : 0, 0}, BrushOutside);
  BrushFromShape();
}
