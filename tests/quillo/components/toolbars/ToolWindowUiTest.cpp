// Tool windows through the UI driver: dragged between docks and the floating state, sized
// while floating, closed and shown again, with the outline leaving no trace on the screen.

#include "ToolbarFixture.h"

#include <vector>

#include "platform/user/Desktop.h"

namespace tbx::testing {
namespace {

class ToolWindowUiTest : public ToolbarUiTest {
protected:
  // A point on the drag handle of a docked toolbar, or on the caption of a floating one.
  POINT GripOf(TToolbarX* t) {
    TRect r = WindowRect(t);
    if (t->Floating()) return POINT{r.left + 12, r.top + t->FloatingBorderY() + t->FloatingCaptionHeight() / 2};
    if (t->GetDockedTo()->Vertical()) return POINT{r.left + r.Width() / 2, r.top + 5};
    return POINT{r.left + 5, r.top + r.Height() / 2};
  }
  std::vector<std::uint32_t> Pixels(const TRect& area) {
    std::vector<std::uint32_t> pixels;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) pixels.push_back(ui.Pixel(x, y));
    return pixels;
  }
};

TEST_F(ToolWindowUiTest, DemoFormLaysOutItsDocks) {
  DemoLayout d = BuildDemoForm();
  ui.RunUntilIdle();
  EXPECT_EQ(d.standard->GetDockedTo(), d.top);
  EXPECT_EQ(d.tools->GetDockedTo(), d.top);
  EXPECT_TRUE(d.palette->Floating());
  EXPECT_EQ(d.colours->GetDockedTo(), d.left);
  // The full-size toolbar spans the dock; the second row lies below it.
  EXPECT_EQ(d.standard->GetWidth(), d.top->GetClientWidth());
  EXPECT_EQ(d.tools->GetTop(), d.standard->GetHeight());
  // Three rows' worth: 22-pixel buttons, rows of 22 + 4, and the bound line.
  EXPECT_EQ(d.top->GetHeight(), 2 * 26 + 1);
  // Empty docks take no room.
  EXPECT_EQ(d.bottom->GetHeight(), 0);
  EXPECT_EQ(d.right->GetWidth(), 0);
  EXPECT_TRUE(IsWindowVisible(d.palette->FloatingParent()->GetHandle()));
  EXPECT_GT(RegisteredHookProcCount(), 0);
}

TEST_F(ToolWindowUiTest, ToolbarDraggedToTheLeftDockToFloatingAndBack) {
  DemoLayout d = BuildDemoForm();
  ui.RunUntilIdle();
  TRect left = WindowRect(d.left);
  ui.Drag(GripOf(d.tools), POINT{left.left - 3, left.top + 120});
  ASSERT_EQ(d.tools->GetDockedTo(), d.left);
  EXPECT_GT(d.tools->GetHeight(), d.tools->GetWidth());
  EXPECT_EQ(d.top->GetHeight(), 26 + 1);  // its second row is gone

  TRect client = WindowRect(d.form);
  ui.Drag(GripOf(d.tools), POINT{client.left + 350, client.top + 250});
  ASSERT_TRUE(d.tools->Floating());
  EXPECT_TRUE(IsWindowVisible(d.tools->FloatingParent()->GetHandle()));
  EXPECT_EQ(d.tools->GetLastDock(), d.left);

  TRect top = WindowRect(d.top);
  ui.Drag(GripOf(d.tools), POINT{top.left + 200, top.bottom - 2});
  ASSERT_EQ(d.tools->GetDockedTo(), d.top);
  EXPECT_GE(d.tools->GetTop(), d.standard->GetTop() + d.standard->GetHeight());
  EXPECT_TRUE(FloatingToolWindows().size() == 1u);  // the palette only
}

TEST_F(ToolWindowUiTest, CtrlHeldNeverDocks) {
  DemoLayout d = BuildDemoForm();
  ui.RunUntilIdle();
  TRect left = WindowRect(d.left);
  ui.KeyDown(VK_CONTROL);
  ui.Drag(GripOf(d.tools), POINT{left.left - 3, left.top + 120});
  ui.KeyUp(VK_CONTROL);
  EXPECT_TRUE(d.tools->Floating());
}

TEST_F(ToolWindowUiTest, AWindowThatCannotFloatStaysWhereItWas) {
  DemoLayout d = BuildDemoForm();
  d.tools->SetDockMode(dmCannotFloat);
  ui.RunUntilIdle();
  TRect before = WindowRect(d.tools);
  TRect client = WindowRect(d.form);
  ui.Drag(GripOf(d.tools), POINT{client.left + 350, client.top + 250});
  EXPECT_EQ(d.tools->GetDockedTo(), d.top);
  TRect after = WindowRect(d.tools);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
}

TEST_F(ToolWindowUiTest, DoubleClickDocksAFloatingWindowIntoItsLastDock) {
  DemoLayout d = BuildDemoForm();
  d.palette->SetLastDock(d.right);
  ui.RunUntilIdle();
  POINT grip = GripOf(d.palette);
  ui.DoubleClick(grip.x, grip.y);
  EXPECT_EQ(d.palette->GetDockedTo(), d.right);
  EXPECT_GT(d.right->GetWidth(), 0);
  // A right dock grows leftwards: its outer edge stays at the form's edge.
  EXPECT_EQ(d.right->GetLeft() + d.right->GetWidth(), d.form->GetClientWidth());
  // And a double-click on the docked window floats it again.
  grip = GripOf(d.palette);
  ui.Advance(1000);
  ui.DoubleClick(grip.x, grip.y);
  EXPECT_TRUE(d.palette->Floating());
}

TEST_F(ToolWindowUiTest, DoubleClickWithNoDockToGoToDoesNothing) {
  DemoLayout d = BuildDemoForm();
  d.palette->SetUseLastDock(false);
  ui.RunUntilIdle();
  POINT grip = GripOf(d.palette);
  ui.DoubleClick(grip.x, grip.y);
  EXPECT_TRUE(d.palette->Floating());
}

TEST_F(ToolWindowUiTest, FloatingToolbarSnapsToTheSizesItsButtonsAllow) {
  DemoLayout d = BuildDemoForm();
  TToolbarX* bar = AddToolbar(d.form, "Three", "Three", 3);
  bar->SetFloatingPosition(TPoint(200, 400));
  bar->SetDockedTo(nullptr);
  ui.RunUntilIdle();
  const TRect nc = bar->FloatingNonClient();
  const int ncWidth = nc.left + nc.right, ncHeight = nc.top + nc.bottom;
  TRect r = WindowRect(bar);
  EXPECT_EQ(r.Width(), 77 + ncWidth);  // one row: 4 + 3 x 23 + 4
  EXPECT_EQ(r.Height(), 25 + ncHeight);

  // 20 pixels in, past the snap distance: the two-row layout, 54 wide.
  POINT edge{r.right - 2, r.top + r.Height() / 2};
  ui.Drag(edge, POINT{edge.x - 20, edge.y});
  EXPECT_EQ(bar->GetFloatingWidth(), 54);
  r = WindowRect(bar);
  EXPECT_EQ(r.Width(), 54 + ncWidth);
  EXPECT_EQ(r.Height(), 47 + ncHeight);
  EXPECT_EQ(r.left, 200);

  // A few pixels out stays put (snap); far out grows back to one row.
  edge = POINT{r.right - 2, r.top + r.Height() / 2};
  ui.Drag(edge, POINT{edge.x + 5, edge.y});
  EXPECT_EQ(WindowRect(bar).Width(), 54 + ncWidth);
  ui.Drag(edge, POINT{edge.x + 40, edge.y});
  EXPECT_EQ(bar->GetFloatingWidth(), 0);
  EXPECT_EQ(WindowRect(bar).Width(), 77 + ncWidth);
}

TEST_F(ToolWindowUiTest, ToolWindowClosedAndShownAgain) {
  DemoLayout d = BuildDemoForm();
  ui.RunUntilIdle();
  int closes = 0;
  d.palette->OnClose = [&](TObject*) { ++closes; };
  TRect before = WindowRect(d.palette->FloatingParent());
  RECT wr;
  GetWindowRect(d.palette->GetHandle(), &wr);
  const int side = d.palette->FloatingCaptionHeight() - 1;
  POINT close{wr.right - d.palette->FloatingBorderX() - side / 2,
              wr.top + d.palette->FloatingBorderY() + side / 2};
  ui.Click(close.x, close.y);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(d.palette->GetVisible());
  EXPECT_FALSE(IsWindowVisible(d.palette->FloatingParent()->GetHandle()));

  d.palette->SetVisible(true);
  ui.RunUntilIdle();
  ASSERT_TRUE(IsWindowVisible(d.palette->FloatingParent()->GetHandle()));
  TRect after = WindowRect(d.palette->FloatingParent());
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.Width(), before.Width());
}

