// The program as a user first sees it with two images on its command line, one of them
// zoomed in: the main window's bar with its menus and toolbars, the tool palette, and the two
// document windows. Checked where a user would look, and shown to a viewer by
// scripts/screenshot-program.sh (QUILLO_SHOT saves the desktop, QUILLO_DEMO_HOLD_MS keeps it).

#include "ProgramFixture.h"

#include "platform/vcl/UpDown.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/shell/Settings.h"

namespace {

class ProgramShot : public ProgramTest {};

TEST_F(ProgramShot, TwoDocumentsOneZoomed) {
  const std::string sunset = WriteImage("sunset.png", 160, 120, 0xE08030);
  const std::string sea = WriteImage("sea.jpg", 200, 140, 0x3070C0);
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

  // The image shows at its zoom: a pixel well inside the zoomed view has the sea's colour.
  const TPoint inside = ImageForm->ClientToScreen(TPoint(ImageForm->GetClientWidth() / 2, ImageForm->GetClientHeight() / 2));
  const std::uint32_t shown = ui.Pixel(inside.x, inside.y);
  for (int shift : {0, 8, 16})  // JPEG keeps the colour within a few steps
    EXPECT_NEAR(static_cast<int>((shown >> shift) & 0xFF), (0x3070C0 >> shift) & 0xFF, 8) << std::hex << shown;
  ui.ShowToViewer(UiDriver::Hold::Live);
}

}  // namespace
