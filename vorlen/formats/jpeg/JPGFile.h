#pragma once
// The JPEG format object: probes and decodes baseline, extended and progressive files
// (grey or YCbCr) and writes JFIF files, sequential or progressive, at a chosen quality.

#include "vorlen/formats/GFXFile.h"

class JPGFile : public GFXFile {
public:
  JPGFile();
  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
  bool Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) override;
  bool SavesByRows() const override { return true; }
};
