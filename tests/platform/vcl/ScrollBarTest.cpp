// TScrollBar: its range rules and events, driven through the bar as a user would.

#include "VclFixture.h"

#include <optional>

#include "platform/vcl/Form.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/TypInfo.h"

namespace {

class TScrollBarTest : public VclTest {
protected:
  TScrollBarTest() {
    form = NewComponent<TForm>(Application());
    form->SetBounds(50, 50, 400, 300);
    bar = NewComponent<TScrollBar>(form);
    bar->SetBounds(10, 10, 200, 16);
    bar->SetParent(form);
    bar->OnChange = [this](TObject*) { log.push_back("change " + std::to_string(bar->GetPosition())); };
    bar->OnScroll = [this](TObject*, TScrollCode code, int& pos) {
      log.push_back("scroll " + std::to_string(code) + " " + std::to_string(pos));
      if (override_) pos = *override_;
    };
  }
  TForm* form;
  TScrollBar* bar;
  std::optional<int> override_;
};

TEST_F(TScrollBarTest, SetParamsKeepsThePositionInRangeAndTellsOfEachMove) {
  struct Case {
    int pos, min, max, page;
    int wantPos, wantMax;
    bool changed;
  };
  const Case cases[] = {
      {50, 0, 100, 0, 50, 100, false},  {150, 0, 100, 0, 100, 100, true}, {-3, 0, 100, 0, 0, 100, true},
      {95, 0, 100, 10, 91, 100, true},  {5, 10, 4, 0, 10, 10, true},     {60, 0, 70, 20, 51, 70, true},
  };
  for (const Case& c : cases) {
    bar->SetPageSize(0);
    bar->SetParams(50, 0, 100);
    bar->SetPageSize(c.page);
    log.clear();
    bar->SetParams(c.pos, c.min, c.max);
    EXPECT_EQ(bar->GetPosition(), c.wantPos) << c.pos;
    EXPECT_EQ(bar->GetMax(), c.wantMax) << c.pos;
    EXPECT_EQ(!log.empty(), c.changed) << c.pos;
  }
  // The window shows the same values, and keeps them when it is made again.
  form->Show();
  bar->SetPageSize(0);
  bar->SetParams(30, 0, 60);
  EXPECT_EQ(GetScrollPos(bar->GetHandle(), SB_CTL), 30);
  bar->SetKind(sbVertical);
  EXPECT_EQ(bar->GetWidth(), 16);
  EXPECT_EQ(bar->GetHeight(), 200);
  EXPECT_EQ(GetScrollPos(bar->GetHandle(), SB_CTL), 30);
  int min, max;
  GetScrollRange(bar->GetHandle(), SB_CTL, &min, &max);
  EXPECT_EQ(max, 60);
  SetOrdProp(bar, "Position", 45);
  EXPECT_EQ(GetOrdProp(bar, "Position"), 45);
  EXPECT_EQ(GetEnumProp(bar, "Kind"), "sbVertical");
}

TEST_F(TScrollBarTest, ClicksAndKeysScrollByTheChangesAndFireOnScrollThenOnChange) {
  bar->SetSmallChange(2);
  bar->SetLargeChange(25);
  bar->SetParams(50, 0, 100);
  form->Show();
  ui.RunUntilIdle();
  log.clear();
  ClickOn(bar, 195, 8);  // the right arrow
  EXPECT_EQ(log, (std::vector<std::string>{"scroll 1 52", "change 52", "scroll 8 52"}));
  log.clear();
  ClickOn(bar, 5, 8);
  ClickOn(bar, 150, 8);  // the track right of the thumb
  EXPECT_EQ(log, (std::vector<std::string>{"scroll 0 50", "change 50", "scroll 8 50", "scroll 3 75", "change 75",
                                            "scroll 8 75"}));
  log.clear();
  ui.Press(VK_END);  // the bar took the focus when pressed
  EXPECT_EQ(log, (std::vector<std::string>{"scroll 7 100", "change 100", "scroll 8 100"}));
  log.clear();
  override_ = 10;  // the handler decides where the bar goes
  ui.Press(VK_UP);
  EXPECT_EQ(log, (std::vector<std::string>{"scroll 0 98", "change 10", "scroll 8 10"}));
  EXPECT_EQ(bar->GetPosition(), 10);
}

TEST_F(TScrollBarTest, DraggingTheThumbTracksThePosition) {
  bar->SetParams(0, 0, 100);
  form->Show();
  ui.RunUntilIdle();
  log.clear();
  // 200 pixels less two arrows and the thumb leave 152 to travel over 100 positions.
  ui.Drag(At(bar, 24, 8), At(bar, 24 + 76, 8), 2);
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(log[0], "scroll 5 25");
  EXPECT_EQ(log[1], "change 25");
  EXPECT_EQ(log[2], "scroll 5 50");
  EXPECT_EQ(log[3], "change 50");
  EXPECT_EQ(log[4], "scroll 4 50");
  EXPECT_EQ(log[5], "scroll 8 50");
  EXPECT_EQ(bar->GetPosition(), 50);
}

}  // namespace
