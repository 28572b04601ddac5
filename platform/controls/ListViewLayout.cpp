// Where the list view's items lie and how they are painted.

#include "platform/controls/ListViewWindow.h"

#include <algorithm>

#include "platform/user/ScrollBars.h"

namespace listview {

// ---- geometry ----

int ListViewWindow::TextWidth(const std::string& text) {
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, Font());
  SIZE size{};
  GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  return size.cx;
}

int ListViewWindow::TextHeight() {
  if (textHeight_ > 0) return textHeight_;
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, Font());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  textHeight_ = std::max(static_cast<int>(tm.tmHeight), 1);
  return textHeight_;
}

int ListViewWindow::RowHeight() {
  int height = TextHeight() + 4;
  int w = 0, h = 0;
  if (smallImages_ && ImageList_GetIconSize(smallImages_, &w, &h)) height = std::max(height, h + 1);
  return height;
}

int ListViewWindow::HeaderHeight() { return Report() && !(Style() & LVS_NOCOLUMNHEADER) ? TextHeight() + 7 : 0; }

RECT ListViewWindow::ItemArea() {
  RECT client;
  GetClientRect(window_, &client);
  client.top = std::min(client.bottom, client.top + HeaderHeight());
  return client;
}

int ListViewWindow::TotalColumnWidth() const {
  int total = 0;
  for (const Column& c : columns_) total += c.width;
  return total;
}

Grid ListViewWindow::Cells() {
  Grid grid;
  const RECT area = ItemArea();
  const int areaWidth = std::max(1, static_cast<int>(area.right - area.left));
  const int areaHeight = std::max(1, static_cast<int>(area.bottom - area.top));
  int imageWidth = 0, imageHeight = 0;
  switch (View()) {
    case LVS_REPORT:
      grid.cellWidth = std::max(TotalColumnWidth(), 1);
      grid.cellHeight = RowHeight();
      grid.perLine = 1;
      break;
    case LVS_LIST:
    case LVS_SMALLICON:
      if (smallImages_) ImageList_GetIconSize(smallImages_, &imageWidth, &imageHeight);
      grid.cellWidth = (listColumnWidth_ > 0 ? listColumnWidth_ : kListColumnWidth) + imageWidth;
      grid.cellHeight = RowHeight();
      grid.linesAreColumns = View() == LVS_LIST;
      grid.perLine = grid.linesAreColumns ? std::max(1, areaHeight / grid.cellHeight)
                                          : std::max(1, areaWidth / grid.cellWidth);
      break;
    default:  // LVS_ICON
      imageWidth = imageHeight = 32;
      if (images_) ImageList_GetIconSize(images_, &imageWidth, &imageHeight);
      grid.cellWidth = std::max(kIconCellWidth, imageWidth + 8);
      grid.cellHeight = imageHeight + 2 * TextHeight() + 10;
      grid.perLine = std::max(1, areaWidth / grid.cellWidth);
      break;
  }
  return grid;
}

int ListViewWindow::LineOf(int index) { return index / Cells().perLine; }

bool ListViewWindow::CellRect(int index, RECT& out) {
  if (!Valid(index)) return false;
  const Grid grid = Cells();
  const RECT area = ItemArea();
  const int line = index / grid.perLine - top_;
  const int place = index % grid.perLine;
  int x, y;
  if (grid.linesAreColumns) {
    x = line * grid.cellWidth;
    y = place * grid.cellHeight;
  } else {
    x = place * grid.cellWidth - (Report() ? xOffset_ : 0);
    y = line * grid.cellHeight;
  }
  out = RECT{area.left + x, area.top + y, area.left + x + grid.cellWidth, area.top + y + grid.cellHeight};
  return true;
}

