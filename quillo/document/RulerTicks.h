#pragma once
// The rulers of a document window: which tick spacing suits the zoom, where the ticks of the
// visible part of the image fall, their labels, and the drawing of both rulers into their
// canvases. The spacing is chosen from p, the size on the screen of one eighth of the unit.

#include <vector>

#include "platform/rtl/AnsiString.h"

class TCanvas;

// The unit of the rulers and the status bar (the setting "MeasurementUnit").
enum class RulerUnit { Inches = 0, Centimetres = 1, Pixels = 2 };

// Spacings in the ruler's unit (image pixels for RulerUnit::Pixels).
struct TickSpacing {
  double minor = 1;
  double major = 1;
  bool operator==(const TickSpacing&) const = default;
};

// The centimetres in an inch as the rulers and the status bar reckon them, and its inverse
// as stored.
inline constexpr double kCentimetresPerInch = 2.5399;
inline constexpr double kInchesPerCentimetre = 0.3937;

// The spacing tables, by p.
TickSpacing InchTickSpacing(double p);
TickSpacing CentimetreTickSpacing(double p);
TickSpacing PixelTickSpacing(double p);
// p for the unit: screen pixels per eighth of the unit at this zoom and resolution (dpi).
double EighthOfUnitOnScreen(RulerUnit unit, double resolution, double zoom);
// The spacing for the unit at this zoom and resolution.
TickSpacing ChooseTickSpacing(RulerUnit unit, double resolution, double zoom);
// Image pixels in one of the unit.
double ImagePixelsPerUnit(RulerUnit unit, double resolution);
// The label of the tick at an image position: inches and centimetres with two decimals,
// pixels as a whole number.
AnsiString RulerLabel(RulerUnit unit, double position, double resolution);

// One tick of a ruler: its distance from the ruler's origin on the screen and its image
// position; numbered ticks fall on multiples of the major spacing.
struct RulerTick {
  int offset = 0;
  double position = 0;
  bool numbered = false;
  bool operator==(const RulerTick&) const = default;
};

// The ticks of one ruler: from the first multiple of the minor spacing at or after the
// first visible image position (scroll / zoom) to the end of the visible image
// (min(imageLength x zoom, clientLength) screen pixels from the origin). Spacings are in
// image pixels.
std::vector<RulerTick> ListRulerTicks(int scroll, double zoom, int imageLength, int clientLength, double minorPixels,
                                      double majorPixels);

// What the rulers show: the view's scroll position, zoom, the picture's resolution (dpi),
// the unit and the image size; the screen position in each ruler of the image's left or
// top visible edge (origin: the scroll box's place in the window plus 2, plus the view's
// offset when the view is centred in it), and the scroll box's client size.
struct RulerView {
  int scrollX = 0;
  int scrollY = 0;
  double zoom = 1;
  double resolution = 200;
  RulerUnit unit = RulerUnit::Pixels;
  int imageWidth = 0;
  int imageHeight = 0;
  int originX = 0;
  int originY = 0;
  int clientWidth = 0;
  int clientHeight = 0;
};

// Draws both rulers: each filled with the button face, then its ticks in the canvas's pen
// and its labels in the canvas's font. The top ruler (16 pixels high): numbered ticks from
// y 9, others from y 12, to y 15, labels centred on their ticks at y 0. The left ruler (24
// pixels wide): numbered ticks from x 19, others from x 21, to x 23, labels left of the
// ticks and centred on them. top and left are each as large as the canvas given.
void DrawRulers(TCanvas* top, int topWidth, TCanvas* left, int leftHeight, const RulerView& view);
