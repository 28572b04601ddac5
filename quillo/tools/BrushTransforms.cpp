#include "quillo/tools/BrushTransforms.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

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

BrushPictureAllocator BrushAllocPicture = [](UDBuffer& picture, int width, int height) { picture.Alloc(width, height); };

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
  const auto sample = [&](double x, double y, bool& covered) -> uint {
    if (x < 0 || y < 0 || x >= sw || y >= sh) {
      covered = false;
      return BrushOutside;
    }
    covered = true;
    return source.pixels[static_cast<long>(y) * source.stride + static_cast<long>(x)];
  };
  const CompositeTableBlock& tables = CompositeTables();
  for (int ty = area.top; ty <= area.bottom; ++ty) {
    uint* t = target.At(area.left, ty);
    // The source position of the upper-left sample of the row's first pixel, and the steps
    // of a quarter of a target pixel across and down.
    const double X = area.left + 0.25 - boxCx, Y = ty + 0.25 - boxCy;
    double sx = srcCx + cs * X - sn * Y, sy = srcCy + sn * X + cs * Y;
    const double hx = cs * 0.5, hy = sn * 0.5;    // half a pixel to the right
    const double vx = -sn * 0.5, vy = cs * 0.5;   // half a pixel down
    for (int tx = area.left; tx <= area.right; ++tx, ++t, sx += cs, sy += sn) {
      bool c0, c1, c2, c3;
      const uint a = sample(sx, sy, c0), b = sample(sx + hx, sy + hy, c1);
      const uint c = sample(sx + vx, sy + vy, c2), d = sample(sx + hx + vx, sy + hy + vy, c3);
      if (!(c0 || c1 || c2 || c3)) {
        if (missed == Missed::Outside) *t = BrushOutside;
        continue;
      }
      *t = BlendOver(tables, Average4(a, b, c, d), missed == Missed::Outside ? BrushOutside : *t);
    }
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

void TransformBrush(float angle) {
  const Pair<int> size = RotatedSize(Brush.Width(), Brush.Height(), angle);
  const int w = std::max(size.x, 1), h = std::max(size.y, 1);
  AllocOrThrow(BrushShape, w, h);
  // Every pixel is written: what the brush does not reach becomes outside.
  DrawRotated(BrushShape, Brush, angle, {BrushShape.rect.left, BrushShape.rect.top}, {w, h}, Missed::Outside);
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
