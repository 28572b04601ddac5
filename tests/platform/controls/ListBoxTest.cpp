// The LISTBOX class: LB_ messages in, answers, state and LBN_ notifications out, as Windows
// gives them; keyboard and mouse through the UI driver; the look in pixels.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ControlHost.h"
#include "WindowBars.h"
#include "platform/user/ScrollBars.h"
#include "platform/controls/ListBox.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"

namespace {

// "prefix" followed by n (built without literal + string, which GCC 12 warns about at -O3).
std::string Numbered(const char* prefix, int n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

constexpr int kId = 7;

LRESULT Add(HWND list, const char* text) { return SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }

std::string Text(HWND list, int index) { return ListText(list, LB_GETTEXTLEN, LB_GETTEXT, index); }

std::vector<int> SelItems(HWND list) {
  LRESULT n = SendMessage(list, LB_GETSELCOUNT, 0, 0);
  if (n <= 0) return {};
  std::vector<int> out(static_cast<size_t>(n));
  LRESULT got = SendMessage(list, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(out.data()));
  out.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
  return out;
}

struct Step {
  UINT message;
  WPARAM wParam;
  const char* text;  // sent as lParam when set
  LPARAM lParam;
  LRESULT expected;
  std::vector<int> notifications;
};

void RunSteps(ControlHost& host, HWND list, const std::vector<Step>& steps) {
  host.Take(kId);
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    LPARAM l = s.text ? reinterpret_cast<LPARAM>(s.text) : s.lParam;
    EXPECT_EQ(SendMessage(list, s.message, s.wParam, l), s.expected) << "step " << i;
    EXPECT_EQ(host.Take(kId), s.notifications) << "step " << i;
  }
}

constexpr WPARAM kNone = static_cast<WPARAM>(-1);

TEST(ListBox, SingleSelectionMessagesAnswerAsWindowsDoes) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | WS_VSCROLL | WS_BORDER, 10, 10, 150, 120, kId);
  RunSteps(host, list,
           {
               {LB_ADDSTRING, 0, "banana", 0, 0, {}},
               {LB_ADDSTRING, 0, "apple", 0, 1, {}},
               {LB_ADDSTRING, 0, "Cherry", 0, 2, {}},
               {LB_GETCOUNT, 0, nullptr, 0, 3, {}},
               {LB_INSERTSTRING, 1, "kiwi", 0, 1, {}},
               {LB_INSERTSTRING, kNone, "plum", 0, 4, {}},  // -1 appends
               {LB_INSERTSTRING, 9, "far", 0, LB_ERR, {}},
               {LB_GETTEXTLEN, 1, nullptr, 0, 4, {}},
               {LB_GETTEXTLEN, 5, nullptr, 0, LB_ERR, {}},
               {LB_FINDSTRING, kNone, "ch", 0, 3, {}},
               {LB_FINDSTRING, 3, "b", 0, 0, {}},  // wraps past the end
               {LB_FINDSTRING, 0, "B", 0, 0, {}},  // comes round to the start item itself
               {LB_FINDSTRING, kNone, "x", 0, LB_ERR, {}},
               {LB_FINDSTRINGEXACT, kNone, "APPLE", 0, 2, {}},
               {LB_FINDSTRINGEXACT, kNone, "app", 0, LB_ERR, {}},
               {LB_GETCURSEL, 0, nullptr, 0, LB_ERR, {}},
               {LB_SETCURSEL, 2, nullptr, 0, 2, {}},  // no notification for a program's choice
               {LB_GETCURSEL, 0, nullptr, 0, 2, {}},
               {LB_GETSEL, 2, nullptr, 0, 1, {}},
               {LB_GETSEL, 1, nullptr, 0, 0, {}},
               {LB_GETSEL, 8, nullptr, 0, LB_ERR, {}},
               {LB_SETCURSEL, 9, nullptr, 0, LB_ERR, {}},
               {LB_GETCURSEL, 0, nullptr, 0, 2, {}},
               {LB_SELECTSTRING, kNone, "K", 0, 1, {}},
               {LB_GETCURSEL, 0, nullptr, 0, 1, {}},
               {LB_GETCARETINDEX, 0, nullptr, 0, 1, {}},
               {LB_DELETESTRING, 1, nullptr, 0, 4, {}},  // answers the count left
               {LB_GETCURSEL, 0, nullptr, 0, LB_ERR, {}},  // the chosen item went
               {LB_DELETESTRING, 7, nullptr, 0, LB_ERR, {}},
               {LB_GETSELCOUNT, 0, nullptr, 0, LB_ERR, {}},  // single selection has no count
               {LB_SETSEL, TRUE, nullptr, 0, LB_ERR, {}},
               {LB_GETSELITEMS, 4, nullptr, 0, LB_ERR, {}},
               {LB_SETITEMDATA, 0, nullptr, 42, TRUE, {}},
               {LB_GETITEMDATA, 0, nullptr, 0, 42, {}},
               {LB_GETITEMDATA, 5, nullptr, 0, LB_ERR, {}},
               {LB_SETCURSEL, 3, nullptr, 0, 3, {}},
               {LB_SETCURSEL, kNone, nullptr, 0, LB_ERR, {}},  // clears, and says LB_ERR as Windows does
               {LB_GETCURSEL, 0, nullptr, 0, LB_ERR, {}},
               {LB_SETITEMHEIGHT, 0, nullptr, 300, LB_ERR, {}},
               {LB_SETITEMHEIGHT, 0, nullptr, 18, LB_OKAY, {}},
               {LB_GETITEMHEIGHT, 0, nullptr, 0, 18, {}},
               {LB_SETTABSTOPS, 0, nullptr, 0, FALSE, {}},  // only with LBS_USETABSTOPS
               {LB_INITSTORAGE, 100, nullptr, 4096, 104, {}},
               {LB_RESETCONTENT, 0, nullptr, 0, LB_OKAY, {}},
               {LB_GETCOUNT, 0, nullptr, 0, 0, {}},
               {LB_GETTEXTLEN, 0, nullptr, 0, LB_ERR, {}},
               {WM_GETDLGCODE, 0, nullptr, 0, DLGC_WANTARROWS | DLGC_WANTCHARS, {}},
           });
  EXPECT_EQ(Text(list, 0), "<err>");
}

