// Image > Filter Factory through the user interface: formulas typed into the window, the
// thumbnail that follows them, Preview and Stop, OK with its one undo step, Cancel, keys, the
// syntax marks, and what the window remembers between uses.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../document/FailingUndoMemory.h"
#include "../shell/PaletteUser.h"
#include "../tools/ToolFixture.h"
#include "FilterDialogPictures.h"
#include "platform/host/KeyCodes.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramFolder.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/filters/FilterFactory.h"
#include "quillo/filters/FilterFactoryForm.h"
#include "quillo/filters/FormulaFilterFile.h"
#include "support/FileDialogUser.h"

namespace {

class FilterFactoryDialogTest : public ToolTest {
protected:
  ~FilterFactoryDialogTest() override {
    if (FFFilterTool.Form != nullptr) Click(FFFilterTool.Form->CancelBtn);
    FactoryFilter = FormulaFilter{};
    const char* identity[4] = {"r", "g", "b", "a"};
    for (int c = 0; c < 4; ++c) FactoryFilter.formulas[c] = identity[c];
    FFactFormLeft = -1;
  }

  UDBuffer& Picture() const { return ImageForm->Picture; }
  void FillPattern() {
    for (int y = 0; y < Picture().Height(); ++y)
      for (int x = 0; x < Picture().Width(); ++x)
        *Picture().At(x, y) = static_cast<std::uint32_t>((x * y & 0x7F) << 24 | (x * 3 & 0xFF) << 16 |
                                                         (y * 5 & 0xFF) << 8 | ((x + y) & 0xFF));
  }
  void Fill(std::uint32_t colour) { FillPicture(Picture(), colour); }
  std::vector<std::uint32_t> Pixels() const { return PicturePixels(Picture()); }
  std::uint32_t At(int x, int y) const { return *Picture().At(x, y); }
  int UndoSteps() const { return UndoStepCount(Picture()); }

  TFFactForm* Open() {
    ChooseMenuItem("&Image", "Filter &Factory...");
    TFFactForm* window = FFFilterTool.Form;
    EXPECT_NE(window, nullptr);
    EXPECT_EQ(CurrentTool, &FFFilterTool);
    return window;
  }
  void Click(TControl* control) { ClickOnCentre(ui, control); }
  void TypeInto(TCustomEdit* edit, const std::string& text) {
    edit->SetText("");
    Click(edit);
    ui.Type(text);
    ui.RunUntilIdle();
  }
  void TypeFormulas(TFFactForm* window, const std::vector<std::string>& formulas) {
    const auto edits = window->FormulaEdits();
    for (std::size_t c = 0; c < formulas.size(); ++c) TypeInto(edits[c], formulas[c]);
  }
};

std::uint32_t Inverted(std::uint32_t pixel) { return (pixel & 0xFF000000u) | (~pixel & 0x00FFFFFFu); }

TEST_F(FilterFactoryDialogTest, TheIdentityFilterLeavesThePictureAsItWas) {
  FillPattern();
  const std::vector<std::uint32_t> before = Pixels();
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->RedCh->GetText(), "r");
  EXPECT_EQ(window->AlphaCh->GetText(), "a");
  Click(window->OkBtn);
  EXPECT_EQ(FFFilterTool.Form, nullptr);
  EXPECT_EQ(Pixels(), before);
}

TEST_F(FilterFactoryDialogTest, InvertingKeepsTransparencyAndOkMakesOneUndoStep) {
  FillPattern();
  const std::vector<std::uint32_t> before = Pixels();
  const int steps = UndoSteps();
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  TypeFormulas(window, {"255-r", "255-g", "255-b", "a"});
  // The thumbnail follows the formulas at once.
  const UDBuffer& thumb = window->Thumbnail();
  EXPECT_EQ(*thumb.At(0, 0), Inverted(before[0]));
  EXPECT_EQ(Pixels(), before);

  Click(window->OkBtn);
  EXPECT_EQ(FFFilterTool.Form, nullptr);
  EXPECT_NE(CurrentTool, &FFFilterTool);
  for (std::size_t i = 0; i < before.size(); ++i) ASSERT_EQ(Pixels()[i], Inverted(before[i])) << i;
  ASSERT_EQ(UndoSteps(), steps + 1);
  EXPECT_EQ(Picture().UndoChain->Description, "FilterFact");
  EXPECT_GT(Picture().ChangeCount, 0);

  ChooseMenuItem("&Edit", LangMessage("UndoMenu") + " " + LangMessage("FilterFact"));
  PointerAway();
  EXPECT_EQ(Pixels(), before);
}

