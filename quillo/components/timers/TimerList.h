#pragma once
// TExTimerList drives many timed events from one window timer. Each TExTimerEvent has its own
// interval; at every tick the list fires the events that are due (within 50 ms) and arms its
// one timer with a period that suits every enabled event, never faster than 100 ms.
//
// While no event is enabled the list keeps its window and stays Active, with its system
// timer off; enabling an event arms it again. (A list that switched itself off instead
// would leave every later-enabled event silent until someone set Active again.)

#include <functional>
#include <vector>

#include "platform/vcl/Component.h"
#include "platform/vcl/Messages.h"

class TExTimerList;

class TExTimerEvent : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExTimerEvent(TComponent* owner);
  ~TExTimerEvent() override;
  void BeforeDestruction() override;

  bool GetCycled() const { return cycled_; }
  void SetCycled(bool cycled);
  int GetRepeatCount() const { return repeatCount_; }
  void SetRepeatCount(int count);
  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  int GetInterval() const { return interval_; }
  void SetInterval(int interval);
  unsigned GetAsSeconds() const { return static_cast<unsigned>(interval_) / 1000; }
  void SetAsSeconds(unsigned seconds) { SetInterval(static_cast<int>(seconds * 1000)); }
  int Handle() const { return handle_; }
  TNotifyEvent OnTimer;

  // The list the event belongs to (the form stream's parent): leaves the old one, joins the new.
  TExTimerList* GetParentList() const { return list_; }
  void SetParentList(TExTimerList* list);

private:
  friend class TExTimerList;
  bool cycled_ = true;
  int repeatCount_ = 0;
  bool enabled_ = true;
  int interval_ = 1000;
  int handle_ = -1;
  int count_ = 0;
  DWORD startTime_ = 0;
  TExTimerList* list_ = nullptr;
};

using TAllTimersEvent = std::function<void(TObject* sender, int handle)>;

class TExTimerList : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  static constexpr int kMinInterval = 100;
  static constexpr int kTolerance = 50;

  explicit TExTimerList(TComponent* owner);
  ~TExTimerList() override;
  void BeforeDestruction() override;
  void Loaded() override;

  bool GetActive() const { return active_; }
  void SetActive(bool active);
  void Activate() { SetActive(true); }
  void Deactivate();
  // The events, sorted by interval.
  const std::vector<TExTimerEvent*>& Events() const { return events_; }
  int Count() const { return static_cast<int>(events_.size()); }
  int EnabledCount() const;
  // The period the window timer runs at now (0 when it is off).
  int Interval() const { return interval_; }
  bool TimerArmed() const { return armed_; }

  virtual int NextHandle();
  // A new event owned by the list's owner; answers its handle.
  virtual int Add(TNotifyEvent onTimer, int interval, bool cycled);
  virtual void Delete(int handle);
  TExTimerEvent* ItemByHandle(int handle) const;
  int ItemIndexByHandle(int handle) const;
  void Clear();

  TNotifyEvent OnFinish;
  TAllTimersEvent OnTimers;

  // Framework internals: what the events call.
  void AddEvent(TExTimerEvent* event);
  void RemoveEvent(TExTimerEvent* event);
  void EventChanged();
  void EventEnabled();

protected:
  virtual void DoTimer(TExTimerEvent* event);

private:
  void CalculateInterval(DWORD now);
  void Sort();
  void UpdateTimer();
  void ProcessEvents();
  void WndProc(TMessage& message);

  bool active_ = false;
  bool activeAtLoad_ = false;
  HWND window_ = nullptr;
  std::vector<TExTimerEvent*> events_;
  int interval_ = 0;
  int sequence_ = 0;
  int sleepTime_ = 0;
  bool armed_ = false;
};
