#include "quillo/components/persistence/FormPlacement.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/persistence/PlacementRecord.h"
#include "quillo/components/persistence/PropsStorage.h"
#include "quillo/components/persistence/SettingsStore.h"
#include "quillo/components/utilities/StrUtils.h"

QUILLO_DEFINE_ENUM_TYPE(TPlacementOption, "fpState", "fpPosition", "fpActiveControl")
QUILLO_DEFINE_SET_TYPE(TPlacementOptions, TPlacementOption)
QUILLO_DEFINE_ENUM_TYPE(TPlacementRegRoot, "prCurrentUser", "prLocalMachine", "prCurrentConfig", "prClassesRoot",
                        "prUsers", "prDynData")

namespace {

const char* const kFormVersion = "FormVersion";
const char* const kActiveControl = "ActiveControl";
const char* const kVisible = "Visible";

HKEY RootKeyOf(TPlacementRegRoot root) {
  switch (root) {
    case prLocalMachine: return HKEY_LOCAL_MACHINE;
    case prCurrentConfig: return HKEY_CURRENT_CONFIG;
    case prClassesRoot: return HKEY_CLASSES_ROOT;
    case prUsers: return HKEY_USERS;
    case prDynData: return HKEY_DYN_DATA;
    case prCurrentUser: break;
  }
  return HKEY_CURRENT_USER;
}

}  // namespace

// ---- TWinMinMaxInfo

QUILLO_DEFINE_PUBLISHED_CLASS(TWinMinMaxInfo, TPersistent)

const TPropTable* TWinMinMaxInfo::PublishedProperties() {
  auto field = [](Field f) {
    return std::make_pair([f](const TWinMinMaxInfo* i) { return i->Get(f); },
                          [f](TWinMinMaxInfo* i, int v) { i->Set(f, v); });
  };
  TPublisher<TWinMinMaxInfo> publisher;
  static const char* const names[FieldCount] = {"MaxPosLeft",    "MaxPosTop",      "MaxSizeHeight",
                                                "MaxSizeWidth",  "MaxTrackHeight", "MaxTrackWidth",
                                                "MinTrackHeight", "MinTrackWidth"};
  for (int f = 0; f < FieldCount; ++f) {
    auto [get, set] = field(static_cast<Field>(f));
    publisher.Property(names[f], get, set);
  }
  static const TPropTable table = publisher.Table();
  return &table;
}

void TWinMinMaxInfo::Set(Field field, int value) {
  if (values_[field] == value) return;
  values_[field] = value;
  if (owner_) owner_->MinMaxInfoModified();
}

bool TWinMinMaxInfo::DefaultMinMaxInfo() const {
  return std::all_of(std::begin(values_), std::end(values_), [](int v) { return v == 0; });
}

void TWinMinMaxInfo::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TWinMinMaxInfo*>(source)) {
    std::copy(std::begin(other->values_), std::end(other->values_), std::begin(values_));
    if (owner_) owner_->MinMaxInfoModified();
    return;
  }
  TPersistent::Assign(source);
}

// ---- TIniLink

QUILLO_DEFINE_CLASS(TIniLink, TPersistent)

TIniLink::TIniLink() = default;

TIniLink::~TIniLink() {
  OnSave = nullptr;
  OnLoad = nullptr;
  SetStorage(nullptr);
}

void TIniLink::SetStorage(TFormPlacement* storage) {
  if (storage == storage_) return;
  if (storage_) storage_->RemoveLink(this);
  storage_ = storage;
  if (storage_) storage_->AddLink(this);
}

TObject* TIniLink::IniObject() const { return storage_ ? storage_->GetIniFile() : nullptr; }

AnsiString TIniLink::RootSection() const {
  if (!storage_ || storage_->IniSectionField().empty()) return {};
  return storage_->IniSectionField() + "\\";
}

void TIniLink::SaveToIni() {
  if (OnSave) OnSave(this);
}

void TIniLink::LoadFromIni() {
  if (OnLoad) OnLoad(this);
}

// ---- TFormPlacement

QUILLO_DEFINE_PUBLISHED_CLASS(TFormPlacement, TComponent)

