#include <gtest/gtest.h>

#include <vector>

#include "support/Canvas.h"

namespace {

// Shapes far larger than the surface are drawn at the cost of the part that is visible; with
// whole-shape work each of these would take billions of steps.
TEST(GdiShapes, HugeShapesCostOnlyWhatIsVisible) {
  const LONG big = 2000000000;
  {
    Canvas c(16, 16, 0);
    Tools t(c.dc(), CreatePen(PS_SOLID, 3, RGB(255, 0, 0)), CreateSolidBrush(RGB(0, 0, 255)));
    const POINT triangle[] = {{-big, -big}, {big, -big}, {0, big}};
    Polygon(c.dc(), triangle, 3);
    EXPECT_EQ(c.at(8, 8), 0x0000FFu);
    EXPECT_EQ(c.CountNot(0x0000FF), 0);
  }
  {
    Canvas c(16, 16, 0);
    Tools t(c.dc(), CreatePen(PS_SOLID, 1, RGB(255, 0, 0)), CreateSolidBrush(RGB(0, 0, 255)));
    Ellipse(c.dc(), -big, -big, big, big);
    EXPECT_EQ(c.CountNot(0x0000FF), 0);
    RoundRect(c.dc(), -big, -big, big, big, big, big);
    EXPECT_EQ(c.at(8, 8), 0x0000FFu);
  }
  {
    // A thin and a wide line across the whole coordinate range still pass through the
    // picture where the exact line does.
    Canvas c(16, 16, 0);
    Tools t(c.dc(), CreatePen(PS_SOLID, 1, RGB(255, 0, 0)), CreateSolidBrush(RGB(0, 0, 255)));
    MoveToEx(c.dc(), -big, 8, nullptr);
    LineTo(c.dc(), big, 8);
    EXPECT_EQ(c.InkBox(0), (RECT{0, 8, 16, 9}));
    MoveToEx(c.dc(), -big, -big, nullptr);
    LineTo(c.dc(), big, big);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(c.at(i, i), 0xFF0000u) << i;
    HPEN wide = CreatePen(PS_SOLID, 5, RGB(0, 255, 0));
    HGDIOBJ old = SelectObject(c.dc(), wide);
    MoveToEx(c.dc(), 4, -big, nullptr);
    LineTo(c.dc(), 4, big);
    EXPECT_EQ(c.at(4, 0), 0x00FF00u);
    EXPECT_EQ(c.at(4, 15), 0x00FF00u);
    EXPECT_EQ(c.at(8, 15), 0u);
    SelectObject(c.dc(), old);
    DeleteObject(wide);
  }
}

TEST(GdiShapes, ClippedPolygonMatchesTheWholeOneInsideTheClip) {
  // A polygon whose edges cross the clip: the visible pixels are those of the unclipped
  // drawing on a larger surface.
  const POINT star[] = {{-20, 10}, {40, -5}, {5, 45}, {10, -30}, {30, 40}};
  Canvas whole(80, 80, 0), part(20, 20, 0);
  for (Canvas* c : {&whole, &part}) {
    SetPolyFillMode(c->dc(), WINDING);
    if (c == &whole) SetViewportOrgEx(c->dc(), 30, 30, nullptr);
    Tools t(c->dc(), CreatePen(PS_SOLID, 2, RGB(255, 0, 0)), CreateSolidBrush(RGB(0, 0, 255)));
    Polygon(c->dc(), star, 5);
  }
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(part.at(x, y), whole.at(x + 30, y + 30)) << x << "," << y;
}

}  // namespace
