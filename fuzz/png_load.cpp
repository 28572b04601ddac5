// PNG files from untrusted bytes: probed and loaded by the PNG codec alone, in or out of
// alpha mode; what loads is saved again as 24- or 32-bit PNG, interlaced or not, and must
// load back with the same pixels.

#include <cstdint>
#include <cstdlib>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "vorlen/formats/GFXFile.h"

namespace {

// Larger images are legal but only slow the search down.
constexpr long long kMostPixels = 1 << 20;

GFXFile* Png() { return GFXFile::GetDefaultFormat("x.png"); }

void ExpectSamePixels(Buffer& a, Buffer& b, uint mask) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) std::abort();
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if ((*a.At(x, y) & mask) != (*b.At(x, y) & mask)) std::abort();
}

void SaveAndReload(Buffer& image, std::uint8_t choice) {
  GFXSaveParams params;
  params.bits = (choice & 2) ? 32 : 24;
  params.interlaced = (choice & 4) != 0;
  TMemoryStream out;
  if (!Png()->Save(image, &out, &params, nullptr)) std::abort();
  out.SetPosition(0);
  Buffer back;
  if (!Png()->Load(back, &out, 0, nullptr, nullptr)) std::abort();
  ExpectSamePixels(image, back, params.bits == 32 && GFXFile::alpha ? 0xFFFFFFFF : 0xFFFFFF);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t choice = size > 0 ? data[size - 1] : 0;
  GFXFile::SetAlpha(choice & 1);
  TMemoryStream in;
  in.Write(data, static_cast<int>(size));
  in.SetPosition(0);
  uchar palette[768];
  GFXFileDesc desc;
  desc.palette_data = palette;
  try {
    if (Png()->Test(&in, &desc) != 0 &&
        static_cast<long long>(desc.width) * desc.height <= kMostPixels) {
      Buffer image;
      GFXtra32 extra;
      if (Png()->Load(image, &in, 0, &extra, &desc) && !image.Empty()) SaveAndReload(image, choice);
    }
  } catch (const Exception&) {
    // A clear error is the right answer to a damaged file.
  }
  GFXFile::SetAlpha(false);
  return 0;
}
