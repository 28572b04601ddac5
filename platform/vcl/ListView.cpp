#include "platform/vcl/ListView.h"

#include <algorithm>
#include <strings.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

QUILLO_DEFINE_CLASS(TListItem, TPersistent)
QUILLO_DEFINE_CLASS(TListItems, TPersistent)
QUILLO_DEFINE_PUBLISHED_CLASS(TListColumn, TCollectionItem)
QUILLO_DEFINE_CLASS(TListColumns, TOwnedCollection)
QUILLO_DEFINE_PUBLISHED_CLASS(TCustomListView, TWinControl)
QUILLO_DEFINE_PUBLISHED_CLASS(TListView, TCustomListView)
QUILLO_DEFINE_ENUM_TYPE(TViewStyle, "vsIcon", "vsSmallIcon", "vsList", "vsReport")

namespace {

template <class T>
LRESULT Send(HWND window, UINT message, WPARAM wParam, T* lParam) {
  return SendMessage(window, message, wParam, reinterpret_cast<LPARAM>(lParam));
}

int ColumnFormat(TAlignment alignment) {
  return alignment == taRightJustify ? LVCFMT_RIGHT : alignment == taCenter ? LVCFMT_CENTER : LVCFMT_LEFT;
}

}  // namespace

// ---- TListItem ----

TListItem::TListItem(TListItems* owner) : owner_(owner), subItems_(MakeObject<TStringList>()) {
  subItems_->OnChange = [this](TObject*) { owner_->owner_->UpdateSubItems(this); };
}

TListItem::~TListItem() = default;

void TListItem::SetCaption(const AnsiString& caption) {
  caption_ = caption;
  owner_->owner_->UpdateItem(Index());
}

void TListItem::SetImageIndex(int index) {
  imageIndex_ = index;
  owner_->owner_->UpdateItem(Index());
}

bool TListItem::GetSelected() const { return (owner_->owner_->ItemState(this) & LVIS_SELECTED) != 0; }

void TListItem::SetSelected(bool value) {
  owner_->owner_->SetItemState(Index(), value ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

bool TListItem::GetFocused() const { return (owner_->owner_->ItemState(this) & LVIS_FOCUSED) != 0; }

void TListItem::SetFocused(bool value) { owner_->owner_->SetItemState(Index(), value ? LVIS_FOCUSED : 0, LVIS_FOCUSED); }

int TListItem::Index() const { return owner_->IndexOf(this); }

void TListItem::Delete() { owner_->Delete(Index()); }

void TListItem::MakeVisible(bool partialOk) {
  TCustomListView* view = owner_->owner_;
  if (view->HandleAllocated()) SendMessage(view->GetHandle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index()), partialOk);
}

bool TListItem::EditCaption() {
  TCustomListView* view = owner_->owner_;
  return SendMessage(view->GetHandle(), LVM_EDITLABEL, static_cast<WPARAM>(Index()), 0) != 0;
}

// ---- TListItems ----

TListItems::TListItems(TCustomListView* owner) : owner_(owner) {}

TListItems::~TListItems() = default;

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format(RtlText::ListIndexError, index));
  return items_[static_cast<size_t>(index)].get();
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, MakeObject<TListItem>(this));
  TListItem* item = items_[static_cast<size_t>(index)].get();
  owner_->InsertItem(index);
  if (owner_->OnInsert) owner_->OnInsert(owner_, item);
  return item;
}

void TListItems::Delete(int index) {
  TListItem* item = Item(index);
  owner_->RemoveItem(index);
  if (owner_->OnDeletion) owner_->OnDeletion(owner_, item);
  items_.erase(items_.begin() + IndexOf(item));
}

void TListItems::Clear() {
  if (owner_->HandleAllocated()) SendMessage(owner_->GetHandle(), LVM_DELETEALLITEMS, 0, 0);
  std::vector<TOwnedPtr<TListItem>> gone;
  gone.swap(items_);
  if (owner_->OnDeletion)
    for (auto& item : gone) owner_->OnDeletion(owner_, item.get());
}

