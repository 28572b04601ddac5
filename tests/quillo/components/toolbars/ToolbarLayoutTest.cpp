// A toolbar's rows, its possible floating sizes and the snapping of a dragged edge, on
// tables worked out by hand.

#include <gtest/gtest.h>

#include "quillo/components/toolbars/ToolbarLayout.h"

namespace tbx {
namespace {

ToolbarItem Button() {
  ToolbarItem item;
  item.width = 23;
  item.height = 22;
  return item;
}

ToolbarItem Separator(bool blank = false) {
  ToolbarItem item;
  item.separator = true;
  item.sepBlank = blank;
  return item;
}

// Three buttons, a separator, two buttons.
std::vector<ToolbarItem> TwoGroups() { return {Button(), Button(), Button(), Separator(), Button(), Button()}; }

void ExpectRect(const TRect& r, int left, int top, int width, int height) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.Width(), width);
  EXPECT_EQ(r.Height(), height);
}

TEST(ToolbarLayoutTest, DockedTopOneRowWithoutMargins) {
  ToolbarLayoutInput input;
  input.rowSize = 22;
  ToolbarLayoutResult r = LayOutToolbar(TwoGroups(), input);
  ExpectRect(r.bounds[0], 0, 0, 23, 22);
  ExpectRect(r.bounds[2], 46, 0, 23, 22);
  ExpectRect(r.bounds[3], 69, 0, 6, 22);
  ExpectRect(r.bounds[4], 75, 0, 23, 22);
  EXPECT_EQ(r.size.x, 121);
  EXPECT_EQ(r.size.y, 22);
}

TEST(ToolbarLayoutTest, DockedLeftRunsDownAndSwapsTheSize) {
  ToolbarLayoutInput input;
  input.leftRight = true;
  input.rowSize = 23;
  ToolbarLayoutResult r = LayOutToolbar(TwoGroups(), input);
  ExpectRect(r.bounds[1], 0, 22, 23, 22);
  ExpectRect(r.bounds[3], 0, 66, 23, 6);  // the separator's vertical size
  ExpectRect(r.bounds[4], 0, 72, 23, 22);
  EXPECT_EQ(r.size.x, 23);
  EXPECT_EQ(r.size.y, 116);
}

TEST(ToolbarLayoutTest, FloatingWithoutWrapWidthIsOneRowInsideTheMargins) {
  ToolbarLayoutInput input;
  input.floating = true;
  input.rowSize = 22;
  ToolbarLayoutResult r = LayOutToolbar(TwoGroups(), input);
  ExpectRect(r.bounds[0], 4, 2, 23, 22);
  ExpectRect(r.bounds[5], 102, 2, 23, 22);
  EXPECT_EQ(r.size.x, 129);
  EXPECT_EQ(r.size.y, 25);
  EXPECT_TRUE(r.lineSeparators.empty());
}

TEST(ToolbarLayoutTest, RowBreakOnASeparatorLeavesAnEtchedLine) {
  ToolbarLayoutInput input;
  input.floating = true;
  input.rowSize = 22;
  input.floatingRightX = 80;
  ToolbarLayoutResult r = LayOutToolbar(TwoGroups(), input);
  ExpectRect(r.bounds[2], 50, 2, 23, 22);
  EXPECT_EQ(r.bounds[3].Width(), 0);  // the separator takes no room
  ExpectRect(r.bounds[4], 4, 30, 23, 22);  // the next row: 2 + 22 + 6
  ASSERT_EQ(r.lineSeparators.size(), 1u);
  EXPECT_EQ(r.lineSeparators[0].y, 30);
  EXPECT_FALSE(r.lineSeparators[0].blank);
  EXPECT_EQ(r.size.x, 77);
  EXPECT_EQ(r.size.y, 53);
}

TEST(ToolbarLayoutTest, WrapWidthNeverBelowTheWidestControl) {
  ToolbarLayoutInput input;
  input.floating = true;
  input.rowSize = 22;
  input.floatingRightX = 5;
  ToolbarLayoutResult r = LayOutToolbar({Button(), Button()}, input);
  ExpectRect(r.bounds[0], 4, 2, 23, 22);
  ExpectRect(r.bounds[1], 4, 24, 23, 22);
  EXPECT_EQ(r.size.x, 31);
}

TEST(ToolbarLayoutTest, ControlsAreCentredAcrossTheRow) {
  ToolbarItem small;
  small.width = 10;
  small.height = 9;
  ToolbarLayoutInput input;
  input.rowSize = 22;
  ToolbarLayoutResult r = LayOutToolbar({Button(), small}, input);
  ExpectRect(r.bounds[1], 23, 6, 10, 9);  // (22 - 9) / 2
}

