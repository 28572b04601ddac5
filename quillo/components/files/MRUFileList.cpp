#include "quillo/components/files/MRUFileList.h"

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Registry.h"
#include "quillo/components/persistence/SettingsStore.h"

QUILLO_DEFINE_ENUM_TYPE(TRootKey, "rkClassesRoot", "rkCurrentUser", "rkLocalMachine", "rkUsers", "rkCurrentConfig",
                        "rkDynData")

QUILLO_DEFINE_CLASS(TMRUMenuItem, TMenuItem)

TMRUMenuItem::TMRUMenuItem(TComponent* list, int number, const AnsiString& fullCaption)
    : TMenuItem(list), number_(number), fullCaption_(fullCaption) {}

TMRUFileList* TMRUMenuItem::List() const { return dynamic_cast<TMRUFileList*>(Owner()); }

void TMRUMenuItem::Click() {
  // The list may rebuild its menu and free this item: nothing of it is touched afterwards.
  const int number = number_;
  TMRUFileList* list = List();
  TMenuItem::Click();
  if (list && number > 0) list->ItemClicked(number);
}

namespace {

// A menu shows "&&" as one "&"; a file name's own ampersands must not become hotkeys.
AnsiString EscapeAmpersands(const AnsiString& text) {
  AnsiString out;
  for (char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

}  // namespace

AnsiString MinimizeName(const AnsiString& path, int width, const std::function<int(const AnsiString&)>& measure) {
  if (!measure || measure(path) <= width) return path;
  // Drop leading folders one by one: "/a/b/c/f.png" -> ".../b/c/f.png" -> ".../c/f.png".
  AnsiString rest = path;
  for (;;) {
    const size_t slash = rest.find('/', rest[0] == '/' ? 1 : 0);
    if (slash == AnsiString::npos) break;
    rest = rest.substr(slash);
    const AnsiString candidate = "..." + rest;
    if (measure(candidate) <= width) return candidate;
    if (rest.size() > 0 && rest[0] == '/') rest = rest.substr(1);
  }
  AnsiString shortened = "...";
  if (!rest.empty() && rest[0] != '/') shortened += '/';
  return shortened + rest;
}

QUILLO_DEFINE_PUBLISHED_CLASS(TMRUFileList, TComponent)

const TPropTable* TMRUFileList::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TMRUFileList>()
          .Property("Maximum", &TMRUFileList::GetMaximum, &TMRUFileList::SetMaximum)
          .Property("RemoveOnClick", [](const TMRUFileList* l) { return l->RemoveOnClick; },
                    [](TMRUFileList* l, bool v) { l->RemoveOnClick = v; })
          .Property("UseSubmenu", &TMRUFileList::GetUseSubmenu, &TMRUFileList::SetUseSubmenu)
          .Property("InsertSeparator", &TMRUFileList::GetInsertSeparator, &TMRUFileList::SetInsertSeparator)
          .Property("SubmenuName", &TMRUFileList::GetSubmenuName, &TMRUFileList::SetSubmenuName)
          .Property("AutoSave", [](const TMRUFileList* l) { return l->AutoSave; },
                    [](TMRUFileList* l, bool v) { l->AutoSave = v; })
          .Property("AutoSaveName", [](const TMRUFileList* l) { return l->AutoSaveName; },
                    [](TMRUFileList* l, const AnsiString& v) { l->AutoSaveName = v; })
          .Property("AutoSaveKey", [](const TMRUFileList* l) { return l->AutoSaveKey; },
                    [](TMRUFileList* l, const AnsiString& v) { l->AutoSaveKey = v; })
          .Property("AutoSaveRootKey", [](const TMRUFileList* l) { return l->AutoSaveRootKey; },
                    [](TMRUFileList* l, TRootKey v) { l->AutoSaveRootKey = v; })
          .Property("FileMenu", &TMRUFileList::GetFileMenu, &TMRUFileList::SetFileMenu)
          .Property("MaxCaptionWidth", &TMRUFileList::GetMaxCaptionWidth, &TMRUFileList::SetMaxCaptionWidth)
          .Property("UseRegistry", [](const TMRUFileList* l) { return l->UseRegistry; },
                    [](TMRUFileList* l, bool v) { l->UseRegistry = v; })
          .Table();
  return &table;
}

TMRUFileList::TMRUFileList(TComponent* owner) : TComponent(owner), names_(MakeObject<TStringList>()) {
  MeasureCaption = [](const AnsiString& text) {
    // Measured on a bitmap's canvas with the font a menu shows.
    auto bitmap = MakeObject<TBitmap>();
    bitmap->SetSize(1, 1);
    NONCLIENTMETRICS metrics;
    if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
      if (HFONT font = CreateFontIndirect(&metrics.lfMenuFont)) bitmap->GetCanvas()->GetFont()->SetHandle(font);
    return bitmap->GetCanvas()->TextWidth(text);
  };
}

TMRUFileList::~TMRUFileList() = default;

void TMRUFileList::BeforeDestruction() {
  if (!Freed() && AutoSave && !ComponentState().Contains(csDesigning)) {
    try {
      Save();
    } catch (const std::exception&) {
      // The list is going with its form; a store that cannot be written keeps what it had.
    }
  }
  if (!Freed()) RemoveAllItems();
  TComponent::BeforeDestruction();
}

void TMRUFileList::Loaded() {
  TComponent::Loaded();
  if (AutoSave && !ComponentState().Contains(csDesigning)) Load();
}

void TMRUFileList::Changed() {
  if (!updating_) PopulateMenu();
}

void TMRUFileList::Cut(bool fromEnd) {
  while (names_->Count() > maximum_) names_->Delete(fromEnd ? names_->Count() - 1 : 0);
}

void TMRUFileList::SetMaximum(int value) {
  value = std::clamp(value, 0, 255);
  if (value == maximum_) return;
  const bool lowered = value < maximum_;
  maximum_ = value;
  if (lowered) {
    Cut(true);
    Changed();
  }
}

void TMRUFileList::SetUseSubmenu(bool value) {
  if (value == useSubmenu_) return;
  useSubmenu_ = value;
  Changed();
}

void TMRUFileList::SetInsertSeparator(bool value) {
  if (value == insertSeparator_) return;
  insertSeparator_ = value;
  Changed();
}

void TMRUFileList::SetSubmenuName(const AnsiString& value) {
  if (value == submenuName_) return;
  submenuName_ = value;
  if (useSubmenu_) Changed();
}

void TMRUFileList::SetMaxCaptionWidth(int value) {
  if (value == maxCaptionWidth_) return;
  maxCaptionWidth_ = value;
  Changed();
}

void TMRUFileList::SetFileMenu(TMenuItem* menu) {
  RemoveAllItems();
  if (fileMenu_ && fileMenu_ != menu) fileMenu_->RemoveFreeNotification(this);
  fileMenu_ = menu;
  if (fileMenu_) fileMenu_->FreeNotification(this);
  Changed();
}

void TMRUFileList::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == fileMenu_ && component) {
    // Items it gave to its parent menu would be left there with no one to update them.
    fileMenu_ = nullptr;
    RemoveAllItems();
  }
}

