#include "platform/controls/ImageList.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <vector>

#include "platform/gdi/Display.h"
#include "platform/rtl/Everlasting.h"
#include "platform/rtl/HandleStorage.h"

struct ImageListObject : HandleStorage {
  int width = 0;
  int height = 0;
  UINT flags = 0;
  int grow = 4;
  int count = 0;
  int capacity = 0;
  HBITMAP image = nullptr;  // 32 bits, the images side by side
  HBITMAP mask = nullptr;   // monochrome, 1 where transparent
  COLORREF background = CLR_NONE;
  std::array<int, 15> overlays;

  ImageListObject() { overlays.fill(-1); }
  ~ImageListObject() {
    if (image) DeleteObject(image);
    if (mask) DeleteObject(mask);
  }
  ImageListObject(const ImageListObject&) = delete;
  ImageListObject& operator=(const ImageListObject&) = delete;
  bool Masked() const { return (flags & ILC_MASK) != 0; }
};

namespace {

std::map<const ImageListObject*, std::unique_ptr<ImageListObject>>& Lists() {
  static Everlasting<std::map<const ImageListObject*, std::unique_ptr<ImageListObject>>> lists;
  return *lists;
}

ImageListObject* Live(HIMAGELIST list) {
  auto it = Lists().find(list);
  return it == Lists().end() ? nullptr : it->second.get();
}

// A memory context with a bitmap selected, for the life of the object.
class Selected {
public:
  explicit Selected(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) { old_ = SelectObject(dc_, bitmap); }
  ~Selected() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;
  HDC dc() const { return dc_; }

private:
  HDC dc_;
  HGDIOBJ old_;
};

// A bitmap's pixels, top row first (0x00RRGGBB), read without selecting it anywhere.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;
  std::uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biBitCount = 32;
  return info;
}

bool Read(HBITMAP bitmap, Pixels& out) {
  BITMAP bm;
  if (!bitmap || GetObject(bitmap, sizeof bm, &bm) == 0) return false;
  out.width = bm.bmWidth;
  out.height = bm.bmHeight;
  out.data.assign(static_cast<size_t>(out.width) * out.height, 0);
  BITMAPINFO info = TopDown32(out.width, out.height);
  return GetDIBits(nullptr, bitmap, 0, static_cast<UINT>(out.height), out.data.data(), &info, DIB_RGB_COLORS) ==
         out.height;
}

