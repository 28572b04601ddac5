#include "platform/vcl/ProgressBar.h"

#include <algorithm>

#include "platform/controls/ProgressBar.h"

QUILLO_DEFINE_ENUM_TYPE(TProgressBarOrientation, "pbHorizontal", "pbVertical")

QUILLO_DEFINE_PUBLISHED_CLASS(TProgressBar, TWinControl)

const TPropTable* TProgressBar::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TProgressBar>()
          .Property("Max", &TProgressBar::GetMax, &TProgressBar::SetMax)
          .Property("Min", &TProgressBar::GetMin, &TProgressBar::SetMin)
          .Property("Orientation", &TProgressBar::GetOrientation, &TProgressBar::SetOrientation)
          .Property("Position", &TProgressBar::GetPosition, &TProgressBar::SetPosition)
          .Property("Smooth", &TProgressBar::GetSmooth, &TProgressBar::SetSmooth)
          .Property("Step", &TProgressBar::GetStep, &TProgressBar::SetStep)
          .Table();
  return &table;
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 150, GetSystemMetrics(SM_CYVSCROLL));
}

void TProgressBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, PROGRESS_CLASS);
  if (orientation_ == pbVertical) params.Style |= PBS_VERTICAL;
  if (smooth_) params.Style |= PBS_SMOOTH;
}

void TProgressBar::CreateWnd() {
  TWinControl::CreateWnd();
  HWND h = GetHandle();
  SendMessage(h, PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SendMessage(h, PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
  SendMessage(h, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

int TProgressBar::GetPosition() const {
  if (HandleAllocated()) {
    auto* self = const_cast<TProgressBar*>(this);
    self->position_ = static_cast<int>(SendMessage(self->GetHandle(), PBM_GETPOS, 0, 0));
  }
  return position_;
}

void TProgressBar::SetPosition(int value) {
  position_ = std::clamp(value, min_, max_);
  if (HandleAllocated()) SendMessage(GetHandle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetStep(int value) {
  step_ = value;
  if (HandleAllocated()) SendMessage(GetHandle(), PBM_SETSTEP, static_cast<WPARAM>(value), 0);
}

void TProgressBar::SetParams(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = std::clamp(position_, min_, max_);
  if (HandleAllocated()) SendMessage(GetHandle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TProgressBar::SetOrientation(TProgressBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  if (!ComponentState().Contains(csLoading)) SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
  RecreateWnd();
}

void TProgressBar::SetSmooth(bool value) {
  if (value == smooth_) return;
  smooth_ = value;
  RecreateWnd();
}

void TProgressBar::StepIt() {
  if (HandleAllocated()) {
    SendMessage(GetHandle(), PBM_STEPIT, 0, 0);
    GetPosition();
    return;
  }
  long long next = static_cast<long long>(position_) + step_;
  long long span = static_cast<long long>(max_) - min_;
  if (span > 0 && next > max_) next = min_ + (next - min_) % span;
  position_ = static_cast<int>(std::clamp<long long>(next, min_, max_));
}

void TProgressBar::StepBy(int delta) {
  if (HandleAllocated()) {
    SendMessage(GetHandle(), PBM_DELTAPOS, static_cast<WPARAM>(delta), 0);
    GetPosition();
    return;
  }
  SetPosition(position_ + delta);
}
