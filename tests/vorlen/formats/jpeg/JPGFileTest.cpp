#include "vorlen/formats/jpeg/JPGFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "support/TempHome.h"
#include "tests/vorlen/formats/PeakMemory.h"
#include "tests/vorlen/formats/jpeg/LibJpegReference.h"

namespace {

using Bytes = std::vector<unsigned char>;

GFXFile* Jpeg() { return GFXFile::GetDefaultFormat("x.jpg"); }

Buffer Picture(int w, int h) {
  const reference::Image img = reference::PhotoLike(w, h, 11);
  Buffer b;
  b.Alloc(Pair<int>(w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *b.At(x, y) = img.pixels[static_cast<size_t>(y) * w + x];
  return b;
}

std::string WriteBytes(const TempHome& home, const std::string& name, const Bytes& bytes) {
  return home.WriteFile(name, std::string(bytes.begin(), bytes.end()));
}

int g_steps = 0;
bool StopAtThird(int) { return ++g_steps < 3; }

}  // namespace

TEST(JPGFile, RegistersAfterTheFrameFormat) {
  GFXFile* f = Jpeg();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->name, "JPEG");
  EXPECT_EQ(f->extensions, "*.JPG;*.JPEG;*.JFIF");
  EXPECT_EQ(f->depths, 0x00800000u);
  EXPECT_EQ(f->grey_depths, 0x80);
  EXPECT_TRUE(f->interlace);
  EXPECT_EQ(f->quality, 1);
  EXPECT_EQ(f->defaults.bits, 24);
  EXPECT_EQ(f->defaults.quality, 75);
  EXPECT_EQ(GFXFile::GetDefaultFormat("a.jfif"), f);
  EXPECT_EQ(GFXFile::GetDefaultFormat("a.JPEG"), f);
  int position = 0, frm = -1, jpeg = -1;
  for (GFXFile* g = GFXFile::Formats(); g != nullptr; g = g->next, ++position) {
    if (g->name == "Dornick Frame") frm = position;
    if (g == f) jpeg = position;
  }
  EXPECT_LT(frm, jpeg);
}

// Save and load through the registry in each mode; the descriptor tells what the file is.
TEST(JPGFile, SavesAndLoadsThroughTheRegistry) {
  TempHome home;
  Buffer source = Picture(50, 30);
  struct Case {
    bool grey, interlaced;
  } cases[] = {{false, false}, {false, true}, {true, false}, {true, true}};
  for (const Case& c : cases) {
    const std::string path = home.Path() + "/picture.jpg";
    GFXSaveParams params;
    params.quality = 95;
    params.grey = c.grey;
    params.interlaced = c.interlaced;
    ASSERT_TRUE(GFXFile::Save(source, path, nullptr, &params));
    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Test(path, &desc));
    EXPECT_EQ(desc.format, Jpeg());
    EXPECT_EQ(desc.supported, 1);
    EXPECT_EQ(desc.width, 50);
    EXPECT_EQ(desc.height, 30);
    EXPECT_EQ(desc.colour, !c.grey);
    EXPECT_FALSE(desc.palette);
    EXPECT_EQ(desc.bits, c.grey ? 8 : 24);
    EXPECT_EQ(desc.sample_bits, 8);
    Buffer back;
    ASSERT_TRUE(GFXFile::Load(back, path, nullptr, 0, &desc));
    EXPECT_EQ(desc.interlaced, c.interlaced);
    ASSERT_EQ(back.Width(), 50);
    ASSERT_EQ(back.Height(), 30);
    long long error = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 50; ++x) {
        const uint a = *source.At(x, y), b = *back.At(x, y);
        EXPECT_EQ(b >> 24, 0u);
        if (c.grey) {
          EXPECT_EQ(b, 0x010101u * (b & 255));
        } else {
          for (int s : {0, 8, 16}) error += std::abs(static_cast<int>(a >> s & 255) - static_cast<int>(b >> s & 255));
        }
      }
    if (!c.grey) {
      EXPECT_LT(static_cast<double>(error) / (3 * 50 * 30), 6.0);
    }
    GFXSaveParams again;
    again = desc;
    EXPECT_EQ(again.interlaced, c.interlaced);
    EXPECT_EQ(again.grey, c.grey);
  }
}

TEST(JPGFile, ProbeAnswers) {
  const Bytes cmyk = {0xFF, 0xD8, 0xFF, 0xC0, 0, 20, 8, 0, 8, 0, 8, 4, 1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0, 4, 0x11, 0, 0xFF, 0xD9};
  const Bytes twelveBit = {0xFF, 0xD8, 0xFF, 0xC1, 0, 11, 12, 0, 8, 0, 16, 1, 1, 0x11, 0, 0xFF, 0xD9};
  const Bytes lossless = {0xFF, 0xD8, 0xFF, 0xC3, 0, 11, 8, 0, 8, 0, 16, 1, 1, 0x11, 0, 0xFF, 0xD9};
  const Bytes cut = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J'};
  const Bytes progressive = reference::Encode(reference::PhotoLike(9, 7), {75, false, true, 2, 2, 0, 0});
  struct Case {
    const char* name;
    Bytes bytes;
    int answer;
    int width;
  } cases[] = {
      {"cmyk", cmyk, -1, 8},      {"12-bit", twelveBit, -1, 16},      {"lossless", lossless, -1, 16},
      {"cut", cut, -1, 0},        {"progressive", progressive, 1, 9}, {"not jpeg", {'B', 'M', 0, 0}, 0, 0},
      {"one byte", {0xFF}, 0, 0},
  };
  for (const Case& c : cases) {
    TMemoryStream stream;
    stream.WriteBuffer(c.bytes.data(), static_cast<int>(c.bytes.size()));
    stream.SetPosition(1);
    stream.SetPosition(0);
    GFXFileDesc desc;
    desc.width = 12345;
    EXPECT_EQ(Jpeg()->Test(&stream, &desc), c.answer) << c.name;
    EXPECT_EQ(stream.Position(), 0) << c.name;
    if (c.answer != 0) {
      EXPECT_EQ(desc.width, c.width) << c.name;
      EXPECT_EQ(desc.supported, c.answer == 1 ? 1 : 0) << c.name;
    }
    EXPECT_EQ(Jpeg()->Test(&stream, nullptr), c.answer == 0 ? 0 : -1) << c.name;
    if (c.answer == -1 && c.width > 0) {
      Buffer dst;
      stream.SetPosition(0);
      EXPECT_THROW(Jpeg()->Load(dst, &stream, 0, nullptr, &desc), EInvalidImage) << c.name;
    }
  }
}

