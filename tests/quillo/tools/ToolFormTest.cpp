// The tool options window's frame: which sheets show and when the window does, its place
// between runs, the keys a focused field keeps, help, the user level and the snapping while
// it is dragged.

#include <gtest/gtest.h>

#include <climits>

#include "ToolFixture.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Edit.h"
#include "quillo/document/Progress.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/panels/XPanel.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/StartUp.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

// ---------------------------------------------------------------------------------------
// Which keys a focused control keeps

struct KeyCase {
  int tag;
  int key;
  bool goesToImage;
};

TEST(KeyGoesToImageTest, ATagKeepsExactlyItsOwnKeys) {
  const KeyCase cases[] = {
      {0, 'A', true},
      {0, '5', true},
      {0, VK_LEFT, true},
      // Number fields keep digits, the period and the keypad's digits, plus and minus.
      {TagTakesDigits, '0', false},
      {TagTakesDigits, '9', false},
      {TagTakesDigits, 0xBE, false},
      {TagTakesDigits, VK_NUMPAD0, false},
      {TagTakesDigits, VK_NUMPAD0 + 9, false},
      {TagTakesDigits, VK_ADD, false},
      {TagTakesDigits, VK_SUBTRACT, false},
      {TagTakesDigits, VK_MULTIPLY, true},
      {TagTakesDigits, '/', true},
      {TagTakesDigits, ':', true},
      {TagTakesDigits, 'Z', true},
      {TagTakesDigits, HotKeyShift | '5', true},
      {TagTakesDigits, VK_LEFT, true},
      // The text box keeps every key but those with both Ctrl and Alt.
      {TagTakesAllKeys, 'Z', false},
      {TagTakesAllKeys, HotKeyCtrl | 'Z', false},
      {TagTakesAllKeys, HotKeyAlt | '1', false},
      {TagTakesAllKeys, HotKeyCtrl | HotKeyAlt | 'Q', true},
      // Lists and number fields keep the editing keys.
      {TagTakesEditKeys, VK_PRIOR, false},
      {TagTakesEditKeys, VK_NEXT, false},
      {TagTakesEditKeys, VK_END, false},
      {TagTakesEditKeys, VK_HOME, false},
      {TagTakesEditKeys, VK_LEFT, false},
      {TagTakesEditKeys, VK_DOWN, false},
      {TagTakesEditKeys, VK_BACK, false},
      {TagTakesEditKeys, VK_CLEAR, false},
      {TagTakesEditKeys, VK_DELETE, false},
      {TagTakesEditKeys, VK_INSERT, true},
      {TagTakesEditKeys, HotKeyShift | VK_LEFT, true},
      {TagTakesEditKeys, '5', true},
      // The numeric spin edit's tag: both sets.
      {0xA000, '7', false},
      {0xA000, VK_RIGHT, false},
      {0xA000, 'Z', true},
      {0xA000, VK_F1, true},
      {0xA005, '3', false},
  };
  for (const KeyCase& c : cases)
    EXPECT_EQ(KeyGoesToImage(c.tag, c.key), c.goesToImage) << std::hex << "tag " << c.tag << " key " << c.key;
}

// ---------------------------------------------------------------------------------------
// Snapping

struct SnapCase {
  const char* what;
  TRect proposed;
  TPoint expected;  // top left
};

