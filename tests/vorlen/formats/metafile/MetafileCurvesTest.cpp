// Arcs, curves and paths in hand-built metafiles, checked by where ink lands.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>

#include "MetafileBuilders.h"
#include "platform/rtl/Exceptions.h"
#include "support/TempHome.h"
#include "vorlen/formats/GFXFile.h"

namespace {

using namespace metafile_test;

constexpr int kRedRef = 0x0000FF, kBlueRef = 0xFF0000;  // framework colours
constexpr uint kRed = 0xFF0000, kBlue = 0x0000FF;       // pixels

class MetafileCurvesTest : public ::testing::Test {
protected:
  Buffer Play(const Bytes& bytes, const std::string& name) {
    const std::string path = home_.Path() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    Buffer b;
    EXPECT_TRUE(GFXFile::Load(b, path, nullptr, 0, nullptr)) << name;
    return b;
  }
  TempHome home_;
};

uint At(const Buffer& b, int x, int y) { return *b.At(x, y) & 0xFFFFFF; }

bool Near(const Buffer& b, int x, int y, uint colour) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int px = x + dx, py = y + dy;
      if (px >= 0 && py >= 0 && px < b.Width() && py < b.Height() && At(b, px, py) == colour) return true;
    }
  return false;
}

// A red one-pixel pen in slot 1 and a blue brush in slot 2, selected.
void Tools(EmfBuilder& e) {
  e.Record(38, {1, 0, 1, 0, kRedRef});
  e.Record(39, {2, 0, kBlueRef, 0});
  e.Record(37, {1});
  e.Record(37, {2});
}

Bytes Points16(std::initializer_list<std::pair<int, int>> points, std::initializer_list<int> counts = {}) {
  Bytes b;
  for (int i = 0; i < 4; ++i) Le32(b, 0);
  if (counts.size() > 0) Le32(b, uint(counts.size()));
  Le32(b, uint(points.size()));
  for (int c : counts) Le32(b, uint(c));
  for (auto [x, y] : points) Le16(b, x), Le16(b, y);
  return b;
}

// The circle through pixels 0..40 has its centre on (20, 20); radials right and up.
TEST_F(MetafileCurvesTest, EnhancedArcsPiesAndChordsFollowTheirRadialsAndDirection) {
  const std::pair<uint, const char*> kinds[] = {{45, "arc"}, {47, "pie"}, {46, "chord"}};
  for (auto [type, name] : kinds) {
    SCOPED_TRACE(name);
    for (bool clockwise : {false, true}) {
      EmfBuilder e;
      Tools(e);
      if (clockwise) e.Record(57, {2});
      e.Record(type, {0, 0, 41, 41, 60, 20, 20, -30});
      const Buffer b = Play(e.Finish(41, 41), std::string(name) + ".emf");
      // 45 degrees up-right lies on the anticlockwise arc, 45 degrees down-left on the other.
      EXPECT_EQ(Near(b, 34, 6, kRed), !clockwise);
      EXPECT_EQ(Near(b, 6, 34, kRed), clockwise);
      const bool filled = type != 45;
      EXPECT_EQ(At(b, 31, 9) == kBlue, filled && !clockwise);
      EXPECT_EQ(At(b, 9, 31) == kBlue, filled && clockwise);
      EXPECT_EQ(At(b, 20, 20) == kRed, type == 47);  // the pie's radials meet in the centre
      // Near the centre in the top-right quarter: inside the small pie, beside the small chord.
      EXPECT_EQ(At(b, 24, 16) == kBlue, type == 47 ? !clockwise : type == 46 && clockwise);
    }
  }
}

