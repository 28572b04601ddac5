#pragma once
// F1 in a common dialog does what its Help button does, when the dialog shows that button.

#include "platform/user/User.h"

// Presses the dialog's Help button as a click would; FALSE when it is hidden or disabled.
BOOL PressHelpButton(HWND dialog);
