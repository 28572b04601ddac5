// JPEG files from untrusted bytes: probed and loaded by the JPEG codec alone; what loads is
// saved again (quality, grey and progressive chosen by the last input byte) and must load
// back at the same size, grey staying grey.

#include <cstdint>
#include <cstdlib>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "vorlen/formats/GFXFile.h"

namespace {

// Larger images are legal but only slow the search down.
constexpr long long kMostPixels = 1 << 20;

GFXFile* Jpeg() { return GFXFile::GetDefaultFormat("x.jpg"); }

void SaveAndReload(Buffer& image, std::uint8_t choice) {
  GFXSaveParams params;
  params.bits = 24;
  params.grey = (choice & 1) != 0;
  params.interlaced = (choice & 2) != 0;
  params.quality = static_cast<uchar>(1 + (choice >> 2) * 99 / 63);
  TMemoryStream out;
  if (!Jpeg()->Save(image, &out, &params, nullptr)) std::abort();
  out.SetPosition(0);
  GFXFileDesc desc;
  if (Jpeg()->Test(&out, &desc) != 1 || desc.interlaced) std::abort();
  Buffer back;
  if (!Jpeg()->Load(back, &out, 0, nullptr, &desc)) std::abort();
  if (back.Width() != image.Width() || back.Height() != image.Height()) std::abort();
  if (desc.interlaced != params.interlaced || desc.colour == params.grey) std::abort();
  if (params.grey) {
    for (int y = 0; y < back.Height(); ++y)
      for (int x = 0; x < back.Width(); ++x)
        if (*back.At(x, y) != 0x010101u * (*back.At(x, y) & 255)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t choice = size > 0 ? data[size - 1] : 0;
  TMemoryStream in;
  in.Write(data, static_cast<int>(size));
  in.SetPosition(0);
  GFXFileDesc desc;
  try {
    // Only what the probe has measured is loaded: a frame it did not reach is not loaded.
    if (Jpeg()->Test(&in, &desc) != 0 && desc.width > 0 &&
        static_cast<long long>(desc.width) * desc.height <= kMostPixels) {
      Buffer image;
      if (Jpeg()->Load(image, &in, 0, nullptr, &desc) && !image.Empty()) SaveAndReload(image, choice);
    }
  } catch (const Exception&) {
    // A clear error is the right answer to a damaged file.
  }
  return 0;
}
