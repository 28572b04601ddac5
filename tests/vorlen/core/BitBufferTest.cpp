#include "vorlen/core/BitBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// A mask drawn as text rows: '#' set, anything else clear.
BitBuffer FromRows(const std::vector<std::string>& rows) {
  BitBuffer m;
  m.Alloc(int(rows[0].size()), int(rows.size()));
  m.PutPixels(Rect(0, 0, m.width - 1, m.height - 1), 0);
  for (int y = 0; y < m.height; ++y)
    for (int x = 0; x < m.width; ++x)
      if (rows[size_t(y)][size_t(x)] == '#') m.PutPixel(x, y, 1);
  return m;
}

std::vector<std::string> Rows(const BitBuffer& m) {
  std::vector<std::string> rows;
  for (int y = 0; y < m.height; ++y) {
    std::string row;
    for (int x = 0; x < m.width; ++x) row += m.Test(x, y) ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

BitBuffer Cleared(int w, int h) { return FromRows(std::vector<std::string>(size_t(h), std::string(size_t(w), '.'))); }

// The region tests of the fill read this picture; every question is counted.
std::vector<std::string> region;
std::vector<std::vector<int>> asked;
bool InRegion(int x, int y) {
  ++asked[size_t(y)][size_t(x)];
  return region[size_t(y)][size_t(x)] == '#';
}

BitBuffer FillOf(const std::vector<std::string>& picture, int x, int y, bool diagonal, Rect& bounds) {
  region = picture;
  asked.assign(picture.size(), std::vector<int>(picture[0].size(), 0));
  BitBuffer m = FromRows(std::vector<std::string>(picture.size(), std::string(picture[0].size(), '#')));
  bounds = m.Fill(x, y, InRegion, diagonal);
  for (const auto& row : asked)
    for (const int n : row) EXPECT_LE(n, 1);
  return m;
}

std::vector<std::pair<int, int>> stencilled;
void Record(int x, int y) { stencilled.push_back({x, y}); }

}  // namespace

TEST(BitBuffer, AllocationSizes) {
  BitBuffer m;
  m.Alloc(0, 5);
  EXPECT_EQ(m.words, nullptr);
  EXPECT_EQ(m.width, 0);
  EXPECT_EQ(m.height, 5);
  for (const auto& [w, h] : {std::pair{-1, 5}, std::pair{0, 0}, std::pair{5, -1}}) {
    m.Alloc(w, h);
    EXPECT_EQ(m.words, nullptr);
    EXPECT_EQ(m.width | m.height | m.stride | m.ownership, 0);
  }
  m.Alloc(65, 2);
  EXPECT_EQ(m.stride, 3);
  EXPECT_NE(m.words, nullptr);
  EXPECT_EQ(m.ownership == BitBuffer::kOwns || m.ownership == BitBuffer::kOwnsShifted, true);
}

TEST(BitBuffer, AssignmentHandsTheWordsOver) {
  BitBuffer a = Cleared(40, 2);
  uint* const words = a.words;
  BitBuffer b;
  b = a;
  EXPECT_EQ(a.ownership, BitBuffer::kView);
  EXPECT_EQ(a.words, words);
  EXPECT_EQ(b.words, words);
  EXPECT_NE(b.ownership, BitBuffer::kView);
  a.Free();  // releases nothing: the sanitizer would see a double release otherwise
  BitBuffer view;
  view.Alloc(b);
  EXPECT_EQ(view.ownership, BitBuffer::kView);
  EXPECT_EQ(view.stride, 2);
}

TEST(BitBuffer, RunsAreWrittenAcrossWords) {
  BitBuffer m = Cleared(64, 2);
  m.PutPixels(30, 0, 4, 1);
  EXPECT_EQ(m.words[0], 0xC0000000u);
  EXPECT_EQ(m.words[1], 0x00000003u);
  m.PutPixels(31, 0, 2, -1);
  EXPECT_EQ(m.words[0], 0x40000000u);
  EXPECT_EQ(m.words[1], 0x00000002u);
  m.PutPixels(Rect(0, 1, 63, 1), 5);
  EXPECT_EQ(m.words[2] & m.words[3], 0xFFFFFFFFu);
  m.PutPixels(Rect(1, 1, 62, 1), 0);
  EXPECT_EQ(m.words[2], 1u);
  EXPECT_EQ(m.words[3], 0x80000000u);
}

TEST(BitBuffer, SafeRunsClip) {
  struct Case {
    int x, y, len;
    std::string row;
  } const cases[] = {{-5, 0, 3, "........"}, {-5, 0, 8, "###....."}, {6, 0, 9, "......##"},
                     {8, 0, 1, "........"},  {2, 1, 3, "........"},  {2, -1, 3, "........"},
                     {3, 0, 0, "........"},  {-10, 0, 2147483647, "########"}};
  for (const Case& c : cases) {
    BitBuffer m = Cleared(8, 1);
    m.PutPixelsSafe(c.x, c.y, c.len, 1);
    EXPECT_EQ(Rows(m)[0], c.row) << c.x << " " << c.len;
  }
  BitBuffer m = Cleared(4, 3);
  m.PutPixelsSafe(Rect(-3, 1, 1, 9), 1);
  m.PutPixelsSafe(Rect(5, 0, 9, 2), 1);
  EXPECT_EQ(Rows(m), (std::vector<std::string>{"....", "##..", "##.."}));
  BitBuffer empty;
  empty.PutPixelsSafe(0, 0, 5, 1);
  empty.PutPixelsSafe(Rect(0, 0, 3, 3), 1);
}

TEST(BitBuffer, CopyModesCombineOnlyTheSpan) {
  const std::vector<std::string> target{"##..##..", "##..##.."};
  const std::vector<std::string> source{"#.#", "..."};
  struct Case {
    int mode;
    std::string row0, row1;
  } const cases[] = {{BitBuffer::kCopy, "##.#.#..", "##......"}, {BitBuffer::kOr, "##.###..", "##..##.."},
                     {BitBuffer::kAnd, "##...#..", "##......"}, {BitBuffer::kXor, "##.##...", "##..##.."},
                     {7, "##..##..", "##..##.."}};
  for (const Case& c : cases) {
    BitBuffer t = FromRows(target);
    BitBuffer s = FromRows(source);
    t.Copy(s, 3, 0, c.mode);
    EXPECT_EQ(Rows(t), (std::vector<std::string>{c.row0, c.row1})) << c.mode;
  }
}

TEST(BitBuffer, CopyClipsAndShiftsAcrossWordBoundaries) {
  BitBuffer wide = Cleared(70, 1);
  wide.PutPixels(0, 0, 70, 1);
  BitBuffer t = Cleared(100, 3);
  t.Copy(wide, 29, 1, BitBuffer::kCopy);  // bits 29 to 98 of row 1
  for (int x = 0; x < 100; ++x) EXPECT_EQ(t.Test(x, 1), x >= 29 && x <= 98) << x;
  BitBuffer u = Cleared(10, 2);
  u.Copy(wide, -65, -0, BitBuffer::kCopy);  // five columns are left of the source
  EXPECT_EQ(Rows(u)[0], "#####.....");
  BitBuffer v = Cleared(10, 2);
  v.Copy(wide, -70, 0, BitBuffer::kOr);  // x = -(src width)
  v.Copy(wide, 0, -1, BitBuffer::kOr);
  v.Copy(wide, 10, 0, BitBuffer::kOr);
  EXPECT_EQ(Rows(v), Rows(Cleared(10, 2)));
}

TEST(BitBuffer, ExchangeTwiceRestoresBothMasks) {
  const std::vector<std::string> a{"#..#..#...", "##########"}, b{".##", "#.#", "###"};
  BitBuffer t = FromRows(a), s = FromRows(b);
  t.Copy(s, 2, -1, BitBuffer::kExchange);
  EXPECT_EQ(Rows(t), (std::vector<std::string>{"#.#.#.#...", "##########"}));
  EXPECT_EQ(Rows(s), (std::vector<std::string>{".##", ".#.", "###"}));
  t.Copy(s, 2, -1, BitBuffer::kExchange);
  EXPECT_EQ(Rows(t), a);
  EXPECT_EQ(Rows(s), b);
}

TEST(BitBuffer, CopyIntoItselfReadsTheBitsAsTheyWere) {
  BitBuffer m = FromRows({"##.#......"});
  BitBuffer view;
  view.Alloc(m);
  m.Copy(view, 1, 0, BitBuffer::kCopy);
  EXPECT_EQ(Rows(m)[0], "###.#.....");
}

TEST(BitBuffer, ScaleSamplesCentresOrKeepsAnyBit) {
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{2, 3}, std::pair{3, 2}}) {
    BitBuffer src = Cleared(4, 4);
    src.PutPixel(x, y, 1);
    BitBuffer sampled = Cleared(2, 2), kept = Cleared(2, 2);
    sampled.Scale(src, false);
    kept.Scale(src, true);
    // Centre sampling reads columns and rows (4 i + 2) / 2 = 1 and 3.
    const bool onSample = (x == 1 || x == 3) && (y == 1 || y == 3);
    EXPECT_EQ(Rows(sampled) != Rows(Cleared(2, 2)), onSample) << x << "," << y;
    EXPECT_TRUE(kept.Test(x / 2, y / 2)) << x << "," << y;
  }
  BitBuffer grow = Cleared(6, 2);
  BitBuffer small = FromRows({"#.#"});
  grow.Scale(small, true);  // any is ignored when growing
  EXPECT_EQ(Rows(grow), (std::vector<std::string>{"##..##", "##..##"}));
}

