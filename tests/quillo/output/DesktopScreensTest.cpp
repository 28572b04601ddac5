// The Desktop menu as a user meets it: the wallpaper written as a bitmap the desktop shows
// and the registry keeps, and opened again, and the system's screens exported small and
// imported twice as wide; Import is offered only for files that can be read.

#include <cstring>
#include <filesystem>
#include <string>

#include "../shell/ProgramFixture.h"
#include "platform/rtl/RegistryApi.h"
#include "platform/user/SysParams.h"
#include "platform/vcl/Menus.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/output/DesktopScreens.h"
#include "quillo/shell/MainFormDesktop.h"

namespace {

namespace fs = std::filesystem;

// The fields of a BMP file's header that say what it holds.
struct BmpHeader {
  bool bitmap = false;
  int width = 0, height = 0, bits = 0;
};

BmpHeader ReadBmpHeader(const std::string& path) {
  const std::string bytes = FileContents(path);
  BmpHeader h;
  if (bytes.size() < 30 || bytes.compare(0, 2, "BM") != 0) return h;
  const auto word = [&](size_t at, size_t size) {
    int value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<unsigned char>(bytes[at + i]) << (8 * i);
    return value;
  };
  h.bitmap = true;
  h.width = word(18, 4);
  h.height = word(22, 4);
  h.bits = word(28, 2);
  return h;
}

void SetBootDir(const char* value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Setup", 0, nullptr, 0,
                           KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueEx(key, "BootDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(std::strlen(value) + 1));
  RegCloseKey(key);
}

class DesktopScreensTest : public ProgramTest {
protected:
  std::string Windows() const { return home.Path() + "/windows/"; }
  bool ImportEnabled(const char* item) {
    Desktop1Click(form);
    return form->MenuItemNamed(item)->GetEnabled();
  }
};

TEST_F(DesktopScreensTest, ExportedWallpaperIsABitmapTheDesktopShowsAndKeeps) {
  const std::string photo = WriteImage("photo.jpg", 64, 48, 0x3060C0);
  Start({photo});
  ASSERT_NE(CurrentPicture, nullptr);
  CurrentPicture->Box(Rect(0, 0, 31, 47), 0xC03020);
  MarkPictureChanged();
  const std::uint32_t left = *CurrentPicture->At(10, 10), right = *CurrentPicture->At(50, 10);
  EXPECT_FALSE(ImportEnabled("Import1"));

  ExportWallpaper();
  ui.RunUntilIdle();
  // A bitmap whatever the picture came from.
  const BmpHeader written = ReadBmpHeader(Windows() + "Quillo.bmp");
  EXPECT_TRUE(written.bitmap);
  EXPECT_EQ(written.bits, 24);
  EXPECT_EQ(written.width, 64);
  // The document is still the photo, with its changes.
  EXPECT_EQ(CurrentPicture->FileName, photo);
  EXPECT_GT(CurrentPicture->ChangeCount, 0);
  EXPECT_EQ(WallpaperSourcePath(), Windows() + "Quillo.bmp");

  // Centred on the desktop, where no window covers it: hide them all.
  const auto shownAt = [&] {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) ShowWindow(w, SW_HIDE);
    ui.RunUntilIdle();
    return std::pair(ui.Pixel(640 - 32 + 10, 400 - 24 + 10), ui.Pixel(640 - 32 + 50, 400 - 24 + 10));
  };
  EXPECT_EQ(shownAt(), std::pair(left & 0xFFFFFF, right & 0xFFFFFF));
}

TEST_F(DesktopScreensTest, WallpaperThatCannotBeWrittenIsNotSet) {
  Start();
  // A folder where the file should go: the save fails and says so.
  fs::create_directories(Windows() + "Quillo.bmp");
  ui.AnswerMessageBoxes({IDOK});
  ExportWallpaper();
  EXPECT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(WallpaperSourcePath(), "");
  EXPECT_EQ(WallpaperPath(), "");
}

TEST_F(DesktopScreensTest, ImportOpensTheWallpaper) {
  Start();
  const std::string wallpaper = WriteImage("paper.bmp", 40, 30, 0x10A040);
  SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(wallpaper.c_str()), SPIF_UPDATEINIFILE);
  EXPECT_TRUE(ImportEnabled("Import1"));
  ImportWallpaper();
  ui.RunUntilIdle();
  ASSERT_NE(CurrentPicture, nullptr);
  EXPECT_EQ(CurrentPicture->FileName, wallpaper);
  EXPECT_EQ(CurrentPicture->Width(), 40);
  EXPECT_EQ(*CurrentPicture->At(5, 5) & 0xFFFFFF, 0x10A040u);
}

