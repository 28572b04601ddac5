#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "tests/vorlen/BufferFixtures.h"
#include "vorlen/core/Buffer.h"

namespace {

Buffer Row(std::vector<uint> pixels) {
  Buffer b = Filled(int(pixels.size()), 1, 0);
  for (size_t i = 0; i < pixels.size(); ++i) *b.At(int(i), 0) = pixels[i];
  return b;
}

std::vector<uint> ScaledRow(const Buffer& src, int width, uint mode, int filter, uint background = 0) {
  Buffer dst = Filled(std::abs(width), 1, background);
  dst.Scale(src, Pair<int>(width, 1), Pair<int>(0, 0), mode, filter);
  return Pixels(dst);
}

constexpr uint A = 0xA, B = 0xB, C = 0xC, D = 0xD;

}  // namespace

TEST(BufferScale, SamplesAtFixedPointCentres) {
  struct Case {
    std::vector<uint> source;
    int width;
    std::vector<uint> expected;
  } const cases[] = {
      {{A, B, C}, 2, {A, C}},              // step 1.5: centres 0.75 and 2.25
      {{A, B, C}, -2, {C, A}},             // mirrored: the right end takes k = 0
      {{A, B}, 5, {A, A, A, B, B}},        // step 0.4 truncated: (2 + 1/2) x step falls short of 1
      {{A, B, C, D}, 4, {A, B, C, D}},
      {{A, B, C, D}, -4, {D, C, B, A}},
  };
  for (const Case& c : cases) EXPECT_EQ(ScaledRow(Row(c.source), c.width, Buffer::kPlain, 0), c.expected);
}

TEST(BufferScale, OnePixelFillsTheWholeTarget) {
  Buffer dst = Filled(5, 5, 0);
  dst.Scale(Row({0x123456}), Pair<int>(5, 5), Pair<int>(0, 0), Buffer::kPlain, 0);
  EXPECT_EQ(Pixels(dst), std::vector<uint>(25, 0x123456));
}

TEST(BufferScale, MirrorsBothAxesPixelForPixel) {
  const Buffer src = Numbered(7, 5);
  Buffer dst = Filled(7, 5, 0);
  dst.Scale(src, Pair<int>(-7, -5), Pair<int>(0, 0), Buffer::kPlain, -1);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(*dst.At(x, y), *src.At(6 - x, 4 - y));
}

TEST(BufferScale, ChoosesSupersamplingByTheFactor) {
  // Alternating black and white columns: only averaging can make a grey.
  Buffer stripes = Filled(100, 100, 0);
  for (int y = 0; y < 100; ++y)
    for (int x = 1; x < 100; x += 2) *stripes.At(x, y) = 0xFFFFFF;
  const auto greys = [&](int size, int filter) {
    Buffer dst = Filled(size, size, 0);
    dst.Scale(stripes, Pair<int>(size, size), Pair<int>(0, 0), Buffer::kPlain, filter);
    const std::vector<uint> p = Pixels(dst);
    return std::set<uint>(p.begin(), p.end()).size() > 2;
  };
  EXPECT_FALSE(greys(120, -1));  // factor 1.2
  EXPECT_TRUE(greys(150, -1));   // factor 1.5
  EXPECT_TRUE(greys(120, 1));
  EXPECT_FALSE(greys(150, 0));
  EXPECT_TRUE(greys(66, -1));    // two thirds
}

TEST(BufferScale, SupersamplingAveragesFourSamples) {
  // Step 2: samples at 0.5 and 1.5 source pixels, then 2.5 and 3.5.
  EXPECT_EQ(ScaledRow(Row({0, 0x00FF0301, 0x00000004, 0x00000008}), 2, Buffer::kPlain, 1),
            (std::vector<uint>{0x00800201, 0x00000006}));
  // A key sample takes the target pixel it would overwrite.
  EXPECT_EQ(ScaledRow(Row({0x00FF00FF, 0x00000008, 0x00FF00FF, 0x00FF00FF}), 2, 0x00FF00FF, 1, 0x00000004),
            (std::vector<uint>{0x00000006, 0x00000004}));
}

TEST(BufferScale, SupersampledTransparencyIsAveragedAndComposited) {
  // Opaque red beside fully transparent blue: the average is half-transparent red.
  const Buffer src = Row({0x00FF0000, 0xFF0000FF});
  EXPECT_EQ(ScaledRow(src, 1, Buffer::kPlain, 1, 0x000000FF), (std::vector<uint>{0x80FF0000}));
  EXPECT_EQ(ScaledRow(src, 1, Buffer::kComposite, 1, 0x000000FF), (std::vector<uint>{0x007F0080}));
  // Nothing of a fully transparent source shows over an opaque target.
  EXPECT_EQ(ScaledRow(Row({0xFF123456, 0xFF654321}), 1, Buffer::kComposite, 1, 0x00ABCDEF),
            (std::vector<uint>{0x00ABCDEF}));
}

TEST(BufferScale, CompositesSingleSamples) {
  EXPECT_EQ(ScaledRow(Row({0x80FF0000, 0x00000001}), 2, Buffer::kComposite, 0, 0x000000FF),
            (std::vector<uint>{0x007F0080, 0x00000001}));
}

TEST(BufferScale, ClippedTargetsDrawWhatTheWholeTargetWould) {
  const Buffer src = Numbered(13, 11);
  for (const int filter : {0, 1})
    for (const Pair<int> size : {Pair<int>(29, 17), Pair<int>(-29, 17), Pair<int>(5, -4), Pair<int>(-9, -23)}) {
      Buffer whole = Filled(40, 40, 0);
      whole.Scale(src, size, Pair<int>(3, 4), Buffer::kPlain, filter);
      Buffer backing = Filled(40, 40, 0);
      Buffer window(backing, Rect(6, 7, 14, 12), true);
      window.Scale(src, size, Pair<int>(3, 4), Buffer::kPlain, filter);
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
          const bool inside = x >= 6 && x <= 14 && y >= 7 && y <= 12;
          ASSERT_EQ(*backing.At(x, y), inside ? *whole.At(x, y) : 0u) << x << "," << y << " " << size.x;
        }
    }
}

TEST(BufferScale, NothingToDrawDrawsNothing) {
  Buffer dst = Filled(4, 4, 9);
  Buffer empty;
  dst.Scale(empty, Pair<int>(4, 4), Pair<int>(0, 0), Buffer::kPlain, 0);
  dst.Scale(Numbered(2, 2), Pair<int>(0, 4), Pair<int>(0, 0), Buffer::kPlain, 0);
  dst.Scale(Numbered(2, 2), Pair<int>(4, 4), Pair<int>(4, 0), Buffer::kPlain, 0);
  dst.Scale(Numbered(2, 2), Pair<int>(-2147483647 - 1, 4), Pair<int>(2147483647, 0), Buffer::kPlain, 1);
  EXPECT_EQ(Pixels(dst), std::vector<uint>(16, 9));
  empty.Scale(Numbered(2, 2), Pair<int>(4, 4), Pair<int>(0, 0), Buffer::kPlain, 0);
  EXPECT_EQ(empty.pixels, nullptr);
}
