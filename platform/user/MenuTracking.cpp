// The menu loop: the menu bar and popup menus tracked by mouse and keyboard until the user
// chooses an item or backs out. Popups are top-most popup windows of the "#32768" class;
// the loop holds the capture, so every mouse message comes to it with its screen point.

#include <algorithm>
#include <cctype>

#include "platform/user/MenuObject.h"

void PassPressOn(const MSG& press);

namespace {

constexpr const char* kPopupClass = "#32768";
constexpr const char* kMenuProp = "MenuHandle";
constexpr const char* kOwnerProp = "MenuOwner";

LRESULT PopupMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      PaintPopup(GetProp(window, kMenuProp), static_cast<HWND>(GetProp(window, kOwnerProp)), dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

// The arrow keys go round the bar and the system menu: one loop ends asking for the other.
enum Switch { kNoSwitch, kToSystem, kToBarFirst, kToBarLast };

bool HasSystemMenu(HWND window) { return (GetWindowLong(window, GWL_STYLE) & WS_SYSMENU) != 0; }
bool HasBar(HWND window) {
  MenuObject* m = LiveMenu(GetMenu(window));
  return m && !m->items.empty();
}

struct Level {
  HMENU menu = nullptr;
  HWND window = nullptr;  // the popup; null for the bar
  int selected = -1;
};

class MenuTracker;
MenuTracker*& Current() {
  static MenuTracker* current = nullptr;
  return current;
}

class MenuTracker {
public:
  // The bar of owner (bar true) or a popup menu; system: the popup is owner's system menu.
  MenuTracker(HWND owner, UINT flags, bool bar, bool system)
      : owner_(owner), flags_(flags), bar_(bar), system_(system) {
    previous_ = Current();
    Current() = this;
  }
  ~MenuTracker() {
    flags_ |= TPM_NONOTIFY;  // nothing is sent while an exception unwinds through here
    CloseAll();
    if (bar_ && !levels_.empty()) {
      if (MenuObject* m = LiveMenu(levels_[0].menu)) {
        for (MenuItem& item : m->items) item.state &= ~MFS_HILITE;
        m->barOpen = false;
      }
      if (IsWindow(owner_)) RepaintMenuBar(owner_);
    }
    if (capture_ && GetCapture() == capture_) ReleaseCapture();
    Current() = previous_;
  }
  MenuTracker(const MenuTracker&) = delete;
  MenuTracker& operator=(const MenuTracker&) = delete;

  HWND Owner() const { return owner_; }
  // The system menu was opened by a click on the caption icon: a second click there soon
  // after (a double click) closes the window.
  void OpenedFromIcon(const RECT& icon) {
    fromIcon_ = true;
    icon_ = icon;
    openedAt_ = GetMessageTime();
  }
  Switch SwitchTo() const { return switchTo_; }
  void End() { done_ = true; }

  // Starts the loop: the bar's item (or -1 for none) selected, its popup open or not; or
  // the popup at a screen point with its alignment.
  bool BeginBar(HMENU menu, int item, bool open, bool selectFirst) {
    Enter(menu);
    levels_.push_back(Level{menu, nullptr, -1});
    if (item >= 0) {
      Select(0, item, false);
      if (open) OpenSelected(selectFirst);
    }
    return true;
  }
  bool BeginPopup(HMENU menu, POINT at, const RECT* exclude) {
    Enter(menu);
    if (exclude) opener_ = *exclude;
    return Open(menu, 0, at, exclude, false);
  }

  // Runs until a choice or a cancel; answers the chosen id (0 for none).
  UINT Run() {
    MSG msg;
    while (!done_ && IsWindow(owner_) && !levels_.empty()) {
      if (capture_ && GetCapture() != capture_) break;  // someone took the mouse away
      if (!GetMessage(&msg, nullptr, 0, 0)) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop must see it too
        break;
      }
      if (CallMsgFilter(&msg, MSGF_MENU)) continue;
      Handle(msg);
    }
    return chosen_;
  }

  void Finish() {
    CloseAll();
    if (bar_ && !levels_.empty()) {
      if (MenuObject* m = LiveMenu(levels_[0].menu)) {
        for (MenuItem& item : m->items) item.state &= ~MFS_HILITE;
        m->barOpen = false;
      }
      levels_[0].selected = -1;
      if (IsWindow(owner_)) RepaintMenuBar(owner_);
    }
    if (capture_ && GetCapture() == capture_) ReleaseCapture();
    capture_ = nullptr;
    if (Notify()) {
      SendMessage(owner_, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
      SendMessage(owner_, WM_EXITMENULOOP, bar_ ? FALSE : TRUE, 0);
    }
    if (passOn_) PassPressOn(press_);
    passOn_ = false;
  }
  bool ChoseSystemItem() const { return chosenSystem_; }
  // The window whose system menu the choice came from (an MDI child's, shown in the frame's bar).
  HWND SystemOf() const { return systemOf_; }
  bool Chosen() const { return hasChoice_; }
  POINT ChosenAt() const { return chosenAt_; }

private:
  bool Notify() const { return !(flags_ & TPM_NONOTIFY) && IsWindow(owner_); }

  void Enter(HMENU menu) {
    if (Notify()) {
      SendMessage(owner_, WM_ENTERMENULOOP, bar_ ? FALSE : TRUE, 0);
      SendMessage(owner_, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    }
    capture_ = owner_;
    SetCapture(capture_);
  }

  bool IsSystem(HMENU menu) const {
    MenuObject* m = LiveMenu(menu);
    return m && m->systemOf;
  }

  // Opens a popup with its top-left at a screen point (kept on the screen: a popup that
  // would run off the right or the bottom opens on the other side of what it came from).
  bool Open(HMENU menu, int indexInParent, POINT at, const RECT* exclude, bool beside) {
    // The system menu's states follow the window's before the program sees them.
    if (MenuObject* m = LiveMenu(menu); m && m->systemOf) UpdateSystemMenu(m->systemOf, menu);
    if (Notify())
      SendMessage(owner_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(indexInParent, IsSystem(menu) ? 1 : 0));
    MenuObject* m = LiveMenu(menu);
    if (!m || m->popupWindow || done_) return false;
    LayOutPopup(menu, owner_);
    m = LiveMenu(menu);
    if (!m || m->items.empty()) return false;
    int width = m->size.cx, height = m->size.cy;
    int x = at.x, y = at.y;
    if (levels_.empty() || !beside) {
      if (flags_ & TPM_CENTERALIGN) x -= width / 2;
      else if (flags_ & TPM_RIGHTALIGN) x -= width;
      if (flags_ & TPM_VCENTERALIGN) y -= height / 2;
      else if (flags_ & TPM_BOTTOMALIGN) y -= height;
    }
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    if (x + width > screenW) x = (beside && exclude) ? exclude->left - width : screenW - width;
    if (y + height > screenH) y = (!beside && exclude) ? exclude->top - height : screenH - height;
    x = std::max(0, x);
    y = std::max(0, y);
    HWND popup = CreateWindowEx(WS_EX_TOPMOST, kPopupClass, "", WS_POPUP, x, y, width, height, owner_, nullptr,
                                nullptr, nullptr);
    if (!popup) return false;
    SetProp(popup, kMenuProp, menu);
    SetProp(popup, kOwnerProp, owner_);
    if (MenuObject* live = LiveMenu(menu)) live->popupWindow = popup;
    levels_.push_back(Level{menu, popup, -1});
    ShowWindow(popup, SW_SHOWNA);
    UpdateWindow(popup);
    return true;
  }

  // Closes every popup deeper than the level.
  void CloseTo(size_t keep) { Close(keep + 1); }
  // Closes every popup, the root popup of TrackPopupMenu too; the bar stays.
  void CloseAll() { Close(bar_ ? 1 : 0); }
  void Close(size_t keepLevels) {
    while (levels_.size() > keepLevels) {
      Level level = levels_.back();
      levels_.pop_back();
      if (MenuObject* m = LiveMenu(level.menu)) {
        for (MenuItem& item : m->items) item.state &= ~MFS_HILITE;
        m->popupWindow = nullptr;
      }
      if (IsWindow(level.window)) DestroyWindow(level.window);
      if (Notify())
        SendMessage(owner_, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(level.menu), MAKELPARAM(0, IsSystem(level.menu) ? MF_SYSMENU : 0));
      if (levels_.empty()) break;
    }
    if (bar_ && levels_.size() == 1) {
      if (MenuObject* m = LiveMenu(levels_[0].menu); m && m->barOpen) {
        m->barOpen = false;
        if (IsWindow(owner_)) RepaintMenuBar(owner_);
      }
    }
  }

  void Repaint(const Level& level) {
    if (level.window) {
      InvalidateRect(level.window, nullptr, TRUE);
      UpdateWindow(level.window);
    } else if (IsWindow(owner_)) {
      RepaintMenuBar(owner_);
    }
  }

  void Select(size_t levelIndex, int item, bool byMouse) {
    Level& level = levels_[levelIndex];
    MenuObject* m = LiveMenu(level.menu);
    if (!m) return;
    if (item >= static_cast<int>(m->items.size())) item = -1;
    if (level.selected == item) return;
    for (MenuItem& it : m->items) it.state &= ~MFS_HILITE;
    level.selected = item;
    if (item >= 0) m->items[static_cast<size_t>(item)].state |= MFS_HILITE;
    Repaint(level);
    if (Notify() && item >= 0) {
      const MenuItem& it = m->items[static_cast<size_t>(item)];
      UINT flagsOut = (it.state & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_DEFAULT)) | MF_HILITE |
                      (it.type & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR)) | (it.submenu ? MF_POPUP : 0) |
                      (m->systemOf ? MF_SYSMENU : 0) | (byMouse ? MF_MOUSESELECT : 0);
      UINT idOut = it.submenu ? static_cast<UINT>(item) : it.id;
      SendMessage(owner_, WM_MENUSELECT, MAKEWPARAM(idOut, flagsOut), reinterpret_cast<LPARAM>(level.menu));
    }
  }

  // Opens the submenu of the deepest level's selected item (beside it, or below a bar item).
  bool OpenSelected(bool selectFirst) {
    size_t at = levels_.size() - 1;
    Level level = levels_[at];
    MenuObject* m = LiveMenu(level.menu);
    if (!m || level.selected < 0) return false;
    const MenuItem& item = m->items[static_cast<size_t>(level.selected)];
    if (!item.submenu || item.Grayed()) return false;
    HMENU sub = item.submenu;
    RECT r = item.rect;
    RECT origin;
    if (level.window) GetWindowRect(level.window, &origin);
    else GetWindowRect(owner_, &origin);
    OffsetRect(&r, origin.left, origin.top);
    POINT p = level.window ? POINT{r.right - kPopupFrame, r.top - kPopupFrame} : POINT{r.left, r.bottom};
    if (!level.window) {
      m->barOpen = true;
      RepaintMenuBar(owner_);
    }
    if (!Open(sub, level.selected, p, &r, level.window != nullptr)) {
      if (!level.window && levels_.size() == 1)
        if (MenuObject* bar = LiveMenu(level.menu)) bar->barOpen = false;
      return false;
    }
    if (selectFirst) MoveSelection(levels_.size() - 1, +1);
    return true;
  }

  // Moves the selection up or down, over separators, round the ends.
  void MoveSelection(size_t levelIndex, int step) {
    Level& level = levels_[levelIndex];
    MenuObject* m = LiveMenu(level.menu);
    if (!m || m->items.empty()) return;
    int count = static_cast<int>(m->items.size());
    int i = level.selected;
    for (int tries = 0; tries < count; ++tries) {
      i = i < 0 ? (step > 0 ? 0 : count - 1) : (i + step + count) % count;
      if (!m->items[static_cast<size_t>(i)].Separator()) {
        Select(levelIndex, i, false);
        return;
      }
    }
  }

  void Choose(size_t levelIndex, int item) {
    MenuObject* m = LiveMenu(levels_[levelIndex].menu);
    if (!m) return;
    const MenuItem& it = m->items[static_cast<size_t>(item)];
    if (it.Separator() || it.Grayed()) return;
    if (it.submenu) {
      Select(levelIndex, item, false);
      if (levelIndex + 1 == levels_.size()) OpenSelected(true);
      return;
    }
    chosen_ = it.id;
    hasChoice_ = true;
    chosenSystem_ = m->systemOf != nullptr;
    systemOf_ = m->systemOf;
    done_ = true;
  }

  // Where a screen point falls: the deepest level whose popup (or bar item) holds it, and
  // the item there (-1 between items). False when it is on no menu.
  bool HitTest(POINT p, size_t& levelIndex, int& item) const {
    for (size_t i = levels_.size(); i-- > 0;) {
      const Level& level = levels_[i];
      MenuObject* m = LiveMenu(level.menu);
      if (!m) continue;
      RECT origin;
      if (level.window) {
        GetWindowRect(level.window, &origin);
        if (!PtInRect(&origin, p)) continue;
      } else {
        GetWindowRect(owner_, &origin);
      }
      levelIndex = i;
      item = -1;
      for (size_t k = 0; k < m->items.size(); ++k) {
        RECT r = m->items[k].rect;
        OffsetRect(&r, origin.left, origin.top);
        if (PtInRect(&r, p)) item = static_cast<int>(k);
      }
      if (level.window || item >= 0) return true;
    }
    return false;
  }

  void OnMouseMove(POINT p) {
    size_t at;
    int item;
    if (!HitTest(p, at, item)) {
      // Off the menus: the deepest popup loses its highlight unless a submenu hangs from it.
      if (levels_.back().window && levels_.size() >= 1) Select(levels_.size() - 1, -1, true);
      return;
    }
    if (item < 0) return;
    MenuObject* m = LiveMenu(levels_[at].menu);
    if (!levels_[at].window) {  // the bar: a pointer on another item moves an open menu there
      if (item == levels_[at].selected) return;
      bool open = levels_.size() > 1;
      if (!open && !keyboardBar_) return;
      CloseTo(at);
      Select(at, item, true);
      if (open) OpenSelected(false);
      return;
    }
    if (item != levels_[at].selected) {
      CloseTo(at);
      Select(at, item, true);
      if (m && m->items[static_cast<size_t>(item)].submenu) OpenSelected(false);
    } else if (levels_.size() > at + 1) {
      CloseTo(at + 1);  // back on the parent item: the grandchildren close
    }
  }

  void OnButtonDown(POINT p, DWORD time) {
    if (fromIcon_ && PtInRect(&icon_, p) && time - openedAt_ <= GetDoubleClickTime()) {
      chosen_ = SC_CLOSE;
      hasChoice_ = chosenSystem_ = true;
      systemOf_ = owner_;
      done_ = true;
      return;
    }
    size_t at;
    int item;
    if (!HitTest(p, at, item)) {
      // A click off the menus closes them and then goes on to where it was; on what opened
      // the menu (the caption icon, a drop-down button) it only closes it.
      done_ = true;
      passOn_ = !PtInRect(&opener_, p) && !(fromIcon_ && PtInRect(&icon_, p));
      return;
    }
    if (!levels_[at].window && item >= 0) {
      if (item == levels_[at].selected && levels_.size() > 1) {
        done_ = true;  // the open bar item again: the menu closes
        return;
      }
      CloseTo(at);
      Select(at, item, true);
      OpenSelected(false);
    }
  }

  void OnButtonUp(POINT p) {
    size_t at;
    int item;
    if (!HitTest(p, at, item) || item < 0) return;
    if (!levels_[at].window) {  // a bar item that is a command of its own
      MenuObject* m = LiveMenu(levels_[at].menu);
      if (!m || item != levels_[at].selected || m->items[static_cast<size_t>(item)].submenu) return;
    }
    Choose(at, item);
  }

  void OnKey(WPARAM vk) {
    size_t deepest = levels_.size() - 1;
    bool inBarOnly = bar_ && deepest == 0;
    Level& level = levels_[deepest];
    switch (vk) {
      case VK_ESCAPE:
        if (deepest == 0) done_ = true;
        else CloseTo(deepest - 1);
        return;
      case VK_UP: case VK_DOWN:
        if (inBarOnly) OpenSelected(true);
        else MoveSelection(deepest, vk == VK_DOWN ? +1 : -1);
        return;
      case VK_RETURN:
        if (inBarOnly) {
          if (level.selected >= 0) Choose(0, level.selected);
        } else if (level.selected >= 0) {
          MenuObject* m = LiveMenu(level.menu);
          if (m && m->items[static_cast<size_t>(level.selected)].Grayed()) MessageBeep(0);
          else Choose(deepest, level.selected);
        }
        return;
      case VK_LEFT:
        if (deepest >= (bar_ ? 2u : 1u)) CloseTo(deepest - 1);
        else if (bar_) MoveBar(-1);
        else if (system_ && HasBar(owner_)) SwitchAway(kToBarLast);
        return;
      case VK_RIGHT: {
        MenuObject* m = LiveMenu(level.menu);
        if (!inBarOnly && m && level.selected >= 0 && m->items[static_cast<size_t>(level.selected)].submenu &&
            OpenSelected(true))
          return;
        if (bar_) MoveBar(+1);
        else if (system_ && deepest == 0 && HasBar(owner_)) SwitchAway(kToBarFirst);
        return;
      }
    }
  }

  // The next bar item to the left or right; an open menu moves with it.
  void SwitchAway(Switch to) {
    switchTo_ = to;
    done_ = true;
  }

  void MoveBar(int step) {
    MenuObject* m = LiveMenu(levels_[0].menu);
    if (!m || m->items.empty()) return;
    // Past either end of the bar lies the system menu, when the window has one.
    int i = levels_[0].selected + step;
    while (i >= 0 && i < static_cast<int>(m->items.size()) && m->items[static_cast<size_t>(i)].Separator()) i += step;
    if ((i < 0 || i >= static_cast<int>(m->items.size())) && HasSystemMenu(owner_)) {
      SwitchAway(kToSystem);
      return;
    }
    bool open = levels_.size() > 1;
    CloseTo(0);
    MoveSelection(0, step);
    if (open) OpenSelected(true);
  }

  void OnMnemonic(char c) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t deepest = levels_.size() - 1;
    Level& level = levels_[deepest];
    MenuObject* m = LiveMenu(level.menu);
    if (!m) return;
    std::vector<int> matches;
    for (size_t i = 0; i < m->items.size(); ++i)
      if (!m->items[i].Separator() && MenuMnemonic(m->items[i].text) == c) matches.push_back(static_cast<int>(i));
    if (matches.size() == 1) {
      int item = matches[0];
      if (!level.window) {  // a bar item opens (or, with no menu of its own, is chosen)
        CloseTo(0);
        Choose(0, item);
      } else if (m->items[static_cast<size_t>(item)].Grayed()) {
        Select(deepest, item, false);
      } else {
        Choose(deepest, item);
      }
      return;
    }
    if (matches.size() > 1) {  // several share the letter: the next of them is selected
      auto next = std::upper_bound(matches.begin(), matches.end(), level.selected);
      Select(deepest, next == matches.end() ? matches[0] : *next, false);
      return;
    }
    UINT kind = (level.window ? MF_POPUP : 0) | (m->systemOf ? MF_SYSMENU : 0);
    LRESULT answer = SendMessage(owner_, WM_MENUCHAR, MAKEWPARAM(static_cast<unsigned char>(c), kind),
                                 reinterpret_cast<LPARAM>(level.menu));
    if (levels_.size() <= deepest) return;
    switch (HIWORD(answer)) {
      case MNC_CLOSE: done_ = true; break;
      case MNC_EXECUTE:
        if (LOWORD(answer) < m->items.size()) Choose(deepest, LOWORD(answer));
        break;
      case MNC_SELECT:
        if (LOWORD(answer) < m->items.size()) Select(deepest, LOWORD(answer), false);
        break;
      default: MessageBeep(0);
    }
  }

