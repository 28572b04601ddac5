// The demonstration form: docks on four sides, a full-size toolbar, a second row, a toolbar
// on the left dock and one floating in two rows, with checked, disabled and drop-down
// buttons and a flat edit on the status toolbar; checked where a user would look.
//
// QUILLO_DEMO_HOLD_MS=n keeps it on the screen for n milliseconds of real time (run with
// QUILLO_HOST=sdl to look at it or take a screenshot).

#include "ToolbarFixture.h"

#include <chrono>
#include <cstdlib>

#include "platform/rtl/Clock.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/toolbars/FlatEdit.h"

namespace tbx::testing {
namespace {

class ToolbarDemoTest : public ToolbarUiTest {};

TEST_F(ToolbarDemoTest, DockedAndFloatingToolbars) {
  DemoLayout d = BuildDemoForm();
  auto button = [&](TToolbarX* bar, int i) { return static_cast<TToolbarButtonX*>(bar->OrderList()[i]); };
  // A checked pair on the standard toolbar, a disabled button on the tools toolbar, a
  // drop-down combo button on the palette, and the palette wrapped into two rows.
  for (int i : {2, 3}) button(d.standard, i)->SetGroupIndex(1);
  button(d.standard, 2)->SetDown(true);
  button(d.tools, 1)->SetEnabled(false);
  auto* shapes = NewComponent<TPopupMenu>(d.form);
  for (const char* caption : {"&Rectangle", "&Ellipse"}) {
    auto* item = NewComponent<TMenuItem>(shapes);
    item->SetCaption(caption);
    shapes->GetItems()->Add(item);
  }
  button(d.palette, 0)->SetDropdownMenu(shapes);
  button(d.palette, 0)->SetDropdownCombo(true);
  d.palette->SetFloatingWidth(80);
  d.bottom->SetBoundLines({blTop});
  TToolbarX* status = AddToolbar(d.form, "Status", "Status", 2);
  status->SetDockedTo(d.bottom);
  auto* zoom = NewComponent<TEditX>(d.form);
  zoom->SetWidth(60);
  zoom->SetParent(status);
  zoom->SetText("100%");
  ui.RunUntilIdle();

  // The palette wraps at its separator, with an etched line between the rows.
  ASSERT_EQ(d.palette->LineSeparators().size(), 1u);
  const int lineY = d.palette->LineSeparators()[0].y;
  TPoint line = d.palette->ClientToScreen(TPoint(10, lineY - 4));
  EXPECT_EQ(ui.Pixel(line.x, line.y), Rgb(clBtnShadow));
  EXPECT_EQ(ui.Pixel(line.x, line.y + 1), Rgb(clBtnHighlight));
  // The floating caption shows the toolbar's name in the active caption colour.
  TRect floating = WindowRect(d.palette);
  EXPECT_EQ(ui.Pixel(floating.left + 5, floating.top + d.palette->FloatingBorderY() + 1),
            Rgb(clActiveCaption));
  // The bottom dock holds its toolbar above its bound line.
  EXPECT_EQ(d.bottom->GetHeight(), 26 + 1);
  // The flat edit stands after the status toolbar's buttons, flat while idle.
  TRect zoomRect = WindowRect(zoom);
  EXPECT_EQ(ui.Pixel(zoomRect.left, zoomRect.top + 5), Rgb(clBtnFace));
  EXPECT_EQ(ui.Pixel(zoomRect.left + 2, zoomRect.top + 5), Rgb(clWindow));
  ui.ShowToViewer(UiDriver::Hold::Live);
}

}  // namespace
}  // namespace tbx::testing
