// Stopping a component's long run from the user interface: the Stop button (the Preview button
// while the run goes on), Esc and Enter. The run ends at the component's next progress call;
// meanwhile nothing else on the page acts, and a stopped Apply keeps nothing of its part-done
// result while the history made before stays whole.

#include <gtest/gtest.h>

#include "QlcFixture.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/plugins/ComponentSheet.h"
#include "quillo/tools/ToolObjects.h"

namespace {

constexpr std::uint32_t White = 0x00FFFFFF;

class ComponentStopTest : public QlcProgramTest {
protected:
  void OpenSlow() {
    StartOn(100, 50, White);
    InstallSlow();
    Choose("&Slow");
    ASSERT_EQ(CurrentTool, &QlComponentTool);
  }
  // The library may outlive a test (one that faulted stays loaded): its counts start again.
  void InstallSlow() {
    InstallComponents({"slow"});
    for (const char* cell : {"slow_full_runs", "slow_stopped", "slow_gave_up", "slow_fails"})
      *Cell<std::int32_t>("slow", cell) = 0;
  }
  void QueueClickOn(TButton* button) {
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->GetVisible());
    const POINT at = UiDriver::At(button->GetHandle(), 5, 5);
    ui.QueueClick(at.x, at.y);
  }
  // The run saw the stop at once and did not run out its own time.
  void ExpectStoppedOnce() {
    EXPECT_EQ(*Cell<std::int32_t>("slow", "slow_full_runs"), 1);
    EXPECT_EQ(*Cell<std::int32_t>("slow", "slow_stopped"), 1);
    EXPECT_EQ(*Cell<std::int32_t>("slow", "slow_gave_up"), 0);
  }
  // The page is as before the run: every button usable, Preview reads Preview again.
  static void ExpectPageIdle() {
    const CompSheetControls& page = CompSheetFixedControls();
    EXPECT_EQ(page.PreviewBtn->GetCaption(), LangMessage("QLCPreview"));
    EXPECT_TRUE(page.PreviewBtn->GetEnabled());
    EXPECT_TRUE(page.CompApplyBtn->GetEnabled());
    EXPECT_TRUE(page.CancelBtn->GetEnabled());
  }
};

TEST_F(ComponentStopTest, StopEndsAPreviewAndTheOtherButtonsWaitMeanwhile) {
  ASSERT_NO_FATAL_FAILURE(OpenSlow());
  const CompSheetControls& page = CompSheetFixedControls();
  // Preview starts the run; Apply and Cancel are pressed while it goes on, then Stop.
  QueueClickOn(page.PreviewBtn);
  QueueClickOn(page.CompApplyBtn);
  QueueClickOn(page.CancelBtn);
  QueueClickOn(page.PreviewBtn);
  ui.RunUntilIdle();
  ExpectStoppedOnce();
  ExpectPageIdle();
  // Neither Apply nor Cancel acted: the tool stays, no step was made, and the preview shows
  // how far it came.
  EXPECT_EQ(CurrentTool, &QlComponentTool);
  EXPECT_EQ(Picture().UndoChain, nullptr);
  EXPECT_EQ(*Picture().At(10, 0) & 0xFFFFFF, 0u);
  // Cancel now puts the picture back as it was.
  QueueClickOn(page.CancelBtn);
  ui.RunUntilIdle();
  EXPECT_NE(CurrentTool, &QlComponentTool);
  EXPECT_EQ(*Picture().At(10, 0), White);
  EXPECT_EQ(*Picture().At(99, 49), White);
  EXPECT_EQ(Picture().UndoChain, nullptr);
}

class ComponentStopKeyTest : public ComponentStopTest, public ::testing::WithParamInterface<int> {};

TEST_P(ComponentStopKeyTest, TheKeyStopsAnApplyWhichKeepsNothingOfIt) {
  StartOn(100, 50, White);
  // A step the user made before: it stays the newest one.
  ASSERT_TRUE(Picture().PushUndo("Earlier"));
  *Picture().At(99, 49) = 0x00123456;
  InstallSlow();
  Choose("&Slow");
  ASSERT_EQ(CurrentTool, &QlComponentTool);
  QueueClickOn(CompSheetFixedControls().CompApplyBtn);
  ui.QueuePress(GetParam());
  ui.RunUntilIdle();
  ExpectStoppedOnce();
  ExpectPageIdle();
  EXPECT_EQ(CurrentTool, &QlComponentTool);
  EXPECT_EQ(*Picture().At(10, 0), White);
  EXPECT_EQ(*Picture().At(99, 49), 0x00123456u);
  ASSERT_NE(Picture().UndoChain, nullptr);
  EXPECT_EQ(Picture().UndoChain->Description, "Earlier");
  EXPECT_EQ(Picture().UndoChain->Next, nullptr);
}

// An Apply whose run fails takes back its own step and no other.
TEST_F(ComponentStopTest, AFailedApplyTakesBackOnlyItsOwnStep) {
  StartOn(100, 50, White);
  ASSERT_TRUE(Picture().PushUndo("Earlier"));
  *Picture().At(99, 49) = 0x00123456;
  InstallSlow();
  Choose("&Slow");
  ASSERT_EQ(CurrentTool, &QlComponentTool);
  *Cell<std::int32_t>("slow", "slow_fails") = 1;
  ui.AnswerMessageBoxes({IDOK});
  QueueClickOn(CompSheetFixedControls().CompApplyBtn);
  ui.RunUntilIdle();
  EXPECT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(*Picture().At(10, 0), White);
  EXPECT_EQ(*Picture().At(99, 49), 0x00123456u);
  ASSERT_NE(Picture().UndoChain, nullptr);
  EXPECT_EQ(Picture().UndoChain->Description, "Earlier");
  EXPECT_EQ(Picture().UndoChain->Next, nullptr);
}

INSTANTIATE_TEST_SUITE_P(EscAndEnter, ComponentStopKeyTest, ::testing::Values(VK_ESCAPE, VK_RETURN));

}  // namespace
