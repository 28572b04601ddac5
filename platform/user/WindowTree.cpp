// Window classes, creation and destruction, the tree and the per-window data.

#include <algorithm>
#include <cstring>

#include "platform/rtl/Module.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/ClipboardStore.h"
#include "platform/user/DesktopScreen.h"
#include "platform/user/FocusState.h"
#include "platform/user/HookService.h"
#include "platform/user/HotKeyTable.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/TimerService.h"
#include "platform/user/MenuObject.h"
#include "platform/user/Window.h"
#include "platform/user/WindowRegistry.h"

namespace {

std::string Upper(const char* s) { return UpperCase(s ? s : ""); }

std::shared_ptr<WindowClass> FindClass(LPCSTR name) { return wm::Windows().FindClass(name); }

POINT DefaultPosition() {
  static int cascade = 0;
  int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  POINT p{step * (cascade % 8) + 16, step * (cascade % 8) + 16};
  ++cascade;
  return p;
}

void InsertChild(WindowObject& parent, HWND child, bool topmostFirst) {
  auto& list = parent.children;
  if (topmostFirst) {
    list.insert(list.begin(), child);
    return;
  }
  list.push_back(child);
}

void RemoveChild(WindowObject& parent, HWND child) {
  auto& list = parent.children;
  list.erase(std::remove(list.begin(), list.end(), child), list.end());
}

// Sends WM_DESTROY to the window and then to its children, top down.
void SendDestroy(HWND window) {
  SendMessage(window, WM_DESTROY, 0, 0);
  WindowObject* w = LiveWindow(window);
  if (!w) return;
  std::vector<HWND> children = w->children;
  for (HWND child : children)
    if (LiveWindow(child)) SendDestroy(child);
}

// Sends WM_NCDESTROY bottom up and frees the windows.
void SendNcDestroyAndFree(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (!w) return;
  std::vector<HWND> children = w->children;
  for (HWND child : children) SendNcDestroyAndFree(child);
  SendMessage(window, WM_NCDESTROY, 0, 0);
  ForgetWindowMenus(window);
  wm::Windows().ForgetOwner(window);
  if (WindowObject* parent = LiveWindow(w->parent)) RemoveChild(*parent, window);
  wm::Timers().KillAllOf(window);
  ForgetWindowHotKeys(window);
  wm::Queue().RemoveMessagesFor(window);
  ForgetWindowInput(window);
  w->dead = true;
  // The object itself lives on until no message is being sent, since callers up the
  // stack may still hold it.
  wm::Windows().Bury(window);
}

}  // namespace

ATOM RegisterClass(const WNDCLASS* in) {
  if (!in || !in->lpszClassName || !in->lpfnWndProc) return 0;
  auto cls = std::make_shared<WindowClass>();
  cls->name = in->lpszClassName;
  cls->style = in->style;
  cls->proc = in->lpfnWndProc;
  cls->background = in->hbrBackground;
  cls->cursor = in->hCursor;
  cls->icon = in->hIcon;
  cls->instance = in->hInstance;
  cls->clsExtra = in->cbClsExtra;
  cls->wndExtra = std::max(0, in->cbWndExtra);
  return wm::Windows().AddClass(std::move(cls));  // 0 when already registered
}

BOOL UnregisterClass(LPCSTR name, HINSTANCE) {
  auto cls = FindClass(name);
  if (!cls) return FALSE;
  if (wm::Windows().AnyOfClass(cls)) return FALSE;  // still in use
  wm::Windows().RemoveClass(cls->name);
  return TRUE;
}

BOOL GetClassInfo(HINSTANCE, LPCSTR name, WNDCLASS* out) {
  auto cls = FindClass(name);
  if (!cls || !out) return FALSE;
  out->style = cls->style;
  out->lpfnWndProc = cls->proc;
  out->hbrBackground = cls->background;
  out->hCursor = cls->cursor;
  out->hIcon = cls->icon;
  out->hInstance = cls->instance;
  out->cbClsExtra = cls->clsExtra;
  out->cbWndExtra = cls->wndExtra;
  out->lpszClassName = cls->name.c_str();
  return TRUE;
}

