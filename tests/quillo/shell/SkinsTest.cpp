#include "quillo/base/Skins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "SkinFixture.h"
#include "platform/gdi/Display.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Picture.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "platform/gdi/Gdi.h"
#include "quillo/base/Settings.h"
#include "vorlen/formats/GFXFile.h"
#include "quillo/base/SkinGlyphs.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"

namespace {

using SkinFixture::IconColour;

// A pixel of the fixture as a framework colour (0x00BBGGRR).
TColor AsColour(std::uint32_t pixel) {
  return static_cast<TColor>(((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF));
}

std::uint32_t FacePixel() {
  const DWORD face = GetSysColor(COLOR_BTNFACE);
  return ((face & 0xFF) << 16) | (face & 0xFF00) | ((face >> 16) & 0xFF);
}

// (weight * key + (4 - weight) * face) / 4 per channel.
std::uint32_t Blended(std::uint32_t key, int weight) {
  const std::uint32_t face = FacePixel();
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int k = static_cast<int>((key >> shift) & 0xFF), f = static_cast<int>((face >> shift) & 0xFF);
    out |= static_cast<std::uint32_t>((weight * k + (4 - weight) * f) / 4) << shift;
  }
  return out;
}

// A pixel of a GDI bitmap as 0x00RRGGBB, read through a top-down 32-bit DIB copy.
std::uint32_t BitmapPixel(HBITMAP bitmap, int x, int y) {
  BITMAP size{};
  GetObject(bitmap, sizeof size, &size);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size.bmWidth;
  info.bmiHeader.biHeight = -size.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size.bmWidth) * size.bmHeight);
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(size.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  return pixels[static_cast<std::size_t>(y) * size.bmWidth + x] & 0xFFFFFF;
}

std::uint32_t MenuPixel() {
  const COLORREF menu = ColorToRGB(clMenu);
  return ((menu & 0xFF) << 16) | (menu & 0xFF00) | ((menu >> 16) & 0xFF);
}

TColor PixelOf(TBitmap* bitmap, int x, int y) { return bitmap->GetCanvas()->GetPixel(x, y); }

class SkinsTest : public ::testing::Test {
protected:
  SkinsTest() {
    folder = home.Path() + "/Skins/";
    std::filesystem::create_directories(folder);
    Settings = TSettings{};
  }
  ~SkinsTest() override {
    ResetApplication();
    Settings = TSettings{};
  }

  // A manager on the test's skin folder with the fixture skin "Tiny" loaded.
  std::unique_ptr<SkinManager> LoadedTiny(const SkinFixtureLayout& layout = {}) {
    SkinFixture::Write(folder, "Tiny", layout);
    auto skins = std::make_unique<SkinManager>(folder);
    skins->Load("Tiny");
    return skins;
  }

  TempHome home;
  UiDriver ui;
  std::string folder;
};

TEST(SkinHeaderTest, EveryDigitOfTheFontReadsBack) {
  for (int digit = 0; digit <= 9; ++digit) {
    Buffer image;
    image.Alloc(Pair<int>(8, 6));
    image.Box(image.rect, SkinFixture::Reference);
    SkinFixture::DrawDigit(image, 2, digit);
    EXPECT_EQ(ReadSkinDigit(image, 2), digit);
  }
}

TEST(SkinHeaderTest, NumbersAndStripGeometryComeFromTheHeaderAndTheImageWidth) {
  Buffer image;
  SkinFixture::Draw(image);
  const SkinLayout l = ReadSkinHeader(image);
  EXPECT_EQ(l.Rows1, 3);  // the header's first number reads 03
  EXPECT_EQ(l.Width1, 6);
  EXPECT_EQ(l.Height1, 5);
  EXPECT_EQ(l.Rows2, 2);
  EXPECT_EQ(l.Width2, 4);
  EXPECT_EQ(l.Height2, 4);
  EXPECT_EQ(l.Columns1, 10);  // (69 + 1) / 7
  EXPECT_EQ(l.Columns2, 14);  // (69 + 1) / 5
  EXPECT_EQ(l.Top2, 24);      // 3 rows of 5 + 1, under the 6 header rows
}

