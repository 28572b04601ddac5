// Device contexts: the table, creation, object selection, saved states and attributes.

#include "platform/gdi/DeviceContext.h"

#include <unordered_map>

#include "platform/gdi/Display.h"
#include "platform/rtl/Everlasting.h"

#include <string>

namespace {

std::unordered_map<const DeviceContext*, std::unique_ptr<DeviceContext>>& Table() {
  static Everlasting<std::unordered_map<const DeviceContext*, std::unique_ptr<DeviceContext>>> table;
  return *table;
}

unsigned& Serial() {
  static unsigned serial = 1;
  return serial;
}

void Hold(GdiObject* object) {
  if (object) ++object->selectedCount;
}

void DefaultObjects(DeviceContext& dc) {
  dc.state.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  dc.state.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  dc.state.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  dc.state.palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
}

// The one-pixel monochrome bitmap every new memory context starts with.
HBITMAP DefaultBitmap() {
  static HBITMAP bitmap = [] {
    BitmapObject* b = NewBitmap(1, 1, 1);
    b->stock = true;
    return b;
  }();
  return bitmap;
}

void ReleaseState(const DcState& s) {
  ReleaseSelectedObject(s.pen);
  ReleaseSelectedObject(s.brush);
  ReleaseSelectedObject(s.font);
  ReleaseSelectedObject(s.bitmap);
}

void HoldState(const DcState& s) {
  Hold(s.pen);
  Hold(s.brush);
  Hold(s.font);
  Hold(s.bitmap);
}

}  // namespace

bool DeviceContext::Prepare() {
  if (kind == Kind::Memory) {
    BitmapObject* b = LiveBitmap(state.bitmap);
    Surface s = b ? b->WritePixels() : Surface{};
    if (s.top != surface.top || s.width != surface.width || s.height != surface.height) {
      surface = s;
      visible = Region(RECT{0, 0, s.width, s.height});
      clipValid_ = false;
    }
  } else if (refresh && layoutSerial != Serial()) {
    refresh(*this);
    layoutSerial = Serial();
    clipValid_ = false;
  }
  return surface.Valid();
}

const std::vector<RECT>& DeviceContext::ClipRects() {
  if (!clipValid_) {
    clipSurface_ = visible.Intersect(RECT{0, 0, surface.width, surface.height});
    if (state.hasClip) {
      Region clip = state.clip;
      clip.Offset(origin.x, origin.y);
      clipSurface_ = clipSurface_.Intersect(clip);
    }
    clipValid_ = true;
  }
  return clipSurface_.Rects();
}

RECT DeviceContext::ToSurface(const RECT& r) const {
  POINT o = DeviceOffset();
  return RECT{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
}

DeviceContext* LiveDc(HDC dc) {
  if (!dc) return nullptr;
  auto it = Table().find(dc);
  return it == Table().end() ? nullptr : it->second.get();
}

DeviceContext* NewDeviceContext(DeviceContext::Kind kind) {
  auto dc = std::make_unique<DeviceContext>();
  dc->kind = kind;
  DefaultObjects(*dc);
  if (kind == DeviceContext::Kind::Memory) dc->state.bitmap = DefaultBitmap();
  HoldState(dc->state);
  DeviceContext* raw = dc.get();
  Table().emplace(raw, std::move(dc));
  return raw;
}

void FreeDeviceContext(DeviceContext* dc) {
  if (!LiveDc(dc)) return;
  ReleaseState(dc->state);
  for (const DcState& s : dc->saved) ReleaseState(s);
  Table().erase(dc);
}

void BumpLayoutSerial() { ++Serial(); }
unsigned LayoutSerial() { return Serial(); }

HDC CreateCompatibleDC(HDC) { return NewDeviceContext(DeviceContext::Kind::Memory); }

BOOL DeleteDC(HDC dc) {
  if (!LiveDc(dc)) return FALSE;
  FreeDeviceContext(dc);
  return TRUE;
}

namespace {

template <class T>
HGDIOBJ Swap(DeviceContext&, T*& slot, T* object) {
  T* previous = slot;
  Hold(object);
  slot = object;
  ReleaseSelectedObject(previous);
  return previous;
}

HGDIOBJ SelectBitmap(DeviceContext& dc, BitmapObject* bitmap) {
  if (dc.kind != DeviceContext::Kind::Memory) return nullptr;
  // A bitmap can be selected into one memory context at a time.
  if (bitmap->selectedCount > 0 && dc.state.bitmap != bitmap && !bitmap->stock) return nullptr;
  HGDIOBJ previous = Swap(dc, dc.state.bitmap, bitmap);
  dc.Prepare();
  return previous;
}

}  // namespace

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !IsLiveGdiObject(object) || object->deletePending) return nullptr;
  switch (object->type) {
    case OBJ_PEN: return Swap(*dc, dc->state.pen, static_cast<HPEN>(object));
    case OBJ_BRUSH: return Swap(*dc, dc->state.brush, static_cast<HBRUSH>(object));
    case OBJ_FONT: return Swap(*dc, dc->state.font, static_cast<HFONT>(object));
    case OBJ_BITMAP: return SelectBitmap(*dc, static_cast<HBITMAP>(object));
    case OBJ_REGION: {
      int kind = SelectClipRgn(handle, static_cast<HRGN>(object));
      return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(kind));
    }
  }
  return nullptr;
}

