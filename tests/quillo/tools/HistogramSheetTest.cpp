// The Histogram and Grid sheets in the window: the counts follow every change, undo and
// activation while the sheet shows; the statistics and the readout under the pointer; the
// marker line leaves no trail; the grid's buttons act only on their own sheet.

#include <gtest/gtest.h>

#include "ToolFixture.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/Grid.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

namespace {

class HistogramSheetTest : public ToolTest {
protected:
  HistogramSheetTest() {
    ToolForm->ShowSheet(ToolForm->HistogramSheet, true, true);
    ui.RunUntilIdle();
  }
  void Channel(int index) {
    ToolForm->ChannelCombo->SetItemIndex(index);
    ToolForm->ChannelChange(ToolForm->ChannelCombo);
  }
  void Over(TBuffer* view, int x) {
    const POINT p = UiDriver::At(view->GetHandle(), x, 5);
    ui.MoveTo(p.x, p.y);
    ui.RunUntilIdle();
  }
};

TEST_F(HistogramSheetTest, AWhitePictureAndThenAChangeAndItsUndo) {
  Channel(HistRed);
  UDBuffer& picture = document->Picture;
  const auto n = static_cast<std::uint32_t>(picture.Width() * picture.Height());
  EXPECT_EQ(ToolForm->Histogram[HistRed][255], n);
  EXPECT_EQ(ToolForm->Histogram[HistIntensity][255], n);
  EXPECT_EQ(ToolForm->Mean->GetCaption(), "255.00");
  EXPECT_EQ(ToolForm->StdDev->GetCaption(), "0.00");

  ASSERT_TRUE(picture.PushUndo("Test"));
  picture.Box(Rect(0, 0, picture.Width() / 2 - 1, picture.Height() - 1), 0x00FFFF);
  MarkPictureChanged();
  EXPECT_EQ(ToolForm->Histogram[HistRed][0], n / 2);
  EXPECT_EQ(ToolForm->Mean->GetCaption(), "127.50");
  EXPECT_EQ(ToolForm->StdDev->GetCaption(), "127.50");
  ASSERT_TRUE(picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(ToolForm->Histogram[HistRed][255], n) << "undo refreshes";

  Channel(HistAll);
  EXPECT_EQ(ToolForm->Mean->GetCaption(), "");
  EXPECT_EQ(ToolForm->StdDev->GetCaption(), "");
}

TEST_F(HistogramSheetTest, ThePointerReadsTheCountAndItsMarkerLeavesNoTrail) {
  Channel(HistGreen);
  Over(ToolForm->HistHolder, 255);
  EXPECT_EQ(ToolForm->Value->GetCaption(), "255");
  EXPECT_EQ(ToolForm->Count->GetCaption(), std::to_string(64 * 48));
  Over(ToolForm->ScaleHolder, 10);
  EXPECT_EQ(ToolForm->Value->GetCaption(), "10");
  EXPECT_EQ(ToolForm->Count->GetCaption(), "0");
  EXPECT_EQ(*ToolForm->ScaleImage.At(10, 8) & 0xFFFFFF, 0xC0C0C0u);
  EXPECT_EQ(*ToolForm->HistImage.At(10, 8) & 0xFFFFFF, 0xC0C0C0u);
  Over(ToolForm->ScaleHolder, 20);
  EXPECT_EQ(*ToolForm->ScaleImage.At(10, 8) & 0xFFFFFF, 0x000A00u) << "the old marker is gone";
  EXPECT_EQ(*ToolForm->HistImage.At(10, 8) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(*ToolForm->HistImage.At(255, 0) & 0xFFFFFF, 0x00FF00u) << "the graph stays";
}

TEST_F(HistogramSheetTest, GridButtonsActOnlyOnTheGridSheet) {
  Brush.Alloc(7, 5);
  ToolForm->SetGridDeltaFromBrush(ToolForm->BrushSizeBtn);
  ToolForm->SetGridOrigin(ToolForm->GridOrigBtn);
  EXPECT_EQ(GridDx, DefaultGridStep);
  EXPECT_NE(CurrentTool, &GridposTool);
  ToolForm->ShowSheet(ToolForm->GridSheet, true, true);
  ui.RunUntilIdle();
  const POINT p = ToolForm->BrushSizeBtn->ClientToScreen(TPoint(5, 5));
  ui.Click(p.x, p.y);
  ui.RunUntilIdle();
  EXPECT_EQ(GridDx, 7);
  EXPECT_EQ(GridDy, 5);
  ToolForm->SetGridOrigin(ToolForm->GridOrigBtn);
  EXPECT_EQ(CurrentTool, &GridposTool);
}

}  // namespace
