#include "vorlen/formats/avi/AviFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "support/TempHome.h"
#include "tests/vorlen/formats/PeakMemory.h"
#include "vorlen/formats/GFXFile.h"
#include "tests/vorlen/BufferFixtures.h"

namespace {

using Bytes = std::vector<uchar>;

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

void Le32(Bytes& b, uint v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uchar>(v >> (8 * i)));
}
void Text(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }
Bytes Chunk(const char* id, const Bytes& body) {
  Bytes b;
  Text(b, id);
  Le32(b, static_cast<uint>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() & 1) b.push_back(0);
  return b;
}
Bytes List(const char* type, const Bytes& body) {
  Bytes inner;
  Text(inner, type);
  inner.insert(inner.end(), body.begin(), body.end());
  return Chunk("LIST", inner);
}

// A DIB header with its colour table (palette as 0x00RRGGBB).
Bytes DibFormat(int width, int height, int bits, uint compression, const std::vector<uint>& palette) {
  Bytes b;
  for (uint v : {40u, uint(width), uint(height)}) Le32(b, v);
  b.push_back(1), b.push_back(0), b.push_back(uchar(bits)), b.push_back(0);
  for (uint v : {compression, 0u, 0u, 0u, uint(palette.size()), 0u}) Le32(b, v);
  for (uint c : palette) b.push_back(uchar(c)), b.push_back(uchar(c >> 8)), b.push_back(uchar(c >> 16)), b.push_back(0);
  return b;
}

struct AviChunkSpec {
  const char* id;
  Bytes data;
};

Bytes AudioStreamList() {
  Bytes audioHeader;
  Text(audioHeader, "auds");
  audioHeader.resize(56, 0);
  return List("strl", Cat({Chunk("strh", audioHeader), Chunk("strf", Bytes(16, 0))}));
}

Bytes RiffAvi(const Bytes& streamLists, const Bytes& movie) {
  const Bytes headers = List("hdrl", Cat({Chunk("avih", Bytes(56, 0)), streamLists}));
  return Chunk("RIFF", Cat({Bytes{'A', 'V', 'I', ' '}, headers, List("movi", movie)}));
}

// A RIFF AVI with an audio stream first (ignored) and the video stream second (number 01).
Bytes BuildAvi(const Bytes& format, const std::vector<AviChunkSpec>& movie, const char* handler = "DIB ") {
  Bytes videoHeader;
  Text(videoHeader, "vids");
  Text(videoHeader, handler);
  videoHeader.resize(56, 0);
  Bytes frames;
  for (const AviChunkSpec& c : movie) frames = Cat({frames, Chunk(c.id, c.data)});
  return RiffAvi(Cat({AudioStreamList(), List("strl", Cat({Chunk("strh", videoHeader), Chunk("strf", format)}))}), frames);
}

class AviFileTest : public ::testing::Test {
protected:
  // Loads frame 0 of the file; answers the error message ("" when it loaded).
  std::string LoadError(const std::string& path, Buffer& dst) {
    try {
      GFXFile::Load(dst, path, nullptr, 0, nullptr);
    } catch (const Exception& e) {
      return e.Message;
    }
    return "";
  }
  std::string Write(const Bytes& bytes, const char* name = "v.avi") {
    const std::string path = home_.Path() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  TempHome home_;
};

// 3 x 2, 24 bits, bottom-up rows padded to 12 bytes: two frames.
Bytes TrueColourVideo() {
  auto frame = [](uchar base) {
    Bytes f;
    for (int row = 0; row < 2; ++row) {  // stored bottom row first
      for (int x = 0; x < 3; ++x) f.push_back(uchar(base + row * 10 + x)), f.push_back(0x22), f.push_back(0x33);
      f.resize(f.size() + 3, 0);
    }
    return f;
  };
  return BuildAvi(DibFormat(3, 2, 24, 0, {}), {{"01db", frame(0)}, {"00wb", Bytes(7, 9)}, {"01db", frame(100)}});
}

TEST_F(AviFileTest, LoadsEachFrameOfAnUncompressedVideo) {
  const std::string path = Write(TrueColourVideo());
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(path, &desc));
  EXPECT_EQ(desc.format, GFXFile::GetDefaultFormat("a.avi"));
  EXPECT_EQ(desc.width, 3);
  EXPECT_EQ(desc.height, 2);
  EXPECT_EQ(desc.bits, 24);
  EXPECT_FALSE(desc.palette);
  EXPECT_EQ(desc.supported, 2);  // the number of frames
  for (int frame : {0, 1}) {
    Buffer b;
    ASSERT_TRUE(GFXFile::Load(b, path, nullptr, frame, nullptr));
    const uint base = frame * 100;
    EXPECT_EQ(Pixels(b), (std::vector<uint>{0x3322'00 + base + 10, 0x332200 + base + 11, 0x332200 + base + 12,
                                            0x332200 + base, 0x332200 + base + 1, 0x332200 + base + 2}));
  }
}

