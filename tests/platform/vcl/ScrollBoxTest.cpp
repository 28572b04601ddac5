// TScrollBox: ranges from the children, the window's bars showing them, scrolling by the
// bars, the thumb with and without Tracking, the wheel, and a descendant told of each scroll
// after the box has moved.

#include "VclFixture.h"

#include "platform/vcl/Form.h"
#include "platform/vcl/ScrollBox.h"

namespace {

// Tells of every scroll message after the box has handled it.
class TReportingScrollBox : public TScrollBox {
public:
  using TScrollBox::TScrollBox;
  std::function<void(UINT)> OnScrolled;
  void Dispatch(TMessage& m) override {
    TScrollBox::Dispatch(m);
    if ((m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) && OnScrolled) OnScrolled(m.Msg);
  }
};

class TScrollBoxTest : public VclTest {
protected:
  TScrollBoxTest() {
    form = NewComponent<TForm>(Application());
    form->SetBounds(50, 50, 400, 320);
    box = NewComponent<TReportingScrollBox>(form);
    box->SetBounds(10, 10, 204, 204);  // a 200 x 200 client inside the sunken edge
    box->SetParent(form);
    child = NewComponent<TSwatch>(form);
    child->SetBounds(0, 0, 150, 500);
    child->SetParent(box);
  }
  RECT VerticalBar() const {
    TPoint origin = box->ClientToScreen(TPoint(0, 0));
    TRect c = box->GetClientRect();
    return RECT{origin.x + c.right, origin.y, origin.x + c.right + 16, origin.y + c.bottom};
  }
  TForm* form;
  TReportingScrollBox* box;
  TSwatch* child;
};

TEST_F(TScrollBoxTest, ChildrenBeyondTheEdgeShowABarWithTheirRange) {
  form->Show();
  ui.RunUntilIdle();
  HWND h = box->GetHandle();
  EXPECT_TRUE(GetWindowLong(h, GWL_STYLE) & WS_VSCROLL);
  EXPECT_FALSE(GetWindowLong(h, GWL_STYLE) & WS_HSCROLL) << "the child fits across";
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &info));
  EXPECT_EQ(info.nMax, 499);
  EXPECT_EQ(info.nPage, 200u);
  EXPECT_EQ(box->GetVertScrollBar()->GetRange(), 500);
  child->SetWidth(400);  // now wider than the view too
  ui.RunUntilIdle();
  EXPECT_TRUE(GetWindowLong(h, GWL_STYLE) & WS_HSCROLL);
  child->SetBounds(0, 0, 50, 50);
  ui.RunUntilIdle();
  EXPECT_FALSE(GetWindowLong(h, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) << "all fits: no bars";
}

TEST_F(TScrollBoxTest, TheBarsArrowAndTrackScrollTheChildren) {
  box->GetVertScrollBar()->SetIncrement(10);
  std::vector<int> seen;
  box->OnScrolled = [&](UINT) { seen.push_back(child->GetTop()); };
  form->Show();
  ui.RunUntilIdle();
  RECT v = VerticalBar();
  ui.Click(v.left + 8, v.bottom - 8);
  EXPECT_EQ(child->GetTop(), -10);
  EXPECT_EQ(GetScrollPos(box->GetHandle(), SB_VERT), 10);
  ui.Click(v.left + 8, v.bottom - 30);  // the track below the thumb: a page
  EXPECT_EQ(child->GetTop(), -10 - 180);
  EXPECT_EQ(seen, (std::vector<int>{-10, -10, -190, -190})) << "each message, after the box moved";
  // The wheel, as the box hears it when it has the focus.
  SendMessage(box->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(v.left - 50, v.top + 50));
  EXPECT_EQ(child->GetTop(), -220) << "three lines down";
}

TEST_F(TScrollBoxTest, TheThumbMovesTheChildrenWhileDraggedOnlyWithTracking) {
  form->Show();
  ui.RunUntilIdle();
  RECT v = VerticalBar();
  for (bool tracking : {false, true}) {
    box->GetVertScrollBar()->SetPosition(0);
    box->GetVertScrollBar()->SetTracking(tracking);
    std::vector<int> seen;
    box->OnScrolled = [&](UINT) { seen.push_back(child->GetTop()); };
    // The thumb is 168 * 200 / 500 = 67 pixels long and travels 101 pixels over 300 positions.
    POINT from{v.left + 8, v.top + 16 + 30};
    ui.Drag(from, POINT{from.x, from.y + 101}, 2);
    EXPECT_EQ(child->GetTop(), -300) << tracking;
    ASSERT_EQ(seen.size(), 4u) << tracking;
    EXPECT_EQ(seen[0], tracking ? -149 : 0) << "halfway";
    EXPECT_EQ(seen[2], -300);
  }
}

}  // namespace

// The vertical bar's up arrow as the screen shows it: a button face with a black arrow, also
// where the content reaches past the box on both sides, and for a bar that appears while
// the box is shown.
TEST_F(TScrollBoxTest, TheBarIsPaintedOnTheScreen) {
  struct Case {
    TRect shown, after;  // the content while the form is first shown, then
  };
  const Case cases[] = {
      {TRect(0, 0, 150, 50), TRect(0, 0, 150, 500)},   // a bar that appears
      {TRect(0, 0, 400, 500), TRect(0, 0, 400, 500)},  // both bars, content past both edges
  };
  for (const Case& c : cases) {
    child->SetBoundsRect(c.shown);
    form->Show();
    ui.RunUntilIdle();
    child->SetBoundsRect(c.after);
    ui.RunUntilIdle();
    RECT v = VerticalBar();
    int face = 0, dark = 0;
    for (int y = v.top; y < v.top + 16; ++y)
      for (int x = v.left; x < v.right; ++x) {
        std::uint32_t p = ui.Pixel(x, y);
        face += p == 0xC0C0C0;
        dark += p == 0x000000;
      }
    EXPECT_GT(face, 100) << "the up arrow's button face, content " << c.after.Width();
    EXPECT_GT(dark, 3) << "the arrow itself, content " << c.after.Width();
    form->Hide();
  }
}