void Write(HDC dc, int x, int width, int height, const std::vector<std::uint32_t>& pixels) {
  BITMAPINFO info = TopDown32(width, height);
  SetDIBitsToDevice(dc, x, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                    static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
}

bool Reserve(ImageListObject& list, int wanted) {
  if (wanted <= list.capacity) return true;
  const int capacity = std::max(wanted, list.capacity + std::max(list.grow, 1));
  HBITMAP image = CreateBitmap(capacity * list.width, list.height, 1, 32, nullptr);
  HBITMAP mask = list.Masked() ? CreateBitmap(capacity * list.width, list.height, 1, 1, nullptr) : nullptr;
  if (!image || (list.Masked() && !mask)) {
    if (image) DeleteObject(image);
    if (mask) DeleteObject(mask);
    return false;
  }
  if (list.count > 0) {
    Selected from(list.image), to(image);
    BitBlt(to.dc(), 0, 0, list.count * list.width, list.height, from.dc(), 0, 0, SRCCOPY);
    if (mask) {
      Selected fromMask(list.mask), toMask(mask);
      BitBlt(toMask.dc(), 0, 0, list.count * list.width, list.height, fromMask.dc(), 0, 0, SRCCOPY);
    }
  }
  if (list.image) DeleteObject(list.image);
  if (list.mask) DeleteObject(list.mask);
  list.image = image;
  list.mask = mask;
  list.capacity = capacity;
  return true;
}

// Stores a cell of source (from column sx) at index: transparent pixels (where transparent
// says so) are stored black in the image and 1 in the mask.
template <class IsTransparent>
void PutCell(ImageListObject& list, int index, const Pixels& source, int sx, IsTransparent transparent) {
  const int w = list.width, h = list.height;
  std::vector<std::uint32_t> image(static_cast<size_t>(w) * h, 0), mask(image.size(), 0);
  for (int y = 0; y < std::min(h, source.height); ++y)
    for (int x = 0; x < w && sx + x < source.width; ++x) {
      const bool clear = list.Masked() && transparent(sx + x, y);
      image[static_cast<size_t>(y) * w + x] = clear ? 0 : source.At(sx + x, y);
      mask[static_cast<size_t>(y) * w + x] = clear ? 0xFFFFFF : 0;
    }
  {
    Selected strip(list.image);
    Write(strip.dc(), index * w, w, h, image);
  }
  if (list.Masked()) {
    Selected strip(list.mask);
    Write(strip.dc(), index * w, w, h, mask);
  }
}

void CopyCell(ImageListObject& list, int from, int to) {
  Selected image(list.image);
  BitBlt(image.dc(), to * list.width, 0, list.width, list.height, image.dc(), from * list.width, 0, SRCCOPY);
  if (list.Masked()) {
    Selected mask(list.mask);
    BitBlt(mask.dc(), to * list.width, 0, list.width, list.height, mask.dc(), from * list.width, 0, SRCCOPY);
  }
}

// Mixes the blend colour into the opaque pixels of a cell: a quarter or a half of it.
HBITMAP BlendedCell(ImageListObject& list, int index, int w, int h, COLORREF colour, int percent) {
  Pixels image, mask;
  Read(list.image, image);
  if (list.Masked()) Read(list.mask, mask);
  const std::uint32_t blend = PixelFromColor(colour);
  std::vector<std::uint32_t> out(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int sx = index * list.width + x;
      std::uint32_t p = image.At(sx, y);
      if (!list.Masked() || !(mask.At(sx, y) & 0xFFFFFF)) {
        std::uint32_t mixed = 0;
        for (int shift : {16, 8, 0}) {
          const int a = (p >> shift) & 0xFF, b = (blend >> shift) & 0xFF;
          mixed |= static_cast<std::uint32_t>((a * (100 - percent) + b * percent) / 100) << shift;
        }
        p = mixed;
      }
      out[static_cast<size_t>(y) * w + x] = p;
    }
  HBITMAP cell = CreateBitmap(w, h, 1, 32, nullptr);
  BITMAPINFO info = TopDown32(w, h);
  SetDIBits(nullptr, cell, 0, static_cast<UINT>(h), out.data(), &info, DIB_RGB_COLORS);
  return cell;
}

}  // namespace

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow) {
  if (width <= 0 || height <= 0) return nullptr;
  auto list = std::make_unique<ImageListObject>();
  list->width = width;
  list->height = height;
  list->flags = flags;
  list->grow = std::max(grow, 1);
  if (!Reserve(*list, std::max(initial, 1))) return nullptr;
  HIMAGELIST raw = list.get();
  Lists().emplace(raw, std::move(list));
  return raw;
}

BOOL ImageList_Destroy(HIMAGELIST list) { return Lists().erase(list) ? TRUE : FALSE; }

int ImageList_GetImageCount(HIMAGELIST handle) {
  ImageListObject* list = Live(handle);
  return list ? list->count : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST handle, UINT count) {
  ImageListObject* list = Live(handle);
  if (!list || !Reserve(*list, static_cast<int>(count))) return FALSE;
  const int old = list->count;
  list->count = static_cast<int>(count);
  if (list->count > old) {
    // The new images are black and opaque.
    Selected image(list->image);
    PatBlt(image.dc(), old * list->width, 0, (list->count - old) * list->width, list->height, BLACKNESS);
    if (list->Masked()) {
      Selected mask(list->mask);
      PatBlt(mask.dc(), old * list->width, 0, (list->count - old) * list->width, list->height, BLACKNESS);
    }
  }
  return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int* width, int* height) {
  ImageListObject* list = Live(handle);
  if (!list) return FALSE;
  if (width) *width = list->width;
  if (height) *height = list->height;
  return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST handle, int width, int height) {
  ImageListObject* list = Live(handle);
  if (!list || width <= 0 || height <= 0) return FALSE;
  if (list->image) DeleteObject(list->image);
  if (list->mask) DeleteObject(list->mask);
  list->image = list->mask = nullptr;
  list->width = width;
  list->height = height;
  list->count = list->capacity = 0;
  list->overlays.fill(-1);
  return Reserve(*list, 1) ? TRUE : FALSE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST handle, COLORREF colour) {
  ImageListObject* list = Live(handle);
  if (!list) return CLR_NONE;
  const COLORREF old = list->background;
  list->background = colour;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST handle) {
  ImageListObject* list = Live(handle);
  return list ? list->background : CLR_NONE;
}

