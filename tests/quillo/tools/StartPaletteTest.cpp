// The tools window at start: the sheets the settings name, the remembered palette file loaded;
// one that cannot be read is reported, forgotten, and the built-in palette is installed rather
// than a blank grid.

#include <gtest/gtest.h>

#include "../shell/ProgramFixture.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Settings.h"
#include "quillo/tools/PaletteFile.h"
#include "quillo/tools/ToolForm.h"

namespace {

class StartPaletteTest : public ProgramTest {
protected:
  ~StartPaletteTest() override { PaletteColors = DefaultPalette(); }
};

TEST_F(StartPaletteTest, TheSheetsShowAsTheSettingsSay) {
  Settings.PaletteVisible = true;
  Settings.HistogramVisible = true;
  Settings.ActivePanel = 2;
  Start();
  ASSERT_TRUE(ToolForm->GetVisible());
  EXPECT_TRUE(ToolForm->PaletteSheet->GetTabVisible());
  EXPECT_TRUE(ToolForm->HistogramSheet->GetTabVisible());
  EXPECT_FALSE(ToolForm->BrushSheet->GetTabVisible());
  EXPECT_EQ(ToolForm->PageControl->GetActivePage(), ToolForm->HistogramSheet);
  EXPECT_TRUE(form->PaletteVisib->GetChecked());
  EXPECT_TRUE(form->HistVisib->GetChecked());
  EXPECT_FALSE(form->BrushVisib->GetChecked());
}

TEST_F(StartPaletteTest, TheRememberedFileIsLoaded) {
  Settings.DefPal = home.WriteFile("start.pal", "2\nABCDEF\n123456\n");
  Start();
  EXPECT_EQ(PaletteColors[0], 0xABCDEFu);
  EXPECT_EQ(PaletteColors[1], 0x123456u);
  EXPECT_EQ(PaletteImage.Width(), 160);
}

TEST_F(StartPaletteTest, AnUnreadableFileIsForgottenAndTheBuiltInPaletteServes) {
  PaletteColors = PaletteArray{};
  Settings.DefPal = home.Path() + "/gone.pal";
  ui.AnswerMessageBoxes({IDOK});
  Start();
  EXPECT_TRUE(Settings.DefPal.empty());
  EXPECT_EQ(PaletteColors, DefaultPalette());
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], "The palette file cannot be read.");
}

}  // namespace
