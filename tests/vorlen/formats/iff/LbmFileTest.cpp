#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../ReferenceTools.h"
#include "platform/rtl/Exceptions.h"
#include "support/TempHome.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/iff/LBMFile.h"
#include "../FormatTesting.h"

using reference::Image;
using namespace std::string_literals;

namespace {

GFXFile* IffFormat() { return GFXFile::GetDefaultFormat("x.iff"); }

std::string Save(const Image& picture, const std::string& path, int bits, GFXtra32* extra = nullptr,
                 GFXSaveParams* given = nullptr) {
  Buffer image;
  reference::ToBuffer(picture, image);
  GFXSaveParams params;
  if (given != nullptr) params = *given;
  params.bits = static_cast<signed char>(bits);
  EXPECT_TRUE(GFXFile::Save(image, path, extra, &params));
  return reference::ReadFile(path);
}

std::string Be32(uint v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

std::string Chunk(const char* id, const std::string& data) {
  std::string c = std::string(id, 4) + Be32(static_cast<uint>(data.size())) + data;
  if (data.size() & 1) c += '\0';
  return c;
}

std::string Bmhd(int width, int height, int planes, int masking, int compression) {
  std::string h(20, '\0');
  h[0] = char(width >> 8), h[1] = char(width), h[2] = char(height >> 8), h[3] = char(height);
  h[8] = char(planes), h[9] = char(masking), h[10] = char(compression);
  return h;
}

std::string Form(const char* type, const std::string& chunks) {
  return "FORM" + Be32(static_cast<uint>(chunks.size() + 4)) + type + chunks;
}

// Offset of a chunk's header in a file, or npos.
size_t Find(const std::string& file, const char* id) { return file.find(id, 12); }

using Rows = std::vector<std::vector<int>>;

// Pixel values as BODY data: each row's planes, lowest first, then a mask plane that shows
// every pixel when `masked`; ByteRun1-coded when `compressed`.
std::string Body(const Rows& rows, int planes, bool masked, bool compressed) {
  const int bytes = (static_cast<int>(rows[0].size()) + 15) / 16 * 2;
  std::string body;
  for (const std::vector<int>& row : rows) {
    for (int p = 0; p < planes + (masked ? 1 : 0); ++p) {
      std::vector<uchar> plane(bytes, 0);
      for (size_t x = 0; x < row.size(); ++x)
        if (p == planes || (row[x] >> p & 1)) plane[x / 8] |= uchar(0x80 >> x % 8);
      std::vector<uchar> coded(2 * plane.size() + 2);
      const uchar* end = compressed ? IFFEncodeByteRun(coded.data(), plane.data(), bytes) : nullptr;
      if (compressed) body.append(reinterpret_cast<const char*>(coded.data()), end - coded.data());
      else body.append(reinterpret_cast<const char*>(plane.data()), plane.size());
    }
  }
  return body;
}

// An ILBM picture of the values: its palette (0xRRGGBB), and a CAMG chunk unless modes < 0.
std::string Ilbm(const Rows& rows, int planes, const std::vector<uint>& palette, int modes, bool masked = false,
                 bool compressed = false) {
  std::string cmap;
  for (uint c : palette) cmap += {char(c >> 16), char(c >> 8), char(c)};
  const int width = static_cast<int>(rows[0].size()), height = static_cast<int>(rows.size());
  std::string chunks = Chunk("BMHD", Bmhd(width, height, planes, masked ? 1 : 0, compressed ? 1 : 0));
  if (modes >= 0) chunks += Chunk("CAMG", Be32(static_cast<uint>(modes)));
  return Form("ILBM", chunks + Chunk("CMAP", cmap) + Chunk("BODY", Body(rows, planes, masked, compressed)));
}

std::vector<uint> Palette(size_t entries, std::initializer_list<std::pair<int, uint>> set) {
  std::vector<uint> palette(entries, 0);
  for (const auto& [index, colour] : set) palette[static_cast<size_t>(index)] = colour;
  return palette;
}

}  // namespace

TEST(LbmFile, RegisteredWithItsDefaults) {
  GFXFile* f = IffFormat();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->name, "Amiga IFF");
  EXPECT_EQ(f->extensions, "*.IFF;*.LBM;*.BBM;*.ILB;*.ILBM");
  EXPECT_EQ(f->depths, 0x008000FFu);
  EXPECT_EQ(f->defaults.bits, 24);
  EXPECT_EQ(GFXFile::GetDefaultFormat("a.ilbm"), f);
}

