#include "platform/gdi/MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/rtl/Exceptions.h"
#include "platform/gdi/DibFile.h"
#include "platform/gdi/DibRle.h"
#include "platform/gdi/Raster.h"

namespace {

constexpr int MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5,
              MM_TWIPS = 6, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8;
constexpr size_t kInfoHeaderSize = 40;
constexpr double kMargin = 4096;       // pixels beyond the picture a coordinate may reach
constexpr double kLargestPen = 1024;   // pixels
constexpr double kLargestFont = 1024;  // pixels

// Run-length rows as plain 8-bit rows padded to four bytes, bottom row first.
std::vector<std::uint8_t> UnpackRle(const std::uint8_t* data, size_t size, int width, int height, bool nibbles) {
  std::vector<std::uint8_t> canvas(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  if (nibbles) DecodeRle4(data, size, canvas.data(), width, height);
  else DecodeRle8(data, size, canvas.data(), width, height);
  const size_t stride = DibRowBytes(width, 8);
  std::vector<std::uint8_t> rows(stride * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y)
    std::memcpy(rows.data() + stride * static_cast<size_t>(y), canvas.data() + static_cast<size_t>(width) * static_cast<size_t>(y),
                static_cast<size_t>(width));
  return rows;
}

}  // namespace

void MetafileFault() { throw EInvalidGraphic(kMetafileError); }

std::uint32_t RecordFields::U32(size_t at) const {
  if (at > size_ || size_ - at < 4) MetafileFault();
  return Le32(data_ + at);
}

std::uint16_t RecordFields::U16(size_t at) const {
  if (at > size_ || size_ - at < 2) MetafileFault();
  return Le16(data_ + at);
}

float RecordFields::F32(size_t at) const {
  const std::uint32_t bits = U32(at);
  float value;
  std::memcpy(&value, &bits, sizeof(value));
  return std::isfinite(value) ? value : 0.0f;
}

const std::uint8_t* RecordFields::Bytes(size_t at, size_t n) const {
  if (at > size_ || size_ - at < n) MetafileFault();
  return data_ + at;
}

MetafilePlayer::MetafilePlayer(HDC dc, bool windows, const MetaFrame& frame, const RECT& target)
    : dc_(dc), windows_(windows), frame_(frame), target_(target) {
  saved_ = SaveDC(dc_);
  defaults_[0] = GetCurrentObject(dc_, OBJ_PEN);
  defaults_[1] = GetCurrentObject(dc_, OBJ_BRUSH);
  defaults_[2] = GetCurrentObject(dc_, OBJ_FONT);
  if (windows_) {
    mapping_.windowOrgX = frame.left;
    mapping_.windowOrgY = frame.top;
    mapping_.windowExtX = frame.width;
    mapping_.windowExtY = frame.height;
  }
  IntersectClipRect(dc_, target.left, target.top, target.right, target.bottom);
}

MetafilePlayer::~MetafilePlayer() {
  for (HGDIOBJ object : defaults_)
    if (object != nullptr) SelectObject(dc_, object);
  RestoreDC(dc_, saved_);
  for (HGDIOBJ object : objects_)
    if (object != nullptr) DeleteObject(object);
}

void MetafilePlayer::ScaleWithMapMode(double& sx, double& sy) const {
  const Mapping& m = mapping_;
  const double perMm[] = {0, 0.1, 0.01, 0.254, 0.0254, 25.4 / 1440};
  switch (m.mapMode) {
    case MM_LOMETRIC: case MM_HIMETRIC: case MM_LOENGLISH: case MM_HIENGLISH: case MM_TWIPS:
      sx = frame_.pixelsPerMmX * perMm[m.mapMode - 1];
      sy = -frame_.pixelsPerMmY * perMm[m.mapMode - 1];
      return;
    case MM_ISOTROPIC: case MM_ANISOTROPIC:
      sx = m.viewExtX / m.windowExtX;
      sy = m.viewExtY / m.windowExtY;
      if (m.mapMode == MM_ISOTROPIC) {
        const double least = std::min(std::fabs(sx), std::fabs(sy));
        sx = std::copysign(least, sx);
        sy = std::copysign(least, sy);
      }
      return;
    case MM_TEXT:
    default:
      sx = sy = 1;
  }
}

POINT MetafilePlayer::Map(double x, double y) const {
  const double* w = mapping_.world;
  const double px = x * w[0] + y * w[2] + w[4], py = x * w[1] + y * w[3] + w[5];
  const double targetWidth = target_.right - target_.left, targetHeight = target_.bottom - target_.top;
  double tx, ty;
  if (windows_) {
    tx = (px - mapping_.windowOrgX) * targetWidth / mapping_.windowExtX;
    ty = (py - mapping_.windowOrgY) * targetHeight / mapping_.windowExtY;
  } else {
    double sx, sy;
    ScaleWithMapMode(sx, sy);
    const double dx = (px - mapping_.windowOrgX) * sx + mapping_.viewOrgX;
    const double dy = (py - mapping_.windowOrgY) * sy + mapping_.viewOrgY;
    tx = (dx - frame_.left) * targetWidth / frame_.width;
    ty = (dy - frame_.top) * targetHeight / frame_.height;
  }
  // Wild coordinates are pulled in to a margin around the picture, so that drawing cost stays
  // in proportion to the picture.
  const double low = -kMargin, highX = targetWidth + kMargin, highY = targetHeight + kMargin;
  return POINT{static_cast<LONG>(std::lround(std::clamp(tx, low, highX))) + target_.left,
               static_cast<LONG>(std::lround(std::clamp(ty, low, highY))) + target_.top};
}

double MetafilePlayer::ScaleX() const {
  const POINT a = Map(0, 0), b = Map(1000, 0);
  return std::hypot(double(b.x - a.x), double(b.y - a.y)) / 1000;
}

double MetafilePlayer::ScaleY() const {
  const POINT a = Map(0, 0), b = Map(0, 1000);
  return std::hypot(double(b.x - a.x), double(b.y - a.y)) / 1000;
}

int MetafilePlayer::MapWidth(double width) const {
  if (width <= 0) return 0;
  return std::max(1, static_cast<int>(std::lround(std::min(width * ScaleX(), kLargestPen))));
}

void MetafilePlayer::Store(size_t slot, HGDIOBJ object) {
  if (slot > 0xFFFF) {
    if (object != nullptr) DeleteObject(object);
    MetafileFault();
  }
  if (slot >= objects_.size()) {
    for (size_t hole = objects_.size(); hole < slot; ++hole) freeSlots_.insert(freeSlots_.end(), hole);
    objects_.resize(slot + 1, nullptr);
  }
  if (objects_[slot] != nullptr) DeleteObject(objects_[slot]);
  objects_[slot] = object;
  if (object != nullptr) freeSlots_.erase(slot);
  else freeSlots_.insert(slot);
}

size_t MetafilePlayer::FreeWindowsSlot() {
  return freeSlots_.empty() ? objects_.size() : *freeSlots_.begin();
}

void MetafilePlayer::Select(size_t slot) {
  if (slot & 0x80000000u) {  // a stock object
    const HGDIOBJ stock = GetStockObject(static_cast<int>(slot & 0x7FFFFFFF));
    if (stock != nullptr && GetObjectType(stock) != OBJ_PAL) SelectObject(dc_, stock);
    return;
  }
  if (slot < objects_.size() && objects_[slot] != nullptr && GetObjectType(objects_[slot]) != OBJ_PAL)
    SelectObject(dc_, objects_[slot]);
}

void MetafilePlayer::Delete(size_t slot) {
  if (slot >= objects_.size() || objects_[slot] == nullptr) return;
  const HGDIOBJ object = objects_[slot];
  for (int i = 0; i < 3; ++i)  // never delete what the context holds
    if (GetCurrentObject(dc_, i == 0 ? OBJ_PEN : i == 1 ? OBJ_BRUSH : OBJ_FONT) == object)
      SelectObject(dc_, defaults_[i]);
  DeleteObject(object);
  objects_[slot] = nullptr;
  freeSlots_.insert(slot);
}

HPEN MetafilePlayer::MakePen(std::uint32_t style, double width, COLORREF colour) const {
  const int kind = static_cast<int>(style & 0xF);
  return CreatePen(kind <= PS_INSIDEFRAME ? kind : PS_SOLID, MapWidth(width), colour & 0x00FFFFFF);
}

HBRUSH MetafilePlayer::MakeBrush(std::uint32_t style, COLORREF colour, std::uint32_t hatch) const {
  switch (style) {
    case BS_SOLID: return CreateSolidBrush(colour & 0x00FFFFFF);
    case BS_NULL: {
      LOGBRUSH log;
      log.lbStyle = BS_NULL;
      return CreateBrushIndirect(&log);
    }
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(std::min<std::uint32_t>(hatch, HS_DIAGCROSS)), colour & 0x00FFFFFF);
    default: MetafileFault();
  }
}

