#include "vorlen/formats/jpeg/JpegEncoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/rtl/Exceptions.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/jpeg/JpegColour.h"
#include "vorlen/formats/jpeg/JpegDct.h"
#include "vorlen/formats/jpeg/JpegTables.h"

namespace jpeg {

namespace {

struct ScanEntry {
  int component;  // 0 all, 1 Y, 2 Cb, 3 Cr
  int ss, se, ah, al;
};

const ScanEntry kScript[10] = {
    {0, 0, 0, 0, 1}, {1, 1, 5, 0, 2},  {3, 1, 63, 0, 1}, {2, 1, 63, 0, 1}, {1, 6, 63, 0, 2},
    {1, 1, 63, 2, 1}, {0, 0, 0, 1, 0}, {3, 1, 63, 1, 0}, {2, 1, 63, 1, 0}, {1, 1, 63, 1, 0},
};


const uchar kJfifHead[36] = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xFF, 0xFE, 0x00, 0x0E, 'D', 'o', 'r', 'n', 'i', 'c', 'k', ' ',
    'L', 't', 'd', '.'};

}  // namespace

void ScaleQuantTable(const uchar* base, int quality, uchar* out) {
  const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  for (int k = 0; k < 64; ++k) out[k] = static_cast<uchar>(std::clamp((base[k] * scale + 50) / 100, 1, 255));
}

Quantizer::Quantizer(const uchar* quantZigZag) {
  for (int k = 0; k < 64; ++k) {
    const int n = kZigZag[k];
    const uint q = quantZigZag[k] == 0 ? 1 : quantZigZag[k];
    half[n] = q / 2;
    reciprocal[n] = (1u << 19) / q + 1;
    limit[n] = n == 0 ? 2047 : 1023;  // the baseline tables code AC magnitudes up to 10 bits
  }
}

void JPGQuantizeBlock(short* samples, const Quantizer& quant, short* out) {
  JPGForwardDCT(samples);
  QuantizeCoefficients(samples, quant, out);
}

JPEG_VECTOR_CLONES void QuantizeCoefficients(const short* coef, const Quantizer& quant, short* out) {
  // (|a| + q/2) / q with the sign of a, the division as a multiply: the transform of
  // 8-bit samples stays within 1024 in magnitude, and for numerators below 2^11 and
  // divisors up to 255 the reciprocal 2^19 / q + 1 divides exactly.
  for (int n = 0; n < 64; ++n) {
    const int a = coef[n];
    const int sign = a >> 31;
    const uint magnitude = static_cast<uint>((a ^ sign) - sign);
    const int v = static_cast<int>(((magnitude + quant.half[n]) * quant.reciprocal[n]) >> 19);
    out[n] = static_cast<short>((std::min(v, quant.limit[n]) ^ sign) - sign);
  }
}

Encoder::Encoder(const Buffer& image, Output& out, const EncodeSettings& settings, ProgressStep progress)
    : image_(image),
      rows_(image, settings.composite, settings.background),
      out_(out),
      settings_(settings),
      progress_(progress) {
  if (settings_.quality < 1 || settings_.quality > 100) settings_.quality = 75;
  components_ = settings_.grey ? 1 : 3;
  width_ = image.Width();
  height_ = image.Height();
  blocksX_ = (width_ + 7) / 8;
  blocksY_ = (height_ + 7) / 8;
  ScaleQuantTable(kStdLumQuant, settings_.quality, quant_[0]);
  ScaleQuantTable(kStdChromQuant, settings_.quality, quant_[1]);
  quantizers_ = {Quantizer(quant_[0]), Quantizer(quant_[1])};
  writer_.sink = &out_;
}

void Encoder::JPGWriteMarker(int code) {
  head_.push_back(0xFF);
  head_.push_back(static_cast<uchar>(code));
}

void Encoder::JPGWriteWord(int value) {
  head_.push_back(static_cast<uchar>(value >> 8));
  head_.push_back(static_cast<uchar>(value));
}

void Encoder::Flush() {
  if (!head_.empty()) out_.Write(head_.data(), head_.size());
  head_.clear();
}

void Encoder::WriteHead() { head_.insert(head_.end(), kJfifHead, kJfifHead + 36); }

void Encoder::WriteDQT(int n) {
  JPGWriteMarker(kDQT);
  JPGWriteWord(67);
  head_.push_back(static_cast<uchar>(n));
  head_.insert(head_.end(), quant_[n], quant_[n] + 64);
}

