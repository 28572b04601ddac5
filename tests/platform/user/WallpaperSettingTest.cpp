// A wallpaper set for keeps is in the registry and on the desktop when it starts again; one
// set for the moment only is gone after a restart.

#include <gtest/gtest.h>

#include <vector>

#include "platform/user/Desktop.h"
#include "platform/user/SysParams.h"
#include "platform/user/User.h"
#include "platform/user/WallpaperSetting.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"

namespace {

TEST(WallpaperSetting, KeptWallpaperShowsAgainAfterARestart) {
  TempHome home;
  UiDriver ui(400, 300);
  std::vector<std::uint32_t> pixels(20 * 10, 0x30A050);
  const std::string file = home.Path() + "/paper.bmp";
  ASSERT_TRUE(SaveSurfaceBmp(Surface{pixels.data(), 20, 20, 10}, RECT{0, 0, 20, 10}, file));
  const std::uint32_t plain = PixelFromColor(GetSysColor(COLOR_DESKTOP));

  // For the moment only: shown, not kept.
  SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(file.c_str()), 0);
  ui.RunUntilIdle();
  EXPECT_EQ(ui.Pixel(200, 150), 0x30A050u);
  EXPECT_EQ(StoredWallpaperSetting(), "");
  RestartDesktop(DesktopConfig{400, 300, 32, true}, "headless");
  ui.RunUntilIdle();
  EXPECT_EQ(ui.Pixel(200, 150), plain);

  // Kept: the registry has it, and the next desktop paints it before anything else.
  SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(file.c_str()), SPIF_UPDATEINIFILE);
  EXPECT_EQ(StoredWallpaperSetting(), file);
  RestartDesktop(DesktopConfig{400, 300, 32, true}, "headless");
  ui.RunUntilIdle();
  EXPECT_EQ(ui.Pixel(200, 150), 0x30A050u);
  EXPECT_EQ(ui.Pixel(150, 150), plain);
}

}  // namespace
