// What the user types or picks becomes exactly the paths the caller gets: filters, default
// extensions, multi-select, relative and absolute paths, for names with spaces, dots and
// non-ASCII letters.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <functional>

#include "support/FileDialogUser.h"
#include "support/TempHome.h"

namespace {

// The paths a result buffer holds: one path, or a folder followed by names.
std::vector<std::string> Paths(const OPENFILENAME& ofn) {
  std::vector<std::string> out;
  const char* b = ofn.lpstrFile;
  if (ofn.nFileOffset > 0 && b[ofn.nFileOffset - 1] == '\0') {
    std::string folder = b;
    for (const char* name = b + ofn.nFileOffset; *name; name += std::strlen(name) + 1)
      out.push_back(folder + "/" + name);
  } else {
    out.emplace_back(b);
  }
  return out;
}

struct Case {
  const char* what;
  bool save;
  DWORD flags;
  const char* defExt;  // null: none
  int filterIndex;     // of "Pictures (png, jpg)", "JPEG", "All files"
  std::function<void(FileDialogUser&)> act;
  std::vector<std::string> expected;  // relative to the folder
};

TEST(FileDialogPaths, TypedAndPickedNamesGiveExactlyTheChosenPaths) {
  const Case cases[] = {
      {"a name typed as the dialog opens goes to the name field", true, 0, "png", 1,
       [](FileDialogUser& u) { u.TypeAtOnce("typed"); }, {"typed.png"}},
      {"and opens the file in an open dialog", false, OFN_FILEMUSTEXIST, nullptr, 1,
       [](FileDialogUser& u) { u.TypeAtOnce("a.b c.png"); }, {"a.b c.png"}},
      {"save adds the filter's extension", true, 0, "png", 1, [](FileDialogUser& u) { u.TypeName("holiday photo"); },
       {"holiday photo.png"}},
      {"the selected type decides the extension", true, 0, "png", 2, [](FileDialogUser& u) { u.TypeName("élan"); },
       {"élan.jpg"}},
      {"all files falls back to the default extension", true, 0, "png", 3,
       [](FileDialogUser& u) { u.TypeName("raw"); }, {"raw.png"}},
      {"a dotted name keeps its extension", true, 0, "png", 1, [](FileDialogUser& u) { u.TypeName("v1.2 draft.bak"); },
       {"v1.2 draft.bak"}},
      {"a trailing dot means no extension", true, 0, "png", 1, [](FileDialogUser& u) { u.TypeName("bare."); },
       {"bare"}},
      {"no default extension adds none", true, 0, nullptr, 1, [](FileDialogUser& u) { u.TypeName("plain"); },
       {"plain"}},
      {"relative path through a folder", true, 0, "png", 1,
       [](FileDialogUser& u) { u.TypeName("sub dir/../sub dir/ßtraße"); }, {"sub dir/ßtraße.png"}},
      {"open picks the file clicked", false, OFN_FILEMUSTEXIST, nullptr, 1,
       [](FileDialogUser& u) {
         u.ClickItem("Ünïcödé name.png");
         u.ClickControl(IDOK);
       },
       {"Ünïcödé name.png"}},
      {"open finds the file without its typed extension", false, OFN_FILEMUSTEXIST, "png", 1,
       [](FileDialogUser& u) { u.TypeName("a.b c"); }, {"a.b c.png"}},
      {"open into a folder, then a file there", false, OFN_FILEMUSTEXIST, nullptr, 3,
       [](FileDialogUser& u) {
         u.DoubleClickItem("sub dir");
         u.TypeName("inner file.jpg");
       },
       {"sub dir/inner file.jpg"}},
      {"a typed folder opens, the next name is relative to it", false, OFN_FILEMUSTEXIST, nullptr, 1,
       [](FileDialogUser& u) {
         u.TypeName("sub dir");
         EXPECT_EQ(u.Spec(), "");
         u.TypeName("../Ünïcödé name.png");
       },
       {"Ünïcödé name.png"}},
      {"multi-select by clicks", false, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST, nullptr, 1,
       [](FileDialogUser& u) {
         u.ClickItem("a.b c.png");
         u.ClickItem("Ünïcödé name.png", true);
         EXPECT_EQ(u.Spec(), "\"a.b c.png\" \"Ünïcödé name.png\"");
         u.ClickControl(IDOK);
       },
       {"a.b c.png", "Ünïcödé name.png"}},
      {"multi-select typed, with a default extension", false, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST, "png", 1,
       [](FileDialogUser& u) { u.TypeName("\"a.b c\" \"Ünïcödé name.png\""); },
       {"a.b c.png", "Ünïcödé name.png"}},
      {"multi-select of one name is a plain path", false, OFN_ALLOWMULTISELECT, nullptr, 1,
       [](FileDialogUser& u) { u.TypeName("\"a.b c.png\""); }, {"a.b c.png"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UiDriver ui;
    TempHome home;
    home.WriteFile("a.b c.png", "1");
    home.WriteFile("Ünïcödé name.png", "2");
    home.WriteFile("sub dir/inner file.jpg", "3");
    std::vector<char> buffer(1024, '\0');
    OPENFILENAME ofn;
    ofn.lpstrFilter = "Pictures\0*.png;*.jpg\0JPEG\0*.jpg;*.jpeg\0All files\0*.*\0";
    ofn.nFilterIndex = static_cast<DWORD>(c.filterIndex);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = home.Path().c_str();
    ofn.lpstrDefExt = c.defExt;
    ofn.Flags = c.flags | OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    FileDialogUser user(ui);
    ui.WhenModalWaits([&] { c.act(user); });
    ASSERT_TRUE(c.save ? GetSaveFileName(&ofn) : GetOpenFileName(&ofn));
    std::vector<std::string> expected;
    for (const std::string& name : c.expected) expected.push_back(home.Path() + "/" + name);
    EXPECT_EQ(Paths(ofn), expected);
    if (expected.size() == 1) {
      const std::string& path = expected[0];
      EXPECT_EQ(std::string(buffer.data() + ofn.nFileOffset), path.substr(path.rfind('/') + 1));
      size_t dot = path.rfind('.');
      EXPECT_EQ(ofn.nFileExtension, dot != std::string::npos && dot > path.rfind('/') ? dot + 1 : 0u);
    }
  }
}

TEST(FileDialogPaths, ATypedPatternFiltersTheListUntilAnotherTypeIsChosen) {
  UiDriver ui;
  TempHome home;
  for (const char* name : {"one.png", "two.PNG", "three.txt", "Folder/x"}) home.WriteFile(name, "x");
  std::vector<char> buffer(512, '\0');
  OPENFILENAME ofn;
  ofn.lpstrFilter = "All files\0*.*\0Text\0*.txt\0";
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = home.Path().c_str();
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  FileDialogUser user(ui);
  ui.WhenModalWaits([&] {
    EXPECT_EQ(user.ListNames(), (std::vector<std::string>{"Folder", "one.png", "three.txt", "two.PNG"}));
    user.TypeName("*.png");
    EXPECT_EQ(user.ListNames(), (std::vector<std::string>{"Folder", "one.png", "two.PNG"}));
    EXPECT_EQ(user.Spec(), "*.png");
    user.ChooseType(1);
    EXPECT_EQ(user.ListNames(), (std::vector<std::string>{"Folder", "three.txt"}));
    user.ClickControl(IDCANCEL);
  });
  EXPECT_FALSE(GetOpenFileName(&ofn));
}

TEST(FileDialogPaths, MissingFilesAndPathsKeepTheDialogOpenWithAMessage) {
  UiDriver ui;
  TempHome home;
  std::vector<char> buffer(512, '\0');
  OPENFILENAME ofn;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = home.Path().c_str();
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST;
  FileDialogUser user(ui);
  bool stillOpen = false;
  ui.AnswerMessageBoxes({IDOK, IDOK});
  ui.WhenModalWaits([&] {
    user.TypeName("nothing.png");
    EXPECT_EQ(GetFocus(), GetDlgItem(FileDialogUser::Dialog(), edt1));  // back in the name box
    user.TypeName("no such folder/x.png");
    stillOpen = FileDialogUser::Dialog() != nullptr;
    user.ClickControl(IDCANCEL);
  });
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 2u);
  EXPECT_NE(ui.MessageBoxTexts()[0].find("File not found"), std::string::npos);
  EXPECT_NE(ui.MessageBoxTexts()[1].find("Path does not exist"), std::string::npos);
}

TEST(FileDialogPaths, ASmallBufferFailsWithTheSizeItNeeds) {
  UiDriver ui;
  TempHome home;
  char buffer[8] = {};
  OPENFILENAME ofn;
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = sizeof buffer;
  ofn.lpstrInitialDir = home.Path().c_str();
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  FileDialogUser user(ui);
  ui.WhenModalWaits([&] { user.TypeName("long name.png"); });
  EXPECT_FALSE(GetSaveFileName(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
  WORD needed = 0;
  std::memcpy(&needed, buffer, sizeof needed);
  EXPECT_EQ(needed, home.Path().size() + std::strlen("/long name.png") + 1);
}

TEST(FileDialogPaths, BadRecordsFailWithTheirErrors) {
  OPENFILENAME ofn;
  ofn.lStructSize = 12;
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
  ofn.lStructSize = sizeof ofn;
  ofn.Flags = OFN_ENABLEHOOK;
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_NOHOOK);
  ofn.Flags = OFN_ENABLETEMPLATEHANDLE;
  EXPECT_FALSE(GetSaveFileName(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_NOHINSTANCE);
}

TEST(FileDialogPaths, TheNextDialogStartsInTheLastFolderAndTheCurrentFolderFollowsUnlessAskedNot) {
  UiDriver ui;
  TempHome home;
  home.WriteFile("deep/er/pick.png", "x");
  char cwdBefore[4096] = {};
  ASSERT_TRUE(getcwd(cwdBefore, sizeof cwdBefore));
  std::vector<char> buffer(512, '\0');
  OPENFILENAME ofn;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  std::string initial = home.Path() + "/deep";
  ofn.lpstrInitialDir = initial.c_str();
  ofn.Flags = OFN_EXPLORER;
  FileDialogUser user(ui);
  ui.WhenModalWaits([&] { user.TypeName("er/pick.png"); });
  ASSERT_TRUE(GetOpenFileName(&ofn));
  char cwdAfter[4096] = {};
  ASSERT_TRUE(getcwd(cwdAfter, sizeof cwdAfter));
  ASSERT_EQ(chdir(cwdBefore), 0);
  EXPECT_EQ(std::string(cwdAfter), home.Path() + "/deep/er");
  EXPECT_EQ(FileDialogLastFolder(), home.Path() + "/deep/er");

  std::string startFolder;
  ofn.lpstrInitialDir = nullptr;
  buffer.assign(buffer.size(), '\0');
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  ui.WhenModalWaits([&] {
    startFolder = user.Folder();
    user.ClickControl(IDCANCEL);
  });
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(startFolder, home.Path() + "/deep/er");
}

}  // namespace
