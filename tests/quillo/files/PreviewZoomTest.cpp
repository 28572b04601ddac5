// The previews' zoom and pan arithmetic.

#include <gtest/gtest.h>

#include <vector>

#include "quillo/files/PreviewZoom.h"

TEST(PreviewZoomTest, AnImageFitsItsBoxAtARoundedZoom) {
  const struct {
    int width, height, zoom;
  } cases[] = {{640, 480, 20}, {50, 40, 300}, {2, 2, 3200}, {178, 189, 100}, {179, 100, 90},
               {10000, 10000, 10}, {60, 60, 200}, {1, 100000, 10}};
  for (const auto& c : cases) EXPECT_EQ(PreviewZoom::Fit(c.width, c.height), c.zoom) << c.width << "x" << c.height;
}

TEST(PreviewZoomTest, ZoomStepsByTensUpToAHundredAndByHundredsAbove) {
  std::vector<int> up{90};
  while (up.size() < 3) up.push_back(PreviewZoom::In(up.back()));
  EXPECT_EQ(up, (std::vector<int>{90, 100, 200}));
  std::vector<int> down{200};
  while (down.size() < 3) down.push_back(PreviewZoom::Out(down.back()));
  EXPECT_EQ(down, (std::vector<int>{200, 100, 90}));
  EXPECT_EQ(PreviewZoom::In(3200), 3200);
  EXPECT_EQ(PreviewZoom::Out(10), 10);
  EXPECT_EQ(PreviewZoom::In(3100), 3200);
  EXPECT_EQ(PreviewZoom::Out(20), 10);
}

TEST(PreviewZoomTest, ATinyImageIsNotShownBelowFullSize) {
  EXPECT_EQ(PreviewZoom::ForTinyImage(50, 3, 100), 100);
  EXPECT_EQ(PreviewZoom::ForTinyImage(50, 100, 3), 100);
  EXPECT_EQ(PreviewZoom::ForTinyImage(3200, 2, 2), 3200);
  EXPECT_EQ(PreviewZoom::ForTinyImage(50, 4, 4), 50);
}

TEST(PreviewZoomTest, ZoomingKeepsTheCentreAndNeverLeavesAGap) {
  // 640 x 480 at 20 % is centred; at 30 % it keeps the point that was at the centre.
  EXPECT_EQ(PreviewZoom::Rezoomed(0, 89, 20, 20, 128, 178), 25);
  EXPECT_EQ(PreviewZoom::Rezoomed(0, 94, 20, 20, 96, 189), 46);
  EXPECT_EQ(PreviewZoom::Rezoomed(25, 89, 30, 20, 192, 178), -7);
  EXPECT_EQ(PreviewZoom::Rezoomed(46, 94, 30, 20, 144, 189), 22);
  // Zooming out near the far edge pulls the view back against it.
  EXPECT_EQ(PreviewZoom::Rezoomed(-1200, 89, 100, 200, 640, 178), -462);
}

TEST(PreviewZoomTest, PanningStopsAtTheEdgesAndASmallImageStaysCentred) {
  const struct {
    int pos, delta, extent, box, expected;
  } cases[] = {
      {-7, -5, 192, 178, -12},  {-7, 16, 192, 178, 0},   {-7, -16, 192, 178, -14},
      {25, 16, 128, 178, 25},   {25, -40, 128, 178, 25}, {0, 0, 178, 178, 0},
      {-100, 30, 400, 189, -70}, {-100, -500, 400, 189, -211},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PreviewZoom::Panned(c.pos, c.delta, c.extent, c.box), c.expected) << c.pos << " " << c.delta;
}
