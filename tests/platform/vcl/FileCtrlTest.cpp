#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "platform/controls/TreeView.h"
#include "platform/dialogs/BrowseFolder.h"
#include "platform/user/Dialog.h"
#include "platform/vcl/FileCtrl.h"
#include "support/XdgHome.h"
#include "VclFixture.h"

namespace {

bool IsFolder(const std::string& path) {
  struct stat info{};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

class FileCtrlTest : public VclTest {
protected:
  FileCtrlTest() {
    xdg.MakeFolder("home/work/one");
    xdg.MakeFolder("home/work/two");
    work = xdg.Home() + "/work";
  }
  static HWND Browser() {
    HWND dialog = UiDriver::FindDialog(BrowseFolderText::Caption);
    return dialog ? dialog : UiDriver::FindDialog(FileCtrlText::SelectDirCaption);
  }
  static std::string Selected() {
    HWND tree = GetDlgItem(Browser(), IDC_BROWSE_TREE);
    auto item = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    char text[MAX_PATH] = {};
    TVITEM query;
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = MAX_PATH;
    SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&query));
    return text;
  }
  void TypeAndAccept(const std::string& text) {
    SetWindowText(GetDlgItem(Browser(), IDC_BROWSE_EDIT), text.c_str());
    ui.Press(VK_RETURN);
  }
  XdgHome xdg;
  std::string work;
};

TEST_F(FileCtrlTest, CaptionRootAndDirectoryGoToTheShellBrowser) {
  AnsiString directory = work + "/two";
  std::string title, top, start;
  ui.WhenModalWaits([&] {
    char text[MAX_PATH];
    GetDlgItemText(Browser(), IDC_BROWSE_TITLE, text, MAX_PATH);
    title = text;
    HWND tree = GetDlgItem(Browser(), IDC_BROWSE_TREE);
    auto root = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    EXPECT_EQ(SendMessage(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(root)), 0);  // one top item
    start = Selected();
    ui.Press(VK_UP);  // "one"
    ui.Press(VK_RETURN);
  });
  EXPECT_TRUE(SelectDirectory("Where to?", work, directory));
  EXPECT_EQ(title, "Where to?");
  EXPECT_EQ(start, "two");
  EXPECT_EQ(directory, work + "/one");

  ui.WhenModalWaits([&] { ui.Press(VK_ESCAPE); });
  EXPECT_FALSE(SelectDirectory("Where to?", work, directory));
  EXPECT_EQ(directory, work + "/one");  // unchanged by a cancel
}

TEST_F(FileCtrlTest, OptionsDecideWhetherATypedNewFolderIsMade) {
  struct Case {
    const char* what;
    TSelectDirOpts options;
    int answer;  // to the question, 0 when none is expected
    bool accepted;
    bool made;
  };
  const Case cases[] = {
      {"existing folders only: the dialog stays open", {}, 0, false, false},
      {"allowed, not made", {sdAllowCreate}, 0, true, false},
      {"allowed and made", {sdAllowCreate, sdPerformCreate}, 0, true, true},
      {"asked, yes", {sdAllowCreate, sdPerformCreate, sdPrompt}, IDYES, true, true},
      {"asked, no: the dialog stays open", {sdAllowCreate, sdPerformCreate, sdPrompt}, IDNO, false, false},
  };
  for (const Case& c : cases) {
    const std::string wanted = work + "/one/new " + c.what;
    AnsiString directory = work + "/one";
    int asked = 0;
    ui.OnMessageBox([&](const std::string&, const std::string&, UINT) {
      ++asked;
      return c.answer;
    });
    ui.WhenModalWaits([&] {
      TypeAndAccept("new " + std::string(c.what));
      // A refused name leaves the dialog open for another try.
      if (!c.accepted) TypeAndAccept(work + "/two");
    });
    EXPECT_TRUE(SelectDirectory(directory, c.options, 0)) << c.what;
    EXPECT_EQ(asked, c.answer ? 1 : 0) << c.what;
    EXPECT_EQ(directory, c.accepted ? wanted : work + "/two") << c.what;
    EXPECT_EQ(IsFolder(wanted), c.made) << c.what;
  }
}

}  // namespace
