// The selection outline as data: the bytes the tracer writes for the telling shapes, the
// regions and holes its contours enclose for any mask, the scaler's remainders, blocks that
// must grow in the middle of a long edge or cannot grow at all, a 4000 x 3000 selection at
// zoom 8, and the painter's choice of pixels.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "OutlineProbe.h"
#include "quillo/document/SelectionOutline.h"

namespace {

using namespace outline_probe;
using Bytes = std::vector<std::uint8_t>;

Bytes Int(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return {std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16), std::uint8_t(u >> 24)};
}

// A block from contours given as (x, y, run bytes).
struct ContourBytes {
  int x, y;
  Bytes runs;
};
Bytes Block(const std::vector<ContourBytes>& contours) {
  Bytes out;
  for (const ContourBytes& c : contours) {
    for (auto part : {Int(c.x), Int(c.y), c.runs}) out.insert(out.end(), part.begin(), part.end());
    out.push_back(0x10);
  }
  const Bytes end = Int(-1);
  out.insert(out.end(), end.begin(), end.end());
  return out;
}

// A mask drawn as rows of '#' (selected) and '.'.
void DrawMask(BitBuffer& mask, const std::vector<std::string>& rows) {
  ClearMask(mask, static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (std::size_t y = 0; y < rows.size(); ++y)
    for (std::size_t x = 0; x < rows[y].size(); ++x)
      if (rows[y][x] == '#') mask.PutPixel(static_cast<int>(x), static_cast<int>(y), 1);
}

Rect BoundsOf(const BitBuffer& mask) {
  Rect r(mask.width, mask.height, -1, -1);
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x)
      if (mask.Test(x, y)) r = Rect(std::min(r.left, x), std::min(r.top, y), std::max(r.right, x), std::max(r.bottom, y));
  return r;
}

Bytes Trace(const BitBuffer& mask) { return BytesOf(outline::TraceOutline(mask, BoundsOf(mask)).get()); }

// The memory budget lowered for one test and put back however it ends.
class BudgetScope {
public:
  BudgetScope(std::size_t blockBytes, std::size_t workMaskBytes) : saved_(outline::Budget()) {
    outline::Budget().blockBytes = blockBytes;
    outline::Budget().workMaskBytes = workMaskBytes;
  }
  ~BudgetScope() { outline::Budget() = saved_; }
  BudgetScope(const BudgetScope&) = delete;
  BudgetScope& operator=(const BudgetScope&) = delete;

private:
  outline::MemoryBudget saved_;
};

// Every contour ends where it began; every run has a length; the contours enclose the mask.
void ExpectSoundOutline(const std::uint8_t* block, const BitBuffer& mask) {
  for (const Contour& c : ContoursOf(block)) {
    EXPECT_EQ(c.endX, c.x);
    EXPECT_EQ(c.endY, c.y);
    ASSERT_FALSE(c.runs.empty());
    EXPECT_EQ(c.runs.front().direction, outline::kRight) << "a contour starts along its top edge";
  }
  EXPECT_EQ(Enclosed(block, mask.width, mask.height), MaskBits(mask));
}

struct TraceCase {
  const char* name;
  std::vector<std::string> rows;
  std::vector<ContourBytes> contours;
};

TEST(SelectionOutlineTrace, TellingShapesGiveTheirBytes) {
  const std::vector<TraceCase> cases = {
      {"single pixel at (5, 7)",
       {"......", "......", "......", "......", "......", "......", "......", ".....#"},
       {{5, 7, {0x20, 0x40, 0x60, 0x00}}}},
      {"2 x 1 at the origin", {"##"}, {{0, 0, {0x21, 0x40, 0x61, 0x00}}}},
      {"ring: the outer contour, then the hole from its top-left pixel",
       {"#####", "#####", "##.##", "#####", "#####"},
       {{0, 0, {0x24, 0x44, 0x64, 0x04}}, {2, 2, {0x20, 0x40, 0x60, 0x00}}}},
      {"pixels touching at a corner are two contours",
       {"#.", ".#"},
       {{0, 0, {0x20, 0x40, 0x60, 0x00}}, {1, 1, {0x20, 0x40, 0x60, 0x00}}}},
      {"an inner corner turns without a step", {".#", "##"}, {{1, 0, {0x20, 0x41, 0x61, 0x00, 0x20, 0x00}}}},
      {"a hole reaching the region's edge is no hole", {"###", "#.#", "#.#"},
       {{0, 0, {0x22, 0x42, 0x60, 0x01, 0x60, 0x41, 0x60, 0x02}}}},
  };
  for (const TraceCase& c : cases) {
    SCOPED_TRACE(c.name);
    BitBuffer mask;
    DrawMask(mask, c.rows);
    const auto block = outline::TraceOutline(mask, BoundsOf(mask));
    EXPECT_EQ(BytesOf(block.get()), Block(c.contours));
    ExpectSoundOutline(block.get(), mask);
  }
}

