#pragma once
// Group boxes: TCustomGroupBox and TGroupBox (a captioned etched frame that holds controls;
// its "&" mnemonic focuses the first of them) and TRadioGroup (a group box of radio buttons
// made from Items, laid out in Columns, whose checked one is ItemIndex).

#include <vector>

#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Strings.h"

class TRadioButton;

class TCustomGroupBox : public TCustomControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomGroupBox(TComponent* owner);
  void Dispatch(TMessage& message) override;

protected:
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;
  void CreateParams(TCreateParams& params) override;
  void CMDialogChar(TMessage& m);
};

class TGroupBox : public TCustomGroupBox {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TGroupBox(TComponent* owner);
};

class TCustomRadioGroup : public TCustomGroupBox {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomRadioGroup(TComponent* owner);
  ~TCustomRadioGroup() override;
  TStrings* GetItems() const { return items_.get(); }
  void SetItems(TStrings* items);
  int GetItemIndex() const { return itemIndex_; }
  // -1 checks none; another value out of range is refused.
  void SetItemIndex(int index);
  int GetColumns() const { return columns_; }
  void SetColumns(int columns);
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TRadioButton* Buttons(int index) const;
  void SetBounds(int left, int top, int width, int height) override;
  void Dispatch(TMessage& message) override;

protected:
  // Whether the group may change its checked button now; a derived group may refuse.
  virtual bool CanModify() const { return true; }
  void Loaded() override;

private:
  void ItemsChanged();
  void UpdateButtons();
  void ArrangeButtons();
  void ButtonClicked(TObject* sender);

  TOwnedPtr<TStringList> items_;
  std::vector<TRadioButton*> buttons_;  // owned by the group as components
  int itemIndex_ = -1;
  int columns_ = 1;
  bool updating_ = false;
};

class TRadioGroup : public TCustomRadioGroup {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TRadioGroup(TComponent* owner);
};
