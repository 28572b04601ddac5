#include "platform/vcl/IniFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/vcl/Strings.h"
#include "support/SpecialFiles.h"
#include "support/TempHome.h"

namespace {

std::vector<std::string> Lines(const TStrings& strings) {
  std::vector<std::string> lines;
  for (int i = 0; i < strings.Count(); ++i) lines.push_back(strings.Get(i));
  return lines;
}

}  // namespace

TEST(TIniFile, ReadsAndWritesTypedValues) {
  TempHome home;
  const std::string file = home.WriteFile("app.ini", "[Form]\r\nLeft=10\r\nHex=0x1F\r\nText=wide\r\n");
  TIniFile ini(file);
  EXPECT_EQ(ini.FileName(), file);
  EXPECT_EQ(ini.ReadInteger("form", "LEFT", 0), 10);
  EXPECT_EQ(ini.ReadInteger("Form", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Form", "Text", -1), -1);
  EXPECT_EQ(ini.ReadInteger("Form", "Missing", 5), 5);
  EXPECT_EQ(ini.ReadString("Form", "Missing", "fallback"), "fallback");
  ini.WriteInteger("Form", "Top", -3);
  ini.WriteBool("Form", "Max", true);
  ini.WriteString("Other", "Name", "\"quoted\"");
  EXPECT_EQ(ini.ReadInteger("Form", "Top", 0), -3);
  EXPECT_TRUE(ini.ReadBool("Form", "Max", false));
  EXPECT_EQ(ini.ReadString("Other", "Name", ""), "quoted") << "one pair of quotes goes, as in any INI file";
  EXPECT_EQ(FileContents(file), "[Form]\r\nLeft=10\r\nHex=0x1F\r\nText=wide\r\nTop=-3\r\nMax=1\r\n[Other]\r\nName=\"quoted\"\r\n");
}

TEST(TIniFile, ListsErasesAndDeletes) {
  TempHome home;
  const std::string file = home.WriteFile("app.ini", "[One]\na=1\nb=2\n[Two]\nc=3\n[Empty]\n");
  TIniFile ini(file);
  TStringList strings;
  strings.Add("stale");
  ini.ReadSections(&strings);
  EXPECT_EQ(Lines(strings), (std::vector<std::string>{"One", "Two", "Empty"}));
  ini.ReadSection("one", &strings);
  EXPECT_EQ(Lines(strings), (std::vector<std::string>{"a", "b"}));
  ini.ReadSectionValues("One", &strings);
  EXPECT_EQ(Lines(strings), (std::vector<std::string>{"a=1", "b=2"}));
  EXPECT_TRUE(ini.SectionExists("Two"));
  EXPECT_FALSE(ini.SectionExists("Empty")) << "a section counts when it has an identifier";
  EXPECT_TRUE(ini.ValueExists("One", "B"));
  EXPECT_FALSE(ini.ValueExists("One", "c"));

  ini.DeleteKey("One", "a");
  ini.EraseSection("Two");
  EXPECT_EQ(FileContents(file), "[One]\nb=2\n[Empty]\n");
}

TEST(TIniFile, ABareNameLivesInTheWindowsFolder) {
  TempHome home;
  TIniFile ini("QL.INI");
  ini.WriteString("Capture", "Delay", "3");
  EXPECT_EQ(FileContents(home.Path() + "/windows/QL.INI"), "[Capture]\r\nDelay=3\r\n");
  EXPECT_EQ(TIniFile("QL.INI").ReadString("Capture", "Delay", ""), "3");
}

// Text that would read back as other lines, sections or keys is refused, and the file stays.
TEST(TIniFile, RefusesWritesThatWouldBreakTheFile) {
  TempHome home;
  const std::string original = "[s]\nk=v\n";
  const std::string file = home.WriteFile("app.ini", original);
  TIniFile ini(file);
  struct Case {
    const char* section;
    const char* ident;
    const char* value;
  } cases[] = {
      {"s", "k", "two\nlines"},     {"s", "k", "carriage\rreturn"}, {"s", "new", "x\n[evil]\nk=1"},
      {"s]x", "k", "v"},            {"s\n", "k", "v"},              {"s", "a=b", "v"},
      {"s", "[section]", "v"},      {"s", "", "v"},                 {"s", "  ", "v"},
      {"s", "line\nbreak", "v"},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(ini.WriteString(c.section, c.ident, c.value), EIniFileException) << c.ident << "=" << c.value;
    EXPECT_EQ(FileContents(file), original);
  }
}

TEST(TIniFile, AFileThatCannotBeWrittenIsReportedAndKept) {
  TempHome home;
  for (SpecialFile kind : {SpecialFile::DanglingLink, SpecialFile::Folder}) {
    const std::string path = home.Path() + "/" + Describe(kind) + ".ini";
    MakeSpecialFile(kind, path);
    const std::string before = Inspect(path);
    TIniFile ini(path);
    EXPECT_THROW(ini.WriteString("s", "k", "v"), EIniFileException) << Describe(kind);
    EXPECT_THROW(ini.EraseSection("s"), EIniFileException) << Describe(kind);
    EXPECT_THROW(ini.DeleteKey("s", "k"), EIniFileException) << Describe(kind);
    EXPECT_EQ(Inspect(path), before) << Describe(kind);
    EXPECT_EQ(ini.ReadString("s", "k", "fallback"), "fallback");
  }
}
