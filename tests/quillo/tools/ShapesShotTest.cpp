// The shape and fill tools as a user meets them, for a person to look at
// (scripts/screenshot-shapes.sh): a picture at twice its size holding a filled polygon and a
// dotted circle, then in turn the rubber line with its arrow head and its size in the status
// bar, a circle's dotted feedback under the pointer, and the fill tool's bar in the tool
// options window. Each is checked where a user would look before the screen is shown.

#include <gtest/gtest.h>

#include "PaintShotFixture.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/UpDown.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class ShapesShot : public PaintShotTest {
protected:

  // A picture with a filled polygon and a dotted circle, at 2x; the pointer over it.
  void Paint() {
    Start();
    window = CreateDocumentWindow(240, 160, "");
    ui.RunUntilIdle();
    window->Picture.Box(window->Picture.rect, kPaper);
    window->SetBounds(window->GetLeft(), window->GetTop(), 560, 420);
    form->Zoom->SetPosition(2);
    ApplyZoom();
    ui.RunUntilIdle();
    form->DrawCol->SetColor(static_cast<TColor>((kInk & 0xFF) << 16 | (kInk & 0xFF00) | (kInk >> 16)));
    MakeFactoryBrush(FactoryShape::Round, 3, 100, kInk);
    UpdateBrushShape(false);
    ui.Advance(500);
    SelectTool(&FillPolyTool, true, -1);
    for (const TPoint& p : {TPoint(20, 20), TPoint(90, 30), TPoint(70, 90), TPoint(30, 70), TPoint(20, 20)}) Click(p);
    SelectTool(&CircleTool, true, -1);
    SetOptionValue(0, 2);
    SetOptionValue(1, 24);
    Click(TPoint(170, 60));
    Click(TPoint(200, 60));
  }

  bool Inked(int x, int y) const { return (*window->Picture.At(x, y) & 0xFFFFFF) == kInk; }

};

TEST_F(ShapesShot, ARubberLineWithItsArrowHeadAndSize) {
  Paint();
  EXPECT_TRUE(Inked(50, 50)) << "the polygon's inside";
  EXPECT_TRUE(Inked(170, 30)) << "the circle's first dot, at its top";
  SelectTool(&LineTool, true, -1);
  SetOptionValue(2, 3);
  Click(TPoint(40, 130));
  MoveTo(TPoint(200, 120));
  EXPECT_EQ(window->StatusText(spSizes), "[0.80,-0.05]");
  EXPECT_NE(*window->Picture.At(120, 125) & 0xFFFFFF, kPaper) << "the rubber line";
  ui.ShowToViewer(UiDriver::Hold::Still);
}

TEST_F(ShapesShot, ACirclesDottedFeedback) {
  Paint();
  SelectTool(&EllipseTool, true, -1);
  SetOptionValue(0, 1);
  SetOptionValue(1, 4);
  Click(TPoint(120, 110));
  MoveTo(TPoint(150, 130));
  EXPECT_NE(*window->Picture.At(120, 110 - 28) & 0xFFFFFF, kPaper) << "the top dot of the feedback";
  ui.ShowToViewer(UiDriver::Hold::Still);
}

TEST_F(ShapesShot, TheFillBar) {
  Paint();
  SelectTool(&FillSolidTool, true, -1);
  ui.RunUntilIdle();
  ASSERT_TRUE(ToolForm->GetVisible());
  EXPECT_EQ(ToolForm->IconSheet->GetCaption(), "Solid Fill");
  form->DrawCol->SetColor(static_cast<TColor>(0x40C0F0));
  Click(TPoint(50, 50));
  EXPECT_EQ(*window->Picture.At(50, 50) & 0xFFFFFF, 0xF0C040u) << "the polygon filled anew";
  MoveTo(TPoint(200, 140));
  ui.ShowToViewer(UiDriver::Hold::Still);
}

}  // namespace
