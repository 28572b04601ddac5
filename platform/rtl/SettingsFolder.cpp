#include "platform/rtl/SettingsFolder.h"

#include <cstdlib>
#include <cstring>

#include "platform/rtl/SysUtils.h"

namespace {

AnsiString FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? AnsiString(value) : AnsiString();
}

AnsiString WithoutTrailingSlash(AnsiString path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

AnsiString SettingsFolder() {
  if (AnsiString home = FromEnvironment("QUILLO_HOME"); !home.empty())
    return WithoutTrailingSlash(home);
  if (AnsiString config = FromEnvironment("XDG_CONFIG_HOME"); !config.empty())
    return WithoutTrailingSlash(config) + "/quillo";
  return WithoutTrailingSlash(FromEnvironment("HOME")) + "/.config/quillo";
}

AnsiString WinIniPath() { return SettingsFolder() + "/win.ini"; }

AnsiString WindowsFolder() { return SettingsFolder() + "/windows"; }

UINT GetWindowsDirectory(LPSTR buffer, UINT size) {
  const AnsiString folder = WindowsFolder();
  // Windows always has its folder: made here, before the first file is written into it.
  ForceDirectories(folder);
  // As on Windows: the length without the terminator, or the size needed when it does not fit.
  if (buffer == nullptr || folder.size() + 1 > size) return static_cast<UINT>(folder.size() + 1);
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return static_cast<UINT>(folder.size());
}
