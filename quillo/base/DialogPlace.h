#pragma once
// The program's small modal dialogs: their caption bar, where they open, and how they stay in
// front while open.

#include "platform/vcl/Form.h"

class TBandCaption;

// The dialog's painted caption bar "Cap", in the system's caption colours.
TBandCaption* MakeDialogCaption(TForm* dialog, const char* title);

// At the remembered place, or the first time (left -1) centred on the work area and kept
// inside it.
void PlaceDialog(TForm* dialog, int rememberedLeft, int rememberedTop);
// A dialog that has lost the activation comes to the front again, unless its answer is given
// and it is going.
void KeepDialogInFront(TForm* dialog);

// What the small dialogs that stay above the program's windows start with: the name, the
// border, stay-on-top, key preview, the help topic, the face colour and font, the caption.
void SetUpStayOnTopDialog(TForm* dialog, const char* name, const char* caption, TFormBorderStyle border,
                          int helpContext);
// A control of the dialog, named, on parent at the bounds given.
template <class T>
T* DialogControl(TForm* dialog, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  auto* control = NewNamedComponent<T>(dialog, name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}
