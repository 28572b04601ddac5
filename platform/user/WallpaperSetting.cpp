#include "platform/user/WallpaperSetting.h"

#include <vector>

#include "platform/rtl/RegistryApi.h"

namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kWallpaperValue = "Wallpaper";

}  // namespace

bool StoreWallpaperSetting(const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyEx(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                     nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result = RegSetValueEx(key, kWallpaperValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                    static_cast<DWORD>(path.size() + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::string StoredWallpaperSetting() {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  DWORD type = REG_NONE, size = 0;
  std::string path;
  if (RegQueryValueEx(key, kWallpaperValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ &&
      size > 0) {
    std::vector<char> bytes(size + 1, '\0');
    if (RegQueryValueEx(key, kWallpaperValue, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) ==
        ERROR_SUCCESS)
      path = bytes.data();
  }
  RegCloseKey(key);
  return path;
}
