#pragma once
// The one-bit WAP bitmap, type 0: two header bytes, width and height as multi-byte integers,
// then rows of packed bits, most significant first, 1 = white, 0 = black.

#include "vorlen/formats/GFXFile.h"

class WBMPFile : public GFXFile {
public:
  WBMPFile();

  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
  bool Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) override;
};

void RegisterWBMPFile();

// Multi-byte integers: 7 bits a byte, most significant group first, bit 7 set on every byte
// but the last. Reading stops with a value above `limit` as soon as the value passes it.
uint WBMPReadInt(TStream* stream, uint limit);
void WBMPWriteInt(TStream* stream, uint value, bool more);

namespace Wbmp {
inline constexpr int kMaxSide = 4096;
}