TEST_F(MetafileCurvesTest, WindowsArcsPiesAndChords) {
  for (int function : {0x0817, 0x081A, 0x0830}) {
    WmfBuilder w;
    w.Record(0x020C, {41, 41});
    w.Record(0x02FA, {0, 1, 0, kRedRef & 0xFFFF, kRedRef >> 16});
    w.Record(0x02FC, {0, kBlueRef & 0xFFFF, kBlueRef >> 16, 0});
    w.Record(0x012D, {0});
    w.Record(0x012D, {1});
    w.Record(function, {-30, 20, 20, 60, 41, 41, 0, 0});  // end y x, start y x, box b r t l
    const Buffer b = Play(w.Finish(41, 41, 96), "arc.wmf");
    EXPECT_TRUE(Near(b, 34, 6, kRed)) << function;
    EXPECT_FALSE(Near(b, 6, 34, kRed)) << function;
    EXPECT_EQ(At(b, 31, 9) == kBlue, function != 0x0817) << function;
  }
}

TEST_F(MetafileCurvesTest, BeziersAndLinesFromTheCurrentPosition) {
  EmfBuilder e;
  Tools(e);
  e.Raw(85, Points16({{0, 0}, {0, 40}, {40, 40}, {40, 0}}));  // an arch down to y = 30
  e.Record(27, {0, 38});
  e.Raw(88, Points16({{10, 38}, {20, 38}, {30, 38}}));  // a straight curve along y = 38
  e.Raw(89, Points16({{39, 38}, {39, 34}}));
  const Buffer b = Play(e.Finish(41, 41), "curves.emf");
  EXPECT_TRUE(Near(b, 20, 30, kRed));
  EXPECT_FALSE(Near(b, 20, 26, kRed));
  EXPECT_TRUE(Near(b, 2, 10, kRed));
  EXPECT_EQ(At(b, 15, 38), kRed);
  EXPECT_EQ(At(b, 35, 38), kRed);
  EXPECT_EQ(At(b, 39, 36), kRed);
  EXPECT_EQ(At(b, 20, 20), 0u);
}

// Moves, lines closing a triangle, and a curve, in one mixed list.
Bytes PolyDraw16() {
  const std::pair<int, int> points[] = {{5, 5}, {35, 5}, {35, 35}, {5, 38}, {5, 48}, {35, 48}, {35, 38}};
  const uchar kinds[] = {6, 2, 2 | 1, 6, 4, 4, 4};
  Bytes b;
  for (int i = 0; i < 4; ++i) Le32(b, 0);
  Le32(b, 7);
  for (auto [x, y] : points) Le16(b, x), Le16(b, y);
  b.insert(b.end(), kinds, kinds + 7);
  b.push_back(0);
  return b;
}

TEST_F(MetafileCurvesTest, MixedPointListsDrawAndFillTheirFigures) {
  for (bool path : {false, true}) {
    SCOPED_TRACE(path);
    EmfBuilder e;
    Tools(e);
    if (path) e.Record(59, {});
    e.Raw(92, PolyDraw16());
    if (path) e.Record(60, {}), e.Record(63, {0, 0, 40, 50});
    const Buffer b = Play(e.Finish(41, 51), "polydraw.emf");
    EXPECT_EQ(At(b, 20, 5), kRed);
    EXPECT_EQ(At(b, 35, 20), kRed);
    EXPECT_TRUE(Near(b, 20, 20, kRed));  // the closing line
    EXPECT_TRUE(Near(b, 20, 45, kRed));  // the curve's lowest part
    EXPECT_EQ(At(b, 30, 10) == kBlue, path);
    EXPECT_EQ(At(b, 10, 30), 0u);
  }
}

