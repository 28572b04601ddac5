// The tool options window's sheets, the colour dialog and the clone marker as a user sees
// them, for a person to look at (scripts/screenshot-sheets.sh): each test puts one of them on
// the screen beside a picture and holds it. Checked where a user would look: the window shows
// the sheet asked for, within the screen.

#include <gtest/gtest.h>

#include "../shell/ProgramFixture.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBar.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/ColorSelector.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/PaletteFile.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class SheetsShot : public ProgramTest {
protected:
  SheetsShot() {
    Start();
    window = CreateDocumentWindow(320, 200, "");
    ui.RunUntilIdle();
    UDBuffer& p = window->Picture;
    for (int y = 0; y < p.Height(); ++y)
      for (int x = 0; x < p.Width(); ++x)
        *p.At(x, y) = static_cast<std::uint32_t>((x * 255 / 319) << 16 | (y * 255 / 199) << 8 | 0x60);
    window->ShowBuf->Invalidate();
    ui.RunUntilIdle();
  }
  ~SheetsShot() override {
    ToolPhase = 0;
    CurrentTool = &PenContTool;
    RememberedTool = nullptr;
    CustomBrush = false;
  }
  void Show(TTabSheet* sheet) {
    ToolForm->ShowSheet(sheet, true, true);
    ToolForm->SetBounds(window->GetLeft() + window->GetWidth() + 8, window->GetTop(), ToolForm->GetWidth(),
                        ToolForm->GetHeight());
    ui.RunUntilIdle();
    ASSERT_TRUE(ToolForm->GetVisible());
    EXPECT_EQ(ToolForm->PageControl->GetActivePage(), sheet);
    RECT shown{};
    GetWindowRect(ToolForm->GetHandle(), &shown);
    EXPECT_LE(shown.right, Screen()->GetWidth());
    EXPECT_LE(shown.bottom, Screen()->GetHeight());
  }

  TImageForm* window = nullptr;
};

TEST_F(SheetsShot, Palette) {
  SetSwatchColour(form->DrawCol, DefaultPalette()[6]);
  SetSwatchColour(form->BackCol, DefaultPalette()[7]);
  ToolForm->DrawPalette();
  Show(ToolForm->PaletteSheet);
  ui.ShowToViewer(UiDriver::Hold::Still);
}

TEST_F(SheetsShot, Brush) {
  SetSwatchColour(form->DrawCol, 0x2040C0);
  Show(ToolForm->BrushSheet);
  ToolForm->BrHardness->SetPosition(30);
  ToolForm->BrSize->SetPosition(60);
  ui.RunUntilIdle();
  ui.ShowToViewer(UiDriver::Hold::Still);
}

TEST_F(SheetsShot, Histogram) {
  Show(ToolForm->HistogramSheet);
  ToolForm->ChannelCombo->SetItemIndex(HistAll);
  ToolForm->ChannelChange(ToolForm->ChannelCombo);
  ui.RunUntilIdle();
  ui.ShowToViewer(UiDriver::Hold::Still);
}

TEST_F(SheetsShot, ColourDialog) {
  ui.WhenModalWaits([&] {
    auto* dialog = dynamic_cast<TColorSel*>(Screen()->ActiveForm());
    ASSERT_NE(dialog, nullptr);
    ui.ShowToViewer(UiDriver::Hold::Still);
    ui.QueuePress(VK_ESCAPE);
  });
  form->ColorBox->Title = "Select Drawing Color";
  form->ColorBox->Execute(static_cast<TColor>(0x003080E0));
}

TEST_F(SheetsShot, CloneMarker) {
  MakeFactoryBrush(FactoryShape::Round, 15, 100, 0);
  UpdateBrushShape(false);
  SelectTool(&CloneTool, true, -1);
  ui.RunUntilIdle();
  const POINT source = UiDriver::At(window->ShowBuf->GetHandle(), 60, 60);
  ui.MoveTo(source.x, source.y);
  ui.KeyDown(VK_MENU);
  ui.Click(source.x, source.y);
  ui.KeyUp(VK_MENU);
  ui.RunUntilIdle();
  const POINT away = UiDriver::At(window->ShowBuf->GetHandle(), 200, 120);
  ui.MoveTo(away.x, away.y);
  ui.RunUntilIdle();
  EXPECT_EQ(CloneTool.Absolute, 1);
  ui.ShowToViewer(UiDriver::Hold::Still);
}

}  // namespace
