// The collapsible panel driven by its header as a user would: a left click collapses it to the
// header and moves the controls below it up, a second expands it to the exact old height and
// puts them back; other buttons do nothing; controls wider than it or left of it stay.

#include "../captions/CaptionFixture.h"

#include "platform/vcl/StdButtons.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/panels/XPanel.h"

namespace {

class XPanelTest : public CaptionUiTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetBounds(100, 100, 400, 300);
    panel = NewComponent<TXPanel>(form);
    panel->SetParent(form);
    panel->SetBounds(20, 10, 200, 100);
    panel->SetButtonCaption("Input Files");
    below = AddButton(30, 120, 100);
    wide = AddButton(10, 150, 300);
    leftOf = AddButton(5, 180, 60);
    above = AddButton(240, 5, 60);
    form->Show();
    ui.RunUntilIdle();
  }
  TButton* AddButton(int left, int top, int width) {
    auto* b = NewComponent<TButton>(form);
    b->SetParent(form);
    b->SetBounds(left, top, width, 25);
    return b;
  }
  void ClickHeader(int button = InputEvent::Left) {
    POINT p = At(panel->Header(), 40, panel->Header()->GetHeight() / 2);
    ui.Click(p.x, p.y, button);
  }
  TForm* form = nullptr;
  TXPanel* panel = nullptr;
  TButton *below = nullptr, *wide = nullptr, *leftOf = nullptr, *above = nullptr;
};

TEST_F(XPanelTest, HeaderClickCollapsesAndExpandsMovingWhatIsBelow) {
  const int headerHeight = panel->Header()->GetHeight();
  EXPECT_EQ(headerHeight, std::abs(panel->GetFont()->GetHeight()) + 4);
  const int formHeight = form->GetHeight();
  ClickHeader();
  EXPECT_FALSE(panel->GetExpanded());
  EXPECT_EQ(panel->GetHeight(), headerHeight + 4);
  const int delta = 100 - (headerHeight + 4);
  EXPECT_EQ(below->GetTop(), 120 - delta);
  EXPECT_EQ(wide->GetTop(), 150);
  EXPECT_EQ(leftOf->GetTop(), 180);
  EXPECT_EQ(above->GetTop(), 5);
  EXPECT_EQ(form->GetHeight(), formHeight - delta);
  EXPECT_EQ(panel->Header()->GetBevelOuter(), bvRaised);
  // The button below is drawn where it went, a bevel and its face.
  POINT p = At(below, below->GetWidth() / 2, 0);
  EXPECT_NE(ui.Pixel(p.x, p.y), Rgb(clBtnFace));
  p = At(below, below->GetWidth() / 2, below->GetHeight() / 2);
  EXPECT_EQ(ui.Pixel(p.x, p.y), Rgb(clBtnFace));

  ClickHeader();
  EXPECT_TRUE(panel->GetExpanded());
  EXPECT_EQ(panel->GetHeight(), 100);
  EXPECT_EQ(below->GetTop(), 120);
  EXPECT_EQ(form->GetHeight(), formHeight);
  EXPECT_EQ(panel->Header()->GetBevelOuter(), bvLowered);
}

TEST_F(XPanelTest, RightAndMiddleClicksOnTheHeaderDoNothing) {
  ClickHeader(InputEvent::Right);
  ClickHeader(InputEvent::Middle);
  EXPECT_TRUE(panel->GetExpanded());
  EXPECT_EQ(panel->GetHeight(), 100);
}

TEST_F(XPanelTest, WithoutResizeParentTheParentKeepsItsHeight) {
  SetEnumProp(panel, "ResizeParent", "False");
  const int formHeight = form->GetHeight();
  ClickHeader();
  EXPECT_EQ(form->GetHeight(), formHeight);
  EXPECT_LT(below->GetTop(), 120);
}

TEST(XPanelMadeInCodeTest, CollapsedBeforeShownRemembersItsHeight) {
  TempHome home;
  UiDriver ui;
  auto* form = NewComponent<TForm>(Application());
  auto* panel = NewComponent<TXPanel>(form);
  EXPECT_EQ(panel->GetWidth(), 160);
  EXPECT_EQ(panel->GetHeight(), 80);
  EXPECT_EQ(panel->GetCaption(), " ");
  EXPECT_EQ(panel->GetBevelOuter(), bvLowered);
  EXPECT_EQ(panel->GetBevelInner(), bvRaised);
  panel->SetParent(form);
  panel->SetHeight(120);
  panel->SetExpanded(false);
  panel->SetExpanded(true);
  EXPECT_EQ(panel->GetHeight(), 120);
  ResetApplication();
}

}  // namespace
