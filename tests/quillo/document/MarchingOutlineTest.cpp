// The marching selection outline as a user sees it: made by the Edit menu's Invert Selection
// and Paste, shown on the view at zooms 1, 2 and 1/2 with exactly the pixels of the dash rule
// (worked out here from the view outline), one phase on every second activity tick; following the zoom
// control, the zoom keys, the activation of another document, undo and redo; and a tracing
// that runs out of memory leaving the program as it was.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "../files/DibBuilder.h"
#include "DocumentFixture.h"
#include "OutlineProbe.h"
#include "platform/rtl/GlobalMemory.h"
#include "platform/user/Clipboard.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/SelectionOutline.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/base/Language.h"
#include "quillo/document/Zoom.h"

namespace {

using namespace outline_probe;

constexpr std::uint32_t kPaper = 0x3366CC;  // neither dash colour

class MarchingOutlineTest : public DocumentTest {
protected:
  // A document filled with the paper colour, a rectangle of it selected as a selection tool
  // leaves it (mask, bounds, outline).
  TImageForm* PaperDocument(int width, int height) {
    TImageForm* window = NewDocument(width, height);
    UDBuffer& p = window->Picture;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) *p.At(x, y) = kPaper;
    window->ShowBuf->Invalidate();
    ui.RunUntilIdle();
    return window;
  }

  void SelectRect(UDBuffer& p, const Rect& r) {
    p.SetMaskRect(true, r);
    p.RebuildSelectionOutline();
  }

  void ZoomTo(int position) {
    while (ZoomPosition() != position) ClickZoom(ZoomPosition() < position ? btNext : btPrev);
    ui.RunUntilIdle();
  }

  // The part of the view the scroll box shows, on the screen: every pixel an outline run
  // covers shows the dash colour of the current phase, every other pixel the paper.
  void ExpectMarchingOutline(TImageForm* window) {
    const UDBuffer& p = window->Picture;
    ASSERT_NE(p.ViewOutline, nullptr);
    const std::set<std::pair<int, int>> covered = RunPixels(p.ViewOutline.get());
    const int phase = outline::Phase();
    const TPoint origin = window->ShowBuf->ClientToScreen(TPoint(0, 0));
    const int left = std::max(0, -window->ShowBuf->GetLeft()), top = std::max(0, -window->ShowBuf->GetTop());
    const int right = std::min(window->ShowBuf->GetWidth(), window->MaxSize->GetClientWidth() - window->ShowBuf->GetLeft());
    const int bottom = std::min(window->ShowBuf->GetHeight(), window->MaxSize->GetClientHeight() - window->ShowBuf->GetTop());
    ASSERT_GE(right - left, 100);
    ASSERT_GE(bottom - top, 80);
    int dashes = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        std::uint32_t want = kPaper;
        if (covered.count({x, y})) {
          want = outline::DashIsBlack(phase, x, y) ? 0x000000 : 0xFFFFFF;
          ++dashes;
        }
        ASSERT_EQ(ui.Pixel(origin.x + x, origin.y + y), want) << x << "," << y << " at phase " << phase;
      }
    EXPECT_GT(dashes, 20);
  }

  // The manual clock moved on in 50 ms steps, the activity timer's interval. Its timer list
  // ticks no faster than every 100 ms, and the outline moves on every second activity tick:
  // one phase every 200 ms.
  static constexpr int kPhaseMs = 200;
  void Wait(int ms) {
    for (int t = 0; t < ms; t += 50) ui.Advance(50);
  }

  // Six phases fill the dashes in after a full repaint; from then on each phase's time moves
  // them on by exactly one, never sooner, and the screen follows.
  void ExpectMarchingOverTime(TImageForm* window) {
    Wait(6 * kPhaseMs);
    ExpectMarchingOutline(window);
    for (int step = 0; step < 13; ++step) {
      const int before = outline::Phase();
      Wait(kPhaseMs / 2);
      const int half = outline::Phase();
      Wait(kPhaseMs / 2);
      ASSERT_EQ(outline::Phase(), (before + 1) % 12);
      ASSERT_TRUE(half == before || half == outline::Phase());
      if (step % 4 == 0) ExpectMarchingOutline(window);
      if (HasFailure()) return;
    }
  }

  void Choose(const char* item) { ChooseMenuItem("&Edit", item); }
};

// Inverting a rectangle leaves a selection with a hole: the image's edge and the hole's
// boundary march at every zoom.
TEST_F(MarchingOutlineTest, InvertSelectionMarchesAtZooms1And2AndAHalf) {
  TImageForm* window = PaperDocument(240, 180);
  UDBuffer& p = window->Picture;
  p.SetMaskRect(true, Rect(90, 70, 150, 110));
  p.UpdateSelectionBounds();
  Choose("&Invert Selection");
  ASSERT_NE(p.Outline, nullptr);
  EXPECT_EQ(ContoursOf(p.Outline.get()).size(), 2u) << "the image's edge and the hole";
  EXPECT_EQ(Enclosed(p.Outline.get(), 240, 180), MaskBits(p.Mask));
  EXPECT_TRUE(form->ActivityTimer->GetEnabled());
  for (int position : {1, 2, -2}) {
    SCOPED_TRACE(position);
    ZoomTo(position);
    EXPECT_EQ(BytesOf(p.ViewOutline.get()),
              BytesOf(outline::ScaleOutline(p.Outline.get(), static_cast<float>(ZoomFactorAt(position))).get()));
    ExpectMarchingOverTime(window);
    if (HasFailure()) return;
  }
  // The dashes are on the screen only: the picture is untouched.
  for (int y = 0; y < 180; ++y)
    for (int x = 0; x < 240; ++x) ASSERT_EQ(*p.At(x, y), kPaper) << x << "," << y;
}

