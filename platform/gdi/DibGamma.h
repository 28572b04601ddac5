#pragma once
// Colour management of the DIB transfers: a bitmap whose version 4 header gives calibrated
// RGB with gamma values is brought to the screen's own tone response, channel by channel,
// when the target context has image colour management on. The end points are taken as the
// screen's own primaries (the screen is taken as sRGB), so only the gamma differs.

#include <cstdint>

#include "platform/gdi/GdiTypes.h"

struct SourceImage;

// The screen's gamma in 16.16 fixed point (2.2).
constexpr DWORD ScreenGamma = 144179;

// Per-channel tables, 0x00RRGGBB pixel in, pixel out.
struct DibGammaTable {
  std::uint8_t red[256];
  std::uint8_t green[256];
  std::uint8_t blue[256];
};

// The table a DIB with this header needs on a context with this colour-management mode, or
// null when its pixels go to the screen unchanged (management off, a plain header, another
// colour space, gamma values of 0 or equal to the screen's).
const DibGammaTable* DibGammaFor(int icmMode, const BITMAPINFO* info);

// Applies a table to every pixel of an image.
void ApplyDibGamma(const DibGammaTable& table, SourceImage& image);
