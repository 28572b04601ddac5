// BMP and PNG files to and from packed DIBs.

#include "platform/user/DesktopImageFile.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/gdi/DibFile.h"
#include "platform/gdi/DibRow.h"
#include "platform/user/ClipboardImage.h"
#include "platform/user/ZlibData.h"

namespace {

// A PNG becomes a 32-bit DIB: deflate data of a few hundred kilobytes can claim gigabytes, so
// a picture is held to 256 MB as a DIB (BMP files hold their rows, which bounds them).
constexpr std::int64_t kMaxPngPixels = std::int64_t(1) << 26;

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}
std::uint32_t Be32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// A 40-byte header for a bottom-up DIB.
void PutDibHeader(std::vector<std::uint8_t>& out, int width, int height, int bits, std::uint32_t colours,
                  std::uint32_t imageSize) {
  PutLe32(out, 40);
  PutLe32(out, static_cast<std::uint32_t>(width));
  PutLe32(out, static_cast<std::uint32_t>(height));
  PutLe16(out, 1);
  PutLe16(out, static_cast<std::uint32_t>(bits));
  PutLe32(out, 0);  // BI_RGB
  PutLe32(out, imageSize);
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe32(out, colours);
  PutLe32(out, 0);
}

// The rows of a checked DIB as 32-bit pixels top row first, with the transparency byte of
// 32-bit BI_RGB pixels kept.
std::vector<std::uint32_t> TopDownPixels(const std::uint8_t* dib, const PackedDibLayout& layout) {
  const BITMAPINFOHEADER& h = layout.header;
  const int width = h.biWidth, height = std::abs(h.biHeight);
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
  DibRowFormat format;
  format.bits = h.biBitCount;
  std::vector<RGBQUAD> table(layout.tableEntries);
  for (int i = 0; i < layout.tableEntries; ++i) {
    const std::uint8_t* q = dib + layout.tableOffset + 4 * i;
    table[i] = RGBQUAD{q[0], q[1], q[2], 0};
  }
  format.table = table.data();
  format.entries = h.biBitCount <= 8 ? layout.tableEntries : 0;
  if (h.biCompression == 3) std::memcpy(format.masks, layout.masks, sizeof format.masks);
  const size_t stride = DibRowBytes(width, h.biBitCount);
  const bool keepTop = h.biBitCount == 32 && h.biCompression == 0;
  for (int y = 0; y < height; ++y) {
    const int memRow = h.biHeight > 0 ? height - 1 - y : y;
    const std::uint8_t* row = dib + layout.bitsOffset + static_cast<size_t>(memRow) * stride;
    std::uint32_t* out = pixels.data() + static_cast<size_t>(y) * width;
    UnpackDibRow(format, row, width, out);
    if (keepTop)
      for (int x = 0; x < width; ++x) out[x] |= std::uint32_t(row[4 * x + 3]) << 24;
  }
  return pixels;
}

void PutChunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
  PutBe32(png, static_cast<std::uint32_t>(data.size()));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  PutBe32(png, Crc32(png.data() + start, png.size() - start));
}

const std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

}  // namespace

