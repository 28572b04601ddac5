#pragma once
// A window class whose procedure records the messages it is sent, by name, and then does
// what DefWindowProc does (or what a test's handler says).

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/user/User.h"

class Recorder {
public:
  using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;

  explicit Recorder(const char* className, UINT classStyle = 0, HBRUSH background = nullptr) : name_(className) {
    WNDCLASS wc;
    wc.style = classStyle;
    wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Proc(w, m, wp, lp); };
    wc.hbrBackground = background ? background : reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    RegisterClass(&wc);
  }
  // Destroys the windows of the class first: their procedure is this object.
  ~Recorder() {
    handler_ = nullptr;
    std::vector<HWND> mine;
    EnumChildWindows(nullptr, [&](HWND w, LPARAM) {
      char name[64];
      GetClassName(w, name, sizeof name);
      if (name_ == name) mine.push_back(w);
      return TRUE;
    }, 0);
    for (HWND w : mine)
      if (IsWindow(w)) DestroyWindow(w);
    UnregisterClass(name_.c_str(), nullptr);
  }

  void OnMessage(Handler handler) { handler_ = std::move(handler); }
  // Only these messages are kept; an empty filter keeps the ones named below.
  std::vector<std::string> Take() {
    std::vector<std::string> out;
    out.swap(log_);
    tagged_.clear();
    return out;
  }
  std::vector<std::string> TakeFor(HWND window) {
    std::vector<std::string> out;
    for (auto& [w, text] : tagged_)
      if (w == window) out.push_back(text);
    tagged_.clear();
    log_.clear();
    return out;
  }

  static std::string Name(UINT m) {
    static const std::map<UINT, std::string> names = {
        {WM_CREATE, "CREATE"}, {WM_DESTROY, "DESTROY"}, {WM_MOVE, "MOVE"}, {WM_SIZE, "SIZE"},
        {WM_ACTIVATE, "ACTIVATE"}, {WM_SETFOCUS, "SETFOCUS"}, {WM_KILLFOCUS, "KILLFOCUS"},
        {WM_PAINT, "PAINT"}, {WM_CLOSE, "CLOSE"}, {WM_ERASEBKGND, "ERASEBKGND"},
        {WM_SHOWWINDOW, "SHOWWINDOW"}, {WM_ACTIVATEAPP, "ACTIVATEAPP"}, {WM_SETCURSOR, "SETCURSOR"},
        {WM_MOUSEACTIVATE, "MOUSEACTIVATE"}, {WM_GETMINMAXINFO, "GETMINMAXINFO"},
        {WM_WINDOWPOSCHANGING, "WINDOWPOSCHANGING"}, {WM_WINDOWPOSCHANGED, "WINDOWPOSCHANGED"},
        {WM_NCCREATE, "NCCREATE"}, {WM_NCDESTROY, "NCDESTROY"}, {WM_NCCALCSIZE, "NCCALCSIZE"},
        {WM_NCPAINT, "NCPAINT"}, {WM_NCACTIVATE, "NCACTIVATE"}, {WM_MOUSEMOVE, "MOUSEMOVE"},
        {WM_LBUTTONDOWN, "LBUTTONDOWN"}, {WM_LBUTTONUP, "LBUTTONUP"}, {WM_LBUTTONDBLCLK, "LBUTTONDBLCLK"},
        {WM_CAPTURECHANGED, "CAPTURECHANGED"}, {WM_TIMER, "TIMER"}, {WM_KEYDOWN, "KEYDOWN"},
        {WM_KEYUP, "KEYUP"}, {WM_CHAR, "CHAR"}, {WM_PARENTNOTIFY, "PARENTNOTIFY"},
        {WM_SYSCOMMAND, "SYSCOMMAND"}, {WM_ENTERSIZEMOVE, "ENTERSIZEMOVE"},
        {WM_EXITSIZEMOVE, "EXITSIZEMOVE"}, {WM_NCLBUTTONDOWN, "NCLBUTTONDOWN"},
        {WM_MOVING, "MOVING"}, {WM_SIZING, "SIZING"}, {WM_MOUSEWHEEL, "MOUSEWHEEL"},
        {WM_NCMOUSEMOVE, "NCMOUSEMOVE"}, {WM_ENABLE, "ENABLE"}, {WM_CANCELMODE, "CANCELMODE"},
        {WM_SYSKEYDOWN, "SYSKEYDOWN"}, {WM_SYSKEYUP, "SYSKEYUP"}, {WM_SYSCHAR, "SYSCHAR"},
        {WM_RBUTTONDOWN, "RBUTTONDOWN"}, {WM_RBUTTONUP, "RBUTTONUP"}, {WM_CONTEXTMENU, "CONTEXTMENU"},
        {WM_QUERYENDSESSION, "QUERYENDSESSION"}, {WM_ENDSESSION, "ENDSESSION"}};
    auto it = names.find(m);
    return it == names.end() ? "" : it->second;
  }

private:
  LRESULT Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    std::string n = Name(m);
    if (!n.empty() && m != WM_NCHITTEST) {
      log_.push_back(n);
      tagged_.emplace_back(w, n);
    }
    LRESULT result = 0;
    if (handler_ && handler_(w, m, wp, lp, result)) return result;
    return DefWindowProc(w, m, wp, lp);
  }

  std::string name_;
  Handler handler_;
  std::vector<std::string> log_;
  std::vector<std::pair<HWND, std::string>> tagged_;
};

using Log = std::vector<std::string>;