TEST(BitBuffer, ScaleFromAnEmptyMaskClears) {
  BitBuffer m = FromRows({"##", "##"});
  BitBuffer empty;
  m.Scale(empty, false);
  EXPECT_EQ(Rows(m), Rows(Cleared(2, 2)));
}

TEST(BitBufferFill, FillsTheConnectedRegionOnly) {
  struct Case {
    std::vector<std::string> picture;
    int x, y;
    bool diagonal;
    std::vector<std::string> filled;
    Rect bounds;
  } const cases[] = {
      // A U whose arms join at the bottom, started in the right arm: the scan goes back up.
      {{"#...#", "#...#", "#####", "....."}, 4, 0, false, {"#...#", "#...#", "#####", "....."}, Rect(0, 0, 4, 2)},
      // Two regions that touch only at a corner.
      {{"##...", "##...", "..###", "..#.."}, 3, 2, false, {".....", ".....", "..###", "..#.."}, Rect(2, 2, 4, 3)},
      {{"##...", "##...", "..###", "..#.."}, 3, 2, true, {"##...", "##...", "..###", "..#.."}, Rect(0, 0, 4, 3)},
      // A serpentine started at its lower right end turns up and left more than once.
      {{"#.###.", "#.#.#.", "#.#.#.", "###.#."}, 4, 3, false, {"#.###.", "#.#.#.", "#.#.#.", "###.#."},
       Rect(0, 0, 4, 3)},
      // A diagonal staircase going up to the right.
      {{"....#", "...#.", "..#..", ".#...", "#...."}, 0, 4, true, {"....#", "...#.", "..#..", ".#...", "#...."},
       Rect(0, 0, 4, 4)},
      {{"....#", "...#.", "..#..", ".#...", "#...."}, 0, 4, false, {".....", ".....", ".....", ".....", "#...."},
       Rect(0, 4, 0, 4)},
  };
  for (const Case& c : cases) {
    Rect bounds;
    const BitBuffer m = FillOf(c.picture, c.x, c.y, c.diagonal, bounds);
    EXPECT_EQ(Rows(m), c.filled) << c.x << "," << c.y;
    EXPECT_EQ(bounds, c.bounds);
  }
}

