#include "ToolFixture.h"

#include "quillo/document/DocumentInput.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/Grid.h"
#include "quillo/tools/ToolObjects.h"

namespace {

std::string NameOf(P_icon* tool) {
  if (!tool) return "null";
  if (auto* logging = dynamic_cast<LoggingTool*>(tool)) return logging->Name();
  return "?";
}

}  // namespace

void LoggingTool::Activate() { log_.push_back(name_ + ".Activate"); }

void LoggingTool::Deactivate(P_icon* next) {
  log_.push_back(name_ + ".Deactivate(" + NameOf(next) + ")");
}

ToolTest::ToolTest() {
  document = NewDocument(64, 48);
  // A press within 100 ms of a window's activation only activates it.
  ui.Advance(500);
  ui.RunUntilIdle();
}

ToolTest::~ToolTest() {
  // The logging tools die with the test: the tool state goes back to the program's start.
  ToolPhase = 0;
  CurrentTool = &PenContTool;
  RememberedTool = nullptr;
  RememberedPaletteEntry = -1;
  PendingTool = nullptr;
  SuspendedTool = nullptr;
  ToolSuspendDepth = 0;
  ToolPointOutside = 1;
  ResetDirtyRect();
  GridTool.PointCount = 0;
  GridDx = GridDy = DefaultGridStep;
  GridPx = GridPy = 0;
}

POINT ToolTest::ViewPoint(int x, int y) const {
  return UiDriver::At(document->ShowBuf->GetHandle(), x, y);
}

void ToolTest::SetZoom(double z) {
  SetZoomFactor(z);
  ApplyZoom();
  // Room for the whole view, so that every view point is on screen.
  document->SetBounds(document->GetLeft(), document->GetTop(), 600, 500);
  ui.RunUntilIdle();
  ui.Advance(500);
  ui.RunUntilIdle();
}

void ToolTest::PointerAway() {
  RECT r;
  GetWindowRect(document->GetHandle(), &r);
  ui.MoveTo(r.right + 20, r.bottom + 20);
  ui.RunUntilIdle();
}