TEST(SelectionOutlineTrace, ARunLongerThanOneBytePairHoldsIsWrittenInPieces) {
  BitBuffer mask;
  ClearMask(mask, 5000, 1);
  mask.PutPixels(0, 0, 5000, 1);
  // Right 5000 = 4111 + 889 (16 + 0x369), down 1, left the same, up 1.
  EXPECT_EQ(Trace(mask), Block({{0, 0, {0xAF, 0xFF, 0xA3, 0x69, 0x40, 0xEF, 0xFF, 0xE3, 0x69, 0x00}}}));
  // Exactly the longest run: one long pair; one more: the pair and a short run of 1.
  for (int length : {4111, 4112, 4128, 8222}) {
    SCOPED_TRACE(length);
    ClearMask(mask, length, 1);
    mask.PutPixels(0, 0, length, 1);
    const Contour c = ContoursOf(outline::TraceOutline(mask, BoundsOf(mask)).get()).at(0);
    int right = 0;
    for (const auto& r : c.runs)
      if (r.direction == outline::kRight) right += r.length;
    EXPECT_EQ(right, length);
    EXPECT_EQ(c.runs.size(), static_cast<std::size_t>(2 + 2 * ((length + 4110) / 4111)));
  }
}

TEST(SelectionOutlineTrace, NothingSelectedGivesNoBlock) {
  BitBuffer mask;
  ClearMask(mask, 40, 30);
  EXPECT_EQ(outline::TraceOutline(mask, Rect(0, 0, 39, 29)), nullptr);
  EXPECT_EQ(outline::TraceOutline(mask, Rect(0x10000, 0x10000, -1, -1)), nullptr) << "the empty bounds";
  mask.PutPixel(3, 3, 1);
  EXPECT_EQ(outline::TraceOutline(mask, Rect(10, 10, 20, 20)), nullptr) << "only the bounds are looked at";
  EXPECT_NE(outline::TraceOutline(mask, Rect(-5, -5, 100, 100)), nullptr) << "bounds beyond the mask are clipped";
}

