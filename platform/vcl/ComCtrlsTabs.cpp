// TCustomTabControl, TTabControl, TTabSheet and TPageControl over the tab control window.

#include "platform/vcl/ComCtrlsTabs.h"

#include <algorithm>

#include "platform/controls/TabControl.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Form.h"

QUILLO_DEFINE_ENUM_TYPE(TTabPosition, "tpTop", "tpBottom", "tpLeft", "tpRight")
QUILLO_DEFINE_ENUM_TYPE(TTabStyle, "tsTabs", "tsButtons", "tsFlatButtons")

// TCustomTabControl

QUILLO_DEFINE_CLASS(TCustomTabControl, TWinControl)

TCustomTabControl::TCustomTabControl(TComponent* owner)
    : TWinControl(owner),
      tabs_(MakeObject<TStringList>()),
      canvas_(MakeObject<TCanvas>()),
      imageLink_(MakeObject<TChangeLink>()) {
  SetBounds(0, 0, 289, 193);
  controlStyle_ = TControlStyle{csAcceptsControls, csDoubleClicks};
  SetTabStop(true);
  tabs_->OnChange = [this](TObject*) {
    if (!filling_) TabsChanged();
  };
  imageLink_->OnChange = [this](TObject*) {
    if (HandleAllocated()) Invalidate();
  };
}

TCustomTabControl::~TCustomTabControl() { SetImages(nullptr); }

void TCustomTabControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_TABCONTROL);
  p.Style |= WS_CLIPCHILDREN;
  if (multiLine_) p.Style |= TCS_MULTILINE;
  if (tabPosition_ == tpBottom) p.Style |= TCS_BOTTOM;
  if (style_ != tsTabs) p.Style |= TCS_BUTTONS;
  if (style_ == tsFlatButtons) p.Style |= TCS_FLATBUTTONS;
  if (hotTrack_) p.Style |= TCS_HOTTRACK;
  if (raggedRight_) p.Style |= TCS_RAGGEDRIGHT;
  if (ownerDraw_) p.Style |= TCS_OWNERDRAWFIXED;
  if (tabWidth_ > 0) p.Style |= TCS_FIXEDWIDTH;
}

void TCustomTabControl::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyItemSize();
  ApplyImages();
  FillItems();
}

void TCustomTabControl::DestroyWnd() {
  tabIndex_ = GetTabIndex();
  TWinControl::DestroyWnd();
}

void TCustomTabControl::FontChanged() {
  TWinControl::FontChanged();  // the window has the new font: the tabs' height follows it
  if (HandleAllocated()) Realign();
}