  void Handle(MSG& msg) {
    switch (msg.message) {
      case WM_MOUSEMOVE: case WM_NCMOUSEMOVE: OnMouseMove(msg.pt); chosenAt_ = msg.pt; return;
      case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN:
      case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK:
        menuKeyDown_ = false;
        OnButtonDown(msg.pt, msg.time);
        if (passOn_) press_ = msg;
        return;
      case WM_LBUTTONUP: case WM_NCLBUTTONUP: OnButtonUp(msg.pt); return;
      case WM_RBUTTONUP: case WM_NCRBUTTONUP:
        if (!bar_ && (flags_ & TPM_RIGHTBUTTON)) OnButtonUp(msg.pt);
        return;
      case WM_KEYDOWN: case WM_SYSKEYDOWN:
        chosenAt_ = POINT{};
        keyboardBar_ = true;
        if (msg.wParam == VK_MENU || msg.wParam == VK_F10) {
          menuKeyDown_ = !(msg.lParam & (1 << 30));
          return;
        }
        menuKeyDown_ = false;
        if ((msg.wParam >= 'A' && msg.wParam <= 'Z') || (msg.wParam >= '0' && msg.wParam <= '9')) {
          OnMnemonic(static_cast<char>(msg.wParam));
          return;
        }
        OnKey(msg.wParam);
        return;
      case WM_KEYUP: case WM_SYSKEYUP:
        // Alt or F10 pressed and released alone leaves the menus.
        if ((msg.wParam == VK_MENU || msg.wParam == VK_F10) && menuKeyDown_) done_ = true;
        menuKeyDown_ = false;
        return;
      case WM_CHAR: case WM_SYSCHAR:
        // Letters and digits came as keys; other characters of the layout are mnemonics too.
        if (msg.wParam > 0x20 && msg.wParam < 0x7F && !std::isalnum(static_cast<int>(msg.wParam)))
          OnMnemonic(static_cast<char>(msg.wParam));
        return;
      case WM_MOUSEWHEEL: case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: case WM_DEADCHAR:
      case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDBLCLK:
        return;
    }
    DispatchMessage(&msg);
  }

