#include "vorlen/formats/jpeg/JpegDecoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "tests/vorlen/formats/jpeg/LibJpegReference.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Ours {
  Buffer image;
  bool progressive = false;
};

Ours DecodeOurs(const Bytes& file) {
  Ours out;
  jpeg::MemoryInput in(file.data(), file.size());
  jpeg::Decoder decoder(in, out.image, nullptr);
  EXPECT_TRUE(decoder.Decode());
  out.progressive = decoder.Progressive();
  return out;
}

struct Difference {
  int max = 0;
  double mean = 0;
};

Difference Compare(const Buffer& ours, const reference::Image& theirs) {
  Difference d;
  long long sum = 0;
  for (int y = 0; y < theirs.height; ++y) {
    for (int x = 0; x < theirs.width; ++x) {
      const uint a = *ours.At(x, y);
      const uint b = theirs.pixels[static_cast<size_t>(y) * theirs.width + x];
      for (int shift : {0, 8, 16, 24}) {
        const int e = std::abs(static_cast<int>(a >> shift & 255) - static_cast<int>(b >> shift & 255));
        d.max = std::max(d.max, e);
        sum += e;
      }
    }
  }
  d.mean = static_cast<double>(sum) / (3.0 * theirs.width * theirs.height);
  return d;
}

struct Variant {
  const char* name;
  reference::EncodeOptions options;
};

// Files libjpeg-turbo writes: every mode and sampling factor the decoder reads. Sizes that are
// not multiples of the MCU test the clipped edge blocks.
const Variant kVariants[] = {
    {"baseline444", {90, false, false, 1, 1, 0, 0}},
    {"baseline422", {90, false, false, 2, 1, 0, 0}},
    {"baseline420", {75, false, false, 2, 2, 0, 0}},
    {"grey", {85, true, false, 1, 1, 0, 0}},
    {"progressive444", {90, false, true, 1, 1, 0, 0}},
    {"progressive422", {80, false, true, 2, 1, 0, 0}},
    {"progressive420", {75, false, true, 2, 2, 0, 0}},
    {"progressiveGrey", {60, true, true, 1, 1, 0, 0}},
    {"restartRows420", {90, false, false, 2, 2, 1, 0}},
    {"restartBlocks444", {95, false, false, 1, 1, 0, 3}},
    {"restartProgressive420", {90, false, true, 2, 2, 0, 5}},
    {"stepwiseProgressive422", {85, false, true, 2, 1, 0, 0, false, false, true}},
    {"stepwiseRestartProgressive444", {95, false, true, 1, 1, 0, 1, false, false, true}},
    {"restartGrey", {50, true, false, 1, 1, 0, 7}},
    {"quality100", {100, false, false, 2, 2, 0, 0}},
    {"separateScans420", {80, false, false, 2, 2, 0, 0, true}},
    {"separateScansRestart422", {80, false, false, 2, 1, 0, 4, true}},
};

class LibJpegFiles : public testing::TestWithParam<Variant> {};

// Our transform (two passes rounded to whole numbers) and colour tables (whole-number
// products) differ from libjpeg-turbo's by rounding only; both replicate chroma. One unit of
// rounding in a chroma sample moves blue by up to 1.8 and the tables add one more: no channel
// may differ by more than 4, and the mean stays near half a unit (about 0.45 in colour, 0.2 in grey).
TEST_P(LibJpegFiles, DecodeCloseToLibJpeg) {
  const Variant& v = GetParam();
  const reference::Image picture = reference::PhotoLike(203, 117, 7);
  const Bytes file = reference::Encode(picture, v.options);
  ASSERT_FALSE(file.empty());
  const reference::Decoded theirs = reference::Decode(file);
  ASSERT_TRUE(theirs.ok);
  const Ours ours = DecodeOurs(file);
  ASSERT_EQ(ours.image.Width(), picture.width);
  ASSERT_EQ(ours.image.Height(), picture.height);
  EXPECT_EQ(ours.progressive, v.options.progressive);
  const Difference d = Compare(ours.image, theirs.image);
  EXPECT_LE(d.max, 4) << v.name;
  EXPECT_LT(d.mean, 0.6) << v.name;
  if (v.options.grey) {
    for (int y = 0; y < ours.image.Height(); ++y)
      for (int x = 0; x < ours.image.Width(); ++x) {
        const uint p = *ours.image.At(x, y);
        ASSERT_EQ(p, 0x010101u * (p & 255));
      }
  }
}

