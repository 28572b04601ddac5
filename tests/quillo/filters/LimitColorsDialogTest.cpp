// The palette sheet's Limit Colors: the dialog's remembered values, a gradient reduced to 8
// colours with and without dithering, the palette put into the grid with one undo step that
// Undo takes back, the grid's colours used, and the palette built without touching the picture.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "../document/FailingUndoMemory.h"
#include "../shell/PaletteUser.h"
#include "../tools/ToolFixture.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/filters/LimitColorsForm.h"
#include "quillo/tools/PaletteFile.h"
#include "quillo/tools/ToolForm.h"

namespace {

struct Choice {
  int limit = 8;
  bool dither = false;
  bool keepBackground = false;
  int operation = loPutToPalette;
};

class LimitColorsDialogTest : public ToolTest {
protected:
  LimitColorsDialogTest() {
    ToolForm->ShowSheet(ToolForm->PaletteSheet, true, true);
    ui.RunUntilIdle();
    for (int y = 0; y < Picture().Height(); ++y)
      for (int x = 0; x < Picture().Width(); ++x)
        *Picture().At(x, y) = static_cast<std::uint32_t>((x * 4) << 16 | (y * 5) << 8 | (x + y) * 2);
  }
  ~LimitColorsDialogTest() override {
    PaletteColors = DefaultPalette();
    LimitDither = true;
    LimitKeepBackground = false;
    LimitColourCount = 234;
    LimitOperationIndex = loPutToPalette;
    LimitColorsFormLeft = -1;
  }

  UDBuffer& Picture() const { return document->Picture; }
  std::vector<std::uint32_t> Pixels() const {
    std::vector<std::uint32_t> all;
    for (int y = 0; y < Picture().Height(); ++y)
      for (int x = 0; x < Picture().Width(); ++x) all.push_back(*Picture().At(x, y));
    return all;
  }
  std::set<std::uint32_t> Colours() const {
    const std::vector<std::uint32_t> all = Pixels();
    std::set<std::uint32_t> colours;
    for (std::uint32_t p : all) colours.insert(p & 0xFFFFFF);
    return colours;
  }
  int UndoSteps() const {
    int n = 0;
    for (UndoEntry* e = Picture().UndoChain; e; e = e->Next) ++n;
    return n;
  }

