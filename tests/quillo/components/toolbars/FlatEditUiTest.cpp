// The flat edit for toolbars through the UI driver: it stands on a toolbar, its border is
// flat while idle and sunken while focused or under the mouse (in pixels), it takes typing,
// and it stays flat under the mouse while another toolbar edit has the focus.

#include "ToolbarFixture.h"

#include "platform/vcl/Edit.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/toolbars/FlatEdit.h"

namespace tbx::testing {
namespace {

class FlatEditTest : public ToolbarUiTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetBounds(100, 100, 500, 300);
    auto* dock = NewComponent<TDockX>(form);
    dock->SetName("Top");
    dock->SetParent(form);
    bar = AddToolbar(form, "Bar", "Bar", 1);
    bar->SetDockedTo(dock);
    first = AddEdit(80);
    second = AddEdit(80);
    plain = NewComponent<TEdit>(form);
    plain->SetBounds(20, 150, 100, 25);
    plain->SetParent(form);
    form->Show();
    ui.RunUntilIdle();
  }
  void TearDown() override {
    ToolbarUiTest::TearDown();
    EXPECT_EQ(LiveFlatEdits(), 0);
  }
  TEditX* AddEdit(int width) {
    auto* e = NewComponent<TEditX>(form);
    e->SetWidth(width);
    e->SetParent(bar);
    return e;
  }
  // The colours of the border's three rings at the top-left and bottom-right corners.
  struct Rings {
    std::uint32_t outerTopLeft, outerBottomRight, middleTopLeft, middleBottomRight, inner;
  };
  Rings RingsOf(TEditX* e) {
    TRect r = WindowRect(e);
    return Rings{ui.Pixel(r.left, r.top + 5), ui.Pixel(r.right - 1, r.bottom - 1), ui.Pixel(r.left + 1, r.top + 5),
                 ui.Pixel(r.right - 2, r.bottom - 2), ui.Pixel(r.left + 2, r.top + 5)};
  }
  void ExpectFlat(TEditX* e, const char* when) {
    Rings r = RingsOf(e);
    EXPECT_EQ(r.outerTopLeft, Rgb(clBtnFace)) << when;
    EXPECT_EQ(r.outerBottomRight, Rgb(clBtnFace)) << when;
    EXPECT_EQ(r.middleTopLeft, Rgb(clBtnFace)) << when;
    EXPECT_EQ(r.inner, Rgb(e->GetColor())) << when;
  }
  void ExpectSunken(TEditX* e, const char* when) {
    Rings r = RingsOf(e);
    EXPECT_EQ(r.outerTopLeft, Rgb(clBtnShadow)) << when;
    EXPECT_EQ(r.outerBottomRight, Rgb(clBtnHighlight)) << when;
    EXPECT_EQ(r.middleTopLeft, Rgb(clBtnFace)) << when;
    EXPECT_EQ(r.middleBottomRight, Rgb(cl3DLight)) << when;
    EXPECT_EQ(r.inner, Rgb(clWindow)) << when;
  }
  void MoveOnto(TControl* c) {
    TPoint p = c->ClientToScreen(TPoint(c->GetClientWidth() / 2, c->GetClientHeight() / 2));
    ui.MoveTo(p.x, p.y);
  }
  void MoveAway() {
    POINT p = At(form, 400, 250);
    ui.MoveTo(p.x, p.y);
  }

  TForm* form = nullptr;
  TToolbarX* bar = nullptr;
  TEditX* first = nullptr;
  TEditX* second = nullptr;
  TEdit* plain = nullptr;
};

TEST_F(FlatEditTest, StandsOnTheToolbarAfterItsButton) {
  auto order = bar->OrderList();
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order[1], first);
  EXPECT_EQ(order[2], second);
  EXPECT_GE(first->GetLeft(), order[0]->GetLeft() + order[0]->GetWidth());
  EXPECT_GE(second->GetLeft(), first->GetLeft() + first->GetWidth());
  EXPECT_EQ(first->GetHeight(), 19);
  EXPECT_GE(bar->GetClientHeight(), 19);
  EXPECT_TRUE(ControlIsXControl(first));
  EXPECT_FALSE(ControlIsXControl(plain));
  SetStrProp(first, "Text", "42");
  EXPECT_EQ(first->GetText(), "42");
  EXPECT_EQ(GetStrProp(first, "Version"), "ToolbarX version 1.75a");
  // The client area lies inside the 3-pixel border.
  EXPECT_EQ(first->GetClientWidth(), 80 - 6);
  EXPECT_EQ(first->GetClientHeight(), 19 - 6);
}

