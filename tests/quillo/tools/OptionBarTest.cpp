// Option bars: the layout grammar and its placement on the Icon sheet, the value controls read
// and written by index, the bar kept or rebuilt as tools change, groups that open and close,
// every bar of the English file as its tool reads it, and layouts a translator got wrong.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "ToolFixture.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/user/Resources.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/base/Language.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class OptionBarTest : public ToolTest {
protected:
  // Builds a layout as a tool's bar. A key the language lacks is its own layout, so a tool
  // whose bar key is the layout text gets exactly that bar.
  void Build(const std::string& layout) {
    ToolForm->ShowSheet(ToolForm->IconSheet, false, true);
    P_icon tool(ToolTraits{.BarKey = layout.c_str()});
    RebuildOptionBar(&tool);
    ui.RunUntilIdle();
  }

  template <class T>
  T* Option(int n) const {
    return n < static_cast<int>(OptionControls.size()) ? dynamic_cast<T*>(OptionControls[static_cast<std::size_t>(n)])
                                                       : nullptr;
  }

  // The sheet's labels, in the order they were made.
  std::vector<TLabel*> Labels(TWinControl* parent = nullptr) const {
    if (!parent) parent = ToolForm->IconSheet;
    std::vector<TLabel*> labels;
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* label = dynamic_cast<TLabel*>(parent->Controls(i))) labels.push_back(label);
    return labels;
  }

  std::vector<std::string> Classes() const {
    std::vector<std::string> names;
    for (TControl* c : OptionControls) names.push_back(c ? c->ClassName() : "null");
    return names;
  }
};

TEST_F(OptionBarTest, AnIntegerOnTheFirstRowAndACheckBoxOnTheSecond) {
  Build("Sizes,I,Size,1,99,3,How big,N,C,Smooth,0,Smooth edges");
  EXPECT_EQ(ToolForm->IconSheet->GetCaption(), "Sizes");
  ASSERT_EQ(Classes(), (std::vector<std::string>{"TExSpinEdit", "TCheckBox"}));

  auto* spin = Option<TExSpinEdit>(0);
  EXPECT_EQ(spin->GetMinValue(), 1);
  EXPECT_EQ(spin->GetMaxValue(), 99);
  EXPECT_EQ(GetOptionValue(0), 3);
  EXPECT_EQ(spin->GetValueType(), vtInt);
  EXPECT_EQ(spin->GetAlignment(), taRightJustify);
  EXPECT_NE(spin->StandardButton(), nullptr);
  EXPECT_EQ(spin->GetTag(), 0xA000);
  EXPECT_EQ(spin->GetHint(), "How big");
  EXPECT_EQ(spin->GetWidth(), std::max(OptionTextWidth("1"), OptionTextWidth("99")) + 28);

  const std::vector<TLabel*> labels = Labels();
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0]->GetCaption(), "Size");
  EXPECT_EQ(labels[0]->GetFocusControl(), spin);
  EXPECT_EQ(labels[0]->GetHint(), "How big");

  // The row: the label 4 below the row top at x 4, the spin edit after it.
  EXPECT_EQ(labels[0]->GetLeft(), 4);
  EXPECT_EQ(labels[0]->GetTop(), 8);
  EXPECT_EQ(spin->GetLeft(), 4 + labels[0]->GetWidth() + 4);
  EXPECT_EQ(spin->GetTop(), 4);
  const int firstRowHeight = std::max(labels[0]->GetHeight() + 4, spin->GetHeight());

  auto* box = Option<TCheckBox>(1);
  EXPECT_FALSE(box->GetChecked());
  EXPECT_EQ(GetOptionValue(1), 0);
  EXPECT_EQ(box->GetCaption(), "Smooth");
  EXPECT_EQ(box->GetWidth(), OptionTextWidth("Smooth") + 20);
  EXPECT_EQ(box->GetLeft(), 4);
  const int secondRowTop = 4 + firstRowHeight + 4;
  EXPECT_EQ(box->GetTop(), secondRowTop + 1);
  EXPECT_EQ(ToolForm->IconSheet->GetTag(), secondRowTop + box->GetHeight() + 1 + 2);
  EXPECT_TRUE(ToolForm->IconSheet->GetTabVisible());
}

