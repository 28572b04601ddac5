// The interactive brush tools: bend, shear, rotate and stretch from the first click to the
// commit, their feedback, and the brush's history after them.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "BrushLetters.h"
#include "ShapeFixture.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/tools/BrushCommands.h"
#include "quillo/base/Settings.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/BrushTransforms.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

using namespace brush_letters;

namespace {

class BrushToolTest : public ShapeToolTest {
protected:
  BrushToolTest() { Choose(&PenContTool); }
  ~BrushToolTest() override {
    BrushState = BrushStateBlock{};
    Settings.OptimBrush = false;
    while (Brush.UndoChain) Brush.DropUndoStep();
    while (Brush.RedoChain) Brush.DropRedoStep();
  }

  // The brush from letters, painting its own colours, with the hot spot given.
  void UseBrush(const std::string& rows, std::uint8_t handle = HandleCentre) {
    SetBrush(rows);
    BrushHandleMode = handle;
    BrushMode = BrushModePaint;
    UseCustomBrushShape();
  }
  // The tool's two points as the mouse handlers give them.
  void TwoPoints(P_icon* tool, Pair<int> first, Pair<int> second) {
    Choose(tool);
    Give(first.x, first.y);
    Give(second.x, second.y);
  }
};

TEST_F(BrushToolTest, BendAndShearGiveTheirStrips) {
  struct Case {
    P_icon* tool;
    const char* brush;
    Pair<int> first, second;
    const char* result;
  } cases[] = {
      // A 5 x 1 brush fixed at (10, 10), the pointer to (12, 6): offsets 4, 2, 0, 0, 1.
      {&BendBrushUnDTool, "abcde", {12, 10}, {12, 6}, "..cd./....e/.b.../...../a...."},
      {&BendBrushUnDTool, "abcde", {12, 10}, {12, 10}, "abcde"},
      {&BendBrushLnRTool, "a/b/c/d/e", {10, 12}, {6, 12}, "....a/..b../c..../d..../.e..."},
      // 4 x 1, d = 3: one row further each column.
      {&ShearBrushUnDTool, "abcd", {12, 10}, {13, 13}, "a.../.b../..c./...d"},
      // 3 x 1, d = 4: the steep walk repeats a column on every row it passes.
      {&ShearBrushUnDTool, "abc", {11, 10}, {12, 14}, "a../.b./.b./..c/..c"},
      {&ShearBrushLnRTool, "a/b/c/d", {10, 12}, {13, 13}, "a.../.b../..c./...d"},
      {&ShearBrushUnDTool, "abcd", {12, 10}, {13, 10}, "abcd"},
  };
  for (const Case& c : cases) {
    UseBrush(c.brush);
    TwoPoints(c.tool, c.first, c.second);
    EXPECT_EQ(BrushText(), c.result) << c.tool->Key.c_str() << " " << c.brush;
    ASSERT_NE(Brush.UndoChain, nullptr);
    EXPECT_EQ(Brush.UndoChain->Description, c.tool->Key);
  }
}

TEST_F(BrushToolTest, TheBentBrushLiesWhereItWasDrawn) {
  UseBrush("abcde");
  TwoPoints(&BendBrushUnDTool, {12, 10}, {12, 6});
  EXPECT_EQ(BendBrushUnDTool.ResultLeftX, 10);
  EXPECT_EQ(BendBrushUnDTool.ResultTopY, 6);
}

TEST_F(BrushToolTest, RotateFollowsThePointerRoundTheCentre) {
  struct Case {
    Pair<int> pointer;
    const char* degrees;
    const char* result;
  } cases[] = {
      {{20, 10}, "90.00\xB0", "dhl/cgk/bfj/aei"},
      {{10, 20}, "180.00\xB0", "lkji/hgfe/dcba"},
      {{22, 20}, "0.00\xB0", "abcd/efgh/ijkl"},  // the handle itself
      {{20, 20}, "0.00\xB0", "abcd/efgh/ijkl"},  // the centre
  };
  for (const Case& c : cases) {
    UseBrush("abcd/efgh/ijkl");
    Choose(&RotateBrushTool);
    Give(20, 20);  // the brush's centre pixel (2, 1) there: origin (18, 19)
    MousePoint = c.pointer;
    ShowToolFeedback();
    EXPECT_EQ(std::string(document->StatusText(spSizes).c_str()), c.degrees);
    HideToolFeedback();
    Give(c.pointer.x, c.pointer.y);
    EXPECT_EQ(BrushText(), c.result) << c.degrees;
    EXPECT_TRUE(Painted().empty()) << "the feedback is gone";
  }
}

TEST_F(BrushToolTest, RotateThroughTheWindowCommitsAndHandsBack) {
  UseBrush("abcd/efgh/ijkl");
  Choose(&RotateBrushTool);
  ClickAt(20, 20);
  EXPECT_EQ(MousePoint, (Pair<int>{22, 20})) << "the pointer is put on the handle";
  const POINT above = ViewPoint(20, 10);
  ui.MoveTo(above.x, above.y);
  ui.RunUntilIdle();
  EXPECT_EQ(std::string(document->StatusText(spSizes).c_str()), "90.00\xB0");
  EXPECT_FALSE(Painted().empty()) << "the turned brush shows";
  ClickAt(20, 10);
  PointerAway();
  EXPECT_EQ(BrushText(), "dhl/cgk/bfj/aei");
  EXPECT_EQ(CurrentTool, &PenContTool);
  EXPECT_TRUE(Painted().empty());
  // The brush's own history takes it back and gives it again.
  UndoBrush();
  EXPECT_EQ(BrushText(), "abcd/efgh/ijkl");
  RedoBrush();
  EXPECT_EQ(BrushText(), "dhl/cgk/bfj/aei");
}

// The pixels of a picture, row by row, with its size.
struct Pixels {
  int width = 0, height = 0;
  std::vector<std::uint32_t> words;
  bool operator==(const Pixels&) const = default;
};

Pixels PixelsOf(const Buffer& b) {
  Pixels p{b.Width(), b.Height(), {}};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) p.words.push_back(*b.At(b.rect.left + x, b.rect.top + y));
  return p;
}

