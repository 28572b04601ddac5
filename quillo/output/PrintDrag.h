#pragma once
// Placing and sizing the picture on the preview with the mouse: what a point on the preview
// hits (a side's midpoint, a corner, the picture, nothing), and what dragging it does to the
// scales and offsets. A corner keeps the proportions the picture had when the button went
// down; the picture never leaves the printable area.

#include "quillo/output/PrintLayout.h"

enum class PrintDragMode {
  None = 0, Move = 1, Left = 2, Right = 3, Top = 4, Bottom = 5,
  TopLeft = 6, BottomLeft = 7, TopRight = 8, BottomRight = 9
};

// What the point (x, y) of the preview hits, tested in the order the handles take.
PrintDragMode HitPicture(const PreviewBox& box, int x, int y);

class PrintDrag {
public:
  PrintDragMode Mode() const { return mode_; }
  // The button went down at (x, y) on the picture w x h: the mode it starts.
  PrintDragMode Begin(const PrintLayoutState& layout, int w, int h, int x, int y);
  // The pointer moved to (x, y) with the button down: new scales and offsets.
  void MoveTo(PrintLayoutState& layout, int w, int h, int x, int y) const;
  void End() { mode_ = PrintDragMode::None; }

private:
  struct Axis {
    bool movingStart = false;  // the left or top edge moves
    int anchor = 0;            // pointer minus the offset in preview pixels
    int farEdge = 0;           // the edge that stays, in printer pixels
    int startPointer = 0;
    double startScale = 0;
  };
  // The moving edge from the pointer, kept inside the printable area and off the other edge.
  static int ClampedEdge(const Axis& axis, int offset, int extentPixels, int printable, int pointer, double previewScale);
  static double ScaleFromEdge(const Axis& axis, int edge, int offset, int extentPixels);
  static int EdgeFromScale(const Axis& axis, double scale, int offset, int extentPixels);
  void MoveSide(const Axis& axis, int pointer, int printable, int pixels, double previewScale, int& offset, double& scale) const;

  PrintDragMode mode_ = PrintDragMode::None;
  Axis x_;
  Axis y_;
  int moveAnchorX_ = 0;
  int moveAnchorY_ = 0;
  double ratio_ = 1;
};
