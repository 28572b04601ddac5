// The header control: its messages (a table of steps on one header), layout and hit testing,
// dragging a divider with and without full drag (and the parent refusing), pushing an item.

#include <gtest/gtest.h>

#include <string>

#include "NotifyParent.h"
#include "platform/controls/Header.h"
#include "platform/host/KeyCodes.h"
#include "support/UiDriver.h"

namespace {

class HeaderTest : public ::testing::Test {
protected:
  UiDriver ui;
  NotifyParent parent{400, 300};

  HWND Make(DWORD style = HDS_BUTTONS) {
    HWND header = parent.Child(WC_HEADER, style, 0, 0, 300, 20);
    SendMessage(header, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    for (const char* t : {"Name", "Size", "Date"}) Insert(header, 99, t, 80);
    ui.RunUntilIdle();
    parent.notes.clear();
    return header;
  }
  static LRESULT Insert(HWND header, int at, const char* text, int width, int format = HDF_LEFT | HDF_STRING) {
    HDITEM item;
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_LPARAM;
    item.pszText = const_cast<LPSTR>(text);
    item.cxy = width;
    item.fmt = format;
    item.lParam = width * 10;
    return SendMessage(header, HDM_INSERTITEM, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
  }
  static int Width(HWND header, int i) {
    HDITEM item;
    item.mask = HDI_WIDTH;
    SendMessage(header, HDM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    return item.cxy;
  }
  static std::vector<int> Widths(HWND header) {
    std::vector<int> widths;
    for (int i = 0; i < SendMessage(header, HDM_GETITEMCOUNT, 0, 0); ++i) widths.push_back(Width(header, i));
    return widths;
  }
};

TEST_F(HeaderTest, MessagesAnswerAndNotifyAsWindowsDoes) {
  HWND header = Make();
  bool veto = false;
  parent.answer = [&](const NMHDR& h) -> LRESULT { return h.code == HDN_ITEMCHANGING && veto; };
  HDITEM wider;
  wider.mask = HDI_WIDTH;
  wider.cxy = 120;
  struct Step {
    const char* what;
    std::function<LRESULT()> send;
    LRESULT result;
    std::vector<int> widths;
    std::vector<UINT> notes = {};
    bool vetoing = false;
  };
  auto msg = [header](UINT m, WPARAM w, LPARAM l = 0) { return [=] { return SendMessage(header, m, w, l); }; };
  const Step steps[] = {
      {"HDM_GETITEMCOUNT", msg(HDM_GETITEMCOUNT, 0), 3, {80, 80, 80}},
      {"an index past the end appends", [&] { return Insert(header, 50, "Type", 40); }, 3, {80, 80, 80, 40}},
      {"inserting at the front", [&] { return Insert(header, 0, "Icon", 20); }, 0, {20, 80, 80, 80, 40}},
      {"HDM_SETITEM asks the parent and tells it", msg(HDM_SETITEM, 1, reinterpret_cast<LPARAM>(&wider)), TRUE,
       {20, 120, 80, 80, 40}, {HDN_ITEMCHANGING, HDN_ITEMCHANGED}},
      {"a parent answering TRUE keeps the item", msg(HDM_SETITEM, 2, reinterpret_cast<LPARAM>(&wider)), FALSE,
       {20, 120, 80, 80, 40}, {HDN_ITEMCHANGING}, true},
      {"HDM_SETITEM of a missing item", msg(HDM_SETITEM, 9, reinterpret_cast<LPARAM>(&wider)), FALSE,
       {20, 120, 80, 80, 40}},
      {"HDM_DELETEITEM", msg(HDM_DELETEITEM, 0), TRUE, {120, 80, 80, 40}},
      {"HDM_DELETEITEM of a missing item", msg(HDM_DELETEITEM, 4), FALSE, {120, 80, 80, 40}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    veto = step.vetoing;
    parent.notes.clear();
    EXPECT_EQ(step.send(), step.result);
    EXPECT_EQ(Widths(header), step.widths);
    EXPECT_EQ(parent.Codes(), step.notes);
  }
  char text[8] = "";
  HDITEM item;
  item.mask = HDI_TEXT | HDI_FORMAT | HDI_LPARAM;
  item.pszText = text;
  item.cchTextMax = 3;
  ASSERT_TRUE(SendMessage(header, HDM_GETITEM, 1, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(text, "Si");
  EXPECT_EQ(item.fmt, HDF_LEFT | HDF_STRING);
  EXPECT_EQ(item.lParam, 800);
}

TEST_F(HeaderTest, LayoutAndHitTesting) {
  HWND header = Make();
  RECT area{10, 20, 210, 220};
  WINDOWPOS pos;
  HDLAYOUT layout{&area, &pos};
  ASSERT_TRUE(SendMessage(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout)));
  EXPECT_EQ(pos.hwnd, header);
  EXPECT_EQ(pos.x, 10);
  EXPECT_EQ(pos.y, 20);
  EXPECT_EQ(pos.cx, 200);
  EXPECT_GT(pos.cy, 12);
  EXPECT_EQ(area.top, 20 + pos.cy);  // the rest of the area is below the header

  RECT second{};
  ASSERT_TRUE(SendMessage(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second)));
  EXPECT_EQ(second.left, 80);
  EXPECT_EQ(second.right, 160);
  struct Case {
    POINT pt;
    int item;
    UINT flags;
  };
  const Case cases[] = {
      {{40, 5}, 0, HHT_ONHEADER},    {{120, 5}, 1, HHT_ONHEADER},   {{78, 5}, 0, HHT_ONDIVIDER},
      {{82, 5}, 0, HHT_ONDIVIDER},   {{250, 5}, -1, HHT_NOWHERE},  {{40, -3}, -1, HHT_ABOVE},
      {{-2, 5}, -1, HHT_TOLEFT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pt.x);
    HDHITTESTINFO hit;
    hit.pt = c.pt;
    EXPECT_EQ(SendMessage(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), c.item);
    EXPECT_EQ(hit.iItem, c.item);
    EXPECT_EQ(hit.flags, c.flags);
  }
}

TEST_F(HeaderTest, DraggingADividerSizesTheItem) {
  struct Case {
    const char* what;
    DWORD style;
    UINT refuse;  // the notification the parent answers TRUE
    int width;
    std::vector<UINT> notes;
  };
  const std::vector<UINT> tracked = {HDN_BEGINTRACK, HDN_TRACK, HDN_ENDTRACK, HDN_ITEMCHANGING, HDN_ITEMCHANGED};
  const Case cases[] = {
      {"the line follows, the size comes at the end", HDS_BUTTONS, 0, 110, tracked},
      {"the parent refuses to begin", HDS_BUTTONS, HDN_BEGINTRACK, 80, {HDN_BEGINTRACK}},
      {"the parent refuses the change", HDS_BUTTONS, HDN_ITEMCHANGING, 80,
       {HDN_BEGINTRACK, HDN_TRACK, HDN_ENDTRACK, HDN_ITEMCHANGING}},
      {"full drag sizes at every move", HDS_BUTTONS | HDS_FULLDRAG, 0, 110,
       {HDN_BEGINTRACK, HDN_TRACK, HDN_ITEMCHANGING, HDN_ITEMCHANGED, HDN_ENDTRACK}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HWND header = Make(c.style);
    parent.answer = [&](const NMHDR& h) -> LRESULT { return h.code == c.refuse; };
    POINT from = UiDriver::At(header, 80, 8);
    ui.Drag(from, POINT{from.x + 30, from.y}, 1);
    EXPECT_EQ(Width(header, 0), c.width);
    EXPECT_EQ(Width(header, 1), 80);
    // Every move tracks: repeats of one notification count once.
    std::vector<NotifyParent::Note> notes;
    for (const auto& n : parent.notes)
      if (notes.empty() || notes.back().code != n.code) notes.push_back(n);
    std::vector<UINT> codes;
    for (const auto& n : notes) codes.push_back(n.code);
    EXPECT_EQ(codes, c.notes);
    if (!notes.empty()) {
      EXPECT_EQ(notes[0].item, 0);
    }
    if (notes.size() > 2) {
      EXPECT_EQ(notes[2].width, 110);
    }
    EXPECT_NE(GetCapture(), header);
    parent.answer = nullptr;
    DestroyWindow(header);
  }
}

TEST_F(HeaderTest, EscapeEndsADragWithoutAChange) {
  HWND header = Make(HDS_BUTTONS | HDS_FULLDRAG);
  SetFocus(header);  // the keys reach the header while it has the focus
  POINT from = UiDriver::At(header, 160, 8);
  ui.MouseDown(from.x, from.y);
  ui.MoveTo(from.x - 40, from.y);
  EXPECT_EQ(Width(header, 1), 40);
  ui.Press(VK_ESCAPE);
  EXPECT_EQ(Width(header, 1), 80);
  EXPECT_NE(GetCapture(), header);
  ui.MouseUp(from.x - 40, from.y);
  EXPECT_EQ(Width(header, 1), 80);
}

TEST_F(HeaderTest, TheInvertedLineLeavesNoTrace) {
  HWND header = Make(HDS_BUTTONS);
  POINT from = UiDriver::At(header, 80, 8);
  POINT below = UiDriver::At(header, 100, 60);
  std::uint32_t before = ui.Pixel(below.x, below.y);
  ui.MouseDown(from.x, from.y);
  ui.MoveTo(from.x + 20, from.y);
  EXPECT_NE(ui.Pixel(below.x, below.y), before);  // the line crosses the parent under the header
  ui.MouseUp(from.x + 20, from.y);
  EXPECT_EQ(ui.Pixel(below.x, below.y), before);
  EXPECT_EQ(Width(header, 0), 100);
}

TEST_F(HeaderTest, PushingAnItemClicksIt) {
  HWND header = Make(HDS_BUTTONS);
  POINT on = UiDriver::At(header, 120, 8);
  ui.Click(on.x, on.y);
  ASSERT_EQ(parent.Codes(), std::vector<UINT>{HDN_ITEMCLICK});
  EXPECT_EQ(parent.notes[0].item, 1);
  // Released elsewhere: no click.
  parent.notes.clear();
  ui.Advance(1000);  // not a double click
  ui.Drag(on, POINT{on.x + 100, on.y});
  EXPECT_TRUE(parent.notes.empty());
  // Without HDS_BUTTONS the items are not buttons.
  DestroyWindow(header);
  HWND flat = Make(0);
  on = UiDriver::At(flat, 120, 8);
  ui.Advance(1000);  // not a double click
  ui.Click(on.x, on.y);
  EXPECT_TRUE(parent.notes.empty());
}

TEST_F(HeaderTest, AParentThatDestroysTheHeaderWhileItIsDraggedDoesNoHarm) {
  for (UINT code : {HDN_BEGINTRACK, HDN_TRACK, HDN_ENDTRACK, HDN_ITEMCHANGING, HDN_ITEMCHANGED}) {
    SCOPED_TRACE(static_cast<int>(code));
    HWND header = Make(HDS_BUTTONS);
    parent.answer = [&](const NMHDR& h) -> LRESULT {
      if (h.code == code && IsWindow(h.hwndFrom)) DestroyWindow(h.hwndFrom);
      return 0;
    };
    POINT from = UiDriver::At(header, 80, 8);
    ui.Advance(1000);
    ui.Drag(from, POINT{from.x + 30, from.y}, 2);
    EXPECT_FALSE(IsWindow(header));
    EXPECT_EQ(GetCapture(), nullptr);
    parent.answer = nullptr;
  }
}

TEST_F(HeaderTest, HotTrackingLightsTheItemUnderTheMouse) {
  HWND header = Make(HDS_BUTTONS | HDS_HOTTRACK);
  auto lit = [&](int item) {
    int n = 0;
    for (int x = item * 80; x < item * 80 + 80; ++x)
      for (int y = 0; y < 20; ++y) {
        POINT p = UiDriver::At(header, x, y);
        n += ui.Pixel(p.x, p.y) == 0x000080;  // the highlight colour
      }
    return n > 0;
  };
  POINT on = UiDriver::At(header, 120, 8);
  ui.MoveTo(on.x, on.y);
  EXPECT_TRUE(lit(1));
  EXPECT_FALSE(lit(0));
  ui.MoveTo(on.x, on.y + 100);  // off the header
  EXPECT_FALSE(lit(1));
}

}  // namespace