TEST_F(OptionBarTest, AFieldWithoutACodeIsSkippedAndAnyFieldOpeningWithTIsText) {
  Build("Words,Xylophone,,Tomorrow,Hello,A greeting");
  EXPECT_TRUE(OptionControls.empty());
  const std::vector<TLabel*> labels = Labels();
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0]->GetCaption(), "Hello");
  EXPECT_EQ(labels[0]->GetHint(), "A greeting");
  EXPECT_EQ(ToolForm->IconSheet->ControlCount(), 1);
}

TEST_F(OptionBarTest, AColourSwatchShowsItsColourAndReadsAsRrggbb) {
  Build("Colours,O,Red,FF0000,The red,O,Odd,zz12,Not hexadecimal");
  ASSERT_EQ(Classes(), (std::vector<std::string>{"TShape", "TShape"}));
  EXPECT_EQ(Option<TShape>(0)->GetBrush()->GetColor(), clRed);
  EXPECT_EQ(GetOptionValue(0), 16711680);
  EXPECT_EQ(Option<TShape>(0)->GetWidth(), 28);
  EXPECT_EQ(Option<TShape>(0)->GetHeight(), 20);
  // A colour that is no hexadecimal number is black.
  EXPECT_EQ(Option<TShape>(1)->GetBrush()->GetColor(), 0);
  EXPECT_EQ(GetOptionValue(1), 0);
}

TEST_F(OptionBarTest, EveryKindOfControlGivesBackTheValueItWasGiven) {
  Build("All,L,List,3,one,two,three,h,I,Whole,-50,50,5,h,F,Part,2,0,10,1.5,h,C,Check,1,h,O,Colour,000000,h,"
        "P,NOBITMAP,h,B,Push,h,T,Text,h");
  ASSERT_EQ(Classes(), (std::vector<std::string>{"TComboBox", "TExSpinEdit", "TExSpinEdit", "TCheckBox", "TShape",
                                                 "TSpeedButton", "TSpeedButton"}));
  EXPECT_EQ(GetOptionValue(0), 0) << "the list starts at its first item";
  EXPECT_EQ(GetOptionValue(2), 1.5);
  EXPECT_EQ(GetOptionValue(3), 1);
  struct Case {
    int n;
    double set, expected;
  };
  for (const Case& c : {Case{0, 2, 2}, Case{0, 1.9, 1}, Case{1, -42, -42}, Case{1, 80, 50}, Case{2, 2.25, 2.25},
                        Case{3, 0, 0}, Case{3, 7, 1}, Case{4, 0x123456, 0x123456}, Case{4, 0xFFFFFF, 0xFFFFFF},
                        Case{5, 1, 1}, Case{5, 0, 0}}) {
    SetOptionValue(c.n, c.set);
    EXPECT_EQ(GetOptionValue(c.n), c.expected) << "control " << c.n << " set to " << c.set;
  }
  EXPECT_EQ(Option<TShape>(4)->GetBrush()->GetColor(), static_cast<TColor>(0xFFFFFF));
  SetOptionValue(4, 0x0000FF);
  EXPECT_EQ(Option<TShape>(4)->GetBrush()->GetColor(), static_cast<TColor>(0xFF0000)) << "0x00BBGGRR";

  // A control of another kind, and an index past the bar, read as 0 and take nothing.
  OptionControls.push_back(Labels().back());
  SetOptionValue(7, 5);
  EXPECT_EQ(GetOptionValue(7), 0);
  SetOptionValue(99, 5);
  EXPECT_EQ(GetOptionValue(99), 0);
  EXPECT_EQ(GetOptionValue(-1), 0);
}

TEST_F(OptionBarTest, AllControlsTakeTheirPlacesAndTags) {
  Build("All,L,List,2,short,a longer item,h,B,Push,h,P,NOBITMAP,h");
  auto* combo = Option<TComboBox>(0);
  EXPECT_EQ(combo->GetStyle(), csDropDownList);
  EXPECT_EQ(combo->GetItems()->Count(), 2);
  EXPECT_EQ(combo->GetWidth(), OptionTextWidth("a longer item") + 30);
  EXPECT_EQ(combo->GetTag(), 0x8000);
  EXPECT_EQ(Labels()[0]->GetFocusControl(), combo);
  auto* push = Option<TSpeedButton>(1);
  EXPECT_EQ(push->GetCaption(), "Push");
  EXPECT_EQ(push->GetWidth(), OptionTextWidth("Push") + 32);
  EXPECT_EQ(push->GetHeight(), 22);
  EXPECT_EQ(push->GetLeft(), combo->GetLeft() + combo->GetWidth() + 4);
  auto* picture = Option<TSpeedButton>(2);
  EXPECT_EQ(picture->GetWidth(), 21);
  EXPECT_EQ(picture->GetHeight(), 21);
  EXPECT_EQ(picture->GetGroupIndex(), 3);
  EXPECT_TRUE(picture->GetAllowAllUp());
}

