#pragma once
// A top-level window that holds one range control (scroll bar, up-down, track bar, progress
// bar) and logs what it is told: scroll messages with their code, position and sender, and
// up-down notifications. A test may answer a notification itself.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/controls/UpDown.h"
#include "platform/user/User.h"

struct Heard {
  std::string what;  // "H" or "V" for WM_HSCROLL / WM_VSCROLL, "DELTAPOS" for UDN_DELTAPOS
  int code = 0;      // the scroll code, or the position before the step
  int pos = 0;       // the position, or the step
  bool operator==(const Heard&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Heard& h) {
  return out << h.what << "(" << h.code << "," << h.pos << ")";
}

class RangeParent {
public:
  RangeParent() {
    WNDCLASS wc;
    wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Proc(w, m, wp, lp); };
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "RangeParent";
    RegisterClass(&wc);
    window = CreateWindowEx(0, "RangeParent", "Range", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300, nullptr,
                            nullptr, nullptr, nullptr);
  }
  ~RangeParent() {
    if (IsWindow(window)) DestroyWindow(window);
    UnregisterClass("RangeParent", nullptr);
  }
  HWND Child(const char* cls, DWORD style, int x, int y, int w, int h, int id = 7) {
    return CreateWindowEx(0, cls, "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, window,
                          reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  }

  HWND window = nullptr;
  HWND from = nullptr;  // the sender every notification must name
  std::vector<Heard> log;
  // Answers UDN_DELTAPOS: nonzero refuses the step; may change the step.
  std::function<LRESULT(NMUPDOWN&)> onDeltaPos;
  HBRUSH scrollBarBrush = nullptr;  // answered to WM_CTLCOLORSCROLLBAR when set

private:
  LRESULT Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
      case WM_HSCROLL: case WM_VSCROLL:
        if (from && reinterpret_cast<HWND>(lp) != from) log.push_back({"wrong sender", 0, 0});
        log.push_back({m == WM_HSCROLL ? "H" : "V", LOWORD(wp), static_cast<short>(HIWORD(wp))});
        return 0;
      case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMUPDOWN*>(lp);
        if (nm->hdr.code != UDN_DELTAPOS) return 0;
        if (from && nm->hdr.hwndFrom != from) log.push_back({"wrong sender", 0, 0});
        if (static_cast<WPARAM>(GetDlgCtrlID(nm->hdr.hwndFrom)) != wp) log.push_back({"wrong id", 0, 0});
        log.push_back({"DELTAPOS", nm->iPos, nm->iDelta});
        return onDeltaPos ? onDeltaPos(*nm) : 0;
      }
      case WM_CTLCOLORSCROLLBAR:
        if (scrollBarBrush) return reinterpret_cast<LRESULT>(scrollBarBrush);
        break;
    }
    return DefWindowProc(w, m, wp, lp);
  }
};

inline std::uint32_t Rgb(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
