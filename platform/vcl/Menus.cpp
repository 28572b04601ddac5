#include "platform/vcl/Menus.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/AllocateHWnd.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Form.h"

QUILLO_DEFINE_PUBLISHED_CLASS(TMenuItem, TComponent)
QUILLO_DEFINE_PUBLISHED_CLASS(TMenu, TComponent)
QUILLO_DEFINE_PUBLISHED_CLASS(TMainMenu, TMenu)
QUILLO_DEFINE_PUBLISHED_CLASS(TPopupMenu, TMenu)
QUILLO_DEFINE_ENUM_TYPE(TMenuBreak, "mbNone", "mbBreak", "mbBarBreak")
QUILLO_DEFINE_ENUM_TYPE(TPopupAlignment, "paLeft", "paRight", "paCenter")
QUILLO_DEFINE_ENUM_TYPE(TTrackButton, "tbRightButton", "tbLeftButton")

EMenuError::EMenuError(AnsiString message) : Exception(std::move(message)) {}
EMenuError::~EMenuError() = default;

namespace {

// Command ids of menu items: unique while the item lives, below the system commands and the
// MDI children's ids.
UINT NextCommand() {
  static UINT next = 100;
  UINT id = next++;
  if (next >= 0xE000) next = 100;
  return id;
}

struct KeyName {
  WORD key;
  const char* name;
};
constexpr KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"}, {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"}, {VK_HOME, "Home"}, {VK_LEFT, "Left"},
    {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

AnsiString KeyText(WORD key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return AnsiString(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F1 + 23) {
    AnsiString name = "F";
    name += IntToStr(key - VK_F1 + 1);
    return name;
  }
  for (const KeyName& k : kKeyNames)
    if (k.key == key) return k.name;
  return "";
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key & 0xFF00) return scNone;
  TShortCut result = key;
  if (shift.Contains(ssShift)) result |= scShift;
  if (shift.Contains(ssCtrl)) result |= scCtrl;
  if (shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = TShiftState();
  if (shortCut & scShift) shift << ssShift;
  if (shortCut & scCtrl) shift << ssCtrl;
  if (shortCut & scAlt) shift << ssAlt;
}

AnsiString ShortCutToText(TShortCut shortCut) {
  AnsiString name = KeyText(static_cast<WORD>(shortCut & 0xFF));
  if (name.empty()) return "";
  AnsiString prefix;
  if (shortCut & scShift) prefix += "Shift+";
  if (shortCut & scCtrl) prefix += "Ctrl+";
  if (shortCut & scAlt) prefix += "Alt+";
  return prefix + name;
}

TShortCut TextToShortCut(const AnsiString& text) {
  AnsiString rest = text;
  TShortCut modifiers = 0;
  for (bool found = true; found;) {
    found = false;
    for (auto [name, bit] : {std::pair<const char*, TShortCut>{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
      AnsiString n = name;
      if (rest.size() > n.size() && UpperCase(rest.substr(0, n.size())) == UpperCase(n)) {
        modifiers |= bit;
        rest = rest.substr(n.size());
        found = true;
      }
    }
  }
  for (int key = 1; key < 256; ++key)
    if (!KeyText(static_cast<WORD>(key)).empty() && UpperCase(KeyText(static_cast<WORD>(key))) == UpperCase(rest))
      return static_cast<TShortCut>(key | modifiers);
  return scNone;
}

AnsiString StripHotkey(const AnsiString& text) {
  AnsiString out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out += '&';
      if (i + 1 < text.size()) ++i;
      else continue;
      if (text[i] == '&') continue;
    }
    out += text[i];
  }
  return out;
}

// ---- TMenuItem ----

const TPropTable* TMenuItem::PublishedProperties() {
  static const TPropTable table = TPublisher<TMenuItem>()
                                      .Property("AutoCheck", &TMenuItem::GetAutoCheck, &TMenuItem::SetAutoCheck)
                                      .Property("Break", &TMenuItem::GetBreak, &TMenuItem::SetBreak)
                                      .Property("Caption", &TMenuItem::GetCaption, &TMenuItem::SetCaption)
                                      .Property("Checked", &TMenuItem::GetChecked, &TMenuItem::SetChecked)
                                      .Property("Default", &TMenuItem::GetDefault, &TMenuItem::SetDefault)
                                      .Property("Enabled", &TMenuItem::GetEnabled, &TMenuItem::SetEnabled)
                                      .Property("GroupIndex", &TMenuItem::GetGroupIndex, &TMenuItem::SetGroupIndex)
                                      .Property("HelpContext", &TMenuItem::GetHelpContext, &TMenuItem::SetHelpContext)
                                      .Property("Hint", &TMenuItem::GetHint, &TMenuItem::SetHint)
                                      .Property("ImageIndex", &TMenuItem::GetImageIndex, &TMenuItem::SetImageIndex)
                                      .Property("RadioItem", &TMenuItem::GetRadioItem, &TMenuItem::SetRadioItem)
                                      .Property("ShortCut", [](const TMenuItem* item) { return static_cast<int>(item->GetShortCut()); },
                                                [](TMenuItem* item, int value) { item->SetShortCut(static_cast<TShortCut>(value)); })
                                      .Property("Visible", &TMenuItem::GetVisible, &TMenuItem::SetVisible)
                                      .Table();
  return &table;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {}

TMenuItem::~TMenuItem() {
  if (parent_) parent_->Remove(this);
  while (!items_.empty()) {
    TMenuItem* item = items_.back();
    items_.pop_back();
    item->parent_ = nullptr;
    FreeObject(item);
  }
  if (handle_) DestroyMenu(handle_);
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EMenuError("Menu index out of range");
  return items_[static_cast<size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_) throw EMenuError("Menu inserted twice");
  if (index < 0 || index > Count()) throw EMenuError("Menu index out of range");
  for (const TMenuItem* p = this; p; p = p->parent_)
    if (p == item) throw EMenuError("A menu item cannot hold itself");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  RebuildHandle();
  if (parent_ && Count() == 1) Changed();  // this item has become a submenu
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  RebuildHandle();
  if (parent_ && items_.empty()) Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  int index = IndexOf(item);
  if (index < 0) throw EMenuError("Menu item not found");
  Delete(index);
}

void TMenuItem::Clear() {
  while (!items_.empty()) FreeObject(items_.back());
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const AnsiString& caption) const {
  AnsiString sought = UpperCase(StripHotkey(caption));
  for (TMenuItem* item : items_)
    if (UpperCase(StripHotkey(item->caption_)) == sought) return item;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return root->menu_;
}

void TMenuItem::SetCaption(const AnsiString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed();
}

void TMenuItem::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (checked && radioItem_) UncheckGroup();
  Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

void TMenuItem::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed();
}

void TMenuItem::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  if (value && parent_)  // one default item per menu
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this) sibling->default_ = false;
  Changed();
}