TEST(LbmFile, ByteRunPackets) {
  struct Case {
    std::vector<uchar> in;
    std::vector<uchar> out;
  } cases[] = {
      {std::vector<uchar>(130, 5), {0x81, 5, 0xFF, 5}},
      {{1, 2, 3}, {2, 1, 2, 3}},
      {{1, 1}, {1, 1, 1}},
      {{7, 7, 7, 1}, {0xFE, 7, 0, 1}},
      {{7, 7, 7}, {0xFE, 7}},
  };
  for (const Case& c : cases) {
    std::vector<uchar> out(2 * c.in.size() + 2);
    out.resize(IFFEncodeByteRun(out.data(), c.in.data(), static_cast<int>(c.in.size())) - out.data());
    EXPECT_EQ(out, c.out);
  }
}

TEST(LbmFile, LoadsWhatNetpbmWrites) {
  REQUIRE_TOOL("ppmtoilbm");
  TempHome home;
  const std::string dir = home.Path();
  struct Made {
    int colours;
    const char* options;
  } made[] = {{2, ""},          {16, "-nocompress"},          {200, "-maxplanes 8 -fixplanes 8"},
              {3000, "-24force"}, {5, "-24force -nocompress"}, {7, "-maskfile " /* filled below */}};
  for (const Made& m : made) {
    const Image picture = reference::Picture(37, 13, m.colours, m.colours);
    reference::WritePpm(dir + "/c.ppm", picture);
    std::string options = m.options;
    if (options.rfind("-maskfile", 0) == 0) {
      reference::WriteFile(dir + "/m.pbm", "P4\n37 13\n" + std::string(5 * 13, '\x5A'));
      options += dir + "/m.pbm";
    }
    const std::string file = dir + "/n.iff";
    ASSERT_TRUE(reference::Run(reference::Find("ppmtoilbm") + " " + options + " " + dir + "/c.ppm > " + file))
        << options;
    Buffer loaded;
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Load(loaded, file, nullptr, 0, &desc)) << options;
    EXPECT_EQ(desc.format, IffFormat());
    EXPECT_EQ(reference::Compare(picture, loaded), "") << options;
  }
}

TEST(LbmFile, WritesWhatNetpbmReads) {
  REQUIRE_TOOL("ilbmtoppm");
  TempHome home;
  struct Case {
    int bits;
    const char* name;
    const char* form;
  } cases[] = {{1, "a.iff", "ILBM"}, {3, "a.lbm", "ILBM"}, {4, "a.iff", "ILBM"},
               {8, "a.iff", "ILBM"}, {8, "a.lbm", "PBM "}, {24, "a.lbm", "ILBM"}};
  for (const Case& c : cases) {
    for (int width : {16, 17, 31, 50}) {
      const Image picture = reference::Picture(width, 9, c.bits == 24 ? 4000 : 1 << c.bits, c.bits + width);
      const std::string path = home.Path() + "/" + c.name;
      const std::string bytes = Save(picture, path, c.bits);
      EXPECT_EQ(bytes.substr(8, 4), c.form) << c.bits << " " << c.name;
      // netpbm reads "PBM " rows without the pad byte of an odd width, which the format has.
      if (std::string(c.form) == "ILBM" || width % 2 == 0) {
        EXPECT_EQ(reference::Compare(picture, reference::NetpbmRead("ilbmtoppm", path)), "") << c.bits << " " << width;
      }
      Buffer loaded;
      ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr));
      EXPECT_EQ(reference::Compare(picture, loaded), "") << c.bits << " " << c.name;
    }
  }
}

TEST(LbmFile, ChunkSizesAddUp) {
  TempHome home;
  for (int width : {16, 17}) {
    const std::string bytes = Save(reference::Picture(width, 3, 4, 1), home.Path() + "/s.iff", 2);
    EXPECT_EQ(bytes.substr(0, 4), "FORM");
    const uint formSize = static_cast<uchar>(bytes[4]) << 24 | static_cast<uchar>(bytes[5]) << 16 |
                          static_cast<uchar>(bytes[6]) << 8 | static_cast<uchar>(bytes[7]);
    EXPECT_EQ(formSize, bytes.size() - 8);
    const size_t body = Find(bytes, "BODY");
    ASSERT_NE(body, std::string::npos);
    const uint bodySize = static_cast<uchar>(bytes[body + 6]) << 8 | static_cast<uchar>(bytes[body + 7]);
    // An odd body is followed by one zero byte that its size does not count.
    EXPECT_EQ(body + 8 + bodySize + (bodySize & 1), bytes.size());
    if (bodySize & 1) {
      EXPECT_EQ(bytes.back(), '\0');
    }
    const size_t cmap = Find(bytes, "CMAP");
    EXPECT_EQ(static_cast<uchar>(bytes[cmap + 7]), 12);  // 2^2 entries of 3 bytes
  }
}

