// Speed buttons and bit buttons: groups, pressing, flat looks, glyphs and layouts, kinds.

#include "VclFixture.h"

#include "platform/controls/Button.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/Form.h"

namespace {

class ButtonsTest : public VclTest {
protected:
  TForm* MakeForm() {
    auto* form = Application()->CreateForm<TForm>();
    form->SetBounds(100, 100, 320, 200);
    form->SetColor(clBtnFace);
    return form;
  }
  TSpeedButton* Speed(TForm* form, int x, int group) {
    auto* b = NewComponent<TSpeedButton>(form);
    b->SetParent(form);
    b->SetBounds(x, 10, 40, 30);
    b->SetGroupIndex(group);
    return b;
  }
};

// A bitmap of cells square cells, each filled with its colour around a black dot.
TOwnedPtr<TBitmap> Strip(int cells, int size = 16) {
  auto b = MakeObject<TBitmap>();
  b->SetSize(size * cells, size);
  TCanvas* c = b->GetCanvas();
  c->GetBrush()->SetColor(clOlive);
  c->FillRect(TRect(0, 0, size * cells, size));
  const TColor colours[] = {clRed, clBlue, clLime, clYellow};
  for (int i = 0; i < cells; ++i) {
    c->GetBrush()->SetColor(colours[i % 4]);
    c->FillRect(TRect(i * size + 2, 2, i * size + size - 2, size - 2));
    c->SetPixel(i * size + size / 2, size / 2, clBlack);
  }
  return b;
}

TEST_F(ButtonsTest, GroupedSpeedButtonsStayDownOneAtATime) {
  TForm* form = MakeForm();
  TSpeedButton* a = Speed(form, 10, 1);
  TSpeedButton* b = Speed(form, 60, 1);
  TSpeedButton* other = Speed(form, 110, 2);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  a->SetDown(true);
  other->SetDown(true);
  form->Show();
  ui.RunUntilIdle();
  ClickOn(b, 20, 15);
  EXPECT_TRUE(b->GetDown());
  EXPECT_FALSE(a->GetDown());
  EXPECT_TRUE(other->GetDown());  // another group
  EXPECT_EQ(clicks, 1);
  ui.Advance(1000);
  ClickOn(b, 20, 15);
  EXPECT_TRUE(b->GetDown());  // without AllowAllUp the down one stays down
  EXPECT_EQ(clicks, 2);
  b->SetAllowAllUp(true);
  EXPECT_TRUE(a->GetAllowAllUp());  // the group shares it
  ui.Advance(1000);
  ClickOn(b, 20, 15);
  EXPECT_FALSE(b->GetDown());
  // An ungrouped button never stays down.
  TSpeedButton* plain = Speed(form, 160, 0);
  plain->SetDown(true);
  EXPECT_FALSE(plain->GetDown());
}

TEST_F(ButtonsTest, SpeedButtonPressedLookFollowsThePointer) {
  TForm* form = MakeForm();
  TSpeedButton* b = Speed(form, 10, 0);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  ui.RunUntilIdle();
  const std::uint32_t white = 0xFFFFFF;
  EXPECT_EQ(PixelOf(b, 1, 1), white);  // raised
  POINT in = At(b, 20, 15), out = At(b, 200, 100);
  ui.MouseDown(in.x, in.y);
  EXPECT_EQ(b->State(), bsDown);
  EXPECT_NE(PixelOf(b, 1, 1), white);  // pressed
  ui.MoveTo(out.x, out.y);
  EXPECT_EQ(b->State(), bsUp);
  ui.MouseUp(out.x, out.y);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(PixelOf(b, 1, 1), white);
}

TEST_F(ButtonsTest, FlatSpeedButtonShowsItsFrameOnlyUnderTheMouse) {
  TForm* form = MakeForm();
  TSpeedButton* b = Speed(form, 10, 0);
  b->SetFlat(true);
  std::vector<std::string> events;
  b->OnMouseEnter = [&](TObject*) { events.push_back("enter"); };
  b->OnMouseLeave = [&](TObject*) { events.push_back("leave"); };
  form->Show();
  ui.RunUntilIdle();
  const std::uint32_t face = 0xC0C0C0, white = 0xFFFFFF;
  EXPECT_EQ(PixelOf(b, 0, 0), face);
  POINT in = At(b, 20, 15), out = At(b, 200, 100);
  ui.MoveTo(in.x, in.y);
  EXPECT_TRUE(b->MouseInControl());
  EXPECT_EQ(PixelOf(b, 0, 0), white);
  ui.MoveTo(out.x, out.y);
  EXPECT_EQ(PixelOf(b, 0, 0), face);
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(ButtonsTest, GlyphCellsAndLayout) {
  TForm* form = MakeForm();
  TSpeedButton* b = Speed(form, 10, 0);
  b->SetBounds(10, 10, 70, 40);
  TOwnedPtr<TBitmap> strip = Strip(2);
  b->SetGlyph(strip.get());
  EXPECT_EQ(b->GetNumGlyphs(), 2);  // two squares wide
  form->Show();
  ui.RunUntilIdle();
  // No caption: the glyph is centred; its up cell is red.
  TRect area(2, 2, 68, 38);
  int glyphLeft = area.left + (area.Width() - 16 + 1) / 2, glyphTop = area.top + (area.Height() - 16 + 1) / 2;
  EXPECT_EQ(PixelOf(b, glyphLeft + 4, glyphTop + 4), 0xFF0000u);
  EXPECT_EQ(PixelOf(b, glyphLeft + 1, glyphTop + 1), 0xC0C0C0u);  // the transparent colour shows the face
  // Disabled: the second cell (blue).
  b->SetEnabled(false);
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(b, glyphLeft + 4, glyphTop + 4), 0x0000FFu);
  // One cell: disabled is engraved, no colour of the glyph shows.
  TOwnedPtr<TBitmap> single = Strip(1);
  b->SetGlyph(single.get());
  EXPECT_EQ(b->GetNumGlyphs(), 1);
  ui.RunUntilIdle();
  EXPECT_NE(PixelOf(b, glyphLeft + 4, glyphTop + 4), 0xFF0000u);
  // Glyph left with a caption: the glyph at the margin.
  b->SetEnabled(true);
  b->SetCaption("Go");
  b->SetLayout(blGlyphLeft);
  b->SetMargin(4);
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(b, area.left + 4 + 4, glyphTop + 4), 0xFF0000u);
}

