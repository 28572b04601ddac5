#pragma once
// Dragging controls with the mouse: a drag starts from BeginDrag (at once, or once the mouse
// has moved past a threshold), asks each control it passes over through DragOver whether it
// would take the drop, shows crDrag or crNoDrop, and ends with DragDrop on the accepting
// control and EndDrag on the source. Escape or the right button cancels it. A dock drag
// (DragKind dkDock) looks for a windowed control that is a DockSite and moves the control
// there.

#include "platform/vcl/Control.h"

class TDragObject : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  TControl* DragTarget() const { return target_; }
  TPoint DragPos() const { return pos_; }
  bool Cancelling() const { return cancelling_; }
  bool Dropped() const { return dropped_; }
  virtual TCursor GetDragCursor(bool accepted, int x, int y);

private:
  friend class TDragController;
  TControl* target_ = nullptr;
  TPoint pos_;
  bool cancelling_ = false;
  bool dropped_ = false;
};

// The drag of one control, as the source the targets see.
class TDragControlObject : public TDragObject {
  QUILLO_DECLARE_CLASS()

public:
  explicit TDragControlObject(TControl* control) : control_(control) {}
  TControl* Control() const { return control_; }
  TCursor GetDragCursor(bool accepted, int x, int y) override;

private:
  TControl* control_;
};

// Framework internals behind TControl::BeginDrag and friends.
void StartDrag(TControl* control, bool immediate, int threshold);
void FinishDrag(TControl* control, bool drop);
bool IsDragging(const TControl* control);
void CancelDragOf(TControl* control);  // the control is going away
// Cancels whatever drag is in progress.
void CancelDrag();
TControl* DragControl();

// Docking: moves control into site (a windowed control that accepts docked controls).
void ManualDock(TControl* control, TWinControl* site);
