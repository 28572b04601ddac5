// Damaged and unsupported files: each raises the format error (or, for data that ends early,
// the stream's read error) and never crashes.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "tests/vorlen/formats/PeakMemory.h"
#include "tests/vorlen/formats/jpeg/LibJpegReference.h"
#include "vorlen/formats/jpeg/JpegDecoder.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Segment(int marker, const Bytes& payload) {
  const size_t length = payload.size() + 2;
  Bytes s(4 + payload.size());
  s[0] = 0xFF;
  s[1] = static_cast<unsigned char>(marker);
  s[2] = static_cast<unsigned char>(length >> 8);
  s[3] = static_cast<unsigned char>(length);
  std::copy(payload.begin(), payload.end(), s.begin() + 4);
  return s;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

const Bytes kSOI = {0xFF, 0xD8};
const Bytes kEOI = {0xFF, 0xD9};
// 8 x 8 grey frame, and its one-component scan.
const Bytes kSof = Segment(0xC0, {8, 0, 8, 0, 8, 1, 1, 0x11, 0});
const Bytes kSos = Segment(0xDA, {1, 1, 0x00, 0, 63, 0});
// One grey block: DC difference 0 (code 00), end of block (code 1010), padded with ones.
const Bytes kBlock = {0x2B, 0xFF, 0x00};

// A frame header: grey, or YCbCr with luminance sampling `sampling` (0x11, 0x21, 0x22).
Bytes Frame(int marker, int width, int height, bool colour, int sampling = 0x11) {
  Bytes payload = {8, static_cast<unsigned char>(height >> 8), static_cast<unsigned char>(height),
                   static_cast<unsigned char>(width >> 8), static_cast<unsigned char>(width),
                   static_cast<unsigned char>(colour ? 3 : 1), 1, static_cast<unsigned char>(sampling), 0};
  if (colour) payload.insert(payload.end(), {2, 0x11, 1, 3, 0x11, 1});
  return Segment(marker, payload);
}

enum class Outcome { kFormatError, kReadError, kDecoded };

Outcome DecodeOutcome(const Bytes& file, Buffer& image) {
  jpeg::MemoryInput in(file.data(), file.size());
  jpeg::Decoder decoder(in, image, nullptr);
  try {
    decoder.Decode();
  } catch (const EInvalidImage& e) {
    EXPECT_STREQ(e.what(), "100");
    return Outcome::kFormatError;
  } catch (const EReadError&) {
    return Outcome::kReadError;
  }
  return Outcome::kDecoded;
}

Outcome DecodeOutcome(const Bytes& file) {
  Buffer image;
  return DecodeOutcome(file, image);
}

Bytes ReferenceFile(const reference::EncodeOptions& o) {
  return reference::Encode(reference::PhotoLike(40, 24, 5), o);
}

// The offset of the first byte after the scan header (start of entropy-coded data).
size_t ScanData(const Bytes& f) {
  for (size_t i = 2; i + 3 < f.size();) {
    const size_t length = static_cast<size_t>(f[i + 2] << 8 | f[i + 3]);
    if (f[i + 1] == 0xDA) return i + 2 + length;
    i += 2 + length;
  }
  return 0;
}

}  // namespace

TEST(JpegMalformed, TheSmallestFileDecodesWithTheExampleTables) {
  // No DQT and no DHT: the standard's example tables stand in.
  ASSERT_EQ(DecodeOutcome(Join({kSOI, kSof, kSos, kBlock, kEOI})), Outcome::kDecoded);
}

