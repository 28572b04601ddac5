#include "platform/vcl/Edit.h"

#include "platform/vcl/Color.h"
#include "platform/vcl/Messages.h"

QUILLO_DEFINE_ENUM_TYPE(TEditCharCase, "ecNormal", "ecUpperCase", "ecLowerCase")

QUILLO_DEFINE_CLASS(TCustomEdit, TWinControl)

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight});
  SetBounds(GetLeft(), GetTop(), 121, 25);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  AdjustHeight();
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, kEditClassName);
  static const DWORD cases[] = {0, ES_UPPERCASE, ES_LOWERCASE};
  p.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | cases[charCase_];
  if (borderStyle_ == bsSingle) {
    if (ctl3D_) p.ExStyle |= WS_EX_CLIENTEDGE;
    else p.Style |= WS_BORDER;
  }
  if (passwordChar_) p.Style |= ES_PASSWORD;
  if (readOnly_) p.Style |= ES_READONLY;
  if (!hideSelection_) p.Style |= ES_NOHIDESEL;
  if (oemConvert_) p.Style |= ES_OEMCONVERT;
}

void TCustomEdit::CreateWnd() {
  creating_ = true;
  try {
    TWinControl::CreateWnd();
  } catch (...) {
    creating_ = false;
    throw;
  }
  creating_ = false;
  HWND h = GetHandle();
  SendMessage(h, EM_SETLIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_) SendMessage(h, EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
  SendMessage(h, EM_SETMODIFY, modified_, 0);
}

void TCustomEdit::DestroyWnd() {
  if (HandleAllocated()) modified_ = SendMessage(GetHandle(), EM_GETMODIFY, 0, 0) != 0;
  TWinControl::DestroyWnd();
}

void TCustomEdit::AdjustHeight() {
  if (!autoSize_) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // The text, a pixel of room above and below, and the border's edges.
  const int border = borderStyle_ == bsNone ? 0 : (ctl3D_ ? 8 : 6) * GetSystemMetrics(SM_CYBORDER);
  SetHeight(tm.tmHeight + border);
}

void TCustomEdit::SetAutoSize(bool value) {
  if (autoSize_ == value) return;
  autoSize_ = value;
  AdjustHeight();
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value != bsNone) value = bsSingle;
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  AdjustHeight();
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (charCase_ == value) return;
  charCase_ = value;
  RecreateWnd();
}

