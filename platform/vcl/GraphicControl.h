#pragma once
// The painting controls. TControlCanvas draws on a control: on the context its paint
// message brings, or on one it asks the control's window for (clipped to a windowless
// control's rectangle). TGraphicControl has no window: it paints in its parent's WM_PAINT.
// TCustomControl has a window, a canvas and a Paint of its own.

#include "platform/vcl/Canvas.h"
#include "platform/vcl/WinControl.h"

// A canvas drawn on outside a paint message asks for a context of its own on demand, and
// gives it back when the message that needed it is done (FreeDeviceContexts), when the window
// it came from is destroyed, and when a windowless control moves or changes parent; the next
// drawing call asks afresh, so it never draws through a stale context.
class TControlCanvas : public TCanvas {
  QUILLO_DECLARE_CLASS()

public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* GetControl() const { return control_; }
  void SetControl(TControl* control);
  // Gives back a context the canvas asked for itself (with a window: only one from it).
  void FreeHandle();
  void FreeHandle(HWND window);
  // Whether the canvas holds a context it asked for itself.
  bool HoldsOwnContext() const { return ownDC_ != nullptr; }

protected:
  void CreateHandle() override;

private:
  TControl* control_ = nullptr;
  HDC ownDC_ = nullptr;
  HWND ownWindow_ = nullptr;
};

// Gives back the contexts that control canvases asked for themselves, except those of
// canvases locked now (being painted or drawn on by another thread); with a window, only
// the contexts that came from it.
void FreeDeviceContexts(HWND window = nullptr);

// A context for drawing on a control outside its paint message: its window's, moved to the
// control's place and clipped to it for a windowless control. Release with ReleaseDC(window).
HDC GetControlDeviceContext(TControl* control, HWND& window);

class TGraphicControl : public TControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* GetCanvas() const { return canvas_.get(); }
  void Dispatch(TMessage& message) override;
  // A context asked for at the old place or on the old parent's window would draw there.
  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(TWinControl* parent) override;

protected:
  virtual void Paint() {}

private:
  TOwnedPtr<TControlCanvas> canvas_;
};

class TCustomControl : public TWinControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* GetCanvas() const { return canvas_.get(); }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

private:
  TOwnedPtr<TControlCanvas> canvas_;
};
