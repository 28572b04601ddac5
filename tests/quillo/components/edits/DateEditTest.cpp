// The date edit as a user meets it: a date typed through its mask, a date picked from the
// drop-down calendar with the mouse or the keys, the popup opened and closed every way
// (button, Alt+Down, F4, Escape, Enter, a click outside, the button again), the keys that
// step the date, and the date dialog of the dialog style.

#include "EditsFixture.h"

#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/edits/PopupCalendar.h"
#include "quillo/components/dates/SelectDateDlg.h"
#include "quillo/components/edits/DateEdit.h"

namespace edits_testing {
namespace {

class DateEditTest : public EditsTest {
protected:
  void SetUp() override {
    EditsTest::SetUp();
    edit = NewComponent<TDateEdit>(form);
    edit->SetName("DateEdit");
    edit->SetBounds(20, 20, 120, 21);
    edit->SetParent(form);
    edit->SetText("");  // naming an edit sets its text, as the framework does
    edit->OnChange = [this](TObject*) { ++changes; };
    other = NewComponent<TEdit>(form);
    other->SetBounds(20, 200, 100, 21);
    other->SetParent(form);
    ShowForm();
  }
  TPopupCalendar* Popup() { return static_cast<TPopupCalendar*>(edit->Popup()); }
  void ClickButton() {
    TEditButton* b = edit->Button();
    POINT p = At(b, b->GetWidth() / 2, b->GetHeight() / 2);
    ui.Click(p.x, p.y);
  }
  void Focus() {
    edit->SetFocus();
    ui.RunUntilIdle();
  }
  void AltDown() {
    ui.KeyDown(VK_MENU);
    ui.Press(VK_DOWN);
    ui.KeyUp(VK_MENU);
  }
  // The screen point of day n in the open popup.
  POINT PopupDay(int n) {
    TLocCalendar* cal = Popup()->Calendar();
    for (int row = 1; row < 7; ++row)
      for (int col = 0; col < 7; ++col)
        if (cal->CellText(col, row) == AnsiString(std::to_string(n))) {
          TRect r = cal->CellRect(col, row);
          return At(cal, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        }
    ADD_FAILURE() << "no day " << n;
    return POINT{0, 0};
  }
  bool PopupShowing() { return edit->GetPopupVisible() && IsWindowVisible(Popup()->GetHandle()); }

  TDateEdit* edit = nullptr;
  TEdit* other = nullptr;
  int changes = 0;
};

TEST_F(DateEditTest, NewEditIsMaskedToTheShortDateOrder) {
  EXPECT_EQ(edit->DateFormat(), "MM/DD/YYYY");
  EXPECT_EQ(edit->GetEditMask(), "!99/99/9999;1; ");
  EXPECT_EQ(edit->GetText(), "  /  /    ");
  EXPECT_EQ(edit->GetDate(), NullDate);
  EXPECT_EQ(edit->GetGlyphKind(), gkDefault);
  EXPECT_EQ(edit->GetNumGlyphs(), 2);
  EXPECT_EQ(GetEnumProp(edit, "CalendarStyle"), "csPopup");
  edit->SetYearDigits(dyTwo);
  EXPECT_EQ(edit->GetEditMask(), "!99/99/99;1; ");
  edit->SetDate(EncodeDate(2024, 6, 5));
  EXPECT_EQ(edit->GetText(), "06/05/24");
}

TEST_F(DateEditTest, DateTypedThroughTheMask) {
  Focus();
  edit->SetSelStart(0);
  ui.Type("0615");
  EXPECT_EQ(edit->GetText(), "06/15/    ");
  ui.Type("2024");
  EXPECT_EQ(edit->GetText(), "06/15/2024");
  EXPECT_EQ(edit->GetDate(), EncodeDate(2024, 6, 15));
  ui.Type("9");  // past the last place: refused
  EXPECT_EQ(edit->GetText(), "06/15/2024");
  // Letters are refused; Backspace blanks a place and steps over the separator.
  edit->SetSelStart(3);
  ui.Type("x");
  EXPECT_EQ(edit->GetText(), "06/15/2024");
  edit->SetSelStart(3);
  ui.Press(VK_BACK);
  EXPECT_EQ(edit->GetText(), "0 /15/2024");
  EXPECT_EQ(edit->GetDate(), NullDate);  // no whole date
  ui.Type("7");
  EXPECT_EQ(edit->GetText(), "07/15/2024");
  EXPECT_EQ(edit->GetDate(), EncodeDate(2024, 7, 15));
}

TEST_F(DateEditTest, DatePickedFromTheCalendarWithTheMouse) {
  edit->SetDate(EncodeDate(2024, 2, 10));
  ClickButton();
  ASSERT_TRUE(PopupShowing());
  EXPECT_TRUE(edit->Focused());  // the popup does not take the focus
  EXPECT_EQ(Popup()->Calendar()->GetCalendarDate(), EncodeDate(2024, 2, 10));
  EXPECT_EQ(Popup()->Title()->GetCaption(), "February, 2024");
  // Below the edit, right edges aligned (the popup is wider than the edit).
  RECT er, pr;
  GetWindowRect(edit->GetHandle(), &er);
  GetWindowRect(Popup()->GetHandle(), &pr);
  EXPECT_EQ(pr.top, er.bottom);
  EXPECT_EQ(pr.right, er.right);
  // A month on with the button, then a day.
  TExTimerSpeedButton* next = Popup()->NavButton(cbNextMonth);
  POINT p = At(next, next->GetWidth() / 2, next->GetHeight() / 2);
  ui.Click(p.x, p.y);
  EXPECT_EQ(Popup()->Title()->GetCaption(), "March, 2024");
  p = PopupDay(21);
  ui.Click(p.x, p.y);
  EXPECT_FALSE(PopupShowing());
  EXPECT_EQ(edit->GetText(), "03/21/2024");
  EXPECT_EQ(edit->GetDate(), EncodeDate(2024, 3, 21));
  EXPECT_EQ(changes, 2);  // the date set before, and the one picked
  EXPECT_TRUE(edit->Focused());
}

TEST_F(DateEditTest, CalendarDrivenByKeysWhileOpen) {
  edit->SetDate(EncodeDate(2024, 1, 31));
  Focus();
  AltDown();
  ASSERT_TRUE(PopupShowing());
  ui.Press(VK_NEXT);  // a month on: 31 January becomes 29 February
  EXPECT_EQ(Popup()->Calendar()->GetCalendarDate(), EncodeDate(2024, 2, 29));
  ui.Press(VK_RIGHT);
  ui.Press(VK_DOWN);
  ui.KeyDown(VK_CONTROL);
  ui.Press(VK_PRIOR);  // a year back
  ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(Popup()->Calendar()->GetCalendarDate(), EncodeDate(2023, 3, 8));
  EXPECT_EQ(edit->GetText(), "01/31/2024");  // nothing taken while open
  ui.Press(VK_RETURN);
  EXPECT_FALSE(PopupShowing());
  EXPECT_EQ(edit->GetText(), "03/08/2023");
}

TEST_F(DateEditTest, PopupOpensAndClosesEveryWay) {
  edit->SetDate(EncodeDate(2024, 5, 20));
  const AnsiString start = edit->GetText();
  struct Way {
    const char* name;
    std::function<void()> open;
    std::function<void()> close;
    bool accepts;
  };
  auto clickOutside = [&] {
    POINT p = At(form, 300, 150);  // the form's empty client area
    ui.Click(p.x, p.y);
  };
  auto clickOther = [&] {
    POINT p = At(other, 5, 5);
    ui.Click(p.x, p.y);
  };
  const std::vector<Way> ways = {
      {"Escape", [&] { ClickButton(); }, [&] { ui.Press(VK_ESCAPE); }, false},
      {"F4 twice", [&] { Focus(); ui.Press(VK_F4); }, [&] { ui.Press(VK_F4); }, true},
      {"Alt+Down twice", [&] { Focus(); AltDown(); }, [&] { AltDown(); }, true},
      {"button twice", [&] { ClickButton(); }, [&] { ClickButton(); }, true},
      {"click outside", [&] { ClickButton(); }, clickOutside, false},
      {"focus elsewhere", [&] { ClickButton(); }, clickOther, false},
      {"click in the edit", [&] { ClickButton(); }, [&] { POINT p = At(edit, 5, 5); ui.Click(p.x, p.y); }, false},
  };
  for (const Way& w : ways) {
    edit->SetDate(EncodeDate(2024, 5, 20));
    w.open();
    ASSERT_TRUE(PopupShowing()) << w.name;
    EXPECT_TRUE(edit->GetReadOnly() == false) << w.name;
    ui.Press(VK_ADD);  // a day on in the calendar
    w.close();
    EXPECT_FALSE(PopupShowing()) << w.name;
    EXPECT_EQ(edit->GetText(), w.accepts ? "05/21/2024" : start) << w.name;
  }
}

TEST_F(DateEditTest, NavigationButtonRepeatsWhileHeldAndTakesItsHint) {
  auto* hints = edit->GetCalendarHints();
  for (const char* h : {"Year back", "Year on", "Month back", "Month on", "dropped"}) hints->Add(h);
  EXPECT_EQ(hints->Count(), 4);  // at most four are kept
  EXPECT_EQ(Popup()->NavButton(cbNextMonth)->GetHint(), "Month on");
  EXPECT_EQ(Popup()->NavButton(cbPrevYear)->GetHint(), "Year back");
  edit->SetDate(EncodeDate(2024, 1, 15));
  ClickButton();
  ASSERT_TRUE(PopupShowing());
  TExTimerSpeedButton* next = Popup()->NavButton(cbNextMonth);
  POINT p = At(next, next->GetWidth() / 2, next->GetHeight() / 2);
  ui.MouseDown(p.x, p.y);
  for (int i = 0; i < 10; ++i) ui.Advance(100);
  ui.MouseUp(p.x, p.y);
  // The press, then repeats once the initial pause has passed.
  const int months = ExtractMonth(Popup()->Calendar()->GetCalendarDate()) - 1;
  EXPECT_GE(months, 3);
  EXPECT_EQ(Popup()->Title()->GetCaption(), FormatDateTime("MMMM, YYYY", Popup()->Calendar()->GetCalendarDate()));
  ui.Press(VK_ESCAPE);
}

TEST_F(DateEditTest, CheckOnExitRewritesATypedDate) {
  edit->SetCheckOnExit(true);
  Focus();
  edit->SetSelStart(0);
  ui.Type("02292024");
  POINT p = At(other, 5, 5);
  ui.Click(p.x, p.y);
  EXPECT_EQ(edit->GetDate(), EncodeDate(2024, 2, 29));
  EXPECT_EQ(edit->GetText(), "02/29/2024");
}

TEST_F(DateEditTest, CheckOnExitRefusesAnImpossibleDate) {
  edit->SetCheckOnExit(true);
  Focus();
  edit->SetSelStart(0);
  ui.Type("13452024");
  ui.AnswerMessageBoxes({IDOK});
  POINT p = At(other, 5, 5);
  ui.Click(p.x, p.y);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_NE(ui.MessageBoxTexts()[0].find("is not a valid date"), std::string::npos);
  EXPECT_EQ(edit->GetText(), "13/45/2024");  // the typing is kept
}

TEST_F(DateEditTest, PopupOpensAboveWhenThereIsNoRoomBelow) {
  form->SetTop(800 - 60);
  ui.RunUntilIdle();
  ClickButton();
  ASSERT_TRUE(PopupShowing());
  RECT er, pr;
  GetWindowRect(edit->GetHandle(), &er);
  GetWindowRect(Popup()->GetHandle(), &pr);
  EXPECT_EQ(pr.bottom, er.top);
  ui.Press(VK_ESCAPE);
}

TEST_F(DateEditTest, PopupStaysOnTheScreenAndFollowsItsAlignment) {
  // Where the edit's window stands, the alignment, and where the popup's left edge must be.
  struct Case {
    int formLeft;
    TPopupAlign align;
    const char* expect;  // "right": right edges aligned; "left": left edges; "screen": clamped
  };
  const std::vector<Case> cases = {
      {300, epaRight, "right"}, {300, epaLeft, "left"}, {-30, epaRight, "left"}, {1280 - 150, epaLeft, "right"}};
  for (const Case& c : cases) {
    form->SetLeft(c.formLeft);
    edit->SetPopupAlign(c.align);
    ui.RunUntilIdle();
    ClickButton();
    ASSERT_TRUE(PopupShowing());
    RECT er, pr;
    GetWindowRect(edit->GetHandle(), &er);
    GetWindowRect(Popup()->GetHandle(), &pr);
    if (std::string(c.expect) == "right") EXPECT_EQ(pr.right, er.right) << c.formLeft;
    else EXPECT_EQ(pr.left, std::max<LONG>(er.left, 0)) << c.formLeft;
    EXPECT_GE(pr.left, 0);
    EXPECT_LE(pr.right, 1280);
    ui.Press(VK_ESCAPE);
  }
}

TEST_F(DateEditTest, KeysStepTheDateAndTGoesToToday) {
  edit->SetDate(EncodeDate(2024, 3, 1));
  Focus();
  ui.Press(VK_SUBTRACT);
  EXPECT_EQ(edit->GetText(), "02/29/2024");
  ui.Press(VK_ADD);
  ui.Press(VK_ADD);
  EXPECT_EQ(edit->GetText(), "03/02/2024");
  EXPECT_EQ(edit->GetSelLength(), static_cast<int>(edit->GetText().size()));  // the date selected
  ui.Type("t");
  EXPECT_EQ(edit->GetDate(), Date());
}

TEST_F(DateEditTest, AcceptDateHandlerMayChangeOrRefuseThePick) {
  edit->SetDate(EncodeDate(2024, 2, 10));
  int offered = 0;
  edit->OnAcceptDate = [&](TObject*, TDateTime& date, bool& action) {
    ++offered;
    if (ExtractDay(date) == 13) action = false;
    else date = date + 1;
  };
  ClickButton();
  POINT p = PopupDay(13);
  ui.Click(p.x, p.y);
  EXPECT_EQ(edit->GetText(), "02/10/2024");
  ClickButton();
  p = PopupDay(14);
  ui.Click(p.x, p.y);
  EXPECT_EQ(edit->GetText(), "02/15/2024");
  EXPECT_EQ(offered, 2);
}

TEST_F(DateEditTest, DialogStylePicksADateInTheDateDialog) {
  edit->SetCalendarStyle(csDialog);
  EXPECT_EQ(edit->Popup(), nullptr);
  edit->SetDate(EncodeDate(2024, 4, 10));
  ui.WhenModalWaits([&] {
    HWND dlg = FindWindow(nullptr, "Select a Date");
    ASSERT_NE(dlg, nullptr);
    ui.QueuePress(VK_NEXT);   // a month on
    ui.QueuePress(VK_RIGHT);  // a day on
    ui.QueuePress(VK_RETURN);
  });
  ClickButton();
  EXPECT_EQ(edit->GetText(), "05/11/2024");
  // Escape leaves the date alone.
  ui.WhenModalWaits([&] {
    ui.QueuePress(VK_NEXT);
    ui.QueuePress(VK_ESCAPE);
  });
  ClickButton();
  EXPECT_EQ(edit->GetText(), "05/11/2024");
}

TEST_F(DateEditTest, SelectDateStrReadsAndWritesTheShortDateFormat) {
  AnsiString text = "2/3/2024";
  ui.WhenModalWaits([&] {
    ui.QueuePress(VK_TAB);  // next month
    ui.QueuePress(VK_RETURN);
  });
  EXPECT_TRUE(SelectDateStr(text, "Pick", Mon, TDaysOfWeek{Sun}, clRed, nullptr));
  EXPECT_EQ(text, "3/3/2024");
}

}  // namespace
}  // namespace edits_testing
