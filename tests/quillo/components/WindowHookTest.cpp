// Window procedure hooks: before and after the control's own procedure, several on one
// control, and across the re-creation of the hooked window.

#include "ComponentFixture.h"

#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "quillo/components/utilities/WindowHook.h"

namespace {

constexpr UINT WM_PROBE = WM_USER + 77;

// A form that answers WM_PROBE with 5 and logs it.
class TProbeForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TProbeForm(TComponent* owner) : TForm(owner) { SetBounds(50, 50, 200, 150); }
  std::vector<std::string>* Log = nullptr;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_PROBE) {
      if (Log) Log->push_back("form");
      m.Result = 5;
      return;
    }
    TForm::WndProc(m);
  }
};
QUILLO_DEFINE_CLASS(TProbeForm, TForm)

class WindowHookTest : public ComponentTest {
protected:
  std::vector<std::string> log;
  TProbeForm* form = nullptr;
  void SetUp() override {
    form = Application()->CreateForm<TProbeForm>();
    form->Log = &log;
  }
  TExWindowHook* MakeHook(const std::string& name, bool handleBefore = false) {
    auto* hook = NewComponent<TExWindowHook>(form);
    hook->BeforeMessage = [this, name, handleBefore](TObject*, TMessage& m, bool& handled) {
      if (m.Msg != WM_PROBE) return;
      log.push_back("before " + name);
      if (handleBefore) {
        m.Result = 9;
        handled = true;
      }
    };
    hook->AfterMessage = [this, name](TObject*, TMessage& m, bool&) {
      if (m.Msg == WM_PROBE) log.push_back("after " + name + Format(" %ld", static_cast<long>(m.Result)));
    };
    hook->SetWinControl(form);
    return hook;
  }
  LRESULT Probe() { return SendMessage(form->GetHandle(), WM_PROBE, 0, 0); }
};

TEST_F(WindowHookTest, HooksSeeTheMessageAroundTheControlsProcedureNewestFirst) {
  MakeHook("a");
  MakeHook("b");
  EXPECT_EQ(Probe(), 5);
  EXPECT_EQ(log, (std::vector<std::string>{"before b", "before a", "form", "after b 5", "after a 5"}));
}

TEST_F(WindowHookTest, AHandledMessageNeverReachesTheControl) {
  MakeHook("a");
  MakeHook("b", true);
  EXPECT_EQ(Probe(), 9);
  EXPECT_EQ(log, (std::vector<std::string>{"before b"}));
}

TEST_F(WindowHookTest, HooksLeaveInAnyOrderWithoutLosingTheOthers) {
  const int orders[][3] = {{0, 1, 2}, {2, 1, 0}, {1, 0, 2}, {1, 2, 0}};
  for (const auto& order : orders) {
    TExWindowHook* hooks[3] = {MakeHook("a"), MakeHook("b"), MakeHook("c")};
    const char* names[3] = {"a", "b", "c"};
    bool gone[3] = {false, false, false};
    for (int step = 0; step < 3; ++step) {
      FreeObject(hooks[order[step]]);
      gone[order[step]] = true;
      log.clear();
      EXPECT_EQ(Probe(), 5);
      std::vector<std::string> expected;
      for (int i = 2; i >= 0; --i)
        if (!gone[i]) expected.push_back(std::string("before ") + names[i]);
      expected.push_back("form");
      for (int i = 2; i >= 0; --i)
        if (!gone[i]) expected.push_back(std::string("after ") + names[i] + " 5");
      EXPECT_EQ(log, expected) << "step " << step;
    }
    EXPECT_EQ(HookedControlCount(), 0);
  }
}

TEST_F(WindowHookTest, AnInactiveHookIsSkippedAndComesBack) {
  TExWindowHook* a = MakeHook("a");
  a->SetActive(false);
  Probe();
  EXPECT_EQ(log, (std::vector<std::string>{"form"}));
  log.clear();
  a->SetActive(true);
  Probe();
  EXPECT_EQ(log, (std::vector<std::string>{"before a", "form", "after a 5"}));
}

TEST_F(WindowHookTest, TheHookFollowsTheFormToItsNewWindow) {
  MakeHook("a");
  MakeHook("b");
  HWND first = form->GetHandle();
  form->SetBorderStyle(bsDialog);  // only a new window can show it
  form->HandleNeeded();
  ui.RunUntilIdle();
  ASSERT_NE(form->GetHandle(), first);
  EXPECT_FALSE(IsWindow(first));
  log.clear();
  EXPECT_EQ(Probe(), 5);
  EXPECT_EQ(log, (std::vector<std::string>{"before b", "before a", "form", "after b 5", "after a 5"}));
  // And again: each new window is hooked.
  form->SetBorderStyle(bsSizeable);
  form->HandleNeeded();
  ui.RunUntilIdle();
  log.clear();
  Probe();
  EXPECT_EQ(log.size(), 5u);
}

TEST_F(WindowHookTest, FreeingTheHookedControlForgetsIt) {
  auto* other = Application()->CreateForm<TProbeForm>();
  TExWindowHook* hook = MakeHook("a");
  hook->SetWinControl(other);
  EXPECT_EQ(hook->GetWinControl(), other);
  FreeObject(other);
  EXPECT_EQ(hook->GetWinControl(), nullptr);
  EXPECT_EQ(HookedControlCount(), 0);
  Probe();
  EXPECT_EQ(log, (std::vector<std::string>{"form"}));
}

TEST_F(WindowHookTest, FreeingTheFormWithItsHooksLeavesNothingBehind) {
  MakeHook("a");
  MakeHook("b");
  EXPECT_EQ(HookedControlCount(), 1);
  FreeObject(form);
  form = nullptr;
  ui.RunUntilIdle();
  EXPECT_EQ(HookedControlCount(), 0);
}

}  // namespace
