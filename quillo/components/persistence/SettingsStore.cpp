#include "quillo/components/persistence/SettingsStore.h"

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Registry.h"
#include "quillo/components/persistence/FormPlacement.h"

std::function<AnsiString()> OnGetDefaultIniName;
bool RegUseAppTitle = false;
AnsiString DefCompanyName;

namespace {

TRegIniFile* AsRegistry(TObject* store) { return dynamic_cast<TRegIniFile*>(store); }
TCustomIniFile* AsIniFile(TObject* store) { return dynamic_cast<TCustomIniFile*>(store); }

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Whether the INI reader would change the value: it trims blanks and drops one pair of
// enclosing quotes.
bool NeedsQuotes(const AnsiString& value) {
  if (value.empty()) return false;
  if (IsBlank(value.front()) || IsBlank(value.back())) return true;
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

}  // namespace

AnsiString IniReadString(TObject* store, const AnsiString& section, const AnsiString& ident,
                         const AnsiString& fallback) {
  if (auto* reg = AsRegistry(store)) return reg->ReadString(section, ident, fallback);
  if (auto* ini = AsIniFile(store)) return ini->ReadString(section, ident, fallback);
  return fallback;
}

void IniWriteString(TObject* store, const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
  if (auto* reg = AsRegistry(store)) {
    reg->WriteString(section, ident, value);
  } else if (auto* ini = AsIniFile(store)) {
    ini->WriteString(section, ident, NeedsQuotes(value) ? "\"" + value + "\"" : value);
  }
}

int IniReadInteger(TObject* store, const AnsiString& section, const AnsiString& ident, int fallback) {
  if (auto* reg = AsRegistry(store)) return reg->ReadInteger(section, ident, fallback);
  if (auto* ini = AsIniFile(store)) return ini->ReadInteger(section, ident, fallback);
  return fallback;
}

void IniWriteInteger(TObject* store, const AnsiString& section, const AnsiString& ident, int value) {
  if (auto* reg = AsRegistry(store))
    reg->WriteInteger(section, ident, value);
  else if (auto* ini = AsIniFile(store))
    ini->WriteInteger(section, ident, value);
}

bool IniReadBool(TObject* store, const AnsiString& section, const AnsiString& ident, bool fallback) {
  if (auto* reg = AsRegistry(store)) return reg->ReadBool(section, ident, fallback);
  if (auto* ini = AsIniFile(store)) return ini->ReadBool(section, ident, fallback);
  return fallback;
}

void IniWriteBool(TObject* store, const AnsiString& section, const AnsiString& ident, bool value) {
  if (auto* reg = AsRegistry(store))
    reg->WriteBool(section, ident, value);
  else if (auto* ini = AsIniFile(store))
    ini->WriteBool(section, ident, value);
}

void IniEraseSection(TObject* store, const AnsiString& section) {
  if (auto* reg = AsRegistry(store))
    reg->EraseSection(section);
  else if (auto* ini = AsIniFile(store))
    ini->EraseSection(section);
}

void IniDeleteKey(TObject* store, const AnsiString& section, const AnsiString& ident) {
  if (auto* reg = AsRegistry(store))
    reg->DeleteKey(section, ident);
  else if (auto* ini = AsIniFile(store))
    ini->DeleteKey(section, ident);
}

void IniReadSections(TObject* store, TStrings* sections) {
  if (auto* reg = AsRegistry(store))
    reg->ReadSections(sections);
  else if (auto* ini = AsIniFile(store))
    ini->ReadSections(sections);
}

void IniReadSectionValues(TObject* store, const AnsiString& section, TStrings* lines) {
  if (auto* reg = AsRegistry(store))
    reg->ReadSectionValues(section, lines);
  else if (auto* ini = AsIniFile(store))
    ini->ReadSectionValues(section, lines);
}

AnsiString GetDefaultIniName() {
  if (OnGetDefaultIniName) return OnGetDefaultIniName();
  return ChangeFileExt(ExtractFileName(Application()->ExeName()), ".INI");
}

AnsiString GetDefaultIniRegKey() {
  AnsiString key;
  if (RegUseAppTitle && !Application()->GetTitle().empty())
    key = Application()->GetTitle();
  else
    key = ChangeFileExt(ExtractFileName(Application()->ExeName()), "");
  if (!DefCompanyName.empty()) key = DefCompanyName + "\\" + key;
  return "Software\\" + key;
}

AnsiString GetDefaultSection(const TComponent* component) {
  if (!component) return {};
  if (auto* form = dynamic_cast<const TCustomForm*>(component)) return form->ClassName();
  if (auto* control = dynamic_cast<const TControl*>(component)) {
    if (TCustomForm* form = GetParentForm(control)) return form->ClassName() + control->GetName();
    if (control->GetParent()) return control->GetParent()->GetName() + control->GetName();
    return control->GetName();
  }
  const TComponent* owner = component->Owner();
  if (dynamic_cast<const TCustomForm*>(owner)) return owner->ClassName() + "." + component->GetName();
  return component->GetName();
}

void GetDefaultIniData(const TControl* control, AnsiString& iniFileName, AnsiString& section, bool useRegistry) {
  iniFileName.clear();
  TCustomForm* form = control ? GetParentForm(control) : nullptr;
  if (form) {
    for (int i = 0; i < form->ComponentCount(); ++i) {
      if (auto* placement = dynamic_cast<TFormPlacement*>(form->Components(i))) {
        iniFileName = placement->GetIniFileName();
        break;
      }
    }
  }
  section = GetDefaultSection(control);
  if (iniFileName.empty()) iniFileName = useRegistry ? GetDefaultIniRegKey() : GetDefaultIniName();
}