TEST(SkinHeaderTest, TwoDigitNumbersReadTensThenUnits) {
  SkinFixtureLayout layout;
  layout.rows1 = 12;
  layout.width1 = 20;
  layout.height1 = 19;
  layout.rows2 = 0;
  layout.imageWidth = 230;
  Buffer image;
  SkinFixture::Draw(image, layout);
  const SkinLayout l = ReadSkinHeader(image);
  EXPECT_EQ(l.Rows1, 12);
  EXPECT_EQ(l.Width1, 20);
  EXPECT_EQ(l.Height1, 19);
  EXPECT_EQ(l.Columns1, 11);
  EXPECT_EQ(l.Rows2, 0);
}

// Headers that do not fit their image: each is refused with the damaged-skin message.
TEST(SkinHeaderTest, HeadersThatClaimMoreThanTheImageHoldsAreRefused) {
  struct Case {
    const char* what;
    SkinFixtureLayout layout;
    int cropWidth;   // 0: the whole image
    int cropHeight;
  };
  const std::vector<Case> cases = {
      {"narrower than the header", {}, 67, 0},
      {"lower than the header", {}, 0, 5},
      {"icons wider than the image", {3, 99, 5, 2, 4, 4, 69}, 0, 0},
      {"second strip icons wider than the image", {3, 6, 5, 2, 80, 4, 69}, 0, 0},
      {"more rows than the image holds", {3, 6, 5, 2, 4, 4, 69}, 0, 30},
      {"icons without width", {3, 0, 5, 2, 4, 4, 69}, 0, 0},
      {"icons without height", {3, 6, 0, 2, 4, 4, 69}, 0, 0},
      {"no icon rows", {0, 6, 5, 2, 4, 4, 69}, 0, 0},
  };
  for (const Case& c : cases) {
    Buffer full;
    SkinFixture::Draw(full, c.layout);
    const int w = c.cropWidth ? c.cropWidth : full.Width();
    const int h = c.cropHeight ? c.cropHeight : full.Height();
    Buffer image;
    image.Alloc(Pair<int>(w, h));
    image.Copy(full, Pair<int>(0, 0), Buffer::kPlain);
    try {
      ReadSkinHeader(image);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const ESkinError& e) {
      EXPECT_EQ(e.Message.rfind(SkinText::Damaged, 0), 0u) << c.what << ": " << e.Message;
    }
  }
}

TEST_F(SkinsTest, IconsAreCutByGlyphIndexFromBothStrips) {
  auto skins = LoadedTiny();
  // Tag 1: top-left of the first strip; 12: second row, second column; 30: last of the
  // strip; 1001: top-left of the second strip; 1016: second row, third column.
  for (int index : {1, 2, 10, 11, 12, 30, 1001, 1014, 1016, 1028}) {
    TOwnedPtr<TBitmap> icon = skins->IconBitmap(index);
    ASSERT_TRUE(icon) << index;
    const int size = index > 1000 ? 4 : 6;
    const int height = index > 1000 ? 4 : 5;
    EXPECT_EQ(icon->GetWidth(), size) << index;
    EXPECT_EQ(icon->GetHeight(), height) << index;
    EXPECT_EQ(PixelOf(icon.get(), 0, 1), AsColour(IconColour(index))) << index;
    EXPECT_EQ(PixelOf(icon.get(), size - 1, height - 1), AsColour(IconColour(index))) << index;
  }
  // Past the strips: no icon.
  EXPECT_FALSE(skins->IconBitmap(31));
  EXPECT_FALSE(skins->IconBitmap(1029));
  EXPECT_FALSE(skins->IconBitmap(0));
}

TEST_F(SkinsTest, BackgroundTakesTheButtonFaceAndKeysBlendTowardIt) {
  auto skins = LoadedTiny();
  for (int index : {1, 17, 1001, 1020}) {
    TOwnedPtr<TBitmap> icon = skins->IconBitmap(index);
    const int height = icon->GetHeight();
    EXPECT_EQ(PixelOf(icon.get(), 0, height - 1), AsColour(FacePixel())) << index;
    EXPECT_EQ(PixelOf(icon.get(), 1, 0), AsColour(Blended(SkinFixture::LightKey, 3))) << index;
    EXPECT_EQ(PixelOf(icon.get(), 2, 0), AsColour(Blended(SkinFixture::MiddleKey, 2))) << index;
    EXPECT_EQ(PixelOf(icon.get(), 3, 0), AsColour(Blended(SkinFixture::DarkKey, 1))) << index;
  }
}