bool ListViewWindow::PartRect(int index, int part, RECT& out) {
  RECT cell;
  if (!CellRect(index, cell)) return false;
  const Item& item = items_[index];
  HIMAGELIST list = ItemImages();
  int imageWidth = 0, imageHeight = 0;
  if (list) ImageList_GetIconSize(list, &imageWidth, &imageHeight);
  if (View() == LVS_ICON) {
    if (!list) imageWidth = imageHeight = 32;
    RECT icon{cell.left + (cell.right - cell.left - imageWidth) / 2, cell.top + 2, 0, 0};
    icon.right = icon.left + imageWidth;
    icon.bottom = icon.top + imageHeight;
    const int width = std::min(TextWidth(item.text) + 2 * kLabelPadding, static_cast<int>(cell.right - cell.left) - 2);
    RECT label{cell.left + (cell.right - cell.left - width) / 2, icon.bottom + 2, 0, cell.bottom - 2};
    label.right = label.left + width;
    if (part == LVIR_ICON) out = icon;
    else if (part == LVIR_LABEL) out = label;
    else out = RECT{std::min(icon.left, label.left), icon.top, std::max(icon.right, label.right), label.bottom};
    return true;
  }
  const int indent = Report() ? item.indent * imageWidth : 0;
  RECT icon{cell.left + 2 + indent, cell.top, cell.left + 2 + indent + (list ? imageWidth : 0), cell.bottom};
  const int labelLeft = icon.right + (list ? kLabelPadding : 0);
  int labelRight;
  if (Report()) {
    labelRight = cell.left + (columns_.empty() ? 0 : columns_[0].width);
    if (part == LVIR_SELECTBOUNDS && (extended_ & LVS_EX_FULLROWSELECT)) labelRight = cell.right;
  } else {
    labelRight = std::min(labelLeft + TextWidth(item.text) + 2 * kLabelPadding, static_cast<int>(cell.right));
  }
  const RECT label{labelLeft, cell.top, std::max(labelLeft, labelRight), cell.bottom};
  switch (part) {
    case LVIR_ICON: out = icon; break;
    case LVIR_LABEL: out = label; break;
    case LVIR_SELECTBOUNDS: out = RECT{icon.left, cell.top, label.right, cell.bottom}; break;
    default: out = Report() ? cell : RECT{icon.left, cell.top, label.right, cell.bottom}; break;
  }
  return true;
}

int ListViewWindow::LinesInView() {
  const Grid grid = Cells();
  const RECT area = ItemArea();
  return grid.linesAreColumns ? std::max(1, static_cast<int>(area.right - area.left) / grid.cellWidth)
                              : std::max(1, static_cast<int>(area.bottom - area.top) / grid.cellHeight);
}

int ListViewWindow::CountPerPage() { return LinesInView() * Cells().perLine; }

void ListViewWindow::ScrollToLine(int line) {
  const Grid grid = Cells();
  const int lines = (Count() + grid.perLine - 1) / grid.perLine;
  line = std::clamp(line, 0, std::max(0, lines - LinesInView()));
  if (line != top_) {
    edit_.End(false);
    top_ = line;
    InvalidateRect(window_, nullptr, TRUE);
  }
  UpdateScrollBars();
}

void ListViewWindow::ScrollToX(int x) {
  const RECT area = ItemArea();
  const int widest = Report() ? TotalColumnWidth() - static_cast<int>(area.right - area.left) : 0;
  x = std::clamp(x, 0, std::max(0, widest));
  if (x != xOffset_) {
    edit_.End(false);
    xOffset_ = x;
    InvalidateRect(window_, nullptr, TRUE);
  }
  UpdateScrollBars();
}

void ListViewWindow::Rescroll() {
  ScrollToX(xOffset_);
  ScrollToLine(top_);
}

void ListViewWindow::UpdateScrollBars() {
  if (Style() & LVS_NOSCROLL) return;
  // The lines run down the bar (across it in list view, where they are columns); the report
  // also scrolls sideways by pixels over its columns. A bar with nothing to scroll goes.
  // Each bar's values are taken just before it is set: showing the other bar resizes the view.
  auto set = [this](int bar, int max, int page, int pos) {
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(0, max);
    info.nPage = static_cast<UINT>(std::max(0, page));
    info.nPos = pos;
    SetScrollInfo(window_, bar, &info, TRUE);
  };
  auto lines = [this, &set](int bar) {
    const Grid grid = Cells();
    set(bar, (Count() + grid.perLine - 1) / grid.perLine - 1, LinesInView(), top_);
  };
  if (Cells().linesAreColumns) {
    set(SB_VERT, 0, 0, 0);
    lines(SB_HORZ);
    return;
  }
  lines(SB_VERT);
  if (Report()) {
    const RECT area = ItemArea();
    set(SB_HORZ, TotalColumnWidth() - 1, area.right - area.left, xOffset_);
  } else {
    set(SB_HORZ, 0, 0, 0);
  }
}

void ListViewWindow::EnsureVisible(int index) {
  if (!Valid(index)) return;
  const int line = LineOf(index);
  if (line < top_) ScrollToLine(line);
  else if (line >= top_ + LinesInView()) ScrollToLine(line - LinesInView() + 1);
}

