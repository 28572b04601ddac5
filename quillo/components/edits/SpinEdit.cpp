#include "quillo/components/edits/SpinEdit.h"

#include <cfenv>
#include <cmath>
#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Messages.h"

QUILLO_DEFINE_ENUM_TYPE(TValueType, "vtInt", "vtFloat", "vtHex")
QUILLO_DEFINE_ENUM_TYPE(TSpinButtonKind, "bkStandard", "bkDiagonal")

namespace {

// A value rounded to the nearest whole number (halves to even), held inside the 64 bits the
// text is written with, so that a huge value neither overflows nor reads back differently.
std::int64_t RoundToInt64(Extended value) {
  constexpr Extended lo = static_cast<Extended>(std::numeric_limits<std::int64_t>::min());
  constexpr Extended hi = static_cast<Extended>(std::numeric_limits<std::int64_t>::max());
  if (std::isnan(value)) return 0;
  if (value <= lo) return std::numeric_limits<std::int64_t>::min();
  if (value >= hi) return std::numeric_limits<std::int64_t>::max();
  return std::llrint(value);
}

// Hexadecimal digits without prefix, read back as the 64-bit pattern they were written from
// (so a negative value, written in two's complement, comes back negative).
bool ParseHex64(const AnsiString& text, std::int64_t& value) {
  const AnsiString t = Trim(text);
  if (t.empty() || t.size() > 16) return false;
  std::uint64_t bits = 0;
  for (char c : t) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    bits = bits << 4 | static_cast<std::uint64_t>(digit);
  }
  value = static_cast<std::int64_t>(bits);
  return true;
}

bool InsideControl(TControl* c) {
  if (!(GetKeyState(VK_LBUTTON) & 0x8000)) return false;
  POINT p;
  GetCursorPos(&p);
  TPoint local = c->ScreenToClient(TPoint(p.x, p.y));
  return local.x >= 0 && local.y >= 0 && local.x < c->GetWidth() && local.y < c->GetHeight();
}

}  // namespace

QUILLO_DEFINE_PUBLISHED_CLASS(TExSpinEdit, TCustomEdit)

const TPropTable* TExSpinEdit::PublishedProperties() {
  using S = TExSpinEdit;
  static const TPropTable table =
      TPublisher<S>()
          .Property("Alignment", &S::GetAlignment, &S::SetAlignment)
          .Property("ArrowKeys", &S::GetArrowKeys, &S::SetArrowKeys)
          .Property("ButtonKind", &S::GetButtonKind, &S::SetButtonKind)
          .Property("Decimal", &S::GetDecimal, &S::SetDecimal)
          .Property("EditorEnabled", &S::GetEditorEnabled, &S::SetEditorEnabled)
          // The value and its bounds are stored as doubles: what form files and settings hold.
          .Property("Increment", [](const S* s) { return static_cast<double>(s->GetIncrement()); },
                    [](S* s, double v) { s->SetIncrement(v); })
          .Property("MaxValue", [](const S* s) { return static_cast<double>(s->GetMaxValue()); },
                    [](S* s, double v) { s->SetMaxValue(v); })
          .Property("MinValue", [](const S* s) { return static_cast<double>(s->GetMinValue()); },
                    [](S* s, double v) { s->SetMinValue(v); })
          .Property("ValueType", &S::GetValueType, &S::SetValueType)
          .Property("Value", [](const S* s) { return static_cast<double>(const_cast<S*>(s)->GetValue()); },
                    [](S* s, double v) { s->SetValue(v); })
          .Property("AutoSelect", &S::GetAutoSelect, &S::SetAutoSelect)
          .Property("AutoSize", &S::GetAutoSize, &S::SetAutoSize)
          .Property("BorderStyle", &S::GetBorderStyle, &S::SetBorderStyle)
          .Property("Ctl3D", &S::GetCtl3D, &S::SetCtl3D)
          .Property("MaxLength", &S::GetMaxLength, &S::SetMaxLength)
          .Property("ReadOnly", &S::GetReadOnly, &S::SetReadOnly)
          .Property("Text", &S::GetEditText, &S::SetEditText)
          .Table();
  return &table;
}

TExSpinEdit::TExSpinEdit(TComponent* owner) : TCustomEdit(owner) {
  SetText("0");
  SetControlStyle(ControlStyle() >> csSetCaption);
  RecreateButton();
}

TExSpinEdit::~TExSpinEdit() = default;

void TExSpinEdit::BeforeDestruction() {
  // No OnChange while the control is being torn down.
  suppressChange_ = true;
  TCustomEdit::BeforeDestruction();
}

// ---- the value ----

