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

void CheckDataCanFill(int width, int height, std::int64_t remaining, DataDensity density) {
  if (width <= 0 || height <= 0) return;
  // 128-bit products: a width and height near 2^31 times a few bytes a pixel pass 2^63.
  const __int128 needed = static_cast<__int128>(width) * height * density.bytes;
  const __int128 available = static_cast<__int128>(std::max<std::int64_t>(remaining, 0)) * density.pixels;
  if (needed > available) ThrowInvalidImage();
}

void CheckDataCanFill(int width, int height, TStream* stream, DataDensity density) {
  CheckDataCanFill(width, height, stream->Size() - stream->Position(), density);
}

void CheckSizeFits(const Buffer& image, int bits) {
  if (image.pixels == nullptr || image.Empty()) return;
  const long long limit = (1LL << bits) - 1;
  if (image.Width() > limit || image.Height() > limit) ThrowInvalidImage();
}