TEST_F(FilterFactoryDialogTest, TheThumbnailIsFittedAndCentredInItsBox) {
  struct Case {
    int width, height;
    int thumbWidth, thumbHeight, left, top;
  };
  for (const Case& c : {Case{400, 300, 160, 120, 16, 2}, Case{1, 240, 1, 120, 95, 2}, Case{320, 40, 160, 20, 16, 52},
                        Case{3, 1, 160, 53, 16, 35}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    NewDocument(c.width, c.height);
    TFFactForm* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Thumbnail().Width(), c.thumbWidth);
    EXPECT_EQ(window->Thumbnail().Height(), c.thumbHeight);
    EXPECT_EQ(window->InstPreviewBuf->GetLeft(), c.left);
    EXPECT_EQ(window->InstPreviewBuf->GetTop(), c.top);
    EXPECT_EQ(window->InstPreviewBuf->GetWidth(), c.thumbWidth);
    Click(window->CancelBtn);
  }
}

TEST_F(FilterFactoryDialogTest, TheDistanceToTheCornerIsHalfTheDiagonal) {
  NewDocument(4000, 3000);
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  TypeFormulas(window, {"M / 10", "M - 2400", "M % 256", "0"});
  Click(window->PreviewBtn);
  EXPECT_EQ(At(0, 0), 0xFFFA64C4u);
  EXPECT_EQ(At(3999, 2999), 0xFFFA64C4u);
  Click(window->CancelBtn);
}

TEST_F(FilterFactoryDialogTest, PreviewRunsOnceCancelPutsThePictureBackAndOkKeepsThePreview) {
  Fill(0x00646464);
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  TypeFormulas(window, {"r+1", "g", "b", "a"});
  Click(window->PreviewBtn);
  EXPECT_EQ(At(5, 5), 0x00656464u);
  EXPECT_EQ(FFPreviewOn, 1);
  // A second Preview without a change does not run again.
  *Picture().At(5, 5) = 0x00123456;
  Click(window->PreviewBtn);
  EXPECT_EQ(At(5, 5), 0x00123456u);
  Click(window->CancelBtn);
  EXPECT_EQ(At(5, 5), 0x00646464u);
  EXPECT_EQ(At(6, 6), 0x00646464u);

  const int steps = UndoSteps();
  window = Open();
  ASSERT_NE(window, nullptr);
  Click(window->PreviewBtn);
  *Picture().At(7, 7) = 0x00010203;
  // OK after a preview keeps what the picture shows.
  Click(window->OkBtn);
  EXPECT_EQ(At(7, 7), 0x00010203u);
  EXPECT_EQ(At(5, 5), 0x00656464u);
  EXPECT_EQ(UndoSteps(), steps + 1);
  ChooseMenuItem("&Edit", LangMessage("UndoMenu") + " " + LangMessage("FilterFact"));
  EXPECT_EQ(At(7, 7), 0x00646464u);
}

TEST_F(FilterFactoryDialogTest, WithASelectionOnlySelectedPixelsChangeInThePictureAndTheThumbnail) {
  NewDocument(160, 120);
  Fill(0x00102030);
  Picture().SetMaskRect(true, Rect(10, 10, 79, 59));
  Picture().RebuildSelectionOutline();
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  TypeFormulas(window, {"255", "255", "255", "a"});
  const UDBuffer& thumb = window->Thumbnail();
  EXPECT_EQ(*thumb.At(20, 20), 0x00FFFFFFu);
  EXPECT_EQ(*thumb.At(100, 100), 0x00102030u);
  Click(window->PreviewBtn);
  for (int y = 0; y < 120; y += 3)
    for (int x = 0; x < 160; x += 3) {
      const bool selected = x >= 10 && x <= 79 && y >= 10 && y <= 59;
      ASSERT_EQ(At(x, y), selected ? 0x00FFFFFFu : 0x00102030u) << x << "," << y;
    }
  Click(window->OkBtn);
  ASSERT_NE(Picture().UndoChain, nullptr);
  ChooseMenuItem("&Edit", LangMessage("UndoMenu") + " " + LangMessage("FilterFact"));
  EXPECT_EQ(At(20, 20), 0x00102030u);
}