TEST(JpegMalformed, SegmentErrors) {
  struct Case {
    const char* name;
    Bytes file;
  } cases[] = {
      {"no SOI", Join({kEOI, kSof})},
      {"bad marker prefix", Join({kSOI, {0x00, 0xC0}, kSof})},
      {"length below 2", Join({kSOI, {0xFF, 0xE0, 0x00, 0x01}, kSof, kSos, kBlock, kEOI})},
      {"lossless frame", Join({kSOI, Segment(0xC3, {8, 0, 8, 0, 8, 1, 1, 0x11, 0}), kSos, kBlock, kEOI})},
      {"arithmetic frame", Join({kSOI, Segment(0xC9, {8, 0, 8, 0, 8, 1, 1, 0x11, 0}), kSos, kBlock, kEOI})},
      {"DAC", Join({kSOI, Segment(0xCC, {0x00, 0x11}), kSof, kSos, kBlock, kEOI})},
      {"12-bit frame", Join({kSOI, Segment(0xC1, {12, 0, 8, 0, 8, 1, 1, 0x11, 0}), kSos, kBlock, kEOI})},
      {"CMYK frame", Join({kSOI, Segment(0xC0, {8, 0, 8, 0, 8, 4, 1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0, 4, 0x11, 0}), kEOI})},
      {"zero width", Join({kSOI, Segment(0xC0, {8, 0, 8, 0, 0, 1, 1, 0x11, 0}), kSos, kBlock, kEOI})},
      {"grey 2x2 sampling", Join({kSOI, Segment(0xC0, {8, 0, 8, 0, 8, 1, 1, 0x22, 0}), kSos, kBlock, kEOI})},
      {"chroma subsampled", Join({kSOI, Segment(0xC0, {8, 0, 8, 0, 8, 3, 1, 0x22, 0, 2, 0x21, 1, 3, 0x11, 1}), kEOI})},
      {"quant table 4", Join({kSOI, Segment(0xC0, {8, 0, 8, 0, 8, 1, 1, 0x11, 4}), kSos, kBlock, kEOI})},
      {"second frame", Join({kSOI, kSof, kSof, kSos, kBlock, kEOI})},
      {"DHT class 2", Join({kSOI, Segment(0xC4, Bytes(17 + 1, 0x20)), kSof, kSos, kBlock, kEOI})},
      {"DHT too short", Join({kSOI, Segment(0xC4, Bytes(10, 0)), kSof, kSos, kBlock, kEOI})},
      {"DHT symbols beyond segment",
       Join({kSOI, Segment(0xC4, {0x00, 0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 2}), kSof, kSos, kBlock, kEOI})},
      {"DHT over-full code space",
       Join({kSOI, Segment(0xC4, {0x00, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3}), kSof, kSos, kBlock, kEOI})},
      {"DQT table 5", Join({kSOI, Segment(0xDB, Join({{0x05}, Bytes(64, 1)})), kSof, kSos, kBlock, kEOI})},
      {"DQT too short", Join({kSOI, Segment(0xDB, Join({{0x10}, Bytes(64, 1)})), kSof, kSos, kBlock, kEOI})},
      {"DRI length", Join({kSOI, Segment(0xDD, {0, 1, 0}), kSof, kSos, kBlock, kEOI})},
      {"scan before frame", Join({kSOI, kSos, kBlock, kSof, kEOI})},
      {"scan length", Join({kSOI, kSof, Segment(0xDA, {1, 1, 0x00, 0, 63, 0, 0}), kBlock, kEOI})},
      {"scan of two in a grey frame", Join({kSOI, kSof, Segment(0xDA, {2, 1, 0, 1, 0, 0, 63, 0}), kBlock, kEOI})},
      {"scan component unknown", Join({kSOI, kSof, Segment(0xDA, {1, 7, 0x00, 0, 63, 0}), kBlock, kEOI})},
      {"scan table number 4", Join({kSOI, kSof, Segment(0xDA, {1, 1, 0x40, 0, 63, 0}), kBlock, kEOI})},
      {"missing Huffman table", Join({kSOI, kSof, Segment(0xDA, {1, 1, 0x22, 0, 63, 0}), kBlock, kEOI})},
      {"missing quant table", Join({kSOI, Segment(0xC0, {8, 0, 8, 0, 8, 1, 1, 0x11, 3}), kSos, kBlock, kEOI})},
      {"EOI without scan", Join({kSOI, kSof, kEOI})},
      // Two blocks wide: the second block's bits run into the EOI marker.
      {"marker in scan data", Join({kSOI, Segment(0xC0, {8, 0, 8, 0, 16, 1, 1, 0x11, 0}), kSos, {0x2B, 0xFF, 0xD9}})},
      {"Huffman code matching nothing", Join({kSOI, kSof, kSos, {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}, kEOI})},
      {"progressive Al above 13",
       Join({kSOI, Segment(0xC2, {8, 0, 8, 0, 8, 1, 1, 0x11, 0}), Segment(0xDA, {1, 1, 0, 0, 0, 0x0E}), kBlock, kEOI})},
      {"progressive Ah not Al + 1",
       Join({kSOI, Segment(0xC2, {8, 0, 8, 0, 8, 1, 1, 0x11, 0}), Segment(0xDA, {1, 1, 0, 0, 0, 0x31}), kBlock, kEOI})},
      {"progressive Ss above Se",
       Join({kSOI, Segment(0xC2, {8, 0, 8, 0, 8, 1, 1, 0x11, 0}), Segment(0xDA, {1, 1, 0, 5, 2, 0}), kBlock, kEOI})},
      {"progressive AC scan before the DC scan",
       Join({kSOI, Frame(0xC2, 8, 8, false), Segment(0xDA, {1, 1, 0, 1, 63, 0}), kBlock, kEOI})},
      {"progressive DC refinement before the first DC scan",
       Join({kSOI, Frame(0xC2, 8, 8, false), Segment(0xDA, {1, 1, 0, 0, 0, 0x10}), kBlock, kEOI})},
      {"progressive AC scan of a component whose DC scan is missing",
       Join({kSOI, Frame(0xC2, 8, 8, true), Segment(0xDA, {1, 1, 0, 0, 0, 0}), {0x00},
             Segment(0xDA, {1, 2, 0x11, 1, 63, 0}), kBlock, kEOI})},
      {"progressive AC scan of three",
       Join({kSOI, Segment(0xC2, {8, 0, 8, 0, 8, 3, 1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1}),
             Segment(0xDA, {3, 1, 0, 2, 0x11, 3, 0x11, 1, 5, 0}), kBlock, kEOI})},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeOutcome(c.file), Outcome::kFormatError) << c.name;
}

