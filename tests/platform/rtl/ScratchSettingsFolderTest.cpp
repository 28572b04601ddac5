// Test programs, like every program of the build but the program itself, start with a settings
// folder of their own: a test that forgets to make one still never touches the user's.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/rtl/SettingsFolder.h"

namespace {

TEST(ScratchSettingsFolderTest, TheTestProgramStartsWithAFreshFolderOfItsOwn) {
  const char* home = std::getenv("QUILLO_HOME");
  ASSERT_NE(home, nullptr);
  const std::string folder = home;
  EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
  EXPECT_NE(folder.find("quillo-settings-"), std::string::npos) << folder;
  EXPECT_EQ(std::string(SettingsFolder().c_str()), folder);
  const char* user = std::getenv("HOME");
  if (user != nullptr) {
    EXPECT_NE(folder, std::string(user) + "/.config/quillo");
  }
}

}  // namespace
