// The Undo and Redo buttons of the started program: their hints name the step they would
// take, and the arrow beside each opens the history list of the active picture, newest first,
// where a click undoes (or redoes) every step down to the one clicked. Strokes are painted
// with the mouse and compared bit for bit; the list is placed, scrolled and closed as a user
// meets it.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "../document/PenStrokeFixture.h"
#include "../document/UndoFixture.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/panels/FriendlyStatusBar.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/base/Language.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/UndoForm.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

namespace {

constexpr std::uint32_t kInk = 0x00306020;
using Points = PenStrokeTest::Points;

const Points kStrokes[] = {
    {{10, 10}, {20, 12}, {30, 20}, {40, 22}},
    {{70, 50}, {60, 40}, {50, 45}},
    {{5, 55}, {5, 30}, {25, 30}, {25, 5}},
    {{35, 30}, {45, 30}, {45, 40}},
    {{60, 5}, {75, 15}},
};

class UndoHistoryTest : public PenStrokeTest {
protected:
  UndoHistoryTest() : PenStrokeTest(kInk) {}

  // The states before the first stroke and after each.
  std::vector<PictureState> PaintAll() {
    std::vector<PictureState> states{StateOf(window->Picture)};
    for (const Points& stroke : kStrokes) {
      Paint(stroke);
      states.push_back(StateOf(window->Picture));
    }
    return states;
  }

  static POINT Centre(tbx::TToolbarButtonX* button) {
    const TPoint p = button->ClientToScreen(TPoint(6, button->GetHeight() / 2));
    return POINT{p.x, p.y};
  }
  // The drop-down arrow beside the button's face.
  static POINT Arrow(tbx::TToolbarButtonX* button) {
    const TPoint p = button->ClientToScreen(TPoint(button->GetWidth() - 4, button->GetHeight() / 2));
    return POINT{p.x, p.y};
  }
  // Clicks the button's arrow; the list that opened, or null.
  TUndoForm* OpenList(tbx::TToolbarButtonX* button) {
    ui.Advance(100);  // the activity tick enables the buttons
    const POINT at = Arrow(button);
    ui.MoveTo(at.x, at.y);
    ui.Click(at.x, at.y);
    return UndoFormShown && UndoForm != nullptr && UndoForm->GetVisible() ? UndoForm : nullptr;
  }
  static std::vector<std::string> Entries() {
    std::vector<std::string> entries;
    TStrings* items = UndoForm->UndoList->GetItems();
    for (int i = 0; i < items->Count(); ++i) entries.push_back(items->Get(i));
    return entries;
  }
  static POINT Row(int index) {
    const TRect r = UndoForm->UndoList->ItemRect(index);
    const TPoint p = UndoForm->UndoList->ClientToScreen(TPoint(r.left + 20, (r.top + r.bottom) / 2));
    return POINT{p.x, p.y};
  }
  void ClickRow(int index) {
    const POINT p = Row(index);
    ui.MoveTo(p.x, p.y);
    ui.Click(p.x, p.y);
    PointerAway();
  }
  static bool ListOpen() { return UndoFormShown && UndoForm != nullptr && UndoForm->GetVisible(); }
  static std::string StepText(const char* key) { return LangMessage(key); }

