#pragma once
// Text on a form: TCustomLabel and TLabel (windowless, painted in the parent: alignment,
// vertical layout, word wrap, auto size, transparency, and a FocusControl its "&" mnemonic
// focuses) and TStaticText (the same over a STATIC window, with a border style).

#include "platform/vcl/GraphicControl.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };
QUILLO_DECLARE_ENUM_TYPE(TTextLayout)
QUILLO_DECLARE_ENUM_TYPE(TStaticBorderStyle)

class TCustomLabel : public TGraphicControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomLabel(TComponent* owner);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TTextLayout GetLayout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool GetWordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool GetTransparent() const { return !controlStyle_.Contains(csOpaque); }
  void SetTransparent(bool value);
  TWinControl* GetFocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control);
  bool GetShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  void Dispatch(TMessage& message) override;

protected:
  // The text the label shows (its caption); a derived label may show another.
  virtual AnsiString GetLabelText() const { return GetCaption(); }
  // Draws (or with DT_CALCRECT measures into rect) the text on the canvas in the label's font.
  virtual void DoDrawText(TRect& rect, UINT flags);
  // With AutoSize, fits the bounds to the text (a right-aligned label keeps its right edge).
  virtual void AdjustBounds();
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  void CMTextChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMDialogChar(TMessage& m);

private:
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  TWinControl* focusControl_ = nullptr;
  bool showAccelChar_ = true;
};

class TLabel : public TCustomLabel {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TLabel(TComponent* owner);
};

class TCustomStaticText : public TWinControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomStaticText(TComponent* owner);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TStaticBorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TStaticBorderStyle value);
  TWinControl* GetFocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control);
  bool GetShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void AdjustBounds();

private:
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  TStaticBorderStyle borderStyle_ = sbsNone;
  TWinControl* focusControl_ = nullptr;
  bool showAccelChar_ = true;
};

class TStaticText : public TCustomStaticText {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TStaticText(TComponent* owner);
};
