// The help pages as a user meets them: every help context a window of the program gives has a
// page of its own beside the program, every page's links lead somewhere, and F1 in a dialog,
// its Help button and Help > Contents open the right page in the desktop's browser.

#include "ProgramFixture.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

#include "platform/dialogs/DialogIds.h"
#include "platform/dialogs/ShellExecute.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/shell/HelpPages.h"
#include "quillo/shell/NewForm.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/Tool.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSourceHelp = fs::path(QUILLO_SOURCE_DIR) / "data" / "help";

std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The program's sources, each with its text.
std::vector<std::pair<fs::path, std::string>> ProgramSources() {
  std::vector<std::pair<fs::path, std::string>> sources;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(QUILLO_SOURCE_DIR) / "quillo")) {
    const auto ext = entry.path().extension();
    if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h")) sources.emplace_back(entry.path(), FileText(entry.path()));
  }
  return sources;
}

// Every help context written in the program's sources, with where it was found: the help
// constants (kHelpContext = 1410, PaletteSheetHelp = 1030, a tool's HelpContext = 100), the
// contexts set directly (SetHelpContext(1320)), the preferences' page table ("GeneralSheet",
// "General", 1530}), the tools' traits and the topics of the tips of the day.
std::map<int, std::string> ContextsInTheSources() {
  const std::regex patterns[] = {
      std::regex(R"(\b\w*HelpContext\w*\s*=\s*(\d+)\b)"),
      std::regex(R"(\b\w+Help\s*=\s*(\d+)\b)"),
      std::regex(R"(SetHelpContext\((\d+)\))"),
      std::regex(R"re("\w+Sheet",\s*"[^"]*",\s*(\d+)\})re"),
      // the tools' traits: {points, flags, undo, drop, feedback, snap, help context, ...
      std::regex(R"(\(\{\d+,\s*\w+,\s*\d+,\s*\d+,\s*\d+,\s*\d+,\s*(\d+),)"),
  };
  std::map<int, std::string> found;
  for (const auto& [path, text] : ProgramSources()) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      // Each pattern needs "Help", "Sheet" or a tool's traits: the regular expressions are slow.
      if (line.find("Help") == std::string::npos && line.find("Sheet") == std::string::npos && line.find("({") == std::string::npos)
        continue;
      for (const std::regex& pattern : patterns)
        for (std::sregex_iterator m(line.begin(), line.end(), pattern), end; m != end; ++m)
          found.emplace(std::stoi((*m)[1].str()), path.filename().string() + ": " + m->str());
    }
  }
  std::istringstream tips(FileText(fs::path(QUILLO_SOURCE_DIR) / "data" / "tips.txt"));
  for (std::string line; std::getline(tips, line);) {
    std::smatch m;
    if (std::regex_search(line, m, std::regex(R"(^(\d+),)"))) found.emplace(std::stoi(m[1].str()), "tips.txt: " + line);
  }
  found.erase(0);  // no help
  return found;
}

bool HasOwnPage(int context) {
  for (const HelpPage& page : HelpPages())
    if (page.context == context) return true;
  return false;
}

TEST(HelpPagesTest, EveryContextInTheSourcesHasItsPage) {
  const auto contexts = ContextsInTheSources();
  // The windows, sheets and preferences pages: a scan that finds fewer has lost its way.
  EXPECT_GE(contexts.size(), 45u);
  for (const auto& [context, where] : contexts) EXPECT_TRUE(HasOwnPage(context)) << context << " from " << where;
  for (const HelpPage& page : HelpPages()) {
    EXPECT_TRUE(fs::is_regular_file(kSourceHelp / page.file)) << page.file;
    EXPECT_TRUE(fs::is_regular_file(fs::path(QUILLO_BIN_DIR) / "help" / page.file)) << page.file << " beside the program";
    EXPECT_STREQ(HelpPageFile(page.context), page.file);
  }
  EXPECT_STREQ(HelpPageFile(0), HelpIndexFile);
  EXPECT_STREQ(HelpPageFile(424242), HelpIndexFile);
}

// The pages' links, as written, with their anchors.
struct Link {
  std::string page, target;
};

