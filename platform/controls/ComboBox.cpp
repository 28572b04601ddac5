#include "platform/controls/ComboBox.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "platform/controls/ListBox.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/rtl/Everlasting.h"
#include "platform/user/SystemClasses.h"

namespace {

// What the combo box asks of its EDIT window and hears from it (the EDIT class's numbers).
constexpr UINT kEditGetSel = 0x00B0, kEditSetSel = 0x00B1, kEditLimitText = 0x00C5;
constexpr WORD kEditSetFocus = 0x0100, kEditKillFocus = 0x0200, kEditChange = 0x0300, kEditUpdate = 0x0400;
constexpr DWORD kEditAutoHScroll = 0x0080;

constexpr int kEdge = 2;         // the sunken frame
constexpr int kFieldPadding = 1;  // between the frame and the field
constexpr int kDefaultMinVisible = 30;

LRESULT ComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class ComboControl {
public:
  ComboControl(HWND window, const CREATESTRUCT& create) : window_(window) {
    style_ = static_cast<DWORD>(create.style);
    droppedHeight_ = create.cy;
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
  DWORD Kind() const { return style_ & 0x3; }
  bool Simple() const { return Kind() == CBS_SIMPLE; }
  bool DropList() const { return Kind() == CBS_DROPDOWNLIST; }
  bool OwnerDraw() const { return (style_ & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }
  bool HasStrings() const { return !OwnerDraw() || (style_ & CBS_HASSTRINGS); }
  LRESULT List(UINT message, WPARAM wParam, LPARAM lParam) const {
    return list_ ? SendMessage(list_, message, wParam, lParam) : CB_ERR;
  }
  int CurSel() const { return static_cast<int>(List(LB_GETCURSEL, 0, 0)); }
  int FieldHeight() const { return fieldItemHeight_ + 2 * (kEdge + kFieldPadding); }

  void Create();
  void MeasureFont();
  void Layout();
  RECT ButtonRect() const;
  RECT FieldRect() const;
  void Notify(WORD code);
  std::string ItemText(int index) const;
  void ShowSelectionInField();
  void Select(int index, bool notify);

  void DropDown(bool buttonDown);
  void CloseUp(bool accept);
  bool OnKey(UINT message, int vk);
  void OnListCommand(WORD code);
  void OnEditCommand(WORD code);
  void Paint(HDC dc);
  LRESULT OnPaint(HDC given);
  void SubclassEdit();

  HWND window_;
  HWND list_ = nullptr;
  HWND edit_ = nullptr;
  DWORD style_ = 0;
  HFONT font_ = nullptr;
  int textHeight_ = 13;
  int fieldItemHeight_ = 15;
  int droppedHeight_ = 0;
  int droppedWidth_ = 0;
  int minVisible_ = 0;  // 0: from the height the combo box was made with
  bool dropped_ = false;
  bool extendedUI_ = false;
  bool focused_ = false;
  int selAtDrop_ = -1;
  int notifiedSel_ = -1;
  std::string text_;  // the field of a drop-down combo box when no EDIT class exists
  bool fillingEdit_ = false;  // the edit's text comes from the list: no edit notifications
};

// Each window's control; a handler holds its own reference while it runs, so a parent that
// destroys the combo box from a notification frees nothing under it.
std::map<HWND, std::shared_ptr<ComboControl>>& Controls() {
  static Everlasting<std::map<HWND, std::shared_ptr<ComboControl>>> controls;
  return *controls;
}

std::shared_ptr<ComboControl> Find(HWND window) {
  auto it = Controls().find(window);
  return it == Controls().end() ? nullptr : it->second;
}

LRESULT ComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& controls = Controls();
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCT*>(lParam);
    controls[window] = std::make_shared<ComboControl>(window, *create);
    // The scroll bars asked for belong to the list, not to the field.
    SetWindowLong(window, GWL_STYLE, create->style & ~static_cast<LONG>(WS_VSCROLL | WS_HSCROLL));
    return DefWindowProc(window, message, wParam, lParam);
  }
  auto it = controls.find(window);
  if (it == controls.end()) return DefWindowProc(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    controls.erase(it);
    return DefWindowProc(window, message, wParam, lParam);
  }
  std::shared_ptr<ComboControl> running = it->second;
  return running->Handle(message, wParam, lParam);
}

bool KeyIsDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

void ComboControl::Notify(WORD code) {
  HWND parent = GetParent(window_);
  if (parent) SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), code), reinterpret_cast<LPARAM>(window_));
}

