#pragma once
// The tool palette driven as a user drives it: the pointer on a button's centre, a click, or a
// press held on the manual clock (500 ms opens a group's icon panel).

#include "platform/vcl/Control.h"
#include "support/UiDriver.h"

inline POINT CentreOf(const TControl* control) {
  const TPoint p = control->ClientToScreen(TPoint(control->GetWidth() / 2, control->GetHeight() / 2));
  return POINT{p.x, p.y};
}

inline void ClickOnCentre(UiDriver& ui, const TControl* control) {
  const POINT p = CentreOf(control);
  ui.MoveTo(p.x, p.y);
  ui.Click(p.x, p.y);
  ui.RunUntilIdle();
}

inline void HoldOnCentre(UiDriver& ui, const TControl* control, DWORD ms = 500) {
  const POINT p = CentreOf(control);
  ui.MoveTo(p.x, p.y);
  ui.MouseDown(p.x, p.y);
  ui.Advance(ms);
  ui.MouseUp(p.x, p.y);
  ui.RunUntilIdle();
}
