// Image > Custom Filter through the user interface: the kernel typed into the dialog, Preview
// and Stop, OK with its one undo step, Cancel and closing the dialog, the kernel kept for the
// next use, cell editing and moving between cells, and kernel files loaded and saved.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "../../support/FileSizeLimit.h"
#include "../shell/PaletteUser.h"
#include "../tools/ToolFixture.h"
#include "FilterDialogPictures.h"
#include "platform/host/KeyCodes.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/FileDialogs.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/PreviewState.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/filters/CustomFilterForm.h"
#include "quillo/filters/CustomFilterTool.h"
#include "quillo/filters/KernelFile.h"
#include "quillo/tools/Lines.h"
#include "quillo/tools/ToolObjects.h"
#include "support/FileDialogUser.h"

namespace {

class CustomFilterDialogTest : public ToolTest {
protected:
  ~CustomFilterDialogTest() override {
    CustomFilterKernel = DefaultConvolutionKernel();
    CFilterFormLeft = -1;
    KernelFileFolder = startFolder_;
  }

  UDBuffer& Picture() const { return document->Picture; }
  void Fill(std::uint32_t colour) { FillPicture(Picture(), colour); }
  void FillPattern() {
    for (int y = 0; y < Picture().Height(); ++y)
      for (int x = 0; x < Picture().Width(); ++x)
        *Picture().At(x, y) = static_cast<std::uint32_t>(x * 3 | (y * 5) << 8 | ((x * y) & 0xFF) << 16);
  }
  std::vector<std::uint32_t> Pixels() const { return PicturePixels(Picture()); }
  std::uint32_t At(int x, int y) const { return *Picture().At(x, y); }
  int UndoSteps() const { return UndoStepCount(Picture()); }

  TCFilterForm* Open() {
    ChooseMenuItem("&Image", "C&ustom Filter...");
    TCFilterForm* dialog = CustomFilterTool.Form;
    EXPECT_NE(dialog, nullptr);
    EXPECT_EQ(CurrentTool, &CustomFilterTool);
    return dialog;
  }
  void Click(TControl* control) { ClickOnCentre(ui, control); }
  // Clears an edit and types into it as a user does.
  void TypeInto(TCustomEdit* edit, const std::string& text) {
    edit->SetText("");
    Click(edit);
    ui.Type(text);
    ui.RunUntilIdle();
  }
  // The kernel typed cell by cell: every cell emptied, then the given ones typed; Div and Bias.
  void TypeKernel(TCFilterForm* dialog, const std::vector<std::pair<int, std::string>>& cells, const std::string& div,
                  const std::string& bias = "0") {
    for (TEdit* cell : dialog->Cells) cell->SetText("");
    for (const auto& [index, text] : cells) TypeInto(dialog->Cells[static_cast<std::size_t>(index)], text);
    TypeInto(dialog->DivFactor, div);
    TypeInto(dialog->Bias, bias);
  }
  void CloseDialog(TCFilterForm* dialog) {
    PostMessage(dialog->GetHandle(), WM_CLOSE, 0, 0);
    ui.RunUntilIdle();
  }

private:
  const AnsiString startFolder_ = KernelFileFolder;
};

TEST_F(CustomFilterDialogTest, HalfTheCentreRoundsInsideTruncatesOnTheBorderAndOkMakesOneUndoStep) {
  Fill(0x00FFFFFF);
  const std::vector<std::uint32_t> before = Pixels();
  const int steps = UndoSteps();
  TCFilterForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->GetVisible());
  TypeKernel(dialog, {{12, "1"}}, "2");
  Click(dialog->OkBtn);

  EXPECT_EQ(At(20, 20), 0x00808080u);  // 127.5 inside: 128
  EXPECT_EQ(At(0, 20), 0x007F7F7Fu);   // on the border: 127
  EXPECT_EQ(At(63, 47), 0x007F7F7Fu);
  EXPECT_EQ(CustomFilterTool.Form, nullptr);
  EXPECT_FALSE(CustomFilterTool.DialogOpen);
  EXPECT_NE(CurrentTool, &CustomFilterTool);
  ASSERT_EQ(UndoSteps(), steps + 1);
  EXPECT_EQ(Picture().UndoChain->Description, "CustFilt");
  EXPECT_GT(Picture().ChangeCount, 0);

  ChooseMenuItem("&Edit", LangMessage("UndoMenu") + " " + LangMessage("CustFilt"));
  PointerAway();
  EXPECT_EQ(Pixels(), before);

  // The accepted kernel comes back at the next use.
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Cells[12]->GetText(), "1");
  EXPECT_EQ(dialog->Cells[6]->GetText(), "");
  EXPECT_EQ(dialog->DivFactor->GetValue(), 2);
  EXPECT_EQ(dialog->Bias->GetValue(), 0);
  Click(dialog->CancelBtn);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

