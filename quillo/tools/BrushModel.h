#pragma once
// The brush the painting tools stamp: the globals that describe it, the hot spot (the point of
// the brush under the pointer), the rebuilding of BrushShape (the brush as stamped, recoloured
// for the brush mode and with its transparency shifted) from Brush (the brush as the user made
// it), and stepping the hot spot round the corners.

#include <cstdint>

#include "vorlen/core/Types.h"

class TImageForm;

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

// The brush sheet's transparency position, 0 to 100; 50 leaves the brush's own transparency.
extern int BrushTransparency;
// The factory brush size remembered while the one-pixel pen is on.
extern int SavedBrushSize;

// The offset of the hot spot from the top-left pixel of a brush of that size in that mode.
Pair<int> HotSpotOffset(int width, int height, int handleMode);
// The same for BrushShape and BrushHandleMode: subtracted from a point it gives the corner
// where the brush is stamped.
Pair<int> BrushHotSpot();

// Rebuilds BrushShape (already of Brush's size) from Brush for the brush mode and the
// transparency position, with the drawing colour, or with the background colour when
// background is set (the right mouse button).
void UpdateBrushShape(bool background);
// The same with the colours given (0x00RRGGBB), for callers that know them.
void UpdateBrushShapeWith(std::uint32_t drawColour, std::uint32_t backColour, bool background);

// The drawing and background colours of the main window's swatches as 0x00RRGGBB (black and
// white when there is no main window).
std::uint32_t DrawingColour();
std::uint32_t BackgroundColour();

// The colour mode, the one the program starts in: the brush paints in the drawing colour,
// keeping its own transparency. The active document window shows the mode and the menu checks
// it.
void SetBrushModeColor();
// Shows the abbreviation of the present brush mode on a document window's status bar.
void ShowBrushMode(TImageForm* window);

// Hides the tool feedback, moves the hot spot to the next corner (centre, left-top,
// right-top, right-bottom, left-bottom, centre ...) and shows the feedback again.
void CycleBrushHandle();
