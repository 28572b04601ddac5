// The up-down control: its UDM_ messages, the buddy window, the steps with their
// notifications (and the parent's veto), wrapping, holding with acceleration on the clock,
// the arrow keys of the buddy, and the look.

#include <gtest/gtest.h>

#include "RangeParent.h"
#include "platform/controls/UpDown.h"
#include "support/UiDriver.h"

namespace {

// A buddy: a plain window that keeps its text.
class Buddy {
public:
  Buddy() {
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = "UpDownBuddy";
    RegisterClass(&wc);
  }
  ~Buddy() { UnregisterClass("UpDownBuddy", nullptr); }
  static std::string Text(HWND w) {
    char text[64] = {};
    GetWindowText(w, text, sizeof text);
    return text;
  }
};

TEST(UpDownControl, MessagesSetAndAnswerRangePositionBaseAndAccelerators) {
  UiDriver ui;
  RangeParent parent;
  HWND ud = parent.Child(UPDOWN_CLASS, 0, 10, 10, 16, 24);
  EXPECT_EQ(static_cast<DWORD>(SendMessage(ud, UDM_GETRANGE, 0, 0)), static_cast<DWORD>(MAKELONG(0, 100)))
      << "the default range runs from 100 down to 0";
  struct Step {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT answer;
    int posAfter;
  };
  const Step steps[] = {
      {UDM_SETRANGE32, static_cast<WPARAM>(-8), 32, 0, 0},
      {UDM_SETPOS32, 0, 40, 0, 32},    // kept within the range; answers the old position
      {UDM_SETPOS32, 0, -20, 32, -8},
      {UDM_SETPOS, 0, MAKELPARAM(5, 0), -8, 5},
      {UDM_SETRANGE, 0, MAKELPARAM(10, 1), 0, 5},  // 16-bit: upper in the low word
      {UDM_SETBASE, 16, 0, 10, 5},
      {UDM_SETBASE, 7, 0, 0, 5},       // not a base
      {UDM_GETBASE, 0, 0, 16, 5},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.message - WM_USER);
    EXPECT_EQ(SendMessage(ud, s.message, s.wParam, s.lParam), s.answer);
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, 0), s.posAfter);
  }
  int low = 0, high = 0;
  SendMessage(ud, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 10);
  UDACCEL accel[2] = {{0, 2}, {3, 10}};
  EXPECT_TRUE(SendMessage(ud, UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(accel)));
  UDACCEL back[3];
  EXPECT_EQ(SendMessage(ud, UDM_GETACCEL, 3, reinterpret_cast<LPARAM>(back)), 2);
  EXPECT_EQ(back[1].nSec, 3u);
  EXPECT_EQ(back[1].nInc, 10u);
}

TEST(UpDownControl, TheBuddyShowsThePositionAndIsReadBack) {
  UiDriver ui;
  RangeParent parent;
  Buddy buddy;
  HWND edit = parent.Child("UpDownBuddy", 0, 10, 10, 100, 20, 3);
  HWND ud = parent.Child(UPDOWN_CLASS, UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY, 0, 0, 16, 10);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(ud, UDM_GETBUDDY, 0, 0)), edit) << "the window made before";
  RECT e, u;
  GetWindowRect(edit, &e);
  GetWindowRect(ud, &u);
  EXPECT_EQ(e.right - e.left, 100 - 16 + 2) << "the buddy gives up the arrows' room";
  EXPECT_EQ(u.left, e.right - 2);
  EXPECT_EQ(u.bottom - u.top, 20) << "as high as the buddy";
  SendMessage(ud, UDM_SETRANGE32, 0, 100000);
  struct Case {
    int pos;
    WPARAM base;
    const char* text;
  };
  for (Case c : {Case{7, 10, "7"}, Case{12345, 10, "12,345"}, Case{255, 16, "0x00FF"}}) {
    SendMessage(ud, UDM_SETBASE, c.base, 0);
    SendMessage(ud, UDM_SETPOS32, 0, c.pos);
    EXPECT_EQ(Buddy::Text(edit), c.text);
  }
  SendMessage(ud, UDM_SETBASE, 10, 0);
  SetWindowText(edit, "1,234");
  BOOL error = TRUE;
  EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 1234);
  EXPECT_FALSE(error);
  SetWindowText(edit, "many");
  EXPECT_EQ(HIWORD(SendMessage(ud, UDM_GETPOS, 0, 0)), 1) << "text that is no number";
  EXPECT_EQ(LOWORD(SendMessage(ud, UDM_GETPOS, 0, 0)), 1234);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(ud, UDM_SETBUDDY, 0, 0)), edit);
}

