#include "vorlen/formats/png/PngReader.h"

#include <algorithm>
#include <cstring>

#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/png/Checksum.h"
#include "vorlen/formats/png/Inflate.h"
#include "vorlen/formats/png/PngChunks.h"
#include "vorlen/formats/png/PngFilter.h"

using namespace png;

namespace {

uint AlphaTop(uint alpha) { return GFXFile::alpha ? (255 - alpha) << 24 : 0; }

}  // namespace

PngReader::PngReader(TStream* stream, GFXtra32* extra, GFXFileDesc* desc)
    : stream_(stream), extra_(extra), desc_(desc) {}

bool PngReader::Load(Buffer& dst) {
  ReadHeader();
  if (!(h_.colourType & (kPaletteBit | kColourBit))) BuildGreyRamp();
  const uint idatLength = ReadChunksBeforeImage();
  // The image data inflates to at most kMaxInflateRatio times its size, so a few bytes cannot
  // make us reserve a huge image; other chunks (text, say) describe no pixels.
  CheckDataCanFill(static_cast<int>(h_.width), static_cast<int>(h_.height),
                   PNGImageDataLength(stream_, idatLength), {kMaxInflateRatio * 8, bitsPerPixel_});
  area_ = PrepareTarget(dst, static_cast<int>(h_.width), static_cast<int>(h_.height));
  const bool done = DecodeImage(dst, idatLength);
  MarkTransparent(dst);
  return done;
}

void PngReader::ReadHeader() {
  uchar signature[8];
  stream_->ReadBuffer(signature, 8);
  if (std::memcmp(signature, kSignature, 8) != 0) ThrowInvalidImage();
  uchar bytes[kHeaderSize];
  if (!PNGReadHeader(stream_, PNGFindChunk(stream_, kIHDR), bytes)) ThrowInvalidImage();
  h_ = ParseHeader(bytes);
  if (!IsSupported(h_)) ThrowInvalidImage();
  bitsPerPixel_ = BitsPerPixel(h_);
}

// The chunks up to the first IDAT; answers its length, with the stream at its data.
uint PngReader::ReadChunksBeforeImage() {
  for (;;) {
    const uint length = PNGReadLong(stream_);
    const uint type = PNGReadLong(stream_);
    if (length > kMaxChunkLength) ThrowInvalidImage();
    if (type == kIDAT) {
      // A palette image cannot be shown without its palette.
      if ((h_.colourType & kPaletteBit) && !sawPalette_) ThrowInvalidImage();
      return length;
    }
    if (type == kPLTE && (h_.colourType & kPaletteBit)) {
      ReadPalette(length);
    } else if (type == kTRNS && !(h_.colourType & kAlphaBit)) {
      ReadTransparency(length);
    } else if (type == kBKGD && extra_ != nullptr) {
      ReadBackground(length);
    } else {
      stream_->Seek(std::int64_t(length) + 4, soFromCurrent);
    }
  }
}

// Reads a chunk's data (at most capacity bytes are allowed) and checks its CRC.
void PngReader::ReadChecked(uint type, uint length, uchar* data, uint capacity) {
  if (length > capacity) ThrowInvalidImage();
  stream_->ReadBuffer(data, static_cast<int>(length));
  uchar name[4];
  PutBE32(name, type);
  if (PNGReadLong(stream_) != PNGCrc32(PNGCrc32(0, name, 4), data, length)) ThrowInvalidImage();
}

void PngReader::ReadPalette(uint length) {
  uchar rgb[768];
  if (length % 3 != 0) ThrowInvalidImage();
  ReadChecked(kPLTE, length, rgb, sizeof rgb);
  const int count = static_cast<int>(length / 3);
  if (desc_ != nullptr && desc_->palette_data != nullptr) {
    std::memcpy(desc_->palette_data, rgb, length);
    std::memset(desc_->palette_data + length, 0, 768 - length);
  }
  std::fill(std::begin(table_), std::end(table_), 0u);
  BGR24RGB32s(rgb, table_, count);
  sawPalette_ = true;
}