TEST_F(ToolWindowUiTest, CloseQueryCanKeepTheWindowOpen) {
  DemoLayout d = BuildDemoForm();
  ui.RunUntilIdle();
  d.palette->OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
  RECT wr;
  GetWindowRect(d.palette->GetHandle(), &wr);
  const int side = d.palette->FloatingCaptionHeight() - 1;
  ui.Click(wr.right - d.palette->FloatingBorderX() - side / 2, wr.top + d.palette->FloatingBorderY() + side / 2);
  EXPECT_TRUE(d.palette->GetVisible());
}

TEST_F(ToolWindowUiTest, DragOutlineIsDrawnInXorAndLeavesNoTrail) {
  DemoLayout d = BuildDemoForm();
  ui.RunUntilIdle();
  const TRect area(60, 40, 900, 640);
  std::vector<std::uint32_t> before = Pixels(area);
  POINT grip = GripOf(d.tools);
  bool outlineSeen = false;
  auto inject = [](InputEvent::Kind kind, int x, int y, int vk = 0) {
    InputEvent e;
    e.kind = kind;
    e.x = x;
    e.y = y;
    e.vk = vk;
    e.button = InputEvent::Left;
    DesktopHost().Inject(e);
  };
  ui.WhenModalWaits([&] { inject(InputEvent::Kind::MouseMove, grip.x + 200, grip.y + 250); });
  ui.WhenModalWaits([&] {
    // Mid-drag: the checkered outline shows on the screen...
    outlineSeen = Pixels(area) != before;
    inject(InputEvent::Kind::KeyDown, 0, 0, VK_ESCAPE);
  });
  ui.MouseDown(grip.x, grip.y);
  ui.MouseUp(grip.x + 200, grip.y + 250);
  EXPECT_TRUE(outlineSeen);
  // ...and once the drag is cancelled, not one pixel differs.
  EXPECT_EQ(d.tools->GetDockedTo(), d.top);
  EXPECT_TRUE(Pixels(area) == before);
}

