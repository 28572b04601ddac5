#include "quillo/components/dates/SelectDateDlg.h"

#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/Application.h"
#include "quillo/components/dates/DateUtil.h"

namespace {

constexpr int kButtonSize = 20;

TOwnedPtr<TSelectDateDlg> CreateDateDialog(const AnsiString& caption) {
  // The holder frees it; freeing takes it off the application's list.
  TOwnedPtr<TSelectDateDlg> dialog(NewComponent<TSelectDateDlg>(Application()));
  if (!caption.empty()) dialog->SetCaption(caption);
  dialog->SetPosition(poScreenCenter);
  return dialog;
}

void ApplySettings(TSelectDateDlg* dialog, TDayOfWeekName startOfWeek, TDaysOfWeek weekends, TColor weekendColor,
                   TStrings* hints) {
  dialog->Calendar()->SetStartOfWeek(startOfWeek);
  dialog->Calendar()->SetWeekends(weekends);
  dialog->Calendar()->SetWeekendColor(weekendColor);
  if (!hints) return;
  const TCalendarButton order[] = {cbPrevYear, cbPrevMonth, cbNextMonth, cbNextYear};
  for (int i = 0; i < 4 && i < hints->Count(); ++i)
    if (!hints->Get(i).empty()) dialog->NavButton(order[i])->SetHint(hints->Get(i));
}

}  // namespace

QUILLO_DEFINE_PUBLISHED_CLASS(TSelectDateDlg, TForm)

const TPropTable* TSelectDateDlg::PublishedProperties() {
  static const TPropTable table = TPublisher<TSelectDateDlg>().Table();
  return &table;
}

TSelectDateDlg::TSelectDateDlg(TComponent* owner) : TForm(owner) {
  SetName("SelectDateDlg");
  SetBorderStyle(bsDialog);
  SetClientWidth(226);
  SetClientHeight(196);
  SetKeyPreview(true);
  title_ = NewComponent<TPanel>(this);
  title_->SetName("TitlePanel");
  title_->SetAlign(alTop);
  title_->SetHeight(28);
  title_->SetParent(this);
  title_->OnDblClick = [this](TObject*) { SetDate(::Date()); };
  const struct {
    TCalendarButton which;
    const char* name;
    bool next;
    int count;
    int left;
  } navs[] = {{cbPrevYear, "PrevYearBtn", false, 2, 3},
              {cbPrevMonth, "PrevMonthBtn", false, 1, 3 + kButtonSize},
              {cbNextMonth, "NextMonthBtn", true, 1, 226 - 3 - 2 * kButtonSize},
              {cbNextYear, "NextYearBtn", true, 2, 226 - 3 - kButtonSize}};
  for (const auto& nav : navs) {
    auto* b = NewComponent<TExTimerSpeedButton>(this);
    b->SetName(nav.name);
    b->SetBounds(nav.left, 3, kButtonSize, kButtonSize);
    TOwnedPtr<TBitmap> glyph = MakeCalendarArrowGlyph(nav.next, nav.count);
    b->SetGlyph(glyph.get());
    b->SetParent(title_);
    b->OnClick = [this, which = nav.which](TObject*) { TurnCalendarPage(calendar_, which); };
    buttons_[nav.which] = b;
  }
  calendar_ = NewComponent<TExCalendar>(this);
  calendar_->SetName("Calendar");
  calendar_->SetBounds(4, 32, 218, 126);
  // Tab turns the month here, so the calendar asks for it rather than letting it move the focus.
  calendar_->SetOptions(calendar_->GetOptions() << goTabs);
  calendar_->SetParent(this);
  calendar_->OnChange = [this](TObject*) { UpdateTitle(); };
  calendar_->OnDblClick = [this](TObject*) { SetModalResult(mrOk); };
  ok_ = NewComponent<TButton>(this);
  ok_->SetName("OkBtn");
  ok_->SetCaption("OK");
  ok_->SetModalResult(mrOk);
  ok_->SetDefault(true);
  ok_->SetBounds(66, 164, 75, 25);
  ok_->SetParent(this);
  cancel_ = NewComponent<TButton>(this);
  cancel_->SetName("CancelBtn");
  cancel_->SetCaption("Cancel");
  cancel_->SetModalResult(mrCancel);
  cancel_->SetCancel(true);
  cancel_->SetBounds(147, 164, 75, 25);
  cancel_->SetParent(this);
  OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) { FormKeyDown(key, shift); };
  SetActiveControl(calendar_);
  UpdateTitle();
}

void TSelectDateDlg::SetDate(TDateTime value) {
  calendar_->SetCalendarDate(value == NullDate ? ::Date() : value);
  UpdateTitle();
}

void TSelectDateDlg::UpdateTitle() { title_->SetCaption(FormatDateTime("MMMM, YYYY", calendar_->GetCalendarDate())); }

void TSelectDateDlg::FormKeyDown(WORD& key, TShiftState shift) {
  const bool ctrl = shift.Contains(ssCtrl);
  switch (key) {
    case VK_ESCAPE: SetModalResult(mrCancel); break;
    case VK_RETURN: SetModalResult(mrOk); break;
    case VK_TAB:
      if (shift == TShiftState{ssShift}) calendar_->PrevMonth();
      else if (shift.Empty()) calendar_->NextMonth();
      else return;
      break;
    case VK_PRIOR:
      if (ctrl) calendar_->PrevYear();
      else calendar_->PrevMonth();
      break;
    case VK_NEXT:
      if (ctrl) calendar_->NextYear();
      else calendar_->NextMonth();
      break;
    default: return;
  }
  key = 0;
  title_->Update();
}

bool PopupDate(TDateTime& date, TWinControl* edit) {
  TOwnedPtr<TSelectDateDlg> dialog = CreateDateDialog("");
  dialog->SetBorderIcons(TBorderIcons{});
  dialog->SetPosition(poDesigned);
  if (edit) {
    const TPoint p = edit->ClientToScreen(TPoint(0, edit->GetHeight()));
    dialog->SetBounds(p.x, p.y, dialog->GetWidth(), dialog->GetHeight());
  }
  dialog->SetDate(date);
  if (dialog->ShowModal() != mrOk) return false;
  date = dialog->GetDate();
  return true;
}

bool SelectDate(TDateTime& date, const AnsiString& caption, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                TColor weekendColor, TStrings* buttonHints) {
  TOwnedPtr<TSelectDateDlg> dialog = CreateDateDialog(caption);
  dialog->SetDate(date);
  ApplySettings(dialog.get(), startOfWeek, weekends, weekendColor, buttonHints);
  if (dialog->ShowModal() != mrOk) return false;
  date = dialog->GetDate();
  return true;
}

bool SelectDateStr(AnsiString& date, const AnsiString& caption, TDayOfWeekName startOfWeek, TDaysOfWeek weekends,
                   TColor weekendColor, TStrings* buttonHints) {
  TDateTime value = date.empty() ? ::Date() : StrToDateFmt(ShortDateFormat, date);
  if (!SelectDate(value, caption, startOfWeek, weekends, weekendColor, buttonHints)) return false;
  date = FormatDateTime(ShortDateFormat, value);
  return true;
}