TEST_F(CustomFilterDialogTest, AnOffsetCellMovesThePictureLeftAndCancelPutsItBack) {
  FillPattern();
  const std::vector<std::uint32_t> before = Pixels();
  const int steps = UndoSteps();
  TCFilterForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  TypeKernel(dialog, {{2 * 5 + 3, "1"}}, "1");
  Click(dialog->PreviewBtn);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_EQ(At(x, y), before[static_cast<std::size_t>(y * 64 + std::min(x + 1, 63))]) << x << "," << y;
  Click(dialog->CancelBtn);
  EXPECT_EQ(Pixels(), before);
  EXPECT_EQ(UndoSteps(), steps);
  EXPECT_EQ(CustomFilterTool.Form, nullptr);
  // A cancelled kernel is not remembered.
  EXPECT_EQ(CustomFilterKernel, DefaultConvolutionKernel());
}

TEST_F(CustomFilterDialogTest, WithASelectionOnlySelectedPixelsChangeAndClosingRestores) {
  Fill(0x40102030);
  Picture().SetMaskRect(true, Rect(10, 10, 20, 15));
  Picture().RebuildSelectionOutline();
  const std::vector<std::uint32_t> before = Pixels();
  TCFilterForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  TypeKernel(dialog, {{12, "1"}}, "1", "10");
  Click(dialog->PreviewBtn);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool selected = x >= 10 && x <= 20 && y >= 10 && y <= 15;
      ASSERT_EQ(At(x, y), selected ? 0x401A2A3Au : 0x40102030u) << x << "," << y;
    }
  CloseDialog(dialog);
  EXPECT_FALSE(CustomFilterTool.DialogOpen);
  EXPECT_NE(CurrentTool, &CustomFilterTool);
  EXPECT_EQ(Pixels(), before);
}

TEST_F(CustomFilterDialogTest, ASecondPreviewWithoutAChangeDoesNothing) {
  Fill(0x00646464);
  TCFilterForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  TypeKernel(dialog, {{12, "1"}}, "1", "1");
  Click(dialog->PreviewBtn);
  EXPECT_EQ(At(5, 5), 0x00656565u);
  EXPECT_TRUE(PreviewValid);
  *Picture().At(5, 5) = 0x00123456;
  Click(dialog->PreviewBtn);
  EXPECT_EQ(At(5, 5), 0x00123456u);
  // A changed Bias filters again, from the unfiltered pixels.
  TypeInto(dialog->Bias, "2");
  EXPECT_FALSE(PreviewValid);
  Click(dialog->PreviewBtn);
  EXPECT_EQ(At(5, 5), 0x00666666u);
  Click(dialog->CancelBtn);
}

TEST_F(CustomFilterDialogTest, StopEndsThePreviewAtTheEndOfARow) {
  enum Way { Button, Escape, Enter };
  for (Way way : {Button, Escape, Enter}) {
    SCOPED_TRACE(way);
    Fill(0x00FFFFFF);
    TCFilterForm* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    TypeKernel(dialog, {{12, "1"}}, "2");
    const POINT preview = CentreOf(dialog->PreviewBtn);
    ui.MoveTo(preview.x, preview.y);
    ui.QueueClick(preview.x, preview.y);
    if (way == Button) ui.QueueClick(preview.x, preview.y);
    if (way == Escape) ui.QueuePress(VK_ESCAPE);
    if (way == Enter) ui.QueuePress(VK_RETURN);
    ui.RunUntilIdle();
    EXPECT_FALSE(dialog->Running());
    EXPECT_FALSE(PreviewValid);
    EXPECT_EQ(dialog->PreviewBtn->GetCaption(), "&Preview");
    EXPECT_TRUE(dialog->OkBtn->GetEnabled());
    EXPECT_TRUE(dialog->Cells[0]->GetEnabled());
    // The first row was filtered, no other.
    EXPECT_EQ(At(30, 0), 0x007F7F7Fu);
    EXPECT_EQ(At(30, 1), 0x00FFFFFFu);
    EXPECT_EQ(At(30, 47), 0x00FFFFFFu);
    EXPECT_TRUE(CustomFilterTool.DialogOpen);
    Click(dialog->CancelBtn);
    EXPECT_EQ(At(30, 0), 0x00FFFFFFu);
  }
}

