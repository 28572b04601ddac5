// The EDIT class: its messages and answers, keys and mouse, notifications, colours and looks,
// compared with what the standard control does.

#include <cstring>

#include "EditFixture.h"
#include "platform/user/Clipboard.h"
#include "platform/user/Desktop.h"

namespace {

using EditMessages = EditFixture;
using EditKeys = EditFixture;
using EditMouse = EditFixture;
using EditLook = EditFixture;
using EditNotes = EditFixture;
using EditClipboard = EditFixture;

constexpr DWORD kMulti = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;

struct Step {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  const char* text;  // passed as lParam when set
  LRESULT result;
  const char* after;  // the text afterwards
  std::pair<int, int> sel;
};

void RunSteps(HWND edit, const std::vector<Step>& steps) {
  int i = 0;
  for (const Step& s : steps) {
    LPARAM l = s.text ? reinterpret_cast<LPARAM>(s.text) : s.lParam;
    EXPECT_EQ(SendMessage(edit, s.message, s.wParam, l), s.result) << "step " << i;
    EXPECT_EQ(EditFixture::Text(edit), s.after) << "step " << i;
    EXPECT_EQ(EditFixture::Sel(edit), s.sel) << "step " << i;
    ++i;
  }
}

TEST_F(EditMessages, MultiLineAnswersAsTheStandardControl) {
  HWND e = Make(kMulti, "one two\r\nthree\r\n\r\nfour", 200, 100);
  const char* t = "one two\r\nthree\r\n\r\nfour";
  RunSteps(e, {
                  {EM_GETLINECOUNT, 0, 0, nullptr, 4, t, {0, 0}},
                  {EM_LINEINDEX, 1, 0, nullptr, 9, t, {0, 0}},
                  {EM_LINEINDEX, 3, 0, nullptr, 18, t, {0, 0}},
                  {EM_LINEINDEX, 4, 0, nullptr, -1, t, {0, 0}},
                  {EM_LINELENGTH, 9, 0, nullptr, 5, t, {0, 0}},
                  {EM_LINELENGTH, 16, 0, nullptr, 0, t, {0, 0}},
                  {EM_LINEFROMCHAR, 10, 0, nullptr, 1, t, {0, 0}},
                  {EM_LINEFROMCHAR, 21, 0, nullptr, 3, t, {0, 0}},
                  {EM_SETSEL, 5, 2, nullptr, 0, t, {2, 5}},
                  {EM_GETSEL, 0, 0, nullptr, MAKELONG(2, 5), t, {2, 5}},
                  {EM_LINEINDEX, static_cast<WPARAM>(-1), 0, nullptr, 0, t, {2, 5}},
                  {EM_LINELENGTH, static_cast<WPARAM>(-1), 0, nullptr, 4, t, {2, 5}},
                  {EM_SETSEL, 0, -1, nullptr, 0, t, {0, 22}},
                  {EM_SETSEL, static_cast<WPARAM>(-1), 0, nullptr, 0, t, {22, 22}},
                  {EM_GETMODIFY, 0, 0, nullptr, 0, t, {22, 22}},
                  {EM_CANUNDO, 0, 0, nullptr, 0, t, {22, 22}},
                  {EM_SETSEL, 4, 7, nullptr, 0, t, {4, 7}},
                  {EM_REPLACESEL, TRUE, 0, "2\r\n3", 0, "one 2\r\n3\r\nthree\r\n\r\nfour", {8, 8}},
                  {EM_GETLINECOUNT, 0, 0, nullptr, 5, "one 2\r\n3\r\nthree\r\n\r\nfour", {8, 8}},
                  {EM_GETMODIFY, 0, 0, nullptr, 1, "one 2\r\n3\r\nthree\r\n\r\nfour", {8, 8}},
                  {EM_CANUNDO, 0, 0, nullptr, 1, "one 2\r\n3\r\nthree\r\n\r\nfour", {8, 8}},
                  {EM_UNDO, 0, 0, nullptr, 1, t, {4, 7}},
                  {EM_UNDO, 0, 0, nullptr, 1, "one 2\r\n3\r\nthree\r\n\r\nfour", {4, 8}},
                  {EM_EMPTYUNDOBUFFER, 0, 0, nullptr, 0, "one 2\r\n3\r\nthree\r\n\r\nfour", {4, 8}},
                  {EM_CANUNDO, 0, 0, nullptr, 0, "one 2\r\n3\r\nthree\r\n\r\nfour", {4, 8}},
                  {EM_REPLACESEL, FALSE, 0, "x", 0, "one x\r\nthree\r\n\r\nfour", {5, 5}},
                  {EM_CANUNDO, 0, 0, nullptr, 0, "one x\r\nthree\r\n\r\nfour", {5, 5}},
                  {EM_SETMODIFY, FALSE, 0, nullptr, 0, "one x\r\nthree\r\n\r\nfour", {5, 5}},
                  {EM_GETMODIFY, 0, 0, nullptr, 0, "one x\r\nthree\r\n\r\nfour", {5, 5}},
                  {WM_SETTEXT, 0, 0, "new", TRUE, "new", {0, 0}},
                  {EM_GETLINECOUNT, 0, 0, nullptr, 1, "new", {0, 0}},
                  {WM_GETTEXTLENGTH, 0, 0, nullptr, 3, "new", {0, 0}},
              });
  char line[16];
  WORD size = 4;
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ab\r\nlonger line"));
  std::memcpy(line, &size, sizeof size);
  EXPECT_EQ(SendMessage(e, EM_GETLINE, 1, reinterpret_cast<LPARAM>(line)), 4);  // cut at the buffer's size
  EXPECT_EQ(std::string(line, 4), "long");
  size = sizeof line;
  std::memcpy(line, &size, sizeof size);
  EXPECT_EQ(SendMessage(e, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)), 2);
  EXPECT_STREQ(line, "ab");
  EXPECT_EQ(SendMessage(e, EM_GETLINE, 5, reinterpret_cast<LPARAM>(line)), 0);
}