TEST(JpegMalformed, HugeSizesAreRefusedBeforeAllocation) {
  const Bytes huge = Join({kSOI, Frame(0xC0, 0xFFFF, 0xFFFF, true, 0x22), kEOI});
  Buffer image;
  EXPECT_EQ(DecodeOutcome(huge, image), Outcome::kFormatError);
  EXPECT_TRUE(image.Empty());
  // With a small target supplied, a huge progressive frame still may not claim its store:
  // refused at the frame when the data is short, and as out of memory before any scan data
  // is read when the data could describe the frame but the store would pass its limit
  // (16 GB here: 6 blocks of 128 bytes every 16 x 16 pixels).
  const Bytes scan = Segment(0xDA, {3, 1, 0, 2, 0x11, 3, 0x11, 0, 0, 0});
  const Bytes progressive = Join({kSOI, Frame(0xC2, 0xFFFF, 0xFFFF, true, 0x22), scan, kEOI});
  const Bytes describable = Join({kSOI, Frame(0xC2, 0xFFFF, 0xFFFF, true, 0x22), scan, Bytes(4096 * 4096 / 8, 0), kEOI});
  for (const Bytes* file : {&progressive, &describable}) {
    Buffer small;
    small.Alloc(Pair<int>(4, 4));
    small.pixels[0] = 0x123456;
    jpeg::MemoryInput in(file->data(), file->size());
    jpeg::Decoder decoder(in, small, nullptr);
    if (file == &progressive)
      EXPECT_THROW(decoder.Decode(), EInvalidImage);
    else
      EXPECT_THROW(decoder.Decode(), EOutOfMemory);
    EXPECT_EQ(small.pixels[0], 0x123456u);
  }
}

