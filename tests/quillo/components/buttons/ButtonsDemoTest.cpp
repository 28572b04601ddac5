// The demonstration form of the buttons, lists and panels, each control made in code with its
// defaults and a few settings: speed buttons in their states, a check list box, a splitter
// between two panels and a scrolling text panel.
//
// QUILLO_DEMO_HOLD_MS=n keeps it on the screen for n milliseconds of real time (run with
// QUILLO_HOST=sdl to look at it or take a screenshot).

#include "../ComponentFixture.h"
#include "ButtonTestSupport.h"

#include <chrono>
#include <cstdlib>

#include "platform/rtl/Clock.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/buttons/ExSpeedButton.h"
#include "quillo/components/lists/CheckListBox.h"
#include "quillo/components/panels/ExSplitter.h"
#include "quillo/components/panels/ScrollingTextPanel.h"

namespace {

using namespace buttons_testing;


class ButtonsDemoTest : public ComponentTest {};

TEST_F(ButtonsDemoTest, EveryControlShows) {
  auto* form = NewComponent<TForm>(Application());
  form->SetName("ButtonsDemo");
  form->SetCaption("Buttons, lists and panels");
  form->SetBounds(60, 40, 560, 360);

  // A row of speed buttons: up, down in a group, disabled, flat, with a caption, with a menu.
  auto* bar = NewComponent<TPanel>(form);
  bar->SetAlign(alTop);
  bar->SetHeight(34);
  bar->SetParent(form);
  const TColor colours[] = {clRed, clGreen, clBlue, clTeal, clPurple, clOlive};
  std::vector<TExSpeedButton*> buttons;
  for (int i = 0; i < 6; ++i) {
    auto* b = NewComponent<TExSpeedButton>(form);
    b->SetBounds(4 + 28 * i, 4, 25, 25);
    auto glyph = MakeStrip({colours[i]});
    b->SetGlyph(glyph.get());
    b->SetParent(bar);
    buttons.push_back(b);
  }
  buttons[1]->SetGroupIndex(1);
  buttons[1]->SetDown(true);
  buttons[2]->SetEnabled(false);
  buttons[3]->SetFlat(true);
  buttons[4]->SetBounds(4 + 28 * 4, 4, 60, 25);
  buttons[4]->SetLayout(blGlyphLeft);
  buttons[4]->SetCaption("&Save");
  buttons[5]->SetBounds(4 + 28 * 4 + 64, 4, 40, 25);
  auto* menu = NewComponent<TPopupMenu>(form);
  auto* item = NewComponent<TMenuItem>(menu);
  item->SetCaption("&Item");
  menu->GetItems()->Add(item);
  buttons[5]->SetDropDownMenu(menu);

  // A check list on the left, a splitter, and the scrolling panel filling the rest.
  auto* checks = NewComponent<TExCheckListBox>(form);
  checks->SetName("Options");
  checks->SetAlign(alLeft);
  checks->SetWidth(170);
  checks->SetParent(form);
  checks->SetAllowGrayed(true);
  for (const char* text : {"Show rulers", "Snap to grid", "Antialias", "Old palette"}) checks->GetItems()->Add(text);
  checks->SetState(0, cbChecked);
  checks->SetState(2, cbGrayed);
  checks->SetEnabledItem(3, false);

  auto* splitter = NewComponent<TExSplitter>(form);
  splitter->SetLeft(180);
  splitter->SetParent(form);
  splitter->SetAlign(alLeft);

  auto* credits = NewComponent<TSecretPanel>(form);
  credits->SetAlign(alClient);
  credits->SetParent(form);
  for (const char* line : {"quillo", "", "a raster paint program", "with its own graphics library"})
    credits->GetLines()->Add(line);
  credits->SetCycled(true);

  form->Show();
  ui.RunUntilIdle();
  credits->SetActive(true);
  ui.RunUntilIdle();

  EXPECT_EQ(splitter->GetControlFirst(), checks);
  EXPECT_EQ(splitter->SizingStyle(), spVerticalFirst);
  EXPECT_EQ(PixelOf(ui, buttons[0], 12, 12), Rgb(clRed));
  EXPECT_EQ(buttons[1]->State(), rbsExclusive);
  EXPECT_TRUE(credits->GetActive());
  ui.ShowToViewer(UiDriver::Hold::Live);
  credits->SetActive(false);
}

}  // namespace
