// The list box's geometry, scrolling and painting. Only the rows that can be seen are ever
// measured or drawn: the cost of a paint does not grow with the number of items.

#include <algorithm>

#include "platform/user/ScrollBars.h"
#include "platform/controls/ListBoxControl.h"

namespace {

constexpr int kDefaultTabDialogUnits = 32;
constexpr int kDefaultColumnChars = 16;
constexpr int kTextMargin = 2;

}  // namespace

void ListBoxControl::MeasureFont() {
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRIC tm;
  if (GetTextMetrics(dc, &tm)) {
    fontHeight_ = std::max(1, static_cast<int>(tm.tmHeight));
    avgCharWidth_ = std::max(1, static_cast<int>(tm.tmAveCharWidth));
  }
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  if (!OwnerDraw()) itemHeight_ = fontHeight_;
}

RECT ListBoxControl::Client() const {
  RECT r{0, 0, 0, 0};
  GetClientRect(window_, &r);
  return r;
}

int ListBoxControl::RowsPerColumn() const {
  RECT c = Client();
  return std::max(1, (c.bottom - c.top) / std::max(1, itemHeight_));
}

int ListBoxControl::VisibleColumns() const {
  RECT c = Client();
  int width = columnWidth_ > 0 ? columnWidth_ : kDefaultColumnChars * avgCharWidth_;
  return std::max(1, (c.right - c.left) / std::max(1, width));
}

int ListBoxControl::Page() const {
  if (Is(LBS_MULTICOLUMN)) return RowsPerColumn() * VisibleColumns();
  if (!Variable()) return RowsPerColumn();
  // Variable heights: the items that fit whole from the top one down.
  RECT c = Client();
  int height = c.bottom - c.top, used = 0, fit = 0;
  items_.ForEachFrom(top_, [&](int, const ListItem& item) {
    used += item.height;
    if (used > height) return false;
    ++fit;
    return true;
  });
  return std::max(1, fit);
}

int ListBoxControl::MaxTop() const {
  int count = Count();
  if (count == 0) return 0;
  if (Is(LBS_MULTICOLUMN)) {
    int rows = RowsPerColumn();
    int lastColumn = (count - 1) / rows;
    return std::max(0, lastColumn - VisibleColumns() + 1) * rows;
  }
  if (!Variable()) return std::max(0, count - RowsPerColumn());
  // The highest top that still shows the last item whole: walk up from the end.
  RECT c = Client();
  int height = c.bottom - c.top, used = 0, top = count;
  while (top > 0) {
    int h = items_.At(top - 1).height;
    if (used + h > height && top < count) break;
    used += h;
    --top;
  }
  return std::min(top, count - 1);
}

RECT ListBoxControl::ItemRect(int index) const {
  RECT c = Client();
  RECT r{0, 0, 0, 0};
  if (Is(LBS_MULTICOLUMN)) {
    int rows = RowsPerColumn();
    int width = columnWidth_ > 0 ? columnWidth_ : kDefaultColumnChars * avgCharWidth_;
    int offset = index - top_;
    int column = offset >= 0 ? offset / rows : -((-offset + rows - 1) / rows);
    int row = offset - column * rows;
    r.left = column * width;
    r.right = r.left + width;
    r.top = row * itemHeight_;
    r.bottom = r.top + itemHeight_;
    return r;
  }
  int width = std::max(static_cast<int>(c.right - c.left), horizontalExtent_);
  r.left = -horizontalPos_;
  r.right = width - horizontalPos_;
  if (!Variable()) {
    r.top = (index - top_) * itemHeight_;
    r.bottom = r.top + itemHeight_;
    return r;
  }
  int y = 0;
  if (index >= top_) {
    items_.ForEachFrom(top_, [&](int i, const ListItem& item) {
      if (i == index) return false;
      y += item.height;
      return true;
    });
  } else {
    for (int i = index; i < top_; ++i) y -= items_.At(i).height;
  }
  r.top = y;
  r.bottom = y + (Valid(index) ? items_.At(index).height : itemHeight_);
  return r;
}