void ListViewWindow::InvalidateItem(int index) {
  RECT r;
  if (!CellRect(index, r)) return;
  if (Report()) {
    RECT client;
    GetClientRect(window_, &client);
    r.left = client.left;
    r.right = client.right;
  }
  InvalidateRect(window_, &r, TRUE);
}

int ListViewWindow::ColumnAtX(int x, bool& onDivider) {
  onDivider = false;
  int right = -xOffset_;
  for (size_t i = 0; i < columns_.size(); ++i) {
    right += columns_[i].width;
    if (std::abs(x - right) <= kDividerGrip) {
      onDivider = true;
      return static_cast<int>(i);
    }
    if (x < right) return static_cast<int>(i);
  }
  return -1;
}

LVHITTESTINFO ListViewWindow::HitTest(POINT p, bool subItems) {
  LVHITTESTINFO info;
  info.pt = p;
  RECT area = ItemArea();
  if (p.y < area.top) info.flags |= LVHT_ABOVE;
  if (p.y >= area.bottom) info.flags |= LVHT_BELOW;
  if (p.x < area.left) info.flags |= LVHT_TOLEFT;
  if (p.x >= area.right) info.flags |= LVHT_TORIGHT;
  if (info.flags) return info;
  const Grid grid = Cells();
  const int x = p.x - area.left + (Report() ? xOffset_ : 0);
  const int y = p.y - area.top;
  int line, place;
  if (grid.linesAreColumns) {
    line = top_ + x / grid.cellWidth;
    place = y / grid.cellHeight;
  } else {
    line = top_ + y / grid.cellHeight;
    place = x / grid.cellWidth;
  }
  const int index = place < grid.perLine ? line * grid.perLine + place : -1;
  info.flags = LVHT_NOWHERE;
  if (!Valid(index)) return info;
  RECT icon, label;
  PartRect(index, LVIR_ICON, icon);
  PartRect(index, LVIR_SELECTBOUNDS, label);
  PartRect(index, LVIR_LABEL, label);
  if (ItemImages() && PtInRect(&icon, p)) info.flags = LVHT_ONITEMICON;
  else if (PtInRect(&label, p)) info.flags = LVHT_ONITEMLABEL;
  else if (Report() && (extended_ & LVS_EX_FULLROWSELECT) && x < TotalColumnWidth()) info.flags = LVHT_ONITEMLABEL;
  if (info.flags != LVHT_NOWHERE || subItems) info.iItem = index;
  if (subItems && Report()) {
    bool divider;
    const int column = ColumnAtX(p.x, divider);
    info.iSubItem = column >= 0 ? columns_[column].subItem : 0;
    if (column > 0 && x < TotalColumnWidth()) info.flags = LVHT_ONITEMLABEL;
  }
  return info;
}

// ---- painting ----

void ListViewWindow::PaintHeader(HDC dc) {
  const int height = HeaderHeight();
  if (!height) return;
  RECT client;
  GetClientRect(window_, &client);
  int x = -xOffset_;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (size_t i = 0; i < columns_.size(); ++i) {
    const Column& c = columns_[i];
    RECT button{x, 0, x + c.width, height};
    FillRect(dc, &button, GetSysColorBrush(COLOR_BTNFACE));
    const bool pressed = static_cast<int>(i) == pressedColumn_ && pressedInside_;
    DrawEdge(dc, &button, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | (pressed ? BF_FLAT : 0));
    RECT text{button.left + 6 + (pressed ? 1 : 0), button.top + (pressed ? 1 : 0), button.right - 6, button.bottom};
    const UINT align = c.format == LVCFMT_RIGHT ? DT_RIGHT : c.format == LVCFMT_CENTER ? DT_CENTER : DT_LEFT;
    DrawText(dc, c.text.c_str(), static_cast<int>(c.text.size()), &text,
             align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    x += c.width;
  }
  if (x < client.right) {
    RECT rest{x, 0, client.right, height};
    FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &rest, EDGE_RAISED, BF_RECT);
  }
}