std::vector<std::uint8_t> BmpFileFromPackedDib(const std::uint8_t* dib, size_t size) {
  PackedDibLayout layout;
  if (!ReadPackedDibLayout(dib, size, layout)) return {};
  std::vector<std::uint8_t> body;
  const BITMAPINFOHEADER& h = layout.header;
  if (h.biBitCount == 32) {
    const int width = h.biWidth, height = std::abs(h.biHeight);
    const std::vector<std::uint32_t> pixels = TopDownPixels(dib, layout);
    const size_t stride = DibRowBytes(width, 24);
    PutDibHeader(body, width, height, 24, 0, static_cast<std::uint32_t>(stride * height));
    for (int y = height - 1; y >= 0; --y) {
      const std::uint32_t* p = pixels.data() + static_cast<size_t>(y) * width;
      for (int x = 0; x < width; ++x) {
        body.push_back(static_cast<std::uint8_t>(p[x]));
        body.push_back(static_cast<std::uint8_t>(p[x] >> 8));
        body.push_back(static_cast<std::uint8_t>(p[x] >> 16));
      }
      body.resize(body.size() + stride - 3 * static_cast<size_t>(width), 0);
    }
  } else {
    body.assign(dib, dib + layout.bitsOffset + layout.bitsSize);
  }
  const size_t bitsOffset = 14 + (h.biBitCount == 32 ? 40 : layout.bitsOffset);
  std::vector<std::uint8_t> file{'B', 'M'};
  PutLe32(file, static_cast<std::uint32_t>(14 + body.size()));
  PutLe32(file, 0);
  PutLe32(file, static_cast<std::uint32_t>(bitsOffset));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

std::vector<std::uint8_t> PngFileFromPackedDib(const std::uint8_t* dib, size_t size) {
  PackedDibLayout layout;
  if (!ReadPackedDibLayout(dib, size, layout)) return {};
  const int width = layout.header.biWidth, height = std::abs(layout.header.biHeight);
  const std::vector<std::uint32_t> pixels = TopDownPixels(dib, layout);
  bool alpha = false;
  for (std::uint32_t p : pixels) alpha = alpha || (p >> 24) != 0;
  const int channels = alpha ? 4 : 3;
  std::vector<std::uint8_t> raw;
  raw.reserve((static_cast<size_t>(width) * channels + 1) * height);
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    const std::uint32_t* p = pixels.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      raw.push_back(static_cast<std::uint8_t>(p[x] >> 16));
      raw.push_back(static_cast<std::uint8_t>(p[x] >> 8));
      raw.push_back(static_cast<std::uint8_t>(p[x]));
      if (alpha) raw.push_back(static_cast<std::uint8_t>(255 - (p[x] >> 24)));
    }
  }
  std::vector<std::uint8_t> png(kPngSignature, kPngSignature + 8);
  std::vector<std::uint8_t> header;
  PutBe32(header, static_cast<std::uint32_t>(width));
  PutBe32(header, static_cast<std::uint32_t>(height));
  header.push_back(8);
  header.push_back(alpha ? 6 : 2);
  header.push_back(0);
  header.push_back(0);
  header.push_back(0);
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", StoredZlibStream(raw.data(), raw.size()));
  PutChunk(png, "IEND", {});
  return png;
}

bool PackedDibFromBmpFile(const std::uint8_t* file, size_t size, std::vector<std::uint8_t>& dib) {
  dib.clear();
  if (!file || size < 14 + 40 || file[0] != 'B' || file[1] != 'M') return false;
  const std::uint32_t bitsOffset = Le32(file + 10);
  // The header and table as they follow the file header, the rows where the file says.
  PackedDibLayout layout;
  const std::uint8_t* info = file + 14;
  if (bitsOffset < 14 || bitsOffset > size) return false;
  if (!ReadPackedDibLayout(info, size - 14, layout)) return false;
  if (bitsOffset - 14 < layout.tableOffset + layout.tableEntries * 4u) return false;
  const size_t rowsAt = bitsOffset - 14;
  if (layout.bitsSize > size - bitsOffset) return false;
  layout.bitsOffset = rowsAt;
  const BITMAPINFOHEADER& h = layout.header;
  const int width = h.biWidth, height = std::abs(h.biHeight);
  if (h.biBitCount <= 8) {
    const size_t stride = DibRowBytes(width, h.biBitCount);
    PutDibHeader(dib, width, height, h.biBitCount, h.biClrUsed, static_cast<std::uint32_t>(stride * height));
    dib.insert(dib.end(), info + layout.tableOffset, info + layout.tableOffset + layout.tableEntries * 4u);
    for (int y = 0; y < height; ++y) {
      const int memRow = h.biHeight > 0 ? y : height - 1 - y;  // bottom row first
      const std::uint8_t* row = info + rowsAt + static_cast<size_t>(memRow) * stride;
      dib.insert(dib.end(), row, row + stride);
    }
    return true;
  }
  const std::vector<std::uint32_t> pixels = TopDownPixels(info, layout);
  PutDibHeader(dib, width, height, 32, 0, static_cast<std::uint32_t>(4u * width * height));
  for (int y = height - 1; y >= 0; --y)
    for (int x = 0; x < width; ++x) PutLe32(dib, pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF);
  return true;
}

