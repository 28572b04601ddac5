#pragma once
// Windows metafiles ("*.WMF") and enhanced metafiles ("*.EMF"): played through the platform's
// GDI onto a 32-bit bitmap when read; written as a metafile holding the image as one bitmap.
// Both objects read both kinds; `enhanced` says which kind the object writes.

#include "vorlen/formats/GFXFile.h"

class WMFFile : public GFXFile {
public:
  WMFFile(const char* name, const char* extensions, bool enhanced);
  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
  bool Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) override;

  const bool enhanced;
};
