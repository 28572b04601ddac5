#include "quillo/components/edits/ComboEdit.h"

#include "platform/controls/Edit.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Messages.h"

QUILLO_DEFINE_ENUM_TYPE(TPopupAlign, "epaRight", "epaLeft")
QUILLO_DEFINE_ENUM_TYPE(TGlyphKind, "gkCustom", "gkDefault", "gkDropDown", "gkEllipsis")

EComboEditError::EComboEditError(AnsiString message) : Exception(std::move(message)) {}
EComboEditError::~EComboEditError() = default;

namespace {

constexpr int kDefaultButtonWidth = 21;
constexpr int kOBM_COMBO = 32738;

int FontHeight(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

int SystemFontHeight() { return FontHeight(static_cast<HFONT>(GetStockObject(SYSTEM_FONT))); }

bool IsInside(TControl* parent, TControl* c) {
  for (TControl* p = c; p; p = p->GetParent())
    if (p == parent) return true;
  return false;
}

}  // namespace

AnsiString PopupValueToStr(const TPopupValue& value) {
  if (const auto* text = std::get_if<AnsiString>(&value)) return *text;
  if (const auto* date = std::get_if<TDateTime>(&value)) return DateToStr(*date);
  return {};
}

bool PopupValueIsNull(const TPopupValue& value) { return std::holds_alternative<std::monostate>(value); }

TOwnedPtr<TBitmap> MakeEllipsisGlyph(int buttonWidth) {
  auto bitmap = MakeObject<TBitmap>();
  const int w = std::max(1, buttonWidth - 6);
  bitmap->SetMonochrome(true);
  bitmap->SetSize(w, 4);
  TCanvas* c = bitmap->GetCanvas();
  c->GetBrush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, w, 4));
  const int gap = std::clamp((w - 6) / 2, 1, 3);
  const int left = (w - 6 - 2 * gap) / 2;
  c->GetBrush()->SetColor(clBlack);
  for (int x : {left, left + gap + 2, left + 2 * gap + 4}) c->FillRect(TRect(x, 1, x + 2, 3));
  return bitmap;
}

TPoint EditorTextMargins(TCustomEdit* editor) {
  int inset = 0;
  if (editor->GetBorderStyle() != bsNone) inset = editor->GetCtl3D() ? 1 : 2;
  int margin = 0;
  if (editor->HandleAllocated()) margin = LOWORD(SendMessage(editor->GetHandle(), EM_GETMARGINS, 0, 0));
  return TPoint(margin + inset, inset);
}

// ---- TPopupWindow ----

QUILLO_DEFINE_CLASS(TPopupWindow, TCustomControl)

TPopupWindow::TPopupWindow(TComponent* owner, TCustomComboEdit* editor) : TCustomControl(owner), editor_(editor) {
  SetControlStyle(TControlStyle{csAcceptsControls, csNoDesignVisible, csReplicatable, csCaptureMouse});
  visible_ = false;
  OnMouseUp = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) { PopupMouseUp(b, s, x, y); };
}

void TPopupWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
  p.ExStyle = WS_EX_TOOLWINDOW;
  p.WindowClass.style |= CS_SAVEBITS;
}

void TPopupWindow::Show(const TPoint& origin) {
  if (!GetParentWindow()) {
    // Owned by the editor's form, so it goes with it, but a pop-up on the desktop.
    TCustomForm* form = GetParentForm(editor_);
    SetParentWindow(form ? form->GetHandle() : editor_->GetHandle());
  }
  SetWindowPos(GetHandle(), HWND_TOP, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  UpdateBounds();
  SetVisible(true);
  open_ = true;
}

void TPopupWindow::Hide() {
  if (HandleAllocated())
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  SetVisible(false);
  open_ = false;
}

void TPopupWindow::CloseUp(bool accept) {
  if (OnCloseUp) OnCloseUp(this, accept);
}

void TPopupWindow::PopupMouseUp(TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft) return;
  const TRect r = GetClientRect();
  CloseUp(x >= r.left && y >= r.top && x < r.right && y < r.bottom);
}

void TPopupWindow::InvalidateEditor() {
  if (!editor_->HandleAllocated()) return;
  RECT r{0, 0, editor_->GetClientWidth() - editor_->GetButtonWidth() - 2, editor_->GetClientHeight() + 1};
  InvalidateRect(editor_->GetHandle(), &r, FALSE);
  UpdateWindow(editor_->GetHandle());
}

