#include "platform/vcl/AllocateHWnd.h"

namespace {
constexpr LPCSTR kUtilClass = "TPUtilWindow";
}  // namespace

HWND AllocateHWnd(TWndMethod method) {
  WNDCLASS cls;
  if (!GetClassInfo(nullptr, kUtilClass, &cls)) {
    cls = WNDCLASS{};
    cls.lpfnWndProc = &DefWindowProc;
    cls.lpszClassName = kUtilClass;
    RegisterClass(&cls);
  }
  HWND window = CreateWindowEx(WS_EX_TOOLWINDOW, kUtilClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (window && method) {
    SetWindowProc(window, [method](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
      TMessage m{msg, wp, lp, 0};
      (void)w;
      method(m);  // the method calls DefWindowProc for what it leaves alone
      return m.Result;
    });
  }
  return window;
}

void DeallocateHWnd(HWND window) {
  if (window && IsWindow(window)) DestroyWindow(window);
}