TEST_F(ToolWindowUiTest, AcceptedDragLeavesNoOutlineBehind) {
  DemoLayout d = BuildDemoForm();
  ui.RunUntilIdle();
  // Far from the toolbar's old and new places: the outline passed over it on the way.
  TRect path(450, 420, 700, 520);
  std::vector<std::uint32_t> before = Pixels(path);
  POINT grip = GripOf(d.tools);
  ui.Drag(grip, POINT{grip.x + 300, grip.y + 420}, 12);
  ui.Drag(GripOf(d.tools), POINT{grip.x + 600, grip.y + 100}, 12);
  ASSERT_TRUE(d.tools->Floating());
  EXPECT_TRUE(Pixels(path) == before);
}

TEST_F(ToolWindowUiTest, PlacingWindowsWhereTheyCannotGoIsRefused) {
  DemoLayout d = BuildDemoForm();
  auto* other = NewComponent<TDockX>(d.form);
  EXPECT_THROW(other->SetParent(d.tools), EInvalidOperation);
  EXPECT_THROW(d.top->SetPosition(dpLeft), EInvalidOperation);
  auto* sep = NewComponent<TToolbarSepX>(d.form);
  EXPECT_THROW(sep->SetParent(d.form), EInvalidOperation);
  EXPECT_THROW(d.tools->GetOrderIndex(sep), EInvalidOperation);
}


class ToolWindowStateTest : public ToolbarUiTest {};

TEST_F(ToolWindowStateTest, AFloatingWindowHidesAndShowsWithItsForm) {
  DemoLayout d = BuildDemoForm();
  ui.RunUntilIdle();
  HWND floating = d.palette->FloatingParent()->GetHandle();
  ASSERT_TRUE(IsWindowVisible(floating));
  d.form->Hide();
  ui.RunUntilIdle();
  EXPECT_FALSE(IsWindowVisible(floating));
  d.form->Show();
  ui.RunUntilIdle();
  EXPECT_TRUE(IsWindowVisible(floating));
  // On top of all forms, it stays.
  d.palette->SetFloatingMode(fmOnTopOfAllForms);
  d.form->Hide();
  ui.RunUntilIdle();
  EXPECT_TRUE(IsWindowVisible(d.palette->FloatingParent()->GetHandle()));
}