const TPropTable* TFormPlacement::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TFormPlacement>()
          .Property("Active", &TFormPlacement::GetActive, &TFormPlacement::SetActive)
          .Property("IniFileName", [](const TFormPlacement* p) { return p->iniFileName_; },
                    &TFormPlacement::SetIniFileName)
          .Property("IniSection", [](const TFormPlacement* p) { return p->iniSection_; },
                    &TFormPlacement::SetIniSection)
          .Property("MinMaxInfo", &TFormPlacement::GetMinMaxInfo, &TFormPlacement::SetMinMaxInfo)
          .Property("Options", &TFormPlacement::GetOptions, &TFormPlacement::SetOptions)
          .Property("PreventResize", &TFormPlacement::GetPreventResize, &TFormPlacement::SetPreventResize)
          .Property("RegistryRoot", &TFormPlacement::GetRegistryRoot, &TFormPlacement::SetRegistryRoot)
          .Property("UseRegistry", &TFormPlacement::GetUseRegistry, &TFormPlacement::SetUseRegistry)
          .Property("Version", &TFormPlacement::GetVersion, &TFormPlacement::SetVersion)
          .Table();
  return &table;
}

TFormPlacement::TFormPlacement(TComponent* owner)
    : TComponent(owner), minMaxInfo_(MakeObject<TWinMinMaxInfo>(this)) {
  if (dynamic_cast<TCustomForm*>(owner)) options_ = TPlacementOptions{fpState, fpPosition};
  winHook_ = NewComponent<TExWindowHook>(this);
  winHook_->SetActive(false);
  winHook_->AfterMessage = [this](TObject* sender, TMessage& m, bool& handled) { WndMessage(sender, m, handled); };
}

TFormPlacement::~TFormPlacement() = default;

void TFormPlacement::BeforeDestruction() {
  if (!Freed()) {
    IniFree();
    std::vector<TIniLink*> links = links_;
    for (TIniLink* link : links) link->SetStorage(nullptr);
    if (winHook_) winHook_->SetWinControl(nullptr);
    RestoreEvents();
  }
  TComponent::BeforeDestruction();
}

TCustomForm* TFormPlacement::Form() const { return dynamic_cast<TCustomForm*>(Owner()); }

void TFormPlacement::Loaded() {
  const bool wasLoading = ComponentState().Contains(csLoading);
  TComponent::Loaded();
  if (!wasLoading || ComponentState().Contains(csDesigning)) return;
  if (TCustomForm* form = Form()) {
    saveShow_ = form->OnShow;
    saveCloseQuery_ = form->OnCloseQuery;
    saveDestroy_ = form->OnDestroy;
    form->OnShow = [this](TObject* sender) { FormShow(sender); };
    form->OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    form->OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
    eventsHooked_ = true;
    defMaximize_ = form->GetBorderIcons().Contains(biMaximize);
    if (preventResize_) ApplyMaximizeBox();
  }
  UpdatePlacement();
  CheckToggleHook();
}

void TFormPlacement::RestoreEvents() {
  if (!eventsHooked_) return;
  eventsHooked_ = false;
  if (TCustomForm* form = Form()) {
    form->OnShow = saveShow_;
    form->OnCloseQuery = saveCloseQuery_;
    form->OnDestroy = saveDestroy_;
  }
}

void TFormPlacement::FormShow(TObject* sender) {
  if (active_) {
    try {
      RestoreFormPlacement();
    } catch (const std::exception&) {
      Application()->HandleException(this);
    }
  }
  if (saveShow_) saveShow_(sender);
}

void TFormPlacement::FormCloseQuery(TObject* sender, bool& canClose) {
  if (saveCloseQuery_) saveCloseQuery_(sender, canClose);
  TCustomForm* form = Form();
  if (canClose && active_ && form && form->HandleAllocated()) {
    try {
      SaveFormPlacement();
    } catch (const std::exception&) {
      Application()->HandleException(this);
    }
  }
}

void TFormPlacement::FormDestroy(TObject* sender) {
  if (active_ && !saved_) {
    destroying_ = true;
    try {
      SaveFormPlacement();
    } catch (const std::exception&) {
      Application()->HandleException(this);
    }
    destroying_ = false;
  }
  if (saveDestroy_) saveDestroy_(sender);
}

