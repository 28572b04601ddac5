#pragma once
// Small buffers for the pixel tests.

#include <vector>

#include "vorlen/core/Buffer.h"

inline Buffer Filled(int width, int height, uint colour) {
  Buffer b;
  b.Alloc(Pair<int>(width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *b.At(x, y) = colour;
  return b;
}

// Pixels numbered first, first + 1, ... row by row.
inline Buffer Numbered(int width, int height, uint first = 1) {
  Buffer b = Filled(width, height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *b.At(x, y) = first + uint(y * width + x);
  return b;
}

// Every pixel of the rectangle, row by row (counted from its corner, so that a rectangle
// against the end of the coordinate range is walked too).
inline std::vector<uint> Pixels(const Buffer& b) {
  std::vector<uint> out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) out.push_back(*b.At(b.rect.left + x, b.rect.top + y));
  return out;
}