// The bytes after the frame header must be able to code the blocks of its component with
// the fewest blocks: two bits a block in a sequential file, one in a progressive file. Here
// the bytes are a segment that claims more than remains: at the bound the frame is accepted
// and the data runs out (a read error); a byte short, the frame is refused.
TEST(JpegMalformed, FramesTheDataCannotDescribeAreRefusedAtTheFrame) {
  struct Case {
    const char* name;
    Bytes frame;
    size_t bytesNeeded;
  } cases[] = {
      {"grey sequential, 64 blocks", Frame(0xC0, 512, 8, false), 16},
      {"grey sequential, 65 x 2 blocks", Frame(0xC1, 513, 9, false), 33},
      {"grey progressive, 64 blocks", Frame(0xC2, 512, 8, false), 8},
      {"4:4:4 sequential, 64 blocks each", Frame(0xC0, 512, 8, true), 16},
      {"4:2:0 sequential, 64 chroma blocks", Frame(0xC0, 1024, 16, true, 0x22), 16},
      {"4:2:2 progressive, 64 chroma blocks", Frame(0xC2, 1024, 8, true, 0x21), 8},
      {"4:2:0 progressive, 64 x 64 chroma blocks", Frame(0xC2, 1024, 1024, true, 0x22), 512},
  };
  for (const Case& c : cases) {
    for (size_t bytes : {c.bytesNeeded, c.bytesNeeded - 1}) {
      // An APP0 segment of the greatest length, cut to `bytes` bytes in all.
      const Bytes cut = Join({{0xFF, 0xE0, 0xFF, 0xFF}, Bytes(bytes - 4, 0)});
      Buffer image;
      const Outcome outcome = DecodeOutcome(Join({kSOI, c.frame, cut}), image);
      EXPECT_EQ(outcome, bytes == c.bytesNeeded ? Outcome::kReadError : Outcome::kFormatError) << c.name << " " << bytes;
      EXPECT_TRUE(image.Empty()) << c.name;
    }
  }
}

// Tiny files claiming 23000 x 23000 (2 GB as pixels, 1 to 3 GB more as a coefficient store):
// refused with nothing allocated.
TEST(JpegMalformed, TinyFilesClaimingHugeImagesTakeNoMemory) {
  const Bytes greyScan = Segment(0xDA, {1, 1, 0x00, 0, 63, 0});
  const Bytes colourScan = Segment(0xDA, {3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 0, 0});
  const Bytes files[] = {
      Join({kSOI, Frame(0xC0, 23000, 23000, false), greyScan, kBlock, kEOI}),
      Join({kSOI, Frame(0xC0, 23000, 23000, true, 0x22), Segment(0xDA, {3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}), kBlock, kEOI}),
      Join({kSOI, Frame(0xC2, 23000, 23000, false), greyScan, kBlock, kEOI}),
      Join({kSOI, Frame(0xC2, 23000, 23000, true, 0x22), colourScan, kBlock, kEOI}),
  };
  for (const Bytes& file : files) {
    ASSERT_LT(file.size(), 100u);
    Buffer image;
    EXPECT_EQ(DecodeOutcome(file, image), Outcome::kFormatError);
    EXPECT_TRUE(image.Empty());
    EXPECT_LT(PeakMemoryGrowthKiB([&] { DecodeOutcome(file); }), kSmallGrowthKiB);
  }
}

// A progressive frame whose data could describe it (padding after the frame header) but whose
// first scan breaks off after a few blocks: the coefficient store holds only the rows the scan
// reached, and the image is never allocated (it would be 256 MB, the full store 128 MB).
TEST(JpegMalformed, AProgressiveScanBrokenOffAllocatesOnlyWhatItReached) {
  Bytes padding;
  for (int i = 0; i < 3; ++i) padding = Join({padding, Segment(0xE1, Bytes(65533, 0))});
  const Bytes file = Join({kSOI, Frame(0xC2, 8192, 8192, false), padding, Segment(0xDA, {1, 1, 0x00, 0, 0, 0}),
                           Bytes(64, 0), kEOI});
  Buffer image;
  EXPECT_EQ(DecodeOutcome(file, image), Outcome::kFormatError);
  EXPECT_TRUE(image.Empty());
  EXPECT_LT(PeakMemoryGrowthKiB([&] { DecodeOutcome(file); }), kSmallGrowthKiB);
}

