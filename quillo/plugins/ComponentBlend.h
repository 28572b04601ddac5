#pragma once
// The blend modes by which a component's colour s meets the picture's colour b before the
// effect, per colour channel; the result keeps the destination's own top byte.

#include <algorithm>
#include <cstdint>

constexpr int BlendModeCount = 12;

// One channel of mode item (0 to 11; others replace), clamped to 0..255.
inline int BlendChannel(int item, int b, int s) {
  int r;
  switch (item) {
    case 1: r = (b + s) / 2; break;
    // Multiply by 255, so white on white stays white.
    case 2: r = b * s / 255; break;
    case 3: r = 255 - (255 - b) * (255 - s) / 255; break;
    case 4: r = s >= 128 ? 255 - 2 * (255 - b) * (255 - s) / 255 : 2 * b * s / 255; break;
    case 5: {
      const int m = b * 128 / 255 + 64;
      r = s >= 128 ? 255 - 2 * (255 - m) * (255 - s) / 255 : 2 * m * s / 255;
      break;
    }
    case 6: r = b >= 128 ? 255 - 2 * (255 - b) * (255 - s) / 255 : 2 * b * s / 255; break;
    case 7: r = s < 255 ? b * 255 / (255 - s) : 255; break;
    case 8: r = s > 0 ? 255 - (255 - b) * 255 / s : 0; break;
    case 9: r = std::min(b, s); break;
    case 10: r = std::max(b, s); break;
    case 11: r = b > s ? b - s : s - b; break;
    default: r = s; break;
  }
  return std::clamp(r, 0, 255);
}

// The pixel written: the colour of s blended with b, the top byte of destination.
inline std::uint32_t BlendPixel(int item, std::uint32_t b, std::uint32_t s, std::uint32_t destination) {
  const std::uint32_t top = destination & 0xFF000000u;
  if (item <= 0 || item >= BlendModeCount) return top | (s & 0xFFFFFF);
  const int r = BlendChannel(item, static_cast<int>(b >> 16 & 0xFF), static_cast<int>(s >> 16 & 0xFF));
  const int g = BlendChannel(item, static_cast<int>(b >> 8 & 0xFF), static_cast<int>(s >> 8 & 0xFF));
  const int bl = BlendChannel(item, static_cast<int>(b & 0xFF), static_cast<int>(s & 0xFF));
  return top | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(bl);
}
