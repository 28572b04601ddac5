#pragma once
// An area of the active picture becomes the brush: a rectangle (RectToBrush) or any mask
// (SelectionToBrush, which in selection mode combines the mask into the selection instead).
// The left button copies the area; the right button cuts it, leaving the background colour.
// The pointer then lies where the new brush, stamped, covers the area it came from.

#include <cstdint>

#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Types.h"

class P_icon;

// The rectangle (inside the picture) as the brush, a brush step named by the tool; the disc
// pen becomes current. On failure "BrTooBig", the brush as it was and the previous tool back.
void RectToBrush(const P_icon& tool, const Rect& r);
// The mask (the active picture's size) as the brush or into the selection, by the setting
// InstBrush. The caller has opened an undo step on the picture.
void SelectionToBrush(BitBuffer& mask);
// A colour (0x00RRGGBB) that none of the first n pixels of BrushShape has, found by the
// least used red, then green, then blue; the background colour when every one is used.
std::uint32_t FindUnusedBrushColor(int n);
// Brush > Get Selection: the selection as the brush (without its pixels of the background
// colour with noBackground); nothing when nothing is selected.
void GetSelectionAsBrush(bool noBackground);
