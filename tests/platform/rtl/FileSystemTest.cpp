#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TempHome.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/FindFile.h"
#include "platform/rtl/LastError.h"
#include "platform/rtl/SysUtils.h"

namespace {

std::string ReadAll(const AnsiString& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

size_t EntriesIn(const AnsiString& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

class FileSystemTest : public ::testing::Test {
protected:
  AnsiString Path(const AnsiString& name) const { return home_.Path() + "/" + name; }
  TempHome home_;
};

TEST_F(FileSystemTest, CopyFileCopiesBytesAndDate) {
  const AnsiString from = home_.WriteFile("from.bin", std::string("\0\1\2 data", 8));
  const int date = DateTimeToFileDate(EncodeDate(2010, 1, 2) + EncodeTime(3, 4, 6, 0));
  ASSERT_EQ(FileSetDate(from, date), 0);
  ASSERT_TRUE(CopyFile(from.c_str(), Path("to.bin").c_str(), TRUE));
  EXPECT_EQ(ReadAll(Path("to.bin")), std::string("\0\1\2 data", 8));
  EXPECT_EQ(FileAge(Path("to.bin")), date);
  EXPECT_EQ(EntriesIn(home_.Path()), 2u);  // nothing left behind
}

TEST_F(FileSystemTest, AFailedCopyLeavesTheDestinationAsItWas) {
  const AnsiString from = home_.WriteFile("from.txt", "new");
  const AnsiString to = home_.WriteFile("to.txt", "old");

  EXPECT_FALSE(CopyFile(from.c_str(), to.c_str(), TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadAll(to), "old");

  EXPECT_FALSE(CopyFile(Path("missing").c_str(), to.c_str(), FALSE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ReadAll(to), "old");

  ::chmod(to.c_str(), 0444);
  EXPECT_FALSE(CopyFile(from.c_str(), to.c_str(), FALSE));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadAll(to), "old");
  ::chmod(to.c_str(), 0644);

  ::mkdir(Path("folder").c_str(), 0755);
  EXPECT_FALSE(CopyFile(Path("folder").c_str(), Path("copy").c_str(), FALSE));
  EXPECT_EQ(EntriesIn(home_.Path()), 3u);

  EXPECT_TRUE(CopyFile(from.c_str(), to.c_str(), FALSE));
  EXPECT_EQ(ReadAll(to), "new");
  EXPECT_EQ(EntriesIn(home_.Path()), 3u);
}

TEST_F(FileSystemTest, MoveFileRefusesToReplaceUnlessAsked) {
  const AnsiString a = home_.WriteFile("a.txt", "a");
  const AnsiString b = home_.WriteFile("b.txt", "b");
  EXPECT_FALSE(MoveFile(a.c_str(), b.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(ReadAll(a), "a");
  EXPECT_EQ(ReadAll(b), "b");

  EXPECT_TRUE(MoveFileEx(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(ReadAll(b), "a");
  EXPECT_FALSE(FileExists(a));

  EXPECT_TRUE(MoveFile(b.c_str(), Path("c.txt").c_str()));
  EXPECT_EQ(ReadAll(Path("c.txt")), "a");
  EXPECT_FALSE(MoveFile(Path("gone").c_str(), Path("d.txt").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileSystemTest, MoveFileCrossesFileSystemsByCopying) {
  struct stat here {}, shm {};
  if (::stat("/dev/shm", &shm) != 0 || ::stat(home_.Path().c_str(), &here) != 0 || here.st_dev == shm.st_dev)
    GTEST_SKIP() << "no second file system to move to";
  char pattern[] = "/dev/shm/quillo-move-XXXXXX";
  const int fd = ::mkstemp(pattern);
  ASSERT_GE(fd, 0);
  ::close(fd);
  ::unlink(pattern);
  const AnsiString from = home_.WriteFile("far.txt", "travels");
  EXPECT_TRUE(MoveFile(from.c_str(), pattern));
  EXPECT_EQ(ReadAll(pattern), "travels");
  EXPECT_FALSE(FileExists(from));
  ::unlink(pattern);
}

TEST_F(FileSystemTest, TemporaryNamesAreNewFiles) {
  char first[MAX_PATH], second[MAX_PATH];
  const UINT a = GetTempFileName(home_.Path().c_str(), "QLUNDO", 0, first);
  const UINT b = GetTempFileName(home_.Path().c_str(), "QLUNDO", 0, second);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_STRNE(first, second);
  EXPECT_TRUE(FileExists(first));
  EXPECT_TRUE(FileExists(second));
  EXPECT_EQ(ExtractFilePath(first), home_.Path() + "/");
  EXPECT_EQ(ExtractFileName(first).substr(0, 3), "QLU");
  EXPECT_EQ(ExtractFileExt(first), ".tmp");

  char named[MAX_PATH];
  EXPECT_EQ(GetTempFileName(home_.Path().c_str(), "ab", 0x1A2B, named), 0x1A2Bu);
  EXPECT_EQ(AnsiString(named), home_.Path() + "/ab1A2B.tmp");
  EXPECT_FALSE(FileExists(named));

  EXPECT_EQ(GetTempFileName(Path("missing").c_str(), "x", 0, named), 0u);
}

TEST_F(FileSystemTest, TempPathFollowsTmpdir) {
  const char* old = ::getenv("TMPDIR");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("TMPDIR", home_.Path().c_str(), 1);
  char buffer[MAX_PATH];
  EXPECT_EQ(GetTempPath(sizeof buffer, buffer), home_.Path().size() + 1);
  EXPECT_EQ(AnsiString(buffer), home_.Path() + "/");
  char small[4];
  EXPECT_EQ(GetTempPath(sizeof small, small), home_.Path().size() + 2);  // the size needed
  if (old != nullptr)
    ::setenv("TMPDIR", saved.c_str(), 1);
  else
    ::unsetenv("TMPDIR");
}

TEST_F(FileSystemTest, FullPathsResolveDotsAgainstTheCurrentFolder) {
  const AnsiString saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(home_.Path()));
  const AnsiString here = GetCurrentDir();
  struct Case {
    const char* name;
    AnsiString expected;
  };
  const Case cases[] = {
      {"a.png", here + "/a.png"},
      {"x/./y/../b.png", here + "/x/b.png"},
      {"x/", here + "/x/"},
      {"/p//q/", "/p/q/"},
      {"/p/q/..", "/p"},
      {"/..", "/"},
      {"/", "/"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandFileName(c.name), c.expected) << c.name;

  char buffer[MAX_PATH];
  LPSTR part = nullptr;
  const DWORD length = GetFullPathName("sub/pic.bmp", sizeof buffer, buffer, &part);
  EXPECT_EQ(AnsiString(buffer), here + "/sub/pic.bmp");
  EXPECT_EQ(length, here.size() + 12);
  ASSERT_NE(part, nullptr);
  EXPECT_STREQ(part, "pic.bmp");
  ASSERT_TRUE(SetCurrentDir(saved));
}

TEST_F(FileSystemTest, DiskSpaceIsReportedInBothForms) {
  ULARGE_INTEGER available{}, total{}, free{};
  ASSERT_TRUE(GetDiskFreeSpaceEx(home_.Path().c_str(), &available, &total, &free));
  EXPECT_GT(total.QuadPart, 0u);
  EXPECT_LE(available.QuadPart, free.QuadPart);
  EXPECT_LE(free.QuadPart, total.QuadPart);

  DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
  ASSERT_TRUE(GetDiskFreeSpace(home_.Path().c_str(), &sectors, &bytes, &freeClusters, &clusters));
  EXPECT_EQ(bytes, 512u);
  EXPECT_GE(sectors, 1u);
  EXPECT_LE(freeClusters, clusters);
  EXPECT_FALSE(GetDiskFreeSpaceEx(Path("missing").c_str(), &available, nullptr, nullptr));
}

}  // namespace