void PngReader::ReadTransparency(uint length) {
  uchar bytes[256] = {};
  if (h_.colourType & kPaletteBit) {
    ReadChecked(kTRNS, length, bytes, 256);
    for (uint i = 0; i < length; ++i) {
      if (GFXFile::alpha) table_[i] = (table_[i] & 0xFFFFFF) | AlphaTop(bytes[i]);
      // The first fully transparent entry stands for the image's transparent colour.
      if (bytes[i] == 0 && transparent_ < 0) transparent_ = table_[i] & 0xFFFFFF;
    }
  } else {
    ReadChecked(kTRNS, length, bytes, 6);
    transparent_ = KeyColour(bytes);
    std::memcpy(key16_, bytes, 6);
  }
  if (transparent_ < 0) return;
  if (desc_ != nullptr) desc_->transparent = true;
  if (extra_ != nullptr) extra_->transparent = static_cast<uint>(transparent_);
}

void PngReader::ReadBackground(uint length) {
  uchar bytes[6] = {};
  ReadChecked(kBKGD, length, bytes, 6);
  extra_->background = (h_.colourType & kPaletteBit) ? table_[bytes[0]] & 0xFFFFFF : KeyColour(bytes);
}

// Grey levels 0..2^depth-1 spread over 0..255 by repeating their bits, so that the largest
// sample is white.
void PngReader::BuildGreyRamp() {
  for (uint g = 0; g < 256; ++g) {
    uint v = g;
    for (int s = h_.depth; s <= 4; s *= 2) v |= v << s;
    v &= 0xFF;
    table_[g] = v | v << 8 | v << 16;
  }
}

// The 8-bit value of a 16-bit sample field: the high byte at depth 16, the low byte at
// depth 8, and below that the sample itself (an index into the grey ramp).
int PngReader::Sample8(uint sample) const {
  if (h_.depth == 16) return static_cast<int>(sample >> 8);
  return static_cast<int>(sample & ((1u << h_.depth) - 1));
}

uint PngReader::KeyColour(const uchar* samples) const {
  if (!(h_.colourType & kColourBit)) return table_[Sample8(GetBE16(samples))] & 0xFFFFFF;
  return static_cast<uint>(Sample8(GetBE16(samples))) << 16 |
         static_cast<uint>(Sample8(GetBE16(samples + 2))) << 8 |
         static_cast<uint>(Sample8(GetBE16(samples + 4)));
}

bool PngReader::DecodeImage(Buffer& dst, uint idatLength) {
  IdatReader idat(stream_, idatLength);
  Inflate inflate(idat);
  inflate.ReadZlibHeader();
  const std::int64_t rowBytes = RowBytes(bitsPerPixel_, h_.width);
  if (rowBytes > kMaxRowBytes) ThrowInvalidImage();
  current_.resize(static_cast<size_t>(rowBytes));
  previous_.resize(static_cast<size_t>(rowBytes));
  if (h_.interlace) {
    if (desc_ != nullptr) desc_->interlaced = true;
    passPixels_.resize(static_cast<size_t>(area_.columns));
  }
  samples_.resize(static_cast<size_t>(area_.columns));
  streamSize_ = stream_->Size();
  const Pass* passes = h_.interlace ? kAdam7 : &kWholeImage;
  const int passCount = h_.interlace ? 7 : 1;
  for (int p = 0; p < passCount; ++p)
    if (!DecodePass(inflate, passes[p], dst)) return false;
  // Whatever the target did not take is decoded and dropped, so that the checks at the end
  // see every byte.
  inflate.FinishZlib();
  idat.FinishChunk();
  return true;
}

// Answers false when the progress hook asked to stop.
bool PngReader::DecodePass(Inflate& inflate, const Pass& pass, Buffer& dst) {
  const std::int64_t width = pass.Width(h_.width);
  if (width == 0) return true;
  const int length = static_cast<int>(RowBytes(bitsPerPixel_, width));
  const int n = BytesPerPixel(bitsPerPixel_);
  std::fill_n(previous_.begin(), length, uchar(0));
  for (std::int64_t y = pass.firstRow; y < h_.height; y += pass.rowStep) {
    uchar filter;
    if (inflate.Read(&filter, 1) != 1 || filter > kFilterPaeth) ThrowInvalidImage();
    if (!h_.interlace && y >= area_.rows) return true;
    if (!ReadRow(inflate, current_.data(), length)) ThrowInvalidImage();
    PngUnfilter(filter, current_.data(), previous_.data(), n, length);
    if (y < area_.rows) StoreRow(current_.data(), pass, static_cast<int>(y), dst);
    current_.swap(previous_);
    if (!ReportProgress()) return false;
  }
  return true;
}