TEST(ListBox, MultipleSelectionMessagesKeepCountsAnchorAndCaret) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL, 10, 10, 150, 120, kId);
  for (int i = 0; i < 10; ++i) Add(list, (Numbered("item ", i)).c_str());
  RunSteps(host, list,
           {
               {LB_GETSELCOUNT, 0, nullptr, 0, 0, {}},
               {LB_SETSEL, TRUE, nullptr, 3, LB_OKAY, {}},
               {LB_GETANCHORINDEX, 0, nullptr, 0, 3, {}},
               {LB_SETSEL, TRUE, nullptr, 12, LB_ERR, {}},
               {LB_SELITEMRANGE, TRUE, nullptr, MAKELPARAM(5, 7), LB_OKAY, {}},
               {LB_GETSELCOUNT, 0, nullptr, 0, 4, {}},
               {LB_SELITEMRANGEEX, 8, nullptr, 6, LB_OKAY, {}},  // last before first: deselects
               {LB_GETSELCOUNT, 0, nullptr, 0, 2, {}},
               {LB_SETSEL, TRUE, nullptr, -1, LB_OKAY, {}},  // -1: every item
               {LB_GETSELCOUNT, 0, nullptr, 0, 10, {}},
               {LB_SETSEL, FALSE, nullptr, -1, LB_OKAY, {}},
               {LB_GETSELCOUNT, 0, nullptr, 0, 0, {}},
               {LB_SETCURSEL, 2, nullptr, 0, LB_ERR, {}},  // single selection only
               {LB_SETCARETINDEX, 6, nullptr, 0, LB_OKAY, {}},
               {LB_GETCARETINDEX, 0, nullptr, 0, 6, {}},
               {LB_GETCURSEL, 0, nullptr, 0, 6, {}},  // a multiple-selection list answers the caret
               {LB_SETANCHORINDEX, 4, nullptr, 0, LB_OKAY, {}},
               {LB_GETANCHORINDEX, 0, nullptr, 0, 4, {}},
               {LB_SETANCHORINDEX, 40, nullptr, 0, LB_ERR, {}},
           });
  SendMessage(list, LB_SELITEMRANGEEX, 1, 2);
  SendMessage(list, LB_SETSEL, TRUE, 9);
  EXPECT_EQ(SelItems(list), (std::vector<int>{1, 2, 9}));
  // Deleting a selected item moves the later selections up.
  SendMessage(list, LB_DELETESTRING, 0, 0);
  EXPECT_EQ(SelItems(list), (std::vector<int>{0, 1, 8}));
  std::vector<int> two(2, -5);
  EXPECT_EQ(SendMessage(list, LB_GETSELITEMS, 2, reinterpret_cast<LPARAM>(two.data())), 2);
  EXPECT_EQ(two, (std::vector<int>{0, 1}));
}

