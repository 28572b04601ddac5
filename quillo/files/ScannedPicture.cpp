#include "quillo/files/ScannedPicture.h"

#include <cstring>
#include <exception>

#include "platform/gdi/GdiTypes.h"
#include "quillo/files/ClipboardDib.h"

namespace {

constexpr double kInchesPerMetre = 0.0253994056539077;
constexpr int kFallbackResolution = 200;

}  // namespace

bool PictureFromScan(const std::uint8_t* data, std::size_t size, Buffer& picture, int& resolution) {
  ClipboardDibLayout layout;
  if (!data || !CheckClipboardDib(data, size, layout)) return false;
  try {
    if (!PictureFromClipboardDib(data, size, picture)) return false;
  } catch (const std::exception&) {
    picture.Free();
    return false;
  }
  BITMAPINFOHEADER header;
  std::memcpy(&header, data, sizeof(header));
  resolution = static_cast<int>(header.biXPelsPerMeter * kInchesPerMetre + 0.5);
  if (resolution <= 0) resolution = kFallbackResolution;
  return true;
}
