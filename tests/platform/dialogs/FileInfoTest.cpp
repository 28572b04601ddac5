#include <gtest/gtest.h>

#include "platform/dialogs/FileInfo.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"

namespace {

TEST(FileInfo, TypeNamesComeFromTheExtension) {
  struct Case {
    const char* name;
    bool folder;
    const char* type;
  };
  const Case cases[] = {
      {"x.png", false, "PNG Image"}, {"X.JPG", false, "JPEG Image"}, {"a.b.gif", false, "GIF Image"},
      {"notes.txt", false, "Text Document"}, {"data.xyz", false, "XYZ File"}, {"README", false, "File"},
      {".profile", false, "File"}, {"pics.png", true, "File Folder"},
  };
  for (const Case& c : cases) {
    SHFILEINFO info;
    ASSERT_NE(SHGetFileInfo(c.name, c.folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                            SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME | SHGFI_DISPLAYNAME),
              0u);
    EXPECT_STREQ(info.szTypeName, c.type) << c.name;
    EXPECT_STREQ(info.szDisplayName, c.name);
  }
}

TEST(FileInfo, RealFilesGiveIconsFromTheSharedLists) {
  UiDriver ui;
  TempHome home;
  const std::string picture = home.WriteFile("photo.png", "x");
  const std::string text = home.WriteFile("notes.txt", "x");
  SHFILEINFO folderInfo, pictureInfo, textInfo;
  DWORD_PTR small = SHGetFileInfo(home.Path().c_str(), 0, &folderInfo, sizeof folderInfo,
                                  SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  DWORD_PTR large = SHGetFileInfo(picture.c_str(), 0, &pictureInfo, sizeof pictureInfo, SHGFI_SYSICONINDEX);
  SHGetFileInfo(text.c_str(), 0, &textInfo, sizeof textInfo, SHGFI_SYSICONINDEX);
  EXPECT_EQ(small, reinterpret_cast<DWORD_PTR>(FileIconList(true)));
  EXPECT_EQ(large, reinterpret_cast<DWORD_PTR>(FileIconList(false)));
  int width = 0, height = 0;
  ImageList_GetIconSize(FileIconList(true), &width, &height);
  EXPECT_EQ(width, 16);
  ImageList_GetIconSize(FileIconList(false), &width, &height);
  EXPECT_EQ(width, 32);
  EXPECT_NE(folderInfo.iIcon, pictureInfo.iIcon);
  EXPECT_NE(pictureInfo.iIcon, textInfo.iIcon);

  SHFILEINFO withIcon;
  ASSERT_NE(SHGetFileInfo(picture.c_str(), 0, &withIcon, sizeof withIcon, SHGFI_ICON | SHGFI_SMALLICON), 0u);
  ASSERT_TRUE(withIcon.hIcon);
  DestroyIcon(withIcon.hIcon);

  SHFILEINFO missing;
  EXPECT_EQ(SHGetFileInfo((home.Path() + "/gone.png").c_str(), 0, &missing, sizeof missing, SHGFI_TYPENAME), 0u);
  EXPECT_EQ(SHGetFileInfo(picture.c_str(), 0, nullptr, 0, SHGFI_TYPENAME), 0u);
}

}  // namespace