TEST_F(FilterFactoryDialogTest, StopLeavesTheRowsDoneFilteredAndOkKeepsThem) {
  enum Way { Button, Escape, Enter };
  for (Way way : {Button, Escape, Enter}) {
    SCOPED_TRACE(way);
    Fill(0x00FFFFFF);
    TFFactForm* window = Open();
    ASSERT_NE(window, nullptr);
    TypeFormulas(window, {"0", "0", "0", "a"});
    const POINT preview = CentreOf(window->PreviewBtn);
    ui.MoveTo(preview.x, preview.y);
    ui.QueueClick(preview.x, preview.y);
    if (way == Button) ui.QueueClick(preview.x, preview.y);
    if (way == Escape) ui.QueuePress(VK_ESCAPE);
    if (way == Enter) ui.QueuePress(VK_RETURN);
    ui.RunUntilIdle();
    EXPECT_FALSE(window->Running());
    EXPECT_EQ(window->PreviewBtn->GetCaption(), "&Preview");
    EXPECT_TRUE(window->OkBtn->GetEnabled());
    EXPECT_TRUE(window->RedCh->GetEnabled());
    EXPECT_EQ(At(30, 0), 0x00000000u);
    EXPECT_EQ(At(30, 1), 0x00FFFFFFu);
    EXPECT_EQ(At(30, 47), 0x00FFFFFFu);
    ASSERT_EQ(FFFilterTool.Form, window);
    if (way != Enter) {
      Click(window->CancelBtn);
      EXPECT_EQ(At(30, 0), 0x00FFFFFFu);
      continue;
    }
    // OK after a stopped preview keeps what it did.
    Click(window->OkBtn);
    EXPECT_EQ(At(30, 0), 0x00000000u);
    EXPECT_EQ(At(30, 1), 0x00FFFFFFu);
  }
}

TEST_F(FilterFactoryDialogTest, TheMarkOfABadFormulaSelectsItsBadToken) {
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  TypeFormulas(window, {"r", "g + ) 4", "b", "a"});
  EXPECT_FALSE(window->RedSyntax->GetVisible());
  ASSERT_TRUE(window->GreenSyntax->GetVisible());
  // A channel with an error computes 0; the others run.
  Click(window->PreviewBtn);
  EXPECT_EQ(At(3, 3) & 0x0000FF00u, 0u);
  Click(window->GreenSyntax);
  EXPECT_EQ(window->GreenCh->GetSelText(), " )");
  TypeInto(window->GreenCh, "g");
  EXPECT_FALSE(window->GreenSyntax->GetVisible());
}

TEST_F(FilterFactoryDialogTest, EnterBreaksAFormulaLineButConfirmsFromASliderName) {
  Fill(0x00101010);
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  TypeInto(window->RedCh, "r +");
  ui.Press(VK_RETURN);
  ui.Type("100");
  ui.RunUntilIdle();
  EXPECT_EQ(window->RedCh->GetText(), "r +\r\n100");
  ASSERT_EQ(FFFilterTool.Form, window);
  TypeInto(window->SliderNames[0], "Size");
  ui.Press(VK_RETURN);
  ui.RunUntilIdle();
  EXPECT_EQ(FFFilterTool.Form, nullptr);
  EXPECT_EQ(At(0, 0), 0x00741010u);
}

TEST_F(FilterFactoryDialogTest, EscapeCancels) {
  Fill(0x00101010);
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  TypeFormulas(window, {"0"});
  Click(window->PreviewBtn);
  ui.Press(VK_ESCAPE);
  ui.RunUntilIdle();
  EXPECT_EQ(FFFilterTool.Form, nullptr);
  EXPECT_EQ(At(0, 0), 0x00101010u);
}

