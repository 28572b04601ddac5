#include "tools/skinmaker/SkinImage.h"

#include <algorithm>

namespace skinmaker {

namespace {

constexpr int kFirstKeyColumn = 68;

// The 3 x 5 digits, rows from the top; 'X' is ink. The program tells digits apart by five
// pixels (left of row 1, centre, top centre, left of row 3, right of row 1), which these
// shapes set as it expects.
constexpr const char* kDigits[10][5] = {
    {"XXX", "X.X", "X.X", "X.X", "XXX"}, {"..X", "..X", "..X", "..X", "..X"},
    {"XXX", "..X", "XXX", "X..", "XXX"}, {"XXX", "..X", "XXX", "..X", "XXX"},
    {"X.X", "X.X", "XXX", "..X", "..X"}, {"XXX", "X..", "XXX", "..X", "XXX"},
    {"XXX", "X..", "XXX", "X.X", "XXX"}, {"XXX", "..X", "..X", "..X", "..X"},
    {"XXX", "X.X", "XXX", "X.X", "XXX"}, {"XXX", "X.X", "XXX", "..X", "XXX"},
};

void DrawNumber(RgbImage& image, int value, int x, Rgb ink) {
  DrawDigit(image, value / 10, x, 0, ink);
  DrawDigit(image, value % 10, x + 4, 0, ink);
}

// Key columns: row 0 carries an ink mark so that it differs from row 1 (the loader reads key
// columns while rows 0 and 1 differ); rows 1, 2 and 3 hold the keys of share 3/4, 1/2 and
// 1/4, paper where a column has none. The column after the last is paper in rows 0 and 1.
void DrawKeyColumns(RgbImage& image, const SkinDescription& skin) {
  int next[4] = {0, 0, 0, 0};
  for (const auto& [character, entry] : skin.legend) {
    if (entry.keyShare == 0) continue;
    const int row = 4 - entry.keyShare;
    const int x = kFirstKeyColumn + next[entry.keyShare]++;
    image.At(x, 0) = skin.ink;
    image.At(x, row) = entry.colour;
  }
}

void DrawCell(RgbImage& image, const std::vector<std::string>& glyph, int x0, int y0,
              const SkinDescription& skin) {
  for (size_t y = 0; y < glyph.size(); ++y)
    for (size_t x = 0; x < glyph[y].size(); ++x)
      image.At(x0 + static_cast<int>(x), y0 + static_cast<int>(y)) = skin.legend.at(glyph[y][x]).colour;
}

Rgb Blend(Rgb key, Rgb face, int keyShare) {
  Rgb out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int k = static_cast<int>(key >> shift & 0xFF);
    const int f = static_cast<int>(face >> shift & 0xFF);
    out |= static_cast<Rgb>((keyShare * k + (4 - keyShare) * f) / 4) << shift;
  }
  return out;
}

}  // namespace

SkinLayout::SkinLayout(const SkinDescription& skin)
    : width1(skin.strips[0].width), height1(skin.strips[0].height),
      rows1((skin.strips[0].count + skin.columns - 1) / skin.columns), columns1(skin.columns),
      width2(skin.strips[1].width), height2(skin.strips[1].height), rows2(0), columns2(0), top2(0),
      imageWidth(skin.columns * (width1 + 1) - 1), imageHeight(0) {
  columns2 = (imageWidth + 1) / (width2 + 1);
  rows2 = (skin.strips[1].count + columns2 - 1) / columns2;
  top2 = (height1 + 1) * rows1 + 6;
  imageHeight = rows2 > 0 ? top2 + rows2 * (height2 + 1) - 1 : top2 - 1;
}

int SkinLayout::CellX(int strip, int index) const {
  return strip == 0 ? (index - 1) % columns1 * (width1 + 1) : (index - 1) % columns2 * (width2 + 1);
}

int SkinLayout::CellY(int strip, int index) const {
  return strip == 0 ? 6 + (index - 1) / columns1 * (height1 + 1)
                    : top2 + (index - 1) / columns2 * (height2 + 1);
}

void DrawDigit(RgbImage& image, int digit, int x, int y, Rgb ink) {
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 3; ++column)
      if (kDigits[digit][row][column] == 'X') image.At(x + column, y + row) = ink;
}

RgbImage ComposeSkin(const SkinDescription& skin) {
  const SkinLayout layout(skin);
  RgbImage image(layout.imageWidth, layout.imageHeight, skin.separator);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < image.width; ++x) image.At(x, y) = skin.paper;
  const int numbers[6] = {layout.rows1, layout.width1, layout.height1,
                          layout.rows2, layout.width2, layout.height2};
  for (int i = 0; i < 6; ++i) DrawNumber(image, numbers[i], 12 * i, skin.ink);
  DrawKeyColumns(image, skin);

  const Rgb background = skin.legend.at(skin.background).colour;
  const int cells[2] = {layout.rows1 * layout.columns1, layout.rows2 * layout.columns2};
  for (int strip = 0; strip < 2; ++strip) {
    const Strip& source = skin.strips[strip];
    for (int index = 1; index <= cells[strip]; ++index) {
      const int x0 = layout.CellX(strip, index);
      const int y0 = layout.CellY(strip, index);
      if (index <= source.count) {
        DrawCell(image, source.glyphs[static_cast<size_t>(index - 1)], x0, y0, skin);
        continue;
      }
      for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) image.At(x0 + x, y0 + y) = background;
    }
  }
  return image;
}

RgbImage ShowOnFace(const RgbImage& image, const SkinDescription& skin, Rgb face) {
  RgbImage shown = image;
  const Rgb background = skin.legend.at(skin.background).colour;
  for (int y = 6; y < shown.height; ++y)
    for (int x = 0; x < shown.width; ++x) {
      Rgb& pixel = shown.At(x, y);
      if (pixel == background) {
        pixel = face;
        continue;
      }
      for (const auto& [character, entry] : skin.legend)
        if (entry.keyShare != 0 && pixel == entry.colour) {
          pixel = Blend(pixel, face, entry.keyShare);
          break;
        }
    }
  return shown;
}

RgbImage Enlarge(const RgbImage& image, int scale) {
  RgbImage large(image.width * scale, image.height * scale, 0);
  for (int y = 0; y < large.height; ++y)
    for (int x = 0; x < large.width; ++x) large.At(x, y) = image.At(x / scale, y / scale);
  return large;
}

RgbImage Stack(const std::vector<RgbImage>& images, int gap, Rgb colour) {
  int width = 0;
  int height = 0;
  for (const RgbImage& image : images) {
    width = std::max(width, image.width);
    height += image.height + (height > 0 ? gap : 0);
  }
  RgbImage all(width, height, colour);
  int top = 0;
  for (const RgbImage& image : images) {
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) all.At(x, top + y) = image.At(x, y);
    top += image.height + gap;
  }
  return all;
}

}  // namespace skinmaker
