// The image object: a new picture's state, the selection bounds and deselecting, thumbnails,
// the take-over of the open dialog's preview, and the disc, dotted-line and curve helpers.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/base/Language.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"

namespace {

using Points = std::set<std::pair<int, int>>;

// The pixels of a picture that differ from the background 0.
Points Painted(const Buffer& b) {
  Points p;
  for (int y = b.rect.top; y <= b.rect.bottom; ++y)
    for (int x = b.rect.left; x <= b.rect.right; ++x)
      if (*b.At(x, y) != 0) p.insert({x, y});
  return p;
}

void Clear(UDBuffer& b) { b.Box(b.rect, 0); }

TEST(UDBufferTest, ANewPictureHasNothingSelectedAndTheDefaults) {
  UDBuffer p;
  EXPECT_EQ(p.pixels, nullptr);
  EXPECT_EQ(p.SelLeft, 65536);
  EXPECT_EQ(p.SelRight, -1);
  EXPECT_EQ(p.SelTop, 65536);
  EXPECT_EQ(p.SelBottom, -1);
  EXPECT_EQ(p.Outline, nullptr);
  EXPECT_EQ(p.SaveParams.bits, 24);
  EXPECT_EQ(p.Resolution, 200);
  EXPECT_EQ(p.ChangeCount, 0);
  EXPECT_EQ(p.SaveAsRequired, 0);
  EXPECT_EQ(p.UntitledNumber, 0);
}

TEST(UDBufferTest, AllocGivesPixelsAndAClearedMaskOfTheSameSize) {
  UDBuffer p;
  p.Alloc(37, 5);
  ASSERT_NE(p.pixels, nullptr);
  EXPECT_EQ(p.Width(), 37);
  EXPECT_EQ(p.Height(), 5);
  EXPECT_EQ(p.Mask.width, 37);
  EXPECT_EQ(p.Mask.height, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 37; ++x) EXPECT_FALSE(p.IsSelected(x, y)) << x << "," << y;
  p.AllocDefault();
  EXPECT_EQ(p.Width(), Buffer::default_x);
  EXPECT_EQ(p.Mask.height, Buffer::default_y);
}

TEST(UDBufferTest, AViewSharesPixelsAndMaskAndFreesNeither) {
  UDBuffer doc;
  doc.Alloc(20, 10);
  {
    UDBuffer view;
    view.AllocFrom(doc, Rect(5, 2, 14, 7), true);
    EXPECT_EQ(view.rect, Rect(5, 2, 14, 7));
    view.PutPixel(Pair<int>(6, 3), 0x123456);
    view.SetMaskPixel(6, 3, true);
  }
  EXPECT_EQ(*doc.At(6, 3), 0x123456u);
  EXPECT_TRUE(doc.IsSelected(6, 3));
}

struct BoundsCase {
  const char* what;
  int width, height;
  std::vector<std::pair<int, int>> selected;
  int left, right, top, bottom;
};

TEST(UDBufferTest, SelectionBoundsEncloseEverySelectedPixel) {
  const std::vector<BoundsCase> cases = {
      {"nothing", 40, 8, {}, 65536, -1, 65536, -1},
      {"one pixel", 40, 8, {{7, 3}}, 7, 7, 3, 3},
      {"corners", 40, 8, {{0, 0}, {39, 7}}, 0, 39, 0, 7},
      {"leftmost below the top row", 70, 9, {{50, 1}, {3, 6}, {66, 4}}, 3, 66, 1, 6},
      {"across word edges", 96, 3, {{31, 2}, {32, 0}, {64, 1}}, 31, 64, 0, 2},
      {"last column of a short last word", 33, 2, {{32, 1}}, 32, 32, 1, 1},
  };
  for (const BoundsCase& c : cases) {
    UDBuffer p;
    p.Alloc(c.width, c.height);
    for (auto [x, y] : c.selected) p.SetMaskPixel(x, y, true);
    p.UpdateSelectionBounds();
    EXPECT_EQ(p.SelLeft, c.left) << c.what;
    EXPECT_EQ(p.SelRight, c.right) << c.what;
    EXPECT_EQ(p.SelTop, c.top) << c.what;
    EXPECT_EQ(p.SelBottom, c.bottom) << c.what;
  }
}

// The words of a mask row run past its width; what lies there is not part of the selection.
TEST(UDBufferTest, SelectionBoundsIgnoreTheBitsPastTheWidth) {
  UDBuffer p;
  p.Alloc(33, 2);
  p.Mask.words[1] |= 0xFFFFFFFEu;  // row 0: columns 33..63 do not exist
  p.Mask.words[3] |= 0x80000000u;  // row 1
  p.UpdateSelectionBounds();
  EXPECT_FALSE(p.HasSelectionBounds());
  EXPECT_EQ(p.SelLeft, 65536);
}

TEST(UDBufferTest, MaskRectanglesAreClippedAndSetMaskAllCoversEverything) {
  UDBuffer p;
  p.Alloc(10, 6);
  p.SetMaskRect(true, Rect(-5, 4, 3, 20));
  p.UpdateSelectionBounds();
  EXPECT_EQ(std::vector<int>({p.SelLeft, p.SelRight, p.SelTop, p.SelBottom}),
            std::vector<int>({0, 3, 4, 5}));
  p.SetMaskAll(true);
  p.UpdateSelectionBounds();
  EXPECT_EQ(std::vector<int>({p.SelLeft, p.SelRight, p.SelTop, p.SelBottom}),
            std::vector<int>({0, 9, 0, 5}));
}

TEST(UDBufferTest, ClearSelectionWithoutAnOutlineChangesNothing) {
  UDBuffer p;
  p.Alloc(8, 8);
  p.SetMaskPixel(2, 2, true);
  p.UpdateSelectionBounds();
  p.ClearSelection(true);
  EXPECT_TRUE(p.IsSelected(2, 2));
  EXPECT_EQ(p.SelLeft, 2);
}

TEST(UDBufferTest, ClearSelectionEmptiesMaskOutlinesAndBounds) {
  UDBuffer p;
  p.Alloc(8, 8);
  p.SetMaskRect(true, Rect(1, 1, 5, 5));
  p.UpdateSelectionBounds();
  p.Outline = std::make_unique<uchar[]>(16);
  p.ViewOutline = std::make_unique<uchar[]>(16);
  p.ClearSelection(false);
  EXPECT_EQ(p.Outline, nullptr);
  EXPECT_EQ(p.ViewOutline, nullptr);
  EXPECT_FALSE(p.IsSelected(3, 3));
  EXPECT_FALSE(p.HasSelectionBounds());
  EXPECT_EQ(p.SelTop, 65536);
}

TEST(UDBufferTest, CopyAttributesTakesTheNonPixelStateOnly) {
  UDBuffer a, b;
  a.Alloc(4, 4);
  a.SaveAsRequired = 1;
  a.ChangeCount = 3;
  a.FileName = "/tmp/a.png";
  a.ImageNumber = 2;
  a.UntitledNumber = 9;
  a.SelLeft = 1, a.SelRight = 2, a.SelTop = 1, a.SelBottom = 3;
  a.Resolution = 300;
  a.SaveParams.bits = 8;
  b.CopyAttributes(a);
  EXPECT_EQ(b.SaveAsRequired, 1);
  EXPECT_EQ(b.ChangeCount, 3);
  EXPECT_EQ(b.FileName, "/tmp/a.png");
  EXPECT_EQ(b.ImageNumber, 2);
  EXPECT_EQ(b.UntitledNumber, 9);
  EXPECT_EQ(std::vector<int>({b.SelLeft, b.SelRight, b.SelTop, b.SelBottom}),
            std::vector<int>({1, 2, 1, 3}));
  EXPECT_EQ(b.Resolution, 300);
  EXPECT_EQ(b.pixels, nullptr);
  EXPECT_EQ(b.SaveParams.bits, 24);
}

TEST(UDBufferTest, CopyFromCopiesPixelsAndMask) {
  UDBuffer a, b;
  a.Alloc(6, 4);
  Clear(a);
  a.PutPixel(Pair<int>(5, 3), 0xABCDEF);
  a.SetMaskPixel(1, 2, true);
  b.Alloc(6, 4);
  Clear(b);
  b.CopyFrom(a);
  EXPECT_EQ(*b.At(5, 3), 0xABCDEFu);
  EXPECT_TRUE(b.IsSelected(1, 2));
  EXPECT_FALSE(b.IsSelected(2, 1));
}

// A source of three bands: 150 columns red, 100 green, 150 blue.
void ThreeBands(UDBuffer& source) {
  source.Alloc(400, 100);
  source.Box(Rect(0, 0, 149, 99), 0xFF0000);
  source.Box(Rect(150, 0, 249, 99), 0x00FF00);
  source.Box(Rect(250, 0, 399, 99), 0x0000FF);
}

TEST(UDBufferTest, ScaleToFitKeepsTheAspectOrCropsTheCentre) {
  UDBuffer source, thumb;
  ThreeBands(source);
  source.SetMaskAll(true);
  thumb.ScaleToFit(source, 100, 100, false, false);
  EXPECT_EQ(thumb.Width(), 100);
  EXPECT_EQ(thumb.Height(), 25);
  EXPECT_TRUE(thumb.IsSelected(50, 12));  // the mask is scaled too
  EXPECT_EQ(*thumb.At(10, 10), 0xFF0000u);
  EXPECT_EQ(*thumb.At(90, 10), 0x0000FFu);

  thumb.ScaleToFit(source, 100, 100, false, true);
  ASSERT_EQ(thumb.Width(), 100);
  ASSERT_EQ(thumb.Height(), 100);
  for (int y = 0; y < 100; y += 9)
    for (int x = 0; x < 100; x += 9) ASSERT_EQ(*thumb.At(x, y), 0x00FF00u) << x << "," << y;
  EXPECT_FALSE(thumb.IsSelected(50, 50));  // a cropped thumbnail has no selection
}

TEST(UDBufferTest, ScaleToFitOfASliverKeepsOnePixel) {
  UDBuffer source, thumb;
  source.Alloc(1000, 1);
  thumb.ScaleToFit(source, 100, 100, true, false);
  EXPECT_EQ(thumb.Width(), 100);
  EXPECT_EQ(thumb.Height(), 1);
  UDBuffer none;
  EXPECT_EQ(thumb.ScaleToFit(none, 100, 100, true, false), 0);
  EXPECT_EQ(thumb.pixels, nullptr);
}

struct DiscCase {
  int r;
  Points expected;
};

TEST(UDBufferTest, FillDiscDrawsTheSmallDiscsExactly) {
  const std::vector<DiscCase> cases = {
      {0, {{5, 5}}},
      {1, {{4, 5}, {5, 5}, {6, 5}, {5, 4}, {5, 6}}},
  };
  for (const DiscCase& c : cases) {
    UDBuffer b;
    b.Alloc(11, 11);
    Clear(b);
    FillDisc(b, 5, 5, c.r, 0x00FF00);
    EXPECT_EQ(Painted(b), c.expected) << "radius " << c.r;
  }
}

TEST(UDBufferTest, LargerDiscsAreRoundAndReachTheirRadius) {
  for (int r = 2; r <= 12; ++r) {
    UDBuffer b;
    b.Alloc(31, 31);
    Clear(b);
    FillDisc(b, 15, 15, r, 1);
    const Points p = Painted(b);
    for (auto [x, y] : p) {
      EXPECT_TRUE(p.count({30 - x, y}) && p.count({x, 30 - y})) << r;
      EXPECT_LE((x - 15) * (x - 15) + (y - 15) * (y - 15), (r + 1) * (r + 1)) << r;
    }
    for (int y = 15 - r / 2; y <= 15 + r / 2; ++y)
      for (int x = 15 - r / 2; x <= 15 + r / 2; ++x) EXPECT_TRUE(p.count({x, y})) << r;
    EXPECT_TRUE(p.count({15 + r, 15}) && p.count({15, 15 - r}) && p.count({15, 15 + r}));
    EXPECT_FALSE(p.count({15 + r + 1, 15}));
  }
}

struct DottedCase {
  const char* what;
  int x1, y1, x2, y2;
  float period, phase;
  Points expected;
  float rest;
};

TEST(UDBufferTest, DottedLinesPutADotEveryPeriod) {
  const std::vector<DottedCase> cases = {
      {"every fourth from the first", 0, 0, 9, 0, 4.0f, 1.0f, {{0, 0}, {4, 0}, {8, 0}}, 3.0f},
      {"a period of one is solid", 2, 1, 2, 4, 1.0f, 1.0f, {{2, 1}, {2, 2}, {2, 3}, {2, 4}}, 1.0f},
      {"phase delays the first dot", 0, 0, 6, 0, 3.0f, 2.0f, {{1, 0}, {4, 0}}, 1.0f},
      {"backwards along a diagonal", 4, 4, 0, 0, 2.0f, 1.0f, {{4, 4}, {2, 2}, {0, 0}}, 2.0f},
      {"a single point", 3, 3, 3, 3, 5.0f, 1.0f, {{3, 3}}, 5.0f},
  };
  for (const DottedCase& c : cases) {
    UDBuffer b;
    b.Alloc(10, 10);
    Clear(b);
    const float rest = DrawDottedLine(b, c.x1, c.y1, c.x2, c.y2, c.period, c.phase);
    EXPECT_EQ(Painted(b), c.expected) << c.what;
    EXPECT_FLOAT_EQ(rest, c.rest) << c.what;
  }
}

TEST(UDBufferTest, ADottedLineIsDrawnInXorSoASecondPassErasesIt) {
  UDBuffer b;
  b.Alloc(10, 10);
  b.Box(b.rect, 0x102030);
  DrawDottedLine(b, 0, 0, 9, 6, 1.0f, 1.0f);
  EXPECT_EQ(*b.At(0, 0), 0x102030u ^ 0x8F8F8Fu);
  DrawDottedLine(b, 0, 0, 9, 6, 1.0f, 1.0f);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(*b.At(x, y), 0x102030u);
}

// Chords meet at shared pixels; drawing one of those twice in XOR would erase it.
TEST(UDBufferTest, ACurvePreviewDrawsEachPixelOnce) {
  UDBuffer b;
  b.Alloc(40, 40);
  Clear(b);
  DrawCurvePreview(b, 0, 5, 16, 5, 32, 5, 1.0f, 0);
  Points line;
  for (int x = 0; x <= 32; ++x) line.insert({x, 5});
  EXPECT_EQ(Painted(b), line);

  Clear(b);
  DrawCurvePreview(b, 0, 0, 20, 39, 39, 0, 1.0f, 0);
  const Points curve = Painted(b);
  EXPECT_TRUE(curve.count({0, 0}) && curve.count({39, 0}));
  EXPECT_TRUE(curve.count({19, 19}) || curve.count({20, 19}));  // the curve's middle
}

// The open dialog's preview handed to a new document.
class PreviewTakeOver : public ::testing::Test {
protected:
  PreviewTakeOver() {
    Lang = std::make_unique<Language>(QUILLO_BIN_DIR);
    Lang->Load("English");
    PreviewPicture.Alloc(12, 7);
    PreviewPicture.Box(PreviewPicture.rect, 0x445566);
    PreviewPicture.SetMaskPixel(3, 3, true);
    PreviewPicture.FileName = "/pictures/sea.gif";
    PreviewPicture.SaveParams.bits = 8;
    PreviewThumb.Alloc(4, 3);
    PreviewDesc = GFXtra32{3, 4, 0x00AA00, 0x0000BB};
    PreviewLoaded = true;
    target.Alloc(2, 2);
    target.Box(target.rect, 0x999999);
    target.UntitledNumber = 5;
  }
  ~PreviewTakeOver() override {
    PreviewPicture.Free();
    PreviewThumb.Free();
    PreviewLoaded = false;
    PreviewInfo = 0;
    Lang.reset();
    ResetApplication();
  }
  void ExpectPreviewCleared() {
    EXPECT_EQ(PreviewPicture.pixels, nullptr);
    EXPECT_EQ(PreviewPicture.FileName, "");
    EXPECT_EQ(PreviewThumb.pixels, nullptr);
    EXPECT_FALSE(PreviewLoaded);
  }
  TempHome home;
  UiDriver ui;
  UDBuffer target;
};

TEST_F(PreviewTakeOver, ASoundPreviewBecomesThePicture) {
  PreviewInfo = 0;
  GFXtra32 extra{};
  target.Assign(&extra);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  ASSERT_EQ(target.Width(), 12);
  EXPECT_EQ(*target.At(11, 6), 0x445566u);
  EXPECT_TRUE(target.IsSelected(3, 3));
  EXPECT_EQ(target.FileName, "/pictures/sea.gif");
  EXPECT_EQ(target.SaveParams.bits, 8);
  EXPECT_EQ(target.ownership, Buffer::kOwns);
  EXPECT_EQ(extra.x, 3);
  EXPECT_EQ(extra.background, 0x00AA00u);
  ExpectPreviewCleared();
}

TEST_F(PreviewTakeOver, ADamagedPreviewIsTakenOnlyWhenTheUserSaysYes) {
  for (int answer : {IDNO, IDYES}) {
    PreviewInfo = 1;
    ui.AnswerMessageBoxes({answer});
    GFXtra32 extra{};
    target.Assign(&extra);
    ASSERT_EQ(ui.MessageBoxTexts().size(), answer == IDNO ? 1u : 2u);
    EXPECT_EQ(ui.MessageBoxTexts().back(), LangMessage("ErrLoadImg").c_str());
    if (answer == IDNO) {
      EXPECT_EQ(target.Width(), 2);
      EXPECT_EQ(*target.At(1, 1), 0x999999u);
      EXPECT_EQ(target.UntitledNumber, 5);
      EXPECT_EQ(extra.background, 0u);
      ExpectPreviewCleared();
      // The preview of the next try.
      PreviewPicture.Alloc(12, 7);
      PreviewPicture.Box(PreviewPicture.rect, 0x445566);
      PreviewLoaded = true;
    } else {
      EXPECT_EQ(target.Width(), 12);
      EXPECT_EQ(*target.At(0, 0), 0x445566u);
      ExpectPreviewCleared();
    }
  }
}

}  // namespace
