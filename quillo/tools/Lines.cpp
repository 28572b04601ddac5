// The line and curve tools. While a segment or curve is being placed, its rubber feedback is
// drawn into the picture in the exclusive-or colour, so drawing it again takes it away; the
// options are read anew only when the feedback is shown, so hiding always draws what showing
// drew. A continuous tool opens the next segment's undo step itself as each one ends.

#include "quillo/tools/Lines.h"

#include <algorithm>
#include <cstdlib>

#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/SizeStatus.h"
#include "quillo/tools/ToolHost.h"

namespace {

constexpr double kBarbAngles[] = {-30.0, 30.0};

int StraightLength(Pair<int> a, Pair<int> b) { return std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)); }

bool ValidArrow(int arrow) { return arrow >= 1 && arrow <= 4; }

// The exclusive-or marks of a dotted line, repainted.
void DottedFeedbackLine(Pair<int> from, Pair<int> to, float period) {
  DrawDottedLine(DrawView, from.x, from.y, to.x, to.y, period, 1.0f);
  RepaintImageRect(std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x) + 1,
                   std::max(from.y, to.y) + 1);
}

bool RightButton() { return MouseShift.Contains(ssRight); }

// A continuous tool's next segment gets its own undo step, as a press would open it.
bool OpenNextSegmentStep(const AnsiString& key) { return CurrentPicture && CurrentPicture->PushUndo(key); }

}  // namespace

float StrokeSpacing(int mode, int value, float length) {
  switch (mode) {
    case 1:
      return static_cast<float>(std::max(value, 1));
    case 2:
      // A single stamp: the next would fall past the end.
      if (value < 2) return length + 2.0f;
      return length / static_cast<float>(value - 1);
    default:
      return 1.0f;
  }
}

int CurveLength(Pair<int> start, Pair<int> control, Pair<int> end) {
  int length = 0;
  Pair<int> previous = start;
  for (int i = 1; i <= CurveChords; ++i) {
    const Pair<int> p = CurveChordPoint(start, control, end, i);
    length += StraightLength(previous, p);
    previous = p;
  }
  return length;
}

Pair<int> CurveControlPoint(Pair<int> start, Pair<int> end, Pair<int> middle) {
  return {2 * middle.x - (start.x + end.x) / 2, 2 * middle.y - (start.y + end.y) / 2};
}

void StrokeOptions::Read() {
  SpacingMode = static_cast<int>(GetOptionValue(0));
  SpacingValue = static_cast<int>(GetOptionValue(1));
  Arrow = static_cast<int>(GetOptionValue(2));
}

void StrokeOptions::Write() const {
  SetOptionValue(0, SpacingMode);
  SetOptionValue(1, SpacingValue);
  SetOptionValue(2, Arrow);
  for (int n = 0; n < 3; ++n) SetOptionEvent(n, TheToolHost().LineParamChange());
}

// ---------------------------------------------------------------------------------------
// Lines

void P_line::Activate() {
  SetStatusText("LnStr");
  Options.Write();
}

void P_line::Deactivate(P_icon*) { Options.Read(); }

void P_line::BeginAt(Pair<int> point) {
  SetStatusText("LnEnd");
  StartX = point.x;
  StartY = point.y;
}

void P_line::ShowFeedback() {
  if (ToolPhase == 0) {
    StampBrush(ToolPoint.x, ToolPoint.y);
    return;
  }
  ShowSizeInStatus(ToolPoint.x - StartX, ToolPoint.y - StartY);
  Options.Read();
  HideFeedback();
}

void P_line::HideFeedback() {
  if (ToolPhase == 0) {
    HideBrushAt(ToolPoint.x, ToolPoint.y);
    return;
  }
  SetDrawViewClip();
  const Pair<int> start{StartX, StartY};
  if (ValidArrow(Options.Arrow))
    for (const double angle : kBarbAngles)
      DottedFeedbackLine(ArrowHeadPoint(ToolPoint, start, angle, ArrowSizes[Options.Arrow - 1]), ToolPoint, 1.0f);
  const float spacing =
      StrokeSpacing(Options.SpacingMode, Options.SpacingValue, static_cast<float>(StraightLength(start, ToolPoint)));
  DottedFeedbackLine(start, ToolPoint, spacing);
}

void P_line::AddPoint() {
  ToolPoint = MousePoint;
  if (ToolPhase == 0) {
    BeginAt(ToolPoint);
    return;
  }
  DrawSegment(ToolPoint);
  if (!IsContinuous()) return;
  // Without a step for the next segment the chain ends here.
  if (!OpenNextSegmentStep(Key)) return;
  ToolPhase = 0;
  BeginAt(ToolPoint);
}

