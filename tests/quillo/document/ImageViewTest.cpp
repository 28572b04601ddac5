// The image view on a form of the headless desktop: the pixels it shows at every zoom of the
// zoom control (checked against the library's own scaling), the checkerboard under
// transparency, repainting only what was invalid, and its look without an image.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "quillo/components/ComponentFixture.h"

#include "platform/user/Desktop.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/document/ImageView.h"

namespace {

// Image pixels that name their own place: (y << 12) | x, opaque.
std::uint32_t Coord(int x, int y) { return (static_cast<std::uint32_t>(y) << 12) | static_cast<std::uint32_t>(x); }

void FillWithCoordinates(Buffer& image, int width, int height) {
  image.Alloc(Pair<int>(width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *image.At(x, y) = Coord(x, y);
}

struct Zoom {
  int n, d;
};
// The zoom control's presets: whole factors and the reductions.
std::vector<Zoom> ZoomTable() {
  std::vector<Zoom> zooms;
  for (int n = 1; n <= 32; ++n) zooms.push_back({n, 1});
  for (Zoom z : {Zoom{3, 4}, Zoom{2, 3}, Zoom{1, 2}, Zoom{1, 3}, Zoom{1, 4}, Zoom{1, 5}, Zoom{1, 6}, Zoom{1, 8},
                 Zoom{1, 10}})
    zooms.push_back(z);
  return zooms;
}

constexpr std::uint32_t kMark = 0xFF00FF;  // put on the screen on purpose, to see what is repainted
constexpr std::uint32_t kLight = 0xFFFFFF, kDark = 0xC0C0C0;

std::uint32_t Checker(int x, int y) { return ((x ^ y) & 8) ? kDark : kLight; }

class ImageViewTest : public ComponentTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetBounds(20, 20, 400, 320);
    view = NewComponent<TBuffer>(form);
    view->SetBounds(0, 0, 320, 240);
    view->SetParent(form);
    view->SetColor(clNavy);
    form->Show();
    ui.RunUntilIdle();
  }
  void TearDown() override {
    TBuffer::StretchPatch = 0;
    TBuffer::GlobalICM = 0;
    TBuffer::GlobalGammaCorr = 0;
  }
  std::uint32_t At(int x, int y) {
    if (!placed) origin = view->ClientToScreen(TPoint(0, 0));
    placed = true;
    return ui.Pixel(origin.x + x, origin.y + y);
  }
  void Show(Buffer* image, int n, int d) {
    view->SetBuffer(image);
    view->SetZoom(PackZoom(n, d));
    view->Invalidate();
    ui.RunUntilIdle();
  }
  // Paints the whole client area in the mark colour straight on the window.
  void MarkAll() {
    HDC dc = GetDC(view->GetHandle());
    HBRUSH brush = CreateSolidBrush(RGB(0xFF, 0x00, 0xFF));
    RECT all{0, 0, view->GetWidth(), view->GetHeight()};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(view->GetHandle(), dc);
  }
  void InvalidateAndRun(const RECT& r) {
    InvalidateRect(view->GetHandle(), &r, FALSE);
    ui.RunUntilIdle();
  }
  std::uint32_t Navy() const { return PixelFromColor(ColorToRGB(clNavy)); }

  TForm* form = nullptr;
  TBuffer* view = nullptr;
  TPoint origin;
  bool placed = false;  // the form stays where it is: its place is asked once
};

// How each way of painting is chosen: the library scales (StretchPatch), the checkerboard
// path (Alpha), or GDI stretches the image's own pixels.
enum class Path { Scaled, Alpha, Stretched };

TEST_F(ImageViewTest, ShowsTheLibrarysScalingAtEveryZoomOfTheTable) {
  Buffer image;
  FillWithCoordinates(image, 120, 90);
  for (Path path : {Path::Scaled, Path::Alpha, Path::Stretched}) {
    TBuffer::StretchPatch = path == Path::Scaled;
    view->SetAlpha(path == Path::Alpha);
    for (Zoom z : ZoomTable()) {
      Show(&image, z.n, z.d);
      const int shownW = image.Width() * z.n / z.d, shownH = image.Height() * z.n / z.d;
      Buffer want;
      want.Alloc(Pair<int>(view->GetWidth(), view->GetHeight()));
      want.Scale(image, Pair<int>(shownW, shownH), Pair<int>(0, 0), Buffer::kPlain, 0);
      int wrong = 0;
      for (int y = 0; y < view->GetHeight(); ++y)
        for (int x = 0; x < view->GetWidth(); ++x) {
          const std::uint32_t got = At(x, y);
          if (x >= shownW || y >= shownH) {
            wrong += got != Navy();  // beyond the image: the control's colour
            continue;
          }
          if (path != Path::Stretched || z.d == 1) {
            wrong += got != *want.At(x, y);
            continue;
          }
          // GDI samples a reduction within each cell of d x d image pixels, not at its
          // centre as the library does: the pixel shown must come from its own cell.
          const int sx = got & 0xFFF, sy = got >> 12;
          wrong += sx / z.d != x / z.n || sy / z.d != y / z.n;
        }
      EXPECT_EQ(wrong, 0) << "path " << int(path) << " zoom " << z.n << "/" << z.d;
    }
  }
}

TEST_F(ImageViewTest, PartialCellsAtTheImagesEdgeShowNoPixelFromBeyondIt) {
  // 10 x 7 pixels leave part of a cell at the right and bottom for every reduction.
  Buffer image;
  FillWithCoordinates(image, 10, 7);
  for (Zoom z : {Zoom{3, 4}, Zoom{2, 3}, Zoom{1, 3}, Zoom{5, 1}}) {
    Show(&image, z.n, z.d);
    const int shownW = 10 * z.n / z.d, shownH = 7 * z.n / z.d;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x) {
        const std::uint32_t got = At(x, y);
        if (x >= shownW || y >= shownH) {
          ASSERT_EQ(got, Navy()) << x << "," << y << " zoom " << z.n << "/" << z.d;
          continue;
        }
        const int sx = got & 0xFFF, sy = got >> 12;
        ASSERT_TRUE(sx < 10 && sy < 7 && sx / z.d == x / z.n && sy / z.d == y / z.n)
            << x << "," << y << " shows " << sx << "," << sy << " zoom " << z.n << "/" << z.d;
      }
  }
}

