// The shadow label: DrawShadowText on a bitmap for each shadow position, the label's text and
// shadow in pixels (enabled and disabled), auto size, margins, the accelerator and its
// focus rectangle, and mouse entry and exit.

#include "../captions/CaptionFixture.h"

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/labels/ExLabel.h"

namespace {

TEST_F(CaptionUiTest, DrawShadowTextPutsTheShadowOnItsSideAndMeasuresBoth) {
  struct Case {
    TShadowPosition pos;
    int dx, dy;
  } cases[] = {{spLeftTop, -2, -2}, {spLeftBottom, -2, 2}, {spRightBottom, 2, 2}, {spRightTop, 2, -2}};
  for (const Case& c : cases) {
    EXPECT_EQ(ShadowOffset(2, c.pos).x, c.dx);
    EXPECT_EQ(ShadowOffset(2, c.pos).y, c.dy);
    TOwnedPtr<TBitmap> bitmap = MakeObject<TBitmap>();
    bitmap->SetWidth(60);
    bitmap->SetHeight(40);
    TCanvas* canvas = bitmap->GetCanvas();
    canvas->GetBrush()->SetColor(clWhite);
    canvas->FillRect(TRect(0, 0, 60, 40));
    HDC dc = canvas->GetHandle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT measure{10, 10, 50, 30};
    RECT plain = measure;
    const int plainHeight = DrawText(dc, "H", 1, &plain, DT_CALCRECT);
    EXPECT_EQ(DrawShadowText(dc, "H", 1, measure, DT_CALCRECT, 2, RGB(255, 0, 0), c.pos), plainHeight + 2);
    EXPECT_EQ(measure.right - measure.left, plain.right - plain.left + 2);
    EXPECT_EQ(measure.bottom - measure.top, plain.bottom - plain.top + 2);
    RECT draw{20, 12, 50, 35};
    DrawShadowText(dc, "H", 1, draw, DT_LEFT, 2, RGB(255, 0, 0), c.pos);
    // Every black pixel's shadow twin is inked (the shadow, or text over it); some red shows.
    int black = 0, red = 0;
    for (int y = 2; y < 38; ++y)
      for (int x = 2; x < 58; ++x) {
        COLORREF p = GetPixel(dc, x, y);
        if (p == RGB(255, 0, 0)) ++red;
        if (p != RGB(0, 0, 0)) continue;
        ++black;
        COLORREF twin = GetPixel(dc, x + c.dx, y + c.dy);
        EXPECT_NE(twin, RGB(255, 255, 255)) << c.pos << " at " << x << "," << y;
      }
    EXPECT_GT(black, 5) << c.pos;
    EXPECT_GT(red, 2) << c.pos;
  }
}

class ExLabelTest : public CaptionUiTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetBounds(100, 100, 400, 200);
    form->SetColor(clBtnFace);
    label = NewComponent<TExLabel>(form);
    label->SetParent(form);
    label->SetLeft(20);
    label->SetTop(20);
    label->SetCaption("&Shadow");
    edit = NewComponent<TEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(20, 80, 100, 21);
    other = NewComponent<TEdit>(form);
    other->SetParent(form);
    other->SetBounds(150, 80, 100, 21);
    form->Show();
    other->SetFocus();
    ui.RunUntilIdle();
  }
  int Count(std::uint32_t colour) {
    int n = 0;
    for (int y = 0; y < label->GetHeight(); ++y)
      for (int x = 0; x < label->GetWidth(); ++x) {
        POINT p = At(label, x, y);
        n += ui.Pixel(p.x, p.y) == colour;
      }
    return n;
  }
  TForm* form = nullptr;
  TExLabel* label = nullptr;
  TEdit* edit = nullptr;
  TEdit* other = nullptr;
};

