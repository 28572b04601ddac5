// The option page of a component with every kind of option, and the effect browser, shown to
// the screenshot scripts (scripts/screenshot-qlc-options.sh, screenshot-effect-browser.sh).

#include <gtest/gtest.h>

#include "QlcFixture.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/Menus.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/files/BrowseForm.h"
#include "quillo/plugins/ComponentSheet.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class ComponentShot : public QlcProgramTest {
protected:
  void OpenEveryKind() {
    StartOn(320, 200, 0x00336699);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x) *Picture().At(x, y) = static_cast<std::uint32_t>(x * 0x000300 + y) & 0xFFFFFF;
    ImageForm->ShowBuf->Invalidate();
    InstallComponents({"special effects/everykind", "special effects/inverter", "special effects/brush"});
    ImageItem("&Special Effects")->Items(3)->Click();
    ui.RunUntilIdle();
    ASSERT_EQ(CurrentTool, &QlComponentTool);
  }
};

TEST_F(ComponentShot, TheOptionPageOfEveryKind) {
  OpenEveryKind();
  ASSERT_TRUE(ToolForm->GetVisible());
  FlushDesktop();
  ui.ShowToViewer();
}

TEST_F(ComponentShot, TheEffectBrowser) {
  OpenEveryKind();
  bool shown = false;
  ui.WhenModalWaits([&] {
    TBrowseForm* browser = nullptr;
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* b = dynamic_cast<TBrowseForm*>(Screen()->Forms(i)); b && b->GetVisible()) browser = b;
    ASSERT_NE(browser, nullptr);
    ui.Advance(60);
    ui.RunUntilIdle();
    ASSERT_NE(browser->CellShowing(2), nullptr);
    shown = true;
    FlushDesktop();
    ui.ShowToViewer();
    browser->CloseBtn->Click();
  });
  TButton* browse = CompSheetFixedControls().BrowseBtn;
  const POINT at = UiDriver::At(browse->GetHandle(), 5, 5);
  ui.Click(at.x, at.y);
  ui.RunUntilIdle();
  EXPECT_TRUE(shown);
}

}  // namespace
