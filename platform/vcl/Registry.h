#pragma once
// The framework's registry classes on the Reg* calls (platform/rtl/RegistryApi.h).
//
// TRegistry works on one open key at a time, CurrentKey, below RootKey (HKEY_CURRENT_USER
// unless set). A key path that starts with '\' is taken from the root; any other from the
// current key when one is open, else from the root. Reading a value that is missing, or of
// another type, raises ERegistryException (ReadString of a missing value answers ""); writes
// that fail raise it too. Changes are saved when the last open key of the process is closed
// (see RegistryStore.h); with LazyWrite off, CloseKey saves at once.
//
// TRegIniFile reads a registry key as an INI file: a section is a subkey of the key opened
// at construction, an identifier a value name. Reads of what is missing answer the default.
// Numbers and booleans are written as strings, as the framework does; reading takes those
// and 32-bit number values alike, and text that is not a number gives the default.

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RegistryApi.h"
#include "platform/vcl/Object.h"

class TStrings;

class ERegistryException : public Exception {
public:
  explicit ERegistryException(AnsiString message);
  ~ERegistryException() override;
};

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  int DataSize = 0;
};

struct TRegKeyInfo {
  int NumSubKeys = 0;
  int MaxSubKeyLen = 0;
  int NumValues = 0;
  int MaxValueLen = 0;
  int MaxDataLen = 0;
  FILETIME FileTime{};
};

class TRegistry : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  TRegistry();
  explicit TRegistry(REGSAM access);
  ~TRegistry() override;

  HKEY RootKey() const { return rootKey_; }
  void SetRootKey(HKEY root);  // closes the current key
  HKEY CurrentKey() const { return currentKey_; }
  const AnsiString& CurrentPath() const { return currentPath_; }
  REGSAM Access = KEY_ALL_ACCESS;  // the rights keys are opened with
  bool LazyWrite = true;

  // False when the key is missing (and not to be made) or cannot be opened.
  bool OpenKey(const AnsiString& key, bool canCreate);
  bool OpenKeyReadOnly(const AnsiString& key);
  void CloseKey();
  // Makes a key without opening it; raises ERegistryException when it cannot.
  bool CreateKey(const AnsiString& key);
  // Deletes a key with everything below it.
  bool DeleteKey(const AnsiString& key);
  bool KeyExists(const AnsiString& key);
  bool HasSubKeys();
  bool GetKeyInfo(TRegKeyInfo& info);
  // Fill strings (emptied first) with the current key's subkeys, or its value names.
  void GetKeyNames(TStrings* strings);
  void GetValueNames(TStrings* strings);

  bool ValueExists(const AnsiString& name);
  bool DeleteValue(const AnsiString& name);
  bool GetDataInfo(const AnsiString& name, TRegDataInfo& info);
  int GetDataSize(const AnsiString& name);  // -1 when missing
  TRegDataType GetDataType(const AnsiString& name);

  AnsiString ReadString(const AnsiString& name);
  int ReadInteger(const AnsiString& name);
  bool ReadBool(const AnsiString& name);
  // Copies the value's bytes; raises when it is not binary or does not fit. Answers the size.
  int ReadBinaryData(const AnsiString& name, void* buffer, int size);
  void WriteString(const AnsiString& name, const AnsiString& value);
  void WriteExpandString(const AnsiString& name, const AnsiString& value);
  void WriteInteger(const AnsiString& name, int value);
  void WriteBool(const AnsiString& name, bool value);
  void WriteBinaryData(const AnsiString& name, const void* buffer, int size);

protected:
  // Replaces the current key by an open key (closing the old one).
  void ChangeKey(HKEY key, const AnsiString& path);
  // Switches the key the value calls work on, without closing either.
  void SetCurrentKey(HKEY key) { currentKey_ = key; }
  // Opens a key relative as OpenKey does, with Access; null when it cannot.
  HKEY GetKey(const AnsiString& key);
  HKEY GetBaseKey(bool relative) const;

private:
  // Reads the value into buffer; raises when it is missing or larger than size.
  int GetData(const AnsiString& name, void* buffer, int size, TRegDataType& type);
  void PutData(const AnsiString& name, const void* buffer, int size, DWORD type);
  [[noreturn]] void ReadError(const AnsiString& name) const;

  HKEY rootKey_ = HKEY_CURRENT_USER;
  HKEY currentKey_ = nullptr;
  AnsiString currentPath_;
};

class TRegIniFile : public TRegistry {
  QUILLO_DECLARE_CLASS()

public:
  // Opens (making it when missing) the key fileName below HKEY_CURRENT_USER.
  explicit TRegIniFile(const AnsiString& fileName);
  TRegIniFile(const AnsiString& fileName, REGSAM access);
  ~TRegIniFile() override;

  const AnsiString& FileName() const { return fileName_; }

  AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback);
  int ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback);
  bool ReadBool(const AnsiString& section, const AnsiString& ident, bool fallback);
  void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value);
  void WriteInteger(const AnsiString& section, const AnsiString& ident, int value);
  void WriteBool(const AnsiString& section, const AnsiString& ident, bool value);

  // The value names of a section; strings is left as it is when the section is missing.
  void ReadSection(const AnsiString& section, TStrings* strings);
  // The sections (subkeys); strings is emptied first.
  void ReadSections(TStrings* strings);
  // "name=value" for every value of a section, set through strings' Values.
  void ReadSectionValues(const AnsiString& section, TStrings* strings);
  // Deletes the section's key with everything below it.
  void EraseSection(const AnsiString& section);
  void DeleteKey(const AnsiString& section, const AnsiString& ident);

private:
  // Runs work with the section's key as the current key; false when the key is missing.
  template <class Work>
  bool InSection(const AnsiString& section, Work work);

  AnsiString fileName_;
};

namespace VclText {
inline constexpr const char* RegCreateFailed = "Failed to create key %s";
inline constexpr const char* RegSetDataFailed = "Failed to set data for '%s'";
inline constexpr const char* RegGetDataFailed = "Failed to get data for '%s'";
inline constexpr const char* InvalidRegType = "Invalid data type for '%s'";
}  // namespace VclText