TEST_F(CustomFilterDialogTest, CellsKeepDigitsAndALeadingSignAndAreNormalisedOnLeaving) {
  TCFilterForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  struct Case {
    int cell;
    const char* typed;
    const char* whileTyping;
    const char* afterLeaving;
  };
  const Case cases[] = {
      {0, "1a", "1", "1"},       {1, "1000", "1000", "999"}, {2, "-", "-", ""},   {3, "+", "+", ""},
      {4, "-12x3", "-123", "-123"}, {5, "4-5", "45", "45"},   {9, "-0", "-0", ""}, {10, "-5000", "-5000", "-999"},
  };
  for (const Case& c : cases) {
    TEdit* cell = dialog->Cells[static_cast<std::size_t>(c.cell)];
    TypeInto(cell, c.typed);
    EXPECT_EQ(cell->GetText(), c.whileTyping) << c.typed;
    ui.Press(VK_TAB);
    ui.RunUntilIdle();
    EXPECT_EQ(cell->GetText(), c.afterLeaving) << c.typed;
  }
  Click(dialog->CancelBtn);
}

TEST_F(CustomFilterDialogTest, UpAndDownMoveBetweenCellsOfAColumn) {
  TCFilterForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Click(dialog->Cells[7]);
  ASSERT_EQ(dialog->GetActiveControl(), dialog->Cells[7]);
  const std::pair<int, int> steps[] = {{VK_UP, 2}, {VK_UP, 2}, {VK_DOWN, 7}, {VK_DOWN, 12}, {VK_DOWN, 17},
                                       {VK_DOWN, 22}, {VK_DOWN, 22}};
  for (const auto& [key, expected] : steps) {
    ui.Press(key);
    ui.RunUntilIdle();
    EXPECT_EQ(dialog->GetActiveControl(), dialog->Cells[static_cast<std::size_t>(expected)]) << expected;
  }
  // Esc in a control lets go of the focus; Esc again cancels.
  ui.Press(VK_ESCAPE);
  ui.RunUntilIdle();
  EXPECT_TRUE(CustomFilterTool.DialogOpen);
  ui.Press(VK_ESCAPE);
  ui.RunUntilIdle();
  EXPECT_FALSE(CustomFilterTool.DialogOpen);
}

class CustomFilterFilesTest : public CustomFilterDialogTest {
protected:
  // Loads path through the dialog's Load button and its file dialog.
  void Load(TCFilterForm* dialog, const std::string& path) {
    FileDialogUser user(ui);
    ui.WhenModalWaits([&] { user.TypeName(path); });
    Click(dialog->LoadBtn);
    ui.RunUntilIdle();
  }
  void Save(TCFilterForm* dialog, const std::string& path) {
    FileDialogUser user(ui);
    ui.WhenModalWaits([&] { user.TypeName(path); });
    Click(dialog->SaveBtn);
    ui.RunUntilIdle();
  }
  static std::string Words(int first, int div, int bias) {
    std::string out;
    auto put = [&out](int v) {
      out.push_back(static_cast<char>(v >> 8 & 0xFF));
      out.push_back(static_cast<char>(v & 0xFF));
    };
    put(first);
    for (int i = 1; i < 25; ++i) put(i == 24 ? 0xFFFF : 0);
    put(div);
    put(bias);
    return out;
  }
};

TEST_F(CustomFilterFilesTest, SavedKernelsLoadBackAndBadFilesGiveAMessage) {
  ui.OnMessageBox([](const std::string&, const std::string&, UINT flags) {
    return (flags & 0x0F) == MB_YESNO ? IDYES : IDOK;
  });
  TCFilterForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  TypeKernel(dialog, {{0, "-7"}, {12, "999"}, {24, "3"}}, "77", "-40");
  const std::string saved = home.Path() + "/sharpen.acf";
  Save(dialog, saved);
  EXPECT_EQ(FileContents(saved).size(), 54u);
  EXPECT_EQ(KernelFileFolder, home.Path() + "/");
  TypeKernel(dialog, {}, "1");
  Load(dialog, saved);
  EXPECT_EQ(dialog->Cells[0]->GetText(), "-7");
  EXPECT_EQ(dialog->Cells[12]->GetText(), "999");
  EXPECT_EQ(dialog->Cells[24]->GetText(), "3");
  EXPECT_EQ(dialog->Cells[1]->GetText(), "");
  EXPECT_EQ(dialog->DivFactor->GetValue(), 77);
  EXPECT_EQ(dialog->Bias->GetValue(), -40);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());

  // Files of the wrong length: a message, the dialog keeps its values.
  const std::string good = Words(1, 1, 0);
  for (std::size_t size : {0u, 53u, 55u}) {
    std::string bytes = good;
    bytes.resize(size, '\0');
    const std::size_t seen = ui.MessageBoxTexts().size();
    Load(dialog, home.WriteFile("bad" + std::to_string(size) + ".acf", bytes));
    ASSERT_EQ(ui.MessageBoxTexts().size(), seen + 1) << size;
    EXPECT_EQ(ui.MessageBoxTexts().back(), LangMessage("CantOpenFilter"));
    EXPECT_EQ(dialog->Cells[12]->GetText(), "999");
    EXPECT_EQ(dialog->DivFactor->GetValue(), 77);
    Load(dialog, saved);  // and back
  }

  // Values out of range are brought into range.
  struct Case {
    int first, div, bias;
    const char* cell;
    int shownDiv, shownBias;
  };
  const std::size_t seen = ui.MessageBoxTexts().size();
  const Case cases[] = {{0x7FFF, 0, 0, "999", 1, 0}, {0x8000, 0xFFFB, 20000, "-999", 1, 9999},
                        {0x0001, 20000, 0xB1E0, "1", 9999, -9999}};
  for (const Case& c : cases) {
    Load(dialog, home.WriteFile("wild.acf", Words(c.first, c.div, c.bias)));
    EXPECT_EQ(dialog->Cells[0]->GetText(), c.cell);
    EXPECT_EQ(dialog->Cells[24]->GetText(), "-1");
    EXPECT_EQ(dialog->DivFactor->GetValue(), c.shownDiv);
    EXPECT_EQ(dialog->Bias->GetValue(), c.shownBias);
  }
  EXPECT_EQ(ui.MessageBoxTexts().size(), seen);
  Click(dialog->CancelBtn);
}

