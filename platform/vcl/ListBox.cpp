#include "platform/vcl/ListBox.h"

#include <algorithm>

#include "platform/controls/ComboBox.h"
#include "platform/controls/ListBox.h"
#include "platform/rtl/SysUtils.h"

QUILLO_DEFINE_ENUM_TYPE(TListBoxStyle, "lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable")

int NextControlId() {
  // IDs the dialog manager and the combo box's parts do not use.
  static int next = 0x4000;
  if (++next > 0x7FFF) next = 0x4001;
  return next;
}

// ---------------------------------------------------------------------------------------
// The string list bound to a list window.

QUILLO_DEFINE_CLASS(TListControlStrings, TStrings)

const TListControlStrings::Messages TListControlStrings::ListBoxMessages = {
    LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCOUNT,
    LB_GETTEXT,   LB_GETTEXTLEN,   LB_GETITEMDATA,  LB_SETITEMDATA,  LB_FINDSTRINGEXACT};
const TListControlStrings::Messages TListControlStrings::ComboBoxMessages = {
    CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_GETCOUNT,
    CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_GETITEMDATA,  CB_SETITEMDATA,  CB_FINDSTRINGEXACT};

TListControlStrings::TListControlStrings(TWinControl* control, const Messages& messages)
    : control_(control), messages_(messages) {}

TListControlStrings::~TListControlStrings() = default;

HWND TListControlStrings::Window() const {
  if (control_->HandleAllocated()) return control_->GetHandle();
  if (control_->ComponentState().Contains(csDestroying)) return nullptr;
  if (!control_->GetParent() && !control_->GetParentWindow()) return nullptr;
  return control_->GetHandle();
}

LRESULT TListControlStrings::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendMessage(Window(), message, wParam, lParam);
}

void TListControlStrings::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError(Format(RtlText::ListIndexError, index));
}

int TListControlStrings::Count() const {
  if (!Window()) return pending_ ? pending_->Count() : 0;
  return static_cast<int>(Send(messages_.count, 0, 0));
}

AnsiString TListControlStrings::Get(int index) const {
  if (!Window()) {
    CheckIndex(index);
    return pending_->Get(index);
  }
  LRESULT length = Send(messages_.getTextLength, static_cast<WPARAM>(index), 0);
  if (length < 0) throw EStringListError(Format(RtlText::ListIndexError, index));
  std::string text(static_cast<size_t>(length) + sizeof(ULONG_PTR) + 1, '\0');
  Send(messages_.getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

void TListControlStrings::Put(int index, const AnsiString& text) {
  CheckIndex(index);
  TObject* object = GetObject(index);
  Delete(index);
  InsertObject(index, text, object);
}

TObject* TListControlStrings::GetObject(int index) const {
  if (!Window()) {
    CheckIndex(index);
    return pending_->GetObject(index);
  }
  LRESULT data = Send(messages_.getData, static_cast<WPARAM>(index), 0);
  if (data == -1 && (index < 0 || index >= Count())) throw EStringListError(Format(RtlText::ListIndexError, index));
  return reinterpret_cast<TObject*>(data);
}

void TListControlStrings::PutObject(int index, TObject* object) {
  if (!Window()) {
    CheckIndex(index);
    pending_->PutObject(index, object);
    return;
  }
  if (Send(messages_.setData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object)) == -1)
    throw EStringListError(Format(RtlText::ListIndexError, index));
}

int TListControlStrings::Add(const AnsiString& text) {
  if (!Window()) {
    if (!pending_) pending_ = std::make_unique<TStringList>();
    pending_->SetDuplicates(dupAccept);
    pending_->SetSorted(Sorted);
    return pending_->Add(text);
  }
  LRESULT index = Send(messages_.add, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index < 0) throw EOutOfResources(VclText::InsertLineError);
  return static_cast<int>(index);
}

void TListControlStrings::Insert(int index, const AnsiString& text) {
  if (!Window()) {
    if (!pending_) pending_ = std::make_unique<TStringList>();
    if (Sorted) {
      Add(text);
      return;
    }
    if (index < 0 || index > pending_->Count()) throw EStringListError(Format(RtlText::ListIndexError, index));
    pending_->Insert(index, text);
    return;
  }
  if (Send(messages_.insert, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())) < 0)
    throw EOutOfResources(VclText::InsertLineError);
}

void TListControlStrings::Delete(int index) {
  if (!Window()) {
    CheckIndex(index);
    pending_->Delete(index);
    return;
  }
  if (Send(messages_.remove, static_cast<WPARAM>(index), 0) < 0)
    throw EStringListError(Format(RtlText::ListIndexError, index));
}

