#pragma once
// Where the program's small modal dialogs open, and how they stay in front while open.

class TForm;

// At the remembered place, or the first time (left -1) centred on the work area and kept
// inside it.
void PlaceDialog(TForm* dialog, int rememberedLeft, int rememberedTop);
// A dialog that has lost the activation comes to the front again, unless its answer is given
// and it is going.
void KeepDialogInFront(TForm* dialog);
