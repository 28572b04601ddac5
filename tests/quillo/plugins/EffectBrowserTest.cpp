// The browser's effect mode: a group's components each on a thumbnail of the image at their
// defaults, the picture untouched, a double click making one the current component.

#include <gtest/gtest.h>

#include "QlcFixture.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/TreeView.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/files/BrowseForm.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/plugins/ComponentEffects.h"
#include "quillo/plugins/ComponentSheet.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class EffectBrowserTest : public QlcProgramTest {
protected:
  static TBrowseForm* Shown() {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* b = dynamic_cast<TBrowseForm*>(Screen()->Forms(i)); b && b->GetVisible()) return b;
    return nullptr;
  }
  std::vector<std::uint32_t> Pixels() const {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < Picture().Height(); ++y)
      for (int x = 0; x < Picture().Width(); ++x) pixels.push_back(*Picture().At(x, y));
    return pixels;
  }
  // Opens the every-kind component's page and presses its Browse button; inside runs while
  // the browser shows, its thumbnails made.
  void BrowseFromThePage(std::function<void(TBrowseForm&)> inside) {
    StartOn(240, 120, 0x00204060);
    InstallComponents({"effects/everykind", "effects/inverter", "other/brush"});
    ImageItem("&Effects")->Items(2)->Click();
    ui.RunUntilIdle();
    ASSERT_EQ(CurrentTool, &QlComponentTool);
    bool seen = false;
    ui.WhenModalWaits([&] {
      TBrowseForm* browser = Shown();
      ASSERT_NE(browser, nullptr);
      ui.Advance(60);
      ui.RunUntilIdle();
      seen = true;
      inside(*browser);
      if (Shown()) browser->CloseBtn->Click();
    });
    TButton* browse = CompSheetFixedControls().BrowseBtn;
    const POINT at = UiDriver::At(browse->GetHandle(), 5, 5);
    ui.Click(at.x, at.y);
    ui.RunUntilIdle();
    EXPECT_TRUE(seen);
  }
};

TEST_F(EffectBrowserTest, EachComponentOfTheGroupShowsOnAThumbnailAtItsDefaults) {
  std::vector<std::uint32_t> before;
  UndoEntry* chain = nullptr;
  BrowseFromThePage([&](TBrowseForm& browser) {
    // One root per group; the group asked for is selected.
    ASSERT_NE(browser.TreeView->GetSelected(), nullptr);
    EXPECT_EQ(browser.TreeView->GetSelected()->GetText(), "Effects");
    EXPECT_EQ(browser.TreeView->GetItems()->Count(), 2);
    ASSERT_EQ(browser.Entries().size(), 2u);
    const TBrowseForm::Cell* every = browser.CellShowing(0);
    const TBrowseForm::Cell* inverter = browser.CellShowing(1);
    ASSERT_NE(every, nullptr);
    ASSERT_NE(inverter, nullptr);
    EXPECT_EQ(every->label->GetCaption(), "Every Kind");
    EXPECT_EQ(inverter->label->GetCaption(), "Inverter");
    ASSERT_NE(every->picture->pixels, nullptr);
    EXPECT_EQ(every->picture->Width(), 120);
    EXPECT_EQ(every->picture->Height(), 60);
    // At its defaults: grey 128; the inverter inverts.
    EXPECT_EQ(*every->picture->At(10, 10) & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(*inverter->picture->At(10, 10) & 0xFFFFFF, 0xDFBF9Fu);
    // A group no submenu is captioned for has nothing to show.
    EXPECT_TRUE(EffectEntries("Nowhere").empty());
    before = Pixels();
    chain = Picture().UndoChain;
  });
  // The picture and its history are as they were; the page is back.
  EXPECT_EQ(Pixels(), before);
  EXPECT_EQ(Picture().UndoChain, chain);
  EXPECT_EQ(CurrentTool, &QlComponentTool);
}

TEST_F(EffectBrowserTest, ADoubleClickMakesTheComponentCurrent) {
  BrowseFromThePage([&](TBrowseForm& browser) {
    const TBrowseForm::Cell* inverter = browser.CellShowing(1);
    ASSERT_NE(inverter, nullptr);
    const POINT at = UiDriver::At(inverter->view->GetHandle(), 3, 3);
    ui.DoubleClick(at.x, at.y);
    ui.RunUntilIdle();
  });
  EXPECT_EQ(Shown(), nullptr);
  // The inverter became current and, having no options, ran on the image at once.
  EXPECT_EQ(ComponentTable[static_cast<std::size_t>(CurrentComponent)].Name, "Inverter");
  EXPECT_EQ(*Picture().At(5, 5) & 0xFFFFFF, 0xDFBF9Fu);
  ASSERT_NE(Picture().UndoChain, nullptr);
  EXPECT_EQ(Picture().UndoChain->Description, "Inverter");
}

}  // namespace
