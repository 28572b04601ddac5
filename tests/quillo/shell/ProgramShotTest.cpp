// The program as a user first sees it with two images on its command line, one of them
// zoomed in: the main window's bar with its menus and toolbars, the tool palette, and the two
// document windows. Checked where a user would look, and shown to a viewer by
// scripts/screenshot-program.sh (QUILLO_SHOT saves the desktop, QUILLO_DEMO_HOLD_MS keeps it).

#include "ProgramFixture.h"

#include <cmath>
#include <functional>

#include "vorlen/formats/GFXFile.h"

#include "platform/vcl/UpDown.h"
#include "quillo/document/DocumentList.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/base/Settings.h"

namespace {

std::uint32_t Mix(std::uint32_t from, std::uint32_t to, int step, int steps) {
  std::uint32_t mixed = 0;
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>((from >> shift) & 0xFF), b = static_cast<int>((to >> shift) & 0xFF);
    mixed |= static_cast<std::uint32_t>(a + (b - a) * step / steps) << shift;
  }
  return mixed;
}

// Pictures a user would recognise: a sky fading into the evening with the sun low over dark
// hills, and a calm sea with a sail in its upper left and a beach along its bottom (the sea's
// middle stays one colour for the check below).
void PaintSunset(Buffer& image) {
  const int w = image.Width(), h = image.Height();
  for (int y = 0; y < h; ++y) image.Box(Rect(0, y, w - 1, y), Mix(0xF0C060, 0x803060, y, h));
  FillDisc(image, w / 2, h * 2 / 3, h / 6, 0xFFF0A0);
  for (int x = 0; x < w; ++x) {
    const int ridge = h * 3 / 4 + static_cast<int>(h / 12.0 * std::sin(x / 17.0));
    image.Box(Rect(x, ridge, x, h - 1), 0x302040);
  }
}

void PaintSea(Buffer& image, std::uint32_t sea) {
  const int w = image.Width(), h = image.Height();
  image.Box(image.rect, sea);
  for (int y = 0; y < h / 5; ++y) image.Box(Rect(0, y, w - 1, y), Mix(0xB0D8F0, sea, y, h / 5));
  for (int y = h - 20; y < h; ++y) image.Box(Rect(0, y, w - 1, y), Mix(0xE0C890, 0xC8A870, y - (h - 20), 20));
  for (int row = 0; row < 30; ++row) image.Box(Rect(30 + (30 - row), 12 + row, 30 + 30, 12 + row), 0xFFFFFF);
  image.Box(Rect(24, 43, 66, 48), 0x604020);
}

std::string WritePicture(const std::string& folder, const std::string& name, int width, int height,
                         const std::function<void(Buffer&)>& paint) {
  Buffer image;
  image.Alloc(Pair<int>(width, height));
  paint(image);
  const std::string path = folder + "/" + name;
  GFXFile::Save(image, path, nullptr, nullptr);
  image.Free();
  return path;
}

class ProgramShot : public ProgramTest {};

TEST_F(ProgramShot, TwoDocumentsOneZoomed) {
  const std::string sunset = WritePicture(home.Path(), "sunset.png", 240, 180, PaintSunset);
  const std::string sea = WritePicture(home.Path(), "sea.jpg", 200, 140, [](Buffer& b) { PaintSea(b, 0x3070C0); });
  // New windows open at the zoom of the setting (1), not at the zoom that would fit.
  Settings.FixZoom = true;
  Start({sunset, sea});
  ASSERT_EQ(ImgFormCount, 2);
  ASSERT_EQ(ImageForm->ZoomIndex, 1);

  // Two clicks on the zoom control's upper arrow: the active image at three times its size.
  const TPoint up = form->Zoom->ClientToScreen(TPoint(form->Zoom->GetWidth() / 2, 4));
  ui.Click(up.x, up.y);
  ui.Advance(1000);
  ui.Click(up.x, up.y);
  ASSERT_EQ(ImageForm, ImgForms[1]);
  EXPECT_EQ(ImageForm->ZoomIndex, 3);
  EXPECT_EQ(ImgForms[0]->ZoomIndex, 1);

  // The user drags the zoomed window beside the other one and fits it to its image: the
  // whole sea at three times its size.
  ImageForm->SetLeft(ImgForms[0]->GetLeft() + ImgForms[0]->GetWidth() + 8);
  ChooseMenuItem("&Image", "&Fit Window to Image");
  EXPECT_EQ(ImageForm->ZoomIndex, 3);
  EXPECT_EQ(ImageForm->MaxSize->GetClientWidth(), 3 * 200) << "the whole width shows, without scroll bars";
  EXPECT_EQ(ImageForm->MaxSize->GetClientHeight(), 3 * 140);

  // The image shows at its zoom: a pixel well inside the zoomed view has the sea's colour.
  const TPoint inside = ImageForm->ClientToScreen(TPoint(ImageForm->GetClientWidth() / 2, ImageForm->GetClientHeight() / 2));
  const std::uint32_t shown = ui.Pixel(inside.x, inside.y);
  for (int shift : {0, 8, 16})  // JPEG keeps the colour within a few steps
    EXPECT_NEAR(static_cast<int>((shown >> shift) & 0xFF), (0x3070C0 >> shift) & 0xFF, 8) << std::hex << shown;
  ui.ShowToViewer(UiDriver::Hold::Live);
}

}  // namespace
