#include "platform/controls/ListBox.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>

#include "platform/rtl/Everlasting.h"
#include "platform/user/ScrollBars.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/rtl/FindFile.h"
#include "platform/user/SystemClasses.h"

namespace {

// Up to this many items change one by one, each repainted; more change in one pass over the
// item tree and the list is repainted whole.
constexpr int kFewItems = 64;

// Each window's control, let go when the window goes (WM_NCDESTROY). A handler holds its
// own reference while it runs: an owner that destroys the list from a notification does not
// free the control under the handler that sent it.
std::map<HWND, std::shared_ptr<ListBoxControl>>& Controls() {
  static Everlasting<std::map<HWND, std::shared_ptr<ListBoxControl>>> controls;
  return *controls;
}

LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& controls = Controls();
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCT*>(lParam);
    controls[window] = std::make_shared<ListBoxControl>(window, *create);
    return DefWindowProc(window, message, wParam, lParam);
  }
  auto it = controls.find(window);
  if (it == controls.end()) return DefWindowProc(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    controls.erase(it);
    return DefWindowProc(window, message, wParam, lParam);
  }
  std::shared_ptr<ListBoxControl> running = it->second;
  return running->Handle(message, wParam, lParam);
}

// ASCII letters folded to lower case; other bytes (UTF-8 sequences among them) as they are.
// A table, because sorting 100,000 items makes millions of comparisons.
constexpr std::array<unsigned char, 256> kFold = [] {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[static_cast<size_t>(i)] = static_cast<unsigned char>(i >= 'A' && i <= 'Z' ? i + 32 : i);
  return t;
}();

int Fold(char c) { return kFold[static_cast<unsigned char>(c)]; }

int CompareNoCase(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int ca = Fold(a[i]), cb = Fold(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (Fold(text[i]) != Fold(prefix[i])) return false;
  return true;
}

}  // namespace

void RegisterListBoxClass() {
  RegisterControlClass(kListBoxClass, &ListBoxProc, CS_DBLCLKS | CS_GLOBALCLASS);
  RegisterControlClass(kComboListBoxClass, &ListBoxProc, CS_DBLCLKS | CS_GLOBALCLASS | CS_SAVEBITS);
}

namespace {
const bool kRegistered = AddSystemClassRegistration(&RegisterListBoxClass);
}  // namespace

ListBoxControl::ListBoxControl(HWND window, const CREATESTRUCT& create) : window_(window) {
  style_ = static_cast<DWORD>(create.style);
  bars_ = style_ & (WS_VSCROLL | WS_HSCROLL);
  if (create.lpszClass && std::strcmp(create.lpszClass, kComboListBoxClass) == 0 && create.lpCreateParams)
    combo_ = static_cast<const ComboListLink*>(create.lpCreateParams)->combo;
  if (combo_) {
    commandTarget_ = combo_;
    ownerTarget_ = GetParent(combo_);
    ctlType_ = ODT_COMBOBOX;
  } else {
    commandTarget_ = create.hwndParent;
    ownerTarget_ = create.hwndParent;
  }
  // Multiple-column lists show fixed rows; variable heights are a single-column matter.
  if (Is(LBS_MULTICOLUMN)) style_ &= ~static_cast<DWORD>(LBS_OWNERDRAWVARIABLE);
  // An owner-drawn list without strings cannot be searched by text or sorted by it.
  if (!OwnerDraw()) style_ |= LBS_HASSTRINGS;
  if (Is(LBS_NOSEL)) style_ &= ~static_cast<DWORD>(LBS_MULTIPLESEL | LBS_EXTENDEDSEL);
  (void)kRegistered;
}

// ---------------------------------------------------------------------------------------
// Notifications and owner messages.

void ListBoxControl::Notify(WORD code) {
  if (!combo_ && !Is(LBS_NOTIFY)) return;
  if (!commandTarget_ || !IsWindow(commandTarget_)) return;
  SendMessage(commandTarget_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), code), reinterpret_cast<LPARAM>(window_));
}

void ListBoxControl::NotifySelChange() { Notify(LBN_SELCHANGE); }

