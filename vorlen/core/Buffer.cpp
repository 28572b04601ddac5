#include "vorlen/core/Buffer.h"

#include "vorlen/core/PixelBlock.h"

char Buffer::config_file[260] = {};
int Buffer::default_x = 256;
int Buffer::default_y = 192;

Buffer::Buffer() : pixels(nullptr), stride(0), rect(), ownership(kOwns) {}

Buffer::Buffer(Buffer& src) : pixels(nullptr), stride(0), rect(), ownership(kView) {
  *this = src;
}

Buffer::Buffer(Buffer&& src) : Buffer(static_cast<Buffer&>(src)) {}

Buffer::Buffer(Buffer& src, Rect r, bool keep)
    : pixels(nullptr), stride(0), rect(), ownership(kView) {
  Alloc(src, r, keep);
}

Buffer::~Buffer() { Free(); }

Buffer& Buffer::operator=(Buffer& src) {
  if (&src != this) {
    Free();
    TakeFrom(src);
  }
  return *this;
}

Buffer& Buffer::operator=(Buffer&& src) { return *this = static_cast<Buffer&>(src); }

void Buffer::TakeFrom(Buffer& src) {
  ownership = src.ownership;
  src.ownership = kView;
  pixels = src.pixels;
  stride = src.stride;
  rect = src.rect;
}

void Buffer::Free() {
  if (pixels != nullptr && ownership != kView) ReleasePixelBlock(pixels, ownership);
  pixels = nullptr;
  stride = 0;
  rect = Rect();
  ownership = kOwns;
}

void Buffer::Alloc(Pair<int> size) {
  Free();
  if (size.x <= 0 || size.y <= 0) return;
  const long long count = static_cast<long long>(size.x) * size.y;
  if (count > kMaxBufferPixels) return;
  PixelBlock block = ObtainPixelBlock(static_cast<size_t>(count) + 4);
  if (block.pixels == nullptr) return;  // out of memory: stays empty, never a rectangle alone
  pixels = block.pixels;
  ownership = block.ownership;
  stride = size.x;
  rect = Rect(0, 0, size.x - 1, size.y - 1);
}

void Buffer::Alloc(Buffer& src, Rect r, bool keep) {
  // Freeing first would release the very pixels an owner is asked to view.
  if (&src == this && pixels != nullptr && ownership != kView) return;
  const Rect part = Intersect(r, src.rect);
  uint* const srcPixels = src.pixels;
  const int srcStride = src.stride;
  const Rect srcRect = src.rect;
  Free();
  if (part.Empty() || srcPixels == nullptr) return;
  ownership = kView;
  stride = srcStride;
  pixels = srcPixels + static_cast<long>(part.top - srcRect.top) * srcStride +
           (part.left - srcRect.left);
  rect = part;
  if (!keep) {
    const bool toOwnCorner = r.left == kRebaseToView;
    const int dx = toOwnCorner ? part.left : r.left;
    const int dy = toOwnCorner ? part.top : r.top;
    rect = Rect(part.left - dx, part.top - dy, part.right - dx, part.bottom - dy);
  }
}

void Buffer::Alloc(Pair<int> size, uint* memory, int memoryStride) {
  Free();
  if (memory == nullptr) return;
  ownership = kView;
  pixels = memory;
  stride = memoryStride != 0 ? memoryStride : size.x;
  rect = Rect(0, 0, size.x - 1, size.y - 1);
}

char* Buffer::GetConfigFile() { return config_file; }
int Buffer::GetDefaultX() { return default_x; }
int Buffer::GetDefaultY() { return default_y; }
void Buffer::SetDefaultX(int x) { default_x = x; }
void Buffer::SetDefaultY(int y) { default_y = y; }
