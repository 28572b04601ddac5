// The dock's row layout and the drag arithmetic, on tables worked out by hand.

#include <gtest/gtest.h>

#include "quillo/components/toolbars/DockLayout.h"

namespace tbx {
namespace {

DockBar Bar(int id, int row, int pos, int length, int barSize = 22, bool fullSize = false, bool visible = true) {
  DockBar b;
  b.id = id;
  b.row = row;
  b.pos = pos;
  b.length = length;
  b.barSize = barSize;
  b.fullSize = fullSize;
  b.visible = visible;
  return b;
}

struct Placed {
  int id, row, pos, left, top, width, height;
};

struct LayoutCase {
  const char* name;
  std::vector<DockBar> bars;
  int available;
  bool vertical;
  bool limitToOneRow;
  bool clip;
  std::vector<Placed> expected;  // in the order the dock keeps its bars after the arrange
  std::vector<int> rowSizes;
  int thickness;
};

class DockLayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(DockLayoutTable, PlacesEveryBar) {
  const LayoutCase& c = GetParam();
  std::vector<DockBar> bars = c.bars;
  DockLayoutOptions options;
  options.availableLength = c.available;
  options.vertical = c.vertical;
  options.limitToOneRow = c.limitToOneRow;
  options.clipPositions = c.clip;
  DockLayoutResult result = ArrangeDockBars(bars, options);
  ASSERT_EQ(bars.size(), c.expected.size());
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const Placed& e = c.expected[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(bars[i].id, e.id);
    EXPECT_EQ(bars[i].row, e.row);
    EXPECT_EQ(bars[i].pos, e.pos);
    const TRect& r = result.bounds[i];
    EXPECT_EQ(r.left, e.left);
    EXPECT_EQ(r.top, e.top);
    EXPECT_EQ(r.Width(), e.width);
    EXPECT_EQ(r.Height(), e.height);
  }
  EXPECT_EQ(result.rowSizes, c.rowSizes);
  EXPECT_EQ(result.thickness, c.thickness);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DockLayoutTable,
    ::testing::Values(
        // Equal positions: the quicksort's Hoare partition exchanges the two, and the first
        // pass lays them side by side in that order.
        LayoutCase{"TiesSideBySide",
                   {Bar(0, 0, 0, 50), Bar(1, 0, 0, 30)},
                   200, false, false, false,
                   {{1, 0, 0, 0, 0, 30, 26}, {0, 0, 30, 30, 0, 50, 26}},
                   {22}, 26},
        // Bars thinner than 8 make an 8-pixel row (plus 4).
        LayoutCase{"ThinRowIsEight",
                   {Bar(0, 0, 0, 40, 5), Bar(1, 0, 60, 40, 6)},
                   200, false, false, false,
                   {{0, 0, 0, 0, 0, 40, 12}, {1, 0, 60, 60, 0, 40, 12}},
                   {8}, 12},
        // Past the far end: drawn flush with it; the wish is kept without clipping...
        LayoutCase{"BeyondEndKeepsWish",
                   {Bar(0, 0, 150, 40)},
                   100, false, false, false,
                   {{0, 0, 150, 60, 0, 40, 26}},
                   {22}, 26},
        // ...and stored with it.
        LayoutCase{"BeyondEndClipped",
                   {Bar(0, 0, 150, 40)},
                   100, false, false, true,
                   {{0, 0, 60, 60, 0, 40, 26}},
                   {22}, 26},
        // An overlapping bar moves along; the first pass stores that.
        LayoutCase{"OverlapMovesAlong",
                   {Bar(0, 0, 0, 50), Bar(1, 0, 20, 50)},
                   200, false, false, false,
                   {{0, 0, 0, 0, 0, 50, 26}, {1, 0, 50, 50, 0, 50, 26}},
                   {22}, 26},
        // Too long for the dock: pushed back towards the start, never before 0.
        LayoutCase{"CrowdedRow",
                   {Bar(0, 0, 0, 60), Bar(1, 0, 70, 60)},
                   100, false, false, false,
                   {{0, 0, 0, 0, 0, 60, 26}, {1, 0, 70, 60, 0, 60, 26}},
                   {22}, 26},
        // A full-size bar that shares its row pushes the others and every later row out.
        LayoutCase{"FullSizeAlone",
                   {Bar(0, 0, 0, 50), Bar(1, 0, 100, 80, 22, true), Bar(2, 1, 0, 40, 30)},
                   300, false, false, false,
                   {{0, 1, 0, 0, 26, 50, 26}, {1, 0, 0, 0, 0, 300, 26}, {2, 2, 0, 0, 52, 40, 34}},
                   {22, 22, 30}, 86},
        // One row only.
        LayoutCase{"LimitToOneRow",
                   {Bar(0, 0, 0, 50), Bar(1, 2, 10, 50), Bar(2, 5, 200, 50)},
                   400, false, true, false,
                   {{0, 0, 0, 0, 0, 50, 26}, {1, 0, 50, 50, 0, 50, 26}, {2, 0, 200, 200, 0, 50, 26}},
                   {22}, 26},
        // A blank row closes up; an invisible bar keeps its row but takes no room.
        LayoutCase{"BlankRowAndHiddenBar",
                   {Bar(0, 0, 0, 50), Bar(1, 2, 0, 50, 30), Bar(2, 3, 0, 50, 22, false, false)},
                   200, false, false, false,
                   {{0, 0, 0, 0, 0, 50, 26}, {1, 1, 0, 0, 26, 50, 34}, {2, 2, 0, 0, 0, 0, 0}},
                   {22, 30, 0}, 60},
        // A vertical dock: rows run across, positions down.
        LayoutCase{"Vertical",
                   {Bar(0, 0, 10, 60, 24), Bar(1, 1, 0, 40, 22, true)},
                   300, true, false, false,
                   {{0, 0, 10, 0, 10, 28, 60}, {1, 1, 0, 28, 0, 26, 300}},
                   {24, 22}, 54}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(DockLayoutTest, RemoveBlankRowsLeavesTheSecondOfTwoBlankRows) {
  std::vector<DockBar> bars{Bar(0, 0, 0, 10), Bar(1, 3, 0, 10)};
  RemoveBlankRows(bars);
  EXPECT_EQ(bars[0].row, 0);
  EXPECT_EQ(bars[1].row, 2);
  RemoveBlankRows(bars);
  EXPECT_EQ(bars[1].row, 1);
}

TEST(DockLayoutTest, InsertRowBeforeMovesThatRowAndLaterOnesOut) {
  std::vector<DockBar> bars{Bar(0, 0, 0, 10), Bar(1, 1, 0, 10), Bar(2, 2, 0, 10)};
  InsertRowBefore(bars, 1);
  EXPECT_EQ(bars[0].row, 0);
  EXPECT_EQ(bars[1].row, 2);
  EXPECT_EQ(bars[2].row, 3);
}

struct RowOfCase {
  std::vector<int> rowSizes;
  int highest;
  int xy;
  int row;
  bool before;
};

class GetRowOfTable : public ::testing::TestWithParam<RowOfCase> {};

TEST_P(GetRowOfTable, MapsTheCoordinate) {
  const RowOfCase& c = GetParam();
  bool before = false;
  EXPECT_EQ(GetRowOf(c.rowSizes, c.highest, c.xy, before), c.row) << "xy " << c.xy;
  EXPECT_EQ(before, c.before) << "xy " << c.xy;
}

// Two rows of 22: row 0 spans 0..25, row 1 26..51; the first and last 5 pixels of a row
// open a new row.
INSTANTIATE_TEST_SUITE_P(
    Rows, GetRowOfTable,
    ::testing::Values(RowOfCase{{22, 22}, 1, 0, 0, true}, RowOfCase{{22, 22}, 1, 4, 0, true},
                      RowOfCase{{22, 22}, 1, 5, 0, false}, RowOfCase{{22, 22}, 1, 20, 0, false},
                      RowOfCase{{22, 22}, 1, 21, 1, true}, RowOfCase{{22, 22}, 1, 30, 1, true},
                      RowOfCase{{22, 22}, 1, 31, 1, false}, RowOfCase{{22, 22}, 1, 46, 1, false},
                      RowOfCase{{22, 22}, 1, 47, 2, true}, RowOfCase{{22, 22}, 1, 56, 2, true},
                      RowOfCase{{22, 22}, 1, 57, 2, false}, RowOfCase{{22, 22}, 1, 5000, 2, false},
                      // An empty row inside the range takes no room.
                      RowOfCase{{22, 0, 22}, 2, 31, 2, false}, RowOfCase{{22, 0, 22}, 2, 26, 2, true},
                      // An empty dock: everything opens row 0.
                      RowOfCase{{}, -1, 0, 0, true}, RowOfCase{{}, -1, 40, 0, false}));

struct DropCase {
  TPoint cursor;
  TRect dock;
  bool vertical;
  bool accepted;
  TRect outline;
};

class DropZoneTable : public ::testing::TestWithParam<DropCase> {};

// Grabbed 10, 5 into a 100 x 26 bar that keeps its size: tx = 3, ty = 4, and the outline's
// top-left is the cursor less (10, 5).
TEST_P(DropZoneTable, DecidesAndPlacesTheOutline) {
  const DropCase& c = GetParam();
  DropZoneInput in;
  in.cursor = c.cursor;
  in.grabOffset = TPoint(10, 5);
  in.startSize = TPoint(100, 26);
  in.newSize = TPoint(100, 26);
  in.dockRect = c.dock;
  in.vertical = c.vertical;
  TRect outline;
  EXPECT_EQ(DropZoneAccepts(in, outline), c.accepted);
  if (c.accepted) {
    EXPECT_EQ(outline.left, c.outline.left);
    EXPECT_EQ(outline.top, c.outline.top);
    EXPECT_EQ(outline.right, c.outline.right);
    EXPECT_EQ(outline.bottom, c.outline.bottom);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Zones, DropZoneTable,
    ::testing::Values(
        // A top dock 0..400 x 0..30: y from -16 to 33, x from -29 to 402.
        DropCase{{50, 33}, {0, 0, 400, 30}, false, true, {40, 28, 140, 54}},
        DropCase{{50, 34}, {0, 0, 400, 30}, false, false, {}},
        DropCase{{50, -16}, {0, 0, 400, 30}, false, true, {40, -21, 140, 5}},
        DropCase{{50, -17}, {0, 0, 400, 30}, false, false, {}},
        DropCase{{-29, 10}, {0, 0, 400, 30}, false, true, {-39, 5, 61, 31}},
        DropCase{{-30, 10}, {0, 0, 400, 30}, false, false, {}},
        DropCase{{402, 10}, {0, 0, 400, 30}, false, true, {392, 5, 492, 31}},
        DropCase{{403, 10}, {0, 0, 400, 30}, false, false, {}},
        // An empty bottom dock at y 100 counts as 99..101.
        DropCase{{50, 104}, {0, 100, 400, 100}, false, true, {40, 99, 140, 125}},
        DropCase{{50, 105}, {0, 100, 400, 100}, false, false, {}},
        DropCase{{50, 83}, {0, 100, 400, 100}, false, true, {40, 78, 140, 104}},
        // A left dock 0..30 x 0..300 also wants the cursor inside its height.
        DropCase{{20, 0}, {0, 0, 30, 300}, true, true, {10, -5, 110, 21}},
        DropCase{{20, -1}, {0, 0, 30, 300}, true, false, {}},
        DropCase{{20, 299}, {0, 0, 30, 300}, true, true, {10, 294, 110, 320}},
        DropCase{{20, 300}, {0, 0, 30, 300}, true, false, {}}));

TEST(DropZoneTest, OutlineKeepsTheCursorsProportionalPlace) {
  // Grabbed at the middle of a 100 x 20 bar that becomes 30 x 200: the cursor stays at the
  // middle of the new outline.
  TPoint topLeft = ProportionalTopLeft(TPoint(500, 500), TPoint(50, 10), TPoint(100, 20), TPoint(30, 200));
  EXPECT_EQ(topLeft.x, 500 - 15);  // MulDiv(29, 50, 100) = 14.5 rounds to 15
  EXPECT_EQ(topLeft.y, 500 - 100);  // MulDiv(199, 10, 20) = 99.5 rounds to 100
}

struct FloatCase {
  TPoint cursor;
  TPoint grab;
  TRect expected;
};

class FloatingOutlineTable : public ::testing::TestWithParam<FloatCase> {};

// A 1280 x 800 monitor, a 100 x 26 bar floating as 120 x 40 (border 4, caption 14).
TEST_P(FloatingOutlineTable, StaysOnTheMonitor) {
  const FloatCase& c = GetParam();
  TRect r = FloatingOutline(c.cursor, c.grab, TPoint(100, 26), TPoint(120, 40), TRect(0, 0, 1280, 800), TPoint(4, 4), 14);
  EXPECT_EQ(r.left, c.expected.left);
  EXPECT_EQ(r.top, c.expected.top);
  EXPECT_EQ(r.right, c.expected.right);
  EXPECT_EQ(r.bottom, c.expected.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Monitor, FloatingOutlineTable,
    ::testing::Values(
        // Inside: just the proportional place (119 * 10 / 100 = 12, 39 * 5 / 26 = 8).
        FloatCase{{300, 300}, {10, 5}, {288, 292, 408, 332}},
        // The cursor off the left edge is clamped onto the monitor first.
        FloatCase{{-50, 10}, {10, 5}, {-12, 2, 108, 42}},
        // Grabbed far right and low: the outline would hang above the top; its caption may
        // rise no higher than 4 - 14.
        FloatCase{{5, 5}, {90, 20}, {-102, -10, 18, 30}},
        // Off the bottom right corner: clamped cursor, outline kept partly on.
        FloatCase{{2000, 2000}, {10, 5}, {1267, 791, 1387, 831}}));

}  // namespace
}  // namespace tbx
