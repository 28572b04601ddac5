#pragma once
// The main window's zoom control holds the zoom of the active document. Positions 1 to 32
// are the factors 1 to 32; positions 0 to -8 are the fractions 3/4 down to 1/10. This file
// reads and sets the control, applies its zoom to the active document and activates
// documents. The control itself is the main window's, reached through the document host.

#include <cstdint>

#include "quillo/base/ZoomPresets.h"
#include "vorlen/core/Types.h"

class UDBuffer;

// The zoom control's position (1 without a control) and setting it.
int ZoomPosition();
void SetZoomPosition(int position);
// The zoom control's current factor, position and packed zoom.
double GetZoomFactor();
// Sets the control to the position for z; answers the factor chosen.
double SetZoomFactor(double z);
std::uint32_t GetPackedZoom();

// The active document window's zoom factor; 1 without one.
double ActiveZoom();

// Applies the control's zoom to the active document, keeping the point under the mouse (or
// the centre of the window) still.
void ApplyZoom();

// Makes document window index the active one: current picture, zoom, status, caption
// colours. Nothing happens when it is already active.
void MakeDocumentActive(int index);

// Re-makes DrawView over CurrentPicture: with the setting Clipping on, over the visible part
// of the image; else over the whole picture. The view keeps the image's coordinates.
void SetDrawViewClip();
// The part of picture an operation without a selection works on: the drawing view made anew
// (with the setting Clipping on, the visible part of the image) when picture is the current
// one and part of it shows; else the whole picture. Inclusive, in image coordinates.
Rect DrawViewArea(UDBuffer& picture);
