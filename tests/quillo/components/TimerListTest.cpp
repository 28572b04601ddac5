// The timer list on the layer's manual clock.

#include "ComponentFixture.h"

#include <map>

#include "platform/rtl/Clock.h"
#include "platform/rtl/SysUtils.h"
#include "quillo/components/timers/TimerList.h"

namespace {

class TimerListTest : public ComponentTest {
protected:
  TForm* form = nullptr;
  TExTimerList* list = nullptr;
  std::map<std::string, int> fired;
  void SetUp() override {
    form = Application()->CreateForm<TForm>();
    list = NewComponent<TExTimerList>(form);
  }
  TExTimerEvent* Event(const std::string& name, int interval, bool enabled = true, bool cycled = true) {
    auto* event = NewComponent<TExTimerEvent>(form);
    event->SetName(name);
    event->SetInterval(interval);
    event->SetCycled(cycled);
    event->SetEnabled(enabled);
    event->OnTimer = [this, name](TObject*) { ++fired[name]; };
    event->SetParentList(list);
    return event;
  }
  // Moves the clock on in steps of 10 ms, running what became due.
  void Run(DWORD ms) {
    for (DWORD t = 0; t < ms; t += 10) ui.Advance(10);
  }
};

struct IntervalCase {
  std::vector<int> intervals;
  int period;
};

TEST_F(TimerListTest, OneWindowTimerAtAPeriodThatSuitsEveryEvent) {
  const IntervalCase cases[] = {
      {{150}, 150}, {{150, 100}, 100}, {{50, 100}, 100}, {{50}, 100}, {{500, 100, 50, 100}, 100},
      {{300, 200}, 100}, {{1000}, 1000}, {{250, 500}, 250},
  };
  for (const IntervalCase& c : cases) {
    list->Clear();
    int n = 0;
    for (int interval : c.intervals) Event(Format("E%d", n++), interval);
    list->SetActive(true);
    EXPECT_EQ(list->Interval(), c.period) << c.intervals.size() << " events, first " << c.intervals[0];
    list->SetActive(false);
  }
}

TEST_F(TimerListTest, EventsAreKeptInIntervalOrder) {
  Event("Slow", 500);
  Event("Fast", 50);
  Event("Mid", 100);
  Event("Mid2", 100);
  std::vector<std::string> names;
  for (TExTimerEvent* e : list->Events()) names.push_back(e->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"Fast", "Mid", "Mid2", "Slow"}));
  EXPECT_EQ(list->Events()[0]->Handle(), 2);
}

TEST_F(TimerListTest, TheProgramsFourTimersFireAtTheirRates) {
  Event("IconTimer", 500, false);
  Event("DragTimer", 100, false);
  Event("ActivityTimer", 50);
  TExTimerEvent* change = Event("ImageChangeTimer", 100, false, false);
  list->SetActive(true);
  Run(1000);
  // A 50 ms event fires at every 100 ms tick.
  EXPECT_EQ(fired["ActivityTimer"], 10);
  EXPECT_EQ(fired["IconTimer"], 0);
  change->SetEnabled(true);
  Run(1000);
  EXPECT_EQ(fired["ImageChangeTimer"], 1);
  EXPECT_FALSE(change->GetEnabled());
  // Enabling it again restarts the wait.
  change->SetEnabled(true);
  Run(50);
  EXPECT_EQ(fired["ImageChangeTimer"], 1);
  Run(200);
  EXPECT_EQ(fired["ImageChangeTimer"], 2);
}

TEST_F(TimerListTest, AnEventDueWithinTheToleranceFires) {
  TExTimerEvent* slow = Event("Slow", 400);
  Event("Tick", 100);
  list->SetActive(true);
  // At each 100 ms tick, Slow is due once 400 - 50 ms have passed: at 400, not at 300.
  Run(300);
  EXPECT_EQ(fired["Slow"], 0);
  Run(100);
  EXPECT_EQ(fired["Slow"], 1);
  (void)slow;
}

