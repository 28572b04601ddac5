// The scrolling text panel: ticks from the timer's worker reach the window only as posted
// messages, the text moves on the screen, a panel that is not cycled stops itself, its
// controls hide while it plays, and a form closed while it scrolls goes cleanly.

#include "../ComponentFixture.h"
#include "../buttons/ButtonTestSupport.h"

#include <chrono>
#include <functional>
#include <thread>

#include "platform/rtl/Clock.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/panels/ScrollingTextPanel.h"

namespace {

using namespace buttons_testing;

class ScrollingTextPanelTest : public ComponentTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetName("AboutForm");
    form->SetBounds(100, 100, 300, 220);
    panel = NewComponent<TSecretPanel>(form);
    panel->SetName("Credits");
    panel->SetBounds(10, 10, 200, 120);
    panel->SetParent(form);
    for (const char* line : {"", "  ", "quillo", "a paint program", "written here"}) panel->GetLines()->Add(line);
    form->Show();
    ui.RunUntilIdle();
  }
  // Runs the loop until the condition holds (the worker's posts arrive in their own time).
  bool RunUntil(const std::function<bool()>& done, int patienceMs = 2000) {
    for (int i = 0; i < patienceMs; ++i) {
      ui.RunUntilIdle();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }
  // One tick of the worker: the clock moved by the interval, and the position moved on. The
  // worker may not be asleep yet when the clock moves (it then sleeps from the new time), so
  // the clock moves again until the tick comes.
  bool Tick() {
    const int before = panel->ScrollPosition();
    for (int tries = 0; tries < 40; ++tries) {
      ui.Advance(panel->GetInterval());
      if (RunUntil([&] { return panel->ScrollPosition() != before || !panel->GetActive(); }, 50)) return true;
    }
    return false;
  }
  int TextPixels() {
    const TRect r = panel->TextRect();
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) count += PixelOf(ui, panel, x, y) != Rgb(clBtnFace);
    return count;
  }

  TForm* form = nullptr;
  TSecretPanel* panel = nullptr;
};

TEST_F(ScrollingTextPanelTest, TextScrollsUpFromTheWorkerThroughPosts) {
  EXPECT_TRUE(panel->GetAsyncDrawing());
  EXPECT_EQ(panel->GetInterval(), 30u);
  int starts = 0;
  panel->OnStartPlay = [&](TObject*) { ++starts; };
  panel->SetActive(true);
  ui.RunUntilIdle();
  EXPECT_EQ(starts, 1);
  ASSERT_TRUE(panel->HasMemoryImage());
  EXPECT_EQ(TextPixels(), 0);  // the text starts below the panel
  const int lineHeight = (panel->ScrollLength() - panel->TextRect().Height()) / 3;  // three lines after the blanks
  ASSERT_GT(lineHeight, 0);
  for (int i = 0; i < lineHeight + 2; ++i) ASSERT_TRUE(Tick()) << i;
  EXPECT_EQ(panel->ScrollPosition(), lineHeight + 2);
  EXPECT_GT(TextPixels(), 0);  // the first line came in from below
  // A repaint shows the text where it is.
  const int shown = TextPixels();
  panel->Invalidate();
  ui.RunUntilIdle();
  EXPECT_EQ(TextPixels(), shown);
}

TEST_F(ScrollingTextPanelTest, ANonCycledPanelStopsItselfAfterTheEnd) {
  panel->SetBounds(10, 10, 200, 30);
  panel->GetLines()->Clear();
  panel->GetLines()->Add("x");
  int stops = 0;
  panel->OnStopPlay = [&](TObject*) { ++stops; };
  for (bool async : {true, false}) {
    panel->SetAsyncDrawing(async);
    panel->SetActive(true);
    const int length = panel->ScrollLength();
    ASSERT_GT(length, 0);
    for (int i = 0; i < length; ++i) ASSERT_TRUE(Tick());
    EXPECT_EQ(panel->ScrollPosition(), length);
    EXPECT_TRUE(panel->GetActive());
    EXPECT_TRUE(Tick()) << async;
    EXPECT_FALSE(panel->GetActive()) << async;
    EXPECT_FALSE(panel->HasMemoryImage());
  }
  EXPECT_EQ(stops, 2);
  // Cycled: the position goes back to 0 at the end.
  panel->SetCycled(true);
  panel->SetActive(true);
  for (int i = 0; i < panel->ScrollLength(); ++i) ASSERT_TRUE(Tick());
  ASSERT_TRUE(Tick());
  EXPECT_EQ(panel->ScrollPosition(), 0);
  EXPECT_TRUE(panel->GetActive());
  panel->SetActive(false);
}