HFONT MetafilePlayer::MakeFont(LOGFONT log) const {
  const double height = log.lfHeight * ScaleY();
  log.lfHeight = static_cast<LONG>(std::lround(std::clamp(height, -kLargestFont, kLargestFont)));
  log.lfWidth = static_cast<LONG>(std::lround(std::clamp(log.lfWidth * ScaleX(), -kLargestFont, kLargestFont)));
  log.lfFaceName[LF_FACESIZE - 1] = '\0';
  return CreateFontIndirect(&log);
}

void MetafilePlayer::Shape(std::uint32_t kind, double l, double t, double r, double b, double cw, double ch) {
  const POINT p = Map(l, t), q = Map(r, b);
  const int left = std::min(p.x, q.x), right = std::max(p.x, q.x);
  const int top = std::min(p.y, q.y), bottom = std::max(p.y, q.y);
  if (inPath_) {  // rectangles and ellipses are taken into paths, rounded rectangles are not
    if (kind == 0) return PathAdd({{left, top}, {right, top}, {right, bottom}, {left, bottom}}, false, true);
    if (kind != 1) MetafileFault();
    if (left == right || top == bottom) return;
    const POINT side{right, (top + bottom) / 2};
    return PathAdd(FlattenArc(RECT{left, top, right, bottom}, side, side, AD_COUNTERCLOCKWISE), false, true);
  }
  if (kind == 0) Rectangle(dc_, left, top, right, bottom);
  if (kind == 1) Ellipse(dc_, left, top, right, bottom);
  if (kind == 2)
    RoundRect(dc_, left, top, right, bottom, static_cast<int>(std::lround(std::min(std::fabs(cw * ScaleX()), kMargin))),
              static_cast<int>(std::lround(std::min(std::fabs(ch * ScaleY()), kMargin))));
}