TEST(JpegMalformed, RestartMarkersFollowInOrderAndWrap) {
  // 40 x 24 at 4:4:4 is 15 MCUs: with an interval of 1, RST0..RST7 then RST0.. again.
  Bytes file = ReferenceFile({90, false, false, 1, 1, 0, 1});
  ASSERT_EQ(DecodeOutcome(file), Outcome::kDecoded);
  std::vector<size_t> at;
  for (size_t i = ScanData(file); i + 1 < file.size(); ++i)
    if (file[i] == 0xFF && file[i + 1] >= 0xD0 && file[i + 1] <= 0xD7) at.push_back(i + 1);
  ASSERT_EQ(at.size(), 14u);
  EXPECT_EQ(file[at[8]], 0xD0);  // wrapped after RST7
  Bytes swapped = file;
  std::swap(swapped[at[2]], swapped[at[3]]);
  EXPECT_EQ(DecodeOutcome(swapped), Outcome::kFormatError);
  Bytes repeated = file;
  repeated[at[9]] = 0xD0;
  EXPECT_EQ(DecodeOutcome(repeated), Outcome::kFormatError);
}

TEST(JpegMalformed, EveryTruncationFailsCleanly) {
  for (const reference::EncodeOptions& o :
       {reference::EncodeOptions{80, false, false, 2, 2, 0, 2}, reference::EncodeOptions{80, false, true, 2, 1, 0, 0}}) {
    const Bytes file = ReferenceFile(o);
    for (size_t n = 0; n + 2 < file.size(); ++n) {
      const Outcome outcome = DecodeOutcome(Bytes(file.begin(), file.begin() + static_cast<long>(n)));
      if (!o.progressive && n + 2 >= file.size()) continue;
      EXPECT_NE(outcome, Outcome::kDecoded) << "prefix " << n;
    }
  }
}

// Flipping bytes inside the entropy-coded data gives an error or some picture, never a
// crash or a read beyond the data (the sanitizers watch).
TEST(JpegMalformed, CorruptScanDataNeverCrashes) {
  for (bool progressive : {false, true}) {
    const Bytes file = ReferenceFile({80, false, progressive, 2, 2, 0, 0});
    const size_t start = ScanData(file);
    std::uint32_t state = 12345;
    for (int trial = 0; trial < 200; ++trial) {
      Bytes damaged = file;
      for (int k = 0; k < 4; ++k) {
        state = state * 1664525u + 1013904223u;
        damaged[start + (state >> 8) % (file.size() - start - 2)] ^= static_cast<unsigned char>(1 + (state >> 24) % 255);
      }
      DecodeOutcome(damaged);
    }
  }
}

TEST(JpegMalformed, StripedTablesFallBackToTheExampleTables) {
  // At quality 50 libjpeg-turbo writes exactly the example tables, so a copy without its
  // DQT and DHT segments must decode to the same picture.
  const Bytes file = ReferenceFile({50, false, false, 2, 2, 0, 0});
  Bytes stripped = {0xFF, 0xD8};
  for (size_t i = 2; i + 3 < file.size();) {
    const size_t length = static_cast<size_t>(file[i + 2] << 8 | file[i + 3]);
    const int m = file[i + 1];
    if (m == 0xDA) {
      stripped.insert(stripped.end(), file.begin() + static_cast<long>(i), file.end());
      break;
    }
    if (m != 0xDB && m != 0xC4) stripped.insert(stripped.end(), file.begin() + static_cast<long>(i), file.begin() + static_cast<long>(i + 2 + length));
    i += 2 + length;
  }
  ASSERT_LT(stripped.size(), file.size() - 400);
  Buffer a, b;
  jpeg::MemoryInput inA(file.data(), file.size()), inB(stripped.data(), stripped.size());
  jpeg::Decoder da(inA, a, nullptr), db(inB, b, nullptr);
  ASSERT_TRUE(da.Decode());
  ASSERT_TRUE(db.Decode());
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) ASSERT_EQ(*a.At(x, y), *b.At(x, y));
}
