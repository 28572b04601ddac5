#include "MenuDesk.h"

#include <cstdio>

namespace {

constexpr const char* kClass = "MenuDeskWindow";

std::string Caption(HMENU menu, UINT item, UINT flags) {
  char text[64] = "";
  GetMenuString(menu, item, text, sizeof text, flags);
  std::string s = text;
  return s.substr(0, s.find('\t'));
}

// The caption of the item a submenu hangs from, searched from the window's bar and system menu.
std::string SubmenuCaption(HWND window, HMENU sub) {
  for (HMENU root : {GetMenu(window), GetSystemMenu(window, FALSE)}) {
    std::vector<HMENU> pending{root};
    while (!pending.empty()) {
      HMENU m = pending.back();
      pending.pop_back();
      for (int i = 0; i < GetMenuItemCount(m); ++i) {
        HMENU child = GetSubMenu(m, i);
        if (child == sub) return Caption(m, static_cast<UINT>(i), MF_BYPOSITION);
        if (child) pending.push_back(child);
      }
    }
  }
  return "?";
}

}  // namespace

MenuDesk::MenuDesk() {
  WNDCLASS wc;
  wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Proc(w, m, wp, lp); };
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClass;
  RegisterClass(&wc);

  bar = CreateMenu();
  file = CreatePopupMenu();
  AppendMenu(file, MF_STRING, kOpen, "&Open...\tCtrl+O");
  AppendMenu(file, MF_STRING, kSave, "&Save\tCtrl+S");
  AppendMenu(file, MF_STRING | MF_GRAYED, kPrint, "&Print...");
  AppendMenu(file, MF_SEPARATOR, 0, nullptr);
  AppendMenu(file, MF_STRING, kExit, "E&xit");
  edit = CreatePopupMenu();
  size = CreatePopupMenu();
  AppendMenu(size, MF_STRING, kSmall, "&Small");
  AppendMenu(size, MF_STRING | MF_CHECKED, kLarge, "&Large");
  AppendMenu(edit, MF_STRING, kUndo, "&Undo\tCtrl+Z");
  AppendMenu(edit, MF_POPUP, reinterpret_cast<UINT_PTR>(size), "S&ize");
  help = CreatePopupMenu();
  AppendMenu(help, MF_STRING, kAbout, "&About");
  AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
  AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");

  window = CreateWindowEx(0, kClass, "Menus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, kLeft, kTop, kWidth, kHeight, nullptr,
                          bar, nullptr, nullptr);
  SetActiveWindow(window);
  SetFocus(window);
  ui.RunUntilIdle();
  log_.clear();
}

MenuDesk::~MenuDesk() {
  handler_ = nullptr;
  if (IsWindow(window)) DestroyWindow(window);
  UnregisterClass(kClass, nullptr);
}

MenuLog MenuDesk::Take() {
  MenuLog out;
  out.swap(log_);
  return out;
}

POINT MenuDesk::BarItem(int position) const {
  RECT r;
  GetMenuItemRect(window, bar, static_cast<UINT>(position), &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT MenuDesk::PopupItem(HMENU menu, int position) {
  RECT r;
  GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::vector<HWND> MenuDesk::Popups() {
  std::vector<HWND> popups;
  for (HWND w = FindWindowEx(nullptr, nullptr, "#32768", nullptr); w; w = FindWindowEx(nullptr, w, "#32768", nullptr))
    if (IsWindowVisible(w)) popups.insert(popups.begin(), w);
  return popups;
}

void MenuDesk::QueueAlt(int letter) {
  ui.QueueKeyDown(VK_MENU);
  ui.QueuePress(letter);
  ui.QueueKeyUp(VK_MENU);
}

LRESULT MenuDesk::Proc(HWND w, UINT m, WPARAM wParam, LPARAM lParam) {
  if (handler_) {
    LRESULT result = 0;
    if (handler_(m, wParam, lParam, result)) return result;
  }
  char text[64];
  switch (m) {
    case WM_ENTERMENULOOP: std::snprintf(text, sizeof text, "ENTERMENULOOP(%d)", static_cast<int>(wParam)); break;
    case WM_EXITMENULOOP: std::snprintf(text, sizeof text, "EXITMENULOOP(%d)", static_cast<int>(wParam)); break;
    case WM_INITMENU:
      std::snprintf(text, sizeof text, "INITMENU(%s)",
                    reinterpret_cast<HMENU>(wParam) == GetMenu(w) ? "bar"
                    : reinterpret_cast<HMENU>(wParam) == GetSystemMenu(w, FALSE) ? "system" : "popup");
      break;
    case WM_INITMENUPOPUP:
      std::snprintf(text, sizeof text, "INITMENUPOPUP(%s)",
                    HIWORD(lParam) ? "system" : SubmenuCaption(w, reinterpret_cast<HMENU>(wParam)).c_str());
      break;
    case WM_UNINITMENUPOPUP: std::snprintf(text, sizeof text, "UNINITMENUPOPUP"); break;
    case WM_MENUSELECT:
      if (HIWORD(wParam) == 0xFFFF && !lParam) std::snprintf(text, sizeof text, "MENUSELECT(none)");
      else if (HIWORD(wParam) & MF_POPUP)
        std::snprintf(text, sizeof text, "MENUSELECT(%s)",
                      Caption(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), MF_BYPOSITION).c_str());
      else std::snprintf(text, sizeof text, "MENUSELECT(%u)", LOWORD(wParam));
      break;
    case WM_MENUCHAR:
      std::snprintf(text, sizeof text, "MENUCHAR(%c)", static_cast<char>(LOWORD(wParam)));
      log_.push_back(text);
      if (menuChar_) return menuChar_;
      return DefWindowProc(w, m, wParam, lParam);
    case WM_COMMAND:
      std::snprintf(text, sizeof text, "COMMAND(%u,%u)", LOWORD(wParam), HIWORD(wParam));
      break;
    case WM_SYSCOMMAND:
      // Entering the menus (SC_KEYMENU, SC_MOUSEMENU) shows as the loop's own messages.
      if ((wParam & 0xFFF0) == SC_KEYMENU || (wParam & 0xFFF0) == SC_MOUSEMENU) return DefWindowProc(w, m, wParam, lParam);
      std::snprintf(text, sizeof text, "SYSCOMMAND(%04X)", static_cast<unsigned>(wParam & 0xFFF0));
      break;
    default: return DefWindowProc(w, m, wParam, lParam);
  }
  log_.push_back(text);
  return DefWindowProc(w, m, wParam, lParam);
}
