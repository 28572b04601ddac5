#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/controls/Button.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Static.h"
#include "platform/user/Dialog.h"
#include "support/UiDriver.h"

namespace {

constexpr int kName = 100, kBold = 101, kSize = 102, kSmall = 103, kMedium = 104, kLarge = 105, kItalic = 106,
              kApply = 107;

// A font dialog of sorts: a label, a check box, a group of three radio buttons, another
// check box and the three buttons.
DialogTemplate FontDialog() {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
  t.x = 10;
  t.y = 10;
  t.cx = 200;
  t.cy = 120;
  t.caption = "Font";
  const DWORD tab = WS_TABSTOP | WS_VISIBLE;
  t.items = {
      {"STATIC", "&Name:", kName, WS_VISIBLE | SS_LEFT, 7, 7, 40, 8},
      {"BUTTON", "&Bold", kBold, tab | BS_AUTOCHECKBOX, 50, 7, 60, 10},
      {"BUTTON", "Size", kSize, WS_VISIBLE | BS_GROUPBOX, 7, 20, 100, 50},
      {"BUTTON", "&Small", kSmall, tab | WS_GROUP | BS_AUTORADIOBUTTON, 12, 30, 60, 10},
      {"BUTTON", "&Medium", kMedium, WS_VISIBLE | BS_AUTORADIOBUTTON, 12, 42, 60, 10},
      {"BUTTON", "&Large", kLarge, WS_VISIBLE | BS_AUTORADIOBUTTON, 12, 54, 60, 10},
      {"BUTTON", "&Italic", kItalic, tab | WS_GROUP | BS_AUTOCHECKBOX, 120, 30, 60, 10},
      {"BUTTON", "OK", IDOK, tab | WS_GROUP | BS_DEFPUSHBUTTON, 20, 95, 50, 14},
      {"BUTTON", "Cancel", IDCANCEL, tab | BS_PUSHBUTTON, 75, 95, 50, 14},
      {"BUTTON", "&Apply", kApply, tab | BS_PUSHBUTTON, 130, 95, 50, 14},
  };
  return t;
}

int FocusId() { return GetFocus() ? GetDlgCtrlID(GetFocus()) : -1; }

void PressWithAlt(UiDriver& ui, int vk) {
  ui.KeyDown(VK_MENU);
  ui.Press(vk);
  ui.KeyUp(VK_MENU);
}

struct Step {
  const char* what;
  std::function<void(UiDriver&)> keys;
  int focus;  // the control with the focus afterwards
};

// The keyboard through a modal dialog: each step's keys, then where the focus is.
TEST(Dialog, KeyboardMovesThroughTabOrderGroupsAndMnemonics) {
  UiDriver ui;
  DialogTemplate t = FontDialog();
  std::vector<int> commands;
  std::map<int, UINT> checks;
  auto proc = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) {
      CheckRadioButton(dialog, kSmall, kLarge, kSmall);
      return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
      commands.push_back(LOWORD(wParam));
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        for (int id : {kBold, kSmall, kMedium, kLarge, kItalic}) checks[id] = IsDlgButtonChecked(dialog, id);
        EndDialog(dialog, LOWORD(wParam));
      }
      return TRUE;
    }
    return FALSE;
  };
  const Step steps[] = {
      {"start", [](UiDriver&) {}, kBold},
      {"Tab", [](UiDriver& u) { u.Press(VK_TAB); }, kSmall},
      {"Down", [](UiDriver& u) { u.Press(VK_DOWN); }, kMedium},
      {"Down", [](UiDriver& u) { u.Press(VK_DOWN); }, kLarge},
      {"Down wraps in the group", [](UiDriver& u) { u.Press(VK_DOWN); }, kSmall},
      {"Up wraps back", [](UiDriver& u) { u.Press(VK_UP); }, kLarge},
      {"Tab leaves the group", [](UiDriver& u) { u.Press(VK_TAB); }, kItalic},
      {"Tab", [](UiDriver& u) { u.Press(VK_TAB); }, IDOK},
      {"Tab", [](UiDriver& u) { u.Press(VK_TAB); }, IDCANCEL},
      {"Tab", [](UiDriver& u) { u.Press(VK_TAB); }, kApply},
      {"Tab wraps", [](UiDriver& u) { u.Press(VK_TAB); }, kBold},
      {"Shift+Tab wraps back",
       [](UiDriver& u) {
         u.KeyDown(VK_SHIFT);
         u.Press(VK_TAB);
         u.KeyUp(VK_SHIFT);
       },
       kApply},
      {"Shift+Tab into the group lands on its checked button",
       [](UiDriver& u) {
         u.KeyDown(VK_SHIFT);
         for (int i = 0; i < 4; ++i) u.Press(VK_TAB);
         u.KeyUp(VK_SHIFT);
       },
       kLarge},
      {"Alt+I clicks Italic", [](UiDriver& u) { PressWithAlt(u, 'I'); }, kItalic},
      {"a plain letter is a mnemonic for a check box", [](UiDriver& u) { u.Type("m"); }, kMedium},
      {"the label's mnemonic goes to the control after it", [](UiDriver& u) { PressWithAlt(u, 'N'); }, kBold},
      {"space clicks the focused check box", [](UiDriver& u) { u.Press(VK_SPACE); }, kBold},
  };
  std::vector<std::string> wrong;
  for (const Step& step : steps)
    ui.WhenModalWaits([&ui, &step, &wrong] {
      step.keys(ui);
      if (FocusId() != step.focus)
        wrong.push_back(std::string(step.what) + ": focus on " + std::to_string(FocusId()) + ", not " +
                        std::to_string(step.focus));
    });
  ui.WhenModalWaits([&ui] { ui.Press(VK_RETURN); });
  INT_PTR result = DialogBoxIndirectParam(nullptr, &t, nullptr, proc, 0);
  EXPECT_EQ(wrong, std::vector<std::string>{});
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(checks[kBold], BST_CHECKED);
  EXPECT_EQ(checks[kItalic], BST_CHECKED);
  EXPECT_EQ(checks[kMedium], BST_CHECKED);  // arrows and the mnemonic checked as they went
  EXPECT_EQ(checks[kSmall], BST_UNCHECKED);
  EXPECT_EQ(checks[kLarge], BST_UNCHECKED);
}

