#pragma once
// TExSpinEdit: a one-line numeric edit with a small up/down button at its side. It holds one
// number as an extended value, shows it as a whole number, a fixed-point number or
// hexadecimal digits, keeps it inside optional bounds (equal bounds mean none), and steps it
// by Increment from its button, the Up and Down keys, or a held button half. Typed
// characters are limited to what the notation can hold; text that does not parse reads as
// the last good value.

#include "platform/rtl/FloatFormat.h"
#include "platform/vcl/Edit.h"
#include "quillo/components/edits/SpinButton.h"

enum TValueType { vtInt, vtFloat, vtHex };
enum TSpinButtonKind { bkStandard, bkDiagonal };
QUILLO_DECLARE_ENUM_TYPE(TValueType)
QUILLO_DECLARE_ENUM_TYPE(TSpinButtonKind)

class TExSpinEdit : public TCustomEdit {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExSpinEdit(TComponent* owner);
  ~TExSpinEdit() override;
  void BeforeDestruction() override;

  Extended GetValue();
  void SetValue(Extended value);
  // The value cut to a whole number, and a whole number as the value.
  std::int64_t GetAsInteger() { return static_cast<std::int64_t>(GetValue()); }
  void SetAsInteger(std::int64_t value) { SetValue(static_cast<Extended>(value)); }

  Extended GetMinValue() const { return minValue_; }
  void SetMinValue(Extended value) { minValue_ = value; }
  Extended GetMaxValue() const { return maxValue_; }
  void SetMaxValue(Extended value) { maxValue_ = value; }
  Extended GetIncrement() const { return increment_; }
  void SetIncrement(Extended value) { increment_ = value; }
  std::uint8_t GetDecimal() const { return decimal_; }
  void SetDecimal(std::uint8_t value);
  TValueType GetValueType() const { return valueType_; }
  void SetValueType(TValueType value);
  TSpinButtonKind GetButtonKind() const { return buttonKind_; }
  void SetButtonKind(TSpinButtonKind value);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool GetArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool value);
  bool GetEditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool value) { editorEnabled_ = value; }

  // The clamping rule: equal bounds mean no bounds.
  Extended CheckValue(Extended value) const;

  // The button in use now: exactly one of these is non-null.
  TExSpinButton* DiagonalButton() const { return diagonal_; }
  TExUpDown* StandardButton() const { return standard_; }
  int ButtonWidth() const;

  TNotifyEvent OnTopClick;
  TNotifyEvent OnBottomClick;

  void WndProc(TMessage& message) override;

  virtual bool IsValidChar(char key);
  virtual void UpClick(TObject* sender);
  virtual void DownClick(TObject* sender);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Change() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void WMCut(TMessage& message) override;
  void WMPaste(TMessage& message) override;

private:
  void Step(Extended delta, const TNotifyEvent& after);
  void RecreateButton();
  void ResizeButton();
  void SetEditRect();
  int MinHeight();
  void UpDownClick(TObject* sender, TUDBtnType button);
  // Parses the text by the value type; false when it does not parse.
  bool ParseText(Extended& value);
  void CMExit(TMessage& message);
  void CMEnter(TMessage& message);
  void WMSize(TMessage& message);

  TAlignment alignment_ = taLeftJustify;
  Extended minValue_ = 0;
  Extended maxValue_ = 0;
  Extended lastValue_ = 0;
  Extended increment_ = 1;
  std::uint8_t decimal_ = 2;
  bool suppressChange_ = false;
  bool editorEnabled_ = true;
  TValueType valueType_ = vtInt;
  TExSpinButton* diagonal_ = nullptr;  // lives in host_
  TWinControl* host_ = nullptr;
  bool arrowKeys_ = true;
  TSpinButtonKind buttonKind_ = bkDiagonal;
  TExUpDown* standard_ = nullptr;
};
