#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Picture.h"
#include "support/Canvas.h"
#include "support/TempHome.h"

namespace {

struct Target {
  Target(int w, int h, std::uint32_t fill) : pixels(w, h, fill) { canvas.SetHandle(pixels.dc()); }
  ::Canvas pixels;
  TCanvas canvas;
};

std::vector<std::uint8_t> Saved(TGraphic& graphic) {
  TMemoryStream stream;
  graphic.SaveToStream(&stream);
  const auto* bytes = static_cast<const std::uint8_t*>(stream.Memory());
  return std::vector<std::uint8_t>(bytes, bytes + stream.Size());
}

void Load(TGraphic& graphic, const std::vector<std::uint8_t>& bytes) {
  TMemoryStream stream;
  if (!bytes.empty()) stream.Write(bytes.data(), static_cast<int>(bytes.size()));
  stream.SetPosition(0);
  graphic.LoadFromStream(&stream);
}

// A 6 x 6 icon: red with a transparent left column.
void MakeIcon(TIcon& icon) {
  TBitmap glyph;
  glyph.SetSize(6, 6);
  glyph.GetCanvas()->GetBrush()->SetColor(clRed);
  glyph.GetCanvas()->FillRect(TRect(0, 0, 6, 6));
  glyph.GetCanvas()->GetBrush()->SetColor(clFuchsia);
  glyph.GetCanvas()->FillRect(TRect(0, 0, 1, 6));
  TImageList list(6, 6);
  list.AddMasked(&glyph, clFuchsia);
  list.GetIcon(0, &icon);
}

TEST(Icon, SavedIconsLoadWithTheirTransparency) {
  TIcon icon;
  MakeIcon(icon);
  ASSERT_FALSE(icon.Empty());
  EXPECT_TRUE(icon.GetTransparent());
  EXPECT_THROW(icon.SetWidth(9), EInvalidOperation);
  const std::vector<std::uint8_t> bytes = Saved(icon);
  TIcon loaded;
  Load(loaded, bytes);
  EXPECT_EQ(loaded.GetWidth(), 6);
  EXPECT_EQ(loaded.GetHeight(), 6);
  Target t(8, 8, 0x0000FF);
  t.canvas.Draw(1, 1, &loaded);
  EXPECT_EQ(t.pixels.at(1, 3), 0x0000FFu);
  EXPECT_EQ(t.pixels.at(4, 3), 0xFF0000u);
  // An icon read from a file saves the same bytes.
  EXPECT_EQ(Saved(loaded), bytes);
  // Stretched.
  Target big(12, 12, 0x0000FF);
  big.canvas.StretchDraw(TRect(0, 0, 12, 12), &loaded);
  EXPECT_EQ(big.pixels.at(1, 6), 0x0000FFu);
  EXPECT_EQ(big.pixels.at(11, 11), 0xFF0000u);

  std::vector<std::uint8_t> broken(bytes.begin(), bytes.begin() + 30);
  EXPECT_THROW(Load(loaded, broken), EInvalidGraphic);
  EXPECT_THROW(Load(loaded, {}), EInvalidGraphic);
  EXPECT_EQ(loaded.GetWidth(), 6);
}

TEST(Icon, ImageMagickReadsSavedIcons) {
  if (std::system("/usr/bin/convert -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is not installed";
  TempHome home;
  TIcon icon;
  MakeIcon(icon);
  const std::string path = home.Path() + "/saved.ico";
  icon.SaveToFile(path);
  const std::string command = "/usr/bin/identify -format '%w %h' '" + path + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  int w = 0, h = 0;
  ASSERT_EQ(std::fscanf(pipe, "%d %d", &w, &h), 2);
  pclose(pipe);
  EXPECT_EQ(w, 6);
  EXPECT_EQ(h, 6);
}

TEST(Metafile, CanvasDrawingIsRecordedAndPlayedBack) {
  for (bool enhanced : {true, false}) {
    TMetafile metafile;
    metafile.SetEnhanced(enhanced);
    metafile.SetWidth(10);
    metafile.SetHeight(8);
    {
      TMetafileCanvas canvas(&metafile, nullptr);
      canvas.GetBrush()->SetColor(clBlue);
      canvas.FillRect(TRect(2, 2, 6, 6));
    }
    ASSERT_FALSE(metafile.Empty()) << enhanced;
    EXPECT_EQ(metafile.GetWidth(), 10);
    EXPECT_EQ(metafile.GetHeight(), 8);
    EXPECT_EQ(metafile.GetEnhanced(), enhanced);
    TMetafile copy;
    Load(copy, Saved(metafile));
    EXPECT_EQ(copy.GetEnhanced(), enhanced);
    Target t(10, 8, 0);
    t.canvas.Draw(0, 0, &copy);
    EXPECT_EQ(t.pixels.at(3, 3), 0x0000FFu) << enhanced;
    EXPECT_EQ(t.pixels.at(8, 1), 0xFFFFFFu) << enhanced;
    EXPECT_THROW(Load(copy, {1, 2, 3, 4}), EInvalidGraphic);
    EXPECT_EQ(copy.GetWidth(), 10);
  }
  // Without a size, the picture is as large as what was drawn.
  TMetafile unsized;
  {
    TMetafileCanvas canvas(&unsized, nullptr);
    canvas.GetBrush()->SetColor(clRed);
    canvas.FillRect(TRect(0, 0, 7, 3));
  }
  EXPECT_EQ(unsized.GetWidth(), 7);
  EXPECT_EQ(unsized.GetHeight(), 3);
}

TEST(Picture, FilesChooseTheGraphicByExtension) {
  TempHome home;
  TBitmap bitmap;
  bitmap.SetSize(3, 2);
  bitmap.GetCanvas()->SetPixel(0, 0, clRed);
  bitmap.SaveToFile(home.Path() + "/a.bmp");
  TIcon icon;
  MakeIcon(icon);
  icon.SaveToFile(home.Path() + "/a.ICO");  // extensions are matched without regard to case
  TMetafile metafile;
  metafile.SetWidth(4);
  metafile.SetHeight(4);
  { TMetafileCanvas canvas(&metafile, nullptr); }
  metafile.SaveToFile(home.Path() + "/a.emf");

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.LoadFromFile(home.Path() + "/a.bmp");
  EXPECT_TRUE(picture.GetGraphic()->InheritsFrom(TBitmap::StaticClass()));
  EXPECT_EQ(picture.GetBitmap()->GetCanvas()->GetPixel(0, 0), clRed);
  picture.LoadFromFile(home.Path() + "/a.ICO");
  EXPECT_TRUE(picture.GetGraphic()->InheritsFrom(TIcon::StaticClass()));
  EXPECT_EQ(picture.GetWidth(), 6);
  picture.LoadFromFile(home.Path() + "/a.emf");
  EXPECT_TRUE(picture.GetGraphic()->InheritsFrom(TMetafile::StaticClass()));
  EXPECT_EQ(changes, 3);
  EXPECT_THROW(picture.LoadFromFile(home.Path() + "/a.xyz"), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromFile(home.Path() + "/missing.bmp"), EFOpenError);
  EXPECT_TRUE(picture.GetGraphic()->InheritsFrom(TMetafile::StaticClass()));
  // Asking for a bitmap replaces the metafile with an empty bitmap.
  EXPECT_TRUE(picture.GetBitmap()->Empty());
  // Drawing on the picture's bitmap is a change of the picture.
  changes = 0;
  picture.GetBitmap()->SetSize(2, 2);
  picture.GetBitmap()->GetCanvas()->FillRect(TRect(0, 0, 1, 1));
  EXPECT_EQ(changes, 2);
}

TEST(Picture, AssignCopiesTheGraphic) {
  TPicture a, b;
  a.GetBitmap()->SetSize(2, 2);
  a.GetBitmap()->GetCanvas()->SetPixel(0, 0, clBlue);
  b.Assign(&a);
  ASSERT_NE(b.GetGraphic(), a.GetGraphic());
  EXPECT_EQ(b.GetBitmap()->GetCanvas()->GetPixel(0, 0), clBlue);
  b.GetBitmap()->GetCanvas()->SetPixel(0, 0, clRed);
  EXPECT_EQ(a.GetBitmap()->GetCanvas()->GetPixel(0, 0), clBlue);
  // A picture gives its bitmap to a bitmap, and takes a bitmap.
  TBitmap out;
  out.Assign(&a);
  EXPECT_EQ(out.GetCanvas()->GetPixel(0, 0), clBlue);
  TPicture c;
  c.Assign(&out);
  EXPECT_EQ(c.GetWidth(), 2);
  c.Assign(nullptr);
  EXPECT_EQ(c.GetGraphic(), nullptr);
}

}  // namespace
