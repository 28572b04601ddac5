#pragma once
// TScreen: what the program sees of the screen and its forms: the forms in the order they were
// last active, the active form and control, the cursor the whole program shows and the table
// of cursors by TCursor index, the font names, the size and the work area.

#include <map>
#include <vector>

#include "platform/vcl/Form.h"
#include "platform/vcl/Strings.h"

class TScreen;
// The screen object; made on first use, lives as long as the program.
TScreen* Screen();

class TScreen : public TComponent {
  QUILLO_DECLARE_CLASS()

public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const;  // the most recently active first
  TCustomForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const { return activeControl_; }

  // The program-wide cursor; crDefault lets each control show its own.
  TCursor GetCursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  HCURSOR Cursors(TCursor index) const;
  void SetCursors(TCursor index, HCURSOR cursor);

  TStrings* Fonts();
  int GetWidth() const;
  int GetHeight() const;
  int PixelsPerInch() const { return 96; }
  TRect GetWorkAreaRect() const;
  int WorkAreaLeft() const { return GetWorkAreaRect().left; }
  int WorkAreaTop() const { return GetWorkAreaRect().top; }
  int WorkAreaWidth() const { return GetWorkAreaRect().Width(); }
  int WorkAreaHeight() const { return GetWorkAreaRect().Height(); }
  TFont* HintFont() const { return hintFont_.get(); }

  TNotifyEvent OnActiveFormChange;
  TNotifyEvent OnActiveControlChange;

  // Framework internals.
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  void FocusChanged(TCustomForm* form, TWinControl* control);
  TCustomForm* FocusedForm() const { return focusedForm_; }
  void SetFocusedForm(TCustomForm* form) { focusedForm_ = form; }

private:
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeForm_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TCustomForm* focusedForm_ = nullptr;
  TCursor cursor_ = crDefault;
  std::map<TCursor, HCURSOR> cursors_;
  TOwnedPtr<TStringList> fonts_;
  TOwnedPtr<TFont> hintFont_;
};
