#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/Display.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/ImageList.h"
#include "support/Canvas.h"

namespace {

// An 8 x 8 picture on the key colour (fuchsia) with a square of colour at (2, 2)-(5, 5)
// and a white pixel at (6, 1).
std::unique_ptr<TBitmap> Glyph(TColor colour) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(8, 8);
  b->GetCanvas()->GetBrush()->SetColor(clFuchsia);
  b->GetCanvas()->FillRect(TRect(0, 0, 8, 8));
  b->GetCanvas()->GetBrush()->SetColor(colour);
  b->GetCanvas()->FillRect(TRect(2, 2, 5, 5));
  b->GetCanvas()->SetPixel(6, 1, clWhite);
  return b;
}

struct Target {
  explicit Target(std::uint32_t fill) : pixels(10, 10, fill) { canvas.SetHandle(pixels.dc()); }
  ::Canvas pixels;
  TCanvas canvas;
};

TEST(VclImageList, MaskedImagesDrawInTheListsStyle) {
  TImageList list(8, 8);
  EXPECT_EQ(list.AddMasked(Glyph(clRed).get(), clFuchsia), 0);
  EXPECT_EQ(list.AddMasked(Glyph(clBlue).get(), clDefault), 1);  // the glyph's own transparent colour
  EXPECT_EQ(list.GetCount(), 2);
  Target t(0x00FF00);
  list.Draw(&t.canvas, 1, 1, 1);
  EXPECT_EQ(t.pixels.at(3, 3), 0x0000FFu);
  EXPECT_EQ(t.pixels.at(1, 1), 0x00FF00u);
  // A background colour fills the transparent pixels unless the style is transparent.
  list.SetBkColor(clYellow);
  list.Draw(&t.canvas, 1, 1, 0);
  EXPECT_EQ(t.pixels.at(1, 1), 0xFFFF00u);
  EXPECT_EQ(t.pixels.at(3, 3), 0xFF0000u);
  list.Draw(&t.canvas, 1, 1, 1, dsTransparent, itImage);
  EXPECT_EQ(t.pixels.at(3, 3), 0x0000FFu);
  EXPECT_EQ(t.pixels.at(1, 1), 0xFFFF00u);
  Target fresh(0x00FF00);
  list.Draw(&fresh.canvas, 1, 1, 1, dsTransparent, itImage);
  EXPECT_EQ(fresh.pixels.at(1, 1), 0x00FF00u);
  // The mask alone: white where transparent.
  list.Draw(&fresh.canvas, 0, 0, 1, dsNormal, itMask);
  EXPECT_EQ(fresh.pixels.at(0, 0), 0xFFFFFFu);
  EXPECT_EQ(fresh.pixels.at(3, 3), 0x000000u);
}

TEST(VclImageList, DisabledImagesAreEmbossed) {
  ResetDisplaySettings();
  TImageList list(8, 8);
  list.AddMasked(Glyph(clRed).get(), clFuchsia);
  const std::uint32_t face = PixelFromColor(GetSysColor(COLOR_BTNFACE));
  const std::uint32_t shadow = PixelFromColor(GetSysColor(COLOR_BTNSHADOW));
  const std::uint32_t highlight = PixelFromColor(GetSysColor(COLOR_BTNHIGHLIGHT));
  Target t(face);
  t.canvas.GetBrush()->SetColor(clLime);
  list.Draw(&t.canvas, 0, 0, 0, false);
  EXPECT_EQ(t.pixels.at(2, 2), shadow);     // the square, in shadow
  EXPECT_EQ(t.pixels.at(4, 4), shadow);
  EXPECT_EQ(t.pixels.at(5, 5), highlight);  // its copy one pixel right and down
  EXPECT_EQ(t.pixels.at(5, 3), highlight);
  EXPECT_EQ(t.pixels.at(6, 1), face);       // white pixels vanish
  EXPECT_EQ(t.pixels.at(0, 0), face);       // transparent ones too
  EXPECT_EQ(t.canvas.GetBrush()->GetColor(), clLime);
}

TEST(VclImageList, ImagesAreCheckedAndIndexesKeptInOrder) {
  TImageList list(8, 8);
  TBitmap small;
  small.SetSize(4, 8);
  EXPECT_THROW(list.Add(&small, nullptr), EInvalidOperation);
  const TColor colours[] = {clRed, clLime, clBlue};
  for (TColor c : colours) list.AddMasked(Glyph(c).get(), clFuchsia);
  auto colourAt = [&](int index) {
    TBitmap b;
    list.GetBitmap(index, &b);
    return b.GetCanvas()->GetPixel(3, 3);
  };
  list.Move(0, 2);
  EXPECT_EQ(colourAt(0), clLime);
  EXPECT_EQ(colourAt(2), clRed);
  list.InsertMasked(1, Glyph(clYellow).get(), clFuchsia);
  EXPECT_EQ(colourAt(1), clYellow);
  EXPECT_EQ(colourAt(2), clBlue);
  list.ReplaceMasked(0, Glyph(clNavy).get(), clFuchsia);
  EXPECT_EQ(colourAt(0), clNavy);
  EXPECT_EQ(list.GetCount(), 4);
  list.Delete(1);
  EXPECT_EQ(colourAt(1), clBlue);
  EXPECT_THROW(list.Delete(3), EInvalidOperation);
  EXPECT_THROW(list.Replace(7, Glyph(clRed).get(), nullptr), EInvalidOperation);
  list.SetWidth(16);
  EXPECT_EQ(list.GetCount(), 0);
}

TEST(VclImageList, ChangeLinksHearOfChanges) {
  auto list = std::make_unique<TImageList>(8, 8);
  TChangeLink link;
  std::vector<TObject*> heard;
  link.OnChange = [&](TObject* sender) { heard.push_back(sender); };
  list->RegisterChanges(&link);
  list->AddMasked(Glyph(clRed).get(), clFuchsia);
  list->Delete(0);
  EXPECT_EQ(heard, (std::vector<TObject*>{list.get(), list.get()}));
  {
    TChangeLink gone;
    list->RegisterChanges(&gone);
  }
  list->Clear();  // the freed link has left the list
  EXPECT_EQ(heard.size(), 3u);
  list.reset();
  EXPECT_EQ(link.Sender, nullptr);
}

TEST(VclImageList, IconsOverlaysAndCopies) {
  TImageList list(8, 8);
  list.AddMasked(Glyph(clRed).get(), clFuchsia);
  TIcon icon;
  list.GetIcon(0, &icon);
  EXPECT_EQ(icon.GetWidth(), 8);
  EXPECT_EQ(list.AddIcon(&icon), 1);
  list.AddMasked(Glyph(clBlue).get(), clFuchsia);
  // Overlay 0 is image 2 (blue), over image 1 (red, from the icon).
  ASSERT_TRUE(list.Overlay(2, 0));
  Target t(0x00FF00);
  list.DrawOverlay(&t.canvas, 0, 0, 1, 0);
  EXPECT_EQ(t.pixels.at(3, 3), 0x0000FFu);
  EXPECT_EQ(t.pixels.at(0, 0), 0x00FF00u);
  TImageList copy;
  copy.Assign(&list);
  EXPECT_EQ(copy.GetWidth(), 8);
  EXPECT_EQ(copy.GetCount(), 3);
  Target c(0x00FF00);
  copy.Draw(&c.canvas, 0, 0, 1);
  EXPECT_EQ(c.pixels.at(3, 3), 0xFF0000u);
  EXPECT_EQ(c.pixels.at(0, 0), 0x00FF00u);
}

}  // namespace