TEST_F(AviFileTest, AFrameBeyondTheEndIsAnErrorAndLeavesTheTarget) {
  const std::string path = Write(TrueColourVideo());
  const std::string empty = Write(BuildAvi(DibFormat(3, 2, 24, 0, {}), {}), "empty.avi");
  for (const auto& [file, frame] : std::vector<std::pair<std::string, int>>{{path, 2}, {path, 1000}, {path, -1}, {empty, 0}}) {
    Buffer b;
    b.Alloc(Pair<int>(2, 2));
    for (int i = 0; i < 4; ++i) b.pixels[i] = 0x123456;
    try {
      GFXFile::Load(b, file, nullptr, frame, nullptr);
      ADD_FAILURE() << "frame " << frame << " loaded";
    } catch (const EInvalidImage& e) {
      EXPECT_EQ(e.Message, "100");
    }
    EXPECT_EQ(Pixels(b), std::vector<uint>(4, 0x123456));
  }
}

TEST_F(AviFileTest, ASmallerTargetGetsTheTopLeftPart) {
  const std::string path = Write(TrueColourVideo());
  Buffer b;
  b.Alloc(Pair<int>(2, 1));
  ASSERT_TRUE(GFXFile::Load(b, path, nullptr, 0, nullptr));
  EXPECT_EQ(Pixels(b), (std::vector<uint>{0x33220A, 0x33220B}));
}

// 8-bit RLE: a key frame, a delta frame, a dropped (empty) frame, a palette change.
TEST_F(AviFileTest, LoadsRunLengthFramesOneOverTheOther) {
  const std::vector<uint> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  const Bytes key = {4, 1, 0, 0,            // bottom row: four of colour 1; end of line
                     0, 3, 2, 3, 2, 0,      // top row: literal 2 3 2 (padded); the 4th stays 0
                     0, 1};                 // end of bitmap
  const Bytes delta = {0, 2, 1, 1,          // move right 1 and up 1: to (1, top row)
                       2, 1, 0, 1};         // two of colour 1; end of bitmap
  Bytes change = {1, 1, 0, 0, 0x10, 0x20, 0x30, 0};  // entry 1 becomes 0x102030
  const std::string path = Write(BuildAvi(DibFormat(4, 2, 8, 1, palette),
      {{"01dc", key}, {"01dc", delta}, {"01pc", change}, {"01dc", {}}, {"01dc", Bytes{9, 2, 0, 1}}}, "mrle"));
  const std::vector<std::vector<uint>> expected = {
      {0x00FF00, 0x0000FF, 0x00FF00, 0, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000},
      {0x00FF00, 0xFF0000, 0xFF0000, 0, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000},
      {0x00FF00, 0x102030, 0x102030, 0, 0x102030, 0x102030, 0x102030, 0x102030},
      {0x00FF00, 0x102030, 0x102030, 0, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00}};
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(path, &desc));
  EXPECT_EQ(desc.supported, 4);
  EXPECT_TRUE(desc.palette);
  for (int frame : {0, 1, 2, 3, 1, 0}) {  // backwards too: decoding starts again
    Buffer b;
    ASSERT_TRUE(GFXFile::Load(b, path, nullptr, frame, nullptr));
    EXPECT_EQ(Pixels(b), expected[size_t(frame)]) << frame;
  }
}