void ListViewWindow::PaintItem(HDC dc, int index) {
  const Item& item = items_[index];
  RECT cell, icon, label, selection;
  CellRect(index, cell);
  PartRect(index, LVIR_ICON, icon);
  PartRect(index, LVIR_LABEL, label);
  PartRect(index, LVIR_SELECTBOUNDS, selection);
  const bool selected = (item.state & (LVIS_SELECTED | LVIS_DROPHILITED)) != 0;
  const bool strong = selected && (focused_window_ || (item.state & LVIS_DROPHILITED));
  const bool quiet = selected && !strong && (Style() & LVS_SHOWSELALWAYS);
  const bool enabled = IsWindowEnabled(window_);
  HIMAGELIST list = ItemImages();
  if (list) {
    int w = 0, h = 0;
    ImageList_GetIconSize(list, &w, &h);
    UINT style = ILD_TRANSPARENT;
    if (strong) style |= ILD_BLEND50;
    ImageList_Draw(list, item.image, dc, icon.left, icon.top + (icon.bottom - icon.top - h) / 2, style);
  }
  RECT fill = (Report() && (extended_ & LVS_EX_FULLROWSELECT)) ? selection : label;
  if (View() != LVS_REPORT && View() != LVS_ICON) fill = label;
  if (strong && enabled) FillRect(dc, &fill, GetSysColorBrush(COLOR_HIGHLIGHT));
  else if (quiet) FillRect(dc, &fill, GetSysColorBrush(COLOR_BTNFACE));
  COLORREF text = textColour_ != CLR_NONE ? textColour_ : GetSysColor(COLOR_WINDOWTEXT);
  if (!enabled) text = GetSysColor(COLOR_GRAYTEXT);
  else if (strong) text = GetSysColor(COLOR_HIGHLIGHTTEXT);
  SetTextColor(dc, text);
  SetBkMode(dc, TRANSPARENT);
  if (View() == LVS_ICON) {
    RECT r{label.left + 1, label.top, label.right - 1, label.bottom};
    DrawText(dc, item.text.c_str(), static_cast<int>(item.text.size()), &r,
             DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
  } else {
    RECT r{label.left + kLabelPadding, label.top, label.right - kLabelPadding, label.bottom};
    DrawText(dc, item.text.c_str(), static_cast<int>(item.text.size()), &r,
             DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if (Report()) {
    // The sub-items keep the window's text colour unless the whole row is selected.
    if (!(strong && (extended_ & LVS_EX_FULLROWSELECT)))
      SetTextColor(dc, enabled ? (textColour_ != CLR_NONE ? textColour_ : GetSysColor(COLOR_WINDOWTEXT))
                               : GetSysColor(COLOR_GRAYTEXT));
    int x = cell.left;
    for (size_t c = 0; c < columns_.size(); ++c) {
      const Column& column = columns_[c];
      if (c > 0) {
        const std::string& t = TextOf(item, column.subItem);
        RECT r{x + 6, cell.top, x + column.width - 6, cell.bottom};
        const UINT align = column.format == LVCFMT_RIGHT ? DT_RIGHT : column.format == LVCFMT_CENTER ? DT_CENTER : DT_LEFT;
        DrawText(dc, t.c_str(), static_cast<int>(t.size()), &r,
                 align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
      }
      x += column.width;
    }
  }
  if (index == focused_ && focused_window_) DrawFocusRect(dc, &fill);
}

void ListViewWindow::Paint(HDC dc, const RECT& dirty) {
  const COLORREF back = background_ != CLR_NONE ? background_ : GetSysColor(COLOR_WINDOW);
  HBRUSH brush = CreateSolidBrush(back);
  FillRect(dc, &dirty, brush);
  DeleteObject(brush);
  HGDIOBJ oldFont = SelectObject(dc, Font());
  const Grid grid = Cells();
  const int first = top_ * grid.perLine;
  const int last = std::min(Count(), (top_ + LinesInView() + 1) * grid.perLine);
  const RECT area = ItemArea();
  HRGN clip = CreateRectRgn(area.left, area.top, area.right, area.bottom);
  SaveDC(dc);
  ExtSelectClipRgn(dc, clip, RGN_AND);
  for (int i = first; i < last; ++i) {
    RECT cell, overlap;
    CellRect(i, cell);
    if (IntersectRect(&overlap, &cell, &dirty)) PaintItem(dc, i);
  }
  if (Report() && (extended_ & LVS_EX_GRIDLINES)) {
    HBRUSH line = GetSysColorBrush(COLOR_BTNFACE);
    int x = area.left - xOffset_;
    for (const Column& c : columns_) {
      x += c.width;
      RECT v{x - 1, area.top, x, area.bottom};
      FillRect(dc, &v, line);
    }
    for (int y = area.top + grid.cellHeight - 1; y < area.bottom; y += grid.cellHeight) {
      RECT h{area.left, y, area.right, y + 1};
      FillRect(dc, &h, line);
    }
  }
  RestoreDC(dc, -1);
  DeleteObject(clip);
  PaintHeader(dc);
  SelectObject(dc, oldFont);
}

}  // namespace listview
