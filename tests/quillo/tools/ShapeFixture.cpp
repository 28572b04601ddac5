#include "ShapeFixture.h"

#include <string>

#include "platform/vcl/ExtCtrls.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Zoom.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

ShapeToolTest::ShapeToolTest() {
  document = NewDocument(128, 96);
  ui.Advance(500);
  ui.RunUntilIdle();
  form->DrawCol->SetColor(clBlack);
  form->BackCol->SetColor(clWhite);
  MakeFactoryBrush(FactoryShape::Round, 1, 100, 0x000000);
  UpdateBrushShape(false);
  Whiten();
}

ShapeToolTest::~ShapeToolTest() {
  for (P_line* line : {&LineTool, static_cast<P_line*>(&LineContTool)}) line->Options = StrokeOptions();
  for (P_spline* curve : {&SplineTool, static_cast<P_spline*>(&SplineContTool)}) curve->Options = StrokeOptions();
  for (P_elpse* shape : std::initializer_list<P_elpse*>{&CircleTool, &EllipseTool}) {
    shape->DotMode = 0;
    shape->DotValue = 2;
  }
  for (P_fill* fill : std::initializer_list<P_fill*>{&FillSolidTool, &FillPatternTool}) {
    fill->Transparency = fill->Tolerance = 0;
    fill->Shade = fill->EightConnected = 0;
  }
  FillPatternTool.FillPatternMode = PatternAtImageOrigin;
  FillPosTool.FillOrigin = {};
  CustomBrush = false;
  Settings.MeasurementUnit = 0;
}

void ShapeToolTest::Whiten() { document->Picture.Box(document->Picture.rect, 0xFFFFFF); }

void ShapeToolTest::Choose(P_icon* tool) {
  // No feedback is left in the picture from a point handed before.
  MousePoint = {NoMousePoint, NoMousePoint};
  SelectTool(tool, true, -1);
  PointerAway();
}

void ShapeToolTest::Give(int x, int y, bool right) {
  MousePoint = {x, y};
  const double z = GetZoomFactor();
  MouseViewPoint = {static_cast<int>(x * z), static_cast<int>(y * z)};
  MouseShift = right ? TShiftState{ssRight} : TShiftState();
  CurrentTool->AddPoint();
  if (ToolPhase == 0) ToolPhase = CurrentTool->PointCount > 1 ? 1 : 0;
  else if (static_cast<int>(ToolPhase) + 1 < CurrentTool->PointCount) ++ToolPhase;
  else ToolPhase = 0;
}

void ShapeToolTest::ClickAt(int x, int y, int button) {
  const POINT at = ViewPoint(x, y);
  ui.MoveTo(at.x, at.y);
  ui.Click(at.x, at.y, button == 0 ? InputEvent::Left : button);
  ui.RunUntilIdle();
}

void ShapeToolTest::DragUi(Pair<int> from, Pair<int> to, int button) {
  const int b = button == 0 ? InputEvent::Left : button;
  const POINT a = ViewPoint(from.x, from.y);
  const POINT z = ViewPoint(to.x, to.y);
  ui.MoveTo(a.x, a.y);
  ui.MouseDown(a.x, a.y, b);
  ui.MoveTo((a.x + z.x) / 2, (a.y + z.y) / 2);
  ui.MoveTo(z.x, z.y);
  ui.Advance(400);  // a drag, not a click
  ui.MouseUp(z.x, z.y, b);
  ui.RunUntilIdle();
}

PixelSet ShapeToolTest::Painted() const {
  PixelSet painted;
  const UDBuffer& p = document->Picture;
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x)
      if ((*p.At(p.rect.left + x, p.rect.top + y) & 0xFFFFFF) != 0xFFFFFF) painted.insert({x, y});
  return painted;
}

::testing::AssertionResult ShapeToolTest::PaintedIs(const PixelSet& expected) const {
  const PixelSet painted = Painted();
  if (painted == expected) return ::testing::AssertionSuccess();
  std::string extra, missing;
  int extras = 0, missings = 0;
  for (const auto& [x, y] : painted)
    if (!expected.count({x, y}) && extras++ < 12) extra += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
  for (const auto& [x, y] : expected)
    if (!painted.count({x, y}) && missings++ < 12) missing += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
  return ::testing::AssertionFailure() << extras << " painted beyond:" << extra << "; " << missings
                                       << " missing:" << missing;
}

std::uint32_t ShapeToolTest::PixelAt(int x, int y) const {
  const UDBuffer& p = document->Picture;
  return *p.At(p.rect.left + x, p.rect.top + y);
}

PixelSet Of(const Points& points) {
  PixelSet set;
  for (const Pair<int>& p : points) set.insert({p.x, p.y});
  return set;
}

PixelSet Row(int y, int x1, int x2) {
  PixelSet set;
  for (int x = x1; x <= x2; ++x) set.insert({x, y});
  return set;
}