void TListControlStrings::Clear() {
  if (!Window()) {
    pending_.reset();
    return;
  }
  Send(messages_.reset, 0, 0);
}

int TListControlStrings::IndexOf(const AnsiString& text) const {
  if (!Window()) return pending_ ? pending_->IndexOf(text) : -1;
  // The window's search is case-blind, as string lists compare by default.
  return static_cast<int>(Send(messages_.findExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
}

void TListControlStrings::SetUpdateState(bool updating) {
  if (!control_->HandleAllocated()) return;
  HWND window = control_->GetHandle();
  if (updating) {
    drawing_.Begin(window);
  } else {
    drawing_.End(window);
    control_->Refresh();
  }
}

void TListControlStrings::SaveFromWindow() {
  if (!control_->HandleAllocated()) return;
  HWND window = control_->GetHandle();
  int count = static_cast<int>(SendMessage(window, messages_.count, 0, 0));
  if (count <= 0) return;
  pending_ = std::make_unique<TStringList>();
  pending_->SetDuplicates(dupAccept);
  for (int i = 0; i < count; ++i) pending_->AddObject(Get(i), GetObject(i));
}

void TListControlStrings::RestoreToWindow() {
  if (!pending_ || !control_->HandleAllocated()) return;
  std::unique_ptr<TStringList> lines = std::move(pending_);
  HWND window = control_->GetHandle();
  DrawingPause drawing;
  drawing.Begin(window);
  for (int i = 0; i < lines->Count(); ++i) {
    LRESULT index = SendMessage(window, messages_.add, 0, reinterpret_cast<LPARAM>(lines->Get(i).c_str()));
    if (index >= 0) SendMessage(window, messages_.setData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(lines->GetObject(i)));
  }
  drawing.End(window);
}

// ---------------------------------------------------------------------------------------
// The list box.

QUILLO_DEFINE_CLASS(TCustomListBox, TWinControl)

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner),
      items_(MakeObject<TListControlStrings>(this, TListControlStrings::ListBoxMessages)),
      canvas_(MakeObject<TControlCanvas>()) {
  canvas_->SetControl(this);
  // Clicks come from the window's notifications, and the window tracks the mouse itself.
  controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks, csOpaque};
  SetBounds(GetLeft(), GetTop(), 121, 97);
  SetTabStop(true);
  color_ = clWindow;
  parentColor_ = false;
  GetBrush()->SetColor(color_);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::SetItems(TStrings* items) { items_->Assign(items); }

void TCustomListBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, kListBoxClass);
  static const DWORD styles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE};
  p.Style |= WS_HSCROLL | WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY | styles[style_];
  if (sorted_) p.Style |= LBS_SORT;
  if (multiSelect_) p.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (!integralHeight_) p.Style |= LBS_NOINTEGRALHEIGHT;
  if (columns_ != 0) p.Style |= LBS_MULTICOLUMN;
  if (tabWidth_ != 0) p.Style |= LBS_USETABSTOPS;
  // A single border is the sunken client edge of the new-style controls.
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
  p.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListBox::CreateWindowHandle(const TCreateParams& p) {
  // An ID lets the parent find this control for WM_MEASUREITEM.
  CreateWindowEx(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                 p.WndParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlId())), nullptr, p.Param);
}

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  HWND h = GetHandle();
  SetWindowPos(h, nullptr, GetLeft(), GetTop(), GetWidth(), GetHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (tabWidth_ != 0) SendMessage(h, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabWidth_));
  if (style_ != lbStandard && itemHeight_ > 0 && style_ == lbOwnerDrawFixed)
    SendMessage(h, LB_SETITEMHEIGHT, 0, MAKELPARAM(itemHeight_, 0));
  SetColumnWidth();
  items_->Sorted = sorted_;
  items_->RestoreToWindow();
  if (savedTopIndex_ > 0) SendMessage(h, LB_SETTOPINDEX, static_cast<WPARAM>(savedTopIndex_), 0);
  if (savedItemIndex_ >= 0) SetItemIndex(savedItemIndex_);
  savedTopIndex_ = 0;
  savedItemIndex_ = -1;
}

void TCustomListBox::DestroyWnd() {
  if (HandleAllocated() && !ComponentState().Contains(csDestroying)) {
    savedTopIndex_ = GetTopIndex();
    savedItemIndex_ = GetItemIndex();
    items_->SaveFromWindow();
  }
  TWinControl::DestroyWnd();
}

