// The started program and its skins: the glyph each toolbar button and menu item names, the
// skin loaded at start, and switching between the program's own skin and a fixture skin.

#include <filesystem>

#include "ProgramFixture.h"
#include "SkinFixture.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Strings.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/Dock.h"
#include "quillo/base/Settings.h"
#include "quillo/base/SkinGlyphs.h"
#include "quillo/base/Skins.h"

namespace {

const std::string DefaultSkinFile = std::string(QUILLO_BIN_DIR) + "/Skins/Standard Shaded.skn";

TColor AsColour(std::uint32_t pixel) {
  return static_cast<TColor>(((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF));
}

class SkinProgramTest : public ProgramTest {
protected:
  ~SkinProgramTest() override { Skins.reset(); }

  tbx::TToolbarButtonX* Button(const char* name) const {
    return dynamic_cast<tbx::TToolbarButtonX*>(form->FindComponent(name));
  }
  // The fixture skin "Tiny" in a folder of the test's own, made the program's skins.
  void UseFixtureSkins() {
    const std::string folder = home.Path() + "/Skins";
    std::filesystem::create_directories(folder);
    SkinFixture::Write(folder, "Tiny");
    Skins = std::make_unique<SkinManager>(folder + "/");
  }
};

TEST_F(SkinProgramTest, ToolbarButtonsAndMenuItemsNameTheirGlyphs) {
  Start();
  const std::pair<const char*, int> buttons[] = {
      {"NewBtn", 2},   {"OpenBtn", 3},        {"OpenPrevBtn", 4}, {"OpenNextBtn", 5}, {"SaveBtn", 6},
      {"CloseAllBtn", 7}, {"PrintBtn", 8},    {"AcquireBtn", 9},  {"CutBtn", 10},     {"CopyBtn", 44},
      {"PasteBtn", 45}, {"PasteAsNewBtn", 46}, {"DeleteBtn", 47}, {"UndoBtn", 48},    {"RedoBtn", 49},
      {"PrefsBtn", 50}, {"HelpBtn", 51}};
  for (const auto& [name, glyph] : buttons) {
    ASSERT_NE(Button(name), nullptr) << name;
    EXPECT_EQ(Button(name)->GetTag(), glyph) << name;
  }
  const std::pair<const char*, int> items[] = {
      {"New1", 1001},  {"OpenImage", 1002}, {"Save1", 1003},       {"Saveas1", 1004},    {"Print1", 1005},
      {"CloseAll1", 1006}, {"Exit1", 1007}, {"Undo1", 1008},       {"Redo1", 1009},      {"Cut1", 1010},
      {"Copy1", 1011}, {"Paste1", 1012},    {"PasteAsNew1", 1013}, {"Delete1", 1014},    {"PrefsMenu", 1015},
      {"Contents1", 1016}};
  for (const auto& [name, glyph] : items) {
    ASSERT_NE(form->MenuItemNamed(name), nullptr) << name;
    EXPECT_EQ(form->MenuItemNamed(name)->GetTag(), glyph) << name;
  }
}

TEST_F(SkinProgramTest, AMissingSkinInTheSettingsIsNamedAndTheProgramsOwnIsUsed) {
  Settings.Skin = "No such skin";
  Start();
  ASSERT_TRUE(Skins);
  EXPECT_TRUE(Skins->Loaded());
  EXPECT_EQ(Skins->LoadedName(), "Standard Shaded");
  EXPECT_FALSE(Button("NewBtn")->GetGlyph()->Empty());
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  const std::string text = ui.MessageBoxTexts().back();
  EXPECT_NE(text.find(std::string(QUILLO_BIN_DIR) + "/Skins/No such skin.skn"), std::string::npos) << text;
  EXPECT_NE(text.find("The skin file cannot be found"), std::string::npos) << text;
  EXPECT_NE(text.find("The program's own skin is used instead."), std::string::npos) << text;
  EXPECT_EQ(Settings.Skin, "No such skin");  // a fallback is no choice of the user's
}

TEST_F(SkinProgramTest, TheProgramsOwnSkinLoadsAtStart) {
  if (!std::filesystem::exists(DefaultSkinFile)) GTEST_SKIP() << "the default skin is not built";
  Start();
  ASSERT_TRUE(Skins->Loaded());
  EXPECT_EQ(Skins->Width1(), SkinGlyph::FirstStripSize);
  EXPECT_EQ(Skins->Height1(), SkinGlyph::FirstStripSize);
  EXPECT_EQ(Skins->Width2(), SkinGlyph::SecondStripSize);
  EXPECT_GE(Skins->Layout().Rows1 * Skins->Layout().Columns1, SkinGlyph::FirstStripCount);
  EXPECT_GE(Skins->Layout().Rows2 * Skins->Layout().Columns2, SkinGlyph::SecondStripCount);
  EXPECT_EQ(Button("NewBtn")->GetWidth(), 24);
  EXPECT_EQ(Button("NewBtn")->GetHeight(), 24);
  EXPECT_FALSE(Button("HelpBtn")->GetGlyph()->Empty());
  EXPECT_FALSE(form->MenuItemNamed("New1")->GetBitmap()->Empty());
  // The main window is wide enough for the last toolbar button at the skin's size.
  tbx::TToolbarButtonX* help = Button("HelpBtn");
  const TPoint helpRight = form->ScreenToClient(help->ClientToScreen(TPoint(help->GetWidth(), 0)));
  EXPECT_LE(helpRight.x, form->GetClientWidth());
}

TEST_F(SkinProgramTest, SwitchingSkinsChangesTheButtonsAndMenuIcons) {
  Start();
  UseFixtureSkins();
  Skins->Reload("Tiny", nullptr);
  ui.RunUntilIdle();
  tbx::TToolbarButtonX* newButton = Button("NewBtn");
  EXPECT_EQ(newButton->GetWidth(), 10);
  EXPECT_EQ(newButton->GetHeight(), 9);
  EXPECT_EQ(newButton->GetGlyph()->GetCanvas()->GetPixel(0, 1), AsColour(SkinFixture::IconColour(2)));
  TMenuItem* newItem = form->MenuItemNamed("New1");
  EXPECT_EQ(newItem->GetBitmap()->GetCanvas()->GetPixel(0, 1), AsColour(SkinFixture::IconColour(1001)));
  // The menu shows the picture.
  const MenuPlace entry = FindMenuItem({"&File", "&New..."});
  ASSERT_GE(entry.position, 0);
  MENUITEMINFO info{};
  info.fMask = MIIM_BITMAP;
  ASSERT_TRUE(GetMenuItemInfo(entry.menu, static_cast<UINT>(entry.position), TRUE, &info));
  EXPECT_NE(info.hbmpItem, nullptr);

  if (!std::filesystem::exists(DefaultSkinFile)) GTEST_SKIP() << "the default skin is not built";
  Skins = std::make_unique<SkinManager>(std::string(QUILLO_BIN_DIR) + "/Skins/");
  Skins->Reload("Standard shaded", nullptr);
  ui.RunUntilIdle();
  EXPECT_EQ(newButton->GetWidth(), 24);
  EXPECT_EQ(newButton->GetGlyph()->GetWidth(), 20);
  EXPECT_NE(newButton->GetGlyph()->GetCanvas()->GetPixel(0, 1), AsColour(SkinFixture::IconColour(2)));
  EXPECT_EQ(newItem->GetBitmap()->GetWidth(), 16);
  // And back.
  UseFixtureSkins();
  Skins->Reload("Tiny", nullptr);
  EXPECT_EQ(newButton->GetWidth(), 10);
}

TEST_F(SkinProgramTest, ADamagedSkinLeavesTheGlyphsShown) {
  Start();
  UseFixtureSkins();
  Skins->Reload("Tiny", nullptr);
  home.WriteFile("Skins/Broken.skn", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 18));
  Settings.Skin = "Tiny";
  EXPECT_THROW(Skins->Choose("Broken", nullptr), ESkinError);
  EXPECT_EQ(Settings.Skin, "Tiny");
  EXPECT_EQ(Button("NewBtn")->GetWidth(), 10);
  EXPECT_EQ(Button("NewBtn")->GetGlyph()->GetCanvas()->GetPixel(0, 1), AsColour(SkinFixture::IconColour(2)));
}

}  // namespace
