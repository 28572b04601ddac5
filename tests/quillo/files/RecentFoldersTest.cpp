// The folders the open and save dialogs offer: every image opened, also from the command
// line, puts its folder at the top of the open dialog's list; every image saved, at the top of
// the save dialog's.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../shell/ProgramFixture.h"
#include "quillo/files/OpenPictureDialog.h"
#include "quillo/files/SavePictureDialog.h"

namespace {

class RecentFoldersTest : public ProgramTest {};

TEST_F(RecentFoldersTest, AnImageOpenedFromTheCommandLineGivesTheOpenDialogItsFolder) {
  std::filesystem::create_directories(home.Path() + "/shots");
  const std::string first = WriteImage("first.png", 8, 8, 0x102030);
  const std::string second = WriteImage("shots/second.png", 8, 8, 0x405060);
  Start({first, second});
  ASSERT_NE(OpenPlus, nullptr);
  TStrings* folders = OpenPlus->RecFolders->GetItems();
  ASSERT_GE(folders->Count(), 2);
  EXPECT_EQ(folders->Get(0), home.Path() + "/shots/");
  EXPECT_EQ(folders->Get(1), home.Path() + "/");
}

}  // namespace
