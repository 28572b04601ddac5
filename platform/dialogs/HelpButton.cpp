#include "platform/dialogs/HelpButton.h"

#include "platform/dialogs/DialogIds.h"
#include "platform/user/Dialog.h"
#include "platform/controls/Button.h"
#include "platform/user/WinConst.h"

BOOL PressHelpButton(HWND dialog) {
  HWND button = GetDlgItem(dialog, pshHelp);
  if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return FALSE;
  SendMessage(dialog, WM_COMMAND, static_cast<WPARAM>(MAKELONG(pshHelp, BN_CLICKED)), reinterpret_cast<LPARAM>(button));
  return TRUE;
}
