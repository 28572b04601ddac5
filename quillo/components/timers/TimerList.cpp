#include "quillo/components/timers/TimerList.h"

#include <algorithm>
#include <climits>

#include "platform/rtl/Clock.h"
#include "platform/vcl/AllocateHWnd.h"
#include "platform/vcl/Application.h"
#include "quillo/components/utilities/ComponentErrors.h"

namespace {

constexpr UINT_PTR kTimerId = 1;

bool Designing(const TComponent* c) { return c->ComponentState().Contains(csDesigning); }

}  // namespace

// ---- TExTimerEvent

QUILLO_DEFINE_PUBLISHED_CLASS(TExTimerEvent, TComponent)

const TPropTable* TExTimerEvent::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TExTimerEvent>()
          .Property("Cycled", &TExTimerEvent::GetCycled, &TExTimerEvent::SetCycled)
          .Property("RepeatCount", &TExTimerEvent::GetRepeatCount, &TExTimerEvent::SetRepeatCount)
          .Property("Enabled", &TExTimerEvent::GetEnabled, &TExTimerEvent::SetEnabled)
          .Property("Interval", &TExTimerEvent::GetInterval, &TExTimerEvent::SetInterval)
          .Table();
  return &table;
}

TExTimerEvent::TExTimerEvent(TComponent* owner) : TComponent(owner) {}

TExTimerEvent::~TExTimerEvent() = default;

void TExTimerEvent::BeforeDestruction() {
  if (!Freed()) {
    OnTimer = nullptr;
    // Freed directly while it belongs to a list: the list lets go of it first.
    if (list_) list_->RemoveEvent(this);
  }
  TComponent::BeforeDestruction();
}

void TExTimerEvent::SetCycled(bool cycled) {
  if (cycled == cycled_) return;
  cycled_ = cycled;
  SetRepeatCount(repeatCount_);
}

void TExTimerEvent::SetRepeatCount(int count) {
  if (!cycled_ && count < 1) count = 1;
  if (count == repeatCount_) return;
  if (enabled_ && !cycled_ && !Designing(this) && count <= count_) enabled_ = false;
  repeatCount_ = count;
}

void TExTimerEvent::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled) {
    count_ = 0;
    startTime_ = GetTickCount();
    if (list_) list_->EventEnabled();
  }
}

void TExTimerEvent::SetInterval(int interval) {
  if (interval == interval_) return;
  interval_ = interval;
  if (list_) list_->EventChanged();
}

void TExTimerEvent::SetParentList(TExTimerList* list) {
  if (list == list_) return;
  if (list_) list_->RemoveEvent(this);
  if (list) list->AddEvent(this);
}

// ---- TExTimerList

QUILLO_DEFINE_PUBLISHED_CLASS(TExTimerList, TComponent)

const TPropTable* TExTimerList::PublishedProperties() {
  static const TPropTable table = TPublisher<TExTimerList>()
                                      .Property("Active", &TExTimerList::GetActive, &TExTimerList::SetActive)
                                      .Table();
  return &table;
}

TExTimerList::TExTimerList(TComponent* owner) : TComponent(owner) {}

TExTimerList::~TExTimerList() = default;

void TExTimerList::BeforeDestruction() {
  if (!Freed()) {
    for (TExTimerEvent* event : events_) event->OnTimer = nullptr;
    OnFinish = nullptr;
    SetActive(false);
    Clear();
  }
  TComponent::BeforeDestruction();
}

void TExTimerList::Loaded() {
  TComponent::Loaded();
  if (activeAtLoad_) {
    activeAtLoad_ = false;
    SetActive(true);
  }
}

int TExTimerList::EnabledCount() const {
  return static_cast<int>(std::count_if(events_.begin(), events_.end(), [](auto* e) { return e->enabled_; }));
}

int TExTimerList::NextHandle() { return ++sequence_; }

void TExTimerList::AddEvent(TExTimerEvent* event) {
  events_.push_back(event);
  event->list_ = this;
  event->handle_ = NextHandle();
  EventChanged();
}

void TExTimerList::RemoveEvent(TExTimerEvent* event) {
  std::erase(events_, event);
  event->list_ = nullptr;
  if (active_) {
    CalculateInterval(GetTickCount());
    UpdateTimer();
  }
}

int TExTimerList::Add(TNotifyEvent onTimer, int interval, bool cycled) {
  TComponent* owner = Owner() ? Owner() : this;
  TExTimerEvent* event = NewComponent<TExTimerEvent>(owner);
  event->OnTimer = std::move(onTimer);
  event->interval_ = interval;
  event->cycled_ = cycled;
  if (!cycled && event->repeatCount_ < 1) event->repeatCount_ = 1;
  AddEvent(event);
  return event->handle_;
}

void TExTimerList::Delete(int handle) {
  TExTimerEvent* event = ItemByHandle(handle);
  if (!event) return;
  RemoveEvent(event);
  if (!event->ComponentState().Contains(csDestroying)) FreeObject(event);
}

TExTimerEvent* TExTimerList::ItemByHandle(int handle) const {
  const int i = ItemIndexByHandle(handle);
  return i < 0 ? nullptr : events_[static_cast<size_t>(i)];
}

