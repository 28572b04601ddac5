// The colour keys of a document window: hue, saturation and value stepped by one (the hue
// going round), red, green and blue in the other mode, the two colours swapped with their
// values, and the values shown in the status bar.

#include <gtest/gtest.h>

#include <string>

#include "../tools/ToolFixture.h"
#include "platform/gdi/WinDefs.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/ImageForm.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/Swatches.h"
#include "support/UiDriver.h"

namespace {

class ColourKeysTest : public ToolTest {
protected:
  ~ColourKeysTest() override {
    ColourKeysRGB = 0;
    Settings.ColorInHex = false;
  }
  void ShiftKey(int vk) {
    SetForegroundWindow(document->GetHandle());
    document->SetFocus();
    ui.RunUntilIdle();
    ui.KeyDown(VK_SHIFT);
    ui.Press(vk);
    ui.KeyUp(VK_SHIFT);
    ui.RunUntilIdle();
  }
  std::string Shown() const { return document->StatusText(spSizes); }
};

TEST_F(ColourKeysTest, HueSaturationAndValueStepByOneAndTheHueGoesRound) {
  SetSwatchColour(form->DrawCol, 0xFF0000);  // hue 0, saturation 255, value 255
  ShiftKey(VK_HOME);
  EXPECT_EQ(Shown(), "h:359 s:255 v:255");
  EXPECT_EQ(SwatchColour(form->DrawCol), 0xFF0004u);
  ShiftKey(VK_PRIOR);
  EXPECT_EQ(Shown(), "h:0 s:255 v:255");
  ShiftKey(VK_RIGHT);
  EXPECT_EQ(Shown(), "h:0 s:255 v:255") << "saturation stops at 255";
  ShiftKey(VK_LEFT);
  EXPECT_EQ(Shown(), "h:0 s:254 v:255");
  ShiftKey(VK_END);
  EXPECT_EQ(Shown(), "h:0 s:254 v:254");
  ShiftKey(VK_NEXT);
  EXPECT_EQ(Shown(), "h:0 s:254 v:255");
}

TEST_F(ColourKeysTest, InTheOtherModeTheKeysStepRedGreenAndBlue) {
  SetSwatchColour(form->DrawCol, 0x10FF00);
  ShiftKey(VK_DOWN);
  EXPECT_EQ(ColourKeysRGB, 1);
  EXPECT_EQ(Shown(), "r:16 g:255 b:0 a:0");
  ShiftKey(VK_PRIOR);
  ShiftKey(VK_RIGHT);
  ShiftKey(VK_END);
  EXPECT_EQ(SwatchColour(form->DrawCol), 0x11FF00u) << "green stops at 255, blue at 0";
  Settings.ColorInHex = true;
  ShiftKey(VK_NEXT);
  EXPECT_EQ(Shown(), "r:11 g:FF b:01 a:00");
  EXPECT_EQ(form->DrawCol->GetTag(), PackedHSV(0x11FF01));
}

TEST_F(ColourKeysTest, ShiftUpSwapsTheColoursWithTheirValues) {
  SetSwatchColour(form->DrawCol, 0x00FF00);
  SetSwatchColour(form->BackCol, 0x0000FF);
  ShiftKey(VK_UP);
  EXPECT_EQ(SwatchColour(form->DrawCol), 0x0000FFu);
  EXPECT_EQ(SwatchColour(form->BackCol), 0x00FF00u);
  EXPECT_EQ(form->DrawCol->GetTag(), PackedHSV(0x0000FF));
  EXPECT_EQ(form->BackCol->GetTag(), PackedHSV(0x00FF00));
}

}  // namespace
