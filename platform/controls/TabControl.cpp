// The tab control: items, layout in rows, selection with the parent's consent, painting in
// the classic look (the selected tab raised over the frame), one handler per message.

#include "platform/controls/TabControl.h"
#include "platform/controls/ControlPaint.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/rtl/Everlasting.h"
#include "platform/user/SystemClasses.h"
#include "platform/user/WinConst.h"

namespace {

// The selected tab stands this much above the others and reaches this much to each side.
constexpr int kRaise = 2;
// The frame's edge and the margin inside it, around the display area.
constexpr int kFrameInset = 4;
// Space between buttons of the button styles.
constexpr int kButtonGap = 3;
constexpr int kDefaultFixedWidth = 96;
constexpr int kImageGap = 3;
// The two scroll arrows at the right of a single row that does not fit.
constexpr int kArrowWidth = 16;

struct TabItem {
  std::string text;
  int image = -1;
  LPARAM param = 0;
  DWORD state = 0;
  RECT rect{};  // where it lies (unselected), in client coordinates
  int row = 0;  // the row it lies in, 0 the farthest from the display area
};

struct TabState {
  std::vector<TabItem> items;
  int selected = -1;
  int focus = -1;
  int firstShown = 0;  // a single row too long for the control starts at this tab
  bool scrolls = false;  // such a row shows its scroll arrows
  RECT arrows{};
  bool revealSelected = false;  // the next layout brings the selected tab into sight
  int rows = 1;
  int rowHeight = 0;
  SIZE itemSize{0, 0};  // TCM_SETITEMSIZE: a fixed width and, when not 0, the height
  SIZE padding{6, 3};
  int minWidth = -1;
  HFONT font = nullptr;
  HIMAGELIST images = nullptr;
  bool pressed = false;
  int hot = -1;  // the tab under the mouse (TCS_HOTTRACK)
};

PerWindow<TabState>& States() {
  static Everlasting<PerWindow<TabState>> states;
  return *states;
}

DWORD StyleOf(HWND w) { return static_cast<DWORD>(GetWindowLongPtr(w, GWL_STYLE)); }
bool IsButtons(DWORD style) { return (style & TCS_BUTTONS) != 0; }
bool IsBottom(DWORD style) { return (style & TCS_BOTTOM) && !IsButtons(style); }
bool Valid(const TabState& s, int index) { return index >= 0 && index < static_cast<int>(s.items.size()); }

SIZE ImageSize(const TabState& s) {
  SIZE size{0, 0};
  if (s.images) ImageList_GetIconSize(s.images, reinterpret_cast<int*>(&size.cx), reinterpret_cast<int*>(&size.cy));
  return size;
}

int TextWidth(HDC dc, const std::string& text) {
  SIZE size{0, 0};
  GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

int ItemWidth(HWND w, const TabState& s, HDC dc, const TabItem& item) {
  DWORD style = StyleOf(w);
  if (style & TCS_FIXEDWIDTH) return s.itemSize.cx > 0 ? s.itemSize.cx : kDefaultFixedWidth;
  if ((style & TCS_OWNERDRAWFIXED) && s.itemSize.cx > 0) return s.itemSize.cx;
  int width = 2 * s.padding.cx + TextWidth(dc, item.text);
  if (item.image >= 0 && s.images) width += ImageSize(s).cx + kImageGap;
  int least = s.minWidth >= 0 ? s.minWidth : 2 * s.padding.cx;
  return std::max(width, least);
}

// The row step: a row's height, and the gap between rows of buttons.
int RowStep(DWORD style, const TabState& s) { return s.rowHeight + (IsButtons(style) ? kButtonGap : 0); }

// The band the rows take, measured from the edge of the client area they stand at.
int RowsExtent(DWORD style, const TabState& s) {
  if (s.items.empty()) return 0;
  return IsButtons(style) ? s.rows * RowStep(style, s) : kRaise + s.rows * s.rowHeight;
}

// Puts the rows of tabs in their places: wraps them (multi-line) or shifts a single row so
// the selected tab shows, then brings the selected row next to the display area.
void Layout(HWND w) {
  TabState& s = States().Of(w);
  DWORD style = StyleOf(w);
  RECT client;
  GetClientRect(w, &client);
  HDC dc = GetDC(w);
  HGDIOBJ oldFont = SelectObject(dc, ControlFont(s.font));
  int textHeight = FontLineHeight(s.font);
  s.rowHeight = s.itemSize.cy > 0 ? s.itemSize.cy : std::max<int>(textHeight, ImageSize(s).cy) + 2 * s.padding.cy;
  bool buttons = IsButtons(style);
  int gap = buttons ? kButtonGap : 0;
  int left = buttons ? 0 : kRaise;
  int right = client.right - (buttons ? 0 : kRaise);
  std::vector<int> widths;
  for (const TabItem& item : s.items) widths.push_back(ItemWidth(w, s, dc, item));
  SelectObject(dc, oldFont);
  ReleaseDC(w, dc);

  // Rows and x positions.
  int n = static_cast<int>(s.items.size());
  std::vector<int> xs(n);
  s.rows = 1;
  if (style & TCS_MULTILINE) {
    std::vector<std::vector<int>> rows(1);
    int x = left;
    for (int i = 0; i < n; ++i) {
      if (x > left && x + widths[i] > right) {
        rows.emplace_back();
        x = left;
      }
      rows.back().push_back(i);
      s.items[i].row = static_cast<int>(rows.size()) - 1;
      xs[i] = x;
      x += widths[i] + gap;
    }
    s.rows = static_cast<int>(rows.size());
    // Full rows are stretched to the width unless the style asks for ragged rows.
    if (s.rows > 1 && !(style & TCS_RAGGEDRIGHT))
      for (const auto& row : rows) {
        int used = 0;
        for (int i : row) used += widths[i] + gap;
        int spare = right - left - (used - gap);
        if (spare <= 0) continue;
        int x2 = left, count = static_cast<int>(row.size());
        for (int k = 0; k < count; ++k) {
          int i = row[k];
          widths[i] += spare / count + (k < spare % count ? 1 : 0);
          xs[i] = x2;
          x2 += widths[i] + gap;
        }
      }
  } else {
    auto endOf = [&](int first, int last) {  // where tab last ends when first starts at left
      int x = left;
      for (int i = first; i <= last; ++i) x += widths[i] + gap;
      return x - gap;
    };
    // A row longer than the control scrolls, with two arrows at its right end.
    s.scrolls = n > 0 && endOf(0, n - 1) > right;
    if (s.scrolls) {
      right = client.right - 2 * kArrowWidth;
      int top = IsBottom(style) ? client.bottom - kRaise - s.rowHeight : (buttons ? 0 : kRaise);
      s.arrows = RECT{right, top, client.right, top + std::min(s.rowHeight, kArrowWidth)};
      s.firstShown = std::clamp(s.firstShown, 0, n - 1);
      if (s.revealSelected && Valid(s, s.selected)) {
        if (s.selected < s.firstShown) s.firstShown = s.selected;
        while (s.firstShown < s.selected && endOf(s.firstShown, s.selected) > right) ++s.firstShown;
      }
    } else {
      s.firstShown = 0;
      s.arrows = RECT{};
    }
    int x = left;
    for (int i = s.firstShown - 1; i >= 0; --i) x -= widths[i] + gap;
    for (int i = 0; i < n; ++i) {
      xs[i] = x;
      s.items[i].row = 0;
      x += widths[i] + gap;
    }
  }

  s.revealSelected = false;
  // The selected tab's row moves next to the display area (not for buttons).
  int shift = 0;
  if (!buttons && Valid(s, s.selected)) shift = s.rows - 1 - s.items[s.selected].row;
  for (int i = 0; i < n; ++i) {
    TabItem& item = s.items[i];
    int row = buttons ? item.row : (item.row + shift) % s.rows;
    item.row = row;
    int top;
    if (buttons)
      top = row * RowStep(style, s);
    else if (IsBottom(style))
      top = client.bottom - kRaise - (row + 1) * s.rowHeight;
    else
      top = kRaise + row * s.rowHeight;
    item.rect = RECT{xs[i], top, xs[i] + widths[i], top + s.rowHeight};
  }
}

void Relayout(HWND w) {
  Layout(w);
  InvalidateRect(w, nullptr, TRUE);
}

// The frame around the display area (tab styles) in client coordinates.
RECT FrameRect(HWND w, const TabState& s) {
  RECT r;
  GetClientRect(w, &r);
  DWORD style = StyleOf(w);
  int band = RowsExtent(style, s);
  if (IsBottom(style))
    r.bottom -= band;
  else
    r.top += band;
  return r;
}

// The selected tab's rectangle as drawn: a little larger, over the frame's edge.
RECT RaisedRect(DWORD style, RECT r) {
  InflateRect(&r, kRaise, 0);
  if (IsBottom(style)) {
    r.top -= 1;
    r.bottom += kRaise;
  } else {
    r.top -= kRaise;
    r.bottom += 1;
  }
  return r;
}

int HitTest(HWND w, POINT p, UINT* flags) {
  TabState& s = States().Of(w);
  RECT client;
  GetClientRect(w, &client);
  for (int i = 0; i < static_cast<int>(s.items.size()); ++i) {
    RECT r = s.items[i].rect;
    if (r.right <= 0 || r.left >= client.right) continue;  // scrolled out of sight
    if (s.scrolls && (PtInRect(&s.arrows, p) || r.left >= s.arrows.left)) continue;
    if (PtInRect(&r, p)) {
      if (flags) {
        *flags = TCHT_ONITEMLABEL;
        if (s.items[i].image >= 0 && s.images && p.x < r.left + s.padding.cx + ImageSize(s).cx) *flags = TCHT_ONITEMICON;
      }
      return i;
    }
  }
  if (flags) *flags = TCHT_NOWHERE;
  return -1;
}

// Moves a scrolling row by one tab, as its arrows do; not past either end.
void ScrollRow(HWND w, int step) {
  TabState& s = States().Of(w);
  int n = static_cast<int>(s.items.size());
  if (!s.scrolls || n == 0) return;
  if (step < 0 && s.firstShown > 0) --s.firstShown;
  if (step > 0 && s.items[n - 1].rect.right > s.arrows.left) ++s.firstShown;
  Relayout(w);
}

// Asks the parent, then selects: false when the parent kept the old tab.
bool SelectByUser(HWND w, int index) {
  TabState& s = States().Of(w);
  if (!Valid(s, index)) return false;
  if (index == s.selected) {
    s.focus = index;
    return true;
  }
  if (SendNotify(w, TCN_SELCHANGING)) return false;
  if (!IsWindow(w)) return false;
  TabState& now = States().Of(w);
  if (!Valid(now, index)) return false;
  now.selected = now.focus = index;
  now.revealSelected = true;
  Relayout(w);
  SendNotify(w, TCN_SELCHANGE);
  return true;
}

void CopyText(const std::string& text, LPSTR out, int size) {
  if (!out || size <= 0) return;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  text.copy(out, n);
  out[n] = '\0';
}

void StoreItem(TabState& s, TabItem& item, const TCITEM& in) {
  if (in.mask & TCIF_TEXT) item.text = in.pszText ? in.pszText : "";
  if (in.mask & TCIF_IMAGE) item.image = in.iImage;
  if (in.mask & TCIF_PARAM) item.param = in.lParam;
  if (in.mask & TCIF_STATE) item.state = (item.state & ~in.dwStateMask) | (in.dwState & in.dwStateMask);
  (void)s;
}

LRESULT InsertItem(HWND w, WPARAM index, const TCITEM* in) {
  TabState& s = States().Of(w);
  if (!in) return -1;
  int at = std::min(static_cast<int>(index), static_cast<int>(s.items.size()));
  if (static_cast<int>(index) < 0) return -1;
  TabItem item;
  StoreItem(s, item, *in);
  s.items.insert(s.items.begin() + at, item);
  if (s.items.size() == 1) {
    s.selected = s.focus = 0;  // the first tab is selected as it comes
    s.revealSelected = true;
  } else {
    if (s.selected >= at) ++s.selected;
    if (s.focus >= at) ++s.focus;
  }
  Relayout(w);
  return at;
}

LRESULT DeleteItem(HWND w, WPARAM index) {
  TabState& s = States().Of(w);
  int i = static_cast<int>(index);
  if (!Valid(s, i)) return FALSE;
  s.items.erase(s.items.begin() + i);
  // The deleted tab leaves no selection; later tabs move down.
  if (s.selected == i)
    s.selected = -1;
  else if (s.selected > i)
    --s.selected;
  if (s.focus == i)
    s.focus = -1;
  else if (s.focus > i)
    --s.focus;
  Relayout(w);
  return TRUE;
}

LRESULT AdjustRect(HWND w, BOOL larger, RECT* r) {
  if (!r) return 0;
  TabState& s = States().Of(w);
  DWORD style = StyleOf(w);
  int band = RowsExtent(style, s);
  if (IsButtons(style)) {
    if (larger)
      r->top -= band;
    else
      r->top += band;
    return 0;
  }
  int sign = larger ? -1 : 1;
  InflateRect(r, -sign * kFrameInset, -sign * kFrameInset);
  if (IsBottom(style))
    r->bottom -= sign * band;
  else
    r->top += sign * band;
  return 0;
}

// Painting.

void Line(HDC dc, int x1, int y1, int x2, int y2, int colour) {
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(colour));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void PaintFrame(HDC dc, const RECT& f) {
  Line(dc, f.left, f.top, f.right - 1, f.top, COLOR_BTNHIGHLIGHT);
  Line(dc, f.left, f.top, f.left, f.bottom - 1, COLOR_BTNHIGHLIGHT);
  Line(dc, f.right - 1, f.top, f.right - 1, f.bottom, COLOR_3DDKSHADOW);
  Line(dc, f.right - 2, f.top + 1, f.right - 2, f.bottom - 1, COLOR_BTNSHADOW);
  Line(dc, f.left, f.bottom - 1, f.right, f.bottom - 1, COLOR_3DDKSHADOW);
  Line(dc, f.left + 1, f.bottom - 2, f.right - 1, f.bottom - 2, COLOR_BTNSHADOW);
}

// A tab's outline: light on the left and on its far edge, shadows on the right, cut corners.
void PaintTabEdges(HDC dc, const RECT& r, bool bottom) {
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (!bottom) {
    Line(dc, r.left, r.bottom, r.left, r.top + 2, COLOR_BTNHIGHLIGHT);
    SetPixel(dc, r.left + 1, r.top + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    Line(dc, r.left + 2, r.top, r.right - 2, r.top, COLOR_BTNHIGHLIGHT);
    SetPixel(dc, r.right - 2, r.top + 1, GetSysColor(COLOR_3DDKSHADOW));
    Line(dc, r.right - 1, r.top + 2, r.right - 1, r.bottom, COLOR_3DDKSHADOW);
    Line(dc, r.right - 2, r.top + 2, r.right - 2, r.bottom, COLOR_BTNSHADOW);
  } else {
    Line(dc, r.left, r.top, r.left, r.bottom - 2, COLOR_BTNHIGHLIGHT);
    SetPixel(dc, r.left + 1, r.bottom - 2, GetSysColor(COLOR_BTNHIGHLIGHT));
    Line(dc, r.left + 2, r.bottom - 1, r.right - 2, r.bottom - 1, COLOR_3DDKSHADOW);
    Line(dc, r.left + 2, r.bottom - 2, r.right - 2, r.bottom - 2, COLOR_BTNSHADOW);
    SetPixel(dc, r.right - 2, r.bottom - 2, GetSysColor(COLOR_3DDKSHADOW));
    Line(dc, r.right - 1, r.top, r.right - 1, r.bottom - 2, COLOR_3DDKSHADOW);
    Line(dc, r.right - 2, r.top, r.right - 2, r.bottom - 2, COLOR_BTNSHADOW);
  }
}

void PaintContent(HWND w, TabState& s, HDC dc, int index, RECT inner, bool selected) {
  const TabItem& item = s.items[index];
  DWORD style = StyleOf(w);
  if (style & TCS_OWNERDRAWFIXED) {
    DRAWITEMSTRUCT d;
    d.CtlType = ODT_TAB;
    d.CtlID = static_cast<UINT>(GetDlgCtrlID(w));
    d.itemID = static_cast<UINT>(index);
    d.itemAction = ODA_DRAWENTIRE;
    d.itemState = selected ? ODS_SELECTED : 0;
    if (selected && GetFocus() == w) d.itemState |= ODS_FOCUS;
    d.hwndItem = w;
    d.hDC = dc;
    d.rcItem = inner;
    d.itemData = static_cast<ULONG_PTR>(item.param);
    int saved = SaveDC(dc);
    SendMessage(GetParent(w), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
    RestoreDC(dc, saved);
    return;
  }
  RECT text = inner;
  if (item.image >= 0 && s.images) {
    SIZE is = ImageSize(s);
    int width = is.cx + kImageGap + TextWidth(dc, item.text);
    int x = inner.left + std::max(0, static_cast<int>((inner.right - inner.left - width) / 2));
    ImageList_Draw(s.images, item.image, dc, x, inner.top + (inner.bottom - inner.top - is.cy) / 2, ILD_TRANSPARENT);
    text.left = x + is.cx + kImageGap;
    text.right = text.left + TextWidth(dc, item.text);
  }
  SetBkMode(dc, TRANSPARENT);
  bool enabled = IsWindowEnabled(w);
  bool hot = (item.state & TCIS_HIGHLIGHTED) != 0 || index == s.hot;
  if (!enabled) {
    RECT shadow = text;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawText(dc, item.text.c_str(), -1, &shadow, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SetTextColor(dc, GetSysColor(!enabled ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHT : COLOR_BTNTEXT));
  DrawText(dc, item.text.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (selected && GetFocus() == w && !(style & TCS_FOCUSNEVER)) {
    RECT f = inner;
    InflateRect(&f, -1, -1);
    DrawFocusRect(dc, &f);
  }
}

void PaintTab(HWND w, TabState& s, HDC dc, int index) {
  DWORD style = StyleOf(w);
  bool selected = index == s.selected;
  RECT r = s.items[index].rect;
  RECT inner = r;
  if (IsButtons(style)) {
    bool down = selected || (s.items[index].state & TCIS_BUTTONPRESSED);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (style & TCS_FLATBUTTONS) {
      if (down) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    } else {
      DrawEdge(dc, &r, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    InflateRect(&inner, -2, -2);
    if (down) OffsetRect(&inner, 1, 1);
  } else {
    if (selected) r = RaisedRect(style, r);
    PaintTabEdges(dc, r, IsBottom(style));
    InflateRect(&inner, -2, -1);
    if (selected) OffsetRect(&inner, 0, IsBottom(style) ? 1 : -1);
  }
  PaintContent(w, s, dc, index, inner, selected);
}

void Paint(HWND w, HDC dc) {
  TabState& s = States().Of(w);
  DWORD style = StyleOf(w);
  RECT client;
  GetClientRect(w, &client);
  HGDIOBJ oldFont = SelectObject(dc, ControlFont(s.font));
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  if (!IsButtons(style)) PaintFrame(dc, FrameRect(w, s));
  int saved = SaveDC(dc);
  if (s.scrolls) {  // tabs that go on past the arrows are hidden behind them
    RECT frame = FrameRect(w, s);
    int top = IsButtons(style) ? 0 : IsBottom(style) ? frame.bottom : 0;
    int bottom = IsButtons(style) ? s.rowHeight : IsBottom(style) ? client.bottom : frame.top;
    ExcludeClipRect(dc, s.arrows.left, top, client.right, bottom);
  }
  // Flat buttons are parted by etched lines.
  for (int i = 0; i < static_cast<int>(s.items.size()); ++i)
    if (i != s.selected) PaintTab(w, s, dc, i);
  if ((style & TCS_FLATBUTTONS) && IsButtons(style))
    for (const TabItem& item : s.items) {
      RECT sep{item.rect.right + 1, item.rect.top + 2, item.rect.right + 3, item.rect.bottom - 2};
      DrawEdge(dc, &sep, EDGE_ETCHED, BF_LEFT);
    }
  if (Valid(s, s.selected)) PaintTab(w, s, dc, s.selected);  // last: it lies over its neighbours
  RestoreDC(dc, saved);
  if (s.scrolls) {
    int n = static_cast<int>(s.items.size());
    bool atStart = s.firstShown == 0;
    bool atEnd = s.items[n - 1].rect.right <= s.arrows.left;
    RECT back{s.arrows.left, s.arrows.top, s.arrows.left + kArrowWidth, s.arrows.bottom};
    RECT on{back.right, s.arrows.top, s.arrows.right, s.arrows.bottom};
    DrawFrameControl(dc, &back, DFC_SCROLL, DFCS_SCROLLLEFT | (atStart ? DFCS_INACTIVE : 0));
    DrawFrameControl(dc, &on, DFC_SCROLL, DFCS_SCROLLRIGHT | (atEnd ? DFCS_INACTIVE : 0));
  }
  SelectObject(dc, oldFont);
}

LRESULT OnKeyDown(HWND w, WPARAM key, LPARAM flags) {
  NMTCKEYDOWN kd;
  kd.wVKey = static_cast<WORD>(key);
  kd.flags = static_cast<UINT>(flags);
  SendNotify(w, TCN_KEYDOWN, &kd.hdr);
  if (!IsWindow(w)) return 0;
  TabState& s = States().Of(w);
  int n = static_cast<int>(s.items.size());
  if (n == 0) return 0;
  int from = s.focus >= 0 ? s.focus : s.selected;
  int to = from;
  switch (key) {
    case VK_LEFT: case VK_UP: to = std::max(0, from - 1); break;
    case VK_RIGHT: case VK_DOWN: to = std::min(n - 1, from + 1); break;
    case VK_HOME: to = 0; break;
    case VK_END: to = n - 1; break;
    case VK_SPACE:
    case VK_RETURN:
      if (IsButtons(StyleOf(w))) SelectByUser(w, from);
      return 0;
    default: return 0;
  }
  if (to == from || to < 0) return 0;
  if (IsButtons(StyleOf(w))) {  // buttons move the focus only; Space presses
    s.focus = to;
    InvalidateRect(w, nullptr, TRUE);
  } else {
    SelectByUser(w, to);
  }
  return 0;
}

void SendMouseNotify(HWND w, UINT code, LPARAM l) {
  NMMOUSE m;
  m.pt = POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  int item = HitTest(w, m.pt, nullptr);
  m.dwItemSpec = static_cast<DWORD_PTR>(static_cast<LONG_PTR>(item));
  SendNotify(w, code, &m.hdr);
}

LRESULT TabControlProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCDESTROY:
      States().Forget(w);
      return DefWindowProc(w, msg, wp, lp);
    case WM_CREATE:
      Layout(w);
      return 0;
    case WM_SIZE:
    case WM_STYLECHANGED:
      Relayout(w);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills everything
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintControl(w, wp, [w](HDC dc, const RECT&) { Paint(w, dc); });
    case WM_SETFONT:
      States().Of(w).font = reinterpret_cast<HFONT>(wp);
      Layout(w);
      if (LOWORD(lp)) InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(States().Of(w).font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_KEYDOWN: return OnKeyDown(w, wp, lp);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      TabState& s = States().Of(w);
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (s.scrolls && PtInRect(&s.arrows, p)) {
        ScrollRow(w, p.x < s.arrows.left + kArrowWidth ? -1 : 1);
        return 0;
      }
      int item = HitTest(w, p, nullptr);
      if (!(StyleOf(w) & TCS_FOCUSNEVER) && GetFocus() != w) SetFocus(w);
      if (!IsWindow(w)) return 0;
      s.pressed = true;
      if (item >= 0) SelectByUser(w, item);
      return 0;
    }
    case WM_LBUTTONUP: {
      TabState& s = States().Of(w);
      if (!s.pressed) return 0;
      s.pressed = false;
      SendMouseNotify(w, NM_CLICK, lp);
      return 0;
    }
    case WM_RBUTTONUP:
      SendMouseNotify(w, NM_RCLICK, lp);
      return 0;
    case WM_MOUSEMOVE: {
      if (!(StyleOf(w) & TCS_HOTTRACK)) return 0;
      TabState& s = States().Of(w);
      int hot = HitTest(w, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, nullptr);
      if (hot == s.hot) return 0;
      if (s.hot < 0) {  // hear when the mouse leaves, to put the tab back
        TRACKMOUSEEVENT track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = w;
        TrackMouseEvent(&track);
      }
      s.hot = hot;
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    }
    case WM_MOUSELEAVE: {
      TabState& s = States().Of(w);
      if (s.hot >= 0) {
        s.hot = -1;
        InvalidateRect(w, nullptr, TRUE);
      }
      return 0;
    }

    case TCM_GETITEMCOUNT: return static_cast<LRESULT>(States().Of(w).items.size());
    case TCM_INSERTITEM: return InsertItem(w, wp, reinterpret_cast<const TCITEM*>(lp));
    case TCM_DELETEITEM: return DeleteItem(w, wp);
    case TCM_DELETEALLITEMS: {
      TabState& s = States().Of(w);
      s.items.clear();
      s.selected = s.focus = -1;
      s.firstShown = 0;
      Relayout(w);
      return TRUE;
    }
    case TCM_GETITEM: {
      TabState& s = States().Of(w);
      auto* out = reinterpret_cast<TCITEM*>(lp);
      int i = static_cast<int>(wp);
      if (!out || !Valid(s, i)) return FALSE;
      const TabItem& item = s.items[i];
      if (out->mask & TCIF_TEXT) CopyText(item.text, out->pszText, out->cchTextMax);
      if (out->mask & TCIF_IMAGE) out->iImage = item.image;
      if (out->mask & TCIF_PARAM) out->lParam = item.param;
      if (out->mask & TCIF_STATE) out->dwState = item.state & out->dwStateMask;
      return TRUE;
    }
    case TCM_SETITEM: {
      TabState& s = States().Of(w);
      auto* in = reinterpret_cast<const TCITEM*>(lp);
      int i = static_cast<int>(wp);
      if (!in || !Valid(s, i)) return FALSE;
      StoreItem(s, s.items[i], *in);
      Relayout(w);
      return TRUE;
    }
    case TCM_GETCURSEL: return States().Of(w).selected;
    case TCM_SETCURSEL: {
      TabState& s = States().Of(w);
      int i = static_cast<int>(wp);
      if (!Valid(s, i) && i != -1) return -1;
      int old = s.selected;
      s.selected = s.focus = i;  // -1: no tab selected
      s.revealSelected = true;
      if (old != i) Relayout(w);
      return old;
    }
    case TCM_GETCURFOCUS: return States().Of(w).focus;
    case TCM_SETCURFOCUS: {
      TabState& s = States().Of(w);
      int i = static_cast<int>(wp);
      if (!Valid(s, i)) return 0;
      if (IsButtons(StyleOf(w))) {
        s.focus = i;
        InvalidateRect(w, nullptr, TRUE);
      } else {
        SelectByUser(w, i);  // without buttons the focus is the selection: the parent is asked
      }
      return 0;
    }
    case TCM_GETITEMRECT: {
      TabState& s = States().Of(w);
      auto* out = reinterpret_cast<RECT*>(lp);
      int i = static_cast<int>(wp);
      if (!out || !Valid(s, i)) return FALSE;
      *out = s.items[i].rect;
      return TRUE;
    }
    case TCM_HITTEST: {
      auto* info = reinterpret_cast<TCHITTESTINFO*>(lp);
      return info ? HitTest(w, info->pt, &info->flags) : -1;
    }
    case TCM_ADJUSTRECT: return AdjustRect(w, static_cast<BOOL>(wp), reinterpret_cast<RECT*>(lp));
    case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(States().Of(w).images);
    case TCM_SETIMAGELIST: {
      TabState& s = States().Of(w);
      HIMAGELIST old = s.images;
      s.images = reinterpret_cast<HIMAGELIST>(lp);
      Relayout(w);
      return reinterpret_cast<LRESULT>(old);
    }
    case TCM_GETROWCOUNT: return States().Of(w).rows;
    case TCM_SETITEMSIZE: {
      TabState& s = States().Of(w);
      LRESULT old = MAKELONG(s.itemSize.cx, s.itemSize.cy);
      s.itemSize = SIZE{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      Relayout(w);
      return old;
    }
    case TCM_SETPADDING:
      States().Of(w).padding = SIZE{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      Relayout(w);
      return 0;
    case TCM_SETMINTABWIDTH: {
      TabState& s = States().Of(w);
      int old = s.minWidth;
      s.minWidth = static_cast<int>(lp);
      Relayout(w);
      return old;
    }
    default: return DefWindowProc(w, msg, wp, lp);
  }
}

const bool kRegistered = AddSystemClassRegistration(&RegisterTabControlClass);

}  // namespace

void RegisterTabControlClass() {
  RegisterControlClass(WC_TABCONTROL, &TabControlProc, CS_GLOBALCLASS | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}
