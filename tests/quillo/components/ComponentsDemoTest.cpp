// Every window component on one gradient caption form, each made in code with its default
// properties and a few settings, beside a form with a band caption: what a user of the
// program's dialogs sees of them. Checked where a user would look, and shown to a viewer by
// scripts/screenshot-components.sh (QUILLO_SHOT saves the desktop, QUILLO_DEMO_HOLD_MS keeps it).

#include "ComponentFixture.h"
#include "buttons/ButtonTestSupport.h"

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "quillo/components/buttons/ExSpeedButton.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/captions/GradientForm.h"
#include "quillo/components/dates/Calendar.h"
#include "quillo/components/dates/DateUtil.h"
#include "quillo/components/edits/ComboEdit.h"
#include "quillo/components/edits/DateEdit.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/labels/ExLabel.h"
#include "quillo/components/labels/FileLabel.h"
#include "quillo/components/lists/CheckListBox.h"
#include "quillo/components/lists/ExListBox.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/panels/ExSplitter.h"
#include "quillo/components/panels/FriendlyStatusBar.h"
#include "quillo/components/panels/PercentProgress.h"
#include "quillo/components/panels/ScrollingTextPanel.h"
#include "quillo/components/panels/XPanel.h"

namespace {

using buttons_testing::MakeStrip;
using buttons_testing::Rgb;

class ComponentsDemoTest : public ComponentTest {
protected:
  template <class T>
  T* Make(TWinControl* parent, int left, int top, int width, int height) {
    T* c = NewComponent<T>(form);
    c->SetBounds(left, top, width, height);
    c->SetParent(parent);
    return c;
  }
  // A caption on the left of a control in the edits column.
  void Caption(const char* text, int top) {
    auto* label = Make<TLabel>(form, 12, top + 3, 80, 16);
    label->SetCaption(text);
  }
  TGradientForm* form = NewComponent<TGradientForm>(Application());
};

TEST_F(ComponentsDemoTest, EveryComponentOnOneForm) {
  form->SetBounds(24, 24, 800, 480);
  form->SetCaption("Window components");
  form->SetColor(clBtnFace);

  auto* title = Make<TExLabel>(form, 12, 6, 200, 26);
  title->GetFont()->SetSize(14);
  title->GetFont()->SetStyle(fsBold);
  title->SetShadowColor(clBtnShadow);
  title->SetShadowSize(2);
  title->SetShadowPos(spRightBottom);
  title->SetCaption("Window components");
  auto* path = Make<TFileLabel>(form, 230, 12, 300, 17);
  path->SetDirection(drFromRight);
  path->SetFileName("/home/ann/pictures/holidays/2024/summer/at the beach/beach.png");

  // Speed buttons: up, down in a group, disabled, flat, with a caption.
  const TColor colours[] = {clRed, clGreen, clBlue, clTeal, clPurple};
  std::vector<TExSpeedButton*> buttons;
  for (int i = 0; i < 5; ++i) {
    auto* b = Make<TExSpeedButton>(form, 12 + 28 * i, 40, i == 4 ? 64 : 25, 25);
    auto glyph = MakeStrip({colours[i]});
    b->SetGlyph(glyph.get());
    buttons.push_back(b);
  }
  buttons[1]->SetGroupIndex(1);
  buttons[1]->SetDown(true);
  buttons[2]->SetEnabled(false);
  buttons[3]->SetFlat(true);
  buttons[4]->SetLayout(blGlyphLeft);
  buttons[4]->SetCaption("&Save");

  // The edits column.
  Caption("Spin edit", 76);
  auto* spin = Make<TExSpinEdit>(form, 96, 76, 90, 21);
  spin->SetValue(42);
  Caption("Up-down", 104);
  auto* updown = Make<TExSpinEdit>(form, 96, 104, 90, 21);
  updown->SetButtonKind(bkStandard);
  updown->SetValueType(vtFloat);
  updown->SetIncrement(0.25);
  updown->SetValue(1.5);
  Caption("Combo edit", 132);
  auto* combo = Make<TComboEdit>(form, 96, 132, 210, 21);
  combo->SetGlyphKind(gkEllipsis);
  combo->SetText("with a button");
  Caption("File name", 160);
  auto* file = Make<TFilenameEdit>(form, 96, 160, 210, 21);
  file->SetFileName("/home/ann/pictures/beach.png");
  Caption("Folder", 188);
  auto* folder = Make<TDirectoryEdit>(form, 96, 188, 210, 21);
  folder->SetText("/home/ann/pictures");
  Caption("Date", 216);
  auto* date = Make<TDateEdit>(form, 96, 216, 110, 21);
  date->SetDate(EncodeDate(2026, 12, 10));

  // A collapsible panel holding a check list box.
  auto* options = Make<TXPanel>(form, 12, 250, 294, 140);
  options->SetButtonCaption("Options");
  auto* checks = Make<TExCheckListBox>(options, 8, 24, 278, 108);
  checks->SetAllowGrayed(true);
  for (const char* text : {"Show rulers", "Snap to grid", "Antialias", "Old palette"}) checks->GetItems()->Add(text);
  checks->SetState(0, cbChecked);
  checks->SetState(2, cbGrayed);
  checks->SetEnabledItem(3, false);

  auto* percent = Make<TPercentProgress>(form, 12, 400, 294, 17);
  percent->SetCaption("Processing...");
  percent->SetProgressColor(clGray);
  percent->SetPosition(65);

  // The right side: a calendar, a scroll box, and a list, a splitter and the scrolling text
  // panel side by side on a panel.
  auto* calendar = Make<TExCalendar>(form, 330, 40, 226, 150);
  calendar->SetCalendarDate(EncodeDate(2026, 12, 10));
  auto* box = Make<TEventScrollBox>(form, 570, 40, 200, 150);
  auto* content = Make<TPanel>(box, 0, 0, 360, 300);
  content->SetCaption("Scrolled content");

  auto* row = Make<TPanel>(form, 330, 206, 440, 184);
  row->SetBevelOuter(bvNone);
  auto* list = NewComponent<TExListBox>(form);
  list->SetAlign(alLeft);
  list->SetWidth(170);
  list->SetParent(row);
  for (const char* text : {"beach.png", "forest.bmp", "a rather longer name than the list is wide.tga", "scan.pcx"})
    list->GetItems()->Add(text);
  list->SetItemIndex(1);
  auto* splitter = NewComponent<TExSplitter>(form);
  splitter->SetLeft(175);
  splitter->SetParent(row);
  splitter->SetAlign(alLeft);
  auto* credits = NewComponent<TSecretPanel>(form);
  credits->SetAlign(alClient);
  credits->SetParent(row);
  for (const char* line : {"quillo", "", "a raster paint program", "with its own graphics library"})
    credits->GetLines()->Add(line);
  credits->SetCycled(true);

  // A status bar holding a percentage bar in its third panel.
  auto* status = NewComponent<TFriendlyStatusBar>(form);
  status->SetParent(form);
  for (int width : {40, 90, 200, 50}) status->GetPanels()->Add()->SetWidth(width);
  status->GetPanels()->Items(0)->SetText("1");
  status->GetPanels()->Items(1)->SetText("640 x 480");
  auto* progress = NewComponent<TPercentProgress>(form);
  progress->SetParent(status);
  progress->SetProgressColor(clNavy);
  progress->GetFont()->SetColor(clWhite);
  progress->SetPosition(40);

  form->Show();
  ui.RunUntilIdle();
  TRect third = status->PanelRect(2);
  progress->SetBounds(third.left + 1, third.top + 1, third.Width() - 2, third.Height() - 2);

  auto* banded = NewComponent<TForm>(Application());
  banded->SetBounds(840, 24, 360, 160);
  banded->SetCaption("Band caption");
  banded->SetColor(clBtnFace);
  banded->Show();
  auto* band = NewComponent<TBandCaption>(banded);
  band->SetApplicationName("Band caption form");
  form->SetFocus();
  ui.RunUntilIdle();

  // Nothing overlaps in the edits column, every control shows where it was put, the list
  // sits beside the splitter, and what a user reads is there.
  std::vector<TControl*> column{spin, updown, combo, file, folder, date, options, percent};
  for (size_t i = 1; i < column.size(); ++i)
    EXPECT_GE(column[i]->GetTop(), column[i - 1]->GetTop() + column[i - 1]->GetHeight()) << column[i]->ClassName();
  EXPECT_EQ(splitter->GetControlFirst(), list);
  EXPECT_EQ(spin->GetText(), "42");
  EXPECT_NE(path->GetCaption(), path->GetFileName()) << "the path is shortened to fit";
  EXPECT_EQ(buttons[1]->State(), rbsExclusive);
  TPoint red = buttons[0]->ClientToScreen(TPoint(12, 12));
  EXPECT_EQ(ui.Pixel(red.x, red.y), Rgb(clRed));
  TPoint filled = progress->ClientToScreen(TPoint(40, progress->GetHeight() - 4));
  EXPECT_EQ(ui.Pixel(filled.x, filled.y), Rgb(clNavy));
  RECT w;
  GetWindowRect(form->GetHandle(), &w);
  EXPECT_NE(ui.Pixel(w.left + 40, w.top + 8), ui.Pixel(w.right - 120, w.top + 8)) << "a gradient, not one colour";

  credits->SetActive(true);
  ui.ShowToViewer(UiDriver::Hold::Live);
  credits->SetActive(false);
}

}  // namespace