void TCustomTabControl::FillItems() {
  if (!HandleAllocated()) return;
  HWND h = GetHandle();
  SendMessage(h, TCM_DELETEALLITEMS, 0, 0);
  for (int i = 0; i < tabs_->Count(); ++i) {
    AnsiString text = tabs_->Get(i);
    TCITEM item;
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = GetImageIndex(i);
    SendMessage(h, TCM_INSERTITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  if (tabIndex_ < tabs_->Count())
    SendMessage(h, TCM_SETCURSEL, static_cast<WPARAM>(tabIndex_), 0);
  else
    tabIndex_ = static_cast<int>(SendMessage(h, TCM_GETCURSEL, 0, 0));
  Realign();
}

void TCustomTabControl::TabsChanged() {
  // A new list keeps the selected index when it still names a tab.
  int keep = GetTabIndex();
  tabIndex_ = keep < tabs_->Count() ? keep : -1;
  if (tabIndex_ < 0 && tabs_->Count() > 0) tabIndex_ = 0;
  if (HandleAllocated())
    FillItems();
}

void TCustomTabControl::SetTabs(TStrings* tabs) {
  filling_ = true;
  tabs_->Assign(tabs);
  filling_ = false;
  TabsChanged();
}

int TCustomTabControl::GetTabIndex() const {
  if (!HandleAllocated()) return tabIndex_;
  return static_cast<int>(SendMessage(const_cast<TCustomTabControl*>(this)->GetHandle(), TCM_GETCURSEL, 0, 0));
}

void TCustomTabControl::SetTabIndex(int index) {
  if (index < -1 || index >= tabs_->Count()) return;
  tabIndex_ = index;
  if (HandleAllocated()) {
    SendMessage(GetHandle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    Realign();
  }
}

void TCustomTabControl::SetMultiLine(bool value) {
  if (multiLine_ == value) return;
  multiLine_ = value;
  RecreateWnd();
}

void TCustomTabControl::SetTabPosition(TTabPosition value) {
  if (tabPosition_ == value) return;
  tabPosition_ = value;
  RecreateWnd();
}

void TCustomTabControl::SetStyle(TTabStyle value) {
  if (style_ == value) return;
  style_ = value;
  RecreateWnd();
}

void TCustomTabControl::SetHotTrack(bool value) {
  if (hotTrack_ == value) return;
  hotTrack_ = value;
  RecreateWnd();
}

void TCustomTabControl::SetRaggedRight(bool value) {
  if (raggedRight_ == value) return;
  raggedRight_ = value;
  RecreateWnd();
}

void TCustomTabControl::SetOwnerDraw(bool value) {
  if (ownerDraw_ == value) return;
  ownerDraw_ = value;
  RecreateWnd();
}

void TCustomTabControl::SetTabHeight(short value) {
  if (tabHeight_ == value || value < 0) return;
  tabHeight_ = value;
  ApplyItemSize();
}

void TCustomTabControl::SetTabWidth(short value) {
  if (tabWidth_ == value || value < 0) return;
  bool fixedChanged = (tabWidth_ > 0) != (value > 0);
  tabWidth_ = value;
  if (fixedChanged)
    RecreateWnd();
  else
    ApplyItemSize();
}

void TCustomTabControl::ApplyItemSize() {
  if (!HandleAllocated()) return;
  SendMessage(GetHandle(), TCM_SETITEMSIZE, 0, MAKELPARAM(tabWidth_, tabHeight_));
  Realign();
}

void TCustomTabControl::SetImages(TCustomImageList* images) {
  if (images_ == images) return;
  if (images_) {
    images_->UnRegisterChanges(imageLink_.get());
    images_->RemoveFreeNotification(this);
  }
  images_ = images;
  if (images_) {
    images_->RegisterChanges(imageLink_.get());
    images_->FreeNotification(this);
  }
  ApplyImages();
}

void TCustomTabControl::ApplyImages() {
  if (!HandleAllocated() || ComponentState().Contains(csDestroying)) return;
  SendMessage(GetHandle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->GetHandle() : nullptr));
  Realign();
}

void TCustomTabControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == images_) SetImages(nullptr);
}