void Encoder::WriteSOF() {
  JPGWriteMarker(settings_.progressive ? kSOF2 : kSOF0);
  JPGWriteWord(8 + 3 * components_);
  head_.push_back(8);
  JPGWriteWord(height_);
  JPGWriteWord(width_);
  head_.push_back(static_cast<uchar>(components_));
  for (int c = 0; c < components_; ++c) {
    head_.push_back(static_cast<uchar>(c + 1));
    head_.push_back(0x11);
    head_.push_back(c == 0 ? 0 : 1);
  }
}

void Encoder::WriteDHT(int tableClass, int number, const uchar* counts, const uchar* symbols, int count) {
  JPGWriteMarker(kDHT);
  JPGWriteWord(19 + count);
  head_.push_back(static_cast<uchar>(tableClass << 4 | number));
  head_.insert(head_.end(), counts, counts + 16);
  head_.insert(head_.end(), symbols, symbols + count);
}

void Encoder::WriteSOS(int component, int ss, int se, int ah, int al) {
  const int count = component == 0 ? components_ : 1;
  JPGWriteMarker(kSOS);
  JPGWriteWord(6 + 2 * count);
  head_.push_back(static_cast<uchar>(count));
  for (int c = 0; c < count; ++c) {
    const int id = component == 0 ? c + 1 : component;
    head_.push_back(static_cast<uchar>(id));
    head_.push_back(id == 1 ? 0x00 : 0x11);
  }
  head_.push_back(static_cast<uchar>(ss));
  head_.push_back(static_cast<uchar>(se));
  head_.push_back(static_cast<uchar>(ah << 4 | al));
}

void Encoder::LoadBlock(int bx, int by, uint* pixels) const {
  const int x0 = bx * 8, y0 = by * 8;
  const int w = std::min(8, width_ - x0), h = std::min(8, height_ - y0);
  if (w < 8 || h < 8) std::fill(pixels, pixels + 64, 0u);  // black padding at the edges
  for (int y = 0; y < h; ++y) {
    const uint* src = rows_.Row(y0 + y) + x0;
    if (w == 8) std::memcpy(pixels + 8 * y, src, 8 * sizeof(uint));  // a fixed size, no call
    else std::copy(src, src + w, pixels + 8 * y);
  }
}

void Encoder::ConvertBlock(const uint* pixels, short (*planes)[64]) const {
  short* out[3] = {planes[0], components_ == 3 ? planes[1] : nullptr, planes[2]};
  RgbToSamples(pixels, 64, out);
}

void Encoder::QuantizeBlock(int bx, int by, short (*coef)[64]) const {
  uint pixels[64];
  short planes[3][64];
  LoadBlock(bx, by, pixels);
  ConvertBlock(pixels, planes);
  for (int c = 0; c < components_; ++c) JPGQuantizeBlock(planes[c], quantizers_[c == 0 ? 0 : 1], coef[c]);
}

bool Encoder::Encode() {
  if (image_.pixels == nullptr || image_.Empty()) ThrowInvalidImage();  // JPEG sizes start at 1
  CheckSizeFits(image_, 16);
  WriteHead();
  WriteDQT(0);
  if (components_ == 3) WriteDQT(1);
  WriteSOF();
  return settings_.progressive ? EncodeProgressive() : EncodeSequential();
}

bool Encoder::EncodeSequential() {
  for (int i = 0; i < (components_ == 3 ? 2 : 1); ++i) {
    WriteDHT(0, i, kStdDC[i].counts, kStdDC[i].symbols, kStdDC[i].symbolCount);
    WriteDHT(1, i, kStdAC[i].counts, kStdAC[i].symbols, kStdAC[i].symbolCount);
  }
  WriteSOS(0, 0, 63, 0, 0);
  Flush();
  HuffEncoder dc[2], ac[2];
  for (int i = 0; i < 2; ++i) {
    JPGBuildHuffEncoder(kStdDC[i].counts, kStdDC[i].symbols, dc[i]);
    JPGBuildHuffEncoder(kStdAC[i].counts, kStdAC[i].symbols, ac[i]);
  }
  writer_.Reset();
  short preds[3] = {};
  short coef[3][64];
  for (int by = 0; by < blocksY_; ++by) {
    for (int bx = 0; bx < blocksX_; ++bx) {
      QuantizeBlock(bx, by, coef);
      for (int c = 0; c < components_; ++c) {
        const int t = c == 0 ? 0 : 1;
        JPGEncodeBlock(writer_, coef[c], preds[c], dc[t], ac[t]);
      }
      writer_.Drain();
    }
    if (progress_ != nullptr && !progress_(std::min((by + 1) * 8, height_) * 100 / height_)) return false;
  }
  JPGFlushBits(writer_);
  JPGWriteMarker(kEOI);
  Flush();
  return true;
}

