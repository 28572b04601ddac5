#pragma once
// Where arranged windows go inside an area of their parent's client: tiles, a cascade, and
// the slots of minimised windows along the bottom. Pure geometry, so the rules can be read
// (and tested) apart from the windows they move.

#include <vector>

#include "platform/user/User.h"

// Tiles for `count` windows that overlap none and cover the area. The windows go in lines:
// columns side by side, or with `horizontal` rows one above the other. A line holds
// k = floor(sqrt(count)) windows, there are count / k lines, and the last line takes what is
// left over. Line i spans [i * L / lines, (i + 1) * L / lines) of the area's length L across
// the lines, and so do the windows within a line along it. The first window is at the top
// left; columns fill top to bottom, rows left to right.
std::vector<RECT> TileRects(const RECT& area, int count, bool horizontal);

// The cascade's step: a caption and a frame, so the title bar and the left border of every
// window behind stay visible.
int CascadeStep();
// Place k of a cascade over the area (k = 0 is the bottom of the stack, at the top left
// corner). Every window has the area's size less `s` steps, where s = min(width, height) /
// (3 * step); window k sits (k mod (s + 1)) steps down and right, so none reaches outside.
RECT CascadeRect(const RECT& area, int k);

// Slot i of the minimised windows: rows of SM_CXMINSPACING x SM_CYMINSPACING cells from the
// bottom left corner, left to right, then the row above.
int IconSlotsPerRow(const RECT& area);
RECT IconSlotRect(const RECT& area, int slot);

// The part of a parent's client area that its minimised windows are laid out on (the work
// area for top-level windows), in the children's coordinates.
RECT IconArea(HWND parent);
// Where the window goes when it is minimised: the first slot no other minimised sibling covers.
RECT FreeIconSlot(HWND window);
// The height the rows of the parent's minimised, visible children take at the bottom of its
// client area once arranged; 0 with none.
int IconRowsHeight(HWND parent);
