#pragma once
// TFormPlacement remembers its form's window placement between runs: dropped on a form, it
// saves the position, size and window state into a settings store (a registry key or an INI
// file, SettingsStore.h) when the form closes and puts them back when the form is shown.
// TFormStorage adds chosen published properties of the form's components (StoredProps,
// "Component.Property" lines, PropsStorage.h) and named values (StoredValues).
//
// The form's OnShow, OnCloseQuery and OnDestroy are chained when the form has been built
// (Loaded); a placement made later by code leaves them alone and is driven by calls.

#include <cstdint>

#include "platform/vcl/Collection.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/Strings.h"
#include "quillo/components/utilities/WindowHook.h"

class TFormPlacement;

enum TPlacementOption { fpState, fpPosition, fpActiveControl };
using TPlacementOptions = SetOf<TPlacementOption>;
enum TPlacementRegRoot { prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers, prDynData };
enum TPlacementOperation { poSave, poRestore };
QUILLO_DECLARE_ENUM_TYPE(TPlacementOption)
QUILLO_DECLARE_SET_TYPE(TPlacementOption)
QUILLO_DECLARE_ENUM_TYPE(TPlacementRegRoot)

// Size limits the placement applies to its form: a value of 0 leaves the system's.
class TWinMinMaxInfo : public TPersistent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  enum Field { MaxPosLeft, MaxPosTop, MaxSizeHeight, MaxSizeWidth, MaxTrackHeight, MaxTrackWidth,
               MinTrackHeight, MinTrackWidth, FieldCount };
  explicit TWinMinMaxInfo(TFormPlacement* owner = nullptr) : owner_(owner) {}
  int Get(Field field) const { return values_[field]; }
  void Set(Field field, int value);
  bool DefaultMinMaxInfo() const;
  void Assign(const TPersistent* source) override;

private:
  TFormPlacement* owner_;
  int values_[FieldCount] = {};
};

// An object that saves and loads its own settings with a placement, in the placement's store.
class TIniLink : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  TIniLink();
  ~TIniLink() override;
  TFormPlacement* Storage() const { return storage_; }
  void SetStorage(TFormPlacement* storage);
  TObject* IniObject() const;
  AnsiString RootSection() const;
  virtual void SaveToIni();
  virtual void LoadFromIni();
  TNotifyEvent OnSave;
  TNotifyEvent OnLoad;

private:
  TFormPlacement* storage_ = nullptr;
};

class TFormPlacement : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TFormPlacement(TComponent* owner);
  ~TFormPlacement() override;
  void BeforeDestruction() override;
  void Loaded() override;

  bool GetActive() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  AnsiString GetIniFileName() const;  // the default substituted when empty
  void SetIniFileName(const AnsiString& name) { iniFileName_ = name; }
  AnsiString GetIniSection() const;   // the default substituted when empty
  void SetIniSection(const AnsiString& section) { iniSection_ = section; }
  const AnsiString& IniSectionField() const { return iniSection_; }
  TWinMinMaxInfo* GetMinMaxInfo() const { return minMaxInfo_.get(); }
  void SetMinMaxInfo(TWinMinMaxInfo* info) { minMaxInfo_->Assign(info); }
  TPlacementOptions GetOptions() const { return options_; }
  void SetOptions(TPlacementOptions options) { options_ = options; }
  bool GetPreventResize() const { return preventResize_; }
  void SetPreventResize(bool value);
  TPlacementRegRoot GetRegistryRoot() const { return registryRoot_; }
  void SetRegistryRoot(TPlacementRegRoot root) { registryRoot_ = root; }
  bool GetUseRegistry() const { return useRegistry_; }
  void SetUseRegistry(bool value) { useRegistry_ = value; }
  int GetVersion() const { return version_; }
  void SetVersion(int version) { version_ = version; }

  TNotifyEvent OnSavePlacement;
  TNotifyEvent OnRestorePlacement;

  void SaveFormPlacement();
  void RestoreFormPlacement();
  AnsiString ReadString(const AnsiString& ident, const AnsiString& fallback);
  void WriteString(const AnsiString& ident, const AnsiString& value);
  int ReadInteger(const AnsiString& ident, int fallback);
  void WriteInteger(const AnsiString& ident, int value);
  void EraseSections();
  TObject* GetIniFile() const { return store_.get(); }
  void UpdatePlacement();

  // Framework internals.
  void AddLink(TIniLink* link);
  void RemoveLink(TIniLink* link);
  void MinMaxInfoModified();
  bool Restored() const { return restored_; }