TEST_F(ImageViewTest, TransparentPixelsShowACheckerboardFixedToTheWindow) {
  Buffer image;
  image.Alloc(Pair<int>(100, 60));
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) *image.At(x, y) = 0xFF000000u;  // fully transparent
  *image.At(10, 10) = 0x00FF0000u;                                 // one opaque red pixel
  view->SetAlpha(true);
  for (int n : {1, 2}) {
    auto want = [&](int x, int y) { return x / n == 10 && y / n == 10 ? 0xFF0000u : Checker(x, y); };
    Show(&image, n, 1);
    for (int y = 0; y < 60 * n; ++y)
      for (int x = 0; x < 100 * n; ++x) ASSERT_EQ(At(x, y), want(x, y)) << x << "," << y << " zoom " << n;
    // A rectangle repainted alone at an odd place continues the same pattern.
    MarkAll();
    InvalidateAndRun(RECT{13, 7, 29, 23});
    for (int y = 7; y < 23; ++y)
      for (int x = 13; x < 29; ++x) ASSERT_EQ(At(x, y), want(x, y)) << x << "," << y;
    EXPECT_EQ(At(12, 7), kMark);
  }
}

// A large picture at a high zoom: the view is far larger than the window it shows through,
// and a paint of the whole view draws what shows, not the whole zoomed picture.
TEST_F(ImageViewTest, AWholeRepaintOfALargePictureAtSevenTimesPaintsWhatShows) {
  Buffer image;
  FillWithCoordinates(image, 4000, 3000);
  constexpr int kZoom = 7;
  const POINT scrolled{-kZoom * 2000, -kZoom * 1500};
  view->SetAlpha(true);
  view->SetBounds(scrolled.x, scrolled.y, 4000 * kZoom, 3000 * kZoom);
  ui.RunUntilIdle();
  MarkAll();
  Show(&image, kZoom, 1);
  const int shownWidth = form->GetClientWidth(), shownHeight = form->GetClientHeight();
  for (int y = 0; y < shownHeight; y += 3)
    for (int x = 0; x < shownWidth; x += 5) {
      const int vx = x - scrolled.x, vy = y - scrolled.y;
      ASSERT_EQ(At(vx, vy), Coord(vx / kZoom, vy / kZoom)) << vx << "," << vy;
    }
}