TEST(SnapToolFormRectTest, EdgesCloserThanFourPixelsSnapAndLaterRulesWin) {
  const TRect work(0, 0, 1280, 760);
  const TRect main(0, 0, 700, 60);  // its last row is y 59
  const std::vector<TRect> documents = {TRect(100, 300, 400, 500)};
  const SnapCase cases[] = {
      {"free", Bounds(600, 120, 200, 150), TPoint(600, 120)},
      {"left 3 from the work area", Bounds(3, 120, 200, 150), TPoint(0, 120)},
      {"left 4 from the work area", Bounds(4, 120, 200, 150), TPoint(4, 120)},
      {"left -3 from the work area", Bounds(-3, 120, 200, 150), TPoint(0, 120)},
      {"right 3 from the work area", Bounds(1077, 120, 200, 150), TPoint(1080, 120)},
      {"bottom 2 from the work area", Bounds(600, 608, 200, 150), TPoint(600, 610)},
      {"top 3 below the main window's last row", Bounds(800, 62, 200, 150), TPoint(800, 59)},
      {"top 4 below the main window's last row", Bounds(800, 63, 200, 150), TPoint(800, 63)},
      {"top 3 above the main window's last row", Bounds(800, 56, 200, 150), TPoint(800, 59)},
      {"left onto a document's right edge", Bounds(402, 120, 200, 150), TPoint(400, 120)},
      {"right onto a document's left edge", Bounds(-99, 120, 200, 150), TPoint(-100, 120)},
      {"top onto a document's bottom edge", Bounds(600, 497, 200, 150), TPoint(600, 500)},
      {"bottom onto a document's top edge", Bounds(600, 152, 200, 150), TPoint(600, 150)},
      // The document's rule comes after the work area's: its left edge wins.
      {"work area and document both near", Bounds(2, 120, 200, 150), TPoint(0, 120)},
  };
  for (const SnapCase& c : cases) {
    const TRect r = SnapToolFormRect(c.proposed, work, &main, documents);
    EXPECT_EQ(r.left, c.expected.x) << c.what;
    EXPECT_EQ(r.top, c.expected.y) << c.what;
    EXPECT_EQ(r.Width(), c.proposed.Width()) << c.what;
    EXPECT_EQ(r.Height(), c.proposed.Height()) << c.what;
  }
}

TEST(SnapToolFormRectTest, ALaterDocumentOverridesTheWorkAreaAndAnEarlierDocument) {
  const TRect work(0, 0, 1280, 760);
  // A document whose right edge is 2 pixels right of the work area's left edge.
  const std::vector<TRect> documents = {TRect(-300, 300, 2, 500), TRect(-300, 300, 5, 500)};
  const TRect r = SnapToolFormRect(Bounds(3, 120, 200, 150), work, nullptr, documents);
  EXPECT_EQ(r.left, 5);  // work area: 0, first document: 2, second: 5
}

// ---------------------------------------------------------------------------------------
// The window in the program

class ToolFormTest : public ToolTest {
protected:
  // The frame is tested from a window with no sheet showing: the palette sheet that start-up
  // shows as the settings ask goes again.
  ToolFormTest() {
    ToolForm->ShowSheet(ToolForm->PaletteSheet, false, true);
    ui.RunUntilIdle();
  }
  bool WindowShown() const { return IsWindowVisible(ToolForm->GetHandle()) != 0; }
  int VisibleTabs() const {
    int n = 0;
    for (int i = 0; i < ToolForm->PageControl->PageCount(); ++i)
      if (ToolForm->PageControl->Pages(i)->GetTabVisible()) ++n;
    return n;
  }
  // The document moved out of the way of the tool window's edges.
  void DocumentToTheLowerLeft() {
    document->SetBounds(WorkArea.left + 10, WorkArea.bottom - 260, 300, 250);
    ui.RunUntilIdle();
  }
};