TEST_F(OptionBarTest, APictureButtonTogglesByItselfUnderTheMouseAndTellsItsHandler) {
  Build("Pictures,P,NOBITMAP,First,P,NOBITMAP,Second");
  int clicks = 0;
  SetOptionEvent(0, [&](TObject*) { ++clicks; });
  auto* first = Option<TSpeedButton>(0);
  const TPoint at = first->GetParent()->ClientToScreen(TPoint(first->GetLeft() + 10, first->GetTop() + 10));
  ui.Click(at.x, at.y);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetOptionValue(0), 1);
  SetOptionValue(1, 1);
  EXPECT_EQ(GetOptionValue(0), 1) << "each picture button is a group of its own";
  ui.Click(at.x, at.y);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(GetOptionValue(0), 0);
}

TEST_F(OptionBarTest, HandlersReachEachKindOfControl) {
  Build("All,I,Whole,0,9,1,h,C,Check,0,h,L,List,2,a,b,h,B,Push,h,O,Colour,FF,h");
  std::vector<int> calls(5, 0);
  for (int n = 0; n < 5; ++n) SetOptionEvent(n, [&calls, n](TObject*) { ++calls[static_cast<std::size_t>(n)]; });
  Option<TExSpinEdit>(0)->SetValue(4);
  Option<TExSpinEdit>(0)->OnExit(nullptr);
  Option<TCheckBox>(1)->Click();
  Option<TCheckBox>(1)->OnExit(nullptr);
  Option<TComboBox>(2)->OnChange(nullptr);
  Option<TSpeedButton>(3)->Click();
  EXPECT_EQ(calls, (std::vector<int>{2, 2, 1, 1, 0})) << "a swatch takes no handler";
}

// Groups: a header that opens and closes the group, the controls below following its edge.
TEST_F(OptionBarTest, ClosingAndOpeningAGroupPutsEverythingBack) {
  Build("Groups,G,First,I,a,0,9,1,h,N,C,c,0,h,N,G,Second,C,d,0,h");
  TWinControl* sheet = ToolForm->IconSheet;
  std::vector<TPanel*> groups;
  for (int i = 0; i < sheet->ControlCount(); ++i)
    if (auto* panel = dynamic_cast<TPanel*>(sheet->Controls(i))) groups.push_back(panel);
  ASSERT_EQ(groups.size(), 2u);
  TPanel* first = groups[0];
  TPanel* second = groups[1];
  auto* header = dynamic_cast<TPanel*>(first->Controls(0));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->GetCaption(), "First");
  EXPECT_EQ(header->GetAlign(), alTop);
  EXPECT_EQ(header->GetHeight(), std::abs(header->GetFont()->GetHeight()) + 6);
  EXPECT_EQ(first->GetTag(), 0x10000);
  EXPECT_EQ(first->GetTop(), 4);
  EXPECT_EQ(first->GetWidth(), sheet->GetClientWidth());
  // The spin edit sits in the group below its header; the second group below the first.
  EXPECT_EQ(Option<TControl>(0)->GetParent(), first);
  EXPECT_EQ(Option<TControl>(0)->GetTop(), header->GetHeight() + 5);
  EXPECT_EQ(second->GetTop(), first->GetTop() + first->GetHeight() + 6);
  EXPECT_EQ(Option<TControl>(2)->GetParent(), second);
  EXPECT_EQ(sheet->GetTag(), second->GetTop() + second->GetHeight());

  const int fullHeight = first->GetHeight();
  const int secondTop = second->GetTop();
  const std::intptr_t tagBefore = sheet->GetTag();
  ToolForm->OptionGroupMouseDown(header, mbRight, TShiftState(), 1, 1);
  EXPECT_EQ(first->GetHeight(), fullHeight) << "the right button does nothing";

  ToolForm->OptionGroupMouseDown(header, mbLeft, TShiftState(), 1, 1);
  EXPECT_EQ(first->GetTag(), fullHeight);
  EXPECT_EQ(first->GetHeight(), header->GetHeight() + 4);
  EXPECT_EQ(header->GetBevelOuter(), bvRaised);
  EXPECT_EQ(header->GetColor(), clBtnFace);
  EXPECT_EQ(second->GetTop(), secondTop - (fullHeight - first->GetHeight()));
  EXPECT_EQ(sheet->GetTag(), second->GetTop() + second->GetHeight() + 2) << "the second group stays on the sheet";
  EXPECT_EQ(ToolForm->PageControl->GetHeight(), sheet->GetTag() + ToolForm->FrameHeight) << "the window follows";

  ToolForm->OptionGroupMouseDown(header, mbLeft, TShiftState(), 1, 1);
  EXPECT_EQ(first->GetHeight(), fullHeight);
  EXPECT_TRUE(first->GetTag() & 0x10000);
  EXPECT_EQ(header->GetBevelOuter(), bvLowered);
  EXPECT_EQ(header->GetColor(), cl3DLight);
  EXPECT_EQ(second->GetTop(), secondTop);
  EXPECT_EQ(sheet->GetTag(), tagBefore + 2);
}