void P_line::DrawSegment(Pair<int> end) {
  const bool right = RightButton();
  const Pair<int> start{StartX, StartY};
  Options.Read();
  ClearSizeInStatus();
  UpdateBrushShape(right);
  const float spacing =
      StrokeSpacing(Options.SpacingMode, Options.SpacingValue, static_cast<float>(StraightLength(start, end)));
  ResetDirtyRect();
  if (ValidArrow(Options.Arrow)) {
    for (const double angle : kBarbAngles) {
      const Pair<int> barb = ArrowHeadPoint(end, start, angle, ArrowSizes[Options.Arrow - 1]);
      StrokeLine(barb.x, barb.y, end.x, end.y, 1.0f, 1.0f);
      ExtendDirtyRect(barb.x, barb.y, end.x, end.y);
    }
  }
  StrokeLine(start.x, start.y, end.x, end.y, spacing, 1.0f);
  ExtendDirtyRect(start.x, start.y, end.x, end.y);
  NarrowUndoToStamps(DirtyRect);
  if (right) UpdateBrushShape(false);
  MarkPictureChanged();
}

// ---------------------------------------------------------------------------------------
// Curves

void P_spline::Activate() {
  SetStatusText("SplnStr");
  Options.Write();
}

void P_spline::Deactivate(P_icon*) { Options.Read(); }

void P_spline::BeginAt(Pair<int> point) {
  SetStatusText("SplnEnd");
  StartX = point.x;
  StartY = point.y;
}

void P_spline::ShowFeedback() {
  if (ToolPhase == 0) {
    StampBrush(ToolPoint.x, ToolPoint.y);
    return;
  }
  if (ToolPhase != 2) ShowSizeInStatus(ToolPoint.x - StartX, ToolPoint.y - StartY);
  Options.Read();
  HideFeedback();
}

void P_spline::HideFeedback() {
  if (ToolPhase == 0) {
    HideBrushAt(ToolPoint.x, ToolPoint.y);
    return;
  }
  SetDrawViewClip();
  const Pair<int> start{StartX, StartY};
  if (ToolPhase != 2) {
    const float spacing =
        StrokeSpacing(Options.SpacingMode, Options.SpacingValue, static_cast<float>(StraightLength(start, ToolPoint)));
    DottedFeedbackLine(start, ToolPoint, spacing);
    return;
  }
  const Pair<int> end{EndX, EndY};
  const Pair<int> control = CurveControlPoint(start, end, ToolPoint);
  const float spacing = StrokeSpacing(Options.SpacingMode, Options.SpacingValue,
                                      static_cast<float>(CurveLength(start, control, end)) - 0.05f);
  const Rect head =
      DrawCurvePreview(DrawView, start.x, start.y, control.x, control.y, end.x, end.y, spacing, Options.Arrow);
  // The curve lies inside the box of its three points.
  RepaintImageRect(std::min({start.x, control.x, end.x}), std::min({start.y, control.y, end.y}),
                   std::max({start.x, control.x, end.x}) + 1, std::max({start.y, control.y, end.y}) + 1);
  if (!head.Empty()) RepaintImageRect(head.left, head.top, head.right + 1, head.bottom + 1);
}

void P_spline::AddPoint() {
  ToolPoint = MousePoint;
  switch (ToolPhase) {
    case 0:
      BeginAt(ToolPoint);
      return;
    case 2:
      break;
    default:
      // The end: the second click, or the release of the drag from the start.
      SetStatusText("SplnCtr");
      EndX = ToolPoint.x;
      EndY = ToolPoint.y;
      ClearSizeInStatus();
      return;
  }
  DrawCurve(ToolPoint);
  if (!IsContinuous()) return;
  if (!OpenNextSegmentStep(Key)) return;
  ToolPhase = 0;
  ToolPointOutside = 1;
  BeginAt(Pair<int>(EndX, EndY));
}

void P_spline::DrawCurve(Pair<int> middle) {
  const bool right = RightButton();
  const Pair<int> start{StartX, StartY}, end{EndX, EndY};
  Options.Read();
  UpdateBrushShape(right);
  const Pair<int> control = CurveControlPoint(start, end, middle);
  const float spacing = StrokeSpacing(Options.SpacingMode, Options.SpacingValue,
                                      static_cast<float>(CurveLength(start, control, end)) - 0.05f);
  StrokeCurve(start.x, start.y, control.x, control.y, end.x, end.y, spacing, Options.Arrow);
  if (right) UpdateBrushShape(false);
  MarkPictureChanged();
}