// A paste selects the pasted picture's opaque pixels: their outline marches at zoom 2.
TEST_F(MarchingOutlineTest, APasteSelectsThePastedPixelsWithAMarchingOutline) {
  TImageForm* window = PaperDocument(160, 120);
  UDBuffer& p = window->Picture;
  std::vector<std::uint32_t> pixels(12 * 7, kPaper);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const std::vector<std::uint8_t> dib = Dib24(pixels, 12);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size());
  std::copy(dib.begin(), dib.end(), static_cast<std::uint8_t*>(GlobalLock(block)));
  GlobalUnlock(block);
  SetClipboardData(CF_DIB, block);
  CloseClipboard();
  SelectRect(p, Rect(70, 55, 74, 58));
  Choose("&Paste");
  EXPECT_EQ(BytesOf(p.Outline.get()), BytesOf(outline::TraceOutline(p.Mask, Rect(70, 55, 81, 61)).get()));
  const std::vector<Contour> contours = ContoursOf(p.Outline.get());
  ASSERT_EQ(contours.size(), 1u);
  EXPECT_EQ(contours[0].x, 70);
  EXPECT_EQ(contours[0].y, 55);
  ZoomTo(2);
  ExpectMarchingOverTime(window);
}

// Undo and redo give the mask back and its outline with it; the zoom keys rescale it.
TEST_F(MarchingOutlineTest, UndoRedoAndTheZoomKeysKeepTheOutlineWithTheMask) {
  TImageForm* window = PaperDocument(160, 120);
  UDBuffer& p = window->Picture;
  SelectRect(p, Rect(60, 45, 90, 70));
  const std::vector<std::uint8_t> before = BytesOf(p.Outline.get());
  Choose("&Invert Selection");
  const std::vector<std::uint8_t> inverted = BytesOf(p.Outline.get());
  ASSERT_NE(inverted, before);
  form->MenuItemNamed("Undo1")->Click();
  ui.RunUntilIdle();
  EXPECT_EQ(BytesOf(p.Outline.get()), before);
  form->MenuItemNamed("Redo1")->Click();
  ui.RunUntilIdle();
  EXPECT_EQ(BytesOf(p.Outline.get()), inverted);

  window->SetFocus();
  ui.Press(VK_ADD);
  ASSERT_EQ(ZoomPosition(), 2);
  EXPECT_EQ(BytesOf(p.ViewOutline.get()), BytesOf(outline::ScaleOutline(p.Outline.get(), 2.0f).get()));
  ExpectMarchingOverTime(window);

  // Cleared: no outline, nothing marches; undone: back at the view's zoom.
  Choose("C&lear Selection");
  EXPECT_EQ(p.Outline, nullptr);
  EXPECT_EQ(p.ViewOutline, nullptr);
  form->MenuItemNamed("Undo1")->Click();
  ui.RunUntilIdle();
  EXPECT_EQ(BytesOf(p.Outline.get()), inverted);
  EXPECT_EQ(BytesOf(p.ViewOutline.get()), BytesOf(outline::ScaleOutline(p.Outline.get(), 2.0f).get()));
}

// Each document keeps its zoom; coming back to one shows its outline at its own zoom again.
TEST_F(MarchingOutlineTest, ActivatingADocumentScalesItsOutlineToItsZoom) {
  TImageForm* first = PaperDocument(240, 180);
  SelectRect(first->Picture, Rect(100, 80, 130, 95));
  ZoomTo(3);
  TImageForm* second = PaperDocument(40, 30);
  ZoomTo(1);
  EXPECT_EQ(ImageForm, second);
  MakeDocumentActive(first->ListIndex);
  ui.RunUntilIdle();
  ASSERT_EQ(ImageForm, first);
  EXPECT_EQ(ZoomPosition(), 3);
  EXPECT_EQ(BytesOf(first->Picture.ViewOutline.get()),
            BytesOf(outline::ScaleOutline(first->Picture.Outline.get(), 3.0f).get()));
  EXPECT_TRUE(form->ActivityTimer->GetEnabled());
  ExpectMarchingOverTime(first);
}

// No memory for the tracer's work mask: "NoMem", nothing selected, and the activity timer and
// the pointer as they were, so the program goes on; the undo step gives the selection back.
TEST_F(MarchingOutlineTest, ATracingWithoutMemoryLeavesTheTimerRunningAndThePointerAlone) {
  TImageForm* window = PaperDocument(160, 120);
  UDBuffer& p = window->Picture;
  SelectRect(p, Rect(60, 45, 90, 70));
  const std::vector<bool> mask = MaskBits(p.Mask);
  const TCursor pointer = Screen()->GetCursor();
  {
    const outline::MemoryBudget saved = outline::Budget();
    outline::Budget().workMaskBytes = 0;
    Choose("&Invert Selection");
    outline::Budget() = saved;
  }
  EXPECT_EQ(ui.MessageBoxTexts(), std::vector<std::string>{LangMessage("NoMem").c_str()});
  EXPECT_TRUE(form->ActivityTimer->GetEnabled());
  EXPECT_EQ(Screen()->GetCursor(), pointer);
  EXPECT_EQ(p.Outline, nullptr);
  EXPECT_EQ(MaskBits(p.Mask), std::vector<bool>(mask.size(), false)) << "no selection works unseen";
  EXPECT_FALSE(p.HasSelectionBounds());

  form->MenuItemNamed("Undo1")->Click();
  ui.RunUntilIdle();
  EXPECT_EQ(MaskBits(p.Mask), mask);
  EXPECT_NE(p.Outline, nullptr);
  ExpectMarchingOverTime(window);
}

}  // namespace
