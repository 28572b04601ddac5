#include "platform/vcl/Timer.h"

#include "platform/vcl/AllocateHWnd.h"
#include "platform/vcl/Application.h"

QUILLO_DEFINE_PUBLISHED_CLASS(TTimer, TComponent)

const TPropTable* TTimer::PublishedProperties() {
  static const TPropTable table = TPublisher<TTimer>()
                                      .Property("Enabled", &TTimer::GetEnabled, &TTimer::SetEnabled)
                                      .Property("Interval", &TTimer::GetInterval, &TTimer::SetInterval)
                                      .Table();
  return &table;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  window_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TTimer::~TTimer() {
  enabled_ = false;
  UpdateTimer();
  DeallocateHWnd(window_);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned interval) {
  if (interval == interval_) return;
  interval_ = interval;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (!window_ || !IsWindow(window_)) return;
  if (running_) KillTimer(window_, 1);
  running_ = false;
  if (interval_ != 0 && enabled_ && onTimer_) {
    if (!SetTimer(window_, 1, interval_, nullptr)) throw EOSError("Not enough timers available");
    running_ = true;
  }
}

void TTimer::WndProc(TMessage& m) {
  if (m.Msg == WM_TIMER) {
    try {
      Timer();
    } catch (const std::exception&) {
      Application()->HandleException(this);
    }
    return;
  }
  m.Result = DefWindowProc(window_, m.Msg, m.WParam, m.LParam);
}

void TTimer::Timer() {
  if (onTimer_) onTimer_(this);
}
