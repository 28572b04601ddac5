#include "quillo/components/timers/ExTimer.h"

#include "platform/vcl/AllocateHWnd.h"
#include "platform/vcl/Application.h"
#include "quillo/components/utilities/ComponentErrors.h"

QUILLO_DEFINE_ENUM_TYPE(TThreadPriority, "tpIdle", "tpLowest", "tpLower", "tpNormal", "tpHigher", "tpHighest",
                        "tpTimeCritical")

namespace {
constexpr UINT_PTR kTimerId = 1;
}  // namespace

// ---- TTimerThread

QUILLO_DEFINE_CLASS(TTimerThread, TThread)

TTimerThread::~TTimerThread() {
  Terminate();
  while (Suspended()) Resume();
  WaitFor();
}

bool TTimerThread::Closing() const {
  // The application's own end is checked on its thread, before a synchronized tick: this
  // thread never reaches for the application object, which may go before the timer does.
  return Terminated() || owner_.load() == nullptr;
}

void TTimerThread::Execute() {
  while (!Terminated()) {
    if (Closing()) {
      TThread::Sleep(10);
      continue;
    }
    // The sleep is the thread's pause point: a suspended timer waits here.
    TThread::Sleep(Interval.load());
    TExTimer* owner = owner_.load();
    if (Closing() || !owner || !owner->enabled_) continue;
    try {
      if (owner->syncEvent_)
        Synchronize([this] {
          TExTimer* o = owner_.load();
          if (o && !Application()->Terminated()) o->Timer();
        });
      else
        owner->Timer();
    } catch (const EAbort&) {
    } catch (const std::exception&) {
      const std::exception_ptr error = std::current_exception();
      Synchronize([error] {
        try {
          std::rethrow_exception(error);
        } catch (const std::exception&) {
          Application()->HandleException(nullptr);
        }
      });
    }
  }
}

// ---- TExTimer

QUILLO_DEFINE_PUBLISHED_CLASS(TExTimer, TComponent)

const TPropTable* TExTimer::PublishedProperties() {
  static const TPropTable table = TPublisher<TExTimer>()
                                      .Property("Enabled", &TExTimer::GetEnabled, &TExTimer::SetEnabled)
                                      .Property("Interval", &TExTimer::GetInterval, &TExTimer::SetInterval)
                                      .Property("SyncEvent", &TExTimer::GetSyncEvent, &TExTimer::SetSyncEvent)
                                      .Property("Threaded", &TExTimer::GetThreaded, &TExTimer::SetThreaded)
                                      .Property("ThreadPriority", &TExTimer::GetThreadPriority,
                                                &TExTimer::SetThreadPriority)
                                      .Table();
  return &table;
}

TExTimer::TExTimer(TComponent* owner) : TComponent(owner), thread_(MakeObject<TTimerThread>(this)) {}

TExTimer::~TExTimer() = default;

void TExTimer::BeforeDestruction() {
  if (!Freed()) {
    enabled_ = false;
    onTimer_ = nullptr;
    if (thread_) {
      thread_->Orphan();
      thread_.reset();  // ends its loop and waits for it
    }
    if (window_) {
      KillTimer(window_, kTimerId);
      DeallocateHWnd(window_);
      window_ = nullptr;
    }
    windowTimer_ = false;
  }
  TComponent::BeforeDestruction();
}

void TExTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TExTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

void TExTimer::SetThreaded(bool value) {
  if (value == threaded_) return;
  threaded_ = value;
  UpdateTimer();
}

void TExTimer::SetThreadPriority(TThreadPriority value) {
  if (value == priority_) return;
  priority_ = value;
  if (threaded_) UpdateTimer();
}

void TExTimer::SetOnTimer(TNotifyEvent handler) {
  const bool changed = (handler == nullptr) != (onTimer_ == nullptr);
  onTimer_ = std::move(handler);
  if (changed) UpdateTimer();
}

void TExTimer::UpdateTimer() {
  if (!thread_) return;
  if (threaded_) {
    if (window_) {
      KillTimer(window_, kTimerId);
      DeallocateHWnd(window_);
      window_ = nullptr;
    }
    windowTimer_ = false;
    if (!thread_->Suspended()) thread_->Suspend();
    thread_->Interval = interval_;
    if (CanTick()) {
      thread_->SetPriority(priority_);
      while (thread_->Suspended()) thread_->Resume();
    }
    return;
  }
  if (!thread_->Suspended()) thread_->Suspend();
  if (!window_)
    window_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
  else
    KillTimer(window_, kTimerId);
  windowTimer_ = false;
  if (CanTick()) {
    if (SetTimer(window_, kTimerId, interval_, nullptr) == 0) throw EOutOfResources(ComponentsText::NoTimers);
    windowTimer_ = true;
  }
}

void TExTimer::WndProc(TMessage& m) {
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

void TExTimer::Timer() {
  if (enabled_ && onTimer_ && !ComponentState().Contains(csDestroying)) onTimer_(this);
}

void TExTimer::Synchronize(const TThreadMethod& method) {
  if (thread_ && !thread_->Suspended() && !thread_->Terminated())
    thread_->Synchronize(method);
  else
    method();
}
