// The marching painter by bands of rows draws exactly what the walk over the whole view outline
// draws: the same calls, pixel for pixel and colour for colour, for windows of the view over a
// complex mask (scattered blobs, a ring, long edges that cross many bands, a staircase) at
// several zooms, scroll positions and phases.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "OutlineProbe.h"
#include "quillo/document/OutlineBands.h"
#include "quillo/document/SelectionOutline.h"

namespace {

using Dash = std::tuple<int, int, bool>;

constexpr int kWidth = 640, kHeight = 520;

// Blobs of 1 to 3 pixels scattered over the picture, a ring, a tall bar, a wide bar and a
// staircase: short runs in every band and long ones across many.
void DrawComplexMask(BitBuffer& mask) {
  outline_probe::ClearMask(mask, kWidth, kHeight);
  std::uint32_t seed = 7;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int i = 0; i < kWidth * kHeight / 30; ++i) {
    const std::uint32_t r = next();
    const int x = static_cast<int>(r % kWidth), y = static_cast<int>((r >> 12) % kHeight);
    const int w = 1 + static_cast<int>(next() >> 30);
    mask.PutPixelsSafe(Rect(x, y, x + w - 1, y + w - 1), 1);
  }
  mask.PutPixels(Rect(100, 90, 420, 400), 1);
  mask.PutPixels(Rect(140, 130, 380, 360), 0);
  mask.PutPixels(Rect(600, 0, 609, kHeight - 1), 1);
  mask.PutPixels(Rect(0, 470, kWidth - 1, 476), 1);
  for (int i = 0; i < 120; ++i) mask.PutPixels(Rect(450 + i, 20 + i * 3, 450 + i, 22 + i * 3), 1);
}

std::vector<Dash> Sorted(std::vector<Dash> dashes) {
  std::sort(dashes.begin(), dashes.end());
  return dashes;
}

TEST(OutlineBandsTest, PaintsWhatTheWholeWalkPaints) {
  BitBuffer mask;
  DrawComplexMask(mask);
  auto traced = outline::TraceOutline(mask, Rect(0, 0, kWidth - 1, kHeight - 1));
  ASSERT_NE(traced, nullptr);

  struct Window {
    int left, top, width, height;
  };
  // The window's corner as a fraction (in 1/8) of the view's size, so that it lands on
  // comparable parts of the view at every zoom; and some windows off the view's edges.
  const Window windows[] = {{0, 0, 200, 150},   {3, 2, 300, 210}, {5, 6, 97, 61},   {7, 7, 400, 400},
                            {-1, -1, 130, 90}, {2, 5, 1, 1},     {0, 0, 8000, 8000}, {9, 9, 50, 50}};
  const float zooms[] = {1.0f, 2.0f, 0.5f, 3.0f, 8.0f, 0.25f};
  std::size_t drawn = 0;
  for (float zoom : zooms) {
    auto view = outline::ScaleOutline(traced.get(), zoom);
    ASSERT_NE(view, nullptr);
    outline::OutlineBands bands;
    bands.Build(view.get());
    ASSERT_TRUE(bands.Indexes(view.get()));
    const int viewWidth = static_cast<int>(kWidth * zoom), viewHeight = static_cast<int>(kHeight * zoom);
    for (const Window& w : windows) {
      const int left = w.left * viewWidth / 8, top = w.top * viewHeight / 8;
      const Rect visible(left, top, left + w.width - 1, top + w.height - 1);
      for (int phase : {0, 5, 11}) {
        std::vector<Dash> whole, banded;
        outline::PaintDashes(view.get(), phase, visible, [&](int x, int y, bool black) { whole.emplace_back(x, y, black); });
        outline::PaintDashesNear(bands, phase, visible,
                                 [&](int x, int y, bool black) { banded.emplace_back(x, y, black); });
        SCOPED_TRACE("zoom " + std::to_string(zoom) + ", window at " + std::to_string(left) + ", " +
                     std::to_string(top) + ", phase " + std::to_string(phase));
        EXPECT_EQ(Sorted(banded), Sorted(whole));
        drawn += whole.size();
      }
    }
  }
  EXPECT_GT(drawn, 100000u);  // the windows do show much of the outline
}

// An outline whose contours all scaled away to nothing, and one that is a single long run
// crossing every band, both paint as the whole walk does.
TEST(OutlineBandsTest, EmptyContoursAndOneTallRun) {
  BitBuffer mask;
  outline_probe::ClearMask(mask, 64, 900);
  mask.PutPixel(10, 10, 1);
  mask.PutPixel(30, 20, 1);
  auto specks = outline::ScaleOutline(outline::TraceOutline(mask, Rect(0, 0, 63, 899)).get(), 0.125f);
  mask.PutPixels(Rect(5, 0, 5, 899), 1);
  auto tall = outline::TraceOutline(mask, Rect(0, 0, 63, 899));
  for (const std::uint8_t* view : {specks.get(), tall.get()}) {
    ASSERT_NE(view, nullptr);
    outline::OutlineBands bands;
    bands.Build(view);
    for (const Rect& visible : {Rect(0, 0, 63, 899), Rect(0, 300, 20, 420), Rect(0, 880, 10, 1000)}) {
      std::vector<Dash> whole, banded;
      outline::PaintDashes(view, 3, visible, [&](int x, int y, bool black) { whole.emplace_back(x, y, black); });
      outline::PaintDashesNear(bands, 3, visible, [&](int x, int y, bool black) { banded.emplace_back(x, y, black); });
      EXPECT_EQ(Sorted(banded), Sorted(whole));
    }
  }
}

}  // namespace
