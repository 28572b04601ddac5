#include <gtest/gtest.h>

#include "ButtonHost.h"
#include "platform/controls/Button.h"
#include "support/UiDriver.h"

namespace {

LRESULT Check(HWND button) { return SendMessage(button, BM_GETCHECK, 0, 0); }

TEST(Button, DialogCodesByStyle) {
  UiDriver ui;
  ButtonHost host;
  struct Case {
    DWORD style;
    LRESULT code;
  };
  const Case cases[] = {
      {BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON}, {BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
      {BS_CHECKBOX, DLGC_BUTTON},  {BS_AUTOCHECKBOX, DLGC_BUTTON}, {BS_3STATE, DLGC_BUTTON},
      {BS_AUTO3STATE, DLGC_BUTTON}, {BS_RADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
      {BS_AUTORADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON}, {BS_GROUPBOX, DLGC_STATIC}, {BS_OWNERDRAW, DLGC_BUTTON},
  };
  for (const Case& c : cases) {
    HWND b = host.Add(WC_BUTTON, "x", c.style, 1, 0, 0, 80, 20);
    EXPECT_EQ(SendMessage(b, WM_GETDLGCODE, 0, 0), c.code) << "style " << c.style;
    DestroyWindow(b);
  }
}

// A click by the mouse: the check each style ends with after one, two and three clicks,
// and the parent hears BN_CLICKED each time.
TEST(Button, ClicksChangeTheCheckAsTheStyleSays) {
  UiDriver ui;
  ButtonHost host;
  struct Case {
    DWORD style;
    LRESULT after[3];
  };
  const Case cases[] = {
      {BS_PUSHBUTTON, {0, 0, 0}},
      {BS_CHECKBOX, {0, 0, 0}},
      {BS_AUTOCHECKBOX, {BST_CHECKED, BST_UNCHECKED, BST_CHECKED}},
      {BS_3STATE, {0, 0, 0}},
      {BS_AUTO3STATE, {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}},
      {BS_RADIOBUTTON, {0, 0, 0}},
      {BS_AUTORADIOBUTTON, {BST_CHECKED, BST_CHECKED, BST_CHECKED}},
  };
  for (const Case& c : cases) {
    HWND b = host.Add(WC_BUTTON, "Option", c.style | WS_TABSTOP, 7, 10, 10, 100, 24);
    ui.RunUntilIdle();
    host.Take();
    for (int i = 0; i < 3; ++i) {
      POINT p = UiDriver::At(b, 50, 12);
      ui.Click(p.x, p.y);
      ui.Advance(1000);  // not a double click
      EXPECT_EQ(Check(b), c.after[i]) << "style " << c.style << " click " << i + 1;
    }
    EXPECT_EQ(host.Take(), (std::vector<Notification>{{7, BN_CLICKED}, {7, BN_CLICKED}, {7, BN_CLICKED}}))
        << "style " << c.style;
    EXPECT_EQ(GetFocus(), b);
    DestroyWindow(b);
  }
}

TEST(Button, AutoRadioUnchecksItsGroupOnly) {
  UiDriver ui;
  ButtonHost host;
  HWND a = host.Add(WC_BUTTON, "A", BS_AUTORADIOBUTTON | WS_GROUP, 1, 10, 10, 80, 20);
  HWND b = host.Add(WC_BUTTON, "B", BS_AUTORADIOBUTTON, 2, 10, 30, 80, 20);
  HWND c = host.Add(WC_BUTTON, "C", BS_AUTORADIOBUTTON | WS_DISABLED, 3, 10, 50, 80, 20);
  HWND d = host.Add(WC_BUTTON, "D", BS_AUTORADIOBUTTON | WS_GROUP, 4, 10, 70, 80, 20);
  // Children are listed newest first: put them in creation order, as a dialog has them.
  for (HWND w : {a, b, c, d}) SetWindowPos(w, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SendMessage(a, BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(c, BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(d, BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(b, BM_CLICK, 0, 0);
  EXPECT_EQ(Check(a), BST_UNCHECKED);
  EXPECT_EQ(Check(b), BST_CHECKED);
  EXPECT_EQ(Check(c), BST_UNCHECKED);  // a disabled member too
  EXPECT_EQ(Check(d), BST_CHECKED);    // another group
  // The checked radio button is its group's tab stop.
  EXPECT_TRUE(GetWindowLongPtr(b, GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongPtr(a, GWL_STYLE) & WS_TABSTOP);
}

TEST(Button, PressLookFollowsThePointerWhileCaptured) {
  UiDriver ui;
  ButtonHost host;
  HWND b = host.Add(WC_BUTTON, "Push", BS_PUSHBUTTON, 5, 10, 10, 80, 24);
  ui.RunUntilIdle();
  host.Take();
  POINT in = UiDriver::At(b, 40, 12), out = UiDriver::At(b, 200, 100);
  ui.MouseDown(in.x, in.y);
  EXPECT_EQ(GetCapture(), b);
  EXPECT_TRUE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  ui.MoveTo(out.x, out.y);
  EXPECT_FALSE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  ui.MoveTo(in.x, in.y);
  EXPECT_TRUE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
  ui.MoveTo(out.x, out.y);
  ui.MouseUp(out.x, out.y);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(host.Take().empty());  // released outside: no click
  ui.MouseDown(in.x, in.y);
  ui.MouseUp(in.x, in.y);
  EXPECT_EQ(host.Take(), (std::vector<Notification>{{5, BN_CLICKED}}));
}

TEST(Button, SpaceBarPressesAndReleaseClicks) {
  UiDriver ui;
  ButtonHost host;
  HWND b = host.Add(WC_BUTTON, "Check", BS_AUTOCHECKBOX, 6, 10, 10, 80, 24);
  HWND other = host.Add(WC_BUTTON, "Other", BS_PUSHBUTTON, 9, 10, 40, 80, 24);
  SetFocus(b);
  ui.RunUntilIdle();
  host.Take();
  ui.KeyDown(VK_SPACE);
  EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0), BST_PUSHED | BST_FOCUS);
  ui.KeyUp(VK_SPACE);
  EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0), BST_CHECKED | BST_FOCUS);
  EXPECT_EQ(host.Take(), (std::vector<Notification>{{6, BN_CLICKED}}));
  // The focus leaving while the space bar is down cancels the press.
  ui.KeyDown(VK_SPACE);
  SetFocus(other);
  ui.KeyUp(VK_SPACE);
  EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0), BST_CHECKED);
  EXPECT_TRUE(host.Take().empty());
}

TEST(Button, MessagesTable) {
  UiDriver ui;
  ButtonHost host;
  HWND three = host.Add(WC_BUTTON, "3", BS_3STATE, 1, 0, 0, 80, 20);
  HWND check = host.Add(WC_BUTTON, "2", BS_CHECKBOX, 2, 0, 30, 80, 20);
  HWND push = host.Add(WC_BUTTON, "p", BS_PUSHBUTTON, 3, 0, 60, 80, 20);
  struct Case {
    HWND button;
    UINT message;
    WPARAM wParam;
    LRESULT checkAfter;
  };
  const Case cases[] = {
      {three, BM_SETCHECK, BST_INDETERMINATE, BST_INDETERMINATE},
      {check, BM_SETCHECK, BST_INDETERMINATE, BST_CHECKED},  // two-state: any non-zero checks
      {check, BM_SETCHECK, BST_UNCHECKED, BST_UNCHECKED},
      {push, BM_SETCHECK, BST_CHECKED, BST_UNCHECKED},  // a push button has no check
      {three, BM_CLICK, 0, BST_INDETERMINATE},          // a manual box leaves its check to the parent
  };
  for (const Case& c : cases) {
    SendMessage(c.button, c.message, c.wParam, 0);
    EXPECT_EQ(Check(c.button), c.checkAfter) << "message " << c.message << " wParam " << c.wParam;
  }
  host.Take();
  EnableWindow(push, FALSE);
  SendMessage(push, BM_CLICK, 0, 0);
  EXPECT_TRUE(host.Take().empty());  // a disabled button is not clicked
  SendMessage(push, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessage(push, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
  SendMessage(push, BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(SendMessage(push, BM_GETSTATE, 0, 0), BST_PUSHED);
  HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
  EXPECT_EQ(SendMessage(push, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)), 0);
  EXPECT_EQ(SendMessage(push, BM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(bitmap));
  EXPECT_EQ(SendMessage(push, BM_GETIMAGE, IMAGE_ICON, 0), 0);
  DestroyWindow(push);
  DeleteObject(bitmap);
  HFONT font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
  SendMessage(check, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EXPECT_EQ(SendMessage(check, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
}

TEST(Button, OwnerDrawnAskItsParentAndReportDoubleClicks) {
  UiDriver ui;
  ButtonHost host;
  HWND b = host.Add(WC_BUTTON, "", BS_OWNERDRAW, 12, 10, 10, 60, 30);
  ui.RunUntilIdle();
  ASSERT_FALSE(host.drawItems.empty());
  DRAWITEMSTRUCT first = host.drawItems.back();
  EXPECT_EQ(first.CtlType, ODT_BUTTON);
  EXPECT_EQ(first.CtlID, 12u);
  EXPECT_EQ(first.hwndItem, b);
  EXPECT_EQ(first.itemAction, static_cast<UINT>(ODA_DRAWENTIRE));
  EXPECT_EQ(first.rcItem, (RECT{0, 0, 60, 30}));
  host.drawItems.clear();
  POINT p = UiDriver::At(b, 20, 10);
  ui.MouseDown(p.x, p.y);
  bool sawSelected = false;
  for (const DRAWITEMSTRUCT& d : host.drawItems) sawSelected |= (d.itemState & ODS_SELECTED) && (d.itemState & ODS_FOCUS);
  EXPECT_TRUE(sawSelected);
  ui.MouseUp(p.x, p.y);
  host.Take();
  ui.DoubleClick(p.x, p.y);
  std::vector<Notification> got = host.Take();
  EXPECT_NE(std::find(got.begin(), got.end(), Notification{12, BN_DOUBLECLICKED}), got.end());
}

// The looks a user tells buttons apart by.
TEST(Button, LooksOfPushedDefaultDisabledAndChecked) {
  UiDriver ui;
  ButtonHost host;
  HWND normal = host.Add(WC_BUTTON, "OK", BS_PUSHBUTTON, 1, 10, 10, 75, 23);
  HWND def = host.Add(WC_BUTTON, "OK", BS_DEFPUSHBUTTON, 2, 10, 40, 75, 23);
  HWND disabled = host.Add(WC_BUTTON, "OK", BS_PUSHBUTTON | WS_DISABLED, 3, 10, 70, 75, 23);
  HWND checked = host.Add(WC_BUTTON, "Check", BS_CHECKBOX, 4, 10, 100, 75, 23);
  HWND pushed = host.Add(WC_BUTTON, "OK", BS_PUSHBUTTON, 5, 10, 130, 75, 23);
  SendMessage(checked, BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(pushed, BM_SETSTATE, TRUE, 0);
  ui.RunUntilIdle();
  auto at = [&](HWND w, int x, int y) {
    POINT p = UiDriver::At(w, x, y);
    return ui.Pixel(p.x, p.y);
  };
  const std::uint32_t white = 0xFFFFFF, black = 0x000000, face = 0xC0C0C0, shadow = 0x808080;
  // Raised: light then white at the top-left, black outside a grey shadow at the bottom-right.
  EXPECT_EQ(at(normal, 1, 1), white);
  EXPECT_EQ(at(normal, 74, 22), black);
  EXPECT_EQ(at(normal, 73, 21), shadow);
  // The default button has a black frame, and its bevel inside it.
  EXPECT_EQ(at(def, 0, 0), black);
  EXPECT_EQ(at(def, 2, 2), white);
  EXPECT_EQ(at(def, 74, 22), black);
  // Pressed: the light edge is gone from the top-left.
  EXPECT_NE(at(pushed, 1, 1), white);
  EXPECT_NE(at(pushed, 0, 0), white);
  // Disabled text is engraved in grey and white, never black.
  int grey = 0, dark = 0;
  for (int y = 4; y < 19; ++y)
    for (int x = 4; x < 71; ++x) {
      std::uint32_t c = at(disabled, x, y);
      grey += c != face && c != white;
      dark += (c & 0xC0C0C0) == 0;
    }
  EXPECT_GT(grey, 5);
  EXPECT_EQ(dark, 0);
  // A checked box shows dark check pixels inside a white box; an unchecked one would not.
  int inked = 0;
  RECT box{2, 7, 11, 16};
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) inked += at(checked, x, y) == black;
  EXPECT_GT(inked, 6);
  EXPECT_EQ(at(checked, 3, 13), white);
  (void)face;
}

TEST(Button, NotifyStyleTellsFocusAndCheckBoxesAskForStaticColours) {
  UiDriver ui;
  ButtonHost host;
  HWND a = host.Add(WC_BUTTON, "A", BS_PUSHBUTTON | BS_NOTIFY, 1, 10, 10, 80, 24);
  HWND b = host.Add(WC_BUTTON, "B", BS_AUTOCHECKBOX, 2, 10, 40, 80, 24);
  host.staticBrush = CreateSolidBrush(RGB(0, 160, 0));
  ui.RunUntilIdle();
  host.Take();
  SetFocus(a);
  SetFocus(b);
  EXPECT_EQ(host.Take(), (std::vector<Notification>{{1, BN_SETFOCUS}, {1, BN_KILLFOCUS}}));
  // A check box paints its background with the brush its parent gives for statics.
  InvalidateRect(b, nullptr, TRUE);
  ui.RunUntilIdle();
  POINT p = UiDriver::At(b, 75, 2);
  EXPECT_EQ(ui.Pixel(p.x, p.y), 0x00A000u);
  DestroyWindow(b);
  DeleteObject(host.staticBrush);
  host.staticBrush = nullptr;
}

TEST(Button, BitmapButtonDrawsItsImageCentred) {
  UiDriver ui;
  ButtonHost host;
  HWND b = host.Add(WC_BUTTON, "", BS_PUSHBUTTON | BS_BITMAP, 1, 10, 10, 60, 40);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 10, 10);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, 10, 10};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(memory, &all, red);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  SendMessage(b, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  ui.RunUntilIdle();
  POINT centre = UiDriver::At(b, 30, 20), corner = UiDriver::At(b, 8, 6);
  EXPECT_EQ(ui.Pixel(centre.x, centre.y), 0xFF0000u);
  EXPECT_EQ(ui.Pixel(corner.x, corner.y), 0xC0C0C0u);
  DestroyWindow(b);
  DeleteObject(bitmap);
  DeleteObject(red);
}

// Where a check box's box and text go: the box left (right with BS_LEFTTEXT), one line of
// text (two with BS_MULTILINE in a narrow button).
TEST(Button, CheckBoxGeometryByStyle) {
  UiDriver ui;
  ButtonHost host;
  struct Case {
    DWORD style;
    bool boxOnRight;
    bool twoLines;
  };
  const Case cases[] = {
      {BS_AUTOCHECKBOX, false, false},
      {BS_AUTOCHECKBOX | BS_LEFTTEXT, true, false},
      {BS_AUTOCHECKBOX | BS_MULTILINE, false, true},
  };
  for (const Case& c : cases) {
    HWND b = host.Add(WC_BUTTON, "Wrap these words", c.style, 1, 10, 10, 70, 40);
    ui.RunUntilIdle();
    auto at = [&](int x, int y) {
      POINT p = UiDriver::At(b, x, y);
      return ui.Pixel(p.x, p.y);
    };
    // The box's white inside, in the middle of its side.
    EXPECT_EQ(at(c.boxOnRight ? 70 - 7 : 6, 20), 0xFFFFFFu) << "style " << c.style;
    EXPECT_NE(at(c.boxOnRight ? 6 : 70 - 7, 20), 0xFFFFFFu) << "style " << c.style;
    int top = 100, bottom = -1;
    for (int y = 0; y < 40; ++y)
      for (int x = 20; x < 50; ++x)
        if ((at(x, y) & 0xC0C0C0) == 0) top = std::min(top, y), bottom = std::max(bottom, y);
    EXPECT_EQ(bottom - top > 16, c.twoLines) << "style " << c.style;
    DestroyWindow(b);
  }
}

TEST(Button, FocusRectangleShowsOnlyWithTheFocus) {
  UiDriver ui;
  ButtonHost host;
  HWND a = host.Add(WC_BUTTON, "", BS_PUSHBUTTON, 1, 10, 10, 75, 23);
  HWND b = host.Add(WC_BUTTON, "", BS_PUSHBUTTON, 2, 10, 40, 75, 23);
  auto dotsOnRow = [&](HWND w) {
    ui.RunUntilIdle();
    int dots = 0;
    for (int x = 4; x < 71; ++x) {
      POINT p = UiDriver::At(w, x, 3);
      dots += ui.Pixel(p.x, p.y) != 0xC0C0C0u;
    }
    return dots;
  };
  SetFocus(a);
  EXPECT_GT(dotsOnRow(a), 20);
  EXPECT_EQ(dotsOnRow(b), 0);
  SetFocus(b);
  EXPECT_EQ(dotsOnRow(a), 0);
  EXPECT_GT(dotsOnRow(b), 20);
}

}  // namespace
