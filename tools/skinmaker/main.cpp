// skinmaker: builds a skin image from its source folder (skin.txt and one text map per glyph).
//   skinmaker <skin folder> <skin file> [--preview <png file>]
// The skin file is written beside its place and renamed, so a refused source leaves the old
// file. The preview shows the skin four times enlarged as stored, then on two button colours
// as the program shows it.

#include <cstdio>
#include <fstream>
#include <string>

#include "tools/skinmaker/ImageWriters.h"
#include "tools/skinmaker/SkinImage.h"
#include "tools/skinmaker/SkinSource.h"

namespace {

bool WriteReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "skinmaker: cannot write %s\n", temporary.c_str());
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::fprintf(stderr, "skinmaker: cannot replace %s\n", path.c_str());
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool preview = argc == 5 && std::string(argv[3]) == "--preview";
  if (argc != 3 && !preview) {
    std::fprintf(stderr, "usage: skinmaker <skin folder> <skin file> [--preview <png file>]\n");
    return 2;
  }
  using namespace skinmaker;
  SkinDescription skin;
  try {
    skin = ReadSkinSource(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skinmaker: %s\n", e.what());
    return 1;
  }
  const RgbImage image = ComposeSkin(skin);
  if (!WriteReplacing(argv[2], EncodeBmp24(image))) return 1;
  if (preview) {
    constexpr Rgb kClassicFace = 0xD4D0C8;
    constexpr Rgb kDarkFace = 0x3C4658;
    const RgbImage sheet = Stack({image, ShowOnFace(image, skin, kClassicFace), ShowOnFace(image, skin, kDarkFace)},
                                 4, 0xFFFFFF);
    if (!WriteReplacing(argv[4], EncodePng24(Enlarge(sheet, 4)))) return 1;
  }
  return 0;
}