AnsiString TFormPlacement::GetIniFileName() const {
  if (!iniFileName_.empty()) return iniFileName_;
  return useRegistry_ ? GetDefaultIniRegKey() : GetDefaultIniName();
}

AnsiString TFormPlacement::GetIniSection() const {
  return iniSection_.empty() ? GetDefaultSection(Owner()) : iniSection_;
}

void TFormPlacement::IniNeeded() {
  if (store_) return;
  if (useRegistry_) {
    auto reg = MakeObject<TRegIniFile>(GetIniFileName());
    if (registryRoot_ != prCurrentUser) {
      reg->SetRootKey(RootKeyOf(registryRoot_));
      reg->OpenKey(GetIniFileName(), true);
    }
    store_.reset(reg.release());
  } else {
    store_.reset(MakeObject<TIniFile>(GetIniFileName()).release());
  }
}

void TFormPlacement::IniFree() { store_.reset(); }

namespace {

// Opens the placement's store for one call when it is not open already.
class StoreScope {
public:
  template <class Open, class Close>
  StoreScope(bool open, Open openStore, Close closeStore) : close_(closeStore), opened_(!open) {
    if (opened_) openStore();
  }
  ~StoreScope() {
    if (opened_) close_();
  }
  StoreScope(const StoreScope&) = delete;
  StoreScope& operator=(const StoreScope&) = delete;

private:
  std::function<void()> close_;
  bool opened_;
};

}  // namespace

#define QUILLO_STORE_SCOPE() \
  StoreScope scope(store_ != nullptr, [this] { IniNeeded(); }, [this] { IniFree(); })

AnsiString TFormPlacement::DoReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) {
  QUILLO_STORE_SCOPE();
  return IniReadString(store_.get(), section, ident, fallback);
}

void TFormPlacement::DoWriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
  QUILLO_STORE_SCOPE();
  IniWriteString(store_.get(), section, ident, value);
}

AnsiString TFormPlacement::ReadString(const AnsiString& ident, const AnsiString& fallback) {
  return DoReadString(GetIniSection(), ident, fallback);
}

void TFormPlacement::WriteString(const AnsiString& ident, const AnsiString& value) {
  DoWriteString(GetIniSection(), ident, value);
}

int TFormPlacement::ReadInteger(const AnsiString& ident, int fallback) {
  QUILLO_STORE_SCOPE();
  return IniReadInteger(store_.get(), GetIniSection(), ident, fallback);
}

void TFormPlacement::WriteInteger(const AnsiString& ident, int value) {
  QUILLO_STORE_SCOPE();
  IniWriteInteger(store_.get(), GetIniSection(), ident, value);
}

void TFormPlacement::EraseSections() {
  if (store_) return;
  QUILLO_STORE_SCOPE();
  TOwnedPtr<TStringList> sections = MakeObject<TStringList>();
  IniReadSections(store_.get(), sections.get());
  const AnsiString section = GetIniSection();
  for (int i = 0; i < sections->Count(); ++i) {
    const AnsiString name = sections->Strings(i);
    if (name == section || IsWild(name, section + ".*", false) || IsWild(name, section + "\\*", false))
      IniEraseSection(store_.get(), name);
  }
}

void TFormPlacement::SaveFormPlacement() {
  // A form that was never shown does not overwrite what it stored last time.
  if (active_ && !restored_) return;
  QUILLO_STORE_SCOPE();
  IniWriteInteger(store_.get(), GetIniSection(), kFormVersion, version_);
  SavePlacement();
  Save();
  saved_ = true;
}

void TFormPlacement::RestoreFormPlacement() {
  saved_ = false;
  {
    QUILLO_STORE_SCOPE();
    if (IniReadInteger(store_.get(), GetIniSection(), kFormVersion, 0) >= version_) {
      RestorePlacement();
      restored_ = true;
      Restore();
      TCustomForm* form = Form();
      if (options_.Contains(fpActiveControl) && form) {
        const AnsiString name = IniReadString(store_.get(), GetIniSection(), kActiveControl, "");
        auto* control = dynamic_cast<TWinControl*>(name.empty() ? nullptr : form->FindComponent(name));
        if (control && control->CanFocus()) form->SetActiveControl(control);
      }
    }
    restored_ = true;
  }
  UpdatePlacement();
}

