#pragma once
// TTimer: a component that fires OnTimer every Interval milliseconds while it is Enabled and
// has a handler, through a hidden window of its own.

#include "platform/vcl/Component.h"
#include "platform/vcl/Messages.h"

class TTimer : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  unsigned GetInterval() const { return interval_; }
  void SetInterval(unsigned interval);
  void SetOnTimer(TNotifyEvent handler);
  const TNotifyEvent& GetOnTimer() const { return onTimer_; }

protected:
  virtual void Timer();

private:
  void UpdateTimer();
  void WndProc(TMessage& message);

  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
  HWND window_ = nullptr;
  bool running_ = false;
};
