#include <gtest/gtest.h>

#include <vector>

#include "tests/vorlen/BufferFixtures.h"
#include "vorlen/core/Buffer.h"

TEST(BufferCopy, OffsetsThatMissTheTargetChangeNothing) {
  const Pair<int> offsets[] = {{4, 0}, {-3, 0}, {0, 3}, {0, -2}, {0x7FFFFFFF, 0}, {-0x7FFFFFFF - 1, 0}};
  const Buffer src = Numbered(3, 2);
  for (const Pair<int> offset : offsets) {
    Buffer dst = Filled(4, 3, 0xAB);
    dst.Copy(src, offset, Buffer::kPlain);
    EXPECT_EQ(Pixels(dst), std::vector<uint>(12, 0xAB));
  }
}

TEST(BufferCopy, ClipsToTheTargetRectangle) {
  Buffer dst = Filled(3, 3, 0);
  dst.Copy(Numbered(3, 3), Pair<int>(-1, 1), Buffer::kPlain);
  EXPECT_EQ(Pixels(dst), (std::vector<uint>{0, 0, 0, 2, 3, 0, 5, 6, 0}));
}

TEST(BufferCopy, HonoursRectanglesThatDoNotStartAtZero) {
  Buffer big = Numbered(6, 6);
  const Buffer part(big, Rect(2, 3, 3, 4), true);  // pixels 21, 22 / 27, 28 at (2, 3)
  Buffer dst = Filled(3, 3, 0);
  dst.Copy(part, Pair<int>(-2, -3), Buffer::kPlain);
  EXPECT_EQ(Pixels(dst), (std::vector<uint>{21, 22, 0, 27, 28, 0, 0, 0, 0}));
}

TEST(BufferCopy, ShiftsWithinOneBlockWithoutSmearing) {
  for (const uint mode : {Buffer::kPlain, uint(0x12345678)}) {
    for (const int dx : {1, -1}) {
      Buffer image = Numbered(4, 3);
      const Buffer view(image, Rect(0, 0, 3, 2), true);
      image.Copy(view, Pair<int>(dx, 1), mode);
      const std::vector<uint> shiftedRight{1, 2, 3, 4, 5, 1, 2, 3, 9, 5, 6, 7};
      const std::vector<uint> shiftedLeft{1, 2, 3, 4, 2, 3, 4, 8, 6, 7, 8, 12};
      EXPECT_EQ(Pixels(image), dx > 0 ? shiftedRight : shiftedLeft) << mode << " " << dx;
    }
  }
}

TEST(BufferCopy, LeavesOutTheKeyColourOnly) {
  Buffer src = Filled(4, 1, 0x00FF00FF);
  *src.At(1, 0) = 0x01FF00FF;
  *src.At(2, 0) = 0x80FF00FF;
  Buffer dst = Filled(4, 1, 7);
  dst.Copy(src, Pair<int>(0, 0), 0x00FF00FF);
  EXPECT_EQ(Pixels(dst), (std::vector<uint>{7, 0x01FF00FF, 0x80FF00FF, 7}));
}

TEST(BufferCopy, CompositesRowsByTransparency) {
  Buffer src = Filled(2, 2, 0x80FF0000);
  *src.At(1, 1) = 0xFF00FF00;
  Buffer dst = Filled(3, 2, 0x000000FF);
  dst.Copy(src, Pair<int>(1, 0), Buffer::kComposite);
  EXPECT_EQ(Pixels(dst), (std::vector<uint>{0xFF, 0x007F0080, 0x007F0080, 0xFF, 0x007F0080, 0xFF}));
}

TEST(BufferCopy, CompositesWithinOneBlockFromThePixelsAsTheyWere) {
  // Opaque black at one end of half-transparent white, composited over itself moved by one
  // pixel towards the other end. Each pixel takes its neighbour as it was: black once, then
  // half white over half white (0x40FFFFFF), never black carried along.
  constexpr uint kBlack = 0x00000000, kHalf = 0x80FFFFFF, kPair = 0x40FFFFFF;
  struct Case {
    Pair<int> shift;
    Pair<int> black;
    std::vector<uint> expected;  // along the direction of the shift
  } const cases[] = {
      {{1, 0}, {0, 0}, {kBlack, kBlack, kPair, kPair, kPair}},
      {{-1, 0}, {4, 0}, {kBlack, kBlack, kPair, kPair, kPair}},
      {{0, 1}, {0, 0}, {kBlack, kBlack, kPair, kPair, kPair}},
  };
  for (const Case& c : cases) {
    const bool across = c.shift.y == 0;
    Buffer image = Filled(across ? 5 : 1, across ? 1 : 5, kHalf);
    *image.At(c.black.x, c.black.y) = kBlack;
    const Buffer view(image, image.rect, true);
    image.Copy(view, c.shift, Buffer::kComposite);
    std::vector<uint> along = Pixels(image);
    if (c.shift.x < 0) along = std::vector<uint>(along.rbegin(), along.rend());
    EXPECT_EQ(along, c.expected) << c.shift.x << "," << c.shift.y;
  }
}

TEST(BufferCopy, EmptyBuffersTakeAndGiveNothing) {
  Buffer empty;
  Buffer dst = Filled(2, 2, 5);
  dst.Copy(empty, Pair<int>(0, 0), Buffer::kPlain);
  EXPECT_EQ(Pixels(dst), std::vector<uint>(4, 5));
  empty.Copy(dst, Pair<int>(0, 0), Buffer::kComposite);
  EXPECT_EQ(empty.pixels, nullptr);
}

TEST(BufferSwap, ExchangesTheSharedAreaAtTheSameCoordinates) {
  Buffer a = Numbered(3, 2);
  Buffer big = Numbered(4, 4, 100);
  Buffer b(big, Rect(1, 1, 3, 3), true);
  a.Swap(b);
  EXPECT_EQ(Pixels(a), (std::vector<uint>{1, 2, 3, 4, 105, 106}));
  EXPECT_EQ(Pixels(b), (std::vector<uint>{5, 6, 107, 109, 110, 111, 113, 114, 115}));
}

TEST(BufferSwap, RectanglesThatDoNotMeetChangeNothing) {
  Buffer a = Numbered(2, 2);
  Buffer big = Numbered(5, 5, 100);
  Buffer b(big, Rect(3, 3, 4, 4), true);
  a.Swap(b);
  EXPECT_EQ(Pixels(a), (std::vector<uint>{1, 2, 3, 4}));
  EXPECT_EQ(Pixels(b), (std::vector<uint>{118, 119, 123, 124}));
}
