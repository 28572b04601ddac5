#pragma once
// One frame of a video file, read through the platform's video-file service (read only). The
// file is opened again by the name behind the input stream.

#include "vorlen/formats/GFXFile.h"

class AVIFile : public GFXFile {
public:
  AVIFile();
  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
};
