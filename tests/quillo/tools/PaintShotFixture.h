#pragma once
// What the screenshot tests that paint share: the started program, the paper and ink colours
// they paint with, and the brush and its saved area let go afterwards.

#include <cstdint>

#include "../shell/ProgramFixture.h"
#include "quillo/document/BrushState.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/DrawingHelpers.h"

constexpr std::uint32_t kPaper = 0x00F4EEDC;
constexpr std::uint32_t kInk = 0x00204890;

class PaintShotTest : public ProgramTest {
protected:
  ~PaintShotTest() override {
    Brush.Free();
    BrushShape.Free();
    SavedArea.Free();
    BrushState = BrushStateBlock{};
  }
};
