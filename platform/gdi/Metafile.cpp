#include "platform/gdi/Metafile.h"

#include <cmath>

#include "platform/rtl/Exceptions.h"
#include "platform/gdi/DibFile.h"
#include "platform/gdi/MetafilePlayer.h"

namespace {

constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint32_t kEmfEnd = 14;
constexpr size_t kEmfHeaderSize = 108;
constexpr size_t kEmfMinimumHeader = 88;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kWmfHeaderSize = 18;
constexpr int kMaxSide = 16384;
// A picture is played into a bitmap of its size: a frame of a few bytes may not ask for more.
constexpr long long kMaxPixels = 1LL << 26;
constexpr double kScreenPixelsPerInch = 96;

std::uint32_t Le32(const std::vector<std::uint8_t>& b, size_t at) {
  if (at > b.size() || b.size() - at < 4) MetafileFault();
  return ::Le32(b.data() + at);
}
std::uint16_t Le16(const std::vector<std::uint8_t>& b, size_t at) {
  if (at > b.size() || b.size() - at < 2) MetafileFault();
  return ::Le16(b.data() + at);
}
std::int32_t S32(const std::vector<std::uint8_t>& b, size_t at) { return static_cast<std::int32_t>(Le32(b, at)); }
std::int16_t S16(const std::vector<std::uint8_t>& b, size_t at) { return static_cast<std::int16_t>(Le16(b, at)); }

void Set32(std::vector<std::uint8_t>& b, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

int CheckedSide(double value) {
  const long side = std::lround(std::fabs(value));
  if (!(side >= 1 && side <= kMaxSide)) MetafileFault();
  return static_cast<int>(side);
}

// A 24-bit bottom-up packed DIB of the pixels: header, then rows.
std::vector<std::uint8_t> PackedDib(const std::uint32_t* pixels, int width, int height, int stride) {
  std::vector<std::uint8_t> dib;
  PutLe32(dib, 40), PutLe32(dib, std::uint32_t(width)), PutLe32(dib, std::uint32_t(height));
  PutLe16(dib, 1), PutLe16(dib, 24);
  for (int i = 0; i < 6; ++i) PutLe32(dib, 0);
  const size_t rowBytes = (size_t(width) * 3 + 3) & ~size_t(3);
  for (int y = height - 1; y >= 0; --y) {
    const std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      dib.push_back(static_cast<std::uint8_t>(row[x]));
      dib.push_back(static_cast<std::uint8_t>(row[x] >> 8));
      dib.push_back(static_cast<std::uint8_t>(row[x] >> 16));
    }
    dib.resize(dib.size() + rowBytes - size_t(width) * 3, 0);
  }
  return dib;
}

std::vector<std::uint8_t> EnhancedBytes(const std::vector<std::uint8_t>& dib, int width, int height) {
  std::vector<std::uint8_t> b;
  const auto hundredths = [](int pixels) { return std::uint32_t(std::lround(pixels * 2540.0 / kScreenPixelsPerInch)); };
  PutLe32(b, 1), PutLe32(b, kEmfHeaderSize);
  PutLe32(b, 0), PutLe32(b, 0), PutLe32(b, std::uint32_t(width - 1)), PutLe32(b, std::uint32_t(height - 1));
  PutLe32(b, 0), PutLe32(b, 0), PutLe32(b, hundredths(width)), PutLe32(b, hundredths(height));
  PutLe32(b, kEmfSignature), PutLe32(b, 0x10000), PutLe32(b, 0), PutLe32(b, 3);  // size filled in below
  PutLe16(b, 1), PutLe16(b, 0), PutLe32(b, 0), PutLe32(b, 0), PutLe32(b, 0);
  PutLe32(b, 960), PutLe32(b, 960), PutLe32(b, 254), PutLe32(b, 254);  // a reference device of 96 dpi
  PutLe32(b, 0), PutLe32(b, 0), PutLe32(b, 0), PutLe32(b, 254000), PutLe32(b, 254000);
  // The bitmap over the whole picture.
  const size_t record = b.size();
  const std::uint32_t bitsOffset = 80 + 40;
  PutLe32(b, 81), PutLe32(b, std::uint32_t(80 + dib.size()));
  PutLe32(b, 0), PutLe32(b, 0), PutLe32(b, std::uint32_t(width - 1)), PutLe32(b, std::uint32_t(height - 1));
  PutLe32(b, 0), PutLe32(b, 0), PutLe32(b, 0), PutLe32(b, 0), PutLe32(b, std::uint32_t(width)), PutLe32(b, std::uint32_t(height));
  PutLe32(b, 80), PutLe32(b, 40), PutLe32(b, bitsOffset), PutLe32(b, std::uint32_t(dib.size() - 40));
  PutLe32(b, DIB_RGB_COLORS), PutLe32(b, SRCCOPY), PutLe32(b, std::uint32_t(width)), PutLe32(b, std::uint32_t(height));
  b.insert(b.end(), dib.begin(), dib.end());
  (void)record;
  PutLe32(b, kEmfEnd), PutLe32(b, 20), PutLe32(b, 0), PutLe32(b, 16), PutLe32(b, 20);
  Set32(b, 48, std::uint32_t(b.size()));
  return b;
}

std::vector<std::uint8_t> WindowsBytes(const std::vector<std::uint8_t>& dib, int width, int height) {
  std::vector<std::uint8_t> b;
  PutLe32(b, kPlaceableKey), PutLe16(b, 0);
  PutLe16(b, 0), PutLe16(b, 0), PutLe16(b, std::uint32_t(width)), PutLe16(b, std::uint32_t(height));
  PutLe16(b, std::uint32_t(kScreenPixelsPerInch)), PutLe32(b, 0);
  std::uint16_t checksum = 0;
  for (size_t i = 0; i < 20; i += 2) checksum ^= ::Le16(b.data() + i);
  PutLe16(b, checksum);
  const size_t header = b.size();
  PutLe16(b, 1), PutLe16(b, 9), PutLe16(b, 0x0300), PutLe32(b, 0), PutLe16(b, 0), PutLe32(b, 0), PutLe16(b, 0);
  const auto record = [&b](std::uint16_t function, std::initializer_list<std::uint16_t> words,
                           const std::vector<std::uint8_t>& tail) {
    PutLe32(b, std::uint32_t(3 + words.size() + tail.size() / 2)), PutLe16(b, function);
    for (std::uint16_t w : words) PutLe16(b, w);
    b.insert(b.end(), tail.begin(), tail.end());
  };
  record(0x020B, {0, 0}, {});
  record(0x020C, {std::uint16_t(height), std::uint16_t(width)}, {});
  record(0x0F43, {std::uint16_t(SRCCOPY & 0xFFFF), std::uint16_t(SRCCOPY >> 16), DIB_RGB_COLORS,
                  std::uint16_t(height), std::uint16_t(width), 0, 0,
                  std::uint16_t(height), std::uint16_t(width), 0, 0}, dib);
  record(0x0000, {}, {});
  const size_t largest = 3 + 11 + dib.size() / 2;
  Set32(b, header + 6, std::uint32_t((b.size() - header) / 2));
  Set32(b, header + 12, std::uint32_t(largest));
  return b;
}

}  // namespace

