// Reading: every colour type, depth and interlacing against libpng, transparency, and
// damaged files.

#include <gtest/gtest.h>

#include <algorithm>

#include "PngSamples.h"
#include "platform/rtl/Exceptions.h"
#include "CompressionSamples.h"
#include "vorlen/formats/png/Checksum.h"

using namespace pngtest;

namespace {

struct Kind {
  int colourType;
  int depth;
};

const Kind kKinds[] = {{PNG_COLOR_TYPE_GRAY, 1},       {PNG_COLOR_TYPE_GRAY, 2},
                       {PNG_COLOR_TYPE_GRAY, 4},       {PNG_COLOR_TYPE_GRAY, 8},
                       {PNG_COLOR_TYPE_GRAY, 16},      {PNG_COLOR_TYPE_RGB, 8},
                       {PNG_COLOR_TYPE_RGB, 16},       {PNG_COLOR_TYPE_PALETTE, 1},
                       {PNG_COLOR_TYPE_PALETTE, 2},    {PNG_COLOR_TYPE_PALETTE, 4},
                       {PNG_COLOR_TYPE_PALETTE, 8},    {PNG_COLOR_TYPE_GRAY_ALPHA, 8},
                       {PNG_COLOR_TYPE_GRAY_ALPHA, 16}, {PNG_COLOR_TYPE_RGB_ALPHA, 8},
                       {PNG_COLOR_TYPE_RGB_ALPHA, 16}};

// Our pixel word for libpng's 0xAARRGGBB.
uint Expected(uint32_t rgba) { return (255 - (rgba >> 24)) << 24 | (rgba & 0xFFFFFF); }

void ExpectSamePixels(const Bytes& file, bool alphaMode) {
  const libpng::Result ref = libpng::Read(file);
  AlphaMode mode(alphaMode);
  Buffer b;
  GFXFileDesc desc;
  ASSERT_TRUE(Load(file, b, nullptr, &desc));
  ASSERT_EQ(b.Width(), ref.width);
  ASSERT_EQ(b.Height(), ref.height);
  for (int y = 0; y < ref.height; ++y)
    for (int x = 0; x < ref.width; ++x) {
      const uint want = Expected(ref.rgba[static_cast<size_t>(y) * ref.width + x]);
      ASSERT_EQ(*b.At(x, y), alphaMode ? want : want & 0xFFFFFF) << x << "," << y;
    }
}

// Sets a chunk's bytes and mends nothing: the CRC stays as it was.
Bytes WithByte(Bytes file, size_t at, unsigned char value) {
  file[at] = value;
  return file;
}

size_t FindChunk(const Bytes& file, const char* type) {
  for (size_t at = 8; at + 8 <= file.size();) {
    const size_t length = size_t(file[at]) << 24 | size_t(file[at + 1]) << 16 | size_t(file[at + 2]) << 8 | file[at + 3];
    if (std::memcmp(&file[at + 4], type, 4) == 0) return at;
    at += length + 12;
  }
  return std::string::npos;
}

// Rewrites the CRC of the chunk at `at` so that only the change under test is wrong.
void FixCrc(Bytes& file, size_t at) {
  const size_t length = size_t(file[at]) << 24 | size_t(file[at + 1]) << 16 | size_t(file[at + 2]) << 8 | file[at + 3];
  const uint crc = PNGCrc32(0, &file[at + 4], length + 4);
  for (int i = 0; i < 4; ++i) file[at + 8 + length + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
}

// A whole chunk: length, type, data and CRC.
Bytes Chunk(const char* type, const Bytes& data) {
  Bytes chunk(data.size() + 12, 0);  // made at its size: growing it misleads GCC 12 at -O3
  for (size_t i = 0; i < 4; ++i) {
    chunk[i] = static_cast<unsigned char>(data.size() >> (24 - 8 * i));
    chunk[4 + i] = static_cast<unsigned char>(type[i]);
  }
  std::copy(data.begin(), data.end(), chunk.begin() + 8);
  const uint crc = PNGCrc32(0, &chunk[4], data.size() + 4);
  for (size_t i = 0; i < 4; ++i) chunk[8 + data.size() + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
  return chunk;
}

// The file with its header claiming width x height (the CRC mended).
Bytes Claiming(Bytes file, uint width, uint height) {
  const size_t ihdr = FindChunk(file, "IHDR");
  for (int i = 0; i < 4; ++i) {
    file[ihdr + 8 + i] = static_cast<unsigned char>(width >> (24 - 8 * i));
    file[ihdr + 12 + i] = static_cast<unsigned char>(height >> (24 - 8 * i));
  }
  FixCrc(file, ihdr);
  return file;
}

template <class E>
void ExpectLoadThrows(const Bytes& file) {
  Buffer b;
  EXPECT_THROW(Load(file, b), E);
}

}  // namespace

TEST(PngRead, EveryKindGivesLibpngsPixels) {
  for (const Kind& k : kKinds)
    for (bool interlaced : {false, true}) {
      SCOPED_TRACE("type " + std::to_string(k.colourType) + " depth " + std::to_string(k.depth) +
                   (interlaced ? " interlaced" : ""));
      const Bytes file = libpng::Write(MakeImage(k.colourType, k.depth, interlaced));
      ExpectSamePixels(file, true);
      ExpectSamePixels(file, false);
      Buffer b;
      GFXFileDesc desc;
      ASSERT_TRUE(Load(file, b, nullptr, &desc));
      EXPECT_EQ(desc.interlaced, interlaced);
    }
}

TEST(PngRead, ColourKeysOfEveryDepthMatchLibpng) {
  for (const Kind& k : kKinds) {
    if (k.colourType & PNG_COLOR_MASK_ALPHA) continue;
    SCOPED_TRACE("type " + std::to_string(k.colourType) + " depth " + std::to_string(k.depth));
    libpng::Image im = MakeImage(k.colourType, k.depth, false);
    if (k.colourType == PNG_COLOR_TYPE_PALETTE) {
      im.paletteAlpha = {255, 0};  // entry 1 transparent
      if (k.depth > 1) im.paletteAlpha.push_back(128);  // entry 2 half
    } else {
      // The key is the sample value of the repeated area (1, or 1 with its low byte).
      const unsigned v = k.depth == 16 ? (1u << 8 | (1u ^ 0x5A)) : 1u;
      im.hasKey = true;
      im.key.gray = im.key.red = im.key.green = im.key.blue = static_cast<png_uint_16>(v);
    }
    const Bytes file = libpng::Write(im);
    ExpectSamePixels(file, true);
    AlphaMode mode(false);
    Buffer b;
    GFXFileDesc desc;
    GFXtra32 extra;
    ASSERT_TRUE(Load(file, b, &extra, &desc));
    EXPECT_TRUE(desc.transparent);
    // Outside alpha mode the key's pixels are marked fully transparent.
    EXPECT_EQ(*b.At(0, 0) >> 24, 0xFFu);
    EXPECT_EQ(*b.At(0, 0) & 0xFFFFFF, extra.transparent);
  }
}

TEST(PngRead, SixteenBitKeysMatchWholeSamples) {
  for (int type : {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGB}) {
    libpng::Image im;
    im.width = 3;
    im.height = 1;
    im.depth = 16;
    im.colourType = type;
    const int channels = im.Channels();
    for (unsigned v : {0x0102u, 0x0103u, 0x0202u}) im.samples.insert(im.samples.end(), channels, v);
    im.hasKey = true;
    im.key.gray = im.key.red = im.key.green = im.key.blue = 0x0102;
    const Bytes file = libpng::Write(im);
    ExpectSamePixels(file, true);
    Buffer b;
    ASSERT_TRUE(Load(file, b));
    EXPECT_EQ(*b.At(0, 0) >> 24, 0xFFu);
    EXPECT_EQ(*b.At(1, 0) >> 24, 0u);  // same high bytes, other low bytes: opaque
    EXPECT_EQ(*b.At(2, 0) >> 24, 0u);
  }
}

TEST(PngRead, BackgroundOfEachKind) {
  libpng::Image rgb = MakeImage(PNG_COLOR_TYPE_RGB, 8, false);
  rgb.hasBackground = true;
  rgb.background.red = 0x12;
  rgb.background.green = 0x34;
  rgb.background.blue = 0x56;
  libpng::Image grey = MakeImage(PNG_COLOR_TYPE_GRAY, 2, false);
  grey.hasBackground = true;
  grey.background.gray = 2;
  libpng::Image pal = MakeImage(PNG_COLOR_TYPE_PALETTE, 4, false);
  pal.hasBackground = true;
  pal.background.index = 3;
  const struct {
    libpng::Image* image;
    uint want;
  } cases[] = {{&rgb, 0x123456}, {&grey, 0xAAAAAA}, {&pal, 3u * 37 << 16 | (255 - 33) << 8 | 18}};
  for (auto& c : cases) {
    Buffer b;
    GFXtra32 extra;
    ASSERT_TRUE(Load(libpng::Write(*c.image), b, &extra));
    EXPECT_EQ(extra.background, c.want);
  }
}

TEST(PngRead, ProbeDescribesTheFile) {
  const struct {
    int type, depth;
    uchar bits, sampleBits;
    bool colour, palette;
  } cases[] = {{PNG_COLOR_TYPE_GRAY, 2, 2, 2, false, false},
               {PNG_COLOR_TYPE_RGB, 8, 24, 8, true, false},
               {PNG_COLOR_TYPE_PALETTE, 4, 4, 8, true, true},
               {PNG_COLOR_TYPE_GRAY_ALPHA, 16, 32, 16, false, false},
               {PNG_COLOR_TYPE_RGB_ALPHA, 16, 64, 16, true, false}};
  for (auto& c : cases) {
    GFXFileDesc desc;
    EXPECT_EQ(Probe(libpng::Write(MakeImage(c.type, c.depth, true, 9, 4)), &desc), 1);
    EXPECT_EQ(desc.width, 9);
    EXPECT_EQ(desc.height, 4);
    EXPECT_EQ(desc.bits, c.bits);
    EXPECT_EQ(desc.sample_bits, c.sampleBits);
    EXPECT_EQ(desc.colour, c.colour);
    EXPECT_EQ(desc.palette, c.palette);
    EXPECT_EQ(desc.supported, 1);
  }
}

TEST(PngRead, ProbeAnswers) {
  const Bytes good = libpng::Write(MakeImage(PNG_COLOR_TYPE_RGB, 8, false, 4, 4));
  const Bytes signatureOnly(good.begin(), good.begin() + 8);
  EXPECT_EQ(Probe(signatureOnly), -1);
  EXPECT_EQ(Probe(Bytes(good.begin(), good.begin() + 5)), 0);  // too short to be one
  EXPECT_EQ(Probe(Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}), 0);
  GFXFileDesc desc;
  EXPECT_EQ(Probe(WithByte(good, 16 + 9, 5), &desc), -1);  // damaged header: CRC fails
  Bytes badType = WithByte(good, 16 + 9, 5);  // colour type 5
  FixCrc(badType, 8);
  EXPECT_EQ(Probe(badType, &desc), -1);
  EXPECT_EQ(desc.supported, 0);
  Buffer b;
  EXPECT_THROW(Load(signatureOnly, b), EReadError);
  EXPECT_THROW(Load(badType, b), EInvalidImage);
}

TEST(PngRead, DamagedFilesRaiseTheFormatError) {
  const Bytes good = libpng::Write(MakeImage(PNG_COLOR_TYPE_PALETTE, 8, false));
  const size_t plte = FindChunk(good, "PLTE");
  const size_t idat = FindChunk(good, "IDAT");
  ASSERT_NE(idat, std::string::npos);
  ExpectLoadThrows<EInvalidImage>(WithByte(good, 0, 0x88));          // signature
  ExpectLoadThrows<EInvalidImage>(WithByte(good, 20, good[20] ^ 1));  // IHDR CRC
  ExpectLoadThrows<EInvalidImage>(WithByte(good, plte + 9, good[plte + 9] ^ 1));  // PLTE CRC
  ExpectLoadThrows<EInvalidImage>(WithByte(good, idat + 20, good[idat + 20] ^ 1));  // IDAT CRC
  Bytes zlibHeader = WithByte(good, idat + 8, 0x79);
  FixCrc(zlibHeader, idat);
  ExpectLoadThrows<EInvalidImage>(zlibHeader);
  // A palette image whose palette is missing cannot be shown.
  Bytes noPalette = good;
  std::memcpy(&noPalette[plte + 4], "pLTx", 4);  // an unknown ancillary chunk now
  FixCrc(noPalette, plte);
  ExpectLoadThrows<EInvalidImage>(noPalette);
  // Huge dimensions with a sound CRC are refused before any memory is taken.
  Bytes huge = good;
  for (int i = 0; i < 8; ++i) huge[16 + i] = i % 4 == 1 ? 0x01 : 0x00;  // 65536 x 65536
  FixCrc(huge, 8);
  ExpectLoadThrows<EInvalidImage>(huge);
  // Truncated files end with the stream's read error, or the format error where the
  // remaining bytes happen to be misread; never more.
  for (size_t keep : {size_t(12), size_t(40), idat + 10, good.size() - 20, good.size() - 13}) {
    Buffer b;
    try {
      Load(Bytes(good.begin(), good.begin() + static_cast<long>(keep)), b);
      ADD_FAILURE() << keep;
    } catch (const EReadError&) {
    } catch (const EInvalidImage&) {
    }
  }
}

TEST(PngRead, WrongFilterByteAndAdlerAreFormatErrors) {
  // A 2 x 1 grey image with hand-made IDAT data.
  auto make = [](Bytes raw, bool spoilAdler) {
    libpng::Image im = MakeImage(PNG_COLOR_TYPE_GRAY, 8, false, 2, 1);
    Bytes file = libpng::Write(im);
    const size_t idat = FindChunk(file, "IDAT");
    Bytes z = samples::ZlibCompress(raw, 0);
    if (spoilAdler) z.back() ^= 1;
    const size_t oldLength = size_t(file[idat + 3]) | size_t(file[idat + 2]) << 8;
    Bytes out(file.begin(), file.begin() + static_cast<long>(idat));
    Bytes chunk = {0, 0, 0, static_cast<unsigned char>(z.size()), 'I', 'D', 'A', 'T'};
    chunk.insert(chunk.end(), z.begin(), z.end());
    chunk.insert(chunk.end(), 4, 0);
    out.insert(out.end(), chunk.begin(), chunk.end());
    FixCrc(out, idat);
    out.insert(out.end(), file.begin() + static_cast<long>(idat + 12 + oldLength), file.end());
    return out;
  };
  Buffer b;
  EXPECT_TRUE(Load(make({0, 10, 20}, false), b));
  EXPECT_EQ(*b.At(1, 0), 0x141414u);
  ExpectLoadThrows<EInvalidImage>(make({5, 10, 20}, false));
  ExpectLoadThrows<EInvalidImage>(make({0, 10, 20}, true));
  ExpectLoadThrows<EInvalidImage>(make({0, 10}, false));  // data ends inside the row
}

TEST(PngRead, ShorterTargetTakesTheTopRowsAndTheFileStillChecks) {
  for (bool interlaced : {false, true}) {
    const Bytes file = libpng::Write(MakeImage(PNG_COLOR_TYPE_RGB, 8, interlaced, 40, 30));
    const libpng::Result ref = libpng::Read(file);
    Buffer b;
    b.Alloc(Pair<int>(25, 10));
    ASSERT_TRUE(Load(file, b));
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 25; ++x) ASSERT_EQ(*b.At(x, y), ref.rgba[y * 40 + x] & 0xFFFFFF);
  }
}

