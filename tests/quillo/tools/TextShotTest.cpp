// The text tool's preview and the spray radius tool's disc as a user sees them, for a person to
// look at (scripts/screenshot-text.sh): anti-aliased text with outline and shadow beside its
// Text sheet, and the disc being dragged out. Checked where a user would look: the sheet shows
// and the preview or the disc is in the picture.

#include <gtest/gtest.h>

#include "../shell/ProgramFixture.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class TextShot : public ProgramTest {
protected:
  TextShot() {
    Start();
    window = CreateDocumentWindow(420, 260, "");
    ui.RunUntilIdle();
    UDBuffer& p = window->Picture;
    for (int y = 0; y < p.Height(); ++y)
      for (int x = 0; x < p.Width(); ++x)
        *p.At(x, y) = static_cast<std::uint32_t>(0xE0 << 16 | (0xC0 + y * 63 / 259) << 8 | (0x80 + x * 127 / 419));
    window->ShowBuf->Invalidate();
    ui.RunUntilIdle();
  }
  ~TextShot() override {
    SelectTool(&PenContTool, true, -1);
    ToolPhase = 0;
    RememberedTool = nullptr;
    TextTool.FontIndex = -1;
    TextTool.AntiAliasing = 0;
    ResetTextSpacingBasis();
    ResizeSprayTool.SprayRadius = 20;
  }
  void BesideTheWindow() {
    ToolForm->SetBounds(window->GetLeft() + window->GetWidth() + 8, window->GetTop(), ToolForm->GetWidth(),
                        ToolForm->GetHeight());
    ui.RunUntilIdle();
  }
  int PixelsNotBackground() const {
    int n = 0;
    const UDBuffer& p = window->Picture;
    for (int y = 0; y < p.Height(); ++y)
      for (int x = 0; x < p.Width(); ++x) n += (*p.At(x, y) >> 16 & 0xFF) != 0xE0;
    return n;
  }

  TImageForm* window = nullptr;
};

TEST_F(TextShot, AntiAliasedTextWithOutlineAndShadow) {
  SetSwatchColour(form->DrawCol, 0x203080);
  SetSwatchColour(form->BackCol, 0xFFFFFF);
  SelectTool(&TextTool, true, -1);
  BesideTheWindow();
  ASSERT_TRUE(ToolForm->TextSheetShowing());
  ToolForm->AntiAliasCB->SetChecked(true);
  ToolForm->AntiAliasCBClick(nullptr);
  ToolForm->FontSize->SetValue(36);
  ToolForm->OutlineBtn->SetDown(true);
  ToolForm->ShadowBtn->SetDown(true);
  ToolForm->ShDepth->SetValue(3);
  ToolForm->SetShadowColour(0x505050);
  ToolForm->TextFontChanged(nullptr);
  ToolForm->TextBox->SetText("Quillo\r\ntext");
  ToolForm->TextFontChanged(ToolForm->TextBox);
  ui.RunUntilIdle();
  EXPECT_GT(PixelsNotBackground(), 500);
  ui.ShowToViewer(UiDriver::Hold::Still);
}

TEST_F(TextShot, SprayRadiusDisc) {
  SetSwatchColour(form->DrawCol, 0xC03020);
  SelectTool(&SprayTool, true, -1);
  BesideTheWindow();
  SelectTool(&ResizeSprayTool, true, -1);
  ui.RunUntilIdle();
  const POINT centre = UiDriver::At(window->ShowBuf->GetHandle(), 200, 130);
  const POINT edge = UiDriver::At(window->ShowBuf->GetHandle(), 260, 170);
  ui.MoveTo(centre.x, centre.y);
  ui.Click(centre.x, centre.y);
  ui.Advance(400);
  ui.MoveTo(edge.x, edge.y);
  ui.RunUntilIdle();
  EXPECT_EQ(ResizeSprayTool.Size, 72);
  EXPECT_GT(PixelsNotBackground(), 10000);
  ui.ShowToViewer(UiDriver::Hold::Still);
}

}  // namespace