void Encoder::TransformAll() {
  const size_t blocks = static_cast<size_t>(blocksX_) * blocksY_;
  try {
    store_.assign(blocks * components_ * 64, 0);
    dc_.assign(blocks * components_, 0);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(RtlText::OutOfMemory);
  }
  short coef[3][64];
  for (int by = 0; by < blocksY_; ++by) {
    for (int bx = 0; bx < blocksX_; ++bx) {
      QuantizeBlock(bx, by, coef);
      const size_t index = static_cast<size_t>(by) * blocksX_ + bx;
      for (int c = 0; c < components_; ++c) {
        short* zz = store_.data() + (c * blocks + index) * 64;  // kept in zig-zag order
        for (int k = 0; k < 64; ++k) zz[k] = coef[c][kZigZag[k]];
        dc_[c * blocks + index] = zz[0];
      }
    }
  }
}

void Encoder::CodeScan(int component, int ss, int se, int ah, int al, uint* freq1, uint* freq2,
                       const HuffEncoder& t1, const HuffEncoder& t2) {
  const size_t blocks = static_cast<size_t>(blocksX_) * blocksY_;
  const bool counting = freq1 != nullptr;
  short preds[3] = {};
  writer_.Reset();
  if (ss > 0) {  // an AC band of one component: its blocks lie one after another
    writer_.freq = counting ? freq1 : nullptr;
    JPGEncodeProgressiveBand(writer_, store_.data() + (component - 1) * blocks * 64, blocks, ah, al, se, ss, t1);
  } else {
    const int first = component == 0 ? 0 : component - 1;
    const int last = component == 0 ? components_ - 1 : first;
    for (size_t i = 0; i < blocks; ++i) {
      for (int c = first; c <= last; ++c) {
        writer_.freq = counting ? (c == first ? freq1 : freq2) : nullptr;
        JPGEncodeProgressiveDC(writer_, dc_[c * blocks + i], preds[c], ah, al, c == first ? t1 : t2);
      }
    }
  }
  writer_.freq = counting ? freq1 : nullptr;
  JPGFlushEOBRunAndBits(writer_, t1);
  if (!counting) JPGFlushBits(writer_);
  writer_.freq = nullptr;
}

void Encoder::CountAndWriteTables(int component, int ss, int se, int ah, int al, HuffEncoder& t1,
                                  HuffEncoder& t2) {
  uint freq1[257] = {}, freq2[257] = {};
  CodeScan(component, ss, se, ah, al, freq1, freq2, t1, t2);
  uchar counts[16], symbols[256];
  const int n1 = JPGBuildHuffLengths(freq1, counts, symbols);
  WriteDHT(ss > 0 ? 1 : 0, component >= 2 ? 1 : 0, counts, symbols, n1);
  JPGBuildHuffEncoder(counts, symbols, t1);
  if (component == 0 && components_ == 3) {
    const int n2 = JPGBuildHuffLengths(freq2, counts, symbols);
    WriteDHT(0, 1, counts, symbols, n2);
    JPGBuildHuffEncoder(counts, symbols, t2);
  }
}

bool Encoder::EncodeProgressive() {
  Flush();
  TransformAll();
  for (int e = 0; e < 10; ++e) {
    const ScanEntry& s = kScript[e];
    if (components_ == 3 || s.component <= 1) {
      HuffEncoder t1, t2;
      if (!(s.ss == 0 && s.ah > 0)) CountAndWriteTables(s.component, s.ss, s.se, s.ah, s.al, t1, t2);
      WriteSOS(s.component, s.ss, s.se, s.ah, s.al);
      Flush();
      CodeScan(s.component, s.ss, s.se, s.ah, s.al, nullptr, nullptr, t1, t2);
    }
    if (progress_ != nullptr && !progress_(10 * e)) return false;
  }
  JPGWriteMarker(kEOI);
  Flush();
  return true;
}

}  // namespace jpeg
