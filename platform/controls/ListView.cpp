// The list-view window. Items are laid out on a grid of cells whose shape depends on the
// view: one row per item in the report, columns of rows in the list, lines of cells for the
// icon views. Only the cells in sight are measured and drawn, so a list of any length paints
// and scrolls at the same speed.

#include "platform/controls/ListView.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>
#include <vector>

#include "platform/controls/ControlInstance.h"
#include "platform/controls/ControlPaint.h"
#include "platform/controls/LabelEdit.h"
#include "platform/controls/ListViewWindow.h"
#include "platform/rtl/Clock.h"
#include "platform/user/ScrollBars.h"
#include "platform/user/SystemClasses.h"

namespace listview {

// ---- items and columns ----

int ListViewWindow::SortedPlace(const std::string& text) const {
  const bool descending = (Style() & LVS_SORTDESCENDING) != 0;
  auto before = [&](const Item& item) {
    const int order = strcasecmp(item.text.c_str(), text.c_str());
    return descending ? order >= 0 : order <= 0;
  };
  return static_cast<int>(std::partition_point(items_.begin(), items_.end(), before) - items_.begin());
}

int ListViewWindow::Insert(const LVITEM* given) {
  if (!given || given->iSubItem != 0) return -1;
  Item item;
  if ((given->mask & LVIF_TEXT) && given->pszText) item.text = given->pszText;
  if (given->mask & LVIF_IMAGE) item.image = given->iImage;
  if (given->mask & LVIF_PARAM) item.param = given->lParam;
  if (given->mask & LVIF_INDENT) item.indent = given->iIndent;
  const UINT state = (given->mask & LVIF_STATE) ? given->state & given->stateMask : 0;
  int index = std::clamp(given->iItem, 0, Count());
  if (Style() & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) index = SortedPlace(item.text);
  items_.insert(items_.begin() + index, std::move(item));
  if (focused_ >= index) ++focused_;
  if (mark_ >= index) ++mark_;
  if (editing_ >= index) ++editing_;
  NotifyItem(LVN_INSERTITEM, index);
  if (Valid(index) && (state & (LVIS_SELECTED | LVIS_FOCUSED))) {
    if ((state & LVIS_SELECTED) && (Style() & LVS_SINGLESEL)) SetStateAll(0, LVIS_SELECTED);
    ChangeState(index, state, state & (LVIS_SELECTED | LVIS_FOCUSED));
  }
  if (Valid(index)) items_[index].state |= state & ~(LVIS_SELECTED | LVIS_FOCUSED);
  InvalidateRect(window_, nullptr, TRUE);
  UpdateScrollBars();
  return index;
}

BOOL ListViewWindow::Delete(int index) {
  if (!Valid(index)) return FALSE;
  if (editing_ == index) edit_.End(true);
  NotifyItem(LVN_DELETEITEM, index);
  if (!Valid(index)) return TRUE;
  if (items_[index].state & LVIS_SELECTED) --selectedCount_;
  items_.erase(items_.begin() + index);
  auto shift = [index](int& at) {
    if (at == index) at = -1;
    else if (at > index) --at;
  };
  shift(focused_);
  shift(mark_);
  shift(editing_);
  InvalidateRect(window_, nullptr, TRUE);
  ScrollToLine(top_);
  return TRUE;
}

BOOL ListViewWindow::DeleteAll() {
  edit_.End(true);
  if (items_.empty()) return TRUE;
  NMLISTVIEW all;
  all.iItem = -1;
  // A parent that answers TRUE does not want to hear of each item.
  if (!Notify(all.hdr, LVN_DELETEALLITEMS))
    for (int i = Count() - 1; i >= 0; --i)
      if (Valid(i)) NotifyItem(LVN_DELETEITEM, i);
  items_.clear();
  selectedCount_ = 0;
  focused_ = mark_ = editing_ = -1;
  top_ = 0;
  xOffset_ = 0;
  InvalidateRect(window_, nullptr, TRUE);
  UpdateScrollBars();
  return TRUE;
}

const std::string& ListViewWindow::TextOf(const Item& item, int subItem) const {
  static const std::string kEmpty;
  if (subItem == 0) return item.text;
  const size_t at = static_cast<size_t>(subItem - 1);
  return subItem > 0 && at < item.subItems.size() ? item.subItems[at] : kEmpty;
}

int ListViewWindow::CopyText(const std::string& text, LPSTR buffer, int size) const {
  if (!buffer || size <= 0) return 0;
  const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

BOOL ListViewWindow::SetItem(const LVITEM* given) {
  if (!given || !Valid(given->iItem) || given->iSubItem < 0) return FALSE;
  Item& item = items_[given->iItem];
  if (given->iSubItem > 0) {
    if (!(given->mask & LVIF_TEXT)) return TRUE;
    const size_t at = static_cast<size_t>(given->iSubItem - 1);
    if (item.subItems.size() <= at) item.subItems.resize(at + 1);
    item.subItems[at] = given->pszText ? given->pszText : "";
    InvalidateItem(given->iItem);
    return TRUE;
  }
  const int index = given->iItem;
  UINT changed = 0;
  if (given->mask & LVIF_TEXT) item.text = given->pszText ? given->pszText : "", changed |= LVIF_TEXT;
  if (given->mask & LVIF_IMAGE) item.image = given->iImage, changed |= LVIF_IMAGE;
  if (given->mask & LVIF_PARAM) item.param = given->lParam, changed |= LVIF_PARAM;
  if (given->mask & LVIF_INDENT) item.indent = given->iIndent;
  if (changed) NotifyItem(LVN_ITEMCHANGED, index, 0, 0, changed);
  if ((given->mask & LVIF_STATE) && Valid(index)) ChangeState(index, given->state, given->stateMask);
  InvalidateItem(index);
  return TRUE;
}

BOOL ListViewWindow::GetItem(LVITEM* item) const {
  if (!item || !Valid(item->iItem)) return FALSE;
  const Item& from = items_[item->iItem];
  if (item->mask & LVIF_TEXT) CopyText(TextOf(from, item->iSubItem), item->pszText, item->cchTextMax);
  if (item->iSubItem != 0) return TRUE;
  if (item->mask & LVIF_IMAGE) item->iImage = from.image;
  if (item->mask & LVIF_PARAM) item->lParam = from.param;
  if (item->mask & LVIF_INDENT) item->iIndent = from.indent;
  if (item->mask & LVIF_STATE) item->state = from.state & item->stateMask;
  return TRUE;
}

LRESULT ListViewWindow::NotifyItem(UINT code, int index, UINT newState, UINT oldState, UINT changed) {
  NMLISTVIEW nm;
  nm.iItem = index;
  nm.uNewState = newState;
  nm.uOldState = oldState;
  nm.uChanged = changed;
  if (Valid(index)) nm.lParam = items_[index].param;
  return Notify(nm.hdr, code);
}

bool ListViewWindow::ChangeState(int index, UINT state, UINT mask) {
  Item& item = items_[index];
  const UINT oldState = item.state;
  const UINT newState = (oldState & ~mask) | (state & mask);
  if (newState == oldState) return true;
  if (NotifyItem(LVN_ITEMCHANGING, index, newState, oldState, LVIF_STATE)) return false;
  if (!Valid(index)) return false;
  Item& now = items_[index];
  const UINT before = now.state;
  now.state = (before & ~mask) | (state & mask);
  if ((before ^ now.state) & LVIS_SELECTED) selectedCount_ += (now.state & LVIS_SELECTED) ? 1 : -1;
  if ((before ^ now.state) & LVIS_FOCUSED) {
    if (now.state & LVIS_FOCUSED) {
      if (Valid(focused_) && focused_ != index) {
        items_[focused_].state &= ~LVIS_FOCUSED;
        InvalidateItem(focused_);
      }
      focused_ = index;
    } else if (focused_ == index) {
      focused_ = -1;
    }
  }
  InvalidateItem(index);
  NotifyItem(LVN_ITEMCHANGED, index, now.state, before, LVIF_STATE);
  return true;
}

void ListViewWindow::SetStateAll(UINT state, UINT mask) {
  if ((mask & LVIS_SELECTED) && !(state & LVIS_SELECTED) && selectedCount_ == 0) mask &= ~LVIS_SELECTED;
  if (!mask) return;
  for (int i = 0; i < Count(); ++i) ChangeState(i, state, mask);
}

void ListViewWindow::SelectOnly(int index) {
  for (int i = 0; i < Count() && selectedCount_ > 0; ++i)
    if (i != index && (items_[i].state & LVIS_SELECTED)) ChangeState(i, 0, LVIS_SELECTED);
  if (Valid(index)) ChangeState(index, LVIS_SELECTED, LVIS_SELECTED);
}

void ListViewWindow::SelectRange(int from, int to) {
  if (from > to) std::swap(from, to);
  for (int i = 0; i < Count(); ++i) {
    const bool inside = i >= from && i <= to;
    if (inside != ((items_[i].state & LVIS_SELECTED) != 0)) ChangeState(i, inside ? LVIS_SELECTED : 0, LVIS_SELECTED);
  }
}

void ListViewWindow::Focus(int index) {
  if (!Valid(index)) return;
  ChangeState(index, LVIS_FOCUSED, LVIS_FOCUSED);
  EnsureVisible(index);
}

int ListViewWindow::NextItem(int start, UINT flags) {
  const UINT want = flags & (LVNI_SELECTED | LVNI_FOCUSED);
  auto matches = [&](int i) { return (items_[i].state & want) == want; };
  if (flags & (LVNI_ABOVE | LVNI_BELOW | LVNI_TOLEFT | LVNI_TORIGHT)) {
    if (!Valid(start)) return -1;
    const Grid grid = Cells();
    int step = 1;
    if (flags & (LVNI_ABOVE | LVNI_BELOW)) step = grid.linesAreColumns ? 1 : grid.perLine;
    else step = grid.linesAreColumns ? grid.perLine : 1;
    if (flags & (LVNI_ABOVE | LVNI_TOLEFT)) step = -step;
    if (Report() && (flags & (LVNI_TOLEFT | LVNI_TORIGHT))) return -1;
    for (int i = start + step; Valid(i); i += step)
      if (matches(i)) return i;
    return -1;
  }
  if (want == LVNI_FOCUSED) return Valid(focused_) && focused_ > start ? focused_ : -1;
  if ((want & LVNI_SELECTED) && selectedCount_ == 0) return -1;
  for (int i = std::max(start + 1, 0); i < Count(); ++i)
    if (matches(i)) return i;
  return -1;
}

int ListViewWindow::Find(int start, const LVFINDINFO* info) const {
  if (!info || items_.empty()) return -1;
  const int count = Count();
  const int first = std::clamp(start + 1, 0, count);
  const int span = (info->flags & LVFI_WRAP) ? count : count - first;
  const size_t length = info->psz ? std::strlen(info->psz) : 0;
  for (int n = 0; n < span; ++n) {
    const Item& item = items_[(first + n) % count];
    if (info->flags & LVFI_PARAM) {
      if (item.param == info->lParam) return (first + n) % count;
      continue;
    }
    if (!info->psz) return -1;
    const bool match = (info->flags & LVFI_PARTIAL) ? strncasecmp(item.text.c_str(), info->psz, length) == 0
                                                    : strcasecmp(item.text.c_str(), info->psz) == 0;
    if (match) return (first + n) % count;
  }
  return -1;
}

void ListViewWindow::Sort(LPARAM sortParam, PFNLVCOMPARE compare) {
  if (!compare) return;
  edit_.End(true);
  std::stable_sort(items_.begin(), items_.end(), [&](const Item& a, const Item& b) {
    return compare(a.param, b.param, sortParam) < 0;
  });
  focused_ = -1;
  for (int i = 0; i < Count(); ++i)
    if (items_[i].state & LVIS_FOCUSED) focused_ = i;
  mark_ = focused_;
  InvalidateRect(window_, nullptr, TRUE);
}

int ListViewWindow::InsertColumn(int index, const LVCOLUMN* given) {
  if (!given || index < 0) return -1;
  Column column;
  if ((given->mask & LVCF_TEXT) && given->pszText) column.text = given->pszText;
  if (given->mask & LVCF_WIDTH) column.width = std::max(given->cx, 0);
  if (given->mask & LVCF_FMT) column.format = given->fmt & LVCFMT_JUSTIFYMASK;
  index = std::min(index, static_cast<int>(columns_.size()));
  column.subItem = (given->mask & LVCF_SUBITEM) ? given->iSubItem : index;
  // The first column always shows the item's own text, left aligned.
  if (index == 0) column.format = LVCFMT_LEFT;
  columns_.insert(columns_.begin() + index, std::move(column));
  InvalidateRect(window_, nullptr, TRUE);
  Rescroll();
  return index;
}

int ListViewWindow::AutoWidth(int column, bool withHeader) {
  const Column& c = columns_[column];
  int width = withHeader ? TextWidth(c.text) + 12 : 0;
  const int extra = (column == 0 && smallImages_) ? [&] {
    int w = 0, h = 0;
    ImageList_GetIconSize(smallImages_, &w, &h);
    return w + kLabelPadding;
  }() : 0;
  for (const Item& item : items_) width = std::max(width, TextWidth(TextOf(item, c.subItem)) + 2 * kLabelPadding + 4 + extra);
  if (withHeader && column + 1 == static_cast<int>(columns_.size())) {
    // The last column may fill what is left of the window.
    RECT client;
    GetClientRect(window_, &client);
    int before = 0;
    for (int i = 0; i < column; ++i) before += columns_[i].width;
    width = std::max(width, static_cast<int>(client.right) - before);
  }
  return width;
}

template <class T>
T* Param(LPARAM lParam) {
  return reinterpret_cast<T*>(lParam);
}

LRESULT ListViewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
  switch (message) {
    case LVM_GETBKCOLOR: return static_cast<LRESULT>(background_ == CLR_NONE ? GetSysColor(COLOR_WINDOW) : background_);
    case LVM_SETBKCOLOR:
      background_ = static_cast<COLORREF>(lParam);
      InvalidateRect(window_, nullptr, TRUE);
      return TRUE;
    case LVM_GETTEXTCOLOR:
      return static_cast<LRESULT>(textColour_ == CLR_NONE ? GetSysColor(COLOR_WINDOWTEXT) : textColour_);
    case LVM_SETTEXTCOLOR:
      textColour_ = static_cast<COLORREF>(lParam);
      InvalidateRect(window_, nullptr, TRUE);
      return TRUE;
    case LVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(wParam == LVSIL_SMALL ? smallImages_ : wParam == LVSIL_STATE ? stateImages_ : images_);
    case LVM_SETIMAGELIST: {
      HIMAGELIST& slot = wParam == LVSIL_SMALL ? smallImages_ : wParam == LVSIL_STATE ? stateImages_ : images_;
      HIMAGELIST old = slot;
      slot = Param<std::remove_pointer_t<HIMAGELIST>>(lParam);
      InvalidateRect(window_, nullptr, TRUE);
      Rescroll();
      return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETITEMCOUNT: return Count();
    case LVM_GETITEM: return GetItem(Param<LVITEM>(lParam));
    case LVM_SETITEM: return SetItem(Param<const LVITEM>(lParam));
    case LVM_INSERTITEM: return Insert(Param<const LVITEM>(lParam));
    case LVM_DELETEITEM: return Delete(index);
    case LVM_DELETEALLITEMS: return DeleteAll();
    case LVM_GETNEXTITEM: return NextItem(index, static_cast<UINT>(LOWORD(lParam)));
    case LVM_FINDITEM: return Find(index, Param<const LVFINDINFO>(lParam));
    case LVM_GETITEMRECT: {
      auto* rect = Param<RECT>(lParam);
      return rect && PartRect(index, rect->left, *rect);
    }
    case LVM_GETSTRINGWIDTH: return lParam ? TextWidth(Param<const char>(lParam)) : 0;
    case LVM_HITTEST:
    case LVM_SUBITEMHITTEST: {
      auto* info = Param<LVHITTESTINFO>(lParam);
      if (!info) return -1;
      *info = HitTest(info->pt, message == LVM_SUBITEMHITTEST);
      return info->iItem;
    }
    case LVM_ENSUREVISIBLE: EnsureVisible(index); return Valid(index);
    case LVM_SCROLL: {
      const Grid grid = Cells();
      if (Report()) {
        RECT client;
        GetClientRect(window_, &client);
        ScrollToX(xOffset_ + index);
        ScrollToLine(top_ + static_cast<int>(lParam) / grid.cellHeight);
      } else {
        const int pixels = grid.linesAreColumns ? index : static_cast<int>(lParam);
        const int size = grid.linesAreColumns ? grid.cellWidth : grid.cellHeight;
        ScrollToLine(top_ + pixels / size);
      }
      return TRUE;
    }
    case LVM_REDRAWITEMS:
    case LVM_UPDATE:
    case LVM_ARRANGE: InvalidateRect(window_, nullptr, TRUE); return TRUE;
    case LVM_EDITLABEL: return reinterpret_cast<LRESULT>(EditLabel(index));
    case LVM_GETEDITCONTROL: return reinterpret_cast<LRESULT>(edit_.Window());
    case LVM_GETCOLUMN: {
      auto* c = Param<LVCOLUMN>(lParam);
      if (!c || index < 0 || index >= static_cast<int>(columns_.size())) return FALSE;
      const Column& from = columns_[index];
      if (c->mask & LVCF_TEXT) CopyText(from.text, c->pszText, c->cchTextMax);
      if (c->mask & LVCF_WIDTH) c->cx = from.width;
      if (c->mask & LVCF_FMT) c->fmt = from.format;
      if (c->mask & LVCF_SUBITEM) c->iSubItem = from.subItem;
      return TRUE;
    }
    case LVM_SETCOLUMN: {
      auto* c = Param<const LVCOLUMN>(lParam);
      if (!c || index < 0 || index >= static_cast<int>(columns_.size())) return FALSE;
      Column& to = columns_[index];
      if (c->mask & LVCF_TEXT) to.text = c->pszText ? c->pszText : "";
      if (c->mask & LVCF_WIDTH) to.width = std::max(c->cx, 0);
      if ((c->mask & LVCF_FMT) && index > 0) to.format = c->fmt & LVCFMT_JUSTIFYMASK;
      if (c->mask & LVCF_SUBITEM) to.subItem = c->iSubItem;
      InvalidateRect(window_, nullptr, TRUE);
      Rescroll();
      return TRUE;
    }
    case LVM_INSERTCOLUMN: return InsertColumn(index, Param<const LVCOLUMN>(lParam));
    case LVM_DELETECOLUMN:
      if (index < 0 || index >= static_cast<int>(columns_.size())) return FALSE;
      columns_.erase(columns_.begin() + index);
      InvalidateRect(window_, nullptr, TRUE);
      Rescroll();
      return TRUE;
    case LVM_GETCOLUMNWIDTH:
      if (View() == LVS_LIST) return Cells().cellWidth;
      return index >= 0 && index < static_cast<int>(columns_.size()) ? columns_[index].width : 0;
    case LVM_SETCOLUMNWIDTH: {
      const int width = static_cast<int>(static_cast<short>(LOWORD(lParam)));
      if (View() == LVS_LIST) {
        listColumnWidth_ = std::max(width, 1);
      } else {
        if (index < 0 || index >= static_cast<int>(columns_.size())) return FALSE;
        columns_[index].width = width == LVSCW_AUTOSIZE ? AutoWidth(index, false)
                                : width == LVSCW_AUTOSIZE_USEHEADER ? AutoWidth(index, true)
                                                                    : std::max(width, 0);
      }
      InvalidateRect(window_, nullptr, TRUE);
      Rescroll();
      return TRUE;
    }
    case LVM_GETHEADER: return 0;  // the header is drawn by the view itself
    case LVM_GETTOPINDEX: return Count() ? std::min(top_ * Cells().perLine, Count() - 1) : 0;
    case LVM_GETCOUNTPERPAGE: return CountPerPage();
    case LVM_SETITEMSTATE: {
      auto* item = Param<const LVITEM>(lParam);
      if (!item) return FALSE;
      if (index == -1) {
        SetStateAll(item->state, item->stateMask);
        return TRUE;
      }
      if (!Valid(index)) return FALSE;
      if ((item->stateMask & item->state & LVIS_SELECTED) && (Style() & LVS_SINGLESEL)) SelectOnly(-1);
      return ChangeState(index, item->state, item->stateMask);
    }
    case LVM_GETITEMSTATE: return Valid(index) ? static_cast<LRESULT>(items_[index].state & static_cast<UINT>(lParam)) : 0;
    case LVM_GETITEMTEXT: {
      auto* item = Param<LVITEM>(lParam);
      if (!item || !Valid(index)) return 0;
      return CopyText(TextOf(items_[index], item->iSubItem), item->pszText, item->cchTextMax);
    }
    case LVM_SETITEMTEXT: {
      auto* item = Param<const LVITEM>(lParam);
      if (!item) return FALSE;
      LVITEM text = *item;
      text.mask = LVIF_TEXT;
      text.iItem = index;
      return SetItem(&text);
    }
    case LVM_SETITEMCOUNT: items_.reserve(static_cast<size_t>(std::max(index, 0))); return TRUE;
    case LVM_SORTITEMS: Sort(static_cast<LPARAM>(wParam), reinterpret_cast<PFNLVCOMPARE>(lParam)); return TRUE;
    case LVM_GETSELECTEDCOUNT: return selectedCount_;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      const DWORD old = extended_;
      const DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFF;
      extended_ = (extended_ & ~mask) | (static_cast<DWORD>(lParam) & mask);
      InvalidateRect(window_, nullptr, TRUE);
      return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return extended_;
    case LVM_GETSELECTIONMARK: return mark_;
    case LVM_SETSELECTIONMARK: {
      const int old = mark_;
      mark_ = Valid(static_cast<int>(lParam)) ? static_cast<int>(lParam) : -1;
      return old;
    }

    case WM_PAINT:
      return PaintControl(window_, wParam, [this](HDC dc, const RECT& dirty) { Paint(dc, dirty); });
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      textHeight_ = 0;
      InvalidateRect(window_, nullptr, TRUE);
      Rescroll();
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE: Rescroll(); InvalidateRect(window_, nullptr, TRUE); return 0;
    case WM_STYLECHANGED: {
      // The bars' own style bits come and go as they are needed: that keeps the view where it
      // is. Another view starts at the top left.
      const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
      if (wParam != static_cast<WPARAM>(GWL_STYLE) || !change ||
          !((change->styleOld ^ change->styleNew) & ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL)))
        return 0;
      top_ = 0;
      xOffset_ = 0;
      InvalidateRect(window_, nullptr, TRUE);
      Rescroll();
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      focused_window_ = message == WM_SETFOCUS;
      InvalidateRect(window_, nullptr, FALSE);
      SendNotify(window_, focused_window_ ? NM_SETFOCUS : NM_KILLFOCUS);
      return 0;
    case WM_ENABLE: InvalidateRect(window_, nullptr, TRUE); return 0;
    case WM_KEYDOWN: KeyDown(wParam); return 0;
    case WM_CHAR: Char(static_cast<char>(wParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      ButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)},
                 message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK,
                 message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK);
      return 0;
    case WM_MOUSEMOVE:
      if (!(wParam & MK_LBUTTON)) pressedColumn_ = sizingColumn_ = -1;
      MouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_LBUTTONUP: ButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (SendNotify(window_, NM_RCLICK)) return 0;
      ClientToScreen(window_, &p);
      SendMessage(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), MAKELPARAM(p.x, p.y));
      return 0;
    }
    case WM_CAPTURECHANGED:
      // A framework over the control may release and take the capture again while the
      // button is down; only another window taking it ends the tracking.
      if (lParam && reinterpret_cast<HWND>(lParam) != window_) {
        pressedColumn_ = sizingColumn_ = -1;
        InvalidateRect(window_, nullptr, FALSE);
      }
      return 0;
    case WM_SETCURSOR: {
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(window_, &p);
      bool divider = false;
      if (reinterpret_cast<HWND>(wParam) == window_ && p.y >= 0 && p.y < HeaderHeight() && ColumnAtX(p.x, divider) >= 0 &&
          divider) {
        SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
      }
      break;
    }
    case WM_TIMER:
      if (wParam == kEditTimer) {
        KillTimer(window_, kEditTimer);
        if (Valid(focused_) && GetFocus() == window_) EditLabel(focused_);
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: {
      const int notches = static_cast<short>(HIWORD(wParam)) / 120;
      ScrollToLine(top_ - (Cells().linesAreColumns ? 1 : 3) * notches);
      return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
      const int bar = message == WM_VSCROLL ? SB_VERT : SB_HORZ;
      const int code = LOWORD(wParam);
      if (bar == SB_HORZ && Report()) {
        // Sideways over the report's columns, in pixels.
        const RECT area = ItemArea();
        const int page = std::max(1, static_cast<int>(area.right - area.left));
        ScrollToX(scrollbars::RequestedPosition(code, xOffset_, kSideStep, page,
                                                scrollbars::ThumbPosition(window_, bar, wParam), 0, 1 << 30));
        return 0;
      }
      // The lines' own bar: across in list view, down in the others.
      if ((bar == SB_HORZ) != Cells().linesAreColumns) return 0;
      ScrollToLine(scrollbars::RequestedPosition(code, top_, 1, LinesInView(),
                                                 scrollbars::ThumbPosition(window_, bar, wParam), 0, 1 << 30));
      return 0;
    }
    case WM_DESTROY:
      KillTimer(window_, kEditTimer);
      DeleteAll();
      return 0;
  }
  return DefWindowProc(window_, message, wParam, lParam);
}

}  // namespace listview

namespace {

[[maybe_unused]] const bool kRegistered = AddSystemClassRegistration(&RegisterListViewClass);

}  // namespace

void RegisterListViewClass() {
  RegisterControlClass(WC_LISTVIEW, ControlInstanceProc<listview::ListViewWindow>, CS_DBLCLKS);
}
