#include "quillo/components/panels/ExSplitter.h"

#include <algorithm>

#include "platform/vcl/Application.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/TypInfo.h"

QUILLO_DEFINE_ENUM_TYPE(TSplitterStyle, "spUnknown", "spHorizontalFirst", "spHorizontalSecond", "spVerticalFirst",
                        "spVerticalSecond")
QUILLO_DEFINE_PUBLISHED_CLASS(TExSplitter, TCustomPanel)

namespace {

bool IsHorizontal(TSplitterStyle s) { return s == spHorizontalFirst || s == spHorizontalSecond; }
bool IsVertical(TSplitterStyle s) { return s == spVerticalFirst || s == spVerticalSecond; }

}  // namespace

const TPropTable* TExSplitter::PublishedProperties() {
  using S = TExSplitter;
  static const TPropTable table = TPublisher<S>()
                                      .Property("ControlFirst", &S::GetControlFirst, &S::SetControlFirst)
                                      .Property("ControlSecond", &S::GetControlSecond, &S::SetControlSecond)
                                      .Property("TopLeftLimit", &S::GetTopLeftLimit, &S::SetTopLeftLimit)
                                      .Property("BottomRightLimit", &S::GetBottomRightLimit, &S::SetBottomRightLimit)
                                      .Property("BevelInner", &S::GetBevelInner, &S::SetBevelInner)
                                      .Property("BevelOuter", &S::GetBevelOuter, &S::SetBevelOuter)
                                      .Property("BevelWidth", &S::GetBevelWidth, &S::SetBevelWidth)
                                      .Property("BorderStyle", &S::GetBorderStyle, &S::SetBorderStyle)
                                      .Table();
  return &table;
}

TExSplitter::TExSplitter(TComponent* owner) : TCustomPanel(owner) {
  SetBounds(GetLeft(), GetTop(), 185, 3);
  SetColor(clBtnFace);
  SetParentColor(false);
  SetCaption("");
  controlStyle_ >> csSetCaption;
}

TExSplitter::~TExSplitter() = default;

TControl* TExSplitter::Acceptable(TControl* value) const {
  if (value == this || dynamic_cast<TCustomForm*>(value)) return nullptr;
  return value;
}

void TExSplitter::SetControlFirst(TControl* value) {
  value = Acceptable(value);
  if (value == controlFirst_) return;
  if (controlFirst_ && controlFirst_ != controlSecond_) controlFirst_->RemoveFreeNotification(this);
  controlFirst_ = value;
  if (value) value->FreeNotification(this);
  UpdateCursor();
}

void TExSplitter::SetControlSecond(TControl* value) {
  value = Acceptable(value);
  if (value == controlSecond_) return;
  if (controlSecond_ && controlSecond_ != controlFirst_) controlSecond_->RemoveFreeNotification(this);
  controlSecond_ = value;
  if (value) value->FreeNotification(this);
  UpdateCursor();
}

void TExSplitter::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == controlFirst_) controlFirst_ = nullptr;
  if (component == controlSecond_) controlSecond_ = nullptr;
  if (component == keyControl_) {
    keyControl_ = nullptr;
    savedKeyDown_ = nullptr;
  }
  if (component == lineForm_) {
    // The form goes while a drag is under way: its context goes with it.
    lineDC_ = nullptr;
    lineForm_ = nullptr;
    sizing_ = false;
  }
}

void TExSplitter::Loaded() {
  TCustomPanel::Loaded();
  UpdateCursor();
}

TSplitterStyle TExSplitter::SizingStyle() const {
  if (!controlFirst_) return spUnknown;
  const TAlign first = controlFirst_->GetAlign();
  const TAlign second = controlSecond_ ? controlSecond_->GetAlign() : alNone;
  const bool secondFree = !controlSecond_ || second == alClient;
  TSplitterStyle s = spUnknown;
  if ((first == alTop || first == alBottom) && secondFree) s = spHorizontalFirst;
  else if (first == alClient && (second == alBottom || second == alTop)) s = spHorizontalSecond;
  else if ((first == alLeft || first == alRight) && secondFree) s = spVerticalFirst;
  else if (first == alClient && (second == alRight || second == alLeft)) s = spVerticalSecond;
  if ((s == spHorizontalFirst || s == spVerticalFirst) && GetAlign() != first) s = spUnknown;
  if ((s == spHorizontalSecond || s == spVerticalSecond) && GetAlign() != second) s = spUnknown;
  return s;
}

