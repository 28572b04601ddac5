#include "platform/gdi/DibFile.h"

#include <cstdlib>
#include <cstring>

#include "platform/gdi/Gdi.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr std::int64_t kMaxSide = 65535;
constexpr size_t kLargestTable = 1024;  // 256 entries

}  // namespace

bool ReadBmpFile(const std::uint8_t* data, size_t size, BmpFileImage& out) {
  if (size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') return false;
  // Sizes read from the file are checked in 64 bits, so no sum of them can wrap.
  const std::uint64_t offset = Le32(data + 10), headerSize = Le32(data + 14);
  if (headerSize < kInfoHeaderSize || offset < kFileHeaderSize + headerSize || offset >= size) return false;
  out.info.assign(offset - kFileHeaderSize + kLargestTable, 0);
  std::memcpy(out.info.data(), data + kFileHeaderSize, offset - kFileHeaderSize);
  const auto* info = reinterpret_cast<const BITMAPINFO*>(out.info.data());
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return false;
  const std::int64_t width = h.biWidth, height = std::llabs(static_cast<std::int64_t>(h.biHeight));
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
  if (offset + DibRowBytes(width, h.biBitCount) * static_cast<std::uint64_t>(height) > size) return false;
  out.bits = data + offset;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  return true;
}