TEST(ToolbarLayoutTest, BarSizeIsTheThickestControlAtLeastEight) {
  EXPECT_EQ(ToolbarBarSize({}, false), 8);
  EXPECT_EQ(ToolbarBarSize({Separator()}, false), 8);
  EXPECT_EQ(ToolbarBarSize(TwoGroups(), false), 22);
  EXPECT_EQ(ToolbarBarSize(TwoGroups(), true), 23);
}

TEST(ToolbarLayoutTest, PotentialSizesAreTheNarrowestWidthForEachHeight) {
  std::vector<TPoint> sizes = PotentialFloatingSizes({Button(), Button(), Button()});
  ASSERT_EQ(sizes.size(), 3u);
  EXPECT_EQ(sizes[0].x, 77);
  EXPECT_EQ(sizes[0].y, 25);
  EXPECT_EQ(sizes[1].x, 54);
  EXPECT_EQ(sizes[1].y, 47);
  EXPECT_EQ(sizes[2].x, 31);
  EXPECT_EQ(sizes[2].y, 69);
}

// The three sizes above in a frame of 8 across (4 a side) and 22 down: windows of 85 x 47,
// 62 x 69 and 39 x 91.
std::vector<TPoint> ThreeSizes() { return {TPoint(77, 25), TPoint(54, 47), TPoint(31, 69)}; }
const TRect Start(100, 100, 185, 147);

TRect Dragged(TToolWindowSizeHandle handle, int amount) {
  TRect r = Start;
  switch (handle) {
    case twshRight: r.right += amount; break;
    case twshLeft: r.left -= amount; break;
    case twshBottom: r.bottom += amount; break;
    case twshTop: r.top -= amount; break;
    default: break;
  }
  return r;
}

struct SnapCase {
  TToolWindowSizeHandle handle;
  std::vector<int> drags;  // successive edge movements, outward positive
  TRect expected;
  int wrap;
};

class SnapTable : public ::testing::TestWithParam<SnapCase> {};

TEST_P(SnapTable, SnapsToTheSizesTheButtonsAllow) {
  const SnapCase& c = GetParam();
  FloatingResizeSnapper snapper(c.handle, ThreeSizes(), TPoint(8, 22), 4, TPoint(85, 47), 0);
  EXPECT_EQ(snapper.SnapDistance(), 12);  // the neighbours are 23 and 22 away
  TRect r;
  for (int d : c.drags) r = snapper.Track(Dragged(c.handle, d), Start);
  EXPECT_EQ(r.left, c.expected.left);
  EXPECT_EQ(r.top, c.expected.top);
  EXPECT_EQ(r.right, c.expected.right);
  EXPECT_EQ(r.bottom, c.expected.bottom);
  EXPECT_EQ(snapper.WrapWidth(), c.wrap);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, SnapTable,
    ::testing::Values(
        // Within the snap distance nothing changes.
        SnapCase{twshRight, {-5}, {100, 100, 185, 147}, 0},
        SnapCase{twshRight, {11}, {100, 100, 185, 147}, 0},
        // Inward past it: the widest layout within the cursor (62 wide, wrap 54).
        SnapCase{twshRight, {-15}, {100, 100, 162, 169}, 54},
        SnapCase{twshRight, {-46}, {100, 100, 139, 191}, 31},
        // Once changed, the same direction no longer snaps back.
        SnapCase{twshRight, {-15, -21}, {100, 100, 162, 169}, 54},
        // The left edge moves the left side.
        SnapCase{twshLeft, {-15}, {123, 100, 185, 169}, 54},
        // Dragging the bottom edge down grows to the next size beyond the cursor.
        SnapCase{twshBottom, {13}, {100, 100, 162, 169}, 54},
        SnapCase{twshBottom, {30}, {100, 100, 139, 191}, 31},
        // Far out: the tallest there is.
        SnapCase{twshBottom, {300}, {100, 100, 139, 191}, 31},
        // The top edge moves the top.
        SnapCase{twshTop, {13}, {100, 78, 162, 147}, 54}));

TEST(SnapTest, SnapDistanceShrinksBetweenCloseSizes) {
  FloatingResizeSnapper snapper(twshRight, {TPoint(60, 25), TPoint(55, 47)}, TPoint(0, 0), 0, TPoint(60, 25), 0);
  EXPECT_EQ(snapper.SnapDistance(), 4);
}

}  // namespace
}  // namespace tbx