TEST_F(OptionBarTest, APressOnAGroupHeaderClosesTheGroup) {
  Build("Group,G,Settings,I,a,0,9,1,h,N,I,b,0,9,1,h");
  auto* group = dynamic_cast<TPanel*>(ToolForm->IconSheet->Controls(0));
  ASSERT_NE(group, nullptr);
  auto* header = dynamic_cast<TPanel*>(group->Controls(0));
  const TPoint at = header->ClientToScreen(TPoint(20, header->GetHeight() / 2));
  ui.Click(at.x, at.y);
  EXPECT_EQ(group->GetHeight(), header->GetHeight() + 4);
  EXPECT_FALSE(group->GetTag() & 0x10000);
}

// --- Tools and their bars ---

TEST_F(OptionBarTest, ReselectingAToolKeepsItsBarAndValuesAndAnotherToolWithTheSameKeyRebuildsIt) {
  SelectTool(&LineTool, true, -1);
  ASSERT_EQ(OptionControls.size(), 3u);
  EXPECT_TRUE(ToolForm->GetVisible());
  EXPECT_TRUE(ToolForm->IconSheet->GetTabVisible());
  EXPECT_EQ(ToolForm->PageControl->GetActivePage(), ToolForm->IconSheet);
  const std::vector<TControl*> built = OptionControls;
  SetOptionValue(0, 2);
  SetOptionValue(1, 7);
  SetOptionValue(2, 4);

  SelectTool(&LineTool, true, -1);
  EXPECT_EQ(OptionControls, built);
  EXPECT_EQ(GetOptionValue(0), 2);
  EXPECT_EQ(GetOptionValue(1), 7);
  EXPECT_EQ(GetOptionValue(2), 4);

  SelectTool(&LineContTool, true, -1);
  ASSERT_EQ(OptionControls.size(), 3u);
  EXPECT_EQ(GetOptionValue(0), 0);
  EXPECT_EQ(GetOptionValue(1), 2);
  EXPECT_EQ(GetOptionValue(2), 0);
  EXPECT_TRUE(ToolForm->IconSheet->GetTabVisible());

  // A tool without a bar takes the Icon sheet away, and with it the window.
  SelectTool(&PenContTool, true, -1);
  EXPECT_FALSE(ToolForm->IconSheet->GetTabVisible());
  EXPECT_FALSE(ToolForm->GetVisible());
}