TEST(ListBox, SortedListsOrderWithoutRegardToCaseAndKeepEqualItemsInArrivalOrder) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_SORT | LBS_NOTIFY, 10, 10, 150, 120, kId);
  EXPECT_EQ(Add(list, "pear"), 0);
  EXPECT_EQ(Add(list, "Apple"), 0);
  EXPECT_EQ(Add(list, "banana"), 1);
  EXPECT_EQ(Add(list, "apple"), 1);
  // LB_INSERTSTRING puts an item where it is told, even in a sorted list.
  EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zebra")), 0);
  std::vector<std::string> texts;
  for (int i = 0; i < 5; ++i) texts.push_back(Text(list, i));
  EXPECT_EQ(texts, (std::vector<std::string>{"zebra", "Apple", "apple", "banana", "pear"}));

  // Many random words come out in the order a stable case-blind sort gives.
  SendMessage(list, LB_RESETCONTENT, 0, 0);
  std::mt19937 random(7);
  std::vector<std::string> words;
  for (int i = 0; i < 3000; ++i) {
    std::string w;
    for (int k = 0; k < 3; ++k) w += static_cast<char>((random() % 2 ? 'a' : 'A') + random() % 4);
    words.push_back(w);
    Add(list, w.c_str());
  }
  auto blind = [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return std::tolower(x) < std::tolower(y); });
  };
  std::stable_sort(words.begin(), words.end(), blind);
  for (size_t i = 0; i < words.size(); i += 97) EXPECT_EQ(Text(list, static_cast<int>(i)), words[i]) << i;
}