int ImageList_Add(HIMAGELIST handle, HBITMAP image, HBITMAP mask) {
  ImageListObject* list = Live(handle);
  Pixels pixels, bits;
  if (!list || !Read(image, pixels) || (mask && !Read(mask, bits))) return -1;
  const int cells = pixels.width / list->width;
  if (cells == 0 || !Reserve(*list, list->count + cells)) return -1;
  const int first = list->count;
  for (int c = 0; c < cells; ++c)
    PutCell(*list, first + c, pixels, c * list->width, [&](int x, int y) {
      return mask && x < bits.width && y < bits.height && (bits.At(x, y) & 0xFFFFFF) != 0;
    });
  list->count += cells;
  return first;
}

int ImageList_AddMasked(HIMAGELIST handle, HBITMAP image, COLORREF maskColour) {
  ImageListObject* list = Live(handle);
  Pixels pixels;
  if (!list || !Read(image, pixels)) return -1;
  const int cells = pixels.width / list->width;
  if (cells == 0 || !Reserve(*list, list->count + cells)) return -1;
  const std::uint32_t key = PixelFromColor(maskColour);
  const int first = list->count;
  for (int c = 0; c < cells; ++c)
    PutCell(*list, first + c, pixels, c * list->width, [&](int x, int y) { return pixels.At(x, y) == key; });
  list->count += cells;
  return first;
}

BOOL ImageList_Replace(HIMAGELIST handle, int index, HBITMAP image, HBITMAP mask) {
  ImageListObject* list = Live(handle);
  Pixels pixels, bits;
  if (!list || index < 0 || index >= list->count || !Read(image, pixels) || (mask && !Read(mask, bits))) return FALSE;
  PutCell(*list, index, pixels, 0, [&](int x, int y) {
    return mask && x < bits.width && y < bits.height && (bits.At(x, y) & 0xFFFFFF) != 0;
  });
  return TRUE;
}

int ImageList_ReplaceIcon(HIMAGELIST handle, int index, HICON icon) {
  ImageListObject* list = Live(handle);
  ICONINFO info;
  if (!list || index < -1 || index >= list->count || !GetIconInfo(icon, &info)) return -1;
  int result = -1;
  if (index == -1) {
    result = ImageList_Add(handle, info.hbmColor, info.hbmMask);
  } else if (ImageList_Replace(handle, index, info.hbmColor, info.hbmMask)) {
    result = index;
  }
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return result;
}

BOOL ImageList_Remove(HIMAGELIST handle, int index) {
  ImageListObject* list = Live(handle);
  if (!list || index < -1 || index >= list->count) return FALSE;
  if (index == -1) {
    list->count = 0;
    return TRUE;
  }
  for (int i = index; i + 1 < list->count; ++i) CopyCell(*list, i + 1, i);
  --list->count;
  return TRUE;
}

BOOL ImageList_Copy(HIMAGELIST destList, int dest, HIMAGELIST sourceList, int source, UINT flags) {
  ImageListObject* list = Live(destList);
  if (!list || destList != sourceList || dest < 0 || source < 0 || dest >= list->count || source >= list->count)
    return FALSE;
  if (flags & ILCF_SWAP) {
    // The spare cell past the last image holds one side of the exchange.
    if (!Reserve(*list, list->count + 1)) return FALSE;
    CopyCell(*list, dest, list->count);
    CopyCell(*list, source, dest);
    CopyCell(*list, list->count, source);
  } else {
    CopyCell(*list, source, dest);
  }
  return TRUE;
}

BOOL ImageList_SetOverlayImage(HIMAGELIST handle, int image, int overlay) {
  ImageListObject* list = Live(handle);
  if (!list || overlay < 1 || overlay > 15 || image < -1 || image >= list->count) return FALSE;
  list->overlays[overlay - 1] = image;
  return TRUE;
}