TRect TCustomTabControl::GetDisplayRect() {
  RECT r = GetClientRect();
  if (HandleAllocated()) SendMessage(GetHandle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return TRect(r);
}

void TCustomTabControl::AdjustClientRect(TRect& rect) {
  if (HandleAllocated()) rect = GetDisplayRect();
}

int TCustomTabControl::IndexOfTabAt(int x, int y) {
  if (!HandleAllocated()) return -1;
  TCHITTESTINFO hit;
  hit.pt = POINT{x, y};
  return static_cast<int>(SendMessage(GetHandle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

TRect TCustomTabControl::TabRect(int index) {
  RECT r{};
  if (HandleAllocated()) SendMessage(GetHandle(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return TRect(r);
}

int TCustomTabControl::RowCount() {
  return HandleAllocated() ? static_cast<int>(SendMessage(GetHandle(), TCM_GETROWCOUNT, 0, 0)) : 0;
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  if (OnChange) OnChange(this);
}

int TCustomTabControl::GetImageIndex(int tabIndex) {
  int image = tabIndex;
  if (OnGetImageIndex) OnGetImageIndex(this, tabIndex, image);
  return image;
}

void TCustomTabControl::DrawTab(int tabIndex, const TRect& rect, bool active) {
  if (OnDrawTab) {
    OnDrawTab(this, tabIndex, rect, active);
    return;
  }
  canvas_->FillRect(rect);
  canvas_->TextOut(rect.left + 4, rect.top + 2, tabs_->Get(tabIndex));
}

void TCustomTabControl::CNNotify(TMessage& m) {
  const auto& header = *reinterpret_cast<const NMHDR*>(m.LParam);
  if (header.code == TCN_SELCHANGING) {
    m.Result = CanChange() ? FALSE : TRUE;
  } else if (header.code == TCN_SELCHANGE) {
    tabIndex_ = GetTabIndex();
    Realign();
    Change();
  }
}

void TCustomTabControl::CNDrawItem(TMessage& m) {
  const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
  canvas_->SetHandle(d.hDC);
  canvas_->GetFont()->Assign(GetFont());
  canvas_->GetBrush()->SetColor(clBtnFace);
  DrawTab(static_cast<int>(d.itemID), TRect(d.rcItem), (d.itemState & ODS_SELECTED) != 0);
  canvas_->SetHandle(nullptr);
  m.Result = TRUE;
}

void TCustomTabControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: CNNotify(m); return;
    case CN_DRAWITEM: CNDrawItem(m); return;
  }
  TWinControl::Dispatch(m);
}

// TTabControl

const TPropTable* TTabControl::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TTabControl>()
          .Property("Tabs", &TTabControl::GetTabs, &TTabControl::SetTabs)
          .Property("TabIndex", &TTabControl::GetTabIndex, &TTabControl::SetTabIndex)
          .Property("MultiLine", &TTabControl::GetMultiLine, &TTabControl::SetMultiLine)
          .Property("TabPosition", &TTabControl::GetTabPosition, &TTabControl::SetTabPosition)
          .Property("Style", &TTabControl::GetStyle, &TTabControl::SetStyle)
          .Property("HotTrack", &TTabControl::GetHotTrack, &TTabControl::SetHotTrack)
          .Property("RaggedRight", &TTabControl::GetRaggedRight, &TTabControl::SetRaggedRight)
          .Property("OwnerDraw", &TTabControl::GetOwnerDraw, &TTabControl::SetOwnerDraw)
          .Property("TabHeight", &TTabControl::GetTabHeight, &TTabControl::SetTabHeight)
          .Property("TabWidth", &TTabControl::GetTabWidth, &TTabControl::SetTabWidth)
          .Property("Images", &TTabControl::GetImages, &TTabControl::SetImages)
          .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TTabControl, TCustomTabControl)

// TTabSheet

const TPropTable* TTabSheet::PublishedProperties() {
  static const TPropTable table = TPublisher<TTabSheet>()
                                      .Property("PageControl", &TTabSheet::GetPageControl, &TTabSheet::SetPageControl)
                                      .Property("PageIndex", &TTabSheet::GetPageIndex, &TTabSheet::SetPageIndex)
                                      .Property("TabVisible", &TTabSheet::GetTabVisible, &TTabSheet::SetTabVisible)
                                      .Property("ImageIndex", &TTabSheet::GetImageIndex, &TTabSheet::SetImageIndex)
                                      .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TTabSheet, TWinControl)

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  controlStyle_ << csAcceptsControls;
  SetAlign(alClient);
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  if (!Freed()) TTabSheet::BeforeDestruction();
}

void TTabSheet::BeforeDestruction() {
  if (pageControl_) pageControl_->RemovePage(this);
  pageControl_ = nullptr;
  TWinControl::BeforeDestruction();
}

void TTabSheet::SetPageControl(TPageControl* pageControl) { SetParent(pageControl); }

void TTabSheet::SetParent(TWinControl* parent) {
  auto* pageControl = dynamic_cast<TPageControl*>(parent);
  if (pageControl_ && pageControl_ != pageControl) {
    TPageControl* old = pageControl_;
    pageControl_ = nullptr;
    old->RemovePage(this);
  }
  TWinControl::SetParent(parent);
  if (pageControl && pageControl_ != pageControl) {
    pageControl_ = pageControl;
    pageControl->InsertPage(this);
  }
}

int TTabSheet::GetPageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
  if (pageControl_) pageControl_->MovePage(this, index);
}

int TTabSheet::GetTabIndex() const {
  if (!pageControl_ || !tabVisible_) return -1;
  int index = 0;
  for (TTabSheet* page : pageControl_->pages_) {
    if (page == this) return index;
    if (page->tabVisible_) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool value) {
  if (tabVisible_ == value) return;
  int tabIndex = GetTabIndex();
  tabVisible_ = value;
  if (!pageControl_) return;
  if (!value && pageControl_->activePage_ == this)
    pageControl_->HideActiveTab(tabIndex);
  else
    pageControl_->UpdateTabs();
}

void TTabSheet::SetImageIndex(int index) {
  if (imageIndex_ == index) return;
  imageIndex_ = index;
  if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::DoShow() {
  if (OnShow) OnShow(this);
}

void TTabSheet::DoHide() {
  if (OnHide) OnHide(this);
}

void TTabSheet::Dispatch(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED && pageControl_) {
    TWinControl::Dispatch(m);
    pageControl_->UpdateTabs();
    return;
  }
  TWinControl::Dispatch(m);
}

// TPageControl

const TPropTable* TPageControl::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TPageControl>()
          .Property("ActivePage", &TPageControl::GetActivePage, &TPageControl::SetActivePage)
          .Property("MultiLine", &TPageControl::GetMultiLine, &TPageControl::SetMultiLine)
          .Property("TabPosition", &TPageControl::GetTabPosition, &TPageControl::SetTabPosition)
          .Property("Style", &TPageControl::GetStyle, &TPageControl::SetStyle)
          .Property("HotTrack", &TPageControl::GetHotTrack, &TPageControl::SetHotTrack)
          .Property("RaggedRight", &TPageControl::GetRaggedRight, &TPageControl::SetRaggedRight)
          .Property("OwnerDraw", &TPageControl::GetOwnerDraw, &TPageControl::SetOwnerDraw)
          .Property("TabHeight", &TPageControl::GetTabHeight, &TPageControl::SetTabHeight)
          .Property("TabWidth", &TPageControl::GetTabWidth, &TPageControl::SetTabWidth)
          .Property("Images", &TPageControl::GetImages, &TPageControl::SetImages)
          .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TPageControl, TCustomTabControl)

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl() {
  if (!Freed()) TPageControl::BeforeDestruction();
}

void TPageControl::BeforeDestruction() {
  // The pages go with their parent; they need not hear of one another as they go.
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
  TCustomTabControl::BeforeDestruction();
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) throw EListError(Format(RtlText::ListIndexError, index));
  return pages_[static_cast<size_t>(index)];
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  UpdateTabs();
  if (!activePage_ && page->GetTabVisible()) ShowPage(page);
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  // The active page hands over to the next one (the one before when it was the last).
  TTabSheet* next = nullptr;
  if (activePage_ == page) next = FindNextPage(page, true, true);
  if (next == page) next = nullptr;
  pages_.erase(it);
  if (activePage_ == page) {
    activePage_ = nullptr;
    if (ComponentState().Contains(csDestroying)) return;
    ShowPage(next);
  }
  if (!ComponentState().Contains(csDestroying)) UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  index = std::clamp(index, 0, PageCount() - 1);
  pages_.erase(it);
  pages_.insert(pages_.begin() + index, page);
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  if (ComponentState().Contains(csDestroying)) return;
  TStringList* tabs = static_cast<TStringList*>(GetTabs());
  tabs->BeginUpdate();
  tabs->Clear();
  for (TTabSheet* page : pages_)
    if (page->GetTabVisible()) tabs->AddObject(page->GetCaption(), page);
  tabs->EndUpdate();
  // The active page stays, even one whose tab does not show (no tab is selected then).
  SetTabIndex(activePage_ ? activePage_->GetTabIndex() : -1);
}

