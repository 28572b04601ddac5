#pragma once
// The JPEG encoder: a JFIF file at a chosen quality, baseline sequential or progressive,
// grey or YCbCr without subsampling.

#include <cstdint>
#include <vector>

#include "vorlen/core/Buffer.h"
#include "vorlen/formats/SaveRows.h"
#include "vorlen/formats/jpeg/JpegEntropyEncoder.h"

namespace jpeg {

using ProgressStep = bool (*)(int percent);

struct EncodeSettings {
  int quality = 75;  // 1..100
  bool grey = false;
  bool progressive = false;
  bool composite = false;  // each row put over `background` (opaque) by its transparency
  uint background = 0;
};

// One quantisation table (zig-zag order) scaled for a quality from 1 to 100.
void ScaleQuantTable(const uchar* base, int quality, uchar* out);

// A quantisation table prepared for coding, in natural order: half of each divisor, its
// reciprocal 2^19 / q + 1 and the largest magnitude the Huffman tables code.
struct Quantizer {
  explicit Quantizer(const uchar* quantZigZag);
  uint half[64];
  uint reciprocal[64];
  int limit[64];
};

// Quantisation of transformed coefficients (natural order), rounded to the nearest:
// (a + q/2) / q for a >= 0, -((q/2 - a) / q) below.
void QuantizeCoefficients(const short* coef, const Quantizer& quant, short* out);

// Transform then quantisation: 64 level-shifted samples (row-major) in, 64 quantised
// coefficients (natural order) out.
void JPGQuantizeBlock(short* samples, const Quantizer& quant, short* out);

class Encoder {
public:
  Encoder(const Buffer& image, Output& out, const EncodeSettings& settings, ProgressStep progress);

  // Writes the whole file. Answers false when the progress hook stopped it (no EOI then).
  // A width or height the format cannot hold raises EInvalidImage "100".
  bool Encode();

private:
  void WriteHead();
  void WriteDQT(int n);
  void WriteSOF();
  void WriteDHT(int tableClass, int number, const uchar* counts, const uchar* symbols, int count);
  void WriteSOS(int component, int ss, int se, int ah, int al);
  void JPGWriteMarker(int code);
  void JPGWriteWord(int value);
  void Flush();

  void LoadBlock(int bx, int by, uint* pixels) const;
  void ConvertBlock(const uint* pixels, short (*planes)[64]) const;
  // The block at (bx, by) quantized, one coefficient block per component (natural order).
  void QuantizeBlock(int bx, int by, short (*coef)[64]) const;
  bool EncodeSequential();
  void TransformAll();
  bool EncodeProgressive();
  void CodeScan(int component, int ss, int se, int ah, int al, uint* freq1, uint* freq2,
                const HuffEncoder& t1, const HuffEncoder& t2);
  void CountAndWriteTables(int component, int ss, int se, int ah, int al, HuffEncoder& t1,
                           HuffEncoder& t2);

  const Buffer& image_;
  mutable SaveRows rows_;  // fills its ring as blocks are read
  Output& out_;
  EncodeSettings settings_;
  ProgressStep progress_;
  int components_ = 3;
  int width_ = 0, height_ = 0;
  int blocksX_ = 0, blocksY_ = 0;
  uchar quant_[2][64] = {};
  std::vector<Quantizer> quantizers_;
  std::vector<uchar> head_;  // marker segments waiting to be written
  BitWriter writer_;
  std::vector<short> store_;  // progressive: all Y blocks, then Cb, then Cr
  std::vector<short> dc_;     // their DC terms again, side by side for the DC scans
};

}  // namespace jpeg