int ListBoxControl::ItemAt(POINT p, bool* outside) const {
  RECT c = Client();
  int count = Count();
  *outside = !PtInRect(&c, p);
  if (count == 0) return -1;
  int index;
  if (Is(LBS_MULTICOLUMN)) {
    int rows = RowsPerColumn();
    int width = columnWidth_ > 0 ? columnWidth_ : kDefaultColumnChars * avgCharWidth_;
    int column = p.x >= 0 ? p.x / width : -1 - (-p.x - 1) / width;
    int row = std::clamp(static_cast<int>(p.y) / std::max(1, itemHeight_), 0, rows - 1);
    if (p.y < 0 || p.y >= rows * itemHeight_) *outside = true;
    index = top_ + column * rows + row;
  } else if (!Variable()) {
    int y = static_cast<int>(p.y);
    int row = y >= 0 ? y / std::max(1, itemHeight_) : -1 - (-y - 1) / std::max(1, itemHeight_);
    index = top_ + row;
  } else {
    index = top_;
    int y = 0;
    if (p.y < 0) {
      index = top_ - 1;
    } else {
      items_.ForEachFrom(top_, [&](int i, const ListItem& item) {
        index = i;
        if (p.y < y + item.height) return false;
        y += item.height;
        index = i + 1;
        return true;
      });
    }
  }
  if (index < 0 || index >= count) *outside = true;
  return std::clamp(index, 0, count - 1);
}

void ListBoxControl::SetTop(int index) {
  int top = std::clamp(index, 0, MaxTop());
  if (Is(LBS_MULTICOLUMN)) top -= top % RowsPerColumn();
  if (top == top_) return;
  top_ = top;
  UpdateScroll();
  Redraw();
}

void ListBoxControl::EnsureVisible(int index) {
  if (!Valid(index)) return;
  if (Is(LBS_MULTICOLUMN)) {
    int rows = RowsPerColumn();
    int columns = VisibleColumns();
    int column = index / rows, topColumn = top_ / rows;
    if (column < topColumn) SetTop(column * rows);
    else if (column >= topColumn + columns) SetTop((column - columns + 1) * rows);
    return;
  }
  if (index < top_) {
    SetTop(index);
    return;
  }
  if (!Variable()) {
    int rows = RowsPerColumn();
    if (index >= top_ + rows) SetTop(index - rows + 1);
    return;
  }
  RECT c = Client();
  int height = c.bottom - c.top;
  int top = top_;
  int used = 0;
  for (int i = index; i >= top_; --i) {
    int h = items_.At(i).height;
    if (used + h > height && i < index) {
      top = i + 1;
      break;
    }
    used += h;
  }
  SetTop(top);
}

