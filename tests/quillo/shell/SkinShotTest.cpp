// The program's own skin as a user sees it: the standard toolbar with its glyphs, and a form
// with every glyph of the first strip on a speed button (ten a row, as the skin holds them)
// and every menu glyph of the second strip in an image beneath. Checked where a user would
// look, and shown to a viewer by scripts/screenshot-skin.sh.

#include <filesystem>
#include <set>
#include <vector>

#include "ProgramFixture.h"
#include "platform/gdi/Display.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Application.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/base/SkinGlyphs.h"
#include "quillo/base/Skins.h"

namespace {

// An icon's pixels, for telling icons apart.
std::vector<TColor> PixelsOf(TBitmap* bitmap) {
  std::vector<TColor> pixels;
  for (int y = 0; y < bitmap->GetHeight(); ++y)
    for (int x = 0; x < bitmap->GetWidth(); ++x) pixels.push_back(bitmap->GetCanvas()->GetPixel(x, y));
  return pixels;
}

int DrawnPixels(const std::vector<TColor>& pixels) {
  const TColor face = static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
  int drawn = 0;
  for (TColor c : pixels) drawn += c != face;
  return drawn;
}

class SkinShot : public ProgramTest {
protected:
  ~SkinShot() override { Skins.reset(); }
};

TEST_F(SkinShot, ToolbarAndEveryGlyphOfTheDefaultSkin) {
  if (!std::filesystem::exists(std::string(QUILLO_BIN_DIR) + "/Skins/Standard Shaded.skn"))
    GTEST_SKIP() << "the default skin is not built";
  Start();
  ASSERT_TRUE(Skins->Loaded());

  TForm* glyphs = Application()->CreateForm<TForm>();
  glyphs->SetName("SkinGlyphs");
  glyphs->SetCaption("Skin glyphs");
  glyphs->SetBounds(520, 40, 340, 330);
  auto* panel = NewComponent<TPanel>(glyphs);  // the buttons sit in a panel of the form
  panel->SetBevelOuter(bvNone);
  panel->SetBounds(0, 0, 330, 300);
  panel->SetParent(glyphs);
  std::vector<TSpeedButton*> buttons;
  std::vector<TImage*> menuGlyphs;
  for (int index = 1; index <= SkinGlyph::FirstStripCount; ++index) {
    const int row = (index - 1) / SkinGlyph::IconsPerRow, column = (index - 1) % SkinGlyph::IconsPerRow;
    if (column == 0) {
      auto* label = NewComponent<TLabel>(panel);
      label->SetCaption(std::to_string(index));
      label->SetBounds(4, 14 + row * 32, 20, 14);
      label->SetParent(panel);
    }
    auto* button = NewComponent<TSpeedButton>(panel);
    button->SetBounds(28 + column * 28, 8 + row * 32, 24, 24);
    button->SetTag(index);
    button->SetHint(std::to_string(index));
    button->SetParent(panel);
    buttons.push_back(button);
  }
  for (int i = 0; i < SkinGlyph::SecondStripCount; ++i) {
    auto* image = NewComponent<TImage>(panel);
    image->SetTag(SkinGlyph::MenuNew + i);
    image->SetLeft(28 + (i % SkinGlyph::IconsPerRow) * 28);
    image->SetTop(208 + (i / SkinGlyph::IconsPerRow) * 24);
    image->SetParent(panel);
    menuGlyphs.push_back(image);
  }
  Skins->ApplyToComponent(glyphs);
  glyphs->Show();
  ui.RunUntilIdle();

  // Every glyph is drawn, and no two are the same picture.
  std::set<std::vector<TColor>> seen;
  for (TSpeedButton* button : buttons) {
    ASSERT_EQ(button->GetGlyph()->GetWidth(), SkinGlyph::FirstStripSize) << button->GetTag();
    const std::vector<TColor> pixels = PixelsOf(button->GetGlyph());
    EXPECT_GT(DrawnPixels(pixels), 20) << "glyph " << button->GetTag() << " is (nearly) blank";
    EXPECT_TRUE(seen.insert(pixels).second) << "glyph " << button->GetTag() << " repeats an earlier one";
  }
  for (TImage* image : menuGlyphs) {
    TBitmap* bitmap = image->GetPicture()->GetBitmap();
    ASSERT_EQ(bitmap->GetWidth(), SkinGlyph::SecondStripSize) << image->GetTag();
    const std::vector<TColor> pixels = PixelsOf(bitmap);
    EXPECT_GT(DrawnPixels(pixels), 10) << "menu glyph " << image->GetTag() << " is (nearly) blank";
    EXPECT_TRUE(seen.insert(pixels).second) << "menu glyph " << image->GetTag() << " repeats an earlier one";
  }
  // The toolbar's buttons show their glyphs.
  auto* newButton = dynamic_cast<tbx::TToolbarButtonX*>(form->FindComponent("NewBtn"));
  EXPECT_EQ(newButton->GetWidth(), SkinGlyph::FirstStripSize + 4);
  EXPECT_GT(DrawnPixels(PixelsOf(newButton->GetGlyph())), 20);

  // The File menu open: its items show their icons in the check column.
  const MenuPlace file = FindMenuItem({"&File"});
  const MenuPlace save = FindMenuItem({"&File", "&Save"});
  ASSERT_GE(save.position, 0);
  RECT bar{};
  GetMenuItemRect(form->GetHandle(), file.menu, static_cast<UINT>(file.position), &bar);
  ui.QueueClick((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
  int iconPixels = 0;
  ui.WhenModalWaits([&] {
    RECT item{};
    GetMenuItemRect(nullptr, save.menu, static_cast<UINT>(save.position), &item);
    const std::uint32_t menu = ui.Pixel(item.right - 2, item.bottom - 2);
    for (int y = item.top; y < item.bottom; ++y)
      for (int x = item.left; x < item.left + 20; ++x) iconPixels += ui.Pixel(x, y) != menu;
    FlushDesktop();
    ui.ShowToViewer();
    ui.QueuePress(VK_ESCAPE);
    ui.QueuePress(VK_ESCAPE);
  });
  ui.RunUntilIdle();
  EXPECT_GT(iconPixels, 20) << "the Save item shows no icon";
}

}  // namespace
