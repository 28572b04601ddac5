// The MDICLIENT window: children made, activated, maximised, arranged and destroyed as
// Windows does it, one message handler each.

#include "platform/user/MdiClient.h"

#include <algorithm>
#include <map>

#include "platform/rtl/Everlasting.h"
#include "platform/user/MdiScroll.h"
#include "platform/user/WindowArrange.h"

namespace {

constexpr DWORD kStandardChildStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_CAPTION |
                                      WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
// The bits of a child's MDICREATESTRUCT style a client without MDIS_ALLCHILDSTYLES takes.
constexpr DWORD kChosenChildStyle = WS_MINIMIZE | WS_MAXIMIZE | WS_HSCROLL | WS_VSCROLL;

std::map<HWND, std::shared_ptr<MdiClient>>& Clients() {
  static Everlasting<std::map<HWND, std::shared_ptr<MdiClient>>> clients;
  return *clients;
}

bool IsMdiChildWindow(HWND window) {
  WindowObject* w = LiveWindow(window);
  return w && (w->exStyle & WS_EX_MDICHILD) && (w->style & WS_CHILD) && !w->destroying;
}

bool IsShown(HWND window) { return LiveWindow(window) && (LiveWindow(window)->style & WS_VISIBLE); }

// The window, or one above it, is being destroyed: its children go with it.
bool IsGoing(HWND window) {
  for (WindowObject* w = LiveWindow(window); w; w = (w->style & WS_CHILD) ? LiveWindow(w->parent) : nullptr)
    if (w->destroying) return true;
  return false;
}

bool HasFocusInside(HWND window) {
  HWND focus = GetFocus();
  return focus && (focus == window || IsChild(window, focus));
}

}  // namespace

MdiClient::MdiClient(HWND client, const CLIENTCREATESTRUCT* create)
    : client_(client),
      frame_(GetParent(client)),
      windowMenu_(create ? create->hWindowMenu : nullptr),
      firstId_(create ? static_cast<LONG_PTR>(create->idFirstChild) : 0) {
  if (WindowObject* frame = LiveWindow(frame_)) frameTitle_ = frame->text;
}

MdiClient::~MdiClient() {
  for (HBITMAP bitmap : barBitmaps_) DeleteObject(bitmap);
}

std::shared_ptr<MdiClient> MdiClient::Of(HWND client) {
  auto it = Clients().find(client);
  return it != Clients().end() && LiveWindow(client) ? it->second : nullptr;
}

std::shared_ptr<MdiClient> MdiClient::OfChild(HWND child) {
  WindowObject* w = LiveWindow(child);
  return w && (w->style & WS_CHILD) ? Of(w->parent) : nullptr;
}

bool MdiClient::Owns(HWND window) const { return IsMdiChildWindow(window) && window->parent == client_; }

HWND MdiClient::Active() const { return LiveWindow(active_) && active_->parent == client_ ? active_ : nullptr; }

HWND MdiClient::Maximized() const {
  return LiveWindow(maximized_) && maximized_->parent == client_ && IsZoomed(maximized_) ? maximized_ : nullptr;
}

std::vector<HWND> MdiClient::Children() const {
  std::vector<HWND> children;
  if (WindowObject* c = LiveWindow(client_))
    for (HWND child : c->children)
      if (IsMdiChildWindow(child)) children.push_back(child);
  return children;
}

HWND MdiClient::ChildWithId(LONG_PTR id) const {
  for (HWND child : Children())
    if (child->id == id) return child;
  return nullptr;
}

// ---- Creation and destruction ----

