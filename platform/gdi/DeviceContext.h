#pragma once
// A device context: a surface (a memory bitmap or the desktop), the part of it the context
// may draw on, the selected objects and the drawing state.

#include <functional>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PrintDevice.h"
#include "platform/rtl/HandleStorage.h"

struct DcState {
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  HBITMAP bitmap = nullptr;  // memory contexts only
  HPALETTE palette = nullptr;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  COLORREF dcBrushColor = 0xFFFFFF;
  COLORREF dcPenColor = 0;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int polyFillMode = ALTERNATE;
  int arcDirection = AD_COUNTERCLOCKWISE;
  int stretchMode = BLACKONWHITE;
  int icmMode = ICM_OFF;
  UINT textAlign = TA_LEFT | TA_TOP;
  int charExtra = 0;
  POINT position;
  POINT brushOrg;
  POINT viewportOrg;
  POINT windowOrg;
  bool hasClip = false;
  Region clip;  // device coordinates, when hasClip
};

struct DeviceContext : HandleStorage {
  enum class Kind { Memory, Window, Screen, Printer };
  Kind kind = Kind::Memory;
  // Printer contexts: the device that takes what is drawn; they have no surface.
  std::unique_ptr<PrintDevice> printer;
  HWND window = nullptr;
  bool fullWindow = false;  // from GetWindowDC: the non-client area too
  bool inUse = true;
  // Window contexts: answers the surface, the device origin on it and the visible region
  // (surface coordinates), asked again whenever the window manager changed the layout.
  std::function<void(DeviceContext&)> refresh;
  unsigned layoutSerial = 0;

  Surface surface;
  POINT origin;     // surface position of device (0, 0)
  Region visible;   // surface coordinates
  DcState state;
  std::vector<DcState> saved;

  // Brings a window context up to date; answers whether there is a surface to draw on.
  bool Prepare();
  // The rectangles drawing may touch, in surface coordinates.
  const std::vector<RECT>& ClipRects();
  void InvalidateClip() { clipValid_ = false; }
  // Logical to surface coordinates.
  POINT ToSurface(int x, int y) const {
    return {x - state.windowOrg.x + state.viewportOrg.x + origin.x,
            y - state.windowOrg.y + state.viewportOrg.y + origin.y};
  }
  RECT ToSurface(const RECT& r) const;
  POINT DeviceOffset() const {
    return {origin.x + state.viewportOrg.x - state.windowOrg.x,
            origin.y + state.viewportOrg.y - state.windowOrg.y};
  }

private:
  bool clipValid_ = false;
  Region clipSurface_;
};

// The context behind a handle when it is live.
DeviceContext* LiveDc(HDC dc);
// Creates a context in the layer's table; window contexts come from the window manager.
DeviceContext* NewDeviceContext(DeviceContext::Kind kind);
void FreeDeviceContext(DeviceContext* dc);
// Changes the serial all window contexts compare against, after any layout change.
void BumpLayoutSerial();
unsigned LayoutSerial();
