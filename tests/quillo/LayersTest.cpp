// The program's folders form layers: each may include only the folders below it. This test
// reads every #include between the program's folders and names each one that points the
// wrong way, by file and line.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Each folder with the folders it may include, besides itself. The files, output, filters
// and plug-ins folders stand side by side: none includes another.
const std::map<std::string, std::set<std::string>>& AllowedIncludes() {
  static const std::map<std::string, std::set<std::string>> table = {
      {"components", {}},
      {"base", {"components"}},
      {"document", {"components", "base"}},
      {"tools", {"components", "base", "document"}},
      {"files", {"components", "base", "document", "tools"}},
      {"output", {"components", "base", "document", "tools"}},
      {"filters", {"components", "base", "document", "tools"}},
      {"plugins", {"components", "base", "document", "tools"}},
      {"shell", {"components", "base", "document", "tools", "files", "output", "filters", "plugins"}},
      {"app", {"components", "base", "document", "tools", "files", "output", "filters", "plugins", "shell"}},
  };
  return table;
}

struct Include {
  std::string file;
  int line = 0;
  std::string from;
  std::string to;
};

// The folder of quillo/ a path lies in ("shell" for quillo/shell/MainForm.h).
std::string FolderOf(const fs::path& relative) {
  auto part = relative.begin();
  return part == relative.end() ? std::string() : part->string();
}

std::vector<Include> IncludesBetweenFolders(const fs::path& root) {
  static const std::regex includeLine(R"(^\s*#\s*include\s*"quillo/([^/"]+)/)");
  std::vector<Include> found;
  const fs::path program = root / "quillo";
  for (const auto& entry : fs::recursive_directory_iterator(program)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp" && extension != ".c")) continue;
    const fs::path relative = fs::relative(entry.path(), program);
    const std::string from = FolderOf(relative);
    std::ifstream in(entry.path());
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
      std::smatch match;
      if (std::regex_search(text, match, includeLine) && match[1] != from)
        found.push_back({"quillo/" + relative.generic_string(), number, from, match[1]});
    }
  }
  return found;
}

std::vector<std::string> Violations(const std::vector<Include>& includes) {
  std::vector<std::string> wrong;
  for (const Include& include : includes) {
    const auto allowed = AllowedIncludes().find(include.from);
    if (allowed == AllowedIncludes().end()) {
      wrong.push_back(include.file + ":" + std::to_string(include.line) + ": folder " + include.from +
                      " has no place among the layers");
    } else if (!allowed->second.count(include.to)) {
      wrong.push_back(include.file + ":" + std::to_string(include.line) + ": " + include.from +
                      " may not include " + include.to);
    }
  }
  return wrong;
}

TEST(LayersTest, EveryIncludeBetweenFoldersPointsDown) {
  const std::vector<Include> includes = IncludesBetweenFolders(QUILLO_SOURCE_DIR);
  ASSERT_FALSE(includes.empty()) << "no include between the program's folders was found";
  std::string report;
  for (const std::string& line : Violations(includes)) report += line + "\n";
  EXPECT_TRUE(report.empty()) << report;
}

TEST(LayersTest, EveryFolderOfTheProgramHasALayer) {
  for (const auto& entry : fs::directory_iterator(fs::path(QUILLO_SOURCE_DIR) / "quillo")) {
    if (!entry.is_directory()) continue;
    EXPECT_TRUE(AllowedIncludes().count(entry.path().filename().string()))
        << entry.path().filename().string() << " has no place among the layers";
  }
}

TEST(LayersTest, AnIncludeUpwardsIsNamedByFileAndLine) {
  const std::vector<std::string> wrong =
      Violations({{"quillo/document/ImageForm.cpp", 12, "document", "shell"},
                  {"quillo/shell/MainForm.cpp", 3, "shell", "document"},
                  {"quillo/files/OpenCommands.cpp", 7, "files", "filters"}});
  ASSERT_EQ(wrong.size(), 2u);
  EXPECT_EQ(wrong[0], "quillo/document/ImageForm.cpp:12: document may not include shell");
  EXPECT_EQ(wrong[1], "quillo/files/OpenCommands.cpp:7: files may not include filters");
}

}  // namespace
