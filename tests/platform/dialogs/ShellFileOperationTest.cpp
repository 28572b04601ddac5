#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/dialogs/ShellFileOperation.h"
#include "platform/dialogs/ShellTrash.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"
#include "support/XdgHome.h"

namespace fs = std::filesystem;

namespace {

// A folder as lines: "dir/" for a folder, "name=contents" for a file, "name->target" for a
// link; sorted.
std::vector<std::string> Snapshot(const std::string& root) {
  std::vector<std::string> lines;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string relative = it->path().lexically_relative(root).string();  // links not followed
    if (it->is_symlink())
      lines.push_back(relative + "->" + fs::read_symlink(it->path()).string());
    else if (it->is_directory())
      lines.push_back(relative + "/");
    else
      lines.push_back(relative + "=" + FileContents(it->path().string()));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

void Build(const std::string& root, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const size_t link = line.find("->"), equals = line.find('=');
    if (link != std::string::npos) {
      fs::create_directories(fs::path(root + "/" + line.substr(0, link)).parent_path());
      fs::create_symlink(line.substr(link + 2), root + "/" + line.substr(0, link));
    } else if (equals != std::string::npos) {
      const std::string path = root + "/" + line.substr(0, equals);
      fs::create_directories(fs::path(path).parent_path());
      std::ofstream(path, std::ios::binary) << line.substr(equals + 1);
    } else {
      fs::create_directories(root + "/" + line);
    }
  }
}

// Names as the shell takes them: each ended by a NUL, the list by another.
std::string List(const std::string& root, const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) {
    list += name.empty() || name[0] == '/' ? name : root + "/" + name;
    list += '\0';
  }
  list += '\0';
  return list;
}

struct OperationCase {
  const char* what;
  std::vector<std::string> before;
  UINT function;
  std::vector<std::string> from;
  std::vector<std::string> to;
  FILEOP_FLAGS flags;
  std::deque<int> answers;  // to the confirmations, in order
  int result;
  bool aborted;
  std::vector<std::string> after;
};

class ShellFileOperationTest : public ::testing::Test {
protected:
  ShellFileOperationTest() : root(xdg.MakeFolder("work")) {}

  void Run(const OperationCase& c) {
    fs::remove_all(root);
    fs::create_directories(root);
    Build(root, c.before);
    std::deque<int> answers = c.answers;
    asked.clear();
    ui.OnMessageBox([&](const std::string& text, const std::string&, UINT) {
      asked.push_back(text);
      if (answers.empty()) return IDCANCEL;
      const int answer = answers.front();
      answers.pop_front();
      return answer;
    });
    const std::string from = List(root, c.from), to = List(root, c.to);
    SHFILEOPSTRUCT op;
    op.wFunc = c.function;
    op.pFrom = from.c_str();
    op.pTo = c.to.empty() ? nullptr : to.c_str();
    op.fFlags = c.flags;
    op.fAnyOperationsAborted = TRUE;  // cleared by the call
    EXPECT_EQ(SHFileOperation(&op), c.result) << c.what;
    EXPECT_EQ(op.fAnyOperationsAborted != FALSE, c.aborted) << c.what;
    EXPECT_EQ(Snapshot(root), c.after) << c.what;
    EXPECT_TRUE(answers.empty()) << c.what << ": fewer questions than answers";
  }

  UiDriver ui;
  XdgHome xdg;
  std::string root;
  std::vector<std::string> asked;
};

constexpr FILEOP_FLAGS kQuiet = FOF_NOCONFIRMATION | FOF_NOERRORUI;

