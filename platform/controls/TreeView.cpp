// The tree-view window: messages, painting, keyboard and mouse. The items themselves are
// TreeViewItems; this file is what a user and the parent see of them.

#include "platform/controls/TreeView.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "platform/controls/ControlInstance.h"
#include "platform/controls/ControlPaint.h"
#include "platform/controls/LabelEdit.h"
#include "platform/controls/TreeViewWindow.h"
#include "platform/controls/TreeViewItems.h"
#include "platform/rtl/Clock.h"
#include "platform/user/ScrollBars.h"
#include "platform/user/SystemClasses.h"

namespace treeview {

// ---- items ----

HTREEITEM TreeViewWindow::Insert(const TVINSERTSTRUCT* insert) {
  if (!insert) return nullptr;
  TreeViewItem* parent = items_.ParentFor(insert->hParent);
  if (!parent) return nullptr;
  const TVITEM& given = insert->item;
  std::string text = (given.mask & TVIF_TEXT) && given.pszText ? given.pszText : "";
  TreeViewItem* item = items_.Insert(parent, insert->hInsertAfter, std::move(text));
  if (given.mask & TVIF_IMAGE) item->image = given.iImage;
  if (given.mask & TVIF_SELECTEDIMAGE) item->selectedImage = given.iSelectedImage;
  if (given.mask & TVIF_PARAM) item->param = given.lParam;
  if (given.mask & TVIF_STATE) item->state = given.state & given.stateMask & ~TVIS_SELECTED;
  if (given.mask & TVIF_CHILDREN) {
    item->childrenGiven = true;
    item->childrenHint = given.cChildren;
  }
  RowsChanged();
  // The parent may have gained its button.
  if (parent != items_.Root()) InvalidateItem(parent);
  return item;
}

void TreeViewWindow::NotifyDeleted(TreeViewItem* item) {
  NMTREEVIEW nm;
  nm.itemOld.mask = TVIF_HANDLE | TVIF_PARAM;
  nm.itemOld.hItem = item;
  nm.itemOld.lParam = item->param;
  Notify(nm.hdr, TVN_DELETEITEM);
}

BOOL TreeViewWindow::Delete(HTREEITEM handle) {
  if (!handle || handle == TVI_ROOT) {
    DeleteAll();
    return TRUE;
  }
  if (!items_.IsItem(handle)) return FALSE;
  TreeViewItem* item = handle;
  if (editing_ && (editing_ == item || items_.IsAncestor(item, editing_))) EndEdit(true);
  const bool caretGoes = caret_ && (caret_ == item || items_.IsAncestor(item, caret_));
  for (TreeViewItem* gone : items_.Subtree(item)) NotifyDeleted(gone);
  // A handler may have deleted the item itself.
  if (!items_.IsItem(item)) return TRUE;
  TreeViewItem* successor = item->next ? item->next : item->prev ? item->prev
                            : item->parent != items_.Root() ? item->parent : nullptr;
  if (dropHilite_ && (dropHilite_ == item || items_.IsAncestor(item, dropHilite_))) dropHilite_ = nullptr;
  TreeViewItem* parent = item->parent;
  if (caretGoes) caret_ = nullptr;
  items_.Remove(item);
  if (parent != items_.Root() && !parent->firstChild) parent->state &= ~TVIS_EXPANDED;
  RowsChanged();
  if (caretGoes && successor) SelectCaret(successor, TVC_UNKNOWN);
  return TRUE;
}

void TreeViewWindow::DeleteAll() {
  if (editing_) EndEdit(true);
  for (TreeViewItem* top = items_.Root()->firstChild; top; top = top->next)
    for (TreeViewItem* gone : items_.Subtree(top)) NotifyDeleted(gone);
  caret_ = dropHilite_ = nullptr;
  items_.Remove(items_.Root());
  top_ = 0;
  RowsChanged();
}

LRESULT TreeViewWindow::NotifyItems(UINT code, UINT action, TreeViewItem* oldItem, TreeViewItem* newItem) {
  NMTREEVIEW nm;
  nm.action = action;
  constexpr UINT kMask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_TEXT;
  if (oldItem) FillItem(oldItem, kMask, nm.itemOld);
  if (newItem) FillItem(newItem, kMask, nm.itemNew);
  return Notify(nm.hdr, code);
}

BOOL TreeViewWindow::Expand(TreeViewItem* item, UINT action, bool byUser) {
  const bool reset = (action & TVE_COLLAPSERESET) != 0;
  action &= TVE_TOGGLE;
  if (action == TVE_TOGGLE) action = item->Expanded() ? TVE_COLLAPSE : TVE_EXPAND;
  if (action == 0) return FALSE;
  if (action == TVE_EXPAND && !item->HasChildren()) return FALSE;
  if (action == TVE_EXPAND && item->Expanded()) return TRUE;
  if (action == TVE_COLLAPSE && !item->Expanded() && !reset) return TRUE;
  // A program's TVM_EXPAND tells the parent only until the item has been expanded once.
  const bool tell = byUser || !(item->state & TVIS_EXPANDEDONCE);
  if (tell && NotifyItems(TVN_ITEMEXPANDING, action, nullptr, item)) return FALSE;
  if (!items_.IsItem(item)) return FALSE;
  if (action == TVE_EXPAND) {
    item->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    if (Has(TVS_SINGLEEXPAND) && byUser)
      for (TreeViewItem* sibling = item->parent->firstChild; sibling; sibling = sibling->next)
        if (sibling != item && sibling->Expanded()) Expand(sibling, TVE_COLLAPSE, true);
  } else {
    item->state &= ~TVIS_EXPANDED;
    if (caret_ && items_.IsAncestor(item, caret_)) SelectCaret(item, TVC_UNKNOWN);
    if (reset) {
      item->state &= ~TVIS_EXPANDEDONCE;
      while (item->firstChild) Delete(item->firstChild);
    }
  }
  RowsChanged();
  if (tell && items_.IsItem(item)) NotifyItems(TVN_ITEMEXPANDED, action, nullptr, item);
  return TRUE;
}

HTREEITEM TreeViewWindow::Next(UINT relation, HTREEITEM handle) {
  const auto& rows = items_.Rows();
  switch (relation) {
    case TVGN_ROOT: return items_.Root()->firstChild;
    case TVGN_CARET: return caret_;
    case TVGN_DROPHILITE: return dropHilite_;
    case TVGN_FIRSTVISIBLE: return top_ < static_cast<int>(rows.size()) ? rows[top_] : nullptr;
    case TVGN_LASTVISIBLE: return rows.empty() ? nullptr : rows.back();
  }
  if (relation == TVGN_CHILD && (!handle || handle == TVI_ROOT)) return items_.Root()->firstChild;
  if (!items_.IsItem(handle)) return nullptr;
  TreeViewItem* item = handle;
  switch (relation) {
    case TVGN_NEXT: return item->next;
    case TVGN_PREVIOUS: return item->prev;
    case TVGN_PARENT: return item->parent == items_.Root() ? nullptr : item->parent;
    case TVGN_CHILD: return item->firstChild;
    case TVGN_NEXTVISIBLE: {
      int row = items_.RowOf(item);
      return row >= 0 && row + 1 < static_cast<int>(rows.size()) ? rows[row + 1] : nullptr;
    }
    case TVGN_PREVIOUSVISIBLE: {
      int row = items_.RowOf(item);
      return row > 0 ? rows[row - 1] : nullptr;
    }
  }
  return nullptr;
}

BOOL TreeViewWindow::SelectCaret(TreeViewItem* item, UINT cause) {
  if (item == caret_) {
    if (item) EnsureVisible(item);
    return TRUE;
  }
  TreeViewItem* old = caret_;
  if (NotifyItems(TVN_SELCHANGING, cause, old, item)) return FALSE;
  if (item && !items_.IsItem(item)) return FALSE;
  if (old && items_.IsItem(old)) {
    old->state &= ~TVIS_SELECTED;
    InvalidateItem(old);
  }
  caret_ = item;
  if (item) {
    item->state |= TVIS_SELECTED;
    EnsureVisible(item);
    InvalidateItem(item);
  }
  NotifyItems(TVN_SELCHANGED, cause, old && items_.IsItem(old) ? old : nullptr, item);
  return TRUE;
}

BOOL TreeViewWindow::Select(UINT relation, HTREEITEM handle, UINT cause) {
  TreeViewItem* item = handle && items_.IsItem(handle) ? handle : nullptr;
  if (handle && !item) return FALSE;
  switch (relation) {
    case TVGN_CARET: return SelectCaret(item, cause);
    case TVGN_DROPHILITE:
      if (dropHilite_) InvalidateItem(dropHilite_);
      dropHilite_ = item;
      if (item) InvalidateItem(item);
      return TRUE;
    case TVGN_FIRSTVISIBLE:
      if (!item) return FALSE;
      EnsureVisible(item);
      ScrollTo(items_.RowOf(item));
      return TRUE;
  }
  return FALSE;
}

void TreeViewWindow::FillItem(const TreeViewItem* from, UINT mask, TVITEM& out) const {
  out.mask = mask;
  out.hItem = const_cast<TreeViewItem*>(from);
  if (mask & TVIF_STATE) out.state = from->state, out.stateMask = 0xFFFF;
  if (mask & TVIF_IMAGE) out.iImage = from->image;
  if (mask & TVIF_SELECTEDIMAGE) out.iSelectedImage = from->selectedImage;
  if (mask & TVIF_PARAM) out.lParam = from->param;
  if (mask & TVIF_CHILDREN) out.cChildren = from->firstChild ? 1 : from->childrenGiven ? from->childrenHint : 0;
  // Notifications point into the item's own text; TVM_GETITEM copies into the caller's buffer.
  if ((mask & TVIF_TEXT) && !out.pszText) out.pszText = const_cast<char*>(from->text.c_str());
}

BOOL TreeViewWindow::GetItem(TVITEM* item) {
  if (!item || !items_.IsItem(item->hItem)) return FALSE;
  TreeViewItem* from = item->hItem;
  LPSTR buffer = item->pszText;
  const int size = item->cchTextMax;
  const UINT mask = item->mask;
  const UINT stateMask = item->stateMask;
  FillItem(from, mask & ~TVIF_TEXT, *item);
  item->mask = mask;
  item->pszText = buffer;
  if (mask & TVIF_STATE) item->state &= stateMask ? stateMask : 0xFFFF;
  if ((mask & TVIF_TEXT) && buffer && size > 0) {
    const size_t n = std::min(from->text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, from->text.data(), n);
    buffer[n] = '\0';
  }
  return TRUE;
}

BOOL TreeViewWindow::SetItem(const TVITEM* given) {
  if (!given || !items_.IsItem(given->hItem)) return FALSE;
  TreeViewItem* item = given->hItem;
  if (given->mask & TVIF_TEXT) item->text = given->pszText ? given->pszText : "";
  if (given->mask & TVIF_IMAGE) item->image = given->iImage;
  if (given->mask & TVIF_SELECTEDIMAGE) item->selectedImage = given->iSelectedImage;
  if (given->mask & TVIF_PARAM) item->param = given->lParam;
  if (given->mask & TVIF_CHILDREN) {
    item->childrenGiven = true;
    item->childrenHint = given->cChildren;
  }
  if (given->mask & TVIF_STATE) {
    // Selection and expansion go through their own paths, so the parent hears of them.
    const UINT mask = given->stateMask & ~(TVIS_SELECTED | TVIS_EXPANDED);
    item->state = (item->state & ~mask) | (given->state & mask);
    if (given->stateMask & TVIS_EXPANDED) {
      const bool expand = (given->state & TVIS_EXPANDED) != 0;
      if (expand != item->Expanded()) {
        item->state ^= TVIS_EXPANDED;
        RowsChanged();
      }
    }
    if ((given->stateMask & TVIS_SELECTED) && (given->state & TVIS_SELECTED) && caret_ != item)
      SelectCaret(item, TVC_UNKNOWN);
  }
  InvalidateItem(item);
  return TRUE;
}

bool TreeViewWindow::EnsureVisible(TreeViewItem* item) {
  bool expanded = false;
  for (TreeViewItem* at = item->parent; at && at != items_.Root(); at = at->parent)
    if (!at->Expanded()) expanded |= Expand(at, TVE_EXPAND, false) != FALSE;
  const int row = items_.RowOf(item);
  if (row < 0) return false;
  const int shown = std::max(1, VisibleRows());
  if (row < top_) ScrollTo(row);
  else if (row >= top_ + shown) ScrollTo(row - shown + 1);
  return expanded;
}

LRESULT TreeViewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TVM_INSERTITEM: return reinterpret_cast<LRESULT>(Insert(reinterpret_cast<const TVINSERTSTRUCT*>(lParam)));
    case TVM_DELETEITEM: return Delete(reinterpret_cast<HTREEITEM>(lParam));
    case TVM_EXPAND: {
      auto item = reinterpret_cast<HTREEITEM>(lParam);
      return items_.IsItem(item) ? Expand(item, static_cast<UINT>(wParam), false) : FALSE;
    }
    case TVM_GETITEMRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      if (!rect) return FALSE;
      HTREEITEM item;
      std::memcpy(&item, rect, sizeof item);
      return items_.IsItem(item) && ItemRect(item, wParam != 0, *rect);
    }
    case TVM_GETCOUNT: return static_cast<LRESULT>(items_.Count());
    case TVM_GETINDENT: return indent_;
    case TVM_SETINDENT:
      indent_ = std::max(static_cast<int>(wParam), 4);
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case TVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(wParam == TVSIL_STATE ? stateImages_ : images_);
    case TVM_SETIMAGELIST: {
      HIMAGELIST& slot = wParam == TVSIL_STATE ? stateImages_ : images_;
      HIMAGELIST old = slot;
      slot = reinterpret_cast<HIMAGELIST>(lParam);
      itemHeight_ = 0;
      RowsChanged();
      return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETNEXTITEM: return reinterpret_cast<LRESULT>(Next(static_cast<UINT>(wParam), reinterpret_cast<HTREEITEM>(lParam)));
    case TVM_SELECTITEM: return Select(static_cast<UINT>(wParam), reinterpret_cast<HTREEITEM>(lParam), TVC_UNKNOWN);
    case TVM_GETITEM: return GetItem(reinterpret_cast<TVITEM*>(lParam));
    case TVM_SETITEM: return SetItem(reinterpret_cast<const TVITEM*>(lParam));
    case TVM_GETITEMSTATE: {
      auto item = reinterpret_cast<HTREEITEM>(wParam);
      return items_.IsItem(item) ? static_cast<LRESULT>(item->state & static_cast<UINT>(lParam)) : 0;
    }
    case TVM_EDITLABEL: return reinterpret_cast<LRESULT>(EditLabel(reinterpret_cast<HTREEITEM>(lParam)));
    case TVM_GETEDITCONTROL: return reinterpret_cast<LRESULT>(edit_.Window());
    case TVM_ENDEDITLABELNOW: EndEdit(wParam != 0); return TRUE;
    case TVM_GETVISIBLECOUNT: return VisibleRows();
    case TVM_HITTEST: {
      auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
      if (!info) return 0;
      *info = HitTest(info->pt);
      return reinterpret_cast<LRESULT>(info->hItem);
    }
    case TVM_SORTCHILDREN: {
      TreeViewItem* parent = items_.ParentFor(reinterpret_cast<HTREEITEM>(lParam));
      if (!parent) return FALSE;
      items_.SortChildren(parent, wParam != 0);
      RowsChanged();
      return TRUE;
    }
    case TVM_ENSUREVISIBLE: {
      auto item = reinterpret_cast<HTREEITEM>(lParam);
      return items_.IsItem(item) ? EnsureVisible(item) : FALSE;
    }
    case TVM_SETITEMHEIGHT: {
      const int old = ItemHeight();
      fixedItemHeight_ = static_cast<int>(static_cast<short>(wParam));
      if (fixedItemHeight_ <= 0) fixedItemHeight_ = -1;
      RowsChanged();
      return old;
    }
    case TVM_GETITEMHEIGHT: return ItemHeight();
    case TVM_SETBKCOLOR: {
      COLORREF old = background_;
      background_ = static_cast<COLORREF>(lParam);
      InvalidateRect(window_, nullptr, TRUE);
      return static_cast<LRESULT>(old == CLR_NONE ? static_cast<COLORREF>(-1) : old);
    }
    case TVM_SETTEXTCOLOR: {
      COLORREF old = textColour_;
      textColour_ = static_cast<COLORREF>(lParam);
      InvalidateRect(window_, nullptr, TRUE);
      return static_cast<LRESULT>(old == CLR_NONE ? static_cast<COLORREF>(-1) : old);
    }
    case TVM_GETBKCOLOR: return static_cast<LRESULT>(background_ == CLR_NONE ? static_cast<COLORREF>(-1) : background_);
    case TVM_GETTEXTCOLOR: return static_cast<LRESULT>(textColour_ == CLR_NONE ? static_cast<COLORREF>(-1) : textColour_);

    case WM_PAINT:
      return PaintControl(window_, wParam, [this](HDC dc, const RECT& dirty) { Paint(dc, dirty); });
    case WM_ERASEBKGND: return 1;  // the paint fills the background
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      itemHeight_ = 0;
      RowsChanged();
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE: UpdateScrollRange(); InvalidateRect(window_, nullptr, TRUE); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      focused_ = message == WM_SETFOCUS;
      if (caret_) InvalidateItem(caret_);
      SendNotify(window_, focused_ ? NM_SETFOCUS : NM_KILLFOCUS);
      return 0;
    case WM_ENABLE: InvalidateRect(window_, nullptr, TRUE); return 0;
    case WM_KEYDOWN: KeyDown(wParam); return 0;
    case WM_CHAR: Char(static_cast<char>(wParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      ButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, message == WM_LBUTTONDBLCLK);
      return 0;
    case WM_RBUTTONDOWN: {
      SetFocus(window_);
      const TVHITTESTINFO hit = HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (hit.hItem && (hit.flags & TVHT_ONITEM)) Select(TVGN_DROPHILITE, hit.hItem, TVC_BYMOUSE);
      return 0;
    }
    case WM_RBUTTONUP: {
      Select(TVGN_DROPHILITE, nullptr, TVC_BYMOUSE);
      if (SendNotify(window_, NM_RCLICK)) return 0;
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(window_, &p);
      SendMessage(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), MAKELPARAM(p.x, p.y));
      return 0;
    }
    case WM_TIMER:
      if (wParam == kEditTimer) {
        KillTimer(window_, kEditTimer);
        if (caret_ && GetFocus() == window_) EditLabel(caret_);
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: {
      const int notches = static_cast<short>(HIWORD(wParam)) / 120;
      ScrollTo(top_ - 3 * notches);
      return 0;
    }
    case WM_VSCROLL: {
      const int page = std::max(1, VisibleRows());
      ScrollTo(scrollbars::RequestedPosition(LOWORD(wParam), top_, 1, page,
                                             scrollbars::ThumbPosition(window_, SB_VERT, wParam), 0, 1 << 30));
      return 0;
    }
    case WM_DESTROY:
      KillTimer(window_, kEditTimer);
      DeleteAll();
      return 0;
  }
  return DefWindowProc(window_, message, wParam, lParam);
}

}  // namespace treeview

namespace {

[[maybe_unused]] const bool kRegistered = AddSystemClassRegistration(&RegisterTreeViewClass);

}  // namespace

void RegisterTreeViewClass() {
  RegisterControlClass(WC_TREEVIEW, ControlInstanceProc<treeview::TreeViewWindow>, CS_DBLCLKS);
}
