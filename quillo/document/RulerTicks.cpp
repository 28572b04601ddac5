#include "quillo/document/RulerTicks.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Canvas.h"

namespace {

// A row of a spacing table: used when p is above the threshold; the last row takes the rest.
struct SpacingRow {
  double above;
  TickSpacing spacing;
};

template <std::size_t N>
TickSpacing Pick(const SpacingRow (&rows)[N], const TickSpacing& rest, double p) {
  for (const SpacingRow& row : rows)
    if (p > row.above) return row.spacing;
  return rest;
}

// Ruler geometry in pixels.
constexpr int kTopRulerHeight = 16;
constexpr int kTopNumberedFrom = 9, kTopTickFrom = 12, kTopTickTo = 15;
constexpr int kLeftRulerWidth = 24;
constexpr int kLeftNumberedFrom = 19, kLeftTickFrom = 21, kLeftTickTo = 23;

// More ticks than a ruler can hold in pixels mean a spacing below a pixel: none are drawn.
constexpr double kLeastTickGap = 1.0;

}  // namespace

TickSpacing InchTickSpacing(double p) {
  static const SpacingRow rows[] = {
      {500, {0.002, 0.01}}, {200, {0.005, 0.02}}, {100, {0.01, 0.05}}, {50, {0.02, 0.1}},
      {20, {0.05, 0.25}},   {10, {0.1, 0.5}},     {5, {0.2, 1}},       {2, {0.5, 2}},
      {1.125, {1, 4}},      {0.375, {2, 10}},     {0.125, {5, 20}},    {0.084, {10, 50}},
      {0.042, {25, 100}},   {0.021, {50, 200}},
  };
  return Pick(rows, {100, 500}, p);
}

TickSpacing CentimetreTickSpacing(double p) {
  static const SpacingRow rows[] = {
      {250, {0.004, 0.02}}, {125, {0.008, 0.04}}, {50, {0.02, 0.1}},  {25, {0.05, 0.2}},
      {10, {0.1, 0.5}},     {5, {0.2, 1}},        {2, {0.5, 2}},      {0.89, {1, 5}},
      {0.45, {2, 10}},      {0.2, {5, 25}},       {0.1, {10, 50}},    {0.08, {25, 100}},
      {0.0165, {50, 250}},  {0.0095, {100, 500}},
  };
  return Pick(rows, {250, 1000}, p);
}

TickSpacing PixelTickSpacing(double p) {
  static const SpacingRow rows[] = {
      {3.5, {1, 1}}, {1.75, {1, 2}}, {0.875, {1, 5}}, {0.5, {2, 10}},
      {0.2, {5, 20}}, {0.1, {10, 50}}, {0.04, {25, 100}}, {0.02, {50, 200}},
  };
  return Pick(rows, {100, 500}, p);
}

double EighthOfUnitOnScreen(RulerUnit unit, double resolution, double zoom) {
  switch (unit) {
    case RulerUnit::Inches: return resolution * zoom * 0.125;
    case RulerUnit::Centimetres: return resolution * zoom * 0.125 * kInchesPerCentimetre;
    case RulerUnit::Pixels: break;
  }
  return zoom * 0.125;
}

TickSpacing ChooseTickSpacing(RulerUnit unit, double resolution, double zoom) {
  const double p = EighthOfUnitOnScreen(unit, resolution, zoom);
  switch (unit) {
    case RulerUnit::Inches: return InchTickSpacing(p);
    case RulerUnit::Centimetres: return CentimetreTickSpacing(p);
    case RulerUnit::Pixels: break;
  }
  return PixelTickSpacing(p);
}

double ImagePixelsPerUnit(RulerUnit unit, double resolution) {
  switch (unit) {
    case RulerUnit::Inches: return resolution;
    case RulerUnit::Centimetres: return resolution * kInchesPerCentimetre;
    case RulerUnit::Pixels: break;
  }
  return 1;
}

AnsiString RulerLabel(RulerUnit unit, double position, double resolution) {
  switch (unit) {
    case RulerUnit::Inches: return Format("%.2lf", position / resolution + 0.0001);
    case RulerUnit::Centimetres: return Format("%.2lf", position * kCentimetresPerInch / resolution + 0.0001);
    case RulerUnit::Pixels: break;
  }
  return Format("%d", static_cast<int>(position));
}

std::vector<RulerTick> ListRulerTicks(int scroll, double zoom, int imageLength, int clientLength, double minorPixels,
                                      double majorPixels) {
  std::vector<RulerTick> ticks;
  // A picture without a sound resolution or zoom gives spacings of no width: no ticks, and
  // no endless loop.
  if (!(zoom > 0) || !(minorPixels * zoom >= kLeastTickGap) || !std::isfinite(minorPixels * zoom)) return ticks;
  const double first = scroll / zoom;
  const double end = std::min(imageLength * zoom, static_cast<double>(clientLength));
  // Majors are whole multiples of minors in every table.
  const long long every = std::max(1LL, std::llround(majorPixels / minorPixels));
  // Small tolerances keep positions computed in floating point from slipping below a
  // multiple or a pixel they lie on.
  for (long long k = static_cast<long long>(std::ceil(first / minorPixels - 1e-9));; ++k) {
    const double position = k * minorPixels;
    const double along = position * zoom - scroll;
    if (along > end + 1e-6) break;
    ticks.push_back({static_cast<int>(std::floor(along + 1e-6)), position, k % every == 0});
  }
  return ticks;
}

void DrawRulers(TCanvas* top, int topWidth, TCanvas* left, int leftHeight, const RulerView& view) {
  const TickSpacing spacing = ChooseTickSpacing(view.unit, view.resolution, view.zoom);
  const double perUnit = ImagePixelsPerUnit(view.unit, view.resolution);
  const double minor = spacing.minor * perUnit, major = spacing.major * perUnit;

  top->GetBrush()->SetStyle(bsSolid);
  top->GetBrush()->SetColor(clBtnFace);
  top->FillRect(TRect(0, 0, topWidth, kTopRulerHeight));
  for (const RulerTick& t : ListRulerTicks(view.scrollX, view.zoom, view.imageWidth, view.clientWidth, minor, major)) {
    const int x = view.originX + t.offset;
    if (t.numbered) {
      const AnsiString label = RulerLabel(view.unit, t.position, view.resolution);
      top->TextOut(x - top->TextWidth(label) / 2, 0, label);
    }
    top->MoveTo(x, t.numbered ? kTopNumberedFrom : kTopTickFrom);
    top->LineTo(x, kTopTickTo);
  }

  left->GetBrush()->SetStyle(bsSolid);
  left->GetBrush()->SetColor(clBtnFace);
  left->FillRect(TRect(0, 0, kLeftRulerWidth, leftHeight));
  for (const RulerTick& t : ListRulerTicks(view.scrollY, view.zoom, view.imageHeight, view.clientHeight, minor, major)) {
    const int y = view.originY + t.offset;
    if (t.numbered) {
      const AnsiString label = RulerLabel(view.unit, t.position, view.resolution);
      const SIZE size = left->TextExtent(label);
      left->TextOut(std::max(0, kLeftNumberedFrom - 1 - static_cast<int>(size.cx)), y - size.cy / 2, label);
    }
    left->MoveTo(t.numbered ? kLeftNumberedFrom : kLeftTickFrom, y);
    left->LineTo(kLeftTickTo, y);
  }
}