TEST_F(AviFileTest, ReadsEightAndSixteenBitUncompressedFrames) {
  const Bytes eight = {1, 2, 0, 0, 3, 0, 1, 0};  // bottom row 1 2, top row 3 0 (rows of 4 bytes)
  const std::string p8 = Write(BuildAvi(DibFormat(2, 2, 8, 0, {0, 0xFF0000, 0x00FF00, 0x0000FF}), {{"01db", eight}}), "e.avi");
  const Bytes sixteen = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F};  // top-down: red green / blue white
  const std::string p16 = Write(BuildAvi(DibFormat(2, -2, 16, 0, {}), {{"01db", sixteen}}), "s.avi");
  Buffer b;
  ASSERT_TRUE(GFXFile::Load(b, p8, nullptr, 0, nullptr));
  EXPECT_EQ(Pixels(b), (std::vector<uint>{0x0000FF, 0, 0xFF0000, 0x00FF00}));
  Buffer c;
  ASSERT_TRUE(GFXFile::Load(c, p16, nullptr, 0, nullptr));
  EXPECT_EQ(Pixels(c), (std::vector<uint>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
}

TEST_F(AviFileTest, AnUnreadableCompressionIsFoundButNotLoaded) {
  const std::string path = Write(BuildAvi(DibFormat(4, 4, 24, 0x64697663 /* cvid */, {}), {{"01dc", Bytes(10, 1)}}));
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(path, &desc));
  EXPECT_EQ(desc.format, GFXFile::GetDefaultFormat("a.avi"));
  Buffer b;
  EXPECT_THROW(GFXFile::Load(b, path, nullptr, 0, nullptr), EInvalidImage);
}

TEST_F(AviFileTest, SavingIsRefusedBeforeAnyFileIsMade) {
  Buffer b;
  b.Alloc(Pair<int>(2, 2));
  const std::string path = home_.Path() + "/out.avi";
  EXPECT_THROW(GFXFile::Save(b, path, nullptr, nullptr), EInvalidImage);
  EXPECT_FALSE(std::ifstream(path).good());
}

TEST_F(AviFileTest, DamagedFilesFailCleanly) {
  const Bytes good = TrueColourVideo();
  const std::vector<uint> palette(256, 0x404040);
  const Bytes rle = BuildAvi(DibFormat(5, 5, 8, 1, palette), {{"01dc", Bytes{5, 1, 0, 0, 3, 2, 0, 2, 1, 1, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1}}, {"01dc", Bytes{0, 2, 200, 200, 255, 1}}});
  std::mt19937 random(5);
  for (const Bytes& sample : {good, rle}) {
    for (size_t cut = 0; cut < sample.size(); cut += 3) {
      const std::string path = Write(Bytes(sample.begin(), sample.begin() + long(cut)));
      Buffer b;
      try {
        GFXFile::Load(b, path, nullptr, 1, nullptr);
      } catch (const Exception&) {
      }
    }
    for (int round = 0; round < 200; ++round) {
      Bytes bad = sample;
      for (int n = 0; n < 3; ++n) bad[random() % bad.size()] = uchar(random());
      const std::string path = Write(bad);
      GFXFileDesc desc;
      try {
        GFXFile::Test(path, &desc);
        Buffer b;
        GFXFile::Load(b, path, nullptr, round % 3, nullptr);
      } catch (const Exception&) {
      }
    }
  }
}

// A stream header's start counts the frames' positions: one too large to number them is a
// damaged header (the position of the last frame would not fit), not a video to load.
TEST_F(AviFileTest, AStartTooLargeToNumberTheFramesIsADamagedHeader) {
  Bytes file = TrueColourVideo();
  const Bytes vids = {'v', 'i', 'd', 's'};
  const auto at = std::search(file.begin(), file.end(), vids.begin(), vids.end()) - file.begin();
  for (uint start : {0x7FFFFFFFu, 0x7FFFFFF0u, 0x7F000000u}) {
    for (int i = 0; i < 4; ++i) file[size_t(at + 28 + i)] = uchar(start >> (8 * i));
    const std::string path = Write(file);
    for (int frame : {0, 1}) {
      Buffer b;
      EXPECT_THROW(GFXFile::Load(b, path, nullptr, frame, nullptr), EInvalidImage) << start << " frame " << frame;
      EXPECT_TRUE(b.Empty());
    }
  }
}