  HWND owner_;
  UINT flags_;
  bool bar_;
  bool system_;
  std::vector<Level> levels_;
  HWND capture_ = nullptr;
  bool done_ = false;
  UINT chosen_ = 0;
  bool hasChoice_ = false;
  bool chosenSystem_ = false;
  HWND systemOf_ = nullptr;
  POINT chosenAt_{};
  bool menuKeyDown_ = false;
  bool keyboardBar_ = false;  // entered or moved by keys: the bar follows the pointer too
  bool passOn_ = false;       // the loop ended on a press off the menus, kept in press_
  MSG press_{};
  RECT opener_{};  // the rectangle a popup was opened beside, kept clear by it
  MenuTracker* previous_ = nullptr;
  Switch switchTo_ = kNoSwitch;
  bool fromIcon_ = false;
  RECT icon_{};
  DWORD openedAt_ = 0;
};

// After the loop: the choice goes to the window, a system command or a command.
void Deliver(HWND owner, MenuTracker& tracker, UINT id) {
  if (!tracker.Chosen() || !IsWindow(owner)) return;
  if (tracker.ChoseSystemItem()) {
    POINT p = tracker.ChosenAt();
    HWND target = IsWindow(tracker.SystemOf()) ? tracker.SystemOf() : owner;
    PostMessage(target, WM_SYSCOMMAND, id, MAKELPARAM(p.x, p.y));
  } else {
    PostMessage(owner, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  }
}

// The caption icon of a window, in screen coordinates: where its system menu opens below.
RECT SystemIconRect(HWND window) {
  RECT wr;
  GetWindowRect(window, &wr);
  WindowObject* w = LiveWindow(window);
  int frame = (w->style & WS_THICKFRAME) ? GetSystemMetrics(SM_CXFRAME)
              : (w->style & (WS_DLGFRAME | WS_BORDER)) ? GetSystemMetrics(SM_CXDLGFRAME) : 0;
  int caption = GetSystemMetrics(SM_CYCAPTION);
  if (w->style & WS_MINIMIZE) return RECT{wr.left, wr.top, wr.left + caption, wr.bottom};
  return RECT{wr.left + frame, wr.top + frame, wr.left + frame + caption, wr.top + frame + caption - 1};
}

// The system menu below the caption icon, or at a point (a right click on the caption).
Switch RunSystemMenu(HWND window, const POINT* at = nullptr, bool byIconClick = false) {
  HMENU menu = GetSystemMenu(window, FALSE);
  if (!menu || Current()) return kNoSwitch;
  RECT icon = SystemIconRect(window);
  MenuTracker tracker(window, at ? TPM_RIGHTBUTTON : TPM_LEFTALIGN, false, true);
  if (byIconClick) tracker.OpenedFromIcon(icon);
  if (!tracker.BeginPopup(menu, at ? *at : POINT{icon.left, icon.bottom}, at ? nullptr : &icon)) {
    tracker.Finish();
    return kNoSwitch;
  }
  UINT id = tracker.Run();
  tracker.Finish();
  Deliver(window, tracker, id);
  return tracker.SwitchTo();
}

Switch RunBar(HWND window, HMENU menu, int item, bool open, bool selectFirst) {
  MenuTracker tracker(window, 0, true, false);
  tracker.BeginBar(menu, item, open, selectFirst);
  UINT id = tracker.Run();
  tracker.Finish();
  Deliver(window, tracker, id);
  return tracker.SwitchTo();
}

// Goes on into the bar or the system menu while the arrow keys ask for the other.
void FollowSwitches(HWND window, Switch next) {
  for (int guard = 0; next != kNoSwitch && IsWindow(window) && guard < 1000; ++guard) {
    if (next == kToSystem) {
      next = RunSystemMenu(window);
      continue;
    }
    HMENU bar = GetMenu(window);
    MenuObject* m = LiveMenu(bar);
    if (!m || m->items.empty()) return;
    int item = next == kToBarFirst ? 0 : static_cast<int>(m->items.size()) - 1;
    int step = next == kToBarFirst ? 1 : -1;
    while (item >= 0 && item < static_cast<int>(m->items.size()) && m->items[static_cast<size_t>(item)].Separator())
      item += step;
    if (item < 0 || item >= static_cast<int>(m->items.size())) return;
    next = RunBar(window, bar, item, true, true);
  }
}

void TrackSystemMenu(HWND window, bool byIconClick = false) {
  FollowSwitches(window, RunSystemMenu(window, nullptr, byIconClick));
}

}  // namespace

