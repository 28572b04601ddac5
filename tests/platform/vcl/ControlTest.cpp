// Controls: layout by Align and Anchors, windows made on need and re-made, parents and
// ownership, hints, mouse enter and leave, dragging.

#include "VclFixture.h"

#include "platform/vcl/DragDrop.h"
#include "platform/vcl/HintWindow.h"

namespace {

class ControlTest : public VclTest {
protected:
  TForm* MakeForm(int width = 400, int height = 300) {
    auto* form = NewComponent<TForm>(Application());
    form->SetBorderStyle(bsSizeable);
    form->SetBounds(50, 50, width, height);
    return form;
  }
  template <class T>
  T* Child(TWinControl* parent, TAlign align, TRect bounds = TRect(0, 0, 50, 50)) {
    TComponent* owner = GetParentForm(parent);
    auto* c = NewComponent<T>(owner ? owner : parent);
    c->SetBoundsRect(bounds);
    c->SetAlign(align);
    c->SetParent(parent);
    return c;
  }
};

// A control's canvas drawn on outside painting asks for a context then, and gives it back
// after the message, when the control moves and when its window is remade: the drawing lands
// where the control is now.
TEST_F(ControlTest, ACanvasAsksForItsContextOnDemandAndGivesItBack) {
  TForm* form = MakeForm();
  auto* block = Child<TBlock>(form, alNone, Bounds(10, 10, 40, 40));
  auto* swatch = Child<TSwatch>(form, alNone, Bounds(100, 10, 40, 40));
  block->SetColor(clWhite);
  swatch->SetColor(clWhite);
  form->Show();
  ui.RunUntilIdle();
  auto* blockCanvas = dynamic_cast<TControlCanvas*>(block->GetCanvas());
  auto* swatchCanvas = dynamic_cast<TControlCanvas*>(swatch->GetCanvas());
  ASSERT_TRUE(blockCanvas && swatchCanvas);
  // Painting hands the paint's context in and takes it out again.
  EXPECT_FALSE(blockCanvas->HandleAllocated());
  EXPECT_FALSE(swatchCanvas->HandleAllocated());
  auto fill = [](TCanvas* c, TColor colour) {
    c->GetBrush()->SetColor(colour);
    c->FillRect(TRect(0, 0, 6, 6));
  };

  fill(blockCanvas, clRed);
  EXPECT_TRUE(blockCanvas->HoldsOwnContext());
  EXPECT_EQ(PixelOf(block, 3, 3), Rgb(clRed));
  SendMessage(form->GetHandle(), WM_NULL, 0, 0);  // any message handled to its end
  EXPECT_FALSE(blockCanvas->HoldsOwnContext());
  EXPECT_FALSE(blockCanvas->HandleAllocated());

  // Moved while holding a context: the next drawing goes to the new place.
  fill(blockCanvas, clRed);
  block->SetLeft(60);
  fill(blockCanvas, clLime);
  EXPECT_EQ(PixelOf(block, 3, 3), Rgb(clLime));

  // A window remade while its canvas holds a context: drawn on the new window.
  fill(swatchCanvas, clRed);
  HWND before = swatch->GetHandle();
  swatch->RecreateWnd();
  ASSERT_NE(swatch->GetHandle(), before);
  fill(swatchCanvas, clBlue);
  EXPECT_EQ(PixelOf(swatch, 3, 3), Rgb(clBlue));
  ui.RunUntilIdle();
  EXPECT_FALSE(swatchCanvas->HoldsOwnContext());
}

TEST_F(ControlTest, AlignedChildrenShareTheClientAreaInAlignOrder) {
  TForm* form = MakeForm();
  auto* top = Child<TSwatch>(form, alTop, TRect(0, 0, 10, 30));
  auto* bottom = Child<TSwatch>(form, alBottom, TRect(0, 0, 10, 20));
  auto* left = Child<TSwatch>(form, alLeft, TRect(0, 0, 40, 10));
  auto* right = Child<TBlock>(form, alRight, TRect(0, 0, 25, 10));
  auto* client = Child<TSwatch>(form, alClient);
  auto* second = Child<TSwatch>(form, alTop, Bounds(0, 100, 10, 15));  // below the first top one
  TRect c = form->GetClientRect();
  EXPECT_EQ(top->GetBoundsRect(), TRect(0, 0, c.right, 30));
  EXPECT_EQ(second->GetBoundsRect(), TRect(0, 30, c.right, 45));
  EXPECT_EQ(bottom->GetBoundsRect(), TRect(0, c.bottom - 20, c.right, c.bottom));
  EXPECT_EQ(left->GetBoundsRect(), TRect(0, 45, 40, c.bottom - 20));
  EXPECT_EQ(right->GetBoundsRect(), TRect(c.right - 25, 45, c.right, c.bottom - 20));
  EXPECT_EQ(client->GetBoundsRect(), TRect(40, 45, c.right - 25, c.bottom - 20));
  // Hiding one gives its space to the others.
  top->SetVisible(false);
  EXPECT_EQ(second->GetTop(), 0);
  EXPECT_EQ(client->GetTop(), 15);
}

TEST_F(ControlTest, ResizingTheFormByItsBorderMovesAlignedAndAnchoredChildren) {
  TForm* form = MakeForm(400, 300);
  auto* panel = Child<TSwatch>(form, alClient);
  auto* status = Child<TSwatch>(form, alBottom, TRect(0, 0, 10, 20));
  auto* corner = Child<TSwatch>(panel, alNone, TRect(300, 200, 360, 230));
  corner->SetAnchors(TAnchors{akRight, akBottom});
  auto* stretch = Child<TSwatch>(panel, alNone, TRect(10, 10, 200, 40));
  stretch->SetAnchors(TAnchors{akLeft, akTop, akRight});
  auto* middle = Child<TSwatch>(panel, alNone, TRect(100, 100, 140, 120));
  middle->SetAnchors(TAnchors{});
  form->Show();
  ui.RunUntilIdle();
  int rightGap = panel->GetClientWidth() - corner->GetLeft();
  int bottomGap = panel->GetClientHeight() - corner->GetTop();
  int stretchGap = panel->GetClientWidth() - stretch->GetWidth();
  int middleCentre = middle->GetLeft() + middle->GetWidth() / 2;
  int oldPanelWidth = panel->GetClientWidth();
  RECT w;
  GetWindowRect(form->GetHandle(), &w);
  ui.Drag(POINT{w.right - 2, w.bottom - 2}, POINT{w.right + 98, w.bottom + 58});
  GetWindowRect(form->GetHandle(), &w);
  EXPECT_EQ(w.right - w.left, 500);
  EXPECT_EQ(form->GetWidth(), 500);
  EXPECT_EQ(status->GetWidth(), form->GetClientWidth());
  EXPECT_EQ(status->GetTop() + status->GetHeight(), form->GetClientHeight());
  EXPECT_EQ(panel->GetClientWidth() - corner->GetLeft(), rightGap);
  EXPECT_EQ(panel->GetClientHeight() - corner->GetTop(), bottomGap);
  EXPECT_EQ(panel->GetClientWidth() - stretch->GetWidth(), stretchGap);
  EXPECT_EQ(stretch->GetLeft(), 10);
  EXPECT_EQ(middle->GetLeft() + middle->GetWidth() / 2, middleCentre * panel->GetClientWidth() / oldPanelWidth);
  // What the user sees follows: the corner control is painted at its new place.
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(corner, 30, 15), Rgb(corner->GetColor()));
}

