#include "platform/user/IconImage.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/gdi/DibFile.h"

namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kInfoHeaderSize = 40;
constexpr int kMaxSide = 1024;

[[noreturn]] void NotAnIcon() { throw EInvalidGraphic(kIconImageError); }

struct Candidate {
  const std::uint8_t* data = nullptr;
  size_t size = 0;
  int width = 0;
  int height = 0;
  int bits = 0;
};

bool KnownDepth(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The image's DIB header, checked; false for images this decoder does not read.
bool Describe(const std::uint8_t* data, size_t size, Candidate& c) {
  if (size < kInfoHeaderSize) return false;
  const std::uint32_t headerSize = Le32(data);
  const auto width = static_cast<std::int32_t>(Le32(data + 4));
  const auto doubleHeight = static_cast<std::int32_t>(Le32(data + 8));
  c.bits = static_cast<int>(Le16(data + 14));
  if (headerSize < kInfoHeaderSize || headerSize > size || Le32(data + 16) != 0) return false;
  if (width <= 0 || width > kMaxSide || doubleHeight < 2 || doubleHeight > 2 * kMaxSide) return false;
  if (!KnownDepth(c.bits)) return false;
  c.data = data;
  c.size = size;
  c.width = width;
  c.height = doubleHeight / 2;
  return true;
}

std::vector<Candidate> Candidates(const std::uint8_t* data, size_t size) {
  if (size < kDirectorySize || Le16(data) != 0 || Le16(data + 2) != 1) NotAnIcon();
  const size_t count = Le16(data + 4);
  if (count == 0 || size < kDirectorySize + count * kEntrySize) NotAnIcon();
  std::vector<Candidate> found;
  for (size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = data + kDirectorySize + i * kEntrySize;
    const std::uint32_t length = Le32(entry + 8), offset = Le32(entry + 12);
    if (offset > size || length > size - offset) continue;
    Candidate c;
    if (Describe(data + offset, length, c)) found.push_back(c);
  }
  // The largest first, the deepest of equal sizes first.
  std::stable_sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
    const long areaA = long(a.width) * a.height, areaB = long(b.width) * b.height;
    return areaA != areaB ? areaA > areaB : a.bits > b.bits;
  });
  return found;
}


std::vector<std::uint32_t> ColourTable(const Candidate& c, size_t& at) {
  at = Le32(c.data);
  if (c.bits > 8) return {};
  size_t entries = Le32(c.data + 32);
  if (entries == 0 || entries > (1u << c.bits)) entries = size_t(1) << c.bits;
  if (c.size - at < entries * 4) NotAnIcon();
  std::vector<std::uint32_t> table(256, 0);
  for (size_t i = 0; i < entries; ++i, at += 4)
    table[i] = std::uint32_t(c.data[at + 2]) << 16 | std::uint32_t(c.data[at + 1]) << 8 | c.data[at];
  return table;
}

std::uint32_t PixelOf(const std::uint8_t* row, int x, int bits, const std::vector<std::uint32_t>& table) {
  switch (bits) {
    case 1: return table[(row[x >> 3] >> (7 - (x & 7))) & 1];
    case 4: return table[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
    case 8: return table[row[x]];
    case 16: {
      const unsigned v = Le16(row + 2 * x);
      const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
      return (r << 3 | r >> 2) << 16 | (g << 3 | g >> 2) << 8 | (b << 3 | b >> 2);
    }
    default: {
      const std::uint8_t* p = row + size_t(x) * size_t(bits / 8);
      return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }
  }
}

IconImage Decode(const Candidate& c) {
  IconImage icon;
  icon.width = c.width;
  icon.height = c.height;
  icon.bits = c.bits;
  size_t at = 0;
  const std::vector<std::uint32_t> table = ColourTable(c, at);
  const size_t colourStride = DibRowBytes(c.width, c.bits), maskStride = DibRowBytes(c.width, 1);
  const size_t colourSize = colourStride * size_t(c.height), maskSize = maskStride * size_t(c.height);
  if (c.size - at < colourSize) NotAnIcon();
  const bool hasMask = c.size - at - colourSize >= maskSize;
  if (!hasMask && c.bits != 32) NotAnIcon();  // only alpha images may leave the mask out
  const size_t pixels = size_t(c.width) * size_t(c.height);
  icon.colour.resize(pixels);
  icon.mask.assign(pixels, 0);
  std::vector<std::uint8_t> alpha(pixels, 0);
  bool anyAlpha = false;
  for (int y = 0; y < c.height; ++y) {
    const size_t stored = size_t(c.height - 1 - y);  // rows are stored bottom-up
    const std::uint8_t* row = c.data + at + stored * colourStride;
    const std::uint8_t* maskRow = c.data + at + colourSize + stored * maskStride;
    for (int x = 0; x < c.width; ++x) {
      const size_t i = size_t(y) * size_t(c.width) + size_t(x);
      icon.colour[i] = PixelOf(row, x, c.bits, table);
      if (hasMask) icon.mask[i] = (maskRow[x >> 3] >> (7 - (x & 7))) & 1;
      if (c.bits == 32) anyAlpha |= (alpha[i] = row[4 * x + 3]) != 0;
    }
  }
  if (anyAlpha) icon.alpha = std::move(alpha);
  return icon;
}

std::uint32_t Blend(std::uint32_t colour, std::uint32_t background, unsigned alpha) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const unsigned c = (colour >> shift) & 0xFF, b = (background >> shift) & 0xFF;
    out |= ((c * alpha + b * (255 - alpha) + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

std::uint32_t IconImage::Over(size_t index, std::uint32_t background) const {
  if (!alpha.empty()) return Blend(colour[index], background, alpha[index]);
  return ((mask[index] ? background : 0) ^ colour[index]) & 0x00FFFFFF;
}

IconImage ReadIconImage(const std::uint8_t* data, size_t size) {
  const std::vector<Candidate> found = Candidates(data, size);
  if (found.empty()) NotAnIcon();
  return Decode(found.front());
}
