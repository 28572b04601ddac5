// The tree-view window: messages, painting, keyboard and mouse. The items themselves are
// TreeViewItems; this file is what a user and the parent see of them.

#include "platform/controls/TreeView.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "platform/controls/ControlInstance.h"
#include "platform/controls/LabelEdit.h"
#include "platform/controls/TreeViewItems.h"
#include "platform/rtl/Clock.h"
#include "platform/user/SystemClasses.h"

namespace {

constexpr UINT_PTR kEditTimer = 1;  // the slow second click that starts an edit
constexpr int kDefaultIndent = 19;
constexpr int kLabelPadding = 2;  // between the label's highlight and its text
constexpr int kImageGap = 3;     // between the image and the label
constexpr DWORD kTypeAheadPause = 1000;

class TreeView {
public:
  explicit TreeView(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }
  bool Has(DWORD style) const { return (Style() & style) != 0; }

  // Items.
  HTREEITEM Insert(const TVINSERTSTRUCT* insert);
  BOOL Delete(HTREEITEM handle);
  void DeleteAll();
  void NotifyDeleted(TreeViewItem* item);
  BOOL Expand(TreeViewItem* item, UINT action, bool byUser);
  HTREEITEM Next(UINT relation, HTREEITEM handle);
  BOOL Select(UINT relation, HTREEITEM handle, UINT cause);
  BOOL SelectCaret(TreeViewItem* item, UINT cause);
  BOOL GetItem(TVITEM* item);
  BOOL SetItem(const TVITEM* item);
  void FillItem(const TreeViewItem* from, UINT mask, TVITEM& out) const;
  bool EnsureVisible(TreeViewItem* item);

  // Geometry.
  int ItemHeight();
  int VisibleRows();
  int LevelOffset() const { return Has(TVS_LINESATROOT) ? 1 : 0; }
  int ContentLeft(const TreeViewItem* item) const { return (item->depth + LevelOffset()) * indent_ - xOffset_; }
  int ImageWidth() const;
  int LabelWidth(const TreeViewItem* item);
  bool ItemRect(TreeViewItem* item, bool textOnly, RECT& out);
  TVHITTESTINFO HitTest(POINT p);
  void ScrollTo(int top);
  void UpdateScrollRange();
  void RowsChanged();