// Quality 0 (which the registry turns into 75 before a codec sees it) writes what 75 writes
// when the codec is called directly, instead of dividing by zero.
TEST(JPGFile, QualityZeroMeansTheDefault) {
  Buffer source = Picture(24, 16);
  TMemoryStream zero, standard;
  GFXSaveParams params;
  params.quality = 0;
  ASSERT_TRUE(Jpeg()->Save(source, &zero, &params, nullptr));
  params.quality = 75;
  ASSERT_TRUE(Jpeg()->Save(source, &standard, &params, nullptr));
  ASSERT_EQ(zero.Size(), standard.Size());
  EXPECT_EQ(std::memcmp(zero.Memory(), standard.Memory(), static_cast<size_t>(zero.Size())), 0);
}

// The probe and the decoder read markers alike: bytes FF FF before a frame are a marker FF
// with a length for both, so the frame behind it (here a huge one) is neither measured by
// the probe nor allocated by the decoder.
TEST(JPGFile, ProbeAndDecoderAgreeOnFillBytes) {
  const Bytes file = {0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x20, 0x1A, 0xFA, 0x08,
                      0x01, 0x01, 0x11, 0x00, 0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00, 0xFF, 0xD9};
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int>(file.size()));
  stream.SetPosition(0);
  GFXFileDesc desc;
  EXPECT_EQ(Jpeg()->Test(&stream, &desc), -1);
  EXPECT_EQ(desc.width, 0);
  Buffer dst;
  EXPECT_THROW(Jpeg()->Load(dst, &stream, 0, nullptr, &desc), EReadError);
  EXPECT_TRUE(dst.Empty());
}

TEST(JPGFile, UnreadableVariantLoadsAsInvalidImage) {
  TempHome home;
  const std::string path = WriteBytes(home, "cmyk.jpg",
      {0xFF, 0xD8, 0xFF, 0xC0, 0, 20, 8, 0, 8, 0, 8, 4, 1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0, 4, 0x11, 0, 0xFF, 0xD9});
  GFXFileDesc desc;
  EXPECT_TRUE(GFXFile::Test(path, &desc));
  EXPECT_EQ(desc.supported, 0);
  Buffer dst;
  try {
    GFXFile::Load(dst, path, nullptr, 0, &desc);
    FAIL();
  } catch (const EInvalidImage& e) {
    EXPECT_EQ(e.Message, "100");
  }
}

TEST(JPGFile, ProgressHookStopsLoadingAndSaving) {
  TempHome home;
  Buffer source = Picture(64, 64);
  const std::string path = home.Path() + "/p.jpg";
  ASSERT_TRUE(GFXFile::Save(source, path, nullptr, nullptr));
  GFXFile::SetProgFunc(nullptr, StopAtThird, nullptr);
  g_steps = 0;
  Buffer back;
  EXPECT_FALSE(GFXFile::Load(back, path, nullptr, 0, nullptr));
  EXPECT_EQ(g_steps, 3);
  // A progressive file reports its rows in every scan and stops as soon.
  const std::string progressive = WriteBytes(home, "prog.jpg", reference::Encode(reference::PhotoLike(64, 64), {75, false, true, 2, 2, 0, 0}));
  g_steps = 0;
  Buffer partial;
  EXPECT_FALSE(GFXFile::Load(partial, progressive, nullptr, 0, nullptr));
  EXPECT_EQ(g_steps, 3);
  g_steps = 0;
  const std::string stopped = home.Path() + "/stopped.jpg";
  EXPECT_FALSE(GFXFile::Save(source, stopped, nullptr, nullptr));
  GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  EXPECT_THROW(GFXFile::Test(stopped, nullptr), EFOpenError);  // the stopped file is gone
}

// Loaded from files, as the program opens them: frames of 23000 x 23000 behind a few bytes
// are refused at the frame header, with nothing allocated.
TEST(JPGFile, TinyFilesClaimingHugeImagesAreRefusedWithoutMemory) {
  TempHome home;
  const Bytes baseline = {0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0x59, 0xD8, 0x59, 0xD8, 1, 1, 0x11, 0,
                          0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0, 0x2B, 0xFF, 0x00, 0xFF, 0xD9};
  Bytes progressive = baseline;
  progressive[3] = 0xC2;
  progressive[23] = 0;  // a DC scan: Se 0
  for (const Bytes& file : {baseline, progressive}) {
    const std::string path = WriteBytes(home, "huge.jpg", file);
    Buffer dst;
    try {
      GFXFile::Load(dst, path, nullptr, 0, nullptr);
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidImage& e) {
      EXPECT_EQ(e.Message, "100");
    }
    EXPECT_TRUE(dst.Empty());
    EXPECT_LT(PeakMemoryGrowthKiB([&] {
                Buffer b;
                GFXFile::Load(b, path, nullptr, 0, nullptr);
              }),
              kSmallGrowthKiB);
  }
}
