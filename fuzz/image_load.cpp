// Image files from untrusted bytes: the input is written to a file and loaded through the
// format registry as the program opens a file; what loads is saved again as an indexed
// bitmap, which runs the quantiser and a writer over decoded pixels.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "platform/rtl/Exceptions.h"
#include "vorlen/formats/GFXFile.h"

namespace {

// Larger images are legal but only slow the search down.
constexpr long long kMostPixels = 1 << 22;
constexpr int kMostPixelsResaved = 64 * 64;

void Resave(Buffer& image, const std::string& path, GFXtra32& extra) {
  if (image.Empty() || static_cast<long long>(image.Width()) * image.Height() > kMostPixelsResaved)
    return;
  GFXSaveParams params;
  params.bits = 8;
  params.dither = true;
  params.transparent = extra.transparent & 1;
  GFXFile::Save(image, path, &extra, &params);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string& folder = fuzz::ScratchFolder("image");
  const std::string input = folder + "/input.img";
  fuzz::WriteFile(input, data, size);
  GFXFile::SetAlpha(size > 0 && (data[size - 1] & 1) != 0);
  uchar palette[768];
  GFXFileDesc desc;
  desc.palette_data = palette;
  try {
    if (!GFXFile::Test(input, &desc)) return 0;
    if (static_cast<long long>(desc.width) * desc.height > kMostPixels) return 0;
    Buffer image;
    GFXtra32 extra;
    if (GFXFile::Load(image, input, &extra, 0, &desc)) Resave(image, folder + "/again.bmp", extra);
  } catch (const Exception&) {
    // A clear error is the right answer to a damaged file.
  }
  GFXFile::SetAlpha(false);
  return 0;
}