TEST_F(ImageViewTest, RepaintsOnlyTheInvalidRectangles) {
  Buffer image;
  FillWithCoordinates(image, 160, 120);
  for (bool patch : {false, true}) {
    TBuffer::StretchPatch = patch;
    Show(&image, 2, 1);
    MarkAll();
    InvalidateAndRun(RECT{10, 10, 30, 20});
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        const bool inside = x >= 10 && x < 30 && y >= 10 && y < 20;
        ASSERT_EQ(At(x, y), inside ? Coord(x / 2, y / 2) : kMark) << x << "," << y;
      }
    // Eleven rectangles at once: each gets the image, the gaps between them keep the mark.
    MarkAll();
    for (int i = 0; i < 11; ++i) {
      const RECT small{i * 20, i * 15, i * 20 + 6, i * 15 + 5};
      InvalidateRect(view->GetHandle(), &small, FALSE);
    }
    ui.RunUntilIdle();
    for (int i = 0; i < 11; ++i) {
      EXPECT_EQ(At(i * 20 + 5, i * 15 + 4), Coord((i * 20 + 5) / 2, (i * 15 + 4) / 2)) << i;
      EXPECT_EQ(At(i * 20 + 6, i * 15 + 4), kMark) << i;
      EXPECT_EQ(At(i * 20 + 10, i * 15 + 10), kMark) << i;
    }
  }
}

TEST_F(ImageViewTest, ARectangleInsideCellsPaintsThoseCellsOnly) {
  // At zoom 3 the device rectangle (4, 4)-(8, 8) lies in the cells 1 and 2 of each axis.
  Buffer image;
  FillWithCoordinates(image, 40, 40);
  Show(&image, 3, 1);
  MarkAll();
  InvalidateAndRun(RECT{4, 4, 8, 8});
  EXPECT_EQ(At(4, 4), Coord(1, 1));
  EXPECT_EQ(At(5, 7), Coord(1, 2));
  EXPECT_EQ(At(6, 5), Coord(2, 1));
  EXPECT_EQ(At(7, 7), Coord(2, 2));
  // The cells' other device pixels lie outside the invalid part and keep what was there.
  EXPECT_EQ(At(3, 3), kMark);
  EXPECT_EQ(At(8, 8), kMark);
}

TEST_F(ImageViewTest, WithRefreshOffNothingIsPaintedAndTheWindowBecomesValid) {
  Buffer image;
  FillWithCoordinates(image, 40, 40);
  Show(&image, 1, 1);
  view->SetRefresh(false);
  MarkAll();
  InvalidateAndRun(RECT{0, 0, 40, 40});
  EXPECT_EQ(At(5, 5), kMark);
  RECT r{};
  EXPECT_FALSE(GetUpdateRect(view->GetHandle(), &r, FALSE));
  view->SetRefresh(true);
  InvalidateAndRun(RECT{0, 0, 40, 40});
  EXPECT_EQ(At(5, 5), Coord(5, 5));
}