TEST(ListBox, ExtendedSelectionFollowsShiftAndCtrlWithKeysAndMouse) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT, 10, 10, 150, 200, kId);
  for (int i = 0; i < 10; ++i) Add(list, (Numbered("row ", i)).c_str());
  ui.RunUntilIdle();
  RECT r;
  auto click = [&](int index) {
    SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    POINT p = UiDriver::At(list, 20, (r.top + r.bottom) / 2);
    ui.Click(p.x, p.y);
  };
  host.Take(kId);
  click(1);
  EXPECT_EQ(GetFocus(), list);
  EXPECT_EQ(SelItems(list), (std::vector<int>{1}));
  EXPECT_EQ(host.Take(kId), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE}));
  ui.KeyDown(VK_SHIFT);
  ui.Press(VK_DOWN);
  ui.Press(VK_DOWN);
  ui.KeyUp(VK_SHIFT);
  EXPECT_EQ(SelItems(list), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(SendMessage(list, LB_GETANCHORINDEX, 0, 0), 1);
  EXPECT_EQ(SendMessage(list, LB_GETCARETINDEX, 0, 0), 3);
  EXPECT_EQ(host.Take(kId), (std::vector<int>{LBN_SELCHANGE, LBN_SELCHANGE}));
  // Ctrl+click adds one item and makes it the anchor.
  ui.KeyDown(VK_CONTROL);
  click(6);
  ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(SelItems(list), (std::vector<int>{1, 2, 3, 6}));
  // Shift+click selects from the anchor to the item, and nothing else.
  ui.KeyDown(VK_SHIFT);
  click(8);
  ui.KeyUp(VK_SHIFT);
  EXPECT_EQ(SelItems(list), (std::vector<int>{6, 7, 8}));
  // Ctrl moves the caret alone; Ctrl+Space then toggles the caret's item.
  ui.KeyDown(VK_CONTROL);
  for (int i = 0; i < 4; ++i) ui.Press(VK_UP);
  ui.Press(VK_SPACE);
  ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(SelItems(list), (std::vector<int>{4, 6, 7, 8}));
  // A plain arrow chooses one item again; Home and End go to the ends.
  ui.Press(VK_END);
  EXPECT_EQ(SelItems(list), (std::vector<int>{9}));
  ui.KeyDown(VK_SHIFT);
  ui.Press(VK_HOME);
  ui.KeyUp(VK_SHIFT);
  EXPECT_EQ(SelItems(list).size(), 10u);
}

TEST(ListBox, MultipleSelectionTogglesWithClicksAndSpace) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | LBS_MULTIPLESEL, 10, 10, 150, 200, kId);
  for (int i = 0; i < 6; ++i) Add(list, (Numbered("row ", i)).c_str());
  ui.RunUntilIdle();
  RECT r;
  SendMessage(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  POINT p = UiDriver::At(list, 10, r.top + 2);
  ui.Click(p.x, p.y);
  ui.Press(VK_DOWN);  // the caret moves, the selection stays
  ui.Press(VK_DOWN);
  ui.Press(VK_SPACE);
  EXPECT_EQ(SelItems(list), (std::vector<int>{2, 4}));
  ui.Advance(1000);  // not a double click
  ui.Click(p.x, p.y);
  EXPECT_EQ(SelItems(list), (std::vector<int>{4}));
}

TEST(ListBox, TypingFirstLettersFindsItemsAndStepsThroughOneLetter) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY, 10, 10, 150, 200, kId);
  for (const char* t : {"apple", "apricot", "banana", "blueberry", "cherry"}) Add(list, t);
  SetFocus(list);
  ui.Type("b");
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
  ui.Type("l");  // within the second: "bl"
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 3);
  ui.Advance(1500);
  ui.Type("a");
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 0);
  ui.Advance(1500);
  ui.Type("a");  // a new search starts after the current item
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);
  ui.Type("a");  // "aa" matches nothing: the same letter steps on, round to the start
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 0);
  ui.Advance(1500);
  ui.Type("z");
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 0);
}

TEST(ListBox, KeysMoveByItemAndPageAndKeepTheCaretInView) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | WS_VSCROLL, 10, 10, 150, 200, kId);
  for (int i = 0; i < 100; ++i) Add(list, (Numbered("row ", i)).c_str());
  LRESULT h = SendMessage(list, LB_GETITEMHEIGHT, 0, 0);
  RECT c;
  GetClientRect(list, &c);
  int page = static_cast<int>(c.bottom / h);
  EXPECT_EQ(c.bottom % h, 0) << "integral height";
  SetFocus(list);
  ui.Press(VK_DOWN);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 0);  // nothing chosen: the first arrow chooses the caret's item
  ui.Press(VK_NEXT);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), page - 1);
  ui.Press(VK_NEXT);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2 * page - 2);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), page - 1);
  ui.Press(VK_END);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 99);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 100 - page);
  EXPECT_EQ(ReadBar(list, SB_VERT), (BarView{true, true, 99, page, 100 - page}));
  ui.Press(VK_PRIOR);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 100 - page);
  // The top index cannot leave empty rows below the last item.
  EXPECT_EQ(SendMessage(list, LB_SETTOPINDEX, 99, 0), LB_OKAY);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 100 - page);
  SendMessage(list, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
  POINT p = UiDriver::At(list, 20, 20);
  ui.Wheel(p.x, p.y, -WHEEL_DELTA);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 3);
}

