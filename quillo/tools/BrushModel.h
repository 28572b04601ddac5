#pragma once
// The brush the painting tools stamp: the globals that describe it, the hot spot (the point of
// the brush under the pointer), the rebuilding of BrushShape (the brush as stamped, recoloured
// for the brush mode and with its transparency shifted) from Brush (the brush as the user made
// it), and stepping the hot spot round the corners.

#include <cstdint>

#include "quillo/document/BrushState.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/core/Types.h"

class TImageForm;

// The brush sheet's transparency position, 0 to 100; 50 leaves the brush's own transparency.
extern int BrushTransparency;
// The factory brush size remembered while the one-pixel pen is on.
extern int SavedBrushSize;

// The offset of the hot spot from the top-left pixel of a brush of that size in that mode.
Pair<int> HotSpotOffset(int width, int height, int handleMode);
// The same for BrushShape and BrushHandleMode: subtracted from a point it gives the corner
// where the brush is stamped.
Pair<int> BrushHotSpot();

// The rectangle covered by BrushShape stamped at every point of rect.
Rect GrownByBrush(const Rect& rect);

// Whether the brush is a custom one rather than the factory brush: the brush sheet's "Custom
// Shape" box sets it and shows it; the pattern fill tiles only a custom brush.
extern bool CustomBrush;

// The end of every command that makes or changes the brush: the custom shape is chosen and
// BrushShape rebuilt from Brush. (The brush sheet routes its Custom Shape box through here.)
void UseCustomBrushShape();
// The brush sheet shows the brush settings, the shape choice and the preview anew.
void ShowBrushOnSheet();

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

// The paint mode: the brush stamps its own colours.
void SetBrushModePaint();
// The replace mode: the brush's outside is filled in. Only a custom brush has one; with the
// factory brush nothing changes.
void SetBrushModeReplace();
// The colour mode, the one the program starts in: the brush paints in the drawing colour,
// keeping its own transparency. The active document window shows the mode and the menu checks
// it.
void SetBrushModeColor();
// Shows the abbreviation of the present brush mode on a document window's status bar.
void ShowBrushMode(TImageForm* window);

// Hides the tool feedback, moves the hot spot to the next corner (centre, left-top,
// right-top, right-bottom, left-bottom, centre ...) and shows the feedback again.
void CycleBrushHandle();

// Crops Brush to its content (the pixels other than BrushOutside) when the setting OptimBrush
// is on, and moves the pointer so that the brush keeps its place on the image. A brush with
// no content keeps its bottom-right pixel.
void TrimBrush();

// The rectangle (from 0, 0) that TrimBrush crops a picture to: the rows and columns between
// the first and last that hold a pixel other than BrushOutside; a picture without such a pixel
// gives its bottom-right pixel.
Rect BrushContentBounds(const Buffer& picture);

// Brush := BrushShape (where a transform built its result), cropped to its content and the
// pointer moved as TrimBrush does when OptimBrush is on: the copy and the crop in one. The
// caller rebuilds the shape (UseCustomBrushShape).
void BrushFromShapeTrimmed();

// The one-pixel pen: the colour mode and a factory brush of one pixel; pressed again, the
// factory size it replaced. A single or dotted pen gives way to the continuous pen.
void TogglePixelPen();