// Random masks of every density, with regions, holes, islands in holes and diagonal contacts:
// the contours enclose exactly the selected pixels.
TEST(SelectionOutlineTrace, TheContoursEncloseExactlyTheSelection) {
  std::mt19937 random(26);
  for (int round = 0; round < 300; ++round) {
    const int w = 1 + static_cast<int>(random() % 70), h = 1 + static_cast<int>(random() % 40);
    const unsigned density = 10 + random() % 80;
    BitBuffer mask;
    ClearMask(mask, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (random() % 100 < density) mask.PutPixel(x, y, 1);
    SCOPED_TRACE(testing::Message() << "round " << round << ": " << w << " x " << h << ", " << density << "%");
    const auto block = outline::TraceOutline(mask, BoundsOf(mask));
    if (BoundsOf(mask).Empty()) {
      EXPECT_EQ(block, nullptr);
      continue;
    }
    ASSERT_NE(block, nullptr);
    ExpectSoundOutline(block.get(), mask);
    if (HasFailure()) return;
  }
}

// One-pixel islands along the top row, then a 40,000-pixel edge two rows below them.
void IslandsAboveALongEdge(BitBuffer& mask, int islands) {
  ClearMask(mask, 40002, 3);
  for (int i = 0; i < islands; ++i) mask.PutPixel(2 * i, 0, 1);
  mask.PutPixels(1, 2, 40000, 1);
}

// A long edge flushed when the block is nearly full: every write has its room, whatever the
// contours before it left free. The 40,000-pixel edge is ten long pairs in one flush.
TEST(SelectionOutlineTrace, ALongEdgeAtTheEndOfTheBlockStaysInsideIt) {
  for (int islands = 620; islands <= 640; ++islands) {
    SCOPED_TRACE(islands);
    BitBuffer mask;
    IslandsAboveALongEdge(mask, islands);
    const auto block = outline::TraceOutline(mask, BoundsOf(mask));
    ASSERT_EQ(ContoursOf(block.get()).size(), static_cast<std::size_t>(islands + 1));
    ExpectSoundOutline(block.get(), mask);
    if (HasFailure()) return;
  }
}

// A block that may not grow: the outline stops where it is full, the contour being written
// closed and the list ended, never past the block's end.
TEST(SelectionOutlineTrace, ABlockThatCannotGrowEndsCutShortButWellFormed) {
  BudgetScope budget(outline::kInitialBlockBytes, SIZE_MAX);
  // The block fills among the islands, at the long edge's start and in its middle.
  for (int islands : {700, 628, 629, 630}) {
    SCOPED_TRACE(islands);
    BitBuffer mask;
    IslandsAboveALongEdge(mask, islands);
    const auto block = outline::TraceOutline(mask, BoundsOf(mask));
    ASSERT_NE(block, nullptr);
    EXPECT_LE(outline::OutlineBytes(block.get()), outline::kInitialBlockBytes);
    const std::vector<Contour> contours = ContoursOf(block.get());
    ASSERT_FALSE(contours.empty());
    EXPECT_LE(contours.size(), static_cast<std::size_t>(islands + 1));
    for (std::size_t i = 0; i + 1 < contours.size(); ++i) EXPECT_EQ(contours[i].runs.size(), 4u);
    const Contour& last = contours.back();
    const bool whole = contours.size() == static_cast<std::size_t>(islands + 1) && last.endX == last.x && last.endY == last.y;
    EXPECT_FALSE(whole) << "the outline was cut short";
  }
}

TEST(SelectionOutlineTrace, WithoutMemoryForTheFirstBlockOrTheWorkMaskItThrows) {
  BitBuffer mask;
  DrawMask(mask, {"##"});
  {
    BudgetScope budget(100, SIZE_MAX);
    EXPECT_THROW(outline::TraceOutline(mask, Rect(0, 0, 1, 0)), std::bad_alloc);
  }
  {
    BudgetScope budget(SIZE_MAX, 0);
    EXPECT_THROW(outline::TraceOutline(mask, Rect(0, 0, 1, 0)), std::bad_alloc);
  }
}

struct ScaleCase {
  const char* name;
  std::vector<std::string> rows;
  float zoom;
  std::vector<ContourBytes> expected;
};

TEST(SelectionOutlineScale, RunsFollowTheZoomThroughTheirRemainders) {
  const std::vector<ScaleCase> cases = {
      {"single pixel at 2", {"..", ".#"}, 2.0f, {{2, 2, {0x21, 0x41, 0x61, 0x01}}}},
      {"single pixel at 1/2: every run under a whole pixel", {"..", ".#"}, 0.5f, {{0, 0, {}}}},
      {"2 x 1 at 1/2", {"##"}, 0.5f, {{0, 0, {0x20, 0x60}}}},
      {"inner corner at 1/2: a run of 1 waits for the next", {".#", "##"}, 0.5f, {{0, 0, {0x40, 0x00}}}},
      {"two pixels at 1/2 are two contours without runs", {"#.#"}, 0.5f, {{0, 0, {}}, {1, 0, {}}}},
      {"at 3", {"##"}, 3.0f, {{0, 0, {0x25, 0x42, 0x65, 0x02}}}},
  };
  for (const ScaleCase& c : cases) {
    SCOPED_TRACE(c.name);
    BitBuffer mask;
    DrawMask(mask, c.rows);
    const auto traced = outline::TraceOutline(mask, BoundsOf(mask));
    EXPECT_EQ(BytesOf(outline::ScaleOutline(traced.get(), c.zoom).get()), Block(c.expected));
  }
  EXPECT_EQ(outline::ScaleOutline(nullptr, 2.0f), nullptr);
}

// A 4000 x 3000 selection with a hole and a ragged edge, at zoom 8: runs of 32,000 pixels
// split into pieces, every contour still closed and every start and length eight times over.
TEST(SelectionOutlineScale, A4000By3000SelectionAtZoom8TracesAndScalesCleanly) {
  BitBuffer mask;
  ClearMask(mask, 4000, 3000);
  mask.PutPixels(Rect(0, 0, 3999, 2999), 1);
  mask.PutPixels(Rect(1000, 1000, 2999, 1999), 0);
  for (int y = 0; y < 3000; y += 7) mask.PutPixel(3999, y, 0);
  const auto traced = outline::TraceOutline(mask, Rect(0, 0, 3999, 2999));
  ExpectSoundOutline(traced.get(), mask);
  const auto scaled = outline::ScaleOutline(traced.get(), 8.0f);
  const std::vector<Contour> small = ContoursOf(traced.get()), large = ContoursOf(scaled.get());
  ASSERT_EQ(large.size(), small.size());
  for (std::size_t i = 0; i < small.size(); ++i) {
    EXPECT_EQ(large[i].x, small[i].x * 8);
    EXPECT_EQ(large[i].y, small[i].y * 8);
    EXPECT_EQ(large[i].endX, large[i].x);
    EXPECT_EQ(large[i].endY, large[i].y);
    std::map<int, long> smallLength, largeLength;
    for (const auto& r : small[i].runs) smallLength[r.direction] += r.length;
    for (const auto& r : large[i].runs) {
      EXPECT_LE(r.length, outline::kLongestRun);
      largeLength[r.direction] += r.length;
    }
    for (auto [direction, length] : smallLength) EXPECT_EQ(largeLength[direction], 8 * length);
  }
}

TEST(SelectionOutlineScale, ABlockThatCannotGrowEndsTheScaledOutlineWellFormed) {
  BitBuffer mask;
  ClearMask(mask, 2000, 2);
  for (int i = 0; i < 1000; ++i) mask.PutPixel(2 * i, 0, 1);
  const auto traced = outline::TraceOutline(mask, BoundsOf(mask));
  BudgetScope budget(8192, SIZE_MAX);
  const auto scaled = outline::ScaleOutline(traced.get(), 32.0f);
  ASSERT_NE(scaled, nullptr);
  EXPECT_LE(outline::OutlineBytes(scaled.get()), 8192u);
  EXPECT_LT(ContoursOf(scaled.get()).size(), 1000u);
}

// The painter over six phases: every pixel its runs cover shows its dash colour by then, and
// each pass touches only pixels whose colour changes with the phase and the runs' first ones.
TEST(SelectionOutlinePaint, SixPassesFillTheDashesAndEachTouchesOnlyChangingPixels) {
  BitBuffer mask;
  DrawMask(mask, {"..........", ".########.", ".##....##.", ".##.##.##.", ".########.", ".........."});
  const auto traced = outline::TraceOutline(mask, BoundsOf(mask));
  const auto view = outline::ScaleOutline(traced.get(), 2.0f);
  std::set<std::pair<int, int>> firsts;
  for (const Contour& c : ContoursOf(view.get()))
    for (const auto& r : c.runs) firsts.insert({r.x, r.y});
  const std::set<std::pair<int, int>> covered = RunPixels(view.get());
  const Rect visible(0, 0, 99, 99);
  std::map<std::pair<int, int>, bool> screen;
  for (int phase = 5; phase < 5 + 14; ++phase) {
    const int p = phase % 12;
    outline::PaintDashes(view.get(), p, visible, [&](int x, int y, bool black) {
      EXPECT_TRUE(covered.count({x, y})) << x << "," << y;
      EXPECT_EQ(black, outline::DashIsBlack(p, x, y));
      EXPECT_TRUE((p + x + y) % 6 == 0 || firsts.count({x, y})) << x << "," << y << " at " << p;
      screen[{x, y}] = black;
    });
    if (phase - 5 < 5) continue;
    for (auto [x, y] : covered) {
      const auto shown = screen.find({x, y});
      ASSERT_NE(shown, screen.end()) << x << "," << y << " at " << p;
      EXPECT_EQ(shown->second, outline::DashIsBlack(p, x, y)) << x << "," << y << " at " << p;
    }
  }
}

// A long run is walked only where it is in sight: edges of 5000 pixels with 100 x 80 of them
// visible cost a few pixels each, not 5000 / 6.
TEST(SelectionOutlinePaint, ARunStopsAtTheEdgeOfTheVisiblePart) {
  BitBuffer mask;
  ClearMask(mask, 5000, 5000);
  mask.PutPixels(Rect(0, 0, 4999, 4999), 1);
  const auto traced = outline::TraceOutline(mask, Rect(0, 0, 4999, 4999));
  int painted = 0;
  outline::PaintDashes(traced.get(), 0, Rect(0, 0, 99, 79), [&](int, int, bool) { ++painted; });
  EXPECT_GE(painted, 100 / 6 + 80 / 6) << "the visible top and left edges";
  EXPECT_LE(painted, 60);
}

}  // namespace
