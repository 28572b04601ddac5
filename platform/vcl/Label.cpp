#include "platform/vcl/Label.h"

#include "platform/controls/Static.h"

QUILLO_DEFINE_ENUM_TYPE(TTextLayout, "tlTop", "tlCenter", "tlBottom")
QUILLO_DEFINE_ENUM_TYPE(TStaticBorderStyle, "sbsNone", "sbsSingle", "sbsSunken")

namespace {

UINT AlignmentFlags(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

}  // namespace

// --- TCustomLabel ---------------------------------------------------------------------------

QUILLO_DEFINE_CLASS(TCustomLabel, TGraphicControl)

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ << csOpaque << csReplicatable;
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == GetTransparent()) return;
  if (value) controlStyle_ >> csOpaque;
  else controlStyle_ << csOpaque;
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = control;
  if (control) control->FreeNotification(this);
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  Invalidate();
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::DoDrawText(TRect& rect, UINT flags) {
  AnsiString text = GetLabelText();
  if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += " ";
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  HDC dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  if (!GetEnabled() && !(flags & DT_CALCRECT)) {
    // Engraved: the highlight one pixel down and right, the shadow in place.
    TRect below = rect;
    OffsetRect(&below, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawText(dc, text.c_str(), -1, &below, flags);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
    DrawText(dc, text.c_str(), -1, &rect, flags);
    return;
  }
  SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
  DrawText(dc, text.c_str(), -1, &rect, flags);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect client = GetClientRect();
  if (!GetTransparent()) {
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(client);
  }
  canvas->GetBrush()->SetStyle(bsClear);
  UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | AlignmentFlags(alignment_);
  TRect rect = client;
  if (layout_ != tlTop) {
    TRect measured = client;
    DoDrawText(measured, flags | DT_CALCRECT);
    int offset = client.Height() - measured.Height();
    if (layout_ == tlCenter) offset /= 2;
    rect.top += offset;
    rect.bottom = rect.top + measured.Height();
  }
  DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  HDC dc = GetDC(nullptr);
  TCanvas* canvas = GetCanvas();
  canvas->SetHandle(dc);
  TRect rect = GetClientRect();
  if (!wordWrap_) rect.right = rect.left + 32767;
  DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
  canvas->SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  int x = GetLeft();
  if (alignment_ == taRightJustify) x += GetWidth() - rect.Width();
  SetBounds(x, GetTop(), rect.Width(), rect.Height());
}

void TCustomLabel::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& m) {
  TGraphicControl::Dispatch(m);
  AdjustBounds();
}

void TCustomLabel::CMDialogChar(TMessage& m) {
  if (focusControl_ && GetEnabled() && showAccelChar_ && IsAccel(m.WParam, GetCaption()) && focusControl_->CanFocus()) {
    focusControl_->SetFocus();
    m.Result = 1;
  }
}

void TCustomLabel::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED: CMTextChanged(m); return;
    case CM_FONTCHANGED: CMFontChanged(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
  }
  TGraphicControl::Dispatch(m);
}

QUILLO_DEFINE_PUBLISHED_CLASS(TLabel, TCustomLabel)

const TPropTable* TLabel::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TLabel>()
          .Property("Alignment", &TLabel::GetAlignment, &TLabel::SetAlignment)
          .Property("AutoSize", &TLabel::GetAutoSize, &TLabel::SetAutoSize)
          .Property("FocusControl", &TLabel::GetFocusControl, &TLabel::SetFocusControl)
          .Property("Layout", &TLabel::GetLayout, &TLabel::SetLayout)
          .Property("ShowAccelChar", &TLabel::GetShowAccelChar, &TLabel::SetShowAccelChar)
          .Property("Transparent", &TLabel::GetTransparent, &TLabel::SetTransparent)
          .Property("WordWrap", &TLabel::GetWordWrap, &TLabel::SetWordWrap)
          .Table();
  return &table;
}

TLabel::TLabel(TComponent* owner) : TCustomLabel(owner) {}

// --- TCustomStaticText and TStaticText ------------------------------------------------------

QUILLO_DEFINE_CLASS(TCustomStaticText, TWinControl)

TCustomStaticText::TCustomStaticText(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csReplicatable, csDoubleClicks};
  SetBounds(0, 0, 65, 17);
}

void TCustomStaticText::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_STATIC);
  p.Style |= SS_NOTIFY;
  switch (alignment_) {
    case taRightJustify: p.Style |= SS_RIGHT; break;
    case taCenter: p.Style |= SS_CENTER; break;
    default: p.Style |= SS_LEFT; break;
  }
  if (!showAccelChar_) p.Style |= SS_NOPREFIX;
  if (borderStyle_ == sbsSingle) p.Style |= WS_BORDER;
  if (borderStyle_ == sbsSunken) p.Style |= SS_SUNKEN;
}

void TCustomStaticText::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomStaticText::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomStaticText::SetBorderStyle(TStaticBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomStaticText::SetFocusControl(TWinControl* control) {
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = control;
  if (control) control->FreeNotification(this);
}

void TCustomStaticText::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  RecreateWnd();
}

void TCustomStaticText::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomStaticText::AdjustBounds() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
  const AnsiString caption = GetText();
  const char* text = caption.empty() ? " " : caption.c_str();
  RECT r{0, 0, 32767, 0};
  DrawText(dc, text, -1, &r, DT_CALCRECT | DT_EXPANDTABS | (showAccelChar_ ? 0 : DT_NOPREFIX));
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int frame = borderStyle_ == sbsNone ? 0 : 2;
  SetBounds(GetLeft(), GetTop(), r.right + frame, r.bottom + frame);
}

void TCustomStaticText::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
      SetBkColor(dc, ColorToRGB(GetColor()));
      m.Result = reinterpret_cast<LRESULT>(GetBrush()->GetHandle());
      return;
    }
    case CM_TEXTCHANGED: case CM_FONTCHANGED:
      TWinControl::Dispatch(m);
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      if (focusControl_ && GetEnabled() && showAccelChar_ && IsAccel(m.WParam, GetCaption()) &&
          focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        m.Result = 1;
      }
      return;
  }
  TWinControl::Dispatch(m);
}

QUILLO_DEFINE_PUBLISHED_CLASS(TStaticText, TCustomStaticText)

const TPropTable* TStaticText::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TStaticText>()
          .Property("Alignment", &TStaticText::GetAlignment, &TStaticText::SetAlignment)
          .Property("AutoSize", &TStaticText::GetAutoSize, &TStaticText::SetAutoSize)
          .Property("BorderStyle", &TStaticText::GetBorderStyle, &TStaticText::SetBorderStyle)
          .Property("FocusControl", &TStaticText::GetFocusControl, &TStaticText::SetFocusControl)
          .Property("ShowAccelChar", &TStaticText::GetShowAccelChar, &TStaticText::SetShowAccelChar)
          .Table();
  return &table;
}

TStaticText::TStaticText(TComponent* owner) : TCustomStaticText(owner) {}
