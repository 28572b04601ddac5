#pragma once
// How a control answers WM_PAINT and WM_PRINTCLIENT: into the device context the message
// hands over in wParam (a parent printing it, a framework painting it into a buffer), or else
// into its own update between BeginPaint and EndPaint.

#include "platform/user/User.h"

template <class Paint>
LRESULT PaintControl(HWND window, WPARAM wParam, Paint paint) {
  if (HDC given = reinterpret_cast<HDC>(wParam)) {
    paint(given);
    return 0;
  }
  PAINTSTRUCT ps;
  if (HDC dc = BeginPaint(window, &ps)) {
    paint(dc);
    EndPaint(window, &ps);
  }
  return 0;
}