int TExTimerList::ItemIndexByHandle(int handle) const {
  for (size_t i = 0; i < events_.size(); ++i)
    if (events_[i]->handle_ == handle) return static_cast<int>(i);
  return -1;
}

void TExTimerList::Clear() {
  while (!events_.empty()) {
    TExTimerEvent* event = events_.back();
    events_.pop_back();
    event->list_ = nullptr;
    if (!event->ComponentState().Contains(csDestroying)) FreeObject(event);
  }
  interval_ = 0;
  UpdateTimer();
}

void TExTimerList::Deactivate() {
  if (!ComponentState().Contains(csLoading)) SetActive(false);
}

void TExTimerList::SetActive(bool active) {
  if (ComponentState().Contains(csLoading)) {
    activeAtLoad_ = active;
    return;
  }
  if (active == active_ || Designing(this)) return;
  sleepTime_ = 0;
  if (active) {
    window_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
    active_ = true;
    const DWORD now = GetTickCount();
    for (TExTimerEvent* event : events_)
      if (event->enabled_) event->startTime_ = now;
    CalculateInterval(now);
    Sort();
    UpdateTimer();
  } else {
    active_ = false;
    if (window_) {
      KillTimer(window_, kTimerId);
      DeallocateHWnd(window_);
    }
    window_ = nullptr;
    armed_ = false;
    if (OnFinish) OnFinish(this);
  }
}

void TExTimerList::EventChanged() {
  if (Designing(this)) return;
  CalculateInterval(GetTickCount());
  Sort();
  UpdateTimer();
}

void TExTimerList::EventEnabled() { EventChanged(); }

void TExTimerList::CalculateInterval(DWORD now) {
  if (Designing(this)) return;
  if (events_.empty()) {
    interval_ = 0;
    return;
  }
  sleepTime_ = 0;
  std::int64_t interval = INT_MAX;
  for (const TExTimerEvent* event : events_) {
    if (!event->enabled_ || event->interval_ < 1) continue;
    interval = std::min<std::int64_t>(interval, event->interval_);
    const std::int64_t elapsed = static_cast<std::int32_t>(now - event->startTime_);
    interval = std::min<std::int64_t>(interval, event->interval_ - elapsed);
  }
  if (interval < kMinInterval) interval = kMinInterval;
  if (interval == INT_MAX) {
    interval_ = 0;
    return;
  }
  // The largest period at or below that divides every event's interval, not below 100.
  bool changed = true;
  while (changed && interval > kMinInterval) {
    changed = false;
    for (const TExTimerEvent* event : events_) {
      const std::int64_t r = event->interval_ % interval;
      if (r != 0) {
        interval -= r;
        changed = true;
        break;
      }
    }
  }
  if (interval < kMinInterval) interval = kMinInterval;
  interval_ = static_cast<int>(interval);
}

void TExTimerList::Sort() {
  if (Designing(this)) return;
  std::stable_sort(events_.begin(), events_.end(),
                   [](const TExTimerEvent* a, const TExTimerEvent* b) { return a->interval_ < b->interval_; });
}

void TExTimerList::UpdateTimer() {
  if (Designing(this) || !window_) return;
  KillTimer(window_, kTimerId);
  armed_ = false;
  if (EnabledCount() == 0 || interval_ <= 0) return;  // idle until an event is enabled
  if (SetTimer(window_, kTimerId, static_cast<UINT>(interval_), nullptr) == 0) {
    SetActive(false);
    throw EOutOfResources(ComponentsText::NoTimers);
  }
  armed_ = true;
}

void TExTimerList::DoTimer(TExTimerEvent* event) {
  if (event->OnTimer) event->OnTimer(event);
  if (OnTimers) OnTimers(this, event->handle_);
}

void TExTimerList::ProcessEvents() {
  const DWORD now = GetTickCount();
  bool stopped = false;
  // Longer intervals first; a handler may free events, so each is looked up again.
  std::vector<TExTimerEvent*> events = events_;
  for (auto it = events.rbegin(); it != events.rend(); ++it) {
    TExTimerEvent* event = *it;
    if (std::find(events_.begin(), events_.end(), event) == events_.end()) continue;
    if (!event->enabled_) continue;
    if (static_cast<std::int32_t>(now - event->startTime_) < event->interval_ - kTolerance) continue;
    event->startTime_ = now;
    ++event->count_;
    if (!event->cycled_ && event->count_ >= event->repeatCount_) {
      event->enabled_ = false;
      stopped = true;
    }
    try {
      DoTimer(event);
    } catch (const std::exception&) {
      Application()->HandleException(this);
    }
    if (!active_) return;
  }
  if (stopped) {
    CalculateInterval(GetTickCount());
    UpdateTimer();
  }
}

void TExTimerList::WndProc(TMessage& m) {
  if (m.Msg != WM_TIMER) {
    m.Result = DefWindowProc(window_, m.Msg, m.WParam, m.LParam);
    return;
  }
  if (!active_ || sleepTime_ != 0)
    UpdateTimer();
  else
    ProcessEvents();
}
