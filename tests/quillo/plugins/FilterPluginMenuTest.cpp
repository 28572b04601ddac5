// Discovery at start-up: the filters of the plug-in folder join the Image menu's "&Adobe"
// submenu by category, the files that cannot be read are named for the preferences, and the
// cache spares an unchanged file its probe at the next start.

#include <gtest/gtest.h>

#include <filesystem>

#include "../shell/ProgramFixture.h"
#include "FilterSamples.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/base/Settings.h"
#include "quillo/plugins/FilterPluginCache.h"
#include "quillo/plugins/FilterPluginList.h"
#include "quillo/plugins/FilterPluginMenu.h"
#include "quillo/plugins/FilterPluginProbe.h"

namespace {

class FilterPluginMenuTest : public ProgramTest {
protected:
  FilterPluginMenuTest() {
    folder = home.Path() + "/filters";
    std::filesystem::create_directories(folder);
    Settings.UseAdobe = true;
    Settings.AdobeLoc = folder + "/";
  }
  ~FilterPluginMenuTest() override {
    Settings.AdobeLoc.clear();
    PluginMenuItem = nullptr;
  }

  TMenuItem* AdobeItem() const {
    for (int i = 0; i < form->Image1->Count(); ++i)
      if (form->Image1->Items(i)->GetCaption() == LangMessage("&Adobe")) return form->Image1->Items(i);
    return nullptr;
  }
  // "submenu/item" for every filter item, in menu order.
  std::vector<std::string> MenuFilters() const {
    std::vector<std::string> names;
    TMenuItem* adobe = AdobeItem();
    if (adobe == nullptr) return names;
    for (int i = 0; i < adobe->Count(); ++i)
      for (int j = 0; j < adobe->Items(i)->Count(); ++j)
        names.push_back(adobe->Items(i)->GetCaption() + "/" + adobe->Items(i)->Items(j)->GetCaption());
    return names;
  }

