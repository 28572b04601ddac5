#pragma once
// The system's own uncompressed image format, "Dornick Frame": "FRM", a version byte, the
// size, rows of pixels top row first, and an optional trailer with the image's extra data.
// Versions 0 to 5 are read; 3 (24-bit) and 4/5 (32-bit, 5 with transparency) are written.

#include "vorlen/formats/GFXFile.h"

class FRMFile : public GFXFile {
public:
  FRMFile();
  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
  bool Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) override;
};

namespace frm {
inline constexpr int kHeaderSize = 8;
inline constexpr int kFirstUnknownVersion = 6;
int BytesPerPixel(int version);
int TrailerSize(int version);
}  // namespace frm