TEST_F(ScrollingTextPanelTest, NoLinesOnlyAdvanceThePosition) {
  panel->GetLines()->Clear();
  panel->SetActive(true);
  ASSERT_TRUE(Tick());
  ASSERT_TRUE(Tick());
  EXPECT_EQ(panel->ScrollPosition(), 2);
  EXPECT_EQ(TextPixels(), 0);
  panel->SetActive(false);
}

// Sideways, the lines run in from the right: the length is the widest line and the text
// area's width, and the text area is narrowed to the lines' height.
TEST_F(ScrollingTextPanelTest, SidewaysScrollLengthAndArea) {
  panel->SetScrollDirection(sdHorizontal);
  panel->SetActive(true);
  TCanvas* c = panel->GetCanvas();
  c->SetFont(panel->GetFont());
  EXPECT_EQ(panel->ScrollLength(), c->TextWidth("a paint program") + panel->TextRect().Width());
  EXPECT_LT(panel->TextRect().Height(), 120 - 8);
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(Tick());
  EXPECT_GT(TextPixels(), 0);  // the lines' starts came in from the right
  panel->SetActive(false);
}

TEST_F(ScrollingTextPanelTest, ControlsHideWhilePlaying) {
  auto* button = NewComponent<TButton>(form);
  button->SetBounds(5, 5, 60, 20);
  button->SetParent(panel);
  auto* hidden = NewComponent<TButton>(form);
  hidden->SetVisible(false);
  hidden->SetParent(panel);
  ui.RunUntilIdle();
  panel->SetActive(true);
  EXPECT_FALSE(button->GetVisible());
  panel->SetActive(false);
  EXPECT_TRUE(button->GetVisible());
  EXPECT_FALSE(hidden->GetVisible());
}

TEST_F(ScrollingTextPanelTest, GlyphMakesRoomBesideTheText) {
  auto glyph = MakeStrip({clRed}, 20);
  panel->SetGlyph(glyph.get());
  struct Case {
    TGlyphLayout layout;
    int originX, originY, textLeft, textTop;
  };
  // Client 200 x 120, lowered bevel 1: text area (4, 4)-(196, 116).
  const Case cases[] = {
      {glGlyphLeft, 7, 50, 7 + 20 + 1 + 3, 4},
      {glGlyphTop, 90, 7, 4, 7 + 20 + 1 + 6},
  };
  for (const Case& k : cases) {
    panel->SetGlyphLayout(k.layout);
    panel->SetActive(true);
    EXPECT_EQ(panel->GlyphOrigin().x, k.originX) << k.layout;
    EXPECT_EQ(panel->GlyphOrigin().y, k.originY) << k.layout;
    EXPECT_EQ(panel->TextRect().left, k.textLeft) << k.layout;
    EXPECT_EQ(panel->TextRect().top, k.textTop) << k.layout;
    ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(ui, panel, k.originX + 10, k.originY + 10), Rgb(clRed));
    panel->SetActive(false);
  }
}

// Real time: the worker ticks as fast as it can while the form is closed and freed.
TEST_F(ScrollingTextPanelTest, ClosingTheFormWhileItScrollsEndsCleanly) {
  panel->SetInterval(1);
  panel->SetCycled(true);
  panel->SetActive(true);
  SetManualClock(false);
  // Runs until the text has moved (however busy the machine), then closes mid-scroll.
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (panel->ScrollPosition() == 0 && std::chrono::steady_clock::now() < limit) ui.RunUntilIdle();
  EXPECT_GT(panel->ScrollPosition() + 0, 0);
  form->Close();  // a form closed by the user is hidden; freeing it ends the panel
  form->Release();
  ui.RunUntilIdle();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ui.RunUntilIdle();  // posts made before the end find no window
  SetManualClock(true);
}

}  // namespace
