// The drawing helpers on a picture of their own: the stamp and its saved area, the stroke's
// walk and rhythm, the feedback marks, and the screen geometry of repaints and XOR marks at
// several zooms.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>

#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/base/Settings.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Tool.h"

namespace {

constexpr std::uint32_t kPaper = 0x00FFFFFF;
constexpr std::uint32_t kInk = 0x00000000;

// A 40 x 30 white picture made the active one (no window), and a brush of one opaque colour.
class DrawingHelpersTest : public ::testing::Test {
protected:
  DrawingHelpersTest() {
    picture.Alloc(40, 30);
    picture.Box(picture.rect, kPaper);
    CurrentPicture = &picture;
    SetBrush(1, 1, kInk);
  }
  ~DrawingHelpersTest() override {
    CurrentPicture = nullptr;
    DrawView.Free();
    SavedArea.Free();
    Brush.Free();
    BrushShape.Free();
    BrushState = BrushStateBlock{};
  }
  void SetBrush(int w, int h, std::uint32_t colour) {
    BrushShape.Alloc(w, h);
    BrushShape.Box(BrushShape.rect, colour);
  }
  std::uint32_t At(int x, int y) const { return *picture.At(x, y); }
  // The pixels that are not paper.
  std::set<std::pair<int, int>> Inked() const {
    std::set<std::pair<int, int>> inked;
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x)
        if (At(x, y) != kPaper) inked.insert({x, y});
    return inked;
  }

  UDBuffer picture;
};

using Points = std::set<std::pair<int, int>>;

TEST_F(DrawingHelpersTest, StrokeFromAPointToItselfStampsOnceAndKeepsThePhase) {
  EXPECT_FLOAT_EQ(StrokeLine(5, 5, 5, 5, 1.0f, 1.0f), 1.0f);
  EXPECT_EQ(Inked(), (Points{{5, 5}}));
}

TEST_F(DrawingHelpersTest, SpacingThreeStampsEveryThirdPixelAndCarriesThePhase) {
  EXPECT_FLOAT_EQ(StrokeLine(2, 4, 12, 4, 3.0f, 1.0f), 2.0f);
  EXPECT_EQ(Inked(), (Points{{2, 4}, {5, 4}, {8, 4}, {11, 4}}));
}

TEST_F(DrawingHelpersTest, PhaseCarriedOverKeepsTheRhythmAcrossSegments) {
  // The next segment starts on the last one's end pixel: its phase is the returned one + 1.
  const float phase = StrokeLine(0, 0, 4, 0, 3.0f, 1.0f);  // stamps 0, 3; leaves 2.0
  StrokeLine(4, 0, 10, 0, 3.0f, phase + 1.0f);
  EXPECT_EQ(Inked(), (Points{{0, 0}, {3, 0}, {6, 0}, {9, 0}}));
}

TEST_F(DrawingHelpersTest, WalksAlongTheLongerAxisEveryPixelOnce) {
  struct Case {
    int x1, y1, x2, y2;
    std::size_t pixels;
  } cases[] = {
      {3, 3, 3, 13, 11},   // vertical
      {3, 3, 13, 3, 11},   // horizontal
      {3, 3, 13, 13, 11},  // 45 degrees
      {13, 3, 3, 8, 11},   // shallow, right to left
      {3, 20, 6, 5, 16},   // steep, upwards
  };
  for (const Case& c : cases) {
    picture.Box(picture.rect, kPaper);
    StrokeLine(c.x1, c.y1, c.x2, c.y2, 1.0f, 1.0f);
    const Points inked = Inked();
    EXPECT_EQ(inked.size(), c.pixels) << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2;
    EXPECT_TRUE(inked.count({c.x1, c.y1}) && inked.count({c.x2, c.y2}));
  }
}

