#pragma once
// The combo edit: a one-line masked edit with a push button inside its right edge. The
// button raises OnButtonClick (TComboEdit) or drops a popup window below the edit (the date
// edit's calendar); the popup's value is copied into the text when it closes accepted
// (Enter, a click on a value, the button again) and dropped when it closes otherwise
// (Escape, a click outside, the focus leaving). ClickKey (Alt+Down) works as the button.

#include <variant>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/buttons/ExSpeedButton.h"
#include "quillo/components/edits/MaskEdit.h"

// The error of an invalid value written to a combo edit (a file name edit's invalid name).
class EComboEditError : public Exception {
public:
  explicit EComboEditError(AnsiString message);
  ~EComboEditError() override;
};

enum TPopupAlign { epaRight, epaLeft };
enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };
QUILLO_DECLARE_ENUM_TYPE(TPopupAlign)
QUILLO_DECLARE_ENUM_TYPE(TGlyphKind)

// A popup's value: nothing, a text or a date.
using TPopupValue = std::variant<std::monostate, AnsiString, TDateTime>;
AnsiString PopupValueToStr(const TPopupValue& value);
bool PopupValueIsNull(const TPopupValue& value);

using TCloseUpEvent = std::function<void(TObject* sender, bool accept)>;

class TCustomComboEdit;

// The base of a combo edit's drop-down: a bordered pop-up window that never takes the focus
// from its editor.
class TPopupWindow : public TCustomControl {
  QUILLO_DECLARE_CLASS()

public:
  TPopupWindow(TComponent* owner, TCustomComboEdit* editor);

  virtual TPopupValue GetValue() = 0;
  virtual void SetValue(const TPopupValue& value) = 0;
  virtual AnsiString GetPopupText() { return {}; }
  // Moves to origin (screen coordinates) and shows without activating; Hide hides.
  void Show(const TPoint& origin);
  void Hide();
  bool IsOpen() const { return open_; }
  TCustomComboEdit* Editor() const { return editor_; }
  // Repaints the editor's text area at once.
  void InvalidateEditor();

  TCloseUpEvent OnCloseUp;

  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  virtual void CloseUp(bool accept);
  // Releasing the left button inside the popup accepts; outside it drops the value.
  void PopupMouseUp(TMouseButton button, TShiftState shift, int x, int y);

private:
  TCustomComboEdit* editor_;
  bool open_ = false;
};

// The edit's button: joins the edit's border with two lines on its left, and a press that
// closes an open popup does not open it again with the click that follows.
class TEditButton : public TExSpeedButton {
  QUILLO_DECLARE_CLASS()

public:
  explicit TEditButton(TComponent* owner, TCustomComboEdit* editor);
  void Click() override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  TCustomComboEdit* editor_;
  bool noAction_ = false;
};

class TCustomComboEdit : public TCustomMaskEdit {
  QUILLO_DECLARE_CLASS()
  friend class TEditButton;
  friend class TPopupWindow;

public:
  explicit TCustomComboEdit(TComponent* owner);
  ~TCustomComboEdit() override;
  void BeforeDestruction() override;

  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  AnsiString GetButtonHint() const { return button_->GetHint(); }
  void SetButtonHint(const AnsiString& value) { button_->SetHint(value); }
  int GetButtonWidth() const { return button_->GetWidth(); }
  void SetButtonWidth(int value);
  TShortCut GetClickKey() const { return clickKey_; }
  void SetClickKey(TShortCut value) { clickKey_ = value; }
  bool GetDirectInput() const { return directInput_; }
  void SetDirectInput(bool value);
  TBitmap* GetGlyph() const { return button_->GetGlyph(); }
  void SetGlyph(TBitmap* value);
  TGlyphKind GetGlyphKind() const { return glyphKind_; }
  void SetGlyphKind(TGlyphKind value);
  int GetNumGlyphs() const { return button_->GetNumGlyphs(); }
  void SetNumGlyphs(int value);
  virtual bool GetReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  TPopupAlign GetPopupAlign() const { return popupAlign_; }
  void SetPopupAlign(TPopupAlign value) { popupAlign_ = value; }
  bool GetPopupVisible() const { return popup_ && popupVisible_; }
  TPopupWindow* Popup() const { return popup_; }
  TEditButton* Button() const { return button_; }
  TWinControl* ButtonHolder() const { return holder_; }

  void SelectAll() override;
  // Runs the button as a click would.
  void DoClick() { EditButtonClick(this); }
  // The height the font needs.
  int MinHeight();

  TNotifyEvent OnButtonClick;

  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Change() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void WMCut(TMessage& message) override;
  void WMPaste(TMessage& message) override;
  bool EditCanModify() override;

  virtual TOwnedPtr<TBitmap> GetDefaultBitmap();
  virtual void PopupDropDown(bool disableEdit);
  virtual void ShowPopup(const TPoint& origin);
  virtual void HidePopup();
  virtual bool AcceptPopup(TPopupValue& value);
  virtual void AcceptValue(const TPopupValue& value);
  virtual void SetPopupValue(const TPopupValue& value);
  virtual TPopupValue GetPopupValue();
  virtual void PopupChange() {}
  virtual void ButtonClick();
  void PopupCloseUp(TObject* sender, bool accept);
  void EditButtonClick(TObject* sender);
  void DoChange();
  void UpdatePopupVisible();
  void RecreateGlyph();
  void SetPopup(TPopupWindow* popup) { popup_ = popup; }
  void SetDefNumGlyphs(int value) { defNumGlyphs_ = value; }
  void SetAlwaysEnable(bool value) { alwaysEnable_ = value; }

private:
  void UpdateBtnBounds();
  void SetEditRect();
  void SetShowCaret();
  void ApplyReadOnly();
  void CMCancelMode(TMessage& message);

  TWinControl* holder_ = nullptr;
  TEditButton* button_ = nullptr;
  TShortCut clickKey_ = scAlt | VK_DOWN;
  bool readOnly_ = false;
  bool directInput_ = true;
  bool alwaysEnable_ = false;
  TAlignment alignment_ = taLeftJustify;
  bool popupVisible_ = false;
  bool focused_ = false;
  TPopupAlign popupAlign_ = epaRight;
  TGlyphKind glyphKind_ = gkCustom;
  TPopupWindow* popup_ = nullptr;  // owned as a component by the edit
  int defNumGlyphs_ = 1;
};

// A combo edit whose button raises OnButtonClick.
class TComboEdit : public TCustomComboEdit {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TComboEdit(TComponent* owner);
};

// Where the text starts inside an edit (its border and margin).
TPoint EditorTextMargins(TCustomEdit* editor);
// The ellipsis glyph for a button of the given width: three 2 x 2 dots.
TOwnedPtr<TBitmap> MakeEllipsisGlyph(int buttonWidth);
