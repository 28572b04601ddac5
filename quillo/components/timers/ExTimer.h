#pragma once
// TExTimer: a timer that ticks from a worker thread sleeping for the interval (Threaded) or
// from a window timer. In thread mode OnTimer runs on the user-interface thread (SyncEvent)
// or on the worker itself. The worker is paused only at a known point of its loop (the
// framework's suspension is cooperative), never in the middle of a handler or while it
// holds a lock.

#include <atomic>

#include "platform/vcl/Component.h"
#include "platform/vcl/Messages.h"
#include "platform/vcl/Thread.h"

QUILLO_DECLARE_ENUM_TYPE(TThreadPriority)

class TExTimer;

class TTimerThread : public TThread {
  QUILLO_DECLARE_CLASS()

public:
  explicit TTimerThread(TExTimer* owner) : owner_(owner) {}
  ~TTimerThread() override;
  std::atomic<unsigned> Interval{1000};
  // The owner is going: the loop ends without touching it again.
  void Orphan() { owner_ = nullptr; }

protected:
  void Execute() override;

private:
  bool Closing() const;
  std::atomic<TExTimer*> owner_;
};

class TExTimer : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExTimer(TComponent* owner);
  ~TExTimer() override;
  void BeforeDestruction() override;

  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned GetInterval() const { return interval_; }
  void SetInterval(unsigned value);
  bool GetSyncEvent() const { return syncEvent_; }
  void SetSyncEvent(bool value) { syncEvent_ = value; }
  bool GetThreaded() const { return threaded_; }
  void SetThreaded(bool value);
  TThreadPriority GetThreadPriority() const { return priority_; }
  void SetThreadPriority(TThreadPriority value);
  const TNotifyEvent& GetOnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);

  // Whether each way of ticking is running now.
  bool ThreadRunning() const { return thread_ && !thread_->Suspended(); }
  bool WindowTimerRunning() const { return windowTimer_; }

  // Runs a method on the user-interface thread through the worker when it runs, else directly.
  void Synchronize(const TThreadMethod& method);

  // Framework internals: what the worker calls.
  virtual void Timer();

private:
  void UpdateTimer();
  void WndProc(TMessage& message);
  bool CanTick() const { return interval_ != 0 && enabled_ && onTimer_ != nullptr; }

  std::atomic<bool> enabled_{true};
  unsigned interval_ = 1000;
  std::atomic<bool> syncEvent_{true};
  bool threaded_ = true;
  TThreadPriority priority_ = tpNormal;
  TNotifyEvent onTimer_;
  HWND window_ = nullptr;
  bool windowTimer_ = false;
  TOwnedPtr<TTimerThread> thread_;
  friend class TTimerThread;
};