void MetafilePlayer::Points(bool closed, const std::vector<POINT>& points) {
  if (points.empty()) return;
  if (inPath_) return PathAdd(points, false, closed);
  if (closed) Polygon(dc_, points.data(), static_cast<int>(points.size()));
  else Polyline(dc_, points.data(), static_cast<int>(points.size()));
}

void MetafilePlayer::PolyPolygon(const std::vector<POINT>& points, const std::vector<int>& counts) {
  std::vector<std::vector<POINT>> figures;
  size_t at = 0;
  for (int count : counts) {
    figures.emplace_back(points.begin() + static_cast<long>(at), points.begin() + static_cast<long>(at + size_t(count)));
    at += static_cast<size_t>(count);
  }
  if (inPath_) {
    for (const auto& figure : figures) PathAdd(figure, false, true);
    return;
  }
  FillFigures(figures, std::vector<bool>(figures.size(), true), true, true);
}

void MetafilePlayer::DrawDib(const RecordFields& f, size_t bmiAt, size_t bmiSize, size_t bitsAt,
                             size_t bitsSize, double x, double y, double w, double h, int sx, int sy,
                             int sw, int sh, DWORD rop, UINT usage) {
  if (bmiSize < kInfoHeaderSize) MetafileFault();
  BITMAPINFOHEADER header;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = f.I32(bmiAt + 4);
  header.biHeight = f.I32(bmiAt + 8);
  header.biPlanes = 1;
  header.biBitCount = f.U16(bmiAt + 14);
  header.biCompression = f.U32(bmiAt + 16);
  header.biClrUsed = f.U32(bmiAt + 32);
  const std::uint32_t headerSize = f.U32(bmiAt);
  const int bits = header.biBitCount;
  if (headerSize < kInfoHeaderSize || headerSize > bmiSize) MetafileFault();
  if (header.biWidth <= 0 || header.biWidth > 65535 || header.biHeight == 0 ||
      header.biHeight < -65535 || header.biHeight > 65535)
    MetafileFault();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) MetafileFault();
  const bool rle = (header.biCompression == BI_RLE8 && bits == 8) || (header.biCompression == BI_RLE4 && bits == 4);
  if (header.biCompression != BI_RGB && !rle && !(header.biCompression == BI_BITFIELDS && (bits == 16 || bits == 32)))
    MetafileFault();
  if (rle && header.biHeight < 0) MetafileFault();  // run-length data is always bottom-up
  size_t entries = header.biCompression == BI_BITFIELDS ? 3 : 0;
  if (bits <= 8) entries = (header.biClrUsed == 0 || header.biClrUsed > (1u << bits)) ? (size_t(1) << bits) : header.biClrUsed;
  if (header.biCompression == BI_RGB && bits > 8) header.biClrUsed = 0;
  // A table of palette indices holds 16-bit words into the selected palette.
  const bool indexed = usage == DIB_PAL_COLORS;
  if (usage > DIB_PAL_COLORS || (indexed && bits > 8)) MetafileFault();
  const size_t entrySize = indexed ? 2 : 4;
  if (headerSize + entries * entrySize > bmiSize) MetafileFault();
  if (bitsAt == bmiAt) {  // a packed DIB: the bits follow the colour table
    bitsAt = bmiAt + headerSize + entries * entrySize;
    bitsSize = bmiSize - headerSize - entries * entrySize;
  }
  std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + std::max<size_t>(entries, 1) * sizeof(RGBQUAD));
  std::memcpy(info.data(), &header, sizeof(header));
  for (size_t i = 0; i < entries; ++i) {
    RGBQUAD quad;
    if (indexed) {
      const std::uint32_t c = PaletteColour(f.U16(bmiAt + headerSize + 2 * i));
      quad.rgbBlue = std::uint8_t(c), quad.rgbGreen = std::uint8_t(c >> 8), quad.rgbRed = std::uint8_t(c >> 16);
    } else {
      const std::uint8_t* e = f.Bytes(bmiAt + headerSize + 4 * i, 4);
      quad.rgbBlue = e[0], quad.rgbGreen = e[1], quad.rgbRed = e[2];
    }
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER) + i * sizeof(RGBQUAD), &quad, sizeof(quad));
  }
  const std::int64_t rows = std::abs(static_cast<std::int64_t>(header.biHeight));
  const size_t needed = DibRowBytes(header.biWidth, bits) * static_cast<size_t>(rows);
  std::vector<std::uint8_t> unpacked;
  const std::uint8_t* pixels = nullptr;
  if (rle) {
    // The canvas is bounded by what the data could paint, so that a tiny record cannot ask
    // for a huge bitmap.
    const std::uint8_t* data = f.Bytes(bitsAt, bitsSize);
    const size_t pixelCount = static_cast<size_t>(header.biWidth) * static_cast<size_t>(rows);
    if (pixelCount > std::min<size_t>(std::max<size_t>(size_t(1) << 20, bitsSize * 256), size_t(1) << 26)) MetafileFault();
    unpacked = UnpackRle(data, bitsSize, header.biWidth, static_cast<int>(rows), bits == 4);
    header.biCompression = BI_RGB;
    header.biBitCount = 8;  // unpacked to one index a byte
    header.biClrUsed = static_cast<DWORD>(entries);
    std::memcpy(info.data(), &header, sizeof(header));
    pixels = unpacked.data();
  } else {
    if (bitsSize < needed) MetafileFault();
    pixels = f.Bytes(bitsAt, needed);
  }
  if (sx < 0 || sy < 0 || sw <= 0 || sh <= 0 || sx + std::int64_t(sw) > header.biWidth || sy + std::int64_t(sh) > rows)
    return;  // a source outside the bitmap shows nothing
  const POINT p = Map(x, y), q = Map(x + w, y + h);
  BITMAPINFO* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
  StretchDIBits(dc_, p.x, p.y, q.x - p.x, q.y - p.y, sx, sy, sw, sh, pixels, bmi, DIB_RGB_COLORS, rop);
}