TEST_F(EditMessages, SingleLineAnswersAsTheStandardControl) {
  HWND e = Make(ES_AUTOHSCROLL, "hello");
  RunSteps(e, {
                  {EM_GETLINECOUNT, 0, 0, nullptr, 1, "hello", {0, 0}},
                  {EM_LINEINDEX, 3, 0, nullptr, 0, "hello", {0, 0}},
                  {EM_LINEFROMCHAR, 3, 0, nullptr, 0, "hello", {0, 0}},
                  {EM_GETFIRSTVISIBLELINE, 0, 0, nullptr, 0, "hello", {0, 0}},
                  {EM_GETLIMITTEXT, 0, 0, nullptr, 0x7FFE, "hello", {0, 0}},
                  {EM_SETLIMITTEXT, 7, 0, nullptr, 0, "hello", {0, 0}},
                  {EM_GETLIMITTEXT, 0, 0, nullptr, 7, "hello", {0, 0}},
                  {EM_SETSEL, 5, 5, nullptr, 0, "hello", {5, 5}},
                  // What does not fit the limit is cut (the standard control sends EN_MAXTEXT).
                  {EM_REPLACESEL, TRUE, 0, "\xC3\xA9\xC3\xA9", 0, "hello\xC3\xA9", {7, 7}},
                  {EM_SETLIMITTEXT, 0, 0, nullptr, 0, "hello\xC3\xA9", {7, 7}},
                  {EM_GETLIMITTEXT, 0, 0, nullptr, 0x7FFFFFFE, "hello\xC3\xA9", {7, 7}},
                  // A single line takes what is pasted or replaced up to the first line break.
                  {EM_REPLACESEL, TRUE, 0, "ab\r\ncd", 0, "hello\xC3\xA9" "ab", {9, 9}},
                  // Positions never split a character.
                  {EM_SETSEL, 6, 6, nullptr, 0, "hello\xC3\xA9" "ab", {5, 5}},
                  {EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(3, 5), nullptr, 0, "hello\xC3\xA9" "ab", {5, 5}},
                  {EM_GETMARGINS, 0, 0, nullptr, MAKELONG(3, 5), "hello\xC3\xA9" "ab", {5, 5}},
                  {EM_GETPASSWORDCHAR, 0, 0, nullptr, 0, "hello\xC3\xA9" "ab", {5, 5}},
                  {EM_SETPASSWORDCHAR, '#', 0, nullptr, 0, "hello\xC3\xA9" "ab", {5, 5}},
                  {EM_GETPASSWORDCHAR, 0, 0, nullptr, '#', "hello\xC3\xA9" "ab", {5, 5}},
              });
  EXPECT_TRUE(GetWindowLong(e, GWL_STYLE) & ES_PASSWORD);
  SendMessage(e, EM_SETPASSWORDCHAR, 0, 0);
  EXPECT_FALSE(GetWindowLong(e, GWL_STYLE) & ES_PASSWORD);
  SendMessage(e, EM_SETREADONLY, TRUE, 0);
  EXPECT_TRUE(GetWindowLong(e, GWL_STYLE) & ES_READONLY);
}

