// Path and file helpers, copying and moving, and the file operator.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/rtl/FileSystem.h"
#include "platform/rtl/FindFile.h"
#include "platform/rtl/SysUtils.h"
#include "quillo/components/files/FileUtils.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"
#include "support/XdgHome.h"

namespace {

class FileUtilsTest : public ::testing::Test {
protected:
  // The file operator asks and reports through message boxes: they are answered Yes (or with
  // their one button) and their texts kept. Its trash is in the temporary home.
  FileUtilsTest() {
    ui.OnMessageBox([this](const std::string& text, const std::string&, UINT) {
      boxes.push_back(text);
      return IDYES;
    });
  }
  UiDriver ui;
  XdgHome xdg;
  std::vector<std::string> boxes;
  TempHome home;
  AnsiString Path(const std::string& relative) const { return home.Path() + "/" + relative; }
  AnsiString Write(const std::string& relative, const std::string& contents) const {
    return home.WriteFile(relative, contents);
  }
  static bool Exists(const AnsiString& path) {
    struct stat info{};
    return ::lstat(path.c_str(), &info) == 0;
  }
};

TEST_F(FileUtilsTest, FileNamesAreCheckedAsLinuxNames) {
  const struct {
    const char* name;
    bool valid;
  } cases[] = {{"photo.png", true},   {"[draft] v2.png", true}, {"a*b?c:d.png", true}, {"back\\slash", true},
               {"<>|\".txt", true},   {"", false},               {"a/b", false},        {"/", false},
               {".", false},          {"..", false},             {".hidden", true},     {" spaced ", true}};
  for (const auto& c : cases) EXPECT_EQ(ValidFileName(c.name), c.valid) << "'" << c.name << "'";
  EXPECT_FALSE(ValidFileName(AnsiString("a\0b", 3)));
}

TEST_F(FileUtilsTest, FolderNamesGetOneTrailingSlash) {
  EXPECT_EQ(NormalDir(""), "");
  EXPECT_EQ(NormalDir("/tmp"), "/tmp/");
  EXPECT_EQ(NormalDir("/tmp/"), "/tmp/");
  EXPECT_EQ(RemoveBackSlash("/tmp/"), "/tmp");
  EXPECT_EQ(RemoveBackSlash("/"), "/");
  EXPECT_EQ(RemoveBackSlash("a"), "a");
  // No fixed length limit: a path far longer than the old 260 characters works.
  AnsiString deep = home.Path();
  for (int i = 0; i < 40; ++i) deep += Format("/folder_with_a_long_name_%d", i);
  ASSERT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirExists(deep));
  const AnsiString file = deep + "/f.txt";
  Write(file.substr(home.Path().size() + 1), "abc");
  EXPECT_EQ(GetFileSize(file), 3);
  EXPECT_GT(FileDateTime(file), 0);
  EXPECT_TRUE(ClearDir(home.Path() + "/folder_with_a_long_name_0", true));
}

TEST_F(FileUtilsTest, TheTemporaryFolderMayHaveALongName) {
  AnsiString deep = home.Path();
  while (deep.size() < 3000) deep += "/a_rather_long_folder_name_for_temporary_files";
  ASSERT_TRUE(ForceDirectories(deep));
  const char* previous = std::getenv("TMPDIR");
  const std::string keep = previous ? previous : "";
  ::setenv("TMPDIR", deep.c_str(), 1);
  const AnsiString temp = GetTempDir();
  if (previous)
    ::setenv("TMPDIR", keep.c_str(), 1);
  else
    ::unsetenv("TMPDIR");
  EXPECT_EQ(temp, deep + "/");
}

TEST_F(FileUtilsTest, SizesAndDatesOfMissingThings) {
  EXPECT_EQ(GetFileSize(Path("missing")), -1);
  EXPECT_EQ(GetFileSize(home.Path()), -1);
  EXPECT_EQ(FileDateTime(Path("missing")), 0);
  EXPECT_TRUE(HasAttr(home.Path(), faDirectory));
  EXPECT_FALSE(HasAttr(Path("missing"), faDirectory));
}

