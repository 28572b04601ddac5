#pragma once
// What the tool options window's sheets build their controls with.

#include "platform/vcl/Component.h"
#include "platform/vcl/Control.h"
#include "quillo/tools/ToolForm.h"

// A control of a sheet: owned and named by the window, placed on parent (the sheet or a group
// on it) at the bounds given.
template <class T>
T* SheetChild(TToolForm* form, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  auto* control = NewNamedComponent<T>(form, name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}