TEST_F(EditMessages, DialogCodesPositionsAndRectangles) {
  HWND single = Make(ES_AUTOHSCROLL, "abc", 200, 24, WS_EX_CLIENTEDGE, 10, 10, 1);
  HWND multi = Make(kMulti, "abc\r\ndef", 200, 100, WS_EX_CLIENTEDGE, 10, 50, 2);
  EXPECT_EQ(SendMessage(single, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
  EXPECT_EQ(SendMessage(multi, WM_GETDLGCODE, 0, 0),
            DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS);
  MSG enter{multi, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_EQ(SendMessage(multi, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTALLKEYS, 0);
  MSG escape{multi, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}}, letter{multi, WM_KEYDOWN, 'A', 0, 0, {}};
  EXPECT_EQ(SendMessage(multi, WM_GETDLGCODE, VK_ESCAPE, reinterpret_cast<LPARAM>(&escape)) & DLGC_WANTALLKEYS, 0);
  EXPECT_NE(SendMessage(multi, WM_GETDLGCODE, 'A', reinterpret_cast<LPARAM>(&letter)) & DLGC_WANTALLKEYS, 0);
  HWND wants = Make(kMulti | ES_WANTRETURN, "", 200, 60, WS_EX_CLIENTEDGE, 10, 160, 3);
  EXPECT_NE(SendMessage(wants, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTALLKEYS, 0);

  // Positions and points agree both ways, line by line.
  const LRESULT d = SendMessage(multi, EM_POSFROMCHAR, 5, 0);
  const LRESULT a = SendMessage(multi, EM_POSFROMCHAR, 0, 0);
  EXPECT_EQ(LOWORD(d), LOWORD(a));
  EXPECT_GT(HIWORD(d), HIWORD(a));
  EXPECT_EQ(SendMessage(multi, EM_CHARFROMPOS, 0, MAKELPARAM(LOWORD(d) + 1, HIWORD(d) + 1)), MAKELONG(5, 1));
  EXPECT_EQ(SendMessage(multi, EM_POSFROMCHAR, 8, 0), -1);  // past the last character

  // Tab stops in dialog units: a quarter of the average character width.
  SendMessage(multi, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("\tx"));
  const int defaultTab = LOWORD(SendMessage(multi, EM_POSFROMCHAR, 1, 0)) - LOWORD(SendMessage(multi, EM_POSFROMCHAR, 0, 0));
  const int stops[] = {64};
  EXPECT_EQ(SendMessage(multi, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(stops)), TRUE);
  const int doubled = LOWORD(SendMessage(multi, EM_POSFROMCHAR, 1, 0)) - LOWORD(SendMessage(multi, EM_POSFROMCHAR, 0, 0));
  EXPECT_NEAR(doubled, 2 * defaultTab, 1);
  EXPECT_EQ(SendMessage(single, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(stops)), FALSE);

  RECT r{};
  SendMessage(multi, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  RECT set{20, 5, 120, 60};
  SendMessage(multi, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&set));
  SendMessage(multi, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 5);
  EXPECT_EQ(r.right, 120);
  EXPECT_EQ(LOWORD(SendMessage(multi, EM_POSFROMCHAR, 0, 0)), 20);
  EXPECT_EQ(HIWORD(SendMessage(multi, EM_POSFROMCHAR, 0, 0)), 5);
}

TEST_F(EditMessages, LinesScrollAndTheFirstVisibleLineFollows) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + "\r\n";
  HWND e = Make(kMulti, text.c_str(), 200, 100);
  const int rows = (100 - 4) / HIWORD(SendMessage(e, EM_POSFROMCHAR, 8, 0));  // the client area over a line's height
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_EQ(SendMessage(e, EM_LINESCROLL, 0, 10), TRUE);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 10);
  EXPECT_EQ(SendMessage(e, EM_SCROLL, 1, 0), MAKELONG(1, TRUE));  // SB_LINEDOWN
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 11);
  SendMessage(e, EM_SETSEL, 0, 0);
  SendMessage(e, EM_SCROLLCARET, 0, 0);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  const int end = GetWindowTextLength(e);
  SendMessage(e, EM_SETSEL, end, end);  // setting the selection shows the caret
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 40 - rows + 1);  // the caret's empty line 40 is the last shown
}

struct KeyCase {
  DWORD style;
  const char* text;
  std::pair<int, int> start;  // EM_SETSEL before the keys
  const char* keys;
  const char* after;
  std::pair<int, int> sel;
};

