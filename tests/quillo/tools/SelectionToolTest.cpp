// The selection tools through the document window: rectangles added and taken away with Ctrl
// and Alt, the polygon's closing distance on screen, the preset size's keys, the instant-brush
// switch, the areas taken as the brush (copied or cut) and the move tool.

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "BrushLetters.h"
#include "ShapeFixture.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

using namespace brush_letters;

namespace {

class SelectionToolTest : public ShapeToolTest {
protected:
  ~SelectionToolTest() override {
    Settings.InstBrush = false;
    ApplyInstantBrushOption();
    Settings.OptimBrush = false;
    BrushState = BrushStateBlock{};
    CutResizeTool.SavedWidth = CutResizeTool.SavedHeight = 0;
    CutResizeTool.CutAspectRatio = 0;
    CutWandTool.Tolerance = 128;
    CutWandTool.EightConnected = 0;
  }

  UDBuffer& Picture() { return document->Picture; }
  Rect Bounds() { return Rect(Picture().SelLeft, Picture().SelTop, Picture().SelRight, Picture().SelBottom); }
  bool Selected() { return Picture().Outline != nullptr; }

  // The keys held while the mouse does something.
  void Holding(std::initializer_list<int> keys, const std::function<void()>& action) {
    // The keys go to the document window, which keeps Alt from the menu bar.
    SetForegroundWindow(document->GetHandle());
    document->SetFocus();
    ui.RunUntilIdle();
    for (int key : keys) ui.KeyDown(key);
    action();
    for (int key : keys) ui.KeyUp(key);
    ui.RunUntilIdle();
  }
  void DragWith(std::initializer_list<int> keys, Pair<int> from, Pair<int> to, int button = 0) {
    Holding(keys, [&] { DragUi(from, to, button); });
  }
  void ClickView(int vx, int vy) {
    const POINT at = UiDriver::At(document->ShowBuf->GetHandle(), vx, vy);
    ui.MoveTo(at.x, at.y);
    ui.Click(at.x, at.y);
    ui.RunUntilIdle();
  }
  void KeyToDocument(std::initializer_list<int> modifiers, int key) {
    Holding(modifiers, [&] { ui.Press(key); });
  }
  int UndoSteps() {
    int n = 0;
    for (const UndoEntry* s = Picture().UndoChain; s; s = s->Next) ++n;
    return n;
  }
};

TEST_F(SelectionToolTest, RectanglesAreAddedAndTakenAwayWithCtrlAndAlt) {
  Choose(&CutBoxTool);
  struct Step {
    std::initializer_list<int> keys;
    Pair<int> from, to;
    bool selected;
    Rect bounds;
  } steps[] = {
      {{}, {2, 2}, {7, 7}, true, Rect(2, 2, 7, 7)},
      {{VK_MENU}, {2, 2}, {7, 3}, true, Rect(2, 4, 7, 7)},      // a whole edge strip: the bounds shrink
      {{VK_MENU}, {4, 4}, {5, 5}, true, Rect(2, 4, 7, 7)},      // a hole: the bounds stay
      {{VK_CONTROL}, {20, 20}, {21, 22}, true, Rect(2, 4, 21, 22)},
      {{VK_CONTROL, VK_MENU}, {20, 20}, {21, 22}, true, Rect(2, 4, 7, 7)},  // Alt wins
      {{}, {30, 30}, {31, 31}, true, Rect(30, 30, 31, 31)},     // neither replaces
      {{VK_MENU}, {0, 0}, {127, 95}, false, Rect(UDBuffer::kNoSelectionLow, UDBuffer::kNoSelectionLow, -1, -1)},
  };
  for (const Step& s : steps) {
    DragWith(s.keys, s.from, s.to);
    EXPECT_EQ(Selected(), s.selected) << s.from.x << "," << s.from.y;
    EXPECT_EQ(Bounds(), s.bounds) << s.from.x << "," << s.from.y;
  }
  EXPECT_FALSE(Picture().IsSelected(4, 4));
  // Each area is one step named by the tool; the last one's undo brings the selection back.
  ASSERT_NE(Picture().UndoChain, nullptr);
  EXPECT_EQ(Picture().UndoChain->Description, AnsiString("CutRectIcon"));
  form->Undo1Click(form);
  ui.RunUntilIdle();
  EXPECT_TRUE(Selected());
  EXPECT_EQ(Bounds(), Rect(30, 30, 31, 31));
  form->Undo1Click(form);
  ui.RunUntilIdle();
  EXPECT_EQ(Bounds(), Rect(2, 4, 7, 7));
  EXPECT_TRUE(Picture().IsSelected(2, 4));
  EXPECT_FALSE(Picture().IsSelected(2, 3));
}

TEST_F(SelectionToolTest, AStripTakenOffAnEdgeIsGivenBackByUndo) {
  Choose(&CutBoxTool);
  DragUi({2, 2}, {7, 7});
  DragWith({VK_MENU}, {2, 2}, {7, 3});
  form->Undo1Click(form);
  ui.RunUntilIdle();
  EXPECT_EQ(Bounds(), Rect(2, 2, 7, 7));
  for (int y = 2; y <= 7; ++y) EXPECT_TRUE(Picture().IsSelected(2, y)) << y;
}

TEST_F(SelectionToolTest, AFreehandOrWandSubtractionThatEmptiesTheSelectionDropsIt) {
  Choose(&CutBoxTool);
  DragUi({10, 10}, {12, 12});
  ASSERT_TRUE(Selected());
  // The whole picture is one colour: the wand with Alt takes everything away.
  Choose(&CutWandTool);
  Holding({VK_MENU}, [&] { ClickAt(50, 50); });
  EXPECT_FALSE(Selected());
  EXPECT_FALSE(Picture().HasSelectionBounds());
  // The same with a freehand outline round the selection.
  Choose(&CutBoxTool);
  DragUi({10, 10}, {12, 12});
  Choose(&CutDrawTool);
  Holding({VK_MENU}, [&] {
    const POINT a = ViewPoint(20, 20), b = ViewPoint(5, 20), c = ViewPoint(5, 5), d = ViewPoint(20, 5);
    ui.MoveTo(a.x, a.y);
    ui.MouseDown(a.x, a.y);
    for (const POINT& p : {d, c, b, a}) ui.MoveTo(p.x, p.y);
    ui.Advance(400);
    ui.MouseUp(a.x, a.y);
  });
  EXPECT_FALSE(Selected());
  EXPECT_FALSE(Picture().HasSelectionBounds());
  PointerAway();
  EXPECT_TRUE(Painted().empty()) << "the outline drawn as feedback is gone";
}

TEST_F(SelectionToolTest, APolygonClosesWithinTenPixelsOfItsStartOnTheScreen) {
  SetZoom(2);
  Choose(&CutPolyTool);
  ClickView(20, 20);  // image (10, 10), its centre on the screen at (21, 21)
  ClickView(80, 20);
  ClickView(80, 80);
  ClickView(31, 21);
  EXPECT_FALSE(Selected()) << "ten pixels away: not closed";
  ClickView(30, 21);
  EXPECT_TRUE(Selected());
  PointerAway();
  EXPECT_TRUE(Painted().empty()) << "the outline drawn as feedback is gone";
  EXPECT_EQ(Bounds().left, 10);
  EXPECT_EQ(Bounds().top, 10);
}

TEST_F(SelectionToolTest, TheWandSelectsTheConnectedAreaOfLikeColour) {
  Picture().Box(Rect(10, 10, 19, 14), 0x000000);
  Choose(&CutWandTool);
  ClickAt(12, 12);
  EXPECT_TRUE(Selected());
  EXPECT_EQ(Bounds(), Rect(10, 10, 19, 14));
  EXPECT_EQ(Picture().UndoChain->Description, AnsiString("CutWandIcon"));
}

TEST_F(SelectionToolTest, ThePresetRectangleKeepsItsRatioOnCtrlHome) {
  Choose(&CutResizeTool);
  SetOptionValue(1, 100);
  SetOptionValue(2, 50);
  EXPECT_DOUBLE_EQ(CutResizeTool.CutAspectRatio, 0.5);
  KeyToDocument({VK_CONTROL}, VK_HOME);
  EXPECT_EQ(GetOptionValue(1), 99);
  EXPECT_EQ(GetOptionValue(2), 50);
  KeyToDocument({VK_CONTROL}, VK_LEFT);
  EXPECT_EQ(GetOptionValue(1), 98);
  // One click places the rectangle, cut at the picture's edge.
  ClickAt(100, 60);
  EXPECT_EQ(Bounds(), Rect(100, 60, 127, 95));
}

TEST_F(SelectionToolTest, TheInstantBrushSwitchChangesTheToolsAndTheMenu) {
  TMenuItem* getSelection = form->MenuItemNamed("GetSel1");
  for (const bool instant : {true, false, true}) {
    SCOPED_TRACE(instant);
    document->InstBrushBtn->Click();
    ui.RunUntilIdle();
    ASSERT_EQ(Settings.InstBrush, instant);
    for (P_icon* tool : std::initializer_list<P_icon*>{&CutBoxTool, &CutResizeTool, &CutDrawTool, &CutPolyTool, &CutWandTool}) {
      EXPECT_EQ(tool->Has(tfHandBack), instant);
      EXPECT_EQ(tool->UndoAtFirstPoint, instant ? 0 : 1);
    }
    EXPECT_EQ(getSelection->GetEnabled(), !instant);
  }
}

TEST_F(SelectionToolTest, ARectangleBecomesTheBrushWithItsPointerOnTheHotSpot) {
  Settings.InstBrush = true;
  ApplyInstantBrushOption();
  Picture().Box(Rect(10, 20, 14, 23), 0x336699);
  *Picture().At(11, 21) = 0xFFFFFF;  // the background colour: a hole
  struct Case {
    std::uint8_t handle;
    Pair<int> pointer;
  } cases[] = {{HandleCentre, {12, 22}}, {HandleRightBottom, {14, 23}}};
  for (const Case& c : cases) {
    BrushHandleMode = c.handle;
    Choose(&CutBoxTool);
    DragUi({10, 20}, {14, 23});
    EXPECT_EQ(CurrentTool, &PenDiscTool);
    EXPECT_EQ(MousePoint, c.pointer) << int(c.handle);
    ASSERT_EQ(Brush.Width(), 5);
    ASSERT_EQ(Brush.Height(), 4);
    EXPECT_EQ(*Brush.At(1, 1), BrushOutside);
    EXPECT_EQ(*Brush.At(0, 0), 0x336699u);
    EXPECT_EQ(BrushState.PositionX, 10);
    EXPECT_EQ(BrushMode, BrushModePaint);
    EXPECT_TRUE(CustomBrush);
    PointerAway();
  }
  EXPECT_EQ(PixelAt(10, 20), 0x336699u) << "the left button copies";
  EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(SelectionToolTest, EveryToolInBrushModeMakesTheBrushAndHandsOverToTheDiscPen) {
  Settings.InstBrush = true;
  ApplyInstantBrushOption();
  Picture().Box(Rect(20, 20, 39, 39), 0x2080C0);
  const auto square = [this] {
    const POINT a = ViewPoint(22, 22), b = ViewPoint(30, 22), c = ViewPoint(30, 30), d = ViewPoint(22, 30);
    ui.MoveTo(a.x, a.y);
    ui.MouseDown(a.x, a.y);
    for (const POINT& p : {b, c, d, a}) ui.MoveTo(p.x, p.y);
    ui.Advance(400);
    ui.MouseUp(a.x, a.y);
    ui.RunUntilIdle();
  };
  struct Case {
    P_icon* tool;
    std::function<void()> gesture;
    int width;
  } cases[] = {
      {&CutBoxTool, [&] { DragUi({22, 22}, {30, 30}); }, 9},
      {&CutResizeTool, [&] {
         SetOptionValue(1, 6);
         SetOptionValue(2, 4);
         ClickAt(22, 22);
       }, 6},
      {&CutDrawTool, square, 9},
      {&CutPolyTool, [&] {
         // Corners more than ten pixels apart: only the last click closes.
         for (const Pair<int>& p : {Pair<int>{22, 22}, Pair<int>{36, 22}, Pair<int>{36, 36}, Pair<int>{22, 22}}) ClickAt(p.x, p.y);
       }, 15},
      {&CutWandTool, [&] { ClickAt(25, 25); }, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tool->Key.c_str());
    Choose(c.tool);
    c.gesture();
    EXPECT_EQ(CurrentTool, &PenDiscTool);
    EXPECT_EQ(Brush.Width(), c.width);
    EXPECT_EQ(Brush.UndoChain->Description, c.tool->Key);
    EXPECT_FALSE(Selected());
    PointerAway();
    EXPECT_EQ(UndoSteps(), 0) << "a copy leaves the picture's history alone";
    EXPECT_EQ(PixelAt(25, 25), 0x2080C0u);
  }
}

TEST_F(SelectionToolTest, TheRightButtonCutsLeavingTheBackgroundAndOneStep) {
  Settings.InstBrush = true;
  ApplyInstantBrushOption();
  Picture().Box(Rect(10, 20, 14, 23), 0x336699);
  Choose(&CutBoxTool);
  DragUi({10, 20}, {14, 23}, InputEvent::Right);
  PointerAway();
  EXPECT_EQ(PixelAt(12, 21), 0xFFFFFFu);
  EXPECT_EQ(UndoSteps(), 1);
  EXPECT_EQ(*Brush.At(0, 0), 0x336699u);
  form->Undo1Click(form);
  ui.RunUntilIdle();
  EXPECT_EQ(PixelAt(12, 21), 0x336699u);
  EXPECT_EQ(*Brush.At(0, 0), 0x336699u) << "the brush stays";
}

TEST_F(SelectionToolTest, AFreehandCopyLeavesNoTraceAndNoStep) {
  Settings.InstBrush = true;
  ApplyInstantBrushOption();
  Picture().Box(Rect(0, 0, 127, 95), 0x204060);
  Choose(&CutDrawTool);
  const POINT a = ViewPoint(10, 10), b = ViewPoint(30, 10), c = ViewPoint(30, 30), d = ViewPoint(10, 30);
  ui.MoveTo(a.x, a.y);
  ui.MouseDown(a.x, a.y);
  for (const POINT& p : {b, c, d, a}) ui.MoveTo(p.x, p.y);
  ui.Advance(400);
  ui.MouseUp(a.x, a.y);
  ui.RunUntilIdle();
  PointerAway();
  EXPECT_EQ(CurrentTool, &PenDiscTool);
  EXPECT_EQ(UndoSteps(), 0);
  for (int x = 5; x < 40; ++x) EXPECT_EQ(PixelAt(x, 10), 0x204060u) << x;
  EXPECT_EQ(Brush.Width(), 21);
  EXPECT_EQ(*Brush.At(10, 10), 0x204060u);
  // The brush's transparent colour is one the area does not use.
  EXPECT_NE(BrushTransparentColor, 0x204060u);
}

TEST_F(SelectionToolTest, MovingShiftsTheOutlineNotThePixels) {
  Picture().Box(Rect(10, 10, 19, 19), 0x000000);
  Choose(&CutBoxTool);
  DragUi({10, 10}, {19, 19});
  Choose(&MoveTool);
  DragUi({15, 15}, {25, 15});
  EXPECT_EQ(Bounds(), Rect(20, 10, 29, 19));
  EXPECT_TRUE(Picture().IsSelected(20, 10));
  EXPECT_FALSE(Picture().IsSelected(10, 10));
  EXPECT_EQ(PixelAt(10, 10), 0x000000u) << "the pixels stay";
  EXPECT_EQ(PixelAt(25, 15), 0xFFFFFFu);
  // A second drag in the same activation, then Undo: the selection before the first.
  DragUi({25, 15}, {25, 60});
  EXPECT_EQ(Bounds(), Rect(20, 55, 29, 64));
  form->Undo1Click(form);
  ui.RunUntilIdle();
  EXPECT_EQ(Bounds(), Rect(10, 10, 19, 19));
  EXPECT_TRUE(Picture().IsSelected(10, 10));
  EXPECT_FALSE(Picture().IsSelected(20, 55));
}

TEST_F(SelectionToolTest, APartMovedOffThePictureIsLost) {
  Choose(&CutBoxTool);
  DragUi({100, 10}, {119, 19});
  Choose(&MoveTool);
  DragUi({110, 15}, {127, 15});
  DragUi({127, 15}, {100, 15});
  // Eleven columns were left on the picture by the first drag; they come back 27 to the left.
  EXPECT_EQ(Bounds(), Rect(90, 10, 100, 19));
}

TEST_F(SelectionToolTest, MovingWithoutASelectionRecordsNothing) {
  Choose(&MoveTool);
  DragUi({10, 10}, {30, 30});
  Choose(&PenContTool);
  EXPECT_EQ(UndoSteps(), 0);
}

}  // namespace
