// The dialog as a browser of the real folders: what the list shows, moving between folders by
// the list, the "Look in" combo, the up button, the places bar and a new folder; and the save
// dialog's overwrite prompt.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/FileDialogUser.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ListView.h"
#include "support/TempHome.h"

namespace {

OPENFILENAME Record(std::vector<char>& buffer, const std::string& folder, DWORD flags) {
  OPENFILENAME ofn;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = folder.c_str();
  ofn.Flags = flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
  return ofn;
}

TEST(FileDialogBrowse, TheListShowsTheFolderWithSizesTypesAndNoHiddenFiles) {
  UiDriver ui;
  TempHome home;
  home.WriteFile("b.txt", std::string(3000, 'x'));
  home.WriteFile("A picture.png", "x");
  home.WriteFile(".hidden", "x");
  home.WriteFile("empty", "");
  home.WriteFile("zeta/x", "x");
  home.WriteFile("Alpha/x", "x");
  std::vector<char> buffer(512, '\0');
  OPENFILENAME ofn = Record(buffer, home.Path(), 0);
  FileDialogUser user(ui);
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> rows;
  ui.WhenModalWaits([&] {
    names = user.ListNames();
    for (const char* name : {"Alpha", "A picture.png", "b.txt", "empty"})
      rows.push_back({user.ListText(name, 1), user.ListText(name, 2)});
    user.ClickControl(kFileDialogDetailsButton);
    HWND list = GetDlgItem(FileDialogUser::Dialog(), lst1);
    EXPECT_EQ(GetWindowLongPtr(list, GWL_STYLE) & LVS_TYPEMASK, static_cast<LONG_PTR>(LVS_REPORT));
    user.ClickControl(kFileDialogListButton);
    EXPECT_EQ(GetWindowLongPtr(list, GWL_STYLE) & LVS_TYPEMASK, static_cast<LONG_PTR>(LVS_LIST));
    user.ClickControl(IDCANCEL);
  });
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "zeta", "A picture.png", "b.txt", "empty"}));
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{
                      {"", "File Folder"}, {"1 KB", "PNG Image"}, {"3 KB", "Text Document"}, {"0 KB", "File"}}));
}

TEST(FileDialogBrowse, FoldersOpenByDoubleClickLookInUpAndPlaces) {
  UiDriver ui;
  TempHome home;
  home.WriteFile("one/two/file.png", "x");
  std::vector<char> buffer(512, '\0');
  OPENFILENAME ofn = Record(buffer, home.Path(), 0);
  FileDialogUser user(ui);
  std::vector<std::string> folders;
  ui.WhenModalWaits([&] {
    HWND dialog = FileDialogUser::Dialog();
    user.DoubleClickItem("one");
    folders.push_back(user.Folder());
    user.ClickItem("two");
    ui.Press(VK_RETURN);  // Enter on a folder in the list opens it
    folders.push_back(user.Folder());
    ui.Press(VK_BACK);  // in the list: up one level
    folders.push_back(user.Folder());
    user.DoubleClickItem("two");
    user.ClickControl(kFileDialogUpButton);
    folders.push_back(user.Folder());
    // The "Look in" combo lists the ancestors; choosing the root's entry goes there.
    HWND lookIn = GetDlgItem(dialog, cmb2);
    int count = static_cast<int>(SendMessage(lookIn, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(SendMessage(lookIn, CB_GETCURSEL, 0, 0), count - 1);
    user.ClickControl(cmb2);
    for (int i = 0; i < count - 1; ++i) ui.Press(VK_UP);
    ui.Press(VK_RETURN);
    folders.push_back(user.Folder());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kFileDialogUpButton)));
    user.ClickControl(IDCANCEL);
  });
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(folders, (std::vector<std::string>{home.Path() + "/one", home.Path() + "/one/two", home.Path() + "/one",
                                               home.Path() + "/one", "/"}));
}

TEST(FileDialogBrowse, PlacesBarGoesToTheFileSystemRoot) {
  UiDriver ui;
  TempHome home;
  std::vector<char> buffer(512, '\0');
  OPENFILENAME ofn = Record(buffer, home.Path(), 0);
  FileDialogUser user(ui);
  std::string folder;
  ui.WhenModalWaits([&] {
    HWND bar = GetDlgItem(FileDialogUser::Dialog(), ctl1);
    int count = static_cast<int>(SendMessage(bar, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_GE(count, 1);
    RECT r{};
    r.left = LVIR_ICON;
    SendMessage(bar, LVM_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&r));  // "File System" is last
    POINT p = UiDriver::At(bar, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ui.Click(p.x, p.y);
    folder = user.Folder();
    user.ClickControl(IDCANCEL);
  });
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(folder, "/");
}

TEST(FileDialogBrowse, NewFolderIsMadeAndNamedInPlace) {
  UiDriver ui;
  TempHome home;
  std::vector<char> buffer(512, '\0');
  OPENFILENAME ofn = Record(buffer, home.Path(), 0);
  FileDialogUser user(ui);
  std::vector<std::string> names;
  ui.WhenModalWaits([&] {
    user.ClickControl(kFileDialogNewFolderButton);
    ui.Type("Holiday 2026");
    ui.Press(VK_RETURN);
    ui.RunUntilIdle();
    names = user.ListNames();
    user.ClickControl(kFileDialogNewFolderButton);
    ui.Press(VK_ESCAPE);
    user.ClickControl(IDCANCEL);
  });
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(names, (std::vector<std::string>{"Holiday 2026"}));
  struct stat st {};
  EXPECT_EQ(stat((home.Path() + "/Holiday 2026").c_str(), &st), 0);
  EXPECT_EQ(stat((home.Path() + "/New Folder").c_str(), &st), 0);  // the second one kept its name
}

TEST(FileDialogBrowse, OverwritePromptProtectsAnExistingFile) {
  UiDriver ui;
  TempHome home;
  const std::string existing = home.WriteFile("keep me.png", "original");
  std::vector<char> buffer(512, '\0');
  OPENFILENAME ofn = Record(buffer, home.Path(), OFN_OVERWRITEPROMPT);
  ofn.lpstrDefExt = "png";
  FileDialogUser user(ui);
  bool openAfterNo = false;
  ui.AnswerMessageBoxes({IDNO, IDYES});
  ui.WhenModalWaits([&] {
    user.TypeName("keep me");
    openAfterNo = FileDialogUser::Dialog() != nullptr;
    EXPECT_EQ(FileContents(existing), "original");
    user.ClickItem("keep me.png");
    user.ClickControl(IDOK);
  });
  ASSERT_TRUE(GetSaveFileName(&ofn));
  EXPECT_TRUE(openAfterNo);
  EXPECT_EQ(std::string(buffer.data()), existing);
  EXPECT_EQ(FileContents(existing), "original");  // the dialog never writes
  ASSERT_EQ(ui.MessageBoxTexts().size(), 2u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], "keep me.png already exists.\nDo you want to replace it?");
}

}  // namespace