void TMenuItem::SetRadioItem(bool value) {
  if (value == radioItem_) return;
  radioItem_ = value;
  if (checked_ && radioItem_) UncheckGroup();
  Changed();
}

void TMenuItem::SetGroupIndex(std::uint8_t index) {
  if (index == groupIndex_) return;
  groupIndex_ = index;
  if (checked_ && radioItem_) UncheckGroup();
  Changed();
}

void TMenuItem::SetBreak(TMenuBreak value) {
  if (value == break_) return;
  break_ = value;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
  if (shortCut == shortCut_) return;
  shortCut_ = shortCut;
  Changed();
}

void TMenuItem::SetImageIndex(int index) {
  if (index == imageIndex_) return;
  imageIndex_ = index;
  Changed();
}

void TMenuItem::UncheckGroup() {
  if (!parent_) return;
  for (TMenuItem* sibling : parent_->items_)
    if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_ && sibling->checked_) {
      sibling->checked_ = false;
    }
}

void TMenuItem::Click() {
  if (autoCheck_ && enabled_) SetChecked(!checked_ || radioItem_);
  if (OnClick) OnClick(this);
}

TMenuItem* TMenuItem::FindItem(UINT value, TFindItemKind kind) {
  switch (kind) {
    case fkCommand:
      if (command_ == value && items_.empty()) return this;
      break;
    case fkHandle:
      if (handle_ && reinterpret_cast<UINT_PTR>(handle_) == value) return this;
      break;
    case fkShortCut:
      if (shortCut_ == value && value != scNone) return this;
      break;
  }
  for (TMenuItem* item : items_)
    if (TMenuItem* found = item->FindItem(value, kind)) return found;
  return nullptr;
}

HMENU TMenuItem::GetHandle() {
  if (!handle_) {
    handle_ = (menu_ && !menu_->IsPopup()) ? CreateMenu() : CreatePopupMenu();
    RebuildHandle();
  }
  return handle_;
}

void TMenuItem::Changed() {
  if (ComponentState().Contains(csDestroying)) return;
  if (parent_) parent_->RebuildHandle();
}

