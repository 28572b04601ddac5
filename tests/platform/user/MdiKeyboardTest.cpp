// The MDI keys as a user presses them, through a message loop that offers each message to
// TranslateMDISysAccel first: Ctrl+F6 and Ctrl+Tab go to the next child, with Shift to the
// previous one, Ctrl+F4 closes the active child.

#include <gtest/gtest.h>

#include <algorithm>

#include "MdiDesk.h"

namespace {

class MdiKeys : public testing::Test {
protected:
  MdiKeys() {
    a = desk.Child("a");
    b = desk.Child("b");
    c = desk.Child("c");
    desk.ui.PreTranslate([this](MSG& msg) { return TranslateMDISysAccel(desk.client, &msg) != FALSE; });
  }

  void Chord(std::initializer_list<int> held, int key) {
    for (int vk : held) desk.ui.KeyDown(vk);
    desk.ui.Press(key);
    for (int vk : held) desk.ui.KeyUp(vk);
  }

  MdiDesk desk;
  HWND a = nullptr, b = nullptr, c = nullptr;
};

TEST_F(MdiKeys, CtrlF6AndCtrlTabGoToTheNextChildAndShiftGoesBack) {
  desk.Follow({WM_SYSCOMMAND, WM_KEYDOWN});
  Chord({VK_CONTROL}, VK_F6);
  // Ctrl reaches the child as a key; F6 is taken and becomes the command.
  EXPECT_EQ(desk.Take(), (Log{"c:KEYDOWN", "c:SYSCOMMAND(NEXTWINDOW)"}));
  EXPECT_EQ(desk.Active(), b);
  Chord({VK_CONTROL}, VK_TAB);
  EXPECT_EQ(desk.Active(), a);
  EXPECT_EQ(GetFocus(), a);
  Chord({VK_CONTROL, VK_SHIFT}, VK_F6);
  EXPECT_EQ(desk.Active(), b);
  Chord({VK_CONTROL, VK_SHIFT}, VK_TAB);
  EXPECT_EQ(desk.Active(), c);
}

TEST_F(MdiKeys, CtrlF4ClosesTheActiveChild) {
  Chord({VK_CONTROL}, VK_F4);
  EXPECT_FALSE(IsWindow(c));
  EXPECT_EQ(desk.Active(), b);
  EXPECT_EQ(GetFocus(), b);
  Chord({VK_CONTROL}, VK_F4);
  Chord({VK_CONTROL}, VK_F4);
  EXPECT_EQ(desk.Active(), nullptr);
  EXPECT_TRUE(IsWindow(desk.frame));  // the frame stays
}

TEST_F(MdiKeys, OtherKeysPassThrough) {
  desk.Follow({WM_KEYDOWN, WM_SYSCOMMAND});
  desk.ui.Press(VK_F6);                    // no Ctrl
  Chord({VK_CONTROL}, VK_F5);              // not an MDI key
  Chord({VK_CONTROL, VK_MENU}, VK_F6);     // Alt makes it another chord
  Log log = desk.Take();
  EXPECT_EQ(std::count(log.begin(), log.end(), "c:SYSCOMMAND(NEXTWINDOW)"), 0);
  EXPECT_EQ(desk.Active(), c);
  // What the loop does not take reaches the focused child as a key.
  EXPECT_NE(std::find(log.begin(), log.end(), "c:KEYDOWN"), log.end());
}

TEST_F(MdiKeys, NothingIsTranslatedWithoutAnActiveEnabledChild) {
  desk.ui.KeyDown(VK_CONTROL);
  MSG msg;
  msg.hwnd = c;
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_F6;
  EnableWindow(c, FALSE);
  EXPECT_FALSE(TranslateMDISysAccel(desk.client, &msg));
  EXPECT_FALSE(TranslateMDISysAccel(desk.frame, &msg));  // not an MDI client
  EXPECT_FALSE(TranslateMDISysAccel(desk.client, nullptr));
  EnableWindow(c, TRUE);
  msg.message = WM_KEYUP;
  EXPECT_FALSE(TranslateMDISysAccel(desk.client, &msg));
  msg.message = WM_SYSKEYDOWN;  // a key while nothing has the focus
  EXPECT_TRUE(TranslateMDISysAccel(desk.client, &msg));
  desk.ui.KeyUp(VK_CONTROL);
}

}  // namespace
