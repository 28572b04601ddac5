#pragma once
// The Windows registry calls, on the registry store of the settings folder (RegistryStore.h):
// keys under the predefined roots, typed values, enumeration. They answer as Windows does and
// return its error codes (LastError.h); they do not set the last error.
//
// Differences that follow from the store: a key handle names its key by path, and a key
// deleted while a handle is open makes that handle answer ERROR_KEY_DELETED until the key is
// made again. Empty names between backslashes are skipped. Changes reach the file when no
// key handle of the process is open any more (see RegistryStore.h), or on RegFlushKey.

#include <cstdint>

#include "platform/rtl/LastError.h"
#include "platform/rtl/WinTypes.h"

struct RegistryKeyHandle;
using HKEY = RegistryKeyHandle*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t{0x80000000});
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001});
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002});
inline const HKEY HKEY_USERS = reinterpret_cast<HKEY>(std::uintptr_t{0x80000003});
inline const HKEY HKEY_CURRENT_CONFIG = reinterpret_cast<HKEY>(std::uintptr_t{0x80000005});
inline const HKEY HKEY_DYN_DATA = reinterpret_cast<HKEY>(std::uintptr_t{0x80000006});

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

// Access rights. Reading values needs KEY_QUERY_VALUE, listing subkeys
// KEY_ENUMERATE_SUB_KEYS, changing values KEY_SET_VALUE, and making a subkey through a handle
// KEY_CREATE_SUB_KEY.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM STANDARD_RIGHTS_READ = 0x00020000;
constexpr REGSAM STANDARD_RIGHTS_WRITE = 0x00020000;
constexpr REGSAM KEY_READ = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
constexpr REGSAM KEY_WRITE = STANDARD_RIGHTS_WRITE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
constexpr REGSAM KEY_EXECUTE = KEY_READ;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// RegCreateKeyEx options and dispositions. Volatile keys are kept like the others.
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_OPTION_VOLATILE = 1;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

LONG RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                    REGSAM access, const SECURITY_ATTRIBUTES* security, PHKEY result,
                    DWORD* disposition);
LONG RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCloseKey(HKEY key);
// Saves the process's pending changes now; ERROR_CANTWRITE when the file cannot be written.
LONG RegFlushKey(HKEY key);
// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED when it has).
LONG RegDeleteKey(HKEY key, LPCSTR subKey);

// name null or "" is the key's default value. With data null only the type and size are
// answered; a buffer too small gets ERROR_MORE_DATA and the size needed.
LONG RegQueryValueEx(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type, BYTE* data,
                     DWORD* dataSize);
// The bytes are kept as given: a string's size includes its terminator when the caller
// counts it.
LONG RegSetValueEx(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                   DWORD dataSize);
LONG RegDeleteValue(HKEY key, LPCSTR name);

// Subkeys in name order, values in the order they were first set. nameSize holds the
// buffer's size in characters and receives the name's length without its terminator.
LONG RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD* reserved,
                  LPSTR keyClass, DWORD* keyClassSize, FILETIME* lastWriteTime);
LONG RegEnumValue(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD* reserved,
                  DWORD* type, BYTE* data, DWORD* dataSize);
LONG RegQueryInfoKey(HKEY key, LPSTR keyClass, DWORD* keyClassSize, DWORD* reserved,
                     DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* maxClassLength,
                     DWORD* values, DWORD* maxValueNameLength, DWORD* maxValueLength,
                     DWORD* securityDescriptorSize, FILETIME* lastWriteTime);

inline constexpr auto& RegCreateKeyExA = RegCreateKeyEx;
inline constexpr auto& RegOpenKeyExA = RegOpenKeyEx;
inline constexpr auto& RegDeleteKeyA = RegDeleteKey;
inline constexpr auto& RegQueryValueExA = RegQueryValueEx;
inline constexpr auto& RegSetValueExA = RegSetValueEx;
inline constexpr auto& RegDeleteValueA = RegDeleteValue;
inline constexpr auto& RegEnumKeyExA = RegEnumKeyEx;
inline constexpr auto& RegEnumValueA = RegEnumValue;
inline constexpr auto& RegQueryInfoKeyA = RegQueryInfoKey;
