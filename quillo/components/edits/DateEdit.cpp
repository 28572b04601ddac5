#include "quillo/components/edits/DateEdit.h"

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Screen.h"
#include "quillo/components/edits/PopupCalendar.h"
#include "quillo/components/dates/SelectDateDlg.h"
#include "quillo/components/edits/EditTexts.h"

QUILLO_DEFINE_ENUM_TYPE(TCalendarStyle, "csPopup", "csDialog")
QUILLO_DEFINE_ENUM_TYPE(TYearDigits, "dyDefault", "dyFour", "dyTwo")

namespace {

constexpr int kMaxHints = 4;

// A page with a red binding and two rows of day dots, 14 x 12.
void DrawCalendarIcon(TCanvas* c, int left, bool greyed) {
  const TColor ink = greyed ? clGray : clBlack;
  c->GetBrush()->SetColor(greyed ? clSilver : clWhite);
  c->FillRect(TRect(left + 1, 1, left + 13, 11));
  c->GetBrush()->SetColor(greyed ? clGray : clRed);
  c->FillRect(TRect(left + 1, 1, left + 13, 4));
  c->GetBrush()->SetColor(ink);
  c->FrameRect(TRect(left + 1, 1, left + 13, 12));
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 4; ++col) c->SetPixel(left + 3 + col * 3, 6 + row * 3, ink);
}

}  // namespace

TOwnedPtr<TBitmap> MakeDateEditGlyph() {
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetSize(28, 12);
  TCanvas* c = bitmap->GetCanvas();
  c->GetBrush()->SetColor(clOlive);  // the transparent colour (bottom-left pixel)
  c->FillRect(TRect(0, 0, 28, 12));
  DrawCalendarIcon(c, 0, false);
  DrawCalendarIcon(c, 14, true);
  c->SetPixel(0, 11, clOlive);
  return bitmap;
}

QUILLO_DEFINE_CLASS(TCustomDateEdit, TCustomComboEdit)

TCustomDateEdit::TCustomDateEdit(TComponent* owner)
    : TCustomComboEdit(owner), hints_(MakeObject<TStringList>()), dialogTitle_(edit_text::DateDialogTitle) {
  hints_->OnChange = [this](TObject*) {
    while (hints_->Count() > kMaxHints) hints_->Delete(hints_->Count() - 1);
    CalendarSettingsChanged();
  };
  SetDefNumGlyphs(2);
  SetGlyphKind(gkDefault);
  SetPopup(CreatePopupCalendar(this));
  Popup()->SetColor(popupColor_);
  Popup()->OnCloseUp = [this](TObject* sender, bool accept) { PopupCloseUp(sender, accept); };
  UpdateMask();
}

TCustomDateEdit::~TCustomDateEdit() = default;

TOwnedPtr<TBitmap> TCustomDateEdit::GetDefaultBitmap() { return MakeDateEditGlyph(); }

bool TCustomDateEdit::FourDigits() const {
  switch (yearDigits_) {
    case dyFour: return true;
    case dyTwo: return false;
    case dyDefault: break;
  }
  return FourDigitYear();
}

// ---- the date ----

TDateTime TCustomDateEdit::GetDate() {
  TDateTime date = NullDate;
  try {
    date = StrToDateFmt(dateFormat_, GetText());
  } catch (const EConvertError&) {
    date = NullDate;
  }
  if (date == NullDate && defaultToday_) date = ::Date();
  return date;
}

void TCustomDateEdit::SetDate(TDateTime value) {
  const TDateTime before = GetDate();
  if (!ValidDate(value) || value == NullDate) value = defaultToday_ ? ::Date() : NullDate;
  if (value == NullDate) SetText("");
  else SetText(FormatDateTime(dateFormat_, value));
  if (value != before) SetModified(true);
}

void TCustomDateEdit::ApplyDate(TDateTime value) {
  SetDate(value);
  SelectAll();
}

void TCustomDateEdit::UpdateMask() {
  const TDateTime date = GetDate();
  const AnsiString format = DefDateFormat(FourDigits());
  const AnsiString mask = DefDateMask(blanksChar_, FourDigits());
  if (format != dateFormat_ || mask != GetEditMask()) {
    dateFormat_ = format;
    SetEditMask("");
    SetEditMask(mask);
  }
  if (auto* calendar = dynamic_cast<TPopupCalendar*>(Popup())) calendar->SetDateFormat(dateFormat_);
  CalendarSettingsChanged();
  SetDate(date);
}

