#include "quillo/plugins/FilterHostCallbacks.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace {

struct HandleSlot {
  char* memory = nullptr;
  std::int32_t size = 0;
};

struct HostState {
  FilterHostRun run;
  std::array<HandleSlot, kFilterHandleSlots> handles{};
  std::vector<std::uint8_t> alphaProduct = std::vector<std::uint8_t>(256 * 256);
};

HostState& State() {
  static HostState state;
  return state;
}

constexpr OSErr kError = -1;

// The slot a handle names, or null for a pointer that is not one of the table's slots.
HandleSlot* SlotOf(Handle h) {
  if (h == nullptr) return nullptr;
  auto& table = State().handles;
  const auto address = reinterpret_cast<std::uintptr_t>(h);
  const auto first = reinterpret_cast<std::uintptr_t>(table.data());
  const std::uintptr_t offset = address - first;
  if (address < first || offset >= sizeof(HandleSlot) * table.size() || offset % sizeof(HandleSlot) != 0) return nullptr;
  return &table[offset / sizeof(HandleSlot)];
}

// --- Buffer suite ---
OSErr AllocateBuffer(std::int32_t size, BufferID* id) {
  if (id == nullptr) return kError;
  *id = size >= 0 ? std::malloc(static_cast<std::size_t>(std::max(size, 1))) : nullptr;
  return *id != nullptr ? 0 : kError;
}
char* LockBuffer(BufferID id, Boolean) { return static_cast<char*>(id); }
void UnlockBuffer(BufferID) {}
void FreeBuffer(BufferID id) { std::free(id); }
std::int32_t BufferSpace() { return 0xA00000; }

// --- Handle suite ---
Handle NewHandle(std::int32_t size) {
  if (size < 0) return nullptr;
  for (HandleSlot& slot : State().handles) {
    if (slot.memory != nullptr) continue;
    slot.memory = static_cast<char*>(std::calloc(static_cast<std::size_t>(std::max(size, 1)), 1));
    if (slot.memory == nullptr) return nullptr;
    slot.size = size;
    return &slot.memory;
  }
  return nullptr;
}
void DisposeHandle(Handle h) {
  if (HandleSlot* slot = SlotOf(h)) {
    std::free(slot->memory);
    *slot = HandleSlot{};
  }
}
std::int32_t GetHandleSize(Handle h) {
  const HandleSlot* slot = SlotOf(h);
  return slot != nullptr ? slot->size : 0;
}
OSErr SetHandleSize(Handle h, std::int32_t size) {
  HandleSlot* slot = SlotOf(h);
  if (slot == nullptr || slot->memory == nullptr || size < 0) return kError;
  char* grown = static_cast<char*>(std::realloc(slot->memory, static_cast<std::size_t>(std::max(size, 1))));
  if (grown == nullptr) return kError;
  slot->memory = grown;
  slot->size = size;
  return 0;
}
char* LockHandle(Handle h, Boolean) {
  const HandleSlot* slot = SlotOf(h);
  return slot != nullptr ? slot->memory : nullptr;
}
void UnlockHandle(Handle) {}
void RecoverSpace(std::int32_t) {}

// --- Image services ---
std::uint8_t* PlaneByte(const PSImagePlane* plane, int row, int column) {
  return static_cast<std::uint8_t*>(plane->data) + static_cast<std::ptrdiff_t>(row - plane->bounds.top) * plane->rowBytes +
         static_cast<std::ptrdiff_t>(column - plane->bounds.left) * plane->colBytes;
}
bool InsidePlane(const PSImagePlane* plane, int row, int column) {
  return row >= plane->bounds.top && row < plane->bounds.bottom && column >= plane->bounds.left &&
         column < plane->bounds.right;
}
int Blend(int s0, int s1, int fraction) { return (s0 * (0x10000 - fraction) + s1 * fraction + 0x8000) >> 16; }

