#pragma once
// The selections the outline benchmarks trace and march: one large region (everything but a
// rectangular hole in the middle), noise (blobs of 1 to 3 pixels a side scattered over a
// fifth of the area, some 10^5 regions on 12 MP) and a thresholded photo (the pixels of the
// synthetic photo whose green is above the middle: wide regions with ragged, speckled edges
// where the shading crosses the threshold), drawn into a mask of any size.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "SyntheticPhoto.h"

#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Types.h"

enum Shape { kLargeRegion = 0, kNoise = 1, kPhoto = 2 };
inline const char* kShapeNames[] = {"large region", "noise", "thresholded photo"};

inline void DrawShape(BitBuffer& mask, Shape shape) {
  const int width = mask.width, height = mask.height;
  mask.PutPixels(Rect(0, 0, width - 1, height - 1), 0);
  if (shape == kLargeRegion) {
    mask.PutPixels(Rect(0, 0, width - 1, height - 1), 1);
    mask.PutPixels(Rect(width / 4, height * 4 / 15, width * 3 / 4 - 1, height * 11 / 15 - 1), 0);
    return;
  }
  if (shape == kPhoto) {
    const std::vector<uint32_t> photo = bench_photo::Make(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if ((photo[static_cast<std::size_t>(y) * width + x] >> 8 & 0xFF) > 120) mask.PutPixel(x, y, 1);
    return;
  }
  std::uint32_t seed = 26;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (long i = 0; i < static_cast<long>(width) * height / 40; ++i) {
    const std::uint32_t r = next();
    const int x = static_cast<int>(r % static_cast<std::uint32_t>(width));
    const int y = static_cast<int>((r >> 12) % static_cast<std::uint32_t>(height));
    const int w = 1 + static_cast<int>(next() >> 30 & 1) + static_cast<int>(next() >> 31);
    mask.PutPixelsSafe(Rect(x, y, x + w - 1, y + w - 1), 1);
  }
}
