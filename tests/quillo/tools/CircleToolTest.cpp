// The circle and ellipse tools: the exact walk of the outline, the dots it spaces, the rows of
// the filled shapes (each row as wide as its outermost outline pixel), the radii from the
// second point, and the shapes drawn through the document window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ShapeFixture.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/Ellipses.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

namespace {

Points WalkOf(int cx, int cy, int rx, int ry) {
  Points walk;
  EllipseWalk(cx - rx, cy - ry, cx + rx, cy + ry, [&walk](int x, int y) { walk.emplace_back(x, y); }, true);
  return walk;
}

// A filled shape's rows as (row offset, right end offset) from the centre.
std::vector<std::pair<int, int>> Spans(int rx, int ry) {
  std::vector<std::pair<int, int>> spans;
  const std::vector<int> rows = FilledRows(0, 0, rx, ry);
  for (std::size_t i = 0; i < rows.size(); ++i) spans.emplace_back(static_cast<int>(i) - ry, rows[i]);
  return spans;
}

TEST(EllipseWalkTest, ACircleOfRadiusThreeIsSixteenPixels) {
  const Points walk = WalkOf(0, 0, 3, 3);
  PixelSet expected{{-1, -3}, {0, -3}, {1, -3}, {-1, 3}, {0, 3}, {1, 3}, {-2, -2}, {2, -2}, {-2, 2}, {2, 2}};
  for (int y = -1; y <= 1; ++y) expected.insert({-3, y}), expected.insert({3, y});
  EXPECT_EQ(walk.size(), 16u);
  EXPECT_EQ(Of(walk), expected);
}

TEST(EllipseWalkTest, RadiusFiveVisitsTwentyEightPixelsOnceFromTheTopCentre) {
  const Points walk = WalkOf(0, 0, 5, 5);
  EXPECT_EQ(walk.size(), 28u);
  EXPECT_EQ(Of(walk).size(), 28u) << "each once";
  EXPECT_EQ(walk.front(), (Pair<int>{0, -5}));
  EXPECT_EQ(walk[1], (Pair<int>{1, -5})) << "clockwise";
  EXPECT_EQ(WalkOf(7, 7, 0, 0), (Points{{7, 7}}));
}

TEST(EllipseWalkTest, FilledRowsReachTheOutermostPixelOnBothSides) {
  const auto disc5 = Spans(5, 5);
  EXPECT_EQ(disc5.front(), (std::pair<int, int>{-5, 2}));
  EXPECT_EQ(disc5.back(), (std::pair<int, int>{5, 2}));
  for (std::size_t i = 0; i < disc5.size(); ++i)
    EXPECT_EQ(disc5[i].second, disc5[disc5.size() - 1 - i].second) << "row " << disc5[i].first << " as its mirror";
  EXPECT_EQ(Spans(1, 1), (std::vector<std::pair<int, int>>{{-1, 0}, {0, 1}, {1, 0}})) << "the plus";
  EXPECT_EQ(Spans(0, 0), (std::vector<std::pair<int, int>>{{0, 0}})) << "one pixel";
  const auto ellipse = Spans(14, 7);
  EXPECT_EQ(ellipse.front().second, 5);
  EXPECT_EQ(ellipse.back().second, 5);
}

class CircleToolTest : public ShapeToolTest {};

struct DotCase {
  int mode;
  int value;
  std::vector<int> indexes;  // of the walk of radius 5
};

TEST_F(CircleToolTest, DotsFallAtTheirPlacesOfTheWalk) {
  const DotCase cases[] = {
      {2, 8, {0, 4, 7, 11, 14, 18, 21, 25}},
      {1, 3, {0, 3, 6, 9, 12, 15, 18, 21, 24, 27}},
      {1, 1, {}},  // every pixel, as mode 0
      {0, 2, {}},
  };
  const Points walk = WalkOf(60, 40, 5, 5);
  for (const DotCase& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode) + " value " + std::to_string(c.value));
    Whiten();
    Choose(&CircleTool);
    SetOptionValue(0, c.mode);
    SetOptionValue(1, c.value);
    Give(60, 40);
    Give(63, 44);
    PixelSet expected;
    if (c.indexes.empty()) expected = Of(walk);
    for (const int i : c.indexes) expected.insert({walk[static_cast<std::size_t>(i)].x, walk[static_cast<std::size_t>(i)].y});
    EXPECT_TRUE(PaintedIs(expected));}
}