TEST_F(SkinsTest, KeyPixelsOutsideTheIconCellsAreLeftAlone) {
  auto skins = LoadedTiny();
  // The fixture puts the light key on the separator line under the first icon, (0, 11).
  const BITMAPINFOHEADER& info = skins->BitmapInfo();
  ASSERT_EQ(info.biBitCount, 24);
  ASSERT_EQ(info.biHeight, SkinFixture::ImageHeight({}));
  const std::size_t stride = (static_cast<std::size_t>(info.biWidth) * 3 + 3) & ~std::size_t{3};
  const unsigned char* row = skins->Bits().data() + stride * static_cast<std::size_t>(info.biHeight - 1 - 11);
  const std::uint32_t pixel = row[0] | (row[1] << 8) | (row[2] << 16);
  EXPECT_EQ(pixel, SkinFixture::LightKey);
}

TEST_F(SkinsTest, ComponentsTakeTheirIconsDownToTheInnermostOwned) {
  auto skins = LoadedTiny();
  TForm* form = Application()->CreateForm<TForm>();
  auto* panel = NewComponent<TPanel>(form);
  panel->SetParent(form);
  // Buttons owned by the panel, which the form owns.
  auto* toolbarButton = NewComponent<tbx::TToolbarButtonX>(panel);
  toolbarButton->SetTag(1);
  auto* arrowButton = NewComponent<tbx::TToolbarButtonX>(panel);
  arrowButton->SetDropdownAlways(true);  // shows its arrow
  arrowButton->SetTag(2);
  auto* speedButton = NewComponent<TSpeedButton>(panel);
  speedButton->SetTag(3);
  auto* captioned = NewComponent<TSpeedButton>(panel);
  captioned->SetCaption("Go");
  captioned->SetWidth(50);
  captioned->SetTag(4);
  auto* image = NewComponent<TImage>(form);
  image->SetTag(5);
  auto* untagged = NewComponent<tbx::TToolbarButtonX>(form);
  untagged->SetWidth(33);
  auto* item = NewComponent<TMenuItem>(form);
  item->SetTag(SkinGlyph::MenuNew);
  // Only the low 11 bits name the icon.
  auto* highBits = NewComponent<TSpeedButton>(form);
  highBits->SetTag(0x1000 | 6);

  skins->ApplyToComponent(form);

  EXPECT_EQ(toolbarButton->GetWidth(), 10);
  EXPECT_EQ(toolbarButton->GetHeight(), 9);
  EXPECT_EQ(PixelOf(toolbarButton->GetGlyph(), 0, 1), AsColour(IconColour(1)));
  EXPECT_EQ(arrowButton->GetWidth(), 18);  // 8 more for the drop-down arrow
  EXPECT_EQ(PixelOf(arrowButton->GetGlyph(), 0, 1), AsColour(IconColour(2)));
  EXPECT_EQ(speedButton->GetWidth(), 10);
  EXPECT_EQ(speedButton->GetHeight(), 11);
  EXPECT_EQ(PixelOf(speedButton->GetGlyph(), 0, 1), AsColour(IconColour(3)));
  EXPECT_EQ(captioned->GetWidth(), 50);  // a caption keeps its width
  EXPECT_EQ(captioned->GetHeight(), 11);
  EXPECT_EQ(image->GetWidth(), 6);
  EXPECT_EQ(image->GetHeight(), 5);
  EXPECT_EQ(PixelOf(image->GetPicture()->GetBitmap(), 0, 1), AsColour(IconColour(5)));
  EXPECT_EQ(untagged->GetWidth(), 33);
  EXPECT_TRUE(untagged->GetGlyph()->Empty());
  ASSERT_FALSE(item->GetBitmap()->Empty());
  EXPECT_EQ(PixelOf(item->GetBitmap(), 0, 1), AsColour(IconColour(1001)));
  EXPECT_EQ(item->GetBitmap()->GetTransparentMode(), tmAuto);
  EXPECT_EQ(PixelOf(highBits->GetGlyph(), 0, 1), AsColour(IconColour(6)));
}

