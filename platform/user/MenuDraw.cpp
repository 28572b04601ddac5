// Laying out and painting menus in the classic look: the bar in a window's non-client area
// (wrapping into rows), and popups with a raised 3-D frame, check marks, submenu arrows,
// shortcut texts, embossed grey items and the highlight bar.

#include <algorithm>
#include <cctype>

#include "platform/user/MenuObject.h"

namespace {

constexpr int kBarPad = 6;       // each side of a bar item's text
constexpr int kArrowColumn = 16;  // right of a popup item: the submenu arrow
constexpr int kShortcutGap = 16;  // between a popup item's text and its shortcut

int CheckColumn() { return GetSystemMetrics(SM_CXMENUCHECK) + 6; }

// The menu font, selected into a context for as long as it lives.
class MenuFont {
public:
  MenuFont(HDC dc, bool bold) : dc_(dc) {
    LOGFONT lf = UiLogFont();
    NONCLIENTMETRICS metrics;
    if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) lf = metrics.lfMenuFont;
    if (bold) lf.lfWeight = FW_BOLD;
    font_ = CreateFontIndirect(&lf);
    old_ = SelectObject(dc, font_);
  }
  ~MenuFont() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
  }
  MenuFont(const MenuFont&) = delete;
  MenuFont& operator=(const MenuFont&) = delete;

private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
};

// A context to measure text with, released with the scope.
class MeasureDc {
public:
  MeasureDc() : dc_(GetDC(nullptr)) {}
  ~MeasureDc() { ReleaseDC(nullptr, dc_); }
  MeasureDc(const MeasureDc&) = delete;
  MeasureDc& operator=(const MeasureDc&) = delete;
  HDC Get() const { return dc_; }

private:
  HDC dc_;
};

