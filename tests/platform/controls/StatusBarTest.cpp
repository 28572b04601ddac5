// The status bar: its messages (a table of steps on one bar), its place at the parent's edge,
// the size grip, owner-drawn parts, clicks, and the look of its parts' borders.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "NotifyParent.h"
#include "platform/controls/StatusBar.h"
#include "support/UiDriver.h"

namespace {

class StatusBarTest : public ::testing::Test {
protected:
  UiDriver ui;
  NotifyParent parent{400, 300};

  HWND Make(DWORD style = 0) {
    HWND bar = parent.Child(STATUSCLASSNAME, style, 5, 5, 50, 50);
    SendMessage(bar, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    SendMessage(bar, WM_SIZE, 0, 0);
    parent.passSizeTo.push_back(bar);
    return bar;
  }
  static RECT BoundsInParent(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  static RECT PartRect(HWND bar, int i) {
    RECT r{};
    SendMessage(bar, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return r;
  }
};

TEST_F(StatusBarTest, MessagesAnswerAsWindowsDoes) {
  HWND bar = Make();
  int rights[3] = {50, 120, -1};
  char text[64] = "";
  std::array<int, 3> borders{};
  std::vector<int> tooMany(257, -1);
  HICON icon = LoadIcon(nullptr, IDI_APPLICATION);
  ASSERT_NE(icon, nullptr);
  struct Step {
    const char* what;
    std::function<LRESULT()> send;
    LRESULT result;
    std::vector<UINT> notes = {};
  };
  auto msg = [bar](UINT m, WPARAM w, LPARAM l = 0) { return [=] { return SendMessage(bar, m, w, l); }; };
  auto str = [](const char* s) { return reinterpret_cast<LPARAM>(s); };
  const Step steps[] = {
      {"a new bar has one part", msg(SB_GETPARTS, 0, 0), 1},
      {"parts are set by their right edges", msg(SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rights)), TRUE},
      {"SB_GETPARTS answers the count", msg(SB_GETPARTS, 0, 0), 3},
      {"no parts is refused", msg(SB_SETPARTS, 0, reinterpret_cast<LPARAM>(rights)), FALSE},
      {"more than 256 parts are refused", msg(SB_SETPARTS, 257, reinterpret_cast<LPARAM>(tooMany.data())), FALSE},
      {"text with a drawing type", msg(SB_SETTEXT, 1 | SBT_POPOUT, str("abc")), TRUE},
      {"SB_GETTEXT answers length and type", msg(SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), MAKELONG(3, SBT_POPOUT)},
      {"SB_GETTEXTLENGTH likewise", msg(SB_GETTEXTLENGTH, 1), MAKELONG(3, SBT_POPOUT)},
      {"a part that is not there", msg(SB_SETTEXT, 5, str("x")), FALSE},
      {"owner-drawn parts keep the parent's value", msg(SB_SETTEXT, 2 | SBT_OWNERDRAW, 1234), TRUE},
      {"and SB_GETTEXT answers it", msg(SB_GETTEXT, 2, 0), 1234},
      {"WM_SETTEXT sets part 0", msg(WM_SETTEXT, 0, str("zero")), TRUE},
      {"SB_GETTEXT of part 0", msg(SB_GETTEXT, 0, 0), MAKELONG(4, 0)},
      {"SB_GETRECT of a missing part", msg(SB_GETRECT, 3, reinterpret_cast<LPARAM>(text)), FALSE},
      {"SB_GETBORDERS", msg(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders.data())), TRUE},
      {"SB_SIMPLE tells the parent", msg(SB_SIMPLE, TRUE), 0, {SBN_SIMPLEMODECHANGE}},
      {"SB_ISSIMPLE", msg(SB_ISSIMPLE, 0), TRUE},
      {"the simple part has a text of its own", msg(SB_SETTEXT, SB_SIMPLEID, str("simple")), TRUE},
      {"SB_SIMPLE again changes nothing", msg(SB_SIMPLE, TRUE), 0},
      {"back to parts", msg(SB_SIMPLE, FALSE), 0, {SBN_SIMPLEMODECHANGE}},
      {"an icon in a part", msg(SB_SETICON, 1, reinterpret_cast<LPARAM>(icon)), TRUE},
      {"SB_GETICON answers it", msg(SB_GETICON, 1), reinterpret_cast<LRESULT>(icon)},
      {"no icon for a missing part", msg(SB_SETICON, 7, reinterpret_cast<LPARAM>(icon)), FALSE},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    parent.notes.clear();
    EXPECT_EQ(step.send(), step.result);
    EXPECT_EQ(parent.Codes(), step.notes);
  }
  int back[3] = {};
  SendMessage(bar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(back));
  EXPECT_EQ(std::vector<int>(back, back + 3), (std::vector<int>{50, 120, -1}));
  EXPECT_EQ(std::string(text, 3), "abc");
  EXPECT_EQ(borders, (std::array<int, 3>{0, 2, 2}));
  char simple[16] = "";
  SendMessage(bar, SB_GETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(simple));
  EXPECT_STREQ(simple, "simple");
  char zero[16] = "";
  EXPECT_EQ(GetWindowText(bar, zero, sizeof zero), 4);
  EXPECT_STREQ(zero, "zero");
}

TEST_F(StatusBarTest, PartsLieSideBySideBetweenTheBorders) {
  HWND bar = Make();
  int rights[3] = {50, 120, -1};
  SendMessage(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rights));
  RECT client;
  GetClientRect(bar, &client);
  EXPECT_EQ(PartRect(bar, 0).left, 0);
  EXPECT_EQ(PartRect(bar, 0).right, 50);
  EXPECT_EQ(PartRect(bar, 1).left, 52);
  EXPECT_EQ(PartRect(bar, 1).right, 120);
  EXPECT_EQ(PartRect(bar, 2).right, client.right);
  EXPECT_EQ(PartRect(bar, 1).top, 2);
  EXPECT_EQ(PartRect(bar, 1).bottom, client.bottom - 2);
  SendMessage(bar, SB_SIMPLE, TRUE, 0);
  EXPECT_EQ(PartRect(bar, 0).left, 0);
  EXPECT_EQ(PartRect(bar, 0).right, client.right);
}

TEST_F(StatusBarTest, TheBarPlacesItselfAtItsParentsEdge) {
  struct Case {
    const char* what;
    DWORD style;
    bool atTop;
    bool keepsItsRect;
  };
  const Case cases[] = {
      {"the bottom by default", 0, false, false},
      {"the top with CCS_TOP", CCS_TOP, true, false},
      {"nowhere else with CCS_NORESIZE", CCS_NORESIZE, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HWND bar = Make(c.style);
    RECT pc;
    GetClientRect(parent.Window(), &pc);
    RECT r = BoundsInParent(bar);
    if (c.keepsItsRect) {
      EXPECT_EQ(r.left, 5);
      EXPECT_EQ(r.top, 5);
      EXPECT_EQ(r.right - r.left, 50);
    } else {
      EXPECT_EQ(r.left, 0);
      EXPECT_EQ(r.right, pc.right);
      EXPECT_EQ(c.atTop ? r.top : r.bottom, c.atTop ? 0 : pc.bottom);
      EXPECT_GE(r.bottom - r.top, 18);
      // The parent grows: its WM_SIZE, passed on, brings the bar along.
      SetWindowPos(parent.Window(), nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER);
      GetClientRect(parent.Window(), &pc);
      r = BoundsInParent(bar);
      EXPECT_EQ(r.right, pc.right);
      EXPECT_EQ(c.atTop ? r.top : r.bottom, c.atTop ? 0 : pc.bottom);
      SetWindowPos(parent.Window(), nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    }
    parent.passSizeTo.clear();
    DestroyWindow(bar);
  }
}

TEST_F(StatusBarTest, MinimumHeightCountsOnTheNextSize) {
  HWND bar = Make();
  RECT before = BoundsInParent(bar);
  SendMessage(bar, SB_SETMINHEIGHT, 40, 0);
  EXPECT_EQ(BoundsInParent(bar).bottom - BoundsInParent(bar).top, before.bottom - before.top);
  SendMessage(bar, WM_SIZE, 0, 0);
  RECT after = BoundsInParent(bar);
  EXPECT_EQ(after.bottom - after.top, 40 + 2 + 2 * 2);
}

TEST_F(StatusBarTest, TheSizeGripSizesTheWindowItSitsIn) {
  HWND bar = Make(SBARS_SIZEGRIP);
  ui.RunUntilIdle();
  RECT client;
  GetClientRect(bar, &client);
  POINT grip = UiDriver::At(bar, client.right - 4, client.bottom - 4);
  EXPECT_EQ(SendMessage(bar, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTBOTTOMRIGHT);
  POINT middle = UiDriver::At(bar, client.right / 2, client.bottom / 2);
  EXPECT_EQ(SendMessage(bar, WM_NCHITTEST, 0, MAKELPARAM(middle.x, middle.y)), HTCLIENT);

  RECT before;
  GetWindowRect(parent.Window(), &before);
  ui.Drag(grip, POINT{grip.x + 40, grip.y + 30});
  RECT after;
  GetWindowRect(parent.Window(), &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left + 40);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 30);
  // The bar followed to the new bottom edge.
  RECT pc;
  GetClientRect(parent.Window(), &pc);
  EXPECT_EQ(BoundsInParent(bar).bottom, pc.bottom);

  // A maximised window, or a bar without the grip style, has no grip to catch.
  HWND plain = Make();
  GetClientRect(plain, &client);
  grip = UiDriver::At(plain, client.right - 4, client.bottom - 4);
  EXPECT_EQ(SendMessage(plain, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCLIENT);
  ShowWindow(parent.Window(), SW_MAXIMIZE);
  GetClientRect(bar, &client);
  grip = UiDriver::At(bar, client.right - 4, client.bottom - 4);
  EXPECT_EQ(SendMessage(bar, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCLIENT);
}

TEST_F(StatusBarTest, OwnerDrawnPartsAskTheParent) {
  HWND bar = Make();
  int rights[2] = {100, -1};
  SendMessage(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
  SendMessage(bar, SB_SETTEXT, 1 | SBT_OWNERDRAW, 4321);
  parent.drawn.clear();
  InvalidateRect(bar, nullptr, TRUE);
  ui.RunUntilIdle();
  ASSERT_EQ(parent.drawn.size(), 1u);
  const DRAWITEMSTRUCT& d = parent.drawn[0];
  EXPECT_EQ(d.itemID, 1u);
  EXPECT_EQ(d.itemData, 4321u);
  EXPECT_EQ(d.hwndItem, bar);
  RECT part = PartRect(bar, 1);
  EXPECT_EQ(d.rcItem.left, part.left + 1);  // inside the part's border
  EXPECT_EQ(d.rcItem.bottom, part.bottom - 1);
}

TEST_F(StatusBarTest, ClicksNameThePart) {
  HWND bar = Make();
  int rights[2] = {100, -1};
  SendMessage(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
  ui.RunUntilIdle();
  POINT p = UiDriver::At(bar, 150, 8);
  ui.Click(p.x, p.y);
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, NM_CLICK);
  EXPECT_EQ(parent.notes[0].item, 1);
  parent.notes.clear();
  ui.Click(p.x - 100, p.y, InputEvent::Right);
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, NM_RCLICK);
  EXPECT_EQ(parent.notes[0].item, 0);
}

TEST_F(StatusBarTest, PartsAreSunkenRaisedOrBare) {
  HWND bar = Make();
  int rights[3] = {60, 120, -1};
  SendMessage(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rights));
  SendMessage(bar, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready"));
  SendMessage(bar, SB_SETTEXT, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>(""));
  SendMessage(bar, SB_SETTEXT, 2 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(""));
  InvalidateRect(bar, nullptr, TRUE);
  ui.RunUntilIdle();
  auto at = [&](int x, int y) {
    POINT p = UiDriver::At(bar, x, y);
    return ui.Pixel(p.x, p.y);
  };
  const std::uint32_t shadow = 0x808080, white = 0xFFFFFF, face = 0xC0C0C0;
  int mid = (PartRect(bar, 0).top + PartRect(bar, 0).bottom) / 2;
  EXPECT_EQ(at(PartRect(bar, 0).left, mid), shadow);        // sunken: shadow at the left
  EXPECT_EQ(at(PartRect(bar, 0).right - 1, mid), white);    // light at the right
  EXPECT_EQ(at(PartRect(bar, 1).left, mid), white);         // raised: light at the left
  EXPECT_EQ(at(PartRect(bar, 2).left, mid), face);          // no border
  EXPECT_EQ(at(PartRect(bar, 0).left - 1 + 61, mid), face);  // the gap between parts
  // The text is drawn in the first part.
  bool dark = false;
  RECT p0 = PartRect(bar, 0);
  for (int x = p0.left + 2; x < p0.right - 2; ++x)
    for (int y = p0.top + 1; y < p0.bottom - 1; ++y) dark = dark || at(x, y) == 0;
  EXPECT_TRUE(dark);
}

}  // namespace