TEST_F(ButtonsTest, BitButtonKindsSetCaptionResultAndGlyph) {
  struct Case {
    TBitBtnKind kind;
    const char* caption;
    TModalResult result;
    bool isDefault, isCancel;
  };
  const Case cases[] = {
      {bkOK, "OK", mrOk, true, false},       {bkCancel, "Cancel", mrCancel, false, true},
      {bkYes, "&Yes", mrYes, true, false},   {bkNo, "&No", mrNo, false, true},
      {bkAbort, "Abort", mrAbort, false, false}, {bkRetry, "&Retry", mrRetry, false, false},
      {bkIgnore, "&Ignore", mrIgnore, false, false}, {bkAll, "&All", mrAll, false, false},
  };
  TForm* form = MakeForm();
  for (const Case& c : cases) {
    auto* b = NewComponent<TBitBtn>(form);
    b->SetKind(c.kind);
    EXPECT_EQ(b->GetCaption(), c.caption);
    EXPECT_EQ(b->GetModalResult(), c.result);
    EXPECT_EQ(b->GetDefault(), c.isDefault);
    EXPECT_EQ(b->GetCancel(), c.isCancel);
    EXPECT_FALSE(b->GetGlyph()->Empty());
    FreeObject(b);
  }
}

TEST_F(ButtonsTest, BitButtonIsOwnerDrawnAndEndsAModalForm) {
  auto form = MakeObject<TForm>(nullptr);
  form->SetBounds(100, 100, 320, 200);
  auto* ok = NewComponent<TBitBtn>(form.get());
  ok->SetParent(form.get());
  ok->SetBounds(20, 20, 90, 30);
  ok->SetKind(bkOK);
  auto* cancel = NewComponent<TBitBtn>(form.get());
  cancel->SetParent(form.get());
  cancel->SetBounds(120, 20, 90, 30);
  cancel->SetKind(bkCancel);
  std::uint32_t green = 0;
  bool ownerDrawn = false;
  ui.WhenModalWaits([&] {
    ownerDrawn = (GetWindowLongPtr(ok->GetHandle(), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 90; ++x)
        if (PixelOf(ok, x, y) == 0x008000u) green = 0x008000u;
    ui.Press(VK_ESCAPE);
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_TRUE(ownerDrawn);
  EXPECT_EQ(green, 0x008000u);  // the check mark of OK
  ui.WhenModalWaits([&] { ui.Press(VK_RETURN); });
  EXPECT_EQ(form->ShowModal(), mrOk);
  ui.WhenModalWaits([&] {
    POINT p = At(cancel, 45, 15);
    ui.Click(p.x, p.y);
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
}

}  // namespace
