#include "platform/vcl/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/DibRow.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"

QUILLO_DEFINE_CLASS(TBitmap, TGraphic)

namespace {

// A memory context with a bitmap selected, for the life of the object.
class SelectedBitmap {
public:
  explicit SelectedBitmap(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) { old_ = SelectObject(dc_, bitmap); }
  ~SelectedBitmap() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  SelectedBitmap(const SelectedBitmap&) = delete;
  SelectedBitmap& operator=(const SelectedBitmap&) = delete;
  HDC dc() const { return dc_; }

private:
  HDC dc_;
  HGDIOBJ old_;
};

constexpr DWORD kMasks565[3] = {0xF800, 0x07E0, 0x001F};

int BitsOf(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit: case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
  }
}

// A new bitmap of the format, bottom-up as the framework makes its DIBs.
HBITMAP MakeBitmap(int width, int height, TPixelFormat format, bool monoDevice, const std::vector<RGBQUAD>& table) {
  if (monoDevice) return CreateBitmap(width, height, 1, 1, nullptr);
  if (format == pfDevice) return CreateCompatibleBitmap(nullptr, width, height);
  std::vector<std::uint8_t> buffer(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  BITMAPINFOHEADER header;
  header.biWidth = width;
  header.biHeight = height;
  header.biBitCount = static_cast<WORD>(BitsOf(format));
  header.biClrUsed = static_cast<DWORD>(table.size());
  if (format == pf16bit) header.biCompression = BI_BITFIELDS;
  std::memcpy(buffer.data(), &header, sizeof header);
  if (format == pf16bit) std::memcpy(buffer.data() + sizeof header, kMasks565, sizeof kMasks565);
  else if (!table.empty()) std::memcpy(buffer.data() + sizeof header, table.data(), table.size() * sizeof(RGBQUAD));
  void* bits = nullptr;
  return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(buffer.data()), DIB_RGB_COLORS, &bits, nullptr, 0);
}

HPALETTE PaletteFromTable(const std::vector<RGBQUAD>& table) {
  if (table.empty()) return nullptr;
  std::vector<std::uint8_t> buffer(sizeof(LOGPALETTE) + table.size() * sizeof(PALETTEENTRY));
  auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
  log->palVersion = 0x300;
  log->palNumEntries = static_cast<WORD>(table.size());
  for (size_t i = 0; i < table.size(); ++i)
    log->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
  return CreatePalette(log);
}

std::vector<RGBQUAD> TableFromPalette(HPALETTE palette) {
  const UINT count = GetPaletteEntries(palette, 0, 0, nullptr);
  std::vector<PALETTEENTRY> entries(count);
  GetPaletteEntries(palette, 0, count, entries.data());
  std::vector<RGBQUAD> table;
  for (const PALETTEENTRY& e : entries) table.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
  return table;
}

HPALETTE CopyPalette(HPALETTE palette) { return palette ? PaletteFromTable(TableFromPalette(palette)) : nullptr; }

// The colour table of the indexed DIB selected in dc.
std::vector<RGBQUAD> ColorTableOf(HDC dc) {
  RGBQUAD table[256];
  const UINT count = GetDIBColorTable(dc, 0, 256, table);
  return std::vector<RGBQUAD>(table, table + count);
}

bool SameTable(const std::vector<RGBQUAD>& a, const std::vector<RGBQUAD>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(RGBQUAD)) == 0);
}

bool IsIndexed(TPixelFormat format) { return format == pf1bit || format == pf4bit || format == pf8bit; }

}  // namespace

// Canvas.

void TBitmapCanvas::CreateHandle() {
  // The palette is read from the bitmap before the bitmap is selected here.
  HPALETTE palette = bitmap_->GetPalette();
  HDC dc = CreateCompatibleDC(nullptr);
  if (bitmap_->handle_ != nullptr) oldBitmap_ = SelectObject(dc, bitmap_->handle_);
  if (palette != nullptr) {
    oldPalette_ = SelectPalette(dc, palette, TRUE);
    RealizePalette(dc);
  }
  dc_ = dc;
  SetHandle(dc);
}

void TBitmapCanvas::FreeContext() {
  if (dc_ == nullptr) return;
  SetHandle(nullptr);
  if (oldBitmap_ != nullptr) SelectObject(dc_, oldBitmap_);
  if (oldPalette_ != nullptr) SelectPalette(dc_, oldPalette_, TRUE);
  DeleteDC(dc_);
  dc_ = nullptr;
  oldBitmap_ = nullptr;
  oldPalette_ = nullptr;
}

// Bitmap.

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  canvas_.reset();
  FreeMask();
  if (handle_ != nullptr) DeleteObject(handle_);
  DropPalette();
}