TEST_F(EditKeys, KeySequencesEditAndSelectAsTheStandardControl) {
  const std::vector<KeyCase> cases = {
      {ES_AUTOHSCROLL, "hello world", {11, 11}, "{C-LEFT}X", "hello Xworld", {7, 7}},
      {ES_AUTOHSCROLL, "hello", {5, 5}, "{S-LEFT}{S-LEFT}", "hello", {3, 5}},
      {ES_AUTOHSCROLL, "hello", {5, 5}, "{S-HOME}x", "x", {1, 1}},
      {ES_AUTOHSCROLL, "hello", {0, 0}, "{DELETE}{DELETE}", "llo", {0, 0}},
      {ES_AUTOHSCROLL, "hello", {2, 4}, "{BACK}", "heo", {2, 2}},
      {ES_AUTOHSCROLL, "hello", {1, 4}, "{LEFT}", "hello", {3, 3}},  // from the caret, at 4
      {ES_AUTOHSCROLL, "hello", {1, 4}, "{RIGHT}", "hello", {5, 5}},
      {ES_AUTOHSCROLL, "hello", {4, 1}, "{RIGHT}", "hello", {2, 2}},  // the caret at 1
      {ES_AUTOHSCROLL, "one two three", {0, 0}, "{C-RIGHT}{CS-RIGHT}", "one two three", {4, 8}},
      {ES_AUTOHSCROLL, "ab", {2, 2}, "{HOME}x{END}y", "xaby", {4, 4}},
      {ES_AUTOHSCROLL, "h\xC3\xA9!", {4, 4}, "{LEFT}{LEFT}", "h\xC3\xA9!", {1, 1}},
      {ES_AUTOHSCROLL, "h\xC3\xA9!", {3, 3}, "{BACK}", "h!", {1, 1}},
      {ES_AUTOHSCROLL, "abc", {3, 3}, "de{C-Z}", "abc", {3, 3}},
      {ES_AUTOHSCROLL, "abc", {3, 3}, "de{C-Z}{C-Z}", "abcde", {3, 5}},
      {ES_AUTOHSCROLL, "abcdef", {6, 6}, "{BACK}{BACK}{BACK}{C-Z}", "abcdef", {3, 6}},
      {ES_AUTOHSCROLL, "abc", {0, 0}, "{C-A}", "abc", {0, 3}},
      {ES_AUTOHSCROLL, "abc", {1, 1}, "{DOWN}{DOWN}{UP}", "abc", {2, 2}},  // up and down step on one line
      {ES_AUTOHSCROLL | ES_UPPERCASE, "", {0, 0}, "aBc", "ABC", {3, 3}},
      {ES_AUTOHSCROLL | ES_LOWERCASE, "", {0, 0}, "aBc", "abc", {3, 3}},
      {ES_AUTOHSCROLL | ES_NUMBER, "", {0, 0}, "1a2-3", "123", {3, 3}},
      {ES_AUTOHSCROLL | ES_READONLY, "abc", {3, 3}, "x{BACK}{DELETE}{C-X}", "abc", {3, 3}},
      {ES_AUTOHSCROLL, "abc", {3, 3}, "\xC3\xA9\xE2\x82\xAC", "abc\xC3\xA9\xE2\x82\xAC", {8, 8}},
      {kMulti, "abc\r\ndefgh\r\nij", {0, 0}, "{DOWN}{DOWN}", "abc\r\ndefgh\r\nij", {12, 12}},
      {kMulti, "abc\r\ndefgh\r\nij", {10, 10}, "{DOWN}{UP}{UP}", "abc\r\ndefgh\r\nij", {3, 3}},
      {kMulti, "abc\r\ndefgh\r\nij", {4, 4}, "{C-END}{CS-HOME}", "abc\r\ndefgh\r\nij", {0, 14}},
      {kMulti, "abc\r\ndefgh\r\nij", {7, 7}, "{HOME}{S-END}", "abc\r\ndefgh\r\nij", {5, 10}},
      {kMulti, "ab", {1, 1}, "{ENTER}", "a\r\nb", {3, 3}},
      {kMulti, "a\r\nb", {3, 3}, "{BACK}", "ab", {1, 1}},
      {kMulti, "a\r\nb", {1, 1}, "{DELETE}", "ab", {1, 1}},
      {kMulti, "a\r\nb", {0, 0}, "{RIGHT}{RIGHT}", "a\r\nb", {3, 3}},
      {kMulti, "", {0, 0}, "{TAB}x", "\tx", {2, 2}},
      {ES_AUTOHSCROLL, "", {0, 0}, "{TAB}x", "x", {1, 1}},
  };
  int i = 0;
  for (const KeyCase& c : cases) {
    HWND e = Make(c.style, c.text, 200, (c.style & ES_MULTILINE) ? 100 : 24);
    SetFocus(e);
    SendMessage(e, EM_SETSEL, static_cast<WPARAM>(c.start.first), c.start.second);
    Keys(c.keys);
    EXPECT_EQ(Text(e), c.after) << "case " << i << " " << c.keys;
    EXPECT_EQ(Sel(e), c.sel) << "case " << i << " " << c.keys;
    DestroyWindow(e);
    ++i;
  }
}

