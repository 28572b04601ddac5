// The combo edit's button as a user meets it: a click, the click key, a hidden button, a
// read-only edit and one without direct input, and Enter reaching the form's default button.

#include "EditsFixture.h"

#include <vector>

#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/edits/ComboEdit.h"

namespace edits_testing {
namespace {

class ComboEditTest : public EditsTest {
protected:
  void SetUp() override {
    EditsTest::SetUp();
    combo = NewComponent<TComboEdit>(form);
    combo->SetName("Combo");
    combo->SetBounds(20, 20, 160, 21);
    combo->SetParent(form);
    combo->SetText("");  // naming an edit sets its text, as the framework does
    combo->OnButtonClick = [this](TObject*) { ++clicks; };
    ShowForm();
  }
  void ClickButton() {
    TEditButton* b = combo->Button();
    POINT p = At(b, b->GetWidth() / 2, b->GetHeight() / 2);
    ui.Click(p.x, p.y);
  }
  void AltDown() {
    ui.KeyDown(VK_MENU);
    ui.Press(VK_DOWN);
    ui.KeyUp(VK_MENU);
  }

  TComboEdit* combo = nullptr;
  int clicks = 0;
};

TEST_F(ComboEditTest, ButtonSitsInsideTheRightEdgeAndTextStopsBeforeIt) {
  TWinControl* holder = combo->ButtonHolder();
  EXPECT_EQ(combo->GetButtonWidth(), 21);
  EXPECT_EQ(holder->GetLeft() + holder->GetWidth(), combo->GetClientWidth());
  EXPECT_EQ(holder->GetHeight(), combo->GetClientHeight());
  // Text typed to the end scrolls before it reaches the button.
  combo->SetFocus();
  ui.Type("a long line of text that runs on and on");
  RECT r{};
  SendMessage(combo->GetHandle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_LE(r.right, holder->GetLeft());
  EXPECT_EQ(GetEnumProp(combo, "GlyphKind"), "gkCustom");
  EXPECT_EQ(GetOrdProp(combo, "ClickKey"), scAlt | VK_DOWN);
}

TEST_F(ComboEditTest, ButtonAndClickKeyRaiseTheEvent) {
  ClickButton();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(combo->Focused());  // the press focused the edit
  AltDown();
  EXPECT_EQ(clicks, 2);
  combo->SetClickKey(ShortCut(VK_F2, TShiftState{}));
  AltDown();
  ui.Press(VK_F2);
  EXPECT_EQ(clicks, 3);
}

TEST_F(ComboEditTest, NarrowButtonIsHiddenAndTooWideIgnored) {
  struct Case {
    int width;
    bool visible;
    int taken;
  };
  for (const Case& c : std::vector<Case>{{0, false, 0}, {1, false, 1}, {30, true, 30}, {500, true, 30}}) {
    combo->SetButtonWidth(c.width);
    EXPECT_EQ(combo->ButtonHolder()->GetVisible(), c.visible) << c.width;
    EXPECT_EQ(combo->GetButtonWidth(), c.taken) << c.width;
  }
  combo->SetButtonWidth(0);
  combo->SetFocus();
  AltDown();
  EXPECT_EQ(clicks, 0);  // no button, no click key
}

TEST_F(ComboEditTest, ReadOnlyEditIgnoresTheButton) {
  combo->SetReadOnly(true);
  ClickButton();
  combo->SetFocus();
  AltDown();
  EXPECT_EQ(clicks, 0);
  ui.Type("x");
  EXPECT_EQ(combo->GetText(), "");
}

TEST_F(ComboEditTest, WithoutDirectInputTheButtonStillWorks) {
  combo->SetText("abc");
  combo->SetDirectInput(false);
  combo->SetFocus();
  ui.RunUntilIdle();
  ui.Type("xyz");
  Clipboard()->SetAsText("pasted");
  combo->PasteFromClipboard();
  combo->CutToClipboard();
  EXPECT_EQ(combo->GetText(), "abc");
  combo->SelectAll();
  EXPECT_EQ(combo->GetSelLength(), 0);
  ClickButton();
  EXPECT_EQ(clicks, 1);
}

TEST_F(ComboEditTest, TextSetInCodeRaisesOneChange) {
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->SetText("one");
  combo->SetText("one");
  EXPECT_EQ(changes, 1);
  combo->SetFocus();
  ui.Type("x");
  EXPECT_EQ(changes, 2);
}

TEST_F(ComboEditTest, EnterReachesTheFormsDefaultButton) {
  auto* ok = NewComponent<TButton>(form);
  ok->SetBounds(200, 200, 75, 25);
  ok->SetParent(form);
  ok->SetDefault(true);
  int pressed = 0;
  ok->OnClick = [&](TObject*) { ++pressed; };
  combo->SetFocus();
  ui.Type("a");
  ui.Press(VK_RETURN);
  EXPECT_EQ(pressed, 1);
  EXPECT_EQ(combo->GetText(), "a");
}

TEST_F(ComboEditTest, EllipsisGlyphHasThreeDots) {
  struct Case {
    int buttonWidth;
    std::vector<int> dotsAt;
  };
  // width w = button - 6; gap = clamp((w - 6) / 2, 1, 3); left = (w - 6 - 2 gap) / 2.
  for (const Case& c : std::vector<Case>{{21, {1, 6, 11}}, {16, {0, 4, 8}}, {12, {-1, 2, 5}}}) {
    TOwnedPtr<TBitmap> glyph = MakeEllipsisGlyph(c.buttonWidth);
    EXPECT_EQ(glyph->GetWidth(), c.buttonWidth - 6);
    EXPECT_EQ(glyph->GetHeight(), 4);
    for (int x : c.dotsAt) {
      if (x < 0 || x + 1 >= glyph->GetWidth()) continue;  // a dot cut off at an edge
      EXPECT_EQ(glyph->GetCanvas()->GetPixel(x, 1), clBlack) << c.buttonWidth << " at " << x;
      EXPECT_EQ(glyph->GetCanvas()->GetPixel(x + 1, 2), clBlack) << c.buttonWidth << " at " << x;
    }
    EXPECT_EQ(glyph->GetCanvas()->GetPixel(c.dotsAt[1], 0), clWhite);
  }
  combo->SetGlyphKind(gkEllipsis);
  EXPECT_FALSE(combo->GetGlyph()->Empty());
}

}  // namespace
}  // namespace edits_testing