TEST_F(MetafileCurvesTest, PathsAreFilledAndOutlinedAsOneShapeWithHoles) {
  for (uint paint : {62u, 63u, 64u}) {  // fill, stroke and fill, stroke
    SCOPED_TRACE(paint);
    EmfBuilder e;
    Tools(e);
    e.Record(59, {});
    e.Record(27, {5, 5});  // outer square by lines
    e.Record(54, {35, 5});
    e.Record(54, {35, 35});
    e.Record(54, {5, 35});
    e.Record(61, {});
    e.Raw(86, Points16({{15, 15}, {25, 15}, {25, 25}, {15, 25}}));  // the hole
    e.Record(27, {5, 38});  // a half-disc by a curve
    e.Raw(88, Points16({{5, 48}, {35, 48}, {35, 38}}));
    e.Record(61, {});
    e.Record(60, {});
    e.Record(paint, {0, 0, 40, 50});
    const Buffer b = Play(e.Finish(41, 51), "path.emf");
    const bool fill = paint != 64, stroke = paint != 62;
    EXPECT_EQ(At(b, 10, 10) == kBlue, fill);
    EXPECT_EQ(At(b, 20, 20), 0u);  // the hole
    EXPECT_EQ(At(b, 20, 42) == kBlue, fill);
    EXPECT_EQ(At(b, 20, 5) == kRed, stroke);
    EXPECT_EQ(At(b, 20, 15) == kRed, stroke);
    EXPECT_EQ(At(b, 5, 20) == kRed, stroke);
    EXPECT_EQ(At(b, 20, 38) == kRed, stroke);  // the closing line of the half-disc
    EXPECT_EQ(At(b, 38, 20), 0u);
  }
}

TEST_F(MetafileCurvesTest, EllipsesAndPiesInPathsBecomeFigures) {
  EmfBuilder e;
  Tools(e);
  e.Record(59, {});
  e.Record(42, {0, 0, 41, 41});
  e.Record(42, {10, 10, 31, 31});  // a hole by the alternate rule
  e.Record(60, {});
  e.Record(62, {0, 0, 40, 40});
  e.Record(59, {});
  e.Record(47, {41, 0, 82, 41, 100, 20, 61, -30});  // the top-right quarter of a second circle
  e.Record(60, {});
  e.Record(62, {41, 0, 81, 40});
  const Buffer b = Play(e.Finish(82, 41), "figures.emf");
  EXPECT_EQ(At(b, 20, 5), kBlue);
  EXPECT_EQ(At(b, 5, 20), kBlue);
  EXPECT_EQ(At(b, 20, 20), 0u);
  EXPECT_EQ(At(b, 2, 2), 0u);
  EXPECT_EQ(At(b, 72, 9), kBlue);
  EXPECT_EQ(At(b, 50, 31), 0u);
  EXPECT_EQ(At(b, 50, 9), 0u);
}

TEST_F(MetafileCurvesTest, PolyPolygonsLeaveTheirHolesOpen) {
  EmfBuilder e;
  Tools(e);
  e.Raw(91, Points16({{5, 5}, {35, 5}, {35, 35}, {5, 35}, {15, 15}, {25, 15}, {25, 25}, {15, 25}}, {4, 4}));
  const Buffer b = Play(e.Finish(41, 41), "ring.emf");
  EXPECT_EQ(At(b, 10, 10), kBlue);
  EXPECT_EQ(At(b, 20, 20), 0u);
  EXPECT_EQ(At(b, 20, 15), kRed);
  EXPECT_EQ(At(b, 5, 20), kRed);
}

TEST_F(MetafileCurvesTest, ClipPathsLimitLaterDrawing) {
  EmfBuilder e;
  Tools(e);
  e.Record(59, {});
  e.Raw(86, Points16({{0, 0}, {20, 0}, {20, 40}, {0, 40}}));
  e.Record(60, {});
  e.Record(67, {5});  // RGN_COPY
  e.Record(43, {-1, -1, 42, 42});
  const Buffer b = Play(e.Finish(41, 41), "clip.emf");
  EXPECT_EQ(At(b, 10, 20), kBlue);
  EXPECT_EQ(At(b, 30, 20), 0u);
}

TEST_F(MetafileCurvesTest, WildArcsAndCurvesStayCheap) {
  EmfBuilder e;
  Tools(e);
  const int big = 2000000000;
  e.Record(47, {-big, -big, big, big, big, 3, -big, big});
  e.Record(41, {20, 20, -1, 0, 0x7F7FFFFF});  // radius and angle far out of range
  e.Raw(2, [&] {
    Bytes b = Points16({});
    b.resize(16);
    Le32(b, 4);
    for (int v : {-big, big, big, -big, -big, -big, big, big}) Le32(b, uint(v));
    return b;
  }());
  Play(e.Finish(41, 41), "wild.emf");
}

}  // namespace

