#include <gtest/gtest.h>

#include <vector>

#include "platform/user/HookService.h"
#include "platform/user/WinConst.h"

namespace {

// The chain runs newest first; a hook that removes itself while it runs still passes the
// message on to the next one, and is only freed when the chain is collected.
TEST(HookService, ChainRunsNewestFirstAndSurvivesSelfRemoval) {
  HookService hooks;
  std::vector<int> order;
  HHOOK older = hooks.Install(WH_CBT, [&](int, WPARAM, LPARAM) -> LRESULT {
    order.push_back(1);
    return 7;
  });
  HHOOK other = hooks.Install(WH_MOUSE, [&](int, WPARAM, LPARAM) -> LRESULT { return 99; });
  HHOOK newer = nullptr;
  newer = hooks.Install(WH_CBT, [&](int code, WPARAM w, LPARAM l) -> LRESULT {
    order.push_back(2);
    EXPECT_TRUE(hooks.Remove(newer));
    return hooks.CallNext(newer, code, w, l);
  });
  EXPECT_EQ(hooks.Call(WH_CBT, 0, 0, 0), 7);
  EXPECT_EQ(order, (std::vector<int>{2, 1}));
  EXPECT_FALSE(hooks.Remove(newer));  // already removed
  EXPECT_EQ(hooks.Call(WH_CBT, 0, 0, 0), 7);
  EXPECT_EQ(order, (std::vector<int>{2, 1, 1}));
  hooks.Collect();
  EXPECT_EQ(hooks.CallNext(newer, 0, 0, 0), 0);  // gone: nothing follows it
  EXPECT_TRUE(hooks.Remove(older));
  EXPECT_FALSE(hooks.Has(WH_CBT));
  EXPECT_TRUE(hooks.Has(WH_MOUSE));
  EXPECT_EQ(hooks.Call(WH_CBT, 0, 0, 0), 0);
  EXPECT_TRUE(hooks.Remove(other));
}

}  // namespace