void TPopupWindow::WndProc(TMessage& m) {
  if (m.Msg == WM_MOUSEACTIVATE) {
    m.Result = MA_NOACTIVATE;
    return;
  }
  TCustomControl::WndProc(m);
}

// ---- TEditButton ----

QUILLO_DEFINE_CLASS(TEditButton, TExSpeedButton)

TEditButton::TEditButton(TComponent* owner, TCustomComboEdit* editor) : TExSpeedButton(owner), editor_(editor) {
  SetControlStyle(ControlStyle() << csReplicatable);
  SetParentShowHint(true);
}

void TEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    noAction_ = editor_->GetPopupVisible();
    if (noAction_) {
      editor_->PopupCloseUp(editor_->Popup(), true);
    } else if (editor_->GetTabStop() && editor_->CanFocus() && !editor_->Focused()) {
      editor_->SetFocus();
    }
  }
  TExSpeedButton::MouseDown(button, shift, x, y);
}

void TEditButton::Click() {
  if (noAction_) {
    noAction_ = false;
    return;
  }
  TExSpeedButton::Click();
}

void TEditButton::Paint() {
  TExSpeedButton::Paint();
  if (state_ == rbsDown) return;
  TCanvas* c = GetCanvas();
  c->GetPen()->SetColor(clBtnFace);
  c->MoveTo(0, 0);
  c->LineTo(0, GetHeight() - 1);
  c->GetPen()->SetColor(clBtnHighlight);
  c->MoveTo(1, 1);
  c->LineTo(1, GetHeight() - 2);
}

// ---- TCustomComboEdit ----

QUILLO_DEFINE_CLASS(TCustomComboEdit, TCustomMaskEdit)

TCustomComboEdit::TCustomComboEdit(TComponent* owner) : TCustomMaskEdit(owner) {
  SetControlStyle(ControlStyle() << csCaptureMouse);
  SetAutoSize(false);
  holder_ = NewComponent<TWinControl>(this);
  holder_->SetControlStyle(holder_->ControlStyle() << csReplicatable);
  holder_->SetBounds(0, 0, kDefaultButtonWidth, 17);
  holder_->SetParent(this);
  button_ = NewComponent<TEditButton>(holder_, this);
  button_->SetBounds(0, 0, holder_->GetWidth(), holder_->GetHeight());
  button_->SetParent(holder_);
  button_->OnClick = [this](TObject* sender) { EditButtonClick(sender); };
  SetHeight(21);
}

TCustomComboEdit::~TCustomComboEdit() = default;

void TCustomComboEdit::BeforeDestruction() {
  if (button_) button_->OnClick = nullptr;
  TCustomMaskEdit::BeforeDestruction();
}

