#pragma once
// A small skin drawn by the tests: the header in the skin digit font, one key-colour column,
// and icons that each carry their own colour, so a test can tell which icon landed where.
//
// Every icon n (its glyph index: 1.. first strip, 1001.. second) is filled with IconColour(n)
// except three pixels of its top line in the light, middle and dark key colours (columns 1, 2
// and 3) and its bottom-left pixel in the background colour. Separator lines and columns are
// SeparatorColour, with one light-key pixel outside every cell at (0, 6 + Height1).

#include <cstdint>
#include <string>

#include "vorlen/core/Buffer.h"

struct SkinFixtureLayout {
  int rows1 = 3;
  int width1 = 6;
  int height1 = 5;
  int rows2 = 2;
  int width2 = 4;
  int height2 = 4;
  int imageWidth = 69;  // one key column at 68
};

namespace SkinFixture {
constexpr std::uint32_t Reference = 0x00FFFFFF;   // header background and the reference pixel
constexpr std::uint32_t Ink = 0x00000000;         // the header's digits
constexpr std::uint32_t Background = 0x00FF00FF;  // the icons' background
constexpr std::uint32_t Separator = 0x00404040;
constexpr std::uint32_t LightKey = 0x00F0E0D0;
constexpr std::uint32_t MiddleKey = 0x00807060;
constexpr std::uint32_t DarkKey = 0x00302010;

// The colour icon n is filled with (n: glyph index).
std::uint32_t IconColour(int index);
// The image's height for a layout.
int ImageHeight(const SkinFixtureLayout& layout);
// Draws digit (0-9) of the header font with its left column at x.
void DrawDigit(Buffer& image, int x, int digit);
// The whole skin image.
void Draw(Buffer& image, const SkinFixtureLayout& layout = {});
// The skin written as "<folder>/<name>.skn" (a PNG inside); returns the path.
std::string Write(const std::string& folder, const std::string& name, const SkinFixtureLayout& layout = {});
}  // namespace SkinFixture
