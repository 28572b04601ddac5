#pragma once
// The display GDI draws for: its pixels, size and depth, the system colour table and whether
// text is smoothed. The window manager sets them; drawing reads them.

#include "platform/gdi/Gdi.h"
#include "platform/host/Surface.h"

// System colours.
constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_DESKTOP = 1,
              COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4,
              COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7,
              COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10,
              COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13,
              COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_3DFACE = 15,
              COLOR_BTNSHADOW = 16, COLOR_3DSHADOW = 16, COLOR_GRAYTEXT = 17,
              COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
              COLOR_3DHIGHLIGHT = 20, COLOR_3DHILIGHT = 20, COLOR_BTNHILIGHT = 20,
              COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23,
              COLOR_INFOBK = 24, COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27,
              COLOR_GRADIENTINACTIVECAPTION = 28, COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30;
constexpr int COLOR_COUNT = 31;

DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
BOOL SetSysColors(int count, const int* indices, const COLORREF* colours);
// A brush that paints a system colour and follows it when it changes.
HBRUSH SystemColorBrush(int index);

void SetScreenMetrics(int width, int height, int bitsPerPixel);
int ScreenWidth();
int ScreenHeight();
int ScreenBitsPerPixel();
bool FontSmoothing();
void SetFontSmoothing(bool on);
// The screen's pixels, which the window manager owns; contexts of the display draw there.
void SetScreenSurface(const Surface& surface);
const Surface& ScreenSurface();
// Set when something drew on the screen, so the window manager knows to show it.
void MarkScreenDrawn();
bool TakeScreenDrawn();

// Restores the classic colours and text smoothing (fresh test desktops).
void ResetDisplaySettings();