TEST_F(ExLabelTest, NewLabelDefaultsAndAutoSize) {
  auto* fresh = NewComponent<TExLabel>(form);
  EXPECT_EQ(fresh->GetWidth(), 65);
  EXPECT_EQ(fresh->GetHeight(), 17);
  EXPECT_EQ(fresh->GetShadowSize(), 1);
  EXPECT_EQ(fresh->GetShadowPos(), spLeftTop);
  EXPECT_EQ(fresh->GetShadowColor(), clBtnHighlight);
  EXPECT_TRUE(fresh->GetAutoSize());
  EXPECT_FALSE(fresh->GetTransparent());
  fresh->SetParent(form);
  fresh->SetCaption("x");
  fresh->SetCaption("");
  EXPECT_GT(fresh->GetHeight(), 5);  // an empty label still has a line's height
  fresh->SetLeftMargin(-5);
  EXPECT_EQ(fresh->GetLeftMargin(), 0);
  for (const char* name : {"ShadowColor", "ShadowSize", "ShadowPos", "ShowFocus", "Layout", "FocusControl"})
    EXPECT_NE(GetPropInfo(fresh, name), nullptr) << name;
  EXPECT_EQ(GetPropInfo(fresh, "LeftMargin"), nullptr);
}

TEST_F(ExLabelTest, ShadowAndTextInPixels) {
  label->GetFont()->SetSize(20);
  label->GetFont()->SetStyle(fsBold);
  label->SetShadowColor(clRed);
  label->SetShadowSize(2);
  label->SetShadowPos(spRightBottom);
  ui.RunUntilIdle();
  EXPECT_GT(Count(Rgb(clWindowText)), 10);
  EXPECT_GT(Count(Rgb(clRed)), 10);
  // ShadowSize 0: the shadow lies under the text exactly.
  label->SetShadowSize(0);
  ui.RunUntilIdle();
  EXPECT_EQ(Count(Rgb(clRed)), 0);
  // Disabled: grey text with a highlight to the lower right.
  label->SetEnabled(false);
  ui.RunUntilIdle();
  EXPECT_GT(Count(Rgb(clGrayText)), 10);
  EXPECT_GT(Count(Rgb(clBtnHighlight)), 5);
  EXPECT_EQ(Count(Rgb(clWindowText)), 0);
}

TEST_F(ExLabelTest, RightJustifiedAutoSizeKeepsItsRightEdge) {
  label->SetAlignment(taRightJustify);
  label->SetCaption("ab");
  const int right = label->GetLeft() + label->GetWidth();
  label->SetCaption("a much longer caption");
  EXPECT_EQ(label->GetLeft() + label->GetWidth(), right);
  EXPECT_GT(label->GetWidth(), 60);
}

TEST_F(ExLabelTest, AcceleratorFocusesTheControlUnlessAccelCharsAreOff) {
  label->SetFocusControl(edit);
  ui.KeyDown(VK_MENU);
  ui.Press('S');
  ui.KeyUp(VK_MENU);
  EXPECT_EQ(form->GetActiveControl(), edit);
  other->SetFocus();
  label->SetShowAccelChar(false);
  ui.KeyDown(VK_MENU);
  ui.Press('S');
  ui.KeyUp(VK_MENU);
  EXPECT_EQ(form->GetActiveControl(), other);
}

TEST_F(ExLabelTest, FocusRectangleWhileTheLabelledControlHasTheFocus) {
  label->SetFocusControl(edit);
  label->SetShowFocus(true);
  label->SetShadowSize(0);  // plain text, as most of the program's labels
  label->SetColor(clWhite);
  ui.RunUntilIdle();
  // The focus rectangle's dots down the label's left edge.
  auto edgeInk = [&] {
    int ink = 0;
    for (int y = 0; y < label->GetHeight(); ++y) {
      POINT p = At(label, 0, y);
      ink += ui.Pixel(p.x, p.y) != Rgb(clWhite);
    }
    return ink;
  };
  EXPECT_EQ(edgeInk(), 0);
  edit->SetFocus();
  ui.RunUntilIdle();
  EXPECT_GT(edgeInk(), 3);
  other->SetFocus();
  ui.RunUntilIdle();
  EXPECT_EQ(edgeInk(), 0);
}

TEST_F(ExLabelTest, MouseEntryAndExit) {
  int entered = 0, left = 0;
  label->OnMouseEnter = [&](TObject*) { ++entered; };
  label->OnMouseLeave = [&](TObject*) { ++left; };
  POINT inside = At(label, 3, 3);
  ui.MoveTo(inside.x, inside.y);
  EXPECT_EQ(entered, 1);
  EXPECT_TRUE(label->MouseInControl());
  POINT outside = At(label, 3, 60);
  ui.MoveTo(outside.x, outside.y);
  EXPECT_EQ(left, 1);
  EXPECT_FALSE(label->MouseInControl());
}

}  // namespace
