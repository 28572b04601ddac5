// lngmaker: encodes the text form of a language file into the program's .lng file.
//   lngmaker <text file> <language file>
// The result is decoded again and must give back the text byte for byte before it replaces
// the output (written beside it and renamed, so a failed run leaves the old file).

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "quillo/base/LanguageCode.h"
#include "tools/lngmaker/LanguageEncoder.h"

namespace {

bool ReadWhole(const char* path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: lngmaker <text file> <language file>\n");
    return 2;
  }
  std::string text;
  if (!ReadWhole(argv[1], text)) {
    std::fprintf(stderr, "lngmaker: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<std::uint8_t> file;
  try {
    file = EncodeLanguageText(text);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lngmaker: %s: %s\n", argv[1], e.what());
    return 1;
  }
  std::string back;
  if (LanguageCode::Decode(file.data(), file.size(), back) != LanguageCode::DecodeResult::Ok || back != text) {
    std::fprintf(stderr, "lngmaker: %s does not decode back to its text\n", argv[2]);
    return 1;
  }
  const std::string temporary = std::string(argv[2]) + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "lngmaker: cannot write %s\n", temporary.c_str());
      std::remove(temporary.c_str());
      return 1;
    }
  }
  if (std::rename(temporary.c_str(), argv[2]) != 0) {
    std::fprintf(stderr, "lngmaker: cannot replace %s\n", argv[2]);
    std::remove(temporary.c_str());
    return 1;
  }
  return 0;
}
