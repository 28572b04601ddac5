// The box tools: outlines stroked with the brush, filled boxes painted by the chosen fill, the
// square held by its longer side, the size in the status bar, one undo step a box.

#include <gtest/gtest.h>

#include "ShapeFixture.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/base/Settings.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

namespace {

class BoxToolTest : public ShapeToolTest {
protected:
  static PixelSet Outline(int x1, int y1, int x2, int y2) {
    PixelSet set = Row(y1, x1, x2);
    Add(set, Row(y2, x1, x2));
    for (int y = y1; y <= y2; ++y) set.insert({x1, y}), set.insert({x2, y});
    return set;
  }
  static PixelSet Filled(int x1, int y1, int x2, int y2) {
    PixelSet set;
    for (int y = y1; y <= y2; ++y) Add(set, Row(y, x1, x2));
    return set;
  }
};

struct BoxCase {
  P_icon* tool;
  Pair<int> anchor, pointer;
  PixelSet expected;
};

TEST_F(BoxToolTest, EachBoxToolDrawsItsShape) {
  const BoxCase cases[] = {
      {&BoxRectTool, {20, 20}, {30, 25}, Outline(20, 20, 30, 25)},
      {&BoxRectTool, {30, 25}, {20, 20}, Outline(20, 20, 30, 25)},
      {&BoxRectTool, {40, 40}, {40, 40}, {{40, 40}}},  // a single stamp
      {&BoxSqrTool, {20, 20}, {30, 23}, Outline(20, 20, 30, 30)},
      {&BoxSqrTool, {20, 20}, {17, 26}, Outline(14, 20, 20, 26)},
      {&BoxSqrTool, {20, 20}, {30, 20}, Row(20, 20, 30)},  // level with the anchor: a line of 11
      {&BoxRectfTool, {5, 6}, {12, 9}, Filled(5, 6, 12, 9)},
      {&BoxSqrfTool, {5, 6}, {8, 20}, Filled(5, 6, 19, 20)},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.tool->Key + " to " + std::to_string(c.pointer.x) + "," + std::to_string(c.pointer.y));
    Whiten();
    Choose(c.tool);
    Give(c.anchor.x, c.anchor.y);
    Give(c.pointer.x, c.pointer.y);
    EXPECT_TRUE(PaintedIs(c.expected));for (const auto& [x, y] : c.expected) ASSERT_EQ(PixelAt(x, y), 0x000000u);
  }
}

TEST_F(BoxToolTest, TheRightButtonPaintsInTheBackgroundColourThenTheBrushIsBack) {
  form->BackCol->SetColor(clRed);
  for (P_icon* tool : std::initializer_list<P_icon*>{&BoxRectTool, &BoxRectfTool}) {
    Whiten();
    Choose(tool);
    Give(10, 10, true);
    Give(20, 15, true);
    EXPECT_EQ(PixelAt(10, 10), 0xFF0000u);
    EXPECT_EQ(PixelAt(20, 15), 0xFF0000u);
    Give(30, 30);
    Give(35, 35);
    EXPECT_EQ(PixelAt(35, 35), 0x000000u);
  }
}

TEST_F(BoxToolTest, ABoxByDragShowsItsSizeAndIsOneStep) {
  Choose(&BoxRectTool);
  const struct {
    int unit;
    const char* text;
  } units[] = {{0, "[0.20,0.10]"}, {1, "[0.51,0.25]"}, {2, "[40,20]"}};
  for (const auto& u : units) {
    Settings.MeasurementUnit = u.unit;
    const POINT a = ViewPoint(10, 10);
    const POINT z = ViewPoint(49, 29);
    ui.MoveTo(a.x, a.y);
    ui.MouseDown(a.x, a.y);
    ui.MoveTo(z.x, z.y);
    EXPECT_EQ(document->StatusText(spSizes), u.text);
    EXPECT_NE(PixelAt(30, 10) & 0xFFFFFF, 0xFFFFFFu) << "the feedback box shows";
    ui.Advance(400);
    ui.MouseUp(z.x, z.y);
    ui.RunUntilIdle();
    EXPECT_EQ(document->StatusText(spSizes), "");
  }
  Settings.MeasurementUnit = 0;
  PointerAway();
  EXPECT_TRUE(PaintedIs(Outline(10, 10, 49, 29)));ASSERT_NE(document->Picture.UndoChain, nullptr);
  const UndoEntry& step = *document->Picture.UndoChain;
  EXPECT_EQ(Rect(step.Left, step.Top, step.Right, step.Bottom), Rect(10, 10, 49, 29));
  for (int box = 0; box < 3; ++box) ASSERT_TRUE(document->Picture.Undo(UDBuffer::RedoRecord::Keep)) << box;
  EXPECT_TRUE(Painted().empty()) << "three boxes, three steps";
  EXPECT_EQ(document->Picture.UndoChain, nullptr);
}

TEST_F(BoxToolTest, AFilledSquareByClicksAndAChangeOfToolMidShape) {
  Choose(&BoxSqrfTool);
  ClickAt(10, 10);
  ClickAt(20, 14);
  PointerAway();
  EXPECT_TRUE(PaintedIs(Filled(10, 10, 20, 20)));ClickAt(40, 40);
  const POINT at = ViewPoint(60, 60);
  ui.MoveTo(at.x, at.y);
  EXPECT_NE(PixelAt(50, 50) & 0xFFFFFF, 0xFFFFFFu) << "the filled feedback shows";
  SelectTool(&PenContTool, true, -1);
  PointerAway();
  EXPECT_TRUE(PaintedIs(Filled(10, 10, 20, 20))) << "the picture is as it was";
  int steps = 0;
  for (const UndoEntry* e = document->Picture.UndoChain; e; e = e->Next) ++steps;
  EXPECT_EQ(steps, 1);
}

TEST_F(BoxToolTest, TheBoxesAreChosenByTheirKey) {
  SetForegroundWindow(document->GetHandle());
  document->SetFocus();
  ui.RunUntilIdle();
  P_icon* const order[] = {&BoxRectfTool, &BoxRectTool, &BoxSqrfTool, &BoxSqrTool, &BoxRectfTool};
  for (P_icon* tool : order) {
    ui.Press('R');
    EXPECT_EQ(CurrentTool, tool);
  }
}

}  // namespace
