#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/dialogs/ShellFolders.h"
#include "support/XdgHome.h"

namespace {

bool IsFolder(const std::string& path) {
  struct stat info{};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

struct FolderCase {
  int csidl;
  std::string relative;  // under the temporary root
};

TEST(ShellFolders, SpecialFoldersAreTheXdgFoldersOfTheHome) {
  XdgHome xdg;
  const FolderCase cases[] = {
      {CSIDL_DESKTOP, "home/Desktop"},           {CSIDL_DESKTOPDIRECTORY, "home/Desktop"},
      {CSIDL_PERSONAL, "home/Documents"},        {CSIDL_MYPICTURES, "home/Pictures"},
      {CSIDL_MYMUSIC, "home/Music"},             {CSIDL_MYVIDEO, "home/Videos"},
      {CSIDL_TEMPLATES, "home/Templates"},       {CSIDL_APPDATA, "config"},
      {CSIDL_LOCAL_APPDATA, "data"},             {CSIDL_PROGRAMS, "data/applications"},
      {CSIDL_STARTMENU, "data/applications"},    {CSIDL_STARTUP, "config/autostart"},
      {CSIDL_FONTS, "data/fonts"},               {CSIDL_PROFILE, "home"},
  };
  for (const FolderCase& c : cases) {
    EXPECT_EQ(SpecialFolderPath(c.csidl), xdg.Root() + "/" + c.relative) << c.csidl;
    char path[MAX_PATH] = "x";
    EXPECT_EQ(SHGetFolderPath(nullptr, c.csidl, nullptr, 0, path), IsFolder(xdg.Root() + "/" + c.relative) ? S_OK : S_FALSE)
        << c.csidl;
    EXPECT_EQ(std::string(path), xdg.Root() + "/" + c.relative);
  }
  EXPECT_EQ(SpecialFolderPath(CSIDL_DRIVES), "/");
  EXPECT_EQ(SpecialFolderPath(CSIDL_NETWORK), "");
  char path[MAX_PATH] = "x";
  EXPECT_EQ(SHGetFolderPath(nullptr, 0x3F, nullptr, 0, path), E_INVALIDARG);
  EXPECT_EQ(std::string(path), "");
}

TEST(ShellFolders, UserDirsFileAndEnvironmentNameTheFolders) {
  XdgHome xdg;
  xdg.WriteFile("config/user-dirs.dirs",
                "# written by xdg-user-dirs-update\n"
                "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                "XDG_DOCUMENTS_DIR=\"/srv/papers\"\n"
                "XDG_PICTURES_DIR=relative/not/taken\n"
                "XDG_MUSIC_DIR=\"$HOMEWORK/x\"\n"
                "XDG_TEMPLATES_DIR=\"$HOME/Mod\\\"elle\"\n");
  EXPECT_EQ(SpecialFolderPath(CSIDL_DESKTOP), xdg.Home() + "/Schreibtisch");
  EXPECT_EQ(SpecialFolderPath(CSIDL_PERSONAL), "/srv/papers");
  EXPECT_EQ(SpecialFolderPath(CSIDL_MYPICTURES), xdg.Home() + "/Pictures");  // unquoted: ignored
  EXPECT_EQ(SpecialFolderPath(CSIDL_MYMUSIC), xdg.Home() + "/Music");        // not $HOME at all
  EXPECT_EQ(SpecialFolderPath(CSIDL_TEMPLATES), xdg.Home() + "/Mod\"elle");
  xdg.Set("XDG_DESKTOP_DIR", (xdg.Root() + "/elsewhere/").c_str());
  EXPECT_EQ(SpecialFolderPath(CSIDL_DESKTOP), xdg.Root() + "/elsewhere");
  xdg.Set("XDG_CONFIG_HOME", "not/absolute");  // ignored, as the base directory rules say
  EXPECT_EQ(SpecialFolderPath(CSIDL_APPDATA), xdg.Home() + "/.config");
}

TEST(ShellFolders, CreateFlagMakesTheFolder) {
  XdgHome xdg;
  char path[MAX_PATH];
  EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, path, CSIDL_STARTUP, FALSE));
  EXPECT_FALSE(IsFolder(xdg.Config() + "/autostart"));
  EXPECT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_STARTUP, TRUE));
  EXPECT_EQ(std::string(path), xdg.Config() + "/autostart");
  EXPECT_TRUE(IsFolder(path));
  EXPECT_EQ(SHGetFolderPath(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, path), S_OK);
  EXPECT_TRUE(IsFolder(xdg.Home() + "/Documents"));
}

TEST(ShellFolders, ItemListsAreOwnedAndStalePointersAreRefused) {
  XdgHome xdg;
  LPITEMIDLIST desktop = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop), S_OK);
  char path[MAX_PATH];
  EXPECT_TRUE(SHGetPathFromIDList(desktop, path));
  EXPECT_EQ(std::string(path), xdg.Home() + "/Desktop");
  LPITEMIDLIST copy = ILClone(desktop);
  EXPECT_TRUE(ILIsEqual(desktop, copy));
  ILFree(desktop);
  EXPECT_FALSE(SHGetPathFromIDList(desktop, path));  // freed: refused, not followed
  EXPECT_EQ(std::string(path), "");
  ILFree(desktop);  // a second free does nothing
  EXPECT_TRUE(SHGetPathFromIDList(copy, path));
  CoTaskMemFree(copy);
  EXPECT_FALSE(ILIsValid(copy));

  LPITEMIDLIST relative = ILCreateFromPath("a/../b/");
  EXPECT_EQ(ILPath(relative), std::filesystem::current_path().string() + "/b");
  ILFree(relative);
  const std::string longName = "/" + std::string(MAX_PATH, 'n');
  LPITEMIDLIST tooLong = ILCreateFromPath(longName.c_str());
  EXPECT_FALSE(SHGetPathFromIDList(tooLong, path));
  ILFree(tooLong);
  EXPECT_EQ(ILCreateFromPath(""), nullptr);
  EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_NETWORK, &desktop), E_INVALIDARG);
  EXPECT_EQ(desktop, nullptr);
}

}  // namespace
