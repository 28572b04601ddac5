// The started program and trouble with its settings file: a damaged file kept aside and
// settings that cannot be saved are told once, in a message box naming the file (and the
// kept copy).

#include <filesystem>
#include <fstream>

#include "ProgramFixture.h"
#include "platform/rtl/RegistryStore.h"
#include "platform/vcl/Registry.h"
#include "quillo/base/Settings.h"
#include "quillo/shell/SettingsStorage.h"
#include "support/ImmutableFolder.h"

namespace {

class SettingsTroubleProgramTest : public ProgramTest {
protected:
  static bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
  // Writes a value through an open key, which saves when the key closes.
  static void WriteSetting(const char* name, int value) {
    TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
    ASSERT_TRUE(registry->OpenKey(AnsiString(SettingsRegistryKey) + "Trouble", true));
    registry->WriteInteger(name, value);
    registry->CloseKey();
  }
  const std::string registry = RegistryStore::DefaultFileName();
};

TEST_F(SettingsTroubleProgramTest, ADamagedSettingsFileIsNamedWithItsKeptCopy) {
  StorePreferences(nullptr);
  WriteSetting("Before", 1);
  std::ofstream(registry, std::ios::app) << "\"Bad\"=dword:xyz\n";
  Start({}, StoredSettings::AsTheyAre);
  std::vector<std::string> kept;
  for (const auto& e : std::filesystem::directory_iterator(home.Path()))
    if (e.path().filename().string().starts_with("registry.txt.damaged-")) kept.push_back(e.path().string());
  ASSERT_EQ(kept.size(), 1u);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  const std::string text = ui.MessageBoxTexts().back();
  EXPECT_TRUE(Holds(text, "The settings file was damaged.")) << text;
  EXPECT_TRUE(Holds(text, registry + "\n")) << text;
  EXPECT_TRUE(Holds(text, "The damaged file is kept as:\n" + kept[0])) << text;
  TOwnedPtr<TRegistry> stored = MakeObject<TRegistry>();
  ASSERT_TRUE(stored->OpenKey(AnsiString(SettingsRegistryKey) + "Trouble", false));
  EXPECT_EQ(stored->ReadInteger("Before"), 1) << "what could be read is used";
  stored->CloseKey();
}

// A settings folder the program may not write: the settings cannot be saved, said once however
// often the program tries.
TEST_F(SettingsTroubleProgramTest, SettingsThatCannotBeSavedAreToldOnce) {
  Start();
  ASSERT_TRUE(ui.MessageBoxTexts().empty());
  {
    ImmutableFolder locked(home.Path());
    if (!locked.Set()) GTEST_SKIP() << "this file system keeps no immutable flag";
    WriteSetting("First", 1);
    WriteSetting("Second", 2);
  }
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  const std::string text = ui.MessageBoxTexts().back();
  EXPECT_TRUE(Holds(text, "The settings cannot be saved.")) << text;
  EXPECT_TRUE(Holds(text, registry)) << text;
}

}  // namespace