TEST_F(TimerListTest, RepeatCountStopsANonCycledEvent) {
  TExTimerEvent* three = Event("Three", 100, true, false);
  three->SetRepeatCount(3);
  list->SetActive(true);
  Run(1000);
  EXPECT_EQ(fired["Three"], 3);
  EXPECT_FALSE(three->GetEnabled());
  // Lowering RepeatCount to what it has fired already stops it at once.
  three->SetEnabled(true);
  Run(200);
  EXPECT_EQ(fired["Three"], 5);
  three->SetRepeatCount(2);
  EXPECT_FALSE(three->GetEnabled());
}

TEST_F(TimerListTest, ALastEventThatStopsLeavesTheListReadyForTheNext) {
  // Only one-shot events, as the drag and image-change timers: once both stopped, nothing is
  // enabled, and enabling one later must still make it fire.
  TExTimerEvent* once = Event("Once", 100, true, false);
  TExTimerEvent* drag = Event("Drag", 300, false);
  bool finished = false;
  list->OnFinish = [&](TObject*) { finished = true; };
  list->SetActive(true);
  Run(500);
  EXPECT_EQ(fired["Once"], 1);
  EXPECT_FALSE(list->TimerArmed());
  EXPECT_TRUE(list->GetActive());
  EXPECT_FALSE(finished);
  drag->SetEnabled(true);
  EXPECT_TRUE(list->TimerArmed());
  Run(700);
  EXPECT_EQ(fired["Drag"], 2);
  once->SetEnabled(true);
  Run(200);
  EXPECT_EQ(fired["Once"], 2);
  list->SetActive(false);
  EXPECT_TRUE(finished);
}

TEST_F(TimerListTest, OnTimersReportsEachEventsHandle) {
  std::vector<int> handles;
  list->OnTimers = [&](TObject*, int handle) { handles.push_back(handle); };
  const int h = list->Add([&](TObject*) { ++fired["added"]; }, 200, true);
  EXPECT_EQ(list->ItemByHandle(h)->GetInterval(), 200);
  list->SetActive(true);
  Run(400);
  EXPECT_EQ(fired["added"], 2);
  EXPECT_EQ(handles, (std::vector<int>{h, h}));
  list->Delete(h);
  EXPECT_EQ(list->ItemByHandle(h), nullptr);
  EXPECT_EQ(list->Count(), 0);
}

TEST_F(TimerListTest, AnEventFreedDirectlyLeavesItsList) {
  TExTimerEvent* a = Event("A", 100);
  Event("B", 200);
  list->SetActive(true);
  FreeObject(a);
  EXPECT_EQ(list->Count(), 1);
  Run(400);
  EXPECT_EQ(fired["B"], 2);
  EXPECT_EQ(list->Interval(), 200);
}

TEST_F(TimerListTest, AHandlerThatRaisesDoesNotStopTheTimer) {
  std::vector<std::string> errors;
  Application()->OnException = [&](TObject*, const std::exception& e) { errors.push_back(e.what()); };
  TExTimerEvent* bad = Event("Bad", 100);
  bad->OnTimer = [&](TObject*) {
    ++fired["Bad"];
    throw Exception("boom");
  };
  list->SetActive(true);
  Run(300);
  EXPECT_EQ(fired["Bad"], 3);
  EXPECT_EQ(errors.size(), 3u);
}

TEST_F(TimerListTest, ActiveSetWhileTheFormIsBuiltTakesEffectOnceItIsBuilt) {
  class TTimerForm : public TForm {
  public:
    explicit TTimerForm(TComponent* owner) : TForm(owner) {
      List = NewComponent<TExTimerList>(this);
      List->SetActive(true);
      EXPECT_FALSE(List->GetActive());
    }
    TExTimerList* List;
  };
  auto* timerForm = Application()->CreateForm<TTimerForm>();
  EXPECT_TRUE(timerForm->List->GetActive());
}

}  // namespace