TEST_F(ShellFileOperationTest, CopiesFilesAndFolders) {
  const OperationCase cases[] = {
      {"a file into a folder", {"a.txt=A", "dest/"}, FO_COPY, {"a.txt"}, {"dest"}, kQuiet, {}, 0, false,
       {"a.txt=A", "dest/", "dest/a.txt=A"}},
      {"a file to a new name", {"a.txt=A"}, FO_COPY, {"a.txt"}, {"b.txt"}, kQuiet, {}, 0, false, {"a.txt=A", "b.txt=A"}},
      {"a folder with its contents and a link", {"src/x=X", "src/sub/y=Y", "src/l->x"}, FO_COPY, {"src"}, {"copy"},
       kQuiet, {}, 0, false,
       {"copy/", "copy/l->x", "copy/sub/", "copy/sub/y=Y", "copy/x=X", "src/", "src/l->x", "src/sub/", "src/sub/y=Y", "src/x=X"}},
      {"several files make the folder", {"a=A", "b=B"}, FO_COPY, {"a", "b"}, {"new/deeper"}, FOF_NOCONFIRMMKDIR | FOF_NOERRORUI,
       {}, 0, false, {"a=A", "b=B", "new/", "new/deeper/", "new/deeper/a=A", "new/deeper/b=B"}},
      {"making the folder is asked", {"a=A", "b=B"}, FO_COPY, {"a", "b"}, {"new"}, FOF_NOERRORUI, {IDYES}, 0, false,
       {"a=A", "b=B", "new/", "new/a=A", "new/b=B"}},
      {"and refused", {"a=A", "b=B"}, FO_COPY, {"a", "b"}, {"new"}, FOF_NOERRORUI, {IDNO}, ERROR_CANCELLED, true,
       {"a=A", "b=B"}},
      {"a wildcard, files only", {"a.txt=A", "b.txt=B", "c.png=C", "d.txt/", "dest/"}, FO_COPY, {"*.txt"}, {"dest"},
       kQuiet | FOF_FILESONLY, {}, 0, false,
       {"a.txt=A", "b.txt=B", "c.png=C", "d.txt/", "dest/", "dest/a.txt=A", "dest/b.txt=B"}},
      {"paired destinations", {"a=A", "b=B", "d1/", "d2/"}, FO_COPY, {"a", "b"}, {"d1/a2", "d2"},
       kQuiet | FOF_MULTIDESTFILES, {}, 0, false, {"a=A", "b=B", "d1/", "d1/a2=A", "d2/", "d2/b=B"}},
      {"a non-ASCII name", {"Größe ü.txt=Ü", "dest/"}, FO_COPY, {"Größe ü.txt"}, {"dest"}, kQuiet, {}, 0, false,
       {"Größe ü.txt=Ü", "dest/", "dest/Größe ü.txt=Ü"}},
  };
  for (const OperationCase& c : cases) Run(c);
}

TEST_F(ShellFileOperationTest, CollisionsAreAskedRenamedOrReplaced) {
  const OperationCase cases[] = {
      {"replaced without asking", {"a=new", "d/a=old"}, FO_COPY, {"a"}, {"d"}, kQuiet, {}, 0, false,
       {"a=new", "d/", "d/a=new"}},
      {"asked: yes", {"a=new", "d/a=old"}, FO_COPY, {"a"}, {"d"}, FOF_NOERRORUI, {IDYES}, 0, false,
       {"a=new", "d/", "d/a=new"}},
      {"asked: no skips that file only", {"a=new", "b=B", "d/a=old"}, FO_COPY, {"a", "b"}, {"d"}, FOF_NOERRORUI,
       {IDNO}, 0, true, {"a=new", "b=B", "d/", "d/a=old", "d/b=B"}},
      {"asked: cancel stops", {"a=new", "b=B", "d/a=old"}, FO_COPY, {"a", "b"}, {"d"}, FOF_NOERRORUI, {IDCANCEL},
       ERROR_CANCELLED, true, {"a=new", "b=B", "d/", "d/a=old"}},
      {"renamed on collision", {"a.txt=new", "d/a.txt=old", "d/a (2).txt=older"}, FO_COPY, {"a.txt"}, {"d"},
       FOF_RENAMEONCOLLISION | FOF_NOERRORUI, {}, 0, false,
       {"a.txt=new", "d/", "d/a (2).txt=older", "d/a (3).txt=new", "d/a.txt=old"}},
      {"a copy onto itself is refused", {"a=A"}, FO_COPY, {"a"}, {"a"}, kQuiet, {}, DE_SAMEFILE, false, {"a=A"}},
      {"a copy onto itself with rename", {"a=A"}, FO_COPY, {"a"}, {"a"}, FOF_RENAMEONCOLLISION | FOF_NOERRORUI, {}, 0,
       false, {"a (2)=A", "a=A"}},
      {"a folder into itself is refused", {"s/x=X"}, FO_COPY, {"s"}, {"s/inner"}, kQuiet, {}, DE_DESTSUBTREE, false,
       {"s/", "s/x=X"}},
      {"folders merge, each file asked", {"s/x=new", "s/y=Y", "d/s/x=old"}, FO_COPY, {"s"}, {"d"}, FOF_NOERRORUI,
       {IDYES, IDNO}, 0, true, {"d/", "d/s/", "d/s/x=old", "d/s/y=Y", "s/", "s/x=new", "s/y=Y"}},
      {"a file does not replace a folder", {"a=A", "d/a/"}, FO_COPY, {"a"}, {"d"}, kQuiet, {}, ERROR_ALREADY_EXISTS,
       false, {"a=A", "d/", "d/a/"}},
  };
  for (const OperationCase& c : cases) Run(c);
}

