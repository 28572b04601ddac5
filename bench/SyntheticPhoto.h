#pragma once
// A photo-like test picture for the compression and PNG benchmarks: smooth shading, a few
// soft shapes and sensor-like noise, so that it compresses about as a real photo does.

#include <cmath>
#include <cstdint>
#include <vector>

namespace bench_photo {

inline unsigned char uchar_of(uint32_t v) { return static_cast<unsigned char>(v & 0xFF); }

// 0x00RRGGBB pixels, row after row.
inline std::vector<uint32_t> Make(int width, int height) {
  std::vector<uint32_t> px(size_t(width) * height);
  uint32_t seed = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double fx = x / double(width), fy = y / double(height);
      double base[3] = {90 + 80 * fy, 110 + 60 * std::sin(fx * 5 + fy * 2), 150 - 70 * fx};
      const double dx = fx - 0.6, dy = fy - 0.45;
      if (dx * dx + dy * dy < 0.04) {  // a round object with its own shading
        base[0] = 200 - 300 * (dx * dx + dy * dy);
        base[1] = 120 + 100 * dy;
        base[2] = 60;
      }
      uint32_t v = 0;
      for (int c = 0; c < 3; ++c) {
        seed = seed * 1664525u + 1013904223u;
        const int noise = int(seed >> 29) - 4 + int((seed >> 25) & 3) - 1;
        int s = int(base[c] + 12 * std::sin(x * 0.05 + c) * std::cos(y * 0.031)) + noise;
        s = s < 0 ? 0 : s > 255 ? 255 : s;
        v = v << 8 | uint32_t(s);
      }
      px[size_t(y) * width + x] = v;
    }
  }
  return px;
}

// Rows of R, G, B bytes each preceded by the Sub filter, as a PNG encoder would give them.
inline std::vector<unsigned char> FilteredRows(const std::vector<uint32_t>& px, int width) {
  std::vector<unsigned char> out;
  out.reserve(px.size() * 3 + px.size() / width);
  for (size_t row = 0; row < px.size() / width; ++row) {
    out.push_back(1);
    unsigned char prev[3] = {0, 0, 0};
    for (int x = 0; x < width; ++x) {
      const uint32_t v = px[row * width + x];
      const unsigned char rgb[3] = {uchar_of(v >> 16), uchar_of(v >> 8), uchar_of(v)};
      for (int c = 0; c < 3; ++c) {
        out.push_back(static_cast<unsigned char>(rgb[c] - prev[c]));
        prev[c] = rgb[c];
      }
    }
  }
  return out;
}

}  // namespace bench_photo