TEST_F(ControlTest, WindowsAreMadeOnNeedAndRemadeWithTheirState) {
  TForm* form = MakeForm();
  auto* box = Child<TSwatch>(form, alNone, TRect(10, 10, 60, 60));
  box->SetCaption("Box");
  EXPECT_FALSE(form->HandleAllocated());
  EXPECT_FALSE(box->HandleAllocated());
  HWND h = box->GetHandle();  // the parent's window comes first
  EXPECT_TRUE(form->HandleAllocated());
  EXPECT_EQ(GetParent(h), form->GetHandle());
  EXPECT_EQ(box->GetCaption(), "Box");
  EXPECT_FALSE(IsWindowVisible(h));  // not showing until the form shows
  form->Show();
  EXPECT_TRUE(IsWindowVisible(h));
  box->SetCaption("Renamed");
  HWND old = form->GetHandle();
  form->SetBorderStyle(bsDialog);  // a style only a new window can have
  EXPECT_FALSE(IsWindow(old));
  EXPECT_NE(form->GetHandle(), old);
  EXPECT_TRUE(IsWindowVisible(box->GetHandle()));
  EXPECT_EQ(box->GetCaption(), "Renamed");
  EXPECT_EQ(GetWindowLong(form->GetHandle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, WS_EX_DLGMODALFRAME);
  EXPECT_EQ(FindControl(box->GetHandle()), box);
  EXPECT_EQ(box->GetBoundsRect(), TRect(10, 10, 60, 60));
}

TEST_F(ControlTest, FreeingAParentFreesItsChildrenAndEveryOneForgetsThem) {
  TForm* form = MakeForm();
  auto* panel = Child<TSwatch>(form, alNone, TRect(0, 0, 200, 200));
  auto* inner = Child<TSwatch>(panel, alNone);
  auto* mark = Child<TBlock>(panel, alNone);
  form->Show();
  ui.RunUntilIdle();
  inner->SetTabStop(true);
  inner->SetFocus();
  EXPECT_EQ(form->GetActiveControl(), inner);
  HWND innerWindow = inner->GetHandle();
  int owned = form->ComponentCount();
  FreeObject(panel);
  EXPECT_EQ(form->ComponentCount(), owned - 3);  // the panel and both children
  EXPECT_FALSE(IsWindow(innerWindow));
  EXPECT_EQ(form->GetActiveControl(), nullptr);
  EXPECT_EQ(form->ControlCount(), 0);
  (void)mark;
}

TEST_F(ControlTest, ReflectedNotificationsReachTheChildThatSentThem) {
  TForm* form = MakeForm();
  auto* child = Child<TSwatch>(form, alNone);
  std::vector<UINT> got;
  child->WindowProc = [&, child](TMessage& m) {
    if (m.Msg >= CN_BASE) got.push_back(m.Msg);
    child->WndProc(m);
  };
  SendMessage(form->GetHandle(), WM_COMMAND, MAKEWPARAM(1, 0), reinterpret_cast<LPARAM>(child->GetHandle()));
  SendMessage(form->GetHandle(), WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(child->GetHandle()));
  EXPECT_EQ(got, (std::vector<UINT>{CN_COMMAND, CN_CTLCOLORSTATIC}));
}

TEST_F(ControlTest, HintShowsAfterThePauseAndGoesOnClick) {
  TForm* form = MakeForm();
  auto* box = Child<TSwatch>(form, alNone, TRect(10, 10, 110, 60));
  box->SetHint("Short|The long hint");
  box->SetShowHint(true);
  std::vector<std::string> hints;
  Application()->OnHint = [&](TObject*) { hints.push_back(Application()->GetHint()); };
  form->Show();
  ui.RunUntilIdle();
  POINT p = At(box, 20, 20);
  ui.MoveTo(p.x, p.y);
  EXPECT_EQ(hints, (std::vector<std::string>{"The long hint"}));
  THintWindow* hint = Application()->HintWindow();
  EXPECT_TRUE(!hint || !hint->HandleAllocated());
  ui.Advance(Application()->HintPause + 10);
  hint = Application()->HintWindow();
  ASSERT_NE(hint, nullptr);
  ASSERT_TRUE(hint->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(hint->GetHandle()));
  EXPECT_EQ(hint->GetCaption(), "Short");
  RECT r;
  GetWindowRect(hint->GetHandle(), &r);
  EXPECT_GT(r.top, p.y);  // below the mouse
  EXPECT_EQ(ui.Pixel(r.left + 3, r.bottom - 2), Rgb(clInfoBk));
  ui.Click(p.x, p.y);
  EXPECT_FALSE(hint->HandleAllocated());
}

TEST_F(ControlTest, MouseEnterAndLeaveFollowTheMouse) {
  TForm* form = MakeForm();
  auto* a = Child<TBlock>(form, alNone, TRect(10, 10, 60, 60));
  auto* b = Child<TSwatch>(form, alNone, TRect(100, 10, 150, 60));
  for (TControl* c : std::initializer_list<TControl*>{a, b}) {
    c->OnMouseEnter = [&, c](TObject*) { log.push_back(c == a ? "enter a" : "enter b"); };
    c->OnMouseLeave = [&, c](TObject*) { log.push_back(c == a ? "leave a" : "leave b"); };
  }
  form->Show();
  ui.RunUntilIdle();
  POINT pa = At(a, 5, 5), pb = At(b, 5, 5);
  ui.MoveTo(pa.x, pa.y);
  ui.MoveTo(pb.x, pb.y);
  ui.MoveTo(5, 700);  // the desktop
  EXPECT_EQ(log, (std::vector<std::string>{"enter a", "leave a", "enter b", "leave b"}));
}

TEST_F(ControlTest, DraggingAskstheTargetsAndDropsOnTheOneThatAccepts) {
  TForm* form = MakeForm(500, 300);
  auto* source = Child<TBlock>(form, alNone, TRect(10, 10, 60, 60));
  auto* refuser = Child<TSwatch>(form, alNone, TRect(100, 10, 150, 60));
  auto* target = Child<TSwatch>(form, alNone, TRect(200, 10, 250, 60));
  source->SetDragMode(dmAutomatic);
  refuser->OnDragOver = [&](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = false; };
  target->OnDragOver = [&](TObject*, TObject* src, int, int, TDragState state, bool& accept) {
    accept = src == source;
    log.push_back(state == dsDragEnter ? "enter" : state == dsDragLeave ? "leave" : "move");
  };
  TPoint dropped(-1, -1);
  target->OnDragDrop = [&](TObject*, TObject* src, int x, int y) {
    if (src == source) dropped = TPoint(x, y);
  };
  TObject* endTarget = reinterpret_cast<TObject*>(1);
  source->OnEndDrag = [&](TObject*, TObject* t, int, int) { endTarget = t; };
  form->Show();
  ui.RunUntilIdle();
  // Dropped on a control that refuses: nothing is dropped, the drag ends without a target.
  ui.Drag(At(source, 5, 5), At(refuser, 10, 10));
  EXPECT_EQ(endTarget, nullptr);
  EXPECT_FALSE(source->Dragging());
  ui.Drag(At(source, 5, 5), At(target, 12, 14));
  EXPECT_EQ(dropped, TPoint(12, 14));
  EXPECT_EQ(endTarget, target);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "enter");
  // Escape cancels a drag in progress.
  POINT from = At(source, 5, 5), over = At(target, 5, 5);
  ui.MouseDown(from.x, from.y);
  ui.MoveTo(over.x, over.y);
  EXPECT_TRUE(source->Dragging());
  ui.Press(VK_ESCAPE);
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(endTarget, nullptr);
  ui.MouseUp(over.x, over.y);
  EXPECT_EQ(FindDragTarget(TPoint(over), false), target);
}

TEST_F(ControlTest, DockDragMovesTheControlIntoTheDockSite) {
  TForm* form = MakeForm(500, 300);
  auto* site = Child<TSwatch>(form, alNone, TRect(200, 10, 400, 200));
  site->SetDockSite(true);
  auto* tool = Child<TSwatch>(form, alNone, TRect(10, 10, 60, 60));
  tool->SetDragKind(dkDock);
  bool docked = false;
  site->OnDockDrop = [&](TObject*, TObject* src, int, int) { docked = src == tool; };
  form->Show();
  ui.RunUntilIdle();
  POINT p = At(tool, 5, 5);
  ui.MouseDown(p.x, p.y);
  tool->BeginDrag(true);
  ui.MouseUp(p.x, p.y);
  EXPECT_FALSE(docked);  // released where no site is
  tool->BeginDrag(true);
  POINT into = At(site, 50, 50);
  ui.MoveTo(into.x, into.y);
  ui.MouseUp(into.x, into.y);
  EXPECT_TRUE(docked);
  EXPECT_EQ(tool->GetParent(), site);
}

}  // namespace
