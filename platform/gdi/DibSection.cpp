// DIB sections of the depths other than 32 bits: their rows, colour tables, and the
// synchronisation between those rows and the 32-bit pixels GDI draws on.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/DibFile.h"
#include "platform/gdi/DibRow.h"
#include "platform/rtl/Everlasting.h"

namespace {

// Sections whose 32-bit pixels hold drawing not yet written into their rows.
std::unordered_set<BitmapObject*>& AheadSections() {
  static Everlasting<std::unordered_set<BitmapObject*>> sections;
  return *sections;
}

DibRowFormat FormatOf(const BitmapObject& b) {
  DibRowFormat f;
  f.bits = b.sectionBits;
  f.table = b.colorTable.data();
  f.entries = static_cast<int>(b.colorTable.size());
  std::copy(std::begin(b.masks), std::end(b.masks), f.masks);
  return f;
}

BitmapObject* SelectedSection(HDC handle) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || dc->kind != DeviceContext::Kind::Memory) return nullptr;
  BitmapObject* b = LiveBitmap(dc->state.bitmap);
  return b && b->Packed() && b->sectionBits <= 8 ? b : nullptr;
}

}  // namespace

BitmapObject::~BitmapObject() { AheadSections().erase(this); }

Surface BitmapObject::ReadPixels() {
  if (!Packed()) return Pixels();
  const bool programWrote = rows != syncedRows;
  // 24-bit rows hold every colour as drawn, so drawing waits for GdiFlush unless the program
  // wrote too. Other depths take the last drawing in at once, to show it in their colours.
  const bool lossless = sectionBits == 24;
  if (pixelsAhead && (programWrote || !lossless)) {
    // Only the pixels drawing changed go into the rows, so writes the program made meanwhile
    // stay; then everything comes back as the rows hold it.
    PackSection();
    UnpackSection();
  } else if (programWrote) {
    UnpackSection();
  }
  return Pixels();
}

Surface BitmapObject::WritePixels() {
  Surface s = ReadPixels();
  if (Packed()) {
    pixelsAhead = true;
    AheadSections().insert(this);
  }
  return s;
}

void BitmapObject::UnpackSection() {
  const DibRowFormat format = FormatOf(*this);
  const size_t stride = DibRowBytes(width, sectionBits);
  for (int m = 0; m < height; ++m)
    UnpackDibRow(format, rows.data() + m * stride, width, bits.data() + static_cast<size_t>(m) * width);
  syncedRows = rows;
  pixelsAhead = false;
  AheadSections().erase(this);
}

void BitmapObject::PackSection() {
  const DibRowFormat format = FormatOf(*this);
  DibRowPacker packer(format);
  const size_t stride = DibRowBytes(width, sectionBits);
  std::vector<std::uint32_t> before(width);
  for (int m = 0; m < height; ++m) {
    // Only the pixels drawing changed since the last synchronisation are written.
    UnpackDibRow(format, syncedRows.data() + m * stride, width, before.data());
    packer.Pack(bits.data() + static_cast<size_t>(m) * width, width, rows.data() + m * stride, before.data());
  }
  syncedRows = rows;
  pixelsAhead = false;
  AheadSections().erase(this);
}

// Builds a packed section; the caller has checked the layout.
BitmapObject* NewPackedSection(const BITMAPINFO& info) {
  const BITMAPINFOHEADER& h = info.bmiHeader;
  BitmapObject* b = NewBitmap(h.biWidth, std::abs(h.biHeight), 32);
  if (!b) return nullptr;
  b->dibSection = true;
  b->bottomUp = h.biHeight > 0;
  b->sectionBits = h.biBitCount;
  const auto* table = reinterpret_cast<const BYTE*>(&info) + h.biSize;
  if (h.biBitCount <= 8) {
    const int full = 1 << h.biBitCount;
    const int used = h.biClrUsed > 0 && static_cast<int>(h.biClrUsed) < full ? static_cast<int>(h.biClrUsed) : full;
    b->colorTable.resize(used);
    std::memcpy(b->colorTable.data(), table, used * sizeof(RGBQUAD));
  } else if (h.biCompression == BI_BITFIELDS) {
    std::memcpy(b->masks, table, sizeof b->masks);
  }
  try {
    b->rows.assign(DibRowBytes(b->width, b->sectionBits) * b->height, 0);
  } catch (const std::bad_alloc&) {
    DeleteObject(b);
    return nullptr;
  }
  b->syncedRows = b->rows;
  b->UnpackSection();
  return b;
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* out) {
  BitmapObject* b = SelectedSection(dc);
  if (!b || !out || start >= b->colorTable.size()) return 0;
  count = std::min<UINT>(count, static_cast<UINT>(b->colorTable.size()) - start);
  std::copy_n(b->colorTable.begin() + start, count, out);
  return count;
}

UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colours) {
  BitmapObject* b = SelectedSection(dc);
  if (!b || !colours || start >= b->colorTable.size()) return 0;
  // Drawing done with the old colours keeps its indexes; the pixels then show the new ones.
  b->ReadPixels();
  if (b->pixelsAhead) b->PackSection();
  count = std::min<UINT>(count, static_cast<UINT>(b->colorTable.size()) - start);
  std::copy_n(colours, count, b->colorTable.begin() + start);
  b->UnpackSection();
  return count;
}

void GdiFlush() {
  std::vector<BitmapObject*> ahead(AheadSections().begin(), AheadSections().end());
  for (BitmapObject* b : ahead) b->PackSection();
}
