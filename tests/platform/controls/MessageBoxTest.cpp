#include <gtest/gtest.h>

#include "platform/controls/Button.h"
#include "platform/user/Dialog.h"
#include "support/UiDriver.h"

namespace {

void PressWithAlt(UiDriver& ui, int vk) {
  ui.KeyDown(VK_MENU);
  ui.Press(vk);
  ui.KeyUp(VK_MENU);
}

// Boxes answered by the keyboard: the flags, the keys, the answer.
TEST(MessageBox, AnsweredByKeys) {
  struct Case {
    UINT type;
    std::function<void(UiDriver&)> keys;
    int answer;
  };
  const Case cases[] = {
      {MB_OK, [](UiDriver& u) { u.Press(VK_RETURN); }, IDOK},
      {MB_OK, [](UiDriver& u) { u.Press(VK_ESCAPE); }, IDOK},  // Esc closes a box of one OK button
      {MB_OKCANCEL, [](UiDriver& u) { u.Press(VK_ESCAPE); }, IDCANCEL},
      {MB_OKCANCEL | MB_DEFBUTTON2, [](UiDriver& u) { u.Press(VK_RETURN); }, IDCANCEL},
      {MB_YESNOCANCEL | MB_DEFBUTTON2, [](UiDriver& u) { u.Press(VK_RETURN); }, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, [](UiDriver& u) { u.Press(VK_RETURN); }, IDCANCEL},
      {MB_YESNO,
       [](UiDriver& u) {
         u.Press(VK_ESCAPE);  // no Cancel: Esc does nothing
         u.Press(VK_TAB);
         u.Press(VK_RETURN);
       },
       IDNO},
      {MB_YESNO, [](UiDriver& u) { u.Press(VK_RIGHT), u.Press(VK_SPACE); }, IDNO},
      {MB_ABORTRETRYIGNORE, [](UiDriver& u) { u.Type("r"); }, IDRETRY},
      {MB_ABORTRETRYIGNORE, [](UiDriver& u) { PressWithAlt(u, 'I'); }, IDIGNORE},
      {MB_RETRYCANCEL | MB_ICONEXCLAMATION, [](UiDriver& u) { u.Press(VK_RETURN); }, IDRETRY},
  };
  for (const Case& c : cases) {
    UiDriver ui;
    ui.DriveMessageBoxes();
    ui.WhenModalWaits([&] { c.keys(ui); });
    EXPECT_EQ(MessageBox(nullptr, "Go on?", "Question", c.type), c.answer) << "type " << c.type;
    EXPECT_EQ(ui.MessageBoxTexts(), std::vector<std::string>{"Go on?"});
  }
}

TEST(MessageBox, AnsweredByAClickWithTheOwnerDisabledMeanwhile) {
  UiDriver ui;
  ui.DriveMessageBoxes();
  HWND owner = CreateWindowEx(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300, nullptr, nullptr,
                              nullptr, nullptr);
  bool ownerEnabled = true;
  std::vector<std::string> captions;
  ui.WhenModalWaits([&] {
    ownerEnabled = IsWindowEnabled(owner);
    HWND box = UiDriver::FindDialog("Save");
    ASSERT_TRUE(box);
    EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
    for (int id : {IDYES, IDNO, IDCANCEL}) {
      char text[32];
      GetDlgItemText(box, id, text, sizeof text);
      captions.push_back(text);
    }
    HWND no = GetDlgItem(box, IDNO);
    POINT p = UiDriver::At(no, 10, 10);
    ui.Click(p.x, p.y);
  });
  EXPECT_EQ(MessageBox(owner, "Save the changes?", "Save", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetActiveWindow(), owner);
  EXPECT_EQ(captions, (std::vector<std::string>{"&Yes", "&No", "Cancel"}));
  DestroyWindow(owner);
}

// A box centres over an owner that can hold it, else over the work area: a bar along the top
// of the screen does not pull it into the corner.
TEST(MessageBox, CentresOverAnOwnerThatHoldsItElseOverTheWorkArea) {
  struct Case {
    RECT owner;
    bool overOwner;
  };
  const Case cases[] = {{{300, 200, 900, 600}, true}, {{0, 0, 460, 70}, false}, {{1100, 700, 1250, 790}, false}};
  for (const Case& c : cases) {
    UiDriver ui;
    ui.DriveMessageBoxes();
    HWND owner = CreateWindowEx(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, c.owner.left, c.owner.top,
                                c.owner.right - c.owner.left, c.owner.bottom - c.owner.top, nullptr, nullptr, nullptr,
                                nullptr);
    RECT box{}, work{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    ui.WhenModalWaits([&] {
      HWND shown = UiDriver::FindDialog("Placed");
      ASSERT_TRUE(shown);
      GetWindowRect(shown, &box);
      ui.Press(VK_RETURN);
    });
    MessageBox(owner, "Where am I?", "Placed", MB_OK);
    const RECT& around = c.overOwner ? c.owner : work;
    EXPECT_NEAR((box.left + box.right) / 2, (around.left + around.right) / 2, 1) << c.owner.left;
    EXPECT_NEAR((box.top + box.bottom) / 2, (around.top + around.bottom) / 2, 1) << c.owner.left;
    DestroyWindow(owner);
  }
}

// A script's answer presses that button of a real box.
TEST(MessageBox, ScriptAnswersByPressingTheButton) {
  UiDriver ui;
  std::vector<std::string> created;
  HHOOK hook = SetWindowsHookEx(WH_CBT, [&](int code, WPARAM, LPARAM l) -> LRESULT {
    if (code == HCBT_CREATEWND) created.push_back(reinterpret_cast<CBT_CREATEWND*>(l)->lpcs->lpszClass);
    return 0;
  }, nullptr, 0);
  ui.AnswerMessageBoxes({IDRETRY, IDIGNORE});
  EXPECT_EQ(MessageBox(nullptr, "Disk?", "Drive", MB_RETRYCANCEL), IDRETRY);
  // An answer that is not one of the box's buttons is still given back.
  EXPECT_EQ(MessageBox(nullptr, "Again?", "Drive", MB_OK), IDIGNORE);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(std::count(created.begin(), created.end(), std::string(WC_DIALOG)), 2);
  EXPECT_GE(std::count(created.begin(), created.end(), std::string("BUTTON")), 3);
  EXPECT_EQ(FindWindow(WC_DIALOG, "Drive"), nullptr);  // gone afterwards
}

TEST(MessageBox, LongTextWrapsAndTheIconShows) {
  UiDriver ui;
  ui.DriveMessageBoxes();
  std::string text;
  for (int i = 0; i < 60; ++i) text += "word ";
  RECT box{}, label{};
  std::uint32_t iconCentre = 0, iconCorner = 0;
  HWND found = nullptr;
  ui.WhenModalWaits([&] {
    found = UiDriver::FindDialog("Stop");
    ASSERT_TRUE(found);
    GetWindowRect(found, &box);
    GetWindowRect(GetDlgItem(found, 0xFFFF), &label);
    POINT p{0, 0};
    ClientToScreen(found, &p);
    iconCentre = ui.Pixel(p.x + 11 + 6, p.y + 11 + 16);
    iconCorner = ui.Pixel(p.x + 11 + 1, p.y + 11 + 1);
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(MessageBox(nullptr, text.c_str(), "Stop", MB_OK | MB_ICONHAND | MB_TASKMODAL), IDOK);
  ASSERT_TRUE(found);
  EXPECT_LT(box.right - box.left, 1280 / 2);  // wrapped to a readable width
  EXPECT_GT(label.bottom - label.top, 30);    // on several lines
  EXPECT_EQ(iconCentre, 0xFF0000u);           // the red stop sign
  EXPECT_EQ(iconCorner, 0xC0C0C0u);           // on the face colour
}

TEST(MessageBox, TaskModalWithoutOwnerDisablesTheTopLevelWindows) {
  UiDriver ui;
  ui.DriveMessageBoxes();
  HWND a = CreateWindowEx(0, "STATIC", "A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                          nullptr);
  bool aEnabled = true;
  ui.WhenModalWaits([&] {
    aEnabled = IsWindowEnabled(a);
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(MessageBox(nullptr, "All stop", "Task", MB_OK | MB_TASKMODAL), IDOK);
  EXPECT_FALSE(aEnabled);
  EXPECT_TRUE(IsWindowEnabled(a));
  // A system-modal box stays above every other window.
  LONG_PTR exStyle = 0;
  ui.WhenModalWaits([&] {
    exStyle = GetWindowLongPtr(UiDriver::FindDialog("System"), GWL_EXSTYLE);
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(MessageBox(a, "Careful", "System", MB_OK | MB_SYSTEMMODAL), IDOK);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  DestroyWindow(a);
}

}  // namespace
