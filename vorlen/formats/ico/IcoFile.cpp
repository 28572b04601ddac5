#include "vorlen/formats/ico/IcoFile.h"

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/win/IconImage.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"

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

IconImage DecodeIcon(TStream* stream) {
  const std::vector<uchar> bytes = ReadRest(stream);
  return ReadIconImage(bytes.data(), bytes.size());
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
