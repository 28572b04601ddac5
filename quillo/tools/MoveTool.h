#pragma once
// The move tool: dragging moves the active picture's selection (its mask and outline), not
// the pixels under it. A part moved off the picture is lost. The moves of one activation of
// the tool are one undo step, opened at the first drag and narrowed once, to every place the
// selection has been, when the tool is left.

#include "quillo/tools/Tool.h"

class UDBuffer;
class UndoEntry;

class P_move : public P_icon {
public:
  explicit P_move(const ToolTraits& traits) : P_icon(traits) {}
  void ShowFeedback() override;
  void AddPoint() override;
  void Activate() override;
  void Deactivate(P_icon* next) override;

  int LastX = 0;  // the point as far as which the mask has been moved
  int LastY = 0;
  int StartX = 0;  // where the drag began
  int StartY = 0;

private:
  // Shifts the mask and the bounds to ToolPoint; false when the memory for it is missing.
  bool MoveSelectionTo();
  void Finish();
  void CloseStep();
  // touched_ grows to the picture's selection bounds.
  void Touch(const UDBuffer& picture);

  UDBuffer* stepPicture_ = nullptr;  // the picture whose step this activation opened
  const UndoEntry* step_ = nullptr;
  bool moved_ = false;
  // The present press's step could not be opened: the press moves nothing.
  bool refused_ = false;
  Rect touched_;  // every place the selection has been since the step was opened
};

// Recomputes the picture's selection bounds from its mask.
void RecomputeSelectionBounds(UDBuffer& picture);
