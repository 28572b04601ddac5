#pragma once
// The routines through which every tool draws: the clip of DrawView, the brush stamp and its
// feedback, the stroke of a straight segment and of a curve, the thin feedback marks drawn into
// the image or onto the view's canvas, and the repaint of an image rectangle at the zoom.
//
// Feedback that follows the pointer (the brush outline, a rubber line) is drawn into the
// picture's own pixels: the pixels beneath are saved in SavedArea first and put back when the
// feedback is hidden. Lighter marks are drawn with an exclusive-or pen onto the view's canvas
// and erased by invalidating their screen pixels.

#include <cstdint>

#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "vorlen/core/Types.h"

// The feedback colour: one of the library's exclusive-or colours (top byte 0x8F), so a mark
// drawn a second time erases itself.
constexpr std::uint32_t FeedbackColour = 0x8F8F8F8Fu;

// The copy of the image rectangle under the current feedback; its pixels are replaced at each
// save and hold nothing before the first.
extern UDBuffer SavedArea;

// Invalidates that part of the active document's image view at the current zoom (image
// coordinates, x2 and y2 exclusive, any order). Painting happens at the view's next repaint.
void RepaintImageRect(int x1, int y1, int x2, int y2);

// ToolPoint := MousePoint, ToolPointOutside from the active picture's bounds, then the
// current tool's ShowFeedback where the pointer may draw.
void ShowToolFeedback();
// The current tool's HideFeedback when its feedback may be shown (same test as above).
void HideToolFeedback();
// Shows the current tool's StatusText; then, unless a click-made operation waits for its
// next point (ToolPhase 1 while the mouse is captured), hides and shows the feedback.
void RefreshToolStatus(bool hide, bool show);

// Takes the feedback that follows the pointer out of the picture before a command reads it
// (a menu opened, a command key): as when the pointer leaves the image, the next pointer move
// over the image shows it again. Feedback that a tool keeps during its operation stays.
void WithdrawToolFeedback();

// The brush feedback or a single dab: saves the area under the brush, puts the brush there and
// repaints at once. Draws nothing when the save cannot get its memory.
void StampBrush(int x, int y);
// Puts the brush at the point (its hot spot there) without saving, clipping again or
// repainting: the stamp of strokes.
void PutBrush(int x, int y);
// Puts back the area saved by the last StampBrush at that point. The brush and its hot spot
// must not change in between.
void HideBrushAt(int x, int y);

// Stamps the brush along the segment, both ends included, every `spacing` pixels of the walk;
// the first stamp falls after `phase` pixels. Returns the phase for the next segment (add 1.0
// when it starts on this one's end pixel). Repaints the segment's box once.
float StrokeLine(int x1, int y1, int x2, int y2, float spacing, float phase);
// Strokes the quadratic curve from (x0, y0) bent towards (cx, cy) to (x2, y2) in 16 chords,
// with an arrow head at the end for arrow 1 to 4; narrows the active picture's newest undo
// step to what it drew.
void StrokeCurve(int x0, int y0, int cx, int cy, int x2, int y2, float spacing, int arrow);
// Narrows the active picture's newest undo step to what the brush covers when stamped at every
// point of touched.
void NarrowUndoToStamps(const Rect& touched);

// Copies the rectangle (inclusive, any order) of CurrentPicture into SavedArea; false when the
// memory for it cannot be had.
bool SaveImageRect(int x1, int y1, int x2, int y2);
// Copies SavedArea back into CurrentPicture at the rectangle's top-left and repaints; nothing
// when SavedArea holds no pixels.
void RestoreImageRect(int x1, int y1, int x2, int y2);

// Exclusive-or marks drawn into DrawView and repainted (drawing one twice erases it).
void PutFeedbackPixel(int x, int y);
void DrawCrossLines(int x, int y);  // column x and row y across the whole image
void DrawFeedbackRect(int x1, int y1, int x2, int y2);

// Exclusive-or marks on the image view's canvas (image coordinates), and their erasers, which
// invalidate the screen pixels they covered.
void XorCross(int x, int y);
void EraseXorCross(int x, int y);
void XorRect(int x1, int y1, int x2, int y2);
void EraseXorRect(int x1, int y1, int x2, int y2);
// The clone source's X: two diagonals through the image point's screen point, ten pixels each
// way; the eraser invalidates the square round it (the view's next paint draws what is due).
void XorSourceMarker(int x, int y);
void EraseXorSourceMarker(int x, int y);

// The screen rectangles these use, in view pixels, right and bottom exclusive (for tests and
// the erasers): the repaint of an image rectangle, the cross's column and row, and the outline
// of XorRect (left, top, right, bottom inclusive).
Rect RepaintRectOnScreen(int x1, int y1, int x2, int y2, double zoom);
Pair<int> XorCrossScreenPoint(int x, int y, double zoom);
Rect XorRectOnScreen(int x1, int y1, int x2, int y2, double zoom);