TEST(ListBox, DraggingPastTheBottomScrollsAndExtendsTheSelection) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL, 10, 10, 150, 120, kId);
  for (int i = 0; i < 100; ++i) Add(list, (Numbered("row ", i)).c_str());
  ui.RunUntilIdle();
  host.Take(kId);
  POINT start = UiDriver::At(list, 20, 3);
  RECT c;
  GetClientRect(list, &c);
  POINT below = UiDriver::At(list, 20, c.bottom + 15);
  ui.MouseDown(start.x, start.y);
  ui.MoveTo(below.x, below.y);
  LRESULT caretBefore = SendMessage(list, LB_GETCARETINDEX, 0, 0);
  for (int i = 0; i < 10; ++i) ui.Advance(60);
  ui.MouseUp(below.x, below.y);
  LRESULT caret = SendMessage(list, LB_GETCARETINDEX, 0, 0);
  EXPECT_GE(caret, caretBefore + 8);
  EXPECT_GT(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
  EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), caret + 1);
  EXPECT_EQ(GetCapture(), nullptr);
  // One notification for the whole drag, at the release.
  EXPECT_EQ(host.Take(kId), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE}));
  // No more scrolling once the button is up.
  ui.Advance(500);
  EXPECT_EQ(SendMessage(list, LB_GETCARETINDEX, 0, 0), caret);
}

TEST(ListBox, NotificationsNeedLbsNotifyAndADoubleClickSaysSo) {
  UiDriver ui;
  ControlHost host;
  HWND quiet = host.Child(kListBoxClass, 0, 10, 10, 100, 100, kId);
  HWND noisy = host.Child(kListBoxClass, LBS_NOTIFY, 150, 10, 100, 100, kId + 1);
  for (HWND l : {quiet, noisy}) {
    Add(l, "one");
    Add(l, "two");
  }
  ui.RunUntilIdle();
  ui.RunUntilIdle();
  POINT p = UiDriver::At(quiet, 10, 3);
  ui.DoubleClick(p.x, p.y);
  SetFocus(host.window);
  EXPECT_EQ(host.Take(kId), std::vector<int>{});
  ui.Advance(1000);
  p = UiDriver::At(noisy, 10, 3);
  ui.DoubleClick(p.x, p.y);
  SetFocus(host.window);
  EXPECT_EQ(host.Take(kId + 1), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_DBLCLK, LBN_KILLFOCUS}));
}

TEST(ListBox, NoSelectionListsMoveOnlyTheCaret) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | LBS_NOSEL, 10, 10, 100, 100, kId);
  Add(list, "one");
  Add(list, "two");
  EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 1, 0), LB_ERR);
  SetFocus(list);
  ui.Press(VK_DOWN);
  EXPECT_EQ(SendMessage(list, LB_GETCARETINDEX, 0, 0), 1);
  EXPECT_EQ(SendMessage(list, LB_GETSEL, 1, 0), 0);
}

