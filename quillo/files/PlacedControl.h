#pragma once
// A control made, named, placed and put on its parent in one call, as a form's constructor
// builds its components.

#include "platform/vcl/WinControl.h"

template <class T>
T* PlacedControl(TComponent* owner, const char* name, TWinControl* parent, int left, int top, int width, int height) {
  T* c = NewNamedComponent<T>(owner, name);
  c->SetBounds(left, top, width, height);
  c->SetParent(parent);
  return c;
}
