// The Brush sheet: its bars make the factory brush, "Custom Shape" leaves a custom brush to
// the transparency bar alone, choosing the factory shape queues the continuous pen after a
// single or dotted pen, and the preview shows a small brush 1:1 and a large one scaled down.

#include <gtest/gtest.h>

#include "ToolFixture.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Settings.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

namespace {

class BrushSheetTest : public ToolTest {
protected:
  BrushSheetTest() {
    ToolForm->ShowSheet(ToolForm->BrushSheet, true, true);
    ui.RunUntilIdle();
    SetSwatchColour(form->DrawCol, 0x000000);
    SetSwatchColour(form->BackCol, 0xFFFFFF);
  }
  ~BrushSheetTest() override {
    CustomBrush = false;
    BrushTransparency = 50;
  }
  void ClickControl(TControl* control) {
    const POINT p = control->ClientToScreen(TPoint(5, 5));
    ui.Click(p.x, p.y);
    ui.RunUntilIdle();
  }
  static std::uint32_t Top(int x, int y) { return *Brush.At(x, y) >> 24; }
  static std::uint32_t Preview(int x, int y) { return *ToolFormPicture.At(x, y) & 0xFFFFFF; }
};

TEST_F(BrushSheetTest, SizeTenAtHardnessFiftyIsTheElevenPixelBrushOfTwoRings) {
  ToolForm->BrHardness->SetPosition(50);
  ToolForm->BrSize->SetPosition(10);
  ui.RunUntilIdle();
  ASSERT_EQ(Brush.Width(), 11);
  ASSERT_EQ(Brush.Height(), 11);
  EXPECT_EQ(Top(5, 5), 0u);
  EXPECT_EQ(Top(8, 5), 0u) << "opaque core of radius 3";
  EXPECT_EQ(Top(9, 5), 128u) << "radius 4";
  EXPECT_EQ(Top(10, 5), 255u) << "radius 5";
  EXPECT_EQ(ToolForm->BrSizeVal->GetCaption(), "10");
  EXPECT_EQ(ToolForm->BrHardnessVal->GetCaption(), "50");
  EXPECT_EQ(Settings.BrushSize, 10);
  EXPECT_EQ(Settings.BrushHardness, 50);
  EXPECT_EQ(ToolForm->BrSizeVal->GetLeft() + ToolForm->BrSizeVal->GetWidth(),
            ToolForm->BrTransp->GetLeft() + ToolForm->BrTransp->GetWidth());
}

TEST_F(BrushSheetTest, TheSquareButtonMakesSquareBrushes) {
  ToolForm->BrHardness->SetPosition(60);
  ToolForm->BrSize->SetPosition(20);
  ClickControl(ToolForm->BrRectShape);
  ASSERT_EQ(Brush.Width(), 20);
  const std::pair<int, std::uint32_t> rings[] = {{0, 255}, {1, 192}, {2, 128}, {3, 64}, {4, 0}, {15, 0}, {16, 64}};
  for (const auto& [i, top] : rings) EXPECT_EQ(Top(i, 10), top) << i;
}

TEST_F(BrushSheetTest, WithACustomShapeOnlyTheTransparencyReshapesTheBrush) {
  Brush.Alloc(3, 2);
  Brush.Box(Brush.rect, 0x00FF0000);
  BrushShape.Alloc(3, 2);
  ClickControl(ToolForm->CustomShapeRB);
  EXPECT_TRUE(CustomBrush);
  EXPECT_TRUE(ToolForm->CustomShapeRB->GetChecked());
  EXPECT_FALSE(ToolForm->FactoryShapeRB->GetChecked());
  ToolForm->BrSize->SetPosition(30);
  ToolForm->BrHardness->SetPosition(20);
  EXPECT_EQ(Brush.Width(), 3) << "the custom brush stays";
  EXPECT_EQ(ToolForm->BrSizeVal->GetCaption(), "30");
  const std::uint32_t shapeBefore = *BrushShape.At(0, 0);
  ToolForm->BrTransp->SetPosition(90);
  EXPECT_EQ(Brush.Width(), 3);
  EXPECT_NE(*BrushShape.At(0, 0), shapeBefore) << "the shape re-derived with the new transparency";
  EXPECT_EQ(BrushTransparency, 90);
}

TEST_F(BrushSheetTest, TheFactoryShapeAfterADottedPenQueuesTheContinuousPen) {
  SelectTool(&PenDiscTool, true, -1);
  ASSERT_EQ(RememberedTool, &PenDiscTool);
  ClickControl(ToolForm->CustomShapeRB);
  PendingTool = nullptr;
  ClickControl(ToolForm->FactoryShapeRB);
  EXPECT_FALSE(CustomBrush);
  EXPECT_EQ(PendingTool, &PenContTool);
  PendingTool = nullptr;
}

TEST_F(BrushSheetTest, ThePreviewShowsSmallBrushesWholeAndScalesLargeOnes) {
  BrushShape.Alloc(20, 20);
  BrushShape.Box(BrushShape.rect, 0xFF0000);
  ToolForm->DrawBrushPreview();
  EXPECT_EQ(Preview(38, 38), 0xFF0000u);
  EXPECT_EQ(Preview(57, 57), 0xFF0000u);
  EXPECT_EQ(Preview(37, 38), 0xFFFFFFu);
  EXPECT_EQ(Preview(58, 57), 0xFFFFFFu);

  BrushShape.Alloc(200, 100);
  BrushShape.Box(BrushShape.rect, 0x00FF00);
  ToolForm->DrawBrushPreview();
  EXPECT_EQ(Preview(0, 24), 0x00FF00u);
  EXPECT_EQ(Preview(95, 71), 0x00FF00u);
  EXPECT_EQ(Preview(0, 23), 0xFFFFFFu);
  EXPECT_EQ(Preview(95, 72), 0xFFFFFFu);
}

}  // namespace

#include "platform/vcl/StdButtons.h"
#include "support/FileDialogUser.h"
#include "support/TempHome.h"

namespace {

// The sheet's Save and Open buttons: the brush goes to a file and comes back from it.
TEST_F(BrushSheetTest, TheBrushIsSavedAndOpenedThroughTheSheet) {
  FileDialogUser user(ui);
  ClickControl(ToolForm->CustomShapeRB);
  Brush.Alloc(5, 3);
  Brush.Box(Brush.rect, 0x00336699);
  UpdateBrushShape(false);
  Brush.FileName = AnsiString();
  std::string saveTitle, openTitle;
  ui.WhenModalWaits([&] {
    char text[128] = {};
    GetWindowText(FileDialogUser::Dialog(), text, sizeof text);
    saveTitle = text;
    user.TypeName(home.Path() + "/brush");
  });
  ClickControl(ToolForm->BrSaveBtn);
  const std::string path = Brush.FileName;
  ASSERT_FALSE(path.empty()) << saveTitle;
  ASSERT_FALSE(FileContents(path).empty()) << path;

  Brush.Alloc(2, 2);
  ui.WhenModalWaits([&] {
    char text[128] = {};
    GetWindowText(FileDialogUser::Dialog(), text, sizeof text);
    openTitle = text;
    user.TypeName(path);
  });
  ClickControl(ToolForm->BrOpenBtn);
  EXPECT_EQ(saveTitle, "Save Brush");
  EXPECT_EQ(openTitle, "Open Brush");
  EXPECT_EQ(Brush.Width(), 5);
  EXPECT_EQ(Brush.Height(), 3);
  EXPECT_EQ(BrushShape.Width(), 5) << "the stamped brush made from it";
}

}  // namespace