void TFormPlacement::SavePlacement() {
  if (TCustomForm* form = Form()) {
    const AnsiString section = GetIniSection();
    WriteFormPlacement(form, store_.get(), section);
    if (options_.Contains(fpActiveControl) && form->GetActiveControl())
      IniWriteString(store_.get(), section, kActiveControl, form->GetActiveControl()->GetName());
    IniWriteBool(store_.get(), section, kVisible, destroying_);
  }
  std::vector<TIniLink*> links = links_;
  for (TIniLink* link : links) link->SaveToIni();
}

void TFormPlacement::RestorePlacement() {
  if (TCustomForm* form = Form())
    ReadFormPlacement(form, store_.get(), GetIniSection(), options_.Contains(fpState), options_.Contains(fpPosition));
  std::vector<TIniLink*> links = links_;
  for (TIniLink* link : links) link->LoadFromIni();
}

void TFormPlacement::Save() {
  if (OnSavePlacement) OnSavePlacement(this);
}

void TFormPlacement::Restore() {
  if (OnRestorePlacement) OnRestorePlacement(this);
}

void TFormPlacement::AddLink(TIniLink* link) {
  if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TFormPlacement::RemoveLink(TIniLink* link) { std::erase(links_, link); }

void TFormPlacement::MinMaxInfoModified() {
  UpdatePlacement();
  if (!ComponentState().Contains(csLoading)) CheckToggleHook();
}

void TFormPlacement::UpdatePlacement() {
  TCustomForm* form = Form();
  if (!form || !form->HandleAllocated() || ComponentState().Contains(csLoading) || preventResize_ ||
      !minMaxInfo_->DefaultMinMaxInfo())
    return;
  HWND window = form->GetHandle();
  WINDOWPLACEMENT placement{};
  GetWindowPlacement(window, &placement);
  if (!IsWindowVisible(window)) placement.showCmd = SW_HIDE;
  int fx = 0, fy = 0;
  switch (form->GetBorderStyle()) {
    case bsSingle: case bsToolWindow: fx = GetSystemMetrics(SM_CXBORDER); fy = GetSystemMetrics(SM_CYBORDER); break;
    case bsSizeable: case bsSizeToolWin: fx = GetSystemMetrics(SM_CXFRAME); fy = GetSystemMetrics(SM_CYFRAME); break;
    case bsDialog: fx = GetSystemMetrics(SM_CXDLGFRAME); fy = GetSystemMetrics(SM_CYDLGFRAME); break;
    case bsNone: break;
  }
  placement.ptMaxPosition = POINT{-fx, -fy};
  SetWindowPlacement(window, &placement);
}

bool TFormPlacement::HookNeeded() const { return preventResize_ || !minMaxInfo_->DefaultMinMaxInfo(); }

void TFormPlacement::CheckToggleHook() {
  if (!winHook_ || ComponentState().Contains(csDesigning) || ComponentState().Contains(csDestroying)) return;
  TCustomForm* form = Form();
  if (form && HookNeeded()) {
    winHook_->SetWinControl(form);
    winHook_->SetActive(true);
  } else {
    winHook_->SetActive(false);
  }
}

void TFormPlacement::ApplyMaximizeBox() {
  TCustomForm* form = Form();
  if (!form) return;
  const bool wasActive = active_;
  active_ = false;
  TBorderIcons icons = form->GetBorderIcons();
  if (!preventResize_ && defMaximize_ && form->GetBorderStyle() != bsDialog)
    icons << biMaximize;
  else
    icons >> biMaximize;
  form->SetBorderIcons(icons);
  active_ = wasActive;
}

void TFormPlacement::SetPreventResize(bool value) {
  TCustomForm* form = Form();
  if (!form || value == preventResize_) return;
  preventResize_ = value;
  UpdatePlacement();
  if (value && !ComponentState().Contains(csLoading)) defMaximize_ = form->GetBorderIcons().Contains(biMaximize);
  ApplyMaximizeBox();
  if (!ComponentState().Contains(csLoading)) CheckToggleHook();
}

void TFormPlacement::WndMessage(TObject*, TMessage& m, bool&) {
  TCustomForm* form = Form();
  if (!form) return;
  if (preventResize_) {
    if (m.Msg == WM_GETMINMAXINFO && form->HandleAllocated() && IsWindowVisible(form->GetHandle())) {
      auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
      info->ptMinTrackSize = POINT{form->GetWidth(), form->GetHeight()};
      info->ptMaxTrackSize = POINT{form->GetWidth(), form->GetHeight()};
      m.Result = 1;
    } else if (m.Msg == WM_NCHITTEST && m.Result >= HTLEFT && m.Result <= HTBOTTOMRIGHT) {
      m.Result = HTNOWHERE;
    } else if (m.Msg == WM_INITMENUPOPUP && HIWORD(m.LParam) != 0) {
      // The system menu opens: the system has just set its items from the window's style, and
      // a frozen form is sizeable underneath, so Size and Maximize are greyed here after it.
      HMENU popup = reinterpret_cast<HMENU>(m.WParam);
      if (TMainMenu* menu = form->GetMenu()) menu->DispatchPopup(popup);
      EnableMenuItem(popup, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
      EnableMenuItem(popup, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
      m.Result = 1;
    }
    return;
  }
  if (m.Msg == WM_GETMINMAXINFO) {
    auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
    const TWinMinMaxInfo& limits = *minMaxInfo_;
    if (!limits.DefaultMinMaxInfo()) {
      auto put = [&limits](LONG& target, TWinMinMaxInfo::Field f) {
        if (limits.Get(f) != 0) target = limits.Get(f);
      };
      put(info->ptMinTrackSize.x, TWinMinMaxInfo::MinTrackWidth);
      put(info->ptMinTrackSize.y, TWinMinMaxInfo::MinTrackHeight);
      put(info->ptMaxTrackSize.x, TWinMinMaxInfo::MaxTrackWidth);
      put(info->ptMaxTrackSize.y, TWinMinMaxInfo::MaxTrackHeight);
      put(info->ptMaxSize.x, TWinMinMaxInfo::MaxSizeWidth);
      put(info->ptMaxSize.y, TWinMinMaxInfo::MaxSizeHeight);
      put(info->ptMaxPosition.x, TWinMinMaxInfo::MaxPosLeft);
      put(info->ptMaxPosition.y, TWinMinMaxInfo::MaxPosTop);
    } else {
      info->ptMaxPosition = POINT{0, 0};
    }
    m.Result = 1;
  }
}

// ---- TStoredValue, TStoredValues

QUILLO_DEFINE_CLASS(TStoredValue, TCollectionItem)

void TStoredValue::SetName(const AnsiString& name) {
  if (name == name_) return;
  if (auto* values = dynamic_cast<TStoredValues*>(Collection())) {
    const int other = values->IndexOf(name);
    if (other >= 0 && values->Items(other) != this) throw EStringListError(ComponentsText::DuplicateValueName);
  }
  name_ = name;
  Changed(false);
}

AnsiString TStoredValue::DisplayName() const { return name_.empty() ? TCollectionItem::DisplayName() : name_; }

void TStoredValue::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TStoredValue*>(source)) {
    Value = other->Value;
    KeyString = other->KeyString;
    OnSave = other->OnSave;
    OnRestore = other->OnRestore;
    if (name_.empty()) SetName(other->name_);
    return;
  }
  TCollectionItem::Assign(source);
}

TFormStorage* TStoredValue::Storage() const {
  auto* values = dynamic_cast<TStoredValues*>(Collection());
  return values ? values->Storage() : nullptr;
}

void TStoredValue::Save() {
  TFormStorage* storage = Storage();
  if (!storage) return;
  AnsiString text = Value;
  if (OnSave) OnSave(this, text);
  if (!KeyString.empty()) text = XorEncode(KeyString, text);
  storage->WriteString(name_, text);
}

void TStoredValue::Restore() {
  TFormStorage* storage = Storage();
  if (!storage) return;
  const AnsiString fallback = KeyString.empty() ? Value : XorEncode(KeyString, Value);
  AnsiString text = storage->ReadString(name_, fallback);
  if (!KeyString.empty()) text = XorDecode(KeyString, text);
  if (OnRestore) OnRestore(this, text);
  Value = text;
}

QUILLO_DEFINE_CLASS(TStoredValues, TOwnedCollection)

TStoredValues::TStoredValues(TFormStorage* storage)
    : TOwnedCollection(storage, TStoredValue::StaticClass(), CollectionItemFactory<TStoredValue>()),
      storage_(storage) {}

int TStoredValues::IndexOf(const AnsiString& name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Items(i)->GetName(), name)) return i;
  return -1;
}

