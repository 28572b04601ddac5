// The image exchange on pictures in memory, as the child process runs it: planes in the
// interface's order, the alpha plane, padding, sampling, dummy planes, buffers kept while the
// plug-in asks for parts of them, output written back only inside the filter area and the
// selection, and buffers too large to have.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "quillo/plugins/FilterImageExchange.h"

namespace {

Rect R(int left, int top, int right, int bottom) {
  return Rect{static_cast<int16_t>(top), static_cast<int16_t>(left), static_cast<int16_t>(bottom),
              static_cast<int16_t>(right)};
}

// Pictures of w x h pixels with (b, g, r, a) = (x, y, x + y, 0) and a destination copy.
struct Pictures {
  Pictures(int w, int h) : width(w), height(h), source(std::size_t(w) * h * 4), destination(source.size()) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        std::uint8_t* p = &source[(std::size_t(y) * w + x) * 4];
        p[0] = static_cast<std::uint8_t>(x);
        p[1] = static_cast<std::uint8_t>(y);
        p[2] = static_cast<std::uint8_t>(x + y);
        p[3] = 0;
      }
    destination = source;
  }
  FilterPictures Describe(std::int32_t alphaMode = -1) {
    FilterPictures p;
    p.source = source.data();
    p.destination = destination.data();
    p.width = width;
    p.height = height;
    p.rowBytes = std::ptrdiff_t(width) * 4;
    p.alphaMode = alphaMode;
    if (!mask.empty()) {
      p.maskWords = mask.data();
      p.maskRowBytes = 4 * ((width + 31) / 32);
    }
    return p;
  }
  std::uint8_t* DestinationPixel(int x, int y) { return &destination[(std::size_t(y) * width + x) * 4]; }
  int width, height;
  std::vector<std::uint8_t> source, destination;
  std::vector<std::uint32_t> mask;
};

FilterRecord WholeRecord(int w, int h) {
  FilterRecord r{};
  r.filterRect = R(0, 0, w, h);
  r.autoMask = 1;
  return r;
}

TEST(FilterImageExchange, PlanesArriveRedGreenBlueAndAlphaFlippedInAlphaModeOne) {
  Pictures p(4, 4);
  std::uint8_t* pixel = &p.source[0];
  pixel[0] = 10, pixel[1] = 20, pixel[2] = 30, pixel[3] = 0;
  FilterImageExchange exchange(p.Describe(-1));
  FilterRecord r = WholeRecord(4, 4);
  r.inRect = R(0, 0, 1, 1);
  r.inLoPlane = 0;
  r.inHiPlane = 3;
  exchange.AdvanceState(r);
  ASSERT_NE(r.inData, nullptr);
  const auto* in = static_cast<const std::uint8_t*>(r.inData);
  EXPECT_EQ(std::vector<int>(in, in + 4), (std::vector<int>{30, 20, 10, 255}));
  EXPECT_EQ(r.inColumnBytes, 4);
  EXPECT_EQ(r.inPlaneBytes, 1);
  EXPECT_EQ(r.inNonLayerPlanes, 4);
  EXPECT_EQ(r.absNonLayerPlanes, 4);
}

TEST(FilterImageExchange, ABorderIsFilledWithEdgePixelsOrThePaddingByte) {
  Pictures p(5, 4);
  for (int padding : {-1, 0, 7}) {
    FilterImageExchange exchange(p.Describe());
    FilterRecord r = WholeRecord(5, 4);
    r.inRect = R(-2, -2, 7, 6);
    r.inHiPlane = 2;
    r.inputPadding = static_cast<int16_t>(padding);
    exchange.AdvanceState(r);
    ASSERT_NE(r.inData, nullptr);
    const auto* in = static_cast<const std::uint8_t*>(r.inData);
    const auto at = [&](int x, int y) { return in + (y + 2) * r.inRowBytes + (x + 2) * 3; };
    // Inside: red is x + y, green y, blue x.
    EXPECT_EQ(at(3, 2)[0], 5);
    EXPECT_EQ(at(3, 2)[2], 3);
    for (auto [x, y, edgeX, edgeY] : {std::tuple{-2, -2, 0, 0}, {6, 1, 4, 1}, {2, 5, 2, 3}, {-1, 3, 0, 3}}) {
      const int expectBlue = padding == -1 ? edgeX : padding;
      const int expectGreen = padding == -1 ? edgeY : padding;
      EXPECT_EQ(at(x, y)[2], expectBlue) << padding << " at " << x << "," << y;
      EXPECT_EQ(at(x, y)[1], expectGreen) << padding << " at " << x << "," << y;
    }
  }
}