void Metafile::Load(std::vector<std::uint8_t> bytes) {
  bytes_ = std::move(bytes);
  records_.clear();
  enhanced_ = bytes_.size() >= kEmfMinimumHeader && Le32(bytes_, 0) == 1 && Le32(bytes_, 40) == kEmfSignature;
  if (enhanced_) ReadEnhanced();
  else ReadWindows();
  if (static_cast<long long>(width_) * height_ > kMaxPixels) MetafileFault();
}

void Metafile::ReadEnhanced() {
  const size_t total = Le32(bytes_, 48);
  if (total > bytes_.size() || Le32(bytes_, 4) < kEmfMinimumHeader || Le32(bytes_, 4) > total) MetafileFault();
  for (size_t at = 0; at + 8 <= total;) {
    const std::uint32_t type = Le32(bytes_, at), size = Le32(bytes_, at + 4);
    if (size < 8 || size > total - at) MetafileFault();
    if (!IsKnownEnhancedRecord(type)) MetafileFault();
    records_.push_back(MetaRecord{type, bytes_.data() + at, size});
    at += size;
    if (type == kEmfEnd) break;
  }
  const double deviceX = S32(bytes_, 72), deviceY = S32(bytes_, 76);
  const double mmX = S32(bytes_, 80), mmY = S32(bytes_, 84);
  if (deviceX > 0 && deviceY > 0 && mmX > 0 && mmY > 0) pixelsPerMmX_ = deviceX / mmX, pixelsPerMmY_ = deviceY / mmY;
  const double frameWidth = double(S32(bytes_, 32)) - S32(bytes_, 24);
  const double frameHeight = double(S32(bytes_, 36)) - S32(bytes_, 28);
  if (frameWidth > 0 && frameHeight > 0) {
    width_ = CheckedSide(frameWidth * kScreenPixelsPerInch / 2540);
    height_ = CheckedSide(frameHeight * kScreenPixelsPerInch / 2540);
    frameLeft_ = S32(bytes_, 24) * pixelsPerMmX_ / 100;
    frameTop_ = S32(bytes_, 28) * pixelsPerMmY_ / 100;
    frameWidth_ = frameWidth * pixelsPerMmX_ / 100;
    frameHeight_ = frameHeight * pixelsPerMmY_ / 100;
    return;
  }
  // Without a frame, the bounds in device pixels (inclusive) are the picture.
  frameLeft_ = S32(bytes_, 8), frameTop_ = S32(bytes_, 12);
  frameWidth_ = double(S32(bytes_, 16)) - frameLeft_ + 1;
  frameHeight_ = double(S32(bytes_, 20)) - frameTop_ + 1;
  width_ = CheckedSide(frameWidth_);
  height_ = CheckedSide(frameHeight_);
}

