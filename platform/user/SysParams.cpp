// The metrics and parameters of a 96 dpi display in the classic scheme.

#include "platform/user/SysParams.h"

#include <cstring>
#include <vector>

#include "platform/user/WallpaperSetting.h"

namespace {

struct Parameters {
  RECT workArea{0, 0, 1280, 800};
  BOOL dragFullWindows = TRUE;
  UINT doubleClickTime = 500;
  std::string wallpaper;
  std::function<void()> wallpaperChanged;
};

Parameters& Params() {
  static Parameters p;
  return p;
}

LOGFONT SansFont(LONG weight) {
  LOGFONT f;
  f.lfHeight = -11;  // 8 pt at 96 dpi
  f.lfWeight = weight;
  std::strcpy(f.lfFaceName, "MS Sans Serif");
  return f;
}

BOOL CopyOut(const void* value, size_t size, void* data) {
  if (!data) return FALSE;
  std::memcpy(data, value, size);
  return TRUE;
}

}  // namespace

LOGFONT UiLogFont() { return SansFont(FW_NORMAL); }
LOGFONT CaptionLogFont() { return SansFont(FW_BOLD); }

int GetSystemMetrics(int index) {
  const Parameters& p = Params();
  switch (index) {
    case SM_CXSCREEN: case SM_CXVIRTUALSCREEN: case SM_CXMAXTRACK: return ScreenWidth();
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: case SM_CYMAXTRACK: return ScreenHeight();
    case SM_CXFULLSCREEN: return p.workArea.right - p.workArea.left;
    case SM_CYFULLSCREEN: return p.workArea.bottom - p.workArea.top - 19;
    case SM_CXMAXIMIZED: return p.workArea.right - p.workArea.left + 8;
    case SM_CYMAXIMIZED: return p.workArea.bottom - p.workArea.top + 8;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return 16;
    case SM_CYVTHUMB: case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXICONSPACING: case SM_CYICONSPACING: return 75;
    case SM_CYMENU: return 19;
    case SM_CXSIZE: case SM_CYSIZE: return 18;
    case SM_CXMIN: case SM_CXMINTRACK: return 112;
    case SM_CYMIN: case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    // A minimised window is a short caption bar; minimised windows line up without gaps.
    case SM_CXMINIMIZED: case SM_CXMINSPACING: return 160;
    case SM_CYMINIMIZED: case SM_CYMINSPACING: return 27;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 16;
    case SM_CXSMSIZE: case SM_CYSMSIZE: return 12;
    case SM_CXMENUSIZE: case SM_CYMENUSIZE: return 18;
    case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_MOUSEWHEELPRESENT: case SM_CMONITORS: return 1;
    case SM_SWAPBUTTON: case SM_XVIRTUALSCREEN: case SM_YVIRTUALSCREEN: return 0;
  }
  return 0;
}

namespace {

BOOL NonClientMetrics(void* data) {
  if (!data) return FALSE;
  NONCLIENTMETRICS m;
  m.lfCaptionFont = CaptionLogFont();
  m.lfSmCaptionFont = CaptionLogFont();
  m.lfMenuFont = UiLogFont();
  m.lfStatusFont = UiLogFont();
  m.lfMessageFont = UiLogFont();
  return CopyOut(&m, sizeof m, data);
}

BOOL SetWallpaper(void* data, UINT winIni) {
  Params().wallpaper = data ? static_cast<const char*>(data) : "";
  // Kept for the next start only when asked; the desktop shows it now either way.
  if ((winIni & SPIF_UPDATEINIFILE) && !StoreWallpaperSetting(Params().wallpaper)) return FALSE;
  if (Params().wallpaperChanged) Params().wallpaperChanged();
  return TRUE;
}

}  // namespace

BOOL SystemParametersInfo(UINT action, UINT param, void* data, UINT winIni) {
  Parameters& p = Params();
  switch (action) {
    case SPI_GETWORKAREA: return CopyOut(&p.workArea, sizeof p.workArea, data);
    case SPI_SETWORKAREA:
      if (!data) return FALSE;
      std::memcpy(&p.workArea, data, sizeof p.workArea);
      return TRUE;
    case SPI_GETFONTSMOOTHING: {
      BOOL on = FontSmoothing() ? TRUE : FALSE;
      return CopyOut(&on, sizeof on, data);
    }
    case SPI_SETFONTSMOOTHING: SetFontSmoothing(param != 0); return TRUE;
    case SPI_GETDRAGFULLWINDOWS: return CopyOut(&p.dragFullWindows, sizeof(BOOL), data);
    case SPI_SETDRAGFULLWINDOWS: p.dragFullWindows = param ? TRUE : FALSE; return TRUE;
    case SPI_GETNONCLIENTMETRICS: return NonClientMetrics(data);
    case SPI_GETICONTITLELOGFONT: {
      LOGFONT f = UiLogFont();
      return CopyOut(&f, sizeof f, data);
    }
    case SPI_SETDESKWALLPAPER: return SetWallpaper(data, winIni);
    case SPI_GETDESKWALLPAPER: {
      if (!data || param == 0) return FALSE;
      std::strncpy(static_cast<char*>(data), p.wallpaper.c_str(), param - 1);
      static_cast<char*>(data)[param - 1] = 0;
      return TRUE;
    }
    case SPI_GETWHEELSCROLLLINES: {
      UINT lines = 3;
      return CopyOut(&lines, sizeof lines, data);
    }
    case SPI_GETBEEP: case SPI_GETGRADIENTCAPTIONS: {
      BOOL on = action == SPI_GETBEEP ? TRUE : FALSE;
      return CopyOut(&on, sizeof on, data);
    }
    case SPI_GETFLATMENU: {
      BOOL off = FALSE;
      return CopyOut(&off, sizeof off, data);
    }
    case SPI_GETBORDER: {
      int border = 1;
      return CopyOut(&border, sizeof border, data);
    }
  }
  return FALSE;
}

UINT GetDoubleClickTime() { return Params().doubleClickTime; }
BOOL SetDoubleClickTime(UINT ms) {
  Params().doubleClickTime = ms == 0 ? 500 : ms;
  return TRUE;
}

void SetDesktopMetrics(int width, int height, int bitsPerPixel) {
  SetScreenMetrics(width, height, bitsPerPixel);
  Params().workArea = RECT{0, 0, width, height};
}

void SetWallpaperChangedHandler(std::function<void()> handler) {
  Params().wallpaperChanged = std::move(handler);
}

const std::string& WallpaperPath() { return Params().wallpaper; }

void ResetSystemParameters() {
  Parameters& p = Params();
  ResetDisplaySettings();
  p.workArea = RECT{0, 0, ScreenWidth(), ScreenHeight()};
  p.dragFullWindows = TRUE;
  p.doubleClickTime = 500;
  p.wallpaper.clear();
}
