// The main window's handlers of the tools' option bars.

#include "quillo/shell/MainForm.h"

#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolObjects.h"

void TMainForm::LineParamChange(TObject*) { RefreshToolStatus(true, true); }

void TMainForm::FillBarFlagChange(TObject*) {
  if (auto* fill = dynamic_cast<P_fill*>(CurrentTool)) fill->Shade = GetOptionValue(3) != 0 ? 1 : 0;
}

void TMainForm::FillPosModeChange(TObject*) { FillPatternTool.FillPatternMode = static_cast<int>(GetOptionValue(5)); }

void TMainForm::SetFillOrigin(TObject*) { SelectTool(&FillPosTool, true, -1); }

void TMainForm::ResizeSprayClick(TObject*) { SelectTool(&ResizeSprayTool, true, -1); }