TEST(BitBufferFill, AgreesWithABreadthFirstSearchOnRandomPictures) {
  std::mt19937 random(17);
  for (int round = 0; round < 300; ++round) {
    const int w = 1 + int(random() % 40), h = 1 + int(random() % 20);
    const unsigned density = 40 + random() % 40;
    std::vector<std::string> picture(size_t(h), std::string(size_t(w), '.'));
    for (auto& row : picture)
      for (char& c : row) c = random() % 100 < density ? '#' : '.';
    const int x = int(random() % unsigned(w)), y = int(random() % unsigned(h));
    const bool diagonal = round % 2 == 1;
    // The connected part of the picture around (x, y), found the plain way.
    std::vector<std::string> expected(size_t(h), std::string(size_t(w), '.'));
    Rect bounds;
    if (picture[size_t(y)][size_t(x)] == '#') {
      std::vector<std::pair<int, int>> queue{{x, y}};
      expected[size_t(y)][size_t(x)] = '#';
      bounds = Rect(x, y, x, y);
      for (size_t i = 0; i < queue.size(); ++i)
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = queue[i].first + dx, ny = queue[i].second + dy;
            if ((dx == 0) == (dy == 0) && (!diagonal || (dx == 0 && dy == 0))) continue;
            if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
            if (picture[size_t(ny)][size_t(nx)] != '#' || expected[size_t(ny)][size_t(nx)] == '#') continue;
            expected[size_t(ny)][size_t(nx)] = '#';
            queue.push_back({nx, ny});
            bounds = Rect(std::min(bounds.left, nx), std::min(bounds.top, ny), std::max(bounds.right, nx),
                          std::max(bounds.bottom, ny));
          }
    }
    Rect filledBounds;
    const BitBuffer m = FillOf(picture, x, y, diagonal, filledBounds);
    ASSERT_EQ(Rows(m), expected) << round;
    ASSERT_EQ(filledBounds, bounds) << round;
  }
}