TEST(FilterImageExchange, InputRateTwoSamplesEverySecondRowAndColumn) {
  Pictures p(100, 100);
  FilterImageExchange exchange(p.Describe());
  FilterRecord r = WholeRecord(100, 100);
  r.inRect = R(0, 0, 50, 50);
  r.inHiPlane = 2;
  r.inputRate = 2 << 16;
  exchange.AdvanceState(r);
  ASSERT_NE(r.inData, nullptr);
  EXPECT_EQ(r.inRowBytes, 150);
  const auto* in = static_cast<const std::uint8_t*>(r.inData);
  for (auto [x, y] : {std::pair{0, 0}, {49, 0}, {10, 20}, {49, 49}}) {
    EXPECT_EQ(in[y * 150 + x * 3 + 2], 2 * x);
    EXPECT_EQ(in[y * 150 + x * 3 + 1], 2 * y);
  }
}

TEST(FilterImageExchange, DummyPlanesHoldTheDummyValueAndAreIgnoredOnTheWayBack) {
  Pictures p(3, 2);
  FilterImageExchange exchange(p.Describe());
  FilterRecord r = WholeRecord(3, 2);
  r.outRect = R(0, 0, 3, 2);
  r.outHiPlane = 2;
  r.outPreDummyPlanes = 2;
  r.outPostDummyPlanes = 1;
  r.dummyPlaneValue = 0x1A7;
  exchange.AdvanceState(r);
  ASSERT_NE(r.outData, nullptr);
  EXPECT_EQ(r.outColumnBytes, 6);
  auto* out = static_cast<std::uint8_t*>(r.outData);
  EXPECT_EQ(out[0], 0xA7);
  EXPECT_EQ(out[1], 0xA7);
  EXPECT_EQ(out[5], 0xA7);
  for (int i = 0; i < 6 * 6; ++i) out[i] = 200;
  r.outRect = R(0, 0, 0, 0);
  exchange.AdvanceState(r);
  EXPECT_EQ(r.outData, nullptr);
  EXPECT_EQ(std::vector<int>(p.DestinationPixel(2, 1), p.DestinationPixel(2, 1) + 4), (std::vector<int>{200, 200, 200, 0}));
}

TEST(FilterImageExchange, AskingForAPartOfTheHeldRectangleKeepsTheBufferAndItsOutput) {
  Pictures p(8, 8);
  FilterImageExchange exchange(p.Describe());
  FilterRecord r = WholeRecord(8, 8);
  r.outRect = R(0, 0, 8, 8);
  r.outHiPlane = 2;
  exchange.AdvanceState(r);
  auto* whole = static_cast<std::uint8_t*>(r.outData);
  whole[0] = 99;
  r.outRect = R(2, 3, 4, 5);
  exchange.AdvanceState(r);
  EXPECT_EQ(r.outData, whole + 3 * r.outRowBytes + 2 * 3) << "the same buffer, no write-back yet";
  EXPECT_EQ(p.DestinationPixel(0, 0)[2], 0);
  r.outRect = R(0, 0, 0, 0);
  exchange.AdvanceState(r);
  EXPECT_EQ(p.DestinationPixel(0, 0)[2], 99);
}