TStoredValue* TStoredValues::GetValue(const AnsiString& name) const {
  const int i = IndexOf(name);
  return i < 0 ? nullptr : Items(i);
}

void TStoredValues::SetValue(const AnsiString& name, const TStoredValue* value) {
  if (TStoredValue* item = GetValue(name)) item->Assign(value);
}

TStoredValue* TStoredValues::AddValue(const AnsiString& name, const AnsiString& value) {
  auto* item = static_cast<TStoredValue*>(Add());
  try {
    item->SetName(name);
  } catch (...) {
    Delete(item->Index());
    throw;
  }
  item->Value = value;
  return item;
}

void TStoredValues::SaveValues() {
  for (int i = 0; i < Count(); ++i) Items(i)->Save();
}

void TStoredValues::RestoreValues() {
  for (int i = 0; i < Count(); ++i) Items(i)->Restore();
}

// ---- TFormStorage

QUILLO_DEFINE_PUBLISHED_CLASS(TFormStorage, TFormPlacement)

const TPropTable* TFormStorage::PublishedProperties() {
  static const TPropTable table = TPublisher<TFormStorage>()
                                      .Property("StoredProps", &TFormStorage::GetStoredProps, &TFormStorage::SetStoredProps)
                                      .Property("StoredValues", &TFormStorage::GetStoredValues,
                                                &TFormStorage::SetStoredValues)
                                      .Table();
  return &table;
}

