#pragma once
// The edit controls of the framework over the EDIT window class: TCustomEdit (the base of
// every edit, the spin and combo edits of the components included) and TEdit, which
// publishes its properties. The control keeps its properties while its window is made
// again, and fires OnChange when the text changes.

#include "platform/controls/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/WinControl.h"

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
QUILLO_DECLARE_ENUM_TYPE(TEditCharCase)
// An edit's border: none or single (the values of the form border style they share).
using TBorderStyle = TFormBorderStyle;

class TCustomEdit : public TWinControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomEdit(TComponent* owner);

  bool GetAutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TBorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TEditCharCase GetCharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  bool GetCtl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);
  bool GetHideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  int GetMaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool GetOEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool value);
  char GetPasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char value);
  bool GetReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  AnsiString GetEditText() const { return GetText(); }
  void SetEditText(const AnsiString& text) { SetText(text); }

  // The selection, in bytes of the text as the window counts them.
  int GetSelStart();
  void SetSelStart(int value);
  int GetSelLength();
  void SetSelLength(int value);
  AnsiString GetSelText();
  void SetSelText(const AnsiString& text);
  bool GetModified();
  void SetModified(bool value);
  bool CanUndo();

  void Clear();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();
  void ClearUndo();
  virtual void SelectAll();

  TNotifyEvent OnChange;

  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // The text changed (the user's typing or the program's): fires OnChange.
  virtual void Change();
  // The edit's clipboard commands pass through these, so an edit that forbids some (a spin
  // edit whose editor is off, a combo edit without direct input) overrides them.
  virtual void WMCut(TMessage& message) { DefaultHandler(message); }
  virtual void WMPaste(TMessage& message) { DefaultHandler(message); }
  // Sets the height from the font when AutoSize is on.
  void AdjustHeight();
  bool Creating() const { return creating_; }

private:
  void CNCommand(TMessage& message);
  void CNCtlColor(TMessage& message);
  void CMEnter(TMessage& message);

  bool autoSelect_ = true;
  bool autoSize_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  TEditCharCase charCase_ = ecNormal;
  bool ctl3D_ = true;
  bool hideSelection_ = true;
  int maxLength_ = 0;
  bool oemConvert_ = false;
  char passwordChar_ = 0;
  bool readOnly_ = false;
  bool modified_ = false;  // kept while the window is made again
  bool creating_ = false;
};

class TEdit : public TCustomEdit {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TEdit(TComponent* owner);
};