int TListItems::IndexOf(const TListItem* item) const {
  // From the end: the item just added is the one most often asked about.
  for (size_t i = items_.size(); i-- > 0;)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

void TListItems::BeginUpdate() {
  if (updateCount_++ == 0 && owner_->HandleAllocated()) drawing_.Begin(owner_->GetHandle());
}

void TListItems::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && owner_->HandleAllocated()) {
    drawing_.End(owner_->GetHandle());
    owner_->Invalidate();
  }
}

// ---- TListColumn(s) ----

const TPropTable* TListColumn::PublishedProperties() {
  static const TPropTable table = TPublisher<TListColumn>()
                                      .Property("Caption", &TListColumn::GetCaption, &TListColumn::SetCaption)
                                      .Property("Width", &TListColumn::GetWidth, &TListColumn::SetWidth)
                                      .Property("Alignment", &TListColumn::GetAlignment, &TListColumn::SetAlignment)
                                      .Table();
  return &table;
}

TCustomListView* TListColumn::View() const {
  auto* columns = static_cast<TListColumns*>(Collection());
  return columns ? columns->Owner() : nullptr;
}

void TListColumn::SetCaption(const AnsiString& caption) {
  caption_ = caption;
  Changed(false);
}

int TListColumn::GetWidth() const {
  // The user may have dragged the column's divider.
  TCustomListView* view = View();
  if (view && view->HandleAllocated() && view->GetViewStyle() == vsReport)
    return static_cast<int>(SendMessage(view->GetHandle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index()), 0));
  return width_;
}

void TListColumn::SetWidth(int width) {
  width_ = width;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  Changed(false);
}

void TListColumn::Assign(const TPersistent* source) {
  if (const auto* other = dynamic_cast<const TListColumn*>(source)) {
    caption_ = other->caption_;
    width_ = other->GetWidth();
    alignment_ = other->alignment_;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(source);
}

TListColumns::TListColumns(TCustomListView* owner)
    : TOwnedCollection(owner, TListColumn::StaticClass(), CollectionItemFactory<TListColumn>()), owner_(owner) {}

void TListColumns::Update(TCollectionItem*) { owner_->FillColumns(); }

// ---- TCustomListView ----

const TPropTable* TCustomListView::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TCustomListView>()
          .Property("Columns", &TCustomListView::GetColumns)
          .Property("ViewStyle", &TCustomListView::GetViewStyle, &TCustomListView::SetViewStyle)
          .Property("MultiSelect", &TCustomListView::GetMultiSelect, &TCustomListView::SetMultiSelect)
          .Property("RowSelect", &TCustomListView::GetRowSelect, &TCustomListView::SetRowSelect)
          .Property("GridLines", &TCustomListView::GetGridLines, &TCustomListView::SetGridLines)
          .Property("ReadOnly", &TCustomListView::GetReadOnly, &TCustomListView::SetReadOnly)
          .Property("HideSelection", &TCustomListView::GetHideSelection, &TCustomListView::SetHideSelection)
          .Property("ShowColumnHeaders", &TCustomListView::GetShowColumnHeaders, &TCustomListView::SetShowColumnHeaders)
          .Table();
  return &table;
}

const TPropTable* TListView::PublishedProperties() {
  static const TPropTable table = TPublisher<TListView>().Table();
  return &table;
}

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner), items_(MakeObject<TListItems>(this)), columns_(MakeObject<TListColumns>(this)) {
  SetBounds(GetLeft(), GetTop(), 250, 150);
  SetTabStop(true);
  GetBrush()->SetColor(clWindow);
  for (TOwnedPtr<TChangeLink>* link : {&largeLink_, &smallLink_}) {
    *link = MakeObject<TChangeLink>();
    (*link)->OnChange = [this](TObject*) {
      if (HandleAllocated()) Invalidate();
    };
  }
}

