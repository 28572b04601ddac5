// The convolution filter's arithmetic: an exact long double reference on random kernels and
// pictures, the rounding inside and on the border, the choice of form, edge repetition,
// masks and alpha.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "quillo/filters/ConvolutionKernel.h"
#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Buffer.h"

namespace {

Buffer Picture(int width, int height, std::uint32_t colour) {
  Buffer b;
  b.Alloc(Pair<int>(width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *b.At(x, y) = colour;
  return b;
}

void FilterAll(const ConvolutionFilter& filter, const Buffer& source, Buffer& target, const BitBuffer* mask = nullptr) {
  for (int y = source.rect.top; y <= source.rect.bottom; ++y)
    filter.FilterRow(source, mask, target, y, source.rect.left, source.rect.right);
}

Buffer Filtered(const ConvolutionKernel& kernel, Buffer& source) {
  Buffer target;
  target.Alloc(Pair<int>(source.Width(), source.Height()));
  target.Copy(source, Pair<int>(0, 0), Buffer::kPlain);
  FilterAll(ConvolutionFilter(kernel), source, target);
  return target;
}

// The filter as the arithmetic reads: single-precision weights, an extended-precision sum,
// ties to even inside, truncation on the border, then 0..255.
std::uint32_t Reference(const ConvolutionKernel& kernel, const Buffer& source, int x, int y) {
  const int w = source.Width(), h = source.Height();
  bool outer = false;
  for (int c = 0; c < 25; ++c)
    if ((c / 5 == 0 || c / 5 == 4 || c % 5 == 0 || c % 5 == 4) &&
        std::fabs(static_cast<float>(kernel.Cells[static_cast<std::size_t>(c)]) / static_cast<float>(kernel.Div)) >
            0.0039062)
      outer = true;
  const int side = outer ? 5 : 3, half = side / 2, skip = (5 - side) / 2;
  const bool interior = x >= half && x < w - half && y >= half && y < h - half;
  std::uint32_t result = *source.At(x, y) & 0xFF000000u;
  for (int shift : {16, 8, 0}) {
    long double sum = 0;
    for (int r = 0; r < side; ++r)
      for (int c = 0; c < side; ++c) {
        const float weight = static_cast<float>(kernel.Cells[static_cast<std::size_t>((r + skip) * 5 + c + skip)]) /
                             static_cast<float>(kernel.Div);
        const int sx = std::clamp(x + c - half, 0, w - 1), sy = std::clamp(y + r - half, 0, h - 1);
        sum += static_cast<long double>(weight) * static_cast<long double>(*source.At(sx, sy) >> shift & 0xFF);
      }
    sum += kernel.Bias;
    const long double level = interior ? std::nearbyintl(sum) : std::truncl(sum);
    result |= static_cast<std::uint32_t>(std::clamp<long double>(level, 0, 255)) << shift;
  }
  return result;
}

ConvolutionKernel RandomKernel(std::mt19937& random, bool withOuterRing) {
  ConvolutionKernel kernel;
  std::uniform_int_distribution<int> cell(-999, 999), small(-3, 3), div(1, 9999), bias(-300, 300);
  for (int c = 0; c < 25; ++c) {
    const bool outer = c / 5 == 0 || c / 5 == 4 || c % 5 == 0 || c % 5 == 4;
    if (outer && !withOuterRing) continue;
    kernel.Cells[static_cast<std::size_t>(c)] = random() % 2 ? cell(random) : small(random);
  }
  // Divisors near the sum of the cells give results in range, where the rounding shows.
  int total = 0;
  for (int c : kernel.Cells) total += c;
  kernel.Div = random() % 2 && total > 0 ? std::min(total, 9999) : div(random);
  kernel.Bias = random() % 3 ? 0 : bias(random);
  return kernel;
}

TEST(ConvolutionFilterTest, EqualsTheExtendedPrecisionReferenceOnRandomKernels) {
  std::mt19937 random(53);
  for (int round = 0; round < 60; ++round) {
    const int w = 1 + static_cast<int>(random() % 12), h = 1 + static_cast<int>(random() % 10);
    Buffer source;
    source.Alloc(Pair<int>(w, h));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) *source.At(x, y) = static_cast<std::uint32_t>(random());
    const ConvolutionKernel kernel = RandomKernel(random, round % 2 == 0);
    const Buffer target = Filtered(kernel, source);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(*target.At(x, y), Reference(kernel, source, x, y))
            << "round " << round << " at " << x << "," << y << " of " << w << "x" << h;
  }
}

TEST(ConvolutionFilterTest, TiesRoundToEvenInsideAndTruncateOnTheBorder) {
  // Half of 255 is 127.5.
  ConvolutionKernel half;
  half.Cells[KernelCentre] = 1;
  half.Div = 2;
  Buffer source = Picture(6, 5, 0x00FFFFFF);
  const Buffer target = Filtered(half, source);
  EXPECT_EQ(*target.At(2, 2), 0x00808080u);  // 128
  EXPECT_EQ(*target.At(0, 2), 0x007F7F7Fu);  // 127
  EXPECT_EQ(*target.At(5, 4), 0x007F7F7Fu);
}

struct FlatCase {
  const char* name;
  std::vector<std::pair<int, int>> cells;  // cell, value
  int div;
  int bias;
  std::uint32_t grey;
  std::uint32_t inside;
  std::uint32_t border;
};

TEST(ConvolutionFilterTest, FlatPicturesGiveTheKernelsSum) {
  const FlatCase cases[] = {
      // The default 3 x 3 of 1s: nine times 20, the edge repeated on the border.
      {"default", {{6, 1}, {7, 1}, {8, 1}, {11, 1}, {12, 1}, {13, 1}, {16, 1}, {17, 1}, {18, 1}}, 1, 0, 20, 180, 180},
      {"bias -9999", {{12, 1}}, 1, -9999, 200, 0, 0},
      {"above 255", {{12, 3}}, 1, 0, 100, 255, 255},
      {"negative", {{12, -1}}, 1, 0, 100, 0, 0},
  };
  for (const FlatCase& c : cases) {
    ConvolutionKernel kernel;
    for (auto [cell, value] : c.cells) kernel.Cells[static_cast<std::size_t>(cell)] = value;
    kernel.Div = c.div;
    kernel.Bias = c.bias;
    Buffer source = Picture(7, 7, c.grey * 0x010101u);
    const Buffer target = Filtered(kernel, source);
    EXPECT_EQ(*target.At(3, 3), c.inside * 0x010101u) << c.name;
    EXPECT_EQ(*target.At(0, 0), c.border * 0x010101u) << c.name;
    EXPECT_EQ(*target.At(6, 3), c.border * 0x010101u) << c.name;
  }
}

struct FormCase {
  const char* name;
  int cell;
  int value;
  int div;
  int side;
};

TEST(ConvolutionFilterTest, TheFullFormNeedsAnOuterWeightAboveTheThreshold) {
  const FormCase cases[] = {
      {"centre only", KernelCentre, 1, 1, 3},
      {"inner ring", 7, 999, 1, 3},
      {"corner 1/9", 0, 1, 9, 5},
      {"edge 1/256 (just above)", 2, 1, 256, 5},
      {"edge -1/256", 10, -1, 256, 5},
      {"edge 1/257 (just below)", 2, 1, 257, 3},
      {"corner -1/257", 24, -1, 257, 3},
      {"corner 40/9999", 20, 40, 9999, 5},
      {"corner 39/9999", 20, 39, 9999, 3},
  };
  for (const FormCase& c : cases) {
    ConvolutionKernel kernel;
    kernel.Cells[KernelCentre] = 1;
    kernel.Cells[static_cast<std::size_t>(c.cell)] = c.value;
    kernel.Div = c.div;
    EXPECT_EQ(ConvolutionFilter(kernel).Side(), c.side) << c.name;
  }
}

TEST(ConvolutionFilterTest, FaintOuterWeightsAreDropped) {
  // Outer weights of 39/9999 (below the threshold each) on white would add 16 levels in the
  // full form; the inner form ignores them.
  ConvolutionKernel faint;
  for (int c = 0; c < 25; ++c) {
    const bool outer = c / 5 == 0 || c / 5 == 4 || c % 5 == 0 || c % 5 == 4;
    faint.Cells[static_cast<std::size_t>(c)] = outer ? 39 : 0;
  }
  faint.Cells[KernelCentre] = 999;
  faint.Div = 9999;
  Buffer source = Picture(9, 9, 0x00FFFFFF);
  const Buffer target = Filtered(faint, source);
  EXPECT_EQ(*target.At(4, 4), 0x00191919u);  // 999 / 9999 * 255 = 25.48
  // One outer weight of 40/9999 brings the full form and every faint one with it.
  faint.Cells[0] = 40;
  const Buffer full = Filtered(faint, source);
  EXPECT_EQ(*full.At(4, 4), 0x00292929u);  // (999 + 15 * 39 + 40) / 9999 * 255 = 41.4
}

TEST(ConvolutionFilterTest, AKernelOfOneOffsetCellMovesThePictureExactly) {
  ConvolutionKernel shift;
  shift.Cells[2 * 5 + 3] = 1;  // row 2, column 3: the pixel to the right
  Buffer source;
  source.Alloc(Pair<int>(8, 6));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) *source.At(x, y) = static_cast<std::uint32_t>((x * 31 + y * 7) * 0x010203u & 0xFFFFFF);
  const Buffer target = Filtered(shift, source);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(*target.At(x, y), *source.At(std::min(x + 1, 7), y)) << x << "," << y;
}

TEST(ConvolutionFilterTest, OnlySelectedPixelsChangeAndAlphaStays) {
  Buffer source = Picture(6, 6, 0x40102030);
  *source.At(3, 3) = 0x80FFFFFF;
  BitBuffer mask;
  mask.Alloc(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) mask.PutPixel(x, y, x >= 2 && y >= 2 ? 1 : 0);
  ConvolutionKernel brighten;
  brighten.Cells[KernelCentre] = 1;
  brighten.Bias = 10;
  Buffer target;
  target.Alloc(Pair<int>(6, 6));
  target.Copy(source, Pair<int>(0, 0), Buffer::kPlain);
  FilterAll(ConvolutionFilter(brighten), source, target, &mask);
  EXPECT_EQ(*target.At(1, 1), 0x40102030u);
  EXPECT_EQ(*target.At(2, 2), 0x401A2A3Au);
  EXPECT_EQ(*target.At(3, 3), 0x80FFFFFFu);  // clamped, alpha kept
  EXPECT_EQ(*target.At(5, 5), 0x401A2A3Au);
}

TEST(ConvolutionFilterTest, ValuesOutOfRangeAreClampedBeforeWeighing) {
  ConvolutionKernel wild;
  wild.Cells[KernelCentre] = 30000;
  wild.Div = 0;
  wild.Bias = -20000;
  const ConvolutionKernel clamped = ClampedKernel(wild);
  EXPECT_EQ(clamped.Cells[KernelCentre], 999);
  EXPECT_EQ(clamped.Div, 1);
  EXPECT_EQ(clamped.Bias, -9999);
  // 999 * 10 - 9999 is below 0, 999 * 11 - 9999 far above 255.
  Buffer dark = Picture(4, 4, 0x000A0A0A);
  EXPECT_EQ(*Filtered(wild, dark).At(1, 1), 0u);
  Buffer lighter = Picture(4, 4, 0x000B0B0B);
  EXPECT_EQ(*Filtered(wild, lighter).At(1, 1), 0x00FFFFFFu);
}

}  // namespace