TEST_F(ToolFormTest, TheWindowIsTheToolsWindowWithSevenSheetsInOrder) {
  ASSERT_NE(ToolForm, nullptr);
  EXPECT_EQ(ToolForm->GetBorderStyle(), bsToolWindow);
  EXPECT_EQ(ToolForm->GetFormStyle(), fsStayOnTop);
  EXPECT_TRUE(ToolForm->GetKeyPreview());
  char caption[64] = {};
  GetWindowText(ToolForm->GetHandle(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Tools");
  const char* names[] = {"PaletteSheet", "HistogramSheet", "TextSheet", "GridSheet",
                         "IconSheet",    "CompSheet",      "BrushSheet"};
  ASSERT_EQ(ToolForm->PageControl->PageCount(), 7);
  for (int i = 0; i < 7; ++i) {
    TTabSheet* sheet = ToolForm->PageControl->Pages(i);
    EXPECT_EQ(sheet->GetName(), names[i]);
    EXPECT_FALSE(sheet->GetTabVisible()) << names[i];
    // The sheets filled at run time (option bar, component) are empty until then: their content
    // height is the margin.
    const bool filledLater = i == 4 || i == 5;
    EXPECT_EQ(sheet->GetTag() == 2, filledLater) << names[i] << " " << sheet->GetTag();
  }
  EXPECT_GT(ToolForm->FrameHeight, 0);
  // The pen has no option bar: with the palette sheet gone there is nothing to show.
  EXPECT_FALSE(WindowShown());
}

TEST_F(ToolFormTest, TheWindowShowsExactlyWhileASheetsTabIsVisible) {
  TMainForm* main = MainForm;
  ToolForm->IconSheet->SetTag(60);
  ToolForm->ShowSheet(ToolForm->IconSheet, true, false);
  ui.RunUntilIdle();
  EXPECT_TRUE(WindowShown());
  EXPECT_EQ(ToolForm->PageControl->GetActivePage(), ToolForm->IconSheet);
  EXPECT_EQ(ToolForm->PageControl->GetHeight(), 60 + ToolForm->FrameHeight);
  EXPECT_EQ(ToolForm->GetClientHeight(), ToolForm->PageControl->GetHeight() + 1);
  // The sheet gets exactly its content height.
  EXPECT_EQ(ToolForm->IconSheet->GetHeight(), 60);
  const int height = ToolForm->GetHeight();

  // A second sheet without force only adds its tab.
  ToolForm->ShowSheet(ToolForm->BrushSheet, true, false);
  ui.RunUntilIdle();
  EXPECT_EQ(VisibleTabs(), 2);
  EXPECT_EQ(ToolForm->PageControl->GetActivePage(), ToolForm->IconSheet);
  EXPECT_EQ(ToolForm->GetHeight(), height);
  EXPECT_TRUE(main->BrushVisib->GetChecked());
  EXPECT_FALSE(main->PaletteVisib->GetChecked());

  // With force it comes to the front and the window takes its height.
  ToolForm->ShowSheet(ToolForm->BrushSheet, true, true);
  EXPECT_EQ(ToolForm->PageControl->GetActivePage(), ToolForm->BrushSheet);
  EXPECT_EQ(ToolForm->PageControl->GetHeight(), ToolForm->BrushSheet->GetTag() + ToolForm->FrameHeight);

  ToolForm->ShowSheet(ToolForm->IconSheet, false, false);
  ui.RunUntilIdle();
  EXPECT_TRUE(WindowShown());
  ToolForm->ShowSheet(ToolForm->BrushSheet, false, false);
  ui.RunUntilIdle();
  EXPECT_FALSE(WindowShown());
  EXPECT_EQ(VisibleTabs(), 0);
  EXPECT_FALSE(main->BrushVisib->GetChecked());

  // The check marks of the View menu follow their sheets.
  ToolForm->ShowSheet(ToolForm->PaletteSheet, true, false);
  ToolForm->ShowSheet(ToolForm->HistogramSheet, true, false);
  EXPECT_TRUE(main->PaletteVisib->GetChecked());
  EXPECT_TRUE(main->HistVisib->GetChecked());
  ToolForm->ShowSheet(ToolForm->HistogramSheet, false, false);
  EXPECT_FALSE(main->HistVisib->GetChecked());
  EXPECT_TRUE(WindowShown());
}

TEST_F(ToolFormTest, AShrinkingScreenKeepsTheWindowWhollyOnIt) {
  ToolForm->ShowSheet(ToolForm->PaletteSheet, true, true);
  ui.RunUntilIdle();
  ASSERT_TRUE(WindowShown());
  const int width = ToolForm->GetWidth(), height = ToolForm->GetHeight();
  ToolForm->SetBounds(WorkArea.right - width - 20, WorkArea.bottom - height - 20, width, height);
  ui.RunUntilIdle();
  // The program's window on the user's screen made smaller: the desktop follows it.
  InputEvent e;
  e.kind = InputEvent::Kind::Resize;
  e.x = 900;
  e.y = 600;
  ui.Inject(e);
  ui.RunUntilIdle();
  RECT area{}, r{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  ASSERT_EQ(area.right, 900);
  GetWindowRect(ToolForm->GetHandle(), &r);
  EXPECT_GE(r.left, area.left);
  EXPECT_GE(r.top, area.top);
  EXPECT_LE(r.right, area.right);
  EXPECT_LE(r.bottom, area.bottom);
  EXPECT_EQ(r.right - r.left, width);
  EXPECT_EQ(r.bottom - r.top, height);
  EXPECT_TRUE(WindowShown());
}

TEST_F(ToolFormTest, ClickingATabSizesTheWindowToItsSheet) {
  ToolForm->IconSheet->SetTag(60);
  ToolForm->ShowSheet(ToolForm->IconSheet, true, false);
  ToolForm->ShowSheet(ToolForm->BrushSheet, true, false);
  ui.RunUntilIdle();
  const TRect tab = ToolForm->PageControl->TabRect(ToolForm->BrushSheet->GetTabIndex());
  const POINT at = UiDriver::At(ToolForm->PageControl->GetHandle(), (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  ui.Click(at.x, at.y);
  EXPECT_EQ(ToolForm->PageControl->GetActivePage(), ToolForm->BrushSheet);
  EXPECT_EQ(ToolForm->BrushSheet->GetHeight(), ToolForm->BrushSheet->GetTag());
  EXPECT_EQ(ToolForm->GetHelpContext(), BrushSheetHelp);
}

TEST_F(ToolFormTest, ClosingTheWindowHidesEverySheet) {
  ToolForm->ShowSheet(ToolForm->PaletteSheet, true, false);
  ToolForm->ShowSheet(ToolForm->IconSheet, true, false);
  ui.RunUntilIdle();
  ASSERT_TRUE(WindowShown());
  SendMessage(ToolForm->GetHandle(), WM_CLOSE, 0, 0);
  ui.RunUntilIdle();
  EXPECT_FALSE(WindowShown());
  EXPECT_EQ(VisibleTabs(), 0);
  EXPECT_FALSE(MainForm->PaletteVisib->GetChecked());
  // And a sheet asked for later brings it back.
  ToolForm->ShowSheet(ToolForm->IconSheet, true, false);
  ui.RunUntilIdle();
  EXPECT_TRUE(WindowShown());
}

TEST_F(ToolFormTest, ClosingTheWindowLeavesTheTextToolForTheRememberedOne) {
  SelectTool(&PenDiscTool, true, -1);
  SelectTool(&TextTool, true, -1);
  ToolForm->ShowSheet(ToolForm->TextSheet, true, false);
  ui.RunUntilIdle();
  SendMessage(ToolForm->GetHandle(), WM_CLOSE, 0, 0);
  ui.RunUntilIdle();
  EXPECT_EQ(CurrentTool, &PenDiscTool);
}

TEST_F(ToolFormTest, HidingTheCompSheetRemovesOnlyTheControlsMadeAtRunTime) {
  TTabSheet* comp = ToolForm->CompSheet;
  auto* cancel = NewComponent<TButton>(ToolForm);
  cancel->SetName("CancelBtn");
  cancel->SetParent(comp);
  for (int i = 0; i < 3; ++i) NewComponent<TButton>(ToolForm)->SetParent(comp);
  ToolForm->ShowSheet(comp, true, false);
  EXPECT_EQ(comp->ControlCount(), 4);
  ToolForm->ShowSheet(comp, false, false);
  ASSERT_EQ(comp->ControlCount(), 1);
  EXPECT_EQ(comp->Controls(0), cancel);
}

TEST_F(ToolFormTest, EscapeOnTheCompSheetCancelsAHandBackTool) {
  auto* cancel = NewComponent<TButton>(ToolForm);
  cancel->SetName("CancelBtn");
  cancel->SetParent(ToolForm->CompSheet);
  int clicks = 0;
  cancel->OnClick = [&clicks](TObject*) { ++clicks; };
  ToolForm->ShowSheet(ToolForm->CompSheet, true, false);
  ToolForm->SetFocus();
  ui.RunUntilIdle();
  ToolForm->SetActiveControl(nullptr);
  ui.RunUntilIdle();
  ASSERT_TRUE(ToolForm->Active());

  ui.Press(VK_ESCAPE);  // the pen does not hand back
  EXPECT_EQ(clicks, 0);
  SelectTool(&GetColTool, true, -1);
  ui.Press(VK_ESCAPE);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(CurrentTool, &GetColTool);
}

TEST_F(ToolFormTest, EachSheetGivesTheWindowItsHelpContext) {
  int shown = -1;
  Application()->OnHelp = [&shown](int context) {
    shown = context;
    return true;
  };
  SelectTool(&LineTool, true, -1);
  EXPECT_EQ(MainForm->GetHelpContext(), LineTool.HelpContext);
  document->SetHelpContext(4321);
  const std::pair<TTabSheet*, int> sheets[] = {
      {ToolForm->PaletteSheet, 1030}, {ToolForm->HistogramSheet, 1080}, {ToolForm->TextSheet, 3100},
      {ToolForm->BrushSheet, 2000},   {ToolForm->IconSheet, 4321},
  };
  for (const auto& [sheet, context] : sheets) {
    ToolForm->ShowSheet(sheet, true, true);
    EXPECT_EQ(ToolForm->GetHelpContext(), context) << sheet->GetName();
    // The Help buttons work on the palette and the text sheet only.
    shown = -1;
    ToolForm->HelpBtnClick(ToolForm);
    const bool helpButtonWorks = sheet == ToolForm->PaletteSheet || sheet == ToolForm->TextSheet;
    EXPECT_EQ(shown, helpButtonWorks ? context : -1) << sheet->GetName();
  }
  // F1 on the document asks for the current tool's topic.
  document->SetFocus();
  ui.RunUntilIdle();
  shown = -1;
  ui.Press(VK_F1);
  EXPECT_EQ(shown, LineTool.HelpContext);
  // F1 on the tool window asks for the window's topic wherever the focus is.
  ToolForm->ShowSheet(ToolForm->BrushSheet, true, true);
  shown = -1;
  WORD key = VK_F1;
  ToolForm->FormKeyDown(ToolForm, key, TShiftState());
  EXPECT_EQ(shown, 2000);
}

TEST_F(ToolFormTest, TheExpertLevelShowsWhatTheNoviceLevelHides) {
  TTabSheet* text = ToolForm->TextSheet;
  auto* group = NewComponent<TXPanel>(ToolForm);
  group->SetResizeParent(false);
  group->SetParent(text);
  group->SetBounds(4, 40, 200, 80);
  group->SetTag(TagExpertOnly);
  auto* expertLabel = NewComponent<TLabel>(ToolForm);
  expertLabel->SetParent(text);
  expertLabel->SetTag(TagExpertOnly | 0x5);
  auto* label = NewComponent<TLabel>(ToolForm);
  label->SetParent(text);
  ToolForm->ShowSheet(ToolForm->IconSheet, true, false);

  ToolForm->ApplyUserLevel(0);
  EXPECT_FALSE(group->GetExpanded());
  EXPECT_FALSE(expertLabel->GetVisible());
  EXPECT_TRUE(label->GetVisible());
  // The sheet the user sees stays in front.
  EXPECT_EQ(ToolForm->PageControl->GetActivePage(), ToolForm->IconSheet);

  ToolForm->ApplyUserLevel(1);
  EXPECT_TRUE(group->GetExpanded());
  EXPECT_TRUE(expertLabel->GetVisible());
  EXPECT_TRUE(label->GetVisible());
  EXPECT_EQ(ToolForm->PageControl->GetActivePage(), ToolForm->IconSheet);
}

// The Brush and Text sheets take the height of what shows on them when they come to the
// front, at either user level and after another sheet: nothing cut off, no empty band below.
TEST_F(ToolFormTest, TheBrushAndTextSheetsFitWhatShowsOnThem) {
  const auto lowestShown = [](TTabSheet* sheet) {
    int bottom = 0;
    for (int i = 0; i < sheet->ControlCount(); ++i)
      if (TControl* c = sheet->Controls(i); c->GetVisible()) bottom = std::max(bottom, c->GetTop() + c->GetHeight());
    return bottom;
  };
  for (int level : {1, 0, 1}) {
    ToolForm->ApplyUserLevel(level);
    for (TTabSheet* sheet : {ToolForm->TextSheet, ToolForm->BrushSheet, ToolForm->TextSheet}) {
      SCOPED_TRACE(std::string(sheet->GetName().c_str()) + " at level " + std::to_string(level));
      ToolForm->ShowSheet(sheet, true, true);
      ui.RunUntilIdle();
      const int bottom = lowestShown(sheet);
      EXPECT_GE(sheet->GetHeight(), bottom) << "cut off";
      EXPECT_LE(sheet->GetHeight(), bottom + 2) << "empty below";
    }
  }
}

// A number field on the Icon sheet, as the option bars make them, focused by a click.
class FocusedFieldTest : public ToolFormTest {
protected:
  FocusedFieldTest() {
    field = NewComponent<TExSpinEdit>(ToolForm);
    field->SetName("TestField");
    field->SetParent(ToolForm->IconSheet);
    field->SetBounds(8, 8, 80, 22);
    field->SetTag(0xA000);
    ToolForm->IconSheet->SetTag(ToolForm->ContentHeight(ToolForm->IconSheet));
    ToolForm->ShowSheet(ToolForm->IconSheet, true, false);
    SetZoom(16);
    ui.RunUntilIdle();
    const POINT at = UiDriver::At(field->GetHandle(), 20, 10);
    ui.Click(at.x, at.y);
  }
  TExSpinEdit* field = nullptr;
};

TEST_F(FocusedFieldTest, DigitsAndEditingKeysStayWithTheFieldAndLettersReachTheImage) {
  ASSERT_EQ(ToolForm->GetActiveControl(), field);
  struct Case {
    int key;
    bool zoomChanges;
  };
  // The keypad's plus zooms in and Z fits the image, unless the field keeps the key.
  const Case cases[] = {{VK_ADD, false}, {VK_LEFT, false}, {VK_BACK, false}, {'4', false}, {'Z', true}};
  for (const Case& c : cases) {
    const double before = GetZoomFactor();
    ui.Press(c.key);
    EXPECT_EQ(GetZoomFactor() != before, c.zoomChanges) << std::hex << c.key;
    EXPECT_EQ(ToolForm->GetActiveControl(), field) << std::hex << c.key;
  }
  EXPECT_LT(GetZoomFactor(), 16);
  // A typed digit lands in the field.
  const double zoom = GetZoomFactor();
  ui.Type("7");
  EXPECT_NE(field->GetText().find('7'), AnsiString::npos) << field->GetText();
  EXPECT_EQ(GetZoomFactor(), zoom);
}

TEST_F(FocusedFieldTest, AFieldWithoutKeyBitsLetsThePlusKeyZoom) {
  field->SetTag(0);
  const double before = GetZoomFactor();
  ui.Press(VK_ADD);
  EXPECT_GT(GetZoomFactor(), before);
}

TEST_F(FocusedFieldTest, EscapeTakesTheFocusFromTheFieldAndKeepsTheTool) {
  SelectTool(&LineTool, true, -1);
  ASSERT_EQ(ToolForm->GetActiveControl(), field);
  ui.Press(VK_ESCAPE);
  EXPECT_EQ(ToolForm->GetActiveControl(), nullptr);
  EXPECT_EQ(CurrentTool, &LineTool);
}

TEST_F(ToolFormTest, AFocusedControlOfTheMainWindowKeepsTheImagesKeyTable) {
  SetZoom(16);
  auto* field = NewComponent<TEdit>(MainForm);
  field->SetParent(MainForm);
  MainForm->SetFocus();
  ui.RunUntilIdle();
  ASSERT_TRUE(MainForm->Active());
  MainForm->SetActiveControl(field);
  ui.RunUntilIdle();
  ASSERT_EQ(MainForm->GetActiveControl(), field);
  ui.Press('Z');
  EXPECT_EQ(GetZoomFactor(), 16);
  // Without a focused control the key reaches the table: Z fits the image.
  MainForm->SetActiveControl(nullptr);
  ui.RunUntilIdle();
  ui.Press('Z');
  EXPECT_LT(GetZoomFactor(), 16);
}

TEST_F(FocusedFieldTest, EscapeOnTheDocumentFirstTakesTheFocusFromTheFieldThenLeavesTheTool) {
  SelectTool(&GetColTool, true, -1);
  document->SetFocus();
  ui.RunUntilIdle();
  ASSERT_TRUE(document->Active());
  ToolForm->SetActiveControl(field);
  ui.Press(VK_ESCAPE);
  EXPECT_EQ(ToolForm->GetActiveControl(), nullptr);
  EXPECT_EQ(CurrentTool, &GetColTool);
  ui.Press(VK_ESCAPE);
  EXPECT_EQ(CurrentTool, &PenContTool);
}

TEST_F(FocusedFieldTest, EscapeWhileTheMainWindowCannotTakeTheFocusOnlyLeavesTheField) {
  MainForm->SetEnabled(false);
  ui.Press(VK_ESCAPE);
  EXPECT_EQ(ToolForm->GetActiveControl(), nullptr);
  MainForm->SetEnabled(true);
}

// A hot key typed in an option bar's field chooses a tool with another bar: the field goes
// with the old bar while its key is still being handled.
TEST_F(ToolFormTest, AHotKeyThatRebuildsTheBarUnderItsFocusedFieldIsSafe) {
  // The pen lends itself a bar for the test.
  struct BarLent {
    AnsiString kept = PenContTool.BarKey;
    ~BarLent() { PenContTool.BarKey = kept; }
  } lent;
  PenContTool.BarKey = "CIRCLEBAR";
  SelectTool(&LineTool, true, -1);
  ui.RunUntilIdle();
  TControl* field = nullptr;
  for (int i = 0; i < ToolForm->IconSheet->ControlCount(); ++i)
    if (dynamic_cast<TExSpinEdit*>(ToolForm->IconSheet->Controls(i))) field = ToolForm->IconSheet->Controls(i);
  ASSERT_NE(field, nullptr);
  const POINT at = UiDriver::At(static_cast<TWinControl*>(field)->GetHandle(), 10, 8);
  ui.Click(at.x, at.y);
  ASSERT_EQ(ToolForm->GetActiveControl(), field);
  ui.Press('P');
  EXPECT_EQ(CurrentTool, &PenContTool);
  EXPECT_TRUE(ToolForm->IconSheet->GetTabVisible());
}

// ---------------------------------------------------------------------------------------
// Dragging

class ToolFormDragTest : public ToolFormTest {
protected:
  ToolFormDragTest() {
    DocumentToTheLowerLeft();
    ToolForm->ShowSheet(ToolForm->IconSheet, true, false);
    ToolForm->SetBounds(700, 300, ToolForm->GetWidth(), ToolForm->GetHeight());
    ui.RunUntilIdle();
  }
  // Drags the window by its caption so that its top would land at top; answers where it is.
  int DragTopTo(int top) {
    RECT r{};
    GetWindowRect(ToolForm->GetHandle(), &r);
    const POINT grip{r.left + 40, r.top + 6};
    EXPECT_EQ(SendMessage(ToolForm->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCAPTION);
    ui.Drag(grip, POINT{grip.x, grip.y + top - r.top});
    GetWindowRect(ToolForm->GetHandle(), &r);
    return r.top;
  }
};

TEST_F(ToolFormDragTest, TheTopSnapsOntoTheMainWindowsLastRowAtThreePixelsNotAtFour) {
  const int lastRow = MainForm->GetTop() + MainForm->GetHeight() - 1;
  EXPECT_EQ(DragTopTo(lastRow + 3), lastRow);
  EXPECT_EQ(DragTopTo(lastRow + 200), lastRow + 200);
  EXPECT_EQ(DragTopTo(lastRow + 4), lastRow + 4);
  EXPECT_EQ(DragTopTo(lastRow - 3), lastRow);
}

// ---------------------------------------------------------------------------------------
// The place between runs

int RegistryInteger(const char* name) {
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
  if (!registry->OpenKeyReadOnly(ToolFormRegistryKey) || !registry->ValueExists(name)) return -1;
  const int value = registry->ReadInteger(name);
  registry->CloseKey();
  return value;
}

class ToolFormPlaceTest : public ProgramTest {};

TEST_F(ToolFormPlaceTest, ThePlaceAndTheChannelAreKeptBetweenRuns) {
  Start();
  const TPoint firstRun(ToolForm->GetLeft(), ToolForm->GetTop());
  EXPECT_EQ(RegistryInteger("Left"), -1);
  ToolForm->SetBounds(333, 222, ToolForm->GetWidth(), ToolForm->GetHeight());
  ToolForm->Channel = 1;
  ResetApplication();
  EXPECT_EQ(ToolForm, nullptr);
  EXPECT_EQ(RegistryInteger("Left"), 333);
  EXPECT_EQ(RegistryInteger("Top"), 222);
  EXPECT_EQ(RegistryInteger("Channel"), 1);
  // The place goes into the registry and nowhere else.
  for (const std::string& f : home.Files()) EXPECT_EQ(f.rfind("registry.txt", 0), 0u) << f;

  Start();
  EXPECT_EQ(ToolForm->GetLeft(), 333);
  EXPECT_EQ(ToolForm->GetTop(), 222);
  EXPECT_EQ(ToolForm->Channel, 1);
  EXPECT_NE(firstRun, TPoint(333, 222));
}

// A place from a larger screen: wholly off this one, the window comes just inside the work
// area; partly on it, it stays where it was left.
TEST_F(ToolFormPlaceTest, APlaceOffTheScreenComesBackInsideTheWorkArea) {
  RECT work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  const struct {
    int left, top;
    bool kept;
  } cases[] = {
      {5000, 4000, false}, {-3000, 100, false}, {INT_MAX, INT_MIN, false}, {work.right - 20, 100, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.left << ", " << c.top);
    {
      TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
      ASSERT_TRUE(registry->OpenKey(ToolFormRegistryKey, true));
      registry->WriteInteger("Left", c.left);
      registry->WriteInteger("Top", c.top);
      registry->CloseKey();
    }
    Start();
    RECT r{};
    GetWindowRect(ToolForm->GetHandle(), &r);
    if (c.kept) {
      EXPECT_EQ(r.left, c.left);
      EXPECT_EQ(r.top, c.top);
    } else {
      EXPECT_GE(r.left, work.left);
      EXPECT_GE(r.top, work.top);
      EXPECT_LE(r.right, work.right);
      EXPECT_LE(r.bottom, work.bottom);
    }
    ResetApplication();
  }
}

TEST_F(ToolFormPlaceTest, AValueThatCannotBeReadKeepsItsDefaultAndTheOthersAreRead) {
  {
    TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
    ASSERT_TRUE(registry->OpenKey(ToolFormRegistryKey, true));
    registry->WriteString("Left", "far away");
    registry->WriteInteger("Top", 210);
    registry->CloseKey();
  }
  Start();
  const int defaultLeft = ToolForm->GetLeft();
  EXPECT_EQ(ToolForm->GetTop(), 210);
  ResetApplication();
  // The next run writes the place it had.
  EXPECT_EQ(RegistryInteger("Left"), defaultLeft);
}

}  // namespace

namespace {

// What the Text sheet holds before the text tool fills it, and help going back to the
// program's own file when the window loses the activation.
TEST_F(ToolFormTest, TheTextSheetsFontPictureAndFontListAreReady) {
  ASSERT_NE(ToolForm->TextFont, nullptr);
  ASSERT_NE(ToolForm->HandleImg, nullptr);
  EXPECT_EQ(ToolForm->HandleImg->GetWidth(), 48);
  EXPECT_EQ(ToolForm->HandleImg->GetHeight(), 48);
  TCanvas* canvas = ToolForm->HandleImg->GetCanvas();
  EXPECT_EQ(ColorToRGB(canvas->GetPixel(8, 8)), ColorToRGB(clBtnFace)) << "inside a cell";
  EXPECT_EQ(ColorToRGB(canvas->GetPixel(16, 20)), ColorToRGB(clBtnShadow)) << "the middle cell's left edge";
  EXPECT_EQ(ColorToRGB(canvas->GetPixel(31, 20)), ColorToRGB(clBtnHighlight)) << "its right edge";
  EXPECT_GT(ToolForm->FontType->GetItems()->Count(), 0);
  EXPECT_EQ(ToolForm->FontType->GetTag(), TagTakesEditKeys);
}

TEST_F(ToolFormTest, LosingTheActivationRestoresTheProgramsHelpFile) {
  ResetHelpFile();
  const AnsiString own = ApplicationHelpFile;
  ApplicationHelpFile = "/elsewhere/component.hlp";
  ToolForm->ShowSheet(ToolForm->PaletteSheet, true, true);
  ui.RunUntilIdle();
  SetForegroundWindow(ToolForm->GetHandle());
  ui.RunUntilIdle();
  SetForegroundWindow(document->GetHandle());
  ui.RunUntilIdle();
  EXPECT_EQ(ApplicationHelpFile, own);
}

}  // namespace
