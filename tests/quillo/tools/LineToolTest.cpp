// The line and curve tools: the stamps of each spacing mode, the arrow head's barbs, curves
// through their middle point, the rubber feedback and its options, and the chain of the
// continuous tools, each segment one undo step.

#include <gtest/gtest.h>

#include <string>

#include "../document/FailingUndoMemory.h"
#include "ShapeFixture.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/ImageForm.h"
#include "quillo/base/Settings.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/Lines.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/SizeStatus.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

namespace {

class LineToolTest : public ShapeToolTest {
protected:
  void SetOptions(int mode, int value, int arrow) {
    SetOptionValue(0, mode);
    SetOptionValue(1, value);
    SetOptionValue(2, arrow);
  }
  int UndoSteps() const {
    int n = 0;
    for (const UndoEntry* e = document->Picture.UndoChain; e; e = e->Next) ++n;
    return n;
  }
};

struct SpacingCase {
  int mode;
  int value;
  Pair<int> from, to;
  std::vector<int> xs;  // the stamps along row from.y
};

TEST_F(LineToolTest, EachSpacingModeStampsWhereItSays) {
  const SpacingCase cases[] = {
      {0, 2, {0, 10}, {5, 10}, {0, 1, 2, 3, 4, 5}},
      {1, 3, {0, 10}, {10, 10}, {0, 3, 6, 9}},
      {2, 4, {0, 10}, {10, 10}, {0, 4, 7, 10}},  // 10 / 3 through the 16.16 counter
      {2, 2, {0, 10}, {10, 10}, {0, 10}},
      {2, 1, {0, 10}, {10, 10}, {0}},  // one stamp: the first point
      {2, 4, {10, 10}, {0, 10}, {10, 6, 3, 0}},
  };
  for (const SpacingCase& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode) + " value " + std::to_string(c.value) + " from x " +
                 std::to_string(c.from.x));
    Whiten();
    Choose(&LineTool);
    SetOptions(c.mode, c.value, 0);
    Give(c.from.x, c.from.y);
    Give(c.to.x, c.to.y);
    PixelSet expected;
    for (const int x : c.xs) expected.insert({x, c.from.y});
    EXPECT_TRUE(PaintedIs(expected));EXPECT_EQ(ToolPhase, 0u);
  }
}

TEST_F(LineToolTest, AnArrowHeadAddsTwoBarbsToTheTip) {
  Choose(&LineTool);
  SetOptions(0, 2, 3);
  Give(0, 50);
  Give(100, 50);
  PixelSet expected = Of(Walk({0, 50}, {100, 50}));
  Add(expected, Of(Walk({70, 67}, {100, 50})));
  Add(expected, Of(Walk({70, 33}, {100, 50})));
  EXPECT_TRUE(PaintedIs(expected));}

TEST_F(LineToolTest, ACurvePassesItsMiddlePoint) {
  Choose(&SplineTool);
  SetOptions(0, 2, 0);
  Give(0, 0);
  Give(16, 0);
  Give(8, 0);
  EXPECT_TRUE(PaintedIs(Row(0, 0, 16)));EXPECT_EQ(CurveControlPoint({0, 0}, {9, 0}, {4, 3}), (Pair<int>{4, 6}));
  Whiten();
  Give(0, 0);
  Give(9, 0);
  Give(4, 3);
  const PixelSet painted = Painted();
  EXPECT_TRUE(painted.count({4, 3}));
  EXPECT_TRUE(painted.count({0, 0}) && painted.count({9, 0}));
}

TEST_F(LineToolTest, NStampsOnACurveEndOnItsEnd) {
  Choose(&SplineTool);
  SetOptions(2, 3, 0);
  Give(0, 20);
  Give(40, 20);
  Give(20, 20);
  EXPECT_TRUE(PaintedIs((PixelSet{{0, 20}, {20, 20}, {40, 20}})));}

TEST(SizeStatusTest, SizesInEachUnit) {
  EXPECT_EQ(SizeText(200, 100, 0, 200), "[1.00,0.50]");
  EXPECT_EQ(SizeText(200, 100, 1, 200), "[2.54,1.27]");
  EXPECT_EQ(SizeText(200, 100, 2, 200), "[200,100]");
  EXPECT_EQ(SizeText(-20, 5, 2, 200), "[-20,5]");
}

