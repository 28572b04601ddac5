// Every edit control of the components on one form, made in code with its defaults, the
// date edit's calendar dropped down; checked where a user would look.
//
// QUILLO_DEMO_HOLD_MS=n keeps it on the screen for n milliseconds of real time (run with
// QUILLO_HOST=sdl to look at it), QUILLO_SHOT=path.bmp saves the desktop.

#include "EditsFixture.h"

#include <vector>

#include "platform/vcl/Label.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/dates/Calendar.h"
#include "quillo/components/edits/PopupCalendar.h"
#include "quillo/components/dates/SelectDateDlg.h"
#include "quillo/components/edits/ComboEdit.h"
#include "quillo/components/edits/DateEdit.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/edits/SpinEdit.h"

namespace edits_testing {
namespace {

class EditsDemoTest : public EditsTest {
protected:
  template <class T>
  T* Add(const char* caption, int top, int width = 160) {
    auto* label = NewComponent<TLabel>(form);
    label->SetCaption(caption);
    label->SetBounds(12, top + 3, 100, 16);
    label->SetParent(form);
    T* c = NewComponent<T>(form);
    c->SetBounds(116, top, width, c->GetHeight());
    c->SetParent(form);
    return c;
  }
};

TEST_F(EditsDemoTest, EveryEditOnOneForm) {
  form->SetBounds(60, 40, 560, 330);
  form->SetCaption("Edits");
  auto* spin = Add<TExSpinEdit>("Spin edit", 12, 90);
  spin->SetValue(42);
  auto* standard = Add<TExSpinEdit>("Up-down kind", 40, 90);
  standard->SetButtonKind(bkStandard);
  standard->SetAlignment(taRightJustify);
  standard->SetValue(7);
  auto* real = Add<TExSpinEdit>("Float", 68, 90);
  real->SetValueType(vtFloat);
  real->SetIncrement(0.25);
  real->SetValue(1.5);
  auto* combo = Add<TComboEdit>("Combo edit", 96);
  combo->SetGlyphKind(gkEllipsis);
  combo->SetText("with a button");
  auto* file = Add<TFilenameEdit>("File name", 124);
  file->SetFileName("/home/user/my picture.png");
  auto* folder = Add<TDirectoryEdit>("Folder", 152);
  folder->SetText("/home/user");
  auto* date = Add<TDateEdit>("Date edit", 180, 110);
  date->SetDate(EncodeDate(2026, 12, 10));
  auto* calendar = NewComponent<TExCalendar>(form);
  calendar->SetBounds(300, 12, 226, 150);
  calendar->SetParent(form);
  calendar->SetCalendarDate(EncodeDate(2026, 12, 10));
  ShowForm();
  TEditButton* b = date->Button();
  POINT p = At(b, b->GetWidth() / 2, b->GetHeight() / 2);
  ui.Click(p.x, p.y);
  ASSERT_TRUE(date->GetPopupVisible());
  EXPECT_EQ(static_cast<TPopupCalendar*>(date->Popup())->Title()->GetCaption(), "December, 2026");
  // Every control is where it was put, its button inside it.
  for (TCustomComboEdit* c : std::initializer_list<TCustomComboEdit*>{combo, file, folder, date})
    EXPECT_LE(c->ButtonHolder()->GetLeft() + c->ButtonHolder()->GetWidth(), c->GetClientWidth()) << c->GetName();
  EXPECT_EQ(spin->GetText(), "42");
  EXPECT_EQ(real->GetText(), "1.50");
  ui.ShowToViewer(UiDriver::Hold::Live);
  // The published properties, reachable by name as translation and form storage reach them.
  struct Published {
    TObject* object;
    std::vector<const char*> names;
  };
  const std::vector<Published> tables = {
      {spin, {"Alignment", "ArrowKeys", "ButtonKind", "Decimal", "EditorEnabled", "Increment", "MaxValue", "MinValue",
              "ValueType", "Value", "Text", "Enabled", "TabStop"}},
      {spin->DiagonalButton(), {"UpGlyph", "DownGlyph", "FocusControl"}},
      {combo, {"Alignment", "ButtonHint", "ButtonWidth", "ClickKey", "DirectInput", "EditMask", "Glyph", "GlyphKind",
               "NumGlyphs", "ReadOnly", "Text"}},
      {file, {"AcceptFiles", "DefaultExt", "DialogKind", "DialogOptions", "DialogTitle", "FileEditStyle", "Filter",
              "FilterIndex", "HistoryList", "InitialDir", "GlyphKind"}},
      {folder, {"AcceptFiles", "DialogKind", "DialogText", "InitialDir", "MultipleDirs"}},
      {date, {"BlanksChar", "CalendarHints", "CalendarStyle", "CheckOnExit", "Date", "DefaultToday", "DialogTitle",
              "PopupAlign", "PopupColor", "StartOfWeek", "WeekendColor", "Weekends", "YearDigits"}},
      {calendar, {"CalendarDate", "Day", "Month", "Year", "ReadOnly", "StartOfWeek", "UseCurrentDate", "WeekendColor",
                  "Weekends"}},
  };
  for (const Published& p : tables)
    for (const char* name : p.names) EXPECT_TRUE(IsPublishedProp(p.object, name)) << p.object->ClassName() << "." << name;
  EXPECT_EQ(GetSetProp(date, "Weekends"), "Sun");
  SetEnumProp(date, "StartOfWeek", "Sun");
  EXPECT_EQ(date->GetStartOfWeek(), Sun);
}

TEST_F(EditsDemoTest, DateDialog) {
  auto* dialog = NewComponent<TSelectDateDlg>(Application());
  dialog->SetCaption("Select a Date");
  dialog->SetDate(EncodeDate(2026, 12, 10));
  dialog->SetLeft(200);
  dialog->SetTop(120);
  dialog->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(dialog->Title()->GetCaption(), "December, 2026");
  // A double click on a day closes it with OK; here it stays open to be looked at.
  ui.ShowToViewer(UiDriver::Hold::Live);
}

}  // namespace
}  // namespace edits_testing