TEST_F(ToolWindowStateTest, DockBackgroundRunsOnUnbrokenUnderItsToolbars) {
  DemoLayout d = BuildDemoForm();
  // A 2 x 2 checker of two colours.
  auto tile = MakeObject<TBitmap>();
  tile->SetPixelFormat(pf24bit);
  tile->SetSize(2, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) tile->GetCanvas()->SetPixel(x, y, (x + y) % 2 ? clYellow : clAqua);
  d.top->SetBackground(tile.get());
  ui.RunUntilIdle();
  // The pattern seen from the form: a pixel's colour depends only on where it lies in the
  // form, on the dock and on the toolbar alike.
  auto expected = [&](int formX, int formY) { return (formX + formY) % 2 ? 0xFFFF00u : 0x00FFFFu; };
  TPoint origin = d.form->ClientToScreen(TPoint(0, 0));
  // On the dock beyond the tools toolbar, and on the tools toolbar.
  TPoint onDock(d.tools->GetLeft() + d.tools->GetWidth() + 10, d.tools->GetTop() + 10);
  for (TPoint p : {onDock, TPoint(onDock.x + 1, onDock.y)})
    EXPECT_EQ(ui.Pixel(origin.x + p.x, origin.y + p.y), expected(p.x, p.y));
  // Its buttons cover its client area: look between the drag handle's lines and the buttons.
  TRect bar = WindowRect(d.tools);
  TPoint onBar(bar.left + 9, bar.top + 12);
  for (TPoint p : {onBar, TPoint(onBar.x + 1, onBar.y)})
    EXPECT_EQ(ui.Pixel(p.x, p.y), expected(p.x - origin.x, p.y - origin.y));
}

TEST_F(ToolWindowStateTest, AFullSizeToolbarDroppedIntoAnOccupiedRowGetsARowOfItsOwn) {
  DemoLayout d = BuildDemoForm();
  d.palette->SetFullSize(true);
  ui.RunUntilIdle();
  // Dropped onto the middle of the tools row.
  TRect tools = WindowRect(d.tools);
  TRect r = WindowRect(d.palette);
  POINT grip{r.left + 12, r.top + d.palette->FloatingBorderY() + d.palette->FloatingCaptionHeight() / 2};
  ui.Drag(grip, POINT{tools.right + 60, tools.top + tools.Height() / 2});
  ASSERT_EQ(d.palette->GetDockedTo(), d.top);
  EXPECT_EQ(d.palette->GetDockRow(), d.tools->GetDockRow() + 1);
  EXPECT_EQ(d.palette->GetWidth(), d.top->GetClientWidth());
}


TEST_F(ToolWindowStateTest, AFloatingToolbarSizesOnlyByItsEdges) {
  DemoLayout d = BuildDemoForm();
  ui.RunUntilIdle();
  // The toolbar takes none of the tool window's corner sizing: its top-right corner is the
  // right edge.
  RECT r;
  GetWindowRect(d.palette->GetHandle(), &r);
  LRESULT hit = SendMessage(d.palette->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(r.right - 1, r.top + 1));
  EXPECT_EQ(hit, HTRIGHT);
  hit = SendMessage(d.palette->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + 1, r.bottom - 1));
  EXPECT_EQ(hit, HTLEFT);
}


TEST_F(ToolWindowStateTest, SlaveControlsShowByTheDocksOrientation) {
  DemoLayout d = BuildDemoForm();
  auto* wide = NewComponent<TToolbarButtonX>(d.form);
  wide->SetWidth(60);
  wide->SetParent(d.tools);
  auto* narrow = NewComponent<TToolbarButtonX>(d.form);
  narrow->SetParent(d.tools);
  d.tools->SetSlaveControl(wide, narrow);
  ui.RunUntilIdle();
  EXPECT_TRUE(wide->GetVisible());
  EXPECT_FALSE(narrow->GetVisible());
  d.tools->SetDockedTo(d.left);
  ui.RunUntilIdle();
  EXPECT_FALSE(wide->GetVisible());
  EXPECT_TRUE(narrow->GetVisible());
  EXPECT_EQ(d.tools->GetClientWidth(), 23);  // the wide one takes no room on the left
}