OSErr Interpolate1D(PSImagePlane* source, PSImagePlane* destination, Rect* area, Fixed* coords, int16_t method) {
  if (source == nullptr || destination == nullptr || area == nullptr || coords == nullptr) return kError;
  const int width = std::max(0, area->right - area->left);
  for (; area->top < area->bottom; ++area->top) {
    const int row = area->top;
    if (row < source->bounds.top || row >= source->bounds.bottom) {
      coords += width;
      continue;
    }
    for (int column = area->left; column < area->right; ++column) {
      const Fixed f = *coords++;
      const int x = f >> 16;
      const int fraction = f & 0xFFFF;
      if (!InsidePlane(source, row, x) || !InsidePlane(destination, row, column)) continue;
      int value = *PlaneByte(source, row, x);
      if (method != 0 && fraction != 0 && x != source->bounds.right - 1)
        value = Blend(value, *PlaneByte(source, row, x + 1), fraction);
      *PlaneByte(destination, row, column) = static_cast<std::uint8_t>(value);
    }
  }
  return 0;
}

OSErr Interpolate2D(PSImagePlane* source, PSImagePlane* destination, Rect* area, Fixed* coords, int16_t method) {
  if (source == nullptr || destination == nullptr || area == nullptr || coords == nullptr) return kError;
  for (int row = area->top; row < area->bottom; ++row) {
    for (int column = area->left; column < area->right; ++column) {
      const Fixed v = *coords++;
      const Fixed h = *coords++;
      const int y = v >> 16, x = h >> 16;
      if (!InsidePlane(source, y, x) || !InsidePlane(destination, row, column)) continue;
      const int fy = v & 0xFFFF, fx = h & 0xFFFF;
      int value = *PlaneByte(source, y, x);
      if (method != 0) {
        const bool alongX = fx != 0 && x != source->bounds.right - 1;
        const bool alongY = fy != 0 && y != source->bounds.bottom - 1;
        const int top = alongX ? Blend(value, *PlaneByte(source, y, x + 1), fx) : value;
        if (alongY) {
          const int below = *PlaneByte(source, y + 1, x);
          const int bottom = alongX ? Blend(below, *PlaneByte(source, y + 1, x + 1), fx) : below;
          value = Blend(top, bottom, fy);
        } else {
          value = top;
        }
      }
      *PlaneByte(destination, row, column) = static_cast<std::uint8_t>(value);
    }
  }
  return 0;
}

// --- Property suite ---
constexpr OSType Sig(char a, char b, char c, char d) { return FILTER_FOURCC(a, b, c, d); }

OSErr GetProperty(OSType signature, OSType key, std::int32_t index, intptr_t* simple, Handle* complex) {
  if (signature != Sig('8', 'B', 'I', 'M')) return kError;
  const FilterHostRun& run = State().run;
  const auto answer = [simple](intptr_t value) -> OSErr {
    if (simple == nullptr) return kError;
    *simple = value;
    return 0;
  };
  if (key == Sig('i', 'n', 't', 'p')) return answer(run.interpolation);
  if (key == Sig('m', 'o', 'd', 'e')) return answer(plugInModeRGBColor);
  if (key == Sig('n', 'u', 'c', 'h')) return answer(run.alphaMode != 0 ? 4 : 3);
  if (key == Sig('n', 'm', 'c', 'h')) {
    const int channels = run.alphaMode != 0 ? 4 : 3;
    if (index < 0 || index >= channels || complex == nullptr) return kError;
    Handle name = NewHandle(2);
    if (name == nullptr) return kError;
    (*name)[0] = "RGBA"[index];
    (*name)[1] = 0;
    *complex = name;
    return 0;
  }
  return kError;
}

OSErr SetProperty(OSType, OSType, std::int32_t, intptr_t, Handle) { return 0; }

BufferProcs bufferProcs{2, 5, AllocateBuffer, LockBuffer, UnlockBuffer, FreeBuffer, BufferSpace};
HandleProcs handleProcs{1, 7, NewHandle, DisposeHandle, GetHandleSize, SetHandleSize, LockHandle, UnlockHandle, RecoverSpace};
// interpolate2D is there but not counted, as the published suite of this version has it.
ImageServicesProcs imageServicesProcs{1, 1, Interpolate1D, Interpolate2D};
PropertyProcs propertyProcs{1, 2, GetProperty, SetProperty};

