#pragma once
// A screenshot-like test picture: a desktop with flat and shaded windows, title bars, buttons
// and lines of text set in a small made-up font, so that compressing it finds what real
// screenshots give: long runs and long matches far back.

#include <cstdint>
#include <vector>

namespace bench_screen {

// 0x00RRGGBB pixels, row after row.
inline std::vector<uint32_t> Make(int width, int height) {
  std::vector<uint32_t> px(size_t(width) * height, 0x3A6EA5);
  auto fill = [&](int x0, int y0, int x1, int y1, uint32_t colour) {
    for (int y = y0 < 0 ? 0 : y0; y < y1 && y < height; ++y)
      for (int x = x0 < 0 ? 0 : x0; x < x1 && x < width; ++x) px[size_t(y) * width + x] = colour;
  };
  // 64 glyphs of 6 x 9 dots, each dot set by a fixed pseudo-random pattern.
  uint64_t glyphs[64];
  uint64_t seed = 0x9E3779B97F4A7C15ull;
  for (auto& g : glyphs) {
    seed ^= seed << 13, seed ^= seed >> 7, seed ^= seed << 17;
    g = seed & ((1ull << 54) - 1);
  }
  uint32_t textSeed = 4711;
  auto text = [&](int x0, int y0, int x1, uint32_t ink) {
    for (int x = x0; x + 7 <= x1; x += 7) {
      textSeed = textSeed * 1664525u + 1013904223u;
      const uint32_t pick = textSeed >> 26;
      if (pick < 8) continue;  // a space
      const uint64_t g = glyphs[pick];
      for (int dy = 0; dy < 9; ++dy)
        for (int dx = 0; dx < 6; ++dx)
          if ((g >> (dy * 6 + dx)) & 1) fill(x + dx, y0 + dy, x + dx + 1, y0 + dy + 1, ink);
    }
  };
  uint32_t layout = 17;
  auto next = [&](int range) {
    layout = layout * 1103515245u + 12345u;
    return int((layout >> 8) % uint32_t(range));
  };
  for (int w = 0; w < 9; ++w) {
    const int ww = 400 + next(width / 2), wh = 300 + next(height / 2);
    const int wx = next(width - ww / 2), wy = next(height - wh / 2);
    fill(wx - 1, wy - 1, wx + ww + 1, wy + wh + 1, 0x404040);  // border
    for (int y = 0; y < 22; ++y)                                // title bar, shaded across
      for (int x = 0; x < ww; ++x)
        fill(wx + x, wy + y, wx + x + 1, wy + y + 1,
             0x000080u + (uint32_t(x * 0xA0 / ww) << 16) + (uint32_t(x * 0x50 / ww) << 8));
    text(wx + 6, wy + 6, wx + ww / 2, 0xFFFFFF);
    fill(wx, wy + 22, wx + ww, wy + wh, w % 3 == 0 ? 0xFFFFFF : 0xECE9D8);
    for (int line = wy + 30; line + 12 < wy + wh - 30; line += 14)
      text(wx + 8, line, wx + 8 + next(ww - 16), w % 2 ? 0x000000 : 0x202020);
    for (int b = 0; b < 3; ++b) {  // buttons along the bottom
      const int bx = wx + ww - 90 * (b + 1), by = wy + wh - 28;
      fill(bx, by, bx + 80, by + 22, 0x808080);
      fill(bx, by, bx + 79, by + 21, 0xF0F0F0);
      fill(bx + 1, by + 1, bx + 79, by + 21, 0xD4D0C8);
      text(bx + 12, by + 6, bx + 70, 0x000000);
    }
  }
  fill(0, height - 30, width, height, 0xC0C0C0);  // task bar
  for (int i = 0; i < 12; ++i) fill(4 + i * 160, height - 26, 4 + i * 160 + 150, height - 4, 0xD4D0C8);
  return px;
}

}  // namespace bench_screen