int GetClassName(HWND window, LPSTR out, int size) {
  WindowObject* w = LiveWindow(window);
  if (!w || !out || size <= 0) return 0;
  int n = std::min<int>(static_cast<int>(w->cls->name.size()), size - 1);
  std::memcpy(out, w->cls->name.data(), n);
  out[n] = 0;
  return n;
}

ULONG_PTR GetClassLongPtr(HWND window, int index) {
  WindowObject* w = LiveWindow(window);
  if (!w) return 0;
  switch (index) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(w->cls->background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(w->cls->cursor);
    case GCL_STYLE: return w->cls->style;
  }
  return 0;
}

ULONG_PTR SetClassLongPtr(HWND window, int index, LONG_PTR value) {
  WindowObject* w = LiveWindow(window);
  if (!w) return 0;
  ULONG_PTR previous = GetClassLongPtr(window, index);
  switch (index) {
    case GCLP_HBRBACKGROUND: w->cls->background = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_HCURSOR: w->cls->cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCL_STYLE: w->cls->style = static_cast<UINT>(value); break;
    default: return 0;
  }
  return previous;
}

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    LPVOID param) {
  EnsureDesktop();
  if ((exStyle & WS_EX_MDICHILD) && !IsMdiChildBeingMade(parent, param))
    return CreateMdiChild(exStyle, className, title, style, x, y, width, height, parent, instance, param);
  auto cls = FindClass(className);
  if (!cls) return nullptr;
  bool child = style & WS_CHILD;
  if (child && !LiveWindow(parent)) return nullptr;
  auto object = std::make_unique<WindowObject>();
  WindowObject& w = *object;
  HWND hwnd = &w;
  w.cls = cls;
  w.proc = cls->proc;
  w.text = title && !IS_INTRESOURCE(title) ? title : "";
  w.exStyle = exStyle;
  w.instance = instance;
  w.serial = wm::Windows().NextSerial();
  w.extra.assign((cls->wndExtra + sizeof(LONG_PTR) - 1) / sizeof(LONG_PTR), 0);
  if (child) {
    w.parent = parent;
    w.id = reinterpret_cast<LONG_PTR>(menu);
    w.style = style;
  } else {
    w.parent = wm::Windows().Desktop();
    w.owner = parent && LiveWindow(parent) ? TopLevelOf(parent) : nullptr;
    w.menu = LiveMenu(menu) ? menu : nullptr;
    if (MenuObject* m = LiveMenu(menu)) m->barWindow = hwnd;
    // Overlapped windows always have a caption and clip their siblings.
    w.style = style | WS_CLIPSIBLINGS | ((style & WS_POPUP) ? 0 : WS_CAPTION);
    if (!(style & WS_POPUP)) {
      POINT p = DefaultPosition();
      if (x == CW_USEDEFAULT) x = p.x, y = p.y;
      if (width == CW_USEDEFAULT) width = wm::Screen().Config().width * 3 / 4, height = wm::Screen().Config().height * 3 / 4;
    }
  }
  bool visible = w.style & WS_VISIBLE;
  w.style &= ~WS_VISIBLE;
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) width = height = 0;
  w.rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
  CREATESTRUCT cs{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style),
                  title, className, exStyle};
  wm::Windows().Add(std::move(object));
  InsertChild(*LiveWindow(w.parent), hwnd, true);

  CBT_CREATEWND cbt{&cs, HWND_TOP};
  if (wm::Hooks().Call(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt))) {
    SendNcDestroyAndFree(hwnd);
    return nullptr;
  }
  if ((w.style & WS_THICKFRAME) || !(w.style & (WS_POPUP | WS_CHILD))) {
    MINMAXINFO mmi;
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if (!LiveWindow(hwnd)) return nullptr;
    LONG cw = std::clamp<LONG>(w.rect.right - w.rect.left, 0, mmi.ptMaxTrackSize.x);
    LONG ch = std::clamp<LONG>(w.rect.bottom - w.rect.top, 0, mmi.ptMaxTrackSize.y);
    w.rect.right = w.rect.left + cw;
    w.rect.bottom = w.rect.top + ch;
  }
  if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    SendNcDestroyAndFree(hwnd);
    return nullptr;
  }
  RECT calc = w.rect;
  SendMessage(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&calc));
  w.client = RECT{calc.left - w.rect.left, calc.top - w.rect.top, calc.right - w.rect.left, calc.bottom - w.rect.top};
  if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!LiveWindow(hwnd)) return nullptr;
  if (child || (w.style & WS_POPUP)) {
    SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w.client.right - w.client.left, w.client.bottom - w.client.top));
    if (LiveWindow(hwnd)) SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(w.rect.left + w.client.left, w.rect.top + w.client.top));
  } else {
    w.sizePending = true;  // sent at the first ShowWindow
  }
  if (!LiveWindow(hwnd)) return nullptr;
  if (child && !(exStyle & WS_EX_NOPARENTNOTIFY))
    SendMessage(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, static_cast<int>(w.id)), reinterpret_cast<LPARAM>(hwnd));
  BumpLayoutSerial();
  if (visible && LiveWindow(hwnd)) ShowWindow(hwnd, SW_SHOW);
  return LiveWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (!w || window == wm::Windows().Desktop() || w->destroying) return FALSE;
  if (wm::Hooks().Call(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(window), 0)) return FALSE;
  w->destroying = true;
  if (w->parent != wm::Windows().Desktop() && !(w->exStyle & WS_EX_NOPARENTNOTIFY))
    SendMessage(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, static_cast<int>(w->id)), reinterpret_cast<LPARAM>(window));
  // A child is hidden as ShowWindow hides it (WM_SHOWWINDOW first); a top-level window only
  // leaves the screen.
  if ((w->style & WS_VISIBLE) && w->parent != wm::Windows().Desktop())
    ShowWindow(window, SW_HIDE);
  else if (w->style & WS_VISIBLE)
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  if (!LiveWindow(window)) return TRUE;
  // Owned windows go first.
  std::vector<HWND> owned;
  for (HWND other : wm::Windows().OwnedBy(window))
    if (!other->destroying) owned.push_back(other);
  for (HWND o : owned) DestroyWindow(o);
  if (!LiveWindow(window)) return TRUE;
  if (IsSelfOrChild(wm::Focus().Captured(), window)) ReleaseCapture();
  if (wm::Focus().Active() == window) ActivateNextAfterLosing(window);
  if (IsSelfOrChild(wm::Focus().Focused(), window)) SetFocus(nullptr);
  ClipboardOwnerLeaving(window);
  SendDestroy(window);
  SendNcDestroyAndFree(window);
  BumpLayoutSerial();
  return TRUE;
}

