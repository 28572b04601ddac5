// The language table: loading language files, the "[Messages]" lookup, message boxes, the
// list of languages, and what a missing or damaged file leaves behind.

#include <filesystem>

#include "LanguageFixture.h"
#include "platform/user/WinConst.h"
#include "support/TempHome.h"

namespace {

class LanguageTest : public LanguageFixture {};

TEST_F(LanguageTest, MessagesAreReadAsTheFileWritesThem) {
  WriteLanguage("English",
                "; comment before any section\r\n"
                "[Other]\r\nNoMem=not this one\r\n"
                "[messages]\r\n"
                "  NoMem = Not enough memory  \r\n"
                "; a comment\r\n"
                "\r\n"
                "Pad=@@word@\r\n"
                "Blank=@\r\n"
                "Sum=a=b\r\n"
                "NoMem=the second one\r\n"
                "Lonely\r\n"
                "[Next]\r\n"
                "After=not read\r\n");
  MakeTable();
  ASSERT_TRUE(Lang->Load("English"));
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"NoMem", "Not enough memory"}, {"Pad", "  word "}, {"Blank", " "}, {"Sum", "a=b"}, {"Lonely", ""},
      {"nomem", "nomem"},  // keys match case-sensitively; a missing key shows itself
      {"After", "After"},
  };
  for (const auto& [key, text] : expected) EXPECT_EQ(LangMessage(key), text) << key;
}

TEST_F(LanguageTest, WithoutATableMessagesAreEmpty) {
  EXPECT_EQ(LangMessage("NoMem"), "");
  MakeTable();
  EXPECT_EQ(LangMessage("NoMem"), "NoMem");
}