// The video format's probe: 1 a video file with a video stream, -1 a video file the service
// opens but without a video stream (or with damaged stream headers), 0 anything else.
TEST_F(AviFileTest, ProbeTellsAVideoFileWithoutVideoFromOtherFiles) {
  GFXFile* const avi = GFXFile::GetDefaultFormat("a.avi");
  Bytes damagedList = AudioStreamList();
  damagedList[4] = 0xFF;  // the stream list claims more than the header list holds
  const Bytes wave = Chunk("RIFF", Cat({Bytes{'W', 'A', 'V', 'E'}, Chunk("fmt ", Bytes(16, 0))}));
  const struct {
    const char* name;
    Bytes file;
    int answer;
  } cases[] = {
      {"video", TrueColourVideo(), 1},
      {"audio only", RiffAvi(AudioStreamList(), Chunk("00wb", Bytes(8, 1))), -1},
      {"no streams", RiffAvi({}, {}), -1},
      {"damaged stream list", RiffAvi(Cat({damagedList, AudioStreamList()}), {}), -1},
      {"wave file", wave, 0},
      {"empty file", {}, 0},
  };
  for (const auto& c : cases) {
    const std::string path = Write(c.file);
    GFXFile::TInputStream stream(path);
    GFXFileDesc desc;
    desc.width = 99;
    EXPECT_EQ(avi->Test(&stream, &desc), c.answer) << c.name;
    if (c.answer < 0) {
      EXPECT_EQ(desc.width, 0) << c.name;  // cleared, as for every answer but 0
    }
    if (c.answer == 0) continue;
    GFXFileDesc found;
    EXPECT_TRUE(GFXFile::Test(path, &found)) << c.name;
    EXPECT_EQ(found.format, avi) << c.name;
    Buffer b;
    EXPECT_EQ(LoadError(path, b), c.answer > 0 ? "" : "100") << c.name;
  }
}

// Frames are allocated only once the service has their data: a few bytes claiming 23000 x
// 23000 (beyond the service's frame size), run-length frames whose data could not paint a
// fraction of 8000 x 8000, or an uncompressed frame whose chunk is short of its rows are
// refused with nothing allocated. A dropped frame repeats the one before; with
// none before it there is no picture.
TEST_F(AviFileTest, FramesTheDataCannotFillAreRefusedBeforeAllocation) {
  const std::vector<uint> palette = {0, 0xFFFFFF};
  const struct {
    const char* name;
    Bytes file;
  } cases[] = {
      {"23000 x 23000, 24 bits", BuildAvi(DibFormat(23000, 23000, 24, 0, {}), {{"01db", Bytes(16, 0)}})},
      {"23000 x 23000, RLE8", BuildAvi(DibFormat(23000, 23000, 8, 1, palette), {{"01dc", Bytes{0, 1}}}, "mrle")},
      {"8000 x 8000, RLE8, an end of bitmap", BuildAvi(DibFormat(8000, 8000, 8, 1, palette), {{"01dc", Bytes{0, 1}}}, "mrle")},
      {"8000 x 8000, 24 bits, 16 bytes", BuildAvi(DibFormat(8000, 8000, 24, 0, {}), {{"01db", Bytes(16, 0)}})},
      {"1000 x 1000, 8 bits, a row short", BuildAvi(DibFormat(1000, 1000, 8, 0, palette), {{"01db", Bytes(1000 * 999, 0)}})},
      {"8000 x 8000, only a dropped frame", BuildAvi(DibFormat(8000, 8000, 24, 0, {}), {{"01db", {}}})},
  };
  for (const auto& c : cases) {
    const std::string path = Write(c.file);
    Buffer dst;
    EXPECT_EQ(LoadError(path, dst), "100") << c.name;
    EXPECT_TRUE(dst.Empty()) << c.name;
    EXPECT_LT(PeakMemoryGrowthKiB([&] {
                Buffer b;
                LoadError(path, b);
              }),
              kSmallGrowthKiB)
        << c.name;
  }
  const Bytes first = {1, 2, 0, 0, 3, 0, 1, 0};  // 2 x 2, 8 bits, rows of 4 bytes
  const std::string repeated = Write(BuildAvi(DibFormat(2, 2, 8, 0, {0, 0xFF0000, 0x00FF00, 0x0000FF}), {{"01db", first}, {"01db", {}}}));
  Buffer b;
  ASSERT_TRUE(GFXFile::Load(b, repeated, nullptr, 1, nullptr));
  EXPECT_EQ(Pixels(b), (std::vector<uint>{0x0000FF, 0, 0xFF0000, 0x00FF00}));
}

}  // namespace