TEST_F(FlatEditTest, FlatWhileIdleSunkenUnderTheMouseAndWhileFocused) {
  plain->SetFocus();
  MoveAway();
  ExpectFlat(first, "idle");
  MoveOnto(first);
  EXPECT_TRUE(first->MouseInControl());
  ExpectSunken(first, "hot");
  ExpectFlat(second, "the other one");
  MoveAway();
  EXPECT_FALSE(first->MouseInControl());
  ExpectFlat(first, "left again");
  // A click gives it the focus: sunken while focused, with the mouse on it or away.
  TPoint p = first->ClientToScreen(TPoint(5, 5));
  ui.Click(p.x, p.y);
  EXPECT_TRUE(first->Focused());
  ExpectSunken(first, "focused, mouse over it");
  MoveAway();
  ExpectSunken(first, "focused, mouse away");
  plain->SetFocus();
  ui.RunUntilIdle();
  ExpectFlat(first, "focus gone");
}

TEST_F(FlatEditTest, StaysFlatUnderTheMouseWhileAnotherToolbarEditHasTheFocus) {
  second->SetFocus();
  ui.RunUntilIdle();
  ASSERT_EQ(Screen()->ActiveControl(), second);
  MoveOnto(first);
  EXPECT_TRUE(first->MouseInControl());
  ExpectFlat(first, "hot while another toolbar edit has the focus");
  ExpectSunken(second, "the focused one");
  // A plain edit's focus does not count: the toolbar edit under the mouse sinks.
  plain->SetFocus();
  MoveAway();
  MoveOnto(first);
  ExpectSunken(first, "hot while a plain edit has the focus");
}

TEST_F(FlatEditTest, AtDesignTimeTheBorderSaysWhetherTheEditIsEnabled) {
  plain->SetFocus();
  MoveAway();
  first->SetDesigning(true);
  first->Perform(WM_NCPAINT, 1, 0);
  ui.RunUntilIdle();
  ExpectSunken(first, "designing, enabled");
  first->SetEnabled(false);
  first->Perform(WM_NCPAINT, 1, 0);
  ui.RunUntilIdle();
  ExpectFlat(first, "designing, disabled");
}

TEST_F(FlatEditTest, TakesTypingAndReportsChanges) {
  int changes = 0;
  first->OnChange = [&](TObject*) { ++changes; };
  TPoint p = first->ClientToScreen(TPoint(5, 5));
  ui.Click(p.x, p.y);
  ui.Type("zoom 200");
  EXPECT_EQ(first->GetText(), "zoom 200");
  EXPECT_EQ(changes, 8);
  ui.Press(VK_BACK);
  EXPECT_EQ(first->GetText(), "zoom 20");
  EXPECT_EQ(second->GetText(), "");
  // The typed text shows inside the border: some pixel of the client area is the text colour.
  TRect r = WindowRect(first);
  bool inked = false;
  for (int y = r.top + 3; y < r.bottom - 3 && !inked; ++y)
    for (int x = r.left + 3; x < r.left + 40 && !inked; ++x) inked = ui.Pixel(x, y) == Rgb(clWindowText);
  EXPECT_TRUE(inked);
}

TEST_F(FlatEditTest, DisabledEditTakesTheButtonFaceColour) {
  first->SetEnabled(false);
  MoveAway();
  EXPECT_EQ(first->GetColor(), clBtnFace);
  TRect r = WindowRect(first);
  EXPECT_EQ(ui.Pixel(r.left + 10, r.top + 9), Rgb(clBtnFace));
  ExpectFlat(first, "disabled");
  first->SetEnabled(true);
  ui.RunUntilIdle();
  EXPECT_EQ(first->GetColor(), clWindow);
  EXPECT_EQ(ui.Pixel(r.left + 60, r.top + 9), Rgb(clWindow));
}

TEST_F(FlatEditTest, HeightFollowsTheFont) {
  first->GetFont()->SetSize(16);
  ui.RunUntilIdle();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, first->GetFont()->GetHandle());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_GT(tm.tmHeight, 13);
  EXPECT_EQ(first->GetHeight(), tm.tmHeight + 6);
}

TEST_F(FlatEditTest, PrintDrawsTheBorderIntoTheGivenContext) {
  // WM_PRINT of a focused edit draws the sunken border at the context's origin.
  first->SetFocus();
  ui.RunUntilIdle();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 80, 19);
  HGDIOBJ old = SelectObject(dc, bitmap);
  first->Perform(WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_EQ(GetPixel(dc, 0, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(GetPixel(dc, 79, 18), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(GetPixel(dc, 1, 5), ColorToRGB(clBtnFace));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace tbx::testing