TEST_F(DesktopScreensTest, WaitingScreenIsWrittenSmallOnlyAfterYes) {
  Start({WriteImage("big.png", 1024, 768, 0x808080)});
  ui.AnswerMessageBoxes({IDNO});
  ExportDesktopScreen(DesktopScreen::Waiting);
  EXPECT_FALSE(fs::exists(Windows() + "logow.sys"));
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0].find("Replace the Windows waiting screen"), 0u);

  ui.AnswerMessageBoxes({IDYES});
  ExportDesktopScreen(DesktopScreen::Waiting);
  const BmpHeader written = ReadBmpHeader(Windows() + "logow.sys");
  EXPECT_TRUE(written.bitmap);
  EXPECT_EQ(written.width, 320);
  EXPECT_EQ(written.height, 400);
  EXPECT_EQ(written.bits, 8);
  EXPECT_EQ(CurrentPicture->Width(), 1024);
}

TEST_F(DesktopScreensTest, ScreenImportsTwiceAsWideAndOnlyWhenReadable) {
  Start();
  EXPECT_FALSE(ImportEnabled("Import4"));
  fs::create_directories(Windows());
  fs::rename(WriteImage("screen.bmp", 320, 400, 0x2040E0), Windows() + "logos.sys");
  EXPECT_TRUE(ImportEnabled("Import4"));
  ImportDesktopScreen(DesktopScreen::Shutdown);
  ui.RunUntilIdle();
  ASSERT_NE(CurrentPicture, nullptr);
  EXPECT_EQ(CurrentPicture->Width(), 640);
  EXPECT_EQ(CurrentPicture->Height(), 400);
  EXPECT_EQ(*CurrentPicture->At(639, 399) & 0xFFFFFF, 0x2040E0u);

  // A screen file that is no picture: the load says so and no document is made.
  const int open = ImgFormCount;
  home.WriteFile("windows/logow.sys", "not a picture at all");
  EXPECT_TRUE(ImportEnabled("Import3"));
  ui.AnswerMessageBoxes({IDOK, IDOK});
  ImportDesktopScreen(DesktopScreen::Waiting);
  ui.RunUntilIdle();
  EXPECT_EQ(ImgFormCount, open);
  EXPECT_FALSE(ui.MessageBoxTexts().empty());
}

TEST_F(DesktopScreensTest, StartupScreenFollowsTheBootFolder) {
  Start();
  // Unset, the Windows folder holds it.
  EXPECT_EQ(DesktopScreenPath(DesktopScreen::Startup), Windows() + "logo.sys");
  // A folder named without its separator still gets its own file.
  fs::create_directories(home.Path() + "/boot");
  SetBootDir((home.Path() + "/boot").c_str());
  EXPECT_EQ(DesktopScreenPath(DesktopScreen::Startup), home.Path() + "/boot/logo.sys");
  ui.AnswerMessageBoxes({IDYES});
  ExportDesktopScreen(DesktopScreen::Startup);
  EXPECT_TRUE(ReadBmpHeader(home.Path() + "/boot/logo.sys").bitmap);
  EXPECT_TRUE(ImportEnabled("Import2"));
  // None named: nothing to import, and Export says so instead of writing anywhere.
  SetBootDir("");
  EXPECT_FALSE(ImportEnabled("Import2"));
  ui.AnswerMessageBoxes({IDOK});
  ExportDesktopScreen(DesktopScreen::Startup);
  ASSERT_FALSE(ui.MessageBoxTexts().empty());
  EXPECT_EQ(ui.MessageBoxTexts().back(), "The system names no folder for the start-up screen.");
  EXPECT_FALSE(fs::exists("logo.sys"));
}

}  // namespace
