// The spin edit driven as a user would: its diagonal and standard buttons by mouse (also held
// down, on the manual clock), the arrow keys and typing, with bounds, the three notations and
// whole numbers beyond 32 bits.

#include "EditsFixture.h"

#include <cmath>
#include <vector>

#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/edits/SpinEdit.h"

namespace edits_testing {
namespace {

class SpinEditTest : public EditsTest {
protected:
  void SetUp() override {
    EditsTest::SetUp();
    spin = NewComponent<TExSpinEdit>(form);
    spin->SetName("Spin");
    spin->SetBounds(20, 20, 120, 24);
    spin->SetParent(form);
    spin->OnChange = [this](TObject*) { ++changes; };
    spin->OnTopClick = [this](TObject*) { ++topClicks; };
    spin->OnBottomClick = [this](TObject*) { ++bottomClicks; };
    other = NewComponent<TEdit>(form);
    other->SetBounds(20, 80, 120, 24);
    other->SetParent(form);
    ShowForm();
  }
  // A point in the upper or lower half of the diagonal button.
  POINT UpperHalf() {
    TExSpinButton* b = spin->DiagonalButton();
    return At(b, 3, 3);
  }
  POINT LowerHalf() {
    TExSpinButton* b = spin->DiagonalButton();
    return At(b, b->GetWidth() - 4, b->GetHeight() - 4);
  }
  void Focus() {
    spin->SetFocus();
    ui.RunUntilIdle();
  }

