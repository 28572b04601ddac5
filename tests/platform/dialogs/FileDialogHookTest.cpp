// A hooked open dialog with a child template, driven as a user drives it: what the hook hears
// and in which order, where the child's controls go, what CDM_ tells it, and its veto of OK.

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "support/FileDialogUser.h"
#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Static.h"
#include "support/TempHome.h"

namespace {

constexpr int kPreviewLabel = 0x600;

const char* NotificationName(UINT code) {
  static const std::map<UINT, const char*> names = {
      {CDN_INITDONE, "initdone"},     {CDN_SELCHANGE, "selchange"}, {CDN_FOLDERCHANGE, "folderchange"},
      {CDN_FILEOK, "fileok"},         {CDN_TYPECHANGE, "typechange"}, {CDN_HELP, "help"},
  };
  auto it = names.find(code);
  return it == names.end() ? "other" : it->second;
}

std::string Ask(HWND hookDialog, UINT message) {
  char text[512] = {};
  LRESULT size = SendMessage(GetParent(hookDialog), message, sizeof text, reinterpret_cast<LPARAM>(text));
  return size > 0 ? std::string(text) : std::string("?");
}

// A preview panel: a label that the hook fills with the file under the cursor.
DialogTemplate PreviewPanel(bool withMarker) {
  DialogTemplate t;
  t.style = WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_3DLOOK;
  t.cx = withMarker ? 120 : 200;
  t.cy = 40;
  if (withMarker) t.items.push_back({"STATIC", "", stc32, SS_LEFT, 0, 0, 20, 30});
  t.items.push_back({"STATIC", "none", kPreviewLabel, WS_VISIBLE | SS_LEFT, withMarker ? 30 : 10, 5, 80, 10});
  return t;
}

struct HookLog {
  std::vector<std::string> events;
  std::vector<std::string> selections;
  int vetoes = 0;
  HWND child = nullptr;
};

OPENFILENAME HookedRecord(HookLog& log, DialogTemplate& panel, std::vector<char>& buffer, const std::string& folder) {
  OPENFILENAME ofn;
  static const char filter[] = "Pictures\0*.png;*.bmp\0Text\0*.txt\0All files\0*.*\0";
  ofn.lpstrFilter = filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = folder.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY |
              OFN_NOCHANGEDIR | OFN_ENABLESIZING;
  ofn.hInstance = &panel;
  ofn.lCustData = 42;
  ofn.lpfnHook = [&log](HWND hook, UINT message, WPARAM, LPARAM lParam) -> UINT_PTR {
    if (message == WM_INITDIALOG) {
      log.child = hook;
      log.events.push_back(reinterpret_cast<OPENFILENAME*>(lParam)->lCustData == 42 ? "init" : "init?");
      return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    const auto& n = *reinterpret_cast<const OFNOTIFY*>(lParam);
    log.events.push_back(NotificationName(n.hdr.code));
    if (n.hdr.code == CDN_SELCHANGE) {
      std::string path = Ask(hook, CDM_GETFILEPATH);
      log.selections.push_back(path);
      SetDlgItemText(hook, kPreviewLabel, path.c_str());
    }
    if (n.hdr.code == CDN_TYPECHANGE) log.events.back() += std::to_string(n.lpOFN->nFilterIndex);
    if (n.hdr.code == CDN_FILEOK && log.vetoes-- > 0) {
      SetWindowLongPtr(hook, DWLP_MSGRESULT, 1);
      return TRUE;
    }
    return FALSE;
  };
  return ofn;
}

TEST(FileDialogHook, HearsNotificationsInOrderPreviewsTheSelectionAndMayVetoOk) {
  UiDriver ui;
  TempHome home;
  home.WriteFile("cat.png", "png");
  home.WriteFile("dog.bmp", "bmp");
  home.WriteFile("notes.txt", "txt");
  home.WriteFile("pics/inner.png", "png");
  HookLog log;
  log.vetoes = 1;
  DialogTemplate panel = PreviewPanel(false);
  std::vector<char> buffer(512, '\0');
  OPENFILENAME ofn = HookedRecord(log, panel, buffer, home.Path());
  FileDialogUser user(ui);
  std::string previewShown;
  bool openAfterVeto = false;
  ui.WhenModalWaits([&] {
    EXPECT_EQ(user.ListNames(), (std::vector<std::string>{"pics", "cat.png", "dog.bmp"}));
    user.ClickItem("dog.bmp");
    previewShown = [&] {
      char text[512] = {};
      GetDlgItemText(log.child, kPreviewLabel, text, sizeof text);
      return std::string(text);
    }();
    user.ChooseType(1);  // Text
    EXPECT_EQ(user.ListNames(), (std::vector<std::string>{"pics", "notes.txt"}));
    user.ChooseType(0);
    user.ClickItem("cat.png");
    user.ClickControl(IDOK);  // vetoed by the hook
    openAfterVeto = FileDialogUser::Dialog() != nullptr;
    user.ClickControl(IDOK);
  });
  ASSERT_TRUE(GetOpenFileName(&ofn));
  EXPECT_EQ(std::string(buffer.data()), home.Path() + "/cat.png");
  EXPECT_EQ(log.events, (std::vector<std::string>{"init", "initdone", "folderchange", "selchange", "selchange",
                                                  "typechange2", "typechange1", "selchange", "fileok", "fileok"}));
  EXPECT_EQ(previewShown, home.Path() + "/dog.bmp");
  EXPECT_EQ(log.selections.back(), home.Path() + "/cat.png");
  EXPECT_TRUE(openAfterVeto);
  EXPECT_EQ(ofn.nFilterIndex, 1u);
}

// Without an stc32 control the child sits below the standard controls; with one, the
// standard controls take the marker's place and the child's controls to its right move on.
TEST(FileDialogHook, ChildControlsSitWhereTheTemplatePutsThem) {
  for (bool withMarker : {false, true}) {
    SCOPED_TRACE(withMarker ? "stc32" : "below");
    UiDriver ui;
    TempHome home;
    HookLog log;
    DialogTemplate panel = PreviewPanel(withMarker);
    std::vector<char> buffer(512, '\0');
    OPENFILENAME ofn = HookedRecord(log, panel, buffer, home.Path());
    RECT label{}, list{}, ok{}, dialogClient{}, child{};
    RECT expectedLabel{withMarker ? 30 : 10, 5, 0, 0};
    ui.WhenModalWaits([&] {
      HWND dialog = FileDialogUser::Dialog();
      ASSERT_TRUE(dialog);
      MapDialogRect(log.child, &expectedLabel);
      auto rectIn = [](HWND w, HWND parent) {
        RECT r{};
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        return r;
      };
      label = rectIn(GetDlgItem(log.child, kPreviewLabel), log.child);
      child = rectIn(log.child, dialog);
      list = rectIn(GetDlgItem(dialog, lst1), dialog);
      ok = rectIn(GetDlgItem(dialog, IDOK), dialog);
      GetClientRect(dialog, &dialogClient);
      EXPECT_EQ(GetParent(log.child), dialog);
      PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(GetOpenFileName(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    if (!withMarker) {
      EXPECT_EQ(label.left, expectedLabel.left);
      EXPECT_EQ(label.top, expectedLabel.top);
      EXPECT_GE(child.top, ok.bottom);  // below every standard control
      EXPECT_EQ(child.bottom, dialogClient.bottom);
    } else {
      RECT marker{0, 0, 20, 30};
      MapDialogRect(log.child, &marker);
      EXPECT_EQ(child.left, 0);
      EXPECT_EQ(child.top, 0);
      EXPECT_GE(label.left, ok.right);  // moved out of the standard controls' way
      EXPECT_EQ(label.top, expectedLabel.top);
      EXPECT_LE(label.right, dialogClient.right);
      EXPECT_GE(list.left, marker.left);
    }
  }
}

TEST(FileDialogHook, CdmMessagesReadAndChangeTheDialog) {
  UiDriver ui;
  TempHome home;
  home.WriteFile("picture.png", "png");
  HookLog log;
  DialogTemplate panel = PreviewPanel(false);
  std::vector<char> buffer(512, '\0');
  std::strcpy(buffer.data(), "start");
  OPENFILENAME ofn = HookedRecord(log, panel, buffer, home.Path());
  ofn.Flags &= ~OFN_FILEMUSTEXIST;
  std::string spec, folder, stc3Text;
  bool hidden = false;
  ui.WhenModalWaits([&] {
    HWND dialog = FileDialogUser::Dialog();
    spec = Ask(log.child, CDM_GETSPEC);
    folder = Ask(log.child, CDM_GETFOLDERPATH);
    SendMessage(dialog, CDM_SETCONTROLTEXT, stc3, reinterpret_cast<LPARAM>("Picture:"));
    char text[64] = {};
    GetDlgItemText(dialog, stc3, text, sizeof text);
    stc3Text = text;
    SendMessage(dialog, CDM_HIDECONTROL, cmb1, 0);
    hidden = !IsWindowVisible(GetDlgItem(dialog, cmb1));
    SendMessage(dialog, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>("txt"));
    char tiny[4] = {};
    EXPECT_EQ(SendMessage(dialog, CDM_GETFOLDERPATH, sizeof tiny, reinterpret_cast<LPARAM>(tiny)),
              static_cast<LRESULT>(home.Path().size() + 1));  // the size it needs
    ui.Press(VK_RETURN);
  });
  ofn.lpstrFilter = nullptr;  // no filter: the default extension alone is added
  ASSERT_TRUE(GetOpenFileName(&ofn));
  EXPECT_EQ(spec, "start");
  EXPECT_EQ(folder, home.Path());
  EXPECT_EQ(stc3Text, "Picture:");
  EXPECT_TRUE(hidden);
  EXPECT_EQ(std::string(buffer.data()), home.Path() + "/start.txt");
}

// What a hook does to steer the dialog: a folder put into the name box and OK opens the
// folder (no CDN_FILEOK); a type chosen by CB_SETCURSEL and the combo's two notifications is
// applied once, as if the user had picked it.
TEST(FileDialogHook, AHookSteersTheFolderAndTheTypeThroughTheStandardControls) {
  UiDriver ui;
  TempHome home;
  home.WriteFile("elsewhere/inner.txt", "x");
  HookLog log;
  DialogTemplate panel = PreviewPanel(false);
  std::vector<char> buffer(512, '\0');
  OPENFILENAME ofn = HookedRecord(log, panel, buffer, home.Path());
  std::string folder, keptName;
  std::vector<std::string> names;
  ui.WhenModalWaits([&] {
    HWND dialog = GetParent(log.child);
    log.events.clear();
    HWND name = GetDlgItem(dialog, edt1);
    SetWindowText(name, (home.Path() + "/elsewhere/").c_str());
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    folder = Ask(log.child, CDM_GETFOLDERPATH);
    HWND types = GetDlgItem(dialog, cmb1);
    SendMessage(types, CB_SETCURSEL, 1, 0);
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
    FileDialogUser user(ui);
    names = user.ListNames();
    PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(folder, home.Path() + "/elsewhere");
  EXPECT_EQ(log.events, (std::vector<std::string>{"folderchange", "typechange2"}));
  EXPECT_EQ(names, (std::vector<std::string>{"inner.txt"}));
}

// With OFN_ENABLESIZING the border drags: the list takes the new room, the buttons and the
// rows below it move with the edges, the child keeps its place below them; it never gets
// smaller than it opened.
TEST(FileDialogHook, ASizableDialogGivesTheListTheRoomAndMovesTheRest) {
  UiDriver ui;
  TempHome home;
  HookLog log;
  DialogTemplate panel = PreviewPanel(false);
  std::vector<char> buffer(512, '\0');
  OPENFILENAME ofn = HookedRecord(log, panel, buffer, home.Path());
  auto rectOf = [](HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
  };
  RECT listBefore{}, listAfter{}, okBefore{}, okAfter{}, childBefore{}, childAfter{}, frameSmallest{};
  ui.WhenModalWaits([&] {
    HWND dialog = GetParent(log.child);
    listBefore = rectOf(GetDlgItem(dialog, lst1));
    okBefore = rectOf(GetDlgItem(dialog, IDOK));
    childBefore = rectOf(log.child);
    RECT frame = rectOf(dialog);
    ui.Drag({frame.right - 2, frame.bottom - 2}, {frame.right + 58, frame.bottom + 38});
  });
  ui.WhenModalWaits([&] {
    HWND dialog = GetParent(log.child);
    listAfter = rectOf(GetDlgItem(dialog, lst1));
    okAfter = rectOf(GetDlgItem(dialog, IDOK));
    childAfter = rectOf(log.child);
    RECT frame = rectOf(dialog);
    ui.Drag({frame.right - 2, frame.bottom - 2}, {frame.left + 50, frame.top + 50});
  });
  ui.WhenModalWaits([&] {
    HWND dialog = GetParent(log.child);
    frameSmallest = rectOf(dialog);
    PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_EQ(listAfter.right - listBefore.right, 60);
  EXPECT_EQ(listAfter.bottom - listBefore.bottom, 40);
  EXPECT_EQ(listAfter.left, listBefore.left);
  EXPECT_EQ(okAfter.left - okBefore.left, 60);
  EXPECT_EQ(okAfter.top - okBefore.top, 40);
  EXPECT_EQ(childAfter.top - childBefore.top, 40);
  EXPECT_EQ(childAfter.left, childBefore.left);
  EXPECT_GE(frameSmallest.right - frameSmallest.left, listBefore.right - listBefore.left);
  EXPECT_GT(frameSmallest.bottom - frameSmallest.top, childBefore.bottom - listBefore.top);
}

}  // namespace
