#include "platform/rtl/AtomicFile.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "support/SpecialFiles.h"
#include "support/TempHome.h"

namespace {

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info;
}

}  // namespace

TEST(AtomicFile, KeepsTheOwnerGroupAndModeOfTheFileItReplaces) {
  if (!MayGiveFilesAway()) GTEST_SKIP() << "only the superuser can hand files to another user";
  const struct {
    mode_t mode;
    uid_t user;
    gid_t group;
  } cases[] = {{0600, NobodyUser(), NobodyGroup()}, {0640, 0, NobodyGroup()}, {0664, NobodyUser(), 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    TempHome home;
    const std::string path = home.WriteFile("file", "old");
    ASSERT_EQ(::chown(path.c_str(), c.user, c.group), 0);
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    AtomicFile::WriteFile(path, "new");
    const struct stat info = StatOf(path);
    EXPECT_EQ(info.st_mode & 07777, c.mode);
    EXPECT_EQ(info.st_uid, c.user);
    EXPECT_EQ(info.st_gid, c.group);
    EXPECT_EQ(FileContents(path), "new");
  }
}

TEST(AtomicFile, ANewFileGetsTheModeTheUmaskGives) {
  TempHome home;
  const mode_t previous = ::umask(027);
  AtomicFile::WriteFile(home.Path() + "/new", "x");
  ::umask(previous);
  EXPECT_EQ(StatOf(home.Path() + "/new").st_mode & 07777, 0640u);
}

// A user who may not give the file back to its owner still replaces it: the new file is his.
TEST(AtomicFile, AWriterWhoMayNotKeepTheOwnerStillReplacesTheFile) {
  if (!MayGiveFilesAway()) GTEST_SKIP() << "only the superuser can become another user";
  TempHome home;
  ASSERT_EQ(::chmod(home.Path().c_str(), 0777), 0);
  const std::string path = home.WriteFile("file", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyGroup()) != 0 || ::setuid(NobodyUser()) != 0)
      ::_exit(2);
    try {
      AtomicFile::WriteFile(path, "new");
    } catch (const Exception&) {
      ::_exit(1);
    }
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_NE(WEXITSTATUS(status), 2) << "cannot become nobody here";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(FileContents(path), "new");
  const struct stat info = StatOf(path);
  EXPECT_EQ(info.st_uid, NobodyUser());
  EXPECT_EQ(info.st_mode & 07777, 0666u);
}

TEST(AtomicFile, WithoutCommitTheOldFileStaysAndNothingIsLeft) {
  TempHome home;
  const std::string path = home.WriteFile("file", "old");
  {
    AtomicFile file(path);
    file.Write("new", 3);
  }
  EXPECT_EQ(FileContents(path), "old");
  EXPECT_EQ(home.Files(), std::vector<std::string>{"file"});
}

// A process that ends itself at once takes away the temporary files of the writes it had under
// way and keeps their old files; one already committed stays.
TEST(AtomicFile, EndingAtOnceLeavesEveryWriteDoneOrUndone) {
  TempHome home;
  const std::string path = home.WriteFile("file", "old");
  const std::string other = home.WriteFile("other", "old");
  EXPECT_EXIT(
      {
        AtomicFile committed(other);
        committed.Write("new", 3);
        committed.Commit();
        AtomicFile file(path);
        file.Write("new", 3);
        AtomicFile::AbandonWritesAndExit(3);
      },
      ::testing::ExitedWithCode(3), "");
  EXPECT_EQ(FileContents(path), "old");
  EXPECT_EQ(FileContents(other), "new");
  EXPECT_EQ(home.Files(), (std::vector<std::string>{"file", "other"}));
}

namespace {

// A process id no process has: a child's, once it has ended and been waited for.
pid_t GonePid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

}  // namespace

// A save killed midway leaves its temporary file; the next commit in that folder removes
// those of processes that have gone, and leaves those of running processes and every other
// file alone.
TEST(AtomicFile, ACommitRemovesTheTemporaryFilesOfGoneWriters) {
  TempHome home;
  const std::string gone = ".quillo-save-" + std::to_string(GonePid()) + "-3";
  const std::vector<std::string> kept = {
      ".quillo-save-1-7",                                    // a running process (init)
      ".quillo-save-" + std::to_string(::getpid()) + "-99",  // this one's, maybe being written
      ".quillo-save-x-1", ".quillo-save-", "quillo-save-1-1", "notes.txt"};
  home.WriteFile(gone, "a killed save");
  for (const std::string& name : kept) home.WriteFile(name, "kept");
  home.WriteFile("sub/" + gone, "in another folder");
  AtomicFile::WriteFile(home.Path() + "/file", "new");
  std::vector<std::string> expected = kept;
  expected.push_back("file");
  expected.push_back("sub");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(home.Files(), expected);
  EXPECT_EQ(FileContents(home.Path() + "/sub/" + gone), "in another folder");
}

// What is not a regular file is refused before anything is made (images test the links that
// lead nowhere, devices and pipes).
TEST(AtomicFile, RefusesWhatIsNotARegularFile) {
  for (SpecialFile kind : {SpecialFile::Folder, SpecialFile::LinkToFifo, SpecialFile::Socket}) {
    SCOPED_TRACE(Describe(kind));
    TempHome home;
    const std::string path = home.Path() + "/file";
    MakeSpecialFile(kind, path);
    const std::string before = Inspect(path);
    const std::vector<std::string> files = home.Files();
    EXPECT_THROW(AtomicFile::WriteFile(path, "new"), EFCreateError);
    EXPECT_EQ(Inspect(path), before);
    EXPECT_EQ(home.Files(), files);
  }
}
