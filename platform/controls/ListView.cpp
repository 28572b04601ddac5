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
#include "platform/controls/LabelEdit.h"
#include "platform/rtl/Clock.h"
#include "platform/user/SystemClasses.h"

namespace {

constexpr UINT_PTR kEditTimer = 1;
constexpr int kLabelPadding = 2;
constexpr int kListColumnWidth = 100;  // the list and small-icon views' cell, beside the image
constexpr int kIconCellWidth = 75;
constexpr int kDividerGrip = 4;        // how near a header divider the pointer grips it
constexpr DWORD kTypeAheadPause = 1000;

struct Item {
  std::string text;
  std::vector<std::string> subItems;  // columns 1 and on
  int image = 0;
  UINT state = 0;
  LPARAM param = 0;
  int indent = 0;
};

struct Column {
  std::string text;
  int width = 0;
  int format = LVCFMT_LEFT;
  int subItem = 0;
};

// Where the cells lie: `across` cells to a line (a line is a row of cells; in the list view
// a column), lines stacked down (or, in the list view, side by side).
struct Grid {
  int cellWidth = 0;
  int cellHeight = 0;
  int perLine = 1;
  bool linesAreColumns = false;
};

class ListView {
public:
  explicit ListView(HWND window) : window_(window) {}
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(window_, GWL_STYLE)); }
  DWORD View() const { return Style() & LVS_TYPEMASK; }
  bool Report() const { return View() == LVS_REPORT; }
  int Count() const { return static_cast<int>(items_.size()); }
  bool Valid(int index) const { return index >= 0 && index < Count(); }

  // Items and columns.
  int Insert(const LVITEM* given);
  BOOL Delete(int index);
  BOOL DeleteAll();
  BOOL SetItem(const LVITEM* given);
  BOOL GetItem(LVITEM* item) const;
  const std::string& TextOf(const Item& item, int subItem) const;
  int CopyText(const std::string& text, LPSTR buffer, int size) const;
  // Changes the state bits in mask of one item, asking and telling the parent; false when vetoed.
  bool ChangeState(int index, UINT state, UINT mask);
  void SetStateAll(UINT state, UINT mask);
  void SelectOnly(int index);
  void SelectRange(int from, int to);
  void Focus(int index);
  int NextItem(int start, UINT flags);
  int Find(int start, const LVFINDINFO* info) const;
  void Sort(LPARAM sortParam, PFNLVCOMPARE compare);
  int InsertColumn(int index, const LVCOLUMN* given);
  int AutoWidth(int column, bool withHeader);
  int SortedPlace(const std::string& text) const;

  // Geometry.
  int TextHeight();
  int RowHeight();
  int HeaderHeight();
  Grid Cells();
  RECT ItemArea();  // the client area below the header
  int TotalColumnWidth() const;
  bool CellRect(int index, RECT& out);
  bool PartRect(int index, int part, RECT& out);
  int LinesInView();
  int CountPerPage();
  int LineOf(int index);
  LVHITTESTINFO HitTest(POINT p, bool subItems);
  int ColumnAtX(int x, bool& onDivider);
  void ScrollToLine(int line);
  void EnsureVisible(int index);
  void InvalidateItem(int index);
  int TextWidth(const std::string& text);
  HFONT Font() const { return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
  HIMAGELIST ItemImages() const { return View() == LVS_ICON ? images_ : smallImages_; }

  // Painting.
  void Paint(HDC dc, const RECT& dirty);
  void PaintHeader(HDC dc);
  void PaintItem(HDC dc, int index);

  // Input.
  void KeyDown(WPARAM key);
  void Char(char c);
  void ButtonDown(POINT p, bool doubleClick, bool right);
  void HeaderDown(POINT p);
  void MouseMove(POINT p);
  void ButtonUp(POINT p);
  HWND EditLabel(int index);

  LRESULT Notify(NMHDR& header, UINT code) { return SendNotify(window_, header, code); }
  LRESULT NotifyItem(UINT code, int index, UINT newState = 0, UINT oldState = 0, UINT changed = 0);

  HWND window_;
  std::vector<Item> items_;
  std::vector<Column> columns_;
  int selectedCount_ = 0;
  int focused_ = -1;
  int mark_ = -1;  // the selection mark: where a Shift range starts
  HIMAGELIST images_ = nullptr;
  HIMAGELIST smallImages_ = nullptr;
  HIMAGELIST stateImages_ = nullptr;
  HFONT font_ = nullptr;
  int textHeight_ = 0;
  int top_ = 0;      // first line in view
  int xOffset_ = 0;  // the report's horizontal scroll, in pixels
  int listColumnWidth_ = 0;
  DWORD extended_ = 0;
  COLORREF background_ = CLR_NONE;
  COLORREF textColour_ = CLR_NONE;
  LabelEdit edit_;
  int editing_ = -1;
  std::string typed_;
  DWORD typedAt_ = 0;
  bool focused_window_ = false;
  // Header tracking: a column pressed, or a divider dragged.
  int pressedColumn_ = -1;
  bool pressedInside_ = false;
  int sizingColumn_ = -1;
  int sizingStartX_ = 0;
  int sizingStartWidth_ = 0;
};