TEST_F(DrawingHelpersTest, StampSavesAndDrawsTheBrushRectangleAtEachHotSpot) {
  SetBrush(5, 4, kInk);
  struct Case {
    std::uint8_t mode;
    Rect drawn;
  } cases[] = {
      {HandleCentre, {8, 8, 12, 11}},      {HandleLeftTop, {10, 10, 14, 13}},
      {HandleRightTop, {6, 10, 10, 13}},   {HandleRightBottom, {6, 7, 10, 10}},
      {HandleLeftBottom, {10, 7, 14, 10}},
  };
  for (const Case& c : cases) {
    BrushHandleMode = c.mode;
    StampBrush(10, 10);
    EXPECT_EQ(SavedArea.Width(), 5);
    EXPECT_EQ(SavedArea.Height(), 4);
    Points expected;
    for (int y = c.drawn.top; y <= c.drawn.bottom; ++y)
      for (int x = c.drawn.left; x <= c.drawn.right; ++x) expected.insert({x, y});
    EXPECT_EQ(Inked(), expected) << "mode " << int(c.mode);
    HideBrushAt(10, 10);
    EXPECT_TRUE(Inked().empty()) << "mode " << int(c.mode);
  }
}

TEST_F(DrawingHelpersTest, StampOverTheEdgeIsClippedAndPutBackWhole) {
  SetBrush(5, 5, kInk);
  *picture.At(0, 0) = 0x00123456;
  StampBrush(0, 0);
  EXPECT_EQ(At(0, 0), kInk);
  EXPECT_EQ(At(2, 2), kInk);
  HideBrushAt(0, 0);
  EXPECT_EQ(At(0, 0), 0x00123456u);
  *picture.At(0, 0) = kPaper;
  EXPECT_TRUE(Inked().empty());
}

TEST_F(DrawingHelpersTest, RestoreBeforeAnySaveDoesNothing) {
  SavedArea.Free();
  RestoreImageRect(0, 0, 5, 5);
  EXPECT_TRUE(Inked().empty());
}

TEST_F(DrawingHelpersTest, SaveAndRestoreTakeCornersInAnyOrder) {
  for (int x = 0; x < 40; ++x) *picture.At(x, 3) = 0x000000FF + static_cast<std::uint32_t>(x);
  ASSERT_TRUE(SaveImageRect(9, 4, 2, 2));
  picture.Box(picture.rect, kPaper);
  RestoreImageRect(9, 4, 2, 2);
  for (int x = 2; x <= 9; ++x) EXPECT_EQ(At(x, 3), 0x000000FFu + static_cast<std::uint32_t>(x));
  EXPECT_EQ(At(1, 3), kPaper);
  EXPECT_EQ(At(10, 3), kPaper);
}

TEST_F(DrawingHelpersTest, FeedbackMarksEraseThemselvesWhenDrawnTwice) {
  SetDrawViewClip();
  const std::uint32_t before = At(7, 7);
  PutFeedbackPixel(7, 7);
  EXPECT_EQ(At(7, 7), before ^ 0x008F8F8Fu);
  PutFeedbackPixel(7, 7);
  EXPECT_EQ(At(7, 7), before);

  DrawFeedbackRect(12, 9, 3, 2);
  EXPECT_EQ(At(3, 2), kPaper ^ 0x008F8F8Fu);
  EXPECT_EQ(At(12, 9), kPaper ^ 0x008F8F8Fu);
  EXPECT_EQ(At(5, 5), kPaper);
  DrawFeedbackRect(3, 2, 12, 9);
  EXPECT_TRUE(Inked().empty());

  DrawCrossLines(10, 20);
  EXPECT_EQ(At(10, 0), kPaper ^ 0x008F8F8Fu);
  EXPECT_EQ(At(39, 20), kPaper ^ 0x008F8F8Fu);
  EXPECT_EQ(At(10, 20), kPaper);  // both lines pass the crossing, so it is XORed twice
  DrawCrossLines(10, 20);
  EXPECT_TRUE(Inked().empty());
}

TEST_F(DrawingHelpersTest, ClippingKeepsStrokesInsideTheDrawView) {
  // Without a window the clip is the whole picture; a stroke past the edges is cut there.
  Settings.Clipping = false;
  StrokeLine(-5, 10, 50, 10, 1.0f, 1.0f);
  EXPECT_EQ(Inked().size(), 40u);
}

