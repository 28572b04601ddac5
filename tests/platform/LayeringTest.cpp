// The platform's folders include one another in one direction only, from the bottom up, and
// only the window manager and GDI talk to the host. The platform's core library (the folders
// and units the build lists, QUILLO_PLATFORM_CORE) includes nothing of the rest but headers
// without code of their own, so the graphics library that links only the core never needs the
// window system, printing, scanning or mail.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
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

// A source file of the layer and what it includes of the layer ("gdi/Gdi.h").
struct SourceFile {
  std::string folder;
  std::filesystem::path path;
  std::vector<std::string> includes;
};

const std::filesystem::path& PlatformRoot() {
  static const std::filesystem::path root = std::filesystem::path(QUILLO_SOURCE_DIR) / "platform";
  return root;
}

std::vector<SourceFile> PlatformSources() {
  const std::regex include(R"re(^\s*#\s*include\s+"platform/([^"]+)")re");
  std::vector<SourceFile> sources;
  for (const std::string& folder : kLayers) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(PlatformRoot() / folder)) {
      const std::string ext = entry.path().extension().string();
      if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
      SourceFile source{folder, entry.path(), {}};
      std::ifstream in(entry.path());
      std::string line;
      std::smatch m;
      while (std::getline(in, line))
        if (std::regex_search(line, m, include)) source.includes.push_back(m[1].str());
      sources.push_back(std::move(source));
    }
  }
  return sources;
}

std::string Shown(const SourceFile& source) { return std::filesystem::relative(source.path, PlatformRoot()).string(); }

TEST(PlatformLayering, FoldersIncludeOnlyTheFoldersBeneathThem) {
  const std::vector<SourceFile> sources = PlatformSources();
  std::vector<std::string> wrong;
  for (const SourceFile& source : sources)
    for (const std::string& included : source.includes) {
      const std::string folder = included.substr(0, included.find('/'));
      if (!MayInclude(source.folder, folder)) wrong.push_back(Shown(source) + " includes " + folder + "/");
    }
  EXPECT_GT(sources.size(), 100u);
  EXPECT_EQ(wrong, std::vector<std::string>{});
}

// The core's folders and units ("user/IconImage"), as the build lists them.
std::set<std::string> CoreParts() {
  std::set<std::string> parts;
  std::istringstream list(QUILLO_PLATFORM_CORE);
  for (std::string part; list >> part;) parts.insert(part);
  return parts;
}

// A unit ("gdi/Dib") belongs to the core when its folder or the unit itself is listed.
bool InCore(const std::set<std::string>& core, const std::string& unit) {
  return core.count(unit.substr(0, unit.find('/'))) != 0 || core.count(unit) != 0;
}

std::string UnitOf(const std::string& file) { return file.substr(0, file.rfind('.')); }

TEST(PlatformLayering, TheCoreIncludesOnlyTheCoreAndHeadersWithoutCode) {
  const std::set<std::string> core = CoreParts();
  ASSERT_TRUE(core.count("rtl") && core.count("gdi")) << QUILLO_PLATFORM_CORE;
  std::vector<std::string> wrong;
  int files = 0;
  for (const SourceFile& source : PlatformSources()) {
    if (!InCore(core, source.folder + "/" + source.path.stem().string())) continue;
    ++files;
    for (const std::string& included : source.includes) {
      const std::string unit = UnitOf(included);
      // A header with no source file of its own declares or defines inline only what it
      // holds; anything it declares that the core calls still fails the core's link.
      if (!InCore(core, unit) && std::filesystem::exists(PlatformRoot() / (unit + ".cpp")))
        wrong.push_back(Shown(source) + " includes " + included);
    }
  }
  EXPECT_GT(files, 50);
  EXPECT_EQ(wrong, std::vector<std::string>{});
}

}  // namespace
