#pragma once
// The pointer and keyboard state the document windows' input handlers keep and the tools read.

#include <cstdint>

#include "platform/vcl/Control.h"
#include "vorlen/core/Types.h"

// MousePoint when the pointer is over no image.
constexpr int NoMousePoint = -32768;

// The last pointer position in view pixels, before clamping; (-1, -1) when the pointer left.
extern Pair<int> MouseViewPoint;
// The pointer in image pixels: view position / zoom truncated toward zero, after clamping and
// grid snapping; (NoMousePoint, NoMousePoint) when none.
extern Pair<int> MousePoint;
// The shift state of the last mouse or key event (right button: background colour; Alt and
// Ctrl modify tools).
extern TShiftState MouseShift;
// Between a handled press and its release.
extern std::uint8_t MouseCaptured;
// The Shift axis lock: armed when Shift went down over the image, cleared by a mouse event
// without Shift and by every key release.
extern std::uint8_t AxisLockArmed;
// -1 undecided; 1 the y coordinate is held (horizontal movement); 0 the x coordinate is held.
extern int LockedAxis;
// Where Shift went down, and where the press that started a drag was (view pixels).
extern Pair<int> AxisLockAnchor;
extern Pair<int> DragAnchor;
// 0: the colour keys change hue, saturation and value; 1: red, green and blue.
extern std::uint8_t ColourKeysRGB;

// How long a press may last, and how far (view pixels on each axis) the pointer may move, for
// the release to count as a click rather than the end of a drag.
constexpr unsigned ClickTimeMs = 300;
constexpr int ClickSlop = 15;
// How far (view pixels) the pointer must move along one axis, more than along the other, for
// the Shift lock to decide which axis it holds.
constexpr int AxisLockDistance = 5;

// The image point under a view position at a zoom: truncated toward zero.
Pair<int> ViewToImagePoint(int x, int y, double zoom);
// A view coordinate held inside an image side of `size` pixels at a zoom (tools that keep the
// pointer on the image).
int ClampViewCoordinate(int v, int size, double zoom);

// A view position under the Shift axis lock: once the pointer has moved far enough along one
// axis, the other coordinate stays at the anchor's.
Pair<int> ApplyAxisLock(TShiftState shift, int x, int y);
