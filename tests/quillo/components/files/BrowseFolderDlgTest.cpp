#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "../ComponentFixture.h"
#include "platform/controls/Button.h"
#include "platform/controls/TreeView.h"
#include "platform/dialogs/BrowseFolder.h"
#include "platform/dialogs/ShellFolders.h"
#include "platform/dialogs/ShellLink.h"
#include "platform/user/Dialog.h"
#include "platform/user/SysParams.h"
#include "quillo/components/files/FileUtils.h"
#include "support/XdgHome.h"

namespace {

HWND Browser() { return UiDriver::FindDialog(BrowseFolderText::Caption); }

POINT CentreOf(HWND window) {
  RECT box{};
  GetWindowRect(window, &box);
  return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
}

class BrowseFolderDlgTest : public ComponentTest {
protected:
  BrowseFolderDlgTest() {
    xdg.MakeFolder("home/photos/2024");
    xdg.MakeFolder("home/photos/2025");
    photos = xdg.Home() + "/photos";
  }
  XdgHome xdg;
  std::string photos;
};

TEST_F(BrowseFolderDlgTest, BrowseDirectoryStartsAtTheFolderAndAnswersTheChoice) {
  AnsiString folder = photos + "/2025/";
  std::string title;
  ui.WhenModalWaits([&] {
    char text[MAX_PATH];
    GetDlgItemText(Browser(), IDC_BROWSE_TITLE, text, MAX_PATH);
    title = text;
    EXPECT_EQ(GetDlgItem(Browser(), 0x3745), nullptr);  // no help context, no Help button
    ui.Press(VK_UP);  // 2024
    ui.Press(VK_RETURN);
  });
  EXPECT_TRUE(BrowseDirectory(folder, "Pick the album", 0));
  EXPECT_EQ(title, "Pick the album");
  EXPECT_EQ(folder, photos + "/2024");

  ui.WhenModalWaits([&] { ui.Press(VK_ESCAPE); });
  EXPECT_FALSE(BrowseDirectory(folder, "Pick the album", 0));
  EXPECT_EQ(folder, photos + "/2024");
}

TEST_F(BrowseFolderDlgTest, EventsCentringAndTheHelpButton) {
  auto dialog = MakeObject<TBrowseFolderDlg>(nullptr);
  dialog->FolderName = photos;
  dialog->HelpContext = 42;
  std::vector<std::string> events;
  std::vector<int> helped;
  dialog->OnInitialized = [&](TObject*) { events.push_back("init " + dialog->Selection()); };
  dialog->OnSelChanged = [&](TObject*) { events.push_back("sel " + dialog->Selection()); };
  dialog->OnHelp = [&](int context) { helped.push_back(context); };
  ui.WhenModalWaits([&] {
    HWND window = dialog->Handle();
    ASSERT_EQ(window, Browser());
    RECT box{};
    GetWindowRect(window, &box);
    EXPECT_NEAR((box.left + box.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    HWND help = GetDlgItem(window, 0x3745);
    ASSERT_NE(help, nullptr);
    char text[32];
    GetWindowText(help, text, sizeof text);
    EXPECT_EQ(std::string(text), "&Help");
    const POINT at = CentreOf(help);
    ui.Click(at.x, at.y);
    SetFocus(GetDlgItem(window, IDC_BROWSE_TREE));
    ui.Press(VK_RIGHT);  // opens the starting folder
    ui.Press(VK_DOWN);
    ui.Press(VK_RETURN);
  });
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->FolderName, photos + "/2024");
  EXPECT_EQ(dialog->DisplayName(), "2024");
  EXPECT_EQ(dialog->Handle(), nullptr);
  EXPECT_EQ(helped, std::vector<int>{42});
  // The starting selection is made before OnInitialized.
  EXPECT_EQ(events, (std::vector<std::string>{"sel " + photos, "init " + photos, "sel " + photos + "/2024"}));
}

TEST_F(BrowseFolderDlgTest, WithoutTheDesktopRootTheTreeIsTheFileSystem) {
  auto dialog = MakeObject<TBrowseFolderDlg>(nullptr);
  dialog->DesktopRoot = false;
  dialog->FolderName = photos + "/2025";
  std::vector<std::string> tops;
  ui.WhenModalWaits([&] {
    HWND tree = GetDlgItem(Browser(), IDC_BROWSE_TREE);
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); item;
         item = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
      char text[MAX_PATH] = {};
      TVITEM query;
      query.mask = TVIF_TEXT | TVIF_HANDLE;
      query.hItem = item;
      query.pszText = text;
      query.cchTextMax = MAX_PATH;
      SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&query));
      tops.push_back(text);
    }
    ui.Press(VK_RETURN);
  });
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(tops, std::vector<std::string>{BrowseFolderText::FileSystem});
  EXPECT_EQ(dialog->FolderName, photos + "/2025");
}

