// The painted captions' arithmetic on tables: ramps and bands, caption rectangles per border
// style, where the caption buttons go, what a point of a band caption hits, dithered bands,
// and the text copy of WM_GETTEXT.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/user/User.h"
#include "quillo/components/captions/CaptionGeometry.h"

namespace captions {
namespace {

// Metrics of the desktop: caption 19, small caption 15, dialog frame 3, sizing frame 4,
// caption buttons 18, small icon 16, small caption buttons 12.

::testing::AssertionResult SameRect(const TRect& got, const TRect& want) {
  if (got.left == want.left && got.top == want.top && got.right == want.right && got.bottom == want.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << got.left << "," << got.top << "," << got.right << "," << got.bottom
                                       << ") instead of (" << want.left << "," << want.top << "," << want.right
                                       << "," << want.bottom << ")";
}

TEST(CaptionGeometryTest, RampRunsFromStartToStopRoundingHalvesToEven) {
  struct Case {
    COLORREF start, stop;
    int count;
    std::vector<int> reds;
  } cases[] = {
      {RGB(0, 0, 0), RGB(10, 0, 0), 8, {0, 1, 3, 4, 6, 7, 9, 10}},
      {RGB(0, 0, 0), RGB(7, 0, 0), 15, {0, 0, 1, 2, 2, 2, 3, 4, 4, 4, 5, 6, 6, 6, 7}},
      {RGB(200, 0, 0), RGB(100, 0, 0), 3, {200, 150, 100}},
      {RGB(9, 0, 0), RGB(9, 0, 0), 8, {9, 9, 9, 9, 9, 9, 9, 9}},
  };
  for (const Case& c : cases) {
    std::vector<COLORREF> ramp = GradientRamp(c.start, c.stop, c.count);
    ASSERT_EQ(ramp.size(), c.reds.size());
    for (size_t i = 0; i < ramp.size(); ++i) EXPECT_EQ(GetRValue(ramp[i]), c.reds[i]) << c.count << " at " << i;
  }
  // Each channel on its own.
  std::vector<COLORREF> ramp = GradientRamp(RGB(0, 100, 255), RGB(255, 100, 0), 64);
  EXPECT_EQ(ramp.front(), RGB(0, 100, 255));
  EXPECT_EQ(ramp.back(), RGB(255, 100, 0));
}

TEST(CaptionGeometryTest, BandsCoverTheWidthWithEachRounding) {
  struct Case {
    int width, count;
    std::vector<int> rounded, mulDiv;  // left edges, then the right end
  } cases[] = {
      {10, 4, {0, 2, 5, 8, 10}, {0, 3, 5, 8, 10}},
      {5, 2, {0, 2, 5}, {0, 3, 5}},
      {300, 1, {0, 300}, {0, 300}},
  };
  for (const Case& c : cases)
    for (int i = 0; i < c.count; ++i) {
      size_t k = static_cast<size_t>(i);
      EXPECT_EQ(RoundedBand(7, c.width, i, c.count), (TSpan{7 + c.rounded[k], 7 + c.rounded[k + 1]})) << c.width;
      EXPECT_EQ(MulDivBand(7, c.width, i, c.count), (TSpan{7 + c.mulDiv[k], 7 + c.mulDiv[k + 1]})) << c.width;
    }
}

TEST(CaptionGeometryTest, BandColourIsBeginForFewerThanTwoBands) {
  struct Case {
    int index, count;
    COLORREF want;
  } cases[] = {
      {0, 5, RGB(0, 0, 0)}, {2, 5, RGB(50, 25, 0)}, {4, 5, RGB(100, 50, 0)}, {0, 1, RGB(0, 0, 0)}, {0, 0, RGB(0, 0, 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(BandColor(RGB(0, 0, 0), RGB(100, 50, 0), c.index, c.count), c.want) << c.index;
}

TEST(CaptionGeometryTest, CaptionRectangleFollowsTheBorderStyle) {
  struct Case {
    TFormBorderStyle style;
    bool minimised, designing;
    TRect want;
  } cases[] = {
      {bsNone, false, false, TRect(0, 0, 0, 0)},      {bsSingle, false, false, TRect(3, 3, 297, 21)},
      {bsDialog, false, false, TRect(3, 3, 297, 21)}, {bsSizeable, false, false, TRect(4, 4, 296, 22)},
      {bsToolWindow, false, false, TRect(3, 3, 297, 18)}, {bsSizeToolWin, false, false, TRect(4, 4, 296, 19)},
      {bsSizeable, true, false, TRect(3, 3, 297, 21)}, {bsNone, false, true, TRect(4, 4, 296, 22)},
  };
  for (const Case& c : cases)
    EXPECT_TRUE(SameRect(GradientCaptionRect(c.style, c.minimised, c.designing, 300, 200), c.want)) << c.style;
}

TEST(CaptionGeometryTest, GradientFormButtonsStandRightToLeftAndLeaveTheTextItsPart) {
  const TBorderIcons all{biSystemMenu, biMinimize, biMaximize};
  struct Case {
    const char* name;
    TFormBorderStyle style;
    TBorderIcons icons;
    int height;
    TRect close, maximise, minimise, help;
    bool maxEnabled, minEnabled;
    int textRight;
  } cases[] = {
      {"sizeable", bsSizeable, all, 18, TRect(283, 2, 299, 16), TRect(265, 2, 281, 16), TRect(249, 2, 265, 16), TRect(),
       true, true, 248},
      {"maximise only", bsSingle, {biSystemMenu, biMaximize}, 18, TRect(283, 2, 299, 16), TRect(265, 2, 281, 16),
       TRect(249, 2, 265, 16), TRect(), true, false, 248},
      {"dialog with help", bsDialog, {biSystemMenu, biHelp}, 18, TRect(283, 2, 299, 16), TRect(), TRect(),
       TRect(265, 2, 281, 16), true, true, 264},
      {"no system menu", bsSizeable, {biMinimize}, 18, TRect(), TRect(), TRect(), TRect(), true, true, 298},
      {"tool window", bsToolWindow, all, 14, TRect(289, 2, 299, 12), TRect(), TRect(), TRect(), true, true, 284},
      // An odd caption height makes the buttons one wider.
      {"odd height", bsSizeable, all, 17, TRect(282, 2, 299, 15), TRect(263, 2, 280, 15), TRect(246, 2, 263, 15),
       TRect(), true, true, 245},
  };
  for (const Case& c : cases) {
    TCaptionButtonLayout l = GradientCaptionButtons(TRect(1, 0, 301, c.height), c.style, c.icons, false);
    EXPECT_TRUE(SameRect(l.buttons[cbClose].rect, c.close)) << c.name;
    EXPECT_TRUE(SameRect(l.buttons[cbMaximize].rect, c.maximise)) << c.name;
    EXPECT_TRUE(SameRect(l.buttons[cbMinimize].rect, c.minimise)) << c.name;
    EXPECT_TRUE(SameRect(l.buttons[cbHelp].rect, c.help)) << c.name;
    EXPECT_EQ(l.buttons[cbMaximize].enabled, c.maxEnabled) << c.name;
    EXPECT_EQ(l.buttons[cbMinimize].enabled, c.minEnabled) << c.name;
    EXPECT_EQ(l.textRight, c.textRight) << c.name;
  }
  // At design time a captionless form counts as sizeable with every button.
  TCaptionButtonLayout designed = GradientCaptionButtons(TRect(1, 0, 301, 18), bsNone, {}, true);
  EXPECT_TRUE(SameRect(designed.buttons[cbMinimize].rect, TRect(249, 2, 265, 16)));
}

TEST(CaptionGeometryTest, BandCaptionLayoutPerStyle) {
  const TBorderIcons all{biSystemMenu, biMinimize, biMaximize};
  struct Case {
    const char* name;
    TFormBorderStyle style;
    TBorderIcons icons;
    TRect caption, menuIcon, buttonsArea, title, close, maximise, minimise, help;
    bool maxEnabled, minEnabled;
  } cases[] = {
      {"sizeable", bsSizeable, all, TRect(4, 4, 296, 22), TRect(4, 4, 22, 22), TRect(246, 6, 296, 20),
       TRect(24, 6, 244, 20), TRect(278, 6, 294, 20), TRect(262, 6, 278, 20), TRect(246, 6, 262, 20), TRect(), true,
       true},
      {"maximise only", bsSizeable, {biSystemMenu, biMaximize}, TRect(4, 4, 296, 22), TRect(4, 4, 22, 22),
       TRect(246, 6, 296, 20), TRect(24, 6, 244, 20), TRect(278, 6, 294, 20), TRect(262, 6, 278, 20),
       TRect(246, 6, 262, 20), TRect(), true, false},
      {"dialog with help", bsDialog, {biSystemMenu, biHelp, biMinimize}, TRect(3, 3, 297, 21), TRect(3, 3, 3, 21),
       TRect(263, 5, 297, 19), TRect(5, 5, 261, 19), TRect(279, 5, 295, 19), TRect(), TRect(), TRect(263, 5, 279, 19),
       true, true},
      {"tool window", bsToolWindow, all, TRect(3, 3, 297, 18), TRect(3, 3, 3, 18), TRect(283, 5, 297, 16),
       TRect(5, 5, 281, 16), TRect(283, 5, 297, 16), TRect(), TRect(), TRect(), true, true},
      {"no system menu", bsSingle, {biMinimize}, TRect(3, 3, 297, 21), TRect(3, 3, 3, 21), TRect(297, 5, 297, 19),
       TRect(5, 5, 295, 19), TRect(), TRect(), TRect(), TRect(), true, true},
  };
  for (const Case& c : cases) {
    TBandCaptionLayout l = LayoutBandCaption(c.style, c.icons, false, false, 300, 200);
    EXPECT_TRUE(SameRect(l.caption, c.caption)) << c.name;
    EXPECT_TRUE(SameRect(l.menuIcon, c.menuIcon)) << c.name;
    EXPECT_TRUE(SameRect(l.buttonsArea, c.buttonsArea)) << c.name;
    EXPECT_TRUE(SameRect(l.title, c.title)) << c.name;
    EXPECT_TRUE(SameRect(l.buttons[cbClose].rect, c.close)) << c.name;
    EXPECT_TRUE(SameRect(l.buttons[cbMaximize].rect, c.maximise)) << c.name;
    EXPECT_TRUE(SameRect(l.buttons[cbMinimize].rect, c.minimise)) << c.name;
    EXPECT_TRUE(SameRect(l.buttons[cbHelp].rect, c.help)) << c.name;
    EXPECT_EQ(l.visible[cbClose], c.close.Width() > 0) << c.name;
    EXPECT_EQ(l.visible[cbHelp], c.help.Width() > 0) << c.name;
    if (l.visible[cbMaximize]) {
      EXPECT_EQ(l.buttons[cbMaximize].enabled, c.maxEnabled) << c.name;
      EXPECT_EQ(l.buttons[cbMinimize].enabled, c.minEnabled) << c.name;
    }
  }
  TBandCaptionLayout none = LayoutBandCaption(bsNone, {biSystemMenu}, false, false, 300, 200);
  EXPECT_EQ(none.caption.Height(), 0);
  EXPECT_FALSE(none.visible[cbClose]);
}

TEST(CaptionGeometryTest, BandCaptionHitCodes) {
  TBandCaptionLayout l = LayoutBandCaption(bsSizeable, {biSystemMenu, biMinimize, biMaximize}, false, false, 300, 200);
  struct Case {
    TPoint p;
    int hit;
  } cases[] = {
      {TPoint(280, 10), HTCLOSE},     {TPoint(295, 10), HTCLOSE},  // the close button's hit reaches 2 further right
      {TPoint(280, 4), HTCLOSE},      {TPoint(270, 21), HTMAXBUTTON}, {TPoint(250, 10), HTMINBUTTON},
      {TPoint(10, 10), HTSYSMENU},    {TPoint(100, 10), HTCAPTION},  {TPoint(100, 30), HTNOWHERE},
      {TPoint(280, 3), HTNOWHERE},    {TPoint(2, 10), HTNOWHERE},
  };
  for (const Case& c : cases) EXPECT_EQ(BandCaptionHit(l, c.p), c.hit) << c.p.x << "," << c.p.y;
  // A tool window has no menu icon: its left end is caption.
  TBandCaptionLayout tool = LayoutBandCaption(bsToolWindow, {biSystemMenu}, false, false, 300, 200);
  EXPECT_EQ(BandCaptionHit(tool, TPoint(5, 8)), HTCAPTION);
  EXPECT_EQ(BandCaptionHit(tool, TPoint(290, 8)), HTCLOSE);
}

TEST(CaptionGeometryTest, SizingCursorsOfBorderHits) {
  struct Case {
    int hit;
    LPCSTR cursor;
  } cases[] = {
      {HTLEFT, IDC_SIZEWE},        {HTRIGHT, IDC_SIZEWE},       {HTTOP, IDC_SIZENS},   {HTBOTTOM, IDC_SIZENS},
      {HTTOPLEFT, IDC_SIZENWSE},   {HTBOTTOMRIGHT, IDC_SIZENWSE}, {HTTOPRIGHT, IDC_SIZENESW},
      {HTBOTTOMLEFT, IDC_SIZENESW}, {HTCAPTION, nullptr},       {HTCLIENT, nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(SizingCursorForHit(c.hit), c.cursor) << c.hit;
}

TEST(CaptionGeometryTest, DitherMaskAndBands) {
  // Steep ramps take the narrow mask: |d| / width >= 5 / 7.
  EXPECT_EQ(ChooseDitherMask(RGB(0, 0, 0), RGB(255, 0, 0), 357).width, DitherMaskNarrow.width);
  EXPECT_EQ(ChooseDitherMask(RGB(0, 0, 0), RGB(255, 0, 0), 358).width, DitherMaskWide.width);
  EXPECT_FALSE(CanDither(137, DitherMaskWide, false));
  EXPECT_TRUE(CanDither(138, DitherMaskWide, false));
  EXPECT_FALSE(CanDither(600, DitherMaskWide, true));

  std::vector<TDitherBand> bands = DitherBands(RGB(0, 0, 0), RGB(140, 0, 0), 140, 69);
  ASSERT_EQ(bands.size(), 3u);
  int lefts[] = {0, 71, 142}, reds[] = {70, 140, 210};
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(bands[k].left, lefts[k]);
    EXPECT_EQ(bands[k].strip, 2);
    EXPECT_EQ(GetRValue(bands[k].color), reds[k]);
  }
  // The rest is spread one pixel at a time over the first bands; colours clamp at 255.
  bands = DitherBands(RGB(0, 0, 0), RGB(255, 0, 0), 300, 14);
  ASSERT_EQ(bands.size(), 22u);
  EXPECT_EQ(bands[4].strip, 1);
  EXPECT_EQ(bands[5].strip, 0);
  EXPECT_EQ(bands[5].left, 75);
  EXPECT_EQ(GetRValue(bands.back().color), 255);
  EXPECT_TRUE(DitherBands(0, 0, 100, 69).empty());

  // The mask is solid at its left, empty at its right, and thins out between.
  for (TDitherMaskSize mask : {DitherMaskWide, DitherMaskNarrow}) {
    int leftHalf = 0, rightHalf = 0;
    for (int y = 0; y < mask.height; ++y) {
      EXPECT_TRUE(DitherMaskBit(0, y, mask));
      EXPECT_FALSE(DitherMaskBit(mask.width - 1, y, mask));
      for (int x = 0; x < mask.width; ++x) (x < mask.width / 2 ? leftHalf : rightHalf) += DitherMaskBit(x, y, mask);
    }
    EXPECT_GT(leftHalf, rightHalf * 2);
  }
}

TEST(CaptionGeometryTest, TextCopyAlwaysLeavesRoomForTheTerminator) {
  struct Case {
    WPARAM size;
    LRESULT copied;
    const char* want;
  } cases[] = {{0, 0, "xxxxxxxx"}, {1, 0, ""}, {3, 2, "He"}, {5, 4, "Hell"}, {6, 5, "Hello"}, {9, 5, "Hello"}};
  for (const Case& c : cases) {
    char buffer[9];
    std::memset(buffer, 'x', sizeof buffer - 1);
    buffer[8] = 0;
    EXPECT_EQ(CopyTextToBuffer("Hello", c.size, reinterpret_cast<LPARAM>(buffer)), c.copied) << c.size;
    EXPECT_STREQ(buffer, c.want) << c.size;
  }
  EXPECT_EQ(CopyTextToBuffer("Hello", 10, 0), 0);
}

TEST(CaptionGeometryTest, FrameCaptionNamesAMaximisedChild) {
  EXPECT_EQ(FrameCaptionText("quillo", true, "photo.png"), "quillo - [photo.png]");
  EXPECT_EQ(FrameCaptionText("quillo", false, "photo.png"), "quillo");
}

}  // namespace
}  // namespace captions
