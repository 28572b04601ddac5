#include "vorlen/formats/png/PngFile.h"

#include <cstring>

#include "platform/rtl/Exceptions.h"
#include "vorlen/formats/FormatList.h"
#include "vorlen/formats/png/PngChunks.h"
#include "vorlen/formats/png/PngFormat.h"
#include "vorlen/formats/png/PngReader.h"
#include "vorlen/formats/png/PngWriter.h"

using namespace png;

void RegisterPNGFile() { static PNGFile instance; }

PNGFile::PNGFile() : GFXFile("Portable Network Graphics", "*.PNG", 0x8080008B, 0, true, 0) {}

namespace {

void Describe(const Header& h, GFXFileDesc* desc) {
  desc->width = static_cast<int>(h.width);
  desc->height = static_cast<int>(h.height);
  desc->palette = (h.colourType & kPaletteBit) != 0;
  desc->colour = (h.colourType & kColourBit) != 0;
  const int alphaBits = (h.colourType & kAlphaBit) ? h.depth : 0;
  const int colourBits = (h.colourType & 3) == kRGB ? 3 * h.depth : h.depth;
  desc->bits = static_cast<uchar>(alphaBits + colourBits);
  desc->sample_bits = static_cast<uchar>(desc->palette ? 8 : h.depth);
}

}  // namespace

int PNGFile::Test(TStream* stream, GFXFileDesc* desc) {
  if (stream == nullptr) return 0;
  StreamPositionGuard guard(stream);
  // A file too short for the signature is not a PNG (rather than an unreadable one).
  uchar signature[8];
  if (stream->Read(signature, 8) != 8 || std::memcmp(signature, kSignature, 8) != 0) return 0;
  int answer = -1;
  try {
    if (desc != nullptr) desc->ClearProbeFields();
    uchar bytes[kHeaderSize];
    if (PNGReadHeader(stream, PNGFindChunk(stream, kIHDR), bytes)) {
      const Header h = ParseHeader(bytes);
      if (desc != nullptr) Describe(h, desc);
      if (IsSupported(h)) answer = 1;
    }
  } catch (const EReadError&) {
  }
  if (desc != nullptr) desc->supported = answer > 0;
  return answer;
}

bool PNGFile::Load(Buffer& dst, TStream* stream, int, GFXtra32* extra, GFXFileDesc* desc) {
  PngReader reader(stream, extra, desc);
  return reader.Load(dst);
}

bool PNGFile::Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) {
  PngWriter writer(stream, params, extra);
  return writer.Save(image);
}
