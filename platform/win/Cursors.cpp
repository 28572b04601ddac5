// Cursors and icons: the standard shapes the host shows, and images read from .cur and
// .ico resources, drawn with their masks.

#include <cstring>
#include <map>
#include <memory>

#include "platform/win/Desktop.h"
#include "platform/win/Window.h"

struct CursorObject {
  CursorShape shape = CursorShape::Arrow;
  int width = 0;
  int height = 0;
  POINT hotspot;
  std::vector<std::uint32_t> color;  // 0x00RRGGBB
  std::vector<std::uint8_t> mask;    // 1 where the screen shows through
  bool shared = false;                // standard and resource cursors are never freed
};

namespace {

struct CursorState {
  std::map<std::uintptr_t, std::unique_ptr<CursorObject>> standard;
  std::map<const EmbeddedResource*, std::unique_ptr<CursorObject>> loaded;
  CursorShape shown = CursorShape::Arrow;
  int showCount = 0;
};

CursorState& State() {
  static CursorState state;
  return state;
}

CursorShape ShapeOf(std::uintptr_t id) {
  switch (id) {
    case 32513: return CursorShape::IBeam;
    case 32514: return CursorShape::Wait;
    case 32515: return CursorShape::Cross;
    case 32516: return CursorShape::UpArrow;
    case 32642: return CursorShape::SizeNWSE;
    case 32643: return CursorShape::SizeNESW;
    case 32644: return CursorShape::SizeWE;
    case 32645: return CursorShape::SizeNS;
    case 32646: return CursorShape::SizeAll;
    case 32648: return CursorShape::No;
    case 32649: return CursorShape::Hand;
    case 32650: return CursorShape::AppStarting;
    case 32651: return CursorShape::Help;
  }
  return CursorShape::Arrow;
}

std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}
std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// Reads the first image of a .cur or .ico file (a DIB with its colour and mask halves).
std::unique_ptr<CursorObject> ReadCursorFile(const unsigned char* data, size_t size) {
  if (size < 6 + 16 || Le16(data) != 0 || (Le16(data + 2) != 1 && Le16(data + 2) != 2) || Le16(data + 4) == 0)
    return nullptr;
  const unsigned char* entry = data + 6;
  std::uint32_t bytes = Le32(entry + 8), offset = Le32(entry + 12);
  if (offset >= size || bytes > size - offset || bytes < 40) return nullptr;
  const unsigned char* dib = data + offset;
  std::uint32_t headerSize = Le32(dib);
  LONG w = static_cast<LONG>(Le32(dib + 4)), h2 = static_cast<LONG>(Le32(dib + 8));
  WORD bits = Le16(dib + 14);
  LONG h = h2 / 2;
  if (headerSize < 40 || headerSize > bytes || w <= 0 || h <= 0 || w > 256 || h > 256) return nullptr;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return nullptr;
  size_t table = bits <= 8 ? (static_cast<size_t>(1) << bits) * 4 : 0;
  size_t colorStride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4, maskStride = ((w + 31) / 32) * 4;
  if (headerSize + table + (colorStride + maskStride) * h > bytes) return nullptr;
  std::vector<std::uint8_t> info(headerSize + table + 8, 0);
  std::memcpy(info.data(), dib, headerSize + table);
  auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
  bi->bmiHeader.biHeight = h;
  bi->bmiHeader.biCompression = BI_RGB;
  auto cursor = std::make_unique<CursorObject>();
  cursor->width = w;
  cursor->height = h;
  cursor->hotspot = Le16(data + 2) == 2 ? POINT{Le16(entry + 4), Le16(entry + 6)} : POINT{w / 2, h / 2};
  cursor->color.assign(static_cast<size_t>(w) * h, 0);
  cursor->mask.assign(static_cast<size_t>(w) * h, 0);
  HBITMAP bm = CreateCompatibleBitmap(nullptr, w, h);
  SetDIBits(nullptr, bm, 0, static_cast<UINT>(h), dib + headerSize + table, bi, DIB_RGB_COLORS);
  Surface s = bm->Pixels();
  const unsigned char* maskBits = dib + headerSize + table + colorStride * h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      cursor->color[static_cast<size_t>(y) * w + x] = s.Row(y)[x];
      const unsigned char* row = maskBits + maskStride * (h - 1 - y);  // bottom-up
      cursor->mask[static_cast<size_t>(y) * w + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
  DeleteObject(bm);
  cursor->shared = true;
  return cursor;
}

HCURSOR LoadFromResources(HINSTANCE instance, LPCSTR name, LPCSTR type) {
  HRSRC r = FindResource(instance, name, type);
  if (!r) return nullptr;
  auto& loaded = State().loaded;
  auto it = loaded.find(r);
  if (it != loaded.end()) return it->second.get();
  auto cursor = ReadCursorFile(r->data, r->size);
  if (!cursor) return nullptr;
  HCURSOR raw = cursor.get();
  loaded.emplace(r, std::move(cursor));
  return raw;
}

}  // namespace

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) {
  if (instance || !IS_INTRESOURCE(name)) return LoadFromResources(instance, name, RT_GROUP_CURSOR);
  auto id = reinterpret_cast<std::uintptr_t>(name);
  auto& standard = State().standard;
  auto it = standard.find(id);
  if (it != standard.end()) return it->second.get();
  auto cursor = std::make_unique<CursorObject>();
  cursor->shape = ShapeOf(id);
  cursor->shared = true;
  HCURSOR raw = cursor.get();
  standard.emplace(id, std::move(cursor));
  return raw;
}

