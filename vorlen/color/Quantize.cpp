#include "vorlen/color/Quantize.h"

#include <cstring>

int Quantize(uint colour, const uchar* palette, int count) {
  const int r = colour >> 16 & 0xFF, g = colour >> 8 & 0xFF, b = colour & 0xFF;
  int best = 0;
  int bestDistance = 195076;
  for (int i = 0; i < count; ++i) {
    const int dr = palette[3 * i] - r, dg = palette[3 * i + 1] - g, db = palette[3 * i + 2] - b;
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

int CreatePalette(Buffer&, uchar* palette, int count, uint, Buffer*, bool) {
  std::memset(palette, 0, static_cast<size_t>(count) * 3);
  return 0;
}

int Quantize(Buffer& img, const uchar* palette, int count, uint, bool, uchar* indices, int stride) {
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x)
      indices[y * stride + x] = static_cast<uchar>(
          Quantize(*img.At(img.rect.left + x, img.rect.top + y), palette, count));
  return 0;
}
