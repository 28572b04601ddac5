#pragma once
// What the formula filter dialogs' host forms share: a form that is never seen and lends one
// panel, the entry chooser at the same place on both, and labels that end at a fixed right
// edge whatever text a file puts into them.

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Form.h"

class TLabel;
class TPanel;
class TScrollBar;

// Names the form and gives it the panel's size and the dialogs' font.
void SetUpHostForm(TForm* form, const char* name, int width, int height);
// The panel lent to the dialog: Panel1, filling the form.
TPanel* MakeLentPanel(TForm* form, int width, int height);
// The entry chooser "FilterIndex" on the panel: 1 to 1, off until a library is shown.
TScrollBar* MakeEntryChooser(TForm* form, TPanel* panel, TNotifyEvent onChange);
// Shows the form once far above the desktop and hides it, so that the windows of its
// controls exist before the first run of its dialog.
void MakeWindowsOffScreen(TForm* form);

// Sets the caption without reading "&" as a mnemonic, fits the label to it and moves it so
// that it ends at right. A text too long to start at leftmost or further right is cut on the
// right instead of running off the panel.
void ShowRightAligned(TLabel* label, const AnsiString& caption, int right, int leftmost);
