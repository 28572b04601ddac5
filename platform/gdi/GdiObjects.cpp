// The object table, stock objects and the creation, query and deletion of drawing objects.

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <unordered_map>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/DibFile.h"
#include "platform/gdi/Display.h"
#include "platform/rtl/Everlasting.h"

namespace {

std::unordered_map<const GdiObject*, std::unique_ptr<GdiObject>>& Table() {
  static Everlasting<std::unordered_map<const GdiObject*, std::unique_ptr<GdiObject>>> table;
  return *table;
}

template <class T>
T* Stock(std::unique_ptr<T> object) {
  object->stock = true;
  return AdoptGdiObject(std::move(object));
}

HBRUSH StockBrush(UINT style, COLORREF colour) {
  auto brush = std::make_unique<BrushObject>();
  brush->log.lbStyle = style;
  brush->log.lbColor = colour;
  return Stock(std::move(brush));
}

HPEN StockPen(UINT style, COLORREF colour) {
  auto pen = std::make_unique<PenObject>();
  pen->log.lopnStyle = style;
  pen->log.lopnWidth.x = 1;
  pen->log.lopnColor = colour;
  return Stock(std::move(pen));
}

HFONT StockFont(LONG height, const char* face, BYTE pitch) {
  auto font = std::make_unique<FontObject>();
  font->log.lfHeight = height;
  font->log.lfPitchAndFamily = pitch;
  std::strncpy(font->log.lfFaceName, face, LF_FACESIZE - 1);
  return Stock(std::move(font));
}

std::vector<HGDIOBJ> MakeStockObjects() {
  std::vector<HGDIOBJ> s(DC_PEN + 1, nullptr);
  s[WHITE_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
  s[LTGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(192, 192, 192));
  s[GRAY_BRUSH] = StockBrush(BS_SOLID, RGB(128, 128, 128));
  s[DKGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(64, 64, 64));
  s[BLACK_BRUSH] = StockBrush(BS_SOLID, 0);
  s[NULL_BRUSH] = StockBrush(BS_NULL, 0);
  s[WHITE_PEN] = StockPen(PS_SOLID, RGB(255, 255, 255));
  s[BLACK_PEN] = StockPen(PS_SOLID, 0);
  s[NULL_PEN] = StockPen(PS_NULL, 0);
  s[OEM_FIXED_FONT] = StockFont(-13, "Courier New", FIXED_PITCH | FF_MODERN);
  s[ANSI_FIXED_FONT] = StockFont(-13, "Courier New", FIXED_PITCH | FF_MODERN);
  s[ANSI_VAR_FONT] = StockFont(-11, "MS Sans Serif", VARIABLE_PITCH | FF_SWISS);
  s[SYSTEM_FONT] = StockFont(-13, "System", VARIABLE_PITCH | FF_SWISS);
  s[DEVICE_DEFAULT_FONT] = s[SYSTEM_FONT];
  s[SYSTEM_FIXED_FONT] = StockFont(-13, "Courier New", FIXED_PITCH | FF_MODERN);
  s[DEFAULT_GUI_FONT] = StockFont(-11, "MS Sans Serif", VARIABLE_PITCH | FF_SWISS);
  s[DEFAULT_PALETTE] = Stock(std::make_unique<PaletteObject>());
  s[DC_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
  s[DC_PEN] = StockPen(PS_SOLID, 0);
  return s;
}

void FreeObject(GdiObject* object) { Table().erase(object); }

}  // namespace

Surface BitmapObject::Pixels() const {
  Surface s;
  if (bits.empty()) return s;
  auto* base = const_cast<std::uint32_t*>(bits.data());
  s.width = width;
  s.height = height;
  s.stride = bottomUp ? -static_cast<std::ptrdiff_t>(width) : width;
  s.top = bottomUp ? base + static_cast<std::ptrdiff_t>(height - 1) * width : base;
  return s;
}

GdiObject* RegisterGdiObject(std::unique_ptr<GdiObject> object) {
  GdiObject* raw = object.get();
  Table().emplace(raw, std::move(object));
  return raw;
}

bool IsLiveGdiObject(const GdiObject* object) {
  return object != nullptr && Table().count(object) != 0;
}

void ReleaseSelectedObject(GdiObject* object) {
  if (!IsLiveGdiObject(object)) return;
  if (object->selectedCount > 0) --object->selectedCount;
  if (object->selectedCount == 0 && object->deletePending) FreeObject(object);
}

BitmapObject* NewBitmap(int width, int height, int bitsPixel) {
  if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > (1LL << 28))
    return nullptr;
  auto bitmap = std::make_unique<BitmapObject>();
  bitmap->width = width;
  bitmap->height = height;
  bitmap->bitsPixel = bitsPixel;
  try {
    bitmap->bits.assign(static_cast<size_t>(width) * height, 0);
  } catch (const std::bad_alloc&) {
    return nullptr;  // as Windows, a bitmap that cannot be made is a null handle
  }
  return AdoptGdiObject(std::move(bitmap));
}

COLORREF BrushColor(const BrushObject& brush) {
  return brush.sysColorIndex >= 0 ? GetSysColor(brush.sysColorIndex) : brush.log.lbColor;
}

HGDIOBJ GetStockObject(int index) {
  static const std::vector<HGDIOBJ> stock = MakeStockObjects();
  if (index < 0 || index >= static_cast<int>(stock.size())) return nullptr;
  return stock[index];
}

BOOL DeleteObject(HGDIOBJ object) {
  if (!IsLiveGdiObject(object)) return FALSE;
  if (object->stock) return TRUE;  // stock objects are never freed
  if (object->selectedCount > 0) {
    object->deletePending = true;
    return TRUE;
  }
  FreeObject(object);
  return TRUE;
}

DWORD GetObjectType(HGDIOBJ object) {
  if (IsLiveGdiObject(object)) return object->type;
  DeviceContext* dc = LiveDc(reinterpret_cast<HDC>(object));
  if (dc) return dc->kind == DeviceContext::Kind::Memory ? OBJ_MEMDC : OBJ_DC;
  return 0;
}

namespace {

int GetBitmapObject(BitmapObject* b, int size, void* out) {
  BITMAP bm;
  bm.bmWidth = b->width;
  bm.bmHeight = b->height;
  bm.bmBitsPixel = static_cast<WORD>(b->dibSection ? b->sectionBits : b->bitsPixel);
  bm.bmWidthBytes = b->dibSection ? static_cast<LONG>(DibRowBytes(b->width, b->sectionBits))
                    : b->bitsPixel == 1 ? ((b->width + 15) / 16) * 2 : b->width * 4;
  if (b->dibSection) bm.bmBits = b->Packed() ? static_cast<void*>(b->rows.data()) : b->bits.data();
  if (b->dibSection && size >= static_cast<int>(sizeof(DIBSECTION))) {
    DIBSECTION ds;
    ds.dsBm = bm;
    ds.dsBmih.biWidth = b->width;
    ds.dsBmih.biHeight = b->bottomUp ? b->height : -b->height;
    ds.dsBmih.biBitCount = static_cast<WORD>(b->sectionBits);
    ds.dsBmih.biClrUsed = static_cast<DWORD>(b->colorTable.size());
    if (b->masks[0] | b->masks[1] | b->masks[2]) {
      ds.dsBmih.biCompression = BI_BITFIELDS;
      std::copy(std::begin(b->masks), std::end(b->masks), ds.dsBitfields);
    }
    ds.dsBmih.biSizeImage = static_cast<DWORD>(DibRowBytes(b->width, b->sectionBits) * b->height);
    std::memcpy(out, &ds, sizeof ds);
    return sizeof ds;
  }
  if (size < static_cast<int>(sizeof bm)) return 0;
  std::memcpy(out, &bm, sizeof bm);
  return sizeof bm;
}

template <class T>
int CopyOut(const T& value, int size, void* out) {
  if (!out) return sizeof value;
  if (size < static_cast<int>(sizeof value)) return 0;
  std::memcpy(out, &value, sizeof value);
  return sizeof value;
}

}  // namespace

int GetObject(HGDIOBJ object, int size, void* out) {
  if (!IsLiveGdiObject(object)) return 0;
  switch (object->type) {
    case OBJ_PEN: return CopyOut(static_cast<PenObject*>(object)->log, size, out);
    case OBJ_BRUSH: {
      LOGBRUSH log = static_cast<BrushObject*>(object)->log;
      log.lbColor = BrushColor(*static_cast<BrushObject*>(object));
      return CopyOut(log, size, out);
    }
    case OBJ_FONT: return CopyOut(static_cast<FontObject*>(object)->log, size, out);
    case OBJ_PAL: {
      WORD count = static_cast<WORD>(static_cast<PaletteObject*>(object)->entries.size());
      return CopyOut(count, size, out);
    }
    case OBJ_BITMAP:
      if (!out) return sizeof(BITMAP);
      return GetBitmapObject(static_cast<BitmapObject*>(object), size, out);
  }
  return 0;
}

HPEN CreatePen(int style, int width, COLORREF colour) {
  LOGPEN log;
  log.lopnStyle = static_cast<UINT>(style);
  log.lopnWidth.x = width;
  log.lopnColor = colour;
  return CreatePenIndirect(&log);
}

HPEN CreatePenIndirect(const LOGPEN* log) {
  if (!log) return nullptr;
  auto pen = std::make_unique<PenObject>();
  pen->log = *log;
  pen->log.lopnStyle &= 0x0F;
  if (pen->log.lopnWidth.x < 1) pen->log.lopnWidth.x = 1;
  // Styled lines are one pixel wide; wider ones are drawn solid, as Windows does.
  if (pen->log.lopnWidth.x > 1 && pen->log.lopnStyle >= PS_DASH && pen->log.lopnStyle <= PS_DASHDOTDOT)
    pen->log.lopnStyle = PS_SOLID;
  return AdoptGdiObject(std::move(pen));
}

HBRUSH CreateSolidBrush(COLORREF colour) {
  LOGBRUSH log;
  log.lbColor = colour;
  return CreateBrushIndirect(&log);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF colour) {
  LOGBRUSH log;
  log.lbStyle = BS_HATCHED;
  log.lbColor = colour;
  log.lbHatch = static_cast<ULONG_PTR>(hatch);
  return CreateBrushIndirect(&log);
}

HBRUSH CreatePatternBrush(HBITMAP pattern) {
  BitmapObject* source = LiveBitmap(pattern);
  if (!source) return nullptr;
  auto brush = std::make_unique<BrushObject>();
  brush->log.lbStyle = BS_PATTERN;
  // The brush keeps its own copy, so the bitmap may be deleted afterwards.
  brush->pattern = std::make_shared<BitmapObject>();
  brush->pattern->width = source->width;
  brush->pattern->height = source->height;
  brush->pattern->bitsPixel = source->bitsPixel;
  brush->pattern->bottomUp = source->bottomUp;
  source->ReadPixels();
  brush->pattern->bits = source->bits;
  return AdoptGdiObject(std::move(brush));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* log) {
  if (!log) return nullptr;
  if (log->lbStyle == BS_PATTERN) return CreatePatternBrush(reinterpret_cast<HBITMAP>(log->lbHatch));
  if (log->lbStyle != BS_SOLID && log->lbStyle != BS_NULL && log->lbStyle != BS_HATCHED)
    return nullptr;
  auto brush = std::make_unique<BrushObject>();
  brush->log = *log;
  if (brush->log.lbStyle == BS_HATCHED && brush->log.lbHatch > HS_DIAGCROSS) return nullptr;
  return AdoptGdiObject(std::move(brush));
}

HBRUSH SystemColorBrush(int index) {
  auto brush = std::make_unique<BrushObject>();
  brush->sysColorIndex = index;
  return Stock(std::move(brush));
}

HPALETTE CreatePalette(const LOGPALETTE* log) {
  if (!log || log->palNumEntries == 0) return nullptr;
  auto palette = std::make_unique<PaletteObject>();
  palette->entries.assign(log->palPalEntry, log->palPalEntry + log->palNumEntries);
  return AdoptGdiObject(std::move(palette));
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* out) {
  auto* p = LiveGdiObject<PaletteObject>(palette, OBJ_PAL);
  if (!p) return 0;
  if (!out) return static_cast<UINT>(p->entries.size());
  UINT n = 0;
  for (; n < count && start + n < p->entries.size(); ++n) out[n] = p->entries[start + n];
  return n;
}

UINT GetSystemPaletteEntries(HDC, UINT, UINT, PALETTEENTRY*) { return 0; }

COLORREF GetNearestColor(HDC, COLORREF colour) { return colour & 0xFFFFFF; }
