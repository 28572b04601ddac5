// The image browser with a grid of thumbnails and the gallery dialog over it, as a user sees
// them over the started program; shown to a viewer by scripts/screenshot-browser.sh and
// scripts/screenshot-gallery.sh.

#include <filesystem>

#include "../shell/ProgramFixture.h"

#include "platform/user/Desktop.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Settings.h"
#include "quillo/files/BrowseForm.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"

namespace {

class BrowseShot : public ProgramTest {
protected:
  BrowseShot() { ForgetBrowseFormPlace(); }
  ~BrowseShot() override { ForgetBrowseFormPlace(); }

  // A folder of pictures of different shapes and colours, and one damaged file.
  void Pictures() {
    const std::string folder = home.Path() + "/holiday/";
    std::filesystem::create_directories(folder);
    const struct {
      const char* name;
      int w, h;
    } shapes[] = {{"beach.png", 320, 200}, {"harbour.bmp", 200, 300}, {"sunset.png", 160, 120},
                  {"a-rather-long-name-for-a-picture.png", 240, 120}, {"icon.bmp", 32, 32},
                  {"street.png", 300, 100}, {"garden.bmp", 120, 90}};
    int k = 0;
    for (const auto& s : shapes) {
      Buffer image;
      image.Alloc(Pair<int>(s.w, s.h));
      for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x)
          *image.At(x, y) = static_cast<uint>(((x * 255 / s.w) << 16) | ((y * 255 / s.h) << 8) | (k * 40 & 0xFF));
      GFXFile::Save(image, folder + s.name, nullptr, nullptr);
      image.Free();
      ++k;
    }
    home.WriteFile("holiday/broken.png", "not a picture");
    Settings.ImageDir = folder;
  }
  static TBrowseForm* Browser() {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* b = dynamic_cast<TBrowseForm*>(Screen()->Forms(i)); b && b->GetVisible()) return b;
    return nullptr;
  }
  void Show() {
    FlushDesktop();
    ui.ShowToViewer();
  }
};

TEST_F(BrowseShot, TheBrowserWithAGrid) {
  Start();
  Pictures();
  ui.WhenModalWaits([this] { ui.Advance(50); });
  ui.WhenModalWaits([this] {
    ASSERT_NE(Browser(), nullptr);
    EXPECT_NE(Browser()->CellShowing(7), nullptr);
    Show();
    ui.QueuePress(VK_ESCAPE);
  });
  Browse1Click(nullptr);
}

TEST_F(BrowseShot, TheGalleryDialog) {
  Start();
  Pictures();
  ui.WhenModalWaits([this] { ui.Advance(50); });
  ui.WhenModalWaits([this] { Browser()->CreateHTMLBtn->Click(); });
  ui.WhenModalWaits([this] {
    Show();
    ui.QueuePress(VK_ESCAPE);
  });
  ui.WhenModalWaits([this] { ui.QueuePress(VK_ESCAPE); });
  Browse1Click(nullptr);
}

}  // namespace