void ListBoxControl::UpdateScroll() {
  if (!redraw_) return;
  // Shown disabled instead of hidden when there is nothing to scroll (LBS_DISABLENOSCROLL).
  const UINT fit = Is(LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0u;
  auto set = [&](int bar, int max, int page, int pos) {
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | fit;
    info.nMin = 0;
    info.nMax = max;
    info.nPage = static_cast<UINT>(std::max(page, 0));
    info.nPos = pos;
    SetScrollInfo(window_, bar, &info, TRUE);
  };
  if (Is(LBS_MULTICOLUMN)) {
    if (bars_ & WS_HSCROLL) {
      int rows = RowsPerColumn();
      set(SB_HORZ, Count() == 0 ? 0 : (Count() - 1) / rows, VisibleColumns(), top_ / rows);
    }
    return;
  }
  if (bars_ & WS_VSCROLL) set(SB_VERT, std::max(0, Count() - 1), Page(), top_);
  if (bars_ & WS_HSCROLL) {
    RECT c = Client();
    set(SB_HORZ, std::max(0, horizontalExtent_ - 1), c.right - c.left, horizontalPos_);
  }
}

void ListBoxControl::SetHorizontalPos(int pos) {
  RECT c = Client();
  int maxPos = std::max(0, horizontalExtent_ - static_cast<int>(c.right - c.left));
  pos = std::clamp(pos, 0, maxPos);
  if (pos == horizontalPos_) return;
  horizontalPos_ = pos;
  UpdateScroll();
  Redraw();
}

void ListBoxControl::Scroll(bool vertical, int code, int thumb) {
  if (Is(LBS_MULTICOLUMN)) {
    if (vertical) return;
    int rows = RowsPerColumn(), columns = VisibleColumns();
    SetTop(scrollbars::RequestedPosition(code, top_, rows, rows * columns, thumb * rows, 0, MaxTop()));
    return;
  }
  if (!vertical) {
    RECT c = Client();
    int page = c.right - c.left;
    SetHorizontalPos(
        scrollbars::RequestedPosition(code, horizontalPos_, avgCharWidth_, page, thumb, 0, horizontalExtent_));
    return;
  }
  SetTop(scrollbars::RequestedPosition(code, top_, 1, std::max(1, Page() - 1), thumb, 0, MaxTop()));
}

void ListBoxControl::InvalidateItem(int index) {
  if (!redraw_) return;
  if (Variable() && Valid(index)) {
    // Rows are at least a pixel high: an item further down than the client is tall, or
    // above the top, is out of view without adding up the heights between.
    RECT c = Client();
    if (index < top_ || index - top_ > c.bottom - c.top) return;
  }
  RECT r = Count() == 0 ? ItemRect(0) : Valid(index) ? ItemRect(index) : RECT{0, 0, 0, 0};
  RECT c = Client(), visible;
  if (IntersectRect(&visible, &r, &c)) InvalidateRect(window_, &visible, TRUE);
}

void ListBoxControl::Redraw() {
  if (redraw_) InvalidateRect(window_, nullptr, TRUE);
}

void ListBoxControl::EnforceIntegralHeight(WINDOWPOS* pos) {
  if (!pos || (pos->flags & SWP_NOSIZE) || Is(LBS_NOINTEGRALHEIGHT) || Variable() || combo_) return;
  RECT window, client;
  GetWindowRect(window_, &window);
  GetClientRect(window_, &client);
  int frame = (window.bottom - window.top) - (client.bottom - client.top);
  int clientHeight = pos->cy - frame;
  int h = std::max(1, itemHeight_);
  if (clientHeight > h && clientHeight % h != 0) pos->cy -= clientHeight % h;
}

// ---------------------------------------------------------------------------------------
// Painting.

LRESULT ListBoxControl::OnPaint(HDC given) {
  PAINTSTRUCT ps;
  HDC dc = given ? given : BeginPaint(window_, &ps);
  if (!dc) return 0;
  RECT update;
  if (given) {
    if (GetClipBox(dc, &update) == NULLREGION || IsRectEmpty(&update)) update = Client();
  } else {
    update = ps.rcPaint;
  }
  int saved = SaveDC(dc);
  Paint(dc, update);
  RestoreDC(dc, saved);
  if (!given) EndPaint(window_, &ps);
  return 0;
}

void ListBoxControl::Paint(HDC dc, const RECT& update) {
  SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  HBRUSH background = nullptr;
  if (ownerTarget_ && IsWindow(ownerTarget_))
    background = reinterpret_cast<HBRUSH>(
        SendMessage(ownerTarget_, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(combo_ ? combo_ : window_)));
  else
    background = reinterpret_cast<HBRUSH>(
        DefWindowProc(window_, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window_)));
  if (!background) background = GetSysColorBrush(COLOR_WINDOW);
  FillRect(dc, &update, background);
  RECT c = Client();
  if (Count() == 0) {
    if (focused_) {
      RECT r = ItemRect(0);
      if (OwnerDraw()) SendDrawItem(dc, -1, r, ODA_FOCUS, ODS_FOCUS);
      else DrawFocusRect(dc, &r);
    }
    return;
  }
  int first = top_;
  if (Is(LBS_MULTICOLUMN)) {
    // Columns left of the update rectangle are skipped whole.
    int width = columnWidth_ > 0 ? columnWidth_ : kDefaultColumnChars * avgCharWidth_;
    int skip = std::max(0, static_cast<int>(update.left) / std::max(1, width));
    first = top_ + skip * RowsPerColumn();
  } else if (!Variable()) {
    first = top_ + std::max(0, static_cast<int>(update.top) / std::max(1, itemHeight_));
  }
  COLORREF text = GetTextColor(dc);
  int y = 0;  // variable heights: the running top of the next row
  items_.ForEachFrom(first, [&](int index, const ListItem& item) {
    RECT r;
    if (Variable()) {
      r = RECT{-horizontalPos_, y, std::max(static_cast<int>(c.right), horizontalExtent_) - horizontalPos_, y + item.height};
      y = r.bottom;
    } else {
      r = ItemRect(index);
    }
    if (Is(LBS_MULTICOLUMN) ? r.left >= c.right || r.left >= update.right : r.top >= c.bottom || r.top >= update.bottom)
      return false;
    RECT visible;
    if (IntersectRect(&visible, &r, &update)) {
      SetTextColor(dc, text);
      PaintItem(dc, index, item, r, background);
    }
    return true;
  });
}