HWND MdiClient::Create(const MDICREATESTRUCT& create, DWORD exStyle) {
  DWORD style = create.style;
  if (!(LiveWindow(client_)->style & MDIS_ALLCHILDSTYLES))
    style = kStandardChildStyle | WS_VISIBLE | (style & kChosenChildStyle);
  style |= WS_CHILD;
  // Made at its normal size, then shown minimised or maximised; a hidden child keeps no such
  // request.
  bool maximize = style & WS_MAXIMIZE, minimize = style & WS_MINIMIZE;
  style &= ~(WS_MAXIMIZE | WS_MINIMIZE);
  // A default place continues the cascade of the children already there.
  std::vector<HWND> children = Children();
  RECT slot = CascadeRect(ArrangeArea(), static_cast<int>(children.size()));
  int x = create.x == CW_USEDEFAULT ? slot.left : create.x;
  int y = create.y == CW_USEDEFAULT ? slot.top : create.y;
  int cx = create.cx == CW_USEDEFAULT ? slot.right - slot.left : create.cx;
  int cy = create.cy == CW_USEDEFAULT ? slot.bottom - slot.top : create.cy;
  LONG_PTR id = firstId_ + static_cast<LONG_PTR>(children.size());
  const void* outer = making_;
  making_ = &create;
  HWND child = CreateWindowEx(exStyle | WS_EX_MDICHILD, create.szClass, create.szTitle, style, x, y, cx, cy, client_,
                              reinterpret_cast<HMENU>(id), create.hOwner, const_cast<MDICREATESTRUCT*>(&create));
  making_ = outer;
  if (!child || !LiveWindow(client_)) return nullptr;
  if (IsShown(child) && maximize) ShowWindow(child, SW_SHOWMAXIMIZED);
  else if (IsShown(child) && minimize) ShowWindow(child, SW_SHOWMINNOACTIVE);
  if (!LiveWindow(child)) return nullptr;
  SendMessage(client_, WM_MDIREFRESHMENU, 0, 0);
  // A shown child becomes the active one.
  if (IsShown(child)) SendMessage(child, WM_CHILDACTIVATE, 0, 0);
  return LiveWindow(child) ? child : nullptr;
}

void MdiClient::Destroy(HWND child) {
  if (!Owns(child)) return;
  // The next child is active before this one goes, so the focus never rests in a dying window.
  if (child == Active()) ActivateAfterLosing(child);
  LONG_PTR id = child->id;
  HWND outer = destroying_;
  destroying_ = child;
  DestroyWindow(child);
  destroying_ = outer;
  Forget(child, id);
}

// A child destroyed without WM_MDIDESTROY: the client catches up while it is dying (unless
// the client goes too).
void MdiClient::ChildGone(HWND child) {
  if (child == destroying_ || !LiveWindow(child) || child->parent != client_ || IsGoing(client_)) return;
  if (child == active_) ActivateAfterLosing(child);
  Forget(child, child->id);
}

// The ids stay contiguous: the child with the last id takes the gone child's.
void MdiClient::Forget(HWND child, LONG_PTR id) {
  if (active_ == child) active_ = nullptr;
  if (maximized_ == child) {
    maximized_ = nullptr;
    RemoveChildButtonsFromMenuBar();
    UpdateFrameTitle();
  }
  LONG_PTR last = firstId_ + static_cast<LONG_PTR>(Children().size());
  if (id >= firstId_ && id < last)
    if (HWND moved = ChildWithId(last)) moved->id = id;
  RebuildWindowMenuList();
}

// ---- Activation ----

void MdiClient::Activate(HWND child) {
  if (!Owns(child)) return;
  SwitchTo(child, true);
}

void MdiClient::ActivateAfterLosing(HWND child) { SwitchTo(Neighbour(child, false), false); }

// The order Windows keeps: the old child is told first (WM_NCACTIVATE, WM_MDIACTIVATE), then
// the new one comes to the top, its frame is drawn active and it takes the focus through the
// client, and last it hears WM_MDIACTIVATE. A maximised old child hands the state on.
void MdiClient::SwitchTo(HWND child, bool restorePrevious) {
  HWND previous = Active();
  if (child == previous) return;
  if (child && !IsWindowEnabled(child)) return;
  bool frameActive = frame_ && GetActiveWindow() == frame_;
  bool handOver = child && previous && IsZoomed(previous);
  if (previous) {
    SendMessage(previous, WM_NCACTIVATE, FALSE, 0);
    SendMessage(previous, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(previous), reinterpret_cast<LPARAM>(child));
  }
  active_ = child;
  if (handOver && restorePrevious && LiveWindow(previous)) ShowWindow(previous, SW_RESTORE);
  if (child && LiveWindow(child)) {
    BringToTop(child);
    if (handOver && !IsZoomed(child)) ShowWindow(child, SW_MAXIMIZE);
  }
  RebuildWindowMenuList();
  if (!child || !LiveWindow(child) || active_ != child) {
    if (frameActive && previous && HasFocusInside(previous)) SetFocus(client_);
    return;
  }
  if (frameActive) {
    SendMessage(child, WM_NCACTIVATE, TRUE, 0);
    // The client passes the focus on; when it has it already, it is asked directly.
    if (GetFocus() == client_) FocusActive();
    else SetFocus(client_);
  }
  if (LiveWindow(child))
    SendMessage(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(previous), reinterpret_cast<LPARAM>(child));
}

