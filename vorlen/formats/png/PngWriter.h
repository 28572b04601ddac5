#pragma once
// Encoding of a Buffer as a PNG file: palette images of 1 to 8 bits from the index image
// the registry prepares, RGB for 24 bits and RGBA for 32, optionally interlaced.

#include <vector>

#include "platform/rtl/Streams.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/png/PngFormat.h"

class Deflate;
class SaveRows;

class PngWriter {
public:
  PngWriter(TStream* stream, GFXSaveParams* params, GFXtra32* extra);
  // false when the progress hook asked to stop.
  bool Save(Buffer& image);

private:
  void WriteHeader(const Buffer& image);
  void WriteSmallChunks();
  std::vector<uchar> ColourBytes(uint colour) const;
  bool WriteImageData(Buffer& image);
  bool WritePass(Deflate& deflate, Buffer& image, SaveRows& rows, const png::Pass& pass, int passIndex);
  void MakeRow(Buffer& image, SaveRows& rows, const png::Pass& pass, int y, int count);

  TStream* stream_;
  GFXSaveParams* params_;
  GFXtra32* extra_;
  int depth_ = 8;
  int colourType_ = png::kPalette;
  int bytesPerPixel_ = 1;
  std::vector<uchar> current_;
  std::vector<uchar> previous_;
  std::vector<uchar> filtered_;
};