BOOL IsWindow(HWND window) { return LiveWindow(window) ? TRUE : FALSE; }

BOOL IsChild(HWND parent, HWND window) {
  WindowObject* w = LiveWindow(window);
  while (w && (w->style & WS_CHILD)) {
    if (w->parent == parent) return TRUE;
    w = LiveWindow(w->parent);
  }
  return FALSE;
}

bool IsSelfOrChild(HWND window, HWND ancestor) { return window && (window == ancestor || IsChild(ancestor, window)); }

WindowObject* LiveWindow(HWND window) { return wm::Windows().Live(window); }

HWND GetDesktopWindow() {
  EnsureDesktop();
  return wm::Windows().Desktop();
}

HWND TopLevelOf(HWND window) {
  WindowObject* w = LiveWindow(window);
  while (w && (w->style & WS_CHILD) && LiveWindow(w->parent)) w = LiveWindow(w->parent);
  return w;
}

HWND MainWindow() {
  if (!wm::Windows().Desktop()) return nullptr;
  HWND oldest = nullptr;
  for (HWND top : wm::Windows().Desktop()->children)
    if (!top->owner && !top->destroying && (!oldest || top->serial < oldest->serial)) oldest = top;
  return oldest;
}

HWND GetParent(HWND window) {
  WindowObject* w = LiveWindow(window);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return w->parent;
  return w->owner;  // the owner, for top-level windows, as Windows answers
}