namespace {

// The stages of reading a PNG: its header, the chunks up to the image end, the filtered
// rows, then the pixels.
class PngReader {
public:
  PngReader(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Read(std::vector<std::uint8_t>& dib) {
    return ReadSignature() && ReadChunks() && Inflate() && Unfilter() && MakeDib(dib);
  }

private:
  bool ReadSignature() { return size_ >= 8 && std::memcmp(data_, kPngSignature, 8) == 0; }

  bool ReadHeader(const std::uint8_t* p, std::uint32_t length) {
    if (length != 13) return false;
    width_ = Be32(p);
    height_ = Be32(p + 4);
    depth_ = p[8];
    colourType_ = p[9];
    if (p[10] != 0 || p[11] != 0 || p[12] != 0) return false;  // deflate, adaptive filters, no interlace
    if (width_ == 0 || height_ == 0 || width_ > 0x7FFFFFFF || height_ > 0x7FFFFFFF) return false;
    if (std::int64_t(width_) * height_ > kMaxPngPixels) return false;
    switch (colourType_) {
      case 0: channels_ = 1; if (depth_ != 1 && depth_ != 2 && depth_ != 4 && depth_ != 8 && depth_ != 16) return false; break;
      case 3: channels_ = 1; if (depth_ != 1 && depth_ != 2 && depth_ != 4 && depth_ != 8) return false; break;
      case 2: channels_ = 3; if (depth_ != 8 && depth_ != 16) return false; break;
      case 4: channels_ = 2; if (depth_ != 8 && depth_ != 16) return false; break;
      case 6: channels_ = 4; if (depth_ != 8 && depth_ != 16) return false; break;
      default: return false;
    }
    return true;
  }

  bool ReadChunks() {
    size_t pos = 8;
    bool header = false;
    for (;;) {
      if (size_ - pos < 12) return false;
      const std::uint32_t length = Be32(data_ + pos);
      if (length > size_ - pos - 12) return false;
      const std::uint8_t* type = data_ + pos + 4;
      const std::uint8_t* body = type + 4;
      if (Be32(body + length) != Crc32(type, length + 4)) return false;
      const std::string name(reinterpret_cast<const char*>(type), 4);
      if (!header) {
        if (name != "IHDR" || !ReadHeader(body, length)) return false;
        header = true;
      } else if (name == "PLTE") {
        if (length % 3 || length / 3 > 256 || length == 0) return false;
        palette_.assign(length / 3, 0xFF000000u);
        for (std::uint32_t i = 0; i < length / 3; ++i)
          palette_[i] = 0xFF000000u | std::uint32_t(body[3 * i]) << 16 | std::uint32_t(body[3 * i + 1]) << 8 | body[3 * i + 2];
      } else if (name == "tRNS") {
        if (colourType_ == 3) {
          for (std::uint32_t i = 0; i < length && i < palette_.size(); ++i)
            palette_[i] = (palette_[i] & 0xFFFFFF) | std::uint32_t(body[i]) << 24;
        } else if (colourType_ == 0 && length == 2) {
          greyKey_ = body[0] << 8 | body[1];
        } else if (colourType_ == 2 && length == 6) {
          rgbKey_ = {body[0] << 8 | body[1], body[2] << 8 | body[3], body[4] << 8 | body[5]};
        }
      } else if (name == "IDAT") {
        compressed_.insert(compressed_.end(), body, body + length);
      } else if (name == "IEND") {
        return !compressed_.empty() && (colourType_ != 3 || !palette_.empty());
      } else if (!(type[0] & 0x20)) {
        return false;  // a critical chunk this reader does not know
      }
      pos += 12 + length;
    }
  }

  bool Inflate() {
    rowBytes_ = (static_cast<size_t>(width_) * channels_ * depth_ + 7) / 8;
    const size_t expected = (rowBytes_ + 1) * height_;
    return InflateZlibStream(compressed_.data(), compressed_.size(), expected, raw_);
  }

  bool Unfilter() {
    const size_t bpp = std::max<size_t>(1, static_cast<size_t>(channels_) * depth_ / 8);
    std::vector<std::uint8_t> previous(rowBytes_, 0);
    rows_.resize(rowBytes_ * height_);
    for (std::uint32_t y = 0; y < height_; ++y) {
      const std::uint8_t* in = raw_.data() + y * (rowBytes_ + 1);
      std::uint8_t* out = rows_.data() + y * rowBytes_;
      const int filter = in[0];
      ++in;
      for (size_t i = 0; i < rowBytes_; ++i) {
        const int a = i >= bpp ? out[i - bpp] : 0, b = previous[i], c = i >= bpp ? previous[i - bpp] : 0;
        int predicted;
        switch (filter) {
          case 0: predicted = 0; break;
          case 1: predicted = a; break;
          case 2: predicted = b; break;
          case 3: predicted = (a + b) / 2; break;
          case 4: {
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            break;
          }
          default: return false;
        }
        out[i] = static_cast<std::uint8_t>(in[i] + predicted);
      }
      std::memcpy(previous.data(), out, rowBytes_);
    }
    return true;
  }

  // Sample i of a row, scaled to 8 bits (16-bit samples keep the high byte); raw also
  // gives the sample as stored, for the transparent colour key.
  int Sample(const std::uint8_t* row, size_t i, int& raw) const {
    if (depth_ == 16) {
      raw = row[2 * i] << 8 | row[2 * i + 1];
      return row[2 * i];
    }
    if (depth_ == 8) return raw = row[i];
    const size_t bit = i * depth_;
    raw = (row[bit / 8] >> (8 - depth_ - bit % 8)) & ((1 << depth_) - 1);
    return colourType_ == 3 ? raw : raw * 255 / ((1 << depth_) - 1);
  }

  bool MakeDib(std::vector<std::uint8_t>& dib) {
    dib.clear();
    dib.reserve(40 + 4 * static_cast<size_t>(width_) * height_);
    PutDibHeader(dib, static_cast<int>(width_), static_cast<int>(height_), 32, 0,
                 static_cast<std::uint32_t>(4u * width_ * height_));
    for (std::uint32_t y = height_; y-- > 0;) {
      const std::uint8_t* row = rows_.data() + y * rowBytes_;
      for (std::uint32_t x = 0; x < width_; ++x) {
        int raw[4] = {0, 0, 0, 0}, s[4] = {0, 0, 0, 255};
        for (int c = 0; c < channels_; ++c) s[c] = Sample(row, static_cast<size_t>(x) * channels_ + c, raw[c]);
        std::uint32_t argb;
        switch (colourType_) {
          case 0: argb = (raw[0] == greyKey_ ? 0u : 0xFF000000u) | std::uint32_t(s[0]) * 0x010101u; break;
          case 4: argb = std::uint32_t(s[1]) << 24 | std::uint32_t(s[0]) * 0x010101u; break;
          case 3:
            if (static_cast<size_t>(raw[0]) >= palette_.size()) return false;
            argb = palette_[raw[0]];
            break;
          case 2: {
            const bool key = raw[0] == rgbKey_[0] && raw[1] == rgbKey_[1] && raw[2] == rgbKey_[2];
            argb = (key ? 0u : 0xFF000000u) | std::uint32_t(s[0]) << 16 | std::uint32_t(s[1]) << 8 | std::uint32_t(s[2]);
            break;
          }
          default:
            argb = std::uint32_t(s[3]) << 24 | std::uint32_t(s[0]) << 16 | std::uint32_t(s[1]) << 8 | std::uint32_t(s[2]);
        }
        // Alpha becomes the transparency byte: 0 for opaque.
        PutLe32(dib, ((255 - (argb >> 24)) << 24) | (argb & 0xFFFFFF));
      }
    }
    return true;
  }

  const std::uint8_t* data_;
  size_t size_;
  std::uint32_t width_ = 0, height_ = 0;
  int depth_ = 0, colourType_ = 0, channels_ = 0;
  std::vector<std::uint32_t> palette_;
  int greyKey_ = -1;
  std::array<int, 3> rgbKey_{-1, -1, -1};
  std::vector<std::uint8_t> compressed_, raw_, rows_;
  size_t rowBytes_ = 0;
};

}  // namespace

bool PackedDibFromPngFile(const std::uint8_t* file, size_t size, std::vector<std::uint8_t>& dib) {
  dib.clear();
  if (!file) return false;
  PngReader reader(file, size);
  if (reader.Read(dib)) return true;
  dib.clear();
  return false;
}
