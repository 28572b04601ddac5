// The Plug-Ins page acts on OK: filter plug-ins switched on or given a new folder are found at
// once and their submenu shows, hides or is replaced; the files that failed to load are listed
// with their reasons; components switched off leave the Image menu and the tool palette and
// come back unscanned; OK with nothing changed scans nothing; a new language reaches the
// component items.

#include <algorithm>
#include <filesystem>

#include "../plugins/FilterSamples.h"
#include "PreferencesFixture.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/plugins/ComponentRegistry.h"
#include "quillo/plugins/FilterPluginList.h"
#include "quillo/plugins/FilterPluginMenu.h"
#include "quillo/plugins/FilterPluginProbe.h"
#include "quillo/shell/PreferencesForm.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/ToolObjects.h"

namespace fs = std::filesystem;

namespace {

class PluginPreferencesTest : public PreferencesTest {
protected:
  PluginPreferencesTest() {
    // Components in the program folder: one of its own, one brush in a group.
    const std::string comps = programFolder + "/Comps";
    fs::create_directories(comps + "/brushes");
    fs::create_symlink(std::string(QUILLO_QLC_DIR) + "/inverter.qlc", comps + "/inverter.qlc");
    fs::create_symlink(std::string(QUILLO_QLC_DIR) + "/brush.qlc", comps + "/brushes/brush.qlc");
    ForgetComponentBrushEntries();
    filters = home.Path() + "/filters";
    CopySamples(filters, {"invert", "junk"});
    WriteBytes(filters + "/cut.8bf", WithDamagedPipl(FileBytes(SamplePlugin("invert")), PiplDamage::CutOff));
    otherFilters = home.Path() + "/other filters";
    CopySamples(otherFilters, {"tiles"});
    StartProgram();
  }
  ~PluginPreferencesTest() override {
    ForgetComponentBrushEntries();
    PluginMenuItem = nullptr;
  }

  void SetPlugins(bool components, bool filters, const std::string& folder) {
    OpenPreferences([&](TPreferences* d) {
      d->UseQLCCB->SetChecked(components);
      d->UseAdobeCB->SetChecked(filters);
      d->AdobeLocEdit->SetText(folder.c_str());
      ui.Press(VK_RETURN);
    });
  }
  int AdobeItems() const {
    int count = 0;
    for (int i = 0; i < form->Image1->Count(); ++i)
      if (form->Image1->Items(i)->GetCaption() == LangMessage("&Adobe")) ++count;
    return count;
  }
  TMenuItem* ImageItem(const std::string& caption) const {
    for (int i = 0; i < form->Image1->Count(); ++i)
      if (form->Image1->Items(i)->GetCaption() == caption) return form->Image1->Items(i);
    return nullptr;
  }
  static tbx::TToolbarButtonX* BrushButton() {
    const int g = PaletteGroupOf(&QlComponentBrushTool);
    return g < 0 ? nullptr : PaletteGroups[static_cast<std::size_t>(g)].Button;
  }

  std::string filters;
  std::string otherFilters;
};

TEST_F(PluginPreferencesTest, FilterPluginsFollowTheSwitchAndTheFolderAtOnceAndFailuresAreListed) {
  ASSERT_EQ(PluginMenuItem, nullptr);
  SetPlugins(true, true, filters);
  ASSERT_NE(PluginMenuItem, nullptr) << "found on OK, not at the next start";
  EXPECT_EQ(AdobeItems(), 1);
  EXPECT_TRUE(PluginMenuItem->GetVisible());
  TMenuItem* const first = PluginMenuItem;
  std::vector<std::string> listed;
  OpenPreferences([&](TPreferences* d) {
    for (int i = 0; i < d->PluginList->GetLines()->Count(); ++i) listed.push_back(d->PluginList->GetLines()->Get(i));
    ui.Press(VK_ESCAPE);
  });
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{
                        Format(LangMessage("PlugFailedLine").c_str(), "cut", LangMessage("PlugSectionCut").c_str()),
                        Format(LangMessage("PlugFailedLine").c_str(), "junk", LangMessage("PlugNotLibrary").c_str())}));

  // Off hides the submenu; on again shows it without reading the folder again.
  SetPlugins(true, false, filters);
  EXPECT_EQ(PluginMenuItem, first);
  EXPECT_FALSE(first->GetVisible());
  const std::uint64_t probes = FilterProbeCount();
  SetPlugins(true, true, filters);
  EXPECT_EQ(PluginMenuItem, first);
  EXPECT_TRUE(first->GetVisible());
  EXPECT_EQ(FilterProbeCount(), probes);

  // Another folder: its filters replace the submenu.
  SetPlugins(true, true, otherFilters);
  ASSERT_NE(PluginMenuItem, nullptr);
  EXPECT_EQ(AdobeItems(), 1);
  std::vector<std::string> titles;
  for (int i = 0; i < PluginMenuItem->Count(); ++i)
    for (int j = 0; j < PluginMenuItem->Items(i)->Count(); ++j) titles.push_back(PluginMenuItem->Items(i)->Items(j)->GetCaption());
  std::sort(titles.begin(), titles.end());
  EXPECT_EQ(titles, (std::vector<std::string>{"&Half Sample", "&Tile Invert"}));
  EXPECT_TRUE(PluginNames().empty());
}

TEST_F(PluginPreferencesTest, ComponentsSwitchedOffLeaveMenuAndPaletteAndComeBackUnscanned) {
  TMenuItem* inverter = ImageItem("&Inverter");
  ASSERT_NE(inverter, nullptr);
  ASSERT_NE(ImageItem("&Brushes"), nullptr);
  ASSERT_NE(BrushButton(), nullptr);
  EXPECT_TRUE(BrushButton()->GetVisible());
  // A mark that a new scan (which makes new items) would not carry.
  inverter->SetHint("kept");
  SetPlugins(true, false, "");
  ASSERT_EQ(ImageItem("&Inverter"), inverter);
  EXPECT_EQ(inverter->GetHint(), "kept") << "OK with nothing changed loads no library again";

  SetPlugins(false, false, "");
  EXPECT_FALSE(Settings.UseQLC);
  EXPECT_FALSE(inverter->GetVisible());
  EXPECT_FALSE(ImageItem("&Brushes")->GetVisible());
  EXPECT_FALSE(BrushButton()->GetVisible()) << "the component brush leaves the palette";

  SetPlugins(true, false, "");
  ASSERT_EQ(ImageItem("&Inverter"), inverter);
  EXPECT_EQ(inverter->GetHint(), "kept");
  EXPECT_TRUE(inverter->GetVisible());
  EXPECT_TRUE(ImageItem("&Brushes")->GetVisible());
  EXPECT_TRUE(BrushButton()->GetVisible());
}

TEST_F(PluginPreferencesTest, ANewLanguageReachesTheComponentItems) {
  TMenuItem* group = ImageItem("&Brushes");
  ASSERT_NE(group, nullptr);
  ASSERT_GE(group->Count(), 3);
  EXPECT_EQ(group->Items(0)->GetCaption(), "&Browse...");
  OpenPreferences([&](TPreferences* d) {
    d->Langs->SetItemIndex(d->Langs->GetItems()->IndexOf("Tiny"));
    ui.Press(VK_RETURN);
  });
  ASSERT_EQ(Settings.Language, "Tiny");
  EXPECT_EQ(group->Items(0)->GetCaption(), "&Parcourir...");
  EXPECT_EQ(group->Items(2)->GetCaption(), "&Colour Brush");
  EXPECT_EQ(group->GetCaption(), "&Brushes");
}

}  // namespace
