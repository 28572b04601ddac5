#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/controls/TreeView.h"
#include "platform/dialogs/BrowseFolder.h"
#include "platform/user/Desktop.h"
#include "platform/user/Dialog.h"
#include "support/UiDriver.h"
#include "support/XdgHome.h"

namespace {

HTREEITEM Next(HWND tree, UINT relation, HTREEITEM item = nullptr) {
  return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::string Text(HWND tree, HTREEITEM item) {
  char text[MAX_PATH] = {};
  TVITEM query;
  query.mask = TVIF_TEXT | TVIF_HANDLE;
  query.hItem = item;
  query.pszText = text;
  query.cchTextMax = MAX_PATH;
  SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&query));
  return text;
}

std::vector<std::string> Children(HWND tree, HTREEITEM parent) {
  std::vector<std::string> names;
  for (HTREEITEM child = Next(tree, TVGN_CHILD, parent); child; child = Next(tree, TVGN_NEXT, child))
    names.push_back(Text(tree, child));
  return names;
}

HTREEITEM Child(HWND tree, HTREEITEM parent, const std::string& name) {
  for (HTREEITEM child = Next(tree, TVGN_CHILD, parent); child; child = Next(tree, TVGN_NEXT, child))
    if (Text(tree, child) == name) return child;
  return nullptr;
}

POINT CentreOf(HWND window) {
  RECT box{};
  GetWindowRect(window, &box);
  return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
}

