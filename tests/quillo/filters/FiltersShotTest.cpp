// The custom filter dialog beside a previewed picture, the filter factory with a filter on its
// thumbnail, and the colour limiting dialog, as a user sees them, for a person to look at
// (scripts/screenshot-custom-filter.sh, screenshot-filter-factory.sh and
// screenshot-limit-colors.sh). Checked where a user would look: the dialog is on the
// screen and the picture shows the filter.

#include <gtest/gtest.h>

#include "../shell/PaletteUser.h"
#include "../shell/ProgramFixture.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/filters/CustomFilterForm.h"
#include "quillo/filters/CustomFilterTool.h"
#include "quillo/filters/FilterFactory.h"
#include "quillo/filters/FilterFactoryForm.h"
#include "quillo/filters/LimitColorsForm.h"
#include "quillo/tools/PaletteFile.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class FiltersShot : public ProgramTest {
protected:
  FiltersShot() {
    Start();
    window = CreateDocumentWindow(320, 200, "");
    ui.RunUntilIdle();
    UDBuffer& p = window->Picture;
    for (int y = 0; y < p.Height(); ++y)
      for (int x = 0; x < p.Width(); ++x) {
        const bool disc = (x - 200) * (x - 200) + (y - 100) * (y - 100) < 60 * 60;
        const bool box = x >= 30 && x < 120 && y >= 40 && y < 160;
        *p.At(x, y) = box    ? 0x00F0E8D0
                      : disc ? 0x00306090
                             : static_cast<std::uint32_t>((x * 255 / 319) << 16 | (y * 255 / 199) << 8 | 0x60);
      }
    window->ShowBuf->Invalidate();
    ui.RunUntilIdle();
  }
  ~FiltersShot() override {
    ToolPhase = 0;
    CurrentTool = &PenContTool;
    RememberedTool = nullptr;
    CustomFilterKernel = DefaultConvolutionKernel();
    CFilterFormLeft = -1;
    PaletteColors = DefaultPalette();
    LimitColorsFormLeft = -1;
    FactoryFilter = FormulaFilter{};
    const char* identity[4] = {"r", "g", "b", "a"};
    for (int c = 0; c < 4; ++c) FactoryFilter.formulas[c] = identity[c];
    FFactFormLeft = -1;
  }
  static void ExpectOnScreen(HWND dialog) {
    RECT shown{};
    GetWindowRect(dialog, &shown);
    EXPECT_GE(shown.left, 0);
    EXPECT_LE(shown.right, Screen()->GetWidth());
    EXPECT_LE(shown.bottom, Screen()->GetHeight());
  }

  TImageForm* window = nullptr;
};

TEST_F(FiltersShot, CustomFilterBesideAPreviewedPicture) {
  ChooseMenuItem("&Image", "C&ustom Filter...");
  TCFilterForm* dialog = CustomFilterTool.Form;
  ASSERT_NE(dialog, nullptr);
  // An edge-finding kernel.
  const int cells[9] = {-1, -1, -1, -1, 8, -1, -1, -1, -1};
  for (TEdit* cell : dialog->Cells) cell->SetText("");
  for (int i = 0; i < 9; ++i)
    dialog->Cells[static_cast<std::size_t>((i / 3 + 1) * 5 + i % 3 + 1)]->SetText(KernelCellText(cells[i]));
  dialog->Bias->SetValue(128);
  dialog->SetBounds(window->GetLeft() + window->GetWidth() + 8, window->GetTop(), dialog->GetWidth(),
                    dialog->GetHeight());
  ClickOnCentre(ui, dialog->PreviewBtn);
  // Flat places turn mid grey; the box's edge stands out.
  EXPECT_EQ(*window->Picture.At(70, 100) & 0xFFFFFF, 0x808080u);
  EXPECT_EQ(*window->Picture.At(200, 100) & 0xFFFFFF, 0x808080u);
  EXPECT_NE(*window->Picture.At(30, 100) & 0xFFFFFF, 0x808080u);
  ExpectOnScreen(dialog->GetHandle());
  ui.ShowToViewer(UiDriver::Hold::Still);
  ClickOnCentre(ui, dialog->CancelBtn);
}

TEST_F(FiltersShot, FilterFactoryWithAFilterOnItsThumbnail) {
  ChooseMenuItem("&Image", "Filter &Factory...");
  TFFactForm* factory = FFFilterTool.Form;
  ASSERT_NE(factory, nullptr);
  FormulaFilter filter;
  filter.title = "Warm rings";
  filter.author = "quillo";
  filter.names[0] = "Rings";
  filter.names[1] = "Warmth";
  filter.values[0] = 24;
  filter.values[1] = 60;
  filter.formulas[0] = "r + ctl(1)";
  filter.formulas[1] = "(m / (ctl(0) + 1)) % 2 ? g : 255 - g";
  // A formula with a fault shows its mark; its channel computes 0.
  filter.formulas[2] = "b - ctl(1) / * 2";
  filter.formulas[3] = AnsiString("a");  // a one-letter literal assigned trips GCC 12 -O3 (-Wrestrict)
  factory->ShowFilter(filter);
  factory->SetBounds(window->GetLeft() + window->GetWidth() + 8, window->GetTop(), factory->GetWidth(),
                     factory->GetHeight());
  ui.RunUntilIdle();
  EXPECT_TRUE(factory->BlueSyntax->GetVisible());
  EXPECT_FALSE(factory->GreenSyntax->GetVisible());
  EXPECT_NE(*factory->Thumbnail().At(10, 10), *window->Picture.At(20, 20));
  ExpectOnScreen(factory->GetHandle());
  ui.ShowToViewer(UiDriver::Hold::Still);
  ClickOnCentre(ui, factory->CancelBtn);
}

TEST_F(FiltersShot, LimitColorsDialog) {
  ToolForm->ShowSheet(ToolForm->PaletteSheet, true, true);
  ui.RunUntilIdle();
  bool shown = false;
  ui.WhenModalWaits([&] {
    auto* dialog = dynamic_cast<TLimitColorsForm*>(Screen()->ActiveForm());
    ASSERT_NE(dialog, nullptr);
    shown = true;
    ExpectOnScreen(dialog->GetHandle());
    ui.ShowToViewer(UiDriver::Hold::Still);
    ui.Press(VK_ESCAPE);
  });
  ClickOnCentre(ui, ToolForm->LimitColorsBtn);
  ui.RunUntilIdle();
  EXPECT_TRUE(shown);
}

}  // namespace
