#include "platform/vcl/HintWindow.h"

#include "platform/vcl/Screen.h"

QUILLO_DEFINE_CLASS(THintWindow, TCustomControl)

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  SetColor(clInfoBk);
  GetFont()->Assign(Screen()->HintFont());
  GetCanvas()->GetFont()->Assign(GetFont());
  visible_ = false;
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.WindowClass.style |= CS_SAVEBITS;
  p.WndParent = nullptr;
}

TRect THintWindow::CalcHintRect(int maxWidth, const AnsiString& hint) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
  RECT r{0, 0, maxWidth, 0};
  DrawText(dc, hint.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // Margins for the border and a little space around the text.
  return TRect(0, 0, r.right + 6 + 2, r.bottom + 2 + 2);
}

void THintWindow::ActivateHint(const TRect& rect, const AnsiString& hint) {
  SetCaption(hint);
  SetBoundsRect(rect);
  HWND h = GetHandle();
  SetWindowPos(h, HWND_TOPMOST, rect.left, rect.top, rect.Width(), rect.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
  InvalidateRect(h, nullptr, TRUE);
}

void THintWindow::ReleaseHandle() {
  if (HandleAllocated()) DestroyHandle();
}

void THintWindow::Paint() {
  TCanvas* canvas = GetCanvas();
  RECT r = GetClientRect();
  r.left += 2;
  r.top += 2;
  canvas->GetFont()->Assign(GetFont());
  canvas->GetFont()->SetColor(clInfoText);
  canvas->GetBrush()->SetStyle(bsClear);
  HDC dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(clInfoText));
  HGDIOBJ old = SelectObject(dc, canvas->GetFont()->GetHandle());
  DrawText(dc, GetCaption().c_str(), -1, &r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
}
