#include "quillo/files/ClipboardDib.h"

#include <climits>
#include <cstring>
#include <exception>

#include "platform/rtl/Exceptions.h"
#include "quillo/files/FixedMemoryStream.h"
#include "vorlen/core/BitBuffer.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/bmp/BmpFile.h"

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kLargestHeaderSize = 4096;  // the decoder's own limit
constexpr std::uint32_t kAlphaMaskOffset = 52;      // red, green, blue masks at 40, alpha at 52

std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
void PutLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool IsOneOf(int v, std::initializer_list<int> values) {
  for (int w : values)
    if (v == w) return true;
  return false;
}

// The decoder reports progress through the library's hooks; a paste shows none, so they are
// taken away while it runs and put back after, whatever happens.
class ProgressHooksRemoved {
public:
  ProgressHooksRemoved() : start_(GFXFile::PrStart), step_(GFXFile::PrStep), end_(GFXFile::PrEnd) {
    GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  }
  ~ProgressHooksRemoved() { GFXFile::SetProgFunc(start_, step_, end_); }
  ProgressHooksRemoved(const ProgressHooksRemoved&) = delete;
  ProgressHooksRemoved& operator=(const ProgressHooksRemoved&) = delete;

private:
  void (*start_)();
  bool (*step_)(int);
  void (*end_)();
};

}  // namespace

int DibColorCount(const BITMAPINFOHEADER* header) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(header);
  const std::uint32_t size = Le32(bytes);
  std::uint64_t count = 0;
  if (size == kCoreHeaderSize) {
    const int bits = Le16(bytes + 10);
    count = bits >= 32 ? 0 : std::uint64_t{1} << bits;
  } else {
    const int bits = header->biBitCount;
    if (bits >= 32) return 0;
    count = header->biClrUsed != 0 ? header->biClrUsed : std::uint64_t{1} << bits;
  }
  return count > 256 ? 0 : static_cast<int>(count);
}

bool CheckClipboardDib(const std::uint8_t* data, std::size_t size, ClipboardDibLayout& out) {
  out = ClipboardDibLayout{};
  if (data == nullptr || size < kInfoHeaderSize) return false;
  const std::uint32_t headerSize = Le32(data);
  if (headerSize < kInfoHeaderSize || headerSize > kLargestHeaderSize || headerSize > size) return false;
  const auto width = static_cast<std::int32_t>(Le32(data + 4));
  const auto height = static_cast<std::int32_t>(Le32(data + 8));
  const int planes = Le16(data + 12);
  const int bits = Le16(data + 14);
  const std::uint32_t compression = Le32(data + 16);
  const std::uint32_t imageSize = Le32(data + 20);
  const std::uint32_t used = Le32(data + 32);
  // INT_MIN has no positive counterpart: refused with the other absurd heights.
  if (width <= 0 || height == 0 || height == INT_MIN || planes != 1) return false;
  const int rows = height < 0 ? -height : height;
  if (width > kMaxClipboardSide || rows > kMaxClipboardSide ||
      std::int64_t{width} * rows > kMaxClipboardPixels)
    return false;
  if (!IsOneOf(bits, {1, 4, 8, 16, 24, 32})) return false;
  const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
  switch (compression) {
    case BI_RGB: break;
    case BI_BITFIELDS:
      if (bits != 16 && bits != 32) return false;
      break;
    case BI_RLE8:
    case BI_RLE4:
      if (bits != (compression == BI_RLE8 ? 8 : 4) || height < 0) return false;
      break;
    default: return false;  // JPEG, PNG and the rest are not bits the decoder reads
  }
  if (bits <= 8 && used > (1u << bits)) return false;

  // The bit-field masks follow a 40-byte header; longer headers hold them inside.
  std::size_t tableOffset = headerSize;
  if (compression == BI_BITFIELDS && headerSize == kInfoHeaderSize) tableOffset += 12;
  BITMAPINFOHEADER fields;
  std::memcpy(&fields, data, sizeof fields);
  const int entries = DibColorCount(&fields);
  const std::size_t bitsOffset = tableOffset + static_cast<std::size_t>(entries) * 4;
  if (bitsOffset > size) return false;

  const std::int64_t rowBytes = (std::int64_t{width} * bits + 31) / 32 * 4;
  const std::int64_t available = static_cast<std::int64_t>(size - bitsOffset);
  std::int64_t bitsSize = rowBytes * rows;
  if (rle) {
    // Runs have no size of their own: the header must give it, within the block.
    if (imageSize == 0 || imageSize > available) return false;
    bitsSize = imageSize;
  } else if (bitsSize > available || (imageSize != 0 && imageSize < bitsSize)) {
    // A stated size smaller than the rows is a header that contradicts itself.
    return false;
  }

  out.headerSize = headerSize;
  out.width = width;
  out.height = rows;
  out.topDown = height < 0;
  out.bitCount = bits;
  out.compression = compression;
  if (headerSize >= kAlphaMaskOffset + 4) out.alphaMask = Le32(data + kAlphaMaskOffset);
  out.tableOffset = tableOffset;
  out.tableEntries = entries;
  out.bitsOffset = bitsOffset;
  out.bitsSize = static_cast<std::size_t>(bitsSize);
  return true;
}