HDC TBitmap::Dc() { return GetCanvas()->GetHandle(); }

TCanvas* TBitmap::GetCanvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TBitmapCanvas>(this);
    canvas_->OnChange = [this](TObject*) { Changed(); };
  }
  return canvas_.get();
}

void TBitmap::Changed() {
  // Drawing may have changed the transparent pixels the mask was made from.
  FreeMask();
  TGraphic::Changed();
}

void TBitmap::FreeContext() {
  if (canvas_) canvas_->FreeContext();
}

void TBitmap::FreeMask() {
  if (mask_ != nullptr) DeleteObject(mask_);
  mask_ = nullptr;
  maskColour_ = clNone;
}

void TBitmap::DropPalette() {
  if (palette_ != nullptr) DeleteObject(palette_);
  palette_ = nullptr;
}

std::vector<RGBQUAD> TBitmap::TableFor(TPixelFormat format) const {
  if (!IsIndexed(format)) return {};
  if (format == pf8bit && palette_ != nullptr) {
    std::vector<RGBQUAD> table = TableFromPalette(palette_);
    if (table.size() > 256) table.resize(256);
    if (!table.empty()) return table;
  }
  return DefaultDibColorTable(BitsOf(format));
}

void TBitmap::NewImage(int width, int height, TPixelFormat format, bool monoDevice, std::vector<RGBQUAD> table) {
  HBITMAP fresh = nullptr;
  if (width > 0 && height > 0) {
    fresh = MakeBitmap(width, height, format, monoDevice, table);
    if (fresh == nullptr) throw EOutOfMemory(VclText::OutOfResources);
    SelectedBitmap target(fresh);
    HBRUSH brush = CreateSolidBrush(ColorToRGB(canvas_ ? canvas_->GetBrush()->GetColor() : clWhite));
    const RECT all{0, 0, width, height};
    FillRect(target.dc(), &all, brush);
    DeleteObject(brush);
    if (handle_ != nullptr)
      BitBlt(target.dc(), 0, 0, std::min(width, width_), std::min(height, height_), Dc(), 0, 0, SRCCOPY);
  }
  FreeContext();
  FreeMask();
  if (handle_ != nullptr) DeleteObject(handle_);
  handle_ = fresh;
  // A size with one side 0 is kept without pixels, so that setting Width and then Height
  // of a new bitmap gives it both.
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  format_ = format;
  monoDevice_ = monoDevice;
  // A palette that was set stays; one made from the old colour table is made again.
  if (IsIndexed(format) && palette_ != nullptr && !SameTable(table, TableFromPalette(palette_))) DropPalette();
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  if (width == 0 || height == 0) {
    NewImage(width, height, format_, monoDevice_, {});
  } else {
    std::vector<RGBQUAD> table = handle_ && IsIndexed(format_) ? ColorTableOf(Dc()) : TableFor(format_);
    NewImage(width, height, format_, monoDevice_, std::move(table));
  }
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pfCustom) throw EInvalidGraphic(VclText::InvalidBitmap);
  if (format == format_ && !monoDevice_) return;
  NewImage(width_, height_, format, false, TableFor(format));
  Changed();
}

void TBitmap::SetHandleType(TBitmapHandleType type) {
  if (type == GetHandleType()) return;
  if (type == bmDDB) {
    const bool mono = format_ == pf1bit;
    NewImage(width_, height_, pfDevice, mono, {});
  } else {
    const TPixelFormat format = monoDevice_ ? pf1bit : pf32bit;
    NewImage(width_, height_, format, false, TableFor(format));
  }
  Changed();
}

bool TBitmap::GetMonochrome() const { return monoDevice_ || format_ == pf1bit; }

void TBitmap::SetMonochrome(bool monochrome) {
  if (monochrome == GetMonochrome()) return;
  if (monochrome && GetHandleType() == bmDIB) NewImage(width_, height_, pf1bit, false, TableFor(pf1bit));
  else NewImage(width_, height_, pfDevice, monochrome, {});
  Changed();
}

HBITMAP TBitmap::GetHandle() {
  // A bitmap is selected in one context at a time: the caller may select it in its own.
  FreeContext();
  return handle_;
}

