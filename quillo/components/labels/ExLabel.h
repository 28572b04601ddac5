#pragma once
// TExCustomLabel and TExLabel: windowless labels that draw their caption with an optional
// drop shadow (DrawShadowText), with margins, vertical layout, a focus rectangle while the
// control they label has the focus, mouse entry and exit events, and an accelerator that
// focuses their FocusControl.

#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Label.h"

enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
QUILLO_DECLARE_ENUM_TYPE(TShadowPosition)

// Draws text twice: in shadowColor offset by shadowSize toward shadowPos, then in the DC's
// text colour in place. Answers the height DrawText reports for the shadow pass, plus
// shadowSize when that height is positive; rect becomes the union of both rectangles (with
// DT_CALCRECT: the extent of text and shadow).
int DrawShadowText(HDC dc, const char* text, int length, RECT& rect, UINT format, int shadowSize, COLORREF shadowColor,
                   TShadowPosition shadowPos);
// The offset of the shadow for a size and a position.
TPoint ShadowOffset(int shadowSize, TShadowPosition shadowPos);

class TExCustomLabel : public TGraphicControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TExCustomLabel(TComponent* owner);

  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TTextLayout GetLayout() const { return layout_; }
  void SetLayout(TTextLayout value);
  TColor GetShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor value);
  int GetShadowSize() const { return shadowSize_; }
  void SetShadowSize(int value);
  TShadowPosition GetShadowPos() const { return shadowPos_; }
  void SetShadowPos(TShadowPosition value);
  bool GetWordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool GetShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  bool GetShowFocus() const { return showFocus_; }
  void SetShowFocus(bool value);
  bool GetTransparent() const { return !ControlStyle().Contains(csOpaque); }
  void SetTransparent(bool value);
  TWinControl* GetFocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* value);
  int GetLeftMargin() const { return leftMargin_; }
  void SetLeftMargin(int value);
  int GetRightMargin() const { return rightMargin_; }
  void SetRightMargin(int value);
  bool MouseInControl() const { return mouseInControl_; }

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  void Dispatch(TMessage& message) override;

protected:
  virtual TColor GetDefaultFontColor() const { return GetFont()->GetColor(); }
  virtual AnsiString GetLabelCaption() const { return const_cast<TExCustomLabel*>(this)->GetCaption(); }
  virtual void MouseEnter();
  virtual void MouseLeave();
  void DoDrawText(TRect& rect, UINT flags);
  void AdjustBounds();
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void UpdateTracking();
  TRect TextRect() const;
  UINT FormatFlags() const;

  TWinControl* focusControl_ = nullptr;
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  TTextLayout layout_ = tlTop;
  TColor shadowColor_ = clBtnHighlight;
  int shadowSize_ = 1;
  TShadowPosition shadowPos_ = spLeftTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  bool showFocus_ = false;
  bool focused_ = false;
  bool mouseInControl_ = false;
  bool dragging_ = false;
  int leftMargin_ = 0;
  int rightMargin_ = 0;
};

class TExLabel : public TExCustomLabel {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExLabel(TComponent* owner) : TExCustomLabel(owner) {}
};
