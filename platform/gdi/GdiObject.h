#pragma once
// The layer's graphics objects behind the handles. Every object lives in one table owned by
// the layer; DeleteObject removes it there, and a handle not in the table is refused.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Region.h"
#include "platform/host/Surface.h"
#include "platform/rtl/HandleStorage.h"

struct GdiObject : HandleStorage {
  explicit GdiObject(DWORD type) : type(type) {}
  virtual ~GdiObject() = default;
  DWORD type;
  bool stock = false;
  int selectedCount = 0;      // DCs that hold it selected
  bool deletePending = false;  // deleted while selected: freed when released
};

struct PenObject : GdiObject {
  PenObject() : GdiObject(OBJ_PEN) {}
  LOGPEN log;
};

struct BitmapObject : GdiObject {
  BitmapObject() : GdiObject(OBJ_BITMAP) {}
  ~BitmapObject() override;
  // The 32-bit pixels as they are; ReadPixels first takes in what the program wrote into a
  // packed section's rows, WritePixels also marks the pixels as ahead of those rows.
  Surface Pixels() const;
  Surface ReadPixels();
  Surface WritePixels();
  bool Packed() const { return dibSection && sectionBits != 32; }
  int width = 0;
  int height = 0;
  int bitsPixel = 32;  // 1 for monochrome bitmaps, whose pixels are 0 or 0xFFFFFF
  bool dibSection = false;
  bool bottomUp = false;  // a DIB section whose first row in memory is the bottom one
  std::vector<std::uint32_t> bits;

  // DIB sections of 1, 4, 8, 16 and 24 bits keep the rows the program addresses in the
  // DIB's own layout, with their colour table (or 16-bit masks). The 32-bit pixels above are
  // GDI's working copy: made again from the rows whenever these changed (compared with the
  // rows as last synchronised); drawing is written back into the rows, and the pixels made
  // again from them in the table's colours, by GdiFlush and before the next GDI call reads
  // or draws on the section.
  int sectionBits = 32;
  std::vector<std::uint8_t> rows;
  std::vector<RGBQUAD> colorTable;
  DWORD masks[3] = {0, 0, 0};
  std::vector<std::uint8_t> syncedRows;
  bool pixelsAhead = false;
  // Rebuilds the working copy from the rows; writes the working copy into the rows.
  void UnpackSection();
  void PackSection();
};

struct BrushObject : GdiObject {
  BrushObject() : GdiObject(OBJ_BRUSH) {}
  LOGBRUSH log;
  std::shared_ptr<BitmapObject> pattern;  // a copy of the pattern bitmap (BS_PATTERN)
  int sysColorIndex = -1;                 // a system colour brush follows its colour
};

struct FontObject : GdiObject {
  FontObject() : GdiObject(OBJ_FONT) {}
  LOGFONT log;
};

struct RegionObject : GdiObject {
  RegionObject() : GdiObject(OBJ_REGION) {}
  Region region;
};

struct PaletteObject : GdiObject {
  PaletteObject() : GdiObject(OBJ_PAL) {}
  std::vector<PALETTEENTRY> entries;
};

// Registers a new object and answers its handle.
template <class T>
T* AdoptGdiObject(std::unique_ptr<T> object);
GdiObject* RegisterGdiObject(std::unique_ptr<GdiObject> object);
template <class T>
T* AdoptGdiObject(std::unique_ptr<T> object) {
  return static_cast<T*>(RegisterGdiObject(std::move(object)));
}
// The object behind a handle, when the handle is live and of the wanted type.
bool IsLiveGdiObject(const GdiObject* object);
template <class T>
T* LiveGdiObject(GdiObject* object, DWORD type) {
  return IsLiveGdiObject(object) && object->type == type ? static_cast<T*>(object) : nullptr;
}
inline PenObject* LivePen(GdiObject* o) { return LiveGdiObject<PenObject>(o, OBJ_PEN); }
inline BrushObject* LiveBrush(GdiObject* o) { return LiveGdiObject<BrushObject>(o, OBJ_BRUSH); }
inline FontObject* LiveFont(GdiObject* o) { return LiveGdiObject<FontObject>(o, OBJ_FONT); }
inline BitmapObject* LiveBitmap(GdiObject* o) { return LiveGdiObject<BitmapObject>(o, OBJ_BITMAP); }
inline RegionObject* LiveRegion(GdiObject* o) { return LiveGdiObject<RegionObject>(o, OBJ_REGION); }
// Called when a DC stops holding an object: frees it when its deletion was pending.
void ReleaseSelectedObject(GdiObject* object);
// A bitmap of the given size, zeroed.
BitmapObject* NewBitmap(int width, int height, int bitsPixel);
// A DIB section of 1, 4, 8, 16 or 24 bits with zeroed rows, for a layout already checked.
BitmapObject* NewPackedSection(const BITMAPINFO& info);
// The colour a brush paints, for solid and system-colour brushes.
COLORREF BrushColor(const BrushObject& brush);