bool PictureFromClipboardDib(const std::uint8_t* data, std::size_t size, Buffer& picture) {
  picture.Free();
  ClipboardDibLayout layout;
  if (!CheckClipboardDib(data, size, layout)) return false;
  {
    ProgressHooksRemoved quiet;
    TFixedMemoryStream rows(data + layout.bitsOffset, layout.bitsSize);
    try {
      if (!BitmapFromStream(picture, reinterpret_cast<const BITMAPINFO*>(data), &rows, nullptr)) {
        picture.Free();
        return false;
      }
    } catch (const EInvalidImage&) {
      picture.Free();
      return false;
    } catch (const EReadError&) {
      picture.Free();
      return false;
    }
  }
  if (picture.pixels == nullptr || picture.Width() != layout.width || picture.Height() != layout.height) {
    picture.Free();
    return false;
  }

  // The decoder makes every pixel of a 32-bit DIB opaque; the transparency the block carries
  // is taken from its rows again: the program's own byte (0 opaque) in a 40-byte header, or
  // alpha (255 opaque) where a longer header names it.
  enum class FourthByte { Ignored, Transparency, Alpha };
  FourthByte fourth = FourthByte::Ignored;
  if (layout.bitCount == 32 && layout.compression == BI_RGB && layout.headerSize == kInfoHeaderSize)
    fourth = FourthByte::Transparency;
  else if (layout.bitCount == 32 && layout.headerSize > kInfoHeaderSize && layout.alphaMask == 0xFF000000u &&
           (layout.compression == BI_RGB || layout.compression == BI_BITFIELDS))
    fourth = FourthByte::Alpha;
  const auto transparencyOf = [&](std::uint8_t b) { return fourth == FourthByte::Alpha ? 255 - b : b; };
  const std::size_t rowBytes = static_cast<std::size_t>(layout.width) * 4;
  const auto storedRow = [&](int y) {
    const int stored = layout.topDown ? y : layout.height - 1 - y;
    return data + layout.bitsOffset + static_cast<std::size_t>(stored) * rowBytes;
  };
  // Programs differ in what they leave in the fourth byte: a block in which every pixel would
  // be fully transparent shows nothing under either reading, so it is taken as opaque.
  if (fourth != FourthByte::Ignored) {
    bool anyVisible = false;
    for (int y = 0; y < layout.height && !anyVisible; ++y) {
      const std::uint8_t* in = storedRow(y);
      for (int x = 0; x < layout.width && !anyVisible; ++x) anyVisible = transparencyOf(in[4 * x + 3]) != 0xFF;
    }
    if (!anyVisible) fourth = FourthByte::Ignored;
  }
  for (int y = 0; y < layout.height; ++y) {
    uint* out = picture.At(picture.rect.left, picture.rect.top + y);
    const std::uint8_t* in = storedRow(y);
    for (int x = 0; x < layout.width; ++x) {
      uint p = out[x] & 0x00FFFFFFu;
      if (fourth != FourthByte::Ignored) p |= static_cast<uint>(transparencyOf(in[4 * x + 3])) << 24;
      out[x] = (p >> 24) == 0xFF ? 0xFF000000u : p;
    }
  }
  return true;
}

std::int64_t ClipboardDibSize(int width, int height) {
  if (width <= 0 || height <= 0) return -1;
  const std::int64_t bytes = kInfoHeaderSize + std::int64_t{width} * 4 * height;
  // The header's fields are 32-bit: nothing larger can be described.
  return bytes > INT_MAX ? -1 : bytes;
}

void WriteClipboardDib(const Buffer& picture, Rect r, const BitBuffer* selection, std::uint8_t* out) {
  r = Intersect(r, picture.rect);
  const int width = r.Width(), height = r.Height();
  std::memset(out, 0, kInfoHeaderSize);
  PutLe32(out, kInfoHeaderSize);
  PutLe32(out + 4, static_cast<std::uint32_t>(width));
  PutLe32(out + 8, static_cast<std::uint32_t>(height));
  out[12] = 1;   // planes
  out[14] = 32;  // bits a pixel
  std::uint8_t* row = out + kInfoHeaderSize;
  for (int y = r.bottom; y >= r.top; --y, row += std::size_t(width) * 4) {
    const uint* in = picture.At(r.left, y);
    for (int i = 0; i < width; ++i) {
      const int x = r.left + i;
      // The mask is indexed from the picture's first pixel.
      const bool outside =
          selection != nullptr && !selection->Test(x - picture.rect.left, y - picture.rect.top);
      PutLe32(row + 4 * i, outside ? 0xFF000000u : in[i]);
    }
  }
}

std::vector<std::uint8_t> ClipboardDibFromPicture(const Buffer& picture, Rect r, const BitBuffer* selection) {
  r = Intersect(r, picture.rect);
  if (r.Empty() || picture.pixels == nullptr) return {};
  const std::int64_t size = ClipboardDibSize(r.Width(), r.Height());
  if (size < 0) return {};
  std::vector<std::uint8_t> dib(static_cast<std::size_t>(size));
  WriteClipboardDib(picture, r, selection, dib.data());
  return dib;
}