  TExSpinEdit* spin = nullptr;
  TEdit* other = nullptr;
  int changes = 0;
  int topClicks = 0;
  int bottomClicks = 0;
};

TEST_F(SpinEditTest, NewControlHasDefaultsAndDiagonalButton) {
  EXPECT_EQ(spin->GetText(), "0");
  EXPECT_EQ(spin->GetValue(), 0);
  EXPECT_EQ(spin->GetValueType(), vtInt);
  EXPECT_EQ(spin->GetDecimal(), 2);
  EXPECT_EQ(spin->GetIncrement(), 1);
  ASSERT_NE(spin->DiagonalButton(), nullptr);
  EXPECT_EQ(spin->StandardButton(), nullptr);
  // The button sits inside the edit's right edge, and the text stops before it.
  TRect b(spin->DiagonalButton()->ClientToScreen(TPoint(0, 0)), spin->DiagonalButton()->ClientToScreen(TPoint(1, 1)));
  TPoint right = spin->ClientToScreen(TPoint(spin->GetClientWidth(), 0));
  EXPECT_LT(b.left, right.x);
  EXPECT_GT(b.left, spin->ClientToScreen(TPoint(spin->GetClientWidth() / 2, 0)).x);
  // Reachable by name, as translation and form storage reach it.
  EXPECT_EQ(GetEnumProp(spin, "ButtonKind"), "bkDiagonal");
  SetPropValue(spin, "Value", "7");
  EXPECT_EQ(spin->GetText(), "7");
  EXPECT_DOUBLE_EQ(GetFloatProp(spin, "Value"), 7.0);
}

struct NotationCase {
  TValueType type;
  Extended value;
  const char* text;
  Extended readBack;
};

TEST_F(SpinEditTest, ValuesShowInTheirNotationAndReadBackWithTheWidthWritten) {
  const char sep = DecimalSeparator;
  const std::vector<NotationCase> cases = {
      {vtHex, 255, "FF", 255},
      {vtHex, 0, "0", 0},
      {vtInt, 2.5, "2", 2},  // halves to the even neighbour
      {vtInt, 3.5, "4", 4},
      {vtInt, -7, "-7", -7},
      // Beyond 32 bits: written as 64-bit, read back as 64-bit.
      {vtInt, 5000000000.0L, "5000000000", 5000000000.0L},
      {vtInt, -9000000000000.0L, "-9000000000000", -9000000000000.0L},
      {vtHex, 0x123456789AL, "123456789A", 0x123456789AL},
      {vtHex, -1, "FFFFFFFFFFFFFFFF", -1},
      // Past what 64 bits hold: held at the largest whole number, not undefined.
      {vtInt, 1e30L, "9223372036854775807", 9223372036854775807.0L},
  };
  for (const NotationCase& c : cases) {
    spin->SetValueType(c.type);
    spin->SetValue(c.value);
    EXPECT_EQ(spin->GetText(), c.text) << c.text;
    EXPECT_EQ(spin->GetValue(), c.readBack) << c.text;
  }
  spin->SetValueType(vtFloat);
  spin->SetValue(1.5);
  EXPECT_EQ(spin->GetText(), AnsiString("1") + sep + "50");
  spin->SetDecimal(3);
  EXPECT_EQ(spin->GetText(), AnsiString("1") + sep + "500");
}

TEST_F(SpinEditTest, BoundsClampAndEqualBoundsMeanNone) {
  struct Case {
    Extended min, max, set, shown;
  };
  for (const Case& c : std::vector<Case>{{0, 0, -50, -50}, {5, 5, 99, 99}, {0, 100, 500, 100}, {0, 100, -3, 0}, {0, 100, 42, 42}}) {
    spin->SetMinValue(c.min);
    spin->SetMaxValue(c.max);
    spin->SetValue(c.set);
    EXPECT_EQ(spin->GetValue(), c.shown) << c.min << ".." << c.max << " " << c.set;
  }
}

TEST_F(SpinEditTest, TypedValueOutsideBoundsReadsClampedAndIsRewrittenOnLeaving) {
  spin->SetMinValue(0);
  spin->SetMaxValue(100);
  Focus();
  ui.Type("500");
  EXPECT_EQ(spin->GetText(), "500");
  EXPECT_EQ(spin->GetValue(), 100);
  ClickAt(other, 5, 5);
  EXPECT_EQ(spin->GetText(), "100");
}

TEST_F(SpinEditTest, UnparsableTextReadsAsLastValueTruncated) {
  spin->SetValue(3.75);  // shown rounded, remembered as it was
  EXPECT_EQ(spin->GetText(), "4");
  spin->SetText("abc");
  EXPECT_EQ(spin->GetValue(), 3);  // 3.75 truncated
  spin->SetText("12x");
  EXPECT_EQ(spin->GetValue(), 3);  // the failed read left the last value alone
  spin->SetValueType(vtFloat);  // "12x" does not parse: the last value is written, whole
  EXPECT_EQ(spin->GetValue(), 3.75L);
  spin->SetValue(2.5);
  spin->SetValueType(vtInt);  // the float text does not parse as a whole number
  EXPECT_EQ(spin->GetText(), "2");
}

TEST_F(SpinEditTest, SwitchingToWholeNumbersRoundsTheIncrement) {
  spin->SetValueType(vtFloat);
  spin->SetIncrement(0.4);
  spin->SetValueType(vtInt);
  EXPECT_EQ(spin->GetIncrement(), 1);
  spin->SetValueType(vtFloat);
  spin->SetIncrement(2.6);
  spin->SetValueType(vtHex);
  EXPECT_EQ(spin->GetIncrement(), 3);
}

TEST_F(SpinEditTest, ValueSetInCodeRaisesOneChange) {
  spin->SetValue(5);
  EXPECT_EQ(changes, 1);
  spin->SetValue(5);  // the same text: no change
  EXPECT_EQ(changes, 1);
  spin->SetText("8");
  EXPECT_EQ(changes, 2);
}

TEST_F(SpinEditTest, ArrowKeysStepAndStopAtTheBound) {
  spin->SetMinValue(0);
  spin->SetMaxValue(2);
  Focus();
  ui.Press(VK_UP);
  ui.Press(VK_UP);
  EXPECT_EQ(spin->GetText(), "2");
  EXPECT_EQ(changes, 2);
  ui.Press(VK_UP);  // at the bound: no change, but the click is told
  EXPECT_EQ(spin->GetText(), "2");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(topClicks, 3);
  ui.Press(VK_DOWN);
  EXPECT_EQ(spin->GetText(), "1");
  EXPECT_EQ(bottomClicks, 1);
  spin->SetArrowKeys(false);
  ui.Press(VK_UP);
  EXPECT_EQ(spin->GetText(), "1");
}

TEST_F(SpinEditTest, ReadOnlyEditDoesNotStep) {
  spin->SetReadOnly(true);
  Focus();
  ui.Press(VK_UP);
  ui.Click(UpperHalf().x, UpperHalf().y);
  EXPECT_EQ(spin->GetText(), "0");
  EXPECT_EQ(topClicks, 0);
}

struct TypingCase {
  TValueType type;
  bool editorEnabled;
  const char* start;
  const char* typed;
  const char* result;
};

TEST_F(SpinEditTest, TypingAcceptsOnlyWhatTheNotationHolds) {
  const std::string sep(1, DecimalSeparator);
  const std::vector<TypingCase> cases = {
      {vtInt, true, "", "12ab-3", "12-3"},
      {vtHex, true, "", "1fAgz", "1fA"},
      {vtFloat, true, "", "", ""},  // a second decimal separator: filled in below
      {vtFloat, true, "", "2e5e1", "2e51"},
      {vtInt, false, "7", "123", "7"},
  };
  for (TypingCase c : cases) {
    std::string typed = c.typed, result = c.result;
    if (c.type == vtFloat && typed.empty()) {
      typed = "1" + sep + "5" + sep + "2";
      result = "1" + sep + "52";  // a second separator cannot be typed
    }
    spin->SetValueType(c.type);
    spin->SetEditorEnabled(c.editorEnabled);
    spin->SetText(c.start);
    Focus();
    spin->SetSelStart(static_cast<int>(std::string(c.start).size()));
    ui.Type(typed);
    EXPECT_EQ(spin->GetText(), result) << typed;
  }
  // With the editor off, backspace does nothing and neither paste nor cut changes the text.
  ui.Press(VK_BACK);
  EXPECT_EQ(spin->GetText(), "7");
  Clipboard()->SetAsText("99");
  spin->SelectAll();
  spin->PasteFromClipboard();
  spin->CutToClipboard();
  EXPECT_EQ(spin->GetText(), "7");
}

TEST_F(SpinEditTest, EnterReachesTheFormsDefaultButton) {
  auto* ok = NewComponent<TButton>(form);
  ok->SetBounds(200, 200, 75, 25);
  ok->SetParent(form);
  ok->SetDefault(true);
  int clicked = 0;
  ok->OnClick = [&](TObject*) { ++clicked; };
  Focus();
  ui.Type("5");
  ui.Press(VK_RETURN);
  EXPECT_EQ(clicked, 1);
  EXPECT_EQ(spin->GetText(), "5");  // Enter did not reach the text (entering selected the "0")
}

TEST_F(SpinEditTest, DiagonalButtonStepsByHalfAndRepeatsWhileHeld) {
  ui.Click(UpperHalf().x, UpperHalf().y);
  EXPECT_EQ(spin->GetText(), "1");
  EXPECT_TRUE(spin->Focused());  // the press focused the edit
  ui.Click(LowerHalf().x, LowerHalf().y);
  EXPECT_EQ(spin->GetText(), "0");
  // Held: one step at once, the next after 400 ms, then one every 100 ms.
  ui.MouseDown(LowerHalf().x, LowerHalf().y);
  EXPECT_EQ(spin->GetText(), "-1");
  EXPECT_EQ(spin->DiagonalButton()->GetState(), sbBottomDown);
  ui.Advance(399);
  EXPECT_EQ(spin->GetText(), "-1");
  ui.Advance(1);
  EXPECT_EQ(spin->GetText(), "-2");
  for (int i = 0; i < 3; ++i) ui.Advance(100);
  EXPECT_EQ(spin->GetText(), "-5");
  // Dragged off the pressed half: released, no more steps; dragged back: pressed again.
  ui.MoveTo(UpperHalf().x, UpperHalf().y);
  EXPECT_EQ(spin->DiagonalButton()->GetState(), sbNotDown);
  for (int i = 0; i < 3; ++i) ui.Advance(100);
  EXPECT_EQ(spin->GetText(), "-5");
  ui.MoveTo(LowerHalf().x, LowerHalf().y);
  EXPECT_EQ(spin->DiagonalButton()->GetState(), sbBottomDown);
  ui.Advance(100);
  EXPECT_EQ(spin->GetText(), "-6");
  ui.MouseUp(LowerHalf().x, LowerHalf().y);
  EXPECT_EQ(spin->DiagonalButton()->GetState(), sbNotDown);
  for (int i = 0; i < 5; ++i) ui.Advance(100);
  EXPECT_EQ(spin->GetText(), "-6");
  EXPECT_EQ(bottomClicks, 7);
}

TEST_F(SpinEditTest, DiagonalHitTestFollowsTheDiagonal) {
  struct Case {
    int x, y;
    bool top;
  };
  for (const Case& c : std::vector<Case>{{0, 0, true}, {0, 20, true}, {10, 10, true}, {10, 11, false}, {19, 19, false}, {20, 0, true}, {19, 2, false}})
    EXPECT_EQ(TExSpinButton::InTopHalf(c.x, c.y, 20, 20), c.top) << c.x << "," << c.y;
}

TEST_F(SpinEditTest, StandardButtonStepsAndRepeatsWhileHeld) {
  spin->SetButtonKind(bkStandard);
  ui.RunUntilIdle();
  ASSERT_NE(spin->StandardButton(), nullptr);
  EXPECT_EQ(spin->DiagonalButton(), nullptr);
  TExUpDown* ud = spin->StandardButton();
  EXPECT_EQ(ud->GetWidth(), DefaultSpinButtonWidth());
  POINT up = At(ud, ud->GetWidth() / 2, 3);
  POINT down = At(ud, ud->GetWidth() / 2, ud->GetHeight() - 3);
  ui.Click(up.x, up.y);
  EXPECT_EQ(spin->GetText(), "1");
  ui.Click(down.x, down.y);
  ui.Click(down.x, down.y);
  EXPECT_EQ(spin->GetText(), "-1");
  EXPECT_EQ(ud->GetPosition(), 0);  // it rests at 0 and only tells the way
  ui.MouseDown(up.x, up.y);
  for (int i = 0; i < 10; ++i) ui.Advance(100);
  ui.MouseUp(up.x, up.y);
  EXPECT_GT(spin->GetValue(), 2);
  EXPECT_EQ(topClicks, static_cast<int>(spin->GetValue()) + 2);  // one per step from -1
}

TEST_F(SpinEditTest, DisablingTheEditDisablesItsButton) {
  spin->SetEnabled(false);
  EXPECT_FALSE(spin->DiagonalButton()->GetEnabled());
  ui.Click(UpperHalf().x, UpperHalf().y);
  EXPECT_EQ(spin->GetText(), "0");
  spin->SetEnabled(true);
  EXPECT_TRUE(spin->DiagonalButton()->GetEnabled());
}

}  // namespace
}  // namespace edits_testing