TEST_F(ToolWindowStateTest, DockedHandleWidthByStyleAndCloseButton) {
  DemoLayout d = BuildDemoForm();
  struct Case {
    TDragHandleStyle style;
    bool closeButton;
    int handle;
  };
  for (const Case& c : {Case{dhDouble, false, 9}, Case{dhSingle, false, 6}, Case{dhNone, false, 0},
                        Case{dhDouble, true, 14}, Case{dhSingle, true, 14}, Case{dhNone, true, 14}}) {
    d.tools->SetDragHandleStyle(c.style);
    d.tools->SetCloseButtonWhenDocked(c.closeButton);
    ui.RunUntilIdle();
    TRect window = WindowRect(d.tools);
    TPoint client = d.tools->ClientToScreen(TPoint(0, 0));
    EXPECT_EQ(client.x - window.left, 2 + c.handle) << c.style << " " << c.closeButton;
    EXPECT_EQ(client.y - window.top, 2);
  }
}

TEST_F(ToolWindowStateTest, DockedCloseButtonHidesTheToolbar) {
  DemoLayout d = BuildDemoForm();
  d.tools->SetCloseButtonWhenDocked(true);
  ui.RunUntilIdle();
  TRect window = WindowRect(d.tools);
  ui.Click(window.left + 3 + 5, window.top + 2 + 5);  // the 11-pixel button at (3, 2)
  EXPECT_FALSE(d.tools->GetVisible());
  EXPECT_EQ(d.top->GetHeight(), 26 + 1);  // its row is gone
}


TEST_F(ToolWindowStateTest, PropertiesAreReachableByName) {
  DemoLayout d = BuildDemoForm();
  SetEnumProp(d.tools, "DockMode", "dmCannotFloat");
  EXPECT_EQ(d.tools->GetDockMode(), dmCannotFloat);
  SetSetProp(d.tools, "DockableTo", "[dpLeft,dpRight]");
  EXPECT_EQ(d.tools->GetDockableTo(), (TDockableTo{dpLeft, dpRight}));
  EXPECT_EQ(GetObjectProp(d.tools, "DockedTo"), d.top);
  EXPECT_EQ(GetStrProp(d.top, "Version"), "ToolbarX version 1.75a");
  EXPECT_EQ(GetEnumProp(d.left, "Position"), "dpLeft");
  auto* button = static_cast<TToolbarButtonX*>(d.tools->OrderList()[0]);
  SetOrdProp(button, "GroupIndex", 3);
  SetOrdProp(button, "Down", 1);
  EXPECT_TRUE(button->GetDown());
  EXPECT_EQ(GetEnumProp(button, "DisplayMode"), "dmBoth");
  auto* sep = static_cast<TToolbarSepX*>(d.standard->OrderList()[1]);
  SetOrdProp(sep, "SizeHorz", 10);
  ui.RunUntilIdle();
  EXPECT_EQ(sep->GetWidth(), 10);
}


TEST_F(ToolWindowStateTest, AnEmptyDockIsFlatOrOnePixelWithFixAlign) {
  DemoLayout d = BuildDemoForm();
  EXPECT_EQ(d.bottom->GetHeight(), 0);
  d.bottom->SetFixAlign(true);
  EXPECT_EQ(d.bottom->GetHeight(), 1);
  // A bottom dock grows upwards: its bottom edge stays at the form's edge.
  d.tools->SetDockedTo(d.bottom);
  ui.RunUntilIdle();
  EXPECT_EQ(d.bottom->GetHeight(), 26);
  EXPECT_EQ(d.bottom->GetTop() + d.bottom->GetHeight(), d.form->GetClientHeight());
}


TEST_F(ToolWindowStateTest, AFloatingWindowOutlivesItsFormsWindow) {
  DemoLayout d = BuildDemoForm();
  ui.RunUntilIdle();
  HWND floating = d.palette->FloatingParent()->GetHandle();
  d.form->RecreateWnd();
  ui.RunUntilIdle();
  EXPECT_TRUE(IsWindow(floating));
  EXPECT_TRUE(d.palette->FloatingParent()->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(d.palette->FloatingParent()->GetHandle()));
  // And it is owned by the form's new window, so it stays above the form.
  EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtr(floating, GWLP_HWNDPARENT)), d.form->GetHandle());
}

}  // namespace
}  // namespace tbx::testing
