// TProgressBar and TTrackBar: their values kept across a re-made window, published for
// storage, and the track bar's OnChange from the keys and the mouse.

#include "VclFixture.h"

#include "platform/controls/ProgressBar.h"
#include "platform/controls/TrackBar.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ProgressBar.h"
#include "platform/vcl/TrackBar.h"
#include "platform/vcl/TypInfo.h"

namespace {

class RangeFormTest : public VclTest {
protected:
  RangeFormTest() {
    form = NewComponent<TForm>(Application());
    form->SetBounds(50, 50, 400, 300);
  }
  TForm* form;
};

TEST_F(RangeFormTest, TheProgressBarStepsWithinItsRangeAndKeepsItAcrossANewWindow) {
  auto* bar = NewComponent<TProgressBar>(form);
  bar->SetParent(form);
  bar->SetParams(0, 50);
  bar->SetStep(20);
  bar->StepIt();
  bar->StepIt();
  EXPECT_EQ(bar->GetPosition(), 40);
  bar->StepIt();  // past the end: starts over
  EXPECT_EQ(bar->GetPosition(), 10);
  form->Show();
  EXPECT_EQ(SendMessage(bar->GetHandle(), PBM_GETPOS, 0, 0), 10);
  bar->StepBy(100);
  EXPECT_EQ(bar->GetPosition(), 50);
  bar->SetSmooth(true);  // a new window
  EXPECT_EQ(GetWindowLong(bar->GetHandle(), GWL_STYLE) & PBS_SMOOTH, static_cast<LONG>(PBS_SMOOTH));
  EXPECT_EQ(SendMessage(bar->GetHandle(), PBM_GETPOS, 0, 0), 50);
  EXPECT_EQ(SendMessage(bar->GetHandle(), PBM_GETRANGE, FALSE, 0), 50);
  // The names a progress registry sets the bar by.
  SetOrdProp(bar, "Max", 200);
  SetOrdProp(bar, "Min", 100);
  SetOrdProp(bar, "Position", 150);
  EXPECT_EQ(SendMessage(bar->GetHandle(), PBM_GETPOS, 0, 0), 150);
  EXPECT_EQ(GetOrdProp(bar, "Position"), 150);
  bar->SetMax(120);
  EXPECT_EQ(bar->GetPosition(), 120);
}

TEST_F(RangeFormTest, TheTrackBarTellsOfEveryMove) {
  auto* tb = NewComponent<TTrackBar>(form);
  tb->SetBounds(10, 10, 200, 45);
  tb->SetParent(form);
  tb->SetMax(20);
  tb->SetPageSize(5);
  tb->OnChange = [&](TObject*) { log.push_back("change " + std::to_string(tb->GetPosition())); };
  form->Show();
  ui.RunUntilIdle();
  tb->SetFocus();
  ui.Press(VK_RIGHT);
  ui.Press(VK_NEXT);
  ui.Press(VK_END);
  ui.Press(VK_END);
  EXPECT_EQ(log, (std::vector<std::string>{"change 1", "change 6", "change 20"}));
  log.clear();
  RECT thumb;
  SendMessage(tb->GetHandle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  ui.Drag(At(tb, (thumb.left + thumb.right) / 2, thumb.top + 5), At(tb, -500, thumb.top + 5), 2);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "change 0");
  tb->SetTickStyle(tsManual);  // a new window keeps the values
  tb->SetTick(7);
  tb->SetPosition(9);
  tb->SetOrientation(trVertical);
  EXPECT_EQ(SendMessage(tb->GetHandle(), TBM_GETPOS, 0, 0), 9);
  EXPECT_EQ(SendMessage(tb->GetHandle(), TBM_GETRANGEMAX, 0, 0), 20);
  EXPECT_EQ(SendMessage(tb->GetHandle(), TBM_GETTIC, 0, 0), 7);
  EXPECT_EQ(SendMessage(tb->GetHandle(), TBM_GETPAGESIZE, 0, 0), 5);
  EXPECT_EQ(tb->GetHeight(), 200);
  EXPECT_EQ(GetEnumProp(tb, "TickStyle"), "tsManual");
}

}  // namespace