TBitmap* TMenuItem::GetBitmap() {
  if (!bitmap_) bitmap_ = MakeObject<TBitmap>();
  return bitmap_.get();
}

void TMenuItem::SetBitmap(TBitmap* bitmap) {
  GetBitmap()->Assign(bitmap);
  Changed();
}

// The picture of the item's image (or else of its own bitmap), on the menu's colour, for the
// check column.
HBITMAP TMenuItem::ImageBitmap() {
  TMenu* menu = GetParentMenu();
  TCustomImageList* images = menu ? menu->GetImages() : nullptr;
  const bool listImage = images && imageIndex_ >= 0 && imageIndex_ < images->GetCount();
  const bool ownImage = !listImage && bitmap_ && !bitmap_->Empty();
  if (!listImage && !ownImage) {
    image_.reset();
    return nullptr;
  }
  // The own bitmap goes through a one-image list, which leaves its transparent colour out
  // and draws the disabled look.
  TOwnedPtr<TImageList> single;
  if (ownImage) {
    single = MakeObject<TImageList>(nullptr, bitmap_->GetWidth(), bitmap_->GetHeight());
    single->AddMasked(bitmap_.get(), bitmap_->GetTransparentColor());
    images = single.get();
  }
  const int index = ownImage ? 0 : imageIndex_;
  if (!image_) image_ = MakeObject<TBitmap>();
  image_->SetSize(images->GetWidth(), images->GetHeight());
  image_->GetCanvas()->GetBrush()->SetColor(clMenu);
  image_->GetCanvas()->FillRect(TRect(0, 0, images->GetWidth(), images->GetHeight()));
  images->Draw(image_->GetCanvas(), 0, 0, index, enabled_);
  return image_->GetHandle();
}

void TMenuItem::AppendTo(HMENU menu) {
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING | MIIM_BITMAP;
  info.fType = IsLine() ? MFT_SEPARATOR : MFT_STRING;
  if (radioItem_) info.fType |= MFT_RADIOCHECK;
  if (break_ == mbBreak) info.fType |= MFT_MENUBREAK;
  if (break_ == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
  info.fState = (enabled_ ? 0 : MFS_GRAYED) | (checked_ ? MFS_CHECKED : 0) | (default_ ? MFS_DEFAULT : 0);
  info.wID = command_;
  info.hSubMenu = items_.empty() ? nullptr : GetHandle();
  info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  AnsiString text = caption_;
  if (shortCut_ != scNone && !ShortCutToText(shortCut_).empty()) {
    text += '\t';
    text += ShortCutToText(shortCut_);
  }
  info.dwTypeData = const_cast<LPSTR>(text.c_str());
  info.hbmpItem = IsLine() ? nullptr : ImageBitmap();
  InsertMenuItem(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
}

void TMenuItem::RebuildHandle() {
  if (!handle_ || ComponentState().Contains(csDestroying)) return;
  // Items come out without their submenus being destroyed: each item keeps its own.
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  for (TMenuItem* item : items_)
    if (item->visible_) item->AppendTo(handle_);
  if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

// ---- TMenu ----

const TPropTable* TMenu::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TMenu>().Property("Images", &TMenu::GetImages, &TMenu::SetImages).Table();
  return &table;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(MakeObject<TMenuItem>(nullptr)) { items_->SetRootOf(this); }

TMenu::~TMenu() {
  if (window_ && IsWindow(window_) && GetMenu(window_) == items_->handle_) ::SetMenu(window_, nullptr);
  items_.reset();
}

void TMenu::SetImages(TCustomImageList* images) {
  if (images == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images_) images_->FreeNotification(this);
  // Every level's pictures change.
  std::vector<TMenuItem*> pending{items_.get()};
  while (!pending.empty()) {
    TMenuItem* item = pending.back();
    pending.pop_back();
    item->RebuildHandle();
    for (int i = 0; i < item->Count(); ++i) pending.push_back(item->Items(i));
  }
}

void TMenu::SetWindowHandle(HWND window) { window_ = window; }

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == images_) SetImages(nullptr);
}

void TMenu::MenuChanged() {}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FindItem(command, fkCommand);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU submenu) {
  TMenuItem* item = FindItem(static_cast<UINT>(reinterpret_cast<UINT_PTR>(submenu)), fkHandle);
  if (!item) return false;
  if (item != items_.get()) item->Click();  // a submenu's own OnClick runs as it opens
  return true;
}