TEST(FilterImageExchange, OutputOutsideTheFilterAreaOrTheSelectionIsNeverWrittenBack) {
  Pictures p(40, 3);
  p.mask.assign(2 * 3, 0);
  p.mask[0] = 0x0000000F;           // row 0: x 0-3
  p.mask[1] = 0x00000001;           // row 0: x 32
  p.mask[2 * 2] = 0xFFFFFFFF;       // row 2: x 0-31
  FilterImageExchange exchange(p.Describe());
  FilterRecord r = WholeRecord(40, 3);
  r.filterRect = R(2, 0, 40, 2);  // rows 0-1, from column 2
  r.haveMask = 1;
  r.outRect = R(0, 0, 40, 3);
  r.outHiPlane = 2;
  exchange.AdvanceState(r);
  std::memset(r.outData, 255, std::size_t(r.outRowBytes) * 3);
  r.outRect = R(0, 0, 0, 0);
  exchange.AdvanceState(r);
  std::vector<std::pair<int, int>> written;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 40; ++x)
      if (p.DestinationPixel(x, y)[0] == 255 && p.DestinationPixel(x, y)[1] == 255) written.push_back({x, y});
  EXPECT_EQ(written, (std::vector<std::pair<int, int>>{{2, 0}, {3, 0}, {32, 0}}));
}

TEST(FilterImageExchange, TheMaskBufferShowsTheSelectionInsideTheFilterArea) {
  Pictures p(6, 2);
  p.mask = {0b000110, 0b111111};
  FilterImageExchange exchange(p.Describe());
  FilterRecord r = WholeRecord(6, 2);
  r.filterRect = R(0, 0, 5, 2);
  r.haveMask = 1;
  r.maskRect = R(0, 0, 6, 2);
  exchange.AdvanceState(r);
  ASSERT_NE(r.maskData, nullptr);
  const auto* m = static_cast<const std::uint8_t*>(r.maskData);
  EXPECT_EQ(std::vector<int>(m, m + 12), (std::vector<int>{0, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255, 0}));
}

TEST(FilterImageExchange, ABufferTooLargeToHaveLeavesNoDataAndFailsTheRun) {
  Pictures p(4, 4);
  FilterImageExchange exchange(p.Describe());
  FilterRecord r = WholeRecord(4, 4);
  r.inRect = R(-32768, -32768, 32767, 32767);
  r.inLoPlane = 0;
  r.inHiPlane = 30000;  // 30001 planes a pixel: far past what may be had
  exchange.AdvanceState(r);
  EXPECT_EQ(r.inData, nullptr);
  EXPECT_EQ(r.inRowBytes, 0);
  EXPECT_TRUE(exchange.AllocationFailed());
}

}  // namespace

namespace {

// A byte of the input buffer as the exchange rules give it: plane k of 0..2 is pixel byte
// 2 - k, plane 3 the alpha byte XOR the mode's low byte (in an alpha mode), other planes 0;
// rows and columns outside the picture take the edge (padding -1) or the padding byte.
int ExpectedInputByte(const Pictures& p, std::int32_t alphaMode, int lo, int hi, int pre, int step, int padding,
                      int dummy, long x, long y, int k) {
  const int planes = hi + 1 - lo;
  if (k < pre || k >= pre + planes) return dummy & 0xFF;
  const long sx = x * step, sy = y * step;
  const bool outside = sx < 0 || sx >= p.width || sy < 0 || sy >= p.height;
  if (outside && padding != -1) return padding & 0xFF;
  const long cx = std::clamp<long>(sx, 0, p.width - 1), cy = std::clamp<long>(sy, 0, p.height - 1);
  const std::uint8_t* pixel = &p.source[(std::size_t(cy) * std::size_t(p.width) + std::size_t(cx)) * 4];
  const int plane = lo + k - pre;
  if (plane <= 2) return pixel[2 - plane];
  if (plane == 3 && alphaMode != 0) return pixel[3] ^ (alphaMode & 0xFF);
  return 0;
}

}  // namespace