TEST_F(FileUtilsTest, ClearingAFolderNeverFollowsALinkOutOfIt) {
  const AnsiString outside = Write("outside/keep.txt", "precious");
  Write("tree/a.txt", "a");
  Write("tree/.hidden", "h");
  Write("tree/sub/b.txt", "b");
  ASSERT_EQ(::symlink(Path("outside").c_str(), Path("tree/link-to-outside").c_str()), 0);
  ASSERT_EQ(::symlink(Path("tree").c_str(), Path("tree/sub/loop").c_str()), 0);
  ASSERT_EQ(::symlink(Path("outside/keep.txt").c_str(), Path("tree/file-link").c_str()), 0);
  EXPECT_TRUE(ClearDir(Path("tree"), true));
  EXPECT_FALSE(Exists(Path("tree")));
  EXPECT_EQ(FileContents(outside), "precious");
  EXPECT_FALSE(ClearDir(Path("missing"), true));
}

TEST_F(FileUtilsTest, ClearingWithoutDeleteKeepsTheFolder) {
  Write("keep/a.txt", "a");
  EXPECT_TRUE(ClearDir(Path("keep/"), false));
  EXPECT_TRUE(DirExists(Path("keep")));
  EXPECT_FALSE(Exists(Path("keep/a.txt")));
}

TEST_F(FileUtilsTest, DeleteFilesTakesMatchingFilesOnly) {
  Write("d/a.tmp", "1");
  Write("d/b.TMP", "2");
  Write("d/c.txt", "3");
  ASSERT_TRUE(ForceDirectories(Path("d/x.tmp")));
  EXPECT_TRUE(DeleteFiles(Path("d/*.tmp")));
  EXPECT_FALSE(Exists(Path("d/a.tmp")));
  EXPECT_FALSE(Exists(Path("d/b.TMP")));
  EXPECT_TRUE(Exists(Path("d/c.txt")));
  EXPECT_TRUE(DirExists(Path("d/x.tmp")));
  EXPECT_TRUE(DeleteFilesEx({Path("d/*.txt"), Path("d/*.none")}));
  EXPECT_FALSE(Exists(Path("d/c.txt")));
}

TEST_F(FileUtilsTest, ACopyOfAnEmptyFileKeepsTheSourcesDate) {
  const AnsiString source = Write("empty.dat", "");
  struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
  FileUtil::CopyFile(source, Path("copy/empty.dat"));
  EXPECT_EQ(GetFileSize(Path("copy/empty.dat")), 0);
  EXPECT_EQ(FileDateTime(Path("copy/empty.dat")), FileDateTime(source));
}

TEST_F(FileUtilsTest, ACopyIntoAFolderTakesTheSourcesName) {
  std::string big(100000, 'x');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  const AnsiString source = Write("big.bin", big);
  ASSERT_TRUE(ForceDirectories(Path("target")));
  FileUtil::CopyFile(source, Path("target"));
  EXPECT_EQ(FileContents(Path("target/big.bin")), big);
}

TEST_F(FileUtilsTest, AFailedCopyLeavesTheDestinationAsItWas) {
  const AnsiString old = Write("dest.txt", "old contents");
  EXPECT_THROW(FileUtil::CopyFile(Path("missing.txt"), old), EFOpenError);
  EXPECT_EQ(FileContents(old), "old contents");
  EXPECT_THROW(FileUtil::CopyFile(home.Path(), old), EFOpenError);
  EXPECT_EQ(FileContents(old), "old contents");
  // A file copied onto itself stays whole.
  FileUtil::CopyFile(old, old);
  EXPECT_EQ(FileContents(old), "old contents");
}

TEST_F(FileUtilsTest, AReadOnlyDestinationIsReplacedOnlyWhenAsked) {
  const AnsiString source = Write("s.txt", "new");
  const AnsiString dest = Write("ro.txt", "old");
  ASSERT_EQ(::chmod(dest.c_str(), 0444), 0);
  EXPECT_THROW(FileUtil::CopyFileEx(source, dest, false, false), EFCreateError);
  EXPECT_EQ(FileContents(dest), "old");
  FileUtil::CopyFileEx(source, dest, true, false);
  EXPECT_EQ(FileContents(dest), "new");
}