TEST(DrawingHelpersGeometry, RepaintRectangleAtZooms) {
  struct Case {
    double zoom;
    int x1, y1, x2, y2;
    Rect screen;  // inclusive
  } cases[] = {
      {1.0, 2, 3, 5, 7, {1, 2, 5, 7}},
      {1.0, 5, 7, 2, 3, {1, 2, 5, 7}},  // corners in any order
      {2.0, 2, 3, 5, 7, {3, 5, 10, 14}},
      {0.5, 2, 3, 5, 7, {0, 0, 2, 3}},
      {0.5, 3, 3, 4, 4, {0, 0, 2, 2}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RepaintRectOnScreen(c.x1, c.y1, c.x2, c.y2, c.zoom), c.screen) << c.zoom << ": " << c.x1 << "," << c.y1;
}

TEST(DrawingHelpersGeometry, XorMarksAtZooms) {
  EXPECT_EQ(XorCrossScreenPoint(10, 4, 1.0), (Pair<int>{10, 4}));
  EXPECT_EQ(XorCrossScreenPoint(10, 4, 4.0), (Pair<int>{42, 18}));  // the middle of the cell
  EXPECT_EQ(XorCrossScreenPoint(11, 5, 0.5), (Pair<int>{5, 2}));
  EXPECT_EQ(XorRectOnScreen(2, 3, 5, 7, 1.0), Rect(2, 3, 5, 7));
  EXPECT_EQ(XorRectOnScreen(2, 3, 5, 7, 3.0), Rect(6, 9, 17, 23));  // the cells' outer edges
  EXPECT_EQ(XorRectOnScreen(2, 3, 5, 7, 0.5), Rect(1, 1, 2, 3));
  EXPECT_EQ(XorRectOnScreen(2, 3, 3, 7, 0.25), Rect(0, 0, 0, 1));
}

TEST(DrawingHelpersGeometry, ArrowHeadBarbsPointBackAlongTheLine) {
  // Tip at (100, 100), coming from the left: the barbs lie to the left, 30 degrees off.
  const Pair<int> up = ArrowHeadPoint({100, 100}, {0, 100}, -30, 60);
  const Pair<int> down = ArrowHeadPoint({100, 100}, {0, 100}, 30, 60);
  EXPECT_EQ(up, (Pair<int>{49, 129}));  // truncated toward zero
  EXPECT_EQ(down, (Pair<int>{49, 71}));
  EXPECT_EQ(ArrowHeadPoint({5, 5}, {5, 5}, 30, 16), (Pair<int>{5, 5}));
}

}  // namespace

namespace {

TEST_F(DrawingHelpersTest, CurveRunsThroughItsEndsAndNarrowsTheUndoStepToItsStamps) {
  ASSERT_TRUE(picture.PushUndo("SingleCurveIcon"));
  StrokeCurve(2, 25, 20, 0, 38, 25, 1.0f, 0);
  const Points inked = Inked();
  EXPECT_TRUE(inked.count({2, 25}) && inked.count({38, 25}));
  EXPECT_TRUE(inked.count({20, 12})) << "the curve's middle: (1/4) * 25 + (1/2) * 0 + (1/4) * 25";
  // Every pixel of the walk is stamped: no gaps between the chords.
  for (int x = 2; x <= 38; ++x) {
    bool inColumn = false;
    for (int y = 0; y < 30; ++y) inColumn = inColumn || inked.count({x, y});
    EXPECT_TRUE(inColumn) << x;
  }
  EXPECT_EQ(DirtyRect, Rect(2, 12, 38, 25));
  // Undo gives back the paper: the step still covers every stamp.
  ASSERT_TRUE(picture.Undo(UDBuffer::RedoRecord::Skip));
  EXPECT_TRUE(Inked().empty());
}

TEST_F(DrawingHelpersTest, CurveWithAnArrowHeadHasTwoBarbsBackAlongItsEnd) {
  StrokeCurve(2, 15, 20, 15, 38, 15, 1.0f, 1);  // straight, ending at (38, 15) going right
  const Points inked = Inked();
  // Barbs of 6 pixels, 30 degrees off, back from the tip: their ends 5 pixels left of it and
  // 2 or 3 above and below (the sines truncate).
  EXPECT_TRUE(inked.count({33, 12}) || inked.count({33, 13}));
  EXPECT_TRUE(inked.count({33, 17}) || inked.count({33, 18}));
  EXPECT_FALSE(inked.count({33, 14}) || inked.count({33, 16}));
  EXPECT_FALSE(inked.count({39, 15}));

}

}  // namespace