TEST_F(EditKeys, PageKeysMoveByWhatTheWindowShows) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "row\r\n";
  HWND e = Make(kMulti, text.c_str(), 200, 100);
  SetFocus(e);
  Keys("{PGDN}");
  const int line = static_cast<int>(SendMessage(e, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
  EXPECT_GT(line, 3);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), line);
  Keys("{PGUP}");
  EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 0);
}

TEST_F(EditKeys, AFixedSizeEditRefusesWhatWouldNotShow) {
  // Neither ES_AUTOHSCROLL: the line must fit; nor ES_AUTOVSCROLL: the lines must fit.
  HWND single = Make(0, "", 40, 24);
  SetFocus(single);
  Keys("wwwwwwwwwwwwwwwwwwww");
  EXPECT_LT(GetWindowTextLength(single), 20);
  EXPECT_GT(GetWindowTextLength(single), 0);
  EXPECT_NE(std::find(notes.begin(), notes.end(), EN_MAXTEXT), notes.end());
}

TEST_F(EditNotes, TypingSettingAndFocusNotifyTheParentInOrder) {
  HWND e = Make(ES_AUTOHSCROLL, "");
  HWND other = Make(ES_AUTOHSCROLL, "", 200, 24, WS_EX_CLIENTEDGE, 10, 60, 8);
  SetFocus(e);
  EXPECT_EQ(TakeNotes(), (std::vector<WORD>{EN_SETFOCUS}));
  Keys("a");
  EXPECT_EQ(TakeNotes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
  SendMessage(e, EM_SETSEL, 0, 1);
  EXPECT_EQ(TakeNotes(), (std::vector<WORD>{}));
  SetWindowText(e, "xyz");
  EXPECT_EQ(TakeNotes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
  SendMessage(e, EM_SETLIMITTEXT, 4, 0);
  SendMessage(e, EM_SETSEL, 3, 3);
  Keys("12");
  EXPECT_EQ(Text(e), "xyz1");
  EXPECT_EQ(TakeNotes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE, EN_MAXTEXT}));
  SetFocus(other);
  EXPECT_EQ(TakeNotes(), (std::vector<WORD>{EN_KILLFOCUS, EN_SETFOCUS}));
  // A multi-line edit does not tell of text set by WM_SETTEXT; of replaced text it does.
  HWND multi = Make(kMulti, "", 200, 60, WS_EX_CLIENTEDGE, 10, 100, 9);
  SetWindowText(multi, "set\r\ntext");
  EXPECT_EQ(TakeNotes(), (std::vector<WORD>{}));
  SendMessage(multi, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("more"));
  EXPECT_EQ(TakeNotes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
}

TEST_F(EditNotes, AParentMayDestroyTheEditFromItsNotification) {
  HWND e = Make(ES_AUTOHSCROLL, "");
  SetFocus(e);
  HWND gone = nullptr;
  // The parent's procedure records notifications; destroying from inside one is the case.
  SetWindowProc(parent, [this, e, &gone, old = GetWindowProc(parent)](HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND && HIWORD(wp) == EN_UPDATE && IsWindow(e)) {
      DestroyWindow(e);
      gone = e;
    }
    return CallWindowProc(old, w, m, wp, lp);
  });
  Keys("a");
  EXPECT_EQ(gone, e);
  EXPECT_FALSE(IsWindow(e));
}

TEST_F(EditNotes, ScrollingATypedLineNotifiesHScroll) {
  HWND e = Make(ES_AUTOHSCROLL, "", 60, 24);
  SetFocus(e);
  TakeNotes();
  Keys("a long line that cannot fit");
  std::vector<WORD> got = TakeNotes();
  EXPECT_NE(std::find(got.begin(), got.end(), EN_HSCROLL), got.end());
  EXPECT_GT(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);  // a single line answers its first visible character
}

TEST_F(EditMouse, ClickDragDoubleClickAndShiftClickSelect) {
  HWND e = Make(ES_AUTOHSCROLL, "hello world", 200, 24);
  auto at = [&](int pos) {
    LRESULT p = SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(pos), 0);
    return UiDriver::At(e, LOWORD(p), HIWORD(p) + 3);
  };
  POINT p6 = at(6);
  ui.Click(p6.x, p6.y);
  EXPECT_EQ(GetFocus(), e);
  EXPECT_EQ(Sel(e), (std::pair<int, int>{6, 6}));
  ui.Drag(at(0), at(5));
  EXPECT_EQ(Sel(e), (std::pair<int, int>{0, 5}));
  POINT p8 = at(8);
  ui.Advance(1000);
  ui.DoubleClick(p8.x, p8.y);
  EXPECT_EQ(Sel(e), (std::pair<int, int>{6, 11}));
  ui.Advance(1000);
  ui.Click(p6.x, p6.y);
  POINT p2 = at(2);
  ui.KeyDown(VK_SHIFT);
  ui.Click(p2.x, p2.y);
  ui.KeyUp(VK_SHIFT);
  EXPECT_EQ(Sel(e), (std::pair<int, int>{2, 6}));
}

