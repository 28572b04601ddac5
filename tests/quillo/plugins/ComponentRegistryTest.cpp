// Scanning the component folder: the Image menu's items and group submenus, the faulty
// libraries skipped with a log line, the limit of 256, and a rescan.

#include <gtest/gtest.h>

#include "QlcFixture.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/document/Progress.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/plugins/ComponentRegistry.h"

namespace {

using ComponentRegistryTest = QlcProgramTest;

TEST_F(ComponentRegistryTest, AFolderBecomesASubmenuWithBrowseFirst) {
  StartOn(40, 30, 0xFFFFFF);
  InstallComponents({"inverter", "special effects/everykind", "special effects/brush"});
  EXPECT_EQ(ComponentCount, 3);
  ASSERT_EQ(ComponentFileList.size(), 1u);
  EXPECT_EQ(ComponentFileList[0], "SPECIAL EFFECTS");
  ASSERT_NE(ImageItem("&Inverter"), nullptr);
  TMenuItem* group = ImageItem("&Special Effects");
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->Count(), 4);
  EXPECT_EQ(group->Items(0)->GetCaption(), LangMessage("Browse"));
  EXPECT_EQ(group->Items(0)->GetImageIndex(), 1);
  EXPECT_TRUE(group->Items(1)->IsLine());
  EXPECT_EQ(group->Items(2)->GetCaption(), "&Colour Brush");
  EXPECT_EQ(group->Items(3)->GetCaption(), "&Every Kind");
  EXPECT_EQ(ComponentGroupSize(group), 2);
}

TEST_F(ComponentRegistryTest, WithoutUseQLCNothingIsScanned) {
  StartOn(40, 30, 0xFFFFFF);
  Settings.UseQLC = false;
  InstallComponents({"inverter", "group/everykind"});
  EXPECT_EQ(ComponentCount, 0);
  EXPECT_EQ(ImageItem("&Inverter"), nullptr);
  EXPECT_EQ(ImageItem("&Group"), nullptr);
}

TEST_F(ComponentRegistryTest, FaultyLibrariesAreSkippedWithALogLineAndTheRestLoad) {
  StartOn(40, 30, 0xFFFFFF);
  LogEnabled = 1;
  InstallComponents({"badaddress", "inverter", "nonul", "noprocess", "notes", "thrower"});
  EXPECT_EQ(ComponentCount, 2);
  EXPECT_NE(ImageItem("&Inverter"), nullptr);
  EXPECT_NE(ImageItem("&Thrower"), nullptr);
  const std::string log = LogText();
  for (const char* line : {"badaddress.qlc skipped: description unreadable", "nonul.qlc skipped: description unreadable",
                           "noprocess.qlc skipped: no QLCPROCESS", "notes.qlc skipped: the library does not load"})
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
  EXPECT_NE(log.find("Scanning for components finished."), std::string::npos);
}

TEST_F(ComponentRegistryTest, ALibraryThatFaultsWhenLoadedIsSkippedWithALogLine) {
  StartOn(40, 30, 0xFFFFFF);
  LogEnabled = 1;
  InstallComponents({"faultloading", "inverter"});
  EXPECT_EQ(ComponentCount, 1);
  EXPECT_NE(ImageItem("&Inverter"), nullptr);
  EXPECT_EQ(ImageItem("&Loading Fault"), nullptr);
  const std::string log = LogText();
  EXPECT_NE(log.find("faultloading.qlc skipped: the library faulted while loading (" + LangMessage("QLCFaultAccess") + ")"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("Scanning for components finished."), std::string::npos);
}

TEST_F(ComponentRegistryTest, NoMoreThan256AreRegistered) {
  StartOn(40, 30, 0xFFFFFF);
  std::vector<std::string> places;
  for (int i = 0; i < 257; ++i) places.push_back("many/inverter-" + std::to_string(1000 + i));
  InstallComponents(places);
  EXPECT_EQ(ComponentCount, 256);
  TMenuItem* group = ImageItem("&Many");
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(ComponentGroupSize(group), 256);
}

TEST_F(ComponentRegistryTest, ARescanLeavesNoStaleItems) {
  StartOn(40, 30, 0xFFFFFF);
  InstallComponents({"inverter", "tools/everykind", "tools/brush"});
  InstallComponents({"tools/brush"});
  EXPECT_EQ(ComponentCount, 1);
  EXPECT_EQ(ImageItem("&Inverter"), nullptr);
  TMenuItem* group = ImageItem("&Tools");
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->Count(), 3);
  EXPECT_EQ(group->Items(2)->GetImageIndex(), 0);
  int groups = 0;
  for (int i = 0; i < form->Image1->Count(); ++i)
    if (form->Image1->Items(i)->GetCaption() == "&Tools") ++groups;
  EXPECT_EQ(groups, 1);
}

TEST_F(ComponentRegistryTest, ManyItemsBreakIntoColumns) {
  StartOn(40, 30, 0xFFFFFF);
  std::vector<std::string> places;
  for (int i = 0; i < 60; ++i) places.push_back("long/inverter-" + std::to_string(1000 + i));
  InstallComponents(places);
  TMenuItem* group = ImageItem("&Long");
  ASSERT_NE(group, nullptr);
  int breaks = 0;
  for (int i = 0; i < group->Count(); ++i)
    if (group->Items(i)->GetBreak() == mbBarBreak) ++breaks;
  EXPECT_GT(breaks, 0);
}

}  // namespace