// --- Colour services ---
int LowByte(int16_t value) { return value & 0xFF; }
int Clamp255(int value) { return std::clamp(value, 0, 255); }

struct Working {
  int red = 0, green = 0, blue = 0;
};

std::uint32_t RecordColour(std::uint32_t rgb) { return rgb & 0xFFFFFF; }

OSErr ChooseWorking(ColorServicesInfo& info, Working& w) {
  const FilterHostRun& run = State().run;
  switch (info.selector) {
    case plugIncolorServicesChooseColor: {
      const std::uint32_t start = static_cast<std::uint32_t>(LowByte(info.colorComponents[0])) << 16 |
                                  static_cast<std::uint32_t>(LowByte(info.colorComponents[1])) << 8 |
                                  static_cast<std::uint32_t>(LowByte(info.colorComponents[2]));
      if (!run.pickColour) return kError;
      std::string prompt;
      if (const std::uint8_t* text = info.selectorParameter.pickerPrompt)
        prompt.assign(reinterpret_cast<const char*>(text + 1), text[0]);  // the length byte's count
      const std::uint32_t chosen = run.pickColour(start, prompt);
      if (chosen == 0xFFFFFFFFu) return kError;
      w = {static_cast<int>(chosen >> 16 & 0xFF), static_cast<int>(chosen >> 8 & 0xFF), static_cast<int>(chosen & 0xFF)};
      return 0;
    }
    case plugIncolorServicesConvertColor:
      if (info.sourceSpace <= plugIncolorServicesRGBSpace) {
        w = {LowByte(info.colorComponents[0]), LowByte(info.colorComponents[1]), LowByte(info.colorComponents[2])};
      } else if (info.sourceSpace == plugIncolorServicesCMYKSpace) {
        const int k = Clamp255(info.colorComponents[3]);
        w = {255 - std::min(255, Clamp255(info.colorComponents[0]) + k),
             255 - std::min(255, Clamp255(info.colorComponents[1]) + k),
             255 - std::min(255, Clamp255(info.colorComponents[2]) + k)};
      } else if (info.sourceSpace == plugIncolorServicesGraySpace) {
        const int grey = LowByte(info.colorComponents[0]);
        w = {grey, grey, grey};
      } else {
        return kError;
      }
      return 0;
    case plugIncolorServicesSamplePoint: {
      const Point* at = info.selectorParameter.globalSamplePoint;
      if (at == nullptr || run.source == nullptr || at->v < 0 || at->h < 0 || at->v >= run.height || at->h >= run.width)
        return kError;
      const std::uint8_t* pixel = run.source + at->v * run.rowBytes + at->h * 4;
      w = {pixel[2], pixel[1], pixel[0]};
      return 0;
    }
    case plugIncolorServicesGetSpecialColor: {
      const std::uint32_t c = RecordColour(info.selectorParameter.specialColorID == 0 ? run.foreColor : run.backColor);
      w = {static_cast<int>(c >> 16 & 0xFF), static_cast<int>(c >> 8 & 0xFF), static_cast<int>(c & 0xFF)};
      return 0;
    }
    default:
      return kError;
  }
}

// --- Display ---
void BlendOverChecker(std::uint8_t* out, const std::uint8_t* pixel, int row, int column) {
  const auto& table = State().alphaProduct;
  const int a = pixel[3];
  const int checker = ((row >> 3) + (column >> 3)) % 2 == 0 ? 255 : 192;
  for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>(table[a * 256 + pixel[2 - c]] + table[(255 - a) * 256 + checker]);
}

}  // namespace

void StartFilterHostRun(const FilterHostRun& run) {
  EndFilterHostRun();
  HostState& s = State();
  s.run = run;
  for (int a = 0; a < 256; ++a)
    for (int v = 0; v < 256; ++v) s.alphaProduct[a * 256 + v] = a == 0 ? 0 : static_cast<std::uint8_t>((v * a + 127) / 255);
}