TEST_F(EditMouse, ADragThatBeginsWithADoubleClickSelectsWholeWords) {
  HWND e = Make(ES_AUTOHSCROLL, "hello big world", 200, 24);
  auto at = [&](int pos) {
    LRESULT p = SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(pos), 0);
    return UiDriver::At(e, LOWORD(p), HIWORD(p) + 3);
  };
  POINT big = at(7), world = at(12), hello = at(2);
  ui.Click(big.x, big.y);
  ui.MouseDown(big.x, big.y);  // the second press is the double-click
  EXPECT_EQ(Sel(e), (std::pair<int, int>{6, 10}));
  ui.MoveTo(world.x, world.y);
  EXPECT_EQ(Sel(e), (std::pair<int, int>{6, 15}));
  ui.MoveTo(hello.x, hello.y);
  EXPECT_EQ(Sel(e), (std::pair<int, int>{0, 10}));
  ui.MouseUp(hello.x, hello.y);
  ui.Advance(1000);
  ui.Drag(at(1), at(8));  // a plain drag goes by characters again
  EXPECT_EQ(Sel(e), (std::pair<int, int>{1, 8}));
}

TEST_F(EditMouse, DraggingBelowTheTextScrollsAndSelectsOn) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "line\r\n";
  HWND e = Make(kMulti, text.c_str(), 200, 100);
  POINT start = UiDriver::At(e, 0, 2);
  ui.MouseDown(start.x, start.y);
  POINT below = UiDriver::At(e, 20, 130);
  ui.MoveTo(below.x, below.y);  // the line under the mouse comes into view at once
  const int firstBefore = static_cast<int>(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0));
  EXPECT_GT(firstBefore, 0);
  for (int i = 0; i < 10; ++i) ui.Advance(60);
  const int firstAfter = static_cast<int>(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0));
  ui.MouseUp(below.x, below.y);
  EXPECT_GE(firstAfter, firstBefore + 5);
  EXPECT_EQ(Sel(e).first, 0);
  EXPECT_GT(SendMessage(e, EM_LINEFROMCHAR, static_cast<WPARAM>(Sel(e).second), 0), firstAfter);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EditClipboard, CopyInOneEditPastesInAnotherByEveryKey) {
  HWND a = Make(ES_AUTOHSCROLL, "copy me", 200, 24, WS_EX_CLIENTEDGE, 10, 10, 1);
  HWND b = Make(ES_AUTOHSCROLL, "", 200, 24, WS_EX_CLIENTEDGE, 10, 50, 2);
  SetFocus(a);
  SendMessage(a, EM_SETSEL, 0, 4);
  Keys("{C-C}");
  EXPECT_EQ(GetClipboardOwner(), a);
  SetFocus(b);
  Keys("{C-V}{S-INSERT}");
  EXPECT_EQ(Text(b), "copycopy");
  SetFocus(a);
  SendMessage(a, EM_SETSEL, 4, 7);
  Keys("{S-DELETE}");  // cut
  EXPECT_EQ(Text(a), "copy");
  SetFocus(b);
  Keys("{HOME}{S-INSERT}");
  EXPECT_EQ(Text(b), " mecopycopy");
  SendMessage(b, EM_SETSEL, 0, 3);
  Keys("{C-INSERT}");
  SetFocus(a);
  Keys("{C-A}{C-X}");
  EXPECT_EQ(Text(a), "");
  Keys("{C-Z}");  // the cut undone
  EXPECT_EQ(Text(a), "copy");
  EXPECT_EQ(Sel(a), (std::pair<int, int>{0, 4}));  // what the undo put back is selected
  SendMessage(a, EM_SETSEL, 4, 4);
  SendMessage(a, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(a), "copycopy");  // the cut replaced b's copy on the clipboard
}

TEST_F(EditClipboard, TextMakesTheRoundTripThroughTheHostsClipboard) {
  HWND e = Make(kMulti, "first\r\nsecond", 200, 100);
  SetFocus(e);
  Keys("{C-A}{C-C}");
  std::string host;
  ASSERT_TRUE(DesktopHost().GetClipboardText(host));
  EXPECT_EQ(host, "first\nsecond");
  DesktopHost().SetClipboardText("another\nprogram's text");  // the user copies elsewhere
  Keys("{C-END}{ENTER}{C-V}");
  EXPECT_EQ(Text(e), "first\r\nsecond\r\nanother\r\nprogram's text");
  // Characters given whole, as code points, go in as UTF-8.
  SendMessage(e, WM_CHAR, 0x20AC, 1);
  EXPECT_EQ(Text(e).substr(Text(e).size() - 3), "\xE2\x82\xAC");
}