void TPageControl::HideActiveTab(int tabIndex) {
  UpdateTabs();
  // The page whose tab takes the hidden tab's place becomes active (the one before it when
  // it was the last); with no tab left, none.
  int count = GetTabs()->Count();
  ShowPage(count > 0 ? PageOfTab(std::min(tabIndex, count - 1)) : nullptr);
  SetTabIndex(activePage_ ? activePage_->GetTabIndex() : -1);
}

TTabSheet* TPageControl::PageOfTab(int tabIndex) const {
  for (TTabSheet* page : pages_)
    if (page->GetTabVisible() && page->GetTabIndex() == tabIndex) return page;
  return nullptr;
}

void TPageControl::ShowPage(TTabSheet* page) {
  if (page == activePage_) return;
  TTabSheet* old = activePage_;
  // The focus leaves a page that is going out of sight.
  TCustomForm* form = GetParentForm(this);
  bool focusInside = false;
  if (old && form) {
    HWND focus = ::GetFocus();
    focusInside = old->HandleAllocated() && focus && (focus == old->GetHandle() || IsChild(old->GetHandle(), focus));
  }
  activePage_ = page;
  if (page) {
    page->BringToFront();
    page->SetVisible(true);
    page->DoShow();
  }
  if (old) {
    if (focusInside) {
      if (page && page->CanFocus())
        page->SelectFirst();
      else if (CanFocus())
        SetFocus();
    }
    old->SetVisible(false);
    old->DoHide();
  }
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->GetPageControl() != this) return;
  ShowPage(page);
  SetTabIndex(page ? page->GetTabIndex() : -1);
}

