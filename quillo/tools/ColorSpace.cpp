#include "quillo/tools/ColorSpace.h"

#include <algorithm>

void RGB2HSV(int r, int g, int b, int& h, int& s, int& v) {
  const int high = std::max({r, g, b});
  const float delta = static_cast<float>(high - std::min({r, g, b}));
  v = high;
  s = high == 0 ? 0 : static_cast<int>(255.0f * delta / static_cast<float>(high));
  if (s == 0) {
    h = 0;
    return;
  }
  const float rc = static_cast<float>(high - r) / delta;
  const float gc = static_cast<float>(high - g) / delta;
  const float bc = static_cast<float>(high - b) / delta;
  float hue = high == r ? bc - gc : high == g ? 2.0f + rc - bc : 4.0f + gc - rc;
  hue *= 60.0f;
  if (hue < 0) hue += 360.0f;
  h = static_cast<int>(hue);
}

void HSV2RGB(int h, int s, int v, int& r, int& g, int& b) {
  if (s == 0) {
    r = g = b = v;
    return;
  }
  h = (h % 360 + 360) % 360;
  const int sector = h / 60;
  const float f = static_cast<float>(h) / 60.0f - static_cast<float>(sector);
  const float saturation = static_cast<float>(s) / 255.0f;
  const float value = static_cast<float>(v);
  const int p = static_cast<int>(value * (1.0f - saturation));
  const int q = static_cast<int>(value * (1.0f - saturation * f));
  const int t = static_cast<int>(value * (1.0f - saturation * (1.0f - f)));
  switch (sector) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
  }
}