TEST_F(EditClipboard, APasswordIsNotCopiedAndAReadOnlyEditTakesNothing) {
  HWND secret = Make(ES_AUTOHSCROLL | ES_PASSWORD, "secret", 200, 24, WS_EX_CLIENTEDGE, 10, 10, 1);
  HWND fixed = Make(ES_AUTOHSCROLL | ES_READONLY, "fixed", 200, 24, WS_EX_CLIENTEDGE, 10, 50, 2);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  SendMessage(secret, EM_SETSEL, 0, -1);
  SendMessage(secret, WM_COPY, 0, 0);
  SendMessage(secret, WM_CUT, 0, 0);
  EXPECT_EQ(Text(secret), "secret");
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  SendMessage(fixed, EM_SETSEL, 0, -1);
  SendMessage(fixed, WM_COPY, 0, 0);  // copying from a read-only edit is allowed
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  SendMessage(fixed, WM_CUT, 0, 0);
  SendMessage(fixed, WM_CLEAR, 0, 0);
  SendMessage(fixed, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(fixed), "fixed");
}

// The pixels of a window's client area.
std::vector<std::uint32_t> ClientPixels(const UiDriver& ui, HWND w) {
  RECT r;
  GetClientRect(w, &r);
  std::vector<std::uint32_t> out;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) {
      POINT p = UiDriver::At(w, x, y);
      out.push_back(ui.Pixel(p.x, p.y));
    }
  return out;
}

TEST_F(EditLook, APasswordShowsItsCharacterForEveryCharacter) {
  HWND secret = Make(ES_AUTOHSCROLL | ES_PASSWORD, "ab\xC3\xA9", 120, 24, WS_EX_CLIENTEDGE, 10, 10, 1);
  HWND stars = Make(ES_AUTOHSCROLL, "***", 120, 24, WS_EX_CLIENTEDGE, 10, 50, 2);
  HWND plain = Make(ES_AUTOHSCROLL, "ab\xC3\xA9", 120, 24, WS_EX_CLIENTEDGE, 10, 90, 3);
  EXPECT_EQ(ClientPixels(ui, secret), ClientPixels(ui, stars));
  EXPECT_NE(ClientPixels(ui, secret), ClientPixels(ui, plain));
  SendMessage(secret, EM_SETPASSWORDCHAR, '#', 0);
  SetWindowText(stars, "###");
  ui.RunUntilIdle();
  EXPECT_EQ(ClientPixels(ui, secret), ClientPixels(ui, stars));
  SendMessage(secret, EM_SETPASSWORDCHAR, 0, 0);
  ui.RunUntilIdle();
  EXPECT_EQ(ClientPixels(ui, secret), ClientPixels(ui, plain));
}

TEST_F(EditLook, WhatEditingRepaintsLooksAsAFreshEditOfTheSameText) {
  // Each edit repaints only the lines it changed, or those below when the count changed.
  const DWORD style = ES_MULTILINE | ES_AUTOVSCROLL;
  HWND edited = Make(style, "", 150, 160, WS_EX_CLIENTEDGE, 10, 10, 1);
  SetFocus(edited);
  Keys("the quick brown fox jumps over the lazy dog{ENTER}second paragraph here");
  SendMessage(edited, EM_SETSEL, 4, 4);
  Keys("very {BACK}{BACK}{BACK}{BACK}{BACK}slow ");
  SendMessage(edited, EM_SETSEL, 20, 30);
  Keys("{DELETE}");
  SendMessage(edited, EM_SETSEL, 0, 0);
  Keys("{DELETE}T");
  HWND elsewhere = Make(ES_AUTOHSCROLL, "", 60, 24, WS_EX_CLIENTEDGE, 400, 10, 3);
  SetFocus(elsewhere);
  HWND fresh = Make(style, Text(edited).c_str(), 150, 160, WS_EX_CLIENTEDGE, 170, 10, 2);
  ui.RunUntilIdle();
  EXPECT_GT(SendMessage(edited, EM_GETLINECOUNT, 0, 0), 2);  // a paragraph wrapped
  EXPECT_EQ(ClientPixels(ui, edited), ClientPixels(ui, fresh)) << Text(edited);
}

TEST_F(EditLook, PrintingTheClientDrawsWhatTheScreenShows) {
  HWND e = Make(ES_AUTOHSCROLL, "printed", 120, 24);
  RECT r;
  GetClientRect(e, &r);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessage(e, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  std::vector<std::uint32_t> printed;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) {
      COLORREF c = GetPixel(memory, x, y);
      printed.push_back(static_cast<std::uint32_t>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c)));
    }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(printed, ClientPixels(ui, e));
}

