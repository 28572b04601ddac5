#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

#include "platform/gdi/Display.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Canvas.h"
#include "support/Canvas.h"

namespace {

// A canvas drawing on a test surface (pixels 0x00RRGGBB).
struct Surface {
  explicit Surface(int width = 16, int height = 16, std::uint32_t fill = 0xFFFFFF) : pixels(width, height, fill) {
    canvas.SetHandle(pixels.dc());
  }
  ::Canvas pixels;
  TCanvas canvas;
};

struct PenModeCase {
  TPenMode mode;
  std::uint32_t expected;  // pen 0x00F0F0 (as a pixel) over 0x0FF00F
};

TEST(Canvas, PenModesCombineThePenWithThePixels) {
  const std::uint32_t under = 0x0FF00F, pen = 0x00F0F0;
  const PenModeCase cases[] = {
      {pmCopy, pen},
      {pmNotCopy, ~pen & 0xFFFFFF},
      {pmXor, pen ^ under},
      {pmNotXor, ~(pen ^ under) & 0xFFFFFF},
      {pmNot, ~under & 0xFFFFFF},
      {pmMerge, pen | under},
      {pmMask, pen & under},
      {pmNotMask, ~(pen & under) & 0xFFFFFF},
      {pmNotMerge, ~(pen | under) & 0xFFFFFF},
      {pmMergePenNot, (pen | ~under) & 0xFFFFFF},
      {pmMaskPenNot, pen & ~under & 0xFFFFFF},
      {pmMergeNotPen, (~pen | under) & 0xFFFFFF},
      {pmMaskNotPen, ~pen & under},
      {pmBlack, 0},
      {pmWhite, 0xFFFFFF},
      {pmNop, under},
  };
  for (const PenModeCase& c : cases) {
    Surface s(8, 8, under);
    s.canvas.GetPen()->SetColor(static_cast<TColor>(ColorFromPixel(pen)));
    s.canvas.GetPen()->SetMode(c.mode);
    s.canvas.MoveTo(0, 3);
    s.canvas.LineTo(8, 3);
    EXPECT_EQ(s.pixels.at(5, 3), c.expected) << "mode " << c.mode;
    EXPECT_EQ(s.pixels.at(5, 4), under) << "mode " << c.mode;
  }
}

TEST(Canvas, NotXorOutlineDrawnTwiceLeavesNoTrace) {
  // Drag outlines are drawn and taken away by drawing them again.
  Surface s(20, 20, 0x336699);
  s.pixels.at(7, 5) = 0x123456;
  s.canvas.GetPen()->SetMode(pmNotXor);
  s.canvas.GetBrush()->SetStyle(bsClear);
  s.canvas.Rectangle(2, 2, 15, 15);
  EXPECT_NE(s.pixels.at(2, 2), 0x336699u);
  EXPECT_EQ(s.pixels.at(8, 8), 0x336699u);  // a clear brush leaves the inside
  s.canvas.Rectangle(2, 2, 15, 15);
  EXPECT_EQ(s.pixels.CountNot(0x336699), 1);
  EXPECT_EQ(s.pixels.at(7, 5), 0x123456u);
}

TEST(Canvas, ToolChangesTakeEffectAtTheNextCall) {
  Surface s;
  s.canvas.GetBrush()->SetColor(clRed);
  s.canvas.FillRect(TRect(0, 0, 4, 4));
  s.canvas.GetBrush()->SetColor(clBlue);
  s.canvas.FillRect(TRect(4, 0, 8, 4));
  s.canvas.GetPen()->SetColor(clLime);
  s.canvas.GetPen()->SetWidth(3);
  s.canvas.MoveTo(0, 10);
  s.canvas.LineTo(16, 10);
  EXPECT_EQ(s.pixels.at(1, 1), 0xFF0000u);
  EXPECT_EQ(s.pixels.at(5, 1), 0x0000FFu);
  EXPECT_EQ(s.pixels.at(5, 9), 0x00FF00u);
  EXPECT_EQ(s.pixels.at(5, 11), 0x00FF00u);
  EXPECT_EQ(s.pixels.at(5, 12), 0xFFFFFFu);
}

// GDI calls on the handle draw with the canvas's tools, even right after a tool changed.
TEST(Canvas, TheHandleHasTheCanvasToolsSelected) {
  Surface s(64, 32);
  struct Case {
    int points;
    TColor brush;
    std::uint32_t pixel;
  };
  const Case cases[] = {{8, clRed, 0xFF0000}, {20, clBlue, 0x0000FF}, {8, clLime, 0x00FF00}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.points);
    s.canvas.GetFont()->SetSize(c.points);
    s.canvas.GetBrush()->SetColor(c.brush);
    HDC dc = s.canvas.GetHandle();
    SIZE size{};
    GetTextExtentPoint32(dc, "Name", 4, &size);
    EXPECT_EQ(size.cx, s.canvas.TextWidth("Name"));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), s.canvas.GetFont()->GetHandle());
    RECT r{0, 0, 8, 8};
    FillRect(dc, &r, static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));
    EXPECT_EQ(s.pixels.at(2, 2), c.pixel);
  }
}

