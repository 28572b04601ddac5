// The cursor never leaves the screen: where the host reports the pointer beyond an edge (a
// drag carried out of the host's window), the cursor and the mouse messages stop at the edge.

#include <gtest/gtest.h>

#include <vector>

#include "Recorder.h"
#include "support/UiDriver.h"

namespace {

struct HostPoint {
  POINT reported;
  POINT onScreen;  // on a 640 x 480 desktop
};

class CursorClamp : public testing::TestWithParam<HostPoint> {};

TEST_P(CursorClamp, TheCursorAndACapturedWindowSeeThePointerStopAtTheEdge) {
  const HostPoint c = GetParam();
  UiDriver ui(640, 480);
  Recorder rec("CursorClamp");
  std::vector<POINT> moves;
  rec.OnMessage([&](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m == WM_MOUSEMOVE) moves.push_back(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    return false;
  });
  HWND w = CreateWindowEx(0, "CursorClamp", "", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr, nullptr, nullptr,
                          nullptr);
  ui.RunUntilIdle();
  SetCapture(w);
  ui.MoveTo(c.reported.x, c.reported.y);
  POINT at{};
  ASSERT_TRUE(GetCursorPos(&at));
  EXPECT_EQ(at, c.onScreen);
  ASSERT_FALSE(moves.empty());
  POINT client = c.onScreen;
  ScreenToClient(w, &client);
  EXPECT_EQ(moves.back(), client);
  MSG m{};
  ReleaseCapture();
  EXPECT_TRUE(SetCursorPos(-30, 9000));
  ASSERT_TRUE(GetCursorPos(&at));
  EXPECT_EQ(at, (POINT{0, 479}));
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
}

INSTANTIATE_TEST_SUITE_P(Input, CursorClamp,
                         testing::Values(HostPoint{{-50, 200}, {0, 200}}, HostPoint{{900, 700}, {639, 479}},
                                         HostPoint{{300, -1}, {300, 0}}, HostPoint{{640, 480}, {639, 479}},
                                         HostPoint{{-32768, 40000}, {0, 479}}));

}  // namespace