TEST(PngRead, ProgressHookStopsLoading) {
  const Bytes file = libpng::Write(MakeImage(PNG_COLOR_TYPE_RGB, 8, false, 20, 50));
  static int calls;
  calls = 0;
  GFXFile::SetProgFunc(nullptr, [](int) { return ++calls < 5; }, nullptr);
  Buffer b;
  const bool done = Load(file, b);
  GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  EXPECT_FALSE(done);
  EXPECT_EQ(calls, 5);
}

TEST(PngRead, DamagedFilesNeverCrash) {
  const Bytes base = libpng::Write(MakeImage(PNG_COLOR_TYPE_RGB_ALPHA, 8, true, 30, 20));
  unsigned seed = 77;
  for (int round = 0; round < 300; ++round) {
    Bytes file = base;
    for (int k = 0; k < 2; ++k) file[8 + Lcg(seed) % (file.size() - 8)] ^= static_cast<unsigned char>(1u << (Lcg(seed) >> 29));
    Buffer b;
    try {
      Load(file, b);
    } catch (const EInvalidImage&) {
    } catch (const EReadError&) {
    }
  }
}

TEST(PngRead, AFewBytesCannotClaimAHugeImage) {
  // A valid 1 x 1 file whose header then claims 23000 x 23000: its IDAT could inflate to some
  // tens of kilobytes at most, far from the image's 1.5 GB of rows.
  for (int colourType : {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGB_ALPHA}) {
    const Bytes file = Claiming(libpng::Write(MakeImage(colourType, 8, false, 1, 1)), 23000, 23000);
    ExpectRefusedUnallocated(GFXFile::GetDefaultFormat("x.png"),
                             std::string(file.begin(), file.end()));
  }
}