TFormStorage::TFormStorage(TComponent* owner)
    : TFormPlacement(owner), storedProps_(MakeObject<TStringList>()), storedValues_(MakeObject<TStoredValues>(this)) {}

TFormStorage::~TFormStorage() = default;

void TFormStorage::Loaded() {
  TFormPlacement::Loaded();
  ResolveStoredProps();
}

void TFormStorage::ResolveStoredProps() {
  UpdateStoredList(Owner(), storedProps_.get(), true);
  for (int i = 0; i < storedProps_->Count(); ++i)
    if (auto* component = dynamic_cast<TComponent*>(storedProps_->Objects(i))) FreeNotification(component);
}

void TFormStorage::SetStoredProps(TStrings* props) {
  storedProps_->Assign(props);
  ResolveStoredProps();
}

void TFormStorage::Notification(TComponent* component, TOperation operation) {
  TFormPlacement::Notification(component, operation);
  if (operation != opRemove || !storedProps_) return;
  for (int i = storedProps_->Count() - 1; i >= 0; --i)
    if (storedProps_->Objects(i) == component) storedProps_->Delete(i);
}

void TFormStorage::SaveProperties() {
  TOwnedPtr<TPropsStorage> storage = MakeObject<TPropsStorage>();
  storage->Section = GetIniSection();
  storage->OnWriteString = [this](const AnsiString& s, const AnsiString& i, const AnsiString& v) {
    DoWriteString(s, i, v);
  };
  storage->OnEraseSection = [this](const AnsiString& s) { IniEraseSection(GetIniFile(), s); };
  storage->StoreObjectsProps(Owner(), storedProps_.get());
}

void TFormStorage::RestoreProperties() {
  TOwnedPtr<TPropsStorage> storage = MakeObject<TPropsStorage>();
  storage->Section = GetIniSection();
  storage->OnReadString = [this](const AnsiString& s, const AnsiString& i, const AnsiString& d) {
    return DoReadString(s, i, d);
  };
  try {
    storage->LoadObjectsProps(Owner(), storedProps_.get());
  } catch (const std::exception&) {
    // Stored values that no longer fit the form are dropped; the form keeps its own.
  }
}

void TFormStorage::SavePlacement() {
  TFormPlacement::SavePlacement();
  SaveProperties();
  storedValues_->SaveValues();
}

void TFormStorage::RestorePlacement() {
  TFormPlacement::RestorePlacement();
  restored_ = true;
  RestoreProperties();
  storedValues_->RestoreValues();
}
