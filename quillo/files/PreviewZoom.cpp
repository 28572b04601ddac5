#include "quillo/files/PreviewZoom.h"

#include <algorithm>

namespace PreviewZoom {

namespace {
constexpr int kFine = 10;
constexpr int kCoarse = 100;
constexpr int kTinySide = 4;

// Keeps a view at least as large as its box over the box: no gap at either edge.
int Covering(int pos, int extent, int box) {
  pos = std::min(pos, 0);
  if (pos + extent < box) pos = box - extent;
  return pos;
}
}  // namespace

int Fit(int imageWidth, int imageHeight, int boxWidth, int boxHeight) {
  if (imageWidth <= 0 || imageHeight <= 0) return kCoarse;
  const double ratio = std::min(static_cast<double>(boxWidth) / imageWidth, static_cast<double>(boxHeight) / imageHeight);
  int z = static_cast<int>(std::min(ratio * 100.0, static_cast<double>(kMost)));
  z = std::clamp(z, kLeast, kMost);
  if (z < kCoarse) z -= z % kFine;
  else if (z > kCoarse) z -= z % kCoarse;
  return z;
}

int In(int zoom) {
  if (zoom >= kMost) return zoom;
  return zoom + (zoom < kCoarse ? kFine : kCoarse);
}

int Out(int zoom) {
  if (zoom <= kLeast) return zoom;
  return zoom - (zoom <= kCoarse ? kFine : kCoarse);
}

int ForTinyImage(int zoom, int imageWidth, int imageHeight) {
  return (imageWidth < kTinySide || imageHeight < kTinySide) && zoom < kCoarse ? kCoarse : zoom;
}

int Rezoomed(int viewPos, int centre, int zoom, int previous, int extent, int box) {
  if (extent < box) return (box - extent) / 2;
  const long long grabbed = centre - viewPos;
  const long long scaled = previous > 0 ? grabbed * zoom / previous : grabbed;
  return Covering(-static_cast<int>(std::max(0LL, scaled - centre)), extent, box);
}

int Panned(int viewPos, int delta, int extent, int box) {
  if (extent < box) return (box - extent) / 2;
  return Covering(viewPos + delta, extent, box);
}

}  // namespace PreviewZoom
