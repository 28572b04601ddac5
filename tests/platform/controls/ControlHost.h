#pragma once
// A top-level window that holds controls under test: it records the notifications they send
// it (WM_COMMAND codes by control ID) and answers owner-draw messages through handlers a
// test sets.

#include <functional>
#include <string>
#include <vector>

#include "platform/user/User.h"

class ControlHost {
public:
  using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

  ControlHost(int x = 20, int y = 20, int width = 400, int height = 300) {
    WNDCLASS wc;
    wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == WM_COMMAND && lp) commands.push_back({LOWORD(wp), HIWORD(wp)});
      LRESULT result = 0;
      if (handler_ && handler_(m, wp, lp, result)) return result;
      return DefWindowProc(w, m, wp, lp);
    };
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "ControlHost";
    RegisterClass(&wc);
    window = CreateWindowEx(0, "ControlHost", "Host", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                            width, height, nullptr, nullptr, nullptr, nullptr);
  }
  ~ControlHost() {
    handler_ = nullptr;
    if (IsWindow(window)) DestroyWindow(window);
    UnregisterClass("ControlHost", nullptr);
  }
  ControlHost(const ControlHost&) = delete;
  ControlHost& operator=(const ControlHost&) = delete;

  HWND Child(const char* cls, DWORD style, int x, int y, int w, int h, int id, DWORD exStyle = 0) {
    return CreateWindowEx(exStyle, cls, "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, window,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  }
  void OnMessage(Handler handler) { handler_ = std::move(handler); }
  // The notification codes heard since the last call, of one control.
  std::vector<int> Take(int id) {
    std::vector<int> out;
    for (const auto& [from, code] : commands)
      if (from == id) out.push_back(code);
    commands.clear();
    return out;
  }

  struct Command {
    int id;
    int code;
  };
  HWND window = nullptr;
  std::vector<Command> commands;

private:
  Handler handler_;
};

inline std::string ListText(HWND list, UINT getLen, UINT getText, int index) {
  LRESULT n = SendMessage(list, getLen, static_cast<WPARAM>(index), 0);
  if (n < 0) return "<err>";
  std::string s(static_cast<size_t>(n) + 1, '\0');
  SendMessage(list, getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(n));
  return s;
}
