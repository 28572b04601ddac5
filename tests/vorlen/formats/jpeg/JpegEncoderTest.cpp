#include "vorlen/formats/jpeg/JpegEncoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "tests/vorlen/formats/jpeg/JpegTestSupport.h"
#include "tests/vorlen/formats/jpeg/LibJpegReference.h"
#include "vorlen/formats/jpeg/JpegDecoder.h"
#include "vorlen/formats/jpeg/JpegTables.h"

namespace {

using Bytes = std::vector<unsigned char>;

Buffer ToBuffer(const reference::Image& img) {
  Buffer b;
  b.Alloc(Pair<int>(img.width, img.height));
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) *b.At(x, y) = img.pixels[static_cast<size_t>(y) * img.width + x];
  return b;
}

Bytes EncodeOurs(const Buffer& image, int quality, bool grey, bool progressive) {
  jpeg_test::VectorOutput out;
  jpeg::Encoder encoder(image, out, jpeg::EncodeSettings{quality, grey, progressive}, nullptr);
  EXPECT_TRUE(encoder.Encode());
  return out.bytes;
}

double Psnr(const reference::Image& a, const reference::Image& b, bool grey) {
  double sum = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    for (int shift : {0, 8, 16}) {
      int va = static_cast<int>(a.pixels[i] >> shift & 255);
      if (grey) {
        const uint p = a.pixels[i];
        va = static_cast<int>(std::lround(0.299 * (p >> 16 & 255) + 0.587 * (p >> 8 & 255) + 0.114 * (p & 255)));
      }
      const double e = va - static_cast<int>(b.pixels[i] >> shift & 255);
      sum += e * e;
    }
  }
  const double mse = sum / (3.0 * a.pixels.size());
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// Segment markers of a file in order (entropy-coded data skipped).
std::vector<int> Markers(const Bytes& f) {
  std::vector<int> markers;
  size_t i = 2;
  markers.push_back(f[1]);
  while (i + 1 < f.size()) {
    const int m = f[i + 1];
    markers.push_back(m);
    if (m == 0xD9 || i + 3 >= f.size()) break;
    const size_t length = static_cast<size_t>(f[i + 2] << 8 | f[i + 3]);
    i += 2 + length;
    if (m == 0xDA) {
      while (i + 1 < f.size() && !(f[i] == 0xFF && f[i + 1] != 0 && (f[i + 1] < 0xD0 || f[i + 1] > 0xD7))) ++i;
    }
  }
  return markers;
}

struct Mode {
  const char* name;
  bool grey;
  bool progressive;
};

const Mode kModes[] = {{"sequentialColour", false, false},
                       {"sequentialGrey", true, false},
                       {"progressiveColour", false, true},
                       {"progressiveGrey", true, true}};

class EncoderModes : public testing::TestWithParam<Mode> {};

// libjpeg-turbo reads what we write without a warning, our own decoder agrees with it, and
// the picture gets closer to the original as the quality rises.
TEST_P(EncoderModes, LibJpegDecodesAndQualityTracks) {
  const Mode& m = GetParam();
  const reference::Image picture = reference::PhotoLike(157, 93, 3);
  const Buffer source = ToBuffer(picture);
  double previous = 0;
  for (int quality : {10, 30, 50, 75, 90, 100}) {
    const Bytes file = EncodeOurs(source, quality, m.grey, m.progressive);
    const reference::Decoded theirs = reference::Decode(file);
    ASSERT_TRUE(theirs.ok) << m.name << " q" << quality;
    EXPECT_EQ(theirs.warnings, 0) << m.name << " q" << quality;
    EXPECT_EQ(theirs.components, m.grey ? 1 : 3);
    ASSERT_EQ(theirs.image.width, picture.width);
    ASSERT_EQ(theirs.image.height, picture.height);
    const double psnr = Psnr(picture, theirs.image, m.grey);
    EXPECT_GT(psnr, previous) << m.name << " q" << quality;
    previous = psnr;
    Buffer ours;
    jpeg::MemoryInput in(file.data(), file.size());
    jpeg::Decoder decoder(in, ours, nullptr);
    ASSERT_TRUE(decoder.Decode());
    int worst = 0;
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x)
        for (int shift : {0, 8, 16})
          worst = std::max(worst, std::abs(static_cast<int>(*ours.At(x, y) >> shift & 255) -
                                           static_cast<int>(theirs.image.pixels[static_cast<size_t>(y) * picture.width + x] >> shift & 255)));
    EXPECT_LE(worst, 4) << m.name << " q" << quality;
  }
  EXPECT_GT(previous, m.grey ? 40.0 : 38.0);
}

