// Every clipping operation, fed coordinates from the far ends of the integer range, writes
// only inside its buffer: the buffer is a view in the middle of a larger one whose border
// must come out untouched.

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "tests/vorlen/BufferFixtures.h"
#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/transform/Matrix2D.h"

namespace {

constexpr int kValues[] = {INT_MIN, INT_MIN + 1, -1000000, -17, -1, 0, 1, 4, 9, 10, 11, 1000000, INT_MAX - 1, INT_MAX};
constexpr uint kGuard = 0x5A5A5A5A;

struct Guarded {
  Buffer backing = Filled(30, 30, kGuard);
  Buffer view{backing, Rect(10, 10, 19, 19), false};  // rect (0, 0, 9, 9)

  bool BorderIntact() const {
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) {
        const bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
        if (!inside && *backing.At(x, y) != kGuard) return false;
      }
    return true;
  }
};

}  // namespace

TEST(Clipping, DrawingNeverLeavesTheBuffer) {
  std::mt19937 random(5);
  std::uniform_int_distribution<size_t> pick(0, std::size(kValues) - 1);
  const auto any = [&] { return kValues[pick(random)]; };
  const Buffer src = Numbered(6, 5);
  for (int i = 0; i < 3000; ++i) {
    Guarded g;
    const Pair<int> a(any(), any()), b(any(), any()), c(any(), any());
    g.view.PutPixel(a, 1);
    g.view.VLine(a.x, b.x, b.y, 2);
    g.view.Box(Rect(a.x, a.y, b.x, b.y), 3);
    g.view.Rectangle(Rect(a.x, b.y, b.x, a.y), 0x8F0000FF);
    g.view.Line(a, b, 4);
    g.view.CopyLine(g.backing, a, b, c);
    g.view.Copy(src, a, i % 3 == 0 ? Buffer::kPlain : i % 3 == 1 ? Buffer::kComposite : 7u);
    g.view.Scale(src, a, b, Buffer::kPlain, i % 3 - 1);
    ASSERT_TRUE(g.BorderIntact()) << i;
  }
}

TEST(Clipping, TransformsNeverLeaveTheBuffer) {
  std::mt19937 random(9);
  std::uniform_real_distribution<double> entry(-3.0, 3.0);
  std::uniform_int_distribution<int> place(-20, 20);
  const Buffer src = Numbered(7, 4);
  for (int i = 0; i < 2000; ++i) {
    Guarded g;
    const Matrix2D m{entry(random), entry(random), entry(random), entry(random)};
    const uint mode = i % 3 == 0 ? Buffer::kPlain : i % 3 == 1 ? Buffer::kComposite : 5u;
    g.view.XFormLin(src, m, Pair<int>(place(random), place(random)), mode, i % 4 - 2);
    ASSERT_TRUE(g.BorderIntact()) << i;
  }
}

TEST(Clipping, SafeMaskOperationsNeverLeaveTheMask) {
  std::mt19937 random(3);
  std::uniform_int_distribution<size_t> pick(0, std::size(kValues) - 1);
  const auto any = [&] { return kValues[pick(random)]; };
  // A 40 x 12 mask viewed inside words of a wider, taller block.
  for (int i = 0; i < 3000; ++i) {
    uint words[16 * 3] = {};
    BitBuffer mask;
    mask.Alloc(40, 12, words + 3 * 2, 3);  // rows 2 to 13 of 16, two of three words used
    BitBuffer small;
    small.Alloc(9, 5);
    small.PutPixels(Rect(0, 0, 8, 4), 1);
    mask.PutPixelsSafe(any(), any(), any(), i % 3 - 1);
    mask.PutPixelsSafe(Rect(any(), any(), any(), any()), 1);
    mask.Copy(small, any(), any(), -1 - i % 5);
    for (int w = 0; w < 48; ++w) {
      const int row = w / 3, column = w % 3;
      const bool outside = row < 2 || row >= 14 || column == 2;
      const uint beyondWidth = outside ? ~0u : column == 1 ? 0xFFFFFF00u : 0u;  // bits 40 and up
      ASSERT_EQ(words[w] & beyondWidth, 0u) << i << " word " << w;
    }
  }
}