TEST(Dialog, EnterPressesTheDefaultOrTheFocusedPushButtonAndEscCancels) {
  struct Case {
    const char* what;
    std::function<void(UiDriver&)> keys;
    INT_PTR result;
  };
  const Case cases[] = {
      {"Enter on a check box: the default button", [](UiDriver& u) { u.Press(VK_RETURN); }, IDOK},
      {"Esc", [](UiDriver& u) { u.Press(VK_ESCAPE); }, IDCANCEL},
      {"Enter on the focused Cancel button",
       [](UiDriver& u) {
         SetFocus(GetDlgItem(GetActiveWindow(), IDCANCEL));
         u.Press(VK_RETURN);
       },
       IDCANCEL},
      {"the close box is Cancel",
       [](UiDriver&) { PostMessage(GetActiveWindow(), WM_CLOSE, 0, 0); }, IDCANCEL},
  };
  for (const Case& c : cases) {
    UiDriver ui;
    DialogTemplate t = FontDialog();
    auto proc = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
      if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return message == WM_INITDIALOG;
    };
    ui.WhenModalWaits([&] { c.keys(ui); });
    EXPECT_EQ(DialogBoxIndirectParam(nullptr, &t, nullptr, proc, 0), c.result) << c.what;
  }
}

// The focused push button is the default one while it has the focus; then the dialog's
// default identifier is again.
TEST(Dialog, DefaultButtonFollowsTheFocusedPushButton) {
  UiDriver ui;
  DialogTemplate t = FontDialog();
  HWND dialog = CreateDialogIndirect(nullptr, &t, nullptr, [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR {
    return m == WM_INITDIALOG;
  });
  ASSERT_TRUE(dialog);
  ui.RunUntilIdle();
  auto isDefault = [&](int id) {
    return (SendDlgItemMessage(dialog, id, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0;
  };
  EXPECT_EQ(SendMessage(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
  EXPECT_TRUE(isDefault(IDOK));
  SendMessage(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kApply)), TRUE);
  EXPECT_TRUE(isDefault(kApply));
  EXPECT_FALSE(isDefault(IDOK));
  POINT p = UiDriver::At(GetDlgItem(dialog, kItalic), 5, 5);
  ui.Click(p.x, p.y);
  EXPECT_EQ(FocusId(), kItalic);
  EXPECT_FALSE(isDefault(kApply));
  EXPECT_TRUE(isDefault(IDOK));
  SendMessage(dialog, DM_SETDEFID, IDCANCEL, 0);
  EXPECT_TRUE(isDefault(IDCANCEL));
  EXPECT_FALSE(isDefault(IDOK));
  DestroyWindow(dialog);
}

TEST(Dialog, ItemHelpersAndUnits) {
  UiDriver ui;
  DialogTemplate t = FontDialog();
  HWND dialog = CreateDialogIndirect(nullptr, &t, nullptr, nullptr);
  ASSERT_TRUE(dialog);
  char name[16] = {};
  GetClassName(dialog, name, sizeof name);
  EXPECT_STREQ(name, WC_DIALOG);
  EXPECT_EQ(GetDlgCtrlID(GetDlgItem(dialog, kMedium)), kMedium);
  EXPECT_TRUE(SetDlgItemInt(dialog, kName, static_cast<UINT>(-42), TRUE));
  BOOL ok = FALSE;
  EXPECT_EQ(static_cast<int>(GetDlgItemInt(dialog, kName, &ok, TRUE)), -42);
  EXPECT_TRUE(ok);
  EXPECT_EQ(GetDlgItemInt(dialog, kName, &ok, FALSE), 0u);  // not a number without a sign
  EXPECT_FALSE(ok);
  SetDlgItemText(dialog, kName, " 12x");
  EXPECT_EQ(GetDlgItemInt(dialog, kName, &ok, TRUE), 0u);
  EXPECT_FALSE(ok);
  SetDlgItemText(dialog, kName, " 4000000000 ");
  EXPECT_EQ(GetDlgItemInt(dialog, kName, &ok, FALSE), 4000000000u);
  EXPECT_TRUE(ok);
  char text[8];
  EXPECT_EQ(GetDlgItemText(dialog, kName, text, sizeof text), 7u);  // cut to the buffer
  EXPECT_STREQ(text, " 400000");
  EXPECT_EQ(GetDlgItemText(dialog, 999, text, sizeof text), 0u);
  EXPECT_STREQ(text, "");
  EXPECT_TRUE(CheckDlgButton(dialog, kBold, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog, kBold), BST_CHECKED);
  EXPECT_TRUE(CheckRadioButton(dialog, kSmall, kLarge, kLarge));
  EXPECT_EQ(IsDlgButtonChecked(dialog, kSmall) + IsDlgButtonChecked(dialog, kMedium), 0u);
  EXPECT_EQ(IsDlgButtonChecked(dialog, kLarge), BST_CHECKED);
  // Tab and group walks, both ways.
  HWND small = GetDlgItem(dialog, kSmall), large = GetDlgItem(dialog, kLarge);
  EXPECT_EQ(GetNextDlgGroupItem(dialog, small, TRUE), large);
  EXPECT_EQ(GetNextDlgGroupItem(dialog, large, FALSE), small);
  EXPECT_EQ(GetNextDlgTabItem(dialog, nullptr, FALSE), GetDlgItem(dialog, kBold));
  EXPECT_EQ(GetNextDlgTabItem(dialog, nullptr, TRUE), GetDlgItem(dialog, kApply));
  EnableWindow(GetDlgItem(dialog, kItalic), FALSE);
  EXPECT_EQ(GetNextDlgTabItem(dialog, large, FALSE), GetDlgItem(dialog, IDOK));  // a disabled one is skipped
  // Dialog units: x in quarters of the average character width, y in eighths of its height.
  LONG base = GetDialogBaseUnits();
  EXPECT_GT(LOWORD(base), 3);
  EXPECT_GT(HIWORD(base), 8);
  RECT r{0, 0, 4, 8};
  EXPECT_TRUE(MapDialogRect(dialog, &r));
  EXPECT_GE(r.right, 4);
  EXPECT_GE(r.bottom, 10);
  RECT client;
  GetClientRect(dialog, &client);
  RECT expected{0, 0, 200, 120};
  MapDialogRect(dialog, &expected);
  EXPECT_EQ(client, expected);
  // DWLP_MSGRESULT is the answer of a handled message.
  SetWindowLongPtr(dialog, DWLP_USER, 77);
  EXPECT_EQ(GetWindowLongPtr(dialog, DWLP_USER), 77);
  DestroyWindow(dialog);
}

TEST(Dialog, MessageResultIsTheAnswerOfAHandledMessage) {
  UiDriver ui;
  DialogTemplate t;
  t.cx = 50;
  t.cy = 30;
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  HWND dialog = CreateDialogIndirect(nullptr, &t, nullptr, [brush](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m == WM_USER + 5) {
      SetWindowLongPtr(d, DWLP_MSGRESULT, 1234);
      return TRUE;
    }
    if (m == WM_CTLCOLORDLG) return reinterpret_cast<INT_PTR>(brush);
    return FALSE;
  });
  EXPECT_EQ(SendMessage(dialog, WM_USER + 5, 0, 0), 1234);
  EXPECT_EQ(SendMessage(dialog, WM_CTLCOLORDLG, 0, 0), reinterpret_cast<LRESULT>(brush));  // returned directly
  EXPECT_EQ(SendMessage(dialog, DM_GETDEFID, 0, 0), 0);  // no default button yet
  DestroyWindow(dialog);
  DeleteObject(brush);
}

TEST(Dialog, ModalDialogDisablesItsOwnerUntilItEnds) {
  UiDriver ui;
  HWND owner = CreateWindowEx(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr, nullptr,
                              nullptr, nullptr);
  DialogTemplate t = FontDialog();
  bool ownerEnabledDuring = true;
  HWND seen = nullptr;
  ui.WhenModalWaits([&] {
    ownerEnabledDuring = IsWindowEnabled(owner);
    seen = GetActiveWindow();
    ui.Press(VK_ESCAPE);
  });
  auto proc = [](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) EndDialog(d, 55);
    return m == WM_INITDIALOG;
  };
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, &t, owner, proc, 0), 55);
  EXPECT_FALSE(ownerEnabledDuring);
  EXPECT_NE(seen, owner);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_EQ(GetActiveWindow(), owner);
  DestroyWindow(owner);
}

