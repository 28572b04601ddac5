// A drop-down combo box with its EDIT window: the text typed, the keys the combo box takes
// from its edit, and the edit's notifications passed on as the combo box's. Where the layer
// has no EDIT class yet, a small stand-in with the class's messages and notifications takes
// its place for these tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlHost.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ListBox.h"
#include "support/UiDriver.h"

namespace {

constexpr int kId = 12;
constexpr UINT kGetSel = 0x00B0, kSetSel = 0x00B1, kLimitText = 0x00C5;
constexpr WORD kSetFocus = 0x0100, kKillFocus = 0x0200, kChange = 0x0300, kUpdate = 0x0400;

// The messages of a single-line edit that the combo box relies on.
class StandInEdit {
public:
  StandInEdit() {
    WNDCLASS existing;
    if (GetClassInfo(nullptr, "EDIT", &existing)) return;  // the real one is there
    WNDCLASS wc;
    wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT { return Proc(w, m, wp, lp); };
    wc.lpszClassName = "EDIT";
    RegisterClass(&wc);
    registered_ = true;
  }
  ~StandInEdit() {
    if (registered_) UnregisterClass("EDIT", nullptr);
  }
  StandInEdit(const StandInEdit&) = delete;
  StandInEdit& operator=(const StandInEdit&) = delete;

private:
  void Notify(HWND w, WORD code) {
    SendMessage(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), code), reinterpret_cast<LPARAM>(w));
  }
  LRESULT Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
      case WM_SETTEXT: {
        LRESULT r = DefWindowProc(w, m, wp, lp);
        Notify(w, kUpdate);
        Notify(w, kChange);
        return r;
      }
      case WM_CHAR: {
        if (wp < 0x20) return 0;
        int n = GetWindowTextLength(w);
        std::string text(static_cast<size_t>(n) + 1, '\0');
        GetWindowText(w, text.data(), n + 1);
        text.resize(static_cast<size_t>(n));
        text += static_cast<char>(wp);
        DefWindowProc(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Notify(w, kUpdate);
        Notify(w, kChange);
        return 0;
      }
      case kSetSel: start_ = static_cast<DWORD>(wp); end_ = static_cast<DWORD>(lp); return 0;
      case kGetSel:
        if (wp) *reinterpret_cast<DWORD*>(wp) = start_;
        if (lp) *reinterpret_cast<DWORD*>(lp) = end_;
        return MAKELONG(start_, end_);
      case kLimitText: limit_ = static_cast<int>(wp); return 0;
      case WM_SETFOCUS: Notify(w, kSetFocus); return 0;
      case WM_KILLFOCUS: Notify(w, kKillFocus); return 0;
      case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    }
    return DefWindowProc(w, m, wp, lp);
  }
  bool registered_ = false;
  DWORD start_ = 0, end_ = 0;
  int limit_ = 0;
};

std::string Text(HWND w) {
  int n = GetWindowTextLength(w);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  GetWindowText(w, s.data(), n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

TEST(ComboBoxEdit, TypingKeysAndChoicesGoThroughTheEdit) {
  UiDriver ui;
  StandInEdit standIn;
  ControlHost host;
  HWND combo = host.Child(kComboBoxClass, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 20, 20, 140, 150, kId);
  for (const char* t : {"apple", "banana", "cherry", "damson"}) SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  COMBOBOXINFO info;
  SendMessage(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
  HWND edit = info.hwndItem;
  ASSERT_NE(edit, combo);
  EXPECT_EQ(GetParent(edit), combo);
  EXPECT_EQ(GetDlgCtrlID(edit), kComboEditId);
  ui.RunUntilIdle();
  host.Take(kId);

  SetFocus(combo);
  EXPECT_EQ(GetFocus(), edit);  // the focus passes to the edit
  ui.Type("ch");
  EXPECT_EQ(Text(combo), "ch");
  EXPECT_EQ(host.Take(kId), (std::vector<int>{CBN_SETFOCUS, CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE,
                                              CBN_EDITCHANGE}));
  // The program's text and the items chosen fill the edit without edit notifications.
  SetWindowText(combo, "typed");
  EXPECT_EQ(Text(edit), "typed");
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(Text(combo), "banana");
  EXPECT_EQ(host.Take(kId), std::vector<int>{});

  // Keys in the edit: F4 drops the list, typing moves the list's choice along, Down chooses,
  // Enter closes.
  ui.Press(VK_F4);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  EXPECT_EQ(GetFocus(), edit);
  SetWindowText(edit, "");
  ui.Type("d");
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
  ui.Press(VK_UP);
  EXPECT_EQ(Text(combo), "cherry");
  ui.Press(VK_RETURN);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
  std::vector<int> codes = host.Take(kId);
  EXPECT_EQ(std::vector<int>(codes.end() - 3, codes.end()), (std::vector<int>{CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
  // Alt+Down from the edit too; Esc closes without a choice.
  ui.KeyDown(VK_MENU);
  ui.Press(VK_DOWN);
  ui.KeyUp(VK_MENU);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  ui.Press(VK_ESCAPE);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
  // Closed, Down in the edit chooses the next item.
  ui.Press(VK_DOWN);
  EXPECT_EQ(Text(combo), "damson");

  // The edit's selection and limit through the combo box.
  EXPECT_EQ(SendMessage(combo, CB_SETEDITSEL, 0, MAKELPARAM(1, 3)), TRUE);
  DWORD start = 0, end = 0;
  EXPECT_EQ(SendMessage(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)),
            MAKELONG(1, 3));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 3u);
  EXPECT_EQ(SendMessage(combo, CB_LIMITTEXT, 5, 0), TRUE);
  // Leaving the edit is leaving the combo box.
  SetFocus(host.window);
  std::vector<int> last = host.Take(kId);
  ASSERT_FALSE(last.empty());
  EXPECT_EQ(last.back(), CBN_KILLFOCUS);
}

}  // namespace
