// Every key the program's code asks for is in the English file, so a missing text fails here
// instead of showing its key on a caption. The scanner itself is checked on a sample first.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "LanguageKeyScan.h"
#include "quillo/shell/Language.h"
#include "support/TempHome.h"

namespace {

TEST(LanguageKeysTest, TheScannerFindsLiteralKeysOfTheLookups) {
  const std::string sample =
      "void F() {\n"
      "  LangMessageBox(\"NoMem\", \"Err\", MB_ICONEXCLAMATION);\n"
      "  s = LangMessage ( \"Untitled\" ) + \" \" + IntToStr(n);\n"
      "  s = LangMessage(key);  // LangMessage(\"InAComment\")\n"
      "  /* LangMessage(\"InABlock\") */ MyLangMessage(\"NotALookup\");\n"
      "  TranslateForm(\"[InfoForm]\");\n"
      "  TranslateForm(\"[\" + GetName() + \"]\");\n"
      "  static const char* keys[] = {LangKey(\"Pen\"), LangKey(\"Line\")};\n"
      "  tool->SetStatusText(\"Say \\\"hi\\\"\");\n"
      "  picture->PushUndo(Choose(a, \"x\"), rect);\n"
      "  LangMessageBox(Format(\"%d\", 1), \"Warn\", 0);\n"
      "}\n";
  std::vector<std::string> found;
  for (const LanguageKeyUse& use : ScanLanguageKeys(sample, "sample.cpp"))
    found.push_back(std::to_string(use.line) + " " + use.call + " " + (use.section ? "section " : "") + use.key);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{
                       "11 LangMessageBox Warn",
                       "2 LangMessageBox Err",
                       "2 LangMessageBox NoMem",
                       "3 LangMessage Untitled",
                       "6 TranslateForm section [InfoForm]",
                       "8 LangKey Line",
                       "8 LangKey Pen",
                       "9 SetStatusText Say \"hi\"",
                   }));
}

TEST(LanguageKeysTest, EveryKeyTheProgramAsksForIsInTheEnglishFile) {
  Language english(QUILLO_BIN_DIR);
  ASSERT_EQ(english.LoadFile(QUILLO_BIN_DIR "/English.lng"), Language::LoadResult::Ok);
  const std::set<AnsiString> keys(english.Keys().begin(), english.Keys().end());

  std::vector<std::string> missing;
  int uses = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(QUILLO_SOURCE_DIR "/quillo")) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
    const std::string relative = std::filesystem::relative(entry.path(), QUILLO_SOURCE_DIR).string();
    for (const LanguageKeyUse& use : ScanLanguageKeys(FileContents(entry.path().string()), relative)) {
      ++uses;
      std::vector<LanguageText::Entry> ignored;
      const bool present = use.section ? english.Text()->SectionEntries(use.key, ignored) : keys.count(use.key) != 0;
      if (!present)
        missing.push_back(use.file + ":" + std::to_string(use.line) + ": " + use.call + " asks for " +
                          (use.section ? "section " : "key ") + use.key);
    }
  }
  EXPECT_GT(uses, 0);
  for (const std::string& m : missing) ADD_FAILURE() << m << " that data/languages/English.txt lacks";
}

}  // namespace