void TCustomComboEdit::CreateParams(TCreateParams& p) {
  TCustomMaskEdit::CreateParams(p);
  static const DWORD aligns[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  p.Style |= ES_MULTILINE | WS_CLIPCHILDREN | aligns[alignment_];
}

void TCustomComboEdit::CreateWnd() {
  TCustomMaskEdit::CreateWnd();
  SetEditRect();
  ApplyReadOnly();
}

void TCustomComboEdit::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomComboEdit::SetEditRect() {
  if (!HandleAllocated()) return;
  RECT r{0, 0, GetClientWidth() - holder_->GetWidth() - 2, GetClientHeight() + 1};
  SendMessage(GetHandle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TCustomComboEdit::UpdateBtnBounds() {
  const int w = GetWidth(), h = GetHeight(), b = holder_->GetWidth();
  if (GetBorderStyle() == bsNone) holder_->SetBounds(w - b, 0, b, h);
  else if (GetCtl3D()) holder_->SetBounds(w - b - 4, 0, b, h - 4);
  else holder_->SetBounds(w - b - 2, 2, b, h - 4);
  button_->SetHeight(holder_->GetHeight());
  SetEditRect();
}

int TCustomComboEdit::MinHeight() {
  const int text = std::min(SystemFontHeight(), FontHeight(GetFont()->GetHandle()));
  return text + 4 * GetSystemMetrics(SM_CYBORDER) + 1;
}

void TCustomComboEdit::SetButtonWidth(int value) {
  if (GetButtonWidth() == value) return;
  holder_->SetVisible(value > 1);
  if (value > 1 && value >= GetClientWidth() && !ComponentState().Contains(csLoading)) return;
  if (value <= 1) {
    button_->SetWidth(value);
    holder_->SetWidth(value);
  } else {
    holder_->SetWidth(value);
    button_->SetWidth(value);
  }
  button_->SetControlStyle(button_->ControlStyle() >> csFixedWidth);
  UpdateBtnBounds();
  RecreateGlyph();
}

void TCustomComboEdit::SetGlyph(TBitmap* value) {
  button_->SetGlyph(value);
  glyphKind_ = gkCustom;
}

void TCustomComboEdit::SetNumGlyphs(int value) {
  if (glyphKind_ == gkDropDown || glyphKind_ == gkEllipsis) button_->SetNumGlyphs(1);
  else if (glyphKind_ == gkDefault) button_->SetNumGlyphs(defNumGlyphs_);
  else button_->SetNumGlyphs(value);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind value) {
  if (glyphKind_ == value) return;
  glyphKind_ = value;
  if (value == gkCustom && ComponentState().Contains(csReading)) button_->SetGlyph(nullptr);
  RecreateGlyph();
  if (value == gkDefault && !GetGlyph()->Empty())
    SetButtonWidth(std::max(GetGlyph()->GetWidth() / std::max(1, GetNumGlyphs()) + 6, GetButtonWidth()));
  else if (value == gkDropDown) {
    SetButtonWidth(GetSystemMetrics(SM_CXVSCROLL));
    button_->SetControlStyle(button_->ControlStyle() << csFixedWidth);
  }
}

TOwnedPtr<TBitmap> TCustomComboEdit::GetDefaultBitmap() { return nullptr; }

void TCustomComboEdit::RecreateGlyph() {
  switch (glyphKind_) {
    case gkDefault:
      if (TOwnedPtr<TBitmap> bitmap = GetDefaultBitmap()) {
        button_->SetGlyph(bitmap.get());
        button_->SetNumGlyphs(defNumGlyphs_);
      }
      break;
    case gkDropDown: {
      auto bitmap = MakeObject<TBitmap>();
      bitmap->SetHandle(LoadBitmap(nullptr, MAKEINTRESOURCE(kOBM_COMBO)));
      button_->SetGlyph(bitmap->Empty() ? nullptr : bitmap.get());
      button_->SetNumGlyphs(1);
      break;
    }
    case gkEllipsis: {
      TOwnedPtr<TBitmap> bitmap = MakeEllipsisGlyph(GetButtonWidth());
      button_->SetGlyph(bitmap.get());
      button_->SetNumGlyphs(1);
      break;
    }
    case gkCustom: break;
  }
}

// ---- read-only and direct input ----

void TCustomComboEdit::ApplyReadOnly() { TCustomEdit::SetReadOnly(readOnly_ || !directInput_); }

void TCustomComboEdit::SetReadOnly(bool value) {
  if (readOnly_ == value) return;
  readOnly_ = value;
  ApplyReadOnly();
}

void TCustomComboEdit::SetDirectInput(bool value) {
  directInput_ = value;
  ApplyReadOnly();
}

bool TCustomComboEdit::EditCanModify() { return !GetReadOnly(); }

void TCustomComboEdit::SelectAll() {
  if (directInput_) TCustomMaskEdit::SelectAll();
}

void TCustomComboEdit::WMCut(TMessage& m) {
  if (directInput_ && !GetReadOnly()) TCustomMaskEdit::WMCut(m);
}

void TCustomComboEdit::WMPaste(TMessage& m) {
  if (directInput_ && !GetReadOnly()) TCustomMaskEdit::WMPaste(m);
}

// ---- the button and the popup ----

void TCustomComboEdit::EditButtonClick(TObject*) {
  if (GetReadOnly() && !alwaysEnable_) return;
  ButtonClick();
}

void TCustomComboEdit::ButtonClick() {
  if (OnButtonClick) OnButtonClick(this);
  if (!popup_) return;
  if (GetPopupVisible()) PopupCloseUp(popup_, true);
  else PopupDropDown(true);
}

void TCustomComboEdit::Change() {
  if (GetPopupVisible()) PopupChange();
  else DoChange();
}

void TCustomComboEdit::DoChange() { TCustomMaskEdit::Change(); }

TPopupValue TCustomComboEdit::GetPopupValue() { return popup_ ? popup_->GetValue() : TPopupValue(AnsiString()); }

void TCustomComboEdit::SetPopupValue(const TPopupValue& value) {
  if (popup_) popup_->SetValue(value);
}

void TCustomComboEdit::ShowPopup(const TPoint& origin) {
  if (popup_) popup_->Show(origin);
}

void TCustomComboEdit::HidePopup() {
  if (popup_) popup_->Hide();
}

bool TCustomComboEdit::AcceptPopup(TPopupValue&) { return true; }

void TCustomComboEdit::UpdatePopupVisible() { popupVisible_ = popup_ && popup_->IsOpen(); }

void TCustomComboEdit::AcceptValue(const TPopupValue& value) {
  const AnsiString text = PopupValueToStr(value);
  if (GetText() == FormatToMask(text)) return;
  SetText(text);
  SetModified(true);
  UpdatePopupVisible();
  DoChange();
}

void TCustomComboEdit::PopupDropDown(bool disableEdit) {
  if (!popup_ || GetReadOnly() || GetPopupVisible()) return;
  // The window's top-left, border included.
  RECT wr;
  GetWindowRect(GetHandle(), &wr);
  TPoint p(wr.left, wr.top);
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  const int pw = popup_->GetWidth(), ph = popup_->GetHeight();
  int y = p.y + GetHeight();
  if (y + ph > sh) y = p.y - ph;  // no room below: it opens above
  if (popupAlign_ == epaRight) {
    p.x -= pw - GetWidth();
    if (p.x < 0) p.x += pw - GetWidth();
  } else if (p.x + pw > sw) {
    p.x -= pw - GetWidth();
  }
  if (p.x < 0) p.x = 0;
  else if (p.x + pw > sw) p.x = sw - pw;
  const AnsiString text = GetText();
  if (Trim(text).empty() || (IsMasked() && FormatToMask("") == text)) SetPopupValue(TPopupValue{});
  else SetPopupValue(TPopupValue(text));
  if (CanFocus()) SetFocus();
  ShowPopup(TPoint(p.x, y));
  popupVisible_ = true;
  if (disableEdit) {
    TCustomEdit::SetReadOnly(true);
    HideCaret(GetHandle());
  }
}

void TCustomComboEdit::PopupCloseUp(TObject*, bool accept) {
  if (!popup_ || !GetPopupVisible()) return;
  try {
    if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
    TPopupValue value = GetPopupValue();
    HidePopup();
    try {
      if (CanFocus()) {
        SetFocus();
        if (Focused()) SetShowCaret();
      }
    } catch (...) {
      // A popup that raises while the edit takes the focus back does not stop the close.
    }
    ApplyReadOnly();
    Invalidate();
    if (accept && AcceptPopup(value) && EditCanModify()) {
      AcceptValue(value);
      if (Focused()) TCustomMaskEdit::SelectAll();
    }
  } catch (...) {
    popupVisible_ = false;
    throw;
  }
  popupVisible_ = false;
}

void TCustomComboEdit::SetShowCaret() {
  if (!HandleAllocated()) return;
  const int width = (GetFont()->GetStyle() & fsBold) ? 2 : 1;
  CreateCaret(GetHandle(), nullptr, width, FontHeight(GetFont()->GetHandle()));
  ShowCaret(GetHandle());
}

// ---- keys and mouse ----

void TCustomComboEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomMaskEdit::KeyDown(key, shift);
  if (key == 0 || GetButtonWidth() <= 0) return;
  // F4 toggles a drop-down as it does on the system's combo boxes.
  if ((clickKey_ != scNone && ShortCut(key, shift) == clickKey_) || (popup_ && key == VK_F4 && shift.Empty())) {
    key = 0;
    EditButtonClick(this);
  }
}

void TCustomComboEdit::KeyPress(char& key) {
  if (key == 13 || key == 27) {
    if (GetPopupVisible()) {
      PopupCloseUp(popup_, key == 13);
      key = 0;
      return;
    }
    // The edit is multi-line, so the form's default and cancel buttons get the key from here.
    if (TCustomForm* form = GetParentForm(this)) {
      const WPARAM dialogKey = static_cast<unsigned char>(key);
      if (form->Perform(CM_DIALOGKEY, dialogKey, 0) != 0) {
        key = 0;
        return;
      }
    }
    if (key == 13) {
      TCustomMaskEdit::KeyPress(key);
      key = 0;
      return;
    }
  }
  TCustomMaskEdit::KeyPress(key);
}

void TCustomComboEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && popup_) {
    if (CanFocus()) SetFocus();
    if (!Focused()) return;
    if (GetPopupVisible()) PopupCloseUp(popup_, false);
  }
  TCustomMaskEdit::MouseDown(button, shift, x, y);
}