void EndFilterHostRun() {
  for (HandleSlot& slot : State().handles) {
    std::free(slot.memory);
    slot = HandleSlot{};
  }
}

BufferProcs* FilterBufferProcs() { return &bufferProcs; }
HandleProcs* FilterHandleProcs() { return &handleProcs; }
ImageServicesProcs* FilterImageServicesProcs() { return &imageServicesProcs; }
PropertyProcs* FilterPropertyProcs() { return &propertyProcs; }

OSErr FilterColorServices(ColorServicesInfo* info) {
  if (info == nullptr || info->infoSize < static_cast<std::int32_t>(sizeof(ColorServicesInfo))) return kError;
  Working w;
  if (ChooseWorking(*info, w) != 0) return kError;
  info->resultGamutInfoValid = 0;
  if (info->resultSpace <= plugIncolorServicesRGBSpace) {
    info->resultSpace = plugIncolorServicesRGBSpace;
    info->colorComponents[0] = static_cast<int16_t>(w.red);
    info->colorComponents[1] = static_cast<int16_t>(w.green);
    info->colorComponents[2] = static_cast<int16_t>(w.blue);
  } else if (info->resultSpace == plugIncolorServicesCMYKSpace) {
    info->colorComponents[0] = static_cast<int16_t>(255 - w.red);
    info->colorComponents[1] = static_cast<int16_t>(255 - w.green);
    info->colorComponents[2] = static_cast<int16_t>(255 - w.blue);
    info->colorComponents[3] = 0;
  } else if (info->resultSpace == plugIncolorServicesGraySpace) {
    info->colorComponents[0] = static_cast<int16_t>((3 * w.red + 4 * w.green + w.blue) >> 3);
  } else {
    return kError;
  }
  return 0;
}

int DisplayBandRows(int width, int rows) {
  const int rowBytes = (width * 3 + 3) & ~3;
  return std::max(1, std::min(rows, rowBytes > 0 ? 32768 / rowBytes : rows));
}

OSErr FilterDisplayPixels(const PSPixelMap* source, const VRect* srcRect, std::int32_t dstRow, std::int32_t dstCol,
                          void* platformContext) {
  if (source == nullptr || srcRect == nullptr || platformContext == nullptr) return kError;
  const int width = srcRect->right - srcRect->left;
  const int rows = srcRect->bottom - srcRect->top;
  if (rows <= 0 || width <= 0 || source->colBytes < 3 || source->baseAddr == nullptr) return 0;
  const int dibRowBytes = (width * 3 + 3) & ~3;
  const int band = DisplayBandRows(width, rows);
  const bool blend = State().run.alphaMode != 0 && source->colBytes >= 4;
  std::vector<std::uint8_t> dib(static_cast<std::size_t>(dibRowBytes) * static_cast<std::size_t>(band));
  BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biBitCount = 24;
  const auto* base = static_cast<const std::uint8_t*>(source->baseAddr);
  for (int first = 0; first < rows; first += band) {
    const int count = std::min(band, rows - first);
    info.bmiHeader.biHeight = -count;  // top-down
    for (int r = 0; r < count; ++r) {
      const int row = first + r;
      const std::uint8_t* in = base + static_cast<std::ptrdiff_t>(srcRect->top + row - source->bounds.top) * source->rowBytes +
                               static_cast<std::ptrdiff_t>(srcRect->left - source->bounds.left) * source->colBytes;
      std::uint8_t* out = dib.data() + static_cast<std::size_t>(r) * dibRowBytes;
      for (int x = 0; x < width; ++x, in += source->colBytes, out += 3) {
        if (blend) {
          BlendOverChecker(out, in, row, x);
        } else {
          out[0] = in[2];
          out[1] = in[1];
          out[2] = in[0];
        }
      }
    }
    SetDIBitsToDevice(static_cast<HDC>(platformContext), dstCol, dstRow + first, static_cast<DWORD>(width),
                      static_cast<DWORD>(count), 0, 0, 0, static_cast<UINT>(count), dib.data(), &info, DIB_RGB_COLORS);
  }
  return 0;
}