std::string Label(const std::string& text) { return text.substr(0, text.find('\t')); }
std::string Shortcut(const std::string& text) {
  size_t tab = text.find('\t');
  return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

SIZE TextSize(HDC dc, const std::string& text) {
  RECT r{0, 0, 0, 0};
  if (!text.empty()) DrawText(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info;
  if (!bitmap || !GetObject(reinterpret_cast<HGDIOBJ>(bitmap), sizeof(info), &info)) return SIZE{};
  return SIZE{info.bmWidth, std::abs(info.bmHeight)};
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
  SIZE size = BitmapSize(bitmap);
  if (!size.cx) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, reinterpret_cast<HGDIOBJ>(bitmap));
  BitBlt(dc, x, y, size.cx, size.cy, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

// A small picture given as rows of '#', drawn centred in a box.
void DrawGlyph(HDC dc, const RECT& box, const std::vector<const char*>& rows, COLORREF color) {
  int height = static_cast<int>(rows.size());
  int width = 0;
  for (const char* row : rows) width = std::max<int>(width, static_cast<int>(std::char_traits<char>::length(row)));
  int left = box.left + (box.right - box.left - width) / 2, top = box.top + (box.bottom - box.top - height) / 2;
  HBRUSH brush = CreateSolidBrush(color);
  for (int y = 0; y < height; ++y)
    for (int x = 0; rows[static_cast<size_t>(y)][x]; ++x)
      if (rows[static_cast<size_t>(y)][x] == '#') {
        RECT dot{left + x, top + y, left + x + 1, top + y + 1};
        FillRect(dc, &dot, brush);
      }
  DeleteObject(brush);
}

const std::vector<const char*>& CheckGlyph() {
  static const std::vector<const char*> rows = {"      #", "     ##", "#   ###", "## ### ", "#####  ", " ###   ", "  #    "};
  return rows;
}
const std::vector<const char*>& BulletGlyph() {
  static const std::vector<const char*> rows = {" ### ", "#####", "#####", "#####", " ### "};
  return rows;
}
const std::vector<const char*>& ArrowGlyph() {
  static const std::vector<const char*> rows = {"#   ", "##  ", "### ", "####", "### ", "##  ", "#   "};
  return rows;
}

// Text or a glyph in a colour, or embossed (white below right, shadow on top) for a grey item.
template <class Draw>
void DrawInk(bool grayed, bool selected, Draw draw) {
  if (grayed && !selected) {
    draw(GetSysColor(COLOR_3DHILIGHT), 1);
    draw(GetSysColor(COLOR_3DSHADOW), 0);
  } else if (grayed) {
    draw(GetSysColor(COLOR_GRAYTEXT), 0);
  } else {
    draw(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT), 0);
  }
}

void DrawLabel(HDC dc, const std::string& text, RECT r, UINT format, bool grayed, bool selected) {
  SetBkMode(dc, TRANSPARENT);
  DrawInk(grayed, selected, [&](COLORREF color, int shift) {
    SetTextColor(dc, color);
    RECT at = r;
    OffsetRect(&at, shift, shift);
    DrawText(dc, text.c_str(), -1, &at, format | DT_SINGLELINE | DT_VCENTER);
  });
}

UINT OwnerDrawState(const MenuItem& item) {
  UINT state = 0;
  if (item.state & MFS_HILITE) state |= ODS_SELECTED;
  if (item.Grayed()) state |= ODS_GRAYED | ODS_DISABLED;
  if (item.state & MFS_CHECKED) state |= ODS_CHECKED;
  if (item.state & MFS_DEFAULT) state |= ODS_DEFAULT;
  return state;
}

void SendDrawItem(HWND owner, HMENU menu, const MenuItem& item, HDC dc) {
  if (!owner) return;
  DRAWITEMSTRUCT draw;
  draw.CtlType = ODT_MENU;
  draw.itemID = item.id;
  draw.itemAction = ODA_DRAWENTIRE;
  draw.itemState = OwnerDrawState(item);
  draw.hwndItem = reinterpret_cast<HWND>(menu);
  draw.hDC = dc;
  draw.rcItem = item.rect;
  draw.itemData = item.data;
  int saved = SaveDC(dc);
  SendMessage(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
  RestoreDC(dc, saved);
}

SIZE MeasureOwnerDrawn(HWND owner, const MenuItem& item) {
  MEASUREITEMSTRUCT measure;
  measure.CtlType = ODT_MENU;
  measure.itemID = item.id;
  measure.itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU) - 2);
  measure.itemData = item.data;
  if (owner) SendMessage(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
  return SIZE{static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
}

}  // namespace

char MenuMnemonic(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    if (text[i + 1] == '\t') return 0;
    return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

// ---- The bar ----

int LayOutMenuBar(HMENU menu, HWND window, const RECT& firstRow) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return 0;
  m->barWindow = window;
  MeasureDc measure;
  MenuFont font(measure.Get(), false);
  int rowHeight = firstRow.bottom - firstRow.top;
  int x = firstRow.left, top = firstRow.top;
  size_t rowStart = 0;
  size_t rightFrom = m->items.size();  // the first right-justified item of the current row
  // The row's right-justified items move to its right end.
  auto finishRow = [&](size_t end) {
    if (rightFrom >= end) return;
    int shift = firstRow.right - m->items[end - 1].rect.right;
    if (shift > 0)
      for (size_t i = rightFrom; i < end; ++i) OffsetRect(&m->items[i].rect, shift, 0);
  };
  for (size_t i = 0; i < m->items.size(); ++i) {
    MenuItem& item = m->items[i];
    int width;
    if (item.type & MFT_OWNERDRAW) width = static_cast<int>(MeasureOwnerDrawn(window, item).cx);
    else if (item.type & MFT_BITMAP) width = static_cast<int>(BitmapSize(item.bitmap).cx) + 4;
    else if (item.Separator()) width = kBarPad;
    else width = static_cast<int>(TextSize(measure.Get(), Label(item.text)).cx) + 2 * kBarPad;
    bool wrap = i > rowStart && (x + width > firstRow.right || (item.type & (MFT_MENUBREAK | MFT_MENUBARBREAK)));
    if (wrap) {
      finishRow(i);
      rowStart = i;
      rightFrom = m->items.size();
      x = firstRow.left;
      top += rowHeight;
    }
    if ((item.type & MFT_RIGHTJUSTIFY) && rightFrom > i) rightFrom = i;
    item.rect = RECT{x, top, x + width, top + rowHeight};
    x += width;
  }
  finishRow(m->items.size());
  return top + rowHeight - firstRow.top;
}

void PaintMenuBar(HMENU menu, HWND window, HDC dc, const RECT& bar) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return;
  FillRect(dc, &bar, GetSysColorBrush(COLOR_MENU));
  int saved = SaveDC(dc);
  IntersectClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
  MenuFont font(dc, false);
  for (const MenuItem& item : m->items) {
    if (item.Separator()) continue;
    if (item.type & MFT_OWNERDRAW) {
      SendDrawItem(window, menu, item, dc);
      continue;
    }
    bool selected = item.state & MFS_HILITE;
    RECT r = item.rect;
    int shift = 0;
    if (selected) {
      RECT edge = r;
      DrawEdge(dc, &edge, m->barOpen ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
      shift = m->barOpen ? 1 : 0;
    }
    OffsetRect(&r, shift, shift);
    if (item.type & MFT_BITMAP) {
      SIZE size = BitmapSize(item.bitmap);
      DrawBitmap(dc, item.bitmap, r.left + 2, r.top + (r.bottom - r.top - size.cy) / 2);
      continue;
    }
    DrawLabel(dc, Label(item.text), r, DT_CENTER, item.Grayed(), false);
  }
  RestoreDC(dc, saved);
}

// ---- Popups ----

void LayOutPopup(HMENU menu, HWND owner) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return;
  MeasureDc measure;
  int itemHeight = std::max(GetSystemMetrics(SM_CYMENU) - 2, GetSystemMetrics(SM_CYMENUCHECK) + 4);
  int separatorHeight = 9;
  // Columns start at MFT_MENUBREAK / MFT_MENUBARBREAK items.
  struct Column {
    size_t first, end;
    int label = 0, shortcut = 0, ownerWidth = 0, check = 0;
  };
  std::vector<Column> columns;
  for (size_t i = 0; i < m->items.size(); ++i) {
    if (columns.empty() || (m->items[i].type & (MFT_MENUBREAK | MFT_MENUBARBREAK)))
      columns.push_back(Column{i, i});
    columns.back().end = i + 1;
  }
  int x = kPopupFrame, bottom = kPopupFrame;
  for (Column& column : columns) {
    int y = kPopupFrame;
    std::vector<int> heights;
    column.check = CheckColumn();
    for (size_t i = column.first; i < column.end; ++i) {
      MenuItem& item = m->items[i];
      int height = itemHeight;
      if (item.Separator()) {
        height = separatorHeight;
      } else if (item.type & MFT_OWNERDRAW) {
        SIZE size = MeasureOwnerDrawn(owner, item);
        column.ownerWidth = std::max<int>(column.ownerWidth, size.cx);
        height = size.cy;
      } else if (item.type & MFT_BITMAP) {
        SIZE size = BitmapSize(item.bitmap);
        column.label = std::max<int>(column.label, size.cx);
        height = std::max<int>(height, size.cy + 2);
      } else {
        MenuFont font(measure.Get(), (item.state & MFS_DEFAULT) != 0);
        column.label = std::max<int>(column.label, TextSize(measure.Get(), Label(item.text)).cx);
        std::string shortcut = Shortcut(item.text);
        if (!shortcut.empty())
          column.shortcut = std::max<int>(column.shortcut, TextSize(measure.Get(), shortcut).cx + kShortcutGap);
      }
      if (item.picture) {
        SIZE size = BitmapSize(item.picture);
        column.check = std::max<int>(column.check, size.cx + 4);
        height = std::max<int>(height, size.cy + 2);
      }
      heights.push_back(height);
    }
    int width = std::max(column.check + column.label + column.shortcut + kArrowColumn, column.ownerWidth + column.check);
    for (size_t i = column.first; i < column.end; ++i) {
      int height = heights[i - column.first];
      m->items[i].rect = RECT{x, y, x + width, y + height};
      // The shortcuts stand in a column of their own, left-aligned.
      m->items[i].shortcutLeft = width - kArrowColumn - std::max(0, column.shortcut - kShortcutGap);
      y += height;
    }
    bottom = std::max(bottom, y);
    x += width;
  }
  m->size = SIZE{std::max(x + kPopupFrame, 2 * kPopupFrame + 8), bottom + kPopupFrame};
}

namespace {

void PaintPopupItem(HMENU menu, const MenuItem& item, HWND owner, HDC dc, int checkWidth) {
  RECT r = item.rect;
  if (item.Separator()) {
    RECT line{r.left + 1, r.top + (r.bottom - r.top) / 2 - 1, r.right - 1, 0};
    line.bottom = line.top + 1;
    FillRect(dc, &line, GetSysColorBrush(COLOR_3DSHADOW));
    OffsetRect(&line, 0, 1);
    FillRect(dc, &line, GetSysColorBrush(COLOR_3DHILIGHT));
    return;
  }
  if (item.type & MFT_OWNERDRAW) {
    SendDrawItem(owner, menu, item, dc);
    return;
  }
  bool selected = item.state & MFS_HILITE, grayed = item.Grayed();
  FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  RECT check{r.left, r.top, r.left + checkWidth, r.bottom};
  if (item.state & MFS_CHECKED) {
    if (item.checkedMark) {
      SIZE size = BitmapSize(item.checkedMark);
      DrawBitmap(dc, item.checkedMark, check.left + (checkWidth - size.cx) / 2, r.top + (r.bottom - r.top - size.cy) / 2);
    } else {
      const auto& glyph = (item.type & MFT_RADIOCHECK) ? BulletGlyph() : CheckGlyph();
      DrawInk(grayed, selected, [&](COLORREF color, int shift) {
        RECT at = check;
        OffsetRect(&at, shift, shift);
        DrawGlyph(dc, at, glyph, color);
      });
    }
  } else if (item.picture) {
    SIZE size = BitmapSize(item.picture);
    DrawBitmap(dc, item.picture, check.left + (checkWidth - size.cx) / 2, r.top + (r.bottom - r.top - size.cy) / 2);
  } else if (item.uncheckedMark) {
    SIZE size = BitmapSize(item.uncheckedMark);
    DrawBitmap(dc, item.uncheckedMark, check.left + (checkWidth - size.cx) / 2, r.top + (r.bottom - r.top - size.cy) / 2);
  }
  RECT text{check.right, r.top, r.right - kArrowColumn, r.bottom};
  if (item.type & MFT_BITMAP) {
    SIZE size = BitmapSize(item.bitmap);
    DrawBitmap(dc, item.bitmap, text.left, r.top + (r.bottom - r.top - size.cy) / 2);
  } else {
    MenuFont font(dc, (item.state & MFS_DEFAULT) != 0);
    DrawLabel(dc, Label(item.text), text, DT_LEFT, grayed, selected);
    std::string shortcut = Shortcut(item.text);
    if (!shortcut.empty()) {
      RECT column{r.left + item.shortcutLeft, r.top, r.right - kArrowColumn, r.bottom};
      DrawLabel(dc, shortcut, column, DT_LEFT | DT_NOPREFIX, grayed, selected);
    }
  }
  if (item.submenu) {
    RECT arrow{r.right - kArrowColumn, r.top, r.right, r.bottom};
    DrawInk(grayed, selected, [&](COLORREF color, int shift) {
      RECT at = arrow;
      OffsetRect(&at, shift, shift);
      DrawGlyph(dc, at, ArrowGlyph(), color);
    });
  }
}

}  // namespace

void PaintPopup(HMENU menu, HWND owner, HDC dc) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return;
  RECT frame{0, 0, m->size.cx, m->size.cy};
  FillRect(dc, &frame, GetSysColorBrush(COLOR_MENU));
  DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
  // Each column's check column is as wide as its widest picture needs.
  int checkWidth = CheckColumn();
  for (size_t i = 0; i < m->items.size(); ++i) {
    const MenuItem& item = m->items[i];
    if (i == 0 || (item.type & (MFT_MENUBREAK | MFT_MENUBARBREAK))) {
      checkWidth = CheckColumn();
      for (size_t j = i; j < m->items.size(); ++j) {
        if (j > i && (m->items[j].type & (MFT_MENUBREAK | MFT_MENUBARBREAK))) break;
        if (m->items[j].picture) checkWidth = std::max<int>(checkWidth, BitmapSize(m->items[j].picture).cx + 4);
      }
      if ((item.type & MFT_MENUBARBREAK) && item.rect.left > kPopupFrame) {
        RECT line{item.rect.left - 2, kPopupFrame, item.rect.left - 1, m->size.cy - kPopupFrame};
        FillRect(dc, &line, GetSysColorBrush(COLOR_3DSHADOW));
        OffsetRect(&line, 1, 0);
        FillRect(dc, &line, GetSysColorBrush(COLOR_3DHILIGHT));
      }
    }
    PaintPopupItem(menu, item, owner, dc, checkWidth);
  }
}
