// A second process of the program finding the running one and bringing it forward.

#include "ComponentFixture.h"

#include "quillo/components/utilities/InstanceChannel.h"
#include "quillo/components/utilities/VclUtils.h"

namespace {

class InstanceChannelTest : public ComponentTest {
protected:
  ~InstanceChannelTest() override { WithdrawInstance(); }
};

constexpr const char* kTitle = "Instance channel test";

TEST_F(InstanceChannelTest, ASecondProcessBringsTheRunningInstanceForward) {
  if (ChildPhase() == "second") {
    // The parent is the running instance: this process cannot be one too, and asks it instead.
    EXPECT_FALSE(AnnounceInstance("", kTitle));
    EXPECT_TRUE(ActivatePrevInstance("", kTitle));
    EXPECT_FALSE(ActivatePrevInstance("", "Not a running program"));
    return;
  }
  // Nobody runs yet.
  EXPECT_FALSE(ActivatePrevInstance("", kTitle));
  auto* main = Application()->CreateForm<TForm>();
  main->SetCaption(kTitle);
  main->SetBounds(20, 20, 300, 200);
  main->Show();
  ASSERT_TRUE(AnnounceInstance("", kTitle));
  EXPECT_FALSE(AnnounceInstance("", kTitle));  // once per process
  ui.RunUntilIdle();
  Application()->Minimize();
  ASSERT_TRUE(IsIconic(Application()->GetHandle()));

  ASSERT_TRUE(RunTestInChild("InstanceChannelTest.ASecondProcessBringsTheRunningInstanceForward", "second"));
  // The request is read on the next poll.
  ui.Advance(250);
  ui.RunUntilIdle();
  EXPECT_FALSE(IsWindowVisible(Application()->GetHandle()));  // no longer an icon
  EXPECT_TRUE(IsWindowVisible(main->GetHandle()));

  // Once withdrawn, the name is free again: nobody answers, and another may claim it.
  WithdrawInstance();
  EXPECT_FALSE(RequestInstanceActivation("", kTitle));
  EXPECT_TRUE(AnnounceInstance("", kTitle));
}

TEST_F(InstanceChannelTest, OneProcessHoldsTheNameAndEachRequestIsReadOnce) {
  TInstanceChannel channel("TStrangeForm", "Strange");
  ASSERT_TRUE(channel.Listening());
  TInstanceChannel second("TStrangeForm", "Strange");
  EXPECT_FALSE(second.Listening());
  EXPECT_TRUE(TInstanceChannel::Request("TStrangeForm", "Strange"));
  EXPECT_TRUE(TInstanceChannel::Request("TStrangeForm", "Strange"));
  EXPECT_EQ(channel.ProcessRequests(), 2);
  EXPECT_EQ(channel.ProcessRequests(), 0);
  EXPECT_EQ(second.ProcessRequests(), 0);
}

}  // namespace