void ComboControl::MeasureFont() {
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, font_);
  TEXTMETRIC tm;
  if (GetTextMetrics(dc, &tm)) textHeight_ = std::max(1, static_cast<int>(tm.tmHeight));
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  fieldItemHeight_ = textHeight_ + 2;
}

void ComboControl::Create() {
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  MeasureFont();
  if (OwnerDraw()) {
    // The owner sizes the selection field (item -1) as well as the items.
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_COMBOBOX;
    mis.CtlID = static_cast<UINT>(GetDlgCtrlID(window_));
    mis.itemID = static_cast<UINT>(-1);
    mis.itemHeight = static_cast<UINT>(fieldItemHeight_);
    if (HWND parent = GetParent(window_)) SendMessage(parent, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
    fieldItemHeight_ = std::clamp(static_cast<int>(mis.itemHeight), 1, 255);
  }
  DWORD listStyle = (style_ & WS_VSCROLL) | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_COMBOBOX;
  if (style_ & CBS_SORT) listStyle |= LBS_SORT;
  if (style_ & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
  if (style_ & CBS_OWNERDRAWVARIABLE) listStyle |= LBS_OWNERDRAWVARIABLE;
  if (HasStrings()) listStyle |= LBS_HASSTRINGS;
  if (style_ & CBS_DISABLENOSCROLL) listStyle |= LBS_DISABLENOSCROLL;
  ComboListLink link;
  link.combo = window_;
  if (Simple()) {
    list_ = CreateWindowEx(0, kComboListBoxClass, "", WS_CHILD | WS_VISIBLE | WS_BORDER | listStyle, 0, 0, 10, 10,
                           window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboListId)), nullptr, &link);
  } else {
    list_ = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kComboListBoxClass, "", WS_POPUP | WS_BORDER | listStyle, 0,
                           0, 10, 10, window_, nullptr, nullptr, &link);
  }
  if (!DropList()) {
    DWORD editStyle = WS_CHILD | WS_VISIBLE | ((style_ & CBS_AUTOHSCROLL) ? kEditAutoHScroll : 0u);
    // The field is an EDIT child, which holds the focus for the combo box; without one (no
    // EDIT class registered) the combo box keeps the text itself.
    edit_ = CreateWindowEx(0, "EDIT", "", editStyle, 0, 0, 10, 10, window_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboEditId)), nullptr, nullptr);
    if (edit_) {
      SendMessage(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
      SubclassEdit();
    }
  }
  Layout();
}

void ComboControl::SubclassEdit() {
  WNDPROC previous = GetWindowProc(edit_);
  HWND combo = window_;
  SetWindowProc(edit_, WNDPROC([previous, combo](HWND edit, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    std::shared_ptr<ComboControl> self = Find(combo);
    if (self && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && self->OnKey(message, static_cast<int>(wParam)))
      return 0;
    if (self && message == WM_CHAR && self->dropped_ && (wParam == '\r' || wParam == 27)) return 0;
    if (self && message == WM_GETDLGCODE && self->dropped_)
      return CallWindowProc(previous, edit, message, wParam, lParam) | DLGC_WANTALLKEYS;
    return CallWindowProc(previous, edit, message, wParam, lParam);
  }));
}

RECT ComboControl::ButtonRect() const {
  RECT c;
  GetClientRect(window_, &c);
  int width = GetSystemMetrics(SM_CXVSCROLL);
  if (Simple()) return RECT{c.right, 0, c.right, 0};
  return RECT{c.right - kEdge - width, kEdge, c.right - kEdge, std::min(static_cast<int>(c.bottom), FieldHeight()) - kEdge};
}

RECT ComboControl::FieldRect() const {
  RECT c;
  GetClientRect(window_, &c);
  RECT b = ButtonRect();
  int inset = kEdge + kFieldPadding;
  return RECT{inset, inset, b.left - kFieldPadding, FieldHeight() - inset};
}

