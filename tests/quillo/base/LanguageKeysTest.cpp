// Every key the program's code asks for is in the English file, so a missing text fails here
// instead of showing its key on a caption. The scanner itself is checked on a sample first.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "LanguageKeyScan.h"
#include "quillo/base/Language.h"
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

// The option-bar layouts, read by the grammar of the bar builder: the tools address their
// value controls by index, so each bar must hold the controls they read, in that order, with
// numbers where numbers belong. '?' stands for any value control.
TEST(LanguageKeysTest, OptionBarLayoutsHoldTheControlsTheToolsRead) {
  Language english(QUILLO_BIN_DIR);
  ASSERT_EQ(english.LoadFile(QUILLO_BIN_DIR "/English.lng"), Language::LoadResult::Ok);
  const std::vector<std::pair<const char*, std::string>> bars = {
      {"LINEBAR", "LIL"},   {"CURVEBAR", "LIL"},  {"CIRCLEBAR", "LI"}, {"ELLIPSEBAR", "LI"},
      {"CLONEBAR", "?"},    {"SFILLBAR", "IICC"}, {"PFILLBAR", "IICCBL"}, {"SPRAYBAR", "BII"},
      {"AIRBRUSHBAR", "BII"}, {"CUTBAR", "BIIBB"}, {"WANDBAR", "IC"},  {"CHBAR", "I"},
  };
  auto isNumber = [](const std::string& field, bool integer) {
    char* end = nullptr;
    if (integer) std::strtol(field.c_str(), &end, 10);
    else std::strtod(field.c_str(), &end);
    return !field.empty() && *end == '\0';
  };
  for (const auto& [key, expected] : bars) {
    std::vector<std::string> fields;
    const std::string layout = english.Message(key);
    for (std::size_t start = 0;;) {
      const std::size_t comma = layout.find(',', start);
      fields.push_back(layout.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    std::string controls;
    std::size_t i = 1;  // field 0 is the sheet's caption
    auto take = [&](std::size_t n) {
      std::vector<std::string> taken;
      for (std::size_t k = 0; k < n; ++k) taken.push_back(i < fields.size() ? fields[i++] : std::string());
      return taken;
    };
    while (i < fields.size()) {
      const std::string field = fields[i++];
      const char code = field.empty() ? '\0' : field[0];
      std::vector<std::string> f;
      switch (code) {
        case 'B': case 'P': case 'T': f = take(2); break;
        case 'C': f = take(3); EXPECT_TRUE(isNumber(f[1], true)) << key; break;
        case 'O': f = take(3); break;
        case 'G': f = take(1); break;
        case 'N': break;
        case 'I':
          f = take(5);
          EXPECT_TRUE(isNumber(f[1], true) && isNumber(f[2], true) && isNumber(f[3], true)) << key;
          EXPECT_TRUE(std::stol(f[1]) <= std::stol(f[3]) && std::stol(f[3]) <= std::stol(f[2])) << key;
          break;
        case 'F': f = take(6); EXPECT_TRUE(isNumber(f[1], true) && isNumber(f[2], false) && isNumber(f[3], false)) << key; break;
        case 'L': {
          f = take(2);
          ASSERT_TRUE(isNumber(f[1], true)) << key;
          take(static_cast<std::size_t>(std::stol(f[1])) + 1);
          break;
        }
        default: continue;  // not a code: skipped, as the builder skips it
      }
      if (code != 'G' && code != 'N' && code != 'T') controls += code;
    }
    ASSERT_EQ(controls.size(), expected.size()) << key << " holds " << controls;
    for (std::size_t c = 0; c < expected.size(); ++c)
      if (expected[c] != '?') {
        EXPECT_EQ(controls[c], expected[c]) << key << " control " << c;
      }
  }
}

}  // namespace
