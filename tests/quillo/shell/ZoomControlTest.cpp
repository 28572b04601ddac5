// The main window's zoom control on the active document, clicked as a user clicks it: every
// preset in both directions, Shift for two steps, the 32000-pixel cap, and the view showing
// the image's pixels at the zoom (checked against the library's own scaling).

#include <cmath>
#include <string>

#include "../document/DocumentFixture.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/shell/MainForm.h"
#include "quillo/base/Settings.h"
#include "quillo/document/Zoom.h"

namespace {

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowText(window, text, sizeof text);
  return text;
}

class ZoomControlTest : public DocumentTest {
protected:
  // What the user sees of the zoom agrees: the control, its label, the view's size and zoom,
  // the window's caption.
  void ExpectZoomShown(TImageForm* window, int position) {
    SCOPED_TRACE(position);
    EXPECT_EQ(ZoomPosition(), position);
    EXPECT_EQ(ZoomLabel(), std::string(ZoomLabelAt(position)));
    EXPECT_EQ(window->ShowBuf->GetWidth(), ZoomedSize(window->Picture.Width(), position));
    EXPECT_EQ(window->ShowBuf->GetHeight(), ZoomedSize(window->Picture.Height(), position));
    EXPECT_EQ(window->ShowBuf->GetZoom(), ReducePackedZoom(static_cast<int>(PackedZoomAt(position))));
    const long percent = std::lrint(ZoomFactorAt(position) * 100);
    EXPECT_EQ(WindowText(window->GetHandle()), DocumentTitle(window->Picture) + " [" + std::to_string(percent) + "%]");
  }
};

TEST_F(ZoomControlTest, ClicksGoThroughEveryPresetBothWays) {
  TImageForm* window = NewDocument(120, 480);
  int position = ZoomPosition();
  ExpectZoomShown(window, position);
  while (position > MinZoomPosition) {
    ClickZoom(btPrev);
    ExpectZoomShown(window, --position);
  }
  ClickZoom(btPrev);
  ExpectZoomShown(window, MinZoomPosition);
  while (position < MaxZoomPosition) {
    ClickZoom(btNext);
    ExpectZoomShown(window, ++position);
  }
  ClickZoom(btNext);
  ExpectZoomShown(window, MaxZoomPosition);
}

TEST_F(ZoomControlTest, ShiftClickMovesTwoStepsWithinTheRange) {
  TImageForm* window = NewDocument(120, 480);
  while (ZoomPosition() != 1) ClickZoom(ZoomPosition() < 1 ? btNext : btPrev);
  ClickZoom(btNext, true);
  ExpectZoomShown(window, 3);
  while (ZoomPosition() != 0) ClickZoom(btPrev);
  ClickZoom(btPrev, true);
  ExpectZoomShown(window, -2);
  while (ZoomPosition() != -7) ClickZoom(btPrev);
  ClickZoom(btPrev, true);
  ExpectZoomShown(window, MinZoomPosition);
}

// A view of 32000 pixels or more is not made: the zoom falls to the largest preset under
// the cap, and the view, the label and the control agree on it; it settles there also when
// the picture's side divides 32000.
TEST_F(ZoomControlTest, TheViewSizeCapTakesTheLargestPresetUnderIt) {
  for (int side : {4001, 4000}) {
    SCOPED_TRACE(side);
    TImageForm* window = NewDocument(side, 480);
    while (ZoomPosition() < 6) ClickZoom(btNext);
    ExpectZoomShown(window, 6);
    ClickZoom(btNext, true);  // to 8: over the cap
    EXPECT_EQ(ZoomPosition(), 7);
    EXPECT_EQ(ZoomLabel(), "7");
    EXPECT_EQ(window->ShowBuf->GetWidth(), 7 * side);
    ClickZoom(btNext);
    EXPECT_EQ(ZoomPosition(), 7) << "the cap settles";
    EXPECT_EQ(window->ShowBuf->GetWidth(), 7 * side);
    window->Close();
    ui.RunUntilIdle();
  }
}

TEST_F(ZoomControlTest, AThreeByThreePictureIsNeverShownBelowFullSize) {
  // The window of a tiny image is smaller than the docked tool palette: it floats.
  Settings.AlwaysDock = false;
  TImageForm* window = NewDocument(3, 3);
  while (ZoomPosition() > 1) ClickZoom(btPrev);
  ClickZoom(btPrev);
  EXPECT_EQ(ZoomPosition(), 1);
  EXPECT_EQ(window->ShowBuf->GetWidth(), 3);
}

// The view's pixels on the screen are the library's scaling of the picture at the zoom.
TEST_F(ZoomControlTest, TheViewShowsThePicturesPixelsAtTheZoom) {
  TImageForm* window = NewDocument(60, 450);
  UDBuffer& picture = window->Picture;
  for (int y = 0; y < 450; ++y)
    for (int x = 0; x < 60; ++x) *picture.At(x, y) = static_cast<uint>(x * 4) << 16 | static_cast<uint>(y & 0xFF) << 8 | static_cast<uint>((x * y) & 0xFF);
  window->ShowBuf->Invalidate();
  for (int target : {3, 1, -2}) {
    SCOPED_TRACE(target);
    while (ZoomPosition() != target) ClickZoom(ZoomPosition() < target ? btNext : btPrev);
    ui.RunUntilIdle();
    const int w = ZoomedSize(60, target), h = ZoomedSize(450, target);
    Buffer expected;
    expected.Alloc({w, h});
    expected.Scale(picture, {w, h}, {0, 0}, Buffer::kPlain, 0);
    // The part of the view the scroll box shows, sampled on a grid.
    const TPoint client = window->MaxSize->ClientToScreen(TPoint(0, 0));
    const int left = window->ShowBuf->GetLeft(), top = window->ShowBuf->GetTop();
    int checked = 0;
    for (int cy = 0; cy < window->MaxSize->GetClientHeight(); cy += 7)
      for (int cx = 0; cx < window->MaxSize->GetClientWidth(); cx += 5) {
        const int vx = cx - left, vy = cy - top;
        if (vx < 0 || vy < 0 || vx >= w || vy >= h) continue;
        ASSERT_EQ(ui.Pixel(client.x + cx, client.y + cy), *expected.At(vx, vy) & 0xFFFFFF) << vx << "," << vy;
        ++checked;
      }
    EXPECT_GT(checked, 100);
    expected.Free();
  }
}

}  // namespace

namespace {

// The wheel scrolls the view by half its turn: sideways with Ctrl held, else up and down.
TEST_F(ZoomControlTest, TheWheelScrollsAndCtrlScrollsSideways) {
  TImageForm* window = NewDocument(300, 400);
  while (ZoomPosition() < 4) ClickZoom(btNext);
  TControlScrollBar* horz = window->MaxSize->GetHorzScrollBar();
  TControlScrollBar* vert = window->MaxSize->GetVertScrollBar();
  ASSERT_TRUE(horz->IsScrollBarVisible() && vert->IsScrollBarVisible());
  const int x0 = horz->GetPosition(), y0 = vert->GetPosition();
  const TPoint middle = window->MaxSize->ClientToScreen(TPoint(20, 20));

  ui.Wheel(middle.x, middle.y, -120);
  EXPECT_EQ(vert->GetPosition(), y0 + 60);
  EXPECT_EQ(horz->GetPosition(), x0);
  ui.KeyDown(VK_CONTROL);
  ui.Wheel(middle.x, middle.y, -120);
  ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(horz->GetPosition(), x0 + 60);
  EXPECT_EQ(vert->GetPosition(), y0 + 60);
}

}  // namespace