// A hot key typed while a field of the bar has the focus changes the tool: the bar that held
// the field is freed while its key is still being handled.
TEST_F(OptionBarTest, AHotKeyTypedInAFieldOfTheBarChangesTheToolAndItsBar) {
  SelectTool(&LineTool, true, -1);
  ui.RunUntilIdle();
  auto* field = Option<TExSpinEdit>(1);
  ASSERT_NE(field, nullptr);
  const POINT at = UiDriver::At(field->GetHandle(), 8, field->GetHeight() / 2);
  ui.Click(at.x, at.y);
  ASSERT_EQ(ToolForm->GetActiveControl(), field);
  ui.Type("5");
  EXPECT_NE(field->GetText().find('5'), AnsiString::npos) << "a digit stays in the field";
  EXPECT_EQ(CurrentTool, &LineTool);

  // The pen's hot key: a tool without a bar takes the sheet and the window away.
  ui.Press('P');
  ui.RunUntilIdle();
  EXPECT_EQ(CurrentTool, &PenContTool);
  EXPECT_FALSE(ToolForm->GetVisible());
  SelectTool(&CircleTool, true, -1);
  EXPECT_EQ(ToolForm->IconSheet->GetCaption(), "Circle");
  ASSERT_EQ(Classes(), (std::vector<std::string>{"TComboBox", "TExSpinEdit"}));
  EXPECT_EQ(GetOptionValue(1), CircleTool.DotValue) << "the circle puts its own dot value on the bar";
}

// A change handler that chooses another tool with a bar frees the control it was called
// for, while that control is still handling the key.
TEST_F(OptionBarTest, AHandlerThatChangesTheToolFromInsideAFieldIsSafe) {
  SelectTool(&LineTool, true, -1);
  ui.RunUntilIdle();
  auto* field = Option<TExSpinEdit>(1);
  ASSERT_NE(field, nullptr);
  SetOptionEvent(1, [](TObject*) { SelectTool(&CircleTool, true, -1); });
  const POINT at = UiDriver::At(field->GetHandle(), 8, field->GetHeight() / 2);
  ui.Click(at.x, at.y);
  ui.Type("5");
  ui.RunUntilIdle();
  EXPECT_EQ(CurrentTool, &CircleTool);
  EXPECT_EQ(ToolForm->IconSheet->GetCaption(), "Circle");
}

TEST_F(OptionBarTest, AToolWithoutABarLeavesTheWindowAlone) {
  SelectTool(&PenDiscTool, true, -1);
  EXPECT_FALSE(ToolForm->IconSheet->GetTabVisible());
  EXPECT_FALSE(ToolForm->GetVisible());
  EXPECT_TRUE(OptionControls.empty());
}

TEST_F(OptionBarTest, AKeyTheLanguageLacksIsItsOwnLayout) {
  Build("NOSUCHBAR");
  EXPECT_EQ(ToolForm->IconSheet->GetCaption(), "NOSUCHBAR");
  EXPECT_TRUE(OptionControls.empty());
  EXPECT_EQ(ToolForm->IconSheet->ControlCount(), 0);
}

