// The tool window's non-client area: the docked border and drag handle, the floating frame
// and caption, hit testing and the close button.

#include <algorithm>
#include <cstdio>

#include "quillo/components/toolbars/ToolWindow.h"

namespace tbx {

namespace {

TRect WindowRectAtOrigin(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return TRect(0, 0, r.right - r.left, r.bottom - r.top);
}

// The client area's rectangle in window coordinates.
TRect ClientInWindow(HWND window) {
  RECT wr, cr;
  GetWindowRect(window, &wr);
  ::GetClientRect(window, &cr);
  POINT o{0, 0};
  ::ClientToScreen(window, &o);
  return Bounds(o.x - wr.left, o.y - wr.top, cr.right, cr.bottom);
}

void FillSolid(HDC dc, const TRect& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  RECT rr = r;
  FillRect(dc, &rr, brush);
  DeleteObject(brush);
}

}  // namespace

void TCustomToolWindowX::WMNCCalcSize(TMessage& m) {
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
  RECT& r = params->rgrc[0];
  TRect nc;
  if (Floating())
    nc = FloatingNonClient();
  else if (dockedTo_)
    nc = DockedNonClient(dockedTo_);
  r.left += nc.left;
  r.top += nc.top;
  r.right -= nc.right;
  r.bottom -= nc.bottom;
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  m.Result = 0;
}

TRect TCustomToolWindowX::CloseButtonRect() const {
  if (!HandleAllocated()) return TRect();
  HWND window = const_cast<TCustomToolWindowX*>(this)->GetHandle();
  if (Floating()) {
    if (!closeButton_ || !showCaption_) return TRect();
    TRect client = ClientInWindow(window);
    int side = FloatingCaptionHeight() - 1;
    int right = FloatingBorderX() + client.Width();
    return TRect(right - side, FloatingBorderY(), right, FloatingBorderY() + side);
  }
  if (!dockedTo_ || !closeButtonWhenDocked_ || !dockedTo_->GetAllowDrag()) return TRect();
  const int size = 14 - 3;
  if (dockedTo_->Vertical()) {
    TRect client = ClientInWindow(window);
    int x = client.Width() + 2 - size + 2;
    return Bounds(x, 3, size, size);
  }
  return Bounds(3, 2, size, size);
}

void TCustomToolWindowX::DrawDockedNonClient(HDC dc, const TRect& w) {
  TRect client = ClientInWindow(GetHandle());
  int saved = SaveDC(dc);
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  if (dockedTo_->UsingBackground() && dockedTo_->GetBackgroundOnToolbars()) {
    TBitmap* bg = dockedTo_->GetBackground();
    int x = dockedTo_->GetLeft() + left_, y = dockedTo_->GetTop() + top_;
    dockedTo_->DrawBackground(dc, w, nullptr, TRect(-(x % bg->GetWidth()), -(y % bg->GetHeight()), w.right, w.bottom));
  } else {
    FillSolid(dc, w, ColorToRGB(GetColor()));
  }
  if (borderStyle_ == bsSingle) {
    RECT edge = w;
    DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
  }
  if (dockedTo_->GetAllowDrag()) {
    // The handle's raised bars run along the window beside the close button, if any: below
    // it on a horizontal dock, left of it on a vertical one.
    const bool vertical = dockedTo_->Vertical();
    TRect close = CloseButtonRect();
    if (!RectEmpty(close)) {
      RECT cr = close;
      DrawFrameControl(dc, &cr, DFC_CAPTION, DFCS_CAPTIONCLOSE | (closePressed_ ? DFCS_PUSHED : 0));
    }
    const int bars = dragHandleStyle_ == dhDouble ? 2 : dragHandleStyle_ == dhSingle ? 1 : 0;
    for (int i = 0; i < bars; ++i) {
      RECT bar;
      if (vertical) {
        int y = 3 + i * 3;
        bar = TRect(3, y, RectEmpty(close) ? w.right - 3 : close.left - 2, y + 3);
      } else {
        int x = 3 + i * 3;
        bar = TRect(x, RectEmpty(close) ? 3 : close.bottom + 2, x + 3, w.bottom - 3);
      }
      if (bar.right > bar.left && bar.bottom > bar.top) DrawEdge(dc, &bar, BDR_RAISEDINNER, BF_RECT);
    }
  }
  RestoreDC(dc, saved);
}

void TCustomToolWindowX::DrawFloatingNonClient(HDC dc, const TRect& w) {
  TRect client = ClientInWindow(GetHandle());
  int saved = SaveDC(dc);
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  FillSolid(dc, w, GetSysColor(COLOR_BTNFACE));
  RECT edge = w;
  DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
  if (showCaption_) {
    const int bx = FloatingBorderX(), by = FloatingBorderY();
    TRect caption = Bounds(bx, by, client.Width(), FloatingCaptionHeight() - 1);
    const bool active = !inactiveCaption_;
    FillSolid(dc, caption, GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    TRect close = CloseButtonRect();
    TRect textRect = caption;
    if (!RectEmpty(close)) textRect.right = close.left;
    textRect.left += 1;
    textRect.right -= 1;
    LOGFONT lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "MS Sans Serif");
    HFONT font = CreateFontIndirect(&lf);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    AnsiString text = GetCaption();
    SIZE extent{};
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (extent.cx > textRect.Width()) {
      // Too wide: characters give way to "..." while the text is long enough to shorten.
      AnsiString shortened = text + "...";
      for (;;) {
        GetTextExtentPoint32(dc, shortened.c_str(), static_cast<int>(shortened.size()), &extent);
        if (extent.cx <= textRect.Width() || shortened.size() < 5) break;
        shortened.erase(shortened.size() - 4, 1);
      }
      text = shortened;
    }
    RECT tr = textRect;
    DrawText(dc, text.c_str(), -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    if (!RectEmpty(close)) {
      RECT cr = close;
      DrawFrameControl(dc, &cr, DFC_CAPTION, DFCS_CAPTIONCLOSE | (closePressed_ ? DFCS_PUSHED : 0));
    }
  }
  RestoreDC(dc, saved);
}

void TCustomToolWindowX::DrawNonClient(HWND window, HDC dc) {
  TRect w = WindowRectAtOrigin(window);
  if (Floating())
    DrawFloatingNonClient(dc, w);
  else if (dockedTo_)
    DrawDockedNonClient(dc, w);
}

void TCustomToolWindowX::WMNCPaint(TMessage& m) {
  HWND window = GetHandle();
  HDC dc = GetWindowDC(window);
  SelectNCUpdateRgn(window, dc, reinterpret_cast<HRGN>(m.WParam));
  DrawNonClient(window, dc);
  ReleaseDC(window, dc);
  m.Result = 0;
}

void TCustomToolWindowX::WMNCHitTest(TMessage& m) {
  RECT wr;
  GetWindowRect(GetHandle(), &wr);
  TPoint p(m.LParamLo() - wr.left, m.LParamHi() - wr.top);
  TRect close = CloseButtonRect();
  if (!RectEmpty(close) && RectContains(close, p)) {
    m.Result = HTCLOSE;
    return;
  }
  if (!Floating()) {
    // The docked border and handle take presses as the client does: they start a drag.
    m.Result = HTCLIENT;
    return;
  }
  const TRect w(0, 0, wr.right - wr.left, wr.bottom - wr.top);
  if (!RectContains(w, p)) {
    m.Result = HTNOWHERE;
    return;
  }
  m.Result = HTCLIENT;
  if (!resizable_) return;
  const int bx = FloatingBorderX(), by = FloatingBorderY();
  const bool left = p.x < bx, right = p.x >= w.right - bx, top = p.y < by, bottom = p.y >= w.bottom - by;
  if (params_.ResizeEightCorner) {
    const int zone = GetSystemMetrics(SM_CXSMSIZE);
    const bool nearLeft = p.x < zone, nearRight = p.x >= w.right - zone;
    const bool nearTop = p.y < zone, nearBottom = p.y >= w.bottom - zone;
    if ((top && nearLeft) || (left && nearTop)) return void(m.Result = HTTOPLEFT);
    if ((top && nearRight) || (right && nearTop)) return void(m.Result = HTTOPRIGHT);
    if ((bottom && nearLeft) || (left && nearBottom)) return void(m.Result = HTBOTTOMLEFT);
    if ((bottom && nearRight) || (right && nearBottom)) return void(m.Result = HTBOTTOMRIGHT);
  }
  if (left) m.Result = HTLEFT;
  else if (right) m.Result = HTRIGHT;
  else if (top) m.Result = HTTOP;
  else if (bottom) m.Result = HTBOTTOM;
}

void TCustomToolWindowX::WMNCLButtonDown(TMessage& m) {
  static constexpr TToolWindowSizeHandle handles[] = {twshLeft,    twshRight,      twshTop,        twshTopLeft,
                                                     twshTopRight, twshBottom, twshBottomLeft, twshBottomRight};
  if (m.WParam >= HTLEFT && m.WParam <= HTBOTTOMRIGHT) {
    BeginSizing(handles[m.WParam - HTLEFT]);
    return;
  }
  if (m.WParam == HTCLOSE) {
    TrackCloseButton();
    return;
  }
  TCustomControl::Dispatch(m);
}

void TCustomToolWindowX::TrackCloseButton() {
  HWND window = GetHandle();
  TRect close = CloseButtonRect();
  auto over = [&] {
    POINT p;
    GetCursorPos(&p);
    RECT wr;
    GetWindowRect(window, &wr);
    return RectContains(close, TPoint(p.x - wr.left, p.y - wr.top));
  };
  closePressed_ = true;
  RedrawNonClient();
  SetCapture(window);
  bool accepted = false;
  MSG msg;
  while (GetCapture() == window) {
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_LBUTTONUP) {
      accepted = over();
      break;
    }
    if (msg.message >= WM_RBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK) continue;
    if (msg.message == WM_MOUSEMOVE) {
      bool pressed = over();
      if (pressed != closePressed_) {
        closePressed_ = pressed;
        RedrawNonClient();
      }
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  if (GetCapture() == window) ReleaseCapture();
  closePressed_ = false;
  RedrawNonClient();
  if (!accepted) return;
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) return;
  SetVisible(false);
  if (OnClose) OnClose(this);
}

}  // namespace tbx
