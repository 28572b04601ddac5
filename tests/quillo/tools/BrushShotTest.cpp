// The brush's interactive tools and dialogs as a user meets them, for a person to look at
// (scripts/screenshot-brush.sh): a picture at twice its size with the rotate tool turning the
// brush and the angle in the status bar, the drop-shadow dialog, and the Brush menu open. Each
// is checked where a user would look before the screen is shown.

#include <gtest/gtest.h>

#include "BrushLetters.h"
#include "PaintShotFixture.h"
#include "platform/host/KeyCodes.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/UpDown.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DropShadowForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class BrushShot : public PaintShotTest {
protected:
  ~BrushShot() override { DropShFormLeft = -1; }

  // A picture at 2x with a striped brush of 40 x 24 resting on it.
  void Paint() {
    Start();
    window = CreateDocumentWindow(240, 160, "");
    ui.RunUntilIdle();
    window->Picture.Box(window->Picture.rect, kPaper);
    window->SetBounds(window->GetLeft(), window->GetTop(), 560, 420);
    form->Zoom->SetPosition(2);
    ApplyZoom();
    ui.RunUntilIdle();
    Brush.Alloc(40, 24);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 40; ++x) *Brush.At(x, y) = y < 8 ? 0xC03020 : y < 16 ? 0xE0B020 : kInk;
    BrushMode = BrushModePaint;
    UseCustomBrushShape();
    ui.Advance(500);
  }


};

TEST_F(BrushShot, TheRotateFeedbackWithItsAngle) {
  Paint();
  SelectTool(&RotateBrushTool, true, -1);
  Click(TPoint(120, 80));
  // Up and to the right of the centre: 45 degrees.
  MoveTo(TPoint(150, 50));
  EXPECT_EQ(window->StatusText(spSizes), AnsiString("45.00\xB0"));
  EXPECT_EQ(*window->Picture.At(120, 80) & 0xFFFFFF, 0xE0B020u) << "the brush's middle stripe at its centre";
  EXPECT_EQ(*window->Picture.At(120 + 18, 80) & 0xFFFFFF, kPaper) << "the turned brush leaves its old corner";
  ui.ShowToViewer(UiDriver::Hold::Still);
}

TEST_F(BrushShot, TheDropShadowDialog) {
  Paint();
  bool shown = false;
  ui.WhenModalWaits([&] {
    auto* dialog = dynamic_cast<TDropShForm*>(::Screen()->ActiveForm());
    ASSERT_NE(dialog, nullptr);
    shown = dialog->GetVisible();
    dialog->ShDir->SetItemIndex(1);
    FlushDesktop();
    ui.ShowToViewer();
    ui.QueuePress(VK_ESCAPE);
  });
  form->DropShadow1Click(form);
  ui.RunUntilIdle();
  EXPECT_TRUE(shown);
  EXPECT_EQ(Brush.Width(), 40) << "cancelled";
}

TEST_F(BrushShot, TheBrushMenuOpen) {
  Paint();
  const MenuPlace bar = FindMenuItem({"&Brush"});
  const MenuPlace rotate = FindMenuItem({"&Brush", "&Rotate"});
  ASSERT_GE(rotate.position, 0);
  RECT r{};
  GetMenuItemRect(form->GetHandle(), bar.menu, static_cast<UINT>(bar.position), &r);
  ui.QueueClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  bool open = false;
  ui.WhenModalWaits([&] {
    RECT item{};
    open = GetMenuItemRect(nullptr, rotate.menu, static_cast<UINT>(rotate.position), &item) && item.bottom > item.top;
    FlushDesktop();
    ui.ShowToViewer();
    ui.QueuePress(VK_ESCAPE);
    ui.QueuePress(VK_ESCAPE);
  });
  ui.RunUntilIdle();
  EXPECT_TRUE(open);
}

}  // namespace