TEST_F(LanguageTest, MessageBoxesShowTheTextsOfTheirKeys) {
  WriteLanguage("English", "[Messages]\nNoMem=Not enough memory\nErr=Error\n");
  MakeTable();
  ASSERT_TRUE(Lang->Load("English"));
  std::string text, caption;
  UINT flags = 0;
  ui.OnMessageBox([&](const std::string& t, const std::string& c, UINT f) {
    text = t;
    caption = c;
    flags = f;
    return IDYES;
  });
  EXPECT_EQ(LangMessageBox("NoMem", "Err", 0x12340000 | MB_YESNO | MB_ICONEXCLAMATION), IDYES);
  EXPECT_EQ(text, "Not enough memory");
  EXPECT_EQ(caption, "Error");
  EXPECT_EQ(flags, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
}

TEST_F(LanguageTest, LanguageFilesAreFoundWithoutRegardToCase) {
  WriteLanguage("DEUTSCH", "[Messages]\nErr=Fehler\n");
  WriteLanguage("english", "[Messages]\nErr=Error\n");
  folder.WriteFile("notes.txt", "not a language");
  MakeTable();
  Lang->ScanLanguages();
  EXPECT_EQ(Lang->Names(), (std::vector<AnsiString>{"Deutsch", "English"}));
  ASSERT_TRUE(Lang->Load("Deutsch"));
  EXPECT_EQ(LangMessage("Err"), "Fehler");
  ASSERT_TRUE(Lang->Load("English"));
  EXPECT_EQ(LangMessage("Err"), "Error");
}

// A load that fails says so, naming the file and the reason, and everything stays as the
// language loaded before left it.
TEST_F(LanguageTest, AMissingOrDamagedFileKeepsTheLanguageLoaded) {
  const std::string sound = "[Messages]\r\nErr=Fehler\r\n[InfoForm]\r\nCaption=Info\r\n";
  WriteLanguage("Deutsch", sound);
  const std::vector<std::uint8_t> bytes = EncodeLanguageText("[Messages]\r\nErr=Erreur\r\n");
  folder.WriteFile("Cut.lng", std::string(bytes.begin(), bytes.end() - 1));
  folder.WriteFile("Garbage.lng", std::string("\x10\0\0\0\x01\x05\x01", 7));
  MakeTable();
  ASSERT_TRUE(Lang->Load("Deutsch"));

  std::vector<std::string> boxes;
  ui.OnMessageBox([&](const std::string& t, const std::string& c, UINT) {
    boxes.push_back(t + " / " + c);
    return IDOK;
  });
  const std::pair<const char*, const char*> cases[] = {
      {"Missing", "CantFindLngFile"}, {"Cut", "LngFileDamaged"},     {"Garbage", "LngFileDamaged"},
      {"../Deutsch", "CantFindLngFile"}, {"*", "CantFindLngFile"},
  };
  std::vector<std::string> expected;
  for (const auto& [name, reason] : cases) {
    EXPECT_FALSE(Lang->Load(name)) << name;
    EXPECT_EQ(LangMessage("Err"), "Fehler") << name;
    ASSERT_NE(Lang->Text(), nullptr);
    EXPECT_EQ(Lang->Text()->Text(), sound) << name;  // windows made later are still translated
    EXPECT_FALSE(Lang->BuiltIn());
    // The keys show as themselves: this language has no texts for them.
    expected.push_back("Can't Load Language File\n\n" + folder.Path() + "/" + name + ".lng\n" + reason + " / Error");
  }
  EXPECT_EQ(boxes, expected);
}

// A table that has loaded nothing takes the built-in English texts when a load fails, so that
// its message and the program have words; a file loaded later replaces them.
TEST_F(LanguageTest, TheFirstFailedLoadFallsBackOnTheBuiltInEnglish) {
  WriteLanguage("Deutsch", "[Messages]\nErr=Fehler\n");
  MakeTable();
  EXPECT_FALSE(Lang->Load("English"));
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], "Can't load the language file.\n\n" + folder.Path() + "/English.lng\n" +
                                         "The language file cannot be found.\n\nThe program goes on in English.");
  EXPECT_TRUE(Lang->BuiltIn());
  EXPECT_EQ(LangMessage("Err"), "Error");
  std::vector<LanguageText::Entry> entries;
  EXPECT_TRUE(Lang->Text()->SectionEntries("[MainForm]", entries));
  EXPECT_FALSE(entries.empty()) << "windows are translated too";
  ASSERT_TRUE(Lang->Load("Deutsch"));
  EXPECT_FALSE(Lang->BuiltIn());
  EXPECT_EQ(LangMessage("Err"), "Fehler");
}

// The decoded text lives in the process: the program folder (perhaps read-only) gets no
// file, and two tables (two running programs) hold their own languages side by side.
TEST_F(LanguageTest, LoadingWritesNothingAndTablesAreIndependent) {
  WriteLanguage("English", "[Messages]\nErr=Error\n");
  WriteLanguage("Deutsch", "[Messages]\nErr=Fehler\n");
  std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  const std::vector<std::string> before = folder.Files();
  Language first(folder.Path()), second(folder.Path());
  EXPECT_TRUE(first.Load("English"));
  EXPECT_TRUE(second.Load("Deutsch"));
  EXPECT_EQ(first.Message("Err"), "Error");
  EXPECT_EQ(second.Message("Err"), "Fehler");
  EXPECT_EQ(folder.Files(), before);
  std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

TEST_F(LanguageTest, TheShippedEnglishFileDecodesToItsSourceByteForByte) {
  const std::string source = FileContents(QUILLO_SOURCE_DIR "/data/languages/English.txt");
  ASSERT_FALSE(source.empty());
  Language table(QUILLO_BIN_DIR);
  ASSERT_EQ(table.LoadFile(QUILLO_BIN_DIR "/English.lng"), Language::LoadResult::Ok);
  EXPECT_EQ(table.Text()->Text(), source);
  EXPECT_EQ(EncodeLanguageText(source).size(), FileContents(QUILLO_BIN_DIR "/English.lng").size());
}

}  // namespace
