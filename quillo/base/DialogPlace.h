#pragma once
// The program's small modal dialogs: their caption bar, where they open, and how they stay in
// front while open.

class TBandCaption;
class TForm;

// The dialog's painted caption bar "Cap", in the system's caption colours.
TBandCaption* MakeDialogCaption(TForm* dialog, const char* title);

// At the remembered place, or the first time (left -1) centred on the work area and kept
// inside it.
void PlaceDialog(TForm* dialog, int rememberedLeft, int rememberedTop);
// A dialog that has lost the activation comes to the front again, unless its answer is given
// and it is going.
void KeepDialogInFront(TForm* dialog);
