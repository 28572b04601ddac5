#pragma once
// The arithmetic of a dock, apart from any window: the row layout of its toolbars (blank
// rows removed, full-size toolbars alone on their rows, three passes that keep toolbars in
// order, inside the dock and unoverlapped), the mapping of a coordinate across the rows to
// a row while a toolbar is dragged, and the drop zone and floating outline of a drag.

#include <vector>

#include "platform/vcl/Types.h"

namespace tbx {

// One toolbar as the dock's layout sees it.
struct DockBar {
  int id = 0;            // the caller's handle on the toolbar
  int row = 0;           // DockRow
  int pos = -1;          // DockPos
  int length = 0;        // size along the dock (Width on a horizontal dock, Height on a vertical one)
  int barSize = 0;       // thickness it asks for (GetBarSize)
  bool fullSize = false;
  bool visible = true;   // visible on the dock
};

struct DockLayoutOptions {
  int availableLength = 0;  // the dock's inner length
  bool vertical = false;    // a left or right dock
  bool limitToOneRow = false;
  bool clipPositions = false;  // store the clipped positions as the toolbars' DockPos
};

struct DockLayoutResult {
  std::vector<int> rowSizes;  // one per row, 0 for an empty row
  // Per bar, in the sorted order of bars: the bounds in the dock's client area (only for
  // visible bars; others are left empty).
  std::vector<TRect> bounds;
  int thickness = 0;  // the total of the row extents
};

// Steps 7 to 17 of an arrange: renumbers rows (one row, blank rows, full-size rule), sorts
// bars by row then position, sizes the rows, runs the three passes and places the bars.
// bars is left sorted, with its rows and positions as the dock keeps them.
DockLayoutResult ArrangeDockBars(std::vector<DockBar>& bars, const DockLayoutOptions& options);

// Moves the rows above each empty row one row in (a second blank row in a row stays until
// the next arrange).
void RemoveBlankRows(std::vector<DockBar>& bars);
// Every bar on beforeRow or beyond moves one row out.
void InsertRowBefore(std::vector<DockBar>& bars, int beforeRow);
int HighestRow(const std::vector<DockBar>& bars);

// The row a coordinate across the rows falls in while a toolbar is dragged; before is set
// when it falls between rows (a new row opens before the result).
int GetRowOf(const std::vector<int>& rowSizes, int highestRow, int xy, bool& before);

// A drag's drop zone: where the outline of a bar of newSize stands when the cursor keeps its
// proportional place in a bar grabbed at grabOffset of startSize, and whether the dock
// (its window rectangle on the screen) takes it.
struct DropZoneInput {
  TPoint cursor;
  TPoint grabOffset;
  TPoint startSize;
  TPoint newSize;
  TRect dockRect;
  bool vertical = false;  // a left or right dock
};
TPoint ProportionalTopLeft(TPoint cursor, TPoint grabOffset, TPoint startSize, TPoint newSize);
bool DropZoneAccepts(const DropZoneInput& in, TRect& outline);

// The floating outline when no dock takes the bar: the cursor is kept on the monitor, the
// outline placed the same proportional way and kept at least partly on the monitor, its
// caption not above it.
TRect FloatingOutline(TPoint cursor, TPoint grabOffset, TPoint startSize, TPoint floatSize, const TRect& monitor,
                      TPoint border, int captionHeight);

}  // namespace tbx