INSTANTIATE_TEST_SUITE_P(Modes, EncoderModes, testing::ValuesIn(kModes),
                         [](const testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

// The bytes our encoder writes, as a 64-bit FNV-1a digest: a faster coder must keep them.
std::uint64_t Digest(const Bytes& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (const unsigned char b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

struct Fixed {
  int width, height, seed, quality;
  bool grey;
  std::uint64_t progressive, sequential;
};

// Sizes off the block grid, qualities from long end-of-band runs (10) to nearly every
// coefficient coded and refined (100), a picture wide enough for long runs of
// correction bits, and grey.
const Fixed kFixedFiles[] = {
    {157, 93, 3, 10, false, 0x45887dac8d51055cull, 0x388011286446b593ull},
    {157, 93, 3, 50, false, 0x04d36c981cc51a68ull, 0xf002a994e86dae8bull},
    {157, 93, 3, 90, false, 0x4465e74a5e246d96ull, 0x5f9a88c793d68903ull},
    {157, 93, 3, 100, false, 0xf817d0b54d3b4789ull, 0x2438962237f2718dull},
    {613, 211, 9, 95, false, 0xe392e986047d86adull, 0x04e646811f7918d1ull},
    {613, 211, 9, 75, true, 0x80a334bdae0271d4ull, 0x2de1af532e46fa67ull},
    {61, 400, 4, 100, true, 0xca0a17dc286e523dull, 0xb124a72f3a8df7d5ull},
    {1, 1, 1, 75, false, 0x47f40c8c294fae1cull, 0x65b9dfdc8dd65434ull},
};

TEST(JpegEncoder, WritesTheSameBytesAsEver) {
  for (const Fixed& f : kFixedFiles) {
    const Buffer picture = ToBuffer(reference::PhotoLike(f.width, f.height, static_cast<std::uint32_t>(f.seed)));
    const std::uint64_t progressive = Digest(EncodeOurs(picture, f.quality, f.grey, true));
    const std::uint64_t sequential = Digest(EncodeOurs(picture, f.quality, f.grey, false));
    EXPECT_EQ(progressive, f.progressive) << f.width << "x" << f.height << " q" << f.quality;
    EXPECT_EQ(sequential, f.sequential) << f.width << "x" << f.height << " q" << f.quality;
  }
}

TEST(JpegEncoder, QualityScalesTheExampleTables) {
  uchar table[64];
  jpeg::ScaleQuantTable(jpeg::kStdLumQuant, 50, table);
  EXPECT_TRUE(std::equal(table, table + 64, jpeg::kStdLumQuant));
  jpeg::ScaleQuantTable(jpeg::kStdChromQuant, 100, table);
  EXPECT_TRUE(std::all_of(table, table + 64, [](uchar v) { return v == 1; }));
  jpeg::ScaleQuantTable(jpeg::kStdLumQuant, 25, table);
  for (int k = 0; k < 64; ++k) EXPECT_EQ(table[k], std::min(255, 2 * jpeg::kStdLumQuant[k]));
  jpeg::ScaleQuantTable(jpeg::kStdChromQuant, 1, table);
  EXPECT_TRUE(std::all_of(table, table + 64, [](uchar v) { return v == 255; }));
}

TEST(JpegEncoder, FileHeadAndSegments) {
  const Buffer colour = ToBuffer(reference::PhotoLike(9, 5));
  const Bytes seq = EncodeOurs(colour, 75, false, false);
  const uchar head[36] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0,
                          0xFF, 0xFE, 0, 14, 'D', 'o', 'r', 'n', 'i', 'c', 'k', ' ', 'L', 't', 'd', '.'};
  ASSERT_GT(seq.size(), 36u);
  EXPECT_TRUE(std::equal(head, head + 36, seq.begin()));
  EXPECT_EQ(Markers(seq), (std::vector<int>{0xD8, 0xE0, 0xFE, 0xDB, 0xDB, 0xC0, 0xC4, 0xC4, 0xC4, 0xC4, 0xDA, 0xD9}));
  // SOF: 9 x 5, three components 1, 2, 3 without subsampling, tables 0, 1, 1.
  const uchar sof[] = {0xFF, 0xC0, 0, 17, 8, 0, 5, 0, 9, 3, 1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1};
  EXPECT_NE(std::search(seq.begin(), seq.end(), sof, sof + sizeof sof), seq.end());

  const Bytes grey = EncodeOurs(colour, 75, true, false);
  EXPECT_EQ(Markers(grey), (std::vector<int>{0xD8, 0xE0, 0xFE, 0xDB, 0xC0, 0xC4, 0xC4, 0xDA, 0xD9}));
  const uchar greySos[] = {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 0, 63, 0};
  EXPECT_NE(std::search(grey.begin(), grey.end(), greySos, greySos + sizeof greySos), grey.end());

  // Progressive colour: ten scans; the DC refinement scan (the 7th) has no DHT before it,
  // the first DC scan two, every other scan one.
  const Bytes prog = EncodeOurs(colour, 75, false, true);
  std::vector<int> m = Markers(prog);
  std::string shape;
  for (size_t i = 6; i < m.size(); ++i) shape += m[i] == 0xC4 ? 'H' : m[i] == 0xDA ? 'S' : m[i] == 0xD9 ? 'E' : '?';
  EXPECT_EQ(shape, "HHSHSHSHSHSHSSHSHSHSE");
  // Progressive grey: the six scans for all components and for Y.
  m = Markers(EncodeOurs(colour, 75, true, true));
  shape.clear();
  for (size_t i = 5; i < m.size(); ++i) shape += m[i] == 0xC4 ? 'H' : m[i] == 0xDA ? 'S' : m[i] == 0xD9 ? 'E' : '?';
  EXPECT_EQ(shape, "HSHSHSHSSHSE");
}

// A block at the right edge is padded with black: a 9-pixel-wide white image has a second
// block column that is white in its first column and black beyond. Widening the frame in the
// file's header to 16 shows the padding.
TEST(JpegEncoder, EdgeBlocksArePaddedWithBlack) {
  Buffer white;
  white.Alloc(Pair<int>(9, 8));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 9; ++x) *white.At(x, y) = 0xFFFFFF;
  Bytes file = EncodeOurs(white, 100, true, false);
  const reference::Decoded theirs = reference::Decode(file);
  ASSERT_TRUE(theirs.ok);
  EXPECT_EQ(theirs.image.width, 9);
  const uchar sof[] = {0xFF, 0xC0, 0, 11, 8, 0, 8, 0, 9};
  auto at = std::search(file.begin(), file.end(), sof, sof + sizeof sof);
  ASSERT_NE(at, file.end());
  at[8] = 16;
  Buffer wide;
  jpeg::MemoryInput in(file.data(), file.size());
  jpeg::Decoder decoder(in, wide, nullptr);
  ASSERT_TRUE(decoder.Decode());
  ASSERT_EQ(wide.Width(), 16);
  for (int y = 0; y < 8; ++y) {
    EXPECT_GE(*wide.At(8, y) & 255, 235u) << y;
    for (int x = 10; x < 16; ++x) EXPECT_LE(*wide.At(x, y) & 255, 25u) << x << "," << y;
  }
}

TEST(JpegEncoder, RefusesSizesTheFormatCannotHold) {
  Buffer empty;
  jpeg_test::VectorOutput out;
  jpeg::Encoder encoder(empty, out, jpeg::EncodeSettings{}, nullptr);
  EXPECT_THROW(encoder.Encode(), EInvalidImage);
  // A view with a width above 65535 needs no memory of that size.
  std::vector<uint> row(70000, 0);
  Buffer wide;
  wide.Alloc(Pair<int>(70000, 1), row.data(), 70000);
  jpeg_test::VectorOutput out2;
  jpeg::Encoder tooWide(wide, out2, jpeg::EncodeSettings{}, nullptr);
  EXPECT_THROW(tooWide.Encode(), EInvalidImage);
  EXPECT_TRUE(out2.bytes.empty());
}

int g_calls = 0;
bool StopAtSecond(int) { return ++g_calls < 2; }

TEST(JpegEncoder, ProgressHookStops) {
  const Buffer picture = ToBuffer(reference::PhotoLike(40, 40));
  for (bool progressive : {false, true}) {
    g_calls = 0;
    jpeg_test::VectorOutput out;
    jpeg::Encoder encoder(picture, out, jpeg::EncodeSettings{75, false, progressive}, StopAtSecond);
    EXPECT_FALSE(encoder.Encode());
    EXPECT_EQ(g_calls, 2);
    ASSERT_GE(out.bytes.size(), 2u);
    EXPECT_FALSE(out.bytes[out.bytes.size() - 2] == 0xFF && out.bytes.back() == 0xD9);  // no EOI
  }
}

}  // namespace
