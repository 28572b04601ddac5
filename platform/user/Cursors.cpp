// Cursors and icons: the standard shapes the host shows, and images read from .cur and
// .ico resources, drawn with their masks.

#include <cstring>
#include <map>
#include <memory>

#include "platform/rtl/Everlasting.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/HandleStorage.h"
#include "platform/user/Desktop.h"
#include "platform/gdi/DibFile.h"
#include "platform/user/DesktopScreen.h"
#include "platform/user/IconImage.h"
#include "platform/user/SystemIcons.h"
#include "platform/user/Window.h"

struct CursorObject : HandleStorage {
  CursorShape shape = CursorShape::Arrow;
  int width = 0;
  int height = 0;
  POINT hotspot;
  IconImage image;  // empty for the standard shapes the host draws
  std::vector<std::uint32_t> argb;  // the image as a host shows a cursor
  bool shared = false;                // standard and resource cursors are never freed
};

namespace {

struct CursorState {
  std::map<std::uintptr_t, std::unique_ptr<CursorObject>> standard;
  std::map<std::uintptr_t, std::unique_ptr<CursorObject>> standardIcons;
  std::map<const EmbeddedResource*, std::unique_ptr<CursorObject>> loaded;
  CursorShape shown = CursorShape::Arrow;
  int showCount = 0;
};

CursorState& State() {
  static Everlasting<CursorState> state;
  return *state;
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

// The image with alpha for a host: opaque where the mask hides the screen, clear where the
// screen shows through unchanged, and black where the screen would be inverted (a host
// cannot invert).
std::vector<std::uint32_t> HostPixels(const IconImage& image) {
  std::vector<std::uint32_t> out(image.colour.size());
  for (size_t i = 0; i < out.size(); ++i) {
    std::uint32_t c = image.colour[i] & 0xFFFFFF;
    if (!image.alpha.empty()) out[i] = (static_cast<std::uint32_t>(image.alpha[i]) << 24) | c;
    else if (!image.mask[i]) out[i] = 0xFF000000 | c;
    else out[i] = c ? 0xFF000000 : 0;
  }
  return out;
}

// Reads a .cur or .ico file through the icon decoder; a cursor file has the icon layout with
// a hotspot in place of each image's planes and depth.
std::unique_ptr<CursorObject> ReadCursorFile(const unsigned char* data, size_t size) {
  if (size < 6 + 16) return nullptr;
  bool cursor = Le16(data + 2) == 2;
  std::vector<std::uint8_t> copy(data, data + size);
  if (cursor) copy[2] = 1;
  IconImage image;
  try {
    image = ReadIconImage(copy.data(), copy.size());
  } catch (const Exception&) {
    return nullptr;
  }
  auto c = std::make_unique<CursorObject>();
  c->width = image.width;
  c->height = image.height;
  c->hotspot = cursor ? POINT{Le16(data + 10), Le16(data + 12)} : POINT{image.width / 2, image.height / 2};
  c->image = std::move(image);
  c->shared = true;
  c->argb = HostPixels(c->image);
  return c;
}

}  // namespace

namespace {

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
  auto id = reinterpret_cast<std::uintptr_t>(name);
  auto& icons = State().standardIcons;
  if (auto it = icons.find(id); it != icons.end()) return it->second.get();
  std::optional<IconImage> image = StandardIconImage(id);
  if (!image) return nullptr;
  auto icon = std::make_unique<CursorObject>();
  icon->width = image->width;
  icon->height = image->height;
  icon->hotspot = POINT{image->width / 2, image->height / 2};
  icon->image = std::move(*image);
  icon->argb = HostPixels(icon->image);
  icon->shared = true;
  HICON raw = icon.get();
  icons.emplace(id, std::move(icon));
  return raw;
}

HCURSOR SetCursor(HCURSOR cursor) {
  EnsureDesktop();
  DesktopScreen& screen = wm::Screen();
  HCURSOR old = screen.Cursor();
  screen.SetCursorHandle(cursor);
  CursorShape shape = cursor ? cursor->shape : CursorShape::Hidden;
  if (State().showCount < 0) shape = CursorShape::Hidden;
  if (shape != CursorShape::Hidden && cursor && !cursor->argb.empty()) {
    State().shown = shape;
    if (old != cursor)
      screen.Display()->SetCursorImage(cursor, cursor->width, cursor->height, cursor->argb.data(),
                                       cursor->hotspot.x, cursor->hotspot.y);
    return old;
  }
  if (shape != State().shown || (old && !old->argb.empty())) {
    State().shown = shape;
    screen.Display()->SetCursorShape(shape);
  }
  return old;
}

HCURSOR GetCursor() { return wm::Screen().Cursor(); }

int ShowCursor(BOOL show) {
  State().showCount += show ? 1 : -1;
  SetCursor(wm::Screen().Cursor());
  return State().showCount;
}

BOOL DestroyCursor(HCURSOR cursor) { return DestroyIcon(cursor); }  // shared cursors are never freed

namespace {

// Icons made at run time, owned here until DestroyIcon.
std::map<const CursorObject*, std::unique_ptr<CursorObject>>& CreatedIcons() {
  static Everlasting<std::map<const CursorObject*, std::unique_ptr<CursorObject>>> icons;
  return *icons;
}

HICON AdoptIcon(std::unique_ptr<CursorObject> icon) {
  icon->shared = false;
  icon->argb = HostPixels(icon->image);
  HICON raw = icon.get();
  CreatedIcons().emplace(raw, std::move(icon));
  return raw;
}

// A bitmap's pixels, top row first (0x00RRGGBB); false when it is not a bitmap.
bool ReadPixels(HBITMAP bitmap, int& width, int& height, std::vector<std::uint32_t>& out) {
  BITMAP bm;
  if (!bitmap || GetObject(bitmap, sizeof bm, &bm) == 0) return false;
  width = bm.bmWidth;
  height = bm.bmHeight;
  BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biBitCount = 32;
  out.assign(static_cast<size_t>(width) * height, 0);
  return GetDIBits(nullptr, bitmap, 0, static_cast<UINT>(height), out.data(), &info, DIB_RGB_COLORS) == height;
}

}  // namespace

BOOL DestroyIcon(HICON icon) {
  CreatedIcons().erase(icon);
  return TRUE;
}

HICON CreateIconIndirect(const ICONINFO* info) {
  if (!info) return nullptr;
  int mw = 0, mh = 0;
  std::vector<std::uint32_t> mask, colour;
  if (!ReadPixels(info->hbmMask, mw, mh, mask)) return nullptr;
  auto icon = std::make_unique<CursorObject>();
  IconImage& image = icon->image;
  if (info->hbmColor) {
    int cw = 0, ch = 0;
    if (!ReadPixels(info->hbmColor, cw, ch, colour) || cw != mw || ch != mh) return nullptr;
    image.width = cw;
    image.height = ch;
    image.colour = std::move(colour);
  } else {
    // A monochrome icon: the AND mask above the XOR image.
    if (mh < 2) return nullptr;
    image.width = mw;
    image.height = mh / 2;
    image.colour.assign(mask.begin() + static_cast<std::ptrdiff_t>(mw) * image.height,
                        mask.begin() + static_cast<std::ptrdiff_t>(mw) * image.height * 2);
    mask.resize(static_cast<size_t>(mw) * image.height);
  }
  image.bits = 32;
  image.mask.resize(mask.size());
  for (size_t i = 0; i < mask.size(); ++i) image.mask[i] = (mask[i] & 0xFFFFFF) != 0;
  icon->width = image.width;
  icon->height = image.height;
  icon->hotspot = info->fIcon ? POINT{image.width / 2, image.height / 2}
                              : POINT{static_cast<LONG>(info->xHotspot), static_cast<LONG>(info->yHotspot)};
  return AdoptIcon(std::move(icon));
}

BOOL GetIconInfo(HICON icon, ICONINFO* out) {
  if (!icon || !out || icon->image.colour.empty()) return FALSE;
  const IconImage& image = icon->image;
  BITMAPINFO info{};
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> mask(image.mask.size());
  for (size_t i = 0; i < mask.size(); ++i) mask[i] = image.mask[i] ? 0xFFFFFF : 0;
  out->fIcon = TRUE;
  out->xHotspot = static_cast<DWORD>(icon->hotspot.x);
  out->yHotspot = static_cast<DWORD>(icon->hotspot.y);
  out->hbmColor = CreateBitmap(image.width, image.height, 1, 32, nullptr);
  out->hbmMask = CreateBitmap(image.width, image.height, 1, 1, nullptr);
  SetDIBits(nullptr, out->hbmColor, 0, static_cast<UINT>(image.height), image.colour.data(), &info, DIB_RGB_COLORS);
  SetDIBits(nullptr, out->hbmMask, 0, static_cast<UINT>(image.height), mask.data(), &info, DIB_RGB_COLORS);
  return TRUE;
}

HICON CopyIcon(HICON icon) {
  if (!icon || icon->image.colour.empty()) return nullptr;
  auto copy = std::make_unique<CursorObject>(*icon);
  return AdoptIcon(std::move(copy));
}

HICON CreateIconFromIconFile(const void* data, DWORD size) {
  if (!data) return nullptr;
  auto icon = ReadCursorFile(static_cast<const unsigned char*>(data), size);
  return icon ? AdoptIcon(std::move(icon)) : nullptr;
}

CursorShape CurrentCursorShape() { return State().shown; }

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT, HBRUSH, UINT flags) {
  if (!icon || icon->image.colour.empty()) return FALSE;
  const IconImage& image = icon->image;
  if (width == 0) width = image.width;
  if (height == 0) height = image.height;
  for (int ty = 0; ty < height; ++ty)
    for (int tx = 0; tx < width; ++tx) {
      size_t i = static_cast<size_t>(ty * image.height / height) * image.width + tx * image.width / width;
      COLORREF under = GetPixel(dc, x + tx, y + ty);
      if (under == CLR_INVALID) continue;
      std::uint32_t p = PixelFromColor(under);
      if ((flags & DI_NORMAL) == DI_NORMAL) p = image.Over(i, p);
      else if (flags & DI_MASK) p = image.mask[i] ? p : 0;
      else if (flags & DI_IMAGE) p = image.colour[i];
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
  return wm::Screen().Pixels();
}

Host& DesktopHost() {
  EnsureDesktop();
  return *wm::Screen().Display();
}

void FlushDesktop() {
  RedrawWindow(nullptr, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  wm::Screen().MarkChanged();
  PresentDesktop();
}
