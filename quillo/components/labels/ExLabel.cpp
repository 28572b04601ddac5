#include "quillo/components/labels/ExLabel.h"

#include <algorithm>

#include "quillo/components/utilities/VclUtils.h"

QUILLO_DEFINE_ENUM_TYPE(TShadowPosition, "spLeftTop", "spLeftBottom", "spRightBottom", "spRightTop")

TPoint ShadowOffset(int s, TShadowPosition pos) {
  switch (pos) {
    case spLeftTop: return TPoint(-s, -s);
    case spLeftBottom: return TPoint(-s, s);
    case spRightBottom: return TPoint(s, s);
    case spRightTop: return TPoint(s, -s);
  }
  return TPoint(0, 0);
}

int DrawShadowText(HDC dc, const char* text, int length, RECT& rect, UINT format, int shadowSize, COLORREF shadowColor,
                   TShadowPosition shadowPos) {
  RECT textRect = rect, shadowRect = rect;
  COLORREF old = SetTextColor(dc, shadowColor);
  TPoint offset = ShadowOffset(shadowSize, shadowPos);
  OffsetRect(&shadowRect, offset.x, offset.y);
  int height = DrawText(dc, text, length, &shadowRect, format);
  if (height > 0) height += shadowSize;
  SetTextColor(dc, old);
  DrawText(dc, text, length, &textRect, format);
  UnionRect(&rect, &textRect, &shadowRect);
  return height;
}

namespace {

UINT AlignmentFlag(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

}  // namespace

QUILLO_DEFINE_CLASS(TExCustomLabel, TGraphicControl)

TExCustomLabel::TExCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() << csOpaque << csReplicatable);
  SetBounds(GetLeft(), GetTop(), 65, 17);
}

#define EX_LABEL_REPAINTING_SETTER(Name, Type, field) \
  void TExCustomLabel::Set##Name(Type value) {        \
    if (value == field) return;                       \
    field = value;                                    \
    Invalidate();                                     \
  }
EX_LABEL_REPAINTING_SETTER(Alignment, TAlignment, alignment_)
EX_LABEL_REPAINTING_SETTER(Layout, TTextLayout, layout_)
EX_LABEL_REPAINTING_SETTER(ShadowColor, TColor, shadowColor_)
EX_LABEL_REPAINTING_SETTER(ShadowPos, TShadowPosition, shadowPos_)
EX_LABEL_REPAINTING_SETTER(ShowFocus, bool, showFocus_)
#undef EX_LABEL_REPAINTING_SETTER

void TExCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  Invalidate();
  AdjustBounds();
}

void TExCustomLabel::SetTransparent(bool value) {
  if (value == GetTransparent()) return;
  SetControlStyle(value ? ControlStyle() >> csOpaque : ControlStyle() << csOpaque);
  Invalidate();
}

void TExCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TExCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TExCustomLabel::SetShadowSize(int value) {
  value = std::clamp(value, 0, 255);
  if (value == shadowSize_) return;
  shadowSize_ = value;
  AdjustBounds();
  Invalidate();
}

void TExCustomLabel::SetLeftMargin(int value) {
  value = std::max(value, 0);
  if (value == leftMargin_) return;
  leftMargin_ = value;
  AdjustBounds();
  Invalidate();
}

void TExCustomLabel::SetRightMargin(int value) {
  value = std::max(value, 0);
  if (value == rightMargin_) return;
  rightMargin_ = value;
  AdjustBounds();
  Invalidate();
}

void TExCustomLabel::SetFocusControl(TWinControl* value) {
  if (value == focusControl_) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = value;
  if (focusControl_) focusControl_->FreeNotification(this);
  if (showFocus_) Invalidate();
}

void TExCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

UINT TExCustomLabel::FormatFlags() const {
  return DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | AlignmentFlag(alignment_);
}

// The client area less the margins, less a pixel on each side.
TRect TExCustomLabel::TextRect() const {
  TRect r = GetClientRect();
  r.left += leftMargin_ + 1;
  r.right -= rightMargin_ + 1;
  return r;
}

void TExCustomLabel::DoDrawText(TRect& rect, UINT flags) {
  AnsiString text = GetLabelCaption();
  if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += " ";
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  canvas->GetFont()->SetColor(GetDefaultFontColor());
  HDC dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  TShadowPosition pos = shadowPos_;
  int size = shadowSize_;
  TColor shadow = shadowColor_;
  COLORREF textColour = ColorToRGB(GetDefaultFontColor());
  if (!GetEnabled()) {
    // Engraved: grey text over a highlight to the lower right.
    if (size == 0) {
      pos = spRightBottom;
      size = 1;
    }
    textColour = ColorToRGB(clGrayText);
    shadow = clBtnHighlight;
  }
  SetTextColor(dc, textColour);
  RECT r = rect;
  DrawShadowText(dc, text.c_str(), static_cast<int>(text.size()), r, flags, size, ColorToRGB(shadow), pos);
  rect = r;
}

