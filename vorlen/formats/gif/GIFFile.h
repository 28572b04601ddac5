#pragma once
// CompuServe GIF: loads one image of a file, with the earlier images of an animation
// composed under it by their disposal methods; saves an index image as GIF87a, or GIF89a
// with a graphic control extension when a transparent colour is written.

#include <cstdint>

#include "vorlen/formats/GFXFile.h"

class StreamBuf;

class GIFFile : public GFXFile {
public:
  GIFFile();

  int Test(TStream* stream, GFXFileDesc* desc) override;
  bool Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) override;
  bool Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) override;
};

void RegisterGIFFile();

// Facts of the format shared by the reader and the writer.
namespace Gif {

inline constexpr int kHeaderSize = 13;
inline constexpr int kImageDescriptorSize = 9;
inline constexpr uchar kExtension = '!';
inline constexpr uchar kImage = ',';
inline constexpr uchar kTrailer = ';';
inline constexpr uchar kGraphicControl = 0xF9;
inline constexpr uchar kTableFlag = 0x80;
inline constexpr uchar kInterlaceFlag = 0x40;

// Interlace passes: (row step, first row).
struct Pass {
  int step;
  int first;
};
inline constexpr Pass kInterlacePasses[4] = {{8, 0}, {8, 4}, {4, 2}, {2, 1}};
inline constexpr Pass kSequential[1] = {{1, 0}};

// The entries of a colour table whose size field is `field` (packed & 7).
inline int TableEntries(int field) { return 1 << ((field & 7) + 1); }

// Passes over data sub-blocks up to and including the zero-length terminator.
void SkipSubBlocks(StreamBuf& reader);

// What the blocks after the screen descriptor hold, up to the first byte that starts no block
// or the end of the data.
struct BlockSummary {
  int images = 0;
  int deepestTable = 0;           // the largest local table's bits (the size field + 1)
  std::int64_t imageData = 0;     // the bytes of the images' data sub-blocks
};
BlockSummary WalkBlocks(StreamBuf& reader);

}  // namespace Gif