TEST_F(EditLook, ColoursComeFromTheParentAndReadOnlyOrDisabledAsksForStatic) {
  HWND e = Make(ES_AUTOHSCROLL, "text", 120, 24);
  HWND ro = Make(ES_AUTOHSCROLL | ES_READONLY, "text", 120, 24, WS_EX_CLIENTEDGE, 10, 50, 2);
  (void)e, (void)ro;
  EXPECT_NE(std::find(colourRequests.begin(), colourRequests.end(), WM_CTLCOLOREDIT), colourRequests.end());
  EXPECT_NE(std::find(colourRequests.begin(), colourRequests.end(), WM_CTLCOLORSTATIC), colourRequests.end());
  // The background is the parent's brush; by default the window colour for an edit, the face
  // colour for a read-only one.
  POINT inE = UiDriver::At(e, 100, 10), inRo = UiDriver::At(ro, 100, 10);
  auto rgb = [](COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); };
  EXPECT_EQ(ui.Pixel(inE.x, inE.y), static_cast<std::uint32_t>(rgb(GetSysColor(COLOR_WINDOW))));
  EXPECT_EQ(ui.Pixel(inRo.x, inRo.y), static_cast<std::uint32_t>(rgb(GetSysColor(COLOR_3DFACE))));
  answerBrush = CreateSolidBrush(RGB(0, 128, 0));
  colourRequests.clear();
  EnableWindow(e, FALSE);
  ui.RunUntilIdle();
  EXPECT_EQ(colourRequests, (std::vector<UINT>{WM_CTLCOLORSTATIC}));
  EXPECT_EQ(ui.Pixel(inE.x, inE.y), 0x008000u);
}

TEST_F(EditLook, TheClientEdgeIsSunken) {
  HWND e = Make(ES_AUTOHSCROLL, "", 120, 24);
  RECT w;
  GetWindowRect(e, &w);
  auto rgb = [](COLORREF c) { return static_cast<std::uint32_t>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c)); };
  // Dark above and to the left, light below and to the right.
  EXPECT_EQ(ui.Pixel(w.left + 5, w.top), rgb(GetSysColor(COLOR_3DSHADOW)));
  EXPECT_EQ(ui.Pixel(w.left + 5, w.bottom - 1), rgb(GetSysColor(COLOR_3DHILIGHT)));
}

TEST_F(EditLook, WordWrapBreaksWhereTheWindowEnds) {
  HWND e = Make(ES_MULTILINE | ES_AUTOVSCROLL, "one two three four five six seven eight nine ten", 80, 200);
  const int lines = static_cast<int>(SendMessage(e, EM_GETLINECOUNT, 0, 0));
  EXPECT_GT(lines, 2);
  for (int i = 1; i < lines; ++i) {
    const int start = static_cast<int>(SendMessage(e, EM_LINEINDEX, static_cast<WPARAM>(i), 0));
    EXPECT_NE(Text(e)[static_cast<size_t>(start)], ' ') << "line " << i << " starts a word";
  }
  MoveWindow(e, 10, 10, 400, 200, TRUE);
  EXPECT_LT(SendMessage(e, EM_GETLINECOUNT, 0, 0), lines);
}

// Keys typed right after a click reach the window the click focused, even when a loop looked
// ahead for typed characters while the click still waited in the queue.
TEST_F(EditKeys, KeysTypedAfterAClickGoWhereTheClickMovedTheFocus) {
  HWND first = Make(0, "", 200, 24, WS_EX_CLIENTEDGE, 10, 10, 7);
  HWND second = Make(0, "", 200, 24, WS_EX_CLIENTEDGE, 10, 50, 8);
  SetFocus(first);
  ui.RunUntilIdle();
  const POINT at = UiDriver::At(second, 20, 10);
  ui.QueueClick(at.x, at.y);
  for (const char c : std::string("hi")) {
    InputEvent e;
    e.kind = InputEvent::Kind::KeyDown;
    e.vk = c - 'a' + 'A';
    ui.Inject(e);
    e.kind = InputEvent::Kind::Text;
    e.text = std::string(1, c);
    ui.Inject(e);
    e.kind = InputEvent::Kind::KeyUp;
    ui.Inject(e);
  }
  MSG waiting{};
  EXPECT_TRUE(PeekMessage(&waiting, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE));
  ui.RunUntilIdle();
  EXPECT_EQ(GetFocus(), second);
  EXPECT_EQ(Text(first), "");
  EXPECT_EQ(Text(second), "hi");
}

}  // namespace
