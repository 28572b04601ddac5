#pragma once
// The colour keys of a document window: Shift with PgUp/Home, Right/Left and PgDn/End step the
// drawing colour's hue, saturation and value (or, in RGB mode, its red, green and blue) by one;
// Shift+Up swaps the drawing and background colours; Shift+Down switches between the two
// modes (ColourKeysRGB, DocumentInput.h). The values show in the status bar.

#include <cstdint>

class TImageForm;

// Steps component 0, 1 or 2 (hue or red, saturation or green, value or blue) by delta; the hue
// goes round between 0 and 359, the others stop at 0 and 255.
void StepDrawingColour(TImageForm& window, int component, int delta);
// The drawing and background colours change places, with their hue, saturation and value.
void SwapColours();
// The other mode, its values shown at once.
void FlipColourKeysMode(TImageForm& window);
