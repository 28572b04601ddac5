// Where the tree view's items lie and how they are painted.

#include "platform/controls/TreeViewWindow.h"

#include <algorithm>

#include "platform/user/ScrollBars.h"

namespace treeview {

// ---- geometry ----

int TreeViewWindow::ImageWidth() const {
  int width = 0, height = 0;
  if (images_) ImageList_GetIconSize(images_, &width, &height);
  return width;
}

int TreeViewWindow::ItemHeight() {
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

int TreeViewWindow::VisibleRows() {
  RECT client;
  GetClientRect(window_, &client);
  return std::max(0, static_cast<int>(client.bottom - client.top) / ItemHeight());
}

int TreeViewWindow::LabelWidth(const TreeViewItem* item) {
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, Font());
  SIZE size{};
  GetTextExtentPoint32(dc, item->text.c_str(), static_cast<int>(item->text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  return size.cx + 2 * kLabelPadding;
}

bool TreeViewWindow::ItemRect(TreeViewItem* item, bool textOnly, RECT& out) {
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

TVHITTESTINFO TreeViewWindow::HitTest(POINT p) {
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

void TreeViewWindow::ScrollTo(int top) {
  const int rows = static_cast<int>(items_.Rows().size());
  top = std::clamp(top, 0, std::max(0, rows - std::max(1, VisibleRows())));
  if (top == top_) return;
  const int dy = (top_ - top) * ItemHeight();
  top_ = top;
  EndEdit(false);
  ScrollWindowEx(window_, 0, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
  UpdateScrollRange();
}

void TreeViewWindow::UpdateScrollRange() {
  const int rows = static_cast<int>(items_.Rows().size());
  if (top_ > 0 && top_ > std::max(0, rows - std::max(1, VisibleRows()))) {
    ScrollTo(top_);  // comes back here with the top in range
    return;
  }
  if (Has(TVS_NOSCROLL)) return;
  // The vertical bar counts rows; it goes when they all fit.
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(0, rows - 1);
  info.nPage = static_cast<UINT>(std::max(1, VisibleRows()));
  info.nPos = top_;
  SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void TreeViewWindow::RowsChanged() {
  items_.RowsChanged();
  UpdateScrollRange();
  InvalidateRect(window_, nullptr, TRUE);
}

void TreeViewWindow::InvalidateItem(TreeViewItem* item) {
  RECT r;
  if (ItemRect(item, false, r)) InvalidateRect(window_, &r, TRUE);
}

// ---- painting ----

void TreeViewWindow::DottedLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
  // Every other pixel, on the even places of the client grid, so joining lines meet.
  if (x0 == x1) {
    for (int y = y0 + ((x0 + y0) & 1); y < y1; y += 2) SetPixelV(dc, x0, y, colour);
  } else {
    for (int x = x0 + ((x0 + y0) & 1); x < x1; x += 2) SetPixelV(dc, x, y0, colour);
  }
}

void TreeViewWindow::PaintRow(HDC dc, TreeViewItem* item, int y) {
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

void TreeViewWindow::Paint(HDC dc, const RECT& dirty) {
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

}  // namespace treeview