// Kernels whose matrix is an outer product run in two passes where that is exact, and give
// the single pass's pixels everywhere: inside, on the border, in part rows and under a mask.
// Kernels whose single-precision weights are not one multiple of the cells stay in one pass.
TEST(ConvolutionFilterTest, SeparableKernelsRunInTwoPassesWithTheSamePixels) {
  struct Case {
    const char* name;
    std::vector<int> columnTaps, rowTaps;  // 5 or 3 each; the cells are their outer product
    int div, bias, passes;
  };
  const Case cases[] = {
      {"binomial 5 x 5 / 256", {1, 4, 6, 4, 1}, {1, 4, 6, 4, 1}, 256, 0, 2},
      {"binomial 5 x 5 / 273", {1, 4, 6, 4, 1}, {1, 4, 6, 4, 1}, 273, 0, 1},
      {"box 3 x 3 / 9 (equal weights)", {1, 1, 1}, {1, 1, 1}, 9, 0, 2},
      {"1 3 1 by 1 1 1 / 10", {1, 3, 1}, {1, 1, 1}, 10, 0, 1},
      {"box 3 x 3 / 8 with bias", {1, 1, 1}, {1, 1, 1}, 8, -7, 2},
      {"sobel 3 x 3 with offset", {1, 2, 1}, {-1, 0, 1}, 1, 128, 2},
      {"negative taps both ways / 4", {-1, 3, -1}, {2, -5, 2}, 4, 30, 2},
      {"cells of a common factor / 3", {3, 6, 3}, {1, 2, 1}, 3, 0, 2},
      {"large taps 5 x 5", {1, -31, 0, 31, -1}, {-2, 3, 5, 7, 11}, 2, -40, 2},
      {"one row only", {0, 0, 1, 0, 0}, {1, 2, 3, 2, 1}, 16, 5, 2},
      {"one cell, shifted", {0, 0, 0, 1, 0}, {0, 1, 0, 0, 0}, 1, 0, 2},
      {"rounding ties / 2", {1, 1, 0}, {1, 0, 0}, 2, 0, 2},
      {"1 2 1 by 1 2 1 / 10 (cells twice each other)", {1, 2, 1}, {1, 2, 1}, 10, 3, 2},
  };
  std::mt19937 random(77);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConvolutionKernel kernel;
    const int side = static_cast<int>(c.columnTaps.size()), skip = (5 - side) / 2;
    for (int r = 0; r < side; ++r)
      for (int k = 0; k < side; ++k)
        kernel.Cells[static_cast<std::size_t>((r + skip) * 5 + k + skip)] =
            c.columnTaps[static_cast<std::size_t>(r)] * c.rowTaps[static_cast<std::size_t>(k)];
    kernel.Div = c.div;
    kernel.Bias = c.bias;
    const ConvolutionFilter filter(kernel);
    EXPECT_EQ(filter.Passes(), c.passes);
    for (const auto& [w, h] : {std::pair{13, 9}, std::pair{4, 7}, std::pair{1, 1}}) {
      Buffer source;
      source.Alloc(Pair<int>(w, h));
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) *source.At(x, y) = static_cast<std::uint32_t>(random());
      Buffer target;
      target.Alloc(Pair<int>(w, h));
      target.Copy(source, Pair<int>(0, 0), Buffer::kPlain);
      // Part rows, split at a column that moves from row to row, under a mask with holes.
      BitBuffer mask;
      mask.Alloc(w, h);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) mask.PutPixel(x, y, (x * 7 + y * 3) % 5 != 0 ? 1 : 0);
      for (int y = 0; y < h; ++y) {
        const int split = y % w;
        filter.FilterRow(source, &mask, target, y, 0, split);
        filter.FilterRow(source, &mask, target, y, split + 1, w - 1);
      }
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(*target.At(x, y), mask.Test(x, y) ? Reference(kernel, source, x, y) : *source.At(x, y))
              << x << "," << y << " of " << w << "x" << h;
    }
  }
}
