#include "platform/rtl/RegistryApi.h"

#include <cstring>
#include <string>

#include "platform/rtl/RegistryStore.h"
#include "platform/rtl/RegistryTree.h"

namespace {

RegistryStore& Store() { return RegistryStore::Process(); }

AnsiString ValueName(LPCSTR name) { return name != nullptr ? AnsiString(name) : AnsiString(); }

// Copies a name and its terminator into a buffer of *size characters; ERROR_MORE_DATA when
// it does not fit. *size receives the name's length.
LONG CopyName(const AnsiString& name, LPSTR buffer, DWORD* size) {
  if (*size <= name.size()) return ERROR_MORE_DATA;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  *size = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

// Hands a value's type and bytes to a caller's optional type, buffer and size.
LONG CopyData(DWORD type, const std::string& bytes, DWORD* typeOut, BYTE* data, DWORD* dataSize) {
  if (typeOut != nullptr) *typeOut = type;
  if (dataSize == nullptr) return ERROR_SUCCESS;
  const auto size = static_cast<DWORD>(bytes.size());
  if (data != nullptr && *dataSize < size) {
    *dataSize = size;
    return ERROR_MORE_DATA;
  }
  if (data != nullptr && size > 0) std::memcpy(data, bytes.data(), size);
  *dataSize = size;
  return ERROR_SUCCESS;
}

void NoClass(LPSTR keyClass, DWORD* keyClassSize) {
  if (keyClass != nullptr && keyClassSize != nullptr && *keyClassSize > 0) keyClass[0] = '\0';
  if (keyClassSize != nullptr) *keyClassSize = 0;
}

void NoTime(FILETIME* time) {
  if (time != nullptr) *time = FILETIME{0, 0};
}

}  // namespace

LONG RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access, const SECURITY_ATTRIBUTES*,
                    PHKEY result, DWORD* disposition) {
  return static_cast<LONG>(Store().Open(key, subKey, access, true, result, disposition));
}

LONG RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
  return static_cast<LONG>(Store().Open(key, subKey, access, false, result, nullptr));
}

LONG RegCloseKey(HKEY key) { return static_cast<LONG>(Store().Close(key)); }

LONG RegFlushKey(HKEY key) { return static_cast<LONG>(Store().Flush(key)); }

LONG RegDeleteKey(HKEY key, LPCSTR subKey) {
  if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
  return static_cast<LONG>(Store().DeleteKey(key, subKey));
}

LONG RegQueryValueEx(HKEY key, LPCSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize) {
  if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
  DWORD storedType = REG_NONE;
  std::string bytes;
  if (DWORD error = Store().QueryValue(key, ValueName(name), &storedType, &bytes)) return static_cast<LONG>(error);
  return CopyData(storedType, bytes, type, data, dataSize);
}

LONG RegSetValueEx(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
  if ((data == nullptr && dataSize > 0) || dataSize > kMaxValueSize) return ERROR_INVALID_PARAMETER;
  std::string bytes = data != nullptr ? std::string(reinterpret_cast<const char*>(data), dataSize) : std::string();
  return static_cast<LONG>(Store().SetValue(key, ValueName(name), type, std::move(bytes)));
}

LONG RegDeleteValue(HKEY key, LPCSTR name) { return static_cast<LONG>(Store().DeleteValue(key, ValueName(name))); }

LONG RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD*, LPSTR keyClass, DWORD* keyClassSize,
                  FILETIME* lastWriteTime) {
  if (name == nullptr || nameSize == nullptr) return ERROR_INVALID_PARAMETER;
  AnsiString found;
  if (DWORD error = Store().SubKeyName(key, index, &found)) return static_cast<LONG>(error);
  if (LONG error = CopyName(found, name, nameSize)) return error;
  NoClass(keyClass, keyClassSize);
  NoTime(lastWriteTime);
  return ERROR_SUCCESS;
}

LONG RegEnumValue(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD*, DWORD* type, BYTE* data,
                  DWORD* dataSize) {
  if (name == nullptr || nameSize == nullptr || (data != nullptr && dataSize == nullptr))
    return ERROR_INVALID_PARAMETER;
  AnsiString found;
  DWORD storedType = REG_NONE;
  std::string bytes;
  if (DWORD error = Store().ValueAt(key, index, &found, &storedType, &bytes)) return static_cast<LONG>(error);
  if (LONG error = CopyName(found, name, nameSize)) return error;
  return CopyData(storedType, bytes, type, data, dataSize);
}

LONG RegQueryInfoKey(HKEY key, LPSTR keyClass, DWORD* keyClassSize, DWORD*, DWORD* subKeys, DWORD* maxSubKeyLength,
                     DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength, DWORD* maxValueLength,
                     DWORD* securityDescriptorSize, FILETIME* lastWriteTime) {
  RegistryKeyInfo info;
  if (DWORD error = Store().QueryInfo(key, &info)) return static_cast<LONG>(error);
  auto put = [](DWORD* out, DWORD value) {
    if (out != nullptr) *out = value;
  };
  NoClass(keyClass, keyClassSize);
  put(subKeys, info.subKeys);
  put(maxSubKeyLength, info.maxSubKeyLength);
  put(maxClassLength, 0);
  put(values, info.values);
  put(maxValueNameLength, info.maxValueNameLength);
  put(maxValueLength, info.maxValueLength);
  put(securityDescriptorSize, 0);
  NoTime(lastWriteTime);
  return ERROR_SUCCESS;
}