TEST_F(FileUtilsTest, AStoppedOperationIsACancelNotAnError) {
  const AnsiString source = Write("s.txt", "x");
  auto stop = [](const AnsiString&, bool& abort) { abort = true; };
  EXPECT_THROW(FileUtil::CopyFileEx(source, Path("t.txt"), false, true, nullptr, stop), EAbort);
  EXPECT_FALSE(Exists(Path("t.txt")));
  try {
    FileUtil::CopyFileEx(Path("missing.txt"), Path("t.txt"), false, true);
    FAIL() << "no error";
  } catch (const EAbort&) {
    FAIL() << "a failure reported as a cancel";
  } catch (const EOSError& e) {
    EXPECT_NE(e.Message.find("missing.txt"), std::string::npos);
  }
}

TEST_F(FileUtilsTest, MovingRenamesOrCopies) {
  const AnsiString source = Write("m.txt", "moved");
  FileUtil::MoveFile(source, Path("n.txt"));
  EXPECT_FALSE(Exists(source));
  EXPECT_EQ(FileContents(Path("n.txt")), "moved");
  FileUtil::MoveFileEx(Path("n.txt"), Path("o.txt"), true);
  EXPECT_EQ(FileContents(Path("o.txt")), "moved");
  EXPECT_THROW(FileUtil::MoveFile(Path("missing"), Path("p.txt")), EFOpenError);
}

TEST_F(FileUtilsTest, TheFileOperatorWorksOnListsOfNames) {
  Write("a.txt", "a");
  Write("b.txt", "b");
  ASSERT_TRUE(ForceDirectories(Path("out")));
  auto op = MakeObject<TExFileOperator>(nullptr);
  op->Source = Path("a.txt") + ";" + Path("b.txt");
  op->Destination = Path("out");
  EXPECT_TRUE(op->Execute());
  EXPECT_EQ(FileContents(Path("out/a.txt")), "a");
  EXPECT_EQ(FileContents(Path("out/b.txt")), "b");
  op->Options << flRenameOnCollision;
  op->Source = Path("a.txt");
  EXPECT_TRUE(op->Execute());
  EXPECT_EQ(FileContents(Path("out/a (2).txt")), "a");
  EXPECT_TRUE(boxes.empty());
  op->Operation = foDelete;
  op->Source = Path("out/a.txt") + "|" + Path("out/b.txt");
  EXPECT_TRUE(op->Execute());
  EXPECT_FALSE(Exists(Path("out/a.txt")));
  // flAllowUndo (a default) deletes to the trash, after one question for the list.
  EXPECT_EQ(boxes, std::vector<std::string>{"Are you sure you want to move these 2 items to the Trash?"});
  EXPECT_EQ(FileContents(xdg.Data() + "/Trash/files/a.txt"), "a");
  EXPECT_EQ(FileContents(xdg.Data() + "/Trash/files/b.txt"), "b");
  EXPECT_TRUE(Exists(xdg.Data() + "/Trash/info/a.txt.trashinfo"));
  op->Options = TFileOperFlags{flNoConfirmation, flNoErrorUI};
  op->Source = Path("out/a (2).txt");
  EXPECT_TRUE(op->Execute());
  EXPECT_FALSE(Exists(Path("out/a (2).txt")));
  EXPECT_FALSE(Exists(xdg.Data() + "/Trash/files/a (2).txt"));  // gone for good without flAllowUndo
  op->Source = Path("nothing-here");
  EXPECT_FALSE(op->Execute());
  EXPECT_EQ(op->ErrorCode(), ENOENT);
  EXPECT_FALSE(op->Aborted());
}

TEST_F(FileUtilsTest, TheFileOperatorStopsWhereTheUserSaysSo) {
  Write("a.txt", "new a");
  Write("b.txt", "new b");
  Write("out/a.txt", "old a");
  auto op = MakeObject<TExFileOperator>(nullptr);
  op->Source = Path("a.txt") + ";" + Path("b.txt");
  op->Destination = Path("out");
  std::vector<std::string> seen;
  op->OnProgress = [&](TObject*, const AnsiString& name, bool& abort) {
    seen.push_back(ExtractFileName(name));
    abort = seen.size() == 2;
  };
  ui.OnMessageBox([](const std::string&, const std::string&, UINT) { return IDNO; });  // keep the old a.txt
  EXPECT_FALSE(op->Execute());
  EXPECT_TRUE(op->Aborted());
  EXPECT_EQ(seen, (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(FileContents(Path("out/a.txt")), "old a");
  EXPECT_FALSE(Exists(Path("out/b.txt")));  // stopped before it was handled
}

}  // namespace