TEST_F(CustomFilterFilesTest, ASaveOnAFullDiskLeavesTheOldFile) {
  ui.OnMessageBox([](const std::string&, const std::string&, UINT flags) {
    return (flags & 0x0F) == MB_YESNO ? IDYES : IDOK;
  });
  ConvolutionKernel old;
  old.Cells[KernelCentre] = 5;
  const std::string path = home.Path() + "/kept.acf";
  ASSERT_TRUE(WriteKernelFile(path.c_str(), old));
  const std::string before = FileContents(path);
  TCFilterForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  {
    const FileSizeLimit full(10);
    Save(dialog, path);
  }
  EXPECT_EQ(FileContents(path), before);
  ASSERT_FALSE(ui.MessageBoxTexts().empty());
  EXPECT_EQ(ui.MessageBoxTexts().back(), LangMessage("CantSaveFilter"));
  Click(dialog->CancelBtn);
}

TEST_F(CustomFilterDialogTest, WithoutMemoryForTheCopyTheToolDoesNotStart) {
  P_icon* const before = CurrentTool;
  const SavedCopyAllocator previous = CustomFilterAlloc;
  CustomFilterAlloc = [](UDBuffer& picture, int, int) { picture.Free(); };
  ChooseMenuItem("&Image", "C&ustom Filter...");
  CustomFilterAlloc = previous;
  EXPECT_EQ(CustomFilterTool.Form, nullptr);
  EXPECT_FALSE(CustomFilterTool.DialogOpen);
  EXPECT_EQ(CurrentTool, before);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], LangMessage("NoMem"));
}

TEST_F(CustomFilterDialogTest, AnotherToolFinishesTheDialogAndPutsThePictureBack) {
  FillPattern();
  const std::vector<std::uint32_t> before = Pixels();
  TCFilterForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  TypeKernel(dialog, {{12, "2"}}, "1");
  Click(dialog->PreviewBtn);
  ASSERT_NE(Pixels(), before);
  SelectTool(&LineTool, true, -1);
  ui.RunUntilIdle();
  EXPECT_FALSE(CustomFilterTool.DialogOpen);
  EXPECT_EQ(CustomFilterTool.Form, nullptr);
  EXPECT_EQ(Pixels(), before);
}

TEST_F(CustomFilterDialogTest, OkStoppedOnItsWayKeepsTheDialogOpen) {
  Fill(0x00FFFFFF);
  const int steps = UndoSteps();
  TCFilterForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  TypeKernel(dialog, {{12, "1"}}, "2");
  const POINT ok = CentreOf(dialog->OkBtn);
  ui.MoveTo(ok.x, ok.y);
  ui.QueueClick(ok.x, ok.y);
  ui.QueuePress(VK_ESCAPE);
  ui.RunUntilIdle();
  EXPECT_TRUE(CustomFilterTool.DialogOpen);
  EXPECT_FALSE(CustomFilterTool.Accepted);
  EXPECT_EQ(UndoSteps(), steps);
  // OK again filters the whole picture and keeps it.
  Click(dialog->OkBtn);
  EXPECT_FALSE(CustomFilterTool.DialogOpen);
  EXPECT_EQ(At(30, 30), 0x00808080u);
  EXPECT_EQ(UndoSteps(), steps + 1);
}

}  // namespace