Extended TExSpinEdit::CheckValue(Extended value) const {
  if (minValue_ == maxValue_) return value;
  if (value < minValue_) return minValue_;
  if (value > maxValue_) return maxValue_;
  return value;
}

bool TExSpinEdit::ParseText(Extended& value) {
  const AnsiString text = GetText();
  std::int64_t whole = 0;
  switch (valueType_) {
    case vtFloat: return TryStrToFloat(text, value);
    case vtHex:
      if (!ParseHex64(text, whole)) return false;
      break;
    case vtInt:
      // Read with the width the value is written with: whole numbers are 64-bit.
      try {
        whole = StrToInt64(text);
      } catch (const EConvertError&) {
        return false;
      }
      break;
  }
  value = static_cast<Extended>(whole);
  return true;
}

Extended TExSpinEdit::GetValue() {
  Extended parsed = 0;
  if (!ParseText(parsed)) return valueType_ == vtFloat ? lastValue_ : std::trunc(lastValue_);
  lastValue_ = CheckValue(parsed);
  return lastValue_;
}

void TExSpinEdit::SetValue(Extended value) {
  const Extended v = CheckValue(value);
  switch (valueType_) {
    case vtFloat: SetText(FloatToStrF(v, ffFixed, 15, decimal_)); break;
    case vtInt: SetText(IntToStr(RoundToInt64(v))); break;
    case vtHex: SetText(IntToHex(static_cast<std::uint64_t>(RoundToInt64(v)), 1)); break;
  }
  lastValue_ = v;
}

void TExSpinEdit::SetValueType(TValueType value) {
  if (valueType_ == value) return;
  valueType_ = value;
  SetValue(GetValue());
  if (valueType_ != vtFloat) {
    increment_ = std::nearbyint(increment_);
    if (increment_ == 0) increment_ = 1;
  }
}

void TExSpinEdit::SetDecimal(std::uint8_t value) {
  if (decimal_ == value) return;
  decimal_ = value;
  SetValue(GetValue());
}

// ---- stepping ----

void TExSpinEdit::Step(Extended delta, const TNotifyEvent& after) {
  if (GetReadOnly()) {
    MessageBeep(0);
    return;
  }
  suppressChange_ = true;
  const AnsiString before = GetText();
  try {
    SetValue(GetValue() + delta);
  } catch (...) {
    suppressChange_ = false;
    throw;
  }
  suppressChange_ = false;
  if (CompareText(GetText(), before) != 0) {
    SetModified(true);
    Change();
  }
  if (after) after(this);
}

void TExSpinEdit::UpClick(TObject*) { Step(increment_, OnTopClick); }
void TExSpinEdit::DownClick(TObject*) { Step(-increment_, OnBottomClick); }

void TExSpinEdit::Change() {
  if (!suppressChange_) TCustomEdit::Change();
}

void TExSpinEdit::UpDownClick(TObject*, TUDBtnType button) {
  if (GetTabStop() && CanFocus() && !Focused()) SetFocus();
  if (button == btNext) UpClick(this);
  else DownClick(this);
}

// ---- keys ----

bool TExSpinEdit::IsValidChar(char key) {
  const AnsiString text = GetText();
  AnsiString allowed = "+-0123456789";
  if (valueType_ == vtFloat) {
    if (text.find(DecimalSeparator) == AnsiString::npos) allowed += DecimalSeparator;
    if (UpperCase(text).find('E') == AnsiString::npos) allowed += "eE";
  } else if (valueType_ == vtHex) {
    allowed += "ABCDEFabcdef";
  }
  const bool control = static_cast<unsigned char>(key) < 32;
  bool valid = control || allowed.find(key) != AnsiString::npos;
  if (!editorEnabled_) valid = valid && control && key != 8;
  return valid;
}

void TExSpinEdit::KeyPress(char& key) {
  if (!IsValidChar(key)) {
    key = 0;
    MessageBeep(0);
  }
  if (key == 0) return;
  TCustomEdit::KeyPress(key);
  if (key == 13 || key == 27) {
    // The edit is multi-line, so the form's default and cancel buttons get the key from here.
    if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_DIALOGKEY, static_cast<unsigned char>(key), 0);
    if (key == 13) key = 0;
  }
}

void TExSpinEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  if (!arrowKeys_) return;
  if (key == VK_UP) {
    key = 0;
    UpClick(this);
  } else if (key == VK_DOWN) {
    key = 0;
    DownClick(this);
  }
}

void TExSpinEdit::WMCut(TMessage& m) {
  if (editorEnabled_ && !GetReadOnly()) TCustomEdit::WMCut(m);
}

void TExSpinEdit::WMPaste(TMessage& m) {
  if (editorEnabled_ && !GetReadOnly()) TCustomEdit::WMPaste(m);
}

