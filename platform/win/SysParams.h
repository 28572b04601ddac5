#pragma once
// The look of the system: the classic colour table, the metrics and the system parameters.

#include <functional>
#include <string>

#include "platform/win/Gdi.h"
#include "platform/win/WinConst.h"

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

DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
BOOL SetSysColors(int count, const int* indices, const COLORREF* colours);
int GetSystemMetrics(int index);
BOOL SystemParametersInfo(UINT action, UINT param, void* data, UINT winIni);
inline constexpr auto& SystemParametersInfoA = SystemParametersInfo;
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);

// The UI font (8 pt sans, as the message and status fonts) and the bold caption font.
LOGFONT UiLogFont();
LOGFONT CaptionLogFont();

// Layer-internal: the desktop reports its size and depth, and learns of wallpaper changes.
void SetScreenMetrics(int width, int height, int bitsPerPixel);
int ScreenBitsPerPixel();
void SetWallpaperChangedHandler(std::function<void()> handler);
const std::string& WallpaperPath();
// Restores every colour, metric and parameter to its start-up value (fresh test desktops).
void ResetSystemParameters();
// A brush that paints a system colour and follows it when it changes.
HBRUSH SystemColorBrush(int index);