  std::string folder;
};

TEST_F(FilterPluginMenuTest, FiltersJoinTheImageMenuByCategoryAndUnreadableFilesAreNamed) {
  CopySamples(folder, {"invert", "tiles", "noexport", "pimi", "junk"});
  const std::string elf = FileBytes(SamplePlugin("invert"));
  WriteBytes(folder + "/cut.8bf", WithDamagedPipl(elf, PiplDamage::CutOff));
  WriteBytes(folder + "/long.8bf", WithDamagedPipl(elf, PiplDamage::RecordTooLong));
  Start();
  TMenuItem* adobe = AdobeItem();
  ASSERT_NE(adobe, nullptr);
  EXPECT_EQ(adobe, PluginMenuItem);
  // Right after the Image menu's first separator.
  ASSERT_GT(adobe->MenuIndex(), 0);
  EXPECT_TRUE(form->Image1->Items(adobe->MenuIndex() - 1)->IsLine());
  auto filters = MenuFilters();
  std::sort(filters.begin(), filters.end());
  EXPECT_EQ(filters, (std::vector<std::string>{"&Default/&Half Sample", "&Old Style/&PiMI Invert",
                                                "&Quillo Tests/&Invert Colours", "&Quillo Tests/&Tile Invert"}));
  auto failed = PluginNames();
  std::sort(failed.begin(), failed.end(), [](const FailedPlugin& a, const FailedPlugin& b) { return a.name < b.name; });
  EXPECT_EQ(failed, (std::vector<FailedPlugin>{
                        {"cut", "PlugSectionCut"}, {"junk", "PlugNotLibrary"}, {"long", "PlugSectionDamaged"}}));
  // Each item carries its filter's list index.
  for (int i = 0; i < adobe->Count(); ++i)
    for (int j = 0; j < adobe->Items(i)->Count(); ++j) {
      TMenuItem* item = adobe->Items(i)->Items(j);
      EXPECT_EQ(item->GetCaption(), AnsiString("&").append(PluginTitle(item->GetImageIndex())));
    }
}

TEST_F(FilterPluginMenuTest, AnUnchangedFileIsNotReadAgainAtTheNextScan) {
  CopySamples(folder, {"invert", "tiles"});
  Start();
  const auto first = MenuFilters();
  const std::uint64_t probes = FilterProbeCount();
  form->Image1->Remove(AdobeItem());
  ScanAdobePlugins();
  EXPECT_EQ(FilterProbeCount(), probes) << "both files came from the cache";
  auto again = MenuFilters();
  auto expected = first;
  std::sort(again.begin(), again.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(again, expected);

  std::filesystem::resize_file(folder + "/tiles.8bf", std::filesystem::file_size(folder + "/tiles.8bf") + 8);
  form->Image1->Remove(AdobeItem());
  ScanAdobePlugins();
  EXPECT_EQ(FilterProbeCount(), probes + 1) << "only the changed file is read";
  EXPECT_EQ(MenuFilters().size(), 3u);
}

TEST_F(FilterPluginMenuTest, AFolderWithoutPluginsGivesNoSubmenuAndAnEmptyCache) {
  Start();
  EXPECT_EQ(AdobeItem(), nullptr);
  EXPECT_EQ(PluginMenuItem, nullptr);
  ASSERT_TRUE(std::filesystem::exists(FilterCacheFileName()));
  EXPECT_EQ(std::filesystem::file_size(FilterCacheFileName()), 0u);
}

TEST_F(FilterPluginMenuTest, SwitchedOffOrWithoutAFolderNothingIsScanned) {
  CopySamples(folder, {"invert"});
  Settings.UseAdobe = false;
  Start();
  EXPECT_EQ(AdobeItem(), nullptr);
  Settings.UseAdobe = true;
  Settings.AdobeLoc.clear();
  ScanAdobePlugins();
  EXPECT_EQ(AdobeItem(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(FilterCacheFileName()));
}

TEST_F(FilterPluginMenuTest, AColumnHoldsAtLeastOneItemHoweverTheScreenMeasures) {
  Start();
  const int barHeight = MenuBarHeight;
  const TRect area = WorkArea;
  MenuBarHeight = 40;
  WorkArea = TRect(0, 0, 100, 30);  // less than one row
  EXPECT_EQ(PluginMenuColumnRows(), 1);
  MenuBarHeight = 0;
  EXPECT_EQ(PluginMenuColumnRows(), 1);
  MenuBarHeight = 20;
  WorkArea = TRect(0, 0, 100, 100);
  EXPECT_EQ(PluginMenuColumnRows(), 5);
  // With one row a column, each further category starts a column of its own.
  MenuBarHeight = 100;
  CopySamples(folder, {"invert", "tiles", "pimi"});
  ScanAdobePlugins();
  TMenuItem* adobe = AdobeItem();
  ASSERT_NE(adobe, nullptr);
  ASSERT_EQ(adobe->Count(), 3);
  EXPECT_EQ(adobe->Items(0)->GetBreak(), mbNone);
  EXPECT_EQ(adobe->Items(1)->GetBreak(), mbBarBreak);
  EXPECT_EQ(adobe->Items(2)->GetBreak(), mbBarBreak);
  MenuBarHeight = barHeight;
  WorkArea = area;
}

// Shown to a viewer by scripts/screenshot-filter-menu.sh.
TEST_F(FilterPluginMenuTest, TheImageMenuOpensOnTheFilterSubmenuAndACategory) {
  CopySamples(folder, {"invert", "tiles", "pimi"});
  Start();
  const std::string adobeCaption = LangMessage("&Adobe");
  const MenuPlace bar = FindMenuItem({"&Image"});
  const MenuPlace adobe = FindMenuItem({"&Image", adobeCaption});
  const MenuPlace category = FindMenuItem({"&Image", adobeCaption, "&Quillo Tests"});
  const MenuPlace filter = FindMenuItem({"&Image", adobeCaption, "&Quillo Tests", "&Tile Invert"});
  ASSERT_NE(adobe.position, -1);
  ASSERT_NE(category.position, -1);
  ASSERT_NE(filter.position, -1);
  const HWND main = form->GetHandle();
  const auto clickOn = [this, main](MenuPlace place) {
    RECT r{};
    ASSERT_TRUE(GetMenuItemRect(main, place.menu, static_cast<UINT>(place.position), &r));
    ui.QueueClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  RECT shown{};
  ui.WhenModalWaits([&] { clickOn(adobe); });
  ui.WhenModalWaits([&] { clickOn(category); });
  ui.WhenModalWaits([&] {
    GetMenuItemRect(main, filter.menu, static_cast<UINT>(filter.position), &shown);
    ui.ShowToViewer();
    for (int i = 0; i < 3; ++i) ui.QueuePress(VK_ESCAPE);
  });
  RECT r{};
  ASSERT_TRUE(GetMenuItemRect(main, bar.menu, static_cast<UINT>(bar.position), &r));
  ui.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  // The category's items stood open on the screen, right of the Image menu.
  EXPECT_GT(shown.right, shown.left);
  EXPECT_GT(shown.left, r.left);
}

}  // namespace
