#pragma once
// How a control answers WM_PAINT and WM_PRINTCLIENT: into the device context the message
// hands over in wParam (a parent printing it, a framework painting it into a buffer), or else
// into its own update between BeginPaint and EndPaint. paint(dc, dirty) is told what needs
// painting: the update rectangle, or the whole client area for a context handed over.

#include "platform/user/User.h"

template <class Paint>
LRESULT PaintControl(HWND window, WPARAM wParam, Paint paint) {
  if (HDC given = reinterpret_cast<HDC>(wParam)) {
    RECT client;
    GetClientRect(window, &client);
    paint(given, static_cast<const RECT&>(client));
    return 0;
  }
  PAINTSTRUCT ps;
  if (HDC dc = BeginPaint(window, &ps)) {
    paint(dc, static_cast<const RECT&>(ps.rcPaint));
    EndPaint(window, &ps);
  }
  return 0;
}