int TPageControl::GetActivePageIndex() const { return activePage_ ? activePage_->GetPageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
  if (pages_.empty()) return nullptr;
  int n = PageCount();
  auto it = std::find(pages_.begin(), pages_.end(), current);
  int start = it == pages_.end() ? (goForward ? n - 1 : 0) : static_cast<int>(it - pages_.begin());
  int i = start;
  for (int step = 0; step < n; ++step) {
    i = goForward ? (i + 1) % n : (i + n - 1) % n;
    TTabSheet* page = pages_[static_cast<size_t>(i)];
    if (!checkTabVisible || page->GetTabVisible()) return page;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* page = FindNextPage(activePage_, goForward, checkTabVisible);
  if (page && page != activePage_ && CanChange()) {
    SetTabIndex(page->GetTabIndex());
    if (!page->GetTabVisible()) ShowPage(page);
    Change();
  }
}

void TPageControl::Change() {
  // The active page follows the selected tab.
  if (TTabSheet* page = PageOfTab(GetTabIndex())) ShowPage(page);
  TCustomTabControl::Change();
}

int TPageControl::GetImageIndex(int tabIndex) {
  TTabSheet* page = PageOfTab(tabIndex);
  int image = page ? page->GetImageIndex() : tabIndex;
  if (OnGetImageIndex) OnGetImageIndex(this, tabIndex, image);
  return image;
}

void TPageControl::Dispatch(TMessage& m) {
  // Ctrl+Tab and Ctrl+Shift+Tab turn the pages while the focus is in the page control.
  if (m.Msg == CM_DIALOGKEY && m.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && HandleAllocated()) {
    HWND focus = ::GetFocus();
    if (focus && (focus == GetHandle() || IsChild(GetHandle(), focus))) {
      SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
      m.Result = 1;
      return;
    }
  }
  TCustomTabControl::Dispatch(m);
}