void TrackSystemMenuAt(HWND window, POINT screen) {
  if (IsWindow(window)) FollowSwitches(window, RunSystemMenu(window, &screen));
}

void RegisterPopupMenuClass() {
  WNDCLASS cls;
  cls.style = CS_SAVEBITS;
  cls.lpfnWndProc = &PopupMenuProc;
  cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
  cls.lpszClassName = kPopupClass;
  RegisterClass(&cls);
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params) {
  if (!LiveMenu(menu) || !IsWindow(owner) || Current()) return FALSE;
  MenuTracker tracker(owner, flags, false, false);
  if (!tracker.BeginPopup(menu, POINT{x, y}, params ? &params->rcExclude : nullptr)) {
    tracker.Finish();
    return FALSE;
  }
  UINT id = tracker.Run();
  tracker.Finish();
  if (flags & TPM_RETURNCMD) return tracker.Chosen() ? static_cast<BOOL>(id) : 0;
  Deliver(owner, tracker, id);
  return tracker.Chosen() ? TRUE : FALSE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL EndMenu() {
  if (!Current()) return FALSE;
  Current()->End();
  PostMessage(nullptr, WM_NULL, 0, 0);  // wakes the loop to see it
  return TRUE;
}

HWND MenuLoopOwner() { return Current() ? Current()->Owner() : nullptr; }

void TrackMenuBar(HWND window, POINT screen) {
  if (Current() || !IsWindow(window)) return;
  LRESULT hit = SendMessage(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
  if (hit == HTSYSMENU || (IsIconic(window) && hit == HTCAPTION)) {
    TrackSystemMenu(window, hit == HTSYSMENU);
    return;
  }
  HMENU menu = GetMenu(window);
  MenuObject* m = LiveMenu(menu);
  if (!m) return;
  MenuBarHeight(window, static_cast<int>(ScreenRect(window).right - ScreenRect(window).left));  // lays it out
  RECT wr = ScreenRect(window);
  int item = -1;
  for (size_t i = 0; i < m->items.size(); ++i) {
    RECT r = m->items[i].rect;
    OffsetRect(&r, wr.left, wr.top);
    if (PtInRect(&r, screen)) item = static_cast<int>(i);
  }
  if (item < 0) return;
  FollowSwitches(window, RunBar(window, menu, item, true, false));
}

void KeyMenu(HWND window, char key) {
  if (Current() || !IsWindow(window)) return;
  if (key == ' ') {
    TrackSystemMenu(window);
    return;
  }
  HMENU menu = GetMenu(window);
  MenuObject* m = LiveMenu(menu);
  if (!m || m->items.empty() || IsIconic(window)) {
    // Without a bar, Alt alone leaves the window as it is (Alt+Space opens the system menu).
    if (key) MessageBeep(0);
    return;
  }
  int item = 0;
  if (key) {
    item = -1;
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(key)));
    for (size_t i = 0; i < m->items.size() && item < 0; ++i)
      if (MenuMnemonic(m->items[i].text) == c) item = static_cast<int>(i);
    if (item < 0) {
      LRESULT answer = SendMessage(window, WM_MENUCHAR, MAKEWPARAM(static_cast<unsigned char>(c), 0),
                                   reinterpret_cast<LPARAM>(menu));
      if (HIWORD(answer) == MNC_EXECUTE || HIWORD(answer) == MNC_SELECT) item = LOWORD(answer);
      if (item < 0 || !LiveMenu(menu) || static_cast<size_t>(item) >= LiveMenu(menu)->items.size()) {
        if (HIWORD(answer) == MNC_IGNORE) MessageBeep(0);
        return;
      }
    }
  }
  if (key && !m->items[static_cast<size_t>(item)].submenu) {  // a command on the bar itself
    if (!m->items[static_cast<size_t>(item)].Grayed())
      PostMessage(window, WM_COMMAND, MAKEWPARAM(m->items[static_cast<size_t>(item)].id, 0), 0);
    return;
  }
  FollowSwitches(window, RunBar(window, menu, item, key != 0, true));
}
