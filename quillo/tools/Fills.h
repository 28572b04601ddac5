#pragma once
// The flood fills: the solid fill paints the connected area of like colour around the clicked
// pixel with one colour, the pattern fill with the brush repeated as a tile; both can keep the
// brightness of what they paint (shade) and give the paint a transparency. The fill-origin
// tool places the pattern's tile grid. The shapes that fill (filled boxes, circles, polygons)
// paint their masks through the fill chosen in the palette's fill group.

#include <cstdint>

#include "quillo/tools/ColourRuns.h"
#include "quillo/tools/Tool.h"
#include "vorlen/core/BitBuffer.h"

class P_fill : public P_icon {
public:
  void AddPoint() override;
  void Deactivate(P_icon* next) override;
  // Paints the set bits of mask (the picture's size) with colour (0x00RRGGBB); the magic wand
  // takes the mask instead.
  virtual void Apply(std::uint32_t /*colour*/, BitBuffer* /*mask*/) {}

  int Transparency = 0;           // the paint's top byte, 0 opaque
  std::uint8_t Shade = 0;         // keep the painted pixels' brightness
  std::uint8_t EightConnected = 0;
  int Tolerance = 0;              // largest colour distance still inside the area

protected:
  explicit P_fill(const ToolTraits& traits) : P_icon(traits) {}
  // The bar's first four options from the fields, the shade box's handler set.
  void WriteCommonOptions();
};

class P_fill_solid : public P_fill {
public:
  explicit P_fill_solid(const ToolTraits& traits) : P_fill(traits) {}
  void Activate() override;
  bool KeepsRowsForUndo() const override { return true; }
  void Apply(std::uint32_t colour, BitBuffer* mask) override;
};

// Where the pattern's tile grid starts.
enum FillPatternModes { PatternAtImageOrigin = 0, PatternAtBrushPosition = 1, PatternAtFillOrigin = 2 };

class P_fill_pattern : public P_fill {
public:
  explicit P_fill_pattern(const ToolTraits& traits) : P_fill(traits) {}
  void Activate() override;
  bool KeepsRowsForUndo() const override { return true; }
  void Apply(std::uint32_t colour, BitBuffer* mask) override;

  int FillPatternMode = PatternAtImageOrigin;
};

class P_fill_pos : public P_icon {
public:
  explicit P_fill_pos(const ToolTraits& traits) : P_icon(traits) {}
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;

  // The tile offsets of the pattern at the chosen origin.
  Pair<int> FillOrigin;
};

// A mask of the active picture's size, cleared; false without a picture or memory.
bool AllocPictureMask(BitBuffer& mask);
// Grows into mask (allocated at the active picture's size) the area of pixels connected to
// (x, y) whose colour lies within tolerance of its colour, as far as DrawView reaches, its
// bounds into grown when given; false when the point is off the picture or there is no memory.
bool GrowColourArea(BitBuffer& mask, int x, int y, int tolerance, bool eightConnected, Rect* grown = nullptr);
// Paints the mask with the fill chosen in the palette's fill group (the solid fill when none).
void PaintWithChosenFill(std::uint32_t colour, BitBuffer& mask);
