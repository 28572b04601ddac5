#include <gtest/gtest.h>

#include "platform/user/InputState.h"
#include "platform/user/WinConst.h"

namespace {

// Each fresh press flips the toggle bit (Caps Lock's light); a repeat while held does not,
// and a release keeps it.
TEST(InputState, KeyStateBytesTrackPressRepeatAndToggle) {
  InputState input;
  struct Step {
    bool down, repeat;
    BYTE expected;
  };
  const Step steps[] = {{true, false, 0x81}, {true, true, 0x81}, {false, false, 0x01},
                        {true, false, 0x80}, {false, false, 0x00}};
  for (const Step& s : steps) {
    if (s.down) input.Press(VK_CAPITAL, s.repeat);
    else input.Release(VK_CAPITAL);
    EXPECT_EQ(input.Key(VK_CAPITAL), s.expected);
  }
  input.Press(VK_SHIFT, false);
  EXPECT_TRUE(input.IsDown(VK_SHIFT));
  input.Clear();
  EXPECT_EQ(input.Key(VK_SHIFT), 0);
}

}  // namespace