void TCustomDateEdit::CalendarSettingsChanged() {
  SetupPopupCalendar(Popup(), startOfWeek_, weekends_, weekendColor_, hints_.get(), FourDigits());
}

void TCustomDateEdit::SetBlanksChar(char value) {
  if (static_cast<unsigned char>(value) < 32) value = ' ';
  if (blanksChar_ == value) return;
  blanksChar_ = value;
  UpdateMask();
}

void TCustomDateEdit::SetYearDigits(TYearDigits value) {
  if (yearDigits_ == value) return;
  yearDigits_ = value;
  UpdateMask();
}

void TCustomDateEdit::SetCalendarHints(TStrings* value) { hints_->Assign(value); }

TColor TCustomDateEdit::GetPopupColor() const { return Popup() ? Popup()->GetColor() : popupColor_; }

void TCustomDateEdit::SetPopupColor(TColor value) {
  popupColor_ = value;
  if (Popup()) Popup()->SetColor(value);
}

void TCustomDateEdit::SetStartOfWeek(TDayOfWeekName value) {
  startOfWeek_ = value;
  CalendarSettingsChanged();
}

void TCustomDateEdit::SetWeekends(TDaysOfWeek value) {
  weekends_ = value;
  CalendarSettingsChanged();
}

void TCustomDateEdit::SetWeekendColor(TColor value) {
  weekendColor_ = value;
  CalendarSettingsChanged();
}

void TCustomDateEdit::SetCalendarStyle(TCalendarStyle value) {
  if (calendarStyle_ == value) return;
  calendarStyle_ = value;
  if (value == csPopup) {
    SetPopup(CreatePopupCalendar(this));
    Popup()->SetColor(popupColor_);
    Popup()->OnCloseUp = [this](TObject* sender, bool accept) { PopupCloseUp(sender, accept); };
    if (auto* calendar = dynamic_cast<TPopupCalendar*>(Popup())) calendar->SetDateFormat(dateFormat_);
    CalendarSettingsChanged();
  } else {
    TPopupWindow* popup = Popup();
    SetPopup(nullptr);
    FreeObject(popup);
  }
}

// ---- the popup and the dialog ----

bool TCustomDateEdit::AcceptPopup(TPopupValue& value) {
  if (!OnAcceptDate) return true;
  TDateTime date = NullDate;
  if (const auto* d = std::get_if<TDateTime>(&value)) date = *d;
  bool action = true;
  OnAcceptDate(this, date, action);
  if (action) value = TPopupValue(date);
  return action;
}

void TCustomDateEdit::AcceptValue(const TPopupValue& value) {
  const TDateTime date = std::holds_alternative<TDateTime>(value) ? std::get<TDateTime>(value) : NullDate;
  const AnsiString before = GetText();
  SetDate(date);
  UpdatePopupVisible();
  if (GetText() != before) DoChange();
}

void TCustomDateEdit::ButtonClick() {
  TCustomComboEdit::ButtonClick();
  if (Popup()) return;
  TDateTime date = GetDate();
  bool action = SelectDate(date, dialogTitle_, startOfWeek_, weekends_, weekendColor_, hints_.get());
  if (CanFocus()) SetFocus();
  if (action && OnAcceptDate) OnAcceptDate(this, date, action);
  if (!action) return;
  SetDate(date);
  if (Focused()) SelectAll();
}

// ---- keys ----

void TCustomDateEdit::KeyDown(WORD& key, TShiftState shift) {
  auto* calendar = dynamic_cast<TPopupCalendar*>(Popup());
  if (calendar && GetPopupVisible() && !shift.Contains(ssAlt)) {
    switch (key) {
      case VK_PRIOR: case VK_NEXT: case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
      case VK_HOME: case VK_END: case VK_ADD: case VK_SUBTRACT:
        calendar->HandleKey(key, shift);
        key = 0;
        return;
    }
  }
  if (GetDirectInput() && !GetPopupVisible() && (key == VK_ADD || key == VK_SUBTRACT) && EditCanModify()) {
    const TDateTime date = GetDate() == NullDate ? ::Date() : GetDate();
    ApplyDate(date + (key == VK_ADD ? 1 : -1));
    key = 0;
    return;
  }
  TCustomComboEdit::KeyDown(key, shift);
}

