// The swap folders of runs that ended without closing down (killed, crashed): each run holds
// its own locked while it lives, and a start removes those nobody holds.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "quillo/base/Settings.h"
#include "quillo/document/UndoSwapFile.h"
#include "support/TempHome.h"

namespace {

class UndoSwapFoldersTest : public ::testing::Test {
protected:
  UndoSwapFoldersTest() : savedDir_(Settings.UndoDir) {
    std::filesystem::create_directories(undo);
    Settings.UndoDir = undo;
  }
  ~UndoSwapFoldersTest() override {
    RemoveAllSwapFolders();
    Settings.UndoDir = savedDir_;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(undo)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempHome home;
  const std::string undo = home.Path() + "/undo";

private:
  AnsiString savedDir_;
};

// The swap folder a run made, with a swapped step in it, as the run left it when it was killed.
std::string FolderOfAKilledRun(const std::string& undo) {
  const std::vector<std::string> before = [&] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(undo)) names.push_back(e.path().string());
    return names;
  }();
  const pid_t child = ::fork();
  if (child == 0) {
    const AnsiString folder = UndoSwapFolderPath();
    const int fd = ::open((folder + "/QL123").c_str(), O_WRONLY | O_CREAT, 0600);
    ::_exit(folder.empty() || fd < 0 || ::write(fd, "step", 4) != 4 ? 1 : 0);
  }
  int status = -1;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
  for (const auto& e : std::filesystem::directory_iterator(undo))
    if (std::find(before.begin(), before.end(), e.path().string()) == before.end()) return e.path().string();
  return {};
}

TEST_F(UndoSwapFoldersTest, AStartRemovesTheSwapFoldersNoRunHolds) {
  const std::string killed = FolderOfAKilledRun(undo);
  ASSERT_FALSE(killed.empty());
  ASSERT_TRUE(std::filesystem::exists(killed + "/QL123"));
  // One of a run older than the locks, with nothing to lock.
  home.WriteFile("undo/quillo-undo-Ab12Cd/QL7", "an old run's step");
  // One another run holds.
  std::filesystem::create_directories(undo + "/quillo-undo-HELD01");
  const int held = ::open((undo + "/quillo-undo-HELD01").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  // This run's own.
  const std::string own = UndoSwapFolderPath();
  ASSERT_FALSE(own.empty());
  // Names that are no swap folder's.
  home.WriteFile("undo/quillo-undo-x/keep", "kept");
  home.WriteFile("undo/quillo-undo-ABCDEFG/keep", "kept");
  home.WriteFile("undo/notes.txt", "kept");

  RemoveAbandonedSwapFolders();
  std::vector<std::string> expected = {"notes.txt", "quillo-undo-ABCDEFG", "quillo-undo-HELD01", "quillo-undo-x",
                                       std::filesystem::path(own).filename().string()};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(), expected);
  ::close(held);

  // What this run swaps still goes to its own folder, which it still holds.
  EXPECT_EQ(std::string(UndoSwapFolderPath()), own);
  RemoveAbandonedSwapFolders();
  EXPECT_TRUE(std::filesystem::exists(own));
}

}  // namespace
