// The Palette sheet: the palette installed at start, clicks on the grid with each button and
// modifier, the marks of the two colours, the colour under the pointer, and palette files
// loaded and saved, bad ones refused with the palette (and the file) kept.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "../../support/FileSizeLimit.h"
#include "ToolFixture.h"
#include "platform/gdi/WinDefs.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/PaletteFile.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/ToolForm.h"
#include "support/UiDriver.h"

namespace {

class PaletteSheetTest : public ToolTest {
protected:
  PaletteSheetTest() {
    ToolForm->ShowSheet(ToolForm->PaletteSheet, true, true);
    ui.RunUntilIdle();
  }
  ~PaletteSheetTest() override { PaletteColors = DefaultPalette(); }

  POINT Grid(int x, int y) const { return UiDriver::At(ToolForm->PalHolder->GetHandle(), x, y); }
  void ClickGrid(int x, int y, int button = InputEvent::Left, int modifier = 0) {
    const POINT p = Grid(x, y);
    ui.MoveTo(p.x, p.y);
    if (modifier) ui.KeyDown(modifier);
    ui.Click(p.x, p.y, button);
    if (modifier) ui.KeyUp(modifier);
    ui.RunUntilIdle();
  }
  static std::uint32_t Swatch(TPanel* panel) { return SwatchColour(panel); }
  static std::uint32_t GridPixel(int x, int y) { return *PaletteImage.At(x, y) & 0xFFFFFF; }
  std::string Write(const std::string& name, const std::string& bytes) { return home.WriteFile(name, bytes); }
};

TEST_F(PaletteSheetTest, StartUpInstallsTheBuiltInPalette) {
  EXPECT_EQ(PaletteColors, DefaultPalette());
  EXPECT_EQ(PaletteImage.Width(), 160);
  EXPECT_EQ(GridPixel(5, 3), 0x000000u);
  // Cell 16 is the second column's first cell.
  EXPECT_EQ(GridPixel(15, 3), 0x000010u);
  EXPECT_TRUE(ToolForm->GetVisible());
  EXPECT_TRUE(form->PaletteVisib->GetChecked());
  // The sheet shows the whole grid, not the blank one it was measured round.
  EXPECT_EQ(ToolForm->PalHolder->GetHeight(), 160);
  EXPECT_GE(ToolForm->PaletteSheet->GetHeight(), ToolForm->PalHolder->GetTop() + 160);
}

struct GridClick {
  const char* name;
  int button;
  int modifier;
  bool toBackground;
  bool storesIntoCell;
};

TEST_F(PaletteSheetTest, EachButtonAndModifierPicksOrStores) {
  const GridClick cases[] = {
      {"left", InputEvent::Left, 0, false, false},
      {"right", InputEvent::Right, 0, true, false},
      {"shift left", InputEvent::Left, VK_SHIFT, false, true},
      {"ctrl right", InputEvent::Right, VK_CONTROL, true, true},
      {"alt left", InputEvent::Left, VK_MENU, false, true},
  };
  for (const GridClick& c : cases) {
    SCOPED_TRACE(c.name);
    PaletteColors = DefaultPalette();
    ToolForm->DrawPalette();
    SetSwatchColour(form->DrawCol, 0x112233);
    SetSwatchColour(form->BackCol, 0x445566);
    ClickGrid(15, 3, c.button, c.modifier);  // cell 16
    TPanel* target = c.toBackground ? form->BackCol : form->DrawCol;
    if (c.storesIntoCell) {
      EXPECT_EQ(PaletteColors[16], c.toBackground ? 0x445566u : 0x112233u);
      EXPECT_EQ(Swatch(target), c.toBackground ? 0x445566u : 0x112233u);
    } else {
      EXPECT_EQ(Swatch(target), 0x000010u);
      EXPECT_EQ(target->GetTag(), PackedHSV(0x000010));
      EXPECT_EQ(PaletteColors[16], 0x000010u);
    }
  }
}

TEST_F(PaletteSheetTest, ACellEqualToBothColoursShowsTheFrameAndTheX) {
  SetSwatchColour(form->DrawCol, 0xFFFFFF);
  SetSwatchColour(form->BackCol, 0xFFFFFF);
  ToolForm->DrawPalette();
  // Cell 7 (white): its square is (0, 70)-(9, 79); the marks are black on white.
  EXPECT_EQ(GridPixel(4, 70), 0x000000u) << "frame";
  EXPECT_EQ(GridPixel(9, 75), 0x000000u) << "frame";
  EXPECT_EQ(GridPixel(3, 73), 0x000000u) << "X";
  EXPECT_EQ(GridPixel(6, 73), 0x000000u) << "X";
  EXPECT_EQ(GridPixel(3, 75), 0xFFFFFFu);
  // A dark cell marked for the drawing colour only: a white X, no frame.
  SetSwatchColour(form->DrawCol, 0x000000);
  SetSwatchColour(form->BackCol, 0x123456);
  ToolForm->DrawPalette();
  EXPECT_EQ(GridPixel(3, 3), 0xFFFFFFu);
  EXPECT_EQ(GridPixel(4, 0), 0x000000u);
  EXPECT_EQ(GridPixel(3, 73), 0xFFFFFFu) << "cell 7's marks are gone";
}

TEST_F(PaletteSheetTest, ThePointerShowsTheCellsColourInTheStatusBar) {
  const POINT p = Grid(15, 3);
  ui.MoveTo(p.x, p.y);
  ui.RunUntilIdle();
  EXPECT_EQ(document->StatusText(spSizes), "r:0 g:0 b:16 a:0");
}

TEST_F(PaletteSheetTest, FilesOfEachFormLoadAndBadOnesAreRefused) {
  std::string sixteen = "16\r\n";
  for (int i = 0; i < 16; ++i) sixteen += "ABCDEF\r\n";
  ASSERT_TRUE(ToolForm->LoadPalette(Write("sixteen.pal", sixteen)));
  EXPECT_EQ(PaletteColors[15], 0xABCDEFu);
  EXPECT_EQ(PaletteColors[16], 0x000010u);
  EXPECT_EQ(GridPixel(155, 155), 0x0000FFu) << "the grid is drawn anew";

  std::string many = "300\n";
  for (int i = 0; i < 300; ++i) many += "0000AA\n";
  ASSERT_TRUE(ToolForm->LoadPalette(Write("many.pal", many)));
  EXPECT_EQ(PaletteColors[255], 0x0000AAu);

  const PaletteArray before = PaletteColors;
  ui.AnswerMessageBoxes({IDOK, IDOK});
  EXPECT_FALSE(ToolForm->LoadPalette(Write("negative.pal", "-5\nFF0000\n")));
  EXPECT_FALSE(ToolForm->LoadPalette(home.Path() + "/missing.pal"));
  EXPECT_EQ(PaletteColors, before);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 2u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], "The palette file cannot be read.");

  std::string raw(768, '\0');
  raw[0] = '\x12';
  raw[767] = '\x7F';
  ASSERT_TRUE(ToolForm->LoadPalette(Write("raw.pal", raw)));
  EXPECT_EQ(PaletteColors[0], 0x120000u);
  EXPECT_EQ(PaletteColors[255], 0x00007Fu);
}