namespace {

// A 4 x 2 picture of palette indices, bottom row 0 1 0 1, top row 1 1 0 0; index 0 red, 1 blue.
// With palette indices (usage 1) the table holds the words red and blue are given.
Bytes StretchDib(int bits, uint compression, const Bytes& data, uint usage = 0, int red = 0, int blue = 0) {
  Bytes bmi;
  for (uint v : {40u, 4u, 2u}) Le32(bmi, v);
  Le16(bmi, 1), Le16(bmi, bits), Le32(bmi, compression), Le32(bmi, uint(data.size()));
  for (int i = 0; i < 4; ++i) Le32(bmi, 0);
  for (int i = 0; i < (1 << bits); ++i) {
    if (usage == 1) Le16(bmi, i == 0 ? red : i == 1 ? blue : 0);
    else Le32(bmi, i == 0 ? 0x00FF0000u : i == 1 ? 0x000000FFu : 0u);
  }
  Bytes p;
  for (int i = 0; i < 4; ++i) Le32(p, 0);  // bounds
  for (int v : {0, 0, 0, 0, 4, 2}) Le32(p, uint(v));  // destination, source position and size
  Le32(p, 80), Le32(p, uint(bmi.size())), Le32(p, uint(80 + bmi.size())), Le32(p, uint(data.size()));
  Le32(p, usage), Le32(p, 0x00CC0020), Le32(p, 4), Le32(p, 2);
  p.insert(p.end(), bmi.begin(), bmi.end());
  p.insert(p.end(), data.begin(), data.end());
  return p;
}

TEST_F(MetafileCurvesTest, PaletteAndRunLengthBitmapsPlay) {
  const std::tuple<int, uint, Bytes, const char*> cases[] = {
      {8, 0, {0, 1, 0, 1, 1, 1, 0, 0}, "8-bit"},
      {4, 0, {0x01, 0x01, 0, 0, 0x11, 0x00, 0, 0}, "4-bit"},
      {1, 0, {0x50, 0, 0, 0, 0xC0, 0, 0, 0}, "1-bit"},
      {8, 1, {0, 4, 0, 1, 0, 1, 0, 0, 2, 1, 2, 0, 0, 1}, "run-length"},
      {4, 2, {0, 4, 0x01, 0x01, 0, 0, 2, 0x11, 2, 0x00, 0, 1}, "4-bit run-length"},
      {4, 2, {0, 2, 1, 0, 3, 0x10, 0, 0, 2, 0x11, 0, 1}, "4-bit run-length, moved"},
  };
  for (const auto& [bits, compression, data, name] : cases) {
    SCOPED_TRACE(name);
    EmfBuilder e;
    e.Raw(81, StretchDib(bits, compression, data));
    const Buffer b = Play(e.Finish(4, 2), "dib.emf");
    const uint expected[2][4] = {{kBlue, kBlue, kRed, kRed}, {kRed, kBlue, kRed, kBlue}};
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(At(b, x, y), expected[y][x]) << x << "," << y;
  }
}

TEST_F(MetafileCurvesTest, BitmapsIndexingThePaletteTakeItsColours) {
  const Bytes data = {0, 1, 0, 1, 1, 1, 0, 0};
  for (bool own : {false, true}) {
    SCOPED_TRACE(own);
    EmfBuilder e;
    if (own) {  // a palette of green, red, blue selected; otherwise the default palette
      e.Record(49, {3, 0x00030300, 0x0000FF00, 0x000000FF, 0x00FF0000});
      e.Record(48, {3});
    }
    e.Raw(81, StretchDib(8, 0, data, 1, own ? 1 : 13, own ? 2 : 16));
    const Buffer b = Play(e.Finish(4, 2), "palette.emf");
    const uint expected[2][4] = {{kBlue, kBlue, kRed, kRed}, {kRed, kBlue, kRed, kBlue}};
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(At(b, x, y), expected[y][x]) << x << "," << y;
  }
}

}  // namespace
