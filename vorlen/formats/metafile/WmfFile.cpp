#include "vorlen/formats/metafile/WmfFile.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Metafile.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"

void RegisterWMFFile() { static WMFFile instance("Windows Metafile", "*.WMF", false); }
void RegisterEMFFile() { static WMFFile instance("Enhanced Metafile", "*.EMF", true); }

WMFFile::WMFFile(const char* name, const char* extensions, bool isEnhanced)
    : GFXFile(name, extensions, 0x00800000, 0, false, 0), enhanced(isEnhanced) {}

namespace {

constexpr std::int64_t kMaxMetafile = 64 << 20;
constexpr int kLargestSide = 14;  // bits: sides up to 16383 pixels

// Whether the first bytes can start a metafile (enhanced, placeable or plain Windows), so
// that probing another format's file does not read all of it.
bool LooksLikeMetafile(TStream* stream) {
  uchar head[44] = {};
  const std::int64_t position = stream->Position();
  const int got = stream->Read(head, sizeof(head));
  stream->SetPosition(position);
  if (got >= 44 && GetLE32(head) == 1 && GetLE32(head + 40) == 0x464D4520) return true;
  if (got >= 4 && GetLE32(head) == 0x9AC6CDD7) return true;
  return got >= 6 && (GetLE16(head) == 1 || GetLE16(head) == 2) && GetLE16(head + 2) == 9;
}

Metafile ReadMetafile(TStream* stream) {
  const std::int64_t size = stream->Size() - stream->Position();
  if (size <= 0 || size > kMaxMetafile) ThrowInvalidImage();
  std::vector<uchar> bytes(static_cast<size_t>(size));
  stream->ReadBuffer(bytes.data(), static_cast<int>(size));
  Metafile metafile;
  try {
    metafile.Load(std::move(bytes));
  } catch (const EInvalidGraphic&) {
    ThrowInvalidImage();
  }
  return metafile;
}

// A memory context with a top-down 32-bit section selected into it, released on every exit.
class DrawingSurface {
public:
  DrawingSurface(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc_ == nullptr || bitmap_ == nullptr || bits == nullptr) throw EOutOfMemory(RtlText::OutOfMemory);
    pixels_ = static_cast<uint*>(bits);
    std::fill_n(pixels_, static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~DrawingSurface() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  DrawingSurface(const DrawingSurface&) = delete;
  DrawingSurface& operator=(const DrawingSurface&) = delete;

  HDC Dc() const { return dc_; }
  const uint* Row(int y, int width) const { return pixels_ + static_cast<size_t>(y) * static_cast<size_t>(width); }

private:
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint* pixels_ = nullptr;
};

}  // namespace

int WMFFile::Test(TStream* stream, GFXFileDesc* desc) {
  if (stream == nullptr) return 0;
  const std::int64_t position = stream->Position();
  Metafile metafile;
  try {
    if (!LooksLikeMetafile(stream)) return 0;
    metafile = ReadMetafile(stream);
  } catch (const Exception&) {
    stream->SetPosition(position);
    return 0;
  }
  stream->SetPosition(position);
  if (desc != nullptr) {
    desc->ClearProbeFields();
    desc->width = metafile.Width();
    desc->height = metafile.Height();
    desc->colour = true;
    desc->bits = 24;
    desc->sample_bits = 8;
    desc->supported = 1;
  }
  return 1;
}

bool WMFFile::Load(Buffer& dst, TStream* stream, int, GFXtra32*, GFXFileDesc*) {
  const Metafile metafile = ReadMetafile(stream);
  if (!Step(50)) return false;
  const TargetArea area = PrepareTarget(dst, metafile.Width(), metafile.Height());
  if (area.columns <= 0 || area.rows <= 0) return true;
  DrawingSurface surface(area.columns, area.rows);
  try {
    metafile.Play(surface.Dc(), RECT{0, 0, metafile.Width(), metafile.Height()});
  } catch (const EInvalidGraphic&) {
    ThrowInvalidImage();
  }
  GdiFlush();
  // Row by row, so that a wider buffer or a view keeps its own stride.
  for (int y = 0; y < area.rows; ++y) RGB32RGB32s(surface.Row(y, area.columns), TargetRow(dst, y), area.columns);
  return true;
}

bool WMFFile::Save(Buffer& image, TStream* stream, GFXSaveParams*, GFXtra32*) {
  if (image.pixels == nullptr || image.Empty()) ThrowInvalidImage();
  CheckSizeFits(image, kLargestSide);
  Metafile metafile;
  try {
    metafile.Record(image.At(image.rect.left, image.rect.top), image.Width(), image.Height(), image.stride, enhanced);
  } catch (const EInvalidGraphic&) {
    ThrowInvalidImage();
  }
  if (!Step(50)) return false;
  const std::vector<uchar>& bytes = metafile.Bytes();
  stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  return true;
}