// Every layout of column a plug-in can ask for: plane ranges (some planes beyond the pixel's),
// dummy planes before and after (columns shorter and longer than 8 bytes), sampling steps,
// edge or padding bytes around the picture, alpha modes; then the same layouts written back.
TEST(FilterImageExchange, EveryColumnLayoutArrivesAndGoesBackByteForByte) {
  struct Layout {
    int lo, hi, pre, post, step, padding;
    std::int32_t alphaMode;
  };
  const Layout layouts[] = {
      {0, 2, 0, 0, 1, -1, -1}, {0, 3, 0, 0, 1, -1, -1}, {0, 3, 1, 0, 1, 0, 256}, {0, 2, 1, 1, 1, 7, -1},
      {1, 2, 0, 0, 1, -1, 0},  {0, 3, 0, 0, 1, -1, 0},  {2, 5, 2, 1, 1, -1, -1}, {0, 3, 4, 2, 1, 9, -1},
      {0, 2, 0, 0, 2, -1, -1}, {0, 3, 1, 1, 3, 0, -1},  {3, 3, 0, 0, 1, -1, -1}, {0, 2, 3, 3, 2, -1, 256},
  };
  for (const Layout& l : layouts) {
    SCOPED_TRACE(testing::Message() << "planes " << l.lo << ".." << l.hi << " dummies " << l.pre << "+" << l.post
                                    << " step " << l.step << " padding " << l.padding << " mode " << l.alphaMode);
    Pictures p(11, 7);
    for (std::size_t k = 3; k < p.source.size(); k += 4) p.source[k] = static_cast<std::uint8_t>(k * 7);
    p.destination = p.source;
    FilterImageExchange exchange(p.Describe(l.alphaMode));
    FilterRecord r = WholeRecord(11, 7);
    r.inRect = R(-2, -1, 13 / l.step + 2, 7 / l.step + 2);
    r.inLoPlane = static_cast<int16_t>(l.lo);
    r.inHiPlane = static_cast<int16_t>(l.hi);
    r.inPreDummyPlanes = static_cast<int16_t>(l.pre);
    r.inPostDummyPlanes = static_cast<int16_t>(l.post);
    r.inputRate = l.step << 16;
    r.inputPadding = static_cast<int16_t>(l.padding);
    r.dummyPlaneValue = 0x3C;
    r.outRect = R(-1, 0, 12, 7);
    r.outLoPlane = static_cast<int16_t>(l.lo);
    r.outHiPlane = static_cast<int16_t>(l.hi);
    r.outPreDummyPlanes = static_cast<int16_t>(l.pre);
    r.outPostDummyPlanes = static_cast<int16_t>(l.post);
    exchange.AdvanceState(r);
    ASSERT_NE(r.inData, nullptr);
    const int columnBytes = l.hi + 1 - l.lo + l.pre + l.post;
    ASSERT_EQ(r.inColumnBytes, columnBytes);
    const auto* in = static_cast<const std::uint8_t*>(r.inData);
    for (int y = r.inRect.top; y < r.inRect.bottom; ++y)
      for (int x = r.inRect.left; x < r.inRect.right; ++x)
        for (int k = 0; k < columnBytes; ++k)
          ASSERT_EQ(in[(y - r.inRect.top) * r.inRowBytes + (x - r.inRect.left) * columnBytes + k],
                    ExpectedInputByte(p, l.alphaMode, l.lo, l.hi, l.pre, l.step, l.padding, 0x3C, x, y, k))
              << x << "," << y << " byte " << k;

    // Back: each column's bytes a pattern of its place; only the planes with pixel bytes land.
    ASSERT_NE(r.outData, nullptr);
    auto* out = static_cast<std::uint8_t*>(r.outData);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x)
        for (int k = 0; k < columnBytes; ++k) out[y * r.outRowBytes + x * columnBytes + k] = static_cast<std::uint8_t>(x * 16 + y * 3 + k);
    const std::vector<std::uint8_t> before = p.destination;
    r.inRect = r.outRect = R(0, 0, 0, 0);
    exchange.AdvanceState(r);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 11; ++x)
        for (int byte = 0; byte < 4; ++byte) {
          int expected = before[(std::size_t(y) * 11 + std::size_t(x)) * 4 + std::size_t(byte)];
          for (int plane = l.lo; plane <= l.hi; ++plane) {
            const int k = l.pre + plane - l.lo;
            const int written = x + 1;  // the output starts one column left of the picture
            if (plane <= 2 && byte == 2 - plane) expected = (written * 16 + y * 3 + k) & 0xFF;
            if (plane == 3 && byte == 3 && l.alphaMode != 0) expected = ((written * 16 + y * 3 + k) ^ (l.alphaMode & 0xFF)) & 0xFF;
          }
          ASSERT_EQ(p.DestinationPixel(x, y)[byte], expected) << x << "," << y << " byte " << byte;
        }
  }
}