TEST_F(ImageViewTest, WithoutAnImageTheViewIsBlackWithAWhiteFrameAndCross) {
  view->SetBounds(0, 0, 100, 100);
  int painted = 0;
  view->OnPaint = [&](TObject* sender) { painted += sender == view; };
  Buffer noPixels;  // an image without pixels looks the same as none
  for (Buffer* shown : {static_cast<Buffer*>(nullptr), &noPixels}) {
    view->SetBuffer(shown);
    view->Invalidate();
    ui.RunUntilIdle();
    for (POINT white : {POINT{0, 0}, POINT{50, 0}, POINT{99, 50}, POINT{50, 99}, POINT{0, 50}, POINT{99, 99},
                        POINT{40, 40}, POINT{60, 39}})
      EXPECT_EQ(At(white.x, white.y), 0xFFFFFFu) << white.x << "," << white.y;
    for (POINT black : {POINT{20, 50}, POINT{50, 20}, POINT{80, 50}, POINT{50, 80}})
      EXPECT_EQ(At(black.x, black.y), 0u) << black.x << "," << black.y;
    view->SetBuffer(nullptr);
  }
  EXPECT_GE(painted, 2);
}

TEST_F(ImageViewTest, OnPaintDrawsOverTheImageOnTheSameContext) {
  Buffer image;
  FillWithCoordinates(image, 100, 100);
  view->OnPaint = [&](TObject*) {
    TCanvas* canvas = view->GetCanvas();
    canvas->GetPen()->SetColor(clRed);
    canvas->MoveTo(0, 5);
    canvas->LineTo(50, 5);
  };
  Show(&image, 2, 1);
  EXPECT_EQ(At(10, 5), 0xFF0000u);
  EXPECT_EQ(At(10, 6), Coord(5, 3));
  // A repaint of a part only: the feedback is drawn again over the fresh pixels.
  MarkAll();
  InvalidateAndRun(RECT{0, 0, 20, 20});
  EXPECT_EQ(At(10, 5), 0xFF0000u);
  EXPECT_EQ(At(10, 6), Coord(5, 3));
  EXPECT_EQ(At(30, 5), kMark);
}

TEST_F(ImageViewTest, SetZoomStoresTheReducedFractionAndInvalidatesOnlyOnAChange) {
  struct Case {
    int set, stored;
  } cases[] = {
      {2 | 4 << 16, 1 | 2 << 16}, {3 | 3 << 16, 1}, {5, 5}, {6 | 4 << 16, 3 | 2 << 16}, {0 | 4 << 16, 0},
      {2 | 1 << 16, 2},  // a denominator of 1 is stored as 0
  };
  for (const Case& c : cases) {
    view->SetZoom(c.set);
    EXPECT_EQ(view->GetZoom(), c.stored) << std::hex << c.set;
  }
  Buffer image;
  FillWithCoordinates(image, 20, 20);
  Show(&image, 2, 1);
  RECT r{};
  EXPECT_FALSE(GetUpdateRect(view->GetHandle(), &r, FALSE));
  view->SetZoom(4 | 2 << 16);  // the same zoom, written another way
  EXPECT_FALSE(GetUpdateRect(view->GetHandle(), &r, FALSE));
  view->SetZoom(3);
  EXPECT_TRUE(GetUpdateRect(view->GetHandle(), &r, FALSE));
  // The published property is the same value.
  EXPECT_EQ(GetOrdProp(view, "Zoom"), 3);
}

TEST_F(ImageViewTest, ANegativeDenominatorEndsAndShowsTheImageUnreduced) {
  Buffer image;
  FillWithCoordinates(image, 20, 20);
  view->SetZoom(PackZoom(2, -4));  // the divisor search by differences never ends on this
  EXPECT_EQ(view->GetZoom(), PackZoom(1, -2));
  view->SetBuffer(&image);
  view->Invalidate();
  ui.RunUntilIdle();
  EXPECT_EQ(At(7, 9), Coord(7, 9));
}

