// The demonstration of this folder's controls: a gradient caption form holding a collapsible
// panel, a scroll box, a percentage bar on a status bar that holds it, a path-shortening
// label and shadow labels, beside a form with a band caption; each made in code with its
// default properties and checked where a user would look.
//
// QUILLO_DEMO_HOLD_MS=n keeps it on the screen for n milliseconds of real time (run with
// QUILLO_HOST=sdl to look at it or take a screenshot).

#include "CaptionFixture.h"

#include "platform/vcl/StdButtons.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/captions/GradientForm.h"
#include "quillo/components/labels/ExLabel.h"
#include "quillo/components/labels/FileLabel.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/panels/FriendlyStatusBar.h"
#include "quillo/components/panels/PercentProgress.h"
#include "quillo/components/panels/XPanel.h"

namespace {

class CaptionsDemoTest : public CaptionUiTest {};

TEST_F(CaptionsDemoTest, GradientFormWithEveryControlAndABandCaptionForm) {
  auto* form = NewComponent<TGradientForm>(Application());
  form->SetBounds(40, 40, 520, 420);
  form->SetCaption("Gradient caption form");
  form->SetColor(clBtnFace);

  auto* title = NewComponent<TExLabel>(form);
  title->SetParent(form);
  title->SetBounds(12, 8, 65, 17);
  title->GetFont()->SetSize(14);
  title->GetFont()->SetStyle(fsBold);
  title->SetShadowColor(clBtnShadow);
  title->SetShadowSize(2);
  title->SetShadowPos(spRightBottom);
  title->SetCaption("&Shadow label");

  auto* path = NewComponent<TFileLabel>(form);
  path->SetParent(form);
  path->SetBounds(12, 40, 240, 17);
  path->SetDirection(drFromRight);
  path->SetFileName("/home/ann/pictures/holidays/2024/summer/at the beach/beach.png");

  auto* panel = NewComponent<TXPanel>(form);
  panel->SetParent(form);
  panel->SetBounds(12, 64, 240, 110);
  panel->SetButtonCaption("Input Files");
  auto* check = NewComponent<TCheckBox>(form);
  check->SetParent(panel);
  check->SetBounds(12, 30, 150, 17);
  check->SetCaption("Include sub-folders");
  auto* below = NewComponent<TButton>(form);
  below->SetParent(form);
  below->SetBounds(12, 184, 100, 25);
  below->SetCaption("Below the panel");

  auto* box = NewComponent<TEventScrollBox>(form);
  box->SetParent(form);
  box->SetBounds(270, 64, 220, 150);
  auto* content = NewComponent<TPanel>(form);
  content->SetParent(box);
  content->SetBounds(0, 0, 400, 400);
  content->SetCaption("Scrolled content");
  int scrolls = 0;
  box->OnScrollVert = [&](TObject*) { ++scrolls; };

  auto* status = NewComponent<TFriendlyStatusBar>(form);
  status->SetParent(form);
  for (int width : {32, 72, 190, 50}) status->GetPanels()->Add()->SetWidth(width);
  status->GetPanels()->Items(0)->SetText("1");
  status->GetPanels()->Items(1)->SetText("640 x 480");
  auto* progress = NewComponent<TPercentProgress>(form);
  progress->SetParent(status);
  progress->SetProgressColor(clNavy);
  progress->SetPosition(40);
  form->Show();
  ui.RunUntilIdle();
  TRect third = status->PanelRect(2);
  progress->SetBounds(third.left + 1, third.top + 1, third.Width() - 2, third.Height() - 2);

  auto* plain = NewComponent<TPercentProgress>(form);
  plain->SetParent(form);
  plain->SetBounds(12, 230, 240, 17);
  plain->SetCaption("Processing...");
  plain->SetProgressColor(clGray);
  plain->SetPosition(65);

  auto* banded = NewComponent<TForm>(Application());
  banded->SetBounds(580, 40, 360, 200);
  banded->SetCaption("Band caption");
  banded->SetColor(clBtnFace);
  banded->Show();
  auto* band = NewComponent<TBandCaption>(banded);
  band->SetApplicationName("Band caption form");
  form->SetFocus();
  ui.RunUntilIdle();

  // What a user sees: the gradient caption active, the band caption inactive, the shortened
  // path, the bar on its panel; the panel collapses by its header; the box scrolls.
  TRect w = WindowRect(form);
  EXPECT_EQ(ui.Pixel(w.left + 4, w.top + 4), Rgb(clBlack));
  TRect b = WindowRect(banded);
  EXPECT_EQ(ui.Pixel(b.left + 4, b.top + 4), Rgb(static_cast<TColor>(0x808080)));
  EXPECT_NE(path->GetCaption(), path->GetFileName());
  POINT bar = At(progress, 50, progress->GetHeight() - 4);
  EXPECT_EQ(ui.Pixel(bar.x, bar.y), Rgb(clNavy));
  POINT header = At(panel->Header(), 50, 5);
  ui.Click(header.x, header.y);
  EXPECT_FALSE(panel->GetExpanded());
  ui.Click(header.x, header.y);
  EXPECT_TRUE(panel->GetExpanded());
  TRect boxRect = WindowRect(box);
  ui.Click(boxRect.right - 10, boxRect.bottom - 30);
  EXPECT_GT(scrolls, 0);
  EXPECT_EQ(below->GetTop(), 184);
  ui.ShowToViewer(UiDriver::Hold::Live);
}

}  // namespace
