#include "vorlen/formats/FormatTarget.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "vorlen/formats/GFXFile.h"

TargetArea PrepareTarget(Buffer& dst, int width, int height) {
  if (width < 0 || height < 0) ThrowInvalidImage();
  if (dst.pixels == nullptr) {
    if (width == 0 || height == 0) return {};
    if (static_cast<long long>(width) * height > kMaxBufferPixels) ThrowInvalidImage();
    dst.Alloc(Pair<int>(width, height));
    if (dst.pixels == nullptr) throw EOutOfMemory(RtlText::OutOfMemory);
  }
  if (dst.rect.left > 0 || dst.rect.top > 0) return {};
  TargetArea area;
  area.columns = std::min(dst.rect.right + 1, width);
  area.rows = std::min(dst.rect.bottom + 1, height);
  if (area.columns <= 0 || area.rows <= 0) return {};
  for (int y = 0; y < area.rows; ++y) std::fill_n(dst.At(0, y), area.columns, 0u);
  return area;
}

void CheckSizeFits(const Buffer& image, int bits) {
  if (image.pixels == nullptr || image.Empty()) return;
  const long long limit = (1LL << bits) - 1;
  if (image.Width() > limit || image.Height() > limit) ThrowInvalidImage();
}
