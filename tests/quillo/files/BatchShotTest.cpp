// The batch window with both of its panels open, the progress window with message lines
// after a run, and the information window, as a user sees them over the started program;
// shown to a viewer by scripts/screenshot-batch.sh, screenshot-batch-progress.sh and
// screenshot-info.sh.

#include "../shell/ProgramFixture.h"

#include "platform/user/Desktop.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/panels/XPanel.h"
#include "quillo/files/InfoForm.h"
#include "quillo/files/ProgressForm.h"
#include "quillo/files/ScriptForm.h"

namespace {

class BatchShot : public ProgramTest {
protected:
  static TScriptForm* Batch() { return dynamic_cast<TScriptForm*>(Screen()->ActiveForm()); }
  void Press(TButton* button) {
    const POINT at = UiDriver::At(button->GetHandle(), button->GetWidth() / 2, button->GetHeight() / 2);
    ui.QueueClick(at.x, at.y);
  }
  void Show() {
    FlushDesktop();
    ui.ShowToViewer();
  }
};

TEST_F(BatchShot, TheBatchWindowWithBothPanelsOpen) {
  Start();
  ChooseMenuItem("&File", "Ba&tch Conversion...", {[this] {
                   TScriptForm* batch = Batch();
                   ASSERT_NE(batch, nullptr);
                   EXPECT_TRUE(batch->InputFiles->GetExpanded());
                   EXPECT_TRUE(batch->OutputFiles->GetExpanded());
                   BatchSettings s = batch->Current();
                   s.singleImage = home.Path() + "/holiday/beach.jpg";
                   s.format = "Portable Network Graphics";
                   s.depth = "256 Colors";
                   s.limit = true;
                   batch->Apply(s);
                   Show();
                   Press(batch->CancelBtn);
                 }});
}

TEST_F(BatchShot, TheProgressWindowWithMessageLines) {
  Start();
  WriteDamagedImage("first.png");
  WriteDamagedImage("second.png");
  WriteImage("third.bmp", 8, 8, 0x3366AA);
  ChooseMenuItem("&File", "Ba&tch Conversion...",
                 {[this] {
                    BatchSettings s = Batch()->Current();
                    s.input = BatchInput::SingleFolder;
                    s.singleFolder = home.Path();
                    s.format = "Portable Network Graphics";
                    s.depth = "True Color (24 bit)";
                    Batch()->Apply(s);
                    Press(Batch()->GoBtn);
                  },
                  [this] {
                    TProgressForm* progress = BatchProgressForm();
                    ASSERT_TRUE(progress->GetVisible());
                    EXPECT_EQ(progress->Memo->GetLines()->Count(), 2);
                    Show();
                    Press(progress->CancelBtn);
                  },
                  [this] {
                    ASSERT_NE(Batch(), nullptr);
                    Press(Batch()->CancelBtn);
                  }});
}

TEST_F(BatchShot, TheInformationWindow) {
  ForgetInfoFormPlace();
  Start({WriteImage("landscape.png", 320, 200, 0x4477AA)});
  ChooseMenuItem("&Image", "Image &Information...", {[this] {
                   auto* info = dynamic_cast<TInfoForm*>(Screen()->ActiveForm());
                   ASSERT_NE(info, nullptr);
                   Press(info->ImgColCnt);
                 },
                 [this] {
                   auto* info = dynamic_cast<TInfoForm*>(Screen()->ActiveForm());
                   ASSERT_NE(info, nullptr);
                   Show();
                   Press(info->OkBtn);
                 }});
  ForgetInfoFormPlace();
}

}  // namespace
