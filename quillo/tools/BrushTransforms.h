#pragma once
// The transforms of the brush as a whole: scaling by factors (halve, double), turning by any
// angle about its true centre, mirroring, quarter and half turns, the one-pixel outline and
// the drop shadow. Each works on Brush, uses BrushShape as its scratch picture and leaves
// BrushShape at Brush's size; the caller opens the brush's undo step first and rebuilds the
// stamped shape afterwards (UseCustomBrushShape), unless said otherwise.

#include <cstdint>

#include "vorlen/core/Buffer.h"
#include "vorlen/core/Types.h"

class UDBuffer;

// Allocates the picture at the size through BrushAllocPicture (UDBuffer::Reshape: the brush
// pictures keep a block that fits, the pixels to be written anew); the library's quiet
// failure (no pixels) is thrown as std::bad_alloc, so that a command's handler sees it.
void AllocOrThrow(UDBuffer& picture, int width, int height);
// How the brush commands allocate the pictures they build (UDBuffer::Alloc); tests put one in
// that fails.
using BrushPictureAllocator = void (*)(UDBuffer& picture, int width, int height);
extern BrushPictureAllocator BrushAllocPicture;

// Brush := BrushShape, plainly, at BrushShape's size: where a transform built its result.
void BrushFromShape();

// The size of a w x h brush turned by angle (radians). A quarter or half turn given as a
// float keeps the exact sides: the rounding error of the angle never loses a row.
Pair<int> RotatedSize(int width, int height, double angle);

// Draws source turned by angle (radians, counter-clockwise on the screen) about its true
// centre into the box of target at (left, top) of size box, its centre on the box's centre,
// each pixel averaged from 2 x 2 samples and composited over target by transparency. Pixels
// of the box whose samples all miss the source are left alone, or with Missed::Outside made
// outside (BrushOutside), the box then taken as holding nothing before.
enum class Missed { Kept, Outside };
void DrawRotated(Buffer& target, const Buffer& source, double angle, Pair<int> corner, Pair<int> box,
                 Missed missed = Missed::Kept);

// Scales the brush by the factors (trunc of each side, at least one pixel), without
// averaging, composited through the transparent colour; what nothing of the brush reaches is
// outside. A brush scaled down to nothing becomes one opaque pixel of the drawing colour.
// The tool stands aside meanwhile; crops and rebuilds the shape itself (TrimBrush,
// UseCustomBrushShape).
void ScaleBrush(double fx, double fy);

// Turns the brush by angle about its true centre onto its rotated size. The caller crops and
// rebuilds the shape.
void TransformBrush(float angle);
// The same turn built in BrushShape only, Brush left as it was: for a caller that takes the
// brush from the shape itself (BrushFromShapeTrimmed).
void TurnBrushIntoShape(float angle);

// Mirror and quarter / half turns, in place or onto the turned size.
void MirrorBrushLeftRight();
void MirrorBrushTopBottom();
void RotateBrushQuarter();  // counter-clockwise on the screen: pixel (x, y) to (y, W - 1 - x)
void RotateBrushHalf();

// Grows the brush by one pixel on every side and puts colour (0x00RRGGBB) on each outside
// pixel 4-connected to the brush's content: an outline exactly one pixel wide.
void OutlineBrush(std::uint32_t colour);

// Where the drop shadow falls.
enum class ShadowDirection { East = 0, SouthEast = 1, South = 2, SouthWest = 3 };
// Enlarges the brush by depth in the direction and puts under it a shadow of its shape in
// colour (0x00RRGGBB, opaque), depth pixels away.
void CastBrushShadow(int depth, ShadowDirection direction, std::uint32_t colour);