TEST(LbmFile, PositionAndKeyIndicesTravelInTheHeader) {
  TempHome home;
  const Image picture = reference::Picture(12, 5, 16, 4);
  GFXtra32 extra;
  extra.x = -7;
  extra.y = 300;
  extra.transparent = picture.pixels[5];
  extra.background = picture.pixels[0];
  GFXSaveParams params;
  params.transparent = true;
  const std::string bytes = Save(picture, home.Path() + "/k.iff", 4, &extra, &params);
  const size_t bmhd = Find(bytes, "BMHD") + 8;
  EXPECT_EQ(static_cast<uchar>(bytes[bmhd + 13]), extra.transparent >> 24);
  EXPECT_EQ(static_cast<uchar>(bytes[bmhd + 12]), extra.background >> 24);
  GFXtra32 got;
  Buffer loaded;
  ASSERT_TRUE(GFXFile::Load(loaded, home.Path() + "/k.iff", &got, 0, nullptr));
  EXPECT_EQ(got.x, -7);
  EXPECT_EQ(got.y, 300);
  EXPECT_EQ(got.transparent, picture.pixels[5]);
  EXPECT_EQ(got.background, picture.pixels[0]);
}

TEST(LbmFile, ProbeAndLoadRefuseUnknownVariants) {
  TempHome home;
  const std::string cmap = Chunk("CMAP", std::string(6, '\x10'));
  struct Case {
    const char* what;
    std::string data;
  } cases[] = {
      {"form type", Form("ACBM", Chunk("BMHD", Bmhd(1, 1, 1, 0, 0)) + cmap + Chunk("BODY", "\0\0"s))},
      {"PBM with 4 planes", Form("PBM ", Chunk("BMHD", Bmhd(1, 1, 4, 0, 0)) + cmap + Chunk("BODY", "\0\0"s))},
      {"PBM with a mask", Form("PBM ", Chunk("BMHD", Bmhd(1, 1, 8, 1, 0)) + cmap + Chunk("BODY", "\0\0"s))},
      {"compression 2", Form("ILBM", Chunk("BMHD", Bmhd(1, 1, 1, 0, 2)) + cmap + Chunk("BODY", "\0\0"s))},
      {"12 planes", Form("ILBM", Chunk("BMHD", Bmhd(1, 1, 12, 0, 0)) + Chunk("BODY", std::string(24, '\0')))},
      {"short header", Form("ILBM", Chunk("BMHD", std::string(10, '\0')) + Chunk("BODY", "\0\0"s))},
  };
  for (const Case& c : cases) {
    const std::string path = home.WriteFile("bad.iff", c.data);
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Test(path, &desc)) << c.what;
    EXPECT_EQ(desc.format, IffFormat()) << c.what;
    EXPECT_EQ(desc.supported, 0) << c.what;
    Buffer b;
    EXPECT_THROW(GFXFile::Load(b, path, nullptr, 0, nullptr), EInvalidImage) << c.what;
  }
  const std::string bigMap =
      Form("ILBM", Chunk("BMHD", Bmhd(1, 1, 1, 0, 0)) + Chunk("CMAP", std::string(771, '\0')) + Chunk("BODY", "\0\0"s));
  Buffer b;
  EXPECT_THROW(GFXFile::Load(b, home.WriteFile("map.iff", bigMap), nullptr, 0, nullptr), EInvalidImage);
  const std::string pastRow =
      Form("ILBM", Chunk("BMHD", Bmhd(8, 1, 1, 0, 1)) + cmap + Chunk("BODY", "\xFC\x01"s));  // 5 bytes for 2
  EXPECT_THROW(GFXFile::Load(b, home.WriteFile("row.iff", pastRow), nullptr, 0, nullptr), EInvalidImage);
}

TEST(LbmFile, SizesBeyondSixteenBitsAreRefused) {
  TempHome home;
  Buffer wide;
  wide.Alloc(Pair<int>(65536, 1));
  GFXSaveParams params;
  params.bits = 24;
  EXPECT_THROW(GFXFile::Save(wide, home.Path() + "/w.iff", nullptr, &params), EInvalidImage);
}

