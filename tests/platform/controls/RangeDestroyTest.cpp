// A parent that destroys the control as soon as it hears from it: the press ends quietly,
// with nothing more said and nothing touched after the control is gone.

#include <gtest/gtest.h>

#include "platform/controls/ScrollBar.h"
#include "platform/controls/TrackBar.h"
#include "platform/controls/UpDown.h"
#include "support/UiDriver.h"

namespace {

class DestroyingParent {
public:
  DestroyingParent() {
    WNDCLASS wc;
    wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      bool fromControl = ((m == WM_HSCROLL || m == WM_VSCROLL) && lp) || m == WM_NOTIFY;
      if (fromControl) {
        ++heard;
        if (IsWindow(control)) DestroyWindow(control);
        return 0;
      }
      return DefWindowProc(w, m, wp, lp);
    };
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "DestroyingParent";
    RegisterClass(&wc);
    window = CreateWindowEx(0, "DestroyingParent", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr,
                            nullptr, nullptr, nullptr);
  }
  ~DestroyingParent() {
    DestroyWindow(window);
    UnregisterClass("DestroyingParent", nullptr);
  }
  HWND window;
  HWND control = nullptr;
  int heard = 0;
};

TEST(RangeControls, ADestroyedControlEndsItsPressQuietly) {
  struct Case {
    const char* cls;
    DWORD style;
    POINT at;
  };
  const Case cases[] = {
      {WC_SCROLLBAR, SBS_HORZ, {195, 8}},     // an arrow: the tracking loop
      {WC_SCROLLBAR, SBS_HORZ, {100, 8}},     // the track
      {UPDOWN_CLASS, 0, {8, 4}},              // asked first with UDN_DELTAPOS
      {TRACKBAR_CLASS, 0, {150, 10}},         // a page press with its repeat timer
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cls);
    UiDriver ui;
    DestroyingParent parent;
    parent.control = CreateWindowEx(0, c.cls, "", WS_CHILD | WS_VISIBLE | c.style, 10, 10, 200, 20, parent.window,
                                    nullptr, nullptr, nullptr);
    SetScrollRange(parent.control, SB_CTL, 0, 100, TRUE);
    SendMessage(parent.control, UDM_SETRANGE32, 0, 100);
    POINT p = UiDriver::At(parent.control, c.at.x, c.at.y);
    ui.MouseDown(p.x, p.y);
    ui.Advance(1000);
    ui.MouseUp(p.x, p.y);
    EXPECT_FALSE(IsWindow(parent.control));
    EXPECT_EQ(parent.heard, 1);
  }
}

TEST(RangeControls, AWindowDestroyedByItsOwnScrollMessageEndsTheLoop) {
  UiDriver ui;
  int heard = 0;
  WNDCLASS wc;
  wc.lpfnWndProc = [&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_VSCROLL) {
      ++heard;
      DestroyWindow(w);
      return 0;
    }
    return DefWindowProc(w, m, wp, lp);
  };
  wc.lpszClassName = "SelfDestroying";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "SelfDestroying", "", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE, 50, 50, 300, 200,
                          nullptr, nullptr, nullptr, nullptr);
  SetScrollRange(w, SB_VERT, 0, 100, TRUE);
  RECT c;
  GetClientRect(w, &c);
  POINT thumb = UiDriver::At(w, c.right + 8, 16 + 8);
  ui.Drag(thumb, POINT{thumb.x, thumb.y + 50}, 3);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(heard, 1);
  UnregisterClass("SelfDestroying", nullptr);
}

}  // namespace
