// The font cache fonts.bin from untrusted bytes, beside a fixed folder of sound fonts (made
// once by the font maker's writer, with fixed file times). Whatever the cache says, the
// registry must come out as the fonts themselves say: a damaged cache is rebuilt, never
// trusted. Every size then prepares the very glyphs it has without the cache, and the cache
// file is either the input, trusted as it is, or the one a fresh start writes.

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz/support/FuzzCheck.h"
#include "tests/vorlen/draw/BlockFont.h"
#include "tools/rfnmaker/RfnWriter.h"
#include "vorlen/draw/RFont.h"
#include "vorlen/draw/RFontFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Everything the registry says of one size, and the glyphs it prepares.
using EntryFacts = std::tuple<std::string, int, int, std::string, uint, int, int, int, int, int, int, uint>;
struct Truth {
  std::vector<EntryFacts> entries;
  std::vector<std::vector<uchar>> bits;
  Bytes cache;
};

std::vector<EntryFacts> Entries() {
  std::vector<EntryFacts> list;
  for (int i = 0; i < RFont::GetCount(); ++i) {
    const RFontEntry& e = RFont::GetReg()[i];
    list.emplace_back(e.name, e.height, e.count, e.file->name, e.dataPos, e.rowBytes, e.first,
                      e.last, e.spacing, e.space, e.kept, e.file->version);
  }
  return list;
}

// The glyph bits of each entry; empty when it cannot be prepared.
std::vector<std::vector<uchar>> PreparedBits() {
  std::vector<std::vector<uchar>> all;
  for (int i = 0; i < RFont::GetCount(); ++i) {
    RFont font;
    font.SetName(RFont::GetReg()[i].name);
    font.SetSize(RFont::GetReg()[i].height);
    CHECK(font.entry == &RFont::GetReg()[i]);
    font.Prepare();
    CHECK(font.Glyphs() != nullptr);
    all.push_back(font.Glyphs()->bits);
  }
  return all;
}

// The font folder, made once: "Alpha" at 8 and 12 in one file and 10 in another of the
// compressed version, "beta" at 9.
const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern = fuzz::ScratchFolder("fontcache");
    pattern += '/';
    WriteBytes(pattern + "alpha.rfn", WriteRfn("Alpha", {BlockSize(12, 'A', 'Z'), BlockSize(8, 'A', 'Z')}, 1));
    WriteBytes(pattern + "more.RFN", WriteRfn("ALPHA", {BlockSize(10, 'A', 'J')}, 2));
    WriteBytes(pattern + "beta.rfn", WriteRfn("beta", {BlockSize(9, '0', '9')}, 1));
    for (const char* name : {"alpha.rfn", "more.RFN", "beta.rfn"}) {
      struct utimbuf times {};
      times.actime = times.modtime = 1700000000;
      CHECK(::utime((pattern + name).c_str(), &times) == 0);
    }
    std::snprintf(RFont::path, sizeof RFont::path, "%s", pattern.c_str());
    return pattern;
  }();
  return folder;
}

const Truth& TheTruth() {
  static const Truth truth = [] {
    std::remove((Folder() + "fonts.bin").c_str());
    RFont::FreeReg();
    RFont::InitReg();
    Truth t{Entries(), PreparedBits(), ReadBytes(Folder() + "fonts.bin")};
    RFont::FreeReg();
    CHECK(!t.cache.empty() && t.entries.size() == 4);
    return t;
  }();
  return truth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Truth& truth = TheTruth();
  const Bytes input(data, data + size);
  WriteBytes(Folder() + "fonts.bin", input);
  RFont::FreeReg();
  RFont::InitReg();
  CHECK(Entries() == truth.entries);
  CHECK(PreparedBits() == truth.bits);
  const Bytes cache = ReadBytes(Folder() + "fonts.bin");
  CHECK(cache == input || cache == truth.cache);
  RFont::FreeReg();
  return 0;
}