TCustomListView::~TCustomListView() {
  if (largeImages_) largeImages_->UnRegisterChanges(largeLink_.get());
  if (smallImages_) smallImages_->UnRegisterChanges(smallLink_.get());
}

DWORD TCustomListView::ViewStyleBits() const {
  static const DWORD bits[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  DWORD style = bits[viewStyle_] | LVS_SHAREIMAGELISTS;
  if (!multiSelect_) style |= LVS_SINGLESEL;
  if (!readOnly_) style |= LVS_EDITLABELS;
  if (!hideSelection_) style |= LVS_SHOWSELALWAYS;
  if (!showColumnHeaders_) style |= LVS_NOCOLUMNHEADER;
  return style;
}

void TCustomListView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, WC_LISTVIEW);
  params.Style |= ViewStyleBits();
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListView::UpdateStyle() {
  if (!HandleAllocated()) return;
  HWND window = GetHandle();
  const LONG_PTR style = (GetWindowLongPtr(window, GWL_STYLE) & ~0xFFFF) | static_cast<LONG_PTR>(ViewStyleBits());
  SetWindowLongPtr(window, GWL_STYLE, style);
  SendMessage(window, WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE), 0);
}

void TCustomListView::UpdateExtendedStyle() {
  if (!HandleAllocated()) return;
  const DWORD style = (rowSelect_ ? LVS_EX_FULLROWSELECT : 0) | (gridLines_ ? LVS_EX_GRIDLINES : 0);
  SendMessage(GetHandle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, style);
}

void TCustomListView::CreateWnd() {
  TWinControl::CreateWnd();
  HWND window = GetHandle();
  UpdateExtendedStyle();
  if (largeImages_) Send(window, LVM_SETIMAGELIST, LVSIL_NORMAL, largeImages_->GetHandle());
  if (smallImages_) Send(window, LVM_SETIMAGELIST, LVSIL_SMALL, smallImages_->GetHandle());
  FillColumns();
  SendMessage(window, LVM_SETITEMCOUNT, static_cast<WPARAM>(items_->Count()), 0);
  FillItems();
}

void TCustomListView::FillItems() {
  filling_ = true;
  for (int i = 0; i < items_->Count(); ++i) {
    InsertItem(i);
    TListItem* item = items_->Item(i);
    if (item->state_) {
      LVITEM state;
      state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      state.state = item->state_;
      Send(GetHandle(), LVM_SETITEMSTATE, static_cast<WPARAM>(i), &state);
    }
  }
  filling_ = false;
}

void TCustomListView::SaveStates() {
  for (int i = 0; i < items_->Count(); ++i)
    items_->Item(i)->state_ =
        static_cast<UINT>(SendMessage(GetHandle(), LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED | LVIS_FOCUSED));
}

void TCustomListView::DestroyWnd() {
  // The selection lives in the window: the model keeps it for the next one.
  if (HandleAllocated()) SaveStates();
  filling_ = true;
  TWinControl::DestroyWnd();
  filling_ = false;
}

