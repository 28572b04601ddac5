#include <gtest/gtest.h>

#include "support/Canvas.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF;

// A one-pixel red pen and a blue brush, selected for the life of the object.
class RedOnBlue : public Tools {
public:
  explicit RedOnBlue(HDC dc)
      : Tools(dc, CreatePen(PS_SOLID, 1, RGB(255, 0, 0)), CreateSolidBrush(RGB(0, 0, 255))) {}
};

// Whether the colour is within one pixel of (x, y): outlines are checked by geometry, not by
// the exact steps of the line drawing.
bool Near(Canvas& c, int x, int y, std::uint32_t colour) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int px = x + dx, py = y + dy;
      if (px >= 0 && py >= 0 && px < c.width() && py < c.height() && c.at(px, py) == colour) return true;
    }
  return false;
}

// A circle through pixels 0..20 has its centre on pixel (10, 10); the radials go right (0
// degrees) and up (90 degrees).
TEST(GdiCurves, ArcRunsAnticlockwiseOrClockwiseBetweenItsRadials) {
  Canvas c(21, 21, kWhite);
  RedOnBlue t(c.dc());
  EXPECT_EQ(GetArcDirection(c.dc()), AD_COUNTERCLOCKWISE);
  Arc(c.dc(), 0, 0, 21, 21, 30, 10, 10, -40);
  RECT box = c.InkBox(kWhite);
  EXPECT_GE(box.left, 10);
  EXPECT_LE(box.bottom, 11);
  EXPECT_EQ(c.at(20, 10), kRed);
  EXPECT_TRUE(Near(c, 17, 3, kRed));  // 45 degrees, radius 10
  EXPECT_EQ(c.at(10, 10), kWhite);

  Canvas d(21, 21, kWhite);
  RedOnBlue u(d.dc());
  EXPECT_EQ(SetArcDirection(d.dc(), AD_CLOCKWISE), AD_COUNTERCLOCKWISE);
  EXPECT_EQ(SetArcDirection(d.dc(), 7), 0);
  Arc(d.dc(), 0, 0, 21, 21, 30, 10, 10, -40);
  EXPECT_EQ(d.at(0, 10), kRed);
  EXPECT_EQ(d.at(10, 20), kRed);
  EXPECT_FALSE(Near(d, 17, 3, kRed));
  EXPECT_EQ(d.InkBox(kWhite), (RECT{0, 0, 21, 21}));
}

TEST(GdiCurves, EqualRadialsDrawTheWholeEllipseAndTheDirectionIsSaved) {
  Canvas c(21, 11, kWhite);
  RedOnBlue t(c.dc());
  Arc(c.dc(), 0, 0, 21, 11, 25, 5, 25, 5);
  EXPECT_EQ(c.InkBox(kWhite), (RECT{0, 0, 21, 11}));
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 21; ++x) EXPECT_EQ(c.at(x, y), c.at(20 - x, y)) << x << "," << y;
  const int saved = SaveDC(c.dc());
  SetArcDirection(c.dc(), AD_CLOCKWISE);
  RestoreDC(c.dc(), saved);
  EXPECT_EQ(GetArcDirection(c.dc()), AD_COUNTERCLOCKWISE);
}

TEST(GdiCurves, PieAndChordFillWithTheBrushAndOutlineWithThePen) {
  Canvas pie(21, 21, kWhite), chord(21, 21, kWhite);
  {
    RedOnBlue t(pie.dc());
    Pie(pie.dc(), 0, 0, 21, 21, 30, 10, 10, -40);
  }
  {
    RedOnBlue t(chord.dc());
    Chord(chord.dc(), 0, 0, 21, 21, 30, 10, 10, -40);
  }
  EXPECT_EQ(pie.at(10, 10), kRed);  // the radials meet in the centre
  EXPECT_EQ(pie.at(15, 10), kRed);
  EXPECT_EQ(pie.at(10, 5), kRed);
  EXPECT_EQ(pie.at(13, 7), kBlue);
  EXPECT_EQ(pie.at(16, 5), kBlue);
  EXPECT_EQ(pie.at(6, 14), kWhite);
  EXPECT_EQ(pie.at(5, 5), kWhite);
  EXPECT_EQ(chord.at(16, 5), kBlue);  // beyond the chord from (20, 10) to (10, 0)
  EXPECT_EQ(chord.at(12, 8), kWhite);
  EXPECT_EQ(chord.at(15, 5), kRed);  // on the chord
  EXPECT_EQ(chord.at(10, 10), kWhite);
}

TEST(GdiCurves, ArcToAndAngleArcJoinTheCurrentPositionAndMoveIt) {
  Canvas c(21, 21, kWhite);
  RedOnBlue t(c.dc());
  MoveToEx(c.dc(), 10, 10, nullptr);
  AngleArc(c.dc(), 10, 10, 5, 0, 90);
  EXPECT_EQ(c.at(12, 10), kRed);  // the line from the position to the arc's start
  EXPECT_TRUE(Near(c, 14, 6, kRed));  // 45 degrees
  EXPECT_EQ(c.at(7, 14), kWhite);
  POINT p;
  GetCurrentPositionEx(c.dc(), &p);
  EXPECT_EQ(p, (POINT{10, 5}));

  Canvas d(21, 21, kWhite);
  RedOnBlue u(d.dc());
  MoveToEx(d.dc(), 0, 20, nullptr);
  ArcTo(d.dc(), 0, 0, 21, 21, 30, 10, 10, -40);
  EXPECT_EQ(d.at(10, 15), kRed);  // on the line from (0, 20) to (20, 10)
  GetCurrentPositionEx(d.dc(), &p);
  EXPECT_EQ(p, (POINT{10, 0}));
}

TEST(GdiCurves, BeziersFollowTheirControlPoints) {
  Canvas c(21, 21, kWhite);
  RedOnBlue t(c.dc());
  const POINT straight[] = {{0, 2}, {3, 2}, {6, 2}, {9, 2}};
  EXPECT_TRUE(PolyBezier(c.dc(), straight, 4));
  EXPECT_EQ(c.InkBox(kWhite), (RECT{0, 2, 9, 3}));
  EXPECT_FALSE(PolyBezier(c.dc(), straight, 3));
  // A symmetric arch: its lowest point is three quarters of the way to the controls.
  Canvas d(21, 21, kWhite);
  RedOnBlue u(d.dc());
  const POINT arch[] = {{0, 0}, {0, 20}, {20, 20}, {20, 0}};
  PolyBezier(d.dc(), arch, 4);
  EXPECT_EQ(d.InkBox(kWhite).bottom, 16);
  EXPECT_EQ(d.at(10, 15), kRed);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x)
      if (d.at(x, y) == kRed) {
        EXPECT_TRUE(Near(d, 20 - x, y, kRed)) << x << "," << y;
      }
  MoveToEx(d.dc(), 0, 20, nullptr);
  const POINT to[] = {{5, 20}, {10, 20}, {15, 20}};
  EXPECT_TRUE(PolyBezierTo(d.dc(), to, 3));
  EXPECT_EQ(d.at(7, 20), kRed);
  POINT p;
  GetCurrentPositionEx(d.dc(), &p);
  EXPECT_EQ(p, (POINT{15, 20}));
}

}  // namespace