void TCustomDateEdit::KeyPress(char& key) {
  const bool special = key == '+' || key == '-' || key == 'T' || key == 't';
  if (special && GetPopupVisible()) {
    if (auto* calendar = dynamic_cast<TPopupCalendar*>(Popup())) calendar->HandleChar(key);
    key = 0;
    return;
  }
  if (special && GetDirectInput()) {
    if ((key == 'T' || key == 't') && EditCanModify()) ApplyDate(::Date());
    key = 0;
    return;
  }
  TCustomComboEdit::KeyPress(key);
}

// ---- leaving ----

// The date rewritten on leaving is no change of the user's.
void TCustomDateEdit::Change() {
  if (!checking_) TCustomComboEdit::Change();
}

void TCustomDateEdit::CheckExit() {
  if (!checkOnExit_ || ComponentState().Contains(csDesigning) || checking_) return;
  if (GetText() == FormatToMask("")) return;  // no date typed
  checking_ = true;
  try {
    const TDateTime date = StrToDateFmt(dateFormat_, GetText());
    SetDate(date);
  } catch (...) {
    checking_ = false;
    throw;
  }
  checking_ = false;
}

void TCustomDateEdit::WndProc(TMessage& m) {
  if (m.Msg == CM_EXIT) {
    CheckExit();
    TCustomComboEdit::WndProc(m);
    return;
  }
  TCustomComboEdit::WndProc(m);
}

void DateFormatChanged() {
  std::function<void(TWinControl*)> walk = [&](TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* c = parent->Controls(i);
      if (auto* edit = dynamic_cast<TCustomDateEdit*>(c)) edit->UpdateMask();
      if (auto* w = dynamic_cast<TWinControl*>(c)) walk(w);
    }
  };
  for (int i = 0; i < Screen()->FormCount(); ++i) walk(Screen()->Forms(i));
}

// ---- TDateEdit ----

QUILLO_DEFINE_PUBLISHED_CLASS(TDateEdit, TCustomDateEdit)

const TPropTable* TDateEdit::PublishedProperties() {
  using D = TDateEdit;
  static const TPropTable table =
      TPublisher<D>()
          .Property("BlanksChar", &D::GetBlanksChar, &D::SetBlanksChar)
          .Property("CalendarHints", &D::GetCalendarHints, &D::SetCalendarHints)
          .Property("CalendarStyle", &D::GetCalendarStyle, &D::SetCalendarStyle)
          .Property("CheckOnExit", &D::GetCheckOnExit, &D::SetCheckOnExit)
          .Property("Date", [](const D* d) { return const_cast<D*>(d)->GetDate(); }, &D::SetDate)
          .Property("DefaultToday", &D::GetDefaultToday, &D::SetDefaultToday)
          .Property("DialogTitle", &D::GetDialogTitle, &D::SetDialogTitle)
          .Property("PopupAlign", &D::GetPopupAlign, &D::SetPopupAlign)
          .Property("PopupColor", &D::GetPopupColor, &D::SetPopupColor)
          .Property("StartOfWeek", &D::GetStartOfWeek, &D::SetStartOfWeek)
          .Property("WeekendColor", &D::GetWeekendColor, &D::SetWeekendColor)
          .Property("Weekends", &D::GetWeekends, &D::SetWeekends)
          .Property("YearDigits", &D::GetYearDigits, &D::SetYearDigits)
          .Property("Alignment", &D::GetAlignment, &D::SetAlignment)
          .Property("AutoSelect", &D::GetAutoSelect, &D::SetAutoSelect)
          .Property("ButtonHint", &D::GetButtonHint, &D::SetButtonHint)
          .Property("ButtonWidth", &D::GetButtonWidth, &D::SetButtonWidth)
          .Property("DirectInput", &D::GetDirectInput, &D::SetDirectInput)
          .Property("GlyphKind", &D::GetGlyphKind, &D::SetGlyphKind)
          .Property("ReadOnly", [](const D* d) { return d->GetReadOnly(); }, &D::SetReadOnly)
          .Property("Text", &D::GetEditText, &D::SetEditText)
          .Table();
  return &table;
}
