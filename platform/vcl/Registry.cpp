#include "platform/vcl/Registry.h"

#include <string>
#include <utility>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Strings.h"

ERegistryException::ERegistryException(AnsiString message) : Exception(std::move(message)) {}
ERegistryException::~ERegistryException() = default;

QUILLO_DEFINE_CLASS(TRegistry, TObject)
QUILLO_DEFINE_CLASS(TRegIniFile, TRegistry)

namespace {

// A path starting with '\' is taken from the root; the marker is cut off.
bool CutAbsoluteMarker(AnsiString& path) {
  if (path.empty() || path[0] != '\\') return false;
  path.erase(0, 1);
  return true;
}

TRegDataType DataTypeOf(DWORD type) {
  switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
  }
}


}  // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM access) : Access(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
  if (root == rootKey_) return;
  rootKey_ = root;
  CloseKey();
}

HKEY TRegistry::GetBaseKey(bool relative) const {
  return currentKey_ == nullptr || !relative ? rootKey_ : currentKey_;
}

void TRegistry::ChangeKey(HKEY key, const AnsiString& path) {
  CloseKey();
  currentKey_ = key;
  currentPath_ = path;
}

void TRegistry::CloseKey() {
  if (currentKey_ == nullptr) return;
  if (!LazyWrite) RegFlushKey(currentKey_);
  RegCloseKey(currentKey_);
  currentKey_ = nullptr;
  currentPath_.clear();
}