// Every bar of the English file, built for its tool: the value controls in the order the tool
// reads them, and the ranges its options need.
TEST_F(OptionBarTest, EveryBarOfTheEnglishFileHoldsTheControlsItsToolReads) {
  const std::string spin = "TExSpinEdit", list = "TComboBox", check = "TCheckBox", button = "TSpeedButton";
  struct Bar {
    P_icon* tool;
    const char* key;
    std::vector<std::string> controls;
    std::vector<std::pair<int, int>> listSizes;  // index, least number of items
  };
  const std::vector<Bar> bars = {
      {&LineTool, "LINEBAR", {list, spin, list}, {{0, 3}, {2, 5}}},
      {&SplineTool, "CURVEBAR", {list, spin, list}, {{0, 3}, {2, 5}}},
      {&CircleTool, "CIRCLEBAR", {list, spin}, {{0, 3}}},
      {&EllipseTool, "ELLIPSEBAR", {list, spin}, {{0, 3}}},
      {&CloneTool, "CLONEBAR", {list}, {{0, 2}}},
      {&FillSolidTool, "SFILLBAR", {spin, spin, check, check}, {}},
      {&FillPatternTool, "PFILLBAR", {spin, spin, check, check, button, list}, {{5, 3}}},
      {&SprayTool, "SPRAYBAR", {button, spin, spin}, {}},
      {&AirbrushTool, "AIRBRUSHBAR", {button, spin, spin}, {}},
      {&CutResizeTool, "CUTBAR", {button, spin, spin, button, button}, {}},
      {&CutWandTool, "WANDBAR", {spin, check}, {}},
      {&ChColTool, "CHBAR", {spin}, {}},
  };
  for (const Bar& bar : bars) {
    SCOPED_TRACE(bar.key);
    EXPECT_EQ(bar.tool->BarKey, bar.key);
    SelectTool(bar.tool, true, -1);
    EXPECT_EQ(ToolForm->IconSheet->GetCaption(), LangMessage(bar.key).substr(0, LangMessage(bar.key).find(',')));
    EXPECT_EQ(Classes(), bar.controls);
    for (const auto& [index, least] : bar.listSizes)
      if (auto* combo = Option<TComboBox>(index)) {
        EXPECT_GE(combo->GetItems()->Count(), least) << index;
      }
    for (std::size_t i = 0; i < OptionControls.size(); ++i)
      if (auto* s = dynamic_cast<TExSpinEdit*>(OptionControls[i])) {
        EXPECT_LE(s->GetMinValue(), s->GetMaxValue()) << i;
      }
  }

  auto spinRange = [this](P_icon* tool, int n) {
    SelectTool(tool, true, -1);
    auto* s = Option<TExSpinEdit>(n);
    return s ? std::pair<double, double>(s->GetMinValue(), s->GetMaxValue()) : std::pair<double, double>(0, -1);
  };
  // The spray needs a radius of at least 1, the airbrush a strength of at most 254.
  EXPECT_GE(spinRange(&SprayTool, 1).first, 1);
  EXPECT_GE(spinRange(&AirbrushTool, 1).first, 1);
  EXPECT_LE(spinRange(&AirbrushTool, 2).second, 254);
  // The fills' transparency is the alpha byte.
  EXPECT_LE(spinRange(&FillSolidTool, 1).second, 255);
  EXPECT_LE(spinRange(&FillPatternTool, 1).second, 255);
  // The preset selection starts at 384 x 288 and doubles while below 8192.
  SelectTool(&CutResizeTool, true, -1);
  EXPECT_EQ(GetOptionValue(1), 384);
  EXPECT_EQ(GetOptionValue(2), 288);
  EXPECT_GE(spinRange(&CutResizeTool, 1).second, 16382);
  EXPECT_GE(spinRange(&CutResizeTool, 2).second, 16382);
}

// --- Layouts a translator got wrong ---

TEST_F(OptionBarTest, AnItemWhoseNumberDoesNotReadIsLeftOutAndTheRestIsBuilt) {
  struct Case {
    const char* layout;
    std::vector<std::string> controls;
  };
  const std::string spin = "TExSpinEdit", check = "TCheckBox", list = "TComboBox";
  const std::vector<Case> cases = {
      {"Bad,I,n,1,x9,2,hint,C,Ok,1,hint", {check}},
      {"Bad,I,n,1,9,,hint,C,Ok,1,hint", {check}},
      {"Bad,I,n,1,99999999999,2,hint,C,Ok,1,hint", {check}},
      {"Bad,F,n,two,0,1,0.5,hint,C,Ok,1,hint", {check}},
      {"Bad,F,n,1,0,1,0;5,hint,C,Ok,1,hint", {check}},
      {"Bad,F,n,1,0,1,1e999,hint,C,Ok,1,hint", {check}},
      {"Bad,C,Box,yes,hint,I,n,0,9,2,hint", {spin}},
      {"Bad,I,n,0,9,2,hint,C,Box,", {spin}},
      {"Bad,I,n,0,9,2,hint,I,m,0,9", {spin}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    DecimalSeparator = ',';
    LoggingTool tool("t", ToolTraits{.BarKey = c.layout}, log);
    log.clear();
    SelectTool(&tool, true, -1);
    EXPECT_EQ(DecimalSeparator, ',') << "the program's separator is back";
    EXPECT_EQ(CurrentTool, &tool);
    EXPECT_EQ(log, (std::vector<std::string>{"t.Activate"})) << "the tool is activated";
    EXPECT_EQ(Classes(), c.controls);
    EXPECT_TRUE(ToolForm->IconSheet->GetTabVisible());
    SelectTool(&PenContTool, true, -1);
  }
  DecimalSeparator = '.';
}

TEST_F(OptionBarTest, FloatFieldsAreReadWithAPointWhateverTheProgramsSeparator) {
  DecimalSeparator = ',';
  Build("Float,F,Size,1,0.5,9.5,2.5,hint");
  EXPECT_EQ(DecimalSeparator, ',');
  DecimalSeparator = '.';
  auto* spin = Option<TExSpinEdit>(0);
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->GetMinValue(), 0.5);
  EXPECT_EQ(spin->GetMaxValue(), 9.5);
  EXPECT_EQ(spin->GetDecimal(), 1);
  EXPECT_EQ(GetOptionValue(0), 2.5);
}

