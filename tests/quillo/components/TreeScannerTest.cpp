// The folder tree scanner: order, masks, links and scans started from inside a scan.

#include "ComponentFixture.h"

#include <unistd.h>

#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/AllocateHWnd.h"
#include "quillo/components/files/TreeScanner.h"

namespace {

class TreeScannerTest : public ComponentTest {
protected:
  std::vector<std::string> log;
  TTreeScanner* scanner = nullptr;
  std::string root;

  void SetUp() override {
    root = home->Path() + "/scan";
    home->WriteFile("scan/b.png", "bb");
    home->WriteFile("scan/A.PNG", "a");
    home->WriteFile("scan/notes.txt", "n");
    home->WriteFile("scan/sub2/c.png", "ccc");
    home->WriteFile("scan/sub1/deeper/d.png", "dddd");
    home->WriteFile("scan/empty/.keep", "");
    scanner = NewComponent<TTreeScanner>(Application());
    scanner->SetInitialDirectory(root);
    scanner->SetFileMask("*.png");
    scanner->OnDirectoryFound = [this](TObject*) { log.push_back(Line("dir", scanner->FileFound())); };
    scanner->OnFileFound = [this](TObject*) {
      log.push_back(Line("file", scanner->FileFound()) + Format(" %lld", static_cast<long long>(scanner->FileSize())));
    };
    scanner->OnDirectoryDone = [this](TObject*) { log.push_back(Line("done", scanner->FileFound())); };
  }
  // "what path", the path relative to the scanned folder.
  std::string Line(const char* what, const std::string& path) const {
    std::string line = what;
    line += ' ';
    line += Rel(path);
    return line;
  }
  std::string Rel(const std::string& path) const {
    return path.compare(0, root.size(), root) == 0 ? path.substr(root.size()) : path;
  }
};

TEST_F(TreeScannerTest, RecursiveScanGoesFolderFilesThenSubFoldersDepthFirst) {
  ASSERT_TRUE(scanner->ScanTree());
  EXPECT_EQ(log, (std::vector<std::string>{
                     "dir /", "file /A.PNG 1", "file /b.png 2",
                     "dir /empty/", "done /empty/",
                     "dir /sub1/", "dir /sub1/deeper/", "file /sub1/deeper/d.png 4", "done /sub1/deeper/", "done /sub1/",
                     "dir /sub2/", "file /sub2/c.png 3", "done /sub2/",
                     "done /"}));
  EXPECT_FALSE(scanner->SearchInProgress());
}

TEST_F(TreeScannerTest, WithoutRecursionSubFoldersAreListedNotEntered) {
  scanner->SetRecursive(false);
  scanner->ScanTree();
  EXPECT_EQ(log, (std::vector<std::string>{"dir /", "file /A.PNG 1", "file /b.png 2", "dir /empty/", "dir /sub1/",
                                           "dir /sub2/", "done /"}));
}

TEST_F(TreeScannerTest, TheStartFolderEndsInExactlyOneSlash) {
  for (const std::string& start : {root, root + "/", root + "//"}) {
    scanner->SetInitialDirectory(start);
    scanner->SetRecursive(false);
    log.clear();
    scanner->ScanTree();
    EXPECT_EQ(scanner->GetInitialDirectory(), root + "/");
    EXPECT_EQ(log.front(), "dir /");
  }
}

TEST_F(TreeScannerTest, FoldersMatchingTheMaskAreNotFiles) {
  home->WriteFile("scan/folder.png/inside.txt", "");
  scanner->SetRecursive(false);
  scanner->ScanTree();
  for (const std::string& line : log) EXPECT_EQ(line.find("file /folder.png"), std::string::npos) << line;
}

TEST_F(TreeScannerTest, LinksToFoldersAreNeitherEnteredNorReported) {
  ASSERT_EQ(::symlink(root.c_str(), (root + "/sub2/loop").c_str()), 0);
  home->WriteFile("elsewhere/e.png", "e");
  ASSERT_EQ(::symlink((home->Path() + "/elsewhere").c_str(), (root + "/outside").c_str()), 0);
  scanner->ScanTree();
  for (const std::string& line : log) {
    EXPECT_EQ(line.find("loop"), std::string::npos) << line;
    EXPECT_EQ(line.find("outside"), std::string::npos) << line;
  }
  EXPECT_EQ(log.size(), 14u);
}

TEST_F(TreeScannerTest, AScanStartedWhileOneRunsDoesNothing) {
  scanner->SetEnableMessages(true);
  int nested = 0;
  bool nestedResult = true;
  HWND poster = nullptr;
  poster = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_USER) {
      ++nested;
      nestedResult = scanner->ScanTree();
      return;
    }
    m.Result = DefWindowProc(poster, m.Msg, m.WParam, m.LParam);
  });
  PostMessage(poster, WM_USER, 0, 0);
  ASSERT_TRUE(scanner->ScanTree());
  EXPECT_EQ(nested, 1);
  EXPECT_FALSE(nestedResult);
  EXPECT_EQ(log.size(), 14u);
  DeallocateHWnd(poster);
}

TEST_F(TreeScannerTest, AnEmptyFolderReportsItselfOnly) {
  scanner->SetInitialDirectory(root + "/empty");
  scanner->ScanTree();
  EXPECT_EQ(log, (std::vector<std::string>{"dir /empty/", "done /empty/"}));
}

}  // namespace
