// The non-client area in the classic style: frame sizes, hit testing and painting of the
// borders, the caption and its buttons.

#include <algorithm>

#include "platform/user/ScrollBars.h"
#include "platform/user/MenuObject.h"
#include "platform/user/SystemIcons.h"
#include "platform/user/Window.h"

namespace {

bool HasCaption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

int FrameWidth(DWORD style, DWORD exStyle) {
  if (style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
  if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
  if (style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
  return 0;
}

int CaptionHeight(DWORD style, DWORD exStyle) {
  if (!HasCaption(style)) return 0;
  return (exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
}

int EdgeWidth(DWORD exStyle) {
  if (exStyle & WS_EX_CLIENTEDGE) return GetSystemMetrics(SM_CXEDGE);
  if (exStyle & WS_EX_STATICEDGE) return GetSystemMetrics(SM_CXBORDER);
  return 0;
}

RECT Local(HWND window) {
  WindowObject* w = LiveWindow(window);
  return RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
}

// The caption bar, window-relative.
RECT CaptionRect(HWND window) {
  WindowObject* w = LiveWindow(window);
  int f = FrameWidth(w->style, w->exStyle);
  RECT r = Local(window);
  return RECT{f, f, r.right - f, f + CaptionHeight(w->style, w->exStyle) - 1};
}

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace

RECT NonClientInsets(DWORD style, DWORD exStyle, bool menu) {
  if (style & WS_MINIMIZE) return RECT{};
  int f = FrameWidth(style, exStyle), e = EdgeWidth(exStyle);
  int top = f + CaptionHeight(style, exStyle) + e + (menu && !(style & WS_CHILD) ? GetSystemMetrics(SM_CYMENU) : 0);
  RECT r{f + e, top, f + e, f + e};
  if (style & WS_VSCROLL) r.right += GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) r.bottom += GetSystemMetrics(SM_CYHSCROLL);
  return r;
}

RECT ClientFromWindowRect(HWND window, const RECT& rect) {
  WindowObject* w = LiveWindow(window);
  if (w->style & WS_MINIMIZE) return RECT{rect.left, rect.top, rect.left, rect.top};
  RECT ins = NonClientInsets(w->style, w->exStyle, false);
  // The bar takes as many rows as its items need at this width.
  ins.top += MenuBarHeight(window, rect.right - rect.left);
  RECT c{rect.left + ins.left, rect.top + ins.top, rect.right - ins.right, rect.bottom - ins.bottom};
  c.right = std::max(c.left, c.right);
  c.bottom = std::max(c.top, c.bottom);
  return c;
}

RECT CaptionButtonRect(HWND window, int hit) {
  WindowObject* w = LiveWindow(window);
  if (!w || !HasCaption(w->style) || !(w->style & WS_SYSMENU)) return RECT{};
  RECT cap = CaptionRect(window);
  bool tool = w->exStyle & WS_EX_TOOLWINDOW;
  int bw = (tool ? GetSystemMetrics(SM_CXSMSIZE) : GetSystemMetrics(SM_CXSIZE)) - 2;
  int bh = CaptionHeight(w->style, w->exStyle) - 5;
  int top = cap.top + 2;
  RECT close{cap.right - 2 - bw, top, cap.right - 2, top + bh};
  if (hit == HTCLOSE) return close;
  if (tool || !(w->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) return RECT{};
  RECT max{close.left - 2 - bw, top, close.left - 2, top + bh};
  if (hit == HTMAXBUTTON) return max;
  if (hit == HTMINBUTTON) return RECT{max.left - bw, top, max.left, top + bh};
  return RECT{};
}

LRESULT NcHitTest(HWND window, POINT screen) {
  WindowObject* w = LiveWindow(window);
  RECT wr = ScreenRect(window);
  if (!Inside(wr, screen)) return HTNOWHERE;
  if (Inside(ScreenClientRect(window), screen)) return HTCLIENT;
  POINT p{screen.x - wr.left, screen.y - wr.top};
  RECT local = Local(window);
  int f = FrameWidth(w->style, w->exStyle);
  if ((w->style & WS_THICKFRAME) && !(w->style & (WS_MAXIMIZE | WS_MINIMIZE))) {
    // Corners reach a caption's height along each edge.
    int corner = GetSystemMetrics(SM_CYCAPTION) + f;
    bool left = p.x < f, right = p.x >= local.right - f, top = p.y < f, bottom = p.y >= local.bottom - f;
    bool nearLeft = p.x < corner, nearRight = p.x >= local.right - corner;
    bool nearTop = p.y < corner, nearBottom = p.y >= local.bottom - corner;
    if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
    if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
    if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
    if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
  } else if (p.x < f || p.y < f || p.x >= local.right - f || p.y >= local.bottom - f) {
    return HTBORDER;
  }
  RECT cap = CaptionRect(window);
  if (HasCaption(w->style) && p.y >= f && p.y < f + CaptionHeight(w->style, w->exStyle)) {
    for (int hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON})
      if (Inside(CaptionButtonRect(window, hit), p)) return hit;
    if ((w->style & WS_SYSMENU) && !(w->exStyle & WS_EX_TOOLWINDOW) && p.x < cap.left + GetSystemMetrics(SM_CYCAPTION))
      return HTSYSMENU;
    return HTCAPTION;
  }
  RECT client = ScreenClientRect(window);
  if (int bar = scrollbars::HitTest(window, screen)) return bar;
  if (w->menu && screen.y < client.top) return HTMENU;
  return HTBORDER;
}

namespace {

void Fill(HDC dc, RECT r, int colorIndex) { FillRect(dc, &r, GetSysColorBrush(colorIndex)); }

void PaintFrame(HDC dc, HWND window, bool active) {
  WindowObject* w = LiveWindow(window);
  RECT r = Local(window);
  if (w->style & WS_THICKFRAME) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    int rest = GetSystemMetrics(SM_CXFRAME) - 2;
    for (int i = 0; i < rest; ++i) {
      HBRUSH b = GetSysColorBrush(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
      FrameRect(dc, &r, b);
      InflateRect(&r, -1, -1);
    }
  } else if ((w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  } else if (w->style & WS_BORDER) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
  }
}

// A small generic application icon at the caption's left.
void PaintSystemIcon(HDC dc, const RECT& box) {
  DrawWindowGlyph(dc, RECT{box.left + 1, box.top + 2, box.left + 15, box.top + 14});
}

void PaintCaption(HDC dc, HWND window, bool active) {
  WindowObject* w = LiveWindow(window);
  RECT cap = CaptionRect(window);
  Fill(dc, cap, active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  // The line under the caption.
  Fill(dc, RECT{cap.left, cap.bottom, cap.right, cap.bottom + 1}, COLOR_BTNFACE);
  int textLeft = cap.left + 2;
  if ((w->style & WS_SYSMENU) && !(w->exStyle & WS_EX_TOOLWINDOW)) {
    // The window's own icon, as WM_GETICON answers it, else the system's.
    HICON icon = reinterpret_cast<HICON>(SendMessage(window, WM_GETICON, ICON_SMALL2, 0));
    int size = GetSystemMetrics(SM_CXSMICON);
    if (icon && LiveWindow(window))
      DrawIconEx(dc, cap.left + 1, cap.top + (cap.bottom - cap.top - size) / 2, icon, size, size, 0, nullptr, DI_NORMAL);
    else
      PaintSystemIcon(dc, RECT{cap.left + 1, cap.top, cap.left + 17, cap.bottom});
    textLeft = cap.left + 20;
  }
  int textRight = cap.right - 2;
  for (int hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON}) {
    RECT b = CaptionButtonRect(window, hit);
    if (IsRectEmpty(&b)) continue;
    textRight = std::min<int>(textRight, b.left - 2);
    UINT kind = hit == HTCLOSE ? DFCS_CAPTIONCLOSE
                : hit == HTMINBUTTON ? ((w->style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN)
                : ((w->style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX);
    UINT state = 0;
    if (hit == HTMAXBUTTON && !(w->style & WS_MAXIMIZEBOX)) state |= DFCS_INACTIVE;
    if (hit == HTMINBUTTON && !(w->style & WS_MINIMIZEBOX)) state |= DFCS_INACTIVE;
    if (hit == HTCLOSE && (w->cls->style & CS_NOCLOSE)) state |= DFCS_INACTIVE;
    if (w->pressedButton == hit) state |= DFCS_PUSHED;
    DrawFrameControl(dc, &b, DFC_CAPTION, kind | state);
  }
  LOGFONT lf = CaptionLogFont();
  HFONT font = CreateFontIndirect(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  RECT text{textLeft, cap.top, textRight, cap.bottom};
  DrawText(dc, w->text.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
}

}  // namespace

void PaintNonClientOn(HWND window, HDC dc) {
  WindowObject* w = LiveWindow(window);
  if (!w) return;
  RECT wr = ScreenRect(window), c = ScreenClientRect(window);
  bool active = w->ncActive;
  PaintFrame(dc, window, active);
  if (HasCaption(w->style)) PaintCaption(dc, window, active);
  if (w->exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) {
    int e = EdgeWidth(w->exStyle);
    RECT edge{c.left - wr.left - e, c.top - wr.top - e, c.right - wr.left + e, c.bottom - wr.top + e};
    if (w->style & WS_VSCROLL) edge.right += GetSystemMetrics(SM_CXVSCROLL);
    if (w->style & WS_HSCROLL) edge.bottom += GetSystemMetrics(SM_CYHSCROLL);
    DrawEdge(dc, &edge, (w->exStyle & WS_EX_CLIENTEDGE) ? EDGE_SUNKEN : BDR_SUNKENOUTER, BF_RECT);
  }
  scrollbars::PaintWindowBars(window, dc);
  PaintWindowMenuBar(window, dc);
}

void PaintNonClient(HWND window) {
  if (!LiveWindow(window) || !IsVisibleOnScreen(window)) return;
  HDC dc = GetWindowDC(window);
  RECT wr = ScreenRect(window), c = ScreenClientRect(window);
  ExcludeClipRect(dc, c.left - wr.left, c.top - wr.top, c.right - wr.left, c.bottom - wr.top);
  PaintNonClientOn(window, dc);
  ReleaseDC(window, dc);
}