void ListBoxControl::SendDrawItem(HDC dc, int index, const RECT& rect, UINT action, UINT state) {
  if (!ownerTarget_ || !IsWindow(ownerTarget_)) return;
  DRAWITEMSTRUCT dis;
  dis.CtlType = ctlType_;
  dis.CtlID = static_cast<UINT>(GetDlgCtrlID(combo_ ? combo_ : window_));
  dis.itemID = static_cast<UINT>(index);
  dis.itemAction = action;
  dis.itemState = state;
  dis.hwndItem = combo_ ? combo_ : window_;  // a combo box's owner hears of the combo box
  dis.hDC = dc;
  dis.rcItem = rect;
  dis.itemData = Valid(index) ? items_.At(index).data : 0;
  int saved = SaveDC(dc);
  SendMessage(ownerTarget_, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  RestoreDC(dc, saved);
}

void ListBoxControl::PaintItem(HDC dc, int index, const ListItem& item, const RECT& rect, HBRUSH background) {
  bool enabled = IsWindowEnabled(window_) != 0;
  bool selected = item.selected && !Is(LBS_NOSEL);
  bool hasFocus = focused_ && index == caret_;
  if (OwnerDraw()) {
    UINT state = (selected ? ODS_SELECTED : 0u) | (hasFocus ? ODS_FOCUS : 0u) | (enabled ? 0u : ODS_DISABLED);
    SendDrawItem(dc, index, rect, ODA_DRAWENTIRE, state);
    return;
  }
  if (selected) {
    FillRect(dc, &rect, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    FillRect(dc, &rect, background);
  }
  if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  SetBkMode(dc, TRANSPARENT);
  int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  DrawTabbedText(dc, item.text, rect.left + kTextMargin, rect.top);
  RestoreDC(dc, saved);
  if (hasFocus) DrawFocusRect(dc, &rect);
}

void ListBoxControl::DrawTabbedText(HDC dc, const std::string& text, int x, int y) const {
  if (!Is(LBS_USETABSTOPS) || text.find('\t') == std::string::npos) {
    TextOut(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    return;
  }
  int origin = x - kTextMargin;
  int interval = tabInterval_ > 0 ? tabInterval_ : kDefaultTabDialogUnits * avgCharWidth_ / 4;
  size_t start = 0;
  int pen = x;
  while (start <= text.size()) {
    size_t tab = text.find('\t', start);
    size_t end = tab == std::string::npos ? text.size() : tab;
    TextOut(dc, pen, y, text.c_str() + start, static_cast<int>(end - start));
    SIZE size{0, 0};
    GetTextExtentPoint32(dc, text.c_str() + start, static_cast<int>(end - start), &size);
    pen += size.cx;
    if (tab == std::string::npos) break;
    // The next stop right of the pen: the explicit ones first, then every interval.
    int relative = pen - origin, next = -1;
    for (int stop : tabStops_)
      if (stop > relative) {
        next = stop;
        break;
      }
    if (next < 0) {
      int last = tabStops_.empty() ? 0 : tabStops_.back();
      next = last + ((relative - last) / interval + 1) * interval;
    }
    pen = origin + next;
    start = tab + 1;
  }
}

LRESULT ListBoxControl::SetTabStops(int count, const int* stops) {
  if (!Is(LBS_USETABSTOPS) || count < 0 || (count > 0 && !stops)) return FALSE;
  tabStops_.clear();
  tabInterval_ = 0;
  auto pixels = [this](int dialogUnits) { return dialogUnits * avgCharWidth_ / 4; };
  if (count == 1) {
    tabInterval_ = std::max(1, pixels(stops[0]));
  } else {
    for (int i = 0; i < count; ++i) tabStops_.push_back(pixels(stops[i]));
    std::sort(tabStops_.begin(), tabStops_.end());
  }
  Redraw();
  return TRUE;
}