TEST_F(PaletteSheetTest, ASaveReadsBackAndAFailedOneKeepsTheOldFile) {
  PaletteColors[5] = 0x0A0B0C;
  const std::string name = home.Path() + "/mine.pal";
  ASSERT_TRUE(ToolForm->SavePalette(name));
  const std::string saved = FileContents(name);
  EXPECT_EQ(saved, PaletteFileText(PaletteColors));

  PaletteColors = DefaultPalette();
  ui.AnswerMessageBoxes({IDOK});
  {
    // The disk fills up half way through the new file.
    FileSizeLimit full(400);
    EXPECT_FALSE(ToolForm->SavePalette(name));
  }
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], "The palette file cannot be saved.");
  EXPECT_EQ(FileContents(name), saved);
  ASSERT_TRUE(ToolForm->LoadPalette(name));
  EXPECT_EQ(PaletteColors[5], 0x0A0B0Cu);
}

}  // namespace

#include "platform/vcl/StdButtons.h"
#include "quillo/base/PaletteFolder.h"
#include "support/FileDialogUser.h"

namespace {

// The sheet's Load and Save buttons: their dialogs start in the palette folder and take it
// back from the chosen name.
TEST_F(PaletteSheetTest, TheLoadAndSaveButtonsGoThroughTheirDialogs) {
  FileDialogUser user(ui);
  const std::string folder = home.Path() + "/palettes";
  std::string sixteen = "16\n";
  for (int i = 0; i < 16; ++i) sixteen += "0A0B0C\n";
  home.WriteFile("palettes/mine.pal", sixteen);
  PaletteDir = folder + "/";

  std::string startFolder, title;
  ui.WhenModalWaits([&] {
    char text[128] = {};
    GetWindowText(FileDialogUser::Dialog(), text, sizeof text);
    title = text;
    startFolder = user.Folder();
    user.TypeName("mine.pal");
  });
  const POINT load = ToolForm->LoadPaletteBtn->ClientToScreen(TPoint(5, 5));
  ui.Click(load.x, load.y);
  ui.RunUntilIdle();
  EXPECT_EQ(title, "Open Fast Palette");
  EXPECT_EQ(startFolder, folder);
  EXPECT_EQ(PaletteColors[15], 0x0A0B0Cu);
  EXPECT_EQ(PaletteFile, folder + "/mine.pal");

  PaletteColors[200] = 0x00C0DE;
  ui.WhenModalWaits([&] {
    char text[128] = {};
    GetWindowText(FileDialogUser::Dialog(), text, sizeof text);
    title = text;
    user.TypeName("saved.pal");
  });
  const POINT save = ToolForm->SavePaletteBtn->ClientToScreen(TPoint(5, 5));
  ui.Click(save.x, save.y);
  ui.RunUntilIdle();
  EXPECT_EQ(title, "Save Fast Palette");
  EXPECT_EQ(FileContents(folder + "/saved.pal"), PaletteFileText(PaletteColors));
  EXPECT_EQ(PaletteDir, folder + "/");
  PaletteDir.clear();
  PaletteFile.clear();
}

}  // namespace