void ComboControl::Layout() {
  RECT c;
  GetClientRect(window_, &c);
  RECT f = FieldRect();
  if (edit_) MoveWindow(edit_, f.left, f.top, f.right - f.left, f.bottom - f.top, TRUE);
  if (Simple() && list_) {
    int top = FieldHeight();
    MoveWindow(list_, 0, top, c.right, std::max(0, static_cast<int>(c.bottom) - top), TRUE);
  }
}

std::string ComboControl::ItemText(int index) const {
  LRESULT length = List(LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0 || !HasStrings()) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  List(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

void ComboControl::ShowSelectionInField() {
  int sel = CurSel();
  if (edit_) {
    fillingEdit_ = true;
    SetWindowText(edit_, sel >= 0 ? ItemText(sel).c_str() : "");
    fillingEdit_ = false;
    if (focused_ || GetFocus() == edit_) SendMessage(edit_, kEditSetSel, 0, -1);
  } else if (!DropList()) {
    text_ = sel >= 0 ? ItemText(sel) : "";
  }
  InvalidateRect(window_, nullptr, FALSE);
}

void ComboControl::Select(int index, bool notify) {
  List(LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ShowSelectionInField();
  if (notify) {
    notifiedSel_ = CurSel();
    Notify(CBN_SELCHANGE);
  }
}

void ComboControl::DropDown(bool buttonDown) {
  if (Simple() || dropped_ || !list_) return;
  Notify(CBN_DROPDOWN);
  if (!IsWindow(window_)) return;
  selAtDrop_ = notifiedSel_ = CurSel();
  RECT w;
  GetWindowRect(window_, &w);
  int count = static_cast<int>(List(LB_GETCOUNT, 0, 0));
  int itemHeight = static_cast<int>(List(LB_GETITEMHEIGHT, 0, 0));
  int rows;
  if (minVisible_ > 0) {
    rows = minVisible_;
  } else {
    int room = droppedHeight_ - (w.bottom - w.top) - 2;
    rows = std::max(1, room / std::max(1, itemHeight));
  }
  rows = std::max(1, std::min(rows, count));
  int height = rows * itemHeight + 2;
  int width = std::max(static_cast<int>(w.right - w.left), droppedWidth_);
  int y = w.bottom;
  if (y + height > GetSystemMetrics(SM_CYSCREEN) && w.top - height >= 0) y = w.top - height;
  SetWindowPos(list_, HWND_TOPMOST, w.left, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  int sel = CurSel();
  if (sel >= 0) List(LB_SETCARETINDEX, static_cast<WPARAM>(sel), 0);
  dropped_ = true;
  InvalidateRect(window_, nullptr, FALSE);
  SendMessage(list_, kComboListTrack, buttonDown ? TRUE : FALSE, 0);
}

void ComboControl::CloseUp(bool accept) {
  if (!dropped_) return;
  dropped_ = false;
  SetWindowPos(list_, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (GetCapture() == list_) ReleaseCapture();
  if (!accept) List(LB_SETCURSEL, static_cast<WPARAM>(selAtDrop_), 0);
  Notify(accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (!IsWindow(window_)) return;
  Notify(CBN_CLOSEUP);
  if (!IsWindow(window_)) return;
  InvalidateRect(window_, nullptr, FALSE);
  if (CurSel() != notifiedSel_) Select(CurSel(), true);
}

// The keys a combo box takes itself, from its own window or its edit's; true when taken.
bool ComboControl::OnKey(UINT message, int vk) {
  bool alt = message == WM_SYSKEYDOWN || KeyIsDown(VK_MENU);
  if ((vk == VK_F4 && !alt && !extendedUI_) || (alt && (vk == VK_DOWN || vk == VK_UP))) {
    if (Simple()) return vk != VK_F4;
    if (dropped_) CloseUp(true);
    else DropDown(false);
    return true;
  }
  if (message == WM_SYSKEYDOWN) return false;
  if (dropped_) {
    if (vk == VK_RETURN) {
      CloseUp(true);
      return true;
    }
    if (vk == VK_ESCAPE) {
      CloseUp(false);
      return true;
    }
  }
  switch (vk) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT:
      if (extendedUI_ && !dropped_ && !Simple() && vk == VK_DOWN) {
        DropDown(false);
        return true;
      }
      if (CurSel() < 0 && List(LB_GETCOUNT, 0, 0) > 0 && !dropped_) {
        // Nothing chosen yet: the first arrow chooses the first item.
        Select(0, true);
        return true;
      }
      List(WM_KEYDOWN, static_cast<WPARAM>(vk), 0);
      return true;
    case VK_HOME: case VK_END:
      if (edit_) return false;  // the edit moves its caret
      List(WM_KEYDOWN, static_cast<WPARAM>(vk), 0);
      return true;
  }
  return false;
}

void ComboControl::OnListCommand(WORD code) {
  switch (code) {
    case LBN_SELCHANGE:
      // The keys moved the choice (the mouse chooses through the close-up).
      ShowSelectionInField();
      notifiedSel_ = CurSel();
      Notify(CBN_SELCHANGE);
      break;
    case LBN_DBLCLK: Notify(CBN_DBLCLK); break;
  }
}

void ComboControl::OnEditCommand(WORD code) {
  if (fillingEdit_ && (code == kEditChange || code == kEditUpdate)) return;
  switch (code) {
    case kEditChange: {
      Notify(CBN_EDITCHANGE);
      if (dropped_ && edit_ && IsWindow(window_)) {
        // The open list follows the text typed.
        int length = GetWindowTextLength(edit_);
        std::string text(static_cast<size_t>(length) + 1, '\0');
        GetWindowText(edit_, text.data(), length + 1);
        text.resize(static_cast<size_t>(length));
        LRESULT found = List(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
        List(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
      }
      break;
    }
    case kEditUpdate: Notify(CBN_EDITUPDATE); break;
    case kEditSetFocus:
      focused_ = true;
      SendMessage(edit_, kEditSetSel, 0, -1);
      Notify(CBN_SETFOCUS);
      break;
    case kEditKillFocus:
      focused_ = false;
      CloseUp(false);
      Notify(CBN_KILLFOCUS);
      break;
  }
}

// ---------------------------------------------------------------------------------------
// Painting.

LRESULT ComboControl::OnPaint(HDC given) {
  PAINTSTRUCT ps;
  HDC dc = given ? given : BeginPaint(window_, &ps);
  if (!dc) return 0;
  int saved = SaveDC(dc);
  Paint(dc);
  RestoreDC(dc, saved);
  if (!given) EndPaint(window_, &ps);
  return 0;
}

void ComboControl::Paint(HDC dc) {
  RECT c;
  GetClientRect(window_, &c);
  bool enabled = IsWindowEnabled(window_) != 0;
  SelectObject(dc, font_);
  HWND parent = GetParent(window_);
  UINT colourMessage = DropList() ? WM_CTLCOLORLISTBOX : WM_CTLCOLOREDIT;
  HBRUSH background = parent ? reinterpret_cast<HBRUSH>(SendMessage(parent, colourMessage, reinterpret_cast<WPARAM>(dc),
                                                                    reinterpret_cast<LPARAM>(window_)))
                             : nullptr;
  if (!background) background = GetSysColorBrush(COLOR_WINDOW);
  if (!enabled) background = GetSysColorBrush(COLOR_BTNFACE);
  RECT frame{0, 0, c.right, std::min(static_cast<int>(c.bottom), FieldHeight())};
  FillRect(dc, &frame, background);
  DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
  if (!Simple()) {
    RECT button = ButtonRect();
    UINT state = DFCS_SCROLLCOMBOBOX | (dropped_ ? DFCS_PUSHED | DFCS_FLAT : 0u) | (enabled ? 0u : DFCS_INACTIVE);
    DrawFrameControl(dc, &button, DFC_SCROLL, state);
  }
  if (edit_) return;  // the edit paints the field
  RECT field = FieldRect();
  int sel = CurSel();
  bool highlighted = focused_ && !dropped_ && DropList();
  if (OwnerDraw()) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(window_));
    dis.itemID = static_cast<UINT>(sel);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_COMBOBOXEDIT | (highlighted ? ODS_SELECTED | ODS_FOCUS : 0u) | (enabled ? 0u : ODS_DISABLED);
    dis.hwndItem = window_;
    dis.hDC = dc;
    dis.rcItem = field;
    dis.itemData = sel >= 0 ? static_cast<ULONG_PTR>(List(LB_GETITEMDATA, static_cast<WPARAM>(sel), 0)) : 0;
    if (parent) {
      int saved = SaveDC(dc);
      SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      RestoreDC(dc, saved);
    }
    return;
  }
  std::string text = DropList() ? (sel >= 0 ? ItemText(sel) : std::string()) : text_;
  if (highlighted) {
    FillRect(dc, &field, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  }
  if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  SetBkMode(dc, TRANSPARENT);
  RECT textRect = field;
  textRect.left += 1;
  DrawText(dc, text.c_str(), static_cast<int>(text.size()), &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (highlighted) DrawFocusRect(dc, &field);
}

// ---------------------------------------------------------------------------------------
// The window procedure's switch.

LRESULT ComboControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  int index = static_cast<int>(static_cast<INT_PTR>(wParam));
  switch (message) {
    case WM_CREATE:
      Create();
      if (!Simple()) {
        RECT w;
        GetWindowRect(window_, &w);
        // The height asked for is the height with the list dropped; the window is the field.
        SetWindowPos(window_, nullptr, 0, 0, w.right - w.left, FieldHeight(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    case WM_DESTROY: {
      // Going while dropped: the list goes quietly, without close-up notifications.
      dropped_ = false;
      HWND list = list_;
      list_ = nullptr;
      if (list && IsWindow(list)) DestroyWindow(list);
      return 0;
    }
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (pos && !(pos->flags & SWP_NOSIZE) && !Simple() && list_) {
        if (pos->cy > FieldHeight()) droppedHeight_ = pos->cy;
        pos->cy = FieldHeight();
      }
      return DefWindowProc(window_, message, wParam, lParam);
    }
    case WM_SIZE: Layout(); return 0;
    case WM_SETFONT: {
      font_ = reinterpret_cast<HFONT>(wParam);
      // An owner-drawn field keeps the height its owner gave it.
      int ownerHeight = fieldItemHeight_;
      MeasureFont();
      if (OwnerDraw()) fieldItemHeight_ = ownerHeight;
      if (list_) SendMessage(list_, WM_SETFONT, wParam, lParam);
      if (edit_) SendMessage(edit_, WM_SETFONT, wParam, lParam);
      if (!Simple()) {
        RECT w;
        GetWindowRect(window_, &w);
        SetWindowPos(window_, nullptr, 0, 0, w.right - w.left, FieldHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      Layout();
      if (LOWORD(lParam)) InvalidateRect(window_, nullptr, TRUE);
      return 0;
    }
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (dropped_ ? DLGC_WANTALLKEYS : 0);
    case WM_ENABLE:
      if (edit_) EnableWindow(edit_, wParam != 0);
      if (!wParam) CloseUp(false);
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
      if (edit_) {
        SetFocus(edit_);
        return 0;
      }
      focused_ = true;
      InvalidateRect(window_, nullptr, FALSE);
      Notify(CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      if (edit_ && reinterpret_cast<HWND>(wParam) == edit_) return 0;
      focused_ = false;
      CloseUp(false);
      InvalidateRect(window_, nullptr, FALSE);
      Notify(CBN_KILLFOCUS);
      return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT: return OnPaint(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (OnKey(message, static_cast<int>(wParam))) return 0;
      return DefWindowProc(window_, message, wParam, lParam);
    case WM_CHAR:
      if (dropped_ && (wParam == '\r' || wParam == 27)) return 0;
      if (DropList()) {
        // Typing chooses the item with those first letters.
        List(WM_CHAR, wParam, lParam);
        return 0;
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (GetFocus() != window_ && GetFocus() != edit_) SetFocus(window_);
      RECT button = ButtonRect();
      if (!Simple() && (DropList() || PtInRect(&button, p))) {
        if (dropped_) CloseUp(true);
        else DropDown(true);
      }
      return 0;
    }
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lParam);
      if (from && from == list_) OnListCommand(HIWORD(wParam));
      else if (from && from == edit_) OnEditCommand(HIWORD(wParam));
      return 0;
    }
    case WM_MOUSEWHEEL: {
      // Open, the list scrolls; closed, each notch chooses the next or previous item.
      if (dropped_ || Simple()) return List(WM_MOUSEWHEEL, wParam, lParam);
      int notches = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
      int count = static_cast<int>(List(LB_GETCOUNT, 0, 0));
      if (notches == 0 || count == 0) return 0;
      int target = std::clamp(CurSel() - notches, 0, count - 1);
      if (target != CurSel()) Select(target, true);
      return 0;
    }
    case WM_CANCELMODE:
      CloseUp(false);
      return 0;
    case kComboListCloseUp:
      CloseUp(wParam != 0);
      return 0;
    case WM_SETTEXT:
      if (edit_) {
        // The program's text, not the user's: no edit notifications.
        fillingEdit_ = true;
        BOOL done = SetWindowText(edit_, reinterpret_cast<LPCSTR>(lParam));
        fillingEdit_ = false;
        return done;
      }
      if (DropList()) {
        LRESULT found = List(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam);
        if (found < 0) return CB_ERR;
        List(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
        InvalidateRect(window_, nullptr, FALSE);
        return TRUE;
      }
      text_ = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
      InvalidateRect(window_, nullptr, FALSE);
      return TRUE;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
      std::string text;
      if (edit_) {
        int length = GetWindowTextLength(edit_);
        text.assign(static_cast<size_t>(length) + 1, '\0');
        GetWindowText(edit_, text.data(), length + 1);
        text.resize(static_cast<size_t>(length));
      } else {
        text = DropList() ? (CurSel() >= 0 ? ItemText(CurSel()) : std::string()) : text_;
      }
      if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
      if (!lParam || wParam == 0) return 0;
      size_t n = std::min(text.size(), static_cast<size_t>(wParam) - 1);
      std::copy_n(text.c_str(), n, reinterpret_cast<LPSTR>(lParam));
      reinterpret_cast<LPSTR>(lParam)[n] = '\0';
      return static_cast<LRESULT>(n);
    }

    case CB_ADDSTRING: return List(LB_ADDSTRING, 0, lParam);
    case CB_INSERTSTRING: return List(LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING: {
      LRESULT r = List(LB_DELETESTRING, wParam, lParam);
      InvalidateRect(window_, nullptr, FALSE);
      return r;
    }
    case CB_RESETCONTENT:
      List(LB_RESETCONTENT, 0, 0);
      if (!edit_) text_.clear();
      notifiedSel_ = -1;
      InvalidateRect(window_, nullptr, FALSE);
      return CB_OKAY;
    case CB_GETCOUNT: return List(LB_GETCOUNT, 0, 0);
    case CB_GETLBTEXT: return List(LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN: return List(LB_GETTEXTLEN, wParam, lParam);
    case CB_SETCURSEL: {
      LRESULT r = List(LB_SETCURSEL, wParam, lParam);
      notifiedSel_ = CurSel();
      ShowSelectionInField();
      return r;
    }
    case CB_GETCURSEL: return CurSel();
    case CB_FINDSTRING: return List(LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT: return List(LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_SELECTSTRING: {
      LRESULT found = List(LB_FINDSTRING, wParam, lParam);
      if (found < 0) return CB_ERR;
      List(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
      notifiedSel_ = CurSel();
      ShowSelectionInField();
      return found;
    }
    case CB_SETITEMDATA: return List(LB_SETITEMDATA, wParam, lParam);
    case CB_GETITEMDATA: return List(LB_GETITEMDATA, wParam, lParam);
    case CB_SETITEMHEIGHT:
      if (index == -1) {
        int height = LOWORD(lParam);
        if (height <= 0 || height > 255) return CB_ERR;
        fieldItemHeight_ = height;
        if (!Simple()) {
          RECT w;
          GetWindowRect(window_, &w);
          SetWindowPos(window_, nullptr, 0, 0, w.right - w.left, FieldHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        Layout();
        InvalidateRect(window_, nullptr, TRUE);
        return CB_OKAY;
      }
      return List(LB_SETITEMHEIGHT, wParam, lParam);
    case CB_GETITEMHEIGHT:
      if (index == -1) return fieldItemHeight_;
      return List(LB_GETITEMHEIGHT, wParam, lParam);
    case CB_SHOWDROPDOWN:
      if (wParam) DropDown(false);
      else if (dropped_) {
        dropped_ = false;
        SetWindowPos(list_, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (GetCapture() == list_) ReleaseCapture();
        Notify(CBN_CLOSEUP);
        InvalidateRect(window_, nullptr, FALSE);
      }
      return TRUE;
    case CB_GETDROPPEDSTATE: return dropped_ ? TRUE : FALSE;
    case CB_SETEXTENDEDUI:
      extendedUI_ = wParam != 0;
      return CB_OKAY;
    case CB_GETEXTENDEDUI: return extendedUI_ ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT: {
      auto* out = reinterpret_cast<RECT*>(lParam);
      if (!out) return FALSE;
      GetWindowRect(window_, out);
      if (Simple()) return TRUE;
      int itemHeight = static_cast<int>(List(LB_GETITEMHEIGHT, 0, 0));
      int listHeight = minVisible_ > 0 ? minVisible_ * itemHeight + 2 : std::max(droppedHeight_ - (out->bottom - out->top), itemHeight + 2);
      out->right = out->left + std::max(static_cast<int>(out->right - out->left), droppedWidth_);
      out->bottom += listHeight;
      return TRUE;
    }
    case CB_SETDROPPEDWIDTH: {
      if (index < 0) return CB_ERR;
      droppedWidth_ = index;
      RECT w;
      GetWindowRect(window_, &w);
      return std::max(static_cast<int>(w.right - w.left), droppedWidth_);
    }
    case CB_GETDROPPEDWIDTH: {
      RECT w;
      GetWindowRect(window_, &w);
      return std::max(static_cast<int>(w.right - w.left), droppedWidth_);
    }
    case CB_SETMINVISIBLE:
      if (index <= 0) return FALSE;
      minVisible_ = index;
      return TRUE;
    case CB_GETMINVISIBLE: return minVisible_ > 0 ? minVisible_ : kDefaultMinVisible;
    case CB_GETEDITSEL: {
      if (!edit_) return CB_ERR;
      DWORD start = 0, end = 0;
      SendMessage(edit_, kEditGetSel, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = start;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = end;
      return MAKELONG(start, end);
    }
    case CB_SETEDITSEL:
      if (!edit_) return CB_ERR;
      SendMessage(edit_, kEditSetSel, static_cast<WPARAM>(static_cast<short>(LOWORD(lParam))),
                  static_cast<LPARAM>(static_cast<short>(HIWORD(lParam))));
      return TRUE;
    case CB_LIMITTEXT:
      if (!edit_) return CB_ERR;
      SendMessage(edit_, kEditLimitText, wParam, 0);
      return TRUE;
    case CB_GETTOPINDEX: return List(LB_GETTOPINDEX, 0, 0);
    case CB_SETTOPINDEX: return List(LB_SETTOPINDEX, wParam, 0);
    case CB_SETHORIZONTALEXTENT: return List(LB_SETHORIZONTALEXTENT, wParam, 0);
    case CB_GETHORIZONTALEXTENT: return List(LB_GETHORIZONTALEXTENT, 0, 0);
    case CB_INITSTORAGE: return List(LB_INITSTORAGE, wParam, lParam);
    case CB_SETLOCALE:
    case CB_GETLOCALE: return 0;
    case CB_DIR: return List(LB_DIR, wParam, lParam);
    case CB_GETCOMBOBOXINFO: {
      auto* info = reinterpret_cast<COMBOBOXINFO*>(lParam);
      if (!info) return FALSE;
      info->rcItem = FieldRect();
      info->rcButton = ButtonRect();
      info->stateButton = dropped_ ? 0x8 : 0;  // STATE_SYSTEM_PRESSED
      info->hwndCombo = window_;
      info->hwndItem = edit_ ? edit_ : window_;
      info->hwndList = list_;
      return TRUE;
    }
  }
  return DefWindowProc(window_, message, wParam, lParam);
}

}  // namespace

void RegisterComboBoxClass() {
  RegisterControlClass(kComboBoxClass, &ComboProc, CS_DBLCLKS | CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW);
}

namespace {
const bool kRegistered = AddSystemClassRegistration(&RegisterComboBoxClass);
}  // namespace
