// A stroke as a user paints it, for a person to look at (scripts/screenshot-stroke.sh): a
// picture in a document window at twice its size, a soft round brush, a wavy stroke painted
// with the continuous pen through the mouse, and the pointer resting over the picture with the
// brush outline under it. Checked where a user would look: the stroke's pixels in the picture,
// the outline on the screen under the pointer, and the outline gone from the picture once the
// pointer leaves.

#include <gtest/gtest.h>

#include <cmath>

#include "PaintShotFixture.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/UpDown.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

namespace {

using StrokeShot = PaintShotTest;

TEST_F(StrokeShot, WavyStrokeWithTheBrushOutlineUnderThePointer) {
  Start();
  TImageForm* window = CreateDocumentWindow(240, 160, "");
  ui.RunUntilIdle();
  window->Picture.Box(window->Picture.rect, kPaper);
  window->SetBounds(window->GetLeft(), window->GetTop(), 560, 420);
  form->Zoom->SetPosition(2);
  ApplyZoom();
  ui.RunUntilIdle();

  // The drawing colour, a soft round brush of 15 pixels in it, the continuous pen.
  form->DrawCol->SetColor(static_cast<TColor>((kInk & 0xFF) << 16 | (kInk & 0xFF00) | (kInk >> 16)));
  MakeFactoryBrush(FactoryShape::Round, 15, 40, kInk);
  BrushMode = BrushModeColor;
  UpdateBrushShape(false);
  SelectTool(&PenContTool, true, -1);
  ui.Advance(500);

  auto screen = [&](int x, int y) { return window->ShowBuf->ClientToScreen(TPoint(2 * x, 2 * y)); };
  TPoint p = screen(30, 80);
  ui.MoveTo(p.x, p.y);
  ui.MouseDown(p.x, p.y);
  ui.Advance(500);
  for (int x = 30; x <= 200; x += 4) {
    p = screen(x, 80 + static_cast<int>(40 * std::sin((x - 30) / 28.0)));
    ui.MoveTo(p.x, p.y);
  }
  ui.MouseUp(p.x, p.y);
  // The stroke is in the picture: its start and a point on its way.
  EXPECT_EQ(*window->Picture.At(30, 80) & 0xFFFFFF, kInk);
  EXPECT_EQ(*window->Picture.At(114, 80 + static_cast<int>(40 * std::sin(84 / 28.0))) & 0xFFFFFF, kInk);

  // The stroke is one undo step, and the Undo button says so at the next activity tick.
  ui.Advance(100);
  EXPECT_NE(window->Picture.UndoChain, nullptr);
  EXPECT_TRUE(form->UndoBtn->GetEnabled());

  // The pointer rests over the paper: the brush shows under it, on the screen.
  const TPoint rest = screen(120, 30);
  ui.MoveTo(rest.x, rest.y);
  ui.RunUntilIdle();
  EXPECT_EQ(ui.Pixel(rest.x, rest.y), kInk) << "the brush outline under the pointer";
  ui.ShowToViewer(UiDriver::Hold::Still);

  // Away from the image the picture holds the stroke alone.
  const TPoint away = form->ClientToScreen(TPoint(2, 2));
  ui.MoveTo(away.x, away.y);
  EXPECT_EQ(*window->Picture.At(120, 30) & 0xFFFFFF, kPaper);
}

}  // namespace