void TCustomEdit::SetCtl3D(bool value) {
  if (ctl3D_ == value) return;
  ctl3D_ = value;
  AdjustHeight();
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (hideSelection_ == value) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(int value) {
  maxLength_ = std::max(0, value);
  if (HandleAllocated()) SendMessage(GetHandle(), EM_SETLIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetOEMConvert(bool value) {
  if (oemConvert_ == value) return;
  oemConvert_ = value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char value) {
  if (passwordChar_ == value) return;
  passwordChar_ = value;
  if (HandleAllocated()) {
    SendMessage(GetHandle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
    Invalidate();
  }
}

void TCustomEdit::SetReadOnly(bool value) {
  if (readOnly_ == value) return;
  readOnly_ = value;
  if (HandleAllocated()) SendMessage(GetHandle(), EM_SETREADONLY, value, 0);
}

int TCustomEdit::GetSelStart() {
  DWORD start = 0;
  SendMessage(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int value) { SendMessage(GetHandle(), EM_SETSEL, static_cast<WPARAM>(value), value); }

int TCustomEdit::GetSelLength() {
  DWORD start = 0, end = 0;
  SendMessage(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int value) {
  const int start = GetSelStart();
  SendMessage(GetHandle(), EM_SETSEL, static_cast<WPARAM>(start), start + value);
  SendMessage(GetHandle(), EM_SCROLLCARET, 0, 0);
}

AnsiString TCustomEdit::GetSelText() {
  const int start = GetSelStart(), length = GetSelLength();
  return GetText().substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

void TCustomEdit::SetSelText(const AnsiString& text) {
  SendMessage(GetHandle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool TCustomEdit::GetModified() {
  if (!HandleAllocated()) return modified_;
  return SendMessage(GetHandle(), EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool value) {
  modified_ = value;
  if (HandleAllocated()) SendMessage(GetHandle(), EM_SETMODIFY, value, 0);
}

bool TCustomEdit::CanUndo() { return HandleAllocated() && SendMessage(GetHandle(), EM_CANUNDO, 0, 0) != 0; }
void TCustomEdit::Clear() { SetText(""); }
void TCustomEdit::ClearSelection() { SendMessage(GetHandle(), WM_CLEAR, 0, 0); }
void TCustomEdit::CopyToClipboard() { SendMessage(GetHandle(), WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { SendMessage(GetHandle(), WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessage(GetHandle(), WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { SendMessage(GetHandle(), WM_UNDO, 0, 0); }
void TCustomEdit::ClearUndo() { SendMessage(GetHandle(), EM_EMPTYUNDOBUFFER, 0, 0); }
void TCustomEdit::SelectAll() { SendMessage(GetHandle(), EM_SETSEL, 0, -1); }

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::CNCommand(TMessage& m) {
  if (HIWORD(m.WParam) == EN_CHANGE && !creating_) Change();
}

void TCustomEdit::CNCtlColor(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
  SetBkColor(dc, ColorToRGB(GetColor()));
  m.Result = reinterpret_cast<LRESULT>(GetBrush()->GetHandle());
}

// A single-line edit entered by the keyboard selects its text; a click places the caret.
void TCustomEdit::CMEnter(TMessage& m) {
  if (autoSelect_ && !ControlState().Contains(csLButtonDown) && HandleAllocated() &&
      !(GetWindowLong(GetHandle(), GWL_STYLE) & ES_MULTILINE))
    SelectAll();
  TWinControl::WndProc(m);
}

void TCustomEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: CNCommand(m); return;
    case CN_CTLCOLOREDIT: case CN_CTLCOLORSTATIC: CNCtlColor(m); return;
    case CM_ENTER: CMEnter(m); return;
    case CM_FONTCHANGED:
      TWinControl::WndProc(m);  // the window takes the new font
      AdjustHeight();
      return;
    case WM_CUT: WMCut(m); return;
    case WM_PASTE: WMPaste(m); return;
  }
  TWinControl::WndProc(m);
}

QUILLO_DEFINE_PUBLISHED_CLASS(TEdit, TCustomEdit)

const TPropTable* TEdit::PublishedProperties() {
  static const TPropTable table = TPublisher<TEdit>()
                                      .Property("AutoSelect", &TEdit::GetAutoSelect, &TEdit::SetAutoSelect)
                                      .Property("AutoSize", &TEdit::GetAutoSize, &TEdit::SetAutoSize)
                                      .Property("BorderStyle", &TEdit::GetBorderStyle, &TEdit::SetBorderStyle)
                                      .Property("CharCase", &TEdit::GetCharCase, &TEdit::SetCharCase)
                                      .Property("Ctl3D", &TEdit::GetCtl3D, &TEdit::SetCtl3D)
                                      .Property("HideSelection", &TEdit::GetHideSelection, &TEdit::SetHideSelection)
                                      .Property("MaxLength", &TEdit::GetMaxLength, &TEdit::SetMaxLength)
                                      .Property("OEMConvert", &TEdit::GetOEMConvert, &TEdit::SetOEMConvert)
                                      .Property("PasswordChar", &TEdit::GetPasswordChar, &TEdit::SetPasswordChar)
                                      .Property("ReadOnly", &TEdit::GetReadOnly, &TEdit::SetReadOnly)
                                      .Property("Text", &TEdit::GetEditText, &TEdit::SetEditText)
                                      .Table();
  return &table;
}

TEdit::TEdit(TComponent* owner) : TCustomEdit(owner) {}
