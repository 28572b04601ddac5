#pragma once
// A test's answers to message boxes: when a script is set, a message box asks it first; the
// box then presses the button of the answer (an answer that is no button of the box ends it
// with that answer), and 0 leaves the box to real input.

#include <functional>

#include "platform/gdi/WinDefs.h"

using MessageBoxScript = std::function<int(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)>;
void SetMessageBoxScript(MessageBoxScript script);
// The script's answer, or 0 when no script is set.
int RunMessageBoxScript(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);
