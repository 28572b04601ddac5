#include "MdiDesk.h"

#include <cstdio>

namespace {

constexpr const char* kFrameClass = "MdiDeskFrame";
constexpr const char* kChildClass = "MdiDeskChild";

std::string MessageName(UINT m) {
  static const std::map<UINT, std::string> names = {
      {WM_NCCREATE, "NCCREATE"}, {WM_NCCALCSIZE, "NCCALCSIZE"}, {WM_CREATE, "CREATE"}, {WM_MOVE, "MOVE"},
      {WM_SHOWWINDOW, "SHOWWINDOW"}, {WM_WINDOWPOSCHANGING, "WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WINDOWPOSCHANGED"}, {WM_GETMINMAXINFO, "GETMINMAXINFO"},
      {WM_CHILDACTIVATE, "CHILDACTIVATE"}, {WM_SETFOCUS, "SETFOCUS"}, {WM_KILLFOCUS, "KILLFOCUS"},
      {WM_MDIREFRESHMENU, "MDIREFRESHMENU"}, {WM_DESTROY, "DESTROY"}, {WM_NCDESTROY, "NCDESTROY"},
      {WM_CLOSE, "CLOSE"}, {WM_MDIDESTROY, "MDIDESTROY"}, {WM_MDINEXT, "MDINEXT"}, {WM_ACTIVATE, "ACTIVATE"},
      {WM_KEYDOWN, "KEYDOWN"}};
  auto it = names.find(m);
  return it == names.end() ? "" : it->second;
}

std::string CommandName(WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_CLOSE: return "CLOSE";
    case SC_NEXTWINDOW: return "NEXTWINDOW";
    case SC_PREVWINDOW: return "PREVWINDOW";
    case SC_MAXIMIZE: return "MAXIMIZE";
    case SC_MINIMIZE: return "MINIMIZE";
    case SC_RESTORE: return "RESTORE";
  }
  return std::to_string(command);
}

std::string PressName(WPARAM event) {
  switch (LOWORD(event)) {
    case WM_CREATE: return "CREATE";
    case WM_DESTROY: return "DESTROY";
    case WM_LBUTTONDOWN: return "LBUTTONDOWN";
    case WM_RBUTTONDOWN: return "RBUTTONDOWN";
  }
  return std::to_string(LOWORD(event));
}

}  // namespace

MdiDesk::MdiDesk(DWORD clientStyle, const char* frameTitle)
    : followed_{WM_CHILDACTIVATE, WM_NCACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_MDIACTIVATE} {
  WNDCLASS fc;
  fc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) {
    Record(w, m, wp, lp);
    return DefFrameProc(w, client, m, wp, lp);
  };
  fc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_3DFACE + 1));
  fc.lpszClassName = kFrameClass;
  RegisterClass(&fc);
  WNDCLASS cc;
  cc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (!names_.count(w)) {
      names_[w] = "";  // the title is read through this procedure too
      names_[w] = Text(w);
    }
    if (m == WM_CREATE) {
      lastCreateParam = reinterpret_cast<const CREATESTRUCT*>(lp)->lpCreateParams;
      lastCreate = *static_cast<const MDICREATESTRUCT*>(lastCreateParam);
    }
    Record(w, m, wp, lp);
    return DefMDIChildProc(w, m, wp, lp);
  };
  cc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
  cc.lpszClassName = kChildClass;
  RegisterClass(&cc);

  RECT r{0, 0, kWidth, kHeight};
  AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
  frame = CreateWindowEx(0, kFrameClass, frameTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, r.right - r.left,
                         r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  names_[frame] = "frame";
  CLIENTCREATESTRUCT ccs{nullptr, kFirstId};
  client = CreateWindowEx(0, "MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | clientStyle, 0, 0, 0, 0,
                          frame, reinterpret_cast<HMENU>(1), nullptr, &ccs);
  names_[client] = "client";
  clientProc_ = SetWindowProc(client, [this](HWND w, UINT m, WPARAM wp, LPARAM lp) {
    Record(w, m, wp, lp);
    return CallWindowProc(clientProc_, w, m, wp, lp);
  });
  ShowWindow(frame, SW_SHOW);  // the frame's first WM_SIZE fits the client to it
  ui.RunUntilIdle();
  log_.clear();
}

MdiDesk::~MdiDesk() {
  if (IsWindow(frame)) DestroyWindow(frame);
  UnregisterClass(kChildClass, nullptr);
  UnregisterClass(kFrameClass, nullptr);
}

HWND MdiDesk::Child(const std::string& name, DWORD style) {
  return ChildAt(name, RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT}, style);
}

HWND MdiDesk::ChildAt(const std::string& name, const RECT& at, DWORD style) {
  bool given = at.left != CW_USEDEFAULT;
  MDICREATESTRUCT create{kChildClass, name.c_str(), nullptr, static_cast<int>(at.left), static_cast<int>(at.top),
                         given ? static_cast<int>(at.right - at.left) : CW_USEDEFAULT,
                         given ? static_cast<int>(at.bottom - at.top) : CW_USEDEFAULT, style, 0};
  HWND child = reinterpret_cast<HWND>(SendMessage(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
  ui.RunUntilIdle();
  return child;
}

Log MdiDesk::Take() {
  Log out;
  out.swap(log_);
  return out;
}

HWND MdiDesk::Active(BOOL* maximized) const {
  return reinterpret_cast<HWND>(SendMessage(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
}

RECT MdiDesk::InClient(HWND child) const {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<HWND> MdiDesk::ZOrder() const {
  std::vector<HWND> order;
  for (HWND w = GetWindow(client, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) order.push_back(w);
  return order;
}

std::string MdiDesk::Text(HWND window) {
  char text[256];
  GetWindowText(window, text, sizeof text);
  return text;
}

std::string MdiDesk::Name(HWND window) const {
  if (!window) return "-";
  auto it = names_.find(window);
  return it == names_.end() ? "?" : it->second;
}

void MdiDesk::Record(HWND window, UINT m, WPARAM wp, LPARAM lp) {
  if (!followed_.count(m)) return;
  std::string entry = Name(window) + ":";
  switch (m) {
    case WM_NCACTIVATE: entry += wp ? "NCACTIVATE(1)" : "NCACTIVATE(0)"; break;
    case WM_MDIACTIVATE:
      entry += "MDIACTIVATE(" + Name(reinterpret_cast<HWND>(wp)) + "," + Name(reinterpret_cast<HWND>(lp)) + ")";
      break;
    case WM_SIZE: entry += "SIZE(" + std::to_string(wp) + ")"; break;
    case WM_SYSCOMMAND: entry += "SYSCOMMAND(" + CommandName(wp) + ")"; break;
    case WM_PARENTNOTIFY: entry += "PARENTNOTIFY(" + PressName(wp) + ")"; break;
    default: entry += MessageName(m);
  }
  log_.push_back(entry);
}