TEST_F(ShellFileOperationTest, MovesAndRenames) {
  const OperationCase cases[] = {
      {"a file into a folder", {"a=A", "d/"}, FO_MOVE, {"a"}, {"d"}, kQuiet, {}, 0, false, {"d/", "d/a=A"}},
      {"a folder to a new name", {"s/x=X"}, FO_MOVE, {"s"}, {"t"}, kQuiet, {}, 0, false, {"t/", "t/x=X"}},
      {"onto a folder: a skipped file stays behind", {"s/x=new", "s/y=Y", "d/s/x=old"}, FO_MOVE, {"s"}, {"d"},
       FOF_NOERRORUI, {IDYES, IDNO}, 0, true, {"d/", "d/s/", "d/s/x=old", "d/s/y=Y", "s/", "s/x=new"}},
      {"rename to a bare name", {"a=A"}, FO_RENAME, {"a"}, {"b"}, kQuiet, {}, 0, false, {"b=A"}},
      {"rename onto a taken name, renamed", {"a=A", "b=B"}, FO_RENAME, {"a"}, {"b"},
       FOF_RENAMEONCOLLISION | FOF_NOERRORUI, {}, 0, false, {"b (2)=A", "b=B"}},
      {"rename onto a taken name, asked: no", {"a=A", "b=B"}, FO_RENAME, {"a"}, {"b"}, FOF_NOERRORUI, {IDNO}, 0, true,
       {"a=A", "b=B"}},
      {"rename takes one name", {"a=A", "b=B"}, FO_RENAME, {"a", "b"}, {"c"}, kQuiet, {}, DE_MANYSRC1DEST, false,
       {"a=A", "b=B"}},
  };
  for (const OperationCase& c : cases) Run(c);
}

TEST_F(ShellFileOperationTest, DeletesWithConfirmationOrToTheTrash) {
  const OperationCase cases[] = {
      {"a file and a folder", {"a=A", "d/x=X", "keep=K"}, FO_DELETE, {"a", "d"}, {}, kQuiet, {}, 0, false, {"keep=K"}},
      {"confirmed once for all", {"a=A", "b=B"}, FO_DELETE, {"a", "b"}, {}, FOF_NOERRORUI, {IDYES}, 0, false, {}},
      {"refused", {"a=A", "b=B"}, FO_DELETE, {"a", "b"}, {}, FOF_NOERRORUI, {IDNO}, ERROR_CANCELLED, true,
       {"a=A", "b=B"}},
      {"a link goes, not what it names", {"d/x=X", "l->d"}, FO_DELETE, {"l"}, {}, kQuiet, {}, 0, false, {"d/", "d/x=X"}},
      {"the root is never deleted", {"a=A"}, FO_DELETE, {"a", "/"}, {}, kQuiet, {}, DE_ROOTDIR, false, {"a=A"}},
      {"a missing name stops before anything goes", {"a=A"}, FO_DELETE, {"a", "missing"}, {}, kQuiet, {},
       ERROR_FILE_NOT_FOUND, false, {"a=A"}},
  };
  for (const OperationCase& c : cases) Run(c);
}

