#include "vorlen/core/LibraryConfig.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/Module.h"
#include "platform/rtl/Profile.h"
#include "platform/rtl/SysUtils.h"
#include "support/TempHome.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/draw/RFont.h"

namespace {

// Runs the entry routine again on a clean slate, as a fresh process would.
class LibraryConfig : public ::testing::Test {
protected:
  void SetUp() override {
    saved_x_ = Buffer::default_x;
    saved_y_ = Buffer::default_y;
    saved_font_ = RFont::path;
  }
  void TearDown() override {
    Buffer::default_x = saved_x_;
    Buffer::default_y = saved_y_;
    std::snprintf(RFont::path, sizeof RFont::path, "%s", saved_font_.c_str());
  }

  void Attach() {
    Buffer::config_file[0] = '\0';
    Buffer::default_x = 256;
    Buffer::default_y = 192;
    RFont::path[0] = '\0';
    EXPECT_EQ(VorlenDllMain(library(), DLL_PROCESS_ATTACH, nullptr), TRUE);
  }

  static HINSTANCE library() {
    return ModuleOfAddress(reinterpret_cast<const void*>(&VorlenDllMain));
  }

  TempHome home_;

private:
  int saved_x_ = 0, saved_y_ = 0;
  std::string saved_font_;
};

}  // namespace

TEST_F(LibraryConfig, WithoutConfigurationTheDefaultsStand) {
  Attach();
  EXPECT_STREQ(Buffer::GetConfigFile(), "");
  EXPECT_EQ(Buffer::GetDefaultX(), 256);
  EXPECT_EQ(Buffer::GetDefaultY(), 192);
  const AnsiString libraryPath = ModuleFileName(library());
  EXPECT_EQ(ExtractFileName(libraryPath), "libvorlen.so");
  EXPECT_EQ(AnsiString(RFont::GetPath()), FontFolderBesideLibrary(libraryPath));
  EXPECT_EQ(AnsiString(RFont::GetPath()).back(), '/');
}

TEST_F(LibraryConfig, ReadsTheSetupAndFontFolderFromTheLibraryIni) {
  const std::string ini = home_.WriteFile(
      "vorlen.ini", "[config]\nsetup=Wide\n[wide.setup]\nwidth=800\nheight=600\n"
                    "[dirs]\nfonts=/opt/fonts\n");
  ASSERT_TRUE(WriteProfileString("VORLEN", "config", ini.c_str()));
  Attach();
  EXPECT_EQ(AnsiString(Buffer::GetConfigFile()), ini);
  EXPECT_EQ(Buffer::default_x, 800);
  EXPECT_EQ(Buffer::default_y, 600);
  EXPECT_STREQ(RFont::path, "/opt/fonts/");
}

TEST_F(LibraryConfig, MissingKeysKeepTheirDefaults) {
  const std::string ini = home_.WriteFile(
      "vorlen.ini", "[config]\nsetup=half\n[half.setup]\nwidth=abc\n[dirs]\nfonts=/opt/fonts/\n");
  ASSERT_TRUE(WriteProfileString("VORLEN", "config", ini.c_str()));
  Attach();
  EXPECT_EQ(Buffer::default_x, 0);  // not a number: stored as the profile reads it
  EXPECT_EQ(Buffer::default_y, 192);
  EXPECT_STREQ(RFont::path, "/opt/fonts/");
}

TEST_F(LibraryConfig, WithoutASetupOrFontsTheSizeStandsAndFontsLieBesideTheLibrary) {
  const std::string ini = home_.WriteFile("vorlen.ini", "[nothing]\n[wide.setup]\nwidth=800\n");
  ASSERT_TRUE(WriteProfileString("VORLEN", "config", ini.c_str()));
  Attach();
  EXPECT_EQ(Buffer::default_x, 256);
  EXPECT_EQ(AnsiString(RFont::path), FontFolderBesideLibrary(ModuleFileName(library())));
}

TEST(FontFolder, ASiblingFontsFolderReplacesBin) {
  struct Case {
    const char* library;
    const char* folder;
  } cases[] = {
      {"/opt/quillo/Bin/libvorlen.so", "/opt/quillo/FONTS/"},
      {"/opt/quillo/bin/libvorlen.so", "/opt/quillo/FONTS/"},
      {"/opt/quillo/lib/libvorlen.so", "/opt/quillo/lib/"},
      {"/opt/quillo/cabin/libvorlen.so", "/opt/quillo/cabin/"},
      {"/bin/libvorlen.so", "/bin/"},
      {"x/bin/libvorlen.so", "x/FONTS/"},
  };
  for (const Case& c : cases) EXPECT_EQ(FontFolderBesideLibrary(c.library), c.folder) << c.library;
}