TEST_F(FilterFactoryDialogTest, SlidersDriveTheThumbnailAndTheWindowRemembersEverything) {
  Fill(0x00000000);
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  TypeFormulas(window, {"ctl(2)", "ctl(0)", "b", "a"});
  window->Sliders[2]->SetPosition(77);
  ui.RunUntilIdle();
  EXPECT_EQ(window->SliderValues[2]->GetCaption(), "77");
  EXPECT_EQ(*window->Thumbnail().At(1, 1), 0x004D0000u);
  TypeInto(window->SliderNames[2], "Red");
  TypeInto(window->Title, "Reddish");
  TypeInto(window->Copyright, "(c) us");
  TypeInto(window->BlueCh, "  b  ");
  Click(window->CancelBtn);
  EXPECT_EQ(At(1, 1), 0x00000000u);

  window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->RedCh->GetText(), "ctl(2)");
  EXPECT_EQ(window->BlueCh->GetText(), "b");  // kept trimmed
  EXPECT_EQ(window->Sliders[2]->GetPosition(), 77);
  EXPECT_EQ(window->SliderValues[2]->GetCaption(), "77");
  EXPECT_EQ(window->SliderNames[2]->GetText(), "Red");
  EXPECT_EQ(window->Title->GetText(), "Reddish");
  EXPECT_EQ(window->Copyright->GetText(), "(c) us");
  EXPECT_EQ(*window->Thumbnail().At(1, 1), 0x004D0000u);
  Click(window->OkBtn);
  EXPECT_EQ(At(1, 1), 0x004D0000u);
}

TEST_F(FilterFactoryDialogTest, WithoutMemoryTheWindowStaysClosedOrKeepsTheFilterOpen) {
  const FactoryCopyAllocator previous = FactoryCopyAlloc;
  FactoryCopyAlloc = [](UDBuffer& picture, int, int) { picture.Free(); };
  ChooseMenuItem("&Image", "Filter &Factory...");
  FactoryCopyAlloc = previous;
  EXPECT_EQ(FFFilterTool.Form, nullptr);
  EXPECT_NE(CurrentTool, &FFFilterTool);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], LangMessage("NoMem"));

  // Without room for the undo step OK does not keep the result: the window stays.
  Fill(0x00202020);
  const int steps = UndoSteps();
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  TypeFormulas(window, {"0"});
  const std::int64_t disk = Settings.UndoDisk;
  {
    // Neither memory nor room on the disk for the step.
    const FailingAllocator noMemory;
    Settings.UndoDisk = 0;
    Click(window->OkBtn);
  }
  Settings.UndoDisk = disk;
  EXPECT_EQ(FFFilterTool.Form, window);
  EXPECT_EQ(UndoSteps(), steps);
  Click(window->CancelBtn);
  EXPECT_EQ(At(0, 0), 0x00202020u);
}