// A control that asks for the Tab and arrow keys gets them; the dialog does not move on.
TEST(Dialog, ControlsThatWantKeysGetThem) {
  UiDriver ui;
  std::vector<WPARAM> keys;
  WNDCLASS wc;
  wc.lpfnWndProc = [&keys](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_GETDLGCODE) return DLGC_WANTTAB | DLGC_WANTARROWS;
    if (m == WM_KEYDOWN) keys.push_back(wp);
    return DefWindowProc(w, m, wp, lp);
  };
  wc.lpszClassName = "KeyHungry";
  RegisterClass(&wc);
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
  t.cx = 100;
  t.cy = 60;
  t.items = {{"KeyHungry", "", 1, WS_VISIBLE | WS_TABSTOP, 5, 5, 40, 12},
             {"BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 5, 30, 40, 14}};
  HWND dialog = CreateDialogIndirect(nullptr, &t, nullptr, nullptr);
  ASSERT_TRUE(dialog);
  ui.RunUntilIdle();
  EXPECT_EQ(FocusId(), 1);
  ui.Press(VK_TAB);
  ui.Press(VK_DOWN);
  EXPECT_EQ(FocusId(), 1);
  EXPECT_EQ(keys, (std::vector<WPARAM>{VK_TAB, VK_DOWN}));
  DestroyWindow(dialog);
  UnregisterClass("KeyHungry", nullptr);
}

// A dialog of two edit fields, the first the first tab stop.
DialogTemplate TwoEdits(int first, int second) {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
  t.cx = 120;
  t.cy = 50;
  t.caption = "Two edits";
  const DWORD edit = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
  t.items = {{"EDIT", "", first, edit, 7, 7, 100, 12}, {"EDIT", "", second, edit, 7, 25, 100, 12}};
  return t;
}

// A message box owned by a dialog gives the focus back, when it closes, to the control that
// had it before (the dialog saves it when it loses the activation), not to the first one.
TEST(Dialog, FocusComesBackToItsControlAfterAMessageBox) {
  constexpr int kFirst = 200, kSecond = 201;
  struct Case {
    const char* what;
    std::function<void(UiDriver&, HWND dialog)> focusSecond;
    bool answerByKey;                                      // else by the test's script
    std::function<void(HWND dialog)> whileBoxShows = {};  // what changes behind the box
    int focusAfter;
  };
  const Case cases[] = {
      {"SetFocus, box answered by its script", [](UiDriver&, HWND d) { SetFocus(GetDlgItem(d, kSecond)); }, false, {}, kSecond},
      {"the Tab key, box answered by Enter", [](UiDriver& u, HWND) { u.Press(VK_TAB); }, true, {}, kSecond},
      {"a click, box answered by Enter",
       [](UiDriver& u, HWND d) {
         POINT p = UiDriver::At(GetDlgItem(d, kSecond), 5, 5);
         u.Click(p.x, p.y);
       },
       true, {}, kSecond},
      {"the saved control disabled meanwhile: the first tab stop", [](UiDriver& u, HWND) { u.Press(VK_TAB); }, true,
       [](HWND d) { EnableWindow(GetDlgItem(d, kSecond), FALSE); }, kFirst},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UiDriver ui;
    DialogTemplate t = TwoEdits(kFirst, kSecond);
    HWND dialog = CreateDialogIndirect(nullptr, &t, nullptr, [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR {
      return m == WM_INITDIALOG;
    });
    ASSERT_TRUE(dialog);
    ui.RunUntilIdle();
    ASSERT_EQ(FocusId(), kFirst);
    c.focusSecond(ui, dialog);
    ASSERT_EQ(FocusId(), kSecond);
    if (c.answerByKey) {
      ui.DriveMessageBoxes();
      ui.WhenModalWaits([&] {
        if (c.whileBoxShows) c.whileBoxShows(dialog);
        ui.Press(VK_RETURN);
      });
    } else {
      ui.AnswerMessageBoxes({IDOK});
    }
    EXPECT_EQ(MessageBox(dialog, "Checked.", "Note", MB_OK), IDOK);
    ui.RunUntilIdle();
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(FocusId(), c.focusAfter);
    DestroyWindow(dialog);
  }
}

}  // namespace

// A dialog procedure that puts the focus on a control itself answers FALSE to WM_INITDIALOG,
// and the modal dialog, created hidden, shows with the focus there: a file dialog's name
// field takes what is typed at once. Answering TRUE gives the first tab stop.
TEST(Dialog, TheFocusTheProcedureSetsInInitDialogStays) {
  constexpr int kFirst = 200, kSecond = 201;
  struct Case {
    const char* what;
    bool setsFocus;
    int focusShown;
  };
  const Case cases[] = {{"SetFocus on the second, FALSE", true, kSecond}, {"TRUE", false, kFirst}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UiDriver ui;
    DialogTemplate t = TwoEdits(kFirst, kSecond);
    int focusShown = -1;
    std::string typed;
    ui.WhenModalWaits([&] {
      focusShown = FocusId();
      ui.Type("abc");
      char text[16] = {};
      GetWindowText(GetDlgItem(GetActiveWindow(), kSecond), text, sizeof text);
      typed = text;
      ui.Press(VK_ESCAPE);
    });
    auto proc = [&c](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
      if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
      if (message != WM_INITDIALOG) return FALSE;
      if (!c.setsFocus) return TRUE;
      SetFocus(GetDlgItem(dialog, kSecond));
      return FALSE;
    };
    EXPECT_EQ(DialogBoxIndirectParam(nullptr, &t, nullptr, proc, 0), IDCANCEL);
    EXPECT_EQ(focusShown, c.focusShown);
    EXPECT_EQ(typed, c.setsFocus ? "abc" : "");
  }
}