TEST(LbmFile, TruncatedAndDamagedFilesFailCleanly) {
  TempHome home;
  for (int bits : {1, 5, 8, 24}) {
    for (const char* name : {"/s.iff", "/s.lbm"}) {
      const std::string bytes =
          Save(reference::Picture(19, 7, bits == 24 ? 300 : 1 << bits, 7), home.Path() + name, bits);
      reference::LoadDamaged(bytes, home.Path() + "/d.iff", 5);
    }
  }
  // Hold-and-modify pictures, whatever their damaged values come to mean.
  for (int planes : {6, 8}) {
    Rows rows(7, std::vector<int>(19));
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 19; ++x) rows[y][x] = (x * 37 + y * 11) & ((1 << planes) - 1);
    reference::LoadDamaged(Ilbm(rows, planes, Palette(64, {{1, 0x808080}}), 0x800, true, true),
                           home.Path() + "/h.iff", 3);
  }
}

TEST(LbmFile, SizesTheBodyCannotFillAreRefusedBeforeAllocating) {
  // 23000 x 23000 from a few ByteRun1 packets: two bytes code at most 128 bytes of a row.
  std::string packets;
  for (int i = 0; i < 16; ++i) packets += "\x81\x55"s;
  const std::string cmap = Chunk("CMAP", std::string(768, '\x20'));
  struct Case {
    const char* what;
    std::string data;
  } cases[] = {
      {"8 planes", Form("ILBM", Chunk("BMHD", Bmhd(23000, 23000, 8, 0, 1)) + cmap + Chunk("BODY", packets))},
      {"1 plane and a mask", Form("ILBM", Chunk("BMHD", Bmhd(23000, 23000, 1, 1, 1)) + cmap + Chunk("BODY", packets))},
      {"24 planes", Form("ILBM", Chunk("BMHD", Bmhd(23000, 23000, 24, 0, 1)) + Chunk("BODY", packets))},
      {"chunky", Form("PBM ", Chunk("BMHD", Bmhd(23000, 23000, 8, 0, 1)) + cmap + Chunk("BODY", packets))},
      {"uncompressed", Form("ILBM", Chunk("BMHD", Bmhd(23000, 23000, 1, 0, 0)) + cmap + Chunk("BODY", packets))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRefusedUnallocated(IffFormat(), c.data);
  }
}

TEST(LbmFile, LargeSingleColourFilesAtTheHighestCompressionLoad) {
  TempHome home;
  const std::string dir = home.Path();
  const Image plain{3000, 2000, std::vector<uint>(3000 * 2000, 0x3366CC)};
  std::vector<std::string> files;
  for (const char* name : {"our8.iff", "our8.lbm", "our24.iff"}) {
    files.push_back(dir + "/" + name);
    Save(plain, files.back(), std::string(name).find("24") != std::string::npos ? 24 : 8);
  }
  if (!reference::Find("ppmtoilbm").empty()) {
    reference::WritePpm(dir + "/plain.ppm", plain);
    for (const char* options : {"", "-24force"}) {
      files.push_back(dir + "/nb" + std::to_string(files.size()) + ".iff");
      ASSERT_TRUE(reference::Run(reference::Find("ppmtoilbm") + " " + options + " " + dir + "/plain.ppm > " + files.back()));
    }
  }
  for (const std::string& path : files) {
    Buffer loaded;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr)) << path;
    EXPECT_EQ(reference::Compare(plain, loaded), "") << path;
  }
}

