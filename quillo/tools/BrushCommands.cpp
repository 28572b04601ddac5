#include "quillo/tools/BrushCommands.h"

#include <exception>

#include "platform/user/WinConst.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

namespace {

// Doubling stops at this many pixels a side.
constexpr int kLargestDoubledSide = 16384;

AnsiString HistoryCaption(const char* key, const UndoEntry* newest) {
  AnsiString caption = LangMessage(key);
  if (newest) {
    caption += ' ';
    caption += LangMessage(newest->Description);
  }
  return caption;
}

// A command that changes the brush in one go: the tool aside, a brush step, the change, the
// custom shape.
template <class Change>
void ChangeBrush(const char* key, Change change) {
  ToolSuspension suspension;
  BrushStep step(key);
  // Without its step the brush stays as it was.
  if (!step.Opened()) return;
  change();
  UseCustomBrushShape();
}

}  // namespace

BrushStep::BrushStep(const AnsiString& key, Pixels pixels) : before_(Brush.UndoChain) {
  if (pixels == Pixels::Replaced) Brush.PushReplacedUndo(key);
  else Brush.PushUndo(key);
}

bool BrushStep::Opened() const { return Brush.UndoChain != nullptr && Brush.UndoChain != before_; }

void BrushStep::TakeBack() {
  if (Opened()) Brush.Undo();
}

void UndoBrush() {
  if (!Brush.UndoChain) return;
  ToolSuspension suspension;
  CustomBrush = true;
  Brush.Undo(UDBuffer::RedoRecord::Keep);
  ShowBrushOnSheet();
}

void RedoBrush() {
  if (!Brush.RedoChain) return;
  ToolSuspension suspension;
  CustomBrush = true;
  Brush.Redo();
  ShowBrushOnSheet();
}

AnsiString BrushUndoCaption() { return HistoryCaption("Undo", Brush.UndoChain); }
AnsiString BrushRedoCaption() { return HistoryCaption("Redo", Brush.RedoChain); }

void GetAllAsBrush() {
  UDBuffer* picture = CurrentPicture;
  if (!picture || picture->Empty()) return;
  HideToolFeedback();
  BrushStep step("GetAllBr");
  if (!step.Opened()) {
    ShowToolFeedback();
    return;
  }
  try {
    const std::uint32_t background = BackgroundColour() & 0xFFFFFFu;
    AllocOrThrow(BrushShape, picture->Width(), picture->Height());
    AllocOrThrow(Brush, picture->Width(), picture->Height());
    Brush.Copy(*picture, {-picture->rect.left, -picture->rect.top}, Buffer::kPlain);
    Brush.ChColor(background, BrushOutside);
    Brush.SetMaskAll(false);
    Brush.Resolution = picture->Resolution;
    BrushState.PositionX = BrushState.PositionY = 0;
    BrushTransparentColor = background;
    BrushHandleMode = HandleCentre;
    SetBrushModePaint();
    UseCustomBrushShape();
    TrimBrush();
    SelectTool(&PenDiscTool, false, -1);
  } catch (const std::exception&) {
    LangMessageBox("BrTooBig", "Err", MB_OK | MB_ICONEXCLAMATION);
    step.TakeBack();
    ShowToolFeedback();
  }
}

void HalveBrush(BrushAxes axes) {
  static constexpr const char* kKeys[] = {"HalveBr", "HalveXBr", "HalveYBr"};
  BrushStep step(kKeys[static_cast<int>(axes)]);
  if (!step.Opened()) return;
  ScaleBrush(axes == BrushAxes::Height ? 1.0 : 0.5, axes == BrushAxes::Width ? 1.0 : 0.5);
}

void DoubleBrush(BrushAxes axes) {
  static constexpr const char* kKeys[] = {"DoubleBr", "DoubleXBr", "DoubleYBr"};
  if (axes != BrushAxes::Height && Brush.Width() > kLargestDoubledSide) return;
  if (axes != BrushAxes::Width && Brush.Height() > kLargestDoubledSide) return;
  BrushStep step(kKeys[static_cast<int>(axes)]);
  if (!step.Opened()) return;
  ScaleBrush(axes == BrushAxes::Height ? 1.0 : 2.0, axes == BrushAxes::Width ? 1.0 : 2.0);
}

void MirrorBrush(bool leftToRight) {
  if (leftToRight) ChangeBrush("MirLRBr", MirrorBrushLeftRight);
  else ChangeBrush("MirTBBr", MirrorBrushTopBottom);
}

void RotateBrushQuarterCommand() { ChangeBrush("Rot90Br", RotateBrushQuarter); }
void RotateBrushHalfCommand() { ChangeBrush("Rot180Br", RotateBrushHalf); }

void OutlineBrushCommand() {
  ToolSuspension suspension;
  BrushStep step("OutlineBr");
  if (!step.Opened()) return;
  try {
    OutlineBrush(DrawingColour());
    // One pixel more on every side: the hot spot's corner moves out with the brush's.
    static constexpr int kShiftX[] = {0, -1, 1, 1, -1};
    static constexpr int kShiftY[] = {0, -1, -1, 1, 1};
    if (MousePoint.x != NoMousePoint && BrushHandleMode < HandleModeCount)
      MoveCursorToImagePoint(MousePoint.x + kShiftX[BrushHandleMode], MousePoint.y + kShiftY[BrushHandleMode]);
    TrimBrush();
    UseCustomBrushShape();
  } catch (const std::exception&) {
    // Silently the brush as it was, stamped again.
    step.TakeBack();
    UpdateBrushShape(false);
  }
}

bool DropShadowCommand(int depth, ShadowDirection direction) {
  BrushStep step("ShadBr");
  try {
    CastBrushShadow(depth, direction, DrawingColour());
    TrimBrush();
    UseCustomBrushShape();
    return true;
  } catch (const std::exception&) {
    LangMessageBox("BrTooBig", "Err", MB_OK | MB_ICONEXCLAMATION);
    step.TakeBack();
    ReselectTool(true);
    UseCustomBrushShape();
    return false;
  }
}

void SetBrushHandle(std::uint8_t mode) {
  HideToolFeedback();
  BrushHandleMode = mode < HandleModeCount ? mode : static_cast<std::uint8_t>(HandleCentre);
  ShowToolFeedback();
}
