#pragma once
// The small icon of a painted caption: the form's icon, else the one its window answers
// WM_GETICON with, else the generic window glyph the window manager shows for a window
// without one (the system has no application icon to load).

#include "platform/user/User.h"

void DrawCaptionIcon(HDC dc, HWND window, HICON formIcon, const RECT& box);
