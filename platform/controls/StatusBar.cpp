// The status bar: parts and their texts, the simple part, placement at the parent's edge,
// the size grip, and painting in the classic look, one handler per message.

#include "platform/controls/StatusBar.h"
#include "platform/controls/ControlPaint.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/rtl/Everlasting.h"
#include "platform/user/SystemClasses.h"

namespace {

constexpr int kMaxParts = 256;
// SB_GETBORDERS: no border at the ends, 2 pixels above and below the parts, 2 between them.
constexpr int kHorzBorder = 0, kVertBorder = 2, kPartGap = 2;

struct Part {
  int right = -1;  // -1: to the bar's right end
  std::string text;
  LPARAM data = 0;  // owner-drawn parts: the parent's value
  WPARAM type = 0;  // SBT_ flags
  HICON icon = nullptr;
};

struct StatusState {
  std::vector<Part> parts = std::vector<Part>(1);
  Part simple;
  bool simpleMode = false;
  int minHeight = 0;
  HFONT font = nullptr;
  bool placing = false;
};

PerWindow<StatusState>& States() {
  static Everlasting<PerWindow<StatusState>> states;
  return *states;
}

DWORD StyleOf(HWND w) { return static_cast<DWORD>(GetWindowLongPtr(w, GWL_STYLE)); }

int GripSize() { return GetSystemMetrics(SM_CXVSCROLL); }

// The bar's height for its font and minimum: the text, a pixel of room above and below it,
// the parts' edges and the borders.
int BarHeight(const StatusState& s) {
  int inner = std::max(s.minHeight, FontLineHeight(s.font) + 1);
  return inner + 2 + 2 * kVertBorder;
}

bool HasGrip(HWND w) { return (StyleOf(w) & SBARS_SIZEGRIP) != 0; }

RECT GripRect(HWND w) {
  RECT c;
  GetClientRect(w, &c);
  int size = std::min<int>(GripSize(), c.bottom);
  return RECT{c.right - GripSize(), c.bottom - size, c.right, c.bottom};
}

// Where the parts end on the right: -1 parts run to the end (before the grip).
int RightEnd(HWND w) {
  RECT c;
  GetClientRect(w, &c);
  return c.right - kHorzBorder - (HasGrip(w) ? GripSize() : 0);
}

RECT PartRect(HWND w, const StatusState& s, int index) {
  RECT c;
  GetClientRect(w, &c);
  int end = RightEnd(w);
  RECT r{kHorzBorder, kVertBorder, end, c.bottom - kVertBorder};
  if (s.simpleMode || index < 0) return r;
  for (int i = 0; i <= index; ++i) {
    int right = s.parts[i].right < 0 ? end : std::min(s.parts[i].right, end);
    if (i == index) r.right = right;
    if (i < index) r.left = right + kPartGap;
  }
  if (s.parts[index].right >= 0) r.right = s.parts[index].right;  // a part may lie under the grip
  return r;
}

Part* PartAt(StatusState& s, WPARAM index) {
  int i = static_cast<int>(index & 0xFF);
  if (i == static_cast<int>(SB_SIMPLEID)) return &s.simple;
  return i < static_cast<int>(s.parts.size()) ? &s.parts[i] : nullptr;
}

// Moves the bar to its parent's bottom (or top) edge, as wide as the parent's client area.
void Place(HWND w) {
  StatusState& s = States().Of(w);
  DWORD style = StyleOf(w);
  HWND parent = GetParent(w);
  if (!parent || (style & CCS_NORESIZE) || s.placing) return;
  RECT pc, wr;
  GetClientRect(parent, &pc);
  GetWindowRect(w, &wr);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&wr), 2);
  int height = BarHeight(s);
  int x = 0, y, width = pc.right;
  if (style & CCS_NOPARENTALIGN) {
    x = wr.left;
    y = wr.top;
    width = wr.right - wr.left;
  } else {
    y = (style & CCS_BOTTOM) == CCS_TOP ? 0 : pc.bottom - height;
  }
  s.placing = true;
  SetWindowPos(w, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (IsWindow(w)) States().Of(w).placing = false;
}

// The grip sizes the top-level window when it is sizeable and not maximised.
bool GripWorks(HWND w) {
  if (!HasGrip(w)) return false;
  HWND root = GetAncestor(w, GA_ROOT);
  if (!root || root == w) return false;
  LONG_PTR style = GetWindowLongPtr(root, GWL_STYLE);
  return (style & WS_THICKFRAME) && !(style & WS_MAXIMIZE);
}

