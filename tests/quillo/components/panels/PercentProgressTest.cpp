// The percentage bar: its figures on a table (a Max of 0 or less shows 0% and no bar), and
// the bar in pixels as Position moves, on a form of the headless desktop.

#include "../captions/CaptionFixture.h"

#include "platform/vcl/TypInfo.h"
#include "quillo/components/panels/PercentProgress.h"

namespace {

TEST(PercentProgressFiguresTest, PercentAndBarWidthRoundHalvesToEven) {
  struct Case {
    int position, max, width;
    TProgressFigures want;
  } cases[] = {
      {50, 100, 150, {50, 74}},   // 74.5 goes to the even neighbour
      {0, 100, 150, {0, 0}},      {100, 100, 150, {100, 149}}, {1, 8, 150, {12, 19}},  // 12.5 -> 12, 18.625 -> 19
      {3, 8, 150, {38, 56}},      // 37.5 -> 38
      {150, 100, 150, {150, 224}},  // beyond Max: wider than the control, clipped when drawn
      {50, 0, 150, {0, 0}},       {50, -10, 150, {0, 0}},     // no division by a zero Max
  };
  for (const Case& c : cases)
    EXPECT_EQ(ProgressFigures(c.position, c.max, c.width), c.want) << c.position << "/" << c.max;
}

class PercentProgressTest : public CaptionUiTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetBounds(100, 100, 300, 120);
    bar = NewComponent<TPercentProgress>(form);
    bar->SetParent(form);
    bar->SetLeft(10);
    bar->SetTop(10);
    bar->SetProgressColor(clNavy);
    form->Show();
    ui.RunUntilIdle();
  }
  std::uint32_t At(int x, int y) {
    POINT p = CaptionUiTest::At(bar, x, y);
    return ui.Pixel(p.x, p.y);
  }
  TForm* form = nullptr;
  TPercentProgress* bar = nullptr;
};

TEST_F(PercentProgressTest, NewBarIsEmptyAtZeroPercent) {
  EXPECT_EQ(bar->GetWidth(), 150);
  EXPECT_EQ(bar->GetHeight(), 17);
  EXPECT_EQ(bar->DisplayText(), "0%");
  EXPECT_EQ(At(1, 12), Rgb(clWindow));
  // The frame: shadow top and left, highlight bottom and right.
  EXPECT_EQ(At(0, 8), Rgb(clBtnShadow));
  EXPECT_EQ(At(149, 8), Rgb(clBtnHighlight));
  EXPECT_EQ(At(75, 16), Rgb(clBtnHighlight));
}

TEST_F(PercentProgressTest, PositionFillsTheBarAtOnceAndShowsTheCaption) {
  bar->SetCaption("Processing...");
  bar->SetPosition(50);
  // Painted at once, without the message loop.
  EXPECT_EQ(At(73, 14), Rgb(clNavy));
  EXPECT_EQ(At(75, 14), Rgb(clWindow));
  EXPECT_EQ(bar->DisplayText(), "Processing...   50%");
  int textPixels = 0;
  for (int x = 3; x < 140; ++x)
    for (int y = 1; y < 15; ++y) textPixels += At(x, y) != Rgb(clNavy) && At(x, y) != Rgb(clWindow);
  EXPECT_GT(textPixels, 30);
}

TEST_F(PercentProgressTest, ZeroMaxShowsAnEmptyBarInsteadOfFailing) {
  bar->SetPosition(50);
  bar->SetMax(0);
  ui.RunUntilIdle();
  EXPECT_EQ(bar->Percentage(), 0);
  EXPECT_EQ(bar->BarWidth(), 0);
  EXPECT_EQ(At(30, 14), Rgb(clWindow));
  bar->SetPosition(70);
  EXPECT_EQ(bar->Percentage(), 0);
  bar->SetMax(100);
  ui.RunUntilIdle();
  EXPECT_EQ(bar->Percentage(), 70);
  EXPECT_EQ(At(100, 14), Rgb(clNavy));
}

TEST_F(PercentProgressTest, PositionBeyondMaxFillsTheWholeBar) {
  bar->SetPosition(150);
  EXPECT_EQ(bar->Percentage(), 150);
  EXPECT_EQ(At(147, 14), Rgb(clNavy));
  EXPECT_EQ(At(149, 8), Rgb(clBtnHighlight));
}

TEST_F(PercentProgressTest, PropertiesAreInTheTable) {
  for (const char* name : {"Max", "Position", "ProgressColor", "Caption", "Color", "Font"})
    EXPECT_NE(GetPropInfo(bar, name), nullptr) << name;
  SetOrdProp(bar, "Position", 25);
  EXPECT_EQ(bar->Percentage(), 25);
}

}  // namespace
