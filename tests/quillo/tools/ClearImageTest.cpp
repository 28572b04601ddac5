// Clear Image: the picture filled with the background colour as one undo step however often it
// is cleared in a row, made untitled and unselected, the tool and its bar left as they were.

#include <gtest/gtest.h>

#include "../document/FailingUndoMemory.h"
#include "ShapeFixture.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/base/Settings.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

namespace {

class ClearImageTest : public ShapeToolTest {
protected:
  void PressClear() {
    SetForegroundWindow(document->GetHandle());
    document->SetFocus();
    ui.RunUntilIdle();
    ui.KeyDown(VK_SHIFT);
    ui.KeyDown(VK_CONTROL);
    ui.Press('C');
    ui.KeyUp(VK_CONTROL);
    ui.KeyUp(VK_SHIFT);
    ui.RunUntilIdle();
  }
};

TEST_F(ClearImageTest, ALoadedPictureBecomesAnUntitledBackgroundColouredOne) {
  EXPECT_TRUE(ToolCanBeChosen(&ClearTool));
  UDBuffer& picture = document->Picture;
  picture.FileName = "/tmp/painting.bmp";
  picture.SaveAsRequired = 0;
  picture.Box(Rect(0, 0, 9, 9), 0x123456);
  picture.SetMaskRect(true, Rect(0, 0, 5, 5));
  picture.RebuildSelectionOutline();
  form->BackCol->SetColor(clRed);
  Choose(&LineTool);
  const std::uint32_t counter = UntitledCounter;
  PressClear();
  EXPECT_EQ(PixelAt(0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(127, 95), 0xFF0000u);
  EXPECT_TRUE(picture.FileName.empty());
  EXPECT_EQ(picture.UntitledNumber, static_cast<int>(counter));
  EXPECT_EQ(UntitledCounter, counter + 1);
  EXPECT_EQ(picture.SaveAsRequired, 1);
  EXPECT_EQ(picture.Outline, nullptr);
  EXPECT_EQ(CurrentTool, &LineTool);
  EXPECT_EQ(ToolPhase, 0u);
}

TEST_F(ClearImageTest, ClearingTwiceAndUndoingOnceRestoresThePicture) {
  UDBuffer& picture = document->Picture;
  picture.Box(Rect(0, 0, 9, 9), 0x123456);
  PressClear();
  form->BackCol->SetColor(clRed);
  PressClear();
  EXPECT_EQ(PixelAt(50, 50), 0xFF0000u);
  ASSERT_NE(picture.UndoChain, nullptr);
  EXPECT_EQ(picture.UndoChain->Next, nullptr) << "one step";
  ASSERT_TRUE(picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(PixelAt(0, 0), 0x123456u);
  EXPECT_EQ(PixelAt(50, 50), 0xFFFFFFu);
}

TEST_F(ClearImageTest, WithoutAStepToUndoItThePictureStaysAsItIs) {
  UDBuffer& picture = document->Picture;
  picture.FileName = "/tmp/painting.bmp";
  picture.Box(Rect(0, 0, 9, 9), 0x123456);
  ui.AnswerMessageBoxes({IDOK});
  // Neither memory nor room on the disk for the step.
  Settings.UndoDisk = 0;
  {
    FailingAllocator noMemory;
    PressClear();
  }
  EXPECT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(PixelAt(0, 0), 0x123456u);
  EXPECT_EQ(picture.FileName, "/tmp/painting.bmp");
  EXPECT_EQ(picture.UndoChain, nullptr);
}

}  // namespace