BOOL ImageList_DrawEx(HIMAGELIST handle, int index, HDC dc, int x, int y, int dx, int dy, COLORREF background,
                      COLORREF foreground, UINT style) {
  ImageListObject* list = Live(handle);
  if (!list || index < 0 || index >= list->count || !dc) return FALSE;
  const int w = dx > 0 ? std::min(dx, list->width) : list->width;
  const int h = dy > 0 ? std::min(dy, list->height) : list->height;
  const int sx = index * list->width;
  if (style & ILD_MASK) {
    if (list->Masked()) {
      Selected mask(list->mask);
      BitBlt(dc, x, y, w, h, mask.dc(), sx, 0, SRCCOPY);
    } else {
      PatBlt(dc, x, y, w, h, BLACKNESS);
    }
  } else {
    const COLORREF back = background == CLR_DEFAULT ? list->background : background;
    const bool transparent = (style & ILD_TRANSPARENT) || back == CLR_NONE;
    const int percent = (style & ILD_BLEND50) ? 50 : (style & ILD_BLEND25) ? 25 : 0;
    HBITMAP blended = nullptr;
    if (percent > 0 && foreground != CLR_NONE)
      blended = BlendedCell(*list, index, w, h, foreground == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : foreground,
                            percent);
    {
      Selected image(blended ? blended : list->image);
      const int imageX = blended ? 0 : sx;
      if (!list->Masked() || (style & ILD_IMAGE)) {
        BitBlt(dc, x, y, w, h, image.dc(), imageX, 0, SRCCOPY);
      } else {
        if (!transparent) {
          HBRUSH brush = CreateSolidBrush(back);
          const RECT r{x, y, x + w, y + h};
          FillRect(dc, &r, brush);
          DeleteObject(brush);
        }
        // The target is kept where the mask is 1, cleared elsewhere, and the image (black
        // under the mask) is ORed in.
        Selected mask(list->mask);
        const COLORREF oldText = SetTextColor(dc, 0), oldBack = SetBkColor(dc, 0xFFFFFF);
        BitBlt(dc, x, y, w, h, mask.dc(), sx, 0, SRCAND);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
        BitBlt(dc, x, y, w, h, image.dc(), imageX, 0, SRCPAINT);
      }
    }
    if (blended) DeleteObject(blended);
  }
  const int overlay = static_cast<int>((style & ILD_OVERLAYMASK) >> 8);
  if (overlay >= 1 && overlay <= 15 && list->overlays[overlay - 1] >= 0 && list->overlays[overlay - 1] < list->count)
    ImageList_DrawEx(handle, list->overlays[overlay - 1], dc, x, y, dx, dy, CLR_NONE, foreground,
                     (style & ~ILD_OVERLAYMASK) | ILD_TRANSPARENT);
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

HICON ImageList_GetIcon(HIMAGELIST handle, int index, UINT) {
  ImageListObject* list = Live(handle);
  if (!list || index < 0 || index >= list->count) return nullptr;
  ICONINFO info;
  info.hbmColor = CreateBitmap(list->width, list->height, 1, 32, nullptr);
  info.hbmMask = CreateBitmap(list->width, list->height, 1, 1, nullptr);
  {
    Selected image(info.hbmColor), strip(list->image);
    BitBlt(image.dc(), 0, 0, list->width, list->height, strip.dc(), index * list->width, 0, SRCCOPY);
  }
  if (list->Masked()) {
    Selected mask(info.hbmMask), strip(list->mask);
    BitBlt(mask.dc(), 0, 0, list->width, list->height, strip.dc(), index * list->width, 0, SRCCOPY);
  }
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return icon;
}

BOOL ImageList_GetImageInfo(HIMAGELIST handle, int index, IMAGEINFO* out) {
  ImageListObject* list = Live(handle);
  if (!list || !out || index < 0 || index >= list->count) return FALSE;
  out->hbmImage = list->image;
  out->hbmMask = list->mask;
  out->rcImage = RECT{index * list->width, 0, (index + 1) * list->width, list->height};
  return TRUE;
}
