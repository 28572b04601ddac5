// The platform's folders include one another in one direction only, from the bottom up, and
// only the window manager and GDI talk to the host.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

// Bottom first: a folder may include from itself and the folders before it.
const std::vector<std::string> kLayers = {"host", "rtl", "gdi", "user", "controls", "dialogs", "avi", "printers", "scanners", "vcl"};
const std::vector<std::string> kHostTalkers = {"host", "gdi", "user"};

int Rank(const std::string& folder) {
  for (size_t i = 0; i < kLayers.size(); ++i)
    if (kLayers[i] == folder) return static_cast<int>(i);
  return -1;
}

bool MayInclude(const std::string& from, const std::string& to) {
  if (to == "host") return std::find(kHostTalkers.begin(), kHostTalkers.end(), from) != kHostTalkers.end();
  return Rank(to) >= 0 && Rank(to) <= Rank(from);
}

TEST(PlatformLayering, FoldersIncludeOnlyTheFoldersBeneathThem) {
  const std::filesystem::path root = std::filesystem::path(QUILLO_SOURCE_DIR) / "platform";
  const std::regex include(R"(^\s*#\s*include\s+"platform/([A-Za-z]+)/)");
  std::vector<std::string> wrong;
  int files = 0;
  for (const std::string& folder : kLayers) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
      const std::string ext = entry.path().extension().string();
      if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
      ++files;
      std::ifstream in(entry.path());
      std::string line;
      std::smatch m;
      while (std::getline(in, line))
        if (std::regex_search(line, m, include) && !MayInclude(folder, m[1].str()))
          wrong.push_back(std::filesystem::relative(entry.path(), root).string() + " includes " + m[1].str() + "/");
    }
  }
  EXPECT_GT(files, 100);
  EXPECT_EQ(wrong, std::vector<std::string>{});
}

}  // namespace
