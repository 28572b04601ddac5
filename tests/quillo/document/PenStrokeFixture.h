#pragma once
// A document of 80 x 60 white pixels with the continuous pen and a round brush of five pixels:
// strokes are painted through the window with the mouse, as a user paints them.

#include <cstdint>
#include <vector>

#include "DocumentFixture.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

class PenStrokeTest : public DocumentTest {
public:
  static constexpr std::uint32_t kPaper = 0x00FFFFFF;
  using Points = std::vector<Pair<int>>;  // image pixels at zoom 1, the first the press

protected:
  explicit PenStrokeTest(std::uint32_t ink) : savedTool_(CurrentTool) {
    // The pointer starts over no image (an earlier test may have left one).
    MousePoint = Pair<int>(NoMousePoint, NoMousePoint);
    MouseViewPoint = Pair<int>(-1, -1);
    window = NewDocument(80, 60);
    window->Picture.Box(window->Picture.rect, kPaper);
    MakeFactoryBrush(FactoryShape::Round, 5, 100, ink);
    BrushMode = BrushModeColor;
    UpdateBrushShapeWith(ink, kPaper, false);
    SelectTool(&PenContTool, true, -1);
    ui.Advance(500);
    PointerAway();
  }
  ~PenStrokeTest() override {
    CurrentTool = savedTool_;
    ToolPhase = 0;
    Brush.Free();
    BrushShape.Free();
    SavedArea.Free();
    BrushState = BrushStateBlock{};
  }

  TPoint Screen(Pair<int> p) const { return window->ShowBuf->ClientToScreen(TPoint(p.x, p.y)); }
  // Over the image and off it again: the pen's brush outline goes out of the picture
  // wherever it was last shown.
  void PointerAway() {
    const TPoint over = Screen({1, 1});
    ui.MoveTo(over.x, over.y);
    const TPoint p = form->ClientToScreen(TPoint(2, 2));
    ui.MoveTo(p.x, p.y);
    ui.RunUntilIdle();
  }
  void Paint(const Points& stroke) {
    TPoint p = Screen(stroke.front());
    ui.MoveTo(p.x, p.y);
    ui.MouseDown(p.x, p.y);
    ui.Advance(500);  // a drag, not a click
    for (std::size_t i = 1; i < stroke.size(); ++i) {
      p = Screen(stroke[i]);
      ui.MoveTo(p.x, p.y);
    }
    ui.MouseUp(p.x, p.y);
    ui.Advance(500);
    PointerAway();
  }

  TImageForm* window = nullptr;

private:
  P_icon* savedTool_;
};
