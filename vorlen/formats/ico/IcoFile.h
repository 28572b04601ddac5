#pragma once
// Icons ("*.ICO"), read only, through the platform's icon decoding. The icon is drawn over
// black; in alpha mode the pixels its mask or alpha lets through keep their transparency.

#include "vorlen/formats/GFXFile.h"

class ICOFile : public GFXFile {
public:
  ICOFile();
  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
};
