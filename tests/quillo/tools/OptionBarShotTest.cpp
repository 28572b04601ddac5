// The tool options window as a user sees it with the line tool chosen, for a person to look at
// (scripts/screenshot-toolform.sh): the "Line" sheet with the spacing list, the number of
// pixels or stamps and the arrow-head list from the English file. Checked where a user would
// look: the window is on the screen and every control of the bar lies inside it.

#include <gtest/gtest.h>

#include "../shell/ProgramFixture.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Label.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class ToolFormShot : public ProgramTest {
protected:
  ~ToolFormShot() override {
    ToolPhase = 0;
    CurrentTool = &PenContTool;
    RememberedTool = nullptr;
  }
};

TEST_F(ToolFormShot, TheLineToolsBar) {
  Start();
  TImageForm* window = CreateDocumentWindow(320, 200, "");
  ui.RunUntilIdle();
  window->Picture.Box(window->Picture.rect, 0xFFFFFF);
  window->Invalidate();

  SelectTool(&LineTool, true, -1);
  ui.RunUntilIdle();
  ASSERT_TRUE(ToolForm->GetVisible());
  EXPECT_EQ(ToolForm->PageControl->GetActivePage(), ToolForm->IconSheet);
  EXPECT_EQ(ToolForm->IconSheet->GetCaption(), "Line");
  ASSERT_EQ(OptionControls.size(), 3u);
  auto* spacing = dynamic_cast<TComboBox*>(OptionControls[0]);
  ASSERT_NE(spacing, nullptr);
  EXPECT_EQ(spacing->GetItems()->Strings(spacing->GetItemIndex()), "Solid");

  // Beside the document, where a user keeps it.
  ToolForm->SetBounds(window->GetLeft() + window->GetWidth() + 8, window->GetTop(), ToolForm->GetWidth(),
                      ToolForm->GetHeight());
  ui.RunUntilIdle();
  RECT shown{};
  GetWindowRect(ToolForm->GetHandle(), &shown);
  for (TControl* control : OptionControls) {
    const TPoint bottomRight =
        control->GetParent()->ClientToScreen(TPoint(control->GetLeft() + control->GetWidth(), control->GetTop() + control->GetHeight()));
    EXPECT_LE(bottomRight.x, shown.right) << control->ClassName() << " inside the window";
    EXPECT_LE(bottomRight.y, shown.bottom) << control->ClassName() << " inside the window";
  }
  ui.ShowToViewer(UiDriver::Hold::Still);
}

}  // namespace
