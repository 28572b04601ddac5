// The open dialog with its panel as a person sees it (scripts/screenshot-open-picture.sh):
// a folder of pictures, one selected, its thumbnail and information beside the list.

#include <cmath>

#include "../shell/ProgramFixture.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/OpenPictureDialog.h"
#include "quillo/base/Settings.h"
#include "support/FileDialogUser.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"

namespace {

std::uint32_t Mix(std::uint32_t from, std::uint32_t to, int step, int steps) {
  std::uint32_t mixed = 0;
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>((from >> shift) & 0xFF), b = static_cast<int>((to >> shift) & 0xFF);
    mixed |= static_cast<std::uint32_t>(a + (b - a) * step / steps) << shift;
  }
  return mixed;
}

// An evening sky over hills with the sun low: a picture one knows again in a thumbnail.
std::string WriteSunset(const std::string& path, int w, int h) {
  Buffer image;
  image.Alloc(Pair<int>(w, h));
  for (int y = 0; y < h; ++y) image.Box(Rect(0, y, w - 1, y), Mix(0xF0C060, 0x803060, y, h));
  FillDisc(image, w / 2, h * 2 / 3, h / 6, 0xFFF0A0);
  for (int x = 0; x < w; ++x) {
    const int ridge = h * 3 / 4 + static_cast<int>(h / 12.0 * std::sin(x / 17.0));
    image.Box(Rect(x, ridge, x, h - 1), 0x302040);
  }
  GFXFile::Save(image, path, nullptr, nullptr);
  image.Free();
  return path;
}

class OpenPictureShot : public ProgramTest {};

TEST_F(OpenPictureShot, TheDialogWithTheSelectedPicturePreviewed) {
  WriteSunset(home.Path() + "/sunset.png", 480, 320);
  WriteSunset(home.Path() + "/hills.bmp", 200, 300);
  WriteImage("square.png", 64, 64, 0x3070C0);
  Settings.ImageDir = home.Path() + "/";
  Start();
  const MenuPlace bar = FindMenuItem({"&File"});
  const MenuPlace entry = FindMenuItem({"&File", "&Open..."});
  RECT r{};
  ASSERT_TRUE(GetMenuItemRect(form->GetHandle(), bar.menu, static_cast<UINT>(bar.position), &r));
  FileDialogUser user(ui);
  std::string size;
  RECT thumb{};
  bool imageNumberShown = true;
  ui.WhenModalWaits([&] {
    RECT item{};
    GetMenuItemRect(form->GetHandle(), entry.menu, static_cast<UINT>(entry.position), &item);
    ui.QueueClick((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ui.WhenModalWaits([&] {
      user.ClickItem("sunset.png");
      size = OpenPlus->PicSize->GetCaption();
      imageNumberShown = IsWindowVisible(OpenPlus->ImgNum->GetHandle());
      TBuffer* view = OpenPlus->PreviewBuf;
      thumb = {view->GetLeft(), view->GetTop(), view->GetWidth(), view->GetHeight()};
      // Everything painted before the screen is taken.
      MSG msg;
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
      RedrawWindow(FileDialogUser::Dialog(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      ui.ShowToViewer(UiDriver::Hold::Live);
      user.ClickControl(IDCANCEL);
    });
  });
  ui.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ui.RunUntilIdle();
  EXPECT_EQ(size, "Size: 480x320 Pixels");
  EXPECT_FALSE(imageNumberShown);  // a file of one image
  EXPECT_EQ(thumb.left, 4);
  EXPECT_EQ(thumb.top, 62);
  EXPECT_EQ(thumb.right, 240);
  EXPECT_EQ(thumb.bottom, 160);
}

}  // namespace
