#pragma once
// What the shape and fill tests share: a white 128 x 96 document painted with a one-pixel
// opaque black brush (hot spot in the centre), black drawing and white background colours,
// points handed to the current tool as the mouse handlers hand them, and the painted pixels.

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "StrokeWalk.h"
#include "ToolFixture.h"

using PixelSet = std::set<std::pair<int, int>>;

class ShapeToolTest : public ToolTest {
protected:
  ShapeToolTest();
  // The tools keep their options in static objects: they go back to their start.
  ~ShapeToolTest() override;

  // Makes the tool current, the pointer off the picture.
  void Choose(P_icon* tool);
  // Hands the current tool an image point as a click of point-by-point input would: its
  // AddPoint, then the phase moved on as the mouse handlers move it.
  void Give(int x, int y, bool right = false);
  // Clicks and drags through the UI at image points (zoom 1), then takes the pointer away.
  void ClickAt(int x, int y, int button = 0);
  void DragUi(Pair<int> from, Pair<int> to, int button = 0);

  // The pixels that are no longer white, and a picture's pixel at an image point.
  PixelSet Painted() const;
  // Painted() compared with the expected set, naming the pixels that differ.
  ::testing::AssertionResult PaintedIs(const PixelSet& expected) const;
  std::uint32_t PixelAt(int x, int y) const;
  void Whiten();

};

// Pixel sets to compare with: the points of a walk, a row from x1 to x2, one set added to
// another.
PixelSet Of(const Points& points);
PixelSet Row(int y, int x1, int x2);
inline void Add(PixelSet& set, const PixelSet& more) { set.insert(more.begin(), more.end()); }