void TExCustomLabel::Paint() {
  if (!GetEnabled() && !ComponentState().Contains(csDesigning)) dragging_ = false;
  TCanvas* canvas = GetCanvas();
  const TRect client = GetClientRect();
  if (!GetTransparent()) {
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(client);
  }
  canvas->GetBrush()->SetStyle(bsClear);
  TRect rect = TextRect();
  const UINT flags = FormatFlags();
  if (layout_ != tlTop) {
    TRect measured = rect;
    DoDrawText(measured, flags | DT_CALCRECT);
    rect.left = client.left + leftMargin_;
    rect.right = client.right - rightMargin_;
    int offset = client.Height() - measured.bottom;
    if (layout_ == tlCenter) offset /= 2;
    OffsetRect(&rect, 0, offset);
  }
  DoDrawText(rect, flags);
  if (showFocus_ && focusControl_ && focused_ && !ComponentState().Contains(csDesigning)) {
    InflateRect(&rect, 1, 1);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    RECT r = rect;
    DrawFocusRect(canvas->GetHandle(), &r);
  }
}

void TExCustomLabel::AdjustBounds() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  HDC dc = GetDC(nullptr);
  TCanvas* canvas = GetCanvas();
  canvas->SetHandle(dc);
  TRect rect = TextRect();
  DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
  canvas->SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  rect.left -= leftMargin_ + 1;
  rect.right += rightMargin_ + 1;
  int x = GetLeft();
  if (alignment_ == taRightJustify) x += GetWidth() - rect.right;
  SetBounds(x, GetTop(), rect.right, rect.bottom);
}

void TExCustomLabel::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TExCustomLabel::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TExCustomLabel::UpdateTracking() {
  bool inside = false;
  if (GetEnabled() && GetParent()) {
    POINT p{};
    GetCursorPos(&p);
    inside = FindDragTarget(TPoint(p.x, p.y), true) == this && IsForegroundTask();
  }
  if (inside == mouseInControl_) return;
  mouseInControl_ = inside;
  if (inside) MouseEnter();
  else MouseLeave();
}

void TExCustomLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && GetEnabled()) dragging_ = true;
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == mbRight) UpdateTracking();
}

void TExCustomLabel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) dragging_ = false;
  TGraphicControl::MouseUp(button, shift, x, y);
  UpdateTracking();
}

void TExCustomLabel::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_FOCUSCHANGED: {
      auto* receiving = reinterpret_cast<TWinControl*>(m.LParam);
      bool now = focusControl_ && receiving == focusControl_;
      if (now != focused_) {
        focused_ = now;
        if (showFocus_) Invalidate();
      }
      break;
    }
    case CM_TEXTCHANGED:
      Invalidate();
      AdjustBounds();
      return;
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(m);
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      if (focusControl_ && GetEnabled() && showAccelChar_ && IsAccel(m.WParam, GetCaption())) {
        if (focusControl_->CanFocus()) {
          focusControl_->SetFocus();
          m.Result = 1;
        }
        return;
      }
      break;
    case CM_MOUSEENTER:
      TGraphicControl::Dispatch(m);
      if (!mouseInControl_ && GetEnabled() && IsForegroundTask()) {
        mouseInControl_ = true;
        MouseEnter();
      }
      return;
    case CM_MOUSELEAVE:
      TGraphicControl::Dispatch(m);
      if (mouseInControl_ && GetEnabled() && !dragging_) {
        mouseInControl_ = false;
        MouseLeave();
      }
      return;
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED:
      TGraphicControl::Dispatch(m);
      UpdateTracking();
      return;
    default: break;
  }
  TGraphicControl::Dispatch(m);
}

QUILLO_DEFINE_PUBLISHED_CLASS(TExLabel, TExCustomLabel)

const TPropTable* TExLabel::PublishedProperties() {
  using L = TExLabel;
  static const TPropTable table = TPublisher<L>()
                                      .Property("Align", &L::GetAlign, &L::SetAlign)
                                      .Property("Alignment", &L::GetAlignment, &L::SetAlignment)
                                      .Property("AutoSize", &L::GetAutoSize, &L::SetAutoSize)
                                      .Property("Caption", &L::GetCaption, &L::SetCaption)
                                      .Property("Color", &L::GetColor, &L::SetColor)
                                      .Property("FocusControl", &L::GetFocusControl, &L::SetFocusControl)
                                      .Property("Font", &L::GetFont, &L::SetFont)
                                      .Property("Layout", &L::GetLayout, &L::SetLayout)
                                      .Property("ParentColor", &L::GetParentColor, &L::SetParentColor)
                                      .Property("ParentFont", &L::GetParentFont, &L::SetParentFont)
                                      .Property("ShadowColor", &L::GetShadowColor, &L::SetShadowColor)
                                      .Property("ShadowSize", &L::GetShadowSize, &L::SetShadowSize)
                                      .Property("ShadowPos", &L::GetShadowPos, &L::SetShadowPos)
                                      .Property("ShowAccelChar", &L::GetShowAccelChar, &L::SetShowAccelChar)
                                      .Property("ShowFocus", &L::GetShowFocus, &L::SetShowFocus)
                                      .Property("Transparent", &L::GetTransparent, &L::SetTransparent)
                                      .Property("WordWrap", &L::GetWordWrap, &L::SetWordWrap)
                                      .Property("Enabled", &L::GetEnabled, &L::SetEnabled)
                                      .Property("Visible", &L::GetVisible, &L::SetVisible)
                                      .Property("Hint", &L::GetHint, &L::SetHint)
                                      .Property("ShowHint", &L::GetShowHint, &L::SetShowHint)
                                      .Table();
  return &table;
}