bool TRegistry::OpenKey(const AnsiString& key, bool canCreate) {
  AnsiString path = key;
  const bool relative = !CutAbsoluteMarker(path);
  HKEY opened = nullptr;
  const LONG result = !canCreate || path.empty()
                          ? RegOpenKeyEx(GetBaseKey(relative), path.c_str(), 0, Access, &opened)
                          : RegCreateKeyEx(GetBaseKey(relative), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           Access, nullptr, &opened, nullptr);
  if (result != ERROR_SUCCESS) return false;
  if (currentKey_ != nullptr && relative) path = currentPath_ + '\\' + path;
  ChangeKey(opened, path);
  return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& key) {
  AnsiString path = key;
  const bool relative = !CutAbsoluteMarker(path);
  HKEY opened = nullptr;
  if (RegOpenKeyEx(GetBaseKey(relative), path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  Access = KEY_READ;
  if (currentKey_ != nullptr && relative) path = currentPath_ + '\\' + path;
  ChangeKey(opened, path);
  return true;
}

HKEY TRegistry::GetKey(const AnsiString& key) {
  AnsiString path = key;
  const bool relative = !CutAbsoluteMarker(path);
  HKEY opened = nullptr;
  if (RegOpenKeyEx(GetBaseKey(relative), path.c_str(), 0, Access, &opened) != ERROR_SUCCESS) return nullptr;
  return opened;
}

bool TRegistry::CreateKey(const AnsiString& key) {
  AnsiString path = key;
  const bool relative = !CutAbsoluteMarker(path);
  HKEY created = nullptr;
  if (RegCreateKeyEx(GetBaseKey(relative), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                     nullptr, &created, nullptr) != ERROR_SUCCESS)
    throw ERegistryException(Format(VclText::RegCreateFailed, key.c_str()));
  RegCloseKey(created);
  return true;
}

bool TRegistry::DeleteKey(const AnsiString& key) {
  AnsiString path = key;
  const bool relative = !CutAbsoluteMarker(path);
  // An empty name would name the base key itself: its subkeys are not this call's to take.
  if (path.find_first_not_of('\\') == AnsiString::npos) return false;
  if (HKEY doomed = GetKey(key)) {
    const HKEY previous = currentKey_;
    struct Restore {
      TRegistry* self;
      HKEY previous, doomed;
      ~Restore() {
        self->SetCurrentKey(previous);
        RegCloseKey(doomed);
      }
    } restore{this, previous, doomed};
    SetCurrentKey(doomed);
    TRegKeyInfo info;
    if (GetKeyInfo(info)) {
      std::string name(static_cast<size_t>(info.MaxSubKeyLen) + 1, '\0');
      for (int i = info.NumSubKeys - 1; i >= 0; --i) {
        DWORD size = static_cast<DWORD>(name.size());
        if (RegEnumKeyEx(doomed, static_cast<DWORD>(i), name.data(), &size, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
          DeleteKey(name.substr(0, size));
      }
    }
  }
  return RegDeleteKey(GetBaseKey(relative), path.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const AnsiString& key) {
  const REGSAM previous = Access;
  Access = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
  HKEY found = GetKey(key);
  Access = previous;
  if (found != nullptr) RegCloseKey(found);
  return found != nullptr;
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& info) {
  info = TRegKeyInfo{};
  DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxData = 0;
  if (RegQueryInfoKey(currentKey_, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values, &maxValueName,
                      &maxData, nullptr, &info.FileTime) != ERROR_SUCCESS)
    return false;
  info.NumSubKeys = static_cast<int>(subKeys);
  info.MaxSubKeyLen = static_cast<int>(maxSubKey);
  info.NumValues = static_cast<int>(values);
  info.MaxValueLen = static_cast<int>(maxValueName);
  info.MaxDataLen = static_cast<int>(maxData);
  return true;
}

bool TRegistry::HasSubKeys() {
  TRegKeyInfo info;
  return GetKeyInfo(info) && info.NumSubKeys > 0;
}

void TRegistry::GetKeyNames(TStrings* strings) {
  TStringsUpdate update(strings);
  strings->Clear();
  TRegKeyInfo info;
  if (!GetKeyInfo(info)) return;
  std::string name(static_cast<size_t>(info.MaxSubKeyLen) + 1, '\0');
  for (int i = 0; i < info.NumSubKeys; ++i) {
    DWORD size = static_cast<DWORD>(name.size());
    if (RegEnumKeyEx(currentKey_, static_cast<DWORD>(i), name.data(), &size, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS)
      strings->Add(name.substr(0, size));
  }
}

void TRegistry::GetValueNames(TStrings* strings) {
  TStringsUpdate update(strings);
  strings->Clear();
  TRegKeyInfo info;
  if (!GetKeyInfo(info)) return;
  std::string name(static_cast<size_t>(info.MaxValueLen) + 1, '\0');
  for (int i = 0; i < info.NumValues; ++i) {
    DWORD size = static_cast<DWORD>(name.size());
    if (RegEnumValue(currentKey_, static_cast<DWORD>(i), name.data(), &size, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS)
      strings->Add(name.substr(0, size));
  }
}

bool TRegistry::GetDataInfo(const AnsiString& name, TRegDataInfo& info) {
  info = TRegDataInfo{};
  DWORD type = REG_NONE, size = 0;
  if (RegQueryValueEx(currentKey_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  info.RegData = DataTypeOf(type);
  info.DataSize = static_cast<int>(size);
  return true;
}

int TRegistry::GetDataSize(const AnsiString& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info) ? info.DataSize : -1;
}

TRegDataType TRegistry::GetDataType(const AnsiString& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info) ? info.RegData : rdUnknown;
}

bool TRegistry::ValueExists(const AnsiString& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info);
}

bool TRegistry::DeleteValue(const AnsiString& name) {
  return RegDeleteValue(currentKey_, name.c_str()) == ERROR_SUCCESS;
}

int TRegistry::GetData(const AnsiString& name, void* buffer, int size, TRegDataType& type) {
  DWORD stored = REG_NONE;
  auto bytes = static_cast<DWORD>(size);
  if (RegQueryValueEx(currentKey_, name.c_str(), nullptr, &stored, static_cast<BYTE*>(buffer), &bytes) !=
      ERROR_SUCCESS)
    throw ERegistryException(Format(VclText::RegGetDataFailed, name.c_str()));
  type = DataTypeOf(stored);
  return static_cast<int>(bytes);
}

void TRegistry::PutData(const AnsiString& name, const void* buffer, int size, DWORD type) {
  if (size < 0 ||
      RegSetValueEx(currentKey_, name.c_str(), 0, type, static_cast<const BYTE*>(buffer), static_cast<DWORD>(size)) !=
          ERROR_SUCCESS)
    throw ERegistryException(Format(VclText::RegSetDataFailed, name.c_str()));
}

void TRegistry::ReadError(const AnsiString& name) const {
  throw ERegistryException(Format(VclText::InvalidRegType, name.c_str()));
}

AnsiString TRegistry::ReadString(const AnsiString& name) {
  const int size = GetDataSize(name);
  if (size <= 0) return AnsiString();
  std::string bytes(static_cast<size_t>(size), '\0');
  TRegDataType type = rdUnknown;
  bytes.resize(static_cast<size_t>(GetData(name, bytes.data(), size, type)));
  if (type != rdString && type != rdExpandString) ReadError(name);
  return bytes.substr(0, bytes.find('\0'));  // the text ends at its terminator
}

int TRegistry::ReadInteger(const AnsiString& name) {
  std::int32_t value = 0;
  TRegDataType type = rdUnknown;
  GetData(name, &value, sizeof value, type);
  if (type != rdInteger) ReadError(name);
  return value;
}

bool TRegistry::ReadBool(const AnsiString& name) { return ReadInteger(name) != 0; }

int TRegistry::ReadBinaryData(const AnsiString& name, void* buffer, int size) {
  TRegDataInfo info;
  if (!GetDataInfo(name, info)) return 0;
  if ((info.RegData != rdBinary && info.RegData != rdUnknown) || info.DataSize > size) ReadError(name);
  TRegDataType type = rdUnknown;
  return GetData(name, buffer, info.DataSize, type);
}

void TRegistry::WriteString(const AnsiString& name, const AnsiString& value) {
  PutData(name, value.c_str(), static_cast<int>(value.size() + 1), REG_SZ);
}

void TRegistry::WriteExpandString(const AnsiString& name, const AnsiString& value) {
  PutData(name, value.c_str(), static_cast<int>(value.size() + 1), REG_EXPAND_SZ);
}

void TRegistry::WriteInteger(const AnsiString& name, int value) {
  const std::int32_t number = value;
  PutData(name, &number, sizeof number, REG_DWORD);
}

void TRegistry::WriteBool(const AnsiString& name, bool value) { WriteInteger(name, value ? 1 : 0); }

void TRegistry::WriteBinaryData(const AnsiString& name, const void* buffer, int size) {
  PutData(name, buffer, size, REG_BINARY);
}

// ---- TRegIniFile ----

TRegIniFile::TRegIniFile(const AnsiString& fileName) : fileName_(fileName) { OpenKey(fileName, true); }

TRegIniFile::TRegIniFile(const AnsiString& fileName, REGSAM access) : TRegistry(access), fileName_(fileName) {
  OpenKey(fileName, true);
}

TRegIniFile::~TRegIniFile() = default;

template <class Work>
bool TRegIniFile::InSection(const AnsiString& section, Work work) {
  HKEY key = GetKey(section);
  if (key == nullptr) return false;
  struct Restore {
    TRegIniFile* self;
    HKEY previous, key;
    ~Restore() {
      self->SetCurrentKey(previous);
      RegCloseKey(key);
    }
  } restore{this, CurrentKey(), key};
  SetCurrentKey(key);
  work();
  return true;
}

AnsiString TRegIniFile::ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) {
  AnsiString result = fallback;
  InSection(section, [&] {
    if (!ValueExists(ident)) return;
    result = GetDataType(ident) == rdInteger ? IntToStr(TRegistry::ReadInteger(ident)) : TRegistry::ReadString(ident);
  });
  return result;
}

int TRegIniFile::ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback) {
  int result = fallback;
  InSection(section, [&] {
    if (!ValueExists(ident)) return;
    if (GetDataType(ident) == rdInteger) {
      result = TRegistry::ReadInteger(ident);
      return;
    }
    const AnsiString text = TRegistry::ReadString(ident);
    if (!text.empty()) result = StrToIntDef(text, fallback);
  });
  return result;
}

bool TRegIniFile::ReadBool(const AnsiString& section, const AnsiString& ident, bool fallback) {
  return ReadInteger(section, ident, fallback ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
  CreateKey(section);
  if (!InSection(section, [&] { TRegistry::WriteString(ident, value); }))
    throw ERegistryException(Format(VclText::RegSetDataFailed, ident.c_str()));
}

void TRegIniFile::WriteInteger(const AnsiString& section, const AnsiString& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

void TRegIniFile::WriteBool(const AnsiString& section, const AnsiString& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

void TRegIniFile::ReadSection(const AnsiString& section, TStrings* strings) {
  InSection(section, [&] { GetValueNames(strings); });
}

void TRegIniFile::ReadSections(TStrings* strings) { GetKeyNames(strings); }

void TRegIniFile::ReadSectionValues(const AnsiString& section, TStrings* strings) {
  TStringList names;
  ReadSection(section, &names);
  TStringsUpdate update(strings);
  for (int i = 0; i < names.Count(); ++i) strings->SetValue(names.Get(i), ReadString(section, names.Get(i), ""));
}

void TRegIniFile::EraseSection(const AnsiString& section) { TRegistry::DeleteKey(section); }

void TRegIniFile::DeleteKey(const AnsiString& section, const AnsiString& ident) {
  InSection(section, [&] { DeleteValue(ident); });
}