HGDIOBJ GetCurrentObject(HDC handle, UINT type) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN: return dc->state.pen;
    case OBJ_BRUSH: return dc->state.brush;
    case OBJ_FONT: return dc->state.font;
    case OBJ_BITMAP: return dc->state.bitmap;
    case OBJ_PAL: return dc->state.palette;
  }
  return nullptr;
}

HPALETTE SelectPalette(HDC handle, HPALETTE palette, BOOL) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !LiveGdiObject<PaletteObject>(palette, OBJ_PAL)) return nullptr;
  HPALETTE previous = dc->state.palette;
  dc->state.palette = palette;
  return previous;
}

UINT RealizePalette(HDC) { return 0; }  // 32-bit surfaces need no palette

int SaveDC(HDC handle) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return 0;
  HoldState(dc->state);
  dc->saved.push_back(dc->state);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC handle, int level) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return FALSE;
  int count = static_cast<int>(dc->saved.size());
  if (level < 0) level = count + 1 + level;  // -1 is the most recent
  if (level < 1 || level > count) return FALSE;
  ReleaseState(dc->state);
  dc->state = dc->saved[level - 1];
  for (int i = level; i < count; ++i) ReleaseState(dc->saved[i]);
  dc->saved.resize(level - 1);
  dc->InvalidateClip();
  dc->Prepare();
  return TRUE;
}

int GetDeviceCaps(HDC handle, int index) {
  DeviceContext* dc = LiveDc(handle);
  if (dc && dc->printer) return dc->printer->Caps(index);
  int bits = 32;
  if (dc && dc->kind == DeviceContext::Kind::Memory) {
    BitmapObject* b = LiveBitmap(dc->state.bitmap);
    if (b) bits = b->bitsPixel;
  } else {
    bits = ScreenBitsPerPixel();
  }
  switch (index) {
    case BITSPIXEL: return bits;
    case PLANES: return 1;
    case HORZRES: return dc && dc->kind == DeviceContext::Kind::Memory ? dc->surface.width : ScreenWidth();
    case VERTRES: return dc && dc->kind == DeviceContext::Kind::Memory ? dc->surface.height : ScreenHeight();
    case HORZSIZE: return ScreenWidth() * 254 / 960;
    case VERTSIZE: return ScreenHeight() * 254 / 960;
    case LOGPIXELSX: case LOGPIXELSY: return 96;
    case NUMCOLORS: return -1;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case RASTERCAPS: return 0;
    case SIZEPALETTE: return 0;
  }
  return 0;
}

#define QUILLO_DC_ATTRIBUTE(Type, Setter, Getter, field, fallback) \
  Type Setter(HDC handle, Type value) {                            \
    DeviceContext* dc = LiveDc(handle);                            \
    if (!dc) return fallback;                                      \
    Type previous = dc->state.field;                               \
    dc->state.field = value;                                       \
    return previous;                                               \
  }                                                                \
  Type Getter(HDC handle) {                                        \
    DeviceContext* dc = LiveDc(handle);                            \
    return dc ? dc->state.field : fallback;                        \
  }

QUILLO_DC_ATTRIBUTE(COLORREF, SetTextColor, GetTextColor, textColor, CLR_INVALID)
QUILLO_DC_ATTRIBUTE(COLORREF, SetBkColor, GetBkColor, bkColor, CLR_INVALID)
QUILLO_DC_ATTRIBUTE(int, SetBkMode, GetBkMode, bkMode, 0)
QUILLO_DC_ATTRIBUTE(int, SetROP2, GetROP2, rop2, 0)
QUILLO_DC_ATTRIBUTE(int, SetStretchBltMode, GetStretchBltMode, stretchMode, 0)
QUILLO_DC_ATTRIBUTE(UINT, SetTextAlign, GetTextAlign, textAlign, 0xFFFFFFFF)
#undef QUILLO_DC_ATTRIBUTE

