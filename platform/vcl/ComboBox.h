#pragma once
// TCustomComboBox and TComboBox: the framework's combo box over the COMBOBOX window class.
// Items is a string list bound to the window (as the list box's is); ItemIndex, Text and
// DroppedDown read and set the window; the window's notifications become OnChange,
// OnSelect, OnDropDown and OnCloseUp; owner-drawn styles draw through DrawItem.

#include "platform/vcl/ListBox.h"

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
QUILLO_DECLARE_ENUM_TYPE(TComboBoxStyle)

class TCustomComboBox : public TWinControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;

  TStrings* GetItems() const { return items_.get(); }
  void SetItems(TStrings* items);
  void Clear();

  int GetItemIndex() const;
  void SetItemIndex(int index);
  TComboBoxStyle GetStyle() const { return style_; }
  void SetStyle(TComboBoxStyle style);
  int GetDropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int count);
  bool GetSorted() const { return sorted_; }
  void SetSorted(bool value);
  bool GetDroppedDown() const;
  void SetDroppedDown(bool value);
  int GetMaxLength() const { return maxLength_; }
  void SetMaxLength(int length);
  int GetItemHeight() const;
  void SetItemHeight(int height);
  TCanvas* GetCanvas() const { return canvas_.get(); }
  // The edit inside (none for a drop-down list) and the list.
  HWND EditHandle() const;
  HWND ListHandle() const;

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void CreateWindowHandle(const TCreateParams& params) override;
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);

  void CNCommand(TMessage& m);
  void CNDrawItem(TMessage& m);
  void CNMeasureItem(TMessage& m);

private:
  TOwnedPtr<TListControlStrings> items_;
  TOwnedPtr<TControlCanvas> canvas_;
  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
  int maxLength_ = 0;
  int itemHeight_ = 16;
  bool sorted_ = false;
  int savedItemIndex_ = -1;
};

class TComboBox : public TCustomComboBox {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
  ~TComboBox() override;
};