void TBitmap::TakeBitmap(HBITMAP bitmap) {
  FreeContext();
  FreeMask();
  if (handle_ != nullptr && handle_ != bitmap) DeleteObject(handle_);
  DropPalette();
  handle_ = bitmap;
  width_ = height_ = 0;
  format_ = pfDevice;
  monoDevice_ = false;
  DIBSECTION ds;
  const int size = bitmap ? GetObject(bitmap, sizeof ds, &ds) : 0;
  if (size == 0) {
    handle_ = nullptr;
    return;
  }
  width_ = ds.dsBm.bmWidth;
  height_ = ds.dsBm.bmHeight;
  if (size == static_cast<int>(sizeof ds)) {
    switch (ds.dsBmih.biBitCount) {
      case 1: format_ = pf1bit; break;
      case 4: format_ = pf4bit; break;
      case 8: format_ = pf8bit; break;
      case 16: format_ = ds.dsBitfields[1] == kMasks565[1] ? pf16bit : pf15bit; break;
      case 24: format_ = pf24bit; break;
      default: format_ = pf32bit;
    }
  } else {
    monoDevice_ = ds.dsBm.bmBitsPixel == 1;
  }
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == handle_) return;
  TakeBitmap(bitmap);
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeContext();
  FreeMask();
  HBITMAP handle = handle_;
  handle_ = nullptr;
  width_ = height_ = 0;
  Changed();
  return handle;
}

HPALETTE TBitmap::GetPalette() const {
  if (palette_ == nullptr && handle_ != nullptr && IsIndexed(format_)) {
    if (canvas_ && canvas_->HandleAllocated()) {
      palette_ = PaletteFromTable(ColorTableOf(canvas_->GetHandle()));
    } else {
      SelectedBitmap selected(handle_);
      palette_ = PaletteFromTable(ColorTableOf(selected.dc()));
    }
  }
  return palette_;
}

void TBitmap::SetPalette(HPALETTE palette) {
  if (palette == palette_) return;
  if (palette != nullptr && handle_ != nullptr && IsIndexed(format_)) {
    std::vector<RGBQUAD> table = TableFromPalette(palette);
    SetDIBColorTable(Dc(), 0, static_cast<UINT>(table.size()), table.data());
  }
  // The context selects the new palette when it is next made.
  FreeContext();
  DropPalette();
  palette_ = palette;
  Changed();
}

HPALETTE TBitmap::ReleasePalette() {
  HPALETTE palette = GetPalette();
  FreeContext();
  palette_ = nullptr;
  return palette;
}

TColor TBitmap::GetTransparentColor() const {
  if (transparentMode_ == tmFixed) return transparentColour_;
  if (Empty()) return clDefault;
  if (GetMonochrome()) return clWhite;
  const TColor corner = const_cast<TBitmap*>(this)->GetCanvas()->GetPixel(0, height_ - 1);
  return corner | 0x02000000;
}

void TBitmap::SetTransparentColor(TColor colour) {
  if (colour == transparentColour_ && (colour == clDefault) == (transparentMode_ == tmAuto)) return;
  transparentMode_ = colour == clDefault ? tmAuto : tmFixed;
  transparentColour_ = colour;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  if (mode == tmAuto) SetTransparentColor(clDefault);
  else SetTransparentColor(GetTransparentColor());
}

HBITMAP TBitmap::GetMaskHandle() {
  if (Empty()) return nullptr;
  const TColor colour = GetTransparentColor();
  if (mask_ != nullptr && maskColour_ == colour) return mask_;
  FreeMask();
  HBITMAP mask = CreateBitmap(width_, height_, 1, 1, nullptr);
  {
    SelectedBitmap target(mask);
    HDC source = Dc();
    // Pixels of the source's background colour come out white in a monochrome copy.
    const COLORREF oldBack = SetBkColor(source, ColorToRGB(colour));
    BitBlt(target.dc(), 0, 0, width_, height_, source, 0, 0, SRCCOPY);
    SetBkColor(source, oldBack);
  }
  mask_ = mask;
  maskColour_ = colour;
  return mask_;
}

HBITMAP TBitmap::ReleaseMaskHandle() {
  HBITMAP mask = GetMaskHandle();
  mask_ = nullptr;
  maskColour_ = clNone;
  return mask;
}

void TBitmap::Mask(TColor transparentColour) {
  if (Empty()) return;
  SetTransparentColor(transparentColour);
  HBITMAP mask = GetMaskHandle();
  mask_ = nullptr;
  // The picture becomes its own mask.
  FreeContext();
  if (handle_ != nullptr) DeleteObject(handle_);
  handle_ = nullptr;
  TakeBitmap(mask);
  Changed();
}

void* TBitmap::ScanLine(int row) {
  if (Empty() || row < 0 || row >= height_) throw EInvalidOperation(VclText::ScanLineOutOfRange);
  if (GetHandleType() == bmDDB) {
    const TPixelFormat format = monoDevice_ ? pf1bit : pf32bit;
    NewImage(width_, height_, format, false, TableFor(format));
  }
  // Rows written through the pointer are no longer what the mask was made from.
  FreeMask();
  GdiFlush();
  DIBSECTION ds;
  GetObject(handle_, sizeof ds, &ds);
  auto* base = static_cast<std::uint8_t*>(ds.dsBm.bmBits);
  const int memoryRow = ds.dsBmih.biHeight > 0 ? height_ - 1 - row : row;
  return base + static_cast<std::ptrdiff_t>(memoryRow) * ds.dsBm.bmWidthBytes;
}