POINT ItemCentre(HWND tree, HTREEITEM item) {
  RECT r{};
  std::memcpy(static_cast<void*>(&r), &item, sizeof item);
  SendMessage(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
  return UiDriver::At(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A home with folders to browse: sorted without regard to case, hidden ones left out.
class BrowseFolderTest : public ::testing::Test {
protected:
  BrowseFolderTest() {
    for (const char* folder : {"home/pics/Zeta/Inner", "home/pics/alpha", "home/pics/Beta", "home/pics/.hidden/deep",
                               "home/pics/Ünïcode", "home/Desktop"})
      xdg.MakeFolder(folder);
    xdg.WriteFile("home/pics/file.txt", "not a folder");
    pics = xdg.Home() + "/pics";
    root = ILCreateFromPath(pics.c_str());
    info.pidlRoot = root;
    info.pszDisplayName = name;
    info.lpszTitle = "Choose a folder";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = [this](HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
      EXPECT_EQ(data, 77);
      std::string detail;
      if (message == BFFM_SELCHANGED) detail = ILPath(reinterpret_cast<LPCITEMIDLIST>(lParam));
      if (message == BFFM_VALIDATEFAILED) detail = reinterpret_cast<LPCSTR>(lParam);
      heard.push_back(std::to_string(message) + " " + detail);
      return onMessage ? onMessage(dialog, message, lParam) : 0;
    };
    info.lParam = 77;
  }
  ~BrowseFolderTest() override { ILFree(root); }

  static HWND Dialog() { return UiDriver::FindDialog(BrowseFolderText::Caption); }
  static HWND Tree() { return GetDlgItem(Dialog(), IDC_BROWSE_TREE); }
  // Runs the browser; answers the chosen path ("" when cancelled).
  std::string Browse() {
    LPITEMIDLIST chosen = SHBrowseForFolder(&info);
    const std::string path = ILPath(chosen);
    ILFree(chosen);
    return path;
  }
  std::string Selected(int message = BFFM_SELCHANGED) { return std::to_string(message) + " "; }

  UiDriver ui;
  XdgHome xdg;
  std::string pics;
  LPITEMIDLIST root = nullptr;
  char name[MAX_PATH] = {};
  BROWSEINFO info;
  std::vector<std::string> heard;
  std::function<int(HWND, UINT, LPARAM)> onMessage;
};

TEST_F(BrowseFolderTest, KeyboardChoosesAFolderAndTheCallbackHearsEachStep) {
  std::vector<std::string> shown;
  ui.WhenModalWaits([&] {
    HWND tree = Tree();
    HTREEITEM top = Next(tree, TVGN_ROOT);
    shown = Children(tree, top);
    EXPECT_EQ(Children(tree, Child(tree, top, "Zeta")), std::vector<std::string>{});  // not listed until opened
    EXPECT_EQ(GetFocus(), tree);
    ui.Press(VK_DOWN);   // alpha
    ui.Press(VK_DOWN);   // Beta
    ui.Press(VK_DOWN);   // Zeta
    ui.Press(VK_RIGHT);  // opens it
    ui.Press(VK_DOWN);   // Inner
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(Browse(), pics + "/Zeta/Inner");
  EXPECT_EQ(shown, (std::vector<std::string>{"alpha", "Beta", "Zeta", "Ünïcode"}));
  EXPECT_EQ(std::string(name), "Inner");
  const std::string changed = std::to_string(BFFM_SELCHANGED) + " ";
  EXPECT_EQ(heard, (std::vector<std::string>{std::to_string(BFFM_INITIALIZED) + " ", changed + pics,
                                             changed + pics + "/alpha", changed + pics + "/Beta",
                                             changed + pics + "/Zeta", changed + pics + "/Zeta/Inner"}));
}

TEST_F(BrowseFolderTest, MouseOpensAndPicksAndOkAccepts) {
  ui.WhenModalWaits([&] {
    HWND tree = Tree();
    HTREEITEM zeta = Child(tree, Next(tree, TVGN_ROOT), "Zeta");
    const POINT at = ItemCentre(tree, zeta);
    ui.DoubleClick(at.x, at.y);  // selects and opens
    HTREEITEM inner = Child(tree, zeta, "Inner");
    ASSERT_NE(inner, nullptr);
    const POINT innerAt = ItemCentre(tree, inner);
    ui.Click(innerAt.x, innerAt.y);
    const POINT ok = CentreOf(GetDlgItem(Dialog(), IDOK));
    ui.Click(ok.x, ok.y);
  });
  EXPECT_EQ(Browse(), pics + "/Zeta/Inner");
}

TEST_F(BrowseFolderTest, SetSelectionFromTheCallbackOpensThePathEvenToAHiddenFolder) {
  onMessage = [this](HWND dialog, UINT message, LPARAM) {
    if (message == BFFM_INITIALIZED)
      SendMessage(dialog, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>((pics + "/.hidden/deep/").c_str()));
    return 0;
  };
  std::vector<std::string> shown;
  ui.WhenModalWaits([&] {
    shown = Children(Tree(), Next(Tree(), TVGN_ROOT));
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(Browse(), pics + "/.hidden/deep");
  // The selection made during BFFM_INITIALIZED is the first change heard, and the only one.
  EXPECT_EQ(heard, (std::vector<std::string>{std::to_string(BFFM_INITIALIZED) + " ",
                                             std::to_string(BFFM_SELCHANGED) + " " + pics + "/.hidden/deep"}));
  EXPECT_EQ(shown, (std::vector<std::string>{"alpha", "Beta", "Zeta", "Ünïcode", ".hidden"}));
}

TEST_F(BrowseFolderTest, CancelEscAndTheCloseBoxAnswerNothing) {
  const std::function<void(UiDriver&)> ways[] = {
      [](UiDriver& u) {
        const POINT cancel = CentreOf(GetDlgItem(Dialog(), IDCANCEL));
        u.Click(cancel.x, cancel.y);
      },
      [](UiDriver& u) { u.Press(VK_ESCAPE); },
      [](UiDriver&) { PostMessage(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); },
  };
  for (const auto& way : ways) {
    std::strcpy(name, "unchanged");
    ui.WhenModalWaits([&] { way(ui); });
    EXPECT_EQ(Browse(), "");
    EXPECT_EQ(std::string(name), "unchanged");
  }
}

TEST_F(BrowseFolderTest, StatusTextEnableOkAndOkTextComeFromTheCallback) {
  info.ulFlags |= BIF_STATUSTEXT;
  onMessage = [](HWND dialog, UINT message, LPARAM lParam) {
    if (message == BFFM_SELCHANGED) {
      const std::string path = ILPath(reinterpret_cast<LPCITEMIDLIST>(lParam));
      SendMessage(dialog, BFFM_SETSTATUSTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
      SendMessage(dialog, BFFM_ENABLEOK, 0, path.find("Beta") == std::string::npos);
    }
    if (message == BFFM_INITIALIZED) SendMessage(dialog, BFFM_SETOKTEXT, 0, reinterpret_cast<LPARAM>("Pick"));
    return 0;
  };
  ui.WhenModalWaits([&] {
    HWND dialog = Dialog();
    char text[MAX_PATH];
    GetDlgItemText(dialog, IDC_BROWSE_TITLE, text, MAX_PATH);
    EXPECT_EQ(std::string(text), "Choose a folder");
    GetDlgItemText(dialog, IDOK, text, MAX_PATH);
    EXPECT_EQ(std::string(text), "Pick");
    ui.Press(VK_DOWN);
    ui.Press(VK_DOWN);  // Beta: OK is off
    GetDlgItemText(dialog, IDC_BROWSE_STATUS, text, MAX_PATH);
    EXPECT_EQ(std::string(text), pics + "/Beta");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
    ui.Press(VK_RETURN);  // does nothing while OK is off
    EXPECT_EQ(Dialog(), dialog);
    ui.Press(VK_UP);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(Browse(), pics + "/alpha");
}

TEST_F(BrowseFolderTest, TypedNamesAreValidatedByTheCallback) {
  info.ulFlags |= BIF_EDITBOX | BIF_VALIDATE;
  int keepOpen = 1;
  onMessage = [&](HWND, UINT message, LPARAM) { return message == BFFM_VALIDATEFAILED ? keepOpen : 0; };
  auto type = [this](const std::string& text) {
    HWND edit = GetDlgItem(Dialog(), IDC_BROWSE_EDIT);
    SetWindowText(edit, text.c_str());
    ui.Press(VK_RETURN);
  };
  ui.WhenModalWaits([&] {
    char text[MAX_PATH];
    GetDlgItemText(Dialog(), IDC_BROWSE_EDIT, text, MAX_PATH);
    EXPECT_EQ(std::string(text), "pics");  // the selection's name
    type("nope");
    ASSERT_NE(Dialog(), nullptr);  // kept open by the callback
    type("Zeta/Inner");            // from the selection
  });
  EXPECT_EQ(Browse(), pics + "/Zeta/Inner");
  EXPECT_EQ(heard.back(), std::to_string(BFFM_VALIDATEFAILED) + " nope");

  ui.WhenModalWaits([&] { type(pics + "/Beta"); });  // a full path
  EXPECT_EQ(Browse(), pics + "/Beta");
  EXPECT_EQ(std::string(name), "Beta");

  keepOpen = 0;  // the callback gives up: a cancel
  ui.WhenModalWaits([&] { type("still nope"); });
  EXPECT_EQ(Browse(), "");
}

TEST_F(BrowseFolderTest, WithoutARootTheTreeStartsAtDesktopHomeAndTheFileSystem) {
  info.pidlRoot = nullptr;
  std::vector<std::string> tops;
  ui.WhenModalWaits([&] {
    HWND tree = Tree();
    for (HTREEITEM item = Next(tree, TVGN_ROOT); item; item = Next(tree, TVGN_NEXT, item)) tops.push_back(Text(tree, item));
    for (int id : {IDC_BROWSE_TREE, IDC_BROWSE_TITLE, IDOK, IDCANCEL}) EXPECT_NE(GetDlgItem(Dialog(), id), nullptr) << id;
    SendMessage(Dialog(), BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>((pics + "/Beta").c_str()));
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(Browse(), pics + "/Beta");
  EXPECT_EQ(tops, (std::vector<std::string>{BrowseFolderText::Desktop, BrowseFolderText::Home, BrowseFolderText::FileSystem}));
}

TEST_F(BrowseFolderTest, SetSelectionAndSetExpandedTakeItemListsToo) {
  LPITEMIDLIST beta = ILCreateFromPath((pics + "/Beta").c_str());
  LPITEMIDLIST zeta = ILCreateFromPath((pics + "/Zeta").c_str());
  bool zetaOpen = false;
  onMessage = [&](HWND dialog, UINT message, LPARAM) {
    if (message == BFFM_INITIALIZED) {
      SendMessage(dialog, BFFM_SETEXPANDED, FALSE, reinterpret_cast<LPARAM>(zeta));
      SendMessage(dialog, BFFM_SETSELECTION, FALSE, reinterpret_cast<LPARAM>(beta));
    }
    return 0;
  };
  ui.WhenModalWaits([&] {
    HWND tree = Tree();
    HTREEITEM item = Child(tree, Next(tree, TVGN_ROOT), "Zeta");
    zetaOpen = (SendMessage(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(Browse(), pics + "/Beta");
  EXPECT_TRUE(zetaOpen);
  ILFree(beta);
  ILFree(zeta);
}

TEST_F(BrowseFolderTest, BadRequestsAnswerNothing) {
  EXPECT_EQ(SHBrowseForFolder(nullptr), nullptr);
  info.ulFlags = BIF_BROWSEFORCOMPUTER;
  EXPECT_EQ(SHBrowseForFolder(&info), nullptr);
  info.ulFlags = 0;
  LPITEMIDLIST stale = ILCreateFromPath("/");
  ILFree(stale);
  info.pidlRoot = stale;
  EXPECT_EQ(SHBrowseForFolder(&info), nullptr);
}

// The browser as a user sees it, with a folder opened and selected. With QUILLO_SHOT=<file.bmp>
// the desktop is saved there, and with QUILLO_DEMO_HOLD_MS=<n> the screen is kept for n
// milliseconds of real time, so that a screenshot of the SDL host can be taken.
class BrowseFolderShot : public BrowseFolderTest {};

TEST_F(BrowseFolderShot, Open) {
  info.ulFlags |= BIF_STATUSTEXT | BIF_EDITBOX;
  info.lpszTitle = "Choose the folder the converted pictures are written to:";
  onMessage = [this](HWND dialog, UINT message, LPARAM) {
    if (message == BFFM_INITIALIZED) {
      SendMessage(dialog, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>((pics + "/Zeta/Inner").c_str()));
      SendMessage(dialog, BFFM_SETSTATUSTEXT, 0, reinterpret_cast<LPARAM>("Inner holds no pictures yet"));
    }
    return 0;
  };
  ui.WhenModalWaits([&] {
    ui.RunUntilIdle();
    ASSERT_NE(Dialog(), nullptr);
    char text[MAX_PATH];
    GetDlgItemText(Dialog(), IDC_BROWSE_EDIT, text, MAX_PATH);
    EXPECT_EQ(std::string(text), "Inner");
    ui.ShowToViewer();
    ui.Press(VK_ESCAPE);
  });
  EXPECT_EQ(Browse(), "");
}

}  // namespace
