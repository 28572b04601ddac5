#include "quillo/components/captions/CaptionIcon.h"

void DrawCaptionIcon(HDC dc, HWND window, HICON formIcon, const RECT& box) {
  HICON icon = formIcon;
  if (!icon && window) icon = reinterpret_cast<HICON>(SendMessage(window, WM_GETICON, ICON_SMALL2, 0));
  if (icon) {
    DrawIconEx(dc, box.left, box.top, icon, box.right - box.left, box.bottom - box.top, 0, nullptr, DI_NORMAL);
    return;
  }
  // A window: white, framed, with a caption-coloured bar.
  RECT frame{box.left, box.top + 1, box.right - 2, box.bottom - 3};
  FillRect(dc, &frame, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWTEXT));
  RECT bar{frame.left + 1, frame.top + 1, frame.right - 1, frame.top + 4};
  FillRect(dc, &bar, GetSysColorBrush(COLOR_ACTIVECAPTION));
}
