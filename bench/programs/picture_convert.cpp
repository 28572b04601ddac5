// A command-line picture converter on the graphics library alone, for measuring what a whole
// process costs: picture_convert <in> <out> [quality]. The output format follows the output
// file's extension; quality (1-100) applies to formats that have one. Exit status 0 when the
// picture was written, 1 when it could not be read or written (the reason on stderr), 2 on
// wrong arguments.

#include <cstdio>
#include <cstdlib>

#include "platform/rtl/Exceptions.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: %s <in> <out> [quality]\n", argv[0]);
    return 2;
  }
  GFXSaveParams params;
  if (argc == 4) {
    const int quality = std::atoi(argv[3]);
    if (quality < 1 || quality > 100) {
      std::fprintf(stderr, "quality must be 1 to 100\n");
      return 2;
    }
    params.quality = static_cast<unsigned char>(quality);
  }
  try {
    Buffer picture;
    GFXtra32 extra;
    if (!GFXFile::Load(picture, argv[1], &extra, 0, nullptr)) return 1;
    if (!GFXFile::Save(picture, argv[2], &extra, &params)) return 1;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.Message.c_str());
    return 1;
  }
  return 0;
}