bool PngReader::ReadRow(Inflate& inflate, uchar* row, int length) {
  return inflate.Read(row, static_cast<size_t>(length)) == static_cast<size_t>(length);
}

void PngReader::StoreRow(const uchar* row, const Pass& pass, int y, Buffer& dst) {
  uint* target = TargetRow(dst, y);
  if (!h_.interlace) {
    ConvertRow(row, target, area_.columns);
    return;
  }
  const int count = static_cast<int>(pass.Width(area_.columns));
  ConvertRow(row, passPixels_.data(), count);
  for (int i = 0, x = pass.firstColumn; i < count; ++i, x += pass.columnStep)
    target[x] = passPixels_[static_cast<size_t>(i)];
}

void PngReader::ConvertRow(const uchar* row, uint* out, int count) {
  const int wide = h_.depth == 16 ? 2 : 1;  // bytes per sample
  switch (h_.colourType) {
    case kGrey:
    case kPalette:
      if (h_.depth == 8) {
        LUTsd(row, out, count, table_);
      } else if (h_.depth == 16) {
        for (int i = 0; i < count; ++i) out[i] = table_[row[2 * i]];
      } else {
        UnpackSamples(row, count);
        LUTsd(samples_.data(), out, count, table_);
      }
      break;
    case kRGB:
      if (wide == 1) {
        BGR24RGB32s(row, out, count);
      } else {
        for (int i = 0; i < count; ++i) out[i] = uint(row[6 * i]) << 16 | uint(row[6 * i + 2]) << 8 | row[6 * i + 4];
      }
      break;
    case kGreyAlpha:
      for (int i = 0; i < count; ++i, row += 2 * wide) out[i] = table_[row[0]] | AlphaTop(row[wide]);
      break;
    case kRGBA:
      for (int i = 0; i < count; ++i, row += 4 * wide)
        out[i] = uint(row[0]) << 16 | uint(row[wide]) << 8 | row[2 * wide] | AlphaTop(row[3 * wide]);
      break;
    default:
      break;
  }
  if (h_.depth == 16 && transparent_ >= 0) MarkKeyed16(row, out, count);
}

// At 16 bits the key is matched on whole samples, not on the high bytes that the pixels
// keep, so that a near colour stays opaque.
void PngReader::MarkKeyed16(const uchar* row, uint* out, int count) const {
  const int size = (h_.colourType & kColourBit) ? 6 : 2;
  for (int i = 0; i < count; ++i, row += size)
    if (std::memcmp(row, key16_, static_cast<size_t>(size)) == 0) out[i] |= 0xFF000000;
}

// Samples of 1, 2 or 4 bits, most significant first, one byte each.
void PngReader::UnpackSamples(const uchar* row, int count) {
  const int depth = h_.depth;
  const int perByte = 8 / depth;
  const uint mask = (1u << depth) - 1;
  uchar* out = samples_.data();
  for (int i = 0; i < count; ++i) {
    const int shift = 8 - depth * (i % perByte + 1);
    out[i] = uchar((row[i / perByte] >> shift) & mask);
  }
}

bool PngReader::ReportProgress() {
  if (GFXFile::PrStep == nullptr) return true;
  const std::int64_t percent = streamSize_ > 0 ? stream_->Position() * 100 / streamSize_ : 100;
  return GFXFile::PrStep(static_cast<int>(percent));
}

// Pixels of the transparent colour become fully transparent. A palette image read in alpha
// mode already carries each entry's own transparency; 16-bit images were keyed row by row.
void PngReader::MarkTransparent(Buffer& dst) const {
  if (transparent_ < 0 || h_.depth == 16 || ((h_.colourType & kPaletteBit) && GFXFile::alpha))
    return;
  const uint key = static_cast<uint>(transparent_);
  for (int y = 0; y < area_.rows; ++y) {
    uint* p = TargetRow(dst, y);
    for (int x = 0; x < area_.columns; ++x)
      if (p[x] == key) p[x] = key | 0xFF000000;
  }
}