// ---- focus ----

void TExSpinEdit::CMEnter(TMessage& m) {
  if (GetAutoSelect() && !InsideControl(this)) SelectAll();
  TCustomEdit::WndProc(m);
}

void TExSpinEdit::CMExit(TMessage& m) {
  TCustomEdit::WndProc(m);
  Extended parsed = 0;
  if (ParseText(parsed) && CheckValue(parsed) != parsed) SetValue(parsed);
}

// ---- window and layout ----

void TExSpinEdit::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  RecreateWnd();
}

void TExSpinEdit::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  static const DWORD aligns[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  p.Style |= ES_MULTILINE | WS_CLIPCHILDREN | aligns[alignment_];
}

void TExSpinEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  SetEditRect();
}

int TExSpinEdit::ButtonWidth() const {
  if (standard_) return standard_->GetWidth();
  if (diagonal_) return diagonal_->GetWidth();
  return DefaultSpinButtonWidth();
}

int TExSpinEdit::MinHeight() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + 4 * GetSystemMetrics(SM_CYBORDER) + 1;
}

void TExSpinEdit::SetEditRect() {
  if (!HandleAllocated()) return;
  RECT r{0, 0, GetClientWidth() - ButtonWidth() - 2, GetClientHeight() + 1};
  SendMessage(GetHandle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TExSpinEdit::ResizeButton() {
  if (standard_) {
    standard_->SetBounds(GetClientWidth() - DefaultSpinButtonWidth(), 0, DefaultSpinButtonWidth(), GetClientHeight());
  } else if (diagonal_ && host_) {
    const int w = GetWidth(), h = GetHeight();
    // Inside the sunken border the button fills the client height, square, against the right
    // edge (a row above the client area would be cut off by the border anyway).
    if (GetCtl3D() && GetBorderStyle() == bsSingle) host_->SetBounds(w - h, 0, h - 4, h - 4);
    else host_->SetBounds(w - h, 0, h, h);
    diagonal_->SetBounds(0, 0, host_->GetWidth(), host_->GetHeight());
  }
}

void TExSpinEdit::RecreateButton() {
  if (ComponentState().Contains(csDestroying)) return;
  if (standard_) FreeAndNil(standard_);
  if (host_) {
    FreeAndNil(host_);
    diagonal_ = nullptr;  // freed with its host
  }
  if (buttonKind_ == bkDiagonal) {
    host_ = NewComponent<TWinControl>(this);
    host_->SetBounds(0, 0, GetHeight(), GetHeight());
    host_->SetParent(this);
    diagonal_ = NewComponent<TExSpinButton>(host_);
    diagonal_->SetParent(host_);
    diagonal_->SetFocusControl(this);
    diagonal_->OnTopClick = [this](TObject* s) { UpClick(s); };
    diagonal_->OnBottomClick = [this](TObject* s) { DownClick(s); };
  } else {
    standard_ = NewComponent<TExUpDown>(this);
    standard_->SetBounds(GetClientWidth() - DefaultSpinButtonWidth(), 0, DefaultSpinButtonWidth(), GetHeight());
    standard_->SetParent(this);
    standard_->OnClick = [this](TObject* s, TUDBtnType b) { UpDownClick(s, b); };
  }
  ResizeButton();
}

void TExSpinEdit::SetButtonKind(TSpinButtonKind value) {
  if (buttonKind_ == value) return;
  buttonKind_ = value;
  RecreateButton();
  ResizeButton();
  SetEditRect();
}

void TExSpinEdit::SetArrowKeys(bool value) {
  arrowKeys_ = value;
  ResizeButton();
}

void TExSpinEdit::WMSize(TMessage& m) {
  TCustomEdit::WndProc(m);
  const int minHeight = MinHeight();
  if (GetHeight() < minHeight) {
    SetHeight(minHeight);
    return;
  }
  ResizeButton();
  SetEditRect();
}

void TExSpinEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_ENTER: CMEnter(m); return;
    case CM_EXIT: CMExit(m); return;
    case WM_SIZE: WMSize(m); return;
    case CM_TEXTCHANGED:
      // A multi-line edit tells nothing of text set from code: the change is raised here.
      TCustomEdit::WndProc(m);
      Change();
      return;
    case CM_FONTCHANGED:
      TCustomEdit::WndProc(m);
      ResizeButton();
      SetEditRect();
      return;
    case CM_ENABLEDCHANGED:
      TCustomEdit::WndProc(m);
      if (standard_) {
        standard_->SetEnabled(GetEnabled());
        ResizeButton();
      }
      if (diagonal_) diagonal_->SetEnabled(GetEnabled());
      return;
  }
  TCustomEdit::WndProc(m);
}
