#pragma once
// Decoding of one PNG file into a Buffer: the header, the palette and transparency chunks
// before the image data, then the rows of each pass as the decompressor hands them out.

#include <cstdint>
#include <vector>

#include "platform/rtl/Streams.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/png/PngFormat.h"

class Inflate;

class PngReader {
public:
  PngReader(TStream* stream, GFXtra32* extra, GFXFileDesc* desc);
  // 1 when the whole image was read, 0 when the progress hook stopped it.
  bool Load(Buffer& dst);

private:
  void ReadHeader();
  uint ReadChunksBeforeImage();
  void ReadChecked(uint type, uint length, uchar* data, uint capacity);
  void ReadPalette(uint length);
  void ReadTransparency(uint length);
  void ReadBackground(uint length);
  void BuildGreyRamp();
  int Sample8(uint sample) const;
  uint KeyColour(const uchar* samples) const;

  bool DecodeImage(Buffer& dst, uint idatLength);
  bool DecodePass(Inflate& inflate, const png::Pass& pass, Buffer& dst);
  bool ReadRow(Inflate& inflate, uchar* row, int length);
  void StoreRow(const uchar* row, const png::Pass& pass, int y, Buffer& dst);
  void ConvertRow(const uchar* row, uint* out, int count);
  void MarkKeyed16(const uchar* row, uint* out, int count) const;
  void UnpackSamples(const uchar* row, int count);
  bool ReportProgress();
  void MarkTransparent(Buffer& dst) const;

  TStream* stream_;
  GFXtra32* extra_;
  GFXFileDesc* desc_;
  png::Header h_;
  int bitsPerPixel_ = 0;
  uint table_[256] = {};  // palette words, or the grey ramp
  std::int64_t transparent_ = -1;
  uchar key16_[6] = {};  // the tRNS samples as stored
  bool sawPalette_ = false;
  TargetArea area_;
  std::int64_t streamSize_ = 0;
  std::vector<uchar> current_;
  std::vector<uchar> previous_;
  std::vector<uint> passPixels_;
  std::vector<uchar> samples_;
};
