#include "platform/vcl/GraphicControl.h"

#include "platform/rtl/SysUtils.h"

QUILLO_DEFINE_CLASS(TControlCanvas, TCanvas)

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control) {
  if (control == control_) return;
  FreeHandle();
  control_ = control;
}

void TControlCanvas::CreateHandle() {
  if (!control_) return;
  if (!ownDC_) ownDC_ = GetControlDeviceContext(control_, ownWindow_);
  SetHandle(ownDC_);
}

void TControlCanvas::FreeHandle() {
  if (!ownDC_) return;
  SetHandle(nullptr);
  ReleaseDC(ownWindow_, ownDC_);
  ownDC_ = nullptr;
  ownWindow_ = nullptr;
}

HDC GetControlDeviceContext(TControl* control, HWND& window) {
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    window = win->GetHandle();
    return GetDC(window);
  }
  if (!control->GetParent()) throw EInvalidOperation(Format(VclText::ParentRequired, control->GetName().c_str()));
  HDC dc = GetControlDeviceContext(control->GetParent(), window);
  SetViewportOrgEx(dc, control->GetLeft(), control->GetTop(), nullptr);
  IntersectClipRect(dc, 0, 0, control->GetWidth(), control->GetHeight());
  return dc;
}

QUILLO_DEFINE_CLASS(TGraphicControl, TControl)

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(MakeObject<TControlCanvas>()) {
  canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT && m.WParam) {
    // The parent's paint hands over its context, moved and clipped to this control.
    TCanvasPaintScope paint(canvas_.get(), reinterpret_cast<HDC>(m.WParam));
    Paint();
    return;
  }
  TControl::Dispatch(m);
}

QUILLO_DEFINE_CLASS(TCustomControl, TWinControl)

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(MakeObject<TControlCanvas>()) {
  canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
  TCanvasPaintScope paint(canvas_.get(), dc);
  Paint();
}
