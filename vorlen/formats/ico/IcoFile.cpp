#include "vorlen/formats/ico/IcoFile.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/user/IconImage.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/png/Inflate.h"
#include "vorlen/formats/png/PngReader.h"

void RegisterICOFile() { static ICOFile instance; }

ICOFile::ICOFile() : GFXFile("Icon", "*.ICO", 0, 0, false, 0) {}

namespace {

// No icon comes near this; a larger stream is not read into memory.
constexpr std::int64_t kMaxIconFile = 16 << 20;

// The rest of the stream from its position, which is left after what was read.
std::vector<uchar> ReadRest(TStream* stream) {
  const std::int64_t size = stream->Size() - stream->Position();
  if (size <= 0 || size > kMaxIconFile) ThrowInvalidImage();
  std::vector<uchar> bytes(static_cast<size_t>(size));
  stream->ReadBuffer(bytes.data(), static_cast<int>(size));
  return bytes;
}

// An image of the directory stored as a PNG file, with the size its header gives.
struct PngImage {
  size_t offset = 0, length = 0;
  int width = 0, height = 0;
};

constexpr int kLargestPngIcon = 4096;  // pixels a side

// Whether a PNG image of `length` bytes can hold the rows its header claims even at deflate's
// highest compression; one that cannot is not decoded: its size would be reserved for nothing.
bool PngDataCanFill(const uchar* png, size_t length, uint width, uint height) {
  const int bitDepth = png[24];
  int channels = 1;  // grey and palette images
  switch (png[25]) {
    case 2: channels = 3; break;
    case 4: channels = 2; break;
    case 6: channels = 4; break;
  }
  // Each row with its filter byte.
  const std::int64_t rowBytes = (std::int64_t(width) * bitDepth * channels + 7) / 8 + 1;
  return std::int64_t(length) * kMaxInflateRatio >= rowBytes * height;
}

// The largest PNG image of the directory; length 0 when there is none.
PngImage LargestPng(const std::vector<uchar>& bytes) {
  PngImage best;
  if (bytes.size() < 6) return best;
  const size_t count = GetLE16(bytes.data() + 4);
  for (size_t i = 0; i < count && 6 + (i + 1) * 16 <= bytes.size(); ++i) {
    const uchar* entry = bytes.data() + 6 + i * 16;
    const size_t length = GetLE32(entry + 8), offset = GetLE32(entry + 12);
    if (offset > bytes.size() || length > bytes.size() - offset || length < 33) continue;
    const uchar* png = bytes.data() + offset;
    if (!std::equal(png::kSignature, png::kSignature + 8, png) || GetBE32(png + 12) != png::kIHDR) continue;
    const uint width = GetBE32(png + 16), height = GetBE32(png + 20);
    if (width == 0 || height == 0 || width > kLargestPngIcon || height > kLargestPngIcon) continue;
    if (!PngDataCanFill(png, length, width, height)) continue;
    if (std::int64_t(width) * height > std::int64_t(best.width) * best.height)
      best = PngImage{offset, length, int(width), int(height)};
  }
  return best;
}

// A PNG image through the PNG codec, as a 32-bit icon image with its alpha.
IconImage DecodePng(const std::vector<uchar>& bytes, const PngImage& image) {
  TMemoryStream stream;
  stream.Write(bytes.data() + image.offset, static_cast<int>(image.length));
  stream.SetPosition(0);
  Buffer pixels;
  const bool wasAlpha = GFXFile::alpha;
  GFXFile::alpha = true;  // the transparency is needed whichever mode the caller is in
  try {
    PngReader reader(&stream, nullptr, nullptr);
    const bool done = reader.Load(pixels);
    GFXFile::alpha = wasAlpha;
    if (!done) ThrowInvalidImage();
  } catch (...) {
    GFXFile::alpha = wasAlpha;
    throw;
  }
  IconImage icon;
  icon.width = pixels.Width(), icon.height = pixels.Height(), icon.bits = 32;
  for (int y = 0; y < icon.height; ++y)
    for (int x = 0; x < icon.width; ++x) {
      const uint p = *pixels.At(x, y);
      icon.colour.push_back(p & 0x00FFFFFF);
      icon.alpha.push_back(static_cast<std::uint8_t>(255 - (p >> 24)));
    }
  icon.mask.assign(icon.colour.size(), 0);
  return icon;
}

// The icon's picture: the largest image, a PNG one where it is larger than every bitmap
// image, or as large as the deepest of them and that one has fewer than 32 bits.
IconImage DecodeIcon(TStream* stream) {
  const std::vector<uchar> bytes = ReadRest(stream);
  const PngImage png = LargestPng(bytes);
  if (png.length == 0) return ReadIconImage(bytes.data(), bytes.size());
  IconImage bitmap;
  try {
    bitmap = ReadIconImage(bytes.data(), bytes.size());
  } catch (const EInvalidGraphic&) {
    return DecodePng(bytes, png);
  }
  const std::int64_t area = std::int64_t(bitmap.width) * bitmap.height;
  if (std::int64_t(png.width) * png.height > area ||
      (std::int64_t(png.width) * png.height == area && bitmap.bits < 32))
    return DecodePng(bytes, png);
  return bitmap;
}

// The icon's pixel in the library's words: drawn over black, opaque; in alpha mode what the
// mask or the alpha lets through keeps its transparency.
uint PixelOf(const IconImage& icon, size_t i) {
  if (!GFXFile::alpha) return icon.Over(i, 0);
  if (!icon.alpha.empty()) return icon.colour[i] | static_cast<uint>(255 - icon.alpha[i]) << 24;
  const uint drawn = icon.Over(i, 0);
  return icon.mask[i] != 0 && drawn == 0 ? 0xFF000000u : drawn;
}

}  // namespace

int ICOFile::Test(TStream* stream, GFXFileDesc* desc) {
  if (stream == nullptr) return 0;
  const std::int64_t position = stream->Position();
  IconImage icon;
  try {
    // An icon file starts 00 00 01 00; anything else is not read further.
    uchar head[4] = {};
    const int got = stream->Read(head, sizeof(head));
    stream->SetPosition(position);
    if (got < 4 || GetLE16(head) != 0 || GetLE16(head + 2) != 1) return 0;
    icon = DecodeIcon(stream);
  } catch (const Exception&) {
    stream->SetPosition(position);
    return 0;
  }
  stream->SetPosition(position);
  if (desc != nullptr) {
    desc->ClearProbeFields();
    desc->width = icon.width;
    desc->height = icon.height;
    desc->colour = true;
    desc->palette = true;
    desc->bits = 8;
    desc->sample_bits = 8;
    desc->supported = 1;
  }
  return 1;
}

bool ICOFile::Load(Buffer& dst, TStream* stream, int, GFXtra32*, GFXFileDesc*) {
  IconImage icon;
  try {
    icon = DecodeIcon(stream);
  } catch (const EInvalidGraphic&) {
    ThrowInvalidImage();
  }
  if (!Step(50)) return false;
  const TargetArea area = PrepareTarget(dst, icon.width, icon.height);
  for (int y = 0; y < area.rows; ++y) {
    uint* out = TargetRow(dst, y);
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(icon.width);
    for (int x = 0; x < area.columns; ++x) out[x] = PixelOf(icon, row + static_cast<size_t>(x));
  }
  return true;
}
