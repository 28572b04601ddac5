// Turning a quadrilateral into rows of pixel spans over a buffer's rectangle.

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "vorlen/core/Buffer.h"

namespace {

// A double cut to [low, high] and made an int; NaN gives low.
int ClampToInt(double v, int low, int high) {
  if (!(v >= low)) return low;
  if (v > high) return high;
  return int(v);
}

// The leftmost and rightmost crossing of the outline on every sample row.
struct Crossings {
  std::vector<double> left, right;
};

// Sample row i lies at y = top + (i + 1/2) / perPixel.
void WalkEdge(Pair<double> p, Pair<double> q, int top, int perPixel, Crossings& c) {
  if (p.y == q.y) return;
  if (p.y > q.y) std::swap(p, q);
  const int count = int(c.left.size());
  const int first = ClampToInt(std::ceil((p.y - top) * perPixel - 0.5), 0, count);
  const int last = ClampToInt(std::floor((q.y - top) * perPixel - 0.5), -1, count - 1);
  const double slope = (q.x - p.x) / (q.y - p.y);
  double x = p.x + (top + (first + 0.5) / perPixel - p.y) * slope;
  const double step = slope / perPixel;
  for (int i = first; i <= last; ++i, x += step) {
    c.left[size_t(i)] = std::min(c.left[size_t(i)], x);
    c.right[size_t(i)] = std::max(c.right[size_t(i)], x);
  }
}

}  // namespace

std::unique_ptr<int[]> Buffer::Render(const Pair<double>* corners, Pair<int>& origin, int& rows, int supersample) const {
  rows = 0;
  if (Empty()) return nullptr;
  // No buffer with pixels is wider or taller than this; the limit keeps half columns in an int.
  const long long width = (long long)rect.right - rect.left + 1, height = (long long)rect.bottom - rect.top + 1;
  if (width > kMaxBufferPixels || height > kMaxBufferPixels) return nullptr;
  for (int i = 0; i < 4; ++i)
    if (!std::isfinite(corners[i].x) || !std::isfinite(corners[i].y)) return nullptr;
  const int perPixel = supersample != 0 ? 2 : 1;
  const size_t sampleRows = size_t(height) * perPixel;
  Crossings c{std::vector<double>(sampleRows, std::numeric_limits<double>::infinity()),
              std::vector<double>(sampleRows, -std::numeric_limits<double>::infinity())};
  for (int i = 0; i < 4; ++i) WalkEdge(corners[i], corners[(i + 1) % 4], rect.top, perPixel, c);
  // A column (or half column) is covered when its sample point, at its centre, lies inside.
  // Columns count from the left edge, so that they fit in an int wherever the buffer lies.
  const int highest = int(width) * perPixel - 1;
  std::vector<int> spans(sampleRows * 2);
  for (size_t i = 0; i < sampleRows; ++i) {
    spans[2 * i] = ClampToInt(std::ceil((c.left[i] - rect.left) * perPixel - 0.5), 0, highest);
    spans[2 * i + 1] = ClampToInt(std::floor((c.right[i] - rect.left) * perPixel - 0.5), -1, highest);
    if (!(c.left[i] <= c.right[i])) spans[2 * i] = highest, spans[2 * i + 1] = -1;
  }
  const auto rowEmpty = [&](int row) {
    for (int s = 0; s < perPixel; ++s) {
      const size_t i = size_t(row) * perPixel + s;
      if (spans[2 * i] <= spans[2 * i + 1]) return false;
    }
    return true;
  };
  int firstRow = 0, lastRow = int(height) - 1;
  while (firstRow <= lastRow && rowEmpty(firstRow)) ++firstRow;
  while (lastRow >= firstRow && rowEmpty(lastRow)) --lastRow;
  if (firstRow > lastRow) return nullptr;
  rows = lastRow - firstRow + 1;
  const size_t begin = size_t(firstRow) * perPixel * 2, length = size_t(rows) * perPixel * 2;
  auto result = std::make_unique<int[]>(length);
  int leftmost = highest;
  for (size_t i = 0; i < length; i += 2) {
    result[i] = spans[begin + i];
    result[i + 1] = spans[begin + i + 1];
    if (result[i] <= result[i + 1]) leftmost = std::min(leftmost, result[i]);
  }
  origin = Pair<int>(rect.left + (perPixel == 2 ? leftmost >> 1 : leftmost), rect.top + firstRow);
  return result;
}
