#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialogs/ShellExecute.h"
#include "support/TempHome.h"
#include "support/XdgHome.h"

namespace {

int Code(HINSTANCE result) { return static_cast<int>(reinterpret_cast<std::intptr_t>(result)); }

// A folder on the PATH with a stand-in xdg-open (that writes its arguments, one a line, to
// <its path>.out), and a starter that records instead of starting.
class ShellExecuteTest : public ::testing::Test {
protected:
  ShellExecuteTest() {
    bin = xdg.MakeFolder("bin");
    opener = xdg.WriteFile("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.out\"\n");
    ::chmod(opener.c_str(), 0755);
    xdg.Set("PATH", (xdg.Root() + "/nothing-here:" + bin).c_str());
    SetShellStarter([this](const std::vector<std::string>& arguments, const std::string& folder) {
      started.push_back(arguments);
      folders.push_back(folder);
      return 0;
    });
  }
  ~ShellExecuteTest() override { SetShellStarter(nullptr); }

  XdgHome xdg;
  std::string bin, opener;
  std::vector<std::vector<std::string>> started;
  std::vector<std::string> folders;
};

TEST_F(ShellExecuteTest, OpensFilesAndAddressesWithXdgOpenAsOneArgument) {
  const std::string docs = xdg.MakeFolder("docs");
  const std::string page = xdg.WriteFile("docs/page 1; rm -rf ~ $(x).html", "<html/>");
  xdg.WriteFile("docs/-n", "a name that looks like an option");
  xdg.WriteFile("docs/notes:draft.txt", "a colon in a file name");
  struct Case {
    const char* what;
    const char* verb;
    std::string file;
    std::string folder;
    int result;  // 0: success (> 32)
    std::string argument;
  };
  const Case cases[] = {
      {"no verb, full path", nullptr, page, "", 0, page},
      {"open, name in lpDirectory", "open", "page 1; rm -rf ~ $(x).html", docs, 0, page},
      {"OPEN in capitals", "OPEN", page, "", 0, page},
      {"explore a folder", "explore", docs, "", 0, docs},
      {"a web address as it is", nullptr, "https://example.org/a b?q=1&r=$(id)", "", 0,
       "https://example.org/a b?q=1&r=$(id)"},
      {"mailto", "open", "mailto:someone@example.org", "", 0, "mailto:someone@example.org"},
      {"a name like an option", "open", "-n", docs, 0, docs + "/-n"},
      {"a file whose name looks like an address", "open", "notes:draft.txt", docs, 0, docs + "/notes:draft.txt"},
      {"an address that is no file", "open", "notes:other.txt", docs, 0, "notes:other.txt"},
      {"a missing file", nullptr, docs + "/missing.html", "", SE_ERR_FNF, ""},
      {"a missing name in lpDirectory", "open", "missing.html", docs, SE_ERR_FNF, ""},
      {"an empty name", nullptr, "", "", SE_ERR_FNF, ""},
      {"another verb", "print", page, "", SE_ERR_NOASSOC, ""},
  };
  for (const Case& c : cases) {
    started.clear();
    const int result = Code(ShellExecute(nullptr, c.verb, c.file.c_str(), "--ignored", c.folder.empty() ? nullptr : c.folder.c_str(), SW_SHOWNORMAL));
    if (c.result == 0) {
      EXPECT_GT(result, 32) << c.what;
      ASSERT_EQ(started.size(), 1u) << c.what;
      EXPECT_EQ(started[0], (std::vector<std::string>{opener, c.argument})) << c.what;
      EXPECT_EQ(folders.back(), c.folder) << c.what;
    } else {
      EXPECT_EQ(result, c.result) << c.what;
      EXPECT_TRUE(started.empty()) << c.what;
    }
  }
}

TEST_F(ShellExecuteTest, WithoutXdgOpenThereIsNoAssociation) {
  const std::string page = xdg.WriteFile("page.html", "<html/>");
  xdg.Set("PATH", (xdg.Root() + "/nothing-here").c_str());
  EXPECT_EQ(Code(ShellExecute(nullptr, nullptr, page.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_NOASSOC);
  xdg.Set("PATH", nullptr);
  EXPECT_EQ(Code(ShellExecute(nullptr, nullptr, page.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_NOASSOC);
  ::chmod(opener.c_str(), 0644);  // there but not a program
  xdg.Set("PATH", bin.c_str());
  EXPECT_EQ(Code(ShellExecute(nullptr, nullptr, page.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_NOASSOC);
  EXPECT_TRUE(started.empty());
}

// The real starter runs the program without a shell and without waiting for it.
TEST_F(ShellExecuteTest, StartsTheHandlerDetachedWithTheArgumentList) {
  SetShellStarter(nullptr);
  const std::string page = xdg.WriteFile("a \"quoted\" $(name).html", "<html/>");
  ASSERT_GT(Code(ShellExecute(nullptr, "open", page.c_str(), nullptr, xdg.Root().c_str(), SW_SHOWNORMAL)), 32);
  const std::string out = opener + ".out";
  std::string written;
  // The handler runs on its own; wait for its whole trace.
  for (int i = 0; i < 500 && (written.empty() || written.back() != '\n'); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    written = FileContents(out);
  }
  EXPECT_EQ(written, page + "\n");
}

TEST(ShellStart, AProgramThatIsNotThereIsAnError) {
  EXPECT_EQ(StartDetached({"/nonexistent/program"}, ""), ENOENT);
  EXPECT_EQ(StartDetached({}, ""), EINVAL);
}

}  // namespace