TEST_F(ShellFileOperationTest, TheTrashHoldsTheItemAndItsInfo) {
  Build(root, {"Ünï cöde%.txt=first", "d/x=X"});
  const std::string list = List(root, {"Ünï cöde%.txt", "d"});
  SHFILEOPSTRUCT op;
  op.wFunc = FO_DELETE;
  op.pFrom = list.c_str();
  op.fFlags = FOF_ALLOWUNDO;
  ui.AnswerMessageBoxes({IDYES});
  ASSERT_EQ(SHFileOperation(&op), 0);
  EXPECT_EQ(ui.MessageBoxTexts(), (std::vector<std::string>{"Are you sure you want to move these 2 items to the Trash?"}));
  EXPECT_EQ(Snapshot(root), std::vector<std::string>{});
  const std::string trash = xdg.Data() + "/Trash";
  EXPECT_EQ(HomeTrashFolder(), trash);
  EXPECT_EQ(Snapshot(trash + "/files"), (std::vector<std::string>{"d/", "d/x=X", "Ünï cöde%.txt=first"}));
  const std::string info = FileContents(trash + "/info/Ünï cöde%.txt.trashinfo");
  const std::string escapedRoot = root;  // the temporary folder's name needs no escapes
  EXPECT_EQ(info.substr(0, info.find("DeletionDate=")),
            "[Trash Info]\nPath=" + escapedRoot + "/%C3%9Cn%C3%AF%20c%C3%B6de%25.txt\n");
  const std::string date = info.substr(info.find("DeletionDate=") + 13);
  EXPECT_EQ(date.size(), 20u) << date;  // YYYY-MM-DDThh:mm:ss and the line's end
  EXPECT_EQ(date[10], 'T');

  // The same name again gets a free one; both stay.
  Build(root, {"Ünï cöde%.txt=second"});
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
  const std::string again = List(root, {"Ünï cöde%.txt"});
  op.pFrom = again.c_str();
  ASSERT_EQ(SHFileOperation(&op), 0);
  EXPECT_EQ(FileContents(trash + "/files/Ünï cöde%.2.txt"), "second");
  EXPECT_EQ(FileContents(trash + "/files/Ünï cöde%.txt"), "first");
  EXPECT_TRUE(fs::exists(trash + "/info/Ünï cöde%.2.txt.trashinfo"));
}

TEST_F(ShellFileOperationTest, AFailedCopyKeepsTheOldFile) {
  Build(root, {"d/mem=old contents"});
  // Reading this file fails part-way even for the super-user.
  const std::string from = List(root, {"/proc/self/mem"}), to = List(root, {"d"});
  SHFILEOPSTRUCT op;
  op.wFunc = FO_COPY;
  op.pFrom = from.c_str();
  op.pTo = to.c_str();
  op.fFlags = FOF_NOCONFIRMATION;
  ui.AnswerMessageBoxes({IDOK});
  EXPECT_NE(SHFileOperation(&op), 0);
  EXPECT_EQ(Snapshot(root), (std::vector<std::string>{"d/", "d/mem=old contents"}));  // no temporary left either
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);  // the error is shown
  EXPECT_EQ(ui.MessageBoxTexts()[0].rfind("Cannot copy '/proc/self/mem': ", 0), 0u) << ui.MessageBoxTexts()[0];
}

TEST_F(ShellFileOperationTest, BadRequestsAreRefused) {
  SHFILEOPSTRUCT op;
  EXPECT_EQ(SHFileOperation(nullptr), static_cast<int>(ERROR_INVALID_PARAMETER));
  op.wFunc = FO_COPY;
  EXPECT_EQ(SHFileOperation(&op), static_cast<int>(ERROR_INVALID_PARAMETER));  // no source list
  const std::string from = List(root, {"a"});
  Build(root, {"a=A"});
  op.pFrom = from.c_str();
  EXPECT_EQ(SHFileOperation(&op), static_cast<int>(ERROR_INVALID_PARAMETER));  // no destination
  op.wFunc = 9;
  EXPECT_EQ(SHFileOperation(&op), static_cast<int>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(Snapshot(root), std::vector<std::string>{"a=A"});
}

}  // namespace