TEST(HelpPagesTest, EveryPageIsReachedAndEveryLinkResolves) {
  const std::regex linkPattern(R"re(\b(?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
  const std::regex idPattern(R"re(\b(?:id|name)\s*=\s*"([^"]*)")re", std::regex::icase);
  std::map<std::string, std::string> pages;  // file name -> text
  for (const auto& entry : fs::directory_iterator(kSourceHelp))
    if (entry.path().extension() == ".html") pages[entry.path().filename().string()] = FileText(entry.path());
  ASSERT_TRUE(pages.count(HelpIndexFile));

  std::set<std::string> reached{HelpIndexFile};
  for (const auto& [name, text] : pages) {
    EXPECT_EQ(text.find("<script"), std::string::npos) << name;
    EXPECT_NE(text.find("<title>"), std::string::npos) << name;
    for (std::sregex_iterator m(text.begin(), text.end(), linkPattern), end; m != end; ++m) {
      const std::string link = (*m)[1].str();
      ASSERT_FALSE(link.empty()) << name;
      EXPECT_EQ(link.find("://"), std::string::npos) << name << ": " << link << " leaves the help";
      const auto hash = link.find('#');
      const std::string file = hash == std::string::npos ? link : link.substr(0, hash);
      const std::string target = file.empty() ? name : file;
      ASSERT_TRUE(fs::is_regular_file(kSourceHelp / target)) << name << ": " << link;
      reached.insert(target);
      if (hash == std::string::npos) continue;
      const std::string anchor = link.substr(hash + 1);
      const std::string& targetText = pages[target];
      bool found = false;
      for (std::sregex_iterator id(targetText.begin(), targetText.end(), idPattern); id != end && !found; ++id)
        found = (*id)[1].str() == anchor;
      EXPECT_TRUE(found) << name << ": " << link << " has no such anchor";
    }
  }
  for (const auto& [name, text] : pages) EXPECT_TRUE(reached.count(name)) << name << " is linked from no page";
  for (const HelpPage& page : HelpPages()) EXPECT_TRUE(pages.count(page.file)) << page.file;
}

// PATH set for the test's lifetime (and put back afterwards).
class PathScope {
public:
  explicit PathScope(const std::string& path) {
    if (const char* old = std::getenv("PATH")) old_ = old;
    setenv("PATH", path.c_str(), 1);
  }
  ~PathScope() {
    if (old_) setenv("PATH", old_->c_str(), 1);
    else unsetenv("PATH");
  }
  PathScope(const PathScope&) = delete;
  PathScope& operator=(const PathScope&) = delete;

private:
  std::optional<std::string> old_;
};

class HelpProgramTest : public ProgramTest {
protected:
  HelpProgramTest() {
    SetShellStarter([this](const std::vector<std::string>& arguments, const std::string&) {
      opened.push_back(arguments.back());
      return 0;
    });
    const std::string opener = home.WriteFile("bin/xdg-open", "#!/bin/sh\nexit 0\n");
    ::chmod(opener.c_str(), 0755);
    path_ = std::make_unique<PathScope>(home.Path() + "/bin");
    Start();
  }
  ~HelpProgramTest() override {
    SetShellStarter(nullptr);
    Application()->OnHelp = nullptr;
  }

  static std::string Page(const char* file) { return std::string(QUILLO_BIN_DIR) + "/help/" + file; }
  static TNewForm* NewDialog() { return dynamic_cast<TNewForm*>(Screen()->ActiveForm()); }

  std::vector<std::string> opened;

private:
  std::unique_ptr<PathScope> path_;
};

TEST_F(HelpProgramTest, HelpContentsOpensTheIndex) {
  ChooseMenuItem("&Help", "&Contents");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(fs::path(opened[0]), fs::path(Page(HelpIndexFile)));
}

TEST_F(HelpProgramTest, F1AndTheHelpButtonOfADialogOpenItsPage) {
  struct Case {
    const char* what;
    std::function<void(UiDriver&)> ask;
  };
  const Case cases[] = {
      {"F1", [](UiDriver& driver) { driver.QueuePress(VK_F1); }},
      {"Help button",
       [](UiDriver& driver) {
         TButton* help = NewDialog()->HelpBtn;
         const POINT at = UiDriver::At(help->GetHandle(), help->GetWidth() / 2, help->GetHeight() / 2);
         driver.QueueClick(at.x, at.y);
       }},
  };
  for (const Case& c : cases) {
    opened.clear();
    bool dialogShown = false;
    ChooseMenuItem("&File", "&New...",
                   {[&] {
                      dialogShown = NewDialog() != nullptr;
                      if (dialogShown) c.ask(ui);
                    },
                    [&] { ui.QueuePress(VK_ESCAPE); }});
    ASSERT_TRUE(dialogShown) << c.what;
    ASSERT_EQ(opened.size(), 1u) << c.what;
    EXPECT_EQ(fs::path(opened[0]), fs::path(Page("new.html"))) << c.what;
  }
}

TEST_F(HelpProgramTest, TheFileDialogsHelpButtonAndF1OpenTheirPages) {
  struct Case {
    const char* menu;
    const char* item;
    bool byKey;
    const char* page;
  };
  const Case cases[] = {{"&File", "&Open...", false, "open.html"},
                        {"&File", "&Open...", true, "open.html"},
                        {"&File", "Save &As...", true, "save.html"}};
  for (const Case& c : cases) {
    opened.clear();
    bool buttonFound = false;
    ChooseMenuItem(c.menu, c.item,
                   {[&] {
                      HWND help = GetDlgItem(GetActiveWindow(), pshHelp);
                      buttonFound = help != nullptr && IsWindowVisible(help);
                      if (!buttonFound) return;
                      if (c.byKey) {
                        ui.QueuePress(VK_F1);
                        return;
                      }
                      RECT r{};
                      GetWindowRect(help, &r);
                      ui.QueueClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
                    },
                    [&] { ui.QueuePress(VK_ESCAPE); }});
    ASSERT_TRUE(buttonFound) << c.item << " " << c.byKey;
    ASSERT_EQ(opened.size(), 1u) << c.item << " " << c.byKey;
    EXPECT_EQ(fs::path(opened[0]), fs::path(Page(c.page))) << c.item << " " << c.byKey;
  }
}

// What the running program gives, as a second look beside the sources': every control, page
// and form made at start with a help context, and every tool of the palette, has its page.
TEST_F(HelpProgramTest, EveryContextOfTheStartedWindowsHasItsPage) {
  std::set<int> contexts;
  std::function<void(TComponent*)> collect = [&](TComponent* component) {
    if (auto* control = dynamic_cast<TControl*>(component); control && control->GetHelpContext() != 0)
      contexts.insert(control->GetHelpContext());
    for (int i = 0; i < component->ComponentCount(); ++i) collect(component->Components(i));
  };
  collect(Application());
  for (const PaletteEntry& entry : PaletteEntries)
    if (entry.Tool && entry.Tool->HelpContext != 0) contexts.insert(entry.Tool->HelpContext);
  EXPECT_GE(contexts.size(), 10u);
  for (int context : contexts) EXPECT_TRUE(HasOwnPage(context)) << context;
}

}  // namespace