void MdiClient::BringToTop(HWND child) {
  if (GetWindow(client_, GW_CHILD) != child)
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The shown, enabled child after (or before) `from` in the z-order, round the end.
HWND MdiClient::Neighbour(HWND from, bool previous, bool skipIconic) const {
  std::vector<HWND> order = Children();
  if (previous) std::reverse(order.begin(), order.end());
  auto start = std::find(order.begin(), order.end(), from);
  if (start != order.end()) std::rotate(order.begin(), start + 1, order.end());
  for (HWND child : order)
    if (child != from && IsShown(child) && IsWindowEnabled(child) && !(skipIconic && IsIconic(child))) return child;
  return nullptr;
}

// "Next" puts `from` behind all the others; "previous" brings the one at the bottom forward.
void MdiClient::Next(HWND from, bool previous) {
  if (!from) from = Active();
  if (!Owns(from)) return;
  HWND target = Neighbour(from, previous);
  if (!target) return;
  Activate(target);
  if (!previous && Active() == target && LiveWindow(from))
    SetWindowPos(from, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MdiClient::FocusActive() {
  HWND active = Active();
  if (active && IsShown(active) && !IsIconic(active)) SetFocus(active);
}

// A press anywhere in a child (its frame included) that is not the active one activates it,
// through the WM_CHILDACTIVATE of bringing it to the top.
void MdiClient::ActivateAt(POINT at) {
  for (HWND child : Children()) {
    if (!IsShown(child) || !PtInRect(&child->rect, at)) continue;
    if (child != Active()) SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return;
  }
}

// ---- Maximised children and the frame's title ----

RECT MdiClient::MaximizedChildRect(HWND child) const {
  RECT r;
  GetClientRect(client_, &r);
  if (WindowObject* w = LiveWindow(child)) AdjustWindowRectEx(&r, w->style & ~(WS_MAXIMIZE | WS_MINIMIZE), FALSE, w->exStyle);
  return r;
}

// Only the active child is ever maximised: activating another one hands the state on.
void MdiClient::ChildSized(HWND child, WPARAM kind) {
  if (kind == SIZE_MAXIMIZED && maximized_ != child) {
    maximized_ = child;
    MergeChildButtonsIntoMenuBar(child);
    UpdateFrameTitle();
  } else if (kind != SIZE_MAXIMIZED && maximized_ == child) {
    maximized_ = nullptr;
    RemoveChildButtonsFromMenuBar();
    UpdateFrameTitle();
  }
  if (kind != SIZE_MINIMIZED) return;
  // Minimising the active child activates the next one that is not minimised; with none it
  // stays active, and the client holds the focus for the keys.
  if (child == Active())
    if (HWND next = Neighbour(child, false, true)) SendMessage(next, WM_CHILDACTIVATE, 0, 0);
  if (HasFocusInside(child)) SetFocus(client_);
}

void MdiClient::ChildRetitled(HWND child) {
  if (child == Maximized()) UpdateFrameTitle();
  RebuildWindowMenuList();
}

void MdiClient::SetFrameTitle(const std::string& title) {
  frameTitle_ = title;
  UpdateFrameTitle();
}

// While a child is maximised its caption is hidden and its title joins the frame's:
// "Frame - [Child]".
void MdiClient::UpdateFrameTitle() {
  WindowObject* frame = LiveWindow(frame_);
  if (!frame) return;
  std::string text = frameTitle_;
  if (HWND child = Maximized(); child && !child->text.empty())
    text = frameTitle_.empty() ? "[" + child->text + "]" : frameTitle_ + " - [" + child->text + "]";
  if (frame->text != text) DefWindowProc(frame_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// ---- Menus ----

HMENU MdiClient::SetMenus(HMENU frameMenu, HMENU windowMenu) {
  HMENU old = GetMenu(frame_);
  if (windowMenu) windowMenu_ = windowMenu;  // the child list moves to the new window menu
  if (frameMenu && frameMenu != old) {
    RemoveChildButtonsFromMenuBar();
    SetMenu(frame_, frameMenu);
    if (HWND child = Maximized()) MergeChildButtonsIntoMenuBar(child);
  }
  RebuildWindowMenuList();
  return old;
}

HMENU MdiClient::RefreshMenu() {
  RebuildWindowMenuList();
  return GetMenu(frame_);
}

// The window menu (windowMenu_) ends with a separator and the visible children's titles
// ("&1 Title"), by id from firstId_, the active one checked. The list's items carry a mark in
// their item data, so the next rebuild finds exactly what it added.
void MdiClient::RebuildWindowMenuList() {
  constexpr ULONG_PTR kListMark = 0x4D444931;  // "MDI1"
  constexpr size_t kListed = 9;
  if (!IsMenu(windowMenu_)) return;
  for (int i = GetMenuItemCount(windowMenu_) - 1; i >= 0; --i) {
    MENUITEMINFO info;
    info.fMask = MIIM_DATA;
    if (GetMenuItemInfo(windowMenu_, static_cast<UINT>(i), TRUE, &info) && info.dwItemData == kListMark)
      RemoveMenu(windowMenu_, static_cast<UINT>(i), MF_BYPOSITION);
  }
  std::vector<HWND> listed;
  for (HWND child : Children())
    if (IsWindowVisible(child)) listed.push_back(child);
  std::sort(listed.begin(), listed.end(), [](HWND a, HWND b) { return a->id < b->id; });
  if (listed.size() > kListed) listed.resize(kListed);
  if (listed.empty()) return;
  auto append = [&](UINT type, UINT state, UINT id, const std::string& text) {
    MENUITEMINFO info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING;
    info.fType = type;
    info.fState = state;
    info.wID = id;
    info.dwItemData = kListMark;
    info.dwTypeData = const_cast<LPSTR>(text.c_str());
    InsertMenuItem(windowMenu_, static_cast<UINT>(GetMenuItemCount(windowMenu_)), TRUE, &info);
  };
  append(MFT_SEPARATOR, 0, 0, "");
  for (size_t i = 0; i < listed.size(); ++i) {
    std::string text = "&";
    text += std::to_string(i + 1);
    text += ' ';
    text += listed[i]->text;
    append(MFT_STRING, listed[i] == Active() ? MFS_CHECKED : 0, static_cast<UINT>(listed[i]->id), text);
  }
}

namespace {

constexpr ULONG_PTR kMergedMark = 0x4D444932;  // "MDI2"

// A picture for the bar, on the menu's colour, drawn by the callback.
template <class Draw>
HBITMAP BarPicture(int width, int height, Draw draw) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(bitmap));
  RECT all{0, 0, width, height};
  FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
  draw(dc, all);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

}  // namespace

// A maximised child's window-menu icon goes to the left end of the frame's menu bar (its
// system menu hangs from it) and its minimise, restore and close buttons to the right end,
// as commands the frame hands to the child; its own caption lies outside the client meanwhile.
void MdiClient::MergeChildButtonsIntoMenuBar(HWND child) {
  RemoveChildButtonsFromMenuBar();
  HMENU bar = GetMenu(frame_);
  HMENU system = GetSystemMenu(child, FALSE);
  if (!IsMenu(bar) || !system) return;
  int iconSize = GetSystemMetrics(SM_CXSMICON);
  HICON icon = reinterpret_cast<HICON>(SendMessage(child, WM_GETICON, ICON_SMALL2, 0));
  HBITMAP iconPicture = BarPicture(iconSize, iconSize, [&](HDC dc, const RECT& r) {
    if (icon) {
      DrawIconEx(dc, 0, 0, icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
    } else {  // the generic window picture the caption shows
      RECT frame{r.left + 1, r.top + 2, r.right - 1, r.bottom - 2};
      FillRect(dc, &frame, GetSysColorBrush(COLOR_WINDOW));
      FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWTEXT));
      RECT title{frame.left + 1, frame.top + 1, frame.right - 1, frame.top + 4};
      FillRect(dc, &title, GetSysColorBrush(COLOR_ACTIVECAPTION));
    }
  });
  barBitmaps_.push_back(iconPicture);
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_DATA | MIIM_ID;
  info.fType = MFT_BITMAP;
  info.hSubMenu = system;
  info.dwItemData = kMergedMark;
  info.dwTypeData = reinterpret_cast<LPSTR>(iconPicture);
  info.fMask |= MIIM_TYPE;
  InsertMenuItem(bar, 0, TRUE, &info);
  int w = GetSystemMetrics(SM_CXMENUSIZE) - 2, h = GetSystemMetrics(SM_CYMENUSIZE) - 4;
  bool first = true;
  for (UINT command : {SC_MINIMIZE, SC_RESTORE, SC_CLOSE}) {
    UINT kind = command == SC_MINIMIZE ? DFCS_CAPTIONMIN : command == SC_RESTORE ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONCLOSE;
    HBITMAP picture = BarPicture(w, h, [&](HDC dc, const RECT& r) {
      RECT button = r;
      DrawFrameControl(dc, &button, DFC_CAPTION, kind);
    });
    barBitmaps_.push_back(picture);
    MENUITEMINFO button;
    button.fMask = MIIM_TYPE | MIIM_ID | MIIM_DATA;
    button.fType = MFT_BITMAP | (first ? MFT_RIGHTJUSTIFY : 0);
    button.wID = command;
    button.dwItemData = kMergedMark;
    button.dwTypeData = reinterpret_cast<LPSTR>(picture);
    InsertMenuItem(bar, static_cast<UINT>(GetMenuItemCount(bar)), TRUE, &button);
    first = false;
  }
  DrawMenuBar(frame_);
}

void MdiClient::RemoveChildButtonsFromMenuBar() {
  HMENU bar = GetMenu(frame_);
  bool removed = false;
  for (int i = GetMenuItemCount(bar) - 1; i >= 0; --i) {
    MENUITEMINFO info;
    info.fMask = MIIM_DATA;
    if (GetMenuItemInfo(bar, static_cast<UINT>(i), TRUE, &info) && info.dwItemData == kMergedMark) {
      RemoveMenu(bar, static_cast<UINT>(i), MF_BYPOSITION);  // the child keeps its system menu
      removed = true;
    }
  }
  for (HBITMAP bitmap : barBitmaps_) DeleteObject(bitmap);
  barBitmaps_.clear();
  if (removed && IsWindow(frame_)) DrawMenuBar(frame_);
}

// ---- Arranging ----

std::vector<HWND> MdiClient::Arrangeable(bool skipDisabled) const {
  std::vector<HWND> windows;
  for (HWND child : Children())
    if (IsShown(child) && !IsIconic(child) && (!skipDisabled || IsWindowEnabled(child))) windows.push_back(child);
  return windows;
}

// The client area above the rows of icons, which are lined up first.
RECT MdiClient::ArrangeArea() {
  RECT area;
  GetClientRect(client_, &area);
  if (int icons = IconRowsHeight(client_)) {
    ArrangeIconicWindows(client_);
    area.bottom = std::max(area.top, area.bottom - icons);
  }
  return area;
}

// Tiles in z-order, the active child at the top left; a maximised child is restored first.
BOOL MdiClient::Tile(WPARAM how) {
  if (HWND child = Maximized()) ShowWindow(child, SW_RESTORE);
  std::vector<HWND> windows = Arrangeable(how & MDITILE_SKIPDISABLED);
  if (windows.empty()) return FALSE;
  std::vector<RECT> tiles = TileRects(ArrangeArea(), static_cast<int>(windows.size()), how & MDITILE_HORIZONTAL);
  for (size_t i = 0; i < windows.size(); ++i)
    if (LiveWindow(windows[i]))
      SetWindowPos(windows[i], nullptr, tiles[i].left, tiles[i].top, tiles[i].right - tiles[i].left,
                   tiles[i].bottom - tiles[i].top, SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

// The stack keeps its z-order (MDITILE_ZORDER is how it always goes): the bottom child at the
// top left corner, the active one last.
BOOL MdiClient::Cascade(WPARAM how) {
  if (HWND child = Maximized()) ShowWindow(child, SW_RESTORE);
  std::vector<HWND> windows = Arrangeable(how & MDITILE_SKIPDISABLED);
  if (windows.empty()) return FALSE;
  RECT area = ArrangeArea();
  for (size_t k = 0; k < windows.size(); ++k) {
    HWND window = windows[windows.size() - 1 - k];
    RECT r = CascadeRect(area, static_cast<int>(k));
    if (LiveWindow(window))
      SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return TRUE;
}

// A maximised child follows the client's size; icons keep their distance from its bottom.
void MdiClient::Resized(int width, int height) {
  int dy = height - size_.cy;
  size_ = SIZE{width, height};
  if (dy)
    for (HWND child : Children())
      if (IsIconic(child))
        SetWindowPos(child, nullptr, child->rect.left, child->rect.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (HWND child = Maximized()) {
    RECT r = MaximizedChildRect(child);
    SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// ---- The window procedure ----

namespace {

LRESULT OnCreate(HWND window, LPARAM lParam) {
  auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
  auto* create = cs ? static_cast<const CLIENTCREATESTRUCT*>(cs->lpCreateParams) : nullptr;
  Clients()[window] = std::make_shared<MdiClient>(window, create);
  return 0;
}

bool IsPress(WPARAM event) {
  UINT m = LOWORD(event);
  return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN;
}

LRESULT MdiClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      // The bars show only when children reach beyond the edges.
      if (WindowObject* w = LiveWindow(window)) {
        RememberMdiScrollBars(window, w->style);
        w->style &= ~(WS_HSCROLL | WS_VSCROLL);
      }
      return DefWindowProc(window, message, wParam, lParam);
    case WM_CREATE: return OnCreate(window, lParam);
    case WM_NCDESTROY:
      ForgetMdiScrollBars(window);
      Clients().erase(window);
      return DefWindowProc(window, message, wParam, lParam);
  }
  std::shared_ptr<MdiClient> client = MdiClient::Of(window);
  if (!client) return DefWindowProc(window, message, wParam, lParam);
  HWND child = reinterpret_cast<HWND>(wParam);
  switch (message) {
    case WM_MDICREATE:
      if (!lParam) return 0;
      return reinterpret_cast<LRESULT>(client->Create(*reinterpret_cast<const MDICREATESTRUCT*>(lParam), 0));
    case WM_MDIDESTROY: client->Destroy(child); return 0;
    case WM_MDIACTIVATE: client->Activate(child); return 0;
    case WM_MDIGETACTIVE:
      if (lParam) *reinterpret_cast<BOOL*>(lParam) = client->Maximized() && client->Maximized() == client->Active();
      return reinterpret_cast<LRESULT>(client->Active());
    case WM_MDINEXT: client->Next(child, lParam != 0); return 0;
    case WM_MDIMAXIMIZE:
      if (client->Owns(child)) ShowWindow(child, SW_MAXIMIZE);
      return 0;
    case WM_MDIRESTORE:
      if (client->Owns(child) && (IsIconic(child) || IsZoomed(child))) ShowWindow(child, SW_RESTORE);
      return 0;
    case WM_MDITILE: return client->Tile(wParam);
    case WM_MDICASCADE: return client->Cascade(wParam);
    case WM_MDIICONARRANGE: ArrangeIconicWindows(window); return 0;
    case WM_MDISETMENU:
      return reinterpret_cast<LRESULT>(client->SetMenus(reinterpret_cast<HMENU>(wParam), reinterpret_cast<HMENU>(lParam)));
    case WM_MDIREFRESHMENU: return reinterpret_cast<LRESULT>(client->RefreshMenu());
    case WM_SETFOCUS: client->FocusActive(); return 0;
    case WM_SIZE:
      client->Resized(LOWORD(lParam), HIWORD(lParam));
      ScheduleMdiScrollRanges(window);
      return 0;
    case WM_HSCROLL: case WM_VSCROLL: ScrollMdiChildren(window, message, wParam); return 0;
    case kMdiCalcChildScroll: CalcMdiScrollRanges(window); return 0;
    case WM_PARENTNOTIFY:
      if (IsPress(wParam)) client->ActivateAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

void RegisterMdiClientClass() {
  WNDCLASS wc;
  wc.lpfnWndProc = MdiClientProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_APPWORKSPACE + 1));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "MDICLIENT";
  RegisterClass(&wc);
}