void TMRUFileList::InsertItem(int index, const AnsiString& name) {
  const int at = names_->IndexOf(name);  // without regard to case
  index = std::clamp(index, 0, names_->Count());
  if (at < 0) {
    names_->Insert(index, name);
    Cut(true);
  } else {
    names_->Delete(at);
    names_->Insert(std::min(index, names_->Count()), name);
  }
  Changed();
}

void TMRUFileList::AddItem(const AnsiString& name) {
  const int at = names_->IndexOf(name);
  if (at < 0) {
    names_->Add(name);
    Cut(false);
  } else {
    names_->Delete(at);
    names_->Insert(0, name);
  }
  Changed();
}

void TMRUFileList::ReplaceItem(const AnsiString& oldName, const AnsiString& newName) {
  const int at = names_->IndexOf(oldName);
  if (at < 0) return;
  names_->Put(at, newName);
  Changed();
}

void TMRUFileList::AddStringList(const TStrings* list) {
  updating_ = true;
  try {
    for (int i = 0; i < list->Count(); ++i) AddItem(list->Strings(i));
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
  PopulateMenu();
}

void TMRUFileList::ClearItem(const AnsiString& name) {
  const int at = names_->IndexOf(name);
  if (at < 0) return;
  names_->Delete(at);
  PopulateMenu();
}

void TMRUFileList::RemoveAllItems() {
  // Newest first, which is last to first in the menu: a submenu's items go before it.
  for (;;) {
    TMRUMenuItem* last = nullptr;
    for (int i = ComponentCount() - 1; i >= 0 && !last; --i) last = dynamic_cast<TMRUMenuItem*>(Components(i));
    if (!last) return;
    FreeObject(last);
  }
}

void TMRUFileList::ClearAllItems() {
  RemoveAllItems();
  names_->Clear();
}

std::vector<TMRUMenuEntry> TMRUFileList::MenuEntries() const {
  std::vector<TMRUMenuEntry> entries;
  for (int i = 0; i < names_->Count(); ++i) {
    TMRUMenuEntry entry;
    entry.Number = i + 1;
    const AnsiString prefix = Format("&%d ", i + 1);
    entry.FullCaption = prefix + names_->Strings(i);
    entry.Caption = prefix + EscapeAmpersands(maxCaptionWidth_ != 0
                                                  ? MinimizeName(names_->Strings(i), maxCaptionWidth_, MeasureCaption)
                                                  : names_->Strings(i));
    entries.push_back(entry);
  }
  return entries;
}

std::vector<TMRUMenuItem*> TMRUFileList::MenuItems() const {
  std::vector<TMRUMenuItem*> items;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* item = dynamic_cast<TMRUMenuItem*>(Components(i)); item && item->Number() > 0) items.push_back(item);
  return items;
}

