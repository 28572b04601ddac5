#include "quillo/components/edits/PopupCalendar.h"

#include <algorithm>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "quillo/components/dates/DateUtil.h"

namespace {

constexpr int kTitleHeight = 24;
constexpr int kButtonSize = 18;

}  // namespace

QUILLO_DEFINE_CLASS(TPopupCalendar, TPopupWindow)

TPopupCalendar::TPopupCalendar(TComponent* owner, TCustomComboEdit* editor) : TPopupWindow(owner, editor) {
  SetColor(clBtnFace);
  SetBounds(0, 0, 190, 156);
  title_ = NewComponent<TPanel>(this);
  title_->SetAlign(alTop);
  title_->SetHeight(kTitleHeight);
  title_->SetBevelOuter(bvNone);
  title_->SetParent(this);
  title_->OnDblClick = [this](TObject*) {
    calendar_->SetCalendarDate(Date());
    UpdateTitle();
  };
  struct Nav {
    TCalendarButton which;
    bool next;
    int count;
  };
  const Nav navs[] = {{cbPrevYear, false, 2}, {cbPrevMonth, false, 1}, {cbNextMonth, true, 1}, {cbNextYear, true, 2}};
  int index = 0;
  for (const Nav& nav : navs) {
    auto* b = NewComponent<TExTimerSpeedButton>(this);
    b->SetFlat(true);
    const bool right = index >= 2;
    const int slot = right ? index - 2 : index;
    b->SetBounds(right ? GetClientWidth() - 2 * kButtonSize - 2 + slot * kButtonSize : 2 + slot * kButtonSize, 3,
                 kButtonSize, kButtonSize);
    TOwnedPtr<TBitmap> glyph = MakeCalendarArrowGlyph(nav.next, nav.count);
    b->SetGlyph(glyph.get());
    b->SetParent(title_);
    b->OnClick = [this, which = nav.which](TObject*) { TurnCalendarPage(calendar_, which); };
    buttons_[nav.which] = b;
    ++index;
  }
  calendar_ = NewComponent<TLocCalendar>(this);
  calendar_->SetAlign(alClient);
  calendar_->SetParent(this);
  calendar_->OnChange = [this](TObject*) { UpdateTitle(); };
  calendar_->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) { CalendarMouseUp(b, s, x, y); };
  UpdateTitle();
}

void TPopupCalendar::UpdateTitle() { title_->SetCaption(FormatDateTime("MMMM, YYYY", calendar_->GetCalendarDate())); }

TPopupValue TPopupCalendar::GetValue() { return TPopupValue(calendar_->GetCalendarDate()); }

void TPopupCalendar::SetValue(const TPopupValue& value) {
  AnsiString bare = PopupValueToStr(value);
  bare.erase(std::remove(bare.begin(), bare.end(), DateSeparator), bare.end());
  TDateTime date = Date();
  if (!Trim(bare).empty() && !PopupValueIsNull(value)) {
    if (const auto* d = std::get_if<TDateTime>(&value)) date = *d;
    else date = StrToDateFmtDef(dateFormat_.empty() ? DefDateFormat(fourDigitYear_) : dateFormat_, PopupValueToStr(value), Date());
  }
  calendar_->SetCalendarDate(date);
  UpdateTitle();
}

void TPopupCalendar::CalendarMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button != mbLeft || shift.Contains(ssShift) || shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return;
  const TGridCoord cell = calendar_->MouseCoord(x, y);
  if (cell.Y >= 1 && !calendar_->CellText(cell.X, cell.Y).empty()) CloseUp(true);
}

void TPopupCalendar::HandleKey(WORD& key, TShiftState shift) {
  const bool ctrl = shift.Contains(ssCtrl);
  if (key == VK_PRIOR) {
    if (ctrl) calendar_->PrevYear();
    else calendar_->PrevMonth();
    key = 0;
  } else if (key == VK_NEXT) {
    if (ctrl) calendar_->NextYear();
    else calendar_->NextMonth();
    key = 0;
  } else {
    calendar_->HandleKey(key, shift);
  }
}

void TPopupCalendar::HandleChar(char& key) { calendar_->HandleChar(key); }

TPopupWindow* CreatePopupCalendar(TCustomComboEdit* owner) { return NewComponent<TPopupCalendar>(owner, owner); }

void SetupPopupCalendar(TPopupWindow* popup, TDayOfWeekName startOfWeek, TDaysOfWeek weekends, TColor weekendColor,
                        TStrings* hints, bool fourDigitYear) {
  auto* calendar = dynamic_cast<TPopupCalendar*>(popup);
  if (!calendar) return;
  calendar->SetFourDigitYear(fourDigitYear);
  calendar->Calendar()->SetStartOfWeek(startOfWeek);
  calendar->Calendar()->SetWeekendColor(weekendColor);
  calendar->Calendar()->SetWeekends(weekends);
  if (!hints) return;
  const TCalendarButton order[] = {cbPrevYear, cbNextYear, cbPrevMonth, cbNextMonth};
  for (int i = 0; i < 4 && i < hints->Count(); ++i) {
    const AnsiString hint = hints->Get(i);
    if (!hint.empty()) calendar->NavButton(order[i])->SetHint(hint);
  }
}