// ---- items and columns ----

int ListView::SortedPlace(const std::string& text) const {
  const bool descending = (Style() & LVS_SORTDESCENDING) != 0;
  auto before = [&](const Item& item) {
    const int order = strcasecmp(item.text.c_str(), text.c_str());
    return descending ? order >= 0 : order <= 0;
  };
  return static_cast<int>(std::partition_point(items_.begin(), items_.end(), before) - items_.begin());
}

int ListView::Insert(const LVITEM* given) {
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
  return index;
}

BOOL ListView::Delete(int index) {
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

BOOL ListView::DeleteAll() {
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
  return TRUE;
}

const std::string& ListView::TextOf(const Item& item, int subItem) const {
  static const std::string kEmpty;
  if (subItem == 0) return item.text;
  const size_t at = static_cast<size_t>(subItem - 1);
  return subItem > 0 && at < item.subItems.size() ? item.subItems[at] : kEmpty;
}

int ListView::CopyText(const std::string& text, LPSTR buffer, int size) const {
  if (!buffer || size <= 0) return 0;
  const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

BOOL ListView::SetItem(const LVITEM* given) {
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

BOOL ListView::GetItem(LVITEM* item) const {
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

LRESULT ListView::NotifyItem(UINT code, int index, UINT newState, UINT oldState, UINT changed) {
  NMLISTVIEW nm;
  nm.iItem = index;
  nm.uNewState = newState;
  nm.uOldState = oldState;
  nm.uChanged = changed;
  if (Valid(index)) nm.lParam = items_[index].param;
  return Notify(nm.hdr, code);
}

bool ListView::ChangeState(int index, UINT state, UINT mask) {
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

void ListView::SetStateAll(UINT state, UINT mask) {
  if ((mask & LVIS_SELECTED) && !(state & LVIS_SELECTED) && selectedCount_ == 0) mask &= ~LVIS_SELECTED;
  if (!mask) return;
  for (int i = 0; i < Count(); ++i) ChangeState(i, state, mask);
}

void ListView::SelectOnly(int index) {
  for (int i = 0; i < Count() && selectedCount_ > 0; ++i)
    if (i != index && (items_[i].state & LVIS_SELECTED)) ChangeState(i, 0, LVIS_SELECTED);
  if (Valid(index)) ChangeState(index, LVIS_SELECTED, LVIS_SELECTED);
}

void ListView::SelectRange(int from, int to) {
  if (from > to) std::swap(from, to);
  for (int i = 0; i < Count(); ++i) {
    const bool inside = i >= from && i <= to;
    if (inside != ((items_[i].state & LVIS_SELECTED) != 0)) ChangeState(i, inside ? LVIS_SELECTED : 0, LVIS_SELECTED);
  }
}

void ListView::Focus(int index) {
  if (!Valid(index)) return;
  ChangeState(index, LVIS_FOCUSED, LVIS_FOCUSED);
  EnsureVisible(index);
}

int ListView::NextItem(int start, UINT flags) {
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

int ListView::Find(int start, const LVFINDINFO* info) const {
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

void ListView::Sort(LPARAM sortParam, PFNLVCOMPARE compare) {
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

int ListView::InsertColumn(int index, const LVCOLUMN* given) {
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
  return index;
}

int ListView::AutoWidth(int column, bool withHeader) {
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

// ---- geometry ----

int ListView::TextWidth(const std::string& text) {
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, Font());
  SIZE size{};
  GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  return size.cx;
}

int ListView::TextHeight() {
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

int ListView::RowHeight() {
  int height = TextHeight() + 4;
  int w = 0, h = 0;
  if (smallImages_ && ImageList_GetIconSize(smallImages_, &w, &h)) height = std::max(height, h + 1);
  return height;
}

int ListView::HeaderHeight() { return Report() && !(Style() & LVS_NOCOLUMNHEADER) ? TextHeight() + 7 : 0; }

RECT ListView::ItemArea() {
  RECT client;
  GetClientRect(window_, &client);
  client.top = std::min(client.bottom, client.top + HeaderHeight());
  return client;
}

int ListView::TotalColumnWidth() const {
  int total = 0;
  for (const Column& c : columns_) total += c.width;
  return total;
}

Grid ListView::Cells() {
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

int ListView::LineOf(int index) { return index / Cells().perLine; }

bool ListView::CellRect(int index, RECT& out) {
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

bool ListView::PartRect(int index, int part, RECT& out) {
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

int ListView::LinesInView() {
  const Grid grid = Cells();
  const RECT area = ItemArea();
  return grid.linesAreColumns ? std::max(1, static_cast<int>(area.right - area.left) / grid.cellWidth)
                              : std::max(1, static_cast<int>(area.bottom - area.top) / grid.cellHeight);
}

int ListView::CountPerPage() { return LinesInView() * Cells().perLine; }

void ListView::ScrollToLine(int line) {
  const Grid grid = Cells();
  const int lines = (Count() + grid.perLine - 1) / grid.perLine;
  line = std::clamp(line, 0, std::max(0, lines - LinesInView()));
  if (line == top_) return;
  edit_.End(false);
  top_ = line;
  InvalidateRect(window_, nullptr, TRUE);
}

void ListView::EnsureVisible(int index) {
  if (!Valid(index)) return;
  const int line = LineOf(index);
  if (line < top_) ScrollToLine(line);
  else if (line >= top_ + LinesInView()) ScrollToLine(line - LinesInView() + 1);
}

void ListView::InvalidateItem(int index) {
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

int ListView::ColumnAtX(int x, bool& onDivider) {
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

LVHITTESTINFO ListView::HitTest(POINT p, bool subItems) {
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

void ListView::PaintHeader(HDC dc) {
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

void ListView::PaintItem(HDC dc, int index) {
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

void ListView::Paint(HDC dc, const RECT& dirty) {
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

// ---- input ----

void ListView::KeyDown(WPARAM key) {
  NMLVKEYDOWN nm;
  nm.wVKey = static_cast<WORD>(key);
  Notify(nm.hdr, LVN_KEYDOWN);
  if (items_.empty()) return;
  const Grid grid = Cells();
  const int lineStep = grid.perLine;
  int target = -1;
  const int at = Valid(focused_) ? focused_ : -1;
  const bool columns = grid.linesAreColumns;
  switch (key) {
    case VK_UP: target = at < 0 ? 0 : at - (columns || Report() ? 1 : lineStep); break;
    case VK_DOWN: target = at < 0 ? 0 : at + (columns || Report() ? 1 : lineStep); break;
    case VK_LEFT:
      if (Report()) {
        xOffset_ = std::max(0, xOffset_ - 20);
        InvalidateRect(window_, nullptr, TRUE);
        return;
      }
      target = at < 0 ? 0 : at - (columns ? lineStep : 1);
      break;
    case VK_RIGHT:
      if (Report()) {
        RECT client;
        GetClientRect(window_, &client);
        xOffset_ = std::clamp(xOffset_ + 20, 0, std::max(0, TotalColumnWidth() - static_cast<int>(client.right)));
        InvalidateRect(window_, nullptr, TRUE);
        return;
      }
      target = at < 0 ? 0 : at + (columns ? lineStep : 1);
      break;
    case VK_HOME: target = 0; break;
    case VK_END: target = Count() - 1; break;
    case VK_PRIOR: target = at - std::max(1, CountPerPage() - grid.perLine); break;
    case VK_NEXT: target = at + std::max(1, CountPerPage() - grid.perLine); break;
    case VK_SPACE:
      if (Valid(focused_)) {
        if (GetKeyState(VK_CONTROL) < 0) {
          if (!(Style() & LVS_SINGLESEL) || !(items_[focused_].state & LVIS_SELECTED)) {
            if (Style() & LVS_SINGLESEL) SelectOnly(-1);
            ChangeState(focused_, items_[focused_].state ^ LVIS_SELECTED, LVIS_SELECTED);
          }
        } else {
          ChangeState(focused_, LVIS_SELECTED, LVIS_SELECTED);
        }
        mark_ = focused_;
      }
      return;
    case VK_RETURN: SendSimpleNotify(window_, NM_RETURN); return;
    case VK_F2:
      if (Valid(focused_) && (Style() & LVS_EDITLABELS)) EditLabel(focused_);
      return;
    default: return;
  }
  target = std::clamp(target, 0, Count() - 1);
  const bool shift = GetKeyState(VK_SHIFT) < 0 && !(Style() & LVS_SINGLESEL);
  const bool control = GetKeyState(VK_CONTROL) < 0 && !(Style() & LVS_SINGLESEL);
  Focus(target);
  if (shift) {
    SelectRange(Valid(mark_) ? mark_ : target, target);
  } else if (!control) {
    SelectOnly(target);
    mark_ = target;
  }
}

void ListView::Char(char c) {
  if (static_cast<unsigned char>(c) <= ' ') return;
  const DWORD now = GetTickCount();
  if (now - typedAt_ > kTypeAheadPause) typed_.clear();
  typedAt_ = now;
  typed_ += c;
  LVFINDINFO find;
  find.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
  find.psz = typed_.c_str();
  const int start = typed_.size() == 1 ? focused_ : focused_ - 1;
  const int found = Find(start, &find);
  if (found < 0) return;
  Focus(found);
  SelectOnly(found);
  mark_ = found;
}

void ListView::HeaderDown(POINT p) {
  bool onDivider = false;
  const int column = ColumnAtX(p.x, onDivider);
  if (column < 0) return;
  SetCapture(window_);
  if (onDivider) {
    sizingColumn_ = column;
    sizingStartX_ = p.x;
    sizingStartWidth_ = columns_[column].width;
    return;
  }
  if (Style() & LVS_NOSORTHEADER) {
    ReleaseCapture();
    return;
  }
  pressedColumn_ = column;
  pressedInside_ = true;
  RECT header{0, 0, 1 << 15, HeaderHeight()};
  InvalidateRect(window_, &header, FALSE);
}

void ListView::MouseMove(POINT p) {
  if (sizingColumn_ >= 0) {
    columns_[sizingColumn_].width = std::max(0, sizingStartWidth_ + p.x - sizingStartX_);
    InvalidateRect(window_, nullptr, TRUE);
  } else if (pressedColumn_ >= 0) {
    bool divider;
    const bool inside = p.y >= 0 && p.y < HeaderHeight() && ColumnAtX(p.x, divider) == pressedColumn_;
    if (inside != pressedInside_) {
      pressedInside_ = inside;
      RECT header{0, 0, 1 << 15, HeaderHeight()};
      InvalidateRect(window_, &header, FALSE);
    }
  }
}

void ListView::ButtonUp(POINT) {
  const int column = pressedColumn_;
  const bool inside = pressedInside_;
  pressedColumn_ = sizingColumn_ = -1;
  pressedInside_ = false;
  if (GetCapture() == window_) ReleaseCapture();
  if (column >= 0) {
    InvalidateRect(window_, nullptr, FALSE);
    if (inside) {
      NMLISTVIEW nm;
      nm.iSubItem = columns_[column].subItem;
      Notify(nm.hdr, LVN_COLUMNCLICK);
    }
  }
}

void ListView::ButtonDown(POINT p, bool doubleClick, bool right) {
  KillTimer(window_, kEditTimer);
  edit_.End(false);
  const bool hadFocus = GetFocus() == window_;
  SetFocus(window_);
  if (!right && p.y < HeaderHeight()) {
    HeaderDown(p);
    return;
  }
  const LVHITTESTINFO hit = HitTest(p, false);
  const int index = hit.iItem;
  const bool shift = GetKeyState(VK_SHIFT) < 0 && !(Style() & LVS_SINGLESEL);
  const bool control = GetKeyState(VK_CONTROL) < 0 && !(Style() & LVS_SINGLESEL);
  if (!Valid(index)) {
    if (!control && !shift) SelectOnly(-1);
    SendSimpleNotify(window_, right ? NM_RCLICK : NM_CLICK);
    return;
  }
  if (doubleClick) {
    SendSimpleNotify(window_, right ? NM_RDBLCLK : NM_DBLCLK);
    return;
  }
  const bool wasOnlyFocus = index == focused_ && (items_[index].state & LVIS_SELECTED) && selectedCount_ == 1;
  if (right) {
    if (!(items_[index].state & LVIS_SELECTED)) SelectOnly(index);
    Focus(index);
    return;
  }
  if (shift) {
    SelectRange(Valid(mark_) ? mark_ : index, index);
  } else if (control) {
    ChangeState(index, items_[index].state ^ LVIS_SELECTED, LVIS_SELECTED);
    mark_ = index;
  } else {
    SelectOnly(index);
    mark_ = index;
  }
  if (Valid(index)) Focus(index);
  SendSimpleNotify(window_, NM_CLICK);
  if (wasOnlyFocus && hadFocus && !shift && !control && (hit.flags & LVHT_ONITEMLABEL) && (Style() & LVS_EDITLABELS))
    SetTimer(window_, kEditTimer, GetDoubleClickTime(), nullptr);
}

HWND ListView::EditLabel(int index) {
  edit_.End(false);
  if (!Valid(index)) return nullptr;
  EnsureVisible(index);
  NMLVDISPINFO nm;
  nm.item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
  nm.item.iItem = index;
  nm.item.pszText = items_[index].text.data();
  nm.item.lParam = items_[index].param;
  nm.item.state = items_[index].state;
  if (Notify(nm.hdr, LVN_BEGINLABELEDIT) || !Valid(index)) return nullptr;
  RECT r;
  PartRect(index, LVIR_LABEL, r);
  r.right = std::max<LONG>(r.right, r.left + 60);
  editing_ = index;
  const bool opened = edit_.Open(window_, r, items_[index].text, Font(), [this](bool cancelled, const std::string& text) {
    const int edited = editing_;
    editing_ = -1;
    if (!Valid(edited)) return;
    std::string answer = text;
    NMLVDISPINFO end;
    end.item.mask = LVIF_TEXT | LVIF_PARAM;
    end.item.iItem = edited;
    end.item.lParam = items_[edited].param;
    end.item.pszText = cancelled ? nullptr : answer.data();
    end.item.cchTextMax = static_cast<int>(answer.size() + 1);
    if (Notify(end.hdr, LVN_ENDLABELEDIT) && !cancelled && Valid(edited)) {
      items_[edited].text = answer;
      InvalidateItem(edited);
    }
  });
  if (!opened) editing_ = -1;
  return edit_.Window();
}

template <class T>
T* Param(LPARAM lParam) {
  return reinterpret_cast<T*>(lParam);
}

LRESULT ListView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
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
        xOffset_ = std::clamp(xOffset_ + index, 0, std::max(0, TotalColumnWidth() - static_cast<int>(client.right)));
        ScrollToLine(top_ + static_cast<int>(lParam) / grid.cellHeight);
        InvalidateRect(window_, nullptr, TRUE);
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
      return TRUE;
    }
    case LVM_INSERTCOLUMN: return InsertColumn(index, Param<const LVCOLUMN>(lParam));
    case LVM_DELETECOLUMN:
      if (index < 0 || index >= static_cast<int>(columns_.size())) return FALSE;
      columns_.erase(columns_.begin() + index);
      InvalidateRect(window_, nullptr, TRUE);
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
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      textHeight_ = 0;
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE: ScrollToLine(top_); InvalidateRect(window_, nullptr, TRUE); return 0;
    case WM_STYLECHANGED: top_ = 0; xOffset_ = 0; InvalidateRect(window_, nullptr, TRUE); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      focused_window_ = message == WM_SETFOCUS;
      InvalidateRect(window_, nullptr, FALSE);
      SendSimpleNotify(window_, focused_window_ ? NM_SETFOCUS : NM_KILLFOCUS);
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
      if (SendSimpleNotify(window_, NM_RCLICK)) return 0;
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
      const int page = LinesInView();
      switch (LOWORD(wParam)) {
        case 0: ScrollToLine(top_ - 1); break;
        case 1: ScrollToLine(top_ + 1); break;
        case 2: ScrollToLine(top_ - page); break;
        case 3: ScrollToLine(top_ + page); break;
        case 4: case 5: ScrollToLine(static_cast<short>(HIWORD(wParam))); break;
        case 6: ScrollToLine(0); break;
        case 7: ScrollToLine(1 << 30); break;
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

[[maybe_unused]] const bool kRegistered = AddSystemClassRegistration(&RegisterListViewClass);

}  // namespace

void RegisterListViewClass() {
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ControlInstanceProc<ListView>;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = WC_LISTVIEW;
  RegisterClass(&wc);
}
