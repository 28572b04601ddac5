#pragma once
// The state of the brush picture that goes with its pixels: how it paints, where its hot spot
// is, which colour stands for its outside. The undo engine keeps it with every step of the
// brush picture; the tools read and change it.

#include <cstdint>

// What painting with the brush does to its colours.
enum BrushModes : std::uint8_t {
  BrushModePaint = 0,    // the brush's own colours
  BrushModeColor = 1,    // every pixel takes the current colour, keeping its transparency
  BrushModeReplace = 2,  // the brush's outside is filled in
};

// The hot spot: the point of the brush that lies under the pointer.
enum BrushHandleModes : std::uint8_t {
  HandleCentre = 0,
  HandleLeftTop = 1,
  HandleRightTop = 2,
  HandleRightBottom = 3,
  HandleLeftBottom = 4,
  HandleModeCount = 5,
};

// The brush state the undo engine keeps with every step of the brush picture, as one block of
// 16 bytes copied as it is.
struct BrushStateBlock {
  std::int16_t PositionX = 0;  // the image position the brush was taken from
  std::int16_t PositionY = 0;
  std::uint32_t Reserved = 0;
  std::uint32_t TransparentColor = 0;  // 0x00RRGGBB standing for outside in a plain image
  std::uint8_t Mode = BrushModePaint;
  std::uint8_t ShapeKind = 0;  // the factory shape: 0 round, 1 square
  std::uint8_t HandleMode = HandleCentre;
  std::uint8_t Spare = 0;
};
static_assert(sizeof(BrushStateBlock) == 16, "the undo steps copy the brush state as 16 bytes");

extern BrushStateBlock BrushState;
// The block's fields by the names the tools use.
extern std::uint8_t& BrushMode;
extern std::uint8_t& BrushHandleMode;
extern std::uint32_t& BrushTransparentColor;

// The word that means "outside the brush" in Brush.
constexpr std::uint32_t BrushOutside = 0xFF000000u;