int SetICMMode(HDC handle, int mode) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return 0;
  if (mode == ICM_QUERY) return dc->state.icmMode;
  if (mode != ICM_ON && mode != ICM_OFF) return 0;
  dc->state.icmMode = mode;
  return mode;
}

int SetPolyFillMode(HDC handle, int mode) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || (mode != ALTERNATE && mode != WINDING)) return 0;
  int previous = dc->state.polyFillMode;
  dc->state.polyFillMode = mode;
  return previous;
}

int GetPolyFillMode(HDC handle) {
  DeviceContext* dc = LiveDc(handle);
  return dc ? dc->state.polyFillMode : 0;
}

int SetTextCharacterExtra(HDC handle, int extra) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return 0x80000000;
  int previous = dc->state.charExtra;
  dc->state.charExtra = extra;
  return previous;
}

COLORREF SetDCBrushColor(HDC handle, COLORREF colour) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return CLR_INVALID;
  COLORREF previous = dc->state.dcBrushColor;
  dc->state.dcBrushColor = colour;
  return previous;
}

COLORREF SetDCPenColor(HDC handle, COLORREF colour) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return CLR_INVALID;
  COLORREF previous = dc->state.dcPenColor;
  dc->state.dcPenColor = colour;
  return previous;
}

namespace {

BOOL SetPoint(HDC handle, POINT DcState::*field, int x, int y, POINT* previous, bool relative) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc) return FALSE;
  POINT& p = dc->state.*field;
  if (previous) *previous = p;
  p = relative ? POINT{p.x + x, p.y + y} : POINT{x, y};
  return TRUE;
}

BOOL GetPoint(HDC handle, POINT DcState::*field, POINT* out) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !out) return FALSE;
  *out = dc->state.*field;
  return TRUE;
}

}  // namespace

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous) {
  return SetPoint(dc, &DcState::brushOrg, x, y, previous, false);
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous) {
  return SetPoint(dc, &DcState::viewportOrg, x, y, previous, false);
}
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous) {
  return SetPoint(dc, &DcState::viewportOrg, dx, dy, previous, true);
}
BOOL GetViewportOrgEx(HDC dc, POINT* out) { return GetPoint(dc, &DcState::viewportOrg, out); }
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous) {
  return SetPoint(dc, &DcState::windowOrg, x, y, previous, false);
}
BOOL GetWindowOrgEx(HDC dc, POINT* out) { return GetPoint(dc, &DcState::windowOrg, out); }
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
  return SetPoint(dc, &DcState::position, x, y, previous, false);
}
BOOL GetCurrentPositionEx(HDC dc, POINT* out) { return GetPoint(dc, &DcState::position, out); }

BOOL LPtoDP(HDC handle, POINT* points, int count) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || (!points && count > 0)) return FALSE;
  for (int i = 0; i < count; ++i) {
    points[i].x += dc->state.viewportOrg.x - dc->state.windowOrg.x;
    points[i].y += dc->state.viewportOrg.y - dc->state.windowOrg.y;
  }
  return TRUE;
}

BOOL DPtoLP(HDC handle, POINT* points, int count) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || (!points && count > 0)) return FALSE;
  for (int i = 0; i < count; ++i) {
    points[i].x -= dc->state.viewportOrg.x - dc->state.windowOrg.x;
    points[i].y -= dc->state.viewportOrg.y - dc->state.windowOrg.y;
  }
  return TRUE;
}

// The display's context covers the whole screen; any other device is a printer.
HDC CreateDC(LPCSTR driver, LPCSTR device, LPCSTR, const void* init) {
  if ((!driver || std::string(driver) != "DISPLAY") && device)
    return CreatePrinterDC(device, static_cast<const DEVMODE*>(init));
  if (!driver || std::string(driver) != "DISPLAY") return nullptr;
  DeviceContext* dc = NewDeviceContext(DeviceContext::Kind::Screen);
  dc->refresh = [](DeviceContext& target) {
    target.surface = ScreenSurface();
    target.origin = POINT{0, 0};
    target.visible = Region(RECT{0, 0, target.surface.width, target.surface.height});
    MarkScreenDrawn();
  };
  dc->Prepare();
  return dc;
}
