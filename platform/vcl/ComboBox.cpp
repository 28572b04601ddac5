#include "platform/vcl/ComboBox.h"

#include <algorithm>

#include "platform/controls/ComboBox.h"
#include "platform/rtl/SysUtils.h"

QUILLO_DEFINE_ENUM_TYPE(TComboBoxStyle, "csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                        "csOwnerDrawVariable")

QUILLO_DEFINE_CLASS(TCustomComboBox, TWinControl)

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner),
      items_(MakeObject<TListControlStrings>(this, TListControlStrings::ComboBoxMessages)),
      canvas_(MakeObject<TControlCanvas>()) {
  canvas_->SetControl(this);
  // Clicks come from the window's notifications; its list takes the mouse while it is open.
  controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(GetLeft(), GetTop(), 145, 21);
  SetTabStop(true);
  color_ = clWindow;
  parentColor_ = false;
  GetBrush()->SetColor(color_);
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::SetItems(TStrings* items) { items_->Assign(items); }

void TCustomComboBox::Clear() {
  items_->Clear();
  SetText("");
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, kComboBoxClass);
  static const DWORD kinds[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
  p.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL | kinds[style_];
  if (sorted_) p.Style |= CBS_SORT;
}

void TCustomComboBox::CreateWindowHandle(const TCreateParams& p) {
  // An ID lets the parent find this control for WM_MEASUREITEM.
  CreateWindowEx(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                 p.WndParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlId())), nullptr, p.Param);
}

void TCustomComboBox::CreateWnd() {
  AnsiString text = text_;
  TWinControl::CreateWnd();
  HWND h = GetHandle();
  SendMessage(h, CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_), 0);
  if (maxLength_ > 0) SendMessage(h, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (style_ == csOwnerDrawFixed) SendMessage(h, CB_SETITEMHEIGHT, 0, MAKELPARAM(itemHeight_, 0));
  items_->Sorted = sorted_;
  items_->RestoreToWindow();
  if (savedItemIndex_ >= 0) SendMessage(h, CB_SETCURSEL, static_cast<WPARAM>(savedItemIndex_), 0);
  else if (!text.empty()) SetWindowText(h, text.c_str());
  savedItemIndex_ = -1;
}

void TCustomComboBox::DestroyWnd() {
  if (HandleAllocated() && !ComponentState().Contains(csDestroying)) {
    savedItemIndex_ = GetItemIndex();
    items_->SaveFromWindow();
  }
  TWinControl::DestroyWnd();
}

int TCustomComboBox::GetItemIndex() const {
  if (!HandleAllocated()) return savedItemIndex_;
  return static_cast<int>(SendMessage(const_cast<TCustomComboBox*>(this)->GetHandle(), CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int index) {
  if (!HandleAllocated() && !GetParent() && !GetParentWindow()) {
    savedItemIndex_ = index;
    return;
  }
  if (GetItemIndex() != index) SendMessage(GetHandle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
  if (style_ == style) return;
  style_ = style;
  RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(int count) {
  dropDownCount_ = std::max(1, count);
  if (HandleAllocated()) SendMessage(GetHandle(), CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_), 0);
}

void TCustomComboBox::SetSorted(bool value) {
  if (sorted_ == value) return;
  sorted_ = value;
  items_->Sorted = value;
  RecreateWnd();
}

bool TCustomComboBox::GetDroppedDown() const {
  if (!HandleAllocated()) return false;
  return SendMessage(const_cast<TCustomComboBox*>(this)->GetHandle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool value) {
  if (GetDroppedDown() != value) SendMessage(GetHandle(), CB_SHOWDROPDOWN, value ? TRUE : FALSE, 0);
}

void TCustomComboBox::SetMaxLength(int length) {
  maxLength_ = std::max(0, length);
  if (HandleAllocated()) SendMessage(GetHandle(), CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

int TCustomComboBox::GetItemHeight() const {
  if (HandleAllocated() && style_ != csOwnerDrawFixed && style_ != csOwnerDrawVariable)
    return static_cast<int>(SendMessage(const_cast<TCustomComboBox*>(this)->GetHandle(), CB_GETITEMHEIGHT, 0, 0));
  return itemHeight_;
}

void TCustomComboBox::SetItemHeight(int height) {
  if (height <= 0 || height == itemHeight_) return;
  itemHeight_ = height;
  if (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable) RecreateWnd();
}

HWND TCustomComboBox::EditHandle() const {
  if (!HandleAllocated()) return nullptr;
  COMBOBOXINFO info;
  HWND h = const_cast<TCustomComboBox*>(this)->GetHandle();
  SendMessage(h, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return info.hwndItem == h ? nullptr : info.hwndItem;
}

HWND TCustomComboBox::ListHandle() const {
  if (!HandleAllocated()) return nullptr;
  COMBOBOXINFO info;
  SendMessage(const_cast<TCustomComboBox*>(this)->GetHandle(), CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return info.hwndList;
}

void TCustomComboBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: CNCommand(m); return;
    case CN_DRAWITEM: CNDrawItem(m); return;
    case CN_MEASUREITEM: CNMeasureItem(m); return;
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: {
      // The window paints in the control's colour and font colour.
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
      SetBkColor(dc, ColorToRGB(GetBrush()->GetColor()));
      m.Result = reinterpret_cast<LRESULT>(GetBrush()->GetHandle());
      return;
    }
  }
  TWinControl::Dispatch(m);
}

void TCustomComboBox::CNCommand(TMessage& m) {
  switch (HIWORD(m.WParam)) {
    case CBN_DBLCLK: DblClick(); break;
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_SELCHANGE:
      Click();
      Select();
      break;
    case CBN_CLOSEUP: CloseUp(); break;
  }
}

void TCustomComboBox::Change() {
  Changed();
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
  else Change();
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::CNDrawItem(TMessage& m) {
  DrawOwnerItem(canvas_.get(), this, *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam),
                [this](int index, const TRect& rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
  m.Result = TRUE;
}

void TCustomComboBox::CNMeasureItem(TMessage& m) {
  MeasureOwnerItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam), itemHeight_, style_ == csOwnerDrawVariable,
                   [this](int index, int& height) { MeasureItem(index, height); });
  m.Result = TRUE;
}

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  DrawItemText(canvas_.get(), rect, items_.get(), index);
}

void TCustomComboBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

// ---------------------------------------------------------------------------------------

QUILLO_DEFINE_PUBLISHED_CLASS(TComboBox, TCustomComboBox)

TComboBox::~TComboBox() = default;

const TPropTable* TComboBox::PublishedProperties() {
  static const TPropTable table = TPublisher<TComboBox>()
                                      .Property("DropDownCount", &TComboBox::GetDropDownCount, &TComboBox::SetDropDownCount)
                                      .Property("ItemHeight", &TComboBox::GetItemHeight, &TComboBox::SetItemHeight)
                                      .Property("Items", &TComboBox::GetItems, &TComboBox::SetItems)
                                      .Property("MaxLength", &TComboBox::GetMaxLength, &TComboBox::SetMaxLength)
                                      .Property("Sorted", &TComboBox::GetSorted, &TComboBox::SetSorted)
                                      .Property("Style", &TComboBox::GetStyle, &TComboBox::SetStyle)
                                      .Property("Text", &TComboBox::GetText, &TComboBox::SetText)
                                      .Table();
  return &table;
}