void Metafile::ReadWindows() {
  size_t at = 0;
  bool placeable = bytes_.size() >= kPlaceableSize && Le32(bytes_, 0) == kPlaceableKey;
  if (placeable) {
    const double inch = Le16(bytes_, 14);
    frameLeft_ = S16(bytes_, 6), frameTop_ = S16(bytes_, 8);
    frameWidth_ = double(S16(bytes_, 10)) - frameLeft_;
    frameHeight_ = double(S16(bytes_, 12)) - frameTop_;
    if (inch <= 0 || frameWidth_ == 0 || frameHeight_ == 0) MetafileFault();
    width_ = CheckedSide(frameWidth_ * kScreenPixelsPerInch / inch);
    height_ = CheckedSide(frameHeight_ * kScreenPixelsPerInch / inch);
    at = kPlaceableSize;
  }
  const std::uint16_t type = Le16(bytes_, at), headerWords = Le16(bytes_, at + 2), version = Le16(bytes_, at + 4);
  if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300)) MetafileFault();
  bool sized = placeable;
  for (at += kWmfHeaderSize; at + 6 <= bytes_.size();) {
    const std::uint32_t words = Le32(bytes_, at);
    const std::uint16_t function = Le16(bytes_, at + 4);
    if (words < 3 || words > (bytes_.size() - at) / 2) MetafileFault();
    if (!IsKnownWindowsRecord(function)) MetafileFault();
    const MetaRecord record{function, bytes_.data() + at + 6, size_t(words) * 2 - 6};
    records_.push_back(record);
    at += size_t(words) * 2;
    if (!sized && function == 0x020C && record.size >= 4) {  // the first window extent sizes it
      frameHeight_ = S16(bytes_, at - record.size), frameWidth_ = S16(bytes_, at - record.size + 2);
      width_ = CheckedSide(frameWidth_);
      height_ = CheckedSide(frameHeight_);
      sized = true;
    }
    if (function == 0) break;
  }
  if (!sized) MetafileFault();
}

void Metafile::Record(const std::uint32_t* pixels, int width, int height, int stride, bool enhanced) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide ||
      static_cast<long long>(width) * height > kMaxPixels)
    MetafileFault();
  const std::vector<std::uint8_t> dib = PackedDib(pixels, width, height, stride);
  Load(enhanced ? EnhancedBytes(dib, width, height) : WindowsBytes(dib, width, height));
}

void Metafile::Play(HDC dc, const RECT& rect) const {
  MetaFrame frame{frameLeft_, frameTop_, frameWidth_, frameHeight_, pixelsPerMmX_, pixelsPerMmY_};
  MetafilePlayer player(dc, !enhanced_, frame, rect);
  for (const MetaRecord& record : records_) {
    if (enhanced_) player.PlayEnhanced(record);
    else player.PlayWindows(record);
  }
}
