#pragma once
// A window class and a window, as the window manager keeps them.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Region.h"
#include "platform/rtl/HandleStorage.h"
#include "platform/user/UserTypes.h"

struct WindowClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc;
  HBRUSH background = nullptr;
  HCURSOR cursor = nullptr;
  HICON icon = nullptr;
  HINSTANCE instance = nullptr;
  int clsExtra = 0;
  int wndExtra = 0;
  ATOM atom = 0;
};

namespace scrollbars {
struct WindowBars;
}

struct WindowObject : HandleStorage {
  std::shared_ptr<WindowClass> cls;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect;    // the window, in its parent's client coordinates (screen for top level)
  RECT client;  // the client area, relative to the window's top-left corner
  HWND parent = nullptr;
  HWND owner = nullptr;
  std::vector<HWND> children;  // z-order, topmost first
  WNDPROC proc;
  LONG_PTR userData = 0;
  LONG_PTR id = 0;
  HINSTANCE instance = nullptr;
  HMENU menu = nullptr;
  std::map<std::string, void*> props;
  std::vector<LONG_PTR> extra;
  Region update;  // client coordinates
  bool erase = false;
  bool ncDirty = false;
  bool ncActive = false;
  bool destroying = false;
  bool dead = false;
  RECT restoreRect;  // placement before minimizing or maximizing
  bool maximized = false;
  bool minimized = false;
  int pressedButton = 0;  // the caption button held down, as a hit-test code
  bool sizePending = false;  // an overlapped window not yet shown: WM_SIZE and WM_MOVE wait
  unsigned long serial = 0;  // creation order
  HICON smallIcon = nullptr;  // WM_SETICON's
  HICON bigIcon = nullptr;
  std::shared_ptr<scrollbars::WindowBars> scrollBars;  // made on first use
};
