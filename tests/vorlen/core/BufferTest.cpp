#include "vorlen/core/Buffer.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "vorlen/core/PixelBlock.h"

namespace {

void ExpectEmpty(const Buffer& b) {
  EXPECT_EQ(b.pixels, nullptr);
  EXPECT_EQ(b.stride, 0);
  EXPECT_EQ(b.rect, Rect(0, 0, -1, -1));
  EXPECT_EQ(b.ownership, 0);
}

}  // namespace

TEST(Buffer, AllocatesOwnedAlignedUninitialisedBlocks) {
  for (int width : {1, 3, 7, 640}) {
    Buffer b;
    b.Alloc(Pair<int>(width, 5));
    ASSERT_NE(b.pixels, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b.pixels) % 8, 0u);
    EXPECT_EQ(b.stride, width);
    EXPECT_EQ(b.rect, Rect(0, 0, width - 1, 4));
    EXPECT_NE(b.ownership, Buffer::kView);
    *b.At(width - 1, 4) = 0x12345678;  // the last pixel is there to be written
  }
}

// A picture of many megabytes starts on a 2 MB boundary, where huge pages can back it, and
// reaches to its last pixel.
TEST(Buffer, LargeBlocksStartOnAHugePageBoundary) {
  Buffer b;
  b.Alloc(Pair<int>(3001, 1000));
  ASSERT_NE(b.pixels, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b.pixels) % (2u << 20), 0u);
  EXPECT_EQ(b.ownership, 0);
  *b.At(0, 0) = 1;
  *b.At(3000, 999) = 2;
  EXPECT_EQ(*b.At(3000, 999), 2u);
}

TEST(Buffer, InvalidOrOverflowingSizesLeaveItEmpty) {
  const Pair<int> sizes[] = {{0, 10},         {10, -1},     {-3, -3},
                             {65535, 65535},  {0x7FFFFFFF, 2}, {46341, 46341}};
  for (const Pair<int> size : sizes) {
    Buffer b;
    b.Alloc(Pair<int>(4, 4));
    b.Alloc(size);
    ExpectEmpty(b);
  }
}

TEST(Buffer, PlacesABlockAtFourModuloEightOneWordIn) {
  alignas(8) uint words[4];
  const PixelBlock odd = AlignPixelBlock(reinterpret_cast<char*>(words) + 4);
  EXPECT_EQ(reinterpret_cast<char*>(odd.pixels), reinterpret_cast<char*>(words) + 8);
  EXPECT_EQ(odd.ownership, -1);
  const PixelBlock even = AlignPixelBlock(words);
  EXPECT_EQ(even.pixels, words);
  EXPECT_EQ(even.ownership, 0);
}

TEST(Buffer, AssignmentMovesOwnershipAndLeavesTheSourceAView) {
  Buffer a;
  a.Alloc(Pair<int>(8, 2));
  const int owned = a.ownership;
  uint* const pixels = a.pixels;
  Buffer b;
  b = a;
  EXPECT_EQ(b.ownership, owned);
  EXPECT_EQ(b.pixels, pixels);
  EXPECT_EQ(a.ownership, Buffer::kView);
  EXPECT_EQ(a.pixels, pixels);
  EXPECT_EQ(a.stride, 8);
  EXPECT_EQ(a.rect, b.rect);
  a.Free();  // a view releases nothing: b's pixels stay usable
  ExpectEmpty(a);
  *b.At(7, 1) = 1;

  Buffer c(b);  // copy construction moves the same way
  EXPECT_EQ(c.ownership, owned);
  EXPECT_EQ(b.ownership, Buffer::kView);
}

TEST(Buffer, ReturningByValueHandsTheBlockOver) {
  auto make = [] {
    Buffer b;
    b.Alloc(Pair<int>(3, 3));
    return b;
  };
  Buffer taken = make();
  EXPECT_NE(taken.ownership, Buffer::kView);
  EXPECT_NE(taken.pixels, nullptr);
}

TEST(Buffer, ViewsKeepOrRebaseTheirCoordinates) {
  Buffer src;
  src.Alloc(Pair<int>(100, 100));
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) *src.At(x, y) = static_cast<uint>(y * 1000 + x);

  struct Case {
    Rect r;
    bool keep;
    Rect expected;
    uint topLeftValue;
  } cases[] = {
      {{10, 10, 19, 19}, true, {10, 10, 19, 19}, 10010},
      {{10, 10, 19, 19}, false, {0, 0, 9, 9}, 10010},
      {{-5, -5, 4, 4}, true, {0, 0, 4, 4}, 0},
      {{-5, -5, 4, 4}, false, {5, 5, 9, 9}, 0},
      {{Buffer::kRebaseToView, -5, 4, 4}, false, {0, 0, 4, 4}, 0},
      {{Buffer::kRebaseToView, 90, 200, 200}, false, {0, 0, 99, 9}, 90000},
      {{95, 98, 120, 130}, true, {95, 98, 99, 99}, 98095},
  };
  for (const Case& c : cases) {
    Buffer view(src, c.r, c.keep);
    EXPECT_EQ(view.rect, c.expected);
    EXPECT_EQ(view.ownership, Buffer::kView);
    EXPECT_EQ(view.stride, 100);
    EXPECT_EQ(*view.pixels, c.topLeftValue);
  }
  Buffer kept(src, Rect(10, 10, 19, 19), true);
  EXPECT_EQ(kept.At(10, 10), src.At(10, 10));
}

TEST(Buffer, ViewsThatMissTheSourceAreEmpty) {
  Buffer src;
  src.Alloc(Pair<int>(10, 10));
  Buffer view(src, Rect(20, 20, 30, 30), false);
  ExpectEmpty(view);
  Buffer none;
  Buffer ofEmpty(none, Rect(0, 0, 5, 5), true);
  ExpectEmpty(ofEmpty);
}

TEST(Buffer, AnOwnerAskedToViewItselfKeepsItsPixels) {
  Buffer b;
  b.Alloc(Pair<int>(10, 10));
  uint* const pixels = b.pixels;
  b.Alloc(b, Rect(2, 2, 5, 5), true);
  EXPECT_EQ(b.pixels, pixels);
  EXPECT_NE(b.ownership, Buffer::kView);
  EXPECT_EQ(b.rect, Rect(0, 0, 9, 9));
}

TEST(Buffer, ViewsOfCallerMemory) {
  uint memory[40] = {};
  Buffer b;
  b.Alloc(Pair<int>(7, 3), memory, 0);
  EXPECT_EQ(b.stride, 7);
  EXPECT_EQ(b.rect, Rect(0, 0, 6, 2));
  EXPECT_EQ(b.ownership, Buffer::kView);
  b.Alloc(Pair<int>(4, 3), memory, 10);
  EXPECT_EQ(b.stride, 10);
  EXPECT_EQ(b.At(1, 2), memory + 21);
  b.Alloc(Pair<int>(4, 3), nullptr, 10);
  ExpectEmpty(b);
}

TEST(Buffer, ClassWideDefaults) {
  const int x = Buffer::GetDefaultX(), y = Buffer::GetDefaultY();
  Buffer::SetDefaultX(-5);
  Buffer::SetDefaultY(1000);
  EXPECT_EQ(Buffer::default_x, -5);
  EXPECT_EQ(Buffer::GetDefaultY(), 1000);
  Buffer::SetDefaultX(x);
  Buffer::SetDefaultY(y);
  EXPECT_EQ(Buffer::GetConfigFile(), Buffer::config_file);
}
