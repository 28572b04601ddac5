// Metafiles from untrusted bytes: the input is read as a Windows or enhanced metafile and,
// when it reads, played into a small picture and into one of its own size (when that is
// small), then loaded again through the image codec. A damaged file must fail with
// EInvalidGraphic, when read or while it plays; nothing else may escape.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Metafile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "vorlen/formats/GFXFile.h"

namespace {

// Larger pictures are legal but only slow the search down.
constexpr long long kMostPixels = 256 * 256;

// A memory context with a 32-bit section of width x height selected into it.
class Surface {
public:
  Surface(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc_ == nullptr || bitmap_ == nullptr) std::abort();
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~Surface() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  HDC Dc() const { return dc_; }

private:
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

void Play(const Metafile& metafile, int width, int height) {
  Surface surface(width, height);
  try {
    metafile.Play(surface.Dc(), RECT{0, 0, width, height});
  } catch (const EInvalidGraphic&) {
    // Playback of a damaged record stops with the graphic error.
  }
}

void LoadThroughCodec(const std::uint8_t* data, std::size_t size, bool enhanced) {
  GFXFile* codec = GFXFile::GetDefaultFormat(enhanced ? "x.emf" : "x.wmf");
  if (codec == nullptr) std::abort();
  TMemoryStream in;
  in.Write(data, static_cast<int>(size));
  in.SetPosition(0);
  try {
    Buffer image;
    codec->Load(image, &in, 0, nullptr, nullptr);
  } catch (const Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Metafile metafile;
  try {
    metafile.Load(std::vector<std::uint8_t>(data, data + size));
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  if (metafile.Width() < 1 || metafile.Height() < 1) std::abort();
  Play(metafile, 48, 32);
  if (static_cast<long long>(metafile.Width()) * metafile.Height() <= kMostPixels) {
    Play(metafile, metafile.Width(), metafile.Height());
    LoadThroughCodec(data, size, metafile.Enhanced());
  }
  return 0;
}
