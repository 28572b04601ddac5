// The about panel and the tip of the day as a user sees them over the started program,
// checked where a user would look and shown to a viewer by scripts/screenshot-about.sh and
// scripts/screenshot-tips.sh.

#include "ProgramFixture.h"

#include "platform/user/Desktop.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Screen.h"
#include "quillo/shell/AboutPanel.h"
#include "quillo/shell/AboutPicture.h"
#include "quillo/base/Settings.h"
#include "quillo/shell/TipForm.h"

namespace {

class AboutShot : public ProgramTest {};
class TipShot : public ProgramTest {};

TEST_F(AboutShot, ThePanelOverTheProgram) {
  Start();
  ChooseMenuItem("&Help", "&About...");
  ASSERT_NE(AboutPanel, nullptr);
  // The badge of the link shows golden on the screen where its hot area is.
  const POINT link = UiDriver::At(AboutPanel->Image1->GetParent()->GetHandle(), AboutPanel->Image1->GetLeft() + AboutLinkArea.left + 3,
                                  AboutPanel->Image1->GetTop() + AboutLinkArea.top + 24);
  EXPECT_EQ(ui.Pixel(link.x, link.y), 0xFAC440u);
  FlushDesktop();
  ui.ShowToViewer();
  ui.Press(VK_ESCAPE);
  EXPECT_EQ(AboutPanel, nullptr);
}

TEST_F(TipShot, TheTipOfTheDayAtStart) {
  showStartTip = true;
  ForgetTipFormPlace();
  Settings.TODIndex = 1;
  bool shown = false;
  ui.WhenModalWaits([&] {
    TTipForm* tips = dynamic_cast<TTipForm*>(Screen()->ActiveForm());
    ASSERT_NE(tips, nullptr);
    EXPECT_FALSE(tips->TipText->GetCaption().empty());
    shown = true;
    FlushDesktop();
    ui.ShowToViewer();
    ui.QueuePress(VK_ESCAPE);
  });
  Start();
  EXPECT_TRUE(shown);
  ForgetTipFormPlace();
}

}  // namespace
