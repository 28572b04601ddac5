#include "platform/vcl/GraphicControl.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/rtl/Everlasting.h"
#include "platform/rtl/SysUtils.h"

QUILLO_DEFINE_CLASS(TControlCanvas, TCanvas)

namespace {

// The canvases that hold a context of their own.
struct OwnContexts {
  std::mutex lock;
  std::vector<TControlCanvas*> canvases;
};
OwnContexts& Held() {
  static Everlasting<OwnContexts> held;
  return *held;
}

}  // namespace

void FreeDeviceContexts(HWND window) {
  std::vector<TControlCanvas*> canvases;
  {
    std::lock_guard<std::mutex> guard(Held().lock);
    canvases = Held().canvases;
  }
  for (TControlCanvas* canvas : canvases) {
    {
      std::lock_guard<std::mutex> guard(Held().lock);
      // Freed by an earlier one's release meanwhile.
      if (std::find(Held().canvases.begin(), Held().canvases.end(), canvas) == Held().canvases.end()) continue;
    }
    if (!canvas->TryLock()) continue;
    canvas->FreeHandle(window);
    canvas->Unlock();
  }
}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control) {
  if (control == control_) return;
  FreeHandle();
  control_ = control;
}

void TControlCanvas::CreateHandle() {
  if (!control_) return;
  if (!ownDC_) {
    ownDC_ = GetControlDeviceContext(control_, ownWindow_);
    if (!ownDC_) return;
    std::lock_guard<std::mutex> guard(Held().lock);
    Held().canvases.push_back(this);
  }
  SetHandle(ownDC_);
}

void TControlCanvas::FreeHandle() { FreeHandle(nullptr); }

void TControlCanvas::FreeHandle(HWND window) {
  if (!ownDC_ || (window && window != ownWindow_)) return;
  // A paint message's context, handed in meanwhile, stays with the paint.
  if (CurrentHandle() == ownDC_) SetHandle(nullptr);
  ReleaseDC(ownWindow_, ownDC_);
  ownDC_ = nullptr;
  ownWindow_ = nullptr;
  std::lock_guard<std::mutex> guard(Held().lock);
  auto& list = Held().canvases;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
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

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
  const bool moved = left != GetLeft() || top != GetTop() || width != GetWidth() || height != GetHeight();
  TControl::SetBounds(left, top, width, height);
  if (moved) canvas_->FreeHandle();
}

void TGraphicControl::SetParent(TWinControl* parent) {
  if (parent != GetParent()) canvas_->FreeHandle();
  TControl::SetParent(parent);
}

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
