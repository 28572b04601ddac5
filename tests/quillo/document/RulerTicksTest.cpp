// The rulers: the spacing tables at their boundaries, the ticks of the visible part of an
// image, their labels, and both rulers drawn into bitmaps.

#include <gtest/gtest.h>

#include "platform/vcl/Bitmap.h"
#include "quillo/document/RulerTicks.h"

namespace {

struct Row {
  double p;
  TickSpacing want;
};

void ExpectRows(TickSpacing (*table)(double), std::initializer_list<Row> rows, const char* name) {
  for (const Row& r : rows) EXPECT_EQ(table(r.p), r.want) << name << " p = " << r.p;
}

TEST(RulerTicks, InchSpacingsChangeJustAboveEachBoundary) {
  ExpectRows(InchTickSpacing,
             {{1e6, {0.002, 0.01}}, {500.001, {0.002, 0.01}}, {500, {0.005, 0.02}}, {200, {0.01, 0.05}},
              {100, {0.02, 0.1}}, {50, {0.05, 0.25}}, {20, {0.1, 0.5}}, {10, {0.2, 1}}, {5, {0.5, 2}},
              {2, {1, 4}}, {1.126, {1, 4}}, {1.125, {2, 10}}, {0.375, {5, 20}}, {0.125, {10, 50}},
              {0.084, {25, 100}}, {0.042, {50, 200}}, {0.0211, {50, 200}}, {0.021, {100, 500}}, {0, {100, 500}}},
             "inches");
}

TEST(RulerTicks, CentimetreSpacingsChangeJustAboveEachBoundary) {
  ExpectRows(CentimetreTickSpacing,
             {{250.01, {0.004, 0.02}}, {250, {0.008, 0.04}}, {125, {0.02, 0.1}}, {50, {0.05, 0.2}},
              {25, {0.1, 0.5}}, {10, {0.2, 1}}, {5, {0.5, 2}}, {2, {1, 5}}, {0.89, {2, 10}}, {0.45, {5, 25}},
              {0.2, {10, 50}}, {0.1, {25, 100}}, {0.08, {50, 250}}, {0.0165, {100, 500}}, {0.0166, {50, 250}},
              {0.0095, {250, 1000}}},
             "centimetres");
}

TEST(RulerTicks, PixelSpacingsChangeJustAboveEachBoundary) {
  ExpectRows(PixelTickSpacing,
             {{3.51, {1, 1}}, {3.5, {1, 2}}, {1.75, {1, 5}}, {0.875, {2, 10}}, {0.5, {5, 20}}, {0.2, {10, 50}},
              {0.1, {25, 100}}, {0.04, {50, 200}}, {0.02, {100, 500}}},
             "pixels");
}

TEST(RulerTicks, TheEighthOfTheUnitOnTheScreenChoosesTheRow) {
  struct Case {
    RulerUnit unit;
    double resolution, zoom;
    TickSpacing want;
  } cases[] = {
      {RulerUnit::Inches, 200, 1, {0.05, 0.25}},      // p = 25
      {RulerUnit::Inches, 72, 0.25, {0.5, 2}},         // p = 2.25
      {RulerUnit::Centimetres, 200, 1, {0.2, 1}},      // p = 9.84
      {RulerUnit::Centimetres, 200, 4, {0.05, 0.2}},   // p = 39.4
      {RulerUnit::Pixels, 200, 1, {10, 50}},           // p = 0.125, resolution not used
      {RulerUnit::Pixels, 72, 28, {1, 2}},             // p = 3.5 exactly
      {RulerUnit::Pixels, 72, 32, {1, 1}},
      {RulerUnit::Pixels, 72, 0.1, {100, 500}},        // p = 0.0125
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChooseTickSpacing(c.unit, c.resolution, c.zoom), c.want) << int(c.unit) << " " << c.zoom;
  EXPECT_DOUBLE_EQ(ImagePixelsPerUnit(RulerUnit::Centimetres, 200), 200 * 0.3937);
}

TEST(RulerTicks, LabelsNameThePositionInTheUnit) {
  EXPECT_EQ(RulerLabel(RulerUnit::Inches, 300, 200), "1.50");
  EXPECT_EQ(RulerLabel(RulerUnit::Inches, 0, 200), "0.00");
  EXPECT_EQ(RulerLabel(RulerUnit::Centimetres, 78.74, 200), "1.00");  // 0.99993 + 0.0001
  EXPECT_EQ(RulerLabel(RulerUnit::Pixels, 37.9, 200), "37");
}

TEST(RulerTicks, TicksRunFromTheFirstVisibleMultipleToTheEndOfTheVisibleImage) {
  using T = RulerTick;
  // Unscrolled, the whole image visible: ticks every 10 pixels to the image's end.
  std::vector<T> ticks = ListRulerTicks(0, 1, 100, 500, 10, 50);
  ASSERT_EQ(ticks.size(), 11u);
  EXPECT_EQ(ticks[0], (T{0, 0, true}));
  EXPECT_EQ(ticks[3], (T{30, 30, false}));
  EXPECT_EQ(ticks[5], (T{50, 50, true}));
  EXPECT_EQ(ticks[10], (T{100, 100, true}));
  // Scrolled by 25 screen pixels at zoom 2: the first visible position is 12.5, the first
  // tick 20 at 15 pixels; the client area ends the ruler at 100.
  ticks = ListRulerTicks(25, 2, 100, 100, 10, 50);
  EXPECT_EQ(ticks, (std::vector<T>{{15, 20, false}, {35, 30, false}, {55, 40, false}, {75, 50, true}, {95, 60, false}}));
  // Fractional spacings (centimetres at 200 dpi): every fifth tick numbered, no drift.
  ticks = ListRulerTicks(0, 1, 400, 400, 0.2 * 78.74, 78.74);
  ASSERT_GE(ticks.size(), 26u);
  EXPECT_TRUE(ticks[25].numbered);
  EXPECT_EQ(ticks[25].offset, 393);
  EXPECT_FALSE(ticks[24].numbered);
}

TEST(RulerTicks, APictureWithoutAResolutionGetsNoTicksInsteadOfAnEndlessRuler) {
  const TickSpacing s = ChooseTickSpacing(RulerUnit::Inches, 0, 1);
  EXPECT_TRUE(ListRulerTicks(0, 1, 100, 100, s.minor * ImagePixelsPerUnit(RulerUnit::Inches, 0), 0).empty());
  EXPECT_TRUE(ListRulerTicks(0, 0, 100, 100, 10, 50).empty());
}

TEST(RulerTicks, BothRulersAreDrawnWithTicksAndLabels) {
  auto top = MakeObject<TBitmap>();
  top->SetSize(200, 16);
  auto left = MakeObject<TBitmap>();
  left->SetSize(24, 200);
  RulerView view;
  view.unit = RulerUnit::Pixels;
  view.zoom = 1;  // ticks every 10 pixels, numbered every 50
  view.imageWidth = 100;
  view.imageHeight = 80;
  view.originX = 5;
  view.originY = 7;
  view.clientWidth = 300;
  view.clientHeight = 300;
  // The fonts the document window gives its rulers.
  for (TBitmap* ruler : {top.get(), left.get()}) {
    ruler->GetCanvas()->GetFont()->SetName("Arial");
    ruler->GetCanvas()->GetFont()->SetSize(-6);
  }
  DrawRulers(top->GetCanvas(), 200, left->GetCanvas(), 200, view);
  const COLORREF face = ColorToRGB(clBtnFace), pen = ColorToRGB(clBlack);
  auto topAt = [&](int x, int y) { return ColorToRGB(top->GetCanvas()->GetPixel(x, y)); };
  auto leftAt = [&](int x, int y) { return ColorToRGB(left->GetCanvas()->GetPixel(x, y)); };
  EXPECT_EQ(topAt(15, 13), pen);   // a minor tick from y 12
  EXPECT_EQ(topAt(15, 10), face);
  EXPECT_EQ(topAt(55, 10), pen);   // a numbered one from y 9
  EXPECT_EQ(topAt(16, 13), face);
  EXPECT_EQ(topAt(115, 13), face);  // past the image's end
  int label = 0;
  for (int x = 45; x < 66; ++x)
    for (int y = 0; y < 9; ++y) label += topAt(x, y) != face;
  EXPECT_GT(label, 3);
  EXPECT_EQ(leftAt(22, 17), pen);   // y 7 + 10
  EXPECT_EQ(leftAt(20, 17), face);
  EXPECT_EQ(leftAt(20, 57), pen);
  EXPECT_EQ(leftAt(22, 97), face);  // past the image's height (80)
  EXPECT_EQ(leftAt(2, 120), face);
}

}  // namespace
