#pragma once
// A hidden window whose messages go to a framework method: what a non-visual component (a
// timer, the drag machinery) uses to receive messages. DeallocateHWnd destroys it.

#include "platform/vcl/Messages.h"

HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND window);
