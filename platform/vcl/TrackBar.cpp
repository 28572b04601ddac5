#include "platform/vcl/TrackBar.h"

#include <algorithm>

#include "platform/controls/TrackBar.h"

QUILLO_DEFINE_ENUM_TYPE(TTrackBarOrientation, "trHorizontal", "trVertical")
QUILLO_DEFINE_ENUM_TYPE(TTickMark, "tmBottomRight", "tmTopLeft", "tmBoth")
QUILLO_DEFINE_ENUM_TYPE(TTickStyle, "tsNone", "tsAuto", "tsManual")

QUILLO_DEFINE_PUBLISHED_CLASS(TTrackBar, TWinControl)

const TPropTable* TTrackBar::PublishedProperties() {
  static const TPropTable table = TPublisher<TTrackBar>()
                                      .Property("Frequency", &TTrackBar::GetFrequency, &TTrackBar::SetFrequency)
                                      .Property("LineSize", &TTrackBar::GetLineSize, &TTrackBar::SetLineSize)
                                      .Property("Max", &TTrackBar::GetMax, &TTrackBar::SetMax)
                                      .Property("Min", &TTrackBar::GetMin, &TTrackBar::SetMin)
                                      .Property("Orientation", &TTrackBar::GetOrientation, &TTrackBar::SetOrientation)
                                      .Property("PageSize", &TTrackBar::GetPageSize, &TTrackBar::SetPageSize)
                                      .Property("Position", &TTrackBar::GetPosition, &TTrackBar::SetPosition)
                                      .Property("SelEnd", &TTrackBar::GetSelEnd, &TTrackBar::SetSelEnd)
                                      .Property("SelStart", &TTrackBar::GetSelStart, &TTrackBar::SetSelStart)
                                      .Property("SliderVisible", &TTrackBar::GetSliderVisible, &TTrackBar::SetSliderVisible)
                                      .Property("ThumbLength", &TTrackBar::GetThumbLength, &TTrackBar::SetThumbLength)
                                      .Property("TickMarks", &TTrackBar::GetTickMarks, &TTrackBar::SetTickMarks)
                                      .Property("TickStyle", &TTrackBar::GetTickStyle, &TTrackBar::SetTickStyle)
                                      .Table();
  return &table;
}

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 150, 45);
  SetTabStop(true);
  controlStyle_ = controlStyle_ - TControlStyle{csCaptureMouse, csSetCaption, csClickEvents};
}

void TTrackBar::Send(UINT message, WPARAM wParam, LPARAM lParam) {
  if (HandleAllocated()) SendMessage(GetHandle(), message, wParam, lParam);
}

void TTrackBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, TRACKBAR_CLASS);
  params.Style |= TBS_ENABLESELRANGE | TBS_FIXEDLENGTH;
  if (orientation_ == trVertical) params.Style |= TBS_VERT;
  if (tickStyle_ == tsNone) params.Style |= TBS_NOTICKS;
  else if (tickStyle_ == tsAuto) params.Style |= TBS_AUTOTICKS;
  if (tickMarks_ == tmTopLeft) params.Style |= TBS_TOP;
  else if (tickMarks_ == tmBoth) params.Style |= TBS_BOTH;
  if (!sliderVisible_) params.Style |= TBS_NOTHUMB;
}

void TTrackBar::CreateWnd() {
  TWinControl::CreateWnd();
  Send(TBM_SETTHUMBLENGTH, static_cast<WPARAM>(thumbLength_), 0);
  Send(TBM_SETLINESIZE, 0, lineSize_);
  Send(TBM_SETPAGESIZE, 0, pageSize_);
  Send(TBM_SETRANGEMIN, FALSE, min_);
  Send(TBM_SETRANGEMAX, FALSE, max_);
  Send(TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
  for (int tick : ticks_) Send(TBM_SETTIC, 0, tick);
  Send(TBM_SETSELSTART, FALSE, selStart_);
  Send(TBM_SETSELEND, FALSE, selEnd_);
  Send(TBM_SETPOS, TRUE, position_);
}

void TTrackBar::SetMin(int value) {
  min_ = value;
  max_ = std::max(min_, max_);
  Send(TBM_SETRANGEMIN, TRUE, min_);
  SetPosition(position_);
}

void TTrackBar::SetMax(int value) {
  max_ = std::max(min_, value);
  Send(TBM_SETRANGEMAX, TRUE, max_);
  SetPosition(position_);
}

void TTrackBar::SetPosition(int value) {
  value = std::clamp(value, min_, max_);
  if (value == position_) return;
  position_ = value;
  Send(TBM_SETPOS, TRUE, value);
  Changed();
}

void TTrackBar::SetFrequency(int value) {
  frequency_ = std::max(1, value);
  Send(TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
}

void TTrackBar::SetLineSize(int value) {
  lineSize_ = value;
  Send(TBM_SETLINESIZE, 0, value);
}

void TTrackBar::SetPageSize(int value) {
  pageSize_ = value;
  Send(TBM_SETPAGESIZE, 0, value);
}

void TTrackBar::SetSelStart(int value) {
  selStart_ = value;
  Send(TBM_SETSELSTART, TRUE, value);
}

void TTrackBar::SetSelEnd(int value) {
  selEnd_ = value;
  Send(TBM_SETSELEND, TRUE, value);
}

void TTrackBar::SetThumbLength(int value) {
  thumbLength_ = value;
  Send(TBM_SETTHUMBLENGTH, static_cast<WPARAM>(value), 0);
}

void TTrackBar::SetOrientation(TTrackBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  if (!ComponentState().Contains(csLoading)) SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
  RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark value) {
  if (value == tickMarks_) return;
  tickMarks_ = value;
  RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle value) {
  if (value == tickStyle_) return;
  tickStyle_ = value;
  RecreateWnd();
}

void TTrackBar::SetSliderVisible(bool value) {
  if (value == sliderVisible_) return;
  sliderVisible_ = value;
  RecreateWnd();
}

void TTrackBar::SetTick(int value) {
  if (std::find(ticks_.begin(), ticks_.end(), value) == ticks_.end()) ticks_.push_back(value);
  Send(TBM_SETTIC, 0, value);
}

void TTrackBar::Changed() {
  if (OnChange) OnChange(this);
}

void TTrackBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_HSCROLL: case CN_VSCROLL: {
      int pos = static_cast<int>(SendMessage(GetHandle(), TBM_GETPOS, 0, 0));
      m.Result = 0;
      if (pos == position_) return;
      position_ = pos;
      Changed();
      return;
    }
  }
  TWinControl::Dispatch(m);
}