// Through the UI: the rubber line follows the pointer with its barbs and the size, a changed
// option redraws it at once, and the finished line is one undo step.
TEST_F(LineToolTest, ALineByClicksShowsItsRubberLineThenDrawsIt) {
  Choose(&LineTool);
  SetOptions(0, 2, 0);
  ClickAt(10, 40);
  ASSERT_EQ(ToolPhase, 1u);
  const POINT at = ViewPoint(60, 40);
  ui.MoveTo(at.x, at.y);
  EXPECT_EQ(document->StatusText(spSizes), "[0.25,0.00]");
  EXPECT_NE(PixelAt(30, 40) & 0xFFFFFF, 0xFFFFFFu) << "the rubber line shows";
  EXPECT_EQ(PixelAt(50, 45) & 0xFFFFFF, 0xFFFFFFu);

  // Arrow 2 (16-pixel barbs) at once, without a move.
  SetOptionValue(2, 2);
  dynamic_cast<TComboBox*>(OptionControls[2])->OnChange(nullptr);
  const Pair<int> lower = ArrowHeadPoint({60, 40}, {10, 40}, -30, 16);
  EXPECT_NE(PixelAt(lower.x, lower.y) & 0xFFFFFF, 0xFFFFFFu) << "the lower barb shows";

  ClickAt(60, 40);
  PointerAway();
  PixelSet expected = Of(Walk({10, 40}, {60, 40}));
  Add(expected, Of(Walk(ArrowHeadPoint({60, 40}, {10, 40}, -30, 16), {60, 40})));
  Add(expected, Of(Walk(ArrowHeadPoint({60, 40}, {10, 40}, 30, 16), {60, 40})));
  EXPECT_TRUE(PaintedIs(expected));EXPECT_EQ(UndoSteps(), 1);
  ASSERT_TRUE(document->Picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_TRUE(Painted().empty());
}

TEST_F(LineToolTest, ALineByDragWithTheRightButtonPaintsTheBackground) {
  form->BackCol->SetColor(clRed);
  Choose(&LineTool);
  SetOptions(0, 2, 0);
  DragUi({5, 5}, {40, 20}, InputEvent::Right);
  PointerAway();
  EXPECT_TRUE(PaintedIs(Of(Walk({5, 5}, {40, 20}))));EXPECT_EQ(PixelAt(5, 5) & 0xFFFFFF, 0xFF0000u);
  DragUi({5, 30}, {40, 30});
  PointerAway();
  EXPECT_EQ(PixelAt(20, 30) & 0xFFFFFF, 0x000000u) << "the brush is back in the drawing colour";
}

TEST_F(LineToolTest, TheContinuousLineIsOneStepPerSegment) {
  Choose(&LineContTool);
  SetOptions(0, 2, 0);
  ClickAt(10, 10);
  ClickAt(50, 10);
  ClickAt(50, 40);
  ClickAt(20, 40);
  SelectTool(&PenContTool, true, -1);
  PointerAway();
  PixelSet expected = Of(Walk({10, 10}, {50, 10}));
  Add(expected, Of(Walk({50, 10}, {50, 40})));
  Add(expected, Of(Walk({50, 40}, {20, 40})));
  EXPECT_TRUE(PaintedIs(expected));EXPECT_EQ(UndoSteps(), 3);
  ASSERT_TRUE(document->Picture.Undo(UDBuffer::RedoRecord::Keep));
  PixelSet two = Of(Walk({10, 10}, {50, 10}));
  Add(two, Of(Walk({50, 10}, {50, 40})));
  EXPECT_TRUE(PaintedIs(two));}

// Without memory for the next segment's step the chain ends with the segment drawn: the next
// click starts a new line rather than joining the old one.
TEST_F(LineToolTest, TheChainEndsWhenTheNextSegmentGetsNoStep) {
  Choose(&LineContTool);
  SetOptions(0, 2, 0);
  Give(10, 10);
  ui.AnswerMessageBoxes({IDOK});
  // Neither memory nor room on the disk for the step.
  Settings.UndoDisk = 0;
  {
    FailingAllocator noMemory;
    Give(50, 10);
  }
  EXPECT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ToolPhase, 0u);
  Give(10, 30);
  Give(50, 30);
  PixelSet expected = Of(Walk({10, 10}, {50, 10}));
  Add(expected, Of(Walk({10, 30}, {50, 30})));
  EXPECT_TRUE(PaintedIs(expected));
}

TEST_F(LineToolTest, TheContinuousCurveChainsItsCurves) {
  Choose(&SplineContTool);
  SetOptions(0, 2, 0);
  ClickAt(0, 20);
  ClickAt(30, 20);
  ClickAt(15, 20);
  ClickAt(60, 20);
  ClickAt(45, 20);
  SelectTool(&PenContTool, true, -1);
  PointerAway();
  EXPECT_TRUE(PaintedIs(Row(20, 0, 60)));EXPECT_EQ(UndoSteps(), 2);
}

TEST_F(LineToolTest, ATurnedCurveShowsItsPreviewWithTheArrowHead) {
  Choose(&SplineTool);
  SetOptions(0, 2, 1);
  ClickAt(10, 50);
  ClickAt(90, 50);
  ASSERT_EQ(ToolPhase, 2u);
  const POINT at = ViewPoint(50, 30);
  ui.MoveTo(at.x, at.y);
  const Pair<int> control = CurveControlPoint({10, 50}, {90, 50}, {50, 30});
  const Pair<int> lastChord = CurveChordPoint({10, 50}, control, {90, 50}, 15);
  const Pair<int> barb = ArrowHeadPoint({90, 50}, lastChord, -30, ArrowSizes[0]);
  EXPECT_NE(PixelAt(barb.x, barb.y) & 0xFFFFFF, 0xFFFFFFu) << "the preview's barb shows";
  EXPECT_NE(PixelAt(50, 30) & 0xFFFFFF, 0xFFFFFFu) << "the preview passes the pointer";
  // A change of tool mid-shape leaves the picture as it was.
  SelectTool(&PenContTool, true, -1);
  PointerAway();
  EXPECT_TRUE(Painted().empty());
  EXPECT_EQ(UndoSteps(), 0);
}

// Chosen as a user chooses them: by the palette button and by the hot key, which still reaches
// the document once the tool's bar shows.
TEST_F(LineToolTest, TheLineToolsAreChosenByTheirButtonsAndKeys) {
  for (const P_icon* tool : std::initializer_list<const P_icon*>{&LineTool, &LineContTool, &SplineTool, &SplineContTool})
    EXPECT_TRUE(ToolCanBeChosen(tool));
  SetForegroundWindow(document->GetHandle());
  document->SetFocus();
  ui.RunUntilIdle();
  ui.Press('L');
  EXPECT_EQ(CurrentTool, &LineTool);
  ui.Press('L');
  EXPECT_EQ(CurrentTool, &LineContTool) << "the key reached the document with the bar showing";
  ui.Press('U');
  EXPECT_EQ(CurrentTool, &SplineTool);
}

}  // namespace
