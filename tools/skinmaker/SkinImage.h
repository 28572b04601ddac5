#pragma once
// The skin image built from its source: the header (six two-digit numbers in a 3 x 5 digit
// font and the key-colour columns), the reference row and the two strips of icons separated
// by one-pixel lines. Rows run from the top.

#include <vector>

#include "tools/skinmaker/SkinSource.h"

namespace skinmaker {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // row by row from the top

  RgbImage(int w, int h, Rgb fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
  Rgb& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Where the loader finds things, from the header's numbers.
struct SkinLayout {
  int width1, height1, rows1, columns1;
  int width2, height2, rows2, columns2;
  int top2;
  int imageWidth, imageHeight;

  explicit SkinLayout(const SkinDescription& skin);
  // Top-left pixel of glyph index (1-based) in strip 0 or 1.
  int CellX(int strip, int index) const;
  int CellY(int strip, int index) const;
};

// Draws digit (0 to 9) in ink with its top-left corner at (x, y).
void DrawDigit(RgbImage& image, int digit, int x, int y, Rgb ink);

RgbImage ComposeSkin(const SkinDescription& skin);

// The skin as the program shows it on buttons of colour face: the background replaced by the
// face and each key blended toward it by its share. For the preview only.
RgbImage ShowOnFace(const RgbImage& image, const SkinDescription& skin, Rgb face);

// Each pixel made a scale x scale block.
RgbImage Enlarge(const RgbImage& image, int scale);

// The images one below the other, gap rows of colour between them.
RgbImage Stack(const std::vector<RgbImage>& images, int gap, Rgb colour);

}  // namespace skinmaker
