// Mouse hit testing through windows that answer HTTRANSPARENT: a group box ahead of the
// check boxes it frames, and a plain label lying over a push button, let clicks through to
// the controls beneath them, as on Windows.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/controls/Button.h"
#include "platform/controls/Static.h"
#include "platform/user/Dialog.h"
#include "support/UiDriver.h"

namespace {

constexpr int kGroup = 10, kCheck = 11, kDisabled = 12, kLabel = 13, kPush = 14;

// The group box and the label come first in the template, so they are above the controls
// they lie over in z-order.
DialogTemplate FramedChecks() {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
  t.x = 20;
  t.y = 20;
  t.cx = 160;
  t.cy = 110;
  t.caption = "Framed";
  const DWORD v = WS_VISIBLE;
  t.items = {
      {"BUTTON", "Options", kGroup, v | BS_GROUPBOX, 7, 7, 120, 60},
      {"BUTTON", "&Check", kCheck, v | WS_TABSTOP | BS_AUTOCHECKBOX, 14, 20, 60, 10},
      {"BUTTON", "&Disabled", kDisabled, v | WS_DISABLED | BS_AUTOCHECKBOX, 14, 34, 60, 10},
      {"STATIC", "Label", kLabel, v | SS_LEFT, 10, 82, 30, 8},
      {"BUTTON", "Push", kPush, v | WS_TABSTOP | BS_PUSHBUTTON, 7, 80, 60, 14},
  };
  return t;
}

struct Case {
  const char* what;
  std::function<POINT(HWND dialog)> where;
  int target;      // the control the point belongs to; 0: the dialog itself
  int clicked;     // the BN_CLICKED the dialog hears; 0: none
  UINT checkAfter;  // the check box's state after the click
};

POINT Inside(HWND dialog, int id, int x, int y) { return UiDriver::At(GetDlgItem(dialog, id), x, y); }

TEST(TransparentHit, ClicksPassThroughGroupBoxesAndLabelsToTheControlsBeneath) {
  UiDriver ui;
  DialogTemplate t = FramedChecks();
  std::vector<int> clicks;
  HWND dialog = CreateDialogIndirect(nullptr, &t, nullptr, [&](HWND, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) return TRUE;
    if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED) clicks.push_back(LOWORD(w));
    return FALSE;
  });
  ASSERT_TRUE(dialog);
  ui.RunUntilIdle();
  HWND buttonDown = nullptr;
  HHOOK hook = SetWindowsHookEx(
      WH_MOUSE,
      [&](int code, WPARAM message, LPARAM l) -> LRESULT {
        if (message == WM_LBUTTONDOWN) buttonDown = reinterpret_cast<const MOUSEHOOKSTRUCT*>(l)->hwnd;
        return CallNextHookEx(nullptr, code, message, l);
      },
      nullptr, 0);
  auto groupCorner = [](HWND d) {
    RECT r;
    GetClientRect(GetDlgItem(d, kGroup), &r);
    return Inside(d, kGroup, r.right - 6, r.bottom - 6);
  };
  const Case cases[] = {
      {"a check box under the group box", [](HWND d) { return Inside(d, kCheck, 4, 4); }, kCheck, kCheck, BST_CHECKED},
      {"and again", [](HWND d) { return Inside(d, kCheck, 20, 5); }, kCheck, kCheck, BST_UNCHECKED},
      {"the group box's caption", [](HWND d) { return Inside(d, kGroup, 12, 2); }, 0, 0, BST_UNCHECKED},
      {"inside the frame, over no control", groupCorner, 0, 0, BST_UNCHECKED},
      {"a disabled check box: the dialog", [](HWND d) { return Inside(d, kDisabled, 4, 4); }, 0, 0, BST_UNCHECKED},
      {"a plain label over a push button", [](HWND d) { return Inside(d, kLabel, 2, 2); }, kPush, kPush, BST_UNCHECKED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    POINT p = c.where(dialog);
    HWND expected = c.target ? GetDlgItem(dialog, c.target) : dialog;
    EXPECT_EQ(WindowFromPoint(p), expected);
    clicks.clear();
    buttonDown = nullptr;
    ui.Click(p.x, p.y);
    EXPECT_EQ(buttonDown, expected);
    EXPECT_EQ(clicks, c.clicked ? std::vector<int>{c.clicked} : std::vector<int>{});
    EXPECT_EQ(IsDlgButtonChecked(dialog, kCheck), c.checkAfter);
  }
  // What answers HTTRANSPARENT is still a child there for ChildWindowFromPoint.
  POINT inGroup = groupCorner(dialog);
  ScreenToClient(dialog, &inGroup);
  EXPECT_EQ(ChildWindowFromPoint(dialog, inGroup), GetDlgItem(dialog, kGroup));
  UnhookWindowsHookEx(hook);
  DestroyWindow(dialog);
}

}  // namespace
