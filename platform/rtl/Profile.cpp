#include "platform/rtl/Profile.h"

#include <cstring>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/IniDocument.h"
#include "platform/rtl/SettingsFolder.h"
#include "platform/rtl/SysUtils.h"

namespace {

AnsiString ResolveProfilePath(LPCSTR fileName) {
  const AnsiString name = fileName != nullptr ? AnsiString(fileName) : AnsiString();
  if (name.find(PathDelim) == AnsiString::npos) {
    if (SameText(name, "win.ini")) return WinIniPath();
    return WindowsFolder() + PathDelim + name;
  }
  return name;
}

// Copies text truncated to the buffer; answers the characters copied, without the terminator.
DWORD CopyTruncated(const AnsiString& text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  const DWORD length = static_cast<DWORD>(std::min<size_t>(text.size(), size - 1));
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return length;
}

// Names one after the other, each ending in a null, with a second null after the last. When
// they do not fit, the list is cut, still ends in two nulls, and the answer is size - 2.
DWORD CopyNameList(const std::vector<AnsiString>& names, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  DWORD used = 0;
  for (const AnsiString& name : names) {
    if (used + name.size() + 2 > size) {
      const DWORD room = size - 2 - used;
      std::memcpy(buffer + used, name.data(), room);
      buffer[size - 2] = '\0';
      buffer[size - 1] = '\0';
      return size - 2;
    }
    std::memcpy(buffer + used, name.data(), name.size());
    used += static_cast<DWORD>(name.size());
    buffer[used++] = '\0';
  }
  buffer[used] = '\0';
  return used;
}

// Windows reads a number from the text's leading sign and digits; anything else gives 0.
int LeadingNumber(const AnsiString& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 0xFFFFFFFFLL) value = 0xFFFFFFFFLL;
  }
  return static_cast<int>(static_cast<unsigned>(negative ? -value : value));
}

}  // namespace

AnsiString ProfileFilePath(const AnsiString& fileName) { return ResolveProfilePath(fileName.c_str()); }

DWORD GetPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                              DWORD size, LPCSTR fileName) {
  IniDocument ini;
  ini.Load(ResolveProfilePath(fileName));
  if (section == nullptr) return CopyNameList(ini.SectionNames(), buffer, size);
  if (key == nullptr) return CopyNameList(ini.KeyNames(section), buffer, size);
  if (auto value = ini.Value(section, key)) return CopyTruncated(*value, buffer, size);
  return CopyTruncated(TrimRight(fallback != nullptr ? fallback : ""), buffer, size);
}

UINT GetPrivateProfileInt(LPCSTR section, LPCSTR key, int fallback, LPCSTR fileName) {
  if (section == nullptr || key == nullptr) return static_cast<UINT>(fallback);
  IniDocument ini;
  ini.Load(ResolveProfilePath(fileName));
  const auto value = ini.Value(section, key);
  return static_cast<UINT>(value ? LeadingNumber(*value) : fallback);
}

BOOL WritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (section == nullptr) return key == nullptr && value == nullptr ? TRUE : FALSE;
  const AnsiString keyText = key != nullptr ? key : "";
  const AnsiString valueText = value != nullptr ? value : "";
  if (!IniDocument::Writable(section, key != nullptr ? &keyText : nullptr, value != nullptr ? &valueText : nullptr))
    return FALSE;  // it would read back as other lines: the file stays as it was
  try {
    IniDocument::Edit(ResolveProfilePath(fileName), [&](IniDocument& ini) {
      if (key == nullptr)
        ini.DeleteSection(section);
      else if (value == nullptr)
        ini.DeleteKey(section, key);
      else
        ini.SetValue(section, key, value);
    });
  } catch (const Exception&) {
    return FALSE;  // the file stays as it was
  }
  return TRUE;
}

DWORD GetProfileString(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size) {
  return GetPrivateProfileString(section, key, fallback, buffer, size, WinIniPath().c_str());
}

UINT GetProfileInt(LPCSTR section, LPCSTR key, int fallback) {
  return GetPrivateProfileInt(section, key, fallback, WinIniPath().c_str());
}

BOOL WriteProfileString(LPCSTR section, LPCSTR key, LPCSTR value) {
  return WritePrivateProfileString(section, key, value, WinIniPath().c_str());
}