void MetafilePlayer::Text(double x, double y, const std::string& text, UINT options, const RECT* clip) {
  const POINT p = Map(x, y);
  RECT mapped{};
  if (clip != nullptr) {
    const POINT a = Map(clip->left, clip->top), b = Map(clip->right, clip->bottom);
    mapped = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  }
  ExtTextOut(dc_, p.x, p.y, options & (ETO_OPAQUE | ETO_CLIPPED), clip != nullptr ? &mapped : nullptr,
             text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

void MetafilePlayer::KeepPalette(size_t slot, const RecordFields& f, size_t countAt, size_t entriesAt) {
  const size_t count = f.U16(countAt);
  const std::uint8_t* entries = f.Bytes(entriesAt, 4 * count);  // red, green, blue, flags
  if (slot > 0xFFFF) MetafileFault();
  if (slot >= paletteColours_.size()) paletteColours_.resize(slot + 1);
  std::vector<std::uint32_t>& colours = paletteColours_[slot];
  colours.clear();
  for (size_t i = 0; i < count; ++i, entries += 4)
    colours.push_back(std::uint32_t(entries[0]) << 16 | std::uint32_t(entries[1]) << 8 | entries[2]);
}

void MetafilePlayer::SelectPaletteSlot(size_t slot) {
  if (slot & 0x80000000u) palette_.clear();  // the stock default palette
  else if (slot < paletteColours_.size() && slot < objects_.size() && objects_[slot] != nullptr &&
           GetObjectType(objects_[slot]) == OBJ_PAL)
    palette_ = paletteColours_[slot];
}

std::uint32_t MetafilePlayer::PaletteColour(size_t index) const {
  // The twenty colours of the default palette.
  static const std::uint32_t kDefault[20] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
      0xC0C0C0, 0xC0DCC0, 0xA6CAF0, 0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF,
      0x00FFFF, 0xFFFFFF};
  if (palette_.empty()) return index < 20 ? kDefault[index] : 0;
  return index < palette_.size() ? palette_[index] : 0;
}