TEST(LbmFile, AmigaDisplayModesGiveThePixelsTheirColours) {
  const std::vector<uint> ham6 = Palette(16, {{0, 0x102030}, {1, 0xC08040}});
  // Control bits 01 blue, 10 red, 11 green; each row starts from colour 0.
  const Rows ham6Rows = {{0x01, 0x1A, 0x25, 0x3F, 0x00}, {0x2F, 0x13, 0x30, 0x01, 0x3C}};
  const std::vector<uint> ham6Colours = {0xC08040, 0xC080AA, 0x5580AA, 0x55FFAA, 0x102030,
                                         0xFF2030, 0xFF2033, 0xFF0033, 0xC08040, 0xC0CC40};
  const std::vector<uint> ehb = Palette(32, {{3, 0xFF8001}, {31, 0x7F7F7F}});
  std::vector<uint> ehb64 = ehb;
  ehb64.resize(64, 0x123456);
  struct Case {
    const char* what;
    int planes;
    int modes;  // -1: no CAMG chunk
    std::vector<uint> palette;
    Rows rows;
    std::vector<uint> colours;
    bool masked = false;
    bool compressed = false;
  } cases[] = {
      {"HAM6", 6, 0x800, ham6, ham6Rows, ham6Colours},
      {"HAM6 with a mask, compressed", 6, 0x800, ham6, ham6Rows, ham6Colours, true, true},
      // Six data bits replace a component's top six; its lowest two stay.
      {"HAM8", 8, 0x800, Palette(64, {{0, 0x112233}, {5, 0x445566}, {63, 0xFEDCBA}}),
       {{0xBF, 0x41, 0xE0, 0x05}, {0xC1, 0x3F, 0x80, 0x40}},
       {0xFD2233, 0xFD2207, 0xFD8207, 0x445566, 0x110633, 0xFEDCBA, 0x02DCBA, 0x02DC02}},
      {"HAM bit on 4 planes", 4, 0x800, ham6, {{0x01, 0x00}}, {0xC08040, 0x102030}},
      {"half-brite by its mode", 6, 0x80, ehb, {{3, 35, 31, 63}}, {0xFF8001, 0x7F4000, 0x7F7F7F, 0x3F3F3F}},
      {"half-brite by a 32-colour palette", 6, -1, ehb, {{3, 35, 31, 63}}, {0xFF8001, 0x7F4000, 0x7F7F7F, 0x3F3F3F}},
      {"half-brite mode over 64 colours", 6, 0x80, ehb64, {{3, 35}}, {0xFF8001, 0x7F4000}},
      {"64 colours without the mode", 6, -1, ehb64, {{3, 35}}, {0xFF8001, 0x123456}},
  };
  TempHome home;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path =
        home.WriteFile("d.iff", Ilbm(c.rows, c.planes, c.palette, c.modes, c.masked, c.compressed));
    const bool ham = c.modes == 0x800 && c.planes != 4;
    GFXFileDesc probe;
    ASSERT_TRUE(GFXFile::Test(path, &probe));
    EXPECT_EQ(probe.palette, !ham);
    EXPECT_EQ(probe.bits, ham ? 24 : c.planes);
    Buffer loaded;
    uchar palette[768];
    GFXFileDesc desc;
    desc.palette_data = palette;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, &desc));
    const int width = static_cast<int>(c.rows[0].size());
    ASSERT_EQ(loaded.Width(), width);
    for (size_t i = 0; i < c.colours.size(); ++i) {
      const int x = static_cast<int>(i) % width, y = static_cast<int>(i) / width;
      EXPECT_EQ(*loaded.At(x, y), c.colours[i]) << x << "," << y;
      // An indexed picture's palette holds the colours its pixels show.
      const int value = c.rows[y][x];
      if (!ham) {
        EXPECT_EQ(uint(palette[3 * value]) << 16 | palette[3 * value + 1] << 8 | palette[3 * value + 2], c.colours[i]);
      }
    }
  }
}

TEST(LbmFile, DisplayModesAgreeWithNetpbm) {
  REQUIRE_TOOL("ppmtoilbm");
  REQUIRE_TOOL("ilbmtoppm");
  TempHome home;
  const std::string dir = home.Path();
  reference::WritePpm(dir + "/c.ppm", reference::Picture(37, 13, 3000, 5));
  // HAM pictures as netpbm makes them (colour 0 black, where netpbm starts each row). Four
  // data bits set a component's top four in netpbm, the low four kept from the previous
  // pixel; here they are the whole component, widened: HAM6 agrees but for those low bits.
  for (int planes : {6, 8}) {
    const std::string path = dir + "/h" + std::to_string(planes) + ".iff";
    ASSERT_TRUE(reference::Run(reference::Find("ppmtoilbm") + " -hamforce -hamplanes " + std::to_string(planes) +
                               " " + dir + "/c.ppm > " + path));
    Buffer loaded;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr));
    EXPECT_EQ(reference::Compare(reference::NetpbmRead("ilbmtoppm", path), loaded, planes == 6 ? 15 : 0), "")
        << planes;
  }
  const std::vector<uint> ehb = Palette(32, {{0, 0x0A0B0C}, {3, 0xFF8001}, {17, 0x336699}, {31, 0x7F7F7F}});
  const Rows rows = {{3, 35, 31, 63, 17, 49, 0, 32}};
  for (int modes : {0x80, -1}) {
    const std::string path = home.WriteFile("e.iff", Ilbm(rows, 6, ehb, modes));
    // netpbm takes a 32-colour palette for half-brite only when told.
    const std::string command = reference::Find("ilbmtoppm") + (modes < 0 ? " -isehb " : " ") + path + " > " + path + ".ppm";
    ASSERT_TRUE(reference::Run(command)) << command;
    Buffer loaded;
    ASSERT_TRUE(GFXFile::Load(loaded, path, nullptr, 0, nullptr));
    EXPECT_EQ(reference::Compare(reference::ReadPnm(path + ".ppm"), loaded), "") << modes;
  }
}