// The transforms and the colour stage on every instruction set give the plain path's
// pixels exactly, over whole files of every mode (clipped edges, restarts, separate scans).
TEST_P(LibJpegFiles, EveryPathDecodesTheSamePixels) {
  const Variant& v = GetParam();
  const Bytes file = reference::Encode(reference::PhotoLike(203, 117, 11), v.options);
  Buffer plain;
  for (auto path : {jpeg::DctPath::Plain, jpeg::DctPath::Sse2, jpeg::DctPath::Avx2}) {
    if (!jpeg::DctPathAvailable(path)) continue;
    Buffer image;
    jpeg::MemoryInput in(file.data(), file.size());
    jpeg::Decoder decoder(in, image, nullptr);
    decoder.UsePath(path);
    ASSERT_TRUE(decoder.Decode());
    if (path == jpeg::DctPath::Plain) {
      plain.Alloc(Pair<int>(image.Width(), image.Height()));
      for (int y = 0; y < image.Height(); ++y) std::copy(image.At(0, y), image.At(0, y) + image.Width(), plain.At(0, y));
      continue;
    }
    for (int y = 0; y < image.Height(); ++y)
      ASSERT_TRUE(std::equal(image.At(0, y), image.At(0, y) + image.Width(), plain.At(0, y)))
          << v.name << " path " << int(path) << " row " << y;
  }
}

// A progressive file and a sequential copy of the same coefficients decode to the same
// pixels: the progressive scans rebuild exactly the coefficients a single scan holds
// (successive approximation, spectral bands, end-of-band runs, restarts, every sampling).
TEST(JpegDecoder, ProgressiveDecodesAsItsSequentialCopy) {
  for (const Variant& v : kVariants) {
    if (!v.options.progressive) continue;
    for (const int quality : {v.options.quality, 100, 20}) {
      reference::EncodeOptions options = v.options;
      options.quality = quality;
      const Bytes file = reference::Encode(reference::PhotoLike(203, 117, 5), options);
      const Bytes sequential = reference::TranscodeToSequential(file);
      ASSERT_FALSE(sequential.empty()) << v.name;
      const Ours progressive = DecodeOurs(file);
      const Ours copy = DecodeOurs(sequential);
      ASSERT_TRUE(progressive.progressive);
      ASSERT_FALSE(copy.progressive);
      ASSERT_EQ(progressive.image.Width(), copy.image.Width());
      ASSERT_EQ(progressive.image.Height(), copy.image.Height());
      for (int y = 0; y < copy.image.Height(); ++y)
        ASSERT_TRUE(std::equal(copy.image.At(0, y), copy.image.At(0, y) + copy.image.Width(), progressive.image.At(0, y)))
            << v.name << " q" << quality << " row " << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Variants, LibJpegFiles, testing::ValuesIn(kVariants),
                         [](const testing::TestParamInfo<Variant>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

struct Flat {
  const char* name;
  reference::EncodeOptions options;
  int bytesAtTheBound;  // the fewest bytes that can describe the frame
  double timesTheBound;  // how far above it the file stays
};

// 2048 x 2048 grey has 65536 blocks; 4:2:0 has 16384 blocks in each chroma plane, and the
// bound counts one plane only (the other five blocks of an MCU take as many bits again).
// Progressive files add their AC scans' end-of-band runs to the first scan's bit a block.
const Flat kFlatFiles[] = {
    {"greyOptimized", {75, true, false, 1, 1, 0, 0, false, true}, 65536 / 4, 1.1},
    {"greyProgressive", {75, true, true, 1, 1, 0, 0}, 65536 / 8, 2.5},
    {"colour420Optimized", {75, false, false, 2, 2, 0, 0, false, true}, 16384 / 4, 6.5},
    {"colour420Progressive", {75, false, true, 2, 2, 0, 0}, 16384 / 8, 13},
};

}  // namespace

// A single colour compresses as far as libjpeg-turbo can take it (with its own Huffman
// tables, one bit for a zero DC difference and one for the end of block): such files sit
// close to the bound the decoder checks the frame against, and must load.
TEST(JpegDecoder, SingleColourFilesAtTheirHighestCompressionLoad) {
  const reference::Image flat{2048, 2048, std::vector<std::uint32_t>(2048 * 2048, 0x5A7090)};
  for (const Flat& f : kFlatFiles) {
    const Bytes file = reference::Encode(flat, f.options);
    ASSERT_FALSE(file.empty()) << f.name;
    EXPECT_LT(static_cast<double>(file.size()), f.bytesAtTheBound * f.timesTheBound) << f.name << " " << file.size();
    const Ours ours = DecodeOurs(file);
    ASSERT_EQ(ours.image.Width(), 2048) << f.name;
    ASSERT_EQ(ours.image.Height(), 2048) << f.name;
    const reference::Decoded theirs = reference::Decode(file);
    ASSERT_TRUE(theirs.ok);
    EXPECT_LE(Compare(ours.image, theirs.image).max, 2) << f.name;
  }
}
