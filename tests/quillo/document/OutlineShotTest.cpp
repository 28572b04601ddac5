// The marching outline as a user sees it at zoom 2: a picture with an elliptical selection
// whose outline marches over it, checked where a user would look and shown to a viewer by
// scripts/screenshot-outline.sh.

#include <cmath>

#include "DocumentFixture.h"
#include "OutlineProbe.h"
#include "platform/user/Desktop.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/SelectionOutline.h"
#include "quillo/document/UDBuffer.h"

namespace {

class OutlineShot : public DocumentTest {};

TEST_F(OutlineShot, AnEllipseMarchesAtZoom2) {
  TImageForm* window = NewDocument(220, 160);
  UDBuffer& p = window->Picture;
  for (int y = 0; y < 160; ++y)
    for (int x = 0; x < 220; ++x)
      *p.At(x, y) = static_cast<uint>(40 + x / 2) << 16 | static_cast<uint>(90 + y / 2) << 8 | 170u;
  // An ellipse round the middle with a round hole in it.
  for (int y = 0; y < 160; ++y)
    for (int x = 0; x < 220; ++x) {
      const double ex = (x - 110) / 60.0, ey = (y - 80) / 40.0;
      const double hole = std::hypot(x - 125, y - 80);
      if (ex * ex + ey * ey <= 1.0 && hole > 12) p.SetMaskPixel(x, y, true);
    }
  p.RebuildSelectionOutline();
  while (ZoomPosition() != 2) ClickZoom(btNext);
  // Large enough to show all of it.
  window->SetBounds(window->GetLeft(), window->GetTop(), 560, 420);
  ui.RunUntilIdle();
  for (int t = 0; t < 1200; t += 50) ui.Advance(50);
  ASSERT_NE(p.ViewOutline, nullptr);
  // The dashes are on the screen where the outline runs, black and white by the rule.
  int black = 0, white = 0;
  const TPoint origin = window->ShowBuf->ClientToScreen(TPoint(0, 0));
  for (auto [x, y] : outline_probe::RunPixels(p.ViewOutline.get())) {
    const TPoint at(origin.x + x, origin.y + y);
    const TPoint box = window->MaxSize->ScreenToClient(at);
    if (box.x < 0 || box.y < 0 || box.x >= window->MaxSize->GetClientWidth() || box.y >= window->MaxSize->GetClientHeight())
      continue;
    const std::uint32_t shown = ui.Pixel(at.x, at.y);
    ASSERT_EQ(shown, outline::DashIsBlack(outline::Phase(), x, y) ? 0x000000u : 0xFFFFFFu) << x << "," << y;
    ++(shown == 0 ? black : white);
  }
  EXPECT_GT(black, 100);
  EXPECT_GT(white, 100);
  FlushDesktop();
  ui.ShowToViewer(UiDriver::Hold::Live);
}

}  // namespace
