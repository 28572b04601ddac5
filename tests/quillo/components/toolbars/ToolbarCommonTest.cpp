// The services toolbar windows share: reference-counted thread hooks, the list sort and the
// print helpers.

#include "ToolbarFixture.h"

#include "quillo/components/toolbars/ToolbarCommon.h"

namespace tbx::testing {
namespace {

std::vector<std::pair<THookProcCode, HWND>> calls;
void Recorder(THookProcCode code, HWND window, WPARAM, LPARAM) { calls.emplace_back(code, window); }
void OtherRecorder(THookProcCode, HWND, WPARAM, LPARAM) {}

class HookServiceTest : public ToolbarUiTest {
protected:
  void SetUp() override { calls.clear(); }
};

TEST_F(HookServiceTest, HooksStayUntilTheLastRegistrationGoes) {
  InstallHookProc(Recorder, {hpSendActivateApp, hpPreDestroy}, false);
  InstallHookProc(Recorder, {hpSendActivateApp, hpPreDestroy}, false);
  InstallHookProc(OtherRecorder, {hpPostMouseMove}, false);
  EXPECT_EQ(RegisteredHookProcCount(), 3);
  EXPECT_EQ(InstalledThreadHookCount(), 3);
  EXPECT_TRUE(wm::Hooks().Has(WH_CALLWNDPROC));
  EXPECT_TRUE(wm::Hooks().Has(WH_CBT));
  EXPECT_TRUE(wm::Hooks().Has(WH_GETMESSAGE));
  UninstallHookProc(OtherRecorder);
  EXPECT_FALSE(wm::Hooks().Has(WH_GETMESSAGE));
  UninstallHookProc(Recorder);
  EXPECT_TRUE(wm::Hooks().Has(WH_CALLWNDPROC));  // one registration is left
  UninstallHookProc(Recorder);
  EXPECT_EQ(RegisteredHookProcCount(), 0);
  EXPECT_EQ(InstalledThreadHookCount(), 0);
  EXPECT_FALSE(wm::Hooks().Has(WH_CALLWNDPROC));
  EXPECT_FALSE(wm::Hooks().Has(WH_CBT));
}

TEST_F(HookServiceTest, OnlyIncrementingInstallsNoHook) {
  InstallHookProc(Recorder, {hpSendActivateApp}, true);
  EXPECT_EQ(RegisteredHookProcCount(), 1);
  EXPECT_EQ(InstalledThreadHookCount(), 0);
  UninstallHookProc(Recorder);
  EXPECT_EQ(RegisteredHookProcCount(), 0);
}

TEST_F(HookServiceTest, RegisteredProceduresHearTheirCodes) {
  auto* form = NewComponent<TForm>(Application());
  form->Show();
  HWND window = form->GetHandle();
  InstallHookProc(Recorder, {hpSendActivateApp, hpPreDestroy}, false);
  SendMessage(window, WM_ACTIVATEAPP, 1, 0);
  SendMessage(window, WM_SIZE, 0, 0);
  FreeObject(form);
  UninstallHookProc(Recorder);
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0].first, hpSendActivateApp);
  EXPECT_EQ(calls[0].second, window);
  EXPECT_EQ(calls.back().first, hpPreDestroy);
  EXPECT_EQ(calls.back().second, window);
}

TEST_F(HookServiceTest, EveryToolbarWindowRegistersAndTheLastOneRemovesTheHooks) {
  auto* form = NewComponent<TForm>(Application());
  auto* a = AddToolbar(form, "A", "A", 2);
  auto* b = AddToolbar(form, "B", "B", 1);
  EXPECT_EQ(RegisteredHookProcCount(), 2 + 3);  // two tool windows, three buttons
  EXPECT_EQ(InstalledThreadHookCount(), 3);
  FreeObject(a);
  EXPECT_EQ(InstalledThreadHookCount(), 3);
  FreeObject(b);
  EXPECT_EQ(RegisteredHookProcCount(), 0);
  EXPECT_EQ(InstalledThreadHookCount(), 0);
}

TEST(ListSortExTest, SortsAndNeverComparesFewerThanTwoItems) {
  int comparisons = 0;
  auto compare = [&](int a, int b) {
    ++comparisons;
    return a < b ? -1 : a > b ? 1 : 0;
  };
  std::vector<int> none, one{7};
  ListSortEx(none, compare);
  ListSortEx(one, compare);
  EXPECT_EQ(comparisons, 0);
  std::vector<int> many{5, 3, 9, 1, 5, 8, 2, 7, 1, 0};
  ListSortEx(many, compare);
  EXPECT_TRUE(std::is_sorted(many.begin(), many.end()));
}

TEST(ListSortExTest, ATListSortsWithItsExtraData) {
  TList list;
  int values[] = {30, 10, 20};
  for (int& v : values) list.Add(&v);
  int descending = -1;
  ListSortEx(
      &list,
      [](void* a, void* b, void* extra) {
        int sign = *static_cast<int*>(extra);
        return sign * (*static_cast<int*>(a) - *static_cast<int*>(b));
      },
      &descending);
  EXPECT_EQ(*static_cast<int*>(list.Items(0)), 30);
  EXPECT_EQ(*static_cast<int*>(list.Items(2)), 10);
}

TEST_F(HookServiceTest, PrintOfAHiddenWindowWithCheckVisiblePaintsNothing) {
  auto* form = NewComponent<TForm>(Application());
  HWND window = form->GetHandle();
  HDC dc = CreateCompatibleDC(nullptr);
  bool painted = false;
  TMessage m;
  m.Msg = WM_PRINT;
  m.WParam = reinterpret_cast<WPARAM>(dc);
  m.LParam = PRF_CHECKVISIBLE | PRF_NONCLIENT;
  HandleWMPrint(window, m, [&](HWND, HDC) { painted = true; });
  EXPECT_EQ(m.Result, 1);
  EXPECT_FALSE(painted);
  m.LParam = PRF_NONCLIENT;
  HandleWMPrint(window, m, [&](HWND, HDC) { painted = true; });
  EXPECT_TRUE(painted);
  DeleteDC(dc);
}

}  // namespace
}  // namespace tbx::testing