void TCustomComboEdit::CMCancelMode(TMessage& m) {
  auto* sender = reinterpret_cast<TControl*>(m.LParam);
  if (sender == this || (popup_ && IsInside(popup_, sender)) || IsInside(holder_, sender)) return;
  PopupCloseUp(popup_, false);
}

void TCustomComboEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
      TCustomMaskEdit::WndProc(m);
      if (!ComponentState().Contains(csLoading)) {
        const int minHeight = MinHeight();
        if (GetHeight() < minHeight) {
          SetHeight(minHeight);
          return;
        }
      }
      UpdateBtnBounds();
      return;
    case WM_SETFOCUS:
      focused_ = true;
      TCustomMaskEdit::WndProc(m);
      SetShowCaret();
      return;
    case WM_KILLFOCUS:
      focused_ = false;
      TCustomMaskEdit::WndProc(m);
      PopupCloseUp(popup_, false);
      return;
    case CM_CANCELMODE: CMCancelMode(m); return;
    case CM_TEXTCHANGED:
      // A multi-line edit tells nothing of text set from code: the change is raised here.
      TCustomMaskEdit::WndProc(m);
      if (TakeTextSetChanged()) Change();
      return;
    case CM_ENTER:
      if (GetAutoSelect() && !ControlState().Contains(csLButtonDown)) SelectAll();
      TCustomMaskEdit::WndProc(m);
      return;
    case CM_ENABLEDCHANGED:
      TCustomMaskEdit::WndProc(m);
      button_->SetEnabled(GetEnabled());
      return;
    case CM_FONTCHANGED:
      TCustomMaskEdit::WndProc(m);
      SetEditRect();
      return;
    case CN_CTLCOLOREDIT: case CN_CTLCOLORSTATIC:
      TCustomMaskEdit::WndProc(m);
      if (!GetEnabled() && GetColor() != clGrayText)
        ::SetTextColor(reinterpret_cast<HDC>(m.WParam), ColorToRGB(clGrayText));
      return;
  }
  TCustomMaskEdit::WndProc(m);
}