void DrawPartText(HDC dc, const std::string& text, RECT r, bool parseTabs) {
  std::string pieces[3];
  if (parseTabs) {
    int at = 0;
    for (char c : text) {
      if (c == '\t' && at < 2)
        ++at;
      else
        pieces[at] += c;
    }
  } else {
    pieces[0] = text;
  }
  static const UINT kAlign[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  for (int i = 0; i < 3; ++i)
    if (!pieces[i].empty())
      DrawText(dc, pieces[i].c_str(), -1, &r, kAlign[i] | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void PaintPart(HWND w, HDC dc, int index, const Part& part, RECT r) {
  if (r.right <= r.left) return;
  if (part.type & SBT_POPOUT)
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  else if (!(part.type & SBT_NOBORDERS))
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  RECT inner = r;
  InflateRect(&inner, -1, -1);
  if (part.type & SBT_OWNERDRAW) {
    DRAWITEMSTRUCT d;
    d.CtlID = static_cast<UINT>(GetDlgCtrlID(w));
    d.itemID = static_cast<UINT>(index);
    d.itemAction = ODA_DRAWENTIRE;
    d.hwndItem = w;
    d.hDC = dc;
    d.rcItem = inner;
    d.itemData = static_cast<ULONG_PTR>(part.data);
    int saved = SaveDC(dc);
    SendMessage(GetParent(w), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
    RestoreDC(dc, saved);
    return;
  }
  int saved = SaveDC(dc);
  IntersectClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  RECT text = inner;
  text.left += 2;
  text.right -= 2;
  if (part.icon) {
    int size = std::min<int>(16, inner.bottom - inner.top);
    DrawIconEx(dc, text.left, inner.top + (inner.bottom - inner.top - size) / 2, part.icon, size, size, 0, nullptr,
               DI_NORMAL);
    text.left += size + 2;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawPartText(dc, part.text, text, !(part.type & SBT_NOTABPARSING));
  RestoreDC(dc, saved);
}

void Paint(HWND w, HDC dc) {
  StatusState& s = States().Of(w);
  RECT c;
  GetClientRect(w, &c);
  FillRect(dc, &c, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ oldFont = SelectObject(dc, ControlFont(s.font));
  if (s.simpleMode) {
    PaintPart(w, dc, static_cast<int>(SB_SIMPLEID), s.simple, PartRect(w, s, -1));
  } else {
    for (int i = 0; i < static_cast<int>(s.parts.size()); ++i) PaintPart(w, dc, i, s.parts[i], PartRect(w, s, i));
  }
  if (HasGrip(w)) {
    RECT g = GripRect(w);
    DrawFrameControl(dc, &g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
  SelectObject(dc, oldFont);
}

void InvalidatePart(HWND w, StatusState& s, WPARAM index) {
  int i = static_cast<int>(index & 0xFF);
  if (i == static_cast<int>(SB_SIMPLEID) || s.simpleMode) {
    InvalidateRect(w, nullptr, TRUE);
    return;
  }
  RECT r = PartRect(w, s, i);
  InvalidateRect(w, &r, TRUE);
}

LRESULT TextAnswer(const Part& part) {
  if (part.type & SBT_OWNERDRAW) return part.data;
  return MAKELONG(static_cast<int>(part.text.size()), static_cast<int>(part.type & 0xFF00));
}

LRESULT SetParts(HWND w, WPARAM count, const int* rights) {
  StatusState& s = States().Of(w);
  if (count < 1 || count > kMaxParts || !rights) return FALSE;
  s.parts.resize(count);
  for (WPARAM i = 0; i < count; ++i) s.parts[i].right = rights[i];
  InvalidateRect(w, nullptr, TRUE);
  return TRUE;
}

void SendMouseNotify(HWND w, UINT code, LPARAM lp) {
  StatusState& s = States().Of(w);
  NMMOUSE m;
  m.pt = POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  m.dwItemSpec = static_cast<DWORD_PTR>(static_cast<LONG_PTR>(-1));
  if (s.simpleMode) {
    m.dwItemSpec = SB_SIMPLEID;
  } else {
    for (int i = 0; i < static_cast<int>(s.parts.size()); ++i) {
      RECT r = PartRect(w, s, i);
      if (m.pt.x >= r.left && m.pt.x < r.right) {
        m.dwItemSpec = static_cast<DWORD_PTR>(i);
        break;
      }
    }
  }
  SendNotify(w, code, &m.hdr);
}

LRESULT StatusBarProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCDESTROY:
      States().Forget(w);
      return DefWindowProc(w, msg, wp, lp);
    case WM_CREATE:
      if (auto* cs = reinterpret_cast<const CREATESTRUCT*>(lp); cs && cs->lpszName)
        States().Of(w).parts[0].text = cs->lpszName;
      Place(w);
      return 0;
    case WM_SIZE:
      // The parent passes its own WM_SIZE on: the bar finds its place again.
      Place(w);
      InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintControl(w, wp, [w](HDC dc, const RECT&) { Paint(w, dc); });
    case WM_SETFONT:
      States().Of(w).font = reinterpret_cast<HFONT>(wp);
      if (LOWORD(lp)) InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(States().Of(w).font);
    case WM_SETTEXT: {
      StatusState& s = States().Of(w);
      s.parts[0].text = lp ? reinterpret_cast<LPCSTR>(lp) : "";
      InvalidatePart(w, s, 0);
      return TRUE;
    }
    case WM_GETTEXT: {
      const std::string& text = States().Of(w).parts[0].text;
      auto* out = reinterpret_cast<LPSTR>(lp);
      if (!out || wp == 0) return 0;
      size_t n = std::min(text.size(), static_cast<size_t>(wp - 1));
      text.copy(out, n);
      out[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(States().Of(w).parts[0].text.size());
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ScreenToClient(w, &p);
      RECT g = GripRect(w);
      if (GripWorks(w) && PtInRect(&g, p)) return HTBOTTOMRIGHT;
      return HTCLIENT;
    }
    case WM_NCLBUTTONDOWN:
      if (wp == HTBOTTOMRIGHT && GripWorks(w))
        return SendMessage(GetAncestor(w, GA_ROOT), WM_NCLBUTTONDOWN, wp, lp);
      return DefWindowProc(w, msg, wp, lp);
    case WM_LBUTTONUP: SendMouseNotify(w, NM_CLICK, lp); return 0;
    case WM_LBUTTONDBLCLK: SendMouseNotify(w, NM_DBLCLK, lp); return 0;
    case WM_RBUTTONUP: SendMouseNotify(w, NM_RCLICK, lp); return 0;
    case WM_RBUTTONDBLCLK: SendMouseNotify(w, NM_RDBLCLK, lp); return 0;

    case SB_SETTEXT: {
      StatusState& s = States().Of(w);
      Part* part = PartAt(s, wp);
      if (!part) return FALSE;
      part->type = wp & 0xFF00;
      if (part->type & SBT_OWNERDRAW) {
        part->data = lp;
        part->text.clear();
      } else {
        part->data = 0;
        part->text = lp ? reinterpret_cast<LPCSTR>(lp) : "";
      }
      InvalidatePart(w, s, wp);
      return TRUE;
    }
    case SB_GETTEXT: {
      StatusState& s = States().Of(w);
      Part* part = PartAt(s, wp);
      if (!part) return 0;
      if (auto* out = reinterpret_cast<LPSTR>(lp); out && !(part->type & SBT_OWNERDRAW)) {
        part->text.copy(out, part->text.size());
        out[part->text.size()] = '\0';
      }
      return TextAnswer(*part);
    }
    case SB_GETTEXTLENGTH: {
      Part* part = PartAt(States().Of(w), wp);
      if (!part) return 0;
      return MAKELONG(static_cast<int>(part->text.size()), static_cast<int>(part->type & 0xFF00));
    }
    case SB_SETPARTS: return SetParts(w, wp, reinterpret_cast<const int*>(lp));
    case SB_GETPARTS: {
      StatusState& s = States().Of(w);
      if (auto* out = reinterpret_cast<int*>(lp))
        for (size_t i = 0; i < std::min(static_cast<size_t>(wp), s.parts.size()); ++i) out[i] = s.parts[i].right;
      return static_cast<LRESULT>(s.parts.size());
    }
    case SB_GETBORDERS: {
      auto* out = reinterpret_cast<int*>(lp);
      if (!out) return FALSE;
      out[0] = kHorzBorder;
      out[1] = kVertBorder;
      out[2] = kPartGap;
      return TRUE;
    }
    case SB_SETMINHEIGHT:
      States().Of(w).minHeight = static_cast<int>(wp);
      return 0;
    case SB_SIMPLE: {
      StatusState& s = States().Of(w);
      bool simple = wp != 0;
      if (s.simpleMode == simple) return 0;
      s.simpleMode = simple;
      InvalidateRect(w, nullptr, TRUE);
      SendNotify(w, SBN_SIMPLEMODECHANGE);
      return 0;
    }
    case SB_ISSIMPLE: return States().Of(w).simpleMode;
    case SB_GETRECT: {
      StatusState& s = States().Of(w);
      auto* out = reinterpret_cast<RECT*>(lp);
      int i = static_cast<int>(wp);
      if (!out) return FALSE;
      if (s.simpleMode) {
        *out = PartRect(w, s, -1);
        return TRUE;
      }
      if (i < 0 || i >= static_cast<int>(s.parts.size())) return FALSE;
      *out = PartRect(w, s, i);
      return TRUE;
    }
    case SB_SETICON: {
      StatusState& s = States().Of(w);
      Part* part = static_cast<int>(wp) == -1 ? &s.simple : PartAt(s, wp);
      if (!part) return FALSE;
      part->icon = reinterpret_cast<HICON>(lp);
      InvalidateRect(w, nullptr, TRUE);
      return TRUE;
    }
    case SB_GETICON: {
      StatusState& s = States().Of(w);
      Part* part = static_cast<int>(wp) == -1 ? &s.simple : PartAt(s, wp);
      return part ? reinterpret_cast<LRESULT>(part->icon) : 0;
    }
    default: return DefWindowProc(w, msg, wp, lp);
  }
}

const bool kRegistered = AddSystemClassRegistration(&RegisterStatusBarClass);

}  // namespace

void RegisterStatusBarClass() {
  RegisterControlClass(STATUSCLASSNAME, &StatusBarProc, CS_GLOBALCLASS | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}