TEST_F(FilterFactoryDialogTest, TheDocumentsClipboardKeysDoNothingWhileTheWindowIsOpen) {
  Fill(0x00123456);
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  const POINT inside = ViewPoint(10, 10);
  ui.Click(inside.x, inside.y);
  ui.RunUntilIdle();
  for (int modifier : {VK_CONTROL, VK_SHIFT}) {
    ui.KeyDown(modifier);
    ui.Press(VK_DELETE);
    ui.KeyUp(modifier);
    ui.RunUntilIdle();
  }
  EXPECT_EQ(At(10, 10), 0x00123456u);
  EXPECT_EQ(FFFilterTool.Form, window);
  EXPECT_EQ(CurrentTool, &FFFilterTool);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Load fills the window and runs what it shows; a Load cancelled after another filter was
// previewed in the open dialog leaves the window running its own formulas.
TEST_F(FilterFactoryDialogTest, AfterLoadOrACancelledLoadTheWindowRunsTheFormulasItShows) {
  Fill(0x00204060);
  FormulaFilter invert;
  invert.formulas[0] = "255-r";
  invert.formulas[1] = "255-g";
  invert.formulas[2] = "255-b";
  invert.formulas[3] = "a";
  invert.title = "Invert";
  invert.names[0] = "Unused";
  invert.values[0] = 9;
  FormulaFilter zero = invert;
  zero.formulas[0] = zero.formulas[1] = zero.formulas[2] = "0";
  zero.title = "Black";
  std::filesystem::create_directories(home.Path() + "/filters");
  home.WriteFile("filters/invert.afs", SingleFilterText(invert));
  home.WriteFile("filters/black.afs", SingleFilterText(zero));
  FormulaFilterFolder = home.Path() + "/filters/";

  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  FileDialogUser user{ui};
  ui.WhenModalWaits([&] {
    user.ClickItem("invert.afs");
    user.ClickControl(IDOK);
  });
  Click(window->LoadBtn);
  ui.RunUntilIdle();
  EXPECT_EQ(window->RedCh->GetText(), "255-r");
  EXPECT_EQ(window->Title->GetText(), "Invert");
  EXPECT_EQ(window->SliderNames[0]->GetText(), "Unused");
  EXPECT_EQ(window->Sliders[0]->GetPosition(), 9);
  EXPECT_EQ(*window->Thumbnail().At(0, 0), 0x00DFBF9Fu);

  ui.WhenModalWaits([&] {
    user.ClickItem("black.afs");
    user.ClickControl(IDCANCEL);
  });
  Click(window->LoadBtn);
  ui.RunUntilIdle();
  EXPECT_EQ(window->RedCh->GetText(), "255-r");
  window->Sliders[1]->SetPosition(3);
  ui.RunUntilIdle();
  EXPECT_EQ(*window->Thumbnail().At(0, 0), 0x00DFBF9Fu);
  Click(window->OkBtn);
  EXPECT_EQ(At(0, 0), 0x00DFBF9Fu);
  FormulaFilterFolder = ".";
}

// Make writes the template with the compiled filter into the file the user names; without a
// template it says so and writes nothing.
TEST_F(FilterFactoryDialogTest, MakeWritesAComponentOrSaysItCannot) {
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  TypeInto(window->Title, "Made here");
  TypeFormulas(window, {"255-r"});
  const std::string target = home.Path() + "/made.qlc";
  FileDialogUser user{ui};
  ui.WhenModalWaits([&] { user.TypeName(target); });
  Click(window->MakeBtn);
  ui.RunUntilIdle();
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  const std::string made = ReadAll(target);
  const std::string original = ReadAll((ProgramFolder() + "ffqlc.qlc").c_str());
  ASSERT_FALSE(original.empty());
  EXPECT_EQ(made.size(), original.size());
  EXPECT_NE(made.find("Name=Made here\r"), std::string::npos);

  const AnsiString folder = ProgramFolder();
  SetProgramFolder((home.Path() + "/").c_str());
  const std::string nowhere = home.Path() + "/nowhere.qlc";
  ui.WhenModalWaits([&] { user.TypeName(nowhere); });
  Click(window->MakeBtn);
  ui.RunUntilIdle();
  SetProgramFolder(folder);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], LangMessage("CantSaveComp"));
  EXPECT_FALSE(std::filesystem::exists(nowhere));
}

// Make opens its dialog in the program's components folder, made when it is missing.
TEST_F(FilterFactoryDialogTest, MakeOpensInTheComponentsFolderMadeWhenMissing) {
  TFFactForm* window = Open();
  ASSERT_NE(window, nullptr);
  const AnsiString folder = ProgramFolder();
  SetProgramFolder((home.Path() + "/").c_str());
  ASSERT_FALSE(std::filesystem::exists(home.Path() + "/Comps"));
  FileDialogUser user{ui};
  std::string shown;
  ui.WhenModalWaits([&] {
    shown = user.Folder();
    user.ClickControl(IDCANCEL);
  });
  Click(window->MakeBtn);
  ui.RunUntilIdle();
  SetProgramFolder(folder);
  EXPECT_TRUE(std::filesystem::is_directory(home.Path() + "/Comps"));
  while (!shown.empty() && shown.back() == '/') shown.pop_back();
  EXPECT_EQ(shown, home.Path() + "/Comps");
}

}  // namespace
