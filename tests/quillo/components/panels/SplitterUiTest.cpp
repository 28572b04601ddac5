// The splitter dragged through the UI driver: its neighbour resized by the drag, within the
// limits, the inverted line while dragging, Escape giving up, and the styles it takes from
// its controls' alignments.

#include "../ComponentFixture.h"

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/panels/ExSplitter.h"

namespace {

class SplitterTest : public ComponentTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetName("SplitForm");
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    ui.RunUntilIdle();
  }
  TPanel* AddPanel(TAlign align, int size) {
    auto* p = NewComponent<TPanel>(form);
    p->SetBounds(0, 0, size, size);
    p->SetAlign(align);
    p->SetParent(form);
    return p;
  }
  TExSplitter* AddSplitter(TAlign align, int at) {
    auto* s = NewComponent<TExSplitter>(form);
    s->SetBounds(at, at, 3, 3);
    s->SetParent(form);
    s->SetAlign(align);
    ui.RunUntilIdle();
    return s;
  }
  POINT At(TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen(TPoint(x, y));
    return POINT{p.x, p.y};
  }

  TForm* form = nullptr;
};

TEST_F(SplitterTest, DraggingResizesTheNeighbourWithinTheLimits) {
  struct Case {
    TAlign align;
    int dragX, dragY;
    int expectedSize;
  };
  // A 100-pixel panel; the form's client area is about 392 x 273.
  const Case cases[] = {
      {alTop, 0, -50, 50},   // up by 50 shrinks a top panel by 50
      {alTop, 0, 40, 140},   // down grows it
      {alBottom, 0, -50, 150},  // a bottom panel grows when dragged up
      {alLeft, 60, 0, 160},
      {alRight, -30, 0, 130},
      {alTop, 0, -500, 20},  // the splitter stops TopLeftLimit (20) below the top
  };
  for (const Case& k : cases) {
    auto* panel = AddPanel(k.align, 100);
    auto* client = AddPanel(alClient, 10);
    auto* s = AddSplitter(k.align, k.align == alTop || k.align == alLeft ? 100 : 250);
    ASSERT_EQ(s->GetControlFirst(), panel) << k.align;
    s->SetControlSecond(client);
    const bool vertical = k.align == alTop || k.align == alBottom;
    EXPECT_EQ(s->GetCursor(), vertical ? crVSplit : crHSplit);
    int changed = 0;
    s->OnPosChanged = [&](TObject*) { ++changed; };
    POINT from = At(s, 1, 1), to{from.x + k.dragX, from.y + k.dragY};
    ui.Drag(from, to);
    EXPECT_EQ(vertical ? panel->GetHeight() : panel->GetWidth(), k.expectedSize) << k.align << " " << k.dragY;
    EXPECT_EQ(changed, 1);
    FreeObject(s);
    FreeObject(client);
    FreeObject(panel);
    ui.RunUntilIdle();
  }
}

TEST_F(SplitterTest, TheLineFollowsTheMouseAndEscapeGivesUp) {
  auto* panel = AddPanel(alTop, 100);
  auto* s = AddSplitter(alTop, 100);
  POINT from = At(s, 50, 1);
  const TPoint below = s->ClientToScreen(TPoint(50, 1 + 40));
  const std::uint32_t before = ui.Pixel(below.x, below.y);
  ui.MouseDown(from.x, from.y);
  ui.MoveTo(from.x, from.y + 40);
  EXPECT_TRUE(s->Sizing());
  EXPECT_NE(ui.Pixel(below.x, below.y), before);  // inverted where the line is
  EXPECT_EQ(panel->GetHeight(), 100);               // nothing moves before the release
  ui.Press(VK_ESCAPE);
  EXPECT_FALSE(s->Sizing());
  EXPECT_EQ(ui.Pixel(below.x, below.y), before);  // the line is gone
  ui.MouseUp(from.x, from.y + 40);
  EXPECT_EQ(panel->GetHeight(), 100);
}

// A handler that refuses a position keeps the line where it was last allowed; the size
// follows the line, not the pointer.
TEST_F(SplitterTest, ARefusedPositionKeepsTheLastAllowedOne) {
  auto* panel = AddPanel(alLeft, 100);
  auto* s = AddSplitter(alLeft, 100);
  s->OnPosChanging = [&](TObject*, int x, int, bool& allow) { allow = x <= 31; };
  POINT from = At(s, 1, 1);
  ui.MouseDown(from.x, from.y);
  ui.MoveTo(from.x + 30, from.y);  // allowed
  ui.MoveTo(from.x + 60, from.y);  // refused
  EXPECT_EQ(Screen()->GetCursor(), crNoDrop);
  ui.MouseUp(from.x + 60, from.y);
  EXPECT_EQ(panel->GetWidth(), 130);
  EXPECT_FALSE(s->Sizing());
}

TEST_F(SplitterTest, AMismatchedAlignmentDoesNotDrag) {
  auto* panel = AddPanel(alLeft, 100);
  auto* s = AddSplitter(alNone, 150);
  s->SetControlFirst(panel);
  EXPECT_EQ(s->SizingStyle(), spUnknown);
  EXPECT_EQ(s->GetCursor(), crDefault);
  POINT from = At(s, 1, 1);
  ui.Drag(from, POINT{from.x + 40, from.y});
  EXPECT_EQ(panel->GetWidth(), 100);
  // A form or the splitter itself is refused as a control.
  s->SetControlSecond(form);
  EXPECT_EQ(s->GetControlSecond(), nullptr);
  s->SetControlFirst(s);
  EXPECT_EQ(s->GetControlFirst(), nullptr);
}

TEST_F(SplitterTest, StylesFromTheAlignments) {
  auto* s = NewComponent<TExSplitter>(form);
  EXPECT_EQ(s->GetWidth(), 185);
  EXPECT_EQ(s->GetHeight(), 3);
  EXPECT_EQ(GetOrdProp(s, "TopLeftLimit"), 20);
  auto* a = NewComponent<TPanel>(form);
  auto* b = NewComponent<TPanel>(form);
  struct Case {
    TAlign first, second, splitter;
    TSplitterStyle style;
  };
  const Case cases[] = {
      {alTop, alClient, alTop, spHorizontalFirst},     {alClient, alBottom, alBottom, spHorizontalSecond},
      {alLeft, alNone, alLeft, spVerticalFirst},       {alClient, alRight, alRight, spVerticalSecond},
      {alTop, alClient, alLeft, spUnknown},            {alLeft, alLeft, alLeft, spUnknown},
  };
  for (const Case& k : cases) {
    a->SetAlign(k.first);
    b->SetAlign(k.second);
    s->SetControlFirst(a);
    s->SetControlSecond(k.second == alNone ? nullptr : b);
    s->SetAlign(k.splitter);
    EXPECT_EQ(s->SizingStyle(), k.style) << k.first << " " << k.second << " " << k.splitter;
  }
  FreeObject(b);
  EXPECT_EQ(s->GetControlSecond(), nullptr);  // told of its end
}

}  // namespace