TEST_F(OptionBarTest, AListCountInTheMillionsStopsAtTheEndOfTheLayout) {
  const auto start = std::chrono::steady_clock::now();
  Build("Big,L,List,9999999,a,b");
  ASSERT_EQ(Classes(), (std::vector<std::string>{"TComboBox"}));
  EXPECT_EQ(Option<TComboBox>(0)->GetItems()->Count(), 2);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));

  // A count below zero makes an empty list; the fields after it are items of their own.
  Build("Negative,L,List,-3,hint,C,Box,1,hint");
  ASSERT_EQ(Classes(), (std::vector<std::string>{"TComboBox", "TCheckBox"}));
  EXPECT_EQ(Option<TComboBox>(0)->GetItems()->Count(), 0);
  EXPECT_EQ(GetOptionValue(0), -1);
}

// A bitmap only this test gives the program.
const std::vector<unsigned char>& TestGlyphFile() {
  static const std::vector<unsigned char> bytes = [] {
    TOwnedPtr<TBitmap> bitmap = MakeObject<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(16, 16);
    bitmap->GetCanvas()->GetBrush()->SetColor(clBlue);
    bitmap->GetCanvas()->FillRect(TRect(0, 0, 16, 16));
    TMemoryStream stream;
    bitmap->SaveToStream(&stream);
    const auto* data = static_cast<const unsigned char*>(stream.Memory());
    return std::vector<unsigned char>(data, data + stream.Size());
  }();
  return bytes;
}

TEST_F(OptionBarTest, APictureButtonShowsItsBitmapAndAMissingOneLeavesItBare) {
  static const EmbeddedResource table[] = {
      {"bitmaps/OPTIONBARGLYPH.bmp", TestGlyphFile().data(), TestGlyphFile().size()}, {nullptr, nullptr, 0}};
  static const bool registered = RegisterModuleResources("tests", table);
  ASSERT_TRUE(registered);

  Build("Pictures,P,OptionBarGlyph,Present,P,NOSUCHBITMAP,Missing,P,,Unnamed,C,After,1,h");
  ASSERT_EQ(Classes(), (std::vector<std::string>{"TSpeedButton", "TSpeedButton", "TSpeedButton", "TCheckBox"}));
  EXPECT_EQ(Option<TSpeedButton>(0)->GetGlyph()->GetWidth(), 16);
  for (int n : {1, 2}) {
    EXPECT_TRUE(Option<TSpeedButton>(n)->GetGlyph()->Empty()) << n;
    EXPECT_EQ(Option<TSpeedButton>(n)->GetGroupIndex(), n + 1);
  }
  EXPECT_EQ(Option<TSpeedButton>(1)->GetHint(), "Missing");
}

TEST_F(OptionBarTest, ValuesNoControlHoldsAreRefused) {
  Build("Odd,L,List,2,a,b,h,I,n,0,9,4,h,O,c,FF,h");
  SetOptionValue(0, 1e300);
  EXPECT_EQ(GetOptionValue(0), -1) << "no item";
  SetOptionValue(1, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(GetOptionValue(1), 4);
  SetOptionValue(1, std::numeric_limits<double>::infinity());
  EXPECT_EQ(GetOptionValue(1), 4);
  SetOptionValue(2, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(GetOptionValue(2), 0xFF);
  SetOptionValue(2, -1);
  EXPECT_EQ(GetOptionValue(2), 0xFFFFFF);
}

TEST_F(OptionBarTest, TheBarsControlsAreForgottenWhenTheyGo) {
  Build("One,I,n,0,9,4,h");
  ASSERT_EQ(OptionControls.size(), 1u);
  FreeObject(OptionControls[0]);
  EXPECT_EQ(OptionControls[0], nullptr);
  EXPECT_EQ(GetOptionValue(0), 0);
  SetOptionValue(0, 3);
}

}  // namespace