TEST_F(SkinsTest, ImageListsTakeTheCountAndStripTheirTagNames) {
  auto skins = LoadedTiny();
  TForm* form = Application()->CreateForm<TForm>();
  auto* menuIcons = NewComponent<TImageList>(form);
  menuIcons->SetTag(0x40A);  // ten icons of the second strip
  auto* toolIcons = NewComponent<TImageList>(form);
  toolIcons->SetTag(7);  // seven of the first
  auto* tooMany = NewComponent<TImageList>(form);
  tooMany->SetTag(0x2FF);  // more than the strip holds: as many as it has

  skins->ApplyToComponent(form);

  ASSERT_EQ(menuIcons->GetCount(), 10);
  EXPECT_EQ(menuIcons->GetWidth(), 4);
  EXPECT_EQ(menuIcons->GetHeight(), 4);
  ASSERT_EQ(toolIcons->GetCount(), 7);
  EXPECT_EQ(toolIcons->GetWidth(), 6);
  EXPECT_EQ(tooMany->GetCount(), 30);
  for (int i : {0, 9}) {
    auto bitmap = MakeObject<TBitmap>();
    menuIcons->GetBitmap(i, bitmap.get());
    EXPECT_EQ(PixelOf(bitmap.get(), 0, 1), AsColour(IconColour(1001 + i))) << i;
  }
  auto bitmap = MakeObject<TBitmap>();
  toolIcons->GetBitmap(6, bitmap.get());
  EXPECT_EQ(PixelOf(bitmap.get(), 0, 1), AsColour(IconColour(7)));
}

TEST_F(SkinsTest, GetIconDrawsTheFirstStripsIconOrABlankOne) {
  SkinManager none(folder);
  TOwnedPtr<TBitmap> blank = none.GetIcon(3);
  EXPECT_EQ(blank->GetWidth(), 20);  // the default size while no skin is loaded
  EXPECT_EQ(PixelOf(blank.get(), 5, 5), AsColour(FacePixel()));

  auto skins = LoadedTiny();
  TOwnedPtr<TBitmap> icon = skins->GetIcon(3);
  EXPECT_EQ(icon->GetWidth(), 6);
  EXPECT_EQ(PixelOf(icon.get(), 0, 1), AsColour(IconColour(3)));
  EXPECT_EQ(PixelOf(skins->GetIcon(99).get(), 0, 1), AsColour(FacePixel()));
}

TEST_F(SkinsTest, TheListNamesEverySkinFileInItsOwnCase) {
  SkinFixture::Write(folder, "Tiny", {});
  SkinFixture::Write(folder, "standard SHADED", {});
  home.WriteFile("Skins/readme.txt", "not a skin");
  SkinManager skins(folder);
  std::vector<std::string> names;
  for (int i = 0; i < skins.Names()->Count(); ++i) names.push_back(skins.Names()->Strings(i));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Standard shaded", "Tiny"}));
  // The listed name finds its file whatever case the file is spelt in.
  skins.Load("Standard shaded");
  EXPECT_TRUE(skins.Loaded());
  EXPECT_EQ(skins.LoadedName(), "Standard shaded");
}

// A file that cannot be read, or reads as an image that is no skin, is refused and the skin
// loaded before stays in use, glyphs and all.
TEST_F(SkinsTest, RefusedSkinsKeepTheSkinInUse) {
  auto skins = LoadedTiny();
  const std::vector<unsigned char> bits = skins->Bits();
  home.WriteFile("Skins/Text.skn", "hello, this is no image");
  home.WriteFile("Skins/Cut.skn", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 18));
  SkinFixtureLayout tooWide;
  tooWide.width1 = 99;
  SkinFixture::Write(folder, "Wide", tooWide);
  Buffer plain;
  plain.Alloc(Pair<int>(40, 40));
  plain.Box(plain.rect, 0x00123456);
  ASSERT_TRUE(GFXFile::Save(plain, folder + "Plain.png", nullptr, nullptr));
  std::filesystem::rename(folder + "Plain.png", folder + "Plain.skn");

  struct Case {
    const char* name;
    const char* message;
  };
  for (const Case& c : {Case{"Missing", SkinText::CantFind}, Case{"Text", SkinText::CantFind},
                        Case{"Cut", SkinText::CantFind}, Case{"Wide", SkinText::Damaged},
                        Case{"Plain", SkinText::Damaged}}) {
    try {
      skins->Load(c.name);
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const ESkinError& e) {
      EXPECT_EQ(e.Message.rfind(c.message, 0), 0u) << c.name << ": " << e.Message;
    }
    EXPECT_EQ(skins->Bits(), bits) << c.name;
    EXPECT_EQ(skins->LoadedName(), "Tiny") << c.name;
    EXPECT_EQ(skins->Width1(), 6) << c.name;
    EXPECT_EQ(PixelOf(skins->IconBitmap(12).get(), 0, 1), AsColour(IconColour(12))) << c.name;
  }
}

