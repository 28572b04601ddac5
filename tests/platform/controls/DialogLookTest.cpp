// A dialog of every button and static kind, and a message box over it, as a user sees them.
// With QUILLO_SAVE_LOOK set to a folder, the dialog is saved there as dialog-alone.bmp and the
// desktop with the box as dialog-look.bmp (run under QUILLO_HOST=sdl on a display to see the
// real window).

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/controls/Button.h"
#include "platform/controls/Static.h"
#include "platform/user/Dialog.h"
#include "support/UiDriver.h"

namespace {

DialogTemplate EveryKind() {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
  t.x = 20;
  t.y = 20;
  t.cx = 260;
  t.cy = 150;
  t.caption = "Controls";
  const DWORD v = WS_VISIBLE, tab = WS_VISIBLE | WS_TABSTOP;
  t.items = {
      {"STATIC", "&Label text that wraps onto a second line", 10, v | SS_LEFT, 7, 7, 80, 16},
      {"STATIC", "", 11, v | SS_ETCHEDHORZ, 7, 27, 246, 2},
      {"BUTTON", "&Check box", 12, tab | BS_AUTOCHECKBOX, 7, 33, 70, 10},
      {"BUTTON", "&Three states", 13, tab | BS_AUTO3STATE, 7, 45, 70, 10},
      {"BUTTON", "&Disabled", 14, v | WS_DISABLED | BS_AUTOCHECKBOX, 7, 57, 70, 10},
      {"BUTTON", "Options", 15, v | BS_GROUPBOX, 95, 30, 80, 50},
      {"BUTTON", "&First", 16, tab | WS_GROUP | BS_AUTORADIOBUTTON, 100, 42, 60, 10},
      {"BUTTON", "&Second", 17, v | BS_AUTORADIOBUTTON, 100, 54, 60, 10},
      {"BUTTON", "Pushed like", 18, tab | WS_GROUP | BS_AUTOCHECKBOX | BS_PUSHLIKE, 185, 33, 68, 14},
      {"STATIC", "", 19, v | SS_BLACKFRAME, 185, 52, 30, 20},
      {"STATIC", "", 20, v | SS_GRAYRECT, 220, 52, 30, 20},
      {"STATIC", "Sunken", 21, v | SS_CENTER | SS_SUNKEN, 7, 72, 70, 12},
      {"BUTTON", "OK", IDOK, tab | WS_GROUP | BS_DEFPUSHBUTTON, 88, 129, 50, 14},
      {"BUTTON", "Cancel", IDCANCEL, tab | BS_PUSHBUTTON, 144, 129, 50, 14},
      {"BUTTON", "Disabled", 22, v | WS_DISABLED | BS_PUSHBUTTON, 200, 129, 50, 14},
  };
  return t;
}

TEST(DialogLook, EveryKindWithAMessageBoxOverIt) {
  UiDriver ui;
  DialogTemplate t = EveryKind();
  HWND dialog = CreateDialogIndirect(nullptr, &t, nullptr, [](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) {
      CheckDlgButton(d, 12, BST_CHECKED);
      CheckDlgButton(d, 13, BST_INDETERMINATE);
      CheckDlgButton(d, 16, BST_CHECKED);
      CheckDlgButton(d, 18, BST_CHECKED);
      return TRUE;
    }
    return FALSE;
  });
  ASSERT_TRUE(dialog);
  ui.RunUntilIdle();
  // The radio buttons inside the group box show over it: the checked one's dot is drawn.
  HWND first = GetDlgItem(dialog, 16);
  RECT r;
  GetClientRect(first, &r);
  POINT dot = UiDriver::At(first, kButtonCheckBoxSize / 2, r.bottom / 2);
  EXPECT_EQ(ui.Pixel(dot.x, dot.y), 0x000000u);
  EXPECT_EQ(SendMessage(GetDlgItem(dialog, 15), WM_NCHITTEST, 0, 0), HTTRANSPARENT);
  const char* folder = std::getenv("QUILLO_SAVE_LOOK");
  if (folder) ui.SaveWindow(dialog, std::string(folder) + "/dialog-alone.bmp");
  ui.DriveMessageBoxes();
  HWND box = nullptr;
  ui.WhenModalWaits([&] {
    box = UiDriver::FindDialog("Question");
    if (folder) ui.SaveDesktop(std::string(folder) + "/dialog-look.bmp");
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(MessageBox(dialog, "Keep these settings?\nThe dialog stays open.", "Question",
                       MB_YESNOCANCEL | MB_ICONQUESTION),
            IDYES);
  ASSERT_TRUE(box);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_EQ(GetActiveWindow(), dialog);
  DestroyWindow(dialog);
}

}  // namespace