TEST(Canvas, SystemColoursAreLookedUpWhenDrawn) {
  ResetDisplaySettings();
  Surface s;
  s.canvas.GetBrush()->SetColor(clBtnFace);
  s.canvas.FillRect(TRect(0, 0, 16, 16));
  EXPECT_EQ(s.pixels.at(3, 3), PixelFromColor(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(s.canvas.GetPixel(3, 3), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
}

TEST(Canvas, BrushStyles) {
  Surface s(16, 16, 0x000000);
  s.canvas.GetPen()->SetStyle(psClear);
  s.canvas.GetBrush()->SetColor(clWhite);
  s.canvas.GetBrush()->SetStyle(bsHorizontal);
  s.canvas.Rectangle(0, 0, 17, 17);
  // Hatch lines in the brush colour; the gaps keep what was there.
  int lit = s.pixels.CountNot(0x000000);
  EXPECT_GT(lit, 0);
  EXPECT_LT(lit, 16 * 16);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(s.pixels.at(x, 0), s.pixels.at(0, 0));
  // A colour given to a clear brush makes it solid again.
  s.canvas.GetBrush()->SetStyle(bsClear);
  s.canvas.GetBrush()->SetColor(clRed);
  EXPECT_EQ(s.canvas.GetBrush()->GetStyle(), bsSolid);
  s.canvas.FillRect(TRect(0, 0, 16, 16));
  EXPECT_EQ(s.pixels.CountNot(0xFF0000), 0);
}

TEST(Canvas, ShapesUseThePenAndTheBrush) {
  Surface s(24, 24);
  s.canvas.GetPen()->SetColor(clBlack);
  s.canvas.GetBrush()->SetColor(clYellow);
  s.canvas.Rectangle(2, 2, 12, 12);
  EXPECT_EQ(s.pixels.at(2, 2), 0x000000u);
  EXPECT_EQ(s.pixels.at(11, 11), 0x000000u);
  EXPECT_EQ(s.pixels.at(6, 6), 0xFFFF00u);
  EXPECT_EQ(s.pixels.at(12, 12), 0xFFFFFFu);
  s.canvas.Ellipse(TRect(12, 12, 24, 24));
  EXPECT_EQ(s.pixels.at(18, 18), 0xFFFF00u);
  EXPECT_EQ(s.pixels.at(12, 12), 0xFFFFFFu);  // the corner lies outside the ellipse
  const std::array<TPoint, 3> triangle{Point(14, 1), Point(22, 1), Point(14, 9)};
  s.canvas.Polygon(triangle);
  EXPECT_EQ(s.pixels.at(16, 3), 0xFFFF00u);
  s.canvas.GetBrush()->SetColor(clBlue);
  s.canvas.FrameRect(TRect(0, 14, 10, 24));
  EXPECT_EQ(s.pixels.at(0, 20), 0x0000FFu);
  EXPECT_EQ(s.pixels.at(5, 20), 0xFFFFFFu);
}

TEST(Canvas, PixelsAndPenPosition) {
  Surface s;
  s.canvas.SetPixel(3, 4, clRed);
  EXPECT_EQ(s.pixels.at(3, 4), 0xFF0000u);
  EXPECT_EQ(s.canvas.GetPixel(3, 4), clRed);
  EXPECT_EQ(s.canvas.GetPixel(40, 40), static_cast<TColor>(CLR_INVALID));
  s.canvas.SetPenPos(Point(5, 6));
  EXPECT_EQ(s.canvas.GetPenPos(), Point(5, 6));
  s.canvas.LineTo(9, 6);
  EXPECT_EQ(s.canvas.GetPenPos(), Point(9, 6));
  EXPECT_EQ(s.canvas.GetClipRect(), TRect(0, 0, 16, 16));
}

TEST(Canvas, TextOutUsesTheFontColourAndMovesThePen) {
  Surface s(120, 30);
  s.canvas.GetFont()->SetColor(clRed);
  s.canvas.GetBrush()->SetStyle(bsClear);
  s.canvas.TextOut(2, 2, "Wx");
  int width = s.canvas.TextWidth("Wx");
  EXPECT_GT(width, 4);
  EXPECT_EQ(s.canvas.GetPenPos(), Point(2 + width, 2));
  RECT ink = s.pixels.InkBox(0xFFFFFF);
  EXPECT_GE(ink.left, 2);
  EXPECT_LE(ink.right, 2 + width + 1);
  bool red = false;
  for (int y = ink.top; y < ink.bottom; ++y)
    for (int x = ink.left; x < ink.right; ++x) red |= s.pixels.at(x, y) == 0xFF0000;
  EXPECT_TRUE(red);
  // A larger font measures wider: the canvas selected the new font.
  s.canvas.GetFont()->SetSize(20);
  EXPECT_GT(s.canvas.TextWidth("Wx"), width);
  EXPECT_GT(s.canvas.TextHeight("Wx"), 20);
}

TEST(Canvas, TextRectClipsAndFillsWithTheBrush) {
  Surface s(80, 30, 0x000000);
  s.canvas.GetFont()->SetColor(clBlack);
  s.canvas.GetBrush()->SetColor(clWhite);
  s.canvas.TextRect(TRect(10, 5, 30, 25), 12, 6, "WWWWWWWWWWWW");
  // The rectangle is painted with the brush; nothing lands outside it.
  EXPECT_EQ(s.pixels.InkBox(0x000000), TRect(10, 5, 30, 25));
  EXPECT_EQ(s.pixels.at(10, 24), 0xFFFFFFu);
  // With a clear brush only the glyphs are drawn.
  Surface t(80, 30, 0x000000);
  t.canvas.GetFont()->SetColor(clWhite);
  t.canvas.GetBrush()->SetStyle(bsClear);
  t.canvas.TextRect(TRect(10, 5, 30, 25), 12, 6, "WWWWWWWWWWWW");
  RECT ink = t.pixels.InkBox(0x000000);
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 30);
  EXPECT_LT(t.pixels.CountNot(0x000000), 20 * 20);
}

TEST(Canvas, CopyRectStretchesThroughTheCopyMode) {
  Surface from(4, 4, 0x00FF00), to(8, 8, 0xFF00FF);
  from.pixels.at(0, 0) = 0x0000FF;
  to.canvas.CopyRect(TRect(0, 0, 8, 8), &from.canvas, TRect(0, 0, 4, 4));
  EXPECT_EQ(to.pixels.at(1, 1), 0x0000FFu);  // one source pixel became 2 x 2
  EXPECT_EQ(to.pixels.at(2, 2), 0x00FF00u);
  to.canvas.SetCopyMode(cmSrcInvert);
  to.canvas.CopyRect(TRect(0, 0, 4, 4), &from.canvas, TRect(0, 0, 4, 4));
  EXPECT_EQ(to.pixels.at(3, 3), 0u);
  EXPECT_EQ(to.pixels.at(5, 5), 0x00FF00u);
}

// A canvas that makes its context only when first asked, as bitmap and control canvases do.
class OnDemandCanvas : public TCanvas {
public:
  explicit OnDemandCanvas(HDC dc) : dc_(dc) {}
  int created = 0;

protected:
  void CreateHandle() override {
    ++created;
    SetHandle(dc_);
  }

private:
  HDC dc_;
};

TEST(Canvas, HandleIsMadeOnDemandOrRefused) {
  TCanvas none;
  EXPECT_FALSE(none.HandleAllocated());
  EXPECT_THROW(none.FillRect(TRect(0, 0, 1, 1)), EInvalidOperation);
  EXPECT_THROW(none.GetHandle(), EInvalidOperation);

  ::Canvas pixels(4, 4);
  OnDemandCanvas lazy(pixels.dc());
  EXPECT_EQ(lazy.created, 0);
  lazy.GetBrush()->SetColor(clRed);
  lazy.FillRect(TRect(0, 0, 4, 4));
  lazy.SetPixel(0, 0, clBlue);
  EXPECT_EQ(lazy.created, 1);
  EXPECT_EQ(pixels.at(0, 0), 0x0000FFu);
  EXPECT_EQ(pixels.at(3, 3), 0xFF0000u);
}

TEST(Canvas, ReleasedContextGetsTheStockObjectsBack) {
  ::Canvas pixels(4, 4);
  HGDIOBJ pen = GetCurrentObject(pixels.dc(), OBJ_PEN);
  {
    TCanvas canvas;
    canvas.SetHandle(pixels.dc());
    canvas.GetPen()->SetColor(clRed);
    canvas.Rectangle(0, 0, 4, 4);
    EXPECT_NE(GetCurrentObject(pixels.dc(), OBJ_PEN), pen);
  }
  // The canvas's pen is gone and the context no longer holds it.
  EXPECT_EQ(GetCurrentObject(pixels.dc(), OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(pixels.dc(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
}

TEST(Canvas, ChangeEventsSurroundEachDrawingCall) {
  Surface s;
  std::vector<std::string> log;
  s.canvas.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &s.canvas);
    log.push_back("changing " + std::to_string(s.pixels.at(1, 1)));
  };
  s.canvas.OnChange = [&](TObject*) { log.push_back("change " + std::to_string(s.pixels.at(1, 1))); };
  s.canvas.GetBrush()->SetColor(clBlack);
  s.canvas.FillRect(TRect(0, 0, 4, 4));
  s.canvas.TextWidth("x");  // measuring changes nothing
  EXPECT_EQ(log, (std::vector<std::string>{"changing " + std::to_string(0xFFFFFF), "change 0"}));
}

// A graphic that records where it was asked to draw.
class RecordingGraphic : public TGraphic {
public:
  bool Empty() const override { return width == 0; }
  int GetWidth() const override { return width; }
  void SetWidth(int w) override { width = w; }
  int GetHeight() const override { return height; }
  void SetHeight(int h) override { height = h; }
  void LoadFromStream(TStream*) override {}
  void SaveToStream(TStream*) override {}
  int width = 5, height = 3;
  std::vector<TRect> drawn;
  COLORREF text = 0, back = 0;

protected:
  void Draw(TCanvas* canvas, const TRect& rect) override {
    drawn.push_back(rect);
    text = GetTextColor(canvas->GetHandle());
    back = GetBkColor(canvas->GetHandle());
  }
};

TEST(Canvas, DrawAndStretchDrawGiveTheGraphicItsRectangle) {
  Surface s;
  RecordingGraphic g;
  s.canvas.GetFont()->SetColor(clRed);
  s.canvas.GetBrush()->SetColor(clBlue);
  s.canvas.Draw(2, 3, &g);
  s.canvas.StretchDraw(TRect(1, 1, 9, 9), &g);
  s.canvas.Draw(0, 0, nullptr);
  g.width = 0;
  s.canvas.Draw(0, 0, &g);
  EXPECT_EQ(g.drawn, (std::vector<TRect>{TRect(2, 3, 7, 6), TRect(1, 1, 9, 9)}));
  EXPECT_EQ(g.text, ColorToRGB(clRed));
  EXPECT_EQ(g.back, ColorToRGB(clBlue));
  // Text drawn afterwards still has the font's colour and the brush's background.
  s.canvas.GetFont()->SetColor(clLime);
  s.canvas.GetBrush()->SetColor(clYellow);
  s.canvas.TextWidth("x");
  s.canvas.FillRect(TRect(0, 0, 1, 1));
  EXPECT_EQ(GetTextColor(s.canvas.GetHandle()), ColorToRGB(clLime));
  EXPECT_EQ(GetBkColor(s.canvas.GetHandle()), ColorToRGB(clYellow));
}

TEST(Canvas, LockSerialisesThreads) {
  Surface s(64, 1, 0);
  int inside = 0, overlaps = 0;
  auto work = [&](TColor colour) {
    for (int i = 0; i < 200; ++i) {
      s.canvas.Lock();
      if (++inside > 1) ++overlaps;
      s.canvas.SetPixel(i % 64, 0, colour);
      --inside;
      s.canvas.Unlock();
    }
  };
  std::thread a(work, clRed), b(work, clBlue);
  a.join();
  b.join();
  EXPECT_EQ(overlaps, 0);
  EXPECT_EQ(s.canvas.LockCount(), 0);
  s.canvas.Lock();
  EXPECT_EQ(s.canvas.LockCount(), 1);
  bool other = true;
  std::thread c([&] { other = s.canvas.TryLock(); });
  c.join();
  EXPECT_FALSE(other);
  s.canvas.Unlock();
  EXPECT_TRUE(s.canvas.TryLock());
  s.canvas.Unlock();
}

}  // namespace
