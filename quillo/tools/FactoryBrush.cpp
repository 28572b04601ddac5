#include "quillo/tools/FactoryBrush.h"

#include <algorithm>

#include "quillo/document/UDBuffer.h"
#include "quillo/tools/BrushModel.h"

namespace {

// The transparency of ring i of n (0 the outermost, fully transparent), falling linearly.
std::uint32_t RingTransparency(int i, int n) { return static_cast<std::uint32_t>(255 - (i * 255) / n) << 24; }

void MakeSquare(int size, int rings, std::uint32_t colour) {
  Brush.Alloc(size, size);
  BrushShape.Alloc(size, size);
  if (!Brush.pixels) return;
  for (int i = 0; i < rings; ++i)
    Brush.Box(Rect(i, i, size - 1 - i, size - 1 - i), colour | RingTransparency(i, rings));
  Brush.Box(Rect(rings, rings, size - 1 - rings, size - 1 - rings), colour);
}

void MakeRound(int size, int rings, std::uint32_t colour) {
  const int side = size | 1;
  Brush.Alloc(side, side);
  BrushShape.Alloc(side, side);
  if (!Brush.pixels) return;
  Brush.Box(Brush.rect, BrushOutside);
  const int centre = size >> 1;
  const int radius = size >> 1;
  for (int i = 0; i < rings; ++i) FillDisc(Brush, centre, centre, radius - i, colour | RingTransparency(i, rings));
  FillDisc(Brush, centre, centre, radius - rings, colour);
}

}  // namespace

void MakeFactoryBrush(FactoryShape shape, int size, int hardness, std::uint32_t colour) {
  size = std::max(size, 1);
  hardness = std::clamp(hardness, 1, 100);
  colour &= 0x00FFFFFFu;
  // The soft edge's width in rings; none at hardness 100.
  const int rings = ((101 - hardness) * size) / 200;
  if (shape == FactoryShape::Square) MakeSquare(size, hardness == 100 ? 0 : rings, colour);
  else MakeRound(size, hardness == 100 ? 0 : rings, colour);
  BrushState.ShapeKind = shape == FactoryShape::Square ? 1 : 0;
}
