#pragma once
// Runs a row function over every row of a buffer: row(pixels, width, rowIndexFromTop).

#include "vorlen/core/Buffer.h"

template <class Row>
void ForEachRow(const Buffer& b, Row row) {
  if (b.pixels == nullptr || b.Empty()) return;
  uint* p = b.pixels;
  const int width = b.Width();
  for (int y = 0; y < b.Height(); ++y, p += b.stride) row(p, width, y);
}