  // Painting.
  void Paint(HDC dc, const RECT& dirty);
  void PaintRow(HDC dc, TreeViewItem* item, int y);
  void DottedLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour);
  void InvalidateItem(TreeViewItem* item);
  HFONT Font() const { return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

  // Input.
  void KeyDown(WPARAM key);
  void Char(char c);
  void ButtonDown(POINT p, bool doubleClick);
  HWND EditLabel(TreeViewItem* item);
  void EndEdit(bool cancel);

  LRESULT Notify(NMHDR& header, UINT code) { return SendNotify(window_, header, code); }
  LRESULT NotifyItems(UINT code, UINT action, TreeViewItem* oldItem, TreeViewItem* newItem);

  HWND window_;
  TreeViewItems items_;
  TreeViewItem* caret_ = nullptr;
  TreeViewItem* dropHilite_ = nullptr;
  HIMAGELIST images_ = nullptr;
  HIMAGELIST stateImages_ = nullptr;
  HFONT font_ = nullptr;
  int indent_ = kDefaultIndent;
  int itemHeight_ = 0;       // 0: from the font and the images
  int fixedItemHeight_ = -1;  // set by TVM_SETITEMHEIGHT
  int top_ = 0;              // the first row shown
  int xOffset_ = 0;
  COLORREF background_ = CLR_NONE;
  COLORREF textColour_ = CLR_NONE;
  LabelEdit edit_;
  TreeViewItem* editing_ = nullptr;
  std::string typed_;
  DWORD typedAt_ = 0;
  bool focused_ = false;
};

// ---- items ----

HTREEITEM TreeView::Insert(const TVINSERTSTRUCT* insert) {
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

void TreeView::NotifyDeleted(TreeViewItem* item) {
  NMTREEVIEW nm;
  nm.itemOld.mask = TVIF_HANDLE | TVIF_PARAM;
  nm.itemOld.hItem = item;
  nm.itemOld.lParam = item->param;
  Notify(nm.hdr, TVN_DELETEITEM);
}

BOOL TreeView::Delete(HTREEITEM handle) {
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

void TreeView::DeleteAll() {
  if (editing_) EndEdit(true);
  for (TreeViewItem* top = items_.Root()->firstChild; top; top = top->next)
    for (TreeViewItem* gone : items_.Subtree(top)) NotifyDeleted(gone);
  caret_ = dropHilite_ = nullptr;
  items_.Remove(items_.Root());
  top_ = 0;
  RowsChanged();
}

LRESULT TreeView::NotifyItems(UINT code, UINT action, TreeViewItem* oldItem, TreeViewItem* newItem) {
  NMTREEVIEW nm;
  nm.action = action;
  constexpr UINT kMask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_TEXT;
  if (oldItem) FillItem(oldItem, kMask, nm.itemOld);
  if (newItem) FillItem(newItem, kMask, nm.itemNew);
  return Notify(nm.hdr, code);
}

BOOL TreeView::Expand(TreeViewItem* item, UINT action, bool byUser) {
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

HTREEITEM TreeView::Next(UINT relation, HTREEITEM handle) {
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

BOOL TreeView::SelectCaret(TreeViewItem* item, UINT cause) {
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

BOOL TreeView::Select(UINT relation, HTREEITEM handle, UINT cause) {
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

void TreeView::FillItem(const TreeViewItem* from, UINT mask, TVITEM& out) const {
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

BOOL TreeView::GetItem(TVITEM* item) {
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

BOOL TreeView::SetItem(const TVITEM* given) {
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

bool TreeView::EnsureVisible(TreeViewItem* item) {
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

// ---- geometry ----

int TreeView::ImageWidth() const {
  int width = 0, height = 0;
  if (images_) ImageList_GetIconSize(images_, &width, &height);
  return width;
}

int TreeView::ItemHeight() {
  if (fixedItemHeight_ > 0) return fixedItemHeight_;
  if (itemHeight_ > 0) return itemHeight_;
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, Font());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  int height = tm.tmHeight + 3;
  int iw = 0, ih = 0;
  if (images_ && ImageList_GetIconSize(images_, &iw, &ih)) height = std::max(height, ih + 1);
  itemHeight_ = std::max(height, 1);
  return itemHeight_;
}

int TreeView::VisibleRows() {
  RECT client;
  GetClientRect(window_, &client);
  return std::max(0, static_cast<int>(client.bottom - client.top) / ItemHeight());
}

int TreeView::LabelWidth(const TreeViewItem* item) {
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, Font());
  SIZE size{};
  GetTextExtentPoint32(dc, item->text.c_str(), static_cast<int>(item->text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  return size.cx + 2 * kLabelPadding;
}

bool TreeView::ItemRect(TreeViewItem* item, bool textOnly, RECT& out) {
  const int row = items_.RowOf(item);
  if (row < 0) return false;
  RECT client;
  GetClientRect(window_, &client);
  const int y = (row - top_) * ItemHeight();
  out = RECT{client.left, y, client.right, y + ItemHeight()};
  if (textOnly) {
    out.left = ContentLeft(item) + (images_ ? ImageWidth() + kImageGap : 0);
    out.right = out.left + LabelWidth(item);
  }
  return true;
}

TVHITTESTINFO TreeView::HitTest(POINT p) {
  TVHITTESTINFO info;
  info.pt = p;
  RECT client;
  GetClientRect(window_, &client);
  if (p.y < client.top) info.flags |= TVHT_ABOVE;
  if (p.y >= client.bottom) info.flags |= TVHT_BELOW;
  if (p.x < client.left) info.flags |= TVHT_TOLEFT;
  if (p.x >= client.right) info.flags |= TVHT_TORIGHT;
  if (info.flags) return info;
  const auto& rows = items_.Rows();
  const int row = top_ + p.y / ItemHeight();
  if (p.y < 0 || row >= static_cast<int>(rows.size())) {
    info.flags = TVHT_NOWHERE;
    return info;
  }
  TreeViewItem* item = rows[row];
  info.hItem = item;
  const int left = ContentLeft(item);
  const int buttonColumn = left - indent_;
  if (p.x < left) {
    const bool onButton = Has(TVS_HASBUTTONS) && item->HasChildren() && (item->depth > 0 || LevelOffset()) &&
                          p.x >= buttonColumn;
    info.flags = onButton ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
    return info;
  }
  const int imageRight = left + (images_ ? ImageWidth() + kImageGap : 0);
  if (images_ && p.x < imageRight) info.flags = TVHT_ONITEMICON;
  else if (p.x < imageRight + LabelWidth(item)) info.flags = TVHT_ONITEMLABEL;
  else info.flags = TVHT_ONITEMRIGHT;
  return info;
}

void TreeView::ScrollTo(int top) {
  const int rows = static_cast<int>(items_.Rows().size());
  top = std::clamp(top, 0, std::max(0, rows - std::max(1, VisibleRows())));
  if (top == top_) return;
  const int dy = (top_ - top) * ItemHeight();
  top_ = top;
  EndEdit(false);
  ScrollWindowEx(window_, 0, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
  UpdateScrollRange();
}

void TreeView::UpdateScrollRange() {
  // The window's scroll bar shows the rows; until it exists the wheel and keys scroll.
  const int rows = static_cast<int>(items_.Rows().size());
  if (top_ > 0 && top_ > std::max(0, rows - std::max(1, VisibleRows()))) ScrollTo(top_);
}

void TreeView::RowsChanged() {
  items_.RowsChanged();
  UpdateScrollRange();
  InvalidateRect(window_, nullptr, TRUE);
}

void TreeView::InvalidateItem(TreeViewItem* item) {
  RECT r;
  if (ItemRect(item, false, r)) InvalidateRect(window_, &r, TRUE);
}

// ---- painting ----

void TreeView::DottedLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
  // Every other pixel, on the even places of the client grid, so joining lines meet.
  if (x0 == x1) {
    for (int y = y0 + ((x0 + y0) & 1); y < y1; y += 2) SetPixelV(dc, x0, y, colour);
  } else {
    for (int x = x0 + ((x0 + y0) & 1); x < x1; x += 2) SetPixelV(dc, x, y0, colour);
  }
}

void TreeView::PaintRow(HDC dc, TreeViewItem* item, int y) {
  const int height = ItemHeight();
  const int middle = y + height / 2;
  const int left = ContentLeft(item);
  const COLORREF lineColour = GetSysColor(COLOR_GRAYTEXT);
  const bool ownColumn = item->depth > 0 || LevelOffset();
  if (Has(TVS_HASLINES)) {
    // The ancestors' lines pass through when they have siblings below.
    for (TreeViewItem* a = item->parent; a && a != items_.Root(); a = a->parent) {
      if (!a->next || (a->depth == 0 && !LevelOffset())) continue;
      const int x = ContentLeft(a) - indent_ / 2 - 1;
      DottedLine(dc, x, y, x, y + height, lineColour);
    }
    if (ownColumn) {
      const int x = left - indent_ / 2 - 1;
      const bool above = item->prev || item->parent != items_.Root();
      DottedLine(dc, x, above ? y : middle, x, item->next ? y + height : middle + 1, lineColour);
      DottedLine(dc, x, middle, left - 1, middle, lineColour);
    }
  }
  if (Has(TVS_HASBUTTONS) && item->HasChildren() && ownColumn) {
    const int cx = left - indent_ / 2 - 1;
    RECT box{cx - 4, middle - 4, cx + 5, middle + 5};
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    HBRUSH frame = GetSysColorBrush(COLOR_BTNSHADOW);
    FrameRect(dc, &box, frame);
    RECT bar{cx - 2, middle, cx + 3, middle + 1};
    FillRect(dc, &bar, GetSysColorBrush(COLOR_WINDOWTEXT));
    if (!item->Expanded()) {
      RECT stem{cx, middle - 2, cx + 1, middle + 3};
      FillRect(dc, &stem, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
  }
  int x = left;
  if (images_) {
    int iw = 0, ih = 0;
    ImageList_GetIconSize(images_, &iw, &ih);
    const int index = item == caret_ ? item->selectedImage : item->image;
    ImageList_Draw(images_, index, dc, x, y + (height - ih) / 2, ILD_TRANSPARENT);
    x += iw + kImageGap;
  }
  RECT label{x, y, x + LabelWidth(item), y + height};
  const bool enabled = IsWindowEnabled(window_);
  const bool hot = item == dropHilite_ || (item == caret_ && focused_ && !dropHilite_);
  const bool quiet = item == caret_ && !hot && Has(TVS_SHOWSELALWAYS) && !dropHilite_;
  COLORREF text = textColour_ != CLR_NONE ? textColour_ : GetSysColor(COLOR_WINDOWTEXT);
  if (!enabled) text = GetSysColor(COLOR_GRAYTEXT);
  if (hot && enabled) {
    FillRect(dc, &label, GetSysColorBrush(COLOR_HIGHLIGHT));
    text = GetSysColor(COLOR_HIGHLIGHTTEXT);
  } else if (quiet) {
    FillRect(dc, &label, GetSysColorBrush(COLOR_BTNFACE));
  }
  SetTextColor(dc, text);
  SetBkMode(dc, TRANSPARENT);
  RECT textRect{label.left + kLabelPadding, label.top, label.right, label.bottom};
  DrawText(dc, item->text.c_str(), static_cast<int>(item->text.size()), &textRect,
           DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  if (item == caret_ && focused_) DrawFocusRect(dc, &label);
}

void TreeView::Paint(HDC dc, const RECT& dirty) {
  const COLORREF back = background_ != CLR_NONE ? background_ : GetSysColor(COLOR_WINDOW);
  HBRUSH brush = CreateSolidBrush(back);
  FillRect(dc, &dirty, brush);
  DeleteObject(brush);
  HGDIOBJ oldFont = SelectObject(dc, Font());
  const auto& rows = items_.Rows();
  const int height = ItemHeight();
  const int first = top_ + std::max(0, static_cast<int>(dirty.top) / height);
  const int last = std::min(static_cast<int>(rows.size()), top_ + static_cast<int>(dirty.bottom + height - 1) / height);
  for (int row = first; row < last; ++row) PaintRow(dc, rows[row], (row - top_) * height);
  SelectObject(dc, oldFont);
}

// ---- input ----

void TreeView::KeyDown(WPARAM key) {
  NMTVKEYDOWN nm;
  nm.wVKey = static_cast<WORD>(key);
  Notify(nm.hdr, TVN_KEYDOWN);
  const auto& rows = items_.Rows();
  if (rows.empty()) return;
  const int count = static_cast<int>(rows.size());
  const int at = caret_ ? items_.RowOf(caret_) : -1;
  const int page = std::max(1, VisibleRows() - 1);
  auto go = [&](int row) { SelectCaret(rows[std::clamp(row, 0, count - 1)], TVC_BYKEYBOARD); };
  switch (key) {
    case VK_UP: go(at < 0 ? 0 : at - 1); break;
    case VK_DOWN: go(at + 1); break;
    case VK_HOME: go(0); break;
    case VK_END: go(count - 1); break;
    case VK_PRIOR: go(at < 0 ? 0 : at - page); break;
    case VK_NEXT: go(at < 0 ? 0 : at + page); break;
    case VK_LEFT:
      if (!caret_) go(0);
      else if (caret_->Expanded() && caret_->HasChildren()) Expand(caret_, TVE_COLLAPSE, true);
      else if (caret_->parent != items_.Root()) SelectCaret(caret_->parent, TVC_BYKEYBOARD);
      break;
    case VK_RIGHT:
      if (!caret_) go(0);
      else if (!caret_->HasChildren()) break;
      else if (!caret_->Expanded()) Expand(caret_, TVE_EXPAND, true);
      else if (caret_->firstChild) SelectCaret(caret_->firstChild, TVC_BYKEYBOARD);
      break;
    case VK_ADD:
      if (caret_) Expand(caret_, TVE_EXPAND, true);
      break;
    case VK_SUBTRACT:
      if (caret_) Expand(caret_, TVE_COLLAPSE, true);
      break;
    case VK_MULTIPLY:
      if (caret_)
        for (TreeViewItem* item : items_.Subtree(caret_))
          if (item->HasChildren()) Expand(item, TVE_EXPAND, true);
      break;
    case VK_RETURN: SendSimpleNotify(window_, NM_RETURN); break;
    case VK_F2:
      if (caret_ && Has(TVS_EDITLABELS)) EditLabel(caret_);
      break;
  }
}

void TreeView::Char(char c) {
  if (static_cast<unsigned char>(c) < ' ') return;
  const DWORD now = GetTickCount();
  if (now - typedAt_ > kTypeAheadPause) typed_.clear();
  typedAt_ = now;
  typed_ += c;
  const auto& rows = items_.Rows();
  if (rows.empty()) return;
  const int count = static_cast<int>(rows.size());
  const int at = caret_ ? items_.RowOf(caret_) : -1;
  // A first letter moves on from the caret; further letters refine the caret's own match.
  const int start = typed_.size() == 1 ? at + 1 : std::max(at, 0);
  for (int i = 0; i < count; ++i) {
    TreeViewItem* item = rows[(start + i) % count];
    if (strncasecmp(item->text.c_str(), typed_.c_str(), typed_.size()) == 0) {
      SelectCaret(item, TVC_BYKEYBOARD);
      return;
    }
  }
}

void TreeView::ButtonDown(POINT p, bool doubleClick) {
  KillTimer(window_, kEditTimer);
  EndEdit(false);
  const bool hadFocus = GetFocus() == window_;
  SetFocus(window_);
  const TVHITTESTINFO hit = HitTest(p);
  TreeViewItem* item = hit.hItem;
  if (!item) return;
  if (hit.flags & TVHT_ONITEMBUTTON) {
    Expand(item, TVE_TOGGLE, true);
    return;
  }
  const bool onItem = (hit.flags & TVHT_ONITEM) || ((hit.flags & TVHT_ONITEMRIGHT) && Has(TVS_FULLROWSELECT));
  if (!onItem) return;
  if (doubleClick) {
    if (!SendSimpleNotify(window_, NM_DBLCLK) && items_.IsItem(item)) Expand(item, TVE_TOGGLE, true);
    return;
  }
  const bool wasCaret = item == caret_;
  SelectCaret(item, TVC_BYMOUSE);
  if (!items_.IsItem(item)) return;
  SendSimpleNotify(window_, NM_CLICK);
  // A second click on the selected label, slower than a double click, edits it.
  if (wasCaret && hadFocus && (hit.flags & TVHT_ONITEMLABEL) && Has(TVS_EDITLABELS))
    SetTimer(window_, kEditTimer, GetDoubleClickTime(), nullptr);
}

HWND TreeView::EditLabel(TreeViewItem* item) {
  EndEdit(false);
  if (!items_.IsItem(item)) return nullptr;
  SelectCaret(item, TVC_UNKNOWN);
  if (caret_ != item) return nullptr;
  NMTVDISPINFO nm;
  FillItem(item, TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_TEXT, nm.item);
  if (Notify(nm.hdr, TVN_BEGINLABELEDIT) || !items_.IsItem(item)) return nullptr;
  RECT r;
  if (!ItemRect(item, true, r)) return nullptr;
  RECT client;
  GetClientRect(window_, &client);
  r.left -= 1;
  r.right = std::max<LONG>(r.right + 16, std::min<LONG>(client.right, r.left + 120));
  editing_ = item;
  const bool opened = edit_.Open(window_, r, item->text, Font(), [this](bool cancelled, const std::string& text) {
    TreeViewItem* edited = editing_;
    editing_ = nullptr;
    if (!items_.IsItem(edited)) return;
    NMTVDISPINFO end;
    FillItem(edited, TVIF_HANDLE | TVIF_PARAM | TVIF_STATE, end.item);
    std::string answer = text;
    end.item.mask |= TVIF_TEXT;
    end.item.pszText = cancelled ? nullptr : answer.data();
    end.item.cchTextMax = static_cast<int>(answer.size() + 1);
    if (Notify(end.hdr, TVN_ENDLABELEDIT) && !cancelled && items_.IsItem(edited)) {
      edited->text = answer;
      RowsChanged();
    }
  });
  if (!opened) editing_ = nullptr;
  return edit_.Window();
}

void TreeView::EndEdit(bool cancel) { edit_.End(cancel); }

LRESULT TreeView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
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

    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = wParam ? reinterpret_cast<HDC>(wParam) : BeginPaint(window_, &ps);
      RECT dirty;
      if (wParam) GetClientRect(window_, &dirty);
      else dirty = ps.rcPaint;
      Paint(dc, dirty);
      if (!wParam) EndPaint(window_, &ps);
      return 0;
    }
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
      SendSimpleNotify(window_, focused_ ? NM_SETFOCUS : NM_KILLFOCUS);
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
      if (SendSimpleNotify(window_, NM_RCLICK)) return 0;
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
      switch (LOWORD(wParam)) {
        case 0: ScrollTo(top_ - 1); break;        // SB_LINEUP
        case 1: ScrollTo(top_ + 1); break;        // SB_LINEDOWN
        case 2: ScrollTo(top_ - page); break;     // SB_PAGEUP
        case 3: ScrollTo(top_ + page); break;     // SB_PAGEDOWN
        case 4: case 5: ScrollTo(static_cast<short>(HIWORD(wParam))); break;  // SB_THUMBPOSITION, SB_THUMBTRACK
        case 6: ScrollTo(0); break;               // SB_TOP
        case 7: ScrollTo(1 << 30); break;         // SB_BOTTOM
      }
      return 0;
    }
    case WM_DESTROY:
      KillTimer(window_, kEditTimer);
      DeleteAll();
      return 0;
  }
  return DefWindowProc(window_, message, wParam, lParam);
}

[[maybe_unused]] const bool kRegistered = AddSystemClassRegistration(&RegisterTreeViewClass);

}  // namespace

void RegisterTreeViewClass() {
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ControlInstanceProc<TreeView>;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = WC_TREEVIEW;
  RegisterClass(&wc);
}