void TBitmap::Dormant() {
  FreeContext();
  FreeMask();
}

void TBitmap::Assign(const TPersistent* source) {
  if (source == this) return;
  if (source == nullptr) {
    NewImage(0, 0, pfDevice, false, {});
    DropPalette();
    Changed();
    return;
  }
  const auto* bitmap = dynamic_cast<const TBitmap*>(source);
  if (bitmap == nullptr) return TGraphic::Assign(source);
  DropPalette();
  palette_ = CopyPalette(bitmap->palette_);
  TBitmap* from = const_cast<TBitmap*>(bitmap);
  std::vector<RGBQUAD> table = from->handle_ && IsIndexed(from->format_) ? ColorTableOf(from->Dc()) : std::vector<RGBQUAD>{};
  // Starting from nothing, the new picture is the source's pixels and no others.
  FreeContext();
  FreeMask();
  if (handle_ != nullptr) DeleteObject(handle_);
  handle_ = nullptr;
  width_ = height_ = 0;
  if (!bitmap->Empty()) {
    NewImage(bitmap->width_, bitmap->height_, bitmap->format_, bitmap->monoDevice_, table);
    if (bitmap->GetHandleType() == bmDIB) {
      // Rows are copied as they are, so indexes survive even where two entries are equal.
      GdiFlush();
      DIBSECTION source, target;
      GetObject(bitmap->handle_, sizeof source, &source);
      GetObject(handle_, sizeof target, &target);
      if ((source.dsBmih.biHeight > 0) == (target.dsBmih.biHeight > 0) && source.dsBm.bmWidthBytes == target.dsBm.bmWidthBytes)
        std::memcpy(target.dsBm.bmBits, source.dsBm.bmBits, static_cast<size_t>(target.dsBm.bmWidthBytes) * height_);
      else
        BitBlt(Dc(), 0, 0, width_, height_, from->Dc(), 0, 0, SRCCOPY);
    } else {
      BitBlt(Dc(), 0, 0, width_, height_, from->Dc(), 0, 0, SRCCOPY);
    }
  } else {
    format_ = bitmap->format_;
    monoDevice_ = bitmap->monoDevice_;
  }
  transparentColour_ = bitmap->transparentColour_;
  transparentMode_ = bitmap->transparentMode_;
  TGraphic::SetTransparent(bitmap->GetTransparent());
  Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
  HDC source = GetCanvas()->GetHandle();
  HDC target = canvas->GetHandle();
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (!GetTransparent()) {
    StretchBlt(target, rect.left, rect.top, w, h, source, 0, 0, width_, height_, canvas->GetCopyMode());
    return;
  }
  // Transparent: target ^ picture, cleared where opaque by the mask, ^ picture again leaves
  // the target under transparent pixels and the picture elsewhere.
  SelectedBitmap mask(GetMaskHandle());
  StretchBlt(target, rect.left, rect.top, w, h, source, 0, 0, width_, height_, SRCINVERT);
  const COLORREF oldText = SetTextColor(target, 0), oldBack = SetBkColor(target, 0xFFFFFF);
  StretchBlt(target, rect.left, rect.top, w, h, mask.dc(), 0, 0, width_, height_, SRCAND);
  SetTextColor(target, oldText);
  SetBkColor(target, oldBack);
  StretchBlt(target, rect.left, rect.top, w, h, source, 0, 0, width_, height_, SRCINVERT);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const AnsiString& name) {
  HRSRC resource = FindResource(instance, name.c_str(), RT_BITMAP);
  if (resource == nullptr) throw EResNotFound(Format(VclText::ResNotFound, name.c_str()));
  TMemoryStream stream;
  stream.Write(LockResource(LoadResource(instance, resource)), static_cast<int>(SizeofResource(instance, resource)));
  stream.SetPosition(0);
  LoadFromStream(&stream);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  HRSRC resource = FindResource(instance, MAKEINTRESOURCE(id), RT_BITMAP);
  if (resource == nullptr) throw EResNotFound(Format(VclText::ResNotFound, IntToStr(id).c_str()));
  TMemoryStream stream;
  stream.Write(LockResource(LoadResource(instance, resource)), static_cast<int>(SizeofResource(instance, resource)));
  stream.SetPosition(0);
  LoadFromStream(&stream);
}