TEST_F(BrowseFolderDlgTest, ComputersCannotBeBrowsed) {
  auto dialog = MakeObject<TBrowseFolderDlg>(nullptr);
  dialog->BrowseKind = bfComputers;
  EXPECT_FALSE(dialog->Execute());
  AnsiString name = "server";
  EXPECT_FALSE(BrowseComputer(name, "Computer", 0));
  EXPECT_EQ(name, "server");
}

TEST_F(BrowseFolderDlgTest, ShortcutsAreDesktopEntriesInTheSpecialFolder) {
  const std::string program = xdg.WriteFile("bin/my tool \"x\" $HOME", "#!/bin/sh\n");
  ::chmod(program.c_str(), 0755);
  const std::string picture = xdg.WriteFile("home/photos/a b%.png", "png");
  struct Case {
    const char* what;
    std::string target;
    std::string name;
    int folder;
    std::string link;  // relative to the temporary root
    std::string type;
    std::string keyName, keyValue;
  };
  const Case cases[] = {
      {"a program on the desktop", program, "My Tool", CSIDL_DESKTOP, "home/Desktop/My Tool.desktop", "Application",
       "Exec", "\"" + xdg.Root() + "/bin/my tool \\\\\"x\\\\\" \\\\$HOME\""},
      {"a program in the menu", program, "Tool", CSIDL_PROGRAMS, "data/applications/Tool.desktop", "Application", "Path",
       xdg.Root() + "/bin"},
      {"a program at log-in", program, "Tool", CSIDL_STARTUP, "config/autostart/Tool.desktop", "Application", "Name",
       "Tool"},
      {"a picture", picture, "Bild ä", CSIDL_DESKTOP, "home/Desktop/Bild ä.desktop", "Link", "URL",
       "file://" + xdg.Home() + "/photos/a%20b%25.png"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(CreateFileLink(c.target, c.name, c.folder)) << c.what;
    const std::string link = xdg.Root() + "/" + c.link;
    EXPECT_EQ(FileLinkPath(c.name, c.folder), link) << c.what;
    EXPECT_EQ(ReadDesktopEntryKey(link, "Type"), c.type) << c.what;
    EXPECT_EQ(ReadDesktopEntryKey(link, c.keyName), c.keyValue) << c.what;
    struct stat info{};
    ASSERT_EQ(::stat(link.c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR) << c.what;
    EXPECT_TRUE(DeleteFileLink(c.name, c.folder)) << c.what;
    EXPECT_NE(::stat(link.c_str(), &info), 0) << c.what;
    EXPECT_FALSE(DeleteFileLink(c.name, c.folder)) << c.what;  // already gone
  }
  for (const char* bad : {"", ".", "..", "a/b", "../escape", "two\nlines"}) {
    EXPECT_FALSE(CreateFileLink(program, bad, CSIDL_DESKTOP)) << bad;
    EXPECT_FALSE(DeleteFileLink(bad, CSIDL_DESKTOP)) << bad;
  }
  EXPECT_FALSE(CreateFileLink(program, "Tool", 0x3F));  // no such special folder
}

}  // namespace