// ---- TComboEdit ----

QUILLO_DEFINE_PUBLISHED_CLASS(TComboEdit, TCustomComboEdit)

const TPropTable* TComboEdit::PublishedProperties() {
  using C = TComboEdit;
  static const TPropTable table =
      TPublisher<C>()
          .Property("Alignment", &C::GetAlignment, &C::SetAlignment)
          .Property("AutoSelect", &C::GetAutoSelect, &C::SetAutoSelect)
          .Property("BorderStyle", &C::GetBorderStyle, &C::SetBorderStyle)
          .Property("ButtonHint", &C::GetButtonHint, &C::SetButtonHint)
          .Property("ButtonWidth", &C::GetButtonWidth, &C::SetButtonWidth)
          .Property("CharCase", &C::GetCharCase, &C::SetCharCase)
          .Property("ClickKey", [](const C* c) { return static_cast<int>(c->GetClickKey()); },
                    [](C* c, int v) { c->SetClickKey(static_cast<TShortCut>(v)); })
          .Property("Ctl3D", &C::GetCtl3D, &C::SetCtl3D)
          .Property("DirectInput", &C::GetDirectInput, &C::SetDirectInput)
          .Property("EditMask", &C::GetEditMask, &C::SetEditMask)
          .Property("Glyph", &C::GetGlyph, &C::SetGlyph)
          .Property("GlyphKind", &C::GetGlyphKind, &C::SetGlyphKind)
          .Property("HideSelection", &C::GetHideSelection, &C::SetHideSelection)
          .Property("MaxLength", &C::GetMaxLength, &C::SetMaxLength)
          .Property("NumGlyphs", &C::GetNumGlyphs, &C::SetNumGlyphs)
          .Property("OEMConvert", &C::GetOEMConvert, &C::SetOEMConvert)
          .Property("ReadOnly", [](const C* c) { return c->GetReadOnly(); }, &C::SetReadOnly)
          .Property("Text", &C::GetEditText, &C::SetEditText)
          .Table();
  return &table;
}

TComboEdit::TComboEdit(TComponent* owner) : TCustomComboEdit(owner) {}
