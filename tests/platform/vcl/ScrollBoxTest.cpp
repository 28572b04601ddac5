// TScrollBox: ranges from the children, the window's bars showing them, scrolling by the
// bars, the thumb with and without Tracking, the wheel (also when a control inside has the
// focus), and a descendant told of each scroll after the box has moved.

#include "VclFixture.h"

#include "platform/vcl/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Memo.h"
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

// The wheel goes to the focused control; what its handlers and its parents' handlers leave
// scrolls the box it lies in, Shift turning the wheel sideways.
TEST_F(TScrollBoxTest, TheWheelOverAFocusedControlInsideScrollsTheBox) {
  enum Stop { nobody, editHandles, boxHandlesDown };
  struct Case {
    const char* name;
    bool shift;
    Stop stop;
    int top, left;
    std::vector<std::string> heard;
  };
  const Case cases[] = {
      {"unhandled: down three lines", false, nobody, -24, 0, {"edit wheel -120", "box down", "form wheel -120"}},
      {"with Shift: sideways", true, nobody, 0, -24, {"edit wheel -120", "box down", "form wheel -120"}},
      {"the edit's handler takes it", false, editHandles, 0, 0, {"edit wheel -120"}},
      {"the box's OnMouseWheelDown takes it", false, boxHandlesDown, 0, 0, {"edit wheel -120", "box down"}},
  };
  child->SetWidth(400);  // a horizontal range too
  auto* edit = NewComponent<TEdit>(form);
  edit->SetParent(child);
  edit->SetBounds(10, 10, 100, 24);
  form->Show();
  ui.RunUntilIdle();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    box->GetVertScrollBar()->SetPosition(0);
    box->GetHorzScrollBar()->SetPosition(0);
    std::vector<std::string> heard;
    edit->OnMouseWheel = [&](TObject*, TShiftState shift, int delta, TPoint, bool& handled) {
      EXPECT_EQ(shift.Contains(ssShift), c.shift);
      heard.push_back("edit wheel " + std::to_string(delta));
      handled = c.stop == editHandles;
    };
    box->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
      heard.push_back("box down");
      handled = c.stop == boxHandlesDown;
    };
    box->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool&) { heard.push_back("box up"); };
    form->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool&) {
      heard.push_back("form wheel " + std::to_string(delta));
    };
    edit->SetFocus();
    ui.RunUntilIdle();
    ASSERT_EQ(GetFocus(), edit->GetHandle());
    POINT p = At(edit, 5, 5);
    if (c.shift) ui.KeyDown(VK_SHIFT);
    ui.Wheel(p.x, p.y, -WHEEL_DELTA);
    ui.RunUntilIdle();
    if (c.shift) ui.KeyUp(VK_SHIFT);
    EXPECT_EQ(heard, c.heard) << "each handler once, from the focused control up to the form";
    EXPECT_EQ(child->GetTop(), c.top);
    EXPECT_EQ(child->GetLeft(), c.left);
  }
}

// A control whose window uses the wheel itself (a memo with lines to scroll) keeps it; the box
// around it stays where it is.
TEST_F(TScrollBoxTest, AFocusedMemoScrollsItselfBeforeTheBox) {
  auto* memo = NewComponent<TMemo>(form);
  memo->SetParent(child);
  memo->SetBounds(10, 10, 120, 60);
  for (int i = 0; i < 40; ++i) memo->GetLines()->Add("line " + std::to_string(i));
  form->Show();
  ui.RunUntilIdle();
  memo->SetFocus();
  SendMessage(memo->GetHandle(), EM_SETSEL, 0, 0);
  ui.RunUntilIdle();
  int wheels = 0;
  form->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool&) { ++wheels; };
  POINT p = At(memo, 5, 5);
  ui.Wheel(p.x, p.y, -WHEEL_DELTA);
  ui.RunUntilIdle();
  EXPECT_EQ(SendMessage(memo->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0), 3);
  EXPECT_EQ(child->GetTop(), 0);
  EXPECT_EQ(wheels, 1) << "the handlers are asked once, before the memo";
}

// Whether a bar shows is decided on the room there is without bars: content that fits the
// 200 x 200 view exactly needs none, even when both were shown a moment before; content
// that needs one bar needs the other only when the first one's thickness makes it too large.
TEST_F(TScrollBoxTest, BarsShownBeforeGoWhenTheContentFitsTheRoomWithoutThem) {
  struct Case {
    int width, height;
    bool horizontal, vertical;
  };
  form->Show();
  ui.RunUntilIdle();
  HWND h = box->GetHandle();
  for (Case c : {Case{200, 200, false, false}, Case{184, 210, false, true}, Case{210, 184, true, false},
                 Case{190, 210, true, true}, Case{210, 190, true, true}}) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    child->SetBounds(0, 0, 400, 400);
    ui.RunUntilIdle();
    ASSERT_EQ(GetWindowLong(h, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
    child->SetBounds(0, 0, c.width, c.height);
    ui.RunUntilIdle();
    EXPECT_EQ((GetWindowLong(h, GWL_STYLE) & WS_HSCROLL) != 0, c.horizontal);
    EXPECT_EQ((GetWindowLong(h, GWL_STYLE) & WS_VSCROLL) != 0, c.vertical);
  }
}
