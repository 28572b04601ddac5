// The scroll box that reports scrolling, driven by its scroll bars (thumb drag with tracking,
// arrow clicks), and the status bar that holds controls drawn over its panels.

#include "../captions/CaptionFixture.h"

#include <vector>

#include "platform/vcl/StdButtons.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/panels/FriendlyStatusBar.h"
#include "quillo/components/panels/PercentProgress.h"

namespace {

class EventScrollBoxTest : public CaptionUiTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetBounds(100, 100, 400, 300);
    box = NewComponent<TEventScrollBox>(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 250, 200);
    box->GetVertScrollBar()->SetTracking(true);
    content = NewComponent<TButton>(form);
    content->SetParent(box);
    content->SetBounds(0, 0, 600, 800);
    box->OnScrollVert = [this](TObject* sender) {
      EXPECT_EQ(sender, box);
      vert.push_back(content->GetTop());
    };
    box->OnScrollHorz = [this](TObject*) { horz.push_back(content->GetLeft()); };
    form->Show();
    ui.RunUntilIdle();
  }
  TForm* form = nullptr;
  TEventScrollBox* box = nullptr;
  TButton* content = nullptr;
  std::vector<int> vert, horz;
};

TEST_F(EventScrollBoxTest, ThumbDragReportsEachPositionAfterTheBoxScrolled) {
  TRect r = WindowRect(box);
  const int bar = GetSystemMetrics(SM_CXVSCROLL), arrow = GetSystemMetrics(SM_CYVSCROLL);
  const int x = r.right - 2 - bar / 2;
  ui.Drag(POINT{x, r.top + 2 + arrow + 4}, POINT{x, r.top + 2 + arrow + 60}, 6);
  // Several tracking positions, each seen with the content already moved, and the end.
  ASSERT_GE(vert.size(), 4u);
  EXPECT_LT(vert[1], 0);
  for (size_t i = 1; i < vert.size(); ++i) EXPECT_LE(vert[i], vert[i - 1]) << i;
  EXPECT_EQ(vert.back(), content->GetTop());
  EXPECT_EQ(-content->GetTop(), box->GetVertScrollBar()->GetPosition());
  EXPECT_TRUE(horz.empty());
}

TEST_F(EventScrollBoxTest, ArrowClickReportsTheHorizontalScroll) {
  TRect r = WindowRect(box);
  const int arrow = GetSystemMetrics(SM_CXHSCROLL), bar = GetSystemMetrics(SM_CYHSCROLL);
  const int y = r.bottom - 2 - bar / 2;
  const int x = r.right - 2 - GetSystemMetrics(SM_CXVSCROLL) - arrow / 2;
  ui.Click(x, y);
  ASSERT_FALSE(horz.empty());
  EXPECT_LT(horz.back(), 0);
  EXPECT_EQ(horz.back(), content->GetLeft());
  EXPECT_TRUE(vert.empty());
}

class FriendlyStatusBarTest : public CaptionUiTest {};

TEST_F(FriendlyStatusBarTest, HeldControlStaysOnItsPanelAndIsDrawnOverIt) {
  auto* form = NewComponent<TForm>(Application());
  form->SetBounds(100, 100, 400, 200);
  auto* status = NewComponent<TFriendlyStatusBar>(form);
  status->SetParent(form);
  for (int width : {32, 72, 120, 50}) status->GetPanels()->Add()->SetWidth(width);
  status->GetPanels()->Items(1)->SetText("Panel text under nothing");
  auto* progress = NewComponent<TPercentProgress>(form);
  progress->SetProgressColor(clNavy);
  progress->SetPosition(100);
  // The program puts its progress bar on the third panel, and keeps it there when the bar
  // is laid out again.
  auto place = [&] {
    TRect p = status->PanelRect(2);
    progress->SetBounds(p.left + 1, p.top + 1, p.Width() - 2, p.Height() - 2);
  };
  status->OnResize = [&](TObject*) { place(); };
  progress->SetParent(status);
  form->Show();
  place();
  ui.RunUntilIdle();
  EXPECT_EQ(progress->GetParent(), status);
  auto progressPixel = [&] {
    POINT p = At(progress, progress->GetWidth() - 6, progress->GetHeight() / 2);
    return ui.Pixel(p.x, p.y);
  };
  EXPECT_EQ(progressPixel(), Rgb(clNavy));
  // The bar repaints its panels; the control stays drawn over them.
  status->GetPanels()->Items(2)->SetText("Text that would cover the panel");
  status->Invalidate();
  ui.RunUntilIdle();
  EXPECT_EQ(progressPixel(), Rgb(clNavy));
  // A wider form: the bar is laid out again and the control follows its panel.
  form->SetWidth(600);
  ui.RunUntilIdle();
  EXPECT_EQ(progress->GetLeft(), status->PanelRect(2).left + 1);
  EXPECT_EQ(progressPixel(), Rgb(clNavy));
}

}  // namespace