void TExSplitter::UpdateCursor() {
  const TSplitterStyle s = SizingStyle();
  SetCursor(IsHorizontal(s) ? crVSplit : IsVertical(s) ? crHSplit : crDefault);
}

void TExSplitter::RequestAlign() {
  TCustomPanel::RequestAlign();
  const TAlign align = GetAlign();
  if (align == lastAlign_) return;
  const bool wasSide = lastAlign_ == alTop || lastAlign_ == alBottom || lastAlign_ == alLeft || lastAlign_ == alRight;
  lastAlign_ = align;
  if (ComponentState().Contains(csLoading) || wasSide) {
    UpdateCursor();
    return;
  }
  if (align == alTop || align == alBottom) SetHeight(3);
  else if (align == alLeft || align == alRight) SetWidth(3);
  if (!controlFirst_ && !controlSecond_) FindFirstControl();
  UpdateCursor();
}

// The sibling just outside the splitter on its aligned side.
void TExSplitter::FindFirstControl() {
  TWinControl* parent = GetParent();
  if (!parent) return;
  TPoint p;
  switch (GetAlign()) {
    case alTop: p = TPoint(GetLeft(), GetTop() - 1); break;
    case alBottom: p = TPoint(GetLeft(), GetTop() + GetHeight()); break;
    case alLeft: p = TPoint(GetLeft() - 1, GetTop()); break;
    case alRight: p = TPoint(GetLeft() + GetWidth(), GetTop()); break;
    default: return;
  }
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this) continue;
    const TRect r = c->GetBoundsRect();
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
      SetControlFirst(c);
      return;
    }
  }
}

int TExSplitter::Thickness() const { return IsHorizontal(style_) ? GetHeight() : GetWidth(); }

// ---- drag ----

void TExSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomPanel::MouseDown(button, shift, x, y);
  if (button != mbLeft || ComponentState().Contains(csDesigning) || sizing_) return;
  style_ = SizingStyle();
  if (style_ == spUnknown || !GetParent()) return;
  sizing_ = true;
  downPos_ = TPoint(x, y);
  savedShowHint_ = Application()->GetShowHint();
  Application()->SetShowHint(false);
  // Limits in the splitter's own coordinates.
  TWinControl* parent = GetParent();
  lowerLimit_ = TPoint(topLeftLimit_ - GetLeft(), topLeftLimit_ - GetTop());
  upperLimit_ = TPoint(parent->GetClientWidth() - bottomRightLimit_ - GetLeft(),
                       parent->GetClientHeight() - bottomRightLimit_ - GetTop());
  // Escape, pressed wherever the focus is, ends the drag.
  if (TCustomForm* form = GetParentForm(this)) {
    keyControl_ = form->GetActiveControl() ? form->GetActiveControl() : form;
    keyControl_->FreeNotification(this);
    savedKeyDown_ = keyControl_->OnKeyDown;
    keyControl_->OnKeyDown = [this](TObject* sender, WORD& key, TShiftState s) { KeyDownDuringDrag(sender, key, s); };
    lineForm_ = form;
    form->FreeNotification(this);
    lineDC_ = GetDCEx(form->GetHandle(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
  }
  lastPos_ = downPos_;
  DrawLine();
}

TPoint TExSplitter::Clamp(TPoint p) const {
  const int w = GetWidth(), h = GetHeight();
  if (p.x - downPos_.x < lowerLimit_.x) p.x = lowerLimit_.x + downPos_.x;
  else if (p.x - downPos_.x + w > upperLimit_.x) p.x = upperLimit_.x - w + downPos_.x;
  if (p.y - downPos_.y < lowerLimit_.y) p.y = lowerLimit_.y + downPos_.y;
  else if (p.y - downPos_.y + h > upperLimit_.y) p.y = upperLimit_.y - h + downPos_.y;
  return p;
}

bool TExSplitter::AskPosChanging(const TPoint& p) {
  bool allow = true;
  if (OnPosChanging) OnPosChanging(this, p.x, p.y, allow);
  return allow;
}

void TExSplitter::DrawLine() {
  if (!lineDC_ || !lineForm_) return;
  lineShown_ = !lineShown_;
  // The line along the splitter, at its centre moved by the mouse's offset, in the form's
  // client coordinates and inside the parent's client area.
  const int width = std::max(Thickness() - 2, 2);
  TPoint origin = lineForm_->ScreenToClient(ClientToScreen(TPoint(0, 0)));
  TPoint parentOrigin = lineForm_->ScreenToClient(GetParent()->ClientToScreen(TPoint(0, 0)));
  RECT line;
  if (IsHorizontal(style_)) {
    int y = origin.y + GetHeight() / 2 + (lastPos_.y - downPos_.y) - width / 2;
    y = std::clamp(y, parentOrigin.y, parentOrigin.y + GetParent()->GetClientHeight() - width);
    line = RECT{origin.x, y, origin.x + GetWidth(), y + width};
  } else {
    int x = origin.x + GetWidth() / 2 + (lastPos_.x - downPos_.x) - width / 2;
    x = std::clamp(x, parentOrigin.x, parentOrigin.x + GetParent()->GetClientWidth() - width);
    line = RECT{x, origin.y, x + width, origin.y + GetHeight()};
  }
  PatBlt(lineDC_, line.left, line.top, line.right - line.left, line.bottom - line.top, DSTINVERT);
}

void TExSplitter::MoveLine(const TPoint& p) {
  if (p.x == lastPos_.x && p.y == lastPos_.y) return;
  if (lineShown_) DrawLine();
  lastPos_ = p;
  DrawLine();
}

void TExSplitter::MouseMove(TShiftState shift, int x, int y) {
  TCustomPanel::MouseMove(shift, x, y);
  if (!sizing_ || GetCaptureControl() != this) return;
  const TPoint p(x, y);
  if (!AskPosChanging(p)) {
    Screen()->SetCursor(crNoDrop);
    return;
  }
  const TPoint clamped = Clamp(p);
  const bool limited = IsHorizontal(style_) ? clamped.y != p.y : clamped.x != p.x;
  Screen()->SetCursor(limited ? crNoDrop : GetCursor());
  MoveLine(clamped);
}

void TExSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomPanel::MouseUp(button, shift, x, y);
  if (!sizing_ || button != mbLeft) return;
  const bool allow = AskPosChanging(TPoint(x, y));
  StopSizing(true, allow ? Clamp(TPoint(x, y)) : lastPos_);
}

