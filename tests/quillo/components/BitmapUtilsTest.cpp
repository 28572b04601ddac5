// Bitmaps drawn with a transparent colour, greyed glyphs and colour swaps.

#include "ComponentFixture.h"

#include "quillo/components/utilities/BitmapUtils.h"

namespace {

class BitmapUtilsTest : public ComponentTest {
protected:
  // A 4 x 4 glyph: a red 2 x 2 square in the middle of fuchsia.
  TOwnedPtr<TBitmap> Glyph() {
    auto glyph = MakeObject<TBitmap>();
    glyph->SetSize(4, 4);
    TCanvas* c = glyph->GetCanvas();
    c->GetBrush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, 4, 4));
    c->GetBrush()->SetColor(clRed);
    c->FillRect(TRect(1, 1, 3, 3));
    return glyph;
  }
  TOwnedPtr<TBitmap> Canvas(TColor fill) {
    auto target = MakeObject<TBitmap>();
    target->SetSize(8, 8);
    target->GetCanvas()->GetBrush()->SetColor(fill);
    target->GetCanvas()->FillRect(TRect(0, 0, 8, 8));
    return target;
  }
  static COLORREF At(TBitmap* b, int x, int y) { return ColorToRGB(b->GetCanvas()->GetPixel(x, y)); }
};

TEST_F(BitmapUtilsTest, TheTransparentColourLeavesTheBackgroundShowing) {
  auto glyph = Glyph();
  auto target = Canvas(clBlue);
  DrawBitmapTransparent(target->GetCanvas(), 2, 2, glyph.get(), clFuchsia);
  EXPECT_EQ(At(target.get(), 2, 2), ColorToRGB(clBlue));
  EXPECT_EQ(At(target.get(), 3, 3), ColorToRGB(clRed));
  EXPECT_EQ(At(target.get(), 4, 4), ColorToRGB(clRed));
  EXPECT_EQ(At(target.get(), 5, 5), ColorToRGB(clBlue));
  // clDefault takes the bottom-left pixel's colour; clNone copies everything.
  auto second = Canvas(clBlue);
  DrawBitmapTransparent(second->GetCanvas(), 0, 0, glyph.get(), clDefault);
  EXPECT_EQ(At(second.get(), 0, 0), ColorToRGB(clBlue));
  DrawBitmapTransparent(second->GetCanvas(), 0, 0, glyph.get(), clNone);
  EXPECT_EQ(At(second.get(), 0, 0), ColorToRGB(clFuchsia));
}

TEST_F(BitmapUtilsTest, StretchedTransparentDrawing) {
  auto glyph = Glyph();
  auto target = Canvas(clLime);
  StretchBitmapRectTransparent(target->GetCanvas(), 0, 0, 8, 8, TRect(), glyph.get(), clFuchsia);
  EXPECT_EQ(At(target.get(), 0, 0), ColorToRGB(clLime));
  EXPECT_EQ(At(target.get(), 3, 3), ColorToRGB(clRed));
  EXPECT_EQ(At(target.get(), 7, 7), ColorToRGB(clLime));
}

TEST_F(BitmapUtilsTest, ASwappedColour) {
  auto glyph = Glyph();
  auto swapped = ChangeBitmapColor(glyph.get(), clFuchsia, clYellow);
  EXPECT_EQ(At(swapped.get(), 0, 0), ColorToRGB(clYellow));
  EXPECT_EQ(At(swapped.get(), 1, 1), ColorToRGB(clRed));
}

TEST_F(BitmapUtilsTest, ADisabledGlyphIsItsShapeInShadowWithAHighlight) {
  auto glyph = Glyph();
  auto disabled = CreateDisabledBitmapEx(glyph.get(), clFuchsia, clSilver, clWhite, clGray, true);
  EXPECT_EQ(At(disabled.get(), 0, 0), ColorToRGB(clSilver));
  EXPECT_EQ(At(disabled.get(), 1, 1), ColorToRGB(clGray));
  EXPECT_EQ(At(disabled.get(), 2, 2), ColorToRGB(clGray));
  EXPECT_EQ(At(disabled.get(), 3, 3), ColorToRGB(clWhite));  // the highlight one pixel down and right
  auto flat = CreateDisabledBitmapEx(glyph.get(), clFuchsia, clSilver, clWhite, clGray, false);
  EXPECT_EQ(At(flat.get(), 3, 3), ColorToRGB(clSilver));
}

TEST_F(BitmapUtilsTest, ShadingDarkensSomePixelsOnly) {
  auto target = Canvas(clWhite);
  ShadeRect(target->GetCanvas()->GetHandle(), TRect(0, 0, 8, 8));
  int dark = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) dark += At(target.get(), x, y) != ColorToRGB(clWhite);
  EXPECT_GT(dark, 0);
  EXPECT_LT(dark, 64);
}

TEST_F(BitmapUtilsTest, AMissingResourceIsNamed) {
  try {
    MakeBitmap("NO_SUCH_BITMAP");
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_NE(e.Message.find("NO_SUCH_BITMAP"), std::string::npos);
  }
  EXPECT_THROW(MakeBitmapID(31999), EResNotFound);
}

TEST_F(BitmapUtilsTest, ARotatedFont) {
  auto font = MakeObject<TFont>();
  font->SetStyle(fsBold);
  HFONT rotated = CreateRotatedFont(font.get(), 90);
  ASSERT_NE(rotated, nullptr);
  LOGFONT lf{};
  GetObject(rotated, sizeof lf, &lf);
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  DeleteObject(rotated);
}

}  // namespace
