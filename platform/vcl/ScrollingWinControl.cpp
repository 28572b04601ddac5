#include "platform/vcl/ScrollingWinControl.h"

#include <algorithm>

QUILLO_DEFINE_ENUM_TYPE(TScrollBarKind, "sbHorizontal", "sbVertical")

QUILLO_DEFINE_PUBLISHED_CLASS(TControlScrollBar, TPersistent)

const TPropTable* TControlScrollBar::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TControlScrollBar>()
          .Property("Increment", &TControlScrollBar::GetIncrement, &TControlScrollBar::SetIncrement)
          .Property("Position", &TControlScrollBar::GetPosition, &TControlScrollBar::SetPosition)
          .Property("Range", &TControlScrollBar::GetRange, &TControlScrollBar::SetRange)
          .Property("Tracking", &TControlScrollBar::GetTracking, &TControlScrollBar::SetTracking)
          .Property("Visible", &TControlScrollBar::GetVisible, &TControlScrollBar::SetVisible)
          .Table();
  return &table;
}

void TControlScrollBar::Assign(const TPersistent* source) {
  if (auto* bar = dynamic_cast<const TControlScrollBar*>(source)) {
    visible_ = bar->visible_;
    range_ = bar->range_;
    increment_ = bar->increment_;
    tracking_ = bar->tracking_;
    SetPosition(bar->position_);
    Update();
    return;
  }
  TPersistent::Assign(source);
}

int TControlScrollBar::ControlSize() const {
  TRect r = control_->GetClientRect();
  return kind_ == sbHorizontal ? r.Width() : r.Height();
}

// The client extent along this bar's axis as it would be with neither bar shown.
int TControlScrollBar::SizeWithoutBars() const {
  int size = ControlSize();
  if (!control_->HandleAllocated()) return size;
  const DWORD style = static_cast<DWORD>(GetWindowLong(control_->GetHandle(), GWL_STYLE));
  if (kind_ == sbHorizontal && (style & WS_VSCROLL)) size += GetSystemMetrics(SM_CXVSCROLL);
  if (kind_ == sbVertical && (style & WS_HSCROLL)) size += GetSystemMetrics(SM_CYHSCROLL);
  return size;
}

// Decided on the room there is without bars, not on the client left beside bars shown now:
// otherwise a view grown to fit its content exactly kept bars it no longer needs. A bar is
// needed when the content is larger than that room, or when the other bar is needed and
// takes the difference.
bool TControlScrollBar::IsScrollBarVisible() const {
  if (!visible_) return false;
  const int room = SizeWithoutBars();
  if (range_ > room) return true;
  const TControlScrollBar* other = kind_ == sbHorizontal ? control_->vert_.get() : control_->horz_.get();
  if (!other || !other->visible_ || other->range_ <= other->SizeWithoutBars()) return false;
  return range_ > room - GetSystemMetrics(kind_ == sbHorizontal ? SM_CXVSCROLL : SM_CYHSCROLL);
}

void TControlScrollBar::SetRange(int range) {
  range_ = std::max(0, range);
  SetPosition(position_);
  Update();
}

void TControlScrollBar::SetPosition(int position) {
  int limit = std::max(0, range_ - ControlSize());
  position = std::clamp(position, 0, limit);
  if (position == position_) return;
  int delta = position_ - position;
  position_ = position;
  if (kind_ == sbHorizontal) control_->ScrollBy(delta, 0);
  else control_->ScrollBy(0, delta);
  if (control_->HandleAllocated() && IsScrollBarVisible())
    SetScrollPos(control_->GetHandle(), kind_ == sbHorizontal ? SB_HORZ : SB_VERT, position_, TRUE);
}

void TControlScrollBar::SetVisible(bool visible) {
  visible_ = visible;
  Update();
}

// The window's bar shows the range as positions 0 .. range - 1 with a page the size of the
// view, so the thumb's travel ends where the content's end meets the view's.
void TControlScrollBar::Update() {
  if (!control_->HandleAllocated()) return;
  HWND h = control_->GetHandle();
  int bar = kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
  if (!IsScrollBarVisible()) {
    ShowScrollBar(h, bar, FALSE);
    return;
  }
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = range_ - 1;
  info.nPage = static_cast<UINT>(std::max(1, ControlSize()));
  info.nPos = position_;
  SetScrollInfo(h, bar, &info, TRUE);
}

void TControlScrollBar::ScrollMessage(TMessage& m) {
  int page = std::max(1, ControlSize() * 9 / 10);
  auto dragged = [&] {
    SCROLLINFO info;
    info.fMask = SIF_TRACKPOS;
    int bar = kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
    if (control_->HandleAllocated() && GetScrollInfo(control_->GetHandle(), bar, &info)) return info.nTrackPos;
    return static_cast<int>(static_cast<short>(HIWORD(m.WParam)));
  };
  switch (LOWORD(m.WParam)) {
    case SB_LINEUP: SetPosition(position_ - increment_); break;
    case SB_LINEDOWN: SetPosition(position_ + increment_); break;
    case SB_PAGEUP: SetPosition(position_ - page); break;
    case SB_PAGEDOWN: SetPosition(position_ + page); break;
    case SB_THUMBPOSITION: SetPosition(dragged()); break;
    case SB_THUMBTRACK:
      if (tracking_) SetPosition(dragged());
      break;
    case SB_TOP: SetPosition(0); break;
    case SB_BOTTOM: SetPosition(range_); break;
  }
  m.Result = 0;
}