int ListBoxControl::MeasureItem(int index, ULONG_PTR data) {
  MEASUREITEMSTRUCT mis;
  mis.CtlType = ctlType_;
  mis.CtlID = static_cast<UINT>(GetDlgCtrlID(combo_ ? combo_ : window_));
  mis.itemID = static_cast<UINT>(index);
  mis.itemHeight = static_cast<UINT>(fontHeight_);
  RECT r = Client();
  mis.itemWidth = static_cast<UINT>(r.right - r.left);
  mis.itemData = data;
  if (ownerTarget_) SendMessage(ownerTarget_, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
  return std::clamp(static_cast<int>(mis.itemHeight), 1, 255);
}

void ListBoxControl::SendDeleteItem(int index, const ListItem& item) {
  if (!OwnerDraw() || !ownerTarget_ || !IsWindow(ownerTarget_)) return;
  DELETEITEMSTRUCT dis;
  dis.CtlType = ctlType_;
  dis.CtlID = static_cast<UINT>(GetDlgCtrlID(combo_ ? combo_ : window_));
  dis.itemID = static_cast<UINT>(index);
  dis.hwndItem = combo_ ? combo_ : window_;
  dis.itemData = item.data;
  SendMessage(ownerTarget_, WM_DELETEITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

void ListBoxControl::SendDeleteItems(const ListItems& gone) {
  if (!OwnerDraw()) return;
  gone.ForEachFrom(0, [this](int index, const ListItem& item) {
    SendDeleteItem(index, item);
    return true;
  });
}

int ListBoxControl::CompareItems(const ListItem& a, const ListItem& b) {
  if (HasStrings()) return CompareNoCase(a.text, b.text);
  COMPAREITEMSTRUCT cis;
  cis.CtlType = ctlType_;
  cis.CtlID = static_cast<UINT>(GetDlgCtrlID(combo_ ? combo_ : window_));
  cis.hwndItem = combo_ ? combo_ : window_;
  cis.itemID1 = static_cast<UINT>(-1);
  cis.itemData1 = a.data;
  cis.itemID2 = 0;
  cis.itemData2 = b.data;
  LRESULT r = ownerTarget_ ? SendMessage(ownerTarget_, WM_COMPAREITEM, cis.CtlID, reinterpret_cast<LPARAM>(&cis)) : 0;
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

// ---------------------------------------------------------------------------------------
// Items.

LRESULT ListBoxControl::InsertItem(int index, LPARAM value, bool sortedPlace) {
  int count = Count();
  if (index < -1 || index > count) return LB_ERR;
  ListItem item;
  if (HasStrings()) {
    item.text = value ? reinterpret_cast<LPCSTR>(value) : "";
  } else {
    item.data = static_cast<ULONG_PTR>(value);
  }
  if (sortedPlace && Is(LBS_SORT)) {
    // After the items that sort equal, so equal items keep the order they came in.
    index = items_.LowerBound([&](const ListItem& existing) { return CompareItems(existing, item) <= 0 ? -1 : 0; });
  } else if (index == -1) {
    index = count;
  }
  if (Variable()) item.height = MeasureItem(index, item.data);
  items_.Insert(index, std::move(item));
  // Indexes at or after the new item move down one.
  if (curSel_ >= index) ++curSel_;
  if (anchor_ >= index) ++anchor_;
  if (caret_ >= index && count > 0) ++caret_;
  if (index < top_) ++top_;
  if (redraw_) {
    UpdateScroll();
    RECT r = ItemRect(index);
    RECT c = Client();
    if (Is(LBS_MULTICOLUMN) || Variable()) r = c;
    else r.bottom = c.bottom;
    InvalidateRect(window_, &r, TRUE);
  }
  return index;
}

LRESULT ListBoxControl::DeleteItem(int index) {
  if (!Valid(index)) return LB_ERR;
  ListItem gone = items_.Erase(index);
  auto shift = [index](int& i, int invalid) {
    if (i == index) i = invalid;
    else if (i > index) --i;
  };
  shift(curSel_, -1);
  shift(anchor_, -1);
  if (caret_ > index || (caret_ == index && caret_ >= Count())) caret_ = std::max(0, caret_ - 1);
  if (top_ > index) --top_;
  top_ = std::clamp(top_, 0, MaxTop());
  SendDeleteItem(index, gone);
  if (!IsWindow(window_)) return Count();
  if (redraw_) {
    UpdateScroll();
    Redraw();
  }
  return Count();
}

void ListBoxControl::ResetContent() {
  // The items leave the list before the owner hears of them: an owner that asks the list
  // anything meanwhile finds it empty, never half taken apart.
  ListItems gone;
  gone.Swap(items_);
  top_ = 0;
  caret_ = 0;
  anchor_ = -1;
  curSel_ = -1;
  horizontalPos_ = 0;
  SendDeleteItems(gone);
  if (redraw_ && IsWindow(window_)) {
    UpdateScroll();
    Redraw();
  }
}

LRESULT ListBoxControl::GetText(int index, LPSTR out) const {
  if (!Valid(index) || !out) return LB_ERR;
  const ListItem& item = items_.At(index);
  if (!HasStrings()) {
    std::memcpy(out, &item.data, sizeof(item.data));
    return sizeof(item.data);
  }
  std::memcpy(out, item.text.c_str(), item.text.size() + 1);
  return static_cast<LRESULT>(item.text.size());
}

LRESULT ListBoxControl::GetTextLength(int index) const {
  if (!Valid(index)) return LB_ERR;
  return HasStrings() ? static_cast<LRESULT>(items_.At(index).text.size()) : sizeof(ULONG_PTR);
}

bool ListBoxControl::Matches(const ListItem& item, LPARAM value, bool exact) const {
  if (!HasStrings()) return item.data == static_cast<ULONG_PTR>(value);
  std::string wanted = value ? reinterpret_cast<LPCSTR>(value) : "";
  return exact ? CompareNoCase(item.text, wanted) == 0 : StartsWithNoCase(item.text, wanted);
}

LRESULT ListBoxControl::FindString(int start, LPARAM value, bool exact) const {
  int count = Count();
  if (count == 0) return LB_ERR;
  if (start < -1 || start >= count) start = -1;
  // From the item after start to the end, then from the first item back round to start.
  int found = LB_ERR;
  auto look = [&](int index, const ListItem& item) {
    if (Matches(item, value, exact)) {
      found = index;
      return false;
    }
    return true;
  };
  items_.ForEachFrom(start + 1, look);
  if (found == LB_ERR && start >= 0)
    items_.ForEachFrom(0, [&](int index, const ListItem& item) { return index <= start && look(index, item); });
  return found;
}

int ListBoxControl::FindPrefix(int start, const std::string& prefix) const {
  LRESULT r = FindString(start, reinterpret_cast<LPARAM>(prefix.c_str()), false);
  return static_cast<int>(r);
}

LRESULT ListBoxControl::AddDirectory(UINT attributes, LPCSTR path) {
  if (!path || !HasStrings()) return LB_ERR;
  // Read-write files come always, unless only the kinds asked for are wanted; folders show
  // in brackets. There are no drives to list.
  constexpr int kKinds = faReadOnly | faHidden | faSysFile | faDirectory | faArchive;
  int asked = static_cast<int>(attributes) & kKinds;
  bool exclusive = (attributes & DDL_EXCLUSIVE) != 0;
  TSearchRec rec;
  if (FindFirst(path, asked, rec) != 0) return LB_ERR;
  LRESULT last = LB_ERR;
  do {
    if (rec.Name == ".") continue;
    bool folder = (rec.Attr & faDirectory) != 0;
    if (folder && !(asked & faDirectory)) continue;
    if (exclusive && (rec.Attr & asked) == 0) continue;
    std::string text = folder ? "[" + rec.Name + "]" : rec.Name;
    LRESULT index = InsertItem(-1, reinterpret_cast<LPARAM>(text.c_str()), true);
    if (index < 0) break;
    last = index;
  } while (FindNext(rec) == 0);
  FindClose(rec);
  return last;
}

// ---------------------------------------------------------------------------------------
// Selection.

bool ListBoxControl::Select(int index, bool selected) {
  if (!Valid(index)) return false;
  if (!items_.SetSelected(index, selected)) return false;
  InvalidateItem(index);
  return true;
}

bool ListBoxControl::SelectOnly(int index) {
  bool changed = false;
  if (SingleSel()) {
    if (curSel_ == index) return false;
    if (Valid(curSel_)) Select(curSel_, false);
    curSel_ = Valid(index) ? index : -1;
    if (curSel_ >= 0) Select(curSel_, true);
    return true;
  }
  // Multiple selection: clear the others one by one while there are few, else all at once.
  int selected = items_.SelectedCount();
  bool wasOnly = selected == 1 && Valid(index) && items_.At(index).selected;
  if (wasOnly) return false;
  if (selected > kFewItems) {
    items_.SelectAll(false);
    Redraw();
    changed = true;
  } else {
    for (int i = items_.NextSelected(0); i >= 0; i = items_.NextSelected(i + 1)) changed |= Select(i, false);
  }
  if (Valid(index)) changed |= Select(index, true);
  return changed;
}

bool ListBoxControl::SelectRangeOnly(int first, int last, bool keepOthers, bool state) {
  if (first > last) std::swap(first, last);
  first = std::max(first, 0);
  last = std::min(last, Count() - 1);
  if (first > last) return false;
  // Counted, not visited: how many are selected inside the range and outside it.
  int inside = items_.SelectedBefore(last + 1) - items_.SelectedBefore(first);
  int outside = items_.SelectedCount() - inside;
  int size = last - first + 1;
  bool changed = false, redrawAll = false;
  if (!keepOthers && outside > 0) {
    if (outside > kFewItems) {
      items_.SelectAll(false);
      inside = 0;
      redrawAll = true;
    } else {
      for (int i = items_.NextSelected(0); i >= 0; i = items_.NextSelected(i + 1)) {
        if (i >= first && i <= last) {
          i = last;
          continue;
        }
        Select(i, false);
      }
    }
    changed = true;
  }
  int toChange = state ? size - inside : inside;
  if (toChange > 0) {
    changed = true;
    if (size > kFewItems) {
      items_.SelectRange(first, last, state);
      redrawAll = true;
    } else {
      for (int i = first; i <= last; ++i) Select(i, state);
    }
  }
  if (redrawAll) Redraw();
  return changed;
}

LRESULT ListBoxControl::SetCurSel(int index) {
  if (!SingleSel() || Is(LBS_NOSEL)) return LB_ERR;
  if (index != -1 && !Valid(index)) return LB_ERR;
  SelectOnly(index);
  if (index >= 0) {
    SetCaret(index, true);
    return index;
  }
  return LB_ERR;  // as Windows answers a cleared selection
}

LRESULT ListBoxControl::GetCurSel() const {
  if (SingleSel()) return curSel_;
  if (Count() == 0) return LB_ERR;
  return caret_;
}

LRESULT ListBoxControl::SetSel(bool select, int index) {
  if (SingleSel()) return LB_ERR;
  if (index == -1) {
    if (Count() == 0) return LB_OKAY;
    SelectRangeOnly(0, Count() - 1, true, select);
    return LB_OKAY;
  }
  if (!Valid(index)) return LB_ERR;
  Select(index, select);
  if (select) anchor_ = index;
  return LB_OKAY;
}

LRESULT ListBoxControl::SelItemRange(bool select, int first, int last) {
  if (SingleSel()) return LB_ERR;
  if (Count() == 0) return LB_ERR;
  if (first > last) std::swap(first, last);
  if (last < 0 || first >= Count()) return LB_ERR;
  SelectRangeOnly(first, last, true, select);
  return LB_OKAY;
}

LRESULT ListBoxControl::GetSelItems(int max, int* out) const {
  if (SingleSel()) return LB_ERR;
  if (!out || max <= 0) return 0;
  int n = 0;
  for (int i = items_.NextSelected(0); i >= 0 && n < max; i = items_.NextSelected(i + 1)) out[n++] = i;
  return n;
}

void ListBoxControl::SetCaret(int index, bool scroll) {
  if (!Valid(index)) return;
  if (index != caret_) {
    int old = caret_;
    caret_ = index;
    if (focused_) {
      InvalidateItem(old);
      InvalidateItem(caret_);
    }
  }
  if (scroll) EnsureVisible(index);
}

// ---------------------------------------------------------------------------------------
// The window procedure's switch.

LRESULT ListBoxControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  int index = static_cast<int>(static_cast<INT_PTR>(wParam));
  switch (message) {
    case WM_CREATE:
      font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
      MeasureFont();
      if (Is(LBS_OWNERDRAWFIXED) || (OwnerDraw() && Is(LBS_MULTICOLUMN))) itemHeight_ = MeasureItem(0, 0);
      if (!Is(LBS_NOINTEGRALHEIGHT) && !Variable() && !combo_) {
        // The height is cut to whole rows (WM_WINDOWPOSCHANGING does the cutting).
        RECT w;
        GetWindowRect(window_, &w);
        SetWindowPos(window_, nullptr, 0, 0, w.right - w.left, w.bottom - w.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      UpdateScroll();
      return 0;
    case WM_DESTROY: {
      ListItems gone;
      gone.Swap(items_);
      curSel_ = anchor_ = -1;
      caret_ = top_ = 0;
      SendDeleteItems(gone);
      return 0;
    }
    case WM_WINDOWPOSCHANGING:
      EnforceIntegralHeight(reinterpret_cast<WINDOWPOS*>(lParam));
      return DefWindowProc(window_, message, wParam, lParam);
    case WM_SIZE:
      top_ = std::clamp(top_, 0, MaxTop());
      UpdateScroll();
      Redraw();
      return 0;
    case WM_STYLECHANGED:
      if (wParam == static_cast<WPARAM>(GWL_STYLE)) {
        DWORD keep = style_ & (LBS_HASSTRINGS | LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE | LBS_MULTICOLUMN);
        DWORD now = reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew;
        style_ = (now & ~static_cast<DWORD>(LBS_HASSTRINGS | LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE | LBS_MULTICOLUMN)) | keep;
      }
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      MeasureFont();
      top_ = std::clamp(top_, 0, MaxTop());
      UpdateScroll();
      if (LOWORD(lParam)) Redraw();
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ENABLE: Redraw(); return 0;
    case WM_SETREDRAW:
      redraw_ = wParam != 0;
      if (redraw_) {
        top_ = std::clamp(top_, 0, MaxTop());
        UpdateScroll();
        Redraw();
      }
      return 0;
    case WM_SETFOCUS:
      focused_ = true;
      InvalidateItem(caret_);
      Notify(LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      focused_ = false;
      InvalidateItem(caret_);
      if (tracking_) EndTracking();
      Notify(LBN_KILLFOCUS);
      return 0;
    case WM_PAINT: return OnPaint(reinterpret_cast<HDC>(wParam));
    case WM_PRINTCLIENT: return OnPaint(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return 1;  // the paint fills what the items leave
    case WM_KEYDOWN: return OnKeyDown(static_cast<int>(wParam));
    case WM_CHAR: return OnChar(static_cast<char>(wParam));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, wParam, message == WM_LBUTTONDBLCLK && !comboTracking_);
      return 0;
    case WM_MOUSEMOVE: OnMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_LBUTTONUP: OnButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_MOUSEACTIVATE:
      if (combo_ && (GetWindowLong(window_, GWL_STYLE) & WS_POPUP)) return MA_NOACTIVATE;
      return DefWindowProc(window_, message, wParam, lParam);
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) == window_ || scrollingBar_) return 0;
      if (comboTracking_) {
        comboTracking_ = false;
        if (timerOn_) KillTimer(window_, kAutoScrollTimer);
        timerOn_ = false;
        SendMessage(combo_, kComboListCloseUp, FALSE, 0);
      } else if (tracking_) {
        tracking_ = false;
        EndTracking();
      }
      return 0;
    case WM_TIMER:
      if (wParam == kAutoScrollTimer) OnTimer();
      return 0;
    case WM_CANCELMODE:
      // A modal loop or another program takes over: the mouse tracking ends (an open combo
      // list closes through the loss of its capture).
      if (GetCapture() == window_) ReleaseCapture();
      else if (tracking_) EndTracking();
      return 0;
    case WM_MOUSEWHEEL: OnWheel(static_cast<short>(HIWORD(wParam))); return 0;
    case WM_VSCROLL:
    case WM_HSCROLL: {
      bool vertical = message == WM_VSCROLL;
      int code = LOWORD(wParam);
      int thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION
                      ? scrollbars::ThumbPosition(window_, vertical ? SB_VERT : SB_HORZ, wParam)
                      : 0;
      Scroll(vertical, code, thumb);
      return 0;
    }

    case kComboListTrack:
      comboTracking_ = true;
      comboButtonDown_ = wParam != 0;
      SetCapture(window_);
      return 0;

    case LB_ADDSTRING: return InsertItem(-1, lParam, true);
    case LB_INSERTSTRING: return InsertItem(index, lParam, false);
    case LB_DELETESTRING: return DeleteItem(index);
    case LB_RESETCONTENT: ResetContent(); return LB_OKAY;
    case LB_GETCOUNT: return Count();
    case LB_GETTEXT: return GetText(index, reinterpret_cast<LPSTR>(lParam));
    case LB_GETTEXTLEN: return GetTextLength(index);
    case LB_SETCURSEL: return SetCurSel(index);
    case LB_GETCURSEL: return GetCurSel();
    case LB_SETSEL: return SetSel(wParam != 0, static_cast<int>(lParam));
    case LB_GETSEL:
      if (!Valid(index)) return LB_ERR;
      return items_.At(index).selected ? 1 : 0;
    case LB_GETSELCOUNT: return SingleSel() ? LB_ERR : items_.SelectedCount();
    case LB_GETSELITEMS: return GetSelItems(index, reinterpret_cast<int*>(lParam));
    case LB_SELITEMRANGE: return SelItemRange(wParam != 0, LOWORD(lParam), HIWORD(lParam));
    case LB_SELITEMRANGEEX: {
      int first = index, last = static_cast<int>(lParam);
      if (first <= last) return SelItemRange(true, first, last);
      return SelItemRange(false, last, first);
    }
    case LB_FINDSTRING: return FindString(index, lParam, false);
    case LB_FINDSTRINGEXACT: return FindString(index, lParam, true);
    case LB_SELECTSTRING: {
      LRESULT found = FindString(index, lParam, false);
      if (found < 0) return LB_ERR;
      if (SingleSel()) return SetCurSel(static_cast<int>(found));
      Select(static_cast<int>(found), true);
      SetCaret(static_cast<int>(found), true);
      return found;
    }
    case LB_SETTOPINDEX:
      if (index < 0 || (index >= Count() && Count() > 0)) return LB_ERR;
      SetTop(index);
      return LB_OKAY;
    case LB_GETTOPINDEX: return top_;
    case LB_SETITEMDATA:
      if (!Valid(index)) return LB_ERR;
      items_.SetData(index, static_cast<ULONG_PTR>(lParam));
      return TRUE;
    case LB_GETITEMDATA:
      if (!Valid(index)) return LB_ERR;
      return static_cast<LRESULT>(items_.At(index).data);
    case LB_SETITEMHEIGHT: {
      int height = LOWORD(lParam);
      if (height <= 0 || height > 255) return LB_ERR;
      if (Variable()) {
        if (!Valid(index)) return LB_ERR;
        items_.SetHeight(index, height);
      } else {
        itemHeight_ = height;
      }
      top_ = std::clamp(top_, 0, MaxTop());
      UpdateScroll();
      Redraw();
      return LB_OKAY;
    }
    case LB_GETITEMHEIGHT:
      if (Variable()) return Valid(index) ? items_.At(index).height : LB_ERR;
      return itemHeight_;
    case LB_GETITEMRECT: {
      if (!Valid(index) && !(index == 0 && Count() == 0)) return LB_ERR;
      auto* out = reinterpret_cast<RECT*>(lParam);
      if (!out) return LB_ERR;
      *out = ItemRect(index);
      RECT c = Client();
      RECT visible;
      return IntersectRect(&visible, out, &c) ? 1 : 0;
    }
    case LB_ITEMFROMPOINT: {
      bool outside = false;
      int found = ItemAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &outside);
      if (found < 0) return MAKELONG(0xFFFF, 1);
      return MAKELONG(found, outside ? 1 : 0);
    }
    case LB_SETCARETINDEX:
      if (!Valid(index)) return LB_ERR;
      SetCaret(index, LOWORD(lParam) == 0);
      return LB_OKAY;
    case LB_GETCARETINDEX: return caret_;
    case LB_SETANCHORINDEX:
      if (!Valid(index)) return LB_ERR;
      anchor_ = index;
      return LB_OKAY;
    case LB_GETANCHORINDEX: return anchor_;
    case LB_INITSTORAGE: return Count() + std::max(0, index);
    case LB_SETHORIZONTALEXTENT:
      horizontalExtent_ = std::max(0, index);
      SetHorizontalPos(horizontalPos_);
      UpdateScroll();
      return 0;
    case LB_GETHORIZONTALEXTENT: return horizontalExtent_;
    case LB_SETCOLUMNWIDTH:
      if (index <= 0) return LB_ERR;
      columnWidth_ = index;
      top_ = std::clamp(top_, 0, MaxTop());
      UpdateScroll();
      Redraw();
      return LB_OKAY;
    case LB_SETTABSTOPS: return SetTabStops(index, reinterpret_cast<const int*>(lParam));
    case LB_SETLOCALE:
    case LB_GETLOCALE: return 0;
    case LB_DIR: return AddDirectory(static_cast<UINT>(wParam), reinterpret_cast<LPCSTR>(lParam));
    case LB_SETCOUNT:
    case LB_ADDFILE: return LB_ERR;
  }
  return DefWindowProc(window_, message, wParam, lParam);
}
