// A component with "Icon=" paints as a brush: a palette button, dabs inside the brush shape,
// one undo step per stroke, and the same after a second scan.

#include <gtest/gtest.h>

#include "QlcFixture.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class ComponentBrushTest : public QlcProgramTest {
protected:
  int Steps() const {
    int n = 0;
    for (UndoEntry* e = Picture().UndoChain; e; e = e->Next) ++n;
    return n;
  }
  // Drags across the image's view from (x1, y) to (x2, y) in image pixels.
  void Stroke(int x1, int x2, int y) {
    const POINT from = UiDriver::At(ImageForm->ShowBuf->GetHandle(), x1, y);
    const POINT to = UiDriver::At(ImageForm->ShowBuf->GetHandle(), x2, y);
    ui.Drag(from, to);
    ui.RunUntilIdle();
  }
  void ChooseBrush() {
    const int g = PaletteGroupOf(&QlComponentBrushTool);
    ASSERT_GE(g, 0);
    SelectTool(&QlComponentBrushTool, true, PaletteGroups[static_cast<std::size_t>(g)].SelectedEntry);
    ui.RunUntilIdle();
    ASSERT_EQ(CurrentTool, &QlComponentBrushTool);
  }
};

TEST_F(ComponentBrushTest, TheBrushPaintsItsComponentInsideTheBrushShape) {
  StartOn(120, 80, 0x00FFFFFF);
  InstallComponents({"inverter", "brushes/brush"});
  const QLCDSTR& brush = ComponentTable[1];
  ASSERT_EQ(brush.Name, "Colour Brush");
  ASSERT_NE(brush.PaletteEntry, 65535);
  EXPECT_EQ(PaletteEntries[brush.PaletteEntry].Tool, &QlComponentBrushTool);
  EXPECT_EQ(PaletteEntries[brush.PaletteEntry].GlyphIndex, 5);
  EXPECT_EQ(ComponentTable[0].PaletteEntry, 65535);
  ChooseBrush();
  Stroke(20, 60, 40);
  EXPECT_EQ(*Picture().At(40, 40) & 0xFFFFFF, 0x000000u);
  // Far from the stroke nothing changed.
  EXPECT_EQ(*Picture().At(40, 5) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(*Picture().At(100, 40) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(Steps(), 1);
  Stroke(20, 60, 60);
  EXPECT_EQ(Steps(), 2);
  EXPECT_GT(*Cell<int>("brush", "brush_process_calls"), 2);
}

TEST_F(ComponentBrushTest, AfterASecondScanTheBrushStillRunsItsComponent) {
  StartOn(120, 80, 0x00FFFFFF);
  InstallComponents({"inverter", "brushes/brush"});
  const int entry = ComponentTable[1].PaletteEntry;
  // The second scan finds the brush at another index.
  InstallComponents({"brushes/brush"});
  ASSERT_EQ(ComponentCount, 1);
  EXPECT_EQ(ComponentTable[0].PaletteEntry, entry);
  EXPECT_EQ(ImageItem("&Inverter"), nullptr);
  ChooseBrush();
  Stroke(20, 60, 40);
  EXPECT_EQ(*Picture().At(40, 40) & 0xFFFFFF, 0x000000u);
}

}  // namespace
