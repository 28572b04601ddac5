#pragma once
// The two buttons a spin edit wears at its side. TExSpinButton is a square split along its
// diagonal (bottom-left to top-right) into an upper and a lower half: a press steps at once,
// a held half repeats (first after 400 ms, then every 100 ms), and dragging off the pressed
// half releases it. TExUpDown is the standard up-down control resting at position 0: it only
// tells which way it was clicked.

#include <memory>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/UpDown.h"

enum TSpinButtonState { sbNotDown, sbTopDown, sbBottomDown };
QUILLO_DECLARE_ENUM_TYPE(TSpinButtonState)

class TExSpinButton : public TGraphicControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExSpinButton(TComponent* owner);
  ~TExSpinButton() override;

  TBitmap* GetUpGlyph() const { return upGlyph_.get(); }
  // A copy of bitmap; null brings the built-in arrow back.
  void SetUpGlyph(TBitmap* bitmap);
  TBitmap* GetDownGlyph() const { return downGlyph_.get(); }
  void SetDownGlyph(TBitmap* bitmap);
  TWinControl* GetFocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control);
  TSpinButtonState GetState() const { return state_; }

  // Whether a point lies in the upper half: on or above the bottom-left to top-right diagonal.
  static bool InTopHalf(int x, int y, int width, int height);

  TNotifyEvent OnTopClick;
  TNotifyEvent OnBottomClick;

  void Dispatch(TMessage& message) override;

protected:
  virtual void TopClick();
  virtual void BottomClick();
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void TimerExpired(TObject* sender);
  void SetState(TSpinButtonState state);
  bool LeftHeldOnControl() const;
  void DrawFaces();
  void DrawFace(TBitmap* face, TSpinButtonState state);
  void GlyphChanged();

  TSpinButtonState state_ = sbNotDown;
  TSpinButtonState lastPress_ = sbNotDown;
  bool dragging_ = false;
  bool repaintNeeded_ = true;
  TOwnedPtr<TBitmap> upGlyph_;
  TOwnedPtr<TBitmap> downGlyph_;
  TOwnedPtr<TBitmap> faces_[3];
  TTimer* repeatTimer_ = nullptr;  // owned as a component
  TWinControl* focusControl_ = nullptr;
};

// The built-in arrows: 6 x 6, black on white (white is transparent).
TOwnedPtr<TBitmap> MakeSpinUpGlyph();
TOwnedPtr<TBitmap> MakeSpinDownGlyph();

class TExUpDown : public TCustomUpDown {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExUpDown(TComponent* owner);
  ~TExUpDown() override;
  void SetBounds(int left, int top, int width, int height) override;

protected:
  void CNScroll(TMessage& message) override;

private:
  bool changing_ = false;
};

// The width of the spin edit's button: the scroll bar's, at most 15 pixels.
int DefaultSpinButtonWidth();