TEST_F(CircleToolTest, TheSecondPointGivesTheRadii) {
  Choose(&CircleTool);
  Give(50, 50);
  Give(52, 52);
  EXPECT_EQ(CircleTool.RadiusX, 2) << "trunc of 2.83";
  Choose(&EllipseTool);
  Give(50, 50);
  Give(60, 55);
  EXPECT_EQ(EllipseTool.RadiusX, 14);
  EXPECT_EQ(EllipseTool.RadiusY, 7);
  Whiten();
  Choose(&EllipsefTool);
  Give(50, 50);
  Give(60, 55);
  const PixelSet painted = Painted();
  EXPECT_TRUE(painted.count({45, 43}) && painted.count({55, 43}) && !painted.count({56, 43}) && !painted.count({44, 43}));
  EXPECT_TRUE(painted.count({36, 50}) && painted.count({64, 50}));
}

TEST_F(CircleToolTest, AFilledDiscAndItsRightButtonColour) {
  Choose(&CirclefTool);
  Give(30, 30);
  Give(35, 30);
  PixelSet expected;
  const std::vector<int> rows = FilledRows(30, 30, 5, 5);
  for (std::size_t i = 0; i < rows.size(); ++i) Add(expected, Row(25 + static_cast<int>(i), 60 - rows[i], rows[i]));
  EXPECT_TRUE(PaintedIs(expected));form->BackCol->SetColor(clRed);
  Give(80, 30, true);
  Give(80, 30, true);
  EXPECT_EQ(PixelAt(80, 30), 0xFF0000u) << "radius 0: one pixel in the background colour";
  EXPECT_EQ(PixelAt(81, 30) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(CircleToolTest, ACircleByDragIsOneStepAndATurnMidShapeLeavesNothing) {
  Choose(&CircleTool);
  SetOptionValue(0, 0);
  DragUi({40, 40}, {43, 40});
  PointerAway();
  EXPECT_TRUE(PaintedIs(Of(WalkOf(40, 40, 3, 3))));ASSERT_NE(document->Picture.UndoChain, nullptr);
  EXPECT_EQ(document->Picture.UndoChain->Next, nullptr);

  ClickAt(80, 40);
  const POINT at = ViewPoint(85, 40);
  ui.MoveTo(at.x, at.y);
  EXPECT_EQ(document->StatusText(spSizes), "[0.03,0.00]");
  EXPECT_NE(PixelAt(80, 35) & 0xFFFFFF, 0xFFFFFFu) << "the dotted feedback shows";
  SelectTool(&PenContTool, true, -1);
  PointerAway();
  EXPECT_TRUE(PaintedIs(Of(WalkOf(40, 40, 3, 3))));EXPECT_EQ(document->Picture.UndoChain->Next, nullptr);
  ASSERT_TRUE(document->Picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_TRUE(Painted().empty());
}

TEST_F(CircleToolTest, TheCirclesAreChosenByTheirKey) {
  SetForegroundWindow(document->GetHandle());
  document->SetFocus();
  ui.RunUntilIdle();
  P_icon* const order[] = {&CircleTool, &CirclefTool, &EllipseTool, &EllipsefTool, &CircleTool};
  for (P_icon* tool : order) {
    ui.Press('C');
    EXPECT_EQ(CurrentTool, tool);
  }
}

}  // namespace
