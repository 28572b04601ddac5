#pragma once
// What the screenshot tests that paint share: the started program, the paper and ink colours
// they paint with, and the brush and its saved area let go afterwards.

#include <cstdint>

#include "../shell/ProgramFixture.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/BrushState.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/DrawingHelpers.h"

constexpr std::uint32_t kPaper = 0x00F4EEDC;
constexpr std::uint32_t kInk = 0x00204890;

class PaintShotTest : public ProgramTest {
protected:
  // The document painted on, shown at twice its size; its image points on the screen, and
  // the pointer moved or clicked there.
  TPoint Screen(TPoint image) const { return window->ShowBuf->ClientToScreen(TPoint(2 * image.x, 2 * image.y)); }
  void Click(TPoint image) {
    const TPoint p = Screen(image);
    ui.MoveTo(p.x, p.y);
    ui.Click(p.x, p.y);
    ui.RunUntilIdle();
  }
  void MoveTo(TPoint image) {
    const TPoint p = Screen(image);
    ui.MoveTo(p.x, p.y);
    ui.RunUntilIdle();
  }

  TImageForm* window = nullptr;

  ~PaintShotTest() override {
    Brush.Free();
    BrushShape.Free();
    SavedArea.Free();
    BrushState = BrushStateBlock{};
  }
};