HWND GetAncestor(HWND window, UINT flags) {
  WindowObject* w = LiveWindow(window);
  if (!w || window == wm::Windows().Desktop()) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->parent;
    case GA_ROOT: return TopLevelOf(window);
    case GA_ROOTOWNER: {
      HWND root = TopLevelOf(window);
      while (LiveWindow(root) && LiveWindow(root)->owner) root = LiveWindow(root)->owner;
      return root;
    }
  }
  return nullptr;
}

HWND SetParent(HWND window, HWND parent) {
  WindowObject* w = LiveWindow(window);
  if (!parent) parent = wm::Windows().Desktop();
  WindowObject* p = LiveWindow(parent);
  if (!w || !p || window == parent || IsChild(window, parent)) return nullptr;
  HWND old = w->parent;
  bool visible = w->style & WS_VISIBLE;
  if (visible) ShowWindow(window, SW_HIDE);
  // The window keeps its position relative to its parent's client area.
  if (WindowObject* op = LiveWindow(old)) RemoveChild(*op, window);
  w->parent = parent;
  InsertChild(*p, window, true);
  if (parent == wm::Windows().Desktop()) w->style &= ~WS_CHILD;
  BumpLayoutSerial();
  if (visible) ShowWindow(window, SW_SHOWNA);
  return old;
}

HWND GetWindow(HWND window, UINT relation) {
  WindowObject* w = LiveWindow(window);
  if (!w) return nullptr;
  if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (relation == GW_OWNER) return w->owner;
  WindowObject* p = LiveWindow(w->parent);
  if (!p) return nullptr;
  auto& list = p->children;
  auto it = std::find(list.begin(), list.end(), window);
  switch (relation) {
    case GW_HWNDFIRST: return list.front();
    case GW_HWNDLAST: return list.back();
    case GW_HWNDNEXT: return it == list.end() || it + 1 == list.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == list.begin() || it == list.end() ? nullptr : *(it - 1);
  }
  return nullptr;
}

HWND GetTopWindow(HWND window) { return GetWindow(window ? window : GetDesktopWindow(), GW_CHILD); }
HWND GetNextWindow(HWND window, UINT relation) { return GetWindow(window, relation); }

namespace {

bool EnumDescendants(HWND parent, const WNDENUMPROC& proc, LPARAM param) {
  WindowObject* p = LiveWindow(parent);
  if (!p) return true;
  std::vector<HWND> children = p->children;
  for (HWND c : children) {
    if (!LiveWindow(c)) continue;
    if (!proc(c, param)) return false;
    if (!EnumDescendants(c, proc, param)) return false;
  }
  return true;
}

bool Matches(WindowObject* w, LPCSTR className, LPCSTR title) {
  if (className && FindClass(className) != w->cls) return false;
  return !title || w->text == title;
}

}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param) {
  if (!proc) return FALSE;
  EnumDescendants(parent ? parent : GetDesktopWindow(), proc, param);
  return TRUE;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param) {
  if (!proc) return FALSE;
  std::vector<HWND> tops = LiveWindow(GetDesktopWindow())->children;
  for (HWND w : tops)
    if (LiveWindow(w) && !proc(w, param)) break;
  return TRUE;
}

HWND FindWindowEx(HWND parent, HWND after, LPCSTR className, LPCSTR title) {
  WindowObject* p = LiveWindow(parent ? parent : GetDesktopWindow());
  if (!p) return nullptr;
  bool started = after == nullptr;
  for (HWND c : p->children) {
    if (!started) {
      started = c == after;
      continue;
    }
    if (Matches(c, className, title)) return c;
  }
  return nullptr;
}