QUILLO_DEFINE_PUBLISHED_CLASS(TScrollingWinControl, TWinControl)

const TPropTable* TScrollingWinControl::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TScrollingWinControl>()
          .Property("AutoScroll", &TScrollingWinControl::GetAutoScroll, &TScrollingWinControl::SetAutoScroll)
          .Property("HorzScrollBar", &TScrollingWinControl::GetHorzScrollBar, &TScrollingWinControl::SetHorzScrollBar)
          .Property("VertScrollBar", &TScrollingWinControl::GetVertScrollBar, &TScrollingWinControl::SetVertScrollBar)
          .Table();
  return &table;
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
    : TWinControl(owner),
      horz_(MakeObject<TControlScrollBar>(this, sbHorizontal)),
      vert_(MakeObject<TControlScrollBar>(this, sbVertical)) {
  controlStyle_ << csAcceptsControls;
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool value) {
  autoScroll_ = value;
  if (value) CalcAutoRange();
}

void TScrollingWinControl::ScrollBy(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  DisableAlign();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->SetBoundsByLayout(c->GetLeft() + dx, c->GetTop() + dy, c->GetWidth(), c->GetHeight());
  }
  EnableAlign();
  Invalidate();
}

void TScrollingWinControl::ScrollInView(TControl* control) {
  if (!control || !ContainsControl(control)) return;
  TRect r = control->GetBoundsRect();
  TRect client = GetClientRect();
  if (r.left < 0) horz_->SetPosition(horz_->position_ + r.left);
  else if (r.right > client.right) horz_->SetPosition(horz_->position_ + std::min(r.right - client.right, r.left));
  if (r.top < 0) vert_->SetPosition(vert_->position_ + r.top);
  else if (r.bottom > client.bottom) vert_->SetPosition(vert_->position_ + std::min(r.bottom - client.bottom, r.top));
}

void TScrollingWinControl::CalcAutoRange() {
  if (!autoScroll_ || updatingRange_) return;
  updatingRange_ = true;
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->GetVisible()) continue;
    // Aligned controls follow the view; they never make it scroll.
    if (c->GetAlign() == alNone || c->GetAlign() == alLeft || c->GetAlign() == alRight)
      right = std::max(right, c->GetLeft() + c->GetWidth() + horz_->ScrollPos());
    if (c->GetAlign() == alNone || c->GetAlign() == alTop || c->GetAlign() == alBottom)
      bottom = std::max(bottom, c->GetTop() + c->GetHeight() + vert_->ScrollPos());
  }
  horz_->SetRange(right);
  vert_->SetRange(bottom);
  updatingRange_ = false;
}

void TScrollingWinControl::AlignControls(TControl* control, TRect& rect) {
  TWinControl::AlignControls(control, rect);
  CalcAutoRange();
}

void TScrollingWinControl::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScrollBars();
}

void TScrollingWinControl::UpdateScrollBars() {
  // Showing one bar narrows the view, which may call for the other: the size change this
  // causes comes back here and is left to the outer call.
  if (updatingBars_) return;
  updatingBars_ = true;
  horz_->Update();
  vert_->Update();
  horz_->Update();
  updatingBars_ = false;
}

void TScrollingWinControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style &= ~(WS_HSCROLL | WS_VSCROLL);
}

// A wheel turn scrolls the vertical bar (with Shift, the horizontal one; the horizontal one too
// when only it shows) by the system's lines per notch, a line being the bar's increment.
bool TScrollingWinControl::MouseWheelDefault(TMessage& m) {
  const bool sideways = (LOWORD(m.WParam) & MK_SHIFT) != 0;
  TControlScrollBar* bar = nullptr;
  if (sideways) bar = horz_->IsScrollBarVisible() ? horz_.get() : nullptr;
  else bar = vert_->IsScrollBarVisible() ? vert_.get() : horz_->IsScrollBarVisible() ? horz_.get() : nullptr;
  if (!bar) return false;
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  int notches = static_cast<short>(HIWORD(m.WParam)) / WHEEL_DELTA;
  if (notches == 0) return false;
  bar->SetPosition(bar->GetPosition() - notches * static_cast<int>(lines) * bar->GetIncrement());
  m.Result = 0;  // WM_MOUSEWHEEL: used
  return true;
}

void TScrollingWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
      TWinControl::Dispatch(m);
      UpdateScrollBars();
      return;
    case WM_HSCROLL:
      if (m.LParam == 0) {
        horz_->ScrollMessage(m);
        return;
      }
      break;
    case WM_VSCROLL:
      if (m.LParam == 0) {
        vert_->ScrollMessage(m);
        return;
      }
      break;
  }
  TWinControl::Dispatch(m);
}