void TCustomListBox::SetColumnWidth() {
  if (!HandleAllocated() || columns_ <= 0) return;
  SendMessage(GetHandle(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>((GetWidth() + columns_ - 3) / columns_), 0);
}

int TCustomListBox::GetItemIndex() const {
  if (!HandleAllocated()) return savedItemIndex_;
  HWND h = const_cast<TCustomListBox*>(this)->GetHandle();
  if (multiSelect_) return static_cast<int>(SendMessage(h, LB_GETCARETINDEX, 0, 0));
  return static_cast<int>(SendMessage(h, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int index) {
  if (!HandleAllocated() && !GetParent() && !GetParentWindow()) {
    savedItemIndex_ = index;
    return;
  }
  HWND h = GetHandle();
  if (GetItemIndex() == index) return;
  if (multiSelect_) SendMessage(h, LB_SETCARETINDEX, static_cast<WPARAM>(index), 0);
  else SendMessage(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TCustomListBox::GetSelected(int index) const {
  HWND h = const_cast<TCustomListBox*>(this)->GetHandle();
  LRESULT r = SendMessage(h, LB_GETSEL, static_cast<WPARAM>(index), 0);
  if (r < 0) throw EListError(Format(RtlText::ListIndexError, index));
  return r != 0;
}

void TCustomListBox::SetSelected(int index, bool selected) {
  HWND h = GetHandle();
  if (multiSelect_) {
    if (SendMessage(h, LB_SETSEL, selected ? TRUE : FALSE, index) < 0)
      throw EListError(Format(RtlText::ListIndexError, index));
  } else if (selected) {
    SetItemIndex(index);
  } else if (GetItemIndex() == index) {
    SetItemIndex(-1);
  }
}

int TCustomListBox::GetSelCount() const {
  HWND h = const_cast<TCustomListBox*>(this)->GetHandle();
  return static_cast<int>(SendMessage(h, LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::SelectAll() {
  if (multiSelect_) SendMessage(GetHandle(), LB_SETSEL, TRUE, -1);
}

int TCustomListBox::GetTopIndex() const {
  if (!HandleAllocated()) return savedTopIndex_;
  return static_cast<int>(SendMessage(const_cast<TCustomListBox*>(this)->GetHandle(), LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(int index) {
  if (!HandleAllocated()) {
    savedTopIndex_ = index;
    return;
  }
  if (GetTopIndex() != index) SendMessage(GetHandle(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void TCustomListBox::SetMultiSelect(bool value) {
  if (multiSelect_ == value) return;
  multiSelect_ = value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool value) {
  if (extendedSelect_ == value) return;
  extendedSelect_ = value;
  RecreateWnd();
}

void TCustomListBox::SetSorted(bool value) {
  if (sorted_ == value) return;
  sorted_ = value;
  items_->Sorted = value;
  RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle style) {
  if (style_ == style) return;
  style_ = style;
  RecreateWnd();
}

int TCustomListBox::GetItemHeight() const {
  if (HandleAllocated() && style_ == lbStandard)
    return static_cast<int>(SendMessage(const_cast<TCustomListBox*>(this)->GetHandle(), LB_GETITEMHEIGHT, 0, 0));
  return itemHeight_;
}

void TCustomListBox::SetItemHeight(int height) {
  if (height <= 0 || itemHeight_ == height) return;
  itemHeight_ = height;
  if (style_ != lbStandard) RecreateWnd();
}

void TCustomListBox::SetColumns(int columns) {
  columns = std::max(0, columns);
  if (columns_ == columns) return;
  bool switching = (columns_ == 0) != (columns == 0);
  columns_ = columns;
  if (switching) RecreateWnd();
  else SetColumnWidth();
}

void TCustomListBox::SetIntegralHeight(bool value) {
  if (integralHeight_ == value) return;
  integralHeight_ = value;
  RecreateWnd();
}

void TCustomListBox::SetTabWidth(int width) {
  width = std::max(0, width);
  if (tabWidth_ == width) return;
  tabWidth_ = width;
  RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TFormBorderStyle style) {
  if (borderStyle_ == style) return;
  borderStyle_ = style;
  RecreateWnd();
}

int TCustomListBox::ItemAtPos(const TPoint& pos, bool existing) const {
  TRect client = GetClientRect();
  if (pos.x < client.left || pos.x >= client.right || pos.y < client.top || pos.y >= client.bottom) return -1;
  HWND h = const_cast<TCustomListBox*>(this)->GetHandle();
  LRESULT r = SendMessage(h, LB_ITEMFROMPOINT, 0, MAKELPARAM(pos.x, pos.y));
  int count = items_->Count();
  if (count == 0) return existing ? -1 : 0;
  if (HIWORD(r) != 0) {
    // Outside every item: past the last one.
    TRect last = ItemRect(count - 1);
    if (pos.y >= last.bottom || (columns_ != 0 && pos.x >= last.left)) return existing ? -1 : count;
  }
  return static_cast<int>(LOWORD(r));
}

TRect TCustomListBox::ItemRect(int index) const {
  HWND h = const_cast<TCustomListBox*>(this)->GetHandle();
  int count = items_->Count();
  RECT r{0, 0, 0, 0};
  if (index == 0 || index < count) {
    SendMessage(h, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  } else if (index == count) {
    SendMessage(h, LB_GETITEMRECT, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&r));
    OffsetRect(&r, 0, r.bottom - r.top);
  }
  return r;
}

void TCustomListBox::Dispatch(TMessage& m) {
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
    case WM_SIZE:
      TWinControl::Dispatch(m);
      SetColumnWidth();
      return;
  }
  TWinControl::Dispatch(m);
}

void TCustomListBox::CNCommand(TMessage& m) {
  switch (HIWORD(m.WParam)) {
    case LBN_SELCHANGE:
      Changed();
      Click();
      break;
    case LBN_DBLCLK: DblClick(); break;
  }
}

void DrawOwnerItem(TCanvas* canvas, TWinControl* control, const DRAWITEMSTRUCT& item,
                   const std::function<void(int index, const TRect& rect, TOwnerDrawState state)>& draw) {
  TOwnerDrawState state = TOwnerDrawState::FromBits(LOWORD(item.itemState));
  TCanvasPaintScope paint(canvas, item.hDC);
  canvas->SetFont(control->GetFont());
  canvas->SetBrush(control->GetBrush());
  const int index = static_cast<int>(item.itemID);
  if (index >= 0 && state.Contains(odSelected)) {
    canvas->GetBrush()->SetColor(clHighlight);
    canvas->GetFont()->SetColor(clHighlightText);
  }
  TRect rect = item.rcItem;
  if (index >= 0) draw(index, rect, state);
  else canvas->FillRect(rect);
  if (state.Contains(odFocused)) ::DrawFocusRect(item.hDC, &item.rcItem);
}

void MeasureOwnerItem(MEASUREITEMSTRUCT& item, int itemHeight, bool variable,
                      const std::function<void(int index, int& height)>& measure) {
  int height = itemHeight;
  if (variable) measure(static_cast<int>(item.itemID), height);
  item.itemHeight = static_cast<UINT>(std::max(1, height));
}

void DrawItemText(TCanvas* canvas, const TRect& rect, TStrings* items, int index) {
  canvas->FillRect(rect);
  if (index < items->Count()) canvas->TextOut(rect.left + 2, rect.top, items->Get(index));
}

void TCustomListBox::CNDrawItem(TMessage& m) {
  DrawOwnerItem(canvas_.get(), this, *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam),
                [this](int index, const TRect& rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
  m.Result = TRUE;
}

void TCustomListBox::CNMeasureItem(TMessage& m) {
  MeasureOwnerItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam), itemHeight_, style_ == lbOwnerDrawVariable,
                   [this](int index, int& height) { MeasureItem(index, height); });
  m.Result = TRUE;
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  DrawItemText(canvas_.get(), rect, items_.get(), index);
}

void TCustomListBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

// ---------------------------------------------------------------------------------------

QUILLO_DEFINE_PUBLISHED_CLASS(TListBox, TCustomListBox)

TListBox::~TListBox() = default;

const TPropTable* TListBox::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TListBox>()
          .Property("BorderStyle", &TListBox::GetBorderStyle, &TListBox::SetBorderStyle)
          .Property("Columns", &TListBox::GetColumns, &TListBox::SetColumns)
          .Property("ExtendedSelect", &TListBox::GetExtendedSelect, &TListBox::SetExtendedSelect)
          .Property("IntegralHeight", &TListBox::GetIntegralHeight, &TListBox::SetIntegralHeight)
          .Property("ItemHeight", &TListBox::GetItemHeight, &TListBox::SetItemHeight)
          .Property("Items", &TListBox::GetItems, &TListBox::SetItems)
          .Property("MultiSelect", &TListBox::GetMultiSelect, &TListBox::SetMultiSelect)
          .Property("Sorted", &TListBox::GetSorted, &TListBox::SetSorted)
          .Property("Style", &TListBox::GetStyle, &TListBox::SetStyle)
          .Property("TabWidth", &TListBox::GetTabWidth, &TListBox::SetTabWidth)
          .Table();
  return &table;
}
