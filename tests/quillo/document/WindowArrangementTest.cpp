// Document windows keeping to each other, worked by hand: snapping while a window is dragged,
// the neighbour links, and sizing a window that drags its neighbours' edges along, limited
// anywhere in the chain.

#include <gtest/gtest.h>

#include "quillo/document/WindowArrangement.h"

namespace {

const RECT kWorkArea{0, 0, 1280, 770};
const RECT kMainWindow{0, 0, 1280, 60};  // a document window begins at y 59

TEST(WindowSnapping, EdgesWithinFourPixelsMoveOntoTheTargetKeepingTheSize) {
  const std::vector<RECT> others{{300, 200, 600, 500}};
  struct Case {
    RECT moving, want;
  } cases[] = {
      {{2, 300, 202, 400}, {0, 300, 200, 400}},              // work area's left
      {{-3, 300, 197, 400}, {0, 300, 200, 400}},             // from outside too
      {{1077, 300, 1277, 400}, {1080, 300, 1280, 400}},      // its right
      {{1076, 300, 1276, 400}, {1076, 300, 1276, 400}},      // 4 away: stays
      {{700, 2, 900, 52}, {700, 0, 900, 50}},                // its top
      {{700, 668, 900, 768}, {700, 670, 900, 770}},          // its bottom
      {{700, 62, 900, 162}, {700, 59, 900, 159}},            // the main window's last row
      {{603, 250, 803, 350}, {600, 250, 800, 350}},          // left onto the other's right
      {{98, 250, 298, 350}, {100, 250, 300, 350}},           // right onto the other's left
      {{350, 502, 550, 602}, {350, 500, 550, 600}},          // top onto the other's bottom
      {{650, 97, 850, 198}, {650, 99, 850, 200}},            // bottom onto the other's top
      {{601, 498, 801, 598}, {600, 500, 800, 600}},          // a corner: both axes
  };
  for (const Case& c : cases) {
    const RECT got = SnapMovingWindow(c.moving, kWorkArea, &kMainWindow, others);
    EXPECT_EQ(got, c.want) << c.moving.left << "," << c.moving.top;
  }
}

TEST(WindowSnapping, LaterTargetsWinOverEarlierOnes) {
  // The left edge is near the work area's left (0) and a window's right edge (3): the window
  // comes later and wins.
  const RECT got = SnapMovingWindow({1, 300, 201, 400}, kWorkArea, &kMainWindow, {{-200, 250, 3, 450}});
  EXPECT_EQ(got, (RECT{3, 300, 203, 400}));
}

using Links = std::vector<NeighbourLink>;
constexpr auto kAbove = NeighbourSide::Above, kRight = NeighbourSide::Right, kBelow = NeighbourSide::Below,
               kLeft = NeighbourSide::Left;

TEST(NeighbourLinks, WindowsSideBySideOrStackedAreLinkedFromBothEnds) {
  // A with B on its right and C below it. B and C meet only at a corner.
  const std::vector<WindowPlace> places{{0, 0, 300, 200}, {300, 0, 300, 200}, {0, 200, 300, 150}};
  const NeighbourLinks links = FindNeighbours(places);
  EXPECT_EQ(links[0], (Links{{kRight, 1}, {kBelow, 2}}));
  EXPECT_EQ(links[1], (Links{{kLeft, 0}}));
  EXPECT_EQ(links[2], (Links{{kAbove, 0}}));
}

TEST(NeighbourLinks, LaterWindowsLeftOrAboveAreFoundToo) {
  const std::vector<WindowPlace> places{{300, 200, 300, 200}, {0, 250, 300, 100}, {350, 0, 100, 200}};
  const NeighbourLinks links = FindNeighbours(places);
  EXPECT_EQ(links[0], (Links{{kLeft, 1}, {kAbove, 2}}));
  EXPECT_EQ(links[1], (Links{{kRight, 0}}));
  EXPECT_EQ(links[2], (Links{{kBelow, 0}}));
}

TEST(NeighbourLinks, MinimisedAndFarApartWindowsAreNotNeighbours) {
  std::vector<WindowPlace> places{{0, 0, 100, 100}, {100, 500, 100, 100}, {0, 100, 100, 100}};
  // The first two only share the line x = 100, four hundred pixels apart.
  NeighbourLinks links = FindNeighbours(places);
  EXPECT_TRUE(links[1].empty());
  EXPECT_EQ(links[0], (Links{{kBelow, 2}}));
  places[2].minimised = true;
  links = FindNeighbours(places);
  EXPECT_TRUE(links[0].empty());
  EXPECT_TRUE(links[2].empty());
}

// Sizes window 0 with the edge code to the rectangle; answers the rectangle handed back.
RECT Size(std::vector<WindowPlace>& places, WPARAM edge, RECT sizing) {
  const NeighbourLinks links = FindNeighbours(places);
  return ResizeNeighbours(places, links, 0, edge, sizing);
}

TEST(NeighbourResizing, TheRightNeighboursLeftEdgeFollowsUntilItsLeastWidth) {
  struct Case {
    int newRight;
    RECT want;
    WindowPlace a, b;
  } cases[] = {
      {450, {0, 0, 450, 300}, {0, 0, 450, 300}, {450, 0, 250, 300}},   // B gives 50
      {550, {0, 0, 508, 300}, {0, 0, 508, 300}, {508, 0, 192, 300}},   // B stops at 192, and so does A
      {350, {0, 0, 350, 300}, {0, 0, 350, 300}, {350, 0, 350, 300}},   // B grows
  };
  for (const Case& c : cases) {
    // A third window right of B is not touched: B's right edge does not move.
    std::vector<WindowPlace> places{{0, 0, 400, 300}, {400, 0, 300, 300}, {700, 0, 250, 300}};
    EXPECT_EQ(Size(places, WMSZ_RIGHT, {0, 0, c.newRight, 300}), c.want) << c.newRight;
    EXPECT_EQ(places[0], c.a) << c.newRight;
    EXPECT_EQ(places[1], c.b) << c.newRight;
    EXPECT_EQ(places[2], (WindowPlace{700, 0, 250, 300})) << c.newRight;
  }
}

TEST(NeighbourResizing, ALimitFoundAtTheEndOfAChainHoldsForTheWholeChain) {
  // A; B tall on A's right; C below A, also on B's left. Moving A's right edge moves B's left
  // edge, and that moves C's right edge: C is narrowest.
  struct Case {
    int cWidth, newRight;
    WindowPlace a, b, c;
  } cases[] = {
      {400, 370, {0, 0, 370, 300}, {370, 0, 330, 600}, {0, 300, 370, 300}},
      {200, 370, {0, 0, 392, 300}, {392, 0, 308, 600}, {200, 300, 192, 300}},  // C stops it at -8
      {200, 430, {0, 0, 430, 300}, {430, 0, 270, 600}, {200, 300, 230, 300}},  // widening C: no limit
  };
  for (const Case& c : cases) {
    std::vector<WindowPlace> places{{0, 0, 400, 300}, {400, 0, 300, 600}, {400 - c.cWidth, 300, c.cWidth, 300}};
    const RECT got = Size(places, WMSZ_RIGHT, {0, 0, c.newRight, 300});
    EXPECT_EQ(got, (RECT{c.a.left, c.a.top, c.a.Right(), c.a.Bottom()})) << c.cWidth << " " << c.newRight;
    EXPECT_EQ(places[0], c.a);
    EXPECT_EQ(places[1], c.b);
    EXPECT_EQ(places[2], c.c);
  }
}

TEST(NeighbourResizing, HeightsFollowDownAChainAndStopAtTheLeastHeight) {
  // A; B wide below A; C right of A, above B, 110 high. Raising A's bottom edge lowers B's top
  // edge (B grows) and raises C's bottom edge: C may give 14.
  std::vector<WindowPlace> places{{0, 0, 300, 200}, {0, 200, 600, 150}, {300, 90, 300, 110}};
  EXPECT_EQ(Size(places, WMSZ_BOTTOM, {0, 0, 300, 160}), (RECT{0, 0, 300, 186}));
  EXPECT_EQ(places[1], (WindowPlace{0, 186, 600, 164}));
  EXPECT_EQ(places[2], (WindowPlace{300, 90, 300, 96}));
}

TEST(NeighbourResizing, TopAndLeftEdgesMoveTheirNeighbours) {
  // B on A's left and D above A; A is sized from its top-left corner outwards by 20 and 10.
  std::vector<WindowPlace> places{{300, 200, 300, 200}, {0, 200, 300, 200}, {300, 0, 300, 200}};
  EXPECT_EQ(Size(places, WMSZ_TOPLEFT, {280, 190, 600, 400}), (RECT{280, 190, 600, 400}));
  EXPECT_EQ(places[1], (WindowPlace{0, 200, 280, 200}));
  EXPECT_EQ(places[2], (WindowPlace{300, 0, 300, 190}));
}

TEST(NeighbourResizing, AWindowAlreadyBelowTheLeastSizeStopsTheMoveInsteadOfReversingIt) {
  // B is 150 wide: shrinking it further is refused, and A does not jump the other way.
  std::vector<WindowPlace> places{{0, 0, 400, 300}, {400, 0, 150, 300}};
  EXPECT_EQ(Size(places, WMSZ_RIGHT, {0, 0, 410, 300}), (RECT{0, 0, 400, 300}));
  EXPECT_EQ(places[1], (WindowPlace{400, 0, 150, 300}));
  // The sized window itself, below the least width, may still grow but not shrink.
  std::vector<WindowPlace> small{{0, 0, 150, 300}};
  EXPECT_EQ(Size(small, WMSZ_RIGHT, {0, 0, 140, 300}), (RECT{0, 0, 150, 300}));
  EXPECT_EQ(Size(small, WMSZ_RIGHT, {0, 0, 170, 300}), (RECT{0, 0, 170, 300}));
}

}  // namespace
