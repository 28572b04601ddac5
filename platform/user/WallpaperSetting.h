#pragma once
// The wallpaper kept across runs: the path is the string value "Wallpaper" of the current
// user's "Control Panel\Desktop" key, written when a new wallpaper is set with
// SPIF_UPDATEINIFILE and shown again when the desktop starts.

#include <string>

// False when the registry cannot take it.
bool StoreWallpaperSetting(const std::string& path);
// Empty when none is stored.
std::string StoredWallpaperSetting();