void TCustomListView::FillColumns() {
  if (!HandleAllocated()) return;
  HWND window = GetHandle();
  while (SendMessage(window, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (int i = 0; i < columns_->Count(); ++i) {
    TListColumn* column = columns_->Items(i);
    LVCOLUMN c;
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    c.pszText = const_cast<char*>(column->caption_.c_str());
    c.cx = column->width_;
    c.fmt = ColumnFormat(column->alignment_);
    c.iSubItem = i;
    Send(window, LVM_INSERTCOLUMN, static_cast<WPARAM>(i), &c);
  }
}

void TCustomListView::InsertItem(int index) {
  if (!HandleAllocated()) return;
  TListItem* item = items_->Item(index);
  LVITEM lv;
  lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  lv.iItem = index;
  lv.pszText = const_cast<char*>(item->caption_.c_str());
  lv.iImage = item->imageIndex_;
  lv.lParam = reinterpret_cast<LPARAM>(item);
  Send(GetHandle(), LVM_INSERTITEM, 0, &lv);
  if (item->subItems_->Count()) UpdateSubItems(item);
}

void TCustomListView::UpdateItem(int index) {
  if (!HandleAllocated() || index < 0) return;
  TListItem* item = items_->Item(index);
  LVITEM lv;
  lv.mask = LVIF_TEXT | LVIF_IMAGE;
  lv.iItem = index;
  lv.pszText = const_cast<char*>(item->caption_.c_str());
  lv.iImage = item->imageIndex_;
  Send(GetHandle(), LVM_SETITEM, 0, &lv);
}

void TCustomListView::UpdateSubItems(TListItem* item) {
  if (!HandleAllocated()) return;
  const int index = item->Index();
  if (index < 0) return;
  for (int i = 0; i < item->subItems_->Count(); ++i) {
    AnsiString text = item->subItems_->Get(i);
    LVITEM lv;
    lv.iSubItem = i + 1;
    lv.pszText = const_cast<char*>(text.c_str());
    Send(GetHandle(), LVM_SETITEMTEXT, static_cast<WPARAM>(index), &lv);
  }
}

void TCustomListView::RemoveItem(int index) {
  if (HandleAllocated()) SendMessage(GetHandle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

UINT TCustomListView::ItemState(const TListItem* item) const {
  if (!const_cast<TCustomListView*>(this)->HandleAllocated()) return item->state_;
  const int index = items_->IndexOf(item);
  return static_cast<UINT>(SendMessage(const_cast<TCustomListView*>(this)->GetHandle(), LVM_GETITEMSTATE,
                                       static_cast<WPARAM>(index), LVIS_SELECTED | LVIS_FOCUSED));
}

void TCustomListView::SetItemState(int index, UINT state, UINT mask) {
  if (index < 0 && index != -1) return;
  if (HandleAllocated()) {
    LVITEM lv;
    lv.stateMask = mask;
    lv.state = state;
    Send(GetHandle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), &lv);
    return;
  }
  for (int i = 0; i < items_->Count(); ++i) {
    TListItem* item = items_->Item(i);
    if (i == index || index == -1) {
      const UINT before = item->state_;
      item->state_ = (before & ~mask) | (state & mask);
      if ((before ^ item->state_) & LVIS_SELECTED && OnSelectItem) OnSelectItem(this, item, (item->state_ & LVIS_SELECTED) != 0);
    } else if ((state & mask & LVIS_SELECTED) && !multiSelect_) {
      item->state_ &= ~LVIS_SELECTED;
    } else if (state & mask & LVIS_FOCUSED) {
      item->state_ &= ~LVIS_FOCUSED;
    }
  }
}

void TCustomListView::SetViewStyle(TViewStyle style) {
  viewStyle_ = style;
  UpdateStyle();
}

void TCustomListView::SetMultiSelect(bool value) {
  multiSelect_ = value;
  UpdateStyle();
}

void TCustomListView::SetRowSelect(bool value) {
  rowSelect_ = value;
  UpdateExtendedStyle();
}

void TCustomListView::SetGridLines(bool value) {
  gridLines_ = value;
  UpdateExtendedStyle();
}

void TCustomListView::SetReadOnly(bool value) {
  readOnly_ = value;
  UpdateStyle();
}

void TCustomListView::SetHideSelection(bool value) {
  hideSelection_ = value;
  UpdateStyle();
}

void TCustomListView::SetShowColumnHeaders(bool value) {
  showColumnHeaders_ = value;
  UpdateStyle();
}

void TCustomListView::SetImageList(TCustomImageList*& slot, TCustomImageList* images, int kind) {
  if (slot == images) return;
  TChangeLink* link = (&slot == &largeImages_ ? largeLink_ : smallLink_).get();
  TCustomImageList* other = &slot == &largeImages_ ? smallImages_ : largeImages_;
  if (slot) {
    slot->UnRegisterChanges(link);
    if (slot != other) slot->RemoveFreeNotification(this);
  }
  slot = images;
  if (slot) {
    slot->RegisterChanges(link);
    slot->FreeNotification(this);
  }
  if (HandleAllocated()) Send(GetHandle(), LVM_SETIMAGELIST, static_cast<WPARAM>(kind), slot ? slot->GetHandle() : nullptr);
}

void TCustomListView::SetLargeImages(TCustomImageList* images) { SetImageList(largeImages_, images, LVSIL_NORMAL); }

void TCustomListView::SetSmallImages(TCustomImageList* images) { SetImageList(smallImages_, images, LVSIL_SMALL); }

void TCustomListView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == largeImages_) SetLargeImages(nullptr);
  if (component == smallImages_) SetSmallImages(nullptr);
}

TListItem* TCustomListView::GetNextItem(TListItem* start, UINT relation) const {
  auto* self = const_cast<TCustomListView*>(this);
  const int from = start ? items_->IndexOf(start) : -1;
  if (self->HandleAllocated()) {
    const int found = static_cast<int>(SendMessage(self->GetHandle(), LVM_GETNEXTITEM, static_cast<WPARAM>(from), relation));
    return found >= 0 && found < items_->Count() ? items_->Item(found) : nullptr;
  }
  const UINT want = relation & (LVNI_SELECTED | LVNI_FOCUSED);
  for (int i = from + 1; i < items_->Count(); ++i)
    if ((items_->Item(i)->state_ & want) == want) return items_->Item(i);
  return nullptr;
}

TListItem* TCustomListView::GetSelected() const { return GetNextItem(nullptr, LVNI_SELECTED); }

void TCustomListView::SetSelected(TListItem* item) {
  ClearSelection();
  if (item) {
    item->SetSelected(true);
    item->SetFocused(true);
  }
}

TListItem* TCustomListView::GetItemFocused() const { return GetNextItem(nullptr, LVNI_FOCUSED); }

void TCustomListView::SetItemFocused(TListItem* item) {
  if (item) item->SetFocused(true);
  else if (TListItem* focused = GetItemFocused()) focused->SetFocused(false);
}

int TCustomListView::GetSelCount() const {
  auto* self = const_cast<TCustomListView*>(this);
  if (self->HandleAllocated()) return static_cast<int>(SendMessage(self->GetHandle(), LVM_GETSELECTEDCOUNT, 0, 0));
  int count = 0;
  for (int i = 0; i < items_->Count(); ++i) count += (items_->Item(i)->state_ & LVIS_SELECTED) ? 1 : 0;
  return count;
}

void TCustomListView::SelectAll() {
  if (multiSelect_) SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
}

void TCustomListView::ClearSelection() { SetItemState(-1, 0, LVIS_SELECTED); }

TListItem* TCustomListView::GetItemAt(int x, int y) {
  if (!HandleAllocated()) return nullptr;
  LVHITTESTINFO hit;
  hit.pt = POINT{x, y};
  const int index = static_cast<int>(Send(GetHandle(), LVM_HITTEST, 0, &hit));
  return index >= 0 && index < items_->Count() && (hit.flags & LVHT_ONITEM) ? items_->Item(index) : nullptr;
}

TListItem* TCustomListView::FindCaption(int start, const AnsiString& text, bool partial, bool inclusive, bool wrap) const {
  const int count = items_->Count();
  if (count == 0) return nullptr;
  const int first = std::clamp(inclusive ? start : start + 1, 0, count);
  const int span = wrap ? count : count - first;
  for (int n = 0; n < span; ++n) {
    TListItem* item = items_->Item((first + n) % count);
    const bool match = partial ? strncasecmp(item->caption_.c_str(), text.c_str(), text.size()) == 0
                               : strcasecmp(item->caption_.c_str(), text.c_str()) == 0;
    if (match) return item;
  }
  return nullptr;
}

void TCustomListView::Scroll(int dx, int dy) {
  if (HandleAllocated()) SendMessage(GetHandle(), LVM_SCROLL, static_cast<WPARAM>(dx), dy);
}

TListItem* TCustomListView::GetTopItem() const {
  auto* self = const_cast<TCustomListView*>(this);
  if (!self->HandleAllocated() || items_->Count() == 0) return nullptr;
  const int top = static_cast<int>(SendMessage(self->GetHandle(), LVM_GETTOPINDEX, 0, 0));
  return top >= 0 && top < items_->Count() ? items_->Item(top) : nullptr;
}

void TCustomListView::Sort(const std::function<int(TListItem*, TListItem*)>& compare) {
  // The window keeps the selection: read it into the model, sort the model, refill.
  if (HandleAllocated()) SaveStates();
  std::stable_sort(items_->items_.begin(), items_->items_.end(),
                   [&](const auto& a, const auto& b) { return compare(a.get(), b.get()) < 0; });
  if (!HandleAllocated()) return;
  SendMessage(GetHandle(), LVM_DELETEALLITEMS, 0, 0);
  FillItems();
}

bool TCustomListView::AlphaSort() {
  Sort([this](TListItem* a, TListItem* b) {
    int result = strcasecmp(a->caption_.c_str(), b->caption_.c_str());
    if (OnCompare) OnCompare(this, a, b, 0, result);
    return result;
  });
  return true;
}

bool TCustomListView::CustomSort(const std::function<int(TListItem*, TListItem*)>& compare) {
  if (!compare) return AlphaSort();
  Sort(compare);
  return true;
}

bool TCustomListView::IsEditing() const {
  auto* self = const_cast<TCustomListView*>(this);
  return self->HandleAllocated() && SendMessage(self->GetHandle(), LVM_GETEDITCONTROL, 0, 0) != 0;
}

void TCustomListView::CNNotify(TMessage& m) {
  const auto& header = *reinterpret_cast<const NMHDR*>(m.LParam);
  const auto& nm = *reinterpret_cast<const NMLISTVIEW*>(m.LParam);
  auto itemAt = [this](int index) { return index >= 0 && index < items_->Count() ? items_->Item(index) : nullptr; };
  switch (header.code) {
    case LVN_ITEMCHANGED: {
      if (filling_) break;
      TListItem* item = itemAt(nm.iItem);
      if (!item || !(nm.uChanged & LVIF_STATE)) break;
      if (OnChange) OnChange(this, item, ctState);
      if (((nm.uNewState ^ nm.uOldState) & LVIS_SELECTED) && OnSelectItem)
        OnSelectItem(this, item, (nm.uNewState & LVIS_SELECTED) != 0);
      break;
    }
    case LVN_COLUMNCLICK:
      if (OnColumnClick && nm.iSubItem >= 0 && nm.iSubItem < columns_->Count())
        OnColumnClick(this, columns_->Items(nm.iSubItem));
      break;
    case LVN_DELETEALLITEMS:
      m.Result = TRUE;  // the model tells of its own deletions
      break;
    case LVN_BEGINLABELEDIT: {
      const auto& info = *reinterpret_cast<const NMLVDISPINFO*>(m.LParam);
      bool allow = !readOnly_;
      if (OnEditing) OnEditing(this, itemAt(info.item.iItem), allow);
      m.Result = allow ? 0 : 1;
      break;
    }
    case LVN_ENDLABELEDIT: {
      const auto& info = *reinterpret_cast<const NMLVDISPINFO*>(m.LParam);
      TListItem* item = itemAt(info.item.iItem);
      if (!item || !info.item.pszText) break;
      AnsiString text = info.item.pszText;
      if (OnEdited) OnEdited(this, item, text);
      item->SetCaption(text);
      m.Result = 0;
      break;
    }
  }
}

void TCustomListView::Dispatch(TMessage& m) {
  if (m.Msg == CN_NOTIFY && m.LParam) {
    CNNotify(m);
    return;
  }
  TWinControl::Dispatch(m);
}