// Only image data can describe pixels: a 1 x 1 file claiming 8000 x 8000 one-bit pixels (8 KB
// of IDAT could inflate to that, its IDAT has some bytes) is refused before anything is
// allocated, however much text it carries before or after its image data.
TEST(PngRead, ChunksOtherThanImageDataCannotClaimPixels) {
  const Bytes small = Claiming(libpng::Write(MakeImage(PNG_COLOR_TYPE_GRAY, 1, false, 1, 1)), 8000, 8000);
  const Bytes text = Chunk("tEXt", Bytes(64 * 1024, 'a'));
  struct Case {
    const char* where;
    const char* beforeChunk;  // the text goes in front of this chunk
  } cases[] = {{"before the image data", "IDAT"}, {"after the image data", "IEND"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    Bytes file = small;
    const size_t at = FindChunk(file, c.beforeChunk);
    for (int copies = 0; copies < 4; ++copies) file.insert(file.begin() + static_cast<long>(at), text.begin(), text.end());
    ExpectRefusedUnallocated(Png(), std::string(file.begin(), file.end()));
  }
}

// The image data of many IDAT chunks counts in full: a file whose data is cut into chunks of
// seven bytes loads as libpng reads it.
TEST(PngRead, ImageDataSplitIntoManyChunksLoads) {
  const Bytes whole = libpng::Write(MakeImage(PNG_COLOR_TYPE_GRAY, 8, false, 200, 200));
  const size_t first = FindChunk(whole, "IDAT");
  const size_t end = FindChunk(whole, "IEND");
  Bytes data;
  for (size_t at = first; at < end;) {
    const size_t length = size_t(whole[at]) << 24 | size_t(whole[at + 1]) << 16 | size_t(whole[at + 2]) << 8 | whole[at + 3];
    if (std::memcmp(&whole[at + 4], "IDAT", 4) == 0)
      data.insert(data.end(), whole.begin() + static_cast<long>(at + 8), whole.begin() + static_cast<long>(at + 8 + length));
    at += length + 12;
  }
  ASSERT_GT(data.size(), 7u * 10);
  Bytes split(whole.begin(), whole.begin() + static_cast<long>(first));
  for (size_t at = 0; at < data.size(); at += 7) {
    const Bytes piece(data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(std::min(at + 7, data.size())));
    const Bytes chunk = Chunk("IDAT", piece);
    split.insert(split.end(), chunk.begin(), chunk.end());
  }
  split.insert(split.end(), whole.begin() + static_cast<long>(end), whole.end());
  ExpectSamePixels(split, false);
}
