#pragma once
// TCustomMaskEdit: an edit whose text follows an edit mask ("mask;save;blank"). The mask's
// placeholders take typed characters of their kind (0 a digit, 9 a digit or blank, # a digit
// or sign, L/l a letter, A/a a letter or digit, C/c any character), its literals stay in
// place and the caret steps over them; an empty place shows the blank character. Typing
// overwrites, Backspace and Delete blank places instead of removing them. Text written to
// the edit is laid into the mask place by place. Without a mask it is a plain edit.

#include <vector>

#include "platform/vcl/Edit.h"

class TCustomMaskEdit : public TCustomEdit {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomMaskEdit(TComponent* owner);

  AnsiString GetEditMask() const { return editMask_; }
  void SetEditMask(const AnsiString& mask);
  bool IsMasked() const { return !mask_.empty(); }
  // The blank character the mask names (a space when it names none).
  char MaskBlank() const { return blank_; }
  // Whether every required place holds a character.
  bool MaskComplete();
  // Lays text into the mask, place by place; text as it is without a mask.
  AnsiString FormatToMask(const AnsiString& text) const;

  void WndProc(TMessage& message) override;

protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void WMCut(TMessage& message) override;
  void WMPaste(TMessage& message) override;
  // Whether text written since the last call really changed the edit (an empty text written
  // to an empty mask does not); the answer clears it.
  bool TakeTextSetChanged();
  // Whether the edit may change now (not read-only); the combo edit adds its own rule.
  virtual bool EditCanModify();
  // The window takes typing and the edit's own rule allows it.
  bool CanType();

private:
  struct Place {
    char kind = 0;  // 0 for a literal
    char literal = 0;
  };
  bool IsPlaceholder(int pos) const;
  bool Accepts(int pos, char c) const;
  int NextPlaceholder(int pos) const;  // at or after pos; -1 when none
  int PrevPlaceholder(int pos) const;  // before pos; -1 when none
  void BlankRange(int from, int to);   // [from, to)
  void TypeChar(char c);
  void Select(int start, int end);

  AnsiString editMask_;
  std::vector<Place> mask_;
  char blank_ = ' ';
  bool textSetChanged_ = false;
};
