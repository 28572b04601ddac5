#pragma once
// The line and curve tools: a straight segment, a chain of segments, a quadratic curve through
// a middle point, and a chain of curves, each stroked with the brush, solid or spaced, with an
// optional arrow head at the end. Both families share one option bar layout: 0 the spacing
// mode, 1 the spacing value, 2 the arrow head.

#include "quillo/tools/Tool.h"

// The stamp distance of a spacing mode: 0 solid, 1 every `value` pixels, 2 `value` stamps
// spread over a stroke of `length` (one stamp only, at the start, for fewer than two).
float StrokeSpacing(int mode, int value, float length);
// The sum of the major-axis lengths of the curve's chords.
int CurveLength(Pair<int> start, Pair<int> control, Pair<int> end);
// The control point that makes the curve from start to end pass through middle at its middle.
Pair<int> CurveControlPoint(Pair<int> start, Pair<int> end, Pair<int> middle);

// The options the line and curve tools keep between activations.
struct StrokeOptions {
  int SpacingMode = 0;
  int SpacingValue = 2;
  int Arrow = 0;  // 0 none, 1 to 4 the barb length

  // From the option bar, and into it with the main window's change handler.
  void Read();
  void Write() const;
};

class P_line : public P_icon {
public:
  explicit P_line(const ToolTraits& traits) : P_icon(traits) {}
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;
  void Deactivate(P_icon* next) override;
  // Each segment starts where the last ended, until another tool is chosen.
  virtual bool IsContinuous() const { return false; }

  int StartX = 0;
  int StartY = 0;
  StrokeOptions Options;

private:
  void BeginAt(Pair<int> point);
  void DrawSegment(Pair<int> end);
};

class P_line_cont : public P_line {
public:
  explicit P_line_cont(const ToolTraits& traits) : P_line(traits) {}
  bool IsContinuous() const override { return true; }
};

class P_spline : public P_icon {
public:
  explicit P_spline(const ToolTraits& traits) : P_icon(traits) {}
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;
  void Deactivate(P_icon* next) override;
  virtual bool IsContinuous() const { return false; }

  int StartX = 0;
  int StartY = 0;
  int EndX = 0;
  int EndY = 0;
  StrokeOptions Options;

private:
  void BeginAt(Pair<int> point);
  void DrawCurve(Pair<int> middle);
};

class P_spline_cont : public P_spline {
public:
  explicit P_spline_cont(const ToolTraits& traits) : P_spline(traits) {}
  bool IsContinuous() const override { return true; }
};