TEST(ListBox, KeyboardInputCanBeTakenByTheOwner) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_NOTIFY | LBS_WANTKEYBOARDINPUT, 10, 10, 100, 100, kId);
  for (const char* t : {"a", "b", "c", "d"}) Add(list, t);
  SendMessage(list, LB_SETCURSEL, 1, 0);
  std::vector<std::pair<int, int>> seen;
  LRESULT answer = -2;
  host.OnMessage([&](UINT m, WPARAM w, LPARAM, LRESULT& result) {
    if (m != WM_VKEYTOITEM && m != WM_CHARTOITEM) return false;
    seen.push_back({LOWORD(w), HIWORD(w)});
    result = answer;
    return true;
  });
  SetFocus(list);
  ui.Press(VK_DOWN);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);  // -2: the owner did it all
  answer = -1;
  ui.Press(VK_DOWN);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);  // -1: the list does its own
  ui.Type("d");
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(seen.back(), (std::pair<int, int>{'d', 2}));  // the character, and the caret before it
  answer = 0;
  ui.Press(VK_UP);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 0);  // an index: go there
  EXPECT_EQ(seen.front(), (std::pair<int, int>{VK_DOWN, 1}));
  EXPECT_EQ(seen.back(), (std::pair<int, int>{VK_UP, 3}));
}

TEST(ListBox, ScrollStateFollowsItemsExtentAndRedrawing) {
  UiDriver ui;
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_DISABLENOSCROLL | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 10, 10,
                         150, 100, kId);
  // Nothing to scroll: both bars stay, disabled.
  EXPECT_EQ(ReadBar(list, SB_VERT), (BarView{true, false, 0, 1, 0}));  // the page never exceeds the range
  EXPECT_EQ(ReadBar(list, SB_HORZ).enabled, false);
  // While redrawing is off the state waits; turned on, it catches up at once.
  SendMessage(list, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < 50; ++i) SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
  EXPECT_EQ(ReadBar(list, SB_VERT).max, 0);
  EXPECT_TRUE(IsWindowVisible(list));
  SendMessage(list, WM_SETREDRAW, TRUE, 0);
  EXPECT_EQ(ReadBar(list, SB_VERT).max, 49);
  EXPECT_TRUE(ReadBar(list, SB_VERT).enabled);
  // A horizontal extent wider than the list scrolls the items sideways.
  RECT c;
  GetClientRect(list, &c);
  SendMessage(list, LB_SETHORIZONTALEXTENT, 400, 0);
  EXPECT_EQ(SendMessage(list, LB_GETHORIZONTALEXTENT, 0, 0), 400);
  BarView h = ReadBar(list, SB_HORZ);
  EXPECT_EQ(h.max, 399);
  EXPECT_EQ(h.page, c.right);
  SendMessage(list, WM_HSCROLL, SB_PAGEDOWN, 0);
  RECT r;
  SendMessage(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.left, -c.right);
  SendMessage(list, WM_HSCROLL, SB_BOTTOM, 0);
  SendMessage(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.right, c.right);  // the far edge of the extent meets the client's
  SendMessage(list, LB_SETHORIZONTALEXTENT, 0, 0);
  SendMessage(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.left, 0);
}

TEST(ListBox, DirListsFilesByMaskAndFoldersInBrackets) {
  UiDriver ui;
  TempHome home;
  for (const char* f : {"b.txt", "A.TXT", "c.dat", "sub/x.txt"}) home.WriteFile(f, "x");
  ControlHost host;
  HWND list = host.Child(kListBoxClass, LBS_SORT, 10, 10, 150, 120, kId);
  EXPECT_EQ(SendMessage(list, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>((home.Path() + "/*.txt").c_str())), 1);
  EXPECT_EQ(SendMessage(list, LB_DIR, DDL_DIRECTORY | DDL_EXCLUSIVE, reinterpret_cast<LPARAM>((home.Path() + "/*").c_str())),
            1);  // the index of the last one added: "[sub]" sorts before the letters
  std::vector<std::string> texts;
  for (int i = 0; i < SendMessage(list, LB_GETCOUNT, 0, 0); ++i) texts.push_back(Text(list, i));
  EXPECT_EQ(texts, (std::vector<std::string>{"[..]", "[sub]", "A.TXT", "b.txt"}));
  EXPECT_EQ(SendMessage(list, LB_DIR, 0, reinterpret_cast<LPARAM>((home.Path() + "/missing/*").c_str())), LB_ERR);
}

}  // namespace
