// The classic colour scheme and the display's pixels, size, depth and text smoothing.

#include "platform/gdi/Display.h"

#include <cstring>
#include <vector>

namespace {

const COLORREF kClassicColors[COLOR_COUNT] = {
    RGB(192, 192, 192), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128),
    RGB(192, 192, 192), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(192, 192, 192), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(192, 192, 192), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(192, 192, 192), RGB(0, 0, 255),     RGB(16, 132, 208),
    RGB(181, 181, 181), RGB(0, 0, 128),     RGB(192, 192, 192)};

struct DisplaySettings {
  COLORREF colors[COLOR_COUNT];
  int width = 1280;
  int height = 800;
  int bitsPerPixel = 32;
  bool fontSmoothing = true;
  Surface screen;
  bool screenDrawn = false;
};

DisplaySettings& Settings() {
  static DisplaySettings settings = [] {
    DisplaySettings fresh;
    std::memcpy(fresh.colors, kClassicColors, sizeof kClassicColors);
    return fresh;
  }();
  return settings;
}

}  // namespace

DWORD GetSysColor(int index) {
  if (index < 0 || index >= COLOR_COUNT) return 0;
  return Settings().colors[index];
}

HBRUSH GetSysColorBrush(int index) {
  static std::vector<HBRUSH> brushes = [] {
    std::vector<HBRUSH> b;
    for (int i = 0; i < COLOR_COUNT; ++i) b.push_back(SystemColorBrush(i));
    return b;
  }();
  if (index < 0 || index >= COLOR_COUNT) return nullptr;
  return brushes[index];
}

BOOL SetSysColors(int count, const int* indices, const COLORREF* colours) {
  if (count < 0 || (count > 0 && (!indices || !colours))) return FALSE;
  for (int i = 0; i < count; ++i)
    if (indices[i] >= 0 && indices[i] < COLOR_COUNT) Settings().colors[indices[i]] = colours[i] & 0xFFFFFF;
  return TRUE;
}

void SetScreenMetrics(int width, int height, int bitsPerPixel) {
  DisplaySettings& s = Settings();
  s.width = width;
  s.height = height;
  s.bitsPerPixel = bitsPerPixel;
}

void SetScreenSurface(const Surface& surface) { Settings().screen = surface; }
const Surface& ScreenSurface() { return Settings().screen; }
void MarkScreenDrawn() { Settings().screenDrawn = true; }

bool TakeScreenDrawn() {
  bool drawn = Settings().screenDrawn;
  Settings().screenDrawn = false;
  return drawn;
}

int ScreenWidth() { return Settings().width; }
int ScreenHeight() { return Settings().height; }
int ScreenBitsPerPixel() { return Settings().bitsPerPixel; }
bool FontSmoothing() { return Settings().fontSmoothing; }
void SetFontSmoothing(bool on) { Settings().fontSmoothing = on; }

void ResetDisplaySettings() {
  DisplaySettings& s = Settings();
  std::memcpy(s.colors, kClassicColors, sizeof kClassicColors);
  s.fontSmoothing = true;
}
