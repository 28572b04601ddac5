// The setup key every system has: it opens without being made first, and "BootDir" answers
// the Windows folder with its separator until a value of its own is stored.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/rtl/RegistryApi.h"
#include "platform/rtl/SettingsFolder.h"
#include "support/TempHome.h"

namespace {

std::string BootDir() {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\MICROSOFT\\Windows\\CurrentVersion\\Setup", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return "<no key>";
  char text[512] = {};
  DWORD size = sizeof text, type = 0;
  const LONG result = RegQueryValueEx(key, "BootDir", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_SZ ? std::string(text) : "<no value>";
}

TEST(RegistrySystemValues, BootDirIsTheWindowsFolderUntilOneIsStored) {
  TempHome home;
  EXPECT_EQ(BootDir(), home.Path() + "/windows/");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Setup", 0, KEY_WRITE, &key),
            ERROR_SUCCESS);
  const char stored[] = "/boot/";
  ASSERT_EQ(RegSetValueEx(key, "BootDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(stored), sizeof stored), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(BootDir(), "/boot/");
  // Other values of the key, and other keys, are not made up.
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Setup", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueEx(key, "WinDir", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Other", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
}

TEST(RegistrySystemValues, TheWindowsFolderIsThereOnceAsked) {
  TempHome home;
  char folder[512] = {};
  ASSERT_GT(GetWindowsDirectory(folder, sizeof folder), 0u);
  EXPECT_EQ(std::string(folder), home.Path() + "/windows");
  EXPECT_TRUE(std::filesystem::is_directory(folder));
}

}  // namespace