  // Clicks Limit Colors; seen receives what the dialog shows; then choice is set and OK (or
  // Cancel) clicked.
  void LimitColours(const Choice& choice, Choice* seen = nullptr, bool ok = true) {
    bool opened = false;
    ui.WhenModalWaits([&] {
      auto* dialog = dynamic_cast<TLimitColorsForm*>(Screen()->ActiveForm());
      ASSERT_NE(dialog, nullptr);
      opened = true;
      if (seen)
        *seen = Choice{static_cast<int>(dialog->ColorLimit->GetValue()), dialog->DitherCB->GetChecked(),
                       dialog->SaveBgndCB->GetChecked(), dialog->Operation->GetItemIndex()};
      dialog->ColorLimit->SetValue(choice.limit);
      dialog->DitherCB->SetChecked(choice.dither);
      dialog->SaveBgndCB->SetChecked(choice.keepBackground);
      dialog->Operation->SetItemIndex(choice.operation);
      ClickOnCentre(ui, ok ? dialog->OkBtn : dialog->CancelBtn);
    });
    ClickOnCentre(ui, ToolForm->LimitColorsBtn);
    ui.RunUntilIdle();
    EXPECT_TRUE(opened);
  }
};

TEST_F(LimitColorsDialogTest, AGradientKeepsAtMostEightColoursWithAndWithoutDithering) {
  const std::vector<std::uint32_t> original = Pixels();
  ASSERT_GT(Colours().size(), 200u);
  for (bool dither : {false, true}) {
    SCOPED_TRACE(dither);
    const int steps = UndoSteps();
    LimitColours(Choice{8, dither, false, loPutToPalette});
    const std::set<std::uint32_t> colours = Colours();
    EXPECT_LE(colours.size(), 8u);
    EXPECT_GE(colours.size(), 4u);
    // Every colour left is one of the grid's first eight, which hold the palette made.
    for (std::uint32_t c : colours)
      EXPECT_NE(std::find(PaletteColors.begin(), PaletteColors.begin() + 8, c), PaletteColors.begin() + 8) << std::hex << c;
    EXPECT_EQ(PaletteColors[8], 0u);
    ASSERT_EQ(UndoSteps(), steps + 1);
    EXPECT_EQ(Picture().UndoChain->Description, "LimitCols");
    ChooseMenuItem("&Edit", LangMessage("UndoMenu") + " " + LangMessage("LimitCols"));
    PointerAway();
    EXPECT_EQ(Pixels(), original);
  }
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

TEST_F(LimitColorsDialogTest, TheChoicesComeBackAtTheNextUseAndCancelKeepsThem) {
  Choice seen;
  LimitColours(Choice{8, false, false, loCreatePaletteOnly}, &seen);
  EXPECT_EQ(seen.limit, 234);
  EXPECT_TRUE(seen.dither);
  EXPECT_FALSE(seen.keepBackground);
  EXPECT_EQ(seen.operation, loPutToPalette);
  LimitColours(Choice{16, true, true, loUsePalette}, &seen, false);
  EXPECT_EQ(seen.limit, 8);
  EXPECT_FALSE(seen.dither);
  EXPECT_EQ(seen.operation, loCreatePaletteOnly);
  LimitColours(Choice{}, &seen, false);
  EXPECT_EQ(seen.limit, 8);
  EXPECT_EQ(seen.operation, loCreatePaletteOnly);
}

TEST_F(LimitColorsDialogTest, CreatingThePaletteOnlyLeavesThePicture) {
  const std::vector<std::uint32_t> original = Pixels();
  const int steps = UndoSteps();
  LimitColours(Choice{8, true, false, loCreatePaletteOnly});
  EXPECT_EQ(Pixels(), original);
  EXPECT_EQ(UndoSteps(), steps);
  EXPECT_NE(PaletteColors, DefaultPalette());
  EXPECT_EQ(PaletteColors[200], 0u);
  // The grid shows what it holds.
  EXPECT_EQ(*PaletteImage.At(5, 5) & 0xFFFFFF, PaletteColors[0]);
}

TEST_F(LimitColorsDialogTest, UsingTheGridMapsOntoItsFirstColours) {
  PaletteColors.fill(0x00FFFFFF);
  PaletteColors[0] = 0x00000000;
  PaletteColors[1] = 0x00FF0000;
  PaletteColors[2] = 0x0000FF00;  // beyond a limit of 2
  LimitColours(Choice{2, false, false, loUsePalette});
  EXPECT_EQ(Colours(), (std::set<std::uint32_t>{0x000000, 0xFF0000}));
  EXPECT_EQ(Picture().UndoChain->Description, "LimitCols");
}

TEST_F(LimitColorsDialogTest, WithoutRoomForTheUndoStepThePictureStaysAsItWas) {
  const std::vector<std::uint32_t> original = Pixels();
  const int steps = UndoSteps();
  bool stayedOpen = false;
  const std::int64_t disk = Settings.UndoDisk;
  {
    // Neither memory nor room on the disk for the step.
    const FailingAllocator noMemory;
    Settings.UndoDisk = 0;
    ui.WhenModalWaits([&] {
      auto* dialog = dynamic_cast<TLimitColorsForm*>(Screen()->ActiveForm());
      ASSERT_NE(dialog, nullptr);
      dialog->ColorLimit->SetValue(8);
      ClickOnCentre(ui, dialog->OkBtn);
    });
    ui.WhenModalWaits([&] {
      auto* dialog = dynamic_cast<TLimitColorsForm*>(Screen()->ActiveForm());
      stayedOpen = dialog != nullptr;
      if (dialog) ClickOnCentre(ui, dialog->CancelBtn);
    });
    ClickOnCentre(ui, ToolForm->LimitColorsBtn);
    ui.RunUntilIdle();
  }
  Settings.UndoDisk = disk;
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(Pixels(), original);
  EXPECT_EQ(UndoSteps(), steps);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], LangMessage("NoMem"));
}

}  // namespace
