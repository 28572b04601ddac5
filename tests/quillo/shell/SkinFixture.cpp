#include "SkinFixture.h"

#include <cstdio>
#include <stdexcept>

#include "vorlen/formats/GFXFile.h"

namespace SkinFixture {

namespace {

// The header font: 3 x 5, '#' drawn in ink, '.' left in the reference colour.
constexpr const char* Font[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {"..#", "..#", "..#", "..#", "..#"},
    {"###", "..#", "###", "#..", "###"}, {"###", "..#", "###", "..#", "###"},
    {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", "..#", "..#", "..#"},
    {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"},
};

void Put(Buffer& image, int x, int y, std::uint32_t colour) { image.PutPixel(Pair<int>(x, y), colour); }

void DrawNumber(Buffer& image, int x, int value) {
  DrawDigit(image, x, value / 10);
  DrawDigit(image, x + 4, value % 10);
}

void DrawStrip(Buffer& image, int top, int rows, int width, int height, int firstIndex) {
  const int columns = (image.Width() + 1) / (width + 1);
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column) {
      const int left = column * (width + 1);
      const int y0 = top + row * (height + 1);
      image.Box(Rect(left, y0, left + width, y0 + height), IconColour(firstIndex + row * columns + column));
      Put(image, left + 1, y0, LightKey);
      Put(image, left + 2, y0, MiddleKey);
      Put(image, left + 3, y0, DarkKey);
      Put(image, left, y0 + height - 1, Background);
    }
}

}  // namespace

std::uint32_t IconColour(int index) {
  // Distinct for every index a fixture holds, and never one of the special colours.
  return 0x00100000u + static_cast<std::uint32_t>(index) * 0x0101u;
}

int ImageHeight(const SkinFixtureLayout& l) { return 6 + l.rows1 * (l.height1 + 1) + l.rows2 * (l.height2 + 1); }

void DrawDigit(Buffer& image, int x, int digit) {
  for (int y = 0; y < 5; ++y)
    for (int dx = 0; dx < 3; ++dx)
      if (Font[digit][y][dx] == '#') Put(image, x + dx, y, Ink);
}

void Draw(Buffer& image, const SkinFixtureLayout& l) {
  image.Alloc(Pair<int>(l.imageWidth, ImageHeight(l)));
  image.Box(image.rect, Separator);
  image.Box(Rect(0, 0, l.imageWidth, 6), Reference);
  DrawNumber(image, 0, l.rows1);
  DrawNumber(image, 12, l.width1);
  DrawNumber(image, 24, l.height1);
  DrawNumber(image, 36, l.rows2);
  DrawNumber(image, 48, l.width2);
  DrawNumber(image, 60, l.height2);
  if (l.imageWidth > 68) {
    Put(image, 68, 1, LightKey);
    Put(image, 68, 2, MiddleKey);
    Put(image, 68, 3, DarkKey);
  }
  const int top2 = 6 + l.rows1 * (l.height1 + 1);
  DrawStrip(image, 6, l.rows1, l.width1, l.height1, 1);
  DrawStrip(image, top2, l.rows2, l.width2, l.height2, 1001);
  if (l.rows1 > 0 && 6 + l.height1 < image.Height()) Put(image, 0, 6 + l.height1, LightKey);
}

std::string Write(const std::string& folder, const std::string& name, const SkinFixtureLayout& layout) {
  Buffer image;
  Draw(image, layout);
  const std::string png = folder + "/" + name + ".png";
  const std::string skin = folder + "/" + name + ".skn";
  if (!GFXFile::Save(image, png, nullptr, nullptr) || std::rename(png.c_str(), skin.c_str()) != 0)
    throw std::runtime_error("cannot write the fixture skin " + skin);
  return skin;
}

}  // namespace SkinFixture
