#pragma once
// A top-level window that holds the buttons and statics under test and records what they
// WM_COMMAND notifications and WM_DRAWITEM requests.

#include <string>
#include <vector>

#include "platform/user/User.h"

struct Notification {
  int id;
  int code;
  bool operator==(const Notification&) const = default;
};

class ButtonHost {
public:
  ButtonHost(int x = 100, int y = 100, int width = 400, int height = 300) {
    WNDCLASS wc;
    wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Proc(w, m, wp, lp); };
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "ButtonHostWindow";
    RegisterClass(&wc);
    window = CreateWindowEx(0, "ButtonHostWindow", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                            width, height, nullptr, nullptr, nullptr, nullptr);
  }
  ~ButtonHost() {
    if (IsWindow(window)) DestroyWindow(window);
    UnregisterClass("ButtonHostWindow", nullptr);
  }
  ButtonHost(const ButtonHost&) = delete;
  ButtonHost& operator=(const ButtonHost&) = delete;

  HWND Add(const char* className, const char* text, DWORD style, int id, int x, int y, int width, int height) {
    return CreateWindowEx(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  }
  std::vector<Notification> Take() {
    std::vector<Notification> out;
    out.swap(notifications);
    return out;
  }

  HWND window = nullptr;
  std::vector<Notification> notifications;
  std::vector<DRAWITEMSTRUCT> drawItems;
  HBRUSH staticBrush = nullptr;  // answered to WM_CTLCOLORSTATIC when set

private:
  LRESULT Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND && lp) notifications.push_back({LOWORD(wp), HIWORD(wp)});
    if (m == WM_DRAWITEM) {
      drawItems.push_back(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    }
    if (m == WM_CTLCOLORSTATIC && staticBrush) return reinterpret_cast<LRESULT>(staticBrush);
    return DefWindowProc(w, m, wp, lp);
  }
};
