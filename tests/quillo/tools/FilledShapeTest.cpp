// The filled polygon and the filled freehand shape: the inside painted row by row as the
// outline's parity gives it, whichever corner the outline starts at, and the shapes drawn
// through the document window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ShapeFixture.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/document/ImageView.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

namespace {

struct PolygonCase {
  const char* name;
  Points corners;                         // the first is clicked again to close
  int firstRow;
  std::vector<std::pair<int, int>> rows;  // x from, x to, for each row from firstRow
};

class FilledShapeTest : public ShapeToolTest {};

TEST_F(FilledShapeTest, APolygonPaintsItsInsideWhereverItStarts) {
  // At 4x a click closes the polygon within 2.5 pixels of its start, so small ones can be made.
  SetZoom(4);
  const PolygonCase cases[] = {
      {"square", {{2, 2}, {8, 2}, {8, 6}, {2, 6}}, 2, {{2, 8}, {2, 8}, {2, 8}, {2, 8}, {2, 8}}},
      {"triangle from its top", {{5, 1}, {9, 7}, {1, 7}}, 1, {{5, 5}, {4, 6}, {4, 6}, {3, 7}, {2, 8}, {2, 8}, {1, 9}}},
      {"triangle from a corner", {{9, 7}, {1, 7}, {5, 1}}, 1, {{5, 5}, {4, 6}, {4, 6}, {3, 7}, {2, 8}, {2, 8}, {1, 9}}},
      {"V from its bottom",
       {{5, 8}, {1, 1}, {9, 1}},
       1,
       {{1, 9}, {2, 8}, {2, 8}, {3, 7}, {3, 7}, {4, 6}, {4, 6}, {5, 5}}},
  };
  for (const PolygonCase& c : cases) {
    SCOPED_TRACE(c.name);
    Whiten();
    Choose(&FillPolyTool);
    for (const Pair<int>& p : c.corners) Give(p.x, p.y);
    Give(c.corners[0].x, c.corners[0].y);
    EXPECT_EQ(ToolPhase, 0u);
    PixelSet expected;
    for (std::size_t i = 0; i < c.rows.size(); ++i)
      Add(expected, Row(c.firstRow + static_cast<int>(i), c.rows[i].first, c.rows[i].second));
    EXPECT_TRUE(PaintedIs(expected));}
}

TEST_F(FilledShapeTest, APolygonByClicksIsOneStepAndClosesNearItsStart) {
  Choose(&FillPolyTool);
  ClickAt(10, 10);
  ClickAt(40, 10);
  ClickAt(40, 30);
  ClickAt(10, 30);
  EXPECT_EQ(Painted().size(), 31u + 21u + 31u - 2u) << "the outline shows while it is drawn";
  ClickAt(12, 12);  // within 10 view pixels of the start
  PointerAway();
  PixelSet box;
  for (int y = 10; y <= 30; ++y) Add(box, Row(y, 10, 40));
  EXPECT_TRUE(PaintedIs(box));ASSERT_NE(document->Picture.UndoChain, nullptr);
  EXPECT_EQ(document->Picture.UndoChain->Next, nullptr);
  ASSERT_TRUE(document->Picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_TRUE(Painted().empty());
}

TEST_F(FilledShapeTest, AChangeOfToolMidPolygonLeavesThePictureAsItWas) {
  Choose(&FillPolyTool);
  ClickAt(10, 10);
  ClickAt(40, 10);
  ClickAt(40, 30);
  SelectTool(&PenContTool, true, -1);
  PointerAway();
  EXPECT_TRUE(Painted().empty());
  EXPECT_EQ(document->Picture.UndoChain, nullptr);
}

TEST_F(FilledShapeTest, AFreehandFigureEightPaintsBothLoops) {
  Choose(&FillDrawTool);
  const Points path{{20, 20}, {40, 40}, {40, 20}, {20, 40}, {20, 21}};
  const POINT first = ViewPoint(path[0].x, path[0].y);
  ui.MoveTo(first.x, first.y);
  ui.MouseDown(first.x, first.y);
  for (std::size_t i = 1; i < path.size(); ++i) {
    const POINT at = ViewPoint(path[i].x, path[i].y);
    ui.MoveTo(at.x, at.y);
  }
  ui.Advance(400);
  const POINT last = ViewPoint(path.back().x, path.back().y);
  ui.MouseUp(last.x, last.y);
  ui.RunUntilIdle();
  PointerAway();
  const PixelSet painted = Painted();
  for (const auto& [x, y] : {std::pair{23, 30}, std::pair{37, 30}, std::pair{30, 30}, std::pair{21, 25}})
    EXPECT_TRUE(painted.count({x, y})) << x << "," << y;
  for (const auto& [x, y] : {std::pair{30, 23}, std::pair{30, 37}, std::pair{45, 30}, std::pair{15, 30}})
    EXPECT_FALSE(painted.count({x, y})) << x << "," << y;
  ASSERT_NE(document->Picture.UndoChain, nullptr);
  EXPECT_EQ(document->Picture.UndoChain->Next, nullptr);
}

TEST_F(FilledShapeTest, AClickWithoutADragPaintsOnePixel) {
  Choose(&FillDrawTool);
  ClickAt(30, 30);
  PointerAway();
  EXPECT_TRUE(PaintedIs((PixelSet{{30, 30}})));EXPECT_EQ(ToolPhase, 0u);
}

TEST_F(FilledShapeTest, ThePointerNearAPolygonsStartShowsThatAClickClosesIt) {
  for (P_icon* tool : {static_cast<P_icon*>(&FillPolyTool), static_cast<P_icon*>(&CutPolyTool)}) {
    SCOPED_TRACE(tool == &FillPolyTool ? "filled polygon" : "polygon selection");
    Choose(tool);
    ClickAt(10, 10);
    ClickAt(40, 10);
    ClickAt(40, 30);
    const auto cursorWithPointerAt = [this](int x, int y) {
      const POINT at = ViewPoint(x, y);
      ui.MoveTo(at.x, at.y);
      ui.RunUntilIdle();
      ui.Advance(100);  // the activity tick
      return document->ShowBuf->GetCursor();
    };
    EXPECT_EQ(cursorWithPointerAt(20, 25), crToolCross);
    EXPECT_EQ(cursorWithPointerAt(12, 12), crPolygonCloses);
    EXPECT_EQ(cursorWithPointerAt(20, 20), crToolCross) << "away from the start again";
    ClickAt(10, 30);
    ClickAt(11, 11);  // closes it
    EXPECT_EQ(cursorWithPointerAt(11, 11), crToolCross) << "no polygon in progress";
    PointerAway();
  }
}

TEST_F(FilledShapeTest, TheFilledShapesAreChosenByTheirKey) {
  SetForegroundWindow(document->GetHandle());
  document->SetFocus();
  ui.RunUntilIdle();
  ui.Press('D');
  EXPECT_EQ(CurrentTool, &FillDrawTool);
  ui.Press('D');
  EXPECT_EQ(CurrentTool, &FillPolyTool);
}

}  // namespace