void TMRUFileList::PopulateMenu() {
  RemoveAllItems();
  if (!fileMenu_ || names_->Count() == 0 || ComponentState().Contains(csDestroying)) return;
  // After the file menu's own items, or, when it has none, in front of it in its parent.
  TMenuItem* holder = fileMenu_;
  int at = fileMenu_->Count();
  if (at == 0) {
    holder = fileMenu_->GetParent();
    if (!holder) return;  // not in a menu yet: nowhere to show them
    at = fileMenu_->MenuIndex();
  }
  if (insertSeparator_) {
    auto* line = NewComponent<TMRUMenuItem>(this, 0, AnsiString(cLineCaption));
    line->SetCaption(cLineCaption);
    holder->Insert(at++, line);
  }
  if (useSubmenu_) {
    auto* submenu = NewComponent<TMRUMenuItem>(this, 0, submenuName_);
    submenu->SetCaption(submenuName_);
    holder->Insert(at, submenu);
    holder = submenu;
    at = 0;
  }
  for (const TMRUMenuEntry& entry : MenuEntries()) {
    auto* item = NewComponent<TMRUMenuItem>(this, entry.Number, entry.FullCaption);
    item->SetCaption(entry.Caption);
    holder->Insert(at++, item);
  }
}

void TMRUFileList::ItemClicked(int number) {
  if (number < 1 || number > names_->Count()) return;
  const AnsiString name = names_->Strings(number - 1);
  if (RemoveOnClick) {
    names_->Delete(number - 1);
    PopulateMenu();
  }
  if (OnMRUItemClick) OnMRUItemClick(this, name);
}

TOwnedPtr<TObject> TMRUFileList::OpenStore() const {
  if (!UseRegistry) return TOwnedPtr<TObject>(MakeObject<TIniFile>(AutoSaveName).release());
  auto reg = MakeObject<TRegIniFile>(AutoSaveName);
  if (AutoSaveRootKey != rkCurrentUser) {
    static const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
                                 HKEY_USERS,        HKEY_CURRENT_CONFIG, HKEY_DYN_DATA};
    reg->SetRootKey(roots[AutoSaveRootKey]);
    reg->OpenKey(AutoSaveName, true);
  }
  return TOwnedPtr<TObject>(reg.release());
}

bool TMRUFileList::Save() {
  if (AutoSaveName.empty() || AutoSaveKey.empty()) return false;
  TOwnedPtr<TObject> store = OpenStore();
  IniEraseSection(store.get(), AutoSaveKey);
  for (int i = 0; i < names_->Count(); ++i)
    IniWriteString(store.get(), AutoSaveKey, Format("F%d", i), names_->Strings(i));
  return true;
}

void TMRUFileList::Load() {
  if (AutoSaveName.empty() || AutoSaveKey.empty()) return;
  TOwnedPtr<TObject> store = OpenStore();
  // By name, F0 first, so the order is the list's whatever order the store keeps its values in.
  names_->Clear();
  const AnsiString missing = "\x01";
  for (int i = 0;; ++i) {
    const AnsiString name = IniReadString(store.get(), AutoSaveKey, Format("F%d", i), missing);
    if (name == missing) break;
    if (!name.empty() && names_->IndexOf(name) < 0) names_->Add(name);
  }
  Cut(true);
  PopulateMenu();
}
