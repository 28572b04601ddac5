#include "platform/gdi/DibGamma.h"

#include <cmath>

#include "platform/gdi/Blit.h"

namespace {

void FillChannel(std::uint8_t* channel, DWORD gamma) {
  // A value v of the bitmap is light (v / 255)^gamma; the screen shows light L at
  // L^(1 / screen gamma).
  const double exponent = static_cast<double>(gamma) / static_cast<double>(ScreenGamma);
  for (int v = 0; v < 256; ++v)
    channel[v] = static_cast<std::uint8_t>(std::lround(255.0 * std::pow(v / 255.0, exponent)));
}

bool Neutral(DWORD gamma) { return gamma == 0 || gamma == ScreenGamma; }

}  // namespace

const DibGammaTable* DibGammaFor(int icmMode, const BITMAPINFO* info) {
  if (icmMode != ICM_ON || !info || info->bmiHeader.biSize < sizeof(BITMAPV4HEADER)) return nullptr;
  const auto* v4 = reinterpret_cast<const BITMAPV4HEADER*>(info);
  if (v4->bV4CSType != LCS_CALIBRATED_RGB) return nullptr;
  const DWORD red = v4->bV4GammaRed, green = v4->bV4GammaGreen, blue = v4->bV4GammaBlue;
  if (Neutral(red) && Neutral(green) && Neutral(blue)) return nullptr;
  // A view repaints rectangle after rectangle with the same values: the last table is kept.
  thread_local DibGammaTable table;
  thread_local DWORD made[3] = {0, 0, 0};
  if (made[0] != red || made[1] != green || made[2] != blue) {
    FillChannel(table.red, Neutral(red) ? ScreenGamma : red);
    FillChannel(table.green, Neutral(green) ? ScreenGamma : green);
    FillChannel(table.blue, Neutral(blue) ? ScreenGamma : blue);
    made[0] = red;
    made[1] = green;
    made[2] = blue;
  }
  return &table;
}

void ApplyDibGamma(const DibGammaTable& table, SourceImage& image) {
  for (std::uint32_t& p : image.pixels)
    p = (p & 0xFF000000u) | static_cast<std::uint32_t>(table.red[(p >> 16) & 0xFF]) << 16 |
        static_cast<std::uint32_t>(table.green[(p >> 8) & 0xFF]) << 8 | table.blue[p & 0xFF];
}