TEST(UpDownControl, EachClickAsksTheParentThenReportsThePosition) {
  UiDriver ui;
  struct Case {
    const char* what;
    DWORD style;
    int start;
    bool up;
    LRESULT veto;
    int changeStepTo;  // 0 keeps the control's step
    std::vector<Heard> want;
    int end;
  };
  const Case cases[] = {
      {"up", 0, 3, true, 0, 0, {{"DELTAPOS", 3, 1}, {"V", SB_THUMBPOSITION, 4}, {"V", SB_ENDSCROLL, 4}}, 4},
      {"down", 0, 3, false, 0, 0, {{"DELTAPOS", 3, -1}, {"V", SB_THUMBPOSITION, 2}, {"V", SB_ENDSCROLL, 2}}, 2},
      {"refused", 0, 3, true, 1, 0, {{"DELTAPOS", 3, 1}, {"V", SB_THUMBPOSITION, 3}, {"V", SB_ENDSCROLL, 3}}, 3},
      {"step changed by the parent", 0, 3, true, 0, 4,
       {{"DELTAPOS", 3, 1}, {"V", SB_THUMBPOSITION, 7}, {"V", SB_ENDSCROLL, 7}}, 7},
      {"at the top", 0, 10, true, 0, 0, {{"DELTAPOS", 10, 1}, {"V", SB_THUMBPOSITION, 10}, {"V", SB_ENDSCROLL, 10}}, 10},
      {"wraps at the top", UDS_WRAP, 10, true, 0, 0,
       {{"DELTAPOS", 10, 1}, {"V", SB_THUMBPOSITION, 0}, {"V", SB_ENDSCROLL, 0}}, 0},
      {"wraps at the bottom", UDS_WRAP, 0, false, 0, 0,
       {{"DELTAPOS", 0, -1}, {"V", SB_THUMBPOSITION, 10}, {"V", SB_ENDSCROLL, 10}}, 10},
      {"horizontal: right is up", UDS_HORZ, 3, true, 0, 0,
       {{"DELTAPOS", 3, 1}, {"H", SB_THUMBPOSITION, 4}, {"H", SB_ENDSCROLL, 4}}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RangeParent parent;
    bool horizontal = c.style & UDS_HORZ;
    HWND ud = parent.Child(UPDOWN_CLASS, c.style, 10, 10, horizontal ? 32 : 16, horizontal ? 16 : 32);
    parent.from = ud;
    SendMessage(ud, UDM_SETRANGE32, 0, 10);
    SendMessage(ud, UDM_SETPOS32, 0, c.start);
    parent.onDeltaPos = [&](NMUPDOWN& nm) {
      if (c.changeStepTo) nm.iDelta = c.changeStepTo;
      return c.veto;
    };
    POINT p = horizontal ? UiDriver::At(ud, c.up ? 24 : 8, 8) : UiDriver::At(ud, 8, c.up ? 8 : 24);
    ui.Click(p.x, p.y);
    EXPECT_EQ(parent.log, c.want);
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, 0), c.end);
  }
}

