#pragma once
// The size a shape or selection tool shows in the active document window's status bar while
// the user drags: in inches, centimetres or pixels, by the setting MeasurementUnit and the
// picture's resolution.

#include "platform/rtl/AnsiString.h"

// "[w,h]" in the unit (0 inches, 1 centimetres, 2 pixels) at the resolution in dots per inch.
AnsiString SizeText(int width, int height, int unit, int resolution);
// Shows SizeText of a size (or a signed offset from an anchor) for the active picture.
void ShowSizeInStatus(int width, int height);
// Takes the size off the status bar.
void ClearSizeInStatus();