void TExSplitter::StopSizing(bool apply, const TPoint& at) {
  if (!sizing_) return;
  sizing_ = false;
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  if (lineShown_) DrawLine();
  if (lineDC_ && lineForm_) ReleaseDC(lineForm_->GetHandle(), lineDC_);
  lineDC_ = nullptr;
  if (lineForm_) lineForm_->RemoveFreeNotification(this);
  lineForm_ = nullptr;
  Screen()->SetCursor(crDefault);
  if (apply) ApplySize(Clamp(at));
  Application()->SetShowHint(savedShowHint_);
  if (keyControl_) {
    keyControl_->OnKeyDown = savedKeyDown_;
    keyControl_->RemoveFreeNotification(this);
    keyControl_ = nullptr;
    savedKeyDown_ = nullptr;
  }
  if (apply && OnPosChanged) OnPosChanged(this);
}

void TExSplitter::ApplySize(const TPoint& at) {
  TWinControl* parent = GetParent();
  if (!parent) return;
  TPoint delta(at.x - downPos_.x, at.y - downPos_.y);
  auto aligned = [this](TAlign a) {
    return (controlFirst_ && controlFirst_->GetAlign() == a) || (controlSecond_ && controlSecond_->GetAlign() == a);
  };
  if (aligned(alRight)) delta.x = -delta.x;
  if (aligned(alBottom)) delta.y = -delta.y;
  TControl* target = style_ == spHorizontalFirst || style_ == spVerticalFirst ? controlFirst_ : controlSecond_;
  if (!target) return;
  const bool horizontal = IsHorizontal(style_);
  const int extent = horizontal ? parent->GetClientHeight() : parent->GetClientWidth();
  int size = (horizontal ? target->GetHeight() + delta.y : target->GetWidth() + delta.x);
  if (size < 1) size = 1;
  if (size >= extent - Thickness()) size = extent - Thickness() - 3;
  parent->DisableAlign();
  try {
    if (horizontal) target->SetHeight(size);
    else target->SetWidth(size);
  } catch (...) {
    parent->EnableAlign();
    throw;
  }
  parent->EnableAlign();
}

void TExSplitter::KeyDownDuringDrag(TObject* sender, WORD& key, TShiftState shift) {
  if (key == VK_ESCAPE) {
    StopSizing(false, lastPos_);
    key = 0;
    return;
  }
  if (savedKeyDown_) {
    TKeyEvent passOn = savedKeyDown_;  // the handler may end the drag, which drops the saved one
    passOn(sender, key, shift);
  }
}
