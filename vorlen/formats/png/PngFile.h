#pragma once
// Portable Network Graphics: every colour type and bit depth read, interlaced or not, with
// palette and colour-key transparency; palette images of 1 to 8 bits, RGB and RGBA written.

#include "vorlen/formats/GFXFile.h"

class PNGFile : public GFXFile {
public:
  PNGFile();
  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
  bool Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) override;
  bool SavesByRows() const override { return true; }
};
