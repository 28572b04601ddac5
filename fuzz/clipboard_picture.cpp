// Pictures from the desktop's clipboard, from untrusted bytes: the input is read as a PNG
// file and as a BMP file, as pictures another program offers are read. What reads must be a
// packed DIB the clipboard accepts; it is turned into a bitmap, and written as a PNG and as a
// BMP file again, which must read back to the same DIB (PNG: the same 32-bit pixels).

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/user/ClipboardImage.h"
#include "platform/user/DesktopImageFile.h"

namespace {

// Larger pictures are legal but only slow the search down.
constexpr long long kMostPixels = 128 * 128;

void CheckDib(const std::vector<std::uint8_t>& dib, bool fromPng) {
  PackedDibLayout layout;
  if (!ReadPackedDibLayout(dib.data(), dib.size(), layout)) std::abort();
  if (fromPng && layout.header.biBitCount != 32) std::abort();
  if (static_cast<long long>(layout.header.biWidth) * std::abs(layout.header.biHeight) > kMostPixels) return;
  if (HBITMAP bitmap = BitmapFromPackedDib(dib.data(), dib.size())) DeleteObject(bitmap);
  const std::vector<std::uint8_t> png = PngFileFromPackedDib(dib.data(), dib.size());
  std::vector<std::uint8_t> again;
  if (!PackedDibFromPngFile(png.data(), png.size(), again)) std::abort();
  if (fromPng && again != dib) std::abort();
  const std::vector<std::uint8_t> bmp = BmpFileFromPackedDib(dib.data(), dib.size());
  if (!PackedDibFromBmpFile(bmp.data(), bmp.size(), again)) std::abort();
  if (layout.header.biBitCount <= 8 && again != dib) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> dib;
  if (PackedDibFromPngFile(data, size, dib)) CheckDib(dib, true);
  if (PackedDibFromBmpFile(data, size, dib)) CheckDib(dib, false);
  return 0;
}
