#pragma once
// TCustomListBox and TListBox: the framework's list box over the LISTBOX window class. The
// items live in the window; Items is a string list bound to it (with each item's object in
// the window's item data), kept aside while the window is re-created. Owner-drawn styles
// draw through DrawItem (OnDrawItem) on the control's canvas and size rows through
// MeasureItem (OnMeasureItem). TListControlStrings is the bound string list, shared with the
// combo box.

#include <memory>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/DrawingPause.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Strings.h"
#include "platform/vcl/WinControl.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
QUILLO_DECLARE_ENUM_TYPE(TListBoxStyle)

// The state of an owner-drawn item, from the window's ODS_ bits (bit n is flag n).
enum TOwnerDrawStateFlag {
  odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
  odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = SetOf<TOwnerDrawStateFlag>;

// Paints one owner-drawn item of a list or combo box on the control's canvas: the canvas
// takes the control's font and brush (the highlight colours for a selected item), draw runs
// for an item (a fill for the empty field, index -1), and a focused item gets its focus
// rectangle.
void DrawOwnerItem(TCanvas* canvas, TWinControl* control, const DRAWITEMSTRUCT& item,
                   const std::function<void(int index, const TRect& rect, TOwnerDrawState state)>& draw);

// The height an owner-drawn item takes: the control's item height, or, in a variable list,
// what measure makes of it; never below one pixel.
void MeasureOwnerItem(MEASUREITEMSTRUCT& item, int itemHeight, bool variable,
                      const std::function<void(int index, int& height)>& measure);
// What an owner-drawn list or combo box draws for an item without a handler: the row
// filled, the item's line at its left.
void DrawItemText(TCanvas* canvas, const TRect& rect, TStrings* items, int index);

using TDrawItemEvent = std::function<void(TWinControl* control, int index, const TRect& rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TWinControl* control, int index, int& height)>;

// A string list whose lines are the items of a list window (a list box or a combo box),
// reached through the window's messages. Without a window (no parent yet) the lines wait in
// a list of their own and go into the window when it is made.
class TListControlStrings : public TStrings {
  QUILLO_DECLARE_CLASS()

public:
  struct Messages {
    UINT add, insert, remove, reset, count, getText, getTextLength, getData, setData, findExact;
  };
  static const Messages ListBoxMessages;
  static const Messages ComboBoxMessages;

  TListControlStrings(TWinControl* control, const Messages& messages);
  ~TListControlStrings() override;

  int Count() const override;
  AnsiString Get(int index) const override;
  void Put(int index, const AnsiString& text) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const AnsiString& text) override;
  int Add(const AnsiString& text) override;
  void Delete(int index) override;
  void Clear() override;
  int IndexOf(const AnsiString& text) const override;

  // The window is going: its lines move aside; the new window takes them back.
  void SaveFromWindow();
  void RestoreToWindow();
  bool Sorted = false;  // a pending list keeps the order the window would give

protected:
  void SetUpdateState(bool updating) override;

private:
  HWND Window() const;  // null while there is none and none can be made
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;
  void CheckIndex(int index) const;
  TWinControl* control_;
  Messages messages_;
  std::unique_ptr<TStringList> pending_;
  DrawingPause drawing_;
};

class TCustomListBox : public TWinControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TStrings* GetItems() const { return items_.get(); }
  void SetItems(TStrings* items);
  void Clear() { items_->Clear(); }

  int GetItemIndex() const;
  void SetItemIndex(int index);
  bool GetSelected(int index) const;
  void SetSelected(int index, bool selected);
  int GetSelCount() const;
  void SelectAll();
  int GetTopIndex() const;
  void SetTopIndex(int index);

  bool GetMultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  bool GetExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool value);
  bool GetSorted() const { return sorted_; }
  void SetSorted(bool value);
  TListBoxStyle GetStyle() const { return style_; }
  void SetStyle(TListBoxStyle style);
  int GetItemHeight() const;
  void SetItemHeight(int height);
  int GetColumns() const { return columns_; }
  void SetColumns(int columns);
  bool GetIntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool value);
  int GetTabWidth() const { return tabWidth_; }
  void SetTabWidth(int width);
  TFormBorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);

  // The item under a client point: -1 outside the client area; past the last item -1 when
  // existing is asked, else the item count.
  int ItemAtPos(const TPoint& pos, bool existing) const;
  // The item's rectangle; just past the last item, the last one's moved down a row.
  TRect ItemRect(int index) const;
  TCanvas* GetCanvas() const { return canvas_.get(); }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void CreateWindowHandle(const TCreateParams& params) override;
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);

  void CNCommand(TMessage& m);
  void CNDrawItem(TMessage& m);
  void CNMeasureItem(TMessage& m);

private:
  void SetColumnWidth();
  TOwnedPtr<TListControlStrings> items_;
  TOwnedPtr<TControlCanvas> canvas_;
  TListBoxStyle style_ = lbStandard;
  TFormBorderStyle borderStyle_ = bsSingle;
  int itemHeight_ = 16;
  int columns_ = 0;
  int tabWidth_ = 0;
  bool integralHeight_ = false;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  bool sorted_ = false;
  int savedTopIndex_ = 0;
  int savedItemIndex_ = -1;
};

class TListBox : public TCustomListBox {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
  ~TListBox() override;
};

// A control ID for a framework window, so that a parent can find the control a WM_MEASUREITEM
// is for (the message names the ID alone).
int NextControlId();

namespace VclText {
inline constexpr const char* InsertLineError = "Unable to insert a line";
}  // namespace VclText