// A brush with an outside margin, soft and transparent pixels, so that a turn between the
// quarters is averaged, composited and then cropped.
void UseSoftBrush() {
  SetBrush(".........../.abcdefghi./.jklmnopqr./.stuvwxyza./.bcdefghij./.........");
  *Brush.At(3, 2) = 0x80123456;
  *Brush.At(5, 3) = 0xFFFFFFFF;
  *Brush.At(8, 1) = 0x40ABCDEF;
  BrushHandleMode = HandleCentre;
  BrushMode = BrushModePaint;
  UseCustomBrushShape();
}

TEST_F(BrushToolTest, ATurnBetweenTheQuartersIsCroppedAndUndoneAndRedoneExactly) {
  Settings.OptimBrush = true;
  UseSoftBrush();
  const Pixels before = PixelsOf(Brush);
  // What the commit must give: the brush turned onto its rotated size, outside where it does
  // not reach, cropped to its content.
  const double angle = std::atan2(10.0 - 6.0, 27.0 - 20.0);
  const Pair<int> size = RotatedSize(Brush.Width(), Brush.Height(), static_cast<float>(angle));
  UDBuffer turned;
  turned.Alloc(size.x, size.y);
  DrawRotated(turned, Brush, static_cast<float>(angle), {0, 0}, size, Missed::Outside);
  const Rect content = BrushContentBounds(turned);
  const Buffer cropped(turned, content, false);
  const Pixels expected = PixelsOf(cropped);
  ASSERT_LT(expected.width, size.x) << "the case crops";

  Choose(&RotateBrushTool);
  Give(20, 10);  // the centre pixel (5, 3) there
  Give(27, 6);
  const Pixels committed = PixelsOf(Brush);
  EXPECT_EQ(committed, expected);
  EXPECT_EQ(PixelsOf(BrushShape), committed) << "painting its own colours, the shape is the brush";
  for (int round = 0; round < 2; ++round) {
    UndoBrush();
    EXPECT_EQ(PixelsOf(Brush), before) << round;
    EXPECT_EQ(PixelsOf(BrushShape), before) << round;
    RedoBrush();
    EXPECT_EQ(PixelsOf(Brush), committed) << round;
    EXPECT_EQ(PixelsOf(BrushShape), committed) << round;
  }
}

TEST_F(BrushToolTest, ATurnWithoutMemoryLeavesTheBrushAndItsHistoryAsTheyWere) {
  UseSoftBrush();
  const Pixels before = PixelsOf(Brush);
  Choose(&RotateBrushTool);
  Give(20, 10);
  const BrushPictureAllocator allocate = BrushAllocPicture;
  BrushAllocPicture = [](UDBuffer& p, int, int) { p.Free(); };
  Give(27, 6);
  BrushAllocPicture = allocate;
  EXPECT_EQ(PixelsOf(Brush), before);
  EXPECT_EQ(PixelsOf(BrushShape), before);
  EXPECT_EQ(Brush.UndoChain, nullptr);
  EXPECT_NE(Brush.ownership, Buffer::kView) << "the brush owns its pixels again";
}

TEST_F(BrushToolTest, StretchMirrorsPastTheAnchor) {
  struct Case {
    P_icon* tool;
    Pair<int> second;
    const char* result;
  } cases[] = {
      {&StretchBrushTool, {8, 11}, "cba/fed"},
      {&StretchBrushTool, {9, 11}, "ca/fd"},
      {&StretchBrushTool, {12, 11}, "abc/def"},  // the bottom-right pixel: unchanged
      {&StretchBrushTool, {14, 11}, "aabcc/ddeff"},
      {&StretchBrushXTool, {8, 30}, "cba/fed"},
      {&StretchBrushYTool, {30, 10}, "def"},
  };
  for (const Case& c : cases) {
    UseBrush("abc/def", HandleLeftTop);
    TwoPoints(c.tool, {10, 10}, c.second);
    EXPECT_EQ(BrushText(), c.result) << c.second.x << "," << c.second.y;
  }
  UseBrush("abc/def", HandleLeftTop);
  TwoPoints(&StretchBrushTool, {10, 10}, {10, 10});
  EXPECT_EQ(Brush.Width(), 1);
  EXPECT_EQ(Brush.Height(), 1);
}

TEST_F(BrushToolTest, LeavingATransformToolHalfwayChangesNothing) {
  UseBrush("abc/def");
  Choose(&StretchBrushTool);
  Give(10, 10);
  Choose(&PenContTool);
  EXPECT_EQ(BrushText(), "abc/def");
  EXPECT_EQ(Brush.UndoChain, nullptr);
  EXPECT_TRUE(Painted().empty());
}

}  // namespace
