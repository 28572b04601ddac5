// The optimiser's previews: the fitted zoom and where the views go, zooming with the keypad,
// panning by keys and by dragging, and the two-preview layout.

#include "SaveOptimTestSupport.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"
#include "quillo/document/ImageView.h"

namespace {

class SaveOptimPreviewsTest : public SaveOptimFixture {
protected:
  // Every view at the same place and size; answers the first's.
  static TRect ViewBounds(const TSaveOptimForm& f) {
    const TBuffer* first = f.PreviewBuf[0];
    for (const TBuffer* view : f.PreviewBuf) {
      EXPECT_EQ(view->GetLeft(), first->GetLeft());
      EXPECT_EQ(view->GetTop(), first->GetTop());
      EXPECT_EQ(view->GetWidth(), first->GetWidth());
      EXPECT_EQ(view->GetHeight(), first->GetHeight());
    }
    return TRect(first->GetLeft(), first->GetTop(), first->GetLeft() + first->GetWidth(),
                 first->GetTop() + first->GetHeight());
  }
  void PressOn(TSaveOptimForm& f, int vk) {
    f.SetActiveControl(f.TabControl);
    ui.Press(vk);
  }
};

TEST_F(SaveOptimPreviewsTest, AnImageFitsThePreviewsAndThePlusKeyZoomsAboutTheCentre) {
  MakePicture(640, 480);
  auto f = Open();
  EXPECT_EQ(f->Zoom, 20);
  EXPECT_EQ(ViewBounds(*f), TRect(25, 46, 25 + 128, 46 + 96));
  EXPECT_EQ(f->PreviewBuf[0]->GetZoom(), ReducePackedZoom(PackZoom(20, 100)));
  EXPECT_EQ(f->ZoomLab->GetCaption(), "Mag: 20 %");
  PressOn(*f, VK_ADD);
  EXPECT_EQ(f->Zoom, 30);
  EXPECT_EQ(ViewBounds(*f), TRect(-7, 22, -7 + 192, 22 + 144));
  EXPECT_EQ(f->ZoomLab->GetCaption(), "Mag: 30 %");
}

TEST_F(SaveOptimPreviewsTest, SmallImagesFitAtHighZooms) {
  const struct {
    int width, height, zoom;
  } cases[] = {{50, 40, 300}, {2, 2, 3200}, {3, 400, 100}};
  for (const auto& c : cases) {
    MakePicture(c.width, c.height);
    auto f = Open();
    EXPECT_EQ(f->Zoom, c.zoom) << c.width << "x" << c.height;
    const TRect r = ViewBounds(*f);
    EXPECT_EQ(r.Width(), c.width * c.zoom / 100);
  }
}

TEST_F(SaveOptimPreviewsTest, TheKeypadStepsThroughTheZoomsToTheirEnds) {
  MakePicture(640, 480);
  auto f = Open();
  f->Zoom = 90;
  f->ApplyPreviewZoom();
  std::vector<int> seen;
  for (int i = 0; i < 2; ++i) {
    PressOn(*f, VK_ADD);
    seen.push_back(f->Zoom);
  }
  for (int i = 0; i < 2; ++i) {
    PressOn(*f, VK_SUBTRACT);
    seen.push_back(f->Zoom);
  }
  EXPECT_EQ(seen, (std::vector<int>{100, 200, 100, 90}));
  f->Zoom = 3200;
  f->ApplyPreviewZoom();
  PressOn(*f, VK_ADD);
  EXPECT_EQ(f->Zoom, 3200);
  f->Zoom = 10;
  f->ApplyPreviewZoom();
  PressOn(*f, VK_SUBTRACT);
  EXPECT_EQ(f->Zoom, 10);
}

TEST_F(SaveOptimPreviewsTest, AnImageSmallerThanTheBoxIsCentredAndCannotBePannedThatWay) {
  MakePicture(640, 480);
  auto f = Open();
  for (int vk : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) PressOn(*f, vk);
  EXPECT_EQ(ViewBounds(*f), TRect(25, 46, 25 + 128, 46 + 96));
  PressOn(*f, VK_ADD);  // 30 %: wider than the box, still lower
  PressOn(*f, VK_LEFT);
  EXPECT_EQ(ViewBounds(*f).left, 0) << "left arrow shows more of the left, up to the edge";
  PressOn(*f, VK_RIGHT);
  EXPECT_EQ(ViewBounds(*f).left, -14) << "and back to the right edge";
  PressOn(*f, VK_UP);
  EXPECT_EQ(ViewBounds(*f).top, 22);
}

// A drag on any view moves all four alike; the point grabbed stays under the pointer.
TEST_F(SaveOptimPreviewsTest, ADragMovesAllFourViewsAndKeepsTheGrabbedPointUnderThePointer) {
  MakePicture(640, 480);
  auto f = Open();
  f->Zoom = 100;
  f->ApplyPreviewZoom();
  const TRect before = ViewBounds(*f);
  TBuffer* grabbed = f->PreviewBuf[3];
  const POINT from = UiDriver::At(f->SBox[3]->GetHandle(), 60, 60);
  POINT point = from;
  ScreenToClient(grabbed->GetHandle(), &point);
  const POINT to{from.x - 30, from.y - 20};
  ui.Drag(from, to, 6);
  const TRect after = ViewBounds(*f);
  EXPECT_EQ(after.left, before.left - 30);
  EXPECT_EQ(after.top, before.top - 20);
  POINT under = to;
  ScreenToClient(grabbed->GetHandle(), &under);
  EXPECT_EQ(under.x, point.x);
  EXPECT_EQ(under.y, point.y);
  EXPECT_EQ(f->CurrentSlot, 3) << "the view's slot is selected";
  EXPECT_FALSE(f->Dragging);
  EXPECT_EQ(grabbed->GetCursor(), -45) << "the open hand";
  EXPECT_EQ(Screen()->GetCursor(), crDefault) << "the closed hand only while dragging";
}

TEST_F(SaveOptimPreviewsTest, CollapsingToTwoPreviewsOnTheFourthTabSelectsTheSecond) {
  MakePicture(640, 480);
  auto f = Open();
  ClickTab(*f, 3);
  Click(f->ExpandBtn);
  EXPECT_EQ(f->TabControl->GetTabIndex(), 1);
  EXPECT_EQ(f->CurrentSlot, 1);
  EXPECT_EQ(f->TabControl->GetTabs()->Count(), 2);
  EXPECT_FALSE(f->SBox[2]->GetVisible());
  EXPECT_FALSE(f->SBox[3]->GetVisible());
  EXPECT_EQ(f->SBox[0]->GetWidth(), 358);
  EXPECT_EQ(f->ExpandBtn->GetCaption(), ">>");
  EXPECT_EQ(f->PreviewWidth, 358);
  EXPECT_EQ(ViewBounds(*f).left, (358 - 128) / 2);
  Click(f->ExpandBtn);
  EXPECT_EQ(f->TabControl->GetTabs()->Count(), 4);
  EXPECT_TRUE(f->SBox[3]->GetVisible());
  EXPECT_EQ(f->SBox[1]->GetWidth(), 178);
  EXPECT_EQ(f->ExpandBtn->GetCaption(), "<<");
}

}  // namespace