TEST_F(ImageViewTest, ColourManagementBuildsTheCalibratedHeaderAndShowsItsGamma) {
  Buffer image;
  FillWithCoordinates(image, 20, 20);
  *image.At(4, 6) = 0x7F7F7F;
  struct Case {
    bool globalIcm, globalGamma, useGlobal, ownIcm, ownGamma;
    DWORD headerSize;
  } cases[] = {
      {false, false, true, false, false, 40}, {true, false, true, false, false, 40},
      {true, true, true, false, false, 108},  {false, true, true, false, false, 40},
      {false, false, false, true, true, 108}, {true, true, false, false, true, 40},
  };
  view->GammaRed = 65536 * 2;
  view->GammaGreen = view->GammaBlue = 144179;  // the screen's own
  for (const Case& c : cases) {
    TBuffer::GlobalICM = c.globalIcm;
    TBuffer::GlobalGammaCorr = c.globalGamma;
    view->SetUseGlobalICM(c.useGlobal);
    view->SetUseGlobalGammaCorr(c.useGlobal);
    view->SetICM(c.ownIcm);
    view->SetGammaCorr(c.ownGamma);
    Show(&image, 2, 1);
    const BITMAPV4HEADER& h = view->BlitHeader();
    EXPECT_EQ(h.bV4Size, c.headerSize);
    EXPECT_EQ(h.bV4BitCount, 32);
    if (c.headerSize == 108) {
      EXPECT_EQ(h.bV4GammaRed, c.useGlobal ? 144179u : 131072u);
      EXPECT_EQ(h.bV4Endpoints.ciexyzRed.ciexyzX, TBuffer::ciexyzRed.ciexyzX);
      EXPECT_EQ(h.bV4Endpoints.ciexyzBlue.ciexyzZ, TBuffer::ciexyzBlue.ciexyzZ);
    }
    // The global gamma of 2.2 is the screen's own, so only the view's own red of 2.0 shows.
    const std::uint32_t expected = c.headerSize == 108 && !c.useGlobal ? 0x877F7F : 0x7F7F7F;
    EXPECT_EQ(At(9, 13), expected);
    view->SetZoom(1);
  }
}

TEST_F(ImageViewTest, MouseEnterAndLeaveGoToTheEventsOrElseToTheParent) {
  std::vector<std::pair<UINT, LPARAM>> parentHeard;
  TWndMethod formProc = form->WindowProc;
  form->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) parentHeard.push_back({m.Msg, m.LParam});
    formProc(m);
  };
  const LPARAM self = reinterpret_cast<LPARAM>(view);
  TPoint inside = view->ClientToScreen(TPoint(50, 50));
  TPoint outside = form->ClientToScreen(TPoint(form->GetClientWidth() - 5, form->GetClientHeight() - 5));
  ui.MoveTo(inside.x, inside.y);
  ui.MoveTo(outside.x, outside.y);
  ASSERT_GE(parentHeard.size(), 2u);
  EXPECT_EQ(parentHeard[0], (std::pair<UINT, LPARAM>{CM_MOUSEENTER, self}));
  EXPECT_EQ(parentHeard[1], (std::pair<UINT, LPARAM>{CM_MOUSELEAVE, self}));

  std::vector<std::string> events;
  view->OnMouseEnter = [&](TObject* sender) { events.push_back(sender == view ? "enter" : "?"); };
  view->OnMouseLeave = [&](TObject* sender) { events.push_back(sender == view ? "leave" : "?"); };
  parentHeard.clear();
  ui.MoveTo(inside.x, inside.y);
  ui.MoveTo(outside.x, outside.y);
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
  for (const auto& heard : parentHeard) EXPECT_NE(heard.second, self);  // not passed on when handled
  form->WindowProc = formProc;
}

}  // namespace
