#pragma once
// The multi-line edit of the framework: TCustomMemo and TMemo, whose Lines are a string list
// bound to the control (reading and writing the window's lines while it exists, its text
// before), with scroll bars, word wrap, Enter and Tab as the memo's own keys, and alignment.

#include "platform/vcl/DrawingPause.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ScrollStyle.h"
#include "platform/vcl/Strings.h"


class TCustomMemo;

// The lines of a memo. With a window they are the window's lines as it shows them (a wrapped
// line counts as the lines it shows); an empty last line after the final line break is not one.
class TMemoStrings : public TStrings {
  QUILLO_DECLARE_CLASS()

public:
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}
  int Count() const override;
  AnsiString Get(int index) const override;
  void Put(int index, const AnsiString& text) override;
  void Insert(int index, const AnsiString& text) override;
  void Delete(int index) override;
  void Clear() override;
  void SetText(const AnsiString& text) override;

protected:
  void SetUpdateState(bool updating) override;

private:
  HWND Window() const;
  TCustomMemo* memo_;
  DrawingPause drawing_;
};

class TCustomMemo : public TCustomEdit {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  TStrings* GetLines() const { return lines_.get(); }
  void SetLines(TStrings* lines);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TScrollStyle GetScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  bool GetWantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool GetWantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  bool GetWordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);

  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void KeyPress(char& key) override;

private:
  TOwnedPtr<TMemoStrings> lines_;
  TAlignment alignment_ = taLeftJustify;
  TScrollStyle scrollBars_ = ssNone;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  bool wordWrap_ = true;
};

class TMemo : public TCustomMemo {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TMemo(TComponent* owner);
};
