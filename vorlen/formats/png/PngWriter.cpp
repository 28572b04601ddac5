#include "vorlen/formats/png/PngWriter.h"

#include <algorithm>
#include <cstring>

#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/SaveRows.h"
#include "vorlen/formats/png/Deflate.h"
#include "vorlen/formats/png/PngChunks.h"
#include "vorlen/formats/png/PngFilter.h"

using namespace png;

namespace {

constexpr uchar kSoftware[17] = {'S', 'o', 'f', 't', 'w', 'a', 'r', 'e', 0,
                                 'D', 'o', 'r', 'n', 'i', 'c', 'k', 0};

}  // namespace

PngWriter::PngWriter(TStream* stream, GFXSaveParams* params, GFXtra32* extra)
    : stream_(stream), params_(params), extra_(extra) {}

bool PngWriter::Save(Buffer& image) {
  stream_->WriteBuffer(kSignature, 8);
  WriteHeader(image);
  WriteSmallChunks();
  if (image.pixels == nullptr || image.Empty()) {
    PNGWriteChunk(stream_, kIEND, nullptr, 0);
    return true;
  }
  if (!WriteImageData(image)) return false;
  PNGWriteChunk(stream_, kIEND, nullptr, 0);
  return true;
}

void PngWriter::WriteHeader(const Buffer& image) {
  const int bits = params_->bits;
  depth_ = bits <= 8 ? bits : 8;
  colourType_ = bits <= 8 ? kPalette : bits == 24 ? kRGB : kRGBA;
  bytesPerPixel_ = bits <= 8 ? 1 : bits / 8;
  const bool empty = image.pixels == nullptr || image.Empty();
  uchar h[kHeaderSize];
  PutBE32(h, empty ? 0 : static_cast<uint>(image.Width()));
  PutBE32(h + 4, empty ? 0 : static_cast<uint>(image.Height()));
  h[8] = static_cast<uchar>(depth_);
  h[9] = static_cast<uchar>(colourType_);
  h[10] = 0;
  h[11] = 0;
  h[12] = params_->interlaced ? 1 : 0;
  PNGWriteChunk(stream_, kIHDR, h, kHeaderSize);
}

void PngWriter::WriteSmallChunks() {
  PNGWriteChunk(stream_, kTEXT, kSoftware, sizeof kSoftware);
  if (colourType_ == kPalette) {
    static const uchar kBlack[768] = {};
    const int colours = std::clamp<int>(params_->colours, 0, 256);
    const uchar* palette = params_->palette != nullptr ? params_->palette : kBlack;
    PNGWriteChunk(stream_, kPLTE, palette, static_cast<uint>(colours * 3));
  }
  if (extra_ != nullptr) {
    const std::vector<uchar> background = ColourBytes(extra_->background);
    PNGWriteChunk(stream_, kBKGD, background.data(), static_cast<uint>(background.size()));
  }
  if (params_->transparent && colourType_ != kRGBA) {
    const uint key = extra_ != nullptr ? extra_->transparent : 0;
    if (colourType_ == kPalette) {
      // The alphas of entries 0 up to the key's index: all opaque but that one.
      std::vector<uchar> alphas(key >> 24, 255);
      alphas.push_back(0);
      PNGWriteChunk(stream_, kTRNS, alphas.data(), static_cast<uint>(alphas.size()));
    } else {
      const std::vector<uchar> samples = ColourBytes(key);
      PNGWriteChunk(stream_, kTRNS, samples.data(), static_cast<uint>(samples.size()));
    }
  }
}

// A colour as the chunks hold it: a palette index (the colour's top byte, where the
// registry put it), or three 16-bit samples holding the 8-bit components.
std::vector<uchar> PngWriter::ColourBytes(uint colour) const {
  if (colourType_ == kPalette) return {uchar(colour >> 24)};
  return {0, uchar(colour >> 16), 0, uchar(colour >> 8), 0, uchar(colour)};
}

bool PngWriter::WriteImageData(Buffer& image) {
  const std::int64_t rowBytes = RowBytes(params_->bits <= 8 ? depth_ : params_->bits, image.Width());
  current_.assign(static_cast<size_t>(rowBytes), 0);
  previous_.assign(static_cast<size_t>(rowBytes), 0);
  filtered_.assign(static_cast<size_t>(rowBytes), 0);
  IdatWriter idat(stream_);
  Deflate deflate(idat);
  deflate.WriteZlibHeader();
  const Pass* passes = params_->interlaced ? kAdam7 : &kWholeImage;
  const int passCount = params_->interlaced ? 7 : 1;
  SaveRows rows(image, params_->composite && colourType_ != kPalette, GFXFile::SaveBackground(extra_));
  for (int p = 0; p < passCount; ++p)
    if (!WritePass(deflate, image, rows, passes[p], p)) return false;
  deflate.FinishZlib();
  idat.Close();
  return true;
}

bool PngWriter::WritePass(Deflate& deflate, Buffer& image, SaveRows& rows, const Pass& pass, int passIndex) {
  const int width = image.Width();
  const int height = image.Height();
  const int count = static_cast<int>(pass.Width(width));
  if (count == 0) return true;
  const int bits = params_->bits <= 8 ? depth_ : params_->bits;
  const int length = static_cast<int>(RowBytes(bits, count));
  std::fill_n(previous_.begin(), length, uchar(0));
  for (int y = pass.firstRow; y < height; y += pass.rowStep) {
    MakeRow(image, rows, pass, y, count);
    const uchar filter = static_cast<uchar>(PNGChooseFilter(current_.data(), previous_.data(), bytesPerPixel_, length));
    PngApplyFilter(filter, current_.data(), previous_.data(), bytesPerPixel_, length, filtered_.data());
    deflate.PutByte(filter);
    deflate.Write(filtered_.data(), static_cast<size_t>(length));
    current_.swap(previous_);
    if (!params_->interlaced && !GFXFile::Step(static_cast<int>(std::int64_t(y) * 100 / height)))
      return false;
  }
  return !params_->interlaced || GFXFile::Step(14 * passIndex);
}

// One row of the pass as file bytes in current_.
void PngWriter::MakeRow(Buffer& image, SaveRows& rows, const Pass& pass, int y, int count) {
  uchar* out = current_.data();
  const int step = pass.columnStep;
  const int row = image.rect.top + y;
  if (colourType_ == kPalette) {
    // The index image holds one byte per pixel from where its row begins.
    const uchar* indices = reinterpret_cast<const uchar*>(image.At(image.rect.left, row)) + pass.firstColumn;
    const int perByte = 8 / depth_;
    const uint mask = (1u << depth_) - 1;
    std::memset(out, 0, static_cast<size_t>(RowBytes(depth_, count)));
    for (int i = 0; i < count; ++i) {
      const int shift = 8 - depth_ * (i % perByte + 1);
      out[i / perByte] |= static_cast<uchar>((indices[i * step] & mask) << shift);
    }
    return;
  }
  const uint* p = rows.Row(y) + pass.firstColumn;
  for (int i = 0; i < count; ++i, p += step) {
    const uint v = *p;
    *out++ = uchar(v >> 16);
    *out++ = uchar(v >> 8);
    *out++ = uchar(v);
    if (colourType_ == kRGBA) *out++ = GFXFile::alpha ? uchar(255 - (v >> 24)) : 255;
  }
}