TEST_F(SkinsTest, ChoosingASkinStoresItOnlyOnceItLoaded) {
  auto skins = LoadedTiny();
  TForm* form = Application()->CreateForm<TForm>();
  auto* button = NewComponent<tbx::TToolbarButtonX>(form);
  button->SetTag(2);
  Settings.Skin = "Tiny";
  int applied = 0;
  EXPECT_THROW(skins->Choose("Missing", [&] { ++applied; }), ESkinError);
  EXPECT_EQ(Settings.Skin, "Tiny");
  EXPECT_EQ(applied, 0);
  EXPECT_TRUE(button->GetGlyph()->Empty());  // a failed choice applies nothing

  SkinFixtureLayout bigger;
  bigger.width1 = 8;
  bigger.height1 = 7;
  SkinFixture::Write(folder, "Bigger", bigger);
  skins->Choose("Bigger", [&] { ++applied; });
  EXPECT_EQ(Settings.Skin, "Bigger");
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(button->GetWidth(), 12);
  EXPECT_EQ(button->GetHeight(), 11);
  EXPECT_EQ(PixelOf(button->GetGlyph(), 7, 6), AsColour(IconColour(2)));
}

TEST_F(SkinsTest, NoSkinLeavesComponentsAsTheyAre) {
  SkinManager skins(folder);
  EXPECT_FALSE(skins.Loaded());
  TForm* form = Application()->CreateForm<TForm>();
  auto* button = NewComponent<tbx::TToolbarButtonX>(form);
  button->SetTag(2);
  button->SetWidth(24);
  skins.ApplyToComponent(form);
  EXPECT_EQ(button->GetWidth(), 24);
  EXPECT_TRUE(button->GetGlyph()->Empty());
}

TEST_F(SkinsTest, MenuItemsShowTheirBitmapInTheMenu) {
  auto skins = LoadedTiny();
  TForm* form = Application()->CreateForm<TForm>();
  auto* menu = NewComponent<TMainMenu>(form);
  auto* file = NewComponent<TMenuItem>(form);
  file->SetCaption("File");
  menu->GetItems()->Add(file);
  auto* item = NewComponent<TMenuItem>(form);
  item->SetCaption("New");
  item->SetTag(SkinGlyph::MenuNew);
  file->Add(item);
  auto* plain = NewComponent<TMenuItem>(form);
  plain->SetCaption("Plain");
  file->Add(plain);
  skins->ApplyToComponent(form);

  MENUITEMINFO info{};
  info.fMask = MIIM_BITMAP;
  ASSERT_TRUE(GetMenuItemInfo(file->GetHandle(), 0, TRUE, &info));
  ASSERT_NE(info.hbmpItem, nullptr);
  // The item's picture on the menu colour: the icon's own colour shows, its transparent
  // bottom-left colour does not.
  EXPECT_EQ(BitmapPixel(info.hbmpItem, 1, 1), IconColour(1001));
  EXPECT_EQ(BitmapPixel(info.hbmpItem, 0, 3), MenuPixel());
  info = MENUITEMINFO{};
  info.fMask = MIIM_BITMAP;
  ASSERT_TRUE(GetMenuItemInfo(file->GetHandle(), 1, TRUE, &info));
  EXPECT_EQ(info.hbmpItem, nullptr);
}

}  // namespace

// The skin built into the program is the program's own skin file, glyph for glyph.
TEST_F(SkinsTest, TheBuiltInSkinIsTheProgramsOwn) {
  SkinManager file(std::string(QUILLO_BIN_DIR) + "/Skins/");
  file.Load("Standard Shaded");
  SkinManager builtIn(std::string(QUILLO_BIN_DIR) + "/Skins/");
  try {
    builtIn.LoadBuiltIn();
  } catch (const ESkinError& e) {
    FAIL() << e.Message;
  }
  ASSERT_TRUE(builtIn.Loaded());
  EXPECT_EQ(builtIn.Width1(), file.Width1());
  EXPECT_EQ(builtIn.Height2(), file.Height2());
  EXPECT_EQ(builtIn.Bits(), file.Bits());
}