HWND FindWindow(LPCSTR className, LPCSTR title) { return FindWindowEx(nullptr, nullptr, className, title); }

LONG_PTR GetWindowLongPtr(HWND window, int index) {
  WindowObject* w = LiveWindow(window);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE: return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    case GWLP_ID: return w->id;
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(GetParent(window));
  }
  if (index >= 0 && index % static_cast<int>(sizeof(LONG_PTR)) == 0 &&
      index / sizeof(LONG_PTR) < w->extra.size())
    return w->extra[index / sizeof(LONG_PTR)];
  return 0;
}

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
  WindowObject* w = LiveWindow(window);
  if (!w) return 0;
  LONG_PTR previous = GetWindowLongPtr(window, index);
  switch (index) {
    case GWL_STYLE: case GWL_EXSTYLE: {
      // The window hears of the change before and after, and may alter the new style.
      STYLESTRUCT change{static_cast<DWORD>(previous), static_cast<DWORD>(value)};
      SendMessage(window, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
      if (!LiveWindow(window)) return previous;
      (index == GWL_STYLE ? w->style : w->exStyle) = change.styleNew;
      BumpLayoutSerial();
      SendMessage(window, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
      return previous;
    }
    case GWLP_USERDATA: w->userData = value; return previous;
    case GWLP_ID: w->id = value; return previous;
    case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); return previous;
    case GWLP_HWNDPARENT:
      if (!(w->style & WS_CHILD)) w->owner = reinterpret_cast<HWND>(value);
      return previous;
  }
  if (index >= 0 && index % static_cast<int>(sizeof(LONG_PTR)) == 0 &&
      index / sizeof(LONG_PTR) < w->extra.size())
    w->extra[index / sizeof(LONG_PTR)] = value;
  return previous;
}

WNDPROC GetWindowProc(HWND window) {
  WindowObject* w = LiveWindow(window);
  return w ? w->proc : WNDPROC();
}

WNDPROC SetWindowProc(HWND window, WNDPROC proc) {
  WindowObject* w = LiveWindow(window);
  if (!w || !proc) return WNDPROC();
  WNDPROC previous = w->proc;
  w->proc = std::move(proc);
  return previous;
}

int GetWindowText(HWND window, LPSTR out, int size) {
  if (!out || size <= 0) return 0;
  return static_cast<int>(SendMessage(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(out)));
}

int GetWindowTextLength(HWND window) { return static_cast<int>(SendMessage(window, WM_GETTEXTLENGTH, 0, 0)); }

BOOL SetWindowText(HWND window, LPCSTR text) {
  return SendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetDlgCtrlID(HWND window) { return static_cast<int>(GetWindowLongPtr(window, GWLP_ID)); }

HWND GetDlgItem(HWND dialog, int id) {
  WindowObject* d = LiveWindow(dialog);
  if (!d) return nullptr;
  for (HWND c : d->children)
    if (c->id == id) return c;
  return nullptr;
}

BOOL SetProp(HWND window, LPCSTR name, void* data) {
  WindowObject* w = LiveWindow(window);
  if (!w || !name) return FALSE;
  w->props[Upper(name)] = data;
  return TRUE;
}

void* GetProp(HWND window, LPCSTR name) {
  WindowObject* w = LiveWindow(window);
  if (!w || !name) return nullptr;
  auto it = w->props.find(Upper(name));
  return it == w->props.end() ? nullptr : it->second;
}

void* RemoveProp(HWND window, LPCSTR name) {
  void* data = GetProp(window, name);
  if (data) LiveWindow(window)->props.erase(Upper(name));
  return data;
}

HMODULE GetModuleHandle(LPCSTR name) {
  if (!name) return ProgramModule();
  return nullptr;
}