TEST(BitBufferFill, AComb) {
  std::vector<std::string> comb(6, "#.#.#.#.#.#");
  comb.push_back("###########");
  Rect bounds;
  const BitBuffer m = FillOf(comb, 10, 0, false, bounds);
  EXPECT_EQ(Rows(m), comb);
  EXPECT_EQ(bounds, Rect(0, 0, 10, 6));
}

TEST(BitBufferFill, StartingOutsideTheRegionOrTheMaskFillsNothing) {
  for (const auto& [x, y] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 2}, std::pair{3, 0}}) {
    Rect bounds;
    const BitBuffer m = FillOf({"#.#", "###"}, x, y, false, bounds);
    EXPECT_EQ(bounds, Rect(0, 0, -1, -1));
    EXPECT_EQ(Rows(m), (std::vector<std::string>{"...", "..."}));
  }
  BitBuffer empty;
  EXPECT_EQ(empty.Fill(0, 0, InRegion, true), Rect(0, 0, -1, -1));
}

TEST(BitBufferFill, AWholeWideMaskAcrossWords) {
  const std::vector<std::string> picture(40, std::string(100, '#'));
  Rect bounds;
  const BitBuffer m = FillOf(picture, 70, 20, true, bounds);
  EXPECT_EQ(bounds, Rect(0, 0, 99, 39));
  EXPECT_EQ(Rows(m), picture);
}

TEST(BitBufferStencil, VisitsSetBitsInsideTheClippedRectangleInOrder) {
  BitBuffer m = Cleared(40, 3);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{33, 0}, std::pair{31, 1}, std::pair{39, 2}, std::pair{5, 2}})
    m.PutPixel(x, y, 1);
  stencilled.clear();
  m.Stencil(Rect(-10, -10, 100, 100), Record);
  EXPECT_EQ(stencilled, (std::vector<std::pair<int, int>>{{0, 0}, {33, 0}, {31, 1}, {5, 2}, {39, 2}}));
  stencilled.clear();
  m.Stencil(Rect(1, 0, 33, 1), Record);
  EXPECT_EQ(stencilled, (std::vector<std::pair<int, int>>{{33, 0}, {31, 1}}));
  stencilled.clear();
  m.Stencil(Rect(40, 0, 50, 2), Record);
  EXPECT_TRUE(stencilled.empty());
}