  UndoSettingsScope settings{home.Path(), 1LL << 40, 1LL << 40};
};

TEST_F(UndoHistoryTest, TheButtonsAreEnabledAndHintedByTheStepTheyWouldTake) {
  ui.Advance(100);
  const std::string pen = StepText("ContFhandIcon");
  struct Expect {
    bool undoEnabled, redoEnabled;
    std::string undoHint, redoHint;
  };
  auto check = [&](const Expect& e, const char* when) {
    ui.Advance(100);
    // The hint is brought up to date as the pointer moves over the button.
    for (tbx::TToolbarButtonX* b : {form->UndoBtn, form->RedoBtn}) {
      const POINT c = Centre(b);
      ui.MoveTo(c.x, c.y);
    }
    EXPECT_EQ(form->UndoBtn->GetEnabled(), e.undoEnabled) << when;
    EXPECT_EQ(form->RedoBtn->GetEnabled(), e.redoEnabled) << when;
    EXPECT_EQ(form->UndoBtn->GetHint(), e.undoHint) << when;
    EXPECT_EQ(form->RedoBtn->GetHint(), e.redoHint) << when;
    PointerAway();
  };
  check({false, false, "Undo", "Redo"}, "no step yet");
  Paint(kStrokes[0]);
  check({true, false, "Undo " + pen, "Redo"}, "after a stroke");
  ASSERT_TRUE(window->Picture.PushUndo("DelSel", nullptr, 0, 0, 9, 9));
  check({true, false, "Undo " + StepText("DelSel"), "Redo"}, "after a deletion");
  // The button's face undoes one step.
  const POINT face = Centre(form->UndoBtn);
  ui.Click(face.x, face.y);
  check({true, true, "Undo " + pen, "Redo " + StepText("DelSel")}, "after one undo");
  ui.Click(face.x, face.y);
  check({false, true, "Undo", "Redo " + pen}, "after two undos");
  EXPECT_FALSE(ListOpen()) << "the face opens no list";
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

TEST_F(UndoHistoryTest, TheListShowsTheStepsNewestFirstAtThePointer) {
  UDBuffer& p = window->Picture;
  for (const char* key : {"DelSel", "CutImg", "PasteImg", "InvSel"}) ASSERT_TRUE(p.PushUndo(key, nullptr, 0, 0, 9, 9));
  ASSERT_NE(OpenList(form->UndoBtn), nullptr);
  EXPECT_EQ(Entries(), (std::vector<std::string>{StepText("InvSel"), StepText("PasteImg"), StepText("CutImg"),
                                                 StepText("DelSel")}));
  EXPECT_EQ(UndoForm->UndoList->GetTag(), 0);
  EXPECT_EQ(UndoForm->Mode(), HistoryMode::Undo);
  // Four rows: 4 * 13 + 10 pixels high, 175 wide, its corner at the pointer.
  const POINT at = Arrow(form->UndoBtn);
  EXPECT_EQ(UndoForm->GetLeft(), at.x);
  EXPECT_EQ(UndoForm->GetTop(), at.y);
  EXPECT_EQ(UndoForm->GetWidth(), 175);
  EXPECT_EQ(UndoForm->GetHeight(), 4 * 13 + 10);
  EXPECT_EQ(UndoForm->UndoList->GetItemHeight(), 13);
  EXPECT_EQ(UndoForm->UndoList->GetItemIndex(), -1) << "nothing highlighted before the pointer comes";
  // The row under the pointer is highlighted.
  for (int row : {2, 0, 3}) {
    const POINT r = Row(row);
    ui.MoveTo(r.x, r.y);
    EXPECT_EQ(UndoForm->UndoList->GetItemIndex(), row);
  }
  EXPECT_EQ(Steps(p.UndoChain).size(), 4u) << "looking changes nothing";

  // Escape closes it; the history stays.
  ui.Press(VK_ESCAPE);
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(Steps(p.UndoChain).size(), 4u);
}

TEST_F(UndoHistoryTest, AnEmptyRedoChainOpensNoList) {
  ASSERT_TRUE(window->Picture.PushUndo("DelSel", nullptr, 0, 0, 9, 9));
  ui.Advance(100);
  // The disabled button takes no click; asked directly, the drop-down still shows nothing.
  EXPECT_EQ(OpenList(form->RedoBtn), nullptr);
  form->DummyPopup->SetPopupComponent(form->RedoBtn);
  form->DummyPopupPopup(form->DummyPopup);
  EXPECT_FALSE(ListOpen());
}

// The list has the keys: the arrows move the highlight without taking a step, Enter takes
// the steps down to the highlighted one.
TEST_F(UndoHistoryTest, TheArrowKeysMoveTheHighlightAndEnterTakesTheSteps) {
  UDBuffer& p = window->Picture;
  for (const char* key : {"DelSel", "CutImg", "PasteImg", "InvSel"}) ASSERT_TRUE(p.PushUndo(key, nullptr, 0, 0, 9, 9));
  ASSERT_NE(OpenList(form->UndoBtn), nullptr);
  for (int i = 0; i < 2; ++i) ui.Press(VK_DOWN);
  EXPECT_EQ(UndoForm->UndoList->GetItemIndex(), 1);
  EXPECT_EQ(Steps(p.UndoChain).size(), 4u) << "moving the highlight takes no step";
  EXPECT_TRUE(ListOpen());
  ui.Press(VK_RETURN);
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(Steps(p.UndoChain).size(), 2u);
  ASSERT_EQ(Steps(p.RedoChain).size(), 2u);
  EXPECT_EQ(p.RedoChain->Description, "PasteImg");
}

TEST_F(UndoHistoryTest, TwelveStepsShowEightRowsThatScrollToTheOldest) {
  UDBuffer& p = window->Picture;
  const char* keys[] = {"DelSel", "CutImg", "PasteImg", "InvSel"};
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(p.PushUndo(keys[i % 4], nullptr, i, 0, i + 3, 3));
  ASSERT_NE(OpenList(form->UndoBtn), nullptr);
  EXPECT_EQ(Entries().size(), 12u);
  EXPECT_EQ(UndoForm->GetHeight(), 8 * 13 + 10);
  EXPECT_EQ(UndoForm->GetWidth(), 175);
  TListBox* list = UndoForm->UndoList;
  EXPECT_EQ(list->GetClientHeight() / list->GetItemHeight(), 8) << "eight whole rows show";
  EXPECT_EQ(list->GetTopIndex(), 0);
  // The wheel brings the oldest step into view, and a click there takes back all twelve.
  const POINT r = Row(4);
  for (int i = 0; i < 4 && list->GetTopIndex() < 4; ++i) ui.Wheel(r.x, r.y, -120);
  ASSERT_EQ(list->GetTopIndex(), 4);
  EXPECT_EQ(list->ItemAtPos(list->ScreenToClient(TPoint(Row(11).x, Row(11).y)), true), 11);
  ClickRow(11);
  EXPECT_EQ(p.UndoChain, nullptr);
  EXPECT_EQ(Steps(p.RedoChain).size(), 12u);
  EXPECT_EQ(p.RedoChain->Description, "DelSel") << "the oldest step was undone last";
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

// The list opens with its corner at the pointer, unless it would pass the work area's right or
// bottom edge: then it stands against that edge, left of or above the pointer.
TEST_F(UndoHistoryTest, NearTheWorkAreasEdgesTheListStaysOnTheScreen) {
  UDBuffer& p = window->Picture;
  for (const char* key : {"DelSel", "CutImg", "PasteImg"}) ASSERT_TRUE(p.PushUndo(key, nullptr, 0, 0, 9, 9));
  const int height = 3 * 13 + 10;
  struct Case {
    const char* where;
    int fromRight, fromBottom;  // the arrow's distance from the work area's edges
    bool movedLeft, movedUp;
  } cases[] = {
      {"bottom-right corner", 10, 8, true, true},
      {"right edge", 10, 300, true, false},
      {"bottom edge", 400, 8, false, true},
      {"open space", 400, 300, false, false},
  };
  for (const Case& c : cases) {
    // The main window moves so that the Undo button's arrow stands there.
    const POINT arrow = Arrow(form->UndoBtn);
    const int dx = WorkArea.right - c.fromRight - arrow.x, dy = WorkArea.bottom - c.fromBottom - arrow.y;
    form->SetBounds(form->GetLeft() + dx, form->GetTop() + dy, form->GetWidth(), form->GetHeight());
    ui.RunUntilIdle();
    const POINT at = Arrow(form->UndoBtn);
    ASSERT_EQ(at.x, WorkArea.right - c.fromRight) << c.where;
    ASSERT_NE(OpenList(form->UndoBtn), nullptr) << c.where;
    EXPECT_EQ(Steps(p.UndoChain).size(), 3u) << c.where << ": the release of the opening click chose nothing";
    const TRect shown = UndoForm->GetBoundsRect();
    EXPECT_EQ(shown.left, c.movedLeft ? WorkArea.right - 175 : at.x) << c.where;
    EXPECT_EQ(shown.top, c.movedUp ? WorkArea.bottom - height : at.y) << c.where;
    EXPECT_LE(shown.right, WorkArea.right) << c.where;
    EXPECT_LE(shown.bottom, WorkArea.bottom) << c.where;
    if (c.movedLeft) {
      EXPECT_LT(shown.left, at.x) << c.where;
    }
    if (c.movedUp) {
      EXPECT_LT(shown.top, at.y) << c.where;
    }
    ui.Press(VK_ESCAPE);
    ASSERT_FALSE(ListOpen()) << c.where;
  }
  EXPECT_EQ(Steps(p.UndoChain).size(), 3u);
}

TEST_F(UndoHistoryTest, AClickWhileAToolOperationIsUnderWayDoesNothing) {
  UDBuffer& p = window->Picture;
  for (const char* key : {"DelSel", "CutImg", "PasteImg"}) ASSERT_TRUE(p.PushUndo(key, nullptr, 0, 0, 9, 9));
  const PictureState before = StateOf(p);
  ASSERT_NE(OpenList(form->UndoBtn), nullptr);
  ToolPhase = ToolPhaseDrag;
  const POINT r = Row(1);
  ui.MoveTo(r.x, r.y);
  ui.Click(r.x, r.y);
  EXPECT_EQ(StateOf(p), before);
  EXPECT_EQ(Steps(p.UndoChain).size(), 3u);
  EXPECT_EQ(p.RedoChain, nullptr);
  EXPECT_TRUE(ListOpen()) << "the list waits";
  // Once the operation is over the same click works.
  ToolPhase = 0;
  ui.Click(r.x, r.y);
  EXPECT_EQ(Steps(p.UndoChain).size(), 1u);
  EXPECT_EQ(Steps(p.RedoChain).size(), 2u);
  EXPECT_FALSE(ListOpen());
}

// Every way the list closes leaves the history as it was, and the next drop-down opens the
// same window again.
TEST_F(UndoHistoryTest, TheListClosesOnEscapeAClickElsewhereAToolChoiceAndTheMainWindowsCall) {
  UDBuffer& p = window->Picture;
  for (const char* key : {"DelSel", "CutImg", "PasteImg"}) ASSERT_TRUE(p.PushUndo(key, nullptr, 0, 0, 9, 9));
  const PictureState before = StateOf(p);
  struct Closer {
    const char* how;
    std::function<void()> close;
  } closers[] = {
      {"Escape", [&] { ui.Press(VK_ESCAPE); }},
      {"a click on the document's status bar",
       [&] {
         const TPoint at = window->StatusBar->ClientToScreen(TPoint(window->StatusBar->GetWidth() - 20, 5));
         ui.MoveTo(at.x, at.y);
         ui.Click(at.x, at.y);
       }},
      {"a press on the tool palette between its buttons",
       [&] {
         // Floating, the palette shows whole; its last row holds one button, the panel beside it.
         form->Toolbar->SetDockedTo(nullptr);
         form->Toolbar->SetVisible(true);
         ui.RunUntilIdle();
         TControl* last = nullptr;
         for (int i = 0; i < form->ToolPanel->ControlCount(); ++i) {
           TControl* c = form->ToolPanel->Controls(i);
           if (!dynamic_cast<tbx::TToolbarButtonX*>(c)) continue;
           if (!last || c->GetTop() > last->GetTop() || (c->GetTop() == last->GetTop() && c->GetLeft() < last->GetLeft()))
             last = c;
         }
         ASSERT_NE(last, nullptr);
         const int beside = last->GetLeft() > 0 ? last->GetLeft() / 2 : last->GetWidth() + last->GetWidth() / 2;
         const TPoint bare(beside, last->GetTop() + last->GetHeight() / 2);
         const TPoint at = form->ToolPanel->ClientToScreen(bare);
         ui.MoveTo(at.x, at.y);
         ui.Click(at.x, at.y);
       }},
      {"a tool chosen", [&] { SelectTool(&PenContTool, true, -1); }},
      {"the main window closing its popups", [&] { form->ClosePopupForms(); }},
  };
  TUndoForm* first = nullptr;
  for (const Closer& c : closers) {
    ASSERT_NE(OpenList(form->UndoBtn), nullptr) << c.how;
    if (first == nullptr) first = UndoForm;
    EXPECT_EQ(UndoForm, first) << "one window, made once";
    c.close();
    ui.RunUntilIdle();
    EXPECT_FALSE(ListOpen()) << c.how;
    EXPECT_EQ(UndoFormShown, 0) << c.how;
    EXPECT_EQ(StateOf(p), before) << c.how;
    EXPECT_EQ(Steps(p.UndoChain).size(), 3u) << c.how;
    PointerAway();
  }
}

// Both chains in memory and both in swap files.
class UndoHistoryStrokesTest : public UndoHistoryTest, public ::testing::WithParamInterface<std::int64_t> {
protected:
  UndoSettingsScope onDisk{home.Path(), GetParam(), 1LL << 40};
};

TEST_P(UndoHistoryStrokesTest, ClickingTheThirdEntryUndoesThreeStrokesAndRedoListsThemLastUndoneFirst) {
  UDBuffer& picture = window->Picture;
  const std::vector<PictureState> states = PaintAll();
  const std::size_t n = std::size(kStrokes);
  ASSERT_EQ(Steps(picture.UndoChain).size(), n);
  EXPECT_EQ(picture.UndoChain->OnDisk, GetParam() == 0);
  const std::string pen = StepText("ContFhandIcon");

  ASSERT_NE(OpenList(form->UndoBtn), nullptr);
  EXPECT_EQ(Entries(), std::vector<std::string>(n, pen));
  ClickRow(2);
  EXPECT_FALSE(ListOpen()) << "the list closes after the click";
  ASSERT_EQ(StateOf(picture), states[n - 3]) << "three strokes undone, bit for bit";
  EXPECT_EQ(Steps(picture.UndoChain).size(), n - 3);
  ASSERT_EQ(Steps(picture.RedoChain).size(), 3u);
  ExpectCountersMatch({&picture});

  // Redo's list holds them, the last one undone first: redoing one at a time with the button's
  // face gives each later image again.
  ASSERT_NE(OpenList(form->RedoBtn), nullptr);
  EXPECT_EQ(UndoForm->UndoList->GetTag(), 1);
  EXPECT_EQ(Entries().size(), 3u);
  ui.Press(VK_ESCAPE);
  const POINT redoFace = Centre(form->RedoBtn);
  for (std::size_t i = n - 2; i <= n; ++i) {
    ui.Advance(100);
    ui.Click(redoFace.x, redoFace.y);
    PointerAway();
    ASSERT_EQ(StateOf(picture), states[i]) << "after redoing to stroke " << i;
  }
  // Back down two by the list, then up to the second entry of the redo list.
  ASSERT_NE(OpenList(form->UndoBtn), nullptr);
  ClickRow(1);
  ASSERT_EQ(StateOf(picture), states[n - 2]);
  ASSERT_NE(OpenList(form->RedoBtn), nullptr);
  ASSERT_EQ(Entries().size(), 2u);
  ClickRow(1);
  EXPECT_EQ(StateOf(picture), states[n]);
  EXPECT_EQ(picture.RedoChain, nullptr);
  ExpectCountersMatch({&picture});
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(MemoryAndSwapFiles, UndoHistoryStrokesTest, ::testing::Values(1LL << 40, 0),
                         [](const auto& info) { return info.param == 0 ? "InSwapFiles" : "InMemory"; });

// A step that cannot be read back ends the walk: one message, and the older steps are not
// restored over a picture that still holds the newer change. Every step is in a swap file;
// the second of the chain walked loses its file.
class UndoHistoryFailureTest : public UndoHistoryTest, public ::testing::WithParamInterface<HistoryMode> {
protected:
  UndoSettingsScope onDisk{home.Path(), 0, 1LL << 40};
};

TEST_P(UndoHistoryFailureTest, AStepThatCannotBeRestoredStopsTheWalkWithOneMessage) {
  UDBuffer& picture = window->Picture;
  const std::vector<PictureState> states = PaintAll();
  const std::size_t n = std::size(kStrokes);
  const bool redo = GetParam() == HistoryMode::Redo;
  if (redo) {
    ASSERT_NE(OpenList(form->UndoBtn), nullptr);
    ClickRow(static_cast<int>(n) - 1);
    ASSERT_EQ(StateOf(picture), states[0]);
  }
  const std::vector<UndoEntry*> walked = Steps(redo ? picture.RedoChain : picture.UndoChain);
  ASSERT_EQ(walked.size(), n);
  ASSERT_TRUE(walked[1]->OnDisk);
  ASSERT_EQ(std::remove(walked[1]->SwapFile.c_str()), 0);

  ASSERT_NE(OpenList(redo ? form->RedoBtn : form->UndoBtn), nullptr);
  ClickRow(3);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], LangMessage("UndoFileErr"));
  EXPECT_FALSE(ListOpen());
  // Only the first step was taken; the failed one and those behind it wait where they were.
  EXPECT_EQ(StateOf(picture), redo ? states[1] : states[n - 1]);
  EXPECT_EQ(Steps(redo ? picture.RedoChain : picture.UndoChain).size(), n - 1);
  EXPECT_EQ(Steps(redo ? picture.UndoChain : picture.RedoChain).size(), 1u);
  EXPECT_EQ(redo ? picture.RedoChain : picture.UndoChain, walked[1]);
  ExpectCountersMatch({&picture});
}

INSTANTIATE_TEST_SUITE_P(BothLists, UndoHistoryFailureTest, ::testing::Values(HistoryMode::Undo, HistoryMode::Redo),
                         [](const auto& info) { return info.param == HistoryMode::Redo ? "Redo" : "Undo"; });

}  // namespace
