#include "platform/vcl/ScrollBar.h"

#include <algorithm>

#include "platform/controls/ScrollBar.h"

QUILLO_DEFINE_ENUM_TYPE(TScrollCode, "scLineUp", "scLineDown", "scPageUp", "scPageDown", "scPosition", "scTrack",
                        "scTop", "scBottom", "scEndScroll")

QUILLO_DEFINE_PUBLISHED_CLASS(TScrollBar, TWinControl)

const TPropTable* TScrollBar::PublishedProperties() {
  static const TPropTable table = TPublisher<TScrollBar>()
                                      .Property("Kind", &TScrollBar::GetKind, &TScrollBar::SetKind)
                                      .Property("LargeChange", &TScrollBar::GetLargeChange, &TScrollBar::SetLargeChange)
                                      .Property("Max", &TScrollBar::GetMax, &TScrollBar::SetMax)
                                      .Property("Min", &TScrollBar::GetMin, &TScrollBar::SetMin)
                                      .Property("PageSize", &TScrollBar::GetPageSize, &TScrollBar::SetPageSize)
                                      .Property("Position", &TScrollBar::GetPosition, &TScrollBar::SetPosition)
                                      .Property("SmallChange", &TScrollBar::GetSmallChange, &TScrollBar::SetSmallChange)
                                      .Table();
  return &table;
}

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
  controlStyle_ = TControlStyle{csFramed, csDoubleClicks, csOpaque};
}

void TScrollBar::SetKind(TScrollBarKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  // A bar turned on its side keeps its proportions turned too.
  if (!ComponentState().Contains(csLoading)) SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
  RecreateWnd();
}

int TScrollBar::HighestPosition(int min, int max) const { return std::max(min, max - std::max(pageSize_ - 1, 0)); }

void TScrollBar::SetPageSize(int value) {
  pageSize_ = std::clamp(value, 0, std::max(0, max_ - min_ + 1));
  SetParams(position_, min_, max_);
  UpdateWindow();
}

void TScrollBar::SetParams(int position, int min, int max) {
  max = std::max(min, max);
  position = std::clamp(position, min, HighestPosition(min, max));
  bool moved = position != position_;
  bool rangeChanged = min != min_ || max != max_;
  min_ = min;
  max_ = max;
  position_ = position;
  if (rangeChanged || moved) UpdateWindow();
  if (moved) Change();
}

void TScrollBar::UpdateWindow() {
  if (!HandleAllocated()) return;
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  info.nMin = min_;
  info.nMax = max_;
  info.nPage = static_cast<UINT>(pageSize_);
  info.nPos = position_;
  SetScrollInfo(GetHandle(), SB_CTL, &info, TRUE);
}

void TScrollBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, WC_SCROLLBAR);
  params.Style |= kind_ == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateWindow();
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode code, int& scrollPos) {
  if (OnScroll) OnScroll(this, code, scrollPos);
}

void TScrollBar::DoScroll(TMessage& m) {
  int code = LOWORD(m.WParam);
  long long next = position_;
  switch (code) {
    case SB_LINEUP: next -= smallChange_; break;
    case SB_LINEDOWN: next += smallChange_; break;
    case SB_PAGEUP: next -= largeChange_; break;
    case SB_PAGEDOWN: next += largeChange_; break;
    case SB_THUMBPOSITION: case SB_THUMBTRACK: {
      // The full 32-bit tracking position, not the 16 bits the message carries.
      SCROLLINFO info;
      info.fMask = SIF_TRACKPOS;
      next = GetScrollInfo(GetHandle(), SB_CTL, &info) ? info.nTrackPos : static_cast<short>(HIWORD(m.WParam));
      break;
    }
    case SB_TOP: next = min_; break;
    case SB_BOTTOM: next = max_; break;
  }
  int scrollPos = static_cast<int>(std::clamp<long long>(next, min_, HighestPosition(min_, max_)));
  if (code <= SB_ENDSCROLL) Scroll(static_cast<TScrollCode>(code), scrollPos);
  SetPosition(scrollPos);
  m.Result = 0;
}

void TScrollBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_HSCROLL: case CN_VSCROLL: DoScroll(m); return;
  }
  TWinControl::Dispatch(m);
}
