// Where a picture lands on the page and in the preview, and what dragging its handles does, on
// the PDF printer's A4 page (2480 x 3508 at 300 dpi, margins of 50) in a 340 x 421 preview.

#include <gtest/gtest.h>

#include "quillo/output/PrintDrag.h"
#include "quillo/output/PrintLayout.h"

namespace {

PrintLayoutState A4Layout() {
  PrintLayoutState layout;
  layout.page = PrintPage{2480, 3508, 50, 50, 2380, 3408, 300};
  LayOutPreview(layout, 340, 421);
  return layout;
}

TEST(PrintLayout, ThePageSitsInThePreviewAtItsScale) {
  const PrintLayoutState layout = A4Layout();
  EXPECT_DOUBLE_EQ(layout.previewScale, 411.0 / 3508);
  EXPECT_EQ(layout.pageLeft, 23);
  EXPECT_EQ(layout.pageTop, 3);
}

TEST(PrintLayout, AnOriginalPictureIsCentredAtItsResolution) {
  PrintLayoutState layout = A4Layout();
  EXPECT_EQ(ApplyImageSize(layout, PrintImageSize::Original, 200, 100, 200), PrintImageSize::Original);
  ApplyAlignment(layout, PrintAlign::Center, PrintAlign::Center, 200, 100);
  EXPECT_DOUBLE_EQ(200 * layout.scaleX / 300, 1.0);
  EXPECT_DOUBLE_EQ(100 * layout.scaleY / 300, 0.5);
  EXPECT_EQ(layout.offsetX, 1040);
  EXPECT_EQ(layout.offsetY, 1629);
  const PrintedRect printed = PrintedPicture(layout, 200, 100);
  EXPECT_EQ(printed.x + layout.page.physicalOffsetX, 1090);
  EXPECT_EQ(printed.y + layout.page.physicalOffsetY, 1679);
  EXPECT_EQ(printed.width, 300);
  EXPECT_EQ(printed.height, 150);
  const PreviewBox box = PictureBox(layout, 200, 100);
  EXPECT_EQ(box.x1, 151);
  EXPECT_EQ(box.y1, 200);
  EXPECT_EQ(PreviewExtent(200, layout.scaleX, layout.previewScale), 35);
  EXPECT_EQ(PreviewExtent(100, layout.scaleY, layout.previewScale), 17);
}

TEST(PrintLayout, APictureWithoutResolutionPrintsAt200Dpi) {
  PrintLayoutState layout = A4Layout();
  ApplyImageSize(layout, PrintImageSize::Original, 200, 100, 0);
  EXPECT_DOUBLE_EQ(layout.scaleX, 1.5);
  EXPECT_DOUBLE_EQ(layout.scaleY, 1.5);
}

TEST(PrintLayout, APictureLargerThanThePageIsFittedAndTurnsCustom) {
  PrintLayoutState layout = A4Layout();
  EXPECT_EQ(ApplyImageSize(layout, PrintImageSize::Original, 4000, 3000, 200), PrintImageSize::Custom);
  const PrintedRect printed = PrintedPicture(layout, 4000, 3000);
  EXPECT_EQ(printed.width, 2380);
  EXPECT_EQ(printed.height, 1785);
  // Too tall rather than too wide: fitted to the height.
  EXPECT_EQ(ApplyImageSize(layout, PrintImageSize::Original, 1000, 8000, 200), PrintImageSize::Custom);
  EXPECT_EQ(PrintedPicture(layout, 1000, 8000).height, 3408);
}

TEST(PrintLayout, SizesAndAlignmentsFollowTheirChoices) {
  struct Case {
    PrintImageSize size;
    PrintAlign horizontal, vertical;
    int x, y, width, height;
  };
  const Case cases[] = {
      {PrintImageSize::FitToPage, PrintAlign::Start, PrintAlign::Start, 0, 0, 2380, 1190},
      {PrintImageSize::FitToPage, PrintAlign::End, PrintAlign::End, 0, 2218, 2380, 1190},
      {PrintImageSize::Original, PrintAlign::End, PrintAlign::Start, 2080, 0, 300, 150},
      {PrintImageSize::Original, PrintAlign::Start, PrintAlign::End, 0, 3258, 300, 150},
  };
  for (const Case& c : cases) {
    PrintLayoutState layout = A4Layout();
    ApplyImageSize(layout, c.size, 200, 100, 200);
    ApplyAlignment(layout, c.horizontal, c.vertical, 200, 100);
    const PrintedRect r = PrintedPicture(layout, 200, 100);
    EXPECT_EQ(r.x, c.x);
    EXPECT_EQ(r.y, c.y);
    EXPECT_EQ(r.width, c.width);
    EXPECT_EQ(r.height, c.height);
  }
}

TEST(PrintLayout, CustomPlacementStaysOnThePrintableArea) {
  PrintLayoutState layout = A4Layout();
  ApplyImageSize(layout, PrintImageSize::Original, 200, 100, 200);
  layout.offsetX = -40;
  layout.offsetY = 3400;
  ApplyAlignment(layout, PrintAlign::Custom, PrintAlign::Custom, 200, 100);
  EXPECT_EQ(layout.offsetX, 0);
  EXPECT_EQ(layout.offsetY, 3408 - 150);
}

class PrintDragTest : public ::testing::Test {
protected:
  PrintDragTest() : layout(A4Layout()) {
    ApplyImageSize(layout, PrintImageSize::Original, 200, 100, 200);
    ApplyAlignment(layout, PrintAlign::Center, PrintAlign::Center, 200, 100);
  }
  PrintedRect Drag(int x, int y, int toX, int toY) {
    PrintDrag drag;
    drag.Begin(layout, 200, 100, x, y);
    drag.MoveTo(layout, 200, 100, toX, toY);
    drag.End();
    return PrintedPicture(layout, 200, 100);
  }
  PrintLayoutState layout;
};

TEST_F(PrintDragTest, TheHandlesAreFoundInTheirOrder) {
  const PreviewBox box = PictureBox(layout, 200, 100);
  EXPECT_EQ(box.x2, 185);
  EXPECT_EQ(HitPicture(box, 185, box.Ym()), PrintDragMode::Right);
  EXPECT_EQ(HitPicture(box, 151, box.Ym() + 3), PrintDragMode::Left);
  EXPECT_EQ(HitPicture(box, box.Xm(), 200), PrintDragMode::Top);
  EXPECT_EQ(HitPicture(box, box.Xm(), box.y2), PrintDragMode::Bottom);
  EXPECT_EQ(HitPicture(box, 150, 199), PrintDragMode::TopLeft);
  EXPECT_EQ(HitPicture(box, 185, box.y2), PrintDragMode::BottomRight);
  EXPECT_EQ(HitPicture(box, 185, 200), PrintDragMode::TopRight);
  EXPECT_EQ(HitPicture(box, 151, box.y2), PrintDragMode::BottomLeft);
  EXPECT_EQ(HitPicture(box, 160, 206), PrintDragMode::Move);
  EXPECT_EQ(HitPicture(box, 100, 100), PrintDragMode::None);
}

TEST_F(PrintDragTest, TheRightHandleStretchesTheWidthOnly) {
  const PreviewBox box = PictureBox(layout, 200, 100);
  const PrintedRect r = Drag(185, box.Ym(), 195, box.Ym());
  EXPECT_EQ(r.width, 385);
  EXPECT_EQ(r.height, 150);
  EXPECT_EQ(r.x, 1040);
}

TEST_F(PrintDragTest, ASideDraggedPastTheOtherStopsOnePixelShort) {
  const PreviewBox box = PictureBox(layout, 200, 100);
  PrintedRect r = Drag(box.x1, box.Ym(), 330, box.Ym());
  EXPECT_EQ(r.x, 1339);
  EXPECT_EQ(r.x + r.width, 1340);
  const PreviewBox narrow = PictureBox(layout, 200, 100);
  r = Drag(narrow.Xm(), narrow.y2, narrow.Xm(), 0);
  EXPECT_EQ(r.height, 1);
}

TEST_F(PrintDragTest, ACornerKeepsTheProportionsOfItsStart) {
  // Stretched to 2:1 first, then a corner dragged: 2:1 it stays.
  const PreviewBox box = PictureBox(layout, 200, 100);
  Drag(185, box.Ym(), 220, box.Ym());
  const double ratio = layout.scaleX / layout.scaleY;
  const PreviewBox stretched = PictureBox(layout, 200, 100);
  const PrintedRect r = Drag(stretched.x2, stretched.y2, stretched.x2 + 20, stretched.y2 + 40);
  EXPECT_NEAR(layout.scaleX / layout.scaleY, ratio, 1e-9);
  EXPECT_GT(r.width, 0);
}

TEST_F(PrintDragTest, ThePictureNeverLeavesThePrintableArea) {
  PrintedRect r = Drag(160, 206, -500, -500);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  const PreviewBox corner = PictureBox(layout, 200, 100);
  r = Drag(corner.x1 + 10, corner.y1 + 5, 2000, 2000);
  EXPECT_EQ(r.x + r.width, 2380);
  EXPECT_EQ(r.y + r.height, 3408);
  // A corner pulled far beyond the page stops at its edges.
  const PreviewBox moved = PictureBox(layout, 200, 100);
  r = Drag(moved.x1, moved.y1, -900, -900);
  EXPECT_GE(r.x, 0);
  EXPECT_GE(r.y, 0);
}

}  // namespace