bool TMenu::IsShortCut(const TMessage& message) {
  TShortCut shortCut = ShortCut(static_cast<WORD>(message.WParam), KeyDataToShiftState(message.LParam));
  if (shortCut == scNone) return false;
  TMenuItem* item = FindItem(shortCut, fkShortCut);
  if (!item) return false;
  // Its parents run their OnClick first, as when the menu is opened, so they can update it.
  std::vector<TMenuItem*> chain;
  for (TMenuItem* p = item->GetParent(); p && p != items_.get(); p = p->GetParent()) chain.push_back(p);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->Click();
  item = FindItem(shortCut, fkShortCut);  // a handler may have changed the tree
  if (!item) return true;
  for (TMenuItem* p = item; p && p != items_.get(); p = p->GetParent())
    if (!p->GetEnabled() || !p->GetVisible()) return true;  // used up, not run
  item->Click();
  return true;
}

void TMenu::ShowHintFor(WPARAM wParam, LPARAM lParam) {
  UINT flags = HIWORD(wParam);
  TMenuItem* item = nullptr;
  if (flags == 0xFFFF && lParam == 0) {
    Application()->SetHint("");
    return;
  }
  if (flags & MF_POPUP) {
    HMENU sub = GetSubMenu(reinterpret_cast<HMENU>(lParam), LOWORD(wParam));
    if (sub) item = FindItem(static_cast<UINT>(reinterpret_cast<UINT_PTR>(sub)), fkHandle);
  } else {
    item = FindItem(LOWORD(wParam), fkCommand);
  }
  Application()->SetHint(item ? GetLongHint(item->GetHint()) : AnsiString());
}

// ---- TMainMenu ----

const TPropTable* TMainMenu::PublishedProperties() {
  static const TPropTable table = TPublisher<TMainMenu>().Table();
  return &table;
}

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

// The bar is redrawn; an MDI frame's client puts its list of children back into the window
// menu that was just rebuilt.
void TMainMenu::MenuChanged() {
  HWND window = GetWindowHandle();
  if (!window || !IsWindow(window) || GetMenu(window) != GetItems()->GetHandle()) return;
  auto* form = dynamic_cast<TCustomForm*>(FindControl(window));
  if (form && form->ClientHandle()) {
    TMenuItem* windowMenu = form->GetWindowMenu();
    HMENU list = windowMenu && windowMenu->Count() > 0 ? windowMenu->GetHandle() : nullptr;
    if (list) SendMessage(form->ClientHandle(), WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(list));
  }
  DrawMenuBar(window);
}

// ---- TPopupMenu ----

const TPropTable* TPopupMenu::PublishedProperties() {
  static const TPropTable table = TPublisher<TPopupMenu>()
                                      .Property("Alignment", &TPopupMenu::GetAlignment, &TPopupMenu::SetAlignment)
                                      .Property("AutoPopup", &TPopupMenu::GetAutoPopup, &TPopupMenu::SetAutoPopup)
                                      .Property("TrackButton", &TPopupMenu::GetTrackButton, &TPopupMenu::SetTrackButton)
                                      .Table();
  return &table;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {
  window_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
  SetWindowHandle(window_);
}

TPopupMenu::~TPopupMenu() {
  SetWindowHandle(nullptr);
  DeallocateHWnd(window_);
}

void TPopupMenu::SetPopupComponent(TComponent* component) {
  if (component == popupComponent_) return;
  // The old component's link stays: links run both ways, and it may hold this menu itself
  // (as its PopupMenu or a drop-down menu). A stale link costs nothing and goes with either side.
  popupComponent_ = component;
  if (popupComponent_) popupComponent_->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::DoPopup(TObject* sender) {
  if (OnPopup) OnPopup(sender);
}

void TPopupMenu::Popup(int x, int y) {
  DoPopup(this);
  UINT align = alignment_ == paRight ? TPM_RIGHTALIGN : alignment_ == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
  UINT track = trackButton_ == tbRightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON;
  UINT command = static_cast<UINT>(TrackPopupMenu(GetHandle(), align | track | TPM_RETURNCMD, x, y, 0, window_, nullptr));
  if (command) DispatchCommand(command);
}

void TPopupMenu::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_INITMENUPOPUP: DispatchPopup(reinterpret_cast<HMENU>(m.WParam)); return;
    case WM_MENUSELECT: ShowHintFor(m.WParam, m.LParam); return;
    case WM_COMMAND:
      if (DispatchCommand(LOWORD(m.WParam))) return;
      break;
  }
  m.Result = DefWindowProc(window_, m.Msg, m.WParam, m.LParam);
}
