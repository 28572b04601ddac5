#pragma once
// The system metrics and parameters; the colour table and the screen size are GDI's (Display.h).

#include <functional>
#include <string>

#include "platform/gdi/Display.h"
#include "platform/user/WinConst.h"

struct NONCLIENTMETRICS {
  UINT cbSize = sizeof(NONCLIENTMETRICS);
  int iBorderWidth = 1;
  int iScrollWidth = 16;
  int iScrollHeight = 16;
  int iCaptionWidth = 18;
  int iCaptionHeight = 18;
  LOGFONT lfCaptionFont;
  int iSmCaptionWidth = 12;
  int iSmCaptionHeight = 15;
  LOGFONT lfSmCaptionFont;
  int iMenuWidth = 18;
  int iMenuHeight = 18;
  LOGFONT lfMenuFont;
  LOGFONT lfStatusFont;
  LOGFONT lfMessageFont;
};
using NONCLIENTMETRICSA = NONCLIENTMETRICS;

int GetSystemMetrics(int index);
BOOL SystemParametersInfo(UINT action, UINT param, void* data, UINT winIni);
inline constexpr auto& SystemParametersInfoA = SystemParametersInfo;
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);

// The UI font (8 pt sans, as the message and status fonts) and the bold caption font.
LOGFONT UiLogFont();
LOGFONT CaptionLogFont();

// Layer-internal: the desktop reports its size and depth (the work area follows), and learns
// of wallpaper changes.
void SetDesktopMetrics(int width, int height, int bitsPerPixel);
void SetWallpaperChangedHandler(std::function<void()> handler);
const std::string& WallpaperPath();
// Restores every colour, metric and parameter to its start-up value (fresh test desktops).
void ResetSystemParameters();