HICON LoadIcon(HINSTANCE instance, LPCSTR name) {
  if (instance || !IS_INTRESOURCE(name)) return LoadFromResources(instance, name, RT_GROUP_ICON);
  return LoadCursor(nullptr, IDC_ARROW);
}

HCURSOR SetCursor(HCURSOR cursor) {
  EnsureDesktop();
  WindowManager& wm = Wm();
  HCURSOR old = wm.cursor;
  wm.cursor = cursor;
  CursorShape shape = cursor ? cursor->shape : CursorShape::Hidden;
  if (State().showCount < 0) shape = CursorShape::Hidden;
  if (shape != State().shown) {
    State().shown = shape;
    wm.host->SetCursorShape(shape);
  }
  return old;
}

HCURSOR GetCursor() { return Wm().cursor; }

int ShowCursor(BOOL show) {
  State().showCount += show ? 1 : -1;
  SetCursor(Wm().cursor);
  return State().showCount;
}

BOOL DestroyCursor(HCURSOR) { return TRUE; }  // shared cursors are never freed
BOOL DestroyIcon(HICON) { return TRUE; }

CursorShape CurrentCursorShape() { return State().shown; }

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT, HBRUSH, UINT flags) {
  if (!icon || icon->color.empty()) return FALSE;
  if (width == 0) width = icon->width;
  if (height == 0) height = icon->height;
  for (int ty = 0; ty < height; ++ty)
    for (int tx = 0; tx < width; ++tx) {
      int sx = tx * icon->width / width, sy = ty * icon->height / height;
      size_t i = static_cast<size_t>(sy) * icon->width + sx;
      COLORREF under = GetPixel(dc, x + tx, y + ty);
      if (under == CLR_INVALID) continue;
      std::uint32_t p = PixelFromColor(under);
      if (flags & DI_MASK) p = icon->mask[i] ? p : 0;
      if (flags & DI_IMAGE) p ^= icon->color[i];
      SetPixelV(dc, x + tx, y + ty, ColorFromPixel(p));
    }
  return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
  return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

void RestartDesktop(const DesktopConfig& config, const std::string& host) {
  ResetDesktop(config, host);
  State().shown = CursorShape::Arrow;
  State().showCount = 0;
}

const Surface& DesktopSurface() {
  EnsureDesktop();
  return Wm().surface;
}

Host& DesktopHost() {
  EnsureDesktop();
  return *Wm().host;
}

void FlushDesktop() {
  RedrawWindow(nullptr, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  Wm().presentPending = true;
  PresentDesktop();
}
