// The plug-in guide's two examples, built from the guide's own text, run in the program: the
// component from the Image menu, the filter plug-in from the "&Adobe" submenu after a scan of
// its folder.

#include <gtest/gtest.h>

#include <filesystem>

#include "FilterSamples.h"
#include "QlcFixture.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/plugins/FilterPluginList.h"
#include "quillo/plugins/FilterPluginMenu.h"

namespace {

class GuideExamplesTest : public QlcProgramTest {
protected:
  ~GuideExamplesTest() override {
    Settings.UseAdobe = false;
    Settings.AdobeLoc.clear();
    PluginMenuItem = nullptr;
  }
  static std::string Example(const std::string& file) { return std::string(QUILLO_GUIDE_DIR) + "/" + file; }
};

TEST_F(GuideExamplesTest, TheComponentExampleDarkensThePicture) {
  StartOn(12, 8, 0x00FF8040);
  InstallComponentFiles({{"guide-darken", FileBytes(Example("guide-darken.qlc"))}});
  ASSERT_NE(ImageItem("&Guide Darken"), nullptr) << "listed by the name its description gives";
  Choose("&Guide Darken");
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(*Picture().At(x, y) & 0xFFFFFF, 0x007F4020u) << x << "," << y;
}

TEST_F(GuideExamplesTest, TheFilterExampleIsFoundByItsSectionAndInvertsThePicture) {
  StartOn(12, 8, 0x00FF8040);
  const std::string folder = home.Path() + "/filters";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(Example("guide-negative.8bf"), folder + "/guide-negative.8bf");
  Settings.UseAdobe = true;
  Settings.AdobeLoc = folder + "/";
  ScanAdobePlugins();
  EXPECT_TRUE(PluginNames().empty());
  ASSERT_NE(PluginMenuItem, nullptr);
  TMenuItem* item = nullptr;
  for (int i = 0; i < PluginMenuItem->Count(); ++i)
    if (PluginMenuItem->Items(i)->GetCaption() == "&Guide" && PluginMenuItem->Items(i)->Count() == 1)
      item = PluginMenuItem->Items(i)->Items(0);
  ASSERT_NE(item, nullptr) << "the category submenu of its .pipl record";
  EXPECT_EQ(item->GetCaption(), "&Guide Negative");
  item->Click();
  ui.RunUntilIdle();
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(*Picture().At(x, y) & 0xFFFFFF, 0x00007FBFu) << x << "," << y;
}

}  // namespace
