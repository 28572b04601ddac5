#pragma once
// The framework's extra controls that draw themselves: TCustomPanel/TPanel (a bevelled box
// with a caption that holds other controls), TBevel (a sunken or raised box or line),
// TShape (a rectangle, rounded rectangle or ellipse with a pen and a brush), TImage (a picture,
// stretched, centred or in proportion, with a canvas that makes a bitmap on first use) and
// TPaintBox (a canvas and an OnPaint).

#include "platform/vcl/Alignment.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Picture.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelStyle { bsLowered, bsRaised };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
using TBevelWidth = int;
using TBorderWidth = int;
// A control's border: none or single (the form's values, as the framework shares them).
using TBorderStyle = TFormBorderStyle;
QUILLO_DECLARE_ENUM_TYPE(TBevelCut)
QUILLO_DECLARE_ENUM_TYPE(TBevelStyle)
QUILLO_DECLARE_ENUM_TYPE(TBevelShape)
QUILLO_DECLARE_ENUM_TYPE(TShapeType)

// Draws width nested frames, light colour top and left, dark colour bottom and right, and
// leaves rect inside them.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

class TCustomPanel : public TCustomControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomPanel(TComponent* owner);
  ~TCustomPanel() override;

  TBevelCut GetBevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut GetBevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  TBevelWidth GetBevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(TBevelWidth value);
  TBorderWidth GetBorderWidth() const { return borderWidth_; }
  void SetBorderWidth(TBorderWidth value);
  TBorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  // A resize repaints the whole panel (else only what the size change uncovered).
  bool GetFullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool value) { fullRepaint_ = value; }

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;
  void Resize() override;

private:
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  TBevelWidth bevelWidth_ = 1;
  TBorderWidth borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  TAlignment alignment_ = taCenter;
  bool fullRepaint_ = true;
};

class TPanel : public TCustomPanel {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

class TBevel : public TGraphicControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TBevel(TComponent* owner);
  TBevelShape GetShape() const { return shape_; }
  void SetShape(TBevelShape value);
  TBevelStyle GetStyle() const { return style_; }
  void SetStyle(TBevelStyle value);

protected:
  void Paint() override;

private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

class TShape : public TGraphicControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TShape(TComponent* owner);
  ~TShape() override;
  TShapeType GetShape() const { return shape_; }
  void SetShape(TShapeType value);
  TPen* GetPen() const { return pen_.get(); }
  void SetPen(TPen* pen) { pen_->Assign(pen); }
  TBrush* GetBrush() const { return brush_.get(); }
  void SetBrush(TBrush* brush) { brush_->Assign(brush); }

protected:
  void Paint() override;

private:
  TShapeType shape_ = stRectangle;
  TOwnedPtr<TPen> pen_;
  TOwnedPtr<TBrush> brush_;
};

class TImage : public TGraphicControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* GetPicture() const { return picture_.get(); }
  void SetPicture(TPicture* picture) { picture_->Assign(picture); }
  // The picture's bitmap's canvas; an empty picture gets a bitmap of the control's size
  // first. EInvalidOperation when the picture holds another kind of graphic.
  TCanvas* GetCanvas();
  bool GetStretch() const { return stretch_; }
  void SetStretch(bool value);
  bool GetCenter() const { return center_; }
  void SetCenter(bool value);
  bool GetProportional() const { return proportional_; }
  void SetProportional(bool value);
  bool GetTransparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // Where the picture is drawn in the control.
  TRect DestRect() const;

protected:
  void Paint() override;
  virtual void PictureChanged();

private:
  TOwnedPtr<TPicture> picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool proportional_ = false;
  bool transparent_ = false;
  bool autoSize_ = false;
  bool drawing_ = false;
};

class TPaintBox : public TGraphicControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TPaintBox(TComponent* owner);
  using TGraphicControl::GetCanvas;
  TNotifyEvent OnPaint;

protected:
  void Paint() override;
};

namespace VclText {
inline constexpr const char* ImageCanvasNeedsBitmap = "Can only modify an image if it contains a bitmap";
}  // namespace VclText