TEST(UpDownControl, HeldItRepeatsOnTheClockAndSpeedsUpAsTheAcceleratorsSay) {
  UiDriver ui;
  RangeParent parent;
  HWND ud = parent.Child(UPDOWN_CLASS, 0, 10, 10, 16, 32);
  SendMessage(ud, UDM_SETRANGE32, 0, 1000);
  UDACCEL accel[2] = {{0, 1}, {1, 10}};
  SendMessage(ud, UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(accel));
  POINT up = UiDriver::At(ud, 8, 8);
  auto pos = [&] { return static_cast<int>(SendMessage(ud, UDM_GETPOS32, 0, 0)); };
  ui.MouseDown(up.x, up.y);
  EXPECT_EQ(pos(), 1);
  ui.Advance(499);
  EXPECT_EQ(pos(), 1) << "not before the first delay";
  ui.Advance(1);
  EXPECT_EQ(pos(), 2);
  ui.Advance(100);
  EXPECT_EQ(pos(), 3);
  ui.Advance(400);  // one second held: steps of 10
  EXPECT_EQ(pos(), 13);
  POINT away = UiDriver::At(ud, 60, 60);
  ui.MoveTo(away.x, away.y);
  ui.Advance(300);
  EXPECT_EQ(pos(), 13) << "the arrow left behind does not repeat";
  ui.MouseUp(away.x, away.y);
  ui.Advance(1000);
  EXPECT_EQ(pos(), 13);
  EXPECT_EQ(parent.log.back(), (Heard{"V", SB_ENDSCROLL, 13}));
}

TEST(UpDownControl, TheBuddysArrowKeysStepIt) {
  UiDriver ui;
  RangeParent parent;
  Buddy buddy;
  HWND edit = parent.Child("UpDownBuddy", 0, 10, 10, 100, 20, 3);
  HWND ud = parent.Child(UPDOWN_CLASS, UDS_SETBUDDYINT | UDS_ARROWKEYS, 0, 0, 16, 20);
  SendMessage(ud, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  SendMessage(ud, UDM_SETRANGE32, 0, 10);
  SetFocus(edit);
  ui.Press(VK_UP);
  ui.Press(VK_UP);
  ui.Press(VK_DOWN);
  EXPECT_EQ(Buddy::Text(edit), "1");
  EXPECT_EQ(parent.log.size(), 9u) << "each key: DELTAPOS, THUMBPOSITION and ENDSCROLL";
  DestroyWindow(ud);
  ui.Press(VK_UP);
  EXPECT_EQ(Buddy::Text(edit), "1") << "the buddy is itself again";
}

TEST(UpDownControl, PaintedAsTwoArrowButtons) {
  UiDriver ui;
  RangeParent parent;
  HWND ud = parent.Child(UPDOWN_CLASS, 0, 10, 10, 16, 32);
  SendMessage(ud, UDM_SETRANGE32, 0, 10);
  ui.RunUntilIdle();
  COLORREF text = GetSysColor(COLOR_BTNTEXT);
  // The up arrow's glyph in the upper half, the down arrow's in the lower one.
  POINT upTip = UiDriver::At(ud, 7, 6), downTip = UiDriver::At(ud, 7, 16 + 9);
  EXPECT_EQ(ui.Pixel(upTip.x, upTip.y), Rgb(text));
  EXPECT_EQ(ui.Pixel(downTip.x, downTip.y), Rgb(text));
  POINT corner = UiDriver::At(ud, 0, 0);
  EXPECT_EQ(ui.Pixel(corner.x, corner.y), Rgb(GetSysColor(COLOR_3DLIGHT))) << "raised";
  ui.MouseDown(corner.x + 8, corner.y + 8);
  EXPECT_EQ(ui.Pixel(corner.x, corner.y), Rgb(GetSysColor(COLOR_BTNSHADOW))) << "pressed";
  ui.MouseUp(corner.x + 8, corner.y + 8);
  EnableWindow(ud, FALSE);
  ui.RunUntilIdle();
  EXPECT_NE(ui.Pixel(upTip.x, upTip.y), Rgb(text)) << "greyed";
}

}  // namespace
