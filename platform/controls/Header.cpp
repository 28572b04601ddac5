// The header control: items, layout, hit testing, pushing items and dragging dividers, and
// painting in the classic look, one handler per message.

#include "platform/controls/Header.h"
#include "platform/controls/ControlPaint.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/rtl/Everlasting.h"
#include "platform/user/SystemClasses.h"
#include "platform/user/WinConst.h"

namespace {

// A divider can be caught this many pixels to either side of an item's right edge.
constexpr int kDividerGrip = 4;
constexpr int kTextMargin = 6;

struct HeaderItem {
  std::string text;
  int width = 0;
  int format = HDF_LEFT | HDF_STRING;
  LPARAM param = 0;
  int image = -1;
  HBITMAP bitmap = nullptr;
};

enum class Drag { None, Divider, Button };

struct HeaderState {
  std::vector<HeaderItem> items;
  HFONT font = nullptr;
  HIMAGELIST images = nullptr;
  Drag drag = Drag::None;
  int dragItem = -1;
  int startX = 0;
  int startWidth = 0;
  int newWidth = 0;
  int lineX = 0;  // where the inverted line shows on the parent (client x), while one shows
  bool lineShown = false;
  bool pressedInside = false;
  int hot = -1;  // the item under the mouse (HDS_HOTTRACK)
};

PerWindow<HeaderState>& States() {
  static Everlasting<PerWindow<HeaderState>> states;
  return *states;
}

DWORD StyleOf(HWND w) { return static_cast<DWORD>(GetWindowLongPtr(w, GWL_STYLE)); }
bool Valid(const HeaderState& s, int i) { return i >= 0 && i < static_cast<int>(s.items.size()); }

RECT ItemRect(HWND w, const HeaderState& s, int index) {
  RECT c;
  GetClientRect(w, &c);
  int x = 0;
  for (int i = 0; i < index; ++i) x += s.items[i].width;
  return RECT{x, 0, x + s.items[index].width, c.bottom};
}

int HitTest(HWND w, POINT p, UINT* flags) {
  HeaderState& s = States().Of(w);
  RECT c;
  GetClientRect(w, &c);
  UINT f = 0;
  if (p.y < 0) f |= HHT_ABOVE;
  if (p.y >= c.bottom) f |= HHT_BELOW;
  if (p.x < 0) f |= HHT_TOLEFT;
  if (p.x >= c.right) f |= HHT_TORIGHT;
  int found = -1;
  if (!f) {
    int x = 0;
    // The divider wins over the items beside it; a zero-width item's divider lies to the right of
    // its edge (it is opened by dragging right).
    for (int i = 0; i < static_cast<int>(s.items.size()); ++i) {
      x += s.items[i].width;
      if (s.items[i].width == 0 && p.x >= x && p.x < x + kDividerGrip) {
        found = i;
        f = HHT_ONDIVOPEN;
      } else if (p.x >= x - kDividerGrip && p.x < x + kDividerGrip) {
        found = i;
        f = HHT_ONDIVIDER;
      }
    }
    if (found < 0) {
      for (int i = 0; i < static_cast<int>(s.items.size()); ++i) {
        RECT r = ItemRect(w, s, i);
        if (p.x >= r.left && p.x < r.right) {
          found = i;
          f = HHT_ONHEADER;
          break;
        }
      }
      if (found < 0) f = HHT_NOWHERE;
    }
  }
  if (flags) *flags = f;
  return found;
}

LRESULT Notify(HWND w, UINT code, int item, HDITEM* changed = nullptr) {
  NMHEADER n;
  n.iItem = item;
  n.iButton = 0;
  n.pitem = changed;
  return SendNotify(w, code, &n.hdr);
}

// Sizes an item after asking the parent; false when the parent refused.
bool ChangeWidth(HWND w, int item, int width) {
  HDITEM change;
  change.mask = HDI_WIDTH;
  change.cxy = width;
  if (Notify(w, HDN_ITEMCHANGING, item, &change)) return false;
  if (!IsWindow(w)) return false;
  HeaderState& s = States().Of(w);
  if (!Valid(s, item)) return false;
  s.items[item].width = std::max(0, change.cxy);  // the parent may have changed the width
  InvalidateRect(w, nullptr, TRUE);
  Notify(w, HDN_ITEMCHANGED, item, &change);
  return true;
}

// The inverted line on the parent while a divider is dragged without full drag.
void InvertLine(HWND w, HeaderState& s, int x) {
  HWND parent = GetParent(w);
  if (!parent) return;
  POINT p{x, 0};
  MapWindowPoints(w, parent, &p, 1);
  RECT pc;
  GetClientRect(parent, &pc);
  HDC dc = GetDCEx(parent, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  PatBlt(dc, p.x - 1, p.y, 2, pc.bottom - p.y, DSTINVERT);
  ReleaseDC(parent, dc);
  s.lineX = x;
}

void ShowLine(HWND w, HeaderState& s, int x) {
  if (s.lineShown && s.lineX == x) return;
  if (s.lineShown) InvertLine(w, s, s.lineX);
  InvertLine(w, s, x);
  s.lineShown = true;
}

void HideLine(HWND w, HeaderState& s) {
  if (s.lineShown) InvertLine(w, s, s.lineX);
  s.lineShown = false;
}

void EndDrag(HWND w, bool apply) {
  HeaderState& s = States().Of(w);
  if (s.drag == Drag::None) return;
  Drag drag = s.drag;
  int item = s.dragItem;
  s.drag = Drag::None;
  s.dragItem = -1;
  if (GetCapture() == w) ReleaseCapture();
  if (!IsWindow(w)) return;
  HeaderState& now = States().Of(w);
  if (drag == Drag::Button) {
    bool inside = now.pressedInside;
    now.pressedInside = false;
    InvalidateRect(w, nullptr, TRUE);
    if (apply && inside) Notify(w, HDN_ITEMCLICK, item);
    return;
  }
  HideLine(w, now);
  bool full = (StyleOf(w) & HDS_FULLDRAG) != 0;
  if (!apply) {
    if (full && Valid(now, item)) {
      now.items[item].width = now.startWidth;
      InvalidateRect(w, nullptr, TRUE);
    }
    return;
  }
  HDITEM change;
  change.mask = HDI_WIDTH;
  change.cxy = now.newWidth;
  Notify(w, HDN_ENDTRACK, item, &change);
  if (IsWindow(w) && !full) ChangeWidth(w, item, States().Of(w).newWidth);
}

void OnButtonDown(HWND w, LPARAM lp, bool doubleClick) {
  HeaderState& s = States().Of(w);
  POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  UINT flags = 0;
  int item = HitTest(w, p, &flags);
  if (item < 0) return;
  if (flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) {
    if (doubleClick) {
      Notify(w, HDN_DIVIDERDBLCLICK, item);
      return;
    }
    HDITEM now;
    now.mask = HDI_WIDTH;
    now.cxy = s.items[item].width;
    if (Notify(w, HDN_BEGINTRACK, item, &now)) return;  // the parent keeps the width
    if (!IsWindow(w)) return;
    HeaderState& t = States().Of(w);
    if (!Valid(t, item)) return;
    t.drag = Drag::Divider;
    t.dragItem = item;
    t.startX = p.x;
    t.startWidth = t.newWidth = t.items[item].width;
    SetCapture(w);
    if (!(StyleOf(w) & HDS_FULLDRAG)) ShowLine(w, t, ItemRect(w, t, item).right);
    return;
  }
  if (doubleClick) {
    Notify(w, HDN_ITEMDBLCLICK, item);
    return;
  }
  if (StyleOf(w) & HDS_BUTTONS) {
    s.drag = Drag::Button;
    s.dragItem = item;
    s.pressedInside = true;
    SetCapture(w);
    InvalidateRect(w, nullptr, TRUE);
  }
}

// Lights the item under the mouse (not while dragging), and hears when the mouse leaves.
void TrackHot(HWND w, HeaderState& s, POINT p) {
  if (!(StyleOf(w) & HDS_HOTTRACK)) return;
  UINT flags = 0;
  int item = s.drag == Drag::None ? HitTest(w, p, &flags) : -1;
  if (!(flags & HHT_ONHEADER)) item = -1;
  if (item == s.hot) return;
  if (s.hot < 0) {
    TRACKMOUSEEVENT track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = w;
    TrackMouseEvent(&track);
  }
  s.hot = item;
  InvalidateRect(w, nullptr, TRUE);
}

void OnMouseMove(HWND w, LPARAM lp) {
  HeaderState& s = States().Of(w);
  POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  TrackHot(w, s, p);
  if (s.drag == Drag::Button) {
    UINT flags = 0;
    bool inside = HitTest(w, p, &flags) == s.dragItem && (flags & HHT_ONHEADER);
    if (inside != s.pressedInside) {
      s.pressedInside = inside;
      InvalidateRect(w, nullptr, TRUE);
    }
    return;
  }
  if (s.drag != Drag::Divider) return;
  int item = s.dragItem;
  int width = std::max(0, s.startWidth + p.x - s.startX);
  HDITEM change;
  change.mask = HDI_WIDTH;
  change.cxy = width;
  if (Notify(w, HDN_TRACK, item, &change)) {  // the parent ends the drag here
    if (IsWindow(w)) {
      States().Of(w).newWidth = width;
      EndDrag(w, true);
    }
    return;
  }
  if (!IsWindow(w)) return;
  HeaderState& t = States().Of(w);
  t.newWidth = width = std::max(0, change.cxy);  // the parent may have kept the width in bounds
  if (StyleOf(w) & HDS_FULLDRAG) {
    if (Valid(t, item) && t.items[item].width != width) ChangeWidth(w, item, width);
  } else {
    ShowLine(w, t, ItemRect(w, t, item).left + width);
  }
}

// Painting.

void PaintItem(HWND w, HeaderState& s, HDC dc, int index, RECT r) {
  const HeaderItem& item = s.items[index];
  bool pressed = s.drag == Drag::Button && s.dragItem == index && s.pressedInside;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (pressed)
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_FLAT);
  else
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  RECT inner = r;
  InflateRect(&inner, -2, -2);
  if (pressed) OffsetRect(&inner, 1, 1);
  if (item.format & HDF_OWNERDRAW) {
    DRAWITEMSTRUCT d;
    d.CtlType = ODT_HEADER;
    d.CtlID = static_cast<UINT>(GetDlgCtrlID(w));
    d.itemID = static_cast<UINT>(index);
    d.itemAction = ODA_DRAWENTIRE;
    d.itemState = pressed ? ODS_SELECTED : 0;
    d.hwndItem = w;
    d.hDC = dc;
    d.rcItem = inner;
    d.itemData = static_cast<ULONG_PTR>(item.param);
    int saved = SaveDC(dc);
    SendMessage(GetParent(w), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
    RestoreDC(dc, saved);
    return;
  }
  int saved = SaveDC(dc);
  IntersectClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  RECT text{inner.left + kTextMargin - 2, inner.top, inner.right - kTextMargin + 2, inner.bottom};
  if ((item.format & HDF_IMAGE) && s.images && item.image >= 0) {
    int iw = 0, ih = 0;
    ImageList_GetIconSize(s.images, &iw, &ih);
    ImageList_Draw(s.images, item.image, dc, text.left, inner.top + (inner.bottom - inner.top - ih) / 2, ILD_TRANSPARENT);
    text.left += iw + 3;
  }
  UINT align = (item.format & HDF_JUSTIFYMASK) == HDF_RIGHT    ? DT_RIGHT
               : (item.format & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER
                                                                : DT_LEFT;
  SetBkMode(dc, TRANSPARENT);
  int colour = !IsWindowEnabled(w) ? COLOR_GRAYTEXT : index == s.hot ? COLOR_HIGHLIGHT : COLOR_BTNTEXT;
  SetTextColor(dc, GetSysColor(colour));
  DrawText(dc, item.text.c_str(), -1, &text, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  RestoreDC(dc, saved);
}

void Paint(HWND w, HDC dc) {
  HeaderState& s = States().Of(w);
  RECT c;
  GetClientRect(w, &c);
  HGDIOBJ oldFont = SelectObject(dc, ControlFont(s.font));
  int x = 0;
  for (int i = 0; i < static_cast<int>(s.items.size()); ++i) {
    RECT r = ItemRect(w, s, i);
    if (r.right > r.left) PaintItem(w, s, dc, i, r);
    x = r.right;
  }
  if (x < c.right) {  // the rest of the row is an empty, raised item
    RECT rest{x, 0, c.right, c.bottom};
    FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &rest, EDGE_RAISED, BF_RECT);
  }
  SelectObject(dc, oldFont);
}

void CopyText(const std::string& text, LPSTR out, int size) {
  if (!out || size <= 0) return;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  text.copy(out, n);
  out[n] = '\0';
}

void Store(HeaderItem& item, const HDITEM& in) {
  if (in.mask & HDI_WIDTH) item.width = std::max(0, in.cxy);
  if (in.mask & HDI_TEXT) item.text = in.pszText ? in.pszText : "";
  if (in.mask & HDI_FORMAT) item.format = in.fmt;
  if (in.mask & HDI_LPARAM) item.param = in.lParam;
  if (in.mask & HDI_IMAGE) item.image = in.iImage;
  if (in.mask & HDI_BITMAP) item.bitmap = in.hbm;
}

LRESULT Layout(HWND w, HDLAYOUT* layout) {
  if (!layout || !layout->prc || !layout->pwpos) return FALSE;
  HeaderState& s = States().Of(w);
  int height = (StyleOf(w) & HDS_HIDDEN) ? 0 : FontLineHeight(s.font) + 4;
  RECT* r = layout->prc;
  WINDOWPOS* pos = layout->pwpos;
  pos->hwnd = w;
  pos->hwndInsertAfter = nullptr;
  pos->x = r->left;
  pos->y = r->top;
  pos->cx = r->right - r->left;
  pos->cy = height;
  pos->flags = SWP_NOZORDER | SWP_NOACTIVATE;
  r->top += height;
  return TRUE;
}

LRESULT HeaderProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCDESTROY:
      States().Forget(w);
      return DefWindowProc(w, msg, wp, lp);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintControl(w, wp, [w](HDC dc, const RECT&) { Paint(w, dc); });
    case WM_SETFONT:
      States().Of(w).font = reinterpret_cast<HFONT>(wp);
      if (LOWORD(lp)) InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(States().Of(w).font);
    case WM_ENABLE:
    case WM_SIZE:
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_SETCURSOR: {
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(w, &p);
      UINT flags = 0;
      if (States().Of(w).drag == Drag::Divider || (HitTest(w, p, &flags) >= 0 && (flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)))) {
        SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
      }
      return DefWindowProc(w, msg, wp, lp);
    }
    case WM_LBUTTONDOWN: OnButtonDown(w, lp, false); return 0;
    case WM_LBUTTONDBLCLK: OnButtonDown(w, lp, true); return 0;
    case WM_MOUSEMOVE: OnMouseMove(w, lp); return 0;
    case WM_LBUTTONUP: {
      HeaderState& s = States().Of(w);
      if (s.drag == Drag::Divider) {  // the release point counts
        s.newWidth = std::max(0, s.startWidth + GET_X_LPARAM(lp) - s.startX);
        if ((StyleOf(w) & HDS_FULLDRAG) && Valid(s, s.dragItem) && s.items[s.dragItem].width != s.newWidth)
          ChangeWidth(w, s.dragItem, s.newWidth);
      }
      if (IsWindow(w)) EndDrag(w, true);
      return 0;
    }
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) EndDrag(w, false);
      return 0;
    case WM_MOUSELEAVE: {
      HeaderState& s = States().Of(w);
      if (s.hot >= 0) {
        s.hot = -1;
        InvalidateRect(w, nullptr, TRUE);
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != w) EndDrag(w, false);
      return 0;

    case HDM_GETITEMCOUNT: return static_cast<LRESULT>(States().Of(w).items.size());
    case HDM_INSERTITEM: {
      HeaderState& s = States().Of(w);
      auto* in = reinterpret_cast<const HDITEM*>(lp);
      if (!in || static_cast<int>(wp) < 0) return -1;
      int at = std::min(static_cast<int>(wp), static_cast<int>(s.items.size()));
      HeaderItem item;
      Store(item, *in);
      s.items.insert(s.items.begin() + at, item);
      InvalidateRect(w, nullptr, TRUE);
      return at;
    }
    case HDM_DELETEITEM: {
      HeaderState& s = States().Of(w);
      int i = static_cast<int>(wp);
      if (!Valid(s, i)) return FALSE;
      if (s.drag != Drag::None) EndDrag(w, false);
      States().Of(w).items.erase(States().Of(w).items.begin() + i);
      InvalidateRect(w, nullptr, TRUE);
      return TRUE;
    }
    case HDM_GETITEM: {
      HeaderState& s = States().Of(w);
      auto* out = reinterpret_cast<HDITEM*>(lp);
      int i = static_cast<int>(wp);
      if (!out || !Valid(s, i)) return FALSE;
      const HeaderItem& item = s.items[i];
      if (out->mask & HDI_WIDTH) out->cxy = item.width;
      if (out->mask & HDI_TEXT) CopyText(item.text, out->pszText, out->cchTextMax);
      if (out->mask & HDI_FORMAT) out->fmt = item.format;
      if (out->mask & HDI_LPARAM) out->lParam = item.param;
      if (out->mask & HDI_IMAGE) out->iImage = item.image;
      if (out->mask & HDI_BITMAP) out->hbm = item.bitmap;
      if (out->mask & HDI_ORDER) out->iOrder = i;
      return TRUE;
    }
    case HDM_SETITEM: {
      auto* in = reinterpret_cast<const HDITEM*>(lp);
      int i = static_cast<int>(wp);
      if (!in || !Valid(States().Of(w), i)) return FALSE;
      HDITEM change = *in;
      if (Notify(w, HDN_ITEMCHANGING, i, &change)) return FALSE;
      if (!IsWindow(w) || !Valid(States().Of(w), i)) return FALSE;
      Store(States().Of(w).items[i], *in);
      InvalidateRect(w, nullptr, TRUE);
      Notify(w, HDN_ITEMCHANGED, i, &change);
      return TRUE;
    }
    case HDM_LAYOUT: return Layout(w, reinterpret_cast<HDLAYOUT*>(lp));
    case HDM_HITTEST: {
      auto* info = reinterpret_cast<HDHITTESTINFO*>(lp);
      if (!info) return -1;
      info->iItem = HitTest(w, info->pt, &info->flags);
      return info->iItem;
    }
    case HDM_GETITEMRECT: {
      HeaderState& s = States().Of(w);
      auto* out = reinterpret_cast<RECT*>(lp);
      int i = static_cast<int>(wp);
      if (!out || !Valid(s, i)) return FALSE;
      *out = ItemRect(w, s, i);
      return TRUE;
    }
    case HDM_SETIMAGELIST: {
      HeaderState& s = States().Of(w);
      HIMAGELIST old = s.images;
      s.images = reinterpret_cast<HIMAGELIST>(lp);
      InvalidateRect(w, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case HDM_GETIMAGELIST: return reinterpret_cast<LRESULT>(States().Of(w).images);
    case HDM_ORDERTOINDEX: return static_cast<LRESULT>(wp);
    default: return DefWindowProc(w, msg, wp, lp);
  }
}

const bool kRegistered = AddSystemClassRegistration(&RegisterHeaderClass);

}  // namespace

void RegisterHeaderClass() {
  RegisterControlClass(WC_HEADER, &HeaderProc, CS_GLOBALCLASS | CS_DBLCLKS);
}