namespace {

// The region of a text picture told run by run, as a fill by runs asks about it.
class TextRuns final : public RowRuns {
public:
  explicit TextRuns(const std::vector<std::string>& picture) : picture_(picture) {}
  int NextInside(int x, int y, int last) const override {
    while (x <= last && !In(x, y)) ++x;
    return x;
  }
  int NextOutside(int x, int y, int last) const override {
    while (x <= last && In(x, y)) ++x;
    return x;
  }
  int PreviousOutside(int x, int y, int first) const override {
    while (x >= first && In(x, y)) --x;
    return x;
  }

private:
  bool In(int x, int y) const { return picture_[size_t(y)][size_t(x)] == '#'; }
  const std::vector<std::string>& picture_;
};

}  // namespace

TEST(BitBufferFill, ByRunsFindsTheRegionThePixelQuestionsFind) {
  std::mt19937 random(29);
  for (int round = 0; round < 400; ++round) {
    const int w = 1 + int(random() % 80), h = 1 + int(random() % 24);
    const unsigned density = 30 + random() % 60;
    std::vector<std::string> picture(size_t(h), std::string(size_t(w), '.'));
    for (auto& row : picture)
      for (char& c : row) c = random() % 100 < density ? '#' : '.';
    const int x = int(random() % unsigned(w)), y = int(random() % unsigned(h));
    const bool diagonal = round % 2 == 1;
    Rect byPixels;
    const BitBuffer expected = FillOf(picture, x, y, diagonal, byPixels);
    // A mask left full of set bits: the fill clears it first.
    BitBuffer m = FromRows(std::vector<std::string>(size_t(h), std::string(size_t(w), '#')));
    const Rect byRuns = m.Fill(x, y, TextRuns(picture), diagonal);
    ASSERT_EQ(Rows(m), Rows(expected)) << round;
    ASSERT_EQ(byRuns, byPixels) << round;
  }
  // Off the mask, or without one, nothing.
  const std::vector<std::string> picture{"#.#", "###"};
  BitBuffer m = Cleared(3, 2);
  for (const auto& [x, y] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 2}, std::pair{3, 0}})
    EXPECT_EQ(m.Fill(x, y, TextRuns(picture), true), Rect(0, 0, -1, -1));
  BitBuffer empty;
  EXPECT_EQ(empty.Fill(0, 0, TextRuns(picture), true), Rect(0, 0, -1, -1));
}

TEST(BitBufferStencil, RunsAreTheSetBitsJoinedAlongEachRow) {
  std::mt19937 random(5);
  for (int round = 0; round < 200; ++round) {
    const int w = 1 + int(random() % 130), h = 1 + int(random() % 4);
    BitBuffer m = Cleared(w, h);
    // Long runs across word ends as well as single bits.
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w;) {
        const int len = 1 + int(random() % (round % 2 ? 70 : 3));
        if (random() % 2) m.PutPixelsSafe(x, y, len, 1);
        x += len;
      }
    const int left = int(random() % unsigned(w + 4)) - 2, top = int(random() % unsigned(h + 2)) - 1;
    const Rect r(left, top, left + int(random() % unsigned(w + 2)), top + int(random() % unsigned(h + 1)));
    stencilled.clear();
    m.Stencil(r, Record);
    std::vector<std::vector<int>> expected;  // first, last, y
    for (const auto& [x, y] : stencilled) {
      if (!expected.empty() && expected.back()[2] == y && expected.back()[1] == x - 1) expected.back()[1] = x;
      else expected.push_back({x, x, y});
    }
    std::vector<std::vector<int>> runs;
    m.StencilRuns(r, [&runs](int first, int last, int y) { runs.push_back({first, last, y}); });
    ASSERT_EQ(runs, expected) << round;
  }
}