protected:
  virtual void SavePlacement();
  virtual void RestorePlacement();
  virtual AnsiString DoReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback);
  virtual void DoWriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value);
  virtual void Save();
  virtual void Restore();
  TCustomForm* Form() const;
  void IniNeeded();
  void IniFree();
  bool restored_ = false;

private:
  void FormShow(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormDestroy(TObject* sender);
  void RestoreEvents();
  void CheckToggleHook();
  bool HookNeeded() const;
  void WndMessage(TObject* sender, TMessage& message, bool& handled);
  void ApplyMaximizeBox();

  bool active_ = true;
  AnsiString iniFileName_;
  AnsiString iniSection_;
  TOwnedPtr<TWinMinMaxInfo> minMaxInfo_;
  TPlacementOptions options_;
  bool preventResize_ = false;
  TPlacementRegRoot registryRoot_ = prCurrentUser;
  bool useRegistry_ = false;
  int version_ = 0;

  TOwnedPtr<TObject> store_;
  std::vector<TIniLink*> links_;
  TNotifyEvent saveShow_;
  TCloseQueryEvent saveCloseQuery_;
  TNotifyEvent saveDestroy_;
  bool eventsHooked_ = false;
  bool saved_ = false;
  bool destroying_ = false;
  bool defMaximize_ = false;
  TExWindowHook* winHook_ = nullptr;
};

class TFormStorage;

// A named value kept with a form's settings. Values are text, and come back as the text
// they were stored as: a caller that keeps a number converts it itself.
class TStoredValue : public TCollectionItem {
  QUILLO_DECLARE_CLASS()

public:
  AnsiString GetName() const { return name_; }
  // Unique in the collection without regard to case; EStringListError otherwise.
  void SetName(const AnsiString& name);
  AnsiString Value;
  AnsiString KeyString;  // when set, the stored text is scrambled with it
  std::function<void(TStoredValue* sender, AnsiString& value)> OnSave;
  std::function<void(TStoredValue* sender, AnsiString& value)> OnRestore;
  AnsiString DisplayName() const override;
  void Assign(const TPersistent* source) override;
  void Save();
  void Restore();

private:
  TFormStorage* Storage() const;
  AnsiString name_;
};

class TStoredValues : public TOwnedCollection {
  QUILLO_DECLARE_CLASS()

public:
  explicit TStoredValues(TFormStorage* storage);
  TFormStorage* Storage() const { return storage_; }
  int IndexOf(const AnsiString& name) const;
  TStoredValue* Items(int index) const { return static_cast<TStoredValue*>(TCollection::Items(index)); }
  TStoredValue* GetValue(const AnsiString& name) const;
  void SetValue(const AnsiString& name, const TStoredValue* value);
  // Adds a value with a name and a starting text.
  TStoredValue* AddValue(const AnsiString& name, const AnsiString& value);
  void SaveValues();
  void RestoreValues();

private:
  TFormStorage* storage_;
};

class TFormStorage : public TFormPlacement {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TFormStorage(TComponent* owner);
  ~TFormStorage() override;
  void Loaded() override;

  TStrings* GetStoredProps() const { return storedProps_.get(); }
  void SetStoredProps(TStrings* props);
  TStoredValues* GetStoredValues() const { return storedValues_.get(); }
  void SetStoredValues(TStoredValues* values) { storedValues_->Assign(values); }

  virtual void SaveProperties();
  virtual void RestoreProperties();

protected:
  void SavePlacement() override;
  void RestorePlacement() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void ResolveStoredProps();
  TOwnedPtr<TStringList> storedProps_;
  TOwnedPtr<TStoredValues> storedValues_;
};

namespace ComponentsText {
inline constexpr const char* DuplicateValueName = "String list does not allow duplicates";
}  // namespace ComponentsText
