// The started program with a damaged or missing data file in its folder: the English language
// file and the skins. Each is told to the user, naming the file and what is wrong with it, and
// the program stays usable on what is built into it.

#include <filesystem>
#include <fstream>
#include <optional>

#include "ProgramFixture.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramFolder.h"
#include "quillo/base/Settings.h"
#include "quillo/base/Skins.h"
#include "quillo/components/toolbars/ToolbarButton.h"

namespace {

namespace fs = std::filesystem;

const std::string BuiltFolder = std::string(QUILLO_BIN_DIR) + "/";

class DamagedDataProgramTest : public ProgramTest {
protected:
  ~DamagedDataProgramTest() override { Skins.reset(); }

  // A program folder of the test's own with the built one's data files, made the program's.
  void UseOwnProgramFolder() {
    fs::create_directories(folder + "Skins");
    fs::copy_file(BuiltFolder + "English.lng", folder + "English.lng");
    fs::copy_file(BuiltFolder + "Skins/Standard Shaded.skn", folder + "Skins/Standard Shaded.skn");
    fs::copy_file(BuiltFolder + "tips.txt", folder + "tips.txt");
    SetProgramFolder(folder);
  }
  // Puts bytes in place of a file of the folder; nullopt removes it.
  void Replace(const std::string& name, const std::optional<std::string>& bytes) {
    fs::remove(folder + name);
    if (bytes) std::ofstream(folder + name, std::ios::binary) << *bytes;
  }
  // The program ends as when it is abandoned, for the next case to start afresh.
  void Abandon() {
    ResetApplication();
    Lang.reset();
    Skins.reset();
  }
  tbx::TToolbarButtonX* Button(const char* name) const {
    return dynamic_cast<tbx::TToolbarButtonX*>(form->FindComponent(name));
  }
  static bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  const std::string folder = home.Path() + "/program/";
};

std::string CutShort(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return bytes.substr(0, bytes.size() / 2);
}

// Without a readable English file the program runs on its built-in English texts: a menu bar
// with its captions, messages in words. The message says which file and why.
TEST_F(DamagedDataProgramTest, AnUnusableEnglishFileIsNamedAndTheBuiltInTextsServe) {
  UseOwnProgramFolder();
  const struct {
    const char* what;
    std::optional<std::string> bytes;
    const char* reason;
  } cases[] = {
      {"damaged", std::string("\x10\0\0\0\x01\x05\x01", 7), "The language file is damaged."},
      {"cut short", CutShort(BuiltFolder + "English.lng"), "The language file is damaged."},
      {"missing", std::nullopt, "The language file cannot be found."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Replace("English.lng", c.bytes);
    const std::size_t before = ui.MessageBoxTexts().size();
    Start();
    ASSERT_EQ(ui.MessageBoxTexts().size(), before + 1);
    const std::string text = ui.MessageBoxTexts().back();
    EXPECT_TRUE(Holds(text, "Can't load the language file.")) << text;
    EXPECT_TRUE(Holds(text, folder + "English.lng")) << text;
    EXPECT_TRUE(Holds(text, c.reason)) << text;
    EXPECT_TRUE(Holds(text, "The program goes on in English.")) << text;
    ASSERT_TRUE(Lang);
    EXPECT_TRUE(Lang->BuiltIn());
    EXPECT_EQ(LangMessage("NoMem"), "Not enough memory for this operation.");
    EXPECT_NE(FindMenuItem({"&File", "E&xit"}).menu, nullptr) << "the menus have their captions";
    EXPECT_NE(FindMenuItem({"&Help"}).menu, nullptr);
    Abandon();
  }
}

// A skin that cannot be loaded is named; the program's own skin stands in for another one,
// and the icons built into the program for the program's own.
TEST_F(DamagedDataProgramTest, AnUnusableSkinIsNamedAndTheNextFallbackServes) {
  UseOwnProgramFolder();
  const std::string own = folder + "Skins/Standard Shaded.skn";
  const std::string skin = FileContents(own);
  const struct {
    const char* what;
    const char* chosen;
    std::optional<std::string> ownBytes;
    std::vector<std::vector<std::string>> messages;  // the parts of each message shown
  } cases[] = {
      {"another skin missing", "Gone", skin,
       {{"The skin file cannot be found:", folder + "Skins/Gone.skn", "The program's own skin is used instead."}}},
      {"the own skin damaged", "Standard Shaded", std::string("BM not an image"),
       {{"The skin file is damaged:", own, "The icons built into the program are used instead."}}},
      {"the own skin cut short", "Standard Shaded", skin.substr(0, skin.size() / 3),
       {{"The skin file is damaged:", own, "The icons built into the program are used instead."}}},
      {"another missing, the own missing too", "Gone", std::nullopt,
       {{"The skin file cannot be found:", folder + "Skins/Gone.skn", "The program's own skin is used instead."},
        {"The skin file cannot be found:", own, "The icons built into the program are used instead."}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Replace("Skins/Standard Shaded.skn", c.ownBytes);
    Settings.Skin = c.chosen;
    const std::size_t before = ui.MessageBoxTexts().size();
    Start();
    ASSERT_EQ(ui.MessageBoxTexts().size(), before + c.messages.size());
    for (std::size_t i = 0; i < c.messages.size(); ++i)
      for (const std::string& part : c.messages[i])
        EXPECT_TRUE(Holds(ui.MessageBoxTexts()[before + i], part)) << ui.MessageBoxTexts()[before + i];
    ASSERT_TRUE(Skins);
    EXPECT_TRUE(Skins->Loaded());
    EXPECT_FALSE(Button("NewBtn")->GetGlyph()->Empty()) << "the toolbar shows icons";
    EXPECT_EQ(Settings.Skin, c.chosen) << "a fallback is no choice of the user's";
    Abandon();
  }
}

}  // namespace
