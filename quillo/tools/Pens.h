#pragma once
// The freehand pens: the continuous pen (a stroke without gaps), the dotted pen (one dab at
// each sampled pointer position) and the single-dab pen (one dab per press). They share
// P_pen and differ only in DrawSegment.

#include "quillo/tools/Tool.h"

class P_pen : public P_icon {
public:
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;
  bool KeepsRowsForUndo() const override { return true; }

  // Draws the segment from (x1, y1) to (x2, y2); true when that completes the operation.
  virtual bool DrawSegment(int x1, int y1, int x2, int y2) = 0;

  // The image point where the previous segment ended.
  int LastX = 0;
  int LastY = 0;
  // 1 when the first point already completed the operation.
  std::uint8_t SingleDone = 0;

protected:
  explicit P_pen(const ToolTraits& traits) : P_icon(traits) {}

private:
  // The end of a stroke: the change counted, the brush back in the drawing colour, the undo
  // step narrowed to the brush stamps at every point of touched.
  void FinishStroke(const Rect& touched);
};

// Every pixel of the walk from one point to the next.
class P_pen_cont : public P_pen {
public:
  explicit P_pen_cont(const ToolTraits& traits) : P_pen(traits) {}
  bool DrawSegment(int x1, int y1, int x2, int y2) override;
};

// One dab at the end of each segment only.
class P_pen_disc : public P_pen {
public:
  explicit P_pen_disc(const ToolTraits& traits) : P_pen(traits) {}
  bool DrawSegment(int x1, int y1, int x2, int y2) override;
};

// One dab at the press; the operation ends there.
class P_pen_one : public P_pen {
public:
  explicit P_pen_one(const ToolTraits& traits) : P_pen(traits) {}
  bool DrawSegment(int x1, int y1, int x2, int y2) override;
};
