// Snapping points to the grid: the nearest grid point on both sides of the origin, only while
// the grid is on.

#include <gtest/gtest.h>

#include "quillo/tools/Grid.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class GridSnapTest : public ::testing::Test {
protected:
  GridSnapTest() { GridTool.PointCount = 1; }
  ~GridSnapTest() override {
    GridTool.PointCount = 0;
    GridDx = GridDy = DefaultGridStep;
    GridPx = GridPy = 0;
  }
  int SnapX(int x) {
    int y = GridPy;
    SnapToGrid(x, y);
    return x;
  }
};

struct SnapCase {
  int step, origin, x, snapped;
};

TEST_F(GridSnapTest, EachCoordinateGoesToTheNearestGridPoint) {
  const SnapCase cases[] = {
      {10, 3, 7, 3},    {10, 3, 8, 13},   {10, 3, 12, 13},  {10, 0, 4, 0},    {10, 0, 5, 10},
      {10, 3, 3, 3},    {10, 3, 0, 3},    {10, 3, -1, 3},   {10, 3, -2, 3},   {10, 3, -3, -7},
      // Left of the image: nearest, not one step toward the origin.
      {8, 0, -13, -16}, {8, 0, -12, -8},  {8, 0, -11, -8},  {8, 0, -4, 0},    {8, 0, -5, -8},
      {8, 0, -8, -8},   {8, 0, 13, 16},   {8, 0, 11, 8},    {1, 0, -7, -7},   {7, 30, 1, 2},
      // An origin beyond a step is the same grid as its remainder.
      {10, 23, 8, 13},  {8, 0, -32768, -32768},
  };
  for (const SnapCase& c : cases) {
    GridDx = c.step;
    GridPx = c.origin;
    EXPECT_EQ(SnapX(c.x), c.snapped) << "step " << c.step << ", origin " << c.origin << ", x " << c.x;
  }
}

TEST_F(GridSnapTest, RowsUseTheirOwnStepAndOrigin) {
  GridDx = 10;
  GridPx = 3;
  GridDy = 4;
  GridPy = 1;
  int x = 9, y = -2;
  SnapToGrid(x, y);
  EXPECT_EQ(x, 13);
  EXPECT_EQ(y, -3);
}

TEST_F(GridSnapTest, PointsPassUnchangedWhileTheGridIsOff) {
  GridTool.PointCount = 0;
  GridDx = GridDy = 10;
  GridPx = GridPy = 3;
  Pair<int> p(7, -13);
  SnapToGrid(p);
  EXPECT_EQ(p, Pair<int>(7, -13));
}

TEST_F(GridSnapTest, AStepBelowOneCountsAsOne) {
  for (const int step : {0, -5}) {
    GridDx = GridDy = step;
    int x = 17, y = -4;
    SnapToGrid(x, y);
    EXPECT_EQ(x, 17);
    EXPECT_EQ(y, -4);
  }
}

TEST_F(GridSnapTest, FarPointsDoNotOverflow) {
  GridDx = GridDy = 16384;
  GridPx = GridPy = 16384;
  int x = 2147483647, y = -2147483647 - 1;
  SnapToGrid(x, y);
  EXPECT_GT(x, 2147483647 - 16384);
  EXPECT_LT(y, -2147483647 + 16384);
}

TEST(GridDefaults, StepEightOriginZeroAndOff) {
  EXPECT_EQ(GridDx, 8);
  EXPECT_EQ(GridDy, 8);
  EXPECT_EQ(GridPx, 0);
  EXPECT_EQ(GridPy, 0);
  EXPECT_FALSE(GridIsOn());
}

}  // namespace
